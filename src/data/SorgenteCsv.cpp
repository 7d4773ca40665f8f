#include "data/SorgenteCsv.h"

#include "data/ValoriJet.h"
#include "label/Codifica.h"

#include <QBuffer>
#include <QFile>
#include <QRegularExpression>
#include <QStringDecoder>
#include <optional>

namespace cartigo {

QString DecodificaTestoCsv(const QByteArray& dati)
{
    return DecodificaTestoFile(dati);
}

namespace {

// The separator the first line uses most (outside quotes); `completa` tells whether the
// text holds the whole first line.
QChar separatore(QStringView testo, bool* completa = nullptr)
{
    int conti[3] = {};
    const QChar cand[3] = {QLatin1Char(','), QLatin1Char(';'), QLatin1Char('\t')};
    bool virgolette = false;
    if (completa) *completa = false;
    for (QChar c : testo) {
        if (c == QLatin1Char('"')) virgolette = !virgolette;
        if (!virgolette && (c == QLatin1Char('\n') || c == QLatin1Char('\r'))) {
            if (completa) *completa = true;
            break;
        }
        if (!virgolette)
            for (int k = 0; k < 3; ++k)
                if (c == cand[k]) ++conti[k];
    }
    int migliore = 0;
    for (int k = 1; k < 3; ++k)
        if (conti[k] > conti[migliore]) migliore = k;
    return cand[migliore];
}

}  // namespace

QChar SeparatoreCsv(const QString& testo)
{
    return separatore(testo);
}

DivisoreCsv::DivisoreCsv(QChar separatore, std::function<void(QStringList&)> riga)
    : sep_(separatore), riga_(std::move(riga))
{
}

void DivisoreCsv::Aggiungi(QStringView testo)
{
    // Runs of ordinary characters go into the field at once, not one by one.
    const QChar* p = testo.data();
    const QChar* const fine = p + testo.size();
    while (p < fine) {
        if (virgolette_) {
            // Up to the next quote everything is the field's; a quote ends the quoted
            // part unless the next character is a quote too.
            const QChar* q = p;
            while (q < fine && *q != QLatin1Char('"')) ++q;
            campo_.append(p, q - p);
            p = q;
            if (p < fine) {
                virgolette_ = false, virgolettaAperta_ = true;
                ++p;
            }
            continue;
        }
        const QChar c = *p;
        if (virgolettaAperta_) {
            virgolettaAperta_ = false;
            if (c == QLatin1Char('"')) {
                campo_ += c;
                virgolette_ = true;
                ++p;
                continue;
            }
        }
        if (c == QLatin1Char('"') && inizioCampo_) {
            virgolette_ = true;
            inizioCampo_ = false;
            rigaIniziata_ = true;
            ++p;
        } else if (c == sep_) {
            campi_ << campo_;
            campo_.clear();
            inizioCampo_ = true;
            rigaIniziata_ = true;
            ++p;
        } else if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            // The LF of a CRLF ends an empty line, which gives no record.
            fineRiga();
            ++p;
        } else {
            // Within an unquoted field a quote is an ordinary character.
            const QChar* q = p + 1;
            while (q < fine && *q != sep_ && *q != QLatin1Char('\r') && *q != QLatin1Char('\n')) ++q;
            campo_.append(p, q - p);
            inizioCampo_ = false;
            rigaIniziata_ = true;
            p = q;
        }
    }
}

void DivisoreCsv::Fine()
{
    virgolette_ = virgolettaAperta_ = false;
    fineRiga();
}

void DivisoreCsv::fineRiga()
{
    if (rigaIniziata_ || !campo_.isEmpty()) {
        campi_ << campo_;
        riga_(campi_);
    }
    campi_.clear();
    campo_.clear();
    inizioCampo_ = true;
    rigaIniziata_ = false;
}

QList<QStringList> DividiCsv(const QString& testo, QChar sep)
{
    QList<QStringList> righe;
    DivisoreCsv d(sep, [&righe](QStringList& r) { righe << r; });
    d.Aggiungi(testo);
    d.Fine();
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

namespace {

const QByteArray kBom("\xEF\xBB\xBF");

ErroreCartigo nonLeggibile(const QIODevice& d)
{
    const auto* f = qobject_cast<const QFile*>(&d);
    return ErroreDatabase(ErroreJet::PercorsoNonValido,
                          QStringLiteral("'%1' is not a valid path.").arg(f ? f->fileName() : QString()));
}

// Where the bytes may be cut without splitting a UTF-8 sequence: before an incomplete
// sequence at the end.
qsizetype taglioUtf8(const QByteArray& b)
{
    const qsizetype n = b.size();
    for (qsizetype k = 1; k <= 4 && k <= n; ++k) {
        const uchar c = uchar(b.at(n - k));
        if ((c & 0xC0) == 0x80) continue;  // a continuation byte
        const int lunghezza = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        return lunghezza > k ? n - k : n;
    }
    return n;
}

}  // namespace

bool LettoreCsv::scorri(const std::function<void(QStringList&)>& riga)
{
    constexpr qint64 pezzo = 1 << 16;
    if (!d_.seek(0)) throw nonLeggibile(d_);
    QByteArray byte = d_.read(pezzo);
    // With a BOM the text is UTF-8 whatever it holds, as DecodificaTestoFile reads it.
    const bool bom = byte.startsWith(kBom);
    if (bom) byte.remove(0, kBom.size());
    const bool utf8 = bom || utf8_;
    QStringDecoder dec(utf8 ? "UTF-8" : "windows-1252",
                       QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    std::optional<DivisoreCsv> div;
    QString inizio;  // the text until the first line is whole: it gives the separator
    for (;;) {
        const bool fine = d_.atEnd();
        const qsizetype taglio = fine || !utf8 ? byte.size() : taglioUtf8(byte);
        const QString testo = dec.decode(QByteArrayView(byte).first(taglio));
        if (utf8 && !bom && dec.hasError()) return false;
        byte.remove(0, taglio);
        if (div) {
            div->Aggiungi(testo);
        } else {
            inizio += testo;
            bool completa = false;
            const QChar sep = separatore(inizio, &completa);
            if (completa || fine) {
                div.emplace(sep, riga);
                div->Aggiungi(inizio);
                inizio.clear();
            }
        }
        if (fine) break;
        const QByteArray altri = d_.read(pezzo);
        if (altri.isEmpty() && !d_.atEnd()) throw nonLeggibile(d_);
        byte += altri;
    }
    div->Fine();
    return true;
}

LettoreCsv::LettoreCsv(QIODevice& dati, const QString& nomeTabella) : d_(dati)
{
    static const QRegularExpression reData(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}([ T]\\d{2}:\\d{2}(:\\d{2})?)?$"));
    t_.nome = nomeTabella;
    bool primo = true;
    QList<int> tipi;  // 0 unknown, then Long, Double, Date, Text
    const auto riga = [&](QStringList& r) {
        if (primo) {
            primo = false;
            for (int i = 0; i < r.size(); ++i) {
                QString nome = r.at(i).trimmed();
                if (nome.isEmpty()) nome = QStringLiteral("Field%1").arg(i + 1);
                QString unico = nome;
                for (int k = 2; t_.campi.contains(unico, Qt::CaseInsensitive); ++k) unico = nome + QString::number(k);
                t_.campi << unico;
            }
            tipi = QList<int>(t_.campi.size(), 0);
            return;
        }
        for (int c = 0; c < tipi.size(); ++c) {
            const QString v = r.value(c);
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
    };
    if (!scorri(riga)) {
        // Not UTF-8: the whole text is Windows-1252.
        utf8_ = false;
        primo = true;
        t_.campi.clear();
        scorri(riga);
    }
    for (int& x : tipi)
        if (x == 0) x = TipoDao::Text;
    t_.tipi = tipi;
}

void LettoreCsv::Righe(const std::function<void(const QList<QVariant>&)>& riga)
{
    const int nc = int(t_.campi.size());
    bool primo = true;
    QList<QVariant> valori;
    scorri([&](QStringList& r) {
        if (primo) {
            primo = false;
            return;
        }
        valori.clear();
        for (int c = 0; c < nc; ++c) {
            const QString v = r.value(c);
            if (v.isEmpty()) {
                valori << QVariant();
                continue;
            }
            switch (t_.tipi[c]) {
                case TipoDao::Long:
                    valori << v.toLongLong();
                    break;
                case TipoDao::Double:
                    valori << v.toDouble();
                    break;
                case TipoDao::Date:
                    valori << modCartigo::DataIso(*modCartigo::DaIso(v));
                    break;
                default:
                    valori << v;
            }
        }
        riga(valori);
    });
}

TabellaCsv LeggiCsvDaDati(const QByteArray& dati, const QString& nomeTabella)
{
    QBuffer b;
    b.setData(dati);
    b.open(QIODevice::ReadOnly);
    LettoreCsv l(b, nomeTabella);
    TabellaCsv t = l.Struttura();
    l.Righe([&t](const QList<QVariant>& r) { t.righe << r; });
    return t;
}

}  // namespace cartigo
