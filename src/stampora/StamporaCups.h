#pragma once
// The printers of the system, through CUPS (libcups): the printer list and the default
// printer come from the print server's destinations, and a print is one job that
// carries the rendered PDF, its copies, its title, the paper and the driver's options
// chosen for the queue and in the printer's properties. A queue whose driver takes no
// custom size gets its named paper of the label's size, or nothing is printed and the
// message lists the sizes it has: a page is never scaled onto some other paper. Every exchange with the server
// is bounded by one overall time limit, so a server that accepts the connection and
// never answers gives a message instead of a hang.

#include "stampora/DispositivoStampa.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

namespace cartigo {

class DispositivoStampaCups : public DispositivoStampa {
public:
    // The time limit of one print or one question to the server, in seconds.
    static constexpr int kTempoMassimoPredefinito = 30;

    InfoStampante Predefinita() override;
    bool Stampa(const DocumentoStampa& doc, const LavoroStampa& lavoro, QString* errore) override;
    // The file as a raw job (application/vnd.cups-raw): the queue hands it to the printer
    // unfiltered, without the queue's options. A queue whose formats leave raw out refuses it.
    bool StampaGrezza(const QString& coda, const QString& file, const QString& titolo, QString* errore) override;

    // The printers of the server; with `errore` set when it could not be asked.
    QList<InfoStampante> Stampanti(QString* errore);
    // The printer named `nome`, or the default printer for an empty name. Nothing
    // (and the reason in `errore`) when the server cannot be asked or has no such printer.
    std::optional<InfoStampante> Cerca(const QString& nome, QString* errore);

    // The server asked (as CUPS_SERVER, "host:port" or a socket); empty for the
    // system's own (CUPS_SERVER, the client configuration, the local scheduler).
    void ImpostaServer(const QString& server) { server_ = server; }
    // How the server is named in messages.
    QString NomeServer() const;
    void ImpostaTempoMassimo(int secondi) { tempoMassimo_ = secondi; }
    int TempoMassimo() const { return tempoMassimo_; }
    // The job of the last print that reached the server ("PDF-12"), else empty.
    const QString& UltimoLavoro() const { return ultimoLavoro_; }

    // The PageSize a paper without a name (a roll's label) is asked with, which drivers
    // of roll printers read: "Custom.62x29mm". Empty for a paper that has a name.
    static QByteArray PaginaPersonalizzata(const InfoStampante& carta);

    // A named paper of a queue, in millimetres as it stands in portrait.
    struct CartaCoda {
        QByteArray nome;  // the media name the job asks for
        double larghezza = 0;
        double altezza = 0;
    };
    // The paper of `carte` that is `larghezza` x `altezza` mm within 1 mm on each side,
    // either way round (the closest when several are); nothing when none is.
    static std::optional<CartaCoda> CartaCorrispondente(double larghezza, double altezza,
                                                        const QList<CartaCoda>& carte);
    // True for an option of a queue or of the printer's properties that goes with a job:
    // not the queue's own description (its state, location, device), nor what the job
    // sets itself (copies, paper).
    static bool OpzioneDelLavoro(const QByteArray& nome);

private:
    QString server_;
    int tempoMassimo_ = kTempoMassimoPredefinito;
    QString ultimoLavoro_;
};

// The CUPS printer of this process, which the programs install.
DispositivoStampaCups& DispositivoCups();

}  // namespace cartigo
