// Command line splitting and the start-up decisions.
#include "app/Avvio.h"
#include "common/TestSupport.h"
#include "label/FileEtichetta.h"
#include "label/GestoreEtichetta.h"
#include "label/NomiFile.h"
#include "shell/InterazioneScriptata.h"
#include "shell/StringTable.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

namespace {

// Writes bytes to a file named by the system's bytes (a name Qt may not decode).
void scriviGrezzo(const QByteArray& nome, const QByteArray& dati)
{
    const int fd = ::open(nome.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0) << nome.constData();
    ASSERT_EQ(::write(fd, dati.constData(), size_t(dati.size())), dati.size());
    ::close(fd);
}

const QByteArray kEtichettaConFoto = "oggPicture\r\n 0 \r\n 0 \r\n 10 \r\n 10 \r\n\r\n\r\nfoto.png\r\n 0 \r\n";

}  // namespace

// Both programs name themselves alike: one settings folder (~/.config/Cartigo, not
// ~/.config/Cartigo/Cartigo), and the desktop entry that is installed, so that a Wayland
// dock shows the window's icon.
TEST(Avvio, TheProgramNamesItsDesktopEntryAndSettingsFolder)
{
    modCartigo::ImpostaIdentitaProgramma();
    EXPECT_TRUE(QFileInfo::exists(QStringLiteral(CARTIGO_SOURCE_DIR "/packaging/") +
                                  QGuiApplication::desktopFileName() + QStringLiteral(".desktop")))
        << QGuiApplication::desktopFileName().toStdString();
    EXPECT_EQ(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation),
              QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/Cartigo"));
    EXPECT_EQ(QCoreApplication::applicationVersion(), modCartigo::VersioneProgramma());
}

TEST(Avvio, NamesWithCommasOrNotInUtf8OpenFromTheCommandLine)
{
    QTemporaryDir dir;
    const QByteArray radice = QFile::encodeName(dir.path());
    QImage foto(4, 2, QImage::Format_RGB32);
    foto.fill(Qt::blue);

    // "cartigo %f" with a comma in the name: the one argument is the file.
    const QString virgola = dir.filePath(QStringLiteral("etichette, 2024.eti"));
    test::ScriviFile(virgola, kEtichettaConFoto);
    auto a = AvvioProgramma::DaArgomenti(QStringList{virgola});
    EXPECT_TRUE(a.carica);
    EXPECT_FALSE(a.stampaEdEsci);
    EXPECT_EQ(a.fileEtichetta, virgola);
    // a name that does not exist is still split into fields
    a = AvvioProgramma::DaArgomenti(QStringList{dir.filePath(QStringLiteral("manca.eti,-S"))});
    EXPECT_TRUE(a.stampaEdEsci);

    // A folder and a file whose names are Latin-1 bytes, not UTF-8.
    const QByteArray cartella = radice + "/citt\xe0";
    ASSERT_EQ(::mkdir(cartella.constData(), 0755), 0);
    ASSERT_TRUE(foto.save(modCartigo::PercorsoDaSistema(cartella) + QStringLiteral("/foto.png")));
    scriviGrezzo(cartella + "/etichetta.eti", kEtichettaConFoto);
    scriviGrezzo(radice + "/citt\xe0.eti", kEtichettaConFoto);
    ASSERT_TRUE(foto.save(dir.filePath(QStringLiteral("foto.png"))));
    for (const QByteArray& nome : {cartella + "/etichetta.eti", radice + "/citt\xe0.eti"}) {
        for (const QByteArray& riga : {nome, nome + ",-S"}) {
            a = AvvioProgramma::DaArgomenti(QList<QByteArray>{riga});
            ASSERT_TRUE(a.carica) << riga.constData();
            EXPECT_EQ(a.stampaEdEsci, riga.endsWith("-S"));
            DocumentoEtichetta doc;
            InterazioneScriptata ui;
            GestoreEtichetta gestore(doc, ui);
            EXPECT_TRUE(gestore.CaricaEtichetta(a.fileEtichetta)) << ui.testi().join(QLatin1Char('|')).toStdString();
            ASSERT_EQ(doc.NumeroOggetti(), 1);
            EXPECT_EQ(doc.Oggetti()[0]->Picture.size(), QSize(4, 2));  // found beside the label
        }
    }
    // A label reached through its folder is saved back under its name; one whose own
    // name cannot be decoded asks for a new one.
    a = AvvioProgramma::DaArgomenti(QList<QByteArray>{cartella + "/etichetta.eti"});
    DocumentoEtichetta doc;
    InterazioneScriptata ui;
    GestoreEtichetta gestore(doc, ui);
    ASSERT_TRUE(gestore.CaricaEtichetta(a.fileEtichetta));
    EXPECT_EQ(QFileInfo(doc.NomeFileEtichetta()).fileName(), QStringLiteral("etichetta.eti"));
    ui.file.push_back(doc.NomeFileEtichetta());
    bool cancel = false;
    gestore.SalvaEtichetta(cancel);
    EXPECT_FALSE(cancel);
    struct stat info {};
    EXPECT_EQ(::stat((cartella + "/etichetta.eti").constData(), &info), 0);
    EXPECT_GT(info.st_size, qint64(kEtichettaConFoto.size()));  // rewritten with the header
    ASSERT_TRUE(gestore.CaricaEtichetta(
        AvvioProgramma::DaArgomenti(QList<QByteArray>{radice + "/citt\xe0.eti"}).fileEtichetta));
    EXPECT_TRUE(doc.NomeFileEtichetta().isEmpty());

    // A name that does not exist gives the missing-file message, not a crash.
    a = AvvioProgramma::DaArgomenti(QList<QByteArray>{radice + "/manca\xe0.eti"});
    EXPECT_FALSE(modCartigo::EsisteFile(a.fileEtichetta));
}

TEST(Avvio, HelpAndVersionPrintAndExit)
{
    ImpostaLingua(Lingua::Inglese);
    const auto aiuto = modCartigo::TestoOpzioneInformativa({"--help"});
    ASSERT_TRUE(aiuto);
    EXPECT_TRUE(aiuto->startsWith(QStringLiteral("Usage: cartigo [LABEL.eti[,-S[,DATABASE[,PASSWORD]]]]\n")));
    EXPECT_FALSE(aiuto->contains(QStringLiteral("\\n")));
    EXPECT_EQ(modCartigo::TestoOpzioneInformativa({"-h"}), aiuto);
    EXPECT_EQ(modCartigo::TestoOpzioneInformativa({"--version"}),
              QStringLiteral("cartigo ") + modCartigo::VersioneProgramma() + QLatin1Char('\n'));
    ImpostaLingua(Lingua::Italiano);
    EXPECT_TRUE(modCartigo::TestoOpzioneInformativa({"--help"})->startsWith(QStringLiteral("Uso: cartigo ")));
    // a label of that name opens as ./--help
    EXPECT_FALSE(modCartigo::TestoOpzioneInformativa({"./--help"}));
    EXPECT_EQ(AvvioProgramma::DaArgomenti(QStringList{QStringLiteral("./--help")}).fileEtichetta,
              QStringLiteral("./--help"));

    // The program itself, with no display at all.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* v : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) env.remove(QString::fromLatin1(v));
    env.insert(QStringLiteral("LANGUAGE"), QStringLiteral("en"));
    for (const char* opzione : {"--help", "--version"}) {
        const auto e = test::EseguiProgramma(QStringLiteral(CARTIGO_BIN), {QString::fromLatin1(opzione)}, env);
        EXPECT_EQ(e.codice, 0) << opzione;
        EXPECT_TRUE(e.out.startsWith(opzione == QByteArray("--help") ? QStringLiteral("Usage: cartigo")
                                                                     : QStringLiteral("cartigo ")))
            << e.out.toStdString() << e.err.toStdString();
    }
}
