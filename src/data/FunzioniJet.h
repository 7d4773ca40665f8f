#pragma once
// The Jet side of the SQLite connection: the text collation "JETTEXT" (case-insensitive,
// accents distinct, as Jet compares text) and the functions the translated statements
// call (jet_like, jet_concat, jet_cstr, jet_year, jet_format, ...).

#include <QString>

struct sqlite3;

namespace cartigo {

// Registers the collation and every function on a connection.
void RegistraFunzioniJet(sqlite3* db);

// Jet's text comparison: <0, 0, >0.
int ConfrontaTestoJet(const QString& a, const QString& b);
// Jet's Like: * any run, ? one character, # one digit, [abc], [!abc], [a-z]; case-insensitive.
bool CorrispondeLike(const QString& testo, const QString& modello);
// Format(value, format) for dates and numbers, as text.
QString FormatoJet(const QString& valoreTesto, double valoreNumero, bool numerico, const QString& formato);

}  // namespace cartigo
