// The module strings of EAN-13, EAN-8 and Code 39 symbols against the
// symbologies' published tables.

#include "barcode/Code39.h"
#include "barcode/EAN.h"
#include "shell/InterazioneScriptata.h"
#include "shell/StringTable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

using namespace cartigo;
using namespace cartigo::modCartigo;

namespace {

// Number set A as the EAN standard prints it; B and C follow from it by the
// standard's rules (C is A with light and dark swapped, B is C read backwards).
const char* const kA[] = {"0001101", "0011001", "0010011", "0111101", "0100011",
                          "0110001", "0101111", "0111011", "0110111", "0001011"};
QString A(int d)
{
    return QString::fromLatin1(kA[d]);
}
QString C(int d)
{
    QString s = A(d);
    for (QChar& c : s) c = c == QLatin1Char('0') ? QLatin1Char('1') : QLatin1Char('0');
    return s;
}
QString B(int d)
{
    QString s = C(d);
    std::reverse(s.begin(), s.end());
    return s;
}
// Sets of the left half for each leading digit.
const char* const kParitaStandard[] = {"AAAAAA", "AABABB", "AABBAB", "AABBBA", "ABAABB",
                                       "ABBAAB", "ABBBAA", "ABABAB", "ABABBA", "ABBABA"};

// Real codes module by module: 5 901234 123457 (leading 5: sets A B B A A B) and 9638 5074.
TEST(EAN, CodiciReali)
{
    const std::pair<const char*, QString> casi[] = {
        {"5901234123457", QStringLiteral("000101"
                                         "0001011" "0100111" "0110011" "0010011" "0111101" "0011101"
                                         "01010"
                                         "1100110" "1101100" "1000010" "1011100" "1001110" "1000100"
                                         "101000")},
        {"96385074", QStringLiteral("000101"
                                    "0001011" "0101111" "0111101" "0110111"
                                    "01010"
                                    "1001110" "1110010" "1000100" "1011100"
                                    "101000")},
    };
    for (const auto& [codice, atteso] : casi) {
        const EsitoEAN e = CodificaEAN(QString::fromLatin1(codice));
        EXPECT_TRUE(e.messaggio.isEmpty()) << codice;
        EXPECT_EQ(e.moduli, atteso) << codice;
        EXPECT_EQ(e.moduli.size(), atteso.size() == 101 ? kModuliEAN13 : kModuliEAN8) << codice;
    }
}

TEST(EAN, OgniCifraIniziale)
{
    for (int iniziale = 0; iniziale < 10; ++iniziale) {
        // 12 digits: the encoder adds the check digit of each leading digit
        const EsitoEAN e = CodificaEAN(QString::number(iniziale) + QStringLiteral("23456789012"));
        const QString resto = e.cifre.mid(1);
        const QString m = e.moduli;
        ASSERT_EQ(m.size(), kModuliEAN13) << iniziale;
        for (int i = 0; i < 6; ++i) {
            const int cifra = resto[i].digitValue();
            const bool setA = kParitaStandard[iniziale][i] == 'A';
            EXPECT_EQ(m.mid(6 + 7 * i, 7), setA ? A(cifra) : B(cifra)) << iniziale << " posizione " << i;
            // Set A has an odd number of dark modules, set B an even one.
            EXPECT_EQ(m.mid(6 + 7 * i, 7).count(QLatin1Char('1')) % 2, setA ? 1 : 0);
        }
        for (int i = 6; i < 12; ++i) EXPECT_EQ(m.mid(53 + 7 * (i - 6), 7), C(resto[i].digitValue())) << iniziale;
    }
}

TEST(EAN, CasiLimite)
{
    const QString invalido = EANInvalido();
    const QString nonNumerico = EANNonNumerico();
    const QString buono = CodificaEAN(QStringLiteral("5901234123457")).moduli;
    struct Caso {
        QString codice;
        QString messaggio;  // empty when the code is encoded
    };
    const Caso casi[] = {
        {QStringLiteral("  5901234123457   "), {}},  // blanks around are trimmed
        {QStringLiteral("59012341234567"), invalido},
        {QStringLiteral("59012341234"), invalido},  // 11 digits
        {QStringLiteral("123456789"), invalido},
        {QString(), invalido},
        {QStringLiteral("             "), invalido},
        {QStringLiteral("\t5901234123457"), invalido},  // only blanks are trimmed
        {QStringLiteral("5901234 23457"), nonNumerico},
        {QStringLiteral("59012341234A7"), nonNumerico},
        {QStringLiteral("9638507a"), nonNumerico},
        {QStringLiteral("-9638507"), nonNumerico},
        {QString::fromUtf8("590123412345\u0667"), nonNumerico},  // a digit, but not 0 to 9
    };
    for (const Caso& c : casi) {
        const EsitoEAN e = CodificaEAN(c.codice);
        EXPECT_EQ(e.messaggio, c.messaggio) << c.codice.toStdString();
        EXPECT_EQ(e.valido(), c.messaggio.isEmpty()) << c.codice.toStdString();
    }
    EXPECT_EQ(CodificaEAN(casi[0].codice).moduli, buono);
}

TEST(EAN, CifraDiControlloCalcolataOVerificata)
{
    const QString invalido = EANInvalido();
    // 12 or 7 digits get the check digit every label program computes
    struct Caso {
        const char* dati;
        const char* completo;
    } completati[] = {
        {"590123412345", "5901234123457"}, {"400638133393", "4006381333931"}, {"978020137962", "9780201379624"},
        {"000000000000", "0000000000000"}, {"9638507", "96385074"},           {"5512345", "55123457"},
    };
    for (const Caso& c : completati) {
        const EsitoEAN e = CodificaEAN(QString::fromLatin1(c.dati));
        EXPECT_EQ(e.cifre, QString::fromLatin1(c.completo)) << c.dati;
        EXPECT_EQ(e.moduli, CodificaEAN(QString::fromLatin1(c.completo)).moduli) << c.dati;
        EXPECT_EQ(CifraControlloEAN(QString::fromLatin1(c.dati)),
                  QChar::fromLatin1(c.completo[strlen(c.dati)]).digitValue());
    }
    EXPECT_EQ(CodificaEAN(QStringLiteral(" 590123412345 ")).cifre, QStringLiteral("5901234123457"));
    // a wrong check digit would print a symbol no scanner reads: refused
    for (const char* sbagliato : {"5901234123458", "5901234123450", "96385075", "4006381333930"}) {
        const EsitoEAN e = CodificaEAN(QString::fromLatin1(sbagliato));
        EXPECT_FALSE(e.valido()) << sbagliato;
        EXPECT_EQ(e.messaggio, invalido) << sbagliato;
    }
}

TEST(EAN, EAN2BinMostraIlMessaggio)
{
    ImpostaLingua(Lingua::Italiano);  // the messages checked are the Italian ones
    InterazioneScriptata ui;
    EXPECT_EQ(EAN2Bin(QStringLiteral("96385074"), ui).size(), kModuliEAN8);
    EXPECT_TRUE(ui.messaggi.isEmpty());
    EXPECT_TRUE(EAN2Bin(QStringLiteral("5901234123458"), ui).isEmpty());
    EXPECT_TRUE(EAN2Bin(QStringLiteral("59012341234X7"), ui).isEmpty());
    ASSERT_EQ(ui.messaggi.size(), 2);
    EXPECT_EQ(ui.messaggi[0].testo, QStringLiteral("Codice EAN invalido!.."));
    EXPECT_EQ(ui.messaggi[1].testo, QStringLiteral("Inserire caratteri di tipo numerico..."));
    for (const auto& m : ui.messaggi) {
        EXPECT_EQ(m.titolo, QStringLiteral("EAN2Bin"));
        EXPECT_EQ(m.icona, Icona::Esclamazione);
        EXPECT_EQ(m.pulsanti, Pulsanti::Ok);
    }
}

// Code 39 -------------------------------------------------------------------

// Character patterns as the Code 39 standard prints them (12 modules, bar first).
struct Carattere39 {
    char c;
    const char* moduli;
};
const Carattere39 kStandard39[] = {
    {'0', "101001101101"}, {'1', "110100101011"}, {'7', "101001011011"}, {'9', "101100101101"}, {'A', "110101001011"},
    {'J', "101011001101"}, {'K', "110101010011"}, {'T', "101011011001"}, {'U', "110010101011"}, {'Z', "100110110101"},
    {'-', "100101011011"}, {'.', "110010101101"}, {' ', "100110101101"}, {'$', "100100100101"}, {'/', "100100101001"},
    {'+', "100101001001"}, {'%', "101001001001"},
};
const QString kAsterisco = QStringLiteral("0100101101101");  // with the gap before it

TEST(Code39, Tabella)
{
    const auto& t = Code39::TabellaCode39();
    ASSERT_EQ(t.size(), 91u);
    EXPECT_EQ(t['*'], QStringLiteral("1 1221"));
    EXPECT_EQ(t[1], t['*']);
    EXPECT_EQ(t[2], t['*']);
    EXPECT_EQ(t['0'], QStringLiteral("11 221"));
    EXPECT_EQ(t['A'], QStringLiteral("211 12"));
    EXPECT_EQ(t['$'], QStringLiteral("1 1 1 11"));
    EXPECT_EQ(t['%'], QStringLiteral("11 1 1 1"));
    EXPECT_TRUE(t['#'].isEmpty());
    EXPECT_TRUE(t['@'].isEmpty());
    int piene = 0;
    for (size_t i = 0; i < t.size(); ++i) {
        if (t[i].isEmpty()) continue;
        ++piene;
        EXPECT_EQ(Code39::ModuliVoce39(t[i]), 13) << i;
        EXPECT_EQ(QString(t[i]).remove(QLatin1Char(' ')).size(), 5) << i;
        EXPECT_EQ(t[i].count(QLatin1Char('2')) + t[i].count(QLatin1Char(' ')), 3) << i;  // three wide elements
    }
    EXPECT_EQ(piene, 44 + 2);
}

TEST(Code39, CarattereSingolo)
{
    for (const Carattere39& c : kStandard39) {
        const QString codice(QLatin1Char(c.c));
        const QString atteso = kAsterisco + QLatin1Char('0') + QLatin1String(c.moduli) + kAsterisco + QLatin1Char('0');
        EXPECT_EQ(Code39::StringaModuli39(codice), atteso) << c.c;
        EXPECT_EQ(Code39::ModuliCode39(codice), 40) << c.c;
    }
}

TEST(Code39, CasiLimite)
{
    using namespace Code39;
    struct Caso {
        QString codice;
        QString comeBarre;  // encodes like this code
        QString testo;      // the human-readable line
    };
    const Caso casi[] = {
        {QStringLiteral("abc"), QStringLiteral("ABC"), QStringLiteral("*ABC*")},
        {QStringLiteral("A#B"), QStringLiteral("AB"), QStringLiteral("*A#B*")},
        {QStringLiteral("@"), QString(), QStringLiteral("*@*")},
        {QStringLiteral("~"), QStringLiteral("Z"), QStringLiteral("*~*")},
        {QStringLiteral("a[b"), QStringLiteral("AZB"), QStringLiteral("*A[B*")},
        {QString::fromUtf8("\u00e9"), QStringLiteral("Z"), QString::fromUtf8("*\u00c9*")},
        {QStringLiteral("x-1 2.3"), QStringLiteral("X-1 2.3"), QStringLiteral("*X-1 2.3*")},
    };
    for (const Caso& c : casi) {
        EXPECT_EQ(StringaModuli39(c.codice), StringaModuli39(c.comeBarre)) << c.codice.toStdString();
        EXPECT_EQ(ModuliCode39(c.codice), 27 + 13 * c.comeBarre.size()) << c.codice.toStdString();
        EXPECT_EQ(TestoLeggibile39(c.codice), c.testo);
    }
    EXPECT_EQ(StringaModuli39(QString()), kAsterisco + kAsterisco + QLatin1Char('0'));
}

}  // namespace
