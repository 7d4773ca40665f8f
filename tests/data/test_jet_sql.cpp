// Jet SQL translation and the Jet functions, evaluated on a one-row CSV source;
// dates as Jet reads them; field values as text.
#include "SupportoDati.h"
#include "data/DatabaseJet.h"
#include "data/FunzioniJet.h"
#include "data/JetSql.h"
#include "data/SorgenteCsv.h"
#include "data/ValoriJet.h"
#include "shell/StringTable.h"

#include <QTemporaryDir>

using namespace cartigo;
using namespace cartigo::modCartigo;

namespace {

class Espressioni : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::UsaLettoreDellaBuild();
        file_ = dir_.filePath(QStringLiteral("riga.csv"));
        test::ScriviFile(file_, "Nome,Numero,Data,Vuoto\nRossi,12.5,2024-03-01,\n");
        db_ = DatabaseJet::Apri(file_, QString());
    }
    // The value of a Jet expression on the row, as text.
    QString valuta(const QString& espressione)
    {
        auto rs = db_->ApriRecordset(QStringLiteral("SELECT ") + espressione + QStringLiteral(" AS x FROM riga"));
        const QVariant v = rs->Valore(0);
        if (v.isNull()) return QStringLiteral("<null>");
        if (v.typeId() == QMetaType::QDateTime) return DataIso(v.toDateTime());
        return v.toString();
    }
    QTemporaryDir dir_;
    QString file_;
    std::unique_ptr<DatabaseJet> db_;
    test::LocaleTemporaneo locale_{ImpostazioniLocali::inglese()};
    struct LinguaInglese {
        LinguaInglese() { ImpostaLingua(Lingua::Inglese); }
    } lingua_;
};

}  // namespace

TEST_F(Espressioni, OperatoriEFunzioni)
{
    struct Caso {
        const char* jet;
        const char* atteso;
    };
    const Caso casi[] = {
        {"'a' & Null & 1", "a1"},
        {"'Data: ' & Data", "Data: 3/1/2024"},
        {"\"Qtr \" & DatePart(\"q\", #5/17/95#)", "Qtr 2"},
        {"IIf(Numero > 10, 'big', 'small')", "big"},
        {"IIf(Vuoto > 10, 'big', 'small')", "small"},
        {"Nz(Vuoto, 'x') & Nz(Nome, 'x')", "xRossi"},
        {"Left('abcdef', 2) & Right('abcdef', 2) & Mid('abcdef', 2, 3) & Mid$('abcdef', 5)", "abefbcdef"},
        {"Len(Trim('  ab  '))", "2"},
        {"UCase('àb') & LCase('CD')", "ÀBcd"},
        {"Year(Data) & '-' & Month(Data) & '-' & Day(Data)", "2024-3-1"},
        {"CLng(2.5) & '/' & CLng(3.5) & '/' & CInt(-2.5)", "2/4/-2"},
        {"CCur(1/3)", "0.3333"},
        {"7 \\ 2", "3"},
        {"7 Mod 3", "1"},
        {"2 ^ 10", "1024"},
        {"7 / 2", "3.5"},
        {"1 + 2 * 3 & 'x'", "7x"},  // & binds looser than arithmetic
        {"Format(#3/1/2024#, 'yyyy')", "2024"},
        {"Format(Data, 'dd/mm/yyyy')", "01/03/2024"},
        {"Format(1234.5, '#,##0.00')", "1,234.50"},
        {"Format(0.256, 'Percent')", "25.60%"},
        {"Format(5, '000')", "005"},
        {"'abc' Like 'A*'", "1"},
        {"'a1c' Like 'a#c'", "1"},
        {"'abc' Like '[!a]*'", "0"},
        {"'b' Like '[a-c]'", "1"},
        {"Nome Not Like 'R?ss*'", "0"},
        {"Numero Between 12.5 And 13", "1"},
        {"Vuoto = Null", "<null>"},
        {"Vuoto Is Null", "1"},
        {"Nome Is Not Null", "1"},
        {"'x' In ('y', 'X')", "1"},
        {"True", "-1"},
        {"Not (1 = 2)", "1"},
        {"DateSerial(2024, 2, 30)", "2024-03-01 00:00:00"},
        {"#2024-03-01# + 1", "2024-03-02 00:00:00"},
        {"DateAdd('m', 1, #1/31/2024#)", "2024-02-29 00:00:00"},
        {"DateDiff('d', #1/1/2024#, #3/1/2024#)", "60"},
        {"'Rossi' = 'ROSSI'", "1"},
        {"'è' = 'e'", "0"},
        {"InStr('abcabc', 'C')", "3"},
        {"Val('12.5abc')", "12.5"},
        {"Int(-2.5) & Fix(-2.5)", "-3-2"},
        {"Round(2.5) & Round(3.5) & Round(1.2345, 2)", "241.23"},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.jet);
        EXPECT_EQ(valuta(QString::fromUtf8(c.jet)), QString::fromUtf8(c.atteso));
    }
}

TEST_F(Espressioni, ErroriChiari)
{
    struct Caso {
        const char* sql;
        int errore;
    };
    const Caso casi[] = {
        {"SELECT Foo(1) FROM riga", ErroreJet::FunzioneNonDefinita},
        {"SELECT #13/13/2024# FROM riga", ErroreJet::SintassiEspressione},
        {"SELECT 'abc FROM riga", ErroreJet::SintassiEspressione},
        {"SELECT * FROM", ErroreJet::SintassiSql},
        {"SELECT * FROM riga WHERE", ErroreJet::SintassiSql},
        {"SELECT Manca FROM riga", ErroreJet::ParametriMancanti},
        {"SELECT * FROM altra", ErroreJet::TabellaNonTrovata},
        {"TRANSFORM Sum(Numero) SELECT Nome FROM riga GROUP BY Nome PIVOT Data", ErroreJet::OperazioneNonSupportata},
        {"SELECT * INTO copia FROM riga", ErroreJet::OperazioneNonSupportata},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.sql);
        try {
            db_->ApriRecordset(QString::fromUtf8(c.sql));
            ADD_FAILURE() << "no error";
        } catch (const ErroreCartigo& e) {
            EXPECT_EQ(e.numero(), c.errore) << e.descrizione().toStdString();
        }
    }
}

TEST(JetSql, TraduzioneDelleIstruzioni)
{
    struct Caso {
        const char* jet;
        const char* sqlite;
    };
    const Caso casi[] = {
        {"SELECT * From [Order Details] WHERE [Quantity] Between 5 AND 10;",
         "SELECT * FROM \"Order Details\" WHERE (\"Quantity\" COLLATE JETTEXT BETWEEN 5 AND 10)"},
        {"SELECT TOP 5 [a].x FROM t AS a ORDER BY x DESC",
         "SELECT \"a\".\"x\" FROM \"t\" AS \"a\" ORDER BY \"x\" COLLATE JETTEXT DESC LIMIT 5"},
        {"SELECT DISTINCTROW a, b+1 FROM t", "SELECT \"a\", jet_add(\"b\", 1) AS \"Expr1000\" FROM \"t\""},
        {"SELECT DISTINCTROW t.a FROM t INNER JOIN u ON t.k = u.k",
         "SELECT \"t\".\"a\" FROM \"t\" INNER JOIN \"u\" ON (\"t\".\"k\" COLLATE JETTEXT = \"u\".\"k\") GROUP BY "
         "\"t\".rowid"},
        {"SELECT a FROM (t INNER JOIN u ON t.k = u.k) LEFT JOIN v ON u.j = v.j",
         "SELECT \"a\" FROM (\"t\" INNER JOIN \"u\" ON (\"t\".\"k\" COLLATE JETTEXT = \"u\".\"k\")) LEFT JOIN \"v\" ON "
         "(\"u\".\"j\" COLLATE JETTEXT = \"v\".\"j\")"},
        {"SELECT a FROM t UNION SELECT b FROM u ORDER BY a",
         "SELECT \"a\" FROM \"t\" UNION SELECT \"b\" FROM \"u\" ORDER BY \"a\" COLLATE JETTEXT"},
        {"SELECT 'it''s', \"say \"\"hi\"\"\" FROM t",
         "SELECT 'it''s' AS \"Expr1000\", 'say \"hi\"' AS \"Expr1001\" FROM \"t\""},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.jet);
        EXPECT_EQ(TraduciJetSql(QString::fromUtf8(c.jet)), QString::fromUtf8(c.sqlite));
    }
}

TEST(ValoriJet, DateComeLeLeggeJet)
{
    struct Caso {
        const char* testo;
        const char* iso;  // empty: not a date
    };
    const Caso casi[] = {
        {"7/4/1996", "1996-07-04 00:00:00"},
        {"#7/4/1996#", "1996-07-04 00:00:00"},
        {"13/7/1996", "1996-07-13 00:00:00"},
        {"1996-07-04", "1996-07-04 00:00:00"},
        {"1/1/95", "1995-01-01 00:00:00"},
        {"1/1/29", "2029-01-01 00:00:00"},
        {"7/4/1996 14:30", "1996-07-04 14:30:00"},
        {"7/4/1996 2:30:15 PM", "1996-07-04 14:30:15"},
        {"2:30 PM", "1899-12-30 14:30:00"},
        {"abc", ""},
        {"2/30/2024", ""},
        {"", ""},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.testo);
        const auto d = LeggiDataJet(QString::fromLatin1(c.testo));
        EXPECT_EQ(d ? DataIso(*d) : QString(), QString::fromLatin1(c.iso));
    }
    EXPECT_EQ(DataIso(DaSeriale(SerialeDa(QDateTime(QDate(1850, 5, 6), QTime(6, 0))))),
              QStringLiteral("1850-05-06 06:00:00"));
    EXPECT_DOUBLE_EQ(SerialeDa(QDateTime(QDate(1900, 1, 1), QTime(12, 0))), 2.5);
}

TEST(ValoriJet, CampiComeTesto)
{
    const auto it = FormatoTesto::italiano();
    const auto en = FormatoTesto::inglese();
    const QDateTime mezzanotte(QDate(2024, 3, 1), QTime(0, 0));
    const QDateTime pomeriggio(QDate(2024, 3, 1), QTime(14, 5, 9));
    struct Caso {
        QVariant valore;
        int tipo;
        const char* italiano;
        const char* inglese;
    };
    const Caso casi[] = {
        {12.5, TipoDao::Double, "12,5", "12.5"},
        {1234567.25, TipoDao::Double, "1234567,25", "1234567.25"},
        {12.4999999999, TipoDao::Currency, "12,5", "12.5"},
        {0.15000000596046448, TipoDao::Single, "0,15", "0.15"},
        {qlonglong(42), TipoDao::Long, "42", "42"},
        {true, TipoDao::Boolean, "Vero", "True"},
        {qlonglong(0), TipoDao::Boolean, "Falso", "False"},
        {mezzanotte, TipoDao::Date, "01/03/2024", "3/1/2024"},
        {pomeriggio, TipoDao::Date, "01/03/2024 14:05:09", "3/1/2024 2:05:09 PM"},
        {QVariant(), TipoDao::Text, "", ""},
        {QVariant(), TipoDao::Long, "", ""},
        {QStringLiteral("abc"), TipoDao::Text, "abc", "abc"},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.valore.toString().toStdString());
        EXPECT_EQ(NzCampo(c.valore, c.tipo, it), QString::fromUtf8(c.italiano));
        EXPECT_EQ(NzCampo(c.valore, c.tipo, en), QString::fromUtf8(c.inglese));
    }
}

// The record selection's numbers: typed with either decimal mark, read back from what
// TestoNumero writes.
TEST(ValoriJet, NumeriDellaSelezione)
{
    const auto it = ImpostazioniLocali::italiano();
    const auto en = ImpostazioniLocali::inglese();
    struct Caso {
        const char* testo;
        double italiano, inglese;
    };
    const Caso casi[] = {
        {"12.5", 12.5, 12.5},
        {"12,5", 12.5, 12.5},  // never 12 in English
        {"1.234,5", 1234.5, 1.234},
        {"1,234.5", 1.234, 1234.5},
        {"1,234", 1.234, 1234},
        {"-1,234,567 pz", -1.234, -1234567},
        {"1,2345", 1.2345, 1.2345},
        {"1.234", 1.234, 1.234},
        {"18abc", 18, 18},
        {"-0,5", -0.5, -0.5},
        {"abc", 0, 0},
        {"", 0, 0},
        {"1,5E-07", 1.5e-7, 1.5e-7},
        {"7,45 euro", 7.45, 7.45},
        {" 3 ", 3, 3},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.testo);
        EXPECT_DOUBLE_EQ(LeggiNumero(QString::fromUtf8(c.testo), it), c.italiano);
        EXPECT_DOUBLE_EQ(LeggiNumero(QString::fromUtf8(c.testo), en), c.inglese);
    }
    for (const double v : {12.5, 0.1, 1234567.25, 1.5e-7, 999999999999.0, -3.75})
        for (const auto& loc : test::kLocali) {
            SCOPED_TRACE(loc.nome);
            EXPECT_DOUBLE_EQ(LeggiNumero(TestoNumero(v, loc.loc), loc.loc), v);
        }
}

TEST(SorgenteCsv, CampiTraVirgoletteSuPiuRighe)
{
    const auto righe = DividiCsv(QStringLiteral("a,b\n\"x\ny\",\"\"\"q\"\"\"\n\nz,\n"), QLatin1Char(','));
    ASSERT_EQ(righe.size(), 3);
    EXPECT_EQ(righe.at(1), (QStringList{QStringLiteral("x\ny"), QStringLiteral("\"q\"")}));
    EXPECT_EQ(righe.at(2), (QStringList{QStringLiteral("z"), QString()}));
    EXPECT_EQ(SeparatoreCsv(QStringLiteral("a;b,c;d\n1,2,3,4,5")), QLatin1Char(';'));
    EXPECT_EQ(DecodificaTestoCsv(QByteArray("caf\xE9 \x80")), QStringLiteral("café €"));
    // Codes with leading zeros stay text; mixed whole and decimal numbers become Double.
    const auto t = LeggiCsvDaDati("Cap,Valore\n01234,1\n20100,2.5\n", QStringLiteral("t"));
    EXPECT_EQ(t.tipi, (QList<int>{TipoDao::Text, TipoDao::Double}));
    EXPECT_EQ(t.righe.at(0).at(0).toString(), QStringLiteral("01234"));
}
