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

namespace {
double snapDaOrigine(double twips, double origine, double step)
{
    const double mm = DocumentoEtichetta::TwipsPerMm;
    return origine + RoundToStep((twips - origine) / mm, step, 2) * mm;
}
}  // namespace

double SnapX(double twips, double step)
{
    return snapDaOrigine(twips, OrigineEtichettaX, step);
}
double SnapY(double twips, double step)
{
    return snapDaOrigine(twips, OrigineEtichettaY, step);
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
    SetRectToCtrl(QRectF(ctrl.Left, ctrl.Top, ctrl.Width, ctrl.Height), contenitore);
}

void clsGrip::SetRectToCtrl(const QRectF& cornice, QPointF contenitore)
{
    Left = CLng(cornice.left() + contenitore.x());
    Top = CLng(cornice.top() + contenitore.y());
    Right = CLng(Left + cornice.width());
    Bottom = CLng(Top + cornice.height());
}

void clsGrip::TwipsToScreen()
{
    const double tx = metrica_->TwipsPerPixelX / Zoom, ty = metrica_->TwipsPerPixelY / Zoom;
    const QPoint a = metrica_->ClientToScreen(QPoint(CLng(Left / tx), CLng(Top / ty)));
    Left = a.x();
    Top = a.y();
    const QPoint b = metrica_->ClientToScreen(QPoint(CLng(Right / tx), CLng(Bottom / ty)));
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
