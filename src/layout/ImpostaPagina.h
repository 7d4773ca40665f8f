#pragma once
// The sheet layout dialog without its window: the ten boxes' texts, loading them
// from the layout, the check of the required values and storing them back.

#include "label/DocumentoEtichetta.h"
#include "label/Locale.h"
#include "shell/Interazione.h"

#include <QString>
#include <array>

namespace cartigo {

// The request by which the main window shows the sheet layout dialog: the layout
// goes in, and comes back changed when the dialog was confirmed.
class RichiestaImpostaPagina : public RichiestaDialogo {
public:
    static inline const QString Nome = QStringLiteral("frmImpostaPagina");
    QString nome() const override { return Nome; }
    LayoutEtichetta layout;
};

class ValoriImpostaPagina {
public:
    static constexpr int NumeroCampi = LayoutEtichetta::NumeroValori;
    static constexpr int LunghezzaMassima = 10;

    struct Campo {
        const char* nome;  // the text box's name
        int idEtichetta;   // string id of its caption
        bool millimetri;   // shows the unit "mm"
    };
    // The boxes in the layout record's order, which is also the tab order.
    static const std::array<Campo, NumeroCampi> Campi;
    // Boxes that must hold a positive value, in the order they are checked.
    static const std::array<int, 4> CampiObbligatori;

    std::array<QString, NumeroCampi> testi;

    // Each value with three decimals in the user's locale.
    void CaricaLayout(const LayoutEtichetta& layout, const ImpostazioniLocali& loc);
    // The first required box whose value is 0 or less: beep, message with `titolo`,
    // and its number is returned (the caller moves the focus there). -1 when all pass.
    int Verifica_campi_obbligatori(Interazione& ui, const QString& titolo, const ImpostazioniLocali& loc) const;
    // Every box's value into its field, all ten.
    void SalvaLayout(LayoutEtichetta& layout, const ImpostazioniLocali& loc) const;
};

}  // namespace cartigo
