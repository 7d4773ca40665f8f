#pragma once
// The value of "${Name}" for one label: a field of the label's record when the records
// have it, else the label's variable of that name. One resolver, set with the job's
// context, serves the design surface, the preview and every output alike.

#include "label/CampiUnione.h"
#include "label/VariabiliEtichetta.h"

#include <QDateTime>
#include <QHash>
#include <functional>
#include <optional>

namespace cartigo {

class DocumentoEtichetta;

// Where the job stands for the label being drawn. The counts start at 0.
struct ContestoValori {
    qint64 etichetta = 0;  // labels drawn before this one in the same copy
    qint64 copia = 0;      // copies of the document before this one
    qint64 record = 0;     // records moved past (without records: the labels before)
    qint64 pagina = 0;     // pages before this label's page in the same copy
    QDateTime ora;         // the moment the job started
    QHash<QString, QString> richiesti;  // the values asked at print time, by lower-case name
    QHash<QString, qint64> inizi;       // the start of counters for this job, by lower-case name
    // The record's value of a field; nothing when the records have no such field.
    std::function<std::optional<QString>(const QString&)> campo;
};

class RisolutoreValori {
public:
    explicit RisolutoreValori(VariabiliEtichetta variabili = {}, QLocale lingua = Variabili::LinguaDate());

    ContestoValori& Contesto() { return c_; }
    const ContestoValori& Contesto() const { return c_; }
    const VariabiliEtichetta& Variabili() const { return variabili_; }

    // The field's value, else the variable's; nothing for a name neither knows.
    std::optional<QString> Valore(const QString& nome) const;
    // The variable's value for the context; nothing when there is no such variable.
    std::optional<QString> ValoreVariabile(const QString& nome) const;
    // The start a counter takes in this job.
    qint64 Inizio(const VariabileEtichetta& v) const;
    // The steps a counter has taken at the context.
    qint64 Passi(const VariabileEtichetta& v) const;
    // The text with each "${Name}" replaced by `valore` (by default Valore); a name
    // without a value stays as typed.
    QString Componi(const QString& testo);
    QString Componi(const QString& testo, const std::function<std::optional<QString>(const QString&)>& valore);
    // True when the text names one of the variables.
    bool UsaVariabili(const QString& testo);

private:
    const ModelloUnione& modello(const QString& testo);

    VariabiliEtichetta variabili_;
    QLocale lingua_;
    ContestoValori c_;
    QHash<QString, ModelloUnione> modelli_;
};

// Counters whose numbering continues from job to job keep their next value with the
// label or, for a label that may not be written, in the user's state folder by the
// label's path.
namespace Numerazione {

// The file that keeps the values ($XDG_STATE_HOME/cartigo/numerazione, by default
// ~/.local/state/cartigo/numerazione).
QString FileStato();
// The start of the counter `v` of the label at `percorso` for the next job: the value kept
// in the state folder while the label still holds the start it held then, else its own.
qint64 Inizio(const QString& percorso, const VariabileEtichetta& v);
// Keeps `prossimo` in the state folder for the counter of the label at `percorso`.
// Empty on success, else the reason.
QString Conserva(const QString& percorso, const VariabileEtichetta& v, qint64 prossimo);
// True when the label's file (and its folder, where the new file is made) may be written.
bool EtichettaScrivibile(const QString& percorso);

}  // namespace Numerazione

// The values the next print would use, as the design surface shows them: counters their
// next value, dates those of `ora`, asked values their default.
RisolutoreValori ValoriProssimaStampa(const DocumentoEtichetta& doc, const QDateTime& ora);

}  // namespace cartigo
