#include "layout/FiltroCampi.h"

#include "label/FileEtichetta.h"
#include "label/Locale.h"
#include "layout/CampoNumerico.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>

namespace cartigo {

namespace {
const char* const kTipo = "cartigoTipoCampo";
const char* const kLimite = "cartigoLimite";
const char* const kDentro = "cartigoDentro";  // the box has had its entry and not yet its exit

int limite(QLineEdit* campo)
{
    const QVariant v = campo->property(kLimite);
    return v.isValid() ? v.toInt() : campo->maxLength();
}

// The mask may leave more characters than the limit (typing in the integer part
// of a full box): the box then takes them, and the limit returns once it is short again.
void mostra(QLineEdit* campo, const modCartigo::StatoCampo& s)
{
    campo->setMaxLength(std::max(limite(campo), int(s.testo.size())));
    campo->setText(s.testo);
    if (s.selLength > 0)
        campo->setSelection(s.selStart, s.selLength);
    else
        campo->setCursorPosition(s.selStart);
}

modCartigo::StatoCampo leggi(const QLineEdit* campo)
{
    if (campo->hasSelectedText())
        return {campo->text(), int(campo->selectionStart()), int(campo->selectedText().size())};
    return {campo->text(), campo->cursorPosition(), 0};
}
}  // namespace

namespace modCartigo {

void ColoraCampo(QWidget* campo, const QColor& colore)
{
    QPalette p = campo->palette();
    p.setColor(QPalette::Base, colore);
    campo->setPalette(p);
}

void EntraCampo(QLineEdit* campo)
{
    ColoraCampo(campo, ColoreCampoAttivo());
    const QString t = TestoTrim(campo->text());
    if (t != campo->text()) campo->setText(t);
    if (!t.isEmpty()) campo->selectAll();
}

void EsciCampo(QLineEdit* campo)
{
    ColoraCampo(campo, campo->isEnabled() ? ColoreCampoNormale() : ColoreCampoDisabilitato());
    const QString t = TestoTrim(campo->text());
    if (t != campo->text()) campo->setText(t);
}

void EntraCampoNumerico(QLineEdit* campo)
{
    ColoraCampo(campo, ColoreCampoAttivo());
    if (!TestoTrim(campo->text()).isEmpty()) campo->selectAll();
}

void EsciCampoNumerico(QLineEdit* campo)
{
    mostra(campo, {TestoUscitaCampoNumerico(campo->text(), ImpostazioniLocali::correnti()), 0, 0});
    ColoraCampo(campo, ColoreCampoNormale());
}

void AbilitaCampo(QWidget* campo)
{
    campo->setEnabled(true);
    if (qobject_cast<QLineEdit*>(campo) || qobject_cast<QComboBox*>(campo) || qobject_cast<QAbstractItemView*>(campo))
        ColoraCampo(campo, ColoreCampoNormale());
}

void DisabilitaCampo(QWidget* campo, bool svuota)
{
    campo->setEnabled(false);
    if (auto* t = qobject_cast<QLineEdit*>(campo)) {
        if (svuota) t->clear();
    }
    if (qobject_cast<QLineEdit*>(campo) || qobject_cast<QComboBox*>(campo) || qobject_cast<QAbstractItemView*>(campo))
        ColoraCampo(campo, ColoreCampoDisabilitato());
}

}  // namespace modCartigo

FiltroCampi::FiltroCampi(Interazione* ui, QObject* parent) : QObject(parent), ui_(ui) {}

void FiltroCampi::Installa(QLineEdit* campo, TipoCampo tipo)
{
    campo->setProperty(kTipo, int(tipo));
    if (tipo == TipoCampo::Numerico) {
        campo->setProperty(kLimite, 10);
        campo->setMaxLength(10);
    }
    campo->installEventFilter(this);
}

void FiltroCampi::beep()
{
    if (ui_)
        ui_->beep();
    else
        QApplication::beep();
}

bool FiltroCampi::eventFilter(QObject* oggetto, QEvent* evento)
{
    auto* campo = qobject_cast<QLineEdit*>(oggetto);
    if (!campo || !campo->property(kTipo).isValid()) return false;
    const auto tipo = TipoCampo(campo->property(kTipo).toInt());
    switch (evento->type()) {
        case QEvent::FocusIn: {
            const auto motivo = static_cast<QFocusEvent*>(evento)->reason();
            // The window coming back gives the focus again to a box that never lost it.
            if (campo->property(kDentro).toBool()) return false;
            campo->setProperty(kDentro, true);
            if (tipo == TipoCampo::Libero) {
                // Its text whole when reached with the keyboard; the caret stays where it
                // was when the focus comes back from a button of the same dialog.
                modCartigo::ColoraCampo(campo, modCartigo::ColoreCampoAttivo());
                if (motivo == Qt::TabFocusReason || motivo == Qt::BacktabFocusReason ||
                    motivo == Qt::ShortcutFocusReason)
                    campo->selectAll();
                return false;
            }
            auto entra = tipo == TipoCampo::Numerico ? &modCartigo::EntraCampoNumerico : &modCartigo::EntraCampo;
            entra(campo);
            if (motivo == Qt::MouseFocusReason) {
                // The click that gave the focus would place the caret afterwards.
                QPointer<QLineEdit> p(campo);
                QTimer::singleShot(0, campo, [p, tipo] {
                    if (p && p->hasFocus() && !modCartigo::TestoTrim(p->text()).isEmpty() &&
                        (tipo == TipoCampo::Numerico || !p->text().isEmpty()))
                        p->selectAll();
                });
            }
            return false;
        }
        case QEvent::FocusOut: {
            const auto motivo = static_cast<QFocusEvent*>(evento)->reason();
            if (motivo == Qt::ActiveWindowFocusReason || motivo == Qt::PopupFocusReason)
                return false;  // a message box or menu on top: the box keeps the focus
            campo->setProperty(kDentro, false);
            if (tipo == TipoCampo::Libero)
                modCartigo::ColoraCampo(campo, campo->isEnabled() ? modCartigo::ColoreCampoNormale()
                                                                  : modCartigo::ColoreCampoDisabilitato());
            else if (tipo == TipoCampo::Numerico)
                modCartigo::EsciCampoNumerico(campo);
            else
                modCartigo::EsciCampo(campo);
            return false;
        }
        case QEvent::KeyPress:
            return tasto(campo, tipo, static_cast<QKeyEvent*>(evento));
        default:
            return false;
    }
}

// Returns true when the key was handled here and must not reach the box.
bool FiltroCampi::tasto(QLineEdit* campo, TipoCampo tipo, QKeyEvent* e)
{
    if (tipo == TipoCampo::Testo || tipo == TipoCampo::Libero || campo->isReadOnly()) return false;
    // Shortcuts (copy, paste, cut, undo, select all) keep working; what they leave
    // in a masked box is formatted again when the box is left.
    if (e->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;

    int codice = 0;
    if (e->key() == Qt::Key_Backspace) {
        codice = modCartigo::TastoBackspace;
    } else if (e->key() == Qt::Key_Delete) {
        if (tipo != TipoCampo::Numerico || !modCartigo::TastoGiuCampoNumerico(46)) return false;
        codice = modCartigo::TastoCancellaAvanti;
    } else {
        const QString testo = e->text();
        // Keys without a character (arrows, Home, End, Tab, Enter, Escape) are the box's or the dialog's.
        if (testo.size() != 1 || testo.at(0).unicode() < 32 || e->key() == Qt::Key_Return ||
            e->key() == Qt::Key_Enter || e->key() == Qt::Key_Escape || e->key() == Qt::Key_Tab)
            return false;
        codice = testo.at(0).unicode();
    }

    if (tipo == TipoCampo::Cifre) {
        bool suona = false;
        const int r = modCartigo::FiltroCifre(codice, &suona);
        if (suona) beep();
        return r == 0;
    }

    const auto esito =
        modCartigo::TastoCampoNumerico(leggi(campo), codice, limite(campo), ImpostazioniLocali::correnti());
    if (esito.beep) beep();
    if (esito.tasto != 0) return false;  // the box inserts the key itself
    if (!esito.beep) mostra(campo, esito.stato);
    return true;
}

}  // namespace cartigo
