#pragma once
// The rubber-band rectangle of the designer and the millimetre snapping.
// The screen's twips per pixel and the conversions between screen pixels and the
// main window's client pixels come from the window (MetricaSchermo), so the
// geometry runs and is tested without one.
// Snapping works on the label: a snapped position is a whole number of
// millimetres from the label's top-left corner, wherever the window sits.

#include "label/Oggetto.h"

#include <QPoint>
#include <QPointF>
#include <QRectF>
#include <functional>

namespace cartigo {

struct MetricaSchermo {
    double TwipsPerPixelX = 15;
    double TwipsPerPixelY = 15;
    // Screen pixels to the main window's client pixels, and back.
    std::function<QPoint(QPoint)> ScreenToClient = [](QPoint p) { return p; };
    std::function<QPoint(QPoint)> ClientToScreen = [](QPoint p) { return p; };

    // The values in force for the program (set by the main window).
    static MetricaSchermo& corrente();
};

namespace modCartigo {
// Rounds `value` to a multiple of `step`: mode 0 down, 1 up, 2 to nearest with
// halves away from zero; a value already on the raster is returned unchanged.
double RoundToStep(double value, double step, int mode);
// Rounds a horizontal or vertical position on the design surface (twips) to the
// nearest multiple of `step` millimetres from the label's top-left corner.
double SnapX(double twips, double step);
double SnapY(double twips, double step);
// To nearest, halves to even, into a 32-bit integer.
qint32 CLng(double v);
}  // namespace modCartigo

class clsGrip {
public:
    explicit clsGrip(const MetricaSchermo& metrica = MetricaSchermo::corrente()) : metrica_(&metrica) {}

    qint32 Left = 0;
    qint32 Top = 0;
    qint32 Right = 0;   // exclusive in hit tests
    qint32 Bottom = 0;  // exclusive in hit tests
    // The surface's zoom: a window pixel holds TwipsPerPixel / Zoom window twips.
    double Zoom = 1;

    qint32 Width() const { return Right - Left; }
    qint32 Height() const { return Bottom - Top; }
    void SetWidth(qint32 w) { Right = Left + w; }
    void SetHeight(qint32 h) { Bottom = Top + h; }

    // The object's rectangle (or a frame in surface twips) in window twips;
    // `contenitore` is the surface's Left/Top inside the window (twips).
    void SetRectToCtrl(const OggettoEtichetta& ctrl, QPointF contenitore);
    void SetRectToCtrl(const QRectF& cornice, QPointF contenitore);
    // Window twips to screen pixels.
    void TwipsToScreen();
    void NormalizeRect();
    bool PtInRect(float x, float y) const;

private:
    const MetricaSchermo* metrica_;
};

}  // namespace cartigo
