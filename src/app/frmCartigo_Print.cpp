// The Print command of the main window.
#include "app/frmCartigo.h"
#include "data/SelezioneStampa.h"
#include "print/StampaEtichette.h"
#include "print/frmStampa.h"
#include "shell/StringTable.h"
#include "stampora/clsStampora.h"

#include <QDir>
#include <QStatusBar>

namespace cartigo {

void frmCartigo::mnuStampa_Click()
{
    ClearSelection();
    StampaEtichette job(doc_, *ui_);
    job.titolo = modCartigo::TitoloProgramma();
    // Cancel in the wait window stops a selection that takes long to open, count or read.
    job.ApriRecordset = [this, &job] {
        return ApriSelezioneStampa(Database(), doc_.Collegamento(), modCartigo::FormatoTesto::correnti(),
                                   job.InterruzioneDati());
    };
    // A print file never replaces the label or its database.
    job.CreaMotore = [this](Interazione& u) {
        auto m = std::make_unique<clsStampora>(u);
        m->SetFileProtetti({doc_.NomeFileEtichetta(), doc_.Collegamento().NomeDatabase, Database().NomeDatabase()});
        m->SetCartellaFile(doc_.CartellaEtichetta());
        // Where the file went, in the status bar once it is written.
        m->FileScritto = [this](const QString& file) {
            statusBar()->showMessage(LoadResString(1590).arg(QDir::toNativeSeparators(file)), 20000);
        };
        return m;
    };
    // The wait window only with real dialogs; a scripted run shows none.
    if (uiQt_)
        job.CreaAttesa = [this] { return std::make_unique<frmAttesa>(this); };
    job.NumerazioneNelloStato = esceDopoStampa_;
    stampata_ = job.Esegui() == EsitoStampa::Stampata;
}

}  // namespace cartigo
