#pragma once
// Mouse editing on the design surface: the tools, the selection, moving and sizing
// objects with the rubber band and the eight grips. The state lives here and runs
// without a window; what it needs of the window (the band on the screen, the grips,
// the mouse capture, the pointer, the font boxes) goes through FinestraDesigner.
//
// Coordinates: surface twips for clicks on the surface, screen pixels for the
// cursor and the band, window twips for the rectangle taken from an object
// (the surface's own top-left inside the window is Contenitore()).

#include "designer/Superficie.h"
#include "designer/clsGrip.h"
#include "label/DocumentoEtichetta.h"

#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QRectF>
#include <array>
#include <optional>

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
    // Takes all mouse input for the window, or gives it back.
    virtual void CatturaMouse(bool cattura) = 0;
    // The cross-hair pointer of the creation tools, or the default arrow.
    virtual void PuntatoreInserimento(bool croce) = 0;
    // Repaints the window at once.
    virtual void Ridisegna() = 0;
    // The font boxes show a text object's font.
    virtual void ShowFontState(const OggettoEtichetta& testo) = 0;
};

class EditorSuperficie {
public:
    EditorSuperficie(DocumentoEtichetta& doc, FinestraDesigner& finestra,
                     const MetricaSchermo& metrica = MetricaSchermo::corrente());

    // Default frames of objects placed by a click (twips).
    static constexpr float LarghezzaTesto = 1000, AltezzaTesto = 255;
    static constexpr float LarghezzaOggetto = 1935, AltezzaOggetto = 1035;
    // Side of a grip, pixels.
    static constexpr int LatoManiglia = 5;

    // --- state ---
    OggettoEtichetta* CurrentObject() const;
    void ImpostaCurrentObject(OggettoEtichetta* o) { corrente_ = o ? o->id : 0; }
    bool SelectMode = false;
    int DragState = 0;  // 0 idle, 1 moving, 2 sizing
    int DragHandle = 0;
    clsGrip DragRect;  // the band, screen pixels
    // Positions rounded to whole millimetres of the label while dragging and placing.
    bool Snap = true;

    // --- tools ---
    // Ends the creation tools and the selection, then arms `modo` (or none).
    void ImpostaModoInserimento(ModoInserimento modo);
    // The selection tool: no creation tool, selection on.
    void StrumentoSelezione();
    void ClearSelection();

    // --- mouse ---
    // A button pressed on the surface at `twips`, the cursor at `cursore` (screen pixels):
    // a grip takes it first, then the text, barcode or picture object on top under the
    // point (these take their own clicks), else the surface.
    void MouseDown(Qt::MouseButton pulsante, QPointF twips, QPoint cursore);
    void PicBox_MouseDown(Qt::MouseButton pulsante, double x, double y, QPoint cursore);
    void Oggetto_MouseDown(OggettoEtichetta* oggetto, Qt::MouseButton pulsante, QPoint cursore);
    void picHandle_MouseDown(int indice, QPoint cursore);
    void Form_MouseMove(QPoint cursore);
    // Ends a drag: the object takes the band's frame. A band that did not move
    // leaves the object as it was. True when the frame changed.
    bool Form_MouseUp(Qt::MouseButton pulsante);
    void DragBegin(OggettoEtichetta* oggetto, QPoint cursore);
    void ShowHandles(bool mostra);

    // The grip under a point of the surface (twips), or -1 when none is shown there.
    int ManigliaNelPunto(QPointF twips) const;
    const std::optional<std::array<QPointF, 8>>& Maniglie() const { return maniglie_; }

    // What a double-click at a point of the surface opens.
    enum class DoppioClic { Nessuno, ModificaTesto, ModificaImmagine, Collega };
    DoppioClic DblClick(QPointF twips) const;

    // The band now drawn (screen pixels, edges as in DragRect).
    QRect RettangoloBanda() const;
    // The frame the object takes when the drag ends (surface twips; while sizing
    // it may be inside out).
    const QRectF& CorniceTrascinata() const { return cornice_; }

private:
    ScalaSuperficie scala() const { return {metrica_->TwipsPerPixelX, metrica_->TwipsPerPixelY}; }
    void iniziaTrascinamento(const OggettoEtichetta& o, QPoint cursore);
    // The frame for the cursor at `p`, and the band over it.
    void seguiCursore(QPoint p);
    void disegnaBanda();
    void catturaMouse();

    DocumentoEtichetta& doc_;
    FinestraDesigner& finestra_;
    const MetricaSchermo* metrica_;
    quint64 corrente_ = 0;  // id of the selected object, 0 for none
    quint64 premuto_ = 0;   // object that took the last press, for its click
    QRectF inizio_;         // the dragged object's frame when the drag began (surface twips)
    QRectF cornice_;        // the frame it takes on the release
    QPoint cursoreInizio_;  // the cursor at the press (screen pixels)
    std::optional<std::array<QPointF, 8>> maniglie_;
    bool catturato_ = false;
    int bande_ = 0;  // bands drawn and not yet erased
};

}  // namespace cartigo
