#pragma once
// An Interazione that answers from a script and records everything it was asked.
// Used by tests and by the batch printer, where nobody sits at the screen.

#include "shell/Interazione.h"

#include <QList>
#include <deque>
#include <map>

namespace cartigo {

class InterazioneScriptata : public Interazione {
public:
    struct Messaggio {
        QString testo;
        QString titolo;
        Pulsanti pulsanti;
        Icona icona;
    };

    // What was shown, in order.
    QList<Messaggio> messaggi;
    QList<RichiestaFile> richiesteFile;
    QStringList dialoghi;  // names of the dialogs shown
    int beep_ = 0;
    int attese = 0;        // cursoreAttesa calls not yet matched by cursoreNormale

    // Answers, taken from the front. An empty queue answers Ok/Cancel-like defaults:
    // messages get `rispostaPredefinita`, file dialogs are cancelled.
    std::deque<Risposta> risposte;
    Risposta rispostaPredefinita = Risposta::Ok;
    std::deque<std::optional<QString>> file;
    std::deque<std::optional<QColor>> colori;
    std::deque<std::optional<QFont>> caratteri;
    // Per dialog name: a function that fills the request and says whether it was confirmed.
    // Without one, a dialog is cancelled.
    std::map<QString, std::function<bool(RichiestaDialogo&)>> gestoriDialogo;

    Risposta messaggio(const QString& testo, const QString& titolo, Pulsanti pulsanti,
                       Icona icona) override;
    void beep() override { ++beep_; }
    std::optional<QString> scegliFile(const RichiestaFile& richiesta) override;
    std::optional<QColor> scegliColore(const QColor& iniziale, const QString& titolo) override;
    std::optional<QFont> scegliCarattere(const QFont& iniziale, const QString& titolo) override;
    bool dialogo(RichiestaDialogo& richiesta) override;
    void cursoreAttesa() override { ++attese; }
    void cursoreNormale() override { attese = 0; }

    // The texts of all messages, for compact assertions.
    QStringList testi() const;
};

}  // namespace cartigo
