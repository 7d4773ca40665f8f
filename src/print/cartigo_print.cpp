// cartigo-print: prints a label without a window, for scripts and servers.
#include "data/DatabaseSql.h"
#include "data/SelezioneStampa.h"
#include "data/clsDatabase.h"
#include "label/Errori.h"
#include "label/FileEtichetta.h"
#include "label/GestoreEtichetta.h"
#include "label/NomiFile.h"
#include "label/ValoriEtichetta.h"
#include "label/ScritturaFile.h"
#include "layout/CatalogoEtichette.h"
#include "print/ControlloEtichetta.h"
#include "print/StampaBatch.h"
#include "print/StampaEtichette.h"
#include "shell/StringTable.h"
#include "stampora/RichiesteStampora.h"
#include "stampora/ScrittoreZpl.h"
#include "stampora/StamporaCups.h"
#include "stampora/clsStampora.h"

#include <fcntl.h>
#include <unistd.h>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <cstdio>

using namespace cartigo;

namespace {

void scrivi(FILE* f, const QString& testo)
{
    std::fputs(testo.toLocal8Bit().constData(), f);
    std::fflush(f);
}

// Answers the program's questions from the command line; messages go to the terminal.
class InterazioneBatch : public Interazione {
public:
    OpzioniBatch opzioni;
    QStringList valori;  // the values asked at print time
    double risoluzioneZpl = 0;  // the resolution ZPL is made for
    bool errori = false;

    Risposta messaggio(const QString& testo, const QString& titolo, Pulsanti pulsanti, Icona icona) override
    {
        QString t = testo;
        t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
        if (pulsanti == Pulsanti::YesNo || pulsanti == Pulsanti::YesNoCancel) {
            // the page check: print on the page as it is
            if (!opzioni.silenzioso)
                scrivi(stderr, QStringLiteral("cartigo-print: %1 (%2) -> yes\n").arg(t.simplified(), titolo));
            return Risposta::Yes;
        }
        const bool errore = icona == Icona::Esclamazione || icona == Icona::Critico;
        errori = errori || errore;
        if (errore || !opzioni.silenzioso) scrivi(stderr, QStringLiteral("cartigo-print: %1\n").arg(t.trimmed()));
        return Risposta::Ok;
    }
    void beep() override {}
    std::optional<QString> scegliFile(const RichiestaFile&) override { return std::nullopt; }
    std::optional<QColor> scegliColore(const QColor&, const QString&) override { return std::nullopt; }
    std::optional<QFont> scegliCarattere(const QFont&, const QString&) override { return std::nullopt; }
    bool dialogo(RichiestaDialogo& d) override
    {
        if (d.nome() == RichiestaOpzioniStampa::Nome) {
            auto& r = static_cast<RichiestaOpzioniStampa&>(d);
            r.Confermato = true;
            r.StampaTutte = opzioni.numero == 0;
            r.NumeroEtichette = qint16(opzioni.numero);
            r.PrimaEtichetta = qint16(opzioni.prima);
            r.StampaBordi = opzioni.bordi;
            r.StampaCrocicchi = opzioni.crocicchi;
            r.ValoriRichiesti = valori;
            return true;
        }
        if (d.nome() == QLatin1String("frmStamporaDestinazioneStampa")) {
            auto& r = static_cast<RichiestaDestinazioneStampa&>(d);
            r.Copies = opzioni.copie;  // for ZPL, ^PQ
            r.RisoluzioneZpl = risoluzioneZpl;
            if (opzioni.uscita == OpzioniBatch::Uscita::Stampante && opzioni.grezzo) {
                r.DestinazioneStampa = kDestinazioneCodaZpl;
                r.CurrentPrinter = opzioni.destinazione;
            } else if (opzioni.uscita == OpzioniBatch::Uscita::Stampante) {
                r.DestinazioneStampa = 2;
            } else if (opzioni.uscita == OpzioniBatch::Uscita::ZplRete) {
                r.DestinazioneStampa = kDestinazionePortaZpl;
                r.IndirizzoZpl = opzioni.destinazione;
            } else {
                r.DestinazioneStampa = 3;
                r.FileName = opzioni.destinazione;
            }
            return true;
        }
        return false;
    }
};

// A progress line on a terminal.
class AvanzamentoTerminale : public FinestraAttesa {
public:
    void Mostra() override { tempo_.start(); }
    void Aggiorna(const QString& testo) override
    {
        if (tempo_.elapsed() >= ultimo_ + 200) {
            ultimo_ = tempo_.elapsed();
            scrivi(stderr, QLatin1Char('\r') + testo + QStringLiteral("   "));
            scritto_ = true;
        }
    }
    bool Annullata() const override { return false; }
    void Chiudi() override
    {
        if (scritto_) scrivi(stderr, QStringLiteral("\r%1\r").arg(QString(40, QLatin1Char(' '))));
        scritto_ = false;
    }

private:
    QElapsedTimer tempo_;
    qint64 ultimo_ = -1000;
    bool scritto_ = false;
};

int esci(const QString& messaggio, int codice)
{
    scrivi(stderr, QStringLiteral("cartigo-print: %1\n").arg(messaggio));
    return codice;
}

// Standard error carries the program's own messages only. Qt's notes (such as
// "XDG_RUNTIME_DIR not set" under cron or a service) are dropped; a critical or fatal
// one still says what went wrong.
void messaggioQt(QtMsgType tipo, const QMessageLogContext&, const QString& testo)
{
    if (tipo == QtCriticalMsg || tipo == QtFatalMsg) scrivi(stderr, QStringLiteral("cartigo-print: %1\n").arg(testo));
}

// Fontconfig writes its notes ("No writable cache directories", a config it cannot
// read) straight to standard error as the font list is built, so that is done here,
// once, with standard error sent to /dev/null meanwhile.
void CaratteriSenzaAvvisi()
{
    std::fflush(stderr);
    const int salvato = dup(STDERR_FILENO);
    const int nulla = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (salvato >= 0 && nulla >= 0) dup2(nulla, STDERR_FILENO);
    QFontDatabase::families();
    std::fflush(stderr);
    if (salvato >= 0 && nulla >= 0) dup2(salvato, STDERR_FILENO);
    if (nulla >= 0) close(nulla);
    if (salvato >= 0) close(salvato);
}

// The arguments as the system gives them: a name that is not valid UTF-8 is still reached.
QStringList Argomenti(int argc, char* argv[])
{
    QStringList argomenti;
    for (int i = 1; i < argc; ++i) argomenti << modCartigo::PercorsoDaSistema(argv[i]);
    return argomenti;
}

}  // namespace

int main(int argc, char* argv[])
{
    qInstallMessageHandler(messaggioQt);
    QString errore;
    // --help and --version answer before anything starts.
    if (const auto prime = LeggiOpzioniBatch(Argomenti(argc, argv), &errore); prime && (prime->aiuto || prime->versione)) {
        scrivi(stdout, prime->aiuto ? AiutoBatch()
                                    : QStringLiteral("cartigo-print ") + modCartigo::VersioneProgramma() + QLatin1Char('\n'));
        return 0;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    modCartigo::ImpostaIdentitaProgramma();
    RimuoviTemporaneiAiSegnali();

    const auto letto = LeggiOpzioniBatch(Argomenti(argc, argv), &errore);
    if (!letto) return esci(errore, UscitaOpzioniErrate);
    CaratteriSenzaAvvisi();
    if (letto->modelli) {
        CatalogoEtichette catalogo;
        catalogo.Carica();
        if (!letto->silenzioso)
            for (const auto& e : catalogo.Errori())
                scrivi(stderr, QStringLiteral("cartigo-print: %1:%2: %3\n").arg(e.file).arg(e.riga).arg(e.testo));
        if (catalogo.Vuoto())
            return esci(QStringLiteral("no label products: install the glabels-data package, or save templates "
                                       "in %1")
                            .arg(CatalogoEtichette::CartellaUtente()),
                        1);
        const QStringList righe = RigheProdotti(catalogo.Cerca(letto->ricerca));
        if (righe.isEmpty()) return esci(QStringLiteral("no label product matches \"%1\"").arg(letto->ricerca), 1);
        scrivi(stdout, righe.join(QLatin1Char('\n')) + QLatin1Char('\n'));
        return 0;
    }
    InterazioneBatch ui;
    ui.opzioni = *letto;
    const OpzioniBatch& o = ui.opzioni;
    DispositivoStampaCups& cups = DispositivoCups();
    ImpostaDispositivoStampa(&cups);

    // the label
    if (!QFileInfo(o.etichetta).isFile()) return esci(QStringLiteral("label file not found: %1").arg(o.etichetta), 1);
    DocumentoEtichetta doc;
    GestoreEtichetta gestore(doc, ui);
    if (!gestore.CaricaEtichetta(o.etichetta))
        return esci(QStringLiteral("the label %1 could not be read").arg(o.etichetta), 1);
    if (!gestore.ProblemiImmagini().isEmpty() && !o.continua)
        return esci(QStringLiteral("nothing printed (--keep-going prints the label without those pictures)"), 1);

    // the values asked at print time, all of them right before anything prints
    VariabiliEtichetta richieste;
    for (const VariabileEtichetta& v : doc.Variabili())
        if (v.Tipo == TipoVariabile::Richiesta) richieste.append(v);
    const auto valori = ValoriBatch(o, richieste, &errore);
    if (!valori) return esci(errore + QStringLiteral(" (nothing printed)"), UscitaOpzioniErrate);
    ui.valori = *valori;

    // the database: the one given, else the label's
    clsDatabase db(ui);
    const CollegamentoDati collegamentoEtichetta = doc.Collegamento();
    const VariabiliEtichetta variabiliPrima = doc.Variabili();
    auto& c = doc.Collegamento();
    if (!o.database.isEmpty()) {
        c.NomeDatabase = o.database;
        c.PasswordDatabase = o.password.value_or(QString());
    } else if (o.password) {
        c.PasswordDatabase = *o.password;
    }
    // a server's address is used as it is, and named without its password
    const bool server = IndirizzoServer(c.NomeDatabase);
    const QString nomeDatabase = NomeDatabaseVisibile(c.NomeDatabase);
    QString fileDatabase;
    if (server) {
        fileDatabase = c.NomeDatabase;
    } else if (!c.NomeDatabase.isEmpty()) {
        const QString vicino = FileEtichetta::FileVicinoEtichetta(c.NomeDatabase, modCartigo::CartellaDi(o.etichetta));
        fileDatabase = vicino.isEmpty() ? c.NomeDatabase : vicino;
    }

    // the output never replaces what is printed from
    if (o.uscita == OpzioniBatch::Uscita::Pdf || o.uscita == OpzioniBatch::Uscita::Ant ||
        o.uscita == OpzioniBatch::Uscita::Zpl) {
        if (StessoFile(o.destinazione, o.etichetta))
            return esci(QStringLiteral("the output %1 is the label file: give another output").arg(o.destinazione), 2);
        if (!server && StessoFile(o.destinazione, fileDatabase))
            return esci(QStringLiteral("the output %1 is the database: give another output").arg(o.destinazione), 2);
    }

    if (!fileDatabase.isEmpty()) {
        db.SetNomeDatabase(fileDatabase);
        db.SetPasswordDb(c.PasswordDatabase);
        if (!db.ConnettiDatabase())
            return esci(QStringLiteral("cannot open the database %1%2")
                            .arg(nomeDatabase, db.UltimoErrore() == ErroreJet::PasswordRichiesta
                                                   ? QStringLiteral(" (its password goes with --password, in "
                                                                    "PGPASSWORD or in ~/.pgpass)")
                                                   : QString()),
                        1);
        try {
            if (!db.EsisteTabellaOQuery(c.NomeTabella)) {
                // a CSV file holds one table: take it whatever the label calls it (a
                // database's tables are never swapped)
                ElencoVoci tabelle;
                if (db.Motore()->Csv()) db.CaricaListaTabelle(tabelle);
                if (tabelle.ListCount() != 1)
                    return esci(QStringLiteral("the database %1 has no table or query named \"%2\"")
                                    .arg(nomeDatabase, c.NomeTabella),
                                1);
                c.NomeTabella = tabelle.voci.first();
            }
        } catch (const ErroreCartigo& e) {
            return esci(e.descrizione(), 1);
        }
        doc.ImpostaConnesso(true);
    }

    // the printer: the one named, else the default one, as the print server has them
    InfoStampante stampante;
    cups.ImpostaTempoMassimo(o.tempoMassimo);
    if (o.uscita == OpzioniBatch::Uscita::Stampante) {
        const auto trovata = cups.Cerca(o.destinazione, &errore);
        if (!trovata) return esci(errore, 1);
        stampante = *trovata;
        if (o.dpi > 0) stampante.risoluzione = o.dpi;
        if (o.destinazione.isEmpty()) {
            ui.opzioni.destinazione = stampante.nome;
            if (!o.silenzioso)
                scrivi(stderr, QStringLiteral("cartigo-print: printing on the default printer %1\n").arg(stampante.nome));
        }
    } else if (o.uscita != OpzioniBatch::Uscita::Nessuna && o.uscita != OpzioniBatch::Uscita::ZplRete &&
               o.destinazione != QLatin1String("-")) {
        // an output file must be writable before the work starts
        const QFileInfo f(o.destinazione);
        if (!QFileInfo(f.absolutePath()).isDir())
            return esci(QStringLiteral("cannot write %1: the folder does not exist").arg(o.destinazione), 1);
    }

    // ZPL is always for a resolution: --dpi, else a raw queue's own, else the label's, else
    // the common 203 dpi.
    const bool grezzo = o.uscita == OpzioniBatch::Uscita::Stampante && o.grezzo;
    const bool zpl = o.uscita == OpzioniBatch::Uscita::Zpl || o.uscita == OpzioniBatch::Uscita::ZplRete || grezzo;
    const double dpiZpl = o.dpi > 0                                  ? o.dpi
                          : grezzo && stampante.risoluzione > 0      ? stampante.risoluzione
                          : doc.Layout().Risoluzione > 0             ? doc.Layout().Risoluzione
                                                                     : kRisoluzioneZplPredefinita;
    ui.risoluzioneZpl = dpiZpl;

    // --check: the findings at the output's resolution, and nothing printed
    if (o.controllo) {
        const double dpi = o.dpi > 0                     ? o.dpi
                           : zpl                         ? dpiZpl
                           : stampante.risoluzione > 0 ? stampante.risoluzione
                                                       : doc.Layout().Risoluzione;
        std::vector<Rilievo> rilievi;
        try {
            std::unique_ptr<RecordsetStampa> rs;
            if (doc.Connesso())
                rs = ApriSelezioneStampa(db, doc.Collegamento(), modCartigo::FormatoTesto::correnti(), {});
            rilievi = ControllaEtichetta(doc, dpi, rs.get());
        } catch (const ErroreCartigo& e) {
            return esci(e.descrizione(), 1);
        }
        for (const QString& riga : RigheRilievi(rilievi)) scrivi(stdout, riga + QLatin1Char('\n'));
        if (!o.silenzioso)
            scrivi(stderr, QStringLiteral("cartigo-print: findings: %1 (%2)\n")
                               .arg(rilievi.size())
                               .arg(TestoRisoluzione(dpi)));
        return rilievi.empty() ? 0 : UscitaRilievi;
    }

    StampaEtichette job(doc, ui);
    job.titolo = QStringLiteral("cartigo-print");
    job.FermaSuProblemi = !o.continua;
    job.InizioContatori = o.inizio;
    if (o.dpi > 0) job.Risoluzione = o.dpi;
    if (zpl) job.Risoluzione = dpiZpl;
    // --timeout bounds each statement of the database too.
    job.SecondiMassimiDati = o.tempoMassimo;
    job.ApriRecordset = [&db, &doc, &job] {
        return ApriSelezioneStampa(db, doc.Collegamento(), modCartigo::FormatoTesto::correnti(), job.InterruzioneDati());
    };
    job.CreaMotore = [&](Interazione& u) {
        auto m = std::make_unique<clsStampora>(u);
        m->SetTempoInvio(o.tempoMassimo);
        // A raw job is the ZPL --zpl writes, whatever paper the queue has.
        if (!stampante.nome.isEmpty() && !grezzo) m->Output().SetStampante(stampante);
        m->SetFormatoFile(o.uscita == OpzioniBatch::Uscita::Pdf ? FormatoFileStampa::Pdf
                          : zpl                                 ? FormatoFileStampa::Zpl
                                                                : FormatoFileStampa::Ant);
        return m;
    };
    if (o.rigoroso) {
        job.Controllo = ControlloStampa::Ferma;
        job.ScriviRilievi = [](const QStringList& righe, double dpi) {
            for (const QString& riga : righe) scrivi(stderr, QStringLiteral("cartigo-print: %1\n").arg(riga));
            scrivi(stderr, QStringLiteral("cartigo-print: findings: %1 (%2)\n")
                               .arg(righe.size())
                               .arg(TestoRisoluzione(dpi)));
        };
    }
    if (!o.silenzioso && isatty(fileno(stderr))) job.CreaAttesa = [] { return std::make_unique<AvanzamentoTerminale>(); };
    const EsitoStampa esito = job.Esegui();
    if (esito == EsitoStampa::Vuota) return esci(QStringLiteral("nothing printed"), UscitaNessunRecord);
    if (esito == EsitoStampa::Rilievi) return esci(QStringLiteral("nothing printed (--strict)"), UscitaRilievi);
    if (esito != EsitoStampa::Stampata && !cups.UltimoLavoro().isEmpty())
        return esci(QStringLiteral("job %1 is queued, not printed").arg(cups.UltimoLavoro()), 1);
    if (esito != EsitoStampa::Stampata) return esci(QStringLiteral("nothing printed"), 1);
    // the counters that continue their numbering: written back into the label as it was
    // read (not with the database given here), else kept in the state folder
    if (job.NumerazioneNellEtichetta()) {
        const CollegamentoDati usato = doc.Collegamento();
        doc.Collegamento() = collegamentoEtichetta;
        const QString motivo = FileEtichetta::Scrivi(doc, o.etichetta, ImpostazioniLocali::correnti());
        doc.Collegamento() = usato;
        if (!motivo.isEmpty()) {
            scrivi(stderr, QStringLiteral("cartigo-print: cannot write the numbering back into %1: %2\n")
                               .arg(o.etichetta, motivo));
            for (const VariabileEtichetta& v : doc.Variabili()) {
                const VariabileEtichetta* prima = Variabili::Trova(variabiliPrima, v.Nome);
                if (v.Tipo != TipoVariabile::Contatore || !v.Continua || !prima) continue;
                const QString e = Numerazione::Conserva(o.etichetta, *prima, v.Inizio);
                scrivi(stderr, e.isEmpty() ? QStringLiteral("cartigo-print: %1 goes on from %2 (kept in %3)\n")
                                                 .arg(v.Nome)
                                                 .arg(v.Inizio)
                                                 .arg(Numerazione::FileStato())
                                           : QStringLiteral("cartigo-print: cannot keep the numbering: %1\n").arg(e));
            }
        }
    }
    if (!job.ErroreNumerazione().isEmpty())
        scrivi(stderr,
               QStringLiteral("cartigo-print: cannot keep the numbering: %1\n").arg(job.ErroreNumerazione()));
    const QString uscita =
        grezzo ? QStringLiteral("printer %1 (raw ZPL, %2 dpi, job %3)").arg(o.destinazione).arg(dpiZpl).arg(
                     cups.UltimoLavoro())
        : o.uscita == OpzioniBatch::Uscita::Stampante
            ? QStringLiteral("printer %1 (%2 copies, job %3)").arg(o.destinazione).arg(o.copie).arg(cups.UltimoLavoro())
        : o.uscita == OpzioniBatch::Uscita::ZplRete
            ? QStringLiteral("printer %1 (raw port, %2 dpi)").arg(o.destinazione).arg(dpiZpl)
        : zpl ? QStringLiteral("%1 (ZPL, %2 dpi)").arg(o.destinazione).arg(dpiZpl)
              : o.destinazione;
    // a document written to standard output keeps it to itself
    const bool suStdout =
        o.uscita != OpzioniBatch::Uscita::Stampante && o.uscita != OpzioniBatch::Uscita::ZplRete &&
        (o.destinazione == QLatin1String("-") || StessoFile(o.destinazione, QStringLiteral("/dev/stdout")));
    if (!o.silenzioso)
        scrivi(suStdout ? stderr : stdout,
               QStringLiteral("%1 labels, %2 pages, %3\n").arg(job.EtichetteStampate()).arg(job.Pagine()).arg(uscita));
    if (ui.errori && !o.continua) return esci(QStringLiteral("printed, with the errors above"), 1);
    return 0;
}
