// The preview at the printer's dots: the page as a 1-bit image at the printer's resolution
// (the colours that print black, bands that join), and the preview's button that shows it,
// zoomable until a dot is a square of pixels.
#include "common/TestSupport.h"
#include "shell/InterazioneScriptata.h"
#include "shell/StringTable.h"
#include "stampora/Misura.h"
#include "stampora/RenderizzatorePagina.h"
#include "stampora/ScrittoreZpl.h"
#include "stampora/VistaAnteprima.h"
#include "stampora/frmStamporaAnteprima.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QProcess>
#include <QScrollBar>
#include <QTest>

using namespace cartigo;

namespace {

constexpr double kTwipsPerMm = 1440.0 / 25.4;
Misura mm(double v) { return Misura(v, Unita::Millimetro); }

// Colours of the document (0x00BBGGRR) and whether each prints black: luminance 100 and
// 200 grey, red 76, green 150, blue 29, and two greys either side of the threshold, 127.7
// and 129.
const std::pair<quint32, bool> kColori[] = {{0x646464, true},  {0xC8C8C8, false}, {0x0000FF, true}, {0x00FF00, false},
                                            {0xFF0000, true},  {0x80807F, true},  {0x818181, false}};

// A 50 x 30 mm label at `dpi`: a 4 mm square of each colour in a row, 5 mm from the top,
// without a pen, and a line of black text under them.
std::shared_ptr<DocumentoStampa> Etichetta(double dpi)
{
    InfoStampante info;
    info.larghezzaCarta = 50 * kTwipsPerMm;
    info.altezzaCarta = 30 * kTwipsPerMm;
    auto d = std::make_shared<DocumentoStampa>(info);
    d->SetRisoluzione(dpi);
    d->StartDoc();
    d->SetPenStyle(5);
    d->SetBrushStyle(0);
    for (std::size_t i = 0; i < std::size(kColori); ++i) {
        d->SetBrushColor(kColori[i].first);
        d->DrawRectangle(mm(2 + 6.5 * i), mm(5), mm(6 + 6.5 * i), mm(9));
    }
    d->SetFontName(QStringLiteral("DejaVu Sans"));
    d->SetFontSize(9);
    d->SetTextColor(0);
    d->TextBox(QStringLiteral("LOT 42 Cartigo"), mm(2), mm(14), mm(46), mm(8), false);
    d->EndDoc();
    return d;
}

bool nero(const QImage& img, int x, int y) { return img.pixelIndex(x, y) == 1; }

}  // namespace

TEST(AnteprimaPunti, ThePageAsTheDotsOfThePrinter)
{
    test::AssicuraApplicazione();
    for (const double dpi : {203.0, 300.0}) {
        SCOPED_TRACE(dpi);
        const auto doc = Etichetta(dpi);
        const QImage img = PaginaAPunti(*doc, 0, dpi);
        ASSERT_EQ(img.format(), QImage::Format_Mono);
        EXPECT_EQ(img.size(), QSize(int(std::ceil(50 / 25.4 * dpi)), int(std::ceil(30 / 25.4 * dpi))));
        EXPECT_EQ(img.color(1), qRgb(0, 0, 0));
        const int y = int(7 / 25.4 * dpi);
        for (std::size_t i = 0; i < std::size(kColori); ++i)
            EXPECT_EQ(nero(img, int((4 + 6.5 * i) / 25.4 * dpi), y), kColori[i].second) << i;
        // the text has dark dots; the margin none
        int testo = 0;
        for (int yy = int(14 / 25.4 * dpi); yy < int(22 / 25.4 * dpi); ++yy)
            for (int x = 0; x < img.width(); ++x) testo += nero(img, x, yy);
        EXPECT_GT(testo, 50);
        EXPECT_FALSE(nero(img, 2, 2));
        // an area is that part of the whole page
        const QRect zona(17, 40, 101, 33);
        EXPECT_EQ(PaginaAPunti(*doc, 0, dpi, zona), img.copy(zona));
    }
    // what ZPL prints dark is what the preview shows dark
    EXPECT_EQ(PuntoNero(qRgb(127, 128, 128)), true);
    EXPECT_EQ(PuntoNero(qRgb(128, 128, 128)), false);
    EXPECT_FALSE(PuntoNero(qRgb(255, 255, 255)));
    EXPECT_EQ(kSogliaPuntoNero, kSogliaNeroZpl);
    for (const auto& [colore, atteso] : kColori) EXPECT_EQ(ColoreNeroZpl(colore), atteso) << colore;

    // an A4 page at 600 dpi is drawn in bands that join: a stripe down the page has all its rows
    InfoStampante a4;
    DocumentoStampa foglio(a4);
    foglio.StartDoc();
    foglio.SetPenStyle(5);
    foglio.SetBrushStyle(0);
    foglio.SetBrushColor(0);
    foglio.DrawRectangle(mm(100), mm(0), mm(101), mm(297));
    foglio.EndDoc();
    const QImage grande = PaginaAPunti(foglio, 0, 600);
    ASSERT_EQ(grande.size(), QSize(4961, 7016));
    int righe = 0;
    for (int y = 0; y < grande.height(); ++y) righe += nero(grande, int(100.5 / 25.4 * 600), y);
    EXPECT_EQ(righe, grande.height());
}

TEST(AnteprimaPunti, ThePreviewsButtonShowsTheDotsZoomableToSingleOnes)
{
    test::AssicuraApplicazione();
    ImpostaLingua(Lingua::Inglese);
    InterazioneScriptata ui;
    frmStamporaAnteprima f(&ui);
    f.resize(900, 700);
    f.ImpostaDocumento(Etichetta(300));
    f.AggiornaControlli();
    QAction* punti = f.Pulsante(QStringLiteral("punti"));
    ASSERT_TRUE(punti);
    EXPECT_EQ(punti->text(), QStringLiteral("Printer dots (300 dpi)"));
    EXPECT_TRUE(punti->toolTip().contains(QStringLiteral("under 128 of 255"))) << punti->toolTip().toStdString();
    VistaAnteprima* v = f.vspAnteprima;
    f.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));

    // the page at 500 %: smoothed edges and grey squares on the screen, only black and white
    // dots inside the page as the printer's dots
    const auto grigi = [&] {
        const QImage s = v->viewport()->grab().toImage();
        QRect pagina;
        for (int y = 0; y < s.height(); ++y)
            for (int x = 0; x < s.width(); ++x)
                if (s.pixel(x, y) == qRgb(255, 255, 255)) pagina |= QRect(x, y, 1, 1);
        int n = 0;
        for (int y = pagina.top(); y <= pagina.bottom(); ++y)
            for (int x = pagina.left(); x <= pagina.right(); ++x)
                n += s.pixel(x, y) != qRgb(255, 255, 255) && s.pixel(x, y) != qRgb(0, 0, 0);
        return n;
    };
    v->SetZoom(1000);
    EXPECT_EQ(v->Zoom(), VistaAnteprima::kZoomMassimo);  // the screen's limit
    const int grigiSchermo = grigi();
    punti->trigger();
    EXPECT_EQ(v->Punti(), 300);
    EXPECT_EQ(grigi(), 0);
    EXPECT_GT(grigiSchermo, 0);

    // at 4000 % a dot of 300 dpi is a square of 12.8 pixels at 96 dpi
    v->SetZoom(4000);
    EXPECT_EQ(v->Zoom(), 4000);
    const double lato = 4000 / 100.0 * 1440.0 / 300 / (1440.0 / v->logicalDpiX());
    const QImage img = v->ImmaginePunti(1);
    // the grey square's first dot, and the white one before it
    const int meta = int(7 / 25.4 * 300);
    int x0 = 0, y0 = 0;
    while (x0 < img.width() && !nero(img, x0, meta)) ++x0;
    while (y0 < img.height() && !nero(img, x0 + 2, y0)) ++y0;
    ASSERT_LT(x0, img.width());
    EXPECT_NEAR(x0, 2 / 25.4 * 300, 1);
    EXPECT_NEAR(y0, 5 / 25.4 * 300, 1);
    v->horizontalScrollBar()->setValue(int(x0 * lato) - 100);
    v->verticalScrollBar()->setValue(int(y0 * lato) - 100);
    const QImage s = v->viewport()->grab().toImage();
    const double margine = 12;  // around the page
    const auto pixel = [&](int dx, int dy, double fx, double fy) {
        return s.pixel(int(margine - v->horizontalScrollBar()->value() + (dx + fx) * lato),
                       int(margine - v->verticalScrollBar()->value() + (dy + fy) * lato));
    };
    EXPECT_EQ(pixel(x0, y0, 0.1, 0.1), qRgb(0, 0, 0));
    EXPECT_EQ(pixel(x0, y0, 0.9, 0.9), qRgb(0, 0, 0));
    EXPECT_EQ(pixel(x0 - 1, y0, 0.9, 0.5), qRgb(255, 255, 255));
    EXPECT_EQ(pixel(x0, y0 - 1, 0.5, 0.9), qRgb(255, 255, 255));

    if (const QString cartella = qEnvironmentVariable("CARTIGO_SCHERMATE"); !cartella.isEmpty()) {
        v->SetZoom(1000);
        QTest::qWait(200);
        QProcess::execute(QStringLiteral("import"),
                          {QStringLiteral("-window"), QStringLiteral("root"),
                           QDir(cartella).filePath(QStringLiteral("anteprima-punti-1000.png"))});
        v->SetZoomMode(VistaAnteprima::PaginaIntera);
        QTest::qWait(200);
        QProcess::execute(QStringLiteral("import"),
                          {QStringLiteral("-window"), QStringLiteral("root"),
                           QDir(cartella).filePath(QStringLiteral("anteprima-punti-pagina.png"))});
    }

    // off again: the screen's drawing, and the zoom back within its usual limit
    punti->trigger();
    EXPECT_EQ(v->Punti(), 0);
    v->SetZoom(4000);
    EXPECT_EQ(v->Zoom(), VistaAnteprima::kZoomMassimo);
    f.ImpostaDocumento(nullptr);
    ImpostaLingua(Lingua::Italiano);
}
