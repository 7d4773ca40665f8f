#include "stampora/DispositivoStampa.h"

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
void ImpostaDispositivoStampa(DispositivoStampa* dispositivo)
{
    corrente() = dispositivo;
}

}  // namespace cartigo
