// The fonts of text objects on a Linux desktop without the Windows families that
// labels name: what the surface and the printout draw them with, and which names
// the font box accepts.
#include "common/TestSupport.h"
#include "designer/ComandiEtichetta.h"
#include "designer/Superficie.h"
#include "label/Caratteri.h"
#include "shell/InterazioneScriptata.h"
#include "shell/StringTable.h"
#include "stampora/DocumentoStampa.h"

#include <QFontDatabase>
#include <QFontInfo>

using namespace cartigo;

namespace {
struct Famiglia {
    const char* windows;
    const char* liberation;
};
const Famiglia kFamiglie[] = {
    {"Microsoft Sans Serif", "Liberation Sans"},
    {"MS Sans Serif", "Liberation Sans"},
    {"Arial", "Liberation Sans"},
    {"Tahoma", "Liberation Sans"},
    {"Times New Roman", "Liberation Serif"},
    {"Courier New", "Liberation Mono"},
};
}  // namespace

TEST(Caratteri, WindowsFamiliesAreDrawnAndAcceptedThroughTheirLiberationFaces)
{
    test::AssicuraApplicazione();
    const QStringList installate = Caratteri::FamiglieInstallate();
    for (const char* l : {"Liberation Sans", "Liberation Serif", "Liberation Mono"})
        if (!installate.contains(QLatin1String(l))) GTEST_SKIP() << l << " is not installed (fonts-liberation)";

    DocumentoEtichetta doc;
    InterazioneScriptata ui;
    ComandiEtichetta cmd(doc, ui);
    cmd.impostaFonts(installate);
    for (const auto& f : kFamiglie) {
        const QString windows = QString::fromLatin1(f.windows);
        SCOPED_TRACE(f.windows);
        if (installate.contains(windows)) continue;  // the real family is there: it is drawn
        for (bool grassetto : {false, true}) {
            OggettoEtichetta o;
            o.FontName = windows;
            o.FontBold = grassetto;
            const QFontInfo schermo(Superficie::CarattereOggetto(o, ScalaSuperficie{}));
            EXPECT_EQ(schermo.family(), QLatin1String(f.liberation));
            EXPECT_EQ(schermo.bold(), grassetto);
            const QFontInfo carta(DocumentoStampa::FontTwips(CarattereStampa{windows, 10, grassetto, false}));
            EXPECT_EQ(carta.family(), QLatin1String(f.liberation));
        }
        // The font box takes the name as it stands.
        EXPECT_TRUE(cmd.VerificaNomeFont(windows));
    }
    EXPECT_FALSE(cmd.VerificaNomeFont(QStringLiteral("Nessun carattere")));
    EXPECT_EQ(ui.testi(), QStringList{LoadResString(154)});
    // Other families are drawn as themselves.
    OggettoEtichetta o;
    o.FontName = QStringLiteral("Liberation Serif");
    EXPECT_EQ(QFontInfo(Superficie::CarattereOggetto(o, ScalaSuperficie{})).family(), o.FontName);
}
