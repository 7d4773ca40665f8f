#pragma once
// The sheet layout dialog without its window: the ten boxes' texts, what the labels are
// on (a catalogue product, one label per page), loading them from the layout, the check
// of the required values and storing them back; saving the layout as a template.

#include "label/DocumentoEtichetta.h"
#include "label/Locale.h"
#include "shell/Interazione.h"

#include <QString>
#include <array>
#include <optional>

namespace cartigo {

struct ProdottoEtichetta;

// The request by which the main window shows the sheet layout dialog: the layout
// goes in, and comes back changed when the dialog was confirmed.
class RichiestaImpostaPagina : public RichiestaDialogo {
public:
    static inline const QString Nome = QStringLiteral("frmImpostaPagina");
    QString nome() const override { return Nome; }
    LayoutEtichetta layout;
};

// The maker, code and description a layout is saved as a template under.
class RichiestaSalvaModello : public RichiestaDialogo {
public:
    static inline const QString Nome = QStringLiteral("frmSalvaModello");
    QString nome() const override { return Nome; }
    QString marca;
    QString codice;
    QString descrizione;
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
    // True for the boxes a roll has no use for: across, down, the margins, the gaps.
    static bool SoloFoglio(int campo);

    std::array<QString, NumeroCampi> testi;
    // What the labels are on: the layout's fields beyond the ten values.
    LayoutEtichetta supporto;
    // "Print resolution" and "Bar width reduction" as their boxes hold them: the
    // resolution's number ("none (vector)" or empty for none), the reduction as "1 dot" or
    // "0.08 mm" (empty for automatic).
    QString risoluzione;
    QString riduzione;
    // The thermal printer's label top and left shift as their boxes hold them, in
    // millimetres; empty for the printer's own. The rest of its settings are in `supporto`.
    QString spostamentoAlto;
    QString spostamentoSinistra;

    // A box's text as a resolution in dots per inch (0 for none), or nothing when it is
    // not one from 50 to 4800.
    static std::optional<double> LeggiRisoluzione(const QString& testo);
    // A box's text as the layout keeps the reduction ("" automatic, "2 dot", "0.08 mm"),
    // or nothing when it is neither a number of dots nor of millimetres.
    static std::optional<QString> LeggiRiduzione(const QString& testo);
    // A shift box's text as millimetres from -`massimo` to `massimo` (nothing inside for an
    // empty box: the printer's own), or nothing when it is not such a number.
    static std::optional<std::optional<double>> LeggiSpostamento(const QString& testo, double massimo);
    // 0 when these boxes are right; else the message is shown and the box at fault is
    // returned (1 the resolution, 2 the reduction, 3 the label top, 4 the left shift).
    int VerificaStampa(Interazione& ui, const QString& titolo) const;

    // A box's text for a value in the user's locale: counts whole, measures with three decimals.
    static QString TestoCampo(int campo, double valore, const ImpostazioniLocali& loc);
    // Each value as its box shows it, and what the labels are on.
    void CaricaLayout(const LayoutEtichetta& layout, const ImpostazioniLocali& loc);
    // The product's layout into the boxes (its origin too), and the product as what the
    // labels are on.
    void ApplicaProdotto(const ProdottoEtichetta& prodotto, const ImpostazioniLocali& loc);
    // The product (such as one just saved from these values) as what the labels are on,
    // leaving the boxes as they are.
    void AdottaProdotto(const ProdottoEtichetta& prodotto);
    // The first required box whose value is 0 or less: beep, message with `titolo`,
    // and its number is returned (the caller moves the focus there). -1 when all pass.
    // On a roll the counts are not asked for.
    int Verifica_campi_obbligatori(Interazione& ui, const QString& titolo, const ImpostazioniLocali& loc) const;
    // Every box's value into its field, all ten, and what the labels are on; a product
    // whose sheet the boxes no longer describe is dropped (its page and shape stay).
    void SalvaLayout(LayoutEtichetta& layout, const ImpostazioniLocali& loc) const;
    // The layout SalvaLayout would store.
    LayoutEtichetta Layout(const ImpostazioniLocali& loc) const;

private:
    std::optional<LayoutEtichetta> prodotto_;  // the product's layout, while the labels are on one
};

// "Save as template": asks maker, code and description (again when one is missing), asks
// before replacing a template of the same name, and writes the layout in `cartella`.
// Nothing when nothing was saved (the user cancelled, or has been told why).
struct ModelloSalvato {
    QString nome;  // "Maker code"
    QString file;
};
std::optional<ModelloSalvato> SalvaComeModello(const LayoutEtichetta& layout, const QString& cartella, Interazione& ui,
                                               const QString& titolo);

}  // namespace cartigo
