// The SQL sources through clsDatabase: a SQLite file the test makes and a PostgreSQL
// server the test starts. Both hold the same table, so one set of selections checks
// that they follow the rules of the MDB and CSV sources: text without regard to case,
// numbers as the user types them, dates as Jet reads them, and values that are only
// ever values.
#include "common/ServerCups.h"
#include "common/ServerPostgres.h"
#include "common/TestSupport.h"
#include "data/DatabaseSql.h"
#include "data/RichiesteDati.h"
#include "data/ValoriJet.h"
#include "data/clsDatabase.h"
#include "shell/InterazioneScriptata.h"
#include "shell/StringTable.h"

#include <sqlite3.h>
#include <QCoreApplication>
#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QUrl>

using namespace cartigo;

namespace {

// Special rows, then 10,000 ordinary ones; texts, numbers, dates, booleans and NULLs.
const char* const kRighe[] = {
    "(1, 'Vite', 0.5, '2024-03-01', TRUE, NULL)",
    "(2, 'vite grande', 12.5, '2024-03-02', FALSE, 'x')",
    "(3, 'Dado', 12.5, NULL, TRUE, 'O''Brien')",
    "(4, 'Rondella', NULL, '2024-02-28', NULL, '%')",
    "(5, 'O''Brien', 7, '2024-03-01', FALSE, '_')",
    "(6, '%', 1000001, '2023-12-31', TRUE, NULL)",
    "(7, '_', 1000002, '2023-12-31', TRUE, NULL)",
    "(8, '''; DROP TABLE articoli; --', 1000003, '2023-12-31', FALSE, NULL)",
};

QString righeSpeciali()
{
    QStringList r;
    for (const char* riga : kRighe) r << QString::fromLatin1(riga);
    return r.join(QStringLiteral(", "));
}

const QString kSqlite = QStringLiteral(
    "CREATE TABLE articoli (id INTEGER, nome TEXT, prezzo REAL, arrivo DATE, attivo BOOLEAN, nota TEXT);"
    "INSERT INTO articoli VALUES %1;"
    "INSERT INTO articoli WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 10000) "
    "SELECT 100 + i, printf('Articolo %05d', i), i % 100, date('1990-01-01', '+' || i || ' days'), i % 2, "
    "CASE WHEN i % 2 = 0 THEN NULL ELSE 'n' END FROM n;"
    "CREATE VIEW economici AS SELECT nome, prezzo FROM articoli WHERE prezzo < 10;");

const QString kPostgres = QStringLiteral(
    "CREATE TABLE articoli (id integer, nome text, prezzo numeric(10,2), arrivo date, attivo boolean, nota text);"
    "INSERT INTO articoli VALUES %1;"
    "INSERT INTO articoli SELECT 100 + i, 'Articolo ' || lpad(i::text, 5, '0'), i % 100, "
    "date '1990-01-01' + i, i % 2 = 1, CASE WHEN i % 2 = 0 THEN NULL ELSE 'n' END FROM generate_series(1, 10000) i;"
    "CREATE VIEW economici AS SELECT nome, prezzo FROM articoli WHERE prezzo < 10;");

bool creaSqlite(const QString& percorso)
{
    sqlite3* db = nullptr;
    if (sqlite3_open(QFile::encodeName(percorso).constData(), &db) != SQLITE_OK) return false;
    const bool ok =
        sqlite3_exec(db, kSqlite.arg(righeSpeciali()).toUtf8().constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

// Connections made by this process: Qt keeps a driver it has loaded.
int connessioni = 0;

struct Connessione {
    InterazioneScriptata ui;
    clsDatabase db{ui};
    bool apri(const QString& nome, const QString& password = {})
    {
        ++connessioni;
        db.SetNomeDatabase(nome);
        db.SetPasswordDb(password);
        return db.ConnettiDatabase();
    }
    // The names of a selection, the values written back into v, a, b.
    QStringList nomiRiscritti(const QString& campo, qint16 criterio, QString& v, QString& a, QString& b)
    {
        std::unique_ptr<Recordset> rs;
        db.ConnettiRecordset(rs, QStringLiteral("articoli"), campo, criterio, v, a, b);
        QStringList r;
        for (; !rs->Eof(); rs->MoveNext()) r << rs->Valore(QStringLiteral("nome")).toString();
        EXPECT_EQ(r.size(), rs->RecordCount());  // streamed and counted alike
        r.sort();
        return r;
    }
    QStringList nomi(const QString& campo, qint16 criterio, QString v, QString a = {}, QString b = {})
    {
        return nomiRiscritti(campo, criterio, v, a, b);
    }
    int conta(const QString& campo, qint16 criterio, QString v, QString a = {}, QString b = {})
    {
        return int(nomi(campo, criterio, v, a, b).size());
    }
};

// What every SQL source must do with the table above.
void verificaSelezioni(Connessione& k)
{
    test::LocaleTemporaneo locale{ImpostazioniLocali::italiano()};
    ElencoVoci tabelle;
    k.db.CaricaListaTabelle(tabelle);
    EXPECT_EQ(tabelle.voci, (QStringList{"articoli", "economici"}));  // tables and views
    ElencoVoci query;
    k.db.CaricaListaQueries(query);
    EXPECT_TRUE(query.voci.isEmpty());
    EXPECT_TRUE(k.db.EsisteTabellaOQuery(QStringLiteral("economici")));
    ElencoVoci campi;
    k.db.CaricaListaCampi(QStringLiteral("articoli"), campi);
    EXPECT_EQ(campi.voci, (QStringList{"id", "nome", "prezzo", "arrivo", "attivo", "nota"}));
    EXPECT_EQ(k.db.GetTipoCampo(QStringLiteral("articoli"), QStringLiteral("NOME")), 1);
    EXPECT_EQ(k.db.GetTipoCampo(QStringLiteral("articoli"), QStringLiteral("prezzo")), 0);
    EXPECT_EQ(k.db.GetTipoCampo(QStringLiteral("articoli"), QStringLiteral("arrivo")), 2);

    // all records, streamed and counted
    EXPECT_EQ(k.conta(QString(), 0, QString()), 10008);

    const struct {
        const char *campo, *v, *a, *b;
        QStringList nomi;
    } selezioni[] = {
        // text: equal without regard to case; quotes, wildcards and statements are only values
        {"nome", "vite", "", "", {"Vite"}},
        {"Nome", "O'Brien", "", "", {"O'Brien"}},
        {"nome", "%", "", "", {"%"}},
        {"nome", "_", "", "", {"_"}},
        {"nome", "'; DROP TABLE articoli; --", "", "", {"'; DROP TABLE articoli; --"}},
        {"nota", "'", "", "", {}},
        {"nome", nullptr, "rond", "VITE", {"Rondella", "Vite"}},
        // numbers as the user types them
        {"prezzo", "12,5", "", "", {"Dado", "vite grande"}},
        {"prezzo", "0.5 euro", "", "", {"Vite"}},
        // dates as Jet reads them: month/day/year
        {"arrivo", "3/1/2024", "", "", {"O'Brien", "Vite"}},
        {"arrivo", nullptr, "2/28/2024", "3/1/2024", {"O'Brien", "Rondella", "Vite"}},
    };
    for (const auto& c : selezioni) {
        SCOPED_TRACE(c.v ? c.v : c.a);
        EXPECT_EQ(k.nomi(QLatin1String(c.campo), c.v ? 1 : 2, QLatin1String(c.v ? c.v : ""), QLatin1String(c.a),
                         QLatin1String(c.b)),
                  c.nomi);
    }
    // both ends open: the sentinels, written back
    QString v, a, b;
    // (as in Jet, "%" sorts before the lower sentinel)
    EXPECT_EQ(k.nomiRiscritti(QStringLiteral("nota"), 2, v, a, b).size(), 5000 + 3);
    EXPECT_EQ(a, SentinellaTestoMin);
    EXPECT_EQ(b, SentinellaTestoMax);

    // an open upper end is 999999999999
    v.clear();
    a = QStringLiteral("1000001");
    b.clear();
    EXPECT_EQ(k.nomiRiscritti(QStringLiteral("prezzo"), 2, v, a, b).size(), 3);
    EXPECT_EQ(b, QStringLiteral("999999999999"));
    EXPECT_EQ(k.conta(QStringLiteral("id"), 2, QString(), QStringLiteral("101"), QStringLiteral("110")), 10);

    EXPECT_THROW(k.nomi(QStringLiteral("arrivo"), 1, QStringLiteral("ieri")), ErroreCartigo);

    // the values as linked objects print them
    std::unique_ptr<Recordset> rs;
    QString uno = QStringLiteral("3");
    k.db.ConnettiRecordset(rs, QStringLiteral("articoli"), QStringLiteral("id"), 1, uno, a, b);
    ASSERT_FALSE(rs->Eof());
    const auto f = modCartigo::FormatoTesto::italiano();
    EXPECT_EQ(k.db.NzCampo(*rs, QStringLiteral("prezzo"), f), QStringLiteral("12,5"));
    EXPECT_EQ(k.db.NzCampo(*rs, QStringLiteral("arrivo"), f), QString());  // NULL
    EXPECT_EQ(k.db.NzCampo(*rs, QStringLiteral("attivo"), f), QStringLiteral("Vero"));
    EXPECT_EQ(k.db.NzCampo(*rs, QStringLiteral("nota"), f), QStringLiteral("O'Brien"));
    rs.reset();
    uno = QStringLiteral("1");
    k.db.ConnettiRecordset(rs, QStringLiteral("articoli"), QStringLiteral("id"), 1, uno, a, b);
    EXPECT_EQ(k.db.NzCampo(*rs, QStringLiteral("arrivo"), f), QStringLiteral("01/03/2024"));
    EXPECT_EQ(k.db.NzCampo(*rs, QStringLiteral("prezzo"), modCartigo::FormatoTesto::inglese()), QStringLiteral("0.5"));
    rs.reset();

    // nothing was dropped or changed
    EXPECT_EQ(k.conta(QString(), 0, QString()), 10008);
    EXPECT_TRUE(k.ui.messaggi.isEmpty());
}

QByteArray impronta(const QString& percorso)
{
    return QCryptographicHash::hash(test::LeggiFile(percorso), QCryptographicHash::Sha256);
}

}  // namespace

TEST(SorgentiSql, SqliteFileTheTestMakes)
{
    test::AssicuraApplicazione();
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("magazzino.db"));
    ASSERT_TRUE(creaSqlite(file));
    const QByteArray prima = impronta(file);
    const auto modificato = QFileInfo(file).lastModified();
    {
        Connessione k;
        ASSERT_TRUE(k.apri(file)) << k.ui.messaggi.value(0).testo.toStdString();
        verificaSelezioni(k);
    }
    // read, never written
    EXPECT_EQ(impronta(file), prima);
    EXPECT_EQ(QFileInfo(file).lastModified(), modificato);
    EXPECT_FALSE(QFileInfo::exists(file + QStringLiteral("-journal")));

    // a ".db" file that is not SQLite is not taken for one
    ImpostaLingua(Lingua::Inglese);
    const QString falso = dir.filePath(QStringLiteral("falso.db"));
    test::ScriviFile(falso, QByteArray("SQLite format 2\0 and more", 25));
    Connessione n;
    EXPECT_FALSE(n.apri(falso));
    ASSERT_EQ(n.ui.messaggi.size(), 1);
    EXPECT_TRUE(n.ui.messaggi[0].testo.contains(QStringLiteral("Unhandled error")))
        << n.ui.messaggi[0].testo.toStdString();
}

TEST(SorgentiSql, PostgresServerOfTheTestsOwn)
{
    test::AssicuraApplicazione();
    test::ServerPostgres pg;
    if (!pg.avviato()) GTEST_SKIP() << pg.motivo().toStdString();
    ASSERT_TRUE(pg.Sql(kPostgres.arg(righeSpeciali()))) << pg.motivo().toStdString();
    Connessione k;
    ASSERT_TRUE(k.apri(pg.Indirizzo(), test::ServerPostgres::Password())) << k.ui.messaggi.value(0).testo.toStdString();
    verificaSelezioni(k);
    EXPECT_EQ(pg.Valore(QStringLiteral("SELECT count(*) FROM articoli")), QStringLiteral("10008"));
}

TEST(SorgentiSql, PostgresPasswordsAndRefusedConnections)
{
    ImpostaLingua(Lingua::Inglese);
    test::AssicuraApplicazione();
    test::ServerPostgres pg;
    if (!pg.avviato()) GTEST_SKIP() << pg.motivo().toStdString();
    qunsetenv("PGPASSWORD");
    qputenv("PGPASSFILE", QFile::encodeName(pg.Cartella() + QStringLiteral("/nessuno")));

    // no password: asked, again after a wrong one, then kept for the run only
    Connessione k;
    QStringList motivi;
    QStringList risposte = {QStringLiteral("sbagliata"), test::ServerPostgres::Password()};
    k.ui.gestoriDialogo[RichiestaPasswordDatabase::Nome] = [&](RichiestaDialogo& d) {
        auto& r = static_cast<RichiestaPasswordDatabase&>(d);
        EXPECT_EQ(r.Indirizzo, pg.Indirizzo());
        motivi << r.Motivo;
        r.Password = risposte.takeFirst();
        r.Confermato = true;
        return true;
    };
    ASSERT_TRUE(k.apri(pg.Indirizzo()));
    ASSERT_EQ(motivi.size(), 2);
    EXPECT_TRUE(motivi[0].startsWith(LoadResString(1810).arg(pg.Indirizzo(), QString()))) << motivi[0].toStdString();
    EXPECT_TRUE(k.db.PasswordDb().isEmpty());
    EXPECT_TRUE(k.ui.messaggi.isEmpty());
    ASSERT_TRUE(k.apri(pg.Indirizzo()));  // not asked again
    EXPECT_EQ(motivi.size(), 2);

    // cancelled: the server's refusal is shown
    Connessione annullata;
    annullata.ui.gestoriDialogo[RichiestaPasswordDatabase::Nome] = [](RichiestaDialogo&) { return false; };
    EXPECT_FALSE(annullata.apri(pg.Indirizzo()));
    ASSERT_EQ(annullata.ui.messaggi.size(), 1);
    EXPECT_TRUE(annullata.ui.messaggi[0].testo.startsWith(QStringLiteral("Cannot connect to the database ") +
                                                          pg.Indirizzo() + QLatin1Char(':')));
    EXPECT_EQ(annullata.db.UltimoErrore(), ErroreJet::PasswordRichiesta);

    // PGPASSWORD, as libpq users expect; a password in the address too
    qputenv("PGPASSWORD", test::ServerPostgres::Password().toUtf8());
    Connessione ambiente;
    EXPECT_TRUE(ambiente.apri(pg.Indirizzo()));
    EXPECT_TRUE(ambiente.ui.dialoghi.isEmpty());
    qunsetenv("PGPASSWORD");
    qunsetenv("PGPASSFILE");
    Connessione nellIndirizzo;
    EXPECT_TRUE(
        nellIndirizzo.apri(QStringLiteral("postgresql://cartigo:%1@127.0.0.1:%2/etichette")
                               .arg(QString::fromLatin1(QUrl::toPercentEncoding(test::ServerPostgres::Password())))
                               .arg(pg.Porta())));
    EXPECT_EQ(NomeDatabaseVisibile(nellIndirizzo.db.NomeDatabase()), pg.Indirizzo());  // shown without it

    // a port where no server listens, a database that does not exist, an address that is not one
    const struct {
        QString indirizzo, contiene;
    } rifiuti[] = {
        {QStringLiteral("postgresql://cartigo@127.0.0.1:%1/etichette").arg(test::PortaLibera()),
         QStringLiteral("Connection refused")},
        {pg.Indirizzo(QStringLiteral("nessuno")), QStringLiteral("nessuno")},
        {QStringLiteral("postgresql://127.0.0.1"), LoadResString(1819)},
    };
    for (const auto& r : rifiuti) {
        Connessione c;
        EXPECT_FALSE(c.apri(r.indirizzo, test::ServerPostgres::Password()));
        ASSERT_EQ(c.ui.messaggi.size(), 1);
        EXPECT_TRUE(c.ui.messaggi[0].testo.startsWith(QStringLiteral("Cannot connect to the database ")));
        EXPECT_TRUE(c.ui.messaggi[0].testo.contains(r.contiene)) << c.ui.messaggi[0].testo.toStdString();
        EXPECT_EQ(c.ui.messaggi[0].titolo, QStringLiteral("objDatabase"));
    }
}

// A server that takes the connection and never says a word: the wait is asked about all
// along (a wait window stays alive), and giving up ends it at once, without a message.
TEST(SorgentiSql, ASilentServerIsWaitedForWhereItCanBeGivenUp)
{
    test::AssicuraApplicazione();
    const test::ServerMuto muto;
    ASSERT_GT(muto.Porta(), 0);

    Connessione k;
    int domande = 0, attese = 0;
    QElapsedTimer t;
    k.db.attesa = [&]() -> Interruzione {
        ++attese;
        return [&](qint64) {
            ++domande;
            return t.elapsed() > 1000;
        };
    };
    t.start();
    EXPECT_FALSE(k.apri(QStringLiteral("postgresql://cartigo@127.0.0.1:%1/etichette").arg(muto.Porta()),
                        QStringLiteral("x")));
    EXPECT_LT(t.elapsed(), 3000);
    EXPECT_GE(domande, 10);
    EXPECT_EQ(attese, 1);
    EXPECT_TRUE(k.ui.messaggi.isEmpty());
    EXPECT_FALSE(k.db.Connesso());
}

TEST(SorgentiSql, AMissingDriverNamesItsPackage)
{
    if (connessioni > 0) GTEST_SKIP() << "a driver is already loaded in this process (ctest runs each test alone)";
    ImpostaLingua(Lingua::Inglese);
    test::AssicuraApplicazione();
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("magazzino.sqlite"));
    ASSERT_TRUE(creaSqlite(file));
    // No folder to find Qt's plugins in: the drivers are not there.
    const QStringList cartelle = QCoreApplication::libraryPaths();
    QCoreApplication::setLibraryPaths({dir.path()});
    Connessione k;
    const bool aperto = k.apri(file);
    QCoreApplication::setLibraryPaths(cartelle);
    EXPECT_FALSE(aperto);
    ASSERT_EQ(k.ui.messaggi.size(), 1);
    EXPECT_EQ(k.ui.messaggi[0].testo,
              LoadResString(1813).arg(QStringLiteral("QSQLITE"), QStringLiteral("libqt6sql6-sqlite")));
    EXPECT_EQ(k.db.UltimoErrore(), ErroreJet::DriverMancante);
}
