// End to end with SQL sources and spreadsheets: cartigo-print reads a SQLite file, a PostgreSQL server of
// the test's own and a workbook, prints merge fields, and the PDF's text says what was printed.
#include "common/ServerCups.h"
#include "common/ServerPostgres.h"
#include "common/TestSupport.h"

#include <sqlite3.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QUrl>

using namespace cartigo;

namespace {

using Esito = test::EsitoProgramma;

Esito stampa(const QStringList& argomenti,
             const QProcessEnvironment& ambiente = QProcessEnvironment::systemEnvironment())
{
    return test::EseguiProgramma(QStringLiteral(CARTIGO_PRINT), argomenti, ambiente, 300000);
}

// The PDF's text, one line per text box.
QStringList testo(const QString& pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    p.waitForFinished(120000);
    QStringList righe;
    for (const QString& r : QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n')))
        for (const QString& parte : r.split(QRegularExpression(QStringLiteral("\\s{3,}")), Qt::SkipEmptyParts))
            if (!parte.trimmed().isEmpty()) righe << parte.trimmed();
    return righe;
}

// A label of 3 x 8 labels, bound to `database` and `tabella` with the selection given,
// its texts one line each.
QString etichetta(const QString& cartella, const QString& database, const QString& tabella,
                  const QStringList& selezione, const QStringList& testi)
{
    QStringList r = {QStringLiteral("oggDatabase"), database, QString(), tabella};
    r << (selezione.isEmpty() ? QStringList{QString(), QStringLiteral(" 0 "), QString(), QString(), QString()}
                              : selezione);
    r << QStringLiteral("False") << QString() << QStringLiteral("oggLayout");
    for (const char* v : {" 3 ", " 8 ", " 5 ", " 10 ", " 66 ", " 33 ", " 3 ", " 2 ", " -4 ", " 0 "})
        r << QString::fromLatin1(v);
    int top = 150;
    for (const QString& t : testi) {
        r << QStringLiteral("oggTesto") << QStringLiteral(" 200 ") << QStringLiteral(" %1 ").arg(top)
          << QStringLiteral(" 3400 ") << QStringLiteral(" 280 ") << t << QStringLiteral("Arial")
          << QStringLiteral(" 9 ") << QStringLiteral("False") << QStringLiteral("False") << QStringLiteral(" 0 ")
          << QStringLiteral(" 0 ") << QStringLiteral(" 16777215 ") << QStringLiteral(" 0 ") << QString()
          << QStringLiteral(" 0 ");
        top += 300;
    }
    const QString file = QDir(cartella).filePath(QStringLiteral("etichetta.eti"));
    test::ScriviFile(file, (r.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8());
    return file;
}

QStringList selezione(const char* campo, int criterio, const QString& v1, const QString& v2 = {},
                      const QString& v3 = {})
{
    return {QString::fromLatin1(campo), QStringLiteral(" %1 ").arg(criterio), v1, v2, v3};
}

bool pdftotext(std::string* manca)
{
    if (!QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()) return true;
    *manca = "pdftotext not found: install poppler-utils";
    return false;
}

// Files left in a folder, hidden ones (a temporary output) included.
QStringList file(const QString& cartella)
{
    return QDir(cartella).entryList(QDir::Files | QDir::Hidden);
}

}  // namespace

TEST(StampaSql, SqliteFileAndMergeFields)
{
    std::string manca;
    if (!pdftotext(&manca)) GTEST_SKIP() << manca;
    QTemporaryDir dir;
    const QString db = dir.filePath(QStringLiteral("clienti.sqlite"));
    {
        sqlite3* s = nullptr;
        ASSERT_EQ(sqlite3_open(QFile::encodeName(db).constData(), &s), SQLITE_OK);
        EXPECT_EQ(sqlite3_exec(s,
                               "CREATE TABLE clienti (nome TEXT, cognome TEXT, cap TEXT, citta TEXT, saldo REAL);"
                               "INSERT INTO clienti VALUES ('Anna','Rossi','20121','Milano',12.5),"
                               "('Marco','Bianchi','00184','Roma',NULL),('Lucia','Verdi','20122','milano',3);",
                               nullptr, nullptr, nullptr),
                  SQLITE_OK);
        sqlite3_close(s);
    }
    const QString eti = etichetta(dir.path(), QStringLiteral("clienti.sqlite"), QStringLiteral("clienti"),
                                  selezione("citta", 1, QStringLiteral("MILANO")),
                                  {QStringLiteral("Gentile ${nome} ${cognome}"), QStringLiteral("${cap} ${citta}"),
                                   QStringLiteral("Saldo: ${saldo} $${saldo}"), QStringLiteral("${Nmae}")});
    const QString pdf = dir.filePath(QStringLiteral("clienti.pdf"));
    auto ambiente = QProcessEnvironment::systemEnvironment();
    ambiente.insert(QStringLiteral("LANGUAGE"), QStringLiteral("en"));
    const Esito e = stampa({eti, QStringLiteral("--pdf"), pdf}, ambiente);
    // printed, the unknown name reported once with its record
    EXPECT_EQ(e.codice, 1) << e.err.toStdString();
    EXPECT_TRUE(e.out.startsWith(QStringLiteral("2 labels, 1 pages"))) << e.out.toStdString();
    EXPECT_EQ(e.err.count(QStringLiteral("${Nmae}")), 1) << e.err.toStdString();
    EXPECT_TRUE(e.err.contains(QStringLiteral("Record 1: \"${Nmae}\""))) << e.err.toStdString();
    EXPECT_EQ(testo(pdf), (QStringList{"Gentile Anna Rossi", "Gentile Lucia Verdi", "20121 Milano", "20122 milano",
                                       "Saldo: 12.5 ${saldo}", "Saldo: 3 ${saldo}", "${Nmae}", "${Nmae}"}));
    // --keep-going takes the warning as such
    EXPECT_EQ(stampa({eti, QStringLiteral("--keep-going"), QStringLiteral("--pdf"), pdf}, ambiente).codice, 0);

    // a damaged file: SQLite's own explanation, without an error number before it
    QByteArray danneggiato = test::LeggiFile(db);
    danneggiato.replace(100, 400, QByteArray(400, '\xA5'));
    test::ScriviFile(db, danneggiato);
    const Esito d = stampa({eti, QStringLiteral("--pdf"), pdf}, ambiente);
    EXPECT_EQ(d.codice, 1);
    EXPECT_TRUE(d.err.contains(QStringLiteral("cartigo-print: The file ") + db +
                               QStringLiteral(" is not a readable SQLite database: ")))
        << d.err.toStdString();
    EXPECT_FALSE(d.err.contains(QStringLiteral("Code:"))) << d.err.toStdString();
}

// A server that takes the connection and never says a word: each connection made to it
// gives up in its time, and the job ends with the message.
TEST(StampaSql, ASilentServerEndsTheJob)
{
    // a listening socket: the system accepts connections for it; it never reads nor writes
    const test::ServerMuto muto;
    ASSERT_GT(muto.Porta(), 0);
    QTemporaryDir dir;
    const QString indirizzo = QStringLiteral("postgresql://cartigo@127.0.0.1:%1/etichette").arg(muto.Porta());
    const QString eti = etichetta(dir.path(), indirizzo, QStringLiteral("clienti"), {}, {QStringLiteral("${id}")});
    auto ambiente = QProcessEnvironment::systemEnvironment();
    ambiente.insert(QStringLiteral("LANGUAGE"), QStringLiteral("en"));
    ambiente.insert(QStringLiteral("PGPASSWORD"), QStringLiteral("x"));
    QElapsedTimer t;
    t.start();
    const Esito e = test::EseguiProgramma(QStringLiteral(CARTIGO_PRINT), {eti, QStringLiteral("--pdf"),
                                          dir.filePath(QStringLiteral("x.pdf"))}, ambiente, 60000);
    EXPECT_EQ(e.codice, 1) << e.err.toStdString();
    EXPECT_LT(t.elapsed(), 40000);
    EXPECT_TRUE(e.err.contains(QStringLiteral("Cannot connect to the database"))) << e.err.toStdString();
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("x.pdf"))));
}

// A view without end, in a SQLite file and on a PostgreSQL server: --count reads only the
// records it prints, --timeout bounds the count that all of them would need, and a
// server's statement whose first record never comes.
TEST(StampaSql, AQueryWithoutEndIsReadInPartOrBounded)
{
    std::string manca;
    if (!pdftotext(&manca)) GTEST_SKIP() << manca;
    QTemporaryDir dir;
    const QString db = dir.filePath(QStringLiteral("numeri.sqlite"));
    {
        sqlite3* s = nullptr;
        ASSERT_EQ(sqlite3_open(QFile::encodeName(db).constData(), &s), SQLITE_OK);
        EXPECT_EQ(sqlite3_exec(s,
                               "CREATE VIEW numeri AS WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c) "
                               "SELECT x FROM c",
                               nullptr, nullptr, nullptr),
                  SQLITE_OK);
        sqlite3_close(s);
    }
    const QString pdf = dir.filePath(QStringLiteral("numeri.pdf"));
    const auto limitata = [&](const QString& eti, const QStringList& quante, const QProcessEnvironment& ambiente) {
        QFile::remove(pdf);
        QElapsedTimer t;
        t.start();
        const Esito e = stampa(QStringList{eti} + quante +
                                   QStringList{QStringLiteral("--timeout"), QStringLiteral("2"),
                                               QStringLiteral("--pdf"), pdf},
                               ambiente);
        EXPECT_EQ(e.codice, 1);
        EXPECT_LT(t.elapsed(), 30000);
        EXPECT_TRUE(e.err.contains(QStringLiteral("The database did not give its records within 2 seconds.")))
            << e.err.toStdString();
        EXPECT_FALSE(QFile::exists(pdf));
    };
    const auto verifica = [&](const QString& database, const QProcessEnvironment& ambiente) {
        const QString eti = etichetta(dir.path(), database, QStringLiteral("numeri"), {}, {QStringLiteral("n. ${x}")});
        const Esito e =
            stampa({eti, QStringLiteral("--count"), QStringLiteral("4"), QStringLiteral("--pdf"), pdf}, ambiente);
        ASSERT_EQ(e.codice, 0) << e.err.toStdString();
        EXPECT_EQ(testo(pdf), (QStringList{"n. 1", "n. 2", "n. 3", "n. 4"}));
        limitata(eti, {QStringLiteral("--all")}, ambiente);
    };
    auto ambiente = QProcessEnvironment::systemEnvironment();
    ambiente.insert(QStringLiteral("LANGUAGE"), QStringLiteral("en"));
    {
        SCOPED_TRACE("SQLite");
        verifica(QStringLiteral("numeri.sqlite"), ambiente);
    }

    test::ServerPostgres pg;
    if (!pg.avviato()) GTEST_SKIP() << pg.motivo().toStdString();
    ASSERT_TRUE(pg.Sql(QStringLiteral(
        "CREATE VIEW numeri AS WITH RECURSIVE c(x) AS (SELECT CAST(1 AS bigint) UNION ALL SELECT x + 1 FROM c) "
        "SELECT x FROM c;"
        "CREATE VIEW lenta AS SELECT v.x FROM (SELECT pg_sleep(120)) s, (VALUES (1)) v(x);")))
        << pg.motivo().toStdString();
    auto server = pg.Ambiente(true);
    server.insert(QStringLiteral("LANGUAGE"), QStringLiteral("en"));
    SCOPED_TRACE("PostgreSQL");
    verifica(pg.Indirizzo(), server);
    limitata(etichetta(dir.path(), pg.Indirizzo(), QStringLiteral("lenta"), {}, {QStringLiteral("${x}")}),
             {QStringLiteral("--count"), QStringLiteral("1")}, server);
    // every statement stopped: nothing left running on the server (a backend ends a moment
    // after its program)
    QString attivi;
    for (int i = 0; i < 50 && attivi != QLatin1String("0"); ++i, QThread::msleep(100))
        attivi = pg.Valore(QStringLiteral("SELECT count(*) FROM pg_stat_activity WHERE state = 'active' "
                                          "AND pid <> pg_backend_pid()"));
    EXPECT_EQ(attivi, QStringLiteral("0"));
}

TEST(StampaSql, PostgresSelectionsPasswordsAndAServerThatGoesAway)
{
    std::string manca;
    if (!pdftotext(&manca)) GTEST_SKIP() << manca;
    test::ServerPostgres pg;
    if (!pg.avviato()) GTEST_SKIP() << pg.motivo().toStdString();
    // 10,000 rows of texts, numbers, dates and NULLs, and the values a criterion must take literally
    ASSERT_TRUE(pg.Sql(QStringLiteral(
        "CREATE TABLE clienti (id integer, nome text, saldo numeric(10,2), nato date, nota text);"
        "INSERT INTO clienti SELECT i, 'Cliente ' || i, i % 1000, date '1950-01-01' + i, "
        "CASE WHEN i % 3 = 0 THEN NULL ELSE 'n' || i END FROM generate_series(1, 10000) i;"
        "INSERT INTO clienti VALUES (10001, 'O''Brien', 0.5, NULL, NULL), (10002, '%', NULL, NULL, NULL),"
        "(10003, '_', NULL, NULL, NULL), (10004, '''; DROP TABLE clienti; --', NULL, NULL, NULL);")))
        << pg.motivo().toStdString();
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("clienti.pdf"));
    auto ambiente = pg.Ambiente(true);
    ambiente.insert(QStringLiteral("LANGUAGE"), QStringLiteral("en"));
    const QStringList testi = {QStringLiteral("${id}: ${nome}"), QStringLiteral("${saldo} / ${nato} / [${nota}]")};
    const auto stampaCon = [&](const QStringList& sel, const QStringList& altro = {},
                               const QProcessEnvironment& a = {}) {
        const QString eti = etichetta(dir.path(), pg.Indirizzo(), QStringLiteral("clienti"), sel, testi);
        return stampa(QStringList{eti} + altro + QStringList{QStringLiteral("--pdf"), pdf}, a.isEmpty() ? ambiente : a);
    };

    // a value that is a statement selects its one record and drops nothing (every literal value,
    // case and date of a criterion: SorgentiSql.PostgresServerOfTheTestsOwn)
    {
        const QString valore = QStringLiteral("'; DROP TABLE clienti; --");
        const Esito e = stampaCon(selezione("nome", 1, valore));
        ASSERT_EQ(e.codice, 0) << e.err.toStdString();
        EXPECT_TRUE(e.out.startsWith(QStringLiteral("1 labels, 1 pages"))) << e.out.toStdString();
        EXPECT_TRUE(testo(pdf).first().endsWith(QStringLiteral(": ") + valore)) << testo(pdf).join('|').toStdString();
        EXPECT_EQ(pg.Valore(QStringLiteral("SELECT count(*) FROM clienti")), QStringLiteral("10004"));
    }
    // numbers and dates printed as the other sources print them; NULLs print empty
    {
        const Esito e = stampaCon(selezione("saldo", 2, QString(), QStringLiteral("998"), QString()));
        ASSERT_EQ(e.codice, 0) << e.err.toStdString();
        EXPECT_TRUE(e.out.startsWith(QStringLiteral("20 labels, 1 pages"))) << e.out.toStdString();
        const QStringList t = testo(pdf);
        EXPECT_TRUE(t.contains(QStringLiteral("998: Cliente 998")));
        EXPECT_TRUE(t.contains(QStringLiteral("999 / 9/26/1952 / []"))) << t.join('|').toStdString();  // NULL note
    }

    // the password: --password, PGPASSWORD, ~/.pgpass; none says where it goes
    const QStringList uno = selezione("id", 1, QStringLiteral("7"));
    auto senza = pg.Ambiente(false);
    senza.insert(QStringLiteral("LANGUAGE"), QStringLiteral("en"));
    EXPECT_EQ(stampaCon(uno, {QStringLiteral("--password"), test::ServerPostgres::Password()}, senza).codice, 0);
    EXPECT_EQ(stampaCon(uno, {}, ambiente).codice, 0);  // PGPASSWORD
    {
        const QString pgpass = pg.Cartella() + QStringLiteral("/.pgpass");
        test::ScriviFile(pgpass, QStringLiteral("127.0.0.1:%1:etichette:cartigo:%2\n")
                                     .arg(pg.Porta())
                                     .arg(test::ServerPostgres::Password())
                                     .toUtf8());
        QFile::setPermissions(pgpass, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        EXPECT_EQ(stampaCon(uno, {}, senza).codice, 0);
        QFile::remove(pgpass);
    }
    {
        QFile::remove(pdf);
        const Esito e = stampaCon(uno, {}, senza);
        EXPECT_EQ(e.codice, 1);
        EXPECT_TRUE(e.err.contains(QStringLiteral("Cannot connect to the database ") + pg.Indirizzo()))
            << e.err.toStdString();
        EXPECT_TRUE(e.err.contains(QStringLiteral("--password, in PGPASSWORD or in ~/.pgpass"))) << e.err.toStdString();
        EXPECT_FALSE(e.err.contains(test::ServerPostgres::Password()));
        EXPECT_FALSE(QFile::exists(pdf));
    }

    // the server goes away while the records are read: the message, and no output at all
    ASSERT_TRUE(
        pg.Sql(QStringLiteral("CREATE TABLE grande AS SELECT i AS id, repeat('x', 4000) AS riempitivo "
                              "FROM generate_series(1, 30000) i")));
    const QString eti = etichetta(dir.path(), pg.Indirizzo(), QStringLiteral("grande"), {}, {QStringLiteral("${id}")});
    const QString uscita = QDir(dir.path()).filePath(QStringLiteral("uscita")) + QStringLiteral("/grande.pdf");
    QDir(dir.path()).mkdir(QStringLiteral("uscita"));
    QProcess p;
    p.setProcessEnvironment(ambiente);
    p.start(QStringLiteral(CARTIGO_PRINT), {eti, QStringLiteral("--pdf"), uscita});
    ASSERT_TRUE(p.waitForStarted());
    // under way once the pages have started to reach the temporary file beside the output
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 60000 && p.state() == QProcess::Running &&
           file(dir.filePath(QStringLiteral("uscita"))).isEmpty())
        QThread::msleep(10);
    ASSERT_EQ(p.state(), QProcess::Running) << "the job ended before the server could be stopped";
    ASSERT_TRUE(pg.Ferma());
    ASSERT_TRUE(p.waitForFinished(120000));
    const QString err = QString::fromUtf8(p.readAllStandardError());
    EXPECT_EQ(p.exitCode(), 1) << err.toStdString();
    EXPECT_TRUE(err.contains(QStringLiteral("The database ") + pg.Indirizzo() +
                             QStringLiteral(" stopped answering while its records were being read")))
        << err.toStdString();
    EXPECT_TRUE(err.contains(QStringLiteral("Nothing was printed."))) << err.toStdString();
    EXPECT_EQ(file(dir.filePath(QStringLiteral("uscita"))), QStringList{});
}

// A sheet of 1,000 rows prints as the same rows from a CSV file do; a damaged workbook
// prints nothing and says why.
TEST(StampaFoglio, ThousandRowsAsFromCsvAndNothingFromADamagedFile)
{
    std::string manca;
    if (!pdftotext(&manca)) GTEST_SKIP() << manca;
    QTemporaryDir dir;
    auto ambiente = QProcessEnvironment::systemEnvironment();
    ambiente.insert(QStringLiteral("LANGUAGE"), QStringLiteral("en"));
    QStringList pagine[2];
    const QString nomi[2] = {QStringLiteral("articoli.xlsx"), QStringLiteral("articoli.csv")};
    for (int i = 0; i < 2; ++i) {
        const QString file = dir.filePath(nomi[i]);
        const auto e = test::EseguiProgramma(QStringLiteral("/usr/bin/python3"),
                                             {QStringLiteral(CARTIGO_FOGLI_PY), QStringLiteral("righe"),
                                              QStringLiteral("1000"), file});
        if (e.codice == 3 || !QFileInfo::exists(QStringLiteral("/usr/bin/python3")))
            GTEST_SKIP() << e.out.trimmed().toStdString();
        ASSERT_EQ(e.codice, 0) << e.err.toStdString();
        const QString eti = etichetta(dir.path(), nomi[i], i ? QStringLiteral("articoli") : QStringLiteral("Articoli"),
                                      selezione("Prezzo", 2, QString(), QStringLiteral("0"), QStringLiteral("200")),
                                      {QStringLiteral("${Codice}: ${Nome}"),
                                       QStringLiteral("${Prezzo} / ${Arrivo} ${Reparto}")});
        const QString pdf = dir.filePath(QStringLiteral("%1.pdf").arg(i));
        const Esito s = stampa({eti, QStringLiteral("--pdf"), pdf}, ambiente);
        ASSERT_EQ(s.codice, 0) << s.err.toStdString();
        EXPECT_TRUE(s.out.startsWith(QStringLiteral("801 labels, 34 pages"))) << s.out.toStdString();
        pagine[i] = testo(pdf);
    }
    EXPECT_EQ(pagine[0].size(), 1602);
    EXPECT_EQ(pagine[0], pagine[1]);
    EXPECT_TRUE(pagine[0].contains(QStringLiteral("A000001: Articolo 1"))) << pagine[0].mid(0, 4).join('|').toStdString();

    // half of the workbook: a message, exit 1, no output file
    const QByteArray dati = test::LeggiFile(dir.filePath(nomi[0]));
    test::ScriviFile(dir.filePath(nomi[0]), dati.left(dati.size() / 2));
    const QString pdf = dir.filePath(QStringLiteral("rotto.pdf"));
    const Esito s = stampa({QDir(dir.path()).filePath(QStringLiteral("etichetta.eti")), QStringLiteral("--db"),
                            dir.filePath(nomi[0]), QStringLiteral("--pdf"), pdf},
                           ambiente);
    EXPECT_EQ(s.codice, 1) << s.err.toStdString();
    EXPECT_TRUE(s.err.contains(QStringLiteral("is damaged or incomplete and cannot be read"))) << s.err.toStdString();
    EXPECT_FALSE(QFile::exists(pdf));
}
