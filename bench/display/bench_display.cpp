// The large screen: how long a change takes from a file's rename to the repaint, and how much
// memory the viewer holds: the fragment of a 20-game board, and the board file of a 200-game,
// 40,000-player room, also over thousands of rewrites (TAVLO_BENCH_REWRITES, 10000 by
// default). Run: bench/bench_display (TMPDIR=/dev/shm keeps the disk out of it)
#include "display/BoardView.h"
#include "base/DisplayFiles.h"
#include "display/DisplayWindow.h"
#include "display/LiveBoardView.h"
#include "display/ScreenBoard.h"
#include "FixedClock.h"
#include "FragmentSamples.h"
#include "base/TextFile.h"
#include "board/BoardFile.h"
#include "platform/Clock.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <memory>

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
                    program.filePath(DisplayPictureName));
        writeTextFileAtomically(program.filePath(DisplayFragmentName), twentyGames(0));
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

// The first player's name after a change: always as long, so that a file can be changed in place.
QString changeName(int change)
{
    return QStringLiteral("Change %1").arg(change, 6, 10, QLatin1Char('0'));
}

// A room of 200 games of 200 players, all marked and timed; `change` renames the first player.
BoardSnapshot bigRoom(int change, const QDateTime &now)
{
    BoardSnapshot board;
    board.writtenAt = now;
    board.changedAt = now;
    board.games.reserve(200);
    for (int g = 0; g < 200; ++g) {
        WaitingGame &game = board.games.emplace_back();
        game.name = QStringLiteral("Game %1").arg(g + 1);
        game.players.reserve(200);
        for (int p = 0; p < 200; ++p)
            game.players.append({QStringLiteral("Player %1 %2").arg(g + 1).arg(p + 1), {p % 7 == 0, p % 3 == 0, p % 5 == 0},
                                 now.addSecs(-30 * (200 - p))});
    }
    board.games[0].players[0].name = changeName(change);
    return board;
}

bool liveBoardShows(const LiveBoardView &view, const QString &name)
{
    for (const BoardItem &item : view.items()) {
        if (item.kind == BoardItem::Kind::Name && (item.text == name || item.text.startsWith(name + u' ')))
            return true;
    }
    return false;
}

// The viewer on a 1920 x 1080 screen with the big room's board file, its clock held at the
// first page of the first screen of games, where the first player stands.
struct LiveScreen {
    QTemporaryDir program;
    test::FixedClock clock{QDateTime::fromMSecsSinceEpoch(0, Qt::UTC)};
    DisplayWindow *window = nullptr;
    QString boardFile;
    int change = 0;

    LiveScreen()
    {
        boardFile = program.filePath(BoardFileName);
        QFile::copy(QStringLiteral(TAVLO_BUILT_PROGRAM_FOLDER "/TAVLO-Display.jpg"),
                    program.filePath(DisplayPictureName));
        writeTextFileAtomically(program.filePath(DisplayFragmentName), twentyGames(0));
        writeFileAtomically(boardFile, encodeBoardFile(bigRoom(0, clock.now())));
        window = new DisplayWindow(program.path(), {}, clock);
        window->setGeometry(0, 0, 1920, 1080);
        window->start();
        window->show();
        QElapsedTimer shown;
        shown.start();
        while (window->liveView()->paintCount() == 0 && shown.elapsed() < 5000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    ~LiveScreen() { delete window; }

    // Writes the next board beside the file, as the console does before its rename.
    QString prepare(const QByteArray &bytes)
    {
        const QString next = boardFile + QLatin1String(".next");
        QFile::remove(next);
        writeFileAtomically(next, bytes);
        return next;
    }

    // Renames it onto the board file; the milliseconds until the change is painted, or -1.
    double replace(const QString &next, const QString &expected)
    {
        LiveBoardView *view = window->liveView();
        const quint64 paints = view->paintCount();
        QElapsedTimer elapsed;
        elapsed.start();
        std::rename(QFile::encodeName(next).constData(), QFile::encodeName(boardFile).constData());
        while (!(liveBoardShows(*view, expected) && view->paintCount() > paints) && elapsed.elapsed() < 5000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        return liveBoardShows(*view, expected) ? double(elapsed.nsecsElapsed()) / 1e6 : -1;
    }
};

void BM_MemoryOfTheBigRoom(benchmark::State &state)
{
    const double before = statusKilobytes("VmRSS:");
    LiveScreen screen;
    if (!screen.window->showsBoardFile())
        state.SkipWithError("the board file is not shown");
    for (auto _ : state)
        QCoreApplication::processEvents();
    state.counters["rss_MB"] = statusKilobytes("VmRSS:") / 1024.0;
    state.counters["peak_MB"] = statusKilobytes("VmHWM:") / 1024.0;
    state.counters["board_MB"] = (statusKilobytes("VmRSS:") - before) / 1024.0;
}
BENCHMARK(BM_MemoryOfTheBigRoom)->Iterations(1)->Unit(benchmark::kMillisecond);

// Every rewrite a new room, renamed onto the file and painted: the resident memory after the
// first hundred and after all of them. The bench itself holds one file's bytes, changed in place.
void BM_MemoryOverRewrites(benchmark::State &state)
{
    const int rewrites = qEnvironmentVariableIsSet("TAVLO_BENCH_REWRITES") ? qEnvironmentVariableIntValue("TAVLO_BENCH_REWRITES")
                                                                         : 10000;
    LiveScreen screen;
    QByteArray bytes = encodeBoardFile(bigRoom(0, screen.clock.now()));
    const qsizetype at = bytes.indexOf(changeName(0).toUtf8());
    double warm = 0;
    double slowest = 0;
    for (auto _ : state) {
        for (int i = 1; i <= rewrites; ++i) {
            const QByteArray name = changeName(i).toUtf8();
            std::memcpy(bytes.data() + at, name.constData(), size_t(name.size()));
            const double ms = screen.replace(screen.prepare(bytes), changeName(i));
            if (ms < 0) {
                state.SkipWithError("a rewrite never reached the screen");
                break;
            }
            slowest = std::max(slowest, ms);
            if (i == 100)
                warm = statusKilobytes("VmRSS:");
        }
    }
    const double last = statusKilobytes("VmRSS:");
    state.counters["rewrites"] = rewrites;
    state.counters["rss_after_100_MB"] = warm / 1024.0;
    state.counters["rss_after_all_MB"] = last / 1024.0;
    state.counters["growth_MB"] = (last - warm) / 1024.0;
    state.counters["peak_MB"] = statusKilobytes("VmHWM:") / 1024.0;
    state.counters["slowest_ms"] = slowest;
}
BENCHMARK(BM_MemoryOverRewrites)->Iterations(1)->Unit(benchmark::kSecond);

// The console's change: a new board file renamed onto the old one, until the frame that
// shows it is painted.
std::unique_ptr<LiveScreen> liveScreen; // shared by the repetitions, gone before the application

// The console's change: a new board file renamed onto the old one, until the frame that
// shows it is painted. The next file is made before the clock starts, by changing the first
// player's name in place, so that the process's time is the viewer's.
void BM_BoardFileRenameToPaint(benchmark::State &state)
{
    if (!liveScreen)
        liveScreen = std::make_unique<LiveScreen>();
    LiveScreen &screen = *liveScreen;
    static QByteArray bytes = encodeBoardFile(bigRoom(0, screen.clock.now()));
    static const qsizetype at = bytes.indexOf(changeName(0).toUtf8());
    for (auto _ : state) {
        ++screen.change;
        const QByteArray name = changeName(screen.change).toUtf8();
        std::memcpy(bytes.data() + at, name.constData(), size_t(name.size()));
        const QString next = screen.prepare(bytes);
        const double ms = screen.replace(next, changeName(screen.change));
        if (ms < 0)
            state.SkipWithError("the change never reached the screen");
        state.SetIterationTime(ms / 1e3);
    }
}
BENCHMARK(BM_BoardFileRenameToPaint)->UseManualTime()->Iterations(1)->Repetitions(50)->ReportAggregatesOnly(true)->Unit(benchmark::kMillisecond);

// Reading and writing the big room's board file.
void BM_ReadTheBigRoom(benchmark::State &state)
{
    const QByteArray bytes = encodeBoardFile(bigRoom(1, QDateTime::currentDateTimeUtc()));
    for (auto _ : state)
        benchmark::DoNotOptimize(readBoardFile(bytes));
    state.counters["file_MB"] = double(bytes.size()) / (1024.0 * 1024.0);
}
BENCHMARK(BM_ReadTheBigRoom)->Unit(benchmark::kMillisecond);

void BM_WriteTheBigRoom(benchmark::State &state)
{
    const BoardSnapshot room = bigRoom(1, QDateTime::currentDateTimeUtc());
    for (auto _ : state)
        benchmark::DoNotOptimize(encodeBoardFile(room));
}
BENCHMARK(BM_WriteTheBigRoom)->Unit(benchmark::kMillisecond);

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

// Twenty games of ten players, shown for five seconds of real time at 1920 × 1080: the share of
// a core the view takes, without calls (0) and with every one of the 200 players called (1).
void BM_TwoHundredCountdowns(benchmark::State &state)
{
    const QDateTime now = QDateTime::currentDateTimeUtc();
    BoardSnapshot board;
    board.writtenAt = now;
    board.changedAt = now;
    board.heartbeatSeconds = 3600;
    for (int g = 0; g < 20; ++g) {
        WaitingGame &game = board.games.emplace_back();
        game.name = QStringLiteral("Game %1").arg(g + 1);
        for (int p = 0; p < 10; ++p) {
            WaitingPlayer &player = game.players.emplace_back();
            player.name = QStringLiteral("Player %1").arg(g * 10 + p);
            player.addedAt = now.addSecs(-60 * (10 - p));
            if (state.range(0) != 0)
                player.callEnds = now.addSecs(300 + g + p);
        }
    }
    LiveBoardView view(SystemClock::instance());
    view.resize(1920, 1080);
    view.setBoard(board);
    view.show();
    // The event loop idles between the view's own timers, as the viewer's does.
    const auto idle = [](int milliseconds) {
        QEventLoop loop;
        QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
        loop.exec();
    };
    for (auto _ : state) {
        idle(1000);
        const std::clock_t cpu = std::clock();
        const quint64 paints = view.paintCount();
        QElapsedTimer wall;
        wall.start();
        idle(5000);
        const double seconds = double(wall.elapsed()) / 1000;
        state.counters["core_percent"] = 100.0 * double(std::clock() - cpu) / CLOCKS_PER_SEC / seconds;
        state.counters["paints_per_s"] = double(view.paintCount() - paints) / seconds;
    }
}
BENCHMARK(BM_TwoHundredCountdowns)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kSecond);

std::unique_ptr<Screen> fragmentScreen;

void BM_RenameToRepaint(benchmark::State &state)
{
    if (!fragmentScreen)
        fragmentScreen = std::make_unique<Screen>();
    Screen &screen = *fragmentScreen;
    static int change = 0;
    BoardView *view = screen.window->fragmentView();
    const QString fragment = screen.program.filePath(DisplayFragmentName);
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
    liveScreen.reset();
    fragmentScreen.reset();
    return 0;
}
