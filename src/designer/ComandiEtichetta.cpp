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

// ---- commands ----

ComandiEtichetta::ComandiEtichetta(DocumentoEtichetta& doc, Interazione& ui) : doc_(doc), ui_(ui) {}

void ComandiEtichetta::mostraErrore(int numero, const QString& descrizione)
{
    ui_.messaggio(TestoErroreNonGestito(numero, descrizione), titolo_, Pulsanti::Ok, Icona::Esclamazione);
}

void ComandiEtichetta::Cancella(OggettoEtichetta* corrente)
{
    doc_.ImpostaModificato(true);
    if (!corrente || corrente->Index == 0)
        return;
    doc_.ZOrderRimuovi(corrente->Chiave());
    if (copiato_ == corrente->id)
        copiato_ = 0;
    doc_.Scarica(corrente);
}

void ComandiEtichetta::Copia(OggettoEtichetta* corrente)
{
    doc_.ImpostaModificato(true);
    if (corrente && corrente->Index > 0)
        copiato_ = corrente->id;
}

const OggettoEtichetta* ComandiEtichetta::OggettoCopiato() const { return copiato_ ? doc_.TrovaId(copiato_) : nullptr; }

OggettoEtichetta* ComandiEtichetta::Incolla()
{
    doc_.ImpostaModificato(true);
    const OggettoEtichetta* o = OggettoCopiato();
    return o ? IncollaOggetto(*o) : nullptr;
}

OggettoEtichetta* ComandiEtichetta::IncollaOggetto(const OggettoEtichetta& c)
{
    const OggettoEtichetta copiato = c;  // read now: the copy may be changed below
    OggettoEtichetta* n = doc_.Crea(copiato.tipo, copiato.Left + 100, copiato.Top + 100, copiato.Width, copiato.Height);
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
    }
    doc_.PortaDavanti(n);
    try {
        doc_.ZOrderImposta(n->Chiave(), 1);
    } catch (const ErroreCartigo&) {
        // a full z-order table: the paste goes on without the record
    }
    notifica(n);
    return n;
}

void ComandiEtichetta::PortaAvanti(OggettoEtichetta* corrente)
{
    doc_.ImpostaModificato(true);
    if (!corrente || corrente->Index == 0)
        return;
    doc_.PortaDavanti(corrente);
    try {
        doc_.ZOrderImposta(corrente->Chiave(), 1);
    } catch (const ErroreCartigo& e) {
        mostraErrore(e.numero(), e.descrizione());
    }
}

void ComandiEtichetta::PortaIndietro(OggettoEtichetta* corrente)
{
    doc_.ImpostaModificato(true);
    if (!corrente || corrente->Index == 0)
        return;
    doc_.PortaDietro(corrente);
    try {
        doc_.ZOrderImposta(corrente->Chiave(), 2);
    } catch (const ErroreCartigo& e) {
        mostraErrore(e.numero(), e.descrizione());
    }
}

bool ComandiEtichetta::FontExists(const QString& nome) const
{
    return Caratteri::Disponibile(nome, fonts_);
}

bool ComandiEtichetta::ApplyFont(const QString& nome, const QString& dimensione, bool grassetto, bool corsivo,
                                 OggettoEtichetta* corrente)
{
    double intera = 0;
    try {
        intera = ConvertiIntero(dimensione, ImpostazioniLocali::correnti());
    } catch (const ErroreCartigo&) {
        return false;  // a size past the integer range: nothing can take it
    }
    if (nome.isEmpty() || intera == 0)
        return false;
    doc_.ImpostaModificato(true);
    intera = ArrotondaPari(intera);
    if (intera < 1 || intera > DimensioneCarattereMassima) return false;  // a size no font takes
    OggettoEtichetta* destinazione = nullptr;
    if (!corrente)
        destinazione = &doc_.Modello(TipoOggetto::Testo);
    else if (corrente->tipo == TipoOggetto::Testo)
        destinazione = corrente;
    if (!destinazione)
        return true;
    destinazione->FontName = nome;
    destinazione->FontSize = float(intera);
    destinazione->FontBold = grassetto;
    destinazione->FontItalic = corsivo;
    if (destinazione->Index > 0)
        notifica(destinazione);
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

void ComandiEtichetta::Carattere(OggettoEtichetta* corrente)
{
    doc_.ImpostaModificato(true);
    auto& modello = doc_.Modello(TipoOggetto::Testo);
    const OggettoEtichetta* fonte = nullptr;
    if (!corrente)
        fonte = &modello;
    else if (corrente->tipo == TipoOggetto::Testo)
        fonte = corrente;
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
    for (OggettoEtichetta* o : {&modello, corrente}) {
        if (!o || o->tipo != TipoOggetto::Testo)
            continue;
        o->FontName = famiglia;
        o->FontSize = dimensione;
        o->FontBold = scelto->bold();
        o->FontItalic = scelto->italic();
        if (o->Index > 0)
            notifica(o);
    }
}

void ComandiEtichetta::ColoreOggetto(OggettoEtichetta* corrente)
{
    doc_.ImpostaModificato(true);
    if (!corrente)
        return;
    qint32* campo = nullptr;
    if (corrente->tipo == TipoOggetto::Testo)
        campo = &corrente->ForeColor;
    else if (corrente->tipo == TipoOggetto::Rettangolo)
        campo = &corrente->BorderColor;
    if (!campo)
        return;
    const auto c = ui_.scegliColore(ColoreDaVB(*campo), LoadResString(137));
    if (!c)
        return;
    *campo = ColoreVB(*c);
    notifica(corrente);
}

void ComandiEtichetta::ColoreSfondo(OggettoEtichetta* corrente)
{
    doc_.ImpostaModificato(true);
    if (!corrente || (corrente->tipo != TipoOggetto::Testo && corrente->tipo != TipoOggetto::Rettangolo))
        return;
    const auto c = ui_.scegliColore(ultimoSfondo_, LoadResString(136));
    if (!c)
        return;
    ultimoSfondo_ = *c;
    corrente->BackStyle = 1;
    corrente->BackColor = ColoreVB(*c);
    notifica(corrente);
}

void ComandiEtichetta::SetAlignment(int valore, OggettoEtichetta* corrente)
{
    doc_.ImpostaModificato(true);
    if (corrente && corrente->tipo == TipoOggetto::Testo) {
        corrente->Alignment = valore;
        notifica(corrente);
    }
}

void ComandiEtichetta::Allineamento(OggettoEtichetta* corrente)
{
    doc_.ImpostaModificato(true);
    if (!corrente || corrente->tipo != TipoOggetto::Testo)
        return;
    RichiestaAllineamento r;
    r.opzione = RichiestaAllineamento::OpzioneDaAllineamento(corrente->Alignment);
    if (!ui_.dialogo(r))
        return;
    corrente->Alignment = RichiestaAllineamento::AllineamentoDaOpzione(r.opzione);
    notifica(corrente);
}

void ComandiEtichetta::Spessore(int spessore, OggettoEtichetta* corrente)
{
    doc_.ImpostaModificato(true);
    if (corrente && corrente->tipo == TipoOggetto::Rettangolo && spessore >= 1 && spessore <= 3) {
        corrente->BorderWidth = spessore;
        notifica(corrente);
    }
}

void ComandiEtichetta::Opaco(OggettoEtichetta* corrente)
{
    doc_.ImpostaModificato(true);
    if (corrente && (corrente->tipo == TipoOggetto::Testo || corrente->tipo == TipoOggetto::Rettangolo)) {
        corrente->BackStyle = 1;
        notifica(corrente);
    }
}

void ComandiEtichetta::Trasparente(OggettoEtichetta* corrente)
{
    doc_.ImpostaModificato(true);
    if (corrente && (corrente->tipo == TipoOggetto::Testo || corrente->tipo == TipoOggetto::Rettangolo)) {
        corrente->BackStyle = 0;
        notifica(corrente);
    }
}

void ComandiEtichetta::ModificaTesto(OggettoEtichetta* corrente)
{
    doc_.ImpostaModificato(true);
    if (!corrente || (corrente->tipo != TipoOggetto::Testo && corrente->tipo != TipoOggetto::Barcode))
        return;
    QString& campo = corrente->tipo == TipoOggetto::Testo ? corrente->Caption : corrente->ToolTipText;
    RichiestaModificaTesto r;
    if (modCartigo::TestoTrim(corrente->DataMember).isEmpty())
        r.testo = campo;
    if (campiDati) r.campi = campiDati();
    if (!ui_.dialogo(r))
        return;
    // A line break would split the label file's line: keep the text on one line.
    r.testo.replace(QStringLiteral("\r\n"), QStringLiteral(" ")).replace(QLatin1Char('\r'), QLatin1Char(' '));
    campo = r.testo;
    corrente->DataMember.clear();
    notifica(corrente);
}

void ComandiEtichetta::ModificaImmagine(OggettoEtichetta* corrente)
{
    doc_.ImpostaModificato(true);
    if (!corrente || corrente->tipo != TipoOggetto::Immagine)
        return;
    RichiestaModificaImmagine r;
    if (modCartigo::TestoTrim(corrente->DataMember).isEmpty())
        r.nomeFile = corrente->ToolTipText;
    r.cartellaEtichetta = doc_.CartellaEtichetta();
    if (!ui_.dialogo(r))
        return;
    corrente->ToolTipText = r.nomeFile;
    corrente->DataMember.clear();
    FileEtichetta::CaricaImmagine(*corrente, r.cartellaEtichetta);
    notifica(corrente);
}

void ComandiEtichetta::ParametriBarcode(OggettoEtichetta* corrente)
{
    doc_.ImpostaModificato(true);
    if (!corrente || corrente->tipo != TipoOggetto::Barcode)
        return;
    cartigo::ParametriBarcode p = cartigo::ParametriBarcode::DaTag(corrente->Tag);
    RichiestaParametriBarcode r;
    r.tipoBarcode = p.tipo >= 0 && p.tipo < kTipiBarcode ? p.tipo : 0;
    r.opzioneTesto = RichiestaParametriBarcode::OpzioneDaAllineamento(p.testo);
    r.correzione = p.correzione;
    r.forma = p.forma;
    r.campo = Superficie::CampoBarcode(*corrente);
    r.dati = corrente->ToolTipText;
    r.larghezza = corrente->Width;
    r.altezza = corrente->Height;
    if (!ui_.dialogo(r))
        return;
    p.tipo = r.tipoBarcode;
    p.testo = RichiestaParametriBarcode::AllineamentoDaOpzione(r.opzioneTesto);
    p.correzione = r.correzione;
    p.forma = r.forma;
    corrente->Tag = p.Tag();
    notifica(corrente);
}

}  // namespace cartigo
