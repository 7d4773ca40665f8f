#include "label/Codifica.h"

#include <QStringDecoder>

namespace cartigo {

namespace {
// Bytes 0x80..0x9F; the five unassigned bytes map to the C1 code point of the same value.
constexpr char16_t alti[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};
}  // namespace

QString DaWindows1252(const QByteArray& dati)
{
    QString r;
    r.resize(dati.size());
    for (qsizetype i = 0; i < dati.size(); ++i) {
        const auto b = static_cast<unsigned char>(dati[i]);
        r[i] = (b >= 0x80 && b <= 0x9F) ? QChar(alti[b - 0x80]) : QChar(b);
    }
    return r;
}

bool InWindows1252(const QString& testo, QByteArray* risultato)
{
    QByteArray out;
    out.reserve(testo.size());
    for (QChar c : testo) {
        const char16_t u = c.unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            out.append(char(u));
            continue;
        }
        int trovato = -1;
        for (int k = 0; k < 32; ++k)
            if (alti[k] == u) {
                trovato = k;
                break;
            }
        if (trovato < 0)
            return false;
        out.append(char(0x80 + trovato));
    }
    if (risultato)
        *risultato = out;
    return true;
}

QString DecodificaTestoFile(const QByteArray& dati)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString testo = utf8.decode(dati);
    if (!utf8.hasError()) {
        if (testo.startsWith(QChar(0xFEFF)))
            testo.remove(0, 1);
        return testo;
    }
    return DaWindows1252(dati);
}

QByteArray CodificaTestoFile(const QString& testo)
{
    QByteArray r;
    if (InWindows1252(testo, &r))
        return r;
    return testo.toUtf8();
}

}  // namespace cartigo
