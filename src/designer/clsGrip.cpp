#include "designer/clsGrip.h"

#include "label/DocumentoEtichetta.h"

#include <cmath>
#include <limits>
#include <utility>

namespace cartigo {

MetricaSchermo& MetricaSchermo::corrente()
{
    static MetricaSchermo m;
    return m;
}

namespace modCartigo {

double RoundToStep(double value, double step, int mode)
{
    const double q = value / step;
    if (!std::isfinite(q)) return value;  // a step of zero or an overflow leaves the value as it is
    if (q == std::floor(q)) return value;
    double r = q;
    switch (mode) {
        case 0:
            r = std::floor(q);
            break;
        case 1:
            r = std::floor(q) + 1;
            break;
        case 2:
            r = q < 0 ? -std::floor(-q + 0.5) : std::floor(q + 0.5);
            break;
        default:
            break;
    }
    return r * step;
}

double SnapX(double value, double step, double twipsPerPixelX)
{
    const double k = DocumentoEtichetta::TwipsPerMm / twipsPerPixelX;
    return RoundToStep(value / k, step, 2) * k;
}

double SnapY(double value, double step, double twipsPerPixelY)
{
    const double k = DocumentoEtichetta::TwipsPerMm / twipsPerPixelY;
    return RoundToStep(value / k, step, 2) * k;
}

double SnapX(double value, double step)
{
    return SnapX(value, step, MetricaSchermo::corrente().TwipsPerPixelX);
}
double SnapY(double value, double step)
{
    return SnapY(value, step, MetricaSchermo::corrente().TwipsPerPixelY);
}

qint32 CLng(double v)
{
    const double r = std::nearbyint(v);  // the default rounding mode: halves to even
    if (r >= double(std::numeric_limits<qint32>::max())) return std::numeric_limits<qint32>::max();
    if (r <= double(std::numeric_limits<qint32>::min())) return std::numeric_limits<qint32>::min();
    return qint32(r);
}

}  // namespace modCartigo

using modCartigo::CLng;

void clsGrip::SetRectToCtrl(const OggettoEtichetta& ctrl, QPointF contenitore)
{
    const double l = double(ctrl.Left) + contenitore.x();
    const double t = double(ctrl.Top) + contenitore.y();
    Left = CLng(l);
    Top = CLng(t);
    Right = CLng(Left + double(ctrl.Width));
    Bottom = CLng(Top + double(ctrl.Height));
}

void clsGrip::SetCtrlToRect(OggettoEtichetta& ctrl, QPointF contenitore, bool snap)
{
    NormalizeRect();
    if (snap) {
        ctrl.Left = float(modCartigo::SnapX(Left, 1, metrica_->TwipsPerPixelX) - contenitore.x());
        ctrl.Top = float(modCartigo::SnapY(Top, 1, metrica_->TwipsPerPixelY) - contenitore.y());
        ctrl.Width = float(modCartigo::SnapX(Width(), 1, metrica_->TwipsPerPixelX));
        ctrl.Height = float(modCartigo::SnapY(Height(), 1, metrica_->TwipsPerPixelY));
    } else {
        ctrl.Left = float(Left - contenitore.x());
        ctrl.Top = float(Top - contenitore.y());
        ctrl.Width = float(Width());
        ctrl.Height = float(Height());
    }
}

void clsGrip::ScreenToTwips()
{
    const QPoint a = metrica_->ScreenToClient(QPoint(Left, Top));
    Left = CLng(a.x() * metrica_->TwipsPerPixelX);
    Top = CLng(a.y() * metrica_->TwipsPerPixelY);
    const QPoint b = metrica_->ScreenToClient(QPoint(Right, Bottom));
    Right = CLng(b.x() * metrica_->TwipsPerPixelX);
    Bottom = CLng(b.y() * metrica_->TwipsPerPixelY);
}

void clsGrip::TwipsToScreen()
{
    const QPoint a =
        metrica_->ClientToScreen(QPoint(CLng(Left / metrica_->TwipsPerPixelX), CLng(Top / metrica_->TwipsPerPixelY)));
    Left = a.x();
    Top = a.y();
    const QPoint b = metrica_->ClientToScreen(
        QPoint(CLng(Right / metrica_->TwipsPerPixelX), CLng(Bottom / metrica_->TwipsPerPixelY)));
    Right = b.x();
    Bottom = b.y();
}

void clsGrip::NormalizeRect()
{
    if (Left > Right) std::swap(Left, Right);
    if (Top > Bottom) std::swap(Top, Bottom);
}

bool clsGrip::PtInRect(float x, float y) const
{
    return double(Left) <= double(x) && double(x) < double(Right) && double(Top) <= double(y) &&
           double(y) < double(Bottom);
}

}  // namespace cartigo
