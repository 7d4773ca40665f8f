#pragma once
// The rows of MDB tables as the reader program writes them (cartigo-mdbreader "tabelle"),
// read while the reader runs: the file is read as far as it has been written, and a read
// that needs more waits for the reader. A reader that fails, stops or stalls on the way
// ends the reading with its message (LettoreInCorso).
//
// The file: "CRIGHE1\n", then for each table 'T' (u32 length, the name in UTF-8, u32
// columns, u64 rows its definition declares), its rows 'R' (one value a column: 'N' Null,
// 'I' i64, 'F' f64, 'S' text or 'B' binary as u32 length and bytes) and 'Z' (u64 rows
// written). Numbers are little-endian.

#include <QByteArray>
#include <QByteArrayView>
#include <QFile>
#include <QString>
#include <vector>

namespace cartigo {

class LettoreInCorso;

struct ValoreRiga {
    char tipo = 'N';  // 'N', 'I', 'F', 'S' or 'B'
    qint64 intero = 0;
    double reale = 0;
    QByteArrayView byte;  // text or binary, valid until the next row is read
};

class FlussoRighe {
public:
    explicit FlussoRighe(LettoreInCorso& lettore);

    struct Tabella {
        QString nome;
        int colonne = 0;
        qint64 dichiarate = 0;
    };
    // The next table's header; false at the end of the file (the reader then ended well).
    bool ProssimaTabella(Tabella& t);
    // The current table's next row into `valori`; false at its end, whose count must match
    // the rows read.
    bool ProssimaRiga(std::vector<ValoreRiga>& valori);
    // True when a whole row (or the table's end) can be read without waiting.
    bool RigaPronta();

private:
    enum class Esito { Fatto, Manca };
    Esito prova(std::vector<ValoreRiga>* valori, bool& fineTabella);
    bool leggiFile();
    void attendi();
    [[noreturn]] void guasto(const QString& motivo) const;

    LettoreInCorso& lettore_;
    QFile file_;
    QByteArray buffer_;
    qsizetype pos_ = 0;
    bool intestazione_ = false;
    Tabella tabella_;
    bool inTabella_ = false;
    qint64 righe_ = 0;
};

}  // namespace cartigo
