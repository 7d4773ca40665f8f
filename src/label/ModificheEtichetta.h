#pragma once
// The undoable changes of a label, one class per kind of action. Each holds only what
// it changed (the objects it touched, their properties or frames before and after, an
// object taken out with its places), never a copy of the document. Pushed on the
// document's history (DocumentoEtichetta::Esegui), a change is made by its first redo.

#include "label/DocumentoEtichetta.h"

#include <QUndoCommand>
#include <vector>

namespace cartigo {

// The string ids of the changes' names, as the Undo and Redo entries show them.
namespace NomeModifica {
constexpr int Creazione = 1510;
constexpr int Eliminazione = 1511;
constexpr int Taglio = 1512;
constexpr int Incolla = 1513;
constexpr int Spostamento = 1514;
constexpr int Ridimensionamento = 1515;
constexpr int Carattere = 1516;
constexpr int ColoreOggetto = 1517;
constexpr int ColoreSfondo = 1518;
constexpr int AllineamentoTesto = 1519;
constexpr int Spessore = 1520;
constexpr int Sfondo = 1521;
constexpr int PortaAvanti = 1522;
constexpr int PortaIndietro = 1523;
constexpr int ModificaTesto = 1524;
constexpr int ModificaImmagine = 1525;
constexpr int ParametriBarcode = 1526;
constexpr int CollegaCampo = 1527;
constexpr int Layout = 1528;
constexpr int ConnettiDatabase = 1529;
constexpr int DisconnettiDatabase = 1530;
constexpr int CriteriSelezione = 1531;
constexpr int Allineamento = 1532;
constexpr int Distribuzione = 1533;
constexpr int StessaDimensione = 1534;
constexpr int Variabili = 2839;
constexpr int Numerazione = 2840;
constexpr int Rotazione = 2914;
constexpr int ContornoForma = 2915;
constexpr int AdattaTesto = 1779;
constexpr int TrattoContorno = 1780;
}  // namespace NomeModifica

// The frame of an object, in twips.
struct Cornice {
    float Left = 0, Top = 0, Width = 0, Height = 0;
    static Cornice Di(const OggettoEtichetta& o) { return {o.Left, o.Top, o.Width, o.Height}; }
    void ApplicaA(OggettoEtichetta& o) const;
    bool operator==(const Cornice&) const = default;
};

// Everything but the identity (kind, index, id, visibility) of `da` goes into `a`.
void CopiaProprieta(OggettoEtichetta& a, const OggettoEtichetta& da);
// True when the two hold the same properties (identity aside).
bool StesseProprieta(const OggettoEtichetta& a, const OggettoEtichetta& b);

// One change of the label. Its text is the action's name.
class ModificaEtichetta : public QUndoCommand {
public:
    ModificaEtichetta(DocumentoEtichetta& doc, int idNome);
    int IdNome() const { return idNome_; }
    // The objects the change touched, for the selection after an undo or a redo.
    virtual std::vector<quint64> Oggetti() const { return {}; }

protected:
    DocumentoEtichetta& doc_;

private:
    int idNome_;
};

// --- objects added and taken away ---

// Base of create, paste and delete: objects taken out (with their places) and put back.
class ModificaPresenza : public ModificaEtichetta {
public:
    std::vector<quint64> Oggetti() const override { return ids_; }

protected:
    ModificaPresenza(DocumentoEtichetta& doc, int idNome, std::vector<quint64> ids);
    void togli();
    void rimetti();

private:
    std::vector<quint64> ids_;
    std::vector<OggettoRimosso> rimossi_;  // in the order they were taken out
};

// Base of create and paste: objects already on the label when the step is pushed (its first
// redo finds them there); undo takes them out, redo puts them back.
class ModificaAggiunta : public ModificaPresenza {
public:
    void redo() override;
    void undo() override { togli(); }

protected:
    using ModificaPresenza::ModificaPresenza;

private:
    bool fatto_ = true;
};

// Objects placed by the user with a creation tool.
class ComandoCrea : public ModificaAggiunta {
public:
    ComandoCrea(DocumentoEtichetta& doc, std::vector<quint64> ids)
        : ModificaAggiunta(doc, NomeModifica::Creazione, std::move(ids))
    {
    }
};

// Objects pasted.
class ComandoIncolla : public ModificaAggiunta {
public:
    ComandoIncolla(DocumentoEtichetta& doc, std::vector<quint64> ids)
        : ModificaAggiunta(doc, NomeModifica::Incolla, std::move(ids))
    {
    }
};

// Deletes objects (with their z-order rows); also the second half of Cut.
class ComandoCancella : public ModificaPresenza {
public:
    ComandoCancella(DocumentoEtichetta& doc, std::vector<quint64> ids, int idNome = NomeModifica::Eliminazione);
    void redo() override { togli(); }
    void undo() override { rimetti(); }
};

// --- frames ---

// Base of the changes of position and size: each object's frame before and after.
class ModificaCornici : public ModificaEtichetta {
public:
    struct Voce {
        quint64 id = 0;
        Cornice prima, dopo;
    };
    const std::vector<Voce>& Voci() const { return voci_; }
    std::vector<quint64> Oggetti() const override;
    void redo() override { applica(true); }
    void undo() override { applica(false); }

protected:
    ModificaCornici(DocumentoEtichetta& doc, int idNome, std::vector<Voce> voci);
    // Merging: a later change of the same objects by the keys becomes part of this one.
    bool unisci(const QUndoCommand* altro);

private:
    void applica(bool dopo);
    std::vector<Voce> voci_;
};

// A move: a drag, the arrow keys (consecutive presses on the same objects are one step)
// or a position typed in the object panel.
class ComandoSposta : public ModificaCornici {
public:
    ComandoSposta(DocumentoEtichetta& doc, std::vector<Voce> voci, bool daTastiera = false);
    int id() const override { return daTastiera_ ? 1 : -1; }
    bool mergeWith(const QUndoCommand* altro) override { return unisci(altro); }

private:
    bool daTastiera_;
};

// A resize: a drag of a grip, Ctrl and the arrow keys (merged like moves), a size typed.
class ComandoRidimensiona : public ModificaCornici {
public:
    ComandoRidimensiona(DocumentoEtichetta& doc, std::vector<Voce> voci, bool daTastiera = false);
    int id() const override { return daTastiera_ ? 2 : -1; }
    bool mergeWith(const QUndoCommand* altro) override { return unisci(altro); }

private:
    bool daTastiera_;
};

// Align, distribute, same width or height (the name says which).
class ComandoAllinea : public ModificaCornici {
public:
    ComandoAllinea(DocumentoEtichetta& doc, std::vector<Voce> voci, int idNome)
        : ModificaCornici(doc, idNome, std::move(voci))
    {
    }
};

// --- properties ---

// Base of the changes of an object's properties: each object before and after.
class ModificaProprieta : public ModificaEtichetta {
public:
    struct Voce {
        quint64 id = 0;
        OggettoEtichetta prima, dopo;
    };
    // The entries for `oggetti` changed by `cambia`; the objects it leaves as they were
    // have none (no entries: nothing would change).
    template <typename F>
    static std::vector<Voce> Voci(const std::vector<OggettoEtichetta*>& oggetti, F&& cambia)
    {
        std::vector<Voce> v;
        for (OggettoEtichetta* o : oggetti) {
            Voce e{o->id, *o, *o};
            cambia(e.dopo);
            if (!StesseProprieta(e.prima, e.dopo)) v.push_back(std::move(e));
        }
        return v;
    }
    const std::vector<Voce>& Voci() const { return voci_; }
    std::vector<quint64> Oggetti() const override;
    void redo() override { applica(true); }
    void undo() override { applica(false); }

protected:
    ModificaProprieta(DocumentoEtichetta& doc, int idNome, std::vector<Voce> voci);

private:
    void applica(bool dopo);
    std::vector<Voce> voci_;
};

// Font name, size, bold and italic of texts.
class ComandoCarattere : public ModificaProprieta {
public:
    ComandoCarattere(DocumentoEtichetta& doc, std::vector<Voce> voci)
        : ModificaProprieta(doc, NomeModifica::Carattere, std::move(voci))
    {
    }
};

// The object colour (text colour, rectangle outline) or the background colour.
class ComandoColore : public ModificaProprieta {
public:
    ComandoColore(DocumentoEtichetta& doc, std::vector<Voce> voci, bool sfondo)
        : ModificaProprieta(doc, sfondo ? NomeModifica::ColoreSfondo : NomeModifica::ColoreOggetto, std::move(voci))
    {
    }
};

class ComandoAllineamentoTesto : public ModificaProprieta {
public:
    ComandoAllineamentoTesto(DocumentoEtichetta& doc, std::vector<Voce> voci)
        : ModificaProprieta(doc, NomeModifica::AllineamentoTesto, std::move(voci))
    {
    }
};

// A rectangle's outline thickness.
class ComandoSpessore : public ModificaProprieta {
public:
    ComandoSpessore(DocumentoEtichetta& doc, std::vector<Voce> voci)
        : ModificaProprieta(doc, NomeModifica::Spessore, std::move(voci))
    {
    }
};

// Opaque or transparent background.
class ComandoSfondo : public ModificaProprieta {
public:
    ComandoSfondo(DocumentoEtichetta& doc, std::vector<Voce> voci)
        : ModificaProprieta(doc, NomeModifica::Sfondo, std::move(voci))
    {
    }
};

// A text's caption, a barcode's data or a picture's file (the name says which).
class ComandoContenuto : public ModificaProprieta {
public:
    ComandoContenuto(DocumentoEtichetta& doc, std::vector<Voce> voci, int idNome)
        : ModificaProprieta(doc, idNome, std::move(voci))
    {
    }
};

// A barcode's kind and text position.
class ComandoParametriBarcode : public ModificaProprieta {
public:
    ComandoParametriBarcode(DocumentoEtichetta& doc, std::vector<Voce> voci)
        : ModificaProprieta(doc, NomeModifica::ParametriBarcode, std::move(voci))
    {
    }
};

// A line's ends moved by a grip, objects turned, a shape's outline and fill (the name says which).
class ComandoForma : public ModificaProprieta {
public:
    ComandoForma(DocumentoEtichetta& doc, std::vector<Voce> voci, int idNome)
        : ModificaProprieta(doc, idNome, std::move(voci))
    {
    }
};

// An object linked to a database field, or unlinked.
class ComandoCollegaCampo : public ModificaProprieta {
public:
    ComandoCollegaCampo(DocumentoEtichetta& doc, std::vector<Voce> voci)
        : ModificaProprieta(doc, NomeModifica::CollegaCampo, std::move(voci))
    {
    }
};

// Any other setting of the objects (a text's fit, an outline's dash, the rotation), as
// the object panel changes it; the name says which.
class ComandoImpostazione : public ModificaProprieta {
public:
    ComandoImpostazione(DocumentoEtichetta& doc, std::vector<Voce> voci, int idNome)
        : ModificaProprieta(doc, idNome, std::move(voci))
    {
    }
};

// --- drawing order ---

// Bring to front or send to back: the objects, in their drawing order, each go to the
// front (back) in turn and get their z-order code; undo puts every one back in its place
// and its row as it was.
class ComandoOrdine : public ModificaEtichetta {
public:
    ComandoOrdine(DocumentoEtichetta& doc, std::vector<quint64> ids, bool davanti);
    void redo() override;
    void undo() override;
    std::vector<quint64> Oggetti() const override { return ids_; }
    // The z-order table was full on the last redo: the code of some object is not recorded.
    bool TabellaPiena() const { return piena_; }

private:
    struct Prima {
        int disegno = -1;
        int riga = -1;
        QString valore;
    };
    std::vector<quint64> ids_;
    std::vector<Prima> prima_;
    bool davanti_;
    bool piena_ = false;
};

// --- the sheet layout ---

class ComandoLayout : public ModificaEtichetta {
public:
    ComandoLayout(DocumentoEtichetta& doc, const LayoutEtichetta& prima, const LayoutEtichetta& dopo);
    void redo() override { doc_.ImpostaLayout(dopo_); }
    void undo() override { doc_.ImpostaLayout(prima_); }

private:
    LayoutEtichetta prima_, dopo_;
};

// The label's variables replaced (the Variables dialog; the numbering a print continues).
class ComandoVariabili : public ModificaEtichetta {
public:
    ComandoVariabili(DocumentoEtichetta& doc, const VariabiliEtichetta& prima, const VariabiliEtichetta& dopo,
                     int idNome = NomeModifica::Variabili)
        : ModificaEtichetta(doc, idNome), prima_(prima), dopo_(dopo)
    {
    }
    void redo() override { doc_.ImpostaVariabili(dopo_); }
    void undo() override { doc_.ImpostaVariabili(prima_); }

private:
    VariabiliEtichetta prima_, dopo_;
};

}  // namespace cartigo
