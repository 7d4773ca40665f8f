#pragma once
// The label document: the objects of the label in creation order and in drawing
// order, the sheet layout, the database binding, the z-order table and the
// editing flags. Windows observe it through its signals.

#include "label/Oggetto.h"
#include "label/StampanteTermica.h"
#include "label/VariabiliEtichetta.h"

#include <QObject>
#include <QString>
#include <QUndoStack>
#include <algorithm>
#include <array>
#include <memory>
#include <vector>

namespace cartigo {

// The shape of a label inside its width and height. Only a guide on the design surface:
// nothing of it is printed.
enum class FormaEtichetta { Rettangolo, Ellisse, CD };

// Sheet layout, millimetres except the two counts.
struct LayoutEtichetta {
    double EtichetteOrizzontali = 2;
    double EtichetteVerticali = 4;
    double MargineSinistro = 10;
    double MargineSuperiore = 10;
    double LarghezzaEtichetta = 80;
    double AltezzaEtichetta = 50;
    double SpazioOrizzontale = 10;
    double SpazioVerticale = 10;
    double OrigineX = 0;
    double OrigineY = 0;

    // What the labels are on. Stored in a section of its own that older readers skip, and
    // only when one of them is set.
    QString Prodotto;            // maker and code of the product chosen ("Avery L7160"), or empty
    bool UnaPerPagina = false;   // roll or tape: every label is a page of the label's own size
    double LarghezzaPagina = 0;  // the product's page (mm); 0 for the printer's page
    double AltezzaPagina = 0;
    FormaEtichetta Forma = FormaEtichetta::Rettangolo;
    double DiametroEsterno = 0;  // a CD's diameter when it is cut to the width or height, else 0
    double DiametroForo = 0;     // a CD's hole
    // "Print resolution": the dots per inch the label's barcodes are laid out for in PDF
    // files, print files and the preview (a printer uses its own); 0 for none (vectors).
    double Risoluzione = 0;
    // Bar width reduction as text: empty for automatic, "2 dot", "0.08 mm".
    QString RiduzioneBarre;
    // The thermal printer's settings: a section of their own in the label file.
    StampanteTermica Termica;

    // The two counts as whole labels, as the print job uses them: none below one, at most
    // 32767 (a label file may hold any number).
    int Colonne() const { return conteggio(EtichetteOrizzontali); }
    int Righe() const { return conteggio(EtichetteVerticali); }

    // The ten values in file order, for loops over them.
    static constexpr int NumeroValori = 10;
    double& valore(int i);
    double valore(int i) const { return const_cast<LayoutEtichetta*>(this)->valore(i); }
    // True when anything beyond the ten values is set.
    bool HaSupporto() const;
    bool operator==(const LayoutEtichetta&) const = default;

private:
    static int conteggio(double v) { return v >= 1 ? int(std::min(v, 32767.0)) : 0; }
};

// The print job moves every label this far to the right (millimetres); stored labels are
// tuned to it, and the layout's X origin compensates for it.
inline constexpr double SpostamentoStampaX = 4;
inline constexpr double SpostamentoStampaY = 0;

// Database binding of the label.
struct CollegamentoDati {
    QString NomeDatabase;
    QString PasswordDatabase;
    QString NomeTabella;
    QString CampoSelezione;
    qint16 TipoSelezione = 0;  // 0 all, 1 equal to, 2 between
    QString ValoreSelezione1;
    QString ValoreSelezione2;
    QString ValoreSelezione3;
    bool FlagRiservato = false;
    QString TestoRiservato;
    bool operator==(const CollegamentoDati&) const = default;
};

enum class ModoInserimento { Nessuno, Testo, Barcode, Immagine, Rettangolo, Linea, Ellisse };

// The last front/back command per object key. Values are kept as they are
// written in the label file (" 1 " after a command, the line's text after a load).
class TabellaZOrder {
public:
    static constexpr int RigheMassime = 10000;  // rows 1..10000 (row 0 unused)

    // Overwrites the first row with `chiave`, or appends one; throws error 9 when full.
    void Imposta(const QString& chiave, const QString& valore);
    void Imposta(const QString& chiave, int codice);
    // The recorded text, " 0 " for a key never set.
    QString Leggi(const QString& chiave) const;
    // The recorded value as a number (0 when none or not numeric).
    int Codice(const QString& chiave) const;
    void Rimuovi(const QString& chiave);
    void Azzera() { count_ = 0; }
    // The first row (1 to count) holding `chiave`, or -1.
    int RigaDi(const QString& chiave) const;
    // Puts a row back at `i` (1 to count + 1), the rows from `i` on moving down by one.
    void InserisciRiga(int i, const QString& chiave, const QString& valore);
    void RimuoviRiga(int i);
    void ImpostaValoreRiga(int i, const QString& valore) { righe_.at(size_t(i)).valore = valore; }
    int count() const { return count_; }
    QString chiaveRiga(int i) const { return righe_.at(size_t(i)).chiave; }
    QString valoreRiga(int i) const { return righe_.at(size_t(i)).valore; }

private:
    struct Riga {
        QString chiave;
        QString valore;
    };
    int trova(const QString& chiave) const;
    std::vector<Riga> righe_ = std::vector<Riga>(1);  // row 0 stays empty
    int count_ = 0;
};

// An object taken out of the document, with what puts it back where it was: its places
// in creation and drawing order and its row of the z-order table.
struct OggettoRimosso {
    std::unique_ptr<OggettoEtichetta> oggetto;
    int creazione = 0;
    int disegno = 0;
    int rigaZOrder = -1;  // -1: it had none
    QString valoreZOrder;
};

class DocumentoEtichetta : public QObject {
    Q_OBJECT
public:
    explicit DocumentoEtichetta(QObject* parent = nullptr);
    ~DocumentoEtichetta() override;

    // Twips per millimetre, wherever the program converts.
    static constexpr double TwipsPerMm = 56.7;

    // --- objects ---
    OggettoEtichetta& Modello(TipoOggetto tipo);
    const OggettoEtichetta& Modello(TipoOggetto tipo) const;
    int GetNewIndex(const QString& nome) const;
    OggettoEtichetta* CreaTesto(float left, float top, float width, float height);
    OggettoEtichetta* CreaBarcode(float left, float top, float width, float height);
    OggettoEtichetta* CreaImmagine(float left, float top, float width, float height);
    OggettoEtichetta* CreaRettangolo(float left, float top, float width, float height);
    OggettoEtichetta* Crea(TipoOggetto tipo, float left, float top, float width, float height);
    // Unloads an object (never a template). The pointer is invalid afterwards.
    void Scarica(OggettoEtichetta* oggetto);
    // Takes an object out with its z-order row; Ripristina puts it back as it was
    // (same identity, same places), on a document in the state the removal left.
    OggettoRimosso Rimuovi(OggettoEtichetta* oggetto);
    void Ripristina(OggettoRimosso& rimosso);

    // Every element in creation order, templates first.
    std::vector<OggettoEtichetta*> OrdineCreazione() const;
    // The real objects (Index > 0) in creation order.
    std::vector<OggettoEtichetta*> Oggetti() const;
    // The real objects from back to front.
    const std::vector<OggettoEtichetta*>& OrdineDisegno() const { return disegno_; }
    OggettoEtichetta* Trova(const QString& nome, int index) const;
    OggettoEtichetta* TrovaId(quint64 id) const;
    int NumeroOggetti() const { return int(disegno_.size()); }

    // Drawing order.
    void PortaDavanti(OggettoEtichetta* oggetto);
    void PortaDietro(OggettoEtichetta* oggetto);
    int PosizioneDisegno(const OggettoEtichetta* oggetto) const;
    void SpostaNelDisegno(OggettoEtichetta* oggetto, int posizione);

    // Z-order table.
    TabellaZOrder& Zorder() { return zorder_; }
    const TabellaZOrder& Zorder() const { return zorder_; }
    void ZOrderImposta(const QString& chiave, int codice) { zorder_.Imposta(chiave, codice); }
    void ZOrderImposta(const QString& chiave, const QString& valore) { zorder_.Imposta(chiave, valore); }
    QString ZOrderLeggi(const QString& chiave) const { return zorder_.Leggi(chiave); }
    void ZOrderRimuovi(const QString& chiave) { zorder_.Rimuovi(chiave); }

    // --- records and flags ---
    LayoutEtichetta& Layout() { return layout_; }
    const LayoutEtichetta& Layout() const { return layout_; }
    void ImpostaLayout(const LayoutEtichetta& l);
    CollegamentoDati& Collegamento() { return collegamento_; }
    const CollegamentoDati& Collegamento() const { return collegamento_; }

    // The label's variables (counters, dates, values asked at print time).
    const VariabiliEtichetta& Variabili() const { return variabili_; }
    void ImpostaVariabili(const VariabiliEtichetta& v);
    bool Connesso() const { return connesso_; }
    void ImpostaConnesso(bool c);
    // Changes not yet saved: the history is away from its saved state. False marks the
    // present state as the saved one; true marks a change made outside the history, so
    // no undo returns to a saved state.
    bool Modificato() const { return modificato_; }
    void ImpostaModificato(bool m);

    // --- history ---
    // The undo history: every change of the label is one step pushed here (the step
    // makes the change). A new label or a load starts it empty.
    static constexpr int PassiAnnullabili = 200;
    QUndoStack& Storia() { return storia_; }
    const QUndoStack& Storia() const { return storia_; }
    void Esegui(QUndoCommand* modifica) { storia_.push(modifica); }
    const QString& NomeFileEtichetta() const { return nomeFile_; }
    void ImpostaNomeFileEtichetta(const QString& f);
    // The folder of the file the label was loaded from, where relative file names are
    // also looked for; empty for a new label.
    const QString& CartellaEtichetta() const { return cartella_; }
    void ImpostaCartellaEtichetta(const QString& cartella) { cartella_ = cartella; }
    ModoInserimento Modo() const { return modo_; }
    void ImpostaModo(ModoInserimento m);

    void NuovaEtichetta();
    void ImpostaLayoutDefault();
    void AzzeraVariabili();

    // Call after changing an object's properties directly, so views repaint.
    void NotificaModificaOggetto(OggettoEtichetta* oggetto);

    // --- print geometry (millimetres; col and row from 1) ---
    double GetXGen(double offset, int col) const;
    double GetYGen(double offset, int row) const;
    double GetX(int col, const OggettoEtichetta& o) const;
    double GetY(int row, const OggettoEtichetta& o) const;
    static double GetW(const OggettoEtichetta& o) { return o.Width / TwipsPerMm; }
    static double GetH(const OggettoEtichetta& o) { return o.Height / TwipsPerMm; }

Q_SIGNALS:
    void oggettiCambiati();               // created, unloaded, reordered
    void oggettoCambiato(cartigo::OggettoEtichetta* oggetto);  // properties changed
    void layoutCambiato();
    void variabiliCambiate();
    void statoCambiato();                 // Modificato, file name, insert mode
    void connessioneCambiata(bool connesso);

private:
    std::array<OggettoEtichetta, kNumeroTipiOggetto> modelli_;
    std::vector<std::unique_ptr<OggettoEtichetta>> oggetti_;  // real objects, creation order
    std::vector<OggettoEtichetta*> disegno_;
    TabellaZOrder zorder_;
    LayoutEtichetta layout_;
    CollegamentoDati collegamento_;
    VariabiliEtichetta variabili_;
    bool connesso_ = false;
    bool modificato_ = false;
    QString nomeFile_;
    QString cartella_;
    ModoInserimento modo_ = ModoInserimento::Nessuno;
    quint64 prossimoId_ = 1;
    QUndoStack storia_;
};

}  // namespace cartigo
