#include "RenderBarcode.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QtMath>

namespace cartigo::test {

namespace {

QFont FontBarcode()
{
    QFont f(QString::fromLatin1(kFontBarcode));
    f.setPointSizeF(kPuntiFontBarcode);
    f.setBold(kGrassettoFontBarcode);
    return f;
}

QImage ImmagineVuota(int w, int h, double dpi)
{
    QImage img(std::max(w, 1), std::max(h, 1), QImage::Format_RGB32);
    img.setDotsPerMeterX(qRound(dpi / 0.0254));
    img.setDotsPerMeterY(qRound(dpi / 0.0254));
    img.fill(Qt::white);
    return img;
}

}  // namespace

MisuraTestoBarcode MisuraAdDpi(double dpi)
{
    return [dpi](const QString& testo) {
        const QImage img = ImmagineVuota(1, 1, dpi);
        const QFontMetricsF fm(FontBarcode(), &img);
        const double twipPerPx = 1440.0 / dpi;
        return QSizeF(fm.horizontalAdvance(testo) * twipPerPx, fm.height() * twipPerPx);
    };
}

QImage RenderBarcode(const DisegnoBarcode& d, const RiquadroBarcode& r, const OpzioniRender& o)
{
    const double pxPerTwip = o.dpi / 1440.0;
    const double origX = (r.x + r.offsetX - o.margineMm) * kTwipPerMmBarcode;
    const double origY = (r.y + r.offsetY - o.margineMm) * kTwipPerMmBarcode;
    const int w = qCeil((r.larghezza + 2 * o.margineMm) * kTwipPerMmBarcode * pxPerTwip);
    const int h = qCeil((r.altezza + 2 * o.margineMm) * kTwipPerMmBarcode * pxPerTwip);
    QImage img = ImmagineVuota(w, h, o.dpi);

    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    auto px = [&](double twX, double twY) { return QPointF((twX - origX) * pxPerTwip, (twY - origY) * pxPerTwip); };
    for (const RettangoloBarcode& rt : d.rettangoli) {
        const QRectF area(px(rt.x1, rt.y1), px(rt.x2, rt.y2));
        p.fillRect(area.normalized(), rt.colore);
        if (d.stilePenna == 0) {
            QPen penna(d.colorePenna);
            penna.setCosmetic(true);
            penna.setWidth(0);
            p.setPen(penna);
            p.setBrush(Qt::NoBrush);
            p.drawRect(area.normalized());
        }
    }
    if (d.conTesto) {
        p.setFont(FontBarcode());
        p.setPen(d.coloreTesto);
        const QFontMetricsF fm(p.font(), &img);
        p.drawText(px(d.testoX, d.testoY) + QPointF(0, fm.ascent()), d.testo);
    }
    p.end();
    return img;
}

bool ZbarDisponibile()
{
    return !QStandardPaths::findExecutable(QStringLiteral("zbarimg")).isEmpty();
}

std::optional<QStringList> LeggiConZbar(const QString& percorsoPng)
{
    return LeggiConZbar(QStringList{percorsoPng});
}

std::optional<QStringList> LeggiConZbar(const QStringList& percorsiPng, const QStringList& opzioni)
{
    if (!ZbarDisponibile()) return std::nullopt;
    QProcess zbar;
    zbar.start(QStringLiteral("zbarimg"), QStringList{QStringLiteral("-q")} + opzioni + percorsiPng);
    zbar.waitForFinished(300000);
    return QString::fromUtf8(zbar.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

}  // namespace cartigo::test
