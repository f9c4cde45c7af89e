#include "TestPlatform.h"

#include "base/Settings.h"
#include "base/TextFile.h"
#include "board/BoardFile.h"
#include "board/Fragment.h"
#include "room/BoardPublisher.h"
#include "room/Room.h"
#include "room/WaitEstimates.h"
#include "store/WaitingListStore.h"

#include <QSignalSpy>
#include <QTest>

using namespace tavlo;
using namespace tavlo::test;

namespace {

// A room over a real database, publishing into its program folder on the test's clock.
struct Fixture {
    TestPlatform t;
    Settings settings;
    WaitingListStore store;
    Room room;
    BoardPublisher publisher;

    explicit Fixture(const QList<TestPlatform::Game> &games = {})
        : store(t.path(QStringLiteral("TAVLO.mdb")))
        , room(store, t.clock)
        , publisher(room, settings, t.platform.programFolder, t.clock)
    {
        t.addEmptyDatabase();
        TestPlatform::seed(store.databasePath(), games);
        settings = Settings::defaults(t.platform.programFolder);
        room.load();
    }

    BoardFileContent boardFile() const { return readBoardFile(t.readFile(BoardFileName)); }
};

} // namespace

class TestPublisher : public QObject {
    Q_OBJECT
private slots:
    // Every change lands in the board file, whole, with the time it was made; the fragment
    // beside it stays what it always was, each symbol where its tag stood.
    void boardFileFollowsTheRoom()
    {
        const QStringList poker{"Anna<star>", "  Ben<blink><phone>", "Ann<star>ie", "Dee<phone><star><star>"};
        Fixture f({{QStringLiteral("Poker"), poker}, {QStringLiteral("Stud"), {}}});
        const QDateTime start = f.t.clock.now();
        QVERIFY(f.publisher.publish());
        f.t.clock.advance(90 * 1000);
        const qint64 stud = f.room.games()[1].id;
        for (int i = 0; i < 20; ++i) // more than any row of the fragment has lines for
            QVERIFY(f.room.addPlayer(stud, QStringLiteral("P%1<blink><star><phone>").arg(i)));

        const BoardFileContent content = f.boardFile();
        QVERIFY2(content.isRead(), qPrintable(content.problem));
        const BoardSnapshot &board = content.board;
        QCOMPARE(board.writtenAt, start.addSecs(90));
        QCOMPARE(board.changedAt, start.addSecs(90));
        QCOMPARE(board.heartbeatSeconds, 10);
        QCOMPARE(board.games.size(), 2);
        QCOMPARE(board.games[0].players,
                 (QList<WaitingPlayer>{{QStringLiteral("Anna"), {false, true, false}, QDateTime()},
                                       {QStringLiteral("  Ben"), {true, false, true}, QDateTime()},
                                       {QStringLiteral("Annie"), {false, true, false}, QDateTime()},
                                       {QStringLiteral("Dee"), {false, true, true}, QDateTime()}}));
        QCOMPARE(board.games[1].players.size(), 20);
        QCOMPARE(board.games[1].players[19], (WaitingPlayer{QStringLiteral("P19"), {true, true, true}, start.addSecs(90)}));
        QCOMPARE(f.t.readFile(BoardFileName), encodeBoardFile(f.publisher.snapshot()));

        const std::optional<Board> fragment = readFragment(QString::fromUtf8(f.t.readFile(QStringLiteral("TAVLO-Display.txt"))));
        QVERIFY(fragment);
        QList<BoardEntry> cells;
        for (const QString &stored : poker)
            cells << boardEntryOf(stored);
        QCOMPARE(fragment->games[0].entries, cells);
        QCOMPARE(fragment->games[1].entries.size(), 15);
    }

    // The heartbeat moves the time written on, never the time of the last change.
    void heartbeatKeepsTheLastChange()
    {
        Fixture f({{QStringLiteral("Poker"), {"Anna"}}});
        QVERIFY(!f.publisher.isHeartbeatRunning());
        QVERIFY(f.publisher.publish());
        QVERIFY(f.publisher.isHeartbeatRunning());
        const QDateTime changed = f.t.clock.now();
        for (int beat = 1; beat <= 3; ++beat) {
            f.t.clock.advance(10 * 1000);
            QVERIFY(f.publisher.writeHeartbeat());
            const BoardSnapshot board = f.boardFile().board;
            QCOMPARE(board.writtenAt, changed.addSecs(10 * beat));
            QCOMPARE(board.changedAt, changed);
        }
        f.t.clock.advance(1000);
        QVERIFY(f.room.renameGame(f.room.games()[0].id, QStringLiteral("Omaha")));
        QCOMPARE(f.boardFile().board.changedAt, changed.addSecs(31));
        QCOMPARE(f.boardFile().board.games[0].name, QStringLiteral("Omaha"));
    }

    // A game's estimate goes into the board file as the desk says it, as soon as it is worked
    // out; a game without enough data has none.
    void estimatesReachTheBoardFile()
    {
        Fixture f({{QStringLiteral("Poker"), {"A", "B", "C", "D", "E", "F"}}, {QStringLiteral("Stud"), {"X"}}});
        WaitEstimates estimates(f.room, f.t.clock);
        estimates.load({});
        f.publisher.setEstimates(&estimates);
        QVERIFY(f.publisher.publish());
        const qint64 poker = f.room.games()[0].id;
        for (int i = 0; i < 4; ++i) {
            f.t.clock.advance(5 * 60 * 1000);
            QVERIFY(f.room.deletePlayer(poker, f.room.games()[0].players[0].id));
        }
        QTRY_VERIFY(estimates.estimate(poker).enoughData());
        QTRY_COMPARE(f.boardFile().board.games[0].estimate, estimates.text(poker));
        QVERIFY(f.boardFile().board.games[0].estimate.contains(QLatin1String("min")));
        QCOMPARE(f.boardFile().board.games[1].estimate, QString());
        QVERIFY(!f.t.readFile(BoardFileName).contains("not enough data"));
    }

    void heartbeatBeatsByItself()
    {
        Fixture f;
        f.publisher.setHeartbeatSeconds(1);
        QSignalSpy beats(&f.publisher, &BoardPublisher::heartbeatWritten);
        QVERIFY(f.publisher.publish());
        const QByteArray first = f.t.readFile(BoardFileName);
        f.t.clock.advance(1000);
        QTRY_COMPARE_WITH_TIMEOUT(beats.size(), 1, 3000);
        QVERIFY(f.t.readFile(BoardFileName) != first);
        QCOMPARE(f.boardFile().board.heartbeatSeconds, 1);
    }

    // A board file that cannot be written after a change is reported as the fragment's is,
    // and the heartbeat stops, so that the screens see the board go stale. A heartbeat that
    // cannot be written is only said, and tried again.
    void failuresToWriteTheBoardFile()
    {
        Fixture f({{QStringLiteral("Poker"), {"Anna"}}});
        QSignalSpy failures(&f.publisher, &BoardPublisher::failed);
        QSignalSpy beatFailures(&f.publisher, &BoardPublisher::heartbeatFailed);
        QVERIFY(f.publisher.publish());

        QTemporaryDir show; // the board file's name taken by a folder
        QVERIFY(QDir(show.path()).mkdir(BoardFileName));
        f.settings.displayFolder = show.path() + QLatin1Char('/');
        QVERIFY(!f.publisher.writeHeartbeat());
        QCOMPARE(beatFailures.size(), 1);
        QCOMPARE(failures.size(), 0);

        QVERIFY(f.room.addPlayer(f.room.games()[0].id, QStringLiteral("Ben"))); // it has landed; its board has not
        QCOMPARE(failures.size(), 1);
        QVERIFY(failures[0][0].toString().contains(show.path() + QLatin1Char('/') + BoardFileName));
        QVERIFY(!f.publisher.isHeartbeatRunning());
        QVERIFY(QFileInfo::exists(show.filePath(QStringLiteral("TAVLO-Display.txt"))));
    }
};

QTEST_MAIN(TestPublisher)
#include "tst_publisher.moc"
