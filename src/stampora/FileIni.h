#pragma once
// Settings files of "key=value" lines without sections ("Stampora.ini"), and the
// folders the print engine keeps its files in.

#include <QList>
#include <QPair>
#include <QString>

namespace cartigo::modCartigo {

// The value of `chiave` in the file: the rest of the last line whose first characters
// (as many as the key has once "=" is appended) equal the key, both trimmed and
// upper-cased; the value is trimmed. Empty when the file, the key or a match is missing.
// `messaggio` is accepted for callers that pass it and has no effect.
QString GetKeyIni(const QString& file, const QString& chiave, bool messaggio = false);

// Writes `chiave`=`valore` into the file: a missing file is created with that one line;
// otherwise every matching line keeps its key as written in the file and takes the new
// value, and without a match the line is appended. The file is rewritten through a
// temporary file named like it with the extension "~tm", which replaces it only once
// complete. False for an empty file name or key, or when the file cannot be written.
bool SetKeyIni(const QString& file, const QString& chiave, const QString& valore);
// The same for several keys, in order, with one rewrite of the file; none when every key
// already holds its value as written.
bool SetKeysIni(const QString& file, const QList<QPair<QString, QString>>& valori);

// The program's folder: where the program lives, or where tests put it.
QString CartellaProgramma();
void ImpostaCartellaProgramma(const QString& cartella);  // empty: back to the real one
// "Stampora.ini" in the program's folder when that folder is the user's own and
// writable (not an installed program's folder, such as /usr/bin, nor one owned by
// someone else), else in the user's configuration folder.
QString FileIniStampora();
// "Stampe" in the program's folder on the same terms, else in the user's documents
// folder. Not created here.
QString CartellaStampe();

// A number with the pattern "######0.00" and the given decimal separator.
QString FormatoDueDecimali(double v, QChar decimale);

}  // namespace cartigo::modCartigo
