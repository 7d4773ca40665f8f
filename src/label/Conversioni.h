#pragma once
// Number conversions shared by the label file and the input fields.
// They follow the user's separators (ImpostazioniLocali), not the process locale.

#include "label/Locale.h"

#include <QString>
#include <optional>

namespace cartigo::modCartigo {

// How a number's text is read.
enum class Lettura {
    Utente,  // typed by the user: the locale's decimal separator, its thousands separators dropped
    File,    // from a label file, which never groups digits: the locale's decimal separator, or
             // "." or "," (a file written under the other locale reads the same)
};

// The number that text denotes in the given locale: blanks ignored, the decimal
// separator as `lettura` says, an optional sign and exponent.
// Nothing when the text is not a number (an empty text is not a number).
std::optional<double> NumeroLocale(const QString& testo, const ImpostazioniLocali& loc,
                                   Lettura lettura = Lettura::Utente);

// The fixed-format reading: the longest leading part of the text (blanks ignored)
// that forms a number with "." as decimal separator; 0 when there is none.
double ValFisso(const QString& testo);

// Empty text gives 0; otherwise the locale's number, or the fixed-format reading.
double ConvertiDouble(const QString& testo, const ImpostazioniLocali& loc, Lettura lettura = Lettura::Utente);

// Empty text gives 0; otherwise the locale's number rounded to a whole number with
// halves to the even neighbour (throws Overflow past the 16-bit range); text that
// does not convert gives the fixed-format reading, not rounded.
double ConvertiIntero(const QString& testo, const ImpostazioniLocali& loc, Lettura lettura = Lettura::Utente);

// Halves to the even neighbour, as the platform's integer conversions round.
double ArrotondaPari(double v);

// Locale number that must be there: throws Type mismatch otherwise.
double NumeroObbligatorio(const QString& testo, const ImpostazioniLocali& loc, Lettura lettura = Lettura::Utente);
// A 32-bit value (colours): Type mismatch when not a number, Overflow past 32 bits.
qint32 ConvertiLong(const QString& testo, const ImpostazioniLocali& loc, Lettura lettura = Lettura::Utente);

// Numbers as the label file writes them: a blank (or "-") before, a blank after,
// the locale's decimal separator, no grouping, up to `cifre` significant digits.
QString NumeroFile(double valore, int cifre, const ImpostazioniLocali& loc);
inline QString SingleFile(float v, const ImpostazioniLocali& loc) { return NumeroFile(v, 7, loc); }
inline QString DoubleFile(double v, const ImpostazioniLocali& loc) { return NumeroFile(v, 15, loc); }
QString InteroFile(qint64 v);
inline QString BooleanoFile(bool b) { return b ? QStringLiteral("True") : QStringLiteral("False"); }

}  // namespace cartigo::modCartigo
