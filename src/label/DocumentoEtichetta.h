#pragma once
// The label document: the objects of the label in creation order and in drawing
// order, the sheet layout, the database binding, the z-order table and the
// editing flags. Windows observe it through its signals.

#include "label/Oggetto.h"

#include <QObject>
#include <QString>
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

enum class ModoInserimento { Nessuno, Testo, Barcode, Immagine, Rettangolo };

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

    bool Connesso() const { return connesso_; }
    void ImpostaConnesso(bool c);
    bool Modificato() const { return modificato_; }
    void ImpostaModificato(bool m);
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
    void statoCambiato();                 // Modificato, file name, insert mode
    void connessioneCambiata(bool connesso);

private:
    std::array<OggettoEtichetta, 4> modelli_;
    std::vector<std::unique_ptr<OggettoEtichetta>> oggetti_;  // real objects, creation order
    std::vector<OggettoEtichetta*> disegno_;
    TabellaZOrder zorder_;
    LayoutEtichetta layout_;
    CollegamentoDati collegamento_;
    bool connesso_ = false;
    bool modificato_ = false;
    QString nomeFile_;
    QString cartella_;
    ModoInserimento modo_ = ModoInserimento::Nessuno;
    quint64 prossimoId_ = 1;
};

}  // namespace cartigo
