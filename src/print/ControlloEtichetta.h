#pragma once
// The label check before printing: every barcode of the label laid out as the target
// resolution will print it (whole dots, or vectors when there is none), for every record
// when its data come from the records, and what would keep it from scanning:
// - a module under one dot (two for Code 39's narrow elements, which must leave room for
//   a wide one of 2.5 narrow);
// - a module under the kind's minimum for retail scanning (EAN and UPC: 0.264 mm, 80 %
//   of nominal);
// - a quiet zone that another object, the label's edge or the sheet cell covers (EAN-13
//   11 modules left and 7 right, EAN-8 7, UPC 9, Code 39, Code 128 and ITF 10, QR Code 4,
//   Data Matrix 1, PDF417 2);
// - a human-readable line wider than its box, or with no room for bars beside it;
// - bars lower than 15 % of the symbol's width (the least height the Code 39 and Code
//   128 standards recommend, applied to every linear kind).
// The layout starts on a dot boundary at the label's corner. Each finding is reported
// once per object, with the first record it happens on.

#include "data/RecordsetStampa.h"
#include "label/DocumentoEtichetta.h"
#include "shell/Interazione.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace cartigo {

enum class TipoRilievo { ModuloSottoPunto, ModuloSottoMinimo, ZonaQuieteCoperta, TestoNonEntra, BarreBasse };

struct Rilievo {
    TipoRilievo tipo = TipoRilievo::ModuloSottoPunto;
    quint64 oggetto = 0;  // the object's id
    QString chiave;       // its key ("oggImmagine2")
    int record = 0;       // the first record (from 1) it happens on; 0 when the data are the label's
    QString testo;        // the sentence the user reads, naming the object and the record
};

// Bars at least this part of the symbol's width (quiet zones apart) high.
inline constexpr double kAltezzaMinimaBarre = 0.15;
// EAN and UPC modules of at least this many millimetres (80 % magnification).
inline constexpr double kModuloMinimoDettaglioMm = 0.264;

// Checks `doc` at `dpi` (0: vector output). `rs`, when given, is read to its end: the
// barcodes whose data come from the records are checked on each one.
std::vector<Rilievo> ControllaEtichetta(const DocumentoEtichetta& doc, double dpi, RecordsetStampa* rs = nullptr);

// An object as messages name it: its kind and number ("Text 3").
QString NomeOggetto(const OggettoEtichetta& o);
// "203 dpi", or "vector" for 0.
QString TestoRisoluzione(double dpi);
// The findings, one a line.
QStringList RigheRilievi(const std::vector<Rilievo>& rilievi);
// Asks "Print anyway?" with the findings listed; true on Yes.
bool StampaComunque(Interazione& ui, const std::vector<Rilievo>& rilievi, double dpi, const QString& titolo);

// The list of findings in the designer. In: its lines and the resolution; out: the finding
// clicked (its index), -1 for none.
struct RichiestaRilievi : RichiestaDialogo {
    static inline const QString Nome = QStringLiteral("frmControllo");
    QString nome() const override { return Nome; }
    QStringList righe;
    double dpi = 0;
    int scelto = -1;
};

}  // namespace cartigo
