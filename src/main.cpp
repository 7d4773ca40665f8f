#include "app/GestoreEtichetta.h"
#include "app/frmCartigo.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Cartigo"));
    QApplication::setOrganizationName(QStringLiteral("Cartigo"));
    QApplication::setApplicationVersion(cartigo::modCartigo::VersioneProgramma());

    cartigo::modCartigo::CursoreAttesa();
    cartigo::frmCartigo finestra;
    cartigo::modCartigo::CursoreNormale();

    const auto avvio = cartigo::AvvioProgramma::DaArgomenti(app.arguments().mid(1));
    if (!finestra.Avvia(avvio))
        return 0;
    finestra.show();
    return app.exec();
}
