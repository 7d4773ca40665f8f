// The CUPS printer against real print servers: a private scheduler with a queue that
// prints into a file, one that does not exist, and one that never answers.
#include "SupportoStampora.h"
#include "common/ServerCups.h"
#include "common/TestSupport.h"
#include "shell/InterazioneScriptata.h"
#include "shell/StringTable.h"
#include "stampora/DocumentoStampa.h"
#include "stampora/Misura.h"
#include "stampora/StamporaCups.h"
#include "stampora/clsStampora.h"

#include <QElapsedTimer>
#include <QFileInfo>

using namespace cartigo;
using test::ServerCups;

namespace {

constexpr double kTwipsPerMm = 1440.0 / 25.4;

// A document of `pagine` pages on paper `larghezza` x `altezza` mm for `stampante`.
std::unique_ptr<DocumentoStampa> Documento(const QString& stampante, int pagine, double larghezza = 210,
                                           double altezza = 297, int orientamento = 0)
{
    InfoStampante info;
    info.nome = stampante;
    info.larghezzaCarta = larghezza * kTwipsPerMm;
    info.altezzaCarta = altezza * kTwipsPerMm;
    info.orientamento = orientamento;
    auto d = std::make_unique<DocumentoStampa>(info);
    d->SetOrientation(orientamento);
    d->StartDoc();
    for (int p = 0; p < pagine; ++p) {
        if (p > 0) d->NewPage();
        d->DrawRectangle(Misura(5, Unita::Millimetro), Misura(5, Unita::Millimetro), Misura(20, Unita::Millimetro),
                         Misura(20, Unita::Millimetro));
    }
    d->EndDoc();
    return d;
}

LavoroStampa Lavoro(int prima, int ultima, int copie, const QString& titolo)
{
    LavoroStampa l;
    l.prima = prima;
    l.ultima = ultima;
    l.copie = copie;
    l.titolo = titolo;
    return l;
}

class StamporaCups : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::AssicuraApplicazione();
        ImpostaLingua(Lingua::Inglese);
    }
    void TearDown() override { ImpostaLingua(Lingua::Italiano); }
};

// A PDF page's size ("283.465 x 141.732") to whole points ("283 x 142").
QString punti(const QString& pagina)
{
    const QStringList lati = pagina.split(QStringLiteral(" x "));
    if (lati.size() != 2) return pagina;
    return QStringLiteral("%1 x %2").arg(qRound(lati[0].toDouble())).arg(qRound(lati[1].toDouble()));
}

// "175.748 x 82.2047" to a thousandth of a point: "175.748 x 82.205".
QString millesimi(const QString& pagina)
{
    const QStringList lati = pagina.split(QStringLiteral(" x "));
    if (lati.size() != 2) return pagina;
    return QStringLiteral("%1 x %2").arg(lati[0].toDouble(), 0, 'f', 3).arg(lati[1].toDouble(), 0, 'f', 3);
}

// The job id of "PDF-12".
int Id(const QString& lavoro)
{
    return lavoro.section(QLatin1Char('-'), -1).toInt();
}

}  // namespace

#define AVVIA_CUPS(server) \
    ServerCups server;     \
    if (!server.avviato()) GTEST_SKIP() << server.motivo().toStdString()

TEST_F(StamporaCups, OneJobWithItsCopiesTitleAndPaper)
{
    AVVIA_CUPS(cups);
    ASSERT_TRUE(cups.AggiungiCoda(QStringLiteral("PDF"))) << cups.motivo().toStdString();
    DispositivoStampaCups d;
    d.ImpostaServer(cups.Indirizzo());
    QString errore;

    // pages 2 to 3 of three, three copies: one job, which the queue prints three times
    ASSERT_TRUE(
        d.Stampa(*Documento(QStringLiteral("PDF"), 3), Lavoro(2, 3, 3, QStringLiteral("indirizzi.eti")), &errore))
        << errore.toStdString();
    auto lavoro = cups.AttendiLavoro(QStringLiteral("PDF"), Id(d.UltimoLavoro()));
    ASSERT_TRUE(lavoro) << cups.Registro().toStdString();
    EXPECT_EQ(lavoro->stato, 9) << cups.Registro().toStdString();
    EXPECT_EQ(lavoro->copie, 3);
    EXPECT_EQ(lavoro->titolo, QStringLiteral("indirizzi.eti"));
    EXPECT_EQ(lavoro->carta, QStringLiteral("iso_a4_210x297mm"));
    EXPECT_EQ(cups.Lavori(QStringLiteral("PDF")).size(), 1);
    auto pdf = ServerCups::InfoPdf(cups.Uscita(QStringLiteral("PDF")));
    EXPECT_EQ(pdf.pagine, 6);
    EXPECT_EQ(pdf.pagina, QStringLiteral("595 x 842"));

    // a roll label's own paper, 100 x 50 mm, arrives as it is
    ASSERT_TRUE(d.Stampa(*Documento(QStringLiteral("PDF"), 1, 100, 50), Lavoro(1, 1, 1, QString()), &errore))
        << errore.toStdString();
    lavoro = cups.AttendiLavoro(QStringLiteral("PDF"), Id(d.UltimoLavoro()));
    ASSERT_TRUE(lavoro);
    EXPECT_EQ(lavoro->titolo, QStringLiteral("Cartigo"));
    pdf = ServerCups::InfoPdf(cups.Uscita(QStringLiteral("PDF")));
    EXPECT_EQ(pdf.pagine, 1);
    EXPECT_EQ(punti(pdf.pagina), QStringLiteral("283 x 142")) << lavoro->carta.toStdString();

    // a landscape page goes on the A4 paper, turned by the server
    ASSERT_TRUE(d.Stampa(*Documento(QStringLiteral("PDF"), 1, 210, 297, 1), Lavoro(1, 1, 1, QString()), &errore));
    lavoro = cups.AttendiLavoro(QStringLiteral("PDF"), Id(d.UltimoLavoro()));
    ASSERT_TRUE(lavoro);
    EXPECT_EQ(lavoro->carta, QStringLiteral("iso_a4_210x297mm"));
    pdf = ServerCups::InfoPdf(cups.Uscita(QStringLiteral("PDF")));
    EXPECT_EQ(pdf.pagina, QStringLiteral("595 x 842"));
}

TEST_F(StamporaCups, PrintersAndTheDefaultComeFromTheServer)
{
    AVVIA_CUPS(cups);
    DispositivoStampaCups d;
    d.ImpostaServer(cups.Indirizzo());
    QString errore;

    // no printer yet: no default, and the message says where it looked
    EXPECT_FALSE(d.Cerca(QString(), &errore));
    EXPECT_EQ(errore.toStdString(),
              QStringLiteral("no default printer is set on the print server %1 (printers: (none))")
                  .arg(cups.Indirizzo())
                  .toStdString());
    EXPECT_TRUE(d.Predefinita().nome.isEmpty());

    ASSERT_TRUE(cups.AggiungiCoda(QStringLiteral("Ufficio")));
    ASSERT_TRUE(cups.AggiungiCoda(QStringLiteral("Etichette"), true));
    QStringList nomi;
    for (const InfoStampante& s : d.Stampanti(&errore)) nomi << s.nome;
    EXPECT_EQ(nomi, (QStringList{QStringLiteral("Etichette"), QStringLiteral("Ufficio")}));
    const InfoStampante predefinita = d.Predefinita();
    EXPECT_EQ(predefinita.nome, QStringLiteral("Etichette"));
    // the queue's default paper, A4
    EXPECT_NEAR(predefinita.larghezzaCarta / kTwipsPerMm, 210, 0.5);
    EXPECT_NEAR(predefinita.altezzaCarta / kTwipsPerMm, 297, 0.5);
    ASSERT_TRUE(d.Cerca(QStringLiteral("Ufficio"), &errore));

    // PRINTER names the user's default
    qputenv("PRINTER", "Ufficio");
    EXPECT_EQ(d.Predefinita().nome, QStringLiteral("Ufficio"));
    qunsetenv("PRINTER");
}

TEST_F(StamporaCups, ARefusingStoppedOrMissingQueueSaysSo)
{
    AVVIA_CUPS(cups);
    ASSERT_TRUE(cups.AggiungiCoda(QStringLiteral("PDF")));
    DispositivoStampaCups d;
    d.ImpostaServer(cups.Indirizzo());
    QString errore;

    // refused jobs: nothing reaches the queue
    ASSERT_TRUE(cups.Rifiuta(QStringLiteral("PDF"), QStringLiteral("no labels loaded")));
    EXPECT_FALSE(d.Stampa(*Documento(QStringLiteral("PDF"), 1), Lavoro(1, 1, 600, QString()), &errore));
    EXPECT_TRUE(errore.startsWith(QStringLiteral("the printer \"PDF\" does not accept jobs: ")))
        << errore.toStdString();
    EXPECT_TRUE(d.UltimoLavoro().isEmpty());
    EXPECT_TRUE(cups.Lavori(QStringLiteral("PDF")).isEmpty());
    ASSERT_TRUE(cups.Accetta(QStringLiteral("PDF")));

    // a stopped queue keeps the one job of 600 copies, and the message says it waits
    ASSERT_TRUE(cups.Ferma(QStringLiteral("PDF")));
    EXPECT_FALSE(d.Stampa(*Documento(QStringLiteral("PDF"), 1), Lavoro(1, 1, 600, QString()), &errore));
    EXPECT_EQ(errore.toStdString(), QStringLiteral("the printer \"PDF\" is stopped: the job %1 waits in its queue "
                                                   "until the printer is started again")
                                        .arg(d.UltimoLavoro())
                                        .toStdString());
    const auto lavori = cups.Lavori(QStringLiteral("PDF"));
    ASSERT_EQ(lavori.size(), 1);
    EXPECT_EQ(lavori[0].copie, 600);
    EXPECT_LT(lavori[0].stato, 6);  // pending or held, not printed

    // a queue the server does not have
    EXPECT_FALSE(d.Stampa(*Documento(QStringLiteral("Altrove"), 1), Lavoro(1, 1, 1, QString()), &errore));
    EXPECT_EQ(errore.toStdString(),
              QStringLiteral("no printer named \"Altrove\" on the print server %1 (printers: PDF)")
                  .arg(cups.Indirizzo())
                  .toStdString());
}

TEST_F(StamporaCups, NoServerOrASilentOneEndsWithAMessage)
{
    DispositivoStampaCups d;
    QString errore;

    // nobody listens
    const QString vuoto = QStringLiteral("localhost:%1").arg(test::PortaLibera());
    d.ImpostaServer(vuoto);
    EXPECT_FALSE(d.Stampa(*Documento(QStringLiteral("PDF"), 1), Lavoro(1, 1, 1, QString()), &errore));
    EXPECT_TRUE(errore.startsWith(QStringLiteral("the print server %1 cannot be reached: ").arg(vuoto)))
        << errore.toStdString();
    EXPECT_FALSE(d.Cerca(QStringLiteral("PDF"), &errore));
    EXPECT_TRUE(errore.contains(QStringLiteral("cannot be reached")));
    EXPECT_TRUE(d.Predefinita().nome.isEmpty());

    // a server that takes the connection and never answers: the time limit ends the wait
    test::ServerMuto muto;
    ASSERT_GT(muto.Porta(), 0);
    d.ImpostaServer(muto.Indirizzo());
    d.ImpostaTempoMassimo(1);
    QElapsedTimer tempo;
    tempo.start();
    EXPECT_FALSE(d.Stampa(*Documento(QStringLiteral("PDF"), 1), Lavoro(1, 1, 1, QString()), &errore));
    EXPECT_LT(tempo.elapsed(), 5000);
    EXPECT_EQ(
        errore.toStdString(),
        QStringLiteral("the print server %1 did not answer within 1 seconds").arg(muto.Indirizzo()).toStdString());

    // a document without a printer never reaches a server
    EXPECT_FALSE(d.Stampa(*Documento(QString(), 1), Lavoro(1, 1, 1, QString()), &errore));
    EXPECT_EQ(errore.toStdString(), "no printer available");
}

// The designer's print: the engine's printer is the CUPS one, and what the server says
// reaches the user in a message.
TEST_F(StamporaCups, TheEngineShowsWhyNothingPrinted)
{
    AVVIA_CUPS(cups);
    ASSERT_TRUE(cups.AggiungiCoda(QStringLiteral("PDF"), true));
    ASSERT_TRUE(cups.Rifiuta(QStringLiteral("PDF"), QStringLiteral("out of labels")));
    test::CartellaProgrammaTemporanea cartella;
    DispositivoStampaCups d;
    d.ImpostaServer(cups.Indirizzo());
    ImpostaDispositivoStampa(&d);
    InterazioneScriptata ui;
    {
        clsStampora s(ui);
        EXPECT_EQ(s.Output().Device(), QStringLiteral("PDF"));  // the server's default
        s.SetPrintDestination(2);
        s.SetCopies(2);
        s.DrawLine(0, 0, 10, 10);
        EXPECT_FALSE(s.EndDoc());
    }
    ImpostaDispositivoStampa(nullptr);
    ASSERT_EQ(ui.messaggi.size(), 1);
    EXPECT_TRUE(ui.messaggi[0].testo.startsWith(
        QStringLiteral("Printing failed on the printer \"PDF\": the printer \"PDF\" does not accept jobs")))
        << ui.messaggi[0].testo.toStdString();
    EXPECT_TRUE(cups.Lavori(QStringLiteral("PDF")).isEmpty());
}

// A long job's PDF goes to the server from a temporary file: the process does not hold
// it (12 MB of pages here) in memory on the way.
TEST_F(StamporaCups, ALongJobIsNotHeldInMemory)
{
#ifdef CARTIGO_ASAN
    GTEST_SKIP() << "AddressSanitizer keeps freed memory in quarantine: the peak measures it, not the job";
#endif
    AVVIA_CUPS(cups);
    ASSERT_TRUE(cups.AggiungiCoda(QStringLiteral("PDF"))) << cups.motivo().toStdString();
    constexpr int pagine = 250;
    InfoStampante info;
    info.nome = QStringLiteral("PDF");
    DocumentoStampa doc(info);
    doc.StartDoc();
    quint32 x = 1;  // lines all over the page, which deflate cannot shrink much
    const auto caso = [&x](int n) { return int((x = x * 1664525u + 1013904223u) >> 8) % n; };
    for (int p = 0; p < pagine; ++p) {
        if (p > 0) doc.NewPage();
        for (int i = 0; i < 4000; ++i) doc.DrawLine(caso(11000), caso(16000), caso(11000), caso(16000));
    }
    doc.EndDoc();
    DispositivoStampaCups d;
    d.ImpostaServer(cups.Indirizzo());
    QString errore;
    bool ok = false;
    const qint64 crescita =
        test::CrescitaPicco([&] { ok = d.Stampa(doc, Lavoro(1, pagine, 1, QStringLiteral("lungo")), &errore); });
    ASSERT_TRUE(ok) << errore.toStdString();
    const auto lavoro = cups.AttendiLavoro(QStringLiteral("PDF"), Id(d.UltimoLavoro()));
    ASSERT_TRUE(lavoro) << cups.Registro().toStdString();
    EXPECT_EQ(lavoro->stato, 9) << cups.Registro().toStdString();
    EXPECT_EQ(ServerCups::InfoPdf(cups.Uscita(QStringLiteral("PDF"))).pagine, pagine);
    EXPECT_GT(QFileInfo(cups.Uscita(QStringLiteral("PDF"))).size(), 10 << 20);
    if (crescita >= 0) EXPECT_LT(crescita, 6 << 10) << crescita << " KB";
}

TEST_F(StamporaCups, ARollLabelIsAskedForAsACustomPageSize)
{
    const auto carta = [](double larghezza, double altezza) {
        InfoStampante i;
        i.larghezzaCarta = larghezza * kTwipsPerMm;
        i.altezzaCarta = altezza * kTwipsPerMm;
        return DispositivoStampaCups::PaginaPersonalizzata(i).toStdString();
    };
    EXPECT_EQ(carta(62, 29), "Custom.62x29mm");
    EXPECT_EQ(carta(25.91, 83.9), "Custom.25.91x83.9mm");
    EXPECT_EQ(carta(105, 148), "");  // A6 goes by its name
    EXPECT_EQ(carta(210, 297), "");

    AVVIA_CUPS(cups);
    ASSERT_TRUE(cups.AggiungiCoda(QStringLiteral("Rotolo"))) << cups.motivo().toStdString();
    DispositivoStampaCups d;
    d.ImpostaServer(cups.Indirizzo());
    QString errore;
    ASSERT_TRUE(d.Stampa(*Documento(QStringLiteral("Rotolo"), 3, 62, 29), Lavoro(1, 3, 1, QString()), &errore))
        << errore.toStdString();
    const auto lavoro = cups.AttendiLavoro(QStringLiteral("Rotolo"), Id(d.UltimoLavoro()));
    ASSERT_TRUE(lavoro) << cups.Registro().toStdString();
    EXPECT_EQ(lavoro->stato, 9) << cups.Registro().toStdString();
    EXPECT_EQ(lavoro->paginaPpd, QStringLiteral("Custom.62x29mm"));
    const auto pdf = ServerCups::InfoPdf(cups.Uscita(QStringLiteral("Rotolo")));
    EXPECT_EQ(pdf.pagine, 3);
    EXPECT_EQ(millesimi(pdf.pagina), QStringLiteral("175.748 x 82.205")) << lavoro->carta.toStdString();  // 62 x 29 mm, exactly
}
