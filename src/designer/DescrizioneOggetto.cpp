#include "designer/DescrizioneOggetto.h"

#include "barcode/ParametriBarcode.h"
#include "label/DocumentoEtichetta.h"
#include "label/FileEtichetta.h"
#include "shell/StringTable.h"

#include <cmath>

namespace cartigo::DescrizioneOggetto {

QString NomeTipo(TipoOggetto tipo)
{
    switch (tipo) {
        case TipoOggetto::Testo:
            return LoadResString(1560);
        case TipoOggetto::Barcode:
            return LoadResString(1561);
        case TipoOggetto::Immagine:
            return LoadResString(1562);
        case TipoOggetto::Linea:
            return LoadResString(1567);
        case TipoOggetto::Ellisse:
            return LoadResString(1568);
        case TipoOggetto::Rettangolo:
            break;
    }
    return LoadResString(1563);
}

CorniceMm InMillimetri(const Cornice& c)
{
    const double mm = DocumentoEtichetta::TwipsPerMm;
    return {(c.Left - OrigineEtichettaX) / mm, (c.Top - OrigineEtichettaY) / mm, c.Width / mm, c.Height / mm};
}

Cornice DaMillimetri(const CorniceMm& m)
{
    const double mm = DocumentoEtichetta::TwipsPerMm;
    return {float(m.x * mm + OrigineEtichettaX), float(m.y * mm + OrigineEtichettaY), float(m.larghezza * mm),
            float(m.altezza * mm)};
}

// ---- the settings ----

using P = Proprieta;

Controllo ControlloDi(Proprieta p)
{
    switch (p) {
        case P::Testo:
        case P::Dati:
            return Controllo::Riga;
        case P::Dimensione:
        case P::SpessoreBordo:
            return Controllo::Intero;
        case P::Minimo:
        case P::SpessoreLinea:
            return Controllo::Decimale;
        case P::Grassetto:
        case P::Corsivo:
        case P::ACapo:
        case P::Riduci:
        case P::Sfondo:
            return Controllo::Casella;
        case P::ColoreTesto:
        case P::ColoreContorno:
        case P::ColoreSfondo:
            return Controllo::Colore;
        case P::File:
            return Controllo::File;
        default:
            return Controllo::Scelta;
    }
}

int TitoloDi(Proprieta p)
{
    switch (p) {
        case P::Testo: return 1560;
        case P::Carattere: return 1553;
        case P::Dimensione: return 1777;
        case P::Grassetto: return 1564;
        case P::Corsivo: return 1565;
        case P::ColoreTesto: return 1554;
        case P::Allineamento: return 143;
        case P::ACapo: return 1769;
        case P::Verticale: return 1766;
        case P::Riduci: return 1770;
        case P::Minimo: return 1771;
        case P::TipoBarcode: return 212;
        case P::Dati: return 1556;
        case P::PosizioneTesto: return 213;
        case P::Correzione: return 1610;
        case P::FormaMatrice: return 1611;
        case P::File: return 208;
        case P::ColoreContorno: return 1558;
        case P::SpessoreBordo: return 1557;
        case P::SpessoreLinea: return 1778;
        case P::Tratto: return 1772;
        case P::Sfondo: return 1555;
        case P::ColoreSfondo: return 136;
        case P::Rotazione: return 1776;
        case P::Campo: return 1559;
    }
    return 0;
}

Intervallo IntervalloDi(Proprieta p)
{
    switch (p) {
        case P::Dimensione: return {1, DimensioneCarattereMassima, 1};
        case P::Minimo: return {4, DimensioneCarattereMassima, 0.5};
        case P::SpessoreBordo: return {1, 3, 1};
        case P::SpessoreLinea: return {0, 100, 0.1};
        default: return {};
    }
}

int NomeModificaDi(Proprieta p)
{
    switch (p) {
        case P::Testo:
        case P::Dati:
            return NomeModifica::ModificaTesto;
        case P::Carattere:
        case P::Dimensione:
        case P::Grassetto:
        case P::Corsivo:
            return NomeModifica::Carattere;
        case P::ColoreTesto:
        case P::ColoreContorno:
            return NomeModifica::ColoreOggetto;
        case P::Allineamento:
            return NomeModifica::AllineamentoTesto;
        case P::ACapo:
        case P::Verticale:
        case P::Riduci:
        case P::Minimo:
            return NomeModifica::AdattaTesto;
        case P::TipoBarcode:
        case P::PosizioneTesto:
        case P::Correzione:
        case P::FormaMatrice:
            return NomeModifica::ParametriBarcode;
        case P::File:
            return NomeModifica::ModificaImmagine;
        case P::SpessoreBordo:
        case P::SpessoreLinea:
            return NomeModifica::Spessore;
        case P::Tratto:
            return NomeModifica::TrattoContorno;
        case P::Sfondo:
            return NomeModifica::Sfondo;
        case P::ColoreSfondo:
            return NomeModifica::ColoreSfondo;
        case P::Rotazione:
            return NomeModifica::Rotazione;
        case P::Campo:
            return NomeModifica::CollegaCampo;
    }
    return 0;
}

namespace {

using T = TipoOggetto;

bool forma(const OggettoEtichetta& o)
{
    return o.tipo == T::Linea || o.tipo == T::Ellisse;
}

ParametriBarcode parametri(const OggettoEtichetta& o)
{
    return ParametriBarcode::DaTag(o.Tag);
}

// A change of a barcode's parameters, the rest of its Tag kept.
template <typename F>
void cambiaParametri(OggettoEtichetta& o, F&& cambia)
{
    ParametriBarcode q = parametri(o);
    cambia(q);
    o.Tag = q.Tag();
}

// Where a text position's digit stands: 1 above, 2 hidden, anything else below.
int posizione(int testo)
{
    return testo == 1 || testo == 2 ? testo : 0;
}

// The caption of a text kept on one line of the label file.
QString suUnaRiga(QString s)
{
    return s.replace(QStringLiteral("\r\n"), QStringLiteral(" ")).replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(
        QLatin1Char('\n'), QLatin1Char(' '));
}

}  // namespace

bool Ha(Proprieta p, const OggettoEtichetta& o)
{
    switch (p) {
        case P::Testo:
        case P::Carattere:
        case P::Dimensione:
        case P::Grassetto:
        case P::Corsivo:
        case P::ColoreTesto:
        case P::Allineamento:
        case P::ACapo:
        case P::Verticale:
        case P::Riduci:
        case P::Minimo:
            return o.tipo == T::Testo;
        case P::TipoBarcode:
        case P::Dati:
            return o.tipo == T::Barcode;
        case P::PosizioneTesto:
            return o.tipo == T::Barcode && !BarcodeBidimensionale(parametri(o).tipo);
        case P::Correzione:
            return o.tipo == T::Barcode && parametri(o).tipo == int(TipoBarcode::QRCode);
        case P::FormaMatrice:
            return o.tipo == T::Barcode && parametri(o).tipo == int(TipoBarcode::DataMatrix);
        case P::File:
            return o.tipo == T::Immagine;
        case P::ColoreContorno:
            return o.tipo == T::Rettangolo || forma(o);
        case P::SpessoreBordo:
            return o.tipo == T::Rettangolo;
        case P::SpessoreLinea:
        case P::Tratto:
            return forma(o);
        case P::Sfondo:
        case P::ColoreSfondo:
            return o.tipo == T::Testo || o.tipo == T::Rettangolo || o.tipo == T::Ellisse;
        case P::Rotazione:
            return Ruotabile(o.tipo);
        case P::Campo:
            return o.tipo == T::Testo || o.tipo == T::Barcode;
    }
    return false;
}

QVariant Leggi(Proprieta p, const OggettoEtichetta& o)
{
    switch (p) {
        case P::Testo: return o.Caption;
        case P::Carattere: return o.FontName;
        case P::Dimensione: return int(std::lround(o.FontSize));
        case P::Grassetto: return o.FontBold;
        case P::Corsivo: return o.FontItalic;
        case P::ColoreTesto: return int(o.ForeColor);
        case P::Allineamento: return o.Alignment == 1 || o.Alignment == 2 ? o.Alignment : 0;
        case P::ACapo: return o.Adattamento.ACapo;
        case P::Verticale: return int(o.Adattamento.Verticale);
        case P::Riduci: return o.Adattamento.Riduci;
        case P::Minimo: return double(o.Adattamento.Minimo);
        case P::TipoBarcode: return parametri(o).tipo;
        case P::Dati: return o.ToolTipText;
        case P::PosizioneTesto: return posizione(parametri(o).testo);
        case P::Correzione: return int(parametri(o).correzione);
        case P::FormaMatrice: return int(parametri(o).forma);
        case P::File: return o.Collegato() ? QString() : o.ToolTipText;
        case P::ColoreContorno: return int(o.tipo == T::Rettangolo ? o.BorderColor : o.Contorno.Colore);
        case P::SpessoreBordo: return o.BorderWidth;
        case P::SpessoreLinea: return double(o.Contorno.Spessore);
        case P::Tratto: return int(o.Contorno.Tratto);
        case P::Sfondo: return o.tipo == T::Ellisse ? o.Riempimento.Pieno : o.BackStyle == 1;
        case P::ColoreSfondo: return int(o.tipo == T::Ellisse ? o.Riempimento.Colore : o.BackColor);
        case P::Rotazione: return o.Rotazione.Gradi;
        case P::Campo: return o.DataMember.trimmed();
    }
    return {};
}

void Scrivi(Proprieta p, OggettoEtichetta& o, const QVariant& v, const QString& cartella)
{
    switch (p) {
        case P::Testo:
            o.Caption = suUnaRiga(v.toString());
            o.DataMember.clear();
            break;
        case P::Carattere: o.FontName = v.toString(); break;
        case P::Dimensione: o.FontSize = float(v.toInt()); break;
        case P::Grassetto: o.FontBold = v.toBool(); break;
        case P::Corsivo: o.FontItalic = v.toBool(); break;
        case P::ColoreTesto: o.ForeColor = qint32(v.toInt()); break;
        case P::Allineamento: o.Alignment = v.toInt(); break;
        case P::ACapo: o.Adattamento.ACapo = v.toBool(); break;
        case P::Verticale: o.Adattamento.Verticale = AllineamentoVerticale(v.toInt()); break;
        case P::Riduci: o.Adattamento.Riduci = v.toBool(); break;
        case P::Minimo: o.Adattamento.Minimo = float(v.toDouble()); break;
        case P::TipoBarcode: cambiaParametri(o, [&](ParametriBarcode& q) { q.tipo = v.toInt(); }); break;
        case P::Dati:
            o.ToolTipText = suUnaRiga(v.toString());
            o.DataMember.clear();
            break;
        case P::PosizioneTesto: cambiaParametri(o, [&](ParametriBarcode& q) { q.testo = v.toInt(); }); break;
        case P::Correzione:
            cambiaParametri(o, [&](ParametriBarcode& q) { q.correzione = CorrezioneQR(v.toInt()); });
            break;
        case P::FormaMatrice:
            cambiaParametri(o, [&](ParametriBarcode& q) { q.forma = FormaDataMatrix(v.toInt()); });
            break;
        case P::File:
            o.ToolTipText = v.toString();
            o.DataMember.clear();
            FileEtichetta::CaricaImmagine(o, cartella);
            break;
        case P::ColoreContorno: (o.tipo == T::Rettangolo ? o.BorderColor : o.Contorno.Colore) = qint32(v.toInt()); break;
        case P::SpessoreBordo: o.BorderWidth = v.toInt(); break;
        case P::SpessoreLinea: o.Contorno.Spessore = float(v.toDouble()); break;
        case P::Tratto: o.Contorno.Tratto = TrattoLinea(v.toInt()); break;
        case P::Sfondo:
            if (o.tipo == T::Ellisse)
                o.Riempimento.Pieno = v.toBool();
            else
                o.BackStyle = v.toBool() ? 1 : 0;
            break;
        case P::ColoreSfondo:
            // A colour chosen shows: the background becomes opaque, as with the Format menu.
            if (o.tipo == T::Ellisse) {
                o.Riempimento.Colore = qint32(v.toInt());
                o.Riempimento.Pieno = true;
            } else {
                o.BackColor = qint32(v.toInt());
                o.BackStyle = 1;
            }
            break;
        case P::Rotazione: {
            const RotazioneOggetto nuova{v.toInt()};
            // The object turns about the centre of its box: a quarter turn exchanges the
            // box's width and height, so the content keeps its size.
            if (nuova.Traversa() != o.Rotazione.Traversa()) {
                const float cx = o.Left + o.Width / 2, cy = o.Top + o.Height / 2;
                std::swap(o.Width, o.Height);
                o.Left = cx - o.Width / 2;
                o.Top = cy - o.Height / 2;
            }
            o.Rotazione = nuova;
            break;
        }
        case P::Campo: {
            const QString campo = v.toString().trimmed();
            o.DataMember = campo;
            // A linked text shows its field's name, an unlinked one a sample, as Link object does.
            if (o.tipo == T::Testo)
                o.Caption = campo.isEmpty() ? QStringLiteral("abc") : QLatin1Char('[') + campo + QLatin1Char(']');
            break;
        }
    }
}

// ---- a selection ----

void ProprietaSelezione::ImpostaSelezione(const std::vector<OggettoEtichetta*>& oggetti)
{
    std::vector<quint64> ids;
    for (const OggettoEtichetta* o : oggetti)
        if (o && o->Index > 0) ids.push_back(o->id);
    if (ids != ids_) campiLetti_.reset();
    ids_ = std::move(ids);
}

std::vector<OggettoEtichetta*> ProprietaSelezione::Oggetti() const
{
    std::vector<OggettoEtichetta*> r;
    for (quint64 id : ids_)
        if (OggettoEtichetta* o = doc_.TrovaId(id)) r.push_back(o);
    return r;
}

QString ProprietaSelezione::Titolo() const
{
    const auto oggetti = Oggetti();
    if (oggetti.empty()) return LoadResString(1549);
    if (oggetti.size() > 1) return LoadResString(1763).arg(oggetti.size());
    return NomeTipo(oggetti.front()->tipo) + QLatin1Char(' ') + QString::number(oggetti.front()->Index);
}

Stato ProprietaSelezione::Valore(Proprieta p) const
{
    const auto oggetti = Oggetti();
    Stato s;
    if (oggetti.empty()) return s;
    for (const OggettoEtichetta* o : oggetti)
        if (!Ha(p, *o)) return s;
    s.presente = true;
    s.valore = Leggi(p, *oggetti.back());
    for (const OggettoEtichetta* o : oggetti)
        if (Leggi(p, *o) != s.valore) s.misto = true;
    return s;
}

std::vector<Scelta> ProprietaSelezione::Scelte(Proprieta p) const
{
    const auto da = [](std::initializer_list<std::pair<int, int>> voci) {
        std::vector<Scelta> r;
        for (const auto& [id, valore] : voci) r.push_back({LoadResString(id), valore});
        return r;
    };
    switch (p) {
        case P::Allineamento: return da({{170, 0}, {171, 2}, {172, 1}});
        case P::Verticale: return da({{1767, 0}, {171, 1}, {1768, 2}});
        case P::PosizioneTesto: return da({{214, 1}, {215, 0}, {216, 2}});
        case P::FormaMatrice: return da({{1612, 0}, {1613, 1}});
        case P::Tratto: return da({{1773, 0}, {1774, 1}, {1775, 2}});
        case P::Correzione:
            return {{QStringLiteral("L (7%)"), 0}, {QStringLiteral("M (15%)"), 1}, {QStringLiteral("Q (25%)"), 2},
                    {QStringLiteral("H (30%)"), 3}};
        case P::Rotazione: {
            std::vector<Scelta> r;
            for (int g = 0; g < 360; g += 90) r.push_back({QString::number(g) + QChar(0x00B0), g});
            return r;
        }
        case P::Carattere: {
            QStringList nomi = fonts ? fonts() : QStringList();
            // A font the system lacks still shows under its name.
            for (const OggettoEtichetta* o : Oggetti())
                if (o->tipo == T::Testo && !nomi.contains(o->FontName)) nomi.prepend(o->FontName);
            std::vector<Scelta> r;
            for (const QString& n : nomi) r.push_back({n, n});
            return r;
        }
        case P::TipoBarcode: {
            std::vector<Scelta> r;
            const QStringList nomi = NomiTipiBarcode();
            for (int i = 0; i < nomi.size(); ++i) r.push_back({nomi.at(i), i});
            return r;
        }
        case P::Campo: {
            std::vector<Scelta> r{{LoadResString(1765), QString()}};
            if (!campiLetti_) campiLetti_ = campi ? campi() : QStringList();
            QStringList nomi = *campiLetti_;
            // A link to a field the table lacks (or with no table) still shows.
            for (const OggettoEtichetta* o : Oggetti()) {
                const QString c = o->DataMember.trimmed();
                if (Ha(P::Campo, *o) && !c.isEmpty() && !nomi.contains(c)) nomi << c;
            }
            for (const QString& n : nomi) r.push_back({n, n});
            return r;
        }
        default: return {};
    }
}

bool ProprietaSelezione::Imposta(Proprieta p, const QVariant& valore)
{
    std::vector<OggettoEtichetta*> oggetti;
    for (OggettoEtichetta* o : Oggetti())
        if (Ha(p, *o)) oggetti.push_back(o);
    const QString cartella = doc_.CartellaEtichetta();
    auto voci = ModificaProprieta::Voci(oggetti, [&](OggettoEtichetta& o) { Scrivi(p, o, valore, cartella); });
    if (voci.empty()) return false;
    const int nome = NomeModificaDi(p);
    QUndoCommand* passo = nullptr;
    switch (nome) {
        case NomeModifica::Carattere: passo = new ComandoCarattere(doc_, std::move(voci)); break;
        case NomeModifica::ColoreOggetto: passo = new ComandoColore(doc_, std::move(voci), false); break;
        case NomeModifica::ColoreSfondo: passo = new ComandoColore(doc_, std::move(voci), true); break;
        case NomeModifica::AllineamentoTesto: passo = new ComandoAllineamentoTesto(doc_, std::move(voci)); break;
        case NomeModifica::Spessore: passo = new ComandoSpessore(doc_, std::move(voci)); break;
        case NomeModifica::Sfondo: passo = new ComandoSfondo(doc_, std::move(voci)); break;
        case NomeModifica::ModificaTesto:
        case NomeModifica::ModificaImmagine: passo = new ComandoContenuto(doc_, std::move(voci), nome); break;
        case NomeModifica::ParametriBarcode: passo = new ComandoParametriBarcode(doc_, std::move(voci)); break;
        case NomeModifica::CollegaCampo: passo = new ComandoCollegaCampo(doc_, std::move(voci)); break;
        default: passo = new ComandoImpostazione(doc_, std::move(voci), nome); break;
    }
    doc_.Esegui(passo);
    return true;
}

}  // namespace cartigo::DescrizioneOggetto
