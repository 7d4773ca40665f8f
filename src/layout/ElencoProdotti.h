#pragma once
// The catalogue's products as the page set-up dialog lists them: a table model over
// the products that match the search, and the small drawing of a sheet.

#include "label/Locale.h"
#include "layout/CatalogoEtichette.h"

#include <QAbstractTableModel>
#include <QRectF>
#include <vector>

class QPainter;

namespace cartigo {

class ElencoProdotti : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Colonna { Marca, Codice, Descrizione, Misura, PerFoglio, NumeroColonne };

    explicit ElencoProdotti(QObject* parent = nullptr);

    // The catalogue listed (owned by the caller), all of it until Filtra.
    void ImpostaCatalogo(const CatalogoEtichette* catalogo);
    // Keeps the products that match `testo` (CatalogoEtichette::Cerca).
    void Filtra(const QString& testo);
    const ProdottoEtichetta* Prodotto(int riga) const;
    // The row of the product named "Maker code", or -1.
    int Riga(const QString& nome) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& indice, int ruolo = Qt::DisplayRole) const override;
    QVariant headerData(int sezione, Qt::Orientation orientamento, int ruolo = Qt::DisplayRole) const override;

private:
    const CatalogoEtichette* catalogo_ = nullptr;
    std::vector<const ProdottoEtichetta*> righe_;
};

// The sheet of `layout` drawn into `area`: the page (a roll's label, the product's page,
// else A4) with every label on it, outlined in red where it runs off the page, and a
// round or CD label's shape.
void DisegnaFoglio(QPainter& p, const QRectF& area, const LayoutEtichetta& layout);

}  // namespace cartigo
