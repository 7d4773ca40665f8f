#include "barcode/Code39.h"

#include <algorithm>

namespace cartigo::Code39 {

namespace {

// Bar widths of the n-th character of each group, n = 1 to 10.
constexpr std::array<const char*, 10> kBarre = {"21112", "12112", "22111", "11212", "21211",
                                                "12211", "11122", "21121", "12121", "11221"};

// The four groups of ten characters and the bar after which their wide gap lies.
struct Gruppo {
    const char* caratteri;
    int barraPrimaDelVuoto;
};
constexpr std::array<Gruppo, 4> kGruppi = {{
    {"1234567890", 2},
    {"ABCDEFGHIJ", 3},
    {"KLMNOPQRST", 4},
    {"UVWXYZ-. *", 1},
}};

std::array<QString, kVoci> CostruisciTabella()
{
    std::array<QString, kVoci> t;
    for (const Gruppo& g : kGruppi) {
        for (int n = 0; n < 10; ++n) {
            const QString barre = QString::fromLatin1(kBarre[static_cast<size_t>(n)]);
            const QString voce = barre.left(g.barraPrimaDelVuoto) + QLatin1Char(' ') + barre.mid(g.barraPrimaDelVuoto);
            t[static_cast<size_t>(g.caratteri[n])] = voce;
        }
    }
    // Three wide gaps, five narrow bars.
    t['$'] = QStringLiteral("1 1 1 11");
    t['/'] = QStringLiteral("1 1 11 1");
    t['+'] = QStringLiteral("1 11 1 1");
    t['%'] = QStringLiteral("11 1 1 1");
    t[kStart] = t['*'];
    t[kStop] = t['*'];
    // Not part of the symbology.
    t['#'] = QString();
    t['@'] = QString();
    return t;
}

}  // namespace

const std::array<QString, kVoci>& TabellaCode39()
{
    static const std::array<QString, kVoci> tabella = CostruisciTabella();
    return tabella;
}

QString Voce39(QChar c)
{
    const char16_t codice = std::min(c.unicode(), kUltimoCodice);
    return TabellaCode39()[codice];
}

int ModuliVoce39(const QString& voce)
{
    int moduli = 0;
    for (const QChar c : voce) {
        if (c == QLatin1Char(' '))
            moduli += 1;
        else if (c == QLatin1Char('1'))
            moduli += 2;
        else if (c == QLatin1Char('2'))
            moduli += 3;
    }
    return moduli;
}

QString Maiuscolo39(const QString& codice)
{
    QString r = codice;
    for (QChar& c : r) c = c.toUpper();
    return r;
}

QString CodiceRacchiuso39(const QString& codice)
{
    return QChar(kStart) + Maiuscolo39(codice) + QChar(kStop);
}

QString TestoLeggibile39(const QString& codice)
{
    return QLatin1Char('*') + Maiuscolo39(codice) + QLatin1Char('*');
}

int ModuliCode39(const QString& codice)
{
    int moduli = 0;
    for (const QChar c : CodiceRacchiuso39(codice)) moduli += ModuliVoce39(Voce39(c));
    return moduli + 1;
}

QString StringaModuli39(const QString& codice)
{
    QString moduli;
    for (const QChar c : CodiceRacchiuso39(codice)) {
        for (const QChar e : Voce39(c)) {
            if (e == QLatin1Char(' '))
                moduli += QLatin1Char('0');
            else if (e == QLatin1Char('1'))
                moduli += QStringLiteral("01");
            else if (e == QLatin1Char('2'))
                moduli += QStringLiteral("011");
        }
    }
    return moduli + QLatin1Char('0');
}

}  // namespace cartigo::Code39
