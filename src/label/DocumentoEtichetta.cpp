#include "label/DocumentoEtichetta.h"

#include "label/Conversioni.h"
#include "label/Errori.h"

#include <algorithm>

namespace cartigo {

double& LayoutEtichetta::valore(int i)
{
    switch (i) {
    case 0: return EtichetteOrizzontali;
    case 1: return EtichetteVerticali;
    case 2: return MargineSinistro;
    case 3: return MargineSuperiore;
    case 4: return LarghezzaEtichetta;
    case 5: return AltezzaEtichetta;
    case 6: return SpazioOrizzontale;
    case 7: return SpazioVerticale;
    case 8: return OrigineX;
    default: return OrigineY;
    }
}

bool LayoutEtichetta::HaSupporto() const
{
    const LayoutEtichetta d;
    return Prodotto != d.Prodotto || UnaPerPagina != d.UnaPerPagina || LarghezzaPagina != d.LarghezzaPagina ||
           AltezzaPagina != d.AltezzaPagina || Forma != d.Forma || DiametroEsterno != d.DiametroEsterno ||
           DiametroForo != d.DiametroForo || Risoluzione != d.Risoluzione || RiduzioneBarre != d.RiduzioneBarre;
}

// ---- TabellaZOrder ----

int TabellaZOrder::trova(const QString& chiave) const
{
    for (int i = 0; i <= count_; ++i)
        if (righe_[size_t(i)].chiave == chiave)
            return i;
    return -1;
}

void TabellaZOrder::Imposta(const QString& chiave, const QString& valore)
{
    const int i = trova(chiave);
    if (i >= 0) {
        righe_[size_t(i)].valore = valore;
        return;
    }
    if (count_ >= RigheMassime)
        throw ErroreCartigo::di(CodiceErrore::IndiceFuoriIntervallo);
    ++count_;
    if (righe_.size() <= size_t(count_))
        righe_.resize(size_t(count_) + 1);
    righe_[size_t(count_)] = {chiave, valore};
}

void TabellaZOrder::Imposta(const QString& chiave, int codice)
{
    Imposta(chiave, modCartigo::InteroFile(codice));
}

QString TabellaZOrder::Leggi(const QString& chiave) const
{
    const int i = trova(chiave);
    return i >= 0 ? righe_[size_t(i)].valore : modCartigo::InteroFile(0);
}

int TabellaZOrder::Codice(const QString& chiave) const
{
    const auto v = modCartigo::NumeroLocale(Leggi(chiave), ImpostazioniLocali::correnti(), modCartigo::Lettura::File);
    return v ? int(*v) : 0;
}

int TabellaZOrder::RigaDi(const QString& chiave) const
{
    for (int r = 1; r <= count_; ++r)
        if (righe_[size_t(r)].chiave == chiave) return r;
    return -1;
}

void TabellaZOrder::Rimuovi(const QString& chiave)
{
    if (const int i = RigaDi(chiave); i > 0) RimuoviRiga(i);
}

void TabellaZOrder::RimuoviRiga(int i)
{
    if (i < 1 || i > count_) return;
    for (int j = i + 1; j <= count_; ++j)
        righe_[size_t(j - 1)] = righe_[size_t(j)];
    --count_;
}

void TabellaZOrder::InserisciRiga(int i, const QString& chiave, const QString& valore)
{
    if (i < 1 || i > count_ + 1) return;
    ++count_;
    if (righe_.size() <= size_t(count_)) righe_.resize(size_t(count_) + 1);
    for (int j = count_; j > i; --j) righe_[size_t(j)] = righe_[size_t(j - 1)];
    righe_[size_t(i)] = {chiave, valore};
}

// ---- DocumentoEtichetta ----

DocumentoEtichetta::DocumentoEtichetta(QObject* parent) : QObject(parent)
{
    for (int i = 0; i < kNumeroTipiOggetto; ++i) {
        auto& m = modelli_[size_t(i)];
        m.tipo = kTipiOggetto[i];
        m.Index = 0;
        m.id = prossimoId_++;
        m.Visible = false;
    }
    auto& testo = Modello(TipoOggetto::Testo);
    testo.Caption = QStringLiteral("abc");
    testo.BackColor = 0x00FFFFFF;
    testo.ForeColor = 0;
    testo.FontName = QStringLiteral("Microsoft Sans Serif");
    testo.FontSize = 10;
    auto& rett = Modello(TipoOggetto::Rettangolo);
    rett.BackColor = 0x00FFFFFF;
    rett.BorderColor = 0;
    rett.BorderWidth = 1;

    storia_.setUndoLimit(PassiAnnullabili);
    connect(&storia_, &QUndoStack::cleanChanged, this, [this](bool pulito) {
        if (modificato_ == !pulito) return;
        modificato_ = !pulito;
        Q_EMIT statoCambiato();
    });
}

DocumentoEtichetta::~DocumentoEtichetta()
{
    storia_.blockSignals(true);  // the history's steps go with it, unannounced to views going too
}

OggettoEtichetta& DocumentoEtichetta::Modello(TipoOggetto tipo) { return modelli_[size_t(tipo)]; }
const OggettoEtichetta& DocumentoEtichetta::Modello(TipoOggetto tipo) const { return modelli_[size_t(tipo)]; }

int DocumentoEtichetta::GetNewIndex(const QString& nome) const
{
    int massimo = -1;
    for (const auto& m : modelli_)
        if (m.Name() == nome)
            massimo = std::max(massimo, m.Index);
    for (const auto& o : oggetti_)
        if (o->Name() == nome)
            massimo = std::max(massimo, o->Index);
    return massimo + 1;
}

OggettoEtichetta* DocumentoEtichetta::Crea(TipoOggetto tipo, float left, float top, float width, float height)
{
    auto o = std::make_unique<OggettoEtichetta>(Modello(tipo));  // a copy of the template
    o->Index = GetNewIndex(NomeArray(tipo));
    o->id = prossimoId_++;
    o->Left = left;
    o->Top = top;
    o->Width = width;
    o->Height = height;
    o->Visible = true;
    OggettoEtichetta* p = o.get();
    oggetti_.push_back(std::move(o));
    disegno_.push_back(p);  // a new element goes on top
    Q_EMIT oggettiCambiati();
    return p;
}

OggettoEtichetta* DocumentoEtichetta::CreaTesto(float l, float t, float w, float h)
{
    return Crea(TipoOggetto::Testo, l, t, w, h);
}
OggettoEtichetta* DocumentoEtichetta::CreaBarcode(float l, float t, float w, float h)
{
    return Crea(TipoOggetto::Barcode, l, t, w, h);
}
OggettoEtichetta* DocumentoEtichetta::CreaImmagine(float l, float t, float w, float h)
{
    return Crea(TipoOggetto::Immagine, l, t, w, h);
}
OggettoEtichetta* DocumentoEtichetta::CreaRettangolo(float l, float t, float w, float h)
{
    return Crea(TipoOggetto::Rettangolo, l, t, w, h);
}

void DocumentoEtichetta::Scarica(OggettoEtichetta* oggetto)
{
    if (!oggetto || oggetto->Index == 0)
        return;
    disegno_.erase(std::remove(disegno_.begin(), disegno_.end(), oggetto), disegno_.end());
    const auto it = std::find_if(oggetti_.begin(), oggetti_.end(),
                                 [oggetto](const auto& p) { return p.get() == oggetto; });
    if (it != oggetti_.end())
        oggetti_.erase(it);
    Q_EMIT oggettiCambiati();
}

OggettoRimosso DocumentoEtichetta::Rimuovi(OggettoEtichetta* oggetto)
{
    OggettoRimosso r;
    const auto it =
        std::find_if(oggetti_.begin(), oggetti_.end(), [oggetto](const auto& p) { return p.get() == oggetto; });
    if (it == oggetti_.end()) return r;
    r.creazione = int(it - oggetti_.begin());
    r.disegno = PosizioneDisegno(oggetto);
    r.rigaZOrder = zorder_.RigaDi(oggetto->Chiave());
    if (r.rigaZOrder > 0) {
        r.valoreZOrder = zorder_.valoreRiga(r.rigaZOrder);
        zorder_.RimuoviRiga(r.rigaZOrder);
    }
    disegno_.erase(disegno_.begin() + r.disegno);
    r.oggetto = std::move(*it);
    oggetti_.erase(it);
    Q_EMIT oggettiCambiati();
    return r;
}

void DocumentoEtichetta::Ripristina(OggettoRimosso& r)
{
    if (!r.oggetto) return;
    OggettoEtichetta* p = r.oggetto.get();
    const auto creazione = std::clamp<size_t>(size_t(std::max(0, r.creazione)), 0, oggetti_.size());
    const auto disegno = std::clamp<size_t>(size_t(std::max(0, r.disegno)), 0, disegno_.size());
    oggetti_.insert(oggetti_.begin() + qsizetype(creazione), std::move(r.oggetto));
    disegno_.insert(disegno_.begin() + qsizetype(disegno), p);
    if (r.rigaZOrder > 0) zorder_.InserisciRiga(r.rigaZOrder, p->Chiave(), r.valoreZOrder);
    Q_EMIT oggettiCambiati();
}

std::vector<OggettoEtichetta*> DocumentoEtichetta::OrdineCreazione() const
{
    std::vector<OggettoEtichetta*> r;
    r.reserve(oggetti_.size() + modelli_.size());
    for (const auto& m : modelli_)
        r.push_back(const_cast<OggettoEtichetta*>(&m));
    for (const auto& o : oggetti_)
        r.push_back(o.get());
    return r;
}

std::vector<OggettoEtichetta*> DocumentoEtichetta::Oggetti() const
{
    std::vector<OggettoEtichetta*> r;
    r.reserve(oggetti_.size());
    for (const auto& o : oggetti_)
        r.push_back(o.get());
    return r;
}

OggettoEtichetta* DocumentoEtichetta::Trova(const QString& nome, int index) const
{
    if (index == 0) {
        for (const auto& m : modelli_)
            if (m.Name() == nome)
                return const_cast<OggettoEtichetta*>(&m);
        return nullptr;
    }
    for (const auto& o : oggetti_)
        if (o->Index == index && o->Name() == nome)
            return o.get();
    return nullptr;
}

OggettoEtichetta* DocumentoEtichetta::TrovaId(quint64 id) const
{
    for (const auto& o : oggetti_)
        if (o->id == id)
            return o.get();
    return nullptr;
}

void DocumentoEtichetta::PortaDavanti(OggettoEtichetta* oggetto)
{
    const auto it = std::find(disegno_.begin(), disegno_.end(), oggetto);
    if (it == disegno_.end())
        return;
    disegno_.erase(it);
    disegno_.push_back(oggetto);
    Q_EMIT oggettiCambiati();
}

void DocumentoEtichetta::PortaDietro(OggettoEtichetta* oggetto)
{
    const auto it = std::find(disegno_.begin(), disegno_.end(), oggetto);
    if (it == disegno_.end())
        return;
    disegno_.erase(it);
    disegno_.insert(disegno_.begin(), oggetto);
    Q_EMIT oggettiCambiati();
}

int DocumentoEtichetta::PosizioneDisegno(const OggettoEtichetta* oggetto) const
{
    const auto it = std::find(disegno_.begin(), disegno_.end(), oggetto);
    return it == disegno_.end() ? -1 : int(it - disegno_.begin());
}

void DocumentoEtichetta::SpostaNelDisegno(OggettoEtichetta* oggetto, int posizione)
{
    const int da = PosizioneDisegno(oggetto);
    if (da < 0 || posizione < 0 || size_t(posizione) >= disegno_.size() || da == posizione) return;
    disegno_.erase(disegno_.begin() + da);
    disegno_.insert(disegno_.begin() + posizione, oggetto);
    Q_EMIT oggettiCambiati();
}

void DocumentoEtichetta::ImpostaLayout(const LayoutEtichetta& l)
{
    layout_ = l;
    Q_EMIT layoutCambiato();
}

void DocumentoEtichetta::ImpostaConnesso(bool c)
{
    connesso_ = c;
    Q_EMIT connessioneCambiata(c);
}

void DocumentoEtichetta::ImpostaModificato(bool m)
{
    if (!m)
        storia_.setClean();
    else if (storia_.isClean())
        storia_.resetClean();
    if (modificato_ == m)
        return;
    modificato_ = m;
    Q_EMIT statoCambiato();
}

void DocumentoEtichetta::ImpostaNomeFileEtichetta(const QString& f)
{
    nomeFile_ = f;
    Q_EMIT statoCambiato();
}

void DocumentoEtichetta::ImpostaModo(ModoInserimento m)
{
    modo_ = m;
    Q_EMIT statoCambiato();
}

void DocumentoEtichetta::ImpostaLayoutDefault() { ImpostaLayout(LayoutEtichetta{}); }

void DocumentoEtichetta::AzzeraVariabili()
{
    nomeFile_.clear();
    cartella_.clear();
    auto& c = collegamento_;
    c.NomeDatabase.clear();
    c.PasswordDatabase.clear();
    c.NomeTabella.clear();
    c.CampoSelezione.clear();
    c.TipoSelezione = 0;
    c.ValoreSelezione1.clear();
    c.ValoreSelezione2.clear();
    c.ValoreSelezione3.clear();
    connesso_ = false;
    zorder_.Azzera();
}

void DocumentoEtichetta::ImpostaVariabili(const VariabiliEtichetta& v)
{
    if (v == variabili_) return;
    variabili_ = v;
    Q_EMIT variabiliCambiate();
}

void DocumentoEtichetta::NuovaEtichetta()
{
    ImpostaLayoutDefault();
    ImpostaVariabili({});
    AzzeraVariabili();
    Q_EMIT connessioneCambiata(false);  // the owner of the connection closes it
    storia_.clear();
    disegno_.clear();
    oggetti_.clear();
    modificato_ = false;
    Q_EMIT oggettiCambiati();
    Q_EMIT statoCambiato();
}

void DocumentoEtichetta::NotificaModificaOggetto(OggettoEtichetta* oggetto) { Q_EMIT oggettoCambiato(oggetto); }

// On a roll every label is a page of its own: there are no sheet margins, and column and
// row are always the first.
double DocumentoEtichetta::GetXGen(double offset, int col) const
{
    const auto& l = layout_;
    if (l.UnaPerPagina) return l.OrigineX + offset;
    return l.MargineSinistro + l.OrigineX + offset + (col - 1) * l.LarghezzaEtichetta
           + (col - 1) * l.SpazioOrizzontale;
}

double DocumentoEtichetta::GetYGen(double offset, int row) const
{
    const auto& l = layout_;
    if (l.UnaPerPagina) return l.OrigineY + offset;
    return l.MargineSuperiore + l.OrigineY + offset + (row - 1) * l.AltezzaEtichetta
           + (row - 1) * l.SpazioVerticale;
}

double DocumentoEtichetta::GetX(int col, const OggettoEtichetta& o) const
{
    return GetXGen((double(o.Left) - 567.0) / TwipsPerMm, col);
}

double DocumentoEtichetta::GetY(int row, const OggettoEtichetta& o) const
{
    return GetYGen((double(o.Top) - 1440.0) / TwipsPerMm, row);
}

}  // namespace cartigo
