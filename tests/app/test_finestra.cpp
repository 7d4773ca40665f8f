// The main window offscreen: captions in both languages, the status bar, the
// save-changes question on New, Open and closing.
#include "../stampora/SupportoStampora.h"
#include "app/frmCartigo.h"
#include "common/TestSupport.h"
#include "data/RichiesteDati.h"
#include "layout/ImpostaPagina.h"
#include "print/ControlloEtichetta.h"
#include "print/OpzioniStampa.h"
#include "shell/Finestre.h"
#include "shell/InterazioneScriptata.h"
#include "shell/StringTable.h"
#include "stampora/AzioniOutput.h"
#include "stampora/RichiesteStampora.h"

#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QToolBar>

#include <unistd.h>
#include <cstdio>
#include <functional>

using namespace cartigo;

namespace {

QStringList titoliMenu(frmCartigo& f)
{
    QStringList r;
    for (QAction* a : f.menuBar()->actions())
        r << a->text();
    return r;
}

struct Finestra {
    InterazioneScriptata ui;
    std::unique_ptr<frmCartigo> f;
    explicit Finestra(Lingua l)
    {
        test::AssicuraApplicazione();
        ImpostaLingua(l);
        f = std::make_unique<frmCartigo>(&ui);
    }
    // A print from the designer goes to a PDF file: the print options confirmed, then the
    // destination dialog answered by `destinazione`.
    void stampaSuFile(std::function<bool(RichiestaDestinazioneStampa&)> destinazione)
    {
        ui.gestoriDialogo[RichiestaOpzioniStampa::Nome] = [](RichiestaDialogo& d) {
            InterazioneScriptata muto;
            return OkOpzioniStampa({false, true, "1", "1"}, static_cast<RichiestaOpzioniStampa&>(d), muto, QString())
                .confermato;
        };
        ui.gestoriDialogo[QStringLiteral("frmStamporaDestinazioneStampa")] = [=](RichiestaDialogo& d) {
            return destinazione(static_cast<RichiestaDestinazioneStampa&>(d));
        };
    }
};

// A label of one text object, as a stored file gives it.
const QByteArray kEtichettaTesto =
    "oggTesto\r\n 567 \r\n 1440 \r\n 1000 \r\n 255 \r\nx\r\nArial\r\n 10 \r\nFalse\r\n"
    "False\r\n 0 \r\n 0 \r\n 0 \r\n 0 \r\n\r\n 0 \r\n";

}  // namespace

TEST(Finestra, MenusAndTooltipsInBothLanguages)
{
    {
        Finestra w(Lingua::Italiano);
        EXPECT_EQ(titoliMenu(*w.f), (QStringList{"File", "Modifica", "Visualizza", "Database", "Strumenti", "Formato", "&Help"}));
        EXPECT_EQ(w.f->Menu(QStringLiteral("mnuModificaImmagine"))->text(), QStringLiteral("Modifica proprietà immagine"));
        EXPECT_EQ(w.f->Menu(QStringLiteral("mnuSpessore2"))->text(), QStringLiteral("2"));
        EXPECT_EQ(w.f->Pulsante(QStringLiteral("snap"))->toolTip(), QStringLiteral("Snap"));
        EXPECT_EQ(w.f->Pulsante(QStringLiteral("spessore3"))->toolTip(), QStringLiteral("Spessore 3"));
        EXPECT_EQ(w.f->Pannello(QStringLiteral("nomedb"))->text(), QStringLiteral("Non connesso"));
        EXPECT_EQ(w.f->Pannello(QStringLiteral("capslock"))->text(), QStringLiteral("BLOC MAIUSC"));
        EXPECT_EQ(w.f->Pulsante(QStringLiteral("allineac"))->toolTip(), QStringLiteral("Allinea al centro"));
        // Qt's own words in Italian too: key names, the buttons of its dialogs.
        ASSERT_TRUE(modCartigo::CaricaTraduzioniQt()) << "Qt's translations (qt6-translations-l10n) are missing";
        EXPECT_EQ(w.f->Menu(QStringLiteral("mnuCancella"))->shortcut().toString(QKeySequence::NativeText),
                  QStringLiteral("Canc"));
        EXPECT_EQ(w.f->Menu(QStringLiteral("mnuCopia"))->shortcut().toString(QKeySequence::NativeText),
                  QStringLiteral("Ctrl+Ins"));
        EXPECT_EQ(QDialogButtonBox(QDialogButtonBox::Cancel).button(QDialogButtonBox::Cancel)->text(),
                  QStringLiteral("Annulla"));
        ImpostaLingua(Lingua::Inglese);
        ASSERT_TRUE(modCartigo::CaricaTraduzioniQt());  // English: Qt's own texts again
        EXPECT_EQ(QKeySequence(Qt::Key_Delete).toString(QKeySequence::NativeText), QStringLiteral("Del"));
    }
    Finestra w(Lingua::Inglese);
    EXPECT_EQ(titoliMenu(*w.f), (QStringList{"File", "Edit", "View", "Database", "Tools", "Format", "&Help"}));
    EXPECT_EQ(w.f->Menu(QStringLiteral("mnuPortaIndietro"))->text(), QStringLiteral("Send to back"));
    EXPECT_EQ(w.f->Menu(QStringLiteral("mnuTrasparente"))->text(), QStringLiteral("Transparent"));
    EXPECT_EQ(w.f->Menu(QStringLiteral("mnuSpessore"))->text(), QStringLiteral("Thickness"));
    EXPECT_EQ(w.f->Pulsante(QStringLiteral("grassetto"))->toolTip(), QStringLiteral("Bold"));
    EXPECT_EQ(w.f->Pulsante(QStringLiteral("allineadx"))->toolTip(), QStringLiteral("Text object alignment"));
    EXPECT_EQ(w.f->Pulsante(QStringLiteral("allineac"))->toolTip(), QStringLiteral("Align center"));
    EXPECT_EQ(w.f->Pannello(QStringLiteral("nomedb"))->text(), QStringLiteral("Not connected"));
    EXPECT_EQ(w.f->Pannello(QStringLiteral("capslock"))->text(), QStringLiteral("CAPS"));
    EXPECT_EQ(w.f->Pannello(QStringLiteral("numlock"))->text(), QStringLiteral("NUM"));
    EXPECT_EQ(w.f->windowTitle(), QStringLiteral("Untitled[*] - ") + modCartigo::TitoloProgramma());
    EXPECT_EQ(w.f->Menu(QStringLiteral("mnuCancella"))->shortcut(), QKeySequence(Qt::Key_Delete));
    EXPECT_EQ(w.f->Menu(QStringLiteral("mnuIncolla"))->shortcut(), QKeySequence(Qt::SHIFT | Qt::Key_Insert));

    // Toolbar order and separators: groups file, history, print, database, tools, editing, barcode, grid.
    QStringList chiavi;
    for (QAction* a : w.f->Toolbar1()->actions())
        chiavi << (a->isSeparator() ? QStringLiteral("|") : a->objectName());
    EXPECT_EQ(
        chiavi.join(QLatin1Char(' ')),
        QStringLiteral(
            "nuovo apri salva | annulla ripeti | imposta stampa | connettidb disconnettidb | seleziona testo immagine "
            "barcode rettangolo linea ellisse | modifica collega | parbarcode | griglia snap"));
    EXPECT_FALSE(w.f->Pulsante(QStringLiteral("griglia"))->isChecked());
    EXPECT_TRUE(w.f->Pulsante(QStringLiteral("snap"))->isChecked());
    EXPECT_EQ(w.f->cmbFontsize()->count(), 16);
    EXPECT_EQ(w.f->cmbFontsize()->currentText(), QStringLiteral("10"));
    // every command of the table has an icon
    for (QAction* a : w.f->Toolbar2()->actions()) {
        if (!a->isSeparator() && a->objectName() != QLatin1String("font")) {
            EXPECT_FALSE(a->icon().isNull()) << a->objectName().toStdString();
        }
    }
}

TEST(Finestra, TheWindowFitsTheScreenAndIsCentredOnIt)
{
    // The offscreen screen (800 x 800) is narrower than the window's 1000 x 720, as a
    // laptop screen at a scale factor of 2 is.
    Finestra w(Lingua::Inglese);
    const QRect area = w.f->screen()->availableGeometry();
    auto centrata = [&](const QWidget& finestra) {
        const QRect g = finestra.frameGeometry();
        EXPECT_TRUE(area.contains(g)) << g.x() << "," << g.y() << " " << g.width() << "x" << g.height();
        EXPECT_LE(std::abs(g.left() - area.left() - (area.right() - g.right())), 1);
        EXPECT_LE(std::abs(g.top() - area.top() - (area.bottom() - g.bottom())), 1);
    };
    centrata(*w.f);
    // Shown, with its frame.
    w.f->show();
    QApplication::processEvents();
    centrata(*w.f);
    // At a scale of 2 on a 1600 x 1000 screen (800 x 500): the status bar and the zoom
    // controls are on the window, not cut off or folded away.
    w.f->resize(800, 500);
    QApplication::processEvents();
    EXPECT_EQ(w.f->size(), QSize(800, 500));
    QList<QWidget*> controlli{w.f->statusBar(), w.f->cmbZoom(), w.f->Pannello(QStringLiteral("zoom"))};
    for (const char* k : {"zoommeno", "zoompiu", "zoomadatta"})
        controlli << w.f->ToolbarZoom()->widgetForAction(w.f->Pulsante(QString::fromLatin1(k)));
    for (QWidget* c : controlli) {
        ASSERT_NE(c, nullptr);
        EXPECT_TRUE(c->isVisible()) << c->objectName().toStdString();
        EXPECT_TRUE(w.f->rect().contains(QRect(c->mapTo(w.f.get(), QPoint()), c->size())))
            << c->objectName().toStdString();
    }
    // A window that fits keeps its size.
    QWidget piccola;
    piccola.resize(300, 200);
    modCartigo::CentraForm(&piccola);
    EXPECT_EQ(piccola.size(), QSize(300, 200));
    centrata(piccola);
}

TEST(Finestra, SaveChangesIsAskedOnNewOpenAndClose)
{
    Finestra w(Lingua::Italiano);
    auto& doc = w.f->Documento();
    doc.CreaTesto(567, 1440, 1000, 255);

    // not modified: no question
    w.f->mnuNuovo_Click();
    EXPECT_TRUE(w.ui.messaggi.isEmpty());
    EXPECT_EQ(doc.NumeroOggetti(), 0);

    // Cancel keeps the label
    doc.CreaTesto(567, 1440, 1000, 255);
    doc.ImpostaModificato(true);
    w.ui.risposte = {Risposta::Cancel};
    w.f->mnuNuovo_Click();
    ASSERT_EQ(w.ui.messaggi.size(), 1);
    EXPECT_EQ(w.ui.messaggi[0].testo, QStringLiteral("Si desidera mantenere i cambiamenti?"));
    EXPECT_EQ(w.ui.messaggi[0].pulsanti, Pulsanti::YesNoCancel);
    EXPECT_EQ(w.ui.messaggi[0].icona, Icona::Domanda);
    EXPECT_EQ(w.ui.messaggi[0].titolo, modCartigo::TitoloProgramma());
    EXPECT_EQ(doc.NumeroOggetti(), 1);

    // Yes, then cancelling the Save dialog, cancels Open: no Open dialog follows
    w.ui.risposte = {Risposta::Yes};
    w.f->mnuApri_Click();
    EXPECT_EQ(w.ui.richiesteFile.size(), 1);
    EXPECT_EQ(w.ui.richiesteFile[0].tipo, RichiestaFile::Tipo::Salva);
    EXPECT_EQ(doc.NumeroOggetti(), 1);

    // Closing: Cancel keeps the window, No closes it
    w.f->show();
    w.ui.risposte = {Risposta::Cancel};
    EXPECT_FALSE(w.f->close());
    EXPECT_TRUE(w.f->isVisible());
    w.ui.risposte = {Risposta::No};
    EXPECT_TRUE(w.f->close());
    EXPECT_EQ(w.ui.messaggi.size(), 4);

    // Yes and a save that succeeds: the file is written and the label is no longer modified
    QTemporaryDir dir;
    doc.ImpostaModificato(true);
    w.ui.risposte = {Risposta::Yes};
    w.ui.file.push_back(dir.filePath(QStringLiteral("salvata.eti")));
    w.f->mnuNuovo_Click();
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("salvata.eti"))));
    EXPECT_EQ(doc.NumeroOggetti(), 0);
    EXPECT_FALSE(doc.Modificato());
}

TEST(Finestra, LayoutAndDatabaseChangesAreAskedAboutOnClosing)
{
    QTemporaryDir dir;
    const QString csv = dir.filePath(QStringLiteral("dati.csv"));
    test::ScriviFile(csv, "nome,citta\nAnna,Roma\n");
    Finestra w(Lingua::Inglese);
    auto& doc = w.f->Documento();
    w.f->show();
    const auto chiudeSenzaDomande = [&] {
        doc.ImpostaModificato(false);
        w.f->show();
        return w.f->close();
    };
    const auto chiede = [&](auto comando) {
        doc.ImpostaModificato(false);
        comando();
        w.f->show();
        w.ui.messaggi.clear();
        w.ui.risposte = {Risposta::Cancel};
        const bool chiusa = w.f->close();
        return !chiusa && w.ui.messaggi.size() == 1 && w.ui.messaggi[0].pulsanti == Pulsanti::YesNoCancel;
    };
    EXPECT_TRUE(chiudeSenzaDomande());

    // OK in the page set-up dialog
    w.ui.gestoriDialogo[RichiestaImpostaPagina::Nome] = [](RichiestaDialogo& r) {
        static_cast<RichiestaImpostaPagina&>(r).layout.AltezzaEtichetta = 30;
        return true;
    };
    EXPECT_TRUE(chiede([&] { w.f->mnuImpostaPagina_Click(); }));
    EXPECT_EQ(doc.Layout().AltezzaEtichetta, 30);

    // connecting and disconnecting a database
    w.ui.gestoriDialogo[QStringLiteral("frmConnettiDBMDB")] = [&](RichiestaDialogo& r) {
        return static_cast<RichiestaConnettiDB&>(r).cmdOk(csv, QString(), w.ui, QString());
    };
    w.ui.gestoriDialogo[QStringLiteral("frmSelezionaTabella")] = [&](RichiestaDialogo& r) {
        return static_cast<RichiestaSelezionaTabella&>(r).cmdOk(0, w.ui, QString());
    };
    EXPECT_TRUE(chiede([&] { w.f->Toolbar_ButtonClick(QStringLiteral("connettidb")); }));
    EXPECT_TRUE(doc.Connesso());
    EXPECT_TRUE(chiede([&] { w.f->Toolbar_ButtonClick(QStringLiteral("disconnettidb")); }));
    EXPECT_FALSE(doc.Connesso());
    EXPECT_TRUE(chiudeSenzaDomande());
}

TEST(Finestra, UndoAndRedoFromTheEditMenuAndTheSaveQuestion)
{
    QTemporaryDir dir;
    Finestra w(Lingua::Italiano);
    auto& doc = w.f->Documento();
    w.f->show();
    QAction* annulla = w.f->Menu(QStringLiteral("mnuAnnulla"));
    QAction* ripeti = w.f->Menu(QStringLiteral("mnuRipeti"));
    EXPECT_EQ(annulla->shortcuts(), (QList<QKeySequence>{QKeySequence(Qt::CTRL | Qt::Key_Z)}));
    EXPECT_EQ(ripeti->shortcuts(), (QList<QKeySequence>{QKeySequence(Qt::CTRL | Qt::Key_Y),
                                                        QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)}));
    EXPECT_EQ(w.f->Menu(QStringLiteral("mnuTaglia"))->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_X));
    EXPECT_EQ(w.f->Menu(QStringLiteral("mnuSelezionaTutto"))->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_A));
    EXPECT_FALSE(annulla->isEnabled());
    EXPECT_EQ(annulla->text(), QStringLiteral("Annulla"));
    for (const char* k : {"annulla", "ripeti"}) EXPECT_FALSE(w.f->Pulsante(QString::fromLatin1(k))->icon().isNull());
    // Closing asks exactly when the label is away from its saved state.
    const auto chiede = [&] {
        w.f->show();
        w.ui.messaggi.clear();
        w.ui.risposte = {Risposta::Cancel};
        const bool chiusa = w.f->close();
        EXPECT_EQ(chiusa, w.ui.messaggi.isEmpty());
        return !chiusa;
    };

    OggettoEtichetta* t = doc.CreaTesto(1500, 1500, 1000, 300);
    w.f->ImpostaCurrentObject(t);
    w.f->mnuOpaco_Click();
    EXPECT_EQ(annulla->text(), QStringLiteral("Annulla modalità sfondo"));
    EXPECT_EQ(w.f->Pulsante(QStringLiteral("annulla"))->toolTip(), annulla->text());
    EXPECT_TRUE(chiede());
    annulla->trigger();
    EXPECT_EQ(t->BackStyle, 0);
    EXPECT_EQ(ripeti->text(), QStringLiteral("Ripeti modalità sfondo"));
    EXPECT_FALSE(chiede());
    w.f->Pulsante(QStringLiteral("ripeti"))->trigger();
    EXPECT_EQ(t->BackStyle, 1);
    EXPECT_TRUE(chiede());

    // Saved: the saved state is the one an undo comes back to.
    const QString file = dir.filePath(QStringLiteral("e.eti"));
    w.ui.file = {file};
    w.f->mnuSalva_Click();
    EXPECT_FALSE(chiede());
    w.ui.gestoriDialogo[RichiestaImpostaPagina::Nome] = [](RichiestaDialogo& r) {
        static_cast<RichiestaImpostaPagina&>(r).layout.LarghezzaEtichetta = 60;
        return true;
    };
    w.f->mnuImpostaPagina_Click();
    EXPECT_EQ(doc.Layout().LarghezzaEtichetta, 60);
    EXPECT_EQ(annulla->text(), QStringLiteral("Annulla layout etichetta"));
    EXPECT_TRUE(chiede());
    annulla->trigger();
    EXPECT_EQ(doc.Layout().LarghezzaEtichetta, 80);
    EXPECT_FALSE(chiede());
    annulla->trigger();  // before the save
    EXPECT_TRUE(chiede());
    // A page set-up confirmed without a change is no step.
    ripeti->trigger();
    const int passi = doc.Storia().count();
    w.ui.gestoriDialogo[RichiestaImpostaPagina::Nome] = [](RichiestaDialogo&) { return true; };
    w.f->mnuImpostaPagina_Click();
    EXPECT_EQ(doc.Storia().count(), passi);

    // New starts with no history.
    w.ui.risposte = {Risposta::No};
    w.f->mnuNuovo_Click();
    EXPECT_FALSE(annulla->isEnabled());
    EXPECT_FALSE(ripeti->isEnabled());
    EXPECT_EQ(annulla->text(), QStringLiteral("Annulla"));
    EXPECT_FALSE(chiede());

    // The names in English.
    ImpostaLingua(Lingua::Inglese);
    t = doc.CreaRettangolo(1500, 1500, 1000, 300);
    w.f->ImpostaCurrentObject(t);
    w.f->mnuSpessore_Click(2);
    EXPECT_EQ(annulla->text(), QStringLiteral("Undo Thickness"));
    w.f->mnuCancella_Click();
    EXPECT_EQ(annulla->text(), QStringLiteral("Undo Delete"));
    annulla->trigger();
    EXPECT_EQ(w.f->CurrentObject(), t);  // what an undo brings back is selected
    EXPECT_EQ(ripeti->text(), QStringLiteral("Redo Delete"));
    doc.ImpostaModificato(false);
}

TEST(Finestra, StartUpLoadsTheLabelAndPrintSwitchDoesNotShowTheWindow)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("e.eti"));
    test::ScriviFile(file, kEtichettaTesto);
    for (const bool stampa : {false, true}) {
        Finestra w(Lingua::Inglese);
        EXPECT_EQ(w.f->Avvia(AvvioProgramma::DaArgomenti({file + (stampa ? QStringLiteral(",-S") : QString())})),
                  !stampa);
        EXPECT_EQ(w.f->Documento().NumeroOggetti(), 1);
    }
    {
        Finestra w(Lingua::Inglese);
        QStringList connessioni;
        w.f->Gestore().ConnettiDatabase = [&](const QString& n, const QString& p, const QString&) {
            connessioni << n + QLatin1Char('/') + p;
            return false;
        };
        EXPECT_TRUE(w.f->Avvia(AvvioProgramma::DaArgomenti({file + QStringLiteral(",x,db.mdb,pw")})));
        EXPECT_EQ(connessioni, QStringList{"db.mdb/pw"});
        EXPECT_EQ(w.f->Documento().Collegamento().NomeDatabase, QStringLiteral("db.mdb"));
    }
    {
        // a missing file: the message, and an empty label
        Finestra w(Lingua::Inglese);
        EXPECT_TRUE(w.f->Avvia(AvvioProgramma::DaArgomenti({dir.filePath(QStringLiteral("no.eti"))})));
        ASSERT_EQ(w.ui.messaggi.size(), 1);
        EXPECT_TRUE(w.ui.messaggi[0].testo.endsWith(QStringLiteral(" not found or path not accessible.")));
        EXPECT_EQ(w.f->Documento().NumeroOggetti(), 0);
    }
}

// Printing to a file: the file dialog opens in the label's folder, then in the folder last
// chosen; the status bar says where the file went.
TEST(Finestra, PrintingToAFileStartsBesideTheLabelAndSaysWhereItWent)
{
    test::CartellaProgrammaTemporanea programma;
    test::StampanteFinta stampante;
    QTemporaryDir dir, altra;
    const QString etichetta = dir.filePath(QStringLiteral("e.eti"));
    test::ScriviFile(etichetta, kEtichettaTesto);
    Finestra w(Lingua::Inglese);
    ASSERT_TRUE(w.f->Avvia(AvvioProgramma::DaArgomenti({etichetta})));
    // The destination dialog's File button, as the dialog runs it.
    w.stampaSuFile([&](RichiestaDestinazioneStampa& r) {
        r.FileName = ScegliFileStampa(w.ui, r.CartellaFile);
        r.DestinazioneStampa = r.FileName.isEmpty() ? 0 : 3;
        return !r.FileName.isEmpty();
    });
    const QString pdf = altra.filePath(QStringLiteral("uscita.pdf"));
    w.ui.file = {pdf};
    w.f->mnuStampa_Click();
    ASSERT_EQ(w.ui.richiesteFile.size(), 1);
    EXPECT_EQ(QDir(w.ui.richiesteFile[0].cartella), QDir(dir.path()));
    EXPECT_TRUE(w.ui.richiesteFile[0].filtro.contains(QStringLiteral("PDF (*.pdf)")));
    EXPECT_TRUE(w.ui.richiesteFile[0].filtro.contains(QStringLiteral("(*.ant)")));
    EXPECT_TRUE(QFileInfo(pdf).size() > 0);
    EXPECT_EQ(w.f->statusBar()->currentMessage(), QStringLiteral("File written: ") + QDir::toNativeSeparators(pdf));
    w.ui.file = {std::nullopt};  // cancelled the second time
    w.f->mnuStampa_Click();
    ASSERT_EQ(w.ui.richiesteFile.size(), 2);
    EXPECT_EQ(QDir(w.ui.richiesteFile[1].cartella), QDir(altra.path()));
    w.f->Documento().ImpostaModificato(false);
}

// File > Check label lists what would not scan, a finding clicked selects its object; a print
// asks "Print anyway?" first and does what the answer says.
TEST(Finestra, CheckLabelSelectsWhatItFindsAndPrintAsksFirst)
{
    test::CartellaProgrammaTemporanea programma;
    test::StampanteFinta stampante;
    QTemporaryDir dir;
    Finestra w(Lingua::Inglese);
    DocumentoEtichetta& doc = w.f->Documento();
    LayoutEtichetta l = doc.Layout();
    l.Risoluzione = 203;
    doc.ImpostaLayout(l);
    auto* bc = doc.CreaBarcode(567, 1440, 300, 500);  // a Code 39 against the label's edge
    bc->ToolTipText = QStringLiteral("CARTIGO");
    EXPECT_EQ(w.f->Menu(QStringLiteral("mnuControllaEtichetta"))->text(), QStringLiteral("Check label"));
    QStringList righe;
    w.ui.gestoriDialogo[RichiestaRilievi::Nome] = [&](RichiestaDialogo& d) {
        auto& r = static_cast<RichiestaRilievi&>(d);
        righe = r.righe;
        r.scelto = int(r.righe.size()) - 1;
        return true;
    };
    w.f->mnuControllaEtichetta_Click();
    ASSERT_FALSE(righe.isEmpty());
    EXPECT_TRUE(righe.last().startsWith(QStringLiteral("Barcode %1 (Code 39): ").arg(bc->Index)));
    EXPECT_EQ(w.f->CurrentObject(), bc);

    const QString pdf = dir.filePath(QStringLiteral("uscita.pdf"));
    w.stampaSuFile([=](RichiestaDestinazioneStampa& r) {
        r.DestinazioneStampa = 3;
        r.FileName = pdf;
        return true;
    });
    w.ui.messaggi.clear();
    w.ui.risposte = {Risposta::No};
    w.f->mnuStampa_Click();
    ASSERT_FALSE(w.ui.messaggi.isEmpty());
    EXPECT_TRUE(w.ui.messaggi.last().testo.startsWith(QStringLiteral("Label check (203 dpi):")));
    EXPECT_TRUE(w.ui.messaggi.last().testo.endsWith(QStringLiteral("Print anyway?")));
    EXPECT_FALSE(QFileInfo::exists(pdf));
    w.ui.risposte = {Risposta::Yes};
    w.f->mnuStampa_Click();
    EXPECT_TRUE(QFileInfo(pdf).size() > 0);
    // clear of the edge, nothing to find
    bc->Left = 567 + 20 * 56.7f;
    bc->Width = 40 * 56.7f;
    bc->Height = 15 * 56.7f;
    w.ui.messaggi.clear();
    w.f->mnuControllaEtichetta_Click();
    ASSERT_EQ(w.ui.messaggi.size(), 1);
    EXPECT_EQ(w.ui.messaggi[0].testo, QStringLiteral("No print problems (203 dpi)."));
    doc.ImpostaModificato(false);

    // Started with -S: printed without a question, the findings on standard error.
    const QString etichetta = dir.filePath(QStringLiteral("e.eti"));
    test::ScriviFile(etichetta, "oggImmagine\r\n 0 \r\n 0 \r\n 300 \r\n 500 \r\n00\r\n\r\nCARTIGO\r\n 0 \r\n");
    Finestra s(Lingua::Inglese);
    s.ui.gestoriDialogo = w.ui.gestoriDialogo;
    QFile::remove(pdf);
    QTemporaryFile errori;
    ASSERT_TRUE(errori.open());
    std::fflush(stderr);
    const int salvato = dup(STDERR_FILENO);
    dup2(errori.handle(), STDERR_FILENO);
    EXPECT_FALSE(s.f->Avvia(AvvioProgramma::DaArgomenti({etichetta + QStringLiteral(",-S")})));
    std::fflush(stderr);
    dup2(salvato, STDERR_FILENO);
    close(salvato);
    EXPECT_TRUE(QFileInfo(pdf).size() > 0);
    EXPECT_TRUE(s.ui.messaggi.isEmpty());
    errori.seek(0);
    const QString scritto = QString::fromLocal8Bit(errori.readAll());
    EXPECT_TRUE(scritto.contains(QStringLiteral("cartigo: Barcode 1 (Code 39): "))) << scritto.toStdString();
}
