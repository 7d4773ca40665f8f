#pragma once
// The engine of SQL databases, through Qt SQL: a SQLite file (driver QSQLITE, opened
// read-only) or a PostgreSQL database named by its address (driver QPSQL). Tables and
// views are listed as tables; the record selection is one statement whose values are
// bound, never written into it; its records are read one at a time, so a table of any
// size is never held whole. A failure throws ErroreCartigo: the errors of servers and of
// SQLite files that cannot be read (ErroreJet::ErroreServer) carry a description the user
// can be shown as it is.

#include "data/MotoreDati.h"

#include <QHash>
#include <QString>
#include <memory>
#include <optional>

namespace cartigo {

// A PostgreSQL address: postgresql://[user[:password]@][host][:port]/database[?key=value&...]
// ("postgres://" too); the keys are libpq's connection keywords (sslmode, connect_timeout, ...).
struct IndirizzoPostgres {
    QString utente, password, host, database;
    int porta = -1;       // -1: libpq's own (PGPORT, else 5432)
    QStringList opzioni;  // "key=value"

    static std::optional<IndirizzoPostgres> Leggi(const QString& testo);
    // The address to show: without its password.
    QString Visibile() const;
};

// True for a database server's address rather than a file name.
bool IndirizzoServer(const QString& nome);
// The address as it may be shown: a server address without its password, a file as it is.
QString NomeDatabaseVisibile(const QString& nome);
// True when the file starts as a SQLite database does.
bool FileSqlite(const QString& percorso);

class DatabaseSql : public MotoreDati {
public:
    // Opens a SQLite file read-only.
    static std::unique_ptr<DatabaseSql> ApriSqlite(const QString& percorso);
    // Connects to a PostgreSQL database; a non-empty `password` replaces the address's.
    // Without either, libpq looks in PGPASSWORD and ~/.pgpass. `attesa`, when given, is
    // asked every 50 ms while the server is waited for (connecting, reading its catalogue):
    // true gives up (ConnessioneFallita).
    static std::unique_ptr<DatabaseSql> ApriPostgres(const QString& indirizzo, const QString& password,
                                                     const Interruzione& attesa = {});
    ~DatabaseSql() override;
    DatabaseSql(const DatabaseSql&) = delete;
    DatabaseSql& operator=(const DatabaseSql&) = delete;

    QList<InfoTabella> Tabelle() const override { return tabelle_; }
    QStringList Query() const override { return {}; }
    bool EsisteTabella(const QString& nome) const override { return nomiSql_.contains(nome); }
    bool IsQuery(const QString&) const override { return false; }
    QList<InfoCampo> Campi(const QString& nome) override;
    // The records are counted only when the count is asked for (a server's on a
    // connection of its own, from the same snapshot of the data).
    std::unique_ptr<Recordset> ApriSelezione(const QString& tabella, const CondizioneSelezione& c) override;
    // SQLite's statements are stopped through its progress handler; a server's are waited
    // for where the interruption can still be asked, and stopped by the server's cancel.
    void ImpostaInterruzione(Interruzione i) override;

    // The DAO type code of a column's declared type (SQLite) or type oid (PostgreSQL).
    static int TipoDaSqlite(const QString& dichiarato);
    static int TipoDaPostgres(int oid);

    struct Connessione;

private:
    DatabaseSql();
    void leggiCatalogo();
    // The table as listed (the name given, else one that differs only in case), and its
    // name quoted for SQL; throws 3078 when there is none.
    QString tabellaElencata(const QString& tabella) const;
    QString nomeSql(const QString& tabella) const;

    std::shared_ptr<Connessione> c_;
    QList<InfoTabella> tabelle_;
    QHash<QString, QString> nomiSql_;  // table as listed -> its name quoted for SQL
    QHash<QString, QList<InfoCampo>> campi_;
};

}  // namespace cartigo
