#pragma once
// The user's number separators. Every conversion of numbers to and from text
// (label file, input fields) takes one of these, so the same code can be run
// under an Italian and an English value without touching the process locale.

#include <QChar>
#include <QString>

namespace cartigo {

struct ImpostazioniLocali {
    QChar decimale = QLatin1Char('.');
    QChar migliaia = QLatin1Char(',');

    static ImpostazioniLocali sistema();  // from QLocale::system()
    static ImpostazioniLocali italiano() { return {QLatin1Char(','), QLatin1Char('.')}; }
    static ImpostazioniLocali inglese() { return {QLatin1Char('.'), QLatin1Char(',')}; }

    // The values in force for the program (set at start-up; tests may change it).
    static const ImpostazioniLocali& correnti();
    static void impostaCorrenti(const ImpostazioniLocali& l);

    bool operator==(const ImpostazioniLocali&) const = default;
};

}  // namespace cartigo
