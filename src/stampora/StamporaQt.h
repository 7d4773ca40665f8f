#pragma once
// The print engine's Qt side: its set-up dialogs and how the engine's dialogs are shown.

#include "stampora/DispositivoStampa.h"

#include <QList>
#include <QString>
#include <utility>

class QPrinter;

namespace cartigo {

class Interazione;

// The options chosen in the print dialog's printer properties (the driver's, such as
// "Darkness" or "Resolution", and the job's), which Qt's CUPS print engine keeps; and
// the same put back, so the dialog opens with them. They go with the document's CUPS job.
QList<std::pair<QString, QString>> OpzioniDriver(const QPrinter& p);
void ImpostaOpzioniDriver(QPrinter& p, const QList<std::pair<QString, QString>>& opzioni);

// Installs the printer (CUPS) and registers the destination dialog, the preview and the
// page and printer set-up dialogs with the interaction seam.
void RegistraStampora();

class RichiestaAnteprima;
// Shows the preview as the request asks (the shared window).
bool MostraAnteprima(RichiestaAnteprima& r);

// Shows a print file in the preview; a file that cannot be read is reported. Returns
// the program's exit code.
int MostraFileStampa(const QString& percorso, Interazione& ui);

// True when the program's arguments are a single print file (".ant").
bool EFileStampa(const QStringList& argomenti);

}  // namespace cartigo
