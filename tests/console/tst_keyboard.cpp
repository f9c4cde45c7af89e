#include "ConsoleFixture.h"

#include "console/PlayerEntryDelegate.h"

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

struct KeyRow { bool games; int row; QKeySequence key; QStringList listed; };

} // namespace

class TestKeyboard : public QObject {
    Q_OBJECT
private slots:
    void keysOfTheCommands_data()
    {
        QTest::addColumn<KeyRow>("data");
        QTest::newRow("Ctrl+Down moves a game") << KeyRow{true, 0, QKeySequence(Qt::CTRL | Qt::Key_Down), {"Omaha", "Poker"}};
        QTest::newRow("Delete deletes a game, after the question") << KeyRow{true, 1, QKeySequence(Qt::Key_Delete), {"Poker"}};
        QTest::newRow("Ctrl+Up moves a player") << KeyRow{false, 2, QKeySequence(Qt::CTRL | Qt::Key_Up), {"Anna", "Cid", "Ben<star>"}};
        QTest::newRow("Ctrl+Home moves a player to the top")
            << KeyRow{false, 2, QKeySequence(Qt::CTRL | Qt::Key_Home), {"Cid", "Anna", "Ben<star>"}};
        QTest::newRow("Delete deletes a player") << KeyRow{false, 0, QKeySequence(Qt::Key_Delete), {"Ben<star>", "Cid"}};
        QTest::newRow("Alt+B blinks") << KeyRow{false, 0, QKeySequence(Qt::ALT | Qt::Key_B), {"Anna<blink>", "Ben<star>", "Cid"}};
        QTest::newRow("Alt+S stars") << KeyRow{false, 1, QKeySequence(Qt::ALT | Qt::Key_S), {"Anna", "Ben", "Cid"}};
        QTest::newRow("Alt+P phones") << KeyRow{false, 2, QKeySequence(Qt::ALT | Qt::Key_P), {"Anna", "Ben<star>", "Cid<phone>"}};
        QTest::newRow("Ctrl+Up on the first does nothing")
            << KeyRow{false, 0, QKeySequence(Qt::CTRL | Qt::Key_Up), {"Anna", "Ben<star>", "Cid"}};
    }

    void keysOfTheCommands()
    {
        QFETCH(KeyRow, data);
        const auto &[games, row, key, listed] = data;
        ConsoleFixture c(room());
        QListView *list = (games ? c.gamesPanel() : c.playersPanel()).list();
        ConsoleFixture::clickRow(list, row);
        list->setFocus();
        QTest::keySequence(list, key);
        QCOMPARE(ConsoleFixture::texts(list), listed);
        // Only deleting a game asks first, as its button does.
        QCOMPARE(c.t.messages.shown.size(), games && key == QKeySequence(Qt::Key_Delete) ? 1 : 0);
    }

    // F2 opens the name box, Escape goes back: to the stored name after an edit, to the
    // selection before an add.
    void editAndCancel()
    {
        ConsoleFixture c(room());
        ListPanel &p = c.playersPanel();
        ConsoleFixture::clickRow(p.list(), 1);
        p.list()->setFocus();
        QTest::keyClick(p.list(), Qt::Key_F2);
        QVERIFY(p.nameEdit()->hasFocus());
        QCOMPARE(p.nameEdit()->selectedText(), QStringLiteral("Ben"));
        QTest::keyClicks(p.nameEdit(), QStringLiteral("Benny"));
        QTest::keyClick(p.nameEdit(), Qt::Key_Escape);
        QCOMPARE(p.nameEdit()->text(), QStringLiteral("Ben"));
        QVERIFY(p.pendingMarkers().star);

        QTest::keyClick(p.list(), Qt::Key_Insert);
        QTest::keyClicks(p.nameEdit(), QStringLiteral("Never"));
        QTest::keyClick(p.nameEdit(), Qt::Key_Escape);
        QCOMPARE(p.selectedRow(), 1);
        QCOMPARE(p.nameEdit()->text(), QStringLiteral("Ben"));
        QVERIFY(p.list()->hasFocus());

        ListPanel &g = c.gamesPanel();
        g.list()->setFocus();
        QTest::keyClick(g.list(), Qt::Key_Insert);
        QVERIFY(!c.playersPanel().isEnabled());
        QTest::keyClick(g.nameEdit(), Qt::Key_Escape);
        QCOMPARE(g.selectedRow(), 0);
        QVERIFY(c.playersPanel().isEnabled());
        QCOMPARE(ConsoleFixture::texts(p.list()), QStringList({"Anna", "Ben<star>", "Cid"}));
        QCOMPARE(ConsoleFixture::texts(g.list()), QStringList({"Poker", "Omaha"}));
    }

    // Ctrl+Z and Ctrl+Y (or Ctrl+Shift+Z) undo and redo, and show the entry they were about.
    void undoAndRedoFromTheKeyboard()
    {
        ConsoleFixture c(room());
        MainWindow &window = c.window();
        ListPanel &p = c.playersPanel();
        QVERIFY(!window.undoAction()->isEnabled());
        ConsoleFixture::clickRow(p.list(), 1);
        ConsoleFixture::press(p.button(Cmd::Delete));
        QTRY_COMPARE(window.undoAction()->text(), QStringLiteral("Undo delete of Ben from Poker"));
        const QStringList redone{"Anna", "Cid"};
        for (const auto &[key, listed] : {std::pair(QKeySequence(Qt::CTRL | Qt::Key_Z), QStringList{"Anna", "Ben<star>", "Cid"}),
                                          std::pair(QKeySequence(Qt::CTRL | Qt::Key_Y), redone),
                                          std::pair(QKeySequence(Qt::CTRL | Qt::Key_Z), QStringList{"Anna", "Ben<star>", "Cid"}),
                                          std::pair(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), redone)}) {
            QTest::keySequence(&window, key);
            QCOMPARE(ConsoleFixture::texts(p.list()), listed);
        }
        QTRY_COMPARE(window.redoAction()->text(), QStringLiteral("Redo"));
        QTest::keySequence(&window, QKeySequence(Qt::CTRL | Qt::Key_Z));
        QCOMPARE(p.selectedRow(), 1);
        QCOMPARE(p.nameEdit()->text(), QStringLiteral("Ben"));
        QTRY_COMPARE(window.redoAction()->text(), QStringLiteral("Redo delete of Ben from Poker"));
    }

    void typeAheadAndTheOtherList()
    {
        ConsoleFixture c(room());
        ListPanel &p = c.playersPanel();
        p.list()->setFocus();
        QTest::keyClicks(p.list(), QStringLiteral("ci"));
        QCOMPARE(p.selectedRow(), 2);
        QCOMPARE(p.nameEdit()->text(), QStringLiteral("Cid"));
        QTest::keyClick(&c.window(), Qt::Key_F6);
        QVERIFY(c.gamesPanel().list()->hasFocus());
        QTest::keyClick(&c.window(), Qt::Key_F6);
        QVERIFY(p.list()->hasFocus());
    }

    // The list shows names as the board does, with the time on the list; its text stays the
    // stored name.
    void entriesShowMarkersAndTime()
    {
        ConsoleFixture c({{QStringLiteral("Poker"), {"Old<blink><phone>"}}});
        c.t.clock.advance(-42 * 60 * 1000);
        QVERIFY(c.room().addPlayer(c.room().games()[0].id, QStringLiteral("Ann<star>")));
        c.t.clock.advance(42 * 60 * 1000 + 59 * 1000);
        const QAbstractItemModel *model = c.playersPanel().list()->model();
        const PlayerEntryDelegate delegate(c.t.clock);
        QCOMPARE(model->index(1, 0).data().toString(), QStringLiteral("Ann<star>"));
        QCOMPARE(PlayerEntryDelegate::shownName(model->index(1, 0)), QStringLiteral("Ann \u2605"));
        QCOMPARE(delegate.waitingTime(model->index(1, 0)), QStringLiteral("0:42"));
        c.t.clock.advance(3 * 3600 * 1000);
        QCOMPARE(delegate.waitingTime(model->index(1, 0)), QStringLiteral("3:42"));
        QCOMPARE(PlayerEntryDelegate::shownName(model->index(0, 0)), QStringLiteral("Old \u260E"));
        QCOMPARE(delegate.waitingTime(model->index(0, 0)), QString()); // from before times were kept
        QVERIFY(model->index(0, 0).data(RoomListModel::MarkersRole).value<PlayerMarkers>().blink);
    }
};

QTEST_MAIN(TestKeyboard)
#include "tst_keyboard.moc"
