// The catalogue of label products: the installed template files, the layouts known
// products give, search, the user's own templates, and what the reader makes of the
// format's corners.
#include "common/TestSupport.h"
#include "layout/CatalogoEtichette.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <QThread>

using namespace cartigo;
using cartigo::test::ScriviFile;

namespace {

// The catalogue of the installed glabels-data package, read once.
const CatalogoEtichette& installato()
{
    static const CatalogoEtichette c = [] {
        CatalogoEtichette c;
        c.Carica(CatalogoEtichette::CartelleSistema(), QString());
        return c;
    }();
    return c;
}

#define RICHIEDI_CATALOGO()                                                               \
    if (installato().Vuoto())                                                             \
    GTEST_SKIP() << "no label products installed: the glabels-data package puts them in " \
                    "/usr/share/libglabels-3.0/templates (scripts/install-deps.sh installs it)"

QStringList nomi(const std::vector<const ProdottoEtichetta*>& prodotti)
{
    QStringList n;
    for (const auto* p : prodotti) n << p->Nome();
    return n;
}

// A template file in a folder of its own.
struct Cartella {
    QTemporaryDir dir;
    void scrivi(const QString& nome, const QByteArray& testo) { ScriviFile(dir.filePath(nome), testo); }
    CatalogoEtichette carica(bool utente = false)
    {
        CatalogoEtichette c;
        if (utente)
            c.Carica({}, dir.path());
        else
            c.Carica({dir.path()}, QString());
        return c;
    }
};

QByteArray modelli(const QByteArray& corpo)
{
    return "<?xml version=\"1.0\"?>\n<Glabels-templates>\n" + corpo + "\n</Glabels-templates>\n";
}

}  // namespace

TEST(Catalogo, EveryInstalledFileParses)
{
    RICHIEDI_CATALOGO();
    const auto& c = installato();
    // A few published products put their labels far past their page (4 rows of 130 mm on
    // A4): those are left out, and nothing else is.
    for (const auto& e : c.Errori())
        EXPECT_TRUE(e.testo.contains(QStringLiteral("past the page")))
            << e.file.toStdString() << ":" << e.riga << ": " << e.testo.toStdString();
    EXPECT_LE(c.Errori().size(), 6u);
    QSet<QString> marche;
    int equivalenti = 0, rotoli = 0;
    for (const auto& p : c.Prodotti()) {
        marche.insert(p.marca);
        equivalenti += !p.equivalenteDi.isEmpty();
        rotoli += p.Rotolo();
        EXPECT_GT(p.larghezza, 0) << p.Nome().toStdString();
        EXPECT_GE(p.colonne, 1) << p.Nome().toStdString();
        EXPECT_FALSE(p.dimensionePagina.isEmpty()) << p.Nome().toStdString() << " on " << p.pagina.toStdString();
    }
    RecordProperty("products", int(c.Prodotti().size()));
    EXPECT_GE(c.Prodotti().size(), 1700u);
    EXPECT_GE(marche.size(), 40);
    EXPECT_GT(equivalenti, 500);
    EXPECT_GT(rotoli, 20);  // Dymo and Brother rolls: a page of the label's size
}

TEST(Catalogo, KnownProductsGiveTheirPublishedLayout)
{
    RICHIEDI_CATALOGO();
    const auto& c = installato();

    // Avery Zweckform 3474: 24 labels of 70 x 37 mm, 3 across and 8 down on A4, edge to edge.
    const ProdottoEtichetta* z = c.Trova(QStringLiteral("Zweckform 3474"));
    ASSERT_TRUE(z);
    LayoutEtichetta l = z->Layout();
    EXPECT_EQ(l.EtichetteOrizzontali, 3);
    EXPECT_EQ(l.EtichetteVerticali, 8);
    EXPECT_DOUBLE_EQ(l.LarghezzaEtichetta, 70);
    EXPECT_DOUBLE_EQ(l.AltezzaEtichetta, 37);
    EXPECT_DOUBLE_EQ(l.SpazioOrizzontale, 0);
    EXPECT_DOUBLE_EQ(l.SpazioVerticale, 0);
    EXPECT_DOUBLE_EQ(l.LarghezzaPagina, 210);
    EXPECT_DOUBLE_EQ(l.AltezzaPagina, 297);
    EXPECT_EQ(l.Prodotto, QStringLiteral("Zweckform 3474"));
    EXPECT_FALSE(l.UnaPerPagina);
    // the print job's shift is compensated, so the labels land where the maker says
    EXPECT_DOUBLE_EQ(l.OrigineX, -SpostamentoStampaX);

    // Avery 5160, the US 30-up address sheet: 1 x 2 5/8 in, 3 across and 10 down on Letter,
    // half an inch from the top; an equivalent (8160) has the same layout under its own code.
    for (const char* nome : {"Avery 5160", "Avery 8160"}) {
        const ProdottoEtichetta* a = c.Trova(QString::fromLatin1(nome));
        ASSERT_TRUE(a) << nome;
        l = a->Layout();
        EXPECT_EQ(l.EtichetteOrizzontali * l.EtichetteVerticali, 30) << nome;
        EXPECT_EQ(l.EtichetteOrizzontali, 3) << nome;
        EXPECT_NEAR(l.LarghezzaEtichetta, 2.625 * 25.4, 0.01) << nome;
        EXPECT_NEAR(l.AltezzaEtichetta, 25.4, 0.01) << nome;
        EXPECT_NEAR(l.MargineSuperiore, 12.7, 0.01) << nome;
        EXPECT_DOUBLE_EQ(l.LarghezzaPagina, 215.9) << nome;
        EXPECT_DOUBLE_EQ(l.AltezzaPagina, 279.4) << nome;
        EXPECT_EQ(a->pagina, QStringLiteral("US-Letter"));
        EXPECT_EQ(l.Prodotto, QString::fromLatin1(nome));
    }
    EXPECT_EQ(c.Trova(QStringLiteral("Avery 8160"))->equivalenteDi, QStringLiteral("5160"));

    // A Dymo roll of 32 x 57 mm labels: one label a page, no sheet margins or origin.
    const ProdottoEtichetta* d = c.Trova(QStringLiteral("Dymo 11354"));
    ASSERT_TRUE(d);
    l = d->Layout();
    EXPECT_TRUE(l.UnaPerPagina);
    EXPECT_DOUBLE_EQ(l.LarghezzaEtichetta, 32);
    EXPECT_DOUBLE_EQ(l.AltezzaEtichetta, 57);
    EXPECT_DOUBLE_EQ(l.OrigineX, 0);
    EXPECT_DOUBLE_EQ(l.LarghezzaPagina, 0);

    // A CD sheet: the box around the disc, the hole kept for the surface's guide.
    const ProdottoEtichetta* cd = c.Trova(QStringLiteral("Avery L6015"));
    ASSERT_TRUE(cd);
    l = cd->Layout();
    EXPECT_EQ(l.Forma, FormaEtichetta::CD);
    EXPECT_DOUBLE_EQ(l.LarghezzaEtichetta, 117);
    EXPECT_DOUBLE_EQ(l.AltezzaEtichetta, 117);
    EXPECT_DOUBLE_EQ(l.DiametroForo, 41);
    EXPECT_DOUBLE_EQ(l.DiametroEsterno, 0);  // the disc fills its box
}

TEST(Catalogo, SearchTakesMakerCodeDescriptionAndSize)
{
    RICHIEDI_CATALOGO();
    const auto& c = installato();
    EXPECT_TRUE(nomi(c.Cerca(QStringLiteral("70x37"))).contains(QStringLiteral("Zweckform 3474")));
    EXPECT_TRUE(nomi(c.Cerca(QStringLiteral("70 x 37 zweckform"))).contains(QStringLiteral("Zweckform 3474")));
    for (const auto* p : c.Cerca(QStringLiteral("70x37"))) {
        EXPECT_NEAR(p->larghezza, 70, 0.5) << p->Nome().toStdString();
        EXPECT_NEAR(p->altezza, 37, 0.5) << p->Nome().toStdString();
    }
    // a decimal narrows the size to its last digit
    for (const auto* p : c.Cerca(QStringLiteral("63,5x38,1"))) {
        EXPECT_NEAR(p->larghezza, 63.5, 0.05) << p->Nome().toStdString();
        EXPECT_NEAR(p->altezza, 38.1, 0.05) << p->Nome().toStdString();
    }
    const auto avery = c.Cerca(QStringLiteral("AVERY 5160"));
    EXPECT_TRUE(nomi(avery).contains(QStringLiteral("Avery 5160")));
    EXPECT_TRUE(nomi(avery).contains(QStringLiteral("Avery 15160")));
    for (const auto* p : c.Cerca(QStringLiteral("dymo address")))
        EXPECT_TRUE(p->marca == QStringLiteral("Dymo") && p->descrizione.contains(QStringLiteral("ddress")));
    EXPECT_FALSE(c.Cerca(QStringLiteral("dymo address")).empty());
    EXPECT_EQ(c.Cerca(QString()).size(), c.Prodotti().size());
    EXPECT_TRUE(c.Cerca(QStringLiteral("no-such-product-anywhere")).empty());
}

TEST(Catalogo, SearchOnAFileOfOwnProducts)
{
    Cartella f;
    f.scrivi(QStringLiteral("prova.xml"), modelli(R"(
  <Template brand="Acme" part="A-1" size="A4" description="Shipping labels">
    <Label-rectangle id="0" width="70mm" height="37mm"><Layout nx="3" ny="8" x0="0" y0="0" dx="70mm" dy="37mm"/></Label-rectangle>
  </Template>
  <Template brand="Acme" part="A-2" size="A4" description="Address labels">
    <Label-rectangle id="0" width="63.5mm" height="38.1mm"><Layout nx="3" ny="7" x0="7mm" y0="15mm" dx="66mm" dy="38.1mm"/></Label-rectangle>
  </Template>
  <Template brand="Acme" part="A-10" equiv="A-2"/>
  <Template brand="Bolt" part="9" size="US-Letter" description="Shipping labels">
    <Label-rectangle id="0" width="4in" height="2in"><Layout nx="2" ny="5" x0="0.15in" y0="0.5in" dx="4.2in" dy="2in"/></Label-rectangle>
  </Template>)"));
    const CatalogoEtichette c = f.carica();
    EXPECT_TRUE(c.Errori().empty());
    // sorted by maker, then by code with numbers by value
    EXPECT_EQ(nomi(c.Cerca(QString())), (QStringList{"Acme A-1", "Acme A-2", "Acme A-10", "Bolt 9"}));
    EXPECT_EQ(nomi(c.Cerca(QStringLiteral("shipping"))), (QStringList{"Acme A-1", "Bolt 9"}));
    EXPECT_EQ(nomi(c.Cerca(QStringLiteral("shipping letter"))), (QStringList{"Bolt 9"}));
    EXPECT_EQ(nomi(c.Cerca(QStringLiteral("70x37"))), (QStringList{"Acme A-1"}));
    EXPECT_EQ(nomi(c.Cerca(QStringLiteral("63x38"))), (QStringList{"Acme A-2", "Acme A-10"}));
    EXPECT_EQ(nomi(c.Cerca(QStringLiteral("64 X 38"))), (QStringList{"Acme A-2", "Acme A-10"}));
    EXPECT_EQ(nomi(c.Cerca(QStringLiteral("62x38"))), QStringList{});
    EXPECT_EQ(nomi(c.Cerca(QStringLiteral("101.6x50.8"))), (QStringList{"Bolt 9"}));
    EXPECT_EQ(nomi(c.Cerca(QStringLiteral("3x7"))), (QStringList{"Acme A-2", "Acme A-10"}));  // across x down
    EXPECT_EQ(nomi(c.Cerca(QStringLiteral("a-1"))), (QStringList{"Acme A-1", "Acme A-10"}));
}

TEST(Catalogo, UserTemplatesRoundTrip)
{
    struct Caso {
        const char* nome;
        LayoutEtichetta layout;
    };
    // the ten values in file order, and the product's page
    const auto misure = [](std::initializer_list<double> valori, double larghezza = 0, double altezza = 0) {
        LayoutEtichetta l;
        int i = 0;
        for (const double v : valori) l.valore(i++) = v;
        l.LarghezzaPagina = larghezza;
        l.AltezzaPagina = altezza;
        return l;
    };
    const LayoutEtichetta foglio = misure({3, 7, 7.25, 15.125, 63.5, 38.1, 2.5, 0}, 215.9, 279.4);
    LayoutEtichetta rotolo = misure({1, 1, 0, 0, 62, 29, 0, 0});
    rotolo.UnaPerPagina = true;
    LayoutEtichetta tonda = misure({3, 7, 7.25, 15.125, 40, 40, 2.5, 0});  // no page: saved as A4
    tonda.Forma = FormaEtichetta::Ellisse;
    LayoutEtichetta cd = misure({1, 2, 7.25, 15.125, 85, 60, 0, 0}, 100, 150);
    cd.Forma = FormaEtichetta::CD;
    cd.DiametroEsterno = 80;
    cd.DiametroForo = 15;
    const Caso casi[] = {
        {"a sheet on Letter", foglio}, {"a roll", rotolo}, {"round labels", tonda}, {"business-card CDs", cd}};

    for (const auto& caso : casi) {
        SCOPED_TRACE(caso.nome);
        Cartella utente;
        const QString file = FileModello(utente.dir.path(), QStringLiteral("Mia ditta"), QStringLiteral("R/1"));
        EXPECT_EQ(QFileInfo(file).fileName(), QStringLiteral("Mia_ditta-R_1.xml"));
        ScriviFile(file, XmlModello(caso.layout, QStringLiteral("Mia ditta"), QStringLiteral("R/1"),
                                    QStringLiteral("Le mie <etichette> & co")));
        const CatalogoEtichette c = utente.carica(true);
        ASSERT_TRUE(c.Errori().empty()) << c.Errori().front().testo.toStdString();
        const ProdottoEtichetta* p = c.Trova(QStringLiteral("Mia ditta R/1"));
        ASSERT_TRUE(p);
        EXPECT_TRUE(p->utente);
        EXPECT_EQ(p->descrizione, QStringLiteral("Le mie <etichette> & co"));
        EXPECT_TRUE(p->Corrisponde(caso.layout));
        const LayoutEtichetta l = p->Layout();
        EXPECT_EQ(l.Forma, caso.layout.Forma);
        EXPECT_EQ(l.UnaPerPagina, caso.layout.UnaPerPagina);
        EXPECT_DOUBLE_EQ(l.DiametroEsterno, caso.layout.DiametroEsterno);
        EXPECT_DOUBLE_EQ(l.DiametroForo, caso.layout.DiametroForo);
        if (!caso.layout.UnaPerPagina) {
            EXPECT_DOUBLE_EQ(l.LarghezzaPagina, caso.layout.LarghezzaPagina > 0 ? caso.layout.LarghezzaPagina : 210);
            EXPECT_DOUBLE_EQ(l.AltezzaPagina, caso.layout.AltezzaPagina > 0 ? caso.layout.AltezzaPagina : 297);
        }
    }
}

TEST(Catalogo, UserProductsReplaceInstalledOnesOfTheSameName)
{
    Cartella sistema, utente;
    sistema.scrivi(QStringLiteral("a.xml"), modelli(R"(
  <Template brand="Acme" part="1" size="A4" description="maker's">
    <Label-rectangle id="0" width="70mm" height="37mm"><Layout nx="3" ny="8" x0="0" y0="0" dx="70mm" dy="37mm"/></Label-rectangle>
  </Template>)"));
    utente.scrivi(QStringLiteral("b.xml"), modelli(R"(
  <Template brand="ACME" part="1" size="A4" description="mine">
    <Label-rectangle id="0" width="70mm" height="36mm"><Layout nx="3" ny="8" x0="0" y0="4mm" dx="70mm" dy="36mm"/></Label-rectangle>
  </Template>
  <Template brand="Acme" part="2" equiv="1"/>)"));
    CatalogoEtichette c;
    c.Carica({sistema.dir.path()}, utente.dir.path());
    ASSERT_EQ(c.Prodotti().size(), 2u);
    EXPECT_EQ(c.Trova(QStringLiteral("acme 1"))->descrizione, QStringLiteral("mine"));
    EXPECT_DOUBLE_EQ(c.Trova(QStringLiteral("Acme 2"))->altezza, 36);
    EXPECT_TRUE(c.Trova(QStringLiteral("Acme 1"))->utente);
}

TEST(Catalogo, ReaderOfTheFormatsCorners)
{
    Cartella f;
    // units: points without one, inches, centimetres, picas; a missing or empty pitch is 0
    f.scrivi(QStringLiteral("1.xml"), R"(<?xml version="1.0"?>
<Glabels-templates xmlns="http://glabels.org/xmlns/3.0/">
  <Template brand="U" part="pt" size="A4" _description="points">
    <Meta category="label"/>
    <Label-rectangle id="0" width="72" height="36pt" round="5"><Markup-margin size="5"/>
      <Layout nx="1" ny="2" x0="1in" y0="" dy="1.2cm"/></Label-rectangle>
  </Template>
  <Template brand="U" part="pc" size="Other" width="6pc" height="12pc" description="picas">
    <Label-ellipse id="0" width="2cm" height="1cm" waste="0"><Layout nx="1" ny="1" x0="0" y0="0" dx="0" dy="0"/></Label-ellipse>
  </Template>
  <Template brand="U" part="cd" size="A4" description="two groups">
    <Label-cd id="0" radius="58.5mm" hole="20.5mm" waste="1mm">
      <Layout nx="1" ny="2" x0="46mm" y0="21.8mm" dx="0" dy="137mm"/>
      <Layout nx="1" ny="1" x0="100mm" y0="80mm" dx="0" dy="0"/>
    </Label-cd>
  </Template>
</Glabels-templates>
)");
    // a reference to a product not read before, a length that is not one, a broken file
    f.scrivi(QStringLiteral("2.xml"), modelli(R"(
  <Template brand="V" part="2" equiv="1"/>
  <Template brand="V" part="3" size="A4"><Label-rectangle id="0" width="7 furlongs" height="1mm"><Layout nx="1" ny="1" x0="0" y0="0" dx="0" dy="0"/></Label-rectangle></Template>
  <Template brand="V" part="4" size="A4"><Label-rectangle id="0" width="10mm" height="1mm"/></Template>
  <Template brand="V" part="5" size="A4"><Label-rectangle id="0" width="10mm" height="1mm"><Layout nx="1" ny="1" x0="0" y0="0" dx="0" dy="0"/></Label-rectangle></Template>)"));
    f.scrivi(QStringLiteral("3.xml"), "<Glabels-templates><Template brand=\"W\" part=\"1\">\n<Label-rectangle\n");
    // files of another kind are not products
    f.scrivi(QStringLiteral("paper-sizes.xml"),
             "<Glabels-paper-sizes><Paper-size id=\"Half\" pwg_size=\"x\" width=\"100mm\" height=\"150mm\"/>"
             "</Glabels-paper-sizes>");
    f.scrivi(QStringLiteral("vendors.xml"), "<Glabels-vendors><Vendor name=\"U\"/></Glabels-vendors>");

    const CatalogoEtichette c = f.carica();
    EXPECT_EQ(nomi(c.Cerca(QString())), (QStringList{"U cd", "U pc", "U pt", "V 5"}));

    const ProdottoEtichetta* pt = c.Trova(QStringLiteral("U pt"));
    EXPECT_NEAR(pt->larghezza, 25.4, 1e-9);
    EXPECT_NEAR(pt->altezza, 12.7, 1e-9);
    EXPECT_NEAR(pt->x0, 25.4, 1e-9);
    EXPECT_EQ(pt->y0, 0);
    EXPECT_DOUBLE_EQ(pt->Layout().SpazioVerticale, -0.7);  // labels that overlap a little are kept as the file says
    EXPECT_EQ(pt->Layout().SpazioOrizzontale, 0);          // one column has no gap
    const ProdottoEtichetta* pc = c.Trova(QStringLiteral("U pc"));
    EXPECT_EQ(pc->forma, FormaEtichetta::Ellisse);
    EXPECT_NEAR(pc->dimensionePagina.width(), 25.4, 1e-9);
    EXPECT_NEAR(pc->dimensionePagina.height(), 50.8, 1e-9);
    const ProdottoEtichetta* cd = c.Trova(QStringLiteral("U cd"));
    EXPECT_EQ(cd->disposizioni, 2);  // only the first group is used
    EXPECT_EQ(cd->righe, 2);
    EXPECT_EQ(cd->larghezza, 117);
    EXPECT_EQ(cd->diametroForo, 41);

    QStringList errori;
    for (const auto& e : c.Errori()) errori << QFileInfo(e.file).fileName() + QLatin1Char(':') + e.testo;
    ASSERT_EQ(errori.size(), 4) << errori.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(errori[0].startsWith(QStringLiteral("2.xml:V 2: the product 1")));
    EXPECT_EQ(errori[1], QStringLiteral("2.xml:V 3: width is not a length"));
    EXPECT_EQ(errori[2], QStringLiteral("2.xml:V 4: no Layout"));
    EXPECT_TRUE(errori[3].startsWith(QStringLiteral("3.xml:"))) << errori[3].toStdString();
    EXPECT_GE(c.Errori()[3].riga, 2);
}

// Hostile template files: every measure is checked once in millimetres, and a product whose
// measures make no sheet is left out, named with its file and line.
TEST(Catalogo, NonsenseMeasuresAreSkippedWithTheirLine)
{
    const char* buoni = R"(<Label-rectangle id="0" width="70mm" height="37mm"><Layout nx="3" ny="8" x0="0" y0="0" dx="70mm" dy="37mm"/></Label-rectangle>)";
    const QList<QPair<QByteArray, QByteArray>> casi = {
        {R"(size="A4")", R"(<Label-rectangle id="0" width="1e308in" height="37mm"><Layout nx="1" ny="1" x0="0" y0="0" dx="0" dy="0"/></Label-rectangle>)"},
        {R"(size="A4")", R"(<Label-rectangle id="0" width="1e300" height="37mm"><Layout nx="1" ny="1" x0="0" y0="0" dx="0" dy="0"/></Label-rectangle>)"},
        {R"(size="A4")", R"(<Label-rectangle id="0" width="1e-300mm" height="37mm"><Layout nx="1" ny="1" x0="0" y0="0" dx="0" dy="0"/></Label-rectangle>)"},
        {R"(size="A4")", R"(<Label-round id="0" radius="0.2mm"><Layout nx="1" ny="1" x0="0" y0="0" dx="0" dy="0"/></Label-round>)"},
        {R"(size="A4")", R"(<Label-rectangle id="0" width="70mm" height="37mm"><Layout nx="2147483647" ny="1" x0="0" y0="0" dx="70mm" dy="0"/></Label-rectangle>)"},
        {R"(size="A4")", R"(<Label-rectangle id="0" width="1mm" height="1mm"><Layout nx="100000" ny="100000" x0="0" y0="0" dx="1mm" dy="1mm"/></Label-rectangle>)"},
        {R"(size="Other" width="0" height="297mm")", buoni},
        {R"(size="Other" width="-5mm" height="297mm")", buoni},
        {R"(size="Other" width="NaN" height="297mm")", buoni},
        {R"(size="Other" width="1e300mm" height="297mm")", buoni},
        {R"(size="A4")", R"(<Label-rectangle id="0" width="70mm" height="37mm"><Layout nx="3" ny="1" x0="0" y0="0" dx="-70mm" dy="0"/></Label-rectangle>)"},
        {R"(size="A4")", R"(<Label-rectangle id="0" width="70mm" height="37mm"><Layout nx="1" ny="8" x0="0" y0="0" dx="0" dy="0"/></Label-rectangle>)"},
        {R"(size="A4")", R"(<Label-rectangle id="0" width="70mm" height="37mm"><Layout nx="1" ny="1" x0="1e9mm" y0="0" dx="0" dy="0"/></Label-rectangle>)"},
        {R"(size="A4")", R"(<Label-rectangle id="0" width="70mm" height="37mm"><Layout nx="1" ny="1" x0="0" y0="-40mm" dx="0" dy="0"/></Label-rectangle>)"},
        {R"(size="A4")", R"(<Label-cd id="0" radius="20mm" hole="25mm"><Layout nx="1" ny="1" x0="0" y0="0" dx="0" dy="0"/></Label-cd>)"},
    };
    QByteArray corpo = "  <Template brand=\"Z\" part=\"buono\" size=\"A4\">" + QByteArray(buoni) + "</Template>\n";
    for (int i = 0; i < casi.size(); ++i)
        corpo += "  <Template brand=\"Z\" part=\"" + QByteArray::number(i) + "\" " + casi[i].first + ">" +
                 casi[i].second + "</Template>\n";
    Cartella f;
    f.scrivi(QStringLiteral("ostili.xml"), modelli(corpo));
    const CatalogoEtichette c = f.carica();
    EXPECT_EQ(nomi(c.Cerca(QString())), QStringList{"Z buono"});
    ASSERT_EQ(c.Errori().size(), size_t(casi.size()));
    for (int i = 0; i < casi.size(); ++i) {
        const auto& e = c.Errori()[size_t(i)];
        EXPECT_TRUE(e.file.endsWith(QStringLiteral("ostili.xml")));
        EXPECT_EQ(e.riga, 4 + i) << e.testo.toStdString();  // the line the product starts on
        EXPECT_TRUE(e.testo.startsWith(QStringLiteral("Z %1: ").arg(i))) << e.testo.toStdString();
    }
}

// What one file may hold is bounded: an element of 100,000 attributes (whose reading
// took time growing with their square) is refused at once, with its line, and the other
// files are read.
TEST(Catalogo, AFileBeyondTheBoundsIsRefusedWithItsLine)
{
    Cartella f;
    QByteArray attributi;
    for (int i = 0; i < 100000; ++i) attributi += " a" + QByteArray::number(i) + "=\"1\"";
    f.scrivi(QStringLiteral("attributi.xml"),
             modelli("  <!-- a=1 b=2 -->\n  <Template brand=\"Z\" part=\"1\" size=\"A4\"" + attributi +
                     "><Label-rectangle id=\"0\" width=\"70mm\" height=\"37mm\"><Layout nx=\"1\" ny=\"1\" "
                     "x0=\"0\" y0=\"0\" dx=\"0\" dy=\"0\"/></Label-rectangle></Template>"));
    f.scrivi(QStringLiteral("buono.xml"), modelli(R"(  <Template brand="Z" part="2" size="A4"><Label-rectangle id="0" width="70mm" height="37mm"><Layout nx="1" ny="1" x0="0" y0="0" dx="0" dy="0"/></Label-rectangle></Template>)"));
    QFile grande(f.dir.filePath(QStringLiteral("grande.xml")));
    ASSERT_TRUE(grande.open(QIODevice::WriteOnly));
    ASSERT_TRUE(grande.resize(CatalogoEtichette::kDimensioneMassimaFile + 1));
    grande.close();
    const CatalogoEtichette c = f.carica();
    EXPECT_EQ(nomi(c.Cerca(QString())), QStringList{"Z 2"});
    ASSERT_EQ(c.Errori().size(), 2u);
    EXPECT_TRUE(c.Errori()[0].file.endsWith(QStringLiteral("attributi.xml")));
    EXPECT_EQ(c.Errori()[0].riga, 4);
    EXPECT_EQ(c.Errori()[0].testo, QStringLiteral("an element with more than 64 attributes"));
    EXPECT_TRUE(c.Errori()[1].file.endsWith(QStringLiteral("grande.xml")));
}

// The run's catalogue is read once, in the background.
TEST(Catalogo, TheRunsCatalogueIsReadOnce)
{
    CatalogoEtichette::AvviaLettura();
    QElapsedTimer t;
    t.start();
    std::shared_ptr<const CatalogoEtichette> letto;
    while (!(letto = CatalogoEtichette::Letto()) && t.elapsed() < 60000) QThread::msleep(10);
    ASSERT_TRUE(letto);
    CatalogoEtichette::AvviaLettura();
    EXPECT_EQ(CatalogoEtichette::Letto(), letto);  // not read again
    EXPECT_GE(letto->Prodotti().size(), installato().Prodotti().size());
}

TEST(Catalogo, WithoutTemplatesTheCatalogueIsEmpty)
{
    QTemporaryDir vuota;
    CatalogoEtichette c;
    c.Carica({vuota.filePath(QStringLiteral("missing"))}, vuota.filePath(QStringLiteral("neither")));
    EXPECT_TRUE(c.Vuoto());
    EXPECT_TRUE(c.Errori().empty());
    EXPECT_TRUE(c.Cerca(QStringLiteral("avery")).empty());
    // the two common papers are known without the package
    EXPECT_EQ(c.Carta(QStringLiteral("A4")), QSizeF(210, 297));
    EXPECT_EQ(c.Carta(QStringLiteral("US-Letter")), QSizeF(215.9, 279.4));
}
