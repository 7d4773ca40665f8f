#include "label/ScritturaFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QRandomGenerator>
#include <atomic>
#include <cerrno>
#include <csignal>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace cartigo {

namespace {

// The temporary files being written, for a signal handler: atomic pointers to names
// their ScritturaFile keeps alive while they are listed.
constexpr int kPostiTemporanei = 64;
std::atomic<const char*> temporaneiInCorso[kPostiTemporanei];
static_assert(std::atomic<const char*>::is_always_lock_free);

int elencaTemporaneo(const char* nome)
{
    for (int i = 0; i < kPostiTemporanei; ++i) {
        const char* libero = nullptr;
        if (temporaneiInCorso[i].compare_exchange_strong(libero, nome)) return i;
    }
    return -1;  // more at once than a program writes: this one is only left to the old ways
}

void togliTemporaneo(int& posto)
{
    if (posto >= 0) temporaneiInCorso[posto].store(nullptr);
    posto = -1;
}

// Temporary files or folders being made and not yet listed, and a signal that came
// meanwhile (handled once they are listed).
std::atomic<int> creazioniInCorso{0};
std::atomic<int> segnaleRimandato{0};
static_assert(std::atomic<int>::is_always_lock_free);

extern "C" void rimuoviEdEsci(int segnale)
{
    if (creazioniInCorso.load() > 0) {
        segnaleRimandato.store(segnale);
        return;
    }
    RimuoviTemporaneiInCorso();
    ::_exit(128 + segnale);
}

}  // namespace

void RimuoviTemporaneiInCorso()
{
    // the files first, then the folders they emptied
    for (auto& nome : temporaneiInCorso)
        if (const char* n = nome.load()) ::unlink(n);
    for (auto& nome : temporaneiInCorso)
        if (const char* n = nome.load()) ::rmdir(n);
}

SegnaliRimandati::SegnaliRimandati()
{
    ++creazioniInCorso;
}

SegnaliRimandati::~SegnaliRimandati()
{
    if (--creazioniInCorso == 0)
        if (const int segnale = segnaleRimandato.exchange(0)) ::raise(segnale);
}

TemporaneoAiSegnali::TemporaneoAiSegnali(const QString& percorso) : nome_(QFile::encodeName(percorso))
{
    posto_ = elencaTemporaneo(nome_.constData());
}

TemporaneoAiSegnali::~TemporaneoAiSegnali()
{
    togliTemporaneo(posto_);
}

void RimuoviTemporaneiAiSegnali()
{
    for (const int segnale : {SIGINT, SIGHUP, SIGTERM}) {
        struct sigaction prima {};
        if (::sigaction(segnale, nullptr, &prima) != 0 || prima.sa_handler == SIG_IGN) continue;
        struct sigaction sa {};
        sa.sa_handler = rimuoviEdEsci;
        sigemptyset(&sa.sa_mask);
        ::sigaction(segnale, &sa, nullptr);
    }
}

// A device over a file descriptor with a buffer of its own: every write() is checked,
// and the first failure is kept with its error number, so nothing is lost when the
// buffer is written out at the end.
class ScritturaFile::Dispositivo_ : public QIODevice {
public:
    Dispositivo_(int fd, bool chiudiAllaFine) : fd_(fd), chiudiAllaFine_(chiudiAllaFine) { open(QIODevice::WriteOnly); }
    ~Dispositivo_() override { Chiudi(); }

    bool isSequential() const override { return true; }
    int Fd() const { return fd_; }
    int NumeroErrore() const { return numeroErrore_; }

    // Writes out the buffer; false once the file has refused bytes.
    bool Svuota()
    {
        qsizetype scritti = 0;
        while (numeroErrore_ == 0 && scritti < buffer_.size()) {
            const ssize_t n = ::write(fd_, buffer_.constData() + scritti, size_t(buffer_.size() - scritti));
            if (n > 0)
                scritti += n;
            else if (n < 0 && errno != EINTR)
                numeroErrore_ = errno;
            else if (n == 0)
                numeroErrore_ = ENOSPC;
        }
        buffer_.clear();
        return numeroErrore_ == 0;
    }
    // Closes the descriptor (standard output stays open); false with the error kept.
    bool Chiudi()
    {
        if (fd_ < 0) return numeroErrore_ == 0;
        const int fd = fd_;
        fd_ = -1;
        if (chiudiAllaFine_ && ::close(fd) != 0 && errno != EINTR && numeroErrore_ == 0) numeroErrore_ = errno;
        return numeroErrore_ == 0;
    }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* dati, qint64 n) override
    {
        if (numeroErrore_ != 0 || fd_ < 0) return -1;
        buffer_.append(dati, qsizetype(n));
        if (buffer_.size() >= kBuffer && !Svuota()) return -1;
        return n;
    }

private:
    static constexpr qsizetype kBuffer = 64 * 1024;
    int fd_;
    bool chiudiAllaFine_;
    int numeroErrore_ = 0;
    QByteArray buffer_;
};

ScritturaFile::ScritturaFile(QString percorso, QString temporaneo)
    : percorso_(std::move(percorso)), temporaneo_(std::move(temporaneo)), temporaneoScelto_(!temporaneo_.isEmpty())
{
}

ScritturaFile::~ScritturaFile()
{
    Annulla();
}

bool ScritturaFile::fallisci(int numeroErrore)
{
    errore_ = qt_error_string(numeroErrore);
    Annulla();
    return false;
}

bool ScritturaFile::Apri()
{
    Annulla();
    errore_.clear();
    diretta_ = false;
    if (percorso_.isEmpty()) return fallisci(ENOENT);
    if (percorso_ == QLatin1String("-")) {
        diretta_ = true;
        dispositivo_ = std::make_unique<Dispositivo_>(STDOUT_FILENO, false);
        return true;
    }
    const QByteArray nome = QFile::encodeName(percorso_);
    struct stat st {};
    const bool esiste = ::stat(nome.constData(), &st) == 0;
    if (esiste && !S_ISREG(st.st_mode)) {
        diretta_ = true;
        const int fd = ::open(nome.constData(), O_WRONLY | O_CLOEXEC);
        if (fd < 0) return fallisci(errno);
        dispositivo_ = std::make_unique<Dispositivo_>(fd, true);
        return true;
    }

    // A symbolic link stays: the file it names is the one replaced.
    const QFileInfo info(percorso_);
    destinazione_ = percorso_;
    if (info.isSymLink()) destinazione_ = esiste ? info.canonicalFilePath() : info.symLinkTarget();

    // Each name is listed for the signal handler before its file is created (and unlisted
    // once it is gone), so that a signal at any moment leaves nothing behind.
    const auto crea = [this](int flag) {
        nomeTemporaneo_ = QFile::encodeName(temporaneo_);
        posto_ = elencaTemporaneo(nomeTemporaneo_.constData());
        const int fd = ::open(nomeTemporaneo_.constData(), O_WRONLY | O_CREAT | O_CLOEXEC | flag, 0666);
        if (fd < 0) {
            const int e = errno;
            togliTemporaneo(posto_);
            errno = e;
        }
        return fd;
    };
    int fd = -1;
    if (temporaneoScelto_) {
        fd = crea(O_TRUNC | O_NOFOLLOW);
        if (fd < 0) return fallisci(errno);
    } else {
        const QFileInfo d(destinazione_);
        for (int tentativo = 0; fd < 0; ++tentativo) {
            temporaneo_ =
                d.dir().filePath(QStringLiteral(".%1.%2")
                                     .arg(d.fileName())
                                     .arg(QRandomGenerator::global()->generate() & 0xFFFFFF, 6, 16, QLatin1Char('0')));
            fd = crea(O_EXCL);
            if (fd < 0 && (errno != EEXIST || tentativo == 100)) {
                temporaneo_.clear();
                return fallisci(errno);
            }
        }
    }
    temporaneoCreato_ = true;
    // The new file keeps the old one's permissions and, where we may, its owner.
    if (esiste) {
        ::fchmod(fd, st.st_mode & 07777);
        if (::geteuid() == 0 && ::fchown(fd, st.st_uid, st.st_gid) != 0) {
            // the file is then root's, as a new one would be
        }
    }
    dispositivo_ = std::make_unique<Dispositivo_>(fd, true);
    return true;
}

QIODevice& ScritturaFile::Dispositivo()
{
    Q_ASSERT(dispositivo_);
    return *dispositivo_;
}

bool ScritturaFile::Conferma()
{
    if (!dispositivo_) return false;
    Dispositivo_& d = *dispositivo_;
    if (!d.Svuota()) return fallisci(d.NumeroErrore());
    // Devices and pipes have nothing to sync; a file system that cannot sync says EINVAL.
    if (!diretta_ && ::fsync(d.Fd()) != 0 && errno != EINVAL) return fallisci(errno);
    if (!d.Chiudi()) return fallisci(d.NumeroErrore());
    if (!diretta_) {
        if (::rename(nomeTemporaneo_.constData(), QFile::encodeName(destinazione_).constData()) != 0)
            return fallisci(errno);
        togliTemporaneo(posto_);
        temporaneoCreato_ = false;
    }
    dispositivo_.reset();
    return true;
}

void ScritturaFile::Annulla()
{
    if (dispositivo_ && dispositivo_->NumeroErrore() != 0 && errore_.isEmpty())
        errore_ = qt_error_string(dispositivo_->NumeroErrore());
    dispositivo_.reset();
    if (temporaneoCreato_) ::unlink(nomeTemporaneo_.constData());
    togliTemporaneo(posto_);
    temporaneoCreato_ = false;
}

bool ScriviFile(const QString& percorso, const QByteArray& dati, QString* errore, const QString& temporaneo)
{
    ScritturaFile f(percorso, temporaneo);
    if (f.Apri()) {
        f.Dispositivo().write(dati);
        if (f.Conferma()) return true;
    }
    if (errore) *errore = f.Errore();
    return false;
}

bool StessoFile(const QString& a, const QString& b)
{
    if (a.isEmpty() || b.isEmpty()) return false;
    struct stat sa {};
    struct stat sb {};
    const bool esisteA = ::stat(QFile::encodeName(a).constData(), &sa) == 0;
    const bool esisteB = ::stat(QFile::encodeName(b).constData(), &sb) == 0;
    if (esisteA && esisteB) return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
    return QDir::cleanPath(QFileInfo(a).absoluteFilePath()) == QDir::cleanPath(QFileInfo(b).absoluteFilePath());
}

}  // namespace cartigo
