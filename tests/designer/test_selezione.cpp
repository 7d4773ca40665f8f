// Several objects at once without a window: Shift and Ctrl clicks, the selection band,
// select all; align, distribute and same size in twips; the arrow keys with and without
// snap; and the zoom: hit tests, drags and grips at 25 %, 100 % and 400 %.
//
// The bench: 15 twips per pixel at 100 %; the window's client origin at screen (100, 50);
// the surface 60 pixels below it, so a surface point (x, y) in twips is at screen
// (100 + x * zoom / 15, 110 + y * zoom / 15).
#include "designer/ComandiEtichetta.h"
#include "designer/EditorSuperficie.h"
#include "designer/FinestraFinta.h"
#include "label/Conversioni.h"
#include "shell/InterazioneScriptata.h"

#include <gtest/gtest.h>

using namespace cartigo;

namespace {

struct Banco : ::testing::Test {
    MetricaSchermo metrica;
    DocumentoEtichetta doc;
    test::FinestraFinta finestra;
    InterazioneScriptata ui;
    ComandiEtichetta cmd{doc, ui};
    std::unique_ptr<EditorSuperficie> ed;
    OggettoEtichetta *t1, *t2, *b, *r;
    double zoom = 1;

    Banco()
    {
        metrica.TwipsPerPixelX = metrica.TwipsPerPixelY = 15;
        metrica.ScreenToClient = [](QPoint p) { return p - QPoint(100, 50); };
        metrica.ClientToScreen = [](QPoint p) { return p + QPoint(100, 50); };
        ed = std::make_unique<EditorSuperficie>(doc, finestra, metrica);
        t1 = doc.CreaTesto(1500, 1800, 1200, 300);
        b = doc.CreaBarcode(3000, 2400, 1935, 1035);
        t2 = doc.CreaTesto(6000, 1800, 600, 450);
        r = doc.CreaRettangolo(1200, 4500, 3000, 900);
        doc.Storia().clear();
        doc.ImpostaModificato(false);
        ed->Snap = false;
        ed->StrumentoSelezione();
    }
    void ingrandisci(double z)
    {
        zoom = z;
        finestra.contenitore = {0, 60 * 15 / z};
        ed->ImpostaZoom(z);
    }
    QPoint schermo(double x, double y) const
    {
        return {100 + int(std::lround(x * zoom / 15)), 110 + int(std::lround(y * zoom / 15))};
    }
    void trascina(double x1, double y1, double x2, double y2, Qt::KeyboardModifiers m = {})
    {
        ed->MouseDown(Qt::LeftButton, {x1, y1}, schermo(x1, y1), m);
        ed->Form_MouseMove(schermo((x1 + x2) / 2, (y1 + y2) / 2));
        ed->Form_MouseMove(schermo(x2, y2));
        ed->Form_MouseUp(Qt::LeftButton);
    }
    void clic(double x, double y, Qt::KeyboardModifiers m = {}) { trascina(x, y, x, y, m); }
    using Oggetti = std::vector<OggettoEtichetta*>;
    static QRectF cornice(const OggettoEtichetta* o) { return {o->Left, o->Top, o->Width, o->Height}; }
};

}  // namespace

TEST_F(Banco, ShiftAndCtrlClicksAddAndTakeOutTheLastCarriesTheGrips)
{
    clic(1600, 1900);
    EXPECT_EQ(ed->Selezione(), Oggetti{t1});
    clic(3100, 2500, Qt::ShiftModifier);
    clic(6100, 1900, Qt::ControlModifier);
    EXPECT_EQ(ed->Selezione(), (Oggetti{t1, b, t2}));
    EXPECT_EQ(ed->CurrentObject(), t2);
    // The grips sit around the last one; the two others have a frame.
    ASSERT_TRUE(finestra.maniglie);
    EXPECT_NEAR((*finestra.maniglie)[0].x(), 6000 - 2 * 15, 1);  // centred on the corner
    EXPECT_EQ(finestra.cornici, (std::vector<QRectF>{cornice(t1), cornice(b)}));
    // Ctrl+click on a selected one takes it out; the grips go to the one selected before.
    clic(6100, 1900, Qt::ControlModifier);
    EXPECT_EQ(ed->Selezione(), (Oggetti{t1, b}));
    EXPECT_EQ(ed->CurrentObject(), b);
    // A plain click on one of several selected, without moving, selects it alone.
    clic(1600, 1900);
    EXPECT_EQ(ed->Selezione(), Oggetti{t1});
    EXPECT_TRUE(finestra.cornici.empty());
    // Select all: every object, the last created with the grips.
    ed->SelezionaTutto();
    EXPECT_EQ(ed->Selezione(), (Oggetti{t1, b, t2, r}));
    EXPECT_EQ(ed->CurrentObject(), r);
}

TEST_F(Banco, DraggingOneOfSeveralMovesThemAllAsOneStep)
{
    ed->ImpostaSelezione({t1, b, t2});
    trascina(3100, 2500, 3100 + 300, 2500 + 150);
    EXPECT_FLOAT_EQ(t1->Left, 1800);
    EXPECT_FLOAT_EQ(b->Left, 3300);
    EXPECT_FLOAT_EQ(t2->Top, 1950);
    EXPECT_FLOAT_EQ(r->Left, 1200);  // not selected
    EXPECT_EQ(ed->Selezione(), (Oggetti{t1, b, t2}));
    EXPECT_EQ(doc.Storia().count(), 1);
}

TEST_F(Banco, TheBandSelectsWhatItEnclosesWhole)
{
    // From empty surface round t1 and b, cutting through t2 and r: only the two enclosed.
    clic(1600, 1900);
    trascina(1000, 1000, 6300, 4800);
    EXPECT_EQ(ed->Selezione(), (Oggetti{t1, b}));
    EXPECT_EQ(ed->CurrentObject(), b);
    EXPECT_TRUE(finestra.bande.isEmpty());  // erased on the release
    // With Shift the band adds; a plain band starts afresh; one round nothing selects nothing.
    trascina(5900, 1000, 7000, 3000, Qt::ShiftModifier);
    EXPECT_EQ(ed->Selezione(), (Oggetti{t1, b, t2}));
    trascina(7000, 1000, 1000, 6000);  // dragged up and left: the same band
    EXPECT_EQ(ed->Selezione(), (Oggetti{t1, b, t2, r}));
    trascina(8000, 8000, 9000, 9000);
    EXPECT_TRUE(ed->Selezione().empty());
    EXPECT_FALSE(finestra.maniglie);
    EXPECT_EQ(doc.Storia().count(), 0);
}

TEST_F(Banco, AlignDistributeAndSameSizeInTwips)
{
    // To the last selected (b: 3000, 2400, 1935 x 1035).
    cmd.Allinea(Allinea::Sinistra, Oggetti{t1, t2, b});
    EXPECT_FLOAT_EQ(t1->Left, 3000);
    EXPECT_FLOAT_EQ(t2->Left, 3000);
    EXPECT_FLOAT_EQ(b->Left, 3000);
    cmd.Allinea(Allinea::Destra, Oggetti{t1, t2, b});
    EXPECT_FLOAT_EQ(t1->Left, 3000 + 1935 - 1200);
    EXPECT_FLOAT_EQ(t2->Left, 3000 + 1935 - 600);
    cmd.Allinea(Allinea::Centro, Oggetti{t1, b});
    EXPECT_FLOAT_EQ(t1->Left, 3000 + (1935 - 1200) / 2.0f);
    cmd.Allinea(Allinea::Alto, Oggetti{t1, r, b});
    EXPECT_FLOAT_EQ(t1->Top, 2400);
    EXPECT_FLOAT_EQ(r->Top, 2400);
    cmd.Allinea(Allinea::Mezzo, Oggetti{t2, b});
    EXPECT_FLOAT_EQ(t2->Top, 2400 + (1035 - 450) / 2.0f);
    cmd.Allinea(Allinea::Basso, Oggetti{r, b});
    EXPECT_FLOAT_EQ(r->Top, 2400 + 1035 - 900);
    EXPECT_EQ(doc.Storia().count(), 6);
    // One object aligns to the label (its top-left at 567, 1440 on the surface).
    const double larghezza = doc.Layout().LarghezzaEtichetta * DocumentoEtichetta::TwipsPerMm;
    const double altezza = doc.Layout().AltezzaEtichetta * DocumentoEtichetta::TwipsPerMm;
    cmd.Allinea(Allinea::Destra, t2);
    EXPECT_NEAR(t2->Left, 567 + larghezza - 600, 1e-2);
    cmd.Allinea(Allinea::Basso, t2);
    EXPECT_NEAR(t2->Top, 1440 + altezza - 450, 1e-2);
    cmd.Allinea(Allinea::Sinistra, t2);
    EXPECT_FLOAT_EQ(t2->Left, 567);

    // Distribute: the outer two stay, the gaps between all become equal.
    t1->Left = 1000;  // 1000..2200
    b->Left = 2500;   // 2500..4435
    t2->Left = 7000;  // 7000..7600
    cmd.Distribuisci(Distribuisci::Orizzontale, Oggetti{t2, t1, b});
    const double gap = (7600 - 1000 - (1200 + 1935 + 600)) / 2.0;
    EXPECT_FLOAT_EQ(t1->Left, 1000);
    EXPECT_NEAR(b->Left, 1000 + 1200 + gap, 1e-2);
    EXPECT_FLOAT_EQ(t2->Left, 7000);
    EXPECT_NEAR(t2->Left - (b->Left + b->Width), gap, 1e-2);
    // Vertically, by their tops; two objects have nothing to distribute (no step).
    t1->Top = 1000;
    b->Top = 1500;
    r->Top = 6000;
    cmd.Distribuisci(Distribuisci::Verticale, Oggetti{t1, b, r});
    EXPECT_NEAR(b->Top - (t1->Top + t1->Height), r->Top - (b->Top + b->Height), 1e-2);
    const int passi = doc.Storia().count();
    cmd.Distribuisci(Distribuisci::Orizzontale, Oggetti{t1, b});
    EXPECT_EQ(doc.Storia().count(), passi);

    // Same size: the last selected's width (height); left and top edges stay.
    cmd.StessaDimensione(Dimensione::Larghezza, Oggetti{t1, r, b});
    EXPECT_FLOAT_EQ(t1->Width, 1935);
    EXPECT_FLOAT_EQ(r->Width, 1935);
    EXPECT_FLOAT_EQ(t1->Left, 1000);
    cmd.StessaDimensione(Dimensione::Altezza, Oggetti{b, t2});
    EXPECT_FLOAT_EQ(b->Height, 450);
    // The menu's table reaches each of them.
    ASSERT_EQ(ComandiDisposizione().size(), 10u);
    cmd.Disponi(*ComandoDisposizione::DaPulsante(QStringLiteral("allinea_alto")), Oggetti{t1, t2});
    EXPECT_FLOAT_EQ(t1->Top, t2->Top);
    cmd.Disponi(*ComandoDisposizione::DaPulsante(QStringLiteral("stessa_larghezza")), Oggetti{t1, t2});
    EXPECT_FLOAT_EQ(t1->Width, 600);
    EXPECT_EQ(ComandoDisposizione::DaPulsante(QStringLiteral("nuovo")), nullptr);
}

TEST_F(Banco, ArrowKeysMoveByAGridStepWithSnapElseByATenthAndShiftByAMillimetre)
{
    ed->ImpostaSelezione({t2, t1});
    // Snap off: a tenth of a millimetre, a millimetre with Shift, both objects.
    ed->Tasto(Qt::Key_Right, {});
    EXPECT_NEAR(t1->Left, 1500 + 5.67, 1e-3);
    EXPECT_NEAR(t2->Left, 6000 + 5.67, 1e-3);
    ed->Tasto(Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_NEAR(t1->Top, 1800 + 56.7, 1e-3);
    ed->Tasto(Qt::Key_Up, Qt::ShiftModifier);
    ed->Tasto(Qt::Key_Left, {});
    EXPECT_NEAR(t1->Left, 1500, 1e-3);
    EXPECT_NEAR(t1->Top, 1800, 1e-3);
    // Snap on: a grid step (2 mm), the last selected landing on whole millimetres of the
    // label and the others keeping their distance to it.
    ed->Snap = true;
    ed->Tasto(Qt::Key_Right, {});
    const double mm = modCartigo::SnapX(1500 + 113.4, 1);
    EXPECT_NEAR(t1->Left, mm, 1e-2);
    EXPECT_NEAR(t2->Left - t1->Left, 4500, 1e-2);
    EXPECT_NEAR(std::remainder(t1->Left - 567, 56.7), 0, 1e-2);
    ed->Tasto(Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_NEAR(t1->Left, mm + 56.7, 1e-2);
    // Ctrl sizes: the right and bottom edges by the same steps.
    ed->Snap = false;
    ed->Tasto(Qt::Key_Right, Qt::ControlModifier);
    EXPECT_NEAR(t1->Width, 1200 + 5.67, 1e-3);
    EXPECT_NEAR(t2->Width, 600 + 5.67, 1e-3);
    ed->Tasto(Qt::Key_Up, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_NEAR(t1->Height, 300 - 56.7, 1e-3);
    // Tab steps through the objects in creation order, alone; Shift+Tab goes back.
    ed->ImpostaSelezione({b});
    ed->Tasto(Qt::Key_Tab, {});
    EXPECT_EQ(ed->Selezione(), Oggetti{t2});
    ed->Tasto(Qt::Key_Tab, {});
    ed->Tasto(Qt::Key_Tab, {});
    EXPECT_EQ(ed->Selezione(), Oggetti{t1});
    ed->Tasto(Qt::Key_Backtab, {});
    EXPECT_EQ(ed->Selezione(), Oggetti{r});
    // Nothing selected: the keys are not the editor's.
    ed->ClearSelection();
    EXPECT_FALSE(ed->Tasto(Qt::Key_Left, {}));
}

TEST_F(Banco, EscapeEndsADragWithTheObjectsWhereTheyWere)
{
    ed->ImpostaSelezione({t1, b});
    ed->MouseDown(Qt::LeftButton, {1600, 1900}, schermo(1600, 1900));
    ed->Form_MouseMove(schermo(2600, 2900));
    EXPECT_FALSE(finestra.bande.isEmpty());
    EXPECT_TRUE(ed->Tasto(Qt::Key_Escape, {}));
    EXPECT_TRUE(finestra.bande.isEmpty());
    EXPECT_FALSE(finestra.catturato);
    ed->Form_MouseUp(Qt::LeftButton);
    EXPECT_EQ(cornice(t1), QRectF(1500, 1800, 1200, 300));
    EXPECT_EQ(cornice(b), QRectF(3000, 2400, 1935, 1035));
    EXPECT_EQ(doc.Storia().count(), 0);
}

TEST_F(Banco, AtEveryZoomClicksDragsAndGripsFollowAndGripsKeepTheirSize)
{
    // r is 3000 x 900 twips: 50 x 15 pixels at 25 %, 800 x 240 at 400 %.
    for (const double z : {0.25, 1.0, 4.0}) {
        SCOPED_TRACE(z);
        ingrandisci(z);
        const QRectF prima = cornice(r);
        const double px = 15 / z;  // twips a pixel
        // A click inside r selects it; the grips are five pixels whatever the zoom, centred
        // on the corners and the middles of the sides.
        clic(1500, 4950);
        ASSERT_EQ(ed->Selezione(), Oggetti{r});
        ASSERT_TRUE(finestra.maniglie);
        const QPointF nw = (*finestra.maniglie)[0];
        const double lato = EditorSuperficie::LatoManiglia * px;
        EXPECT_NEAR(nw.x(), 1200 - 2 * px, px / 2);
        EXPECT_EQ(ed->ManigliaNelPunto(nw + QPointF(lato / 2, lato / 2)), 0);
        EXPECT_EQ(ed->ManigliaNelPunto(nw + QPointF(lato + px, lato / 2)), -1);
        EXPECT_EQ(ed->ManigliaNelPunto(nw + QPointF(lato / 2, lato + px)), -1);
        // Ten pixels of the pointer move the object ten pixels at the zoom.
        ed->MouseDown(Qt::LeftButton, {1500, 4950}, schermo(1500, 4950));
        ed->Form_MouseMove(schermo(1500, 4950) + QPoint(10, 4));
        ed->Form_MouseUp(Qt::LeftButton);
        EXPECT_NEAR(r->Left, prima.left() + 10 * px, 1e-3);
        EXPECT_NEAR(r->Top, prima.top() + 4 * px, 1e-3);
        // The band of a drag is drawn in screen pixels at the zoom.
        const QPoint dentro = schermo(r->Left + 300, r->Top + 450);
        ed->MouseDown(Qt::LeftButton, {r->Left + 300, r->Top + 450}, dentro);
        ed->Form_MouseMove(dentro + QPoint(1, 0));
        ASSERT_EQ(finestra.bande.size(), 1);
        EXPECT_NEAR(finestra.bande[0].width(), r->Width / px, 1.01);
        ed->Form_MouseUp(Qt::LeftButton);
        // The bottom-right grip sizes by the pointer's pixels at the zoom.
        const QPointF se = (*finestra.maniglie)[4] + QPointF(lato / 2, lato / 2);
        const double w = r->Width;
        ed->MouseDown(Qt::LeftButton, se, schermo(se.x(), se.y()));
        ed->Form_MouseMove(schermo(se.x(), se.y()) + QPoint(20, 0));
        ed->Form_MouseUp(Qt::LeftButton);
        EXPECT_NEAR(r->Width, w + 20 * px, px);
        while (doc.Storia().canUndo()) doc.Storia().undo();
        doc.Storia().clear();
        EXPECT_EQ(cornice(r), prima);
        ed->StrumentoSelezione();
    }
}
