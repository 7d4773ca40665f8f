#pragma once
// Generated barcode data for the whole-dot tests: many symbols of every linear kind, in
// boxes from 20 to 100 mm wide, laid on pages one under the other, and the bars and
// spaces a page image shows of each.

#include "barcode/SimboloBarcode.h"
#include "stampora/DocumentoStampa.h"

#include <QImage>
#include <QSet>
#include <QString>
#include <vector>

namespace cartigo::test {

// `n` data of kind `tipo`, each with a box width (mm) that holds the symbol at a module of
// at least a quarter of a millimetre (two dots at 203 dpi).
struct Campione {
    int tipo;
    QString dati;
    double larghezza;
    QString tag = {};  // the barcode's settings; empty: the kind with its line below
};
std::vector<Campione> Campioni(int tipo, int n);

// Draws the samples through the print engine on the pages of `stampante` (A4 without
// one), one under the other, from slightly different left edges (so boxes fall across the
// dot grid), with the engine's 4 mm shift; the document carries `dpi`.
std::shared_ptr<DocumentoStampa> PagineCampioni(const std::vector<Campione>& campioni, double dpi,
                                                const InfoStampante* stampante = nullptr);

// Reads the linear symbols of many 1-bit page images at once: horizontal scan lines only,
// every fourth row (the bars are far taller).
QSet<QString> LeggiLineari(const QStringList& immagini);

// What zbarimg would report for a symbol: its data as the scanner gives them back.
QString DatiLetti(const SimboloBarcode& s);
// The data of zbarimg's "TYPE:data" lines; a UPC-A, which it reports as an EAN-13 with a
// leading zero, also without that zero.
QSet<QString> DatiDaZbar(const QStringList& righe);

// The widths of the bars and spaces a 1-bit image (dark = black) shows across the middle of
// a linear symbol's bars, from its first bar to its last, in dots of `dpi`.
std::vector<int> Corse(const QImage& img, const SimboloBarcode& s, double dpi, double origineX = 0,
                       double origineY = 0);

// Empty when the runs are the symbol's elements on whole dots: every element a whole
// multiple of one narrow module (Code 39: narrow or wide at 2:1, or 2.5:1 under 0.508 mm),
// each bar `riduzione` dots narrower and each space as much wider, within `tolleranza`
// dots; otherwise what is wrong.
QString VerificaCorse(const std::vector<int>& corse, const SimboloBarcode& s, double dpi, int riduzione,
                      double tolleranza = 0);

}  // namespace cartigo::test
