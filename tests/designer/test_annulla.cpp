// Undo and redo of every kind of change, without a window: each action is one step,
// its undo gives back the label file byte for byte, its redo the changed one; the steps
// of arrow keys merge; the clean state is the saved one; the history stays bounded.
//
// The bench: 15 twips per pixel; the window's client origin at screen (100, 50); the
// surface 900 window twips down (as in test_editor.cpp).
#include "common/TestSupport.h"
#include "designer/ComandiEtichetta.h"
#include "designer/EditorSuperficie.h"
#include "designer/FinestraFinta.h"
#include "label/Conversioni.h"
#include "label/FileEtichetta.h"
#include "label/ModificheEtichetta.h"
#include "shell/InterazioneScriptata.h"
#include "shell/StringTable.h"

#include <QImage>
#include <QTemporaryDir>
#include <functional>

using namespace cartigo;

namespace {

struct Banco {
    MetricaSchermo metrica;
    DocumentoEtichetta doc;
    test::FinestraFinta finestra;
    InterazioneScriptata ui;
    ComandiEtichetta cmd{doc, ui};
    std::unique_ptr<EditorSuperficie> ed;
    test::LocaleTemporaneo locale{ImpostazioniLocali::italiano()};
    QTemporaryDir dir;
    QString png;
    OggettoEtichetta *t1, *t2, *b, *p, *r, *l, *e;

    Banco()
    {
        test::AssicuraApplicazione();
        ImpostaLingua(Lingua::Italiano);
        metrica.ScreenToClient = [](QPoint q) { return q - QPoint(100, 50); };
        metrica.ClientToScreen = [](QPoint q) { return q + QPoint(100, 50); };
        ed = std::make_unique<EditorSuperficie>(doc, finestra, metrica);
        cmd.impostaFonts({QStringLiteral("Arial"), QStringLiteral("Courier New")});
        png = dir.filePath(QStringLiteral("logo.png"));
        QImage logo(8, 8, QImage::Format_RGB32);
        logo.fill(Qt::red);
        logo.save(png);
        // A label of every kind, with stacking recorded in the z-order table.
        t1 = doc.CreaTesto(1500, 1700, 1200, 300);
        t1->Caption = QStringLiteral("Uno");
        b = doc.CreaBarcode(3000, 2200, 1935, 1035);
        b->Tag = QStringLiteral("10");
        b->ToolTipText = QStringLiteral("4006381333931");
        t2 = doc.CreaTesto(1500, 3600, 2000, 400);
        t2->Caption = QStringLiteral("Due");
        p = doc.CreaImmagine(5200, 1700, 1000, 1000);
        r = doc.CreaRettangolo(1200, 1500, 6000, 3000);
        // the newer kinds and settings, which every step must carry as they are
        t1->Adattamento = {false, AllineamentoVerticale::Centro, true, 5};
        b->Rotazione.Gradi = 90;
        // a dashed rising line and a filled, turned ellipse
        l = doc.Crea(TipoOggetto::Linea, 0, 0, 0, 0);
        l->ImpostaEstremi(6500, 4500, 7500, 3800);
        l->Contorno = {255, 0.5f, TrattoLinea::Tratteggiato};
        e = doc.Crea(TipoOggetto::Ellisse, 2000, 4500, 1500, 800);
        e->Riempimento = {true, 0x00FFCC99};
        e->Rotazione.Gradi = 270;
        cmd.PortaIndietro(r);
        cmd.PortaAvanti(t2);
        doc.Storia().clear();
        doc.ImpostaModificato(false);
        ed->Snap = false;
        ed->StrumentoSelezione();
    }
    QByteArray dati() const { return FileEtichetta::DatiEtichetta(doc, ImpostazioniLocali::correnti()); }
    static QPoint schermo(QPointF tw) { return {100 + int(tw.x() / 15), 110 + int(tw.y() / 15)}; }
    void trascina(QPointF da, QPointF a, Qt::KeyboardModifiers m = {})
    {
        ed->MouseDown(Qt::LeftButton, da, schermo(da), m);
        ed->Form_MouseMove(schermo((da + a) / 2));
        ed->Form_MouseMove(schermo(a));
        ed->Form_MouseUp(Qt::LeftButton, m);
    }
    void clic(QPointF tw, Qt::KeyboardModifiers m = {}) { trascina(tw, tw, m); }
    void seleziona(std::vector<OggettoEtichetta*> oggetti) { ed->ImpostaSelezione(oggetti); }
    Selezione sel() const { return ed->Selezione(); }
};

struct Azione {
    const char* nome;
    std::function<void(Banco&)> fai;
    std::function<void(Banco&)> prepara = [](Banco&) {};
};

const std::vector<Azione>& azioni()
{
    static const std::vector<Azione> tutte = {
        {"create by a click",
         [](Banco& b) {
             b.ed->ImpostaModoInserimento(ModoInserimento::Testo);
             b.clic({7000, 6000});
         }},
        {"create by a drag",
         [](Banco& b) {
             b.ed->ImpostaModoInserimento(ModoInserimento::Rettangolo);
             b.trascina({7000, 6000}, {7600, 6900});
         }},
        {"create and leave the drag with Escape",
         [](Banco& b) {
             b.ed->ImpostaModoInserimento(ModoInserimento::Barcode);
             b.ed->MouseDown(Qt::LeftButton, {7000, 6000}, Banco::schermo({7000, 6000}));
             b.ed->Form_MouseMove(Banco::schermo({8000, 7000}));
             b.ed->Tasto(Qt::Key_Escape, {});
         }},
        {"draw a line",
         [](Banco& b) {
             b.ed->ImpostaModoInserimento(ModoInserimento::Linea);
             b.trascina({7000, 6000}, {7900, 5400});
         }},
        {"draw a circle with Shift",
         [](Banco& b) {
             b.ed->ImpostaModoInserimento(ModoInserimento::Ellisse);
             b.trascina({7000, 6000}, {7900, 6400}, Qt::ShiftModifier);
         }},
        {"place a line by a click", [](Banco& b) {
             b.ed->ImpostaModoInserimento(ModoInserimento::Linea);
             b.clic({7000, 6000});
         }},
        {"move a line's end with its grip",
         [](Banco& b) {
             b.seleziona({b.l});
             b.ed->ShowHandles(true);
             const QPointF m = (*b.finestra.maniglie)[0] + QPointF(30, 30);
             b.trascina(m, {6500, 3000});
         }},
        {"move a line by its stroke", [](Banco& b) { b.trascina({7000, 4150}, {7300, 4450}); }},
        {"rotate right", [](Banco& b) { b.cmd.Ruota(1, std::vector{b.t1, b.b, b.l, b.e}); }},
        {"rotate left a turned object", [](Banco& b) { b.cmd.Ruota(-1, std::vector{b.p, b.r}); },
         [](Banco& b) { b.p->Rotazione.Gradi = 90; }},
        {"outline and fill",
         [](Banco& b) {
             b.ui.gestoriDialogo[RichiestaForma::Nome] = [](RichiestaDialogo& d) {
                 auto& r = static_cast<RichiestaForma&>(d);
                 EXPECT_TRUE(r.conRiempimento);
                 EXPECT_TRUE(r.riempimento.Pieno);
                 r.contorno = {0x000000FF, 1.5f, TrattoLinea::Punteggiato};
                 r.riempimento.Pieno = false;
                 return true;
             };
             b.cmd.ProprietaForma(std::vector{b.e, b.t1, b.l});
         }},
        {"delete one", [](Banco& b) { b.cmd.Cancella(b.t2); }},
        {"delete several",
         [](Banco& b) {
             b.cmd.Cancella(std::vector{b.t1, b.r, b.p, b.l, b.e});
         }},
        {"cut",
         [](Banco& b) {
             b.cmd.Taglia(std::vector{b.b, b.t2, b.e});
         }},
        {"paste several", [](Banco& b) { b.cmd.Incolla(); },
         [](Banco& b) {
             b.cmd.Copia(std::vector{b.t1, b.r, b.p, b.l, b.e, b.b});
         }},
        {"turn, fit and outline as one step of properties",
         [](Banco& b) {
             b.doc.Esegui(new ComandoContenuto(
                 b.doc, ModificaProprieta::Voci({b.t2, b.e, b.l, b.p}, [](OggettoEtichetta& o) {
                     o.Rotazione = o.Rotazione.Girata(-1);
                     o.Adattamento.Verticale = AllineamentoVerticale::Basso;
                     o.Contorno.Tratto = TrattoLinea::Punteggiato;
                     o.Riempimento.Pieno = false;
                 }), NomeModifica::ModificaTesto));
         }},
        {"paste what was cut", [](Banco& b) { b.cmd.Incolla(); },
         [](Banco& b) {
             b.cmd.Taglia(std::vector{b.t2, b.b});
             b.doc.Storia().clear();
             b.doc.ImpostaModificato(false);
         }},
        {"move several with the mouse",
         [](Banco& b) {
             b.seleziona({b.r, b.t1, b.l, b.e});
             b.trascina({1600, 1800}, {2500, 2600});
         }},
        {"resize with a grip",
         [](Banco& b) {
             b.seleziona({b.t2});
             b.ed->ShowHandles(true);
             const QPointF m = (*b.finestra.maniglie)[4] + QPointF(30, 30);
             b.trascina(m, m + QPointF(700, 300));
         }},
        {"move with the arrow keys",
         [](Banco& b) {
             b.seleziona({b.t1, b.b});
             b.ed->Tasto(Qt::Key_Right, {});
             b.ed->Tasto(Qt::Key_Right, Qt::ShiftModifier);
             b.ed->Tasto(Qt::Key_Down, {});
         }},
        {"size with Ctrl and the arrow keys",
         [](Banco& b) {
             b.seleziona({b.r});
             b.ed->Tasto(Qt::Key_Left, Qt::ControlModifier);
             b.ed->Tasto(Qt::Key_Up, Qt::ControlModifier | Qt::ShiftModifier);
         }},
        {"font from the boxes",
         [](Banco& b) {
             b.cmd.ApplyFont(QStringLiteral("Courier New"), QStringLiteral("14"), true, false,
                             std::vector{b.t1, b.r, b.t2});
         }},
        {"font dialog",
         [](Banco& b) {
             b.ui.caratteri.push_back(QFont(QStringLiteral("Courier New"), 18));
             b.cmd.Carattere(b.t2);
         }},
        {"object colour",
         [](Banco& b) {
             b.ui.colori.push_back(QColor(10, 20, 30));
             b.cmd.ColoreOggetto(std::vector{b.t1, b.r, b.p});
         }},
        {"background colour",
         [](Banco& b) {
             b.ui.colori.push_back(QColor(200, 100, 50));
             b.cmd.ColoreSfondo(std::vector{b.t2, b.r});
         }},
        {"text alignment",
         [](Banco& b) {
             b.cmd.SetAlignment(2, std::vector{b.t1, b.t2});
         }},
        {"alignment dialog",
         [](Banco& b) {
             b.ui.gestoriDialogo[RichiestaAllineamento::Nome] = [](RichiestaDialogo& d) {
                 static_cast<RichiestaAllineamento&>(d).opzione = 2;
                 return true;
             };
             b.cmd.Allineamento(b.t1);
         }},
        {"thickness", [](Banco& b) { b.cmd.Spessore(3, b.r); }},
        {"opaque",
         [](Banco& b) {
             b.cmd.Opaco(std::vector{b.t1, b.r});
         }},
        {"transparent", [](Banco& b) { b.cmd.Trasparente(b.t2); }, [](Banco& b) { b.t2->BackStyle = 1; }},
        {"bring to front",
         [](Banco& b) {
             b.cmd.PortaAvanti(std::vector{b.r, b.t1, b.l});
         }},
        {"send to back",
         [](Banco& b) {
             b.cmd.PortaIndietro(std::vector{b.t2, b.b, b.e});
         }},
        {"edit text",
         [](Banco& b) {
             b.ui.gestoriDialogo[RichiestaModificaTesto::Nome] = [](RichiestaDialogo& d) {
                 static_cast<RichiestaModificaTesto&>(d).testo = QStringLiteral("Tre");
                 return true;
             };
             b.cmd.ModificaTesto(b.t1);
         }},
        {"edit the data of a linked barcode",
         [](Banco& b) {
             b.ui.gestoriDialogo[RichiestaModificaTesto::Nome] = [](RichiestaDialogo& d) {
                 static_cast<RichiestaModificaTesto&>(d).testo = QStringLiteral("CART-39");
                 return true;
             };
             b.cmd.ModificaTesto(b.b);
         },
         [](Banco& b) { b.b->DataMember = QStringLiteral("Codice"); }},
        {"picture file",
         [](Banco& b) {
             b.ui.gestoriDialogo[RichiestaModificaImmagine::Nome] = [&b](RichiestaDialogo& d) {
                 static_cast<RichiestaModificaImmagine&>(d).nomeFile = b.png;
                 return true;
             };
             b.cmd.ModificaImmagine(b.p);
         }},
        {"barcode settings",
         [](Banco& b) {
             b.ui.gestoriDialogo[RichiestaParametriBarcode::Nome] = [](RichiestaDialogo& d) {
                 auto& r = static_cast<RichiestaParametriBarcode&>(d);
                 r.tipoBarcode = 0;
                 r.opzioneTesto = 2;
                 return true;
             };
             b.cmd.ParametriBarcode(b.b);
         }},
        {"align left edges",
         [](Banco& b) {
             b.cmd.Allinea(Allinea::Sinistra, std::vector{b.t2, b.b, b.l, b.e, b.t1});
         }},
        {"align a single object to the label", [](Banco& b) { b.cmd.Allinea(Allinea::Basso, b.p); }},
        {"distribute",
         [](Banco& b) {
             b.cmd.Distribuisci(Distribuisci::Verticale, std::vector{b.t1, b.b, b.t2});
         }},
        {"same width",
         [](Banco& b) {
             b.cmd.StessaDimensione(Dimensione::Larghezza, std::vector{b.t1, b.t2});
         }},
        {"frame typed in the panel",
         [](Banco& b) {
             b.cmd.ImpostaCornice(b.t1, {1600, 1800, 1300, 300});
         }},
        {"page set-up",
         [](Banco& b) {
             LayoutEtichetta l = b.doc.Layout();
             l.AltezzaEtichetta = 30;
             l.EtichetteVerticali = 8;
             b.doc.Esegui(new ComandoLayout(b.doc, b.doc.Layout(), l));
         }},
    };
    return tutte;
}

}  // namespace

TEST(Annulla, EveryKindOfActionIsOneStepThatUndoAndRedoGiveBackByteForByte)
{
    for (const Azione& a : azioni()) {
        SCOPED_TRACE(a.nome);
        Banco b;
        a.prepara(b);
        const QByteArray prima = b.dati();
        const int passi = b.doc.Storia().count();
        a.fai(b);
        const QByteArray dopo = b.dati();
        EXPECT_NE(dopo, prima) << "the action changed nothing";
        EXPECT_EQ(b.doc.Storia().count(), passi + 1);
        EXPECT_TRUE(b.doc.Modificato());
        // Its name is on the Undo entry.
        EXPECT_FALSE(b.doc.Storia().undoText().isEmpty());
        for (int giro = 0; giro < 2; ++giro) {
            b.ed->Annulla();
            EXPECT_EQ(b.dati(), prima) << "undo " << giro;
            EXPECT_FALSE(b.doc.Modificato()) << "undo " << giro;
            b.ed->Ripeti();
            EXPECT_EQ(b.dati(), dopo) << "redo " << giro;
            EXPECT_TRUE(b.doc.Modificato());
        }
    }
}

TEST(Annulla, AllActionsInARowUndoToTheStartAndRedoToTheEnd)
{
    // One label through the actions in turn, those that take objects away last; then all
    // undone and all redone: index reuse, z-order rows and places interact here.
    Banco b;
    std::vector<QByteArray> stati{b.dati()};
    auto fai = [&](const Azione& a) {
        SCOPED_TRACE(a.nome);
        const int passi = b.doc.Storia().index();
        a.fai(b);
        // Some find their work done by an earlier one (the font of a text already set).
        if (b.doc.Storia().index() == passi)
            EXPECT_EQ(b.dati(), stati.back());
        else
            stati.push_back(b.dati());
    };
    const std::string ultime[] = {"delete several", "cut"};
    for (const Azione& a : azioni()) {
        const std::string nome = a.nome;
        if (nome.find("paste") == std::string::npos && nome.find("delete") == std::string::npos &&
            nome.find("cut") == std::string::npos)
            fai(a);
    }
    for (const Azione& a : azioni())
        if (std::find(std::begin(ultime), std::end(ultime), a.nome) != std::end(ultime)) fai(a);
    const int passi = b.doc.Storia().index();
    ASSERT_EQ(size_t(passi) + 1, stati.size());
    for (int i = passi; i > 0; --i) {
        b.ed->Annulla();
        EXPECT_EQ(b.dati(), stati[size_t(i - 1)]) << "undo to " << i - 1;
    }
    for (int i = 1; i <= passi; ++i) {
        b.ed->Ripeti();
        EXPECT_EQ(b.dati(), stati[size_t(i)]) << "redo to " << i;
    }
}

TEST(Annulla, DeletingAndPastingComeBackWithTheirIndexPlaceAndZOrderRow)
{
    Banco b;
    // The z-order table: r sent to back (row 1), t2 brought to front (row 2).
    ASSERT_EQ(b.doc.Zorder().count(), 2);
    const auto disegno = b.doc.OrdineDisegno();
    const auto creazione = b.doc.Oggetti();
    b.cmd.Cancella(std::vector{b.r, b.t1});
    EXPECT_EQ(b.doc.Zorder().count(), 1);
    EXPECT_EQ(b.doc.Zorder().chiaveRiga(1), QStringLiteral("oggTesto2"));
    b.ed->Annulla();
    EXPECT_EQ(b.doc.OrdineDisegno(), disegno);
    EXPECT_EQ(b.doc.Oggetti(), creazione);
    EXPECT_EQ(b.doc.Zorder().count(), 2);
    EXPECT_EQ(b.doc.Zorder().chiaveRiga(1), QStringLiteral("oggRettangolo1"));
    EXPECT_EQ(b.doc.Zorder().valoreRiga(1), modCartigo::InteroFile(2));
    // The objects an undo brings back are the selection.
    EXPECT_EQ(b.ed->Selezione(), (std::vector<OggettoEtichetta*>{b.r, b.t1}));
    // A new text after undone creations takes the next free index again.
    b.ed->ImpostaModoInserimento(ModoInserimento::Testo);
    b.clic({7000, 7000});
    EXPECT_EQ(b.doc.Oggetti().back()->Index, 3);
    b.ed->Annulla();
    b.ed->ImpostaModoInserimento(ModoInserimento::Testo);
    b.clic({7000, 7000});
    EXPECT_EQ(b.doc.Oggetti().back()->Index, 3);
    // Pasting three: each in front, in the originals' drawing order, each with its row.
    b.cmd.Copia(std::vector{b.t2, b.r, b.b});
    b.cmd.Incolla();
    QStringList righe;
    for (int i = 1; i <= b.doc.Zorder().count(); ++i) righe << b.doc.Zorder().chiaveRiga(i);
    EXPECT_EQ(righe, (QStringList{"oggRettangolo1", "oggTesto2", "oggRettangolo2", "oggImmagine2", "oggTesto4"}));
    b.ed->Annulla();
    EXPECT_EQ(b.doc.Zorder().count(), 2);
    EXPECT_EQ(b.doc.NumeroOggetti(), 8);
}

TEST(Annulla, ADragIsOneStepAndArrowKeysOnTheSameObjectsMerge)
{
    Banco b;
    // Many moves of the mouse, one step.
    b.seleziona({b.t1});
    b.ed->MouseDown(Qt::LeftButton, {1600, 1800}, Banco::schermo({1600, 1800}));
    for (int i = 1; i <= 20; ++i) b.ed->Form_MouseMove(Banco::schermo({1600.0 + 30 * i, 1800.0 + 15 * i}));
    b.ed->Form_MouseUp(Qt::LeftButton);
    EXPECT_EQ(b.doc.Storia().count(), 1);
    EXPECT_EQ(b.doc.Storia().undoText(), LoadResString(NomeModifica::Spostamento));
    // Five presses of the arrows: one more step.
    for (int i = 0; i < 5; ++i) b.ed->Tasto(i % 2 ? Qt::Key_Down : Qt::Key_Right, {});
    EXPECT_EQ(b.doc.Storia().count(), 2);
    const float left = b.t1->Left;
    // Another selection starts a step of its own, and so does sizing.
    b.seleziona({b.t1, b.t2});
    b.ed->Tasto(Qt::Key_Right, {});
    EXPECT_EQ(b.doc.Storia().count(), 3);
    b.ed->Tasto(Qt::Key_Right, Qt::ControlModifier);
    b.ed->Tasto(Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(b.doc.Storia().count(), 4);
    b.ed->Annulla();
    b.ed->Annulla();
    EXPECT_EQ(b.t1->Left, left);
    b.ed->Annulla();
    EXPECT_NEAR(b.t1->Left, 1600 + 600 - 100, 1e-3);  // back at the end of the drag
    // Presses that come back where they started leave no step behind.
    b.doc.Storia().clear();
    b.seleziona({b.p});
    b.ed->Tasto(Qt::Key_Left, {});
    b.ed->Tasto(Qt::Key_Right, {});
    EXPECT_EQ(b.doc.Storia().count(), 0);
    EXPECT_FALSE(b.doc.Modificato());
    // A step is not merged into the saved state.
    b.ed->Tasto(Qt::Key_Left, {});
    b.doc.ImpostaModificato(false);
    b.ed->Tasto(Qt::Key_Left, {});
    EXPECT_EQ(b.doc.Storia().count(), 2);
    b.ed->Annulla();
    EXPECT_FALSE(b.doc.Modificato());
}

TEST(Annulla, TheSavedStateIsTheCleanOneAndANewLabelEmptiesTheHistory)
{
    Banco b;
    b.cmd.Opaco(b.t1);
    b.cmd.Spessore(2, b.r);
    EXPECT_TRUE(b.doc.Modificato());
    b.ed->Annulla();
    b.ed->Annulla();
    EXPECT_FALSE(b.doc.Modificato());  // back where it was saved
    b.ed->Ripeti();
    b.doc.ImpostaModificato(false);  // saved here
    b.ed->Annulla();
    EXPECT_TRUE(b.doc.Modificato());
    b.ed->Ripeti();
    EXPECT_FALSE(b.doc.Modificato());
    // A change made outside the history: no undo comes back to a saved state.
    b.doc.ImpostaModificato(true);
    b.ed->Annulla();
    b.ed->Ripeti();
    EXPECT_TRUE(b.doc.Modificato());
    // Commands that change nothing make no step and mark nothing.
    b.doc.ImpostaModificato(false);
    const int passi = b.doc.Storia().count();
    b.cmd.Opaco(b.t1);  // already opaque
    b.cmd.Opaco(b.b);   // a barcode has no background
    b.cmd.Copia(b.t1);
    b.cmd.PortaAvanti(Selezione());
    EXPECT_EQ(b.doc.Storia().count(), passi);
    EXPECT_FALSE(b.doc.Modificato());
    // A new label starts with no history.
    b.doc.NuovaEtichetta();
    EXPECT_EQ(b.doc.Storia().count(), 0);
    EXPECT_FALSE(b.doc.Storia().canUndo());
    EXPECT_FALSE(b.doc.Modificato());
}

TEST(Annulla, TheHistoryKeepsTheLast200Steps)
{
    Banco b;
    const QByteArray inizio = b.dati();
    for (int i = 0; i < 250; ++i) {
        b.seleziona({i % 2 ? b.t1 : b.t2});  // another selection each time: no merging
        b.ed->Tasto(Qt::Key_Right, {});
    }
    EXPECT_EQ(b.doc.Storia().count(), DocumentoEtichetta::PassiAnnullabili);
    while (b.doc.Storia().canUndo()) b.ed->Annulla();
    // The 50 oldest steps are gone: t1 and t2 stay 25 tenths of a millimetre on each.
    EXPECT_NE(b.dati(), inizio);
    EXPECT_NEAR(b.t1->Left, 1500 + 25 * EditorSuperficie::PassoFine, 1e-2);
    EXPECT_NEAR(b.t2->Left, 1500 + 25 * EditorSuperficie::PassoFine, 1e-2);
    EXPECT_TRUE(b.doc.Modificato());
}

TEST(Annulla, APasteCarriesTheNewerKindsAndSettings)
{
    Banco b;
    const std::vector<OggettoEtichetta*> copiati{b.t1, b.b, b.l, b.e};
    b.cmd.Copia(copiati);
    b.cmd.Incolla();
    const auto incollati = b.cmd.Incollati();
    ASSERT_EQ(incollati.size(), copiati.size());
    for (const OggettoEtichetta* n : incollati) {
        const auto o = std::find_if(copiati.begin(), copiati.end(), [n](auto* c) { return c->tipo == n->tipo; });
        ASSERT_NE(o, copiati.end());
        OggettoEtichetta rimesso = *n;  // where the copy went: 100 twips right and down
        rimesso.Left -= 100;
        rimesso.Top -= 100;
        EXPECT_TRUE(StesseProprieta(rimesso, **o)) << (*o)->Chiave().toStdString();
    }
}
