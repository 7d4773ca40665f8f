#include "data/ValoriJet.h"

#include "label/Conversioni.h"
#include "shell/StringTable.h"

#include <QLocale>
#include <QRegularExpression>
#include <cmath>

namespace cartigo {

ErroreCartigo ErroreDatabase(int numero, const QString& descrizione)
{
    return {numero, descrizione};
}

namespace modCartigo {

namespace {
const QDate kEpoca(1899, 12, 30);
}

QString DataIso(const QDateTime& d)
{
    return d.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

std::optional<QDateTime> DaIso(const QString& testo)
{
    static const QRegularExpression re(
        QStringLiteral("^\\s*(-?\\d{1,4})-(\\d{1,2})-(\\d{1,2})(?:[ T](\\d{1,2}):(\\d{2})(?::(\\d{2}))?)?\\s*$"));
    const auto m = re.match(testo);
    if (!m.hasMatch()) return std::nullopt;
    const QDate d(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    const QTime t(m.captured(4).toInt(), m.captured(5).toInt(), m.captured(6).toInt());
    if (!d.isValid() || !t.isValid()) return std::nullopt;
    return QDateTime(d, t, Qt::UTC);
}

double SerialeDa(const QDateTime& d)
{
    const double giorni = double(kEpoca.daysTo(d.date()));
    const double frazione = d.time().msecsSinceStartOfDay() / 86400000.0;
    return giorni >= 0 ? giorni + frazione : giorni - frazione;
}

QDateTime DaSeriale(double seriale)
{
    const double giorni = std::trunc(seriale);
    qint64 ms = std::llround(std::fabs(seriale - giorni) * 86400000.0);
    ms = (ms + 500) / 1000 * 1000;
    QDate d = kEpoca.addDays(qint64(giorni));
    if (ms >= 86400000) {
        ms -= 86400000;
        d = d.addDays(1);
    }
    return QDateTime(d, QTime::fromMSecsSinceStartOfDay(int(ms)), Qt::UTC);
}

std::optional<QDateTime> LeggiDataJet(const QString& testoOriginale)
{
    QString testo = testoOriginale.trimmed();
    if (testo.startsWith(QLatin1Char('#')) && testo.endsWith(QLatin1Char('#')) && testo.size() >= 2)
        testo = testo.mid(1, testo.size() - 2).trimmed();
    if (testo.isEmpty()) return std::nullopt;

    // The time part, when there is one.
    static const QRegularExpression reOra(
        QStringLiteral("(?:^|\\s+)(\\d{1,2}):(\\d{1,2})(?::(\\d{1,2}))?\\s*(AM|PM|A|P)?\\s*$"),
        QRegularExpression::CaseInsensitiveOption);
    QTime ora(0, 0);
    const auto mo = reOra.match(testo);
    if (mo.hasMatch()) {
        int h = mo.captured(1).toInt();
        const QString ap = mo.captured(4).toUpper();
        if (!ap.isEmpty()) {
            if (h < 1 || h > 12) return std::nullopt;
            if (ap.startsWith(QLatin1Char('P')) && h != 12) h += 12;
            if (ap.startsWith(QLatin1Char('A')) && h == 12) h = 0;
        }
        ora = QTime(h, mo.captured(2).toInt(), mo.captured(3).toInt());
        if (!ora.isValid()) return std::nullopt;
        testo = testo.left(mo.capturedStart()).trimmed();
        if (testo.isEmpty()) return QDateTime(kEpoca, ora, Qt::UTC);
    }

    static const QRegularExpression reIso(QStringLiteral("^(\\d{3,4})[-/.](\\d{1,2})[-/.](\\d{1,2})$"));
    static const QRegularExpression reUsa(QStringLiteral("^(\\d{1,2})[-/.](\\d{1,2})(?:[-/.](\\d{1,4}))?$"));
    QDate data;
    if (const auto m = reIso.match(testo); m.hasMatch()) {
        data = QDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    } else if (const auto u = reUsa.match(testo); u.hasMatch()) {
        int a = u.captured(1).toInt(), b = u.captured(2).toInt();
        int anno = u.captured(3).isEmpty() ? QDate::currentDate().year() : u.captured(3).toInt();
        if (u.captured(3).size() > 0 && u.captured(3).size() <= 2) anno += anno < 30 ? 2000 : 1900;
        int mese = a, giorno = b;
        if (mese > 12 && giorno <= 12) std::swap(mese, giorno);
        data = QDate(anno, mese, giorno);
    } else {
        return std::nullopt;
    }
    if (!data.isValid()) return std::nullopt;
    return QDateTime(data, ora, Qt::UTC);
}

int ClasseTipo(int t)
{
    switch (t) {
        case TipoDao::Boolean:
        case TipoDao::Byte:
        case TipoDao::Integer:
        case TipoDao::Long:
        case TipoDao::Currency:
        case TipoDao::Single:
        case TipoDao::Double:
        case TipoDao::LongBinary:
        case TipoDao::BigInt:
        case TipoDao::Numeric:
        case TipoDao::Decimal:
        case TipoDao::Float:
            return 0;
        case TipoDao::Text:
        case TipoDao::Memo:
        case TipoDao::VarBinary:
        case TipoDao::Char:
            return 1;
        case TipoDao::Date:
        case TipoDao::Time:
        case TipoDao::TimeStamp:
            return 2;
        default:
            return 3;
    }
}

QString TipoDichiarato(int t)
{
    QString affinita;
    switch (t) {
        case TipoDao::Boolean:
        case TipoDao::Byte:
        case TipoDao::Integer:
        case TipoDao::Long:
        case TipoDao::BigInt:
            affinita = QStringLiteral("INT");
            break;
        case TipoDao::Currency:
        case TipoDao::Single:
        case TipoDao::Double:
        case TipoDao::Numeric:
        case TipoDao::Decimal:
        case TipoDao::Float:
            affinita = QStringLiteral("REAL");
            break;
        case TipoDao::Binary:
        case TipoDao::LongBinary:
        case TipoDao::VarBinary:
            affinita = QStringLiteral("BLOB");
            break;
        case TipoDao::Date:
        case TipoDao::Time:
        case TipoDao::TimeStamp:
            affinita = QStringLiteral("DATE");  // no affinity: ISO text stays text
            break;
        default:
            affinita = QStringLiteral("TEXT");
    }
    return QStringLiteral("J%1_%2").arg(t).arg(affinita);
}

int TipoDaDichiarato(const QString& d)
{
    if (!d.startsWith(QLatin1Char('J'))) return 0;
    const int fine = d.indexOf(QLatin1Char('_'));
    bool ok = false;
    const int t = d.mid(1, fine - 1).toInt(&ok);
    return ok ? t : 0;
}

FormatoTesto FormatoTesto::italiano()
{
    FormatoTesto f;
    f.numeri = ImpostazioniLocali::italiano();
    return f;
}

FormatoTesto FormatoTesto::inglese()
{
    FormatoTesto f;
    f.numeri = ImpostazioniLocali::inglese();
    f.dataBreve = QStringLiteral("M/d/yyyy");
    f.ora = QStringLiteral("h:mm:ss AP");
    f.vero = QStringLiteral("True");
    f.falso = QStringLiteral("False");
    return f;
}

FormatoTesto FormatoTesto::correnti()
{
    FormatoTesto f = LinguaCorrente() == Lingua::Italiano ? italiano() : inglese();
    f.numeri = ImpostazioniLocali::correnti();
    const QLocale sistema = QLocale::system();
    if (sistema.language() != QLocale::C) {
        QString breve = sistema.dateFormat(QLocale::ShortFormat);
        // The short date shows the whole year, as the platform's short date does.
        if (!breve.contains(QLatin1String("yyyy"))) breve.replace(QLatin1String("yy"), QLatin1String("yyyy"));
        f.dataBreve = breve;
        f.ora = sistema.timeFormat(QLocale::LongFormat).remove(QRegularExpression(QStringLiteral("\\s*t+\\s*")));
    }
    return f;
}

QString TestoNumero(double v, const ImpostazioniLocali& loc, int cifre)
{
    if (!std::isfinite(v)) return QString::number(v);
    QString s = QString::number(v, 'g', cifre);
    // The platform writes plain digits up to 15 integer digits.
    if (s.contains(QLatin1Char('e')) && std::fabs(v) >= 1 && std::fabs(v) < 1e15) s = QString::number(v, 'f', 0);
    if (s == QLatin1String("-0")) s = QStringLiteral("0");
    s.replace(QLatin1Char('.'), loc.decimale);
    if (s.contains(QLatin1Char('e'))) {
        // 1.5e-07 -> 1.5E-07, as the platform writes small numbers.
        s.replace(QLatin1Char('e'), QLatin1Char('E'));
    }
    return s;
}

double LeggiNumero(const QString& testo, const ImpostazioniLocali& loc)
{
    QString s = testo;
    const qsizetype decimali = s.indexOf(loc.decimale);
    const bool gruppi = !loc.migliaia.isNull() && loc.migliaia != loc.decimale;
    if (decimali >= 0 && gruppi) {
        s = s.left(decimali).remove(loc.migliaia) + s.mid(decimali);
    } else if (gruppi && loc.migliaia != QLatin1Char('.') && s.contains(loc.migliaia)) {
        // Without the decimal separator a group separator groups only when every one of
        // them has three digits after it ("1,234,567" in English); otherwise the first
        // one is a decimal mark ("12,5" is 12.5, never 12).
        const QString g = QRegularExpression::escape(QString(loc.migliaia));
        const QRegularExpression raggruppato(QStringLiteral("^\\s*[+-]?\\d{1,3}(?:%1\\d{3})+(?!\\d)").arg(g));
        const auto m = raggruppato.match(s);
        if (m.hasMatch())
            s = m.captured(0).remove(loc.migliaia) + s.mid(m.capturedEnd(0));
        else
            s[s.indexOf(loc.migliaia)] = QLatin1Char('.');
    }
    s.replace(loc.decimale, QLatin1Char('.'));
    return ValFisso(s);
}

QString NzCampo(const QVariant& valore, int tipo, const FormatoTesto& f)
{
    if (!valore.isValid() || valore.isNull()) return {};
    switch (tipo) {
        case TipoDao::Boolean:
            return valore.toLongLong() != 0 || (valore.typeId() == QMetaType::Bool && valore.toBool()) ? f.vero
                                                                                                       : f.falso;
        case TipoDao::Currency: {
            // Currency is a fixed-point value with four decimals.
            const double v = std::round(valore.toDouble() * 10000.0) / 10000.0;
            return TestoNumero(v, f.numeri, 15);
        }
        case TipoDao::Single:
            return TestoNumero(valore.toDouble(), f.numeri, 7);
        case TipoDao::Byte:
        case TipoDao::Integer:
        case TipoDao::Long:
        case TipoDao::BigInt:
            return QString::number(valore.toLongLong());
        case TipoDao::Double:
        case TipoDao::Decimal:
        case TipoDao::Numeric:
        case TipoDao::Float:
            return TestoNumero(valore.toDouble(), f.numeri, 15);
        case TipoDao::Date:
        case TipoDao::Time:
        case TipoDao::TimeStamp: {
            QDateTime d = valore.toDateTime();
            if (valore.typeId() == QMetaType::QString) {
                const auto iso = DaIso(valore.toString());
                if (!iso) return valore.toString();
                d = *iso;
            }
            if (!d.isValid()) return {};
            // A time alone (on the base day) shows only the time.
            if (d.date() == kEpoca && d.time() != QTime(0, 0)) return QLocale::c().toString(d.time(), f.ora);
            QString s = QLocale::c().toString(d.date(), f.dataBreve);
            if (d.time() != QTime(0, 0)) s += QLatin1Char(' ') + QLocale::c().toString(d.time(), f.ora);
            return s;
        }
        default:
            break;
    }
    switch (valore.typeId()) {
        case QMetaType::Double:
            return TestoNumero(valore.toDouble(), f.numeri, 15);
        case QMetaType::Bool:
            return valore.toBool() ? f.vero : f.falso;
        case QMetaType::QByteArray:
            return QString::fromLatin1(valore.toByteArray());
        case QMetaType::QDateTime:
            return NzCampo(valore, TipoDao::Date, f);
        default:
            return valore.toString();
    }
}

}  // namespace modCartigo
}  // namespace cartigo
