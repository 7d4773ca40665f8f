#include "data/SorgenteFoglio.h"

#include "data/LettoreProcesso.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace cartigo {

namespace {

const QByteArray kOle("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);

// The names in a ZIP package's central directory (none when it cannot be found).
QStringList nomiZip(QFile& f)
{
    QStringList nomi;
    const qint64 dim = f.size();
    const qint64 coda = qMin<qint64>(dim, 65536 + 22);
    if (!f.seek(dim - coda)) return nomi;
    const QByteArray fine = f.read(coda);
    const int eocd = int(fine.lastIndexOf(QByteArray("PK\x05\x06", 4)));
    if (eocd < 0 || eocd + 22 > fine.size()) return nomi;
    auto u16 = [](const char* p) { return quint32(quint8(p[0])) | quint32(quint8(p[1])) << 8; };
    auto u32 = [&](const char* p) { return u16(p) | u16(p + 2) << 16; };
    const char* e = fine.constData() + eocd;
    const quint32 dimDir = u32(e + 12), inizioDir = u32(e + 16);
    if (dimDir > 64u << 20 || qint64(inizioDir) + dimDir > dim || !f.seek(inizioDir)) return nomi;
    const QByteArray dir = f.read(dimDir);
    for (int i = 0; i + 46 <= dir.size() && nomi.size() < 100000;) {
        const char* p = dir.constData() + i;
        if (u32(p) != 0x02014b50u) break;
        const int n = int(u16(p + 28)), extra = int(u16(p + 30)), commento = int(u16(p + 32));
        if (i + 46 + n > dir.size()) break;
        nomi << QString::fromUtf8(p + 46, n);
        i += 46 + n + extra + commento;
    }
    return nomi;
}

}  // namespace

bool FoglioCifrato(const QString& percorso)
{
    QFile f(percorso);
    if (!f.open(QIODevice::ReadOnly) || f.read(8) != kOle) return false;
    // The streams of an encrypted package are named in the compound file's directory.
    const QByteArray nome = QByteArray("E\0n\0c\0r\0y\0p\0t\0e\0d\0P\0a\0c\0k\0a\0g\0e\0", 32);
    f.seek(0);
    QByteArray prima;
    while (!f.atEnd()) {
        QByteArray pezzo = f.read(1 << 20);
        if ((prima.right(nome.size()) + pezzo).contains(nome)) return true;
        prima = pezzo;
    }
    return false;
}

bool FileFoglio(const QString& percorso)
{
    const QString suffisso = QFileInfo(percorso).suffix().toLower();
    if (suffisso == QLatin1String("xlsx") || suffisso == QLatin1String("xlsm") || suffisso == QLatin1String("ods"))
        return true;
    QFile f(percorso);
    if (!f.open(QIODevice::ReadOnly)) return false;
    const QByteArray testa = f.read(90);
    if (testa.startsWith(kOle)) return FoglioCifrato(percorso);
    if (!testa.startsWith("PK\x03\x04")) return false;
    // An OpenDocument package starts with its media type, stored.
    if (testa.mid(30, 8) == "mimetype" && testa.mid(38).startsWith("application/vnd.oasis.opendocument.spreadsheet"))
        return true;
    const QStringList nomi = nomiZip(f);
    return nomi.contains(QStringLiteral("[Content_Types].xml")) && nomi.contains(QStringLiteral("xl/workbook.xml"));
}

QString PercorsoLettoreFogli()
{
    const QString env = qEnvironmentVariable("CARTIGO_SHEETREADER");
    if (!env.isEmpty()) return env;
    return LettoreProcesso::PercorsoDa(
        QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QDir::currentPath(),
        QStringLiteral("cartigo-sheetreader"));
}

}  // namespace cartigo
