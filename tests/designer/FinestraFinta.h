#pragma once
// The main window as the editor sees it, for tests without one: it records the bands,
// grips, selection frames, mouse capture, pointer and the fonts shown.

#include "designer/EditorSuperficie.h"

#include <QList>
#include <QStringList>

namespace cartigo::test {

struct FinestraFinta : FinestraDesigner {
    QList<QRect> bande;  // drawn and not yet erased
    int disegni = 0;
    std::optional<std::array<QPointF, 8>> maniglie;
    std::vector<QRectF> cornici;  // the other selected objects' frames
    bool catturato = false;
    bool croce = false;
    int ridisegni = 0;
    QStringList fontMostrati;
    QPointF contenitore{0, 900};

    QPointF Contenitore() const override { return contenitore; }
    void DrawDragRect(const QRect& r) override
    {
        ++disegni;
        if (bande.contains(r))
            bande.removeOne(r);
        else
            bande.append(r);
    }
    void MostraManiglie(const std::optional<std::array<QPointF, 8>>& p) override { maniglie = p; }
    void MostraSelezione(const std::vector<QRectF>& c) override { cornici = c; }
    void CatturaMouse(bool c) override { catturato = c; }
    void PuntatoreInserimento(bool c) override { croce = c; }
    void Ridisegna() override { ++ridisegni; }
    void ShowFontState(const OggettoEtichetta& t) override { fontMostrati << t.Chiave(); }
};

}  // namespace cartigo::test
