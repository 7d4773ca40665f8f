#include "data/IntestazioneMdb.h"

#include "data/ValoriJet.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <array>
#include <cmath>
#include <cstring>

namespace cartigo {

QByteArray Rc4(const QByteArray& chiave, const QByteArray& dati)
{
    std::array<unsigned char, 256> s{};
    for (int i = 0; i < 256; ++i) s[size_t(i)] = static_cast<unsigned char>(i);
    int j = 0;
    for (int i = 0; i < 256; ++i) {
        j = (j + s[size_t(i)] + static_cast<unsigned char>(chiave[i % chiave.size()])) & 0xFF;
        std::swap(s[size_t(i)], s[size_t(j)]);
    }
    QByteArray out(dati.size(), Qt::Uninitialized);
    int a = 0;
    j = 0;
    for (int k = 0; k < dati.size(); ++k) {
        a = (a + 1) & 0xFF;
        j = (j + s[size_t(a)]) & 0xFF;
        std::swap(s[size_t(a)], s[size_t(j)]);
        out[k] = char(static_cast<unsigned char>(dati[k]) ^ s[size_t((s[size_t(a)] + s[size_t(j)]) & 0xFF)]);
    }
    return out;
}

namespace {

QString testoFormatoNonRiconosciuto(const QString& percorso)
{
    return QStringLiteral("Unrecognized database format '%1'.").arg(percorso);
}

}  // namespace

IntestazioneMdb IntestazioneMdb::Leggi(const QByteArray& p, const QString& percorso)
{
    if (p.size() < 0x200 || p.at(0) != 0x00 || p.at(1) != 0x01 || p.at(2) != 0 || p.at(3) != 0)
        throw ErroreDatabase(ErroreJet::FormatoNonRiconosciuto, testoFormatoNonRiconosciuto(percorso));
    const QByteArray firma = p.mid(4, 15);
    const bool jet = firma == "Standard Jet DB";
    const bool ace = firma == "Standard ACE DB";
    if (!jet && !ace) throw ErroreDatabase(ErroreJet::FormatoNonRiconosciuto, testoFormatoNonRiconosciuto(percorso));

    IntestazioneMdb h;
    h.versione = static_cast<unsigned char>(p.at(0x14));
    h.formato = h.versione == 0 ? Formato::Jet3 : (h.versione == 1 ? Formato::Jet4 : Formato::Ace);
    if (h.formato == Formato::Jet3 && ace)
        throw ErroreDatabase(ErroreJet::FormatoNonRiconosciuto, testoFormatoNonRiconosciuto(percorso));

    static const QByteArray chiave("\xc7\xda\x39\x6b", 4);
    const int lunghezza = h.formato == Formato::Jet3 ? 126 : 128;
    const QByteArray chiaro = Rc4(chiave, p.mid(0x18, lunghezza));
    auto byte = [&](int offset) { return static_cast<unsigned char>(chiaro.at(offset - 0x18)); };

    // A non-zero key means RC4-encrypted pages.
    h.cifrato = qFromLittleEndian<quint32>(chiaro.constData() + (0x3E - 0x18)) != 0;

    if (h.formato == Formato::Jet3) {
        QByteArray pw;
        for (int i = 0; i < 20; ++i) pw.append(char(byte(0x42 + i)));
        while (!pw.isEmpty() && pw.endsWith('\0')) pw.chop(1);
        h.password = QString::fromLatin1(pw);
    } else {
        double data = 0;
        std::memcpy(&data, chiaro.constData() + (0x72 - 0x18), sizeof data);
        const qint32 intero = std::isfinite(data) && std::fabs(data) < 2e9 ? qint32(data) : 0;
        unsigned char mascheraByte[4];
        qToLittleEndian<qint32>(intero, mascheraByte);
        QByteArray pw;
        for (int i = 0; i < 40; ++i) pw.append(char(byte(0x42 + i) ^ mascheraByte[i % 4]));
        QString testo;
        for (int i = 0; i + 1 < pw.size(); i += 2) {
            const char16_t c =
                char16_t(static_cast<unsigned char>(pw[i]) | (static_cast<unsigned char>(pw[i + 1]) << 8));
            testo.append(QChar(c));
        }
        while (!testo.isEmpty() && testo.endsWith(QChar(0))) testo.chop(1);
        // ACE files with a password are encrypted as a whole: the header area then
        // holds no plain password, and the pages cannot be read without the key.
        if (h.formato == Formato::Ace && !testo.isEmpty()) h.cifrato = true;
        h.password = testo;
    }
    return h;
}

IntestazioneMdb IntestazioneMdb::LeggiFile(const QString& percorso)
{
    QFile f(percorso);
    if (!QFileInfo(percorso).isFile() || !f.open(QIODevice::ReadOnly))
        throw ErroreDatabase(ErroreJet::PercorsoNonValido, QStringLiteral("'%1' is not a valid path.").arg(percorso));
    const IntestazioneMdb h = Leggi(f.read(0x1000), percorso);
    if (f.size() % h.DimensionePagina() != 0)
        throw ErroreDatabase(ErroreJet::DatabaseNonApribile,
                             QStringLiteral("Cannot open database '%1': the file is damaged (its length, %2 bytes, is "
                                            "not a whole number of %3-byte pages).")
                                 .arg(percorso)
                                 .arg(f.size())
                                 .arg(h.DimensionePagina()));
    return h;
}

void IntestazioneMdb::VerificaPassword(const QString& data) const
{
    if (password.isEmpty()) return;
    if (data != password) throw ErroreDatabase(ErroreJet::PasswordNonValida, QStringLiteral("Not a valid password."));
}

}  // namespace cartigo
