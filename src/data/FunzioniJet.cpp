#include "data/FunzioniJet.h"

#include "data/ValoriJet.h"
#include "label/Locale.h"
#include "shell/StringTable.h"

#include <sqlite3.h>
#include <QDateTime>
#include <QLocale>
#include <QRegularExpression>
#include <cmath>
#include <optional>
#include <vector>

namespace cartigo {

using namespace modCartigo;

namespace {

// --- text comparison ---

QString chiavePrimaria(const QString& s)
{
    QString d = s.normalized(QString::NormalizationForm_D);
    QString out;
    out.reserve(d.size());
    for (QChar c : d) {
        if (c.category() == QChar::Mark_NonSpacing) continue;
        out.append(c);
    }
    return out.toCaseFolded();
}

int collazione(void*, int la, const void* a, int lb, const void* b)
{
    const auto* pa = static_cast<const unsigned char*>(a);
    const auto* pb = static_cast<const unsigned char*>(b);
    // Plain ASCII: case-insensitive byte order.
    bool ascii = true;
    const int n = std::min(la, lb);
    for (int i = 0; i < n; ++i) {
        unsigned char x = pa[i], y = pb[i];
        if (x >= 0x80 || y >= 0x80) {
            ascii = false;
            break;
        }
        if (x >= 'A' && x <= 'Z') x = x - 'A' + 'a';
        if (y >= 'A' && y <= 'Z') y = y - 'A' + 'a';
        if (x != y) return x < y ? -1 : 1;
    }
    if (ascii) {
        for (int i = n; i < la; ++i)
            if (pa[i] >= 0x80) ascii = false;
        for (int i = n; i < lb; ++i)
            if (pb[i] >= 0x80) ascii = false;
        if (ascii) return la == lb ? 0 : (la < lb ? -1 : 1);
    }
    return ConfrontaTestoJet(QString::fromUtf8(reinterpret_cast<const char*>(pa), la),
                             QString::fromUtf8(reinterpret_cast<const char*>(pb), lb));
}

// --- values ---

QString testo(sqlite3_value* v)
{
    const auto* t = sqlite3_value_text(v);
    return t ? QString::fromUtf8(reinterpret_cast<const char*>(t), sqlite3_value_bytes(v)) : QString();
}

bool nullo(sqlite3_value* v)
{
    return sqlite3_value_type(v) == SQLITE_NULL;
}

std::optional<double> numero(sqlite3_value* v)
{
    switch (sqlite3_value_type(v)) {
        case SQLITE_INTEGER:
            return double(sqlite3_value_int64(v));
        case SQLITE_FLOAT:
            return sqlite3_value_double(v);
        case SQLITE_TEXT: {
            bool ok = false;
            const QString s = testo(v).trimmed();
            double d = s.toDouble(&ok);
            if (ok) return d;
            d = QString(s).replace(ImpostazioniLocali::correnti().decimale, QLatin1Char('.')).toDouble(&ok);
            if (ok) return d;
            return std::nullopt;
        }
        default:
            return std::nullopt;
    }
}

std::optional<QDateTime> data(sqlite3_value* v)
{
    switch (sqlite3_value_type(v)) {
        case SQLITE_INTEGER:
        case SQLITE_FLOAT:
            return DaSeriale(sqlite3_value_double(v));
        case SQLITE_TEXT: {
            const QString s = testo(v);
            if (auto d = DaIso(s)) return d;
            return LeggiDataJet(s);
        }
        default:
            return std::nullopt;
    }
}

bool sembraData(sqlite3_value* v)
{
    return sqlite3_value_type(v) == SQLITE_TEXT && DaIso(testo(v)).has_value();
}

void risultato(sqlite3_context* c, const QString& s)
{
    const QByteArray u = s.toUtf8();
    sqlite3_result_text(c, u.constData(), int(u.size()), SQLITE_TRANSIENT);
}

void risultatoData(sqlite3_context* c, const QDateTime& d)
{
    risultato(c, DataIso(d));
}

void risultatoNumero(sqlite3_context* c, double d)
{
    if (std::isfinite(d) && d == std::trunc(d) && std::fabs(d) < 9e15)
        sqlite3_result_int64(c, qint64(d));
    else
        sqlite3_result_double(c, d);
}

// CStr of a value: numbers with the user's decimal separator, dates in the short form.
QString cstr(sqlite3_value* v)
{
    switch (sqlite3_value_type(v)) {
        case SQLITE_INTEGER:
            return QString::number(sqlite3_value_int64(v));
        case SQLITE_FLOAT:
            return TestoNumero(sqlite3_value_double(v), ImpostazioniLocali::correnti());
        case SQLITE_TEXT: {
            // A date (kept as "yyyy-MM-dd hh:mm:ss") becomes text in the short date form.
            const QString t = testo(v);
            if (t.size() == 19 && DaIso(t)) return NzCampo(t, TipoDao::Date, FormatoTesto::correnti());
            return t;
        }
        case SQLITE_BLOB:
            return QString::fromUtf8(static_cast<const char*>(sqlite3_value_blob(v)), sqlite3_value_bytes(v));
        default:
            return {};
    }
}

double arrotondaPari(double v)
{
    return std::nearbyint(v);
}  // default rounding mode: halves to even

void errore(sqlite3_context* c, const char* testo)
{
    sqlite3_result_error(c, testo, -1);
}

// --- functions ---

#define ARGS sqlite3_context *c, int n, sqlite3_value **a
#define UNUSED_N (void)n

void f_concat(ARGS)
{
    UNUSED_N;
    risultato(c, cstr(a[0]) + cstr(a[1]));
}

void f_add(ARGS)
{
    UNUSED_N;
    if (nullo(a[0]) || nullo(a[1])) return sqlite3_result_null(c);
    const bool t0 = sqlite3_value_type(a[0]) == SQLITE_TEXT, t1 = sqlite3_value_type(a[1]) == SQLITE_TEXT;
    if (t0 && t1 && !sembraData(a[0]) && !sembraData(a[1])) return risultato(c, testo(a[0]) + testo(a[1]));
    if (sembraData(a[0]) || sembraData(a[1])) {
        sqlite3_value* d = sembraData(a[0]) ? a[0] : a[1];
        sqlite3_value* k = d == a[0] ? a[1] : a[0];
        const auto nk = numero(k);
        if (!nk) return errore(c, "Type mismatch");
        return risultatoData(c, DaSeriale(SerialeDa(*data(d)) + *nk));
    }
    const auto x = numero(a[0]), y = numero(a[1]);
    if (!x || !y) return errore(c, "Type mismatch");
    if (sqlite3_value_type(a[0]) == SQLITE_INTEGER && sqlite3_value_type(a[1]) == SQLITE_INTEGER)
        return sqlite3_result_int64(c, sqlite3_value_int64(a[0]) + sqlite3_value_int64(a[1]));
    sqlite3_result_double(c, *x + *y);
}

void f_sub(ARGS)
{
    UNUSED_N;
    if (nullo(a[0]) || nullo(a[1])) return sqlite3_result_null(c);
    if (sembraData(a[0])) {
        if (sembraData(a[1])) return sqlite3_result_double(c, SerialeDa(*data(a[0])) - SerialeDa(*data(a[1])));
        const auto k = numero(a[1]);
        if (!k) return errore(c, "Type mismatch");
        return risultatoData(c, DaSeriale(SerialeDa(*data(a[0])) - *k));
    }
    const auto x = numero(a[0]), y = numero(a[1]);
    if (!x || !y) return errore(c, "Type mismatch");
    if (sqlite3_value_type(a[0]) == SQLITE_INTEGER && sqlite3_value_type(a[1]) == SQLITE_INTEGER)
        return sqlite3_result_int64(c, sqlite3_value_int64(a[0]) - sqlite3_value_int64(a[1]));
    sqlite3_result_double(c, *x - *y);
}

void f_div(ARGS)
{
    UNUSED_N;
    if (nullo(a[0]) || nullo(a[1])) return sqlite3_result_null(c);
    const auto x = numero(a[0]), y = numero(a[1]);
    if (!x || !y) return errore(c, "Type mismatch");
    if (*y == 0) return errore(c, "Division by zero");
    sqlite3_result_double(c, *x / *y);
}

void f_intdiv(ARGS)
{
    UNUSED_N;
    if (nullo(a[0]) || nullo(a[1])) return sqlite3_result_null(c);
    const auto x = numero(a[0]), y = numero(a[1]);
    if (!x || !y) return errore(c, "Type mismatch");
    const double b = arrotondaPari(*y);
    if (b == 0) return errore(c, "Division by zero");
    sqlite3_result_int64(c, qint64(std::trunc(arrotondaPari(*x) / b)));
}

void f_mod(ARGS)
{
    UNUSED_N;
    if (nullo(a[0]) || nullo(a[1])) return sqlite3_result_null(c);
    const auto x = numero(a[0]), y = numero(a[1]);
    if (!x || !y) return errore(c, "Type mismatch");
    const qint64 b = qint64(arrotondaPari(*y));
    if (b == 0) return errore(c, "Division by zero");
    sqlite3_result_int64(c, qint64(arrotondaPari(*x)) % b);
}

void f_pow(ARGS)
{
    UNUSED_N;
    if (nullo(a[0]) || nullo(a[1])) return sqlite3_result_null(c);
    const auto x = numero(a[0]), y = numero(a[1]);
    if (!x || !y) return errore(c, "Type mismatch");
    risultatoNumero(c, std::pow(*x, *y));
}

void f_like(ARGS)
{
    UNUSED_N;
    if (nullo(a[0]) || nullo(a[1])) return sqlite3_result_null(c);
    sqlite3_result_int(c, CorrispondeLike(cstr(a[0]), cstr(a[1])) ? 1 : 0);
}

void f_vero(ARGS)
{
    UNUSED_N;
    if (nullo(a[0])) return sqlite3_result_int(c, 0);
    const auto x = numero(a[0]);
    sqlite3_result_int(c, x && *x != 0 ? 1 : 0);
}

template <typename F>
void conNumero(sqlite3_context* c, sqlite3_value* v, F f)
{
    if (nullo(v)) return sqlite3_result_null(c);
    const auto x = numero(v);
    if (!x) {
        if (const auto d = data(v)) return f(SerialeDa(*d));
        return errore(c, "Type mismatch");
    }
    f(*x);
}

void f_cstr(ARGS)
{
    UNUSED_N;
    if (nullo(a[0])) return sqlite3_result_null(c);
    risultato(c, cstr(a[0]));
}
void f_clng(ARGS)
{
    UNUSED_N;
    conNumero(c, a[0], [&](double x) { sqlite3_result_int64(c, qint64(arrotondaPari(x))); });
}
void f_cdbl(ARGS)
{
    UNUSED_N;
    conNumero(c, a[0], [&](double x) { sqlite3_result_double(c, x); });
}
void f_csng(ARGS)
{
    UNUSED_N;
    conNumero(c, a[0], [&](double x) { sqlite3_result_double(c, double(float(x))); });
}
void f_ccur(ARGS)
{
    UNUSED_N;
    conNumero(c, a[0], [&](double x) { sqlite3_result_double(c, std::nearbyint(x * 10000.0) / 10000.0); });
}
void f_cbool(ARGS)
{
    UNUSED_N;
    conNumero(c, a[0], [&](double x) { sqlite3_result_int(c, x != 0 ? -1 : 0); });
}
void f_cdate(ARGS)
{
    UNUSED_N;
    if (nullo(a[0])) return sqlite3_result_null(c);
    const auto d = data(a[0]);
    if (!d) return errore(c, "Type mismatch");
    risultatoData(c, *d);
}
void f_int(ARGS)
{
    UNUSED_N;
    conNumero(c, a[0], [&](double x) { risultatoNumero(c, std::floor(x)); });
}
void f_fix(ARGS)
{
    UNUSED_N;
    conNumero(c, a[0], [&](double x) { risultatoNumero(c, std::trunc(x)); });
}
void f_abs(ARGS)
{
    UNUSED_N;
    conNumero(c, a[0], [&](double x) { risultatoNumero(c, std::fabs(x)); });
}
void f_sgn(ARGS)
{
    UNUSED_N;
    conNumero(c, a[0], [&](double x) { sqlite3_result_int(c, x > 0 ? 1 : (x < 0 ? -1 : 0)); });
}
void f_sqr(ARGS)
{
    UNUSED_N;
    conNumero(c, a[0], [&](double x) {
        if (x < 0) return errore(c, "Invalid procedure call or argument");
        sqlite3_result_double(c, std::sqrt(x));
    });
}
void f_round(ARGS)
{
    const int cifre = n > 1 ? sqlite3_value_int(a[1]) : 0;
    conNumero(c, a[0], [&](double x) {
        const double k = std::pow(10.0, cifre);
        risultatoNumero(c, std::nearbyint(x * k) / k);
    });
}
void f_val(ARGS)
{
    UNUSED_N;
    if (nullo(a[0])) return sqlite3_result_null(c);
    static const QRegularExpression re(QStringLiteral("^[+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)?"));
    const QString s = cstr(a[0]).remove(QLatin1Char(' '));
    const auto m = re.match(s);
    risultatoNumero(c, m.hasMatch() ? m.captured(0).toDouble() : 0.0);
}

void f_left(ARGS)
{
    UNUSED_N;
    if (nullo(a[0])) return sqlite3_result_null(c);
    risultato(c, cstr(a[0]).left(qMax(0, sqlite3_value_int(a[1]))));
}
void f_right(ARGS)
{
    UNUSED_N;
    if (nullo(a[0])) return sqlite3_result_null(c);
    risultato(c, cstr(a[0]).right(qMax(0, sqlite3_value_int(a[1]))));
}
void f_mid(ARGS)
{
    if (nullo(a[0])) return sqlite3_result_null(c);
    const int inizio = qMax(1, sqlite3_value_int(a[1]));
    const QString s = cstr(a[0]);
    risultato(c, n > 2 ? s.mid(inizio - 1, qMax(0, sqlite3_value_int(a[2]))) : s.mid(inizio - 1));
}
void f_len(ARGS)
{
    UNUSED_N;
    if (nullo(a[0])) return sqlite3_result_null(c);
    sqlite3_result_int(c, int(cstr(a[0]).size()));
}
void f_trim(ARGS)
{
    UNUSED_N;
    if (nullo(a[0])) return sqlite3_result_null(c);
    QString s = cstr(a[0]);
    while (s.startsWith(QLatin1Char(' '))) s.remove(0, 1);
    while (s.endsWith(QLatin1Char(' '))) s.chop(1);
    risultato(c, s);
}
void f_ltrim(ARGS)
{
    UNUSED_N;
    if (nullo(a[0])) return sqlite3_result_null(c);
    QString s = cstr(a[0]);
    while (s.startsWith(QLatin1Char(' '))) s.remove(0, 1);
    risultato(c, s);
}
void f_rtrim(ARGS)
{
    UNUSED_N;
    if (nullo(a[0])) return sqlite3_result_null(c);
    QString s = cstr(a[0]);
    while (s.endsWith(QLatin1Char(' '))) s.chop(1);
    risultato(c, s);
}
void f_ucase(ARGS)
{
    UNUSED_N;
    if (nullo(a[0])) return sqlite3_result_null(c);
    risultato(c, cstr(a[0]).toUpper());
}
void f_lcase(ARGS)
{
    UNUSED_N;
    if (nullo(a[0])) return sqlite3_result_null(c);
    risultato(c, cstr(a[0]).toLower());
}
void f_space(ARGS)
{
    UNUSED_N;
    risultato(c, QString(qMax(0, sqlite3_value_int(a[0])), QLatin1Char(' ')));
}
void f_instr(ARGS)
{
    // InStr([start,] string, find)
    int inizio = 1;
    int i = 0;
    if (n == 3) {
        inizio = qMax(1, sqlite3_value_int(a[0]));
        i = 1;
    }
    if (nullo(a[i]) || nullo(a[i + 1])) return sqlite3_result_null(c);
    const qsizetype k = cstr(a[i]).indexOf(cstr(a[i + 1]), inizio - 1, Qt::CaseInsensitive);
    sqlite3_result_int(c, int(k + 1));
}
void f_replace(ARGS)
{
    UNUSED_N;
    if (nullo(a[0])) return sqlite3_result_null(c);
    risultato(c, cstr(a[0]).replace(cstr(a[1]), cstr(a[2]), Qt::CaseInsensitive));
}
void f_isnull(ARGS)
{
    UNUSED_N;
    sqlite3_result_int(c, nullo(a[0]) ? -1 : 0);
}

template <typename F>
void conData(sqlite3_context* c, sqlite3_value* v, F f)
{
    if (nullo(v)) return sqlite3_result_null(c);
    const auto d = data(v);
    if (!d) return errore(c, "Type mismatch");
    f(*d);
}

void f_year(ARGS)
{
    UNUSED_N;
    conData(c, a[0], [&](const QDateTime& d) { sqlite3_result_int(c, d.date().year()); });
}
void f_month(ARGS)
{
    UNUSED_N;
    conData(c, a[0], [&](const QDateTime& d) { sqlite3_result_int(c, d.date().month()); });
}
void f_day(ARGS)
{
    UNUSED_N;
    conData(c, a[0], [&](const QDateTime& d) { sqlite3_result_int(c, d.date().day()); });
}
void f_hour(ARGS)
{
    UNUSED_N;
    conData(c, a[0], [&](const QDateTime& d) { sqlite3_result_int(c, d.time().hour()); });
}
void f_minute(ARGS)
{
    UNUSED_N;
    conData(c, a[0], [&](const QDateTime& d) { sqlite3_result_int(c, d.time().minute()); });
}
void f_second(ARGS)
{
    UNUSED_N;
    conData(c, a[0], [&](const QDateTime& d) { sqlite3_result_int(c, d.time().second()); });
}
// 1 = Sunday, as the platform counts by default.
int giornoSettimana(const QDate& d, int primo = 1)
{
    return ((d.dayOfWeek() % 7) + 1 - primo + 7) % 7 + 1;
}
void f_weekday(ARGS)
{
    const int primo = n > 1 && !nullo(a[1]) ? qMax(1, sqlite3_value_int(a[1])) : 1;
    conData(c, a[0], [&](const QDateTime& d) { sqlite3_result_int(c, giornoSettimana(d.date(), primo)); });
}
void f_datepart(ARGS)
{
    if (nullo(a[1])) return sqlite3_result_null(c);
    const QString intervallo = cstr(a[0]).toLower();
    const int primo = n > 2 && !nullo(a[2]) && sqlite3_value_int(a[2]) > 0 ? sqlite3_value_int(a[2]) : 1;
    conData(c, a[1], [&](const QDateTime& d) {
        const QDate g = d.date();
        int v = 0;
        if (intervallo == QLatin1String("yyyy"))
            v = g.year();
        else if (intervallo == QLatin1String("q"))
            v = (g.month() - 1) / 3 + 1;
        else if (intervallo == QLatin1String("m"))
            v = g.month();
        else if (intervallo == QLatin1String("y"))
            v = g.dayOfYear();
        else if (intervallo == QLatin1String("d"))
            v = g.day();
        else if (intervallo == QLatin1String("w"))
            v = giornoSettimana(g, primo);
        else if (intervallo == QLatin1String("ww")) {
            // Week 1 holds January 1st.
            const QDate inizio(g.year(), 1, 1);
            v = (inizio.daysTo(g) + giornoSettimana(inizio, primo) - 1) / 7 + 1;
        } else if (intervallo == QLatin1String("h"))
            v = d.time().hour();
        else if (intervallo == QLatin1String("n"))
            v = d.time().minute();
        else if (intervallo == QLatin1String("s"))
            v = d.time().second();
        else
            return errore(c, "Invalid procedure call or argument");
        sqlite3_result_int(c, v);
    });
}
void f_dateserial(ARGS)
{
    UNUSED_N;
    if (nullo(a[0]) || nullo(a[1]) || nullo(a[2])) return sqlite3_result_null(c);
    QDate d(sqlite3_value_int(a[0]), 1, 1);
    int anno = sqlite3_value_int(a[0]);
    if (anno >= 0 && anno < 100) anno += anno < 30 ? 2000 : 1900;
    d = QDate(anno, 1, 1).addMonths(sqlite3_value_int(a[1]) - 1).addDays(sqlite3_value_int(a[2]) - 1);
    risultatoData(c, QDateTime(d, QTime(0, 0), Qt::UTC));
}
void f_dateadd(ARGS)
{
    UNUSED_N;
    const QString intervallo = cstr(a[0]).toLower();
    const int k = sqlite3_value_int(a[1]);
    conData(c, a[2], [&](const QDateTime& d) {
        QDateTime r = d;
        if (intervallo == QLatin1String("yyyy"))
            r = d.addYears(k);
        else if (intervallo == QLatin1String("q"))
            r = d.addMonths(3 * k);
        else if (intervallo == QLatin1String("m"))
            r = d.addMonths(k);
        else if (intervallo == QLatin1String("d") || intervallo == QLatin1String("y") ||
                 intervallo == QLatin1String("w"))
            r = d.addDays(k);
        else if (intervallo == QLatin1String("ww"))
            r = d.addDays(7 * k);
        else if (intervallo == QLatin1String("h"))
            r = d.addSecs(3600LL * k);
        else if (intervallo == QLatin1String("n"))
            r = d.addSecs(60LL * k);
        else if (intervallo == QLatin1String("s"))
            r = d.addSecs(k);
        else
            return errore(c, "Invalid procedure call or argument");
        risultatoData(c, r);
    });
}
void f_datediff(ARGS)
{
    UNUSED_N;
    if (nullo(a[1]) || nullo(a[2])) return sqlite3_result_null(c);
    const QString intervallo = cstr(a[0]).toLower();
    const auto d1 = data(a[1]), d2 = data(a[2]);
    if (!d1 || !d2) return errore(c, "Type mismatch");
    qint64 v = 0;
    if (intervallo == QLatin1String("yyyy"))
        v = d2->date().year() - d1->date().year();
    else if (intervallo == QLatin1String("q"))
        v = (d2->date().year() * 4 + (d2->date().month() - 1) / 3) -
            (d1->date().year() * 4 + (d1->date().month() - 1) / 3);
    else if (intervallo == QLatin1String("m"))
        v = (d2->date().year() * 12 + d2->date().month()) - (d1->date().year() * 12 + d1->date().month());
    else if (intervallo == QLatin1String("d") || intervallo == QLatin1String("y"))
        v = d1->date().daysTo(d2->date());
    else if (intervallo == QLatin1String("ww") || intervallo == QLatin1String("w"))
        v = d1->date().daysTo(d2->date()) / 7;
    else if (intervallo == QLatin1String("h"))
        v = d1->secsTo(*d2) / 3600;
    else if (intervallo == QLatin1String("n"))
        v = d1->secsTo(*d2) / 60;
    else if (intervallo == QLatin1String("s"))
        v = d1->secsTo(*d2);
    else
        return errore(c, "Invalid procedure call or argument");
    sqlite3_result_int64(c, v);
}
void f_date(ARGS)
{
    (void)a;
    UNUSED_N;
    risultatoData(c, QDateTime(QDate::currentDate(), QTime(0, 0), Qt::UTC));
}
void f_now(ARGS)
{
    (void)a;
    UNUSED_N;
    const QDateTime ora = QDateTime::currentDateTime();
    risultatoData(c,
                  QDateTime(ora.date(), QTime(ora.time().hour(), ora.time().minute(), ora.time().second()), Qt::UTC));
}
void f_datevalue(ARGS)
{
    UNUSED_N;
    conData(c, a[0], [&](const QDateTime& d) { risultatoData(c, QDateTime(d.date(), QTime(0, 0), Qt::UTC)); });
}
void f_format(ARGS)
{
    if (nullo(a[0])) return sqlite3_result_null(c);
    const QString formato = n > 1 && !nullo(a[1]) ? cstr(a[1]) : QString();
    const auto x = sqlite3_value_type(a[0]) == SQLITE_TEXT ? std::optional<double>() : numero(a[0]);
    risultato(c, FormatoJet(cstr(a[0]), x.value_or(0), x.has_value(), formato));
}

// --- aggregates: First, Last, StDev, Var ---

struct StatoPrimo {
    bool preso;
    sqlite3_value* v;
};

void primo_passo(ARGS)
{
    UNUSED_N;
    auto* s = static_cast<StatoPrimo*>(sqlite3_aggregate_context(c, sizeof(StatoPrimo)));
    if (s && !s->preso) {
        s->preso = true;
        s->v = sqlite3_value_dup(a[0]);
    }
}
void ultimo_passo(ARGS)
{
    UNUSED_N;
    auto* s = static_cast<StatoPrimo*>(sqlite3_aggregate_context(c, sizeof(StatoPrimo)));
    if (s) {
        sqlite3_value_free(s->v);
        s->preso = true;
        s->v = sqlite3_value_dup(a[0]);
    }
}
void primo_fine(sqlite3_context* c)
{
    auto* s = static_cast<StatoPrimo*>(sqlite3_aggregate_context(c, 0));
    if (s && s->v) {
        sqlite3_result_value(c, s->v);
        sqlite3_value_free(s->v);
        s->v = nullptr;
    } else {
        sqlite3_result_null(c);
    }
}

struct StatoVarianza {
    qint64 n;
    double media;
    double m2;
};
void varianza_passo(ARGS)
{
    UNUSED_N;
    if (nullo(a[0])) return;
    auto* s = static_cast<StatoVarianza*>(sqlite3_aggregate_context(c, sizeof(StatoVarianza)));
    const auto x = numero(a[0]);
    if (!s || !x) return;
    ++s->n;
    const double delta = *x - s->media;
    s->media += delta / double(s->n);
    s->m2 += delta * (*x - s->media);
}
template <bool Campione, bool Radice>
void varianza_fine(sqlite3_context* c)
{
    auto* s = static_cast<StatoVarianza*>(sqlite3_aggregate_context(c, 0));
    const qint64 den = s ? (Campione ? s->n - 1 : s->n) : 0;
    if (!s || den <= 0) return sqlite3_result_null(c);
    const double v = s->m2 / double(den);
    sqlite3_result_double(c, Radice ? std::sqrt(v) : v);
}

#undef ARGS
#undef UNUSED_N

// --- Format ---

QLocale localeNomi()
{
    return LinguaCorrente() == Lingua::Italiano ? QLocale(QLocale::Italian) : QLocale(QLocale::English);
}

QString formatoData(const QDateTime& d, QString f)
{
    const QString basso = f.toLower();
    const FormatoTesto ft = FormatoTesto::correnti();
    if (basso == QLatin1String("short date")) return QLocale::c().toString(d.date(), ft.dataBreve);
    if (basso == QLatin1String("general date") || f.isEmpty()) return NzCampo(DataIso(d), TipoDao::Date, ft);
    if (basso == QLatin1String("long date"))
        f = QStringLiteral("dddd d mmmm yyyy");
    else if (basso == QLatin1String("medium date"))
        f = QStringLiteral("dd-mmm-yy");
    else if (basso == QLatin1String("long time"))
        f = QStringLiteral("hh:nn:ss");
    else if (basso == QLatin1String("medium time"))
        f = QStringLiteral("hh:nn AM/PM");
    else if (basso == QLatin1String("short time"))
        f = QStringLiteral("hh:nn");

    const QLocale nomi = localeNomi();
    const QDate g = d.date();
    const QTime t = d.time();
    const bool ampm = f.contains(QLatin1String("AM/PM"), Qt::CaseInsensitive);
    QString out;
    int i = 0;
    auto conta = [&](QChar ch) {
        int k = i;
        while (k < f.size() && f.at(k).toLower() == ch) ++k;
        return k - i;
    };
    bool ultimoOra = false;
    while (i < f.size()) {
        const QChar ch = f.at(i);
        const QChar lc = ch.toLower();
        if (ch == QLatin1Char('"')) {
            const int fine = int(f.indexOf(QLatin1Char('"'), i + 1));
            out += f.mid(i + 1, fine < 0 ? -1 : fine - i - 1);
            i = fine < 0 ? int(f.size()) : fine + 1;
            continue;
        }
        if (ch == QLatin1Char('\\') && i + 1 < f.size()) {
            out += f.at(i + 1);
            i += 2;
            continue;
        }
        if (f.mid(i, 5).compare(QLatin1String("AM/PM"), Qt::CaseInsensitive) == 0) {
            out += t.hour() < 12 ? QStringLiteral("AM") : QStringLiteral("PM");
            i += 5;
            continue;
        }
        const int k = conta(lc);
        if (lc == QLatin1Char('y')) {
            if (k >= 3)
                out += QString::number(g.year()).rightJustified(4, QLatin1Char('0'));
            else if (k == 2)
                out += QString::number(g.year() % 100).rightJustified(2, QLatin1Char('0'));
            else
                out += QString::number(g.dayOfYear());
            i += k;
        } else if (lc == QLatin1Char('q')) {
            out += QString::number((g.month() - 1) / 3 + 1);
            i += k;
        } else if (lc == QLatin1Char('m')) {
            // "mm" right after an hour is minutes.
            if (ultimoOra && k <= 2)
                out += QString::number(t.minute()).rightJustified(k, QLatin1Char('0'));
            else if (k >= 4)
                out += nomi.monthName(g.month(), QLocale::LongFormat);
            else if (k == 3)
                out += nomi.monthName(g.month(), QLocale::ShortFormat);
            else
                out += QString::number(g.month()).rightJustified(k, QLatin1Char('0'));
            i += k;
        } else if (lc == QLatin1Char('d')) {
            if (k >= 4)
                out += nomi.dayName(g.dayOfWeek(), QLocale::LongFormat);
            else if (k == 3)
                out += nomi.dayName(g.dayOfWeek(), QLocale::ShortFormat);
            else
                out += QString::number(g.day()).rightJustified(k, QLatin1Char('0'));
            i += k;
        } else if (lc == QLatin1Char('w')) {
            if (k >= 2) {
                const QDate inizio(g.year(), 1, 1);
                out += QString::number((inizio.daysTo(g) + giornoSettimana(inizio) - 1) / 7 + 1);
            } else {
                out += QString::number(giornoSettimana(g));
            }
            i += k;
        } else if (lc == QLatin1Char('h')) {
            int h = t.hour();
            if (ampm) {
                h %= 12;
                if (h == 0) h = 12;
            }
            out += QString::number(h).rightJustified(qMin(k, 2), QLatin1Char('0'));
            i += k;
            ultimoOra = true;
            continue;
        } else if (lc == QLatin1Char('n')) {
            out += QString::number(t.minute()).rightJustified(qMin(k, 2), QLatin1Char('0'));
            i += k;
        } else if (lc == QLatin1Char('s')) {
            out += QString::number(t.second()).rightJustified(qMin(k, 2), QLatin1Char('0'));
            i += k;
        } else {
            out += ch;
            ++i;
            if (ch != QLatin1Char(':')) ultimoOra = false;
            continue;
        }
        ultimoOra = false;
    }
    return out;
}

QString formatoNumero(double v, QString f)
{
    const ImpostazioniLocali loc = ImpostazioniLocali::correnti();
    const QString basso = f.toLower();
    if (basso.isEmpty() || basso == QLatin1String("general number")) return TestoNumero(v, loc);
    if (basso == QLatin1String("currency"))
        f = QStringLiteral("#,##0.00");
    else if (basso == QLatin1String("fixed"))
        f = QStringLiteral("0.00");
    else if (basso == QLatin1String("standard"))
        f = QStringLiteral("#,##0.00");
    else if (basso == QLatin1String("percent"))
        f = QStringLiteral("0.00%");
    else if (basso == QLatin1String("yes/no"))
        return v != 0 ? QStringLiteral("Yes") : QStringLiteral("No");
    else if (basso == QLatin1String("true/false"))
        return v != 0 ? QStringLiteral("True") : QStringLiteral("False");
    else if (basso == QLatin1String("on/off"))
        return v != 0 ? QStringLiteral("On") : QStringLiteral("Off");

    // Sections: positive;negative;zero.
    const QStringList sezioni = f.split(QLatin1Char(';'));
    QString sezione = sezioni.value(0);
    bool segnoGestito = false;
    if (v < 0 && sezioni.size() > 1 && !sezioni.at(1).isEmpty()) {
        sezione = sezioni.at(1);
        v = -v;
        segnoGestito = true;
    } else if (v == 0 && sezioni.size() > 2 && !sezioni.at(2).isEmpty()) {
        sezione = sezioni.at(2);
    }
    // The digit pattern is the run of 0 # , . ; the rest is literal text.
    int inizio = -1, fine = -1;
    for (int i = 0; i < sezione.size(); ++i) {
        const QChar c = sezione.at(i);
        if (c == QLatin1Char('0') || c == QLatin1Char('#') ||
            ((c == QLatin1Char(',') || c == QLatin1Char('.')) && inizio >= 0)) {
            if (inizio < 0) inizio = i;
            fine = i + 1;
        } else if (inizio >= 0 && fine > inizio) {
            break;
        }
    }
    auto letterali = [](const QString& s) {
        QString r = s;
        r.remove(QLatin1Char('"'));
        r.remove(QLatin1Char('\\'));
        return r;
    };
    if (inizio < 0) return letterali(sezione);
    const QString modello = sezione.mid(inizio, fine - inizio);
    const QString prima = letterali(sezione.left(inizio));
    const QString dopo = letterali(sezione.mid(fine));
    if (sezione.contains(QLatin1Char('%'))) v *= 100;
    const int punto = int(modello.indexOf(QLatin1Char('.')));
    const QString intera = punto < 0 ? modello : modello.left(punto);
    const QString decimale = punto < 0 ? QString() : modello.mid(punto + 1);
    const bool migliaia = intera.contains(QLatin1Char(','));
    const int minimeIntere = int(intera.count(QLatin1Char('0')));
    const int decimaliFissi = int(decimale.count(QLatin1Char('0')));
    const int decimaliMax = int(decimale.count(QLatin1Char('0')) + decimale.count(QLatin1Char('#')));

    const bool negativo = v < 0 && !segnoGestito;
    QString s = QString::number(std::fabs(v), 'f', decimaliMax);
    QString pi = s.section(QLatin1Char('.'), 0, 0);
    QString pd = s.contains(QLatin1Char('.')) ? s.section(QLatin1Char('.'), 1) : QString();
    while (pd.size() > decimaliFissi && pd.endsWith(QLatin1Char('0'))) pd.chop(1);
    if (pi == QLatin1String("0") && minimeIntere == 0) pi.clear();
    pi = pi.rightJustified(minimeIntere, QLatin1Char('0'));
    if (migliaia && !loc.migliaia.isNull()) {
        for (int k = int(pi.size()) - 3; k > 0; k -= 3) pi.insert(k, loc.migliaia);
    }
    QString numero = pi;
    if (!pd.isEmpty())
        numero += loc.decimale + pd;
    else if (punto >= 0 && decimaliFissi > 0)
        numero += loc.decimale;
    return (negativo ? QStringLiteral("-") : QString()) + prima + numero + dopo;
}

}  // namespace

int ConfrontaTestoJet(const QString& a, const QString& b)
{
    const int primaria = chiavePrimaria(a).compare(chiavePrimaria(b));
    if (primaria != 0) return primaria;
    return a.toCaseFolded().compare(b.toCaseFolded());
}

bool CorrispondeLike(const QString& testo, const QString& modello)
{
    const QString s = testo.toCaseFolded();
    const QString p = modello.toCaseFolded();
    // Iterative matching with backtracking on the last '*'.
    int i = 0, j = 0, stella = -1, ritorno = 0;
    auto classe = [&](int& k, QChar c, bool& ok) {
        // p[k] == '[': returns whether c matches, advances k past ']'.
        int fine = int(p.indexOf(QLatin1Char(']'), k + 1));
        if (fine < 0) {
            ok = false;
            return false;
        }
        QString dentro = p.mid(k + 1, fine - k - 1);
        k = fine + 1;
        ok = true;
        bool nega = false;
        if (dentro.startsWith(QLatin1Char('!'))) {
            nega = true;
            dentro.remove(0, 1);
        }
        bool trovato = false;
        for (int q = 0; q < dentro.size(); ++q) {
            if (q + 2 < dentro.size() && dentro.at(q + 1) == QLatin1Char('-')) {
                if (c >= dentro.at(q) && c <= dentro.at(q + 2)) trovato = true;
                q += 2;
            } else if (dentro.at(q) == c) {
                trovato = true;
            }
        }
        return trovato != nega;
    };
    while (i < s.size()) {
        if (j < p.size()) {
            const QChar pc = p.at(j);
            if (pc == QLatin1Char('*')) {
                stella = j++;
                ritorno = i;
                continue;
            }
            if (pc == QLatin1Char('?') || (pc == QLatin1Char('#') && s.at(i).isDigit())) {
                ++i;
                ++j;
                continue;
            }
            if (pc == QLatin1Char('[')) {
                int k = j;
                bool ok = false;
                if (classe(k, s.at(i), ok) && ok) {
                    ++i;
                    j = k;
                    continue;
                }
            } else if (pc != QLatin1Char('#') && pc == s.at(i)) {
                ++i;
                ++j;
                continue;
            }
        }
        if (stella >= 0) {
            j = stella + 1;
            i = ++ritorno;
            continue;
        }
        return false;
    }
    while (j < p.size() && p.at(j) == QLatin1Char('*')) ++j;
    return j == p.size();
}

QString FormatoJet(const QString& valoreTesto, double valoreNumero, bool numerico, const QString& formato)
{
    if (!numerico) {
        if (const auto d = DaIso(valoreTesto)) return formatoData(*d, formato);
        bool ok = false;
        const double x = valoreTesto.toDouble(&ok);
        if (ok) return formatoNumero(x, formato);
        if (const auto d = LeggiDataJet(valoreTesto); d && !formato.isEmpty()) return formatoData(*d, formato);
        // Text formats (@, <, >) are not interpreted: the text stays as it is.
        if (formato == QLatin1String(">")) return valoreTesto.toUpper();
        if (formato == QLatin1String("<")) return valoreTesto.toLower();
        return valoreTesto;
    }
    return formatoNumero(valoreNumero, formato);
}

void RegistraFunzioniJet(sqlite3* db)
{
    sqlite3_create_collation(db, "JETTEXT", SQLITE_UTF8, nullptr, collazione);
    struct Voce {
        const char* nome;
        int argomenti;
        void (*f)(sqlite3_context*, int, sqlite3_value**);
        bool deterministica = true;
    };
    const Voce voci[] = {
        {"jet_concat", 2, f_concat},
        {"jet_add", 2, f_add},
        {"jet_sub", 2, f_sub},
        {"jet_div", 2, f_div},
        {"jet_intdiv", 2, f_intdiv},
        {"jet_mod", 2, f_mod},
        {"jet_pow", 2, f_pow},
        {"jet_like", 2, f_like},
        {"jet_vero", 1, f_vero},
        {"jet_cstr", 1, f_cstr},
        {"jet_clng", 1, f_clng},
        {"jet_cint", 1, f_clng},
        {"jet_cbyte", 1, f_clng},
        {"jet_cdbl", 1, f_cdbl},
        {"jet_csng", 1, f_csng},
        {"jet_ccur", 1, f_ccur},
        {"jet_cbool", 1, f_cbool},
        {"jet_cdate", 1, f_cdate},
        {"jet_datevalue", 1, f_datevalue},
        {"jet_cvar", 1, f_cstr},
        {"jet_str", 1, f_cstr},
        {"jet_left", 2, f_left},
        {"jet_right", 2, f_right},
        {"jet_mid", 2, f_mid},
        {"jet_mid", 3, f_mid},
        {"jet_len", 1, f_len},
        {"jet_trim", 1, f_trim},
        {"jet_ltrim", 1, f_ltrim},
        {"jet_rtrim", 1, f_rtrim},
        {"jet_ucase", 1, f_ucase},
        {"jet_lcase", 1, f_lcase},
        {"jet_space", 1, f_space},
        {"jet_instr", 2, f_instr},
        {"jet_instr", 3, f_instr},
        {"jet_replace", 3, f_replace},
        {"jet_isnull", 1, f_isnull},
        {"jet_val", 1, f_val},
        {"jet_int", 1, f_int},
        {"jet_fix", 1, f_fix},
        {"jet_abs", 1, f_abs},
        {"jet_sgn", 1, f_sgn},
        {"jet_sqr", 1, f_sqr},
        {"jet_round", 1, f_round},
        {"jet_round", 2, f_round},
        {"jet_year", 1, f_year},
        {"jet_month", 1, f_month},
        {"jet_day", 1, f_day},
        {"jet_hour", 1, f_hour},
        {"jet_minute", 1, f_minute},
        {"jet_second", 1, f_second},
        {"jet_weekday", 1, f_weekday},
        {"jet_weekday", 2, f_weekday},
        {"jet_datepart", 2, f_datepart},
        {"jet_datepart", 3, f_datepart},
        {"jet_datepart", 4, f_datepart},
        {"jet_dateserial", 3, f_dateserial},
        {"jet_dateadd", 3, f_dateadd},
        {"jet_datediff", 3, f_datediff},
        {"jet_datediff", 4, f_datediff},
        {"jet_datediff", 5, f_datediff},
        {"jet_date", 0, f_date, false},
        {"jet_now", 0, f_now, false},
        {"jet_format", 1, f_format},
        {"jet_format", 2, f_format},
        {"jet_format", 3, f_format},
        {"jet_format", 4, f_format},
    };
    for (const Voce& v : voci)
        sqlite3_create_function(db, v.nome, v.argomenti, SQLITE_UTF8 | (v.deterministica ? SQLITE_DETERMINISTIC : 0),
                                nullptr, v.f, nullptr, nullptr);
    sqlite3_create_function(db, "jet_first", 1, SQLITE_UTF8, nullptr, nullptr, primo_passo, primo_fine);
    sqlite3_create_function(db, "jet_last", 1, SQLITE_UTF8, nullptr, nullptr, ultimo_passo, primo_fine);
    sqlite3_create_function(db, "jet_stdev", 1, SQLITE_UTF8, nullptr, nullptr, varianza_passo,
                            varianza_fine<true, true>);
    sqlite3_create_function(db, "jet_stdevp", 1, SQLITE_UTF8, nullptr, nullptr, varianza_passo,
                            varianza_fine<false, true>);
    sqlite3_create_function(db, "jet_var", 1, SQLITE_UTF8, nullptr, nullptr, varianza_passo,
                            varianza_fine<true, false>);
    sqlite3_create_function(db, "jet_varp", 1, SQLITE_UTF8, nullptr, nullptr, varianza_passo,
                            varianza_fine<false, false>);
}

}  // namespace cartigo
