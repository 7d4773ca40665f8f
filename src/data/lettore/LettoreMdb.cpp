// cartigo-mdbreader: reads an MDB/ACCDB file with libmdb and writes what it read
// into a file. It runs as a separate process so that a damaged file that makes libmdb
// loop, eat memory or crash cannot take the designer down.
//
//   cartigo-mdbreader [--memoria BYTES] catalogo FILE.mdb OUT.sqlite
//   cartigo-mdbreader [--memoria BYTES] tabelle  FILE.mdb OUT.righe NAME...
//
// The catalogue goes into a new SQLite database; tables go into a stream of rows that
// the caller reads while it grows (data/FlussoRighe.h describes it), written out every
// 64 KB and at every progress line.
//
// Protocol on the original standard output (libmdb's own chatter goes to /dev/null):
//   "P <n>"            progress (a counter that grows while work goes on)
//   "E <code> <text>"  failure
//   "OK"               the output file is complete

#include "ProtocolloLettore.h"

#include <glib.h>  // before mdbtools.h, which wraps its includes in extern "C"
#include <mdbtools.h>
#include <sqlite3.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

namespace {

std::FILE* fileFlusso = nullptr;  // the rows written so far go out with every progress line
long long contatore = 0;
time_t ultimoProgresso = 0;

void progresso(bool forza = false)
{
    ++contatore;
    const time_t ora = time(nullptr);
    if (forza || ora != ultimoProgresso) {
        ultimoProgresso = ora;
        if (fileFlusso) std::fflush(fileFlusso);
        lettore::ScriviProgresso(contatore);
    }
}

// Every failure ends the program with 2; the code in the line says which it was.
[[noreturn]] void fallisci(int codice, const std::string& testo)
{
    lettore::Fallisci(codice, testo, 2);
}

// Codes of the failures (the parent turns them into messages).
constexpr int ErrNonApribile = 1;  // libmdb cannot open the file
constexpr int ErrCatalogo = 2;     // the catalog cannot be read
constexpr int ErrTabella = 3;      // a table cannot be read
constexpr int ErrScrittura = 4;    // the output cannot be written
constexpr int ErrArgomenti = 5;

class Uscita {
public:
    explicit Uscita(const char* percorso)
    {
        ::unlink(percorso);
        if (sqlite3_open(percorso, &db_) != SQLITE_OK) fallisci(ErrScrittura, std::string("cannot create ") + percorso);
        esegui("PRAGMA journal_mode=OFF");
        esegui("PRAGMA synchronous=OFF");
        esegui("BEGIN");
    }
    ~Uscita() { sqlite3_close(db_); }
    void esegui(const std::string& sql)
    {
        char* err = nullptr;
        if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
            std::string e = err ? err : "?";
            sqlite3_free(err);
            fallisci(ErrScrittura, e);
        }
    }
    sqlite3_stmt* prepara(const std::string& sql)
    {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &st, nullptr) != SQLITE_OK)
            fallisci(ErrScrittura, sqlite3_errmsg(db_));
        return st;
    }
    void passo(sqlite3_stmt* st)
    {
        if (sqlite3_step(st) != SQLITE_DONE) fallisci(ErrScrittura, sqlite3_errmsg(db_));
        sqlite3_reset(st);
        sqlite3_clear_bindings(st);
    }
    void chiudi() { esegui("COMMIT"); }

private:
    sqlite3* db_ = nullptr;
};

// The stream of rows: "CRIGHE1\n", then for each table 'T' (u32 length, name, u32
// columns, u64 rows its definition declares), its rows 'R' (a value a column: 'N' Null,
// 'I' i64, 'F' f64, 'S' or 'B' u32 length and bytes, text or binary) and 'Z' (u64 rows
// written). Numbers little-endian.
class Flusso {
public:
    explicit Flusso(const char* percorso)
    {
        ::unlink(percorso);
        f_ = std::fopen(percorso, "wb");
        if (!f_) fallisci(ErrScrittura, std::string("cannot create ") + percorso);
        std::setvbuf(f_, nullptr, _IOFBF, 65536);
        fileFlusso = f_;
        scrivi("CRIGHE1\n", 8);
    }
    void tabella(const std::string& nome, uint32_t colonne, uint64_t dichiarate)
    {
        byte('T');
        u32(uint32_t(nome.size()));
        scrivi(nome.data(), nome.size());
        u32(colonne);
        u64(dichiarate);
        svuota();  // the caller learns the count at once
    }
    void riga() { byte('R'); }
    void nullo() { byte('N'); }
    void intero(int64_t v)
    {
        byte('I');
        u64(uint64_t(v));
    }
    void reale(double v)
    {
        byte('F');
        uint64_t b;
        std::memcpy(&b, &v, 8);
        u64(b);
    }
    void testo(const char* p, size_t n, char tipo = 'S')
    {
        byte(tipo);
        u32(uint32_t(n));
        scrivi(p, n);
    }
    void fine(uint64_t righe)
    {
        byte('Z');
        u64(righe);
    }
    void svuota()
    {
        if (std::fflush(f_) != 0) fallisci(ErrScrittura, "cannot write the rows");
    }
    void chiudi()
    {
        svuota();
        std::fclose(f_);
        f_ = nullptr;
        fileFlusso = nullptr;
    }

private:
    void scrivi(const void* p, size_t n)
    {
        if (n && std::fwrite(p, 1, n, f_) != n) fallisci(ErrScrittura, "cannot write the rows");
    }
    void byte(char c) { scrivi(&c, 1); }
    void u32(uint32_t v)
    {
        unsigned char b[4];
        for (int i = 0; i < 4; ++i) b[i] = (unsigned char)(v >> (8 * i));
        scrivi(b, 4);
    }
    void u64(uint64_t v)
    {
        unsigned char b[8];
        for (int i = 0; i < 8; ++i) b[i] = (unsigned char)(v >> (8 * i));
        scrivi(b, 8);
    }
    FILE* f_ = nullptr;
};

// Jet stores a date as days since 1899-12-30 with the time as the fraction
// (for negative values the fraction counts forward from the day).
bool DataIso(double valore, std::string& out)
{
    if (!std::isfinite(valore) || valore < -657434.0 || valore > 2958465.999999) return false;
    double giorni = std::trunc(valore);
    double frazione = std::fabs(valore - giorni);
    long long secondi = std::llround(frazione * 86400.0);
    if (secondi >= 86400) {
        secondi -= 86400;
        giorni += valore < 0 ? -1 : 1;
    }
    // Civil date from days since 1970-01-01 (Howard Hinnant's algorithm).
    long long z = (long long)giorni - 25569 + 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = unsigned(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    long long y = (long long)yoe + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    if (m <= 2) ++y;
    char buf[96];
    snprintf(buf, sizeof buf, "%04lld-%02u-%02u %02lld:%02lld:%02lld", y, m, d, secondi / 3600, (secondi / 60) % 60,
             secondi % 60);
    out = buf;
    return true;
}

double leggiDouble(const unsigned char* p)
{
    double d;
    std::memcpy(&d, p, 8);
    return d;
}

constexpr size_t DimensioneBind = 65536;

// A table's definition keeps its row count; a scan that finds fewer rows has met pages it
// could not read.
void verificaRighe(MdbTableDef* t, unsigned long long letti, const std::string& cosa)
{
    if (letti < t->num_rows)
        fallisci(ErrTabella, cosa + " is damaged: it holds " + std::to_string(t->num_rows) + " rows, " +
                                 std::to_string(letti) + " of them could be read");
}

struct Colonna {
    MdbColumn* col;
    std::vector<char> buf;
    int len = 0;
};

void copiaTabella(MdbHandle* mdb, Flusso& out, const std::string& nome)
{
    MdbTableDef* t = mdb_read_table_by_name(mdb, const_cast<gchar*>(nome.c_str()), MDB_TABLE);
    if (!t) fallisci(ErrTabella, "cannot read table " + nome);
    if (!mdb_read_columns(t)) {
        mdb_free_tabledef(t);
        fallisci(ErrTabella, "cannot read the fields of table " + nome);
    }
    mdb_rewind_table(t);
    progresso(true);

    std::vector<Colonna> col(t->num_cols);
    for (unsigned i = 0; i < t->num_cols; ++i) {
        col[i].col = static_cast<MdbColumn*>(g_ptr_array_index(t->columns, i));
        col[i].buf.assign(DimensioneBind + 16, 0);
        mdb_bind_column(t, int(i + 1), col[i].buf.data(), &col[i].len);
    }
    out.tabella(nome, t->num_cols, t->num_cols ? t->num_rows : 0);
    if (t->num_cols == 0) {
        out.fine(0);
        mdb_free_tabledef(t);
        return;
    }
    // A damaged page chain can make the scan go round for ever: a table never holds
    // far more rows than its definition says.
    const unsigned long long massimo = 2ULL * t->num_rows + 10000;
    unsigned long long letti = 0;
    while (mdb_fetch_row(t)) {
        progresso();
        if (++letti > massimo) fallisci(ErrTabella, "table " + nome + " holds more rows than its definition declares");
        out.riga();
        for (unsigned i = 0; i < t->num_cols; ++i) {
            MdbColumn* c = col[i].col;
            const char* testo = col[i].buf.data();
            if (c->col_type == MDB_BOOL) {
                out.intero(std::strcmp(testo, "1") == 0 ? -1 : 0);
                continue;
            }
            if (c->cur_value_len == 0) {
                out.nullo();
                continue;
            }
            switch (c->col_type) {
                case MDB_BYTE:
                case MDB_INT:
                case MDB_LONGINT:
                    out.intero(std::strtoll(testo, nullptr, 10));
                    break;
                case MDB_MONEY:
                case MDB_FLOAT:
                case MDB_DOUBLE:
                case MDB_NUMERIC:
                    out.reale(std::strtod(testo, nullptr));
                    break;
                case MDB_DATETIME: {
                    std::string iso;
                    if (c->cur_value_len == 8 && c->cur_value_start >= 0 &&
                        size_t(c->cur_value_start) + 8 <= size_t(mdb->fmt->pg_size) &&
                        DataIso(leggiDouble(mdb->pg_buf + c->cur_value_start), iso))
                        out.testo(iso.data(), iso.size());
                    else
                        out.nullo();
                    break;
                }
                case MDB_BINARY:
                    if (c->cur_value_start >= 0 &&
                        size_t(c->cur_value_start) + size_t(c->cur_value_len) <= size_t(mdb->fmt->pg_size))
                        out.testo(reinterpret_cast<const char*>(mdb->pg_buf + c->cur_value_start),
                                  size_t(c->cur_value_len), 'B');
                    else
                        out.nullo();
                    break;
                case MDB_OLE:
                case MDB_COMPLEX:
                    out.nullo();  // pictures and attachments are not carried over
                    break;
                default:  // text, memo, replication id
                    out.testo(testo, strnlen(testo, DimensioneBind));
                    break;
            }
        }
    }
    // libmdb skips the data pages it cannot read (beyond the end of the file, or
    // overwritten) and simply ends the scan: rows missing from a table mean a damaged file.
    verificaRighe(t, letti, "table " + nome);
    out.fine(letti);
    mdb_free_tabledef(t);
}

std::string testoColonna(const std::vector<char>& buf, int len)
{
    return len > 0 ? std::string(buf.data(), strnlen(buf.data(), DimensioneBind)) : std::string();
}

// The object list (from MSysObjects), the fields of every table and MSysQueries.
void copiaCatalogo(MdbHandle* mdb, Uscita& out)
{
    if (!mdb_read_catalog(mdb, MDB_ANY)) fallisci(ErrCatalogo, "cannot read the catalog");
    progresso(true);

    out.esegui("CREATE TABLE oggetti (id INTEGER, nome TEXT, tipo INTEGER, flags INTEGER)");
    out.esegui("CREATE TABLE campi (tabella TEXT, posizione INTEGER, nome TEXT, tipo INTEGER, dimensione INTEGER)");

    // MSysObjects carries the ids that MSysQueries refers to.
    {
        MdbTableDef* t = mdb_read_table_by_name(mdb, const_cast<gchar*>("MSysObjects"), MDB_ANY);
        if (!t || !mdb_read_columns(t)) fallisci(ErrCatalogo, "cannot read MSysObjects");
        mdb_rewind_table(t);
        std::vector<char> bid(DimensioneBind + 16), bnome(DimensioneBind + 16), btipo(DimensioneBind + 16),
            bflags(DimensioneBind + 16);
        int lid = 0, lnome = 0, ltipo = 0, lflags = 0;
        if (mdb_bind_column_by_name(t, const_cast<gchar*>("Id"), bid.data(), &lid) < 0 ||
            mdb_bind_column_by_name(t, const_cast<gchar*>("Name"), bnome.data(), &lnome) < 0 ||
            mdb_bind_column_by_name(t, const_cast<gchar*>("Type"), btipo.data(), &ltipo) < 0 ||
            mdb_bind_column_by_name(t, const_cast<gchar*>("Flags"), bflags.data(), &lflags) < 0)
            fallisci(ErrCatalogo, "MSysObjects lacks its columns");
        sqlite3_stmt* st = out.prepara("INSERT INTO oggetti VALUES (?, ?, ?, ?)");
        unsigned long long letti = 0;
        while (mdb_fetch_row(t)) {
            progresso();
            ++letti;
            const std::string nome = testoColonna(bnome, lnome);
            sqlite3_bind_int64(st, 1, std::strtoll(bid.data(), nullptr, 10));
            sqlite3_bind_text(st, 2, nome.c_str(), int(nome.size()), SQLITE_TRANSIENT);
            sqlite3_bind_int64(st, 3, std::strtoll(btipo.data(), nullptr, 10));
            sqlite3_bind_int64(st, 4, lflags > 0 ? std::strtoll(bflags.data(), nullptr, 10) : 0);
            out.passo(st);
        }
        verificaRighe(t, letti, "the catalog (MSysObjects)");
        sqlite3_finalize(st);
        mdb_free_tabledef(t);
    }

    sqlite3_stmt* st = out.prepara("INSERT INTO campi VALUES (?, ?, ?, ?, ?)");
    for (unsigned i = 0; i < mdb->num_catalog; ++i) {
        auto* e = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
        if (e->object_type != MDB_TABLE) continue;
        progresso();
        // A system table the reader cannot make out is left without fields; a user
        // table that cannot be read means a damaged file.
        const bool sistema = std::strncmp(e->object_name, "MSys", 4) == 0;
        MdbTableDef* t = mdb_read_table(e);
        if (!t) {
            if (sistema) continue;
            fallisci(ErrCatalogo, std::string("cannot read table ") + e->object_name);
        }
        if (!mdb_read_columns(t)) {
            mdb_free_tabledef(t);
            if (sistema) continue;
            fallisci(ErrCatalogo, std::string("cannot read the fields of table ") + e->object_name);
        }
        for (unsigned c = 0; c < t->num_cols; ++c) {
            auto* col = static_cast<MdbColumn*>(g_ptr_array_index(t->columns, c));
            sqlite3_bind_text(st, 1, e->object_name, -1, SQLITE_TRANSIENT);
            sqlite3_bind_int(st, 2, int(c));
            sqlite3_bind_text(st, 3, col->name, -1, SQLITE_TRANSIENT);
            sqlite3_bind_int(st, 4, col->col_type);
            sqlite3_bind_int(st, 5, col->col_size);
            out.passo(st);
        }
        mdb_free_tabledef(t);
    }
    sqlite3_finalize(st);

    // Saved queries are described row by row in MSysQueries.
    MdbCatalogEntry* q = mdb_get_catalogentry_by_name(mdb, "MSysQueries");
    if (q) {
        MdbTableDef* t = mdb_read_table(q);
        if (!t || !mdb_read_columns(t)) fallisci(ErrCatalogo, "cannot read MSysQueries");
        mdb_rewind_table(t);
        const char* nomi[] = {"ObjectId", "Attribute", "Name1", "Name2", "Expression", "Flag"};
        std::vector<std::vector<char>> b(6, std::vector<char>(DimensioneBind + 16));
        int l[6] = {};
        for (int k = 0; k < 6; ++k)
            if (mdb_bind_column_by_name(t, const_cast<gchar*>(nomi[k]), b[size_t(k)].data(), &l[k]) < 0)
                fallisci(ErrCatalogo, std::string("MSysQueries lacks ") + nomi[k]);
        out.esegui(
            "CREATE TABLE msysqueries (ObjectId INTEGER, Attribute INTEGER, Name1 TEXT, Name2 TEXT, "
            "Expression TEXT, Flag INTEGER)");
        sqlite3_stmt* ins = out.prepara("INSERT INTO msysqueries VALUES (?, ?, ?, ?, ?, ?)");
        unsigned long long letti = 0;
        while (mdb_fetch_row(t)) {
            progresso();
            ++letti;
            for (int k = 0; k < 6; ++k) {
                if (l[k] <= 0) {
                    sqlite3_bind_null(ins, k + 1);
                } else if (k == 0 || k == 1 || k == 5) {
                    sqlite3_bind_int64(ins, k + 1, std::strtoll(b[size_t(k)].data(), nullptr, 10));
                } else {
                    const std::string s = testoColonna(b[size_t(k)], l[k]);
                    sqlite3_bind_text(ins, k + 1, s.c_str(), int(s.size()), SQLITE_TRANSIENT);
                }
            }
            out.passo(ins);
        }
        verificaRighe(t, letti, "MSysQueries");
        sqlite3_finalize(ins);
        mdb_free_tabledef(t);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    // libmdb writes its warnings to stdout and stderr, which must not reach the caller.
    const int i = lettore::Avvia(argc, argv);
    if (argc - i < 3)
        fallisci(ErrArgomenti, "usage: cartigo-mdbreader [--memoria BYTES] catalogo|tabelle FILE OUT [NAME...]");
    const std::string modo = argv[i];
    const char* file = argv[i + 1];
    const char* uscita = argv[i + 2];

    MdbHandle* mdb = mdb_open(file, MDB_NOFLAGS);
    if (!mdb) fallisci(ErrNonApribile, std::string("cannot open ") + file);
    mdb_set_bind_size(mdb, DimensioneBind);
    mdb_set_boolean_fmt_numbers(mdb);
    progresso(true);

    if (modo == "catalogo") {
        Uscita out(uscita);
        copiaCatalogo(mdb, out);
        out.chiudi();
    } else if (modo == "tabelle") {
        Flusso out(uscita);
        if (!mdb_read_catalog(mdb, MDB_ANY)) fallisci(ErrCatalogo, "cannot read the catalog");
        for (int k = i + 3; k < argc; ++k) copiaTabella(mdb, out, argv[k]);
        out.chiudi();
    } else {
        fallisci(ErrArgomenti, "unknown mode " + modo);
    }
    mdb_close(mdb);
    lettore::Scrivi("OK");
    return 0;
}
