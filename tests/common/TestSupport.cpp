#include "common/TestSupport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

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

}  // namespace cartigo::test
