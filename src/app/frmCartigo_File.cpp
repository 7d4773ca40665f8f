// The File menu of the main window, start-up and closing.
#include "app/frmCartigo.h"

#include <QCloseEvent>

namespace cartigo {

bool frmCartigo::Avvia(const AvvioProgramma& avvio)
{
    if (avvio.carica) gestore_.CaricaEtichetta(avvio.fileEtichetta, avvio.nomeDatabase, avvio.passwordDatabase);
    zoomIniziale();
    if (avvio.stampaEdEsci) {
        esceDopoStampa_ = true;
        mnuStampa_Click();
        return false;
    }
    return true;
}

void frmCartigo::mnuNuovo_Click()
{
    ClearSelection();
    bool cancel = false;
    gestore_.ChiediSalvataggio(cancel);
    if (cancel) return;
    doc_.NuovaEtichetta();
    zoomIniziale();
}

void frmCartigo::mnuApri_Click()
{
    ClearSelection();
    bool cancel = false;
    gestore_.ChiediSalvataggio(cancel);
    if (cancel) return;
    if (gestore_.CaricaEtichetta()) zoomIniziale();
}

void frmCartigo::mnuSalva_Click()
{
    ClearSelection();
    bool cancel = false;
    gestore_.SalvaEtichetta(cancel);
}

void frmCartigo::mnuEsci_Click()
{
    ClearSelection();
    close();
}

void frmCartigo::closeEvent(QCloseEvent* e)
{
    bool cancel = false;
    gestore_.ChiediSalvataggio(cancel);
    if (cancel)
        e->ignore();
    else
        e->accept();
}

}  // namespace cartigo
