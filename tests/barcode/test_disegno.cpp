// The layout of EAN and Code 39 symbols: where each rectangle and the text go.

#include "barcode/Code39.h"
#include "barcode/DisegnoBarcode.h"
#include "barcode/EAN.h"

#include <gtest/gtest.h>

using namespace cartigo;

namespace {

constexpr double kMm = 56.7;
constexpr double kEps = 1e-6;

// A fixed measure that records what it was asked.
struct MisuraFinta {
    QSizeF dimensione{600, 180};
    QStringList chiesti;
    MisuraTestoBarcode funzione()
    {
        return [this](const QString& t) {
            chiesti << t;
            return dimensione;
        };
    }
};

const RiquadroBarcode kRiquadro{10, 20, 33.33, 25, 1.5, -2};

// The modules the rectangles cover, read back at the centre of each module:
// "1" under a black rectangle, "0" under a white one, "-" under none.
QString ModuliDisegnati(const DisegnoBarcode& d)
{
    QString s;
    const double x0 = (kRiquadro.x + kRiquadro.offsetX) * kMm;
    for (int i = 0; i < d.moduli; ++i) {
        const double centro = x0 + (i + 0.5) * d.larghezzaModulo;
        QChar c = QLatin1Char('-');
        for (const auto& r : d.rettangoli)
            if (r.x1 < centro && centro < r.x2) c = r.colore == QColor(Qt::black) ? QLatin1Char('1') : QLatin1Char('0');
        s += c;
    }
    return s;
}

struct CasoPosizione {
    PosizioneTestoBarcode posizione;
    bool conTesto;
    double cima, fondo, testoY;  // twips, offsets apart, relative to the box top
};
const double kAltezza = 25 * kMm, kTesto = 180;
const CasoPosizione kPosizioni[] = {
    {PosizioneTestoBarcode::Sotto, true, 0, kAltezza - kTesto, kAltezza - kTesto},
    {PosizioneTestoBarcode::Nascosto, false, 0, kAltezza - kTesto, kAltezza - kTesto},
    {PosizioneTestoBarcode::Sopra, true, kTesto, kAltezza, 0},
};

void VerificaGeometria(const DisegnoBarcode& d, const CasoPosizione& c, const QString& testo, bool moduliUguali = true)
{
    const double top = (kRiquadro.y + kRiquadro.offsetY) * kMm;
    EXPECT_EQ(d.conTesto, c.conTesto);
    EXPECT_EQ(d.testo, testo);
    EXPECT_NEAR(d.testoX, (kRiquadro.x + kRiquadro.offsetX) * kMm + (kRiquadro.larghezza * kMm - 600) / 2, kEps);
    EXPECT_NEAR(d.testoY, top + c.testoY, kEps);
    EXPECT_NEAR(d.cimaBarre, top + c.cima, kEps);
    EXPECT_NEAR(d.fondoBarre, top + c.fondo, kEps);
    ASSERT_FALSE(d.rettangoli.isEmpty());
    for (const auto& r : d.rettangoli) {  // every bar, guards included, has the same height
        EXPECT_NEAR(r.y1, top + c.cima, kEps);
        EXPECT_NEAR(r.y2, top + c.fondo, kEps);
    }
    if (moduliUguali) {
        EXPECT_NEAR(d.larghezzaModulo, kRiquadro.larghezza * kMm / d.moduli, kEps);
    }
}

TEST(DisegnoEAN, Geometria)
{
    for (const CasoPosizione& c : kPosizioni) {
        MisuraFinta misura;
        const DisegnoBarcode d =
            DisegnoEAN(QStringLiteral(" 5901234123457  "), kRiquadro, misura.funzione(), c.posizione);
        // The text and its measure keep the blanks; the bars encode the trimmed code.
        EXPECT_EQ(misura.chiesti, QStringList{QStringLiteral(" 5901234123457  ")});
        VerificaGeometria(d, c, QStringLiteral(" 5901234123457  "));
        EXPECT_EQ(d.moduli, 101);
        EXPECT_EQ(d.stilePenna, 5);
        const QString moduli = modCartigo::CodificaEAN(QStringLiteral("5901234123457")).moduli;
        EXPECT_EQ(ModuliDisegnati(d), QString(moduli).replace(QLatin1Char('0'), QLatin1Char('-')));
        // One rectangle per bar: two in each guard, two per digit.
        EXPECT_EQ(d.rettangoli.size(), 6 + 12 * 2);
        EXPECT_NEAR(d.rettangoli.first().x1, (kRiquadro.x + kRiquadro.offsetX) * kMm + 3 * d.larghezzaModulo, kEps);
        EXPECT_NEAR(d.rettangoli.last().x2, (kRiquadro.x + kRiquadro.offsetX) * kMm + 98 * d.larghezzaModulo, kEps);
    }
}

TEST(DisegnoEAN, DodiciCifrePrintTheCheckDigitAndEan8)
{
    MisuraFinta misura;
    const DisegnoBarcode d = DisegnoEAN(QStringLiteral("590123412345"), kRiquadro, misura.funzione());
    EXPECT_EQ(d.testo, QStringLiteral("5901234123457"));
    EXPECT_EQ(misura.chiesti, QStringList{QStringLiteral("5901234123457")});
    MisuraFinta altra;
    EXPECT_EQ(ModuliDisegnati(d),
              ModuliDisegnati(DisegnoEAN(QStringLiteral("5901234123457"), kRiquadro, altra.funzione())));
    // a complete code keeps its text as given, blanks included; an EAN-8 draws its own modules
    const DisegnoBarcode otto = DisegnoEAN(QStringLiteral(" 96385074"), kRiquadro, misura.funzione());
    EXPECT_EQ(otto.testo, QStringLiteral(" 96385074"));
    EXPECT_EQ(otto.moduli, 73);
    EXPECT_EQ(otto.rettangoli.size(), 6 + 8 * 2);
    EXPECT_EQ(ModuliDisegnati(otto),
              modCartigo::CodificaEAN(QStringLiteral("96385074")).moduli.replace(QLatin1Char('0'), QLatin1Char('-')));
}

TEST(DisegnoEAN, CodiceVuotoORifiutato)
{
    struct Caso {
        QString codice;
        QString messaggio;
    };
    const Caso casi[] = {
        {QString(), QString()},
        {QStringLiteral("5901234123458"), modCartigo::EANInvalido()},
        {QStringLiteral("   "), modCartigo::EANInvalido()},
        {QStringLiteral("59012341234B7"), modCartigo::EANNonNumerico()},
    };
    for (const Caso& c : casi) {
        MisuraFinta misura;
        const DisegnoBarcode d = DisegnoEAN(c.codice, kRiquadro, misura.funzione());
        EXPECT_TRUE(d.vuoto()) << c.codice.toStdString();
        EXPECT_EQ(d.messaggio, c.messaggio);
        EXPECT_TRUE(misura.chiesti.isEmpty());
    }
    MisuraFinta misura;
    EXPECT_TRUE(Disegno39(QString(), kRiquadro, misura.funzione()).vuoto());
    EXPECT_TRUE(misura.chiesti.isEmpty());
}

TEST(Disegno39, GeometriaERapporto)
{
    // 66 modules in 33.33 mm: under 0.508 mm, so wide elements are 2.5 narrow ones
    for (const CasoPosizione& c : kPosizioni) {
        MisuraFinta misura;
        const DisegnoBarcode d = Disegno39(QStringLiteral("ab#1"), kRiquadro, misura.funzione(), c.posizione);
        // Measured as given, printed upper-cased with the number sign.
        EXPECT_EQ(misura.chiesti, QStringList{QStringLiteral("*ab#1*")});
        VerificaGeometria(d, c, QStringLiteral("*AB#1*"), false);
        EXPECT_EQ(d.stilePenna, 5);
        EXPECT_EQ(d.moduli, 5 * 13 + 1);
        // 5 characters of 6 narrow and 3 wide elements, each after a narrow gap, and the closing module
        const double x0 = (kRiquadro.x + kRiquadro.offsetX) * kMm, x1 = x0 + kRiquadro.larghezza * kMm;
        EXPECT_NEAR(d.larghezzaModulo, kRiquadro.larghezza * kMm / (5 * 6 + 5 + 1 + 5 * 3 * 2.5), kEps);
        // one white rectangle under the whole symbol, then the bars, narrow or wide
        ASSERT_EQ(d.rettangoli.size(), 1 + 5 * 5);
        EXPECT_EQ(d.rettangoli[0].colore, QColor(Qt::white));
        EXPECT_NEAR(d.rettangoli[0].x1, x0, kEps);
        EXPECT_NEAR(d.rettangoli[0].x2, x1, kEps);
        EXPECT_NEAR(x1 - d.rettangoli.last().x2, d.larghezzaModulo, kEps);  // the closing module
        for (int i = 1; i < d.rettangoli.size(); ++i) {
            const double w = (d.rettangoli[i].x2 - d.rettangoli[i].x1) / d.larghezzaModulo;
            EXPECT_TRUE(std::abs(w - 1) < 1e-6 || std::abs(w - 2.5) < 1e-6) << w;
        }
    }
    // From 0.508 mm on, the 2:1 drawing of every module as before
    RiquadroBarcode largo = kRiquadro;
    largo.larghezza = 66 * 0.508;
    MisuraFinta misura;
    const DisegnoBarcode d = Disegno39(QStringLiteral("AB1"), largo, misura.funzione());
    EXPECT_NEAR(d.larghezzaModulo, largo.larghezza * kMm / 66, kEps);
    EXPECT_EQ(ModuliDisegnati(d), Code39::StringaModuli39(QStringLiteral("AB1")));
    const DisegnoBarcode z = Disegno39(QStringLiteral("~"), largo, misura.funzione());  // past "Z": "Z"
    EXPECT_EQ(z.moduli, 40);
    EXPECT_EQ(z.testo, QStringLiteral("*~*"));
}

TEST(Disegno, RiquadroPiuBassoDelTesto)
{
    RiquadroBarcode basso = kRiquadro;
    basso.altezza = 3;  // 170 twips, less than the 180 of the text
    MisuraFinta misura;
    for (const DisegnoBarcode& d : {DisegnoEAN(QStringLiteral("96385074"), basso, misura.funzione()),
                                    Disegno39(QStringLiteral("A"), basso, misura.funzione())}) {
        EXPECT_TRUE(d.rettangoli.isEmpty());
        EXPECT_TRUE(d.conTesto);
    }
}

TEST(Disegno, PosizioneDaNumero)
{
    EXPECT_EQ(PosizioneTestoDaNumero(0), PosizioneTestoBarcode::Sotto);
    EXPECT_EQ(PosizioneTestoDaNumero(1), PosizioneTestoBarcode::Sopra);
    EXPECT_EQ(PosizioneTestoDaNumero(2), PosizioneTestoBarcode::Nascosto);
    EXPECT_EQ(PosizioneTestoDaNumero(3), PosizioneTestoBarcode::Sotto);
    EXPECT_EQ(PosizioneTestoDaNumero(-1), PosizioneTestoBarcode::Sotto);
}

}  // namespace
