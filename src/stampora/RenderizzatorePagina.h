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

}  // namespace cartigo
