// The main window driven like a user: the mouse on the surface (through the window,
// so the drag's mouse capture is real), the editing keys, the commands of the menus
// and toolbars per kind, the font boxes, and a label built with the mouse and saved.
#include "FinestraDiProva.h"
#include "designer/BandaTrascinamento.h"

#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLineEdit>
#include <QTemporaryDir>

using namespace cartigo;

namespace {

struct ModificaConMouse : test::FinestraDiProva {
    void SetUp() override
    {
        FinestraDiProva::SetUp();
        CentoPerCento();
        ui.caratteri.clear();
    }
    void premi(QPointF tw, Qt::MouseButton b = Qt::LeftButton)
    {
        QTest::mousePress(f->windowHandle(), b, {}, punto(tw));
    }
    void sposta(QPointF tw) { QTest::mouseMove(f->windowHandle(), punto(tw)); }
    void rilascia(QPointF tw, Qt::MouseButton b = Qt::LeftButton)
    {
        QTest::mouseRelease(f->windowHandle(), b, {}, punto(tw));
    }
    void tasto(Qt::Key k, Qt::KeyboardModifiers m = {}) { QTest::keyClick(f.get(), k, m); }
    // Types `testo` into a font box and leaves it for the surface, as a click there does.
    void scriviELascia(QComboBox* box, const QString& testo)
    {
        ui.messaggi.clear();
        box->setFocus(Qt::MouseFocusReason);
        QApplication::processEvents();
        box->setEditText(testo);
        f->Superficie()->setFocus(Qt::MouseFocusReason);
        QApplication::processEvents();
    }
};

}  // namespace

TEST_F(ModificaConMouse, CreatingMovingAndSizingWithTheMouse)
{
    f->Pulsante(QStringLiteral("testo"))->trigger();
    EXPECT_EQ(f->cursor().shape(), Qt::CrossCursor);
    EXPECT_FALSE(doc().Modificato());  // choosing a tool changes nothing of the label
    clic({1500, 1995});
    ASSERT_EQ(doc().NumeroOggetti(), 1);
    OggettoEtichetta* t = doc().Oggetti()[0];
    EXPECT_EQ(t->tipo, TipoOggetto::Testo);
    // Snapped to 16 x 10 mm of the label, its default size kept.
    EXPECT_NEAR(t->Left, 567 + 16 * 56.7, 1e-3);
    EXPECT_NEAR(t->Top, 1440 + 10 * 56.7, 1e-3);
    EXPECT_EQ(t->Width, 1000);
    EXPECT_EQ(f->CurrentObject(), t);
    EXPECT_EQ(f->cursor().shape(), Qt::ArrowCursor);
    ASSERT_TRUE(f->Superficie()->Maniglie());
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);

    // A rectangle drawn by a drag: the band runs from the press to the mouse, the window
    // holding the mouse.
    f->Menu(QStringLiteral("mnuRettangolo"))->trigger();
    premi({3000, 3000});
    EXPECT_EQ(QWidget::mouseGrabber(), f.get());
    EXPECT_EQ(f->Banda()->Disegnati().size(), 1);
    EXPECT_FALSE(f->Superficie()->Maniglie());
    sposta({3600, 3300});
    sposta({4500, 3600});
    ASSERT_EQ(doc().NumeroOggetti(), 2);
    OggettoEtichetta* r = doc().Oggetti()[1];
    EXPECT_EQ(r->Width, 1935);  // placed, not yet drawn
    const QRect banda = f->Banda()->Disegnati().value(0);
    // From the press to the mouse, within a millimetre.
    EXPECT_LE((banda.topLeft() - f->Superficie()->mapToGlobal(QPoint(200, 200))).manhattanLength(), 4);
    EXPECT_LE((banda.bottomRight() - f->Superficie()->mapToGlobal(QPoint(300, 240))).manhattanLength(), 4);
    rilascia({4500, 3600});
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    EXPECT_TRUE(f->Banda()->Disegnati().isEmpty());
    // On whole millimetres of the label, within a millimetre of the press and the release.
    EXPECT_NEAR(r->Left, 567 + 43 * 56.7, 1e-3);
    EXPECT_NEAR(r->Top, 1440 + 28 * 56.7, 1e-3);
    EXPECT_NEAR(r->Width, 26 * 56.7, 1e-3);
    EXPECT_NEAR(r->Height, 10 * 56.7, 1e-3);
    EXPECT_EQ(doc().Storia().count(), 2);  // placing the text, drawing the rectangle

    // Snap off: move the text by 30 x 20 pixels, then size the rectangle with grip 4.
    f->Pulsante(QStringLiteral("snap"))->trigger();
    f->Menu(QStringLiteral("mnuSeleziona"))->trigger();
    const QRectF primaT = cornice(t);
    trascina({t->Left + 100, t->Top + 100}, {t->Left + 100 + 450, t->Top + 100 + 300});
    EXPECT_NEAR(t->Left, primaT.left() + 450, 15);
    EXPECT_NEAR(t->Top, primaT.top() + 300, 15);
    EXPECT_EQ(f->CurrentObject(), t);

    clic({r->Left + 300, r->Top + 300});
    ASSERT_EQ(f->CurrentObject(), r);
    const QPointF grip4 = (*f->Superficie()->Maniglie())[4] + QPointF(30, 30);
    sposta(grip4);  // hovering a grip shows its pointer
    EXPECT_EQ(f->Superficie()->cursor().shape(), Qt::SizeFDiagCursor);
    const double sinistra = r->Left;
    trascina(grip4, {r->Left + 3000, r->Top + 1500});
    EXPECT_NEAR(r->Left, sinistra, 15);
    EXPECT_NEAR(r->Width, 3000, 15);
    EXPECT_NEAR(r->Height, 1500, 15);
    // The top grip dragged past the bottom edge: a normalised object below.
    const double fondo = r->Top + r->Height;
    trascina((*f->Superficie()->Maniglie())[1] + QPointF(30, 30), {r->Left + 300, fondo + 600});
    EXPECT_NEAR(r->Top, fondo, 15);
    EXPECT_NEAR(r->Height, 600, 15);

    // Clicking empty surface removes the selection and the grips.
    clic({300, 300});
    EXPECT_EQ(f->CurrentObject(), nullptr);
    EXPECT_FALSE(f->Superficie()->Maniglie());
}

// Every creation tool draws its object from the press to the release, whichever way the
// drag goes; a click (a pixel or two of wobble included) keeps the tool's default frame;
// the picture tool asks for its file at once, and a picture beside the label is named
// from the label's folder. Each object is one step.
TEST_F(ModificaConMouse, EveryToolDrawsItsObjectFromThePressToTheRelease)
{
    f->Pulsante(QStringLiteral("snap"))->trigger();  // off: positions to the pixel (15 twips)
    QTemporaryDir dir, altrove;
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("img")));
    QImage img(12, 6, QImage::Format_RGB32);
    img.fill(Qt::blue);
    for (const QString& p : {dir.filePath(QStringLiteral("logo.png")), dir.filePath(QStringLiteral("img/sotto.png")),
                             altrove.filePath(QStringLiteral("fuori.png"))})
        ASSERT_TRUE(img.save(p));
    ui.file = {dir.filePath(QStringLiteral("disegno.eti"))};
    f->Menu(QStringLiteral("mnuSalva"))->trigger();  // the label has a folder
    ASSERT_EQ(doc().CartellaEtichetta(), QFileInfo(dir.path()).absoluteFilePath());

    const auto disegna = [&](const char* strumento, QPointF da, QPointF a) {
        f->Pulsante(QString::fromLatin1(strumento))->trigger();
        trascina(da, a);
        return f->CurrentObject();
    };
    const auto vicino = [](const OggettoEtichetta* o, QRectF atteso) {
        return std::abs(o->Left - atteso.left()) <= 15 && std::abs(o->Top - atteso.top()) <= 15 &&
               std::abs(o->Width - atteso.width()) <= 15 && std::abs(o->Height - atteso.height()) <= 15;
    };
    const int passi = doc().Storia().count();
    OggettoEtichetta* t = disegna("testo", {1500, 1500}, {4500, 2100});
    ASSERT_TRUE(t && t->tipo == TipoOggetto::Testo);
    EXPECT_TRUE(vicino(t, {1500, 1500, 3000, 600})) << t->Left << " " << t->Top << " " << t->Width << " " << t->Height;
    // drawn up and to the left: the frame between the two points
    OggettoEtichetta* b = disegna("barcode", {6000, 4500}, {1500, 2700});
    ASSERT_TRUE(b && b->tipo == TipoOggetto::Barcode);
    EXPECT_TRUE(vicino(b, {1500, 2700, 4500, 1800})) << b->Left << " " << b->Top << " " << b->Width << " " << b->Height;
    OggettoEtichetta* r = disegna("rettangolo", {6300, 1500}, {7500, 1515});
    ASSERT_TRUE(r && r->tipo == TipoOggetto::Rettangolo);
    EXPECT_NEAR(r->Width, 1200, 15);
    EXPECT_NEAR(r->Height, 56.7, 1e-3);  // flat: a millimetre high at least
    // a click with a pixel of wobble: the default frame at the press
    f->Pulsante(QStringLiteral("rettangolo"))->trigger();
    premi({6300, 3000});
    sposta({6315, 3015});
    rilascia({6315, 3015});
    EXPECT_TRUE(vicino(f->CurrentObject(), {6300, 3000, 1935, 1035}));

    // the picture tool: the file chooser at once, in the label's folder
    ui.file = {dir.filePath(QStringLiteral("logo.png"))};
    OggettoEtichetta* i = disegna("immagine", {1500, 5000}, {3000, 6500});
    ASSERT_TRUE(i && i->tipo == TipoOggetto::Immagine);
    EXPECT_TRUE(vicino(i, {1500, 5000, 1500, 1500}));
    ASSERT_FALSE(ui.richiesteFile.isEmpty());
    EXPECT_EQ(ui.richiesteFile.last().tipo, RichiestaFile::Tipo::Apri);
    EXPECT_EQ(QFileInfo(ui.richiesteFile.last().cartella).absoluteFilePath(), doc().CartellaEtichetta());
    EXPECT_EQ(i->ToolTipText, QStringLiteral("logo.png"));
    EXPECT_EQ(i->Picture.size(), QSize(12, 6));
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    ui.file = {dir.filePath(QStringLiteral("img/sotto.png"))};
    EXPECT_EQ(disegna("immagine", {3500, 5000}, {4500, 6000})->ToolTipText, QStringLiteral("img/sotto.png"));
    ui.file = {altrove.filePath(QStringLiteral("fuori.png"))};
    EXPECT_EQ(disegna("immagine", {5000, 5000}, {6000, 6000})->ToolTipText,
              QFileInfo(altrove.filePath(QStringLiteral("fuori.png"))).absoluteFilePath());
    ui.file = {std::nullopt};  // cancelled: the picture stays, empty
    OggettoEtichetta* vuota = disegna("immagine", {6500, 5000}, {7500, 6000});
    EXPECT_TRUE(vuota->ToolTipText.isEmpty());
    EXPECT_TRUE(vuota->Picture.isNull());

    // one step each; undoing the picture's takes it away whole, redoing brings its file back
    EXPECT_EQ(doc().Storia().count(), passi + 8);
    EXPECT_EQ(doc().NumeroOggetti(), 8);
    doc().Storia().undo();
    doc().Storia().undo();
    doc().Storia().undo();
    EXPECT_EQ(doc().NumeroOggetti(), 5);
    doc().Storia().redo();
    ASSERT_EQ(doc().NumeroOggetti(), 6);
    EXPECT_EQ(doc().Oggetti().back()->ToolTipText, QStringLiteral("img/sotto.png"));
}

// The tool in use is checked in the menu and the toolbar; after a command that leaves the
// selection tool off, a click still selects and a double-click edits the object it hits
// (never the one selected before).
TEST_F(ModificaConMouse, TheToolInUseShowsAndADoubleClickEditsWhatItHits)
{
    auto strumento = [&] {
        QStringList r;
        for (const char* k : {"seleziona", "testo", "barcode", "immagine", "rettangolo"}) {
            QAction* p = f->Pulsante(QString::fromLatin1(k));
            EXPECT_TRUE(p->isCheckable());
            if (p->isChecked()) r << QString::fromLatin1(k);
        }
        for (const char* m : {"mnuSeleziona", "mnuTesto", "mnuCodiciBarre", "mnuImmagine", "mnuRettangolo"})
            if (f->Menu(QString::fromLatin1(m))->isChecked()) r << QString::fromLatin1(m);
        return r.join(QLatin1Char(' '));
    };
    EXPECT_EQ(strumento(), QStringLiteral("seleziona mnuSeleziona"));
    f->Pulsante(QStringLiteral("testo"))->trigger();
    EXPECT_EQ(strumento(), QStringLiteral("testo mnuTesto"));
    f->Menu(QStringLiteral("mnuCodiciBarre"))->trigger();
    f->Menu(QStringLiteral("mnuCodiciBarre"))->trigger();  // again: it stays the tool
    EXPECT_EQ(strumento(), QStringLiteral("barcode mnuCodiciBarre"));
    clic({3000, 2500});
    EXPECT_EQ(strumento(), QStringLiteral("seleziona mnuSeleziona"));
    ASSERT_EQ(doc().NumeroOggetti(), 1);
    OggettoEtichetta* b = doc().Oggetti()[0];
    b->ToolTipText = QStringLiteral("12345");
    auto* t = doc().CreaTesto(1500, 1500, 1000, 300);
    t->Caption = QStringLiteral("Caption");

    // The text selected, then Link object (no database: a message) leaves the tool off.
    clic({1600, 1600});
    ASSERT_EQ(f->CurrentObject(), t);
    f->Menu(QStringLiteral("mnuCollega"))->trigger();
    EXPECT_EQ(ui.messaggi.size(), 1);
    QString aperto;
    ui.gestoriDialogo[RichiestaModificaTesto::Nome] = [&](RichiestaDialogo& d) {
        auto& r = static_cast<RichiestaModificaTesto&>(d);
        aperto = r.testo;
        r.testo = QStringLiteral("999");
        return true;
    };
    QTest::mouseDClick(f->windowHandle(), Qt::LeftButton, {}, punto({b->Left + 100, b->Top + 100}));
    EXPECT_EQ(aperto, QStringLiteral("12345"));
    EXPECT_EQ(b->ToolTipText, QStringLiteral("999"));
    EXPECT_EQ(t->Caption, QStringLiteral("Caption"));
    EXPECT_EQ(f->CurrentObject(), b);
    // The same with the text: its own editor, not the barcode's link.
    f->Menu(QStringLiteral("mnuCollega"))->trigger();
    QTest::mouseDClick(f->windowHandle(), Qt::LeftButton, {}, punto({1600, 1600}));
    EXPECT_EQ(aperto, QStringLiteral("Caption"));
    EXPECT_EQ(t->Caption, QStringLiteral("999"));
    // A plain click after such a command selects, with its grips on what it selected.
    f->Menu(QStringLiteral("mnuCollega"))->trigger();
    clic({b->Left + 100, b->Top + 100});
    EXPECT_EQ(f->CurrentObject(), b);
    ASSERT_TRUE(f->Superficie()->Maniglie());
    EXPECT_GT(f->Superficie()->Maniglie()->at(1).x(), b->Left);
}

TEST_F(ModificaConMouse, TheEditingKeys)
{
    auto* t = doc().CreaTesto(1500, 1500, 1500, 300);
    f->Menu(QStringLiteral("mnuSeleziona"))->trigger();
    clic({1600, 1600});
    ASSERT_EQ(f->CurrentObject(), t);
    // Shift+Delete and Alt+Delete do nothing.
    tasto(Qt::Key_Delete, Qt::ShiftModifier);
    tasto(Qt::Key_Delete, Qt::AltModifier);
    EXPECT_EQ(doc().NumeroOggetti(), 1);
    // Ctrl+Insert copies, Shift+Insert pastes 100 twips right and down, and the copy is
    // the selection.
    tasto(Qt::Key_Insert, Qt::ControlModifier);
    tasto(Qt::Key_Insert, Qt::ShiftModifier);
    ASSERT_EQ(doc().NumeroOggetti(), 2);
    EXPECT_EQ(cornice(doc().Oggetti()[1]), cornice(t).translated(100, 100));
    EXPECT_EQ(f->CurrentObject(), doc().Oggetti()[1]);
    EXPECT_TRUE(f->Superficie()->Maniglie());
    // Shift+Ctrl+Insert does nothing; Ctrl+V pastes as well, a step further on.
    tasto(Qt::Key_Insert, Qt::ShiftModifier | Qt::ControlModifier);
    EXPECT_EQ(doc().NumeroOggetti(), 2);
    tasto(Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(doc().NumeroOggetti(), 3);
    EXPECT_EQ(cornice(doc().Oggetti()[2]), cornice(t).translated(200, 200));
    EXPECT_EQ(f->Editor().Selezione(), std::vector<OggettoEtichetta*>{doc().Oggetti()[2]});
    // Delete removes the selection and leaves the selection tool on.
    clic({1550, 1550});
    ASSERT_EQ(f->CurrentObject(), t);
    tasto(Qt::Key_Delete);
    EXPECT_EQ(doc().NumeroOggetti(), 2);
    EXPECT_EQ(f->CurrentObject(), nullptr);
    EXPECT_TRUE(f->Editor().SelectMode);
    EXPECT_FALSE(f->Superficie()->Maniglie());
    // Pasting after the copied object is gone pastes nothing.
    tasto(Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(doc().NumeroOggetti(), 2);
}

TEST_F(ModificaConMouse, CommandsFromMenusAndToolbarsPerKind)
{
    auto* t = doc().CreaTesto(1500, 1500, 1500, 300);
    auto* b = doc().CreaBarcode(1500, 2500, 1935, 1035);
    auto* p = doc().CreaImmagine(4500, 2500, 1935, 1035);
    auto* r = doc().CreaRettangolo(1500, 4500, 1935, 1035);
    f->Menu(QStringLiteral("mnuSeleziona"))->trigger();
    auto seleziona = [&](OggettoEtichetta* o) {
        clic({o->Left + 50, o->Top + 50});
        ASSERT_EQ(f->CurrentObject(), o);
    };
    // Runs a command and checks it marked the label as modified when it changed it.
    auto esegui = [&](std::function<void()> comando) { test::ModificatoSeCambia(doc(), comando); };
    auto menu = [&](const char* n) { esegui([&] { f->Menu(QString::fromLatin1(n))->trigger(); }); };
    auto pulsante = [&](const char* k) { esegui([&] { f->Pulsante(QString::fromLatin1(k))->trigger(); }); };

    // Background mode, thickness and alignment per kind.
    seleziona(r);
    pulsante("opaco");
    EXPECT_EQ(r->BackStyle, 1);
    menu("mnuTrasparente");
    EXPECT_EQ(r->BackStyle, 0);
    pulsante("spessore3");
    EXPECT_EQ(r->BorderWidth, 3);
    menu("mnuSpessore2");
    EXPECT_EQ(r->BorderWidth, 2);
    pulsante("allineadx");  // nothing for a rectangle
    seleziona(t);
    pulsante("spessore3");  // nothing for a text
    EXPECT_EQ(t->BackStyle, 0);
    menu("mnuOpaco");
    EXPECT_EQ(t->BackStyle, 1);
    pulsante("allineadx");
    EXPECT_EQ(t->Alignment, 1);
    f->Toolbar_ButtonClick(QStringLiteral("allineac"));
    EXPECT_EQ(t->Alignment, 2);
    seleziona(b);
    pulsante("opaco");
    pulsante("coloreogg");  // no colour dialog for a barcode
    EXPECT_TRUE(ui.testi().isEmpty());

    // A selection made without the mouse serves the commands the same way.
    f->ImpostaCurrentObject(r);
    menu("mnuSpessore1");
    EXPECT_EQ(r->BorderWidth, 1);
    f->ImpostaCurrentObject(nullptr);
    EXPECT_EQ(f->CurrentObject(), nullptr);
    EXPECT_FALSE(f->Superficie()->Maniglie());

    // Colours through the colour dialog.
    seleziona(r);
    ui.colori = {QColor(255, 0, 0)};
    pulsante("coloreogg");
    EXPECT_EQ(r->BorderColor, 0x000000FF);
    ui.colori = {QColor(0, 0, 255)};
    menu("mnuColoreSfondo");
    EXPECT_EQ(r->BackColor, 0x00FF0000);
    EXPECT_EQ(r->BackStyle, 1);
    ui.colori = {std::nullopt};  // cancelled: nothing changes
    pulsante("coloresfo");
    EXPECT_EQ(r->BackColor, 0x00FF0000);

    // Drawing order.
    seleziona(t);
    pulsante("indietro");
    EXPECT_EQ(doc().OrdineDisegno().front(), t);
    EXPECT_EQ(doc().Zorder().Codice(QStringLiteral("oggTesto1")), 2);
    menu("mnuPortaAvanti");
    EXPECT_EQ(doc().OrdineDisegno().back(), t);

    // The dialogs, through the scripted seam.
    ui.gestoriDialogo[RichiestaModificaTesto::Nome] = [](RichiestaDialogo& d) {
        static_cast<RichiestaModificaTesto&>(d).testo = QStringLiteral("8012345678901");
        return true;
    };
    seleziona(b);
    pulsante("modifica");
    EXPECT_EQ(b->ToolTipText, QStringLiteral("8012345678901"));
    ui.gestoriDialogo[RichiestaParametriBarcode::Nome] = [](RichiestaDialogo& d) {
        auto& r = static_cast<RichiestaParametriBarcode&>(d);
        EXPECT_EQ(r.tipoBarcode, 0);
        EXPECT_EQ(r.opzioneTesto, 1);  // "Sotto" for a new barcode
        EXPECT_TRUE(r.cifreStandard);  // and the standard layout of EAN's and UPC's digits
        r.tipoBarcode = 1;
        r.opzioneTesto = 2;
        return true;
    };
    pulsante("parbarcode");
    EXPECT_EQ(b->Tag, QStringLiteral("12S"));
    ui.gestoriDialogo[RichiestaAllineamento::Nome] = [](RichiestaDialogo& d) {
        static_cast<RichiestaAllineamento&>(d).opzione = 0;
        return true;
    };
    seleziona(t);
    menu("mnuAllineamento");
    EXPECT_EQ(t->Alignment, 0);
    QTemporaryDir dir;
    const QString png = dir.filePath(QStringLiteral("logo.png"));
    QImage(20, 10, QImage::Format_RGB32).save(png);
    ui.gestoriDialogo[RichiestaModificaImmagine::Nome] = [&](RichiestaDialogo& d) {
        static_cast<RichiestaModificaImmagine&>(d).nomeFile = png;
        return true;
    };
    seleziona(p);
    menu("mnuModificaImmagine");
    EXPECT_EQ(p->ToolTipText, png);
    EXPECT_EQ(p->Picture.size(), QSize(20, 10));

    // Font: the dialog, the boxes and the two toggles.
    seleziona(t);
    ui.caratteri = {QFont(QStringLiteral("Courier New"), 14)};
    pulsante("carattere");
    EXPECT_EQ(t->FontName, QStringLiteral("Courier New"));
    EXPECT_EQ(t->FontSize, 14);
    EXPECT_EQ(doc().Modello(TipoOggetto::Testo).FontName, QStringLiteral("Courier New"));
    EXPECT_EQ(f->cmbFontsize()->currentText(), QStringLiteral("14"));
    pulsante("grassetto");
    EXPECT_TRUE(t->FontBold);
    EXPECT_FALSE(t->FontItalic);
    f->Pulsante(QStringLiteral("corsivo"))->trigger();
    EXPECT_TRUE(t->FontItalic);
    f->cmbFontsize()->setCurrentIndex(f->cmbFontsize()->findText(QStringLiteral("20")));
    Q_EMIT f->cmbFontsize()->activated(f->cmbFontsize()->currentIndex());
    EXPECT_EQ(t->FontSize, 20);
    EXPECT_TRUE(t->FontBold);
    // Clicking another text shows its font in the boxes.
    auto* t2 = doc().CreaTesto(6000, 1500, 1500, 300);
    t2->FontSize = 8.25f;
    seleziona(t2);
    EXPECT_EQ(f->cmbFontsize()->currentText(), QStringLiteral("8,25"));
    EXPECT_FALSE(f->Pulsante(QStringLiteral("grassetto"))->isChecked());
    seleziona(b);  // another kind leaves the boxes as they were
    EXPECT_EQ(f->cmbFontsize()->currentText(), QStringLiteral("8,25"));

    // Double-clicks open the editors; a linked object opens the field link instead.
    ui.dialoghi.clear();
    ui.gestoriDialogo.clear();
    QTest::mouseDClick(f->windowHandle(), Qt::LeftButton, {}, punto({t->Left + 50, t->Top + 50}));
    QTest::mouseDClick(f->windowHandle(), Qt::LeftButton, {}, punto({p->Left + 50, p->Top + 50}));
    EXPECT_EQ(ui.dialoghi, (QStringList{RichiestaModificaTesto::Nome, RichiestaModificaImmagine::Nome}));
    t->DataMember = QStringLiteral("Nome");
    QTest::mouseDClick(f->windowHandle(), Qt::LeftButton, {}, punto({t->Left + 50, t->Top + 50}));
    EXPECT_EQ(ui.dialoghi.size(), 2);
    // The field link needs a database: without one it says so.
    EXPECT_EQ(ui.testi(), QStringList{LoadResString(156)});
}

TEST_F(ModificaConMouse, FontBoxes)
{
    // One source: the installed families under their plain names (no "[Foundry]"), each once.
    QStringList famiglie;
    for (int i = 0; i < f->cmbFontname()->count(); ++i) famiglie << f->cmbFontname()->itemText(i);
    EXPECT_EQ(famiglie.removeDuplicates(), 0);
    for (const QString& installata : QFontDatabase::families()) {
        const QString semplice = installata.section(QStringLiteral(" ["), 0, 0);
        EXPECT_TRUE(famiglie.contains(semplice)) << installata.toStdString();
    }
    for (const QString& nome : famiglie) EXPECT_FALSE(nome.endsWith(QLatin1Char(']'))) << nome.toStdString();
    EXPECT_EQ(f->cmbFontsize()->count(), 16);
    EXPECT_EQ(f->cmbFontsize()->currentText(), QStringLiteral("10"));
    const auto& modello = doc().Modello(TipoOggetto::Testo);
    EXPECT_EQ(f->cmbFontname()->currentText(), modello.FontName);
    // New text starts in Microsoft Sans Serif, else Liberation Sans, else fontconfig's sans-serif.
    if (famiglie.contains(QStringLiteral("Microsoft Sans Serif")))
        EXPECT_EQ(modello.FontName, QStringLiteral("Microsoft Sans Serif"));
    else if (famiglie.contains(QStringLiteral("Liberation Sans")))
        EXPECT_EQ(modello.FontName, QStringLiteral("Liberation Sans"));
    else
        EXPECT_EQ(modello.FontName, QFontInfo(QFont(QStringLiteral("sans-serif"))).family());
    EXPECT_EQ(modello.FontSize, 10);
    EXPECT_FALSE(doc().Modificato());

    // Nothing selected: a name chosen in the list becomes the template's, for the next text.
    const QString scelto = famiglie.value(famiglie.size() / 2);
    f->cmbFontname()->setCurrentIndex(famiglie.size() / 2);
    Q_EMIT f->cmbFontname()->activated(famiglie.size() / 2);
    EXPECT_EQ(modello.FontName, scelto);
    EXPECT_FALSE(doc().Modificato());  // a setting for the next texts, not a change of the label
    f->Pulsante(QStringLiteral("testo"))->trigger();
    clic({1500, 1500});
    ASSERT_EQ(doc().NumeroOggetti(), 1);
    EXPECT_EQ(doc().Oggetti()[0]->FontName, scelto);

    // Leaving the size box with 2000: message 155, the focus back in the box.
    struct Caso {
        QComboBox* box;
        QString testo;
        QString messaggio;
    };
    const Caso casi[] = {
        {f->cmbFontsize(), QStringLiteral(" 2000 "), QStringLiteral("Inserire un valore compreso fra 1 e 1638.")},
        {f->cmbFontname(), QStringLiteral("Nessun carattere"),
         QStringLiteral("Il tipo di carattere inserito non è disponibile nel sistema.")},
    };
    for (const auto& c : casi) {
        scriviELascia(c.box, c.testo);
        ASSERT_EQ(ui.testi(), QStringList{c.messaggio});
        EXPECT_EQ(ui.messaggi[0].titolo, modCartigo::TitoloProgramma());
        EXPECT_EQ(ui.messaggi[0].icona, Icona::Esclamazione);
        EXPECT_EQ(QApplication::focusWidget(), c.box);
        EXPECT_EQ(c.box->currentText(), c.testo.trimmed());
        c.box->setEditText(c.box == f->cmbFontsize() ? QStringLiteral("12") : scelto);
    }
    // 12,5 applies 12 and 13,5 applies 14 (halves to even) to the selected text.
    OggettoEtichetta* t = doc().Oggetti()[0];
    ASSERT_EQ(f->CurrentObject(), t);
    f->cmbFontsize()->setEditText(QStringLiteral("12,5"));
    EXPECT_TRUE(f->cmbFontsize_Validate());
    EXPECT_EQ(t->FontSize, 12);
    f->cmbFontsize()->setEditText(QStringLiteral("13,5"));
    EXPECT_TRUE(f->cmbFontsize_Validate());
    EXPECT_EQ(t->FontSize, 14);
    EXPECT_EQ(t->FontName, scelto);

    // The Windows family of stored labels is taken as named (drawn with Liberation Sans).
    scriviELascia(f->cmbFontname(), QStringLiteral("Arial"));
    EXPECT_TRUE(ui.testi().isEmpty()) << ui.testi().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(t->FontName, QStringLiteral("Arial"));
}

TEST_F(ModificaConMouse, ALabelBuiltWithTheMouseIsSaved)
{
    f->Pulsante(QStringLiteral("snap"))->trigger();  // off: exact pixel positions
    auto crea = [&](const char* tool, QPointF dove) {
        f->Pulsante(QString::fromLatin1(tool))->trigger();
        clic(dove);
        return f->CurrentObject();
    };
    OggettoEtichetta* r = crea("rettangolo", {600, 1500});
    OggettoEtichetta* t = crea("testo", {900, 1650});
    OggettoEtichetta* b = crea("barcode", {900, 2100});
    ASSERT_TRUE(r && t && b);
    ui.gestoriDialogo[RichiestaModificaTesto::Nome] = [](RichiestaDialogo& d) {
        auto& rt = static_cast<RichiestaModificaTesto&>(d);
        rt.testo = rt.testo == QStringLiteral("abc") ? QStringLiteral("Cartigo") : QStringLiteral("CARTIGO39");
        return true;
    };
    // Edit both texts with a double-click.
    f->Menu(QStringLiteral("mnuSeleziona"))->trigger();
    QTest::mouseDClick(f->windowHandle(), Qt::LeftButton, {}, punto({1000, 1700}));
    QTest::mouseDClick(f->windowHandle(), Qt::LeftButton, {}, punto({1000, 2200}));
    // Bold Arial 12 for the text, a thicker rectangle sized around both.
    clic({1000, 1700});
    ui.caratteri = {QFont(QStringLiteral("Arial"), 12)};
    f->Menu(QStringLiteral("mnuCarattere"))->trigger();
    f->Pulsante(QStringLiteral("grassetto"))->trigger();
    clic({700, 1600});  // the rectangle, outside the text
    ASSERT_EQ(f->CurrentObject(), r);
    f->Pulsante(QStringLiteral("spessore2"))->trigger();
    trascina((*f->Superficie()->Maniglie())[4] + QPointF(30, 30), {3600, 3450});
    EXPECT_EQ(cornice(r), QRectF(600, 1500, 3000, 1950));
    // Move the barcode by 15 x 10 pixels.
    trascina({1000, 2200}, {1000 + 225, 2200 + 150});

    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("mouse.eti"));
    ui.file = {file};
    f->Menu(QStringLiteral("mnuSalva"))->trigger();
    EXPECT_FALSE(doc().Modificato());
    const QByteArray salvato = test::LeggiFile(file);
    const QByteArray atteso = test::LeggiFile(QStringLiteral(CARTIGO_SOURCE_DIR "/tests/app/dati/mouse.eti"));
    EXPECT_EQ(QString::fromLatin1(salvato).toStdString(), QString::fromLatin1(atteso).toStdString());
}
