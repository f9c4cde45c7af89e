// How long the console's commands take in a busy room, end to end (the panel's button, the
// room, one transaction in the store, the board written to disk), against the floor of one
// SQLite transaction writing one row plus writing the board's bytes with a rename, with the
// same durability the program uses. Run: bench/bench_console; "ratio" is the command's median
// over the floor's median.
#include "app/Console.h"
#include "base/TextFile.h"
#include "board/Fragment.h"
#include "console/ListPanel.h"
#include "console/MainWindow.h"
#include "platform/Clock.h"
#include "platform/Connectivity.h"
#include "platform/MessageBox.h"
#include "platform/ProcessEnd.h"
#include "room/BoardPublisher.h"
#include "room/Room.h"
#include "store/Schema.h"
#include "store/WaitingListStore.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <algorithm>
#include <vector>
#include <memory>
#include <string>

namespace {

class SilentBox final : public tavlo::MessageBox {
public:
    Answer show(const QString &, Icon, Buttons buttons, const QString &) override
    {
        return buttons == Buttons::YesNo ? Answer::Yes : Answer::Ok;
    }
};
class NoEnd final : public tavlo::ProcessEnd {
public:
    void endNow(int) override { std::abort(); }
};
class Offline final : public tavlo::Connectivity {
public:
    bool isOnline() override { return false; }
};

// A program folder holding a room of `games` games with `players` players each.
struct RoomFolder {
    QTemporaryDir dir;
    SilentBox box;
    NoEnd end;
    Offline offline;
    tavlo::Platform platform;

    RoomFolder(int games, int players)
    {
        platform = {&box, &end, &offline, &tavlo::SystemClock::instance(), dir.path()};
        const QString db = dir.filePath(QStringLiteral("TAVLO.mdb"));
        tavlo::createEmptyDatabase(db);
        {
            QSqlDatabase c = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("seed"));
            c.setDatabaseName(db);
            c.open();
            c.transaction();
            QSqlQuery q(c);
            for (int g = 0; g < games; ++g) {
                q.exec(QStringLiteral("insert into lists (list_name, listbox_order) values ('Game %1', %1)").arg(g));
                const qlonglong id = q.lastInsertId().toLongLong();
                for (int p = 0; p < players; ++p)
                    q.exec(QStringLiteral("insert into list_content (list_id, player_name, player_number, player_phone, listbox_order) "
                                          "values (%1, 'Player %2<star>', 0, '', %2)").arg(id).arg(p));
            }
            c.commit();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("seed"));
        QFile ini(dir.filePath(QStringLiteral("TAVLO.ini")));
        ini.open(QIODevice::WriteOnly);
        ini.write(("DataBase=" + db + "\r\nFilePath=" + dir.path() + "/\r\nPlayers_Per_List_Row1=15\r\nPlayers_Per_List_Row2=10\r\n").toUtf8());
    }
};

struct RunningConsole {
    RoomFolder folder;
    tavlo::Console console;
    RunningConsole(int games, int players)
        : folder(games, players)
        , console(folder.platform)
    {
        if (!console.start())
            std::abort();
    }
    tavlo::ListPanel &games() { return *console.window()->gamesPanel(); }
    tavlo::ListPanel &players() { return *console.window()->playersPanel(); }
    // Selects an entry by its place, as the operator would.
    static void selectRow(tavlo::ListPanel &panel, int row) { panel.select(panel.model()->idAt(row)); }
};

// The floor, one SQLite transaction writing one row plus the board's bytes written to a file
// and renamed, is measured in each iteration right before the command, so that both see the
// same disk: the ratio of their medians is what the command costs beyond the floor.
class Floor {
public:
    explicit Floor(RunningConsole &room)
        : m_folder(room.folder.dir.path())
    {
        QFile fragment(m_folder + QStringLiteral("/TAVLO-Display.txt"));
        fragment.open(QIODevice::ReadOnly);
        m_bytes = fragment.readAll();
        m_database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("floor"));
        m_database.setDatabaseName(m_folder + QStringLiteral("/TAVLO.mdb"));
        m_database.open();
        m_query = std::make_unique<QSqlQuery>(m_database);
        m_query->prepare(QStringLiteral("update lists set list_name = ? where id = 1"));
    }
    ~Floor()
    {
        m_query.reset();
        m_database.close();
        m_database = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("floor"));
    }

    // One floor operation, in seconds.
    double run()
    {
        QElapsedTimer clock;
        clock.start();
        QSqlQuery control(m_database);
        control.exec(QStringLiteral("BEGIN IMMEDIATE"));
        m_query->addBindValue(QStringLiteral("Floor %1").arg(++m_runs));
        m_query->exec();
        control.exec(QStringLiteral("COMMIT"));
        tavlo::writeFileAtomically(m_folder + QStringLiteral("/floor.txt"), m_bytes);
        return double(clock.nsecsElapsed()) / 1e9;
    }
    qsizetype bytes() const { return m_bytes.size(); }

private:
    QString m_folder;
    QByteArray m_bytes;
    QSqlDatabase m_database;
    std::unique_ptr<QSqlQuery> m_query;
    int m_runs = 0;
};

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// Runs `prepare` untimed and `command` timed in each iteration, after a floor operation.
template <typename Prepare, typename Command>
void againstTheFloor(benchmark::State &state, RunningConsole &room, Prepare prepare, Command command)
{
    Floor floor(room);
    std::vector<double> floors, commands;
    for (auto _ : state) {
        floors.push_back(floor.run());
        prepare();
        QElapsedTimer clock;
        clock.start();
        command();
        commands.push_back(double(clock.nsecsElapsed()) / 1e9);
        state.SetIterationTime(commands.back());
    }
    state.counters["floor_ms"] = median(floors) * 1e3;
    state.counters["ratio"] = median(commands) / median(floors);
}

void BM_RenderBoard(benchmark::State &state)
{
    RunningConsole room(int(state.range(0)), int(state.range(1)));
    tavlo::Settings settings = room.console.settings();
    tavlo::BoardPublisher publisher(*room.console.room(), settings, room.folder.dir.path());
    for (auto _ : state)
        benchmark::DoNotOptimize(tavlo::encodeSystemText(tavlo::renderFragment(publisher.board())));
}

void BM_GameSave(benchmark::State &state)
{
    RunningConsole room(int(state.range(0)), int(state.range(1)));
    RunningConsole::selectRow(room.games(), 5);
    int n = 0;
    againstTheFloor(state, room, [&] { room.games().nameEdit()->setText(QStringLiteral("Renamed %1").arg(n++)); },
                    [&] { room.games().button(tavlo::PanelCommand::Save)->click(); });
}

void BM_PlayerSave(benchmark::State &state)
{
    RunningConsole room(int(state.range(0)), int(state.range(1)));
    RunningConsole::selectRow(room.players(), 3);
    int n = 0;
    againstTheFloor(state, room, [&] { room.players().nameEdit()->setText(QStringLiteral("Renamed %1").arg(n++)); },
                    [&] { room.players().button(tavlo::PanelCommand::Save)->click(); });
}

// A call from its button; the call is cancelled before the next.
void BM_CallPlayer(benchmark::State &state)
{
    RunningConsole room(int(state.range(0)), int(state.range(1)));
    tavlo::Room &model = *room.console.room();
    RunningConsole::selectRow(room.players(), 3);
    const qint64 game = room.players().model()->owner();
    const qint64 player = room.players().selectedId();
    againstTheFloor(state, room, [&] { model.cancelCall(game, player); },
                    [&] { room.players().button(tavlo::PanelCommand::Call)->click(); });
}

// A seat that takes the same person off five lists at once.
void BM_SeatFromFiveLists(benchmark::State &state)
{
    RunningConsole room(int(state.range(0)), int(state.range(1)));
    tavlo::Room &model = *room.console.room();
    QList<qint64> games;
    for (int g = 0; g < 5; ++g)
        games << model.games()[g].id;
    againstTheFloor(
        state, room,
        [&] {
            model.addPlayerToGames(games, QStringLiteral("Everywhere"));
            RunningConsole::selectRow(room.players(), room.players().model()->rowCount() - 1);
        },
        [&] { room.players().button(tavlo::PanelCommand::Seat)->click(); });
}

// The console idle for five seconds of real time with its 200 players (20 games of 10) not
// called (0) or all called (1): the share of a core its countdowns take.
void BM_TwoHundredCountdowns(benchmark::State &state)
{
    RunningConsole room(20, 10);
    tavlo::Room &model = *room.console.room();
    if (state.range(0) != 0) {
        for (const tavlo::Game &game : model.games()) {
            for (const tavlo::Player &player : game.players)
                model.callPlayer(game.id, player.id);
        }
    }
    const auto idle = [](int milliseconds) {
        QEventLoop loop;
        QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
        loop.exec();
    };
    for (auto _ : state) {
        idle(1000);
        const std::clock_t cpu = std::clock();
        QElapsedTimer wall;
        wall.start();
        idle(5000);
        state.counters["core_percent"] = 100.0 * double(std::clock() - cpu) / CLOCKS_PER_SEC / (double(wall.elapsed()) / 1000);
    }
}

void BM_TopOfTheLast(benchmark::State &state)
{
    RunningConsole room(int(state.range(0)), int(state.range(1)));
    againstTheFloor(state, room, [&] { RunningConsole::selectRow(room.players(), room.players().model()->rowCount() - 1); },
                    [&] { room.players().button(tavlo::PanelCommand::MoveToTop)->click(); });
}

void BM_DeleteFirstPlayer(benchmark::State &state)
{
    RunningConsole room(int(state.range(0)), int(state.range(1)));
    tavlo::Room &model = *room.console.room();
    const qint64 game = model.games()[0].id;
    againstTheFloor(
        state, room,
        [&] {
            model.addPlayer(game, QStringLiteral("Again"));
            RunningConsole::selectRow(room.players(), 0);
        },
        [&] { room.players().button(tavlo::PanelCommand::Delete)->click(); }); // the others close up
}

// The journal's share of a player's save: the same save with and without its journal entry,
// in alternate iterations, the board written after each.
void BM_JournalShareOfASave(benchmark::State &state)
{
    RoomFolder folder(int(state.range(0)), int(state.range(1)));
    tavlo::WaitingListStore store(folder.dir.filePath(QStringLiteral("TAVLO.mdb")));
    tavlo::Room room(store, tavlo::SystemClock::instance());
    tavlo::Settings settings = tavlo::Settings::defaults(folder.dir.path());
    tavlo::BoardPublisher publisher(room, settings, folder.dir.path());
    room.load();
    const qint64 game = room.games()[3].id;
    const qint64 player = room.games()[3].players[5].id;
    std::vector<double> without, with;
    int n = 0;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        {
            tavlo::WaitingListStore::Change change(store);
            change.updatePlayer(player, QStringLiteral("Plain %1").arg(++n));
            change.commit();
            publisher.publish();
        }
        without.push_back(double(clock.nsecsElapsed()) / 1e9);
        clock.restart();
        room.updatePlayer(game, player, QStringLiteral("Journaled %1").arg(n));
        with.push_back(double(clock.nsecsElapsed()) / 1e9);
        state.SetIterationTime(with.back());
    }
    state.counters["without_ms"] = median(without) * 1e3;
    state.counters["ratio"] = median(with) / median(without);
}

// An undo against the command it reverts: a player deleted, then brought back.
void BM_UndoAgainstItsCommand(benchmark::State &state)
{
    RunningConsole room(int(state.range(0)), int(state.range(1)));
    tavlo::Room &model = *room.console.room();
    const qint64 game = model.games()[0].id;
    std::vector<double> commands, undos;
    for (auto _ : state) {
        const qint64 player = model.games()[0].players[60].id;
        QElapsedTimer clock;
        clock.start();
        model.deletePlayer(game, player);
        commands.push_back(double(clock.nsecsElapsed()) / 1e9);
        clock.restart();
        model.undo();
        undos.push_back(double(clock.nsecsElapsed()) / 1e9);
        state.SetIterationTime(undos.back());
    }
    state.counters["command_ms"] = median(commands) * 1e3;
    state.counters["ratio"] = median(undos) / median(commands);
}

void BM_StartToFirstPaint(benchmark::State &state)
{
    RoomFolder folder(int(state.range(0)), int(state.range(1)));
    tavlo::loadConsoleFonts();
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        tavlo::Console console(folder.platform);
        if (!console.start())
            std::abort();
        QWidget *window = console.window();
        window->show();
        // The first frame is painted when the window's backing store is flushed.
        while (!window->isVisible() || window->grab().isNull())
            QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        state.SetIterationTime(double(clock.nsecsElapsed()) / 1e9);
        window->close();
    }
}

constexpr int kRepetitions = 5;

BENCHMARK(BM_RenderBoard)->Args({20, 130})->Args({200, 200})->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions)->ReportAggregatesOnly(true);
BENCHMARK(BM_GameSave)->Args({20, 130})->Args({200, 200})->UseManualTime()->Iterations(200)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlayerSave)->Args({20, 130})->Args({200, 200})->UseManualTime()->Iterations(200)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CallPlayer)->Args({20, 130})->Args({200, 200})->UseManualTime()->Iterations(200)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SeatFromFiveLists)->Args({20, 130})->Args({200, 200})->UseManualTime()->Iterations(200)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TwoHundredCountdowns)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_TopOfTheLast)->Args({20, 130})->Args({200, 200})->UseManualTime()->Iterations(200)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeleteFirstPlayer)->Args({20, 130})->Args({200, 200})->UseManualTime()->Iterations(200)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JournalShareOfASave)->Args({20, 130})->UseManualTime()->Iterations(200)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UndoAgainstItsCommand)->Args({20, 130})->UseManualTime()->Iterations(200)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StartToFirstPaint)->Args({20, 130})->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions)->ReportAggregatesOnly(true);

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
