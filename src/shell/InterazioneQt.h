#pragma once
// The interaction seam shown with real Qt widgets.

#include "shell/Interazione.h"

#include <QPointer>
#include <QWidget>
#include <functional>

namespace cartigo {

class InterazioneQt : public Interazione {
public:
    explicit InterazioneQt(QWidget* finestra = nullptr) : finestra_(finestra) {}
    void impostaFinestra(QWidget* w) { finestra_ = w; }
    QWidget* finestra() const { return finestra_; }

    Risposta messaggio(const QString& testo, const QString& titolo, Pulsanti pulsanti, Icona icona) override;
    void beep() override;
    std::optional<QString> scegliFile(const RichiestaFile& richiesta) override;
    std::optional<QColor> scegliColore(const QColor& iniziale, const QString& titolo) override;
    std::optional<QFont> scegliCarattere(const QFont& iniziale, const QString& titolo) override;
    bool dialogo(RichiestaDialogo& richiesta) override;
    void cursoreAttesa() override;
    void cursoreNormale() override;

    // Each dialog of the program registers how it is shown, under its request's name.
    using MostraDialogo = std::function<bool(RichiestaDialogo&, QWidget* genitore)>;
    static void RegistraDialogo(const QString& nome, MostraDialogo mostra);

private:
    QPointer<QWidget> finestra_;
};

}  // namespace cartigo
