#include "designer/BandaTrascinamento.h"

#include <QEvent>
#include <QPainter>

namespace cartigo {

BandaTrascinamento::BandaTrascinamento(QWidget* finestra) : QWidget(finestra)
{
    setObjectName(QStringLiteral("BandaTrascinamento"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setGeometry(finestra->rect());
    finestra->installEventFilter(this);
    hide();
}

void BandaTrascinamento::DrawDragRect(const QRect& schermo)
{
    if (disegnati_.contains(schermo))
        disegnati_.removeOne(schermo);
    else
        disegnati_.append(schermo);
    setGeometry(parentWidget()->rect());
    setVisible(!disegnati_.isEmpty());
    raise();
    update();
}

bool BandaTrascinamento::eventFilter(QObject* oggetto, QEvent* evento)
{
    if (oggetto == parentWidget() && evento->type() == QEvent::Resize) setGeometry(parentWidget()->rect());
    return false;
}

void BandaTrascinamento::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    for (const QRect& s : disegnati_) {
        // Edges in screen pixels, right and bottom exclusive; a 2-pixel pen.
        const QPoint a = mapFromGlobal(QPoint(s.left(), s.top()));
        const QPoint b = mapFromGlobal(QPoint(s.left() + s.width(), s.top() + s.height()));
        const QRect r = QRect(a, b - QPoint(1, 1)).normalized();
        const QColor bianco(255, 255, 255);
        p.fillRect(QRect(r.left(), r.top(), r.width(), 2), bianco);
        p.fillRect(QRect(r.left(), r.bottom() - 1, r.width(), 2), bianco);
        p.fillRect(QRect(r.left(), r.top() + 2, 2, std::max(0, r.height() - 4)), bianco);
        p.fillRect(QRect(r.right() - 1, r.top() + 2, 2, std::max(0, r.height() - 4)), bianco);
    }
}

}  // namespace cartigo
