#pragma once
// What the design surface shows, without the widget: the sheet, its shadow, the
// rulers and the grid as a list of drawing elements in surface twips; how each
// label object is drawn; the placement of scroll bars and surface in the window;
// the objects under a point; where the eight grips go. The widget (PicBox) paints
// these with a QPainter and forwards the mouse.

#include "barcode/DisegnoBarcode.h"
#include "label/DocumentoEtichetta.h"
#include "label/ValoriEtichetta.h"

#include <QColor>
#include <QImage>
#include <QLineF>
#include <QPen>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <array>
#include <optional>
#include <vector>

class QPainter;

namespace cartigo {

// Twips per screen pixel of the surface.
struct ScalaSuperficie {
    double x = 15;
    double y = 15;
    QPointF inPixel(QPointF twips) const { return {twips.x() / x, twips.y() / y}; }
    QRectF inPixel(const QRectF& twips) const
    {
        return {twips.x() / x, twips.y() / y, twips.width() / x, twips.height() / y};
    }
    QPointF inTwips(QPointF pixel) const { return {pixel.x() * x, pixel.y() * y}; }
};

namespace Superficie {

// Fixed geometry, twips.
constexpr double OrigineX = 567;
constexpr double OrigineY = 1440;
constexpr double Millimetro = 56.7;
constexpr double Ombra = 73.71;
constexpr double PassoGriglia = 113.4;
constexpr double Larghezza = 19035;
constexpr double Altezza = 20000;
constexpr double SpessoreScrollBar = 285;
constexpr int PassoFreccia = 250;
constexpr int PassoPagina = 1200;
constexpr int PuntiGriglia = 161;  // per side

QColor ColoreSfondo();  // the surface around the sheet (button face)
QColor ColoreOmbra();   // 192, 192, 192

// One drawing element, surface twips.
struct Elemento {
    enum class Tipo { Riquadro, Contorno, Linea, Testo, Punto, Guida };
    Tipo tipo;
    QRectF rettangolo;  // Riquadro (filled and outlined in `colore`), Contorno; Guida: an
                        // ellipse's box, drawn dashed within the label
    QLineF linea;       // Linea
    QPointF punto;      // Testo (top-left of the text), Punto
    QString testo;
    QColor colore;
};

// The label's box and the two shadow strips for a layout.
QRectF RettangoloEtichetta(const LayoutEtichetta& layout);
QRectF OmbraSotto(const LayoutEtichetta& layout);
QRectF OmbraDestra(const LayoutEtichetta& layout);
QPointF PuntoGriglia(int i, int j);

// A mark of a ruler: its place (twips from the label's top-left corner, along the ruler),
// its length (0 short, 1 middle, 2 long) and, on the long ones, the number.
struct TaccaRighello {
    double posizione;
    int livello;
    QString numero;
};
// The marks between `da` and `a` (twips from the label's corner) at `twipsPerPixel`: in
// millimetres, or in inches when `pollici`. Numbers stand at least `spazioNumeri` pixels
// apart and marks at least 3, whatever the zoom.
std::vector<TaccaRighello> TaccheRighello(double da, double a, double twipsPerPixel, bool pollici,
                                          int spazioNumeri = 40);
// Whether the user's locale measures in inches.
bool MisuraInPollici();

// Everything the surface paints under the objects, in painting order.
std::vector<Elemento> ElementiSuperficie(const LayoutEtichetta& layout, bool griglia);

// The surface's size in pixels.
QSize DimensioniPixel(const ScalaSuperficie& scala);

// Clears `painter`'s device with the surface colour and paints the elements; with a `zona`
// (surface pixels) only that part, leaving out the elements outside it.
void PaintSurface(QPainter& painter, const LayoutEtichetta& layout, bool griglia, const ScalaSuperficie& scala,
                  const QRect& zona = {});

// The placeholder of pictures that are not loaded or come from a field.
const QImage& ImmagineSegnaposto();
// The picture a picture object shows.
const QImage& ImmagineOggetto(const OggettoEtichetta& o);
// Where a barcode's data come from, as the surface names it: "[Field]" for a linked
// object, its data as typed when they hold merge fields ("${Field}"); empty for data of
// its own.
QString CampoBarcode(const OggettoEtichetta& o);
// The symbol a barcode object shows, in surface twips: the one its data print, or,
// when its data come from the records, that of a sample value of its kind. Empty, with
// the reason when the kind refuses the data, when there is nothing to show.
// With `valori`, data that name the label's variables only show the symbol of the values
// the next print would use.
DisegnoBarcode DisegnoBarcodeOggetto(const OggettoEtichetta& o, RisolutoreValori* valori = nullptr);
// What a barcode box that shows no symbol says: its kind, and why (refused data, or
// no data at all).
QString AvvisoBarcode(const OggettoEtichetta& o, const DisegnoBarcode& d);
// The font a text object shows, sized for the scale.
QFont CarattereOggetto(const OggettoEtichetta& o, const ScalaSuperficie& scala);

// Draws one object in its frame; the painter works in surface pixels. With `valori`, the
// label's variables in a text or a barcode show the values the next print would use, in grey.
void DisegnaOggetto(QPainter& painter, const OggettoEtichetta& o, const ScalaSuperficie& scala,
                    RisolutoreValori* valori = nullptr);
// A line or an ellipse (as DisegnaOggetto draws them): its outline and fill.
void DisegnaForma(QPainter& painter, const OggettoEtichetta& o, const ScalaSuperficie& scala);
// The pen of an outline, `unitaPerMm` units of the painter to the millimetre.
QPen PennaContorno(const ContornoForma& c, double unitaPerMm);
// Draws the visible objects from back to front.
void DisegnaOggetti(QPainter& painter, const DocumentoEtichetta& doc, const ScalaSuperficie& scala);

// True when Left <= x < Left + Width and Top <= y < Top + Height (surface twips).
bool Contiene(const OggettoEtichetta& o, double x, double y);
// True when the point is within `PresaLinea` twips (or half the thickness) of a line's stroke.
constexpr double PresaLinea = 45;
bool SuLinea(const OggettoEtichetta& linea, double x, double y);
// The object that takes a click itself: the topmost visible text, barcode, picture or
// ellipse under the point, or line near it (rectangles take no clicks of their own), or none.
OggettoEtichetta* OggettoCliccato(const DocumentoEtichetta& doc, double x, double y);
// The click on the surface itself: the first visible object of the surface's
// list (creation order) under the point, or none.
OggettoEtichetta* PrimoOggettoNelPunto(const DocumentoEtichetta& doc, double x, double y);

// Top-left corners of the eight grips (surface twips) around `rettangolo`, given in
// window twips with the surface at `contenitore`; a grip is `lato` pixels square.
std::array<QPointF, 8> PosizioniManiglie(const QRectF& rettangolo, QPointF contenitore, int lato,
                                         const ScalaSuperficie& scala);

// Zoom of the surface (1 is 100 %): a view setting, never the label's.
constexpr double ZoomMinimo = 0.25;
constexpr double ZoomMassimo = 8;
double LimitaZoom(double zoom);
// The next zoom of the steps of Zoom in (Zoom out) after `zoom`.
double ZoomSuccessivo(double zoom, bool piu);
// The zoom at which the surface from its corner to the label's shadow, with a margin,
// fills `vista` (pixels at 100 %: `schermo`).
double ZoomAdattato(const LayoutEtichetta& layout, QSizeF vista, const ScalaSuperficie& schermo);
// The zoom a label opens at: 100 %, or the fitting zoom when at 100 % the label would not
// fit in `vista` or would fill less than half of it either way.
double ZoomIniziale(const LayoutEtichetta& layout, QSizeF vista, const ScalaSuperficie& schermo);

// Placement of the scroll bars and the surface (window twips).
struct IngressoLayout {
    double larghezzaInterna = 0;  // the window's client area
    double altezzaInterna = 0;
    double toolbar = 0;  // height of the two toolbars together
    double statusBar = 0;
    int valoreH = 0;  // the scroll bars' values
    int valoreV = 0;
};
struct EsitoLayout {
    QRectF hscroll;  // left, top, width, height
    QRectF vscroll;
    std::optional<int> massimoH;  // nothing: out of range, the old maximum stays
    std::optional<int> massimoV;
    QPointF picBox;  // the surface's top-left
};
EsitoLayout LayoutDesigner(const IngressoLayout& in);

}  // namespace Superficie
}  // namespace cartigo
