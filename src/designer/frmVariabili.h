#pragma once
// The Variables dialog: the label's counters, dates and values asked at print time.

#include "designer/ComandiEtichetta.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QSpinBox;
class QStackedWidget;

namespace cartigo {

class frmVariabili : public QDialog {
    Q_OBJECT
public:
    frmVariabili(RichiestaVariabili& r, Interazione& ui, QWidget* parent = nullptr);

    QListWidget* lstVariabili() const { return lista_; }
    QLineEdit* txtNome() const { return nome_; }
    QComboBox* cmbTipo() const { return tipo_; }
    QLabel* lblAvviso() const { return avviso_; }
    // Adds a variable (named `nome` when given) and selects it.
    void Aggiungi(const QString& nome = {});
    void Elimina();
    // Settings of the variable selected.
    QLineEdit* txtInizio() const { return inizio_; }
    QLineEdit* txtPasso() const { return passo_; }
    QSpinBox* spnCifre() const { return cifre_; }
    QComboBox* cmbAvanza() const { return avanza_; }
    QCheckBox* chkContinua() const { return continua_; }
    QLineEdit* txtFormato() const { return formato_; }
    QSpinBox* spnSpostamento() const { return spostamento_; }
    QComboBox* cmbUnita() const { return unita_; }
    QLineEdit* txtDomanda() const { return domanda_; }
    QLineEdit* txtPredefinito() const { return predefinito_; }
    QComboBox* cmbRegola() const { return regola_; }
    QSpinBox* spnMinima() const { return minima_; }
    QSpinBox* spnMassima() const { return massima_; }
    // What the dialog holds now.
    const VariabiliEtichetta& Variabili() const { return variabili_; }
    void cmdOk_Click();

private:
    void mostra(int riga);  // the boxes show the variable of `riga`
    void leggi();           // the boxes go into the variable shown
    void aggiornaAvviso();

    RichiestaVariabili& r_;
    Interazione& ui_;
    VariabiliEtichetta variabili_;
    int corrente_ = -1;
    bool carica_ = false;
    QListWidget* lista_ = nullptr;
    QLineEdit* nome_ = nullptr;
    QComboBox* tipo_ = nullptr;
    QStackedWidget* pagine_ = nullptr;
    QLineEdit *inizio_ = nullptr, *passo_ = nullptr, *formato_ = nullptr, *domanda_ = nullptr,
              *predefinito_ = nullptr;
    QSpinBox *cifre_ = nullptr, *spostamento_ = nullptr, *minima_ = nullptr, *massima_ = nullptr;
    QComboBox *avanza_ = nullptr, *unita_ = nullptr, *regola_ = nullptr;
    QCheckBox* continua_ = nullptr;
    QLabel* esempio_ = nullptr;  // the value a date or counter gives now
    QLabel* avviso_ = nullptr;
};

void RegistraDialogoVariabili();

}  // namespace cartigo
