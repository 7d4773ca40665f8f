#pragma once
// Helpers of the data tests: the reader program of this build and the sample files.

#include "common/TestSupport.h"
#include "data/LettoreProcesso.h"

#include <QString>

namespace cartigo::test {

inline void UsaLettoreDellaBuild()
{
    LettoreProcesso::ImpostaPercorso(QStringLiteral(CARTIGO_MDBREADER_PATH));
}

}  // namespace cartigo::test

// The path of a sample database; skips the test when the samples are not there.
#define CARTIGO_FILE_MDB(var, nome)            \
    CARTIGO_RICHIEDI_TESTDATA(cartella_##var); \
    ::cartigo::test::UsaLettoreDellaBuild();   \
    const QString var = cartella_##var + QStringLiteral("/mdb/") + QStringLiteral(nome)
