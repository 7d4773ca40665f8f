#pragma once
// The options of the batch printer `cartigo-print`.

#include "label/VariabiliEtichetta.h"

#include <QPair>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace cartigo {

struct ProdottoEtichetta;

struct OpzioniBatch {
    QString etichetta;
    QString database;
    std::optional<QString> password;
    bool tutte = false;
    int numero = 0;  // --count; 0 when not given
    int prima = 1;
    bool bordi = false;
    bool crocicchi = false;
    // Zpl: a ZPL II file; ZplRete: ZPL II to a printer's raw port (HOST[:PORT]).
    enum class Uscita { Nessuna, Pdf, Ant, Zpl, ZplRete, Stampante } uscita = Uscita::Nessuna;
    QString destinazione;  // file, printer name or address; no name: the default printer
    int copie = 1;
    bool grezzo = false;  // --raw: the printer's queue gets the job's ZPL, unfiltered
    int tempoMassimo = 30;  // --timeout: seconds the print server has to take the job, and a query to answer
    double dpi = 0;         // --dpi: the resolution barcodes are laid out for; 0 when not given
    bool continua = false;  // --keep-going
    bool controllo = false;  // --check: the label check only, nothing printed
    bool rigoroso = false;   // --strict: a print stops on the check's findings
    std::optional<qint64> inizio;  // --start: the first value of the label's counters
    QList<QPair<QString, QString>> valori;  // --set NAME=VALUE, in order
    bool silenzioso = false;  // --quiet: errors only
    bool aiuto = false;     // --help
    bool versione = false;  // --version
    bool modelli = false;   // --templates: list the label products matching `ricerca`
    QString ricerca;
};

// Exit statuses of `cartigo-print` besides 0 (printed) and 1 (an error).
inline constexpr int UscitaOpzioniErrate = 2;
inline constexpr int UscitaNessunRecord = 3;
inline constexpr int UscitaRilievi = 4;  // the label check found problems

// Reads the arguments (without the program name). On a mistake returns nothing and
// sets `errore` to a one-line message.
std::optional<OpzioniBatch> LeggiOpzioniBatch(const QStringList& argomenti, QString* errore);

// The values of the label's variables asked at print time: each one's --set value, else its
// default. On a name the label does not ask for, a value missing (no --set, no default) or
// against its rule, returns nothing and sets `errore` to a message naming the variable.
std::optional<QStringList> ValoriBatch(const OpzioniBatch& o, const VariabiliEtichetta& richieste,
                                       QString* errore);

// The text of --help.
QString AiutoBatch();

// The lines of --templates, one a product: maker, code, label size in mm with one decimal,
// labels across x down, page (its name, or its size in mm), separated by tabs.
QStringList RigheProdotti(const std::vector<const ProdottoEtichetta*>& prodotti);

}  // namespace cartigo
