#include "layout/CampoNumerico.h"

#include "label/Colori.h"
#include "label/Conversioni.h"
#include "label/FileEtichetta.h"

#include <algorithm>
#include <cmath>

namespace cartigo::modCartigo {

QColor ColoreCampoAttivo()
{
    return QColor(255, 255, 0);
}
QColor ColoreCampoNormale()
{
    return QColor(255, 255, 255);
}
QColor ColoreCampoDisabilitato()
{
    return ColoreDaVB(qint32(0x8000000F));
}

namespace {

// Integer and fraction digits of |valore| rounded to `decimali` places, halves away
// from zero, starting from the value's 15 significant digits.
void cifre(double valore, int decimali, QString& intera, QString& frazione)
{
    intera.clear();
    frazione = QString(decimali, QLatin1Char('0'));
    const double a = std::fabs(valore);
    if (a == 0 || !std::isfinite(a)) return;
    const QString e = QString::number(a, 'e', 14);  // d.dddddddddddddde+xx
    const qsizetype pe = e.indexOf(QLatin1Char('e'));
    QString mant = e.left(pe);
    mant.remove(QLatin1Char('.'));
    const int esp = e.mid(pe + 1).toInt();
    QString i, f;
    if (esp >= 0) {
        i = mant.left(esp + 1);
        if (i.size() < esp + 1) i += QString(esp + 1 - i.size(), QLatin1Char('0'));
        f = mant.mid(esp + 1);
    } else {
        f = QString(-esp - 1, QLatin1Char('0')) + mant;
    }
    if (f.size() < decimali + 1) f += QString(decimali + 1 - f.size(), QLatin1Char('0'));
    const bool su = f.at(decimali) >= QLatin1Char('5');
    QString tutte = i + f.left(decimali);
    if (su) {
        int k = int(tutte.size()) - 1;
        while (k >= 0 && tutte[k] == QLatin1Char('9')) {
            tutte[k] = QLatin1Char('0');
            --k;
        }
        if (k >= 0)
            tutte[k] = QChar(tutte[k].unicode() + 1);
        else
            tutte.prepend(QLatin1Char('1'));
    }
    intera = tutte.left(tutte.size() - decimali);
    frazione = tutte.right(decimali);
    while (!intera.isEmpty() && intera[0] == QLatin1Char('0')) intera.remove(0, 1);
}

}  // namespace

QString FormatoNumero(double valore, const QString& formato, const ImpostazioniLocali& loc)
{
    const qsizetype punto = formato.indexOf(QLatin1Char('.'));
    const QString parteIntera = punto < 0 ? formato : formato.left(punto);
    const QString parteDecimale = punto < 0 ? QString() : formato.mid(punto + 1);
    const int minimoIntere = int(parteIntera.count(QLatin1Char('0')));
    const bool raggruppa = parteIntera.contains(QLatin1Char(','));
    const int decimali = int(parteDecimale.count(QLatin1Char('0')) + parteDecimale.count(QLatin1Char('#')));
    const int decimaliFissi = int(parteDecimale.count(QLatin1Char('0')));

    QString intera, frazione;
    cifre(valore, decimali, intera, frazione);
    const bool zero = intera.isEmpty() &&
                      std::all_of(frazione.cbegin(), frazione.cend(), [](QChar c) { return c == QLatin1Char('0'); });
    // Optional decimals ("#") drop their trailing zeros.
    while (frazione.size() > decimaliFissi && frazione.endsWith(QLatin1Char('0'))) frazione.chop(1);
    if (intera.size() < minimoIntere) intera.prepend(QString(minimoIntere - intera.size(), QLatin1Char('0')));
    if (raggruppa && !loc.migliaia.isNull()) {
        for (qsizetype k = intera.size() - 3; k > 0; k -= 3) intera.insert(k, loc.migliaia);
    }
    QString r;
    if (valore < 0 && !zero) r += QLatin1Char('-');
    r += intera;
    if (punto >= 0) r += loc.decimale + frazione;
    return r;
}

std::optional<QString> FormatoTesto(const QString& testo, const QString& formato, const ImpostazioniLocali& loc)
{
    if (testo.isEmpty()) return QString();
    const auto v = NumeroLocale(testo, loc);
    if (!v) return std::nullopt;
    return FormatoNumero(*v, formato, loc);
}

QString FormattaNumero(double valore, int decimali, const ImpostazioniLocali& loc)
{
    QString formato = QStringLiteral("###,###,###,###,##0");
    if (decimali > 0) formato += QLatin1Char('.') + QString(decimali, QLatin1Char('0'));
    return FormatoNumero(valore, formato, loc);
}

int FiltroCifre(int tasto, bool* beep)
{
    if (beep) *beep = false;
    if (tasto == TastoBackspace) return tasto;
    if (tasto < '0' || tasto > '9') {
        if (beep) *beep = true;
        return 0;
    }
    return tasto;
}

bool TastoGiuCampoNumerico(int codiceTasto)
{
    return codiceTasto == 46;
}

namespace {

int contaSeparatori(const QString& t, QChar sep)
{
    return sep.isNull() ? 0 : int(t.count(sep));
}

// A leading thousands separator, alone or after the minus, is dropped; the caret
// follows when one is given.
void togliSeparatoreIniziale(QString& t, QChar sep, int* caret)
{
    if (sep.isNull()) return;
    if (t.size() > 1 && t[0] == QLatin1Char('-') && t[1] == sep) {
        t.remove(1, 1);
        if (caret) *caret = 1;
    } else if (!t.isEmpty() && t[0] == sep) {
        t.remove(0, 1);
        if (caret) *caret = std::max(0, *caret - 1);
    }
}

}  // namespace

EsitoTasto TastoCampoNumerico(const StatoCampo& campo, int tasto, int maxLength, const ImpostazioniLocali& loc)
{
    EsitoTasto r;
    r.stato = campo;
    const QChar punto = loc.decimale;
    const QChar virgola = loc.migliaia;
    if (punto == QLatin1Char(',') && tasto == '.') tasto = ',';
    const int tastoDecimale = punto.unicode();

    const QString t = campo.testo;
    const int n = int(t.size());
    const int start = std::clamp(campo.selStart, 0, n);
    const int len = std::clamp(campo.selLength, 0, n - start);
    auto rifiuta = [&r] {
        r.beep = true;
        return r;
    };
    auto imposta = [&r](const QString& testo, int caret) {
        r.stato = {testo, std::clamp(caret, 0, int(testo.size())), 0};
        return r;
    };

    // 1. A full box takes no more decimals.
    if (n >= maxLength && len == 0 && start > n - 3 && tasto != TastoBackspace && tasto != TastoCancellaAvanti &&
        tasto != tastoDecimale)
        return rifiuta();

    // 2. Backspace.
    if (tasto == TastoBackspace) {
        if (start == 0) {
            if (len == n) return imposta(FormatoNumero(0, FormatoDigitazione, loc), 0);
            return r;
        }
        QString nuovo = t;
        if (t[start - 1] == punto && start > 1)
            nuovo.remove(start - 2, 1);  // the digit before the point; the point stays
        else
            nuovo.remove(start - 1, 1);
        const auto f = FormatoTesto(nuovo, FormatoDigitazione, loc);
        if (!f) return r;
        const int diff = int(f->size()) - n;
        int caret = start + (diff >= 1 ? 1 : diff == -2 ? -2 : -1);
        QString s = *f;
        togliSeparatoreIniziale(s, virgola, &caret);
        return imposta(s, caret);
    }

    // 3. The decimal key.
    if (tasto == tastoDecimale) {
        const qsizetype p = t.indexOf(punto);
        if (p >= 0) return imposta(t, int(p) + 1);
        const auto f = FormatoTesto(t + punto + QStringLiteral("000"), FormatoDigitazione, loc);
        if (!f) return r;
        return imposta(*f, 0);
    }

    // 4. Delete forward.
    if (tasto == TastoCancellaAvanti) {
        QString nuovo = t;
        int caret = start;
        if (len == 0) {
            if (start < n && t[start] == punto) {
                if (start + 1 < n) nuovo.remove(start + 1, 1);
                caret = start + 1;
            } else if (start < n) {
                nuovo.remove(start, 1);
            }
        } else {
            const qsizetype p = t.indexOf(punto);
            QString sostituto;
            if (t.mid(start, len).contains(punto)) sostituto += punto;
            int dopo = 0;
            for (int i = start; i < start + len; ++i)
                if (p >= 0 && i > p) ++dopo;
            sostituto += QString(dopo, QLatin1Char('0'));
            nuovo = t.left(start) + sostituto + t.mid(start + len);
        }
        togliSeparatoreIniziale(nuovo, virgola, nullptr);
        if (nuovo == QString(punto)) nuovo += QStringLiteral("000");
        const int prima = contaSeparatori(nuovo, virgola);
        const auto f = FormatoTesto(nuovo, FormatoDigitazione, loc);
        if (!f) return r;
        const int tolti = prima - contaSeparatori(*f, virgola);
        if (tolti > 0) caret -= tolti;
        return imposta(*f, std::max(0, caret));
    }

    // 5. A digit.
    if (tasto >= '0' && tasto <= '9') {
        if (n == 0 || len == n) return imposta(FormatoNumero(tasto - '0', FormatoPrimaCifra, loc), 1);
        if (len > 0 && t.mid(start, len).contains(punto)) return rifiuta();
        const QString nuovo = t.left(start) + QChar(tasto) + t.mid(start + len);
        const auto f = FormatoTesto(nuovo, FormatoUscita, loc);
        if (!f) return r;
        int caret = start + 1;
        const qsizetype p = nuovo.indexOf(punto);
        if (p < 0 || caret <= p) {
            const int d = contaSeparatori(*f, virgola) - contaSeparatori(nuovo, virgola);
            caret += d > 0 ? 1 : d < 0 ? -1 : 0;
        }
        return imposta(*f, caret);
    }

    // 6. Minus, only as the first character: the box inserts it.
    if (tasto == '-') {
        if (t.startsWith(QLatin1Char('-')) || start != 0) return rifiuta();
        r.tasto = tasto;
        r.stato = {QStringLiteral("-") + t.mid(len), 1, 0};
        return r;
    }

    // 7. Anything else.
    return rifiuta();
}

QString TestoUscitaCampoNumerico(const QString& testo, const ImpostazioniLocali& loc)
{
    return FormatoNumero(ConvertiDouble(TestoTrim(testo), loc), FormatoUscita, loc);
}

}  // namespace cartigo::modCartigo
