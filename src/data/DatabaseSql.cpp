#include "data/DatabaseSql.h"

#include "data/FunzioniJet.h"
#include "data/ValoriJet.h"
#include "shell/StringTable.h"

#include <libpq-fe.h>
#include <poll.h>
#include <sqlite3.h>
#include <sys/socket.h>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <QUrlQuery>
#include <chrono>
#include <climits>
#include <future>
#include <thread>
#include <vector>

namespace cartigo {

// --- addresses and files ---

std::optional<IndirizzoPostgres> IndirizzoPostgres::Leggi(const QString& testo)
{
    if (!IndirizzoServer(testo)) return std::nullopt;
    const QUrl url(testo.trimmed(), QUrl::StrictMode);
    if (!url.isValid()) return std::nullopt;
    IndirizzoPostgres a;
    a.utente = url.userName(QUrl::FullyDecoded);
    a.password = url.password(QUrl::FullyDecoded);
    a.host = url.host(QUrl::FullyDecoded);
    a.porta = url.port(-1);
    a.database = url.path(QUrl::FullyDecoded).mid(1);
    if (a.database.isEmpty() || a.database.contains(QLatin1Char('/'))) return std::nullopt;
    for (const auto& [chiave, valore] : QUrlQuery(url).queryItems(QUrl::FullyDecoded))
        a.opzioni << chiave + QLatin1Char('=') + valore;
    return a;
}

QString IndirizzoPostgres::Visibile() const
{
    QUrl url;
    url.setScheme(QStringLiteral("postgresql"));
    url.setUserName(utente);
    url.setHost(host);
    url.setPort(porta);
    url.setPath(QLatin1Char('/') + database);
    return url.toString();
}

bool IndirizzoServer(const QString& nome)
{
    const QString t = nome.trimmed();
    return t.startsWith(QLatin1String("postgresql://"), Qt::CaseInsensitive) ||
           t.startsWith(QLatin1String("postgres://"), Qt::CaseInsensitive);
}

QString NomeDatabaseVisibile(const QString& nome)
{
    if (!IndirizzoServer(nome)) return nome;
    const auto a = IndirizzoPostgres::Leggi(nome);
    return a ? a->Visibile() : QUrl(nome.trimmed()).toString(QUrl::RemovePassword);
}

bool FileSqlite(const QString& percorso)
{
    QFile f(percorso);
    return f.open(QIODevice::ReadOnly) && f.read(16) == QByteArray("SQLite format 3\0", 16);
}

// --- the connection ---

namespace {

// Asks the server to stop the statement its connection runs, and waits until the server
// has taken the request (then a statement that had already ended is left alone, and the
// next one is not touched). A server that does not take it within 5 seconds has stopped
// answering: the connection is given up, so that whatever waits on it ends.
void annullaStatement(PGconn* conn, PGcancel* annulla)
{
    if (!conn) return;
    if (!annulla) {
        ::shutdown(PQsocket(conn), SHUT_RDWR);
        return;
    }
    auto fatto = std::make_shared<std::promise<void>>();
    std::future<void> attesa = fatto->get_future();
    std::thread([annulla, fatto] {
        char errore[256];
        PQcancel(annulla, errore, int(sizeof errore));
        PQfreeCancel(annulla);
        fatto->set_value();
    }).detach();
    if (attesa.wait_for(std::chrono::seconds(5)) != std::future_status::ready) ::shutdown(PQsocket(conn), SHUT_RDWR);
}

}  // namespace

struct DatabaseSql::Connessione {
    QString nome;  // of the Qt connection
    QString visibile;
    bool postgres = false;
    bool inLettura = false;  // a record set holds the connection's one reading
    Interruzione interrompi;
    mutable QElapsedTimer inizio;  // of the statement running, for the interruption
    // A server's address and password, for the connection that counts a selection.
    IndirizzoPostgres indirizzo;
    QString password;

    QSqlDatabase db() const { return QSqlDatabase::database(nome, false); }
    PGconn* pg() const
    {
        if (!postgres) return nullptr;
        const QVariant h = db().driver()->handle();
        if (!h.isValid()) return nullptr;
        return qstrcmp(h.typeName(), "PGconn*") == 0 || qstrcmp(h.typeName(), "pg_conn*") == 0
                   ? *static_cast<PGconn* const*>(h.constData())
                   : nullptr;
    }
    ~Connessione()
    {
        {
            QSqlDatabase d = db();
            d.close();
        }
        QSqlDatabase::removeDatabase(nome);
    }
    // The failure of a statement, naming the database.
    ErroreCartigo errore(const QSqlError& e) const
    {
        return ErroreDatabase(ErroreJet::ChiamataFallita, LoadResString(1818).arg(visibile, e.text().trimmed()));
    }
    ErroreCartigo interrotta() const
    {
        return ErroreDatabase(ErroreJet::ChiamataFallita,
                              LoadResString(1818).arg(visibile, QStringLiteral("the statement was stopped")));
    }
    // Qt's driver waits for a server inside libpq, where nothing else can run: with an
    // interruption, the wait (`lavoro`) runs on a thread of its own while this one asks the
    // interruption every 50 ms (a wait window stays alive and its Cancel is seen); when it
    // says stop, the server is asked to stop the statement. True when it was stopped.
    // SQLite asks the interruption itself, from its progress handler.
    bool attendi(const std::function<void()>& lavoro) const
    {
        PGconn* conn = interrompi ? pg() : nullptr;
        if (!conn) {
            lavoro();
            return false;
        }
        PGcancel* annulla = PQgetCancel(conn);
        std::future<void> fatto = std::async(std::launch::async, lavoro);
        bool fermato = false;
        QElapsedTimer dalFermo;
        try {
            while (fatto.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready) {
                if (!fermato && interrompi(inizio.elapsed())) {
                    fermato = true;
                    annullaStatement(conn, std::exchange(annulla, nullptr));
                    dalFermo.start();
                } else if (fermato && dalFermo.elapsed() > 5000) {
                    ::shutdown(PQsocket(conn), SHUT_RDWR);  // the server took the request but goes on
                    dalFermo.start();
                }
            }
        } catch (...) {
            if (!fermato) annullaStatement(conn, std::exchange(annulla, nullptr));
            fatto.wait();
            throw;
        }
        if (annulla) PQfreeCancel(annulla);
        fatto.get();
        return fermato;
    }
    // The next record of a server's reading arrives without Qt's driver waiting for it: until
    // it is there, the interruption is asked every 50 ms; true when it said stop (the server
    // has then been asked to stop the statement).
    bool attendiRecord() const
    {
        PGconn* conn = interrompi ? pg() : nullptr;
        if (!conn) return false;
        // (more is read from the server only when what was read is used up, as the driver
        // does: the records never pile up in memory)
        while (PQisBusy(conn)) {
            pollfd p{PQsocket(conn), POLLIN, 0};
            if (::poll(&p, 1, 50) > 0 && !PQconsumeInput(conn)) break;
            if (interrompi(inizio.elapsed())) {
                annullaStatement(conn, PQgetCancel(conn));
                return true;
            }
        }
        return false;  // there, or the connection failed: the reading says which
    }
    QSqlQuery esegui(const QString& sql, const QVariantList& valori = {}) const
    {
        QSqlQuery q(db());
        q.setForwardOnly(true);
        inizio.start();
        bool ok = false;
        if (attendi([&] {
                ok = valori.isEmpty() ? q.exec(sql) : q.prepare(sql);
                if (ok && !valori.isEmpty()) {
                    for (const QVariant& v : valori) q.addBindValue(v);
                    ok = q.exec();
                }
            }))
            throw interrotta();
        if (!ok) throw errore(q.lastError());
        return q;
    }
    // Ends a server's reading that has not reached its end: the driver would otherwise
    // read what is left of it (without end, for a query without end).
    void fermaLettura() const
    {
        if (PGconn* conn = pg()) annullaStatement(conn, PQgetCancel(conn));
    }
};

namespace {

std::shared_ptr<DatabaseSql::Connessione> nuovaConnessione(const QString& driver, const QString& pacchetto,
                                                           const QString& visibile)
{
    if (!QSqlDatabase::isDriverAvailable(driver))
        throw ErroreDatabase(ErroreJet::DriverMancante, LoadResString(1813).arg(driver, pacchetto));
    static int numero = 0;
    auto c = std::make_shared<DatabaseSql::Connessione>();
    c->nome = QStringLiteral("cartigo-%1").arg(++numero);
    c->visibile = visibile;
    QSqlDatabase::addDatabase(driver, c->nome);
    return c;
}

QString virgolette(const QString& nome)
{
    QString s = nome;
    s.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + s + QLatin1Char('"');
}

// The address's options, and the limits every connection to a server keeps unless the
// address sets its own: 10 seconds to connect and to be let in (a server that accepts
// and never answers included), and a connection whose server no longer acknowledges
// what is sent, or answers no keepalive, is given up after 30 seconds.
QStringList OpzioniConnessione(const IndirizzoPostgres& a)
{
    QStringList opzioni = a.opzioni;
    const auto manca = [&](const char* nome) {
        return opzioni.filter(QRegularExpression(QStringLiteral("^%1=").arg(QLatin1String(nome)))).isEmpty();
    };
    for (const auto& [nome, valore] : {std::pair{"connect_timeout", "10"}, std::pair{"tcp_user_timeout", "30000"},
                                       std::pair{"keepalives_idle", "15"}, std::pair{"keepalives_interval", "5"},
                                       std::pair{"keepalives_count", "3"}})
        if (manca(nome)) opzioni << QStringLiteral("%1=%2").arg(QLatin1String(nome), QLatin1String(valore));
    return opzioni;
}

// Tries the connection the way Qt's driver will make it, without waiting inside libpq:
// every 50 ms the interruption (when there is one) is asked, and the address's connect
// limit is kept (libpq keeps it only when it waits itself). A failure throws the error of
// the connection, PasswordRichiesta when libpq judged that the server asked for a
// password that was missing or wrong (its messages are translated, so they cannot be
// read for it); a connection the interruption stopped throws ConnessioneFallita.
void ProvaConnessione(const IndirizzoPostgres& a, const QString& password, const Interruzione& interrompi)
{
    std::vector<QByteArray> chiavi, valori;
    const auto aggiungi = [&](const char* k, const QString& v) {
        if (v.isEmpty()) return;
        chiavi.emplace_back(k);
        valori.push_back(v.toUtf8());
    };
    aggiungi("host", a.host);
    aggiungi("port", a.porta > 0 ? QString::number(a.porta) : QString());
    aggiungi("user", a.utente);
    aggiungi("dbname", a.database);
    aggiungi("password", password);
    int limite = 0;
    for (const QString& o : OpzioniConnessione(a)) {
        const int uguale = int(o.indexOf(QLatin1Char('=')));
        chiavi.push_back(o.left(uguale).toUtf8());
        valori.push_back(o.mid(uguale + 1).toUtf8());
        if (chiavi.back() == "connect_timeout") limite = valori.back().trimmed().toInt();
    }
    if (limite > 0) limite = std::max(limite, 2);  // as libpq takes it
    std::vector<const char*> k, v;
    for (size_t i = 0; i < chiavi.size(); ++i) {
        k.push_back(chiavi[i].constData());
        v.push_back(valori[i].constData());
    }
    k.push_back(nullptr);
    v.push_back(nullptr);
    std::unique_ptr<PGconn, void (*)(PGconn*)> conn(PQconnectStartParams(k.data(), v.data(), 0), PQfinish);
    const auto rifiuto = [&](const QString& motivo, bool password) {
        return ErroreDatabase(password ? ErroreJet::PasswordRichiesta : ErroreJet::ConnessioneFallita,
                              LoadResString(1810).arg(a.Visibile(), motivo.trimmed()));
    };
    if (!conn) throw rifiuto(QStringLiteral("out of memory"), false);
    QElapsedTimer tempo;
    tempo.start();
    PostgresPollingStatusType stato = PGRES_POLLING_WRITING;
    while (PQstatus(conn.get()) != CONNECTION_BAD && stato != PGRES_POLLING_OK && stato != PGRES_POLLING_FAILED) {
        pollfd p{PQsocket(conn.get()), short(stato == PGRES_POLLING_READING ? POLLIN : POLLOUT), 0};
        if (p.fd >= 0 && ::poll(&p, 1, 50) > 0) {
            stato = PQconnectPoll(conn.get());
            continue;
        }
        if (p.fd < 0) stato = PQconnectPoll(conn.get());
        if (interrompi && interrompi(tempo.elapsed()))
            throw rifiuto(QStringLiteral("the connection was stopped"), false);
        if (limite > 0 && tempo.elapsed() > qint64(limite) * 1000) throw rifiuto(QStringLiteral("timeout expired"), false);
    }
    if (PQstatus(conn.get()) == CONNECTION_OK) return;
    throw rifiuto(QString::fromUtf8(PQerrorMessage(conn.get())),
                  PQconnectionNeedsPassword(conn.get()) || PQconnectionUsedPassword(conn.get()));
}

// A connection to a server, tried first without waiting (ProvaConnessione) and then made
// by Qt's driver; failures throw ErroreCartigo.
std::shared_ptr<DatabaseSql::Connessione> ConnettiPostgres(const IndirizzoPostgres& a, const QString& password,
                                                           const Interruzione& interrompi)
{
    auto c = nuovaConnessione(QStringLiteral("QPSQL"), QStringLiteral("libqt6sql6-psql"), a.Visibile());
    c->postgres = true;
    c->indirizzo = a;
    c->password = password;
    ProvaConnessione(a, password, interrompi);
    QSqlDatabase db = c->db();
    if (!a.host.isEmpty()) db.setHostName(a.host);
    if (a.porta > 0) db.setPort(a.porta);
    if (!a.utente.isEmpty()) db.setUserName(a.utente);
    db.setDatabaseName(a.database);
    if (!password.isEmpty()) db.setPassword(password);
    db.setConnectOptions(OpzioniConnessione(a).join(QLatin1Char(';')));
    if (!db.open())
        throw ErroreDatabase(ErroreJet::ConnessioneFallita,
                             LoadResString(1810).arg(a.Visibile(), db.lastError().databaseText().trimmed()));
    return c;
}

// A value as the print reads it: dates and times as date-times (a time alone on Jet's
// base day, 30 December 1899).
QVariant valoreLetto(const QVariant& v)
{
    if (v.isNull()) return {};
    switch (v.typeId()) {
        case QMetaType::QDate:
            return QDateTime(v.toDate(), QTime(0, 0), Qt::UTC);
        case QMetaType::QTime:
            return QDateTime(QDate(1899, 12, 30), v.toTime(), Qt::UTC);
        default:
            return v;
    }
}

// The records of one selection, read from the server one at a time inside a read-only
// transaction, so that the count and the records agree.
class RecordsetSql : public Recordset {
public:
    // `conta` gives the count when it is first asked for.
    RecordsetSql(std::shared_ptr<DatabaseSql::Connessione> c, QList<InfoCampo> campi, std::function<int()> conta,
                 QSqlQuery q)
        : c_(std::move(c)), campi_(std::move(campi)), conta_(std::move(conta)), q_(std::move(q))
    {
        leggi();
    }
    ~RecordsetSql() override
    {
        if (!eof_) c_->fermaLettura();
        q_.finish();
        q_ = QSqlQuery();
        c_->db().rollback();
        c_->inLettura = false;
    }
    bool Eof() const override { return eof_; }
    void MoveNext() override
    {
        if (!eof_) leggi();
    }
    int RecordCount() const override
    {
        if (conteggio_ < 0) conteggio_ = conta_();
        return conteggio_;
    }
    const QList<InfoCampo>& Campi() const override { return campi_; }
    QVariant Valore(int indice) const override
    {
        if (eof_) throw ErroreDatabase(ErroreJet::NessunRecordCorrente, QStringLiteral("No current record."));
        return riga_.value(indice);
    }

private:
    void leggi()
    {
        c_->inizio.start();
        // (the first record came with the statement)
        if (q_.at() != QSql::BeforeFirstRow && c_->attendiRecord()) {
            eof_ = true;
            riga_.clear();
            throw c_->interrotta();
        }
        if (!q_.next()) {
            eof_ = true;
            riga_.clear();
            // The end of the records, or a server that went away.
            if (q_.lastError().isValid())
                throw ErroreDatabase(ErroreJet::ChiamataFallita,
                                     LoadResString(1811).arg(c_->visibile, q_.lastError().text().trimmed()));
            return;
        }
        riga_.resize(campi_.size());
        for (int i = 0; i < campi_.size(); ++i) riga_[i] = valoreLetto(q_.value(i));
    }

    std::shared_ptr<DatabaseSql::Connessione> c_;
    QList<InfoCampo> campi_;
    std::function<int()> conta_;
    mutable int conteggio_ = -1;
    QSqlQuery q_;
    QList<QVariant> riga_;
    bool eof_ = false;
};

}  // namespace

// --- the engine ---

DatabaseSql::DatabaseSql() = default;
DatabaseSql::~DatabaseSql() = default;

std::unique_ptr<DatabaseSql> DatabaseSql::ApriSqlite(const QString& percorso)
{
    if (!FileSqlite(percorso))
        throw ErroreDatabase(ErroreJet::ConnessioneFallita,
                             LoadResString(1817).arg(percorso, QStringLiteral("file is not a database")));
    std::unique_ptr<DatabaseSql> d(new DatabaseSql);
    d->c_ = nuovaConnessione(QStringLiteral("QSQLITE"), QStringLiteral("libqt6sql6-sqlite"), percorso);
    QSqlDatabase db = d->c_->db();
    db.setDatabaseName(percorso);
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
    if (!db.open())
        throw ErroreDatabase(ErroreJet::ConnessioneFallita, LoadResString(1817).arg(percorso, db.lastError().text()));
    // Texts compare as Jet compares them: without regard to case.
    const QVariant h = db.driver()->handle();
    if (h.isValid() && qstrcmp(h.typeName(), "sqlite3*") == 0)
        if (sqlite3* s = *static_cast<sqlite3* const*>(h.constData())) {
            RegistraFunzioniJet(s);
            // Every thousand steps of the machine a statement runs on, the interruption is asked.
            sqlite3_progress_handler(
                s, 1000,
                [](void* p) {
                    auto* c = static_cast<Connessione*>(p);
                    return c->interrompi && c->interrompi(c->inizio.elapsed()) ? 1 : 0;
                },
                d->c_.get());
        }
    try {
        d->leggiCatalogo();
    } catch (const ErroreCartigo& e) {
        throw ErroreDatabase(ErroreJet::ConnessioneFallita, LoadResString(1817).arg(percorso, e.descrizione()));
    }
    return d;
}

std::unique_ptr<DatabaseSql> DatabaseSql::ApriPostgres(const QString& indirizzo, const QString& password,
                                                      const Interruzione& attesa)
{
    const auto a = IndirizzoPostgres::Leggi(indirizzo);
    if (!a)
        throw ErroreDatabase(ErroreJet::ConnessioneFallita,
                             LoadResString(1810).arg(NomeDatabaseVisibile(indirizzo), LoadResString(1819)));
    std::unique_ptr<DatabaseSql> d(new DatabaseSql);
    d->c_ = ConnettiPostgres(*a, password.isEmpty() ? a->password : password, attesa);
    d->c_->interrompi = attesa;
    try {
        d->leggiCatalogo();
    } catch (const ErroreCartigo& e) {
        throw ErroreDatabase(ErroreJet::ConnessioneFallita, e.descrizione());
    }
    d->c_->interrompi = {};
    return d;
}

void DatabaseSql::leggiCatalogo()
{
    if (c_->postgres) {
        QSqlQuery q = c_->esegui(QStringLiteral(
            "SELECT n.nspname, c.relname FROM pg_catalog.pg_class c "
            "JOIN pg_catalog.pg_namespace n ON n.oid = c.relnamespace "
            "WHERE c.relkind IN ('r', 'p', 'v', 'm', 'f') AND NOT c.relispartition "
            "AND n.nspname NOT IN ('pg_catalog', 'information_schema') AND n.nspname NOT LIKE 'pg\\_toast%' "
            "AND pg_catalog.has_table_privilege(c.oid, 'SELECT') "
            "ORDER BY n.nspname <> 'public', n.nspname, c.relname"));
        while (q.next()) {
            const QString schema = q.value(0).toString(), nome = q.value(1).toString();
            InfoTabella t;
            t.nome = schema == QLatin1String("public") ? nome : schema + QLatin1Char('.') + nome;
            tabelle_ << t;
            nomiSql_.insert(t.nome, virgolette(schema) + QLatin1Char('.') + virgolette(nome));
        }
        return;
    }
    QSqlQuery q =
        c_->esegui(QStringLiteral("SELECT name FROM sqlite_master WHERE type IN ('table', 'view') "
                                  "AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' ORDER BY rowid"));
    while (q.next()) {
        InfoTabella t;
        t.nome = q.value(0).toString();
        tabelle_ << t;
        nomiSql_.insert(t.nome, virgolette(t.nome));
    }
}

QString DatabaseSql::nomeSql(const QString& tabella) const
{
    return nomiSql_.value(tabellaElencata(tabella));
}

QString DatabaseSql::tabellaElencata(const QString& tabella) const
{
    if (nomiSql_.contains(tabella)) return tabella;
    for (auto it = nomiSql_.cbegin(); it != nomiSql_.cend(); ++it)
        if (it.key().compare(tabella, Qt::CaseInsensitive) == 0) return it.key();
    throw ErroreDatabase(ErroreJet::TabellaNonTrovata,
                         QStringLiteral("The database engine cannot find the input table or query '%1'. Make sure it "
                                        "exists and that its name is spelled correctly.")
                             .arg(tabella));
}

QList<InfoCampo> DatabaseSql::Campi(const QString& nome)
{
    const QString sql = nomeSql(nome);
    if (const auto it = campi_.constFind(sql); it != campi_.cend()) return *it;
    QList<InfoCampo> campi;
    if (c_->postgres) {
        // A domain counts as the type it is made of.
        QSqlQuery q = c_->esegui(QStringLiteral("SELECT a.attname, CASE WHEN t.typtype = 'd' THEN t.typbasetype "
                                                "ELSE a.atttypid END FROM pg_catalog.pg_attribute a "
                                                "JOIN pg_catalog.pg_type t ON t.oid = a.atttypid "
                                                "WHERE a.attrelid = CAST(? AS regclass) AND a.attnum > 0 "
                                                "AND NOT a.attisdropped ORDER BY a.attnum"),
                                 {sql});
        while (q.next()) campi << InfoCampo{q.value(0).toString(), TipoDaPostgres(q.value(1).toInt())};
    } else {
        QSqlQuery q =
            c_->esegui(QStringLiteral("SELECT name, type FROM pragma_table_info(?)"), {tabellaElencata(nome)});
        while (q.next()) campi << InfoCampo{q.value(0).toString(), TipoDaSqlite(q.value(1).toString())};
    }
    campi_.insert(sql, campi);
    return campi;
}

std::unique_ptr<Recordset> DatabaseSql::ApriSelezione(const QString& tabella, const CondizioneSelezione& c)
{
    const QString sql = nomeSql(tabella);
    const QList<InfoCampo> campi = Campi(tabella);
    if (c_->inLettura)
        throw ErroreDatabase(ErroreJet::ChiamataFallita,
                             LoadResString(1818).arg(c_->visibile, QStringLiteral("another selection is being read")));

    // The condition, with its values bound.
    QString w;
    QVariantList valori;
    if ((c.criterio == 1 || c.criterio == 2) && c.classe >= 0 && c.classe <= 2) {
        const bool pg = c_->postgres;
        const bool ora = c.classe == 2 && c.tipo == TipoDao::Time;
        // The field as the table spells it.
        QString campo = c.campo;
        for (const InfoCampo& f : campi)
            if (f.nome.compare(c.campo, Qt::CaseInsensitive) == 0) campo = f.nome;
        campo = virgolette(campo);
        QString valore = QStringLiteral("?");
        switch (c.classe) {
            case 0:
                // Jet's true is -1.
                if (pg && c.tipo == TipoDao::Boolean)
                    campo = QStringLiteral("(CASE WHEN %1 THEN -1 ELSE 0 END)").arg(campo);
                if (pg) valore = QStringLiteral("CAST(? AS numeric)");
                break;
            case 1:
                if (pg) {
                    campo = QStringLiteral("lower(CAST(%1 AS text))").arg(campo);
                    valore = QStringLiteral("lower(CAST(? AS text))");
                } else {
                    campo += QStringLiteral(" COLLATE JETTEXT");
                }
                break;
            default:
                if (pg) {
                    valore = ora ? QStringLiteral("CAST(? AS time)") : QStringLiteral("CAST(? AS timestamp)");
                } else {
                    campo = QStringLiteral("datetime(%1)").arg(campo);
                    valore = QStringLiteral("datetime(?)");
                }
        }
        const int n = c.criterio == 1 ? 1 : 2;
        for (int i = 0; i < n; ++i) {
            const QVariant& v = c.valori[size_t(i)];
            if (c.classe == 0) {
                valori << (pg ? QVariant(modCartigo::TestoNumero(v.toDouble(), ImpostazioniLocali::inglese()))
                              : QVariant(v.toDouble()));
            } else if (c.classe == 1) {
                valori << v.toString();
            } else {
                const QDateTime d = modCartigo::LeggiDataJet(v.toString()).value_or(QDateTime());
                valori << (ora ? d.time().toString(QStringLiteral("HH:mm:ss")) : modCartigo::DataIso(d));
            }
        }
        w = c.criterio == 1 ? QStringLiteral(" WHERE %1 = %2").arg(campo, valore)
                            : QStringLiteral(" WHERE %1 BETWEEN %2 AND %2").arg(campo, valore);
    }

    // The count and the records from one snapshot of the data.
    QSqlDatabase db = c_->db();
    c_->esegui(c_->postgres ? QStringLiteral("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY")
                            : QStringLiteral("BEGIN"));
    try {
        const QString testoConta = QStringLiteral("SELECT count(*) FROM ") + sql + w;
        const auto conta = [testoConta, valori](const DatabaseSql::Connessione& c) {
            QSqlQuery q = c.esegui(testoConta, valori);
            const qint64 n = q.next() ? q.value(0).toLongLong() : 0;
            return int(std::min<qint64>(n, INT_MAX));
        };
        // SQLite counts beside the reading, in the same transaction, when asked: a
        // selection that is only read in part is never walked whole.
        std::function<int()> conteggio = [c = c_, conta] { return conta(*c); };
        if (c_->postgres) {
            // A server's connection reads one statement at a time: the count, when asked,
            // is made on a connection of its own, which sees the reading's snapshot of the
            // data (exported by the reading's transaction while it lasts).
            QString istantanea;
            {
                QSqlQuery q = c_->esegui(QStringLiteral("SELECT pg_catalog.pg_export_snapshot()"));
                if (q.next()) istantanea = q.value(0).toString();
            }
            if (!QRegularExpression(QStringLiteral("^[0-9A-Fa-f-]+$")).match(istantanea).hasMatch())
                istantanea.clear();
            conteggio = [c = c_, conta, istantanea] {
                const auto k = ConnettiPostgres(c->indirizzo, c->password, c->interrompi);
                k->interrompi = c->interrompi;
                k->esegui(QStringLiteral("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY"));
                if (!istantanea.isEmpty())
                    k->esegui(QStringLiteral("SET TRANSACTION SNAPSHOT '%1'").arg(istantanea));
                return conta(*k);
            };
        }
        QSqlQuery q = c_->esegui(QStringLiteral("SELECT * FROM ") + sql + w, valori);
        c_->inLettura = true;
        return std::make_unique<RecordsetSql>(c_, campi, std::move(conteggio), std::move(q));
    } catch (...) {
        c_->inLettura = false;
        db.rollback();
        throw;
    }
}

void DatabaseSql::ImpostaInterruzione(Interruzione i)
{
    c_->interrompi = std::move(i);
}

// --- types ---

int DatabaseSql::TipoDaSqlite(const QString& dichiarato)
{
    const QString t = dichiarato.toUpper();
    if (t.contains(QLatin1String("BOOL"))) return TipoDao::Boolean;
    if (t.contains(QLatin1String("DATE")) || t.contains(QLatin1String("TIMESTAMP"))) return TipoDao::Date;
    if (t.contains(QLatin1String("TIME"))) return TipoDao::Time;
    if (t.contains(QLatin1String("BIGINT")) || t.contains(QLatin1String("INT8"))) return TipoDao::BigInt;
    if (t.contains(QLatin1String("INT"))) return TipoDao::Long;
    if (t.contains(QLatin1String("CHAR")) || t.contains(QLatin1String("CLOB")) || t.contains(QLatin1String("TEXT")))
        return TipoDao::Text;
    if (t.contains(QLatin1String("BLOB"))) return TipoDao::LongBinary;
    if (t.contains(QLatin1String("REAL")) || t.contains(QLatin1String("FLOA")) || t.contains(QLatin1String("DOUB")))
        return TipoDao::Double;
    if (t.contains(QLatin1String("MONEY")) || t.contains(QLatin1String("CURRENCY"))) return TipoDao::Currency;
    if (t.contains(QLatin1String("NUM")) || t.contains(QLatin1String("DEC"))) return TipoDao::Decimal;
    return TipoDao::Text;  // no declared type: any value, compared as text
}

int DatabaseSql::TipoDaPostgres(int oid)
{
    switch (oid) {
        case 16:
            return TipoDao::Boolean;
        case 20:
            return TipoDao::BigInt;
        case 21:
            return TipoDao::Integer;
        case 23:
        case 26:
            return TipoDao::Long;
        case 700:
            return TipoDao::Single;
        case 701:
            return TipoDao::Double;
        case 1700:
            return TipoDao::Decimal;
        case 1042:
            return TipoDao::Char;
        case 1082:
            return TipoDao::Date;
        case 1083:
        case 1266:
            return TipoDao::Time;
        case 1114:
        case 1184:
            return TipoDao::TimeStamp;
        case 17:
            return TipoDao::LongBinary;
        default:
            return TipoDao::Text;  // text, varchar, uuid, json, money, ... as their text
    }
}

}  // namespace cartigo
