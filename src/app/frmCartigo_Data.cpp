// The Database menu of the main window, the connection state in the status bar and
// the selected object. The work is done by ComandiDati and clsDatabase.
#include "app/frmCartigo.h"

#include "data/DatabaseSql.h"
#include "data/frmDati.h"
#include "print/frmStampa.h"
#include "shell/StringTable.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStatusBar>

namespace cartigo {

void frmCartigo::inizializzaDati()
{
    RegistraDialoghiDati();
    objDatabase_ = std::make_unique<clsDatabase>(*ui_);
    dati_ = std::make_unique<ComandiDati>(doc_, *ui_, *objDatabase_);
    dati_->oggettoSelezionato = [this] { return CurrentObject(); };
    dati_->azzeraSelezione = [this] { ClearSelection(); };
    dati_->titolo = [] { return modCartigo::TitoloProgramma(); };
    comandi_.campiDati = [this] { return dati_->CampiTabella(); };
    gestore_.ConnettiDatabase = [this](const QString& file, const QString& password, const QString& tabella) {
        return ConnettiDatabase(file, password, tabella);
    };
    // A read that takes more than a moment shows its progress in the status bar.
    auto orologio = std::make_shared<QElapsedTimer>();
    objDatabase_->progresso = [this, orologio](qint64 passi) {
        if (!orologio->isValid() || passi <= 2) orologio->start();
        if (orologio->elapsed() < 500) return;
        statusBar()->showMessage((LinguaCorrente() == Lingua::Italiano ? QStringLiteral("Lettura del database... %1")
                                                                       : QStringLiteral("Reading the database... %1"))
                                     .arg(passi));
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
    // A server that takes long to answer shows the wait window after half a second; its
    // Cancel gives up the connection.
    if (uiQt_)
        objDatabase_->attesa = [this]() -> Interruzione {
            // the window closes when the connection is done with it
            struct Finestra {
                QElapsedTimer orologio;
                std::unique_ptr<frmAttesa> f;
                ~Finestra()
                {
                    if (f) f->Chiudi();
                }
            };
            auto finestra = std::make_shared<Finestra>();
            finestra->orologio.start();
            return [this, finestra](qint64) {
                if (finestra->orologio.elapsed() < 500) return false;
                if (!finestra->f) {
                    finestra->f = std::make_unique<frmAttesa>(this);
                    finestra->f->Mostra();
                }
                finestra->f->Aggiorna(LoadResString(1822));
                return finestra->f->Annullata();
            };
        };
}

void frmCartigo::aggiornaConnessione(bool connesso)
{
    statusBar()->clearMessage();
    const auto& c = doc_.Collegamento();
    if (connesso) {
        pannelli_.value(QStringLiteral("nomedb"))->setText(LoadResString(1400) + NomeDatabaseVisibile(c.NomeDatabase));
        pannelli_.value(QStringLiteral("nometable"))->setText(c.NomeTabella);
    } else {
        pannelli_.value(QStringLiteral("nomedb"))->setText(LoadResString(1401));
        pannelli_.value(QStringLiteral("nometable"))->clear();
        if (objDatabase_) objDatabase_->DisconnettiDatabase();
    }
}

void frmCartigo::SetConnesso()
{
    if (dati_)
        dati_->SetConnesso();
    else
        aggiornaConnessione(true);
}

void frmCartigo::SetDisconnesso()
{
    if (dati_)
        dati_->SetDisconnesso();
    else
        aggiornaConnessione(false);
}

bool frmCartigo::ConnettiDatabase(const QString& file, const QString& password, const QString& tabella)
{
    return dati_->ConnettiDatabase(file, password, tabella);
}

void frmCartigo::mnuConnettiDb_Click()
{
    editor_->SelectMode = false;
    dati_->mnuConnettiDb_Click();
}

void frmCartigo::mnuDisconnettiDb_Click()
{
    editor_->SelectMode = false;
    dati_->mnuDisconnettiDb_Click();
}

void frmCartigo::mnuSelezionaRecords_Click()
{
    editor_->SelectMode = false;
    dati_->mnuSelezionaRecords_Click();
}

void frmCartigo::mnuVariabili_Click() { comandi_.Variabili(); }

void frmCartigo::mnuCollega_Click()
{
    editor_->SelectMode = false;
    dati_->mnuCollega_Click();
}

}  // namespace cartigo
