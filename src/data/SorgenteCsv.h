#pragma once
// A text data file read as one table: the first line holds the field names; comma,
// semicolon or tab separated (whichever the first line uses most); fields may be
// quoted with "" for a quote inside; UTF-8 with or without BOM, else Windows-1252.
// Columns whose values are all whole numbers become Long, all numbers with "."
// Double, all ISO dates Date; the rest Text. Empty fields are Null.
// A file is read piece by piece, never whole: once for its encoding, separator and
// column types, once more for its records.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>

class QIODevice;

namespace cartigo {

struct TabellaCsv {
    QString nome;
    QStringList campi;
    QList<int> tipi;               // DAO type codes
    QList<QList<QVariant>> righe;  // filled by LeggiCsvDaDati only
};

// Splits a CSV text handed over in pieces into records: a field between quotes may
// hold separators and line ends, and a piece may end anywhere.
class DivisoreCsv {
public:
    DivisoreCsv(QChar separatore, std::function<void(QStringList&)> riga);
    void Aggiungi(QStringView pezzo);
    // The end of the text: hands over the last record when it has no line end.
    void Fine();

private:
    void fineRiga();
    QChar sep_;
    std::function<void(QStringList&)> riga_;
    QStringList campi_;
    QString campo_;
    bool virgolette_ = false, virgolettaAperta_ = false, inizioCampo_ = true, rigaIniziata_ = false;
};

// Reads a CSV file or buffer (open, seekable) twice, a piece at a time: the
// constructor finds the encoding, the separator, the field names and their types
// (throws ErroreCartigo 3044 when the device cannot be read); Righe() hands over
// every record after the first, its values read by the types.
class LettoreCsv {
public:
    LettoreCsv(QIODevice& dati, const QString& nomeTabella);
    const TabellaCsv& Struttura() const { return t_; }
    void Righe(const std::function<void(const QList<QVariant>&)>& riga);

private:
    // Every record from the first; false when the text is not UTF-8 and utf8_ is set.
    bool scorri(const std::function<void(QStringList&)>& riga);
    QIODevice& d_;
    TabellaCsv t_;
    bool utf8_ = true;
    QChar sep_;
    bool sepNoto_ = false;
};

QString DecodificaTestoCsv(const QByteArray& dati);
QList<QStringList> DividiCsv(const QString& testo, QChar separatore);
QChar SeparatoreCsv(const QString& testo);
TabellaCsv LeggiCsvDaDati(const QByteArray& dati, const QString& nomeTabella);

}  // namespace cartigo
