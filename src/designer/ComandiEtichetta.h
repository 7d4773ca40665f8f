#pragma once
// The editing and formatting commands on the selected object: delete, copy, paste,
// front and back; font, colours, alignment, thickness, background, text, picture
// and barcode settings. Every question goes through the interaction seam; the
// window only passes the current selection.

#include "barcode/RichiesteBarcode.h"
#include "label/DocumentoEtichetta.h"
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
    // The program's folder, where the picture dialog starts browsing.
    void impostaCartellaProgramma(const QString& c) { cartellaProgramma_ = c; }

    // --- editing ---
    // Deletes the selected object (its z-order row too). The caller then clears the selection.
    void Cancella(OggettoEtichetta* corrente);
    void Copia(OggettoEtichetta* corrente);
    // Pastes the copied object (as it is now) 100 twips right and down, in front of everything.
    // Nothing when nothing was copied or the copied object is gone.
    OggettoEtichetta* Incolla();
    OggettoEtichetta* IncollaOggetto(const OggettoEtichetta& copiato);
    void PortaAvanti(OggettoEtichetta* corrente);
    void PortaIndietro(OggettoEtichetta* corrente);
    const OggettoEtichetta* OggettoCopiato() const;

    // --- formatting ---
    // Applies a font to the selected text object, or to the text template when nothing
    // is selected. `dimensione` is the size as typed. False when nothing was applied.
    bool ApplyFont(const QString& nome, const QString& dimensione, bool grassetto, bool corsivo,
                   OggettoEtichetta* corrente);
    bool FontExists(const QString& nome) const;
    // The checks of the two font boxes when they are left; false after the message.
    bool VerificaNomeFont(const QString& nome);
    bool VerificaDimensioneFont(const QString& dimensione);
    void Carattere(OggettoEtichetta* corrente);
    void ColoreOggetto(OggettoEtichetta* corrente);
    void ColoreSfondo(OggettoEtichetta* corrente);
    void SetAlignment(int valore, OggettoEtichetta* corrente);
    void Allineamento(OggettoEtichetta* corrente);
    void Spessore(int spessore, OggettoEtichetta* corrente);
    void Opaco(OggettoEtichetta* corrente);
    void Trasparente(OggettoEtichetta* corrente);
    void ModificaTesto(OggettoEtichetta* corrente);
    void ModificaImmagine(OggettoEtichetta* corrente);
    void ParametriBarcode(OggettoEtichetta* corrente);

private:
    void mostraErrore(int numero, const QString& descrizione);
    void notifica(OggettoEtichetta* o) { doc_.NotificaModificaOggetto(o); }

    DocumentoEtichetta& doc_;
    Interazione& ui_;
    QString titolo_;
    QStringList fonts_;
    QString cartellaProgramma_;
    quint64 copiato_ = 0;  // id of the copied object, 0 for none
    QColor ultimoSfondo_ = Qt::white;
};

}  // namespace cartigo
