#pragma once
// The data dialogs: frmConnettiDBMDB, frmSelezionaTabella, frmCollegaCampo and
// frmSelezioneRecords. Each shows one request of RichiesteDati.h; their checks live
// in the request, their messages go through the interaction seam.

#include "data/RichiesteDati.h"
#include "shell/Interazione.h"

#include <QDialog>
#include <array>

class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QGroupBox;
class QLabel;

namespace cartigo {

// Registers the dialogs with the Qt side of the seam (once).
void RegistraDialoghiDati();

class frmConnettiDBMDB : public QDialog {
    Q_OBJECT
public:
    frmConnettiDBMDB(RichiestaConnettiDB& r, Interazione& ui, QWidget* parent = nullptr);
    QLineEdit* txtNomeFileDB = nullptr;
    QLineEdit* txtPasswordDB = nullptr;
    QPushButton* cmdSfoglia = nullptr;
    QPushButton* cmdOk = nullptr;
    QPushButton* cmdCancel = nullptr;
    void cmdOk_Click();
    void cmdSfoglia_Click();

private:
    RichiestaConnettiDB& r_;
    Interazione& ui_;
};

// The password of a database server, asked when the server wants one.
class frmPasswordDB : public QDialog {
    Q_OBJECT
public:
    frmPasswordDB(RichiestaPasswordDatabase& r, Interazione& ui, QWidget* parent = nullptr);
    QLabel* lblIndirizzo = nullptr;
    QLineEdit* txtPassword = nullptr;
    QPushButton* cmdOk = nullptr;
    QPushButton* cmdCancel = nullptr;

private:
    RichiestaPasswordDatabase& r_;
};

class frmSelezionaTabella : public QDialog {
    Q_OBJECT
public:
    frmSelezionaTabella(RichiestaSelezionaTabella& r, Interazione& ui, QWidget* parent = nullptr);
    QListWidget* lstTabelle = nullptr;
    QPushButton* cmdOk = nullptr;
    QPushButton* cmdCancel = nullptr;
    void cmdOk_Click();

private:
    RichiestaSelezionaTabella& r_;
    Interazione& ui_;
};

class frmCollegaCampo : public QDialog {
    Q_OBJECT
public:
    frmCollegaCampo(RichiestaCollegaCampo& r, Interazione& ui, QWidget* parent = nullptr);
    QListWidget* lstCampi = nullptr;
    QPushButton* cmdOk = nullptr;
    QPushButton* cmdScollega = nullptr;
    QPushButton* cmdCancel = nullptr;
    void cmdOk_Click();

private:
    RichiestaCollegaCampo& r_;
    Interazione& ui_;
};

class frmSelezioneRecords : public QDialog {
    Q_OBJECT
public:
    frmSelezioneRecords(RichiestaSelezioneRecords& r, Interazione& ui, QWidget* parent = nullptr);
    QComboBox* cmbCampi = nullptr;
    std::array<QRadioButton*, 3> optCriteri{};
    std::array<QLineEdit*, 3> txtCampo{};
    QGroupBox* Frame1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QPushButton* cmdOk = nullptr;
    QPushButton* cmdCancel = nullptr;
    void optCriteri_Click(int indice);
    void cmdOk_Click();
    int CriterioScelto() const;

private:
    RichiestaSelezioneRecords& r_;
    Interazione& ui_;
};

}  // namespace cartigo
