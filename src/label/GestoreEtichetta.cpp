#include "label/GestoreEtichetta.h"

#include "label/Errori.h"
#include "label/FileEtichetta.h"
#include "label/ImmagineEtichetta.h"
#include "label/NomiFile.h"
#include "shell/StringTable.h"

#include <QFile>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>

namespace cartigo {

namespace modCartigo {

QString VersioneProgramma()
{
    return QStringLiteral("%1.%2.%3").arg(CARTIGO_VERSION_MAJOR).arg(CARTIGO_VERSION_MINOR).arg(CARTIGO_VERSION_PATCH);
}

QString TitoloProgramma() { return QStringLiteral("Cartigo - vers. ") + VersioneProgramma(); }

void ImpostaIdentitaProgramma()
{
    QCoreApplication::setApplicationName(QStringLiteral("Cartigo"));
    QCoreApplication::setApplicationVersion(VersioneProgramma());
    QGuiApplication::setDesktopFileName(QStringLiteral("cartigo"));
}

}  // namespace modCartigo

GestoreEtichetta::GestoreEtichetta(DocumentoEtichetta& doc, Interazione& ui, QObject* parent)
    : QObject(parent), doc_(doc), ui_(ui), titolo_(modCartigo::TitoloProgramma())
{
}

void GestoreEtichetta::SalvaEtichetta(bool& Cancel)
{
    RichiestaFile r;
    r.tipo = RichiestaFile::Tipo::Salva;
    r.titolo = LoadResString(263);
    r.filtro = FiltroQt(LoadResString(262));
    r.filtroScelto = VoceFiltro(r.filtro, 2);
    r.estensioneDefault = QStringLiteral("eti");
    r.cartella = CartellaDialogo(doc_.NomeFileEtichetta());
    r.nomeFile = QFileInfo(doc_.NomeFileEtichetta()).fileName();
    r.confermaSovrascrittura = true;
    const auto scelto = ui_.scegliFile(r);
    if (!scelto || scelto->isEmpty()) {
        Cancel = true;
        return;
    }
    RicordaCartellaDialogo(*scelto);
    const QString motivo = FileEtichetta::Scrivi(doc_, *scelto, ImpostazioniLocali::correnti());
    if (!motivo.isEmpty()) {
        Cancel = true;
        ui_.beep();
        const QString testo = LinguaCorrente() == Lingua::Italiano
                                  ? QStringLiteral("Impossibile salvare il file %1:\n%2\nL'etichetta non è stata salvata.")
                                  : QStringLiteral("Cannot save the file %1:\n%2\nThe label has not been saved.");
        ui_.messaggio(testo.arg(QDir::toNativeSeparators(*scelto), motivo), titolo_, Pulsanti::Ok, Icona::Esclamazione);
        return;
    }
    // Only a label that was written takes the new name.
    doc_.ImpostaNomeFileEtichetta(*scelto);
    doc_.ImpostaModificato(false);
    // Its folder is now the one relative pictures are found in: they show (and are
    // reported) as they will print from there.
    const QString cartella = modCartigo::CartellaDi(*scelto);
    if (cartella == doc_.CartellaEtichetta()) return;
    doc_.ImpostaCartellaEtichetta(cartella);
    QStringList problemi;
    for (OggettoEtichetta* o : doc_.Oggetti()) {
        if (o->tipo != TipoOggetto::Immagine || o->Collegato() || o->ToolTipText.isEmpty() ||
            !QFileInfo(o->ToolTipText).isRelative())
            continue;
        const ImmagineLetta letta = LeggiImmagine(o->ToolTipText, cartella);
        o->Picture = letta.immagine;  // none leaves the placeholder
        doc_.NotificaModificaOggetto(o);
        if (!letta.problema.isEmpty() && !problemi.contains(letta.problema)) problemi << letta.problema;
    }
    // Only what moving the label changed is reported.
    if (!problemi.isEmpty())
        ui_.messaggio(ElencoProblemi(LoadResString(1304), problemi), titolo_, Pulsanti::Ok, Icona::Esclamazione);
    problemiImmagini_ = cartigo::ProblemiImmagini(doc_);
}

bool GestoreEtichetta::CaricaEtichetta(const std::optional<QString>& FileName, const QString& nomeDatabase,
                                       const QString& passwordDatabase)
{
    QString nome;
    if (!FileName) {
        RichiestaFile r;
        r.tipo = RichiestaFile::Tipo::Apri;
        r.titolo = LoadResString(261);
        r.filtro = FiltroQt(LoadResString(262));
        r.filtroScelto = VoceFiltro(r.filtro, 2);
        r.estensioneDefault = QStringLiteral("eti");
        r.cartella = CartellaDialogo(doc_.NomeFileEtichetta());
        r.fileDeveEsistere = true;
        const auto scelto = ui_.scegliFile(r);
        if (!scelto || scelto->isEmpty())
            return false;
        RicordaCartellaDialogo(*scelto);
        nome = *scelto;
    } else {
        nome = *FileName;
        if (!modCartigo::EsisteFile(nome)) {
            ui_.beep();
            ui_.messaggio(QStringLiteral("File ") + nome + LoadResString(159), titolo_, Pulsanti::Ok,
                          Icona::Esclamazione);
            return false;
        }
    }

    QFile f(nome);
    if (!f.open(QIODevice::ReadOnly)) {
        ui_.beep();
        ui_.messaggio(TestoErroreNonGestito(CodiceErrore::PermessoNegato, f.errorString()), titolo_, Pulsanti::Ok,
                      Icona::Esclamazione);
        return false;
    }
    const QByteArray dati = f.readAll();
    f.close();
    const auto righe = FileEtichetta::RigheFile(dati);
    if (!righe) {
        ui_.beep();
        ui_.messaggio(FileEtichetta::MotivoIlleggibile(dati, nome), titolo_, Pulsanti::Ok, Icona::Esclamazione);
        return false;
    }

    const QString cartella = modCartigo::CartellaDi(nome);
    doc_.NuovaEtichetta();
    problemiImmagini_.clear();
    const auto errore = FileEtichetta::Leggi(doc_, *righe, ImpostazioniLocali::correnti(), cartella);
    doc_.ImpostaModificato(false);
    if (errore) {
        ui_.beep();
        ui_.messaggio(TestoErroreNonGestito(errore->numero, errore->descrizione), titolo_, Pulsanti::Ok,
                      Icona::Esclamazione);
        return false;
    }
    doc_.ImpostaCartellaEtichetta(cartella);
    problemiImmagini_ = cartigo::ProblemiImmagini(doc_);
    if (!problemiImmagini_.isEmpty())
        ui_.messaggio(ElencoProblemi(LoadResString(1304), problemiImmagini_), titolo_, Pulsanti::Ok,
                      Icona::Esclamazione);

    // Save writes back to the file read (not to one reached only through a descriptor).
    if (!modCartigo::SoloDescrittore(nome)) doc_.ImpostaNomeFileEtichetta(QFileInfo(nome).absoluteFilePath());
    RicordaCartellaDialogo(nome);

    auto& c = doc_.Collegamento();
    if (!nomeDatabase.isEmpty()) {
        c.NomeDatabase = nomeDatabase;
        c.PasswordDatabase = passwordDatabase;
    }
    if (!c.NomeDatabase.isEmpty() && ConnettiDatabase) {
        // A relative database name is also looked for beside the label.
        const QString vicino = FileEtichetta::FileVicinoEtichetta(c.NomeDatabase, cartella);
        const QString file = vicino.isEmpty() ? c.NomeDatabase : vicino;
        doc_.ImpostaConnesso(ConnettiDatabase(file, c.PasswordDatabase, c.NomeTabella));
    }
    return true;
}

void GestoreEtichetta::ChiediSalvataggio(bool& Cancel)
{
    if (!doc_.Modificato())
        return;
    ui_.beep();
    const Risposta r = ui_.messaggio(LoadResString(158), titolo_, Pulsanti::YesNoCancel, Icona::Domanda);
    if (r == Risposta::Cancel) {
        Cancel = true;
    } else if (r == Risposta::Yes) {
        SalvaEtichetta(Cancel);
    }
}

}  // namespace cartigo
