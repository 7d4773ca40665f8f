// cartigo-print on queues with a label printer's driver (CUPS's bundled Zebra ZPL and DYMO
// drivers): the driver options chosen for the queue go with the job and reach the printer,
// and a driver without custom sizes gets its paper of the label's size or nothing at all.
#include "common/ServerCups.h"
#include "common/TestSupport.h"
#include "stampora/DocumentoStampa.h"
#include "stampora/Misura.h"
#include "stampora/StamporaCups.h"

#include <QFileInfo>
#include <QTemporaryDir>

using namespace cartigo;
using test::ServerCups;

namespace {

test::EsitoProgramma stampa(const ServerCups& cups, const QStringList& argomenti)
{
    QProcessEnvironment e = cups.Ambiente();
    e.insert(QStringLiteral("LANGUAGE"), QStringLiteral("en"));
    return test::EseguiProgramma(QStringLiteral(CARTIGO_PRINT), argomenti, e, 120000);
}

// A roll label of `larghezza` x `altezza` mm with one line of text.
QString etichettaRotolo(const QTemporaryDir& dir, int larghezza, int altezza)
{
    const QString file = dir.filePath(QStringLiteral("rotolo-%1x%2.eti").arg(larghezza).arg(altezza));
    test::ScriviFile(file, "oggLayout\r\n 1 \r\n 1 \r\n 0 \r\n 0 \r\n " + QByteArray::number(larghezza) + " \r\n " +
                               QByteArray::number(altezza) +
                               " \r\n 0 \r\n 0 \r\n 0 \r\n 0 \r\noggSupporto\r\nUnaPerPagina=True\r\n"
                               "oggTesto\r\n 100 \r\n 100 \r\n 1200 \r\n 300 \r\nRoll\r\nArial\r\n 10 \r\nFalse\r\n"
                               "False\r\n 0 \r\n 0 \r\n 0 \r\n 0 \r\n\r\n 0 \r\n");
    return file;
}

}  // namespace

// The user's options for a Zebra queue (lpoptions: darkness 25, 4 inches a second, mark
// sensing, 300 dpi) are the job's, and the driver writes them into the printer's ZPL.
TEST(CartigoPrintCupsDriver, TheQueuesDriverOptionsReachThePrinter)
{
    CARTIGO_AVVIA_CUPS(cups);
    const QString ppd = cups.PpdCups(QStringLiteral("zebra.ppd"));
    if (ppd.isEmpty()) GTEST_SKIP() << cups.motivo().toStdString();
    ASSERT_TRUE(cups.AggiungiCoda(QStringLiteral("Zebra"), false, ppd)) << cups.motivo().toStdString();
    int codice = -1;
    cups.Esegui(QStringLiteral("lpoptions"),
                {QStringLiteral("-p"), QStringLiteral("Zebra"), QStringLiteral("-o"), QStringLiteral("Darkness=25"),
                 QStringLiteral("-o"), QStringLiteral("zePrintRate=4"), QStringLiteral("-o"),
                 QStringLiteral("zeMediaTracking=Mark"), QStringLiteral("-o"), QStringLiteral("Resolution=300dpi")},
                &codice);
    ASSERT_EQ(codice, 0);
    QTemporaryDir dir;
    const auto e = stampa(cups, {etichettaRotolo(dir, 50, 30), QStringLiteral("--printer"), QStringLiteral("Zebra")});
    ASSERT_EQ(e.codice, 0) << e.err.toStdString();
    const auto lavoro = cups.AttendiLavoro(QStringLiteral("Zebra"), ServerCups::IdLavoro(e.out), 120);
    ASSERT_TRUE(lavoro) << cups.Registro().toStdString();
    EXPECT_EQ(lavoro->attributi.value(QStringLiteral("Darkness")), QStringLiteral("25"));
    EXPECT_EQ(lavoro->attributi.value(QStringLiteral("zePrintRate")), QStringLiteral("4"));
    EXPECT_EQ(lavoro->attributi.value(QStringLiteral("zeMediaTracking")), QStringLiteral("Mark"));
    EXPECT_EQ(lavoro->attributi.value(QStringLiteral("Resolution")), QStringLiteral("300dpi"));
    // the queue's own description does not go as options of the job
    EXPECT_FALSE(lavoro->attributi.contains(QStringLiteral("printer-location")));
    EXPECT_FALSE(lavoro->attributi.contains(QStringLiteral("device-uri")));
    if (!QFileInfo::exists(QStringLiteral("/usr/lib/cups/filter/rastertolabel"))) return;
    ASSERT_EQ(lavoro->stato, 9) << cups.Registro().toStdString();
    const QByteArray zpl = test::LeggiFile(cups.Uscita(QStringLiteral("Zebra")));
    EXPECT_TRUE(zpl.contains("~SD25")) << zpl.left(300).toStdString();
    EXPECT_TRUE(zpl.contains("^PR4")) << zpl.left(300).toStdString();
    EXPECT_TRUE(zpl.contains("^MNM")) << zpl.left(300).toStdString();
    // 50 mm at 300 dpi
    EXPECT_TRUE(zpl.contains("^PW591") || zpl.contains("^PW590")) << zpl.left(300).toStdString();

    // what the printer's properties chose for this print goes with it; the copies and the
    // paper stay the job's
    test::AssicuraApplicazione();
    DispositivoStampaCups d;
    d.ImpostaServer(cups.Indirizzo());
    InfoStampante info;
    info.nome = QStringLiteral("Zebra");
    info.larghezzaCarta = 50 * 1440 / 25.4;
    info.altezzaCarta = 30 * 1440 / 25.4;
    info.opzioni = {{QStringLiteral("Darkness"), QStringLiteral("12")},
                    {QStringLiteral("MediaType"), QStringLiteral("Direct")},
                    {QStringLiteral("copies"), QStringLiteral("7")},
                    {QStringLiteral("PageSize"), QStringLiteral("w90h18")}};
    DocumentoStampa doc(info);
    doc.StartDoc();
    doc.DrawRectangle(Misura(5, Unita::Millimetro), Misura(5, Unita::Millimetro), Misura(20, Unita::Millimetro),
                      Misura(20, Unita::Millimetro));
    doc.EndDoc();
    LavoroStampa l;
    QString errore;
    ASSERT_TRUE(d.Stampa(doc, l, &errore)) << errore.toStdString();
    const auto proprieta = cups.AttendiLavoro(QStringLiteral("Zebra"), d.UltimoLavoro().section('-', -1).toInt(), 120);
    ASSERT_TRUE(proprieta && proprieta->stato == 9) << cups.Registro().toStdString();
    EXPECT_EQ(proprieta->attributi.value(QStringLiteral("Darkness")), QStringLiteral("12"));
    EXPECT_EQ(proprieta->copie, 1);
    EXPECT_EQ(proprieta->paginaPpd, QStringLiteral("Custom.50x30mm"));
    const QByteArray zpl2 = test::LeggiFile(cups.Uscita(QStringLiteral("Zebra")));
    EXPECT_TRUE(zpl2.contains("~SD12")) << zpl2.left(300).toStdString();
    EXPECT_TRUE(zpl2.contains("^MTD")) << zpl2.left(300).toStdString();
}

// CUPS's DYMO driver has named sizes only: a 36 x 89 mm label gets its 1.4 x 3.5 inch
// paper, either way round; a 62 x 29 mm one is refused before anything prints, with the
// sizes it has, and exits non-zero.
TEST(CartigoPrintCupsDriver, ADriverWithoutCustomSizesGetsItsMatchingPaperOrNothing)
{
    CARTIGO_AVVIA_CUPS(cups);
    const QString ppd = cups.PpdCups(QStringLiteral("dymo.ppd"));
    if (ppd.isEmpty()) GTEST_SKIP() << cups.motivo().toStdString();
    ASSERT_TRUE(cups.AggiungiCoda(QStringLiteral("Dymo"), false, ppd)) << cups.motivo().toStdString();
    QTemporaryDir dir;
    for (const auto& [larghezza, altezza] : {std::pair{36, 89}, std::pair{89, 36}}) {
        SCOPED_TRACE(larghezza);
        const auto e =
            stampa(cups, {etichettaRotolo(dir, larghezza, altezza), QStringLiteral("--printer"), QStringLiteral("Dymo")});
        ASSERT_EQ(e.codice, 0) << e.err.toStdString();
        const auto lavoro = cups.AttendiLavoro(QStringLiteral("Dymo"), ServerCups::IdLavoro(e.out), 120);
        ASSERT_TRUE(lavoro) << cups.Registro().toStdString();
        // the driver's 1.4 x 3.5 inch paper (w101h252), as CUPS names it
        EXPECT_TRUE(lavoro->carta.contains(QStringLiteral("35.63x88.9mm"))) << lavoro->carta.toStdString();
        EXPECT_EQ(lavoro->stato, 9) << cups.Registro().toStdString();
        EXPECT_FALSE(e.err.contains(QStringLiteral("takes no custom"))) << e.err.toStdString();
        EXPECT_TRUE(lavoro->paginaPpd.isEmpty()) << lavoro->paginaPpd.toStdString();
    }
    const int prima = int(cups.Lavori(QStringLiteral("Dymo")).size());
    const auto e = stampa(cups, {etichettaRotolo(dir, 62, 29), QStringLiteral("--printer"), QStringLiteral("Dymo")});
    EXPECT_NE(e.codice, 0);
    EXPECT_TRUE(e.err.contains(QStringLiteral("takes no custom paper size and has no paper of 62.0 x 29.0 mm")))
        << e.err.toStdString();
    EXPECT_TRUE(e.err.contains(QStringLiteral("35.6 x 88.9"))) << e.err.toStdString();
    EXPECT_EQ(cups.Lavori(QStringLiteral("Dymo")).size(), prima);
}
