#pragma once
// The label commands of the main window that need no window of their own:
// open, save, the save-changes question and the start-up decisions.
// Windows call these; every question goes through the interaction seam.

#include "app/Interazione.h"
#include "label/DocumentoEtichetta.h"

#include <QObject>
#include <QStringList>
#include <functional>
#include <optional>

namespace cartigo {

namespace modCartigo {
// Splits the command line at commas into at most `massimo` fields (blanks never split;
// consecutive commas give no empty field; the rest past the maximum is ignored).
QStringList LeggiRigaComando(const QString& rigaComando, int massimo = 2);
// The program's version as "major.minor.revision" without leading zeros.
QString VersioneProgramma();
// "Cartigo - vers. " followed by the version.
QString TitoloProgramma();
// The text of "--help" (also "-h") or "--version" when it is the first argument, to be
// printed before anything else starts; nothing otherwise (a label named so opens as "./--help").
std::optional<QString> TestoOpzioneInformativa(const QList<QByteArray>& argomenti);
}  // namespace modCartigo

// What start-up does with the command line's fields.
struct AvvioProgramma {
    bool carica = false;       // load `fileEtichetta`
    bool stampaEdEsci = false; // "-S": print, then end without showing the window
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

class GestoreEtichetta : public QObject {
    Q_OBJECT
public:
    GestoreEtichetta(DocumentoEtichetta& doc, Interazione& ui, QObject* parent = nullptr);

    DocumentoEtichetta& Documento() { return doc_; }
    Interazione& Ui() { return ui_; }

    // Connects the database named by the binding: (name, password, table) -> connected.
    // Until a data source is installed, nothing connects and `Connesso` stays false.
    std::function<bool(const QString&, const QString&, const QString&)> ConnettiDatabase;

    // The title of message boxes: the main window's caption.
    QString titolo() const { return titolo_; }
    void impostaTitolo(const QString& t) { titolo_ = t; }

    // Asks for a name and writes the label; `Cancel` becomes true on cancel or failure.
    // The dialog opens in the label's folder and offers the label's name.
    void SalvaEtichetta(bool& Cancel);
    // Replaces the document with a label file; without a name it asks for one.
    // Returns true when the file was read to its end; the label then carries the
    // file's name (for Save and the file dialogs).
    bool CaricaEtichetta(const std::optional<QString>& FileName = std::nullopt,
                         const QString& nomeDatabase = {}, const QString& passwordDatabase = {});
    void ChiediSalvataggio(bool& Cancel);
    // The label's pictures that the last load could not read (reported once, as it loaded).
    const QStringList& ProblemiImmagini() const { return problemiImmagini_; }

private:
    DocumentoEtichetta& doc_;
    Interazione& ui_;
    QString titolo_;
    QStringList problemiImmagini_;
};

}  // namespace cartigo
