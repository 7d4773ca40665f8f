// cartigo-print on real queues: a private CUPS scheduler, a queue that refuses jobs, a
// stopped one, a missing one, no scheduler and one that never answers.
#include "common/ServerCups.h"
#include "common/TestSupport.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cups/ipp.h>

using namespace cartigo;
using test::ServerCups;

namespace {

test::EsitoProgramma stampa(const QProcessEnvironment& ambiente, const QStringList& argomenti)
{
    return test::EseguiProgramma(QStringLiteral(CARTIGO_PRINT), argomenti, ambiente);
}

// The environment of a cartigo-print that talks to `server` in English.
QProcessEnvironment ambiente(QProcessEnvironment e, const QString& server = {})
{
    if (!server.isEmpty()) e.insert(QStringLiteral("CUPS_SERVER"), server);
    e.insert(QStringLiteral("LANGUAGE"), QStringLiteral("en"));
    return e;
}

const QString kIndirizzi = QStringLiteral(CARTIGO_SOURCE_DIR "/samples/indirizzi.eti");

}  // namespace

// The 24 sample addresses (3 pages) in two copies: one job titled with the label's name.
TEST(CartigoPrintCups, PrintsTheSampleLabelsAsOneJob)
{
    CARTIGO_AVVIA_CUPS(cups);
    ASSERT_TRUE(cups.AggiungiCoda(QStringLiteral("PDF")));
    const auto e = stampa(ambiente(cups.Ambiente()), {kIndirizzi, QStringLiteral("--printer"), QStringLiteral("PDF"),
                                                      QStringLiteral("--copies"), QStringLiteral("2")});
    ASSERT_EQ(e.codice, 0) << e.err.toStdString();
    EXPECT_TRUE(e.out.startsWith(QStringLiteral("24 labels, 3 pages, printer PDF (2 copies, job PDF-")))
        << e.out.toStdString();
    const auto lavoro = cups.AttendiLavoro(QStringLiteral("PDF"), ServerCups::IdLavoro(e.out));
    ASSERT_TRUE(lavoro) << cups.Registro().toStdString();
    EXPECT_EQ(lavoro->stato, 9);
    EXPECT_EQ(lavoro->copie, 2);
    EXPECT_EQ(lavoro->titolo, QStringLiteral("indirizzi.eti"));
    EXPECT_EQ(cups.Lavori(QStringLiteral("PDF")).size(), 1);
    const auto pdf = ServerCups::InfoPdf(cups.Uscita(QStringLiteral("PDF")));
    EXPECT_EQ(pdf.pagine, 6);
    EXPECT_EQ(pdf.pagina, QStringLiteral("595 x 842"));
}

// Without a destination the label goes to the default printer, and cartigo-print says which.
TEST(CartigoPrintCups, WithoutADestinationPrintsOnTheDefaultPrinter)
{
    CARTIGO_AVVIA_CUPS(cups);
    ASSERT_TRUE(cups.AggiungiCoda(QStringLiteral("PDF")));
    // no default yet
    auto e = stampa(ambiente(cups.Ambiente()), {kIndirizzi});
    EXPECT_EQ(e.codice, 1);
    EXPECT_TRUE(e.err.contains(QStringLiteral("no default printer is set on the print server ") + cups.Indirizzo() +
                               QStringLiteral(" (printers: PDF)")))
        << e.err.toStdString();
    EXPECT_TRUE(cups.Lavori(QStringLiteral("PDF")).isEmpty());

    ASSERT_TRUE(cups.AggiungiCoda(QStringLiteral("Etichette"), true));
    e = stampa(ambiente(cups.Ambiente()), {kIndirizzi, QStringLiteral("--count"), QStringLiteral("1")});
    ASSERT_EQ(e.codice, 0) << e.err.toStdString();
    EXPECT_TRUE(e.err.contains(QStringLiteral("printing on the default printer Etichette"))) << e.err.toStdString();
    EXPECT_TRUE(e.out.startsWith(QStringLiteral("1 labels, 1 pages, printer Etichette (1 copies, job Etichette-")));

    // the user's own default (PRINTER) comes first
    QProcessEnvironment a = ambiente(cups.Ambiente());
    a.insert(QStringLiteral("PRINTER"), QStringLiteral("PDF"));
    e = stampa(a, {kIndirizzi, QStringLiteral("--count"), QStringLiteral("1")});
    ASSERT_EQ(e.codice, 0) << e.err.toStdString();
    EXPECT_TRUE(e.err.contains(QStringLiteral("printing on the default printer PDF")));
    ASSERT_TRUE(cups.AttendiLavoro(QStringLiteral("PDF"), ServerCups::IdLavoro(e.out)));
    EXPECT_EQ(ServerCups::InfoPdf(cups.Uscita(QStringLiteral("PDF"))).pagine, 1);
}

// Every way the job does not reach paper ends with its own message and a non-zero status.
TEST(CartigoPrintCups, SaysWhyTheJobDidNotPrint)
{
    CARTIGO_AVVIA_CUPS(cups);
    ASSERT_TRUE(cups.AggiungiCoda(QStringLiteral("PDF")));
    const QStringList pdf = {kIndirizzi, QStringLiteral("--printer"), QStringLiteral("PDF")};

    // the queue refuses jobs
    ASSERT_TRUE(cups.Rifiuta(QStringLiteral("PDF"), QStringLiteral("out of labels")));
    auto e = stampa(ambiente(cups.Ambiente()), pdf + QStringList{QStringLiteral("--copies"), QStringLiteral("600")});
    EXPECT_EQ(e.codice, 1);
    EXPECT_TRUE(e.err.contains(QStringLiteral("the printer \"PDF\" does not accept jobs"))) << e.err.toStdString();
    EXPECT_TRUE(e.err.contains(QStringLiteral("nothing printed")));
    EXPECT_TRUE(e.out.isEmpty()) << e.out.toStdString();
    EXPECT_TRUE(cups.Lavori(QStringLiteral("PDF")).isEmpty());
    ASSERT_TRUE(cups.Accetta(QStringLiteral("PDF")));

    // a stopped queue: the one job of 600 copies waits
    ASSERT_TRUE(cups.Ferma(QStringLiteral("PDF")));
    e = stampa(ambiente(cups.Ambiente()), pdf + QStringList{QStringLiteral("--copies"), QStringLiteral("600")});
    EXPECT_EQ(e.codice, 1);
    EXPECT_TRUE(e.err.contains(QStringLiteral("the printer \"PDF\" is stopped"))) << e.err.toStdString();
    EXPECT_TRUE(e.err.contains(QStringLiteral("is queued, not printed")));
    const auto lavori = cups.Lavori(QStringLiteral("PDF"));
    ASSERT_EQ(lavori.size(), 1);
    EXPECT_EQ(lavori[0].copie, 600);

    // a queue the server does not have
    e = stampa(ambiente(cups.Ambiente()), {kIndirizzi, QStringLiteral("--printer"), QStringLiteral("Altrove")});
    EXPECT_EQ(e.codice, 1);
    EXPECT_TRUE(e.err.contains(QStringLiteral("no printer named \"Altrove\" on the print server ") + cups.Indirizzo()))
        << e.err.toStdString();

    // no scheduler
    const QString vuoto = QStringLiteral("localhost:%1").arg(test::PortaLibera());
    e = stampa(ambiente(cups.Ambiente(), vuoto), pdf);
    EXPECT_EQ(e.codice, 1);
    EXPECT_TRUE(e.err.contains(QStringLiteral("the print server %1 cannot be reached").arg(vuoto)))
        << e.err.toStdString();

    // a scheduler that never answers: --timeout ends the wait
    test::ServerMuto muto;
    QElapsedTimer tempo;
    tempo.start();
    e = stampa(ambiente(cups.Ambiente(), muto.Indirizzo()), pdf + QStringList{QStringLiteral("--timeout"), "2"});
    EXPECT_LT(tempo.elapsed(), 20000);
    EXPECT_EQ(e.codice, 1);
    EXPECT_TRUE(
        e.err.contains(QStringLiteral("the print server %1 did not answer within 2 seconds").arg(muto.Indirizzo())))
        << e.err.toStdString();
}

// A roll label on a queue: one page a label, asked for as the label's own PageSize, and
// no page check on the way.
TEST(CartigoPrintCups, ARollLabelGoesWithItsOwnPageSize)
{
    CARTIGO_AVVIA_CUPS(cups);
    ASSERT_TRUE(cups.AggiungiCoda(QStringLiteral("Rotolo")));
    QTemporaryDir dir;
    const QString etichetta = dir.filePath(QStringLiteral("rotolo.eti"));
    test::ScriviFile(etichetta,
                     "oggLayout\r\n 1 \r\n 1 \r\n 0 \r\n 0 \r\n 62 \r\n 29 \r\n 0 \r\n 0 \r\n 0 \r\n 0 \r\n"
                     "oggSupporto\r\nUnaPerPagina=True\r\n"
                     "oggTesto\r\n 100 \r\n 100 \r\n 2000 \r\n 300 \r\nRoll\r\nArial\r\n 10 \r\nFalse\r\n"
                     "False\r\n 0 \r\n 0 \r\n 0 \r\n 0 \r\n\r\n 0 \r\n");
    const auto e = stampa(ambiente(cups.Ambiente()), {etichetta, QStringLiteral("--count"), QStringLiteral("4"),
                                                      QStringLiteral("--printer"), QStringLiteral("Rotolo")});
    ASSERT_EQ(e.codice, 0) << e.err.toStdString();
    EXPECT_TRUE(e.out.startsWith(QStringLiteral("4 labels, 4 pages, printer Rotolo"))) << e.out.toStdString();
    EXPECT_FALSE(e.err.contains(QStringLiteral("-> yes"))) << e.err.toStdString();
    const auto lavoro = cups.AttendiLavoro(QStringLiteral("Rotolo"), ServerCups::IdLavoro(e.out));
    ASSERT_TRUE(lavoro) << cups.Registro().toStdString();
    EXPECT_EQ(lavoro->stato, 9) << cups.Registro().toStdString();
    EXPECT_EQ(lavoro->paginaPpd, QStringLiteral("Custom.62x29mm"));
    EXPECT_EQ(lavoro->carta, QStringLiteral("custom_62x29mm_62x29mm"));
    const auto pdf = ServerCups::InfoPdf(cups.Uscita(QStringLiteral("Rotolo")));
    EXPECT_EQ(pdf.pagine, 4);
    const QStringList lati = pdf.pagina.split(QStringLiteral(" x "));
    ASSERT_EQ(lati.size(), 2) << pdf.pagina.toStdString();
    EXPECT_NEAR(lati[0].toDouble(), 62 * 72 / 25.4, 0.5);
    EXPECT_NEAR(lati[1].toDouble(), 29 * 72 / 25.4, 0.5);
}

// --check and --strict on a queue take its resolution: a Code 128 of 1.3 modules a dot at
// 203 dpi is found there and nothing is sent; at 300 dpi it has its dot.
TEST(CartigoPrintCups, TheCheckTakesTheQueuesResolution)
{
    CARTIGO_AVVIA_CUPS(cups);
    const QString ppd = cups.PpdCups(QStringLiteral("zebra.ppd"));
    if (ppd.isEmpty()) GTEST_SKIP() << cups.motivo().toStdString();
    for (const char* r : {"203", "300"})
        ASSERT_TRUE(cups.AggiungiCoda(QStringLiteral("ZPL") + QLatin1String(r), false, ppd,
                                      {QStringLiteral("Resolution=%1dpi").arg(QLatin1String(r))}))
            << cups.motivo().toStdString();
    QTemporaryDir dir;
    const QString etichetta = dir.filePath(QStringLiteral("stretta.eti"));
    test::ScriviFile(etichetta, "oggImmagine\r\n 567 \r\n 567 \r\n 960 \r\n 1200 \r\n22\r\n\r\nCARTIGO 128\r\n 0 \r\n");
    const auto a = [&](const char* opzione, const char* coda) {
        return stampa(ambiente(cups.Ambiente()),
                      {etichetta, QLatin1String(opzione), QStringLiteral("--printer"), QLatin1String(coda)});
    };
    auto e = a("--check", "ZPL203");
    EXPECT_EQ(e.codice, 4) << e.err.toStdString();
    EXPECT_TRUE(e.out.contains(QStringLiteral("(Code 128): a module of"))) << e.out.toStdString();
    EXPECT_EQ(a("--check", "ZPL300").codice, 0);
    e = a("--strict", "ZPL203");
    EXPECT_EQ(e.codice, 4) << e.err.toStdString();
    EXPECT_TRUE(cups.Lavori(QStringLiteral("ZPL203")).isEmpty());
}

// --printer Q --raw: a queue without a driver prints, byte for byte, the ZPL --zpl writes
// for the same job, at the queue's resolution, copies as ^PQ; --raw needs --printer; a queue
// that refuses the job says so (a missing queue is found before, as for any --printer).
TEST(CartigoPrintCups, ARawJobIsTheZplUnchanged)
{
    CARTIGO_AVVIA_CUPS(cups);
    test::RicevitoreGrezzo zebra;
    ASSERT_TRUE(cups.AggiungiCodaGrezza(QStringLiteral("Zebra"), QStringLiteral("socket://127.0.0.1:%1").arg(zebra.Porta())))
        << cups.motivo().toStdString();
    ASSERT_TRUE(cups.riesce(QStringLiteral("lpoptions"),
                            {QStringLiteral("-p"), QStringLiteral("Zebra"), QStringLiteral("-o"),
                             QStringLiteral("Resolution=300dpi")}));
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("atteso.zpl"));
    const QStringList lavoro = {kIndirizzi, QStringLiteral("--count"), QStringLiteral("3"), QStringLiteral("--copies"),
                                QStringLiteral("2")};
    auto e = stampa(ambiente(cups.Ambiente()), lavoro + QStringList{QStringLiteral("--zpl"), file,
                                                                     QStringLiteral("--dpi"), QStringLiteral("300")});
    ASSERT_EQ(e.codice, 0) << e.err.toStdString();
    e = stampa(ambiente(cups.Ambiente()),
               lavoro + QStringList{QStringLiteral("--printer"), QStringLiteral("Zebra"), QStringLiteral("--raw")});
    ASSERT_EQ(e.codice, 0) << e.err.toStdString();
    EXPECT_TRUE(e.out.contains(QStringLiteral("printer Zebra (raw ZPL, 300 dpi, job Zebra-"))) << e.out.toStdString();
    EXPECT_EQ(zebra.Ricevuto(), test::LeggiFile(file)) << cups.Registro().toStdString();
    const auto fatto = cups.AttendiLavoro(QStringLiteral("Zebra"), ServerCups::IdLavoro(e.out));
    ASSERT_TRUE(fatto);
    EXPECT_EQ(fatto->stato, IPP_JSTATE_COMPLETED) << cups.Registro().toStdString();

    // a queue that turns the job down
    ASSERT_TRUE(cups.Rifiuta(QStringLiteral("Zebra"), QStringLiteral("ribbon out")));
    e = stampa(ambiente(cups.Ambiente()), lavoro + QStringList{QStringLiteral("--printer"), QStringLiteral("Zebra"),
                                                                QStringLiteral("--raw")});
    EXPECT_EQ(e.codice, 1);
    EXPECT_TRUE(e.err.contains(QStringLiteral("the printer \"Zebra\" does not accept jobs")))
        << e.err.toStdString();
    EXPECT_TRUE(e.out.isEmpty());
    e = stampa(ambiente(cups.Ambiente()), {kIndirizzi, QStringLiteral("--raw")});
    EXPECT_EQ(e.codice, 2);
    EXPECT_TRUE(e.err.contains(QStringLiteral("--raw goes with --printer NAME"))) << e.err.toStdString();
}
