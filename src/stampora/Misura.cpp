#include "stampora/Misura.h"

#include <cmath>

namespace cartigo {

double Misura::Twips(double twipsPerPixel) const
{
    switch (unita) {
        case Unita::Twip:
            return valore;
        case Unita::Punto:
            return valore * 20.0;
        case Unita::Pixel:
            return valore * twipsPerPixel;
        case Unita::Pollice:
            return valore * 1440.0;
        case Unita::Millimetro:
            return valore * 56.7;
        case Unita::Centimetro:
            return valore * 567.0;
    }
    return valore;
}

QString NomeUnita(Unita u)
{
    switch (u) {
        case Unita::Twip:
            return QStringLiteral("twip");
        case Unita::Punto:
            return QStringLiteral("point");
        case Unita::Pixel:
            return QStringLiteral("pix");
        case Unita::Pollice:
            return QStringLiteral("in");
        case Unita::Millimetro:
            return QStringLiteral("mm");
        case Unita::Centimetro:
            return QStringLiteral("cm");
    }
    return {};
}

QString NumeroPiano(double v)
{
    if (!std::isfinite(v)) return QStringLiteral("0");
    QString s = QString::number(v, 'f', 6);
    if (s.contains(QLatin1Char('.'))) {
        while (s.endsWith(QLatin1Char('0'))) s.chop(1);
        if (s.endsWith(QLatin1Char('.'))) s.chop(1);
    }
    if (s == QLatin1String("-0")) s = QStringLiteral("0");
    return s;
}

QString Misura::Testo() const
{
    const QString n = NumeroPiano(valore);
    return unita == Unita::Twip ? n : n + NomeUnita(unita);
}

std::optional<Misura> Misura::Analizza(const QString& testo)
{
    const QString t = testo.trimmed();
    int i = 0;
    const int n = t.size();
    if (i < n && (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-'))) ++i;
    const int inizioNumero = i;
    int cifre = 0;
    while (i < n && t[i].isDigit() && t[i].unicode() < 128) {
        ++i;
        ++cifre;
    }
    if (i < n && t[i] == QLatin1Char('.')) {
        ++i;
        while (i < n && t[i].isDigit() && t[i].unicode() < 128) {
            ++i;
            ++cifre;
        }
    }
    if (cifre == 0) return std::nullopt;
    bool ok = false;
    QString numero = t.left(i);
    if (numero.endsWith(QLatin1Char('.'))) numero.chop(1);
    if (numero.mid(inizioNumero).startsWith(QLatin1Char('.'))) numero.insert(inizioNumero, QLatin1Char('0'));
    const double v = numero.toDouble(&ok);
    if (!ok || !std::isfinite(v)) return std::nullopt;

    const QString nome = t.mid(i).toLower();
    static const struct {
        const char* nome;
        Unita unita;
    } unita[] = {{"", Unita::Twip},      {"twip", Unita::Twip},     {"point", Unita::Punto},  {"pix", Unita::Pixel},
                 {"in", Unita::Pollice}, {"mm", Unita::Millimetro}, {"cm", Unita::Centimetro}};
    for (const auto& u : unita) {
        if (nome == QLatin1String(u.nome)) return Misura(v, u.unita);
    }
    return std::nullopt;
}

}  // namespace cartigo
