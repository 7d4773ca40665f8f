#pragma once
// The interaction seam: everything the program asks of the user goes through here.
// The core never opens a window; the UI library implements this with Qt widgets,
// tests and the batch printer implement it with scripted answers.

#include <QColor>
#include <QFont>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

namespace cartigo {

enum class Icona { Nessuna, Esclamazione, Domanda, Informazione, Critico };
enum class Pulsanti { Ok, OkCancel, YesNo, YesNoCancel };
enum class Risposta { Ok, Cancel, Yes, No };

// A file dialog request. `filtro` is in Qt form: "Desc (*.x);;Desc2 (*.y)".
struct RichiestaFile {
    enum class Tipo { Apri, Salva };
    Tipo tipo = Tipo::Apri;
    QString titolo;
    QString filtro;
    QString filtroScelto;     // preselected entry of `filtro`
    QString cartella;         // start folder (may be empty)
    QString nomeFile;         // name shown in the name field
    QString estensioneDefault;  // without dot, added when the user types none
    bool confermaSovrascrittura = true;
    bool fileDeveEsistere = false;
};

// A modal dialog of the program, described by a request object that carries its
// input values in and its results out. Each dialog defines its own subclass; the
// Qt side maps the name to the real window, a script answers by mutating it.
class RichiestaDialogo {
public:
    virtual ~RichiestaDialogo() = default;
    virtual QString nome() const = 0;
};

class Interazione {
public:
    virtual ~Interazione() = default;

    // A message box. Returns the button pressed (Ok for a plain message).
    virtual Risposta messaggio(const QString& testo, const QString& titolo,
                               Pulsanti pulsanti = Pulsanti::Ok,
                               Icona icona = Icona::Esclamazione) = 0;
    virtual void beep() = 0;
    // File dialogs: the chosen path, or nothing when the user cancelled.
    virtual std::optional<QString> scegliFile(const RichiestaFile& richiesta) = 0;
    virtual std::optional<QColor> scegliColore(const QColor& iniziale, const QString& titolo) = 0;
    virtual std::optional<QFont> scegliCarattere(const QFont& iniziale, const QString& titolo) = 0;
    // Shows a modal dialog; true when it closed with its confirming button.
    virtual bool dialogo(RichiestaDialogo& richiesta) = 0;
    // The hourglass pointer for the whole application, and back.
    virtual void cursoreAttesa() {}
    virtual void cursoreNormale() {}
};

// Turns a Windows-style filter "Desc|*.x|Desc2|*.y" into Qt's "Desc (*.x);;Desc2 (*.y)".
// A description that already names its pattern in brackets is kept as it stands.
QString FiltroQt(const QString& filtroWindows);
// The entry number `n` (from 1) of a Qt filter string.
QString VoceFiltro(const QString& filtroQt, int n);

}  // namespace cartigo
