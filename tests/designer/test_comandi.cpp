// Editing and formatting commands on the selected object, per kind.
#include "common/TestSupport.h"
#include "designer/ComandiEtichetta.h"
#include "designer/frmDialoghiFormato.h"
#include "designer/frmVariabili.h"
#include "label/Caratteri.h"
#include "label/Colori.h"
#include "label/FileEtichetta.h"
#include "shell/InterazioneScriptata.h"
#include "shell/StringTable.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QSpinBox>
#include <QFontDatabase>
#include <QFontDialog>
#include <QImage>
#include <QImageReader>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace cartigo;

namespace {
struct Banco {
    DocumentoEtichetta doc;
    InterazioneScriptata ui;
    ComandiEtichetta cmd{doc, ui};
    test::LocaleTemporaneo locale{ImpostazioniLocali::italiano()};
    Banco()
    {
        test::AssicuraApplicazione();  // the font dialog's start font is looked up
        ImpostaLingua(Lingua::Italiano);
        cmd.impostaFonts({QStringLiteral("Arial"), QStringLiteral("Courier New")});
    }
    // Runs a command and checks it marked the label as modified when it changed it.
    template <typename F>
    void esegui(F&& f)
    {
        test::ModificatoSeCambia(doc, f);
    }
};

QStringList ordine(const DocumentoEtichetta& doc)
{
    QStringList r;
    for (auto* o : doc.OrdineDisegno())
        r << o->Chiave();
    return r;
}
}  // namespace

TEST(ComandiModifica, ZOrderSequencesFrontBackDeletePaste)
{
    Banco b;
    auto* t1 = b.doc.CreaTesto(567, 1440, 1000, 255);
    auto* t2 = b.doc.CreaTesto(567, 1440, 1000, 255);
    auto* t3 = b.doc.CreaTesto(567, 1440, 1000, 255);
    b.esegui([&] { b.cmd.PortaAvanti(t1); });
    b.esegui([&] { b.cmd.PortaIndietro(t2); });
    b.esegui([&] { b.cmd.PortaAvanti(t3); });
    EXPECT_EQ(ordine(b.doc), (QStringList{"oggTesto2", "oggTesto1", "oggTesto3"}));
    b.esegui([&] { b.cmd.Cancella(t2); });
    const auto& z = b.doc.Zorder();
    ASSERT_EQ(z.count(), 2);
    EXPECT_EQ(z.chiaveRiga(1), QStringLiteral("oggTesto1"));
    EXPECT_EQ(z.chiaveRiga(2), QStringLiteral("oggTesto3"));
    EXPECT_EQ(b.doc.Zorder().Codice(QStringLiteral("oggTesto1")), 1);
    EXPECT_EQ(b.doc.Zorder().Codice(QStringLiteral("oggTesto3")), 1);
    // nothing selected: still modified, nothing else
    b.esegui([&] { b.cmd.Cancella(nullptr); });
    b.esegui([&] { b.cmd.PortaAvanti(nullptr); });
    EXPECT_EQ(b.doc.NumeroOggetti(), 2);
    // a paste goes on top and is recorded in front
    b.esegui([&] { b.cmd.Copia(t1); });
    auto* p = b.cmd.Incolla();
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(b.doc.OrdineDisegno().back(), p);
    EXPECT_EQ(b.doc.Zorder().Codice(p->Chiave()), 1);
    EXPECT_EQ(p->Index, 4);
}

TEST(ComandiModifica, FullZOrderTableStopsFrontAfterTheMove)
{
    Banco b;
    for (int i = 1; i <= TabellaZOrder::RigheMassime; ++i)
        b.doc.ZOrderImposta(QStringLiteral("oggPicture%1").arg(i + 100), 2);
    auto* r = b.doc.CreaRettangolo(0, 0, 10, 10);
    auto* t = b.doc.CreaTesto(0, 0, 10, 10);
    b.cmd.PortaIndietro(t);
    EXPECT_EQ(b.doc.OrdineDisegno().front(), t);  // moved
    EXPECT_EQ(b.doc.ZOrderLeggi(t->Chiave()), QStringLiteral(" 0 "));  // not recorded
    ASSERT_EQ(b.ui.messaggi.size(), 1);
    EXPECT_TRUE(b.ui.messaggi[0].testo.startsWith(QStringLiteral("Errore non gestito. Codice: 9\r")));
    // a paste in a full table still pastes, on top
    b.cmd.Copia(r);
    auto* p = b.cmd.Incolla();
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(b.doc.OrdineDisegno().back(), p);
    EXPECT_EQ(b.ui.messaggi.size(), 1);
}

TEST(ComandiModifica, PasteCopiesPropertiesByKindAsTheyAreNow)
{
    Banco b;
    auto* t = b.doc.CreaTesto(1000, 2000, 1500, 300);
    t->Caption = QStringLiteral("Ciao");
    t->FontName = QStringLiteral("Arial");
    t->FontSize = 8.25f;
    t->FontBold = true;
    t->BackStyle = 1;
    t->Alignment = 2;
    t->ForeColor = 255;
    t->BackColor = 65280;
    t->DataMember = QStringLiteral("Nome");
    b.cmd.Copia(t);
    t->Left = 3000;  // a reference, not a snapshot
    auto* p1 = b.cmd.Incolla();
    auto* p2 = b.cmd.Incolla();
    EXPECT_EQ(p1->Left, 3100);
    EXPECT_EQ(p1->Top, 2100);
    EXPECT_EQ(p2->Left, 3200);  // each further paste lands further on
    EXPECT_EQ(p2->Top, 2200);
    EXPECT_EQ(b.cmd.Incollati(), std::vector<OggettoEtichetta*>{p2});
    EXPECT_EQ(p1->FontSize, 8.0f);
    EXPECT_EQ(p1->Caption, QStringLiteral("Ciao"));
    EXPECT_TRUE(p1->FontBold);
    EXPECT_EQ(p1->Alignment, 2);
    EXPECT_EQ(p1->BackColor, 65280);
    EXPECT_EQ(p1->DataMember, QStringLiteral("Nome"));
    EXPECT_EQ(b.doc.OrdineDisegno().back(), p2);

    auto* r = b.doc.CreaRettangolo(600, 1500, 900, 400);
    r->BackStyle = 1;
    r->BorderWidth = 3;
    r->BorderColor = 255;
    r->Tag = QStringLiteral("x");
    b.cmd.Copia(r);
    auto* pr = b.cmd.Incolla();
    EXPECT_EQ(pr->tipo, TipoOggetto::Rettangolo);
    EXPECT_EQ(pr->BorderWidth, 3);
    EXPECT_EQ(pr->BorderColor, 255);
    EXPECT_EQ(pr->Tag, QStringLiteral("x"));
    EXPECT_EQ(pr->Width, 900);

    QTemporaryDir dir;
    QImage img(4, 4, QImage::Format_RGB32);
    img.fill(Qt::blue);
    const QString file = dir.filePath(QStringLiteral("p.png"));
    ASSERT_TRUE(img.save(file));
    auto* pic = b.doc.CreaImmagine(600, 1500, 900, 400);
    pic->ToolTipText = file;
    pic->Tag = QStringLiteral("t");
    b.cmd.Copia(pic);
    auto* pp = b.cmd.Incolla();
    EXPECT_EQ(pp->tipo, TipoOggetto::Immagine);
    EXPECT_EQ(pp->ToolTipText, file);
    EXPECT_EQ(pp->Picture.size(), QSize(4, 4));  // the pasted picture shows its file

    // the copied object deleted: nothing is pasted
    b.cmd.Cancella(pic);
    const int prima = b.doc.NumeroOggetti();
    EXPECT_EQ(b.cmd.Incolla(), nullptr);
    EXPECT_EQ(b.doc.NumeroOggetti(), prima);
}

TEST(ComandiFormato, EachCommandActsOnItsKindsOnly)
{
    Banco b;
    auto* t = b.doc.CreaTesto(0, 0, 10, 10);
    auto* bc = b.doc.CreaBarcode(0, 0, 10, 10);
    auto* pic = b.doc.CreaImmagine(0, 0, 10, 10);
    auto* r = b.doc.CreaRettangolo(0, 0, 10, 10);
    const OggettoEtichetta bcPrima = *bc;
    const OggettoEtichetta picPrima = *pic;
    auto uguali = [](const OggettoEtichetta& a, const OggettoEtichetta& b) {
        return a.ForeColor == b.ForeColor && a.BackColor == b.BackColor && a.BackStyle == b.BackStyle
               && a.BorderWidth == b.BorderWidth && a.BorderColor == b.BorderColor && a.Alignment == b.Alignment
               && a.ToolTipText == b.ToolTipText && a.Caption == b.Caption;
    };

    for (auto* o : {t, bc, pic, r}) {
        b.ui.colori = {QColor(255, 0, 0), QColor(0, 0, 255)};
        b.esegui([&] { b.cmd.ColoreOggetto(o); });
        b.esegui([&] { b.cmd.ColoreSfondo(o); });
        b.esegui([&] { b.cmd.Spessore(3, o); });
        b.esegui([&] { b.cmd.SetAlignment(1, o); });
        b.esegui([&] { b.cmd.Trasparente(o); });
        b.esegui([&] { b.cmd.Opaco(o); });
    }
    EXPECT_EQ(t->ForeColor, 0x0000FF);  // red as &H00BBGGRR
    EXPECT_EQ(t->BackColor, 0xFF0000);  // blue
    EXPECT_EQ(t->BackStyle, 1);
    EXPECT_EQ(t->Alignment, 1);
    EXPECT_EQ(r->BorderColor, 0x0000FF);
    EXPECT_EQ(r->BackColor, 0xFF0000);
    EXPECT_EQ(r->BorderWidth, 3);
    EXPECT_EQ(r->BackStyle, 1);
    EXPECT_TRUE(uguali(*bc, bcPrima));
    EXPECT_TRUE(uguali(*pic, picPrima));

    // background colour makes a transparent text opaque
    t->BackStyle = 0;
    b.ui.colori = {QColor(0, 255, 0)};
    b.cmd.ColoreSfondo(t);
    EXPECT_EQ(t->BackStyle, 1);
    EXPECT_EQ(t->BackColor, 0x00FF00);
    // a cancelled colour dialog changes nothing
    b.ui.colori = {std::nullopt};
    b.esegui([&] { b.cmd.ColoreOggetto(t); });
    EXPECT_EQ(t->ForeColor, 0x0000FF);
    EXPECT_EQ(ColoreDaVB(-2147483633), QColor(212, 208, 200));  // a system colour
}

TEST(ComandiFormato, FontGoesToTheTextOrToTheTemplate)
{
    Banco b;
    auto* t = b.doc.CreaTesto(0, 0, 10, 10);
    auto* r = b.doc.CreaRettangolo(0, 0, 10, 10);
    const QString fontPrima = t->FontName;
    // nothing selected: the template changes, and the next text takes it
    EXPECT_TRUE(b.cmd.ApplyFont(QStringLiteral("Arial"), QStringLiteral("12,5"), true, false, nullptr));
    EXPECT_EQ(t->FontName, fontPrima);
    auto* nuovo = b.doc.CreaTesto(0, 0, 10, 10);
    EXPECT_EQ(nuovo->FontName, QStringLiteral("Arial"));
    EXPECT_EQ(nuovo->FontSize, 12.0f);
    EXPECT_TRUE(nuovo->FontBold);
    b.cmd.ApplyFont(QStringLiteral("Arial"), QStringLiteral("13,5"), false, true, t);
    EXPECT_EQ(t->FontSize, 14.0f);
    EXPECT_TRUE(t->FontItalic);
    // empty name or size 0: nothing, not even the flag
    b.doc.ImpostaModificato(false);
    EXPECT_FALSE(b.cmd.ApplyFont(QString(), QStringLiteral("10"), false, false, t));
    EXPECT_FALSE(b.cmd.ApplyFont(QStringLiteral("Arial"), QString(), false, false, t));
    EXPECT_FALSE(b.doc.Modificato());
    // another kind: nothing changes, nothing is flagged
    b.cmd.ApplyFont(QStringLiteral("Courier New"), QStringLiteral("9"), false, false, r);
    EXPECT_FALSE(b.doc.Modificato());
    EXPECT_EQ(b.doc.Modello(TipoOggetto::Testo).FontName, QStringLiteral("Arial"));
    // the checks of the two boxes
    EXPECT_TRUE(b.cmd.VerificaNomeFont(QStringLiteral(" Arial ")));
    EXPECT_FALSE(b.cmd.VerificaNomeFont(QStringLiteral("arial")));
    EXPECT_TRUE(b.cmd.VerificaDimensioneFont(QStringLiteral("1638")));
    EXPECT_FALSE(b.cmd.VerificaDimensioneFont(QStringLiteral("2000")));
    EXPECT_FALSE(b.cmd.VerificaDimensioneFont(QStringLiteral("0")));
    EXPECT_EQ(b.ui.testi(), (QStringList{LoadResString(154), LoadResString(155), LoadResString(155)}));
    // the font dialog: the template always takes the choice, the selected text too
    QFont scelto(QStringLiteral("Courier New"));
    scelto.setPointSizeF(10.5);
    b.ui.caratteri = {scelto};
    b.cmd.Carattere(t);
    EXPECT_EQ(t->FontName, QStringLiteral("Courier New"));
    EXPECT_EQ(t->FontSize, 10.0f);
    EXPECT_EQ(b.doc.Modello(TipoOggetto::Testo).FontName, QStringLiteral("Courier New"));
}

namespace {
// Answers the font dialog like a user who presses OK as soon as it opens.
struct OkAlDialogoCarattere : InterazioneScriptata {
    std::optional<QFont> scegliCarattere(const QFont& iniziale, const QString&) override
    {
        QFontDialog d;
        d.setCurrentFont(iniziale);
        return d.currentFont();
    }
};
}  // namespace

TEST(ComandiFormato, OkAloneInTheFontDialogKeepsTheFont)
{
    test::AssicuraApplicazione();
    DocumentoEtichetta doc;
    OkAlDialogoCarattere ui;
    ComandiEtichetta cmd(doc, ui);
    auto* t = doc.CreaTesto(0, 0, 10, 10);
    // Upright faces named "Book" and "Regular"; Windows families drawn with another face.
    for (const char* famiglia : {"DejaVu Sans", "DejaVu Serif", "Liberation Sans", "Arial", "Microsoft Sans Serif"}) {
        const QString nome = QString::fromLatin1(famiglia);
        if (Caratteri::FacciaCompatibile(nome).isEmpty() && !QFontDatabase::families().contains(nome)) continue;
        for (int stile = 0; stile < 4; ++stile) {
            SCOPED_TRACE(testing::Message() << famiglia << " style " << stile);
            t->FontName = nome;
            t->FontSize = 12;
            t->FontBold = stile & 1;
            t->FontItalic = stile & 2;
            cmd.Carattere(t);
            EXPECT_EQ(t->FontName, nome);
            EXPECT_EQ(t->FontSize, 12);
            EXPECT_EQ(t->FontBold, bool(stile & 1));
            EXPECT_EQ(t->FontItalic, bool(stile & 2));
        }
    }
    // A family chosen under its foundry's name is stored under its plain name.
    Banco b;
    b.ui.caratteri = {QFont(QStringLiteral("Liberation Serif [Ascender]"))};
    b.cmd.Carattere(nullptr);
    EXPECT_EQ(b.doc.Modello(TipoOggetto::Testo).FontName, QStringLiteral("Liberation Serif"));
}

TEST(ComandiFormato, DialogsOfAlignmentTextPictureAndBarcode)
{
    Banco b;
    auto* t = b.doc.CreaTesto(0, 0, 10, 10);
    t->Alignment = 1;
    int opzioneVista = -1;
    b.ui.gestoriDialogo[RichiestaAllineamento::Nome] = [&](RichiestaDialogo& d) {
        auto& r = static_cast<RichiestaAllineamento&>(d);
        opzioneVista = r.opzione;
        r.opzione = 1;  // "Centro"
        return true;
    };
    b.cmd.Allineamento(t);
    EXPECT_EQ(opzioneVista, 2);  // "Destra" for a right-aligned text
    EXPECT_EQ(t->Alignment, 2);

    // editing a linked text: the dialog opens empty and the link goes
    t->DataMember = QStringLiteral("Campo");
    QString testoVisto = QStringLiteral("?");
    b.ui.gestoriDialogo[RichiestaModificaTesto::Nome] = [&](RichiestaDialogo& d) {
        auto& r = static_cast<RichiestaModificaTesto&>(d);
        testoVisto = r.testo;
        r.testo = QStringLiteral("nuovo");
        return true;
    };
    b.cmd.ModificaTesto(t);
    EXPECT_EQ(testoVisto, QString());
    EXPECT_EQ(t->Caption, QStringLiteral("nuovo"));
    EXPECT_TRUE(t->DataMember.isEmpty());
    auto* bc = b.doc.CreaBarcode(0, 0, 10, 10);
    bc->ToolTipText = QStringLiteral("123");
    b.cmd.ModificaTesto(bc);
    EXPECT_EQ(testoVisto, QStringLiteral("123"));
    EXPECT_EQ(bc->ToolTipText, QStringLiteral("nuovo"));

    // picture editor: the OK check refuses a missing file
    EXPECT_FALSE(RichiestaModificaImmagine{}.Verifica(QStringLiteral("/non/esiste.png"), b.ui, QStringLiteral("T")));
    EXPECT_EQ(b.ui.messaggi.last().testo, QStringLiteral("Inserire un nome file valido."));
    QTemporaryDir dir;
    QImage img(3, 2, QImage::Format_RGB32);
    img.fill(Qt::green);
    const QString file = dir.filePath(QStringLiteral("f.png"));
    ASSERT_TRUE(img.save(file));
    auto* pic = b.doc.CreaImmagine(0, 0, 10, 10);
    pic->DataMember = QStringLiteral("Foto");
    b.ui.gestoriDialogo[RichiestaModificaImmagine::Nome] = [&](RichiestaDialogo& d) {
        auto& r = static_cast<RichiestaModificaImmagine&>(d);
        EXPECT_TRUE(r.nomeFile.isEmpty());
        r.nomeFile = file;
        return true;
    };
    b.cmd.ModificaImmagine(pic);
    EXPECT_EQ(pic->ToolTipText, file);
    EXPECT_EQ(pic->Picture.size(), QSize(3, 2));
    EXPECT_TRUE(pic->DataMember.isEmpty());
}

TEST(ComandiFormato, BarcodeParametersCarryEveryKindAndItsOption)
{
    Banco b;
    auto* bc = b.doc.CreaBarcode(1000, 2000, 2400, 1200);
    bc->ToolTipText = QStringLiteral("Cartigo");
    bc->Tag = QStringLiteral("31H");
    RichiestaParametriBarcode vista;
    RichiestaParametriBarcode scelta;
    b.ui.gestoriDialogo[RichiestaParametriBarcode::Nome] = [&](RichiestaDialogo& d) {
        auto& r = static_cast<RichiestaParametriBarcode&>(d);
        vista = r;
        r.tipoBarcode = scelta.tipoBarcode;
        r.opzioneTesto = scelta.opzioneTesto;
        r.correzione = scelta.correzione;
        r.forma = scelta.forma;
        return true;
    };
    // what the dialog is shown: the kind, the level, the data and the box for the preview
    scelta.tipoBarcode = 4;
    scelta.forma = FormaDataMatrix::Rettangolare;
    b.cmd.ParametriBarcode(bc);
    EXPECT_EQ(vista.tipoBarcode, 3);
    EXPECT_EQ(vista.opzioneTesto, 0);
    EXPECT_EQ(vista.correzione, CorrezioneQR::H);
    EXPECT_EQ(vista.dati, QStringLiteral("Cartigo"));
    EXPECT_TRUE(vista.campo.isEmpty());
    EXPECT_EQ(vista.larghezza, 2400);
    EXPECT_EQ(vista.altezza, 1200);
    EXPECT_EQ(bc->Tag, QStringLiteral("40R"));
    // to EAN: the dialog offers the standard layout of the digits, as for a new barcode
    scelta = {};
    scelta.tipoBarcode = 1;
    scelta.opzioneTesto = 2;
    std::optional<bool> cifre;  // what the user makes of the box, when anything
    b.ui.gestoriDialogo[RichiestaParametriBarcode::Nome] = [&](RichiestaDialogo& d) {
        auto& r = static_cast<RichiestaParametriBarcode&>(d);
        vista = r;
        r.tipoBarcode = scelta.tipoBarcode;
        r.opzioneTesto = scelta.opzioneTesto;
        if (cifre) r.cifreStandard = *cifre;
        return true;
    };
    b.cmd.ParametriBarcode(bc);
    EXPECT_EQ(vista.forma, FormaDataMatrix::Rettangolare);
    EXPECT_TRUE(vista.cifreStandard);
    EXPECT_EQ(bc->Tag, QStringLiteral("12S"));
    // a stored EAN without it opens without it and keeps its two digits, as before,
    // until the user asks for it
    bc->Tag = QStringLiteral("12");
    b.cmd.ParametriBarcode(bc);
    EXPECT_FALSE(vista.cifreStandard);
    EXPECT_EQ(bc->Tag, QStringLiteral("12"));
    cifre = true;
    b.cmd.ParametriBarcode(bc);
    EXPECT_FALSE(vista.cifreStandard);
    EXPECT_EQ(bc->Tag, QStringLiteral("12S"));
    cifre.reset();
    // a field's barcode: the dialog knows the field; a digit that is no kind opens as Code 39
    bc->DataMember = QStringLiteral("Codice");
    bc->Tag = QStringLiteral("92");
    b.cmd.ParametriBarcode(bc);
    EXPECT_EQ(vista.campo, QStringLiteral("[Codice]"));
    EXPECT_EQ(vista.tipoBarcode, 0);
    EXPECT_EQ(vista.opzioneTesto, 2);
    // data with merge fields come from the records too
    bc->DataMember.clear();
    bc->ToolTipText = QStringLiteral("LOT-${Lotto}");
    b.cmd.ParametriBarcode(bc);
    EXPECT_EQ(vista.campo, QStringLiteral("LOT-${Lotto}"));
    bc->ToolTipText = QStringLiteral("$${Lotto}");
    b.cmd.ParametriBarcode(bc);
    EXPECT_TRUE(vista.campo.isEmpty());
    // a new barcode opens as Code 39 with the text below; the tag it had is shown again
    bc->Tag.clear();
    b.cmd.ParametriBarcode(bc);
    EXPECT_EQ(vista.tipoBarcode, 0);
    EXPECT_EQ(vista.opzioneTesto, 1);
    b.cmd.ParametriBarcode(bc);
    EXPECT_EQ(vista.tipoBarcode, 1);
    EXPECT_EQ(vista.opzioneTesto, 2);
    // cancelled: the tag stays; not a barcode: no dialog
    b.ui.gestoriDialogo[RichiestaParametriBarcode::Nome] = [](RichiestaDialogo&) { return false; };
    b.cmd.ParametriBarcode(bc);
    EXPECT_EQ(bc->Tag, QStringLiteral("12S"));
    b.cmd.ParametriBarcode(b.doc.CreaTesto(0, 0, 10, 10));
    EXPECT_EQ(b.ui.dialoghi.count(RichiestaParametriBarcode::Nome), 10);
}

TEST(ComandiFormato, PictureDialogListsTheReadableFormatsAndFindsPicturesBesideTheLabel)
{
    test::AssicuraApplicazione();
    InterazioneScriptata ui;
    ui.file.push_back(std::nullopt);
    EXPECT_FALSE(RichiestaModificaImmagine::Sfoglia(ui, QStringLiteral("/tmp")));
    ASSERT_EQ(ui.richiesteFile.size(), 1);
    const QStringList voci = ui.richiesteFile[0].filtro.split(QStringLiteral(";;"));
    // all pictures first (PNG leading), then PNG, one entry per format, and all files
    ASSERT_GE(voci.size(), 4);
    EXPECT_TRUE(voci[0].startsWith(LoadResString(1307) + QStringLiteral(" (*.png "))) << voci[0].toStdString();
    EXPECT_EQ(voci[1], QStringLiteral("PNG (*.png)"));
    EXPECT_EQ(voci.last(), LoadResString(1308) + QStringLiteral(" (*)"));
    EXPECT_EQ(ui.richiesteFile[0].filtroScelto, voci[0]);
    for (const QByteArray& f : QImageReader::supportedImageFormats())
        EXPECT_TRUE(voci[0].contains(QStringLiteral("*.") + QString::fromLatin1(f))) << f.constData();
    EXPECT_TRUE(voci[0].contains(QStringLiteral("*.jpg")));
    EXPECT_FALSE(voci[0].contains(QStringLiteral("*.wmf")));  // not readable: not offered

    // the OK check: a relative name is found in the label's folder; a file that is there
    // but cannot be decoded says why
    QTemporaryDir dir;
    QImage img(3, 2, QImage::Format_RGB32);
    img.fill(Qt::green);
    ASSERT_TRUE(img.save(dir.filePath(QStringLiteral("logo.png"))));
    test::ScriviFile(dir.filePath(QStringLiteral("vecchio.wmf")),
                     QByteArray::fromHex("d7cdc69a") + QByteArray(30, 'x'));
    RichiestaModificaImmagine r;
    r.cartellaEtichetta = dir.path();
    EXPECT_TRUE(r.Verifica(QStringLiteral("logo.png"), ui, QStringLiteral("T")));
    EXPECT_TRUE(ui.messaggi.isEmpty());
    EXPECT_FALSE(r.Verifica(QStringLiteral("vecchio.wmf"), ui, QStringLiteral("T")));
    ASSERT_EQ(ui.messaggi.size(), 1);
    EXPECT_EQ(ui.messaggi[0].testo, LoadResString(1302).arg(QStringLiteral("vecchio.wmf")));
    EXPECT_FALSE(RichiestaModificaImmagine{}.Verifica(QStringLiteral("logo.png"), ui, QStringLiteral("T")));
    EXPECT_EQ(ui.messaggi.last().testo, LoadResString(1407));

    // the command passes the label's folder and loads the picture from it
    DocumentoEtichetta doc;
    doc.ImpostaCartellaEtichetta(dir.path());
    ComandiEtichetta cmd(doc, ui);
    auto* pic = doc.CreaImmagine(0, 0, 10, 10);
    ui.gestoriDialogo[RichiestaModificaImmagine::Nome] = [&](RichiestaDialogo& d) {
        auto& richiesta = static_cast<RichiestaModificaImmagine&>(d);
        EXPECT_EQ(richiesta.cartellaEtichetta, dir.path());
        richiesta.nomeFile = QStringLiteral("logo.png");
        return true;
    };
    cmd.ModificaImmagine(pic);
    EXPECT_EQ(pic->Picture.size(), QSize(3, 2));
}

TEST(ComandiFormato, TheTextDialogInsertsTheRecordsFieldsWhereTheCursorIs)
{
    Banco b;
    auto* t = b.doc.CreaTesto(0, 0, 10, 10);
    t->Caption = QStringLiteral("Dear  !");
    QStringList offerti = {QStringLiteral("?")};
    b.ui.gestoriDialogo[RichiestaModificaTesto::Nome] = [&](RichiestaDialogo& d) {
        offerti = static_cast<RichiestaModificaTesto&>(d).campi;
        return false;
    };
    b.cmd.ModificaTesto(t);
    EXPECT_TRUE(offerti.isEmpty());  // no record set: nothing to offer
    b.cmd.campiDati = [] { return QStringList{"FirstName", "Last name"}; };
    b.cmd.ModificaTesto(t);
    EXPECT_EQ(offerti, (QStringList{"FirstName", "Last name"}));
    // the label's variables come after the fields; one named like a field is the field
    VariabileEtichetta serie, nome;
    serie.Nome = QStringLiteral("Serial");
    nome.Nome = QStringLiteral("firstname");
    b.doc.ImpostaVariabili({serie, nome});
    b.cmd.ModificaTesto(t);
    EXPECT_EQ(offerti, (QStringList{"FirstName", "Last name", "Serial"}));
    b.doc.ImpostaVariabili({});
    b.cmd.ModificaTesto(t);

    RichiestaModificaTesto r;
    r.testo = t->Caption;
    r.campi = offerti;
    frmModificaTesto f(r);
    ASSERT_TRUE(f.cmbCampi());
    f.txtTesto()->setCursorPosition(5);
    f.cmbCampi()->setCurrentIndex(1);
    auto* inserisci = f.findChild<QPushButton*>(QStringLiteral("cmdInserisci"));
    ASSERT_TRUE(inserisci);
    inserisci->click();
    EXPECT_EQ(f.txtTesto()->text(), QStringLiteral("Dear ${Last name} !"));
    f.txtTesto()->setSelection(0, 4);  // a selection is replaced
    f.cmbCampi()->setCurrentIndex(0);
    inserisci->click();
    EXPECT_EQ(f.txtTesto()->text(), QStringLiteral("${FirstName} ${Last name} !"));
    RichiestaModificaTesto senzaCampi;
    EXPECT_FALSE(frmModificaTesto(senzaCampi).cmbCampi());

    // Typed, then a field inserted with the mouse: the space before it stays and the
    // typing goes on after it.
    RichiestaModificaTesto nuovo;
    nuovo.campi = offerti;
    frmModificaTesto g(nuovo);
    g.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&g));
    g.txtTesto()->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(g.txtTesto(), QStringLiteral("Dear "));
    QTest::mouseClick(g.findChild<QPushButton*>(QStringLiteral("cmdInserisci")), Qt::LeftButton);
    EXPECT_EQ(QApplication::focusWidget(), g.txtTesto());
    QTest::keyClicks(g.txtTesto(), QStringLiteral(" ${Last name}"));
    g.findChild<QPushButton*>(QStringLiteral("cmdOk"))->click();
    EXPECT_EQ(nuovo.testo, QStringLiteral("Dear ${FirstName} ${Last name}"));
}

TEST(ComandiFormato, TheVariablesDialogEditsTheLabelsVariablesAsOneStep)
{
    Banco b;
    ImpostaLingua(Lingua::Inglese);
    b.cmd.campiDati = [] { return QStringList{"Lot"}; };
    RichiestaVariabili r;
    b.ui.gestoriDialogo[RichiestaVariabili::Nome] = [&](RichiestaDialogo& d) {
        r = static_cast<RichiestaVariabili&>(d);
        auto& uscita = static_cast<RichiestaVariabili&>(d);
        VariabileEtichetta v;
        v.Nome = QStringLiteral("Serial");
        uscita.variabili = {v};
        return true;
    };
    b.cmd.Variabili();
    EXPECT_EQ(r.campi, QStringList{"Lot"});
    ASSERT_EQ(b.doc.Variabili().size(), 1);
    EXPECT_EQ(b.doc.Storia().undoText(), QStringLiteral("Variables"));
    b.doc.Storia().undo();
    EXPECT_TRUE(b.doc.Variabili().isEmpty());

    // the dialog: add, set, a name a field hides is said, a name used twice refused
    RichiestaVariabili rv;
    rv.campi = {QStringLiteral("Lot")};
    InterazioneScriptata ui;
    frmVariabili f(rv, ui);
    f.Aggiungi();
    EXPECT_EQ(f.txtNome()->text(), QStringLiteral("Variable1"));
    f.txtInizio()->setText(QStringLiteral("1000"));
    f.txtInizio()->textEdited(f.txtInizio()->text());
    f.spnCifre()->setValue(6);
    f.chkContinua()->setChecked(true);
    EXPECT_EQ(f.findChild<QLabel*>(QStringLiteral("lblEsempio"))->text(), QStringLiteral("Next value: 001000"));
    f.Aggiungi(QStringLiteral("lot"));
    f.cmbTipo()->setCurrentIndex(2);  // asked at print time
    f.cmbRegola()->setCurrentIndex(1);
    EXPECT_EQ(f.lblAvviso()->text(),
              QStringLiteral("The variable lot has the same name as a data field: the field is printed."));
    f.txtNome()->setText(QStringLiteral("variable1"));
    f.txtNome()->textEdited(f.txtNome()->text());
    f.cmdOk_Click();
    ASSERT_EQ(ui.messaggi.size(), 1);
    EXPECT_EQ(ui.messaggi[0].testo, QStringLiteral("The name variable1 is used by more than one variable."));
    EXPECT_TRUE(rv.variabili.isEmpty());
    f.txtNome()->setText(QStringLiteral("Lot"));
    f.txtNome()->textEdited(f.txtNome()->text());
    f.cmdOk_Click();
    ASSERT_EQ(rv.variabili.size(), 2);
    EXPECT_EQ(rv.variabili[0].Inizio, 1000);
    EXPECT_EQ(rv.variabili[0].Cifre, 6);
    EXPECT_TRUE(rv.variabili[0].Continua);
    EXPECT_EQ(rv.variabili[1].Nome, QStringLiteral("Lot"));
    EXPECT_EQ(rv.variabili[1].Tipo, TipoVariabile::Richiesta);
    EXPECT_EQ(rv.variabili[1].Regola, RegolaValore::Cifre);
    // removing one
    f.lstVariabili()->setCurrentRow(0);
    f.Elimina();
    f.cmdOk_Click();
    ASSERT_EQ(rv.variabili.size(), 1);
    EXPECT_EQ(rv.variabili[0].Nome, QStringLiteral("Lot"));
}
