#include "print/ControlloEtichetta.h"

#include "barcode/DisegnoBarcode.h"
#include "barcode/SimboloBarcode.h"
#include "label/ImmagineEtichetta.h"
#include "label/ValoriEtichetta.h"
#include "shell/StringTable.h"

#include <QDateTime>
#include <QLocale>
#include <QSet>
#include <QTransform>
#include <algorithm>
#include <cmath>
#include <optional>

namespace cartigo {

namespace {

constexpr double kTwipPerPollice = 1440;
// How far past an edge something must reach to count (about 0.02 mm): the dot grid's
// sixteenth of a dot and rounding stay inside.
constexpr double kTolleranza = 1;

struct Quiete {
    int sinistra = 0, destra = 0, verticale = 0;
};

// The quiet zones the kind's standard asks for, in modules.
Quiete QuieteRichiesta(const SimboloBarcode& s)
{
    int moduli = 0;
    for (const quint8 e : s.elementi) moduli += e;
    switch (static_cast<TipoBarcode>(s.tipo)) {
        case TipoBarcode::EAN13:
            return moduli < 95 ? Quiete{7, 7, 0} : Quiete{11, 7, 0};  // EAN-8, EAN-13
        case TipoBarcode::UPC:
            return moduli < 95 ? Quiete{9, 7, 0} : Quiete{9, 9, 0};  // UPC-E, UPC-A
        case TipoBarcode::Code39:
        case TipoBarcode::Code128:
        case TipoBarcode::ITF:
            return {10, 10, 0};
        case TipoBarcode::QRCode:
            return {4, 4, 4};
        case TipoBarcode::DataMatrix:
            return {1, 1, 1};
        case TipoBarcode::PDF417:
            return {2, 2, 2};
    }
    return {};
}

QString Numero(double v, int decimali)
{
    return QLocale().toString(v, 'f', decimali);
}


// A colour (the label file's 0x00BBGGRR) a scanner sees as light: a fill of it in a quiet
// zone does no harm.
bool Chiaro(qint32 colore)
{
    const int r = colore & 0xFF, g = (colore >> 8) & 0xFF, b = (colore >> 16) & 0xFF;
    return 0.299 * r + 0.587 * g + 0.114 * b >= 192;
}

// Where an object prints something dark, in twips from the label's corner: its box, for a
// rectangle its outline and its fill unless they are light, and nothing for an empty
// transparent text.
std::vector<QRectF> Impronta(const OggettoEtichetta& o)
{
    const QRectF box(o.Left - OrigineEtichettaX, o.Top - OrigineEtichettaY, o.Width, o.Height);
    if (o.tipo == TipoOggetto::Testo && o.BackStyle == 0 && o.Caption.isEmpty() && !o.Collegato()) return {};
    if (o.tipo == TipoOggetto::Linea || o.tipo == TipoOggetto::Ellisse) {
        if (Chiaro(o.Contorno.Colore) && !(o.tipo == TipoOggetto::Ellisse && o.Riempimento.Pieno &&
                                           !Chiaro(o.Riempimento.Colore)))
            return {};
        const double b = std::max(0.1, double(o.Contorno.Spessore)) * DocumentoEtichetta::TwipsPerMm / 2;
        return {box.adjusted(-b, -b, b, b)};
    }
    if (o.tipo != TipoOggetto::Rettangolo) return {box};
    std::vector<QRectF> r;
    if (o.BackStyle != 0 && !Chiaro(o.BackColor)) r.push_back(box);
    if (Chiaro(o.BorderColor)) return r;
    const double mm = o.BorderWidth == 3 ? 0.8 : o.BorderWidth == 2 ? 0.4 : 0.1;
    const double b = mm * DocumentoEtichetta::TwipsPerMm / 2;
    const QRectF fuori = box.adjusted(-b, -b, b, b);
    r.insert(r.end(), {QRectF(fuori.left(), fuori.top(), fuori.width(), 2 * b),
                       QRectF(fuori.left(), fuori.bottom() - 2 * b, fuori.width(), 2 * b),
                       QRectF(fuori.left(), fuori.top(), 2 * b, fuori.height()),
                       QRectF(fuori.right() - 2 * b, fuori.top(), 2 * b, fuori.height())});
    return r;
}

bool Sovrapposti(const QRectF& a, const QRectF& b)
{
    const QRectF i = a.intersected(b);
    return i.width() > kTolleranza && i.height() > kTolleranza;
}

class Controllo {
public:
    Controllo(const DocumentoEtichetta& doc, double dpi) : doc_(doc), dpi_(dpi), misura_(MisuraTestoTwips())
    {
        const LayoutEtichetta& l = doc.Layout();
        etichetta_ = QRectF(0, 0, l.LarghezzaEtichetta * kTwipPerMmBarcode, l.AltezzaEtichetta * kTwipPerMmBarcode);
    }

    void Barcode(const OggettoEtichetta& o, const QString& codice, int record);
    std::vector<Rilievo> rilievi;

private:
    void aggiungi(const OggettoEtichetta& o, TipoRilievo tipo, int lato, int record, const QString& testo);

    const DocumentoEtichetta& doc_;
    double dpi_;
    MisuraTestoBarcode misura_;
    QRectF etichetta_;
    QSet<QString> visti_;  // object, kind and side already reported
};

void Controllo::aggiungi(const OggettoEtichetta& o, TipoRilievo tipo, int lato, int record, const QString& testo)
{
    const QString chiave = QStringLiteral("%1/%2/%3").arg(o.id).arg(int(tipo)).arg(lato);
    if (visti_.contains(chiave)) return;
    visti_.insert(chiave);
    Rilievo r;
    r.tipo = tipo;
    r.oggetto = o.id;
    r.chiave = o.Chiave();
    r.record = record;
    r.testo = testo;
    if (record > 0) {
        // "... covered by X (from record 3)."
        const bool punto = r.testo.endsWith(QLatin1Char('.'));
        if (punto) r.testo.chop(1);
        r.testo = LoadResString(2961).arg(r.testo).arg(record) + (punto ? QStringLiteral(".") : QString());
    }
    rilievi.push_back(r);
}

void Controllo::Barcode(const OggettoEtichetta& o, const QString& codice, int record)
{
    if (codice.isEmpty()) return;  // the print says so itself
    const ParametriBarcode parametri = ParametriBarcode::DaTag(o.Tag);
    // A turned symbol is laid out in its unturned box, and its quiet zones turned onto the label.
    const QPointF centro(o.Left - OrigineEtichettaX + o.Width / 2.0, o.Top - OrigineEtichettaY + o.Height / 2.0);
    const double wc = o.LarghezzaContenuto(), hc = o.AltezzaContenuto();
    QTransform giro;
    giro.translate(centro.x(), centro.y());
    giro.rotate(o.Rotazione.Gradi);
    giro.translate(-centro.x(), -centro.y());
    const RiquadroBarcode riquadro{(centro.x() - wc / 2) / kTwipPerMmBarcode,
                                   (centro.y() - hc / 2) / kTwipPerMmBarcode,
                                   wc / kTwipPerMmBarcode,
                                   hc / kTwipPerMmBarcode,
                                   0,
                                   0};
    const DisegnoBarcode d = DisegnoSimbolo(parametri, codice, riquadro, misura_);
    const SimboloBarcode& s = d.simbolo;
    if (s.tipo < 0 || (s.elementi.empty() && !s.bidimensionale())) return;  // refused: the print says so
    const QString nome = QStringLiteral("%1 (%2)").arg(NomeOggetto(o), NomeTipoBarcode(s.tipo));

    // 1. the layout the output makes: on whole dots, or stretched to the box
    const TracciatoSimbolo vettoriale = TracciaVettoriale(s);
    std::optional<TracciatoSimbolo> aPunti;
    if (dpi_ > 0) {
        aPunti = TracciaAPunti(s, QTransform(), dpi_, 0);
        const double k = dpi_ / kTwipPerPollice;  // dots per twip
        const int richiesti = s.dueLarghezze ? 2 : 1;
        const double punti = aPunti ? aPunti->modulo * k : vettoriale.modulo * k;
        if (!aPunti || std::lround(punti) < richiesti)
            aggiungi(o, TipoRilievo::ModuloSottoPunto, 0, record,
                     LoadResString(2950).arg(nome, Numero(punti, 2), QString::number(dpi_)).arg(richiesti));
    }
    const TracciatoSimbolo& t = aPunti ? *aPunti : vettoriale;

    // 2. the retail minimum
    const double moduloMm = t.modulo / kTwipPerMmBarcode;
    if ((s.tipo == qint8(TipoBarcode::EAN13) || s.tipo == qint8(TipoBarcode::UPC)) &&
        moduloMm < kModuloMinimoDettaglioMm - 1e-9)
        aggiungi(o, TipoRilievo::ModuloSottoMinimo, 0, record,
                 LoadResString(2951).arg(nome, Numero(moduloMm, 3), Numero(kModuloMinimoDettaglioMm, 3)));

    // 3. the human-readable line
    if (s.conTesto() && (d.larghezzaTesto > s.larghezza + kTolleranza || !(s.fondo > s.cima)))
        aggiungi(o, TipoRilievo::TestoNonEntra, 0, record, LoadResString(2959).arg(nome, s.testo));

    // the symbol's dark extent, bearer bars apart
    QRectF simbolo;
    const std::size_t primo = s.barreSostegno ? 2 : 0;
    for (std::size_t i = primo; i < t.scuri.size(); ++i)
        simbolo = simbolo.isNull() ? t.scuri[i] : simbolo.united(t.scuri[i]);
    if (simbolo.isEmpty()) return;

    // 4. the quiet zones: inside the label and clear of the other objects
    const Quiete q = QuieteRichiesta(s);
    const double m = t.modulo;
    struct Zona {
        int lato;  // 2953 left, 2954 right, 2955 top, 2956 bottom
        int moduli;
        QRectF area;
    };
    std::vector<Zona> zone = {
        {2953, q.sinistra, QRectF(QPointF(simbolo.left() - q.sinistra * m, simbolo.top()), simbolo.bottomLeft())},
        {2954, q.destra, QRectF(simbolo.topRight(), QPointF(simbolo.right() + q.destra * m, simbolo.bottom()))},
    };
    if (q.verticale > 0) {
        const double sx = simbolo.left() - q.sinistra * m, dx = simbolo.right() + q.destra * m;
        zone.push_back(
            {2955, q.verticale, QRectF(QPointF(sx, simbolo.top() - q.verticale * m), QPointF(dx, simbolo.top()))});
        zone.push_back({2956, q.verticale,
                        QRectF(QPointF(sx, simbolo.bottom()), QPointF(dx, simbolo.bottom() + q.verticale * m))});
    }
    for (Zona& z : zone) z.area = giro.mapRect(z.area);
    for (const Zona& z : zone) {
        if (z.moduli <= 0) continue;
        QString coperta;
        const QRectF dentro = etichetta_.adjusted(-kTolleranza, -kTolleranza, kTolleranza, kTolleranza);
        if (!dentro.contains(z.area)) {
            coperta = LoadResString(doc_.Layout().UnaPerPagina ? 2957 : 2958);
        } else {
            for (const OggettoEtichetta* altro : doc_.OrdineDisegno()) {
                if (altro == &o) continue;
                for (const QRectF& r : Impronta(*altro))
                    if (Sovrapposti(r, z.area)) coperta = LoadResString(2962).arg(NomeOggetto(*altro));
                if (!coperta.isEmpty()) break;
            }
        }
        if (!coperta.isEmpty())
            aggiungi(o, TipoRilievo::ZonaQuieteCoperta, z.lato, record,
                     LoadResString(2952).arg(nome, LoadResString(z.lato)).arg(z.moduli).arg(coperta));
    }

    // 5. the bars' height
    if (!s.bidimensionale() && simbolo.height() < kAltezzaMinimaBarre * simbolo.width() - 1e-9)
        aggiungi(o, TipoRilievo::BarreBasse, 0, record,
                 LoadResString(2960)
                     .arg(nome, Numero(simbolo.height() / kTwipPerMmBarcode, 1))
                     .arg(qRound(kAltezzaMinimaBarre * 100))
                     .arg(Numero(simbolo.width() / kTwipPerMmBarcode, 1)));
}

}  // namespace

QString NomeOggetto(const OggettoEtichetta& o)
{
    const int id = o.tipo == TipoOggetto::Testo      ? 1560
                   : o.tipo == TipoOggetto::Barcode  ? 1561
                   : o.tipo == TipoOggetto::Immagine ? 1562
                   : o.tipo == TipoOggetto::Linea    ? 1567
                   : o.tipo == TipoOggetto::Ellisse  ? 1568
                                                     : 1563;
    return LoadResString(id) + QLatin1Char(' ') + QString::number(o.Index);
}

std::vector<Rilievo> ControllaEtichetta(const DocumentoEtichetta& doc, double dpi, RecordsetStampa* rs)
{
    Controllo c(doc, dpi);
    RisolutoreValori valori(doc.Variabili());
    auto& contesto = valori.Contesto();
    contesto.ora = QDateTime::currentDateTime();
    contesto.campo = [&rs](const QString& nome) -> std::optional<QString> {
        if (rs && rs->HaCampo(nome)) return rs->Eof() ? QString() : rs->TestoCampo(nome);
        return std::nullopt;
    };
    std::vector<const OggettoEtichetta*> dalRecord, fissi;
    for (const OggettoEtichetta* o : doc.OrdineDisegno()) {
        if (o->tipo != TipoOggetto::Barcode) continue;
        const bool varia = o->Collegato() || o->ToolTipText.contains(QLatin1String("${"));
        (varia && rs ? dalRecord : fissi).push_back(o);
    }
    const auto dati = [&](const OggettoEtichetta& o) {
        if (o.Collegato()) return rs && !rs->Eof() ? rs->TestoCampo(o.DataMember) : QString();
        return valori.Componi(o.ToolTipText);
    };
    for (const OggettoEtichetta* o : fissi) c.Barcode(*o, dati(*o), 0);
    if (!dalRecord.empty()) {
        for (int n = 1; !rs->Eof(); ++n, rs->MoveNext()) {
            contesto.etichetta = contesto.record = n - 1;
            for (const OggettoEtichetta* o : dalRecord) c.Barcode(*o, dati(*o), n);
        }
    }
    return std::move(c.rilievi);
}

QString TestoRisoluzione(double dpi)
{
    return dpi > 0 ? QStringLiteral("%1 dpi").arg(dpi) : LoadResString(2965);
}

QStringList RigheRilievi(const std::vector<Rilievo>& rilievi)
{
    QStringList righe;
    for (const Rilievo& r : rilievi) righe << r.testo;
    return righe;
}

bool StampaComunque(Interazione& ui, const std::vector<Rilievo>& rilievi, double dpi, const QString& titolo)
{
    const QString testo = ElencoProblemi(LoadResString(2966).arg(TestoRisoluzione(dpi)), RigheRilievi(rilievi)) +
                          QStringLiteral("\r\r") + LoadResString(2967);
    return ui.messaggio(testo, titolo, Pulsanti::YesNo, Icona::Domanda) == Risposta::Yes;
}

}  // namespace cartigo
