#pragma once
// Text encodings of label files: Windows-1252 (the 8-bit code page of the
// systems labels come from) or UTF-8.

#include <QByteArray>
#include <QString>

namespace cartigo {

QString DaWindows1252(const QByteArray& dati);
// Nothing when some character has no Windows-1252 byte.
bool InWindows1252(const QString& testo, QByteArray* risultato);

// Reads bytes as UTF-8 when they are valid UTF-8 (a BOM is dropped), else as Windows-1252.
QString DecodificaTestoFile(const QByteArray& dati);
// Windows-1252 when every character fits, else UTF-8 without a BOM.
QByteArray CodificaTestoFile(const QString& testo);

}  // namespace cartigo
