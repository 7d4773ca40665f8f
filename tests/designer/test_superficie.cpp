// What the design surface paints and where: sheet, shadow, rulers and grid as the
// painting code lists them; scroll bar placement; hit tests; grip positions.
#include "common/TestSupport.h"
#include "designer/Superficie.h"

#include <QImage>
#include <QPainter>
#include <algorithm>

using namespace cartigo;
using namespace cartigo::Superficie;

namespace {
LayoutEtichetta layout(double w, double h)
{
    LayoutEtichetta l;
    l.LarghezzaEtichetta = w;
    l.AltezzaEtichetta = h;
    return l;
}

void rettangoloVicino(const QRectF& r, double x1, double y1, double x2, double y2)
{
    EXPECT_NEAR(r.left(), x1, 1e-6);
    EXPECT_NEAR(r.top(), y1, 1e-6);
    EXPECT_NEAR(r.right(), x2, 1e-6);
    EXPECT_NEAR(r.bottom(), y2, 1e-6);
}

std::vector<Elemento> diTipo(const std::vector<Elemento>& e, Elemento::Tipo t)
{
    std::vector<Elemento> r;
    std::copy_if(e.begin(), e.end(), std::back_inserter(r), [t](const Elemento& x) { return x.tipo == t; });
    return r;
}
}  // namespace

TEST(Superficie, EtichettaEOmbraDi100x50)
{
    const auto e = ElementiSuperficie(layout(100, 50), false);
    ASSERT_EQ(e.size(), 4u);  // no grid, no guide, no rulers (they are the window's)
    // Painting order: the two shadow strips, the white label, its outline.
    EXPECT_EQ(e[0].tipo, Elemento::Tipo::Riquadro);
    EXPECT_EQ(e[0].colore, QColor(192, 192, 192));
    rettangoloVicino(e[0].rettangolo, 640.71, 4275, 6310.71, 4348.71);
    EXPECT_EQ(e[1].colore, QColor(192, 192, 192));
    rettangoloVicino(e[1].rettangolo, 6237, 1513.71, 6310.71, 4275);
    EXPECT_EQ(e[2].colore, QColor(255, 255, 255));
    rettangoloVicino(e[2].rettangolo, 567, 1440, 6237, 4275);
    EXPECT_EQ(e[3].tipo, Elemento::Tipo::Contorno);
    EXPECT_EQ(e[3].colore, QColor(0, 0, 0));
    rettangoloVicino(e[3].rettangolo, 567, 1440, 6237, 4275);
}

// The rulers' marks: millimetres with numbers every centimetre at 100 %, fewer numbers when
// zoomed out (they stay 40 pixels apart), inches for a locale that measures in them.
TEST(Superficie, RulerMarksInMillimetresOrInches)
{
    const auto numeri = [](const std::vector<TaccaRighello>& t) {
        QStringList r;
        for (const auto& x : t)
            if (x.livello == 2) r << x.numero;
        return r;
    };
    // 100 %: 15 twips a pixel, a centimetre is 37.8 pixels: numbers every 2 cm, marks every mm.
    auto t = TaccheRighello(-500, 567 * 6, 15, false);
    EXPECT_EQ(numeri(t), (QStringList{"0", "20", "40", "60"}));
    EXPECT_NEAR(t[1].posizione - t[0].posizione, 56.7, 1e-9);
    EXPECT_EQ(t[0].livello, 0);
    EXPECT_EQ(t[9].livello, 2);  // 0 mm
    EXPECT_EQ(t[19].livello, 1);  // 10 mm: the middle mark
    // 400 %: every centimetre numbered.
    EXPECT_EQ(numeri(TaccheRighello(0, 567 * 3, 15 / 4.0, false)), (QStringList{"0", "10", "20", "30"}));
    // 25 %: every 5 cm; marks never closer than 3 pixels.
    t = TaccheRighello(0, 567 * 20, 60, false);
    EXPECT_EQ(numeri(t), (QStringList{"0", "50", "100", "150", "200"}));
    EXPECT_GE((t[1].posizione - t[0].posizione) / 60, 3);
    // Inches: an inch is 1440 twips, 96 pixels at 100 %, numbered each, sixteenths marked.
    t = TaccheRighello(0, 1440 * 2, 15, true);
    EXPECT_EQ(numeri(t), (QStringList{"0", "1", "2"}));
    EXPECT_NEAR(t[1].posizione, 1440.0 / 16, 1e-9);
    EXPECT_EQ(t[8].livello, 1);  // the half inch
}

TEST(Superficie, GrigliaSoloSeAttiva)
{
    const auto e = ElementiSuperficie(layout(10, 10), true);
    const auto punti = diTipo(e, Elemento::Tipo::Punto);
    ASSERT_EQ(punti.size(), 161u * 161u);
    EXPECT_EQ(punti.front().punto, QPointF(567, 1440));
    EXPECT_NEAR(punti.back().punto.x(), 18711, 1e-6);
    EXPECT_NEAR(punti.back().punto.y(), 19584, 1e-6);
    // The grid is the last thing painted, over the label.
    EXPECT_EQ(e.back().tipo, Elemento::Tipo::Punto);
}

TEST(Superficie, LayoutDesigner)
{
    struct Caso {
        double larghezza, altezza;
        std::optional<int> massimoH, massimoV;
    };
    const Caso casi[] = {
        {10000, 8000, 9035, 12000},
        {25000, 30000, 5965, 10000},
        {19035, 20000, 0, 0},
        {60000, 20000, std::nullopt, 0},  // out of the 16-bit range: the old maximum stays
    };
    for (const auto& c : casi) {
        IngressoLayout in;
        in.larghezzaInterna = c.larghezza;
        in.altezzaInterna = c.altezza;
        in.toolbar = 1200;
        in.statusBar = 300;
        in.valoreV = 600;
        in.valoreH = 250;
        const auto r = LayoutDesigner(in);
        EXPECT_EQ(r.massimoH, c.massimoH) << c.larghezza;
        EXPECT_EQ(r.massimoV, c.massimoV) << c.altezza;
        EXPECT_EQ(r.picBox, QPointF(-250, -600));
        EXPECT_EQ(r.hscroll, QRectF(0, c.altezza - 285 - 300, c.larghezza - 285, 285));
        EXPECT_EQ(r.vscroll, QRectF(c.larghezza - 285, 1200, 285, c.altezza - 285 - 1200 - 300));
    }
}

TEST(Superficie, OggettiSottoIlPunto)
{
    DocumentoEtichetta doc;
    auto* r1 = doc.CreaRettangolo(1000, 1000, 2000, 2000);
    auto* r2 = doc.CreaRettangolo(1500, 1500, 2000, 2000);
    auto* t = doc.CreaTesto(1200, 1200, 1000, 255);
    auto* b = doc.CreaBarcode(1100, 1100, 500, 500);

    // Text and barcode take their own clicks, the topmost first; rectangles never.
    EXPECT_EQ(OggettoCliccato(doc, 1300, 1300), b);
    doc.PortaDavanti(t);
    EXPECT_EQ(OggettoCliccato(doc, 1300, 1300), t);
    EXPECT_EQ(OggettoCliccato(doc, 1600, 1600), nullptr);
    // A click on the surface itself: the first object of the list wins.
    EXPECT_EQ(PrimoOggettoNelPunto(doc, 1600, 1600), r1);
    EXPECT_EQ(PrimoOggettoNelPunto(doc, 3200, 3200), r2);
    // Right and bottom edges are outside.
    EXPECT_EQ(PrimoOggettoNelPunto(doc, 3500, 2000), nullptr);
    EXPECT_EQ(PrimoOggettoNelPunto(doc, 3499.5, 2000), r2);
    // Hidden objects (templates) are never hit.
    r1->Visible = false;
    EXPECT_EQ(PrimoOggettoNelPunto(doc, 1600, 1600), r2);
}

TEST(Superficie, PosizioniManiglie)
{
    // Grips 5 pixels square at 15 twips per pixel: half side 37, offset 8.
    const auto m = PosizioniManiglie(QRectF(1000, 2000, 600, 300), QPointF(0, -400), 5, ScalaSuperficie{});
    const QPointF attese[8] = {{971, 2371},  {1263, 2371}, {1555, 2371}, {1555, 2513},
                               {1555, 2655}, {1263, 2655}, {971, 2655},  {971, 2513}};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(m[size_t(i)], attese[i]) << i;
}

TEST(Superficie, TheShapeOfARoundLabelIsAGuide)
{
    // (a rectangle has none: EtichettaEOmbraDi100x50) an ellipse fills the label's box
    LayoutEtichetta tonda = layout(60, 40);
    tonda.Forma = FormaEtichetta::Ellisse;
    auto g = diTipo(ElementiSuperficie(tonda, false), Elemento::Tipo::Guida);
    ASSERT_EQ(g.size(), 1u);
    EXPECT_EQ(g[0].rettangolo, RettangoloEtichetta(tonda));

    // a CD: the disc (cut to the box when wider) and its hole, both centred on the label
    LayoutEtichetta cd = layout(117, 110);
    cd.Forma = FormaEtichetta::CD;
    cd.DiametroEsterno = 117;
    cd.DiametroForo = 41;
    g = diTipo(ElementiSuperficie(cd, false), Elemento::Tipo::Guida);
    ASSERT_EQ(g.size(), 2u);
    const QPointF centro = RettangoloEtichetta(cd).center();
    for (const auto& [e, d] : {std::pair{g[0], 117.0}, std::pair{g[1], 41.0}}) {
        EXPECT_NEAR(e.rettangolo.width(), d * Millimetro, 1e-6);
        EXPECT_NEAR(e.rettangolo.height(), d * Millimetro, 1e-6);
        EXPECT_NEAR(e.rettangolo.center().x(), centro.x(), 1e-6);
        EXPECT_NEAR(e.rettangolo.center().y(), centro.y(), 1e-6);
    }
    // without a stated diameter the disc is the box's smaller side, and no hole
    cd.DiametroEsterno = cd.DiametroForo = 0;
    g = diTipo(ElementiSuperficie(cd, false), Elemento::Tipo::Guida);
    ASSERT_EQ(g.size(), 1u);
    EXPECT_NEAR(g[0].rettangolo.width(), 110 * Millimetro, 1e-6);
}

TEST(Superficie, VariablesShowTheValuesTheNextPrintWouldUseInGrey)
{
    test::AssicuraApplicazione();
    DocumentoEtichetta doc;
    VariabileEtichetta serie;
    serie.Nome = QStringLiteral("Serial");
    serie.Inizio = 1000;
    serie.Cifre = 6;
    doc.ImpostaVariabili({serie});
    auto* codice = doc.CreaBarcode(567, 1440, 3000, 1000);
    codice->Tag = QStringLiteral("20");  // Code 128
    codice->ToolTipText = QStringLiteral("${Serial}");
    auto* t = doc.CreaTesto(567, 2600, 3000, 400);
    t->Caption = QStringLiteral("Asset ${Serial}");
    t->FontName = QStringLiteral("Arial");
    t->FontSize = 14;
    RisolutoreValori valori = ValoriProssimaStampa(doc, QDateTime::currentDateTime());
    EXPECT_EQ(Superficie::DisegnoBarcodeOggetto(*codice, &valori).testo, QStringLiteral("001000"));
    // a field of the records among them: a sample of the kind, as before
    codice->ToolTipText = QStringLiteral("${Serial}${Lot}");
    EXPECT_NE(Superficie::DisegnoBarcodeOggetto(*codice, &valori).testo, QStringLiteral("001000001000"));

    // the text in grey, never in its own black
    QImage img(400, 100, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    const ScalaSuperficie scala;
    p.translate(-567 / scala.x, -2600 / scala.y);
    Superficie::DisegnaOggetto(p, *t, scala, &valori);
    p.end();
    int grigi = 0, neri = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QColor c = img.pixelColor(x, y);
            if (c == QColor(Qt::darkGray)) ++grigi;
            if (c.lightness() < 100) ++neri;
        }
    EXPECT_GT(grigi, 20);
    EXPECT_EQ(neri, 0);
}
