#include "data/clsDatabase.h"

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

DatabaseJet& clsDatabase::motore()
{
    if (!db_) throw nonConnesso();
    return *db_;
}

bool clsDatabase::ConnettiDatabase()
{
    if (!modCartigo::EsisteFile(nomeDatabase_)) {
        ui_.cursoreNormale();
        ui_.beep();
        ui_.messaggio(LoadResString(1420) + nomeDatabase_ + QLatin1Char('.'), kTitolo, Pulsanti::Ok,
                      Icona::Esclamazione);
        return false;
    }
    try {
        LettoreProcesso::Opzioni o = LettoreProcesso::OpzioniPredefinite();
        if (progresso) o.progresso = progresso;
        // A new connection replaces the old one only when it succeeds.
        auto nuovo = DatabaseJet::Apri(nomeDatabase_, QStringLiteral(";PWD=") + passwordDb_, o);
        db_ = std::move(nuovo);
        return true;
    } catch (const ErroreCartigo& e) {
        db_.reset();
        ui_.cursoreNormale();
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
                testo = TestoErroreDatabase(e);
        }
        ui_.messaggio(testo, kTitolo, Pulsanti::Ok, Icona::Esclamazione);
        return false;
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

QVariant clsDatabase::GetValoreCampo(const RecordsetJet& rs, const QString& campo)
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

QVariant clsDatabase::ConnettiRecordset(std::unique_ptr<RecordsetJet>& rs, const QString& tabella, const QString& campo,
                                        qint16 criterio, QString& valore, QString& da, QString& a)
{
    auto& m = motore();
    const ImpostazioniLocali loc = ImpostazioniLocali::correnti();

    // 1. The table's fields, and the type of the selection field when there is a criterion.
    int tipo = 0;
    const QList<InfoCampo> campi = m.Campi(tabella);
    if (criterio == 1 || criterio == 2) {
        bool trovato = false;
        for (const auto& c : campi)
            if (c.nome.compare(campo, Qt::CaseInsensitive) == 0) {
                tipo = c.tipo;
                trovato = true;
            }
        if (!trovato)
            throw ErroreDatabase(ErroreJet::ElementoNonTrovato,
                                 QStringLiteral("Item '%1' not found in this collection.").arg(campo));
    }

    // 2. The condition.
    auto testoSql = [](const QString& v) {
        QString s = v;
        s.replace(QLatin1Char('\''), QLatin1String("''"));
        return QLatin1Char('\'') + s + QLatin1Char('\'');
    };
    auto numeroSql = [](double v) { return modCartigo::TestoNumero(v, ImpostazioniLocali::inglese()); };
    auto dataSql = [&](const QString& v) {
        if (!modCartigo::LeggiDataJet(v))
            throw ErroreCartigo(CodiceErrore::TipoNonCorrispondente,
                                (LinguaCorrente() == Lingua::Italiano
                                     ? QStringLiteral("Il valore \"%1\" non è una data valida per il campo %2.")
                                     : QStringLiteral("The value \"%1\" is not a valid date for the field %2."))
                                    .arg(v, campo));
        QString s = v.trimmed();
        return QLatin1Char('#') + s + QLatin1Char('#');
    };
    const int classe = modCartigo::ClasseTipo(tipo);
    QString w;
    if (criterio == 1 || criterio == 2) {
        const QString f = QStringLiteral("[") + campo + QStringLiteral("]");
        if (classe == 0) {
            // Read with the rule the values are written back with, so that they read the
            // same at the next print.
            const double v = modCartigo::LeggiNumero(valore, loc);
            const double x = modCartigo::LeggiNumero(da, loc);
            double y = modCartigo::LeggiNumero(a, loc);
            if (y == 0) y = SentinellaNumeroMax;
            valore = modCartigo::TestoNumero(v, loc);
            da = modCartigo::TestoNumero(x, loc);
            a = modCartigo::TestoNumero(y, loc);
            w = criterio == 1 ? QStringLiteral("WHERE %1 = %2").arg(f, numeroSql(v))
                              : QStringLiteral("WHERE %1 Between %2 AND %3").arg(f, numeroSql(x), numeroSql(y));
        } else if (classe == 1) {
            if (da.isEmpty()) da = SentinellaTestoMin;
            if (a.isEmpty()) a = SentinellaTestoMax;
            w = criterio == 1 ? QStringLiteral("WHERE %1 = %2").arg(f, testoSql(valore))
                              : QStringLiteral("WHERE %1 Between %2 AND %3").arg(f, testoSql(da), testoSql(a));
        } else if (classe == 2) {
            w = criterio == 1 ? QStringLiteral("WHERE %1 = %2").arg(f, dataSql(valore))
                              : QStringLiteral("WHERE %1 Between %2 AND %3").arg(f, dataSql(da), dataSql(a));
        }
    }

    // 3-4. The selection.
    rs = m.ApriRecordset(QStringLiteral("SELECT * From [") + tabella + QStringLiteral("] ") + w + QLatin1Char(';'));
    return {};
}

bool clsDatabase::EsisteTabella(const QString& nome)
{
    const QString cercato = nome.trimmed();
    for (const auto& t : motore().Tabelle())
        if (t.nome.trimmed() == cercato) return true;
    return false;
}

QString clsDatabase::NzCampo(const RecordsetJet& rs, const QString& campo, const modCartigo::FormatoTesto& f) const
{
    return modCartigo::NzCampo(rs.Valore(campo), rs.TipoCampo(campo), f);
}

}  // namespace cartigo
