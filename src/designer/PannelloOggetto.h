#pragma once
// The object panel: the selected object's kind, its frame in millimetres (editable, two
// decimals) and its settings, so that nothing needs a dialog to be seen. A frame typed
// here is reported with `corniceScelta`; the window makes it one step of the history.

#include "label/ModificheEtichetta.h"

#include <QWidget>
#include <array>

class QDoubleSpinBox;
class QFormLayout;
class QGroupBox;
class QLabel;

namespace cartigo {

class PannelloOggetto : public QWidget {
    Q_OBJECT
public:
    explicit PannelloOggetto(QWidget* parent = nullptr);

    // Shows an object, or none ("No object selected").
    void Mostra(const OggettoEtichetta* oggetto);
    // The captions again, in the current language.
    void Internazionalizza();

    QDoubleSpinBox* Campo(int i) const { return campi_[size_t(i)]; }  // X, Y, width, height
    QFormLayout* Righe() const { return righe_; }

Q_SIGNALS:
    void corniceScelta(const cartigo::Cornice& cornice);

private:
    void modificato();

    QLabel* titolo_;
    QGroupBox* gruppo_;
    std::array<QDoubleSpinBox*, 4> campi_{};
    std::array<QLabel*, 4> nomi_{};
    QFormLayout* righe_;
    bool riempimento_ = false;
    const OggettoEtichetta* mostrato_ = nullptr;
};

}  // namespace cartigo
