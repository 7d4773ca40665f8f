#pragma once
// The printers of the system, through CUPS (libcups): the printer list and the default
// printer come from the print server's destinations, and a print is one job that
// carries the rendered PDF, its copies and its title. Every exchange with the server
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

private:
    QString server_;
    int tempoMassimo_ = kTempoMassimoPredefinito;
    QString ultimoLavoro_;
};

// The CUPS printer of this process, which the programs install.
DispositivoStampaCups& DispositivoCups();

}  // namespace cartigo
