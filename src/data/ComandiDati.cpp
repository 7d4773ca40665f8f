#include "data/ComandiDati.h"

#include "data/DatabaseSql.h"
#include "data/RichiesteDati.h"
#include "label/FileEtichetta.h"
#include "label/NomiFile.h"
#include "shell/StringTable.h"

#include <QDir>

namespace cartigo {

// --- dialog requests ---

int SelezionaVoce(const QStringList& voci, const QString& nome, int attuale)
{
    const QString cercato = nome.trimmed().toUpper();
    for (int i = 0; i < voci.size(); ++i)
        if (voci.at(i).trimmed().toUpper() == cercato) return i;
    return attuale;
}

bool RichiestaConnettiDB::cmdOk(const QString& file, const QString& password, Interazione& ui, const QString& titolo)
{
    if (modCartigo::EsisteFile(file) || IndirizzoServer(file)) {
        Confermato = true;
        NomeFileDB = file;
        PasswordDB = password;
        return true;
    }
    ui.beep();
    ui.messaggio(LoadResString(1414), titolo, Pulsanti::Ok, Icona::Esclamazione);
    return false;
}

QString RichiestaConnettiDB::cmdSfoglia(const QString& attuale, Interazione& ui, const QString& titolo)
{
    RichiestaFile r;
    r.tipo = RichiestaFile::Tipo::Apri;
    r.titolo = titolo;
    // The database filter also offers ACCDB, CSV and SQLite files.
    r.filtro = LoadResString(1415);
    r.filtroScelto = VoceFiltro(r.filtro, 2);
    r.cartella = CartellaDialogo();
    r.nomeFile = attuale;
    r.fileDeveEsistere = true;
    const auto scelto = ui.scegliFile(r);
    if (!scelto || scelto->isEmpty()) return attuale;
    RicordaCartellaDialogo(*scelto);
    return QDir::toNativeSeparators(*scelto);
}

bool RichiestaSelezionaTabella::cmdOk(int indice, Interazione& ui, const QString& titolo)
{
    if (indice >= 0 && indice < lstTabelle.size()) {
        Confermato = true;
        Tabella = lstTabelle.at(indice);
        return true;
    }
    ui.beep();
    ui.messaggio(LoadResString(1416), titolo, Pulsanti::Ok, Icona::Esclamazione);
    return false;
}

bool RichiestaCollegaCampo::cmdOk(int indice, Interazione& ui, const QString& titolo)
{
    if (indice >= 0 && indice < lstCampi.size()) {
        Confermato = true;
        Campo = lstCampi.at(indice);
        return true;
    }
    ui.beep();
    ui.messaggio(LoadResString(1417), titolo, Pulsanti::Ok, Icona::Esclamazione);
    return false;
}

std::array<bool, 3> RichiestaSelezioneRecords::CampiAbilitati(int opzione)
{
    switch (opzione) {
        case 1:
            return {true, false, false};
        case 2:
            return {false, true, true};
        default:
            return {false, false, false};
    }
}

bool RichiestaSelezioneRecords::cmdOk(const QString& testoCombo, int opzione, const std::array<QString, 3>& testi,
                                      Interazione& ui, const QString& titolo, int* campoVuoto)
{
    if (testoCombo.isEmpty()) {
        ui.beep();
        ui.messaggio(LoadResString(1418), titolo, Pulsanti::Ok, Icona::Esclamazione);
        if (campoVuoto) *campoVuoto = 0;
        return false;
    }
    if (opzione == 1 && testi[0].isEmpty()) {
        ui.beep();
        ui.messaggio(LoadResString(1419), titolo, Pulsanti::Ok, Icona::Esclamazione);
        if (campoVuoto) *campoVuoto = 1;
        return false;
    }
    Confermato = true;
    Campo = testoCombo;
    if (opzione >= 0 && opzione <= 2) Criterio = qint16(opzione);
    Valore = testi[0];
    ValoreDa = testi[1];
    ValoreA = testi[2];
    return true;
}

// --- the step of the history ---

ComandoDatabase::ComandoDatabase(DocumentoEtichetta& doc, ComandiDati& dati, const CollegamentoDati& prima,
                                 bool connessoPrima, int idNome)
    : ModificaEtichetta(doc, idNome),
      dati_(dati),
      prima_(prima),
      dopo_(doc.Collegamento()),
      connessoPrima_(connessoPrima),
      connessoDopo_(doc.Connesso())
{
}

void ComandoDatabase::redo()
{
    if (fatto_)
        fatto_ = false;
    else
        applica(dopo_, connessoDopo_);
}

void ComandoDatabase::applica(const CollegamentoDati& c, bool connesso)
{
    const CollegamentoDati ora = doc_.Collegamento();
    const bool stessaFonte = ora.NomeDatabase == c.NomeDatabase && ora.PasswordDatabase == c.PasswordDatabase &&
                             ora.NomeTabella == c.NomeTabella;
    doc_.Collegamento() = c;
    if (!connesso) {
        if (doc_.Connesso()) dati_.SetDisconnesso();
    } else if (!doc_.Connesso() || !stessaFonte) {
        const QString vicino = FileEtichetta::FileVicinoEtichetta(c.NomeDatabase, doc_.CartellaEtichetta());
        dati_.ConnettiDatabase(vicino.isEmpty() ? c.NomeDatabase : vicino, c.PasswordDatabase, c.NomeTabella);
    } else {
        doc_.ImpostaConnesso(true);  // the status bar shows the binding as it is now
    }
}

// --- commands ---

ComandiDati::ComandiDati(DocumentoEtichetta& doc, Interazione& ui, clsDatabase& db) : doc_(doc), ui_(ui), db_(db) {}

bool ComandiDati::mostraErrore(const ErroreCartigo& e)
{
    ui_.cursoreNormale();
    ui_.beep();
    ui_.messaggio(TestoErroreDatabase(e), titoloFinestra(), Pulsanti::Ok, Icona::Esclamazione);
    return false;
}

void ComandiDati::SetConnesso()
{
    doc_.ImpostaConnesso(true);
}

void ComandiDati::SetDisconnesso()
{
    doc_.ImpostaConnesso(false);
    db_.DisconnettiDatabase();
}

void ComandiDati::registra(const CollegamentoDati& prima, bool connessoPrima, int idNome)
{
    if (prima != doc_.Collegamento() || connessoPrima != doc_.Connesso())
        doc_.Esegui(new ComandoDatabase(doc_, *this, prima, connessoPrima, idNome));
}

void ComandiDati::mnuConnettiDb_Click()
{
    if (azzeraSelezione) azzeraSelezione();
    const CollegamentoDati prima = doc_.Collegamento();
    const bool connesso = doc_.Connesso();
    connetti();
    const bool altraTabella = doc_.Connesso() && (prima.NomeDatabase != doc_.Collegamento().NomeDatabase ||
                                                  prima.NomeTabella != doc_.Collegamento().NomeTabella);
    // Links to fields the new table lacks would fail at print time: the selection field
    // goes with the connection's step, the objects' links as a step of their own.
    QStringList tolti;
    std::vector<OggettoEtichetta*> scollegati;
    if (altraTabella) {
        const QString tabella = doc_.Collegamento().NomeTabella;
        QStringList campi;
        try {
            ElencoVoci lista;
            if (db_.IsQuery(tabella))
                db_.CaricaListaCampiDaQueryList(tabella, lista);
            else
                db_.CaricaListaCampiList(tabella, lista);
            campi = lista.voci;
        } catch (const ErroreCartigo&) {
            campi.clear();
        }
        const auto manca = [&campi](const QString& campo) {
            const QString c = campo.trimmed();
            return !c.isEmpty() && !campi.contains(c, Qt::CaseInsensitive);
        };
        if (!campi.isEmpty()) {
            auto& c = doc_.Collegamento();
            if (manca(c.CampoSelezione)) {
                tolti << c.CampoSelezione.trimmed();
                c.CampoSelezione.clear();
                c.TipoSelezione = 0;
            }
            for (OggettoEtichetta* o : doc_.Oggetti()) {
                if (!manca(o->DataMember)) continue;
                if (!tolti.contains(o->DataMember.trimmed(), Qt::CaseInsensitive)) tolti << o->DataMember.trimmed();
                scollegati.push_back(o);
            }
        }
    }
    registra(prima, connesso, NomeModifica::ConnettiDatabase);
    if (!scollegati.empty()) {
        auto voci = ModificaProprieta::Voci(scollegati, [](OggettoEtichetta& o) {
            o.DataMember.clear();
            if (o.tipo == TipoOggetto::Testo) o.Caption = QStringLiteral("abc");
        });
        doc_.Esegui(new ComandoCollegaCampo(doc_, std::move(voci)));
    }
    if (!tolti.isEmpty())
        ui_.messaggio(LoadResString(1591).arg(tolti.join(QStringLiteral(", "))),
                      titolo ? titolo() : LoadResString(157), Pulsanti::Ok, Icona::Informazione);
}

void ComandiDati::connetti()
{
    auto& c = doc_.Collegamento();

    ui_.cursoreAttesa();
    RichiestaConnettiDB dlg;
    // A file named from the label's folder shows whole.
    const QString vicino = FileEtichetta::FileVicinoEtichetta(c.NomeDatabase, doc_.CartellaEtichetta());
    dlg.txtNomeFileDB = vicino.isEmpty() ? c.NomeDatabase : vicino;
    dlg.txtPasswordDB = c.PasswordDatabase;
    ui_.cursoreNormale();
    ui_.dialogo(dlg);
    if (!dlg.Confermato) return;
    // The label names a file beside it from its folder (FileEtichetta::NomeFilePerEtichetta).
    c.NomeDatabase = FileEtichetta::NomeFilePerEtichetta(dlg.NomeFileDB, doc_.CartellaEtichetta());
    c.PasswordDatabase = dlg.PasswordDB;
    if (c.NomeDatabase.trimmed().isEmpty()) return;

    db_.SetNomeDatabase(dlg.NomeFileDB);
    db_.SetPasswordDb(c.PasswordDatabase);
    ui_.cursoreAttesa();
    const bool ok = db_.ConnettiDatabase();
    ui_.cursoreNormale();
    if (!ok) {
        SetDisconnesso();
        return;
    }

    ui_.cursoreAttesa();
    RichiestaSelezionaTabella tab;
    try {
        ElencoVoci lista;
        db_.CaricaListaTabelle(lista);
        db_.CaricaListaQueries(lista);
        tab.lstTabelle = lista.voci;
    } catch (const ErroreCartigo& e) {
        mostraErrore(e);
        SetDisconnesso();
        return;
    }
    tab.SelezionaTabella(c.NomeTabella);
    // A source of one table (a CSV file, a sheet) has it chosen.
    if (tab.lstTabelle.size() == 1) tab.SelezionaTabella(tab.lstTabelle.first());
    ui_.cursoreNormale();
    ui_.dialogo(tab);
    if (tab.Confermato) {
        c.NomeTabella = tab.Tabella;
        if (!c.NomeTabella.isEmpty())
            SetConnesso();
        else
            SetDisconnesso();
    } else {
        SetDisconnesso();
    }
}

void ComandiDati::mnuDisconnettiDb_Click()
{
    if (azzeraSelezione) azzeraSelezione();
    const bool connesso = doc_.Connesso();
    SetDisconnesso();
    registra(doc_.Collegamento(), connesso, NomeModifica::DisconnettiDatabase);
}

void ComandiDati::mnuCollega_Click()
{
    if (!doc_.Connesso()) {
        ui_.beep();
        ui_.messaggio(LoadResString(156), LoadResString(157), Pulsanti::Ok, Icona::Esclamazione);
        return;
    }
    OggettoEtichetta* o = oggettoSelezionato ? oggettoSelezionato() : nullptr;
    if (!o) {
        // Connecting switches the selection tool off: say what the command needs.
        ui_.beep();
        ui_.messaggio(LoadResString(1200), LoadResString(157), Pulsanti::Ok, Icona::Esclamazione);
        return;
    }
    if (o->tipo != TipoOggetto::Testo && o->tipo != TipoOggetto::Barcode) return;
    const QString tabella = doc_.Collegamento().NomeTabella;

    ui_.cursoreAttesa();
    RichiestaCollegaCampo dlg;
    try {
        ElencoVoci lista;
        if (db_.IsQuery(tabella))
            db_.CaricaListaCampiDaQueryList(tabella, lista);
        else
            db_.CaricaListaCampiList(tabella, lista);
        dlg.lstCampi = lista.voci;
    } catch (const ErroreCartigo& e) {
        mostraErrore(e);
        return;
    }
    dlg.SelezionaCampo(o->DataMember);
    ui_.cursoreNormale();
    ui_.dialogo(dlg);
    if (!dlg.Confermato) return;
    auto voci = ModificaProprieta::Voci({o}, [&dlg](OggettoEtichetta& c) {
        if (!dlg.Campo.isEmpty()) {
            c.DataMember = dlg.Campo;
            if (c.tipo == TipoOggetto::Testo) c.Caption = QLatin1Char('[') + dlg.Campo + QLatin1Char(']');
        } else {
            c.DataMember.clear();
            if (c.tipo == TipoOggetto::Testo) c.Caption = QStringLiteral("abc");
        }
    });
    if (!voci.empty()) doc_.Esegui(new ComandoCollegaCampo(doc_, std::move(voci)));
}

void ComandiDati::mnuSelezionaRecords_Click()
{
    if (!doc_.Connesso()) {
        ui_.beep();
        ui_.messaggio(LoadResString(156), LoadResString(157), Pulsanti::Ok, Icona::Esclamazione);
        return;
    }
    const CollegamentoDati prima = doc_.Collegamento();
    selezionaRecords();
    registra(prima, true, NomeModifica::CriteriSelezione);
}

void ComandiDati::selezionaRecords()
{
    auto& c = doc_.Collegamento();
    ui_.cursoreAttesa();
    RichiestaSelezioneRecords dlg;
    try {
        ElencoVoci combo;
        if (db_.IsQuery(c.NomeTabella))
            db_.CaricaListaCampiQuery(c.NomeTabella, combo);
        else
            db_.CaricaListaCampi(c.NomeTabella, combo);
        dlg.cmbCampi = combo.voci;
        dlg.selezionato = combo.ListIndex;
    } catch (const ErroreCartigo& e) {
        mostraErrore(e);
        return;
    }
    dlg.SelezionaCampo(c.CampoSelezione);
    dlg.optCriteri = c.TipoSelezione >= 0 && c.TipoSelezione <= 2 ? c.TipoSelezione : -1;
    dlg.txtCampo = {c.ValoreSelezione1, c.ValoreSelezione2, c.ValoreSelezione3};
    ui_.cursoreNormale();
    ui_.dialogo(dlg);
    if (!dlg.Confermato) return;
    c.CampoSelezione = dlg.Campo;
    c.TipoSelezione = dlg.Criterio;
    c.ValoreSelezione1 = dlg.Valore;
    c.ValoreSelezione2 = dlg.ValoreDa;
    c.ValoreSelezione3 = dlg.ValoreA;
}

QStringList ComandiDati::CampiTabella()
{
    if (!doc_.Connesso()) return {};
    try {
        ElencoVoci lista;
        db_.CaricaListaCampiList(doc_.Collegamento().NomeTabella, lista);
        return lista.voci;
    } catch (const ErroreCartigo&) {
        return {};
    }
}

bool ComandiDati::ConnettiDatabase(const QString& file, const QString& password, const QString& tabella)
{
    db_.SetNomeDatabase(file);
    db_.SetPasswordDb(password);
    ui_.cursoreAttesa();
    bool ok = db_.ConnettiDatabase();
    if (ok) {
        try {
            ok = db_.EsisteTabellaOQuery(tabella);
        } catch (const ErroreCartigo& e) {
            ok = mostraErrore(e);
        }
    }
    ui_.cursoreNormale();
    if (ok)
        SetConnesso();
    else
        SetDisconnesso();
    return ok;
}

}  // namespace cartigo
