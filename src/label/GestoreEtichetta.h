#pragma once
// A label's life outside any window: open, save and the save-changes question.
// The main window and cartigo-print share it; every question goes through the
// interaction seam.

#include "label/DocumentoEtichetta.h"
#include "shell/Interazione.h"

#include <QObject>
#include <QStringList>
#include <functional>
#include <optional>

namespace cartigo {

namespace modCartigo {
// The program's version as "major.minor.revision" without leading zeros.
QString VersioneProgramma();
// "Cartigo - vers. " followed by the version.
QString TitoloProgramma();
// Names the running program to Qt, the same for cartigo and cartigo-print: the name
// "Cartigo" (so both keep their settings in ~/.config/Cartigo/), the version, and the
// desktop entry cartigo.desktop, by which a Wayland dock finds the window's icon.
void ImpostaIdentitaProgramma();
}  // namespace modCartigo

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
