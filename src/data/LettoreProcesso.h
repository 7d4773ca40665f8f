#pragma once
// Runs the MDB reader program (cartigo-mdbreader) and watches it: it must report
// progress at least every `secondiStallo` seconds, stays under a memory cap, and
// one that crashes, exceeds the cap or stalls is ended and reported as error 3049
// naming the file. The main program only ever sees the file it writes: a SQLite file,
// or the stream of a table's rows, read while it grows (FlussoRighe.h).

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

class QTemporaryDir;

namespace cartigo {

class TemporaneoAiSegnali;

// The reader's SQLite file, in a temporary folder that goes with this object; a signal
// that ends the program (SIGINT, SIGHUP, SIGTERM) removes it too.
class UscitaLettore {
public:
    explicit UscitaLettore(std::unique_ptr<QTemporaryDir> cartella);
    UscitaLettore(UscitaLettore&&) noexcept;
    ~UscitaLettore();
    QString File() const;
    qint64 Dimensione() const;

private:
    std::unique_ptr<QTemporaryDir> cartella_;
    std::vector<std::unique_ptr<TemporaneoAiSegnali>> aiSegnali_;
};

class LettoreInCorso;

class LettoreProcesso {
public:
    struct Opzioni {
        qint64 memoriaMassima = qint64(1) << 30;  // address space of the reader
        qint64 fileMassimo = qint64(8) << 30;     // size of its output file
        int secondiStallo = 10;
        std::function<void(qint64)> progresso;  // called with a growing counter
        // Another reader program with the same protocol (empty: the MDB reader), and the
        // description of its failures from the code and text it reported.
        QString programma;
        std::function<QString(int codice, const QString& testo)> spiegaErrore;
    };

    // The reader program: CARTIGO_MDBREADER, else the one set here, else the one found
    // from the running program's folder (PercorsoDa).
    static QString Percorso();
    // The reader of a program in `cartellaProgramma`: the one beside it (the build
    // folder), else the installed one in the libexec folder of the same prefix
    // (bin/../libexec/cartigo), which is also the answer when neither exists.
    static QString PercorsoDa(const QString& cartellaProgramma,
                              const QString& nome = QStringLiteral("cartigo-mdbreader"));
    static void ImpostaPercorso(const QString& percorso);
    static Opzioni& OpzioniPredefinite();

    // Runs "catalogo FILE OUT" or "tabelle FILE OUT NAME..." and hands over the output file,
    // which callers read in place: a table of any size is never held in memory.
    static UscitaLettore Esegui(const QString& modo, const QString& fileMdb, const QStringList& nomi,
                                const Opzioni& opzioni = OpzioniPredefinite());
};

// A reader started and left running, so that its output can be read while it writes it.
// One still running when this goes is ended.
class LettoreInCorso {
public:
    LettoreInCorso(const QString& modo, const QString& fileMdb, const QStringList& nomi,
                   const LettoreProcesso::Opzioni& opzioni = LettoreProcesso::OpzioniPredefinite());
    ~LettoreInCorso();
    LettoreInCorso(const LettoreInCorso&) = delete;
    LettoreInCorso& operator=(const LettoreInCorso&) = delete;

    QString File() const;
    const QString& FileMdb() const;
    // Waits up to `ms` milliseconds for the reader's news; false once it has ended. A reader
    // that made no progress for the stall time is ended and reported (throws).
    bool Attendi(int ms);
    // The reader's output grew: it is making progress, whatever its last progress line.
    void Avanzato();
    // Waits for the end and throws what went wrong: a crash, a failure the reader reported,
    // no "OK". The output is then complete.
    void Concludi();
    // The output, taken over once the reader ended well.
    UscitaLettore Uscita();

private:
    struct Stato;
    std::unique_ptr<Stato> s_;
};

}  // namespace cartigo
