// Mouse editing without a window: creating at a click, the hit order, moving and
// sizing with the band and each grip, snapped and not, and what a double-click opens.
//
// The bench: 15 twips per pixel; the window's client origin at screen (100, 50);
// the surface 60 pixels below it (900 window twips), so a surface point (x, y) in
// twips is at screen (100 + x / 15, 110 + y / 15).
#include "designer/EditorSuperficie.h"

#include <gtest/gtest.h>

using namespace cartigo;

namespace {

struct FinestraFinta : FinestraDesigner {
    QList<QRect> bande;  // drawn and not yet erased
    int disegni = 0;
    std::optional<std::array<QPointF, 8>> maniglie;
    bool catturato = false;
    bool croce = false;
    int ridisegni = 0;
    QStringList fontMostrati;

    QPointF Contenitore() const override { return {0, 900}; }
    void DrawDragRect(const QRect& r) override
    {
        ++disegni;
        if (bande.contains(r))
            bande.removeOne(r);
        else
            bande.append(r);
    }
    void MostraManiglie(const std::optional<std::array<QPointF, 8>>& p) override { maniglie = p; }
    void CatturaMouse(bool c) override { catturato = c; }
    void PuntatoreInserimento(bool c) override { croce = c; }
    void Ridisegna() override { ++ridisegni; }
    void ShowFontState(const OggettoEtichetta& t) override { fontMostrati << t.Chiave(); }
};

struct Banco : ::testing::Test {
    MetricaSchermo metrica;
    DocumentoEtichetta doc;
    FinestraFinta finestra;
    std::unique_ptr<EditorSuperficie> ed;
    Banco()
    {
        metrica.TwipsPerPixelX = metrica.TwipsPerPixelY = 15;
        metrica.ScreenToClient = [](QPoint p) { return p - QPoint(100, 50); };
        metrica.ClientToScreen = [](QPoint p) { return p + QPoint(100, 50); };
        ed = std::make_unique<EditorSuperficie>(doc, finestra, metrica);
    }
    static QPoint schermo(double x, double y) { return {100 + int(x / 15), 110 + int(y / 15)}; }
    // Press, optional moves, release, all at surface twips.
    void clic(double x, double y) { trascina(x, y, x, y); }
    void trascina(double x1, double y1, double x2, double y2)
    {
        ed->MouseDown(Qt::LeftButton, {x1, y1}, schermo(x1, y1));
        ed->Form_MouseMove(schermo(x2, y2));
        ed->Form_MouseUp(Qt::LeftButton);
    }
    static QRectF cornice(const OggettoEtichetta* o) { return {o->Left, o->Top, o->Width, o->Height}; }
    // A value on the millimetre raster of the window (multiples of 56.7 / 15 twips).
    static bool sulRaster(double twipsFinestra)
    {
        const double q = twipsFinestra / (56.7 / 15);
        return std::fabs(q - std::round(q)) < 1e-3;
    }
};

}  // namespace

TEST_F(Banco, CreationAtTheClickWithTheDefaultSizes)
{
    struct Caso {
        ModoInserimento modo;
        TipoOggetto tipo;
        float w, h;
    };
    const Caso casi[] = {{ModoInserimento::Testo, TipoOggetto::Testo, 1000, 255},
                         {ModoInserimento::Barcode, TipoOggetto::Barcode, 1935, 1035},
                         {ModoInserimento::Immagine, TipoOggetto::Immagine, 1935, 1035},
                         {ModoInserimento::Rettangolo, TipoOggetto::Rettangolo, 1935, 1035}};
    for (bool snap : {false, true}) {
        for (const auto& c : casi) {
            SCOPED_TRACE(testing::Message() << "snap " << snap << " kind " << int(c.tipo));
            doc.NuovaEtichetta();
            ed->Snap = snap;
            ed->ImpostaModoInserimento(c.modo);
            EXPECT_TRUE(finestra.croce);
            EXPECT_FALSE(ed->SelectMode);
            ed->MouseDown(Qt::LeftButton, {1500, 1995}, schermo(1500, 1995));
            ASSERT_EQ(doc.NumeroOggetti(), 1);
            OggettoEtichetta* o = doc.Oggetti().front();
            EXPECT_EQ(o->tipo, c.tipo);
            // The snapped click: 397 x 3.78 = 1500.66; 528 x 3.78 = 1995.84.
            EXPECT_NEAR(o->Left, snap ? 1500.66 : 1500, 0.005);
            EXPECT_NEAR(o->Top, snap ? 1995.84 : 1995, 0.005);
            EXPECT_EQ(o->Width, c.w);
            EXPECT_EQ(o->Height, c.h);
            // Selected, its band following the mouse, the tool spent.
            EXPECT_EQ(ed->CurrentObject(), o);
            EXPECT_EQ(ed->DragState, 1);
            EXPECT_TRUE(ed->SelectMode);
            EXPECT_EQ(doc.Modo(), ModoInserimento::Nessuno);
            EXPECT_FALSE(finestra.croce);
            EXPECT_TRUE(finestra.catturato);
            EXPECT_EQ(finestra.bande.size(), 1);
            EXPECT_FALSE(finestra.maniglie);

            ed->Form_MouseUp(Qt::LeftButton);
            EXPECT_EQ(ed->DragState, 0);
            EXPECT_FALSE(finestra.catturato);
            EXPECT_TRUE(finestra.bande.isEmpty());
            EXPECT_TRUE(finestra.maniglie);
            if (snap) {
                // Dropped through the grip rectangle: on the raster in window twips.
                EXPECT_TRUE(sulRaster(o->Left));
                EXPECT_TRUE(sulRaster(o->Top + 900));
                EXPECT_TRUE(sulRaster(o->Width));
                EXPECT_NEAR(o->Left, 1500.66, 2);
            } else {
                // Through whole screen pixels: a width of 1000 twips comes back as 1005.
                EXPECT_EQ(cornice(o), QRectF(1500, 1995, std::round(c.w / 15) * 15, c.h));
            }
            // A second click on empty surface creates nothing.
            clic(9000, 9000);
            EXPECT_EQ(doc.NumeroOggetti(), 1);
        }
    }
}

TEST_F(Banco, ToolsEndEachOtherAndTheSelection)
{
    ed->Snap = false;
    ed->ImpostaModoInserimento(ModoInserimento::Rettangolo);
    ed->ImpostaModoInserimento(ModoInserimento::Barcode);
    clic(1500, 1500);
    ASSERT_EQ(doc.NumeroOggetti(), 1);
    EXPECT_EQ(doc.Oggetti()[0]->tipo, TipoOggetto::Barcode);
    EXPECT_NE(ed->CurrentObject(), nullptr);

    ed->ImpostaModoInserimento(ModoInserimento::Testo);
    EXPECT_EQ(ed->CurrentObject(), nullptr);
    EXPECT_FALSE(finestra.maniglie);
    ed->StrumentoSelezione();
    EXPECT_TRUE(ed->SelectMode);
    EXPECT_EQ(doc.Modo(), ModoInserimento::Nessuno);
    EXPECT_FALSE(finestra.croce);
    clic(9000, 9000);
    EXPECT_EQ(doc.NumeroOggetti(), 1);
}

TEST_F(Banco, ACreationToolOnAnObjectThatTakesItsClicks)
{
    ed->Snap = false;
    doc.CreaTesto(1500, 1500, 1500, 300);
    doc.CreaRettangolo(4500, 1500, 1500, 1500);
    // On a text the text takes the click: nothing is created, the tool stays armed.
    ed->ImpostaModoInserimento(ModoInserimento::Rettangolo);
    clic(1800, 1600);
    EXPECT_EQ(doc.NumeroOggetti(), 2);
    EXPECT_EQ(doc.Modo(), ModoInserimento::Rettangolo);
    EXPECT_EQ(ed->CurrentObject(), nullptr);
    // On a rectangle the surface takes it: a new object there.
    clic(4995, 1995);
    ASSERT_EQ(doc.NumeroOggetti(), 3);
    EXPECT_EQ(cornice(doc.Oggetti()[2]), QRectF(4995, 1995, 1935, 1035));
}

TEST_F(Banco, HitOrder)
{
    ed->Snap = false;
    auto* r1 = doc.CreaRettangolo(1500, 1500, 3000, 3000);
    auto* r2 = doc.CreaRettangolo(3000, 3000, 3000, 3000);  // on top of r1
    ed->StrumentoSelezione();
    // Overlapping rectangles: the earlier in the surface's list wins.
    clic(3600, 3600);
    EXPECT_EQ(ed->CurrentObject(), r1);
    clic(5000, 5000);
    EXPECT_EQ(ed->CurrentObject(), r2);
    // A text under a rectangle still takes its own click; left edge in, right edge out.
    auto* t = doc.CreaTesto(3000, 3300, 600, 300);
    doc.PortaDietro(t);
    clic(3000, 3300);
    EXPECT_EQ(ed->CurrentObject(), t);
    EXPECT_EQ(finestra.fontMostrati.last(), QStringLiteral("oggTesto1"));
    clic(3600, 3400);
    EXPECT_EQ(ed->CurrentObject(), r1);
    // Empty surface: no selection, no grips.
    clic(12000, 12000);
    EXPECT_EQ(ed->CurrentObject(), nullptr);
    EXPECT_FALSE(finestra.maniglie);
    // Without the selection tool a click on a rectangle selects nothing.
    ed->ClearSelection();
    clic(5000, 5000);
    EXPECT_EQ(ed->CurrentObject(), nullptr);
    // The right button neither selects nor creates.
    ed->StrumentoSelezione();
    ed->MouseDown(Qt::RightButton, {5000, 5000}, schermo(5000, 5000));
    EXPECT_EQ(ed->CurrentObject(), nullptr);
    EXPECT_EQ(ed->DragState, 0);
}

TEST_F(Banco, MovingDrawsTheBandAndMovesTheObjectOnceOnRelease)
{
    ed->Snap = false;
    auto* r = doc.CreaRettangolo(1500, 3000, 1500, 900);  // screen (200, 310)-(300, 370)
    ed->StrumentoSelezione();
    int notifiche = 0;
    QObject::connect(&doc, &DocumentoEtichetta::oggettoCambiato, [&] { ++notifiche; });
    ed->MouseDown(Qt::LeftButton, {1650, 3150}, schermo(1650, 3150));
    EXPECT_EQ(ed->DragPoint, QPoint(10, 10));
    EXPECT_EQ(finestra.bande, (QList<QRect>{QRect(200, 310, 100, 60)}));
    ed->Form_MouseMove(schermo(1650 + 300, 3150 + 150));
    ed->Form_MouseMove(schermo(1650 + 600, 3150 + 450));
    EXPECT_EQ(finestra.bande, (QList<QRect>{QRect(240, 340, 100, 60)}));
    EXPECT_EQ(cornice(r), QRectF(1500, 3000, 1500, 900));  // not moved during the drag
    EXPECT_EQ(notifiche, 0);
    doc.ImpostaModificato(false);
    ed->Form_MouseUp(Qt::LeftButton);
    EXPECT_EQ(cornice(r), QRectF(2100, 3450, 1500, 900));
    EXPECT_EQ(notifiche, 1);
    EXPECT_TRUE(doc.Modificato());
    // A click without moving leaves it, and the label, as they were.
    doc.ImpostaModificato(false);
    clic(2200, 3500);
    EXPECT_EQ(cornice(r), QRectF(2100, 3450, 1500, 900));
    EXPECT_FALSE(doc.Modificato());
}

TEST_F(Banco, MovingWithSnapRoundsTheBandInScreenPixels)
{
    auto* r = doc.CreaRettangolo(1500, 3000, 1500, 900);
    ed->StrumentoSelezione();
    ed->MouseDown(Qt::LeftButton, {1650, 3150}, schermo(1650, 3150));  // DragPoint (10, 10)
    ed->Form_MouseMove(QPoint(110, 300));
    // Left edge would be at x = 100: 26 x 3.78 = 98.28 -> 98; y 290 -> 77 x 3.78 = 291.06 -> 291.
    EXPECT_EQ(ed->DragRect.Left, 98);
    EXPECT_EQ(ed->DragRect.Top, 291);
    EXPECT_EQ(ed->DragRect.Right, 197);   // 98 + 100 = 198 -> 52 x 3.78 = 196.56
    EXPECT_EQ(ed->DragRect.Bottom, 352);  // 291 + 60 = 351 -> 93 x 3.78 = 351.54
    ed->Form_MouseUp(Qt::LeftButton);
    // The drop snaps again, in window twips.
    EXPECT_TRUE(sulRaster(r->Left));
    EXPECT_TRUE(sulRaster(r->Top + 900));
    EXPECT_NEAR(r->Left, (98 - 100) * 15, 2);
    EXPECT_NEAR(r->Top, (291 - 50) * 15 - 900, 2);
}

TEST_F(Banco, SizingWithEachGrip)
{
    // The object at screen (200, 310)-(300, 370); each grip dragged to screen (250, 340) or past an edge.
    struct Caso {
        int maniglia;
        QPoint verso;
        QRectF atteso;  // surface twips
    };
    const Caso casi[] = {
        {0, {250, 340}, QRectF(2250, 3450, 750, 450)},
        {1, {250, 340}, QRectF(1500, 3450, 1500, 450)},
        {2, {250, 340}, QRectF(1500, 3450, 750, 450)},
        {3, {250, 340}, QRectF(1500, 3000, 750, 900)},
        {4, {250, 340}, QRectF(1500, 3000, 750, 450)},
        {5, {250, 340}, QRectF(1500, 3000, 1500, 450)},
        {6, {250, 340}, QRectF(2250, 3000, 750, 450)},
        {7, {250, 340}, QRectF(2250, 3000, 750, 900)},
        // Past the opposite edge: the band turns inside out and the drop normalises it;
        // the top grip below the bottom edge gives a top at the old bottom.
        {1, {250, 400}, QRectF(1500, 3900, 1500, 450)},
        {7, {350, 340}, QRectF(3000, 3000, 750, 900)},
        {0, {180, 300}, QRectF(1200, 2850, 1800, 1050)},
    };
    ed->Snap = false;
    for (const auto& c : casi) {
        SCOPED_TRACE(testing::Message() << "grip " << c.maniglia << " to " << c.verso.x() << "," << c.verso.y());
        doc.NuovaEtichetta();
        auto* o = doc.CreaRettangolo(1500, 3000, 1500, 900);
        ed->StrumentoSelezione();
        clic(1650, 3150);
        ASSERT_TRUE(finestra.maniglie);
        // Press on the grip itself, found under the point.
        const QPointF m = (*finestra.maniglie)[size_t(c.maniglia)] + QPointF(30, 30);
        ASSERT_EQ(ed->ManigliaNelPunto(m), c.maniglia);
        ed->MouseDown(Qt::LeftButton, m, schermo(m.x(), m.y()));
        EXPECT_EQ(ed->DragState, 2);
        EXPECT_FALSE(finestra.maniglie);
        ed->Form_MouseMove(c.verso);
        ed->Form_MouseUp(Qt::LeftButton);
        EXPECT_EQ(cornice(o), c.atteso);
        EXPECT_TRUE(finestra.bande.isEmpty());
        EXPECT_TRUE(finestra.maniglie);
    }
}

TEST_F(Banco, GripsSitAroundTheObjectAndSnapSizing)
{
    auto* o = doc.CreaRettangolo(1500, 3000, 1500, 900);
    ed->Snap = false;
    ed->StrumentoSelezione();
    clic(1650, 3150);
    ASSERT_TRUE(finestra.maniglie);
    const auto& m = *finestra.maniglie;
    // 5-pixel grips: hw = hh = 37; fx = fy = 8 (surface twips).
    EXPECT_EQ(m[0], QPointF(1500 - 37 + 8, 3000 - 37 + 8));
    EXPECT_EQ(m[4], QPointF(3000 - 37 - 8, 3900 - 37 - 8));
    EXPECT_EQ(m[1], QPointF(2250 - 37, 3000 - 37 + 8));
    EXPECT_EQ(m[7], QPointF(1500 - 37 + 8, 3450 - 37));
    EXPECT_EQ(ed->ManigliaNelPunto({2250, 3300}), -1);

    // With snap the moved edge lands on the screen raster: 250 -> 66 x 3.78 = 249.48 -> 249.
    ed->Snap = true;
    ed->MouseDown(Qt::LeftButton, m[4] + QPointF(30, 30), schermo(m[4].x() + 30, m[4].y() + 30));
    ed->Form_MouseMove({250, 340});
    EXPECT_EQ(ed->DragRect.Right, 249);
    EXPECT_EQ(ed->DragRect.Bottom, 340);  // 90 x 3.78 = 340.2
    EXPECT_EQ(ed->DragRect.Left, 200);    // unchanged
    ed->Form_MouseUp(Qt::LeftButton);
    EXPECT_TRUE(sulRaster(o->Width));
}

TEST_F(Banco, OtherButtonsOnAGripSizeUntilTheLeftRelease)
{
    ed->Snap = false;
    auto* o = doc.CreaRettangolo(1500, 3000, 1500, 900);
    ed->StrumentoSelezione();
    clic(1650, 3150);
    const QPointF m = (*finestra.maniglie)[3] + QPointF(30, 30);
    ed->MouseDown(Qt::RightButton, m, schermo(m.x(), m.y()));
    EXPECT_EQ(ed->DragState, 2);
    EXPECT_TRUE(finestra.catturato);
    ed->Form_MouseMove({260, 330});
    EXPECT_FALSE(ed->Form_MouseUp(Qt::RightButton));
    EXPECT_EQ(ed->DragState, 2);
    ed->Form_MouseMove({280, 330});
    ed->Form_MouseUp(Qt::LeftButton);
    EXPECT_EQ(cornice(o), QRectF(1500, 3000, 1200, 900));
    EXPECT_FALSE(finestra.catturato);
}

TEST_F(Banco, ClearingTheSelectionMidDragErasesTheBand)
{
    doc.CreaRettangolo(1500, 3000, 1500, 900);
    ed->StrumentoSelezione();
    ed->MouseDown(Qt::LeftButton, {1650, 3150}, schermo(1650, 3150));
    ed->Form_MouseMove({260, 330});
    ASSERT_EQ(finestra.bande.size(), 1);
    ed->ClearSelection();
    EXPECT_TRUE(finestra.bande.isEmpty());
    EXPECT_FALSE(finestra.catturato);
    EXPECT_EQ(ed->DragState, 0);
    EXPECT_FALSE(ed->SelectMode);
    // The release that follows does nothing more.
    ed->Form_MouseUp(Qt::LeftButton);
    EXPECT_TRUE(finestra.bande.isEmpty());
}

TEST_F(Banco, ADeletedSelectionIsNone)
{
    auto* t = doc.CreaTesto(1500, 1500, 1000, 255);
    ed->StrumentoSelezione();
    clic(1600, 1600);
    ASSERT_EQ(ed->CurrentObject(), t);
    doc.Scarica(t);
    EXPECT_EQ(ed->CurrentObject(), nullptr);
    ed->picHandle_MouseDown(0);  // nothing to size
    EXPECT_EQ(ed->DragState, 0);
}

TEST_F(Banco, WhatADoubleClickOpens)
{
    using D = EditorSuperficie::DoppioClic;
    auto* t = doc.CreaTesto(1500, 1500, 1000, 300);
    auto* b = doc.CreaBarcode(3000, 1500, 1000, 600);
    auto* p = doc.CreaImmagine(4500, 1500, 1000, 600);
    doc.CreaRettangolo(6000, 1500, 1000, 600);
    ed->StrumentoSelezione();
    struct Caso {
        QPointF punto;
        D atteso;
    };
    const Caso casi[] = {{{1600, 1600}, D::ModificaTesto},
                         {{3100, 1600}, D::ModificaTesto},
                         {{4600, 1600}, D::ModificaImmagine},
                         {{6100, 1600}, D::Nessuno}};
    for (const auto& c : casi) {
        clic(c.punto.x(), c.punto.y());
        EXPECT_EQ(ed->DblClick(c.punto), c.atteso);
    }
    for (auto* o : {t, b, p}) {
        o->DataMember = QStringLiteral("Campo");
        clic(o->Left + 50, o->Top + 50);
        EXPECT_EQ(ed->DblClick({o->Left + 50, o->Top + 50}), D::Collega);
    }
    // Nothing selected: nothing opens.
    ed->ClearSelection();
    EXPECT_EQ(ed->DblClick({1600, 1600}), D::Nessuno);
}
