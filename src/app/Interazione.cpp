#include "app/Interazione.h"

#include "label/NomiFile.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace cartigo {

namespace {
QString& ultimaCartella()
{
    static QString c;
    return c;
}

QString cartellaEsistente(const QString& file)
{
    if (file.isEmpty()) return {};
    const QString c = modCartigo::CartellaDi(file);
    return QFileInfo(c).isDir() ? c : QString();
}
}  // namespace

QString CartellaDialogo(const QString& fileEtichetta)
{
    if (const QString c = cartellaEsistente(fileEtichetta); !c.isEmpty()) return c;
    if (QFileInfo(ultimaCartella()).isDir()) return ultimaCartella();
    const QString documenti = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QFileInfo(documenti).isDir() ? documenti : QDir::homePath();
}

void RicordaCartellaDialogo(const QString& file)
{
    if (const QString c = cartellaEsistente(file); !c.isEmpty()) ultimaCartella() = c;
}

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
