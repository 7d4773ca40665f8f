#include "common/TestSupport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

namespace cartigo::test {

QString CartellaTestdata()
{
    const QString env = qEnvironmentVariable("CARTIGO_TESTDATA");
    if (!env.isEmpty()) return QFileInfo(env).isDir() ? env : QString();
    const QString vicino = QStringLiteral(CARTIGO_SOURCE_DIR "/../shared/testdata");
    return QFileInfo(vicino).isDir() ? QDir(vicino).absolutePath() : QString();
}

void AssicuraApplicazione()
{
    if (QCoreApplication::instance()) return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char nome[] = "cartigo-test";
    static char* argv[] = {nome, nullptr};
    new QApplication(argc, argv);  // lives until the process ends
}

namespace {
// The standard output of a reader, or nothing when it is not installed.
std::optional<QByteArray> uscita(const char* programma, const QStringList& argomenti)
{
    const QString percorso = QStandardPaths::findExecutable(QString::fromLatin1(programma));
    if (percorso.isEmpty()) return std::nullopt;
    QProcess p;
    p.start(percorso, argomenti);
    if (!p.waitForFinished(120000)) {
        p.kill();
        p.waitForFinished();
    }
    return p.readAllStandardOutput();
}
}  // namespace

std::optional<QStringList> LeggiZbar(const QString& png)
{
    const auto testo = uscita("zbarimg", {QStringLiteral("-q"), QStringLiteral("--nodbus"),
                                          QStringLiteral("-Supca.enable"), QStringLiteral("-Supce.enable"), png});
    if (!testo) return std::nullopt;
    return QString::fromUtf8(*testo).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

std::optional<QStringList> LeggiDataMatrix(const QString& png, int quanti)
{
    // dmtxread looks until its time is up unless it knows how many symbols there are
    const auto dati = uscita("dmtxread", {QStringLiteral("-n"), QStringLiteral("-N"), QString::number(quanti),
                                          QStringLiteral("-m"), QStringLiteral("60000"), png});
    if (!dati) return std::nullopt;
    QStringList letti;
    for (const QString& riga : QString::fromUtf8(*dati).split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        letti << QStringLiteral("DATAMATRIX:") + riga;
    return letti;
}

std::optional<QStringList> LeggiZxing(const QString& png, const QString& formato)
{
    const auto dati = uscita("ZXingReader", {QStringLiteral("-format"), formato, png});
    if (!dati) return std::nullopt;
    // one block a symbol: Text:  "...", ..., Format:  Code128, Identifier:  ]C1, ...
    QStringList letti;
    QString testo, tipo;
    for (const QString& riga : QString::fromUtf8(*dati).split(QLatin1Char('\n'))) {
        const QString valore = riga.section(QLatin1Char(':'), 1).trimmed();
        if (riga.startsWith(QLatin1String("Text:")))
            testo = valore.mid(1, valore.size() - 2);  // without the quotes
        else if (riga.startsWith(QLatin1String("Format:")))
            tipo = valore;
        else if (riga.startsWith(QLatin1String("Identifier:")))
            letti << tipo + (valore == QLatin1String("]C1") ? QStringLiteral("(GS1)") : QString()) + QLatin1Char(':') +
                         testo;
    }
    return letti;
}

std::optional<QStringList> LeggiTutti(const QString& png, int dataMatrix)
{
    const auto zbar = LeggiZbar(png);
    const auto dm = dataMatrix > 0 ? LeggiDataMatrix(png, dataMatrix) : std::optional<QStringList>(QStringList());
    const auto pdf = LeggiZxing(png, QStringLiteral("PDF417"));
    if (!zbar || !dm || !pdf) return std::nullopt;
    return *zbar + *dm + *pdf;
}

QString LettoreMancante()
{
    for (const char* p : {"zbarimg", "dmtxread", "ZXingReader"})
        if (QStandardPaths::findExecutable(QString::fromLatin1(p)).isEmpty()) return QString::fromLatin1(p);
    return {};
}

QByteArray LeggiFile(const QString& percorso)
{
    QFile f(percorso);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

void ScriviFile(const QString& percorso, const QByteArray& dati)
{
    QFile f(percorso);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << percorso.toStdString();
    ASSERT_EQ(f.write(dati), dati.size());
}

void ScriviEseguibile(const QString& percorso, const QByteArray& testo)
{
    QDir().mkpath(QFileInfo(percorso).path());
    ScriviFile(percorso, testo);
    QFile::setPermissions(percorso, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
}

namespace {
// A figure of /proc/self/status in KB (VmRSS: now, VmHWM: the peak), -1 without it.
qint64 campoStatus(const char* nome)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& riga : f.readAll().split('\n'))
        if (riga.startsWith(nome)) return riga.mid(qstrlen(nome)).trimmed().split(' ').first().toLongLong();
    return -1;
}
}  // namespace

qint64 CrescitaPicco(const std::function<void()>& lavoro)
{
    QFile azzera(QStringLiteral("/proc/self/clear_refs"));  // "5" resets the peak to now
    if (!azzera.open(QIODevice::WriteOnly) || azzera.write("5") != 1 || !azzera.flush()) return -1;
    const qint64 prima = campoStatus("VmRSS:");
    lavoro();
    const qint64 picco = campoStatus("VmHWM:");
    return prima > 0 && picco > 0 ? picco - prima : -1;
}

EsitoProgramma EseguiProgramma(const QString& programma, const QStringList& argomenti,
                               const QProcessEnvironment& ambiente, int attesaMs, const QString& cartella)
{
    QProcess p;
    p.setWorkingDirectory(cartella);
    p.setProcessEnvironment(ambiente);
    p.start(programma, argomenti);
    EsitoProgramma e;
    if (!p.waitForFinished(attesaMs)) {
        p.kill();
        p.waitForFinished();
        return e;
    }
    e.codice = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
    e.out = QString::fromUtf8(p.readAllStandardOutput());
    e.err = QString::fromUtf8(p.readAllStandardError());
    return e;
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
