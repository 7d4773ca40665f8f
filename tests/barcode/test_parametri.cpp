// The barcode parameters dialog as a user clicks it.
#include "barcode/frmParametriBarcode.h"
#include "common/TestSupport.h"
#include "shell/StringTable.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace cartigo;

namespace {
QPushButton* ok(QDialog& d)
{
    return d.findChild<QPushButton*>(QStringLiteral("cmdOk"));
}
// One click near the left edge (on a radio button's circle), far enough in time from
// the last one not to make a double click.
void clic(QWidget* w)
{
    QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(6, w->height() / 2), QApplication::doubleClickInterval() + 50);
}
}  // namespace

TEST(FrmParametriBarcode, TextPositionIsOneExclusiveChoice)
{
    test::AssicuraApplicazione();
    {
        // a click on the checked "Sotto" keeps it: OK stores "below", not "hidden"
        RichiestaParametriBarcode r;
        r.opzioneTesto = 1;
        frmParametriBarcode f(r);
        f.show();
        clic(f.optAllineamento(1));
        EXPECT_TRUE(f.optAllineamento(1)->isChecked());
        clic(ok(f));
        EXPECT_EQ(r.opzioneTesto, 1);
        EXPECT_EQ(f.result(), QDialog::Accepted);
    }
    {
        // choosing another option leaves exactly that one checked
        RichiestaParametriBarcode r;
        r.opzioneTesto = 1;
        frmParametriBarcode f(r);
        f.show();
        clic(f.optAllineamento(0));
        clic(f.optAllineamento(0));
        EXPECT_TRUE(f.optAllineamento(0)->isChecked());
        EXPECT_FALSE(f.optAllineamento(1)->isChecked());
        EXPECT_FALSE(f.optAllineamento(2)->isChecked());
        f.cmbTipoBarcode()->setCurrentIndex(1);
        clic(ok(f));
        EXPECT_EQ(r.opzioneTesto, 0);
        EXPECT_EQ(r.tipoBarcode, 1);
    }
    {
        // an unknown stored position starts with none checked, until one is picked
        RichiestaParametriBarcode r;
        r.opzioneTesto = -1;
        frmParametriBarcode f(r);
        f.show();
        for (int i = 0; i < 3; ++i) EXPECT_FALSE(f.optAllineamento(i)->isChecked()) << i;
        clic(f.optAllineamento(2));
        clic(ok(f));
        EXPECT_EQ(r.opzioneTesto, 2);
    }
}

TEST(FrmParametriBarcode, EveryKindWithItsOptionsAndAPreview)
{
    test::AssicuraApplicazione();
    RichiestaParametriBarcode r;
    r.dati = QStringLiteral("https://example.com/cartigo/0123456789");
    r.larghezza = 2400;
    r.altezza = 1200;
    frmParametriBarcode f(r);
    f.show();
    QStringList voci;
    for (int i = 0; i < f.cmbTipoBarcode()->count(); ++i) voci << f.cmbTipoBarcode()->itemText(i);
    EXPECT_EQ(voci,
              (QStringList{"Code 39", "EAN 13", "Code 128", "QR Code", "Data Matrix", "PDF417", "UPC", "ITF-14"}));
    const auto abilitati = [&] {
        return QString::number(f.findChild<QWidget*>(QStringLiteral("Frame1"))->isEnabled()) +
               QString::number(f.findChild<QWidget*>(QStringLiteral("fraCorrezione"))->isEnabled()) +
               QString::number(f.findChild<QWidget*>(QStringLiteral("fraForma"))->isEnabled());
    };
    // Code 39: the text position only; the preview shows the symbol with its text
    EXPECT_EQ(abilitati(), QStringLiteral("100"));
    EXPECT_FALSE(f.Anteprima()->Disegno().rettangoli.isEmpty());
    EXPECT_TRUE(f.Anteprima()->Disegno().conTesto);

    // QR Code: the level, no text; a stronger level, more modules
    f.cmbTipoBarcode()->setCurrentIndex(3);
    EXPECT_EQ(abilitati(), QStringLiteral("010"));
    EXPECT_EQ(f.cmbCorrezione()->currentText(), QStringLiteral("M (15%)"));
    EXPECT_FALSE(f.Anteprima()->Disegno().conTesto);
    const int moduliM = f.Anteprima()->Disegno().moduli;
    f.cmbCorrezione()->setCurrentIndex(3);
    EXPECT_GT(f.Anteprima()->Disegno().moduli, moduliM);

    // Data Matrix: the shape; a rectangle is wider than high
    f.cmbTipoBarcode()->setCurrentIndex(4);
    EXPECT_EQ(abilitati(), QStringLiteral("001"));
    EXPECT_TRUE(f.optForma(0)->isChecked());
    clic(f.optForma(1));
    QRectF contorno;
    for (const auto& q : f.Anteprima()->Disegno().rettangoli)
        contorno |= QRectF(QPointF(q.x1, q.y1), QPointF(q.x2, q.y2));
    EXPECT_GT(contorno.width(), 2 * contorno.height());
    EXPECT_TRUE(f.lblAnteprima()->text().isEmpty());

    // data the kind refuses: no symbol, the reason under the preview
    f.cmbTipoBarcode()->setCurrentIndex(6);
    EXPECT_TRUE(f.Anteprima()->Disegno().vuoto());
    EXPECT_EQ(f.lblAnteprima()->text(), LoadResString(1445));
    EXPECT_EQ(abilitati(), QStringLiteral("100"));

    // CARTIGO_BARCODE_PNG names a folder that keeps a picture of the dialog for a look
    if (const QString cartella = qEnvironmentVariable("CARTIGO_BARCODE_PNG"); !cartella.isEmpty()) {
        f.cmbTipoBarcode()->setCurrentIndex(3);
        f.grab().save(cartella + QStringLiteral("/frmParametriBarcode.png"));
    }
    f.cmbTipoBarcode()->setCurrentIndex(4);
    clic(ok(f));
    EXPECT_EQ(r.tipoBarcode, 4);
    EXPECT_EQ(r.correzione, CorrezioneQR::H);
    EXPECT_EQ(r.forma, FormaDataMatrix::Rettangolare);
}

TEST(FrmParametriBarcode, AFieldsBarcodePreviewsASampleOfEachKind)
{
    test::AssicuraApplicazione();
    RichiestaParametriBarcode r;
    r.campo = QStringLiteral("Codice");
    r.tipoBarcode = 6;
    r.correzione = CorrezioneQR::Q;
    r.forma = FormaDataMatrix::Rettangolare;
    frmParametriBarcode f(r);
    EXPECT_EQ(f.cmbTipoBarcode()->currentIndex(), 6);
    EXPECT_EQ(f.cmbCorrezione()->currentIndex(), 2);
    EXPECT_TRUE(f.optForma(1)->isChecked());
    for (int t = 0; t < f.cmbTipoBarcode()->count(); ++t) {
        f.cmbTipoBarcode()->setCurrentIndex(t);
        EXPECT_FALSE(f.Anteprima()->Disegno().rettangoli.isEmpty()) << t;
        EXPECT_EQ(f.lblAnteprima()->text(), LoadResString(1615).arg(QStringLiteral("Codice"))) << t;
    }
}
