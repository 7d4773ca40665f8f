// The field behaviours on real QLineEdit boxes (offscreen): colours, selection,
// the mask driven by key events, the whole-number filter, enabling and disabling.
#include "common/TestSupport.h"
#include "layout/CampoNumerico.h"
#include "layout/FiltroCampi.h"
#include "shell/InterazioneScriptata.h"

#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QLineEdit>
#include <QTest>

using namespace cartigo;
using cartigo::test::AssicuraApplicazione;
using cartigo::test::LocaleTemporaneo;

namespace {

void entra(QLineEdit* e)
{
    QFocusEvent ev(QEvent::FocusIn, Qt::TabFocusReason);
    QApplication::sendEvent(e, &ev);
}

void esci(QLineEdit* e)
{
    QFocusEvent ev(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(e, &ev);
}

QColor sfondo(const QLineEdit* e)
{
    return e->palette().color(QPalette::Base);
}

struct ConApplicazione {
    ConApplicazione() { AssicuraApplicazione(); }
};

struct Campi : ::testing::Test, ConApplicazione {
    InterazioneScriptata ui;
    FiltroCampi filtro{&ui};
    QWidget finestra;
};

}  // namespace

TEST_F(Campi, MascheraConTastiVeri)
{
    LocaleTemporaneo it(ImpostazioniLocali::italiano());
    auto* e = new QLineEdit(QStringLiteral("80,000"), &finestra);
    filtro.Installa(e, TipoCampo::Numerico);
    EXPECT_EQ(e->maxLength(), 10);

    entra(e);
    EXPECT_EQ(sfondo(e), QColor(255, 255, 0));
    EXPECT_EQ(e->selectedText(), QStringLiteral("80,000"));

    QTest::keyClicks(e, QStringLiteral("1234"));
    EXPECT_EQ(e->text(), QStringLiteral("1.234,000"));
    EXPECT_EQ(e->cursorPosition(), 5);
    QTest::keyClicks(e, QStringLiteral(".5"));  // the point acts as the decimal key
    EXPECT_EQ(e->text(), QStringLiteral("1.234,500"));
    QTest::keyClick(e, Qt::Key_Left);  // keys without a character stay the box's
    QTest::keyClick(e, Qt::Key_Backspace);
    EXPECT_EQ(e->text(), QStringLiteral("123,500"));
    EXPECT_EQ(ui.beep_, 0);

    QTest::keyClick(e, Qt::Key_A);
    QTest::keyClick(e, Qt::Key_Space);
    EXPECT_EQ(ui.beep_, 2);
    EXPECT_EQ(e->text(), QStringLiteral("123,500"));

    // Delete is diverted to the mask: in front of the separator it removes a decimal.
    e->setCursorPosition(3);
    QTest::keyClick(e, Qt::Key_Delete);
    EXPECT_EQ(e->text(), QStringLiteral("123,000"));
    EXPECT_EQ(e->cursorPosition(), 4);

    e->selectAll();
    QTest::keyClick(e, Qt::Key_Backspace);
    EXPECT_EQ(e->text(), QStringLiteral(",000"));
    esci(e);
    EXPECT_EQ(e->text(), QStringLiteral("0,000"));
    EXPECT_EQ(sfondo(e), QColor(255, 255, 255));

    // Typing in the integer part of a full box makes it longer than 10 characters;
    // the box must show the whole number rather than cut it.
    e->setText(QStringLiteral("12.345,000"));
    entra(e);
    e->setCursorPosition(1);
    QTest::keyClick(e, Qt::Key_9);
    EXPECT_EQ(e->text(), QStringLiteral("192.345,000"));
    esci(e);
    EXPECT_EQ(e->text(), QStringLiteral("192.345,000"));
}

TEST_F(Campi, MenoSoloAllInizioEIncollatoRiformattatoAllUscita)
{
    LocaleTemporaneo en(ImpostazioniLocali::inglese());
    auto* e = new QLineEdit(&finestra);
    filtro.Installa(e, TipoCampo::Numerico);
    entra(e);
    QTest::keyClicks(e, QStringLiteral("-2-,"));  // in English the comma is no decimal key
    EXPECT_EQ(e->text(), QStringLiteral("-2.000"));
    EXPECT_EQ(ui.beep_, 2);
    e->selectAll();
    e->insert(QStringLiteral("1234.5678"));  // what a paste does: no routine runs
    esci(e);
    EXPECT_EQ(e->text(), QStringLiteral("1,234.568"));
}

TEST_F(Campi, FiltroCifre)
{
    auto* e = new QLineEdit(QStringLiteral(" 12 "), &finestra);
    filtro.Installa(e, TipoCampo::Cifre);
    entra(e);
    EXPECT_EQ(e->text(), QStringLiteral("12"));
    EXPECT_EQ(e->selectedText(), QStringLiteral("12"));
    QTest::keyClicks(e, QStringLiteral("3a-,. 4"));
    EXPECT_EQ(e->text(), QStringLiteral("34"));
    EXPECT_EQ(ui.beep_, 5);
    QTest::keyClick(e, Qt::Key_Backspace);
    EXPECT_EQ(e->text(), QStringLiteral("3"));
}

TEST_F(Campi, CampoDiTesto)
{
    auto* e = new QLineEdit(QStringLiteral("  nome  "), &finestra);
    filtro.Installa(e, TipoCampo::Testo);
    entra(e);
    EXPECT_EQ(e->text(), QStringLiteral("nome"));
    EXPECT_EQ(e->selectedText(), QStringLiteral("nome"));
    EXPECT_EQ(sfondo(e), QColor(255, 255, 0));
    QTest::keyClicks(e, QStringLiteral("a b "));
    EXPECT_EQ(e->text(), QStringLiteral("a b "));
    esci(e);
    EXPECT_EQ(e->text(), QStringLiteral("a b"));
    EXPECT_EQ(sfondo(e), QColor(255, 255, 255));
    EXPECT_EQ(ui.beep_, 0);

    // A disabled box gets the button face when it loses the focus.
    entra(e);
    e->setEnabled(false);
    esci(e);
    EXPECT_EQ(sfondo(e), modCartigo::ColoreCampoDisabilitato());
}

TEST_F(Campi, AbilitaDisabilita)
{
    auto* e = new QLineEdit(QStringLiteral("valore"), &finestra);
    auto* c = new QComboBox(&finestra);
    modCartigo::DisabilitaCampo(e);
    EXPECT_FALSE(e->isEnabled());
    EXPECT_EQ(e->text(), QStringLiteral("valore"));
    EXPECT_EQ(sfondo(e), modCartigo::ColoreCampoDisabilitato());
    modCartigo::AbilitaCampo(e);
    EXPECT_TRUE(e->isEnabled());
    EXPECT_EQ(sfondo(e), QColor(255, 255, 255));
    modCartigo::DisabilitaCampo(e, true);
    EXPECT_TRUE(e->text().isEmpty());
    modCartigo::DisabilitaCampo(c);
    EXPECT_FALSE(c->isEnabled());
    EXPECT_EQ(c->palette().color(QPalette::Base), modCartigo::ColoreCampoDisabilitato());
}

TEST_F(Campi, FinestraCheTornaAttivaNonRientraNelCampo)
{
    // A message box over the dialog takes and gives back the focus: the box keeps
    // its colour and text, and what the user selected stays selected.
    LocaleTemporaneo en(ImpostazioniLocali::inglese());
    auto* e = new QLineEdit(QStringLiteral("12.000"), &finestra);
    filtro.Installa(e, TipoCampo::Numerico);
    QFocusEvent dentro(QEvent::FocusIn, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(e, &dentro);  // the first focus of a window that opens
    EXPECT_EQ(sfondo(e), QColor(255, 255, 0));
    e->setCursorPosition(2);
    QTest::keyClick(e, Qt::Key_Backspace);
    QFocusEvent via(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(e, &via);
    QApplication::sendEvent(e, &dentro);
    EXPECT_EQ(e->text(), QStringLiteral("1.000"));
    EXPECT_EQ(e->cursorPosition(), 1);
    EXPECT_FALSE(e->hasSelectedText());
    EXPECT_EQ(sfondo(e), QColor(255, 255, 0));
}
