// The console's start against a bare Qt Widgets program's, both started as processes: from
// just before the start to the first paint of the window the program reports on its log
// (tavlo.startup, on the machine's monotonic clock), with a room of 20 games of 130 players,
// 10 starts each, taken in turns. Also the console's resident memory with a 200 × 200 room.
// The platform is whatever the environment gives: run it under a virtual display
// (xvfb-run -a bench/bench_startup); without DISPLAY it falls back to offscreen.
// "ratio" is the console's median over the bare program's.
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

// Milliseconds from just before the start to the reported first paint; negative when none came.
double startToFirstPaint(const QString &program)
{
    const qint64 start = tavlo::monotonicNanoseconds();
    bench::Program started(program, {}, QStringLiteral("tavlo.startup=true"));
    const std::optional<qint64> painted = started.waitFor(FirstPaint, 20000);
    return painted ? double(*painted - start) / 1e6 : -1;
}

void BM_StartToFirstPaint(benchmark::State &state)
{
    ConsoleFolder folder(20, 130);
    const QString bare = QStringLiteral(TAVLO_BARE_WINDOW);
    // Once each untimed, so that both start from a warm disk cache.
    startToFirstPaint(bare);
    startToFirstPaint(folder.program);
    std::vector<double> bares, consoles;
    for (auto _ : state) {
        for (int i = 0; i < kStarts; ++i) {
            bares.push_back(startToFirstPaint(bare));
            consoles.push_back(startToFirstPaint(folder.program));
            if (bares.back() < 0 || consoles.back() < 0) {
                state.SkipWithError("a program did not report its first paint");
                return;
            }
        }
    }
    state.counters["bare_ms"] = bench::median(bares);
    state.counters["console_ms"] = bench::median(consoles);
    state.counters["ratio"] = bench::median(consoles) / bench::median(bares);
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
