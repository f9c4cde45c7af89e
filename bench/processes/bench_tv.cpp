// From the click at the console to the large screen having repainted the new board, with the
// viewer (TAVLO-Display) started as its own process on the console's display folder. The
// console runs in this process as the program builds it (its Console, the panel's buttons, the
// room, the store, the board's publisher); each click is a player's Save or Delete on the
// first game, taken in turns, so that the count of players tells one board from the next. The
// viewer says on its log (tavlo.display.paint) when it painted a new board, on the machine's
// monotonic clock, and how many players it holds: the time is from just before the click to
// that paint. 20 clicks at 20 × 130 and at 200 × 200. Then the viewer's resident memory over
// TAVLO_BENCH_REWRITES further clicks (200 by default).
// Run it under a virtual display (xvfb-run -a bench/bench_tv); without DISPLAY, offscreen.
#include "ProcessBench.h"

#include "app/Console.h"
#include "console/ListPanel.h"
#include "console/MainWindow.h"
#include "platform/Clock.h"
#include "platform/Connectivity.h"
#include "platform/MessageBox.h"
#include "platform/PaintReport.h"
#include "platform/ProcessEnd.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <cstdlib>

namespace {

using bench::NoEnd;
using bench::Offline;
using bench::SilentBox;

const QRegularExpression BoardPainted(QStringLiteral("board painted at (\\d+) ns: \\d+ games, (\\d+) players"));

// The console of a room, and the viewer on its display folder.
struct Room {
    QTemporaryDir dir;
    SilentBox box;
    NoEnd end;
    Offline offline;
    tavlo::Platform platform;
    std::unique_ptr<tavlo::Console> console;
    std::unique_ptr<bench::Program> viewer;
    int players = 0; // on the board now

    Room(int games, int perGame)
        : players(games * perGame)
    {
        bench::seedRoom(dir.path(), games, perGame);
        platform = {&box, &end, &offline, &tavlo::SystemClock::instance(), dir.path()};
        console = std::make_unique<tavlo::Console>(platform);
        if (!console->start())
            std::abort();
        viewer = std::make_unique<bench::Program>(
                qEnvironmentVariable("TAVLO_BENCH_PROGRAMS", QStringLiteral(TAVLO_BUILT_PROGRAM_FOLDER)) + QStringLiteral("/TAVLO-Display"),
                QStringList{QStringLiteral("--display-folder"), dir.path(), QStringLiteral("--settings"), QStringLiteral("/dev/null")},
                QStringLiteral("tavlo.display.paint=true"));
    }
    tavlo::ListPanel &playersPanel() { return *console->window()->playersPanel(); }

    // Milliseconds from the click to the viewer's paint of the board with `players`; negative
    // when it never came.
    double waitForBoard(qint64 clickedAt)
    {
        const std::optional<qint64> painted = viewer->waitFor(BoardPainted, 10000, [&](const QRegularExpressionMatch &m) {
            return m.captured(2).toInt() == players && m.captured(1).toLongLong() >= clickedAt;
        });
        return painted ? double(*painted - clickedAt) / 1e6 : -1;
    }

    // A player added to the first game or, when one was added, taken away again: one click.
    // `returned`: milliseconds until the click returned (the console's own share, as far as
    // its work is done inside the click).
    double click(int n, double *returned = nullptr)
    {
        tavlo::ListPanel &panel = playersPanel();
        QPushButton *button;
        if (n % 2 == 0) {
            panel.button(tavlo::PanelCommand::Add)->click();
            panel.nameEdit()->setText(QStringLiteral("Bench %1").arg(n));
            button = panel.button(tavlo::PanelCommand::Save);
            ++players;
        } else {
            panel.select(panel.model()->idAt(panel.model()->rowCount() - 1));
            button = panel.button(tavlo::PanelCommand::Delete);
            --players;
        }
        const qint64 clickedAt = tavlo::monotonicNanoseconds();
        button->click();
        if (returned)
            *returned = double(tavlo::monotonicNanoseconds() - clickedAt) / 1e6;
        return waitForBoard(clickedAt);
    }
};

void BM_ClickToTv(benchmark::State &state)
{
    Room room(int(state.range(0)), int(state.range(1)));
    if (room.waitForBoard(0) < 0) {
        state.SkipWithError("the viewer never painted the room");
        return;
    }
    std::vector<double> latencies, clicks;
    int n = 0;
    for (auto _ : state) {
        for (int i = 0; i < 22; ++i) {
            double returned = 0;
            const double ms = room.click(n++, &returned);
            if (ms < 0) {
                state.SkipWithError("a click never reached the screen");
                return;
            }
            if (i >= 2) { // the first two warm both programs up
                latencies.push_back(ms);
                clicks.push_back(returned);
            }
            bench::waitMilliseconds(300); // a pause between clicks, as an operator's
        }
    }
    state.counters["median_ms"] = bench::median(latencies);
    state.counters["max_ms"] = *std::max_element(latencies.begin(), latencies.end());
    state.counters["click_returned_ms"] = bench::median(clicks);
    const qint64 pid = room.viewer->pid();
    state.counters["viewer_rss_MB"] = bench::statusMegabytes(pid, "VmRSS:");
    if (state.range(0) < 200)
        return;
    // The viewer's memory over many rewrites of the big board.
    const int rewrites = qEnvironmentVariableIsSet("TAVLO_BENCH_REWRITES") ? qEnvironmentVariableIntValue("TAVLO_BENCH_REWRITES") : 200;
    double settled = 0;
    for (int i = 0; i < rewrites; ++i) {
        if (room.click(n++) < 0) {
            state.SkipWithError("a rewrite never reached the screen");
            return;
        }
        if (i == rewrites / 10)
            settled = bench::statusMegabytes(pid, "VmRSS:");
    }
    state.counters["rewrites"] = rewrites;
    state.counters["viewer_rss_settled_MB"] = settled;
    state.counters["viewer_rss_after_MB"] = bench::statusMegabytes(pid, "VmRSS:");
    state.counters["viewer_peak_MB"] = bench::statusMegabytes(pid, "VmHWM:");
}
BENCHMARK(BM_ClickToTv)->Args({20, 130})->Args({200, 200})->Iterations(1)->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char **argv)
{
    // The console here never shows its window: offscreen by its arguments, so that the
    // viewer still gets the environment's display.
    std::vector<char *> arguments(argv, argv + argc);
    char platform[] = "-platform", offscreen[] = "offscreen";
    arguments.insert(arguments.begin() + 1, {platform, offscreen});
    int count = int(arguments.size());
    QApplication app(count, arguments.data());
    tavlo::loadConsoleFonts();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
