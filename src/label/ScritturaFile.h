#pragma once
// Writing a file so that a failure never costs the old one. Every file the program
// writes (labels, print files, PDF, settings) goes through here.
//
// A regular file, or a name that does not exist yet, is written to a temporary file in
// the same folder; only when every byte has been written, flushed and synced does the
// temporary file replace the old one, in one rename. Anything else (a device such as
// /dev/null, a FIFO, "-" for standard output) is written directly: renaming over it
// would replace the device node with a regular file. A failure is reported in the
// system's words ("No space left on device").

#include <QByteArray>
#include <QString>
#include <memory>

class QIODevice;

namespace cartigo {

class ScritturaFile {
public:
    // `temporaneo`: the temporary file's path when the caller needs a known one; by
    // default a fresh name beside the file.
    explicit ScritturaFile(QString percorso, QString temporaneo = {});
    // Abandons a write that was not confirmed: the old file stays as it was.
    ~ScritturaFile();
    ScritturaFile(const ScritturaFile&) = delete;
    ScritturaFile& operator=(const ScritturaFile&) = delete;

    bool Apri();
    // Where the contents go, once open. Its writes fail once one has failed.
    QIODevice& Dispositivo();
    // Writes what is still buffered, checks that everything written reached the file (a
    // write that failed along the way is reported here) and puts it in place. False with
    // Errore() set when anything failed; the old file is then untouched (for a direct
    // write, whatever reached the device stays there).
    bool Conferma();
    // Gives up: the old file stays. Errore() then tells a write that had failed.
    void Annulla();

    const QString& Errore() const { return errore_; }

private:
    class Dispositivo_;
    bool fallisci(int numeroErrore);

    QString percorso_;
    QString destinazione_;  // the file replaced: the name given, or the file its link names
    QString temporaneo_;
    bool temporaneoScelto_;
    bool temporaneoCreato_ = false;
    QByteArray nomeTemporaneo_;  // the temporary file's name as the system takes it
    int posto_ = -1;             // its place among the files a signal removes
    bool diretta_ = false;
    QString errore_;
    std::unique_ptr<Dispositivo_> dispositivo_;
};

// While one lives, the signals below wait (they are handled when the last one goes): a
// temporary file or folder made meanwhile is listed before they remove what is listed.
class SegnaliRimandati {
public:
    SegnaliRimandati();
    ~SegnaliRimandati();
    SegnaliRimandati(const SegnaliRimandati&) = delete;
    SegnaliRimandati& operator=(const SegnaliRimandati&) = delete;
};

// A temporary file or folder of the program's own that the signals below remove while
// this object lives (a folder once the files listed in it are gone).
class TemporaneoAiSegnali {
public:
    explicit TemporaneoAiSegnali(const QString& percorso);
    ~TemporaneoAiSegnali();
    TemporaneoAiSegnali(const TemporaneoAiSegnali&) = delete;
    TemporaneoAiSegnali& operator=(const TemporaneoAiSegnali&) = delete;

private:
    QByteArray nome_;
    int posto_ = -1;
};

// Removes the temporary files of every ScritturaFile still being written, and the
// files and folders listed by TemporaneoAiSegnali. Safe in a signal handler.
void RimuoviTemporaneiInCorso();
// SIGINT, SIGHUP and SIGTERM (those not ignored) remove the temporary files being
// written and end the program with 128 + the signal's number (130, 129, 143): an
// interrupted write leaves the old file as it was, and nothing beside it.
void RimuoviTemporaneiAiSegnali();

// The whole of `dati` into the file, as ScritturaFile does. False with the reason in
// `errore`.
bool ScriviFile(const QString& percorso, const QByteArray& dati, QString* errore, const QString& temporaneo = {});

// True when two names are the same file: the same inode when both exist (hard links,
// symbolic links, "..", different spellings), else the same absolute clean path.
bool StessoFile(const QString& a, const QString& b);

}  // namespace cartigo
