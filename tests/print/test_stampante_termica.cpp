// The label's thermal printer settings at the start of a ZPL job: what each becomes, in
// dots of the job's resolution, and that a job sends them once before its first label.
#include "common/TestSupport.h"
#include "stampora/ScrittoreZpl.h"

#include <QTemporaryDir>

using namespace cartigo;

namespace {

test::EsitoProgramma stampa(const QStringList& argomenti)
{
    return test::EseguiProgramma(QStringLiteral(CARTIGO_PRINT), argomenti, QProcessEnvironment::systemEnvironment(),
                                 120000);
}

// A 50 x 30 mm roll label with one text, and the thermal printer's section when given.
QByteArray etichetta(const QByteArray& termica)
{
    QByteArray e = "oggDatabase\r\n\r\n\r\n\r\n\r\n 0 \r\n\r\n\r\n\r\nFalse\r\n\r\n"
                   "oggLayout\r\n 1 \r\n 1 \r\n 0 \r\n 0 \r\n 50 \r\n 30 \r\n 0 \r\n 0 \r\n 0 \r\n 0 \r\n"
                   "oggSupporto\r\nUnaPerPagina=True\r\n";
    if (!termica.isEmpty()) e += "oggStampanteTermica\r\n" + termica;
    return e + "oggTesto\r\n 100 \r\n 100 \r\n 1500 \r\n 300 \r\nLOT 42\r\nArial\r\n 10 \r\nFalse\r\nFalse\r\n"
               " 0 \r\n 0 \r\n 16777215 \r\n 0 \r\n\r\n 0 \r\n";
}

}  // namespace

TEST(StampanteTermica, EachSettingBecomesItsCommandInDotsOfTheJob)
{
    using T = StampanteTermica;
    EXPECT_EQ(InizioLavoroZpl(T{}, 203), QByteArray());
    T t;
    t.Scurezza = 7;
    EXPECT_EQ(InizioLavoroZpl(t, 203), "~SD07\n");  // no empty format
    t.Velocita = 3;
    t.TipoSupporto = T::Supporto::TrasferimentoTermico;
    t.TipoRilevamento = T::Rilevamento::Intervallo;
    t.SpostamentoAlto = 15;
    t.SpostamentoSinistra = -2;
    EXPECT_EQ(InizioLavoroZpl(t, 203), "~SD07\n^XA^PR3^MTT^MNY^LT120^LS-16^XZ\n");
    // ^LT stops at 120 dot rows
    EXPECT_EQ(InizioLavoroZpl(t, 300), "~SD07\n^XA^PR3^MTT^MNY^LT120^LS-24^XZ\n");
    t = {};
    t.TipoSupporto = T::Supporto::TermicoDiretto;
    t.TipoRilevamento = T::Rilevamento::Tacca;
    t.SpostamentoAlto = -0.5;
    EXPECT_EQ(InizioLavoroZpl(t, 600), "^XA^MTD^MNM^LT-12^XZ\n");
    t.TipoRilevamento = T::Rilevamento::Continuo;
    t.SpostamentoAlto = 0.0;  // set to nought: the printer's own is replaced
    EXPECT_EQ(InizioLavoroZpl(t, 600), "^XA^MTD^MNN^LT0^XZ\n");
}

// cartigo-print sends them once, before the first label, to a file as to the raw port's
// temporary file; a label without them writes its labels as before.
TEST(StampanteTermica, AZplJobSendsThemOnceBeforeTheFirstLabel)
{
    QTemporaryDir dir;
    const QString senza = dir.filePath(QStringLiteral("senza.eti"));
    const QString con = dir.filePath(QStringLiteral("con.eti"));
    test::ScriviFile(senza, etichetta({}));
    test::ScriviFile(con, etichetta("Scurezza=22\r\nVelocita=4\r\nSupporto=TermicoDiretto\r\nRilevamento=Intervallo\r\n"
                                    "SpostamentoAlto=1\r\nSpostamentoSinistra=0,5\r\n"));
    const QString zplSenza = dir.filePath(QStringLiteral("senza.zpl"));
    const QString zplCon = dir.filePath(QStringLiteral("con.zpl"));
    auto e = stampa({senza, QStringLiteral("--zpl"), zplSenza, QStringLiteral("--copies"), QStringLiteral("2")});
    ASSERT_EQ(e.codice, 0) << e.err.toStdString();
    e = stampa({con, QStringLiteral("--zpl"), zplCon, QStringLiteral("--dpi"), QStringLiteral("300"),
                QStringLiteral("--copies"), QStringLiteral("2")});
    ASSERT_EQ(e.codice, 0) << e.err.toStdString();
    const QByteArray a = test::LeggiFile(zplSenza), b = test::LeggiFile(zplCon);
    EXPECT_TRUE(a.startsWith("^XA^CI28^PW")) << a.left(80).toStdString();
    const QByteArray inizio = "~SD22\n^XA^PR4^MTD^MNY^LT12^LS6^XZ\n";
    ASSERT_TRUE(b.startsWith(inizio + "^XA^CI28^PW591^LL355")) << b.left(120).toStdString();
    EXPECT_EQ(b.count("~SD"), 1);
    EXPECT_EQ(b.count("^MT"), 1);
}
