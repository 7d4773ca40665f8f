// Measurement text and the settings-file routines.
#include "SupportoStampora.h"
#include "common/TestSupport.h"
#include "stampora/FileIni.h"
#include "stampora/Misura.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <unistd.h>

using namespace cartigo;
using namespace cartigo::modCartigo;
using cartigo::test::LeggiFile;
using cartigo::test::ScriviFile;

TEST(Misura, AnalizzaTesti)
{
    const struct {
        const char* testo;
        bool valida;
        double twips;  // with 15 twips per pixel
    } casi[] = {
        {"12.5mm", true, 708.75}, {".4mm", true, 22.68},   {"1440", true, 1440},    {"3pix", true, 45},
        {"2cm", true, 1134},      {"1in", true, 1440},     {"10point", true, 200},  {"7twip", true, 7},
        {"-2mm", true, -113.4},   {"5.MM", true, 283.5},   {" 12mm ", true, 680.4}, {"0", true, 0},
        {"12 mm", false, 0},      {"12furlong", false, 0}, {"mm", false, 0},        {"", false, 0},
        {"1e3", false, 0},        {"12,5mm", false, 0},    {".", false, 0},         {"--1", false, 0},
    };
    for (const auto& c : casi) {
        const auto m = Misura::Analizza(QString::fromLatin1(c.testo));
        EXPECT_EQ(m.has_value(), c.valida) << c.testo;
        if (m && c.valida) {
            EXPECT_NEAR(m->Twips(15), c.twips, 1e-9) << c.testo;
        }
    }
}

TEST(Misura, TestoInNotazionePiana)
{
    EXPECT_EQ(Misura(12.5, Unita::Millimetro).Testo(), QStringLiteral("12.5mm"));
    EXPECT_EQ(Misura(0.4, Unita::Millimetro).Testo(), QStringLiteral("0.4mm"));
    EXPECT_EQ(Misura(1e-5, Unita::Centimetro).Testo(), QStringLiteral("0.00001cm"));
    EXPECT_EQ(Misura(1e7).Testo(), QStringLiteral("10000000"));
    EXPECT_EQ(Misura(-0.0, Unita::Pixel).Testo(), QStringLiteral("0pix"));
    // What is written reads back to the same measurement.
    for (double v : {0.1, 123.456, -7.25, 56.7})
        for (Unita u :
             {Unita::Twip, Unita::Punto, Unita::Pixel, Unita::Pollice, Unita::Millimetro, Unita::Centimetro}) {
            const auto m = Misura::Analizza(Misura(v, u).Testo());
            ASSERT_TRUE(m);
            EXPECT_EQ(m->unita, u);
            EXPECT_DOUBLE_EQ(m->valore, v);
        }
}

class Ini : public ::testing::Test {
protected:
    test::CartellaProgrammaTemporanea cartella;
    QString file = cartella.percorso(QStringLiteral("Stampora.ini"));
};

TEST_F(Ini, FileMancanteOChiaveVuota)
{
    EXPECT_EQ(GetKeyIni(file, QStringLiteral("Margine superiore")), QString());
    EXPECT_EQ(GetKeyIni(QString(), QStringLiteral("x")), QString());
    EXPECT_FALSE(SetKeyIni(QString(), QStringLiteral("x"), QStringLiteral("1")));
    EXPECT_FALSE(SetKeyIni(file, QString(), QStringLiteral("1")));
    EXPECT_FALSE(QFile::exists(file));
}

TEST_F(Ini, CreaLeggeSostituisceEAggiunge)
{
    ASSERT_TRUE(SetKeyIni(file, QStringLiteral("Margine superiore"), QStringLiteral("0,30")));
    EXPECT_EQ(LeggiFile(file), QByteArray("Margine superiore=0,30\n"));
    EXPECT_EQ(GetKeyIni(file, QStringLiteral("Margine superiore=")), QStringLiteral("0,30"));

    ScriviFile(file, "Primo=1\r\nmargine SUPERIORE = 2 \r\nAltro=3\r\nMargine superiore=4\r\n");
    // The last matching line wins; the value is trimmed.
    EXPECT_EQ(GetKeyIni(file, QStringLiteral("Margine superiore")), QStringLiteral("4"));
    EXPECT_EQ(GetKeyIni(file, QStringLiteral("altro")), QStringLiteral("3"));
    EXPECT_EQ(GetKeyIni(file, QStringLiteral("Manca")), QString());

    // A key written in lower case stays as written; a missing key is appended.
    ScriviFile(file, "margine destro=1\nAltro=3\n");
    ASSERT_TRUE(SetKeyIni(file, QStringLiteral("Margine destro"), QStringLiteral("0,50")));
    ASSERT_TRUE(SetKeyIni(file, QStringLiteral("Nuova"), QStringLiteral("x")));
    EXPECT_EQ(LeggiFile(file), QByteArray("margine destro=0,50\nAltro=3\nNuova=x\n"));
    // Several keys in one writing; none when each already holds its value (the lines
    // keep their CR LF ends).
    ASSERT_TRUE(SetKeysIni(file, {{QStringLiteral("Altro"), QStringLiteral("4")}, {QStringLiteral("Ultima"), QStringLiteral("5")}}));
    EXPECT_EQ(LeggiFile(file), QByteArray("margine destro=0,50\nAltro=4\nNuova=x\nUltima=5\n"));
    ScriviFile(file, "Altro=4\r\nUltima=5\r\n");
    ASSERT_TRUE(SetKeysIni(file, {{QStringLiteral("ultima"), QStringLiteral("5")}, {QStringLiteral("Altro"), QStringLiteral("4")}}));
    EXPECT_EQ(LeggiFile(file), QByteArray("Altro=4\r\nUltima=5\r\n"));
    EXPECT_FALSE(QFile::exists(cartella.percorso(QStringLiteral("Stampora.~tm"))));
}

TEST_F(Ini, ScritturaFallitaLasciaIlFile)
{
    // The temporary file cannot be made (a folder has its name): nothing changes.
    ScriviFile(file, "A=1\n");
    ASSERT_TRUE(QDir(cartella.dir.path()).mkdir(QStringLiteral("Stampora.~tm")));
    EXPECT_FALSE(SetKeyIni(file, QStringLiteral("A"), QStringLiteral("2")));
    EXPECT_EQ(LeggiFile(file), QByteArray("A=1\n"));
    // A settings file that is a folder reads as empty and is not written.
    const QString cartellaIni = cartella.percorso(QStringLiteral("Cartella.ini"));
    ASSERT_TRUE(QDir().mkdir(cartellaIni));
    EXPECT_EQ(GetKeyIni(cartellaIni, QStringLiteral("A")), QString());
    EXPECT_FALSE(SetKeyIni(cartellaIni, QStringLiteral("A"), QStringLiteral("2")));
}

TEST(CartelleStampora, ProgrammaNonScrivibile)
{
    QStandardPaths::setTestModeEnabled(true);
    test::CartellaProgrammaTemporanea cartella;
    EXPECT_EQ(FileIniStampora(), cartella.percorso(QStringLiteral("Stampora.ini")));
    EXPECT_EQ(CartellaStampe(), cartella.percorso(QStringLiteral("Stampe")));
    // An installed program: the user's configuration and documents folders.
    ImpostaCartellaProgramma(QStringLiteral("/nonexistent/cartigo"));
    EXPECT_EQ(FileIniStampora(), QDir(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation))
                                     .filePath(QStringLiteral("Stampora.ini")));
    EXPECT_TRUE(CartellaStampe().endsWith(QStringLiteral("/Stampe")));
    EXPECT_FALSE(CartellaStampe().startsWith(QStringLiteral("/nonexistent")));
    QStandardPaths::setTestModeEnabled(false);
}

TEST(CartelleStampora, CartellaDeiProgrammiODiAltriNonRiceveFile)
{
    QStandardPaths::setTestModeEnabled(true);
    const QString ini = QDir(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation))
                            .filePath(QStringLiteral("Stampora.ini"));
    // Where installed programs live, even for root, who may write there.
    for (const char* programmi : {"/usr/bin", "/usr/local/bin"}) {
        if (!QFileInfo(QString::fromLatin1(programmi)).isDir()) continue;
        ImpostaCartellaProgramma(QString::fromLatin1(programmi));
        EXPECT_EQ(FileIniStampora(), ini) << programmi;
        EXPECT_FALSE(CartellaStampe().startsWith(QString::fromLatin1(programmi))) << programmi;
    }
    // A folder of someone else's, writable to us (root can make one).
    test::CartellaProgrammaTemporanea cartella;
    if (::geteuid() == 0 && ::chown(QFile::encodeName(cartella.dir.path()).constData(), 65534, 65534) == 0) {
        EXPECT_EQ(FileIniStampora(), ini);
        EXPECT_FALSE(CartellaStampe().startsWith(cartella.dir.path()));
    }
    ImpostaCartellaProgramma(QString());
    QStandardPaths::setTestModeEnabled(false);
}

TEST(FormatoDueDecimali, Separatori)
{
    EXPECT_EQ(FormatoDueDecimali(0.3, QLatin1Char(',')), QStringLiteral("0,30"));
    EXPECT_EQ(FormatoDueDecimali(170.1 / 567, QLatin1Char('.')), QStringLiteral("0.30"));
    EXPECT_EQ(FormatoDueDecimali(1234.567, QLatin1Char(',')), QStringLiteral("1234,57"));
}
