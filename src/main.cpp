#include "app/GestoreEtichetta.h"
#include "app/frmCartigo.h"
#include "stampora/StamporaQt.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Cartigo"));
    QApplication::setOrganizationName(QStringLiteral("Cartigo"));
    QApplication::setApplicationVersion(cartigo::modCartigo::VersioneProgramma());

    cartigo::RegistraStampora();
    // A print file given alone is shown in the preview.
    if (cartigo::EFileStampa(app.arguments().mid(1))) {
        cartigo::InterazioneQt ui;
        return cartigo::MostraFileStampa(app.arguments().at(1), ui);
    }

    cartigo::modCartigo::CursoreAttesa();
    cartigo::frmCartigo finestra;
    cartigo::modCartigo::CursoreNormale();

    const auto avvio = cartigo::AvvioProgramma::DaArgomenti(app.arguments().mid(1));
    if (!finestra.Avvia(avvio))
        return finestra.CodiceUscita();  // the print switch: printed or not
    finestra.show();
    return app.exec();
}
