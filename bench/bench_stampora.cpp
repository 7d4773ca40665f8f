// Print engine throughput: 1,000 pages of 8 labels, each a text box, a rectangle and
// 101 thin filled boxes (a barcode's worth), recorded through clsStampora, then written
// to PDF (afterwards, or page by page while recording); the print file read back and one
// page drawn as the preview does. Reports pages per second and the peak resident memory.
//
//   cmake -B build -DCARTIGO_BUILD_BENCH=ON && cmake --build build --target bench_stampora
//   build/bench/bench_stampora --benchmark_repetitions=5 --benchmark_report_aggregates_only=true

#include "shell/InterazioneScriptata.h"
#include "stampora/FileIni.h"
#include "stampora/FileStampa.h"
#include "stampora/RenderizzatorePagina.h"
#include "stampora/clsStampora.h"

#include <benchmark/benchmark.h>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <fstream>
#include <memory>
#include <string>

using namespace cartigo;

namespace {

// CARTIGO_BENCH_PAGINE changes the page count (to see how memory grows with it).
const int kPagine =
    qEnvironmentVariableIsSet("CARTIGO_BENCH_PAGINE") ? qEnvironmentVariableIntValue("CARTIGO_BENCH_PAGINE") : 1000;

// Peak resident memory since the last reset, in MB (Linux: VmHWM, reset through clear_refs).
void AzzeraPicco()
{
    std::ofstream f("/proc/self/clear_refs");
    f << "5";
}

double PiccoMB()
{
    std::ifstream f("/proc/self/status");
    std::string riga;
    while (std::getline(f, riga))
        if (riga.rfind("VmHWM:", 0) == 0) return std::stod(riga.substr(6)) / 1024.0;
    return 0;
}

void RegistraEtichette(clsStampora& s)
{
    s.StartDoc();
    s.SetCurrentX(0);
    s.SetCurrentY(0);
    s.SetScaleMode(6);
    s.SetOffsetX(4);
    s.SetOffsetY(0);
    s.SetFontName(QStringLiteral("Courier New"));
    s.SetFontSize(10);
    for (int pagina = 0; pagina < kPagine; ++pagina) {
        if (pagina > 0) s.NewPage();
        for (int e = 0; e < 8; ++e) {
            const double x = 10 + (e % 2) * 100.0, y = 10 + (e / 2) * 70.0;
            s.SetTextColor(0);
            s.SetBrushColor(0xFFFFFF);
            s.SetBrushStyle(1);
            s.DrawTextBox(QStringLiteral("Articolo %1").arg(pagina * 8 + e), float(x + 5), float(y + 5), 80, 10, false);
            s.DrawLine(x, y, x + 95, y + 65, 0xFFFFFF, QStringLiteral("B"), 0, 1);
            const double modulo = 0.33;
            for (int b = 0; b < 101; ++b)
                s.DrawLine(x + 10 + b * modulo * 2, y + 25, x + 10 + b * modulo * 2 + modulo, y + 55, 0,
                           QStringLiteral("BF"));
        }
    }
}

struct Ambiente {
    QTemporaryDir cartella;
    InterazioneScriptata ui;
    Ambiente() { modCartigo::ImpostaCartellaProgramma(cartella.path()); }
};

Ambiente& ambiente()
{
    static Ambiente a;
    return a;
}

void BM_Registrazione(benchmark::State& state)
{
    double picco = 0, memoria = 0;
    for (auto _ : state) {
        AzzeraPicco();
        clsStampora s(ambiente().ui);
        RegistraEtichette(s);
        s.Output().EndDoc();
        picco = PiccoMB();
        memoria = double(s.Output().Memoria()) / (1024.0 * 1024.0);
        benchmark::DoNotOptimize(s.Pages());
    }
    state.counters["pagine_al_s"] =
        benchmark::Counter(double(kPagine) * state.iterations(), benchmark::Counter::kIsRate);
    state.counters["picco_MB"] = picco;
    state.counters["lista_MB"] = memoria;
}

void BM_ScritturaPdf(benchmark::State& state)
{
    clsStampora s(ambiente().ui);
    RegistraEtichette(s);
    s.Output().EndDoc();
    const QString file = QDir(ambiente().cartella.path()).filePath(QStringLiteral("bench.pdf"));
    double picco = 0, mb = 0;
    for (auto _ : state) {
        AzzeraPicco();
        QString errore;
        if (!SalvaPdf(s.Output(), file, &errore)) {
            state.SkipWithError(errore.toStdString().c_str());
            return;
        }
        picco = PiccoMB();
        mb = double(QFile(file).size()) / (1024.0 * 1024.0);
    }
    QFile::remove(file);
    state.counters["pagine_al_s"] =
        benchmark::Counter(double(kPagine) * state.iterations(), benchmark::Counter::kIsRate);
    state.counters["picco_MB"] = picco;
    state.counters["pdf_MB"] = mb;
}

void BM_ScritturaAnt(benchmark::State& state)
{
    clsStampora s(ambiente().ui);
    RegistraEtichette(s);
    s.Output().EndDoc();
    const QString file = QDir(ambiente().cartella.path()).filePath(QStringLiteral("bench.ant"));
    double mb = 0;
    for (auto _ : state) {
        QString errore;
        if (!SalvaFileStampa(s.Output(), file, &errore)) {
            state.SkipWithError(errore.toStdString().c_str());
            return;
        }
        mb = double(QFile(file).size()) / (1024.0 * 1024.0);
    }
    QFile::remove(file);
    state.counters["pagine_al_s"] =
        benchmark::Counter(double(kPagine) * state.iterations(), benchmark::Counter::kIsRate);
    state.counters["ant_MB"] = mb;
}

// The same pages recorded straight into a PDF file (the print job's way to a file): each
// page goes to the writer as it is finished, so the peak stays that of one page.
void BM_PdfProgressivo(benchmark::State& state)
{
    const QString file = QDir(ambiente().cartella.path()).filePath(QStringLiteral("progressivo.pdf"));
    double picco = 0;
    for (auto _ : state) {
        AzzeraPicco();
        clsStampora s(ambiente().ui);
        s.SetPrintDestination(3);
        s.SetFileName(file);
        RegistraEtichette(s);
        if (!s.EndDoc()) {
            state.SkipWithError("the PDF file could not be written");
            return;
        }
        picco = PiccoMB();
    }
    QFile::remove(file);
    state.counters["pagine_al_s"] =
        benchmark::Counter(double(kPagine) * state.iterations(), benchmark::Counter::kIsRate);
    state.counters["picco_MB"] = picco;
}

// The print file of the job opened for the preview: read whole, then one page far in (the
// thousandth, or the last) drawn at 96 dpi as the preview shows it at 100 %.
void BM_AperturaAntEPagina(benchmark::State& state)
{
    const QString file = QDir(ambiente().cartella.path()).filePath(QStringLiteral("apertura.ant"));
    {
        clsStampora s(ambiente().ui);
        RegistraEtichette(s);
        s.Output().EndDoc();
        QString errore;
        if (!SalvaFileStampa(s.Output(), file, &errore)) {
            state.SkipWithError(errore.toStdString().c_str());
            return;
        }
    }
    double apertura = 0, pagina = 0;
    for (auto _ : state) {
        QElapsedTimer t;
        t.start();
        QString errore;
        const auto doc = CaricaFileStampa(file, &errore);
        if (!doc) {
            state.SkipWithError(errore.toStdString().c_str());
            return;
        }
        apertura = double(t.nsecsElapsed()) / 1e6;
        t.restart();
        const QImage img = ImmaginePagina(*doc, std::min(999, doc->PageCount() - 1), 96);
        benchmark::DoNotOptimize(img.constBits());
        pagina = double(t.nsecsElapsed()) / 1e6;
    }
    QFile::remove(file);
    state.counters["apertura_ms"] = apertura;
    state.counters["pagina_ms"] = pagina;
}

}  // namespace

BENCHMARK(BM_Registrazione)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_ScritturaPdf)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_ScritturaAnt)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_PdfProgressivo)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_AperturaAntEPagina)->Unit(benchmark::kMillisecond)->Iterations(1);

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
