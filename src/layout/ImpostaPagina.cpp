#include "layout/ImpostaPagina.h"

#include "label/Conversioni.h"
#include "label/ScritturaFile.h"
#include "layout/CampoNumerico.h"
#include "layout/CatalogoEtichette.h"
#include "shell/StringTable.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <cmath>

namespace cartigo {

const std::array<ValoriImpostaPagina::Campo, ValoriImpostaPagina::NumeroCampi> ValoriImpostaPagina::Campi = {{
    {"txtEtichetteOrizzontali", 197, false},
    {"txtEtichetteVerticali", 198, false},
    {"txtMargineSinistro", 199, true},
    {"txtMargineSuperiore", 200, true},
    {"txtLarghezzaEtichetta", 201, true},
    {"txtAltezzaEtichetta", 202, true},
    {"txtSpazioOrizzontale", 203, true},
    {"txtSpazioVerticale", 204, true},
    {"txtOrigineX", 206, true},
    {"txtOrigineY", 207, true},
}};

const std::array<int, 4> ValoriImpostaPagina::CampiObbligatori = {0, 1, 4, 5};

namespace {

// The ten values of a layout and its thermal printer apart, what the labels are on
// copied from `da`.
void copiaSupporto(LayoutEtichetta& a, const LayoutEtichetta& da)
{
    LayoutEtichetta l = da;
    for (int i = 0; i < LayoutEtichetta::NumeroValori; ++i) l.valore(i) = a.valore(i);
    l.Termica = a.Termica;
    a = l;
}

// A shift in the user's numbers; empty for the printer's own.
QString testoSpostamento(const std::optional<double>& mm, const ImpostazioniLocali& loc)
{
    return mm ? QString::number(*mm).replace(QLatin1Char('.'), loc.decimale) : QString();
}

}  // namespace

QString ValoriImpostaPagina::TestoCampo(int campo, double valore, const ImpostazioniLocali& loc)
{
    // Counts of labels are whole numbers; measures keep three decimals.
    return modCartigo::FormattaNumero(valore, Campi[size_t(campo)].millimetri ? 3 : 0, loc);
}

bool ValoriImpostaPagina::SoloFoglio(int campo)
{
    return campo != 4 && campo != 5 && campo < 8;
}

std::optional<double> ValoriImpostaPagina::LeggiRisoluzione(const QString& testo)
{
    QString t = testo.trimmed().toLower();
    if (t.isEmpty() || t == LoadResString(2974, Lingua::Italiano).toLower() ||
        t == LoadResString(2974, Lingua::Inglese).toLower())
        return 0.0;
    if (t.endsWith(QLatin1String("dpi"))) t.chop(3);
    bool ok = false;
    const double dpi = t.trimmed().replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
    if (!ok || !(dpi >= 50 && dpi <= 4800)) return std::nullopt;
    return dpi;
}

std::optional<QString> ValoriImpostaPagina::LeggiRiduzione(const QString& testo)
{
    static const QRegularExpression forma(
        QStringLiteral("^(\\d{1,3}(?:[.,]\\d{1,3})?)\\s*(dots?|punti|punto|mm)?$"));
    const QString t = testo.trimmed().toLower();
    if (t.isEmpty() || t == QLatin1String("auto") || t == LoadResString(2975, Lingua::Italiano).toLower() ||
        t == LoadResString(2975, Lingua::Inglese).toLower())
        return QString();
    const auto m = forma.match(t);
    if (!m.hasMatch()) return std::nullopt;
    const double v = m.captured(1).replace(QLatin1Char(','), QLatin1Char('.')).toDouble();
    return QString::number(v) + (m.captured(2) == QLatin1String("mm") ? QStringLiteral(" mm") : QStringLiteral(" dot"));
}

std::optional<std::optional<double>> ValoriImpostaPagina::LeggiSpostamento(const QString& testo, double massimo)
{
    QString t = testo.trimmed().toLower();
    if (t.isEmpty() || t == LoadResString(3149, Lingua::Italiano).toLower() ||
        t == LoadResString(3149, Lingua::Inglese).toLower())
        return std::optional<double>();
    if (t.endsWith(QLatin1String("mm"))) t.chop(2);
    bool ok = false;
    const double mm = t.trimmed().replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
    if (!ok || !(std::abs(mm) <= massimo)) return std::nullopt;
    return std::optional<double>(mm);
}

int ValoriImpostaPagina::VerificaStampa(Interazione& ui, const QString& titolo) const
{
    using T = StampanteTermica;
    const int errato = !LeggiRisoluzione(risoluzione)                                        ? 1
                       : !LeggiRiduzione(riduzione)                                          ? 2
                       : !LeggiSpostamento(spostamentoAlto, T::SpostamentoAltoMassimo)         ? 3
                       : !LeggiSpostamento(spostamentoSinistra, T::SpostamentoSinistraMassimo) ? 4
                                                                                             : 0;
    if (errato) {
        ui.beep();
        const QString testo = errato == 1   ? LoadResString(2976)
                              : errato == 2 ? LoadResString(2977)
                              : errato == 3 ? LoadResString(3156).arg(T::SpostamentoAltoMassimo)
                                            : LoadResString(3157).arg(T::SpostamentoSinistraMassimo);
        ui.messaggio(testo, titolo, Pulsanti::Ok, Icona::Esclamazione);
    }
    return errato;
}

void ValoriImpostaPagina::CaricaLayout(const LayoutEtichetta& layout, const ImpostazioniLocali& loc)
{
    for (int i = 0; i < NumeroCampi; ++i) testi[size_t(i)] = TestoCampo(i, layout.valore(i), loc);
    supporto = layout;
    risoluzione = layout.Risoluzione > 0 ? QString::number(layout.Risoluzione) : LoadResString(2974);
    riduzione = layout.RiduzioneBarre;
    spostamentoAlto = testoSpostamento(layout.Termica.SpostamentoAlto, loc);
    spostamentoSinistra = testoSpostamento(layout.Termica.SpostamentoSinistra, loc);
    // A product stored with the label was saved with its own sheet.
    prodotto_.reset();
    if (!layout.Prodotto.isEmpty()) prodotto_ = layout;
}

void ValoriImpostaPagina::ApplicaProdotto(const ProdottoEtichetta& prodotto, const ImpostazioniLocali& loc)
{
    const LayoutEtichetta l = prodotto.Layout();
    for (int i = 0; i < NumeroCampi; ++i) testi[size_t(i)] = TestoCampo(i, l.valore(i), loc);
    const StampanteTermica termica = supporto.Termica;  // the printer's, not the product's
    supporto = l;
    supporto.Termica = termica;
    prodotto_ = l;
}

void ValoriImpostaPagina::AdottaProdotto(const ProdottoEtichetta& prodotto)
{
    copiaSupporto(supporto, prodotto.Layout());
    prodotto_ = prodotto.Layout();
}

int ValoriImpostaPagina::Verifica_campi_obbligatori(Interazione& ui, const QString& titolo,
                                                    const ImpostazioniLocali& loc) const
{
    for (int i : CampiObbligatori) {
        if (supporto.UnaPerPagina && SoloFoglio(i)) continue;
        if (modCartigo::ConvertiDouble(testi[size_t(i)], loc) <= 0) {
            ui.beep();
            ui.messaggio(LoadResString(1408), titolo, Pulsanti::Ok, Icona::Esclamazione);
            return i;
        }
    }
    return -1;
}

LayoutEtichetta ValoriImpostaPagina::Layout(const ImpostazioniLocali& loc) const
{
    LayoutEtichetta l = supporto;
    for (int i = 0; i < NumeroCampi; ++i) l.valore(i) = modCartigo::ConvertiDouble(testi[size_t(i)], loc);
    l.Risoluzione = LeggiRisoluzione(risoluzione).value_or(supporto.Risoluzione);
    l.RiduzioneBarre = LeggiRiduzione(riduzione).value_or(supporto.RiduzioneBarre);
    using T = StampanteTermica;
    l.Termica.SpostamentoAlto =
        LeggiSpostamento(spostamentoAlto, T::SpostamentoAltoMassimo).value_or(supporto.Termica.SpostamentoAlto);
    l.Termica.SpostamentoSinistra = LeggiSpostamento(spostamentoSinistra, T::SpostamentoSinistraMassimo)
                                        .value_or(supporto.Termica.SpostamentoSinistra);
    // The product's sheet as long as the boxes show its values.
    if (!l.Prodotto.isEmpty() && !(prodotto_ && StessoFoglio(*prodotto_, l))) l.Prodotto.clear();
    return l;
}

void ValoriImpostaPagina::SalvaLayout(LayoutEtichetta& layout, const ImpostazioniLocali& loc) const
{
    layout = Layout(loc);
}

std::optional<ModelloSalvato> SalvaComeModello(const LayoutEtichetta& layout, const QString& cartella, Interazione& ui,
                                               const QString& titolo)
{
    RichiestaSalvaModello r;
    for (;;) {
        if (!ui.dialogo(r)) return std::nullopt;
        r.marca = r.marca.trimmed();
        r.codice = r.codice.trimmed();
        r.descrizione = r.descrizione.trimmed();
        if (!r.marca.isEmpty() && !r.codice.isEmpty()) break;
        ui.beep();
        ui.messaggio(LoadResString(1715), titolo, Pulsanti::Ok, Icona::Esclamazione);
    }
    const QString nome = r.marca + QLatin1Char(' ') + r.codice;
    const QString file = FileModello(cartella, r.marca, r.codice);
    if (QFileInfo::exists(file) &&
        ui.messaggio(LoadResString(1716).arg(nome), titolo, Pulsanti::YesNo, Icona::Domanda) != Risposta::Yes)
        return std::nullopt;
    QString errore;
    if (!QDir().mkpath(cartella)) {
        errore = LoadResString(1718).arg(QDir::toNativeSeparators(cartella));
    } else if (ScriviFile(file, XmlModello(layout, r.marca, r.codice, r.descrizione), &errore)) {
        return ModelloSalvato{nome, file};
    }
    ui.messaggio(LoadResString(1717).arg(nome, errore), titolo, Pulsanti::Ok, Icona::Esclamazione);
    return std::nullopt;
}

}  // namespace cartigo
