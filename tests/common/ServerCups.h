#pragma once
// A CUPS scheduler of the test's own: cupsd with a private configuration folder, spool
// and port (Listen localhost:PORT), started by the object and stopped with it, so tests
// print to real queues without the system's print service. A queue prints into a file
// (FileDevice): pdftopdf applies the copies and the page size, and the file is the PDF
// as a printer would get it.
//
//     test::ServerCups cups;
//     if (!cups.avviato()) GTEST_SKIP() << cups.motivo();
//     cups.AggiungiCoda("PDF");
//     // print to cups.Indirizzo() ("localhost:PORT"), or run a program with cups.Ambiente()
//     const auto lavoro = cups.AttendiLavoro(id);  // copies, title, state, pages
//
// Without cupsd, lpadmin or pdftopdf (packages cups, cups-client, cups-filters) avviato()
// is false and motivo() says what is missing.

#include <QHash>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>
#include <optional>

namespace cartigo::test {

class ServerCups {
public:
    ServerCups();
    ~ServerCups();
    ServerCups(const ServerCups&) = delete;
    ServerCups& operator=(const ServerCups&) = delete;

    bool avviato() const { return avviato_; }
    const QString& motivo() const { return motivo_; }
    // "localhost:PORT", as CUPS_SERVER takes it.
    QString Indirizzo() const;
    int Porta() const { return porta_; }
    // The environment of a program that prints here (CUPS_SERVER, HOME of its own, no
    // PRINTER or LPDEST of the caller's).
    QProcessEnvironment Ambiente() const;

    // A queue that prints into Uscita(nome); `predefinita` makes it the server's default.
    // Its default paper is A4; it accepts any custom size. False on failure (see motivo()).
    // With `ppd`, the queue is that printer's (its own filters), with `opzioni` as its
    // defaults ("Resolution=300dpi").
    bool AggiungiCoda(const QString& nome, bool predefinita = false, const QString& ppd = {},
                      const QStringList& opzioni = {});
    // A queue without a driver (a raw queue) on the device `uri`, such as a RicevitoreGrezzo's
    // socket://127.0.0.1:PORT. Not a file: device: for a raw queue the scheduler starts no
    // filter and no backend, so such a file stays empty.
    bool AggiungiCodaGrezza(const QString& nome, const QString& uri);
    // The PPD of a driver CUPS bundles (its sample.drv, compiled with ppdc), such as
    // "zebra.ppd" (Zebra ZPL); empty, with motivo(), when ppdc or the driver is missing.
    QString PpdCups(const QString& nome);
    // The file a queue's last job printed into.
    QString Uscita(const QString& nome) const;
    // cupsreject (with a reason) / cupsaccept, cupsdisable / cupsenable.
    bool Rifiuta(const QString& nome, const QString& motivo = {});
    bool Accetta(const QString& nome) { return riesce(QStringLiteral("cupsaccept"), {nome}); }
    bool Ferma(const QString& nome) { return riesce(QStringLiteral("cupsdisable"), {nome}); }
    bool Avvia(const QString& nome) { return riesce(QStringLiteral("cupsenable"), {nome}); }
    // Runs one of the CUPS programs (lpstat, lpadmin, ...) on this server; its output.
    QString Esegui(const QString& programma, const QStringList& argomenti, int* codice = nullptr) const;
    // Runs it and tells whether it succeeded.
    bool riesce(const QString& programma, const QStringList& argomenti) const;

    // A job as the server keeps it.
    struct Lavoro {
        int id = 0;
        QString titolo;  // job-name
        int copie = 0;   // copies
        int stato = 0;   // job-state: 3 pending ... 5 held (stopped queue), 9 completed
        QString coda;    // the queue's name
        QString carta;   // media as asked
        QString paginaPpd;  // PageSize as asked, if it was
        QHash<QString, QString> attributi;  // every attribute of the job, as text ("Darkness" "25")
    };
    // The server's jobs of a queue (all of them, finished too), oldest first.
    QList<Lavoro> Lavori(const QString& coda) const;
    // Waits (up to `secondi`) until job `id` has completed and its file is complete.
    std::optional<Lavoro> AttendiLavoro(const QString& coda, int id, int secondi = 30) const;
    // The log of the scheduler, for a failure's message.
    QString Registro() const;

    // A PDF file as pdfinfo reads it: its pages and the size of the first ("595 x 842").
    struct Pdf {
        int pagine = 0;
        QString pagina;
    };
    static Pdf InfoPdf(const QString& percorso);
    // The number of the job a summary line names ("... job PDF-12)"), or 0.
    static int IdLavoro(const QString& testo);

private:
    bool avvia();
    QString percorso(const QString& nome) const { return dir_.filePath(nome); }

    QTemporaryDir dir_;
    QProcess cupsd_;
    int porta_ = 0;
    bool avviato_ = false;
    QString motivo_;
};

// A print server that takes connections and never answers: a socket that listens on a
// port of localhost and never accepts.
class ServerMuto {
public:
    ServerMuto();
    ~ServerMuto();
    ServerMuto(const ServerMuto&) = delete;
    ServerMuto& operator=(const ServerMuto&) = delete;
    int Porta() const { return porta_; }
    QString Indirizzo() const { return QStringLiteral("localhost:%1").arg(porta_); }

private:
    int socket_ = -1;
    int porta_ = 0;
};

// A printer's raw port on 127.0.0.1 that keeps what one connection sends until it ends.
class RicevitoreGrezzo {
public:
    RicevitoreGrezzo();
    ~RicevitoreGrezzo();
    RicevitoreGrezzo(const RicevitoreGrezzo&) = delete;
    RicevitoreGrezzo& operator=(const RicevitoreGrezzo&) = delete;
    int Porta() const { return porta_; }
    // What the connection sent, once it ended (within `secondi`); nothing when none came.
    std::optional<QByteArray> Ricevuto(int secondi = 30);

private:
    int socket_ = -1;
    int porta_ = 0;
};

// A port of localhost where nobody listens.
int PortaLibera();

}  // namespace cartigo::test

// A private scheduler named `server` for the test, which is skipped when it cannot start.
#define CARTIGO_AVVIA_CUPS(server)      \
    ::cartigo::test::ServerCups server; \
    if (!server.avviato()) GTEST_SKIP() << server.motivo().toStdString()
