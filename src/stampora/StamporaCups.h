#pragma once
// The printer through CUPS, without widgets, for the programs that run with no window:
// the pages go to the printer as one PDF job, drawn by the renderer the preview uses.

#include "stampora/DispositivoStampa.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <functional>
#include <optional>

namespace cartigo {

class DispositivoStampaCups : public DispositivoStampa {
public:
    // A job as it goes to CUPS.
    struct Lavoro {
        QString stampante;  // the CUPS queue
        QString filePdf;    // exists while the job is handed over
        QString titolo;
        QList<QPair<QByteArray, QByteArray>> opzioni;
    };
    // Hands a job to CUPS; false on failure. Tests put their own here.
    std::function<bool(const Lavoro&)> Invia;

    DispositivoStampaCups();
    // The default printer of CUPS, or the A4 portrait values without a name.
    InfoStampante Predefinita() override;
    bool Stampa(const DocumentoStampa& doc, int prima, int ultima, QString* errore) override;

    // The printer `nome` ("queue" or "queue/instance") with its location and default
    // paper; nothing when CUPS has no such printer.
    static std::optional<InfoStampante> Stampante(const QString& nome);
};

}  // namespace cartigo
