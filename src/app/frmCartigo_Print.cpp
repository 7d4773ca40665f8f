// The Print command of the main window.
#include "app/frmCartigo.h"
#include "data/SelezioneStampa.h"
#include "print/StampaEtichette.h"
#include "print/frmStampa.h"

namespace cartigo {

void frmCartigo::mnuStampa_Click()
{
    ClearSelection();
    StampaEtichette job(doc_, *ui_);
    job.titolo = windowTitle();
    job.ApriRecordset = [this] { return ApriSelezioneStampa(Database(), doc_.Collegamento()); };
    // The wait window only with real dialogs; a scripted run shows none.
    if (uiQt_)
        job.CreaAttesa = [this] { return std::make_unique<frmAttesa>(this); };
    stampata_ = job.Esegui() == EsitoStampa::Stampata;
}

}  // namespace cartigo
