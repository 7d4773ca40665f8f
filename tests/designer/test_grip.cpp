// clsGrip geometry, RoundToStep and the millimetre snapping.
#include "common/TestSupport.h"
#include "designer/clsGrip.h"

#include <cmath>

using namespace cartigo;
using namespace cartigo::modCartigo;

TEST(Grip, RoundToStep)
{
    struct Caso {
        double valore, passo;
        int modo;
        double atteso;
    };
    const Caso casi[] = {
        {7, 2, 2, 8},   {-7, 2, 2, -8}, {6, 2, 0, 6},   {6, 2, 1, 6},   {6, 2, 2, 6}, {6, 2, 9, 6},
        {7, 2, 0, 6},   {7, 2, 1, 8},   {-7, 2, 0, -8}, {-7, 2, 1, -6}, {5, 2, 2, 6}, {-5, 2, 2, -6},
        {7.2, 2, 2, 8}, {6.9, 2, 2, 6}, {7, 2, 5, 7},   {0, 0, 2, 0},   {7, 0, 2, 7}, {1.0, 0.5, 2, 1.0},
    };
    for (const auto& c : casi)
        EXPECT_DOUBLE_EQ(RoundToStep(c.valore, c.passo, c.modo), c.atteso)
            << c.valore << " " << c.passo << " " << c.modo;
}

TEST(Grip, SnapToMillimetresOfTheLabel)
{
    // From the label's top-left corner (567, 1440): 10.13 mm -> 10 mm, 10.51 mm -> 11 mm,
    // -0.4 mm -> 0; a position on the raster stays as it is.
    struct Caso {
        double mm, atteso;
    };
    const Caso casi[] = {{10.13, 10}, {10.51, 11}, {9.49, 9}, {-0.4, 0}, {-2.6, -3}, {0, 0}, {17, 17}};
    for (const auto& c : casi) {
        EXPECT_NEAR(SnapX(567 + c.mm * 56.7, 1), 567 + c.atteso * 56.7, 1e-9) << c.mm;
        EXPECT_NEAR(SnapY(1440 + c.mm * 56.7, 1), 1440 + c.atteso * 56.7, 1e-9) << c.mm;
    }
    EXPECT_EQ(SnapX(567 + 17 * 56.7, 1), 567 + 17 * 56.7);
    // Steps of two millimetres.
    EXPECT_NEAR(SnapX(567 + 2.9 * 56.7, 2), 567 + 2 * 56.7, 1e-9);
}

TEST(Grip, PtInRectENormalize)
{
    clsGrip g;
    g.Left = 100;
    g.Right = 200;
    g.Top = 10;
    g.Bottom = 20;
    EXPECT_TRUE(g.PtInRect(100, 10));
    EXPECT_FALSE(g.PtInRect(200, 10));
    EXPECT_TRUE(g.PtInRect(199.5f, 19.5f));
    EXPECT_FALSE(g.PtInRect(150, 20));
    EXPECT_FALSE(g.PtInRect(99.9f, 15));

    g.SetWidth(0);
    EXPECT_EQ(g.Right, g.Left);
    EXPECT_FALSE(g.PtInRect(100, 15));
    g.SetHeight(7);
    EXPECT_EQ(g.Bottom, 17);

    clsGrip n;
    n.Left = 300;
    n.Right = 100;
    n.Top = 50;
    n.Bottom = 50;
    n.NormalizeRect();
    EXPECT_EQ(n.Left, 100);
    EXPECT_EQ(n.Right, 300);
    EXPECT_EQ(n.Top, 50);
    EXPECT_EQ(n.Bottom, 50);
}

TEST(Grip, DallOggettoAlRettangolo)
{
    MetricaSchermo m;
    clsGrip g(m);
    OggettoEtichetta o;
    o.Left = 1000.5f;
    o.Top = 1501.5f;
    o.Width = 300.5f;
    o.Height = 200;
    // Halves go to the even neighbour; the surface sits 600 twips up in the window.
    g.SetRectToCtrl(o, QPointF(0, -600));
    EXPECT_EQ(g.Left, 1000);
    EXPECT_EQ(g.Top, 902);
    EXPECT_EQ(g.Right, 1300);  // 1000 + 300.5 rounds to even
    EXPECT_EQ(g.Bottom, 1102);

    // A frame in surface twips, inside out while a grip passes the opposite edge.
    g.SetRectToCtrl(QRectF(2000, 1000, -1000.5, 300), QPointF(0, -600));
    EXPECT_EQ(g.Left, 2000);
    EXPECT_EQ(g.Top, 400);
    EXPECT_EQ(g.Right, 1000);  // 999.5 rounds to even
    EXPECT_EQ(g.Bottom, 700);
}

TEST(Grip, DaTwipsASchermo)
{
    // The window's client area starts at (200, 100) on the screen.
    MetricaSchermo m;
    m.ScreenToClient = [](QPoint p) { return p - QPoint(200, 100); };
    m.ClientToScreen = [](QPoint p) { return p + QPoint(200, 100); };
    clsGrip g(m);
    g.Left = 1500;
    g.Top = 3000;
    g.Right = 3007;   // 200.47 pixels -> 200
    g.Bottom = 4508;  // 300.53 pixels -> 301
    g.TwipsToScreen();
    EXPECT_EQ(g.Left, 300);
    EXPECT_EQ(g.Top, 300);
    EXPECT_EQ(g.Right, 400);
    EXPECT_EQ(g.Bottom, 401);
}
