#include "data/LettoreProcesso.h"

#include "data/ValoriJet.h"
#include "label/ScritturaFile.h"

#include <sys/prctl.h>
#include <sys/resource.h>
#include <csignal>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <optional>

namespace cartigo {

namespace {
QString& percorsoImpostato()
{
    static QString p;
    return p;
}

[[noreturn]] void fallisci(const QString& file, const QString& motivo)
{
    throw ErroreDatabase(ErroreJet::DatabaseNonApribile,
                         QStringLiteral("Cannot open database '%1': %2").arg(QDir::toNativeSeparators(file), motivo));
}
}  // namespace

QString LettoreProcesso::Percorso()
{
    const QString env = qEnvironmentVariable("CARTIGO_MDBREADER");
    if (!env.isEmpty()) return env;
    if (!percorsoImpostato().isEmpty()) return percorsoImpostato();
    return PercorsoDa(QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QDir::currentPath());
}

QString LettoreProcesso::PercorsoDa(const QString& cartellaProgramma, const QString& nome)
{
    const QDir dir(cartellaProgramma);
    const QString accanto = dir.filePath(nome);
    if (const QFileInfo f(accanto); f.isFile() && f.isExecutable()) return accanto;
    return QDir::cleanPath(dir.filePath(QStringLiteral(CARTIGO_LIBEXEC_DA_BIN "/") + nome));
}

void LettoreProcesso::ImpostaPercorso(const QString& percorso)
{
    percorsoImpostato() = percorso;
}

LettoreProcesso::Opzioni& LettoreProcesso::OpzioniPredefinite()
{
    static Opzioni o;
    return o;
}

UscitaLettore::UscitaLettore(std::unique_ptr<QTemporaryDir> cartella) : cartella_(std::move(cartella))
{
    // The folder and what the readers write in it: their output, its journal, the sheet
    // reader's copy of a package.
    aiSegnali_.push_back(std::make_unique<TemporaneoAiSegnali>(cartella_->path()));
    for (const char* coda : {"", "-journal", ".pacchetto"})
        aiSegnali_.push_back(std::make_unique<TemporaneoAiSegnali>(File() + QLatin1String(coda)));
}
UscitaLettore::UscitaLettore(UscitaLettore&&) noexcept = default;
UscitaLettore::~UscitaLettore() = default;

QString UscitaLettore::File() const
{
    return cartella_->filePath(QStringLiteral("snapshot.sqlite"));
}

qint64 UscitaLettore::Dimensione() const
{
    return QFileInfo(File()).size();
}

UscitaLettore LettoreProcesso::Esegui(const QString& modo, const QString& fileMdb, const QStringList& nomi,
                                      const Opzioni& opzioni)
{
    // The folder is listed for the signals as soon as it is made: they wait meanwhile.
    std::optional<UscitaLettore> creata;
    {
        const SegnaliRimandati rimandati;
        auto dir = std::make_unique<QTemporaryDir>();
        if (dir->isValid()) creata.emplace(std::move(dir));
    }
    if (!creata) fallisci(fileMdb, QStringLiteral("no temporary folder for the reader"));
    UscitaLettore risultato(std::move(*creata));
    const QString uscita = risultato.File();

    QProcess p;
    const QString programma = opzioni.programma.isEmpty() ? Percorso() : opzioni.programma;
    p.setProgram(programma);
    QStringList arg;
    arg << QStringLiteral("--memoria") << QString::number(opzioni.memoriaMassima) << modo << fileMdb << uscita << nomi;
    p.setArguments(arg);
    p.setProcessChannelMode(QProcess::SeparateChannels);
    p.setStandardErrorFile(QProcess::nullDevice());
    const qint64 fileMassimo = opzioni.fileMassimo;
    p.setChildProcessModifier([fileMassimo] {
        // The output file may not grow without end (a looping page chain).
        struct rlimit rl {};
        rl.rlim_cur = rl.rlim_max = rlim_t(fileMassimo);
        setrlimit(RLIMIT_FSIZE, &rl);
        // A program ended by a signal takes its reader with it.
        prctl(PR_SET_PDEATHSIG, SIGKILL);
    });
    p.start(QIODevice::ReadOnly);
    if (!p.waitForStarted(10000))
        fallisci(fileMdb, QStringLiteral("the reader program %1 cannot be started (%2)")
                              .arg(QDir::toNativeSeparators(programma), p.errorString()));

    QElapsedTimer silenzio;
    silenzio.start();
    QByteArray buffer;
    bool ok = false;
    QString erroreLettore;
    int codiceLettore = 0;
    auto leggiRighe = [&] {
        buffer += p.readAllStandardOutput();
        int fine;
        while ((fine = int(buffer.indexOf('\n'))) >= 0) {
            const QByteArray riga = buffer.left(fine).trimmed();
            buffer.remove(0, fine + 1);
            if (riga.startsWith("P ")) {
                silenzio.restart();
                if (opzioni.progresso) opzioni.progresso(riga.mid(2).toLongLong());
            } else if (riga.startsWith("E ")) {
                const int spazio = int(riga.indexOf(' ', 2));
                erroreLettore = QString::fromUtf8(spazio > 0 ? riga.mid(spazio + 1) : riga.mid(2));
                codiceLettore = riga.mid(2, spazio > 0 ? spazio - 2 : -1).toInt();
            } else if (riga == "OK") {
                ok = true;
            }
        }
    };
    while (p.state() != QProcess::NotRunning) {
        if (p.waitForReadyRead(200)) leggiRighe();
        if (p.state() == QProcess::NotRunning) break;
        if (silenzio.elapsed() > qint64(opzioni.secondiStallo) * 1000) {
            p.kill();
            p.waitForFinished(5000);
            fallisci(fileMdb, QStringLiteral("the file could not be read: the reader made no progress for %1 seconds "
                                             "(the file may be damaged)")
                                  .arg(opzioni.secondiStallo));
        }
    }
    leggiRighe();

    if (p.exitStatus() == QProcess::CrashExit)
        fallisci(fileMdb, QStringLiteral("the file could not be read: the reader stopped abnormally "
                                         "(the file may be damaged, or it needed more than %1 MB of memory)")
                              .arg(opzioni.memoriaMassima >> 20));
    if (!erroreLettore.isEmpty() && opzioni.spiegaErrore)
        throw ErroreDatabase(ErroreJet::DatabaseNonApribile, opzioni.spiegaErrore(codiceLettore, erroreLettore));
    if (!erroreLettore.isEmpty())
        fallisci(fileMdb, QStringLiteral("the file could not be read (%1); it may be damaged, encrypted or of an "
                                         "unsupported version")
                              .arg(erroreLettore));
    if (!ok || p.exitCode() != 0)
        fallisci(fileMdb,
                 QStringLiteral("the file could not be read (the reader ended with code %1)").arg(p.exitCode()));

    if (!QFileInfo(uscita).isFile()) fallisci(fileMdb, QStringLiteral("the reader's output is missing"));
    return risultato;
}

}  // namespace cartigo
