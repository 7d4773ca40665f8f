#pragma once
// The print options dialog and the wait window of the print job.

#include "print/OpzioniStampa.h"
#include "print/StampaEtichette.h"

#include <QDialog>
#include <QPointer>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace cartigo {

class FiltroCampi;

class frmStampa : public QDialog {
    Q_OBJECT
public:
    frmStampa(RichiestaOpzioniStampa& r, Interazione& ui, QWidget* parent = nullptr);
    void Internazionalizza();

    QRadioButton* optStampa(int i) const { return opt_[i]; }
    QLineEdit* txtNumeroEtichette() const { return txtNumero_; }
    QLineEdit* txtPrimaEtichetta() const { return txtPrima_; }
    QCheckBox* chkStampaBordi() const { return chkBordi_; }
    QCheckBox* chkStampaCrocicchi() const { return chkCrocicchi_; }
    QLabel* lblRisoluzione() const { return risoluzione_; }
    QPushButton* cmdOk() const { return ok_; }
    // The boxes of the values asked at print time, one for each, in the label's order.
    const QList<QLineEdit*>& txtValori() const { return valori_; }

private:
    void cmdOk_Click();

    RichiestaOpzioniStampa& r_;
    Interazione& ui_;
    FiltroCampi* filtro_ = nullptr;
    QGroupBox* frame1_ = nullptr;
    QLabel* label1_ = nullptr;
    QRadioButton* opt_[2] = {};
    QLineEdit* txtNumero_ = nullptr;
    QLineEdit* txtPrima_ = nullptr;
    QCheckBox* chkBordi_ = nullptr;
    QCheckBox* chkCrocicchi_ = nullptr;
    QPushButton* ok_ = nullptr;
    QGroupBox* frameValori_ = nullptr;
    QList<QLineEdit*> valori_;
    QLabel* risoluzione_ = nullptr;
};

// The label check's findings as a list: clicking one closes the list and names it.
class frmControllo : public QDialog {
    Q_OBJECT
public:
    frmControllo(RichiestaRilievi& r, QWidget* parent = nullptr);
    QListWidget* lstRilievi() const { return lista_; }

private:
    RichiestaRilievi& r_;
    QListWidget* lista_ = nullptr;
};

// The wait window: "ATTENDERE", the label counter, and a Cancel button that stops the job.
class frmAttesa : public QDialog, public FinestraAttesa {
    Q_OBJECT
public:
    explicit frmAttesa(QWidget* parent = nullptr);
    void Mostra() override;
    void Aggiorna(const QString& testo) override;
    bool Annullata() const override { return annullata_; }
    void Chiudi() override;
    QLabel* lblInfo() const { return info_; }

protected:
    void reject() override { annullata_ = true; }

private:
    bool eventFilter(QObject* obj, QEvent* e) override;
    // A modal window the job opens (the preview filling in) would block this one: this one
    // moves onto it, so Cancel keeps working. Over a window with a band of tools above its
    // main area (the preview's pages) it becomes one line at that band's right end, so the
    // first page stays in sight; elsewhere it sits in the window's corner.
    void sopraFinestraModale();
    void inBarra(QWidget* modale);

    QLabel* info_ = nullptr;
    bool annullata_ = false;
    QPointer<QWidget> genitore_;
    QPointer<QWidget> ospite_;  // the modal window it shows in, as one line in its band
};

void RegistraDialogoStampa();

}  // namespace cartigo
