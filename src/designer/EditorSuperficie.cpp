#include "designer/EditorSuperficie.h"

#include <cmath>

namespace cartigo {

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
        picHandle_MouseDown(m, cursore);
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
            fx = float(modCartigo::SnapX(x, 1));
            fy = float(modCartigo::SnapY(y, 1));
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

void EditorSuperficie::iniziaTrascinamento(const OggettoEtichetta& o, QPoint cursore)
{
    inizio_ = cornice_ = QRectF(o.Left, o.Top, o.Width, o.Height);
    cursoreInizio_ = cursore;
    DragRect.SetRectToCtrl(cornice_, finestra_.Contenitore());
    DragRect.TwipsToScreen();
}

void EditorSuperficie::DragBegin(OggettoEtichetta* oggetto, QPoint cursore)
{
    ShowHandles(false);
    corrente_ = oggetto->id;
    iniziaTrascinamento(*oggetto, cursore);
    finestra_.Ridisegna();
    disegnaBanda();
    DragState = 1;
    catturaMouse();
}

void EditorSuperficie::picHandle_MouseDown(int indice, QPoint cursore)
{
    OggettoEtichetta* o = CurrentObject();
    if (!o) return;
    iniziaTrascinamento(*o, cursore);
    DragHandle = indice;
    ShowHandles(false);
    finestra_.Ridisegna();
    DragState = 2;
    disegnaBanda();
    catturaMouse();
}

void EditorSuperficie::seguiCursore(QPoint p)
{
    cornice_ = inizio_;
    // Back where the press was: the frame as it was, unrounded.
    if (p != cursoreInizio_) {
        if (DragState == 1) {
            const QPoint d = p - cursoreInizio_;
            QPointF angolo(inizio_.left() + d.x() * metrica_->TwipsPerPixelX,
                           inizio_.top() + d.y() * metrica_->TwipsPerPixelY);
            if (Snap) angolo = {modCartigo::SnapX(angolo.x(), 1), modCartigo::SnapY(angolo.y(), 1)};
            cornice_.moveTopLeft(angolo);
        } else {
            // The grip's edges go to the cursor; the others stay.
            const QPoint c = metrica_->ScreenToClient(p);
            const QPointF w =
                QPointF(c.x() * metrica_->TwipsPerPixelX, c.y() * metrica_->TwipsPerPixelY) - finestra_.Contenitore();
            const double x = Snap ? modCartigo::SnapX(w.x(), 1) : w.x();
            const double y = Snap ? modCartigo::SnapY(w.y(), 1) : w.y();
            const bool sinistra = DragHandle == 0 || DragHandle == 6 || DragHandle == 7;
            const bool destra = DragHandle >= 2 && DragHandle <= 4;
            const bool alto = DragHandle >= 0 && DragHandle <= 2;
            const bool basso = DragHandle >= 4 && DragHandle <= 6;
            if (sinistra) cornice_.setLeft(x);
            if (destra) cornice_.setRight(x);
            if (alto) cornice_.setTop(y);
            if (basso) cornice_.setBottom(y);
        }
    }
    DragRect.SetRectToCtrl(cornice_, finestra_.Contenitore());
    DragRect.TwipsToScreen();
}

void EditorSuperficie::Form_MouseMove(QPoint p)
{
    if (DragState != 1 && DragState != 2) return;
    disegnaBanda();
    seguiCursore(p);
    disegnaBanda();
}

bool EditorSuperficie::Form_MouseUp(Qt::MouseButton pulsante)
{
    if (pulsante != Qt::LeftButton) return false;
    bool cambiato = false;
    OggettoEtichetta* o = CurrentObject();
    if (DragState == 1 || DragState == 2) {
        disegnaBanda();
        if (o) {
            const QRectF n = cornice_.normalized();
            const std::array<float, 4> prima{o->Left, o->Top, o->Width, o->Height};
            const std::array<float, 4> dopo{float(n.left()), float(n.top()), float(n.width()), float(n.height())};
            cambiato = dopo != prima;
            if (cambiato) {
                // A moved or resized object is a change to save.
                o->Left = dopo[0];
                o->Top = dopo[1];
                o->Width = dopo[2];
                o->Height = dopo[3];
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
    if (const OggettoEtichetta* o = CurrentObject(); mostra && o) {
        const QPointF c = finestra_.Contenitore();
        const QRectF r(o->Left + c.x(), o->Top + c.y(), o->Width, o->Height);
        maniglie_ = Superficie::PosizioniManiglie(r, c, LatoManiglia, scala());
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
