#include "data/DatabaseJet.h"

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

DatabaseJet::DatabaseJet() = default;

DatabaseJet::~DatabaseJet()
{
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
    const UscitaLettore snap = LettoreProcesso::Esegui(QStringLiteral("tabelle"), percorso_, nomi, opzioni_);
    if (snap.Dimensione() <= 0)
        throw ErroreDatabase(ErroreJet::DatabaseNonApribile,
                             QStringLiteral("Cannot open database '%1': the reader wrote nothing.").arg(percorso_));
    // The reader's file is attached where it lies and its rows copied into the working
    // file, page by page through SQLite's cache.
    {
        Istruzione s;
        const QByteArray file = snap.File().toUtf8();
        if (sqlite3_prepare_v2(db_, "ATTACH ?1 AS snap", -1, &s.st, nullptr) != SQLITE_OK ||
            sqlite3_bind_text(s.st, 1, file.constData(), int(file.size()), SQLITE_TRANSIENT) != SQLITE_OK ||
            sqlite3_step(s.st) != SQLITE_DONE)
            throw ErroreDatabase(
                ErroreJet::DatabaseNonApribile,
                QStringLiteral("Cannot open database '%1': the reader's output is not readable.").arg(percorso_));
    }
    struct Stacca {
        DatabaseJet* d;
        ~Stacca() { sqlite3_exec(d->db_, "DETACH snap", nullptr, nullptr, nullptr); }
    } stacca{this};
    esegui(QStringLiteral("BEGIN"));
    try {
        for (const QString& n : nomi) {
            const InfoTabella& t = tabelle_.at(indiceTabelle_.value(chiave(n)));
            creaTabella(t);
            if (!t.campi.isEmpty())
                esegui(QStringLiteral("INSERT INTO main.%1 SELECT * FROM snap.%1").arg(NomeSqlite(t.nome)));
            caricate_.insert(chiave(n));
        }
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

// The records of a statement whose columns all have a declared type, read one at a
// time; the count comes from a first walk through the statement.
class CursoreJet : public Recordset {
public:
    CursoreJet(sqlite3* db, Istruzione&& s, QList<InfoCampo> campi, QList<bool> tipoNoto)
        : db_(db), campi_(std::move(campi)), tipoNoto_(std::move(tipoNoto))
    {
        std::swap(s_.st, s.st);
        for (int rc; (rc = sqlite3_step(s_.st)) != SQLITE_DONE; ++conteggio_)
            if (rc != SQLITE_ROW) fallito();
        sqlite3_reset(s_.st);
        leggi();
    }
    bool Eof() const override { return eof_; }
    void MoveNext() override
    {
        if (!eof_) leggi();
    }
    int RecordCount() const override { return conteggio_; }
    const QList<InfoCampo>& Campi() const override { return campi_; }
    using Recordset::Valore;
    QVariant Valore(int indice) const override
    {
        if (eof_) throw ErroreDatabase(ErroreJet::NessunRecordCorrente, QStringLiteral("No current record."));
        return riga_.value(indice);
    }

private:
    [[noreturn]] void fallito() const
    {
        throw ErroreDatabase(ErroreJet::SintassiSql, QString::fromUtf8(sqlite3_errmsg(db_)));
    }
    void leggi()
    {
        const int rc = sqlite3_step(s_.st);
        if (rc == SQLITE_ROW) {
            leggiRiga(s_.st, campi_, tipoNoto_, riga_);
            return;
        }
        eof_ = true;
        riga_.clear();
        if (rc != SQLITE_DONE) fallito();
    }

    sqlite3* db_;
    Istruzione s_;
    QList<InfoCampo> campi_;
    QList<bool> tipoNoto_;
    QList<QVariant> riga_;
    int conteggio_ = 0;
    bool eof_ = false;
};

}  // namespace

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
    QString w;
    QVariantList valori;
    if ((c.criterio == 1 || c.criterio == 2) && c.classe >= 0 && c.classe <= 2) {
        const QString f = QLatin1Char('[') + c.campo + QLatin1Char(']');
        valori << valore(c.valori[0]);
        if (c.criterio == 2) valori << valore(c.valori[1]);
        w = c.criterio == 1 ? QStringLiteral("WHERE %1 = ?1").arg(f) : QStringLiteral("WHERE %1 Between ?1 AND ?2").arg(f);
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
