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

TEST(Grip, SnapAlMillimetro)
{
    struct Caso {
        double valore, atteso;
    };
    // 15 twips per pixel: one millimetre is 3.78 pixels.
    const Caso casi[] = {{10, 3 * 3.78}, {5, 3.78}, {1, 0}, {0, 0}, {100, 26 * 3.78}, {1500, 397 * 3.78}};
    for (const auto& c : casi) {
        EXPECT_NEAR(SnapX(c.valore, 1, 15), c.atteso, 1e-9) << c.valore;
        EXPECT_NEAR(SnapY(c.valore, 1, 15), c.atteso, 1e-9) << c.valore;
    }
    EXPECT_EQ(CLng(SnapX(100, 1, 15)), 98);
    EXPECT_NEAR(SnapX(1500, 1, 15), 1500.66, 1e-9);
    // Other screens: 12 twips per pixel gives 4.725 pixels per millimetre.
    EXPECT_NEAR(SnapX(10, 1, 12), 2 * 4.725, 1e-9);
    // Without a window the current values are 15.
    EXPECT_NEAR(SnapX(5, 1), 3.78, 1e-9);
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

TEST(Grip, DallOggettoAlRettangoloEIndietro)
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

    // Snap off, inverted rectangle: the object goes to the smaller edges with a positive size.
    g.Left = 2000;
    g.Right = 1000;
    g.Top = 900;
    g.Bottom = 400;
    g.SetCtrlToRect(o, QPointF(0, -600), false);
    EXPECT_EQ(o.Left, 1000);
    EXPECT_EQ(o.Top, 1000);
    EXPECT_EQ(o.Width, 1000);
    EXPECT_EQ(o.Height, 500);

    // Snap on: every value to a multiple of 3.78 twips.
    g.Left = 1000;
    g.Right = 2000;
    g.Top = 400;
    g.Bottom = 900;
    g.SetCtrlToRect(o, QPointF(0, -600), true);
    EXPECT_NEAR(o.Left, 265 * 3.78, 1e-3);
    EXPECT_NEAR(o.Top, 106 * 3.78 + 600, 1e-3);
    EXPECT_NEAR(o.Width, 265 * 3.78, 1e-3);
    EXPECT_NEAR(o.Height, 132 * 3.78, 1e-3);
}

TEST(Grip, SchermoETwips)
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
    g.ScreenToTwips();
    EXPECT_EQ(g.Left, 1500);
    EXPECT_EQ(g.Top, 3000);
    EXPECT_EQ(g.Right, 3000);
    EXPECT_EQ(g.Bottom, 4515);

    // With whole twips per pixel, pixels -> twips -> pixels is exact.
    for (int x : {0, 1, 17, 640, 1279}) {
        clsGrip r(m);
        r.Left = x;
        r.Top = x / 2;
        r.Right = x + 33;
        r.Bottom = x + 7;
        const clsGrip prima = r;
        r.ScreenToTwips();
        r.TwipsToScreen();
        EXPECT_EQ(r.Left, prima.Left);
        EXPECT_EQ(r.Top, prima.Top);
        EXPECT_EQ(r.Right, prima.Right);
        EXPECT_EQ(r.Bottom, prima.Bottom);
    }
}
