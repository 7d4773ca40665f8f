#include "common/ServerPostgres.h"

#include "common/ServerCups.h"
#include "common/TestSupport.h"

#include <pwd.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace cartigo::test {

namespace {

// The newest installed server's programs (Debian keeps each version apart).
QString cartellaProgrammi()
{
    const QString scelta = qEnvironmentVariable("CARTIGO_PG_BIN");
    if (!scelta.isEmpty()) return scelta;
    QStringList versioni = QDir(QStringLiteral("/usr/lib/postgresql")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    std::sort(versioni.begin(), versioni.end(),
              [](const QString& a, const QString& b) { return a.toInt() > b.toInt(); });
    for (const QString& v : versioni) {
        const QString bin = QStringLiteral("/usr/lib/postgresql/%1/bin").arg(v);
        if (QFileInfo(bin + QStringLiteral("/initdb")).isExecutable()) return bin;
    }
    return {};
}

}  // namespace

ServerPostgres::ServerPostgres()
{
    bin_ = cartellaProgrammi();
    for (const char* p : {"initdb", "pg_ctl", "psql"}) {
        if (bin_.isEmpty() || !QFileInfo(bin_ + QLatin1Char('/') + QLatin1String(p)).isExecutable()) {
            motivo_ = QStringLiteral(
                          "%1 not found in /usr/lib/postgresql/*/bin: install the package postgresql-15 to "
                          "test against a PostgreSQL server")
                          .arg(QLatin1String(p));
            return;
        }
    }
    if (!dir_.isValid()) {
        motivo_ = QStringLiteral("no temporary folder");
        return;
    }
    radice_ = geteuid() == 0;
    QDir(dir_.path()).mkpath(QStringLiteral("dati"));
    ScriviFile(dir_.filePath(QStringLiteral("password")), Password().toUtf8() + '\n');
    if (radice_) {
        // initdb will not run as root: the cluster is nobody's.
        const passwd* nessuno = getpwnam("nobody");
        if (!nessuno || QStandardPaths::findExecutable(QStringLiteral("runuser")).isEmpty()) {
            motivo_ = QStringLiteral("running as root, and there is no user nobody or no runuser to run initdb as");
            return;
        }
        QFile::setPermissions(dir_.path(), QFileDevice::Permissions(0x7755));
        for (const char* f : {"dati", "password"})
            if (chown(QFile::encodeName(dir_.filePath(QLatin1String(f))).constData(), nessuno->pw_uid,
                      nessuno->pw_gid) != 0) {
                motivo_ = QStringLiteral("cannot give %1 to the user nobody").arg(QLatin1String(f));
                return;
            }
    }
    int codice = -1;
    const QString uscita = esegui(QStringLiteral("initdb"),
                                  {QStringLiteral("-D"), dir_.filePath(QStringLiteral("dati")), QStringLiteral("-U"),
                                   Utente(), QStringLiteral("--pwfile=") + dir_.filePath(QStringLiteral("password")),
                                   QStringLiteral("--auth=scram-sha-256"), QStringLiteral("-E"), QStringLiteral("UTF8"),
                                   QStringLiteral("--locale=C"), QStringLiteral("--no-sync")},
                                  true, &codice);
    if (codice != 0) {
        motivo_ = QStringLiteral("initdb failed:\n%1").arg(uscita);
        return;
    }
    for (int prova = 0; prova < 3 && !avviato_; ++prova) avviato_ = avvia();
    if (avviato_ && !Sql(QStringLiteral("CREATE DATABASE etichette"), QStringLiteral("postgres"))) avviato_ = false;
}

ServerPostgres::~ServerPostgres()
{
    if (avviato_) ferma(QStringLiteral("fast"));
}

bool ServerPostgres::avvia()
{
    porta_ = PortaLibera();
    if (porta_ == 0) {
        motivo_ = QStringLiteral("no free port on 127.0.0.1");
        return false;
    }
    // Quick rather than safe: the cluster lives as long as the test.
    const QString opzioni = QStringLiteral(
                                "-p %1 -k %2 -c listen_addresses=127.0.0.1 -c fsync=off -c synchronous_commit=off "
                                "-c full_page_writes=off -c shared_buffers=16MB -c max_connections=20")
                                .arg(porta_)
                                .arg(dir_.filePath(QStringLiteral("dati")));
    int codice = -1;
    const QString uscita =
        esegui(QStringLiteral("pg_ctl"),
               {QStringLiteral("-D"), dir_.filePath(QStringLiteral("dati")), QStringLiteral("-l"),
                dir_.filePath(QStringLiteral("dati/server.log")), QStringLiteral("-o"), opzioni, QStringLiteral("-w"),
                QStringLiteral("-t"), QStringLiteral("30"), QStringLiteral("start")},
               true, &codice);
    if (codice == 0) return true;
    QFile log(dir_.filePath(QStringLiteral("dati/server.log")));
    log.open(QIODevice::ReadOnly);
    motivo_ = QStringLiteral("the private PostgreSQL server did not start on port %1:\n%2\n%3")
                  .arg(porta_)
                  .arg(uscita, QString::fromUtf8(log.readAll()));
    return false;
}

QString ServerPostgres::esegui(const QString& programma, const QStringList& argomenti, bool comeServer,
                               int* codice) const
{
    QProcess p;
    p.setProcessEnvironment(Ambiente(true));
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.setWorkingDirectory(dir_.path());
    const QString eseguibile = bin_ + QLatin1Char('/') + programma;
    if (comeServer && radice_)
        p.start(
            QStringLiteral("runuser"),
            QStringList{QStringLiteral("-u"), QStringLiteral("nobody"), QStringLiteral("--"), eseguibile} + argomenti);
    else
        p.start(eseguibile, argomenti);
    const bool finito = p.waitForFinished(120000);
    *codice = finito && p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return QString::fromUtf8(p.readAll());
}

QString ServerPostgres::Indirizzo(const QString& database) const
{
    return QStringLiteral("postgresql://%1@127.0.0.1:%2/%3").arg(Utente()).arg(porta_).arg(database);
}

QProcessEnvironment ServerPostgres::Ambiente(bool conPassword) const
{
    QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
    for (const QString& k : e.keys())
        if (k.startsWith(QLatin1String("PG"))) e.remove(k);
    e.insert(QStringLiteral("HOME"), dir_.path());
    e.insert(QStringLiteral("LC_MESSAGES"), QStringLiteral("C"));
    if (conPassword) e.insert(QStringLiteral("PGPASSWORD"), Password());
    return e;
}

QString ServerPostgres::psql(const QStringList& opzioni, const QString& sql, const QString& database, int* codice) const
{
    return esegui(QStringLiteral("psql"),
                  QStringList{QStringLiteral("-X")} + opzioni +
                      QStringList{QStringLiteral("-h"), QStringLiteral("127.0.0.1"), QStringLiteral("-p"),
                                  QString::number(porta_), QStringLiteral("-U"), Utente(), QStringLiteral("-d"),
                                  database, QStringLiteral("-c"), sql},
                  false, codice);
}

bool ServerPostgres::Sql(const QString& sql, const QString& database)
{
    int codice = -1;
    const QString uscita =
        psql({QStringLiteral("-q"), QStringLiteral("-v"), QStringLiteral("ON_ERROR_STOP=1")}, sql, database, &codice);
    if (codice != 0) motivo_ = QStringLiteral("psql failed:\n%1").arg(uscita);
    return codice == 0;
}

QString ServerPostgres::Valore(const QString& sql, const QString& database)
{
    int codice = -1;
    const QString uscita = psql({QStringLiteral("-A"), QStringLiteral("-t")}, sql, database, &codice);
    return codice == 0 ? uscita.trimmed() : QString();
}

bool ServerPostgres::ferma(const QString& modo)
{
    int codice = -1;
    esegui(QStringLiteral("pg_ctl"),
           {QStringLiteral("-D"), dir_.filePath(QStringLiteral("dati")), QStringLiteral("-m"), modo,
            QStringLiteral("-w"), QStringLiteral("stop")},
           true, &codice);
    if (codice == 0) avviato_ = false;
    return codice == 0;
}

}  // namespace cartigo::test
