#include "FullFileSystem.h"
#include "RandomCommands.h"
#include "TestPlatform.h"

#include "base/Settings.h"
#include "base/TextFile.h"
#include "board/BoardFile.h"
#include "board/Fragment.h"
#include "board/PlayerMarkers.h"
#include "room/BoardPublisher.h"
#include "room/JournalCsv.h"
#include "room/JournalDetails.h"
#include "room/Room.h"
#include "room/WaitEstimates.h"
#include "store/WaitingListStore.h"

#include <QJsonDocument>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>

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

// A room over a real database in a temporary program folder, publishing into that folder on
// the test's clock.
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

    // The files once every change so far is published.
    QByteArray fragment()
    {
        publisher.settle();
        return t.readFile(QStringLiteral("TAVLO-Display.txt"));
    }
    BoardFileContent boardFile()
    {
        publisher.settle();
        return readBoardFile(t.readFile(BoardFileName));
    }
    QStringList lines()
    {
        QStringList out = QString::fromUtf8(fragment()).split(QStringLiteral("\r\n"));
        out.removeLast();
        return out;
    }
    QStringList rows(const QString &sql) const { return TestPlatform::rows(store.databasePath(), sql); }
    // Every row of the games and players, every column.
    QStringList allRows() const
    {
        return rows(QStringLiteral("select * from lists order by id")) + rows(QStringLiteral("select * from list_content order by id"));
    }
    // Every game with its players, in order, as the database holds them.
    QStringList stored() const
    {
        QStringList out;
        for (const QString &game : rows(QStringLiteral("select id, list_name || case when interest is null then '' else '?' end "
                                                       "from lists order by listbox_order"))) {
            const QString id = game.section(QLatin1Char('|'), 0, 0);
            out << game.section(QLatin1Char('|'), 1) + QLatin1Char(':')
                           + rows(QStringLiteral("select player_name || case when called_at is null then '' else '!' end "
                                                 "|| case when away_since is null then '' else '~' end "
                                                 "from list_content where list_id = %1 order by listbox_order")
                                      .arg(id))
                                 .join(QLatin1Char(','));
        }
        return out;
    }
    QStringList inMemory() const { return contentsOf(room); }
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

// Two games with players, for the commands make() runs.
QList<TestPlatform::Game> undoRoom()
{
    return {{QStringLiteral("1/2 NL"), {"Alice", "Bob<blink>"}}, {QStringLiteral("Omaha"), {"Cy"}}};
}

bool make(Fixture &f, int command)
{
    const qint64 game = f.room.games()[0].id;
    const qint64 alice = f.room.games()[0].players[0].id;
    const qint64 bob = f.room.games()[0].players[1].id;
    switch (command) {
    case 0: return bool(f.room.addPlayer(game, QStringLiteral("Fay")));
    case 1: return f.room.deletePlayer(game, alice);
    case 2: return f.room.updatePlayer(game, alice, QStringLiteral("Alice<star>"));
    case 3: return f.room.updatePlayer(game, bob, QStringLiteral("Bob"));
    case 4: return f.room.updatePlayer(game, alice, QStringLiteral("Alicia"));
    case 5: return f.room.movePlayerToTop(game, bob);
    case 6: return f.room.deleteAllPlayers(game);
    case 7: return f.room.renameGame(game, QStringLiteral("2/5 PLO"));
    case 8: return f.room.deleteGame(game);
    case 9: return bool(f.room.addGame(QStringLiteral("Stud")));
    case 10: return f.room.moveGame(game, 1);
    case 11: return f.room.movePlayer(game, alice, 1);
    case 12: return f.room.callPlayer(game, alice);
    case 13: return f.room.seatPlayer(game, bob);
    case 14: return f.room.noShow(game, alice);
    case 16: return f.room.setInterest(game, true);
    default: return f.room.setAway(game, alice, true);
    }
}

struct FallbackRow { int rows1, rows2, width; QString widthText; };

struct JournalRow { int command; QString damage; bool redo; };

} // namespace

// What each change says it did to its list, as it lands, is what its journal row says.
struct EffectsAgree {
    int recorded = 0;
    int disagreements = 0;
    QObject listening; // gone with this, and the connection with it
    explicit EffectsAgree(Room &room)
    {
        QObject::connect(&room, &Room::changeRecorded, &listening, [this](const JournalRecord &entry, const ListEffect &effect) {
            ++recorded;
            disagreements += effect == Command::effectOf(entry) ? 0 : 1;
        });
    }
};

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
        QTest::addColumn<FallbackRow>("row");
        QTest::newRow("zero") << FallbackRow{0, 0, 0, "90%"};
        QTest::newRow("below one") << FallbackRow{-5, -1, -50, "90%"};
        QTest::newRow("pixels") << FallbackRow{0, 0, 640, "640"};
    }

    void fallbacksOfRowsAndWidth()
    {
        QFETCH(FallbackRow, row);
        const auto &[rows1, rows2, width, widthText] = row;
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
        QVERIFY(!f.publisher.settle());
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
        RandomCommands commands(f.room, 1206);
        RoomMirror mirror(f.room);
        EffectsAgree effects(f.room);
        for (int step = 0; step < 1000; ++step) {
            QVERIFY(commands.step());
            QCOMPARE(f.inMemory(), commands.expected());
            QVERIFY(mirror.agrees());
            if (step % 25 == 0 || step > 990) { // the database is read through a connection of its own
                QCOMPARE(f.stored(), commands.expected());
                QVERIFY(f.positionsAreWhole());
            }
            // Every third change is published together with the next: the files follow either way.
            if (f.room.games().size() > 0 && step % 3 != 0) {
                QCOMPARE(f.fragment(), encodeSystemText(renderFragment(commands.expectedBoard(4, 3))));
                QCOMPARE(f.t.readFile(BoardFileName), encodeBoardFile(f.publisher.snapshot()));
            }
        }
        QVERIFY(effects.recorded > 500);
        QCOMPARE(effects.disagreements, 0);
    }

    // Undoing every change of a long run gives back the rows and the board as they were before
    // it, byte for byte; redoing them all gives back the end of the run.
    void undoAndRedoEverything()
    {
        Fixture f({{QStringLiteral("Poker"), {"Anna<star>", "Ben"}}, {QStringLiteral("Omaha"), {"Cy<blink>"}}});
        QVERIFY(f.publisher.publish());
        const QStringList rowsBefore = f.allRows();
        const QByteArray boardBefore = f.fragment();
        RandomCommands commands(f.room, 20261206);
        QSignalSpy recorded(&f.room, &Room::historyChanged);
        for (int step = 0; step < 500; ++step) {
            f.t.clock.advance(61000);
            QVERIFY(commands.step());
        }
        const QStringList rowsAfter = f.allRows();
        const QByteArray boardAfter = f.fragment();
        QVERIFY(rowsAfter != rowsBefore);
        const qsizetype changes = recorded.size();

        int undone = 0;
        RoomMirror mirror(f.room);
        EffectsAgree effects(f.room);
        while (f.room.canUndo()) {
            QVERIFY(f.room.undo());
            QVERIFY(mirror.agrees());
            ++undone;
        }
        // Every command that changed something is in the history, and nothing else.
        QCOMPARE(undone, changes);
        QVERIFY(undone > 250);
        QCOMPARE(f.allRows(), rowsBefore);
        QCOMPARE(f.fragment(), boardBefore);
        QVERIFY(f.positionsAreWhole());
        while (f.room.canRedo()) {
            QVERIFY(f.room.redo());
            QVERIFY(mirror.agrees());
        }
        QCOMPARE(f.allRows(), rowsAfter);
        QCOMPARE(f.fragment(), boardAfter);
        QCOMPARE(f.inMemory(), commands.expected());
        QCOMPARE(effects.recorded, 2 * undone);
        QCOMPARE(effects.disagreements, 0);
    }

    void whatUndoSays_data()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<QString>("undo");
        QTest::newRow("add player") << 0 << "Undo add of Fay to 1/2 NL";
        QTest::newRow("delete player") << 1 << "Undo delete of Alice from 1/2 NL";
        QTest::newRow("star") << 2 << "Undo star on for Alice in 1/2 NL";
        QTest::newRow("blink off") << 3 << "Undo blink off for Bob in 1/2 NL";
        QTest::newRow("edit") << 4 << "Undo edit of Alicia in 1/2 NL";
        QTest::newRow("top") << 5 << "Undo move of Bob to the top of 1/2 NL";
        QTest::newRow("delete all") << 6 << "Undo delete of all players from 1/2 NL";
        QTest::newRow("rename game") << 7 << "Undo rename of game 1/2 NL to 2/5 PLO";
        QTest::newRow("delete game") << 8 << "Undo delete of game 1/2 NL";
        QTest::newRow("call") << 12 << "Undo call of Alice in 1/2 NL";
        QTest::newRow("seat") << 13 << "Undo seat of Bob from 1/2 NL";
        QTest::newRow("no-show") << 14 << "Undo no-show of Alice in 1/2 NL";
        QTest::newRow("away") << 15 << "Undo Alice away from 1/2 NL";
        QTest::newRow("interest") << 16 << "Undo interest list of 1/2 NL";
    }

    void whatUndoSays()
    {
        QFETCH(int, command);
        QFETCH(QString, undo);
        Fixture f(undoRoom());
        const QStringList before = f.allRows();
        QSignalSpy history(&f.room, &Room::historyChanged);
        QVERIFY(make(f, command));
        QCOMPARE(history.size(), 1);
        QCOMPARE(f.room.undoText(), undo);
        QVERIFY(f.room.undo());
        QCOMPARE(f.room.redoText(), QStringLiteral("Redo") + undo.mid(4));
        QCOMPARE(f.allRows(), before);
    }

    // A move's details, written by hand, are the bytes Qt's JSON would write, and read back.
    void moveDetailsAreQtsJson()
    {
        QRandomGenerator random(7);
        QList<std::pair<int, int>> moves{{0, 0}, {-1, 1}, {std::numeric_limits<int>::min(), std::numeric_limits<int>::max()},
                                         {std::numeric_limits<int>::min() / 2, 129}};
        for (int i = 0; i < 200; ++i)
            moves.append({int(random.generate()), int(random.bounded(300))});
        for (const auto &[from, to] : moves) {
            const QByteArray written = JournalDetails::writeMove(from, to);
            const QJsonObject object{{QStringLiteral("from"), from}, {QStringLiteral("to"), to}};
            QCOMPARE(written, QJsonDocument(object).toJson(QJsonDocument::Compact));
            JournalDetails read(written);
            QVERIFY(read.isWhole());
            QCOMPARE(read.object(), object);
        }
    }

    // A placed player's details, written by hand for plain names, are the bytes Qt's JSON would
    // write, whatever the player holds.
    void placedDetailsAreQtsJson()
    {
        QRandomGenerator random(1208);
        const QString characters = QStringLiteral("abcXYZ 09<>\"\\/'{}:,\t\u00e9\u2605\u007f");
        const auto someTime = [&random]() {
            return random.bounded(4) == 0 ? QDateTime()
                                          : QDateTime::fromMSecsSinceEpoch(qint64(random.bounded(1.0) * 4e12), Qt::UTC);
        };
        for (int i = 0; i < 2000; ++i) {
            PlacedPlayer placed;
            placed.player.id = random.bounded(3) == 0 ? qint64(random.generate64() >> 2) : random.bounded(1, 5000);
            for (int length = random.bounded(12); length > 0; --length)
                placed.player.name += characters[random.bounded(int(characters.size()))];
            placed.player.addedAt = someTime();
            if (random.bounded(3) == 0) {
                placed.player.state.calledAt = QDateTime::fromMSecsSinceEpoch(qint64(random.bounded(1.0) * 4e12), Qt::UTC);
                placed.player.state.callSeconds = random.bounded(86401);
            }
            if (random.bounded(3) == 0)
                placed.player.state.awaySince = QDateTime::fromMSecsSinceEpoch(qint64(random.bounded(1.0) * 4e12), Qt::UTC);
            placed.player.personId = random.bounded(2) ? 0 : random.bounded(1, 100000);
            placed.position = random.bounded(-1, 300);
            QCOMPARE(JournalDetails::writeText(placed), QJsonDocument(JournalDetails::write(placed)).toJson(QJsonDocument::Compact));
        }
    }

    // A journal row that cannot be read whole, or names rows that are not there, is never
    // applied: its undo or redo is refused, the lists stay as they are, and it leaves the history.
    void damagedJournalRowsAreRefused_data()
    {
        QTest::addColumn<JournalRow>("row");
        const char *const kinds[] = {"add player", "delete player", "star", "blink off", "edit", "top", "delete all",
                                     "rename game", "delete game", "add game", "move game", "move player",
                                     "call", "seat", "no-show", "away", "interest"};
        for (int c = 0; c < 17; ++c) {
            for (const bool redo : {false, true}) {
                QStringList damages{"details = 'not json'", "details = '{}'", "command = 'swap seats'"};
                // A game brought back under another id is nothing the row can show.
                if (c != (redo ? 9 : 8))
                    damages << "game_id = 999";
                if (c < 6 || (c >= 11 && c < 16))
                    damages << "player_id = 999";
                for (const QString &damage : damages)
                    QTest::addRow("%s %s, %s", redo ? "redo" : "undo", kinds[c], qPrintable(damage)) << JournalRow{c, damage, redo};
            }
        }
        QTest::newRow("undo delete player, id not the row's") << JournalRow{1, "details = json_set(details, '$.id', 999)", false};
        QTest::newRow("undo delete player, name a number") << JournalRow{1, "details = json_set(details, '$.name', 5)", false};
        QTest::newRow("undo delete game, players no list") << JournalRow{8, "details = json_set(details, '$.players', 'all')", false};
        QTest::newRow("undo delete all, a player twice")
            << JournalRow{6, "details = json_set(details, '$.players[1].id', json_extract(details, '$.players[0].id'))", false};
        QTest::newRow("undo delete all, a player's id taken")
            << JournalRow{6, "details = json_set(details, '$.players[1].id', (select min(id) from list_content))", false};
        QTest::newRow("redo move player, to a fraction") << JournalRow{11, "details = json_set(details, '$.to', 0.5)", true};
        QTest::newRow("undo rename game, no name before") << JournalRow{7, "details = json_remove(details, '$.before')", false};
    }

    void damagedJournalRowsAreRefused()
    {
        QFETCH(JournalRow, row);
        const auto &[command, damage, redo] = row;
        Fixture f(undoRoom());
        QVERIFY(make(f, command));
        if (redo)
            QVERIFY(f.room.undo());
        f.rows(QStringLiteral("update journal set %1 where id = (select max(id) from journal)").arg(damage));
        QVERIFY(f.room.load());
        if (damage.startsWith(QLatin1String("command")))
            QCOMPARE(redo ? f.room.redoText() : f.room.undoText(), QString::fromLatin1(redo ? "Redo" : "Undo") + " change \"swap seats\"");
        const QStringList rows = f.allRows(), shown = f.inMemory();
        QSignalSpy refused(&f.room, &Room::commandRefused);
        QSignalSpy failed(&f.room, &Room::storeFailed), changed(&f.room, &Room::changed);
        QVERIFY(!(redo ? f.room.redo() : f.room.undo()));
        QCOMPARE(refused.size(), 1);
        QCOMPARE(failed.size() + changed.size(), 0);
        QCOMPARE(f.allRows(), rows);
        QCOMPARE(f.inMemory(), shown);
        QVERIFY(!f.room.canUndo() && !f.room.canRedo());
    }

    // The history is in the database: another run undoes what this one did, and a new change
    // ends what could be redone. It keeps the last changes only, and forgetting it leaves the
    // lists alone.
    void historyAcrossRunsAndItsBounds()
    {
        Fixture f({{QStringLiteral("Poker"), {"Anna"}}});
        const qint64 game = f.room.games()[0].id;
        QVERIFY(f.room.addPlayer(game, QStringLiteral("Ben")));
        QVERIFY(f.room.addPlayer(game, QStringLiteral("Cy")));
        QVERIFY(f.room.undo());
        {
            WaitingListStore store(f.store.databasePath());
            Room again(store, f.t.clock);
            QVERIFY(again.load());
            QCOMPARE(again.undoText(), QStringLiteral("Undo add of Ben to Poker"));
            QCOMPARE(again.redoText(), QStringLiteral("Redo add of Cy to Poker"));
            QVERIFY(again.undo());
            QVERIFY(again.addPlayer(game, QStringLiteral("Dee")));
            QVERIFY(!again.canRedo());
        }
        Fixture g({{QStringLiteral("Poker"), {}}});
        g.room.setHistoryLimit(3);
        for (int i = 0; i < 5; ++i)
            QVERIFY(g.room.addPlayer(g.room.games()[0].id, QStringLiteral("P%1").arg(i)));
        // The next run finds no more than the limit either.
        QCOMPARE(g.rows(QStringLiteral("select count(*) from journal where undoable = 1")), QStringList{"3"});
        int undone = 0;
        while (g.room.undo())
            ++undone;
        QCOMPARE(undone, 3);
        QCOMPARE(g.inMemory(), QStringList{"Poker:P0,P1"});
        QVERIFY(g.room.clearHistory());
        QVERIFY(!g.room.canUndo() && !g.room.canRedo());
        QCOMPARE(g.stored(), QStringList{"Poker:P0,P1"});
        QCOMPARE(g.rows(QStringLiteral("select count(*) from journal")), QStringList{"5"});
    }

    // A player's time on the list is kept through moves, edits and markers, and comes back with
    // an undone delete.
    void timeOnTheList()
    {
        Fixture f({{QStringLiteral("Poker"), {"Old"}}});
        const qint64 game = f.room.games()[0].id;
        QVERIFY(!f.room.games()[0].players[0].addedAt.isValid()); // from before the time was kept
        const QDateTime joined = f.t.clock.now();
        const qint64 ann = *f.room.addPlayer(game, QStringLiteral("Ann"));
        f.t.clock.advance(3600 * 1000);
        QVERIFY(f.room.movePlayerToTop(game, ann));
        QVERIFY(f.room.updatePlayer(game, ann, QStringLiteral("Ann<star>")));
        QVERIFY(f.room.deletePlayer(game, ann));
        QVERIFY(f.room.undo());
        QCOMPARE(f.room.games()[0].players[0].addedAt, joined);
        QCOMPARE(f.rows(QStringLiteral("select added_at from list_content where id = %1").arg(ann)),
                 QStringList{joined.toString(Qt::ISODateWithMs)});
    }

    // A call's countdown runs out on the clock, not before: the player goes to the end of the
    // list (or off it, as the rules say) as a no-show; a cancelled call or a seat never runs out;
    // an undo brings back the player exactly where and as it stood, call and all.
    void callsRunOutOnTheClock()
    {
        Fixture f({{QStringLiteral("Poker"), {"Ann", "Ben", "Cy", "Dee"}}});
        const qint64 game = f.room.games()[0].id;
        const auto id = [&](int i) { return f.room.games()[0].players[i].id; };
        const qint64 ann = id(0), ben = id(1), cy = id(2), dee = id(3);
        const QDateTime called = f.t.clock.now();
        QVERIFY(f.room.callPlayer(game, ben));
        QVERIFY(f.room.setAway(game, ann, true));
        QVERIFY(f.room.callPlayer(game, ann)); // away players can be called
        QVERIFY(f.room.callPlayer(game, cy) && f.room.cancelCall(game, cy));
        QCOMPARE(f.inMemory(), QStringList{"Poker:Ann!~,Ben!,Cy,Dee"});
        QCOMPARE(f.rows(QStringLiteral("select called_at, call_seconds from list_content where id = %1").arg(ben)),
                 QStringList{called.toString(Qt::ISODateWithMs) + "|300"});
        const QStringList calledRows = f.allRows();
        f.t.clock.advance(299'999);
        QCOMPARE(f.room.expireCalls(), 0);
        f.t.clock.advance(1);
        QCOMPARE(f.room.expireCalls(), 2);
        QCOMPARE(f.inMemory(), QStringList{"Poker:Cy,Dee,Ann~,Ben"}); // in their order still
        QCOMPARE(f.stored(), f.inMemory());
        QCOMPARE(f.room.undoText(), QStringLiteral("Undo no-show of Ben in Poker"));
        QVERIFY(f.room.undo() && f.room.undo());
        QCOMPARE(f.allRows(), calledRows);
        QCOMPARE(f.room.expireCalls(), 2); // their calls still stand, and still ran out
        QVERIFY(f.room.undo() && f.room.undo());

        // Off the list, by the rules; a seat takes a called player before the countdown ends.
        f.room.setCallRules(60, true);
        QVERIFY(f.room.cancelCall(game, ann));
        QVERIFY(f.room.callPlayer(game, dee));
        QVERIFY(f.room.seatPlayer(game, ben));
        f.t.clock.advance(60'000);
        QCOMPARE(f.room.expireCalls(), 1);
        QCOMPARE(f.inMemory(), QStringList{"Poker:Ann~,Cy"});
        QCOMPARE(f.rows(QStringLiteral("select command from journal order by id desc limit 2")), QStringList({"no-show", "seat"}));
        QVERIFY(f.room.undo() && f.room.undo());
        QCOMPARE(f.inMemory(), QStringList{"Poker:Ann~,Ben!,Cy,Dee!"});
        QCOMPARE(f.room.games()[0].players[3].state.calledAt, f.t.clock.now().addSecs(-60));
        QVERIFY(f.positionsAreWhole());
    }

    // One person signed up for three games: a seat in one takes the other two entries in the
    // same change (unless kept), and its undo brings all three back exactly, call and all.
    void onePersonOnSeveralLists()
    {
        Fixture f({{QStringLiteral("Hold'em"), {"Al"}}, {QStringLiteral("Omaha"), {}}, {QStringLiteral("Stud"), {"Bo", "Cy"}}});
        QList<qint64> games;
        for (const Game &game : f.room.games())
            games << game.id;
        const qint64 ann = *f.room.addPlayerToGames(games, QStringLiteral("Ann<star>"));
        QCOMPARE(f.inMemory(), QStringList({"Hold'em:Al,Ann<star>", "Omaha:Ann<star>", "Stud:Bo,Cy,Ann<star>"}));
        QCOMPARE(f.stored(), f.inMemory());
        const QList<std::pair<qint64, qint64>> others = f.room.otherEntries(games[0], ann);
        QCOMPARE(others.size(), 2);
        QCOMPARE(f.room.otherEntries(games[2], others[1].second).size(), 2);
        QVERIFY(f.room.callPlayer(games[2], others[1].second));
        const QStringList before = f.allRows();
        QSignalSpy recorded(&f.room, &Room::changeRecorded);
        f.t.clock.advance(61'000);
        QVERIFY(f.room.seatPlayer(games[1], others[0].second));
        QCOMPARE(JournalCsv::whatHappened(recorded.last().first().value<JournalRecord>()),
                 QStringLiteral("seated from place 1 after 1:01, off 2 other lists"));
        QCOMPARE(f.inMemory(), QStringList({"Hold'em:Al", "Omaha:", "Stud:Bo,Cy"}));
        QCOMPARE(f.stored(), f.inMemory());
        QVERIFY(f.room.undo());
        QCOMPARE(f.allRows(), before);
        QCOMPARE(f.inMemory(), QStringList({"Hold'em:Al,Ann<star>", "Omaha:Ann<star>", "Stud:Bo,Cy,Ann<star>!"}));
        QVERIFY(f.room.redo() && f.room.undo());
        QVERIFY(f.room.seatPlayer(games[1], others[0].second, true));
        QCOMPARE(f.inMemory(), QStringList({"Hold'em:Al,Ann<star>", "Omaha:", "Stud:Bo,Cy,Ann<star>!"}));
        QVERIFY(f.room.undo() && f.room.undo() && f.room.undo()); // the seat, the call, the add
        QCOMPARE(f.inMemory(), QStringList({"Hold'em:Al", "Omaha:", "Stud:Bo,Cy"}));
        QVERIFY(f.room.redo());
        QCOMPARE(f.room.otherEntries(games[0], ann).size(), 2);
        QVERIFY(f.positionsAreWhole());
    }

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

    // The heartbeat writes only its own small file, with the time of now; the board keeps the
    // time of the last change.
    void heartbeatKeepsTheLastChange()
    {
        Fixture f({{QStringLiteral("Poker"), {"Anna"}}});
        QVERIFY(!f.publisher.isHeartbeatRunning());
        QVERIFY(f.publisher.publish());
        QVERIFY(f.publisher.isHeartbeatRunning());
        const QDateTime changed = f.t.clock.now();
        const QByteArray board = f.t.readFile(BoardFileName);
        for (int beat = 1; beat <= 3; ++beat) {
            f.t.clock.advance(10 * 1000);
            QVERIFY(f.publisher.writeHeartbeat());
            QCOMPARE(readHeartbeat(f.t.readFile(HeartbeatFileName)), changed.addSecs(10 * beat));
            QVERIFY(f.t.readFile(HeartbeatFileName).size() < 100);
        }
        QCOMPARE(f.t.readFile(BoardFileName), board);
        f.t.clock.advance(1000);
        QVERIFY(f.room.renameGame(f.room.games()[0].id, QStringLiteral("Omaha")));
        QCOMPARE(f.boardFile().board.changedAt, changed.addSecs(31));
        QCOMPARE(f.boardFile().board.games[0].name, QStringLiteral("Omaha"));
    }

    // Changes faster than the board is written: a burst of ten, each its own event, leads to at
    // most two publications, in order, the last showing the room as the burst left it.
    void burstIsPublishedAtMostTwice()
    {
        Fixture f({{QStringLiteral("Poker"), players(3)}});
        QVERIFY(f.publisher.publish());
        QList<qsizetype> counts; // the players each publication shows
        connect(&f.publisher, &BoardPublisher::published,
                [&] { counts << readBoardFile(f.t.readFile(BoardFileName)).board.games.value(0).players.size(); });
        for (int i = 0; i < 10; ++i) {
            QVERIFY(f.room.addPlayer(f.room.games()[0].id, QStringLiteral("B%1").arg(i)));
            QCoreApplication::processEvents();
        }
        QTRY_VERIFY(!f.publisher.isPublishing());
        QVERIFY2(!counts.isEmpty() && counts.size() <= 2, qPrintable(QString::number(counts.size())));
        QVERIFY(std::is_sorted(counts.cbegin(), counts.cend()) && counts.last() == 13);
        QCOMPARE(f.fragment(), encodeSystemText(renderFragment(f.publisher.board())));
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
        f.t.clock.advance(1000);
        QTRY_COMPARE_WITH_TIMEOUT(beats.size(), 1, 3000);
        QCOMPARE(readHeartbeat(f.t.readFile(HeartbeatFileName)), f.t.clock.now());
        QCOMPARE(f.boardFile().board.heartbeatSeconds, 1);
    }

    // A board file that cannot be written after a change is reported as the fragment's is
    // (once the publication is over), and the heartbeat stops, so that the screens see the board go stale. A heartbeat that
    // cannot be written is only said, and tried again.
    void failuresToWriteTheBoardFile()
    {
        Fixture f({{QStringLiteral("Poker"), {"Anna"}}});
        QSignalSpy failures(&f.publisher, &BoardPublisher::failed);
        QSignalSpy beatFailures(&f.publisher, &BoardPublisher::heartbeatFailed);
        QVERIFY(f.publisher.publish());

        QTemporaryDir show; // the names taken by folders
        QVERIFY(QDir(show.path()).mkdir(BoardFileName) && QDir(show.path()).mkdir(HeartbeatFileName));
        f.settings.displayFolder = show.path() + QLatin1Char('/');
        QVERIFY(!f.publisher.writeHeartbeat());
        QCOMPARE(beatFailures.size(), 1);
        QCOMPARE(failures.size(), 0);

        QVERIFY(f.room.addPlayer(f.room.games()[0].id, QStringLiteral("Ben"))); // it has landed; its board has not
        QVERIFY(!f.publisher.settle());
        QCOMPARE(failures.size(), 1);
        QVERIFY(failures[0][0].toString().contains(show.path() + QLatin1Char('/') + BoardFileName));
        QVERIFY(!f.publisher.isHeartbeatRunning());
        QVERIFY(QFileInfo::exists(show.filePath(QStringLiteral("TAVLO-Display.txt"))));
    }
};

QTEST_GUILESS_MAIN(TestRoom)
#include "tst_room.moc"
