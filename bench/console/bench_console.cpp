// How long the console's commands take in a busy room, end to end (the panel's button, the
// room, one transaction in the store, the board written to disk), against the floor of one
// SQLite transaction writing one row plus writing the board's bytes with a rename, with the
// same durability the program uses. Run: bench/bench_console (medians, then the ratios).
#include "app/Console.h"
#include "base/TextFile.h"
#include "board/Fragment.h"
#include "console/GamesPanel.h"
#include "console/MainWindow.h"
#include "console/PlayersPanel.h"
#include "platform/Connectivity.h"
#include "platform/MessageBox.h"
#include "platform/ProcessEnd.h"
#include "room/BoardPublisher.h"
#include "room/Room.h"
#include "store/Schema.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>

namespace {

class SilentBox final : public tavlo::MessageBox {
public:
    int show(const QString &, int style, const QString &) override { return (style & 0x0F) == YesNo ? Yes : Ok; }
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
        platform = {&box, &end, &offline, dir.path()};
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
    tavlo::GamesPanel &games() { return *console.window()->gamesPanel(); }
    tavlo::PlayersPanel &players() { return *console.window()->playersPanel(); }
};

void BM_Floor(benchmark::State &state)
{
    RunningConsole room(int(state.range(0)), int(state.range(1)));
    const QByteArray bytes = room.folder.dir.isValid() ? [&] {
        QFile fragment(room.folder.dir.filePath(QStringLiteral("TAVLO-Display.txt")));
        fragment.open(QIODevice::ReadOnly);
        return fragment.readAll();
    }()
                                                       : QByteArray();
    QSqlDatabase c = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("floor"));
    c.setDatabaseName(room.folder.dir.filePath(QStringLiteral("TAVLO.mdb")));
    c.open();
    {
        QSqlQuery q(c);
        q.prepare(QStringLiteral("update lists set list_name = ? where id = 1"));
        int n = 0;
        for (auto _ : state) {
            q.exec(QStringLiteral("BEGIN IMMEDIATE"));
            q.prepare(QStringLiteral("update lists set list_name = ? where id = 1"));
            q.addBindValue(QStringLiteral("Floor %1").arg(n++));
            q.exec();
            q.exec(QStringLiteral("COMMIT"));
            tavlo::writeFileAtomically(room.folder.dir.filePath(QStringLiteral("floor.txt")), bytes);
        }
    }
    c.close();
    c = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("floor"));
    state.counters["bytes"] = double(bytes.size());
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
    room.games().selectGame(5);
    int n = 0;
    for (auto _ : state) {
        room.games().nameEdit()->setText(QStringLiteral("Renamed %1").arg(n++));
        room.games().saveButton()->click();
    }
}

void BM_PlayerSave(benchmark::State &state)
{
    RunningConsole room(int(state.range(0)), int(state.range(1)));
    room.players().selectPlayer(3);
    int n = 0;
    for (auto _ : state) {
        room.players().nameEdit()->setText(QStringLiteral("Renamed %1").arg(n++));
        room.players().saveButton()->click();
    }
}

void BM_TopOfTheLast(benchmark::State &state)
{
    RunningConsole room(int(state.range(0)), int(state.range(1)));
    for (auto _ : state) {
        room.players().selectPlayer(room.players().playerCount() - 1);
        room.players().moveToTopButton()->click();
    }
}

void BM_DeleteFirstPlayer(benchmark::State &state)
{
    RunningConsole room(int(state.range(0)), int(state.range(1)));
    tavlo::Room &model = *room.console.room();
    const qint64 game = model.games()[0].id;
    for (auto _ : state) {
        room.players().selectPlayer(0);
        room.players().deleteButton()->click(); // the other players close up
        state.PauseTiming();
        model.addPlayer(game, QStringLiteral("Again"));
        state.ResumeTiming();
    }
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

// Prints each command's median as a ratio to the floor's median of the same room size.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run> &reports) override
    {
        ConsoleReporter::ReportRuns(reports);
        for (const Run &run : reports) {
            if (run.aggregate_name == "median")
                m_medians[run.run_name.str()] = run.GetAdjustedRealTime();
        }
    }
    void Finalize() override
    {
        ConsoleReporter::Finalize();
        std::printf("\nmedian / floor of the same room:\n");
        for (const auto &[name, time] : m_medians) {
            const std::string size = name.substr(name.find('/'));
            const auto floor = m_medians.find("BM_Floor" + size);
            if (floor != m_medians.end() && name.rfind("BM_Floor", 0) != 0)
                std::printf("  %-36s %8.3f ms  %5.2fx\n", name.c_str(), time, time / floor->second);
        }
    }

private:
    std::map<std::string, double> m_medians;
};

constexpr int kRepetitions = 5;

BENCHMARK(BM_Floor)->Args({20, 130})->Args({200, 200})->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions)->ReportAggregatesOnly(true);
BENCHMARK(BM_RenderBoard)->Args({20, 130})->Args({200, 200})->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions)->ReportAggregatesOnly(true);
BENCHMARK(BM_GameSave)->Args({20, 130})->Args({200, 200})->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions)->ReportAggregatesOnly(true);
BENCHMARK(BM_PlayerSave)->Args({20, 130})->Args({200, 200})->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions)->ReportAggregatesOnly(true);
BENCHMARK(BM_TopOfTheLast)->Args({20, 130})->Args({200, 200})->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions)->ReportAggregatesOnly(true);
BENCHMARK(BM_DeleteFirstPlayer)->Args({20, 130})->Args({200, 200})->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions)->ReportAggregatesOnly(true);
BENCHMARK(BM_StartToFirstPaint)->Args({20, 130})->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions)->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
