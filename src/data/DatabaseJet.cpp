#include "data/DatabaseJet.h"

#include "data/FlussoRighe.h"
#include "data/FunzioniJet.h"
#include "data/IntestazioneMdb.h"
#include "data/JetSql.h"
#include "data/SorgenteCsv.h"
#include "data/SorgenteFoglio.h"
#include "data/ValoriJet.h"

#include "shell/StringTable.h"

#include <sqlite3.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <optional>
#include <utility>

namespace cartigo {

// --- RecordsetJet ---

RecordsetJet::RecordsetJet(QList<InfoCampo> campi, std::vector<QList<QVariant>> righe)
    : campi_(std::move(campi)), righe_(std::move(righe))
{
}

void RecordsetJet::MoveNext()
{
    if (pos_ < int(righe_.size())) ++pos_;
}

void RecordsetJet::MovePrevious()
{
    if (pos_ >= 0) --pos_;
}

QVariant RecordsetJet::Valore(int indice) const
{
    if (Eof() || Bof()) throw ErroreDatabase(ErroreJet::NessunRecordCorrente, QStringLiteral("No current record."));
    return righe_.at(size_t(pos_)).value(indice);
}

// --- DatabaseJet ---

namespace {

QString chiave(const QString& nome)
{
    return nome.toLower();
}

struct Istruzione {
    sqlite3_stmt* st = nullptr;
    Istruzione() = default;
    Istruzione(Istruzione&& o) noexcept : st(std::exchange(o.st, nullptr)) {}
    Istruzione& operator=(Istruzione&&) = delete;
    ~Istruzione() { sqlite3_finalize(st); }
};

// Binds ?1, ?2 ... to numbers (doubles) and texts.
void lega(sqlite3* db, sqlite3_stmt* st, const QVariantList& valori)
{
    for (int i = 0; i < valori.size(); ++i) {
        const QVariant& v = valori[i];
        int rc = SQLITE_OK;
        if (v.typeId() == QMetaType::Double) {
            rc = sqlite3_bind_double(st, i + 1, v.toDouble());
        } else {
            const QByteArray t = v.toString().toUtf8();
            rc = sqlite3_bind_text(st, i + 1, t.constData(), int(t.size()), SQLITE_TRANSIENT);
        }
        if (rc != SQLITE_OK) throw ErroreDatabase(ErroreJet::SintassiSql, QString::fromUtf8(sqlite3_errmsg(db)));
    }
}

QString testoColonna(sqlite3_stmt* st, int i)
{
    const auto* t = sqlite3_column_text(st, i);
    return t ? QString::fromUtf8(reinterpret_cast<const char*>(t), sqlite3_column_bytes(st, i)) : QString();
}

// Binds a row of the reader's stream to ?1, ?2 ...
void legaRiga(sqlite3_stmt* st, const std::vector<ValoreRiga>& valori)
{
    for (size_t i = 0; i < valori.size(); ++i) {
        const ValoreRiga& v = valori[i];
        const int p = int(i + 1);
        switch (v.tipo) {
            case 'I':
                sqlite3_bind_int64(st, p, v.intero);
                break;
            case 'F':
                sqlite3_bind_double(st, p, v.reale);
                break;
            case 'S':
                sqlite3_bind_text(st, p, v.byte.data(), int(v.byte.size()), SQLITE_TRANSIENT);
                break;
            case 'B':
                sqlite3_bind_blob(st, p, v.byte.data(), int(v.byte.size()), SQLITE_TRANSIENT);
                break;
            default:
                sqlite3_bind_null(st, p);
        }
    }
}

[[noreturn]] void tabellaDanneggiata(const QString& file, const QString& motivo)
{
    throw ErroreDatabase(ErroreJet::DatabaseNonApribile,
                         QStringLiteral("Cannot open database '%1': the file could not be read (%2); it may be damaged")
                             .arg(QDir::toNativeSeparators(file), motivo));
}

// A table that does not hold the rows its definition declares.
QString righeDiverse(const QString& tabella, qint64 dichiarate, qint64 lette)
{
    return lette > dichiarate
               ? QStringLiteral("table %1 holds more rows than its definition declares").arg(tabella)
               : QStringLiteral("table %1 holds %2 rows, %3 of them could be read").arg(tabella).arg(dichiarate).arg(lette);
}

QString istruzioneInserimento(const QString& tabella, int colonne)
{
    QString ins = QStringLiteral("INSERT INTO main.") + NomeSqlite(tabella) + QStringLiteral(" VALUES (");
    for (int i = 0; i < colonne; ++i) ins += i ? QStringLiteral(", ?") : QStringLiteral("?");
    return ins + QLatin1Char(')');
}

int tipoMdbADao(int tipoMdb)
{
    switch (tipoMdb) {
        case 0x10:
            return TipoDao::Decimal;  // numeric
        case 0x12:
            return TipoDao::LongBinary;  // attachment/complex: not readable
        default:
            return tipoMdb;
    }
}

}  // namespace

DatabaseJet::DatabaseJet() : questo_(std::make_shared<DatabaseJet*>(this)) {}

DatabaseJet::~DatabaseJet()
{
    *questo_ = nullptr;
    // A record set still open keeps the database until it is finalised.
    if (db_) sqlite3_close_v2(db_);
}

std::unique_ptr<DatabaseJet> DatabaseJet::Apri(const QString& percorso, const QString& connect,
                                               const LettoreProcesso::Opzioni& opzioni)
{
    std::unique_ptr<DatabaseJet> d(new DatabaseJet);
    d->percorso_ = percorso;
    d->opzioni_ = opzioni;
    // The tables read are copied into a temporary file (deleted when closed) that SQLite
    // pages through a small cache, so that a table of any size is never held whole in memory.
    const bool csv = percorso.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive);
    if (sqlite3_open_v2("", &d->db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK)
        throw ErroreDatabase(ErroreJet::SintassiSql, QStringLiteral("Cannot create the working database."));
    sqlite3_exec(d->db_, "PRAGMA journal_mode = OFF", nullptr, nullptr, nullptr);
    // Double quotes name things only: a misspelt field must not turn into a text.
    sqlite3_db_config(d->db_, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
    sqlite3_db_config(d->db_, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
    RegistraFunzioniJet(d->db_);
    if (!QFileInfo(percorso).isFile())
        throw ErroreDatabase(ErroreJet::PercorsoNonValido, QStringLiteral("'%1' is not a valid path.").arg(percorso));
    if (csv)
        d->apriCsv();
    else if (FileFoglio(percorso))
        d->apriFoglio();
    else
        d->apriMdb(connect);
    return d;
}

void DatabaseJet::esegui(const QString& sql)
{
    char* err = nullptr;
    if (sqlite3_exec(db_, sql.toUtf8().constData(), nullptr, nullptr, &err) != SQLITE_OK) {
        const QString e = QString::fromUtf8(err ? err : "?");
        sqlite3_free(err);
        throw ErroreDatabase(ErroreJet::SintassiSql, e);
    }
}

void DatabaseJet::apriCsv()
{
    csv_ = true;
    QFile f(percorso_);
    if (!f.open(QIODevice::ReadOnly))
        throw ErroreDatabase(ErroreJet::PercorsoNonValido, QStringLiteral("'%1' is not a valid path.").arg(percorso_));
    LettoreCsv lettore(f, QFileInfo(percorso_).completeBaseName());
    const TabellaCsv& t = lettore.Struttura();
    InfoTabella info;
    info.nome = t.nome;
    for (int i = 0; i < t.campi.size(); ++i) info.campi << InfoCampo{t.campi.at(i), t.tipi.at(i)};
    tabelle_ << info;
    indiceTabelle_.insert(chiave(info.nome), 0);
    creaTabella(info);

    esegui(QStringLiteral("BEGIN"));
    QString ins = QStringLiteral("INSERT INTO ") + NomeSqlite(info.nome) + QStringLiteral(" VALUES (");
    for (int i = 0; i < t.campi.size(); ++i) ins += i ? QStringLiteral(", ?") : QStringLiteral("?");
    ins += QLatin1Char(')');
    Istruzione s;
    if (sqlite3_prepare_v2(db_, ins.toUtf8().constData(), -1, &s.st, nullptr) != SQLITE_OK)
        throw ErroreDatabase(ErroreJet::SintassiSql, QString::fromUtf8(sqlite3_errmsg(db_)));
    lettore.Righe([&](const QList<QVariant>& riga) {
        for (int i = 0; i < riga.size(); ++i) {
            const QVariant& v = riga.at(i);
            if (!v.isValid()) {
                sqlite3_bind_null(s.st, i + 1);
            } else if (v.typeId() == QMetaType::LongLong) {
                sqlite3_bind_int64(s.st, i + 1, v.toLongLong());
            } else if (v.typeId() == QMetaType::Double) {
                sqlite3_bind_double(s.st, i + 1, v.toDouble());
            } else {
                const QByteArray u = v.toString().toUtf8();
                sqlite3_bind_text(s.st, i + 1, u.constData(), int(u.size()), SQLITE_TRANSIENT);
            }
        }
        if (sqlite3_step(s.st) != SQLITE_DONE)
            throw ErroreDatabase(ErroreJet::SintassiSql, QString::fromUtf8(sqlite3_errmsg(db_)));
        sqlite3_reset(s.st);
    });
    esegui(QStringLiteral("COMMIT"));
    caricate_.insert(chiave(info.nome));
}

void DatabaseJet::apriFoglio()
{
    const QString nome = QDir::toNativeSeparators(percorso_);
    if (FoglioCifrato(percorso_))
        throw ErroreDatabase(ErroreJet::DatabaseNonApribile, LoadResString(1840).arg(nome));
    LettoreProcesso::Opzioni o = opzioni_;
    o.programma = PercorsoLettoreFogli();
    o.spiegaErrore = [&](int codice, const QString& testo) {
        // The reader's codes: 2 encrypted, 3 not a workbook, 6 out of memory, any other a
        // damaged file.
        if (codice == 2) return LoadResString(1840).arg(nome);
        if (codice == 6) return LoadResString(1843).arg(nome).arg(o.memoriaMassima >> 20);
        return LoadResString(codice == 3 ? 1841 : 1842).arg(nome, testo);
    };
    const UscitaLettore snap = LettoreProcesso::Esegui(QStringLiteral("foglio"), percorso_, {}, o);
    {
        Istruzione s;
        const QByteArray file = snap.File().toUtf8();
        if (sqlite3_prepare_v2(db_, "ATTACH ?1 AS snap", -1, &s.st, nullptr) != SQLITE_OK ||
            sqlite3_bind_text(s.st, 1, file.constData(), int(file.size()), SQLITE_TRANSIENT) != SQLITE_OK ||
            sqlite3_step(s.st) != SQLITE_DONE)
            throw ErroreDatabase(ErroreJet::DatabaseNonApribile,
                                 LoadResString(1842).arg(nome, QStringLiteral("the reader's output is not readable")));
    }
    struct Stacca {
        DatabaseJet* d;
        ~Stacca() { sqlite3_exec(d->db_, "DETACH snap", nullptr, nullptr, nullptr); }
    } stacca{this};
    QList<QPair<InfoTabella, QString>> fogli;
    {
        Istruzione s;
        if (sqlite3_prepare_v2(db_, "SELECT indice, nome, tabella FROM snap.fogli ORDER BY indice", -1, &s.st,
                               nullptr) != SQLITE_OK)
            throw ErroreDatabase(ErroreJet::DatabaseNonApribile,
                                 LoadResString(1842).arg(nome, QStringLiteral("the reader's output is incomplete")));
        while (sqlite3_step(s.st) == SQLITE_ROW) {
            InfoTabella t;
            t.nome = testoColonna(s.st, 1);
            fogli << qMakePair(t, testoColonna(s.st, 2));
        }
    }
    {
        Istruzione s;
        if (sqlite3_prepare_v2(db_, "SELECT nome, tipo FROM snap.colonne WHERE foglio = ? ORDER BY posizione", -1,
                               &s.st, nullptr) != SQLITE_OK)
            throw ErroreDatabase(ErroreJet::DatabaseNonApribile,
                                 LoadResString(1842).arg(nome, QStringLiteral("the reader's output is incomplete")));
        for (int i = 0; i < fogli.size(); ++i) {
            sqlite3_reset(s.st);
            sqlite3_bind_int(s.st, 1, i);
            while (sqlite3_step(s.st) == SQLITE_ROW) {
                const QString tipo = testoColonna(s.st, 1);
                const int dao = tipo == QLatin1String("intero")     ? TipoDao::Long
                                : tipo == QLatin1String("numero")   ? TipoDao::Double
                                : tipo == QLatin1String("data")     ? TipoDao::Date
                                : tipo == QLatin1String("booleano") ? TipoDao::Boolean
                                                                    : TipoDao::Text;
                fogli[i].first.campi << InfoCampo{testoColonna(s.st, 0), dao};
            }
        }
    }
    esegui(QStringLiteral("BEGIN"));
    try {
        for (const auto& [t, tabella] : fogli) {
            if (indiceTabelle_.contains(chiave(t.nome))) continue;
            creaTabella(t);
            if (!t.campi.isEmpty())
                esegui(QStringLiteral("INSERT INTO main.") + NomeSqlite(t.nome) + QStringLiteral(" SELECT * FROM snap.") +
                       tabella + QStringLiteral(" ORDER BY rowid"));
            indiceTabelle_.insert(chiave(t.nome), int(tabelle_.size()));
            tabelle_ << t;
            caricate_.insert(chiave(t.nome));
        }
        esegui(QStringLiteral("COMMIT"));
    } catch (...) {
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

void DatabaseJet::apriMdb(const QString& connect)
{
    const IntestazioneMdb h = IntestazioneMdb::LeggiFile(percorso_);
    versione_ = h.versione;
    // The password of the connect string ";PWD=secret": everything after "PWD=", so that a
    // password may hold a semicolon.
    QString password;
    const int i = int(connect.indexOf(QLatin1String("PWD="), 0, Qt::CaseInsensitive));
    if (i >= 0) password = connect.mid(i + 4);
    h.VerificaPassword(password);
    if (h.cifrato)
        throw ErroreDatabase(
            ErroreJet::DatabaseNonApribile,
            QStringLiteral("Cannot open database '%1': the file is encrypted and cannot be read.").arg(percorso_));

    const UscitaLettore snap = LettoreProcesso::Esegui(QStringLiteral("catalogo"), percorso_, {}, opzioni_);
    if (snap.Dimensione() <= 0)
        throw ErroreDatabase(ErroreJet::DatabaseNonApribile,
                             QStringLiteral("Cannot open database '%1': the reader wrote nothing.").arg(percorso_));
    sqlite3* cat = nullptr;
    const int rc = sqlite3_open_v2(snap.File().toUtf8().constData(), &cat, SQLITE_OPEN_READONLY, nullptr);
    struct Chiudi {
        sqlite3* c;
        ~Chiudi() { sqlite3_close(c); }
    } chiudi{cat};
    auto fallisci = [&](const char* cosa) {
        throw ErroreDatabase(
            ErroreJet::DatabaseNonApribile,
            QStringLiteral("Cannot open database '%1': %2.").arg(percorso_, QString::fromLatin1(cosa)));
    };
    if (rc != SQLITE_OK) fallisci("the reader's output is not readable");

    {
        Istruzione s;
        if (sqlite3_prepare_v2(cat, "SELECT id, nome, tipo, flags FROM oggetti ORDER BY rowid", -1, &s.st, nullptr) !=
            SQLITE_OK)
            fallisci("the catalog is incomplete");
        while (sqlite3_step(s.st) == SQLITE_ROW) {
            const qint64 id = sqlite3_column_int64(s.st, 0);
            const QString nome = testoColonna(s.st, 1);
            const int tipo = sqlite3_column_int(s.st, 2);
            const qint64 flags = sqlite3_column_int64(s.st, 3);
            if (nome.isEmpty()) continue;
            if (tipo == 1 || tipo == 4 || tipo == 6) {
                InfoTabella t;
                t.nome = nome;
                t.collegata = tipo != 1;
                const quint32 f = quint32(flags);
                if (nome.startsWith(QLatin1String("MSys"), Qt::CaseInsensitive) || (f & 0x80000000u) || (f & 0x2u))
                    t.attributi = AttributiDao::OggettoSistema;
                else if (f & 0x8u)
                    t.attributi = AttributiDao::OggettoNascosto;
                if (tipo == 6)
                    t.attributi |= AttributiDao::TabellaCollegata;
                else if (tipo == 4)
                    t.attributi |= AttributiDao::TabellaOdbc;
                indiceTabelle_.insert(chiave(nome), int(tabelle_.size()));
                tabelle_ << t;
            } else if (tipo == 5) {
                query_ << nome;
                DefinizioneQuery q;
                q.nome = nome;
                q.id = id;
                definizioni_.insert(chiave(nome), q);
            }
        }
    }
    {
        Istruzione s;
        if (sqlite3_prepare_v2(cat, "SELECT tabella, nome, tipo FROM campi ORDER BY tabella, posizione", -1, &s.st,
                               nullptr) != SQLITE_OK)
            fallisci("the catalog is incomplete");
        while (sqlite3_step(s.st) == SQLITE_ROW) {
            const auto it = indiceTabelle_.find(chiave(testoColonna(s.st, 0)));
            if (it == indiceTabelle_.end()) continue;
            tabelle_[it.value()].campi << InfoCampo{testoColonna(s.st, 1), tipoMdbADao(sqlite3_column_int(s.st, 2))};
        }
    }
    {
        QHash<qint64, QString> perId;
        for (auto it = definizioni_.cbegin(); it != definizioni_.cend(); ++it) perId.insert(it.value().id, it.key());
        Istruzione s;
        if (sqlite3_prepare_v2(cat,
                               "SELECT ObjectId, Attribute, Name1, Name2, Expression, Flag FROM msysqueries "
                               "ORDER BY rowid",
                               -1, &s.st, nullptr) == SQLITE_OK) {
            while (sqlite3_step(s.st) == SQLITE_ROW) {
                const auto it = perId.find(sqlite3_column_int64(s.st, 0));
                if (it == perId.end()) continue;
                DefinizioneQuery::Riga r;
                r.attributo = sqlite3_column_int(s.st, 1);
                r.name1 = testoColonna(s.st, 2);
                r.name2 = testoColonna(s.st, 3);
                r.espressione = testoColonna(s.st, 4);
                r.flagNullo = sqlite3_column_type(s.st, 5) == SQLITE_NULL;
                r.flag = sqlite3_column_int64(s.st, 5);
                definizioni_[it.value()].righe << r;
            }
        }
    }
}

QList<InfoTabella> DatabaseJet::Tabelle() const
{
    return tabelle_;
}

bool DatabaseJet::EsisteTabella(const QString& nome) const
{
    for (const auto& t : tabelle_)
        if (t.nome == nome) return true;
    return false;
}

bool DatabaseJet::IsQuery(const QString& nome) const
{
    return query_.contains(nome);
}

void DatabaseJet::creaTabella(const InfoTabella& t)
{
    QStringList colonne;
    for (const auto& c : t.campi) {
        QString def = NomeSqlite(c.nome) + QLatin1Char(' ') + modCartigo::TipoDichiarato(c.tipo);
        if (modCartigo::ClasseTipo(c.tipo) == 1 || c.tipo == TipoDao::Guid) def += QStringLiteral(" COLLATE JETTEXT");
        colonne << def;
    }
    if (colonne.isEmpty()) colonne << QStringLiteral("\"_\"");
    esegui(QStringLiteral("CREATE TABLE ") + NomeSqlite(t.nome) + QStringLiteral(" (") +
           colonne.join(QStringLiteral(", ")) + QLatin1Char(')'));
}

void DatabaseJet::caricaTabelle(const QStringList& nomiRichiesti)
{
    QStringList nomi;
    for (const QString& n : nomiRichiesti) {
        const auto it = indiceTabelle_.find(chiave(n));
        if (it == indiceTabelle_.end() || caricate_.contains(chiave(n))) continue;
        const InfoTabella& t = tabelle_.at(it.value());
        if (t.collegata)
            throw ErroreDatabase(
                ErroreJet::OperazioneNonSupportata,
                QStringLiteral("The table '%1' is linked to another database and cannot be read here.").arg(t.nome));
        if (!nomi.contains(t.nome)) nomi << t.nome;
    }
    if (nomi.isEmpty()) return;
    completaFlusso();
    // The rows go into the working file as the reader writes them.
    LettoreInCorso lettore(QStringLiteral("tabelle"), percorso_, nomi, opzioni_);
    FlussoRighe flusso(lettore);
    esegui(QStringLiteral("BEGIN"));
    try {
        FlussoRighe::Tabella letta;
        std::vector<ValoreRiga> valori;
        while (flusso.ProssimaTabella(letta)) {
            const auto it = indiceTabelle_.constFind(chiave(letta.nome));
            if (it == indiceTabelle_.cend() || !nomi.contains(letta.nome, Qt::CaseInsensitive))
                tabellaDanneggiata(percorso_, QStringLiteral("the reader gave a table not asked for"));
            const InfoTabella& t = tabelle_.at(it.value());
            if (letta.colonne != int(t.campi.size()))
                tabellaDanneggiata(percorso_, QStringLiteral("the fields of table %1 changed").arg(t.nome));
            creaTabella(t);
            Istruzione ins;
            if (letta.colonne > 0 &&
                sqlite3_prepare_v2(db_, istruzioneInserimento(t.nome, letta.colonne).toUtf8().constData(), -1,
                                   &ins.st, nullptr) != SQLITE_OK)
                throw ErroreDatabase(ErroreJet::SintassiSql, QString::fromUtf8(sqlite3_errmsg(db_)));
            qint64 righe = 0;
            while (flusso.ProssimaRiga(valori)) {
                ++righe;
                legaRiga(ins.st, valori);
                if (sqlite3_step(ins.st) != SQLITE_DONE)
                    throw ErroreDatabase(ErroreJet::SintassiSql, QString::fromUtf8(sqlite3_errmsg(db_)));
                sqlite3_reset(ins.st);
            }
            if (righe != letta.dichiarate) tabellaDanneggiata(percorso_, righeDiverse(t.nome, letta.dichiarate, righe));
            caricate_.insert(chiave(t.nome));
        }
        for (const QString& n : nomi)
            if (!caricate_.contains(chiave(n)))
                throw ErroreDatabase(
                    ErroreJet::DatabaseNonApribile,
                    QStringLiteral("Cannot open database '%1': the reader wrote nothing.").arg(percorso_));
        esegui(QStringLiteral("COMMIT"));
    } catch (...) {
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        for (const QString& n : nomi) caricate_.remove(chiave(n));
        throw;
    }
}

void DatabaseJet::raccogliTabelle(const QString& nome, QStringList& tabelle, QSet<QString>& viste, int profondita)
{
    if (profondita > 50)
        throw ErroreDatabase(ErroreJet::SintassiSql,
                             QStringLiteral("Circular reference caused by query '%1'.").arg(nome));
    const QString k = chiave(nome);
    if (indiceTabelle_.contains(k)) {
        if (!caricate_.contains(k) && !tabelle.contains(nome, Qt::CaseInsensitive)) tabelle << nome;
        return;
    }
    const auto it = definizioni_.constFind(k);
    if (it == definizioni_.cend() || viste_.contains(k) || viste.contains(k)) return;
    viste.insert(k);
    for (const auto& r : it.value().righe)
        if (r.attributo == 5 && !r.name1.isEmpty()) raccogliTabelle(r.name1, tabelle, viste, profondita + 1);
}

void DatabaseJet::assicura(const QString& nome, int profondita)
{
    const QString k = chiave(nome);
    if (caricate_.contains(k) || viste_.contains(k)) return;
    if (indiceTabelle_.contains(k)) {
        caricaTabelle({nome});
        return;
    }
    if (!definizioni_.contains(k))
        throw ErroreDatabase(
            ErroreJet::TabellaNonTrovata,
            QStringLiteral("The database engine cannot find the input table or query '%1'. Make sure it "
                           "exists and that its name is spelled correctly.")
                .arg(nome));
    // Every base table the query needs, in one read.
    QStringList tabelle;
    QSet<QString> viste;
    raccogliTabelle(nome, tabelle, viste, profondita);
    caricaTabelle(tabelle);
    creaVista(nome);
}

QString DatabaseJet::sqlQuery(const DefinizioneQuery& q) const
{
    auto righe = [&](int attributo) {
        QList<DefinizioneQuery::Riga> r;
        for (const auto& x : q.righe)
            if (x.attributo == attributo) r << x;
        return r;
    };
    auto nonSupportata = [&](const QString& cosa) {
        return ErroreDatabase(ErroreJet::OperazioneNonSupportata,
                              QStringLiteral("The query '%1' cannot be read: %2.").arg(q.nome, cosa));
    };
    int tipo = 1;
    for (const auto& r : righe(1)) tipo = int(r.flag);
    switch (tipo) {
        case 1:
        case 9:
            break;
        case 6:
            throw nonSupportata(QStringLiteral("crosstab queries are not supported"));
        case 2:
            throw nonSupportata(QStringLiteral("make-table queries are not supported"));
        case 3:
            throw nonSupportata(QStringLiteral("append queries are not supported"));
        case 4:
            throw nonSupportata(QStringLiteral("update queries are not supported"));
        case 5:
            throw nonSupportata(QStringLiteral("delete queries are not supported"));
        case 7:
            throw nonSupportata(QStringLiteral("data-definition queries are not supported"));
        case 8:
            throw nonSupportata(QStringLiteral("pass-through queries are not supported"));
        default:
            throw nonSupportata(QStringLiteral("queries of type %1 are not supported").arg(tipo));
    }
    QStringList parametri;
    for (const auto& r : righe(2)) parametri << r.name1;
    if (!parametri.isEmpty())
        throw ErroreDatabase(ErroreJet::ParametriMancanti,
                             QStringLiteral("The query '%1' asks for parameters (%2), which cannot be given here. Too "
                                            "few parameters. Expected %3.")
                                 .arg(q.nome, parametri.join(QStringLiteral(", ")))
                                 .arg(parametri.size()));
    if (!righe(4).isEmpty()) throw nonSupportata(QStringLiteral("queries on another database are not supported"));

    qint64 flag = 0;
    QString top;
    for (const auto& r : righe(3)) {
        flag = r.flag;
        top = r.name1;
    }
    auto nomeQuadro = [](const QString& n) { return QLatin1Char('[') + n + QLatin1Char(']'); };

    QStringList ordine;
    for (const auto& r : righe(11))
        ordine << r.espressione + (r.name1.compare(QLatin1String("D"), Qt::CaseInsensitive) == 0
                                       ? QStringLiteral(" DESC")
                                       : QString());
    const QString clausolaOrdine =
        ordine.isEmpty() ? QString() : QStringLiteral(" ORDER BY ") + ordine.join(QStringLiteral(", "));

    if (tipo == 9) {
        QStringList parti;
        for (const auto& r : righe(5)) parti << r.espressione.trimmed();
        if (parti.size() < 2) throw nonSupportata(QStringLiteral("the union query has fewer than two parts"));
        const QString unione = (flag & 2) ? QStringLiteral(" UNION ") : QStringLiteral(" UNION ALL ");
        for (QString& p : parti)
            while (p.endsWith(QLatin1Char(';'))) p.chop(1);
        return parti.join(unione) + clausolaOrdine;
    }

    QString s = QStringLiteral("SELECT ");
    if (flag & 2)
        s += QStringLiteral("DISTINCT ");
    else if (flag & 8)
        s += QStringLiteral("DISTINCTROW ");
    if ((flag & 16) && !top.isEmpty())
        s += QStringLiteral("TOP ") + top + ((flag & 32) ? QStringLiteral(" PERCENT ") : QStringLiteral(" "));
    QStringList colonne;
    if (flag & 1) colonne << QStringLiteral("*");
    for (const auto& r : righe(6))
        colonne << (r.name1.isEmpty() ? r.espressione : r.espressione + QStringLiteral(" AS ") + nomeQuadro(r.name1));
    if (colonne.isEmpty()) throw nonSupportata(QStringLiteral("it has no output fields"));
    s += colonne.join(QStringLiteral(", "));

    // FROM: the tables, combined by the joins.
    struct Pezzo {
        QString testo;
        QSet<QString> chiavi;
        bool join = false;
    };
    QList<Pezzo> pezzi;
    for (const auto& r : righe(5)) {
        Pezzo p;
        const QString alias = r.name2;
        if (!r.espressione.isEmpty() && r.name1.isEmpty())
            p.testo = QLatin1Char('(') + r.espressione + QLatin1Char(')');
        else
            p.testo = nomeQuadro(r.name1);
        if (!alias.isEmpty()) p.testo += QStringLiteral(" AS ") + nomeQuadro(alias);
        p.chiavi.insert(chiave(alias.isEmpty() ? r.name1 : alias));
        pezzi << p;
    }
    // Joins between the same two tables share one ON clause.
    struct Join {
        QString sinistra, destra, condizione;
        qint64 tipo;
    };
    QList<Join> joins;
    for (const auto& r : righe(7)) {
        bool unito = false;
        for (auto& j : joins)
            if (chiave(j.sinistra) == chiave(r.name1) && chiave(j.destra) == chiave(r.name2)) {
                j.condizione = QStringLiteral("(") + j.condizione + QStringLiteral(") AND (") + r.espressione +
                               QStringLiteral(")");
                unito = true;
            }
        if (!unito) joins << Join{r.name1, r.name2, r.espressione, r.flag};
    }
    auto trova = [&](const QString& k) {
        for (int i = 0; i < pezzi.size(); ++i)
            if (pezzi.at(i).chiavi.contains(chiave(k))) return i;
        return -1;
    };
    for (const auto& j : joins) {
        const int a = trova(j.sinistra), b = trova(j.destra);
        if (a < 0 || b < 0) throw nonSupportata(QStringLiteral("a join names a table that is not in the query"));
        if (a == b) throw nonSupportata(QStringLiteral("a join closes a cycle of joins"));
        const QString tipoJoin = j.tipo == 2
                                     ? QStringLiteral(" LEFT JOIN ")
                                     : (j.tipo == 3 ? QStringLiteral(" RIGHT JOIN ") : QStringLiteral(" INNER JOIN "));
        auto operando = [](const Pezzo& p) { return p.join ? QLatin1Char('(') + p.testo + QLatin1Char(')') : p.testo; };
        Pezzo unito;
        unito.testo = operando(pezzi.at(a)) + tipoJoin + operando(pezzi.at(b)) + QStringLiteral(" ON ") + j.condizione;
        unito.chiavi = pezzi.at(a).chiavi + pezzi.at(b).chiavi;
        unito.join = true;
        const int primo = qMin(a, b), secondo = qMax(a, b);
        pezzi[primo] = unito;
        pezzi.removeAt(secondo);
    }
    if (!pezzi.isEmpty()) {
        QStringList from;
        for (const auto& p : pezzi) from << p.testo;
        s += QStringLiteral(" FROM ") + from.join(QStringLiteral(", "));
    }
    for (const auto& r : righe(8)) s += QStringLiteral(" WHERE ") + r.espressione;
    QStringList gruppi;
    for (const auto& r : righe(9)) gruppi << r.espressione;
    if (!gruppi.isEmpty()) s += QStringLiteral(" GROUP BY ") + gruppi.join(QStringLiteral(", "));
    for (const auto& r : righe(10)) s += QStringLiteral(" HAVING ") + r.espressione;
    return s + clausolaOrdine;
}

void DatabaseJet::creaVista(const QString& nome)
{
    const QString k = chiave(nome);
    const DefinizioneQuery& q = definizioni_[k];
    try {
        const QString sql = TraduciJetSql(sqlQuery(q));
        // Make the view in steps so that what it refers to is there first.
        for (int tentativi = 0;; ++tentativi) {
            char* err = nullptr;
            const QByteArray crea =
                (QStringLiteral("CREATE VIEW ") + NomeSqlite(q.nome) + QStringLiteral(" AS ") + sql).toUtf8();
            if (sqlite3_exec(db_, crea.constData(), nullptr, nullptr, &err) == SQLITE_OK) break;
            const QString e = QString::fromUtf8(err ? err : "?");
            sqlite3_free(err);
            static const QString nessuna = QStringLiteral("no such table: ");
            if (tentativi < 100 && e.startsWith(nessuna)) {
                QString mancante = e.mid(nessuna.size());
                if (mancante.startsWith(QLatin1String("main."))) mancante = mancante.mid(5);
                if (chiave(mancante) != k &&
                    (indiceTabelle_.contains(chiave(mancante)) || definizioni_.contains(chiave(mancante))) &&
                    !caricate_.contains(chiave(mancante)) && !viste_.contains(chiave(mancante))) {
                    assicura(mancante);
                    continue;
                }
                throw ErroreDatabase(
                    ErroreJet::TabellaNonTrovata,
                    QStringLiteral("The database engine cannot find the input table or query '%1'.").arg(mancante));
            }
            throw ErroreDatabase(ErroreJet::SintassiSql, e);
        }
        viste_.insert(k);
        // Check the view now, so that a failure names the query.
        try {
            sqlite3_finalize(
                static_cast<sqlite3_stmt*>(prepara(QStringLiteral("SELECT * FROM ") + NomeSqlite(q.nome))));
        } catch (...) {
            viste_.remove(k);
            esegui(QStringLiteral("DROP VIEW IF EXISTS ") + NomeSqlite(q.nome));
            throw;
        }
    } catch (const ErroreCartigo& e) {
        if (e.descrizione().contains(q.nome)) throw;
        throw ErroreDatabase(e.numero(), QStringLiteral("Query '%1': %2").arg(q.nome, e.descrizione()));
    }
}

void* DatabaseJet::prepara(const QString& sqlSqlite)
{
    completaFlusso();
    const QByteArray u = sqlSqlite.toUtf8();
    for (int tentativi = 0;; ++tentativi) {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db_, u.constData(), int(u.size()), &st, nullptr) == SQLITE_OK) return st;
        sqlite3_finalize(st);
        const QString e = QString::fromUtf8(sqlite3_errmsg(db_));
        static const QString nessunaTabella = QStringLiteral("no such table: ");
        static const QString nessunaColonna = QStringLiteral("no such column: ");
        if (e.startsWith(nessunaTabella)) {
            QString mancante = e.mid(nessunaTabella.size());
            if (mancante.startsWith(QLatin1String("main."))) mancante = mancante.mid(5);
            const QString k = chiave(mancante);
            if (tentativi < 100 && !caricate_.contains(k) && !viste_.contains(k)) {
                assicura(mancante);
                continue;
            }
            throw ErroreDatabase(
                ErroreJet::TabellaNonTrovata,
                QStringLiteral("The database engine cannot find the input table or query '%1'.").arg(mancante));
        }
        if (e.startsWith(nessunaColonna))
            throw ErroreDatabase(ErroreJet::ParametriMancanti,
                                 QStringLiteral("Too few parameters. Expected 1. ('%1' is not a field of the source.)")
                                     .arg(e.mid(nessunaColonna.size())));
        throw ErroreDatabase(ErroreJet::SintassiSql, e);
    }
}

QList<InfoCampo> DatabaseJet::Campi(const QString& nome)
{
    const QString k = chiave(nome);
    if (indiceTabelle_.contains(k)) return tabelle_.at(indiceTabelle_.value(k)).campi;
    return ApriRecordset(QStringLiteral("SELECT * FROM [") + nome + QStringLiteral("] WHERE 0 = 1"))->Campi();
}

namespace {

// The columns of a prepared statement, and which of them have a declared type.
QList<InfoCampo> colonne(sqlite3_stmt* st, QList<bool>& tipoNoto)
{
    const int n = sqlite3_column_count(st);
    QList<InfoCampo> campi;
    tipoNoto.clear();
    for (int i = 0; i < n; ++i) {
        InfoCampo c;
        c.nome = QString::fromUtf8(sqlite3_column_name(st, i));
        const char* decl = sqlite3_column_decltype(st, i);
        c.tipo = decl ? modCartigo::TipoDaDichiarato(QString::fromLatin1(decl)) : 0;
        tipoNoto << (c.tipo != 0);
        campi << c;
    }
    return campi;
}

// The statement's current row; a column without a declared type takes the type of
// its first value that is not Null.
void leggiRiga(sqlite3_stmt* s, QList<InfoCampo>& campi, const QList<bool>& tipoNoto, QList<QVariant>& riga)
{
    const int n = int(campi.size());
    riga.clear();
    riga.reserve(n);
    for (int i = 0; i < n; ++i) {
        InfoCampo& c = campi[i];
        switch (sqlite3_column_type(s, i)) {
            case SQLITE_NULL:
                riga << QVariant();
                break;
            case SQLITE_INTEGER: {
                if (!tipoNoto[i] && c.tipo == 0) c.tipo = TipoDao::Long;
                const qint64 v = sqlite3_column_int64(s, i);
                if (c.tipo == TipoDao::Boolean)
                    riga << QVariant(v != 0);
                else if (modCartigo::ClasseTipo(c.tipo) == 0)
                    riga << QVariant(v);
                else
                    riga << QVariant(QString::number(v));
                break;
            }
            case SQLITE_FLOAT:
                if (!tipoNoto[i] && (c.tipo == 0 || c.tipo == TipoDao::Long)) c.tipo = TipoDao::Double;
                riga << QVariant(sqlite3_column_double(s, i));
                break;
            case SQLITE_TEXT: {
                const QString t = testoColonna(s, i);
                if (!tipoNoto[i] && c.tipo == 0)
                    // Dates travel as "yyyy-MM-dd hh:mm:ss" exactly.
                    c.tipo = t.size() == 19 && modCartigo::DaIso(t) ? TipoDao::Date : TipoDao::Text;
                if (modCartigo::ClasseTipo(c.tipo) == 2) {
                    const auto d = modCartigo::DaIso(t);
                    riga << (d ? QVariant(*d) : QVariant(t));
                } else {
                    riga << QVariant(t);
                }
                break;
            }
            default:
                if (!tipoNoto[i] && c.tipo == 0) c.tipo = TipoDao::LongBinary;
                riga << QVariant(
                    QByteArray(static_cast<const char*>(sqlite3_column_blob(s, i)), sqlite3_column_bytes(s, i)));
        }
    }
}

// The records of a statement over the working file, read one at a time into the current
// row; `leggi` (the kind's own) steps to the next one or sets the end.
class CursoreSqlite : public Recordset {
public:
    bool Eof() const override { return eof_; }
    void MoveNext() override
    {
        if (!eof_) leggi();
    }
    const QList<InfoCampo>& Campi() const override { return campi_; }
    using Recordset::Valore;
    QVariant Valore(int indice) const override
    {
        if (eof_) throw ErroreDatabase(ErroreJet::NessunRecordCorrente, QStringLiteral("No current record."));
        return riga_.value(indice);
    }

protected:
    CursoreSqlite(sqlite3* db, Istruzione&& s, QList<InfoCampo> campi, QList<bool> tipoNoto)
        : db_(db), campi_(std::move(campi)), tipoNoto_(std::move(tipoNoto))
    {
        std::swap(s_.st, s.st);
    }
    virtual void leggi() = 0;
    [[noreturn]] void fallito() const
    {
        throw ErroreDatabase(ErroreJet::SintassiSql, QString::fromUtf8(sqlite3_errmsg(db_)));
    }
    void rigaCorrente() { leggiRiga(s_.st, campi_, tipoNoto_, riga_); }
    void fine()
    {
        eof_ = true;
        riga_.clear();
    }

    sqlite3* db_;
    Istruzione s_;
    QList<InfoCampo> campi_;
    QList<bool> tipoNoto_;
    QList<QVariant> riga_;
    bool eof_ = false;
};

// The records of a statement whose columns all have a declared type; the count comes
// from a first walk through the statement.
class CursoreJet : public CursoreSqlite {
public:
    CursoreJet(sqlite3* db, Istruzione&& s, QList<InfoCampo> campi, QList<bool> tipoNoto)
        : CursoreSqlite(db, std::move(s), std::move(campi), std::move(tipoNoto))
    {
        for (int rc; (rc = sqlite3_step(s_.st)) != SQLITE_DONE; ++conteggio_)
            if (rc != SQLITE_ROW) fallito();
        sqlite3_reset(s_.st);
        leggi();
    }
    int RecordCount() const override { return conteggio_; }

private:
    void leggi() override
    {
        const int rc = sqlite3_step(s_.st);
        if (rc == SQLITE_ROW) {
            rigaCorrente();
            return;
        }
        fine();
        if (rc != SQLITE_DONE) fallito();
    }

    int conteggio_ = 0;
};

}  // namespace

// A base table read while the reader writes it: its rows go into the working file a
// batch at a time, as the records set on it ask for them. One given up before its end
// takes its rows away again (so that nothing reads part of a table); one that ends checks
// the rows against the table's definition and the reader's good end.
class DatabaseJet::FlussoTabella {
public:
    FlussoTabella(DatabaseJet& d, const InfoTabella& t)
        : questo_(d.questo_), db_(d.db_), file_(d.percorso_), tabella_(t),
          lettore_(QStringLiteral("tabelle"), d.percorso_, {t.nome}, d.opzioni_), righe_(lettore_)
    {
        FlussoRighe::Tabella letta;
        if (!righe_.ProssimaTabella(letta) || chiave(letta.nome) != chiave(t.nome))
            tabellaDanneggiata(file_, QStringLiteral("the reader gave no table %1").arg(t.nome));
        if (letta.colonne != int(t.campi.size()))
            tabellaDanneggiata(file_, QStringLiteral("the fields of table %1 changed").arg(t.nome));
        dichiarate_ = letta.dichiarate;
        d.creaTabella(t);
        creata_ = true;
        if (sqlite3_prepare_v2(db_, istruzioneInserimento(t.nome, letta.colonne).toUtf8().constData(), -1, &ins_.st,
                               nullptr) != SQLITE_OK)
            throw ErroreDatabase(ErroreJet::SintassiSql, QString::fromUtf8(sqlite3_errmsg(db_)));
    }
    ~FlussoTabella()
    {
        if (completo_ || !creata_ || !*questo_) return;
        sqlite3_finalize(ins_.st);
        ins_.st = nullptr;
        const QByteArray togli = (QStringLiteral("DROP TABLE main.") + NomeSqlite(tabella_.nome)).toUtf8();
        if (sqlite3_exec(db_, togli.constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
            (*questo_)->daTogliere_.insert(tabella_.nome);
    }
    FlussoTabella(const FlussoTabella&) = delete;
    FlussoTabella& operator=(const FlussoTabella&) = delete;

    const QString& Nome() const { return tabella_.nome; }
    qint64 Dichiarate() const { return dichiarate_; }
    bool Completo() const { return completo_; }
    // The next rows into the table: at least one, and those already written up to a batch.
    // False at the end, once the count and the reader's end are checked.
    bool Avanza()
    {
        if (completo_) return false;
        if (guasto_) throw ErroreDatabase(guasto_->numero(), guasto_->descrizione());
        try {
            sqlite3_exec(db_, "BEGIN", nullptr, nullptr, nullptr);
            bool fine = false;
            for (int n = 0; n == 0 || (n < 4096 && righe_.RigaPronta()); ++n) {
                if (!righe_.ProssimaRiga(valori_)) {
                    fine = true;
                    break;
                }
                if (++inserite_ > dichiarate_)
                    tabellaDanneggiata(file_, righeDiverse(tabella_.nome, dichiarate_, inserite_));
                legaRiga(ins_.st, valori_);
                if (sqlite3_step(ins_.st) != SQLITE_DONE)
                    throw ErroreDatabase(ErroreJet::SintassiSql, QString::fromUtf8(sqlite3_errmsg(db_)));
                sqlite3_reset(ins_.st);
            }
            if (sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK)
                throw ErroreDatabase(ErroreJet::SintassiSql, QString::fromUtf8(sqlite3_errmsg(db_)));
            if (!fine) return true;
            if (inserite_ != dichiarate_) tabellaDanneggiata(file_, righeDiverse(tabella_.nome, dichiarate_, inserite_));
            FlussoRighe::Tabella altra;
            if (righe_.ProssimaTabella(altra))  // the reader's end, checked
                tabellaDanneggiata(file_, QStringLiteral("the reader gave a table not asked for"));
        } catch (const ErroreCartigo& e) {
            sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
            guasto_.emplace(e.numero(), e.descrizione());
            throw;
        }
        completo_ = true;
        if (*questo_) (*questo_)->caricate_.insert(chiave(tabella_.nome));
        return false;
    }
    void Completa()
    {
        while (Avanza()) {
        }
    }

private:
    std::shared_ptr<DatabaseJet*> questo_;
    sqlite3* db_;
    QString file_;
    InfoTabella tabella_;
    LettoreInCorso lettore_;
    FlussoRighe righe_;
    Istruzione ins_;
    std::vector<ValoreRiga> valori_;
    qint64 dichiarate_ = 0;
    qint64 inserite_ = 0;
    bool creata_ = false;
    bool completo_ = false;
    std::optional<ErroreCartigo> guasto_;
};

namespace {

// The records of a table read while the reader writes it: the rows the table has so far,
// then more of them asked of the reading. Without a condition the count is the one the
// table's definition declares, which the reading checks at its end; with one (`conta`,
// the statement counting what the condition selects) the count needs the whole reading,
// so it is only asked of the records set when wanted.
class CursoreFlusso : public CursoreSqlite {
public:
    CursoreFlusso(sqlite3* db, std::shared_ptr<DatabaseJet::FlussoTabella> f, Istruzione&& s, QList<InfoCampo> campi,
                  QList<bool> tipoNoto, Istruzione&& conta = {})
        : CursoreSqlite(db, std::move(s), std::move(campi), std::move(tipoNoto)), flusso_(std::move(f))
    {
        std::swap(conta_.st, conta.st);
        leggi();
    }
    int RecordCount() const override
    {
        if (!conta_.st) return int(flusso_->Dichiarate());
        if (conteggio_ < 0) {
            flusso_->Completa();
            if (sqlite3_step(conta_.st) != SQLITE_ROW) fallito();
            conteggio_ = sqlite3_column_int(conta_.st, 0);
            sqlite3_reset(conta_.st);
        }
        return conteggio_;
    }
    bool ConteggioPronto() const override { return !conta_.st || conteggio_ >= 0 || flusso_->Completo(); }

private:
    void leggi() override
    {
        for (bool ultimaPassata = false;;) {
            const int rc = sqlite3_step(s_.st);
            if (rc == SQLITE_ROW) {
                ultimo_ = sqlite3_column_int64(s_.st, int(campi_.size()));
                rigaCorrente();
                return;
            }
            sqlite3_reset(s_.st);
            if (rc != SQLITE_DONE) fallito();
            if (ultimaPassata) break;
            // the rows since the last one read: after more of the reading, or once more
            // when it has ended
            if (flusso_->Completo() || !flusso_->Avanza()) ultimaPassata = true;
            sqlite3_bind_int64(s_.st, sqlite3_bind_parameter_count(s_.st), ultimo_);
        }
        fine();
    }

    std::shared_ptr<DatabaseJet::FlussoTabella> flusso_;
    qint64 ultimo_ = 0;
    Istruzione conta_;
    mutable int conteggio_ = -1;
};

}  // namespace

bool DatabaseJet::tabellaInFlusso(const QString& nome) const
{
    const QString k = chiave(nome);
    const auto it = indiceTabelle_.constFind(k);
    if (csv_ || it == indiceTabelle_.cend() || caricate_.contains(k) || viste_.contains(k)) return false;
    const InfoTabella& t = tabelle_.at(it.value());
    if (t.collegata || t.campi.isEmpty()) return false;
    // the rows are walked by rowid, which a field of that name would hide
    for (const InfoCampo& c : t.campi)
        for (const char* n : {"rowid", "_rowid_", "oid"})
            if (c.nome.compare(QLatin1String(n), Qt::CaseInsensitive) == 0) return false;
    return true;
}

void DatabaseJet::completaFlusso()
{
    if (const auto f = flusso_.lock(); f && !f->Completo()) f->Completa();
    for (auto it = daTogliere_.begin(); it != daTogliere_.end();) {
        const QByteArray togli = (QStringLiteral("DROP TABLE IF EXISTS main.") + NomeSqlite(*it)).toUtf8();
        if (sqlite3_exec(db_, togli.constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
            throw ErroreDatabase(ErroreJet::SintassiSql, QString::fromUtf8(sqlite3_errmsg(db_)));
        it = daTogliere_.erase(it);
    }
}

std::unique_ptr<RecordsetJet> DatabaseJet::ApriRecordset(const QString& jetSql, const QVariantList& valori)
{
    Istruzione s;
    s.st = static_cast<sqlite3_stmt*>(prepara(TraduciJetSql(jetSql)));
    lega(db_, s.st, valori);
    QList<bool> tipoNoto;
    QList<InfoCampo> campi = colonne(s.st, tipoNoto);
    std::vector<QList<QVariant>> righe;
    for (;;) {
        const int rc = sqlite3_step(s.st);
        if (rc == SQLITE_DONE) break;
        if (rc != SQLITE_ROW) throw ErroreDatabase(ErroreJet::SintassiSql, QString::fromUtf8(sqlite3_errmsg(db_)));
        QList<QVariant> riga;
        leggiRiga(s.st, campi, tipoNoto, riga);
        righe.push_back(std::move(riga));
    }
    for (auto& c : campi)
        if (c.tipo == 0) c.tipo = TipoDao::Text;
    return std::make_unique<RecordsetJet>(std::move(campi), std::move(righe));
}

std::unique_ptr<Recordset> DatabaseJet::ApriSelezione(const QString& tabella, const CondizioneSelezione& c)
{
    // The values as the statement would have read them: a number, a text, a date's ISO text.
    const auto valore = [&](const QVariant& v) -> QVariant {
        if (c.classe == 0) return v.toDouble();
        if (c.classe == 1) return v.toString();
        const QString testo = v.toString().trimmed();
        const auto d = modCartigo::LeggiDataJet(testo);
        if (!d)
            throw ErroreDatabase(ErroreJet::SintassiEspressione,
                                 QStringLiteral("Syntax error in date in query expression '#%1#'.").arg(testo));
        return modCartigo::DataIso(*d);
    };
    QString w, condizione;
    QVariantList valori;
    if ((c.criterio == 1 || c.criterio == 2) && c.classe >= 0 && c.classe <= 2) {
        const QString f = QLatin1Char('[') + c.campo + QLatin1Char(']');
        valori << valore(c.valori[0]);
        if (c.criterio == 2) valori << valore(c.valori[1]);
        condizione = c.criterio == 1 ? QStringLiteral("%1 = ?1").arg(f) : QStringLiteral("%1 Between ?1 AND ?2").arg(f);
        w = QStringLiteral("WHERE ") + condizione;
    }
    // The records of a base table are handed out while the reader writes them (a reading
    // already under way is shared), those of a condition too; any other selection needs
    // whole tables.
    std::shared_ptr<FlussoTabella> f = flusso_.lock();
    if (f && chiave(f->Nome()) != chiave(tabella)) f.reset();
    if (!f && tabellaInFlusso(tabella)) {
        completaFlusso();
        f = std::make_shared<FlussoTabella>(*this, tabelle_.at(indiceTabelle_.value(chiave(tabella))));
        flusso_ = f;
    }
    if (f && !f->Completo()) {
        // the condition as the whole statement would read it; the rows walked by rowid
        // (its parameter the one after the condition's)
        const QString dove = condizione.isEmpty()
                                 ? QString()
                                 : QStringLiteral(" AND (") + TraduciEspressioneJet(condizione) + QLatin1Char(')');
        const auto prepara = [&](const QString& sql) {
            Istruzione s;
            const QByteArray u = sql.toUtf8();
            if (sqlite3_prepare_v2(db_, u.constData(), -1, &s.st, nullptr) != SQLITE_OK) {
                const QString e = QString::fromUtf8(sqlite3_errmsg(db_));
                static const QString nessunaColonna = QStringLiteral("no such column: ");
                if (e.startsWith(nessunaColonna))
                    throw ErroreDatabase(
                        ErroreJet::ParametriMancanti,
                        QStringLiteral("Too few parameters. Expected 1. ('%1' is not a field of the source.)")
                            .arg(e.mid(nessunaColonna.size())));
                throw ErroreDatabase(ErroreJet::SintassiSql, e);
            }
            lega(db_, s.st, valori);
            return s;
        };
        const QString da = QStringLiteral(" FROM main.") + NomeSqlite(f->Nome());
        const QString dopo = QStringLiteral("?%1").arg(valori.size() + 1);
        Istruzione s = prepara(QStringLiteral("SELECT *, rowid") + da + QStringLiteral(" WHERE rowid > ") + dopo + dove +
                               QStringLiteral(" ORDER BY rowid"));
        sqlite3_bind_int64(s.st, int(valori.size() + 1), 0);
        QList<bool> tipoNoto;
        QList<InfoCampo> campi = colonne(s.st, tipoNoto);
        campi.removeLast();
        tipoNoto.removeLast();
        Istruzione conta = condizione.isEmpty()
                               ? Istruzione()
                               : prepara(QStringLiteral("SELECT count(*)") + da + QStringLiteral(" WHERE 1") + dove);
        return std::make_unique<CursoreFlusso>(db_, std::move(f), std::move(s), std::move(campi), std::move(tipoNoto),
                                               std::move(conta));
    }
    const QString sql = QStringLiteral("SELECT * From [") + tabella + QStringLiteral("] ") + w + QLatin1Char(';');
    // A table's records are walked one at a time; a saved query whose columns get
    // their types from their values is read whole.
    Istruzione s;
    s.st = static_cast<sqlite3_stmt*>(prepara(TraduciJetSql(sql)));
    lega(db_, s.st, valori);
    QList<bool> tipoNoto;
    QList<InfoCampo> campi = colonne(s.st, tipoNoto);
    if (tipoNoto.contains(false)) return ApriRecordset(sql, valori);
    return std::make_unique<CursoreJet>(db_, std::move(s), std::move(campi), std::move(tipoNoto));
}

}  // namespace cartigo
