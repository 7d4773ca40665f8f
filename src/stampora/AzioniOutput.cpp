#include "stampora/AzioniOutput.h"

#include "label/ScritturaFile.h"
#include "shell/StringTable.h"
#include "stampora/RichiesteStampora.h"

#include <QDir>
#include <QFileInfo>

namespace cartigo {

QString TitoloStampora()
{
    return QStringLiteral("Stampora");
}

bool ImpostaPaginaOutput(DocumentoStampa& doc, Interazione& ui)
{
    RichiestaImpostaPaginaOutput r;
    r.Stampante = doc.Stampante();
    r.Margini[0] = doc.MarginLeft();
    r.Margini[1] = doc.MarginTop();
    r.Margini[2] = doc.MarginRight();
    r.Margini[3] = doc.MarginBottom();
    if (!ui.dialogo(r)) return false;
    doc.SetPaperSize(r.Stampante.larghezzaCarta, r.Stampante.altezzaCarta);
    doc.SetOrientation(r.Stampante.orientamento);
    doc.SetMarginLeft(r.Margini[0]);
    doc.SetMarginTop(r.Margini[1]);
    doc.SetMarginRight(r.Margini[2]);
    doc.SetMarginBottom(r.Margini[3]);
    return true;
}

bool ImpostaStampanteOutput(DocumentoStampa& doc, Interazione& ui)
{
    RichiestaImpostaStampante r;
    r.Stampante = doc.Stampante();
    if (!ui.dialogo(r)) return false;
    doc.SetStampante(r.Stampante);
    return true;
}

bool StampaOutput(const DocumentoStampa& doc, int prima, int ultima, Interazione& ui, int copie)
{
    QString errore;
    DispositivoStampa* d = DispositivoCorrente();
    bool ok = false;
    if (!d) {
        errore = LoadResString(1432);
    } else if (doc.PageCount() == 0) {
        return true;
    } else {
        LavoroStampa lavoro;
        lavoro.prima = std::clamp(prima, 1, doc.PageCount());
        lavoro.ultima = std::clamp(ultima, lavoro.prima, doc.PageCount());
        lavoro.copie = std::max(1, copie);
        lavoro.titolo = doc.TitoloLavoro;
        ui.cursoreAttesa();
        ok = d->Stampa(doc, lavoro, &errore);
        ui.cursoreNormale();
    }
    if (!ok) {
        const QString nome = doc.Device().isEmpty() ? LoadResString(1440) : doc.Device();
        ui.messaggio(LoadResString(1441).arg(nome, errore), TitoloStampora(), Pulsanti::Ok, Icona::Esclamazione);
    }
    return ok;
}

bool AzioneOutput(DocumentoStampa& doc, int azione, Interazione& ui, int paginaMostrata)
{
    switch (azione) {
        case 2:
            return ImpostaPaginaOutput(doc, ui);
        case 9:
            return StampaOutput(doc, paginaMostrata, paginaMostrata, ui);
        case 11:
        case 12:
            return StampaOutput(doc, 1, doc.PageCount(), ui);
        case 13:
            return ImpostaStampanteOutput(doc, ui);
        default:
            return false;
    }
}

bool SalvaOutput(const DocumentoStampa& doc, const QString& file, Interazione& ui, FormatoFileStampa formato)
{
    QString errore;
    if (file.isEmpty())
        errore = LoadResString(1438);
    else if (SalvaDocumento(doc, file, &errore, formato))
        return true;
    SegnalaErroreSalvataggio(file, errore, ui);
    return false;
}

void SegnalaErroreSalvataggio(const QString& file, const QString& errore, Interazione& ui)
{
    ui.cursoreNormale();
    ui.messaggio(LoadResString(1439).arg(file, errore), TitoloStampora(), Pulsanti::Ok, Icona::Esclamazione);
}

bool FileStampaProtetto(const QString& file, const QStringList& protetti, Interazione& ui)
{
    for (const QString& p : protetti) {
        if (StessoFile(file, p)) {
            ui.beep();
            ui.messaggio(LoadResString(1100) + QLatin1Char('\n') + QDir::toNativeSeparators(file), TitoloStampora(),
                         Pulsanti::Ok, Icona::Esclamazione);
            return true;
        }
    }
    return false;
}

}  // namespace cartigo

#include "stampora/FileIni.h"

namespace cartigo {

QString ScegliFileStampa(Interazione& ui, const QString& cartellaPreferita, bool zpl)
{
    // The folder of the last print file chosen in this session, else the one asked for
    // (the label's), else the program's print folder.
    static QString ultima;
    QString cartella = ultima;
    if (cartella.isEmpty() || !QFileInfo(cartella).isDir()) cartella = cartellaPreferita;
    if (cartella.isEmpty() || !QFileInfo(cartella).isDir()) {
        cartella = modCartigo::CartellaStampe();
        QDir().mkpath(cartella);
    }
    RichiestaFile r;
    r.tipo = RichiestaFile::Tipo::Salva;
    r.filtro = LoadResString(zpl ? 3194 : 1442);
    r.filtroScelto = VoceFiltro(r.filtro, zpl ? 1 : 2);
    r.cartella = cartella;
    r.estensioneDefault = zpl ? QStringLiteral("zpl") : QStringLiteral("ant");
    r.confermaSovrascrittura = true;
    const auto scelto = ui.scegliFile(r);
    if (scelto && !scelto->isEmpty()) ultima = QFileInfo(*scelto).absolutePath();
    return scelto.value_or(QString());
}

}  // namespace cartigo
