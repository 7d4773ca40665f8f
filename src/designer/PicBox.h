#pragma once
// The design surface: a fixed-size widget showing the sheet, rulers and grid,
// with the label's objects painted over it from back to front, and the area of
// the main window that holds it with its two scroll bars.
// Objects are items of the document, not widgets: the surface paints them and
// reports the mouse in surface twips; hit tests are in Superficie.h.

#include "designer/Superficie.h"

#include <QImage>
#include <QWidget>
#include <array>
#include <optional>
#include <vector>

class QScrollBar;

namespace cartigo {

class PicBox : public QWidget {
    Q_OBJECT
public:
    explicit PicBox(DocumentoEtichetta& doc, QWidget* parent = nullptr);

    DocumentoEtichetta& Documento() { return doc_; }
    // Twips per pixel: the screen's (1440 / logical dpi) divided by the zoom, unless set.
    const ScalaSuperficie& Scala() const { return scala_; }
    void ImpostaScala(const ScalaSuperficie& scala);
    // The screen's twips per pixel, at 100 %.
    const ScalaSuperficie& ScalaSchermo() const { return schermo_; }
    double Zoom() const { return zoom_; }
    void ImpostaZoom(double zoom);

    bool Griglia() const { return griglia_; }
    // Takes effect with the next RedrawSurface.
    void ImpostaGriglia(bool griglia) { griglia_ = griglia; }

    // Paints the sheet, rulers and grid afresh and shows them.
    void RedrawSurface();

    // The eight grips at these top-left corners (surface twips), or none.
    void ImpostaManiglie(const std::optional<std::array<QPointF, 8>>& posizioni);
    const std::optional<std::array<QPointF, 8>>& Maniglie() const { return maniglie_; }
    // The frames of the other selected objects (surface twips), drawn dashed.
    void ImpostaSelezione(const std::vector<QRectF>& cornici);
    const std::vector<QRectF>& Selezione() const { return selezione_; }
    // Side of a grip in pixels.
    static constexpr int LatoManiglia = 5;

    QPointF PixelATwips(QPointF pixel) const { return scala_.inTwips(pixel); }

Q_SIGNALS:
    // Mouse events with the position in surface twips.
    void MouseDown(Qt::MouseButton pulsante, Qt::KeyboardModifiers tasti, QPointF twips);
    void MouseMove(Qt::MouseButtons pulsanti, Qt::KeyboardModifiers tasti, QPointF twips);
    void MouseUp(Qt::MouseButton pulsante, Qt::KeyboardModifiers tasti, QPointF twips);
    void DblClick(Qt::MouseButton pulsante, QPointF twips);
    // Tab (Qt::Key_Tab) and Shift+Tab (Qt::Key_Backtab) while the surface has the keyboard.
    void Tasto(int tasto, Qt::KeyboardModifiers tasti);

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    bool focusNextPrevChild(bool avanti) override;

private:
    DocumentoEtichetta& doc_;
    ScalaSuperficie scala_;
    ScalaSuperficie schermo_;
    double zoom_ = 1;
    bool griglia_ = false;
    QImage sfondo_;     // the sheet, rulers and grid of the part in view, kept between paints
    QRect zonaSfondo_;  // the part of the surface (pixels) that sfondo_ holds
    std::optional<std::array<QPointF, 8>> maniglie_;
    std::vector<QRectF> selezione_;
};

// A ruler along the top or the left edge of the design area: it stays there while the
// surface scrolls, counts from the label's top-left corner in millimetres (inches where the
// user's locale measures in them), and keeps its numbers' size at every zoom.
class Righello : public QWidget {
    Q_OBJECT
public:
    Righello(Qt::Orientation verso, const PicBox* box, QWidget* parent);
    Qt::Orientation Verso() const { return verso_; }
    bool Pollici() const { return pollici_; }
    void ImpostaPollici(bool pollici);
    // Its thickness, pixels.
    int Spessore() const;
    // The marks it shows now, with their places in its own pixels.
    struct Tacca {
        int pixel;
        Superficie::TaccaRighello tacca;
    };
    std::vector<Tacca> Tacche() const;

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    Qt::Orientation verso_;
    const PicBox* box_;
    bool pollici_;
};

// The main window's design area: the surface and the scroll bars that move it.
class AreaDisegno : public QWidget {
    Q_OBJECT
public:
    explicit AreaDisegno(DocumentoEtichetta& doc, QWidget* parent = nullptr);

    PicBox* picBox() const { return picBox_; }
    QScrollBar* HScroll() const { return hscroll_; }
    QScrollBar* VScroll() const { return vscroll_; }
    Righello* RighelloOrizzontale() const { return righelloH_; }
    Righello* RighelloVerticale() const { return righelloV_; }

    // Places the scroll bars and the surface.
    void LayoutDesigner();
    // Zooms the surface keeping the surface point under `perno` (this widget's pixels) in place.
    void ImpostaZoom(double zoom, QPoint perno);
    // The part of the area the surface shows through (without the scroll bars), pixels.
    QSize Vista() const;

Q_SIGNALS:
    // Ctrl and the wheel over the area: steps of the wheel (120 a notch) at `perno`.
    void RotellaZoom(int passi, QPoint perno);

protected:
    void resizeEvent(QResizeEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;

private:
    PicBox* picBox_;
    QScrollBar* hscroll_;
    QScrollBar* vscroll_;
    Righello* righelloH_;
    Righello* righelloV_;
    bool inLayout_ = false;
};

}  // namespace cartigo
