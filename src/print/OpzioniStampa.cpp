#include "print/OpzioniStampa.h"

#include "label/Conversioni.h"
#include "label/Errori.h"
#include "shell/StringTable.h"

#include <QStringList>
#include <algorithm>

namespace cartigo {

namespace {
// A whole number from a box, 0 when empty or not a number; a number past the 16-bit
// range counts as not valid (0), so it gets the same message.
int interoCampo(const QString& testo)
{
    try {
        const double v = modCartigo::ConvertiIntero(testo, ImpostazioniLocali::correnti());
        if (v > 32767 || v < -32768)
            return 0;
        return int(v);
    } catch (const ErroreCartigo&) {
        return 0;
    }
}

void valoreNonPositivo(Interazione& ui, const QString& titolo)
{
    ui.beep();
    ui.messaggio(LoadResString(1409), titolo, Pulsanti::Ok, Icona::Esclamazione);
}
}  // namespace

EsitoOkStampa OkOpzioniStampa(const ValoriDialogoStampa& v, RichiestaOpzioniStampa& r, Interazione& ui,
                              const QString& titolo)
{
    const int numero = interoCampo(v.numeroEtichette);
    bool tutte = r.StampaTutte;
    if (v.opzioneTutte) {
        tutte = true;
    } else if (v.opzioneNumero) {
        if (numero <= 0) {
            valoreNonPositivo(ui, titolo);
            return {false, 1};
        }
        tutte = false;
    }
    const int prima = interoCampo(v.primaEtichetta);
    if (prima <= 0) {
        valoreNonPositivo(ui, titolo);
        return {false, 2};
    }
    for (qsizetype i = 0; i < r.Richieste.size(); ++i) {
        const QString valore = i < v.valori.size() ? v.valori[i] : r.Richieste[i].Predefinito;
        if (const QString errore = Variabili::ControllaValore(r.Richieste[i], valore); !errore.isEmpty()) {
            ui.beep();
            ui.messaggio(errore, titolo, Pulsanti::Ok, Icona::Esclamazione);
            return {false, 3 + int(i)};
        }
    }
    r.ValoriRichiesti.clear();
    for (qsizetype i = 0; i < r.Richieste.size(); ++i)
        r.ValoriRichiesti << (i < v.valori.size() ? v.valori[i] : r.Richieste[i].Predefinito);
    r.StampaTutte = tutte;
    r.Confermato = true;
    r.NumeroEtichette = qint16(numero);
    r.PrimaEtichetta = qint16(prima);
    r.StampaCrocicchi = v.crocicchi;
    r.StampaBordi = v.bordi;
    return {true, 0};
}

bool TestAreaStampa(AreaPagina& pagina, double altezzaCm, double larghezzaCm, Interazione& ui)
{
    const double h = pagina.Height() / 567.0;
    const double w = pagina.Width() / 567.0;
    if (!(h < altezzaCm || w < larghezzaCm))
        return true;
    const QString titolo = LoadResString(1410);
    if (h > larghezzaCm && w > altezzaCm) {
        const Risposta r = ui.messaggio(LoadResString(1411), titolo, Pulsanti::YesNo, Icona::Domanda);
        if (r == Risposta::Yes)
            pagina.SetOrientation(pagina.Orientation() == 1 ? 2 : 1);
        return true;
    }
    const Risposta r = ui.messaggio(LoadResString(1412), titolo, Pulsanti::YesNo, Icona::Domanda);
    return r == Risposta::Yes;
}

SporgenzaPagina SporgenzaEtichette(const DocumentoEtichetta& doc, const AreaPagina& pagina, int etichette, int prima)
{
    SporgenzaPagina s;
    const auto& l = doc.Layout();
    const int colonne = l.Colonne(), righe = l.Righe();
    if (colonne <= 0 || righe <= 0 || etichette <= 0)
        return s;
    // The engine turns millimetres into twips at 56.7 a millimetre.
    const double larghezza = pagina.Width() / DocumentoEtichetta::TwipsPerMm;
    const double altezza = pagina.Height() / DocumentoEtichetta::TwipsPerMm;
    // After one page's worth of labels every cell the job uses has been seen.
    SequenzaCelle celle(colonne, righe, prima);
    const qint64 daVedere = std::min<qint64>(etichette, qint64(colonne) * righe);
    for (qint64 n = 0; n < daVedere; ++n) {
        const auto c = celle.Prossima();
        const double x = SpostamentoStampaX + doc.GetXGen(0, c.colonna);
        const double y = SpostamentoStampaY + doc.GetYGen(0, c.riga);
        s.sinistra = std::max(s.sinistra, -x);
        s.alto = std::max(s.alto, -y);
        s.destra = std::max(s.destra, x + l.LarghezzaEtichetta - larghezza);
        s.basso = std::max(s.basso, y + l.AltezzaEtichetta - altezza);
    }
    return s;
}

bool TestEtichetteNellaPagina(const DocumentoEtichetta& doc, const AreaPagina& pagina, int etichette, int prima,
                              Interazione& ui)
{
    const SporgenzaPagina s = SporgenzaEtichette(doc, pagina, etichette, prima);
    const auto mm = [](double v) {
        return QString::number(v, 'f', 1).replace(QLatin1Char('.'), ImpostazioniLocali::correnti().decimale);
    };
    QStringList lati;
    const std::pair<double, int> misure[] = {{s.destra, 1311}, {s.basso, 1312}, {s.sinistra, 1313}, {s.alto, 1314}};
    for (const auto& [valore, id] : misure)
        if (valore >= 0.05)  // less is the rounding of the page's size, not a label off the page
            lati << LoadResString(id).arg(mm(valore));
    if (lati.isEmpty())
        return true;
    const QString testo = LoadResString(1310).arg(lati.join(QStringLiteral(", "))) + QLatin1Char('\r') +
                          LoadResString(1315).arg(SpostamentoStampaX) + QLatin1Char('\r') + LoadResString(1316);
    return ui.messaggio(testo, LoadResString(1410), Pulsanti::YesNo, Icona::Domanda) == Risposta::Yes;
}

SequenzaCelle::Cella SequenzaCelle::Prossima()
{
    Cella c{0, 0, 0};
    do {
        ++usate_;
        ++colonna_;
        if (colonna_ > colonne_) {
            colonna_ = 1;
            ++riga_;
            if (riga_ > righe_) {
                colonna_ = 1;
                riga_ = 1;
                ++c.nuovePagine;
            }
        }
    } while (usate_ < prima_);
    c.colonna = colonna_;
    c.riga = riga_;
    return c;
}

}  // namespace cartigo
