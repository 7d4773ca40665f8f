#include "SupportoFuzz.h"

#include "shell/StringTable.h"
#include "stampora/FileIni.h"

#include <QGuiApplication>
#include <QTemporaryDir>
#include <cstdlib>

namespace cartigo::fuzz {

void Prepara()
{
    static bool fatto = false;
    if (fatto) return;
    fatto = true;
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char nome[] = "cartigo-fuzz";
    static char* argv[] = {nome, nullptr};
    static QGuiApplication app(argc, argv);
    static QTemporaryDir cartella;
    modCartigo::ImpostaCartellaProgramma(cartella.path());
    ImpostaLingua(Lingua::Inglese);
}

}  // namespace cartigo::fuzz
