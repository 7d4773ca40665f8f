// The label document: indices, creation and drawing order, z-order table, geometry.
#include "common/TestSupport.h"
#include "label/DocumentoEtichetta.h"
#include "label/Errori.h"

#include <QSignalSpy>

#include <cmath>

using namespace cartigo;

namespace {
QStringList chiavi(const std::vector<OggettoEtichetta*>& v)
{
    QStringList r;
    for (auto* o : v)
        r << o->Chiave();
    return r;
}
}  // namespace

TEST(Documento, NewLabelIsEmptyWithTheDefaultLayout)
{
    DocumentoEtichetta doc;
    doc.CreaTesto(600, 1500, 1000, 255);
    doc.Collegamento().NomeDatabase = QStringLiteral("x.mdb");
    doc.Collegamento().FlagRiservato = true;
    doc.Collegamento().TestoRiservato = QStringLiteral("keep");
    doc.ImpostaConnesso(true);
    doc.ZOrderImposta(QStringLiteral("oggTesto1"), 1);
    doc.ImpostaModificato(true);
    doc.ImpostaNomeFileEtichetta(QStringLiteral("/tmp/a.eti"));
    QSignalSpy connessione(&doc, &DocumentoEtichetta::connessioneCambiata);

    doc.NuovaEtichetta();

    EXPECT_EQ(doc.NumeroOggetti(), 0);
    EXPECT_EQ(doc.OrdineCreazione().size(), size_t(kNumeroTipiOggetto));  // the templates stay
    EXPECT_EQ(doc.Layout(), LayoutEtichetta{});
    EXPECT_TRUE(doc.Collegamento().NomeDatabase.isEmpty());
    EXPECT_TRUE(doc.Collegamento().FlagRiservato);  // reserved fields survive a new label
    EXPECT_EQ(doc.Collegamento().TestoRiservato, QStringLiteral("keep"));
    EXPECT_FALSE(doc.Connesso());
    EXPECT_EQ(connessione.count(), 1);
    EXPECT_EQ(doc.Zorder().count(), 0);
    EXPECT_FALSE(doc.Modificato());
    EXPECT_TRUE(doc.NomeFileEtichetta().isEmpty());
    EXPECT_EQ(doc.GetNewIndex(QStringLiteral("oggTesto")), 1);
}

// A label file may hold any number as a count; the print job takes whole labels, within
// what an int holds.
TEST(Documento, LayoutCountsAreWholeLabels)
{
    const struct {
        double valore;
        int conteggio;
    } casi[] = {{2, 2}, {2.9, 2}, {1, 1}, {0.5, 0}, {-3, 0}, {std::nan(""), 0}, {5.55556e12, 32767}, {1e300, 32767}};
    for (const auto& c : casi) {
        LayoutEtichetta l;
        l.EtichetteOrizzontali = c.valore;
        l.EtichetteVerticali = c.valore;
        EXPECT_EQ(l.Colonne(), c.conteggio) << c.valore;
        EXPECT_EQ(l.Righe(), c.conteggio) << c.valore;
    }
}

TEST(Documento, IndicesAreNotReusedBelowTheLargest)
{
    DocumentoEtichetta doc;
    EXPECT_EQ(doc.GetNewIndex(QStringLiteral("oggRettangolo")), 1);
    EXPECT_EQ(doc.GetNewIndex(QStringLiteral("altro")), 0);
    EXPECT_EQ(doc.GetNewIndex(QStringLiteral("OGGTESTO")), 0);  // case-sensitive
    auto* t1 = doc.CreaTesto(0, 0, 10, 10);
    auto* t2 = doc.CreaTesto(0, 0, 10, 10);
    auto* t3 = doc.CreaTesto(0, 0, 10, 10);
    EXPECT_EQ(t1->Index, 1);
    EXPECT_EQ(t3->Index, 3);
    doc.Scarica(t2);
    EXPECT_EQ(doc.CreaTesto(0, 0, 1, 1)->Index, 4);

    DocumentoEtichetta doc2;
    doc2.CreaTesto(0, 0, 1, 1);
    doc2.CreaTesto(0, 0, 1, 1);
    auto* ultimo = doc2.CreaTesto(0, 0, 1, 1);
    doc2.ZOrderImposta(ultimo->Chiave(), 1);
    doc2.ZOrderRimuovi(ultimo->Chiave());
    doc2.Scarica(ultimo);
    auto* nuovo = doc2.CreaTesto(0, 0, 1, 1);
    EXPECT_EQ(nuovo->Index, 3);
    EXPECT_EQ(doc2.ZOrderLeggi(nuovo->Chiave()), QStringLiteral(" 0 "));
}

TEST(Documento, NewObjectsCopyTheirTemplate)
{
    DocumentoEtichetta doc;
    auto& modello = doc.Modello(TipoOggetto::Testo);
    modello.FontName = QStringLiteral("Liberation Serif");
    modello.FontSize = 12;
    modello.FontBold = true;
    auto* t = doc.CreaTesto(700, 1500, 1000, 255);
    EXPECT_EQ(t->Caption, QStringLiteral("abc"));
    EXPECT_EQ(t->BackColor, 0x00FFFFFF);
    EXPECT_EQ(t->FontName, QStringLiteral("Liberation Serif"));
    EXPECT_TRUE(t->FontBold);
    EXPECT_TRUE(t->Visible);
    EXPECT_FALSE(modello.Visible);
    EXPECT_EQ(t->Left, 700);
    EXPECT_EQ(t->Height, 255);
    EXPECT_EQ(doc.CreaBarcode(0, 0, 1935, 1035)->Tag, QString());
    EXPECT_EQ(doc.CreaRettangolo(0, 0, 1935, 1035)->BorderWidth, 1);
    EXPECT_FALSE(doc.Modificato());  // creators do not mark the label
}

TEST(Documento, CreationAndDrawingOrdersAreKeptApart)
{
    DocumentoEtichetta doc;
    auto* t1 = doc.CreaTesto(0, 0, 1, 1);
    auto* r1 = doc.CreaRettangolo(0, 0, 1, 1);
    auto* b1 = doc.CreaBarcode(0, 0, 1, 1);
    auto* t2 = doc.CreaTesto(0, 0, 1, 1);
    EXPECT_EQ(chiavi(doc.Oggetti()),
              (QStringList{"oggTesto1", "oggRettangolo1", "oggImmagine1", "oggTesto2"}));
    doc.PortaDietro(t2);
    doc.PortaDavanti(t1);
    EXPECT_EQ(chiavi(doc.OrdineDisegno()),
              (QStringList{"oggTesto2", "oggRettangolo1", "oggImmagine1", "oggTesto1"}));
    // creation order is untouched, templates first
    const auto tutti = doc.OrdineCreazione();
    const size_t n = kNumeroTipiOggetto;
    EXPECT_EQ(tutti.size(), n + 4);
    EXPECT_EQ(tutti[n - 1]->Index, 0);
    EXPECT_EQ(std::vector<OggettoEtichetta*>(tutti.begin() + n, tutti.end()), (std::vector<OggettoEtichetta*>{t1, r1, b1, t2}));
    EXPECT_EQ(doc.Trova(QStringLiteral("oggImmagine"), 1), b1);
    EXPECT_EQ(doc.TrovaId(t2->id), t2);
    const quint64 idT2 = t2->id;
    doc.Scarica(t2);
    EXPECT_EQ(doc.TrovaId(idT2), nullptr);
    doc.Scarica(&doc.Modello(TipoOggetto::Testo));  // templates are never unloaded
    EXPECT_EQ(doc.OrdineCreazione().size(), n + 3);
}

TEST(Documento, ZOrderTableOverwritesRemovesAndFills)
{
    TabellaZOrder z;
    EXPECT_EQ(z.Leggi(QStringLiteral("oggTesto1")), QStringLiteral(" 0 "));
    z.Imposta(QStringLiteral("oggTesto1"), 1);
    z.Imposta(QStringLiteral("oggTesto2"), 2);
    z.Imposta(QStringLiteral("oggTesto3"), 1);
    z.Imposta(QStringLiteral("oggTesto2"), 1);  // same key: one row, last value
    EXPECT_EQ(z.count(), 3);
    EXPECT_EQ(z.Codice(QStringLiteral("oggTesto2")), 1);
    z.Imposta(QStringLiteral("oggTesto2"), 2);
    z.Rimuovi(QStringLiteral("oggTesto2"));
    EXPECT_EQ(z.count(), 2);
    EXPECT_EQ(z.chiaveRiga(1), QStringLiteral("oggTesto1"));
    EXPECT_EQ(z.chiaveRiga(2), QStringLiteral("oggTesto3"));
    EXPECT_EQ(z.valoreRiga(2), QStringLiteral(" 1 "));
    z.Rimuovi(QStringLiteral("nessuno"));
    EXPECT_EQ(z.count(), 2);

    TabellaZOrder pieno;
    for (int i = 1; i <= TabellaZOrder::RigheMassime; ++i)
        pieno.Imposta(QStringLiteral("oggTesto%1").arg(i), 1);
    EXPECT_EQ(pieno.count(), 10000);
    pieno.Imposta(QStringLiteral("oggTesto10000"), 2);  // overwriting still works when full
    EXPECT_EQ(pieno.Codice(QStringLiteral("oggTesto10000")), 2);
    try {
        pieno.Imposta(QStringLiteral("oggTesto10001"), 1);
        FAIL() << "a full table must refuse a new key";
    } catch (const ErroreCartigo& e) {
        EXPECT_EQ(e.numero(), 9);
        EXPECT_EQ(e.descrizione(), QStringLiteral("Subscript out of range"));
    }
    EXPECT_EQ(pieno.count(), 10000);
}

TEST(Documento, PrintGeometryUsesFiftySixPointSevenTwipsPerMillimetre)
{
    DocumentoEtichetta doc;
    auto* o = doc.CreaTesto(567, 1440, 1935, 1035);
    EXPECT_DOUBLE_EQ(doc.GetX(1, *o), 10.0);
    EXPECT_DOUBLE_EQ(doc.GetY(1, *o), 10.0);
    o->Left = 1134;
    EXPECT_DOUBLE_EQ(doc.GetX(1, *o), 20.0);
    o->Left = 567;
    EXPECT_DOUBLE_EQ(doc.GetX(2, *o), 100.0);
    EXPECT_DOUBLE_EQ(doc.GetY(3, *o), 130.0);
    EXPECT_NEAR(DocumentoEtichetta::GetW(*o), 34.126, 0.001);  // 1935 / 56.7
    EXPECT_DOUBLE_EQ(DocumentoEtichetta::GetH(*o), 1035.0 / 56.7);
    LayoutEtichetta l;
    l.OrigineX = 1.5;
    l.OrigineY = -2;
    doc.ImpostaLayout(l);
    EXPECT_DOUBLE_EQ(doc.GetXGen(4, 2), 10 + 1.5 + 4 + 80 + 10);
    EXPECT_DOUBLE_EQ(doc.GetYGen(0, 4), 10 - 2 + 3 * 50 + 3 * 10);
    EXPECT_DOUBLE_EQ(doc.GetXGen(0, 1), 11.5);
}
