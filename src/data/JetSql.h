#pragma once
// Jet SQL turned into SQLite SQL: bracketed and bare names, '...' and "..." texts,
// #...# dates, Jet operators (&, Like, Mod, \, ^, Between, Is Null, In), True/False,
// TOP, DISTINCT/DISTINCTROW, joins, unions, subqueries, and the Jet functions, which
// the engine registers under the prefix "jet_". What cannot be translated throws
// ErroreCartigo with the engine's error number and a text naming what is missing.

#include <QString>
#include <QStringList>

namespace cartigo {

struct OpzioniTraduzione {
    // Names of saved query parameters: a reference to one is refused with 3061.
    QStringList parametri;
};

// A whole statement (SELECT ..., a UNION of them).
QString TraduciJetSql(const QString& jet, const OpzioniTraduzione& opzioni = {});
// One expression (a WHERE condition, an output column).
QString TraduciEspressioneJet(const QString& jet, const OpzioniTraduzione& opzioni = {});
// A name quoted for SQLite.
QString NomeSqlite(const QString& nome);

}  // namespace cartigo
