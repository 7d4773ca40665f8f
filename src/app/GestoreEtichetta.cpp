#include "app/GestoreEtichetta.h"

#include "app/StringTable.h"
#include "label/Errori.h"
#include "label/FileEtichetta.h"
#include "label/NomiFile.h"
#include "label/ImmagineEtichetta.h"

#include <QFile>
#include <QDir>
#include <QFileInfo>

namespace cartigo {

namespace modCartigo {

QStringList LeggiRigaComando(const QString& rigaComando, int massimo)
{
    QStringList campi;
    bool aperto = false;
    for (QChar c : rigaComando) {
        if (c == QLatin1Char(',')) {
            aperto = false;
            continue;
        }
        if (!aperto) {
            if (campi.size() >= massimo)
                break;
            campi << QString();
            aperto = true;
        }
        campi.last().append(c);
    }
    return campi;
}

QString VersioneProgramma()
{
    return QStringLiteral("%1.%2.%3").arg(CARTIGO_VERSION_MAJOR).arg(CARTIGO_VERSION_MINOR).arg(CARTIGO_VERSION_PATCH);
}

QString TitoloProgramma() { return QStringLiteral("Cartigo - vers. ") + VersioneProgramma(); }

std::optional<QString> TestoOpzioneInformativa(const QList<QByteArray>& argomenti)
{
    const QByteArray primo = argomenti.value(0);
    if (primo == "--help" || primo == "-h")
        return LoadResString(1001) + QLatin1Char('\n');
    if (primo == "--version") return QStringLiteral("cartigo ") + VersioneProgramma() + QLatin1Char('\n');
    return std::nullopt;
}

}  // namespace modCartigo

AvvioProgramma AvvioProgramma::DaCampi(const QStringList& campi)
{
    AvvioProgramma a;
    QStringList c;
    for (const QString& s : campi)
        c << s.trimmed();
    const auto n = c.size();
    if (n == 1) {
        a.carica = !c[0].isEmpty();
        a.fileEtichetta = c[0];
    } else if (n >= 2 && n <= 4) {
        a.carica = true;
        a.fileEtichetta = c[0];
        a.stampaEdEsci = c[1] == QLatin1String("-S");
        if (n >= 3)
            a.nomeDatabase = c[2];
        if (n == 4)
            a.passwordDatabase = c[3];
    }
    return a;
}

AvvioProgramma AvvioProgramma::DaArgomenti(const QList<QByteArray>& argomenti)
{
    if (argomenti.size() == 1) {
        const QString file = modCartigo::PercorsoDaSistema(argomenti[0]);
        if (QFileInfo(file).isFile()) {
            AvvioProgramma a;
            a.carica = true;
            a.fileEtichetta = file;
            return a;
        }
    }
    // Split the bytes (Latin-1 keeps each byte as one character; a comma is never part of
    // a UTF-8 sequence), then decode each field: the label and the database as paths.
    const QStringList grezzi = modCartigo::LeggiRigaComando(QString::fromLatin1(argomenti.join(' ')), 10);
    QStringList campi;
    for (qsizetype i = 0; i < grezzi.size(); ++i) {
        const QByteArray campo = grezzi[i].toLatin1().trimmed();
        campi << (i == 0 || i == 2 ? modCartigo::PercorsoDaSistema(campo) : QFile::decodeName(campo));
    }
    return DaCampi(campi);
}

AvvioProgramma AvvioProgramma::DaArgomenti(const QStringList& argomenti)
{
    QList<QByteArray> b;
    for (const QString& a : argomenti) b << QFile::encodeName(a);
    return DaArgomenti(b);
}

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
        ui_.messaggio(LoadResString(1000).arg(nome), titolo_, Pulsanti::Ok, Icona::Esclamazione);
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
