#include "barcode/EAN.h"

#include "label/FileEtichetta.h"
#include "shell/Interazione.h"
#include "shell/StringTable.h"

#include <array>

namespace cartigo::modCartigo {

namespace {

// Number set A (odd parity, left half).
constexpr std::array<const char*, 10> kSetA = {"0001101", "0011001", "0010011", "0111101", "0100011",
                                               "0110001", "0101111", "0111011", "0110111", "0001011"};
// Number set B (even parity, left half).
constexpr std::array<const char*, 10> kSetB = {"0100111", "0110011", "0011011", "0100001", "0011101",
                                               "0111001", "0000101", "0010001", "0001001", "0010111"};
// Number set C (right half).
constexpr std::array<const char*, 10> kSetC = {"1110010", "1100110", "1101100", "1000010", "1011100",
                                               "1001110", "1010000", "1000100", "1001000", "1110100"};
// Sets of the six left digits for each leading digit: "0" set A, "1" set B.
constexpr std::array<const char*, 10> kParita = {"000000", "001011", "001101", "001110", "010011",
                                                 "011001", "011100", "010101", "010110", "011010"};

bool SoloCifre(const QString& testo)
{
    for (const QChar c : testo)
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
    return true;
}

QString Voce(const std::array<const char*, 10>& tabella, int cifra)
{
    if (cifra < 0 || cifra > 9) return {};
    return QString::fromLatin1(tabella[static_cast<size_t>(cifra)]);
}

}  // namespace

QString PatternSetA(int cifra)
{
    return Voce(kSetA, cifra);
}
QString PatternSetB(int cifra)
{
    return Voce(kSetB, cifra);
}
QString PatternSetC(int cifra)
{
    return Voce(kSetC, cifra);
}
QString ParitaCifraIniziale(int cifra)
{
    return Voce(kParita, cifra);
}

QString TitoloEAN2Bin()
{
    return LoadResString(1443);
}
QString EANInvalido()
{
    return LoadResString(1444);
}
QString EANNonNumerico()
{
    return LoadResString(1445);
}

int CifraControlloEAN(const QString& cifre)
{
    // From the right, the digits weigh 3, 1, 3, 1, ...
    int somma = 0;
    for (qsizetype i = 0; i < cifre.size(); ++i)
        somma += cifre[cifre.size() - 1 - i].digitValue() * (i % 2 == 0 ? 3 : 1);
    return (10 - somma % 10) % 10;
}

EsitoEAN CodificaEAN(const QString& codice)
{
    const auto rifiuto = [](const QString& messaggio) { return EsitoEAN{QString(), messaggio, QString()}; };
    QString cifre = TestoTrim(codice);
    const auto n = cifre.size();
    if (n != 13 && n != 12 && n != 8 && n != 7) return rifiuto(EANInvalido());
    if (!SoloCifre(cifre)) return rifiuto(EANNonNumerico());
    if (n == 12 || n == 7)
        cifre += QString::number(CifraControlloEAN(cifre));
    else if (cifre.back().digitValue() != CifraControlloEAN(cifre.left(n - 1)))
        return rifiuto(EANInvalido());

    QString parita;
    QString codificate;
    if (cifre.size() == 13) {
        parita = ParitaCifraIniziale(cifre[0].digitValue());
        codificate = cifre.mid(1);
    } else {
        parita = QStringLiteral("0000");
        codificate = cifre;
    }
    const qsizetype meta = codificate.size() / 2;

    QString moduli = QStringLiteral("000101");
    for (qsizetype i = 0; i < meta; ++i) {
        const int cifra = codificate[i].digitValue();
        moduli += parita[i] == QLatin1Char('0') ? PatternSetA(cifra) : PatternSetB(cifra);
    }
    moduli += QStringLiteral("01010");
    for (qsizetype i = meta; i < codificate.size(); ++i) moduli += PatternSetC(codificate[i].digitValue());
    moduli += QStringLiteral("101000");
    return {moduli, QString(), cifre};
}

QString EAN2Bin(const QString& codice, Interazione& interazione)
{
    EsitoEAN esito = CodificaEAN(codice);
    if (!esito.valido()) interazione.messaggio(esito.messaggio, TitoloEAN2Bin(), Pulsanti::Ok, Icona::Esclamazione);
    return esito.moduli;
}

}  // namespace cartigo::modCartigo
