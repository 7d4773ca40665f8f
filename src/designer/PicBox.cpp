#include "designer/PicBox.h"

#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

namespace cartigo {

namespace {
ScalaSuperficie scalaSchermo(const QWidget* w)
{
    const double dx = w->logicalDpiX() > 0 ? w->logicalDpiX() : 96;
    const double dy = w->logicalDpiY() > 0 ? w->logicalDpiY() : 96;
    return {1440.0 / dx, 1440.0 / dy};
}
}  // namespace

PicBox::PicBox(DocumentoEtichetta& doc, QWidget* parent) : QWidget(parent), doc_(doc)
{
    setObjectName(QStringLiteral("PicBox"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    schermo_ = scalaSchermo(this);
    ImpostaScala(schermo_);
    connect(&doc_, &DocumentoEtichetta::layoutCambiato, this, &PicBox::RedrawSurface);
    connect(&doc_, &DocumentoEtichetta::oggettiCambiati, this, qOverload<>(&QWidget::update));
    connect(&doc_, &DocumentoEtichetta::oggettoCambiato, this, qOverload<>(&QWidget::update));
    connect(&doc_, &DocumentoEtichetta::variabiliCambiate, this, qOverload<>(&QWidget::update));
}

void PicBox::ImpostaScala(const ScalaSuperficie& scala)
{
    scala_ = scala;
    setFixedSize(Superficie::DimensioniPixel(scala_));
    RedrawSurface();
}

void PicBox::ImpostaZoom(double zoom)
{
    zoom_ = zoom;
    ImpostaScala({schermo_.x / zoom, schermo_.y / zoom});
}

void PicBox::RedrawSurface()
{
    // Painted again for the part in view at the next paint (a zoomed surface is far larger
    // than any window).
    zonaSfondo_ = QRect();
    update();
}

void PicBox::ImpostaManiglie(const std::optional<std::array<QPointF, 8>>& posizioni)
{
    maniglie_ = posizioni;
    update();
}

void PicBox::ImpostaSelezione(const std::vector<QRectF>& cornici)
{
    selezione_ = cornici;
    update();
}

void PicBox::paintEvent(QPaintEvent* e)
{
    if (!zonaSfondo_.contains(e->rect())) {
        zonaSfondo_ = visibleRegion().boundingRect().united(e->rect()).intersected(rect());
        sfondo_ = QImage(zonaSfondo_.size(), QImage::Format_RGB32);
        QPainter s(&sfondo_);
        s.translate(-zonaSfondo_.topLeft());
        Superficie::PaintSurface(s, doc_.Layout(), griglia_, scala_, zonaSfondo_);
    }
    QPainter p(this);
    p.setClipRegion(e->region());
    p.drawImage(zonaSfondo_.topLeft(), sfondo_);
    Superficie::DisegnaOggetti(p, doc_, scala_);
    if (!selezione_.empty()) {
        p.save();
        p.setPen(QPen(Qt::black, 1, Qt::DashLine));
        p.setBrush(Qt::NoBrush);
        for (const QRectF& c : selezione_) {
            const QRectF px = scala_.inPixel(c);
            p.drawRect(QRect(QPoint(int(std::lround(px.left())), int(std::lround(px.top()))),
                             QPoint(int(std::lround(px.right())) - 1, int(std::lround(px.bottom())) - 1)));
        }
        p.restore();
    }
    if (maniglie_) {
        for (const QPointF& m : *maniglie_) {
            const QPointF px = scala_.inPixel(m);
            p.fillRect(QRect(int(std::lround(px.x())), int(std::lround(px.y())), LatoManiglia, LatoManiglia),
                       Qt::black);
        }
    }
}

void PicBox::mousePressEvent(QMouseEvent* e)
{
    Q_EMIT MouseDown(e->button(), e->modifiers(), PixelATwips(e->position()));
}

void PicBox::mouseMoveEvent(QMouseEvent* e)
{
    Q_EMIT MouseMove(e->buttons(), e->modifiers(), PixelATwips(e->position()));
}

void PicBox::mouseReleaseEvent(QMouseEvent* e)
{
    Q_EMIT MouseUp(e->button(), e->modifiers(), PixelATwips(e->position()));
}

void PicBox::mouseDoubleClickEvent(QMouseEvent* e)
{
    Q_EMIT DblClick(e->button(), PixelATwips(e->position()));
}

bool PicBox::focusNextPrevChild(bool avanti)
{
    Q_EMIT Tasto(avanti ? Qt::Key_Tab : Qt::Key_Backtab, QGuiApplication::keyboardModifiers());
    return true;
}

// ---- Righello ----

namespace {
QFont carattereRighello()
{
    // A fixed size in pixels: the numbers read the same at every zoom.
    QFont f;
    f.setPixelSize(10);
    return f;
}
}  // namespace

Righello::Righello(Qt::Orientation verso, const PicBox* box, QWidget* parent)
    : QWidget(parent), verso_(verso), box_(box), pollici_(Superficie::MisuraInPollici())
{
    setObjectName(verso == Qt::Horizontal ? QStringLiteral("RighelloOrizzontale") : QStringLiteral("RighelloVerticale"));
    setFont(carattereRighello());
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void Righello::ImpostaPollici(bool pollici)
{
    pollici_ = pollici;
    update();
}

int Righello::Spessore() const
{
    return QFontMetrics(font()).height() + 8;
}

std::vector<Righello::Tacca> Righello::Tacche() const
{
    std::vector<Tacca> r;
    const bool orizzontale = verso_ == Qt::Horizontal;
    const double scala = orizzontale ? box_->Scala().x : box_->Scala().y;
    // The label's corner in this ruler's pixels.
    const QPoint angolo = box_->mapTo(parentWidget(), QPoint(0, 0)) - pos();
    const double zero = (orizzontale ? angolo.x() + Superficie::OrigineX / scala : angolo.y() + Superficie::OrigineY / scala);
    const int lunghezza = orizzontale ? width() : height();
    for (const Superficie::TaccaRighello& t :
         Superficie::TaccheRighello(-zero * scala, (lunghezza - zero) * scala, scala, pollici_))
        r.push_back({int(std::lround(zero + t.posizione / scala)), t});
    return r;
}

void Righello::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Base));
    const bool orizzontale = verso_ == Qt::Horizontal;
    const int s = Spessore();
    p.setPen(palette().color(QPalette::Mid));
    if (orizzontale)
        p.drawLine(0, height() - 1, width(), height() - 1);
    else
        p.drawLine(width() - 1, 0, width() - 1, height());
    p.setPen(palette().color(QPalette::Text));
    const int ascesa = p.fontMetrics().ascent();
    for (const Tacca& t : Tacche()) {
        const int l = t.tacca.livello == 2 ? s - 4 : t.tacca.livello == 1 ? s / 2 : s / 4;
        if (orizzontale) {
            p.drawLine(t.pixel, height() - l, t.pixel, height() - 1);
            if (!t.tacca.numero.isEmpty()) p.drawText(t.pixel + 2, 1 + ascesa, t.tacca.numero);
        } else {
            p.drawLine(width() - l, t.pixel, width() - 1, t.pixel);
            if (!t.tacca.numero.isEmpty()) p.drawText(1, t.pixel + 1 + ascesa, t.tacca.numero);
        }
    }
}

// ---- AreaDisegno ----

AreaDisegno::AreaDisegno(DocumentoEtichetta& doc, QWidget* parent)
    : QWidget(parent),
      picBox_(new PicBox(doc, this)),
      hscroll_(new QScrollBar(Qt::Horizontal, this)),
      vscroll_(new QScrollBar(Qt::Vertical, this)),
      righelloH_(new Righello(Qt::Horizontal, picBox_, this)),
      righelloV_(new Righello(Qt::Vertical, picBox_, this))
{
    setObjectName(QStringLiteral("PicBoxArea"));
    hscroll_->setObjectName(QStringLiteral("HScroll"));
    vscroll_->setObjectName(QStringLiteral("VScroll"));
    setAutoFillBackground(true);
    for (QScrollBar* s : {hscroll_, vscroll_}) {
        s->setSingleStep(Superficie::PassoFreccia);
        s->setPageStep(Superficie::PassoPagina);
        s->setTracking(false);  // the surface moves when the thumb is released
        s->raise();
        connect(s, &QScrollBar::valueChanged, this, &AreaDisegno::LayoutDesigner);
    }
}

void AreaDisegno::LayoutDesigner()
{
    if (inLayout_) return;
    inLayout_ = true;
    // The scroll bars keep their size at every zoom; the values and maxima are surface twips
    // and the surface moves by them at its zoom.
    const ScalaSuperficie& sc = picBox_->Scala();
    const ScalaSuperficie& sc0 = picBox_->ScalaSchermo();
    // The window's client area (below the menu bar), the toolbars above this area
    // and the status bar below it.
    QWidget* finestra = window();
    int menu = 0, sb = 0;
    if (auto* mw = qobject_cast<QMainWindow*>(finestra)) {
        if (mw->menuWidget() && mw->menuWidget()->isVisible()) menu = mw->menuWidget()->height();
        if (mw->statusBar() && mw->statusBar()->isVisible()) sb = mw->statusBar()->height();
    }
    const int sopra = finestra == this ? 0 : mapTo(finestra, QPoint(0, 0)).y() - menu;
    // The area's right edge: the window's, or a panel's beside it.
    const int larghezza = finestra == this ? width() : mapTo(finestra, QPoint(width(), 0)).x();
    const int altezza = finestra == this ? height() : finestra->height() - menu;

    auto ingresso = [&](const ScalaSuperficie& s) {
        Superficie::IngressoLayout in;
        in.larghezzaInterna = larghezza * s.x;
        in.altezzaInterna = altezza * s.y;
        in.toolbar = sopra * s.y;
        in.statusBar = sb * s.y;
        in.valoreH = hscroll_->value();
        in.valoreV = vscroll_->value();
        return in;
    };
    const auto barre = Superficie::LayoutDesigner(ingresso(sc0));
    Superficie::IngressoLayout in = ingresso(sc);
    const auto esito = Superficie::LayoutDesigner(in);

    auto rettangolo = [&](const QRectF& tw) {
        const QRectF px = sc0.inPixel(tw);
        return QRect(int(std::lround(px.x())), int(std::lround(px.y())) - sopra,
                     std::max(0, int(std::lround(px.width()))), std::max(0, int(std::lround(px.height()))));
    };
    hscroll_->setGeometry(rettangolo(barre.hscroll));
    vscroll_->setGeometry(rettangolo(barre.vscroll));
    if (esito.massimoH) hscroll_->setMaximum(*esito.massimoH);
    if (esito.massimoV) vscroll_->setMaximum(*esito.massimoV);
    // The maxima may have moved the values.
    in.valoreH = hscroll_->value();
    in.valoreV = vscroll_->value();
    const QPointF pos = sc.inPixel(Superficie::LayoutDesigner(in).picBox);
    picBox_->move(int(std::lround(pos.x())), int(std::lround(pos.y())));
    // The rulers over the view's top and left edges, whatever the scroll.
    const QSize vista = Vista();
    const int spessore = righelloH_->Spessore();
    righelloH_->setGeometry(0, 0, vista.width(), spessore);
    righelloV_->setGeometry(0, spessore, spessore, std::max(0, vista.height() - spessore));
    righelloH_->raise();
    righelloV_->raise();
    righelloH_->update();
    righelloV_->update();
    inLayout_ = false;
}

void AreaDisegno::ImpostaZoom(double zoom, QPoint perno)
{
    const QPointF punto = picBox_->Scala().inTwips(QPointF(perno - picBox_->pos()));
    picBox_->ImpostaZoom(zoom);
    // The arrows and the page move the surface as far on the screen at every zoom.
    for (QScrollBar* s : {hscroll_, vscroll_}) {
        s->setSingleStep(std::max(1, int(std::lround(Superficie::PassoFreccia / zoom))));
        s->setPageStep(std::max(1, int(std::lround(Superficie::PassoPagina / zoom))));
    }
    LayoutDesigner();  // the new maxima
    const QPointF valore = punto - picBox_->Scala().inTwips(QPointF(perno));
    const QSignalBlocker bh(hscroll_), bv(vscroll_);
    hscroll_->setValue(std::max(0, int(std::lround(valore.x()))));
    vscroll_->setValue(std::max(0, int(std::lround(valore.y()))));
    LayoutDesigner();
}

QSize AreaDisegno::Vista() const
{
    return QSize(std::max(0, vscroll_->geometry().left()), std::max(0, hscroll_->geometry().top()));
}

void AreaDisegno::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    LayoutDesigner();
}

void AreaDisegno::wheelEvent(QWheelEvent* e)
{
    if (e->modifiers() & Qt::ControlModifier) {
        Q_EMIT RotellaZoom(e->angleDelta().y(), mapFromGlobal(e->globalPosition().toPoint()));
        e->accept();
        return;
    }
    QScrollBar* s = (e->modifiers() & Qt::ShiftModifier) ? hscroll_ : vscroll_;
    QApplication::sendEvent(s, e);
}

}  // namespace cartigo
