#include "label/Caratteri.h"

#include <QFontDatabase>
#include <QFontInfo>

namespace cartigo::Caratteri {

QString FacciaCompatibile(const QString& famiglia)
{
    static const struct {
        const char* windows;
        const char* liberation;
    } mappa[] = {
        {"Microsoft Sans Serif", "Liberation Sans"},
        {"MS Sans Serif", "Liberation Sans"},
        {"Arial", "Liberation Sans"},
        {"Tahoma", "Liberation Sans"},
        {"Times New Roman", "Liberation Serif"},
        {"Courier New", "Liberation Mono"},
    };
    for (const auto& m : mappa)
        if (famiglia == QLatin1String(m.windows)) return QString::fromLatin1(m.liberation);
    return {};
}

QFont CarattereTesto(const QString& famiglia)
{
    QFont f(famiglia);
    // Qt takes the first family of the list that is installed.
    if (const QString faccia = FacciaCompatibile(famiglia); !faccia.isEmpty()) f.setFamilies({famiglia, faccia});
    return f;
}

QString SenzaFonderia(const QString& famiglia)
{
    const qsizetype parentesi = famiglia.indexOf(QStringLiteral(" ["));
    if (parentesi > 0 && famiglia.endsWith(QLatin1Char(']'))) return famiglia.left(parentesi);
    return famiglia;
}

QStringList FamiglieInstallate()
{
    QStringList famiglie;
    for (const QString& f : QFontDatabase::families()) {
        const QString semplice = SenzaFonderia(f);
        if (!semplice.isEmpty() && !famiglie.contains(semplice)) famiglie << semplice;
    }
    return famiglie;
}

bool Disponibile(const QString& famiglia, const QStringList& installate)
{
    if (installate.contains(famiglia)) return true;
    const QString faccia = FacciaCompatibile(famiglia);
    return !faccia.isEmpty() && installate.contains(faccia);
}

QString CarattereIniziale(const QStringList& installate)
{
    for (const char* nome : {"Microsoft Sans Serif", "Liberation Sans"})
        if (installate.contains(QLatin1String(nome))) return QString::fromLatin1(nome);
    return QFontInfo(QFont(QStringLiteral("sans-serif"))).family();
}

QFont CarattereDialogo(const QString& famiglia, double punti, bool grassetto, bool corsivo)
{
    QFont f = CarattereTesto(famiglia);
    f.setBold(grassetto);
    f.setItalic(corsivo);
    const QFontInfo disegnato(f);
    QFont d(disegnato.family());
    d.setStyleName(disegnato.styleName());
    d.setPointSizeF(punti);
    d.setBold(grassetto);
    d.setItalic(corsivo);
    return d;
}

}  // namespace cartigo::Caratteri
