// Barcodes drawn through the print engine: state kept, messages once per job,
// and what a scanner reads on the rendered page and on the PDF.
#include "../stampora/SupportoStampora.h"
#include "RenderBarcode.h"
#include "barcode/SimboloZint.h"
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
    // every call recorded one symbol, which carries its text line unless hidden
    int simboli = 0, testi = 0;
    for (const auto& op : test::Operazioni(o)) {
        EXPECT_EQ(op.tipo, TipoOperazione::Simbolo);
        simboli += op.tipo == TipoOperazione::Simbolo;
    }
    for (const SimboloBarcode& s : o.Pagina(0).Simboli()) testi += s.conTesto();
    EXPECT_EQ(simboli, 3 * 2);
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

TEST(MotoreBarcode, EveryKindDrawsThroughTheEngineAndRefusedDataAreToldOnceUnderTheKind)
{
    Motore t;
    const auto op = [&] { return test::Operazioni(t.m.Output()); };
    // a QR Code is one symbol, the state is kept, no text
    const StatoOutput prima = t.m.Output().Stato();
    t.m.DrawBarcode(ParametriBarcode::DaTag(QStringLiteral("30H")), QStringLiteral("Cartigo"), 10, 10, 30, 30);
    ASSERT_EQ(op().size(), 1u);
    EXPECT_EQ(op()[0].tipo, TipoOperazione::Simbolo);
    EXPECT_FALSE(t.m.Output().Pagina(0).Simboli()[0].conTesto());
    EXPECT_EQ(t.m.Output().Stato().carattere, prima.carattere);
    EXPECT_EQ(t.m.Output().Stato().colorePennello, prima.colorePennello);
    // kinds 0 and 1 draw as their own calls do
    const std::size_t dopoQR = op().size();
    t.m.DrawBarcode(ParametriBarcode::DaTag(QStringLiteral("01")), QStringLiteral("abc"), 10, 50, 60, 20);
    t.m.Draw39Barcode(QStringLiteral("abc"), 10, 50, 60, 20, PosizioneTestoBarcode::Sopra);
    const auto tutte = op();
    const std::size_t n39 = (tutte.size() - dopoQR) / 2;
    for (std::size_t i = 0; i < n39; ++i) {
        EXPECT_EQ(tutte[dopoQR + i].x1, tutte[dopoQR + n39 + i].x1);
        EXPECT_EQ(tutte[dopoQR + i].y2, tutte[dopoQR + n39 + i].y2);
    }

    // refused data: nothing drawn, one message per kind and reason, with libzint's words
    const std::size_t disegnate = op().size();
    t.m.SetRiferimentoBarcode(QStringLiteral("Record 7"));
    for (int i = 0; i < 20; ++i) {
        t.m.DrawBarcode(ParametriBarcode::DaTag(QStringLiteral("60")), QStringLiteral("ABC"), 10, 10, 40, 20);
        t.m.DrawBarcode(ParametriBarcode::DaTag(QStringLiteral("70")), QStringLiteral("12A"), 10, 10, 40, 20);
        t.m.DrawBarcode(ParametriBarcode::DaTag(QStringLiteral("20")), QStringLiteral("(01)123"), 10, 10, 40, 20);
    }
    EXPECT_EQ(op().size(), disegnate);
    ASSERT_EQ(t.ui.messaggi.size(), 3);
    EXPECT_EQ(t.ui.messaggi[0].titolo, QStringLiteral("UPC"));
    EXPECT_EQ(t.ui.messaggi[0].testo, MessaggioSoloCifre() + QStringLiteral("\r\rRecord 7"));
    EXPECT_EQ(t.ui.messaggi[1].titolo, QStringLiteral("ITF-14"));
    EXPECT_EQ(t.ui.messaggi[2].titolo, QStringLiteral("Code 128"));
    EXPECT_TRUE(t.ui.messaggi[2].testo.startsWith(MessaggioDatiGS1() + QLatin1Char('\r')));
    EXPECT_GT(t.ui.messaggi[2].testo.size(), MessaggioDatiGS1().size() + 12);  // libzint's words, the record
    EXPECT_EQ(t.ui.messaggi[2].icona, Icona::Esclamazione);
    t.m.KillDoc();
    t.m.StartDoc();
    t.m.DrawBarcode(ParametriBarcode::DaTag(QStringLiteral("60")), QStringLiteral("ABC"), 10, 10, 40, 20);
    EXPECT_EQ(t.ui.messaggi.size(), 4);  // a new document tells again
}

TEST(MotoreBarcode, PrintFilesKeepEverySymbol)
{
    Motore t;
    const char* tag[] = {"00", "10", "21", "30M", "40R", "50", "60", "70"};
    for (int i = 0; i < int(std::size(tag)); ++i)
        t.m.DrawBarcode(ParametriBarcode::DaTag(QString::fromLatin1(tag[i])), DatiCampione(i), 10, 10 + 30 * i, 60, 25);
    t.m.Output().EndDoc();
    const QString ant = t.cartella.percorso(QStringLiteral("tutti.ant"));
    QString errore;
    ASSERT_TRUE(SalvaDocumento(t.m.Output(), ant, &errore)) << errore.toStdString();
    EXPECT_EQ(test::LeggiFile(ant).mid(8, 2), QByteArray("\x00\x02", 2));
    const auto letto = CaricaFileStampa(ant, &errore);
    ASSERT_TRUE(letto) << errore.toStdString();
    const auto prima = test::Operazioni(t.m.Output()), dopo = test::Operazioni(*letto);
    ASSERT_EQ(prima.size(), 8u);
    ASSERT_EQ(dopo.size(), 8u);
    for (std::size_t i = 0; i < prima.size(); ++i) {
        EXPECT_EQ(prima[i].tipo, TipoOperazione::Simbolo);
        EXPECT_TRUE(prima[i].tipo == dopo[i].tipo && prima[i].stile == dopo[i].stile && prima[i].x1 == dopo[i].x1 &&
                    prima[i].y1 == dopo[i].y1 && prima[i].x2 == dopo[i].x2 && prima[i].y2 == dopo[i].y2 &&
                    prima[i].dato == dopo[i].dato)
            << i;
    }
    EXPECT_EQ(letto->Pagina(0).Simboli(), t.m.Output().Pagina(0).Simboli());

    // digits in the standard layout: version 3, which a file calling itself 2 cannot carry
    Motore u;
    u.m.DrawBarcode(ParametriBarcode::DaTag(QStringLiteral("10S")), DatiCampione(1), 10, 10, 60, 25);
    u.m.DrawBarcode(ParametriBarcode::DaTag(QStringLiteral("60S")), DatiCampione(6), 10, 40, 60, 25);
    u.m.Output().EndDoc();
    ASSERT_TRUE(SalvaDocumento(u.m.Output(), ant, &errore)) << errore.toStdString();
    QByteArray v3 = test::LeggiFile(ant);
    EXPECT_EQ(v3.mid(8, 2), QByteArray("\x00\x03", 2));
    const auto standard = CaricaFileStampa(ant, &errore);
    ASSERT_TRUE(standard) << errore.toStdString();
    ASSERT_EQ(standard->Pagina(0).Simboli().size(), 2u);
    EXPECT_TRUE(standard->Pagina(0).Simboli()[1].cifreStandard);
    EXPECT_EQ(standard->Pagina(0).Simboli(), u.m.Output().Pagina(0).Simboli());
    v3[9] = 2;
    test::ScriviFile(ant, v3);
    EXPECT_FALSE(CaricaFileStampa(ant, &errore));
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
