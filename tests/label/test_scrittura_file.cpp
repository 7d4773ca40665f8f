// Every writer of the program (label, print file, PDF, settings) on a disk that fills
// up, and on outputs that are not regular files.
#include "common/TestSupport.h"
#include "label/GestoreEtichetta.h"
#include "label/ScritturaFile.h"
#include "shell/InterazioneScriptata.h"
#include "stampora/FileIni.h"
#include "stampora/FileStampa.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cmath>
#include <csignal>
#include <functional>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using namespace cartigo;

namespace {

// A print document of at least `byte` bytes in any format: a picture of noise, which
// no compression shrinks.
std::unique_ptr<DocumentoStampa> Documento(int byte)
{
    const int lato = int(std::sqrt(byte / 3.0)) + 1;
    QImage rumore(lato, lato, QImage::Format_RGB32);
    quint32 x = 12345;
    for (int y = 0; y < lato; ++y)
        for (int i = 0; i < lato; ++i) rumore.setPixel(i, y, x = x * 1103515245u + 12345u);
    auto d = std::make_unique<DocumentoStampa>(InfoStampante{});
    d->StartDoc();
    d->DrawPicture(rumore, Misura(10, Unita::Millimetro), Misura(10, Unita::Millimetro), Misura(50, Unita::Millimetro),
                   Misura(50, Unita::Millimetro));
    d->EndDoc();
    return d;
}

// The four writers, each over a file that holds "vecchio".
struct Scrittore {
    const char* nome;
    const char* file;
    // Writes `byte` bytes or so; the reason of a failure, empty on success.
    std::function<QString(const QString&, int)> scrivi;
};

struct Banco {
    InterazioneScriptata ui;
    DocumentoEtichetta etichetta;
    GestoreEtichetta gestore{etichetta, ui};

    std::vector<Scrittore> scrittori()
    {
        return {
            {"label", "vecchia.eti",
             [this](const QString& f, int byte) {
                 etichetta.NuovaEtichetta();
                 etichetta.ImpostaNomeFileEtichetta(QStringLiteral("/altrove/prima.eti"));
                 etichetta.CreaTesto(567, 1440, 1000, 255)->Caption = QString(byte, QLatin1Char('x'));
                 etichetta.ImpostaModificato(true);
                 ui.messaggi.clear();
                 ui.file.push_back(f);
                 bool cancel = false;
                 gestore.SalvaEtichetta(cancel);
                 if (!cancel) return QString();
                 // A failed save keeps the document's name and its changes.
                 EXPECT_EQ(etichetta.NomeFileEtichetta(), QStringLiteral("/altrove/prima.eti"));
                 EXPECT_TRUE(etichetta.Modificato());
                 return ui.messaggi.isEmpty() ? QStringLiteral("(no message)") : ui.messaggi.last().testo;
             }},
            {"print file", "vecchio.ant",
             [](const QString& f, int byte) {
                 QString e;
                 return SalvaFileStampa(*Documento(byte), f, &e) ? QString() : e;
             }},
            {"PDF", "vecchio.pdf",
             [](const QString& f, int byte) {
                 QString e;
                 return SalvaPdf(*Documento(byte), f, &e) ? QString() : e;
             }},
            {"settings", "Stampora.ini",
             [](const QString& f, int byte) {
                 return modCartigo::SetKeyIni(f, QStringLiteral("Chiave"), QString(byte, QLatin1Char('x')))
                            ? QString()
                            : QStringLiteral("(false)");
             }},
        };
    }
};

// Each writer over its old file in `cartella`, while `pieno` holds: it fails, says
// `motivo`, and leaves the old file and nothing else.
void ProvaScrittori(const QString& cartella, int byte, const QString& motivo, const std::function<void()>& riempi,
                    const std::function<void()>& svuota)
{
    Banco b;
    for (const Scrittore& s : b.scrittori()) {
        SCOPED_TRACE(s.nome);
        const QString f = QDir(cartella).filePath(QString::fromLatin1(s.file));
        test::ScriviFile(f, "vecchio");
        const QStringList prima = QDir(cartella).entryList(QDir::Files | QDir::Hidden);
        riempi();
        const QString errore = s.scrivi(f, byte);
        svuota();
        EXPECT_FALSE(errore.isEmpty());
        if (QLatin1String(s.nome) != QLatin1String("settings")) {
            EXPECT_TRUE(errore.contains(motivo)) << errore.toStdString();
        }
        if (QLatin1String(s.nome) == QLatin1String("label")) {
            EXPECT_TRUE(errore.contains(f)) << errore.toStdString();  // the message names the file
        }
        EXPECT_EQ(test::LeggiFile(f), QByteArray("vecchio"));
        EXPECT_EQ(QDir(cartella).entryList(QDir::Files | QDir::Hidden), prima);
        // With room again the same write goes through.
        EXPECT_EQ(s.scrivi(f, byte), QString());
        EXPECT_NE(test::LeggiFile(f), QByteArray("vecchio"));
        QFile::remove(f);
    }
}

}  // namespace

TEST(FullDisk, EveryWriterKeepsTheOldFileAndSaysWhy)
{
    test::AssicuraApplicazione();
    test::DiscoPiccolo disco;
    if (!disco.montato()) GTEST_SKIP() << "cannot mount a tmpfs here (needs root)";
    const QString motivo = QStringLiteral("No space left on device");
    // Nothing fits: the whole file is still in the buffer when it is written out.
    ProvaScrittori(
        disco.percorso(), 2000, motivo, [&] { disco.riempi(); }, [&] { disco.svuota(); });
    // Part of it fits: the write stops half-way, and the reason is still the system's.
    ProvaScrittori(
        disco.percorso(), 30000, motivo, [&] { disco.riempi(12 * 1024); }, [&] { disco.svuota(); });
}

TEST(FullDisk, FileSizeLimitWorksTheSameWithoutRoot)
{
    test::AssicuraApplicazione();
    QTemporaryDir dir;
    struct rlimit prima {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &prima), 0);
    auto gestorePrima = std::signal(SIGXFSZ, SIG_IGN);
    const auto limita = [&] {
        struct rlimit limite = prima;
        limite.rlim_cur = 4096;
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limite), 0);
    };
    // 6000 bytes: more than the limit, less than any write buffer.
    ProvaScrittori(dir.path(), 6000, QStringLiteral("File too large"), limita,
                   [&] { setrlimit(RLIMIT_FSIZE, &prima); });
    std::signal(SIGXFSZ, gestorePrima);
}

TEST(DeviceOutputs, FifosAndDeviceNodesAreWrittenInPlace)
{
    test::AssicuraApplicazione();
    QTemporaryDir dir;
    const auto doc = Documento(100);
    const auto tipo = [](const QString& f) {
        struct stat st {};
        return ::lstat(QFile::encodeName(f).constData(), &st) == 0 ? st.st_mode & S_IFMT : 0;
    };

    // A FIFO gets the file's bytes and stays a FIFO.
    const QString fifo = dir.filePath(QStringLiteral("uscita"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const int lettura = ::open(QFile::encodeName(fifo).constData(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(lettura, 0);
    QString errore;
    EXPECT_TRUE(SalvaFileStampa(*doc, fifo, &errore)) << errore.toStdString();
    QByteArray letti(65536, Qt::Uninitialized);
    const ssize_t n = ::read(lettura, letti.data(), letti.size());
    ::close(lettura);
    EXPECT_TRUE(n > 0 && letti.left(n).startsWith("CTGANT")) << n;
    EXPECT_EQ(tipo(fifo), unsigned(S_IFIFO));

    // Device nodes of their own (making them needs root): a null device takes a PDF and
    // stays a device; a full one refuses in the system's words and stays too.
    const QString nulla = dir.filePath(QStringLiteral("nulla")), pieno = dir.filePath(QStringLiteral("pieno"));
    if (::mknod(QFile::encodeName(nulla).constData(), S_IFCHR | 0666, makedev(1, 3)) != 0 ||
        ::mknod(QFile::encodeName(pieno).constData(), S_IFCHR | 0666, makedev(1, 7)) != 0)
        GTEST_SKIP() << "cannot make device nodes here (needs root)";
    EXPECT_TRUE(SalvaPdf(*doc, nulla, &errore)) << errore.toStdString();
    EXPECT_EQ(tipo(nulla), unsigned(S_IFCHR));
    EXPECT_FALSE(SalvaFileStampa(*doc, pieno, &errore));
    EXPECT_EQ(errore, QStringLiteral("No space left on device"));
    EXPECT_EQ(tipo(pieno), unsigned(S_IFCHR));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::System | QDir::Hidden).size(), 3);  // no leftovers
}

// A signal that comes while a temporary folder and its file are being made waits until they
// are listed, then removes them and ends the program as usual.
TEST(SegnaliTemporanei, ASignalWhileATemporaryIsMadeWaitsUntilItIsListed)
{
    GTEST_FLAG_SET(death_test_style, "fast");  // the child sees the same folder
    QTemporaryDir dir;
    const QString cartella = dir.filePath(QStringLiteral("lettore"));
    const QString file = cartella + QStringLiteral("/uscita.sqlite");
    const QString segno = dir.filePath(QStringLiteral("segno"));
    const auto figlio = [&] {
        RimuoviTemporaneiAiSegnali();
        std::unique_ptr<TemporaneoAiSegnali> c, f;
        {
            const SegnaliRimandati rimandati;
            QDir().mkpath(cartella);
            test::ScriviFile(file, "dati");
            ::raise(SIGTERM);
            test::ScriviFile(segno, "ancora qui");
            c = std::make_unique<TemporaneoAiSegnali>(cartella);
            f = std::make_unique<TemporaneoAiSegnali>(file);
        }
        std::_Exit(0);
    };
    EXPECT_EXIT(figlio(), ::testing::ExitedWithCode(128 + SIGTERM), "");
    EXPECT_TRUE(QFileInfo::exists(segno));
    EXPECT_FALSE(QFileInfo::exists(cartella));
}
