#pragma once
// The input-field behaviours bound to QLineEdit: focus colours, select-all on
// entry, trimming on exit, the whole-number filter and the three-decimal mask.
// One event filter serves every box; the rules themselves are in CampoNumerico.h.

#include "shell/Interazione.h"

#include <QObject>
#include <QPointer>

class QColor;
class QKeyEvent;
class QLineEdit;
class QWidget;

namespace cartigo {

enum class TipoCampo {
    Testo,     // highlight and trimming only
    Libero,    // highlight only: the text keeps its spaces (a label's own text)
    Cifre,     // plus the whole-number filter
    Numerico,  // the three-decimal mask (its own highlight, reformatting on exit)
};

class FiltroCampi : public QObject {
    Q_OBJECT
public:
    // Beeps go through `ui` (QApplication::beep when none).
    explicit FiltroCampi(Interazione* ui = nullptr, QObject* parent = nullptr);

    // Gives `campo` the behaviour of `tipo`. A masked box gets its 10-character limit.
    void Installa(QLineEdit* campo, TipoCampo tipo);

protected:
    bool eventFilter(QObject* oggetto, QEvent* evento) override;

private:
    bool tasto(QLineEdit* campo, TipoCampo tipo, QKeyEvent* e);
    void beep();
    Interazione* ui_;
};

namespace modCartigo {
// Entering and leaving a box (text and whole-number boxes).
void EntraCampo(QLineEdit* campo);
void EsciCampo(QLineEdit* campo);
// Entering and leaving a masked box.
void EntraCampoNumerico(QLineEdit* campo);
void EsciCampoNumerico(QLineEdit* campo);
// Enables a box with the white background; disables it with the button face,
// emptying a text box when `svuota`. Other widgets are only enabled or disabled.
void AbilitaCampo(QWidget* campo);
void DisabilitaCampo(QWidget* campo, bool svuota = false);
// The background colour of a box.
void ColoraCampo(QWidget* campo, const QColor& colore);
}  // namespace modCartigo

}  // namespace cartigo
