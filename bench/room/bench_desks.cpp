// Several desks on one PostgreSQL server on this machine: a player's save at one desk, and
// how long until a second desk's room has the change. Run: bench/bench_desks
#include "PostgresServer.h"

#include "platform/Clock.h"
#include "room/Room.h"
#include "store/WaitingListStore.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

struct SharedRoom {
    tavlo::test::PostgresServer server{true};
    QString address;
    std::unique_ptr<tavlo::WaitingListStore> storeA, storeB;
    std::unique_ptr<tavlo::Room> deskA, deskB;

    SharedRoom(int games, int players)
    {
        if (!server.isRunning())
            return;
        address = server.createDatabase(QStringLiteral("room"));
        storeA = std::make_unique<tavlo::WaitingListStore>(address);
        storeB = std::make_unique<tavlo::WaitingListStore>(address);
        deskA = std::make_unique<tavlo::Room>(*storeA, tavlo::SystemClock::instance(), tavlo::DeskIdentity{.id = QStringLiteral("podium")});
        deskB = std::make_unique<tavlo::Room>(*storeB, tavlo::SystemClock::instance(), tavlo::DeskIdentity{.id = QStringLiteral("cage")});
        deskA->load();
        for (int g = 0; g < games; ++g) {
            const qint64 game = *deskA->addGame(QStringLiteral("Game %1").arg(g));
            for (int p = 0; p < players; ++p)
                deskA->addPlayer(game, QStringLiteral("Player %1<star>").arg(p));
        }
        deskB->load();
    }
};

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

void BM_PlayerSaveOnTheServer(benchmark::State &state)
{
    SharedRoom room(int(state.range(0)), int(state.range(1)));
    if (!room.deskA) {
        state.SkipWithError("no PostgreSQL server (apt-get install postgresql libqt6sql6-psql)");
        return;
    }
    const tavlo::Game game = room.deskA->games()[3];
    int n = 0;
    for (auto _ : state)
        room.deskA->updatePlayer(game.id, game.players[5].id, QStringLiteral("Renamed %1").arg(++n));
}

// From one desk's commit to the other desk's room holding the change.
void BM_ChangeSeenAtAnotherDesk(benchmark::State &state)
{
    SharedRoom room(int(state.range(0)), int(state.range(1)));
    if (!room.deskA) {
        state.SkipWithError("no PostgreSQL server (apt-get install postgresql libqt6sql6-psql)");
        return;
    }
    const qint64 game = room.deskA->games()[3].id;
    const qint64 player = room.deskA->games()[3].players[5].id;
    int n = 0;
    std::vector<double> seen;
    for (auto _ : state) {
        const QString name = QStringLiteral("Seen %1").arg(++n);
        room.deskA->updatePlayer(game, player, name);
        QElapsedTimer clock;
        clock.start();
        const auto arrived = [&] {
            const tavlo::Game *shown = room.deskB->game(game);
            return shown && shown->players.value(5).storedName == name;
        };
        while (!arrived() && clock.elapsed() < 5000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        seen.push_back(double(clock.nsecsElapsed()) / 1e9);
        state.SetIterationTime(seen.back());
        if (!arrived())
            state.SkipWithError("the change never reached the other desk");
    }
    state.counters["median_ms"] = median(seen) * 1e3;
}

BENCHMARK(BM_PlayerSaveOnTheServer)->Args({20, 130})->Repetitions(5)->ReportAggregatesOnly(true)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChangeSeenAtAnotherDesk)->Args({20, 130})->UseManualTime()->Iterations(100)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
