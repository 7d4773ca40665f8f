#include "stampora/DispositivoStampa.h"

#include "shell/StringTable.h"

namespace cartigo {

namespace {
DispositivoStampa*& corrente()
{
    static DispositivoStampa* d = nullptr;
    return d;
}
}  // namespace

DispositivoStampa* DispositivoCorrente()
{
    return corrente();
}
bool DispositivoStampa::StampaGrezza(const QString&, const QString&, const QString&, QString* errore)
{
    *errore = LoadResString(1432);
    return false;
}

void ImpostaDispositivoStampa(DispositivoStampa* dispositivo)
{
    corrente() = dispositivo;
}

}  // namespace cartigo
