#pragma once
// Align, distribute and same size: the frames a set of selected objects takes (twips).
// With two or more objects the last selected is the anchor; a single object aligns
// to the label.

#include "label/ModificheEtichetta.h"

#include <QRectF>
#include <QString>
#include <vector>

namespace cartigo {

enum class Allinea { Sinistra, Centro, Destra, Alto, Mezzo, Basso };
enum class Distribuisci { Orizzontale, Verticale };
enum class Dimensione { Larghezza, Altezza };

// One entry of the align menu and toolbar: what it does, its menu entry, its button and
// its caption's string id.
struct ComandoDisposizione {
    enum class Tipo { Allinea, Distribuisci, Dimensione };
    Tipo tipo;
    int valore;  // the Allinea, Distribuisci or Dimensione value
    const char* menu;
    const char* pulsante;
    int testo;
    bool separatorePrima;
    // The entry of a toolbar button, or none.
    static const ComandoDisposizione* DaPulsante(const QString& chiave);
};
// The entries in menu order.
const std::vector<ComandoDisposizione>& ComandiDisposizione();

namespace Allineamento {

// The frames of `cornici` with the chosen edges (or centres) of all on the last one's,
// or, for a single frame, on the label's (`etichetta`, surface twips).
std::vector<Cornice> Allinea(const std::vector<Cornice>& cornici, cartigo::Allinea come, const QRectF& etichetta);
// Three or more frames spread with equal gaps between the first and the last by position,
// which stay; fewer come back unchanged.
std::vector<Cornice> Distribuisci(const std::vector<Cornice>& cornici, cartigo::Distribuisci come);
// Every frame with the width (height) of the last one; its left and top edges stay.
std::vector<Cornice> StessaDimensione(const std::vector<Cornice>& cornici, cartigo::Dimensione quale);

}  // namespace Allineamento
}  // namespace cartigo
