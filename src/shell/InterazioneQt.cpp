#include "shell/InterazioneQt.h"

#include "shell/Finestre.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QGuiApplication>
#include <QHash>
#include <QMessageBox>

namespace cartigo {

namespace {
QHash<QString, InterazioneQt::MostraDialogo>& registro()
{
    static QHash<QString, InterazioneQt::MostraDialogo> r;
    return r;
}
}  // namespace

namespace {
// Whatever the dialog, the window it came from gets the keyboard back when it closes.
struct RitornoFuoco {
    QPointer<QWidget> finestra;
    ~RitornoFuoco() { modCartigo::RidaiFuoco(finestra); }
};
}  // namespace

void InterazioneQt::RegistraDialogo(const QString& nome, MostraDialogo mostra) { registro().insert(nome, std::move(mostra)); }

Risposta InterazioneQt::messaggio(const QString& testo, const QString& titolo, Pulsanti pulsanti, Icona icona)
{
    const RitornoFuoco ritorno{finestra_};
    QMessageBox box(finestra_);
    box.setWindowTitle(titolo);
    QString t = testo;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    box.setText(t);
    switch (icona) {
    case Icona::Nessuna: box.setIcon(QMessageBox::NoIcon); break;
    case Icona::Esclamazione: box.setIcon(QMessageBox::Warning); break;
    case Icona::Domanda: box.setIcon(QMessageBox::Question); break;
    case Icona::Informazione: box.setIcon(QMessageBox::Information); break;
    case Icona::Critico: box.setIcon(QMessageBox::Critical); break;
    }
    switch (pulsanti) {
    case Pulsanti::Ok: box.setStandardButtons(QMessageBox::Ok); break;
    case Pulsanti::OkCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case Pulsanti::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case Pulsanti::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box.setEscapeButton(QMessageBox::Cancel);
        break;
    }
    // A message shown while the hourglass is up must get the normal pointer.
    const bool attesa = QGuiApplication::overrideCursor() != nullptr;
    if (attesa)
        QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
    const int r = box.exec();
    if (attesa)
        QGuiApplication::restoreOverrideCursor();
    switch (r) {
    case QMessageBox::Yes: return Risposta::Yes;
    case QMessageBox::No: return Risposta::No;
    case QMessageBox::Cancel: return Risposta::Cancel;
    default:
        if (pulsanti == Pulsanti::YesNo)
            return Risposta::No;
        if (pulsanti == Pulsanti::YesNoCancel || pulsanti == Pulsanti::OkCancel)
            return Risposta::Cancel;
        return Risposta::Ok;
    }
}

void InterazioneQt::beep() { QApplication::beep(); }

std::optional<QString> InterazioneQt::scegliFile(const RichiestaFile& r)
{
    const RitornoFuoco ritorno{finestra_};
    QFileDialog dlg(finestra_, r.titolo, r.cartella, r.filtro);
    dlg.setAcceptMode(r.tipo == RichiestaFile::Tipo::Salva ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dlg.setFileMode(r.tipo == RichiestaFile::Tipo::Salva ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (!r.estensioneDefault.isEmpty())
        dlg.setDefaultSuffix(r.estensioneDefault);
    if (!r.filtroScelto.isEmpty())
        dlg.selectNameFilter(r.filtroScelto);
    if (!r.nomeFile.isEmpty())
        dlg.selectFile(r.nomeFile);
    if (!r.confermaSovrascrittura)
        dlg.setOption(QFileDialog::DontConfirmOverwrite);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return std::nullopt;
    return dlg.selectedFiles().first();
}

std::optional<QColor> InterazioneQt::scegliColore(const QColor& iniziale, const QString& titolo)
{
    const RitornoFuoco ritorno{finestra_};
    const QColor c = QColorDialog::getColor(iniziale, finestra_, titolo);
    if (!c.isValid())
        return std::nullopt;
    return c;
}

std::optional<QFont> InterazioneQt::scegliCarattere(const QFont& iniziale, const QString& titolo)
{
    const RitornoFuoco ritorno{finestra_};
    bool ok = false;
    const QFont f = QFontDialog::getFont(&ok, iniziale, finestra_, titolo);
    if (!ok)
        return std::nullopt;
    return f;
}

bool InterazioneQt::dialogo(RichiestaDialogo& richiesta)
{
    const RitornoFuoco ritorno{finestra_};
    const auto it = registro().constFind(richiesta.nome());
    if (it == registro().constEnd())
        return false;
    return (*it)(richiesta, finestra_);
}

void InterazioneQt::cursoreAttesa() { modCartigo::CursoreAttesa(); }

void InterazioneQt::cursoreNormale() { modCartigo::CursoreNormale(); }

}  // namespace cartigo
