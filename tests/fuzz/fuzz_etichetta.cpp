// The label reader: the bytes of a label file are decoded and split into lines, read
// into a document, and two labels of it are printed to the output document (as the
// preview gets it) and rendered, as the preview draws them.
#include "SupportoFuzz.h"

#include "label/DocumentoEtichetta.h"
#include "label/FileEtichetta.h"
#include "label/Locale.h"
#include "print/StampaEtichette.h"
#include "shell/InterazioneScriptata.h"
#include "stampora/RenderizzatorePagina.h"
#include "stampora/RichiesteStampora.h"

#include <QDir>

using namespace cartigo;

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::Prepara();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dati, size_t dimensione)
{
    const auto righe = FileEtichetta::RigheFile(fuzz::Dati(dati, dimensione));
    if (!righe) return 0;
    DocumentoEtichetta doc;
    if (FileEtichetta::Leggi(doc, *righe, ImpostazioniLocali::inglese(), QDir::tempPath())) return 0;

    InterazioneScriptata ui;
    std::shared_ptr<DocumentoStampa> uscita;
    ui.gestoriDialogo[RichiestaOpzioniStampa::Nome] = [](RichiestaDialogo& d) {
        auto& r = static_cast<RichiestaOpzioniStampa&>(d);
        r.Confermato = true;
        r.StampaTutte = false;
        r.NumeroEtichette = 2;
        r.PrimaEtichetta = 1;
        r.StampaBordi = true;
        r.StampaCrocicchi = true;
        return true;
    };
    ui.gestoriDialogo[QStringLiteral("frmStamporaDestinazioneStampa")] = [](RichiestaDialogo& d) {
        static_cast<RichiestaDestinazioneStampa&>(d).DestinazioneStampa = 1;
        return true;
    };
    ui.gestoriDialogo[QStringLiteral("frmStamporaAnteprima")] = [&uscita](RichiestaDialogo& d) {
        uscita = static_cast<RichiestaAnteprima&>(d).Documento;
        return true;
    };
    // the page checks answer yes
    for (int i = 0; i < 4; ++i) ui.risposte.push_back(Risposta::Yes);
    StampaEtichette job(doc, ui);
    job.Esegui();
    if (uscita)
        for (int p = 0; p < uscita->PageCount(); ++p) ImmaginePagina(*uscita, p, 12);
    return 0;
}
