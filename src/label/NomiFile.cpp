#include "label/NomiFile.h"

#include "label/Codifica.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

#include <fcntl.h>
#include <unistd.h>

namespace cartigo::modCartigo {

namespace {

// A descriptor kept open for the rest of the run (the path refers to it).
QString Descrittore(const QByteArray& percorso, int flag)
{
    const int fd = ::open(percorso.constData(), O_PATH | O_CLOEXEC | flag);
    return fd < 0 ? QString() : QStringLiteral("/proc/self/fd/%1").arg(fd);
}

const QRegularExpression& kSoloDescrittore()
{
    static const QRegularExpression re(QStringLiteral("^/proc/self/fd/[0-9]+$"));
    return re;
}

}  // namespace

QString PercorsoDaSistema(const QByteArray& percorso)
{
    if (Utf8Valido(percorso)) return QFile::decodeName(percorso);
    const qsizetype barra = percorso.lastIndexOf('/');
    const QByteArray nome = percorso.mid(barra + 1);
    const QByteArray cartella = barra < 0 ? QByteArray(".") : barra == 0 ? QByteArray("/") : percorso.left(barra);
    QString r;
    if (!nome.isEmpty() && Utf8Valido(nome)) {
        r = Descrittore(cartella, O_DIRECTORY);
        if (!r.isEmpty()) r += QLatin1Char('/') + QFile::decodeName(nome);
    } else {
        r = Descrittore(percorso, 0);
    }
    return r.isEmpty() ? QFile::decodeName(percorso) : r;
}

QString CartellaDi(const QString& file)
{
    if (!SoloDescrittore(file)) return QFileInfo(file).absolutePath();
    QByteArray reale(4096, '\0');
    const ssize_t n = ::readlink(QFile::encodeName(file).constData(), reale.data(), size_t(reale.size()));
    if (n <= 0) return QFileInfo(file).absolutePath();
    reale.truncate(n);
    const qsizetype barra = reale.lastIndexOf('/');
    return PercorsoDaSistema(barra <= 0 ? QByteArray("/") : reale.left(barra));
}

bool SoloDescrittore(const QString& file)
{
    return kSoloDescrittore().match(file).hasMatch();
}

}  // namespace cartigo::modCartigo

namespace cartigo {

namespace {
QString& ultimaCartella()
{
    static QString c;
    return c;
}

QString cartellaEsistente(const QString& file)
{
    if (file.isEmpty()) return {};
    const QString c = modCartigo::CartellaDi(file);
    return QFileInfo(c).isDir() ? c : QString();
}
}  // namespace

QString CartellaDialogo(const QString& fileEtichetta)
{
    if (const QString c = cartellaEsistente(fileEtichetta); !c.isEmpty()) return c;
    if (QFileInfo(ultimaCartella()).isDir()) return ultimaCartella();
    const QString documenti = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QFileInfo(documenti).isDir() ? documenti : QDir::homePath();
}

void RicordaCartellaDialogo(const QString& file)
{
    if (const QString c = cartellaEsistente(file); !c.isEmpty()) ultimaCartella() = c;
}

}  // namespace cartigo
