// cartigo-print's ZPL II: the sample of every kind written as ZPL and read back by an
// independent renderer and the scanners, and the job sent to a printer's raw port.
#include "common/ImmagineZpl.h"
#include "common/TestSupport.h"

#include <QFile>
#include <QTemporaryDir>
#include <cmath>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

using namespace cartigo;

namespace {

test::EsitoProgramma stampa(const QStringList& argomenti, int attesaMs = 120000)
{
    return test::EseguiProgramma(QStringLiteral(CARTIGO_PRINT), argomenti, QProcessEnvironment::systemEnvironment(),
                                 attesaMs);
}

const QString kCodici = QStringLiteral(CARTIGO_SOURCE_DIR "/samples/codici.eti");

// A listening socket on 127.0.0.1 and its port.
struct Ascolto {
    int fd = -1;
    quint16 porta = 0;
    explicit Ascolto(int coda)
    {
        fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t l = sizeof a;
        if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || ::listen(fd, coda) != 0 ||
            ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &l) != 0)
            return;
        porta = ntohs(a.sin_port);
    }
    ~Ascolto()
    {
        if (fd >= 0) ::close(fd);
    }
    QString indirizzo() const { return QStringLiteral("127.0.0.1:%1").arg(porta); }
};

int connetti(quint16 porta)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(porta);
    ::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    return fd;
}

}  // namespace

// Every kind of the sample at 203 and 300 dpi: the printer's own command for each kind
// it has one for, the label's size, copies as ^PQ; rendered by zpl-renderer-js, every
// symbol scans to its data (UPC-A, which that renderer does not draw, and PDF417 excepted).
TEST(CartigoPrintZpl, CampioneDiOgniTipoA203e300Dpi)
{
    QTemporaryDir dir;
    const bool renderer = test::RendererZplPresente();
    if (!renderer) std::fprintf(stderr, "[ SKIPPED part ] %s is not installed: labels are not rendered\n", test::kRendererZpl);
    for (const int dpi : {203, 300}) {
        SCOPED_TRACE(dpi);
        const QString file = dir.filePath(QStringLiteral("codici-%1.zpl").arg(dpi));
        const auto e = stampa({kCodici, QStringLiteral("--zpl"), file, QStringLiteral("--dpi"), QString::number(dpi),
                               QStringLiteral("--copies"), QStringLiteral("3")});
        ASSERT_EQ(e.codice, 0) << e.err.toStdString();
        EXPECT_TRUE(e.out.contains(QStringLiteral("(ZPL, %1 dpi)").arg(dpi))) << e.out.toStdString();
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray zpl = f.readAll();
        // an A4 sheet: one label a page
        EXPECT_TRUE(zpl.startsWith("^XA^CI28^PW" + QByteArray::number(int(std::ceil(210 / 25.4 * dpi)))));
        EXPECT_EQ(zpl.count("^XA"), 1);
        EXPECT_TRUE(zpl.contains("^PQ3^XZ"));
        for (const char* comando : {"^B3N,N,", "^BEN,", "^BQN,2,", "^BXN,", "^B7N,", "^BUN,", "^B2N,"})
            EXPECT_TRUE(zpl.contains(comando)) << comando;
        // GS1-128 stays in the graphic field: its brackets are not data
        EXPECT_FALSE(zpl.contains("^BC"));
        EXPECT_EQ(test::ImmaginiZpl(zpl).size(), 1u);
        if (renderer && test::LettoreMancante().isEmpty()) {
            const auto png = test::RenderizzaZpl(zpl, 210, 297, dpi, dir.path());
            ASSERT_TRUE(png && png->size() == 1);
            const QStringList letti = test::LeggiTutti(png->front(), 1).value_or(QStringList());
            for (const char* atteso : {"CODE-39:CARTIGO-39", "EAN-13:5901234123457", "CODE-128:010950110153000310AB12",
                                       "QR-Code:https://example.org/cartigo", "I2/5:15400141288763"})
                EXPECT_TRUE(letti.contains(QString::fromLatin1(atteso))) << atteso << " in " << letti.join(' ').toStdString();
            EXPECT_TRUE(letti.filter(QStringLiteral("PN 4711-Z LOT 2024")).size() == 1) << letti.join(' ').toStdString();
            // PDF417 is left out: this renderer draws it at a module of its own, not ^BY's
            // (the generated data of the engine's tests scan)
        }
    }
    // standard output
    const auto e = stampa({kCodici, QStringLiteral("--zpl"), QStringLiteral("-")});
    ASSERT_EQ(e.codice, 0) << e.err.toStdString();
    EXPECT_TRUE(e.out.startsWith(QStringLiteral("^XA^CI28^PW1679^LL")));  // 203 dpi by default
    EXPECT_TRUE(e.err.contains(QStringLiteral("(ZPL, 203 dpi)")));
}

// A raw port gets the job as the file has it; a refused port and one that never takes
// the connection are errors with their message, within --timeout.
TEST(CartigoPrintZpl, PortaGrezza)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("atteso.zpl"));
    ASSERT_EQ(stampa({kCodici, QStringLiteral("--zpl"), file}).codice, 0);
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray atteso = f.readAll();

    {
        Ascolto server(4);
        ASSERT_NE(server.porta, 0);
        QByteArray ricevuto;
        std::thread t([&] {
            const int c = ::accept(server.fd, nullptr, nullptr);
            char blocco[4096];
            for (ssize_t n; (n = ::read(c, blocco, sizeof blocco)) > 0;) ricevuto.append(blocco, n);
            ::close(c);
        });
        const auto e = stampa({kCodici, QStringLiteral("--zpl-to"), server.indirizzo()});
        t.join();
        EXPECT_EQ(e.codice, 0) << e.err.toStdString();
        EXPECT_TRUE(e.out.contains(QStringLiteral("raw port"))) << e.out.toStdString();
        EXPECT_EQ(ricevuto, atteso);
    }
    quint16 chiusa = 0;
    {
        Ascolto server(1);
        chiusa = server.porta;
    }
    auto e = stampa({kCodici, QStringLiteral("--zpl-to"), QStringLiteral("127.0.0.1:%1").arg(chiusa)});
    EXPECT_EQ(e.codice, 1);
    EXPECT_TRUE(e.err.contains(QStringLiteral("refuses the connection on port %1").arg(chiusa))) << e.err.toStdString();

    // a queue of one, already taken: the printer's connection is never answered
    Ascolto muto(0);
    const int occupa = connetti(muto.porta);
    e = stampa({kCodici, QStringLiteral("--zpl-to"), muto.indirizzo(), QStringLiteral("--timeout"), QStringLiteral("2")});
    ::close(occupa);
    EXPECT_EQ(e.codice, 1);
    EXPECT_TRUE(e.err.contains(QStringLiteral("did not answer on port %1 within 2 seconds").arg(muto.porta)))
        << e.err.toStdString();
    EXPECT_FALSE(e.out.contains(QStringLiteral("labels")));

    e = stampa({kCodici, QStringLiteral("--zpl-to"), QStringLiteral("127.0.0.1:99999")});
    EXPECT_EQ(e.codice, 2);
}

// The sample of lines, ellipses, turns and shrink to fit prints without a database and its
// Code 128 turned 90 degrees scans: from the PDF, and from ZPL at 203 and 300 dpi, where it
// goes into the graphic field at whole dots.
TEST(CartigoPrintZpl, IlCampioneDelleFormeSiStampaESiLegge)
{
    QTemporaryDir dir;
    const QString forme = QStringLiteral(CARTIGO_SOURCE_DIR "/samples/forme.eti");
    const QString pdf = dir.filePath(QStringLiteral("forme.pdf"));
    const auto e = stampa({forme, QStringLiteral("--count"), QStringLiteral("1"), QStringLiteral("--pdf"), pdf});
    ASSERT_EQ(e.codice, 0) << e.err.toStdString();
    if (!test::LettoreMancante().isEmpty()) GTEST_SKIP() << test::LettoreMancante().toStdString() << " not found";
    const auto letti = [&](const QString& png) { return test::LeggiZbar(png).value_or(QStringList()); };
    const auto pagina = test::EseguiProgramma(QStringLiteral("pdftoppm"),
                                              {QStringLiteral("-r"), QStringLiteral("300"), QStringLiteral("-gray"),
                                               QStringLiteral("-png"), QStringLiteral("-singlefile"), pdf,
                                               dir.filePath(QStringLiteral("forme"))},
                                              QProcessEnvironment::systemEnvironment(), 120000);
    ASSERT_EQ(pagina.codice, 0);
    EXPECT_EQ(letti(dir.filePath(QStringLiteral("forme.png"))), QStringList{QStringLiteral("CODE-128:TURN90")});
    if (!test::RendererZplPresente()) GTEST_SKIP() << test::kRendererZpl << " is not installed";
    for (const int dpi : {203, 300}) {
        SCOPED_TRACE(dpi);
        const QString file = dir.filePath(QStringLiteral("forme-%1.zpl").arg(dpi));
        ASSERT_EQ(stampa({forme, QStringLiteral("--count"), QStringLiteral("1"), QStringLiteral("--zpl"), file,
                          QStringLiteral("--dpi"), QString::number(dpi)})
                      .codice,
                  0);
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray zpl = f.readAll();
        EXPECT_FALSE(zpl.contains("^BC"));  // turned: in the graphic field
        const auto png = test::RenderizzaZpl(zpl, 100, 70, dpi, dir.path());
        ASSERT_TRUE(png && png->size() == 1);
        EXPECT_EQ(letti(png->front()), QStringList{QStringLiteral("CODE-128:TURN90")});
    }
}
