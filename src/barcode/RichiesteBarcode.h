#pragma once
// The barcode parameters dialog, as a request through the interaction seam.

#include "shell/Interazione.h"

#include <QString>

namespace cartigo {

// Barcode parameters: kind (0 Code 39, 1 EAN 13) and text position option
// (0 above, 1 below, 2 hidden; -1 none selected).
struct RichiestaParametriBarcode : RichiestaDialogo {
    static inline const QString Nome = QStringLiteral("frmParametriBarcode");
    QString nome() const override { return Nome; }
    int tipoBarcode = 0;
    int opzioneTesto = 1;
    // The value stored for an option: 1 above, 0 below, 2 hidden.
    static int AllineamentoDaOpzione(int opzione);
    static int OpzioneDaAllineamento(int allineamento);  // -1 for an unknown value
};

}  // namespace cartigo
