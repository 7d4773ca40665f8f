// The data source's timings: connecting to nwind.mdb, and for three selections (a
// criterion on Order Details, the saved query "Invoices" with its five-table join, a
// between criterion on a 100,000-row CSV file) the time to the first record (tables
// copied, statement run) and to the last (every field of every record read as text).
// Each iteration starts from a new connection, so table copies are included.
//
//   cmake -S . -B build -DCARTIGO_BUILD_BENCH=ON && cmake --build build --target bench_data
//   CARTIGO_TESTDATA=/path/to/testdata build/bench/data/bench_data
#include "data/DatabaseJet.h"
#include "data/LettoreProcesso.h"
#include "data/ValoriJet.h"

#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

using namespace cartigo;

namespace {

QString cartellaTestdata()
{
    QString c = qEnvironmentVariable("CARTIGO_TESTDATA");
    if (c.isEmpty()) c = QStringLiteral(CARTIGO_SOURCE_DIR "/../shared/testdata");
    return QFileInfo::exists(c + QStringLiteral("/mdb/nwind.mdb")) ? c : QString();
}

QString nwind()
{
    return cartellaTestdata() + QStringLiteral("/mdb/nwind.mdb");
}

const QString& fileCsv()
{
    static QTemporaryDir dir;
    static const QString file = [] {
        const QString f = dir.filePath(QStringLiteral("indirizzi.csv"));
        QFile out(f);
        out.open(QIODevice::WriteOnly);
        out.write("ID;Nome;Citta;Importo;Data\n");
        for (int i = 1; i <= 100000; ++i)
            out.write(QStringLiteral("%1;\"Cliente %1\";Citta %2;%3;2024-%4-%5\n")
                          .arg(i)
                          .arg(i % 97)
                          .arg(double(i % 1000) / 4.0)
                          .arg(1 + i % 12, 2, 10, QLatin1Char('0'))
                          .arg(1 + i % 28, 2, 10, QLatin1Char('0'))
                          .toUtf8());
        return f;
    }();
    return file;
}

struct Carico {
    QString file;
    QString sql;
};

Carico carico(int n)
{
    switch (n) {
        case 0:
            return {nwind(), QStringLiteral("SELECT * From [Order Details] WHERE [Quantity] Between 10 AND 20;")};
        case 1:
            return {nwind(), QStringLiteral("SELECT * From [Invoices] ;")};
        default:
            return {fileCsv(), QStringLiteral("SELECT * From [indirizzi] WHERE [Importo] Between 50 AND 150;")};
    }
}

void memoria(benchmark::State& state)
{
    // The program's own peak (the reader process is separate and small).
    rusage proprio{};
    getrusage(RUSAGE_SELF, &proprio);
    state.counters["peak_MB"] = double(proprio.ru_maxrss) / 1024.0;
}

bool pronto(benchmark::State& state)
{
    if (cartellaTestdata().isEmpty()) {
        state.SkipWithError("sample databases not found (CARTIGO_TESTDATA)");
        return false;
    }
    LettoreProcesso::ImpostaPercorso(QStringLiteral(CARTIGO_MDBREADER_PATH));
    return true;
}

void BM_Connessione(benchmark::State& state)
{
    if (!pronto(state)) return;
    const QString file = state.range(0) == 0 ? nwind() : fileCsv();
    for (auto _ : state) {
        auto db = DatabaseJet::Apri(file, QString());
        benchmark::DoNotOptimize(db.get());
    }
    memoria(state);
}

void BM_PrimoRecord(benchmark::State& state)
{
    if (!pronto(state)) return;
    const Carico c = carico(int(state.range(0)));
    int righe = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto db = DatabaseJet::Apri(c.file, QString());
        state.ResumeTiming();
        auto rs = db->ApriRecordset(c.sql);
        benchmark::DoNotOptimize(rs->Valore(0));
        righe = rs->RecordCount();
    }
    state.counters["records"] = righe;
    memoria(state);
}

void BM_UltimoRecord(benchmark::State& state)
{
    if (!pronto(state)) return;
    const Carico c = carico(int(state.range(0)));
    const auto formato = modCartigo::FormatoTesto::inglese();
    for (auto _ : state) {
        state.PauseTiming();
        auto db = DatabaseJet::Apri(c.file, QString());
        state.ResumeTiming();
        auto rs = db->ApriRecordset(c.sql);
        qsizetype caratteri = 0;
        for (rs->MoveFirst(); !rs->Eof(); rs->MoveNext())
            for (int i = 0; i < rs->Campi().size(); ++i)
                caratteri += modCartigo::NzCampo(rs->Valore(i), rs->Campi().at(i).tipo, formato).size();
        benchmark::DoNotOptimize(caratteri);
    }
    memoria(state);
}

}  // namespace

// Argument 0: nwind.mdb; 1: the CSV file.
BENCHMARK(BM_Connessione)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
// Argument 0: Order Details; 1: Invoices; 2: CSV.
BENCHMARK(BM_PrimoRecord)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_UltimoRecord)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

BENCHMARK_MAIN();
