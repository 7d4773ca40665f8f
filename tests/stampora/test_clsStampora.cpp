// The print engine checked against the display list it records.
#include "SupportoStampora.h"
#include "common/TestSupport.h"
#include "shell/InterazioneScriptata.h"
#include "stampora/FileStampa.h"
#include "stampora/RichiesteStampora.h"
#include "stampora/clsStampora.h"

#include <QDir>
#include <QFile>

using namespace cartigo;
using test::Operazioni;

namespace {

class Motore : public ::testing::Test {
protected:
    void SetUp() override { test::AssicuraApplicazione(); }
    test::CartellaProgrammaTemporanea cartella;
    InterazioneScriptata ui;
};

const StileStampa& StileDi(const DocumentoStampa& d, const Operazione& op)
{
    return d.Stili().at(op.stile);
}

}  // namespace

TEST_F(Motore, CoordinateInOgniScaleMode)
{
    clsStampora s(ui);
    const double tpp = s.Output().TwipsPerPixel();
    const struct {
        int scaleMode;
        double fattore;
        const char* unita;
    } casi[] = {{1, 1, "twip"}, {2, 20, "point"}, {3, tpp, "pix"}, {5, 1440, "in"}, {6, 56.7, "mm"}, {7, 567, "cm"}};
    for (const auto& c : casi) {
        s.StartDoc();
        s.SetScaleMode(c.scaleMode);
        s.SetOffsetX(2);
        s.SetOffsetY(3);
        EXPECT_EQ(s.UnitName(), QString::fromLatin1(c.unita));
        EXPECT_DOUBLE_EQ(s.TwipsPerUnit(), c.fattore);
        s.DrawLine(1, 1, 4, 5);
        const auto ops = Operazioni(s.Output());
        ASSERT_EQ(ops.size(), 1u) << c.unita;
        EXPECT_EQ(ops[0].tipo, TipoOperazione::Linea);
        EXPECT_NEAR(ops[0].x1, 3 * c.fattore, 1e-3) << c.unita;
        EXPECT_NEAR(ops[0].y1, 4 * c.fattore, 1e-3) << c.unita;
        EXPECT_NEAR(ops[0].x2, 6 * c.fattore, 1e-3) << c.unita;
        EXPECT_NEAR(ops[0].y2, 8 * c.fattore, 1e-3) << c.unita;
    }
    // A scale mode outside the table keeps the unit and converts nothing.
    s.SetScaleMode(7);
    s.SetScaleMode(4);
    EXPECT_EQ(s.ScaleMode(), 4);
    EXPECT_EQ(s.UnitName(), QStringLiteral("cm"));
    EXPECT_EQ(s.TwipsPerUnit(), 0);
}

TEST_F(Motore, PosizioneCorrenteEOffset)
{
    clsStampora s(ui);
    s.SetCurrentX(10);
    s.SetCurrentY(20);
    EXPECT_FLOAT_EQ(s.CurrentX(), 10);
    EXPECT_NEAR(s.Output().CurrentX(), 567, 1e-9);
    EXPECT_NEAR(s.Output().CurrentY(), 1134, 1e-9);
    s.SetOffsetX(4);
    s.SetOffsetY(1);
    EXPECT_NEAR(s.Output().CurrentX(), 14 * 56.7, 1e-9);
    EXPECT_NEAR(s.Output().CurrentY(), 21 * 56.7, 1e-9);
    EXPECT_DOUBLE_EQ(s.OffsetX(), 4);
    EXPECT_FLOAT_EQ(s.CurrentX(), 10);  // the stored value, without offset
}

TEST_F(Motore, DrawLineVariantiERipristino)
{
    clsStampora s(ui);
    s.Output().SetPenColor(0x112233);
    s.SetDrawWidth(2);
    const double spessore = s.Output().PenWidth();
    ASSERT_NEAR(spessore, 2 * s.Output().TwipsPerPixel(), 1e-9);
    s.SetDrawStyle(2);
    s.Output().SetPenWidth(spessore);
    const struct {
        std::optional<QString> tipo;
        bool disegna;
        TipoOperazione atteso;
        int pennello;  // brush style after the call, -1 unchanged
    } casi[] = {{std::nullopt, true, TipoOperazione::Linea, -1},
                {QStringLiteral("B"), true, TipoOperazione::Rettangolo, 1},
                {QStringLiteral("BF"), true, TipoOperazione::Rettangolo, 0},
                {QStringLiteral("X"), false, TipoOperazione::Linea, -1},
                {QStringLiteral("b"), false, TipoOperazione::Linea, -1}};
    for (const auto& c : casi) {
        s.StartDoc();
        s.Output().SetBrushStyle(5);
        s.DrawLine(1, 2, 3, 4, 0x0000FF, c.tipo, 0x00FF00, 2);
        const auto ops = Operazioni(s.Output());
        ASSERT_EQ(ops.size(), c.disegna ? 1u : 0u);
        if (c.disegna) {
            EXPECT_EQ(ops[0].tipo, c.atteso);
            const StileStampa& st = StileDi(s.Output(), ops[0]);
            EXPECT_EQ(st.colorePenna, 0x00FF00u);
            EXPECT_NEAR(st.spessorePenna, 0.4 * 56.7, 1e-4);
            EXPECT_EQ(st.colorePennello, 0x0000FFu);
            EXPECT_EQ(st.stilePenna, 0);
        }
        // Pen style solid and brush colour stay; pen colour and width come back.
        EXPECT_EQ(s.Output().PenStyle(), 0);
        EXPECT_EQ(s.Output().BrushColor(), 0x0000FFu);
        EXPECT_EQ(s.Output().BrushStyle(), c.pennello < 0 ? 5 : c.pennello);
        EXPECT_EQ(s.Output().PenColor(), 0x112233u);
        EXPECT_DOUBLE_EQ(s.Output().PenWidth(), spessore);
    }
    // Pen widths 1 and 3, and a "B" box with corners given in any order.
    s.StartDoc();
    s.DrawLine(5, 6, 1, 2, std::nullopt, QStringLiteral("B"), std::nullopt, 1);
    s.DrawLine(0, 0, 1, 1, std::nullopt, std::nullopt, std::nullopt, 3);
    const auto ops = Operazioni(s.Output());
    ASSERT_EQ(ops.size(), 2u);
    EXPECT_EQ(StileDi(s.Output(), ops[0]).spessorePenna, 0.0f);
    EXPECT_NEAR(ops[0].x1, 1 * 56.7, 1e-3);
    EXPECT_NEAR(ops[0].y2, 6 * 56.7, 1e-3);
    EXPECT_NEAR(StileDi(s.Output(), ops[1]).spessorePenna, 0.8 * 56.7, 1e-4);
}

TEST_F(Motore, ProprietaEMappature)
{
    clsStampora s(ui);
    s.SetFontSize(2);
    EXPECT_FLOAT_EQ(s.FontSize(), 4);
    EXPECT_FLOAT_EQ(s.Output().FontSize(), 4);
    s.SetFontSize(9.5f);
    EXPECT_FLOAT_EQ(s.Output().FontSize(), 9.5f);

    // TextAlign: engine 0 left, 1 right, 2 centre; output 0 left, 1 centre, 2 right.
    for (auto [motore, output] : {std::pair{0, 0}, {1, 2}, {2, 1}}) {
        s.SetTextAlign(motore);
        EXPECT_EQ(s.Output().TextAlign(), output);
        EXPECT_EQ(s.TextAlign(), motore);
    }
    s.SetTextAlign(7);
    EXPECT_EQ(s.TextAlign(), 2);

    // FillStyle: 0 and 1 reach the brush, the rest is only stored.
    s.SetFillStyle(1);
    EXPECT_EQ(s.Output().BrushStyle(), 1);
    s.SetFillStyle(3);
    EXPECT_EQ(s.Output().BrushStyle(), 1);
    EXPECT_EQ(s.FillStyle(), 1);
    s.SetBrushStyle(6);
    EXPECT_EQ(s.FillStyle(), 3);

    // Without a printer: A4 portrait; Width/Height swapped in landscape.
    const double w = s.Output().PaperWidth(), h = s.Output().PaperHeight();
    EXPECT_TRUE(s.Output().Device().isEmpty());
    EXPECT_NEAR(w, 11905.5, 0.1);
    EXPECT_NEAR(h, 16837.8, 0.1);
    EXPECT_EQ(s.Orientation(), 1);
    EXPECT_DOUBLE_EQ(s.Width(), w);
    s.SetOrientation(2);
    EXPECT_EQ(s.Output().Orientation(), 1);
    EXPECT_EQ(s.Orientation(), 2);
    EXPECT_DOUBLE_EQ(s.Width(), h);
    EXPECT_DOUBLE_EQ(s.Height(), w);
    s.SetOrientation(3);
    EXPECT_EQ(s.Orientation(), 2);

    // DrawStyle resets the pen width; colours pass through.
    s.SetDrawWidth(3);
    s.SetDrawStyle(1);
    EXPECT_EQ(s.DrawWidth(), 0);
    EXPECT_EQ(s.DrawStyle(), 1);
    s.SetBrushColor(0x123456);
    s.SetTextColor(0x654321);
    EXPECT_EQ(s.Output().BrushColor(), 0x123456u);
    EXPECT_EQ(s.TextColor(), 0x654321);

    // Pages.
    EXPECT_EQ(s.Pages(), 1);
    s.NewPage();
    s.NewPage();
    EXPECT_EQ(s.Pages(), 3);
    EXPECT_EQ(s.Page(), 3);
}

TEST_F(Motore, TestiCerchiImmagini)
{
    clsStampora s(ui);
    s.SetOffsetX(4);
    s.SetOffsetY(0);
    s.SetBrushColor(0xFF);
    s.SetBrushStyle(0);
    s.DrawTextBox(QStringLiteral("Ciao"), 10, 20, 30, 40, true);
    EXPECT_EQ(s.Output().PenStyle(), 5);
    s.DrawCircle(10, 10, 5);
    EXPECT_EQ(s.Output().BrushStyle(), 1);
    QImage img(20, 10, QImage::Format_RGB32);
    img.fill(Qt::red);
    s.PaintPicture(img, 1, 1, 20.0, 5.0);
    s.PaintPicture(img, 1, 1, std::nullopt, 5.0);
    s.PaintPicture(img, 1, 1);
    s.PaintPicture(QImage(), 1, 1);  // nothing to draw

    const auto ops = Operazioni(s.Output());
    ASSERT_EQ(ops.size(), 5u);
    EXPECT_EQ(ops[0].tipo, TipoOperazione::CasellaTesto);
    EXPECT_TRUE(ops[0].ombra);
    EXPECT_NEAR(ops[0].x1, 14 * 56.7, 1e-3);
    EXPECT_NEAR(ops[0].x2, 44 * 56.7, 1e-3);
    EXPECT_NEAR(ops[0].y2, 60 * 56.7, 1e-3);
    EXPECT_EQ(s.Output().Pagina(0).Testi().at(ops[0].dato), QStringLiteral("Ciao"));
    EXPECT_EQ(StileDi(s.Output(), ops[0]).colorePennello, 0xFFu);
    EXPECT_EQ(ops[1].tipo, TipoOperazione::Cerchio);
    EXPECT_NEAR(ops[1].x1, 14 * 56.7, 1e-3);
    EXPECT_NEAR(ops[1].x2, 5 * 56.7, 1e-3);
    EXPECT_EQ(StileDi(s.Output(), ops[1]).stilePennello, 1);
    // A missing width keeps the proportions; both missing give the picture's own size.
    EXPECT_NEAR(ops[2].x2 - ops[2].x1, 20 * 56.7, 1e-2);
    EXPECT_NEAR(ops[3].x2 - ops[3].x1, 10 * 56.7, 1e-2);
    EXPECT_NEAR(ops[4].x2 - ops[4].x1, 20 * 1440 / (img.dotsPerMeterX() * 0.0254), 1e-2);
    // The same picture is kept once.
    EXPECT_EQ(s.Output().Immagini().size(), 1u);
    QImage copia = img.copy();
    s.PaintPicture(copia, 0, 0);
    EXPECT_EQ(s.Output().Immagini().size(), 1u);
}

TEST_F(Motore, DrawTextAllaPosizioneCorrente)
{
    clsStampora s(ui);
    DocumentoStampa& o = s.Output();
    const double sinistro = o.MarginLeft(), superiore = o.MarginTop();
    s.SetCurrentX(50);
    s.SetCurrentY(2);  // above the top margin (0.3 cm)
    s.DrawText(QStringLiteral("12345"));
    s.DrawText();
    const auto ops = Operazioni(o);
    ASSERT_EQ(ops.size(), 1u);
    EXPECT_EQ(ops[0].tipo, TipoOperazione::Testo);
    EXPECT_NEAR(ops[0].x1, 50 * 56.7, 1e-3);
    EXPECT_NEAR(ops[0].y1, 2 * 56.7, 1e-3);
    const double riga = o.TextHeight(QStringLiteral("X"));
    EXPECT_NEAR(o.CurrentY(), 2 * 56.7 + 2 * riga, 1e-2);  // two lines: the text and the empty one
    EXPECT_DOUBLE_EQ(o.MarginLeft(), sinistro);
    EXPECT_DOUBLE_EQ(o.MarginTop(), superiore);
}

TEST_F(Motore, MarginiDaStamporaIni)
{
    const QString ini = cartella.percorso(QStringLiteral("Stampora.ini"));
    for (const auto& l : test::kLocali) {
        test::LocaleTemporaneo loc(l.loc);
        QFile::remove(ini);
        {
            clsStampora s(ui);
            EXPECT_DOUBLE_EQ(s.Output().MarginTop(), 170.1);
            EXPECT_DOUBLE_EQ(s.Output().MarginLeft(), 170.1);
        }
        const QString atteso = QStringLiteral("0%1").arg(l.loc.decimale) + QStringLiteral("30");
        EXPECT_EQ(QString::fromLatin1(test::LeggiFile(ini)),
                  QStringLiteral("Margine superiore=%1\nMargine inferiore=%1\nMargine destro=%1\nMargine sinistro=%1\n")
                      .arg(atteso))
            << l.nome;
    }
    test::LocaleTemporaneo loc(ImpostazioniLocali::italiano());
    test::ScriviFile(ini,
                     "Margine superiore=0\nMargine inferiore=-1\nMargine destro=1\nMargine sinistro=abc\n"
                     "margine destro=1,5\n");
    clsStampora s(ui);
    EXPECT_DOUBLE_EQ(s.Output().MarginTop(), 170.1);
    EXPECT_DOUBLE_EQ(s.Output().MarginBottom(), 170.1);
    EXPECT_DOUBLE_EQ(s.Output().MarginRight(), 1.5 * 567);
    EXPECT_DOUBLE_EQ(s.Output().MarginLeft(), 170.1);
}

TEST_F(Motore, SelectPrintDestinationConImpostazioni)
{
    test::StampanteFinta stampante;
    std::vector<int> codici = {-2, -1, 2};
    std::vector<int> copieViste;
    QStringList stampantiViste;
    ui.gestoriDialogo[QStringLiteral("frmStamporaDestinazioneStampa")] = [&](RichiestaDialogo& r) {
        auto& d = static_cast<RichiestaDestinazioneStampa&>(r);
        copieViste.push_back(d.Copies);
        stampantiViste << d.CurrentPrinter + QLatin1Char('|') + d.Port;
        d.DestinazioneStampa = codici.at(copieViste.size() - 1);
        d.Copies = copieViste.size() == 1 ? 5 : d.Copies;
        return true;
    };
    ui.gestoriDialogo[QStringLiteral("ImpostaPagina")] = [](RichiestaDialogo& r) {
        static_cast<RichiestaImpostaPaginaOutput&>(r).Margini[1] = 1134;
        return true;
    };
    ui.gestoriDialogo[QStringLiteral("ImpostaStampante")] = [](RichiestaDialogo& r) {
        auto& s = static_cast<RichiestaImpostaStampante&>(r);
        s.Stampante.nome = QStringLiteral("Ufficio");
        s.Stampante.orientamento = 1;
        return true;
    };
    {
        clsStampora s(ui);
        EXPECT_EQ(s.SelectPrintDestination(), 2);
        EXPECT_EQ(s.PrintDestination(), 2);
        EXPECT_EQ(s.Copies(), 5);
        EXPECT_EQ(s.Orientation(), 2);
        EXPECT_EQ(ui.dialoghi,
                  (QStringList{"frmStamporaDestinazioneStampa", "ImpostaPagina", "frmStamporaDestinazioneStampa",
                               "ImpostaStampante", "frmStamporaDestinazioneStampa"}));
        EXPECT_EQ(copieViste, (std::vector<int>{1, 5, 5}));
        EXPECT_EQ(stampantiViste, (QStringList{"Finta|ipp://finta", "Finta|ipp://finta", "Ufficio|ipp://finta"}));
    }
    // The margin changed in the page set-up is remembered.
    QString margine =
        modCartigo::GetKeyIni(cartella.percorso(QStringLiteral("Stampora.ini")), QStringLiteral("Margine superiore"));
    EXPECT_EQ(margine.replace(QLatin1Char(','), QLatin1Char('.')), QStringLiteral("2.00"));
}

TEST_F(Motore, SelectPrintDestinationEsitiECopie)
{
    const struct {
        int codice;
        int copie;
        int risultato;
        qint16 copieAttese;
    } casi[] = {{2, 3, 2, 3},  {1, 999, 1, 999}, {2, 1000, 2, 1}, {2, 0, 2, 1},
                {2, -4, 2, 1}, {0, 7, 0, 7},     {3, 2, 3, 2},    {9, 2, 0, 2}};
    for (const auto& c : casi) {
        ui.gestoriDialogo[QStringLiteral("frmStamporaDestinazioneStampa")] = [&](RichiestaDialogo& r) {
            auto& d = static_cast<RichiestaDestinazioneStampa&>(r);
            d.DestinazioneStampa = c.codice;
            d.Copies = c.copie;
            d.FileName = QStringLiteral("/tmp/x.ant");
            return true;
        };
        clsStampora s(ui);
        EXPECT_EQ(s.SelectPrintDestination(), c.risultato) << c.codice;
        EXPECT_EQ(s.Copies(), c.copieAttese) << c.copie;
        EXPECT_EQ(s.FileName(), c.risultato == 3 ? QStringLiteral("/tmp/x.ant") : QString());
    }
    // Without an answer (the dialog closed), the choice is cancelled.
    ui.gestoriDialogo.clear();
    clsStampora s(ui);
    EXPECT_EQ(s.SelectPrintDestination(), 0);
}

TEST_F(Motore, EndDocPerDestinazione)
{
    test::StampanteFinta stampante;
    {
        clsStampora s(ui);
        s.SetPrintDestination(2);
        s.SetCopies(3);
        s.DrawLine(0, 0, 10, 10);
        s.NewPage();
        s.Output().TitoloLavoro = QStringLiteral("indirizzi.eti");
        EXPECT_TRUE(s.EndDoc());
        // one job of three copies, titled with the label's name
        ASSERT_EQ(stampante.lavori.size(), 1u);
        EXPECT_EQ(stampante.lavori[0].prima, 1);
        EXPECT_EQ(stampante.lavori[0].ultima, 2);
        EXPECT_EQ(stampante.lavori[0].copie, 3);
        EXPECT_EQ(stampante.lavori[0].titolo, QStringLiteral("indirizzi.eti"));
    }
    {
        stampante.fallisci = true;
        stampante.lavori.clear();
        clsStampora s(ui);
        s.SetPrintDestination(2);
        s.SetCopies(3);
        EXPECT_FALSE(s.EndDoc());
        ASSERT_EQ(ui.messaggi.size(), 1);
        EXPECT_TRUE(ui.messaggi[0].testo.contains(QStringLiteral("Finta")));
        EXPECT_TRUE(ui.messaggi[0].testo.contains(QStringLiteral("carta esaurita")));
    }
    {
        ui.messaggi.clear();
        clsStampora s(ui);
        s.SetPrintDestination(1);
        std::shared_ptr<DocumentoStampa> visto;
        ui.gestoriDialogo[QStringLiteral("frmStamporaAnteprima")] = [&](RichiestaDialogo& r) {
            visto = static_cast<RichiestaAnteprima&>(r).Documento;
            return true;
        };
        s.DrawLine(0, 0, 1, 1);
        EXPECT_TRUE(s.EndDoc());
        ASSERT_TRUE(visto);
        EXPECT_EQ(visto.get(), &s.Output());
        EXPECT_EQ(visto->Pagina(0).NumeroOperazioni(), 1u);
    }
    {
        clsStampora s(ui);
        s.SetPrintDestination(0);
        s.DrawLine(0, 0, 1, 1);
        EXPECT_TRUE(s.EndDoc());
        EXPECT_EQ(s.Pages(), 0);
    }
    {
        clsStampora s(ui);
        s.SetPrintDestination(3);
        s.SetFileName(cartella.percorso(QStringLiteral("uscita.ant")));
        s.DrawLine(0, 0, 1, 1);
        EXPECT_TRUE(s.EndDoc());
        EXPECT_TRUE(QFile::exists(s.FileName()));
        EXPECT_TRUE(ui.messaggi.isEmpty());
        s.SetFileName(cartella.percorso(QStringLiteral("manca/uscita.ant")));
        EXPECT_FALSE(s.EndDoc());
        ASSERT_EQ(ui.messaggi.size(), 1);
        EXPECT_TRUE(ui.messaggi[0].testo.contains(QStringLiteral("manca/uscita.ant")));
        EXPECT_EQ(ui.attese, 0);
    }
}

TEST_F(Motore, IngressiStraniNonDisegnanoNeFannoCadere)
{
    DocumentoStampa d(InfoStampante{});
    d.StartDoc();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    d.DrawLine(nan, 0, 1, 1);
    d.DrawRectangle(0, inf, 1, 1);
    d.TextBox(QStringLiteral("x"), 0, 0, nan, 1, true);
    d.SetPenWidth(-5);
    d.SetPenWidth(Misura(nan));
    d.SetFontSize(-3);
    d.SetPaperSize(-1, 100);
    d.SetOrientation(7);
    d.SetBrushStyle(9);
    d.SetPenStyle(-1);
    d.SetMarginLeft(-10);
    EXPECT_EQ(d.Pagina(0).NumeroOperazioni(), 0u);
    EXPECT_EQ(d.PenWidth(), 0);
    EXPECT_FLOAT_EQ(d.FontSize(), 10);
    EXPECT_NEAR(d.PaperWidth(), 11905.5, 0.1);
    EXPECT_EQ(d.MarginLeft(), 0);

    // Negative sizes draw the same box from its other corner.
    d.TextBox(QStringLiteral("x"), 100, 100, -50, -20, false);
    d.DrawCircle(10, 10, -4);
    QImage img(2, 2, QImage::Format_RGB32);
    img.fill(Qt::black);
    d.DrawPicture(img, 100, 100, Misura(-30), Misura(10));
    d.DrawPicture(img, 0, 0, Misura(0), Misura(10));  // nothing to see
    const auto ops = Operazioni(d);
    ASSERT_EQ(ops.size(), 3u);
    EXPECT_EQ(ops[0].x1, 50);
    EXPECT_EQ(ops[0].y1, 80);
    EXPECT_EQ(ops[0].x2, 100);
    EXPECT_EQ(ops[1].x2, 4);
    EXPECT_EQ(ops[2].x1, 70);
    EXPECT_EQ(ops[2].x2, 100);

    // Nothing is recorded outside a document.
    d.EndDoc();
    d.DrawLine(0, 0, 1, 1);
    EXPECT_EQ(d.Pagina(0).NumeroOperazioni(), 3u);
    d.NewPage();
    EXPECT_EQ(d.PageCount(), 1);
}

TEST_F(Motore, StatoSalvatoERipristinato)
{
    DocumentoStampa d(InfoStampante{});
    d.StartDoc();
    d.SetCurrentX(100);
    d.SetPenStyle(2);
    d.SetPenColor(0x10);
    d.SetPenWidth(30);
    d.SetBrushStyle(1);
    d.SetBrushColor(0x20);
    d.SetTextColor(0x30);
    d.SetFontName(QStringLiteral("Courier New"));
    d.SetFontSize(10);
    d.SetTextAlign(2);
    const StatoOutput prima = d.Stato();
    d.SetCurrentX(5);
    d.SetCurrentY(6);
    d.SetPenStyle(5);
    d.SetPenColor(0xFFFFFF);
    d.SetPenWidth(0);
    d.SetBrushStyle(0);
    d.SetBrushColor(0);
    d.SetTextColor(0);
    d.SetFontName(QStringLiteral("Arial"));
    d.SetFontSize(8);
    d.SetFontBold(true);
    d.SetTextAlign(0);
    d.RipristinaStato(prima);
    const StatoOutput dopo = d.Stato();
    EXPECT_EQ(dopo.x, 100);
    EXPECT_EQ(dopo.stilePenna, 2);
    EXPECT_EQ(dopo.colorePenna, 0x10u);
    EXPECT_EQ(dopo.spessorePenna, 30);
    EXPECT_EQ(dopo.stilePennello, 1);
    EXPECT_EQ(dopo.colorePennello, 0x20u);
    EXPECT_EQ(dopo.coloreTesto, 0x30u);
    EXPECT_EQ(dopo.carattere, prima.carattere);
    EXPECT_EQ(dopo.allineamento, 2);
}

// A PDF file gets the pages as they are finished: the document keeps one page at a time,
// an old file stays until the end, and the file is the one saving the whole document
// would write. A job given up, or a file that cannot be written, leaves the old file.
TEST_F(Motore, PdfInFileUnaPaginaAllaVolta)
{
    const auto disegna = [](clsStampora& s) {
        s.StartDoc();
        for (int p = 0; p < 40; ++p) {
            if (p > 0) s.NewPage();
            for (int i = 0; i < 60; ++i) s.DrawLine(i * 2, 10, i * 2 + 1, 40 + p, std::nullopt, QStringLiteral("BF"));
            s.SetFontName(p % 2 ? QStringLiteral("Arial") : QStringLiteral("Courier New"));
            s.DrawTextBox(QStringLiteral("Pagina %1").arg(p + 1), 10, 50, 60, 10, false);
        }
    };
    const auto senzaData = [](QByteArray pdf) {
        const qsizetype i = pdf.indexOf("/CreationDate");
        return i < 0 ? pdf : pdf.remove(i, pdf.indexOf(')', i) - i);
    };
    QDir().mkpath(cartella.percorso(QStringLiteral("intero")));
    const QString file = cartella.percorso(QStringLiteral("flusso.pdf"));
    test::ScriviFile(file, "vecchio");

    clsStampora s(ui);
    s.SetPrintDestination(3);
    s.SetFileName(file);
    disegna(s);
    clsStampora intero(ui);
    disegna(intero);
    intero.Output().EndDoc();
    EXPECT_EQ(s.Pages(), 40);
    EXPECT_LT(s.Output().Memoria() * 5, intero.Output().Memoria());
    EXPECT_EQ(test::LeggiFile(file), "vecchio");
    ASSERT_TRUE(s.EndDoc());
    EXPECT_TRUE(ui.messaggi.isEmpty());
    QString errore;
    const QString riferimento = cartella.percorso(QStringLiteral("intero/flusso.pdf"));
    ASSERT_TRUE(SalvaPdf(intero.Output(), riferimento, &errore)) << errore.toStdString();
    EXPECT_EQ(senzaData(test::LeggiFile(file)), senzaData(test::LeggiFile(riferimento)));

    test::ScriviFile(file, "vecchio");
    disegna(s);
    s.KillDoc();
    EXPECT_EQ(test::LeggiFile(file), "vecchio");
    EXPECT_EQ(QDir(cartella.percorso(QStringLiteral("."))).entryList(QDir::Files),
              QStringList{QStringLiteral("flusso.pdf")});

    s.SetFileName(cartella.percorso(QStringLiteral("manca/flusso.pdf")));
    disegna(s);
    EXPECT_FALSE(s.EndDoc());
    ASSERT_EQ(ui.messaggi.size(), 1);
    EXPECT_TRUE(ui.messaggi[0].testo.contains(QStringLiteral("manca/flusso.pdf")));
}
