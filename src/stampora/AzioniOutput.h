#pragma once
// What the output document does beyond drawing: its set-up dialogs and printing.
// Dialogs go through the interaction seam, printing through the installed printer.

#include "shell/Interazione.h"
#include "stampora/DocumentoStampa.h"
#include "stampora/FileStampa.h"

namespace cartigo {

// Title of the print engine's messages.
QString TitoloStampora();

// Page set-up dialog (paper, orientation, margins); true when confirmed and applied.
bool ImpostaPaginaOutput(DocumentoStampa& doc, Interazione& ui);
// Printer set-up dialog (printer, paper, orientation); true when confirmed and applied.
bool ImpostaStampanteOutput(DocumentoStampa& doc, Interazione& ui);
// Prints pages `prima` to `ultima` (from 1) as one job of `copie` copies. A failure is
// reported to the user with the printer's name and the reason, and gives false.
bool StampaOutput(const DocumentoStampa& doc, int prima, int ultima, Interazione& ui, int copie = 1);
// The output's actions by number: 2 page set-up dialog, 9 print the page shown
// (`paginaMostrata`, from 1), 11 and 12 print the whole document once, 13 printer set-up
// dialog. False when a dialog was cancelled, printing failed or the number is unknown.
bool AzioneOutput(DocumentoStampa& doc, int azione, Interazione& ui, int paginaMostrata = 1);
// Saves to a ".ant" or ".pdf" file; a failure is reported with the file name and the reason.
bool SalvaOutput(const DocumentoStampa& doc, const QString& file, Interazione& ui,
                 FormatoFileStampa formato = FormatoFileStampa::DalNome);
// Tells the user that `file` could not be saved, and why.
void SegnalaErroreSalvataggio(const QString& file, const QString& errore, Interazione& ui);
// True, after telling the user, when `file` is one of the files printed from (the same
// file under any name), which a print file must never replace.
bool FileStampaProtetto(const QString& file, const QStringList& protetti, Interazione& ui);

}  // namespace cartigo

namespace cartigo {
// Asks for the print file: a save dialog that confirms overwriting, with ".ant" files
// preselected, opening in the folder of the last print file chosen, else in `cartella`
// (the label's), else in the "Stampe" folder (created with its parents when missing).
// Empty when cancelled.
// With `zpl`, the dialog is for a ZPL file (".zpl").
QString ScegliFileStampa(Interazione& ui, const QString& cartella = {}, bool zpl = false);
}  // namespace cartigo
