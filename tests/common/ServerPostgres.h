#pragma once
// A PostgreSQL server of the test's own: initdb makes a cluster in a temporary folder,
// pg_ctl starts it on a free port of 127.0.0.1 (and its socket in the same folder) and
// stops it with the object. Connections need the password of the user "cartigo".
// initdb refuses to run as root: then the cluster belongs to the user "nobody" and the
// server programs run as that user (runuser).
//
//     test::ServerPostgres pg;
//     if (!pg.avviato()) GTEST_SKIP() << pg.motivo();
//     pg.Sql("CREATE TABLE t (a int)");
//     // connect to pg.Indirizzo() with pg.Password(), or run a program with pg.Ambiente()
//
// Without the server programs (Debian package postgresql-15) avviato() is false and
// motivo() says so.

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace cartigo::test {

class ServerPostgres {
public:
    ServerPostgres();
    ~ServerPostgres();
    ServerPostgres(const ServerPostgres&) = delete;
    ServerPostgres& operator=(const ServerPostgres&) = delete;

    bool avviato() const { return avviato_; }
    const QString& motivo() const { return motivo_; }
    int Porta() const { return porta_; }
    static QString Utente() { return QStringLiteral("cartigo"); }
    static QString Password() { return QStringLiteral("segreta 'x\"y"); }
    // postgresql://cartigo@127.0.0.1:PORT/DATABASE, without the password.
    QString Indirizzo(const QString& database = QStringLiteral("etichette")) const;
    // The environment of a program that connects here: no PG... variables of the caller's,
    // a HOME of its own (no ~/.pgpass), the password in PGPASSWORD when `conPassword`.
    QProcessEnvironment Ambiente(bool conPassword = false) const;
    // A folder of the server's that may serve as a HOME (for a .pgpass of a test's own).
    QString Cartella() const { return dir_.path(); }

    // Runs SQL with psql in `database` (stopping at the first error); false with motivo() set.
    bool Sql(const QString& sql, const QString& database = QStringLiteral("etichette"));
    // The first column of the first row of a query, as psql prints it.
    QString Valore(const QString& sql, const QString& database = QStringLiteral("etichette"));
    // Stops the server at once (pg_ctl stop -m immediate), as a crash or a pulled cable would.
    bool Ferma() { return ferma(QStringLiteral("immediate")); }

private:
    bool avvia();
    QString esegui(const QString& programma, const QStringList& argomenti, bool comeServer, int* codice) const;
    QString psql(const QStringList& opzioni, const QString& sql, const QString& database, int* codice) const;
    bool ferma(const QString& modo);  // pg_ctl stop -m modo

    QTemporaryDir dir_;
    QString bin_;
    bool radice_ = false;
    int porta_ = 0;
    bool avviato_ = false;
    QString motivo_;
};

}  // namespace cartigo::test
