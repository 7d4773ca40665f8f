#include "stampora/FileIni.h"

#include "label/Codifica.h"
#include "label/ScritturaFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringList>
#include <cmath>

#include <sys/stat.h>
#include <unistd.h>

namespace cartigo::modCartigo {

namespace {

QString chiaveConUguale(const QString& chiave)
{
    return chiave.endsWith(QLatin1Char('=')) ? chiave : chiave + QLatin1Char('=');
}

bool corrisponde(const QString& riga, const QString& chiave)
{
    return riga.left(chiave.size()).trimmed().toUpper() == chiave.trimmed().toUpper();
}

// The file's lines, without their line ends; false when it cannot be read.
bool leggiRighe(const QString& file, QStringList* righe, bool* finaleACapo = nullptr)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) return false;
    const QString testo = DecodificaTestoFile(f.readAll());
    if (f.error() != QFileDevice::NoError) return false;
    *righe = testo.split(QLatin1Char('\n'));
    for (QString& r : *righe)
        if (r.endsWith(QLatin1Char('\r'))) r.chop(1);
    if (finaleACapo) *finaleACapo = testo.endsWith(QLatin1Char('\n'));
    if (!righe->isEmpty() && righe->last().isEmpty()) righe->removeLast();
    return true;
}

QString& cartellaImpostata()
{
    static QString c;
    return c;
}

// The program's folder takes the engine's files only when the user owns it and may
// write it, and it is not where programs are installed: run as root, an installed
// program would otherwise fill /usr/bin.
bool scrivibile(const QString& cartella)
{
    const QFileInfo i(cartella);
    if (!i.isDir() || !i.isWritable()) return false;
    const QString c = i.canonicalFilePath();
    for (const char* programmi : {CARTIGO_CARTELLA_INSTALLAZIONE, "/usr/bin", "/usr/local/bin", "/bin"}) {
        const QString p = QFileInfo(QString::fromUtf8(programmi)).canonicalFilePath();
        if (!p.isEmpty() && (c == p || c.startsWith(p + QLatin1Char('/')))) return false;
    }
    struct stat st {};
    return ::stat(QFile::encodeName(c).constData(), &st) == 0 && st.st_uid == ::geteuid();
}

}  // namespace

QString GetKeyIni(const QString& file, const QString& chiave, bool /*messaggio*/)
{
    if (file.isEmpty() || chiave.isEmpty()) return {};
    const QString k = chiaveConUguale(chiave);
    if (!QFileInfo::exists(file)) return {};
    QStringList righe;
    if (!leggiRighe(file, &righe)) return {};
    QString valore;
    for (const QString& r : righe)
        if (corrisponde(r, k)) valore = r.mid(k.size()).trimmed();
    return valore;
}

bool SetKeyIni(const QString& file, const QString& chiave, const QString& valore)
{
    if (chiave.isEmpty()) return false;
    return SetKeysIni(file, {{chiave, valore}});
}

bool SetKeysIni(const QString& file, const QList<QPair<QString, QString>>& valori)
{
    if (file.isEmpty()) return false;
    QStringList righe;
    if (QFileInfo::exists(file) && !leggiRighe(file, &righe)) return false;
    const QStringList prima = righe;
    for (const auto& [chiave, valore] : valori) {
        if (chiave.isEmpty()) return false;
        const QString k = chiaveConUguale(chiave);
        bool trovata = false;
        for (QString& r : righe) {
            if (corrisponde(r, k)) {
                r = r.left(k.size()) + valore;
                trovata = true;
            }
        }
        if (!trovata) righe << k + valore;
    }
    if (righe == prima && QFileInfo::exists(file)) return true;

    // The temporary file: the extension (after the last "." of the name) becomes "~tm".
    const QFileInfo info(file);
    const QString nome = info.fileName();
    const qsizetype punto = nome.lastIndexOf(QLatin1Char('.'));
    const QString nomeTemp = (punto >= 0 ? nome.left(punto) : nome) + QStringLiteral(".~tm");
    const QString temp = info.dir().filePath(nomeTemp);

    const QByteArray dati = CodificaTestoFile(righe.join(QLatin1Char('\n')) + QLatin1Char('\n'));
    return ScriviFile(file, dati, nullptr, temp);
}

QString CartellaProgramma()
{
    if (!cartellaImpostata().isEmpty()) return cartellaImpostata();
    return QCoreApplication::applicationDirPath();
}

void ImpostaCartellaProgramma(const QString& cartella)
{
    cartellaImpostata() = cartella;
}

QString FileIniStampora()
{
    const QString p = CartellaProgramma();
    if (scrivibile(p)) return QDir(p).filePath(QStringLiteral("Stampora.ini"));
    QString conf = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    if (conf.isEmpty()) conf = QDir::homePath();
    QDir().mkpath(conf);
    return QDir(conf).filePath(QStringLiteral("Stampora.ini"));
}

QString CartellaStampe()
{
    const QString p = CartellaProgramma();
    if (scrivibile(p)) return QDir(p).filePath(QStringLiteral("Stampe"));
    QString doc = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (doc.isEmpty()) doc = QDir::homePath();
    return QDir(doc).filePath(QStringLiteral("Stampe"));
}

QString FormatoDueDecimali(double v, QChar decimale)
{
    if (!std::isfinite(v)) v = 0;
    QString s = QString::number(v, 'f', 2);
    if (s == QLatin1String("-0.00")) s = QStringLiteral("0.00");
    s.replace(QLatin1Char('.'), decimale);
    return s;
}

}  // namespace cartigo::modCartigo
