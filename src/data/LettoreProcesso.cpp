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

struct LettoreInCorso::Stato {
    std::optional<UscitaLettore> uscita;  // the reader's folder, listed for the signals
    QString fileMdb;
    LettoreProcesso::Opzioni opzioni;
    QProcess p;
    QElapsedTimer silenzio;
    QByteArray buffer;
    bool ok = false;
    bool finito = false;
    QString erroreLettore;
    int codiceLettore = 0;

    void leggiRighe()
    {
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
    }
};

LettoreInCorso::LettoreInCorso(const QString& modo, const QString& fileMdb, const QStringList& nomi,
                               const LettoreProcesso::Opzioni& opzioni)
    : s_(std::make_unique<Stato>())
{
    s_->fileMdb = fileMdb;
    s_->opzioni = opzioni;
    {
        // The folder is listed for the signals as soon as it is made: they wait meanwhile.
        const SegnaliRimandati rimandati;
        auto dir = std::make_unique<QTemporaryDir>();
        if (dir->isValid()) s_->uscita.emplace(std::move(dir));
    }
    if (!s_->uscita) fallisci(fileMdb, QStringLiteral("no temporary folder for the reader"));

    QProcess& p = s_->p;
    const QString programma = opzioni.programma.isEmpty() ? LettoreProcesso::Percorso() : opzioni.programma;
    p.setProgram(programma);
    QStringList arg;
    arg << QStringLiteral("--memoria") << QString::number(opzioni.memoriaMassima) << modo << fileMdb << File()
        << nomi;
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
    s_->silenzio.start();
}

LettoreInCorso::~LettoreInCorso()
{
    if (s_ && s_->p.state() != QProcess::NotRunning) {
        s_->p.kill();
        s_->p.waitForFinished(5000);
    }
}

QString LettoreInCorso::File() const
{
    return s_->uscita->File();
}

const QString& LettoreInCorso::FileMdb() const
{
    return s_->fileMdb;
}

bool LettoreInCorso::Attendi(int ms)
{
    Stato& s = *s_;
    if (s.finito) return false;
    if (s.p.state() != QProcess::NotRunning && s.p.waitForReadyRead(ms)) s.leggiRighe();
    if (s.p.state() == QProcess::NotRunning) {
        s.leggiRighe();
        s.finito = true;
        return false;
    }
    if (s.silenzio.elapsed() > qint64(s.opzioni.secondiStallo) * 1000) {
        s.p.kill();
        s.p.waitForFinished(5000);
        s.finito = true;
        fallisci(s.fileMdb, QStringLiteral("the file could not be read: the reader made no progress for %1 seconds "
                                           "(the file may be damaged)")
                                .arg(s.opzioni.secondiStallo));
    }
    return true;
}

void LettoreInCorso::Avanzato()
{
    s_->silenzio.restart();
}

void LettoreInCorso::Concludi()
{
    while (Attendi(200)) {
    }
    const Stato& s = *s_;
    const QString& fileMdb = s.fileMdb;
    if (s.p.exitStatus() == QProcess::CrashExit)
        fallisci(fileMdb, QStringLiteral("the file could not be read: the reader stopped abnormally "
                                         "(the file may be damaged, or it needed more than %1 MB of memory)")
                              .arg(s.opzioni.memoriaMassima >> 20));
    if (!s.erroreLettore.isEmpty() && s.opzioni.spiegaErrore)
        throw ErroreDatabase(ErroreJet::DatabaseNonApribile, s.opzioni.spiegaErrore(s.codiceLettore, s.erroreLettore));
    if (!s.erroreLettore.isEmpty())
        fallisci(fileMdb, QStringLiteral("the file could not be read (%1); it may be damaged, encrypted or of an "
                                         "unsupported version")
                              .arg(s.erroreLettore));
    if (!s.ok || s.p.exitCode() != 0)
        fallisci(fileMdb,
                 QStringLiteral("the file could not be read (the reader ended with code %1)").arg(s.p.exitCode()));
    if (!QFileInfo(File()).isFile()) fallisci(fileMdb, QStringLiteral("the reader's output is missing"));
}

UscitaLettore LettoreInCorso::Uscita()
{
    Concludi();
    return std::move(*s_->uscita);
}

UscitaLettore LettoreProcesso::Esegui(const QString& modo, const QString& fileMdb, const QStringList& nomi,
                                      const Opzioni& opzioni)
{
    LettoreInCorso lettore(modo, fileMdb, nomi, opzioni);
    return lettore.Uscita();
}

}  // namespace cartigo
