#include "label/Oggetto.h"

#include "label/Conversioni.h"
#include "label/Errori.h"

#include <algorithm>
#include <cmath>

namespace cartigo {

QString NomeArray(TipoOggetto tipo)
{
    switch (tipo) {
    case TipoOggetto::Testo: return QStringLiteral("oggTesto");
    case TipoOggetto::Barcode: return QStringLiteral("oggImmagine");
    case TipoOggetto::Immagine: return QStringLiteral("oggPicture");
    case TipoOggetto::Rettangolo: return QStringLiteral("oggRettangolo");
    case TipoOggetto::Linea: return QStringLiteral("oggLinea");
    case TipoOggetto::Ellisse: return QStringLiteral("oggEllisse");
    }
    return {};
}

bool TipoDaNome(const QString& nome, TipoOggetto* tipo)
{
    for (auto t : kTipiOggetto) {
        if (nome == NomeArray(t)) {
            if (tipo)
                *tipo = t;
            return true;
        }
    }
    return false;
}

void OggettoEtichetta::ImpostaEstremi(float x1, float y1, float x2, float y2)
{
    Left = std::min(x1, x2);
    Top = std::min(y1, y2);
    Width = std::abs(x2 - x1);
    Height = std::abs(y2 - y1);
    // The ends go one to the left and below the other: the line rises.
    Ascendente = (x1 < x2 && y1 > y2) || (x2 < x1 && y2 > y1);
}

int CifraImpostazioni(const QString& impostazioni, int i)
{
    if (i < 0 || i >= impostazioni.size()) return 0;
    try {
        return int(modCartigo::ConvertiIntero(QString(impostazioni.at(i)), ImpostazioniLocali::correnti()));
    } catch (const ErroreCartigo&) {
        return 0;
    }
}

}  // namespace cartigo
