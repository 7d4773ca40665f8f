#pragma once
// Runs the MDB reader program (cartigo-mdbreader) and watches it: it must report
// progress at least every `secondiStallo` seconds, stays under a memory cap, and
// one that crashes, exceeds the cap or stalls is ended and reported as error 3049
// naming the file. The main program only ever sees the SQLite file it writes.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>

namespace cartigo {

class LettoreProcesso {
public:
    struct Opzioni {
        qint64 memoriaMassima = qint64(1) << 30;  // address space of the reader
        qint64 fileMassimo = qint64(8) << 30;     // size of its output file
        int secondiStallo = 10;
        std::function<void(qint64)> progresso;  // called with a growing counter
    };

    // The reader program: CARTIGO_MDBREADER, else the one set here, else the one found
    // from the running program's folder (PercorsoDa).
    static QString Percorso();
    // The reader of a program in `cartellaProgramma`: the one beside it (the build
    // folder), else the installed one in the libexec folder of the same prefix
    // (bin/../libexec/cartigo), which is also the answer when neither exists.
    static QString PercorsoDa(const QString& cartellaProgramma);
    static void ImpostaPercorso(const QString& percorso);
    static Opzioni& OpzioniPredefinite();

    // Runs "catalogo FILE OUT" or "tabelle FILE OUT NAME...", returns the output file's bytes.
    static QByteArray Esegui(const QString& modo, const QString& fileMdb, const QStringList& nomi,
                             const Opzioni& opzioni = OpzioniPredefinite());
};

}  // namespace cartigo
