#include "JournalBuilder.h"
#include "TestPlatform.h"

#include "room/Room.h"
#include "room/WaitEstimates.h"
#include "room/WaitEstimator.h"
#include "store/WaitingListStore.h"

#include <QSignalSpy>
#include <QTest>
#include <QTimeZone>

using namespace tavlo;
using namespace tavlo::test;

Q_DECLARE_METATYPE(QList<tavlo::JournalRecord>)

namespace {

const QDateTime Now(QDate(2026, 12, 6), QTime(22, 0), QTimeZone::utc());

JournalBuilder at(int minutesBeforeNow)
{
    return JournalBuilder(Now.addSecs(-60 * qint64(minutesBeforeNow)));
}

// Players leaving game 1 from the top at these minutes before now.
QList<JournalRecord> departures(const QList<int> &minutesBefore, int position = 0)
{
    JournalBuilder journal = at(0);
    for (const int minutes : minutesBefore) {
        journal.at(Now.addSecs(-60 * qint64(minutes)));
        journal.deletePlayer(1, 100 + minutes, QStringLiteral("P"), position);
    }
    return journal.entries;
}

WaitEstimate about(int minutes, int departures)
{
    return {WaitEstimate::Kind::About, minutes, minutes, departures};
}

WaitEstimate range(int low, int high, int departures)
{
    return {WaitEstimate::Kind::Range, low, high, departures};
}

WaitEstimate notEnough(int departures)
{
    return {WaitEstimate::Kind::NotEnoughData, 0, 0, departures};
}

struct EstimateRow { QList<JournalRecord> entries; int waiting; WaitEstimate expected; QString text; };

} // namespace

class TestWaitEstimator : public QObject {
    Q_OBJECT
private slots:
    void estimates_data()
    {
        QTest::addColumn<EstimateRow>("row");

        QList<int> everyFive;
        for (int m = 120; m > 0; m -= 5)
            everyFive << m;
        // 24 departures, 12 in each hour: D = 12×2 + 12 = 36 over T = 180, (9 + 1) × 180 / 36.
        QTest::newRow("steady") << EstimateRow{departures(everyFive), 9, about(50, 24), "about 50 min"};
        // The last hour counts twice: D = 10 + 2×2 = 14, 7 × 180 / 14 = 90 (unweighted: 70).
        QTest::newRow("burst an hour and a half ago")
            << EstimateRow{departures({100, 99, 98, 97, 96, 95, 94, 93, 92, 91, 30, 10}), 6, about(90, 12), "about 1 h 30 min"};
        // D = 12×2 = 24, 6 × 180 / 24 = 45.
        QTest::newRow("burst just now")
            << EstimateRow{departures({12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1}), 5, about(45, 12), "about 45 min"};
        // Four departures: D = 8, 4 × 180 / 8 = 90, between 90/1.5 and 90/0.5.
        QTest::newRow("thin") << EstimateRow{departures({50, 40, 30, 20}), 3, range(60, 180, 4), "1 h\u20133 h"};
        QTest::newRow("three are not enough") << EstimateRow{departures({50, 40, 30}), 3, notEnough(3), "not enough data"};
        QTest::newRow("older than two hours")
            << EstimateRow{departures({180, 170, 160, 150, 140, 130, 125}), 3, notEnough(0), "not enough data"};
        QTest::newRow("from further down the list")
            << EstimateRow{departures({50, 40, 30, 20, 10}, WaitEstimator::TopPart), 3, notEnough(0), "not enough data"};
        // Where players are seated, deletes teach nothing: four deletes and one seat are one departure.
        QList<JournalRecord> seated = departures({50, 40, 30, 20});
        JournalBuilder seat = at(10);
        seat.append(seat.entry(QStringLiteral("seat"), 1, 300, QStringLiteral("G"), QStringLiteral("P"),
                               {{QStringLiteral("id"), 300}, {QStringLiteral("name"), QStringLiteral("P")}, {QStringLiteral("position"), 0}}));
        QTest::newRow("seats, not deletes") << EstimateRow{seated + seat.entries, 3, notEnough(1), "not enough data"};

        JournalBuilder quiet = at(100);
        quiet.addGame(1, QStringLiteral("Quiet"));
        for (int i = 0; i < 6; ++i) {
            quiet.advanceMinutes(10);
            quiet.addPlayer(1, i + 1, QStringLiteral("P%1").arg(i), i);
        }
        QTest::newRow("quiet game") << EstimateRow{quiet.entries, 6, notEnough(0), "not enough data"};
        QTest::newRow("no history") << EstimateRow{QList<JournalRecord>(), 0, notEnough(0), "not enough data"};

        // Empty until half an hour ago: only the half hour with someone waiting counts,
        // T = 30×2 = 60, D = 5×2 = 10, 4 × 60 / 10 = 24.
        JournalBuilder opening = at(30);
        for (int i = 0; i < 8; ++i)
            opening.addPlayer(1, i + 1, QStringLiteral("P%1").arg(i), i);
        for (int i = 0; i < 5; ++i) {
            opening.advanceMinutes(5);
            opening.deletePlayer(1, i + 1, QStringLiteral("P%1").arg(i), 0, Now.addSecs(-30 * 60));
        }
        QTest::newRow("list opened half an hour ago") << EstimateRow{opening.entries, 3, range(15, 45, 5), "15\u201345 min"};

        // Moves, a whole list deleted and players deleted and added back change no departure.
        QList<JournalRecord> busy = departures(everyFive);
        JournalBuilder noise = at(50);
        noise.movePlayer(1, 7, QStringLiteral("Top"), 5, 0);
        noise.deleteAll(1, 12);
        for (int i = 0; i < 12; ++i)
            noise.addPlayer(1, 200 + i, QStringLiteral("Again"), i);
        for (JournalRecord entry : noise.entries) {
            entry.id += 1000;
            busy.append(entry);
        }
        std::stable_sort(busy.begin(), busy.end(), [](const JournalRecord &a, const JournalRecord &b) { return a.madeAt < b.madeAt; });
        QTest::newRow("moves and a deleted list") << EstimateRow{busy, 9, about(50, 24), "about 50 min"};

        QList<JournalRecord> undone = departures({50, 40, 30, 20, 10});
        undone[4].reverted = true;
        QTest::newRow("undone departure") << EstimateRow{undone, 3, range(60, 180, 4), "1 h\u20133 h"};
    }

    void estimates()
    {
        QFETCH(EstimateRow, row);
        const auto &[entries, waiting, expected, text] = row;

        WaitEstimator estimator;
        estimator.load(entries);
        const WaitEstimate estimate = estimator.estimate(1, waiting, Now);
        QCOMPARE(estimate.kind, expected.kind);
        QCOMPARE(estimate.lowMinutes, expected.lowMinutes);
        QCOMPARE(estimate.highMinutes, expected.highMinutes);
        QCOMPARE(estimate.departures, expected.departures);
        QCOMPARE(estimate.text(), text);
        QVERIFY(!estimator.estimate(2, waiting, Now).enoughData());

        // Fed one change at a time, it comes to the same.
        WaitEstimator live;
        for (const JournalRecord &entry : entries) {
            JournalRecord made = entry;
            made.reverted = false;
            live.record(made);
            if (entry.reverted)
                live.record(entry);
        }
        QCOMPARE(live.estimate(1, waiting, Now), estimate);
    }

    void texts_data()
    {
        QTest::addColumn<WaitEstimate>("estimate");
        QTest::addColumn<QString>("text");
        QTest::newRow("minutes") << about(25, 12) << "about 25 min";
        QTest::newRow("an hour") << about(60, 12) << "about 1 h";
        QTest::newRow("hours and minutes") << about(130, 12) << "about 2 h 10 min";
        QTest::newRow("beyond four hours") << about(250, 12) << "over 4 h";
        QTest::newRow("range below an hour") << range(20, 35, 6) << "20\u201335 min";
        QTest::newRow("range across the hour") << range(50, 80, 6) << "50 min\u20131 h 20 min";
        QTest::newRow("range beyond four hours") << range(130, 480, 4) << "over 2 h 10 min";
        QTest::newRow("range wholly beyond four hours") << range(300, 480, 4) << "over 4 h";
    }

    void texts()
    {
        QFETCH(WaitEstimate, estimate);
        QFETCH(QString, text);
        QCOMPARE(estimate.text(), text);
    }

    // The live estimates follow the room's own commands, undo and redo included.
    void followsTheRoom()
    {
        TestPlatform t;
        t.addEmptyDatabase();
        TestPlatform::seed(t.path(QStringLiteral("TAVLO.mdb")),
                           {{QStringLiteral("1/2 NL"), {"A", "B", "C", "D", "E", "F"}}, {QStringLiteral("PLO"), {"X"}}});
        WaitingListStore store(t.path(QStringLiteral("TAVLO.mdb")));
        Room room(store, t.clock);
        QVERIFY(room.load());
        WaitEstimates estimates(room, t.clock);
        estimates.load({});
        QSignalSpy changed(&estimates, &WaitEstimates::estimatesChanged);
        const qint64 game = room.games()[0].id;
        const qint64 other = room.games()[1].id;

        // Four players seated, one every five minutes: D = 4×2 = 8 over T = 180;
        // with 2 waiting, 3 × 180 / 8 = 67.5, between 67.5/1.5 and 67.5/0.5.
        for (int i = 0; i < 4; ++i) {
            t.clock.advance(5 * 60 * 1000);
            QVERIFY(room.deletePlayer(game, room.games()[0].players[0].id));
        }
        QTRY_COMPARE(estimates.estimate(game), range(45, 140, 4));
        QCOMPARE(estimates.text(game), QStringLiteral("45 min\u20132 h 20 min"));
        QCOMPARE(estimates.text(other), QStringLiteral("not enough data"));

        // A whole list deleted is nobody seated; undone, the list is as it was.
        QVERIFY(room.deleteAllPlayers(game));
        QTRY_COMPARE(estimates.estimate(game), range(15, 45, 4));
        QVERIFY(room.undo());
        QTRY_COMPARE(estimates.estimate(game), range(45, 140, 4));

        // Moves count for nothing.
        QVERIFY(room.movePlayerToTop(game, room.games()[0].players[1].id));
        QCoreApplication::processEvents();
        QCOMPARE(estimates.estimate(game), range(45, 140, 4));

        // An undone departure never happened; made again, it counts again.
        QVERIFY(room.undo()); // the move
        QVERIFY(room.undo()); // the last departure
        QTRY_COMPARE(estimates.estimate(game).departures, 3);
        QVERIFY(!estimates.estimate(game).enoughData());
        QVERIFY(room.redo());
        QTRY_COMPARE(estimates.estimate(game), range(45, 140, 4));

        // Two hours later the departures have left the window, and the estimator forgets them.
        changed.clear();
        t.clock.advance(121 * 60 * 1000);
        estimates.refresh();
        QCOMPARE(changed.size(), 1);
        QCOMPARE(estimates.estimate(game), notEnough(0));
        QCOMPARE(estimates.estimator().eventCount(), 0);
    }
};

QTEST_GUILESS_MAIN(TestWaitEstimator)
#include "tst_waitestimator.moc"
