// The console's start against a bare Qt Widgets program's, both started as processes: from
// just before the start to the first paint of the window the program reports on its log
// (tavlo.startup, on the machine's monotonic clock), with a room of 20 games of 130 players,
// 10 starts each, taken in turns. Also the console's resident memory with a 200 × 200 room.
// The platform is whatever the environment gives: run it under a virtual display
// (xvfb-run -a bench/bench_startup); without DISPLAY it falls back to offscreen.
// "ratio" is the console's median over the bare program's. The medians of the steps on the
// way say where the difference lies: *_main_ms up to main (the libraries loaded),
// *_app_ms up to the application object made (the window system reached), console_window_ms
// up to the console's window built with its room.
#include "ProcessBench.h"

#include "platform/PaintReport.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <cstdlib>

namespace {

// TAVLO_BENCH_PROGRAMS names another build's program folder, to compare two builds.
const QString Built = qEnvironmentVariable("TAVLO_BENCH_PROGRAMS", QStringLiteral(TAVLO_BUILT_PROGRAM_FOLDER));
const QRegularExpression FirstPaint(QStringLiteral("first painted at (\\d+) ns"));
const QRegularExpression MainEntered(QStringLiteral("main entered at (\\d+) ns"));
const QRegularExpression ApplicationReady(QStringLiteral("application ready at (\\d+) ns"));
const QRegularExpression WindowBuilt(QStringLiteral("window built at (\\d+) ns"));
constexpr int kStarts = 10;

// A program folder of its own: the console's executable copied in (it keeps its files beside
// itself), the display page and picture, and the room.
struct ConsoleFolder {
    QTemporaryDir dir;
    QString program;
    ConsoleFolder(int games, int players)
    {
        program = dir.filePath(QStringLiteral("TAVLO"));
        for (const char *name : {"TAVLO", "TAVLO-Display.hta", "TAVLO-Display.jpg"})
            QFile::copy(Built + u'/' + QLatin1String(name), dir.filePath(QLatin1String(name)));
        bench::seedRoom(dir.path(), games, players);
    }
};

// Milliseconds from just before the start to each step the program reports, the first paint
// last; empty when one did not come.
std::vector<double> startSteps(const QString &program, const std::vector<const QRegularExpression *> &steps)
{
    const qint64 start = tavlo::monotonicNanoseconds();
    bench::Program started(program, {}, QStringLiteral("tavlo.startup=true"));
    std::vector<double> reached;
    for (const QRegularExpression *step : steps) {
        const std::optional<qint64> at = started.waitFor(*step, 20000);
        if (!at)
            return {};
        reached.push_back(double(*at - start) / 1e6);
    }
    return reached;
}

void BM_StartToFirstPaint(benchmark::State &state)
{
    ConsoleFolder folder(20, 130);
    const QString bare = QStringLiteral(TAVLO_BARE_WINDOW);
    const std::vector<const QRegularExpression *> bareSteps{&MainEntered, &ApplicationReady, &FirstPaint};
    const std::vector<const QRegularExpression *> consoleSteps{&MainEntered, &ApplicationReady, &WindowBuilt, &FirstPaint};
    // Once each untimed, so that both start from a warm disk cache.
    startSteps(bare, bareSteps);
    startSteps(folder.program, consoleSteps);
    std::vector<std::vector<double>> bares(bareSteps.size()), consoles(consoleSteps.size());
    const auto keep = [](std::vector<std::vector<double>> &into, const std::vector<double> &reached) {
        for (size_t i = 0; i < reached.size(); ++i)
            into[i].push_back(reached[i]);
        return !reached.empty();
    };
    for (auto _ : state) {
        for (int i = 0; i < kStarts; ++i) {
            if (!keep(bares, startSteps(bare, bareSteps)) || !keep(consoles, startSteps(folder.program, consoleSteps))) {
                state.SkipWithError("a program did not report its start's steps");
                return;
            }
        }
    }
    state.counters["bare_main_ms"] = bench::median(bares[0]);
    state.counters["bare_app_ms"] = bench::median(bares[1]);
    state.counters["console_main_ms"] = bench::median(consoles[0]);
    state.counters["console_app_ms"] = bench::median(consoles[1]);
    state.counters["console_window_ms"] = bench::median(consoles[2]);
    state.counters["bare_ms"] = bench::median(bares.back());
    state.counters["console_ms"] = bench::median(consoles.back());
    state.counters["ratio"] = bench::median(consoles.back()) / bench::median(bares.back());
}
BENCHMARK(BM_StartToFirstPaint)->Iterations(1)->Unit(benchmark::kSecond);

// Resident memory of the console with a 200 × 200 room, settled after the start.
void BM_ConsoleMemory(benchmark::State &state)
{
    ConsoleFolder folder(200, 200);
    for (auto _ : state) {
        bench::Program console(folder.program, {}, QStringLiteral("tavlo.startup=true"));
        if (!console.waitFor(FirstPaint, 30000)) {
            state.SkipWithError("the console did not paint");
            return;
        }
        bench::waitMilliseconds(3000); // what comes after the first paint
        state.counters["rss_MB"] = bench::statusMegabytes(console.pid(), "VmRSS:");
        state.counters["peak_MB"] = bench::statusMegabytes(console.pid(), "VmHWM:");
    }
}
BENCHMARK(BM_ConsoleMemory)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
