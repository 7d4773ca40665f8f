#pragma once
// Print files. A ".ant" file is the output document in our own binary format
// (QDataStream, big-endian):
//
//   magic "CTGANT" 0x0D 0x0A, quint16 format version (2, or 3 for a document that needs it:
//          DocumentoStampa::VersioneFormato; files of version 1 still read)
//   paper: width, height (double, twips, portrait), orientation (qint32), margins
//          left, top, right, bottom (double), device name and port (text)
//   (2) target resolution (double, dpi, 0 none), bar width reduction: mode (quint8: 0
//          automatic, 1 dots, 2 millimetres) and value (double)
//   fonts:    quint32 count, each: name (text), size (float), flags (quint8: 1 bold, 2 italic)
//   styles:   quint32 count, each: pen, brush, text colour (quint32), pen width (float),
//             font (quint32), pen style, brush style, alignment (quint8; (3) with the text
//             box's layout bits, ImpaginazioneCasella)
//   pictures: quint32 count, each: PNG bytes (quint32 length + bytes)
//   pages:    quint32 count, each: quint32 word count + the words of its display list,
//             quint32 text count + texts, (2) quint32 symbol count + barcode symbols
//             (see ScriviSimboloStampa)
//   text: quint32 byte count + UTF-8 bytes
//
// A file name ending in ".pdf" is written as PDF through the same renderer.
//
// Files are written through ScritturaFile: an existing file is replaced only when the
// new one is complete, and a device, a FIFO or "-" (standard output) is written directly.

#include "stampora/DocumentoStampa.h"

#include <QIODevice>
#include <QPainter>
#include <QString>
#include <memory>

class QDataStream;
class QPdfWriter;

namespace cartigo {

class ScritturaFile;

// Version 2 added barcode symbols (operation 7) and the target resolution; a build
// that reads version 1 only refuses such files with a message naming both versions.
// Version 3 added ellipses and turns (operations 8 and 9), the text boxes' layout bits and
// the symbols' flag 8 (digits in the standard layout); it is written only for documents that hold them, so a build that reads version 2 refuses
// those rather than misprint them, and opens every other.
constexpr quint16 kVersioneFileStampa = 3;
// The longest side of a page PDF readers take: 200 inches, in twips.
constexpr double kLatoMassimoPdf = 200 * 1440.0;

// Barcode symbols as print files keep them (from version 2): written onto `s`, and `n`
// of them read from `d`'s position (false when they are damaged). The document's own
// store of finished pages on disk keeps them the same way.
void ScriviSimboloStampa(QDataStream& s, const SimboloBarcode& b);
bool LeggiSimboliStampa(QIODevice& d, quint32 n, std::vector<SimboloBarcode>* simboli);

// Writes the document as a ".ant" file. False with the reason in `errore` on failure.
bool SalvaFileStampa(const DocumentoStampa& doc, const QString& percorso, QString* errore);

// Writes the document as PDF, page by page.
bool SalvaPdf(const DocumentoStampa& doc, const QString& percorso, QString* errore);
// Writes pages `prima` to `ultima` (from 1) of the document as PDF to `uscita`, its
// barcodes laid out for `dpi` (a printer's resolution; negative: the document's own).
bool ScriviPdf(const DocumentoStampa& doc, QIODevice& uscita, int prima, int ultima, const QString& titolo,
               double dpi = -1);

// A PDF written onto `uscita` page by page, so that the pages of a document can go as
// soon as they are finished. The first page sets the paper of all of them, to the
// thousandth of a point (QPdfWriter alone rounds it to whole points).
class ScrittorePdf {
public:
    // `dpi`: the resolution barcodes are laid out for; negative for the document's own.
    ScrittorePdf(QIODevice& uscita, const QString& titolo, double dpi = -1);
    ~ScrittorePdf();
    ScrittorePdf(const ScrittorePdf&) = delete;
    ScrittorePdf& operator=(const ScrittorePdf&) = delete;
    // Adds page `indice` (from 0) of the document; one beyond it is blank.
    bool Pagina(const DocumentoStampa& doc, int indice);
    // Ends the PDF (with one blank page when none was added); false when the writer failed.
    bool Fine(const DocumentoStampa& doc);

private:
    QIODevice& uscita_;
    QString titolo_;
    std::unique_ptr<QIODevice> filtro_;  // between the writer and `uscita_`: the exact paper
    double dpi_ = -1;
    std::unique_ptr<QPdfWriter> pdf_;
    QPainter p_;
    double larghezza_ = 0, altezza_ = 0;  // points
    bool ok_ = true;
};

// A PDF file made while its document is drawn: handed the document's pages as they are
// finished (DocumentoStampa::InoltraPagine), it writes them and the document lets them
// go, so a job of any length holds one page. Like SalvaPdf, it replaces an existing file
// only once Conferma has written the whole of it; otherwise the old file stays.
class FilePdfProgressivo {
public:
    explicit FilePdfProgressivo(const QString& percorso);
    ~FilePdfProgressivo();
    FilePdfProgressivo(const FilePdfProgressivo&) = delete;
    FilePdfProgressivo& operator=(const FilePdfProgressivo&) = delete;
    void Pagina(const DocumentoStampa& doc, int indice);
    // Ends the PDF and puts it in place. False with the reason in `errore`.
    bool Conferma(const DocumentoStampa& doc, QString* errore);

private:
    QString percorso_;
    std::unique_ptr<ScritturaFile> file_;
    std::unique_ptr<ScrittorePdf> pdf_;
    bool ok_ = true;
};

// The format of a print file: by its name (".pdf", any case, is PDF, ".zpl" ZPL II for
// label printers, anything else a ".ant" file), or the one asked for whatever the name.
enum class FormatoFileStampa { DalNome, Ant, Pdf, Zpl };
// The format a file is written in: `formato`, or by its name for DalNome.
FormatoFileStampa FormatoEffettivo(const QString& percorso, FormatoFileStampa formato);
bool SalvaDocumento(const DocumentoStampa& doc, const QString& percorso, QString* errore,
                    FormatoFileStampa formato = FormatoFileStampa::DalNome);

// Reads a ".ant" file. Nothing, with the reason in `errore`, for a missing, unreadable,
// damaged, truncated or foreign file, or one of a newer format version. A picture is
// decoded only when the size its header declares fits the page and could come from the
// bytes it has, so a small damaged file cannot make the reader take gigabytes.
std::unique_ptr<DocumentoStampa> CaricaFileStampa(const QString& percorso, QString* errore);
// The same from the bytes of a device open for reading.
std::unique_ptr<DocumentoStampa> LeggiFileStampa(QIODevice& dati, QString* errore);

// A print file read a few pages at a time, so that a long one shows its first page at
// once. The device and the document must outlive the reader.
class LettoreFileStampa {
public:
    explicit LettoreFileStampa(QIODevice& dati);
    ~LettoreFileStampa();
    LettoreFileStampa(const LettoreFileStampa&) = delete;
    LettoreFileStampa& operator=(const LettoreFileStampa&) = delete;
    // Reads the file up to its first page. The document stays open (InDocumento) until
    // its last page is read. Null, with the reason in `errore`, as for LeggiFileStampa.
    std::unique_ptr<DocumentoStampa> Inizia(QString* errore);
    // Reads up to `n` more pages; false, with the reason in `errore`, when the file is
    // damaged further on.
    bool Avanza(int n, QString* errore);
    bool Finito() const;

private:
    struct Stato;
    std::unique_ptr<Stato> s_;
};

}  // namespace cartigo
