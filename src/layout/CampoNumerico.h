#pragma once
// Behaviour of the program's input fields that needs no widget: number formatting
// with the platform's format patterns, the whole-number key filter and the
// three-decimal mask of the sheet layout boxes. The widget side (QLineEdit) lives
// in FiltroCampi.h and only feeds keys to these functions.

#include "label/Locale.h"

#include <QColor>
#include <QString>
#include <optional>

namespace cartigo::modCartigo {

// Key codes as the mask sees them: characters by their code, plus these.
constexpr int TastoBackspace = 8;
constexpr int TastoCancellaAvanti = 257;  // the Delete key, diverted to the mask

// Field colours: focused, enabled, disabled (button face).
QColor ColoreCampoAttivo();
QColor ColoreCampoNormale();
QColor ColoreCampoDisabilitato();

// Format patterns of the masked boxes.
inline const QString FormatoUscita = QStringLiteral("###,###,##0.000");
inline const QString FormatoDigitazione = QStringLiteral("###,###,###.000");
inline const QString FormatoPrimaCifra = QStringLiteral("0.000");

// `valore` written with a numeric pattern in which "," stands for the thousands
// separator and "." for the decimal separator of `loc`: "0" is a digit always
// shown, "#" a digit shown only when significant. Rounds halves away from zero
// on the value's 15 significant digits; a result of zero carries no sign.
QString FormatoNumero(double valore, const QString& formato, const ImpostazioniLocali& loc);

// A box's text formatted like a number: empty text stays empty, text that is not
// a number in `loc` gives nothing.
std::optional<QString> FormatoTesto(const QString& testo, const QString& formato, const ImpostazioniLocali& loc);

// "###,###,###,###,##0" with no decimals, else followed by "." and `decimali` zeros.
QString FormattaNumero(double valore, int decimali = 0, const ImpostazioniLocali& loc = ImpostazioniLocali::correnti());

// Whole-number filter: Backspace and the digits pass; anything else is refused
// (`beep` set) and becomes 0.
int FiltroCifre(int tasto, bool* beep = nullptr);

// The text and selection of a box.
struct StatoCampo {
    QString testo;
    int selStart = 0;
    int selLength = 0;
    bool operator==(const StatoCampo&) const = default;
};

// What a key does to a masked box.
struct EsitoTasto {
    StatoCampo stato;  // the box afterwards (for a key that passes: after the box inserted it)
    int tasto = 0;     // the key left to the box; 0 when the mask swallowed it
    bool beep = false;
};

// Key down: true when the key code is the Delete key, which the mask handles as
// TastoCancellaAvanti (in both locale families).
bool TastoGiuCampoNumerico(int codiceTasto);

// The decimal mask of a box limited to `maxLength` characters.
EsitoTasto TastoCampoNumerico(const StatoCampo& campo, int tasto, int maxLength, const ImpostazioniLocali& loc);

// The text a masked box shows once left.
QString TestoUscitaCampoNumerico(const QString& testo, const ImpostazioniLocali& loc);

}  // namespace cartigo::modCartigo
