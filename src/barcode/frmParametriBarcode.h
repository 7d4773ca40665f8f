#pragma once
// The barcode parameters dialog: kind of barcode, position of its text, QR Code's error
// correction, Data Matrix's shape and EAN's and UPC's standard layout of the digits, with
// a preview of the symbol.

#include "barcode/DisegnoBarcode.h"
#include "barcode/RichiesteBarcode.h"

#include <QDialog>
#include <QWidget>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QRadioButton;

namespace cartigo {

// Paints a barcode layout, laid out in a box of `larghezza` x `altezza` twips, scaled to
// fit the widget; a layout with nothing to draw leaves the box empty.
class AnteprimaBarcode : public QWidget {
    Q_OBJECT
public:
    explicit AnteprimaBarcode(QWidget* parent = nullptr);
    void Mostra(const DisegnoBarcode& d, double larghezza, double altezza);
    const DisegnoBarcode& Disegno() const { return disegno_; }
    QSize sizeHint() const override { return {320, 160}; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    DisegnoBarcode disegno_;
    double larghezza_ = 1, altezza_ = 1;
};

class frmParametriBarcode : public QDialog {
    Q_OBJECT
public:
    frmParametriBarcode(RichiestaParametriBarcode& r, QWidget* parent = nullptr);
    QComboBox* cmbTipoBarcode() const { return cmb_; }
    QRadioButton* optAllineamento(int i) const { return opt_[i]; }
    QComboBox* cmbCorrezione() const { return cmbCorrezione_; }
    QRadioButton* optForma(int i) const { return optForma_[i]; }
    QCheckBox* chkCifreStandard() const { return chkCifreStandard_; }
    AnteprimaBarcode* Anteprima() const { return anteprima_; }
    // Under the preview: the message of refused data, or that the data are a sample.
    QLabel* lblAnteprima() const { return lblAnteprima_; }

private:
    void aggiorna();
    int posizione() const;

    RichiestaParametriBarcode& r_;
    QComboBox* cmb_ = nullptr;
    QGroupBox* frame1_ = nullptr;
    QRadioButton* opt_[3] = {};
    QGroupBox* fraCorrezione_ = nullptr;
    QComboBox* cmbCorrezione_ = nullptr;
    QGroupBox* fraForma_ = nullptr;
    QRadioButton* optForma_[2] = {};
    QCheckBox* chkCifreStandard_ = nullptr;
    AnteprimaBarcode* anteprima_ = nullptr;
    QLabel* lblAnteprima_ = nullptr;
};

void RegistraDialogoParametriBarcode();

}  // namespace cartigo
