#include "label/Conversioni.h"

#include "label/Errori.h"

#include <cmath>
#include <limits>

namespace cartigo::modCartigo {

namespace {

bool eBianco(QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); }

QString senzaBianchi(const QString& t)
{
    QString r;
    r.reserve(t.size());
    for (QChar c : t)
        if (!eBianco(c))
            r.append(c);
    return r;
}

// Parses [+-]digits[.digits][(e|E)[+-]digits] fully; `punto` is the decimal separator.
std::optional<double> numeroCompleto(const QString& s, QChar punto)
{
    int i = 0;
    const int n = s.size();
    QByteArray ascii;
    if (i < n && (s[i] == QLatin1Char('+') || s[i] == QLatin1Char('-')))
        ascii.append(char(s[i++].unicode()));
    int cifre = 0;
    while (i < n && s[i].isDigit() && s[i].unicode() < 128) {
        ascii.append(char(s[i++].unicode()));
        ++cifre;
    }
    if (i < n && s[i] == punto) {
        ascii.append('.');
        ++i;
        while (i < n && s[i].isDigit() && s[i].unicode() < 128) {
            ascii.append(char(s[i++].unicode()));
            ++cifre;
        }
    }
    if (cifre == 0)
        return std::nullopt;
    if (i < n && (s[i] == QLatin1Char('e') || s[i] == QLatin1Char('E'))) {
        ascii.append('e');
        ++i;
        if (i < n && (s[i] == QLatin1Char('+') || s[i] == QLatin1Char('-')))
            ascii.append(char(s[i++].unicode()));
        int esp = 0;
        while (i < n && s[i].isDigit() && s[i].unicode() < 128) {
            ascii.append(char(s[i++].unicode()));
            ++esp;
        }
        if (esp == 0)
            return std::nullopt;
    }
    if (i != n)
        return std::nullopt;
    bool ok = false;
    const double v = ascii.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

}  // namespace

std::optional<double> NumeroLocale(const QString& testo, const ImpostazioniLocali& loc, Lettura lettura)
{
    QString s = senzaBianchi(testo);
    if (lettura == Lettura::Utente && !loc.migliaia.isNull() && loc.migliaia != loc.decimale) s.remove(loc.migliaia);
    if (s.isEmpty())
        return std::nullopt;
    auto v = numeroCompleto(s, loc.decimale);
    if (!v && lettura == Lettura::File) {
        for (const QChar punto : {QLatin1Char('.'), QLatin1Char(',')})
            if (punto != loc.decimale && (v = numeroCompleto(s, punto))) break;
    }
    return v;
}

double ValFisso(const QString& testo)
{
    const QString s = senzaBianchi(testo);
    // Try ever shorter prefixes of the leading numeric-looking run.
    int fine = 0;
    const int n = s.size();
    while (fine < n) {
        const QChar c = s[fine];
        const bool ok = (c.isDigit() && c.unicode() < 128) || c == QLatin1Char('.') || c == QLatin1Char('+')
                        || c == QLatin1Char('-') || c == QLatin1Char('e') || c == QLatin1Char('E')
                        || c == QLatin1Char('d') || c == QLatin1Char('D');
        if (!ok)
            break;
        ++fine;
    }
    QString testa = s.left(fine);
    testa.replace(QLatin1Char('d'), QLatin1Char('e')).replace(QLatin1Char('D'), QLatin1Char('e'));
    for (int len = testa.size(); len > 0; --len) {
        if (auto v = numeroCompleto(testa.left(len), QLatin1Char('.')))
            return *v;
        // "5." is a number in this reading as well
        const QString p = testa.left(len);
        if (p.endsWith(QLatin1Char('.'))) {
            if (auto v = numeroCompleto(p.chopped(1), QLatin1Char('.')))
                return *v;
        }
    }
    return 0.0;
}

double ArrotondaPari(double v)
{
    const double f = std::floor(v);
    const double diff = v - f;
    if (diff > 0.5)
        return f + 1.0;
    if (diff < 0.5)
        return f;
    return std::fmod(f, 2.0) == 0.0 ? f : f + 1.0;
}

double ConvertiDouble(const QString& testo, const ImpostazioniLocali& loc, Lettura lettura)
{
    if (testo.isEmpty())
        return 0.0;
    if (auto v = NumeroLocale(testo, loc, lettura)) return *v;
    return ValFisso(testo);
}

double ConvertiIntero(const QString& testo, const ImpostazioniLocali& loc, Lettura lettura)
{
    if (testo.isEmpty())
        return 0.0;
    if (auto v = NumeroLocale(testo, loc, lettura)) {
        const double r = ArrotondaPari(*v);
        if (r < -32768.0 || r > 32767.0)
            throw ErroreCartigo::di(CodiceErrore::Overflow);
        return r;
    }
    return ValFisso(testo);
}

double NumeroObbligatorio(const QString& testo, const ImpostazioniLocali& loc, Lettura lettura)
{
    if (auto v = NumeroLocale(testo, loc, lettura)) return *v;
    throw ErroreCartigo::di(CodiceErrore::TipoNonCorrispondente);
}

qint32 ConvertiLong(const QString& testo, const ImpostazioniLocali& loc, Lettura lettura)
{
    const double r = ArrotondaPari(NumeroObbligatorio(testo, loc, lettura));
    if (r < double(std::numeric_limits<qint32>::min()) || r > double(std::numeric_limits<qint32>::max()))
        throw ErroreCartigo::di(CodiceErrore::Overflow);
    return qint32(r);
}

QString NumeroFile(double valore, int cifre, const ImpostazioniLocali& loc)
{
    if (valore == 0.0)
        valore = 0.0;  // no "-0"
    QString corpo = QString::number(std::fabs(valore), 'g', cifre);
    corpo.replace(QLatin1Char('e'), QLatin1Char('E'));
    // The platform writes fractions below one without the leading zero (" .5 ").
    if (corpo.startsWith(QStringLiteral("0.")))
        corpo.remove(0, 1);
    corpo.replace(QLatin1Char('.'), loc.decimale);
    return (valore < 0 ? QStringLiteral("-") : QStringLiteral(" ")) + corpo + QLatin1Char(' ');
}

QString InteroFile(qint64 v)
{
    return (v < 0 ? QStringLiteral("-") : QStringLiteral(" ")) + QString::number(v < 0 ? -v : v)
           + QLatin1Char(' ');
}

}  // namespace cartigo::modCartigo
