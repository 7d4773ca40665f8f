#include "label/FileEtichetta.h"

#include "label/Codifica.h"
#include "label/Conversioni.h"
#include "label/Errori.h"
#include "label/ImmagineEtichetta.h"
#include "label/ScritturaFile.h"
#include "shell/StringTable.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cmath>
#include <deque>
#include <limits>

namespace cartigo {

namespace modCartigo {

bool EsisteFile(const QString& percorso)
{
    if (percorso.isEmpty())
        return false;
    const QFileInfo info(percorso);
    if (!info.isFile())
        return false;
    QFile f(percorso);
    return f.open(QIODevice::ReadOnly);
}

QString TestoTrim(const QString& testo)
{
    qsizetype inizio = 0, fine = testo.size();
    while (inizio < fine && testo[inizio] == QLatin1Char(' '))
        ++inizio;
    while (fine > inizio && testo[fine - 1] == QLatin1Char(' '))
        --fine;
    return testo.mid(inizio, fine - inizio);
}

}  // namespace modCartigo

namespace FileEtichetta {

using namespace modCartigo;

namespace {

const QString kDatabase = QStringLiteral("oggDatabase");
const QString kLayout = QStringLiteral("oggLayout");
// What the labels are on, as "name=value" lines after the keyword. A reader that does not
// know the keyword skips it and its lines, none of which can be a keyword.
const QString kSupporto = QStringLiteral("oggSupporto");
// The thermal printer's settings, "name=value" lines after the keyword in the same way.
const QString kTermica = QStringLiteral("oggStampanteTermica");
const QString kScurezza = QStringLiteral("Scurezza");
const QString kVelocita = QStringLiteral("Velocita");
const QString kTipoSupporto = QStringLiteral("Supporto");
const QString kRilevamento = QStringLiteral("Rilevamento");
const QString kSpostamentoAlto = QStringLiteral("SpostamentoAlto");
const QString kSpostamentoSinistra = QStringLiteral("SpostamentoSinistra");
const QString kProdotto = QStringLiteral("Prodotto");
const QString kUnaPerPagina = QStringLiteral("UnaPerPagina");
const QString kLarghezzaPagina = QStringLiteral("LarghezzaPagina");
const QString kAltezzaPagina = QStringLiteral("AltezzaPagina");
const QString kForma = QStringLiteral("Forma");
const QString kDiametroEsterno = QStringLiteral("DiametroEsterno");
const QString kDiametroForo = QStringLiteral("DiametroForo");
const QString kRisoluzione = QStringLiteral("Risoluzione");
const QString kRiduzioneBarre = QStringLiteral("RiduzioneBarre");
// The settings of the object just before it that older readers did not have (rotation, a
// text's fit, a line's or an ellipse's outline and fill), as "name=value" lines after the
// keyword, only those that are not the default. A reader that does not know the keyword
// skips it and its lines, and so do readers that do not know the sections "oggLinea" and
// "oggEllisse", whose lines are all numbers.
const QString kAspetto = QStringLiteral("oggAspetto");
const QString kRotazione = QStringLiteral("Rotazione");
const QString kACapo = QStringLiteral("ACapo");
const QString kVerticale = QStringLiteral("Verticale");
const QString kRiduci = QStringLiteral("Riduci");
const QString kMinimo = QStringLiteral("Minimo");
const QString kColoreContorno = QStringLiteral("ColoreContorno");
const QString kSpessore = QStringLiteral("Spessore");
const QString kTratto = QStringLiteral("Tratto");
const QString kPieno = QStringLiteral("Pieno");
const QString kColoreRiempimento = QStringLiteral("ColoreRiempimento");
const QString kAscendente = QStringLiteral("Ascendente");

QString NomeForma(FormaEtichetta f)
{
    switch (f) {
        case FormaEtichetta::Ellisse:
            return QStringLiteral("Ellisse");
        case FormaEtichetta::CD:
            return QStringLiteral("CD");
        case FormaEtichetta::Rettangolo:
            break;
    }
    return QStringLiteral("Rettangolo");
}

class Scrittore {
public:
    explicit Scrittore(const ImpostazioniLocali& loc) : loc_(loc) {}
    void testo(const QString& t) { righe_ << t; }
    void single(float v) { righe_ << SingleFile(v, loc_); }
    void doppio(double v) { righe_ << DoubleFile(v, loc_); }
    void intero(qint64 v) { righe_ << InteroFile(v); }
    void booleano(bool b) { righe_ << BooleanoFile(b); }
    void voce(const QString& nome, const QString& valore) { righe_ << nome + QLatin1Char('=') + valore; }
    QString risultato() const { return righe_.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"); }
    const ImpostazioniLocali& locale() const { return loc_; }

private:
    const ImpostazioniLocali& loc_;
    QStringList righe_;
};

QString numeroAspetto(double v, const ImpostazioniLocali& loc) { return TestoTrim(DoubleFile(v, loc)); }

// The section of the object's newer settings, when any is set.
void scriviAspetto(Scrittore& s, const OggettoEtichetta& o)
{
    QStringList righe;
    const auto voce = [&](const QString& nome, const QString& valore) { righe << nome + QLatin1Char('=') + valore; };
    const auto intero = [](qint64 v) { return TestoTrim(InteroFile(v)); };
    if (o.Rotazione.Gradi != 0) voce(kRotazione, intero(o.Rotazione.Gradi));
    if (o.tipo == TipoOggetto::Testo) {
        const AdattamentoTesto d, &a = o.Adattamento;
        if (a.ACapo != d.ACapo) voce(kACapo, BooleanoFile(a.ACapo));
        if (a.Verticale != d.Verticale) voce(kVerticale, intero(int(a.Verticale)));
        if (a.Riduci != d.Riduci) voce(kRiduci, BooleanoFile(a.Riduci));
        if (a.Minimo != d.Minimo) voce(kMinimo, numeroAspetto(a.Minimo, s.locale()));
    }
    if (o.tipo == TipoOggetto::Linea || o.tipo == TipoOggetto::Ellisse) {
        const ContornoForma d, &c = o.Contorno;
        if (c.Colore != d.Colore) voce(kColoreContorno, intero(c.Colore));
        if (c.Spessore != d.Spessore) voce(kSpessore, numeroAspetto(c.Spessore, s.locale()));
        if (c.Tratto != d.Tratto) voce(kTratto, intero(int(c.Tratto)));
    }
    if (o.tipo == TipoOggetto::Ellisse) {
        const RiempimentoForma d, &r = o.Riempimento;
        if (r.Pieno != d.Pieno) voce(kPieno, BooleanoFile(r.Pieno));
        if (r.Colore != d.Colore) voce(kColoreRiempimento, intero(r.Colore));
    }
    if (o.tipo == TipoOggetto::Linea && o.Ascendente) voce(kAscendente, BooleanoFile(true));
    if (righe.isEmpty()) return;
    s.testo(kAspetto);
    for (const QString& r : righe) s.testo(r);
}

void scriviOggetto(Scrittore& s, const DocumentoEtichetta& doc, const OggettoEtichetta& o)
{
    s.testo(o.Name());
    s.single(o.Left - OrigineEtichettaX);
    s.single(o.Top - OrigineEtichettaY);
    s.single(o.Width);
    s.single(o.Height);
    const QString z = doc.ZOrderLeggi(o.Chiave());
    switch (o.tipo) {
    case TipoOggetto::Testo:
        s.testo(o.Caption);
        s.testo(o.FontName);
        s.single(o.FontSize);
        s.booleano(o.FontBold);
        s.booleano(o.FontItalic);
        s.intero(o.BackStyle);
        s.intero(o.Alignment);
        s.intero(o.BackColor);
        s.intero(o.ForeColor);
        s.testo(o.DataMember);
        s.testo(z);
        break;
    case TipoOggetto::Barcode:
    case TipoOggetto::Immagine:
        s.testo(o.Tag);
        s.testo(o.DataMember);
        s.testo(o.ToolTipText);
        s.testo(z);
        break;
    case TipoOggetto::Rettangolo:
        s.intero(o.BackStyle);
        s.intero(o.BackColor);
        s.intero(o.BorderColor);
        s.testo(o.Tag);
        s.testo(z);
        s.intero(o.BorderWidth);
        break;
    case TipoOggetto::Linea:
    case TipoOggetto::Ellisse:
        s.testo(z);
        break;
    }
    scriviAspetto(s, o);
}

// Reads value lines one by one; running out of lines is "Input past end of file".
class Lettore {
public:
    Lettore(const QStringList& righe, const ImpostazioniLocali& loc) : righe_(righe), loc_(loc) {}
    bool fine() const { return pos_ >= righe_.size(); }
    // The next line, without reading it; empty at the end.
    QString prossima() const { return fine() ? QString() : righe_[pos_]; }
    const QString& riga()
    {
        if (fine())
            throw ErroreCartigo::di(CodiceErrore::FineFile);
        return righe_[pos_++];
    }
    QString trim() { return TestoTrim(riga()); }
    float single()
    {
        const double v = NumeroObbligatorio(riga(), loc_, Lettura::File);
        if (std::abs(v) > 3.402823e38)
            throw ErroreCartigo::di(CodiceErrore::Overflow);
        return float(v);
    }
    double doppio() { return doppio(riga()); }
    double doppio(const QString& testo) const { return ConvertiDouble(testo, loc_, Lettura::File); }
    double intero() { return ConvertiIntero(riga(), loc_, Lettura::File); }
    bool stile()
    {
        const QString t = trim();
        return t == QLatin1String("Vero") || t == QLatin1String("True");
    }
    qint32 colore() { return ConvertiLong(riga(), loc_, Lettura::File); }
    double numero(const QString& testo) const { return NumeroObbligatorio(testo, loc_, Lettura::File); }
    // The line last read, counted from 1.
    qsizetype numeroRiga() const { return pos_; }

private:
    const QStringList& righe_;
    const ImpostazioniLocali& loc_;
    qsizetype pos_ = 0;
};

[[noreturn]] void valoreNonValido() { throw ErroreCartigo(380, QStringLiteral("Invalid property value")); }

// A value the label cannot be printed with, named with its line and what it must be.
[[noreturn]] void valoreFuoriIntervallo(const Lettore& in, const QString& riga, int atteso)
{
    throw ErroreCartigo(380, LoadResString(1003).arg(in.numeroRiga()).arg(riga, LoadResString(atteso)));
}

// A length of the label-product section: 0 (none) or from 1 mm to 10 m.
double lunghezzaSupporto(const Lettore& in, const QString& riga, const QString& valore)
{
    const double v = in.doppio(valore);
    if (!(v == 0 || (v >= 1 && v <= 10000))) valoreFuoriIntervallo(in, riga, 1004);
    return v;
}

int proprietaIntera(double v, int minimo, int massimo)
{
    const double r = ArrotondaPari(v);
    if (r < minimo || r > massimo)
        valoreNonValido();
    return int(r);
}

// The z-order line: 1 to the front, 2 to the back, recorded with the line's text.
void applicaZOrder(DocumentoEtichetta& doc, OggettoEtichetta* o, Lettore& in)
{
    const QString riga = in.riga();
    const double codice = in.numero(riga);
    if (codice == 1) {
        doc.PortaDavanti(o);
        doc.ZOrderImposta(o->Chiave(), riga);
    } else if (codice == 2) {
        doc.PortaDietro(o);
        doc.ZOrderImposta(o->Chiave(), riga);
    }
}

OggettoEtichetta* leggiOggetto(DocumentoEtichetta& doc, TipoOggetto tipo, Lettore& in, const QString& cartella)
{
    const float left = in.single();
    const float top = in.single();
    const float width = in.single();
    const float height = in.single();
    if (tipo == TipoOggetto::Linea || tipo == TipoOggetto::Ellisse)
        if (width < 0 || height < 0) valoreNonValido();
    OggettoEtichetta* o = doc.Crea(tipo, left + OrigineEtichettaX, top + OrigineEtichettaY, width, height);
    // What the file does not say is the default, whatever the templates hold.
    const OggettoEtichetta predefinito;
    o->Adattamento = predefinito.Adattamento;
    o->Rotazione = predefinito.Rotazione;
    o->Contorno = predefinito.Contorno;
    o->Riempimento = predefinito.Riempimento;
    o->Ascendente = predefinito.Ascendente;
    switch (tipo) {
    case TipoOggetto::Testo: {
        o->Caption = in.riga();
        o->FontName = in.riga();
        const double size = in.intero();
        if (!(size > 0 && size <= DimensioneCarattereMassima)) valoreNonValido();
        o->FontSize = float(size);
        o->FontBold = in.stile();
        o->FontItalic = in.stile();
        o->BackStyle = proprietaIntera(in.intero(), 0, 1);
        o->Alignment = proprietaIntera(in.intero(), 0, 2);
        o->BackColor = in.colore();
        o->ForeColor = in.colore();
        o->DataMember = in.riga();
        applicaZOrder(doc, o, in);
        break;
    }
    case TipoOggetto::Barcode:
    case TipoOggetto::Immagine:
        o->Tag = in.trim();
        o->DataMember = in.riga();
        o->ToolTipText = in.riga();
        if (tipo == TipoOggetto::Immagine)
            CaricaImmagine(*o, cartella);
        applicaZOrder(doc, o, in);
        break;
    case TipoOggetto::Rettangolo: {
        o->BackStyle = proprietaIntera(in.intero(), 0, 1);
        o->BackColor = in.colore();
        o->BorderColor = in.colore();
        o->Tag = in.trim();
        applicaZOrder(doc, o, in);
        const double spessore = in.numero(in.riga());
        if (spessore == 1 || spessore == 2 || spessore == 3)
            o->BorderWidth = int(spessore);
        break;
    }
    case TipoOggetto::Linea:
    case TipoOggetto::Ellisse:
        applicaZOrder(doc, o, in);
        break;
    }
    doc.NotificaModificaOggetto(o);
    return o;
}

// The "name=value" lines of the newer settings of `o` (none: they are skipped); names it
// does not know, and settings its kind does not have, are skipped.
void leggiAspetto(OggettoEtichetta* o, Lettore& in)
{
    while (in.prossima().contains(QLatin1Char('='))) {
        const QString riga = in.riga();
        if (!o) continue;
        const qsizetype uguale = riga.indexOf(QLatin1Char('='));
        const QString nome = riga.left(uguale);
        const QString valore = TestoTrim(riga.mid(uguale + 1));
        const auto vero = [&] { return valore == QLatin1String("True"); };
        const auto intero = [&](int minimo, int massimo) {
            const double v = in.numero(valore);
            if (!(v >= minimo && v <= massimo && v == std::floor(v))) valoreFuoriIntervallo(in, riga, 1006);
            return int(v);
        };
        const auto colore = [&] { return qint32(intero(std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max())); };
        const bool testo = o->tipo == TipoOggetto::Testo;
        const bool forma = o->tipo == TipoOggetto::Linea || o->tipo == TipoOggetto::Ellisse;
        if (nome == kRotazione && Ruotabile(o->tipo)) {
            const int g = intero(0, 270);
            if (g % 90 != 0) valoreFuoriIntervallo(in, riga, 1006);
            o->Rotazione.Gradi = g;
        } else if (nome == kACapo && testo) {
            o->Adattamento.ACapo = vero();
        } else if (nome == kVerticale && testo) {
            o->Adattamento.Verticale = AllineamentoVerticale(intero(0, 2));
        } else if (nome == kRiduci && testo) {
            o->Adattamento.Riduci = vero();
        } else if (nome == kMinimo && testo) {
            const double v = in.doppio(valore);
            if (!(v >= 4 && v <= DimensioneCarattereMassima)) valoreFuoriIntervallo(in, riga, 1006);
            o->Adattamento.Minimo = float(v);
        } else if (nome == kColoreContorno && forma) {
            o->Contorno.Colore = colore();
        } else if (nome == kSpessore && forma) {
            const double v = in.doppio(valore);
            if (!(v >= 0 && v <= 100)) valoreFuoriIntervallo(in, riga, 1006);
            o->Contorno.Spessore = float(v);
        } else if (nome == kTratto && forma) {
            o->Contorno.Tratto = TrattoLinea(intero(0, 2));
        } else if (nome == kPieno && o->tipo == TipoOggetto::Ellisse) {
            o->Riempimento.Pieno = vero();
        } else if (nome == kColoreRiempimento && o->tipo == TipoOggetto::Ellisse) {
            o->Riempimento.Colore = colore();
        } else if (nome == kAscendente && o->tipo == TipoOggetto::Linea) {
            o->Ascendente = vero();
        }
    }
}

void scriviSupporto(Scrittore& s, const LayoutEtichetta& l, const ImpostazioniLocali& loc)
{
    const LayoutEtichetta d;
    const auto numero = [&](double v) { return TestoTrim(DoubleFile(v, loc)); };
    s.testo(kSupporto);
    if (l.Prodotto != d.Prodotto) s.voce(kProdotto, l.Prodotto);
    if (l.UnaPerPagina != d.UnaPerPagina) s.voce(kUnaPerPagina, BooleanoFile(l.UnaPerPagina));
    if (l.LarghezzaPagina != d.LarghezzaPagina) s.voce(kLarghezzaPagina, numero(l.LarghezzaPagina));
    if (l.AltezzaPagina != d.AltezzaPagina) s.voce(kAltezzaPagina, numero(l.AltezzaPagina));
    if (l.Forma != d.Forma) s.voce(kForma, NomeForma(l.Forma));
    if (l.DiametroEsterno != d.DiametroEsterno) s.voce(kDiametroEsterno, numero(l.DiametroEsterno));
    if (l.DiametroForo != d.DiametroForo) s.voce(kDiametroForo, numero(l.DiametroForo));
    if (l.Risoluzione != d.Risoluzione) s.voce(kRisoluzione, numero(l.Risoluzione));
    if (l.RiduzioneBarre != d.RiduzioneBarre) s.voce(kRiduzioneBarre, l.RiduzioneBarre);
}

// The "name=value" lines after the keyword; names it does not know are skipped.
void leggiSupporto(LayoutEtichetta& l, Lettore& in)
{
    while (in.prossima().contains(QLatin1Char('='))) {
        const QString riga = in.riga();
        const qsizetype uguale = riga.indexOf(QLatin1Char('='));
        const QString nome = riga.left(uguale);
        const QString valore = riga.mid(uguale + 1);
        if (nome == kProdotto)
            l.Prodotto = valore;
        else if (nome == kUnaPerPagina)
            l.UnaPerPagina = TestoTrim(valore) == QLatin1String("True");
        else if (nome == kLarghezzaPagina)
            l.LarghezzaPagina = lunghezzaSupporto(in, riga, valore);
        else if (nome == kAltezzaPagina)
            l.AltezzaPagina = lunghezzaSupporto(in, riga, valore);
        else if (nome == kForma)
            l.Forma = TestoTrim(valore) == NomeForma(FormaEtichetta::CD)        ? FormaEtichetta::CD
                      : TestoTrim(valore) == NomeForma(FormaEtichetta::Ellisse) ? FormaEtichetta::Ellisse
                                                                                : FormaEtichetta::Rettangolo;
        else if (nome == kDiametroEsterno)
            l.DiametroEsterno = lunghezzaSupporto(in, riga, valore);
        else if (nome == kDiametroForo)
            l.DiametroForo = lunghezzaSupporto(in, riga, valore);
        else if (nome == kRisoluzione)
            l.Risoluzione = std::max(0.0, in.doppio(valore));
        else if (nome == kRiduzioneBarre)
            l.RiduzioneBarre = TestoTrim(valore);
    }
}

QString nomeSupporto(StampanteTermica::Supporto s)
{
    return s == StampanteTermica::Supporto::TermicoDiretto ? QStringLiteral("TermicoDiretto")
                                                           : QStringLiteral("TrasferimentoTermico");
}

QString nomeRilevamento(StampanteTermica::Rilevamento r)
{
    switch (r) {
        case StampanteTermica::Rilevamento::Tacca:
            return QStringLiteral("Tacca");
        case StampanteTermica::Rilevamento::Continuo:
            return QStringLiteral("Continuo");
        default:
            return QStringLiteral("Intervallo");
    }
}

void scriviTermica(Scrittore& s, const StampanteTermica& t, const ImpostazioniLocali& loc)
{
    using T = StampanteTermica;
    const auto numero = [&](double v) { return TestoTrim(DoubleFile(v, loc)); };
    s.testo(kTermica);
    if (t.Scurezza >= 0) s.voce(kScurezza, QString::number(t.Scurezza));
    if (t.Velocita > 0) s.voce(kVelocita, QString::number(t.Velocita));
    if (t.TipoSupporto != T::Supporto::Stampante) s.voce(kTipoSupporto, nomeSupporto(t.TipoSupporto));
    if (t.TipoRilevamento != T::Rilevamento::Stampante) s.voce(kRilevamento, nomeRilevamento(t.TipoRilevamento));
    if (t.SpostamentoAlto) s.voce(kSpostamentoAlto, numero(*t.SpostamentoAlto));
    if (t.SpostamentoSinistra) s.voce(kSpostamentoSinistra, numero(*t.SpostamentoSinistra));
}

// A whole number or a measure of the section, from `minimo` to `massimo`; else the message
// naming the line.
double valoreTermica(const Lettore& in, const QString& riga, const QString& valore, double minimo, double massimo,
                     bool intero)
{
    const double v = in.doppio(valore);
    if (!(v >= minimo && v <= massimo) || (intero && v != std::floor(v)))
        throw ErroreCartigo(380, LoadResString(1003).arg(in.numeroRiga()).arg(
                                     riga, LoadResString(intero ? 3140 : 3141).arg(minimo).arg(massimo)));
    return v;
}

// Names and values it does not know are skipped: the printer keeps its own.
void leggiTermica(StampanteTermica& t, Lettore& in)
{
    using T = StampanteTermica;
    while (in.prossima().contains(QLatin1Char('='))) {
        const QString riga = in.riga();
        const qsizetype uguale = riga.indexOf(QLatin1Char('='));
        const QString nome = riga.left(uguale);
        const QString valore = riga.mid(uguale + 1);
        const QString testo = TestoTrim(valore);
        if (nome == kScurezza) {
            t.Scurezza = int(valoreTermica(in, riga, valore, 0, T::ScurezzaMassima, true));
        } else if (nome == kVelocita) {
            t.Velocita = int(valoreTermica(in, riga, valore, 1, T::VelocitaMassima, true));
        } else if (nome == kTipoSupporto) {
            for (auto s : {T::Supporto::TrasferimentoTermico, T::Supporto::TermicoDiretto})
                if (testo == nomeSupporto(s)) t.TipoSupporto = s;
        } else if (nome == kRilevamento) {
            for (auto r : {T::Rilevamento::Intervallo, T::Rilevamento::Tacca, T::Rilevamento::Continuo})
                if (testo == nomeRilevamento(r)) t.TipoRilevamento = r;
        } else if (nome == kSpostamentoAlto) {
            t.SpostamentoAlto =
                valoreTermica(in, riga, valore, -T::SpostamentoAltoMassimo, T::SpostamentoAltoMassimo, false);
        } else if (nome == kSpostamentoSinistra) {
            t.SpostamentoSinistra =
                valoreTermica(in, riga, valore, -T::SpostamentoSinistraMassimo, T::SpostamentoSinistraMassimo, false);
        }
    }
}

}  // namespace

QString FileVicinoEtichetta(const QString& percorso, const QString& cartellaEtichetta)
{
    if (EsisteFile(percorso))
        return percorso;
    if (!percorso.isEmpty() && QFileInfo(percorso).isRelative() && !cartellaEtichetta.isEmpty()) {
        const QString vicino = QDir(cartellaEtichetta).filePath(percorso);
        if (EsisteFile(vicino))
            return vicino;
    }
    return {};
}

QString NomeFilePerEtichetta(const QString& file, const QString& cartellaEtichetta)
{
    const QFileInfo info(file);
    if (cartellaEtichetta.isEmpty() || !info.isFile()) return file;
    const QString assoluto = QDir::cleanPath(info.absoluteFilePath());
    const QString relativo = QDir(cartellaEtichetta).relativeFilePath(assoluto);
    if (relativo.isEmpty() || QDir::isAbsolutePath(relativo) || relativo == QLatin1String("..") ||
        relativo.startsWith(QLatin1String("../")))
        return assoluto;
    return relativo;
}

void CaricaImmagine(OggettoEtichetta& o, const QString& cartellaEtichetta)
{
    o.Picture = QImage();
    if (!o.DataMember.isEmpty())
        return;
    o.Picture = LeggiImmagine(o.ToolTipText, cartellaEtichetta).immagine;  // none leaves the placeholder
}

QStringList DividiRighe(const QString& testo)
{
    if (!testo.contains(QLatin1Char('\r'))) {
        // Written with line feeds only.
        QStringList righe = testo.split(QLatin1Char('\n'));
        if (righe.last().isEmpty()) righe.removeLast();
        return righe;
    }
    QStringList righe;
    QString corrente;
    bool aperta = false;
    for (qsizetype i = 0; i < testo.size(); ++i) {
        const QChar c = testo[i];
        if (c == QLatin1Char('\r')) {
            righe << corrente;
            corrente.clear();
            aperta = false;
            if (i + 1 < testo.size() && testo[i + 1] == QLatin1Char('\n'))
                ++i;
        } else {
            corrente.append(c);
            aperta = true;
        }
    }
    if (aperta)
        righe << corrente;
    return righe;
}

std::vector<OggettoEtichetta*> OrdineDopoLettura(const std::vector<OggettoEtichetta*>& ordineFile,
                                                 const TabellaZOrder& zorder)
{
    std::deque<OggettoEtichetta*> r;
    for (OggettoEtichetta* o : ordineFile) {
        if (zorder.Codice(o->Chiave()) == 2)
            r.push_front(o);
        else
            r.push_back(o);  // created on top, where a 1 leaves it too
    }
    return {r.begin(), r.end()};
}

std::vector<OggettoEtichetta*> OrdineScrittura(const DocumentoEtichetta& doc)
{
    const auto creazione = doc.Oggetti();
    const auto& disegno = doc.OrdineDisegno();
    if (OrdineDopoLettura(creazione, doc.Zorder()) == disegno) return creazione;
    // The objects sent to the back lie below all others, the last one sent lowest:
    // written from the front one down, each goes below those read before it.
    auto fine = disegno.begin();
    while (fine != disegno.end() && doc.Zorder().Codice((*fine)->Chiave()) == 2) ++fine;
    std::vector<OggettoEtichetta*> r(std::make_reverse_iterator(fine), disegno.rend());
    r.insert(r.end(), fine, disegno.end());
    return r;
}

std::optional<QStringList> RigheFile(const QByteArray& dati)
{
    if (dati.contains('\0')) return std::nullopt;
    return DividiRighe(DecodificaTestoFile(dati));
}

QString MotivoIlleggibile(const QByteArray& dati, const QString& nome)
{
    if (ProbabileUtf16(dati)) return LoadResString(1000).arg(nome);
    const qsizetype nul = dati.indexOf('\0');
    if (nul < 0) return {};
    // The line as the reader counts them: the lines before the NUL, and the NUL's own.
    const QByteArray prima = dati.left(nul);
    const qsizetype riga = prima.contains('\r') ? prima.count('\r') : prima.count('\n');
    return LoadResString(1002).arg(nome).arg(riga + 1);
}

QString TestoEtichetta(const DocumentoEtichetta& doc, const ImpostazioniLocali& loc)
{
    Scrittore s(loc);
    const auto& c = doc.Collegamento();
    s.testo(kDatabase);
    s.testo(c.NomeDatabase);
    s.testo(c.PasswordDatabase);
    s.testo(c.NomeTabella);
    s.testo(c.CampoSelezione);
    s.intero(c.TipoSelezione);
    s.testo(c.ValoreSelezione1);
    s.testo(c.ValoreSelezione2);
    s.testo(c.ValoreSelezione3);
    s.booleano(c.FlagRiservato);
    s.testo(c.TestoRiservato);
    s.testo(kLayout);
    for (int i = 0; i < LayoutEtichetta::NumeroValori; ++i)
        s.doppio(doc.Layout().valore(i));
    if (doc.Layout().HaSupporto()) scriviSupporto(s, doc.Layout(), loc);
    if (doc.Layout().Termica.Impostata()) scriviTermica(s, doc.Layout().Termica, loc);
    if (!doc.Variabili().isEmpty()) {
        s.testo(Variabili::Sezione);
        for (const QString& riga : Variabili::Righe(doc.Variabili())) s.testo(riga);
    }
    for (const OggettoEtichetta* o : OrdineScrittura(doc)) scriviOggetto(s, doc, *o);
    return s.risultato();
}

QByteArray DatiEtichetta(const DocumentoEtichetta& doc, const ImpostazioniLocali& loc)
{
    return CodificaTestoFile(TestoEtichetta(doc, loc));
}

QString Scrivi(const DocumentoEtichetta& doc, const QString& percorso, const ImpostazioniLocali& loc)
{
    QString motivo;
    ScriviFile(percorso, DatiEtichetta(doc, loc), &motivo);
    return motivo;
}

std::optional<ErroreLettura> Leggi(DocumentoEtichetta& doc, const QStringList& righe,
                                   const ImpostazioniLocali& loc, const QString& cartellaEtichetta)
{
    Lettore in(righe, loc);
    OggettoEtichetta* ultimo = nullptr;  // the object the settings section that follows is about
    try {
        while (!in.fine()) {
            const QString chiave = in.riga();
            TipoOggetto tipo;
            if (chiave == kDatabase) {
                auto& c = doc.Collegamento();
                c.NomeDatabase = in.trim();
                c.PasswordDatabase = in.trim();
                c.NomeTabella = in.trim();
                c.CampoSelezione = in.trim();
                c.TipoSelezione = qint16(proprietaIntera(in.intero(), -32768, 32767));
                c.ValoreSelezione1 = in.trim();
                c.ValoreSelezione2 = in.trim();
                c.ValoreSelezione3 = in.trim();
                c.FlagRiservato = ValFisso(in.riga()) != 0;
                c.TestoRiservato = in.riga();
            } else if (chiave == kLayout) {
                LayoutEtichetta l = doc.Layout();
                for (int i = 0; i < LayoutEtichetta::NumeroValori; ++i) {
                    l.valore(i) = in.doppio();
                    // Any sum of such values stays finite, so no position comes out NaN.
                    if (!(std::abs(l.valore(i)) <= 1e9)) valoreFuoriIntervallo(in, righe[in.numeroRiga() - 1], 1005);
                }
                doc.ImpostaLayout(l);
            } else if (chiave == kSupporto) {
                LayoutEtichetta l = doc.Layout();
                leggiSupporto(l, in);
                doc.ImpostaLayout(l);
            } else if (chiave == kTermica) {
                LayoutEtichetta l = doc.Layout();
                leggiTermica(l.Termica, in);
                doc.ImpostaLayout(l);
            } else if (chiave == Variabili::Sezione) {
                // "name=value" lines, none of which is a keyword
                QStringList righeVariabili;
                while (in.prossima().contains(QLatin1Char('='))) righeVariabili << in.riga();
                doc.ImpostaVariabili(Variabili::Leggi(righeVariabili));
            } else if (chiave == kAspetto) {
                leggiAspetto(ultimo, in);
                if (ultimo) doc.NotificaModificaOggetto(ultimo);
                ultimo = nullptr;
            } else if (TipoDaNome(chiave, &tipo)) {
                ultimo = leggiOggetto(doc, tipo, in, cartellaEtichetta);
                continue;
            }
            ultimo = nullptr;
        }
    } catch (const ErroreCartigo& e) {
        return ErroreLettura{e.numero(), e.descrizione()};
    }
    return std::nullopt;
}

}  // namespace FileEtichetta
}  // namespace cartigo
