#include "designer/EditorSuperficie.h"

#include "barcode/ParametriBarcode.h"
#include "label/ModificheEtichetta.h"

#include <algorithm>
#include <cmath>

namespace cartigo {

EditorSuperficie::EditorSuperficie(DocumentoEtichetta& doc, FinestraDesigner& finestra, const MetricaSchermo& metrica)
    : DragRect(metrica), doc_(doc), finestra_(finestra), metrica_(&metrica)
{
}

// ---- the selection ----

OggettoEtichetta* EditorSuperficie::CurrentObject() const
{
    for (auto it = selezione_.rbegin(); it != selezione_.rend(); ++it)
        if (OggettoEtichetta* o = doc_.TrovaId(*it)) return o;
    return nullptr;
}

void EditorSuperficie::ImpostaCurrentObject(OggettoEtichetta* o)
{
    selezione_.clear();
    if (o && o->Index > 0) selezione_.push_back(o->id);
}

std::vector<OggettoEtichetta*> EditorSuperficie::Selezione() const
{
    std::vector<OggettoEtichetta*> r;
    for (quint64 id : selezione_)
        if (OggettoEtichetta* o = doc_.TrovaId(id)) r.push_back(o);
    return r;
}

void EditorSuperficie::ImpostaSelezione(const std::vector<OggettoEtichetta*>& oggetti)
{
    selezione_.clear();
    for (OggettoEtichetta* o : oggetti) aggiungi(o);
}

bool EditorSuperficie::Selezionato(const OggettoEtichetta* o) const
{
    return o && std::find(selezione_.begin(), selezione_.end(), o->id) != selezione_.end();
}

void EditorSuperficie::aggiungi(OggettoEtichetta* o)
{
    if (!o || o->Index == 0) return;
    togli(o);
    selezione_.push_back(o->id);
}

void EditorSuperficie::togli(const OggettoEtichetta* o)
{
    selezione_.erase(std::remove(selezione_.begin(), selezione_.end(), o->id), selezione_.end());
}

void EditorSuperficie::ImpostaZoom(double zoom)
{
    AnnullaTrascinamento();
    zoom_ = zoom;
    DragRect.Zoom = zoom;
    if (maniglie_) ShowHandles(true);
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
    // A drag cut short (a command from the keyboard): its bands and the mouse go too.
    registraCreazione();
    selezione_.clear();
    ShowHandles(false);
    mostraBande({});
    liberaMouse();
    DragState = 0;
}

void EditorSuperficie::SelezionaTutto()
{
    if (DragState != 0) return;
    if (doc_.Modo() != ModoInserimento::Nessuno) StrumentoSelezione();
    SelectMode = true;
    ImpostaSelezione(doc_.Oggetti());
    ShowHandles(true);
}

// ---- mouse ----

void EditorSuperficie::MouseDown(Qt::MouseButton pulsante, QPointF twips, QPoint cursore, Qt::KeyboardModifiers tasti)
{
    premuto_ = 0;
    if (DragState != 0) return;  // a drag under way keeps the mouse
    tasti_ = tasti;
    if (const int m = ManigliaNelPunto(twips); m >= 0) {
        picHandle_MouseDown(m, cursore);
        return;
    }
    if (OggettoEtichetta* o = Superficie::OggettoCliccato(doc_, twips.x(), twips.y())) {
        premuto_ = o->id;
        Oggetto_MouseDown(o, pulsante, cursore, tasti);
        return;
    }
    PicBox_MouseDown(pulsante, twips.x(), twips.y(), cursore, tasti);
}

void EditorSuperficie::PicBox_MouseDown(Qt::MouseButton pulsante, double x, double y, QPoint cursore,
                                        Qt::KeyboardModifiers tasti)
{
    if (pulsante != Qt::LeftButton) return;
    // No tool armed (after a command that leaves the selection tool off): the selection
    // tool comes back by itself, so a click is never lost.
    if (!SelectMode && doc_.Modo() == ModoInserimento::Nessuno) SelectMode = true;
    if (!SelectMode) {
        const ModoInserimento modo = doc_.Modo();
        float fx = float(x), fy = float(y);
        if (Snap) {
            fx = float(modCartigo::SnapX(x, 1));
            fy = float(modCartigo::SnapY(y, 1));
        }
        OggettoEtichetta* nuovo = nullptr;
        const auto strumento = Strumento(modo);
        if (modo == ModoInserimento::Linea || modo == ModoInserimento::Ellisse) {
            nuovo = doc_.Crea(modo == ModoInserimento::Linea ? TipoOggetto::Linea : TipoOggetto::Ellisse, fx, fy, 0, 0);
        } else if (strumento) {
            nuovo = doc_.Crea(strumento->tipo, fx, fy, float(strumento->predefinita.width()),
                              float(strumento->predefinita.height()));
            if (nuovo->tipo == TipoOggetto::Barcode) nuovo->Tag = TagNuovoBarcode(nuovo->Tag);
        }
        doc_.ImpostaModo(ModoInserimento::Nessuno);
        finestra_.PuntatoreInserimento(false);
        SelectMode = true;
        if (nuovo && (modo == ModoInserimento::Linea || modo == ModoInserimento::Ellisse)) {
            // Drawn from the press to the release: the far end (corner) follows the mouse.
            creato_ = nuovo->id;
            ImpostaCurrentObject(nuovo);
            tasti_ = tasti;
            picHandle_MouseDown(4, cursore);
        } else if (nuovo) {
            // Its frame is drawn by the drag: one step when the button goes up.
            creato_ = nuovo->id;
            ImpostaCurrentObject(nuovo);
            iniziaDisegno(*nuovo, QPointF(fx, fy), strumento->minimo, cursore);
        }
        return;
    }
    // Hit test in the order of the surface's list: the first object wins.
    const QPointF c = finestra_.Contenitore();
    for (OggettoEtichetta* o : doc_.Oggetti()) {
        if (!o->Visible || o->tipo == TipoOggetto::Linea) continue;  // a line's box is not the line
        DragRect.SetRectToCtrl(*o, c);
        if (DragRect.PtInRect(float(x + c.x()), float(y + c.y()))) {
            Oggetto_MouseDown(o, pulsante, cursore, tasti);
            return;
        }
    }
    // Empty surface: a band selects what it encloses; without Shift or Ctrl it starts afresh.
    aggiungiBanda_ = tasti & (Qt::ShiftModifier | Qt::ControlModifier);
    if (!aggiungiBanda_) selezione_.clear();
    ShowHandles(false);
    inizioBanda_ = fineBanda_ = QPointF(x, y);
    cursoreInizio_ = cursore;
    DragState = 3;
    catturaMouse();
}

void EditorSuperficie::Oggetto_MouseDown(OggettoEtichetta* oggetto, Qt::MouseButton pulsante, QPoint cursore,
                                         Qt::KeyboardModifiers tasti)
{
    if (pulsante == Qt::LeftButton && !SelectMode && doc_.Modo() == ModoInserimento::Nessuno) SelectMode = true;
    if (pulsante != Qt::LeftButton || !SelectMode || !oggetto || oggetto->Index == 0) return;
    if (tasti & (Qt::ShiftModifier | Qt::ControlModifier)) {
        if (Selezionato(oggetto)) {
            // Taken out of the selection; the grips go to the one selected before it.
            togli(oggetto);
            ShowHandles(true);
            return;
        }
        aggiungi(oggetto);
    } else if (Selezionato(oggetto) && selezione_.size() > 1) {
        // All of them move with it; a click without a move leaves it alone selected.
        soloQuesto_ = oggetto->id;
    } else {
        ImpostaCurrentObject(oggetto);
    }
    DragBegin(oggetto, cursore);
}

void EditorSuperficie::iniziaTrascinamento(const OggettoEtichetta& o, QPoint cursore)
{
    inizio_ = cornice_ = QRectF(o.Left, o.Top, o.Width, o.Height);
    // A line's frame runs from its first end to its second.
    if (o.tipo == TipoOggetto::Linea) inizio_ = cornice_ = QRectF(QPointF(o.X1(), o.Y1()), QPointF(o.X2(), o.Y2()));
    cursoreInizio_ = ultimoCursore_ = cursore;
    trascinato_ = o.id;
    altri_.clear();
    DragRect.SetRectToCtrl(cornice_, finestra_.Contenitore());
    DragRect.TwipsToScreen();
}

std::optional<EditorSuperficie::StrumentoCreazione> EditorSuperficie::Strumento(ModoInserimento modo)
{
    // A drawn frame is at least a millimetre each way.
    constexpr double kMinimo = 56.7;
    const QSizeF oggetto(LarghezzaOggetto, AltezzaOggetto);
    switch (modo) {
        case ModoInserimento::Testo:
            return StrumentoCreazione{TipoOggetto::Testo, QSizeF(LarghezzaTesto, AltezzaTesto), kMinimo};
        case ModoInserimento::Barcode:
            return StrumentoCreazione{TipoOggetto::Barcode, oggetto, kMinimo};
        case ModoInserimento::Immagine:
            return StrumentoCreazione{TipoOggetto::Immagine, oggetto, kMinimo};
        case ModoInserimento::Rettangolo:
            return StrumentoCreazione{TipoOggetto::Rettangolo, oggetto, kMinimo};
        case ModoInserimento::Nessuno:
            break;
    }
    return std::nullopt;
}

void EditorSuperficie::iniziaDisegno(OggettoEtichetta& nuovo, QPointF origine, double minimo, QPoint cursore)
{
    ShowHandles(false);
    iniziaTrascinamento(nuovo, cursore);
    origineDisegno_ = origine;
    minimoDisegno_ = minimo;
    finestra_.Ridisegna();
    DragState = 4;
    mostraBande(bandeAttuali());
    catturaMouse();
}

void EditorSuperficie::DragBegin(OggettoEtichetta* oggetto, QPoint cursore)
{
    ShowHandles(false);
    if (!Selezionato(oggetto)) ImpostaCurrentObject(oggetto);
    iniziaTrascinamento(*oggetto, cursore);
    for (const OggettoEtichetta* o : Selezione()) {
        if (o == oggetto) continue;
        const QRectF r(o->Left, o->Top, o->Width, o->Height);
        altri_.push_back({o->id, r, r});
    }
    finestra_.Ridisegna();
    DragState = 1;
    mostraBande(bandeAttuali());
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
    mostraBande(bandeAttuali());
    catturaMouse();
}

void EditorSuperficie::seguiCursore(QPoint p)
{
    ultimoCursore_ = p;
    const ScalaSuperficie s = scala();
    if (DragState == 3) {
        const QPoint c = metrica_->ScreenToClient(p);
        fineBanda_ = QPointF(c.x() * s.x, c.y() * s.y) - finestra_.Contenitore();
        return;
    }
    cornice_ = inizio_;
    if (DragState == 4) {
        // Near the press the default frame stays; past it, the frame runs from the press to
        // the pointer, at least the tool's least size in the drag's direction.
        const QPoint d = p - cursoreInizio_;
        if (std::abs(d.x()) > SogliaDisegno || std::abs(d.y()) > SogliaDisegno) {
            const QPoint c = metrica_->ScreenToClient(p);
            QPointF w = QPointF(c.x() * s.x, c.y() * s.y) - finestra_.Contenitore();
            if (Snap) w = {modCartigo::SnapX(w.x(), 1), modCartigo::SnapY(w.y(), 1)};
            const auto lato = [&](double da, double a) {
                const double l = a - da;
                return std::abs(l) >= minimoDisegno_ ? l : (l < 0 ? -minimoDisegno_ : minimoDisegno_);
            };
            cornice_ = QRectF(origineDisegno_, QSizeF(lato(origineDisegno_.x(), w.x()), lato(origineDisegno_.y(), w.y())));
        }
        DragRect.SetRectToCtrl(cornice_.normalized(), finestra_.Contenitore());
        DragRect.TwipsToScreen();
        return;
    }
    // Back where the press was: the frame as it was, unrounded.
    if (p != cursoreInizio_) {
        if (DragState == 1) {
            const QPoint d = p - cursoreInizio_;
            QPointF angolo(inizio_.left() + d.x() * s.x, inizio_.top() + d.y() * s.y);
            if (Snap) angolo = {modCartigo::SnapX(angolo.x(), 1), modCartigo::SnapY(angolo.y(), 1)};
            cornice_.moveTopLeft(angolo);
        } else {
            // The grip's edges go to the cursor; the others stay.
            const QPoint c = metrica_->ScreenToClient(p);
            const QPointF w = QPointF(c.x() * s.x, c.y() * s.y) - finestra_.Contenitore();
            const double x = Snap ? modCartigo::SnapX(w.x(), 1) : w.x();
            const double y = Snap ? modCartigo::SnapY(w.y(), 1) : w.y();
            const bool sinistra = DragHandle == 0 || DragHandle == 6 || DragHandle == 7;
            const bool destra = DragHandle >= 2 && DragHandle <= 4;
            const bool alto = DragHandle >= 0 && DragHandle <= 2;
            const bool basso = DragHandle >= 4 && DragHandle <= 6;
            const OggettoEtichetta* o = doc_.TrovaId(trascinato_);
            const bool shift = tasti_ & Qt::ShiftModifier;
            if (o && o->tipo == TipoOggetto::Linea) {
                // The end of the grip goes to the cursor; with Shift the line keeps to the
                // nearest of horizontal, vertical and 45 degrees.
                const QPointF fissa = DragHandle < 4 ? cornice_.bottomRight() : cornice_.topLeft();
                const QPointF fine = shift ? EstremoVincolato(fissa, QPointF(x, y)) : QPointF(x, y);
                if (DragHandle < 4)
                    cornice_.setTopLeft(fine);
                else
                    cornice_.setBottomRight(fine);
            } else {
                if (sinistra) cornice_.setLeft(x);
                if (destra) cornice_.setRight(x);
                if (alto) cornice_.setTop(y);
                if (basso) cornice_.setBottom(y);
                // An ellipse by a corner with Shift: a circle, its side the longer of the two.
                if (o && o->tipo == TipoOggetto::Ellisse && shift && (sinistra || destra) && (alto || basso)) {
                    const double lato = std::max(std::abs(cornice_.width()), std::abs(cornice_.height()));
                    const double w = std::copysign(lato, cornice_.width() == 0 ? 1.0 : cornice_.width());
                    const double h = std::copysign(lato, cornice_.height() == 0 ? 1.0 : cornice_.height());
                    if (sinistra) cornice_.setLeft(cornice_.right() - w);
                    if (destra) cornice_.setRight(cornice_.left() + w);
                    if (alto) cornice_.setTop(cornice_.bottom() - h);
                    if (basso) cornice_.setBottom(cornice_.top() + h);
                }
            }
        }
    }
    // The others keep their places relative to the object dragged.
    const QPointF spostamento = cornice_.topLeft() - inizio_.topLeft();
    for (Trascinato& t : altri_) t.cornice = t.inizio.translated(spostamento);
    DragRect.SetRectToCtrl(cornice_, finestra_.Contenitore());
    DragRect.TwipsToScreen();
}

void EditorSuperficie::Form_MouseMove(QPoint p, std::optional<Qt::KeyboardModifiers> tasti)
{
    if (DragState < 1 || DragState > 4) return;
    if (tasti) tasti_ = *tasti;
    seguiCursore(p);
    mostraBande(bandeAttuali());
}

bool EditorSuperficie::Form_MouseUp(Qt::MouseButton pulsante, std::optional<Qt::KeyboardModifiers> tasti)
{
    if (pulsante != Qt::LeftButton) return false;
    bool cambiato = false;
    if (DragState == 2 && tasti && *tasti != tasti_) {
        // Shift pressed or let go since the last move: the release decides.
        tasti_ = *tasti;
        seguiCursore(ultimoCursore_);
    }
    if (OggettoEtichetta* linea = doc_.TrovaId(trascinato_);
        DragState == 2 && linea && linea->tipo == TipoOggetto::Linea) {
        // A line's end moved: its box and its direction change together.
        mostraBande({});
        OggettoEtichetta dopo = *linea;
        dopo.ImpostaEstremi(float(cornice_.left()), float(cornice_.top()), float(cornice_.right()),
                            float(cornice_.bottom()));
        cambiato = !StesseProprieta(*linea, dopo);
        if (creato_) {
            CopiaProprieta(*linea, dopo);
            registraCreazione();
        } else if (cambiato) {
            doc_.Esegui(new ComandoForma(doc_, {{linea->id, *linea, dopo}}, NomeModifica::Ridimensionamento));
        }
        liberaMouse();
        DragState = 0;
        ShowHandles(true);
    } else if (DragState == 1 || DragState == 2 || DragState == 4) {
        mostraBande({});
        std::vector<ModificaCornici::Voce> voci;
        auto voce = [&](quint64 id, const QRectF& r) {
            const OggettoEtichetta* o = doc_.TrovaId(id);
            if (!o) return;
            const QRectF n = r.normalized();
            const Cornice dopo{float(n.left()), float(n.top()), float(n.width()), float(n.height())};
            if (dopo != Cornice::Di(*o)) voci.push_back({id, Cornice::Di(*o), dopo});
        };
        voce(trascinato_, cornice_);
        for (const Trascinato& t : altri_) voce(t.id, t.cornice);
        cambiato = !voci.empty();
        if (creato_) {
            // A placed object: its frame is part of its creation.
            for (const auto& v : voci)
                if (OggettoEtichetta* o = doc_.TrovaId(v.id)) v.dopo.ApplicaA(*o);
            liberaMouse();
            if (OggettoEtichetta* o = doc_.TrovaId(creato_)) finestra_.OggettoDisegnato(*o);
            registraCreazione();
        } else if (cambiato) {
            if (DragState == 1)
                doc_.Esegui(new ComandoSposta(doc_, std::move(voci)));
            else
                doc_.Esegui(new ComandoRidimensiona(doc_, std::move(voci)));
        }
        if (!cambiato && soloQuesto_) ImpostaCurrentObject(doc_.TrovaId(soloQuesto_));
        liberaMouse();
        DragState = 0;
        ShowHandles(true);
    } else if (DragState == 3) {
        mostraBande({});
        const QRectF banda = BandaSelezione();
        if (!banda.isEmpty()) {
            for (OggettoEtichetta* o : doc_.Oggetti())
                if (o->Visible && banda.contains(QRectF(o->Left, o->Top, o->Width, o->Height))) aggiungi(o);
        }
        liberaMouse();
        DragState = 0;
        ShowHandles(true);
    }
    soloQuesto_ = 0;
    OggettoEtichetta* o = CurrentObject();
    if (o && o->tipo == TipoOggetto::Testo) finestra_.ShowFontState(*o);
    // The click of a text object that took the press.
    if (premuto_ && o && premuto_ == o->id && o->tipo == TipoOggetto::Testo) finestra_.ShowFontState(*o);
    premuto_ = 0;
    return cambiato;
}

bool EditorSuperficie::AnnullaTrascinamento()
{
    if (DragState == 0) return false;
    mostraBande({});
    registraCreazione();
    liberaMouse();
    DragState = 0;
    soloQuesto_ = 0;
    ShowHandles(true);
    return true;
}

void EditorSuperficie::registraCreazione()
{
    if (OggettoEtichetta* o = creato_ ? doc_.TrovaId(creato_) : nullptr) {
        // A line or an ellipse placed by a click without a drag takes a size of its own.
        if (o->tipo == TipoOggetto::Linea && o->Width == 0 && o->Height == 0) o->Width = LarghezzaOggetto;
        if (o->tipo == TipoOggetto::Ellisse && (o->Width == 0 || o->Height == 0)) {
            o->Width = LarghezzaOggetto;
            o->Height = AltezzaOggetto;
        }
        doc_.Esegui(new ComandoCrea(doc_, {creato_}));
    }
    creato_ = 0;
}

void EditorSuperficie::ShowHandles(bool mostra)
{
    std::vector<QRectF> altri;
    if (const OggettoEtichetta* o = CurrentObject(); mostra && o) {
        const QPointF c = finestra_.Contenitore();
        const QRectF r(o->Left + c.x(), o->Top + c.y(), o->Width, o->Height);
        maniglie_ = Superficie::PosizioniManiglie(r, c, LatoManiglia, scala());
        if (o->tipo == TipoOggetto::Linea) {
            // A line's grips are its ends: grips 0 to 3 on the first, 4 to 7 on the second.
            const ScalaSuperficie s = scala();
            const QPointF mezza(double(qint64(std::nearbyint(LatoManiglia * s.x)) / 2),
                                double(qint64(std::nearbyint(LatoManiglia * s.y)) / 2));
            for (int i = 0; i < 8; ++i)
                (*maniglie_)[size_t(i)] = (i < 4 ? QPointF(o->X1(), o->Y1()) : QPointF(o->X2(), o->Y2())) - mezza;
        }
        for (const OggettoEtichetta* a : Selezione())
            if (a != o) altri.emplace_back(a->Left, a->Top, a->Width, a->Height);
    } else {
        maniglie_.reset();
    }
    finestra_.MostraManiglie(maniglie_);
    finestra_.MostraSelezione(altri);
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

EditorSuperficie::DoppioClic EditorSuperficie::DblClick(QPointF twips)
{
    // The object under the pointer, whatever was selected before: it alone becomes the
    // selection, and the editor that opens edits it.
    OggettoEtichetta* cliccato = Superficie::OggettoCliccato(doc_, twips.x(), twips.y());
    if (!cliccato || cliccato->Index == 0 || DragState != 0 || doc_.Modo() != ModoInserimento::Nessuno)
        return DoppioClic::Nessuno;
    SelectMode = true;
    if (CurrentObject() != cliccato || selezione_.size() > 1) {
        ImpostaCurrentObject(cliccato);
        ShowHandles(true);
    }
    if (!cliccato->DataMember.isEmpty()) return DoppioClic::Collega;
    switch (cliccato->tipo) {
        case TipoOggetto::Immagine:
            return DoppioClic::ModificaImmagine;
        case TipoOggetto::Testo:
        case TipoOggetto::Barcode:
            return DoppioClic::ModificaTesto;
        case TipoOggetto::Linea:
        case TipoOggetto::Ellisse:
            return DoppioClic::ProprietaForma;
        default:
            return DoppioClic::Nessuno;
    }
}

QRect EditorSuperficie::RettangoloBanda() const
{
    return QRect(DragRect.Left, DragRect.Top, DragRect.Right - DragRect.Left, DragRect.Bottom - DragRect.Top);
}

QRectF EditorSuperficie::BandaSelezione() const
{
    return QRectF(inizioBanda_, fineBanda_).normalized();
}

QRect EditorSuperficie::bandaSchermo(const QRectF& cornice) const
{
    clsGrip g(*metrica_);
    g.Zoom = zoom_;
    g.SetRectToCtrl(cornice, finestra_.Contenitore());
    g.TwipsToScreen();
    return QRect(g.Left, g.Top, g.Right - g.Left, g.Bottom - g.Top);
}

QList<QRect> EditorSuperficie::bandeAttuali() const
{
    QList<QRect> r;
    auto metti = [&r](const QRect& b) {
        if (!r.contains(b)) r.append(b);  // one band over objects that lie on each other
    };
    if (DragState == 1 || DragState == 2 || DragState == 4) {
        metti(RettangoloBanda());
        for (const Trascinato& t : altri_) metti(bandaSchermo(t.cornice));
    } else if (DragState == 3 && !BandaSelezione().isEmpty()) {
        metti(bandaSchermo(BandaSelezione()));
    }
    return r;
}

void EditorSuperficie::mostraBande(const QList<QRect>& nuove)
{
    for (const QRect& b : bande_) finestra_.DrawDragRect(b);
    for (const QRect& b : nuove) finestra_.DrawDragRect(b);
    bande_ = nuove;
}

void EditorSuperficie::catturaMouse()
{
    if (catturato_) finestra_.CatturaMouse(false);
    catturato_ = true;
    finestra_.CatturaMouse(true);
}

void EditorSuperficie::liberaMouse()
{
    if (!catturato_) return;
    catturato_ = false;
    finestra_.CatturaMouse(false);
}

QPointF EstremoVincolato(QPointF fissa, QPointF p)
{
    const QPointF d = p - fissa;
    const double ax = std::abs(d.x()), ay = std::abs(d.y());
    // tan 22.5 degrees: the half-way between a side and the diagonal
    constexpr double kMezzoOttante = 0.41421356237;
    if (ay <= ax * kMezzoOttante) return {p.x(), fissa.y()};
    if (ax <= ay * kMezzoOttante) return {fissa.x(), p.y()};
    const double lato = std::max(ax, ay);
    return fissa + QPointF(std::copysign(lato, d.x()), std::copysign(lato, d.y()));
}

// ---- keys ----

bool EditorSuperficie::Tasto(int tasto, Qt::KeyboardModifiers modificatori)
{
    if (tasto == Qt::Key_Escape) return AnnullaTrascinamento();
    if (tasto == Qt::Key_Tab || tasto == Qt::Key_Backtab) {
        if (DragState == 0) SelezionaSuccessivo(tasto == Qt::Key_Backtab || (modificatori & Qt::ShiftModifier));
        return true;
    }
    double dx = 0, dy = 0;
    switch (tasto) {
        case Qt::Key_Left:
            dx = -1;
            break;
        case Qt::Key_Right:
            dx = 1;
            break;
        case Qt::Key_Up:
            dy = -1;
            break;
        case Qt::Key_Down:
            dy = 1;
            break;
        default:
            return false;
    }
    if (Selezione().empty()) return false;
    if (DragState != 0) return true;
    const double passo =
        (modificatori & Qt::ShiftModifier) ? PassoShift : (Snap ? Superficie::PassoGriglia : PassoFine);
    if (modificatori & Qt::ControlModifier)
        Ridimensiona(dx * passo, dy * passo);
    else
        Sposta(dx * passo, dy * passo);
    return true;
}

void EditorSuperficie::Sposta(double dx, double dy)
{
    const OggettoEtichetta* ancora = CurrentObject();
    if (!ancora) return;
    // With snap the last selected lands on whole millimetres; the others keep their places to it.
    double x = ancora->Left, y = ancora->Top;
    if (dx != 0) x = Snap ? modCartigo::SnapX(x + dx, 1) : x + dx;
    if (dy != 0) y = Snap ? modCartigo::SnapY(y + dy, 1) : y + dy;
    const double ddx = float(x) - ancora->Left, ddy = float(y) - ancora->Top;
    if (ddx == 0 && ddy == 0) return;
    std::vector<ModificaCornici::Voce> voci;
    for (const OggettoEtichetta* o : Selezione()) {
        Cornice c = Cornice::Di(*o);
        c.Left = o == ancora ? float(x) : float(o->Left + ddx);
        c.Top = o == ancora ? float(y) : float(o->Top + ddy);
        voci.push_back({o->id, Cornice::Di(*o), c});
    }
    doc_.Esegui(new ComandoSposta(doc_, std::move(voci), true));
    ShowHandles(true);
}

void EditorSuperficie::Ridimensiona(double dx, double dy)
{
    std::vector<ModificaCornici::Voce> voci;
    for (const OggettoEtichetta* o : Selezione()) {
        Cornice c = Cornice::Di(*o);
        if (dx != 0) {
            const double destra = double(o->Left) + o->Width + dx;
            c.Width = float(std::max(0.0, (Snap ? modCartigo::SnapX(destra, 1) : destra) - o->Left));
        }
        if (dy != 0) {
            const double basso = double(o->Top) + o->Height + dy;
            c.Height = float(std::max(0.0, (Snap ? modCartigo::SnapY(basso, 1) : basso) - o->Top));
        }
        if (c != Cornice::Di(*o)) voci.push_back({o->id, Cornice::Di(*o), c});
    }
    if (voci.empty()) return;
    doc_.Esegui(new ComandoRidimensiona(doc_, std::move(voci), true));
    ShowHandles(true);
}

void EditorSuperficie::SelezionaSuccessivo(bool indietro)
{
    std::vector<OggettoEtichetta*> oggetti;
    for (OggettoEtichetta* o : doc_.Oggetti())
        if (o->Visible) oggetti.push_back(o);
    if (oggetti.empty()) return;
    if (doc_.Modo() != ModoInserimento::Nessuno) StrumentoSelezione();
    SelectMode = true;
    const auto n = std::ptrdiff_t(oggetti.size());
    const auto it = std::find(oggetti.begin(), oggetti.end(), CurrentObject());
    std::ptrdiff_t i = indietro ? n - 1 : 0;
    if (it != oggetti.end()) i = ((it - oggetti.begin()) + (indietro ? n - 1 : 1)) % n;
    ImpostaCurrentObject(oggetti[size_t(i)]);
    ShowHandles(true);
    if (oggetti[size_t(i)]->tipo == TipoOggetto::Testo) finestra_.ShowFontState(*oggetti[size_t(i)]);
}

// ---- history ----

void EditorSuperficie::Annulla()
{
    passoStoria(false);
}

void EditorSuperficie::Ripeti()
{
    passoStoria(true);
}

void EditorSuperficie::passoStoria(bool avanti)
{
    AnnullaTrascinamento();
    QUndoStack& s = doc_.Storia();
    if (!(avanti ? s.canRedo() : s.canUndo())) return;
    const QUndoCommand* passo = s.command(avanti ? s.index() : s.index() - 1);
    if (avanti)
        s.redo();
    else
        s.undo();
    selezionaDopoStoria(passo);
}

void EditorSuperficie::selezionaDopoStoria(const QUndoCommand* passo)
{
    std::vector<OggettoEtichetta*> toccati;
    if (const auto* m = dynamic_cast<const ModificaEtichetta*>(passo)) {
        for (quint64 id : m->Oggetti())
            if (OggettoEtichetta* o = doc_.TrovaId(id)) toccati.push_back(o);
    }
    if (!toccati.empty()) {
        if (doc_.Modo() != ModoInserimento::Nessuno) StrumentoSelezione();
        SelectMode = true;
        ImpostaSelezione(toccati);
    }
    ShowHandles(true);
}

}  // namespace cartigo
