#pragma once
// Code 39: the pattern table and the module arithmetic of a symbol.
//
// A table entry describes one character as its five bars, left to right: "1" a
// narrow bar, "2" a wide bar, and a blank after each bar that is followed by a
// wide gap; every other gap is narrow. A narrow element is one module, a wide one
// two. Each bar is preceded by a one-module light gap, so "1" takes 2 modules,
// "2" takes 3 and a blank (the extra module of a wide gap) 1: a character is 13
// modules including the gap in front of it. One light module closes the symbol.

#include <QChar>
#include <QString>
#include <array>

namespace cartigo::Code39 {

inline constexpr int kVoci = 91;
// Character codes of the start and stop characters (both carry the "*" pattern).
inline constexpr char16_t kStart = 1;
inline constexpr char16_t kStop = 2;
// Characters past this code are encoded as "Z".
inline constexpr char16_t kUltimoCodice = 90;

// The table, indexed by character code 0 to 90. Entries not listed by the
// symbology (among them "#" and "@") are empty.
const std::array<QString, kVoci>& TabellaCode39();

// The entry that encodes `c`: codes above 90 take the entry of "Z".
QString Voce39(QChar c);

// Modules an entry occupies: blank 1, "1" 2, "2" 3 (an empty entry 0).
int ModuliVoce39(const QString& voce);

// The code upper-cased, character by character (the length stays).
QString Maiuscolo39(const QString& codice);

// The code upper-cased and enclosed between the start and stop characters:
// what the bars encode.
QString CodiceRacchiuso39(const QString& codice);

// The human-readable line: "*", the upper-cased code, "*".
QString TestoLeggibile39(const QString& codice);

// Modules of the whole symbol for `codice` as the user gave it (start, the
// characters whose entry is not empty, stop, the closing light module).
int ModuliCode39(const QString& codice);

// The symbol as a module string ("1" dark, "0" light), closing module included.
QString StringaModuli39(const QString& codice);

}  // namespace cartigo::Code39
