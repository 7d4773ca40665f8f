#pragma once
// The modal dialogs of the print engine, as requests through the interaction seam.
// The engine fills a request, the UI (or a test script) shows or answers it.

#include "shell/Interazione.h"
#include "stampora/DispositivoStampa.h"
#include "stampora/FileStampa.h"

#include <memory>

namespace cartigo {

class DocumentoStampa;

// Copies of a print on the printer: from 1 to this, in the dialog, the engine and
// cartigo-print alike.
constexpr int kCopieMassime = 999;

// frmStamporaDestinazioneStampa: the destination, copies and set-up buttons.
class RichiestaDestinazioneStampa : public RichiestaDialogo {
public:
    QString nome() const override { return QStringLiteral("frmStamporaDestinazioneStampa"); }

    // In: written before each showing.
    int Copies = 1;
    QString CurrentPrinter;
    QString Port;
    // The files being printed from (the label, its database): never a print file.
    QStringList FileProtetti;
    // Where the file dialog opens when no print file was chosen before (the label's folder).
    QString CartellaFile;
    // In and out: the option selected (0 printer, 1 preview, 2 file, 3 ZPL file, 4 ZPL to
    // a printer's raw network port, 5 ZPL to the printer as a raw job; -1 none). The
    // request is reused across the showings of one choice, so the choice stays.
    int Opzione = 0;
    // Out: 0 cancelled, 1 preview, 2 printer, 3 file, 4 ZPL to the raw port IndirizzoZpl,
    // 5 ZPL to CurrentPrinter as a raw job, -1 printer set-up, -2 page set-up.
    int DestinazioneStampa = 0;
    QString FileName;
    // The file's format (a ZPL file: Zpl; the file option: by its name).
    FormatoFileStampa FormatoFile = FormatoFileStampa::DalNome;
    // In and out: the resolution ZPL is made for (dots per inch), and the printer's
    // address for its raw port ("HOST" or "HOST:PORT").
    double RisoluzioneZpl = 203;
    QString IndirizzoZpl;
};

// The destinations that send ZPL instead of writing a file.
inline constexpr int kDestinazionePortaZpl = 4;
inline constexpr int kDestinazioneCodaZpl = 5;

// frmStamporaAnteprima shown modally on a document. For a document still being
// recorded (`InCorso`) the window is shown and the request returns at once: the pages
// fill in as the job finishes them, and `Chiusa` becomes true when the user closes it.
// The request for the finished document then waits on the same window.
class RichiestaAnteprima : public RichiestaDialogo {
public:
    QString nome() const override { return QStringLiteral("frmStamporaAnteprima"); }
    std::shared_ptr<DocumentoStampa> Documento;
    bool InCorso = false;
    std::shared_ptr<bool> Chiusa;
};

// The output's page set-up dialog: paper, orientation and the four margins (twips).
class RichiestaImpostaPaginaOutput : public RichiestaDialogo {
public:
    QString nome() const override { return QStringLiteral("ImpostaPagina"); }
    InfoStampante Stampante;
    double Margini[4] = {0, 0, 0, 0};  // left, top, right, bottom
};

// The output's printer set-up dialog: the printer, its paper and orientation.
class RichiestaImpostaStampante : public RichiestaDialogo {
public:
    QString nome() const override { return QStringLiteral("ImpostaStampante"); }
    InfoStampante Stampante;
};

}  // namespace cartigo
