#include "FullFileSystem.h"
#include "TestPlatform.h"

#include "base/Settings.h"
#include "base/TextFile.h"
#include "board/Fragment.h"
#include "board/PlayerMarkers.h"
#include "room/BoardPublisher.h"
#include "room/Room.h"
#include "store/WaitingListStore.h"

#include <QRandomGenerator>
#include <QSignalSpy>
#include <QtTest>

using namespace tavlo;
using namespace tavlo::test;

namespace {

QStringList players(int n)
{
    QStringList out;
    for (int i = 0; i < n; ++i)
        out << QStringLiteral("P%1").arg(i);
    return out;
}

// A room over a real database in a temporary program folder, publishing into that folder.
struct Fixture {
    TestPlatform t;
    Settings settings;
    WaitingListStore store;
    Room room;
    BoardPublisher publisher;

    explicit Fixture(const QList<TestPlatform::Game> &games = {})
        : store(t.path(QStringLiteral("TAVLO.mdb")))
        , room(store, t.clock)
        , publisher(room, settings, t.platform.programFolder)
    {
        t.addEmptyDatabase();
        TestPlatform::seed(store.databasePath(), games);
        settings = Settings::defaults(t.platform.programFolder);
        room.load();
    }

    QByteArray fragment() const { return t.readFile(QStringLiteral("TAVLO-Display.txt")); }
    QStringList lines()
    {
        QStringList out = QString::fromUtf8(fragment()).split(QStringLiteral("\r\n"));
        out.removeLast();
        return out;
    }
    QStringList rows(const QString &sql) const { return TestPlatform::rows(store.databasePath(), sql); }
    // Every game with its players, in order, as the database holds them.
    QStringList stored() const
    {
        QStringList out;
        for (const QString &game : rows(QStringLiteral("select id, list_name from lists order by listbox_order"))) {
            const QString id = game.section(QLatin1Char('|'), 0, 0);
            out << game.section(QLatin1Char('|'), 1) + QLatin1Char(':')
                           + rows(QStringLiteral("select player_name from list_content where list_id = %1 order by listbox_order")
                                      .arg(id))
                                 .join(QLatin1Char(','));
        }
        return out;
    }
    QStringList inMemory() const
    {
        QStringList out;
        for (const Game &game : room.games()) {
            QStringList names;
            for (const Player &player : game.players)
                names << player.storedName;
            out << game.name + QLatin1Char(':') + names.join(QLatin1Char(','));
        }
        return out;
    }
    // Every game's positions run from 0 without gaps or repeats.
    bool positionsAreWhole() const
    {
        const auto gapless = [](const QStringList &positions) {
            for (qsizetype i = 0; i < positions.size(); ++i) {
                if (positions[i] != QString::number(i))
                    return false;
            }
            return true;
        };
        if (!gapless(rows(QStringLiteral("select listbox_order from lists order by listbox_order"))))
            return false;
        for (const Game &game : room.games()) {
            if (!gapless(rows(QStringLiteral("select listbox_order from list_content where list_id = %1 order by listbox_order")
                                  .arg(game.id))))
                return false;
        }
        return true;
    }
};

} // namespace

class TestRoom : public QObject {
    Q_OBJECT
private slots:
    // The board shows each game's first players, as many as its row of games has lines for.
    void publishedBoardFollowsTheRowsOfGames()
    {
        Fixture f({{QStringLiteral("More"), players(5)},
                   {QStringLiteral("Exact"), players(3)},
                   {QStringLiteral("Short"), players(1)},
                   {QStringLiteral("Second"), players(1)},
                   {QStringLiteral("SecondFull"), players(4)},
                   {QStringLiteral("SecondEmpty"), {}}});
        f.settings.rowsInFirstRow = 3;
        f.settings.rowsInSecondRow = 2;
        QVERIFY(f.publisher.publish());
        const std::optional<Board> board = readFragment(QString::fromUtf8(f.fragment()));
        QVERIFY(board);
        QCOMPARE(*board, f.publisher.board());
        QList<int> rows, shown;
        for (const BoardGame &game : board->games) {
            rows << game.rows;
            shown << int(game.entries.size());
        }
        QCOMPARE(rows, QList<int>({3, 3, 3, 2, 2, 2}));
        QCOMPARE(shown, QList<int>({3, 3, 1, 1, 2, 0}));
        QCOMPARE(board->games[0].entries.last().cell, QStringLiteral("P2"));
    }

    void fallbacksOfRowsAndWidth_data()
    {
        QTest::addColumn<int>("rows1");
        QTest::addColumn<int>("rows2");
        QTest::addColumn<int>("width");
        QTest::addColumn<QString>("widthText");
        QTest::newRow("zero") << 0 << 0 << 0 << "90%";
        QTest::newRow("below one") << -5 << -1 << -50 << "90%";
        QTest::newRow("pixels") << 0 << 0 << 640 << "640";
    }

    void fallbacksOfRowsAndWidth()
    {
        QFETCH(int, rows1);
        QFETCH(int, rows2);
        QFETCH(int, width);
        QFETCH(QString, widthText);
        QList<TestPlatform::Game> games;
        for (int i = 0; i < 6; ++i)
            games << TestPlatform::Game{QStringLiteral("G%1").arg(i), {}};
        Fixture f(games);
        f.settings.rowsInFirstRow = qint16(rows1);
        f.settings.rowsInSecondRow = qint16(rows2);
        f.settings.listWidth = qint16(width);
        QVERIFY(f.publisher.publish());
        const QStringList lines = f.lines();
        // The fallback stays in the settings, so the settings file receives it at exit.
        QCOMPARE(f.settings.rowsInFirstRow, 15);
        QCOMPARE(f.settings.rowsInSecondRow, 10);
        QCOMPARE(f.settings.listWidth, width);
        QCOMPARE(lines.count(QStringLiteral("<tr><td>&nbsp;</td></tr>")), 3 * 15 + 3 * 10);
        QVERIFY(lines[1].contains(QStringLiteral("<table border='0' width='%1' class='list'").arg(widthText)));
    }

    void displayFilesCopiedWhenMissing()
    {
        Fixture f;
        QTemporaryDir show;
        f.settings.displayFolder = show.path() + QLatin1Char('/');
        f.t.writeFile(QStringLiteral("tavlo-display.HTA"), "page");
        f.t.writeFile(QStringLiteral("TAVLO-Display.jpg"), "picture");
        QFile existing(show.filePath(QStringLiteral("Tavlo-Display.JPG")));
        QVERIFY(existing.open(QIODevice::WriteOnly));
        existing.write("mine");
        existing.close();

        QVERIFY(f.publisher.publish());
        QFile page(show.filePath(QStringLiteral("TAVLO-Display.hta")));
        QVERIFY(page.open(QIODevice::ReadOnly));
        QCOMPARE(page.readAll(), QByteArray("page"));
        // A picture already there under another letter case is left alone.
        QVERIFY(!QFileInfo::exists(show.filePath(QStringLiteral("TAVLO-Display.jpg"))));
        QVERIFY(QFileInfo::exists(show.filePath(QStringLiteral("TAVLO-Display.txt"))));
    }

    // A fragment that cannot be written is reported, and the previous one stays whole.
    void failedWriteKeepsThePreviousBoard()
    {
        Fixture f({{QStringLiteral("Poker"), {"Anna"}}});
        QVERIFY(f.publisher.publish());
        const QByteArray before = f.fragment();
        QSignalSpy failures(&f.publisher, &BoardPublisher::failed);

        f.settings.displayFolder = f.t.platform.programFolder + QStringLiteral("/gone/");
        QVERIFY(!f.publisher.publish());
        QCOMPARE(failures.size(), 1);
        QVERIFY(failures[0][0].toString().contains(QStringLiteral("gone/TAVLO-Display.txt")));

        QTemporaryDir show; // the fragment's name taken by a folder
        QDir(show.path()).mkdir(QStringLiteral("TAVLO-Display.txt"));
        f.settings.displayFolder = show.path() + QLatin1Char('/');
        QVERIFY(!f.publisher.publish());
        QCOMPARE(QDir(show.path()).entryList(QDir::Files), QStringList());

        FullFileSystem disk;
        if (!disk.isMounted())
            QSKIP("a full file system needs root");
        f.settings.displayFolder = disk.folder() + QLatin1Char('/');
        QVERIFY(f.publisher.publish());
        disk.fill();
        QVERIFY(f.room.addPlayer(f.room.games()[0].id, QStringLiteral("Ben")));
        QCOMPARE(failures.size(), 3);
        QFile fragment(disk.path(QStringLiteral("TAVLO-Display.txt")));
        QVERIFY(fragment.open(QIODevice::ReadOnly));
        QCOMPARE(fragment.readAll(), before);
    }

    // A failure midway through a renumbering leaves the previous order, in the file, in memory
    // and on the board.
    void failedCommandChangesNothing()
    {
        Fixture f({{QStringLiteral("Poker"), players(5)}});
        QVERIFY(f.publisher.publish());
        const QByteArray board = f.fragment();
        const QStringList before = f.stored();
        f.rows(QStringLiteral("create trigger fail before update of listbox_order on list_content "
                              "when new.listbox_order = 3 begin select raise(abort, 'injected failure'); end"));
        QSignalSpy failures(&f.room, &Room::storeFailed);
        QSignalSpy changes(&f.room, &Room::changed);
        const Game &poker = f.room.games()[0];
        QVERIFY(!f.room.movePlayerToTop(poker.id, poker.players.last().id));
        QCOMPARE(failures.size(), 1);
        QVERIFY(failures[0][0].toString().contains(QStringLiteral("injected failure")));
        QCOMPARE(changes.size(), 0);
        QCOMPARE(f.stored(), before);
        QCOMPARE(f.inMemory(), before);
        QCOMPARE(f.fragment(), board);
    }

    void namesLoseControlCharacters()
    {
        Fixture f({{QStringLiteral("Poker"), {}}});
        const qint64 poker = f.room.games()[0].id;
        QVERIFY(f.room.addPlayer(poker, QStringLiteral("Eve\r\n<tr><td>FAKE\t")));
        QVERIFY(f.room.renameGame(poker, QStringLiteral("Hold\u0000'em\n")));
        QCOMPARE(f.stored(), QStringList{"Hold'em:Eve<tr><td>FAKE"});
        QCOMPARE(f.inMemory(), f.stored());
    }

    // A long seeded run of every command, checked after each one against a plain list kept
    // here: the room in memory, the database and the board all agree with it.
    void randomCommandsAgreeWithAReference()
    {
        Fixture f;
        f.settings.rowsInFirstRow = 4;
        f.settings.rowsInSecondRow = 3;
        struct RefGame {
            QString name;
            QStringList players;
        };
        QList<RefGame> reference;
        QRandomGenerator random(1206);
        int name = 0;
        for (int step = 0; step < 1000; ++step) {
            const int g = reference.isEmpty() ? -1 : int(random.bounded(int(reference.size())));
            const qint64 gameId = g < 0 ? 0 : f.room.games()[g].id;
            const int count = g < 0 ? 0 : int(reference[g].players.size());
            const int p = count == 0 ? -1 : int(random.bounded(count));
            const qint64 playerId = p < 0 ? 0 : f.room.games()[g].players[p].id;
            const QString fresh = QStringLiteral("N%1").arg(++name);
            switch (g < 0 ? 0 : random.bounded(12)) {
            case 0:
                if (reference.size() < 12) {
                    QVERIFY(f.room.addGame(fresh));
                    reference.append({fresh, {}});
                }
                break;
            case 1:
                QVERIFY(f.room.renameGame(gameId, fresh));
                reference[g].name = fresh;
                break;
            case 2:
                if (random.bounded(3) == 0) {
                    QVERIFY(f.room.deleteGame(gameId));
                    reference.removeAt(g);
                }
                break;
            case 3: {
                const int offset = random.bounded(2) ? 1 : -1;
                QVERIFY(f.room.moveGame(gameId, offset));
                if (g + offset >= 0 && g + offset < reference.size())
                    reference.swapItemsAt(g, g + offset);
                break;
            }
            case 4:
            case 5:
            case 6: {
                const QString stored = writeMarkers(fresh, {random.bounded(2) == 0, random.bounded(2) == 0, false});
                QVERIFY(f.room.addPlayer(gameId, stored));
                reference[g].players.append(stored);
                break;
            }
            case 7:
                if (p >= 0) {
                    QVERIFY(f.room.updatePlayer(gameId, playerId, fresh + StarTag));
                    reference[g].players[p] = fresh + StarTag;
                }
                break;
            case 8:
                if (p >= 0) {
                    QVERIFY(f.room.deletePlayer(gameId, playerId));
                    reference[g].players.removeAt(p);
                }
                break;
            case 9:
                if (random.bounded(6) == 0) {
                    QVERIFY(f.room.deleteAllPlayers(gameId));
                    reference[g].players.clear();
                }
                break;
            case 10:
                if (p >= 0) {
                    const int offset = random.bounded(2) ? 1 : -1;
                    QVERIFY(f.room.movePlayer(gameId, playerId, offset));
                    if (p + offset >= 0 && p + offset < count)
                        reference[g].players.swapItemsAt(p, p + offset);
                }
                break;
            case 11:
                if (p >= 0) {
                    QVERIFY(f.room.movePlayerToTop(gameId, playerId));
                    reference[g].players.move(p, 0);
                }
                break;
            }
            QStringList expected;
            Board board;
            for (const RefGame &game : std::as_const(reference)) {
                expected << game.name + QLatin1Char(':') + game.players.join(QLatin1Char(','));
                board.games.append({game.name, 0, {}});
            }
            for (qsizetype i = 0; i < board.games.size(); ++i) {
                board.games[i].rows = i < board.gamesInFirstRow() ? 4 : 3;
                for (const QString &player : reference[i].players.mid(0, board.games[i].rows))
                    board.games[i].entries.append(boardEntryOf(player));
            }
            QCOMPARE(f.inMemory(), expected);
            if (step % 25 == 0 || step > 990) { // the database is read through a connection of its own
                QCOMPARE(f.stored(), expected);
                QVERIFY(f.positionsAreWhole());
            }
            if (step > 0)
                QCOMPARE(f.fragment(), encodeSystemText(renderFragment(board)));
        }
    }
};

QTEST_GUILESS_MAIN(TestRoom)
#include "tst_room.moc"
