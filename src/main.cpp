#include "app/Avvio.h"
#include "app/frmCartigo.h"
#include "label/GestoreEtichetta.h"
#include "label/NomiFile.h"
#include "label/ScritturaFile.h"
#include "shell/Finestre.h"
#include "stampora/StamporaQt.h"

#include <QApplication>
#include <QFile>
#include <cstdio>

int main(int argc, char* argv[])
{
    // The arguments as the system gives them.
    const auto argomentiSistema = [&] {
        QList<QByteArray> r;
        for (int i = 1; i < argc; ++i) r << QByteArray(argv[i]);
        return r;
    };
    // "--help" and "--version" answer before anything needs a display.
    if (const auto testo = cartigo::modCartigo::TestoOpzioneInformativa(argomentiSistema())) {
        std::fputs(testo->toLocal8Bit().constData(), stdout);
        return 0;
    }

    QApplication app(argc, argv);
    cartigo::modCartigo::ImpostaIdentitaProgramma();
    cartigo::modCartigo::CaricaTraduzioniQt();
    cartigo::RimuoviTemporaneiAiSegnali();

    const QList<QByteArray> argomenti = argomentiSistema();  // without Qt's own options now

    cartigo::RegistraStampora();
    // A print file given alone is shown in the preview.
    if (argomenti.size() == 1 && cartigo::EFileStampa({QFile::decodeName(argomenti[0])})) {
        cartigo::InterazioneQt ui;
        return cartigo::MostraFileStampa(cartigo::modCartigo::PercorsoDaSistema(argomenti[0]), ui);
    }

    cartigo::modCartigo::CursoreAttesa();
    cartigo::frmCartigo finestra;
    cartigo::modCartigo::CursoreNormale();

    const auto avvio = cartigo::AvvioProgramma::DaArgomenti(argomenti);
    if (!finestra.Avvia(avvio))
        return finestra.CodiceUscita();  // the print switch: printed or not
    finestra.show();
    return app.exec();
}
