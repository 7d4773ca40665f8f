#pragma once
// What the object panel shows and changes of the selected objects, without widgets: the
// frame in millimetres from the label's top-left corner, and every setting of the objects
// (ProprietaSelezione), with what several selected objects share and where they differ.

#include "label/ModificheEtichetta.h"
#include "label/Oggetto.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <optional>
#include <vector>

namespace cartigo::DescrizioneOggetto {

// The kind's name ("Text", "Barcode", ...).
QString NomeTipo(TipoOggetto tipo);

// A frame in millimetres, the label's top-left corner at 0, 0.
struct CorniceMm {
    double x = 0, y = 0, larghezza = 0, altezza = 0;
};
CorniceMm InMillimetri(const Cornice& c);
Cornice DaMillimetri(const CorniceMm& mm);

// The settings the panel edits, in the order it shows them. Each belongs to some kinds (a
// barcode's error correction only to QR Codes, its text position only to linear kinds).
enum class Proprieta {
    Testo,           // QString: a text's caption
    Carattere,       // QString: font name
    Dimensione,      // int: font size, points
    Grassetto,       // bool
    Corsivo,         // bool
    ColoreTesto,     // int: 0x00BBGGRR
    Allineamento,    // int: the stored alignment (0 left, 1 right, 2 centre)
    ACapo,           // bool: word wrap
    Verticale,       // int: AllineamentoVerticale
    Riduci,          // bool: shrink to fit
    Minimo,          // double: the smallest size shrinking reaches, points
    TipoBarcode,     // int: the kind's digit
    Dati,            // QString: a barcode's data
    PosizioneTesto,  // int: 1 above, 0 below, 2 hidden
    Correzione,      // int: CorrezioneQR
    FormaMatrice,    // int: FormaDataMatrix
    File,            // QString: a picture's file
    ColoreContorno,  // int: a rectangle's border, a line's or an ellipse's outline
    SpessoreBordo,   // int: a rectangle's border, 1 to 3
    SpessoreLinea,   // double: a line's or an ellipse's outline, millimetres
    Tratto,          // int: TrattoLinea
    Sfondo,          // bool: a text's or rectangle's opaque background, an ellipse's fill
    ColoreSfondo,    // int: its colour
    Rotazione,       // int: 0, 90, 180, 270
    Campo,           // QString: the linked field of a text or barcode; empty for none
};
inline constexpr int kNumeroProprieta = int(Proprieta::Campo) + 1;

// The editor a setting takes.
enum class Controllo { Riga, Scelta, Intero, Decimale, Casella, Colore, File };
Controllo ControlloDi(Proprieta p);
// The string id of its caption.
int TitoloDi(Proprieta p);
// The range of a number.
struct Intervallo {
    double minimo = 0, massimo = 0, passo = 1;
};
Intervallo IntervalloDi(Proprieta p);
// The step name (NomeModifica) of a change of it.
int NomeModificaDi(Proprieta p);

// Whether an object has the setting, its value and how it takes a new one (`cartella`: the
// label's folder, where a picture's relative name is looked for).
bool Ha(Proprieta p, const OggettoEtichetta& o);
QVariant Leggi(Proprieta p, const OggettoEtichetta& o);
void Scrivi(Proprieta p, OggettoEtichetta& o, const QVariant& valore, const QString& cartella = {});

// One item of a choice, and the value it stands for.
struct Scelta {
    QString testo;
    QVariant valore;
    bool operator==(const Scelta&) const = default;
};

// What the panel shows of a setting for the selection.
struct Stato {
    bool presente = false;  // every selected object has it
    bool misto = false;     // their values differ
    QVariant valore;        // the last selected object's
};

// The selected objects' settings as the panel shows and changes them. It keeps the objects
// by id, so objects deleted since are simply left out.
class ProprietaSelezione {
public:
    explicit ProprietaSelezione(DocumentoEtichetta& doc) : doc_(doc) {}

    // The objects, the last selected last (templates are left out).
    void ImpostaSelezione(const std::vector<OggettoEtichetta*>& oggetti);
    std::vector<OggettoEtichetta*> Oggetti() const;
    // "Text 1" for one object, "3 objects" for several, "No object selected".
    QString Titolo() const;

    // The setting as the selection has it; not present when any selected object lacks it.
    Stato Valore(Proprieta p) const;
    // The items of a choice (Controllo::Scelta); the field list holds "(none)", the fields
    // of the table (`campi`) and the linked fields not among them.
    std::vector<Scelta> Scelte(Proprieta p) const;
    // Gives the value to every selected object: one step of the label's history, named
    // after the setting; none when no object changes. True when a step was made.
    bool Imposta(Proprieta p, const QVariant& valore);

    // The fields of the table the label is connected to (none when it is not), read once
    // for each new selection.
    std::function<QStringList()> campi;
    // The installed fonts, as the font list offers them.
    std::function<QStringList()> fonts;
    // The fields are read again at the next look (the label connected to another table).
    void RileggiCampi() { campiLetti_.reset(); }

private:
    DocumentoEtichetta& doc_;
    std::vector<quint64> ids_;
    mutable std::optional<QStringList> campiLetti_;
};

}  // namespace cartigo::DescrizioneOggetto
