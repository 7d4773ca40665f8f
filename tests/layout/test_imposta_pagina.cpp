// The sheet layout dialog: loading, the check of required values (order, beep,
// message, focus) through the scripted seam, storing, Cancel, and the main
// window's command.
#include "app/frmCartigo.h"
#include "common/TestSupport.h"
#include "layout/CatalogoEtichette.h"
#include "layout/ImpostaPagina.h"
#include "layout/frmImpostaPagina.h"
#include "shell/InterazioneScriptata.h"
#include "shell/StringTable.h"

#include <QComboBox>
#include <QLabel>

#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

using namespace cartigo;
using cartigo::test::AssicuraApplicazione;
using cartigo::test::kLocali;
using cartigo::test::LocaleTemporaneo;

TEST(ImpostaPagina, VerificaInOrdine)
{
    ImpostaLingua(Lingua::Italiano);  // the messages checked are the Italian ones
    struct Caso {
        const char* nome;
        std::vector<std::pair<int, const char*>> testi;  // box -> text
        int atteso;
    };
    const Caso casi[] = {
        {"all valid", {}, -1},
        {"count across and width at 0: the count first", {{0, "0"}, {4, "0"}}, 0},
        {"width alone", {{4, "0"}}, 4},
        {"count down empty", {{1, ""}}, 1},
        {"negative height", {{5, "-1"}}, 5},
        {"height before width? no: width first", {{4, "-2"}, {5, "0"}}, 4},
        {"margins, gaps and origins may be zero or negative",
         {{2, "-5"}, {3, "0"}, {6, ""}, {7, "-1"}, {8, "-10"}, {9, ""}},
         -1},
        {"text that is not a number reads as 0", {{0, "abc"}}, 0},
    };
    for (const auto& caso : kLocali) {
        for (const auto& c : casi) {
            SCOPED_TRACE(std::string(caso.nome) + ": " + c.nome);
            ValoriImpostaPagina v;
            v.CaricaLayout(LayoutEtichetta{}, caso.loc);
            for (const auto& [i, t] : c.testi) v.testi[size_t(i)] = QString::fromLatin1(t);
            InterazioneScriptata ui;
            EXPECT_EQ(v.Verifica_campi_obbligatori(ui, QStringLiteral("Titolo"), caso.loc), c.atteso);
            if (c.atteso < 0) {
                EXPECT_TRUE(ui.messaggi.isEmpty());
                EXPECT_EQ(ui.beep_, 0);
            } else {
                ASSERT_EQ(ui.messaggi.size(), 1);
                EXPECT_EQ(ui.messaggi[0].testo, QStringLiteral("Inserire un valore positivo."));
                EXPECT_EQ(ui.messaggi[0].titolo, QStringLiteral("Titolo"));
                EXPECT_EQ(ui.messaggi[0].icona, Icona::Esclamazione);
                EXPECT_EQ(ui.beep_, 1);
            }
        }
    }
}

// Counts load whole, measures with three decimals; all ten values are stored.
TEST(ImpostaPagina, CountsWholeMeasuresWithThreeDecimalsAndAllTenSaved)
{
    const char* caricati[] = {"2", "4", "10.000", "10.000", "80.000", "50.000", "10.000", "10.000", "0.000", "0.000"};
    for (const auto& caso : kLocali) {
        ValoriImpostaPagina v;
        v.CaricaLayout(LayoutEtichetta{}, caso.loc);
        for (int i = 0; i < ValoriImpostaPagina::NumeroCampi; ++i)
            EXPECT_EQ(v.testi[size_t(i)], QString::fromLatin1(caricati[i]).replace(QLatin1Char('.'), caso.loc.decimale))
                << caso.nome << " " << i;
        const char* testi[] = {"2.5", "3", "1,234.5", "", "100", "50", "0", "-2", "-1.25", "0.001"};
        for (int i = 0; i < 10; ++i) {
            QString t = QString::fromLatin1(testi[i]);
            if (caso.loc.decimale == QLatin1Char(','))
                t.replace(QLatin1Char(','), QLatin1Char('#'))
                    .replace(QLatin1Char('.'), QLatin1Char(','))
                    .replace(QLatin1Char('#'), QLatin1Char('.'));
            v.testi[size_t(i)] = t;
        }
        LayoutEtichetta l;
        v.SalvaLayout(l, caso.loc);
        const double attesi[] = {2.5, 3, 1234.5, 0, 100, 50, 0, -2, -1.25, 0.001};
        for (int i = 0; i < 10; ++i) EXPECT_DOUBLE_EQ(l.valore(i), attesi[i]) << caso.nome << " " << i;
    }
}

namespace {
struct Dialogo : ::testing::Test {
    void SetUp() override { AssicuraApplicazione(); }
    LocaleTemporaneo loc{ImpostazioniLocali::italiano()};
    InterazioneScriptata ui;
};
}  // namespace

TEST_F(Dialogo, CampiEdidascalieECancel)
{
    frmImpostaPagina dlg(&ui);
    LayoutEtichetta l;
    l.AltezzaEtichetta = 33;
    dlg.CaricaLayout(l);
    EXPECT_EQ(dlg.windowTitle(), LoadResString(196));
    EXPECT_EQ(dlg.cmdOk()->text(), QStringLiteral("Ok"));
    EXPECT_EQ(dlg.cmdCancel()->text(), QStringLiteral("Cancel"));
    for (int i = 0; i < 10; ++i) {
        QLineEdit* c = dlg.Campo(i);
        EXPECT_EQ(c->objectName(), QString::fromLatin1(ValoriImpostaPagina::Campi[size_t(i)].nome));
        EXPECT_EQ(c->maxLength(), 10);
        if (i + 1 < 10) {
            QWidget* dopo = c->nextInFocusChain();
            while (dopo != c && !(dopo->focusPolicy() & Qt::TabFocus)) dopo = dopo->nextInFocusChain();
            EXPECT_EQ(dopo, dlg.Campo(i + 1)) << i;
        }
    }
    EXPECT_EQ(dlg.Campo(4)->text(), QStringLiteral("80,000"));
    // the origin's note: in the origin frame, next to the two fields it speaks of; in
    // either language it names the print shift it compensates
    QLabel* nota = dlg.findChild<QLabel*>(QStringLiteral("lblNotaOrigine"));
    ASSERT_TRUE(nota);
    EXPECT_TRUE(nota->parentWidget()->isAncestorOf(dlg.Campo(8)));
    EXPECT_EQ(nota->text(), LoadResString(1315).arg(4));
    for (const Lingua lingua : {Lingua::Italiano, Lingua::Inglese}) {
        ImpostaLingua(lingua);
        EXPECT_TRUE(LoadResString(1315).arg(4).contains(QStringLiteral("4 mm")));
        EXPECT_TRUE(LoadResString(1315).arg(4).contains(QStringLiteral("-4")));
    }
    ImpostaLingua(LinguaUtente());
    // Cancel stores nothing.
    dlg.Campo(5)->setText(QStringLiteral("70"));
    QTest::mouseClick(dlg.cmdCancel(), Qt::LeftButton);
    EXPECT_FALSE(dlg.PremutoOk());
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    EXPECT_EQ(dlg.Layout(), l);
}

TEST_F(Dialogo, OkConValoriErratiMostraIlMessaggioESpostaIlFuoco)
{
    ImpostaLingua(Lingua::Italiano);  // the messages checked are the Italian ones
    frmImpostaPagina dlg(&ui);
    dlg.CaricaLayout(LayoutEtichetta{});
    dlg.Campo(0)->setText(QStringLiteral("0,000"));
    dlg.Campo(4)->setText(QStringLiteral("0,000"));
    dlg.Campo(2)->setText(QStringLiteral("-3,000"));
    dlg.cmdOk_Click();
    ASSERT_EQ(ui.messaggi.size(), 1);
    EXPECT_EQ(ui.messaggi[0].testo, QStringLiteral("Inserire un valore positivo."));
    EXPECT_EQ(ui.messaggi[0].titolo, dlg.windowTitle());
    EXPECT_EQ(ui.beep_, 1);
    EXPECT_EQ(dlg.focusWidget(), dlg.Campo(0));
    EXPECT_FALSE(dlg.PremutoOk());
    EXPECT_EQ(dlg.Campo(4)->text(), QStringLiteral("0,000"));  // the values stay as typed

    dlg.Campo(0)->setText(QStringLiteral("3,000"));
    dlg.cmdOk_Click();
    ASSERT_EQ(ui.messaggi.size(), 2);
    EXPECT_EQ(dlg.focusWidget(), dlg.Campo(4));

    dlg.Campo(4)->setText(QStringLiteral("100"));
    dlg.cmdOk_Click();
    EXPECT_EQ(ui.messaggi.size(), 2);
    EXPECT_TRUE(dlg.PremutoOk());
    EXPECT_EQ(dlg.Layout().EtichetteOrizzontali, 3);
    EXPECT_EQ(dlg.Layout().LarghezzaEtichetta, 100);
    EXPECT_EQ(dlg.Layout().MargineSinistro, -3);
}

TEST_F(Dialogo, ComandoDellaFinestraPrincipale)
{
    frmCartigo f(&ui);
    f.Documento().ImpostaModificato(false);
    ui.gestoriDialogo[RichiestaImpostaPagina::Nome] = [](RichiestaDialogo& r) {
        auto& ri = dynamic_cast<RichiestaImpostaPagina&>(r);
        EXPECT_EQ(ri.layout.LarghezzaEtichetta, 80);
        ri.layout.LarghezzaEtichetta = 100;
        ri.layout.EtichetteOrizzontali = 2.5;
        ri.layout.Risoluzione = 203;
        return true;
    };
    f.mnuImpostaPagina_Click();
    EXPECT_EQ(ui.dialoghi, QStringList{QStringLiteral("frmImpostaPagina")});
    EXPECT_EQ(f.Documento().Layout().LarghezzaEtichetta, 100);
    EXPECT_EQ(f.Documento().Layout().EtichetteOrizzontali, 2.5);
    EXPECT_EQ(f.Documento().Layout().Risoluzione, 203);
    EXPECT_TRUE(f.Documento().Modificato());  // the layout is saved with the label: closing asks
    EXPECT_EQ(ui.attese, 0);

    // Cancelled: nothing changes.
    f.Documento().ImpostaModificato(false);
    ui.gestoriDialogo[RichiestaImpostaPagina::Nome] = [](RichiestaDialogo& r) {
        dynamic_cast<RichiestaImpostaPagina&>(r).layout.LarghezzaEtichetta = 5;
        return false;
    };
    f.Toolbar_ButtonClick(QStringLiteral("imposta"));
    EXPECT_EQ(f.Documento().Layout().LarghezzaEtichetta, 100);
    EXPECT_FALSE(f.Documento().Modificato());
    EXPECT_EQ(ui.dialoghi.size(), 2);
    // The confirmed set-up is one undo step, resolution and all.
    f.Documento().Storia().undo();
    EXPECT_EQ(f.Documento().Layout().Risoluzione, 0);
    EXPECT_EQ(f.Documento().Layout().LarghezzaEtichetta, 80);
}

// Print resolution and bar width reduction: loaded, checked and stored with the layout (in the
// designer one undo step with the other values: ComandoDellaFinestraPrincipale).
TEST_F(Dialogo, PrintResolutionAndBarWidthReduction)
{
    EXPECT_EQ(ValoriImpostaPagina::LeggiRisoluzione(QStringLiteral("none (vector)")), 0.0);
    EXPECT_EQ(ValoriImpostaPagina::LeggiRisoluzione(QStringLiteral(" 203 dpi")), 203.0);
    EXPECT_FALSE(ValoriImpostaPagina::LeggiRisoluzione(QStringLiteral("40")));
    EXPECT_EQ(ValoriImpostaPagina::LeggiRiduzione(QStringLiteral("")), QString());
    EXPECT_EQ(ValoriImpostaPagina::LeggiRiduzione(QStringLiteral("0,08 mm")), QStringLiteral("0.08 mm"));
    EXPECT_EQ(ValoriImpostaPagina::LeggiRiduzione(QStringLiteral("2")), QStringLiteral("2 dot"));
    EXPECT_FALSE(ValoriImpostaPagina::LeggiRiduzione(QStringLiteral("thin")));

    ImpostaLingua(Lingua::Inglese);
    frmImpostaPagina dlg(&ui);
    dlg.CaricaLayout(LayoutEtichetta{});
    EXPECT_EQ(dlg.cmbRisoluzione()->currentText(), QStringLiteral("none (vector)"));
    EXPECT_EQ(dlg.txtRiduzione()->placeholderText(), QStringLiteral("automatic"));
    dlg.cmbRisoluzione()->setCurrentText(QStringLiteral("12"));
    dlg.cmdOk_Click();
    EXPECT_EQ(ui.testi(), QStringList{QStringLiteral("The print resolution goes from 50 to 4800 dpi.")});
    EXPECT_EQ(dlg.result(), 0);
    dlg.cmbRisoluzione()->setCurrentText(QStringLiteral("300"));
    dlg.txtRiduzione()->setText(QStringLiteral("1 dot"));
    dlg.cmdOk_Click();
    EXPECT_EQ(dlg.Layout().Risoluzione, 300);
    EXPECT_EQ(dlg.Layout().RiduzioneBarre, QStringLiteral("1 dot"));
}

// The thermal printer group: each setting is the printer's own until chosen, Ok stores what
// is chosen, a shift out of range is named and takes the focus, a product keeps them.
TEST_F(Dialogo, ThermalPrinterSettings)
{
    using T = StampanteTermica;
    const auto vuoto = ValoriImpostaPagina::LeggiSpostamento(QStringLiteral(""), 15);
    ASSERT_TRUE(vuoto);
    EXPECT_FALSE(vuoto->has_value());  // the printer's own
    EXPECT_EQ(ValoriImpostaPagina::LeggiSpostamento(QStringLiteral(" -1,5 mm"), 15).value_or(0), -1.5);
    EXPECT_FALSE(ValoriImpostaPagina::LeggiSpostamento(QStringLiteral("15.5"), 15));
    EXPECT_FALSE(ValoriImpostaPagina::LeggiSpostamento(QStringLiteral("up"), 15));

    ImpostaLingua(Lingua::Inglese);
    frmImpostaPagina dlg(&ui);
    LayoutEtichetta l;
    l.Termica.Velocita = 3;
    l.Termica.SpostamentoSinistra = 0.5;
    dlg.CaricaLayout(l);
    EXPECT_EQ(dlg.spnScurezza()->text(), QStringLiteral("printer's own"));
    EXPECT_EQ(dlg.spnVelocita()->text(), QStringLiteral("3 in/s"));
    EXPECT_EQ(dlg.cmbTipoSupporto()->currentText(), QStringLiteral("printer's own"));
    EXPECT_EQ(dlg.cmbRilevamento()->count(), 4);
    EXPECT_EQ(dlg.txtSpostamentoAlto()->text(), QString());
    EXPECT_EQ(dlg.txtSpostamentoSinistra()->text(), QStringLiteral("0,5"));  // the user's numbers

    dlg.spnScurezza()->setValue(22);
    dlg.cmbTipoSupporto()->setCurrentIndex(2);
    dlg.cmbRilevamento()->setCurrentIndex(3);
    dlg.txtSpostamentoAlto()->setText(QStringLiteral("16"));
    dlg.cmdOk_Click();
    EXPECT_EQ(ui.testi(), QStringList{LoadResString(3156).arg(15)});
    EXPECT_EQ(dlg.focusWidget(), dlg.txtSpostamentoAlto());
    EXPECT_FALSE(dlg.PremutoOk());

    // a product of the catalogue changes the sheet, not the printer
    dlg.txtSpostamentoAlto()->setText(QStringLiteral("-2"));
    ProdottoEtichetta p;
    p.marca = QStringLiteral("Roll");
    p.codice = QStringLiteral("62");
    p.colonne = p.righe = 1;
    p.larghezza = 62;
    p.altezza = 29;
    ValoriImpostaPagina v;
    v.supporto.Termica.Scurezza = 5;
    v.ApplicaProdotto(p, ImpostazioniLocali::correnti());
    EXPECT_EQ(v.supporto.Termica.Scurezza, 5);

    dlg.cmdOk_Click();
    ASSERT_TRUE(dlg.PremutoOk());
    T attesa;
    attesa.Scurezza = 22;
    attesa.Velocita = 3;
    attesa.TipoSupporto = T::Supporto::TermicoDiretto;
    attesa.TipoRilevamento = T::Rilevamento::Continuo;
    attesa.SpostamentoAlto = -2;
    attesa.SpostamentoSinistra = 0.5;
    EXPECT_EQ(dlg.Layout().Termica, attesa);
    EXPECT_EQ(ui.testi().size(), 1);
    ImpostaLingua(LinguaUtente());
}
