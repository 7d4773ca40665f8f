#pragma once
// ZPL II, the language of Zebra label printers and of the many that understand it. Each
// page of the output document becomes one label (^XA ... ^XZ) at the printer's
// resolution: its size as ^PW and ^LL, every barcode symbol as the printer's own barcode
// command with the module in whole dots that TracciaAPunti chooses for its box (^BY) and
// the printer's human-readable line off (Cartigo's is drawn instead), dark rectangles as
// ^GB, and whatever else the page holds (texts, pictures, lines, Cartigo's human-readable
// lines, symbols the printer cannot make as they are) rendered by the one renderer into
// 1-bit graphic fields (^GF: ZPL's run-length compressed hex, or :Z64: when shorter)
// around each group of dots. Turned symbols and boxes, lines and ellipses go into the
// graphic fields too (a turned symbol still on whole dots).
//
// A job (ScrittoreLavoroZpl) sends what is the same on all its labels once, as a stored
// format (^DF) that each label recalls (^XF) before its own fields; identical consecutive
// labels go as one with their number as ^PQ (copies included); a sheet of several labels
// across prints a ZPL label per row of labels (DocumentoStampa::FasceEtichette).

#include "stampora/DocumentoStampa.h"
#include "stampora/RenderizzatorePagina.h"

#include <QByteArray>
#include <QImage>
#include <QPoint>
#include <QString>
#include <memory>
#include <optional>

class QIODevice;

namespace cartigo {

class ScritturaFile;

// The resolution of a printer that does not say its own, in dots per inch.
inline constexpr double kRisoluzioneZplPredefinita = 203;
// A colour prints black when its luminance (0.299 red + 0.587 green + 0.114 blue, each
// 0-255, computed exactly) is under this, and nothing otherwise: grey 127 prints, grey 128
// does not. The one rule of every 1-bit output (PuntoNero).
inline constexpr int kSogliaNeroZpl = kSogliaPuntoNero;

// The resolution a document is written for: its own target resolution, else 203 dpi.
double RisoluzioneZpl(const DocumentoStampa& doc);

// True when a colour of the document (0x00BBGGRR) prints black.
bool ColoreNeroZpl(quint32 colore);

// A symbol as the printer's own barcode command at `dpi`, field origin included
// ("^FO...^BY...^B...^FD...^FS"); nothing when the printer cannot make it as Cartigo
// lays it out (the kind or the data, a module the command cannot take, a box without one
// dot a module): the symbol then goes into the graphic field. `origine`: the label's
// top-left corner on the page, in dots.
std::optional<QByteArray> ComandoBarcodeZpl(const SimboloBarcode& s, double dpi, QPoint origine = {});

// What the job tells the printer before its first label, from the label's thermal printer
// settings at `dpi`: darkness (~SD), then one format without fields holding the print
// speed (^PR), media type (^MT), media tracking (^MN), label top (^LT, at most 120 dot
// rows either way) and left shift (^LS); empty when none is set.
QByteArray InizioLavoroZpl(const StampanteTermica& t, double dpi);

// Page `indice` (from 0) of the document as one ZPL label at `dpi`, on its own.
QByteArray EtichettaZpl(const DocumentoStampa& doc, int indice, double dpi, int copie = 1);

// A job's ZPL, made as its pages come, in memory that does not grow with the job: the
// job's start (InizioLavoroZpl), then each page as one label, or one a row of labels
// when the document has rows (FasceEtichette; an empty row is not printed). What the
// first label and the first one different from it both draw (the same operations, from
// the label's corner) goes once into a stored format; a label that has all of it and
// paints no light dots over it recalls the format and carries only its own fields, any
// other label is whole. A label the same as the one before is not repeated: its ^PQ
// counts it (times `copie`).
class ScrittoreLavoroZpl {
public:
    // `dpi` 0 or less: the document's resolution (RisoluzioneZpl).
    ScrittoreLavoroZpl(double dpi, int copie);
    ~ScrittoreLavoroZpl();
    ScrittoreLavoroZpl(const ScrittoreLavoroZpl&) = delete;
    ScrittoreLavoroZpl& operator=(const ScrittoreLavoroZpl&) = delete;
    // What to write for page `indice`: the labels it finishes (a label is held until the
    // next one differs).
    QByteArray Pagina(const DocumentoStampa& doc, int indice);
    // What is left at the end of the job.
    QByteArray Fine();

private:
    struct Stato;
    std::unique_ptr<Stato> s_;
};

// Rows of a 1-bit image (Format_Mono, dark dots 1) as ZPL's compressed ASCII hex: a
// row the same as the one before as ":", a row's light or dark end as "," or "!", runs
// of a digit with ZPL's repeat counts (G-Y 1-19, g-z 20-400).
QByteArray EsadecimaleZpl(const QImage& immagine);
// The same rows deflated (zlib) in base64 with ZPL's CRC: ":Z64:data:crc".
QByteArray Z64Zpl(const QImage& immagine);

// A ZPL file made while its document is drawn: handed the document's pages as they are
// finished (DocumentoStampa::InoltraPagine), it writes each as a label and the document
// lets them go. Like FilePdfProgressivo, an existing file is replaced only once Conferma
// has written the whole of it.
class FileZplProgressivo {
public:
    // `dpi` 0 or less: the document's resolution (RisoluzioneZpl).
    FileZplProgressivo(const QString& percorso, double dpi, int copie);
    ~FileZplProgressivo();
    FileZplProgressivo(const FileZplProgressivo&) = delete;
    FileZplProgressivo& operator=(const FileZplProgressivo&) = delete;
    void Pagina(const DocumentoStampa& doc, int indice);
    // Writes what is left and puts the file in place. False with the reason in `errore`.
    bool Conferma(const DocumentoStampa& doc, QString* errore);

private:
    bool scrivi(const QByteArray& dati);
    std::unique_ptr<ScritturaFile> file_;
    std::unique_ptr<ScrittoreLavoroZpl> lavoro_;
    bool aperto_ = false;
    bool ok_ = true;
};

// Writes the whole document as ZPL to `uscita`.
bool ScriviZpl(const DocumentoStampa& doc, QIODevice& uscita, double dpi, int copie);

}  // namespace cartigo
