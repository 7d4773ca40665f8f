// The design surface as a widget: an offscreen render of a label checked at chosen
// pixels, the grid and snap switches of the main window, redrawing on document
// changes, and the scroll bars moving the surface.
#include "app/frmCartigo.h"
#include "common/TestSupport.h"
#include "designer/BandaTrascinamento.h"
#include "designer/PicBox.h"
#include "label/FileEtichetta.h"
#include "shell/InterazioneScriptata.h"
#include "shell/StringTable.h"

#include <QPainter>
#include <QScrollBar>

using namespace cartigo;
using cartigo::test::AssicuraApplicazione;

namespace {

struct ConApplicazione {
    ConApplicazione() { AssicuraApplicazione(); }
};

// Twips to the pixel they paint at 15 twips per pixel.
QPoint px(double x, double y)
{
    return {int(std::lround(x / 15)), int(std::lround(y / 15))};
}

int pixelScuri(const QImage& img, const QRect& area)
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (qGray(img.pixel(x, y)) < 96) ++n;
    return n;
}

struct RenderSuperficie : ::testing::Test, ConApplicazione {
    DocumentoEtichetta doc;
    PicBox box{doc};
    RenderSuperficie()
    {
        box.ImpostaScala(ScalaSuperficie{15, 15});
        LayoutEtichetta l;
        l.LarghezzaEtichetta = 100;
        l.AltezzaEtichetta = 50;
        doc.ImpostaLayout(l);
    }
    QImage immagine() { return box.grab().toImage().convertToFormat(QImage::Format_RGB32); }
};

}  // namespace

TEST_F(RenderSuperficie, RenderDiUnEtichetta)
{
    EXPECT_EQ(box.size(), QSize(1269, 1334));  // fixed, whatever the label
    auto* r = doc.CreaRettangolo(1134, 2007, 1134, 567);
    r->BorderColor = 0x000000FF;  // red
    r->BorderWidth = 2;
    auto* t = doc.CreaTesto(3500, 1600, 2000, 600);
    t->Caption = QStringLiteral("MMMM");
    t->FontSize = 20;
    t->FontBold = true;
    auto* piena = doc.CreaRettangolo(600, 3300, 600, 600);
    piena->BackStyle = 1;
    piena->BackColor = 0x0000FF00;  // green
    doc.CreaBarcode(3500, 2500, 1500, 900);
    doc.CreaImmagine(5000, 3300, 1000, 700);

    const QImage img = immagine();
    EXPECT_EQ(img.pixel(px(600, 1500)), qRgb(255, 255, 255));                  // the label
    EXPECT_EQ(img.pixel(px(3000, 4310)), qRgb(192, 192, 192));                 // shadow below
    EXPECT_EQ(img.pixel(px(6280, 3000)), qRgb(192, 192, 192));                 // shadow on the right
    EXPECT_EQ(img.pixel(px(10000, 10000)), Superficie::ColoreSfondo().rgb());  // the surface
    EXPECT_EQ(img.pixel(px(567, 3000)), qRgb(0, 0, 0));                        // the label's outline
    EXPECT_EQ(img.pixel(px(5000, 900)), Superficie::ColoreSfondo().rgb());     // no ruler: the window's

    // The rectangle: a red border two pixels thick, the label showing inside.
    EXPECT_EQ(img.pixel(76, 150), qRgb(255, 0, 0));
    EXPECT_EQ(img.pixel(77, 150), qRgb(255, 0, 0));
    EXPECT_EQ(img.pixel(78, 150), qRgb(255, 255, 255));
    EXPECT_EQ(img.pixel(150, 150), qRgb(255, 0, 0));
    EXPECT_EQ(img.pixel(113, 134), qRgb(255, 0, 0));
    EXPECT_EQ(img.pixel(113, 171), qRgb(255, 0, 0));
    EXPECT_EQ(img.pixel(113, 150), qRgb(255, 255, 255));
    // The opaque rectangle is filled.
    EXPECT_EQ(img.pixel(px(900, 3600)), qRgb(0, 255, 0));

    // Text pixels inside the text's frame, none just outside it.
    const QRect testo(px(3500, 1600), px(5499, 2199));
    EXPECT_GT(pixelScuri(img, testo), 50);
    EXPECT_EQ(pixelScuri(img, QRect(px(3500, 2220), px(5499, 2480))), 0);

    // The barcode without data shows its frame and kind, the picture the placeholder.
    EXPECT_EQ(img.pixel(px(3500, 2500) + QPoint(0, 10)), qRgb(128, 128, 128));
    EXPECT_EQ(img.pixel(px(3500, 2500) + QPoint(10, 10)), qRgb(255, 255, 255));
    const QColor cielo = img.pixelColor(px(5100, 3350));
    EXPECT_GT(cielo.blue(), cielo.red() + 30);
}

TEST_F(RenderSuperficie, OrdineDiDisegnoETrasparenza)
{
    auto* sotto = doc.CreaRettangolo(1000, 2000, 1000, 1000);
    sotto->BackStyle = 1;
    sotto->BackColor = 0x000000FF;
    auto* sopra = doc.CreaRettangolo(1500, 2500, 1000, 1000);
    sopra->BackStyle = 1;
    sopra->BackColor = 0x00FF0000;
    EXPECT_EQ(immagine().pixel(px(1800, 2800)), qRgb(0, 0, 255));
    doc.PortaDavanti(sotto);
    EXPECT_EQ(immagine().pixel(px(1800, 2800)), qRgb(255, 0, 0));

    // A transparent text shows what is under it; made opaque, its own background.
    auto* sfondo = doc.CreaRettangolo(3000, 2000, 3000, 1000);
    sfondo->BackStyle = 1;
    sfondo->BackColor = 0x00FF0000;  // blue
    auto* t = doc.CreaTesto(3000, 2000, 3000, 1000);
    t->BackStyle = 0;
    EXPECT_EQ(immagine().pixel(px(5900, 2900)), qRgb(0, 0, 255));  // transparent: the blue shows
    t->BackStyle = 1;
    t->BackColor = 0x00FFFFFF;
    doc.NotificaModificaOggetto(t);
    EXPECT_EQ(immagine().pixel(px(5900, 2900)), qRgb(255, 255, 255));
}

namespace {
// The symbols a box shows, as a scanner reads them from the surface.
QStringList letti(const QImage& img, const QRect& area, bool dataMatrix = false)
{
    QTemporaryDir dir;
    const QString png = dir.filePath(QStringLiteral("superficie.png"));
    // a white margin around the box, as a quiet zone on a page
    QImage pagina(area.size() + QSize(80, 80), QImage::Format_RGB32);
    pagina.fill(Qt::white);
    QPainter(&pagina).drawImage(40, 40, img.copy(area));
    pagina.save(png);
    return (dataMatrix ? test::LeggiDataMatrix(png) : test::LeggiZbar(png)).value_or(QStringList());
}
}  // namespace

TEST_F(RenderSuperficie, BarcodesShowTheRealSymbolOfTheirData)
{
    if (!test::LettoreMancante().isEmpty()) GTEST_SKIP() << test::LettoreMancante().toStdString() << " not installed";
    auto* qr = doc.CreaBarcode(1000, 2000, 2400, 2400);
    qr->Tag = QStringLiteral("30H");
    qr->ToolTipText = QStringLiteral("https://example.com/cartigo");
    auto* c39 = doc.CreaBarcode(4000, 2000, 6000, 900);
    c39->ToolTipText = QStringLiteral("CARTIGO-39");
    auto* ean = doc.CreaBarcode(4000, 3500, 4500, 1200);
    ean->Tag = QStringLiteral("10");
    ean->ToolTipText = QStringLiteral("590123412345");
    const auto area = [](const OggettoEtichetta* o) {
        return QRect(px(o->Left, o->Top), QSize(int(o->Width / 15), int(o->Height / 15)));
    };
    QImage img = immagine();
    EXPECT_EQ(letti(img, area(qr)), QStringList{"QR-Code:https://example.com/cartigo"});
    EXPECT_EQ(letti(img, area(c39)), QStringList{"CODE-39:CARTIGO-39"});
    EXPECT_EQ(letti(img, area(ean)), QStringList{"EAN-13:5901234123457"});

    // a change of data or kind shows at once
    qr->ToolTipText = QStringLiteral("Cartigo");
    doc.NotificaModificaOggetto(qr);
    EXPECT_EQ(letti(immagine(), area(qr)), QStringList{"QR-Code:Cartigo"});
    qr->Tag = QStringLiteral("40Q");
    doc.NotificaModificaOggetto(qr);
    EXPECT_EQ(letti(immagine(), area(qr), true), QStringList{"DATAMATRIX:Cartigo"});

    // a field's barcode shows a sample of its kind, with the field named in a corner
    c39->DataMember = QStringLiteral("Codice");
    c39->Tag = QStringLiteral("20");
    doc.NotificaModificaOggetto(c39);
    img = immagine();
    EXPECT_EQ(letti(img, area(c39)), QStringList{"CODE-128:" + DatiCampione(2)});
    EXPECT_EQ(img.pixel(px(c39->Left, c39->Top) + QPoint(2, 2)), qRgb(255, 255, 225));
    // so does one whose data hold merge fields
    c39->DataMember.clear();
    c39->ToolTipText = QStringLiteral("${Codice}");
    c39->Tag = QStringLiteral("30L");
    doc.NotificaModificaOggetto(c39);
    img = immagine();
    EXPECT_EQ(letti(img, area(c39)), QStringList{"QR-Code:" + DatiCampione(3)});
    EXPECT_EQ(img.pixel(px(c39->Left, c39->Top) + QPoint(2, 2)), qRgb(255, 255, 225));

    // data the kind refuses: no symbol, the kind and the reason instead
    ean->Tag = QStringLiteral("60");
    ean->ToolTipText = QStringLiteral("03600029145X");
    doc.NotificaModificaOggetto(ean);
    img = immagine();
    EXPECT_TRUE(letti(img, area(ean)).isEmpty());
    EXPECT_GT(pixelScuri(img, area(ean)), 20);  // the words
    EXPECT_EQ(Superficie::AvvisoBarcode(*ean, Superficie::DisegnoBarcodeOggetto(*ean)),
              QStringLiteral("UPC\n") + LoadResString(1445));
    auto* vuoto = doc.CreaBarcode(1000, 5000, 2400, 900);
    EXPECT_EQ(Superficie::AvvisoBarcode(*vuoto, Superficie::DisegnoBarcodeOggetto(*vuoto)),
              QStringLiteral("Code 39\n") + LoadResString(1616));
}

TEST(FinestraPrincipale, SuperficieGrigliaESnap)
{
    AssicuraApplicazione();
    InterazioneScriptata ui;
    frmCartigo f(&ui);
    PicBox* box = f.Superficie();
    box->ImpostaScala(ScalaSuperficie{15, 15});
    const QPoint punto(189, 172);  // grid dot 20, 10 on the label
    auto pixel = [&] { return box->grab().toImage().pixel(punto); };
    EXPECT_EQ(pixel(), qRgb(255, 255, 255));
    f.Pulsante(QStringLiteral("griglia"))->trigger();
    EXPECT_TRUE(f.Griglia());
    EXPECT_TRUE(f.Pulsante(QStringLiteral("griglia"))->isChecked());
    EXPECT_EQ(pixel(), qRgb(0, 0, 0));
    f.SetGriglia();
    EXPECT_FALSE(f.Pulsante(QStringLiteral("griglia"))->isChecked());
    EXPECT_EQ(pixel(), qRgb(255, 255, 255));

    f.Toolbar_ButtonClick(QStringLiteral("snap"));
    EXPECT_FALSE(f.Snap());
    EXPECT_FALSE(f.Pulsante(QStringLiteral("snap"))->isChecked());
    f.Pulsante(QStringLiteral("snap"))->trigger();
    EXPECT_TRUE(f.Snap());
    EXPECT_TRUE(f.Pulsante(QStringLiteral("snap"))->isChecked());
    EXPECT_FALSE(f.Documento().Modificato());

    // A new layout from the document redraws the sheet at its new size.
    const QPoint oltre = px(567 + 90 * 56.7, 2000);
    EXPECT_EQ(box->grab().toImage().pixel(oltre), Superficie::ColoreSfondo().rgb());
    LayoutEtichetta l;
    l.LarghezzaEtichetta = 100;
    f.Documento().ImpostaLayout(l);
    EXPECT_EQ(box->grab().toImage().pixel(oltre), qRgb(255, 255, 255));
    f.Documento().NuovaEtichetta();
    EXPECT_EQ(box->grab().toImage().pixel(oltre), Superficie::ColoreSfondo().rgb());
}

TEST(FinestraPrincipale, LeBarreSpostanoLaSuperficie)
{
    AssicuraApplicazione();
    InterazioneScriptata ui;
    frmCartigo f(&ui);
    f.resize(1000, 720);
    f.show();
    AreaDisegno* area = f.Area();
    f.ImpostaZoom(1, QPoint(0, 0));
    const ScalaSuperficie s = area->picBox()->Scala();
    area->LayoutDesigner();
    // The window's width up to the object panel beside the area.
    const int larghezza = area->mapTo(&f, QPoint(area->width(), 0)).x();
    EXPECT_EQ(area->HScroll()->maximum(), int(std::lround(std::fabs(19035 - larghezza * s.x))));
    EXPECT_EQ(area->HScroll()->singleStep(), 250);
    EXPECT_EQ(area->HScroll()->pageStep(), 1200);
    EXPECT_EQ(area->picBox()->pos(), QPoint(0, 0));
    area->VScroll()->setValue(600);
    EXPECT_EQ(area->picBox()->pos(), QPoint(0, int(std::lround(-600 / s.y))));
    area->HScroll()->setValue(1500);
    EXPECT_EQ(area->picBox()->pos().x(), int(std::lround(-1500 / s.x)));
    // The scroll bars stay at the area's right and bottom edges.
    EXPECT_EQ(area->VScroll()->geometry().right(), area->width() - 1);
    EXPECT_NEAR(area->HScroll()->geometry().bottom(), area->height() - 1, 1);
}

TEST(FinestraPrincipale, BandaDisegnataEdCancellata)
{
    AssicuraApplicazione();
    InterazioneScriptata ui;
    frmCartigo f(&ui);
    f.resize(800, 600);
    f.show();
    BandaTrascinamento* banda = f.Banda();
    ASSERT_NE(banda, nullptr);
    EXPECT_EQ(banda->geometry(), f.rect());
    const QPoint o = f.mapToGlobal(QPoint(0, 0));
    const QRect r(o + QPoint(300, 300), QSize(100, 50));

    const QImage prima = f.grab().toImage();
    banda->DrawDragRect(r);
    EXPECT_TRUE(banda->isVisible());
    const QImage con = f.grab().toImage();
    // The outline inverts what is under it; inside it nothing changes.
    const QRgb p0 = prima.pixel(300, 320), p1 = con.pixel(300, 320);
    EXPECT_EQ(qRed(p1), 255 - qRed(p0));
    EXPECT_EQ(qGreen(p1), 255 - qGreen(p0));
    EXPECT_EQ(con.pixel(350, 325), prima.pixel(350, 325));
    // Drawing the same rectangle again erases it.
    banda->DrawDragRect(r);
    EXPECT_TRUE(banda->Disegnati().isEmpty());
    EXPECT_FALSE(banda->isVisible());
    EXPECT_EQ(f.grab().toImage().pixel(300, 320), p0);
}

TEST(EtichettaDiEsempio, Render)
{
    AssicuraApplicazione();
    const QString percorso = QStringLiteral(CARTIGO_SOURCE_DIR "/samples/esempio.eti");
    const QByteArray dati = test::LeggiFile(percorso);
    if (dati.isEmpty()) GTEST_SKIP() << "samples/esempio.eti not found";
    DocumentoEtichetta doc;
    ASSERT_FALSE(
        FileEtichetta::Leggi(doc, FileEtichetta::DividiRighe(QString::fromLatin1(dati)), ImpostazioniLocali::inglese())
            .has_value());
    PicBox box(doc);
    box.ImpostaScala(ScalaSuperficie{15, 15});
    const QImage img = box.grab().toImage().convertToFormat(QImage::Format_RGB32);

    // The opaque light grey rectangle with its dark blue border two pixels thick.
    const QRgb blu = qRgb(0, 0, 128), grigio = qRgb(230, 230, 230);
    EXPECT_EQ(img.pixel(45, 200), blu);
    EXPECT_EQ(img.pixel(46, 200), blu);
    EXPECT_EQ(img.pixel(47, 200), grigio);
    EXPECT_EQ(img.pixel(332, 200), blu);
    EXPECT_EQ(img.pixel(150, 104), blu);
    EXPECT_EQ(img.pixel(150, 276), blu);
    // Outside the rectangle the label is white; below it the shadow.
    EXPECT_EQ(img.pixel(40, 200), qRgb(255, 255, 255));
    EXPECT_EQ(img.pixel(150, 287), qRgb(192, 192, 192));
    // The company name is drawn inside its text frame.
    EXPECT_GT(pixelScuri(img, QRect(QPoint(57, 111), QPoint(283, 133))), 30);
}
