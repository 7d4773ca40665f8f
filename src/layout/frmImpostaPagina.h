#pragma once
// The sheet layout dialog: the label products of the catalogue (search, list, a drawing
// of the sheet, "Save as template"), ten masked boxes for the layout values, "one label
// per page" for rolls and tapes, Ok and Cancel. The rules live in ValoriImpostaPagina
// and CatalogoEtichette; the window only shows them.

#include "layout/CatalogoEtichette.h"
#include "layout/FiltroCampi.h"
#include "layout/ImpostaPagina.h"
#include "shell/InterazioneQt.h"

#include <QDialog>

class QTimer;
#include <array>
#include <memory>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTableView;

namespace cartigo {

class ElencoProdotti;

class frmImpostaPagina : public QDialog {
    Q_OBJECT
public:
    // Messages and beeps go through `ui`; without one the dialog shows real message boxes.
    explicit frmImpostaPagina(Interazione* ui = nullptr, QWidget* parent = nullptr);
    ~frmImpostaPagina() override;

    void Internazionalizza();
    // Reads the catalogue from these folders (by default the system's and the user's,
    // where "Save as template" writes).
    void CaricaCatalogo(const QStringList& cartelleSistema, const QString& cartellaUtente);
    // Fills the boxes from `layout`, each with three decimals, and shows its product.
    void CaricaLayout(const LayoutEtichetta& layout);
    // The layout as stored by the last successful Ok.
    const LayoutEtichetta& Layout() const { return layout_; }
    // The layout the boxes and the choices describe now.
    LayoutEtichetta LayoutCorrente() const;
    bool PremutoOk() const { return premutoOk_; }
    const CatalogoEtichette& Catalogo() const { return catalogo_; }

    QLineEdit* Campo(int i) const { return campi_[size_t(i)]; }
    QPushButton* cmdOk() const { return cmdOk_; }
    QPushButton* cmdCancel() const { return cmdCancel_; }
    // The note under the origin fields: printing's shift to the right, which they compensate.
    QLabel* lblNotaOrigine() const { return notaOrigine_; }
    QLineEdit* txtCerca() const { return txtCerca_; }
    QTableView* lstProdotti() const { return lstProdotti_; }
    ElencoProdotti* Elenco() const { return elenco_; }
    QWidget* picFoglio() const { return picFoglio_; }
    // What the catalogue says: the product chosen, or why there is none.
    QLabel* lblNotaProdotto() const { return notaProdotto_; }
    QPushButton* cmdSalvaModello() const { return cmdSalvaModello_; }
    QCheckBox* chkUnaPerPagina() const { return chkUnaPerPagina_; }
    QComboBox* cmbRisoluzione() const { return cmbRisoluzione_; }
    QLineEdit* txtRiduzione() const { return txtRiduzione_; }
    // The thermal printer's group: darkness and speed (their lowest value is the
    // printer's own), media type and tracking (first item the printer's own), shifts.
    QSpinBox* spnScurezza() const { return spnScurezza_; }
    QSpinBox* spnVelocita() const { return spnVelocita_; }
    QComboBox* cmbTipoSupporto() const { return cmbTipoSupporto_; }
    QComboBox* cmbRilevamento() const { return cmbRilevamento_; }
    QLineEdit* txtSpostamentoAlto() const { return txtSpostamentoAlto_; }
    QLineEdit* txtSpostamentoSinistra() const { return txtSpostamentoSinistra_; }

    // Shows the dialog for a RichiestaImpostaPagina, and the one of "Save as template"
    // (registered with the interaction seam).
    static void Registra();

public Q_SLOTS:
    void cmdOk_Click();
    void cmdCancel_Click();
    // Puts the product of row `riga` of the list into the boxes.
    void lstProdotti_Click(int riga);
    void chkUnaPerPagina_Click();
    void cmdSalvaModello_Click();

protected:
    bool eventFilter(QObject* oggetto, QEvent* evento) override;

private:
    void leggiCampi();
    // The thermal group's choices into `v` (its shift boxes and its `supporto`).
    void leggiTermica(ValoriImpostaPagina& v) const;
    bool verificaCampi();
    void scriviCampi();
    void aggiorna();
    void selezionaProdotto(const QString& nome);
    // Takes the run's catalogue once it is read; false while it is being read.
    bool prendiCatalogoLetto();
    void mostraCatalogo();

    std::unique_ptr<InterazioneQt> uiQt_;
    Interazione* ui_;
    FiltroCampi* filtro_;
    CatalogoEtichette catalogo_;
    bool inLettura_ = false;              // the run's catalogue is still being read
    QTimer* attesaCatalogo_ = nullptr;    // looks for it until it is
    QStringList cartelleSistema_;
    QString cartellaUtente_;
    QString notaSalvataggio_;
    ElencoProdotti* elenco_ = nullptr;
    QGroupBox* fraCatalogo_ = nullptr;
    QLabel* lblCerca_ = nullptr;
    QLineEdit* txtCerca_ = nullptr;
    QTableView* lstProdotti_ = nullptr;
    QWidget* picFoglio_ = nullptr;
    QLabel* notaProdotto_ = nullptr;
    QPushButton* cmdSalvaModello_ = nullptr;
    QCheckBox* chkUnaPerPagina_ = nullptr;
    QLabel* lblRisoluzione_ = nullptr;
    QComboBox* cmbRisoluzione_ = nullptr;
    QLabel* lblRiduzione_ = nullptr;
    QLineEdit* txtRiduzione_ = nullptr;
    QGroupBox* fraTermica_ = nullptr;
    QLabel* notaTermica_ = nullptr;
    std::array<QLabel*, 6> etichetteTermica_{};
    QSpinBox* spnScurezza_ = nullptr;
    QSpinBox* spnVelocita_ = nullptr;
    QComboBox* cmbTipoSupporto_ = nullptr;
    QComboBox* cmbRilevamento_ = nullptr;
    QLineEdit* txtSpostamentoAlto_ = nullptr;
    QLineEdit* txtSpostamentoSinistra_ = nullptr;
    std::array<QLineEdit*, ValoriImpostaPagina::NumeroCampi> campi_{};
    std::array<QLabel*, ValoriImpostaPagina::NumeroCampi> etichette_{};
    QGroupBox* fraLayout_ = nullptr;
    QGroupBox* fraOrigine_ = nullptr;
    QLabel* notaOrigine_ = nullptr;
    QPushButton* cmdOk_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
    ValoriImpostaPagina valori_;
    LayoutEtichetta layout_;
    bool premutoOk_ = false;
    bool scrivendo_ = false;  // the boxes are being filled, not typed in
};

}  // namespace cartigo
