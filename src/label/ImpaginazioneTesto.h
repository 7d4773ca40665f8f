#pragma once
// How a text with fit settings (AdattamentoTesto) fills its box: the one layout the print
// renderer, the print job's shrink to fit and the design surface share, so the surface
// shows what prints. It works in the units of the font's size (twips on paper, pixels on
// the surface) and knows nothing of the device.

#include "label/Oggetto.h"

#include <QFont>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <functional>
#include <vector>

class QPainter;

namespace cartigo {

struct OpzioniImpaginazione {
    Qt::Alignment orizzontale = Qt::AlignLeft;  // AlignLeft, AlignHCenter or AlignRight
    AllineamentoVerticale verticale = AllineamentoVerticale::Alto;
    bool aCapo = true;  // break lines at the words that pass the box's right edge
};

struct RigaImpaginata {
    QString testo;
    QPointF base;  // the start of its baseline
    double larghezza = 0;
};

struct TestoImpaginato {
    std::vector<RigaImpaginata> righe;
    QRectF ingombro;    // the box the lines take
    bool entra = true;  // every line within the box's width, all of them within its height
};

// The lines of `testo` in `box`: paragraphs end at CR LF, CR or LF; with `aCapo` a paragraph
// breaks at the words that pass the box's width (a word longer than the width stays whole and
// does not fit), without it each paragraph is one line. The lines stand one line spacing
// apart, aligned in the box as the options say, even when they pass its edges.
TestoImpaginato ImpaginaTesto(const QString& testo, const QFont& font, const QRectF& box,
                              const OpzioniImpaginazione& opzioni);

// Draws the lines with the painter's pen, cut at `box`.
void DisegnaTestoImpaginato(QPainter& p, const TestoImpaginato& t, const QFont& font, const QRectF& box);

// The largest size from `massimo` down to `minimo` in steps of half a point at which the text
// fits its box; `minimo` when none does, with `entra` false. `font` takes the size in points
// (its pixel size, in the units of `box`).
float DimensioneCheEntra(const QString& testo, const std::function<QFont(float punti)>& font, const QRectF& box,
                         const OpzioniImpaginazione& opzioni, float massimo, float minimo, bool* entra);

}  // namespace cartigo
