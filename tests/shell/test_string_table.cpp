// The string table in both languages.
#include "shell/Interazione.h"
#include "shell/StringTable.h"

#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <cstdio>
#include "common/TestSupport.h"

using namespace cartigo;

TEST(StringTable, EntriesInBothLanguagesExactlyAsWritten)
{
    struct Caso {
        int id;
        const char* it;
        const char* en;
    } casi[] = {
        {109, "File", "File"},
        {132, "Formato", "Format"},
        {135, "Trasparente", "Transparent"},
        {138, "Spessore", "Thickness"},
        {140, "Porta indietro", "Send to back"},
        {154, "Il tipo di carattere inserito non è disponibile nel sistema.", "Font not available."},
        {157, "Operazione annullata.", "Action aborted"},
        {159, " non trovato oppure percoso inacessibile.", " not found or path not accessible."},
        {161, "Errore nel tentativo di connessione al database ", "Error while opening the database "},
        {206, "Origine  X stam.", "X Origin"},
        {229, "Stampa numero etichette ", "Print number of labels"},
        {233, "Anteprima di stampa", "Print preview"},
        {237, "Stampante %s su %s", "Printer %s on %s"},
        {249, "Video", "Preview"},
        {256, "Imp. pagina", "Pa&ge setup"},
        {262, "Tutti Files (*.*)|*.*|File ascii (*.eti)|*.eti", "All files (*.*)|*.*|ASCII files (*.eti)|*.eti"},
        {264, "File bitmap(*.bmp)|*.bmp|File jpg (*.jpg)|*.jpg|File wmf (*.wmf)|*.wmf|Tutti i file (*.*)|*.*",
         "Bitmap files (*.bmp)|*.bmp|JPEG files (*.jpg)|*.jpg|WMF files (*.wmf)|*.wmf|All files (*.*)|*.*"},
        // Line breaks of a message.
        {1411, "L'orientamento della pagina e' errato.\r\rLo modifico automaticamente?",
         "The page orientation is wrong.\r\rChange it automatically?"},
    };
    for (const auto& c : casi) {
        EXPECT_EQ(LoadResString(c.id, Lingua::Italiano), QString::fromUtf8(c.it)) << c.id;
        EXPECT_EQ(LoadResString(c.id, Lingua::Inglese), QString::fromUtf8(c.en)) << c.id;
    }
    EXPECT_TRUE(LoadResString(145, Lingua::Italiano).isEmpty());
    EXPECT_TRUE(LoadResString(100000).isEmpty());
    // every id from 109 to 264 that the program uses is there in both languages
    int presenti = 0;
    for (int id = 109; id <= 264; ++id)
        if (!LoadResString(id, Lingua::Italiano).isEmpty() && !LoadResString(id, Lingua::Inglese).isEmpty())
            ++presenti;
    EXPECT_EQ(presenti, 127);
}

namespace {
// Words of Italian, and the original's typos, that an English text never holds.
const QSet<QString>& paroleItaliane()
{
    static const QSet<QString> parole = [] {
        QSet<QString> p;
        for (const char* w :
             {"non",         "il",          "lo",         "la",          "le",        "di",        "del",
              "della",       "dei",         "un",         "una",         "che",       "sono",      "oppure",
              "errore",      "impossibile", "inserire",   "selezionare", "indicare",  "nessun",    "nessuna",
              "stampa",      "stampante",   "pagina",     "pagine",      "intera",    "larghezza", "connesso",
              "bloc",        "maiusc",      "valore",     "campo",       "etichetta", "etichette", "immagine",
              "annulla",     "chiudi",      "codice",     "percorso",    "archivio",  "funzione",  "ean2bin",
              "proprieties", "tickness",    "trasparent", "labelfs",     "orizontal", "oriz"})
            p.insert(QString::fromLatin1(w));
        return p;
    }();
    return parole;
}

QStringList parole(const QString& testo)
{
    static const QRegularExpression separatori(QStringLiteral("[\\s.,;:!?()\\[\\]\"'/%&|*=<>]+"));
    return testo.toLower().split(separatori, Qt::SkipEmptyParts);
}

bool sembraItaliano(const QString& testo)
{
    static const QRegularExpression accento(QStringLiteral("[àèéìòù]"));
    if (testo.contains(accento)) return true;
    for (const QString& p : parole(testo))
        if (paroleItaliane().contains(p)) return true;
    return false;
}

QStringList segnaposti(const QString& testo)
{
    static const QRegularExpression segnaposto(QStringLiteral("%[0-9sd]"));
    QStringList r;
    for (auto it = segnaposto.globalMatch(testo); it.hasNext();) r << it.next().captured();
    r.sort();
    return r;
}
}  // namespace

TEST(StringTable, EveryEntryHasBothLanguagesAndItsEnglishIsEnglish)
{
    QFile f(QStringLiteral(":/cartigo/stringtable.tsv"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    QSet<int> ids;
    int righe = 0;
    for (const QString& riga : QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'))) {
        if (riga.isEmpty() || riga.startsWith(QLatin1Char('#'))) continue;
        ++righe;
        const QStringList c = riga.split(QLatin1Char('\t'));
        ASSERT_EQ(c.size(), 3) << riga.toStdString();
        bool numero = false;
        const int id = c[0].toInt(&numero);
        EXPECT_TRUE(numero) << riga.toStdString();
        EXPECT_FALSE(ids.contains(id)) << "id " << id << " twice";
        ids.insert(id);
        EXPECT_FALSE(c[1].trimmed().isEmpty()) << "no Italian for " << id;
        EXPECT_FALSE(c[2].trimmed().isEmpty()) << "no English for " << id;
        EXPECT_FALSE(sembraItaliano(c[2])) << id << ": " << c[2].toStdString();
        EXPECT_NE(c[2], QStringLiteral("Previous")) << id;
        EXPECT_EQ(segnaposti(c[1]), segnaposti(c[2])) << id << ": " << c[2].toStdString();
    }
    EXPECT_GT(righe, 170);
}

TEST(StringTable, TheCodeShowsNoItalianTextOfItsOwn)
{
    // Every text of the interface comes from the table in the user's language; a text
    // written into the code in Italian would reach English users as it is. Texts chosen
    // by language in the code (next to a test of Lingua::Italiano) are both there.
    static const QRegularExpression carattere(QStringLiteral(R"re('(\\.|[^'\\])')re"));
    static const QRegularExpression letterale(QStringLiteral(R"re("((?:[^"\\]|\\.)*)")re"));
    QStringList trovati;
    QDirIterator it(QStringLiteral(CARTIGO_SOURCE_DIR "/src"), {QStringLiteral("*.cpp"), QStringLiteral("*.h")},
                    QDir::Files, QDirIterator::Subdirectories);
    int file = 0;
    while (it.hasNext()) {
        QFile sorgente(it.next());
        ASSERT_TRUE(sorgente.open(QIODevice::ReadOnly));
        ++file;
        const QStringList righe = QString::fromUtf8(sorgente.readAll()).split(QLatin1Char('\n'));
        for (qsizetype n = 0; n < righe.size(); ++n) {
            const QString riga = righe[n].trimmed();
            if (riga.startsWith(QLatin1String("//")) || riga.startsWith(QLatin1Char('*'))) continue;
            QString scelta;
            for (qsizetype k = std::max<qsizetype>(0, n - 2); k <= n; ++k) scelta += righe[k];
            if (scelta.contains(QLatin1String("Lingua::Italiano"))) continue;
            QString codice = righe[n];
            codice.replace(carattere, QStringLiteral("' '"));
            for (auto m = letterale.globalMatch(codice); m.hasNext();) {
                const QString testo = m.next().captured(1);
                if (testo.contains(QLatin1Char(' ')) && sembraItaliano(testo))
                    trovati << QStringLiteral("%1:%2: %3").arg(it.fileName()).arg(n + 1).arg(testo);
            }
        }
    }
    EXPECT_GT(file, 50);
    EXPECT_TRUE(trovati.isEmpty()) << "put these texts in src/resources/stringtable.tsv:\n"
                                   << trovati.join(QLatin1Char('\n')).toStdString();
}

// Run by the test below in a child process with a chosen environment.
TEST(StringTable, StampaLinguaUtente)
{
    if (qEnvironmentVariableIsEmpty("CARTIGO_STAMPA_LINGUA"))
        GTEST_SKIP() << "helper of LanguageFollowsTheUsersInterfaceLanguage";
    std::printf("LINGUA=%s\n", qPrintable(LoadResString(126)));
}

TEST(StringTable, LanguageFollowsTheUsersInterfaceLanguage)
{
    // The language is read from the environment when the process starts, so ask child processes.
    struct Caso {
        QStringList ambiente;
        const char* atteso;
    } casi[] = {
        {{"LANG=it_IT.UTF-8"}, "Strumenti"},
        {{"LANG=en_US.UTF-8", "LC_ALL=it_IT.UTF-8"}, "Strumenti"},
        {{"LANG=it_CH.UTF-8", "LC_MESSAGES=en_GB.UTF-8"}, "Tools"},
        {{"LANG=en_US.UTF-8", "LANGUAGE=it:en"}, "Strumenti"},
        {{"LANG=de_DE.UTF-8"}, "Tools"},
        {{"LANG=C"}, "Tools"},
    };
    for (const auto& c : casi) {
        QProcess p;
        QStringList env;
        for (const QString& v : QProcess::systemEnvironment())
            if (!v.startsWith(QLatin1String("LANG")) && !v.startsWith(QLatin1String("LC_")))
                env << v;
        env << c.ambiente << QStringLiteral("CARTIGO_STAMPA_LINGUA=1");
        p.setEnvironment(env);
        p.start(QStringLiteral("/proc/self/exe"), {QStringLiteral("--gtest_filter=StringTable.StampaLinguaUtente")});
        ASSERT_TRUE(p.waitForFinished(30000));
        const QString out = QString::fromUtf8(p.readAllStandardOutput());
        EXPECT_TRUE(out.contains(QStringLiteral("LINGUA=") + QString::fromUtf8(c.atteso)))
            << c.ambiente.join(QLatin1Char(' ')).toStdString() << ": " << out.toStdString();
    }
    ImpostaLingua(Lingua::Italiano);
    EXPECT_EQ(LoadResString(126), QStringLiteral("Strumenti"));
    ImpostaLingua(Lingua::Inglese);
    EXPECT_EQ(LoadResString(126), QStringLiteral("Tools"));
}

TEST(StringTable, FiltersBecomeQtFilters)
{
    EXPECT_EQ(FiltroQt(LoadResString(262, Lingua::Inglese)), QStringLiteral("All files (*.*);;ASCII files (*.eti)"));
    EXPECT_EQ(FiltroQt(QStringLiteral("Immagini|*.png;*.jpg|Tutti|*.*")),
              QStringLiteral("Immagini (*.png *.jpg);;Tutti (*.*)"));
    EXPECT_EQ(VoceFiltro(FiltroQt(LoadResString(264, Lingua::Italiano)), 2), QStringLiteral("File jpg (*.jpg)"));
}
