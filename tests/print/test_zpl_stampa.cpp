// cartigo-print's ZPL II: the sample of every kind written as ZPL and read back by an
// independent renderer and the scanners, and the job sent to a printer's raw port.
#include "../stampora/SupportoStampora.h"
#include "common/ImmagineZpl.h"
#include "common/ServerCups.h"
#include "common/TestSupport.h"
#include "label/GestoreEtichetta.h"
#include "print/StampaEtichette.h"
#include "shell/InterazioneScriptata.h"
#include "shell/StringTable.h"
#include "stampora/RichiesteStampora.h"
#include "stampora/clsStampora.h"
#include "stampora/frmStamporaDestinazioneStampa.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
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

// A wait window that keeps what it is told.
struct AttesaRegistrata : FinestraAttesa {
    QStringList* testi;
    bool* aperta;
    AttesaRegistrata(QStringList* t, bool* a) : testi(t), aperta(a) {}
    void Mostra() override { *aperta = true; }
    void Aggiorna(const QString& t) override { *testi << t; }
    bool Annullata() const override { return false; }
    void Chiudi() override { *aperta = false; }
};

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
        // one 190 mm label on a sheet: the row of labels is the printer's label
        EXPECT_TRUE(zpl.startsWith("^XA^CI28^PW" + QByteArray::number(int(std::ceil(190 / 25.4 * dpi)))));
        EXPECT_EQ(zpl.count("^XA"), 1);
        EXPECT_TRUE(zpl.contains("^PQ3^XZ"));
        for (const char* comando : {"^B3N,N,", "^BEN,", "^BQN,2,", "^BXN,", "^B7N,", "^BUN,", "^B2N,"})
            EXPECT_TRUE(zpl.contains(comando)) << comando;
        // GS1-128 stays in the graphic field: its brackets are not data
        EXPECT_FALSE(zpl.contains("^BC"));
        EXPECT_FALSE(test::ImmaginiZpl(zpl).empty());  // the texts
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
    EXPECT_TRUE(e.out.startsWith(QStringLiteral("^XA^CI28^PW1519^LL")));  // 203 dpi by default
    EXPECT_TRUE(e.err.contains(QStringLiteral("(ZPL, 203 dpi)")));
}

// A sheet of 2 x 4 labels prints a ZPL label per row of labels, as wide as the row; the
// row that is not full holds its one label; the barcodes of every record scan.
TEST(CartigoPrintZpl, UnaEtichettaZplPerRigaDelFoglio)
{
    QTemporaryDir dir;
    const QString csv = dir.filePath(QStringLiteral("dati.csv")), file = dir.filePath(QStringLiteral("fogli.zpl"));
    QFile d(csv);
    ASSERT_TRUE(d.open(QIODevice::WriteOnly));
    d.write("name,street,city,ean13,code39\nAnna Rossi,Via Roma 1,Torino,2000000000015,AB12CD34\n"
            "Marco Bianchi,Via Po 2,Milano,2000000000022,EF56GH78\nLuca Verdi,Corso Italia 3,Genova,2000000000039,JK90LM12\n");
    d.close();
    const auto e = stampa({QStringLiteral(CARTIGO_SOURCE_DIR "/bench/print/etichetta_glabels.eti"), QStringLiteral("--db"), csv,
                           QStringLiteral("--zpl"), file});
    ASSERT_EQ(e.codice, 0) << e.err.toStdString();
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray zpl = f.readAll();
    // two 80 mm labels 10 mm apart, 50 mm high, at 203 dpi
    EXPECT_TRUE(zpl.contains("^PW1359^LL400")) << zpl.left(200).constData();
    EXPECT_EQ(zpl.count("^XA") - zpl.count("^DF"), 2) << zpl.constData();
    if (!test::RendererZplPresente() || !test::LettoreMancante().isEmpty()) {
        std::fprintf(stderr, "[ SKIPPED part ] %s or a scanner is not installed: labels are not rendered\n", test::kRendererZpl);
        return;
    }
    const auto png = test::RenderizzaZpl(zpl, 170, 50, 203, dir.path());
    ASSERT_TRUE(png && png->size() == 2);
    QStringList letti = test::LeggiTutti(png->at(0), 0).value_or(QStringList());
    letti += test::LeggiTutti(png->at(1), 0).value_or(QStringList());
    for (const char* atteso : {"EAN-13:2000000000015", "EAN-13:2000000000022", "EAN-13:2000000000039", "CODE-39:AB12CD34",
                               "CODE-39:EF56GH78", "CODE-39:JK90LM12"})
        EXPECT_TRUE(letti.contains(QString::fromLatin1(atteso))) << atteso << " in " << letti.join(' ').toStdString();
    EXPECT_EQ(letti.size(), 6);
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
        test::RicevitoreGrezzo server;
        ASSERT_NE(server.Porta(), 0);
        std::optional<QByteArray> ricevuto;
        std::thread t([&] { ricevuto = server.Ricevuto(); });
        const auto e = stampa({kCodici, QStringLiteral("--zpl-to"), QStringLiteral("127.0.0.1:%1").arg(server.Porta())});
        t.join();
        EXPECT_EQ(e.codice, 0) << e.err.toStdString();
        EXPECT_TRUE(e.out.contains(QStringLiteral("raw port"))) << e.out.toStdString();
        EXPECT_EQ(ricevuto, atteso);
    }
    const int chiusa = test::PortaLibera();
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

// The designer's destination dialog, its widgets clicked with the scripted interaction:
// a ZPL file, the printer's raw port and the printer as a raw job get what cartigo-print
// writes for the same job; a bad address keeps the dialog, a refused or silent port says
// why while the wait window stays up.
TEST(CartigoPrintZpl, IlDialogoDiDestinazioneScriveEInviaZpl)
{
    test::AssicuraApplicazione();
    ImpostaLingua(Lingua::Inglese);
    test::CartellaProgrammaTemporanea cartella;
    test::StampanteFinta stampante;
    QTemporaryDir dir;
    const QString atteso = dir.filePath(QStringLiteral("atteso.zpl"));
    ASSERT_EQ(stampa({kCodici, QStringLiteral("--zpl"), atteso, QStringLiteral("--dpi"), QStringLiteral("300"),
                      QStringLiteral("--copies"), QStringLiteral("2"), QStringLiteral("--count"), QStringLiteral("1")})
                  .codice,
              0);
    const QByteArray zpl = test::LeggiFile(atteso);

    InterazioneScriptata ui;
    DocumentoEtichetta doc;
    ASSERT_TRUE(GestoreEtichetta(doc, ui).CaricaEtichetta(kCodici));
    ui.gestoriDialogo[RichiestaOpzioniStampa::Nome] = [](RichiestaDialogo& d) {
        InterazioneScriptata muto;
        return OkOpzioniStampa({false, true, "1", "1"}, static_cast<RichiestaOpzioniStampa&>(d), muto, QString())
            .confermato;
    };
    QStringList attesa;
    bool aperta = false;
    // One print through the real dialog: option `opzione`, 300 dpi, 2 copies, the address typed.
    const auto stampaDialogo = [&](int opzione, const QString& indirizzo, int secondi = 30) {
        ui.gestoriDialogo[QStringLiteral("frmStamporaDestinazioneStampa")] = [&, opzione](RichiestaDialogo& d) {
            QTimer::singleShot(0, [&, opzione] {
                auto* w = qobject_cast<frmStamporaDestinazioneStampa*>(QApplication::activeModalWidget());
                ASSERT_TRUE(w);
                // the label has no print resolution: 203 dpi until chosen
                EXPECT_EQ(w->cmbRisoluzioneZpl->currentText(), QStringLiteral("203 dpi"));
                QTest::mouseClick(w->imgOutput[opzione], Qt::LeftButton);
                EXPECT_TRUE(w->cmbRisoluzioneZpl->isEnabled());
                EXPECT_EQ(w->txtIndirizzoZpl->isEnabled(), opzione == 4);
                w->cmbRisoluzioneZpl->setCurrentIndex(w->cmbRisoluzioneZpl->findText(QStringLiteral("300 dpi")));
                w->txtCopie->setText(QStringLiteral("2"));
                if (opzione == 4) {
                    w->txtIndirizzoZpl->setText(QStringLiteral("127.0.0.1:99999"));
                    w->cmdOk->click();  // refused: the dialog stays
                    EXPECT_TRUE(w->isVisible());
                    EXPECT_EQ(ui.messaggi.last().testo, LoadResString(1914));
                    w->txtIndirizzoZpl->setText(indirizzo);
                }
                w->cmdOk->click();
            });
            return frmStamporaDestinazioneStampa::Mostra(static_cast<RichiestaDestinazioneStampa&>(d), nullptr, &ui);
        };
        StampaEtichette job(doc, ui);
        job.CreaMotore = [secondi](Interazione& u) {
            auto m = std::make_unique<clsStampora>(u);
            m->SetTempoInvio(secondi);
            return m;
        };
        job.CreaAttesa = [&] { return std::make_unique<AttesaRegistrata>(&attesa, &aperta); };
        return job.Esegui();
    };

    // a ZPL file: the file dialog asks for .zpl
    const QString file = dir.filePath(QStringLiteral("dialogo.zpl"));
    ui.file = {file};
    EXPECT_EQ(stampaDialogo(3, {}), EsitoStampa::Stampata);
    EXPECT_EQ(ui.richiesteFile.last().estensioneDefault, QStringLiteral("zpl"));
    EXPECT_EQ(test::LeggiFile(file), zpl);

    // the printer's queue as a raw job
    stampante.info.nome = QStringLiteral("Zebra");
    EXPECT_EQ(stampaDialogo(5, {}), EsitoStampa::Stampata);
    EXPECT_EQ(stampante.codaGrezza, QStringLiteral("Zebra"));
    EXPECT_EQ(stampante.grezzo, zpl);
    EXPECT_TRUE(stampante.lavori.empty());

    // the raw port
    {
        test::RicevitoreGrezzo server;
        std::optional<QByteArray> ricevuto;
        std::thread t([&] { ricevuto = server.Ricevuto(); });
        EXPECT_EQ(stampaDialogo(4, QStringLiteral("127.0.0.1:%1").arg(server.Porta())), EsitoStampa::Stampata);
        t.join();
        EXPECT_EQ(ricevuto, zpl);
    }
    const int chiusa = test::PortaLibera();
    const QString rifiutata = QStringLiteral("127.0.0.1:%1").arg(chiusa);
    EXPECT_EQ(stampaDialogo(4, rifiutata), EsitoStampa::Fallita);
    EXPECT_EQ(ui.messaggi.last().testo,
              LoadResString(1441).arg(rifiutata, LoadResString(1910).arg(chiusa).arg(QStringLiteral("127.0.0.1"))));

    // a port that never takes the connection: the wait window says where the job goes
    // until the time limit
    Ascolto muto(0);
    const int occupa = connetti(muto.porta);
    attesa.clear();
    EXPECT_EQ(stampaDialogo(4, muto.indirizzo(), 1), EsitoStampa::Fallita);
    ::close(occupa);
    EXPECT_TRUE(attesa.contains(QStringLiteral("Sending to %1 ...").arg(muto.indirizzo())));
    EXPECT_FALSE(aperta);
    EXPECT_TRUE(ui.messaggi.last().testo.endsWith(
        QStringLiteral("did not answer on port %1 within 1 seconds").arg(muto.porta)))
        << ui.messaggi.last().testo.toStdString();
}
