#include "data/clsDatabase.h"

#include "data/DatabaseJet.h"
#include "data/DatabaseSql.h"
#include "data/RichiesteDati.h"

#include "label/Conversioni.h"
#include "label/FileEtichetta.h"
#include "shell/StringTable.h"

#include <QDir>

namespace cartigo {

namespace {
const QString kTitolo = QStringLiteral("objDatabase");

ErroreCartigo nonConnesso()
{
    return ErroreCartigo(91, QStringLiteral("Object variable or With block variable not set"));
}
}  // namespace

QString TestoErroreDatabase(const ErroreCartigo& e)
{
    return LoadResString(1406) + QString::number(e.numero()) + QLatin1Char('\r') + e.descrizione();
}

clsDatabase::clsDatabase(Interazione& ui) : ui_(ui) {}
clsDatabase::~clsDatabase() = default;

MotoreDati& clsDatabase::motore()
{
    if (!db_) throw nonConnesso();
    return *db_;
}

bool clsDatabase::ConnettiDatabase()
{
    const bool server = IndirizzoServer(nomeDatabase_);
    if (!server && !modCartigo::EsisteFile(nomeDatabase_)) {
        ultimoErrore_ = ErroreJet::PercorsoNonValido;
        ui_.cursoreNormale();
        ui_.beep();
        ui_.messaggio(LoadResString(1420) + nomeDatabase_ + QLatin1Char('.'), kTitolo, Pulsanti::Ok,
                      Icona::Esclamazione);
        return false;
    }
    QString password = passwordDb_;
    if (server && password.isEmpty()) password = passwordChieste_.value(nomeDatabase_);
    bool fermata = false;
    for (;;) {
        Interruzione attendi;
        if (server && attesa)
            attendi = [&fermata, i = attesa()](qint64 ms) { return fermata = fermata || (i && i(ms)); };
        try {
            // A new connection replaces the old one only when it succeeds.
            std::unique_ptr<MotoreDati> nuovo;
            if (server) {
                nuovo = DatabaseSql::ApriPostgres(nomeDatabase_, password, attendi);
            } else if (FileSqlite(nomeDatabase_)) {
                nuovo = DatabaseSql::ApriSqlite(nomeDatabase_);
            } else {
                LettoreProcesso::Opzioni o = LettoreProcesso::OpzioniPredefinite();
                if (progresso) o.progresso = progresso;
                nuovo = DatabaseJet::Apri(nomeDatabase_, QStringLiteral(";PWD=") + password, o);
            }
            db_ = std::move(nuovo);
            ultimoErrore_ = 0;
            if (server && password != passwordDb_) passwordChieste_.insert(nomeDatabase_, password);
            return true;
        } catch (const ErroreCartigo& e) {
            db_.reset();
            ultimoErrore_ = e.numero();
            attendi = nullptr;  // its window closes before any other shows
            ui_.cursoreNormale();
            if (fermata) return false;  // the user gave up waiting: nothing to say
            if (e.numero() == ErroreJet::PasswordRichiesta) {
                // The password for this run, asked with the server's words.
                RichiestaPasswordDatabase r;
                r.Indirizzo = NomeDatabaseVisibile(nomeDatabase_);
                r.Motivo = e.descrizione();
                if (ui_.dialogo(r) && r.Confermato) {
                    password = r.Password;
                    ui_.cursoreAttesa();
                    continue;
                }
            }
            ui_.beep();
            QString testo;
            switch (e.numero()) {
                case ErroreJet::PercorsoNonValido:
                    testo = LoadResString(1421) + nomeDatabase_ + LoadResString(1422);
                    break;
                case ErroreJet::FileBloccato:
                    testo = LoadResString(1423);
                    break;
                default:
                    testo = ErroreJet::ErroreServer(e.numero()) ? e.descrizione() : TestoErroreDatabase(e);
            }
            ui_.messaggio(testo, kTitolo, Pulsanti::Ok, Icona::Esclamazione);
            return false;
        }
    }
}

bool clsDatabase::DisconnettiDatabase()
{
    db_.reset();
    return false;
}

void clsDatabase::CaricaListaTabelle(ElencoVoci& lista)
{
    for (const auto& t : motore().Tabelle())
        if (t.attributi != AttributiDao::OggettoNascosto && t.attributi != AttributiDao::OggettoSistema)
            lista.AddItem(t.nome);
}

void clsDatabase::CaricaListaCampi(const QString& tabella, ElencoVoci& combo)
{
    CaricaListaCampiList(tabella, combo);
    if (combo.ListCount() > 0) combo.ListIndex = 0;
}

void clsDatabase::CaricaListaCampiList(const QString& tabella, ElencoVoci& lista)
{
    for (const auto& c : motore().Campi(tabella)) lista.AddItem(c.nome);
}

bool clsDatabase::IsQuery(const QString& nome)
{
    return motore().IsQuery(nome);
}

void clsDatabase::CaricaListaQueries(ElencoVoci& lista)
{
    for (const QString& q : motore().Query()) lista.AddItem(q);
}

void clsDatabase::CaricaListaCampiQuery(const QString& query, ElencoVoci& combo)
{
    CaricaListaCampi(query, combo);
}

void clsDatabase::CaricaListaCampiDaQueryList(const QString& query, ElencoVoci& lista)
{
    CaricaListaCampiList(query, lista);
}

QVariant clsDatabase::GetValoreCampo(const Recordset& rs, const QString& campo)
{
    const int tipo = rs.TipoCampo(campo);
    const QVariant v = rs.Valore(campo);
    switch (modCartigo::ClasseTipo(tipo)) {
        case 0:
            return v.isNull() ? QVariant(0) : v;
        case 1:
        case 2:
            return v.isNull() ? QVariant(QString()) : v;
        default:
            return {};
    }
}

qint16 clsDatabase::GetTipoCampo(const QString& tabella, const QString& campo)
{
    for (const auto& c : motore().Campi(tabella))
        if (c.nome.compare(campo, Qt::CaseInsensitive) == 0) {
            const int classe = modCartigo::ClasseTipo(c.tipo);
            return qint16(classe == 1 ? 1 : (classe == 2 ? 2 : 0));
        }
    throw ErroreDatabase(ErroreJet::ElementoNonTrovato,
                         QStringLiteral("Item '%1' not found in this collection.").arg(campo));
}

QVariant clsDatabase::ConnettiRecordset(std::unique_ptr<Recordset>& rs, const QString& tabella, const QString& campo,
                                        qint16 criterio, QString& valore, QString& da, QString& a)
{
    auto& m = motore();
    const ImpostazioniLocali loc = ImpostazioniLocali::correnti();

    // 1. The table's fields, and the type of the selection field when there is a criterion.
    CondizioneSelezione c;
    c.campo = campo;
    const QList<InfoCampo> campi = m.Campi(tabella);
    if (criterio == 1 || criterio == 2) {
        bool trovato = false;
        for (const auto& f : campi)
            if (f.nome.compare(campo, Qt::CaseInsensitive) == 0) {
                c.tipo = f.tipo;
                trovato = true;
            }
        if (!trovato)
            throw ErroreDatabase(ErroreJet::ElementoNonTrovato,
                                 QStringLiteral("Item '%1' not found in this collection.").arg(campo));
        c.criterio = criterio;
    }

    // 2. The values by the rules of the field's class.
    const auto data = [&](const QString& v) {
        if (!modCartigo::LeggiDataJet(v))
            throw ErroreCartigo(CodiceErrore::TipoNonCorrispondente,
                                (LinguaCorrente() == Lingua::Italiano
                                     ? QStringLiteral("Il valore \"%1\" non è una data valida per il campo %2.")
                                     : QStringLiteral("The value \"%1\" is not a valid date for the field %2."))
                                    .arg(v, campo));
        return QVariant(v);
    };
    c.classe = modCartigo::ClasseTipo(c.tipo);
    if (c.criterio != 0) {
        if (c.classe == 0) {
            // Read with the rule the values are written back with, so that they read the
            // same at the next print.
            const double v = modCartigo::LeggiNumero(valore, loc);
            const double x = modCartigo::LeggiNumero(da, loc);
            double y = modCartigo::LeggiNumero(a, loc);
            if (y == 0) y = SentinellaNumeroMax;
            valore = modCartigo::TestoNumero(v, loc);
            da = modCartigo::TestoNumero(x, loc);
            a = modCartigo::TestoNumero(y, loc);
            c.valori = criterio == 1 ? std::array<QVariant, 2>{v, {}} : std::array<QVariant, 2>{x, y};
        } else if (c.classe == 1) {
            if (da.isEmpty()) da = SentinellaTestoMin;
            if (a.isEmpty()) a = SentinellaTestoMax;
            c.valori = criterio == 1 ? std::array<QVariant, 2>{valore, {}} : std::array<QVariant, 2>{da, a};
        } else if (c.classe == 2) {
            c.valori =
                criterio == 1 ? std::array<QVariant, 2>{data(valore), {}} : std::array<QVariant, 2>{data(da), data(a)};
        }
    }

    // 3-4. The selection.
    rs = m.ApriSelezione(tabella, c);
    return {};
}

bool clsDatabase::EsisteTabella(const QString& nome)
{
    const QString cercato = nome.trimmed();
    for (const auto& t : motore().Tabelle())
        if (t.nome.trimmed() == cercato) return true;
    return false;
}

QString clsDatabase::NzCampo(const Recordset& rs, const QString& campo, const modCartigo::FormatoTesto& f) const
{
    return modCartigo::NzCampo(rs.Valore(campo), rs.TipoCampo(campo), f);
}

}  // namespace cartigo
