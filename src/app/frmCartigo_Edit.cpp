// The Edit menu and the drawing-order commands: delete, copy, paste, the text and
// picture editors, bring to front and send to back. The work is in ComandiEtichetta.
#include "app/frmCartigo.h"

namespace cartigo {

void frmCartigo::mnuCancella_Click()
{
    comandi_.Cancella(CurrentObject());
    ClearSelection();
    editor_->SelectMode = true;  // the next click selects
}

void frmCartigo::mnuCopia_Click()
{
    comandi_.Copia(CurrentObject());
}

void frmCartigo::mnuIncolla_Click()
{
    comandi_.Incolla();
}

void frmCartigo::mnuModificaTesto_Click()
{
    comandi_.ModificaTesto(CurrentObject());
}

void frmCartigo::mnuModificaImmagine_Click()
{
    comandi_.ModificaImmagine(CurrentObject());
}

void frmCartigo::mnuPortaAvanti_Click()
{
    comandi_.PortaAvanti(CurrentObject());
}

void frmCartigo::mnuPortaIndietro_Click()
{
    comandi_.PortaIndietro(CurrentObject());
}

}  // namespace cartigo
