// The string table in both languages.
#include "app/Interazione.h"
#include "app/StringTable.h"

#include <QProcess>
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
        {132, "Formato", "Proprieties"},
        {135, "Trasparente", "Trasparent"},
        {138, "Spessore", "Tickness"},
        {140, "Porta indietro", "Bring Forward"},
        {154, "Il tipo di carattere inserito non è disponibile nel sistema.", "Font not available."},
        {157, "Operazione annullata.", "Action aborted"},
        {159, " non trovato oppure percoso inacessibile.", " not found or path not accessible."},
        {161, "Errore nel tentativo di connessione al database ", "Error during open database "},
        {206, "Origine  X stam.", "X Origin"},
        {229, "Stampa numero etichette ", "Print number of labelfs"},
        {233, "Anteprima di stampa", "Print previous"},
        {237, "Stampante %s su %s", "Printer %s of %s"},
        {256, "Imp. pagina", "Pa&ge setup"},
        {262, "Tutti Files (*.*)|*.*|File ascii (*.eti)|*.eti", "All Files (*.*)|*.*|File ascii (*.eti)|*.eti"},
        {264, "File bitmap(*.bmp)|*.bmp|File jpg (*.jpg)|*.jpg|File wmf (*.wmf)|*.wmf|Tutti i file (*.*)|*.*",
         "File bitmap(*.bmp)|*.bmp|File jpg (*.jpg)|*.jpg|File wmf (*.wmf)|*.wmf|All files (*.*)|*.*"},
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
    EXPECT_EQ(FiltroQt(LoadResString(262, Lingua::Inglese)),
              QStringLiteral("All Files (*.*);;File ascii (*.eti)"));
    EXPECT_EQ(FiltroQt(QStringLiteral("Immagini|*.png;*.jpg|Tutti|*.*")),
              QStringLiteral("Immagini (*.png *.jpg);;Tutti (*.*)"));
    EXPECT_EQ(VoceFiltro(FiltroQt(LoadResString(264, Lingua::Italiano)), 2), QStringLiteral("File jpg (*.jpg)"));
}
