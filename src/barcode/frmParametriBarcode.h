#pragma once
// The barcode parameters dialog: kind of barcode and position of its text.

#include "barcode/RichiesteBarcode.h"

#include <QDialog>

class QComboBox;
class QRadioButton;

namespace cartigo {

class frmParametriBarcode : public QDialog {
    Q_OBJECT
public:
    frmParametriBarcode(RichiestaParametriBarcode& r, QWidget* parent = nullptr);
    QComboBox* cmbTipoBarcode() const { return cmb_; }
    QRadioButton* optAllineamento(int i) const { return opt_[i]; }

private:
    QComboBox* cmb_ = nullptr;
    QRadioButton* opt_[3] = {};
};

void RegistraDialogoParametriBarcode();

}  // namespace cartigo
