#pragma once
// A text data file read as one table: the first line holds the field names; comma,
// semicolon or tab separated (whichever the first line uses most); fields may be
// quoted with "" for a quote inside; UTF-8 with or without BOM, else Windows-1252.
// Columns whose values are all whole numbers become Long, all numbers with "."
// Double, all ISO dates Date; the rest Text. Empty fields are Null.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace cartigo {

struct TabellaCsv {
    QString nome;
    QStringList campi;
    QList<int> tipi;  // DAO type codes
    QList<QList<QVariant>> righe;
};

QString DecodificaTestoCsv(const QByteArray& dati);
QList<QStringList> DividiCsv(const QString& testo, QChar separatore);
QChar SeparatoreCsv(const QString& testo);
// Reads the file: throws ErroreCartigo 3044 when it cannot be read.
TabellaCsv LeggiCsv(const QString& percorso);
TabellaCsv LeggiCsvDaDati(const QByteArray& dati, const QString& nomeTabella);

}  // namespace cartigo
