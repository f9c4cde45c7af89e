// How long the console's commands take in a busy room, end to end (the panel's button, the
// room, one transaction in the store, the board on disk), against floors measured in the same
// iterations (see Floor). Run: bench/bench_console; "ratio" and "disk_ratio" are medians over
// the floors' medians.
#include "../BenchRoom.h"
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
#include <QTemporaryFile>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <unistd.h>
#include <cstdlib>
#include <ctime>
#include <algorithm>
#include <chrono>
#include <functional>
#include <vector>
#include <memory>
#include <string>

namespace {

using bench::NoEnd;
using bench::Offline;
using bench::SilentBox;

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
        bench::seedRoom(dir.path(), games, players, "Players_Per_List_Row1=15\r\nPlayers_Per_List_Row2=10\r\n");
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

// Writes the bytes to a new file beside the path and renames it over the path, unsynced: the
// least any writer of a whole file that a reader never sees torn can do.
void replaceUnsynced(const QString &path, const QByteArray &bytes)
{
    QTemporaryFile file(path + QStringLiteral(".XXXXXX"));
    file.setAutoRemove(false);
    if (!file.open() || file.write(bytes) != bytes.size() || !file.flush())
        std::abort();
    file.close();
    if (std::rename(QFile::encodeName(file.fileName()).constData(), QFile::encodeName(path).constData()) != 0)
        std::abort();
}

// The floors, measured in each iteration right before the command, so that both see the same
// disk. The command's floor: one SQLite transaction writing one row and one journal row, as
// durable as the store's, in a copy of the room's database beside it (a write to the room's own
// file would make the console's connection read it again, as no other desk's would in a room
// with one desk). The floor on disk: that transaction, then the board's bytes (the fragment and
// the board file) written to two files of the display folder, each renamed into place.
class Floor {
public:
    explicit Floor(RunningConsole &room)
        : m_folder(room.folder.dir.path())
    {
        for (const char *name : {"/TAVLO-Display.txt", "/TAVLO-Board.json"}) {
            QFile file(m_folder + QLatin1String(name));
            file.open(QIODevice::ReadOnly);
            m_bytes << file.readAll();
        }
        const QString copy = m_folder + QStringLiteral("/floor.mdb");
        if (!QFile::copy(m_folder + QStringLiteral("/TAVLO.mdb"), copy))
            std::abort();
        m_database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("floor"));
        m_database.setDatabaseName(copy);
        m_database.open();
        m_row = std::make_unique<QSqlQuery>(m_database);
        m_row->prepare(QStringLiteral("update lists set list_name = ? where id = 1"));
        m_journal = std::make_unique<QSqlQuery>(m_database);
        m_journal->prepare(QStringLiteral("insert into journal (made_at, desk, desk_id, command, game_id, player_id, game_name, "
                                          "player_name, details, reverted, undoable) values (?, 'floor', 'floor', 'rename game', "
                                          "1, null, ?, null, '', 0, 0)"));
    }
    ~Floor()
    {
        m_row.reset();
        m_journal.reset();
        m_readd.reset();
        m_deleteFirst.reset();
        m_closeUp.reset();
        m_database.close();
        m_database = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("floor"));
        QFile::remove(m_folder + QStringLiteral("/floor.mdb"));
    }

    // The command's floor and the floor on disk, in seconds.
    std::pair<double, double> run()
    {
        const double transaction = journaled([this](const QString &name) {
            m_row->addBindValue(name);
            return m_row->exec();
        });
        QElapsedTimer clock;
        clock.start();
        replaceUnsynced(m_folder + QStringLiteral("/floor-display.txt"), m_bytes[0]);
        replaceUnsynced(m_folder + QStringLiteral("/floor-board.json"), m_bytes[1]);
        return {transaction, transaction + double(clock.nsecsElapsed()) / 1e9};
    }

    // A deletion's own floor, in seconds: the first player of list `listId` deleted and the rows
    // behind it closed up, as an order without gaps needs, with the journal row. The list has a
    // player more than the room's, as the console's has when its first is deleted: one is put
    // back at its end, untimed, after each.
    double closeUp(qint64 listId)
    {
        if (!m_closeUp) {
            m_readd = prepared("insert into list_content (list_id, player_name, player_number, player_phone, listbox_order) "
                               "select ?, 'Again', 0, '', count(*) from list_content where list_id = ?");
            m_deleteFirst = prepared("delete from list_content where list_id = ? and listbox_order = 0");
            m_closeUp = prepared("update list_content set listbox_order = listbox_order - 1 where list_id = ? and listbox_order > 0");
            readd(listId);
        }
        const double transaction = journaled([&](const QString &) {
            m_deleteFirst->addBindValue(listId);
            m_closeUp->addBindValue(listId);
            return m_deleteFirst->exec() && m_deleteFirst->numRowsAffected() == 1 && m_closeUp->exec();
        });
        readd(listId);
        return transaction;
    }

private:
    // Seconds for one transaction as durable as the store's: `writes` (given the run's name),
    // then the journal row. A floor that failed half-way would be cheap for nothing.
    template <typename Writes>
    double journaled(Writes writes)
    {
        QElapsedTimer clock;
        clock.start();
        const QString name = QStringLiteral("Floor %1").arg(++m_runs);
        QSqlQuery control(m_database);
        control.exec(QStringLiteral("BEGIN IMMEDIATE"));
        const bool written = writes(name);
        m_journal->addBindValue(QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs));
        m_journal->addBindValue(name);
        if (!written || !m_journal->exec() || !control.exec(QStringLiteral("COMMIT")))
            std::abort();
        return double(clock.nsecsElapsed()) / 1e9;
    }
    void readd(qint64 listId)
    {
        m_readd->addBindValue(listId);
        m_readd->addBindValue(listId);
        if (!m_readd->exec())
            std::abort();
    }
    std::unique_ptr<QSqlQuery> prepared(const char *text)
    {
        auto query = std::make_unique<QSqlQuery>(m_database);
        if (!query->prepare(QLatin1String(text)))
            std::abort();
        return query;
    }

    QString m_folder;
    QList<QByteArray> m_bytes;
    QSqlDatabase m_database;
    std::unique_ptr<QSqlQuery> m_row;
    std::unique_ptr<QSqlQuery> m_journal;
    std::unique_ptr<QSqlQuery> m_readd, m_deleteFirst, m_closeUp;
    int m_runs = 0;
};

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// Runs the event loop for a while, asleep while there is nothing to do.
void pause(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

// Puts the files the floors and the publications wrote on the disk, untimed: otherwise the next
// transaction's sync would write them out (on ext4 a file renamed over another is written out
// at once), a cost of whichever comes next. Commands as far apart as an operator's find them
// written.
void drain(const QString &folder)
{
    for (const char *name : {"/TAVLO-Display.txt", "/TAVLO-Board.json", "/floor-display.txt", "/floor-board.json"}) {
        QFile file(folder + QLatin1String(name));
        if (file.open(QIODevice::ReadOnly))
            ::fdatasync(file.handle());
    }
}

// Counts the console's publications.
struct Publications {
    tavlo::BoardPublisher &publisher;
    int count = 0;
    QMetaObject::Connection connection;
    explicit Publications(RunningConsole &room)
        : publisher(*room.console.publisher())
    {
        connection = QObject::connect(&publisher, &tavlo::BoardPublisher::published, [this] { ++count; });
    }
    ~Publications() { QObject::disconnect(connection); }
    // Runs the event loop until the publication after `before` has landed.
    void waitBeyond(int before)
    {
        while (count == before)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
};

// Runs `prepare` untimed and `command` timed in each iteration, after the floors: "ratio" is
// the command's median (the click returned, the console showing the change) over the command's
// floor; "disk_ratio" the median from the click to both files renamed into place (on the
// publication's thread) over the floor on disk. Each command comes alone, after the changes before it have been published and a
// pause: a burst is BM_Burst's. A command whose transaction must do more than write one row
// may bring its own floor, doing that work too: "own_ratio" is the command's median over it.
template <typename Prepare, typename Command>
void againstTheFloor(benchmark::State &state, RunningConsole &room, Prepare prepare, Command command,
                     const std::function<double(Floor &)> &ownFloor = {})
{
    Floor floor(room);
    Publications publications(room);
    std::vector<double> floors, diskFloors, commands, onDisk, ownFloors;
    const QString folder = room.folder.dir.path();
    for (auto _ : state) {
        // Both after the same pause: a disk idle for a while answers its first sync later.
        pause(tavlo::BoardPublisher::QuietMilliseconds + 10);
        drain(folder);
        const auto [transaction, disk] = floor.run();
        floors.push_back(transaction);
        diskFloors.push_back(disk);
        if (ownFloor) {
            pause(tavlo::BoardPublisher::QuietMilliseconds + 10);
            drain(folder);
            ownFloors.push_back(ownFloor(floor));
        }
        prepare();
        publications.publisher.settle();
        pause(tavlo::BoardPublisher::QuietMilliseconds + 10);
        drain(folder);
        const int before = publications.count;
        const auto start = std::chrono::steady_clock::now();
        command();
        commands.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        publications.waitBeyond(before);
        onDisk.push_back(std::chrono::duration<double>(publications.publisher.publishedAt() - start).count());
        state.SetIterationTime(commands.back());
    }
    state.counters["floor_ms"] = median(floors) * 1e3;
    state.counters["ratio"] = median(commands) / median(floors);
    state.counters["disk_floor_ms"] = median(diskFloors) * 1e3;
    state.counters["disk_ratio"] = median(onDisk) / median(diskFloors);
    if (!ownFloors.empty()) {
        state.counters["own_floor_ms"] = median(ownFloors) * 1e3;
        state.counters["own_ratio"] = median(commands) / median(ownFloors);
    }
    // The two parts beyond the transaction: the publication after the click, the files' writing.
    std::vector<double> publishing, files;
    for (size_t i = 0; i < commands.size(); ++i) {
        publishing.push_back(onDisk[i] - commands[i]);
        files.push_back(diskFloors[i] - floors[i]);
    }
    state.counters["publish_ms"] = median(publishing) * 1e3;
    state.counters["files_ms"] = median(files) * 1e3;
}

// Ten saves in a row, each its own event as the operator's keys would be: how many
// publications they lead to, and the time from the first to the last one's board on disk.
void BM_Burst(benchmark::State &state)
{
    RunningConsole room(int(state.range(0)), int(state.range(1)));
    RunningConsole::selectRow(room.players(), 3);
    Publications publications(room);
    int n = 0;
    std::vector<double> counts;
    for (auto _ : state) {
        publications.publisher.settle();
        pause(tavlo::BoardPublisher::QuietMilliseconds + 10);
        const int before = publications.count;
        QElapsedTimer clock;
        clock.start();
        for (int i = 0; i < 10; ++i) {
            room.players().nameEdit()->setText(QStringLiteral("Burst %1").arg(n++));
            room.players().button(tavlo::PanelCommand::Save)->click();
            QCoreApplication::processEvents();
        }
        while (publications.publisher.isPublishing())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        state.SetIterationTime(double(clock.nsecsElapsed()) / 1e9);
        counts.push_back(publications.count - before);
    }
    state.counters["publications"] = *std::max_element(counts.begin(), counts.end());
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

// The game's rename without the panel: the room's and the store's share of BM_GameSave.
void BM_RoomRename(benchmark::State &state)
{
    RunningConsole room(int(state.range(0)), int(state.range(1)));
    tavlo::Room &model = *room.console.room();
    const qint64 game = model.games()[5].id;
    int n = 0;
    againstTheFloor(state, room, [&] {}, [&] { model.renameGame(game, QStringLiteral("Direct %1").arg(n++)); });
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
        [&] { room.players().button(tavlo::PanelCommand::Delete)->click(); }, // the others close up
        [game](Floor &floor) { return floor.closeUp(game); });
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

// Bytes an idle room writes, per second: the console runs its event loop untouched for three
// heartbeats and a second; "bytes_per_s" counts what it hands to write(), "disk_bytes_per_s"
// what the system says reached the page cache for the disk (Linux); then what the process has
// resident (run alone).
std::pair<double, double> writtenBytes()
{
    QFile io(QStringLiteral("/proc/self/io"));
    double handed = 0, disk = 0;
    if (io.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : io.readAll().split('\n')) {
            if (line.startsWith("wchar: "))
                handed = line.mid(7).toDouble();
            else if (line.startsWith("write_bytes: "))
                disk = line.mid(13).toDouble();
        }
    }
    return {handed, disk};
}

void BM_IdleRoom(benchmark::State &state)
{
    RunningConsole room(int(state.range(0)), int(state.range(1)));
    for (auto _ : state) {
        const auto [handed, disk] = writtenBytes();
        QElapsedTimer clock;
        clock.start();
        pause(31000);
        const auto [handedAfter, diskAfter] = writtenBytes();
        const double seconds = double(clock.nsecsElapsed()) / 1e9;
        state.SetIterationTime(seconds);
        state.counters["bytes_per_s"] = (handedAfter - handed) / seconds;
        state.counters["disk_bytes_per_s"] = (diskAfter - disk) / seconds;
    }
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : status.readAll().split('\n')) {
            if (line.startsWith("VmRSS:"))
                state.counters["resident_mb"] = line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024;
        }
    }
}

constexpr int kRepetitions = 5;

BENCHMARK(BM_RenderBoard)->Args({20, 130})->Args({200, 200})->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions)->ReportAggregatesOnly(true);
BENCHMARK(BM_GameSave)->Args({20, 130})->Args({200, 200})->UseManualTime()->Iterations(200)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RoomRename)->Args({20, 130})->Args({200, 200})->UseManualTime()->Iterations(200)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlayerSave)->Args({20, 130})->Args({200, 200})->UseManualTime()->Iterations(200)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CallPlayer)->Args({20, 130})->Args({200, 200})->UseManualTime()->Iterations(200)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SeatFromFiveLists)->Args({20, 130})->Args({200, 200})->UseManualTime()->Iterations(200)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TwoHundredCountdowns)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_TopOfTheLast)->Args({20, 130})->Args({200, 200})->UseManualTime()->Iterations(200)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeleteFirstPlayer)->Args({20, 130})->Args({200, 200})->UseManualTime()->Iterations(200)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Burst)->Args({20, 130})->Args({200, 200})->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JournalShareOfASave)->Args({20, 130})->UseManualTime()->Iterations(200)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UndoAgainstItsCommand)->Args({20, 130})->UseManualTime()->Iterations(200)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IdleRoom)->Args({200, 200})->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);
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
