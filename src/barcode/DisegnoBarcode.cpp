#include "barcode/DisegnoBarcode.h"

#include "barcode/Code39.h"
#include "barcode/EAN.h"
#include "label/FileEtichetta.h"

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

}  // namespace cartigo
