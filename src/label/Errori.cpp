#include "label/Errori.h"

#include "shell/StringTable.h"

namespace cartigo {

QString ErroreCartigo::descrizioneDi(int numero)
{
    switch (numero) {
    case CodiceErrore::Overflow: return QStringLiteral("Overflow");
    case CodiceErrore::IndiceFuoriIntervallo: return QStringLiteral("Subscript out of range");
    case CodiceErrore::TipoNonCorrispondente: return QStringLiteral("Type mismatch");
    case CodiceErrore::FileNonTrovato: return QStringLiteral("File not found");
    case CodiceErrore::FineFile: return QStringLiteral("Input past end of file");
    case CodiceErrore::PermessoNegato: return QStringLiteral("Permission denied");
    case CodiceErrore::ErrorePercorso: return QStringLiteral("Path/File access error");
    case CodiceErrore::ImmagineNonValida: return QStringLiteral("Invalid picture");
    default: return QStringLiteral("Application-defined or object-defined error");
    }
}

QString TestoErroreNonGestito(int numero, const QString& descrizione)
{
    return LoadResString(1405) + QString::number(numero) + QLatin1Char('\r') + descrizione;
}

}  // namespace cartigo
