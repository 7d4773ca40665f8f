#pragma once
// Text encodings of label files: Windows-1252 (the 8-bit code page of the
// systems labels come from) or UTF-8.

#include <QByteArray>
#include <QString>

namespace cartigo {

// The program's one Windows-1252 codec. The five bytes the code page leaves
// unassigned (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for the C1 code points of the
// same value, so every byte reads and writes back unchanged.
QString DaWindows1252(const QByteArray& dati);
// Nothing when some character has no Windows-1252 byte.
bool InWindows1252(const QString& testo, QByteArray* risultato);

// True when the bytes are valid UTF-8; `testo` gets them decoded.
bool Utf8Valido(const QByteArray& dati, QString* testo = nullptr);

// Reads bytes as UTF-8 when they start with a BOM (dropped) or are valid UTF-8,
// else as Windows-1252.
QString DecodificaTestoFile(const QByteArray& dati);
// Plain ASCII as it is. Text that fits Windows-1252 is written in it when those
// bytes cannot be taken for UTF-8; when they could (a "Ã©" that would come back
// "é"), the text is written as UTF-8 after a BOM. Text beyond Windows-1252 is
// UTF-8 without a BOM, which always reads back as UTF-8.
QByteArray CodificaTestoFile(const QString& testo);

// True when the bytes look like UTF-16 text: a UTF-16 BOM, or NUL bytes in a
// quarter or more of the even or of the odd positions.
bool ProbabileUtf16(const QByteArray& dati);

}  // namespace cartigo
