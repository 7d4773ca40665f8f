// The label check: each finding on a label made to show it, none on a clean one.
#include "common/TestSupport.h"
#include "label/Errori.h"
#include "print/ControlloEtichetta.h"
#include "shell/StringTable.h"

using namespace cartigo;

namespace {

class Righe : public RecordsetStampa {
public:
    QStringList valori;  // the field "codice"
    int pos = 0;
    bool Eof() const override { return pos >= valori.size(); }
    void MoveNext() override { ++pos; }
    int RecordCount() override { return int(valori.size()); }
    QString TestoCampo(const QString&) override { return valori[pos]; }
    bool HaCampo(const QString& c) const override { return c == QLatin1String("codice"); }
};

struct Etichetta {
    bool app = (test::AssicuraApplicazione(), true);
    DocumentoEtichetta doc;
    explicit Etichetta(bool rotolo = true)
    {
        LayoutEtichetta l;
        l.UnaPerPagina = rotolo;
        l.LarghezzaEtichetta = 100;
        l.AltezzaEtichetta = 60;
        doc.ImpostaLayout(l);
    }
    // A barcode of settings `tag` in a box in millimetres from the label's corner.
    OggettoEtichetta* barcode(const QString& tag, const QString& dati, double x, double y, double w, double h)
    {
        auto* o = doc.CreaBarcode(float(567 + x * 56.7), float(1440 + y * 56.7), float(w * 56.7), float(h * 56.7));
        o->Tag = tag;
        o->ToolTipText = dati;
        return o;
    }
};

// The kinds of finding about `o`.
std::vector<TipoRilievo> Di(const std::vector<Rilievo>& rilievi, const OggettoEtichetta* o)
{
    std::vector<TipoRilievo> r;
    for (const Rilievo& x : rilievi)
        if (x.oggetto == o->id) r.push_back(x.tipo);
    return r;
}

bool Ha(const std::vector<Rilievo>& rilievi, const OggettoEtichetta* o, TipoRilievo tipo)
{
    const auto r = Di(rilievi, o);
    return std::find(r.begin(), r.end(), tipo) != r.end();
}

}  // namespace

TEST(ControlloEtichetta, ACleanLabelFindsNothingAtAnyResolution)
{
    Etichetta e;
    // a light panel under everything, outlined along the label's edge
    auto* fondo = e.doc.CreaRettangolo(567, 1440, 100 * 56.7f, 60 * 56.7f);
    fondo->BackStyle = 1;
    fondo->BackColor = 0xE6E6E6;
    e.barcode(QStringLiteral("20"), QStringLiteral("CARTIGO"), 10, 3, 80, 20);         // Code 128
    e.barcode(QStringLiteral("10"), QStringLiteral("5901234123457"), 20, 25, 50, 25);  // EAN-13
    e.barcode(QStringLiteral("32"), QStringLiteral("Cartigo"), 80, 40, 15, 15);        // QR Code
    for (const double dpi : {0.0, 203.0, 300.0, 600.0}) {
        const auto r = ControllaEtichetta(e.doc, dpi);
        EXPECT_TRUE(r.empty()) << dpi << ": " << RigheRilievi(r).join(QLatin1Char('\n')).toStdString();
    }
    EXPECT_EQ(TestoRisoluzione(203), QStringLiteral("203 dpi"));
}

TEST(ControlloEtichetta, EachFindingNamesItsObject)
{
    ImpostaLingua(Lingua::Inglese);
    Etichetta e;
    // a Code 128 of 1 dot for 1.3 modules at 203 dpi, and a Code 39 of 1-dot narrow bars
    auto* stretto = e.barcode(QStringLiteral("22"), QStringLiteral("CARTIGO 128"), 10, 2, 17, 8);
    auto* code39 = e.barcode(QStringLiteral("02"), QStringLiteral("AB"), 40, 2, 8.5, 8);
    // an EAN-13 under 80 % against its left edge (3 modules of the 11 on the label)
    auto* ean = e.barcode(QStringLiteral("12"), QStringLiteral("5901234123457"), 0, 15, 22, 20);
    // a Code 128 whose right quiet zone a filled rectangle covers; a QR Code the label's
    // bottom edge cuts
    auto* coperto = e.barcode(QStringLiteral("22"), QStringLiteral("CARTIGO"), 30, 15, 40, 12);
    auto* rettangolo = e.doc.CreaRettangolo(float(567 + 65 * 56.7), float(1440 + 15 * 56.7), 600, 600);
    rettangolo->BackStyle = 1;  // dark blue; a light fill would not count
    rettangolo->BackColor = 0x800000;
    auto* qr = e.barcode(QStringLiteral("32"), QStringLiteral("Cartigo"), 85, 52, 14, 14);
    // a line of text with no room under it; bars lower than 15 % of their width
    auto* testo = e.barcode(QStringLiteral("20"), QStringLiteral("CARTIGO"), 30, 30, 60, 2);
    auto* basso = e.barcode(QStringLiteral("22"), QStringLiteral("CARTIGO"), 30, 40, 60, 5);

    const auto r = ControllaEtichetta(e.doc, 203);
    EXPECT_TRUE(Ha(r, stretto, TipoRilievo::ModuloSottoPunto));
    EXPECT_TRUE(Ha(r, code39, TipoRilievo::ModuloSottoPunto));
    // the EAN-13 stretched to its box, as vectors print it
    const auto vettoriale = ControllaEtichetta(e.doc, 0);
    EXPECT_TRUE(Ha(vettoriale, ean, TipoRilievo::ModuloSottoMinimo));
    EXPECT_TRUE(Ha(vettoriale, ean, TipoRilievo::ZonaQuieteCoperta));
    EXPECT_TRUE(Ha(r, coperto, TipoRilievo::ZonaQuieteCoperta));
    EXPECT_TRUE(Ha(r, qr, TipoRilievo::ZonaQuieteCoperta));
    EXPECT_TRUE(Ha(r, testo, TipoRilievo::TestoNonEntra));
    EXPECT_TRUE(Ha(r, basso, TipoRilievo::BarreBasse));
    // the sentences name the object, the kind, and what covers a quiet zone
    const QString tutte = (RigheRilievi(r) + RigheRilievi(vettoriale)).join(QLatin1Char('\n'));
    EXPECT_TRUE(tutte.contains(QStringLiteral("Barcode %1 (Code 39): a module of 1.00 dots at 203 dpi; it needs at "
                                              "least 2.")
                                   .arg(code39->Index)))
        << tutte.toStdString();
    EXPECT_TRUE(tutte.contains(QStringLiteral("the left quiet zone (11 modules) is covered by the label's edge")));
    EXPECT_TRUE(tutte.contains(
        QStringLiteral("the right quiet zone (10 modules) is covered by Rectangle %1").arg(rettangolo->Index)));
    EXPECT_TRUE(tutte.contains(QStringLiteral("the bottom quiet zone (4 modules)")));
    // the other findings of these objects are only the ones shown above
    EXPECT_EQ(Di(r, stretto).size(), 1u);
    EXPECT_EQ(Di(r, code39).size(), 1u);
    EXPECT_EQ(Di(r, basso), std::vector<TipoRilievo>{TipoRilievo::BarreBasse});
    // no resolution: no dot to miss; 300 dpi gives the Code 128 its dot a module
    EXPECT_FALSE(Ha(vettoriale, stretto, TipoRilievo::ModuloSottoPunto));
    EXPECT_FALSE(Ha(ControllaEtichetta(e.doc, 300), stretto, TipoRilievo::ModuloSottoPunto));

    // On a sheet the edge is its cell's.
    Etichetta foglio(false);
    foglio.barcode(QStringLiteral("12"), QStringLiteral("5901234123457"), 0, 15, 40, 25);
    EXPECT_TRUE(RigheRilievi(ControllaEtichetta(foglio.doc, 0))
                    .join(QLatin1Char('\n'))
                    .contains(QStringLiteral("covered by the edge of the sheet cell")));
}

TEST(ControlloEtichetta, BoundDataNameTheFirstRecordItHappensOn)
{
    ImpostaLingua(Lingua::Inglese);
    Etichetta e;
    auto* legato = e.barcode(QStringLiteral("22"), QString(), 10, 10, 30, 15);
    legato->DataMember = QStringLiteral("codice");
    auto* unito = e.barcode(QStringLiteral("22"), QStringLiteral("${codice}"), 10, 30, 30, 15);
    Righe rs;
    rs.valori = {QStringLiteral("A1"), QStringLiteral("A2"), QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"),
                 QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ01234567890")};
    const auto r = ControllaEtichetta(e.doc, 203, &rs);
    ASSERT_EQ(r.size(), 2u) << RigheRilievi(r).join(QLatin1Char('\n')).toStdString();
    for (const auto* o : {legato, unito}) {
        ASSERT_EQ(Di(r, o), std::vector<TipoRilievo>{TipoRilievo::ModuloSottoPunto});
    }
    EXPECT_EQ(r[0].record, 3);
    EXPECT_TRUE(r[0].testo.endsWith(QStringLiteral(" (from record 3).")));
    EXPECT_TRUE(rs.Eof());
}
