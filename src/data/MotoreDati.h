#pragma once
// What every database engine gives clsDatabase: its tables, saved queries and fields,
// and the record selection as a record set read from the first record to the last.
// The MDB/CSV engine (DatabaseJet) and the SQL servers' engine (DatabaseSql) both
// stand behind it. Failures throw ErroreCartigo with Jet's error numbers.

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <array>
#include <functional>
#include <memory>

namespace cartigo {

struct InfoCampo {
    QString nome;
    int tipo = 0;  // DAO type code
};

struct InfoTabella {
    QString nome;
    qint64 attributi = 0;  // DAO TableDef attributes
    bool collegata = false;
    QList<InfoCampo> campi;
};

namespace AttributiDao {
constexpr qint64 OggettoSistema = 0x80000002LL;
constexpr qint64 OggettoNascosto = 1;
constexpr qint64 TabellaCollegata = 0x40000000LL;
constexpr qint64 TabellaOdbc = 0x20000000LL;
}  // namespace AttributiDao

// Records read forward, one current record at a time.
class Recordset {
public:
    virtual ~Recordset() = default;
    virtual bool Eof() const = 0;
    virtual void MoveNext() = 0;
    virtual int RecordCount() const = 0;
    // False when RecordCount would first read the rest of the selection (a condition on a
    // table still being read).
    virtual bool ConteggioPronto() const { return true; }
    virtual const QList<InfoCampo>& Campi() const = 0;
    // The current record's value (a null QVariant for Null). Throws 3021 when there is
    // no current record.
    virtual QVariant Valore(int indice) const = 0;

    // The field's index (names compare without regard to case), or -1.
    int IndiceCampo(const QString& nome) const;
    // Type code of a field; throws 3265 when there is no such field.
    int TipoCampo(const QString& nome) const;
    // The current record's value of a field; throws 3265 for an unknown field.
    QVariant Valore(const QString& nome) const;
};

// The record selection, its values already read by the rules of the field's class:
// a number (double) for the number class, the text for the text class and the date
// as typed (a valid date) for the date class.
struct CondizioneSelezione {
    int criterio = 0;  // 0 all records, 1 equal to valori[0], 2 between valori[0] and valori[1]
    QString campo;
    int tipo = 0;    // the field's DAO type code
    int classe = 3;  // modCartigo::ClasseTipo(tipo)
    std::array<QVariant, 2> valori;
};

// Asked now and then while a statement of the engine runs, with the milliseconds that
// statement has run so far: true stops it, and the statement fails (ChiamataFallita).
using Interruzione = std::function<bool(qint64 millisecondi)>;

class MotoreDati {
public:
    virtual ~MotoreDati() = default;
    // The interruption asked while statements run (none: they run to their end). Engines
    // whose statements are all short (MDB copies, CSV files) take none.
    virtual void ImpostaInterruzione(Interruzione) {}
    // Every table (system, hidden and linked ones included) in catalog order; views of
    // the SQL sources are tables too.
    virtual QList<InfoTabella> Tabelle() const = 0;
    // Every saved query name in catalog order.
    virtual QStringList Query() const = 0;
    virtual bool EsisteTabella(const QString& nome) const = 0;  // exact name
    virtual bool IsQuery(const QString& nome) const = 0;        // exact name
    // Fields of a table or saved query.
    virtual QList<InfoCampo> Campi(const QString& nome) = 0;
    // The records of a table or saved query that meet the condition.
    virtual std::unique_ptr<Recordset> ApriSelezione(const QString& tabella, const CondizioneSelezione& c) = 0;
    // True for a CSV file (one table, named after the file).
    virtual bool Csv() const { return false; }
};

}  // namespace cartigo
