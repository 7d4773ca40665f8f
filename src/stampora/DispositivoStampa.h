#pragma once
// The printer behind the output document. The core only knows this interface; the
// programs install the real one (CUPS, StampanteCups), tests a recording fake. With
// none installed there is no printer: A4 portrait and an empty name.

#include <QList>
#include <QString>
#include <utility>

namespace cartigo {

class DocumentoStampa;

struct InfoStampante {
    QString nome;   // device name, empty when there is no printer
    QString porta;  // where it prints (CUPS: its URI or location)
    // Paper in twips, as it stands in portrait.
    double larghezzaCarta = 210.0 * 1440.0 / 25.4;
    double altezzaCarta = 297.0 * 1440.0 / 25.4;
    int orientamento = 0;  // 0 portrait, 1 landscape
    // The printer's own resolution in dots per inch (CUPS: the one chosen for the queue,
    // else its default), which barcodes are laid out for; 0 when it is not known.
    double risoluzione = 0;
    // The driver's options chosen in the printer's properties for this print (name and
    // value, "Darkness" "25"), which go with the job beside the queue's own defaults.
    QList<std::pair<QString, QString>> opzioni;
};

// One print of a document: its pages `prima` to `ultima` (from 1), the copies the
// printer makes of them, and the title the job goes by (the label's file name).
struct LavoroStampa {
    int prima = 1;
    int ultima = 1;
    int copie = 1;
    QString titolo;
};

class DispositivoStampa {
public:
    virtual ~DispositivoStampa() = default;
    // The default printer of the system, or the A4 portrait values without a name.
    virtual InfoStampante Predefinita() = 0;
    // Prints the job's pages of the document on its device, as one job. On failure
    // false, with the reason in `errore`.
    virtual bool Stampa(const DocumentoStampa& doc, const LavoroStampa& lavoro, QString* errore) = 0;
    // Sends a file the printer reads as it is (ZPL) to the queue `coda` as one raw job
    // titled `titolo`: no driver converts it. False with the reason in `errore`; a device
    // without raw jobs refuses them all.
    virtual bool StampaGrezza(const QString& coda, const QString& file, const QString& titolo, QString* errore);
};

// The installed printer, or null. The caller keeps ownership.
DispositivoStampa* DispositivoCorrente();
void ImpostaDispositivoStampa(DispositivoStampa* dispositivo);

}  // namespace cartigo
