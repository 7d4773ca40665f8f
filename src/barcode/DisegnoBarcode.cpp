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

// A box too low for the text leaves no room for bars: none are drawn rather
// than bars reaching out of the box.
bool SpazioPerBarre(const Geometria& g)
{
    return g.fondo > g.cima;
}

// Bearer bars of ITF-14, in modules, and the most of the bars' height they may take.
constexpr double kModuliSostegno = 5;
constexpr double kQuotaMassimaSostegno = 0.2;

// The runs of dark modules of a row: [inizio, fine) column pairs, left to right.
std::vector<std::pair<int, int>> Tratti(const SimboloZint& s, int riga)
{
    std::vector<std::pair<int, int>> tratti;
    for (int i = 0; i < s.colonne;) {
        if (!s.scuro(riga, i)) {
            ++i;
            continue;
        }
        int fine = i;
        while (fine < s.colonne && s.scuro(riga, fine)) ++fine;
        tratti.emplace_back(i, fine);
        i = fine;
    }
    return tratti;
}

DisegnoBarcode DisegnoLineare(const SimboloZint& s, const RiquadroBarcode& riquadro, const MisuraTestoBarcode& misura,
                              PosizioneTestoBarcode posizione)
{
    DisegnoBarcode d;
    d.stilePenna = kPennaNessuna;
    const QSizeF misurato = misura(s.testo);
    const Geometria g = Calcola(riquadro, misurato.height(), posizione);
    PreparaTesto(d, g, s.testo, misurato, posizione);
    d.moduli = s.quieteSinistra + s.colonne + s.quieteDestra;
    d.larghezzaModulo = g.larghezza / d.moduli;
    if (!SpazioPerBarre(g)) return d;

    const double mw = d.larghezzaModulo;
    const double sinistra = g.x + g.offX;
    double cima = g.cima + g.offY;
    double fondo = g.fondo + g.offY;
    if (s.barreSostegno) {
        const double spessore = std::min(kModuliSostegno * mw, kQuotaMassimaSostegno * (fondo - cima));
        d.rettangoli.append({sinistra, cima, sinistra + g.larghezza, cima + spessore, QColor(Qt::black)});
        d.rettangoli.append({sinistra, fondo - spessore, sinistra + g.larghezza, fondo, QColor(Qt::black)});
        cima += spessore;
        fondo -= spessore;
    }
    const double x0 = sinistra + s.quieteSinistra * mw;
    for (const auto& [inizio, fine] : Tratti(s, 0))
        d.rettangoli.append({x0 + inizio * mw, cima, x0 + fine * mw, fondo, QColor(Qt::black)});
    return d;
}

DisegnoBarcode Disegno2D(const SimboloZint& s, const RiquadroBarcode& r)
{
    DisegnoBarcode d;
    d.stilePenna = kPennaNessuna;
    const double larghezza = r.larghezza * kTwipPerMmBarcode;
    const double altezza = r.altezza * kTwipPerMmBarcode;
    const double moduliX = s.quieteSinistra + s.colonne + s.quieteDestra;
    const double moduliY = s.righe * s.altezzaRiga + 2.0 * s.quieteVerticale;
    const double modulo = std::min(larghezza / moduliX, altezza / moduliY);
    if (!(modulo > 0)) return d;
    const double x0 =
        (r.x + r.offsetX) * kTwipPerMmBarcode + (larghezza - moduliX * modulo) / 2 + s.quieteSinistra * modulo;
    const double y0 =
        (r.y + r.offsetY) * kTwipPerMmBarcode + (altezza - moduliY * modulo) / 2 + s.quieteVerticale * modulo;
    const double riga = s.altezzaRiga * modulo;
    d.moduli = s.colonne;
    d.larghezzaModulo = modulo;
    d.cimaBarre = y0;
    d.fondoBarre = y0 + s.righe * riga;

    // The runs of the row above that may grow down, with their rectangle.
    struct Aperto {
        std::pair<int, int> tratto;
        qsizetype rettangolo;
    };
    std::vector<Aperto> aperti, prossimi;
    for (int y = 0; y < s.righe; ++y) {
        const double cima = y0 + y * riga;
        const double fondo = y0 + (y + 1) * riga;
        prossimi.clear();
        auto a = aperti.cbegin();
        for (const auto& t : Tratti(s, y)) {
            while (a != aperti.cend() && a->tratto.first < t.first) ++a;
            if (a != aperti.cend() && a->tratto == t) {
                d.rettangoli[a->rettangolo].y2 = fondo;
                prossimi.push_back(*a);
            } else {
                prossimi.push_back({t, d.rettangoli.size()});
                d.rettangoli.append({x0 + t.first * modulo, cima, x0 + t.second * modulo, fondo, QColor(Qt::black)});
            }
        }
        std::swap(aperti, prossimi);
    }
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
                          PosizioneTestoBarcode posizione)
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
    d.larghezzaModulo = g.larghezza / d.moduli;

    // One rectangle per bar (a run of dark modules), without an outline: a pen
    // around each module would cut light seams into the wide bars.
    if (SpazioPerBarre(g)) {
        for (int i = 0; i < d.moduli;) {
            if (esito.moduli[i] != QLatin1Char('1')) {
                ++i;
                continue;
            }
            int fine = i;
            while (fine < d.moduli && esito.moduli[fine] == QLatin1Char('1')) ++fine;
            d.rettangoli.append({g.x + i * d.larghezzaModulo + g.offX, g.cima + g.offY,
                                 g.x + fine * d.larghezzaModulo + g.offX, g.fondo + g.offY, QColor(Qt::black)});
            i = fine;
        }
    }
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
    d.larghezzaModulo = g.larghezza / d.moduli;

    if (!SpazioPerBarre(g)) return d;
    const double mw = d.larghezzaModulo;
    const double cima = g.cima + g.offY;
    const double fondo = g.fondo + g.offY;
    double pos = g.x + g.offX;
    auto rettangolo = [&](double da, int moduli, Qt::GlobalColor colore) {
        d.rettangoli.append({da, cima, da + moduli * mw, fondo, QColor(colore)});
    };
    for (const QChar c : Code39::CodiceRacchiuso39(strBarcode)) {
        for (const QChar e : Code39::Voce39(c)) {
            if (e == QLatin1Char(' ')) {
                rettangolo(pos, 1, Qt::white);
                pos += mw;
            } else if (e == QLatin1Char('1')) {
                rettangolo(pos, 1, Qt::white);
                rettangolo(pos + mw, 1, Qt::black);
                pos += 2 * mw;
            } else if (e == QLatin1Char('2')) {
                rettangolo(pos, 1, Qt::white);
                rettangolo(pos + mw, 2, Qt::black);
                pos += 3 * mw;
            }
        }
    }
    rettangolo(pos, 1, Qt::white);
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
            return DisegnoEAN(codice, riquadro, misura, posizione);
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
    if (BarcodeBidimensionale(parametri.tipo)) return Disegno2D(*simbolo, riquadro);
    return DisegnoLineare(*simbolo, riquadro, misura, posizione);
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
        p.drawText(QPointF(d.testoX, d.testoY + QFontMetricsF(f).ascent()), d.testo);
    }
    p.restore();
}

}  // namespace cartigo
