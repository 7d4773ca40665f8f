// The Print command of the main window.
#include "app/frmCartigo.h"
#include "data/SelezioneStampa.h"
#include "print/StampaEtichette.h"
#include "print/frmStampa.h"
#include "stampora/clsStampora.h"

namespace cartigo {

void frmCartigo::mnuStampa_Click()
{
    ClearSelection();
    StampaEtichette job(doc_, *ui_);
    job.titolo = modCartigo::TitoloProgramma();
    job.ApriRecordset = [this] { return ApriSelezioneStampa(Database(), doc_.Collegamento()); };
    // A print file never replaces the label or its database.
    job.CreaMotore = [this](Interazione& u) {
        auto m = std::make_unique<clsStampora>(u);
        m->SetFileProtetti({doc_.NomeFileEtichetta(), doc_.Collegamento().NomeDatabase, Database().NomeDatabase()});
        return m;
    };
    // The wait window only with real dialogs; a scripted run shows none.
    if (uiQt_)
        job.CreaAttesa = [this] { return std::make_unique<frmAttesa>(this); };
    job.NumerazioneNelloStato = esceDopoStampa_;
    stampata_ = job.Esegui() == EsitoStampa::Stampata;
}

}  // namespace cartigo
