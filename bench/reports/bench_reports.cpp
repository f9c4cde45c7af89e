// The shift report and the wait estimates on 30 days of a busy room (about 100,000 journal
// entries, 20 games, made by tools/busy_room). Targets: the report opens in under a second
// (journal read, figures, charts drawn), the estimate of every game costs under 5 ms, and
// feeding a change to the estimator costs next to nothing beside the command itself.
// Run: bench/bench_reports
#include "BusyRoom.h"

#include "console/ReportsWindow.h"
#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "room/JournalCsv.h"
#include "room/Room.h"
#include "room/ShiftReport.h"
#include "room/WaitEstimates.h"
#include "store/JournalReader.h"
#include "store/WaitingListStore.h"

#include <QApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

namespace {

class SilentBox final : public tavlo::MessageBox {
public:
    Answer show(const QString &, Icon, Buttons buttons, const QString &) override
    {
        return buttons == Buttons::YesNo ? Answer::Yes : Answer::Ok;
    }
};

class StillClock final : public tavlo::Clock {
public:
    QDateTime now() const override { return at; }
    QDateTime at;
};

// One busy room for every benchmark, loaded as the console loads it.
struct BusyRoom {
    QTemporaryDir dir;
    StillClock clock;
    SilentBox box;
    std::unique_ptr<tavlo::WaitingListStore> store;
    std::unique_ptr<tavlo::Room> room;
    qsizetype entries = 0;

    BusyRoom(int games, int days)
    {
        clock.at = QDateTime(QDate(2026, 12, 6), QTime(22, 30), QTimeZone::utc());
        const QString path = dir.filePath(QStringLiteral("TAVLO.mdb"));
        const QString error = tavlo::tools::makeBusyRoom(path, games, days, clock.at);
        if (!error.isEmpty()) {
            qCritical("%s", qPrintable(error));
            std::abort();
        }
        store = std::make_unique<tavlo::WaitingListStore>(path);
        room = std::make_unique<tavlo::Room>(*store, clock);
        room->load();
        entries = tavlo::JournalReader(store->database()).entries({}).size();
    }

    tavlo::ReportsWindow::ReadJournal reader() const
    {
        tavlo::WaitingListStore *s = store.get();
        return [s](const QDateTime &from, const QDateTime &to) { return tavlo::JournalReader(s->database()).entries(from, to); };
    }

    static BusyRoom &thirtyDays()
    {
        static BusyRoom room(20, 30);
        return room;
    }
};

// The window asked for a span ending today (1: today; 30: the whole month): the journal read
// from the span's start, the figures, the charts built and the window drawn once.
void BM_OpenReport(benchmark::State &state)
{
    BusyRoom &busy = BusyRoom::thirtyDays();
    const QDate today = busy.clock.at.date();
    const QDate first = today.addDays(-state.range(0) + 1);
    for (auto _ : state) {
        tavlo::ReportsWindow window(*busy.room, busy.reader(), busy.box, busy.clock, QTimeZone::utc());
        window.resize(1100, 780);
        if (!window.showDays(first, today))
            std::abort();
        benchmark::DoNotOptimize(window.grab());
    }
    state.counters["journal entries"] = double(busy.entries);
}
BENCHMARK(BM_OpenReport)->Arg(1)->Arg(30)->Unit(benchmark::kMillisecond)->Iterations(5);

// The oldest day alone: the whole journal is read to count the lists back from now.
void BM_OpenOldestDay(benchmark::State &state)
{
    BusyRoom &busy = BusyRoom::thirtyDays();
    const QDate oldest = busy.clock.at.date().addDays(-29);
    for (auto _ : state) {
        tavlo::ReportsWindow window(*busy.room, busy.reader(), busy.box, busy.clock, QTimeZone::utc());
        window.resize(1100, 780);
        window.showDays(oldest, oldest);
        benchmark::DoNotOptimize(window.grab());
    }
}
BENCHMARK(BM_OpenOldestDay)->Unit(benchmark::kMillisecond)->Iterations(5);

// The figures alone, from entries already read.
void BM_BuildReport(benchmark::State &state)
{
    BusyRoom &busy = BusyRoom::thirtyDays();
    const QDate today = busy.clock.at.date();
    const QList<tavlo::JournalRecord> entries =
            busy.reader()(tavlo::ShiftReport::dayStart(today.addDays(-29), QTimeZone::utc()), {});
    for (auto _ : state)
        benchmark::DoNotOptimize(
                tavlo::ShiftReport::build(entries, busy.room->games(), today.addDays(-29), today, busy.clock.at, QTimeZone::utc()));
}
BENCHMARK(BM_BuildReport)->Unit(benchmark::kMillisecond);

void BM_ReadWholeJournal(benchmark::State &state)
{
    BusyRoom &busy = BusyRoom::thirtyDays();
    for (auto _ : state)
        benchmark::DoNotOptimize(busy.reader()({}, {}));
}
BENCHMARK(BM_ReadWholeJournal)->Unit(benchmark::kMillisecond);

void BM_JournalCsv(benchmark::State &state)
{
    BusyRoom &busy = BusyRoom::thirtyDays();
    const QList<tavlo::JournalRecord> entries = busy.reader()({}, {});
    for (auto _ : state)
        benchmark::DoNotOptimize(tavlo::JournalCsv(QTimeZone::utc()).document(entries));
}
BENCHMARK(BM_JournalCsv)->Unit(benchmark::kMillisecond);

// Start-up: the last two hours of the journal read and fed to the estimator.
void BM_LoadEstimates(benchmark::State &state)
{
    BusyRoom &busy = BusyRoom::thirtyDays();
    for (auto _ : state) {
        tavlo::WaitEstimates estimates(*busy.room, busy.clock);
        estimates.load(busy.reader()(tavlo::WaitEstimator::windowStart(busy.clock.at), {}));
    }
}
BENCHMARK(BM_LoadEstimates)->Unit(benchmark::kMillisecond);

// Every game's estimate worked out, as after each change and every minute.
void BM_EstimateAllGames(benchmark::State &state)
{
    BusyRoom &busy = BusyRoom::thirtyDays();
    tavlo::WaitEstimator estimator;
    estimator.load(busy.reader()(tavlo::WaitEstimator::windowStart(busy.clock.at), {}));
    for (auto _ : state) {
        for (const tavlo::Game &game : busy.room->games())
            benchmark::DoNotOptimize(estimator.estimate(game.id, int(game.players.size()), busy.clock.at));
    }
    state.counters["games"] = double(busy.room->games().size());
    state.counters["changes in the window"] = double(estimator.eventCount());
}
BENCHMARK(BM_EstimateAllGames)->Unit(benchmark::kMicrosecond);

// What a command adds: its journal entry fed to the estimator (then taken back, as an undo).
void BM_FeedOneChange(benchmark::State &state)
{
    BusyRoom &busy = BusyRoom::thirtyDays();
    tavlo::WaitEstimator estimator;
    estimator.load(busy.reader()(tavlo::WaitEstimator::windowStart(busy.clock.at), {}));
    tavlo::JournalRecord entry;
    entry.id = 1 << 30;
    entry.madeAt = busy.clock.at;
    entry.command = QStringLiteral("delete player");
    entry.gameId = busy.room->games()[0].id;
    entry.details = R"({"id":1,"name":"A","position":0,"added":"2026-12-06T21:00:00.000Z"})";
    for (auto _ : state) {
        entry.reverted = false;
        estimator.record(entry);
        entry.reverted = true;
        estimator.record(entry);
    }
}
BENCHMARK(BM_FeedOneChange)->Unit(benchmark::kMicrosecond);

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
