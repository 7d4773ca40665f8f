#pragma once
// The settings of a barcode object, kept in its `Tag` text. The first character is the
// kind, the second where the human-readable line goes (1 above, 0 below, 2 hidden). QR
// Code and Data Matrix add a third: the error-correction level (L, M, Q or H) and the
// shape (Q square, R rectangle); EAN and UPC an S when their digits print in the standard
// layout (CifreStandard). A reader that knows only the first two characters ignores the
// third, and a kind it does not know prints nothing.

#include <QString>
#include <QStringList>

namespace cartigo {

// The kinds, numbered by the digit that stores them; 8 and 9 print nothing.
enum class TipoBarcode { Code39 = 0, EAN13 = 1, Code128 = 2, QRCode = 3, DataMatrix = 4, PDF417 = 5, UPC = 6, ITF = 7 };
inline constexpr int kTipiBarcode = 8;

// The names of the kinds in digit order, as the kind list shows them.
QStringList NomiTipiBarcode();
// The name of a kind's digit; empty for a digit that is no kind.
QString NomeTipoBarcode(int tipo);
// QR Code, Data Matrix and PDF417: modules in rows and columns, no human-readable line.
bool BarcodeBidimensionale(int tipo);
// EAN and UPC: their digits may print in the standard layout, the first one left of the
// bars and the others in groups between the guard bars, which reach down among them.
bool CifreStandardPossibili(int tipo);

// Error-correction levels of QR Code, in increasing strength (7, 15, 25, 30 %).
enum class CorrezioneQR { L, M, Q, H };
enum class FormaDataMatrix { Quadrata, Rettangolare };

struct ParametriBarcode {
    int tipo = 0;   // the kind's digit (any number: those that are no kind print nothing)
    int testo = 0;  // the text position's digit: 1 above, 2 hidden, any other below
    CorrezioneQR correzione = CorrezioneQR::M;
    FormaDataMatrix forma = FormaDataMatrix::Quadrata;
    // EAN and UPC: the digits in the standard layout. Stored barcodes without the S keep
    // their single centred line; a new barcode takes it (TagNuovoBarcode).
    bool cifreStandard = false;

    // Reads a `Tag` leniently: a missing or unknown character takes the default
    // (Code 39, below, level M, square, a single line).
    static ParametriBarcode DaTag(const QString& tag);
    // The two digits, and the level or shape for QR Code and Data Matrix ("00", "32M",
    // "40R"), the S of the standard layout for EAN and UPC ("10S").
    QString Tag() const;
    bool operator==(const ParametriBarcode&) const = default;
};

// The `Tag` of a barcode just drawn from the label's template object's `tag`: the same,
// with the standard layout of the digits when its kind has one.
QString TagNuovoBarcode(const QString& tag);

}  // namespace cartigo
