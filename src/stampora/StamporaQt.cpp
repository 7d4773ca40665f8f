#include "stampora/StamporaQt.h"

#include "shell/InterazioneQt.h"
#include "shell/StringTable.h"
#include "stampora/AzioniOutput.h"
#include "stampora/FileStampa.h"
#include "stampora/RichiesteStampora.h"
#include "stampora/StamporaCups.h"
#include "stampora/frmStamporaAnteprima.h"
#include "stampora/frmStamporaDestinazioneStampa.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintEngine>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStringList>

namespace cartigo {

namespace {

constexpr double kTwipsPerMm = 1440.0 / 25.4;
// Where Qt's CUPS print engine keeps the options chosen in the print dialog's printer
// properties (the driver's options, the job options), as name and value in turn.
constexpr auto kOpzioniCups = QPrintEngine::PrintEnginePropertyKey(0xfe00);

// A printer set to the document's (or request's) printer, paper and orientation.
void preparaStampante(QPrinter& p, const InfoStampante& info)
{
    if (!info.nome.isEmpty()) p.setPrinterName(info.nome);
    p.setFullPage(true);
    p.setPageSize(QPageSize(QSizeF(info.larghezzaCarta / kTwipsPerMm, info.altezzaCarta / kTwipsPerMm),
                            QPageSize::Millimeter, QString(), QPageSize::FuzzyMatch));
    p.setPageOrientation(info.orientamento == 1 ? QPageLayout::Landscape : QPageLayout::Portrait);
    ImpostaOpzioniDriver(p, info.opzioni);
}

void leggiStampante(const QPrinter& p, InfoStampante* info)
{
    info->nome = p.printerName();
    info->porta = QPrinterInfo::printerInfo(info->nome).location();
    const QSizeF mm = p.pageLayout().pageSize().size(QPageSize::Millimeter);
    if (mm.width() > 0 && mm.height() > 0) {
        info->larghezzaCarta = mm.width() * kTwipsPerMm;
        info->altezzaCarta = mm.height() * kTwipsPerMm;
    }
    info->orientamento = p.pageLayout().orientation() == QPageLayout::Landscape ? 1 : 0;
    info->opzioni = OpzioniDriver(p);
}

}  // namespace

QList<std::pair<QString, QString>> OpzioniDriver(const QPrinter& p)
{
    QList<std::pair<QString, QString>> opzioni;
    const QStringList l = p.printEngine() ? p.printEngine()->property(kOpzioniCups).toStringList() : QStringList();
    for (qsizetype i = 0; i + 1 < l.size(); i += 2) opzioni.append({l[i], l[i + 1]});
    return opzioni;
}

void ImpostaOpzioniDriver(QPrinter& p, const QList<std::pair<QString, QString>>& opzioni)
{
    if (!p.printEngine()) return;
    QStringList l;
    for (const auto& [nome, valore] : opzioni) l << nome << valore;
    p.printEngine()->setProperty(kOpzioniCups, l);
}

void RegistraStampora()
{
    ImpostaDispositivoStampa(&DispositivoCups());

    InterazioneQt::RegistraDialogo(
        QStringLiteral("frmStamporaDestinazioneStampa"), [](RichiestaDialogo& r, QWidget* genitore) {
            return frmStamporaDestinazioneStampa::Mostra(static_cast<RichiestaDestinazioneStampa&>(r), genitore);
        });
    InterazioneQt::RegistraDialogo(QStringLiteral("frmStamporaAnteprima"), [](RichiestaDialogo& r, QWidget*) {
        return MostraAnteprima(static_cast<RichiestaAnteprima&>(r));
    });
    InterazioneQt::RegistraDialogo(QStringLiteral("ImpostaPagina"), [](RichiestaDialogo& r, QWidget* genitore) {
        auto& rp = static_cast<RichiestaImpostaPaginaOutput&>(r);
        QPrinter stampante;
        preparaStampante(stampante, rp.Stampante);
        stampante.setFullPage(false);
        stampante.setPageMargins(
            QMarginsF(rp.Margini[0] / 20.0, rp.Margini[1] / 20.0, rp.Margini[2] / 20.0, rp.Margini[3] / 20.0),
            QPageLayout::Point);
        QPageSetupDialog dlg(&stampante, genitore);
        if (dlg.exec() != QDialog::Accepted) return false;
        leggiStampante(stampante, &rp.Stampante);
        const QMarginsF m = stampante.pageLayout().margins(QPageLayout::Point);
        rp.Margini[0] = m.left() * 20.0;
        rp.Margini[1] = m.top() * 20.0;
        rp.Margini[2] = m.right() * 20.0;
        rp.Margini[3] = m.bottom() * 20.0;
        return true;
    });
    InterazioneQt::RegistraDialogo(QStringLiteral("ImpostaStampante"), [](RichiestaDialogo& r, QWidget* genitore) {
        auto& rs = static_cast<RichiestaImpostaStampante&>(r);
        QPrinter stampante;
        preparaStampante(stampante, rs.Stampante);
        QPrintDialog dlg(&stampante, genitore);
        dlg.setOption(QAbstractPrintDialog::PrintToFile, false);
        if (dlg.exec() != QDialog::Accepted) return false;
        leggiStampante(stampante, &rs.Stampante);
        return true;
    });
}

bool MostraAnteprima(RichiestaAnteprima& a)
{
    frmStamporaAnteprima* f = frmStamporaAnteprima::Istanza();
    // The window opened while the job recorded keeps its page and zoom.
    const bool giaAperta = f->isVisible() && a.Documento && f->Documento() == a.Documento.get();
    if (!giaAperta) {
        f->ImpostaDocumento(a.Documento);
        f->AggiornaControlli();
    }
    if (a.InCorso) {
        if (a.Chiusa)
            QObject::connect(
                f, &frmStamporaAnteprima::Chiusa, f, [chiusa = a.Chiusa] { *chiusa = true; }, Qt::SingleShotConnection);
        f->show();  // modal over the program's windows, not over the job's wait window
        // The window answers while the job goes on: the pointer says both, until the
        // job's end puts the normal one back.
        if (QGuiApplication::overrideCursor()) QGuiApplication::setOverrideCursor(Qt::BusyCursor);
        return true;
    }
    f->AggiornaPagine();
    if (giaAperta) {
        // Already shown: wait until it is closed.
        QEventLoop attesa;
        QObject::connect(f, &frmStamporaAnteprima::Chiusa, &attesa, &QEventLoop::quit);
        if (f->isVisible()) attesa.exec(QEventLoop::DialogExec);
    } else {
        f->exec();
    }
    // The window stays for the next preview; the document goes back to its engine.
    f->ImpostaDocumento(nullptr);
    return true;
}

bool EFileStampa(const QStringList& argomenti)
{
    return argomenti.size() == 1 && argomenti.first().endsWith(QStringLiteral(".ant"), Qt::CaseInsensitive);
}

int MostraFileStampa(const QString& percorso, Interazione& ui)
{
    QString errore;
    const auto nonLetto = [&] {
        ui.messaggio(LoadResString(1437).arg(QFileInfo(percorso).absoluteFilePath(), errore), TitoloStampora(),
                     Pulsanti::Ok, Icona::Esclamazione);
        return 1;
    };
    QFile file(percorso);
    if (!file.open(QIODevice::ReadOnly)) {
        errore = file.errorString();
        return nonLetto();
    }
    // The first page shows at once; the rest are read while the window answers, as a
    // print job fills in its preview.
    LettoreFileStampa lettore(file);
    std::shared_ptr<DocumentoStampa> doc = lettore.Inizia(&errore);
    if (!doc) return nonLetto();
    doc->TitoloLavoro = QFileInfo(percorso).fileName();
    if (!lettore.Finito()) {
        RichiestaAnteprima r;
        r.Documento = doc;
        r.InCorso = true;
        r.Chiusa = std::make_shared<bool>(false);
        ui.dialogo(r);
        QElapsedTimer tempo;
        tempo.start();
        while (!lettore.Finito() && !*r.Chiusa) {
            if (!lettore.Avanza(50, &errore)) {
                doc->KillDoc();
                QCoreApplication::processEvents();  // the window sees the pages gone, and closes
                return nonLetto();
            }
            if (tempo.elapsed() >= 50) {
                QCoreApplication::processEvents();
                tempo.restart();
            }
        }
        if (*r.Chiusa) return 0;
    }
    RichiestaAnteprima r;
    r.Documento = doc;
    ui.dialogo(r);
    return 0;
}

}  // namespace cartigo
