#include "shell/Interazione.h"

namespace cartigo {

QString FiltroQt(const QString& filtroWindows)
{
    const QStringList parti = filtroWindows.split(QLatin1Char('|'));
    QStringList voci;
    for (int i = 0; i + 1 < parti.size(); i += 2) {
        const QString descr = parti[i].trimmed();
        QString modelli = parti[i + 1];
        modelli.replace(QLatin1Char(';'), QLatin1Char(' '));
        if (descr.contains(QLatin1Char('(')) && descr.endsWith(QLatin1Char(')'))) {
            // "File ascii (*.eti)": Qt reads the brackets as the patterns.
            voci << descr;
        } else {
            voci << descr + QStringLiteral(" (") + modelli.simplified() + QLatin1Char(')');
        }
    }
    return voci.join(QStringLiteral(";;"));
}

QString VoceFiltro(const QString& filtroQt, int n)
{
    const QStringList voci = filtroQt.split(QStringLiteral(";;"));
    if (n < 1 || n > voci.size())
        return {};
    return voci[n - 1];
}

}  // namespace cartigo
