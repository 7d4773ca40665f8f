// The MDB header: the version, the masked password area and the password check of page 0.
#include "SupportoFuzz.h"

#include "data/IntestazioneMdb.h"
#include "label/Errori.h"

using namespace cartigo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dati, size_t dimensione)
{
    try {
        const IntestazioneMdb h = IntestazioneMdb::Leggi(fuzz::Dati(dati, dimensione), QStringLiteral("x.mdb"));
        try {
            h.VerificaPassword(h.password);
        } catch (const ErroreCartigo&) {
            __builtin_trap();  // its own password is always accepted
        }
        try {
            h.VerificaPassword(QStringLiteral("cartigo"));
        } catch (const ErroreCartigo&) {
        }
    } catch (const ErroreCartigo&) {
    }
    return 0;
}
