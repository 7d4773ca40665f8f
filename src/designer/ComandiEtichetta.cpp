#include "designer/ComandiEtichetta.h"

#include "designer/Superficie.h"

#include "label/Caratteri.h"
#include "label/Colori.h"
#include "label/Conversioni.h"
#include "label/Errori.h"
#include "label/FileEtichetta.h"
#include "label/ImmagineEtichetta.h"
#include "label/NomiFile.h"
#include "shell/StringTable.h"

namespace cartigo {

using modCartigo::ArrotondaPari;
using modCartigo::ConvertiIntero;

// ---- dialog requests ----

int RichiestaAllineamento::OpzioneDaAllineamento(int alignment)
{
    switch (alignment) {
    case 2: return 1;
    case 1: return 2;
    default: return 0;
    }
}

int RichiestaAllineamento::AllineamentoDaOpzione(int opzione)
{
    switch (opzione) {
    case 1: return 2;
    case 2: return 1;
    default: return 0;
    }
}

bool RichiestaModificaImmagine::Verifica(const QString& nomeFile, Interazione& ui, const QString& titolo) const
{
    const ImmagineLetta letta = LeggiImmagine(nomeFile, cartellaEtichetta);
    if (!letta.immagine.isNull())
        return true;
    ui.beep();
    ui.messaggio(letta.file.isEmpty() ? LoadResString(1407) : letta.problema, titolo, Pulsanti::Ok,
                 Icona::Esclamazione);
    return false;
}

std::optional<QString> RichiestaModificaImmagine::Sfoglia(Interazione& ui, const QString& cartella)
{
    RichiestaFile r;
    r.tipo = RichiestaFile::Tipo::Apri;
    r.titolo = LoadResString(208);
    r.filtro = FiltroImmagini();
    r.filtroScelto = VoceFiltro(r.filtro, 1);
    r.cartella = cartella;
    r.fileDeveEsistere = true;
    auto scelto = ui.scegliFile(r);
    if (scelto) RicordaCartellaDialogo(*scelto);
    return scelto;
}

// ---- the selection ----

Selezione::Selezione(OggettoEtichetta* oggetto)
{
    if (oggetto && oggetto->Index > 0) oggetti_.push_back(oggetto);
}

Selezione::Selezione(std::vector<OggettoEtichetta*> oggetti)
{
    for (OggettoEtichetta* o : oggetti)
        if (o && o->Index > 0) oggetti_.push_back(o);
}

std::vector<OggettoEtichetta*> Selezione::DiTipo(std::initializer_list<TipoOggetto> tipi) const
{
    std::vector<OggettoEtichetta*> r;
    for (OggettoEtichetta* o : oggetti_)
        if (std::find(tipi.begin(), tipi.end(), o->tipo) != tipi.end()) r.push_back(o);
    return r;
}

std::vector<quint64> Selezione::Ids() const
{
    std::vector<quint64> r;
    for (const OggettoEtichetta* o : oggetti_) r.push_back(o->id);
    return r;
}

// ---- commands ----

namespace {
constexpr std::initializer_list<TipoOggetto> kTesti = {TipoOggetto::Testo};
constexpr std::initializer_list<TipoOggetto> kTestiERettangoli = {TipoOggetto::Testo, TipoOggetto::Rettangolo};

// Pushes a change of properties unless it changes nothing.
template <typename Comando, typename... Altri>
void esegui(DocumentoEtichetta& doc, std::vector<ModificaProprieta::Voce> voci, Altri... altri)
{
    if (!voci.empty()) doc.Esegui(new Comando(doc, std::move(voci), altri...));
}
}  // namespace

ComandiEtichetta::ComandiEtichetta(DocumentoEtichetta& doc, Interazione& ui) : doc_(doc), ui_(ui) {}

void ComandiEtichetta::mostraErrore(int numero, const QString& descrizione)
{
    ui_.messaggio(TestoErroreNonGestito(numero, descrizione), titolo_, Pulsanti::Ok, Icona::Esclamazione);
}

void ComandiEtichetta::Cancella(const Selezione& selezione)
{
    if (!selezione.Vuota()) doc_.Esegui(new ComandoCancella(doc_, selezione.Ids()));
}

void ComandiEtichetta::Copia(const Selezione& selezione)
{
    if (selezione.Vuota()) return;
    copiati_ = selezione.Ids();
    tagliati_.clear();
    incollati_ = 0;
}

void ComandiEtichetta::Taglia(const Selezione& selezione)
{
    if (selezione.Vuota()) return;
    copiati_.clear();
    tagliati_.clear();
    incollati_ = 0;
    for (const OggettoEtichetta* o : doc_.OrdineDisegno())
        if (std::find(selezione.Oggetti().begin(), selezione.Oggetti().end(), o) != selezione.Oggetti().end())
            tagliati_.push_back(*o);
    doc_.Esegui(new ComandoCancella(doc_, selezione.Ids(), NomeModifica::Taglio));
}

const OggettoEtichetta* ComandiEtichetta::OggettoCopiato() const
{
    for (quint64 id : copiati_)
        if (const OggettoEtichetta* o = doc_.TrovaId(id)) return o;
    return tagliati_.empty() ? nullptr : &tagliati_.front();
}

OggettoEtichetta* ComandiEtichetta::Incolla()
{
    // Read now, in drawing order: the copies go on top of each other as the originals lie.
    std::vector<OggettoEtichetta> fonti = tagliati_;
    for (const OggettoEtichetta* o : doc_.OrdineDisegno())
        if (std::find(copiati_.begin(), copiati_.end(), o->id) != copiati_.end()) fonti.push_back(*o);
    std::vector<quint64> nuovi;
    OggettoEtichetta* ultimo = nullptr;
    const float scostamento = 100.0f * float(incollati_ + 1);
    for (const OggettoEtichetta& f : fonti) {
        ultimo = IncollaOggetto(f, scostamento);
        nuovi.push_back(ultimo->id);
    }
    ultimaIncollatura_ = nuovi;
    if (!nuovi.empty()) {
        ++incollati_;
        doc_.Esegui(new ComandoIncolla(doc_, std::move(nuovi)));
    }
    return ultimo;
}

std::vector<OggettoEtichetta*> ComandiEtichetta::Incollati() const
{
    std::vector<OggettoEtichetta*> r;
    for (quint64 id : ultimaIncollatura_)
        if (OggettoEtichetta* o = doc_.TrovaId(id)) r.push_back(o);
    return r;
}

OggettoEtichetta* ComandiEtichetta::IncollaOggetto(const OggettoEtichetta& c, float scostamento)
{
    const OggettoEtichetta copiato = c;  // read now: the copy may be changed below
    OggettoEtichetta* n = doc_.Crea(copiato.tipo, copiato.Left + scostamento, copiato.Top + scostamento, copiato.Width,
                                    copiato.Height);
    switch (copiato.tipo) {
    case TipoOggetto::Testo:
        n->Caption = copiato.Caption;
        n->FontName = copiato.FontName;
        n->FontSize = float(ArrotondaPari(copiato.FontSize));
        n->FontBold = copiato.FontBold;
        n->FontItalic = copiato.FontItalic;
        n->BackStyle = copiato.BackStyle;
        n->Alignment = copiato.Alignment;
        n->ForeColor = copiato.ForeColor;
        n->BackColor = copiato.BackColor;
        n->DataMember = copiato.DataMember;
        n->Adattamento = copiato.Adattamento;
        break;
    case TipoOggetto::Barcode:
    case TipoOggetto::Immagine:
        n->Tag = copiato.Tag;
        n->DataMember = copiato.DataMember;
        n->ToolTipText = copiato.ToolTipText;
        if (copiato.tipo == TipoOggetto::Immagine)
            FileEtichetta::CaricaImmagine(*n, doc_.CartellaEtichetta());  // so the copy shows what it prints
        break;
    case TipoOggetto::Rettangolo:
        n->BackStyle = copiato.BackStyle;
        n->BackColor = copiato.BackColor;
        n->BorderColor = copiato.BorderColor;
        n->Tag = copiato.Tag;
        n->BorderWidth = copiato.BorderWidth;
        break;
    case TipoOggetto::Linea:
    case TipoOggetto::Ellisse:
        n->Contorno = copiato.Contorno;
        n->Riempimento = copiato.Riempimento;
        n->Ascendente = copiato.Ascendente;
        break;
    }
    n->Rotazione = copiato.Rotazione;
    doc_.PortaDavanti(n);
    try {
        doc_.ZOrderImposta(n->Chiave(), 1);
    } catch (const ErroreCartigo&) {
        // a full z-order table: the paste goes on without the record
    }
    doc_.NotificaModificaOggetto(n);
    return n;
}

void ComandiEtichetta::PortaAvanti(const Selezione& selezione)
{
    ordine(selezione, true);
}

void ComandiEtichetta::PortaIndietro(const Selezione& selezione)
{
    ordine(selezione, false);
}

void ComandiEtichetta::ordine(const Selezione& selezione, bool davanti)
{
    if (selezione.Vuota()) return;
    auto* c = new ComandoOrdine(doc_, selezione.Ids(), davanti);
    doc_.Esegui(c);
    if (c->TabellaPiena()) {
        const ErroreCartigo e = ErroreCartigo::di(CodiceErrore::IndiceFuoriIntervallo);
        mostraErrore(e.numero(), e.descrizione());
    }
}

void ComandiEtichetta::cornici(const Selezione& selezione, const std::vector<Cornice>& nuove, int idNome)
{
    std::vector<ModificaCornici::Voce> voci;
    for (size_t i = 0; i < selezione.Oggetti().size() && i < nuove.size(); ++i) {
        const OggettoEtichetta* o = selezione.Oggetti()[i];
        if (Cornice::Di(*o) != nuove[i]) voci.push_back({o->id, Cornice::Di(*o), nuove[i]});
    }
    if (!voci.empty()) doc_.Esegui(new ComandoAllinea(doc_, std::move(voci), idNome));
}

namespace {
std::vector<Cornice> corniciDi(const Selezione& selezione)
{
    std::vector<Cornice> r;
    for (const OggettoEtichetta* o : selezione.Oggetti()) r.push_back(Cornice::Di(*o));
    return r;
}
QRectF rettangoloEtichetta(const LayoutEtichetta& l)
{
    return QRectF(OrigineEtichettaX, OrigineEtichettaY, l.LarghezzaEtichetta * DocumentoEtichetta::TwipsPerMm,
                  l.AltezzaEtichetta * DocumentoEtichetta::TwipsPerMm);
}
}  // namespace

void ComandiEtichetta::Allinea(cartigo::Allinea come, const Selezione& selezione)
{
    cornici(selezione, Allineamento::Allinea(corniciDi(selezione), come, rettangoloEtichetta(doc_.Layout())),
            NomeModifica::Allineamento);
}

void ComandiEtichetta::Distribuisci(cartigo::Distribuisci come, const Selezione& selezione)
{
    cornici(selezione, Allineamento::Distribuisci(corniciDi(selezione), come), NomeModifica::Distribuzione);
}

void ComandiEtichetta::StessaDimensione(cartigo::Dimensione quale, const Selezione& selezione)
{
    cornici(selezione, Allineamento::StessaDimensione(corniciDi(selezione), quale), NomeModifica::StessaDimensione);
}

void ComandiEtichetta::Disponi(const ComandoDisposizione& comando, const Selezione& selezione)
{
    switch (comando.tipo) {
    case ComandoDisposizione::Tipo::Allinea:
        Allinea(cartigo::Allinea(comando.valore), selezione);
        break;
    case ComandoDisposizione::Tipo::Distribuisci:
        Distribuisci(cartigo::Distribuisci(comando.valore), selezione);
        break;
    case ComandoDisposizione::Tipo::Dimensione:
        StessaDimensione(cartigo::Dimensione(comando.valore), selezione);
        break;
    }
}

void ComandiEtichetta::ImpostaCornice(OggettoEtichetta* oggetto, const Cornice& cornice)
{
    if (!oggetto || oggetto->Index == 0 || Cornice::Di(*oggetto) == cornice) return;
    const Cornice prima = Cornice::Di(*oggetto);
    const bool stessaDimensione = prima.Width == cornice.Width && prima.Height == cornice.Height;
    std::vector<ModificaCornici::Voce> voci{{oggetto->id, prima, cornice}};
    if (stessaDimensione)
        doc_.Esegui(new ComandoSposta(doc_, std::move(voci)));
    else
        doc_.Esegui(new ComandoRidimensiona(doc_, std::move(voci)));
}

bool ComandiEtichetta::FontExists(const QString& nome) const
{
    return Caratteri::Disponibile(nome, fonts_);
}

bool ComandiEtichetta::ApplyFont(const QString& nome, const QString& dimensione, bool grassetto, bool corsivo,
                                 const Selezione& selezione)
{
    double intera = 0;
    try {
        intera = ConvertiIntero(dimensione, ImpostazioniLocali::correnti());
    } catch (const ErroreCartigo&) {
        return false;  // a size past the integer range: nothing can take it
    }
    if (nome.isEmpty() || intera == 0) return false;
    intera = ArrotondaPari(intera);
    if (intera < 1 || intera > DimensioneCarattereMassima) return false;  // a size no font takes
    auto applica = [&](OggettoEtichetta& o) {
        o.FontName = nome;
        o.FontSize = float(intera);
        o.FontBold = grassetto;
        o.FontItalic = corsivo;
    };
    if (selezione.Vuota()) {
        applica(doc_.Modello(TipoOggetto::Testo));
        return true;
    }
    esegui<ComandoCarattere>(doc_, ModificaProprieta::Voci(selezione.DiTipo(kTesti), applica));
    return true;
}

bool ComandiEtichetta::VerificaNomeFont(const QString& nome)
{
    const QString n = nome.trimmed();
    if (!n.isEmpty() && FontExists(n))
        return true;
    ui_.beep();
    ui_.messaggio(LoadResString(154), titolo_, Pulsanti::Ok, Icona::Esclamazione);
    return false;
}

bool ComandiEtichetta::VerificaDimensioneFont(const QString& dimensione)
{
    double n = 0;
    try {
        n = ConvertiIntero(dimensione.trimmed(), ImpostazioniLocali::correnti());
    } catch (const ErroreCartigo&) {
        n = 0;
    }
    if (n >= 1 && n <= 1638)
        return true;
    ui_.beep();
    ui_.messaggio(LoadResString(155), titolo_, Pulsanti::Ok, Icona::Esclamazione);
    return false;
}

void ComandiEtichetta::Carattere(const Selezione& selezione)
{
    auto& modello = doc_.Modello(TipoOggetto::Testo);
    const auto testi = selezione.DiTipo(kTesti);
    const OggettoEtichetta* fonte = selezione.Vuota() ? &modello : (testi.empty() ? nullptr : testi.back());
    if (!fonte)
        return;
    // The dialog opens on the face the text is drawn with, in its current style.
    const QFont iniziale = Caratteri::CarattereDialogo(fonte->FontName, ArrotondaPari(fonte->FontSize), fonte->FontBold,
                                                       fonte->FontItalic);
    const auto scelto = ui_.scegliCarattere(iniziale, LoadResString(142));
    if (!scelto)
        return;
    // That face confirmed keeps the family the label names ("Arial" drawn with Liberation Sans).
    QString famiglia = Caratteri::SenzaFonderia(scelto->family());
    if (famiglia == iniziale.family()) famiglia = fonte->FontName;
    const float dimensione = float(ArrotondaPari(scelto->pointSizeF() > 0 ? scelto->pointSizeF() : 10));
    auto applica = [&](OggettoEtichetta& o) {
        o.FontName = famiglia;
        o.FontSize = dimensione;
        o.FontBold = scelto->bold();
        o.FontItalic = scelto->italic();
    };
    applica(modello);  // the texts created next take it too
    esegui<ComandoCarattere>(doc_, ModificaProprieta::Voci(testi, applica));
}

void ComandiEtichetta::ColoreOggetto(const Selezione& selezione)
{
    const auto oggetti = selezione.DiTipo(kTestiERettangoli);
    if (oggetti.empty()) return;
    auto campo = [](OggettoEtichetta& o) -> qint32& {
        return o.tipo == TipoOggetto::Testo ? o.ForeColor : o.BorderColor;
    };
    const auto c = ui_.scegliColore(ColoreDaVB(campo(*oggetti.back())), LoadResString(137));
    if (!c)
        return;
    const qint32 colore = ColoreVB(*c);
    esegui<ComandoColore>(doc_, ModificaProprieta::Voci(oggetti, [&](OggettoEtichetta& o) { campo(o) = colore; }),
                          false);
}

void ComandiEtichetta::ColoreSfondo(const Selezione& selezione)
{
    const auto oggetti = selezione.DiTipo(kTestiERettangoli);
    if (oggetti.empty()) return;
    const auto c = ui_.scegliColore(ultimoSfondo_, LoadResString(136));
    if (!c)
        return;
    ultimoSfondo_ = *c;
    const qint32 colore = ColoreVB(*c);
    const auto opacoColorato = [&](OggettoEtichetta& o) {
        o.BackStyle = 1;
        o.BackColor = colore;
    };
    esegui<ComandoColore>(doc_, ModificaProprieta::Voci(oggetti, opacoColorato), true);
}

void ComandiEtichetta::SetAlignment(int valore, const Selezione& selezione)
{
    esegui<ComandoAllineamentoTesto>(
        doc_, ModificaProprieta::Voci(selezione.DiTipo(kTesti), [&](OggettoEtichetta& o) { o.Alignment = valore; }));
}

void ComandiEtichetta::Allineamento(const Selezione& selezione)
{
    const auto testi = selezione.DiTipo(kTesti);
    if (testi.empty()) return;
    RichiestaAllineamento r;
    r.opzione = RichiestaAllineamento::OpzioneDaAllineamento(testi.back()->Alignment);
    if (!ui_.dialogo(r))
        return;
    SetAlignment(RichiestaAllineamento::AllineamentoDaOpzione(r.opzione), selezione);
}

void ComandiEtichetta::Spessore(int spessore, const Selezione& selezione)
{
    if (spessore < 1 || spessore > 3) return;
    esegui<ComandoSpessore>(doc_, ModificaProprieta::Voci(selezione.DiTipo({TipoOggetto::Rettangolo}),
                                                          [&](OggettoEtichetta& o) { o.BorderWidth = spessore; }));
}

void ComandiEtichetta::Opaco(const Selezione& selezione)
{
    esegui<ComandoSfondo>(doc_, ModificaProprieta::Voci(selezione.DiTipo(kTestiERettangoli),
                                                        [](OggettoEtichetta& o) { o.BackStyle = 1; }));
}

void ComandiEtichetta::Trasparente(const Selezione& selezione)
{
    esegui<ComandoSfondo>(doc_, ModificaProprieta::Voci(selezione.DiTipo(kTestiERettangoli),
                                                        [](OggettoEtichetta& o) { o.BackStyle = 0; }));
}

QString RichiestaVariabili::AvvisoCampi(const VariabiliEtichetta& v, const QStringList& campi)
{
    QStringList righe;
    for (const VariabileEtichetta& x : v)
        if (campi.contains(x.Nome.trimmed(), Qt::CaseInsensitive)) righe << LoadResString(2830).arg(x.Nome.trimmed());
    return righe.join(QLatin1Char('\n'));
}

void ComandiEtichetta::Variabili()
{
    RichiestaVariabili r;
    r.variabili = doc_.Variabili();
    if (campiDati) r.campi = campiDati();
    if (!ui_.dialogo(r) || r.variabili == doc_.Variabili()) return;
    doc_.Esegui(new ComandoVariabili(doc_, doc_.Variabili(), r.variabili));
}

void ComandiEtichetta::ModificaTesto(const Selezione& selezione)
{
    OggettoEtichetta* corrente = selezione.Ultimo();
    if (!corrente || (corrente->tipo != TipoOggetto::Testo && corrente->tipo != TipoOggetto::Barcode))
        return;
    const bool testo = corrente->tipo == TipoOggetto::Testo;
    RichiestaModificaTesto r;
    if (modCartigo::TestoTrim(corrente->DataMember).isEmpty())
        r.testo = testo ? corrente->Caption : corrente->ToolTipText;
    if (campiDati) r.campi = campiDati();
    // the label's variables are offered like the fields
    for (const VariabileEtichetta& v : doc_.Variabili())
        if (!r.campi.contains(v.Nome, Qt::CaseInsensitive)) r.campi << v.Nome;
    if (!ui_.dialogo(r))
        return;
    // A line break would split the label file's line: keep the text on one line.
    r.testo.replace(QStringLiteral("\r\n"), QStringLiteral(" ")).replace(QLatin1Char('\r'), QLatin1Char(' '));
    const auto nuovoTesto = [&](OggettoEtichetta& o) {
        (testo ? o.Caption : o.ToolTipText) = r.testo;
        o.DataMember.clear();
    };
    esegui<ComandoContenuto>(doc_, ModificaProprieta::Voci({corrente}, nuovoTesto), NomeModifica::ModificaTesto);
}

void ComandiEtichetta::ModificaImmagine(const Selezione& selezione)
{
    OggettoEtichetta* corrente = selezione.Ultimo();
    if (!corrente || corrente->tipo != TipoOggetto::Immagine)
        return;
    RichiestaModificaImmagine r;
    if (modCartigo::TestoTrim(corrente->DataMember).isEmpty())
        r.nomeFile = corrente->ToolTipText;
    r.cartellaEtichetta = doc_.CartellaEtichetta();
    if (!ui_.dialogo(r))
        return;
    const auto nuovoFile = [&](OggettoEtichetta& o) {
        o.ToolTipText = FileEtichetta::NomeFilePerEtichetta(r.nomeFile, r.cartellaEtichetta);
        o.DataMember.clear();
        FileEtichetta::CaricaImmagine(o, r.cartellaEtichetta);
    };
    esegui<ComandoContenuto>(doc_, ModificaProprieta::Voci({corrente}, nuovoFile), NomeModifica::ModificaImmagine);
}

bool ComandiEtichetta::FileNuovaImmagine(OggettoEtichetta& immagine)
{
    if (immagine.tipo != TipoOggetto::Immagine) return false;
    const auto scelto = RichiestaModificaImmagine::Sfoglia(ui_, CartellaDialogo(doc_.NomeFileEtichetta()));
    if (!scelto || scelto->isEmpty()) return false;
    immagine.ToolTipText = FileEtichetta::NomeFilePerEtichetta(*scelto, doc_.CartellaEtichetta());
    immagine.DataMember.clear();
    FileEtichetta::CaricaImmagine(immagine, doc_.CartellaEtichetta());
    return true;
}

void ComandiEtichetta::ParametriBarcode(const Selezione& selezione)
{
    const auto barcode = selezione.DiTipo({TipoOggetto::Barcode});
    if (barcode.empty()) return;
    OggettoEtichetta* corrente = barcode.back();
    const cartigo::ParametriBarcode p = cartigo::ParametriBarcode::DaTag(corrente->Tag);
    RichiestaParametriBarcode r;
    r.tipoBarcode = p.tipo >= 0 && p.tipo < kTipiBarcode ? p.tipo : 0;
    r.opzioneTesto = RichiestaParametriBarcode::OpzioneDaAllineamento(p.testo);
    r.correzione = p.correzione;
    r.forma = p.forma;
    r.cifreStandard = !CifreStandardPossibili(p.tipo) || p.cifreStandard;
    r.campo = Superficie::CampoBarcode(*corrente);
    r.dati = corrente->ToolTipText;
    r.larghezza = corrente->Width;
    r.altezza = corrente->Height;
    if (!ui_.dialogo(r))
        return;
    // Every selected barcode takes the settings chosen and keeps the rest of its Tag.
    const auto nuoviParametri = [&](OggettoEtichetta& o) {
        cartigo::ParametriBarcode q = cartigo::ParametriBarcode::DaTag(o.Tag);
        q.tipo = r.tipoBarcode;
        q.testo = RichiestaParametriBarcode::AllineamentoDaOpzione(r.opzioneTesto);
        q.correzione = r.correzione;
        q.forma = r.forma;
        q.cifreStandard = r.cifreStandard;
        o.Tag = q.Tag();
    };
    esegui<ComandoParametriBarcode>(doc_, ModificaProprieta::Voci(barcode, nuoviParametri));
}

void ComandiEtichetta::Ruota(int passi, const Selezione& selezione)
{
    std::vector<OggettoEtichetta*> oggetti;
    for (OggettoEtichetta* o : selezione.Oggetti())
        if (Ruotabile(o->tipo)) oggetti.push_back(o);
    const auto gira = [passi](OggettoEtichetta& o) {
        const RotazioneOggetto dopo = o.Rotazione.Girata(passi);
        if (dopo.Traversa() != o.Rotazione.Traversa()) {
            // The box turns about its centre: width and height change places.
            const double cx = double(o.Left) + o.Width / 2.0, cy = double(o.Top) + o.Height / 2.0;
            std::swap(o.Width, o.Height);
            o.Left = float(cx - o.Width / 2.0);
            o.Top = float(cy - o.Height / 2.0);
        }
        o.Rotazione = dopo;
    };
    esegui<ComandoForma>(doc_, ModificaProprieta::Voci(oggetti, gira), NomeModifica::Rotazione);
}

void ComandiEtichetta::ProprietaForma(const Selezione& selezione)
{
    const auto forme = selezione.DiTipo({TipoOggetto::Linea, TipoOggetto::Ellisse});
    if (forme.empty()) return;
    RichiestaForma r;
    r.contorno = forme.back()->Contorno;
    for (const OggettoEtichetta* o : forme) {
        if (o->tipo != TipoOggetto::Ellisse) continue;
        r.riempimento = o->Riempimento;  // the last selected ellipse's
        r.conRiempimento = true;
    }
    if (!ui_.dialogo(r)) return;
    r.contorno.Spessore = std::clamp(r.contorno.Spessore, 0.0f, 20.0f);
    const auto applica = [&](OggettoEtichetta& o) {
        o.Contorno = r.contorno;
        if (o.tipo == TipoOggetto::Ellisse) o.Riempimento = r.riempimento;
    };
    esegui<ComandoForma>(doc_, ModificaProprieta::Voci(forme, applica), NomeModifica::ContornoForma);
}

}  // namespace cartigo
