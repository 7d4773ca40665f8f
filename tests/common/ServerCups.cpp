#include "common/ServerCups.h"
#include "common/TestSupport.h"

#include <arpa/inet.h>
#include <cups/cups.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>
#include <tuple>
#include <utility>

namespace cartigo::test {

namespace {

// A printer that takes PDF and hands it on as PDF: the pdftopdf filter makes the copies
// and fits the pages to the paper asked (A4, Letter or any custom size).
const char kPpd[] = R"PPD(*PPD-Adobe: "4.3"
*FormatVersion: "4.3"
*FileVersion: "1.0"
*LanguageVersion: English
*LanguageEncoding: ISOLatin1
*PCFileName: "CTGTEST.PPD"
*Manufacturer: "Cartigo"
*Product: "(Cartigo test printer)"
*ModelName: "Cartigo test printer"
*ShortNickName: "Cartigo test printer"
*NickName: "Cartigo test printer"
*PSVersion: "(3010.000) 0"
*LanguageLevel: "3"
*ColorDevice: True
*DefaultColorSpace: RGB
*FileSystem: False
*Throughput: "1"
*LandscapeOrientation: Plus90
*TTRasterizer: Type42
*cupsVersion: 2.4
*cupsManualCopies: True
*cupsFilter2: "application/vnd.cups-pdf application/pdf 0 -"
*HWMargins: 0 0 0 0
*MaxMediaWidth: 100000
*MaxMediaHeight: 100000
*OpenUI *PageSize/Media Size: PickOne
*OrderDependency: 10 AnySetup *PageSize
*DefaultPageSize: A4
*PageSize A4/A4: "<</PageSize[595 842]/ImagingBBox null>>setpagedevice"
*PageSize Letter/Letter: "<</PageSize[612 792]/ImagingBBox null>>setpagedevice"
*CloseUI: *PageSize
*OpenUI *PageRegion: PickOne
*OrderDependency: 10 AnySetup *PageRegion
*DefaultPageRegion: A4
*PageRegion A4/A4: "<</PageSize[595 842]/ImagingBBox null>>setpagedevice"
*PageRegion Letter/Letter: "<</PageSize[612 792]/ImagingBBox null>>setpagedevice"
*CloseUI: *PageRegion
*DefaultImageableArea: A4
*ImageableArea A4/A4: "0 0 595 842"
*ImageableArea Letter/Letter: "0 0 612 792"
*DefaultPaperDimension: A4
*PaperDimension A4/A4: "595 842"
*PaperDimension Letter/Letter: "612 792"
*VariablePaperSize: True
*CustomPageSize True: "pop pop pop <</PageSize[5 -2 roll]/ImagingBBox null>>setpagedevice"
*ParamCustomPageSize Width: 1 points 36 100000
*ParamCustomPageSize Height: 2 points 36 100000
*ParamCustomPageSize WidthOffset: 3 points 0 0
*ParamCustomPageSize HeightOffset: 4 points 0 0
*ParamCustomPageSize Orientation: 5 int 0 0
*DefaultFont: Courier
*Font Courier: Standard "(001.005)" Standard ROM
)PPD";

QString programma(const QString& nome)
{
    QString p = QStandardPaths::findExecutable(nome);
    if (p.isEmpty()) p = QStandardPaths::findExecutable(nome, {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin")});
    return p;
}

// A socket of localhost bound to a port the kernel picks, listening when `ascolta`; the
// socket (-1 on failure) and its port.
std::pair<int, int> socketLocale(bool ascolta)
{
    const int s = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t n = sizeof a;
    if (s >= 0 && bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 && (!ascolta || listen(s, 8) == 0) &&
        getsockname(s, reinterpret_cast<sockaddr*>(&a), &n) == 0)
        return {s, ntohs(a.sin_port)};
    return {s, 0};
}
}  // namespace

// A port nobody listens on now (the kernel's pick for a socket bound to port 0).
int PortaLibera()
{
    const auto [s, porta] = socketLocale(false);
    if (s >= 0) close(s);
    return porta;
}

ServerCups::ServerCups()
{
    const QStringList necessari = {QStringLiteral("cupsd"), QStringLiteral("lpadmin"), QStringLiteral("cupsreject")};
    for (const QString& p : necessari) {
        if (programma(p).isEmpty()) {
            motivo_ = QStringLiteral(
                          "%1 not found: install the packages cups and cups-client to print through "
                          "a private CUPS scheduler")
                          .arg(p);
            return;
        }
    }
    if (!QFileInfo::exists(QStringLiteral("/usr/lib/cups/filter/pdftopdf"))) {
        motivo_ = QStringLiteral("the pdftopdf filter is missing: install the package cups-filters");
        return;
    }
    if (!dir_.isValid()) {
        motivo_ = QStringLiteral("no temporary folder");
        return;
    }
    // The filters run as the scheduler's user (lp when it runs as root): they go through
    // this folder to the spool.
    QFile::setPermissions(dir_.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                                           QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                           QFileDevice::ExeOther);
    for (const char* d : {"spool", "cache", "state", "log", "tmp", "out", "home"}) QDir(dir_.path()).mkpath(d);
    QFile::setPermissions(percorso(QStringLiteral("tmp")), QFileDevice::Permissions(0x7777));
    ScriviFile(percorso(QStringLiteral("stampante.ppd")), kPpd);
    for (int prova = 0; prova < 3 && !avviato_; ++prova) avviato_ = avvia();
}

ServerCups::~ServerCups()
{
    if (cupsd_.state() != QProcess::NotRunning) {
        cupsd_.terminate();
        if (!cupsd_.waitForFinished(10000)) {
            cupsd_.kill();
            cupsd_.waitForFinished(5000);
        }
    }
}

bool ServerCups::avvia()
{
    porta_ = PortaLibera();
    if (porta_ == 0) {
        motivo_ = QStringLiteral("no free port on localhost");
        return false;
    }
    const QByteArray d = dir_.path().toUtf8();
    QByteArray file = "ServerRoot " + d + "\nRequestRoot " + d + "/spool\nCacheDir " + d + "/cache\nStateDir " + d +
                      "/state\nTempDir " + d + "/tmp\nAccessLog " + d + "/log/access_log\nErrorLog " + d +
                      "/log/error_log\nPageLog " + d + "/log/page_log\nFileDevice Yes\n";
    if (geteuid() == 0) file += "SystemGroup root\n";
    const QByteArray conf = "Listen localhost:" + QByteArray::number(porta_) +
                            "\nLogLevel info\nWebInterface No\nBrowsing No\nDefaultAuthType None\n"
                            "DefaultPaperSize A4\nMaxJobs 0\nPreserveJobHistory Yes\n"
                            "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                            "<Policy default>\n  JobPrivateAccess all\n  JobPrivateValues none\n"
                            "  SubscriptionPrivateAccess all\n  SubscriptionPrivateValues none\n"
                            "  <Limit All>\n    Order deny,allow\n  </Limit>\n</Policy>\n";
    ScriviFile(percorso(QStringLiteral("cups-files.conf")), file);
    ScriviFile(percorso(QStringLiteral("cupsd.conf")), conf);
    cupsd_.setProcessChannelMode(QProcess::MergedChannels);
    cupsd_.setStandardOutputFile(percorso(QStringLiteral("log/cupsd.out")));
    cupsd_.start(programma(QStringLiteral("cupsd")),
                 {QStringLiteral("-f"), QStringLiteral("-c"), percorso(QStringLiteral("cupsd.conf")),
                  QStringLiteral("-s"), percorso(QStringLiteral("cups-files.conf"))});
    if (!cupsd_.waitForStarted(10000)) {
        motivo_ = QStringLiteral("cupsd does not start: %1").arg(cupsd_.errorString());
        return false;
    }
    // Up once it answers a request.
    const QDeadlineTimer fine(20000);
    while (!fine.hasExpired()) {
        if (cupsd_.state() == QProcess::NotRunning) break;
        if (http_t* h =
                httpConnect2("localhost", porta_, nullptr, AF_UNSPEC, HTTP_ENCRYPTION_IF_REQUESTED, 1, 1000, nullptr)) {
            ipp_t* r = cupsDoRequest(h, ippNewRequest(IPP_OP_CUPS_GET_PRINTERS), "/");
            const bool ok = r != nullptr;
            ippDelete(r);
            httpClose(h);
            if (ok) return true;
        }
        QThread::msleep(100);
    }
    motivo_ = QStringLiteral("the private cupsd did not come up on port %1:\n%2").arg(porta_).arg(Registro());
    cupsd_.kill();
    cupsd_.waitForFinished(5000);
    return false;
}

QString ServerCups::Indirizzo() const
{
    return QStringLiteral("localhost:%1").arg(porta_);
}

QProcessEnvironment ServerCups::Ambiente() const
{
    QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
    e.insert(QStringLiteral("CUPS_SERVER"), Indirizzo());
    e.insert(QStringLiteral("HOME"), percorso(QStringLiteral("home")));
    e.remove(QStringLiteral("PRINTER"));
    e.remove(QStringLiteral("LPDEST"));
    return e;
}

QString ServerCups::Esegui(const QString& nome, const QStringList& argomenti, int* codice) const
{
    QProcess p;
    p.setProcessEnvironment(Ambiente());
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(programma(nome), QStringList{QStringLiteral("-h"), Indirizzo()} + argomenti);
    const bool finito = p.waitForFinished(30000);
    if (codice) *codice = finito && p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return QString::fromUtf8(p.readAll());
}

QString ServerCups::PpdCups(const QString& nome)
{
    const QString drv = QStringLiteral("/usr/share/cups/drv/sample.drv");
    if (programma(QStringLiteral("ppdc")).isEmpty() || !QFileInfo::exists(drv)) {
        motivo_ = QStringLiteral("ppdc or CUPS's sample drivers not found: install cups-ppdc and cups-common");
        return {};
    }
    const QString cartella = percorso(QStringLiteral("ppd"));
    if (!QFileInfo::exists(QDir(cartella).filePath(nome))) {
        QProcess p;
        p.start(programma(QStringLiteral("ppdc")), {QStringLiteral("-d"), cartella, drv});
        p.waitForFinished(60000);
    }
    const QString ppd = QDir(cartella).filePath(nome);
    if (!QFileInfo::exists(ppd)) {
        motivo_ = QStringLiteral("ppdc did not make %1").arg(nome);
        return {};
    }
    return ppd;
}

bool ServerCups::AggiungiCoda(const QString& nome, bool predefinita, const QString& ppd, const QStringList& opzioni)
{
    int codice = -1;
    QStringList a = {QStringLiteral("-p"),
                     nome,
                     QStringLiteral("-E"),
                     QStringLiteral("-v"),
                     QStringLiteral("file://") + Uscita(nome),
                     QStringLiteral("-P"),
                     ppd.isEmpty() ? percorso(QStringLiteral("stampante.ppd")) : ppd};
    for (const QString& o : opzioni) a << QStringLiteral("-o") << o;
    const QString uscita = Esegui(QStringLiteral("lpadmin"), a, &codice);
    if (codice == 0 && predefinita) Esegui(QStringLiteral("lpadmin"), {QStringLiteral("-d"), nome}, &codice);
    if (codice != 0) motivo_ = QStringLiteral("lpadmin failed: %1").arg(uscita);
    return codice == 0;
}

bool ServerCups::AggiungiCodaGrezza(const QString& nome, const QString& uri)
{
    int codice = -1;
    const QString uscita = Esegui(QStringLiteral("lpadmin"),
                                  {QStringLiteral("-p"), nome, QStringLiteral("-E"), QStringLiteral("-v"), uri}, &codice);
    if (codice != 0) motivo_ = QStringLiteral("lpadmin failed: %1").arg(uscita);
    return codice == 0;
}

QString ServerCups::Uscita(const QString& nome) const
{
    return percorso(QStringLiteral("out/%1.pdf").arg(nome));
}

bool ServerCups::riesce(const QString& programma, const QStringList& argomenti) const
{
    int c = -1;
    Esegui(programma, argomenti, &c);
    return c == 0;
}

bool ServerCups::Rifiuta(const QString& nome, const QString& motivo)
{
    return riesce(QStringLiteral("cupsreject"),
                  motivo.isEmpty() ? QStringList{nome} : QStringList{QStringLiteral("-r"), motivo, nome});
}

QList<ServerCups::Lavoro> ServerCups::Lavori(const QString& coda) const
{
    QList<Lavoro> lavori;
    http_t* h = httpConnect2("localhost", porta_, nullptr, AF_UNSPEC, HTTP_ENCRYPTION_IF_REQUESTED, 1, 5000, nullptr);
    if (!h) return lavori;
    ipp_t* req = ippNewRequest(IPP_OP_GET_JOBS);
    char uri[1024];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", porta_, "/printers/%s",
                     coda.toUtf8().constData());
    ippAddString(req, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
    ippAddString(req, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    ippAddString(req, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "which-jobs", nullptr, "all");
    ippAddString(req, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr, "all");
    ipp_t* risposta = cupsDoRequest(h, req, "/");
    Lavoro l;
    const auto chiudi = [&] {
        if (l.id > 0) {
            l.coda = coda;
            lavori << l;
        }
        l = Lavoro{};
    };
    for (ipp_attribute_t* a = ippFirstAttribute(risposta); a; a = ippNextAttribute(risposta)) {
        const char* nome = ippGetName(a);
        if (!nome) {
            chiudi();
            continue;
        }
        const QByteArray n(nome);
        char testo[1024];
        ippAttributeString(a, testo, sizeof testo);
        l.attributi.insert(QString::fromUtf8(nome), QString::fromUtf8(testo));
        if (n == "job-id")
            l.id = ippGetInteger(a, 0);
        else if (n == "job-name")
            l.titolo = QString::fromUtf8(ippGetString(a, 0, nullptr));
        else if (n == "copies")
            l.copie = ippGetInteger(a, 0);
        else if (n == "job-state")
            l.stato = ippGetInteger(a, 0);
        else if (n == "media")
            l.carta = QString::fromUtf8(ippGetString(a, 0, nullptr));
        else if (n == "PageSize")
            l.paginaPpd = QString::fromUtf8(ippGetString(a, 0, nullptr));
    }
    chiudi();
    ippDelete(risposta);
    httpClose(h);
    std::sort(lavori.begin(), lavori.end(), [](const Lavoro& a, const Lavoro& b) { return a.id < b.id; });
    return lavori;
}

std::optional<ServerCups::Lavoro> ServerCups::AttendiLavoro(const QString& coda, int id, int secondi) const
{
    const QDeadlineTimer fine(secondi * 1000);
    // A job that has just finished can be listed without the options it was sent with: those
    // listed while it waited or printed are kept.
    Lavoro visto;
    while (!fine.hasExpired()) {
        for (Lavoro l : Lavori(coda)) {
            if (l.id != id) continue;
            if (!l.attributi.contains(QStringLiteral("copies"))) l.copie = visto.copie;
            if (l.titolo.isEmpty()) l.titolo = visto.titolo;
            for (auto a = visto.attributi.cbegin(); a != visto.attributi.cend(); ++a)
                if (!l.attributi.contains(a.key())) l.attributi.insert(a.key(), a.value());
            if (l.carta.isEmpty()) l.carta = visto.carta;
            if (l.paginaPpd.isEmpty()) l.paginaPpd = visto.paginaPpd;
            // completed (9), or stopped for good (aborted 8, cancelled 7): no more waiting
            if (l.stato >= IPP_JSTATE_CANCELED) return l;
            visto = l;
        }
        QThread::msleep(20);
    }
    return std::nullopt;
}

ServerCups::Pdf ServerCups::InfoPdf(const QString& percorso)
{
    Pdf pdf;
    QProcess p;
    p.start(QStringLiteral("pdfinfo"), {percorso});
    if (!p.waitForFinished(30000)) return pdf;
    for (const QString& riga : QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n'))) {
        if (riga.startsWith(QLatin1String("Pages:"))) pdf.pagine = riga.mid(6).trimmed().toInt();
        if (riga.startsWith(QLatin1String("Page size:")))
            pdf.pagina = riga.mid(10).trimmed().section(QLatin1Char(' '), 0, 2);
    }
    return pdf;
}

int ServerCups::IdLavoro(const QString& testo)
{
    const auto m = QRegularExpression(QStringLiteral("job \\w+-(\\d+)")).match(testo);
    return m.hasMatch() ? m.captured(1).toInt() : 0;
}

RicevitoreGrezzo::RicevitoreGrezzo()
{
    std::tie(socket_, porta_) = socketLocale(true);
}

RicevitoreGrezzo::~RicevitoreGrezzo()
{
    if (socket_ >= 0) close(socket_);
}

std::optional<QByteArray> RicevitoreGrezzo::Ricevuto(int secondi)
{
    pollfd p{socket_, POLLIN, 0};
    if (socket_ < 0 || poll(&p, 1, secondi * 1000) != 1) return std::nullopt;
    const int c = accept4(socket_, nullptr, nullptr, SOCK_CLOEXEC);
    if (c < 0) return std::nullopt;
    QByteArray dati;
    char blocco[4096];
    const QDeadlineTimer fine(secondi * 1000);
    for (;;) {
        pollfd q{c, POLLIN, 0};
        if (poll(&q, 1, int(std::max<qint64>(0, fine.remainingTime()))) != 1) break;
        const ssize_t n = read(c, blocco, sizeof blocco);
        if (n <= 0) break;
        dati.append(blocco, n);
    }
    close(c);
    return dati;
}

ServerMuto::ServerMuto()
{
    std::tie(socket_, porta_) = socketLocale(true);
}

ServerMuto::~ServerMuto()
{
    if (socket_ >= 0) close(socket_);
}

QString ServerCups::Registro() const
{
    QFile f(percorso(QStringLiteral("log/error_log")));
    if (!f.open(QIODevice::ReadOnly)) return QString();
    return QString::fromUtf8(f.readAll().right(4000));
}

}  // namespace cartigo::test
