// Mouse editing without a window: creating at a click, the hit order, moving and
// sizing with the band and each grip, snapped and not, and what a double-click opens.
//
// The bench: 15 twips per pixel; the window's client origin at screen (100, 50);
// the surface 60 pixels below it (900 window twips), so a surface point (x, y) in
// twips is at screen (100 + x / 15, 110 + y / 15).
#include "designer/EditorSuperficie.h"
#include "designer/FinestraFinta.h"
#include "label/Conversioni.h"
#include "label/Locale.h"

#include <gtest/gtest.h>

using namespace cartigo;

// Frames read in failure messages.
inline void PrintTo(const QRectF& r, std::ostream* os)
{
    *os << "(" << r.x() << ", " << r.y() << ", " << r.width() << " x " << r.height() << ")";
}

namespace {

struct Banco : ::testing::Test {
    MetricaSchermo metrica;
    DocumentoEtichetta doc;
    test::FinestraFinta finestra;
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
            // The snapped click: 16.46 x 9.79 mm of the label become 16 x 10 mm.
            const QRectF atteso(snap ? 567 + 16 * 56.7 : 1500, snap ? 1440 + 10 * 56.7 : 1995, c.w, c.h);
            EXPECT_NEAR(o->Left, atteso.left(), 1e-3);
            EXPECT_NEAR(o->Top, atteso.top(), 1e-3);
            EXPECT_EQ(o->Width, c.w);
            EXPECT_EQ(o->Height, c.h);
            // Selected, its frame drawn by the mouse, the tool spent.
            EXPECT_EQ(ed->CurrentObject(), o);
            EXPECT_EQ(ed->DragState, 4);  // drawing its frame
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
            // Released where it was pressed: placed, not moved.
            EXPECT_EQ(cornice(o), QRectF(o->Left, o->Top, c.w, c.h));
            EXPECT_NEAR(o->Left, atteso.left(), 1e-3);
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
    // With no tool armed a click on a rectangle selects it too: the selection tool is back.
    ed->ClearSelection();
    clic(5000, 5000);
    EXPECT_EQ(ed->CurrentObject(), r2);
    ed->ImpostaCurrentObject(nullptr);
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
}

TEST_F(Banco, MovingWithSnapDrawsTheBandOverTheSnappedFrame)
{
    auto* r = doc.CreaRettangolo(1500, 3000, 1500, 900);  // 16.46 x 27.51 mm of the label
    ed->StrumentoSelezione();
    ed->MouseDown(Qt::LeftButton, {1650, 3150}, schermo(1650, 3150));  // screen (210, 320)
    // 100 x 20 pixels up and left: surface (0, 2700), that is -10 x 22.22 mm -> -10 x 22 mm.
    ed->Form_MouseMove(QPoint(110, 300));
    EXPECT_NEAR(ed->CorniceTrascinata().left(), 0, 1e-9);
    EXPECT_NEAR(ed->CorniceTrascinata().top(), 1440 + 22 * 56.7, 1e-9);
    EXPECT_EQ(ed->CorniceTrascinata().size(), QSizeF(1500, 900));
    // The band over it: window twips (0, 3587.4) -> pixels (0, 239) on the client.
    EXPECT_EQ(ed->RettangoloBanda(), QRect(100, 289, 100, 60));
    EXPECT_EQ(finestra.bande, (QList<QRect>{QRect(100, 289, 100, 60)}));
    EXPECT_TRUE(ed->Form_MouseUp(Qt::LeftButton));
    EXPECT_EQ(r->Left, 0);
    EXPECT_NEAR(r->Top, 1440 + 22 * 56.7, 1e-3);
    EXPECT_EQ(r->Width, 1500);
    EXPECT_EQ(r->Height, 900);
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
    EXPECT_EQ(m[0], QPointF(1500 - 37 + 8, 3000 - 37 + 8));  // the others: test_superficie.cpp
    EXPECT_EQ(ed->ManigliaNelPunto({2250, 3300}), -1);

    // With snap the moved edges land on millimetres of the label: screen (250, 340) is
    // surface (2250, 3450), 29.68 x 35.45 mm -> 30 x 35 mm; the other edges stay.
    ed->Snap = true;
    ed->MouseDown(Qt::LeftButton, m[4] + QPointF(30, 30), schermo(m[4].x() + 30, m[4].y() + 30));
    ed->Form_MouseMove({250, 340});
    EXPECT_EQ(ed->DragRect.Left, 200);
    EXPECT_EQ(ed->DragRect.Right, 251);   // 2268 twips
    EXPECT_EQ(ed->DragRect.Bottom, 338);  // 4324.5 window twips
    ed->Form_MouseUp(Qt::LeftButton);
    EXPECT_EQ(o->Left, 1500);
    EXPECT_EQ(o->Top, 3000);
    EXPECT_NEAR(o->Width, 30 * 56.7 + 567 - 1500, 1e-3);
    EXPECT_NEAR(o->Height, 35 * 56.7 + 1440 - 3000, 1e-3);
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
    ed->picHandle_MouseDown(0, {});  // nothing to size
    EXPECT_EQ(ed->DragState, 0);
}

TEST_F(Banco, ADoubleClickEditsTheObjectUnderThePointer)
{
    using D = EditorSuperficie::DoppioClic;
    auto* t = doc.CreaTesto(1500, 1500, 1000, 300);
    auto* b = doc.CreaBarcode(3000, 1500, 1000, 600);
    auto* p = doc.CreaImmagine(4500, 1500, 1000, 600);
    doc.CreaRettangolo(6000, 1500, 1000, 600);
    struct Caso {
        QPointF punto;
        D atteso;
        OggettoEtichetta* selezionato;
    };
    // The text selected, the selection tool then left off by a command (as the data
    // commands do): each double-click edits what it hits, never the text, and selects it.
    const Caso casi[] = {{{3100, 1600}, D::ModificaTesto, b},
                         {{1600, 1600}, D::ModificaTesto, t},
                         {{4600, 1600}, D::ModificaImmagine, p},
                         {{6100, 1600}, D::Nessuno, nullptr}};
    for (const auto& c : casi) {
        ed->ImpostaSelezione({t, p});
        ed->SelectMode = false;
        EXPECT_EQ(ed->DblClick(c.punto), c.atteso);
        if (c.selezionato) {
            EXPECT_EQ(ed->Selezione(), std::vector<OggettoEtichetta*>{c.selezionato});
            EXPECT_TRUE(ed->SelectMode);
            ASSERT_TRUE(ed->Maniglie());
            const double x = ed->Maniglie()->at(1).x();  // the top middle grip, on its object
            EXPECT_TRUE(x > c.selezionato->Left && x < c.selezionato->Left + c.selezionato->Width) << x;
        }
    }
    // A linked object opens the field link, its own and only its own.
    b->DataMember = QStringLiteral("Campo");
    ed->ImpostaCurrentObject(b);
    EXPECT_EQ(ed->DblClick({1600, 1600}), D::ModificaTesto);
    EXPECT_EQ(ed->CurrentObject(), t);
    for (auto* o : {t, b, p}) {
        o->DataMember = QStringLiteral("Campo");
        ed->ClearSelection();
        EXPECT_EQ(ed->DblClick({o->Left + 50, o->Top + 50}), D::Collega);
        EXPECT_EQ(ed->CurrentObject(), o);
    }
    // A click with no tool armed selects: the selection tool comes back by itself.
    ed->ClearSelection();
    ASSERT_FALSE(ed->SelectMode);
    clic(3100, 1600);
    EXPECT_EQ(ed->CurrentObject(), b);
    EXPECT_TRUE(ed->SelectMode);
}

namespace {
// Millimetres of the label from its top-left corner, for a surface position.
double mmX(double twips)
{
    return (twips - OrigineEtichettaX) / 56.7;
}
double mmY(double twips)
{
    return (twips - OrigineEtichettaY) / 56.7;
}
bool mmInteri(double mm)
{
    return std::fabs(mm - std::round(mm)) < 1e-4;
}
}  // namespace

TEST_F(Banco, AClickWithoutADragLeavesTheFrameAndTheLabelAlone)
{
    // 283 / 227 / 3400 / 330 on the label: neither whole pixels nor whole millimetres.
    const QRectF frame(283 + OrigineEtichettaX, 227 + OrigineEtichettaY, 3400, 330);
    for (bool snap : {true, false}) {
        SCOPED_TRACE(testing::Message() << "snap " << snap);
        doc.NuovaEtichetta();
        auto* r = doc.CreaRettangolo(float(frame.x()), float(frame.y()), 3400, 330);
        ed->Snap = snap;
        ed->StrumentoSelezione();
        int notifiche = 0;
        QObject::connect(&doc, &DocumentoEtichetta::oggettoCambiato, [&] { ++notifiche; });
        doc.ImpostaModificato(false);
        const QPointF dentro = frame.topLeft() + QPointF(1000, 100);
        // A plain click, then one with a move event at the press point (a still mouse).
        for (int mossa = 0; mossa < 2; ++mossa) {
            ed->MouseDown(Qt::LeftButton, dentro, schermo(dentro.x(), dentro.y()));
            if (mossa) ed->Form_MouseMove(schermo(dentro.x(), dentro.y()));
            EXPECT_FALSE(ed->Form_MouseUp(Qt::LeftButton));
            EXPECT_EQ(cornice(r), frame);
        }
        // A drag that comes back to where it started.
        ed->MouseDown(Qt::LeftButton, dentro, schermo(dentro.x(), dentro.y()));
        ed->Form_MouseMove(schermo(dentro.x() + 600, dentro.y() + 450));
        ed->Form_MouseMove(schermo(dentro.x(), dentro.y()));
        EXPECT_FALSE(ed->Form_MouseUp(Qt::LeftButton));
        EXPECT_EQ(cornice(r), frame);
        // A press on a grip released without a move.
        ASSERT_TRUE(finestra.maniglie);
        const QPointF m = (*finestra.maniglie)[4] + QPointF(30, 30);
        ASSERT_EQ(ed->ManigliaNelPunto(m), 4);
        ed->MouseDown(Qt::LeftButton, m, schermo(m.x(), m.y()));
        EXPECT_EQ(ed->DragState, 2);
        EXPECT_FALSE(ed->Form_MouseUp(Qt::LeftButton));
        EXPECT_EQ(cornice(r), frame);
        EXPECT_FALSE(doc.Modificato());
        EXPECT_EQ(notifiche, 0);
        EXPECT_TRUE(finestra.bande.isEmpty());
        QObject::disconnect(&doc, &DocumentoEtichetta::oggettoCambiato, nullptr, nullptr);
    }
}

TEST_F(Banco, SnapGoesToWholeMillimetresOfTheLabelWhereverTheWindowIs)
{
    // The same drags with the window at other places on the screen and the surface
    // scrolled by parts of a pixel: the objects land on the same millimetres.
    struct Posto {
        QPoint cliente;       // the window's client origin on the screen
        QPointF contenitore;  // the surface inside the window, twips
    };
    const Posto posti[] = {{{100, 50}, {0, 900}}, {{333, 77}, {0, 900}}, {{101, 49}, {-1237.5, 900 - 4002}}};
    std::optional<QRectF> mosso, dimensionato, creato;
    for (const auto& posto : posti) {
        SCOPED_TRACE(testing::Message() << "client at " << posto.cliente.x() << "," << posto.cliente.y());
        metrica.ScreenToClient = [c = posto.cliente](QPoint p) { return p - c; };
        metrica.ClientToScreen = [c = posto.cliente](QPoint p) { return p + c; };
        finestra.contenitore = posto.contenitore;
        // A surface point (twips) on this screen, rounded to a pixel like a real cursor.
        auto qui = [&](QPointF tw) {
            const QPointF w = tw + posto.contenitore;
            return QPoint(int(std::lround(w.x() / 15)), int(std::lround(w.y() / 15))) + posto.cliente;
        };
        doc.NuovaEtichetta();
        ed->Snap = true;
        auto* r = doc.CreaRettangolo(283 + OrigineEtichettaX, 227 + OrigineEtichettaY, 3400, 330);
        ed->StrumentoSelezione();

        // Moved by 37 x 23 pixels: the top-left corner on whole millimetres, the size kept.
        const QPointF da(r->Left + 1000, r->Top + 100);
        ed->MouseDown(Qt::LeftButton, da, qui(da));
        ed->Form_MouseMove(qui(da) + QPoint(37, 23));
        ed->Form_MouseUp(Qt::LeftButton);
        EXPECT_TRUE(mmInteri(mmX(r->Left))) << mmX(r->Left);
        EXPECT_TRUE(mmInteri(mmY(r->Top))) << mmY(r->Top);
        EXPECT_NEAR(mmX(r->Left), (283 + 37 * 15) / 56.7, 0.5);
        EXPECT_EQ(r->Width, 3400);
        EXPECT_EQ(r->Height, 330);
        if (!mosso) mosso = cornice(r);
        EXPECT_EQ(cornice(r), *mosso);

        // Sized with the bottom-right grip: the moved edges on whole millimetres, the others kept.
        const QPointF m = (*finestra.maniglie)[4] + QPointF(30, 30);
        ASSERT_EQ(ed->ManigliaNelPunto(m), 4);
        const double sinistra = r->Left, alto = r->Top;
        ed->MouseDown(Qt::LeftButton, m, qui(m));
        ed->Form_MouseMove(qui(QPointF(r->Left + 2000, r->Top + 1000)));
        ed->Form_MouseUp(Qt::LeftButton);
        EXPECT_EQ(r->Left, sinistra);
        EXPECT_EQ(r->Top, alto);
        EXPECT_TRUE(mmInteri(r->Width / 56.7)) << r->Width;
        EXPECT_TRUE(mmInteri(r->Height / 56.7)) << r->Height;
        if (!dimensionato) dimensionato = cornice(r);
        EXPECT_EQ(cornice(r), *dimensionato);

        // Placed by a click at 16.46 x 9.79 mm of the label: at 16 x 10 mm.
        ed->ImpostaModoInserimento(ModoInserimento::Barcode);
        const QPointF p(OrigineEtichettaX + 933, OrigineEtichettaY + 555);
        ed->MouseDown(Qt::LeftButton, p, qui(p));
        ed->Form_MouseUp(Qt::LeftButton);
        const OggettoEtichetta* b = doc.Oggetti().back();
        EXPECT_NEAR(mmX(b->Left), 16, 1e-4);
        EXPECT_NEAR(mmY(b->Top), 10, 1e-4);
        EXPECT_EQ(b->Width, 1935);
        if (!creato) creato = cornice(b);
        EXPECT_EQ(cornice(b), *creato);
    }
    // The label file holds the millimetres as they are: 16 mm is 907.2 twips.
    const OggettoEtichetta* b = doc.Oggetti().back();
    EXPECT_EQ(modCartigo::SingleFile(b->Left - OrigineEtichettaX, ImpostazioniLocali::inglese()).trimmed(),
              QStringLiteral("907.2"));
}
