#pragma once
// The sheet layout dialog: ten masked boxes for the layout values, Ok and Cancel.

#include "layout/FiltroCampi.h"
#include "layout/ImpostaPagina.h"
#include "shell/InterazioneQt.h"

#include <QDialog>
#include <array>
#include <memory>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace cartigo {

class frmImpostaPagina : public QDialog {
    Q_OBJECT
public:
    // Messages and beeps go through `ui`; without one the dialog shows real message boxes.
    explicit frmImpostaPagina(Interazione* ui = nullptr, QWidget* parent = nullptr);
    ~frmImpostaPagina() override;

    void Internazionalizza();
    // Fills the boxes from `layout`, each with three decimals.
    void CaricaLayout(const LayoutEtichetta& layout);
    // The layout as stored by the last successful Ok.
    const LayoutEtichetta& Layout() const { return layout_; }
    bool PremutoOk() const { return premutoOk_; }

    QLineEdit* Campo(int i) const { return campi_[size_t(i)]; }
    QPushButton* cmdOk() const { return cmdOk_; }
    QPushButton* cmdCancel() const { return cmdCancel_; }
    // The note under the origin fields: printing's shift to the right, which they compensate.
    QLabel* lblNotaOrigine() const { return notaOrigine_; }

    // Shows the dialog for a RichiestaImpostaPagina (registered with the interaction seam).
    static void Registra();

public Q_SLOTS:
    void cmdOk_Click();
    void cmdCancel_Click();

private:
    ValoriImpostaPagina valori() const;

    std::unique_ptr<InterazioneQt> uiQt_;
    Interazione* ui_;
    FiltroCampi* filtro_;
    std::array<QLineEdit*, ValoriImpostaPagina::NumeroCampi> campi_{};
    std::array<QLabel*, ValoriImpostaPagina::NumeroCampi> etichette_{};
    QGroupBox* fraLayout_ = nullptr;
    QGroupBox* fraOrigine_ = nullptr;
    QLabel* notaOrigine_ = nullptr;
    QPushButton* cmdOk_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
    LayoutEtichetta layout_;
    bool premutoOk_ = false;
};

}  // namespace cartigo
