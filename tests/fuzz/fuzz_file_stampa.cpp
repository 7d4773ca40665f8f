// The print-file reader: a ".ant" file is read and every page drawn, as the preview does.
#include "SupportoFuzz.h"

#include "stampora/FileStampa.h"
#include "stampora/RenderizzatorePagina.h"

#include <QBuffer>

using namespace cartigo;

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::Prepara();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dati, size_t dimensione)
{
    QByteArray byte = fuzz::Dati(dati, dimensione);
    QBuffer b(&byte);
    b.open(QIODevice::ReadOnly);
    QString errore;
    const auto doc = LeggiFileStampa(b, &errore);
    if (!doc) return 0;
    for (int p = 0; p < doc->PageCount(); ++p) ImmaginePagina(*doc, p, 12);
    return 0;
}
