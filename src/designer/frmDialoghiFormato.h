#pragma once
// The small dialogs of the formatting commands: alignment, text editor, picture editor,
// a shape's outline and fill.
// Each shows a request of ComandiEtichetta and hands the choice back in it.

#include "designer/ComandiEtichetta.h"
#include "shell/Interazione.h"

#include <QDialog>

class QCheckBox;
class QDoubleSpinBox;
class QGroupBox;
class QPushButton;
class QComboBox;
class QLineEdit;
class QRadioButton;

namespace cartigo {

class frmAllineamento : public QDialog {
    Q_OBJECT
public:
    frmAllineamento(RichiestaAllineamento& r, QWidget* parent = nullptr);
    void Internazionalizza();
    QRadioButton* opzione(int i) const { return opt_[i]; }

private:
    RichiestaAllineamento& r_;
    QRadioButton* opt_[3] = {};
    QGroupBox* frame_ = nullptr;
};

class frmModificaTesto : public QDialog {
    Q_OBJECT
public:
    frmModificaTesto(RichiestaModificaTesto& r, QWidget* parent = nullptr);
    QLineEdit* txtTesto() const { return txt_; }
    // The fields to insert; null when the label has no record set.
    QComboBox* cmbCampi() const { return cmbCampi_; }

private:
    QLineEdit* txt_ = nullptr;
    QComboBox* cmbCampi_ = nullptr;
};

class frmModificaImmagine : public QDialog {
    Q_OBJECT
public:
    frmModificaImmagine(RichiestaModificaImmagine& r, Interazione& ui, QWidget* parent = nullptr);
    QLineEdit* txtNomeFile() const { return txt_; }

private:
    QLineEdit* txt_ = nullptr;
};

// The outline and fill of lines and ellipses; the colours are chosen through the seam.
class frmForma : public QDialog {
    Q_OBJECT
public:
    frmForma(RichiestaForma& r, Interazione& ui, QWidget* parent = nullptr);
    QDoubleSpinBox* txtSpessore() const { return spessore_; }
    QComboBox* cmbTratto() const { return tratto_; }
    QCheckBox* chkPieno() const { return pieno_; }  // null for lines alone
    QPushButton* cmdColoreContorno() const { return coloreContorno_; }
    QPushButton* cmdColoreRiempimento() const { return coloreRiempimento_; }

private:
    QDoubleSpinBox* spessore_ = nullptr;
    QComboBox* tratto_ = nullptr;
    QCheckBox* pieno_ = nullptr;
    QPushButton* coloreContorno_ = nullptr;
    QPushButton* coloreRiempimento_ = nullptr;
};

// Registers the dialogs with the Qt side of the interaction seam.
void RegistraDialoghiFormato();

}  // namespace cartigo
