// The CSV reader: text decoding, the separator, quoting and the column types.
#include "SupportoFuzz.h"

#include "data/SorgenteCsv.h"

using namespace cartigo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dati, size_t dimensione)
{
    const TabellaCsv t = LeggiCsvDaDati(fuzz::Dati(dati, dimensione), QStringLiteral("indirizzi"));
    // every row has a value for every field
    for (const auto& riga : t.righe)
        if (riga.size() != t.campi.size()) __builtin_trap();
    return 0;
}
