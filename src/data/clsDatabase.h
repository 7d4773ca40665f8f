#pragma once
// The program's only door to a database: opens and closes the connection, lists the
// tables, queries and fields for the data dialogs, checks that a table exists, and
// opens the record set of the record selection for the print job. Read-only.
//
// For the print job:
//     std::unique_ptr<Recordset> rs;
//     db.ConnettiRecordset(rs, c.NomeTabella, c.CampoSelezione, c.TipoSelezione,
//                          c.ValoreSelezione1, c.ValoreSelezione2, c.ValoreSelezione3);
//     for (; !rs->Eof(); rs->MoveNext())
//         testo = db.NzCampo(*rs, oggetto->DataMember);

#include "data/MotoreDati.h"
#include "data/ValoriJet.h"
#include "shell/Interazione.h"

#include <QHash>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <memory>

namespace cartigo {

// What a list box or combo box holds: its entries and the selected one (-1 none).
struct ElencoVoci {
    QStringList voci;
    int ListIndex = -1;
    void AddItem(const QString& voce) { voci << voce; }
    void Clear()
    {
        voci.clear();
        ListIndex = -1;
    }
    int ListCount() const { return int(voci.size()); }
    QString Text() const { return ListIndex >= 0 && ListIndex < voci.size() ? voci.at(ListIndex) : QString(); }
};

// The selection's sentinels.
inline const QString SentinellaTestoMin = QString(34, QLatin1Char('0'));
inline const QString SentinellaTestoMax = QString(34, QLatin1Char('Z'));
constexpr double SentinellaNumeroMax = 999999999999.0;

class clsDatabase {
public:
    explicit clsDatabase(Interazione& ui);
    ~clsDatabase();

    // The database (a file path, or a server's address such as
    // postgresql://user@host:port/dbname) and its password (properties).
    QString NomeDatabase() const { return nomeDatabase_; }
    void SetNomeDatabase(const QString& v) { nomeDatabase_ = v; }
    QString PasswordDb() const { return passwordDb_; }
    void SetPasswordDb(const QString& v) { passwordDb_ = v; }

    // Opens the database: an MDB, ACCDB, CSV or SQLite file, or a PostgreSQL server.
    // Shows the failure (title "objDatabase") and returns false. A server that asks for a
    // password it was not given (or a wrong one) has it asked for (RichiestaPasswordDatabase,
    // again after a wrong one); the password typed there is kept for this run only.
    bool ConnettiDatabase();
    // The error number of the last connection that failed (0 after one that succeeded).
    int UltimoErrore() const { return ultimoErrore_; }
    // Drops the database; always false.
    bool DisconnettiDatabase();
    bool Connesso() const { return bool(db_); }

    // The members below need the connected state and let failures reach the caller
    // (ErroreCartigo with the engine's error number).
    void CaricaListaTabelle(ElencoVoci& lista);
    void CaricaListaCampi(const QString& tabella, ElencoVoci& combo);
    void CaricaListaCampiList(const QString& tabella, ElencoVoci& lista);
    bool IsQuery(const QString& nome);
    void CaricaListaQueries(ElencoVoci& lista);
    void CaricaListaCampiQuery(const QString& query, ElencoVoci& combo);
    void CaricaListaCampiDaQueryList(const QString& query, ElencoVoci& lista);
    QVariant GetValoreCampo(const Recordset& rs, const QString& campo);
    qint16 GetTipoCampo(const QString& tabella, const QString& campo);
    // Opens the record selection into `rs`; writes the converted values and sentinels
    // back into `valore`, `da` and `a`.
    QVariant ConnettiRecordset(std::unique_ptr<Recordset>& rs, const QString& tabella, const QString& campo,
                               qint16 criterio, QString& valore, QString& da, QString& a);
    bool EsisteTabella(const QString& nome);
    // What a label may be bound to: a table (as EsisteTabella) or a saved query (as IsQuery).
    bool EsisteTabellaOQuery(const QString& nome) { return EsisteTabella(nome) || IsQuery(nome); }

    // A field of the current record as text (Null gives empty text); see modCartigo::NzCampo.
    QString NzCampo(const Recordset& rs, const QString& campo,
                    const modCartigo::FormatoTesto& f = modCartigo::FormatoTesto::correnti()) const;

    // The engine, for callers that need more (null when disconnected).
    MotoreDati* Motore() const { return db_.get(); }
    // Reports the reading's progress (for a progress display); called with a growing counter.
    std::function<void(qint64)> progresso;
    // Makes what a connection to a server asks while it waits for the server (a wait
    // window and its Cancel): true gives up, and the connection fails without a message.
    // Made once per connection, dropped when it ends. None: the server's own time limits.
    std::function<Interruzione()> attesa;

private:
    MotoreDati& motore();
    Interazione& ui_;
    QString nomeDatabase_;
    QString passwordDb_;
    std::unique_ptr<MotoreDati> db_;
    int ultimoErrore_ = 0;
    // Passwords asked for this run only, by server address (never written into the label).
    QHash<QString, QString> passwordChieste_;
};

// The text of an unexpected error: "Errore non gestito. Codice:" and the number,
// then the description on the next line.
QString TestoErroreDatabase(const ErroreCartigo& e);

}  // namespace cartigo
