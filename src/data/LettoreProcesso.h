#pragma once
// Runs the MDB reader program (cartigo-mdbreader) and watches it: it must report
// progress at least every `secondiStallo` seconds, stays under a memory cap, and
// one that crashes, exceeds the cap or stalls is ended and reported as error 3049
// naming the file. The main program only ever sees the SQLite file it writes.

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

}  // namespace cartigo
