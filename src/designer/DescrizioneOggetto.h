#pragma once
// What the object panel shows of an object: its frame in millimetres from the label's
// top-left corner, and its settings as caption and value, by kind.

#include "label/ModificheEtichetta.h"
#include "label/Oggetto.h"

#include <QString>
#include <vector>

namespace cartigo::DescrizioneOggetto {

// The kind's name ("Text", "Barcode", ...).
QString NomeTipo(TipoOggetto tipo);

// A frame in millimetres, the label's top-left corner at 0, 0.
struct CorniceMm {
    double x = 0, y = 0, larghezza = 0, altezza = 0;
};
CorniceMm InMillimetri(const Cornice& c);
Cornice DaMillimetri(const CorniceMm& mm);

struct Riga {
    QString titolo;
    QString valore;
};
// Texts: text, font, colour, alignment, background, field; barcodes: kind, data, text
// position, field; pictures: file, field; rectangles: outline, its colour, fill.
std::vector<Riga> Impostazioni(const OggettoEtichetta& o);

}  // namespace cartigo::DescrizioneOggetto
