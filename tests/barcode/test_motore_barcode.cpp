// Barcodes drawn through the print engine: state kept, messages once per job,
// and what a scanner reads on the rendered page and on the PDF.
#include "../stampora/SupportoStampora.h"
#include "RenderBarcode.h"
#include "common/TestSupport.h"
#include "shell/InterazioneScriptata.h"
#include "shell/StringTable.h"
#include "stampora/FileStampa.h"
#include "stampora/RenderizzatorePagina.h"
#include "stampora/clsStampora.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

using namespace cartigo;

namespace {
struct Motore {
    bool app = (test::AssicuraApplicazione(), true);
    test::CartellaProgrammaTemporanea cartella;
    InterazioneScriptata ui;
    clsStampora m{ui};
    Motore()
    {
        m.StartDoc();
        m.SetScaleMode(6);
    }
};
}  // namespace

TEST(MotoreBarcode, DrawingStateIsTheSameAfterwards)
{
    Motore t;
    auto& o = t.m.Output();
    t.m.SetCurrentX(12);
    t.m.SetCurrentY(34);
    t.m.SetFontName(QStringLiteral("Courier New"));
    t.m.SetFontSize(14);
    t.m.SetFontBold(true);
    t.m.SetTextColor(0x0000FF);
    t.m.SetTextAlign(2);
    t.m.SetBrushColor(0x00FF00);
    t.m.SetBrushStyle(1);
    o.SetPenColor(0xFF0000);
    o.SetPenStyle(2);
    const StatoOutput prima = o.Stato();
    for (int posizione = 0; posizione < 3; ++posizione) {
        t.m.DrawEANBarCode(QStringLiteral("5901234123457"), 10, 10, 40, 20, PosizioneTestoDaNumero(posizione));
        t.m.Draw39Barcode(QStringLiteral("abc"), 10, 40, 60, 20, PosizioneTestoDaNumero(posizione));
        const StatoOutput dopo = o.Stato();
        EXPECT_EQ(dopo.x, prima.x);
        EXPECT_EQ(dopo.y, prima.y);
        EXPECT_EQ(dopo.carattere, prima.carattere);
        EXPECT_EQ(dopo.coloreTesto, prima.coloreTesto);
        EXPECT_EQ(dopo.colorePenna, prima.colorePenna);
        EXPECT_EQ(dopo.stilePenna, prima.stilePenna);
        EXPECT_EQ(dopo.colorePennello, prima.colorePennello);
        EXPECT_EQ(dopo.stilePennello, prima.stilePennello);
        EXPECT_EQ(dopo.allineamento, prima.allineamento);
    }
    // every bar was recorded, and a text line per call but the hidden ones
    const auto misura = [&o](const QString& s) { return QSizeF(o.TextWidth(s), o.TextHeight(s)); };
    const auto barre39 = Disegno39(QStringLiteral("abc"), {10, 40, 60, 20, 0, 0}, misura).rettangoli.size();
    int rettangoli = 0, testi = 0;
    for (const auto& op : test::Operazioni(o)) {
        rettangoli += op.tipo == TipoOperazione::Rettangolo;
        testi += op.tipo == TipoOperazione::Testo;
    }
    EXPECT_EQ(rettangoli, 3 * (30 + int(barre39)));
    EXPECT_EQ(testi, 2 * 2);
}

TEST(MotoreBarcode, RejectedCodeIsToldOncePerDocument)
{
    ImpostaLingua(Lingua::Italiano);  // the messages checked are the Italian ones
    Motore t;
    for (int i = 0; i < 50; ++i) {
        t.m.DrawEANBarCode(QStringLiteral("12345"), 10, 10, 40, 20);
        t.m.DrawEANBarCode(QStringLiteral("12345678901A3"), 10, 10, 40, 20);
    }
    ASSERT_EQ(t.ui.messaggi.size(), 2);
    EXPECT_EQ(t.ui.messaggi[0].titolo, QStringLiteral("EAN2Bin"));
    EXPECT_NE(t.ui.messaggi[0].testo, t.ui.messaggi[1].testo);
    t.m.KillDoc();
    t.m.StartDoc();
    t.m.DrawEANBarCode(QStringLiteral("12345"), 10, 10, 40, 20);
    EXPECT_EQ(t.ui.messaggi.size(), 3);  // a new document tells again
    EXPECT_TRUE(test::Operazioni(t.m.Output()).empty());  // nothing drawn for a rejected code
}

TEST(MotoreBarcode, ScannerReadsTheRenderedPageAndThePdf)
{
    if (!test::ZbarDisponibile())
        GTEST_SKIP() << "zbarimg not found: install zbar-tools to run the scanner tests";
    Motore t;
    t.m.SetOffsetX(4);
    t.m.DrawEANBarCode(QStringLiteral("5901234123457"), 20, 20, 40, 22);
    t.m.DrawEANBarCode(QStringLiteral("96385074"), 20, 70, 30, 20, PosizioneTestoBarcode::Sopra);
    t.m.Draw39Barcode(QStringLiteral("Cartigo-39"), 20, 120, 90, 20, PosizioneTestoBarcode::Nascosto);
    QTemporaryDir dir;
    const QString png = dir.filePath(QStringLiteral("pagina.png"));
    ASSERT_TRUE(ImmaginePagina(t.m.Output(), 0, 300).save(png));
    auto letti = test::LeggiConZbar(png);
    ASSERT_TRUE(letti.has_value());
    letti->sort();
    const QStringList attesi{"CODE-39:CARTIGO-39", "EAN-13:5901234123457", "EAN-8:96385074"};
    EXPECT_EQ(*letti, attesi);

    // the same through the PDF, as a printer would get it
    const QString pdf = dir.filePath(QStringLiteral("b.pdf"));
    t.m.Output().EndDoc();
    QString errore;
    ASSERT_TRUE(SalvaPdf(t.m.Output(), pdf, &errore)) << errore.toStdString();
    if (QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty())
        GTEST_SKIP() << "pdftoppm not found: install poppler-utils";
    ASSERT_EQ(QProcess::execute(QStringLiteral("pdftoppm"),
                                {QStringLiteral("-r"), QStringLiteral("300"), QStringLiteral("-png"),
                                 QStringLiteral("-singlefile"), pdf, dir.filePath(QStringLiteral("pdf"))}),
              0);
    auto dalPdf = test::LeggiConZbar(dir.filePath(QStringLiteral("pdf.png")));
    ASSERT_TRUE(dalPdf.has_value());
    dalPdf->sort();
    EXPECT_EQ(*dalPdf, attesi);
}
