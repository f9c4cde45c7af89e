#include "ConsoleFixture.h"

#include "console/PlayerEntryDelegate.h"
#include "console/PlayerListModel.h"

#include <QAction>
#include <QLineEdit>
#include <QTest>

using namespace tavlo;
using namespace tavlo::test;

namespace {

QList<TestPlatform::Game> room()
{
    return {{QStringLiteral("Poker"), {"Anna", "Ben<star>", "Cid"}}, {QStringLiteral("Omaha"), {"Olga"}}};
}

} // namespace

class TestKeyboard : public QObject {
    Q_OBJECT
private slots:
    // Adding a player to the selected game takes three steps: Insert, the name, Enter.
    void addingAPlayerTakesThreeKeys()
    {
        ConsoleFixture c(room());
        PlayersPanel &p = c.playersPanel();
        p.playerList()->setFocus();
        QTest::keyClick(p.playerList(), Qt::Key_Insert);
        QVERIFY(p.nameEdit()->hasFocus());
        QTest::keyClicks(p.nameEdit(), QStringLiteral("Dee"));
        QTest::keyClick(p.nameEdit(), Qt::Key_Return);
        QCOMPARE(c.playersOf(QStringLiteral("Poker")).last(), QStringLiteral("Dee|3"));
        QCOMPARE(p.selectedRow(), 3);

        // The same in the games panel adds a game.
        c.gamesPanel().gameList()->setFocus();
        QTest::keyClick(c.gamesPanel().gameList(), Qt::Key_Insert);
        QTest::keyClicks(c.gamesPanel().nameEdit(), QStringLiteral("Stud"));
        QTest::keyClick(c.gamesPanel().nameEdit(), Qt::Key_Return);
        QCOMPARE(c.games().last(), QStringLiteral("Stud|2"));
    }

    void keysOfTheCommands_data()
    {
        QTest::addColumn<bool>("inGames");
        QTest::addColumn<int>("row");
        QTest::addColumn<QKeySequence>("key");
        QTest::addColumn<QStringList>("games");
        QTest::addColumn<QStringList>("poker");
        const QStringList games{"Poker|0", "Omaha|1"};
        const QStringList poker{"Anna|0", "Ben<star>|1", "Cid|2"};
        QTest::newRow("Ctrl+Down moves a game") << true << 0 << QKeySequence(Qt::CTRL | Qt::Key_Down)
                                                << QStringList{"Omaha|0", "Poker|1"} << poker;
        QTest::newRow("Delete deletes a game, after the question") << true << 1 << QKeySequence(Qt::Key_Delete)
                                                                   << QStringList{"Poker|0"} << poker;
        QTest::newRow("Ctrl+Up moves a player") << false << 2 << QKeySequence(Qt::CTRL | Qt::Key_Up) << games
                                                << QStringList{"Anna|0", "Cid|1", "Ben<star>|2"};
        QTest::newRow("Ctrl+Home moves a player to the top") << false << 2 << QKeySequence(Qt::CTRL | Qt::Key_Home) << games
                                                             << QStringList{"Cid|0", "Anna|1", "Ben<star>|2"};
        QTest::newRow("Delete deletes a player") << false << 0 << QKeySequence(Qt::Key_Delete) << games
                                                 << QStringList{"Ben<star>|0", "Cid|1"};
        QTest::newRow("Alt+B blinks") << false << 0 << QKeySequence(Qt::ALT | Qt::Key_B) << games
                                      << QStringList{"Anna<blink>|0", "Ben<star>|1", "Cid|2"};
        QTest::newRow("Alt+S stars") << false << 1 << QKeySequence(Qt::ALT | Qt::Key_S) << games
                                     << QStringList{"Anna|0", "Ben|1", "Cid|2"};
        QTest::newRow("Alt+P phones") << false << 2 << QKeySequence(Qt::ALT | Qt::Key_P) << games
                                      << QStringList{"Anna|0", "Ben<star>|1", "Cid<phone>|2"};
        QTest::newRow("Ctrl+Up on the first does nothing") << false << 0 << QKeySequence(Qt::CTRL | Qt::Key_Up) << games << poker;
    }

    void keysOfTheCommands()
    {
        QFETCH(bool, inGames);
        QFETCH(int, row);
        QFETCH(QKeySequence, key);
        QFETCH(QStringList, games);
        QFETCH(QStringList, poker);
        ConsoleFixture c(room());
        QListView *list = inGames ? c.gamesPanel().gameList() : c.playersPanel().playerList();
        ConsoleFixture::clickRow(list, row);
        list->setFocus();
        QTest::keySequence(list, key);
        QCOMPARE(c.games(), games);
        QCOMPARE(c.playersOf(QStringLiteral("Poker")), poker);
        // Only deleting a game asks first, as its button does.
        QCOMPARE(c.t.messages.shown.size(), games.size() < 2 ? 1 : 0);
    }

    // F2 opens the name box, Escape goes back: to the stored name after an edit, to the
    // selection before an add.
    void editAndCancel()
    {
        ConsoleFixture c(room());
        PlayersPanel &p = c.playersPanel();
        ConsoleFixture::clickRow(p.playerList(), 1);
        p.playerList()->setFocus();
        QTest::keyClick(p.playerList(), Qt::Key_F2);
        QVERIFY(p.nameEdit()->hasFocus());
        QCOMPARE(p.nameEdit()->selectedText(), QStringLiteral("Ben"));
        QTest::keyClicks(p.nameEdit(), QStringLiteral("Benny"));
        QTest::keyClick(p.nameEdit(), Qt::Key_Escape);
        QCOMPARE(p.nameEdit()->text(), QStringLiteral("Ben"));
        QVERIFY(p.pendingMarkers().star);

        QTest::keyClick(p.playerList(), Qt::Key_Insert);
        QTest::keyClicks(p.nameEdit(), QStringLiteral("Never"));
        QTest::keyClick(p.nameEdit(), Qt::Key_Escape);
        QCOMPARE(p.mode(), PlayersPanel::Mode::Edit);
        QCOMPARE(p.selectedRow(), 1);
        QCOMPARE(p.nameEdit()->text(), QStringLiteral("Ben"));

        GamesPanel &g = c.gamesPanel();
        g.gameList()->setFocus();
        QTest::keyClick(g.gameList(), Qt::Key_Insert);
        QVERIFY(!c.playersPanel().isEnabled());
        QTest::keyClick(g.nameEdit(), Qt::Key_Escape);
        QCOMPARE(g.selectedRow(), 0);
        QVERIFY(c.playersPanel().isEnabled());
        QCOMPARE(ConsoleFixture::texts(p.playerList()), QStringList({"Anna", "Ben<star>", "Cid"}));
        QCOMPARE(c.games(), QStringList({"Poker|0", "Omaha|1"}));
    }

    // Ctrl+Z and Ctrl+Y (or Ctrl+Shift+Z) undo and redo, and show the entry they were about.
    void undoAndRedoFromTheKeyboard()
    {
        ConsoleFixture c(room());
        MainWindow &window = c.window();
        PlayersPanel &p = c.playersPanel();
        QVERIFY(!window.undoAction()->isEnabled());
        ConsoleFixture::clickRow(p.playerList(), 1);
        ConsoleFixture::press(p.deleteButton());
        QCOMPARE(window.undoAction()->text(), QStringLiteral("Undo delete of Ben from Poker"));
        const QByteArray before = c.startBoard;
        QTest::keySequence(&window, QKeySequence(Qt::CTRL | Qt::Key_Z));
        QCOMPARE(c.playersOf(QStringLiteral("Poker")), QStringList({"Anna|0", "Ben<star>|1", "Cid|2"}));
        QCOMPARE(c.fragment(), before);
        QCOMPARE(p.selectedRow(), 1);
        QCOMPARE(p.nameEdit()->text(), QStringLiteral("Ben"));
        QCOMPARE(window.redoAction()->text(), QStringLiteral("Redo delete of Ben from Poker"));
        QTest::keySequence(&window, QKeySequence(Qt::CTRL | Qt::Key_Y));
        QCOMPARE(c.playersOf(QStringLiteral("Poker")), QStringList({"Anna|0", "Cid|1"}));
        QTest::keySequence(&window, QKeySequence(Qt::CTRL | Qt::Key_Z));
        QTest::keySequence(&window, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
        QCOMPARE(c.playersOf(QStringLiteral("Poker")), QStringList({"Anna|0", "Cid|1"}));

        // Undoing a deleted game brings it back with its players, and selects it.
        ConsoleFixture::clickRow(c.gamesPanel().gameList(), 1);
        ConsoleFixture::press(c.gamesPanel().deleteButton());
        QTest::keySequence(&window, QKeySequence(Qt::CTRL | Qt::Key_Z));
        QCOMPARE(c.games(), QStringList({"Poker|0", "Omaha|1"}));
        QCOMPARE(c.gamesPanel().selectedRow(), 1);
        QCOMPARE(ConsoleFixture::texts(p.playerList()), QStringList{"Olga"});
    }

    void typeAheadAndTheOtherList()
    {
        ConsoleFixture c(room());
        PlayersPanel &p = c.playersPanel();
        p.playerList()->setFocus();
        QTest::keyClicks(p.playerList(), QStringLiteral("ci"));
        QCOMPARE(p.selectedRow(), 2);
        QCOMPARE(p.nameEdit()->text(), QStringLiteral("Cid"));
        QTest::keyClick(&c.window(), Qt::Key_F6);
        QVERIFY(c.gamesPanel().gameList()->hasFocus());
        QTest::keyClick(&c.window(), Qt::Key_F6);
        QVERIFY(p.playerList()->hasFocus());
    }

    // The list shows names as the board does, with the time on the list; its text stays the
    // stored name.
    void entriesShowMarkersAndTime()
    {
        ConsoleFixture c({{QStringLiteral("Poker"), {"Old<blink><phone>"}}});
        c.t.clock.advance(-42 * 60 * 1000);
        QVERIFY(c.room().addPlayer(c.room().games()[0].id, QStringLiteral("Ann<star>")));
        c.t.clock.advance(42 * 60 * 1000 + 59 * 1000);
        const QAbstractItemModel *model = c.playersPanel().playerList()->model();
        const PlayerEntryDelegate delegate(c.t.clock);
        QCOMPARE(model->index(1, 0).data().toString(), QStringLiteral("Ann<star>"));
        QCOMPARE(PlayerEntryDelegate::shownName(model->index(1, 0)), QStringLiteral("Ann \u2605"));
        QCOMPARE(delegate.waitingTime(model->index(1, 0)), QStringLiteral("0:42"));
        c.t.clock.advance(3 * 3600 * 1000);
        QCOMPARE(delegate.waitingTime(model->index(1, 0)), QStringLiteral("3:42"));
        QCOMPARE(PlayerEntryDelegate::shownName(model->index(0, 0)), QStringLiteral("Old \u260E"));
        QCOMPARE(delegate.waitingTime(model->index(0, 0)), QString()); // from before times were kept
        QVERIFY(model->index(0, 0).data(PlayerListModel::MarkersRole).value<PlayerMarkers>().blink);
    }
};

QTEST_MAIN(TestKeyboard)
#include "tst_keyboard.moc"
