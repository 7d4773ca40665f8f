// Number conversions of the label file and the input fields, under both locale values.
#include "common/TestSupport.h"
#include "label/Conversioni.h"
#include "label/Errori.h"

using namespace cartigo;
using namespace cartigo::modCartigo;

namespace {
const auto IT = ImpostazioniLocali::italiano();
const auto EN = ImpostazioniLocali::inglese();
}  // namespace

TEST(Conversioni, ConvertiInteroRoundsHalvesToEven)
{
    struct Caso {
        const char* it;
        const char* en;
        double atteso;
    } casi[] = {
        {"8,25", "8.25", 8}, {"10,5", "10.5", 10}, {"11,5", "11.5", 12}, {"-2,5", "-2.5", -2},
        {" 9 ", " 9 ", 9},   {"", "", 0},         {"8,5", "8.5", 8},    {"9,5", "9.5", 10},
        // does not convert: fixed-format reading with "." and no rounding
        {"12abc", "12abc", 12}, {"True", "True", 0}, {"7.5x", "7.5x", 7.5},
    };
    for (const auto& c : casi) {
        EXPECT_EQ(ConvertiIntero(QString::fromUtf8(c.it), IT), c.atteso) << c.it;
        EXPECT_EQ(ConvertiIntero(QString::fromUtf8(c.en), EN), c.atteso) << c.en;
    }
    EXPECT_THROW(ConvertiIntero(QStringLiteral("40000"), EN), ErroreCartigo);
}

TEST(Conversioni, ConvertiDoubleFollowsLocaleThenFixedFormat)
{
    EXPECT_DOUBLE_EQ(ConvertiDouble(QStringLiteral(" 12,5 "), IT), 12.5);
    EXPECT_DOUBLE_EQ(ConvertiDouble(QStringLiteral(" 12.5 "), EN), 12.5);
    // The other locale's separator is a thousands separator there, as the platform reads it.
    EXPECT_DOUBLE_EQ(ConvertiDouble(QStringLiteral("12.5"), IT), 125);
    EXPECT_DOUBLE_EQ(ConvertiDouble(QStringLiteral("1.234,5"), IT), 1234.5);
    EXPECT_DOUBLE_EQ(ConvertiDouble(QString(), IT), 0);
    EXPECT_DOUBLE_EQ(ConvertiDouble(QStringLiteral("3.7 mm"), IT), 3.7);  // fixed-format rule
    EXPECT_DOUBLE_EQ(ConvertiDouble(QStringLiteral("abc"), EN), 0);
    EXPECT_DOUBLE_EQ(ConvertiDouble(QStringLiteral(",5"), IT), 0.5);
}

TEST(Conversioni, ValFissoTakesTheLongestLeadingNumber)
{
    EXPECT_DOUBLE_EQ(ValFisso(QStringLiteral(" 1 2 3")), 123);
    EXPECT_DOUBLE_EQ(ValFisso(QStringLiteral("-4.5e2x")), -450);
    EXPECT_DOUBLE_EQ(ValFisso(QStringLiteral("1e")), 1);
    EXPECT_DOUBLE_EQ(ValFisso(QStringLiteral("5.")), 5);
    EXPECT_DOUBLE_EQ(ValFisso(QStringLiteral("x5")), 0);
    EXPECT_DOUBLE_EQ(ValFisso(QStringLiteral("-1")), -1);
}

TEST(Conversioni, NumbersAreWrittenWithBlanksAndTheLocaleSeparator)
{
    for (const auto& c : test::kLocali) {
        const QString sep = QString(c.loc.decimale);
        EXPECT_EQ(SingleFile(8.25f, c.loc), " 8" + sep + "25 ") << c.nome;
        EXPECT_EQ(SingleFile(0.1f, c.loc), " " + sep + "1 ") << c.nome;
        EXPECT_EQ(DoubleFile(2, c.loc), QStringLiteral(" 2 ")) << c.nome;
        EXPECT_EQ(DoubleFile(-0.5, c.loc), "-" + sep + "5 ") << c.nome;
        EXPECT_EQ(DoubleFile(1.0 / 3.0, c.loc), " " + sep + QString(15, QLatin1Char('3')) + " ") << c.nome;
        EXPECT_EQ(SingleFile(1234567.0f, c.loc), QStringLiteral(" 1234567 ")) << c.nome;
        EXPECT_EQ(DoubleFile(1e20, c.loc), QStringLiteral(" 1E+20 ")) << c.nome;
        // written and read back gives the same value
        for (double v : {0.0, 2.0, -7.75, 1935.0 / 56.7, 123456.789}) {
            EXPECT_DOUBLE_EQ(ConvertiDouble(DoubleFile(v, c.loc), c.loc), v) << c.nome << " " << v;
        }
    }
    EXPECT_EQ(InteroFile(-2147483633), QStringLiteral("-2147483633 "));
    EXPECT_EQ(InteroFile(16777215), QStringLiteral(" 16777215 "));
    EXPECT_EQ(DoubleFile(-0.0, IT), QStringLiteral(" 0 "));
}

TEST(Conversioni, LongConversionsReportTheirErrors)
{
    EXPECT_EQ(ConvertiLong(QStringLiteral(" -2147483633 "), IT), -2147483633);
    try {
        ConvertiLong(QStringLiteral("blu"), IT);
        FAIL();
    } catch (const ErroreCartigo& e) {
        EXPECT_EQ(e.numero(), 13);
        EXPECT_EQ(e.descrizione(), QStringLiteral("Type mismatch"));
    }
    try {
        ConvertiLong(QStringLiteral("99999999999"), EN);
        FAIL();
    } catch (const ErroreCartigo& e) {
        EXPECT_EQ(e.numero(), 6);
    }
}
