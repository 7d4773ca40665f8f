#pragma once
// The variables of a label: counters, dates and values asked at print time. A text's
// caption or a barcode's data name them as "${Name}", like the fields of the records.
// They are kept in a section of the label file that older readers skip, written only
// when the label has variables.

#include <QDateTime>
#include <QList>
#include <QLocale>
#include <QString>
#include <QStringList>

namespace cartigo {

enum class TipoVariabile { Contatore, Data, Richiesta };
// When a counter takes its next value.
enum class AvanzamentoContatore { Etichetta, Copia, Record, Pagina };
enum class UnitaSpostamento { Giorni, Mesi, Anni };
// What a value asked at print time must be.
enum class RegolaValore { Qualsiasi, Cifre, Lunghezza };

struct VariabileEtichetta {
    QString Nome = {};
    TipoVariabile Tipo = TipoVariabile::Contatore;
    // counter: Inizio, Inizio + Passo, ... written with at least Cifre digits (zeros in front)
    qint64 Inizio = 1;
    qint64 Passo = 1;
    int Cifre = 0;
    AvanzamentoContatore Avanza = AvanzamentoContatore::Etichetta;
    bool Continua = false;  // a job that printed leaves the next value for the next job
    // date: the job's start moved by Spostamento units, as Formato (a Qt date-time format)
    QString Formato = QStringLiteral("dd/MM/yyyy");
    int Spostamento = 0;
    UnitaSpostamento Unita = UnitaSpostamento::Giorni;
    // asked at print time
    QString Domanda = {};
    QString Predefinito = {};
    RegolaValore Regola = RegolaValore::Qualsiasi;
    int LunghezzaMinima = 0;
    int LunghezzaMassima = 0;

    bool operator==(const VariabileEtichetta&) const = default;
};

using VariabiliEtichetta = QList<VariabileEtichetta>;

namespace Variabili {

// The keyword of the label file's section.
inline const QString Sezione = QStringLiteral("oggVariabili");

// The section's lines after its keyword: "name=value", each variable starting with its
// "Variabile=" line. Line breaks in a value become blanks.
QStringList Righe(const VariabiliEtichetta& variabili);
// The variables of the section's lines; names and values it does not know are skipped,
// and a variable without a name is left out.
VariabiliEtichetta Leggi(const QStringList& righe);

// The variable named `nome` (without regard to case), or none.
const VariabileEtichetta* Trova(const VariabiliEtichetta& variabili, const QString& nome);

// A counter's value after `passi` steps from `inizio`.
QString ValoreContatore(const VariabileEtichetta& v, qint64 inizio, qint64 passi);
// A date's value for a job started at `ora`; month and day names in `lingua`.
QString ValoreData(const VariabileEtichetta& v, const QDateTime& ora, const QLocale& lingua);
// The locale of the interface's language, for month and day names.
QLocale LinguaDate();

// Empty when `valore` keeps the variable's rule; else the message that names the variable.
QString ControllaValore(const VariabileEtichetta& v, const QString& valore);

// Empty when the variables can be kept as they are; else the message (a name missing,
// used twice, or holding a brace).
QString ControllaNomi(const VariabiliEtichetta& variabili);

}  // namespace Variabili
}  // namespace cartigo
