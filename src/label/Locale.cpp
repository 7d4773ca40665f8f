#include "label/Locale.h"

#include <QLocale>

namespace cartigo {

namespace {
ImpostazioniLocali& valoriCorrenti()
{
    static ImpostazioniLocali v = ImpostazioniLocali::sistema();
    return v;
}
}  // namespace

ImpostazioniLocali ImpostazioniLocali::sistema()
{
    const QLocale l = QLocale::system();
    ImpostazioniLocali r;
    const QString d = l.decimalPoint();
    const QString g = l.groupSeparator();
    r.decimale = d.isEmpty() ? QLatin1Char('.') : d.at(0);
    r.migliaia = g.isEmpty() ? QChar() : g.at(0);
    return r;
}

const ImpostazioniLocali& ImpostazioniLocali::correnti() { return valoriCorrenti(); }

void ImpostazioniLocali::impostaCorrenti(const ImpostazioniLocali& l) { valoriCorrenti() = l; }

}  // namespace cartigo
