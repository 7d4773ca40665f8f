#pragma once
// The print engine's Qt side: the real printer (CUPS through QPrinter), its set-up
// dialogs, and how the engine's dialogs are shown.

#include "stampora/DispositivoStampa.h"

#include <QString>

namespace cartigo {

class Interazione;

class DispositivoStampaQt : public DispositivoStampa {
public:
    InfoStampante Predefinita() override;
    bool Stampa(const DocumentoStampa& doc, int prima, int ultima, QString* errore) override;
};

// Installs the printer and registers the destination dialog, the preview and the
// page and printer set-up dialogs with the interaction seam.
void RegistraStampora();

// Shows a print file in the preview; a file that cannot be read is reported. Returns
// the program's exit code.
int MostraFileStampa(const QString& percorso, Interazione& ui);

// True when the program's arguments are a single print file (".ant").
bool EFileStampa(const QStringList& argomenti);

}  // namespace cartigo
