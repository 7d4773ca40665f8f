#pragma once
// The layout of a barcode on the printed page, worked out without a painter:
// the filled rectangles of the bars (or of the modules of a two-dimensional symbol)
// and the human-readable line, in twips on the page. The print engine replays a
// layout with its own drawing calls (pen, brush, rectangles, text at the current
// position), so what it draws can be checked here without any output; the design
// surface and the parameters dialog paint the same layout on the screen.

#include "barcode/ParametriBarcode.h"
#include "barcode/SimboloBarcode.h"

#include <QColor>
#include <QFont>
#include <QList>
#include <QSizeF>
#include <QString>
#include <functional>

class QPainter;

namespace cartigo {

// Twips per millimetre wherever the barcodes convert.
inline constexpr double kTwipPerMmBarcode = 56.7;

// The human-readable line's font and alignment; the engine sets these before
// measuring and drawing a barcode (and restores its own afterwards).
inline constexpr char kFontBarcode[] = "Arial";
inline constexpr double kPuntiFontBarcode = 8.0;
inline constexpr bool kGrassettoFontBarcode = false;
inline constexpr int kAllineamentoTestoBarcode = 0;

// Where the human-readable line goes. The numbers are those of a barcode
// object's settings (second character).
enum class PosizioneTestoBarcode { Sotto = 0, Sopra = 1, Nascosto = 2 };

// 1 above, 2 hidden, any other number below.
PosizioneTestoBarcode PosizioneTestoDaNumero(int valore);

// The box a barcode call receives: position and size in millimetres, and the
// engine's offsets, also taken as millimetres.
struct RiquadroBarcode {
    double x = 0;
    double y = 0;
    double larghezza = 0;
    double altezza = 0;
    double offsetX = 0;
    double offsetY = 0;
};

// Width and height in twips of a text written in the barcode font on the output.
using MisuraTestoBarcode = std::function<QSizeF(const QString&)>;

// A filled rectangle: corners in twips on the page, offsets included; the brush
// colour is black for a bar and white for a painted light module.
struct RettangoloBarcode {
    double x1 = 0;
    double y1 = 0;
    double x2 = 0;
    double y2 = 0;
    QColor colore;
    bool operator==(const RettangoloBarcode&) const = default;
};

struct DisegnoBarcode {
    // Pen used for every rectangle: style 0 (solid) or 5 (none), colour.
    // Both symbologies draw without an outline.
    int stilePenna = 5;
    QColor colorePenna = Qt::white;
    // Brush style of the rectangles (0 solid).
    int stilePennello = 0;
    // In drawing order.
    QList<RettangoloBarcode> rettangoli;

    // The human-readable line: drawn when `conTesto`, in black, in the barcode font,
    // as text output at the current position (`testoX`, `testoY`) in twips,
    // offsets included: the top left corner of the line.
    bool conTesto = false;
    QString testo;
    double testoX = 0;
    double testoY = 0;
    QColor coloreTesto = Qt::black;
    // The line in the standard layout of EAN and UPC (GruppiCifre): its groups, drawn
    // instead of `testo` from `testoY` down.
    std::vector<TracciatoSimbolo::Cifre> cifre;

    // What the layout is made of, for checks: the measured text (also when the
    // line is hidden), the symbol's modules and one module's width in twips,
    // the top and bottom of the bars in twips, offsets included.
    double larghezzaTesto = 0;
    double altezzaTesto = 0;
    int moduli = 0;
    double larghezzaModulo = 0;
    double cimaBarre = 0;
    double fondoBarre = 0;

    // Data the kind refused: the message to show under its title (exclamation
    // icon), and the encoder's own words about it (may be empty). Nothing else is
    // drawn then.
    QString titolo;
    QString messaggio;
    QString dettaglio;

    // The symbol itself, as the output document keeps it (no elements and no modules
    // when nothing is drawn); the rectangles above are its vector layout.
    SimboloBarcode simbolo;

    bool vuoto() const { return rettangoli.isEmpty() && !conTesto; }
};

// EAN-13 / EAN-8. An empty code gives an empty layout and no message; a code
// the encoder rejects gives an empty layout carrying the message. Otherwise one
// black rectangle per bar (a run of adjacent dark modules), without a pen;
// light modules are not painted. The bars leave room for the text height below
// (or above) them whether or not the text is shown; the text is `strEANCode`
// exactly as passed (the full 13 or 8 digits when the check digit was added),
// centred on the box.
// With `cifreStandard` the symbol keeps the quiet zones the standard asks for inside its
// box (11 and 7 modules for EAN-13, 7 and 7 for EAN-8) and its digits take the standard
// layout when the line is below.
DisegnoBarcode DisegnoEAN(const QString& strEANCode, const RiquadroBarcode& riquadro, const MisuraTestoBarcode& misura,
                          PosizioneTestoBarcode posizione = PosizioneTestoBarcode::Sotto, bool cifreStandard = false);

// Code 39. An empty code gives an empty layout. The code is upper-cased and
// enclosed in the start and stop characters; characters past "Z" are drawn as
// "Z", characters without a pattern (such as "#") are left out of the bars.
// No pen; one white rectangle covers the symbol, then each bar is a black
// rectangle one narrow module wide or wide (2 modules, 2.5 when the module is
// under 0.508 mm), every space one narrow module or wide, and a closing white
// module ends the symbol. The text is "*", the upper-cased code and "*", centred on the box and
// measured as "*" + code + "*" as passed.
DisegnoBarcode Disegno39(const QString& strBarcode, const RiquadroBarcode& riquadro, const MisuraTestoBarcode& misura,
                         PosizioneTestoBarcode posizione = PosizioneTestoBarcode::Sotto);

// Any kind of a barcode object's settings; a digit that is no kind gives an empty
// layout. Code 39 and EAN are the two layouts above. The libzint kinds (SimboloZint.h)
// draw their dark modules as black rectangles without a pen, light modules unpainted:
// - linear kinds (Code 128, UPC, ITF) stretch to the box like EAN, their quiet zones
//   inside it, with the text like EAN's; ITF-14's bearer bars run along the top and
//   the bottom of its bars, as wide as the box;
// - two-dimensional kinds (QR Code, Data Matrix, PDF417) have no text and take the
//   largest size of square modules that fits the box with their quiet zones, centred.
// Runs of dark modules in a row are one rectangle, and a run that repeats in the rows
// below grows down instead of adding rectangles.
DisegnoBarcode DisegnoSimbolo(const ParametriBarcode& parametri, const QString& codice, const RiquadroBarcode& riquadro,
                              const MisuraTestoBarcode& misura);

// A value of each kind that encodes, for barcodes whose data come from a field.
QString DatiCampione(int tipo);

// The human-readable line's font with its size in twips, to draw and measure on a
// painter whose unit is the twip; and a measure with it.
QFont CarattereBarcodeTwips();
MisuraTestoBarcode MisuraTestoTwips();

// Paints a layout on a painter whose unit is the twip: the rectangles in their colours
// (black ones in `colore`), without a pen, and the text in the barcode font.
void DipingiBarcode(QPainter& p, const DisegnoBarcode& d, const QColor& colore = Qt::black);

// Paints the digits of the standard layout with the painter's pen on a painter whose unit
// is the twip, the top of their line at `cima`: in `carattere`, made smaller when a group
// would not fit between its guards (nine tenths of its room), UPC's outside digits four
// fifths of the others.
void DipingiCifre(QPainter& p, const std::vector<TracciatoSimbolo::Cifre>& cifre, double cima, const QFont& carattere);

}  // namespace cartigo
