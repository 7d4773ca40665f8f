#include "stampora/VistaAnteprima.h"

#include "stampora/RenderizzatorePagina.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <cmath>

namespace cartigo {

namespace {
constexpr int kBordo = 12;  // pixels around the pages
constexpr double kPassi[] = {10, 25, 50, 75, 100, 150, 200, 500, 1000, 2000, 4000};
// Pages drawn as dots kept for redrawing (two shown at most, and the ones around).
constexpr int kImmaginiPunti = 4;
}  // namespace

VistaAnteprima::VistaAnteprima(QWidget* parent) : QAbstractScrollArea(parent)
{
    setObjectName(QStringLiteral("vspAnteprima"));
    viewport()->setBackgroundRole(QPalette::Dark);
    viewport()->setAutoFillBackground(true);
}

void VistaAnteprima::ImpostaDocumento(std::shared_ptr<const DocumentoStampa> doc)
{
    doc_ = std::move(doc);
    immaginiPunti_.clear();
    pagina_ = PageCount() > 0 ? 1 : 0;
    applicaModo();
    viewport()->update();
}

int VistaAnteprima::PageCount() const
{
    return doc_ ? doc_->PagineFinite() : 0;
}

void VistaAnteprima::AggiornaPagine()
{
    const int n = PageCount();
    // Only a page newly shown needs drawing: the first one, or the second of two pages.
    const bool nuova = pagina_ == 0 || pagina_ > n || (modo_ == DuePagine && pagina_ + 1 >= n);
    if (pagina_ > n) pagina_ = n;
    if (pagina_ == 0 && n > 0) pagina_ = 1;
    if (nuova) {
        aggiornaBarre();
        viewport()->update();
    }
}

void VistaAnteprima::SetPreviewPage(int pagina)
{
    const int n = PageCount();
    pagina_ = n == 0 ? 0 : std::clamp(pagina, 1, n);
    aggiornaBarre();
    viewport()->update();
}

void VistaAnteprima::ImpostaPunti(double dpi)
{
    dpi = dpi > 0 && std::isfinite(dpi) ? dpi : 0;
    if (dpi == punti_) return;
    punti_ = dpi;
    immaginiPunti_.clear();
    if (zoom_ > ZoomMassimo()) zoom_ = ZoomMassimo();
    aggiornaBarre();
    viewport()->update();
}

QImage VistaAnteprima::ImmaginePunti(int pagina)
{
    if (!doc_ || punti_ <= 0 || pagina < 1 || pagina > PageCount()) return {};
    if (const auto it = immaginiPunti_.constFind(pagina); it != immaginiPunti_.constEnd()) return *it;
    if (immaginiPunti_.size() >= kImmaginiPunti) immaginiPunti_.clear();
    const QImage img = PaginaAPunti(*doc_, pagina - 1, punti_);
    immaginiPunti_.insert(pagina, img);
    return img;
}

void VistaAnteprima::SetZoom(double percento)
{
    if (!std::isfinite(percento)) return;
    modo_ = ZoomLibero;
    zoom_ = std::clamp(percento, kZoomMinimo, ZoomMassimo());
    aggiornaBarre();
    viewport()->update();
}

void VistaAnteprima::SetZoomMode(int modo)
{
    if (modo != DuePagine && modo != PaginaIntera && modo != Larghezza) return;
    modo_ = modo;
    applicaModo();
}

double VistaAnteprima::twipsPerPixel() const
{
    const double dpi = logicalDpiX();
    return dpi > 0 ? 1440.0 / dpi : 15.0;
}

QSizeF VistaAnteprima::pixelPagina() const
{
    if (!doc_) return {};
    const double k = zoom_ / 100.0 / twipsPerPixel();
    return {doc_->PageWidth() * k, doc_->PageHeight() * k};
}

void VistaAnteprima::applicaModo()
{
    if (doc_ && modo_ != ZoomLibero) {
        const double tpp = twipsPerPixel();
        const double pw = doc_->PageWidth() / tpp, ph = doc_->PageHeight() / tpp;
        const double vw = std::max(1, viewport()->width() - 2 * kBordo);
        const double vh = std::max(1, viewport()->height() - 2 * kBordo);
        double z = 100;
        if (modo_ == Larghezza)
            z = vw / pw * 100.0;
        else if (modo_ == PaginaIntera)
            z = std::min(vw / pw, vh / ph) * 100.0;
        else
            z = std::min((vw - kBordo) / (2 * pw), vh / ph) * 100.0;
        zoom_ = std::clamp(z, 1.0, ZoomMassimo());
    }
    aggiornaBarre();
    viewport()->update();
}

void VistaAnteprima::aggiornaBarre()
{
    const QSizeF p = pixelPagina();
    const int pagine = (modo_ == DuePagine && pagina_ < PageCount()) ? 2 : 1;
    // A page fitted to the window needs no scroll bar, whatever the rounding.
    const int w = static_cast<int>(std::floor(p.width() * pagine + (pagine - 1) * kBordo)) + 2 * kBordo - 1;
    const int h = static_cast<int>(std::floor(p.height())) + 2 * kBordo - 1;
    horizontalScrollBar()->setRange(0, std::max(0, w - viewport()->width()));
    horizontalScrollBar()->setPageStep(viewport()->width());
    verticalScrollBar()->setRange(0, std::max(0, h - viewport()->height()));
    verticalScrollBar()->setPageStep(viewport()->height());
}

void VistaAnteprima::resizeEvent(QResizeEvent* e)
{
    QAbstractScrollArea::resizeEvent(e);
    const double prima = zoom_;
    applicaModo();
    if (zoom_ != prima) emit anteprimaCambiata();
}

void VistaAnteprima::paintEvent(QPaintEvent*)
{
    if (!doc_ || pagina_ < 1 || pagina_ > PageCount()) return;
    QPainter p(viewport());
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const QSizeF dim = pixelPagina();
    const int pagine = (modo_ == DuePagine && pagina_ < PageCount()) ? 2 : 1;
    const double larghezzaTotale = dim.width() * pagine + (pagine - 1) * kBordo;
    double x0 = kBordo - horizontalScrollBar()->value();
    if (larghezzaTotale + 2 * kBordo < viewport()->width()) x0 = (viewport()->width() - larghezzaTotale) / 2;
    double y0 = kBordo - verticalScrollBar()->value();
    if (dim.height() + 2 * kBordo < viewport()->height()) y0 = (viewport()->height() - dim.height()) / 2;
    const double k = zoom_ / 100.0 / twipsPerPixel();
    for (int i = 0; i < pagine; ++i) {
        const QRectF foglio(x0 + i * (dim.width() + kBordo), y0, dim.width(), dim.height());
        p.fillRect(foglio.translated(3, 3), QColor(0, 0, 0, 90));
        p.fillRect(foglio, Qt::white);
        p.save();
        p.setClipRect(foglio);
        if (punti_ > 0) {
            // The printer's dots: each one a square once it is bigger than a pixel.
            const QImage img = ImmaginePunti(pagina_ + i);
            const QRectF area(foglio.topLeft(), QSizeF(img.width(), img.height()) * (1440.0 / punti_) * k);
            p.setRenderHint(QPainter::SmoothPixmapTransform, 1440.0 / punti_ * k < 1);
            p.drawImage(area, img);
        } else {
            p.translate(foglio.topLeft());
            p.scale(k, k);
            DisegnaPagina(p, *doc_, pagina_ - 1 + i);
        }
        p.restore();
    }
}

void VistaAnteprima::mousePressEvent(QMouseEvent* e)
{
    if (!doc_) return;
    double nuovo = zoom_;
    if (e->button() == Qt::RightButton) {
        nuovo = ZoomMassimo();
        for (double s : kPassi)
            if (s > zoom_ + 0.01 && s <= ZoomMassimo()) {
                nuovo = s;
                break;
            }
    } else if (e->button() == Qt::LeftButton) {
        nuovo = kZoomMinimo;
        for (auto it = std::rbegin(kPassi); it != std::rend(kPassi); ++it)
            if (*it < zoom_ - 0.01) {
                nuovo = *it;
                break;
            }
    } else {
        return;
    }
    SetZoom(nuovo);
    emit zoomUtente();
    emit anteprimaCambiata();
}

}  // namespace cartigo
