#pragma once
// The Database menu of the main window: connect, disconnect, link the selected object
// to a field, choose the records to print, and the reconnection after a label is
// loaded. The main window owns one of these and forwards its menu commands.

#include "data/clsDatabase.h"
#include "label/DocumentoEtichetta.h"
#include "label/ModificheEtichetta.h"
#include "shell/Interazione.h"

#include <functional>

namespace cartigo {

class ComandiDati;

// Connecting or disconnecting the label's database, or changing its record selection: the
// binding and the connection before and after. Undo and redo connect or disconnect again
// when the connection differs.
class ComandoDatabase : public ModificaEtichetta {
public:
    ComandoDatabase(DocumentoEtichetta& doc, ComandiDati& dati, const CollegamentoDati& prima, bool connessoPrima,
                    int idNome);
    void redo() override;
    void undo() override { applica(prima_, connessoPrima_); }

private:
    void applica(const CollegamentoDati& c, bool connesso);
    ComandiDati& dati_;
    CollegamentoDati prima_, dopo_;
    bool connessoPrima_, connessoDopo_;
    bool fatto_ = true;  // the command made the change before the step was pushed
};

class ComandiDati {
public:
    ComandiDati(DocumentoEtichetta& doc, Interazione& ui, clsDatabase& db);

    // Hooks to the window: the selected object (null for none), clearing the designer's
    // selection, and the title of the window's messages.
    std::function<OggettoEtichetta*()> oggettoSelezionato;
    std::function<void()> azzeraSelezione;
    std::function<QString()> titolo;

    void mnuConnettiDb_Click();
    void mnuDisconnettiDb_Click();
    void mnuCollega_Click();
    void mnuSelezionaRecords_Click();
    // Connects the database of a loaded label: true when connected to an existing table or
    // saved query.
    bool ConnettiDatabase(const QString& file, const QString& password, const QString& tabella);

    // The fields of the connected table or query; none when not connected or when they
    // cannot be read.
    QStringList CampiTabella();

    // Connected := true/false; the document's signal updates the status bar, and
    // disconnecting drops the database.
    void SetConnesso();
    void SetDisconnesso();

private:
    void connetti();
    void selezionaRecords();
    // The binding or the connection changed since `prima`: one step of the label's history.
    void registra(const CollegamentoDati& prima, bool connessoPrima, int idNome);
    bool mostraErrore(const ErroreCartigo& e);
    QString titoloFinestra() const { return titolo ? titolo() : QString(); }
    DocumentoEtichetta& doc_;
    Interazione& ui_;
    clsDatabase& db_;
};

}  // namespace cartigo
