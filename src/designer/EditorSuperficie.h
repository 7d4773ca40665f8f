#pragma once
// Editing on the design surface with the mouse and the keys: the tools, the selection
// (one object or several, the last selected carrying the grips), moving and sizing
// objects with the band and the eight grips, selecting with a band, the arrow keys,
// undo and redo. The state lives here and runs without a window; what it needs of the
// window (the bands on the screen, the grips, the mouse capture, the pointer, the font
// boxes) goes through FinestraDesigner. Every change it makes is one step of the
// document's history; the selection and the zoom are its own, never the document's.
//
// Coordinates: surface twips for clicks on the surface, screen pixels for the
// cursor and the band, window twips for the rectangle taken from an object
// (the surface's own top-left inside the window is Contenitore(); window twips are
// at the surface's zoom: a window pixel is TwipsPerPixel / zoom of them).

#include "designer/Superficie.h"
#include "designer/clsGrip.h"
#include "label/DocumentoEtichetta.h"

#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QRectF>
#include <array>
#include <optional>
#include <vector>

namespace cartigo {

// What the editor asks of the main window.
class FinestraDesigner {
public:
    virtual ~FinestraDesigner() = default;
    // The surface's top-left inside the window, in window twips (zero or negative
    // when it is scrolled).
    virtual QPointF Contenitore() const = 0;
    // Draws or erases (drawing the same rectangle twice) the band, in screen pixels.
    virtual void DrawDragRect(const QRect& schermo) = 0;
    // Shows the grips at these top-left corners (surface twips), or hides them.
    virtual void MostraManiglie(const std::optional<std::array<QPointF, 8>>& posizioni) = 0;
    // The frames (surface twips) of the other selected objects, drawn as a selection frame.
    virtual void MostraSelezione(const std::vector<QRectF>& cornici) = 0;
    // Takes all mouse input for the window, or gives it back.
    virtual void CatturaMouse(bool cattura) = 0;
    // The cross-hair pointer of the creation tools, or the default arrow.
    virtual void PuntatoreInserimento(bool croce) = 0;
    // Repaints the window at once.
    virtual void Ridisegna() = 0;
    // The font boxes show a text object's font.
    virtual void ShowFontState(const OggettoEtichetta& testo) = 0;
    // A new object has its frame (the mouse is free again); what the window gives it now
    // (the picture tool's file) is part of its creation step.
    virtual void OggettoDisegnato(OggettoEtichetta& nuovo) { (void)nuovo; }
};

// The end a line drawn from `fissa` towards `p` takes with Shift: the nearest of horizontal,
// vertical and 45 degrees (the diagonal as long as the longer side).
QPointF EstremoVincolato(QPointF fissa, QPointF p);

class EditorSuperficie {
public:
    EditorSuperficie(DocumentoEtichetta& doc, FinestraDesigner& finestra,
                     const MetricaSchermo& metrica = MetricaSchermo::corrente());

    // Default frames of objects placed by a click (twips).
    static constexpr float LarghezzaTesto = 1000, AltezzaTesto = 255;
    static constexpr float LarghezzaOggetto = 1935, AltezzaOggetto = 1035;
    // A creation tool: the kind of object it makes, its frame for a plain click (from the
    // click), and the least width and height of a frame drawn by a drag (twips; a line
    // may be flat).
    struct StrumentoCreazione {
        TipoOggetto tipo;
        QSizeF predefinita;
        double minimo = 0;
    };
    // The tool of a mode; none for ModoInserimento::Nessuno.
    static std::optional<StrumentoCreazione> Strumento(ModoInserimento modo);
    // How far (screen pixels, either way) the pointer goes before a press of a creation
    // tool draws instead of placing the default frame.
    static constexpr int SogliaDisegno = 3;
    // Side of a grip, pixels (at every zoom).
    static constexpr int LatoManiglia = 5;
    // What the arrow keys move or size by (twips): a grid step with snap on, else a tenth of a
    // millimetre; with Shift a millimetre.
    static constexpr double PassoFine = 5.67;
    static constexpr double PassoShift = 56.7;

    // --- state ---
    // The last selected object (the one with the grips), or none.
    OggettoEtichetta* CurrentObject() const;
    // Selects one object (none: nothing); no grips are drawn.
    void ImpostaCurrentObject(OggettoEtichetta* o);
    // The selected objects in the order they were selected; the last is CurrentObject().
    std::vector<OggettoEtichetta*> Selezione() const;
    void ImpostaSelezione(const std::vector<OggettoEtichetta*>& oggetti);
    bool Selezionato(const OggettoEtichetta* o) const;
    bool SelectMode = false;
    int DragState = 0;  // 0 idle, 1 moving, 2 sizing, 3 selecting with a band, 4 drawing a new object
    int DragHandle = 0;
    clsGrip DragRect;  // the band of the object dragged, screen pixels
    // Positions rounded to whole millimetres of the label while dragging and placing.
    bool Snap = true;

    // The surface's zoom (1 is 100 %): twips per pixel are the screen's divided by it.
    double Zoom() const { return zoom_; }
    void ImpostaZoom(double zoom);

    // --- tools ---
    // Ends the creation tools and the selection, then arms `modo` (or none).
    void ImpostaModoInserimento(ModoInserimento modo);
    // The selection tool: no creation tool, selection on.
    void StrumentoSelezione();
    void ClearSelection();
    // Every object, the selection tool on.
    void SelezionaTutto();

    // --- mouse ---
    // A button pressed on the surface at `twips`, the cursor at `cursore` (screen pixels):
    // a grip takes it first, then the text, barcode or picture object on top under the
    // point (these take their own clicks), else the surface. With a creation tool the
    // press makes its object: a drag draws its frame from the press to the release (on
    // whole millimetres with snap on), a click places the tool's default frame there. With Shift or Ctrl a click
    // adds the object to the selection, or takes it out. With no tool armed the selection
    // tool comes back by itself: a click on an object always selects it.
    void MouseDown(Qt::MouseButton pulsante, QPointF twips, QPoint cursore, Qt::KeyboardModifiers tasti = {});
    void PicBox_MouseDown(Qt::MouseButton pulsante, double x, double y, QPoint cursore,
                          Qt::KeyboardModifiers tasti = {});
    void Oggetto_MouseDown(OggettoEtichetta* oggetto, Qt::MouseButton pulsante, QPoint cursore,
                           Qt::KeyboardModifiers tasti = {});
    void picHandle_MouseDown(int indice, QPoint cursore);
    // `tasti`: the keys held, when known (Shift keeps a line drawn or its end dragged to
    // horizontal, vertical or 45 degrees, and an ellipse to a circle); else those of the press.
    void Form_MouseMove(QPoint cursore, std::optional<Qt::KeyboardModifiers> tasti = std::nullopt);
    // Ends a drag: the objects take their bands' frames (one step). Bands that did not move
    // leave the objects as they were. True when a frame changed. A line or an ellipse drawn
    // with a tool is placed here, from the press to the release.
    bool Form_MouseUp(Qt::MouseButton pulsante, std::optional<Qt::KeyboardModifiers> tasti = std::nullopt);
    // Escape: a drag ends with the objects where they were (a placed object stays at its click).
    bool AnnullaTrascinamento();
    void DragBegin(OggettoEtichetta* oggetto, QPoint cursore);
    void ShowHandles(bool mostra);

    // --- keys ---
    // The arrow keys move the selection (with Ctrl they size it), Tab and Shift+Tab step
    // through the objects in creation order, Escape ends a drag. False for any other key.
    bool Tasto(int tasto, Qt::KeyboardModifiers modificatori);
    // Moves (sizes) the selection by (dx, dy) twips as the keys do; consecutive calls on the
    // same objects are one step.
    void Sposta(double dx, double dy);
    void Ridimensiona(double dx, double dy);
    // The next (previous) object in creation order after the last selected, alone.
    void SelezionaSuccessivo(bool indietro);

    // --- history ---
    // Undo and redo the last step; the objects it touched become the selection.
    void Annulla();
    void Ripeti();

    // The grip under a point of the surface (twips), or -1 when none is shown there.
    int ManigliaNelPunto(QPointF twips) const;
    const std::optional<std::array<QPointF, 8>>& Maniglie() const { return maniglie_; }

    // What a double-click at a point of the surface opens: the editor of the object under
    // the pointer, which becomes the selection (the selection tool on).
    enum class DoppioClic { Nessuno, ModificaTesto, ModificaImmagine, Collega, ProprietaForma };
    DoppioClic DblClick(QPointF twips);

    // The band now drawn for the object dragged (screen pixels, edges as in DragRect).
    QRect RettangoloBanda() const;
    // The frame the object takes when the drag ends (surface twips; while sizing
    // it may be inside out).
    const QRectF& CorniceTrascinata() const { return cornice_; }
    // The band of a selection with the band (surface twips, normalised).
    QRectF BandaSelezione() const;

private:
    ScalaSuperficie scala() const { return {metrica_->TwipsPerPixelX / zoom_, metrica_->TwipsPerPixelY / zoom_}; }
    void iniziaTrascinamento(const OggettoEtichetta& o, QPoint cursore);
    // A creation tool's press made `nuovo` at `origine` (surface twips): its frame follows
    // the drag.
    void iniziaDisegno(OggettoEtichetta& nuovo, QPointF origine, double minimo, QPoint cursore);
    // The frames for the cursor at `p`, and the bands over them.
    void seguiCursore(QPoint p);
    QRect bandaSchermo(const QRectF& cornice) const;
    // The bands to show now (screen pixels, each once).
    QList<QRect> bandeAttuali() const;
    // Erases the bands shown and draws `nuove`.
    void mostraBande(const QList<QRect>& nuove);
    void catturaMouse();
    void liberaMouse();
    // The object placed by the last press gets its step (its frame as it is).
    void registraCreazione();
    // Undo (redo) one step; the objects it touched become the selection.
    void passoStoria(bool avanti);
    void selezionaDopoStoria(const QUndoCommand* passo);
    void aggiungi(OggettoEtichetta* o);
    void togli(const OggettoEtichetta* o);

    DocumentoEtichetta& doc_;
    FinestraDesigner& finestra_;
    const MetricaSchermo* metrica_;
    double zoom_ = 1;
    std::vector<quint64> selezione_;  // ids, in selection order
    quint64 premuto_ = 0;             // object that took the last press, for its click
    quint64 creato_ = 0;              // object placed by the last press, its step still to make
    quint64 soloQuesto_ = 0;          // a plain press on one of several selected: alone if it does not move
    quint64 trascinato_ = 0;          // the object under the cursor in a drag
    QPointF origineDisegno_;  // where a drawing drag began (surface twips)
    double minimoDisegno_ = 0;
    QRectF inizio_;         // the dragged object's frame when the drag began (surface twips)
    QRectF cornice_;        // the frame it takes on the release
    struct Trascinato {
        quint64 id = 0;
        QRectF inizio;
        QRectF cornice;
    };
    std::vector<Trascinato> altri_;    // the other selected objects moving with it
    QPointF inizioBanda_, fineBanda_;  // a selection band (surface twips)
    bool aggiungiBanda_ = false;       // Shift or Ctrl held: the band adds to the selection
    QPoint cursoreInizio_;  // the cursor at the press (screen pixels)
    QPoint ultimoCursore_;  // the cursor at the last move
    Qt::KeyboardModifiers tasti_;  // the keys held at the last press or move
    std::optional<std::array<QPointF, 8>> maniglie_;
    bool catturato_ = false;
    QList<QRect> bande_;  // bands drawn and not yet erased
};

}  // namespace cartigo
