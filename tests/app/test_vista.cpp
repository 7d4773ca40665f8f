// The View menu offscreen: the zoom from the menu, its keys, Ctrl and the wheel and the
// zoom box, fitting the label, what the status bar and the title show, and the object
// panel with its frame fields.
#include "FinestraDiProva.h"
#include "designer/PannelloOggetto.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDockWidget>
#include <QSpinBox>
#include <QDoubleSpinBox>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QWheelEvent>

using namespace cartigo;

namespace {

struct Vista : test::FinestraDiProva {
    // The surface point (twips) under a point of the design area.
    QPointF sotto(QPoint area) const { return box()->Scala().inTwips(QPointF(area - box()->pos())); }
    void rotella(QPoint area, int passi)
    {
        const QPoint globale = f->Area()->mapToGlobal(area);
        QWheelEvent e(QPointF(area), QPointF(globale), QPoint(), QPoint(0, passi), Qt::NoButton, Qt::ControlModifier,
                      Qt::NoScrollPhase, false);
        QApplication::sendEvent(f->Area(), &e);
    }
};

}  // namespace

TEST_F(Vista, ZoomFromTheMenuTheKeysTheWheelAndTheBox)
{
    f->ImpostaZoom(1, QPoint(0, 0));
    EXPECT_EQ(f->Menu(QStringLiteral("mnuZoomPiu"))->shortcuts().value(0), QKeySequence(Qt::CTRL | Qt::Key_Plus));
    EXPECT_EQ(f->Menu(QStringLiteral("mnuZoomMeno"))->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Minus));
    EXPECT_EQ(f->Menu(QStringLiteral("mnuZoom100"))->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_0));
    const int spessore = f->Area()->HScroll()->height();

    f->Menu(QStringLiteral("mnuZoomPiu"))->trigger();
    EXPECT_DOUBLE_EQ(f->Zoom(), 1.25);
    EXPECT_DOUBLE_EQ(box()->Scala().x, 12);
    EXPECT_DOUBLE_EQ(f->Editor().Zoom(), 1.25);
    EXPECT_EQ(f->cmbZoom()->currentText(), QStringLiteral("125 %"));
    f->Menu(QStringLiteral("mnuZoomMeno"))->trigger();
    f->Menu(QStringLiteral("mnuZoomMeno"))->trigger();
    EXPECT_DOUBLE_EQ(f->Zoom(), 0.75);
    f->Menu(QStringLiteral("mnuZoom100"))->trigger();
    EXPECT_DOUBLE_EQ(f->Zoom(), 1);

    // Ctrl and the wheel: a step a notch, the point under the pointer stays where it is.
    const QPoint puntatore(300, 200);
    const QPointF prima = sotto(puntatore);
    rotella(puntatore, 120);
    EXPECT_DOUBLE_EQ(f->Zoom(), 1.25);
    EXPECT_NEAR(sotto(puntatore).x(), prima.x(), 12);
    EXPECT_NEAR(sotto(puntatore).y(), prima.y(), 12);
    rotella(puntatore, -120);
    rotella(puntatore, -120);
    EXPECT_DOUBLE_EQ(f->Zoom(), 0.75);

    // The zoom box: a percentage typed, kept inside 25 to 800 %.
    f->cmbZoom()->lineEdit()->setText(QStringLiteral("400"));
    Q_EMIT f->cmbZoom()->lineEdit()->editingFinished();
    EXPECT_DOUBLE_EQ(f->Zoom(), 4);
    EXPECT_DOUBLE_EQ(box()->Scala().x, 15.0 / 4);
    EXPECT_NEAR(box()->width(), 19035 / 3.75, 1);
    EXPECT_NEAR(box()->height(), 20000 / 3.75, 1);
    f->cmbZoom()->lineEdit()->setText(QStringLiteral("5000 %"));
    Q_EMIT f->cmbZoom()->lineEdit()->editingFinished();
    EXPECT_DOUBLE_EQ(f->Zoom(), 8);
    f->Menu(QStringLiteral("mnuZoomPiu"))->trigger();
    EXPECT_DOUBLE_EQ(f->Zoom(), 8);
    f->cmbZoom()->lineEdit()->setText(QStringLiteral("abc"));
    Q_EMIT f->cmbZoom()->lineEdit()->editingFinished();
    EXPECT_DOUBLE_EQ(f->Zoom(), 8);
    EXPECT_EQ(f->cmbZoom()->currentText(), QStringLiteral("800 %"));
    f->cmbZoom()->setCurrentIndex(0);
    Q_EMIT f->cmbZoom()->activated(0);
    EXPECT_DOUBLE_EQ(f->Zoom(), 0.25);
    f->Menu(QStringLiteral("mnuZoomMeno"))->trigger();
    EXPECT_DOUBLE_EQ(f->Zoom(), 0.25);
    // The scroll bars keep their size at every zoom.
    EXPECT_EQ(f->Area()->HScroll()->height(), spessore);
}

TEST_F(Vista, FitLabelFillsTheViewAndTheZoomIsNeverSaved)
{
    auto& doc = f->Documento();
    OggettoEtichetta* t = doc.CreaTesto(1500, 1800, 1200, 300);
    t->Caption = QStringLiteral("Zoom");
    const QByteArray dati = FileEtichetta::DatiEtichetta(doc, ImpostazioniLocali::correnti());
    f->Menu(QStringLiteral("mnuAdattaEtichetta"))->trigger();
    // The label and its shadow inside the view, filling it one way.
    const QSize vista = f->Area()->Vista();
    const QRectF etichetta = box()->Scala().inPixel(QRectF(0, 0, 567 + 80 * 56.7 + 74, 1440 + 50 * 56.7 + 74));
    EXPECT_LE(etichetta.width(), vista.width());
    EXPECT_LE(etichetta.height(), vista.height());
    EXPECT_GT(std::max(etichetta.width() / vista.width(), etichetta.height() / vista.height()), 0.9);
    EXPECT_EQ(box()->pos(), QPoint(0, 0));
    EXPECT_EQ(FileEtichetta::DatiEtichetta(doc, ImpostazioniLocali::correnti()), dati);
    // Hit tests at the zoom: a click on the text through the window selects it.
    const QPoint dentro = box()->mapTo(f.get(), box()->Scala().inPixel(QPointF(1600, 1900)).toPoint());
    f->mnuSeleziona_Click();
    QTest::mouseClick(f->windowHandle(), Qt::LeftButton, {}, dentro);
    EXPECT_EQ(f->CurrentObject(), t);
    // The pointer's place on the label in millimetres.
    QTest::mouseMove(f->windowHandle(), dentro);
    const QPointF tw = sotto(f->Area()->mapFrom(f.get(), dentro));
    const QChar dec = ImpostazioniLocali::correnti().decimale;
    EXPECT_EQ(f->Pannello(QStringLiteral("posizione"))->text(),
              LoadResString(1547).arg(QString::number((tw.x() - 567) / 56.7, 'f', 1).replace('.', dec),
                                      QString::number((tw.y() - 1440) / 56.7, 'f', 1).replace('.', dec)));
    // A small label opens fitted; New fits the default label when it is small on the screen.
    EXPECT_DOUBLE_EQ(Superficie::ZoomIniziale(LayoutEtichetta{}, QSizeF(1600, 1000), box()->ScalaSchermo()),
                     Superficie::ZoomAdattato(LayoutEtichetta{}, QSizeF(1600, 1000), box()->ScalaSchermo()));
    EXPECT_DOUBLE_EQ(Superficie::ZoomIniziale(LayoutEtichetta{}, QSizeF(700, 500), box()->ScalaSchermo()), 1);
    LayoutEtichetta grande;
    grande.LarghezzaEtichetta = 400;
    EXPECT_LT(Superficie::ZoomIniziale(grande, QSizeF(700, 500), box()->ScalaSchermo()), 1);
}

TEST_F(Vista, TheTitleNamesTheFileAndMarksUnsavedChanges)
{
    EXPECT_EQ(f->windowTitle(), LoadResString(1546) + QStringLiteral("[*] - ") + modCartigo::TitoloProgramma());
    EXPECT_FALSE(f->isWindowModified());
    auto& doc = f->Documento();
    OggettoEtichetta* t = doc.CreaTesto(1500, 1800, 1200, 300);
    f->ImpostaCurrentObject(t);
    f->mnuOpaco_Click();
    EXPECT_TRUE(f->isWindowModified());
    f->mnuAnnulla_Click();
    EXPECT_FALSE(f->isWindowModified());
    doc.ImpostaNomeFileEtichetta(QStringLiteral("/tmp/indirizzi.eti"));
    EXPECT_TRUE(f->windowTitle().startsWith(QStringLiteral("indirizzi.eti[*] - ")));
}

TEST_F(Vista, TheObjectPanelShowsTheSelectedObjectAndTakesItsFrame)
{
    auto& doc = f->Documento();
    PannelloOggetto* p = f->PannelloOggetti();
    ASSERT_NE(p, nullptr);
    QAction* mostra = f->Menu(QStringLiteral("mnuPannelloOggetto"));
    ASSERT_NE(mostra, nullptr);
    EXPECT_TRUE(p->isVisible());
    EXPECT_EQ(p->findChild<QLabel*>(QStringLiteral("titolo"))->text(), LoadResString(1549));

    OggettoEtichetta* t = doc.CreaTesto(567 + 10 * 56.7f, 1440 + 5 * 56.7f, 20 * 56.7f, 6 * 56.7f);
    t->Caption = QStringLiteral("Pannello");
    t->FontName = QStringLiteral("Arial");
    t->FontSize = 12;
    t->FontBold = true;
    f->Editor().ImpostaSelezione({t});
    f->Editor().ShowHandles(true);
    EXPECT_EQ(p->findChild<QLabel*>(QStringLiteral("titolo"))->text(), QStringLiteral("Testo 1"));
    EXPECT_NEAR(p->Campo(0)->value(), 10, 1e-9);
    EXPECT_NEAR(p->Campo(1)->value(), 5, 1e-9);
    EXPECT_NEAR(p->Campo(2)->value(), 20, 1e-9);
    EXPECT_EQ(p->Campo(0)->decimals(), 2);
    // The settings show in their editors.
    using P = DescrizioneOggetto::Proprieta;
    EXPECT_EQ(qobject_cast<QLineEdit*>(p->Editore(P::Testo))->text(), QStringLiteral("Pannello"));
    EXPECT_EQ(qobject_cast<QComboBox*>(p->Editore(P::Carattere))->currentText(), QStringLiteral("Arial"));
    EXPECT_EQ(qobject_cast<QSpinBox*>(p->Editore(P::Dimensione))->value(), 12);
    EXPECT_TRUE(qobject_cast<QCheckBox*>(p->Editore(P::Grassetto))->isChecked());
    EXPECT_EQ(qobject_cast<QComboBox*>(p->Editore(P::Allineamento))->currentText(), QStringLiteral("Sinistra"));
    EXPECT_FALSE(p->Mostrata(P::TipoBarcode));

    // A value typed is one step; the others keep the object's own.
    const float top = t->Top;
    p->Campo(0)->setValue(12.5);
    EXPECT_NEAR(t->Left, 567 + 12.5 * 56.7, 1e-2);
    EXPECT_EQ(t->Top, top);
    EXPECT_EQ(doc.Storia().count(), 1);
    EXPECT_EQ(doc.Storia().undoText(), LoadResString(1514));
    p->Campo(3)->setValue(8);
    EXPECT_NEAR(t->Height, 8 * 56.7, 1e-2);
    EXPECT_EQ(doc.Storia().undoText(), LoadResString(1515));
    // Undo shows in the panel at once.
    f->mnuAnnulla_Click();
    f->mnuAnnulla_Click();
    EXPECT_NEAR(p->Campo(0)->value(), 10, 1e-9);
    EXPECT_NEAR(p->Campo(3)->value(), 6, 1e-9);
    EXPECT_EQ(doc.Storia().count(), 2);  // the panel's refresh made no step
    // A moved object shows its new place.
    f->Editor().Tasto(Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_NEAR(p->Campo(0)->value(), 11, 1e-2);

    // The View menu hides and shows it.
    mostra->trigger();
    EXPECT_FALSE(p->isVisible());
    mostra->trigger();
    EXPECT_TRUE(p->isVisible());
    f->ClearSelection();
    EXPECT_EQ(p->findChild<QLabel*>(QStringLiteral("titolo"))->text(), LoadResString(1549));
    EXPECT_FALSE(p->Campo(0)->isEnabled());
}

// The rulers stay at the view's edges while the surface scrolls, count from the label's
// corner, and keep their numbers' size at every zoom.
TEST_F(Vista, RulersStayAtTheEdgesAndCountFromTheLabel)
{
    f->ImpostaZoom(1, QPoint(0, 0));
    Righello* h = f->Area()->RighelloOrizzontale();
    Righello* v = f->Area()->RighelloVerticale();
    ASSERT_TRUE(h->isVisible() && v->isVisible());
    EXPECT_EQ(h->pos(), QPoint(0, 0));
    EXPECT_EQ(v->pos(), QPoint(0, h->height()));
    EXPECT_EQ(h->width(), f->Area()->Vista().width());
    const auto zero = [](const Righello* r) {
        for (const auto& t : r->Tacche())
            if (t.tacca.numero == QLatin1String("0")) return t.pixel;
        return -1000;
    };
    // The label's left edge is under the horizontal ruler's 0.
    const int x0 = zero(h);
    EXPECT_EQ(x0, box()->mapTo(f->Area(), QPoint(int(std::lround(Superficie::OrigineX / 15)), 0)).x());
    const int y0 = zero(v);
    const int font = QFontInfo(h->font()).pixelSize();
    // Scrolled down by 600 twips (40 pixels): the ruler stays, its 0 moves up with the label.
    f->Area()->VScroll()->setValue(f->Area()->VScroll()->value() + 600);
    EXPECT_EQ(v->pos(), QPoint(0, h->height()));
    EXPECT_EQ(h->pos(), QPoint(0, 0));
    EXPECT_EQ(zero(v), y0 - 40);
    EXPECT_EQ(zero(h), x0);
    // At 400 % the numbers keep their size; millimetres or inches as asked.
    f->ImpostaZoom(4, QPoint(0, 0));
    EXPECT_EQ(QFontInfo(h->font()).pixelSize(), font);
    h->ImpostaPollici(true);
    QStringList numeri;
    for (const auto& t : h->Tacche())
        if (!t.tacca.numero.isEmpty()) numeri << t.tacca.numero;
    EXPECT_TRUE(numeri.contains(QStringLiteral("1"))) << numeri.join(QLatin1Char(' ')).toStdString();
    EXPECT_FALSE(numeri.contains(QStringLiteral("10")));
}
