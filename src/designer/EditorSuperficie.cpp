#include "designer/EditorSuperficie.h"

#include <cmath>

namespace cartigo {

using modCartigo::CLng;

EditorSuperficie::EditorSuperficie(DocumentoEtichetta& doc, FinestraDesigner& finestra, const MetricaSchermo& metrica)
    : DragRect(metrica), doc_(doc), finestra_(finestra), metrica_(&metrica)
{
}

OggettoEtichetta* EditorSuperficie::CurrentObject() const
{
    return corrente_ ? doc_.TrovaId(corrente_) : nullptr;
}

// ---- tools ----

void EditorSuperficie::ImpostaModoInserimento(ModoInserimento modo)
{
    doc_.ImpostaModo(ModoInserimento::Nessuno);
    ClearSelection();
    doc_.ImpostaModo(modo);
    finestra_.PuntatoreInserimento(modo != ModoInserimento::Nessuno);
}

void EditorSuperficie::StrumentoSelezione()
{
    ImpostaModoInserimento(ModoInserimento::Nessuno);
    SelectMode = true;
}

void EditorSuperficie::ClearSelection()
{
    SelectMode = false;
    corrente_ = 0;
    ShowHandles(false);
    // A drag cut short (a command from the keyboard): its band and the mouse go too.
    while (bande_ > 0) disegnaBanda();
    if (catturato_) {
        catturato_ = false;
        finestra_.CatturaMouse(false);
    }
    DragState = 0;
}

// ---- mouse ----

void EditorSuperficie::MouseDown(Qt::MouseButton pulsante, QPointF twips, QPoint cursore)
{
    premuto_ = 0;
    if (DragState != 0) return;  // a drag under way keeps the mouse
    if (const int m = ManigliaNelPunto(twips); m >= 0) {
        picHandle_MouseDown(m);
        return;
    }
    if (OggettoEtichetta* o = Superficie::OggettoCliccato(doc_, twips.x(), twips.y())) {
        premuto_ = o->id;
        Oggetto_MouseDown(o, pulsante, cursore);
        return;
    }
    PicBox_MouseDown(pulsante, twips.x(), twips.y(), cursore);
}

void EditorSuperficie::PicBox_MouseDown(Qt::MouseButton pulsante, double x, double y, QPoint cursore)
{
    if (pulsante != Qt::LeftButton) return;
    if (!SelectMode) {
        const ModoInserimento modo = doc_.Modo();
        if (modo == ModoInserimento::Nessuno) return;
        float fx = float(x), fy = float(y);
        if (Snap) {
            fx = float(modCartigo::SnapX(x, 1, metrica_->TwipsPerPixelX));
            fy = float(modCartigo::SnapY(y, 1, metrica_->TwipsPerPixelY));
        }
        OggettoEtichetta* nuovo = nullptr;
        switch (modo) {
            case ModoInserimento::Testo:
                nuovo = doc_.CreaTesto(fx, fy, LarghezzaTesto, AltezzaTesto);
                break;
            case ModoInserimento::Barcode:
                nuovo = doc_.CreaBarcode(fx, fy, LarghezzaOggetto, AltezzaOggetto);
                break;
            case ModoInserimento::Immagine:
                nuovo = doc_.CreaImmagine(fx, fy, LarghezzaOggetto, AltezzaOggetto);
                break;
            case ModoInserimento::Rettangolo:
                nuovo = doc_.CreaRettangolo(fx, fy, LarghezzaOggetto, AltezzaOggetto);
                break;
            case ModoInserimento::Nessuno:
                break;
        }
        doc_.ImpostaModo(ModoInserimento::Nessuno);
        finestra_.PuntatoreInserimento(false);
        SelectMode = true;
        if (nuovo) DragBegin(nuovo, cursore);
        return;
    }
    // Hit test in the order of the surface's list: the first object wins.
    const QPointF c = finestra_.Contenitore();
    for (OggettoEtichetta* o : doc_.Oggetti()) {
        if (!o->Visible) continue;
        DragRect.SetRectToCtrl(*o, c);
        if (DragRect.PtInRect(float(x + c.x()), float(y + c.y()))) {
            DragBegin(o, cursore);
            return;
        }
    }
    corrente_ = 0;
    ShowHandles(false);
}

void EditorSuperficie::Oggetto_MouseDown(OggettoEtichetta* oggetto, Qt::MouseButton pulsante, QPoint cursore)
{
    if (pulsante == Qt::LeftButton && SelectMode && oggetto && oggetto->Index > 0) DragBegin(oggetto, cursore);
}

void EditorSuperficie::DragBegin(OggettoEtichetta* oggetto, QPoint cursore)
{
    ShowHandles(false);
    corrente_ = oggetto->id;
    DragPoint = cursore;
    DragRect.SetRectToCtrl(*oggetto, finestra_.Contenitore());
    DragRect.TwipsToScreen();
    DragPoint -= QPoint(DragRect.Left, DragRect.Top);
    finestra_.Ridisegna();
    disegnaBanda();
    DragState = 1;
    catturaMouse();
}

void EditorSuperficie::picHandle_MouseDown(int indice)
{
    OggettoEtichetta* o = CurrentObject();
    if (!o) return;
    DragRect.SetRectToCtrl(*o, finestra_.Contenitore());
    DragRect.TwipsToScreen();
    DragHandle = indice;
    ShowHandles(false);
    finestra_.Ridisegna();
    DragState = 2;
    disegnaBanda();
    catturaMouse();
}

void EditorSuperficie::Form_MouseMove(QPoint p)
{
    if (DragState == 1) {
        const qint32 w = DragRect.Right - DragRect.Left, h = DragRect.Bottom - DragRect.Top;
        disegnaBanda();
        if (Snap) {
            DragRect.Left = CLng(modCartigo::SnapX(p.x() - DragPoint.x(), 1, metrica_->TwipsPerPixelX));
            DragRect.Top = CLng(modCartigo::SnapY(p.y() - DragPoint.y(), 1, metrica_->TwipsPerPixelY));
            DragRect.Right = CLng(modCartigo::SnapX(DragRect.Left + w, 1, metrica_->TwipsPerPixelX));
            DragRect.Bottom = CLng(modCartigo::SnapY(DragRect.Top + h, 1, metrica_->TwipsPerPixelY));
        } else {
            DragRect.Left = p.x() - DragPoint.x();
            DragRect.Top = p.y() - DragPoint.y();
            DragRect.Right = DragRect.Left + w;
            DragRect.Bottom = DragRect.Top + h;
        }
        disegnaBanda();
    } else if (DragState == 2) {
        disegnaBanda();
        const qint32 x = Snap ? CLng(modCartigo::SnapX(p.x(), 1, metrica_->TwipsPerPixelX)) : p.x();
        const qint32 y = Snap ? CLng(modCartigo::SnapY(p.y(), 1, metrica_->TwipsPerPixelY)) : p.y();
        switch (DragHandle) {
            case 0:
                DragRect.Left = x;
                DragRect.Top = y;
                break;
            case 1:
                DragRect.Top = y;
                break;
            case 2:
                DragRect.Right = x;
                DragRect.Top = y;
                break;
            case 3:
                DragRect.Right = x;
                break;
            case 4:
                DragRect.Right = x;
                DragRect.Bottom = y;
                break;
            case 5:
                DragRect.Bottom = y;
                break;
            case 6:
                DragRect.Left = x;
                DragRect.Bottom = y;
                break;
            case 7:
                DragRect.Left = x;
                break;
            default:
                break;
        }
        disegnaBanda();
    }
}

bool EditorSuperficie::Form_MouseUp(Qt::MouseButton pulsante)
{
    if (pulsante != Qt::LeftButton) return false;
    bool cambiato = false;
    OggettoEtichetta* o = CurrentObject();
    if (DragState == 1 || DragState == 2) {
        disegnaBanda();
        if (o) {
            const float prima[4] = {o->Left, o->Top, o->Width, o->Height};
            DragRect.ScreenToTwips();
            DragRect.SetCtrlToRect(*o, finestra_.Contenitore(), Snap);
            cambiato = prima[0] != o->Left || prima[1] != o->Top || prima[2] != o->Width || prima[3] != o->Height;
            if (cambiato) {
                // A moved or resized object is a change to save.
                doc_.ImpostaModificato(true);
                doc_.NotificaModificaOggetto(o);
            }
        }
        ShowHandles(true);
        if (catturato_) {
            catturato_ = false;
            finestra_.CatturaMouse(false);
        }
        DragState = 0;
    }
    if (o && o->tipo == TipoOggetto::Testo) finestra_.ShowFontState(*o);
    // The click of a text object that took the press.
    if (premuto_ && premuto_ == corrente_ && o && o->tipo == TipoOggetto::Testo && o->Index > 0)
        finestra_.ShowFontState(*o);
    premuto_ = 0;
    return cambiato;
}

void EditorSuperficie::ShowHandles(bool mostra)
{
    if (mostra && CurrentObject()) {
        const QRectF r(DragRect.Left, DragRect.Top, DragRect.Width(), DragRect.Height());
        maniglie_ = Superficie::PosizioniManiglie(r, finestra_.Contenitore(), LatoManiglia, scala());
    } else {
        maniglie_.reset();
    }
    finestra_.MostraManiglie(maniglie_);
}

int EditorSuperficie::ManigliaNelPunto(QPointF twips) const
{
    if (!maniglie_) return -1;
    const ScalaSuperficie s = scala();
    const QPointF p = s.inPixel(twips);
    for (int i = 0; i < 8; ++i) {
        const QPointF m = s.inPixel((*maniglie_)[size_t(i)]);
        const double x = std::lround(m.x()), y = std::lround(m.y());
        if (p.x() >= x && p.x() < x + LatoManiglia && p.y() >= y && p.y() < y + LatoManiglia) return i;
    }
    return -1;
}

EditorSuperficie::DoppioClic EditorSuperficie::DblClick(QPointF twips) const
{
    const OggettoEtichetta* cliccato = Superficie::OggettoCliccato(doc_, twips.x(), twips.y());
    const OggettoEtichetta* o = CurrentObject();
    if (!cliccato || cliccato->Index == 0 || !o) return DoppioClic::Nessuno;
    if (!o->DataMember.isEmpty()) return DoppioClic::Collega;
    return cliccato->tipo == TipoOggetto::Immagine ? DoppioClic::ModificaImmagine : DoppioClic::ModificaTesto;
}

QRect EditorSuperficie::RettangoloBanda() const
{
    return QRect(DragRect.Left, DragRect.Top, DragRect.Right - DragRect.Left, DragRect.Bottom - DragRect.Top);
}

void EditorSuperficie::disegnaBanda()
{
    finestra_.DrawDragRect(RettangoloBanda());
    bande_ = bande_ ? 0 : 1;
}

void EditorSuperficie::catturaMouse()
{
    if (catturato_) finestra_.CatturaMouse(false);
    catturato_ = true;
    finestra_.CatturaMouse(true);
}

}  // namespace cartigo
