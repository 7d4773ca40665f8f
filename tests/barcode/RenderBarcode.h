#pragma once
// Paints a barcode layout on an image the way a page would show it, for the
// scanner tests: bars as filled, antialiased rectangles, outlined with a
// one-pixel pen when the layout asks for a solid pen, the text in the barcode font.

#include "barcode/DisegnoBarcode.h"

#include <QImage>
#include <QStringList>
#include <optional>

namespace cartigo::test {

// Measures texts in the barcode font at `dpi`, in twips.
MisuraTestoBarcode MisuraAdDpi(double dpi);

struct OpzioniRender {
    double dpi = 300;
    double margineMm = 6;  // white all around the box
};

// The box `r` (with its offsets) plus the margin, white, with the layout on it.
QImage RenderBarcode(const DisegnoBarcode& d, const RiquadroBarcode& r, const OpzioniRender& o = {});

// What zbarimg reads in the PNG file: one "TYPE:data" line per symbol.
// Nothing when zbarimg is not installed.
std::optional<QStringList> LeggiConZbar(const QString& percorsoPng);
// The same for many images at once (one zbarimg for all: its start-up is most of its
// time), with zbarimg's own options (such as "-Sx-density=0" for linear symbols alone).
std::optional<QStringList> LeggiConZbar(const QStringList& percorsiPng, const QStringList& opzioni = {});
bool ZbarDisponibile();

}  // namespace cartigo::test
