// The three-decimal mask, the whole-number filter and number formatting, run
// under an Italian and an English locale value.
#include "common/TestSupport.h"
#include "layout/CampoNumerico.h"

#include <vector>

using namespace cartigo;
using namespace cartigo::modCartigo;
using cartigo::test::kLocali;

namespace {

// Texts below are written with the English separators; for the Italian value
// the two separators swap.
QString L(const char* inglese, const ImpostazioniLocali& loc)
{
    QString t = QString::fromUtf8(inglese);
    if (loc.decimale == QLatin1Char('.')) return t;
    for (QChar& c : t) {
        if (c == QLatin1Char('.'))
            c = loc.decimale;
        else if (c == QLatin1Char(','))
            c = loc.migliaia;
    }
    return t;
}

// A key as typed: "." means the locale's decimal key.
int K(char c, const ImpostazioniLocali& loc)
{
    if (c == '.') return loc.decimale.unicode();
    if (c == '\b') return TastoBackspace;
    if (c == '\x7f') return TastoCancellaAvanti;
    return c;
}

struct Passo {
    char tasto;
    const char* testo;  // expected text afterwards (English separators)
    int caret;
    bool beep = false;
};

struct Sequenza {
    const char* nome;
    const char* iniziale;
    int selStart;
    int selLength;
    std::vector<Passo> passi;
};

const Sequenza kSequenze[] = {
    {"typing digits keeps the caret before the separator",
     "",
     0,
     0,
     {{'1', "1.000", 1}, {'2', "12.000", 2}, {'3', "123.000", 3}, {'4', "1,234.000", 5}}},
    {"digits replace a wholly selected text", "1,234.000", 0, 9, {{'7', "7.000", 1}}},
    {"decimal key jumps after the separator, then decimals shift",
     "1,234.000",
     5,
     0,
     {{'.', "1,234.000", 6}, {'5', "1,234.500", 7}, {'6', "1,234.560", 8}}},
    {"a digit among the decimals shifts them", "1.234", 2, 0, {{'9', "1.923", 3}}},
    {"a digit among the decimals rounds the one pushed out", "1.995", 2, 0, {{'5', "1.600", 3}}},
    {"backspace after the separator removes the last integer digit",
     "1,234.500",
     6,
     0,
     {{'\b', "123.500", 4}, {'\b', "12.500", 3}}},
    {"backspace before the separator", "123.000", 3, 0, {{'\b', "12.000", 2}}},
    {"backspace over a thousands separator", "1,234.000", 2, 0, {{'\b', "1,234.000", 1}}},
    {"backspace in the decimals", "1.250", 4, 0, {{'\b', "1.200", 3}}},
    {"select all and backspace leaves the separator and zeros", "1,234.500", 0, 9, {{'\b', ".000", 0}}},
    {"backspace at the start without selection does nothing", "12.000", 0, 0, {{'\b', "12.000", 0}}},
    {"backspace over the last integer digit", "5.000", 1, 0, {{'\b', ".000", 0}}},
    {"a digit typed into the bare decimals", ".000", 0, 0, {{'4', "4.000", 1}}},
    {"decimal key on a text without separator", "", 0, 0, {{'.', ".000", 0}}},
    {"delete before the separator removes the first decimal", "12.345", 2, 0, {{'\x7f', "12.450", 3}}},
    {"delete removes the digit after the caret", "1,234.000", 2, 0, {{'\x7f', "134.000", 1}}},
    {"delete at the start drops a leading thousands separator", "1,234.500", 0, 0, {{'\x7f', "234.500", 0}}},
    {"delete of selected decimals keeps their places", "1,234.567", 6, 2, {{'\x7f', "1,234.007", 6}}},
    {"delete of a selection with the separator", "1,234.567", 4, 3, {{'\x7f', "123.067", 3}}},
    {"delete of everything leaves the separator with zeros", "12.500", 0, 6, {{'\x7f', ".000", 0}}},
    {"minus at the start passes, a second one is refused",
     "",
     0,
     0,
     {{'-', "-", 1}, {'-', "-", 1, true}, {'5', "-5.000", 2}}},
    {"minus replaces a whole selection", "12.000", 0, 6, {{'-', "-", 1}}},
    {"minus after the start is refused", "5.000", 1, 0, {{'-', "5.000", 1, true}}},
    {"letters and blanks are refused", "5.000", 1, 0, {{'a', "5.000", 1, true}, {' ', "5.000", 1, true}}},
    {"a digit over a selection holding the separator is refused", "12.500", 1, 3, {{'7', "12.500", 1, true}}},
    {"a full box takes no digit in its decimals", "12,345.000", 8, 0, {{'5', "12,345.000", 8, true}}},
    {"a full box still takes the first decimal", "12,345.000", 7, 0, {{'5', "12,345.500", 8}}},
    {"a full box lets the caret move to the decimals", "12,345.000", 9, 0, {{'.', "12,345.000", 7}}},
    {"an unreadable text is left alone, silently", "abc", 1, 0, {{'5', "abc", 1}}},
};

StatoCampo stato(const char* inglese, int s, int l, const ImpostazioniLocali& loc)
{
    return {L(inglese, loc), s, l};
}

}  // namespace

TEST(CampoNumerico, SequenzeDiTasti)
{
    for (const auto& caso : kLocali) {
        for (const auto& seq : kSequenze) {
            SCOPED_TRACE(std::string(caso.nome) + ": " + seq.nome);
            StatoCampo s = stato(seq.iniziale, seq.selStart, seq.selLength, caso.loc);
            int n = 0;
            for (const auto& p : seq.passi) {
                SCOPED_TRACE("key " + std::to_string(++n));
                const auto e = TastoCampoNumerico(s, K(p.tasto, caso.loc), 10, caso.loc);
                EXPECT_EQ(e.stato.testo, L(p.testo, caso.loc));
                EXPECT_EQ(e.stato.selStart, p.caret);
                EXPECT_EQ(e.beep, p.beep);
                EXPECT_EQ(e.tasto != 0, p.tasto == '-' && !p.beep);
                s = e.stato;
            }
        }
    }
}

TEST(CampoNumerico, UscitaDalCampo)
{
    struct Caso {
        const char* testo;
        const char* atteso;
    };
    const Caso casi[] = {{"", "0.000"},  {"   ", "0.000"},    {".000", "0.000"},  {"1234.5", "1,234.500"},
                         {"-", "0.000"}, {"-3.25", "-3.250"}, {" 12 ", "12.000"}, {"1234567", "1,234,567.000"}};
    for (const auto& caso : kLocali)
        for (const auto& c : casi)
            EXPECT_EQ(TestoUscitaCampoNumerico(L(c.testo, caso.loc), caso.loc), L(c.atteso, caso.loc))
                << caso.nome << " " << c.testo;
}

TEST(CampoNumerico, FormattaNumero)
{
    struct Caso {
        double valore;
        int decimali;
        const char* atteso;
    };
    const Caso casi[] = {
        {2, 3, "2.000"},
        {80, 3, "80.000"},
        {0, 3, "0.000"},
        {1234567.5, 3, "1,234,567.500"},
        {-0.0004, 3, "0.000"},
        {1.0005, 3, "1.001"},
        {2.5, 0, "3"},
        {-2.5, 0, "-3"},
        {999.9996, 3, "1,000.000"},
        {1e15, 0, "1,000,000,000,000,000"},
        {0.5, 0, "1"},
        {12.25, 1, "12.3"},
    };
    for (const auto& caso : kLocali)
        for (const auto& c : casi)
            EXPECT_EQ(FormattaNumero(c.valore, c.decimali, caso.loc), L(c.atteso, caso.loc))
                << caso.nome << " " << c.valore;
}

TEST(CampoNumerico, FormatiDelCampo)
{
    const auto en = ImpostazioniLocali::inglese();
    EXPECT_EQ(FormatoNumero(0, FormatoDigitazione, en), QStringLiteral(".000"));
    EXPECT_EQ(FormatoNumero(0, FormatoUscita, en), QStringLiteral("0.000"));
    EXPECT_EQ(FormatoNumero(7, FormatoPrimaCifra, en), QStringLiteral("7.000"));
    EXPECT_EQ(FormatoTesto(QString(), FormatoUscita, en), QString());
    EXPECT_FALSE(FormatoTesto(QStringLiteral("1-2"), FormatoUscita, en).has_value());
}
