#pragma once
// The preview part of the output: shows a page (or two) of the output document at a
// zoom percentage or fitted to the window, through the same renderer as printing.
// A right click enlarges, a left click reduces. It can show the pages as a printer of
// a given resolution prints them, dot by dot (PaginaAPunti), zoomable to single dots.

#include "stampora/DocumentoStampa.h"

#include <QAbstractScrollArea>
#include <QHash>
#include <QImage>
#include <memory>

namespace cartigo {

class VistaAnteprima : public QAbstractScrollArea {
    Q_OBJECT
public:
    enum ModoZoom { ZoomLibero = 0, DuePagine = 2, PaginaIntera = 3, Larghezza = 4 };

    explicit VistaAnteprima(QWidget* parent = nullptr);

    void ImpostaDocumento(std::shared_ptr<const DocumentoStampa> doc);
    const DocumentoStampa* Documento() const { return doc_.get(); }

    int PreviewPage() const { return pagina_; }  // from 1; 0 without pages
    void SetPreviewPage(int pagina);             // kept within the document
    int PageCount() const;                       // the finished pages
    // Takes in the pages finished since the document was set.
    void AggiornaPagine();

    double Zoom() const { return zoom_; }  // percent: 100 shows the page at its real size
    void SetZoom(double percento);         // kept within 10 and 500
    int ZoomMode() const { return modo_; }
    void SetZoomMode(int modo);  // 2 two pages, 3 whole page, 4 page width

    static constexpr double kZoomMinimo = 10;
    static constexpr double kZoomMassimo = 500;
    // Showing dots, far enough to see each one.
    static constexpr double kZoomMassimoPunti = 4000;
    double ZoomMassimo() const { return punti_ > 0 ? kZoomMassimoPunti : kZoomMassimo; }

    // The pages as a printer of `dpi` dots per inch prints them (1-bit, its dots), or as
    // drawn for the screen with 0.
    void ImpostaPunti(double dpi);
    double Punti() const { return punti_; }
    // The dots of page `pagina` (from 1) as shown, when they are.
    QImage ImmaginePunti(int pagina);

Q_SIGNALS:
    // The user changed the zoom with the mouse.
    void zoomUtente();
    // The zoom changed by itself or by the user: a mouse click, or a fitting mode
    // refitting the pages to a new window size. Not raised by SetZoom and SetZoomMode.
    void anteprimaCambiata();

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;

private:
    double twipsPerPixel() const;
    QSizeF pixelPagina() const;  // one page at the current zoom
    void applicaModo();
    void aggiornaBarre();

    std::shared_ptr<const DocumentoStampa> doc_;
    double punti_ = 0;
    QHash<int, QImage> immaginiPunti_;  // the last pages drawn as dots, by index
    int pagina_ = 0;
    double zoom_ = 100;
    int modo_ = PaginaIntera;
};

}  // namespace cartigo
