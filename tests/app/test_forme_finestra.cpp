// Lines, ellipses and turned objects in the main window, driven like a user: the tools
// drawn with the mouse (Shift held or not), a line's end dragged by its grip, Rotate left
// and right from the keys, copy and paste, the outline dialog on a double-click. Positions
// are whole millimetres of the label (snap on), so the expected ends are exact in twips.
#include "FinestraDiProva.h"
#include "label/ModificheEtichetta.h"

using namespace cartigo;

namespace {

struct FormeConMouse : test::FinestraDiProva {
    void SetUp() override
    {
        FinestraDiProva::SetUp();
        CentoPerCento();
        LayoutEtichetta l = doc().Layout();
        l.LarghezzaEtichetta = 100;
        l.AltezzaEtichetta = 80;
        doc().ImpostaLayout(l);
        doc().Storia().clear();
    }
    // A point `x` and `y` millimetres into the label (surface twips).
    static QPointF mm(double x, double y) { return {OrigineEtichettaX + x * 56.7, OrigineEtichettaY + y * 56.7}; }
    OggettoEtichetta* disegna(const char* strumento, QPointF da, QPointF a, Qt::KeyboardModifiers m = {})
    {
        f->Pulsante(QString::fromLatin1(strumento))->trigger();
        trascina(da, a, m);
        return doc().Oggetti().empty() ? nullptr : doc().Oggetti().back();
    }
    static void estremi(const OggettoEtichetta* o, QPointF a, QPointF b)
    {
        EXPECT_NEAR(o->X1(), a.x(), 0.01);
        EXPECT_NEAR(o->Y1(), a.y(), 0.01);
        EXPECT_NEAR(o->X2(), b.x(), 0.01);
        EXPECT_NEAR(o->Y2(), b.y(), 0.01);
    }
};

}  // namespace

TEST_F(FormeConMouse, LinesAndEllipsesAreDrawnFromThePressToTheRelease)
{
    // The tools are checkable like the others, in the menu and on the toolbar.
    f->Pulsante(QStringLiteral("linea"))->trigger();
    EXPECT_TRUE(f->Pulsante(QStringLiteral("linea"))->isChecked());
    EXPECT_TRUE(f->Menu(QStringLiteral("mnuLinea"))->isChecked());
    EXPECT_FALSE(f->Pulsante(QStringLiteral("seleziona"))->isChecked());
    EXPECT_EQ(f->Menu(QStringLiteral("mnuEllisse"))->text(), QStringLiteral("Inserisci un'ellisse"));

    // Any direction without Shift: the first end at the press, the second at the release.
    OggettoEtichetta* l = disegna("linea", mm(40, 22), mm(10, 30));
    ASSERT_EQ(l->tipo, TipoOggetto::Linea);
    estremi(l, mm(10, 30), mm(40, 22));  // the same line, whichever end came first
    EXPECT_TRUE(l->Ascendente);
    EXPECT_EQ(doc().Storia().count(), 1);
    EXPECT_EQ(doc().Storia().undoText(), LoadResString(NomeModifica::Creazione));
    EXPECT_TRUE(f->Pulsante(QStringLiteral("seleziona"))->isChecked());  // the tool is used up
    EXPECT_EQ(f->CurrentObject(), l);
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);

    // Shift: horizontal, vertical or 45 degrees, whichever is nearest.
    estremi(disegna("linea", mm(10, 40), mm(40, 43), Qt::ShiftModifier), mm(10, 40), mm(40, 40));
    estremi(disegna("linea", mm(60, 10), mm(62, 30), Qt::ShiftModifier), mm(60, 10), mm(60, 30));
    estremi(disegna("linea", mm(10, 50), mm(31, 70), Qt::ShiftModifier), mm(10, 50), mm(31, 71));
    // A click without a drag places a line of its own length.
    OggettoEtichetta* corta = disegna("linea", mm(70, 70), mm(70, 70));
    EXPECT_EQ(corta->Width, EditorSuperficie::LarghezzaOggetto);
    EXPECT_EQ(corta->Height, 0);

    // An ellipse as a rectangle from corner to corner, dragged either way; a circle with Shift.
    OggettoEtichetta* e = disegna("ellisse", mm(70, 50), mm(50, 40));
    ASSERT_EQ(e->tipo, TipoOggetto::Ellisse);
    const QRectF atteso(mm(50, 40), mm(70, 50));
    EXPECT_NEAR(e->Left, atteso.left(), 0.01);
    EXPECT_NEAR(e->Top, atteso.top(), 0.01);
    EXPECT_NEAR(e->Width, atteso.width(), 0.01);
    EXPECT_NEAR(e->Height, atteso.height(), 0.01);
    OggettoEtichetta* cerchio = disegna("ellisse", mm(50, 60), mm(62, 66), Qt::ShiftModifier);
    EXPECT_NEAR(cerchio->Width, 12 * 56.7, 0.01);
    EXPECT_NEAR(cerchio->Height, 12 * 56.7, 0.01);
    EXPECT_EQ(doc().Storia().count(), 7);

    // Each drawing is one step: all undone, the label is empty again.
    for (int i = 0; i < 7; ++i) QTest::keyClick(f.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(doc().NumeroOggetti(), 0);
}

TEST_F(FormeConMouse, ALineIsPickedByItsStrokeAndItsEndsAreItsGrips)
{
    // A rectangle under it, created first: a click on the line picks the line.
    doc().CreaRettangolo(float(mm(5, 5).x()), float(mm(5, 5).y()), float(40 * 56.7), float(30 * 56.7));
    OggettoEtichetta* l = disegna("linea", mm(10, 10), mm(30, 20));
    doc().Storia().clear();
    f->ImpostaCurrentObject(nullptr);
    trascina(mm(20, 15), mm(20, 15));  // on the stroke, half-way
    ASSERT_EQ(f->CurrentObject(), l);
    const auto maniglie = f->Superficie()->Maniglie();
    ASSERT_TRUE(maniglie);
    // Grips 0 to 3 sit on the first end, 4 to 7 on the second.
    const QPointF mezza(30, 30);
    EXPECT_LE(((*maniglie)[0] + mezza - mm(10, 10)).manhattanLength(), 16);
    EXPECT_LE(((*maniglie)[4] + mezza - mm(30, 20)).manhattanLength(), 16);

    // The second end dragged: the first stays.
    const QByteArray prima = file();
    trascina((*maniglie)[4] + mezza, mm(5, 25));
    estremi(l, mm(5, 25), mm(10, 10));
    EXPECT_TRUE(l->Ascendente);
    EXPECT_EQ(doc().Storia().count(), 1);
    EXPECT_EQ(doc().Storia().undoText(), LoadResString(NomeModifica::Ridimensionamento));
    // With Shift the end keeps the line vertical.
    const QPointF fine(l->X2(), l->Y2());
    trascina(fine, mm(6, 40), Qt::ShiftModifier);
    estremi(l, mm(5, 25), mm(5, 40));
    QTest::keyClick(f.get(), Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(f.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(file(), prima);
    // The whole line moves by its stroke, keeping its direction.
    trascina(mm(20, 15), mm(25, 18));
    estremi(l, mm(15, 13), mm(35, 23));
}

TEST_F(FormeConMouse, RotateLeftAndRightTurnEverySelectedObjectAboutItsCentre)
{
    OggettoEtichetta* t = doc().CreaTesto(float(mm(10, 10).x()), float(mm(10, 10).y()), float(30 * 56.7), 510);
    t->Caption = QStringLiteral("RUOTA");
    OggettoEtichetta* b = doc().CreaBarcode(float(mm(50, 10).x()), float(mm(50, 10).y()), 1935, 1035);
    b->ToolTipText = QStringLiteral("TURN90");
    OggettoEtichetta* l = doc().Crea(TipoOggetto::Linea, float(mm(10, 60).x()), float(mm(10, 60).y()), 1000, 0);
    doc().Storia().clear();
    EXPECT_EQ(f->Menu(QStringLiteral("mnuRuotaSinistra"))->text(), QStringLiteral("Ruota a sinistra"));
    EXPECT_EQ(f->Menu(QStringLiteral("mnuRuotaDestra"))->shortcut(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_R));
    const QByteArray prima = file();
    const QRectF ct = cornice(t), cb = cornice(b), cl = cornice(l);

    QTest::keyClick(f.get(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(f.get(), Qt::Key_R, Qt::ControlModifier);  // a quarter anticlockwise
    EXPECT_EQ(t->Rotazione.Gradi, 270);
    EXPECT_EQ(b->Rotazione.Gradi, 270);
    EXPECT_EQ(l->Rotazione.Gradi, 0);  // lines do not turn
    EXPECT_EQ(cornice(l), cl);
    // The box turns about its centre: width and height change places.
    for (const auto& [o, c] : {std::pair{t, ct}, std::pair{b, cb}}) {
        EXPECT_NEAR(cornice(o).center().x(), c.center().x(), 0.01);
        EXPECT_NEAR(cornice(o).center().y(), c.center().y(), 0.01);
        EXPECT_NEAR(o->Width, c.height(), 0.01);
        EXPECT_NEAR(o->Height, c.width(), 0.01);
        EXPECT_NEAR(o->LarghezzaContenuto(), c.width(), 0.01);
    }
    EXPECT_EQ(doc().Storia().count(), 1);
    EXPECT_EQ(doc().Storia().undoText(), LoadResString(NomeModifica::Rotazione));
    // The grips follow the turned box of the last selected.
    f->ImpostaCurrentObject(nullptr);
    trascina(cornice(t).center(), cornice(t).center());
    const auto maniglie = f->Superficie()->Maniglie();
    ASSERT_TRUE(maniglie);
    EXPECT_LE(((*maniglie)[4] + QPointF(30, 30) - cornice(t).bottomRight()).manhattanLength(), 32);

    const QByteArray sinistra = file();
    QTest::keyClick(f.get(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(f.get(), Qt::Key_R, Qt::ControlModifier | Qt::ShiftModifier);
    QTest::keyClick(f.get(), Qt::Key_R, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(t->Rotazione.Gradi, 90);
    EXPECT_EQ(doc().Storia().count(), 3);
    // Undo and redo give the file back byte for byte.
    const QByteArray novanta = file();
    for (int i = 0; i < 2; ++i) QTest::keyClick(f.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(file(), sinistra);
    QTest::keyClick(f.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(file(), prima);
    for (int i = 0; i < 3; ++i) QTest::keyClick(f.get(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(file(), novanta);
    // Turning only lines changes nothing and makes no step.
    f->Editor().ImpostaSelezione({l});
    QTest::keyClick(f.get(), Qt::Key_R, Qt::ControlModifier);
    EXPECT_EQ(doc().Storia().count(), 3);
}

TEST_F(FormeConMouse, ShapesAreCopiedPastedAndEditedByADoubleClick)
{
    OggettoEtichetta* l = disegna("linea", mm(10, 30), mm(40, 20));
    l->Contorno = {0x000000FF, 0.8f, TrattoLinea::Tratteggiato};
    OggettoEtichetta* e = disegna("ellisse", mm(50, 40), mm(70, 50));
    e->Riempimento = {true, 0x0000FF00};
    e->Rotazione.Gradi = 90;
    QTest::keyClick(f.get(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(f.get(), Qt::Key_C, Qt::ControlModifier);
    QTest::keyClick(f.get(), Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(doc().NumeroOggetti(), 4);
    const OggettoEtichetta* l2 = doc().Oggetti()[2];
    const OggettoEtichetta* e2 = doc().Oggetti()[3];
    ASSERT_EQ(l2->tipo, TipoOggetto::Linea);
    estremi(l2, mm(10, 30) + QPointF(100, 100), mm(40, 20) + QPointF(100, 100));
    EXPECT_EQ(l2->Contorno, l->Contorno);
    EXPECT_EQ(e2->Riempimento, e->Riempimento);
    EXPECT_EQ(e2->Rotazione, e->Rotazione);
    EXPECT_EQ(f->Editor().Selezione().size(), 2u);

    // A double-click on an ellipse opens the outline dialog: one step for what it sets.
    RichiestaForma vista;
    ui.gestoriDialogo[RichiestaForma::Nome] = [&vista](RichiestaDialogo& d) {
        auto& r = static_cast<RichiestaForma&>(d);
        vista = r;
        r.contorno.Spessore = 1.2f;
        r.contorno.Tratto = TrattoLinea::Punteggiato;
        r.riempimento.Pieno = false;
        return true;
    };
    const int passi = doc().Storia().count();
    QTest::mouseDClick(f->windowHandle(), Qt::LeftButton, {}, punto(mm(51, 41)));
    EXPECT_TRUE(vista.conRiempimento);
    EXPECT_TRUE(vista.riempimento.Pieno);
    EXPECT_EQ(f->CurrentObject(), e);
    EXPECT_EQ(e->Contorno.Tratto, TrattoLinea::Punteggiato);
    EXPECT_FALSE(e->Riempimento.Pieno);
    EXPECT_EQ(doc().Storia().count(), passi + 1);
    EXPECT_EQ(doc().Storia().undoText(), LoadResString(NomeModifica::ContornoForma));
    // On a line the dialog has no fill.
    QTest::mouseDClick(f->windowHandle(), Qt::LeftButton, {}, punto(mm(25, 25)));
    EXPECT_FALSE(vista.conRiempimento);
    EXPECT_EQ(vista.contorno.Tratto, TrattoLinea::Tratteggiato);
    EXPECT_EQ(l->Contorno.Spessore, 1.2f);
}
