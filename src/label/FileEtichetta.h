#pragma once
// The ".eti" label file: a positional text file, one value per line.

#include "label/DocumentoEtichetta.h"
#include "label/Locale.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace cartigo {

namespace modCartigo {
// True when the file can be opened for reading; any failure gives false.
bool EsisteFile(const QString& percorso);
// Leading and trailing blanks removed (blanks only, not tabs).
QString TestoTrim(const QString& testo);
}  // namespace modCartigo

namespace FileEtichetta {

// The file's lines: a line ends at CR or CR LF; a lone LF stays in the line;
// a last line without an ending counts too. A text without any CR was written
// with LF line ends, and its lines end at LF.
QStringList DividiRighe(const QString& testo);
// The lines of a label file's bytes (UTF-8 or Windows-1252); nothing for bytes
// with a NUL (UTF-16 text, which the program does not read, or a damaged file).
std::optional<QStringList> RigheFile(const QByteArray& dati);
// Why RigheFile gives nothing for the file `nome`: UTF-16, or a NUL byte at its line.
// Empty when the lines can be read.
QString MotivoIlleggibile(const QByteArray& dati, const QString& nome);

// The drawing order a reader builds from objects in file order: each is created on
// top, and one whose z-order code is 2 is sent to the back at once.
std::vector<OggettoEtichetta*> OrdineDopoLettura(const std::vector<OggettoEtichetta*>& ordineFile,
                                                 const TabellaZOrder& zorder);
// The order objects are written in: creation order when reading it back gives the
// drawing order, else an order that does (the stacking order survives the file, and
// every reader of the format rebuilds it the same way).
std::vector<OggettoEtichetta*> OrdineScrittura(const DocumentoEtichetta& doc);

// The document as the label file's text (lines joined with CR LF) and as bytes.
QString TestoEtichetta(const DocumentoEtichetta& doc, const ImpostazioniLocali& loc);
QByteArray DatiEtichetta(const DocumentoEtichetta& doc, const ImpostazioniLocali& loc);

// Writes the document to `percorso` (through ScritturaFile: the old file is replaced
// only once everything is written). Returns an empty text on success, else the
// reason in the system's words (the old file is then untouched).
QString Scrivi(const DocumentoEtichetta& doc, const QString& percorso, const ImpostazioniLocali& loc);

struct ErroreLettura {
    int numero = 0;
    QString descrizione;
};

// Reads the file's lines into the document, which the caller has emptied.
// Stops at the first error, keeping the objects read so far. A relative picture
// path that is not found from the working folder is looked up in `cartellaEtichetta`.
std::optional<ErroreLettura> Leggi(DocumentoEtichetta& doc, const QStringList& righe,
                                   const ImpostazioniLocali& loc, const QString& cartellaEtichetta = {});

// A file a label names (a picture, a database): its path as written, or, when that is
// relative and not found, the same path from `cartellaEtichetta`. Empty when there is none.
QString FileVicinoEtichetta(const QString& percorso, const QString& cartellaEtichetta);
// How a label names a file it uses, chosen by the user (a picture, a database): relative
// to `cartellaEtichetta` when the file is there or below it, so that the label and its
// files move together; the absolute path of a file elsewhere. A name that is no existing
// file (a server's address), or any name while the label has no folder, stays as given.
QString NomeFilePerEtichetta(const QString& file, const QString& cartellaEtichetta);
// Loads the picture of a picture object that is not linked and whose file exists.
void CaricaImmagine(OggettoEtichetta& o, const QString& cartellaEtichetta = {});

}  // namespace FileEtichetta
}  // namespace cartigo
