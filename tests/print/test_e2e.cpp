// End to end: cartigo-print writes a PDF, poppler renders it, zbar reads every barcode.
#include "common/TestSupport.h"
#include "label/GestoreEtichetta.h"
#include "shell/StringTable.h"
#include "stampora/FileStampa.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <unistd.h>

using namespace cartigo;

namespace {

using Esito = test::EsitoProgramma;

Esito esegui(const QString& programma, const QStringList& argomenti, int attesaMs = 120000,
             const QString& cartella = {},
             const QProcessEnvironment& ambiente = QProcessEnvironment::systemEnvironment())
{
    return test::EseguiProgramma(programma, argomenti, ambiente, attesaMs, cartella);
}

Esito stampa(const QStringList& argomenti) { return esegui(QStringLiteral(CARTIGO_PRINT), argomenti); }

// The first of pdfinfo, pdftoppm, zbarimg and `altri` that is not installed, or nothing.
QString strumentoMancante(const QStringList& altri = {})
{
    for (const QString& t : QStringList{"pdfinfo", "pdftoppm", "zbarimg"} + altri)
        if (QStandardPaths::findExecutable(t).isEmpty()) return t;
    return {};
}
#define CARTIGO_RICHIEDI_STRUMENTI(...)                                           \
    if (const QString manca_ = strumentoMancante(__VA_ARGS__); !manca_.isEmpty()) \
    GTEST_SKIP() << manca_.toStdString() << " not found: install poppler-utils and zbar-tools"

// A file of the project's samples.
QString campione(const QString& nome)
{
    return QStringLiteral(CARTIGO_SOURCE_DIR "/samples/") + nome;
}

int pagine(const QString& pdf)
{
    const auto e = esegui(QStringLiteral("pdfinfo"), {pdf});
    const auto m = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(e.out);
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// Every symbol on every page of a PDF rendered at 200 dpi, as "TYPE:data": what zbarimg reads
// (UPC-A and UPC-E as themselves), or with `dataMatrix` given what the three readers read, with
// that many Data Matrix symbols a page.
QStringList simboli(const QString& pdf, const QString& cartella, std::optional<int> dataMatrix = {})
{
    const QString radice = QDir(cartella).filePath("pagina");
    if (esegui(QStringLiteral("pdftoppm"), {"-r", "200", "-gray", "-png", pdf, radice}).codice != 0) return {};
    QStringList letti;
    for (const QString& png : QDir(cartella).entryList({QStringLiteral("pagina*.png")}, QDir::Files, QDir::Name)) {
        const QString file = QDir(cartella).filePath(png);
        letti << (dataMatrix ? test::LeggiTutti(file, *dataMatrix) : test::LeggiZbar(file)).value_or(QStringList());
    }
    return letti;
}

QByteArray righe(const QStringList& r)
{
    return (r.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8();
}

// The lines of a label file: the binding to `tabella` of `database` (selecting by `criterio`
// on `campo`), the sheet of `across` x `down` labels of `w` x `h` mm with margins and gaps of
// `margini` mm, a text object and a barcode object (position and size in twips).
QStringList database(const QString& database, const QString& tabella, const QString& campo = {}, int criterio = 0,
                     const QString& valore = {})
{
    return {"oggDatabase", database, "", tabella, campo, QString::number(criterio), valore, "", "", "False", ""};
}
QStringList layout(int across, int down, int w, int h, int margini = 10)
{
    const QString m = QString::number(margini), n[] = {QString::number(across), QString::number(down)};
    return {"oggLayout", n[0], n[1], m, m, QString::number(w), QString::number(h), m, m, " 0 ", " 0 "};
}
QStringList testo(int x, int y, int w, int h, const QString& caption, const QString& campo)
{
    const QString n[] = {QString::number(x), QString::number(y), QString::number(w), QString::number(h)};
    return {"oggTesto", n[0], n[1], n[2], n[3], caption, "Arial", " 10 ", "False", "False", " 0 ", " 0 ",
            " 16777215 ", " 0 ", campo, " 0 "};
}
QStringList barcode(int x, int y, int w, int h, const QString& tag, const QString& campo, const QString& dati)
{
    const QString n[] = {QString::number(x), QString::number(y), QString::number(w), QString::number(h)};
    return {"oggImmagine", n[0], n[1], n[2], n[3], tag, campo, dati, " 0 "};
}
// A label on `across` x `down` labels of `w` x `h` mm, bound to `csv`'s one table when one is given.
QStringList intestazione(const QString& csv, int across, int down, int w, int h)
{
    return database(csv, csv.isEmpty() ? QString() : QFileInfo(csv).completeBaseName()) + layout(across, down, w, h);
}

}  // namespace

TEST(StampaBatch, EveryCustomerOfNorthwindGetsItsLabel)
{
    CARTIGO_RICHIEDI_TESTDATA(dati);
    CARTIGO_RICHIEDI_STRUMENTI();
    QTemporaryDir dir;
    const QString etichetta = dir.filePath("clienti.eti");
    test::ScriviFile(etichetta, righe(database(dati + "/mdb/nwind.mdb", "Customers") +
                                      testo(113, 113, 4200, 300, "[CompanyName]", "CompanyName") +
                                      barcode(567, 600, 3400, 1500, "00", "CustomerID", "")));
    const QString pdf = dir.filePath("clienti.pdf");
    const auto e = stampa({etichetta, "--all", "--pdf", pdf});
    ASSERT_EQ(e.codice, 0) << e.err.toStdString();
    EXPECT_TRUE(e.out.startsWith(QStringLiteral("91 labels, 12 pages, "))) << e.out.toStdString();
    EXPECT_EQ(pagine(pdf), 12);  // 91 labels, 8 a page

    // the customers' codes, read by mdbtools' own export
    QSet<QString> attesi;
    const auto export_ = esegui(QStringLiteral("mdb-export"), {dati + QStringLiteral("/mdb/nwind.mdb"),
                                                               QStringLiteral("Customers")});
    if (export_.codice == 0) {
        // a record starts with its quoted five-letter code (addresses may span lines)
        const QRegularExpression codice(QStringLiteral("^\"([A-Z]{5})\","), QRegularExpression::MultilineOption);
        for (auto it = codice.globalMatch(export_.out); it.hasNext();)
            attesi.insert(QStringLiteral("CODE-39:") + it.next().captured(1));
        EXPECT_EQ(attesi.size(), 91);
    }
    const QStringList letti = simboli(pdf, dir.path());
    EXPECT_EQ(letti.size(), 91);
    if (!attesi.isEmpty()) {
        EXPECT_EQ(QSet<QString>(letti.begin(), letti.end()), attesi);
    }
}

TEST(StampaBatch, SampleAddressesWithEan13AndCode39)
{
    CARTIGO_RICHIEDI_STRUMENTI();
    QTemporaryDir dir;
    const QString pdf = dir.filePath("indirizzi.pdf");
    const auto e = stampa({campione("indirizzi.eti"), "--pdf", pdf});
    ASSERT_EQ(e.codice, 0) << e.err.toStdString();
    EXPECT_EQ(pagine(pdf), 3);
    QSet<QString> attesi;
    QFile csv(campione("indirizzi.csv"));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const QStringList righeCsv = QString::fromUtf8(csv.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts).mid(1);
    for (const QString& r : righeCsv) {
        const QStringList c = r.split(QLatin1Char(','));
        attesi << QStringLiteral("EAN-13:") + c.at(c.size() - 2) << QStringLiteral("CODE-39:") + c.last();
    }
    const QStringList letti = simboli(pdf, dir.path());
    EXPECT_EQ(letti.size(), 2 * righeCsv.size());
    EXPECT_EQ(QSet<QString>(letti.begin(), letti.end()), attesi);
}

TEST(StampaBatch, FailuresSayWhyAndLeaveNoOutput)
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath("x.pdf");
    const QString sample = campione("indirizzi.eti");
    const QString csv = campione("indirizzi.csv");
    const QString etichetta = dir.filePath("campo.eti");
    test::ScriviFile(etichetta, righe(database(csv, "indirizzi") + testo(0, 0, 1000, 300, "x", "telefono")));
    struct Caso {
        const char* nome;
        QStringList argomenti;
        const char* messaggio;
    } casi[] = {
        {"missing label", {dir.filePath("manca.eti"), "--pdf", pdf}, "not found"},
        {"unknown option", {sample, "--colour", "--pdf", pdf}, "unknown option"},
        {"bad count", {sample, "--count", "0", "--pdf", pdf}, "--count"},
        {"missing database", {sample, "--db", dir.filePath("manca.mdb"), "--pdf", pdf}, "database"},
        {"field the data lacks", {etichetta, "--pdf", pdf}, "telefono"},
        {"folder that does not exist", {sample, "--pdf", dir.filePath("no/x.pdf")}, "cannot write"},
        {"too many copies", {sample, "--printer", "x", "--copies", "1000"}, "--copies needs a number from 1 to 999"},
    };
    for (const auto& c : casi) {
        const auto e = stampa(c.argomenti);
        EXPECT_NE(e.codice, 0) << c.nome;
        EXPECT_TRUE(e.err.contains(QString::fromLatin1(c.messaggio))) << c.nome << ": " << e.err.toStdString();
        EXPECT_FALSE(QFile::exists(pdf)) << c.nome;
    }
    // the same label with a count and a first cell
    const auto e =
        stampa({sample, "--count", "3", "--first", "8", "--borders", "--marks", "--ant", dir.filePath("x.ant")});
    EXPECT_EQ(e.codice, 0) << e.err.toStdString();
    EXPECT_TRUE(e.out.startsWith(QStringLiteral("3 labels, 2 pages, "))) << e.out.toStdString();
}

// Run from cron or a service (an empty environment, as root and as another user),
// standard error holds the program's own messages and nothing else: no Qt notes
// ("XDG_RUNTIME_DIR not set"), no fontconfig ones. --quiet leaves only the errors, and
// --help and --version print their one block whatever else the line holds.
TEST(StampaBatch, StandardErrorHoldsOnlyItsOwnMessages)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QFile::setPermissions(dir.path(), QFileDevice::Permissions(0x7777)));
    // fontconfig meeting a font folder it has no cache for, and no cache folder it can write,
    // says so on standard error
    const QString font = QStringLiteral("/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf");
    QDir(dir.path()).mkpath(QStringLiteral("caratteri"));
    QFile::copy(font, dir.filePath("caratteri/f.ttf"));
    test::ScriviFile(dir.filePath("fonts.conf"),
                     QStringLiteral("<?xml version=\"1.0\"?><fontconfig>"
                                    "<include ignore_missing=\"yes\">/etc/fonts/fonts.conf</include>"
                                    "<dir>%1</dir><cachedir>/proc/nessuna</cachedir></fontconfig>")
                         .arg(dir.filePath("caratteri"))
                         .toUtf8());
    const QProcessEnvironment vuoto;  // empty, not inherited
    QProcessEnvironment fontconfig;
    fontconfig.insert(QStringLiteral("FONTCONFIG_FILE"), dir.filePath("fonts.conf"));
    QList<QStringList> utenti = {{}};
    const QString runuser =
        QStandardPaths::findExecutable(QStringLiteral("runuser"), {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin")});
    if (geteuid() == 0 && !runuser.isEmpty()) utenti << QStringList{"-u", QStringLiteral("nobody"), "--"};
    const QString sample = campione("indirizzi.eti");
    const QString pdf = dir.filePath("a.pdf");
    const QString manca = dir.filePath("manca.eti");
    for (const QStringList& utente : utenti) {
        for (const QProcessEnvironment& ambiente : {vuoto, fontconfig}) {
            const auto esegui = [&](const QStringList& argomenti) {
                if (utente.isEmpty()) return test::EseguiProgramma(QStringLiteral(CARTIGO_PRINT), argomenti, ambiente);
                return test::EseguiProgramma(runuser, utente + QStringList{QStringLiteral(CARTIGO_PRINT)} + argomenti,
                                             ambiente);
            };
            SCOPED_TRACE((utente.value(1, QStringLiteral("this user")) + QLatin1Char(' ') +
                          ambiente.value(QStringLiteral("FONTCONFIG_FILE"), QStringLiteral("empty environment")))
                             .toStdString());
            QFile::remove(pdf);
            auto e = esegui({sample, "--pdf", pdf});
            EXPECT_EQ(e.codice, 0);
            EXPECT_EQ(e.err, QString());
            EXPECT_EQ(e.out, QStringLiteral("24 labels, 3 pages, %1\n").arg(pdf));
            QFile::remove(pdf);
            e = esegui({sample, "--quiet", "--pdf", pdf});
            EXPECT_EQ(e.codice, 0);
            EXPECT_EQ(e.err + e.out, QString());
            EXPECT_TRUE(QFile::exists(pdf));
            e = esegui({manca, "-q", "--pdf", pdf});
            EXPECT_EQ(e.codice, 1);
            EXPECT_EQ(e.err, QStringLiteral("cartigo-print: label file not found: %1\n").arg(manca));
            e = esegui({"--help"});
            EXPECT_EQ(e.codice, 0);
            EXPECT_EQ(e.err, QString());
            EXPECT_TRUE(e.out.startsWith(QStringLiteral("Usage: cartigo-print")));
            EXPECT_EQ(e.out.count(QStringLiteral("Usage:")), 1);
            EXPECT_TRUE(e.out.contains("--quiet"));
            for (const QStringList& a : {QStringList{"--version"}, QStringList{manca, "--version"}}) {
                e = esegui(a);
                EXPECT_EQ(e.codice, 0);
                EXPECT_EQ(e.err, QString());
                EXPECT_EQ(e.out, QStringLiteral("cartigo-print ") + modCartigo::VersioneProgramma() + QLatin1Char('\n'));
            }
        }
    }
}

// The label's table or saved query is the one printed; only a CSV file's one table
// stands in for a name the file does not have.
TEST(StampaBatch, TheLabelsTableOrQueryIsTheOnePrinted)
{
    CARTIGO_RICHIEDI_TESTDATA(dati);
    QTemporaryDir dir;
    const QString csv = campione("indirizzi.csv");
    struct Caso {
        const char* nome;
        QString database, tabella, campo;
        int codice;
        const char* testo;  // the start of the summary line, or part of the message
    } casi[] = {
        {"saved query", dati + "/mdb/nwind.mdb", "Ten Most Expensive Products", "UnitPrice", 0, "10 labels, "},
        {"table", dati + "/mdb/nwind.mdb", "Shippers", "CompanyName", 0, "3 labels, "},
        {"missing table of a one-table database", dati + "/mdb/V2000_no-password.mdb", "Tabella", "Data", 1,
         "no table or query named \"Tabella\""},
        {"missing table of a CSV file", csv, "altro", "city", 0, "24 labels, "},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.nome);
        const QString etichetta = dir.filePath("e.eti");
        test::ScriviFile(etichetta, righe(database(c.database, c.tabella) + testo(0, 0, 1000, 300, "x", c.campo)));
        const QString ant = dir.filePath("e.ant");
        QFile::remove(ant);
        const auto e = stampa({etichetta, "--ant", ant});
        EXPECT_EQ(e.codice, c.codice) << e.err.toStdString();
        if (c.codice == 0) {
            EXPECT_TRUE(e.out.startsWith(QLatin1String(c.testo))) << e.out.toStdString();
        } else {
            EXPECT_TRUE(e.err.contains(QLatin1String(c.testo))) << e.err.toStdString();
            EXPECT_FALSE(QFile::exists(ant));
        }
    }
}

TEST(StampaBatch, SamplesPrintTheSameInItalianAndEnglish)
{
    QTemporaryDir dir;
    for (const char* nome : {"indirizzi", "esempio", "codici"}) {
        QByteArray stampe[2];
        int i = 0;
        for (const char* lingua : {"it_IT.UTF-8", "en_GB.UTF-8"}) {  // both on A4 paper
            const QString ant =
                dir.filePath(QStringLiteral("%1-%2.ant").arg(QLatin1String(nome), QLatin1String(lingua)));
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            for (const char* v : {"LC_ALL", "LC_NUMERIC", "LANG", "LANGUAGE"})
                env.insert(QString::fromLatin1(v), QString::fromLatin1(lingua));
            const auto e = esegui(QStringLiteral(CARTIGO_PRINT),
                                  {campione(nome + QStringLiteral(".eti")), "--ant", ant}, 120000, {}, env);
            ASSERT_EQ(e.codice, 0) << nome << " " << lingua << " " << e.err.toStdString();
            stampe[i++] = test::LeggiFile(ant);
        }
        EXPECT_FALSE(stampe[0].isEmpty());
        EXPECT_TRUE(stampe[0] == stampe[1]) << nome << ": the print differs between the two languages";
    }
}

// A label whose name is Latin-1 bytes, with its picture beside it; the shell passes the bytes.
// (Labels in UTF-16 are refused: FileEtichetta.LineFeedOnlyFilesAreReadUtf16IsRefusedAndAStrayNulIsNamed.)
TEST(StampaBatch, LabelNamesNotInUtf8AreFound)
{
    QTemporaryDir dir;
    QFile::copy(campione("logo.png"), dir.filePath("logo.png"));
    QProcess sh;
    sh.setWorkingDirectory(dir.path());
    sh.start(QStringLiteral("sh"),
             {"-c",
              QStringLiteral("n=$(printf 'citt\\340.eti'); cp \"$1\" \"$n\" && exec \"$0\" \"$n\" "
                             "--ant out.ant"),
              QStringLiteral(CARTIGO_PRINT), campione("esempio.eti")});
    ASSERT_TRUE(sh.waitForFinished(120000));
    EXPECT_EQ(sh.exitCode(), 0) << sh.readAllStandardError().constData();
    EXPECT_TRUE(QFileInfo(dir.filePath("out.ant")).size() > 0);
}
TEST(StampaBatch, OutputNeverReplacesTheLabelOrItsDatabase)
{
    QTemporaryDir dir;
    const QString etichetta = dir.filePath("indirizzi.eti");
    const QString csv = dir.filePath("indirizzi.csv");
    ASSERT_TRUE(QFile::copy(campione("indirizzi.eti"), etichetta));
    ASSERT_TRUE(QFile::copy(campione("indirizzi.csv"), csv));
    const QString altro = dir.filePath("altro.csv");
    ASSERT_TRUE(QFile::copy(csv, altro));
    const QString legame = dir.filePath("legame.pdf");
    ASSERT_TRUE(QFile::link(etichetta, legame));
    ASSERT_EQ(::link(QFile::encodeName(csv).constData(), QFile::encodeName(dir.filePath("stesso.ant")).constData()), 0);
    const QByteArray primaEtichetta = test::LeggiFile(etichetta), primaCsv = test::LeggiFile(csv);
    const struct {
        const char* nome;
        QStringList argomenti;
        const char* messaggio;
    } casi[] = {
        {"PDF over the label", {etichetta, "--pdf", etichetta}, "is the label file"},
        {"through a symbolic link", {etichetta, "--pdf", legame}, "is the label file"},
        {"another spelling", {etichetta, "--pdf", dir.filePath("x/../indirizzi.eti")}, "is the label file"},
        {"a relative name", {etichetta, "--ant", "indirizzi.eti"}, "is the label file"},
        {"over the label's database", {etichetta, "--pdf", csv}, "is the database"},
        {"a hard link to it", {etichetta, "--ant", dir.filePath("stesso.ant")}, "is the database"},
        {"over the database given", {etichetta, "--db", altro, "--pdf", altro}, "is the database"},
    };
    for (const auto& c : casi) {
        const auto e = esegui(QStringLiteral(CARTIGO_PRINT), c.argomenti, 120000, dir.path());
        EXPECT_EQ(e.codice, 2) << c.nome;
        EXPECT_TRUE(e.err.contains(QString::fromLatin1(c.messaggio))) << c.nome << ": " << e.err.toStdString();
        EXPECT_EQ(test::LeggiFile(etichetta), primaEtichetta) << c.nome;
        EXPECT_EQ(test::LeggiFile(csv), primaCsv) << c.nome;
        EXPECT_EQ(test::LeggiFile(altro), primaCsv) << c.nome;
    }
}

TEST(StampaBatch, StandardOutputDevicesAndAFullDisk)
{
    QTemporaryDir dir;
    const QString sample = campione("indirizzi.eti");
    // "-" and /dev/stdout: the document on standard output, the summary on standard error.
    for (const char* uscita : {"-", "/dev/stdout"}) {
        for (const char* formato : {"--pdf", "--ant"}) {
            const auto e = esegui(QStringLiteral(CARTIGO_PRINT), {sample, QString::fromLatin1(formato), uscita}, 120000,
                                  dir.path());
            EXPECT_EQ(e.codice, 0) << uscita << formato << e.err.toStdString();
            EXPECT_TRUE(e.out.startsWith(QLatin1String(formato[2] == 'p' ? "%PDF" : "CTGANT"))) << uscita << formato;
            EXPECT_TRUE(e.err.contains(QStringLiteral("24 labels, 3 pages"))) << e.err.toStdString();
        }
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList());  // no file named "-"

    // A disk that fills up: the old file stays, the reason is the system's, the status is not 0.
    // (Device nodes, and every writer on a full disk: test_scrittura_file.cpp.)
    test::DiscoPiccolo disco;
    if (!disco.montato()) GTEST_SKIP() << "cannot mount a tmpfs here (needs root)";
    for (const char* formato : {"--pdf", "--ant"}) {
        const QString f = disco.percorso(QStringLiteral("uscita"));
        test::ScriviFile(f, "vecchio");
        disco.riempi();
        const auto e = stampa({sample, QString::fromLatin1(formato), f});
        disco.svuota();
        EXPECT_NE(e.codice, 0) << formato;
        EXPECT_TRUE(e.err.contains(QStringLiteral("No space left on device"))) << e.err.toStdString();
        EXPECT_EQ(test::LeggiFile(f), QByteArray("vecchio")) << formato;
        EXPECT_EQ(QDir(disco.percorso()).entryList(QDir::Files | QDir::Hidden), QStringList{"uscita"});
    }
}

// An interrupted job: the temporary file beside the output goes, the old output stays, and
// the status is the usual one for the signal.
TEST(StampaBatch, SignalsRemoveTheTemporaryOutput)
{
    QTemporaryDir dir;
    // Starts the job in `p`, sends `segnale` once it is under way as `pronto` says, and
    // waits for its end.
    const auto interrompi = [](QProcess& p, const QStringList& argomenti, int segnale, const auto& pronto) {
        p.start(QStringLiteral(CARTIGO_PRINT), argomenti);
        ASSERT_TRUE(p.waitForStarted());
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 60000 && p.state() == QProcess::Running && !pronto()) QThread::msleep(5);
        ASSERT_EQ(p.state(), QProcess::Running) << "the job ended before the signal";
        ::kill(pid_t(p.processId()), segnale);
        ASSERT_TRUE(p.waitForFinished(60000));
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(p.exitCode(), 128 + segnale);
    };
    const QString sample = campione("esempio.eti");
    const QString pdf = dir.filePath("out.pdf");
    for (const int segnale : {SIGINT, SIGHUP, SIGTERM}) {
        SCOPED_TRACE(segnale);
        test::ScriviFile(pdf, "vecchio");
        QProcess p;
        // under way once pages reach the hidden file beside the output
        interrompi(p, {sample, "--count", "32767", "--pdf", pdf}, segnale,
                   [&] { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size() >= 2; });
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"out.pdf"});
        EXPECT_EQ(test::LeggiFile(pdf), QByteArray("vecchio"));
    }

    // While the MDB reader runs (here one that never ends): its temporary folder goes, and
    // the reader with the job.
    CARTIGO_RICHIEDI_TESTDATA(dati);
    const QString tmp = dir.filePath("tmp");
    QDir(dir.path()).mkdir(QStringLiteral("tmp"));
    const QString lettore = dir.filePath("lettore.sh");
    const QString pidLettore = dir.filePath("lettore.pid");
    test::ScriviEseguibile(
        lettore, QStringLiteral("#!/bin/sh\necho $$ > '%1'\necho 'P 1'\nexec sleep 120\n").arg(pidLettore).toUtf8());
    const QString etichetta = dir.filePath("clienti.eti");
    test::ScriviFile(etichetta,
                     righe(database(dati + "/mdb/nwind.mdb", "Customers") + testo(113, 113, 4200, 300, "x", "")));
    auto ambiente = QProcessEnvironment::systemEnvironment();
    ambiente.insert(QStringLiteral("TMPDIR"), tmp);
    ambiente.insert(QStringLiteral("CARTIGO_MDBREADER"), lettore);
    // the program's own (Qt's runtime folder may be made there too)
    const auto temporanei = [&] {
        return QDir(tmp).entryList({QStringLiteral("cartigo*")}, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    };
    for (const int segnale : {SIGINT, SIGHUP, SIGTERM}) {
        SCOPED_TRACE(segnale);
        QFile::remove(pidLettore);
        QProcess p;
        p.setProcessEnvironment(ambiente);
        pid_t pid = 0;
        // under way once the reader runs, its temporary folder made
        interrompi(p, {etichetta, "--pdf", pdf}, segnale, [&] {
            if (!QFileInfo(pidLettore).size()) return false;
            EXPECT_EQ(temporanei().size(), 1);
            pid = pid_t(test::LeggiFile(pidLettore).trimmed().toInt());
            return true;
        });
        EXPECT_EQ(temporanei(), QStringList{});
        // the reader ends with it (a moment after; no one may reap it here)
        const auto vivo = [pid] {
            const QByteArray stato = test::LeggiFile(QStringLiteral("/proc/%1/stat").arg(pid));
            const qsizetype fine = stato.lastIndexOf(')');
            return pid > 0 && fine > 0 && stato.mid(fine + 2, 1) != "Z";
        };
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 10000 && vivo()) QThread::msleep(10);
        EXPECT_FALSE(vivo()) << "the reader outlived the job";
        if (vivo()) ::kill(pid, SIGKILL);
    }
    EXPECT_EQ(test::LeggiFile(pdf), QByteArray("vecchio"));
}

TEST(StampaBatch, PicturesBesideTheLabelKeepGoingAndEmptySelections)
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdfimages")).isEmpty())
        GTEST_SKIP() << "pdfimages not found: install poppler-utils";
    QTemporaryDir dir;
    const auto immagini = [](const QString& pdf) {
        const auto e = esegui(QStringLiteral("pdfimages"), {"-list", pdf});
        return int(e.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts).size()) - 2;  // two heading lines
    };
    // the sample's logo is named beside the label: found from any working folder
    const QString pdf = dir.filePath("esempio.pdf");
    auto e = esegui(QStringLiteral(CARTIGO_PRINT), {campione("esempio.eti"), "--pdf", pdf}, 120000, dir.path());
    ASSERT_EQ(e.codice, 0) << e.err.toStdString();
    EXPECT_EQ(immagini(pdf), 1);

    // a picture that is not there: said on stderr; nothing printed unless --keep-going
    const QString etichetta = dir.filePath("manca.eti");
    test::ScriviFile(etichetta, righe(QStringList{"oggPicture", "0", "0", "1000", "1000", "", "", "manca.png", "0"} +
                                      testo(0, 0, 1000, 300, "x", "")));
    const QString altro = dir.filePath("manca.pdf");
    e = stampa({etichetta, "--pdf", altro});
    EXPECT_EQ(e.codice, 1);
    EXPECT_TRUE(e.err.contains(QStringLiteral("manca.png"))) << e.err.toStdString();
    EXPECT_TRUE(e.err.contains("--keep-going")) << e.err.toStdString();
    EXPECT_FALSE(QFile::exists(altro));
    e = stampa({etichetta, "--keep-going", "--pdf", altro});
    EXPECT_EQ(e.codice, 0) << e.err.toStdString();
    EXPECT_EQ(e.err.count(QStringLiteral("manca.png")), 1) << e.err.toStdString();
    EXPECT_TRUE(e.out.startsWith(QStringLiteral("1 labels, 1 pages, "))) << e.out.toStdString();
    EXPECT_TRUE(QFile::exists(altro));

    // a selection without records: no sheet, its own exit status, as --help says
    const QString vuota = dir.filePath("vuota.eti");
    test::ScriviFile(vuota, righe(database(campione("indirizzi.csv"), "indirizzi", "city", 1, "Atlantide") +
                                  testo(0, 0, 1000, 300, "x", "name")));
    const QString niente = dir.filePath("niente.pdf");
    e = stampa({vuota, "--all", "--pdf", niente});
    EXPECT_EQ(e.codice, 3) << e.err.toStdString();
    EXPECT_TRUE(e.out.isEmpty()) << e.out.toStdString();
    EXPECT_TRUE(e.err.contains(QStringLiteral("nothing printed"))) << e.err.toStdString();
    EXPECT_FALSE(QFile::exists(niente));
    EXPECT_TRUE(stampa({"--help"}).out.contains(QStringLiteral("3  --all with a selection that has no record")));
}

namespace {

// The size of every page of a PDF, as "width x height" in whole points.
QStringList misurePagine(const QString& pdf)
{
    const auto e = esegui(QStringLiteral("pdfinfo"), {"-f", "1", "-l", "9999", pdf});
    QStringList misure;
    const QRegularExpression riga(QStringLiteral("Page\\s+\\d+ size:\\s+([\\d.]+) x ([\\d.]+) pts"));
    for (auto i = riga.globalMatch(e.out); i.hasNext();) {
        const auto m = i.next();
        misure << QString::number(m.captured(1).toDouble(), 'f', 3) + QLatin1Char('x') +
                      QString::number(m.captured(2).toDouble(), 'f', 3);
    }
    return misure;
}

}  // namespace

TEST(StampaBatch, ARollPrintsOnePageALabelAtTheLabelsSize)
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty())
        GTEST_SKIP() << "pdfinfo not found: install poppler-utils";
    QTemporaryDir dir;
    // 62 x 29 mm labels on a roll, one per address of the sample
    const QString etichetta = dir.filePath("rotolo.eti");
    test::ScriviFile(etichetta, righe(database(campione("indirizzi.csv"), "indirizzi") + layout(1, 1, 62, 29, 0) +
                                      QStringList{"oggSupporto", "Prodotto=Brother DK-11209", "UnaPerPagina=True"} +
                                      testo(100, 100, 2000, 300, "", "name")));
    const QString pdf = dir.filePath("rotolo.pdf");
    auto e = stampa({etichetta, "--pdf", pdf});
    ASSERT_EQ(e.codice, 0) << e.err.toStdString();
    EXPECT_TRUE(e.out.startsWith(QStringLiteral("24 labels, 24 pages, "))) << e.out.toStdString();
    EXPECT_FALSE(e.err.contains("-> yes")) << "the page check asked: " << e.err.toStdString();
    // 62 x 29 mm is 175.748 x 82.205 points, not rounded to whole ones
    EXPECT_EQ(misurePagine(pdf), QStringList(24, QStringLiteral("175.748x82.205")));

    // a number of labels without the records, and the print file: one page a label too
    const QString ant = dir.filePath("rotolo.ant");
    e = stampa({etichetta, "--count", "3", "--first", "7", "--ant", ant});
    ASSERT_EQ(e.codice, 0) << e.err.toStdString();
    QString errore;
    const auto doc = CaricaFileStampa(ant, &errore);
    ASSERT_TRUE(doc) << errore.toStdString();
    EXPECT_EQ(doc->PageCount(), 3);
    EXPECT_NEAR(doc->PageWidth(), 62 * 1440 / 25.4, 0.01);
    EXPECT_NEAR(doc->PageHeight(), 29 * 1440 / 25.4, 0.01);
    // and the PDF made from the print file
    test::AssicuraApplicazione();
    ASSERT_TRUE(SalvaPdf(*doc, dir.filePath("da_ant.pdf"), &errore)) << errore.toStdString();
    EXPECT_EQ(misurePagine(dir.filePath("da_ant.pdf")), QStringList(3, QStringLiteral("175.748x82.205")));

    // a label longer than a PDF page may be (200 inches) is refused before anything is
    // written; the print file, which has no such limit, still takes it
    QByteArray lungo = test::LeggiFile(etichetta);
    lungo.replace("\r\n29\r\n", "\r\n6000\r\n");
    test::ScriviFile(etichetta, lungo);
    e = stampa({etichetta, "--count", "1", "--pdf", pdf});
    EXPECT_EQ(e.codice, 1);
    EXPECT_TRUE(e.err.contains(LoadResString(1330).arg(62).arg(6000))) << e.err.toStdString();
    EXPECT_EQ(misurePagine(pdf), QStringList(24, QStringLiteral("175.748x82.205")));  // the old output stays
    e = stampa({etichetta, "--count", "1", "--ant", ant});
    EXPECT_EQ(e.codice, 0) << e.err.toStdString();
}

TEST(StampaBatch, TemplatesListTheCatalogue)
{
    QTemporaryDir dir;
    QDir(dir.path()).mkpath(QStringLiteral("casa/cartigo/templates"));
    QDir(dir.path()).mkpath(QStringLiteral("sistema"));
    test::ScriviFile(dir.filePath("casa/cartigo/templates/mie.xml"), R"(<?xml version="1.0"?>
<Glabels-templates>
  <Template brand="Mia" part="R-62" size="Other" width="62mm" height="29mm" description="Roll">
    <Label-rectangle id="0" width="62mm" height="29mm"><Layout nx="1" ny="1" x0="0" y0="0" dx="62mm" dy="29mm"/></Label-rectangle>
  </Template>
  <Template brand="Mia" part="F-24" size="A4" description="Sheet">
    <Label-rectangle id="0" width="70mm" height="37.125mm"><Layout nx="3" ny="8" x0="0" y0="0" dx="70mm" dy="37.125mm"/></Label-rectangle>
  </Template>
  <Template brand="Mia" part="F-25" equiv="F-24"/>
</Glabels-templates>
)");
    QProcessEnvironment solo = QProcessEnvironment::systemEnvironment();
    solo.insert(QStringLiteral("XDG_DATA_HOME"), dir.filePath("casa"));
    solo.insert(QStringLiteral("XDG_DATA_DIRS"), dir.filePath("sistema"));
    const auto modelli = [&](const QStringList& argomenti, const QProcessEnvironment& ambiente) {
        return esegui(QStringLiteral(CARTIGO_PRINT), QStringList{"--templates"} + argomenti, 120000, {}, ambiente);
    };
    auto e = modelli({}, solo);
    ASSERT_EQ(e.codice, 0) << e.err.toStdString();
    EXPECT_EQ(e.out, QStringLiteral("Mia\tF-24\t70.0 x 37.1\t3 x 8\tA4\n"
                                    "Mia\tF-25\t70.0 x 37.1\t3 x 8\tA4\n"
                                    "Mia\tR-62\t62.0 x 29.0\t1 x 1\t62.0 x 29.0\n"));
    e = modelli({QStringLiteral("62x29")}, solo);
    EXPECT_EQ(e.out, QStringLiteral("Mia\tR-62\t62.0 x 29.0\t1 x 1\t62.0 x 29.0\n"));
    e = modelli({QStringLiteral("mia sheet")}, solo);
    EXPECT_EQ(e.out.count(QLatin1Char('\n')), 2);
    e = modelli({QStringLiteral("nessuno")}, solo);
    EXPECT_EQ(e.codice, 1);
    EXPECT_TRUE(e.out.isEmpty());
    EXPECT_TRUE(e.err.contains(QStringLiteral("no label product matches \"nessuno\""))) << e.err.toStdString();
    EXPECT_EQ(modelli({QStringLiteral("x"), QStringLiteral("l.eti")}, solo).codice, 2);

    // no catalogue at all: says what to install
    QProcessEnvironment vuoto = solo;
    vuoto.insert(QStringLiteral("XDG_DATA_HOME"), dir.filePath("sistema"));
    e = modelli({}, vuoto);
    EXPECT_EQ(e.codice, 1);
    EXPECT_TRUE(e.err.contains(QStringLiteral("glabels-data"))) << e.err.toStdString();

    // the installed catalogue: products and their equivalents under their own codes
    e = modelli({QStringLiteral("70x37")}, QProcessEnvironment::systemEnvironment());
    if (e.codice == 1 && e.err.contains(QStringLiteral("glabels-data")))
        GTEST_SKIP() << "no label products installed (the glabels-data package)";
    EXPECT_TRUE(e.out.contains(QStringLiteral("\nZweckform\t3474\t70.0 x 37.0\t3 x 8\tA4\n"))) << e.out.toStdString();
    e = modelli({QStringLiteral("avery 8160")}, QProcessEnvironment::systemEnvironment());
    EXPECT_TRUE(e.out.startsWith(QStringLiteral("Avery\t8160\t66.7 x 25.4\t3 x 10\tUS-Letter\n")))
        << e.out.toStdString();
}

TEST(StampaBatch, EveryKindOfBarcodeScansBackToItsData)
{
    QString manca = strumentoMancante();
    if (!manca.isEmpty() || !(manca = test::LettoreMancante()).isEmpty())
        GTEST_SKIP() << manca.toStdString()
                     << " not found: install poppler-utils, zbar-tools, dmtx-utils and zxing-cpp-tools";
    QTemporaryDir dir;
    QStringList l = intestazione(QString(), 1, 1, 180, 250);
    const QString qr = QStringLiteral("Città € 日本 ✓ https://example.com/?q=1");
    l << barcode(0, 0, 4000, 1000, "00", "", "CARTIGO-39")                        // Code 39
      << barcode(5000, 0, 4000, 1200, "10", "", "590123412345")                   // EAN-13, check digit added
      << barcode(0, 1600, 5000, 1000, "20", "", "Cartigo-128 abc")                // Code 128
      << barcode(5500, 1600, 4500, 1200, "21", "", "(01)09501101530003(10)AB12")  // GS1-128, text above
      << barcode(0, 3200, 2500, 2500, "32H", "", qr)                              // QR Code, UTF-8
      << barcode(3500, 3200, 2000, 2000, "40Q", "", "Cartigo DM 4")               // Data Matrix
      << barcode(6500, 3200, 3500, 1000, "40R", "", "RECT 8x32")                  // Data Matrix, rectangle
      << barcode(0, 6500, 5500, 2000, "50", "", "Cartigo PDF417 0123456789")      // PDF417
      << barcode(6000, 6500, 3500, 1300, "60", "", "03600029145")                 // UPC-A, check digit added
      << barcode(6000, 8500, 2000, 1300, "62", "", "0123456")                     // UPC-E, text hidden
      << barcode(0, 9500, 5000, 1500, "70", "", "1540014128876")                  // ITF-14, check digit added
      << barcode(0, 11500, 4000, 1200, "70", "", "123456");                       // Interleaved 2 of 5
    const QString etichetta = dir.filePath("tutti.eti");
    test::ScriviFile(etichetta, righe(l));
    const QString pdf = dir.filePath("tutti.pdf");
    const auto e = stampa({etichetta, "--pdf", pdf});
    ASSERT_EQ(e.codice, 0) << e.err.toStdString();
    QStringList letti = simboli(pdf, dir.path(), 2);
    letti.sort();
    QStringList attesi = {
        "CODE-39:CARTIGO-39", "EAN-13:5901234123457",    "CODE-128:Cartigo-128 abc", "CODE-128:010950110153000310AB12",
        "QR-Code:" + qr,      "DATAMATRIX:Cartigo DM 4", "DATAMATRIX:RECT 8x32",     "PDF417:Cartigo PDF417 0123456789",
        "UPC-A:036000291452", "UPC-E:01234565",          "I2/5:15400141288763",      "I2/5:123456"};
    attesi.sort();
    EXPECT_EQ(letti, attesi);
    // the GS1-128 starts with FNC1: a scanner knows its data are application identifiers
    const auto code128 = test::LeggiZxing(dir.filePath("pagina-1.png"), QStringLiteral("Code128"));
    EXPECT_TRUE(code128->contains(QStringLiteral("Code128(GS1):010950110153000310AB12")))
        << code128->join(QLatin1Char(' ')).toStdString();
}

// EAN-13, EAN-8, UPC-A and UPC-E with the digits in the standard layout, printed for 203
// and 300 dpi: each scans; on the page rendered at that resolution the first digit stands
// left of the bars and each group between two of the long bars, which reach below the
// others; a barcode stored without the option keeps its one line.
TEST(StampaBatch, EanAndUpcDigitsStandWhereTheStandardPutsThem)
{
    CARTIGO_RICHIEDI_STRUMENTI({"pdftotext"});
    QTemporaryDir dir;
    struct Caso {
        const char* tag;
        const char* dati;
        QStringList gruppi;  // left to right; the first outside the bars unless EAN-8
        const char* letto;
    } casi[] = {
        {"10S", "590123412345", {"5", "901234", "123457"}, "EAN-13:5901234123457"},
        {"10S", "9638507", {"9638", "5074"}, "EAN-8:96385074"},
        {"60S", "03600029145", {"0", "36000", "29145", "2"}, "UPC-A:036000291452"},
        {"60S", "0123456", {"0", "123456", "5"}, "UPC-E:01234565"},
    };
    QStringList l = intestazione(QString(), 1, 1, 100, 150);
    for (int i = 0; i < 4; ++i)
        l << barcode(600, 300 + 2000 * i, i % 2 ? 2400 : 3200, 1500, casi[i].tag, "", casi[i].dati);
    l << barcode(600, 8300, 3200, 1500, "10", "", "4006381333931");  // stored without the option
    const QString etichetta = dir.filePath("standard.eti");
    test::ScriviFile(etichetta, righe(l));

    struct Parola {
        QString testo;
        double x1, y1, x2, y2;  // pixels
    };
    for (const int dpi : {203, 300}) {
        SCOPED_TRACE(dpi);
        const QString pdf = dir.filePath(QStringLiteral("standard%1.pdf").arg(dpi));
        const auto e = stampa({etichetta, "--dpi", QString::number(dpi), "--pdf", pdf});
        ASSERT_EQ(e.codice, 0) << e.err.toStdString();
        const QString radice = dir.filePath(QStringLiteral("pagina%1").arg(dpi));
        ASSERT_EQ(esegui(QStringLiteral("pdftoppm"),
                         {"-r", QString::number(dpi), "-gray", "-png", "-singlefile", pdf, radice})
                      .codice,
                  0);
        const QString png = radice + QStringLiteral(".png");
        QStringList letti =
            esegui(QStringLiteral("zbarimg"), {"-q", png}).out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        for (QString& r : letti) r = r.trimmed();
        letti.sort();
        // zbarimg on its own reports UPC-A and UPC-E as the EAN-13 they expand to
        QStringList attesi = {"EAN-13:5901234123457", "EAN-8:96385074", "EAN-13:0036000291452", "EAN-13:0012345000065",
                              "EAN-13:4006381333931"};
        attesi.sort();
        EXPECT_EQ(letti, attesi);

        const QString bbox = esegui(QStringLiteral("pdftotext"), {"-bbox", pdf, "-"}).out;
        std::vector<Parola> parole;
        const QRegularExpression re(QStringLiteral(
            R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re"));
        const double px = dpi / 72.0;
        for (auto it = re.globalMatch(bbox); it.hasNext();) {
            const auto m = it.next();
            parole.push_back({m.captured(5), m.captured(1).toDouble() * px, m.captured(2).toDouble() * px,
                              m.captured(3).toDouble() * px, m.captured(4).toDouble() * px});
        }
        EXPECT_TRUE(std::any_of(parole.begin(), parole.end(),
                                [](const Parola& p) { return p.testo == QLatin1String("4006381333931"); }));
        const QImage img(png);
        ASSERT_FALSE(img.isNull());
        // The dark runs of a row: [start, end) pairs.
        const auto corse = [&](int y) {
            std::vector<std::pair<int, int>> c;
            for (int x = 0; x < img.width();) {
                if (qGray(img.pixel(x, y)) >= 128) {
                    ++x;
                    continue;
                }
                int fine = x;
                while (fine < img.width() && qGray(img.pixel(fine, y)) < 128) ++fine;
                c.emplace_back(x, fine);
                x = fine;
            }
            return c;
        };
        for (const Caso& c : casi) {
            SCOPED_TRACE(c.letto);
            // the group that names the barcode, and the words on its line
            const auto principale = std::find_if(parole.begin(), parole.end(),
                                                 [&](const Parola& p) { return p.testo == c.gruppi[1]; });
            ASSERT_NE(principale, parole.end());
            std::vector<Parola> gruppi;
            for (const QString& g : c.gruppi) {
                const auto p = std::find_if(parole.begin(), parole.end(), [&](const Parola& q) {
                    return q.testo == g && std::abs(q.y2 - principale->y2) < 3 * px;
                });
                ASSERT_NE(p, parole.end()) << g.toStdString();
                gruppi.push_back(*p);
            }
            // the data bars just above the line, the long bars just inside it
            const std::size_t n = c.gruppi.size();
            const auto barre = corse(int(principale->y1) - 3), lunghe = corse(int(principale->y1) + 2);
            const auto nelSimbolo = [&](const std::vector<std::pair<int, int>>& v) {
                std::vector<std::pair<int, int>> r;
                for (const auto& b : v)
                    if (b.first >= gruppi.front().x1 - 20 * px && b.second <= gruppi.back().x2 + 20 * px) r.push_back(b);
                return r;
            };
            const auto dati = nelSimbolo(barre), guardie = nelSimbolo(lunghe);
            ASSERT_FALSE(dati.empty());
            ASSERT_GE(guardie.size(), 4u);
            EXPECT_LT(guardie.size(), dati.size() / 2);
            if (!QString::fromLatin1(c.letto).startsWith(QLatin1String("EAN-8"))) {
                EXPECT_LT(gruppi.front().x2, dati.front().first);
            }
            if (QString::fromLatin1(c.letto).startsWith(QLatin1String("UPC"))) {
                EXPECT_GT(gruppi.back().x1, dati.back().second);
            }
            // each group inside the bars lies between two consecutive long bars
            for (std::size_t i = 0; i < n; ++i) {
                const Parola& g = gruppi[i];
                if (g.x2 < dati.front().first || g.x1 > dati.back().second) continue;
                bool tra = false;
                for (std::size_t j = 0; j + 1 < guardie.size(); ++j)
                    tra = tra || (g.x1 >= guardie[j].second && g.x2 <= guardie[j + 1].first);
                EXPECT_TRUE(tra) << g.testo.toStdString() << " at " << g.x1 << "-" << g.x2;
            }
        }
    }
}

TEST(StampaBatch, BarcodeDataTheKindRefusesAreReportedOnceWithTheirRecord)
{
    CARTIGO_RICHIEDI_STRUMENTI();
    QTemporaryDir dir;
    const QString csv = dir.filePath("codici.csv");
    test::ScriviFile(csv,
                     "numero,upc,qr\n"
                     "1,03600029145,uno\n"
                     "2,0360002914X,due\n"
                     "3,036000291453,tre\n"
                     "4,ABC," +
                         QByteArray(8000, '7') +
                         "\n"
                         "5,012345678905,cinque\n"
                         "6,012345678905,\n"
                         "7,012345678905,\n");
    QStringList l = intestazione(csv, 2, 4, 80, 50);
    l << barcode(100, 100, 3000, 1200, "60", "upc", "") << barcode(3200, 100, 1300, 1300, "30M", "qr", "");
    const QString etichetta = dir.filePath("codici.eti");
    test::ScriviFile(etichetta, righe(l));
    const QString pdf = dir.filePath("codici.pdf");
    const auto e = stampa({etichetta, "--pdf", pdf});
    EXPECT_EQ(e.codice, 1) << e.err.toStdString();
    // each reason once, naming the first record it came from
    const auto volte = [&](const QString& t) { return e.err.count(t); };
    EXPECT_EQ(volte(LoadResString(1445)), 1) << e.err.toStdString();
    EXPECT_EQ(volte(LoadResString(1604)), 1);
    EXPECT_EQ(volte(LoadResString(1601)), 1);
    const QString record = LoadResString(1320);
    EXPECT_TRUE(e.err.contains(record.arg(2).arg(QStringLiteral("0360002914X")))) << e.err.toStdString();
    EXPECT_TRUE(e.err.contains(record.arg(3).arg(QStringLiteral("036000291453"))));
    EXPECT_TRUE(e.err.contains(record.arg(4).arg(QString(8000, QLatin1Char('7')))));
    EXPECT_FALSE(e.err.contains(record.arg(4).arg(QStringLiteral("ABC"))));
    // a symbol without data prints nothing, and says so once, with the first record
    EXPECT_EQ(volte(LoadResString(1607)), 1) << e.err.toStdString();
    EXPECT_TRUE(e.err.contains(record.arg(6).arg(QString()))) << e.err.toStdString();
    // the other records print their symbols
    QStringList letti = simboli(pdf, dir.path());
    letti.sort();
    EXPECT_EQ(letti, (QStringList{"QR-Code:cinque", "QR-Code:due", "QR-Code:tre", "QR-Code:uno", "UPC-A:012345678905",
                                  "UPC-A:036000291452"}));
    // --keep-going prints the same and ends well
    const auto avanti = stampa({etichetta, "--keep-going", "--pdf", pdf});
    EXPECT_EQ(avanti.codice, 0) << avanti.err.toStdString();
    EXPECT_EQ(avanti.err.count(LoadResString(1445)), 1);
}

TEST(StampaBatch, TheSerialSamplePrintsItsCountersAndAsksItsLot)
{
    CARTIGO_RICHIEDI_STRUMENTI();
    QTemporaryDir dir;
    const QString serie = campione("serie.eti");
    const QString pdf = dir.filePath("out.pdf");
    const auto e = stampa({serie, "--set", "Lot=4711", "--count", "5", "--pdf", pdf});
    ASSERT_EQ(e.codice, 0) << e.err.toStdString();
    const QString testo = esegui(QStringLiteral("pdftotext"), {"-raw", pdf, "-"}).out;
    const QString scadenza = QDate::currentDate().addDays(30).toString(QStringLiteral("dd/MM/yyyy"));
    for (int i = 0; i < 5; ++i) EXPECT_TRUE(testo.contains(QStringLiteral("Asset 00100%1").arg(i))) << i;
    EXPECT_FALSE(testo.contains(QStringLiteral("Asset 001005")));
    EXPECT_EQ(testo.count(QStringLiteral("Best before ") + scadenza), 5) << testo.toStdString();
    EXPECT_EQ(testo.count(QStringLiteral("Lot 4711")), 5);
    QStringList letti = simboli(pdf, dir.path());
    letti.sort();
    EXPECT_EQ(letti, (QStringList{"CODE-128:001000", "CODE-128:001001", "CODE-128:001002", "CODE-128:001003",
                                  "CODE-128:001004"}));

    // the lot missing, against its rule, or a name the label does not ask: status 2, no output
    QFile::remove(pdf);
    for (const QStringList& valori : {QStringList{}, QStringList{"--set", "Lot=47a"}, QStringList{"--set", "Lt=1"}}) {
        const auto r = stampa(QStringList{serie, "--pdf", pdf} + valori);
        EXPECT_EQ(r.codice, 2) << valori.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains(QStringLiteral("Lot")) || r.err.contains(QStringLiteral("Lt")))
            << r.err.toStdString();
        EXPECT_FALSE(QFileInfo::exists(pdf));
    }

    // numbering that continues: written back into the label, byte for byte but the start
    QByteArray dati = test::LeggiFile(serie);
    dati.replace("Continua=False", "Continua=True");
    const QString etichetta = dir.filePath("serie.eti");
    test::ScriviFile(etichetta, dati);
    ASSERT_EQ(stampa({etichetta, "--set", "Lot=1", "--count", "3", "--pdf", pdf}).codice, 0);
    QByteArray atteso = dati;
    atteso.replace("Inizio=1000", "Inizio=1003");
    EXPECT_EQ(test::LeggiFile(etichetta), atteso);
    ASSERT_EQ(stampa({etichetta, "--set", "Lot=1", "--count", "2", "--start", "7", "--pdf", pdf}).codice, 0);
    EXPECT_TRUE(esegui(QStringLiteral("pdftotext"), {pdf, "-"}).out.contains("Asset 000008"));
    atteso.replace("Inizio=1003", "Inizio=9");
    EXPECT_EQ(test::LeggiFile(etichetta), atteso);

    // a counter inside a GS1-128 and a QR Code, by fives
    QTemporaryDir altra;
    const QString gs1 = altra.filePath("gs1.eti");
    test::ScriviFile(gs1, righe(intestazione(QString(), 2, 2, 80, 50) +
                                QStringList{"oggVariabili", "Variabile=S", "Tipo=Contatore", "Inizio=5", "Passo=5",
                                            "Cifre=4"} +
                                barcode(113, 113, 4000, 1100, "20", "", "(01)09501101530003(21)${S}") +
                                barcode(113, 1400, 1200, 1200, "30M", "", "${S}")));
    const QString pdfGs1 = altra.filePath("gs1.pdf");
    ASSERT_EQ(stampa({gs1, "--count", "2", "--pdf", pdfGs1}).codice, 0);
    letti = simboli(pdfGs1, altra.path());
    letti.sort();
    EXPECT_EQ(letti, (QStringList{"CODE-128:0109501101530003210005", "CODE-128:0109501101530003210010",
                                  "QR-Code:0005", "QR-Code:0010"}));
}

// --check prints nothing and says what it finds (status 4), or nothing (status 0);
// --strict stops a print on findings.
TEST(StampaBatch, CheckAndStrictStopOnWhatWouldNotScan)
{
    QTemporaryDir dir;
    const auto etichetta = [&](const QString& nome, int larghezza) {
        QStringList l = intestazione(QString(), 1, 1, 100, 40);
        l << barcode(567, 567, larghezza, 1200, "22", "", "CARTIGO 128");  // Code 128, text hidden
        const QString file = dir.filePath(nome);
        test::ScriviFile(file, righe(l));
        return file;
    };
    const QString pulita = etichetta(QStringLiteral("pulita.eti"), 4000);
    const QString stretta = etichetta(QStringLiteral("stretta.eti"), 960);  // 17 mm: under a dot at 203 dpi
    const QString pdf = dir.filePath("uscita.pdf");

    auto e = stampa({pulita, "--check", "--dpi", "203"});
    EXPECT_EQ(e.codice, 0) << e.err.toStdString();
    EXPECT_EQ(e.out, QString());
    e = stampa({stretta, "--check", "--quiet"});  // vectors: nothing to miss
    EXPECT_EQ(e.codice, 0) << e.out.toStdString();
    e = stampa({stretta, "--check", "--dpi", "203", "--pdf", pdf});
    EXPECT_EQ(e.codice, 4);
    EXPECT_EQ(e.out.count(QLatin1Char('\n')), 1);
    EXPECT_TRUE(e.out.contains(QStringLiteral("(Code 128)"))) << e.out.toStdString();
    EXPECT_TRUE(e.err.contains(QStringLiteral("findings: 1 (203 dpi)"))) << e.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(pdf));

    e = stampa({stretta, "--strict", "--dpi", "203", "--pdf", pdf});
    EXPECT_EQ(e.codice, 4);
    EXPECT_TRUE(e.err.contains(QStringLiteral("(Code 128)"))) << e.err.toStdString();
    EXPECT_TRUE(e.err.endsWith(QStringLiteral("cartigo-print: nothing printed (--strict)\n")));
    EXPECT_FALSE(QFileInfo::exists(pdf));
    e = stampa({stretta, "--strict", "--dpi", "300", "--pdf", pdf});
    EXPECT_EQ(e.codice, 0) << e.err.toStdString();
    EXPECT_TRUE(QFileInfo::exists(pdf));
    EXPECT_EQ(stampa({stretta, "--check", "--strict"}).codice, 2);
}
