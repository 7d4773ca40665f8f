#include "layout/ElencoProdotti.h"

#include "shell/StringTable.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace cartigo {

ElencoProdotti::ElencoProdotti(QObject* parent) : QAbstractTableModel(parent) {}

void ElencoProdotti::ImpostaCatalogo(const CatalogoEtichette* catalogo)
{
    catalogo_ = catalogo;
    Filtra(QString());
}

void ElencoProdotti::Filtra(const QString& testo)
{
    beginResetModel();
    righe_ = catalogo_ ? catalogo_->Cerca(testo) : std::vector<const ProdottoEtichetta*>{};
    endResetModel();
}

const ProdottoEtichetta* ElencoProdotti::Prodotto(int riga) const
{
    return riga >= 0 && riga < int(righe_.size()) ? righe_[size_t(riga)] : nullptr;
}

int ElencoProdotti::Riga(const QString& nome) const
{
    const auto it = std::find_if(righe_.begin(), righe_.end(), [&](const ProdottoEtichetta* p) {
        return p->Nome().compare(nome, Qt::CaseInsensitive) == 0;
    });
    return it == righe_.end() ? -1 : int(it - righe_.begin());
}

int ElencoProdotti::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(righe_.size());
}

int ElencoProdotti::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : NumeroColonne;
}

QVariant ElencoProdotti::data(const QModelIndex& indice, int ruolo) const
{
    const ProdottoEtichetta* p = Prodotto(indice.row());
    if (!p) return {};
    if (ruolo == Qt::TextAlignmentRole && indice.column() >= Misura) return int(Qt::AlignRight | Qt::AlignVCenter);
    if (ruolo != Qt::DisplayRole && ruolo != Qt::ToolTipRole) return {};
    switch (indice.column()) {
        case Marca:
            return p->marca;
        case Codice:
            return p->codice;
        case Descrizione:
            return p->descrizione;
        case Misura:
            return TestoMisura(p->larghezza, p->altezza, ImpostazioniLocali::correnti().decimale);
        case PerFoglio:
            if (p->Rotolo()) return LoadResString(1721);
            return QStringLiteral("%1 (%2 x %3)").arg(p->colonne * p->righe).arg(p->colonne).arg(p->righe);
        default:
            return {};
    }
}

QVariant ElencoProdotti::headerData(int sezione, Qt::Orientation orientamento, int ruolo) const
{
    if (orientamento != Qt::Horizontal || ruolo != Qt::DisplayRole || sezione < 0 || sezione >= NumeroColonne)
        return QAbstractTableModel::headerData(sezione, orientamento, ruolo);
    return LoadResString(1702 + sezione);
}

void DisegnaFoglio(QPainter& p, const QRectF& area, const LayoutEtichetta& l)
{
    const double w = l.LarghezzaEtichetta, h = l.AltezzaEtichetta;
    QSizeF pagina = l.UnaPerPagina                                   ? QSizeF(w, h)
                    : (l.LarghezzaPagina > 0 && l.AltezzaPagina > 0) ? QSizeF(l.LarghezzaPagina, l.AltezzaPagina)
                                                                     : QSizeF(210, 297);
    if (!(pagina.width() > 0 && pagina.height() > 0)) return;
    const double scala = std::min((area.width() - 2) / pagina.width(), (area.height() - 2) / pagina.height());
    if (!(scala > 0)) return;
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(area.center() - QPointF(pagina.width(), pagina.height()) * scala / 2);
    p.scale(scala, scala);
    const QRectF foglio(QPointF(0, 0), pagina);
    p.setPen(QPen(Qt::darkGray, 0));
    p.setBrush(Qt::white);
    p.drawRect(foglio);

    const int colonne = l.UnaPerPagina ? 1 : int(l.EtichetteOrizzontali);
    const int righe = l.UnaPerPagina ? 1 : int(l.EtichetteVerticali);
    const double x0 = l.UnaPerPagina ? 0 : l.MargineSinistro, y0 = l.UnaPerPagina ? 0 : l.MargineSuperiore;
    const double passoX = w + (l.UnaPerPagina ? 0 : l.SpazioOrizzontale);
    const double passoY = h + (l.UnaPerPagina ? 0 : l.SpazioVerticale);
    if (w > 0 && h > 0 && colonne > 0 && righe > 0 && double(colonne) * righe <= 5000) {
        const QColor carta(225, 236, 250), bordo(70, 110, 170);
        const QPen fuori(QColor(200, 0, 0), 0);
        for (int r = 0; r < righe; ++r) {
            for (int c = 0; c < colonne; ++c) {
                const QRectF e(x0 + c * passoX, y0 + r * passoY, w, h);
                p.setPen(foglio.adjusted(-0.01, -0.01, 0.01, 0.01).contains(e) ? QPen(bordo, 0) : fuori);
                p.setBrush(carta);
                switch (l.Forma) {
                    case FormaEtichetta::Rettangolo:
                        p.drawRect(e);
                        break;
                    case FormaEtichetta::Ellisse:
                        p.drawEllipse(e);
                        break;
                    case FormaEtichetta::CD: {
                        const double d = l.DiametroEsterno > 0 ? l.DiametroEsterno : std::min(w, h);
                        QPainterPath disco;
                        disco.addEllipse(e.center(), d / 2, d / 2);
                        QPainterPath riquadro;
                        riquadro.addRect(e);
                        QPainterPath forma = disco.intersected(riquadro);
                        QPainterPath foro;
                        foro.addEllipse(e.center(), l.DiametroForo / 2, l.DiametroForo / 2);
                        p.drawPath(forma.subtracted(foro));
                        break;
                    }
                }
            }
        }
    }
    p.restore();
}

}  // namespace cartigo
