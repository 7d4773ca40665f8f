#pragma once
// The barcode parameters dialog, as a request through the interaction seam.

#include "barcode/ParametriBarcode.h"
#include "shell/Interazione.h"

#include <QString>

namespace cartigo {

// Barcode parameters: kind (the list index, which is the kind's digit: 0 Code 39,
// 1 EAN 13, 2 Code 128, ... ParametriBarcode.h), text position option (0 above,
// 1 below, 2 hidden; -1 none selected), QR Code's error correction, Data Matrix's
// shape and EAN's and UPC's digits in the standard layout (checked unless the barcode
// is an EAN or UPC stored without it). The dialog previews the symbol of `dati` in a box of the object's
// proportions; `campo` names the field the data come from (then `dati` is a sample).
struct RichiestaParametriBarcode : RichiestaDialogo {
    static inline const QString Nome = QStringLiteral("frmParametriBarcode");
    QString nome() const override { return Nome; }
    int tipoBarcode = 0;
    int opzioneTesto = 1;
    CorrezioneQR correzione = CorrezioneQR::M;
    FormaDataMatrix forma = FormaDataMatrix::Quadrata;
    bool cifreStandard = true;
    QString dati;
    QString campo;
    double larghezza = 0;  // the object's box, twips
    double altezza = 0;
    // The value stored for an option: 1 above, 0 below, 2 hidden.
    static int AllineamentoDaOpzione(int opzione);
    static int OpzioneDaAllineamento(int allineamento);  // -1 for an unknown value
};

}  // namespace cartigo
