#include "label/Oggetto.h"

#include "label/Conversioni.h"
#include "label/Errori.h"

namespace cartigo {

QString NomeArray(TipoOggetto tipo)
{
    switch (tipo) {
    case TipoOggetto::Testo: return QStringLiteral("oggTesto");
    case TipoOggetto::Barcode: return QStringLiteral("oggImmagine");
    case TipoOggetto::Immagine: return QStringLiteral("oggPicture");
    case TipoOggetto::Rettangolo: return QStringLiteral("oggRettangolo");
    }
    return {};
}

bool TipoDaNome(const QString& nome, TipoOggetto* tipo)
{
    for (auto t : {TipoOggetto::Testo, TipoOggetto::Barcode, TipoOggetto::Immagine, TipoOggetto::Rettangolo}) {
        if (nome == NomeArray(t)) {
            if (tipo)
                *tipo = t;
            return true;
        }
    }
    return false;
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
