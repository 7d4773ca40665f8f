#include "data/SorgenteCsv.h"

#include "data/ValoriJet.h"
#include "label/Codifica.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace cartigo {

QString DecodificaTestoCsv(const QByteArray& dati)
{
    return DecodificaTestoFile(dati);
}

QChar SeparatoreCsv(const QString& testo)
{
    int conti[3] = {};
    const QChar cand[3] = {QLatin1Char(','), QLatin1Char(';'), QLatin1Char('\t')};
    bool virgolette = false;
    for (QChar c : testo) {
        if (c == QLatin1Char('"')) virgolette = !virgolette;
        if (!virgolette && (c == QLatin1Char('\n') || c == QLatin1Char('\r'))) break;
        if (!virgolette)
            for (int k = 0; k < 3; ++k)
                if (c == cand[k]) ++conti[k];
    }
    int migliore = 0;
    for (int k = 1; k < 3; ++k)
        if (conti[k] > conti[migliore]) migliore = k;
    return cand[migliore];
}

QList<QStringList> DividiCsv(const QString& testo, QChar sep)
{
    QList<QStringList> righe;
    QStringList riga;
    QString campo;
    bool virgolette = false, inizioCampo = true, rigaIniziata = false;
    const int n = int(testo.size());
    for (int i = 0; i < n; ++i) {
        const QChar c = testo.at(i);
        if (virgolette) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < n && testo.at(i + 1) == QLatin1Char('"')) {
                    campo += c;
                    ++i;
                } else {
                    virgolette = false;
                }
            } else {
                campo += c;
            }
            continue;
        }
        if (c == QLatin1Char('"') && inizioCampo) {
            virgolette = true;
            inizioCampo = false;
            rigaIniziata = true;
        } else if (c == sep) {
            riga << campo;
            campo.clear();
            inizioCampo = true;
            rigaIniziata = true;
        } else if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            if (c == QLatin1Char('\r') && i + 1 < n && testo.at(i + 1) == QLatin1Char('\n')) ++i;
            if (rigaIniziata || !campo.isEmpty()) {
                riga << campo;
                righe << riga;
            }
            riga.clear();
            campo.clear();
            inizioCampo = true;
            rigaIniziata = false;
        } else {
            campo += c;
            inizioCampo = false;
            rigaIniziata = true;
        }
    }
    if (rigaIniziata || !campo.isEmpty()) {
        riga << campo;
        righe << riga;
    }
    return righe;
}

namespace {

// 1 a whole number (up to 15 digits, no leading zero), 2 a number with "." (and an
// optional exponent), 0 anything else: a code such as "01234" stays text.
int formaNumero(const QString& v)
{
    int i = 0;
    const int n = int(v.size());
    if (i < n && (v[i] == QLatin1Char('+') || v[i] == QLatin1Char('-'))) ++i;
    const int inizioCifre = i;
    while (i < n && v[i].isDigit() && v[i].unicode() < 128) ++i;
    const int cifre = i - inizioCifre;
    if (cifre > 1 && v[inizioCifre] == QLatin1Char('0')) return 0;
    if (i == n) return cifre == 0 ? 0 : (cifre <= 15 ? 1 : 2);
    int decimali = 0;
    if (v[i] == QLatin1Char('.')) {
        ++i;
        while (i < n && v[i].isDigit() && v[i].unicode() < 128) {
            ++i;
            ++decimali;
        }
    }
    if (cifre + decimali == 0) return 0;
    if (i < n && (v[i] == QLatin1Char('e') || v[i] == QLatin1Char('E'))) {
        ++i;
        if (i < n && (v[i] == QLatin1Char('+') || v[i] == QLatin1Char('-'))) ++i;
        const int esp = i;
        while (i < n && v[i].isDigit() && v[i].unicode() < 128) ++i;
        if (i == esp) return 0;
    }
    return i == n ? 2 : 0;
}

}  // namespace

TabellaCsv LeggiCsvDaDati(const QByteArray& dati, const QString& nomeTabella)
{
    const QString testo = DecodificaTestoCsv(dati);
    const QList<QStringList> righe = DividiCsv(testo, SeparatoreCsv(testo));
    TabellaCsv t;
    t.nome = nomeTabella;
    if (righe.isEmpty()) return t;
    for (int i = 0; i < righe.first().size(); ++i) {
        QString nome = righe.first().at(i).trimmed();
        if (nome.isEmpty()) nome = QStringLiteral("Field%1").arg(i + 1);
        QString unico = nome;
        for (int k = 2; t.campi.contains(unico, Qt::CaseInsensitive); ++k) unico = nome + QString::number(k);
        t.campi << unico;
    }
    const int nc = int(t.campi.size());

    static const QRegularExpression reData(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}([ T]\\d{2}:\\d{2}(:\\d{2})?)?$"));
    QList<int> tipi(nc, 0);  // 0 unknown, then Long, Double, Date, Text
    for (int r = 1; r < righe.size(); ++r) {
        for (int c = 0; c < nc; ++c) {
            const QString v = righe.at(r).value(c);
            if (v.isEmpty() || tipi[c] == TipoDao::Text) continue;
            int tipo = TipoDao::Text;
            const int forma = formaNumero(v);
            if (forma == 1)
                tipo = TipoDao::Long;
            else if (forma == 2)
                tipo = TipoDao::Double;
            else if ((v.size() == 10 || v.size() == 16 || v.size() == 19) && reData.match(v).hasMatch() &&
                     modCartigo::DaIso(v))
                tipo = TipoDao::Date;
            int& t0 = tipi[c];
            if (t0 == 0)
                t0 = tipo;
            else if (t0 != tipo) {
                const bool numeri = (t0 == TipoDao::Long || t0 == TipoDao::Double) &&
                                    (tipo == TipoDao::Long || tipo == TipoDao::Double);
                t0 = numeri ? TipoDao::Double : TipoDao::Text;
            }
        }
    }
    for (int& x : tipi)
        if (x == 0) x = TipoDao::Text;
    t.tipi = tipi;

    t.righe.reserve(righe.size() - 1);
    for (int r = 1; r < righe.size(); ++r) {
        QList<QVariant> riga;
        riga.reserve(nc);
        for (int c = 0; c < nc; ++c) {
            const QString v = righe.at(r).value(c);
            if (v.isEmpty()) {
                riga << QVariant();
                continue;
            }
            switch (tipi[c]) {
                case TipoDao::Long:
                    riga << v.toLongLong();
                    break;
                case TipoDao::Double:
                    riga << v.toDouble();
                    break;
                case TipoDao::Date:
                    riga << modCartigo::DataIso(*modCartigo::DaIso(v));
                    break;
                default:
                    riga << v;
            }
        }
        t.righe << riga;
    }
    return t;
}

TabellaCsv LeggiCsv(const QString& percorso)
{
    QFile f(percorso);
    if (!f.open(QIODevice::ReadOnly))
        throw ErroreDatabase(ErroreJet::PercorsoNonValido, QStringLiteral("'%1' is not a valid path.").arg(percorso));
    return LeggiCsvDaDati(f.readAll(), QFileInfo(percorso).completeBaseName());
}

}  // namespace cartigo
