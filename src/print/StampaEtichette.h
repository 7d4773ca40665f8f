#pragma once
// The label print job: asks the print options and the destination, places one copy
// of the label in each cell of the sheet, page after page, and draws every object
// through the print engine; with a database, each label takes the next record.

#include "data/MotoreDati.h"
#include "data/RecordsetStampa.h"
#include "label/CampiUnione.h"
#include "label/DocumentoEtichetta.h"
#include "label/ValoriEtichetta.h"
#include "print/ControlloEtichetta.h"
#include "print/OpzioniStampa.h"
#include "shell/Interazione.h"

#include <QHash>
#include <QImage>
#include <QSet>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace cartigo {

class clsStampora;

// The wait window shown while the job runs.
class FinestraAttesa {
public:
    virtual ~FinestraAttesa() = default;
    virtual void Mostra() = 0;
    // Writes "Etichetta n/N" and lets the window repaint.
    virtual void Aggiorna(const QString& testo) = 0;
    // True once the user asked to stop.
    virtual bool Annullata() const = 0;
    virtual void Chiudi() = 0;
};

// How the job ended.
enum class EsitoStampa {
    Stampata,   // the document went to its destination
    Annullata,  // a dialog was cancelled, or the user stopped it: nothing delivered
    Fallita,    // an error: the user has been told, nothing delivered
    Vuota,      // "all labels" of a selection without records: the user has been told, nothing printed
    Rilievi,    // the label check found problems and the job stops on them: nothing printed
};

// What the job does with the label check (ControlloEtichetta.h), run once the destination
// is chosen, at the resolution the job lays its barcodes out for.
enum class ControlloStampa {
    Nessuno,  // no check
    Chiedi,   // findings ask "Print anyway?" (not before a preview)
    Elenca,   // findings go to ScriviRilievi, the job prints
    Ferma,    // findings go to ScriviRilievi, the job stops (EsitoStampa::Rilievi)
};

class StampaEtichette {
public:
    StampaEtichette(DocumentoEtichetta& doc, Interazione& ui);

    // Opens the label's record selection (only called when connected). Throws
    // ErroreCartigo when it cannot be opened.
    std::function<std::unique_ptr<RecordsetStampa>()> ApriRecordset;
    // Makes the engine (the real one by default).
    std::function<std::unique_ptr<clsStampora>(Interazione&)> CreaMotore;
    // Makes the wait window (none by default).
    std::function<std::unique_ptr<FinestraAttesa>()> CreaAttesa;
    // The title of messages.
    QString titolo;
    // Seconds one statement of the database may run before the job gives up (0: no limit).
    int SecondiMassimiDati = 0;
    // What ApriRecordset passes to the engine (ApriSelezioneStampa): a statement that runs
    // past the limit above stops, and one that runs longer than half a second shows the
    // wait window, whose Cancel stops it and the job.
    Interruzione InterruzioneDati();
    // A picture named by a record that cannot be read stops the job when true (nothing is
    // delivered); otherwise it is left out, and the pictures left out are listed once
    // before the document is delivered.
    bool FermaSuProblemi = false;
    // The job's clock: the moment the job starts, for the dates (the system's by default).
    std::function<QDateTime()> Orologio;
    // The first value of the counters that continue their numbering (of every counter when
    // none does) for this job, in place of the one the label keeps.
    std::optional<qint64> InizioContatori;
    // The counters' next values go to the state folder even when the label may be written
    // (a print that ends the program, which never saves the label).
    bool NumerazioneNelloStato = false;
    // The resolution the symbols are laid out for (`cartigo-print --dpi`); without it, the
    // label's "Print resolution". A printer lays them out for its own.
    std::optional<double> Risoluzione;
    // The resolution of the printer the job will most likely go to (the default one), for
    // the options dialog to show; none by default.
    std::function<double()> RisoluzioneStampante;
    // The label check before the document starts, and where its findings are written.
    ControlloStampa Controllo = ControlloStampa::Nessuno;
    std::function<void(const QStringList& righe, double dpi)> ScriviRilievi;

    EsitoStampa Esegui();

    // Figures of the last run, for summaries.
    int EtichetteStampate() const { return stampate_; }
    int Pagine() const { return pagine_; }
    // True when the last run left the counters' next values in the label (it is then
    // modified); false when it kept them in the state folder or had none to keep.
    bool NumerazioneNellEtichetta() const { return numerazioneNellEtichetta_; }
    // Why the next values could not be kept in the state folder; empty when they were.
    const QString& ErroreNumerazione() const { return erroreNumerazione_; }
    // The findings of the last run's check.
    const std::vector<Rilievo>& Rilievi() const { return rilievi_; }

private:
    // The label's objects in the order they print.
    std::vector<const OggettoEtichetta*> ordineStampa() const;
    void disegnaEtichetta(clsStampora& m, int col, int riga, RecordsetStampa* rs);
    void disegnaOggetto(clsStampora& m, const OggettoEtichetta& o, int col, int riga, RecordsetStampa* rs);
    // What an object prints: its field's value when it is linked, else `fisso`; for texts
    // and barcodes (`unione`) with the record's values in place of the merge fields.
    QString contenuto(const OggettoEtichetta& o, const QString& fisso, RecordsetStampa* rs, bool unione);
    // The size a text prints in: its own, or with shrink to fit the largest that fits its box
    // (`w` x `h` mm, unturned) down to its minimum; a text that does not fit at the minimum
    // is reported once a job.
    float dimensioneTesto(const OggettoEtichetta& o, const QString& testo, double w, double h);
    std::optional<QString> valoreUnione(const QString& campo);
    // Keeps the next value of the counters that continue their numbering.
    void continuaNumerazione();
    const QImage* immagine(const OggettoEtichetta& o, const QString& percorso);

    DocumentoEtichetta& doc_;
    Interazione& ui_;
    int stampate_ = 0;
    int pagine_ = 0;
    int etichetta_ = 0;                            // the label being drawn, from 1
    QHash<QString, QImage> immagini_;              // pictures loaded once per job
    QStringList problemi_;                         // pictures of records left out
    QSet<quint64> testiTagliati_;                  // texts reported as not fitting at their minimum
    RisolutoreValori valori_;                      // the value of ${Name} for the label being drawn
    RecordsetStampa* rs_ = nullptr;                // the records being read
    ContestoValori usati_;                         // the largest counts met (the steps taken)
    bool numerazioneNellEtichetta_ = false;
    QString erroreNumerazione_;
    QSet<QString> mancanti_;                       // merge fields the records lack (lower case)
    QStringList campiMancanti_;                    // the same, as reported
    std::vector<const OggettoEtichetta*> ordine_;  // the objects in print order, once per job
    QString riferimento_;                          // names the record a message comes from
    std::unique_ptr<FinestraAttesa> attesa_;       // the wait window, while it shows
    bool datiAnnullati_ = false;                   // Cancel stopped a statement of the database
    bool datiScaduti_ = false;                     // a statement ran past SecondiMassimiDati
    std::vector<Rilievo> rilievi_;                 // what the label check found
};

// The print engine's text box layout bits (ImpaginazioneCasella) of a text's fit; none for
// the default, which lays it out as always.
int BitImpaginazione(const AdattamentoTesto& a);

namespace modCartigo {
// Starts the document: StartDoc, position 0, millimetres, offsets 7 and 5, Courier New 10.
void IniziaDocumento(clsStampora& m);
// Starts a page: position 0, millimetres, Courier New 10.
void IniziaPagina(clsStampora& m);
}  // namespace modCartigo

}  // namespace cartigo
