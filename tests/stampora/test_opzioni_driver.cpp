// The options chosen in the printer's properties: kept by Qt's CUPS print engine, read back
// into the printer the document prints on, and carried by the document to its job.
#include "common/TestSupport.h"
#include "shell/InterazioneScriptata.h"
#include "stampora/AzioniOutput.h"
#include "stampora/DocumentoStampa.h"
#include "stampora/RichiesteStampora.h"
#include "stampora/StamporaQt.h"

#include <QPrinter>

using namespace cartigo;

TEST(OpzioniDriver, ThePropertiesChoicesGoWithTheDocumentsPrinter)
{
    test::AssicuraApplicazione();
    const QList<std::pair<QString, QString>> scelte = {{QStringLiteral("Darkness"), QStringLiteral("25")},
                                                       {QStringLiteral("Resolution"), QStringLiteral("300dpi")}};
    // the printer set-up dialog's answer becomes the document's printer, options and all
    InterazioneScriptata ui;
    ui.gestoriDialogo[QStringLiteral("ImpostaStampante")] = [&](RichiestaDialogo& r) {
        auto& s = static_cast<RichiestaImpostaStampante&>(r);
        EXPECT_TRUE(s.Stampante.opzioni.isEmpty());
        s.Stampante.nome = QStringLiteral("Zebra");
        s.Stampante.opzioni = scelte;
        return true;
    };
    DocumentoStampa doc(InfoStampante{});
    ASSERT_TRUE(ImpostaStampanteOutput(doc, ui));
    EXPECT_EQ(doc.Stampante().opzioni, scelte);

    QPrinter p;
    if (!p.printEngine() || p.outputFormat() != QPrinter::NativeFormat)
        GTEST_SKIP() << "no CUPS printer for Qt here: QPrinter prints to PDF, without the CUPS engine";
    ImpostaOpzioniDriver(p, scelte);
    EXPECT_EQ(OpzioniDriver(p), scelte);
}
