#pragma once
// The kinds that libzint encodes (Code 128 / GS1-128, QR Code, Data Matrix, PDF417,
// UPC-A / UPC-E, Interleaved 2 of 5 / ITF-14): data become a matrix of modules, with the
// quiet zones the kind's standard asks for and its human-readable text. Nothing here
// draws: the layouts (DisegnoBarcode.h) turn the modules into rectangles.

#include "barcode/ParametriBarcode.h"

#include <QString>
#include <QtGlobal>
#include <memory>
#include <vector>

namespace cartigo {

struct SimboloZint {
    // The modules row by row, 1 for a dark one. A linear symbol has one row.
    int colonne = 0;
    int righe = 0;
    std::vector<quint8> moduli;
    // Height of a row in modules (two-dimensional kinds: 1; PDF417: 3).
    double altezzaRiga = 1;
    // Light modules the standard asks for around the symbol: left and right, and for
    // the two-dimensional kinds above and below.
    int quieteSinistra = 0;
    int quieteDestra = 0;
    int quieteVerticale = 0;
    // ITF-14 stands between two bearer bars.
    bool barreSostegno = false;
    // The human-readable line of a linear symbol, check digits included.
    QString testo;

    // Why the data cannot be encoded (then there are no modules), and libzint's own
    // words about it when it gave some.
    QString messaggio;
    QString dettaglio;

    bool valido() const { return colonne > 0 && righe > 0; }
    bool scuro(int riga, int colonna) const { return moduli[std::size_t(riga) * std::size_t(colonne) + colonna] != 0; }
};

// Encodes `dati` in the kind of `parametri` (Code 128 to ITF, digits 2 to 7). Code 128
// data written with application identifiers in brackets, such as
// "(01)09501101530003(10)AB12", are GS1-128. UPC takes 11 or 12 digits (UPC-A) or 6 to 8
// (UPC-E), ITF 13 or 14 digits as ITF-14; check digits are added, or refused when wrong.
// Text beyond ASCII goes into QR Code, Data Matrix and PDF417 as UTF-8 (ECI 26).
// Recent results are kept, so a code repeated on every label is encoded once.
std::shared_ptr<const SimboloZint> CodificaZint(const ParametriBarcode& parametri, const QString& dati);

// The texts of the refusals.
QString MessaggioDatiTroppoLunghi();
QString MessaggioDatiNonCodificabili();
QString MessaggioSoloCifre();
QString MessaggioLunghezzaUPC();
QString MessaggioSistemaUPCE();
QString MessaggioCifraControllo();
QString MessaggioDatiGS1();
QString MessaggioCaratteriCode128();

}  // namespace cartigo
