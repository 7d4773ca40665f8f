// The label print job, checked on the display list it records.
#include "../stampora/SupportoStampora.h"
#include "barcode/EAN.h"
#include "common/ServerCups.h"
#include "common/ServerPostgres.h"
#include "common/TestSupport.h"
#include "data/SelezioneStampa.h"
#include "data/clsDatabase.h"
#include "label/Errori.h"
#include "label/FileEtichetta.h"
#include "label/ImmagineEtichetta.h"
#include "label/ModificheEtichetta.h"
#include "label/ValoriEtichetta.h"
#include "print/StampaEtichette.h"
#include "shell/InterazioneScriptata.h"
#include "shell/StringTable.h"
#include "stampora/RichiesteStampora.h"
#include "stampora/StamporaCups.h"
#include "stampora/clsStampora.h"
#include "designer/Superficie.h"
#include "stampora/RenderizzatorePagina.h"
#include "stampora/FileStampa.h"

#include <QElapsedTimer>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <sqlite3.h>

using namespace cartigo;

namespace {

// Records with named fields; a missing field fails as the data source does. One counted
// only at its end (a condition on a table still being read) must not be asked its count.
class RecordsetFinto : public RecordsetStampa {
public:
    QStringList campi;
    QList<QStringList> righe;
    int pos = 0;
    bool contatoAllaFine = false;
    bool Eof() const override { return pos >= righe.size(); }
    void MoveNext() override { ++pos; }
    int RecordCount() override
    {
        EXPECT_FALSE(contatoAllaFine) << "the count read the whole selection first";
        return int(righe.size());
    }
    bool ConteggioPronto() const override { return !contatoAllaFine; }
    QString TestoCampo(const QString& campo) override
    {
        int i = int(campi.size()) - 1;
        while (i >= 0 && campi[i].compare(campo, Qt::CaseInsensitive) != 0) --i;
        if (i < 0)
            throw ErroreCartigo(3265, QStringLiteral("Item not found in this collection: %1").arg(campo));
        return righe[pos][i];
    }
    bool HaCampo(const QString& campo) const override { return campi.contains(campo, Qt::CaseInsensitive); }
};

// Records of the fields `campi`, one a line of `righe`.
std::shared_ptr<RecordsetFinto> recordset(const QStringList& campi, const QList<QStringList>& righe = {})
{
    auto rs = std::make_shared<RecordsetFinto>();
    rs->campi = campi;
    rs->righe = righe;
    return rs;
}

class AttesaFinta : public FinestraAttesa {
public:
    QStringList* testi;
    bool* aperta;
    int annullaDopo = -1;
    AttesaFinta(QStringList* t, bool* a) : testi(t), aperta(a) {}
    void Mostra() override { *aperta = true; }
    void Aggiorna(const QString& t) override { *testi << t; }
    bool Annullata() const override { return annullaDopo >= 0 && testi->size() > annullaDopo; }
    void Chiudi() override { *aperta = false; }
};

struct Banco {
    bool app = (test::AssicuraApplicazione(), true);
    test::CartellaProgrammaTemporanea cartella;
    test::StampanteFinta stampante;
    DocumentoEtichetta doc;
    InterazioneScriptata ui;
    StampaEtichette job{doc, ui};
    std::shared_ptr<DocumentoStampa> uscita;  // what reached the preview
    RichiestaOpzioniStampa opzioniViste;
    QStringList attesa;
    bool attesaAperta = false;
    int recordsetAperti = 0;
    int annullaDopo = -1;

    // Answers: the options below, the preview as destination (or `destinazione`: 2 the
    // printer with `copie`, 3 the file `fileUscita`).
    ValoriDialogoStampa opzioni;
    int destinazione = 1;
    int copie = 1;
    QString fileUscita;
    Banco()
    {
        ui.gestoriDialogo[RichiestaOpzioniStampa::Nome] = [this](RichiestaDialogo& d) {
            auto& r = static_cast<RichiestaOpzioniStampa&>(d);
            opzioniViste = r;
            InterazioneScriptata muto;
            return OkOpzioniStampa(opzioni, r, muto, QString()).confermato;
        };
        ui.gestoriDialogo[QStringLiteral("frmStamporaDestinazioneStampa")] = [this](RichiestaDialogo& d) {
            auto& r = static_cast<RichiestaDestinazioneStampa&>(d);
            r.DestinazioneStampa = destinazione;
            r.Copies = copie;
            r.FileName = fileUscita;
            return true;
        };
        ui.gestoriDialogo[QStringLiteral("frmStamporaAnteprima")] = [this](RichiestaDialogo& d) {
            uscita = static_cast<RichiestaAnteprima&>(d).Documento;
            return true;
        };
        job.CreaAttesa = [this] {
            auto a = std::make_unique<AttesaFinta>(&attesa, &attesaAperta);
            a->annullaDopo = annullaDopo;
            return a;
        };
    }
    // Prints with the options `o`, answered in the options dialog.
    EsitoStampa stampa(const ValoriDialogoStampa& o)
    {
        opzioni = o;
        return job.Esegui();
    }
    void connetti(std::shared_ptr<RecordsetFinto> rs)
    {
        doc.ImpostaConnesso(true);
        job.ApriRecordset = [this, rs]() -> std::unique_ptr<RecordsetStampa> {
            ++recordsetAperti;
            auto copia = std::make_unique<RecordsetFinto>(*rs);
            return copia;
        };
    }
    // Text boxes of the recorded document: (page, text, x, y) in millimetres from the paper's corner.
    struct Testo {
        int pagina;
        QString testo;
        double x, y;
    };
    std::vector<Testo> testi() const { return uscita ? testiDi(*uscita) : std::vector<Testo>{}; }
    static std::vector<Testo> testiDi(const DocumentoStampa& d)
    {
        std::vector<Testo> r;
        for (int p = 0; p < d.PageCount(); ++p) {
            const auto& pagina = d.Pagina(p);
            pagina.PerOgni([&](const Operazione& op) {
                if (op.tipo == TipoOperazione::CasellaTesto)
                    r.push_back({p, pagina.Testi()[op.dato], op.x1 / 56.7, op.y1 / 56.7});
            });
        }
        return r;
    }
};

OggettoEtichetta* testo(DocumentoEtichetta& doc, const QString& caption, float left = 567, float top = 1440)
{
    auto* t = doc.CreaTesto(left, top, 1000, 255);
    t->Caption = caption;
    t->FontName = QStringLiteral("Arial");
    return t;
}

}  // namespace

TEST(StampaEtichette, CellsPagesAndTheLabelCounter)
{
    ImpostaLingua(Lingua::Italiano);  // the messages checked are the Italian ones
    Banco b;
    testo(b.doc, QStringLiteral("X"));
    ASSERT_EQ(b.stampa({false, true, "10", "3"}), EsitoStampa::Stampata);
    ASSERT_TRUE(b.uscita);
    EXPECT_EQ(b.uscita->PageCount(), 2);
    EXPECT_EQ(b.job.Pagine(), 2);
    EXPECT_EQ(b.job.EtichetteStampate(), 10);
    const auto t = b.testi();
    ASSERT_EQ(t.size(), 10u);
    // offsets 4 and 0 mm: label 1 in cell 3 (column 1, row 2)
    EXPECT_NEAR(t[0].x, 10 + 4, 1e-3);
    EXPECT_NEAR(t[0].y, 10 + 60, 1e-3);
    EXPECT_EQ(t[0].pagina, 0);
    EXPECT_NEAR(t[1].x, 10 + 90 + 4, 1e-3);  // column 2
    EXPECT_EQ(t[5].pagina, 0);
    EXPECT_EQ(t[6].pagina, 1);
    EXPECT_NEAR(t[6].y, 10, 1e-3);  // page 2 starts at the top-left cell
    EXPECT_EQ(b.attesa.first(), QStringLiteral("Etichetta 1/10"));
    EXPECT_EQ(b.attesa.last(), QStringLiteral("Etichetta 10/10"));
    EXPECT_FALSE(b.attesaAperta);
    EXPECT_EQ(b.ui.attese, 0);  // the pointer is back
    // the options dialog started on "number of labels" without a database
    EXPECT_FALSE(b.opzioniViste.tutteSelezionata);
}

TEST(StampaEtichette, RecordsFeedBoundObjects)
{
    auto rs = recordset({"Nome"});
    for (int i = 1; i <= 25; ++i)
        rs->righe << QStringList{QStringLiteral("Cliente %1").arg(i)};
    // all the labels, counted at once or only at the end, or 30 labels: past the last record
    // the bound objects are empty
    for (const auto& [allaFine, quante] : {std::pair{false, ""}, {true, ""}, {false, "30"}}) {
        rs->contatoAllaFine = allaFine;
        Banco b;
        b.connetti(rs);
        testo(b.doc, QStringLiteral("fisso"))->DataMember = QStringLiteral("Nome");
        testo(b.doc, QStringLiteral("sempre"), 567, 2000);
        const bool tutte = !*quante;
        ASSERT_EQ(b.stampa({tutte, !tutte, quante, "1"}), EsitoStampa::Stampata);
        EXPECT_TRUE(b.opzioniViste.tutteSelezionata);
        const auto t = b.testi();
        ASSERT_EQ(t.size(), tutte ? 50u : 60u);
        EXPECT_EQ(t[0].testo, QStringLiteral("Cliente 1"));
        EXPECT_EQ(t[1].testo, QStringLiteral("sempre"));
        EXPECT_EQ(t[48].testo, QStringLiteral("Cliente 25"));
        EXPECT_EQ(b.uscita->PageCount(), 4);
        if (!tutte) {
            EXPECT_EQ(t[50].testo, QString());
            EXPECT_EQ(t[58].testo, QString());
        }
    }
    {
        // "all labels" without a database prints one label
        Banco b;
        testo(b.doc, QStringLiteral("uno"))->DataMember = QStringLiteral("Nome");
        ASSERT_EQ(b.stampa({true, false, "", "1"}), EsitoStampa::Stampata);
        ASSERT_EQ(b.testi().size(), 1u);
        EXPECT_EQ(b.testi()[0].testo, QString());  // bound, not connected: empty
    }
}

TEST(StampaEtichette, EmptySelectionPrintsNothingAndSaysSo)
{
    const auto vuoto = recordset({"Nome"});
    {
        // all labels of no record: no destination asked, no sheet, the user told
        Banco b;
        b.connetti(vuoto);
        testo(b.doc, QStringLiteral("x"));
        EXPECT_EQ(b.stampa({true, false, "", "1"}), EsitoStampa::Vuota);
        EXPECT_FALSE(b.uscita);
        EXPECT_EQ(b.ui.dialoghi, QStringList{RichiestaOpzioniStampa::Nome});
        ASSERT_EQ(b.ui.messaggi.size(), 1);
        EXPECT_EQ(b.ui.messaggi[0].testo, LoadResString(1300));
        EXPECT_EQ(b.job.EtichetteStampate(), 0);
        EXPECT_EQ(b.job.Pagine(), 0);
        EXPECT_EQ(b.ui.attese, 0);
    }
    {
        // a number of labels still prints them, bound objects empty
        Banco b;
        b.connetti(vuoto);
        testo(b.doc, QStringLiteral("x"));
        EXPECT_EQ(b.stampa({false, true, "2", "1"}), EsitoStampa::Stampata);
        EXPECT_EQ(b.testi().size(), 2u);
        EXPECT_TRUE(b.ui.messaggi.isEmpty());
    }
}

TEST(StampaEtichette, StackedAsTheSurfaceFontsAndBackgrounds)
{
    Banco b;
    auto* a = testo(b.doc, QStringLiteral("a"));
    auto* c = testo(b.doc, QStringLiteral("c"));
    auto* d = testo(b.doc, QStringLiteral("d"));
    auto* e = testo(b.doc, QStringLiteral("e"));
    // Restacked with the commands: e to the back, c to the front, then a to the front,
    // so the surface shows a above c (both are marked "front" in the z-order table).
    b.doc.Esegui(new ComandoOrdine(b.doc, {e->id}, false));
    b.doc.Esegui(new ComandoOrdine(b.doc, {c->id}, true));
    b.doc.Esegui(new ComandoOrdine(b.doc, {a->id}, true));
    a->FontSize = 8.5f;
    c->FontSize = 9.5f;
    d->BackStyle = 1;
    d->BackColor = 0x00FFFF;
    ASSERT_EQ(b.stampa({false, true, "1", "1", true, true}), EsitoStampa::Stampata);
    // the texts in this order, then 8 mark strokes and the border before them
    QStringList ordine;
    for (const auto& op : test::Operazioni(*b.uscita)) {
        if (op.tipo == TipoOperazione::Linea || op.tipo == TipoOperazione::Rettangolo) {
            ordine << QStringLiteral("|");
            continue;
        }
        if (op.tipo != TipoOperazione::CasellaTesto) continue;
        const QString t = b.uscita->Pagina(0).Testi()[op.dato];
        const auto& stile = b.uscita->Stili()[op.stile];
        const float dimensione = b.uscita->Caratteri()[stile.carattere].dimensione;
        // a and c at the sizes the font has (8.5 and 9.5 to the even neighbour), d filled, e clear
        const bool atteso = t == QLatin1String("a")   ? dimensione == 8.0f
                            : t == QLatin1String("c") ? dimensione == 10.0f
                            : t == QLatin1String("d")
                                ? op.ombra && stile.stilePennello == 0 && stile.colorePennello == 0x00FFFFu
                                : !op.ombra && stile.stilePennello == 1;
        EXPECT_TRUE(atteso) << t.toStdString();
        ordine << t;
    }
    EXPECT_EQ(ordine.join(QString()), QStringLiteral("|||||||||edca"));
}

TEST(StampaEtichette, ObjectsOfEveryKindReachTheEngine)
{
    Banco b;
    auto* r = b.doc.CreaRettangolo(567, 1440, 567, 567);
    r->BackStyle = 1;
    r->BackColor = 0x0000FF;
    r->BorderWidth = 3;
    auto* bc = b.doc.CreaBarcode(567, 2000, 1935, 1035);
    bc->ToolTipText = QStringLiteral("ABC");  // empty Tag: Code 39
    auto* ean = b.doc.CreaBarcode(3000, 2000, 1935, 1035);
    ean->Tag = QStringLiteral("12");           // EAN-13, text hidden
    ean->ToolTipText = QStringLiteral("5901234123457");
    auto* nessuno = b.doc.CreaBarcode(3000, 2000, 1935, 1035);
    nessuno->Tag = QStringLiteral("8");        // no symbol
    nessuno->ToolTipText = QStringLiteral("X");
    auto* pic = b.doc.CreaImmagine(567, 1440, 500, 500);
    pic->ToolTipText = QStringLiteral("/non/esiste.png");  // left out silently
    ASSERT_EQ(b.stampa({false, true, "1", "1"}), EsitoStampa::Stampata);
    int rettangoli = 0, simboli = 0, testi = 0, immagini = 0;
    bool pieno = false;
    for (const auto& op : test::Operazioni(*b.uscita)) {
        rettangoli += op.tipo == TipoOperazione::Rettangolo;
        simboli += op.tipo == TipoOperazione::Simbolo;
        immagini += op.tipo == TipoOperazione::Immagine;
        if (op.tipo == TipoOperazione::Rettangolo && b.uscita->Stili()[op.stile].colorePennello == 0x0000FFu)
            pieno = b.uscita->Stili()[op.stile].stilePennello == 0;
    }
    EXPECT_TRUE(pieno);
    EXPECT_EQ(rettangoli, 1);
    EXPECT_EQ(simboli, 2);  // Code 39 and EAN; kind 8 none
    for (const SimboloBarcode& s : b.uscita->Pagina(0).Simboli()) testi += s.conTesto();
    EXPECT_EQ(testi, 1);  // Code 39's line; the EAN's is hidden
    EXPECT_EQ(immagini, 0);
    EXPECT_TRUE(b.ui.messaggi.isEmpty());
}

TEST(StampaEtichette, CancelledDialogsAndFailuresLeaveNothingBehind)
{
    {
        Banco b;
        b.ui.gestoriDialogo.erase(RichiestaOpzioniStampa::Nome);  // options cancelled
        EXPECT_EQ(b.job.Esegui(), EsitoStampa::Annullata);
        EXPECT_EQ(b.ui.dialoghi, QStringList{RichiestaOpzioniStampa::Nome});  // no engine, no destination
    }
    {
        Banco b;
        b.opzioni = {false, true, "1", "1"};
        b.ui.gestoriDialogo[QStringLiteral("frmStamporaDestinazioneStampa")] = [](RichiestaDialogo&) { return false; };
        EXPECT_EQ(b.job.Esegui(), EsitoStampa::Annullata);
        EXPECT_FALSE(b.uscita);
        EXPECT_TRUE(b.ui.messaggi.isEmpty());
    }
    {
        // a field the selection lacks: the job stops and says which
        Banco b;
        b.connetti(recordset({"Nome"}, {{"a"}}));
        testo(b.doc, QStringLiteral("x"))->DataMember = QStringLiteral("Indirizzo");
        EXPECT_EQ(b.stampa({true, false, "", "1"}), EsitoStampa::Fallita);
        EXPECT_FALSE(b.uscita);  // nothing delivered
        ASSERT_EQ(b.ui.messaggi.size(), 1);
        EXPECT_TRUE(b.ui.messaggi[0].testo.contains(QStringLiteral("Indirizzo")));
        EXPECT_FALSE(b.attesaAperta);
        EXPECT_EQ(b.ui.attese, 0);
    }
    {
        // the record set cannot be opened
        Banco b;
        b.doc.ImpostaConnesso(true);
        b.job.ApriRecordset = []() -> std::unique_ptr<RecordsetStampa> {
            throw ErroreCartigo(3078, QStringLiteral("The Microsoft Jet database engine cannot find the input table or "
                                                     "query 'Clienti'."));
        };
        EXPECT_EQ(b.job.Esegui(), EsitoStampa::Fallita);
        ASSERT_EQ(b.ui.messaggi.size(), 1);
        EXPECT_TRUE(b.ui.messaggi[0].testo.contains(QStringLiteral("Clienti")));
        EXPECT_TRUE(b.ui.dialoghi.isEmpty());
    }
    {
        // Cancel in the wait window: the document is discarded
        Banco b;
        testo(b.doc, QStringLiteral("x"));
        b.annullaDopo = 3;
        EXPECT_EQ(b.stampa({false, true, "100", "1"}), EsitoStampa::Annullata);
        EXPECT_FALSE(b.uscita);
        EXPECT_FALSE(b.attesaAperta);
        EXPECT_EQ(b.attesa.size(), 4);
    }
}

TEST(StampaEtichette, PicturesAreFoundBesideTheLabelAndRecordsPicturesReported)
{
    QTemporaryDir dir;
    QImage img(4, 4, QImage::Format_RGB32);
    img.fill(Qt::blue);
    ASSERT_TRUE(img.save(dir.filePath(QStringLiteral("logo.png"))));
    test::ScriviFile(dir.filePath(QStringLiteral("vecchio.wmf")),
                     QByteArray::fromHex("d7cdc69a") + QByteArray(30, 'x'));
    const auto rs = recordset({"Foto"}, {{"logo.png"}, {"manca.png"}, {"vecchio.wmf"}, {"manca.png"}, {""}});
    const auto immagini = [](const DocumentoStampa& d) {
        int n = 0;
        for (const auto& op : test::Operazioni(d)) n += op.tipo == TipoOperazione::Immagine;
        return n;
    };
    {
        // the label's own picture, named relative to the label's folder, prints from any working folder
        Banco b;
        b.doc.ImpostaCartellaEtichetta(dir.path());
        b.doc.CreaImmagine(567, 1440, 500, 500)->ToolTipText = QStringLiteral("logo.png");
        ASSERT_EQ(b.stampa({false, true, "2", "1"}), EsitoStampa::Stampata);
        EXPECT_EQ(immagini(*b.uscita), 2);
        EXPECT_TRUE(b.ui.messaggi.isEmpty());
    }
    // pictures named by records: those that cannot be read are left out and listed once, or,
    // told to stop at them, nothing is delivered and the reason said
    for (const bool ferma : {false, true}) {
        Banco b;
        b.doc.ImpostaCartellaEtichetta(dir.path());
        b.connetti(rs);
        b.doc.CreaImmagine(567, 1440, 500, 500)->DataMember = QStringLiteral("Foto");
        b.job.FermaSuProblemi = ferma;
        EXPECT_EQ(b.stampa({true, false, "", "1"}), ferma ? EsitoStampa::Fallita : EsitoStampa::Stampata);
        ASSERT_EQ(b.ui.messaggi.size(), 1);
        EXPECT_FALSE(b.attesaAperta);
        EXPECT_EQ(b.ui.attese, 0);
        if (ferma) {
            EXPECT_FALSE(b.uscita);
            EXPECT_EQ(b.ui.messaggi[0].testo, LoadResString(1301).arg(QStringLiteral("manca.png")));
            continue;
        }
        ASSERT_TRUE(b.uscita);
        EXPECT_EQ(immagini(*b.uscita), 1);
        EXPECT_EQ(b.ui.messaggi[0].testo,
                  LoadResString(1305) + QStringLiteral("\r") + LoadResString(1301).arg(QStringLiteral("manca.png")) +
                      QStringLiteral("\r") + LoadResString(1302).arg(QStringLiteral("vecchio.wmf")));
        EXPECT_EQ(b.ui.messaggi[0].icona, Icona::Esclamazione);
    }
}

TEST(StampaEtichette, LabelsPastThePageAreWarnedBeforePrinting)
{
    test::LocaleTemporaneo loc(ImpostazioniLocali::inglese());
    // 3 x 70 mm across an A4 sheet without margins: with the 4 mm shift they run to 214 mm
    LayoutEtichetta l;
    l.EtichetteOrizzontali = 3;
    l.EtichetteVerticali = 8;
    l.LarghezzaEtichetta = 70;
    l.AltezzaEtichetta = 37;
    l.MargineSinistro = l.MargineSuperiore = l.SpazioOrizzontale = l.SpazioVerticale = 0;
    // 24 labels on the sheet laid out as `layout`, the question answered `risposta`
    const auto stampa = [](Banco& b, const LayoutEtichetta& layout, Risposta risposta) {
        b.doc.ImpostaLayout(layout);
        testo(b.doc, QStringLiteral("x"));
        b.opzioni = {false, true, "24", "1"};
        b.ui.risposte = {risposta};
        return b.job.Esegui();
    };
    Banco no;
    EXPECT_EQ(stampa(no, l, Risposta::No), EsitoStampa::Annullata);
    EXPECT_FALSE(no.uscita);
    ASSERT_EQ(no.ui.messaggi.size(), 1);
    const auto& m = no.ui.messaggi[0];
    EXPECT_EQ(m.pulsanti, Pulsanti::YesNo);
    EXPECT_EQ(m.testo, LoadResString(1310).arg(LoadResString(1311).arg(QStringLiteral("4.0"))) + QStringLiteral("\r") +
                           LoadResString(1315).arg(4) + QStringLiteral("\r") + LoadResString(1316));
    Banco si;
    EXPECT_EQ(stampa(si, l, Risposta::Yes), EsitoStampa::Stampata);  // the user's choice: printed as laid out
    EXPECT_EQ(si.testi().size(), 24u);
    // the X origin compensates the shift: no warning
    Banco compensato;
    l.OrigineX = -4;
    EXPECT_EQ(stampa(compensato, l, Risposta::No), EsitoStampa::Stampata);
    EXPECT_TRUE(compensato.ui.messaggi.isEmpty());
    EXPECT_NEAR(compensato.testi()[0].x, 0, 1e-3);
}

TEST(StampaEtichette, PageOverhangOnEverySide)
{
    struct Pagina : AreaPagina {
        double Height() const override { return 297 * 56.7; }
        double Width() const override { return 210 * 56.7; }
        int Orientation() const override { return 1; }
        void SetOrientation(int) override {}
    } a4;
    DocumentoEtichetta doc;
    LayoutEtichetta l;
    l.EtichetteOrizzontali = 2;
    l.EtichetteVerticali = 3;
    l.LarghezzaEtichetta = 100;
    l.AltezzaEtichetta = 100;
    l.MargineSinistro = l.SpazioOrizzontale = l.SpazioVerticale = 0;
    l.MargineSuperiore = 0;
    l.OrigineX = -6;
    l.OrigineY = -2.5;
    doc.ImpostaLayout(l);
    const SporgenzaPagina s = SporgenzaEtichette(doc, a4, 6, 1);
    EXPECT_NEAR(s.sinistra, 2, 1e-9);  // 4 - 6
    EXPECT_NEAR(s.destra, 0, 1e-9);    // 4 - 6 + 200 = 198
    EXPECT_NEAR(s.alto, 2.5, 1e-9);
    EXPECT_NEAR(s.basso, 0.5, 1e-9);  // -2.5 + 300 = 297.5
    EXPECT_FALSE(s.nessuna());
    // first position 6: only the last cell, bottom right
    const SporgenzaPagina ultima = SporgenzaEtichette(doc, a4, 1, 6);
    EXPECT_NEAR(ultima.sinistra, 0, 1e-9);
    EXPECT_NEAR(ultima.alto, 0, 1e-9);
    EXPECT_NEAR(ultima.basso, 0.5, 1e-9);
    EXPECT_TRUE(SporgenzaEtichette(doc, a4, 0, 1).nessuna());
}

TEST(StampaEtichette, WrongEanCheckDigitNamesTheRecord)
{
    Banco b;
    b.connetti(recordset({"Codice"}, {{"5901234123457"}, {"590123412345"}, {"5901234123458"}, {"4006381333930"}}));
    auto* ean = b.doc.CreaBarcode(567, 2000, 1935, 1035);
    ean->Tag = QStringLiteral("10");
    ean->DataMember = QStringLiteral("Codice");
    ASSERT_EQ(b.stampa({true, false, "", "1"}), EsitoStampa::Stampata);
    // once per document, naming the first record it came from
    ASSERT_EQ(b.ui.messaggi.size(), 1);
    EXPECT_EQ(b.ui.messaggi[0].testo, modCartigo::EANInvalido() + QStringLiteral("\r\r") +
                                          LoadResString(1320).arg(3).arg(QStringLiteral("5901234123458")));
    EXPECT_EQ(b.ui.messaggi[0].titolo, modCartigo::TitoloEAN2Bin());
    // records 1 and 2 print their symbol, the second with the check digit added
    QStringList righe;
    for (const SimboloBarcode& s : b.uscita->Pagina(0).Simboli())
        if (s.conTesto()) righe << s.testo;
    EXPECT_EQ(righe, (QStringList{"5901234123457", "5901234123457"}));
}

TEST(StampaEtichette, MergeFieldsTakeEachRecordsValues)
{
    ImpostaLingua(Lingua::Italiano);
    Banco b;
    b.connetti(
        recordset({"FirstName", "LastName", "Zip", "City", "Code"},
                  {{"Anna", "Rossi", "20121", "Milano", "CT01"}, {"Marco", "Bianchi", "00184", "Roma", "CT02"}}));
    testo(b.doc, QStringLiteral("Dear ${FirstName} ${LastName}"));
    testo(b.doc, QStringLiteral("${zip} ${City}"), 567, 1800);  // names in any letter case
    testo(b.doc, QStringLiteral("$${Price} is ${Price}, ${Price} again"), 567, 2100);
    auto* collegato = testo(b.doc, QStringLiteral("${FirstName}"), 567, 2400);
    collegato->DataMember = QStringLiteral("City");         // the link wins over the caption
    testo(b.doc, QStringLiteral("50% off ${"), 567, 2700);  // no merge field: as typed
    auto* codice = b.doc.CreaBarcode(3000, 1440, 1935, 1035);
    codice->ToolTipText = QStringLiteral("${Code}");  // Code 39, its text printed
    b.opzioni = {false, true, "3", "1"};              // one label past the last record
    ASSERT_EQ(b.job.Esegui(), EsitoStampa::Stampata);

    QStringList stampati;
    for (const auto& t : b.testi()) stampati << t.testo;
    EXPECT_EQ(stampati,
              (QStringList{
                  "Dear Anna Rossi", "20121 Milano", "${Price} is ${Price}, ${Price} again", "Milano", "50% off ${",  //
                  "Dear Marco Bianchi", "00184 Roma", "${Price} is ${Price}, ${Price} again", "Roma", "50% off ${",   //
                  "Dear  ", " ", "${Price} is ${Price}, ${Price} again", "", "50% off ${"}));
    QStringList righeBarcode;
    for (const SimboloBarcode& s : b.uscita->Pagina(0).Simboli())
        if (s.conTesto()) righeBarcode << s.testo;
    EXPECT_EQ(righeBarcode, (QStringList{"*CT01*", "*CT02*"}));  // the third label's code is empty...
    ASSERT_EQ(b.ui.messaggi.size(), 2);
    // ...which is said, with its record
    EXPECT_EQ(b.ui.messaggi[0].testo, LoadResString(1607) + QStringLiteral("\r\r") + LoadResString(1320).arg(3).arg(QString()));
    // the missing name once per job, with the first record it was met on
    EXPECT_EQ(b.ui.messaggi[1].testo,
              ElencoProblemi(LoadResString(1800), {LoadResString(1320).arg(1).arg(QStringLiteral("${Price}"))}));
    EXPECT_EQ(b.ui.messaggi[1].icona, Icona::Esclamazione);

    // without a database every merge field stays as typed, and is reported without a record
    Banco senza;
    testo(senza.doc, QStringLiteral("Dear ${FirstName}"));
    ASSERT_EQ(senza.stampa({false, true, "2", "1"}), EsitoStampa::Stampata);
    EXPECT_EQ(senza.testi()[1].testo, QStringLiteral("Dear ${FirstName}"));
    ASSERT_EQ(senza.ui.messaggi.size(), 1);
    EXPECT_EQ(senza.ui.messaggi[0].testo, ElencoProblemi(LoadResString(1800), {QStringLiteral("${FirstName}")}));
}

// A view over a recursion without end, in a SQLite file and on a PostgreSQL server, and a
// server's statement whose first record never comes: all the labels start a count that never
// ends, which shows the wait window, whose Cancel stops it. (A number of labels reading only
// those records, and the time limit: StampaSql.AQueryWithoutEndIsReadInPartOrBounded.)
TEST(StampaEtichette, AQueryWithoutEndIsStoppedByTheWaitWindow)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("numeri.sqlite"));
    {
        sqlite3* s = nullptr;
        ASSERT_EQ(sqlite3_open(QFile::encodeName(file).constData(), &s), SQLITE_OK);
        EXPECT_EQ(sqlite3_exec(s,
                               "CREATE VIEW numeri AS WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c) "
                               "SELECT x FROM c",
                               nullptr, nullptr, nullptr),
                  SQLITE_OK);
        sqlite3_close(s);
    }
    QString database = file, password;
    // Cancel as soon as the window shows
    const auto fermata = [&](const QString& tabella, const ValoriDialogoStampa& opzioni) {
        Banco b;
        clsDatabase db(b.ui);
        db.SetNomeDatabase(database);
        db.SetPasswordDb(password);
        ASSERT_TRUE(db.ConnettiDatabase());
        b.doc.Collegamento().NomeTabella = tabella;
        b.doc.ImpostaConnesso(true);
        testo(b.doc, QStringLiteral("${x}"));
        b.job.ApriRecordset = [&] {
            return ApriSelezioneStampa(db, b.doc.Collegamento(), modCartigo::FormatoTesto::correnti(),
                                       b.job.InterruzioneDati());
        };
        b.opzioni = opzioni;
        b.annullaDopo = 0;
        QElapsedTimer t;
        t.start();
        EXPECT_EQ(b.job.Esegui(), EsitoStampa::Annullata);
        EXPECT_LT(t.elapsed(), 20000);
        EXPECT_TRUE(b.attesa.contains(LoadResString(1821))) << b.attesa.join('|').toStdString();
        EXPECT_FALSE(b.attesaAperta);
        EXPECT_TRUE(b.ui.messaggi.empty());
        EXPECT_FALSE(b.uscita);
    };
    {
        SCOPED_TRACE("SQLite");
        fermata(QStringLiteral("numeri"), {true, false, "1", "1"});
    }

    test::ServerPostgres pg;
    if (!pg.avviato()) GTEST_SKIP() << pg.motivo().toStdString();
    ASSERT_TRUE(pg.Sql(QStringLiteral(
        "CREATE VIEW numeri AS WITH RECURSIVE c(x) AS (SELECT CAST(1 AS bigint) UNION ALL SELECT x + 1 FROM c) "
        "SELECT x FROM c;"
        "CREATE VIEW lenta AS SELECT v.x FROM (SELECT pg_sleep(120)) s, (VALUES (1)) v(x);")))
        << pg.motivo().toStdString();
    database = pg.Indirizzo();
    password = test::ServerPostgres::Password();
    SCOPED_TRACE("PostgreSQL");
    fermata(QStringLiteral("numeri"), {true, false, "1", "1"});
    fermata(QStringLiteral("lenta"), {false, true, "1", "1"});
}

TEST(StampaEtichette, ARollPrintsOneLabelAPageOfItsOwnSize)
{
    LayoutEtichetta l;
    l.UnaPerPagina = true;
    l.LarghezzaEtichetta = 62;
    l.AltezzaEtichetta = 29;
    l.OrigineX = 1;  // the printer's own shift, kept
    l.OrigineY = 0.5;
    // across, down and the sheet's margins do not count on a roll
    l.EtichetteOrizzontali = 3;
    l.MargineSinistro = l.MargineSuperiore = 10;
    Banco b;
    b.doc.ImpostaLayout(l);
    testo(b.doc, QStringLiteral("x"), 567 + 56.7f * 2, 1440 + 56.7f * 3);
    b.opzioni = {false, true, "3", "5"};  // a first cell means nothing on a roll either
    b.opzioni.bordi = true;
    ASSERT_EQ(b.job.Esegui(), EsitoStampa::Stampata);
    // no page check: the page is the label, far smaller than A4
    EXPECT_TRUE(b.ui.messaggi.isEmpty());
    ASSERT_TRUE(b.uscita);
    EXPECT_EQ(b.uscita->PageCount(), 3);
    EXPECT_EQ(b.job.Pagine(), 3);
    EXPECT_NEAR(b.uscita->PageWidth(), 62 * 1440 / 25.4, 1e-6);
    EXPECT_NEAR(b.uscita->PageHeight(), 29 * 1440 / 25.4, 1e-6);
    const auto t = b.testi();
    ASSERT_EQ(t.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(t[size_t(i)].pagina, i);
        // without the sheet's 4 mm shift: the label's corner is the page's, moved by the origin
        EXPECT_NEAR(t[size_t(i)].x, 2 + 1, 1e-3);
        EXPECT_NEAR(t[size_t(i)].y, 3 + 0.5, 1e-3);
    }
}

TEST(StampaEtichette, AProductsSheetIsThePageItPrintsOn)
{
    // a Letter sheet from the catalogue: the document starts on Letter, and the page check
    // wants that page (not A4), so nothing is asked
    LayoutEtichetta l;
    l.EtichetteOrizzontali = 3;
    l.EtichetteVerticali = 10;
    l.LarghezzaEtichetta = 66.675;
    l.AltezzaEtichetta = 25.4;
    l.MargineSinistro = 4.8;
    l.MargineSuperiore = 12.7;
    l.SpazioOrizzontale = 3.2;
    l.SpazioVerticale = 0;
    l.OrigineX = -4;
    l.LarghezzaPagina = 215.9;
    l.AltezzaPagina = 279.4;
    l.Prodotto = QStringLiteral("Avery 5160");
    Banco b;
    b.doc.ImpostaLayout(l);
    testo(b.doc, QStringLiteral("x"));
    ASSERT_EQ(b.stampa({false, true, "30", "1"}), EsitoStampa::Stampata);
    EXPECT_TRUE(b.ui.messaggi.isEmpty());
    EXPECT_EQ(b.uscita->PageCount(), 1);
    EXPECT_NEAR(b.uscita->PageWidth(), 215.9 * 1440 / 25.4, 1e-6);
    EXPECT_NEAR(b.uscita->PageHeight(), 279.4 * 1440 / 25.4, 1e-6);

    // the same label without its product's page, on a Letter printer: the A4 check asks, as
    // before; No leaves nothing behind, Yes prints
    Banco vecchio;
    l.LarghezzaPagina = l.AltezzaPagina = 0;
    vecchio.stampante.info.larghezzaCarta = 215.9 * 1440 / 25.4;
    vecchio.stampante.info.altezzaCarta = 279.4 * 1440 / 25.4;
    vecchio.doc.ImpostaLayout(l);
    testo(vecchio.doc, QStringLiteral("x"));
    vecchio.opzioni = {false, true, "30", "1"};
    vecchio.ui.risposte = {Risposta::No, Risposta::Yes};
    EXPECT_EQ(vecchio.job.Esegui(), EsitoStampa::Annullata);
    EXPECT_FALSE(vecchio.uscita);
    EXPECT_FALSE(vecchio.attesaAperta);
    ASSERT_EQ(vecchio.job.Esegui(), EsitoStampa::Stampata);
    ASSERT_EQ(vecchio.ui.messaggi.size(), 2);
    EXPECT_EQ(vecchio.ui.messaggi[1].testo, LoadResString(1412));
}

TEST(StampaEtichette, ALabelsShapeIsNeverPrinted)
{
    // a CD or round label prints exactly what the same rectangle prints, borders included
    const auto stampa = [](FormaEtichetta forma) {
        LayoutEtichetta l;
        l.Forma = forma;
        l.DiametroEsterno = forma == FormaEtichetta::CD ? 80 : 0;
        l.DiametroForo = forma == FormaEtichetta::CD ? 15 : 0;
        Banco b;
        b.doc.ImpostaLayout(l);
        testo(b.doc, QStringLiteral("x"));
        b.opzioni = {false, true, "2", "1"};
        b.opzioni.bordi = true;
        EXPECT_EQ(b.job.Esegui(), EsitoStampa::Stampata);
        return b.uscita ? b.uscita->Pagina(0).Dati() : std::vector<quint32>{};
    };
    const auto rettangolo = stampa(FormaEtichetta::Rettangolo);
    ASSERT_FALSE(rettangolo.empty());
    EXPECT_EQ(stampa(FormaEtichetta::CD), rettangolo);
    EXPECT_EQ(stampa(FormaEtichetta::Ellisse), rettangolo);
}

// The designer's print on a real queue: a queue that refuses jobs ends the job as failed
// with one message that names the printer and the server's reason; once it accepts them,
// the labels go as one job with the label's name as its title.
TEST(StampaEtichette, AQueueThatRefusesJobsIsShownInTheDesigner)
{
    test::ServerCups cups;
    if (!cups.avviato()) GTEST_SKIP() << cups.motivo().toStdString();
    ASSERT_TRUE(cups.AggiungiCoda(QStringLiteral("PDF"), true));
    ASSERT_TRUE(cups.Rifiuta(QStringLiteral("PDF"), QStringLiteral("out of labels")));
    ImpostaLingua(Lingua::Inglese);
    DispositivoStampaCups stampante;
    stampante.ImpostaServer(cups.Indirizzo());
    {
        Banco b;
        ImpostaDispositivoStampa(&stampante);
        b.ui.gestoriDialogo[QStringLiteral("frmStamporaDestinazioneStampa")] = [](RichiestaDialogo& d) {
            static_cast<RichiestaDestinazioneStampa&>(d).DestinazioneStampa = 2;
            return true;
        };
        b.doc.ImpostaNomeFileEtichetta(QStringLiteral("/tmp/indirizzi.eti"));
        testo(b.doc, QStringLiteral("x"));
        EXPECT_EQ(b.stampa({false, true, "2", "1"}), EsitoStampa::Fallita);
        ASSERT_EQ(b.ui.messaggi.size(), 1);
        EXPECT_TRUE(b.ui.messaggi[0].testo.startsWith(
            QStringLiteral("Printing failed on the printer \"PDF\": the printer \"PDF\" does not accept jobs")))
            << b.ui.messaggi[0].testo.toStdString();
        EXPECT_TRUE(cups.Lavori(QStringLiteral("PDF")).isEmpty());

        ASSERT_TRUE(cups.Accetta(QStringLiteral("PDF")));
        b.ui.messaggi.clear();
        EXPECT_EQ(b.job.Esegui(), EsitoStampa::Stampata);
        EXPECT_TRUE(b.ui.messaggi.isEmpty()) << b.ui.messaggi[0].testo.toStdString();
        const auto lavori = cups.Lavori(QStringLiteral("PDF"));
        ASSERT_EQ(lavori.size(), 1);
        EXPECT_EQ(lavori[0].titolo, QStringLiteral("indirizzi.eti"));
    }
    ImpostaLingua(Lingua::Italiano);
}

namespace {
VariabileEtichetta contatore(const QString& nome, qint64 inizio, qint64 passo, int cifre,
                             AvanzamentoContatore avanza = AvanzamentoContatore::Etichetta, bool continua = false)
{
    VariabileEtichetta v;
    v.Nome = nome;
    v.Inizio = inizio;
    v.Passo = passo;
    v.Cifre = cifre;
    v.Avanza = avanza;
    v.Continua = continua;
    return v;
}
QStringList stampati(const std::vector<Banco::Testo>& t)
{
    QStringList r;
    for (const auto& x : t) r << QStringLiteral("%1:%2").arg(x.pagina).arg(x.testo);
    return r;
}
}  // namespace

TEST(StampaEtichette, VariablesTakeEachLabelsValuesFromTheJobsContext)
{
    ImpostaLingua(Lingua::Italiano);
    Banco b;
    b.connetti(recordset({"Lotto", "Nome"}, {{"L1", "a"}, {"L2", "b"}, {"L3", "c"}}));
    LayoutEtichetta l = b.doc.Layout();
    l.EtichetteOrizzontali = 1;
    l.EtichetteVerticali = 2;  // two labels a page
    b.doc.ImpostaLayout(l);
    VariabileEtichetta data;
    data.Nome = QStringLiteral("Scade");
    data.Tipo = TipoVariabile::Data;
    data.Formato = QStringLiteral("d MMMM yyyy");
    data.Spostamento = 1;
    data.Unita = UnitaSpostamento::Mesi;
    VariabileEtichetta chiesta;
    chiesta.Nome = QStringLiteral("Lotto");  // a field of the records too: the field wins
    chiesta.Tipo = TipoVariabile::Richiesta;
    VariabileEtichetta turno;
    turno.Nome = QStringLiteral("Turno");
    turno.Tipo = TipoVariabile::Richiesta;
    turno.Predefinito = QStringLiteral("A");
    turno.Regola = RegolaValore::Lunghezza;
    turno.LunghezzaMinima = 1;
    turno.LunghezzaMassima = 2;
    b.doc.ImpostaVariabili({contatore("E", 7, -2, 4), contatore("R", 1, 1, 0, AvanzamentoContatore::Record),
                            contatore("P", 100, 10, 0, AvanzamentoContatore::Pagina), data, chiesta, turno});
    testo(b.doc, QStringLiteral("${E} ${R} ${P} ${Nome} ${Lotto} ${Turno}"));
    testo(b.doc, QStringLiteral("${Scade}"), 567, 1800);
    auto* codice = b.doc.CreaBarcode(3000, 1440, 1935, 1035);
    codice->Tag = QStringLiteral("32");  // a QR Code of the counter
    codice->ToolTipText = QStringLiteral("N${E}");
    b.job.Orologio = [] { return QDateTime(QDate(2026, 1, 31), QTime(9, 30)); };
    b.opzioni = {false, true, "4", "2"};  // from the second cell: the first label is still the first value
    b.opzioni.valori = {QString(), QStringLiteral("XY")};
    ASSERT_EQ(b.job.Esegui(), EsitoStampa::Stampata);
    // the asked values reach the dialog with their defaults, in the label's order
    ASSERT_EQ(b.opzioniViste.Richieste.size(), 2);
    EXPECT_EQ(b.opzioniViste.ValoriRichiesti, (QStringList{"", "A"}));
    EXPECT_EQ(stampati(b.testi()), (QStringList{"0:0007 1 100 a L1 XY", "0:28 febbraio 2026",  //
                                                "1:0005 2 110 b L2 XY", "1:28 febbraio 2026",  //
                                                "1:0003 3 110 c L3 XY", "1:28 febbraio 2026",  //
                                                "2:0001 4 120   XY", "2:28 febbraio 2026"}));
    EXPECT_TRUE(b.ui.messaggi.isEmpty());
    // the preview moves no numbering: the label is as it was
    EXPECT_FALSE(b.doc.Modificato());

    // a value against its rule: the dialog says so and stays open, nothing prints
    Banco rifiuto;
    rifiuto.doc.ImpostaVariabili({turno});
    testo(rifiuto.doc, QStringLiteral("${Turno}"));
    rifiuto.opzioni = {false, true, "1", "1"};
    rifiuto.opzioni.valori = {QStringLiteral("XYZ")};
    InterazioneScriptata ui;
    RichiestaOpzioniStampa r;
    r.Richieste = {turno};
    const auto esito = OkOpzioniStampa(rifiuto.opzioni, r, ui, QStringLiteral("Stampa"));
    EXPECT_FALSE(esito.confermato);
    EXPECT_EQ(esito.campoErrato, 3);
    ASSERT_EQ(ui.messaggi.size(), 1);
    EXPECT_EQ(ui.messaggi[0].testo, QStringLiteral("Turno: il valore deve essere lungo da 1 a 2 caratteri."));
    EXPECT_EQ(rifiuto.job.Esegui(), EsitoStampa::Annullata);
    EXPECT_EQ(rifiuto.uscita, nullptr);
}

TEST(StampaEtichette, CountersContinueAfterJobsThatPrintedAndCopiesDrawnWhenTheyCount)
{
    ImpostaLingua(Lingua::Inglese);
    QTemporaryDir dir;
    Banco b;
    b.doc.ImpostaVariabili({contatore("N", 1000, 1, 6, AvanzamentoContatore::Etichetta, true),
                            contatore("C", 1, 1, 0, AvanzamentoContatore::Copia)});
    testo(b.doc, QStringLiteral("${N}/${C}"));
    b.opzioni = {false, true, "3", "1"};

    // to a file: the next job goes on from 1003, and the label is modified (one step of Undo)
    b.destinazione = 3;
    b.fileUscita = dir.filePath(QStringLiteral("a.ant"));
    ASSERT_EQ(b.job.Esegui(), EsitoStampa::Stampata);
    EXPECT_EQ(b.doc.Variabili()[0].Inizio, 1003);
    EXPECT_TRUE(b.doc.Modificato());
    EXPECT_TRUE(b.job.NumerazioneNellEtichetta());
    EXPECT_EQ(b.doc.Storia().undoText(), QStringLiteral("Numbering"));

    // a cancelled job and the preview move nothing
    b.annullaDopo = 1;
    EXPECT_EQ(b.job.Esegui(), EsitoStampa::Annullata);
    b.annullaDopo = -1;
    b.destinazione = 1;
    ASSERT_EQ(b.job.Esegui(), EsitoStampa::Stampata);
    EXPECT_EQ(stampati(b.testi()), (QStringList{"0:001003/1", "0:001004/1", "0:001005/1"}));
    EXPECT_EQ(b.doc.Variabili()[0].Inizio, 1003);

    // two copies on the printer with a counter by copy: the job draws each copy
    std::vector<Banco::Testo> stampa;
    b.stampante.guarda = [&](const DocumentoStampa& d) { stampa = Banco::testiDi(d); };
    b.destinazione = 2;
    b.copie = 2;
    ASSERT_EQ(b.job.Esegui(), EsitoStampa::Stampata);
    ASSERT_EQ(b.stampante.lavori.size(), 1u);
    EXPECT_EQ(b.stampante.lavori[0].copie, 1);
    EXPECT_EQ(stampati(stampa), (QStringList{"0:001003/1", "0:001004/1", "0:001005/1",  //
                                             "1:001003/2", "1:001004/2", "1:001005/2"}));
    EXPECT_EQ(b.doc.Variabili()[0].Inizio, 1006);

    // ZPL makes copies with ^PQ: here too each copy is drawn, so none repeats its number
    b.destinazione = 3;
    b.fileUscita = dir.filePath(QStringLiteral("a.zpl"));
    ASSERT_EQ(b.job.Esegui(), EsitoStampa::Stampata);
    QFile zpl(b.fileUscita);
    ASSERT_TRUE(zpl.open(QIODevice::ReadOnly));
    const QByteArray lavoro = zpl.readAll();
    EXPECT_FALSE(lavoro.contains("^PQ")) << lavoro.left(400).constData();
    EXPECT_GE(lavoro.count("^XZ"), 2);
    EXPECT_EQ(b.doc.Variabili()[0].Inizio, 1009);
    b.destinazione = 2;

    // --start: this job from 5, the next from 8
    b.job.InizioContatori = 5;
    ASSERT_EQ(b.job.Esegui(), EsitoStampa::Stampata);
    EXPECT_EQ(stampa[0].testo, QStringLiteral("000005/1"));
    EXPECT_EQ(b.doc.Variabili()[0].Inizio, 8);
    b.job.InizioContatori.reset();

    // a label that may not be written keeps the next value in the state folder, by its path,
    // for as long as the label holds the start it had
    QTemporaryDir stato;
    qputenv("XDG_STATE_HOME", stato.path().toUtf8());
    b.doc.ImpostaNomeFileEtichetta(dir.filePath(QStringLiteral("sparita.eti")));  // no such file
    b.copie = 1;
    ASSERT_EQ(b.job.Esegui(), EsitoStampa::Stampata);
    EXPECT_FALSE(b.job.NumerazioneNellEtichetta());
    EXPECT_EQ(b.doc.Variabili()[0].Inizio, 8);
    EXPECT_EQ(Numerazione::Inizio(b.doc.NomeFileEtichetta(), b.doc.Variabili()[0]), 11);
    ASSERT_EQ(b.job.Esegui(), EsitoStampa::Stampata);
    EXPECT_EQ(stampa[0].testo, QStringLiteral("000011/1"));
    EXPECT_EQ(ValoriProssimaStampa(b.doc, QDateTime()).Componi(QStringLiteral("${N}")), QStringLiteral("000014"));
    VariabileEtichetta cambiata = b.doc.Variabili()[0];
    cambiata.Inizio = 1;  // the user set another start: the kept value no longer holds
    EXPECT_EQ(Numerazione::Inizio(b.doc.NomeFileEtichetta(), cambiata), 1);
    qunsetenv("XDG_STATE_HOME");
}

// The label check runs once the destination is chosen: its findings ask "Print anyway?",
// or stop the job and go to the job's writer; the options dialog names the resolution.
TEST(StampaEtichette, TheLabelCheckAsksOrStopsBeforeAnythingPrints)
{
    ImpostaLingua(Lingua::Inglese);
    Banco b;
    QTemporaryDir dir;
    b.destinazione = 3;  // a PDF file: the preview asks nothing
    b.fileUscita = dir.filePath(QStringLiteral("uscita.pdf"));
    auto* bc = b.doc.CreaBarcode(567, 1440, 300, 500);  // a Code 39 against the label's edge
    bc->ToolTipText = QStringLiteral("CARTIGO");
    b.job.Controllo = ControlloStampa::Chiedi;
    const auto domande = [&] {
        int n = 0;
        for (const auto& m : b.ui.messaggi)
            n += m.pulsanti == Pulsanti::YesNo && m.testo.endsWith(QStringLiteral("Print anyway?"));
        return n;
    };
    b.ui.risposte = {Risposta::No};
    EXPECT_EQ(b.job.Esegui(), EsitoStampa::Annullata);
    EXPECT_FALSE(QFileInfo::exists(b.fileUscita));
    EXPECT_EQ(domande(), 1);
    ASSERT_FALSE(b.job.Rilievi().empty());
    EXPECT_EQ(b.job.Rilievi()[0].oggetto, bc->id);
    EXPECT_EQ(b.opzioniViste.Risoluzione, QStringLiteral("Print resolution: none (vector)"));

    b.ui.risposte = {Risposta::Yes};
    b.job.RisoluzioneStampante = [] { return 203.0; };
    EXPECT_EQ(b.job.Esegui(), EsitoStampa::Stampata);
    EXPECT_TRUE(QFile::remove(b.fileUscita));
    EXPECT_EQ(domande(), 2);
    EXPECT_EQ(b.opzioniViste.Risoluzione,
              QStringLiteral("Print resolution: printer 203 dpi, files and preview none (vector)"));

    b.destinazione = 1;
    EXPECT_EQ(b.job.Esegui(), EsitoStampa::Stampata);
    EXPECT_TRUE(b.uscita);
    EXPECT_EQ(domande(), 2);
    b.uscita.reset();
    b.job.Controllo = ControlloStampa::Ferma;  // stops a preview too
    QStringList scritte;
    b.job.ScriviRilievi = [&](const QStringList& righe, double) { scritte = righe; };
    EXPECT_EQ(b.job.Esegui(), EsitoStampa::Rilievi);
    EXPECT_FALSE(b.uscita);
    EXPECT_EQ(scritte, RigheRilievi(b.job.Rilievi()));
    EXPECT_EQ(domande(), 2);
    // (A label with nothing to find prints under Ferma: StampaBatch.CheckAndStrictStopOnWhatWouldNotScan.)
}

namespace {
// The box (mm) of what is not white in an image of `pxMm` pixels to the millimetre, from
// `origine` (pixels), and the centre (mm) of its red pixels.
std::pair<QRectF, QPointF> impronta(const QImage& img, double pxMm, QPointF origine = {})
{
    int sx = img.width(), dx = -1, su = img.height(), giu = -1;
    double rx = 0, ry = 0, rossi = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QColor c = img.pixelColor(x, y);
            if (c.lightness() > 240) continue;
            sx = std::min(sx, x), dx = std::max(dx, x), su = std::min(su, y), giu = std::max(giu, y);
            if (c.red() > 200 && c.green() < 60) rx += x + 0.5, ry += y + 0.5, ++rossi;
        }
    const auto mm = [&](QPointF p) { return (p - origine) / pxMm; };
    return {QRectF(mm(QPointF(sx, su)), mm(QPointF(dx + 1, giu + 1))), mm(QPointF(rx, ry) / std::max(1.0, rossi))};
}
}  // namespace

TEST(StampaEtichette, TurnedObjectsPrintWhereTheSurfaceShowsThem)
{
    // a 40 x 20 mm picture, black with a red 10 mm square at its top-left corner, at 10 mm
    // from the label's corner, turned each way about the centre of its box
    Banco b;
    LayoutEtichetta l = b.doc.Layout();
    l.UnaPerPagina = true;
    l.LarghezzaEtichetta = l.AltezzaEtichetta = 60;
    b.doc.ImpostaLayout(l);
    QImage segno(400, 200, QImage::Format_RGB32);
    segno.fill(Qt::black);
    QPainter(&segno).fillRect(0, 0, 100, 100, Qt::red);
    const QString png = b.cartella.percorso(QStringLiteral("segno.png"));
    ASSERT_TRUE(segno.save(png));
    constexpr double pxMm = 10;  // 254 dpi
    for (const int gradi : {0, 90, 180, 270}) {
        SCOPED_TRACE(gradi);
        for (OggettoEtichetta* o : b.doc.Oggetti()) b.doc.Scarica(o);
        const bool traversa = gradi % 180 != 0;
        const double w = traversa ? 20 : 40, h = traversa ? 40 : 20;
        OggettoEtichetta* o = b.doc.CreaImmagine(float(567 + 10 * 56.7), float(1440 + 10 * 56.7), float(w * 56.7),
                                                 float(h * 56.7));
        o->ToolTipText = png;
        o->Rotazione.Gradi = gradi;
        FileEtichetta::CaricaImmagine(*o);
        // where the design puts the red corner: the content's top-left turned about the centre
        const QPointF centro(10 + w / 2, 10 + h / 2);
        const QPointF rosso = centro + QTransform().rotate(gradi).map(QPointF(-15, -5));

        ASSERT_EQ(b.job.Esegui(), EsitoStampa::Stampata);
        ASSERT_TRUE(b.uscita);
        const auto [stampa, rossoStampa] = impronta(ImmaginePagina(*b.uscita, 0, pxMm * 25.4), pxMm);
        // the surface at the same 10 pixels a millimetre, the label's corner at 567, 1440 twips
        const ScalaSuperficie scala{56.7 / pxMm, 56.7 / pxMm};
        QImage superficie(int(120 + 60 * pxMm), int(280 + 60 * pxMm), QImage::Format_RGB32);
        superficie.fill(Qt::white);
        {
            QPainter p(&superficie);
            Superficie::DisegnaOggetto(p, *o, scala);
        }
        const auto [vista, rossoVisto] = impronta(superficie, pxMm, scala.inPixel(QPointF(567, 1440)));
        for (const auto& [nome, box, r] : {std::tuple{"print", stampa, rossoStampa}, {"surface", vista, rossoVisto}}) {
            SCOPED_TRACE(nome);
            EXPECT_NEAR(box.left(), 10, 0.2);
            EXPECT_NEAR(box.top(), 10, 0.2);
            EXPECT_NEAR(box.width(), w, 0.3);
            EXPECT_NEAR(box.height(), h, 0.3);
            EXPECT_NEAR(r.x(), rosso.x(), 0.3);
            EXPECT_NEAR(r.y(), rosso.y(), 0.3);
        }
    }
}

namespace {
// The words pdftotext finds on each page, as (page, box in millimetres).
std::vector<std::pair<int, QRectF>> parole(const QString& pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    p.waitForFinished(60000);
    const QString html = QString::fromUtf8(p.readAllStandardOutput());
    std::vector<std::pair<int, QRectF>> r;
    int pagina = -1;
    static const QRegularExpression voce(
        QStringLiteral("<page |<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\""));
    constexpr double mm = 25.4 / 72;
    for (auto it = voce.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        if (m.captured(0).startsWith(QLatin1String("<page"))) {
            ++pagina;
            continue;
        }
        r.push_back({pagina, QRectF(QPointF(m.captured(1).toDouble() * mm, m.captured(2).toDouble() * mm),
                                    QPointF(m.captured(3).toDouble() * mm, m.captured(4).toDouble() * mm))});
    }
    return r;
}
}  // namespace

TEST(StampaEtichette, ShrinkToFitKeepsTheAlignmentAndReportsTextsThatNeverFit)
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        GTEST_SKIP() << "pdftotext not found: install poppler-utils";
    ImpostaLingua(Lingua::Inglese);
    Banco b;
    QTemporaryDir dir;
    LayoutEtichetta l = b.doc.Layout();
    l.UnaPerPagina = true;
    l.LarghezzaEtichetta = 50;
    l.AltezzaEtichetta = 40;
    b.doc.ImpostaLayout(l);
    // two 30 x 8 mm boxes fed by one field, centred and right-aligned, both centred vertically
    OggettoEtichetta* centrato = testo(b.doc, QString(), float(567 + 10 * 56.7), float(1440 + 5 * 56.7));
    OggettoEtichetta* destra = testo(b.doc, QString(), float(567 + 10 * 56.7), float(1440 + 25 * 56.7));
    for (OggettoEtichetta* t : {centrato, destra}) {
        t->Width = float(30 * 56.7);
        t->Height = float(8 * 56.7);
        t->FontSize = 12;
        t->DataMember = QStringLiteral("frase");
        t->Adattamento = {true, AllineamentoVerticale::Centro, true, 4};
    }
    centrato->Alignment = 2;
    destra->Alignment = 1;
    const QString lunga = QStringLiteral("A sentence of the records far longer than the box holds at twelve points");
    const QString troppo = QString(60, QLatin1Char('W')) + QStringLiteral(" ") + QString(60, QLatin1Char('W'));
    b.connetti(recordset({"frase"}, {{QStringLiteral("Short")}, {lunga}, {troppo}, {troppo}}));
    b.opzioni = {true, false, "1", "1"};
    b.destinazione = 3;
    b.fileUscita = dir.filePath(QStringLiteral("adatta.pdf"));
    ASSERT_EQ(b.job.Esegui(), EsitoStampa::Stampata);

    // a text that does not fit at its minimum is cut at the box and said once a job for each
    // object, with the first record it happened on
    QStringList tagliati;
    for (const auto& m : b.ui.messaggi)
        if (m.testo.startsWith(LoadResString(1321).arg(QStringLiteral("Text 1"), QStringLiteral("4"))) ||
            m.testo.startsWith(LoadResString(1321).arg(QStringLiteral("Text 2"), QStringLiteral("4"))))
            tagliati << m.testo;
    ASSERT_EQ(tagliati.size(), 2) << b.ui.messaggi.size();
    EXPECT_TRUE(tagliati[0].endsWith(LoadResString(1320).arg(3).arg(troppo)));

    const auto p = parole(b.fileUscita);
    for (int pagina = 0; pagina < 2; ++pagina) {
        for (const auto& [box, allineamento] : {std::pair{QRectF(10, 5, 30, 8), 2}, {QRectF(10, 25, 30, 8), 1}}) {
            SCOPED_TRACE(QStringLiteral("label %1, alignment %2").arg(pagina + 1).arg(allineamento).toStdString());
            QRectF testo;
            double altezza = 0;
            for (const auto& [pg, r] : p)
                if (pg == pagina && box.adjusted(-5, -5, 5, 5).contains(r.center())) {
                    testo = testo.isNull() ? r : testo.united(r);
                    altezza = std::max(altezza, r.height());
                }
            ASSERT_FALSE(testo.isNull());
            EXPECT_TRUE(box.adjusted(-0.3, -0.3, 0.3, 0.3).contains(testo)) << testo.x() << " " << testo.y() << " "
                                                                             << testo.width() << " " << testo.height();
            if (allineamento == 2)
                EXPECT_NEAR(testo.left() - box.left(), box.right() - testo.right(), 0.5);
            else
                EXPECT_NEAR(box.right(), testo.right(), 0.5);
            EXPECT_NEAR(testo.top() - box.top(), box.bottom() - testo.bottom(), 1.0);
            // the short value keeps its 12 points (a word about 12 pt high), the long one is smaller
            if (pagina == 0)
                EXPECT_NEAR(altezza, 12 * 25.4 / 72, 1.2);
            else
                EXPECT_LT(altezza, 10 * 25.4 / 72);
        }
    }
}
