// cartigo-sheetreader: reads an XLSX or ODS workbook with liborcus and writes every
// sheet as a table of a new SQLite database file. The cells are received through
// liborcus's import interfaces as the file is read, so no model of the workbook is
// built; each row goes to the output file as soon as the next one starts. It runs as
// a separate process because liborcus, given a damaged file, may try to allocate
// gigabytes or take a long time before it gives up.
//
//   cartigo-sheetreader [--memoria BYTES] foglio FILE OUT.sqlite
//
// Both kinds are read a part of about 256 KB at a time (see ContenutoOds and LibroXlsx):
// the reader's memory does not grow with the sheet.
//
// The output holds "fogli" (indice, nome, tabella) and, for each sheet, a table "t<n>"
// whose first row of the sheet gave the column names and whose rows are the sheet's
// rows after it, up to the last row with a value. Columns declare their kind by the
// values they hold: "testo", "intero", "numero", "data", "booleano" in "colonne"
// (foglio, posizione, nome, tipo). Dates are "yyyy-MM-dd hh:mm:ss" text, booleans
// -1/0, as the MDB reader writes them.
//
// Protocol on standard output, as cartigo-mdbreader's:
//   "P <n>"            progress
//   "E <code> <text>"  failure (code 2: encrypted, 3: not a spreadsheet, 4: damaged, 6: out of memory)
//   "OK"               the output file is complete

#include "ProtocolloLettore.h"

#include <orcus/orcus_ods.hpp>
#include <orcus/orcus_xlsx.hpp>
#include <orcus/exception.hpp>
#include <orcus/spreadsheet/import_interface.hpp>
#include <orcus/zip_archive.hpp>
#include <orcus/zip_archive_stream.hpp>
#include <sqlite3.h>
#include <zlib.h>

#include <fcntl.h>
#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cerrno>
#include <ctime>
#include <exception>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <system_error>
#include <unordered_map>
#include <vector>

namespace ss = orcus::spreadsheet;
namespace iface = orcus::spreadsheet::iface;

namespace {

enum Errore { ErrArgomenti = 1, ErrCifrato = 2, ErrFormato = 3, ErrDanneggiato = 4, ErrUscita = 5, ErrMemoria = 6 };

long long contatore = 0;
time_t ultimoProgresso = 0;

void progresso(bool forza = false)
{
    ++contatore;
    if (!forza && (contatore & 1023) != 0) return;
    const time_t ora = time(nullptr);
    if (forza || ora != ultimoProgresso) {
        ultimoProgresso = ora;
        lettore::ScriviProgresso(contatore);
    }
}

[[noreturn]] void fallisci(int codice, std::string_view testo)
{
    lettore::Fallisci(codice, testo, codice);
}

constexpr std::string_view MemoriaEsaurita = "out of memory";

// A system call that failed: for want of memory under the cap, or as `testo` says.
[[noreturn]] void fallisciSistema(int codice, std::string_view testo)
{
    if (errno == ENOMEM) fallisci(ErrMemoria, MemoriaEsaurita);
    fallisci(codice, testo);
}

struct ErroreLettura {
    int codice;
    std::string testo;
};

// --- The output file ---

class Uscita {
public:
    explicit Uscita(const char* percorso)
    {
        const int rc = sqlite3_open(percorso, &db_);
        if (rc == SQLITE_NOMEM) fallisci(ErrMemoria, MemoriaEsaurita);
        if (rc != SQLITE_OK) fallisci(ErrUscita, "cannot create the output file");
        esegui("PRAGMA journal_mode = OFF");
        esegui("PRAGMA synchronous = OFF");
        esegui("BEGIN");
    }
    ~Uscita()
    {
        if (db_) sqlite3_close(db_);
    }
    sqlite3* db() const { return db_; }
    void esegui(const std::string& sql)
    {
        if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) fallito();
    }
    sqlite3_stmt* prepara(const std::string& sql)
    {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &st, nullptr) != SQLITE_OK) fallito();
        return st;
    }
    void passo(sqlite3_stmt* st)
    {
        const int rc = sqlite3_step(st);
        if (rc != SQLITE_DONE && rc != SQLITE_ROW) fallito();
        sqlite3_reset(st);
    }
    void chiudi()
    {
        esegui("COMMIT");
        if (sqlite3_close(db_) != SQLITE_OK) fallisci(ErrUscita, "cannot close the output file");
        db_ = nullptr;
    }

private:
    // The failed statement ends the reader: for want of memory, or as SQLite says.
    [[noreturn]] void fallito() const
    {
        if (sqlite3_errcode(db_) == SQLITE_NOMEM) fallisci(ErrMemoria, MemoriaEsaurita);
        char buf[512];
        snprintf(buf, sizeof buf, "output: %s", sqlite3_errmsg(db_));
        fallisci(ErrUscita, buf);
    }

    sqlite3* db_ = nullptr;
};

// --- Cells as they arrive ---

// A cell's value while the sheet is read. Numbers keep their cell format until the
// styles (which an XLSX file may hold after the sheets) say whether it is a date.
struct Cella {
    enum Tipo : uint8_t { Vuota, Testo, Numero, Booleano, Data, SoloFormato };
    Tipo tipo = Vuota;
    double numero = 0;
    uint32_t formato = 0;
    std::string testo;
};

// Staging cells are stored in a table of untyped columns: text as TEXT, booleans as
// INTEGER, numbers as REAL when they have no format, else as a 12-byte BLOB holding
// the number and its format (format 0xFFFFFFFF: a date serial, NaN: a format alone).
constexpr uint32_t FormatoData = 0xFFFFFFFFu;

void leggiCella(sqlite3_stmt* st, int i, Cella& c)
{
    c = Cella();
    switch (sqlite3_column_type(st, i)) {
        case SQLITE_TEXT:
            c.tipo = Cella::Testo;
            c.testo.assign(reinterpret_cast<const char*>(sqlite3_column_text(st, i)), size_t(sqlite3_column_bytes(st, i)));
            break;
        case SQLITE_INTEGER:
            c.tipo = Cella::Booleano;
            c.numero = double(sqlite3_column_int64(st, i));
            break;
        case SQLITE_FLOAT:
            c.tipo = Cella::Numero;
            c.numero = sqlite3_column_double(st, i);
            break;
        case SQLITE_BLOB:
            if (sqlite3_column_bytes(st, i) == 12) {
                const auto* b = static_cast<const unsigned char*>(sqlite3_column_blob(st, i));
                std::memcpy(&c.numero, b, 8);
                std::memcpy(&c.formato, b + 8, 4);
                c.tipo = std::isnan(c.numero) ? Cella::SoloFormato
                                              : (c.formato == FormatoData ? Cella::Data : Cella::Numero);
            }
            break;
        default:
            break;
    }
}

void legaCella(sqlite3_stmt* st, int p, const Cella& c)
{
    switch (c.tipo) {
        case Cella::Testo:
            sqlite3_bind_text(st, p, c.testo.data(), int(c.testo.size()), SQLITE_TRANSIENT);
            break;
        case Cella::Booleano:
            sqlite3_bind_int64(st, p, c.numero != 0 ? 1 : 0);
            break;
        case Cella::Numero:
        case Cella::Data:
        case Cella::SoloFormato:
            if (c.tipo == Cella::Numero && c.formato == 0) {
                sqlite3_bind_double(st, p, c.numero);
            } else {
                unsigned char b[12];
                const double n = c.tipo == Cella::SoloFormato ? std::nan("") : c.numero;
                const uint32_t f = c.tipo == Cella::Data ? FormatoData : c.formato;
                std::memcpy(b, &n, 8);
                std::memcpy(b + 8, &f, 4);
                sqlite3_bind_blob(st, p, b, 12, SQLITE_TRANSIENT);
            }
            break;
        default:
            sqlite3_bind_null(st, p);
    }
}

bool haValore(const Cella& c)
{
    return c.tipo == Cella::Testo ? !c.testo.empty() : (c.tipo != Cella::Vuota && c.tipo != Cella::SoloFormato);
}

// Days since 1899-12-30 of a civil date (Howard Hinnant's algorithm).
long long giorniDa(long long y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = unsigned(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + (long long)doe - 719468 + 25569;
}

bool dataIso(double valore, std::string& out)
{
    if (!std::isfinite(valore) || valore < -657434.0 || valore > 2958465.999999) return false;
    double giorni = std::floor(valore);
    long long secondi = std::llround((valore - giorni) * 86400.0);
    if (secondi >= 86400) {
        secondi -= 86400;
        giorni += 1;
    }
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
    char buf[64];
    snprintf(buf, sizeof buf, "%04lld-%02u-%02u %02lld:%02lld:%02lld", y, m, d, secondi / 3600, (secondi / 60) % 60,
             secondi % 60);
    out = buf;
    return true;
}

std::string testoNumero(double v)
{
    char buf[64];
    snprintf(buf, sizeof buf, "%.15g", v);
    return buf;
}

// True for a number format that shows a date or a time: the built-in ones, or a
// code with day, month, year, hour or second letters outside quotes and brackets.
bool formatoData(size_t id, const std::string* codice)
{
    if (!codice) return (id >= 14 && id <= 22) || (id >= 45 && id <= 47) || (id >= 27 && id <= 36) || (id >= 50 && id <= 58);
    bool virgolette = false;
    for (size_t i = 0; i < codice->size(); ++i) {
        const char c = (*codice)[i];
        if (c == '"') {
            virgolette = !virgolette;
        } else if (virgolette) {
        } else if (c == '\\' || c == '_' || c == '*') {
            ++i;
        } else if (c == '[') {
            // [h], [mm], [ss] are elapsed times; [Red], [$-410] are not letters of the date.
            const size_t fine = codice->find(']', i);
            const std::string dentro = codice->substr(i + 1, fine == std::string::npos ? std::string::npos : fine - i - 1);
            if (!dentro.empty() && std::strchr("hHmMsS", dentro[0]) &&
                dentro.find_first_not_of(dentro[0]) == std::string::npos)
                return true;
            if (fine == std::string::npos) break;
            i = fine;
        } else if (c == ';') {
            break;  // the first section decides
        } else if (std::strchr("dDmMyYhHsS", c)) {
            return true;
        }
    }
    return false;
}

// --- One sheet ---

class Fabbrica;

class Foglio : public iface::import_sheet, public iface::import_sheet_properties, public iface::import_formula {
public:
    Foglio(Fabbrica& f, int indice, std::string nome) : f_(f), indice_(indice), nome_(std::move(nome)) {}
    ~Foglio() override { Chiudi(); }
    void Chiudi()
    {
        sqlite3_finalize(ins_);
        ins_ = nullptr;
    }

    const std::string& Nome() const { return nome_; }
    int Indice() const { return indice_; }
    // The rows liborcus reports next are this many rows further down the sheet.
    void Sposta(long long righe) { scarto_ = righe; }
    void AggiungiUnione(const ss::range_t& r)
    {
        if (r.first.row >= 0 && r.first.column >= 0 && r.last.row >= r.first.row && r.last.column >= r.first.column &&
            r.last.column < 16384 && r.last.row < (1 << 21) && unioni_.size() < 100000)
            unioni_.push_back(r);
    }
    std::string Tabella() const { return "g" + std::to_string(indice_); }

    // The row in memory goes to the staging table.
    void Scarica();
    // After the whole file: the merged ranges take their top-left value.
    void ApplicaUnioni();
    // The staging table becomes the sheet's table.
    void Concludi(const std::set<uint32_t>& formatiData, sqlite3_stmt* insFoglio, sqlite3_stmt* insColonna);

    // import_sheet
    iface::import_sheet_properties* get_sheet_properties() override { return this; }
    iface::import_formula* get_formula() override { return this; }
    void set_auto(ss::row_t r, ss::col_t c, std::string_view s) override;
    void set_string(ss::row_t r, ss::col_t c, ss::string_id_t id) override;
    void set_value(ss::row_t r, ss::col_t c, double v) override
    {
        Cella& x = cella(r, c);
        x.tipo = Cella::Numero;
        x.numero = v;
    }
    void set_bool(ss::row_t r, ss::col_t c, bool v) override
    {
        Cella& x = cella(r, c);
        x.tipo = Cella::Booleano;
        x.numero = v ? 1 : 0;
    }
    void set_date_time(ss::row_t r, ss::col_t c, int y, int mo, int d, int h, int mi, double s) override
    {
        if (mo < 1 || mo > 12 || d < 1 || d > 31) return;
        Cella& x = cella(r, c);
        x.tipo = Cella::Data;
        x.numero = double(giorniDa(y, unsigned(mo), unsigned(d))) + (h * 3600.0 + mi * 60.0 + s) / 86400.0;
    }
    void set_format(ss::row_t r, ss::col_t c, size_t xf) override;
    void set_format(ss::row_t, ss::col_t, ss::row_t, ss::col_t, size_t) override {}
    void fill_down_cells(ss::row_t, ss::col_t, ss::row_t) override {}
    ss::range_size_t get_sheet_size() const override { return {1048576, 16384}; }

    // import_sheet_properties
    void set_column_width(ss::col_t, double, orcus::length_unit_t) override {}
    void set_column_hidden(ss::col_t, bool) override {}
    void set_row_height(ss::row_t, double, orcus::length_unit_t) override {}
    void set_row_hidden(ss::row_t, bool) override {}
    void set_merge_cell_range(const ss::range_t& r) override
    {
        ss::range_t u = r;
        u.first.row = ss::row_t(u.first.row + scarto_);
        u.last.row = ss::row_t(u.last.row + scarto_);
        AggiungiUnione(u);
    }

    // import_formula: the cached result of a formula cell, after the whole sheet
    void set_position(ss::row_t r, ss::col_t c) override
    {
        fr_ = ss::row_t(r + scarto_);
        fc_ = c;
        risultato_ = Cella();
    }
    void set_formula(ss::formula_grammar_t, std::string_view) override {}
    void set_shared_formula_index(size_t) override {}
    void set_result_string(std::string_view v) override
    {
        risultato_.tipo = Cella::Testo;
        risultato_.testo.assign(v);
    }
    void set_result_value(double v) override
    {
        risultato_ = Cella();
        if (std::isnan(v)) return;
        risultato_.tipo = Cella::Numero;
        risultato_.numero = v;
    }
    void set_result_bool(bool v) override
    {
        risultato_.tipo = Cella::Booleano;
        risultato_.numero = v ? 1 : 0;
    }
    void set_result_empty() override { risultato_ = Cella(); }
    void commit() override;

private:
    Cella& cella(ss::row_t r, ss::col_t c);
    void assicuraColonne(int n);
    void assicuraRiga(long long riga);
    Cella leggi(long long riga, int col);
    void scriviCella(long long riga, int col, const Cella& c);

    Fabbrica& f_;
    int indice_;
    std::string nome_;
    bool creata_ = false;
    int colonne_ = 0;
    sqlite3_stmt* ins_ = nullptr;
    long long riga_ = -1;  // the row in memory
    long long scarto_ = 0;
    std::vector<Cella> celle_;
    std::vector<ss::range_t> unioni_;
    ss::row_t fr_ = -1;
    ss::col_t fc_ = -1;
    Cella risultato_;
};

// --- The shared strings, the styles and the workbook ---

class Stringhe : public iface::import_shared_strings {
public:
    // An ODS file hands each cell's text over just before the cell: only the latest
    // ones are kept. An XLSX file's table comes before the sheets and serves all of them;
    // text kept in a sheet's cells is added for one part of the sheet and dropped after it.
    explicit Stringhe(bool soloRecenti) : soloRecenti_(soloRecenti) {}
    std::optional<std::string_view> Testo(size_t id) const
    {
        if (id < base_ || id - base_ >= fini_.size()) return std::nullopt;
        const size_t i = id - base_;
        const uint64_t inizio = i ? fini_[i - 1] : 0;
        return std::string_view(testi_).substr(size_t(inizio), size_t(fini_[i] - inizio));
    }
    // The number the next text gets.
    size_t Prossima() const { return base_ + fini_.size(); }
    // Drops the texts from number `n` on.
    void Tronca(size_t n)
    {
        if (n < base_ || n >= Prossima()) return;
        fini_.resize(n - base_);
        testi_.resize(fini_.empty() ? 0 : size_t(fini_.back()));
    }
    size_t append(std::string_view s) override { return aggiungi(s); }
    size_t add(std::string_view s) override { return aggiungi(s); }
    void set_segment_font(size_t) override {}
    void set_segment_bold(bool) override {}
    void set_segment_italic(bool) override {}
    void set_segment_font_name(std::string_view) override {}
    void set_segment_font_size(double) override {}
    void set_segment_font_color(ss::color_elem_t, ss::color_elem_t, ss::color_elem_t, ss::color_elem_t) override {}
    void append_segment(std::string_view s) override { segmenti_.append(s); }
    size_t commit_segments() override
    {
        const size_t id = aggiungi(segmenti_);
        segmenti_.clear();
        return id;
    }

private:
    size_t aggiungi(std::string_view s)
    {
        if (soloRecenti_ && fini_.size() >= 4096) {
            const uint64_t via = fini_[2047];
            testi_.erase(0, size_t(via));
            fini_.erase(fini_.begin(), fini_.begin() + 2048);
            for (uint64_t& f : fini_) f -= via;
            base_ += 2048;
        }
        testi_.append(s);
        fini_.push_back(testi_.size());
        return Prossima() - 1;
    }
    bool soloRecenti_;
    size_t base_ = 0;
    std::string testi_;           // the texts end to end
    std::vector<uint64_t> fini_;  // where each ends in testi_
    std::string segmenti_;
};

// Only the number formats of the cell formats matter: which cell formats show a date.
class Stili : public iface::import_styles {
public:
    // An ODS file's cells say their type themselves: its cell formats are only counted.
    explicit Stili(bool conserva) : conserva_(conserva) {}
    std::set<uint32_t> FormatiData() const
    {
        std::set<uint32_t> r;
        for (size_t i = 0; i < xf_.size(); ++i) {
            const auto it = codici_.find(xf_[i]);
            if (formatoData(xf_[i], it == codici_.end() ? nullptr : &it->second)) r.insert(uint32_t(i));
        }
        return r;
    }
    void set_font_count(size_t) override {}
    void set_font_bold(bool) override {}
    void set_font_italic(bool) override {}
    void set_font_name(std::string_view) override {}
    void set_font_size(double) override {}
    void set_font_underline(ss::underline_t) override {}
    void set_font_underline_width(ss::underline_width_t) override {}
    void set_font_underline_mode(ss::underline_mode_t) override {}
    void set_font_underline_type(ss::underline_type_t) override {}
    void set_font_underline_color(ss::color_elem_t, ss::color_elem_t, ss::color_elem_t, ss::color_elem_t) override {}
    void set_font_color(ss::color_elem_t, ss::color_elem_t, ss::color_elem_t, ss::color_elem_t) override {}
    void set_strikethrough_style(ss::strikethrough_style_t) override {}
    void set_strikethrough_type(ss::strikethrough_type_t) override {}
    void set_strikethrough_width(ss::strikethrough_width_t) override {}
    void set_strikethrough_text(ss::strikethrough_text_t) override {}
    size_t commit_font() override { return 0; }
    void set_fill_count(size_t) override {}
    void set_fill_pattern_type(ss::fill_pattern_t) override {}
    void set_fill_fg_color(ss::color_elem_t, ss::color_elem_t, ss::color_elem_t, ss::color_elem_t) override {}
    void set_fill_bg_color(ss::color_elem_t, ss::color_elem_t, ss::color_elem_t, ss::color_elem_t) override {}
    size_t commit_fill() override { return 0; }
    void set_border_count(size_t) override {}
    void set_border_style(ss::border_direction_t, ss::border_style_t) override {}
    void set_border_color(ss::border_direction_t, ss::color_elem_t, ss::color_elem_t, ss::color_elem_t,
                          ss::color_elem_t) override
    {
    }
    void set_border_width(ss::border_direction_t, double, orcus::length_unit_t) override {}
    size_t commit_border() override { return 0; }
    void set_cell_hidden(bool) override {}
    void set_cell_locked(bool) override {}
    void set_cell_print_content(bool) override {}
    void set_cell_formula_hidden(bool) override {}
    size_t commit_cell_protection() override { return 0; }
    void set_number_format_count(size_t) override {}
    void set_number_format_identifier(size_t id) override { idFormato_ = id; }
    void set_number_format_code(std::string_view s) override { codiceFormato_.assign(s); }
    size_t commit_number_format() override
    {
        if (codici_.size() < 100000) codici_[idFormato_] = codiceFormato_;
        codiceFormato_.clear();
        return idFormato_;
    }
    void set_cell_xf_count(size_t) override {}
    void set_cell_style_xf_count(size_t) override {}
    void set_dxf_count(size_t) override {}
    void set_xf_font(size_t) override {}
    void set_xf_fill(size_t) override {}
    void set_xf_border(size_t) override {}
    void set_xf_protection(size_t) override {}
    void set_xf_number_format(size_t i) override { formatoXf_ = i; }
    void set_xf_style_xf(size_t) override {}
    void set_xf_apply_alignment(bool) override {}
    void set_xf_horizontal_alignment(ss::hor_alignment_t) override {}
    void set_xf_vertical_alignment(ss::ver_alignment_t) override {}
    size_t commit_cell_xf() override
    {
        if (!conserva_) return contati_++;
        if (xf_.size() < 1000000) xf_.push_back(formatoXf_);
        formatoXf_ = 0;
        return xf_.size() - 1;
    }
    size_t commit_cell_style_xf() override
    {
        formatoXf_ = 0;
        return stili_++;
    }
    size_t commit_dxf() override
    {
        formatoXf_ = 0;
        return dxf_++;
    }
    void set_cell_style_count(size_t) override {}
    void set_cell_style_name(std::string_view) override {}
    void set_cell_style_xf(size_t) override {}
    void set_cell_style_builtin(size_t) override {}
    void set_cell_style_parent_name(std::string_view) override {}
    size_t commit_cell_style() override { return 0; }

private:
    bool conserva_;
    size_t idFormato_ = 0, formatoXf_ = 0, stili_ = 0, dxf_ = 0, contati_ = 0;
    std::string codiceFormato_;
    std::unordered_map<size_t, std::string> codici_;
    std::vector<size_t> xf_;  // cell format -> number format id
};

// Cell addresses of the A1 form ("$B$12", "Sheet!A1:C3" without the sheet).
class Indirizzi : public iface::import_reference_resolver {
public:
    ss::src_address_t resolve_address(std::string_view a) override
    {
        const size_t esclamativo = a.rfind('!');
        if (esclamativo != std::string_view::npos) a = a.substr(esclamativo + 1);
        ss::src_address_t r{0, 0, 0};
        size_t i = 0;
        long c = 0, riga = 0;
        if (i < a.size() && a[i] == '$') ++i;
        while (i < a.size() && std::isalpha(static_cast<unsigned char>(a[i])) && c < 100000)
            c = c * 26 + (std::toupper(static_cast<unsigned char>(a[i++])) - 'A' + 1);
        if (i < a.size() && a[i] == '$') ++i;
        while (i < a.size() && std::isdigit(static_cast<unsigned char>(a[i])) && riga < 100000000)
            riga = riga * 10 + (a[i++] - '0');
        if (i != a.size() || c == 0 || riga == 0) throw orcus::general_error("invalid cell address");
        r.row = ss::row_t(riga - 1);
        r.column = ss::col_t(c - 1);
        return r;
    }
    ss::src_range_t resolve_range(std::string_view a) override
    {
        const size_t due = a.find(':');
        if (due == std::string_view::npos) {
            const auto x = resolve_address(a);
            return {x, x};
        }
        return {resolve_address(a.substr(0, due)), resolve_address(a.substr(due + 1))};
    }
};

class Impostazioni : public iface::import_global_settings {
public:
    // Days to add to a serial of the workbook's date system to make it one of 1899-12-30.
    double scarto = 0;
    void set_origin_date(int y, int m, int d) override
    {
        if (m >= 1 && m <= 12 && d >= 1 && d <= 31) scarto = double(giorniDa(y, unsigned(m), unsigned(d)));
    }
    void set_default_formula_grammar(ss::formula_grammar_t g) override { grammatica_ = g; }
    ss::formula_grammar_t get_default_formula_grammar() const override { return grammatica_; }
    void set_character_set(orcus::character_set_t) override {}

private:
    ss::formula_grammar_t grammatica_ = ss::formula_grammar_t::unknown;
};

class Fabbrica : public iface::import_factory {
public:
    Fabbrica(Uscita& out, bool ods) : out_(out), stringhe_(ods), stili_(!ods), ods_(ods) {}

    Uscita& Out() { return out_; }
    Stringhe& Testi() { return stringhe_; }
    bool Ods() const { return ods_; }
    double Scarto() const { return impostazioni_.scarto; }
    // Only one row of one sheet is in memory: touching another sends it to the file.
    void Tocca(Foglio* f)
    {
        if (attivo_ && attivo_ != f) attivo_->Scarica();
        attivo_ = f;
    }

    iface::import_global_settings* get_global_settings() override { return &impostazioni_; }
    iface::import_shared_strings* get_shared_strings() override { return &stringhe_; }
    iface::import_styles* get_styles() override { return &stili_; }
    iface::import_reference_resolver* get_reference_resolver(ss::formula_ref_context_t) override { return &indirizzi_; }
    // What liborcus reads next is a part of sheet `indice` of an ODS file, whose first
    // row is row `riga` of the sheet.
    void IniziaParte(int indice, long long riga)
    {
        parte_ = indice;
        rigaParte_ = riga;
    }
    // A merged range of an ODS file, found as its content is cut into parts.
    void Unione(int foglio, long long riga, long long colonna, long long righe, long long colonne)
    {
        if (unioniOds_.size() >= 100000 || riga + righe > (1 << 21) || colonna + colonne > 16384) return;
        ss::range_t r;
        r.first.row = ss::row_t(riga);
        r.first.column = ss::col_t(colonna);
        r.last.row = ss::row_t(riga + righe - 1);
        r.last.column = ss::col_t(colonna + colonne - 1);
        unioniOds_.emplace_back(foglio, r);
    }

    iface::import_sheet* append_sheet(ss::sheet_t indice, std::string_view nome) override
    {
        if (parte_ >= 0) {
            if (indice != 0) throw orcus::general_error("a part of the content with more than one table");
            indice = parte_;
            if (Foglio* f = cerca(indice)) {
                f->Sposta(rigaParte_);
                return f;
            }
        }
        if (fogli_.size() >= 10000) throw orcus::general_error("too many sheets");
        fogli_.push_back(std::make_unique<Foglio>(*this, int(indice), std::string(nome)));
        fogli_.back()->Sposta(parte_ >= 0 ? rigaParte_ : 0);
        return fogli_.back().get();
    }
    iface::import_sheet* get_sheet(std::string_view nome) override
    {
        for (auto& f : fogli_)
            if (f->Nome() == nome) return f.get();
        return nullptr;
    }
    iface::import_sheet* get_sheet(ss::sheet_t indice) override
    {
        return cerca(parte_ >= 0 && indice == 0 ? parte_ : indice);
    }
    void finalize() override {}

    void Concludi()
    {
        if (attivo_) attivo_->Scarica();
        attivo_ = nullptr;
        for (const auto& [foglio, r] : unioniOds_)
            if (Foglio* f = cerca(foglio)) f->AggiungiUnione(r);
        for (auto& f : fogli_) f->ApplicaUnioni();
        out_.esegui(
            "CREATE TABLE fogli (indice INTEGER PRIMARY KEY, nome TEXT, tabella TEXT); "
            "CREATE TABLE colonne (foglio INTEGER, posizione INTEGER, nome TEXT, tipo TEXT)");
        sqlite3_stmt* insFoglio = out_.prepara("INSERT INTO fogli VALUES (?, ?, ?)");
        sqlite3_stmt* insColonna = out_.prepara("INSERT INTO colonne VALUES (?, ?, ?, ?)");
        const std::set<uint32_t> date = ods_ ? std::set<uint32_t>() : stili_.FormatiData();
        for (auto& f : fogli_) {
            f->Chiudi();
            f->Concludi(date, insFoglio, insColonna);
        }
        sqlite3_finalize(insFoglio);
        sqlite3_finalize(insColonna);
    }

private:
    Foglio* cerca(ss::sheet_t indice)
    {
        for (auto& f : fogli_)
            if (f->Indice() == indice) return f.get();
        return nullptr;
    }

    Uscita& out_;
    Stringhe stringhe_;
    Stili stili_;
    Indirizzi indirizzi_;
    Impostazioni impostazioni_;
    bool ods_;
    std::vector<std::unique_ptr<Foglio>> fogli_;
    Foglio* attivo_ = nullptr;
    int parte_ = -1;
    long long rigaParte_ = 0;
    std::vector<std::pair<int, ss::range_t>> unioniOds_;
};

// --- Foglio ---

Cella& Foglio::cella(ss::row_t riga, ss::col_t c)
{
    const long long r = riga + scarto_;
    if (riga < 0 || c < 0 || c >= 16384 || r >= (1 << 21)) throw orcus::general_error("cell address out of range");
    f_.Tocca(this);
    if (r != riga_) {
        Scarica();
        riga_ = r;
    }
    if (size_t(c) >= celle_.size()) celle_.resize(size_t(c) + 1);
    progresso();
    return celle_[size_t(c)];
}

void Foglio::set_string(ss::row_t r, ss::col_t c, ss::string_id_t id)
{
    const auto s = f_.Testi().Testo(id);
    if (!s) return;
    Cella& x = cella(r, c);
    x.tipo = Cella::Testo;
    x.testo.assign(*s);
}

void Foglio::set_auto(ss::row_t r, ss::col_t c, std::string_view s)
{
    Cella& x = cella(r, c);
    x.tipo = Cella::Testo;
    x.testo.assign(s);
}

void Foglio::set_format(ss::row_t r, ss::col_t c, size_t xf)
{
    if (f_.Ods() || xf == 0 || xf >= FormatoData) return;
    if (r != riga_ || c < 0 || size_t(c) >= celle_.size()) {
        // A formula cell's format comes with no value: its result arrives at the end.
        Cella& x = cella(r, c);
        x.tipo = Cella::SoloFormato;
        x.formato = uint32_t(xf);
        return;
    }
    Cella& x = celle_[size_t(c)];
    if (x.tipo == Cella::Vuota) x.tipo = Cella::SoloFormato;
    x.formato = uint32_t(xf);
}

void Foglio::assicuraColonne(int n)
{
    if (!creata_) {
        f_.Out().esegui("CREATE TABLE " + Tabella() + " (c0)");
        creata_ = true;
        colonne_ = 1;
    }
    if (n <= colonne_) return;
    // Columns come in steps, so that a wide row does not alter the table for each cell.
    const int nuove = std::min(16384, std::max(n, colonne_ + 8));
    for (int i = colonne_; i < nuove; ++i)
        f_.Out().esegui("ALTER TABLE " + Tabella() + " ADD COLUMN c" + std::to_string(i));
    colonne_ = nuove;
    Chiudi();
}

void Foglio::Scarica()
{
    if (riga_ < 0) return;
    int n = 0;
    for (size_t i = 0; i < celle_.size(); ++i)
        if (celle_[i].tipo != Cella::Vuota) n = int(i) + 1;
    if (n > 0) {
        assicuraColonne(n);
        if (!ins_) {
            std::string sql = "INSERT OR REPLACE INTO " + Tabella() + " (rowid";
            for (int i = 0; i < colonne_; ++i) sql += ", c" + std::to_string(i);
            sql += ") VALUES (?";
            for (int i = 0; i < colonne_; ++i) sql += ", ?";
            ins_ = f_.Out().prepara(sql + ")");
        }
        sqlite3_clear_bindings(ins_);
        sqlite3_bind_int64(ins_, 1, riga_ + 1);
        for (int i = 0; i < n; ++i) legaCella(ins_, i + 2, celle_[size_t(i)]);
        f_.Out().passo(ins_);
    }
    riga_ = -1;
    for (auto& c : celle_) c = Cella();
}

void Foglio::assicuraRiga(long long riga)
{
    assicuraColonne(1);
    sqlite3_stmt* st = f_.Out().prepara("INSERT OR IGNORE INTO " + Tabella() + " (rowid) VALUES (?)");
    sqlite3_bind_int64(st, 1, riga + 1);
    f_.Out().passo(st);
    sqlite3_finalize(st);
}

Cella Foglio::leggi(long long riga, int col)
{
    Cella c;
    if (!creata_ || col >= colonne_) return c;
    sqlite3_stmt* st = f_.Out().prepara("SELECT c" + std::to_string(col) + " FROM " + Tabella() + " WHERE rowid = ?");
    sqlite3_bind_int64(st, 1, riga + 1);
    if (sqlite3_step(st) == SQLITE_ROW) leggiCella(st, 0, c);
    sqlite3_finalize(st);
    return c;
}

void Foglio::scriviCella(long long riga, int col, const Cella& c)
{
    assicuraColonne(col + 1);
    assicuraRiga(riga);
    sqlite3_stmt* st =
        f_.Out().prepara("UPDATE " + Tabella() + " SET c" + std::to_string(col) + " = ? WHERE rowid = ?");
    legaCella(st, 1, c);
    sqlite3_bind_int64(st, 2, riga + 1);
    f_.Out().passo(st);
    sqlite3_finalize(st);
}

void Foglio::commit()
{
    if (fr_ < 0 || fc_ < 0 || fc_ >= 16384 || fr_ >= (1 << 21)) return;
    f_.Tocca(nullptr);
    progresso();
    Cella c = risultato_;
    if (c.tipo == Cella::Vuota) return;
    if (c.tipo == Cella::Numero) {
        const Cella prima = leggi(fr_, fc_);
        if (prima.tipo == Cella::SoloFormato || prima.tipo == Cella::Numero) c.formato = prima.formato;
    }
    scriviCella(fr_, fc_, c);
    fr_ = fc_ = -1;
}

void Foglio::ApplicaUnioni()
{
    for (const auto& u : unioni_) {
        const Cella alto = leggi(u.first.row, u.first.column);
        if (!haValore(alto)) continue;
        for (ss::row_t r = u.first.row; r <= u.last.row; ++r)
            for (ss::col_t c = u.first.column; c <= u.last.column; ++c)
                if (r != u.first.row || c != u.first.column) scriviCella(r, c, alto);
        progresso();
    }
}

void Foglio::Concludi(const std::set<uint32_t>& formatiData, sqlite3_stmt* insFoglio, sqlite3_stmt* insColonna)
{
    Uscita& out = f_.Out();
    const std::string tabella = "t" + std::to_string(indice_);
    const double scarto = f_.Scarto();
    // A number with a date format is a date.
    auto normale = [&](Cella& c) {
        if (c.tipo == Cella::Numero && c.formato != 0 && formatiData.count(c.formato)) {
            c.tipo = Cella::Data;
            c.numero += scarto;
        }
        if (c.tipo == Cella::Testo && c.testo.empty()) c.tipo = Cella::Vuota;
        if (c.tipo == Cella::SoloFormato) c.tipo = Cella::Vuota;
    };

    // First walk: where the values are, the header, and what each column holds.
    long long primaRiga = -1, ultimaRiga = -1;
    int primaColonna = 16384, ultimaColonna = -1;
    struct Tipi {
        bool testo = false, numero = false, intero = true, data = false, booleano = false;
    };
    std::vector<Tipi> tipi;
    std::vector<Cella> intestazione;
    if (creata_) {
        sqlite3_stmt* st = out.prepara("SELECT rowid, * FROM " + Tabella() + " ORDER BY rowid");
        Cella c;
        while (sqlite3_step(st) == SQLITE_ROW) {
            const long long riga = sqlite3_column_int64(st, 0);
            bool valore = false;
            for (int i = 0; i < colonne_; ++i) {
                leggiCella(st, i + 1, c);
                normale(c);
                if (!haValore(c)) continue;
                valore = true;
                primaColonna = std::min(primaColonna, i);
                ultimaColonna = std::max(ultimaColonna, i);
                if (primaRiga < 0 || riga == primaRiga) {
                    if (intestazione.size() <= size_t(i)) intestazione.resize(size_t(i) + 1);
                    intestazione[size_t(i)] = c;
                    continue;
                }
                if (tipi.size() <= size_t(i)) tipi.resize(size_t(i) + 1);
                Tipi& t = tipi[size_t(i)];
                switch (c.tipo) {
                    case Cella::Testo:
                        t.testo = true;
                        break;
                    case Cella::Numero:
                        t.numero = true;
                        if (c.numero != std::trunc(c.numero) || std::fabs(c.numero) > 2147483647.0) t.intero = false;
                        break;
                    case Cella::Data:
                        t.data = true;
                        break;
                    case Cella::Booleano:
                        t.booleano = true;
                        break;
                    default:
                        break;
                }
            }
            if (valore) {
                if (primaRiga < 0) primaRiga = riga;
                ultimaRiga = riga;
            }
            progresso();
        }
        sqlite3_finalize(st);
    }

    // Columns: names from the header, "Column N" for an empty one, a suffix for a repeat.
    struct Colonna {
        int indice;
        std::string nome, tipo;
    };
    std::vector<Colonna> colonne;
    std::set<std::string> usati;
    auto chiave = [](std::string s) {
        for (char& ch : s) ch = char(std::tolower(static_cast<unsigned char>(ch)));
        return s;
    };
    for (int i = primaColonna; i <= ultimaColonna; ++i) {
        std::string nome;
        if (size_t(i) < intestazione.size()) {
            Cella h = intestazione[size_t(i)];
            if (h.tipo == Cella::Testo)
                nome = h.testo;
            else if (h.tipo == Cella::Numero)
                nome = testoNumero(h.numero);
            else if (h.tipo == Cella::Data && dataIso(h.numero, nome) && nome.size() > 10 && nome.substr(10) == " 00:00:00")
                nome.resize(10);
            else if (h.tipo == Cella::Booleano)
                nome = h.numero != 0 ? "TRUE" : "FALSE";
        }
        // One line, without the characters that delimit names in a statement.
        for (char& ch : nome)
            if (ch == '\r' || ch == '\n' || ch == '\t')
                ch = ' ';
            else if (ch == '[' || ch == ']')
                ch = ch == '[' ? '(' : ')';
        while (!nome.empty() && nome.back() == ' ') nome.pop_back();
        while (!nome.empty() && nome.front() == ' ') nome.erase(0, 1);
        if (nome.empty()) nome = "Column " + std::to_string(i + 1);
        std::string unico = nome;
        for (int k = 2; usati.count(chiave(unico)); ++k) unico = nome + "_" + std::to_string(k);
        usati.insert(chiave(unico));
        const Tipi t = size_t(i) < tipi.size() ? tipi[size_t(i)] : Tipi();
        std::string tipo = "testo";
        const int generi = int(t.testo) + int(t.numero) + int(t.data) + int(t.booleano);
        if (generi == 1 && t.numero)
            tipo = t.intero ? "intero" : "numero";
        else if (generi == 1 && t.data)
            tipo = "data";
        else if (generi == 1 && t.booleano)
            tipo = "booleano";
        colonne.push_back({i, unico, tipo});
    }

    sqlite3_bind_int(insFoglio, 1, indice_);
    sqlite3_bind_text(insFoglio, 2, nome_.data(), int(nome_.size()), SQLITE_TRANSIENT);
    sqlite3_bind_text(insFoglio, 3, tabella.data(), int(tabella.size()), SQLITE_TRANSIENT);
    out.passo(insFoglio);
    std::string crea = "CREATE TABLE " + tabella + " (";
    std::string ins = "INSERT INTO " + tabella + " VALUES (";
    for (size_t k = 0; k < colonne.size(); ++k) {
        sqlite3_bind_int(insColonna, 1, indice_);
        sqlite3_bind_int(insColonna, 2, int(k));
        sqlite3_bind_text(insColonna, 3, colonne[k].nome.data(), int(colonne[k].nome.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(insColonna, 4, colonne[k].tipo.data(), int(colonne[k].tipo.size()), SQLITE_TRANSIENT);
        out.passo(insColonna);
        crea += (k ? ", c" : "c") + std::to_string(k);
        ins += k ? ", ?" : "?";
    }
    if (colonne.empty()) crea += "c0";
    out.esegui(crea + ")");
    if (colonne.empty() || ultimaRiga <= primaRiga) {
        if (creata_) out.esegui("DROP TABLE " + Tabella());
        return;
    }

    // Second walk: the rows after the header, an empty record for an empty row between.
    sqlite3_stmt* scrivi = out.prepara(ins + ")");
    sqlite3_stmt* st = out.prepara("SELECT rowid, * FROM " + Tabella() + " WHERE rowid > ? AND rowid <= ? ORDER BY rowid");
    sqlite3_bind_int64(st, 1, primaRiga);
    sqlite3_bind_int64(st, 2, ultimaRiga);
    long long attesa = primaRiga + 1;
    Cella c;
    std::string testo;
    while (sqlite3_step(st) == SQLITE_ROW) {
        const long long riga = sqlite3_column_int64(st, 0);
        for (; attesa < riga; ++attesa) {
            sqlite3_clear_bindings(scrivi);
            out.passo(scrivi);
        }
        attesa = riga + 1;
        sqlite3_clear_bindings(scrivi);
        for (size_t k = 0; k < colonne.size(); ++k) {
            const int p = int(k) + 1;
            leggiCella(st, colonne[k].indice + 1, c);
            normale(c);
            if (!haValore(c)) continue;
            const std::string& tipo = colonne[k].tipo;
            if (tipo == "intero") {
                sqlite3_bind_int64(scrivi, p, (long long)c.numero);
            } else if (tipo == "numero") {
                sqlite3_bind_double(scrivi, p, c.numero);
            } else if (tipo == "booleano") {
                sqlite3_bind_int(scrivi, p, c.numero != 0 ? -1 : 0);
            } else if (tipo == "data") {
                if (dataIso(c.numero, testo)) sqlite3_bind_text(scrivi, p, testo.data(), int(testo.size()), SQLITE_TRANSIENT);
            } else {
                // A text column shows every value as text: numbers plainly, dates as ISO dates
                // (with the time when there is one), booleans as the sheet names them.
                switch (c.tipo) {
                    case Cella::Testo:
                        testo = c.testo;
                        break;
                    case Cella::Numero:
                        testo = testoNumero(c.numero);
                        break;
                    case Cella::Data:
                        if (!dataIso(c.numero, testo)) testo.clear();
                        if (testo.size() > 10 && testo.substr(10) == " 00:00:00") testo.resize(10);
                        break;
                    case Cella::Booleano:
                        testo = c.numero != 0 ? "TRUE" : "FALSE";
                        break;
                    default:
                        testo.clear();
                }
                sqlite3_bind_text(scrivi, p, testo.data(), int(testo.size()), SQLITE_TRANSIENT);
            }
        }
        out.passo(scrivi);
        progresso();
    }
    sqlite3_finalize(st);
    sqlite3_finalize(scrivi);
    out.esegui("DROP TABLE " + Tabella());
}

// --- Packages made in memory for liborcus ---

// A ZIP package of stored (uncompressed) entries, written into a string.
class ZipScritto {
public:
    explicit ZipScritto(std::string& memoria) : memoria_(memoria) {}
    void Voce(const std::string& nome, const std::string& dati)
    {
        if (dati.size() >= 0xFFFFFFFFu || posizione_ + dati.size() + nome.size() + 30 >= 0xFFFFFFFFu)
            fallisci(ErrDanneggiato, "the workbook is too large to read");
        const uint32_t crc = uint32_t(crc32(0L, reinterpret_cast<const Bytef*>(dati.data()), uInt(dati.size())));
        std::string h;
        u32(h, 0x04034b50);
        u16(h, 20);
        u16(h, 0x0800);  // UTF-8 names
        u16(h, 0);       // stored
        u32(h, 0);
        u32(h, crc);
        u32(h, uint32_t(dati.size()));
        u32(h, uint32_t(dati.size()));
        u16(h, uint16_t(nome.size()));
        u16(h, 0);
        std::string c;
        u32(c, 0x02014b50);
        u16(c, 20);
        c.append(h, 4, 26);
        u16(c, 0);
        u16(c, 0);
        u16(c, 0);
        u32(c, 0);
        u32(c, uint32_t(posizione_));
        cartella_ += c + nome;
        scrivi(h + nome);
        scrivi(dati);
        ++voci_;
    }
    void Chiudi()
    {
        std::string e;
        u32(e, 0x06054b50);
        u32(e, 0);
        u16(e, uint16_t(voci_));
        u16(e, uint16_t(voci_));
        u32(e, uint32_t(cartella_.size()));
        u32(e, uint32_t(posizione_));
        u16(e, 0);
        scrivi(cartella_ + e);
    }

private:
    static void u16(std::string& s, uint16_t v)
    {
        s += char(v & 0xFF);
        s += char(v >> 8);
    }
    static void u32(std::string& s, uint32_t v)
    {
        u16(s, uint16_t(v & 0xFFFF));
        u16(s, uint16_t(v >> 16));
    }
    void scrivi(const std::string& d)
    {
        memoria_.append(d);
        posizione_ += d.size();
    }
    std::string& memoria_;
    std::string cartella_;
    uint64_t posizione_ = 0;
    size_t voci_ = 0;
};

// --- ODS cells liborcus 0.17 drops ---
//
// liborcus 0.17 hands over an ODS cell only when its value type is float, string or
// date, and a formula cell's result only when it is a number. Before it reads a cell,
// the cell's start tag is rewritten: the formula taken away
// (the cell is then its cached result), currency and percentage made float (their
// office:value is the number), a time made a date on 1899-12-30, and a boolean made a
// string, so that it reads as the sheet names it (the paragraph of the cell).

// The value of attribute `nome` in a start tag, and where it is ([inizio, fine) of the
// whole attribute, leading space included); npos when absent.
size_t attributo(const std::string& tag, const std::string& nome, std::string& valore, size_t& fine)
{
    size_t i = tag.find(" " + nome + "=\"");
    if (i == std::string::npos) i = tag.find(" " + nome + "='");
    if (i == std::string::npos) return i;
    const size_t v = i + nome.size() + 3;
    const size_t chiuso = tag.find(tag[v - 1], v);
    if (chiuso == std::string::npos) return std::string::npos;
    valore = tag.substr(v, chiuso - v);
    fine = chiuso + 1;
    return i;
}

std::string cellaOds(std::string tag)
{
    std::string valore;
    size_t fine = 0, i;
    if ((i = attributo(tag, "table:formula", valore, fine)) != std::string::npos) tag.erase(i, fine - i);
    if ((i = attributo(tag, "office:value-type", valore, fine)) == std::string::npos) return tag;
    auto tipo = [&](const std::string& nuovo) { tag.replace(i, fine - i, " office:value-type=\"" + nuovo + "\""); };
    if (valore == "currency" || valore == "percentage") {
        tipo("float");
    } else if (valore == "boolean") {
        tipo("string");
    } else if (valore == "time") {
        size_t j, fineOra;
        std::string durata;
        if ((j = attributo(tag, "office:time-value", durata, fineOra)) == std::string::npos) return tag;
        // PT08H30M00S (ISO 8601 duration) as hours, minutes and seconds under a day
        unsigned h = 0, m = 0;
        double sec = 0;
        char dopo[4] = {};
        if (std::sscanf(durata.c_str(), "PT%uH%uM%lf%3s", &h, &m, &sec, dopo) < 3 || h >= 24 || m >= 60 || sec >= 60)
            return tag;
        char data[64];
        snprintf(data, sizeof data, " office:date-value=\"1899-12-30T%02u:%02u:%02u\"", h, m, unsigned(sec + 0.5) % 60);
        tag.replace(j, fineOra - j, data);
        attributo(tag, "office:value-type", valore, fine);
        i = tag.find(" office:value-type=\"");
        tipo("date");
    }
    return tag;
}

// --- The entries of a ZIP package, from its central directory ---

struct VoceZip {
    std::string nome;
    uint16_t metodo = 0;
    uint32_t crc = 0;
    uint64_t compresso = 0, dimensione = 0, intestazione = 0;  // sizes, offset of the local header

    // Deflate makes at most about 1,032 bytes of 1; a stored entry is its own size.
    bool Plausibile() const
    {
        if (compresso == 0xFFFFFFFFu || dimensione == 0xFFFFFFFFu) return true;  // ZIP64: checked by the reader
        if (metodo == 0) return dimensione == compresso;
        return dimensione <= compresso * 1032 + 1024;
    }
};

uint32_t le(const unsigned char* p, int n)
{
    uint32_t v = 0;
    for (int i = n - 1; i >= 0; --i) v = (v << 8) | p[i];
    return v;
}

// The entries named by the central directory; none when it cannot be found (the ZIP
// reader then says why).
std::vector<VoceZip> vociZip(const std::string& file)
{
    std::vector<VoceZip> voci;
    FILE* f = std::fopen(file.c_str(), "rb");
    if (!f) fallisciSistema(ErrFormato, "cannot open the file");
    struct Chiudi {
        FILE* f;
        ~Chiudi() { std::fclose(f); }
    } chiudi{f};
    if (std::fseek(f, 0, SEEK_END) != 0) return voci;
    const long dim = std::ftell(f);
    const long coda = std::min<long>(dim, 65536 + 22);
    std::vector<unsigned char> fine(size_t(std::max(coda, 0L)));
    if (coda < 22 || std::fseek(f, dim - coda, SEEK_SET) != 0 || std::fread(fine.data(), 1, fine.size(), f) != fine.size())
        return voci;
    long eocd = coda - 22;
    while (eocd >= 0 && le(&fine[size_t(eocd)], 4) != 0x06054b50u) --eocd;
    if (eocd < 0) return voci;
    const uint32_t dimDir = le(&fine[size_t(eocd) + 12], 4), inizioDir = le(&fine[size_t(eocd) + 16], 4);
    if (uint64_t(inizioDir) + dimDir > uint64_t(dim) || dimDir > (64u << 20)) return voci;
    std::vector<unsigned char> dir(dimDir);
    if (std::fseek(f, long(inizioDir), SEEK_SET) != 0 || std::fread(dir.data(), 1, dir.size(), f) != dir.size())
        return voci;
    for (size_t i = 0; i + 46 <= dir.size() && voci.size() < 100000;) {
        const unsigned char* p = &dir[i];
        if (le(p, 4) != 0x02014b50u) break;
        const size_t n = le(p + 28, 2), extra = le(p + 30, 2), commento = le(p + 32, 2);
        if (i + 46 + n > dir.size()) break;
        VoceZip v;
        v.nome.assign(reinterpret_cast<const char*>(p + 46), n);
        v.metodo = uint16_t(le(p + 10, 2));
        v.crc = le(p + 16, 4);
        v.compresso = le(p + 20, 4);
        v.dimensione = le(p + 24, 4);
        v.intestazione = le(p + 42, 4);
        voci.push_back(std::move(v));
        i += 46 + n + extra + commento;
    }
    return voci;
}

// A package of one content.xml for liborcus to read.
std::string pacchettoOds(const std::string& contenuto)
{
    std::string r;
    r.reserve(contenuto.size() + 512);
    ZipScritto z(r);
    z.Voce("mimetype", "application/vnd.oasis.opendocument.spreadsheet");
    z.Voce("content.xml", contenuto);
    z.Chiudi();
    return r;
}

// --- An ODS file's content, a part at a time ---
//
// liborcus keeps what it reads of content.xml until the end of it, so a large sheet read
// whole needs memory in proportion to its rows. The content is instead inflated from the
// package as it is read, and cut after a row once the part so far holds about 256 KB: each
// part is a content.xml of its own (the start of the document up to the first table, the
// table's start tag and the row groups open at the cut, the rows, and the closing tags),
// read by liborcus from a package in memory into the same factory, its rows shifted to
// where the part begins in the sheet.

// The uncompressed bytes of one entry of the package, a block at a time.
class FlussoVoce {
public:
    FlussoVoce(const std::string& file, const VoceZip& v) : v_(v), resto_(v.compresso)
    {
        f_ = std::fopen(file.c_str(), "rb");
        if (!f_) fallisciSistema(ErrFormato, "cannot open the file");
        unsigned char h[30];
        if (std::fseek(f_, long(v.intestazione), SEEK_SET) != 0 || std::fread(h, 1, 30, f_) != 30 ||
            le(h, 4) != 0x04034b50u || std::fseek(f_, long(le(h + 26, 2) + le(h + 28, 2)), SEEK_CUR) != 0)
            fallisci(ErrDanneggiato, "the file is damaged (entry " + v.nome + ")");
        if (v.metodo != 0 && v.metodo != 8) fallisci(ErrDanneggiato, "the file is damaged (entry " + v.nome + ")");
        if (v.metodo == 8 && inflateInit2(&z_, -MAX_WBITS) != Z_OK) fallisci(ErrMemoria, MemoriaEsaurita);
        avviato_ = v.metodo == 8;
    }
    ~FlussoVoce()
    {
        if (avviato_) inflateEnd(&z_);
        if (f_) std::fclose(f_);
    }
    // Appends up to `n` bytes to `out`; false at the end of the entry.
    bool Leggi(std::string& out, size_t n)
    {
        if (finito_) return false;
        const size_t prima = out.size();
        out.resize(prima + n);
        char* dest = out.data() + prima;
        size_t fatti = 0;
        if (v_.metodo == 0) {
            const size_t k = size_t(std::min<uint64_t>(n, resto_));
            fatti = std::fread(dest, 1, k, f_);
            if (fatti != k) danneggiato();
            resto_ -= k;
            if (resto_ == 0) finito_ = true;
        } else {
            z_.next_out = reinterpret_cast<Bytef*>(dest);
            z_.avail_out = uInt(n);
            while (z_.avail_out > 0) {
                if (z_.avail_in == 0 && resto_ > 0) {
                    const size_t k = size_t(std::min<uint64_t>(sizeof entrata_, resto_));
                    if (std::fread(entrata_, 1, k, f_) != k) danneggiato();
                    resto_ -= k;
                    z_.next_in = entrata_;
                    z_.avail_in = uInt(k);
                }
                const int rc = inflate(&z_, Z_NO_FLUSH);
                if (rc == Z_STREAM_END) {
                    finito_ = true;
                    break;
                }
                if (rc == Z_MEM_ERROR) fallisci(ErrMemoria, MemoriaEsaurita);
                if (rc != Z_OK && !(rc == Z_BUF_ERROR && z_.avail_out == 0)) danneggiato();
                if (z_.avail_in == 0 && resto_ == 0 && z_.avail_out > 0) danneggiato();  // cut short
            }
            fatti = n - z_.avail_out;
        }
        crc_ = crc32(crc_, reinterpret_cast<const Bytef*>(dest), uInt(fatti));
        prodotti_ += fatti;
        out.resize(prima + fatti);
        if (finito_ && (prodotti_ != v_.dimensione || crc_ != v_.crc)) danneggiato();
        return fatti > 0 || !finito_;
    }

private:
    [[noreturn]] void danneggiato() { fallisci(ErrDanneggiato, "the file is damaged (entry " + v_.nome + ")"); }
    VoceZip v_;
    FILE* f_ = nullptr;
    z_stream z_{};
    bool avviato_ = false, finito_ = false;
    uint64_t resto_, prodotti_ = 0;
    unsigned long crc_ = crc32(0L, Z_NULL, 0);
    unsigned char entrata_[65536];
};

// The name of the element of a tag ("<table:table-row ...>", "</table:table>").
std::string_view nomeTag(std::string_view tag)
{
    size_t i = tag[1] == '/' ? 2 : 1;
    size_t j = i;
    while (j < tag.size() && !std::strchr(" \t\r\n/>", tag[j])) ++j;
    return tag.substr(i, j - i);
}

// What a tag is: an element's start, end or empty-element tag, or else a comment, a
// declaration or the text between tags.
struct Genere {
    bool elemento, chiusura, vuoto;
    explicit Genere(const std::string& tag)
        : elemento(tag.size() > 1 && tag[0] == '<' && tag[1] != '!' && tag[1] != '?'),
          chiusura(elemento && tag[1] == '/'),
          vuoto(elemento && !chiusura && tag[tag.size() - 2] == '/')
    {
    }
};

// The start of a document up to where it is cut, and the elements it leaves open.
struct Inizio {
    std::string testo;
    std::vector<std::string> aperti;
    void Aggiungi(const std::string& tag, const Genere& g)
    {
        testo += tag;
        if (g.chiusura && !aperti.empty())
            aperti.pop_back();
        else if (g.elemento && !g.chiusura && !g.vuoto)
            aperti.emplace_back(nomeTag(tag));
    }
    // The end tags that close what is open.
    std::string Chiusure() const
    {
        std::string r;
        for (auto it = aperti.rbegin(); it != aperti.rend(); ++it) r += "</" + *it + ">";
        return r;
    }
};

// A whole-number attribute of a start tag (a count: 1 when absent or out of range).
long long conteggio(const std::string& tag, const char* nome, long long massimo)
{
    std::string v;
    size_t fine;
    if (attributo(tag, nome, v, fine) == std::string::npos) return 1;
    const long long n = std::atoll(v.c_str());
    return n >= 1 && n <= massimo ? n : 1;
}

// Bytes of content a part holds (a row more at most); CARTIGO_SHEETREADER_PARTE sets
// it, down to a row a part.
size_t dimensioneParte = 256 << 10;

// The tags and the texts between them of one entry of the package, in order.
class LettoreTag {
public:
    LettoreTag(const std::string& file, const VoceZip& voce) : flusso_(file, voce), nome_(voce.nome) {}

    // The next tag or text between tags into `out`; false at the end of the entry.
    bool Prossimo(std::string& out)
    {
        for (;;) {
            if (pos_ > (1u << 20) && pos_ * 2 > in_.size()) {
                in_.erase(0, pos_);
                pos_ = 0;
            }
            size_t fine = std::string::npos;
            if (pos_ < in_.size() && in_[pos_] != '<') {
                fine = in_.find('<', pos_);
                if (fine == std::string::npos && finito_) fine = in_.size();
            } else if (pos_ < in_.size()) {
                fine = fineTag();
            }
            if (fine != std::string::npos) {
                out.assign(in_, pos_, fine - pos_);
                pos_ = fine;
                return true;
            }
            if (finito_) {
                if (pos_ < in_.size()) fallisci(ErrDanneggiato, "the file is damaged (" + nome_ + " is cut short)");
                return false;
            }
            if (in_.size() - pos_ > (16u << 20))
                fallisci(ErrDanneggiato, "the file is damaged (" + nome_ + " has a tag without end)");
            finito_ = !flusso_.Leggi(in_, 256 << 10);
        }
    }

private:
    // Where the tag starting at pos_ ends (just after its '>'), npos when not yet read.
    size_t fineTag() const
    {
        if (in_.compare(pos_, 4, "<!--") == 0) {
            const size_t f = in_.find("-->", pos_ + 4);
            return f == std::string::npos ? f : f + 3;
        }
        if (in_.compare(pos_, 9, "<![CDATA[") == 0) {
            const size_t f = in_.find("]]>", pos_ + 9);
            return f == std::string::npos ? f : f + 3;
        }
        char virgolette = 0;
        for (size_t i = pos_ + 1; i < in_.size(); ++i) {
            const char c = in_[i];
            if (virgolette) {
                if (c == virgolette) virgolette = 0;
            } else if (c == '"' || c == '\'') {
                virgolette = c;
            } else if (c == '>') {
                return i + 1;
            }
        }
        return std::string::npos;
    }

    FlussoVoce flusso_;
    std::string nome_;
    std::string in_;
    size_t pos_ = 0;
    bool finito_ = false;
};

class ContenutoOds {
public:
    ContenutoOds(const std::string& file, const VoceZip& voce, Fabbrica& f) : tag_(file, voce), f_(f) {}

    void Leggi()
    {
        std::string tag;
        enum { Prologo, Tabella, Fuori } stato = Prologo;
        while (tag_.Prossimo(tag)) {
            const Genere g(tag);
            const std::string_view nome = g.elemento ? nomeTag(tag) : std::string_view();
            if (stato != Tabella && g.elemento && !g.chiusura && nome == "table:table") {
                if (stato == Prologo) {
                    epilogo_ = prologo_.Chiusure();
                    stato = Fuori;
                }
                apriTabella(tag);
                if (g.vuoto) {
                    chiudiTabella();
                } else {
                    stato = Tabella;
                }
                continue;
            }
            if (stato == Prologo) {
                prologo_.Aggiungi(tag, g);
            } else if (stato == Tabella) {
                if (profondita_ == 0 && g.chiusura && nome == "table:table") {
                    chiudiTabella();
                    stato = Fuori;
                } else {
                    inTabella(tag, g, nome);
                }
            }
        }
        if (stato == Tabella) fallisci(ErrDanneggiato, "the file is damaged (content.xml ends inside a table)");
    }

private:
    void apriTabella(const std::string& tag)
    {
        tabella_ = tag;
        if (!tabella_.empty() && tabella_[tabella_.size() - 2] == '/') tabella_.erase(tabella_.size() - 2, 1);
        righe_ = 0;
        inizio_ = 0;
        gruppi_.clear();
        profondita_ = 0;
        iniziaParte();
    }

    void iniziaParte()
    {
        parte_ = prologo_.testo + tabella_;
        for (const std::string& g : gruppi_) parte_ += g;
        inizio_ = righe_;
    }

    // The part so far goes to liborcus, closed where it stands.
    void leggiParte()
    {
        for (auto it = gruppi_.rbegin(); it != gruppi_.rend(); ++it) parte_ += "</" + std::string(nomeTag(*it)) + ">";
        parte_ += "</table:table>" + epilogo_;
        std::string pacchetto;
        {
            std::string pezzo;
            pezzo.swap(parte_);
            pacchetto = pacchettoOds(pezzo);
        }
        f_.IniziaParte(indice_, inizio_);
        orcus::orcus_ods filtro(&f_);
        filtro.read_stream(pacchetto);
        f_.Tocca(nullptr);
    }

    void chiudiTabella()
    {
        leggiParte();
        ++indice_;
    }

    void inTabella(const std::string& tag, const Genere& g, std::string_view nome)
    {
        const bool elemento = g.elemento, chiusura = g.chiusura, vuoto = g.vuoto;
        if (!elemento) {
            parte_ += tag;
            return;
        }
        if (profondita_ == 0) {
            if (!chiusura && nome == "table:table-row") {
                ripetute_ = conteggio(tag, "table:number-rows-repeated", 1 << 21);
                colonna_ = 0;
                parte_ += tag;
                if (vuoto)
                    fineRiga();
                else
                    profondita_ = 1;
            } else if (chiusura) {
                if (!gruppi_.empty()) gruppi_.pop_back();
                parte_ += tag;
            } else {
                if (!vuoto) gruppi_.push_back(tag);
                parte_ += tag;
            }
            return;
        }
        if (profondita_ == 1 && !chiusura && (nome == "table:table-cell" || nome == "table:covered-table-cell")) {
            const long long colonne = conteggio(tag, "table:number-columns-repeated", 16384);
            if (nome == "table:table-cell") {
                const long long alte = conteggio(tag, "table:number-rows-spanned", 1 << 21);
                const long long larghe = conteggio(tag, "table:number-columns-spanned", 16384);
                if ((alte > 1 || larghe > 1) && ripetute_ == 1 && colonne == 1)
                    f_.Unione(indice_, righe_, colonna_, alte, larghe);
                parte_ += cellaOds(tag);
            } else {
                parte_ += tag;
            }
            colonna_ += colonne;
        } else {
            parte_ += tag;
        }
        if (chiusura) {
            if (--profondita_ == 0) fineRiga();
        } else if (!vuoto) {
            ++profondita_;
        }
    }

    void fineRiga()
    {
        righe_ += ripetute_;
        progresso();
        if (parte_.size() >= dimensioneParte) {
            leggiParte();
            iniziaParte();
        }
    }

    LettoreTag tag_;
    Fabbrica& f_;
    Inizio prologo_;
    std::string epilogo_, tabella_, parte_;
    std::vector<std::string> gruppi_;  // row groups open in the table
    int indice_ = 0;                   // the sheet
    long long righe_ = 0, inizio_ = 0, ripetute_ = 1, colonna_ = 0;
    int profondita_ = 0;  // elements open in the row
};

// --- An XLSX workbook, a part at a time ---
//
// liborcus reads a worksheet's XML whole before it hands over a cell, and cannot follow
// every package (openpyxl 3.0 names parts by absolute paths; openpyxl and XlsxWriter's
// constant-memory mode keep text in the cells, which liborcus 0.17 drops). The workbook is
// instead read as a series of small packages made in memory, each read by liborcus into the
// same factory: first the workbook with its styles and empty sheets (the sheets' names, the
// date system, the number formats), then the shared strings, cut after a string once a
// part holds about dimensioneParte bytes, then each sheet, cut after a row the same way.
// A part of a sheet is the sheet's start up to its sheetData, its rows and the sheet's end
// (all of it for the last part: the merged ranges); the text kept in its cells becomes a
// shared string table of the part's own, dropped after it.

// The local name of an element ("row" of "<x:row ...>").
std::string_view nomeLocale(std::string_view tag)
{
    const std::string_view nome = nomeTag(tag);
    const size_t due = nome.find(':');
    return due == std::string_view::npos ? nome : nome.substr(due + 1);
}

// The start tags of the elements named `locale` in a small XML part.
std::vector<std::string> elementi(const std::string& xml, std::string_view locale)
{
    std::vector<std::string> r;
    for (size_t i = 0; (i = xml.find('<', i)) != std::string::npos;) {
        const size_t fine = xml.find('>', i);
        if (fine == std::string::npos) break;
        std::string tag = xml.substr(i, fine + 1 - i);
        if (tag.size() > 2 && tag[1] != '/' && tag[1] != '?' && tag[1] != '!' && nomeLocale(tag) == locale)
            r.push_back(std::move(tag));
        i = fine + 1;
    }
    return r;
}

std::string valore(const std::string& tag, const std::string& nome)
{
    std::string v;
    size_t fine;
    return attributo(tag, nome, v, fine) == std::string::npos ? std::string() : v;
}

// A package part named by a relationship target of a part in folder `cartella`.
std::string parteDi(const std::string& cartella, const std::string& target)
{
    std::string percorso = target.rfind('/', 0) == 0 ? target.substr(1) : cartella + target;
    std::vector<std::string> pezzi;
    size_t i = 0;
    for (size_t j = 0; j != std::string::npos; i = j + 1) {
        j = percorso.find('/', i);
        const std::string pezzo = percorso.substr(i, j == std::string::npos ? j : j - i);
        if (pezzo == "..") {
            if (!pezzi.empty()) pezzi.pop_back();
        } else if (!pezzo.empty() && pezzo != ".") {
            pezzi.push_back(pezzo);
        }
    }
    std::string r;
    for (const std::string& p : pezzi) r += (r.empty() ? "" : "/") + p;
    return r;
}

class LibroXlsx {
public:
    LibroXlsx(const std::string& file, std::vector<VoceZip> voci, Fabbrica& f)
        : file_(file), voci_(std::move(voci)), f_(f)
    {
    }

    void Leggi()
    {
        const std::string xml = intera("xl/workbook.xml");
        std::map<std::string, std::pair<std::string, std::string>> relazioni;  // Id: type, part
        for (const std::string& r : elementi(intera("xl/_rels/workbook.xml.rels"), "Relationship")) {
            if (valore(r, "TargetMode") == "External") continue;
            std::string tipo = valore(r, "Type");
            tipo.erase(0, tipo.rfind('/') + 1);
            relazioni[valore(r, "Id")] = {tipo, parteDi("xl/", valore(r, "Target"))};
        }
        for (const std::string& p : elementi(xml, "workbookPr")) {
            const std::string v = valore(p, "date1904");
            if (v == "1" || v == "true") proprieta_ = "<workbookPr date1904=\"1\"/>";
        }
        std::vector<std::string> fogli;  // the parts of the sheets
        std::string dichiarati;
        for (const std::string& s : elementi(xml, "sheet")) {
            std::string nome = valore(s, "name");
            for (size_t i; (i = nome.find('"')) != std::string::npos;) nome.replace(i, 1, "&quot;");
            const auto r = relazioni.find(valore(s, "r:id"));
            fogli.push_back(r != relazioni.end() && r->second.first == "worksheet" ? r->second.second : std::string());
            nomi_.push_back(nome);
            dichiarati += foglio(fogli.size() - 1, nome);
        }
        std::string stili, stringhe;
        for (const auto& [id, r] : relazioni) {
            if (r.first == "styles") stili = r.second;
            if (r.first == "sharedStrings") stringhe = r.second;
        }

        // The workbook, its styles and its sheets, empty.
        std::vector<std::pair<std::string, std::string>> parti;
        if (!stili.empty() && voce(stili)) parti.emplace_back("styles", intera(stili));
        for (size_t i = 0; i < fogli.size(); ++i)
            parti.emplace_back("sheet" + std::to_string(i + 1),
                               "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
                               "<sheetData/></worksheet>");
        leggiPacchetto(dichiarati, parti);

        if (!stringhe.empty() && voce(stringhe)) leggiStringhe(*voce(stringhe));
        for (size_t i = 0; i < fogli.size(); ++i)
            if (!fogli[i].empty() && voce(fogli[i])) leggiFoglio(int(i), *voce(fogli[i]));
    }

private:
    const VoceZip* voce(const std::string& nome) const
    {
        for (const VoceZip& v : voci_)
            if (v.nome == nome) {
                if (v.compresso >= 0xFFFFFFFFu || v.dimensione >= 0xFFFFFFFFu)
                    fallisci(ErrDanneggiato, "the workbook is too large to read");
                return &v;
            }
        return nullptr;
    }

    // A small part whole ("" when the package has none).
    std::string intera(const std::string& nome)
    {
        std::string r;
        if (const VoceZip* v = voce(nome)) {
            FlussoVoce f(file_, *v);
            while (f.Leggi(r, 256 << 10))
                if (r.size() > (64u << 20)) fallisci(ErrDanneggiato, "the workbook is too large to read");
        }
        return r;
    }

    static std::string foglio(size_t i, const std::string& nome)
    {
        const std::string n = std::to_string(i + 1);
        return "<sheet name=\"" + nome + "\" sheetId=\"" + n + "\" r:id=\"rIdF" + n + "\"/>";
    }

    // A package of the workbook declaring the sheets `fogli` and holding `parti` ("styles",
    // "sharedStrings" or "sheetN", with their XML) goes to liborcus.
    void leggiPacchetto(const std::string& fogli, const std::vector<std::pair<std::string, std::string>>& parti)
    {
        static const std::string tipo = "application/vnd.openxmlformats-officedocument.spreadsheetml.";
        static const std::string relazione = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";
        std::string tipi =
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
            "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
            "<Default Extension=\"rels\" ContentType=\"application/"
            "vnd.openxmlformats-package.relationships+xml\"/>"
            "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
            "<Override PartName=\"/xl/workbook.xml\" ContentType=\"" +
            tipo + "sheet.main+xml\"/>";
        std::string rels =
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
            "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
        for (const auto& [nome, xml] : parti) {
            const bool foglio = nome.rfind("sheet", 0) == 0;
            const std::string parte = foglio ? "worksheets/" + nome + ".xml" : nome + ".xml";
            tipi += "<Override PartName=\"/xl/" + parte + "\" ContentType=\"" + tipo +
                    (foglio ? std::string("worksheet") : nome) + "+xml\"/>";
            rels += "<Relationship Id=\"" + (foglio ? "rIdF" + nome.substr(5) : "rId" + nome) + "\" Type=\"" +
                    relazione + (foglio ? std::string("worksheet") : nome) + "\" Target=\"" + parte + "\"/>";
        }
        std::string pacchetto;
        ZipScritto z(pacchetto);
        z.Voce("[Content_Types].xml", tipi + "</Types>");
        z.Voce("_rels/.rels",
               "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
               "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
               "<Relationship Id=\"rId1\" Type=\"" +
                   relazione + "officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>");
        z.Voce("xl/workbook.xml",
               "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
               "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
               "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">" +
                   proprieta_ + "<sheets>" + fogli + "</sheets></workbook>");
        z.Voce("xl/_rels/workbook.xml.rels", rels + "</Relationships>");
        for (const auto& [nome, xml] : parti)
            z.Voce(nome.rfind("sheet", 0) == 0 ? "xl/worksheets/" + nome + ".xml" : "xl/" + nome + ".xml", xml);
        z.Chiudi();
        orcus::orcus_xlsx filtro(&f_);
        filtro.read_stream(pacchetto);
        f_.Tocca(nullptr);
    }

    // The shared string table, a part of whole strings at a time.
    void leggiStringhe(const VoceZip& v)
    {
        LettoreTag lettore(file_, v);
        std::string tag, prologo, parte;
        bool dentro = false;
        int profondita = 0;
        auto leggi = [&] {
            if (parte.empty()) return;
            leggiPacchetto("", {{"sharedStrings", prologo + parte + "</sst>"}});
            parte.clear();
        };
        while (lettore.Prossimo(tag)) {
            const Genere g(tag);
            if (!dentro) {
                prologo += tag;
                if (g.elemento && !g.chiusura && nomeLocale(tag) == "sst") {
                    if (g.vuoto) return;
                    dentro = true;
                }
                continue;
            }
            if (g.chiusura && profondita == 0) break;  // </sst>
            parte += tag;
            if (g.chiusura)
                --profondita;
            else if (g.elemento && !g.vuoto)
                ++profondita;
            if (profondita == 0 && parte.size() >= dimensioneParte) leggi();
        }
        leggi();
    }

    // Sheet `indice`, a part of whole rows at a time.
    void leggiFoglio(int indice, const VoceZip& v)
    {
        LettoreTag lettore(file_, v);
        std::string tag, parte;
        Inizio prologo;
        std::string chiusure, coda;  // what closes a part; what follows the rows
        enum { Prologo, Righe, Coda } stato = Prologo;
        int profondita = 0;         // elements open in sheetData
        long long riga = 0;         // the last row so far, from 1
        std::string sst, prefisso;  // the part's own shared strings; the cell's namespace prefix
        const size_t base = f_.Testi().Prossima();
        size_t interne = 0;
        enum { Fuori, Cella, Testo } cella = Fuori;
        auto leggi = [&](const std::string& fine) {
            std::vector<std::pair<std::string, std::string>> parti{{"sheet1", prologo.testo + parte + fine}};
            if (interne > 0)
                parti.emplace_back("sharedStrings",
                                   "<sst xmlns=\"http://schemas.openxmlformats.org/"
                                   "spreadsheetml/2006/main\">" +
                                       sst + "</sst>");
            f_.IniziaParte(indice, 0);
            leggiPacchetto(foglio(0, nomi_[size_t(indice)]), parti);
            f_.IniziaParte(-1, 0);
            f_.Testi().Tronca(base);
            parte.clear();
            sst.clear();
            interne = 0;
        };
        // the value of a cell whose text went to the part's string table
        const auto numeroInterno = [&] {
            parte += "<" + prefisso + "v>" + std::to_string(base + interne++) + "</" + prefisso + "v>";
        };
        while (lettore.Prossimo(tag)) {
            const Genere g(tag);
            const bool elemento = g.elemento, chiusura = g.chiusura, vuoto = g.vuoto;
            const std::string_view nome = elemento ? nomeLocale(tag) : std::string_view();
            if (stato == Prologo) {
                if (elemento && !chiusura && nome == "sheetData") {
                    chiusure = prologo.Chiusure();
                    prologo.testo += vuoto ? tag.substr(0, tag.size() - 2) + ">" : tag;
                    stato = vuoto ? Coda : Righe;
                } else {
                    prologo.Aggiungi(tag, g);
                }
                continue;
            }
            if (stato == Coda) {
                coda += tag;  // after the rows: the whole rest goes with the last part
                continue;
            }
            if (profondita == 0 && chiusura) {  // </sheetData>
                stato = Coda;
                continue;
            }
            if (cella == Testo) {  // text kept in a cell goes to the part's string table
                if (chiusura && nome == "is") {
                    sst += "</si>";
                    numeroInterno();
                    cella = Cella;
                } else {
                    sst += tag;
                }
                continue;
            }
            if (elemento && profondita == 0 && nome == "row") {
                std::string r;
                if (size_t fine; attributo(tag, "r", r, fine) != std::string::npos) {
                    riga = std::atoll(r.c_str());
                } else {
                    // numbered here: liborcus would number it from the start of the part
                    tag.insert(nomeTag(tag).size() + 1, " r=\"" + std::to_string(++riga) + "\"");
                }
            }
            if (elemento && nome == "c" && !chiusura) {
                std::string t;
                size_t fine, i = attributo(tag, "t", t, fine);
                if (i != std::string::npos && t == "inlineStr") {
                    tag.replace(i, fine - i, " t=\"s\"");
                    const std::string_view n = nomeTag(tag);
                    prefisso.assign(n.substr(0, n.size() - 1));
                    cella = vuoto ? Fuori : Cella;
                }
            } else if (cella == Cella && elemento && !chiusura && nome == "is") {
                sst += "<si>";
                if (vuoto) {
                    sst += "</si>";
                    numeroInterno();
                } else {
                    cella = Testo;
                }
                continue;
            } else if (chiusura && nome == "c") {
                cella = Fuori;
            }
            parte += tag;
            if (!elemento) continue;
            if (chiusura)
                --profondita;
            else if (!vuoto)
                ++profondita;
            if (profondita == 0 && parte.size() >= dimensioneParte) leggi("</sheetData>" + chiusure);
        }
        if (stato != Coda) fallisci(ErrDanneggiato, "the file is damaged (" + v.nome + " ends inside its rows)");
        leggi("</sheetData>" + coda);
        progresso(true);
    }

    std::string file_;
    std::vector<VoceZip> voci_;
    Fabbrica& f_;
    std::string proprieta_;          // the workbook's date system
    std::vector<std::string> nomi_;  // the sheets' names, as the workbook writes them
};

// --- What kind of file ---

enum class Formato { Xlsx, Ods };

// The kind of workbook, and the entries of its package.
Formato riconosci(const std::string& file, std::vector<VoceZip>& voci)
{
    unsigned char testa[8] = {};
    if (FILE* f = std::fopen(file.c_str(), "rb")) {
        const size_t n = std::fread(testa, 1, sizeof testa, f);
        std::fclose(f);
        static const unsigned char ole[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
        if (n == 8 && std::memcmp(testa, ole, 8) == 0)
            fallisci(ErrFormato, "an OLE compound document (such as an Excel 97-2003 .xls workbook), not XLSX or ODS");
        if (n < 4 || std::memcmp(testa, "PK\x03\x04", 4) != 0) fallisci(ErrFormato, "not a ZIP package");
    } else {
        fallisciSistema(ErrFormato, "cannot open the file");
    }
    try {
        // Sizes no compressed entry can have mark a damaged file, before anything is
        // allocated for them: memory that runs out afterwards is the cap's.
        voci = vociZip(file);
        const VoceZip* contenuto = nullptr;
        for (const VoceZip& v : voci) {
            if (!v.Plausibile())
                fallisci(ErrDanneggiato, "the file is damaged (its contents declare impossible sizes)");
            if (v.nome == "content.xml") contenuto = &v;
        }
        orcus::zip_archive_stream_fd flusso(file.c_str());
        orcus::zip_archive zip(&flusso);
        zip.load();
        std::set<std::string> nomi;
        for (size_t i = 0; i < zip.get_file_entry_count(); ++i) nomi.emplace(zip.get_file_entry_name(i));
        std::vector<unsigned char> buf;
        if (nomi.count("mimetype") && nomi.count("content.xml")) {
            zip.read_file_entry("mimetype", buf);
            const std::string tipo(buf.begin(), buf.end());
            if (tipo.rfind("application/vnd.oasis.opendocument.spreadsheet", 0) != 0)
                fallisci(ErrFormato, "an OpenDocument file of type " + tipo + ", not a spreadsheet");
            if (nomi.count("META-INF/manifest.xml") && zip.read_file_entry("META-INF/manifest.xml", buf)) {
                const std::string m(buf.begin(), buf.end());
                if (m.find("encryption-data") != std::string::npos) fallisci(ErrCifrato, "encrypted");
            }
            if (!contenuto) fallisci(ErrDanneggiato, "the file is damaged (no central directory)");
            if (contenuto->compresso >= 0xFFFFFFFFu || contenuto->dimensione >= 0xFFFFFFFFu)
                fallisci(ErrDanneggiato, "the workbook is too large to read");
            return Formato::Ods;
        }
        if (nomi.count("[Content_Types].xml") && nomi.count("xl/workbook.xml")) return Formato::Xlsx;
        fallisci(ErrFormato, "a ZIP package that holds no XLSX or ODS workbook");
    } catch (const std::bad_alloc&) {
        fallisci(ErrMemoria, MemoriaEsaurita);
    } catch (const std::exception& e) {
        fallisci(ErrDanneggiato, std::string("the file is damaged (") + e.what() + ")");
    }
}

}  // namespace

int main(int argc, char** argv)
{
    const int i = lettore::Avvia(argc, argv);
    // Memory that runs out where no handler catches it (liborcus's ODS parser thread, or
    // while a failure is being said) ends the process through std::terminate, which says so.
    std::set_terminate([] {
        static const char memoria[] = "E 6 out of memory\n";
        try {
            if (const std::exception_ptr e = std::current_exception()) std::rethrow_exception(e);
        } catch (const std::bad_alloc&) {
            if (::write(lettore::protocollo, memoria, sizeof memoria - 1) < 0) {
            }
            std::_Exit(ErrMemoria);
        } catch (...) {
        }
        std::_Exit(ErrDanneggiato);
    });
    if (argc - i < 3 || std::strcmp(argv[i], "foglio") != 0)
        fallisci(ErrArgomenti, "usage: cartigo-sheetreader [--memoria BYTES] foglio FILE OUT");
    const std::string file = argv[i + 1];
    const char* uscita = argv[i + 2];
    if (const char* parte = std::getenv("CARTIGO_SHEETREADER_PARTE"))
        dimensioneParte = std::max<size_t>(1, std::strtoull(parte, nullptr, 10));
    // liborcus 0.17 reads an ODS part in a parser thread of its own: in the calling thread
    // it reads freed memory on text with entity references ("&amp;").
    setenv("ORCUS_ODS_USE_THREADS", "1", 1);
    // The cap is on address space: the parser thread allocates from the one heap rather
    // than reserve 64 MB for an arena of its own (the reader then reads an ODS sheet of any
    // length in about 30 MB of address space instead of 80).
    mallopt(M_ARENA_MAX, 1);
    progresso(true);
    std::vector<VoceZip> voci;
    const Formato formato = riconosci(file, voci);

    Uscita out(uscita);
    Fabbrica fabbrica(out, formato == Formato::Ods);
    try {
        if (formato == Formato::Ods) {
            const auto contenuto =
                std::find_if(voci.begin(), voci.end(), [](const VoceZip& v) { return v.nome == "content.xml"; });
            ContenutoOds(file, *contenuto, fabbrica).Leggi();
        } else {
            LibroXlsx(file, std::move(voci), fabbrica).Leggi();
        }
        fabbrica.Concludi();
    } catch (const std::bad_alloc&) {
        fallisci(ErrMemoria, MemoriaEsaurita);
    } catch (const std::system_error& e) {
        // a thread that cannot be started under the cap
        if (e.code() == std::errc::resource_unavailable_try_again || e.code() == std::errc::not_enough_memory)
            fallisci(ErrMemoria, MemoriaEsaurita);
        fallisci(ErrDanneggiato, std::string("the file is damaged (") + e.what() + ")");
    } catch (const std::exception& e) {
        fallisci(ErrDanneggiato, std::string("the file is damaged (") + e.what() + ")");
    }
    out.chiudi();
    progresso(true);
    lettore::Scrivi("OK");
    return 0;
}
