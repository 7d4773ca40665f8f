#pragma once
// Values of the database engine: DAO type codes, the engine's errors, dates as the
// engine stores them (ISO text) and field values turned into text for printing.

#include "label/Errori.h"
#include "label/Locale.h"

#include <QDateTime>
#include <QString>
#include <QVariant>
#include <optional>

namespace cartigo {

// DAO field type codes.
namespace TipoDao {
constexpr int Boolean = 1, Byte = 2, Integer = 3, Long = 4, Currency = 5, Single = 6, Double = 7, Date = 8, Binary = 9,
              Text = 10, LongBinary = 11, Memo = 12, Guid = 15, BigInt = 16, VarBinary = 17, Char = 18, Numeric = 19,
              Decimal = 20, Float = 21, Time = 22, TimeStamp = 23;
}

// Error numbers of the database engine (Jet's own numbers).
namespace ErroreJet {
constexpr int NessunRecordCorrente = 3021;
constexpr int PasswordNonValida = 3031;
constexpr int PercorsoNonValido = 3044;
constexpr int DatabaseNonApribile = 3049;  // damaged, encrypted or unreadable file
constexpr int ParametriMancanti = 3061;    // "Too few parameters."
constexpr int SintassiEspressione = 3075;  // syntax error in an expression or a date
constexpr int TabellaNonTrovata = 3078;    // input table or query not found
constexpr int FunzioneNonDefinita = 3085;
constexpr int SintassiFrom = 3131;
constexpr int SintassiSql = 3000;  // any other statement the engine cannot run
constexpr int OperazioneNonSupportata = 3251;
constexpr int FileBloccato = 3261;
constexpr int ElementoNonTrovato = 3265;  // field not in the record set
constexpr int FormatoNonRiconosciuto = 3343;
// Database servers (the descriptions of these say everything the user needs).
constexpr int PasswordRichiesta = 3029;   // the server wants a (another) password
constexpr int ChiamataFallita = 3146;     // a statement failed, or the server went away
constexpr int ConnessioneFallita = 3151;  // the server cannot be reached or refused the connection,
                                          // or a SQLite file cannot be read (damaged, not a database)
constexpr int DriverMancante = 3170;      // the Qt SQL driver is not installed
// True for the errors above, whose descriptions are shown as they are.
constexpr bool ErroreServer(int numero)
{
    return numero == PasswordRichiesta || numero == ChiamataFallita || numero == ConnessioneFallita ||
           numero == DriverMancante;
}
}  // namespace ErroreJet

ErroreCartigo ErroreDatabase(int numero, const QString& descrizione);

namespace modCartigo {

// Dates are kept as "yyyy-MM-dd hh:mm:ss" text, which sorts and compares as dates.
QString DataIso(const QDateTime& d);
std::optional<QDateTime> DaIso(const QString& testo);
// Jet's date serial (days since 1899-12-30, the time as the fraction).
double SerialeDa(const QDateTime& d);
QDateTime DaSeriale(double seriale);
// A date as Jet reads a literal between # signs: month/day/year (day/month when the
// first number cannot be a month), ISO year-month-day, two-digit years 00-29 as 20xx,
// an optional time "h:mm[:ss] [AM|PM]", or a time alone (on 1899-12-30).
std::optional<QDateTime> LeggiDataJet(const QString& testo);

// The class of a type code for building criteria: 0 number, 1 text, 2 date, 3 other.
int ClasseTipo(int tipoDao);

// The declared SQLite type that carries a DAO type code ("J10_TEXT", "J4_INT", ...).
QString TipoDichiarato(int tipoDao);
// The DAO type code of a declared type, or 0 when it carries none.
int TipoDaDichiarato(const QString& dichiarato);

// How field values become text: the user's separators, short date form and the
// words for true and false.
struct FormatoTesto {
    ImpostazioniLocali numeri = ImpostazioniLocali::correnti();
    QString dataBreve = QStringLiteral("dd/MM/yyyy");
    QString ora = QStringLiteral("HH:mm:ss");
    QString vero = QStringLiteral("Vero");
    QString falso = QStringLiteral("Falso");

    // The user's settings: separators in force, the system's short date, the words in
    // the interface language.
    static FormatoTesto correnti();
    static FormatoTesto italiano();
    static FormatoTesto inglese();
};

// A field value as text, as the platform's ordinary conversion gives it: numbers
// with the decimal separator and no grouping, Currency as its exact decimal value,
// Single to 7 significant digits, dates in the short form with the time only when it
// is not midnight, booleans as words, Null as empty text.
QString NzCampo(const QVariant& valore, int tipoDao, const FormatoTesto& f = FormatoTesto::correnti());
// The ordinary text of a number in the given locale (no grouping, up to 15 digits).
QString TestoNumero(double v, const ImpostazioniLocali& loc, int cifre = 15);
// The leading number of a text, as the record selection reads its values: the user's
// decimal separator and the full stop both mark the decimals, and when the text holds
// the user's decimal separator the group separators before it are skipped ("1.234,5"
// in Italian). Without it, a group separator other than the full stop groups only
// before three digits ("1,234" is 1234 in English) and is else a decimal mark ("12,5"
// is 12.5). Reads back what TestoNumero writes; text that does not start with a
// number gives 0.
double LeggiNumero(const QString& testo, const ImpostazioniLocali& loc);

}  // namespace modCartigo
}  // namespace cartigo
