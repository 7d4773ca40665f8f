#include "barcode/frmParametriBarcode.h"

#include "shell/InterazioneQt.h"
#include "shell/StringTable.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace cartigo {

frmParametriBarcode::frmParametriBarcode(RichiestaParametriBarcode& r, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmParametriBarcode"));
    setWindowTitle(LoadResString(211));
    auto* lay = new QVBoxLayout(this);
    auto* label1 = new QLabel(LoadResString(212), this);
    label1->setObjectName(QStringLiteral("Label1"));
    cmb_ = new QComboBox(this);
    cmb_->setObjectName(QStringLiteral("cmbTipoBarcode"));
    cmb_->addItems({QStringLiteral("Code 39"), QStringLiteral("EAN 13")});
    cmb_->setCurrentIndex(r.tipoBarcode == 1 ? 1 : 0);
    label1->setBuddy(cmb_);
    lay->addWidget(label1);
    lay->addWidget(cmb_);
    auto* frame = new QGroupBox(LoadResString(213), this);
    frame->setObjectName(QStringLiteral("Frame1"));
    auto* fl = new QVBoxLayout(frame);
    // One exclusive group: a click on the checked option keeps it. An unknown stored
    // position starts with none checked, until the user picks one.
    auto* gruppo = new QButtonGroup(this);
    for (int i = 0; i < 3; ++i) {
        opt_[i] = new QRadioButton(LoadResString(214 + i), frame);
        opt_[i]->setObjectName(QStringLiteral("optAllineamento%1").arg(i));
        gruppo->addButton(opt_[i], i);
        fl->addWidget(opt_[i]);
    }
    if (r.opzioneTesto >= 0 && r.opzioneTesto < 3)
        opt_[r.opzioneTesto]->setChecked(true);
    lay->addWidget(frame);
    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    box->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("cmdOk"));
    box->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cmdCancel"));
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(box, &QDialogButtonBox::accepted, this, [this, &r] {
        r.tipoBarcode = cmb_->currentIndex();
        r.opzioneTesto = opt_[1]->isChecked() ? 1 : opt_[0]->isChecked() ? 0 : 2;
        accept();
    });
    lay->addWidget(box);
}

void RegistraDialogoParametriBarcode()
{
    InterazioneQt::RegistraDialogo(RichiestaParametriBarcode::Nome, [](RichiestaDialogo& d, QWidget* genitore) {
        frmParametriBarcode f(static_cast<RichiestaParametriBarcode&>(d), genitore);
        return f.exec() == QDialog::Accepted;
    });
}

}  // namespace cartigo
