#pragma once
// The printer behind the output document. The core only knows this interface;
// the UI library installs the real one (CUPS through QPrinter), tests a recording
// fake. With none installed there is no printer: A4 portrait and an empty name.

#include <QString>

namespace cartigo {

class DocumentoStampa;

struct InfoStampante {
    QString nome;   // device name, empty when there is no printer
    QString porta;  // where it prints (CUPS: its URI or location)
    // Paper in twips, as it stands in portrait.
    double larghezzaCarta = 210.0 * 1440.0 / 25.4;
    double altezzaCarta = 297.0 * 1440.0 / 25.4;
    int orientamento = 0;  // 0 portrait, 1 landscape
};

class DispositivoStampa {
public:
    virtual ~DispositivoStampa() = default;
    // The default printer of the system, or the A4 portrait values without a name.
    virtual InfoStampante Predefinita() = 0;
    // Prints pages `prima` to `ultima` (from 1) of the document on its device, once.
    // On failure false, with the reason in `errore`.
    virtual bool Stampa(const DocumentoStampa& doc, int prima, int ultima, QString* errore) = 0;
};

// The installed printer, or null. The caller keeps ownership.
DispositivoStampa* DispositivoCorrente();
void ImpostaDispositivoStampa(DispositivoStampa* dispositivo);

}  // namespace cartigo
