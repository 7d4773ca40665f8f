#pragma once
// The one renderer of the output document: it draws a page's operations on any
// QPainter (preview widget, printer, PDF writer, image). Preview, printing, PDF and
// tests all go through it, so what is previewed is what prints.

#include "stampora/DocumentoStampa.h"

#include <QColor>
#include <QImage>
#include <QTransform>
#include <functional>

class QPainter;
class QPaintDevice;

namespace cartigo {

// A colour of the document (0x00BBGGRR) as a QColor.
QColor ColoreStampa(quint32 c);

// How much of an operation the renderer draws, for a device that draws some of them
// itself (a printer language): all of it, nothing, or of a symbol only its
// human-readable line.
enum class Resa : quint8 { Intera, Omessa, SoloTesto };
using SceltaResa = std::function<Resa(const Operazione&)>;

// Draws page `indice` (from 0) with the painter's unit being the twip and (0, 0) the
// paper's top-left corner. The painter's state is restored afterwards. Barcode symbols
// are laid out on whole dots of `dpi` (a printer's own resolution), or of the
// document's when `dpi` is negative; with none, as vectors. `scelta`, when given, says
// how much of each operation is drawn.
void DisegnaPagina(QPainter& p, const DocumentoStampa& doc, int indice, double dpi = -1,
                   const SceltaResa& scelta = {});

// Draws one symbol as DisegnaPagina does, bars in `colore`, without its text. A painter that
// turns the symbol by quarters keeps it on whole dots when `griglia` gives the page's own
// transform (whose dots are the device's).
void DisegnaSimbolo(QPainter& p, const SimboloBarcode& s, double dpi, int riduzione, const QColor& colore,
                    const QTransform* griglia = nullptr);

// Scales a painter on `device` so that one unit is one twip.
void ScalaTwips(QPainter& p, const QPaintDevice& device);

// Page `indice` as an image at `dpi` dots per inch on a white background.
QImage ImmaginePagina(const DocumentoStampa& doc, int indice, double dpi);

// A dot of a printer that prints dots or nothing (a thermal printer, ZPL) is dark when
// its colour's luminance (0.299 red + 0.587 green + 0.114 blue, each 0-255) is under
// this; white never is.
inline constexpr int kSogliaPuntoNero = 128;
bool PuntoNero(QRgb colore);

// The resolution a document's pages are shown at as dots: its printer's own, else the
// document's, else the 203 dpi of a ZPL printer that does not say its own.
double RisoluzionePunti(const DocumentoStampa& doc);

// The dots of a page at `dpi`: its width and height rounded up to whole dots.
QSize PuntiPagina(const DocumentoStampa& doc, double dpi);

// Page `indice` as a printer of `dpi` dots per inch prints it: drawn without smoothing,
// on whole dots for the symbols, each dot dark or not by PuntoNero. Of the area `zona`
// (in dots from the paper's corner; empty for the whole page), as a Format_Mono image
// with dark dots 1 and the colour table white, black. `scelta` says how much of each
// operation is drawn, as for DisegnaPagina. It is drawn a band at a time, so a large page
// at a high resolution holds no more than its 1-bit image and a band of colour.
QImage PaginaAPunti(const DocumentoStampa& doc, int indice, double dpi, QRect zona = {},
                    const SceltaResa& scelta = {});

}  // namespace cartigo
