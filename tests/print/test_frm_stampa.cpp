// The print options dialog and the wait window, offscreen.
#include "common/TestSupport.h"
#include "print/frmStampa.h"
#include "shell/InterazioneScriptata.h"
#include "shell/StringTable.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace cartigo;

TEST(FrmStampa, StartsFreshAndValidatesWithFocus)
{
    test::AssicuraApplicazione();
    ImpostaLingua(Lingua::Inglese);
    InterazioneScriptata ui;
    for (bool connesso : {true, false}) {
        RichiestaOpzioniStampa r;
        r.tutteSelezionata = connesso;
        frmStampa f(r, ui);
        EXPECT_EQ(f.windowTitle(), QStringLiteral("Print"));
        EXPECT_EQ(f.optStampa(1)->text(), QStringLiteral("Print number of labels"));
        EXPECT_EQ(f.optStampa(0)->isChecked(), connesso);
        EXPECT_EQ(f.optStampa(1)->isChecked(), !connesso);
        EXPECT_EQ(f.txtNumeroEtichette()->text(), QStringLiteral("1"));
        EXPECT_EQ(f.txtPrimaEtichetta()->text(), QStringLiteral("1"));
        EXPECT_FALSE(f.chkStampaBordi()->isChecked());
        EXPECT_FALSE(f.chkStampaCrocicchi()->isChecked());
    }
    RichiestaOpzioniStampa r;
    frmStampa f(r, ui);
    f.show();
    QApplication::setActiveWindow(&f);
    f.txtNumeroEtichette()->setText(QStringLiteral("0"));
    f.cmdOk()->click();
    EXPECT_TRUE(f.isVisible());
    EXPECT_FALSE(r.Confermato);
    ASSERT_EQ(ui.messaggi.size(), 1);
    EXPECT_EQ(ui.messaggi[0].testo, QStringLiteral("Enter a positive value."));
    EXPECT_EQ(ui.messaggi[0].titolo, QStringLiteral("Print"));
    EXPECT_TRUE(f.txtNumeroEtichette()->hasFocus());
    // letters are refused in the boxes
    f.txtPrimaEtichetta()->setFocus();
    QTest::keyClicks(f.txtPrimaEtichetta(), QStringLiteral("a2"));
    EXPECT_EQ(f.txtPrimaEtichetta()->text(), QStringLiteral("2"));
    f.txtNumeroEtichette()->setText(QStringLiteral("12"));
    f.chkStampaBordi()->setChecked(true);
    f.cmdOk()->click();
    EXPECT_TRUE(r.Confermato);
    EXPECT_EQ(r.NumeroEtichette, 12);
    EXPECT_EQ(r.PrimaEtichetta, 2);
    EXPECT_TRUE(r.StampaBordi);
}

TEST(FrmStampa, WaitWindowCountsAndCancels)
{
    test::AssicuraApplicazione();
    ImpostaLingua(Lingua::Italiano);
    frmAttesa a;
    EXPECT_EQ(a.windowTitle(), QStringLiteral("ATTENDERE"));
    a.Mostra();
    a.Aggiorna(QStringLiteral("Etichetta 3/40"));
    EXPECT_EQ(a.lblInfo()->text(), QStringLiteral("Etichetta 3/40"));
    EXPECT_FALSE(a.Annullata());
    QTest::keyClick(&a, Qt::Key_Escape);
    EXPECT_TRUE(a.Annullata());
    EXPECT_TRUE(a.isVisible());  // stays until the job closes it
    a.Chiudi();
    EXPECT_FALSE(a.isVisible());
}
