// Command line splitting and the start-up decisions.
#include "app/GestoreEtichetta.h"
#include "common/TestSupport.h"

#include <QRegularExpression>

using namespace cartigo;
using modCartigo::LeggiRigaComando;

TEST(Avvio, CommandLineSplitsAtCommasOnly)
{
    EXPECT_TRUE(LeggiRigaComando(QString(), 10).isEmpty());
    EXPECT_EQ(LeggiRigaComando(QStringLiteral("a b.eti"), 10), QStringList{"a b.eti"});
    EXPECT_EQ(LeggiRigaComando(QStringLiteral("a.eti,,-S"), 10), (QStringList{"a.eti", "-S"}));
    EXPECT_EQ(LeggiRigaComando(QStringLiteral(",a, b ,"), 10), (QStringList{"a", " b "}));
    EXPECT_EQ(LeggiRigaComando(QStringLiteral("1,2,3"), 2), (QStringList{"1", "2"}));
    EXPECT_EQ(LeggiRigaComando(QStringLiteral("1,2"), 2), (QStringList{"1", "2"}));
    EXPECT_EQ(LeggiRigaComando(QStringLiteral("a,b,c,d,e,f,g,h,i,j,k,l"), 10).size(), 10);
}

TEST(Avvio, FieldCountDecidesWhatStartUpDoes)
{
    struct Caso {
        QStringList argomenti;
        bool carica, stampa;
        QString file, db, pw;
    } casi[] = {
        {{}, false, false, {}, {}, {}},
        {{"etichetta.eti"}, true, false, "etichetta.eti", {}, {}},
        {{"my", "label.eti"}, true, false, "my label.eti", {}, {}},  // arguments joined by blanks
        {{"a.eti,-S"}, true, true, "a.eti", {}, {}},
        {{"a.eti,", "-S"}, true, true, "a.eti", {}, {}},
        {{"a.eti,,-S"}, true, true, "a.eti", {}, {}},
        {{"a.eti,-s"}, true, false, "a.eti", {}, {}},
        {{"a.eti,x,dati.mdb"}, true, false, "a.eti", "dati.mdb", {}},
        {{"a.eti,-S,dati.mdb,pw"}, true, true, "a.eti", "dati.mdb", "pw"},
        {{"a.eti,x, d.mdb , pw "}, true, false, "a.eti", "d.mdb", "pw"},
        {{"a,b,c,d,e"}, false, false, {}, {}, {}},
        {{" "}, false, false, {}, {}, {}},
    };
    for (const auto& c : casi) {
        const auto a = AvvioProgramma::DaArgomenti(c.argomenti);
        const std::string nome = c.argomenti.join(QLatin1Char(' ')).toStdString();
        EXPECT_EQ(a.carica, c.carica) << nome;
        EXPECT_EQ(a.stampaEdEsci, c.stampa) << nome;
        EXPECT_EQ(a.fileEtichetta, c.file) << nome;
        EXPECT_EQ(a.nomeDatabase, c.db) << nome;
        EXPECT_EQ(a.passwordDatabase, c.pw) << nome;
    }
    // with two to four fields an empty file name is passed on (it gives the missing-file message)
    const auto vuoto = AvvioProgramma::DaCampi({QString(), QStringLiteral("-S")});
    EXPECT_TRUE(vuoto.carica);
    EXPECT_TRUE(vuoto.fileEtichetta.isEmpty());
}

TEST(Avvio, TitleCarriesTheVersionWithoutLeadingZeros)
{
    EXPECT_EQ(modCartigo::TitoloProgramma(), QStringLiteral("Cartigo - vers. ") + modCartigo::VersioneProgramma());
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^[1-9]?[0-9]\\.[1-9]?[0-9]\\.[1-9]?[0-9]$"))
                    .match(modCartigo::VersioneProgramma())
                    .hasMatch());
}
