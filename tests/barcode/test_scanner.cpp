// A scanner's view: symbols laid out, painted at 300 dpi with a white margin,
// saved as PNG and read back with zbarimg.

#include "RenderBarcode.h"
#include "barcode/Code39.h"
#include "barcode/EAN.h"
#include "common/TestSupport.h"

#include <gtest/gtest.h>
#include <QTemporaryDir>

using namespace cartigo;
using namespace cartigo::test;

namespace {

enum class Simbologia { EAN, Code39 };

struct CasoScanner {
    const char* nome;
    Simbologia simbologia;
    QString codice;
    double moduloMm;  // width of one module
    double altezzaMm;
    PosizioneTestoBarcode posizione;
    QString atteso;  // zbarimg's line
};

void PrintTo(const CasoScanner& c, std::ostream* os)
{
    *os << c.nome;
}

class Scanner : public ::testing::TestWithParam<CasoScanner> {};

TEST_P(Scanner, Legge)
{
    if (!ZbarDisponibile()) GTEST_SKIP() << "zbarimg not found: install zbar-tools to run the scanner tests";
    AssicuraApplicazione();
    const CasoScanner& c = GetParam();
    const double dpi = 300;
    const MisuraTestoBarcode misura = MisuraAdDpi(dpi);

    RiquadroBarcode r;
    r.x = 12;
    r.y = 30;
    r.offsetX = 0.5;
    r.offsetY = -1;
    r.altezza = c.altezzaMm;
    DisegnoBarcode d;
    if (c.simbologia == Simbologia::EAN) {
        r.larghezza = c.moduloMm * modCartigo::CodificaEAN(c.codice).moduli.size();
        d = DisegnoEAN(c.codice, r, misura, c.posizione);
    } else {
        r.larghezza = c.moduloMm * Code39::ModuliCode39(c.codice);
        d = Disegno39(c.codice, r, misura, c.posizione);
    }
    ASSERT_FALSE(d.rettangoli.isEmpty());

    QTemporaryDir cartella;
    ASSERT_TRUE(cartella.isValid());
    OpzioniRender o;
    o.dpi = dpi;
    o.margineMm = 8;
    // CARTIGO_BARCODE_PNG names a folder that keeps the images for a look.
    const QString tenute = qEnvironmentVariable("CARTIGO_BARCODE_PNG");
    const QString png = (tenute.isEmpty() ? cartella.path() : tenute) + QLatin1Char('/') + QLatin1String(c.nome) +
                        QStringLiteral(".png");
    ASSERT_TRUE(RenderBarcode(d, r, o).save(png));
    const auto letti = LeggiConZbar(png);
    ASSERT_TRUE(letti.has_value());
    EXPECT_EQ(letti->join(QLatin1Char('|')).toStdString(), c.atteso.toStdString()) << png.toStdString();
}

const CasoScanner kCasi[] = {
    {"ean13", Simbologia::EAN, QStringLiteral("5901234123457"), 0.33, 25, PosizioneTestoBarcode::Sotto,
     QStringLiteral("EAN-13:5901234123457")},
    {"ean13_sopra", Simbologia::EAN, QStringLiteral(" 4006381333931 "), 0.5, 15, PosizioneTestoBarcode::Sopra,
     QStringLiteral("EAN-13:4006381333931")},
    {"ean13_zero", Simbologia::EAN, QStringLiteral("0012345678905"), 0.26, 12, PosizioneTestoBarcode::Nascosto,
     QStringLiteral("EAN-13:0012345678905")},
    {"ean8", Simbologia::EAN, QStringLiteral("96385074"), 0.33, 20, PosizioneTestoBarcode::Sotto,
     QStringLiteral("EAN-8:96385074")},
    {"ean8_stretto", Simbologia::EAN, QStringLiteral("40123455"), 0.25, 10, PosizioneTestoBarcode::Sopra,
     QStringLiteral("EAN-8:40123455")},
    {"code39", Simbologia::Code39, QStringLiteral("CARTIGO-39"), 0.3, 15, PosizioneTestoBarcode::Sotto,
     QStringLiteral("CODE-39:CARTIGO-39")},
    {"code39_minuscolo", Simbologia::Code39, QStringLiteral("abc 12.$/+%"), 0.4, 12, PosizioneTestoBarcode::Sopra,
     QStringLiteral("CODE-39:ABC 12.$/+%")},
    {"code39_cancelletto", Simbologia::Code39, QStringLiteral("A#B~"), 0.5, 10, PosizioneTestoBarcode::Nascosto,
     QStringLiteral("CODE-39:ABZ")},
    {"code39_uno", Simbologia::Code39, QStringLiteral("7"), 0.25, 10, PosizioneTestoBarcode::Sotto,
     QStringLiteral("CODE-39:7")},
};

INSTANTIATE_TEST_SUITE_P(Barcode, Scanner, ::testing::ValuesIn(kCasi),
                         [](const ::testing::TestParamInfo<CasoScanner>& i) { return std::string(i.param.nome); });

}  // namespace

namespace {

// The libzint kinds in boxes of every shape: a scanner reads each.
struct CasoZint {
    const char* nome;
    const char* tag;
    QString dati;
    double larghezzaMm, altezzaMm;
    QString atteso;  // the reader's line
};

void PrintTo(const CasoZint& c, std::ostream* os)
{
    *os << c.nome;
}

class ScannerZint : public ::testing::TestWithParam<CasoZint> {};

TEST_P(ScannerZint, Legge)
{
    if (!test::LettoreMancante().isEmpty()) GTEST_SKIP() << test::LettoreMancante().toStdString() << " not installed";
    AssicuraApplicazione();
    const CasoZint& c = GetParam();
    const RiquadroBarcode r{12, 30, c.larghezzaMm, c.altezzaMm, 0.5, -1};
    const DisegnoBarcode d =
        DisegnoSimbolo(ParametriBarcode::DaTag(QString::fromLatin1(c.tag)), c.dati, r, MisuraAdDpi(300));
    ASSERT_FALSE(d.rettangoli.isEmpty()) << d.messaggio.toStdString();
    QTemporaryDir cartella;
    const QString png = cartella.filePath(QLatin1String(c.nome) + QStringLiteral(".png"));
    ASSERT_TRUE(RenderBarcode(d, r).save(png));
    const QString tipo = c.atteso.section(QLatin1Char(':'), 0, 0);
    const auto letti = tipo == QLatin1String("DATAMATRIX") ? test::LeggiDataMatrix(png)
                       : tipo == QLatin1String("PDF417")   ? test::LeggiZxing(png, tipo)
                                                           : test::LeggiZbar(png);
    ASSERT_TRUE(letti.has_value());
    EXPECT_EQ(letti->join(QLatin1Char('|')), c.atteso);
}

const CasoZint kCasiZint[] = {
    {"code128_sopra", "21", "Cartigo 128 / abc", 40, 12, "CODE-128:Cartigo 128 / abc"},
    {"code128_numeri", "20", "0123456789012345", 30, 10, "CODE-128:0123456789012345"},
    {"qr_largo", "32L", "https://example.com/a?b=1", 60, 18, "QR-Code:https://example.com/a?b=1"},
    {"qr_alto", "30Q", "Cartigo QR", 15, 50, "QR-Code:Cartigo QR"},
    {"datamatrix_quadrato", "40Q", "Cartigo 0123456789", 20, 30, "DATAMATRIX:Cartigo 0123456789"},
    {"datamatrix_rettangolo", "40R", "RECT", 30, 30, "DATAMATRIX:RECT"},
    {"pdf417_quadrato", "50", "Cartigo PDF417", 30, 30, "PDF417:Cartigo PDF417"},
    {"upca", "60", "12345678901", 38, 20, "UPC-A:123456789012"},
    {"upce_nascosto", "62", "0654321", 22, 15, "UPC-E:06543217"},
    {"itf14_basso", "70", "0061414100009", 60, 12, "I2/5:00614141000098"},
};

INSTANTIATE_TEST_SUITE_P(Barcode, ScannerZint, ::testing::ValuesIn(kCasiZint),
                         [](const ::testing::TestParamInfo<CasoZint>& i) { return std::string(i.param.nome); });

}  // namespace
