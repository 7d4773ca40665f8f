#pragma once
// The editing and formatting commands on the selected objects: delete, copy, cut, paste,
// front and back, align and distribute; font, colours, alignment, thickness, background,
// text, picture and barcode settings. Each change is one step of the label's history.
// Every question goes through the interaction seam; the window only passes the selection.

#include "barcode/RichiesteBarcode.h"
#include "designer/Allineamento.h"
#include "label/DocumentoEtichetta.h"
#include "label/ModificheEtichetta.h"
#include "shell/Interazione.h"

#include <QStringList>
#include <functional>

namespace cartigo {

// --- dialogs of these commands ---

// Alignment dialog: option 0 "Sinistra", 1 "Centro", 2 "Destra".
struct RichiestaAllineamento : RichiestaDialogo {
    static inline const QString Nome = QStringLiteral("frmAllineamento");
    QString nome() const override { return Nome; }
    int opzione = 0;  // in: the current alignment's option; out: the chosen one
    static int OpzioneDaAllineamento(int alignment);  // 0->0, 2->1, 1->2
    static int AllineamentoDaOpzione(int opzione);    // 0->0, 1->2, 2->1
};

// Text editor: the text of a text object or the code of a barcode.
struct RichiestaModificaTesto : RichiestaDialogo {
    static inline const QString Nome = QStringLiteral("frmModificaTesto");
    QString nome() const override { return Nome; }
    QString testo;
    // The fields of the label's record set, which the dialog offers to insert as merge fields.
    QStringList campi;
};

// The Variables dialog (Data menu): the label's variables, edited as a whole.
struct RichiestaVariabili : RichiestaDialogo {
    static inline const QString Nome = QStringLiteral("frmVariabili");
    QString nome() const override { return Nome; }
    VariabiliEtichetta variabili;  // in, and out once confirmed
    QStringList campi;             // the fields of the records, which win over variables of their name
    // Empty when the variables can be kept; else the message (see Variabili::ControllaNomi).
    QString Verifica(const VariabiliEtichetta& v) const { return Variabili::ControllaNomi(v); }
    // What the dialog says of the variables that fields of the same name hide; empty for none.
    static QString AvvisoCampi(const VariabiliEtichetta& v, const QStringList& campi);
};

// Picture editor: the picture file of a picture object.
struct RichiestaModificaImmagine : RichiestaDialogo {
    static inline const QString Nome = QStringLiteral("frmModificaImmagine");
    QString nome() const override { return Nome; }
    QString nomeFile;
    // The label's folder, where a relative name is also looked for (empty: none).
    QString cartellaEtichetta;
    // The OK button's check: the file must exist and be a picture the program reads.
    // False (after the message) keeps the dialog open.
    bool Verifica(const QString& nomeFile, Interazione& ui, const QString& titolo) const;
    // The browse button's file dialog (every picture format the program reads, PNG first);
    // nothing when cancelled.
    static std::optional<QString> Sfoglia(Interazione& ui, const QString& cartella);
};

// The outline and fill of lines and ellipses (double-click on one): thickness in millimetres,
// colour, dash, and for ellipses the fill.
struct RichiestaForma : RichiestaDialogo {
    static inline const QString Nome = QStringLiteral("frmForma");
    QString nome() const override { return Nome; }
    ContornoForma contorno;       // in: the last selected's; out: the chosen one
    RiempimentoForma riempimento;
    bool conRiempimento = false;  // in: an ellipse is among them (a line has no fill)
};

// The objects a command acts on: the selected ones, the last selected last. One object
// (or none) converts to it, for the commands of a single selection.
class Selezione {
public:
    Selezione() = default;
    Selezione(OggettoEtichetta* oggetto);               // NOLINT: one object is a selection
    Selezione(std::vector<OggettoEtichetta*> oggetti);  // NOLINT
    const std::vector<OggettoEtichetta*>& Oggetti() const { return oggetti_; }
    bool Vuota() const { return oggetti_.empty(); }
    // The last selected, or none.
    OggettoEtichetta* Ultimo() const { return oggetti_.empty() ? nullptr : oggetti_.back(); }
    // The selected objects of these kinds, in selection order.
    std::vector<OggettoEtichetta*> DiTipo(std::initializer_list<TipoOggetto> tipi) const;
    std::vector<quint64> Ids() const;

private:
    std::vector<OggettoEtichetta*> oggetti_;  // real objects only
};

class ComandiEtichetta {
public:
    ComandiEtichetta(DocumentoEtichetta& doc, Interazione& ui);

    // The title of messages (the main window's caption).
    void impostaTitolo(const QString& t) { titolo_ = t; }
    // The names of the installed fonts, in the order the font list shows them.
    void impostaFonts(const QStringList& fonts) { fonts_ = fonts; }
    const QStringList& fonts() const { return fonts_; }
    // The fields of the label's record set (none when not connected), for the text dialog.
    std::function<QStringList()> campiDati;

    // Every command below that changes the label does it as one step of the document's
    // history; a command that would change nothing makes no step.

    // --- editing ---
    // Deletes the selected objects (their z-order rows too). The caller then clears the selection.
    void Cancella(const Selezione& selezione);
    // Copy remembers the objects: a paste copies them as they are then. Cut deletes them and
    // remembers them as they were.
    void Copia(const Selezione& selezione);
    void Taglia(const Selezione& selezione);
    // Pastes the copied objects 100 twips right and down, each in front of everything, in
    // their drawing order; returns the last one pasted. Each further paste of the same copy
    // goes 100 twips further, so the copies never cover each other. Nothing when nothing
    // was copied or the copied objects are gone.
    OggettoEtichetta* Incolla();
    // The objects the last paste made.
    std::vector<OggettoEtichetta*> Incollati() const;
    // One pasted copy `scostamento` twips right and down (no step of its own).
    OggettoEtichetta* IncollaOggetto(const OggettoEtichetta& copiato, float scostamento = 100);
    void PortaAvanti(const Selezione& selezione);
    void PortaIndietro(const Selezione& selezione);
    // The first copied object that still exists, or the first cut one; none.
    const OggettoEtichetta* OggettoCopiato() const;
    // Align, distribute, same size: two or more objects align to the last selected, one to the label.
    void Allinea(cartigo::Allinea come, const Selezione& selezione);
    void Distribuisci(cartigo::Distribuisci come, const Selezione& selezione);
    void StessaDimensione(cartigo::Dimensione quale, const Selezione& selezione);
    // One entry of the align menu.
    void Disponi(const ComandoDisposizione& comando, const Selezione& selezione);
    // An object's frame as typed in the object panel: a move, a resize, or both in one step.
    void ImpostaCornice(OggettoEtichetta* oggetto, const Cornice& cornice);

    // --- formatting ---
    // Applies a font to the selected texts, or to the text template (for the texts created
    // next; not a change of the label) when nothing is selected. `dimensione` is the size as
    // typed. False when nothing was applied.
    bool ApplyFont(const QString& nome, const QString& dimensione, bool grassetto, bool corsivo,
                   const Selezione& selezione);
    bool FontExists(const QString& nome) const;
    // The checks of the two font boxes when they are left; false after the message.
    bool VerificaNomeFont(const QString& nome);
    bool VerificaDimensioneFont(const QString& dimensione);
    void Carattere(const Selezione& selezione);
    void ColoreOggetto(const Selezione& selezione);
    void ColoreSfondo(const Selezione& selezione);
    void SetAlignment(int valore, const Selezione& selezione);
    void Allineamento(const Selezione& selezione);
    void Spessore(int spessore, const Selezione& selezione);
    void Opaco(const Selezione& selezione);
    void Trasparente(const Selezione& selezione);
    // The editors open on the last selected object.
    void ModificaTesto(const Selezione& selezione);
    // Data > Variables...: the label's variables, as one step.
    void Variabili();
    void ModificaImmagine(const Selezione& selezione);
    // The picture tool's file chooser, opened at once for a picture just drawn: the file
    // chosen becomes its picture, named from the label's folder when it lies there or
    // below (FileEtichetta::NomeFilePerEtichetta). No step of its own: it belongs to the
    // creation. False when cancelled (the picture stays empty).
    bool FileNuovaImmagine(OggettoEtichetta& immagine);
    void ParametriBarcode(const Selezione& selezione);
    // Turns the selected texts, barcodes, pictures, rectangles and ellipses a quarter
    // clockwise (`passi` 1) or anticlockwise (-1) about the centres of their boxes, the boxes
    // turning with them; lines stay as they are.
    void Ruota(int passi, const Selezione& selezione);
    // The outline and fill dialog on the selected lines and ellipses, one step for all.
    void ProprietaForma(const Selezione& selezione);

private:
    void mostraErrore(int numero, const QString& descrizione);
    void cornici(const Selezione& selezione, const std::vector<Cornice>& nuove, int idNome);
    // Front or back, with the message of a full z-order table.
    void ordine(const Selezione& selezione, bool davanti);

    DocumentoEtichetta& doc_;
    Interazione& ui_;
    QString titolo_;
    QStringList fonts_;
    std::vector<quint64> copiati_;            // ids of the copied objects
    std::vector<OggettoEtichetta> tagliati_;  // the objects cut, as they were
    int incollati_ = 0;                       // pastes since the last copy or cut
    std::vector<quint64> ultimaIncollatura_;  // ids of what the last paste made
    QColor ultimoSfondo_ = Qt::white;
};

}  // namespace cartigo
