// The Edit menu and the drawing-order commands: undo and redo, delete, cut, copy, paste,
// select all, the text and picture editors, bring to front and send to back. The work is
// in ComandiEtichetta and the editor; the history is the document's.
#include "app/frmCartigo.h"

#include "shell/StringTable.h"

#include <QAction>

namespace cartigo {

void frmCartigo::mnuAnnulla_Click()
{
    editor_->Annulla();
}

void frmCartigo::mnuRipeti_Click()
{
    editor_->Ripeti();
}

void frmCartigo::aggiornaStoria()
{
    const QUndoStack& s = doc_.Storia();
    auto testo = [](int id, const QString& passo) {
        return passo.isEmpty() ? LoadResString(id) : LoadResString(id) + QLatin1Char(' ') + passo;
    };
    for (QAction* a : {Menu(QStringLiteral("mnuAnnulla")), Pulsante(QStringLiteral("annulla"))}) {
        a->setEnabled(s.canUndo());
        a->setText(testo(1500, s.undoText()));
        a->setToolTip(a->text());
    }
    for (QAction* a : {Menu(QStringLiteral("mnuRipeti")), Pulsante(QStringLiteral("ripeti"))}) {
        a->setEnabled(s.canRedo());
        a->setText(testo(1501, s.redoText()));
        a->setToolTip(a->text());
    }
}

void frmCartigo::mnuCancella_Click()
{
    comandi_.Cancella(Selezionati());
    ClearSelection();
    editor_->SelectMode = true;  // the next click selects
}

void frmCartigo::mnuTaglia_Click()
{
    comandi_.Taglia(Selezionati());
    ClearSelection();
    editor_->SelectMode = true;
}

void frmCartigo::mnuCopia_Click()
{
    comandi_.Copia(Selezionati());
}

void frmCartigo::mnuIncolla_Click()
{
    if (!comandi_.Incolla()) return;
    // What was pasted becomes the selection, ready to be moved.
    editor_->StrumentoSelezione();
    editor_->ImpostaSelezione(comandi_.Incollati());
    editor_->ShowHandles(true);
}

void frmCartigo::mnuSelezionaTutto_Click()
{
    editor_->SelezionaTutto();
}

void frmCartigo::mnuModificaTesto_Click()
{
    comandi_.ModificaTesto(Selezionati());
}

void frmCartigo::mnuModificaImmagine_Click()
{
    comandi_.ModificaImmagine(Selezionati());
}

void frmCartigo::mnuPortaAvanti_Click()
{
    comandi_.PortaAvanti(Selezionati());
}

void frmCartigo::mnuPortaIndietro_Click()
{
    comandi_.PortaIndietro(Selezionati());
}

}  // namespace cartigo
