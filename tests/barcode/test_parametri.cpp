// The barcode parameters dialog as a user clicks it.
#include "barcode/frmParametriBarcode.h"
#include "common/TestSupport.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
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
