// The Print command of the main window.
#include "app/frmCartigo.h"
#include "data/SelezioneStampa.h"
#include "label/Errori.h"
#include "print/ControlloEtichetta.h"
#include "print/StampaEtichette.h"
#include "print/frmStampa.h"
#include "shell/StringTable.h"
#include "stampora/DispositivoStampa.h"
#include "stampora/clsStampora.h"

#include <QDir>
#include <QStatusBar>
#include <cstdio>

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
        m->Inviato = [this](const QString& dove) { statusBar()->showMessage(LoadResString(3197).arg(dove), 20000); };
        return m;
    };
    // The wait window only with real dialogs; a scripted run shows none.
    if (uiQt_)
        job.CreaAttesa = [this] { return std::make_unique<frmAttesa>(this); };
    job.NumerazioneNelloStato = esceDopoStampa_;
    job.RisoluzioneStampante = [] {
        DispositivoStampa* d = DispositivoCorrente();
        return d ? d->Predefinita().risoluzione : 0.0;
    };
    // The label check before the document: asked about here, listed on standard error
    // by a print that ends the program.
    job.Controllo = esceDopoStampa_ ? ControlloStampa::Elenca : ControlloStampa::Chiedi;
    job.ScriviRilievi = [](const QStringList& righe, double) {
        for (const QString& riga : righe) std::fprintf(stderr, "cartigo: %s\n", riga.toLocal8Bit().constData());
        std::fflush(stderr);
    };
    stampata_ = job.Esegui() == EsitoStampa::Stampata;
}

void frmCartigo::mnuControllaEtichetta_Click()
{
    // The label's print resolution, else the default printer's.
    double dpi = doc_.Layout().Risoluzione;
    if (!(dpi > 0))
        if (DispositivoStampa* d = DispositivoCorrente()) dpi = d->Predefinita().risoluzione;
    std::vector<Rilievo> rilievi;
    ui_->cursoreAttesa();
    try {
        std::unique_ptr<RecordsetStampa> rs;
        if (doc_.Connesso()) rs = ApriSelezioneStampa(Database(), doc_.Collegamento());
        rilievi = ControllaEtichetta(doc_, dpi, rs.get());
    } catch (const ErroreCartigo& e) {
        ui_->cursoreNormale();
        ui_->messaggio(e.descrizione(), LoadResString(2968), Pulsanti::Ok, Icona::Esclamazione);
        return;
    }
    ui_->cursoreNormale();
    if (rilievi.empty()) {
        ui_->messaggio(LoadResString(2964).arg(TestoRisoluzione(dpi)), LoadResString(2968), Pulsanti::Ok,
                       Icona::Informazione);
        return;
    }
    RichiestaRilievi r;
    r.righe = RigheRilievi(rilievi);
    r.dpi = dpi;
    if (!ui_->dialogo(r) || r.scelto < 0 || r.scelto >= int(rilievi.size())) return;
    if (OggettoEtichetta* o = doc_.TrovaId(rilievi[std::size_t(r.scelto)].oggetto)) {
        editor_->ImpostaSelezione({o});
        editor_->ShowHandles(true);
    }
}

}  // namespace cartigo
