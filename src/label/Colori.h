#pragma once
// The label's 32-bit colour values: &H00BBGGRR for a plain colour, or a system
// colour reference with the top bit set (&H800000nn, nn the system colour index).

#include <QColor>
#include <QtGlobal>

namespace cartigo {

QColor ColoreDaVB(qint32 valore);
qint32 ColoreVB(const QColor& colore);

}  // namespace cartigo
