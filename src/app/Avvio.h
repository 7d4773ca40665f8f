#pragma once
// The command line of the program and what start-up does with it.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace cartigo {

namespace modCartigo {
// Splits the command line at commas into at most `massimo` fields (blanks never split;
// consecutive commas give no empty field; the rest past the maximum is ignored).
QStringList LeggiRigaComando(const QString& rigaComando, int massimo = 2);
// The text of "--help" (also "-h") or "--version" when it is the first argument, to be
// printed before anything else starts; nothing otherwise (a label named so opens as "./--help").
std::optional<QString> TestoOpzioneInformativa(const QList<QByteArray>& argomenti);
}  // namespace modCartigo

// What start-up does with the command line's fields.
struct AvvioProgramma {
    bool carica = false;        // load `fileEtichetta`
    bool stampaEdEsci = false;  // "-S": print, then end without showing the window
    QString fileEtichetta;
    QString nomeDatabase;
    QString passwordDatabase;

    static AvvioProgramma DaCampi(const QStringList& campi);
    // argv[1..] as the system gives them. One argument naming an existing file is the
    // label, commas included (a desktop's "cartigo %f"); otherwise the arguments are
    // joined by blanks and split into fields. Paths are decoded with PercorsoDaSistema.
    static AvvioProgramma DaArgomenti(const QList<QByteArray>& argomenti);
    static AvvioProgramma DaArgomenti(const QStringList& argomenti);
};

}  // namespace cartigo
