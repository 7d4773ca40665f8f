#include "label/ModificheEtichetta.h"

#include "label/Errori.h"
#include "shell/StringTable.h"

#include <algorithm>

namespace cartigo {

void Cornice::ApplicaA(OggettoEtichetta& o) const
{
    o.Left = Left;
    o.Top = Top;
    o.Width = Width;
    o.Height = Height;
}

void CopiaProprieta(OggettoEtichetta& a, const OggettoEtichetta& da)
{
    const TipoOggetto tipo = a.tipo;
    const int index = a.Index;
    const quint64 id = a.id;
    const bool visibile = a.Visible;
    a = da;
    a.tipo = tipo;
    a.Index = index;
    a.id = id;
    a.Visible = visibile;
}

bool StesseProprieta(const OggettoEtichetta& a, const OggettoEtichetta& b)
{
    return Cornice::Di(a) == Cornice::Di(b) && a.Caption == b.Caption && a.FontName == b.FontName &&
           a.FontSize == b.FontSize && a.FontBold == b.FontBold && a.FontItalic == b.FontItalic &&
           a.Alignment == b.Alignment && a.ForeColor == b.ForeColor && a.BackStyle == b.BackStyle &&
           a.BackColor == b.BackColor && a.BorderColor == b.BorderColor && a.BorderWidth == b.BorderWidth &&
           a.DataMember == b.DataMember && a.Tag == b.Tag && a.ToolTipText == b.ToolTipText &&
           a.Picture.cacheKey() == b.Picture.cacheKey() && a.Adattamento == b.Adattamento &&
           a.Rotazione == b.Rotazione && a.Contorno == b.Contorno && a.Riempimento == b.Riempimento &&
           a.Ascendente == b.Ascendente;
}

ModificaEtichetta::ModificaEtichetta(DocumentoEtichetta& doc, int idNome) : doc_(doc), idNome_(idNome)
{
    setText(LoadResString(idNome));
}

// ---- objects added and taken away ----

ModificaPresenza::ModificaPresenza(DocumentoEtichetta& doc, int idNome, std::vector<quint64> ids)
    : ModificaEtichetta(doc, idNome), ids_(std::move(ids))
{
}

void ModificaPresenza::togli()
{
    rimossi_.clear();
    for (quint64 id : ids_)
        if (OggettoEtichetta* o = doc_.TrovaId(id)) rimossi_.push_back(doc_.Rimuovi(o));
}

void ModificaPresenza::rimetti()
{
    // Each went out of the document the previous one left: back in the reverse order.
    for (auto it = rimossi_.rbegin(); it != rimossi_.rend(); ++it) doc_.Ripristina(*it);
    rimossi_.clear();
}

void ModificaAggiunta::redo()
{
    if (fatto_)
        fatto_ = false;
    else
        rimetti();
}

ComandoCancella::ComandoCancella(DocumentoEtichetta& doc, std::vector<quint64> ids, int idNome)
    : ModificaPresenza(doc, idNome, std::move(ids))
{
}

// ---- frames ----

ModificaCornici::ModificaCornici(DocumentoEtichetta& doc, int idNome, std::vector<Voce> voci)
    : ModificaEtichetta(doc, idNome), voci_(std::move(voci))
{
}

namespace {
template <typename Voce>
std::vector<quint64> idsDi(const std::vector<Voce>& voci)
{
    std::vector<quint64> r;
    for (const Voce& v : voci) r.push_back(v.id);
    return r;
}
}  // namespace

std::vector<quint64> ModificaCornici::Oggetti() const
{
    return idsDi(voci_);
}

void ModificaCornici::applica(bool dopo)
{
    for (const Voce& v : voci_) {
        if (OggettoEtichetta* o = doc_.TrovaId(v.id)) {
            (dopo ? v.dopo : v.prima).ApplicaA(*o);
            doc_.NotificaModificaOggetto(o);
        }
    }
}

bool ModificaCornici::unisci(const QUndoCommand* altro)
{
    const auto* a = dynamic_cast<const ModificaCornici*>(altro);
    if (!a || a->id() != id() || a->voci_.size() != voci_.size()) return false;
    for (size_t i = 0; i < voci_.size(); ++i)
        if (a->voci_[i].id != voci_[i].id) return false;
    bool fermo = true;
    for (size_t i = 0; i < voci_.size(); ++i) {
        voci_[i].dopo = a->voci_[i].dopo;
        fermo = fermo && voci_[i].dopo == voci_[i].prima;
    }
    // Back where the presses started: the step goes away.
    setObsolete(fermo);
    return true;
}

ComandoSposta::ComandoSposta(DocumentoEtichetta& doc, std::vector<Voce> voci, bool daTastiera)
    : ModificaCornici(doc, NomeModifica::Spostamento, std::move(voci)), daTastiera_(daTastiera)
{
}

ComandoRidimensiona::ComandoRidimensiona(DocumentoEtichetta& doc, std::vector<Voce> voci, bool daTastiera)
    : ModificaCornici(doc, NomeModifica::Ridimensionamento, std::move(voci)), daTastiera_(daTastiera)
{
}

// ---- properties ----

ModificaProprieta::ModificaProprieta(DocumentoEtichetta& doc, int idNome, std::vector<Voce> voci)
    : ModificaEtichetta(doc, idNome), voci_(std::move(voci))
{
}

std::vector<quint64> ModificaProprieta::Oggetti() const
{
    return idsDi(voci_);
}

void ModificaProprieta::applica(bool dopo)
{
    for (const Voce& v : voci_) {
        if (OggettoEtichetta* o = doc_.TrovaId(v.id)) {
            CopiaProprieta(*o, dopo ? v.dopo : v.prima);
            doc_.NotificaModificaOggetto(o);
        }
    }
}

// ---- drawing order ----

ComandoOrdine::ComandoOrdine(DocumentoEtichetta& doc, std::vector<quint64> ids, bool davanti)
    : ModificaEtichetta(doc, davanti ? NomeModifica::PortaAvanti : NomeModifica::PortaIndietro),
      ids_(std::move(ids)),
      davanti_(davanti)
{
    // In drawing order, so that the objects keep their order among themselves.
    std::stable_sort(ids_.begin(), ids_.end(), [&doc](quint64 a, quint64 b) {
        return doc.PosizioneDisegno(doc.TrovaId(a)) < doc.PosizioneDisegno(doc.TrovaId(b));
    });
    // Sent to the back, the topmost goes first, so the lowest ends lowest.
    if (!davanti_) std::reverse(ids_.begin(), ids_.end());
}

void ComandoOrdine::redo()
{
    prima_.assign(ids_.size(), {});
    piena_ = false;
    for (size_t i = 0; i < ids_.size(); ++i) {
        OggettoEtichetta* o = doc_.TrovaId(ids_[i]);
        if (!o) continue;
        const QString chiave = o->Chiave();
        Prima& p = prima_[i];
        p.disegno = doc_.PosizioneDisegno(o);
        p.riga = doc_.Zorder().RigaDi(chiave);
        if (p.riga > 0) p.valore = doc_.Zorder().valoreRiga(p.riga);
        if (davanti_)
            doc_.PortaDavanti(o);
        else
            doc_.PortaDietro(o);
        try {
            doc_.ZOrderImposta(chiave, davanti_ ? 1 : 2);
        } catch (const ErroreCartigo&) {
            piena_ = true;  // moved, its code not recorded
        }
    }
}

void ComandoOrdine::undo()
{
    for (size_t i = ids_.size(); i-- > 0;) {
        OggettoEtichetta* o = doc_.TrovaId(ids_[i]);
        if (!o || i >= prima_.size()) continue;
        const Prima& p = prima_[i];
        auto& z = doc_.Zorder();
        if (p.riga > 0)
            z.ImpostaValoreRiga(p.riga, p.valore);
        else
            z.RimuoviRiga(z.RigaDi(o->Chiave()));
        doc_.SpostaNelDisegno(o, p.disegno);
    }
}

// ---- the sheet layout ----

ComandoLayout::ComandoLayout(DocumentoEtichetta& doc, const LayoutEtichetta& prima, const LayoutEtichetta& dopo)
    : ModificaEtichetta(doc, NomeModifica::Layout), prima_(prima), dopo_(dopo)
{
}

}  // namespace cartigo
