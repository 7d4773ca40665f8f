#pragma once
// EAN-13 and EAN-8 encoding: a code text becomes a string of modules,
// "1" for a dark module and "0" for a light one, left to right.

#include <QString>

namespace cartigo {

class Interazione;

namespace modCartigo {

// Title of the messages shown for a rejected code, and the two messages.
QString TitoloEAN2Bin();
QString EANInvalido();
QString EANNonNumerico();

// Modules of an EAN-13 symbol (101) and of an EAN-8 symbol (73), margins included.
inline constexpr int kModuliEAN13 = 101;
inline constexpr int kModuliEAN8 = 73;

// What encoding a code gave: the module string, or an empty one together with
// the message that says why the code was rejected.
struct EsitoEAN {
    QString moduli;
    QString messaggio;
    QString cifre;  // the 13 or 8 digits encoded, check digit included
    bool valido() const { return !moduli.isEmpty(); }
};

// The check digit of an EAN code's other digits (12 for EAN-13, 7 for EAN-8).
int CifraControlloEAN(const QString& cifre);

// Encodes a code without showing anything. The code is stripped of leading and
// trailing blanks; 13 digits give an EAN-13 symbol (the first digit chooses the
// number sets of the left half), 8 digits an EAN-8 symbol. 12 or 7 digits get
// their check digit added; 13 or 8 digits with a wrong check digit are refused
// ("Codice EAN invalido!.."), since their symbol would not scan.
// Layout: "000101", left half, "01010", right half (set C), "101000".
EsitoEAN CodificaEAN(const QString& codice);

// Same, showing the message of a rejected code (title "EAN2Bin", exclamation
// icon) and returning an empty text for it.
QString EAN2Bin(const QString& codice, Interazione& interazione);

// The 7-module patterns of the number sets A, B and C and the set choice of the
// left half for a leading digit ("0" set A, "1" set B), as the EAN standard gives them.
QString PatternSetA(int cifra);
QString PatternSetB(int cifra);
QString PatternSetC(int cifra);
QString ParitaCifraIniziale(int cifra);

}  // namespace modCartigo
}  // namespace cartigo
