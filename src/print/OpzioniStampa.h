#pragma once
// The print options asked before every print, the page check, and the order in
// which labels fill the cells of the sheet.

#include "label/DocumentoEtichetta.h"
#include "label/VariabiliEtichetta.h"
#include "shell/Interazione.h"

#include <optional>

namespace cartigo {

// The print options dialog. In: which option starts selected. Out: the six values.
struct RichiestaOpzioniStampa : RichiestaDialogo {
    static inline const QString Nome = QStringLiteral("frmStampa");
    QString nome() const override { return Nome; }

    bool tutteSelezionata = false;  // in: "all labels" (else "number of labels") selected
    VariabiliEtichetta Richieste;   // in: the variables asked at print time
    QStringList ValoriRichiesti;    // in: their defaults; out: the values given, one each
    QString Risoluzione;            // in: the resolution the job lays barcodes out for, as shown
    // results
    bool Confermato = false;
    qint16 NumeroEtichette = 0;
    qint16 PrimaEtichetta = 0;
    bool StampaCrocicchi = false;
    bool StampaBordi = false;
    bool StampaTutte = false;
};

// What the dialog's boxes hold when OK is pressed.
struct ValoriDialogoStampa {
    bool opzioneTutte = false;   // optStampa(0) selected
    bool opzioneNumero = true;   // optStampa(1) selected
    QString numeroEtichette = QStringLiteral("1");
    QString primaEtichetta = QStringLiteral("1");
    bool bordi = false;
    bool crocicchi = false;
    QStringList valori = {};  // the values asked at print time, as typed
};

// The OK button of the print options: fills the request, or shows "Indicare un valore
// positivo." and names the box that must get the focus (1 number of labels, 2 first label).
struct EsitoOkStampa {
    bool confermato = false;
    int campoErrato = 0;
};
EsitoOkStampa OkOpzioniStampa(const ValoriDialogoStampa& v, RichiestaOpzioniStampa& r, Interazione& ui,
                              const QString& titolo);

// The page the engine prints on, as the page check sees it.
class AreaPagina {
public:
    virtual ~AreaPagina() = default;
    virtual double Height() const = 0;  // twips
    virtual double Width() const = 0;   // twips
    virtual int Orientation() const = 0;
    virtual void SetOrientation(int o) = 0;
};

// Error raised when the user declines to print on a page that is too small.
constexpr int ErroreStampaAnnullata = 32755;

// Compares the page with the area needed (centimetres) and offers to turn it.
// Returns false when the user declines to print (the caller stops with error 32755).
bool TestAreaStampa(AreaPagina& pagina, double altezzaCm, double larghezzaCm, Interazione& ui);

// How far the cells that `etichette` labels from cell `prima` take reach past the page on
// each side, in millimetres (0 inside), with the job's shift.
struct SporgenzaPagina {
    double sinistra = 0, destra = 0, alto = 0, basso = 0;
    bool nessuna() const { return sinistra <= 0 && destra <= 0 && alto <= 0 && basso <= 0; }
};
SporgenzaPagina SporgenzaEtichette(const DocumentoEtichetta& doc, const AreaPagina& pagina, int etichette, int prima);

// Warns before printing when labels reach past the page, says by how much and that the
// layout's origin compensates the shift. Returns false when the user declines to print.
bool TestEtichetteNellaPagina(const DocumentoEtichetta& doc, const AreaPagina& pagina, int etichette, int prima,
                              Interazione& ui);

// The cells the labels go into, row by row, page by page.
class SequenzaCelle {
public:
    SequenzaCelle(int colonne, int righe, int primaPosizione)
        : colonne_(colonne), righe_(righe), prima_(primaPosizione)
    {
    }
    struct Cella {
        int colonna;
        int riga;
        int nuovePagine;  // pages to end before this label
    };
    Cella Prossima();

private:
    int colonne_, righe_, prima_;
    int colonna_ = 0, riga_ = 1, usate_ = 0;
};

}  // namespace cartigo
