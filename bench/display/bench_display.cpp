// The large screen: how long a change takes from the fragment's rename to the repaint, and how
// much memory the viewer holds for a 20-game board. Run: bench/bench_display
#include "display/BoardView.h"
#include "display/DisplayFolder.h"
#include "display/DisplayWindow.h"
#include "display/ScreenBoard.h"
#include "FragmentSamples.h"
#include "base/TextFile.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

using namespace tavlo;
using namespace tavlo::display;

namespace {

QStringList twentyGames(int change)
{
    return test::fragmentLines(20, 15, 10, [change](int g) {
        QStringList names;
        for (int i = 0; i < 12; ++i)
            names << QStringLiteral("Player %1-%2").arg(g + 1).arg(i + 1);
        names[g % 12] = QStringLiteral("Change %1").arg(change); // something moves on every change
        return names;
    });
}

bool boardShows(const BoardView &view, const QString &text)
{
    for (const BoardItem &item : view.items()) {
        if (item.text == text)
            return true;
    }
    return false;
}

// Kilobytes of a line of /proc/self/status ("VmRSS", "VmHWM").
double statusKilobytes(const char *key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(qstrlen(key) + 1).trimmed().split(' ').value(0).toDouble();
    }
    return 0;
}

struct Screen {
    QTemporaryDir program;
    DisplayWindow *window = nullptr;

    Screen()
    {
        QFile::copy(QStringLiteral(TAVLO_BUILT_PROGRAM_FOLDER "/TAVLO-Display.jpg"),
                    program.filePath(QLatin1String(kPictureFileName)));
        writeTextFileAtomically(program.filePath(QLatin1String(kFragmentFileName)), twentyGames(0));
        window = new DisplayWindow(program.path());
        window->setGeometry(0, 0, 1920, 1080);
        window->start();
        window->show();
        QElapsedTimer shown;
        shown.start();
        while (window->fragmentView()->paintCount() == 0 && shown.elapsed() < 5000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    ~Screen() { delete window; }
};

void BM_MemoryAtTwentyGames(benchmark::State &state)
{
    const double before = statusKilobytes("VmRSS:");
    Screen screen;
    for (auto _ : state)
        QCoreApplication::processEvents();
    state.counters["rss_MB"] = statusKilobytes("VmRSS:") / 1024.0;
    state.counters["peak_MB"] = statusKilobytes("VmHWM:") / 1024.0;
    state.counters["board_MB"] = (statusKilobytes("VmRSS:") - before) / 1024.0;
}
BENCHMARK(BM_MemoryAtTwentyGames)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_RenameToRepaint(benchmark::State &state)
{
    static Screen screen;
    static int change = 0;
    BoardView *view = screen.window->fragmentView();
    const QString fragment = screen.program.filePath(QLatin1String(kFragmentFileName));
    const QString next = fragment + QLatin1String(".next");
    for (auto _ : state) {
        ++change;
        QFile::remove(next);
        writeTextFileAtomically(next, twentyGames(change));
        const QString expected = QStringLiteral("Change %1").arg(change);
        const quint64 paints = view->paintCount();
        QElapsedTimer clock;
        clock.start();
        // One rename onto the old file, as the console replaces it.
        std::rename(QFile::encodeName(next).constData(), QFile::encodeName(fragment).constData());
        while (!(boardShows(*view, expected) && view->paintCount() > paints) && clock.elapsed() < 5000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        state.SetIterationTime(double(clock.nsecsElapsed()) / 1e9);
        if (!boardShows(*view, expected))
            state.SkipWithError("the change never reached the screen");
    }
}
BENCHMARK(BM_RenameToRepaint)->UseManualTime()->Iterations(1)->Repetitions(50)->ReportAggregatesOnly(true)->Unit(benchmark::kMillisecond);

// Reading a fragment of 8 MB, the most the viewer reads: a real board's shape, a name of
// megabytes, and a file of nothing but entity starts.
void BM_ReadEightMegabytes(benchmark::State &state)
{
    constexpr qsizetype size = 8 * 1024 * 1024;
    QString text;
    switch (state.range(0)) {
    case 0: {
        int games = 100;
        const QStringList lines = test::fragmentLines(games, 15, 10, [](int g) {
            QStringList names;
            for (int i = 0; i < 15; ++i)
                names << QStringLiteral("<blink>Player %1-%2&#9733;&#9742;</blink>").arg(g).arg(i) + QString(5000, QLatin1Char('x'));
            return names;
        });
        text = lines.join(QLatin1String("\r\n")).left(size);
        break;
    }
    case 1:
        text = test::fragmentLines(1, 1, 1, [](int) { return QStringList{QString(size, QLatin1Char('n'))}; }).join(QLatin1String("\r\n"));
        break;
    default:
        text = QString(size, QLatin1Char('&'));
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(screenBoardOf(text));
    state.SetLabel(state.range(0) == 0 ? "board" : state.range(0) == 1 ? "one long name" : "ampersands");
}
BENCHMARK(BM_ReadEightMegabytes)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
