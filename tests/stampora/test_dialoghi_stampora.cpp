// The destination dialog and the preview window, driven offscreen; what leaves the
// destination dialog (copies, a print file that must not replace what is printed) and the
// page set-up request next to the sheet layout's.
#include "SupportoStampora.h"
#include "app/frmCartigo.h"
#include "common/TestSupport.h"
#include "layout/CampoNumerico.h"
#include "print/OpzioniStampa.h"
#include "shell/InterazioneQt.h"
#include "shell/InterazioneScriptata.h"
#include "shell/StringTable.h"
#include "stampora/AzioniOutput.h"
#include "stampora/DispositivoStampa.h"
#include "stampora/FileStampa.h"
#include "stampora/RichiesteStampora.h"
#include "stampora/StamporaQt.h"
#include "stampora/VistaAnteprima.h"
#include "stampora/clsStampora.h"
#include "stampora/frmStamporaAnteprima.h"
#include "stampora/frmStamporaDestinazioneStampa.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QDirIterator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QStyleOptionSlider>
#include <QTest>
#include <QTimer>
#include <map>

using namespace cartigo;

namespace {

class Dialoghi : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::AssicuraApplicazione();
        ImpostaLingua(Lingua::Italiano);
    }
    test::CartellaProgrammaTemporanea cartella;
    InterazioneScriptata ui;
};

std::shared_ptr<DocumentoStampa> DocumentoDiTrePagine()
{
    auto d = std::make_shared<DocumentoStampa>(InfoStampante{});
    d->StartDoc();
    for (int p = 0; p < 3; ++p) {
        if (p > 0) d->NewPage();
        d->SetBrushStyle(0);
        d->SetBrushColor(0x808080);
        d->DrawRectangle(Misura(20, Unita::Millimetro), Misura(20, Unita::Millimetro), Misura(100, Unita::Millimetro),
                         Misura(60, Unita::Millimetro));
        d->SetBrushColor(0xFFFFFF);
        d->TextBox(QStringLiteral("Pagina %1").arg(p + 1), Misura(20, Unita::Millimetro), Misura(70, Unita::Millimetro),
                   Misura(80, Unita::Millimetro), Misura(10, Unita::Millimetro), false);
    }
    d->EndDoc();
    return d;
}

// Clicks one arrow of a scroll bar where the style draws it.
void Freccia(QScrollBar* barra, QStyle::SubControl freccia)
{
    QStyleOptionSlider opt;
    opt.initFrom(barra);
    opt.subControls = QStyle::SC_All;
    opt.orientation = barra->orientation();
    opt.minimum = barra->minimum();
    opt.maximum = barra->maximum();
    opt.sliderPosition = barra->sliderPosition();
    opt.sliderValue = barra->value();
    opt.singleStep = barra->singleStep();
    opt.pageStep = barra->pageStep();
    opt.upsideDown = barra->invertedAppearance();
    const QRect r = barra->style()->subControlRect(QStyle::CC_ScrollBar, &opt, freccia, barra);
    QTest::mouseClick(barra, Qt::LeftButton, {}, r.center());
}

const QString kEtichetta = QStringLiteral(
    "oggTesto\r\n 0 \r\n 0 \r\n 1000 \r\n 300 \r\nx\r\nArial\r\n 10 \r\nFalse\r\nFalse\r\n 0 \r\n 0 \r\n 0 \r\n 0 "
    "\r\n\r\n 0 \r\n");

}  // namespace

TEST_F(Dialoghi, DestinazioneOpzioniECopie)
{
    frmStamporaDestinazioneStampa dlg(&ui);
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Scelta destinazione di stampa"));
    EXPECT_EQ(dlg.OpzioneSelezionata(), 0);
    EXPECT_EQ(dlg.txtCopie->text(), QStringLiteral("1"));
    dlg.show();

    dlg.SetCopies(4);
    dlg.SetCurrentPrinter(QStringLiteral("Laser"));
    dlg.SetPort(QStringLiteral("ipp://localhost/printers/Laser"));
    EXPECT_EQ(dlg.lblStampante->text(), QStringLiteral("Laser"));
    if (qEnvironmentVariableIsSet("CARTIGO_SCREENSHOT")) dlg.grab().save(qEnvironmentVariable("CARTIGO_SCREENSHOT"));
    // Preview and file reset the copies and disable them; the printer enables them.
    for (int i : {1, 2}) {
        dlg.SetCopies(4);
        QTest::mouseClick(dlg.optTipoStampa[i], Qt::LeftButton, {}, QPoint(6, dlg.optTipoStampa[i]->height() / 2));
        EXPECT_EQ(dlg.OpzioneSelezionata(), i);
        EXPECT_FALSE(dlg.txtCopie->isEnabled());
        EXPECT_FALSE(dlg.vscCopie->isEnabled());
        EXPECT_EQ(dlg.txtCopie->text(), QStringLiteral("1"));
        EXPECT_EQ(dlg.txtCopie->palette().color(QPalette::Base), modCartigo::ColoreCampoDisabilitato());
    }
    QTest::mouseClick(dlg.imgOutput[0], Qt::LeftButton);  // the picture selects its option
    EXPECT_EQ(dlg.OpzioneSelezionata(), 0);
    EXPECT_TRUE(dlg.txtCopie->isEnabled());
    EXPECT_EQ(dlg.txtCopie->palette().color(QPalette::Base), modCartigo::ColoreCampoNormale());

    // The scroll bar writes the copies; the field takes digits only.
    dlg.vscCopie->setValue(-12);  // the bar holds the copies negated
    EXPECT_EQ(dlg.txtCopie->text(), QStringLiteral("12"));
    dlg.txtCopie->setFocus();
    dlg.txtCopie->selectAll();
    QTest::keyClicks(dlg.txtCopie, QStringLiteral("3a-7"));
    EXPECT_EQ(dlg.txtCopie->text(), QStringLiteral("37"));
    EXPECT_EQ(ui.beep_, 2);
    dlg.cmdOk_Click();
    EXPECT_EQ(dlg.DestinazioneStampa(), 2);
    EXPECT_EQ(dlg.Copies(), 37);
}

TEST_F(Dialoghi, DestinazioneCodiciDeiPulsanti)
{
    const struct {
        const char* pulsante;
        int opzione;
        int codice;
    } casi[] = {{"cmdOk", 0, 2}, {"cmdOk", 1, 1}, {"cmdAnnulla", 0, 0}, {"cmdImposta", 1, -1}, {"cmdMargini", 2, -2}};
    for (const auto& c : casi) {
        RichiestaDestinazioneStampa r;
        r.Copies = 3;
        r.Opzione = c.opzione;
        r.DestinazioneStampa = 99;
        QTimer::singleShot(0, [&] {
            auto* w = QApplication::activeModalWidget();
            ASSERT_TRUE(w);
            w->findChild<QPushButton*>(QString::fromLatin1(c.pulsante))->click();
        });
        frmStamporaDestinazioneStampa::Mostra(r, nullptr, &ui);
        EXPECT_EQ(r.DestinazioneStampa, c.codice) << c.pulsante << c.opzione;
        EXPECT_EQ(r.Opzione, c.opzione);
        EXPECT_EQ(r.Copies, c.opzione == 0 ? 3 : 1);
    }
}

TEST_F(Dialoghi, DestinazioneFile)
{
    frmStamporaDestinazioneStampa dlg(&ui);
    dlg.show();
    dlg.SelezionaOpzione(2);
    // Cancelling the file dialog keeps the dialog open with the file option.
    ui.file.push_back(std::nullopt);
    dlg.cmdOk_Click();
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(dlg.OpzioneSelezionata(), 2);
    ASSERT_EQ(ui.richiesteFile.size(), 1);
    const RichiestaFile& rf = ui.richiesteFile[0];
    const QString stampe = QDir(cartella.dir.path()).filePath(QStringLiteral("Stampe"));
    EXPECT_EQ(rf.cartella, stampe);
    EXPECT_TRUE(QDir(stampe).exists());
    EXPECT_EQ(rf.tipo, RichiestaFile::Tipo::Salva);
    EXPECT_TRUE(rf.confermaSovrascrittura);
    EXPECT_EQ(rf.filtroScelto, QStringLiteral("File anteprima (*.ant)"));
    EXPECT_TRUE(rf.filtro.contains(QStringLiteral("PDF (*.pdf)")));

    ui.file.push_back(stampe + QStringLiteral("/uno.ant"));
    dlg.cmdOk_Click();
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.DestinazioneStampa(), 3);
    EXPECT_EQ(dlg.FileName(), stampe + QStringLiteral("/uno.ant"));
}

TEST_F(Dialoghi, AnteprimaZoom)
{
    test::LocaleTemporaneo loc(ImpostazioniLocali::italiano());
    frmStamporaAnteprima f(&ui);
    auto documento = DocumentoDiTrePagine();
    documento->TitoloLavoro = QStringLiteral("indirizzi.eti");
    f.ImpostaDocumento(documento);
    f.resize(800, 600);
    f.show();
    VistaAnteprima* v = f.vspAnteprima;
    EXPECT_EQ(f.cmbZoom->count(), 11);
    EXPECT_EQ(f.cmbZoom->itemText(8), QStringLiteral("Larghezza"));
    EXPECT_EQ(frmStamporaAnteprima::FormatZoom(75), QStringLiteral("75,00 %"));
    EXPECT_EQ(f.cmbZoom->itemText(2), QStringLiteral("150 %"));
    // The preview names the label its pages come from.
    EXPECT_EQ(f.windowTitle(), LoadResString(233) + QStringLiteral(" - indirizzi.eti"));

    const struct {
        const char* testo;
        int modo;
        bool messaggio;
        bool numero;  // the box shows the resulting zoom
    } casi[] = {{"150", VistaAnteprima::ZoomLibero, false, false},
                {"125,5", VistaAnteprima::ZoomLibero, false, false},
                {"80 %", VistaAnteprima::ZoomLibero, false, false},
                {"0", VistaAnteprima::PaginaIntera, false, true},
                {"", VistaAnteprima::PaginaIntera, false, true},
                {"abc", VistaAnteprima::PaginaIntera, true, true},
                {"Larghezza", VistaAnteprima::Larghezza, false, true},
                {"Pagina intera", VistaAnteprima::PaginaIntera, false, true},
                {"Due pagine", VistaAnteprima::DuePagine, false, false}};
    for (const auto& c : casi) {
        ui.messaggi.clear();
        f.cmbZoom->setEditText(QString::fromLatin1(c.testo));
        f.AggiornaZoom();
        EXPECT_EQ(v->ZoomMode(), c.modo) << c.testo;
        EXPECT_EQ(ui.messaggi.size(), c.messaggio ? 1 : 0) << c.testo;
        if (c.messaggio) {
            EXPECT_EQ(ui.messaggi[0].testo, QStringLiteral("Valore non consentito."));
        }
        if (c.numero) {
            EXPECT_EQ(f.cmbZoom->currentText(), frmStamporaAnteprima::FormatZoom(v->Zoom())) << c.testo;
        }
    }
    EXPECT_EQ(f.cmbZoom->currentText(), QStringLiteral("Due pagine"));
    // A percentage chosen from the list is applied and stays as chosen.
    f.cmbZoom->setEditText(QStringLiteral("150"));
    f.AggiornaZoom(QStringLiteral("150"));
    EXPECT_DOUBLE_EQ(v->Zoom(), 150);
    EXPECT_EQ(f.cmbZoom->currentText(), QStringLiteral("150"));
    f.AggiornaZoom(QStringLiteral("125,5"));
    EXPECT_DOUBLE_EQ(v->Zoom(), 125.5);

    // Leaving the box reformats a number; the mouse zooms and the box follows.
    f.cmbZoom->setEditText(QStringLiteral("75"));
    f.cmbZoom_LostFocus();
    EXPECT_EQ(f.cmbZoom->currentText(), QStringLiteral("75,00 %"));
    EXPECT_DOUBLE_EQ(v->Zoom(), 75);
    QTest::mouseClick(v->viewport(), Qt::RightButton);
    EXPECT_DOUBLE_EQ(v->Zoom(), 100);
    EXPECT_EQ(f.cmbZoom->currentText(), QStringLiteral("100,00 %"));
    QTest::mouseClick(v->viewport(), Qt::LeftButton);
    QTest::mouseClick(v->viewport(), Qt::LeftButton);
    EXPECT_DOUBLE_EQ(v->Zoom(), 50);
    EXPECT_EQ(f.cmbZoom->currentText(), QStringLiteral("50,00 %"));
}

TEST_F(Dialoghi, TheEnglishPreviewAndItsMessages)
{
    ImpostaLingua(Lingua::Inglese);
    test::LocaleTemporaneo loc(ImpostazioniLocali::inglese());
    frmStamporaAnteprima f(&ui);
    f.ImpostaDocumento(DocumentoDiTrePagine());
    f.show();
    EXPECT_EQ(f.windowTitle(), QStringLiteral("Print preview"));
    QStringList zoom;
    for (int i = 8; i < f.cmbZoom->count(); ++i) zoom << f.cmbZoom->itemText(i);
    EXPECT_EQ(zoom, (QStringList{"Page width", "Whole page", "Two pages"}));
    f.cmbZoom->setEditText(QStringLiteral("Two pages"));
    f.AggiornaZoom();
    EXPECT_EQ(f.vspAnteprima->ZoomMode(), VistaAnteprima::DuePagine);
    EXPECT_TRUE(ui.messaggi.isEmpty());
    f.cmbZoom->setEditText(QStringLiteral("Due pagine"));
    f.AggiornaZoom();
    ASSERT_EQ(ui.messaggi.size(), 1);
    EXPECT_EQ(ui.messaggi[0].testo, QStringLiteral("Value not allowed."));

    // A print with no printer says why, in English.
    ui.messaggi.clear();
    DispositivoStampa* prima = DispositivoCorrente();
    ImpostaDispositivoStampa(nullptr);
    EXPECT_FALSE(StampaOutput(*DocumentoDiTrePagine(), 1, 3, ui));
    ImpostaDispositivoStampa(prima);
    ASSERT_EQ(ui.messaggi.size(), 1);
    EXPECT_EQ(ui.messaggi[0].testo, QStringLiteral("Printing failed on the printer \"(none)\": no printer available"));
    ImpostaLingua(Lingua::Italiano);
}

TEST_F(Dialoghi, AnteprimaPagineStampaChiusura)
{
    test::StampanteFinta stampante;
    frmStamporaAnteprima f(&ui);
    auto doc = DocumentoDiTrePagine();
    doc->SetStampante(stampante.info);
    f.ImpostaDocumento(doc);
    f.resize(800, 600);
    f.show();
    f.AggiornaControlli();
    EXPECT_EQ(f.windowTitle(), QStringLiteral("Anteprima di stampa"));
    EXPECT_EQ(f.Pulsante(QStringLiteral("stampa"))->toolTip(), QStringLiteral("stampa tutte le pagine"));
    EXPECT_EQ(f.Pulsante(QStringLiteral("chiudi"))->toolTip(), QStringLiteral("chiudi"));
    EXPECT_EQ(f.txtPagina->text(), QStringLiteral("1"));
    EXPECT_EQ(f.txtNumeroPagine->text(), QStringLiteral("3"));
    EXPECT_EQ(doc->TestoPagina, QStringLiteral("Pagina %d"));

    const struct {
        const char* chiave;
        int pagina;
    } passi[] = {{"precedente", 1}, {"successiva", 2}, {"ultima", 3}, {"successiva", 3}, {"prima", 1}};
    for (const auto& p : passi) {
        f.Pulsante(QString::fromLatin1(p.chiave))->trigger();
        EXPECT_EQ(f.vspAnteprima->PreviewPage(), p.pagina) << p.chiave;
        EXPECT_EQ(f.txtPagina->text(), QString::number(p.pagina));
    }
    const struct {
        const char* testo;
        const char* atteso;
        bool messaggio;
    } pagine[] = {{"99", "3", true}, {"0", "1", true}, {"2", "2", false}, {"", "1", true}};
    for (const auto& p : pagine) {
        ui.messaggi.clear();
        f.txtPagina->setText(QString::fromLatin1(p.testo));
        f.txtPagina_LostFocus();
        EXPECT_EQ(f.txtPagina->text(), QString::fromLatin1(p.atteso)) << p.testo;
        EXPECT_EQ(f.vspAnteprima->PreviewPage(), f.txtPagina->text().toInt());
        EXPECT_EQ(ui.messaggi.size(), p.messaggio ? 1 : 0) << p.testo;
    }

    f.vspAnteprima->SetPreviewPage(2);
    f.Pulsante(QStringLiteral("stampapagina"))->trigger();
    f.Pulsante(QStringLiteral("stampa"))->trigger();
    ASSERT_EQ(stampante.lavori.size(), 2u);
    EXPECT_EQ(stampante.lavori[0].prima, 2);
    EXPECT_EQ(stampante.lavori[0].ultima, 2);
    EXPECT_EQ(stampante.lavori[1].prima, 1);
    EXPECT_EQ(stampante.lavori[1].ultima, 3);

    // The preview takes the window's width less 100 twips.
    const int tpp = 1440 / f.logicalDpiX();
    EXPECT_EQ(f.vspAnteprima->width(), f.width() - 100 / tpp);

    // The close box only hides: the document stays.
    f.close();
    EXPECT_FALSE(f.isVisible());
    EXPECT_EQ(f.Documento(), doc.get());
    f.show();
    EXPECT_EQ(f.vspAnteprima->PageCount(), 3);

    if (qEnvironmentVariableIsSet("CARTIGO_SCREENSHOT")) f.grab().save(qEnvironmentVariable("CARTIGO_SCREENSHOT"));
}

TEST_F(Dialoghi, FileStampaDallaRigaDiComando)
{
    EXPECT_TRUE(EFileStampa({QStringLiteral("/tmp/a.ANT")}));
    EXPECT_FALSE(EFileStampa({QStringLiteral("/tmp/a.eti")}));
    EXPECT_FALSE(EFileStampa({QStringLiteral("/tmp/a.ant"), QStringLiteral("-S")}));

    const QString buono = cartella.percorso(QStringLiteral("buono.ant"));
    QString errore;
    ASSERT_TRUE(SalvaFileStampa(*DocumentoDiTrePagine(), buono, &errore));
    // The first page shows before the rest of the file is read, as a job's preview fills in.
    QList<std::pair<bool, int>> viste;  // in progress, pages that can be shown
    ui.gestoriDialogo[QStringLiteral("frmStamporaAnteprima")] = [&](RichiestaDialogo& r) {
        const auto& a = static_cast<RichiestaAnteprima&>(r);
        viste.append({a.InCorso, a.Documento->PagineFinite()});
        return true;
    };
    EXPECT_EQ(MostraFileStampa(buono, ui), 0);
    EXPECT_EQ(viste, (QList<std::pair<bool, int>>{{true, 1}, {false, 3}}));
    EXPECT_TRUE(ui.messaggi.isEmpty());

    // Damaged at the start: nothing shown. Further on: the preview opened on the first
    // page is emptied (and so closes), and the message is the same.
    const QByteArray dati = test::LeggiFile(buono);
    for (const QByteArray& rotti : {dati.left(40), dati.left(dati.size() - 6)}) {
        viste.clear();
        ui.messaggi.clear();
        const QString rotto = cartella.percorso(QStringLiteral("rotto.ant"));
        test::ScriviFile(rotto, rotti);
        EXPECT_EQ(MostraFileStampa(rotto, ui), 1);
        ASSERT_EQ(ui.messaggi.size(), 1);
        EXPECT_TRUE(ui.messaggi[0].testo.contains(QStringLiteral("rotto.ant")));
        EXPECT_TRUE(ui.messaggi[0].testo.contains(QStringLiteral("danneggiato")));
        EXPECT_EQ(viste.size(), rotti.size() == 40 ? 0 : 1);
    }
}

TEST_F(Dialoghi, AnteprimaAttraversoLaInterazione)
{
    // The preview shown modally through the Qt seam, closed with its close box.
    RegistraStampora();
    InterazioneQt qt;
    RichiestaAnteprima r;
    r.Documento = DocumentoDiTrePagine();
    int pagineViste = 0;
    QTimer::singleShot(0, [&] {
        auto* f = qobject_cast<frmStamporaAnteprima*>(QApplication::activeModalWidget());
        ASSERT_TRUE(f);
        pagineViste = f->txtNumeroPagine->text().toInt();
        f->close();
    });
    qt.dialogo(r);
    EXPECT_EQ(pagineViste, 3);
    // The shared window stays, hidden, and lets the document go.
    EXPECT_FALSE(frmStamporaAnteprima::Istanza()->isVisible());
    EXPECT_EQ(frmStamporaAnteprima::Istanza()->Documento(), nullptr);
    EXPECT_EQ(r.Documento.use_count(), 1);
    frmStamporaAnteprima::Scarica();
    ImpostaDispositivoStampa(nullptr);
}

TEST_F(Dialoghi, CopieFrecceECasellaVannoDaUnoA999)
{
    frmStamporaDestinazioneStampa dlg(&ui);
    dlg.show();
    QScrollBar* barra = dlg.vscCopie;
    // The upper arrow adds a copy, the lower one takes it away, never below 1.
    Freccia(barra, QStyle::SC_ScrollBarSubLine);
    EXPECT_EQ(dlg.txtCopie->text(), QStringLiteral("2"));
    Freccia(barra, QStyle::SC_ScrollBarAddLine);
    Freccia(barra, QStyle::SC_ScrollBarAddLine);
    EXPECT_EQ(dlg.txtCopie->text(), QStringLiteral("1"));
    // The Up key too, with the focus on the bar.
    barra->setFocus();
    QTest::keyClick(barra, Qt::Key_Up);
    EXPECT_EQ(dlg.txtCopie->text(), QStringLiteral("2"));

    // After typing, the arrows go on from the number typed.
    dlg.txtCopie->setFocus();
    dlg.txtCopie->selectAll();
    QTest::keyClicks(dlg.txtCopie, QStringLiteral("40"));
    Freccia(barra, QStyle::SC_ScrollBarSubLine);
    EXPECT_EQ(dlg.txtCopie->text(), QStringLiteral("41"));

    // 999 at most: the arrow stops there and the box takes no fourth digit.
    dlg.SetCopies(999);
    Freccia(barra, QStyle::SC_ScrollBarSubLine);
    EXPECT_EQ(dlg.txtCopie->text(), QStringLiteral("999"));
    dlg.txtCopie->setFocus();
    dlg.txtCopie->selectAll();
    QTest::keyClicks(dlg.txtCopie, QStringLiteral("1000"));
    EXPECT_EQ(dlg.txtCopie->text(), QStringLiteral("100"));
    dlg.cmdOk_Click();
    EXPECT_EQ(dlg.Copies(), 100);

    // The engine takes every number the dialog can give, 999 included.
    ui.gestoriDialogo[QStringLiteral("frmStamporaDestinazioneStampa")] = [](RichiestaDialogo& r) {
        auto& d = static_cast<RichiestaDestinazioneStampa&>(r);
        d.Copies = 999;
        d.DestinazioneStampa = 2;
        return true;
    };
    clsStampora s(ui);
    EXPECT_EQ(s.SelectPrintDestination(), 2);
    EXPECT_EQ(s.Copies(), 999);
}

TEST_F(Dialoghi, IlFileDiStampaNonSostituisceEtichettaNeArchivio)
{
    const QString etichetta = cartella.percorso(QStringLiteral("e.eti"));
    const QString archivio = cartella.percorso(QStringLiteral("dati.csv"));
    test::ScriviFile(etichetta, kEtichetta.toLatin1());
    test::ScriviFile(archivio, "a\r\n1\r\n");
    const QString collegamento = cartella.percorso(QStringLiteral("collegamento.ant"));
    ASSERT_TRUE(QFile::link(etichetta, collegamento));
    const QString messaggio = LoadResString(1100) + QLatin1Char('\n');

    // The dialog: the same file under any name is refused and the dialog stays open.
    frmStamporaDestinazioneStampa dlg(&ui);
    RichiestaDestinazioneStampa r;
    r.Opzione = 2;
    r.FileProtetti = {etichetta, archivio};
    dlg.DaRichiesta(r);
    dlg.show();
    for (const QString& f : {etichetta, collegamento, archivio, cartella.percorso(QStringLiteral("./e.eti"))}) {
        ui.file.push_back(f);
        dlg.cmdOk_Click();
        EXPECT_TRUE(dlg.isVisible()) << f.toStdString();
        ASSERT_FALSE(ui.messaggi.isEmpty());
        EXPECT_EQ(ui.messaggi.last().testo, messaggio + f);
    }
    ui.file.push_back(cartella.percorso(QStringLiteral("uscita.ant")));
    dlg.cmdOk_Click();
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.DestinazioneStampa(), 3);

    // The main window's print command, answered by a script that names the label itself:
    // nothing is written, and the user is told why.
    ui.messaggi.clear();
    frmCartigo f(&ui);
    ASSERT_TRUE(f.Avvia(AvvioProgramma::DaArgomenti({etichetta})));
    ui.gestoriDialogo[RichiestaOpzioniStampa::Nome] = [](RichiestaDialogo& d) {
        auto& o = static_cast<RichiestaOpzioniStampa&>(d);
        o.Confermato = true;
        o.NumeroEtichette = 1;
        o.PrimaEtichetta = 1;
        return true;
    };
    ui.gestoriDialogo[QStringLiteral("frmStamporaDestinazioneStampa")] = [&](RichiestaDialogo& d) {
        auto& dest = static_cast<RichiestaDestinazioneStampa&>(d);
        dest.DestinazioneStampa = 3;
        dest.FileName = collegamento;
        return true;
    };
    f.mnuStampa_Click();
    EXPECT_EQ(test::LeggiFile(etichetta), kEtichetta.toLatin1());
    EXPECT_EQ(ui.testi(), QStringList{messaggio + collegamento});
}

// The layout dialog's request and the output's page set-up request once had the same
// class name, and the program kept only one of the two: one of them then reached the
// interaction seam under the other's name (and a real dialog read the wrong object).
// Both go through the seam here, in one process.
TEST_F(Dialoghi, ImpostaPaginaDelLayoutEDellaStampaNelloStessoProcesso)
{
    frmCartigo f(&ui);
    f.mnuImpostaPagina_Click();
    std::vector<int> codici = {-2, 0};
    ui.gestoriDialogo[QStringLiteral("frmStamporaDestinazioneStampa")] = [&](RichiestaDialogo& r) {
        static_cast<RichiestaDestinazioneStampa&>(r).DestinazioneStampa = codici.front();
        codici.erase(codici.begin());
        return true;
    };
    clsStampora s(ui);
    EXPECT_EQ(s.SelectPrintDestination(), 0);
    EXPECT_EQ(ui.dialoghi, (QStringList{"frmImpostaPagina", "frmStamporaDestinazioneStampa", "ImpostaPagina",
                                        "frmStamporaDestinazioneStampa"}));
}

// No two classes of the program share a qualified name: the linker would keep one of
// them for both (see above). Reads the headers' namespace-level class definitions.
TEST(Odr, NessunaClasseDefinitaDueVolte)
{
    const QRegularExpression apre(QStringLiteral("^namespace\\s*([\\w:]*)\\s*\\{"));
    const QRegularExpression chiude(QStringLiteral("^\\}\\s*//\\s*namespace"));
    const QRegularExpression classe(QStringLiteral("^(?:class|struct)\\s+(\\w+)(?:\\s+final)?\\s*(?::[^:]|\\{|$)"));
    std::map<QString, QStringList> definizioni;
    QDirIterator it(QStringLiteral(CARTIGO_SOURCE_DIR "/src"), {QStringLiteral("*.h")}, QDir::Files,
                    QDirIterator::Subdirectories);
    int file = 0;
    while (it.hasNext()) {
        const QString percorso = it.next();
        ++file;
        QStringList spazi;
        for (const QString& riga : QString::fromUtf8(test::LeggiFile(percorso)).split(QLatin1Char('\n'))) {
            if (const auto m = apre.match(riga); m.hasMatch())
                spazi << m.captured(1);
            else if (chiude.match(riga).hasMatch() && !spazi.isEmpty())
                spazi.removeLast();
            else if (const auto c = classe.match(riga); c.hasMatch() && !riga.trimmed().endsWith(QLatin1Char(';')))
                definizioni[spazi.join(QStringLiteral("::")) + QStringLiteral("::") + c.captured(1)]
                    << QDir(QStringLiteral(CARTIGO_SOURCE_DIR)).relativeFilePath(percorso);
        }
    }
    EXPECT_GT(file, 50);
    EXPECT_GT(definizioni.size(), 50u);
    for (const auto& [nome, dove] : definizioni)
        EXPECT_EQ(dove.size(), 1) << nome.toStdString() << ": " << dove.join(QStringLiteral(", ")).toStdString();
}
