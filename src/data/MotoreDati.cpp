#include "data/MotoreDati.h"

#include "data/ValoriJet.h"

namespace cartigo {

namespace {
ErroreCartigo campoMancante(const QString& nome)
{
    return ErroreDatabase(ErroreJet::ElementoNonTrovato,
                          QStringLiteral("Item '%1' not found in this collection.").arg(nome));
}
}  // namespace

int Recordset::IndiceCampo(const QString& nome) const
{
    const auto& campi = Campi();
    for (int i = 0; i < campi.size(); ++i)
        if (campi.at(i).nome.compare(nome, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

int Recordset::TipoCampo(const QString& nome) const
{
    const int i = IndiceCampo(nome);
    if (i < 0) throw campoMancante(nome);
    return Campi().at(i).tipo;
}

QVariant Recordset::Valore(const QString& nome) const
{
    const int i = IndiceCampo(nome);
    if (i < 0) throw campoMancante(nome);
    return Valore(i);
}

}  // namespace cartigo
