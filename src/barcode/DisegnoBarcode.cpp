#include "barcode/DisegnoBarcode.h"

#include "barcode/Code39.h"
#include "barcode/EAN.h"
#include "barcode/SimboloZint.h"
#include "label/Caratteri.h"
#include "label/FileEtichetta.h"

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>

namespace cartigo {

namespace {

constexpr int kPennaNessuna = 5;

// The box in twips, offsets apart, and the vertical places of bars and text.
struct Geometria {
    double x, y, larghezza, altezza;
    double offX, offY;
    double cima, fondo;  // bars, without offset
    double testoY;       // without offset
};

Geometria Calcola(const RiquadroBarcode& r, double altezzaTesto, PosizioneTestoBarcode posizione)
{
    Geometria g;
    g.x = r.x * kTwipPerMmBarcode;
    g.y = r.y * kTwipPerMmBarcode;
    g.larghezza = r.larghezza * kTwipPerMmBarcode;
    g.altezza = r.altezza * kTwipPerMmBarcode;
    g.offX = r.offsetX * kTwipPerMmBarcode;
    g.offY = r.offsetY * kTwipPerMmBarcode;
    if (posizione == PosizioneTestoBarcode::Sopra) {
        g.testoY = g.y;
        g.cima = g.y + altezzaTesto;
        g.fondo = g.y + g.altezza;
    } else {
        g.cima = g.y;
        g.fondo = g.y + g.altezza - altezzaTesto;
        g.testoY = g.fondo;
    }
    return g;
}

// Fills in what both symbologies share once the text is measured.
void PreparaTesto(DisegnoBarcode& d, const Geometria& g, const QString& testo, QSizeF misurato,
                  PosizioneTestoBarcode posizione)
{
    d.larghezzaTesto = misurato.width();
    d.altezzaTesto = misurato.height();
    d.cimaBarre = g.cima + g.offY;
    d.fondoBarre = g.fondo + g.offY;
    d.conTesto = posizione != PosizioneTestoBarcode::Nascosto;
    d.testo = testo;
    d.testoX = g.x + (g.larghezza - d.larghezzaTesto) / 2 + g.offX;
    d.testoY = g.testoY + g.offY;
}

// The symbol's box and bars, its text, and the rectangles of its vector layout.
void Completa(DisegnoBarcode& d, const Geometria& g, PosizioneTestoBarcode posizione)
{
    SimboloBarcode& s = d.simbolo;
    s.x = g.x + g.offX;
    s.y = g.y + g.offY;
    s.larghezza = g.larghezza;
    s.altezza = g.altezza;
    s.cima = d.cimaBarre;
    s.fondo = d.fondoBarre;
    s.posizioneTesto = quint8(posizione);
    s.testo = d.testo;
    s.testoX = d.testoX;
    s.testoY = d.testoY;
    TracciatoSimbolo t = TracciaVettoriale(s);
    d.cifre = std::move(t.cifre);
    if (!t.chiaro.isEmpty())
        d.rettangoli.append({t.chiaro.left(), t.chiaro.top(), t.chiaro.right(), t.chiaro.bottom(), QColor(Qt::white)});
    for (const QRectF& r : t.scuri) d.rettangoli.append({r.left(), r.top(), r.right(), r.bottom(), QColor(Qt::black)});
    d.larghezzaModulo = t.modulo;
}

// Runs of equal modules ('1' dark) as alternate elements, the first one light.
template <class Scuro>
std::vector<quint8> Elementi(int n, Scuro scuro)
{
    std::vector<quint8> e;
    bool chiaro = true;
    int corsa = 0;
    for (int i = 0; i < n; ++i) {
        if (scuro(i) == chiaro) {
            e.push_back(quint8(std::min(corsa, 255)));
            chiaro = !chiaro;
            corsa = 0;
        }
        ++corsa;
    }
    e.push_back(quint8(std::min(corsa, 255)));
    if (chiaro) e.pop_back();  // a trailing light run is a quiet zone, kept by the count
    return e;
}

DisegnoBarcode DisegnoLineare(const SimboloZint& s, const ParametriBarcode& parametri, const QString& codice,
                              const RiquadroBarcode& riquadro, const MisuraTestoBarcode& misura,
                              PosizioneTestoBarcode posizione)
{
    DisegnoBarcode d;
    d.stilePenna = kPennaNessuna;
    const QSizeF misurato = misura(s.testo);
    const Geometria g = Calcola(riquadro, misurato.height(), posizione);
    PreparaTesto(d, g, s.testo, misurato, posizione);
    d.moduli = s.quieteSinistra + s.colonne + s.quieteDestra;
    SimboloBarcode& sb = d.simbolo;
    sb.tipo = qint8(parametri.tipo);
    sb.dati = codice;
    sb.elementi = Elementi(s.colonne, [&](int i) { return s.scuro(0, i); });
    int usati = 0;
    for (const quint8 e : sb.elementi) usati += e;
    sb.quieteSinistra = quint16(s.quieteSinistra);
    sb.quieteDestra = quint16(s.quieteDestra + s.colonne - usati);
    sb.barreSostegno = s.barreSostegno;
    sb.cifreStandard = parametri.cifreStandard && CifreStandardPossibili(parametri.tipo);
    Completa(d, g, posizione);
    return d;
}

DisegnoBarcode Disegno2D(const SimboloZint& s, const ParametriBarcode& parametri, const QString& codice,
                         const RiquadroBarcode& r)
{
    DisegnoBarcode d;
    d.stilePenna = kPennaNessuna;
    SimboloBarcode& sb = d.simbolo;
    sb.tipo = qint8(parametri.tipo);
    sb.dati = codice;
    sb.righe = quint16(s.righe);
    sb.colonne = quint16(s.colonne);
    sb.moduli.assign(s.moduli.begin(), s.moduli.end());
    sb.altezzaRiga = float(s.altezzaRiga);
    sb.quieteSinistra = quint16(s.quieteSinistra);
    sb.quieteDestra = quint16(s.quieteDestra);
    sb.quieteVerticale = quint16(s.quieteVerticale);
    const Geometria g = Calcola(r, 0, PosizioneTestoBarcode::Nascosto);
    d.moduli = s.colonne;
    Completa(d, g, PosizioneTestoBarcode::Nascosto);
    const double moduliY = s.righe * s.altezzaRiga + 2.0 * s.quieteVerticale;
    d.cimaBarre = sb.y + (sb.altezza - moduliY * d.larghezzaModulo) / 2 + s.quieteVerticale * d.larghezzaModulo;
    d.fondoBarre = d.cimaBarre + s.righe * s.altezzaRiga * d.larghezzaModulo;
    return d;
}

}  // namespace

PosizioneTestoBarcode PosizioneTestoDaNumero(int valore)
{
    switch (valore) {
        case 1:
            return PosizioneTestoBarcode::Sopra;
        case 2:
            return PosizioneTestoBarcode::Nascosto;
        default:
            return PosizioneTestoBarcode::Sotto;
    }
}

DisegnoBarcode DisegnoEAN(const QString& strEANCode, const RiquadroBarcode& riquadro, const MisuraTestoBarcode& misura,
                          PosizioneTestoBarcode posizione, bool cifreStandard)
{
    DisegnoBarcode d;
    d.stilePenna = kPennaNessuna;
    if (strEANCode.isEmpty()) return d;
    const modCartigo::EsitoEAN esito = modCartigo::CodificaEAN(strEANCode);
    if (!esito.valido()) {
        d.titolo = modCartigo::TitoloEAN2Bin();
        d.messaggio = esito.messaggio;
        return d;
    }

    // The code as passed, or its digits with the check digit that was added.
    const QString testo = esito.cifre.size() > modCartigo::TestoTrim(strEANCode).size() ? esito.cifre : strEANCode;
    const QSizeF misurato = misura(testo);
    const Geometria g = Calcola(riquadro, misurato.height(), posizione);
    PreparaTesto(d, g, testo, misurato, posizione);
    d.moduli = static_cast<int>(esito.moduli.size());
    SimboloBarcode& sb = d.simbolo;
    sb.tipo = qint8(TipoBarcode::EAN13);
    sb.dati = esito.cifre;
    sb.elementi = Elementi(d.moduli, [&](int i) { return esito.moduli[i] == QLatin1Char('1'); });
    int usati = 0;
    for (const quint8 e : sb.elementi) usati += e;
    sb.quieteDestra = quint16(d.moduli - usati);
    if (cifreStandard) {
        // The encoder's margins are 3 light modules a side; the standard's quiet zones are
        // 11 and 7 for EAN-13, where the first digit stands, and 7 a side for EAN-8.
        sb.cifreStandard = true;
        sb.quieteSinistra = esito.cifre.size() == 13 ? 8 : 4;
        sb.quieteDestra += 4;
        d.moduli += sb.quieteSinistra + 4;
    }
    Completa(d, g, posizione);
    return d;
}

DisegnoBarcode Disegno39(const QString& strBarcode, const RiquadroBarcode& riquadro, const MisuraTestoBarcode& misura,
                         PosizioneTestoBarcode posizione)
{
    DisegnoBarcode d;
    d.stilePenna = kPennaNessuna;
    if (strBarcode.isEmpty()) return d;

    const QSizeF misurato = misura(QLatin1Char('*') + strBarcode + QLatin1Char('*'));
    const Geometria g = Calcola(riquadro, misurato.height(), posizione);
    PreparaTesto(d, g, Code39::TestoLeggibile39(strBarcode), misurato, posizione);
    d.moduli = Code39::ModuliCode39(strBarcode);
    SimboloBarcode& sb = d.simbolo;
    sb.tipo = qint8(TipoBarcode::Code39);
    sb.dati = Code39::Maiuscolo39(strBarcode);
    sb.dueLarghezze = true;
    sb.coprente = true;
    // Each bar follows a one-module gap; a blank widens the gap before the next bar, and
    // a closing light module ends the symbol.
    int chiaro = 0;
    for (const QChar c : Code39::CodiceRacchiuso39(strBarcode)) {
        for (const QChar v : Code39::Voce39(c)) {
            if (v == QLatin1Char(' ')) {
                ++chiaro;
            } else if (v == QLatin1Char('1') || v == QLatin1Char('2')) {
                sb.elementi.push_back(quint8(chiaro + 1));
                sb.elementi.push_back(v == QLatin1Char('2') ? 2 : 1);
                chiaro = 0;
            }
        }
    }
    sb.elementi.push_back(quint8(chiaro + 1));
    Completa(d, g, posizione);
    return d;
}

DisegnoBarcode DisegnoSimbolo(const ParametriBarcode& parametri, const QString& codice, const RiquadroBarcode& riquadro,
                              const MisuraTestoBarcode& misura)
{
    const PosizioneTestoBarcode posizione = PosizioneTestoDaNumero(parametri.testo);
    switch (static_cast<TipoBarcode>(parametri.tipo)) {
        case TipoBarcode::Code39:
            return Disegno39(codice, riquadro, misura, posizione);
        case TipoBarcode::EAN13:
            return DisegnoEAN(codice, riquadro, misura, posizione, parametri.cifreStandard);
        default:
            break;
    }
    DisegnoBarcode d;
    d.stilePenna = kPennaNessuna;
    if (parametri.tipo < 0 || parametri.tipo >= kTipiBarcode || codice.isEmpty()) return d;
    const auto simbolo = CodificaZint(parametri, codice);
    if (!simbolo->valido()) {
        d.titolo = NomeTipoBarcode(parametri.tipo);
        d.messaggio = simbolo->messaggio;
        d.dettaglio = simbolo->dettaglio;
        return d;
    }
    if (BarcodeBidimensionale(parametri.tipo)) return Disegno2D(*simbolo, parametri, codice, riquadro);
    return DisegnoLineare(*simbolo, parametri, codice, riquadro, misura, posizione);
}

QString DatiCampione(int tipo)
{
    switch (static_cast<TipoBarcode>(tipo)) {
        case TipoBarcode::Code39:
            return QStringLiteral("CARTIGO");
        case TipoBarcode::EAN13:
            return QStringLiteral("5901234123457");
        case TipoBarcode::Code128:
            return QStringLiteral("Cartigo 128");
        case TipoBarcode::QRCode:
            return QStringLiteral("Cartigo QR Code");
        case TipoBarcode::DataMatrix:
            return QStringLiteral("Cartigo Data Matrix");
        case TipoBarcode::PDF417:
            return QStringLiteral("Cartigo PDF417");
        case TipoBarcode::UPC:
            return QStringLiteral("036000291452");
        case TipoBarcode::ITF:
            return QStringLiteral("15400141288763");
    }
    return {};
}

QFont CarattereBarcodeTwips()
{
    QFont f = Caratteri::CarattereTesto(QString::fromLatin1(kFontBarcode));
    f.setPixelSize(int(std::lround(kPuntiFontBarcode * 20)));
    f.setBold(kGrassettoFontBarcode);
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

MisuraTestoBarcode MisuraTestoTwips()
{
    return [fm = QFontMetricsF(CarattereBarcodeTwips())](const QString& testo) {
        return QSizeF(fm.horizontalAdvance(testo), fm.height());
    };
}

void DipingiBarcode(QPainter& p, const DisegnoBarcode& d, const QColor& colore)
{
    p.save();
    p.setPen(Qt::NoPen);
    for (const RettangoloBarcode& r : d.rettangoli)
        p.fillRect(QRectF(QPointF(r.x1, r.y1), QPointF(r.x2, r.y2)), r.colore == QColor(Qt::black) ? colore : r.colore);
    if (d.conTesto) {
        const QFont f = CarattereBarcodeTwips();
        p.setFont(f);
        p.setPen(d.coloreTesto == QColor(Qt::black) ? colore : d.coloreTesto);
        if (!d.cifre.empty())
            DipingiCifre(p, d.cifre, d.testoY, f);
        else
            p.drawText(QPointF(d.testoX, d.testoY + QFontMetricsF(f).ascent()), d.testo);
    }
    p.restore();
}

void DipingiCifre(QPainter& p, const std::vector<TracciatoSimbolo::Cifre>& cifre, double cima, const QFont& carattere)
{
    constexpr double kQuota = 0.9;
    constexpr double kPiccole = 0.8;
    const auto ridotto = [&](double scala) {
        QFont f = carattere;
        if (f.pixelSize() > 0)
            f.setPixelSize(std::max(1, int(std::lround(f.pixelSize() * scala))));
        else
            f.setPointSizeF(std::max(0.1, f.pointSizeF() * scala));
        return f;
    };
    const QFontMetricsF fm(carattere);
    double scala = 1;
    for (const TracciatoSimbolo::Cifre& c : cifre) {
        const double w = fm.horizontalAdvance(c.testo);
        if (!c.piccolo && w > 0) scala = std::min(scala, kQuota * c.ampiezza / w);
    }
    const QFont normale = ridotto(scala), piccolo = ridotto(scala * kPiccole);
    const QFontMetricsF fmNormale(normale), fmPiccolo(piccolo);
    const double base = cima + fmNormale.ascent();
    p.save();
    for (const TracciatoSimbolo::Cifre& c : cifre) {
        p.setFont(c.piccolo ? piccolo : normale);
        const double w = (c.piccolo ? fmPiccolo : fmNormale).horizontalAdvance(c.testo);
        p.drawText(QPointF(c.centro - w / 2, base), c.testo);
    }
    p.restore();
}

}  // namespace cartigo
