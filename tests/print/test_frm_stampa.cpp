// The print options dialog and the wait window, offscreen.
#include "../stampora/SupportoStampora.h"
#include "common/TestSupport.h"
#include "print/frmStampa.h"
#include "shell/Finestre.h"
#include "shell/InterazioneQt.h"
#include "shell/InterazioneScriptata.h"
#include "shell/StringTable.h"
#include "stampora/RichiesteStampora.h"
#include "stampora/StamporaQt.h"
#include "stampora/VistaAnteprima.h"
#include "stampora/frmStamporaAnteprima.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QWindow>

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
        EXPECT_EQ(f.lblRisoluzione(), nullptr);
    }
    RichiestaOpzioniStampa r;
    r.Risoluzione = QStringLiteral("Print resolution: 300 dpi");  // the job's words, shown as they are
    frmStampa f(r, ui);
    ASSERT_TRUE(f.lblRisoluzione());
    EXPECT_EQ(f.lblRisoluzione()->text(), r.Risoluzione);
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

    // values asked at print time: a box each, with its prompt and default; a value against
    // its rule keeps the dialog open with the focus on its box
    VariabileEtichetta lotto;
    lotto.Nome = QStringLiteral("Lot");
    lotto.Tipo = TipoVariabile::Richiesta;
    lotto.Domanda = QStringLiteral("Lot number");
    lotto.Regola = RegolaValore::Cifre;
    RichiestaOpzioniStampa rv;
    rv.Richieste = {lotto};
    rv.ValoriRichiesti = {QStringLiteral("12a")};
    frmStampa fv(rv, ui);
    fv.show();
    QApplication::setActiveWindow(&fv);
    ASSERT_EQ(fv.txtValori().size(), 1);
    EXPECT_EQ(fv.txtValori()[0]->text(), QStringLiteral("12a"));
    bool domanda = false;
    for (const QLabel* l : fv.findChildren<QLabel*>())
        domanda = domanda || (l->text() == QStringLiteral("Lot number") && l->buddy() == fv.txtValori()[0]);
    EXPECT_TRUE(domanda);
    fv.cmdOk()->click();
    EXPECT_FALSE(rv.Confermato);
    EXPECT_EQ(ui.messaggi.last().testo, QStringLiteral("Lot: the value must be digits only."));
    EXPECT_TRUE(fv.txtValori()[0]->hasFocus());
    fv.txtValori()[0]->setText(QStringLiteral("4711"));
    fv.cmdOk()->click();
    EXPECT_TRUE(rv.Confermato);
    EXPECT_EQ(rv.ValoriRichiesti, QStringList{QStringLiteral("4711")});
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

    // Over the main window: when it closes (and when any dialog shown through the seam
    // closes) the window it came from is active again, so its keys work without a click.
    QWidget finestra;
    finestra.resize(300, 200);
    finestra.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&finestra));
    frmAttesa b(&finestra);
    b.Mostra();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&b));
    b.Chiudi();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&finestra, 1000));
    InterazioneQt::RegistraDialogo(QStringLiteral("ProvaFuoco"), [](RichiestaDialogo&, QWidget* genitore) {
        QDialog d(genitore);
        QTimer::singleShot(50, &d, &QDialog::accept);
        return d.exec() == QDialog::Accepted;
    });
    struct Prova : RichiestaDialogo {
        QString nome() const override { return QStringLiteral("ProvaFuoco"); }
    } prova;
    InterazioneQt ui(&finestra);
    EXPECT_TRUE(ui.dialogo(prova));
    EXPECT_TRUE(QTest::qWaitForWindowActive(&finestra, 1000));
}

// A job sent to the preview shows its first pages while it is still recording, the page
// count growing; closing the preview or Cancel in the wait window (which stays usable
// in the preview's tool band, clear of the pages) stops the job.
TEST(FrmStampa, PreviewFillsInWhileTheJobRecords)
{
    test::AssicuraApplicazione();
    ImpostaLingua(Lingua::Inglese);
    enum class Azione { Attendi, ChiudiAnteprima, AnnullaAttesa };
    for (const Azione azione : {Azione::Attendi, Azione::ChiudiAnteprima, Azione::AnnullaAttesa}) {
        SCOPED_TRACE(int(azione));
        test::CartellaProgrammaTemporanea cartella;
        test::StampanteFinta stampante;
        DocumentoEtichetta doc;
        auto* t = doc.CreaTesto(567, 1440, 1000, 255);
        t->Caption = QStringLiteral("X");
        t->FontName = QStringLiteral("Arial");
        InterazioneScriptata ui;
        constexpr int kEtichette = 8000, kPagine = kEtichette / 8;
        ui.gestoriDialogo[RichiestaOpzioniStampa::Nome] = [](RichiestaDialogo& d) {
            InterazioneScriptata muto;
            return OkOpzioniStampa({false, true, QString::number(kEtichette), "1"},
                                   static_cast<RichiestaOpzioniStampa&>(d), muto, QString())
                .confermato;
        };
        ui.gestoriDialogo[QStringLiteral("frmStamporaDestinazioneStampa")] = [](RichiestaDialogo& d) {
            static_cast<RichiestaDestinazioneStampa&>(d).DestinazioneStampa = 1;
            return true;
        };
        frmStamporaAnteprima* f = frmStamporaAnteprima::Istanza();
        QString pagineAllaFine;
        bool stampaAllaFine = false;
        ui.gestoriDialogo[QStringLiteral("frmStamporaAnteprima")] = [&](RichiestaDialogo& d) {
            auto& r = static_cast<RichiestaAnteprima&>(d);
            if (!r.InCorso)
                QTimer::singleShot(0, f, [&] {
                    pagineAllaFine = f->txtNumeroPagine->text();
                    stampaAllaFine = f->Pulsante(QStringLiteral("stampa"))->isEnabled();
                    f->hide();
                });
            return MostraAnteprima(r);
        };
        // What the preview shows while the job records: looked at twice, at labels 2,000 and
        // 6,000, each time after letting the window's events run for a while.
        std::vector<int> pagineViste;
        bool stampaInCorso = true;
        int cursoreInCorso = -1;
        frmAttesa* attesa = nullptr;
        bool attesaSopraPagine = false;
        const auto osserva = [&] {
            QTest::qWait(150);
            if (!f->isVisible() || !f->Documento() || !f->Documento()->InDocumento()) return;
            pagineViste.push_back(f->txtNumeroPagine->text().toInt());
            cursoreInCorso = QGuiApplication::overrideCursor() ? QGuiApplication::overrideCursor()->shape() : -1;
            stampaInCorso = f->Pulsante(QStringLiteral("stampa"))->isEnabled();
            if (pagineViste.size() < 2) return;
            // by now the wait window shows in the preview's tool band, clear of the pages
            const QRect pagine(f->vspAnteprima->mapToGlobal(QPoint()), f->vspAnteprima->size());
            attesaSopraPagine = !attesa->isVisible() ||
                                QRect(attesa->mapToGlobal(QPoint()), attesa->size()).intersects(pagine) ||
                                attesa->window() != f;
            if (azione == Azione::ChiudiAnteprima) f->close();
            if (azione == Azione::AnnullaAttesa) {
                // through the window system, as a user's click, which a modal window would block
                auto* annulla = attesa->findChild<QPushButton*>();
                ASSERT_TRUE(annulla);
                QTest::mouseClick(annulla->window()->windowHandle(), Qt::LeftButton, {},
                                  annulla->mapTo(annulla->window(), annulla->rect().center()));
            }
        };
        class AttesaOsservata : public frmAttesa {
        public:
            std::function<void()> osserva;
            int n = 0;
            void Aggiorna(const QString& testo) override
            {
                frmAttesa::Aggiorna(testo);
                if (++n % 4000 == 2000) osserva();
            }
        };
        StampaEtichette job(doc, ui);
        job.CreaAttesa = [&] {
            auto a = std::make_unique<AttesaOsservata>();
            a->osserva = osserva;
            attesa = a.get();
            return a;
        };
        modCartigo::CursoreAttesa();  // as the window system's seam does for the job
        const EsitoStampa esito = job.Esegui();
        modCartigo::CursoreNormale();
        EXPECT_EQ(cursoreInCorso, Qt::BusyCursor);  // not the hourglass over a window that answers
        ASSERT_EQ(pagineViste.size(), 2u);
        EXPECT_GE(pagineViste[0], 1);
        EXPECT_GT(pagineViste[1], pagineViste[0]);  // the count grows as the job goes on
        EXPECT_LT(pagineViste[1], kPagine);
        EXPECT_FALSE(stampaInCorso);  // nothing prints before the document is complete
        EXPECT_FALSE(attesaSopraPagine);
        if (azione == Azione::Attendi) {
            EXPECT_EQ(esito, EsitoStampa::Stampata);
            EXPECT_EQ(pagineAllaFine, QString::number(kPagine));
            EXPECT_TRUE(stampaAllaFine);
        } else {
            EXPECT_EQ(esito, EsitoStampa::Annullata);
            QTest::qWait(250);  // the preview lets the dropped document go
            EXPECT_FALSE(f->isVisible());
        }
        EXPECT_EQ(f->Documento(), nullptr);
        frmStamporaAnteprima::Scarica();
    }
}

// The check's findings: one line each; a click names the finding and closes the list.
TEST(FrmStampa, FindingsListNamesTheOneClicked)
{
    test::AssicuraApplicazione();
    ImpostaLingua(Lingua::Inglese);
    RichiestaRilievi r;
    r.righe = {QStringLiteral("first"), QStringLiteral("second")};
    r.dpi = 203;
    frmControllo f(r);
    ASSERT_EQ(f.lstRilievi()->count(), 2);
    bool intestazione = false;
    for (const QLabel* l : f.findChildren<QLabel*>())
        intestazione =
            intestazione || l->text() == QStringLiteral("Findings: 2 (203 dpi). Click one to select its object.");
    EXPECT_TRUE(intestazione);
    f.show();
    const QRect riga = f.lstRilievi()->visualItemRect(f.lstRilievi()->item(1));
    QTest::mouseClick(f.lstRilievi()->viewport(), Qt::LeftButton, {}, riga.center());
    EXPECT_EQ(r.scelto, 1);
    EXPECT_EQ(f.result(), QDialog::Accepted);
}
