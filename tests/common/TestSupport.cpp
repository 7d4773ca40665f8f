#include "common/TestSupport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

namespace cartigo::test {

QString CartellaTestdata()
{
    const QString env = qEnvironmentVariable("CARTIGO_TESTDATA");
    if (!env.isEmpty())
        return QFileInfo(env).isDir() ? env : QString();
    const QString vicino = QStringLiteral(CARTIGO_SOURCE_DIR "/../shared/testdata");
    return QFileInfo(vicino).isDir() ? QDir(vicino).absolutePath() : QString();
}

void AssicuraApplicazione()
{
    if (QCoreApplication::instance())
        return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char nome[] = "cartigo-test";
    static char* argv[] = {nome, nullptr};
    new QApplication(argc, argv);  // lives until the process ends
}

QByteArray LeggiFile(const QString& percorso)
{
    QFile f(percorso);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

void ScriviFile(const QString& percorso, const QByteArray& dati)
{
    QFile f(percorso);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << percorso.toStdString();
    ASSERT_EQ(f.write(dati), dati.size());
}

DiscoPiccolo::DiscoPiccolo()
{
    montato_ = ::mount("tmpfs", QFile::encodeName(dir_.path()).constData(), "tmpfs", 0, "size=64k") == 0;
}

DiscoPiccolo::~DiscoPiccolo()
{
    if (montato_) ::umount2(QFile::encodeName(dir_.path()).constData(), MNT_DETACH);
}

QString DiscoPiccolo::percorso(const QString& nome) const
{
    return nome.isEmpty() ? dir_.path() : dir_.filePath(nome);
}

void DiscoPiccolo::riempi(qint64 libero)
{
    const QByteArray f = QFile::encodeName(percorso(QStringLiteral("riempitivo")));
    const int fd = ::open(f.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ASSERT_GE(fd, 0);
    const QByteArray blocco(4096, 'r');
    while (::write(fd, blocco.constData(), blocco.size()) > 0) {
    }
    ::close(fd);
    if (libero > 0) {
        ASSERT_EQ(::truncate(f.constData(), QFileInfo(QFile::decodeName(f)).size() - libero), 0);
    }
}

void DiscoPiccolo::svuota()
{
    QFile::remove(percorso(QStringLiteral("riempitivo")));
}

}  // namespace cartigo::test
