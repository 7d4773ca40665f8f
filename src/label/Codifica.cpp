#include "label/Codifica.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <algorithm>

namespace cartigo {

namespace {
const QByteArray kBomUtf8("\xEF\xBB\xBF");
}  // namespace

bool Utf8Valido(const QByteArray& dati, QString* testo)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString t = utf8.decode(dati);
    if (testo) *testo = t;
    return !utf8.hasError();
}

QString DaWindows1252(const QByteArray& dati)
{
    QStringDecoder cp1252("windows-1252", QStringDecoder::Flag::Stateless);
    return cp1252.decode(dati);
}

bool InWindows1252(const QString& testo, QByteArray* risultato)
{
    QStringEncoder cp1252("windows-1252", QStringEncoder::Flag::Stateless);
    const QByteArray out = cp1252.encode(testo);
    if (cp1252.hasError()) return false;
    if (risultato)
        *risultato = out;
    return true;
}

QString DecodificaTestoFile(const QByteArray& dati)
{
    QString testo;
    if (dati.startsWith(kBomUtf8)) {
        Utf8Valido(dati.mid(kBomUtf8.size()), &testo);
        return testo;
    }
    if (Utf8Valido(dati, &testo)) return testo;
    return DaWindows1252(dati);
}

QByteArray CodificaTestoFile(const QString& testo)
{
    QByteArray r;
    if (!InWindows1252(testo, &r)) return testo.toUtf8();
    const bool ascii = std::all_of(r.cbegin(), r.cend(), [](char c) { return uchar(c) < 0x80; });
    if (ascii || !Utf8Valido(r)) return r;
    return kBomUtf8 + testo.toUtf8();
}

bool ProbabileUtf16(const QByteArray& dati)
{
    if (dati.startsWith("\xFF\xFE") || dati.startsWith("\xFE\xFF")) return true;
    // Without a BOM: Latin text in UTF-16 has a NUL in every other byte. A stray
    // NUL in 8-bit text is not UTF-16 (the reader says where it is instead).
    qsizetype nul[2] = {0, 0};
    for (qsizetype i = 0; i < dati.size(); ++i)
        if (dati[i] == '\0') ++nul[i % 2];
    const qsizetype meta = dati.size() / 2;
    return meta > 0 && std::max(nul[0], nul[1]) * 4 >= meta;
}

}  // namespace cartigo
