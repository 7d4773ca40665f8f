#include "print/StampaEtichette.h"

#include "barcode/DisegnoBarcode.h"
#include "data/ValoriJet.h"
#include "label/Conversioni.h"
#include "label/Errori.h"
#include "label/FileEtichetta.h"
#include "label/ImmagineEtichetta.h"
#include "label/ImpaginazioneTesto.h"
#include "label/ModificheEtichetta.h"
#include "shell/StringTable.h"
#include "stampora/clsStampora.h"

#include <QFileInfo>
#include <QLocale>

namespace cartigo {

namespace modCartigo {

void IniziaDocumento(clsStampora& m)
{
    m.StartDoc();
    m.SetCurrentX(0);
    m.SetCurrentY(0);
    m.SetScaleMode(6);
    m.SetOffsetX(7);
    m.SetOffsetY(5);
    m.SetFontName(QStringLiteral("Courier New"));
    m.SetFontSize(10);
}

void IniziaPagina(clsStampora& m)
{
    m.SetCurrentX(0);
    m.SetCurrentY(0);
    m.SetScaleMode(6);
    m.SetFontName(QStringLiteral("Courier New"));
    m.SetFontSize(10);
}

}  // namespace modCartigo

namespace {

// The engine's page as the page check sees it.
class AreaMotore : public AreaPagina {
public:
    explicit AreaMotore(clsStampora& m) : m_(m) {}
    double Height() const override { return m_.Height(); }
    double Width() const override { return m_.Width(); }
    int Orientation() const override { return m_.Orientation(); }
    void SetOrientation(int o) override { m_.SetOrientation(o); }

private:
    clsStampora& m_;
};

// The paper of a layout that names its own: a roll's label, a product's sheet (in
// portrait, as catalogues give them).
void impostaCarta(clsStampora& m, const LayoutEtichetta& l)
{
    constexpr double twipsPerMm = 1440.0 / 25.4;  // the paper's twips, exact
    const double larghezza = l.UnaPerPagina ? l.LarghezzaEtichetta : l.LarghezzaPagina;
    const double altezza = l.UnaPerPagina ? l.AltezzaEtichetta : l.AltezzaPagina;
    if (!(larghezza > 0 && altezza > 0)) return;
    m.Output().SetPaperSize(larghezza * twipsPerMm, altezza * twipsPerMm);
    m.SetOrientation(1);
}

// A picture the job was told to stop at.
struct ProblemaStampa {
    QString testo;
};

// Ends the job's visible state whatever way it ends.
struct Pulizia {
    Interazione& ui;
    std::unique_ptr<FinestraAttesa>& attesa;
    bool cursore = false;
    ~Pulizia()
    {
        if (attesa) attesa->Chiudi();
        if (cursore) ui.cursoreNormale();
    }
};

}  // namespace

StampaEtichette::StampaEtichette(DocumentoEtichetta& doc, Interazione& ui) : doc_(doc), ui_(ui)
{
    CreaMotore = [](Interazione& u) { return std::make_unique<clsStampora>(u); };
    Orologio = [] { return QDateTime::currentDateTime(); };
}

QString StampaEtichette::contenuto(const OggettoEtichetta& o, const QString& fisso, RecordsetStampa* rs, bool unione)
{
    if (o.Collegato()) return rs && !rs->Eof() ? rs->TestoCampo(o.DataMember) : QString();
    if (!unione) return fisso;
    return valori_.Componi(fisso, [this](const QString& campo) { return valoreUnione(campo); });
}

std::optional<QString> StampaEtichette::valoreUnione(const QString& campo)
{
    if (auto v = valori_.Valore(campo)) return v;
    // A name neither the records nor the variables know stays as typed; it is reported
    // once, with the first record it was met on.
    if (!mancanti_.contains(campo.toLower())) {
        mancanti_.insert(campo.toLower());
        const QString segnaposto = ModelloUnione::Segnaposto(campo);
        campiMancanti_ << (rs_ ? riferimento_.arg(etichetta_).arg(segnaposto) : segnaposto);
    }
    return std::nullopt;
}

void StampaEtichette::continuaNumerazione()
{
    VariabiliEtichetta dopo = doc_.Variabili();
    bool cambiate = false;
    const bool nellEtichetta =
        !(NumerazioneNelloStato && !doc_.NomeFileEtichetta().isEmpty()) &&
        (doc_.NomeFileEtichetta().isEmpty() || Numerazione::EtichettaScrivibile(doc_.NomeFileEtichetta()));
    RisolutoreValori usati(dopo);
    usati.Contesto() = valori_.Contesto();
    usati.Contesto().etichetta = usati_.etichetta + 1;
    usati.Contesto().copia = usati_.copia + 1;
    usati.Contesto().record = usati_.record + 1;
    usati.Contesto().pagina = usati_.pagina + 1;
    for (VariabileEtichetta& v : dopo) {
        if (v.Tipo != TipoVariabile::Contatore || !v.Continua) continue;
        const qint64 prossimo = usati.Inizio(v) + v.Passo * usati.Passi(v);
        if (nellEtichetta) {
            cambiate = cambiate || v.Inizio != prossimo;
            v.Inizio = prossimo;
        } else if (const QString e = Numerazione::Conserva(doc_.NomeFileEtichetta(), v, prossimo); !e.isEmpty()) {
            erroreNumerazione_ = e;
        }
    }
    if (cambiate) {
        doc_.Esegui(new ComandoVariabili(doc_, doc_.Variabili(), dopo, NomeModifica::Numerazione));
        numerazioneNellEtichetta_ = true;
    }
}

const QImage* StampaEtichette::immagine(const OggettoEtichetta& o, const QString& percorso)
{
    auto it = immagini_.find(percorso);
    if (it == immagini_.end()) {
        const ImmagineLetta letta = LeggiImmagine(percorso, doc_.CartellaEtichetta());
        // The label's own pictures were reported when it loaded; those of the records are new.
        if (!letta.problema.isEmpty() && o.Collegato()) {
            if (FermaSuProblemi) throw ProblemaStampa{letta.problema};
            problemi_ << letta.problema;
        }
        it = immagini_.insert(percorso, letta.immagine);
    }
    return it->isNull() ? nullptr : &*it;
}

void StampaEtichette::disegnaOggetto(clsStampora& m, const OggettoEtichetta& o, int col, int riga, RecordsetStampa* rs)
{
    double x = doc_.GetX(col, o);
    double y = doc_.GetY(riga, o);
    double w = DocumentoEtichetta::GetW(o);
    double h = DocumentoEtichetta::GetH(o);
    if (o.tipo == TipoOggetto::Linea) {
        m.DrawForma(false, x, o.Ascendente ? y + h : y, x + w, o.Ascendente ? y : y + h, o.Contorno.Colore,
                    o.Contorno.Spessore, int(o.Contorno.Tratto));
        return;
    }
    // A turned object: its content in the box of the same centre (across it for a quarter
    // turn), turned about that centre.
    const int gradi = o.Rotazione.Gradi;
    const double cx = x + w / 2, cy = y + h / 2;
    if (gradi != 0) {
        m.Ruota(cx, cy, gradi);
        if (o.Rotazione.Traversa()) {
            std::swap(w, h);
            x = cx - w / 2;
            y = cy - h / 2;
        }
    }
    switch (o.tipo) {
        case TipoOggetto::Barcode: {
            const QString codice = contenuto(o, o.ToolTipText, rs, true);
            // A code that cannot be drawn is reported with the record it came from.
            const bool dalRecord = o.Collegato() || codice != o.ToolTipText;
            m.SetRiferimentoBarcode(dalRecord ? riferimento_.arg(etichetta_).arg(codice) : QString());
            m.DrawBarcode(ParametriBarcode::DaTag(o.Tag), codice, x, y, w, h);
            m.SetRiferimentoBarcode(QString());
            break;
        }
        case TipoOggetto::Immagine: {
            const QString percorso = contenuto(o, o.ToolTipText, rs, false);
            if (const QImage* img = immagine(o, percorso)) m.PaintPicture(*img, x, y, w, h);
            break;
        }
        case TipoOggetto::Rettangolo:
            m.DrawLine(x, y, x + w, y + h, o.BackColor, o.BackStyle == 0 ? QStringLiteral("B") : QStringLiteral("BF"),
                       o.BorderColor, o.BorderWidth);
            break;
        case TipoOggetto::Ellisse:
            m.DrawForma(true, x, y, x + w, y + h, o.Contorno.Colore, o.Contorno.Spessore, int(o.Contorno.Tratto),
                        o.Riempimento.Pieno ? std::optional<qint32>(o.Riempimento.Colore) : std::nullopt);
            break;
        case TipoOggetto::Linea:
            break;
        case TipoOggetto::Testo: {
            const QString testo = contenuto(o, o.Caption, rs, true);
            m.SetFontName(o.FontName);
            m.SetFontSize(dimensioneTesto(o, testo, w, h));
            m.SetFontBold(o.FontBold);
            m.SetFontItalic(o.FontItalic);
            m.SetTextColor(o.ForeColor);
            m.SetTextAlign(o.Alignment);
            m.SetBrushColor(o.BackColor);
            m.SetBrushStyle(o.BackStyle == 0 ? 1 : 0);
            m.SetImpaginazioneTesto(BitImpaginazione(o.Adattamento));
            m.DrawTextBox(testo, float(x), float(y), float(w), float(h), o.BackStyle != 0);
            m.SetImpaginazioneTesto(0);
            break;
        }
    }
    if (gradi != 0) m.Ruota(cx, cy, 0);
}

int BitImpaginazione(const AdattamentoTesto& a)
{
    if (a.Predefinito()) return 0;
    // Shrink to fit measures with the shared layout, so the box is laid out with it too.
    int bit = ImpaginazioneCasella::Propria;
    if (!a.ACapo) bit |= ImpaginazioneCasella::SenzaACapo;
    if (a.Verticale == AllineamentoVerticale::Centro) bit |= ImpaginazioneCasella::Centro;
    if (a.Verticale == AllineamentoVerticale::Basso) bit |= ImpaginazioneCasella::Basso;
    return bit;
}

float StampaEtichette::dimensioneTesto(const OggettoEtichetta& o, const QString& testo, double w, double h)
{
    const float punti = float(modCartigo::ArrotondaPari(o.FontSize));
    const AdattamentoTesto& a = o.Adattamento;
    if (!a.Riduci) return punti;
    const float minimo = std::max(4.0f, a.Minimo);
    if (punti <= minimo) return punti;
    OpzioniImpaginazione opzioni;
    opzioni.orizzontale = o.Alignment == 1 ? Qt::AlignRight : o.Alignment == 2 ? Qt::AlignHCenter : Qt::AlignLeft;
    opzioni.verticale = a.Verticale;
    opzioni.aCapo = a.ACapo;
    constexpr double twipsPerMm = 1440.0 / 25.4;
    const QRectF box(0, 0, w * twipsPerMm, h * twipsPerMm);
    const auto carattere = [&](float p) {
        return DocumentoStampa::FontTwips(CarattereStampa{o.FontName, p, o.FontBold, o.FontItalic});
    };
    bool entra = true;
    const float r = DimensioneCheEntra(testo, carattere, box, opzioni, punti, minimo, &entra);
    // Said once a job for each text, with the first record it happened on.
    if (!entra && !testiTagliati_.contains(o.id)) {
        testiTagliati_.insert(o.id);
        QString messaggio = LoadResString(1321).arg(NomeOggetto(o)).arg(QLocale().toString(double(minimo)));
        if (rs_) messaggio += QStringLiteral("\r\r") + riferimento_.arg(etichetta_).arg(testo);
        ui_.messaggio(messaggio, titolo, Pulsanti::Ok, Icona::Esclamazione);
    }
    return r;
}

std::vector<const OggettoEtichetta*> StampaEtichette::ordineStampa() const
{
    // From back to front as the surface stacks them: creation order for a label never
    // restacked, the order the front and back commands (or the file) left otherwise.
    const auto& disegno = doc_.OrdineDisegno();
    return {disegno.begin(), disegno.end()};
}

void StampaEtichette::disegnaEtichetta(clsStampora& m, int col, int riga, RecordsetStampa* rs)
{
    for (const OggettoEtichetta* o : ordine_) disegnaOggetto(m, *o, col, riga, rs);
}

Interruzione StampaEtichette::InterruzioneDati()
{
    return [this](qint64 ms) {
        if (SecondiMassimiDati > 0 && ms > qint64(SecondiMassimiDati) * 1000) {
            datiScaduti_ = true;
            return true;
        }
        if (ms < 500 || !CreaAttesa) return false;
        if (!attesa_) {
            attesa_ = CreaAttesa();
            attesa_->Mostra();
        }
        attesa_->Aggiorna(LoadResString(1821));  // keeps the window answering
        if (attesa_->Annullata()) datiAnnullati_ = true;
        return datiAnnullati_;
    };
}

EsitoStampa StampaEtichette::Esegui()
{
    stampate_ = 0;
    pagine_ = 0;
    immagini_.clear();
    problemi_.clear();
    testiTagliati_.clear();
    valori_ = RisolutoreValori(doc_.Variabili());
    rs_ = nullptr;
    usati_ = {};
    numerazioneNellEtichetta_ = false;
    erroreNumerazione_.clear();
    mancanti_.clear();
    campiMancanti_.clear();
    ordine_ = ordineStampa();
    riferimento_ = LoadResString(1320);
    attesa_.reset();
    datiAnnullati_ = datiScaduti_ = false;
    rilievi_.clear();
    Pulizia pulizia{ui_, attesa_};
    std::unique_ptr<clsStampora> motore;
    // Drops the document and the job's windows before the user is told why.
    const auto interrompi = [&] {
        if (motore) motore->KillDoc();
        if (attesa_) {
            attesa_->Chiudi();
            attesa_.reset();
        }
        ui_.cursoreNormale();
        pulizia.cursore = false;
    };
    try {
        // 1. the record selection
        std::unique_ptr<RecordsetStampa> rs;
        int numeroRecord = 0;
        const bool connesso = doc_.Connesso() && ApriRecordset;
        // A window that showed while the selection opened goes before the dialogs.
        const auto chiudiAttesa = [&] {
            if (attesa_) {
                attesa_->Chiudi();
                attesa_.reset();
            }
        };
        if (connesso) {
            rs = ApriRecordset();
            chiudiAttesa();
        }
        rs_ = rs.get();

        // 2. the print options
        ui_.cursoreAttesa();
        RichiestaOpzioniStampa opzioni;
        opzioni.tutteSelezionata = connesso;
        for (const VariabileEtichetta& v : doc_.Variabili()) {
            if (v.Tipo != TipoVariabile::Richiesta) continue;
            opzioni.Richieste.append(v);
            opzioni.ValoriRichiesti.append(v.Predefinito);
        }
        // the resolution the barcodes will be laid out for: a printer's own, else the job's
        const auto testo = [](double dpi) { return dpi > 0 ? TestoRisoluzione(dpi) : LoadResString(2974); };
        const QString risoluzione = testo(Risoluzione.value_or(doc_.Layout().Risoluzione));
        const double stampante = RisoluzioneStampante ? RisoluzioneStampante() : 0;
        opzioni.Risoluzione = LoadResString(2970).arg(
            stampante > 0 ? LoadResString(2971).arg(testo(stampante), risoluzione) : risoluzione);
        ui_.cursoreNormale();
        if (!ui_.dialogo(opzioni) || !opzioni.Confermato) return EsitoStampa::Annullata;

        // the job's values: its clock, the values asked (each checked before anything
        // prints), where each counter starts, the records' fields
        auto& contesto = valori_.Contesto();
        contesto.ora = Orologio ? Orologio() : QDateTime::currentDateTime();
        for (qsizetype i = 0; i < opzioni.Richieste.size(); ++i) {
            const VariabileEtichetta& v = opzioni.Richieste[i];
            const QString valore = i < opzioni.ValoriRichiesti.size() ? opzioni.ValoriRichiesti[i] : v.Predefinito;
            if (const QString errore = Variabili::ControllaValore(v, valore); !errore.isEmpty()) {
                ui_.messaggio(errore, titolo, Pulsanti::Ok, Icona::Esclamazione);
                return EsitoStampa::Fallita;
            }
            contesto.richiesti.insert(v.Nome.toLower(), valore);
        }
        // a start given for the job goes to the counters that continue their numbering (to
        // every counter when none does)
        bool contaCopie = false, continuano = false;
        for (const VariabileEtichetta& v : doc_.Variabili())
            continuano = continuano || (v.Tipo == TipoVariabile::Contatore && v.Continua);
        for (const VariabileEtichetta& v : doc_.Variabili()) {
            if (v.Tipo != TipoVariabile::Contatore) continue;
            const bool dato = InizioContatori && (v.Continua || !continuano);
            contesto.inizi.insert(v.Nome.toLower(),
                                  dato ? *InizioContatori : Numerazione::Inizio(doc_.NomeFileEtichetta(), v));
            contaCopie = contaCopie || v.Avanza == AvanzamentoContatore::Copia;
        }
        contesto.campo = [this](const QString& nome) -> std::optional<QString> {
            if (rs_ && rs_->HaCampo(nome)) return rs_->Eof() ? QString() : rs_->TestoCampo(nome);
            return std::nullopt;
        };

        // 3. labels to print: the records are counted only for all of them. A selection
        // that can count itself only at its end (a condition on a table still being read)
        // prints to its end; the page check needs the labels of one sheet, counted on a
        // second walk.
        bool finoAllaFine = false;
        if (connesso && opzioni.StampaTutte) {
            finoAllaFine = rs && !rs->Eof() && !rs->ConteggioPronto();
            if (finoAllaFine) {
                const auto& lf = doc_.Layout();
                const int foglio = lf.UnaPerPagina ? 1 : std::max(1, lf.Colonne() * lf.Righe());
                std::unique_ptr<RecordsetStampa> avanti = ApriRecordset();
                for (; numeroRecord < foglio && !avanti->Eof(); avanti->MoveNext()) ++numeroRecord;
            } else {
                numeroRecord = (rs && !rs->Eof()) ? rs->RecordCount() : 0;
            }
            chiudiAttesa();
        }
        const int etichette = !opzioni.StampaTutte ? opzioni.NumeroEtichette : (connesso ? numeroRecord : 1);
        const int prima = opzioni.PrimaEtichetta;
        if (etichette <= 0) {  // all the labels of a selection without records
            ui_.messaggio(LoadResString(1300), titolo, Pulsanti::Ok, Icona::Informazione);
            return EsitoStampa::Vuota;
        }

        // 4. the engine and the destination; a layout that names its paper starts on it
        const auto& l = doc_.Layout();
        const bool rotolo = l.UnaPerPagina;
        motore = CreaMotore(ui_);
        clsStampora& m = *motore;
        // the printer's queue shows the job by the label's file name
        m.Output().TitoloLavoro = QFileInfo(doc_.NomeFileEtichetta()).fileName();
        impostaCarta(m, l);
        // ZPL is always for a resolution: the job's, else the common 203 dpi, unless the
        // destination dialog chooses another
        const double risoluzioneJob = Risoluzione.value_or(l.Risoluzione);
        m.SetRisoluzioneZpl(risoluzioneJob > 0 ? risoluzioneJob : kRisoluzioneZplPredefinita);
        // a ZPL job sent to a printer keeps the wait window up until the printer has it
        m.InAttesa = [this](const QString& testo) {
            if (!attesa_ && CreaAttesa) {
                attesa_ = CreaAttesa();
                attesa_->Mostra();
            }
            if (attesa_) attesa_->Aggiorna(testo);
        };
        if (m.SelectPrintDestination() == 0) return EsitoStampa::Annullata;
        const double risoluzioneDestinazione = m.RisoluzioneDestinazione();
        // Copies the printer (or ZPL's ^PQ) makes are the same; a counter that advances every
        // copy needs each copy drawn.
        int copie = 1;
        if (contaCopie && m.CopieDalDispositivo() && m.Copies() > 1) {
            copie = m.Copies();
            m.SetCopies(1);
        }

        // 5. the page check: a roll's page is its label, whatever was set up; a sheet needs
        // the A4 page (or the page of its product)
        if (rotolo) {
            impostaCarta(m, l);
        } else {
            AreaMotore area(m);
            const bool carta = l.LarghezzaPagina > 0 && l.AltezzaPagina > 0;
            const double altezzaCm = carta ? (l.AltezzaPagina - 0.4) / 10 : 29.66;
            const double larghezzaCm = carta ? (l.LarghezzaPagina - 0.4) / 10 : 20.96;
            if (!TestAreaStampa(area, altezzaCm, larghezzaCm, ui_) ||
                !TestEtichetteNellaPagina(doc_, area, etichette, prima, ui_))
                return EsitoStampa::Annullata;
        }

        // A page a PDF cannot hold is refused before anything is drawn.
        if (m.PaginaOltrePdf()) {
            constexpr double twipsPerMm = 1440.0 / 25.4;
            throw ProblemaStampa{LoadResString(1330)
                                     .arg(qRound64(m.Output().PageWidth() / twipsPerMm))
                                     .arg(qRound64(m.Output().PageHeight() / twipsPerMm))};
        }

        // The label check at the resolution the barcodes are laid out for: the printer's
        // own when it knows one, else the job's or the label's.
        const double dpi = risoluzioneDestinazione > 0 ? risoluzioneDestinazione
                           : m.PrintDestination() == 2 && m.Output().Stampante().risoluzione > 0
                               ? m.Output().Stampante().risoluzione
                               : Risoluzione.value_or(l.Risoluzione);
        // A preview is where one looks: the question waits for a real print.
        const bool anteprima = m.PrintDestination() == 1 && Controllo == ControlloStampa::Chiedi;
        if (Controllo != ControlloStampa::Nessuno && !anteprima) {
            ui_.cursoreAttesa();
            std::unique_ptr<RecordsetStampa> righe = connesso ? ApriRecordset() : nullptr;
            chiudiAttesa();
            rilievi_ = ControllaEtichetta(doc_, dpi, righe.get());
            ui_.cursoreNormale();
            if (!rilievi_.empty()) {
                if (Controllo == ControlloStampa::Chiedi) {
                    if (!StampaComunque(ui_, rilievi_, dpi, titolo)) return EsitoStampa::Annullata;
                } else {
                    if (ScriviRilievi) ScriviRilievi(RigheRilievi(rilievi_), dpi);
                    if (Controllo == ControlloStampa::Ferma) return EsitoStampa::Rilievi;
                }
            }
        }

        // 6. the document; on a roll the label's corner is the page's
        ui_.cursoreAttesa();
        pulizia.cursore = true;
        modCartigo::IniziaDocumento(m);
        m.Output().SetRisoluzione(risoluzioneDestinazione > 0 ? risoluzioneDestinazione
                                                              : Risoluzione.value_or(l.Risoluzione));
        m.Output().SetRiduzione(RiduzioneBarre::DaTesto(l.RiduzioneBarre).value_or(RiduzioneBarre()));
        m.Output().SetTermica(l.Termica);
        m.SetOffsetX(rotolo ? 0 : SpostamentoStampaX);
        m.SetOffsetY(rotolo ? 0 : SpostamentoStampaY);
        // A printer that prints a row of labels at a time takes each row as a page of its own.
        std::vector<QRectF> fasce;
        if (!rotolo)
            for (int r = 1; r <= l.Righe(); ++r)
                fasce.emplace_back(QPointF(doc_.GetXGen(0, 1), doc_.GetYGen(0, r)),
                                   QPointF(doc_.GetXGen(l.LarghezzaEtichetta, l.Colonne()),
                                           doc_.GetYGen(l.AltezzaEtichetta, r)));
        m.SetFasceEtichette(fasce);

        // 7. the wait window
        if (CreaAttesa && !attesa_) {
            attesa_ = CreaAttesa();
            attesa_->Mostra();
        }

        // 8. the labels: on a roll, one a page; each copy drawn starts a page of its own
        pagine_ = 1;
        const double W = l.LarghezzaEtichetta;
        const double H = l.AltezzaEtichetta;
        const int totale = etichette * copie;
        for (int copia = 0; copia < copie; ++copia) {
            SequenzaCelle celle = rotolo ? SequenzaCelle(1, 1, 1) : SequenzaCelle(l.Colonne(), l.Righe(), prima);
            contesto.copia = copia;
            contesto.pagina = 0;
            contesto.record = 0;
            if (copia > 0) {
                m.NewPage();
                modCartigo::IniziaPagina(m);
                ++pagine_;
                if (connesso) {
                    rs = ApriRecordset();
                    rs_ = rs.get();
                }
            }
            for (int n = 1; n <= etichette || (finoAllaFine && rs && !rs->Eof()); ++n) {
                etichetta_ = n;
                const auto cella = celle.Prossima();
                for (int p = 0; p < cella.nuovePagine; ++p) {
                    m.NewPage();
                    modCartigo::IniziaPagina(m);
                    ++pagine_;
                    ++contesto.pagina;
                }
                contesto.etichetta = n - 1;
                usati_.etichetta = std::max(usati_.etichetta, contesto.etichetta);
                usati_.copia = std::max(usati_.copia, contesto.copia);
                usati_.record = std::max(usati_.record, contesto.record);
                usati_.pagina = std::max(usati_.pagina, contesto.pagina);
                const int col = cella.colonna;
                const int riga = cella.riga;
                if (attesa_)
                    attesa_->Aggiorna(finoAllaFine ? LoadResString(1844).arg(n)
                                                   : LoadResString(1413).arg(copia * etichette + n).arg(totale));
                // Cancel in the wait window, or the preview closed while it fills in, stops the job.
                if ((attesa_ && attesa_->Annullata()) || m.AnteprimaChiusa()) {
                    m.KillDoc();
                    return EsitoStampa::Annullata;
                }
                const auto linea = [&](double dx1, double dy1, double dx2, double dy2) {
                    m.DrawLine(doc_.GetXGen(dx1, col), doc_.GetYGen(dy1, riga), doc_.GetXGen(dx2, col),
                               doc_.GetYGen(dy2, riga));
                };
                if (opzioni.StampaCrocicchi) {
                    linea(0, -1, 0, 1);
                    linea(-1, 0, 1, 0);
                    linea(W, -1, W, 1);
                    linea(W - 1, 0, W + 1, 0);
                    linea(0, H - 1, 0, H + 1);
                    linea(-1, H, 1, H);
                    linea(W, H - 1, W, H + 1);
                    linea(W - 1, H, W + 1, H);
                }
                if (opzioni.StampaBordi) {
                    m.DrawLine(doc_.GetXGen(0, col), doc_.GetYGen(0, riga), doc_.GetXGen(W, col),
                               doc_.GetYGen(H, riga), std::nullopt, QStringLiteral("B"));
                }
                disegnaEtichetta(m, col, riga, rs.get());
                ++stampate_;
                // the next record; without records every label counts as one
                if (rs && !rs->Eof()) {
                    rs->MoveNext();
                    ++contesto.record;
                } else if (!rs) {
                    ++contesto.record;
                }
            }
        }

        // 9. deliver
        if (attesa_) {
            attesa_->Chiudi();
            attesa_.reset();
        }
        ui_.cursoreNormale();
        pulizia.cursore = false;
        if (!problemi_.isEmpty())
            ui_.messaggio(ElencoProblemi(LoadResString(1305), problemi_), titolo, Pulsanti::Ok, Icona::Esclamazione);
        if (!campiMancanti_.isEmpty())
            ui_.messaggio(ElencoProblemi(LoadResString(1800), campiMancanti_), titolo, Pulsanti::Ok,
                          Icona::Esclamazione);
        const bool ok = m.EndDoc();
        if (attesa_) {
            attesa_->Chiudi();
            attesa_.reset();
        }
        if (!ok) return EsitoStampa::Fallita;
        // Only a job that really printed moves the numbering on.
        if (m.PrintDestination() != 1) continuaNumerazione();
        return EsitoStampa::Stampata;
    } catch (const ErroreCartigo& e) {
        interrompi();
        if (e.numero() == ErroreStampaAnnullata || datiAnnullati_) return EsitoStampa::Annullata;
        if (datiScaduti_) {
            ui_.messaggio(LoadResString(1820).arg(SecondiMassimiDati) + QStringLiteral("\r\r") + LoadResString(1812),
                          titolo, Pulsanti::Ok, Icona::Esclamazione);
            return EsitoStampa::Fallita;
        }
        // A database server's failure says itself what happened.
        const QString testo = ErroreJet::ErroreServer(e.numero())
                                  ? e.descrizione() + QStringLiteral("\r\r") + LoadResString(1812)
                                  : TestoErroreNonGestito(e.numero(), e.descrizione());
        ui_.messaggio(testo, titolo, Pulsanti::Ok, Icona::Esclamazione);
        return EsitoStampa::Fallita;
    } catch (const ProblemaStampa& p) {
        interrompi();
        ui_.messaggio(p.testo, titolo, Pulsanti::Ok, Icona::Esclamazione);
        return EsitoStampa::Fallita;
    }
}

}  // namespace cartigo
