// Choosing a label product in the page set-up dialog: search, list, the boxes it fills
// (and which stay editable), one label per page, the notes, the sheet's drawing and
// "Save as template".
#include "common/TestSupport.h"
#include "layout/ElencoProdotti.h"
#include "layout/ImpostaPagina.h"
#include "layout/frmImpostaPagina.h"
#include "shell/InterazioneScriptata.h"
#include "shell/StringTable.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

using namespace cartigo;

namespace {

const QByteArray kProdotti = R"(<?xml version="1.0"?>
<Glabels-templates>
  <Template brand="Acme" part="A-1" size="A4" description="Address labels">
    <Label-rectangle id="0" width="70mm" height="37mm"><Layout nx="3" ny="8" x0="0" y0="0.5mm" dx="70mm" dy="37mm"/></Label-rectangle>
  </Template>
  <Template brand="Acme" part="CD-2" size="A4" description="CD labels">
    <Label-cd id="0" radius="58.5mm" hole="20.5mm">
      <Layout nx="1" ny="2" x0="46mm" y0="21.5mm" dx="0" dy="137mm"/>
      <Layout nx="1" ny="1" x0="100mm" y0="80mm" dx="0" dy="0"/>
    </Label-cd>
  </Template>
  <Template brand="Bolt" part="R62" size="Other" width="62mm" height="29mm" description="Tape">
    <Label-rectangle id="0" width="62mm" height="29mm"><Layout nx="1" ny="1" x0="0" y0="0" dx="0" dy="0"/></Label-rectangle>
  </Template>
</Glabels-templates>
)";

struct Scelta : ::testing::Test {
    void SetUp() override
    {
        test::AssicuraApplicazione();
        ImpostaLingua(Lingua::Italiano);
        test::ScriviFile(QDir(sistema.path()).filePath(QStringLiteral("prodotti.xml")), kProdotti);
        utente = QDir(casa.path()).filePath(QStringLiteral("cartigo/templates"));
    }
    void TearDown() override { ImpostaLingua(LinguaUtente()); }
    std::unique_ptr<frmImpostaPagina> dialogo(const LayoutEtichetta& l = {})
    {
        auto d = std::make_unique<frmImpostaPagina>(&ui);
        d->CaricaCatalogo({sistema.path()}, utente);
        d->CaricaLayout(l);
        return d;
    }
    static QStringList testi(const frmImpostaPagina& d)
    {
        QStringList t;
        for (int i = 0; i < ValoriImpostaPagina::NumeroCampi; ++i) t << d.Campo(i)->text();
        return t;
    }
    static void scegli(frmImpostaPagina& d, const QString& ricerca)
    {
        d.txtCerca()->setText(ricerca);
        ASSERT_EQ(d.Elenco()->rowCount(), 1) << ricerca.toStdString();
        d.lstProdotti()->selectRow(0);
    }

    test::LocaleTemporaneo loc{ImpostazioniLocali::italiano()};
    InterazioneScriptata ui;
    QTemporaryDir sistema, casa;
    QString utente;
};

}  // namespace

TEST_F(Scelta, ChoosingAProductFillsTheBoxesWhichStayEditable)
{
    auto d = dialogo();
    EXPECT_EQ(d->Elenco()->rowCount(), 3);
    EXPECT_TRUE(d->lblNotaProdotto()->text().isEmpty());
    scegli(*d, QStringLiteral("70 x 37"));
    EXPECT_EQ(testi(*d), (QStringList{"3", "8", "0,000", "0,500", "70,000", "37,000", "0,000", "0,000",
                                      "-4,000", "0,000"}));
    EXPECT_EQ(d->lblNotaProdotto()->text(),
              LoadResString(1710).arg(QStringLiteral("Acme A-1 (Address labels)")).arg(24).arg(QStringLiteral("A4")));
    EXPECT_FALSE(d->chkUnaPerPagina()->isChecked());
    d->cmdOk_Click();
    ASSERT_TRUE(d->PremutoOk());
    LayoutEtichetta l = d->Layout();
    EXPECT_EQ(l.Prodotto, QStringLiteral("Acme A-1"));
    EXPECT_EQ(l.EtichetteVerticali, 8);
    EXPECT_EQ(l.OrigineX, -4);
    EXPECT_EQ(l.LarghezzaPagina, 210);
    EXPECT_TRUE(ui.messaggi.isEmpty());

    // an origin of the user's own keeps the product; a box that changes the sheet drops it
    // (its page stays: the labels are still on that paper)
    auto e = dialogo(l);
    EXPECT_EQ(e->lstProdotti()->currentIndex().row(), 0);  // the label's product is shown
    e->Campo(8)->setText(QStringLiteral("-3,5"));
    EXPECT_EQ(e->LayoutCorrente().Prodotto, QStringLiteral("Acme A-1"));
    e->Campo(5)->setText(QStringLiteral("36"));
    EXPECT_TRUE(e->LayoutCorrente().Prodotto.isEmpty());
    EXPECT_FALSE(e->lstProdotti()->currentIndex().isValid());
    EXPECT_TRUE(e->lblNotaProdotto()->text().isEmpty());
    e->Campo(5)->setText(QStringLiteral("37,000"));  // back to the product's sheet
    EXPECT_EQ(e->LayoutCorrente().Prodotto, QStringLiteral("Acme A-1"));
    e->Campo(5)->setText(QStringLiteral("36"));
    e->cmdOk_Click();
    EXPECT_TRUE(e->Layout().Prodotto.isEmpty());
    EXPECT_EQ(e->Layout().AltezzaEtichetta, 36);
    EXPECT_EQ(e->Layout().OrigineX, -3.5);
    EXPECT_EQ(e->Layout().AltezzaPagina, 297);
}

TEST_F(Scelta, ARollIsOneLabelPerPage)
{
    auto d = dialogo();
    scegli(*d, QStringLiteral("tape"));
    EXPECT_TRUE(d->chkUnaPerPagina()->isChecked());
    for (int i = 0; i < ValoriImpostaPagina::NumeroCampi; ++i)
        EXPECT_EQ(d->Campo(i)->isEnabled(), i == 4 || i == 5 || i >= 8) << i;
    EXPECT_EQ(d->lblNotaOrigine()->text(), LoadResString(1713));
    EXPECT_EQ(d->lblNotaProdotto()->text(), LoadResString(1711).arg(QStringLiteral("Bolt R62 (Tape)")));
    EXPECT_EQ(d->Campo(8)->text(), QStringLiteral("0,000"));  // a roll has no print shift
    d->cmdOk_Click();
    ASSERT_TRUE(d->PremutoOk());
    EXPECT_TRUE(d->Layout().UnaPerPagina);
    EXPECT_EQ(d->Layout().Prodotto, QStringLiteral("Bolt R62"));
    EXPECT_EQ(d->Layout().LarghezzaEtichetta, 62);

    // by hand: the counts are not asked for on a roll, the label's size is
    auto e = dialogo();
    e->Campo(0)->setText(QStringLiteral("0"));
    e->chkUnaPerPagina()->click();
    EXPECT_FALSE(e->Campo(0)->isEnabled());
    EXPECT_EQ(e->lblNotaOrigine()->text(), LoadResString(1713));
    e->Campo(4)->setText(QStringLiteral("0"));
    e->cmdOk_Click();
    EXPECT_FALSE(e->PremutoOk());
    EXPECT_EQ(e->focusWidget(), e->Campo(4));
    e->Campo(4)->setText(QStringLiteral("50"));
    e->cmdOk_Click();
    ASSERT_TRUE(e->PremutoOk());
    EXPECT_TRUE(e->Layout().UnaPerPagina);
    EXPECT_TRUE(e->Layout().Prodotto.isEmpty());
    e->chkUnaPerPagina()->click();  // and back to the sheet
    EXPECT_TRUE(e->Campo(0)->isEnabled());
    EXPECT_EQ(e->lblNotaOrigine()->text(), LoadResString(1315).arg(4));
}

TEST_F(Scelta, NotesOfTheCatalogue)
{
    // a sheet of several groups: only the first is used, and the chooser says so
    auto d = dialogo();
    scegli(*d, QStringLiteral("cd"));
    EXPECT_TRUE(d->lblNotaProdotto()->text().endsWith(LoadResString(1712).arg(2)))
        << d->lblNotaProdotto()->text().toStdString();
    EXPECT_EQ(d->LayoutCorrente().Forma, FormaEtichetta::CD);
    EXPECT_EQ(d->Campo(1)->text(), QStringLiteral("2"));

    // one label on a sheet of its own
    QDir().mkpath(utente);
    test::ScriviFile(QDir(utente).filePath(QStringLiteral("uno.xml")), R"(<Glabels-templates>
  <Template brand="Mia" part="P-1" size="A4" description="Page">
    <Label-rectangle id="0" width="200mm" height="287mm"><Layout nx="1" ny="1" x0="5mm" y0="5mm" dx="0" dy="0"/></Label-rectangle>
  </Template></Glabels-templates>)");
    auto u = dialogo();
    scegli(*u, QStringLiteral("mia"));
    EXPECT_EQ(u->lblNotaProdotto()->text(),
              LoadResString(1722).arg(QStringLiteral("Mia P-1 (Page)"), QStringLiteral("A4")));
    QFile::remove(QDir(utente).filePath(QStringLiteral("uno.xml")));

    // no catalogue at all: a note, no message
    frmImpostaPagina vuoto(&ui);
    vuoto.CaricaCatalogo({QDir(casa.path()).filePath(QStringLiteral("nessuna"))}, utente);
    vuoto.CaricaLayout({});
    EXPECT_EQ(vuoto.Elenco()->rowCount(), 0);
    EXPECT_EQ(vuoto.lblNotaProdotto()->text(), LoadResString(1709));
    EXPECT_TRUE(ui.messaggi.isEmpty());

    // a user's file that does not read is named
    QDir().mkpath(utente);
    test::ScriviFile(QDir(utente).filePath(QStringLiteral("rotto.xml")), "<Glabels-templates><Template");
    auto r = dialogo();
    EXPECT_EQ(r->Elenco()->rowCount(), 3);
    EXPECT_TRUE(r->lblNotaProdotto()->text().contains(QStringLiteral("rotto.xml")));
}

// Without folders of its own the dialog takes the run's catalogue, read in the background:
// it works while the catalogue is read, and the products come in when it is.
TEST_F(Scelta, TheDialogWorksWhileTheRunsCatalogueIsRead)
{
    frmImpostaPagina d(&ui);
    LayoutEtichetta l;
    l.LarghezzaEtichetta = 55;
    d.CaricaLayout(l);
    EXPECT_EQ(d.LayoutCorrente().LarghezzaEtichetta, 55);
    if (!CatalogoEtichette::Letto()) {
        EXPECT_TRUE(d.lblNotaProdotto()->text().startsWith(LoadResString(1723)));
    }
    QElapsedTimer t;
    t.start();
    while (!CatalogoEtichette::Letto() && t.elapsed() < 60000) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    ASSERT_TRUE(CatalogoEtichette::Letto());
    QCoreApplication::processEvents(QEventLoop::AllEvents, 300);
    QThread::msleep(150);
    QCoreApplication::processEvents();
    EXPECT_EQ(d.Elenco()->rowCount(), int(CatalogoEtichette::Letto()->Prodotti().size()));
    EXPECT_FALSE(d.lblNotaProdotto()->text().startsWith(LoadResString(1723)));
    EXPECT_TRUE(ui.messaggi.isEmpty());
}

TEST_F(Scelta, TheListShowsSizeAndCountInTheUsersNumbers)
{
    CatalogoEtichette c;
    c.Carica({sistema.path()}, QString());
    ElencoProdotti e;
    e.ImpostaCatalogo(&c);
    ASSERT_EQ(e.rowCount(), 3);
    EXPECT_EQ(e.headerData(ElencoProdotti::Misura, Qt::Horizontal).toString(), LoadResString(1705));
    const auto cella = [&](int r, int c) { return e.data(e.index(r, c)).toString(); };
    EXPECT_EQ(cella(0, ElencoProdotti::Marca), QStringLiteral("Acme"));
    EXPECT_EQ(cella(0, ElencoProdotti::Misura), QStringLiteral("70,0 x 37,0"));
    EXPECT_EQ(cella(0, ElencoProdotti::PerFoglio), QStringLiteral("24 (3 x 8)"));
    EXPECT_EQ(cella(2, ElencoProdotti::PerFoglio), LoadResString(1721));
    e.Filtra(QStringLiteral("bolt"));
    EXPECT_EQ(e.rowCount(), 1);
    EXPECT_EQ(e.Riga(QStringLiteral("BOLT r62")), 0);
    EXPECT_EQ(e.Riga(QStringLiteral("Acme A-1")), -1);
}

TEST_F(Scelta, TheDrawingShowsTheSheetAndItsLabels)
{
    LayoutEtichetta l;  // 2 x 4 labels of 80 x 50 mm, 10 mm margins and gaps, on A4
    QImage img(210, 297, QImage::Format_RGB32);
    img.fill(Qt::black);
    {
        QPainter p(&img);
        DisegnaFoglio(p, QRectF(0, 0, 212, 299), l);  // one pixel a millimetre
    }
    const auto colore = [&](int x, int y) { return img.pixelColor(x, y); };
    EXPECT_EQ(colore(50, 35), QColor(225, 236, 250));  // inside the first label
    EXPECT_EQ(colore(95, 35), Qt::white);              // the gap between the columns
    EXPECT_EQ(colore(50, 280), Qt::white);             // below the last row
    // three columns run past the page: the third is outlined in red
    l.EtichetteOrizzontali = 3;
    img.fill(Qt::black);
    {
        QPainter p(&img);
        DisegnaFoglio(p, QRectF(0, 0, 212, 299), l);
    }
    const QColor fuori = colore(200, 10), dentro = colore(50, 10);  // the top edges of the third and first
    EXPECT_GT(fuori.red(), fuori.blue() + 40) << fuori.name().toStdString();
    EXPECT_GT(dentro.blue(), dentro.red()) << dentro.name().toStdString();
}

TEST_F(Scelta, SaveAsTemplateWritesTheUsersFolder)
{
    auto d = dialogo();
    d->Campo(0)->setText(QStringLiteral("3"));
    d->Campo(4)->setText(QStringLiteral("63,5"));
    int chiesto = 0;
    ui.gestoriDialogo[RichiestaSalvaModello::Nome] = [&](RichiestaDialogo& r) {
        auto& m = dynamic_cast<RichiestaSalvaModello&>(r);
        ++chiesto;
        m.marca = QStringLiteral("Mia");
        if (chiesto == 1) return true;  // no code: said, and asked again
        m.codice = QStringLiteral(" R-1 ");
        m.descrizione = QStringLiteral("Le mie");
        return true;
    };
    d->cmdSalvaModello()->click();
    EXPECT_EQ(chiesto, 2);
    ASSERT_EQ(ui.messaggi.size(), 1);
    EXPECT_EQ(ui.messaggi[0].testo, LoadResString(1715));
    const QString file = QDir(utente).filePath(QStringLiteral("Mia-R-1.xml"));
    ASSERT_TRUE(QFile::exists(file));
    // in the list, chosen, and said where it went
    EXPECT_EQ(d->Elenco()->rowCount(), 4);
    EXPECT_EQ(d->lstProdotti()->currentIndex().row(), d->Elenco()->Riga(QStringLiteral("Mia R-1")));
    EXPECT_TRUE(d->lblNotaProdotto()->text().contains(QDir::toNativeSeparators(file)));
    EXPECT_EQ(d->Campo(4)->text(), QStringLiteral("63,5"));  // the boxes as typed
    d->cmdOk_Click();
    EXPECT_EQ(d->Layout().Prodotto, QStringLiteral("Mia R-1"));
    EXPECT_EQ(d->Layout().LarghezzaEtichetta, 63.5);
    EXPECT_EQ(d->Layout().OrigineX, 0);  // the user's origin, not a product's
    EXPECT_EQ(d->Layout().LarghezzaPagina, 210);

    // the same name again: asked before replacing it; No keeps the old one
    const QByteArray prima = test::LeggiFile(file);
    auto e = dialogo();
    e->Campo(5)->setText(QStringLiteral("20"));
    ui.messaggi.clear();
    ui.risposte = {Risposta::No};
    e->cmdSalvaModello()->click();
    ASSERT_EQ(ui.messaggi.size(), 1);
    EXPECT_EQ(ui.messaggi[0].testo, LoadResString(1716).arg(QStringLiteral("Mia R-1")));
    EXPECT_EQ(ui.messaggi[0].pulsanti, Pulsanti::YesNo);
    EXPECT_EQ(test::LeggiFile(file), prima);

    // a box that cannot be saved is said first, as Ok does
    ui.messaggi.clear();
    e->Campo(4)->setText(QStringLiteral("0"));
    e->cmdSalvaModello()->click();
    ASSERT_EQ(ui.messaggi.size(), 1);
    EXPECT_EQ(ui.messaggi[0].testo, LoadResString(1408));
    EXPECT_EQ(e->focusWidget(), e->Campo(4));
}

TEST_F(Scelta, SaveAsTemplateSaysWhyItFailed)
{
    // the user's folder cannot be made: a file stands where it should be
    test::ScriviFile(QDir(casa.path()).filePath(QStringLiteral("cartigo")), "x");
    ui.gestoriDialogo[RichiestaSalvaModello::Nome] = [](RichiestaDialogo& r) {
        auto& m = dynamic_cast<RichiestaSalvaModello&>(r);
        m.marca = QStringLiteral("Mia");
        m.codice = QStringLiteral("1");
        return true;
    };
    EXPECT_FALSE(SalvaComeModello({}, utente, ui, QStringLiteral("T")));
    ASSERT_EQ(ui.messaggi.size(), 1);
    EXPECT_EQ(ui.messaggi[0].testo, LoadResString(1717).arg(QStringLiteral("Mia 1"),
                                                            LoadResString(1718).arg(QDir::toNativeSeparators(utente))));
    // cancelled: nothing asked further
    ui.gestoriDialogo.clear();
    EXPECT_FALSE(SalvaComeModello({}, utente, ui, QStringLiteral("T")));
    EXPECT_EQ(ui.messaggi.size(), 1);
}

TEST_F(Scelta, EnterInTheSearchBoxChoosesTheFirstMatchAndKeepsTheDialogOpen)
{
    auto d = dialogo();
    d->show();
    d->txtCerca()->setFocus();
    QTest::keyClicks(d->txtCerca(), QStringLiteral("acme"));
    QTest::keyClick(d->txtCerca(), Qt::Key_Return);
    EXPECT_TRUE(d->isVisible());
    EXPECT_FALSE(d->PremutoOk());
    EXPECT_EQ(d->lstProdotti()->currentIndex().row(), 0);
    EXPECT_EQ(d->LayoutCorrente().Prodotto, QStringLiteral("Acme A-1"));
    EXPECT_EQ(d->focusWidget(), d->lstProdotti());
    // nothing found: Enter does nothing either
    d->txtCerca()->setFocus();
    d->txtCerca()->setText(QStringLiteral("nessuno"));
    QTest::keyClick(d->txtCerca(), Qt::Key_Enter);
    EXPECT_TRUE(d->isVisible());
    EXPECT_FALSE(d->PremutoOk());
    // the next Enter, in the list, is the dialog's Ok
    d->txtCerca()->clear();
    d->lstProdotti()->setFocus();
    QTest::keyClick(d->lstProdotti(), Qt::Key_Return);
    EXPECT_TRUE(d->PremutoOk());
}
