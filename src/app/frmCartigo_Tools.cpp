// The Tools menu and the mouse on the design surface: the creation tools, the
// selection, and the drags that move and size objects. The rules are in
// EditorSuperficie; this file connects it to the widgets.
#include "app/frmCartigo.h"

#include "designer/BandaTrascinamento.h"
#include "designer/PicBox.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>

namespace cartigo {

namespace {
Qt::CursorShape puntatoreManiglia(int indice)
{
    switch (indice) {
        case 0:
        case 4:
            return Qt::SizeFDiagCursor;
        case 2:
        case 6:
            return Qt::SizeBDiagCursor;
        case 1:
        case 5:
            return Qt::SizeVerCursor;
        default:
            return Qt::SizeHorCursor;
    }
}
}  // namespace

void frmCartigo::collegaSuperficie()
{
    PicBox* box = area_->picBox();
    box->setMouseTracking(true);  // the grips' pointers
    // A click on the surface takes the keyboard from the font boxes (and leaving
    // them checks them), so the editing keys reach the window's commands.
    box->setFocusPolicy(Qt::ClickFocus);
    box->setFocus();
    // The right button belongs to the grips; no toolbar menu pops up over the window.
    setContextMenuPolicy(Qt::NoContextMenu);
    connect(box, &PicBox::MouseDown, this,
            [this](Qt::MouseButton b, Qt::KeyboardModifiers m, QPointF tw) { PicBox_MouseDown(b, tw, m); });
    // Tab and Shift+Tab on the surface step through the objects.
    connect(box, &PicBox::Tasto, this, [this](int k, Qt::KeyboardModifiers m) { editor_->Tasto(k, m); });
    connect(box, &PicBox::MouseMove, this, [this](Qt::MouseButtons, Qt::KeyboardModifiers, QPointF tw) {
        PicBox_MouseMove(tw);
        mostraPosizione(tw);
    });
    // Ctrl and the wheel zoom around the pointer, a step a notch.
    connect(area_, &AreaDisegno::RotellaZoom, this, [this](int passi, QPoint perno) {
        if (passi != 0) ImpostaZoom(Superficie::ZoomSuccessivo(Zoom(), passi > 0), perno);
    });
    connect(box, &PicBox::DblClick, this, &frmCartigo::PicBox_DblClick);
    // A step done, undone or redone elsewhere (a menu, the toolbar) moves the grips with the object.
    connect(&doc_.Storia(), &QUndoStack::indexChanged, this, [this] {
        if (editor_->Maniglie() && editor_->DragState == 0) editor_->ShowHandles(true);
    });
    // An object that went away (a new label, a load) takes its grips with it.
    connect(&doc_, &DocumentoEtichetta::oggettiCambiati, this, [this] {
        if (editor_->Maniglie() && !editor_->CurrentObject()) editor_->ShowHandles(false);
    });
}

// ---- tools ----

void frmCartigo::mnuSeleziona_Click()
{
    editor_->StrumentoSelezione();
}

void frmCartigo::mnuTesto_Click()
{
    ImpostaModoInserimento(ModoInserimento::Testo);
}

void frmCartigo::mnuCodiciBarre_Click()
{
    ImpostaModoInserimento(ModoInserimento::Barcode);
}

void frmCartigo::mnuImmagine_Click()
{
    ImpostaModoInserimento(ModoInserimento::Immagine);
}

void frmCartigo::mnuRettangolo_Click()
{
    ImpostaModoInserimento(ModoInserimento::Rettangolo);
}

void frmCartigo::mnuLinea_Click()
{
    ImpostaModoInserimento(ModoInserimento::Linea);
}

void frmCartigo::mnuEllisse_Click()
{
    ImpostaModoInserimento(ModoInserimento::Ellisse);
}

// ---- the mouse ----

QPoint frmCartigo::schermoDaTwips(QPointF twips) const
{
    const PicBox* box = area_->picBox();
    return box->mapToGlobal(box->Scala().inPixel(twips)).toPoint();
}

void frmCartigo::PicBox_MouseDown(Qt::MouseButton pulsante, QPointF twips, Qt::KeyboardModifiers tasti)
{
    // A press whose button went up meanwhile (a font box's message took it) starts no drag.
    if (!(QGuiApplication::mouseButtons() & pulsante)) return;
    editor_->MouseDown(pulsante, twips, schermoDaTwips(twips), tasti);
}

void frmCartigo::PicBox_MouseMove(QPointF twips)
{
    if (editor_->DragState != 0) return;
    PicBox* box = area_->picBox();
    const int m = editor_->ManigliaNelPunto(twips);
    if (m >= 0)
        box->setCursor(puntatoreManiglia(m));
    else
        box->unsetCursor();  // the window's: cross-hair with a creation tool, else the arrow
}

void frmCartigo::PicBox_DblClick(Qt::MouseButton pulsante, QPointF twips)
{
    if (pulsante != Qt::LeftButton) return;
    switch (editor_->DblClick(twips)) {
        case EditorSuperficie::DoppioClic::ModificaTesto:
            mnuModificaTesto_Click();
            break;
        case EditorSuperficie::DoppioClic::ModificaImmagine:
            mnuModificaImmagine_Click();
            break;
        case EditorSuperficie::DoppioClic::Collega:
            mnuCollega_Click();
            break;
        case EditorSuperficie::DoppioClic::ProprietaForma:
            mnuForma_Click();
            break;
        case EditorSuperficie::DoppioClic::Nessuno:
            break;
    }
}

void frmCartigo::mouseMoveEvent(QMouseEvent* e)
{
    editor_->Form_MouseMove(e->globalPosition().toPoint(), e->modifiers());
}

void frmCartigo::mouseReleaseEvent(QMouseEvent* e)
{
    editor_->Form_MouseUp(e->button(), e->modifiers());
}

void frmCartigo::keyPressEvent(QKeyEvent* e)
{
    // The arrow keys and Escape that no control of the window took.
    if (editor_->Tasto(e->key(), e->modifiers()))
        e->accept();
    else
        QMainWindow::keyPressEvent(e);
}

// ---- what the editor asks of the window ----

QPointF frmCartigo::Contenitore() const
{
    const PicBox* box = area_->picBox();
    const QPoint p = box->mapTo(this, QPoint(0, 0));
    return box->Scala().inTwips(QPointF(p));
}

void frmCartigo::DrawDragRect(const QRect& schermo)
{
    banda_->DrawDragRect(schermo);
}

void frmCartigo::MostraSelezione(const std::vector<QRectF>& cornici)
{
    area_->picBox()->ImpostaSelezione(cornici);
}

void frmCartigo::MostraManiglie(const std::optional<std::array<QPointF, 8>>& posizioni)
{
    aggiornaPannello();
    area_->picBox()->ImpostaManiglie(posizioni);
    if (!posizioni) area_->picBox()->unsetCursor();
}

void frmCartigo::CatturaMouse(bool cattura)
{
    if (cattura) {
        setMouseTracking(true);  // moves reach the window with any button, or none
        grabMouse();
    } else {
        releaseMouse();
        setMouseTracking(false);
    }
}

void frmCartigo::OggettoDisegnato(OggettoEtichetta& nuovo)
{
    if (nuovo.tipo == TipoOggetto::Immagine) comandi_.FileNuovaImmagine(nuovo);
}

void frmCartigo::PuntatoreInserimento(bool croce)
{
    if (croce)
        setCursor(Qt::CrossCursor);
    else
        unsetCursor();
}

void frmCartigo::Ridisegna()
{
    area_->picBox()->repaint();
}

}  // namespace cartigo
