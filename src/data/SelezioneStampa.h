#pragma once
// The label's record selection as the print job reads it: ConnettiRecordset with the
// binding's table, field, criterion and values (the converted values and sentinels
// are written back into the binding), each field as printed text.

#include "data/RecordsetStampa.h"
#include "data/clsDatabase.h"
#include "label/DocumentoEtichetta.h"

#include <memory>

namespace cartigo {

// Throws ErroreCartigo when the selection cannot be opened (not connected, a table or
// field that does not exist, a date criterion that is not a date, ...). `interruzione`
// is asked while the engine opens, counts and reads the selection, until the record set
// goes.
std::unique_ptr<RecordsetStampa> ApriSelezioneStampa(
    clsDatabase& db, CollegamentoDati& c,
    const modCartigo::FormatoTesto& formato = modCartigo::FormatoTesto::correnti(), Interruzione interruzione = {});

}  // namespace cartigo
