#include "ConsoleFixture.h"
#include "board/Board.h"
#include "board/PlayerMarkers.h"

#include <QLabel>
#include <QLineEdit>
#include <QTest>

using namespace tavlo;
using namespace tavlo::test;

namespace {

QList<TestPlatform::Game> room()
{
    return {{QStringLiteral("Poker"), {"Anna", "Ben<star>", "Cid", "Dee<blink><phone>", "Eve"}},
            {QStringLiteral("Omaha"), {"Olga", "Otto"}},
            {QStringLiteral("Empty"), {}}};
}

} // namespace

class TestPlayersPanel : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void selectingAGameLoadsItsPlayers()
    {
        ConsoleFixture c(room());
        PlayersPanel &p = c.playersPanel();
        ConsoleFixture::clickRow(c.gamesPanel().gameList(), 1);
        QCOMPARE(p.titleLabel()->text(), QStringLiteral("Omaha"));
        QCOMPARE(ConsoleFixture::texts(p.playerList()), QStringList({"Olga", "Otto"}));
        QCOMPARE(p.selectedRow(), -1);
        QVERIFY(p.addButton()->isEnabled() && p.deleteAllButton()->isEnabled());
        for (QWidget *w : QList<QWidget *>{p.saveButton(), p.nameEdit(), p.deleteButton(), p.moveUpButton(), p.moveDownButton(),
                                           p.moveToTopButton(), p.blinkButton(), p.starButton(), p.phoneButton()})
            QVERIFY2(!w->isEnabled(), qPrintable(w->objectName()));
        QCOMPARE(c.playersPanel().mode(), PlayersPanel::Mode::Edit);

        ConsoleFixture::clickRow(c.gamesPanel().gameList(), 2);
        QCOMPARE(p.playerList()->model()->rowCount(), 0);
        QVERIFY(!p.deleteAllButton()->isEnabled());
    }

    void firstPlayerEnablesDeleteAll()
    {
        ConsoleFixture c(room());
        PlayersPanel &p = c.playersPanel();
        ConsoleFixture::clickRow(c.gamesPanel().gameList(), 2);
        ConsoleFixture::press(p.addButton());
        QVERIFY(p.nameEdit()->hasFocus());
        QTest::keyClicks(p.nameEdit(), QStringLiteral("Fay"));
        QTest::keyClick(p.nameEdit(), Qt::Key_Return);
        QCOMPARE(c.playersOf(QStringLiteral("Empty")), QStringList{"Fay|0"});
        QVERIFY(p.deleteAllButton()->isEnabled());
        QCOMPARE(p.selectedRow(), 0);
        QCOMPARE(p.nameEdit()->text(), QStringLiteral("Fay"));
        QVERIFY(p.saveButton()->isEnabled() && p.nameEdit()->isEnabled());
        QCOMPARE(c.playersPanel().mode(), PlayersPanel::Mode::Edit);
        QVERIFY(c.fragment().contains("<tr><td>Fay</td></tr>"));
        const auto row = c.rows(QStringLiteral("select player_number, player_phone from list_content where player_name='Fay'"));
        QCOMPARE(row, QStringList{"0|"});
    }

    void saveTrimsAndKeepsMarkers()
    {
        ConsoleFixture c(room());
        PlayersPanel &p = c.playersPanel();
        ConsoleFixture::press(p.addButton());
        ConsoleFixture::press(p.saveButton());
        QCOMPARE(c.t.messages.shown.value(0).text, QStringLiteral("Player name cannot be blank"));
        QCOMPARE(c.t.messages.shown.value(0).icon, MessageBox::Icon::Warning);
        QCOMPARE(c.playersOf(QStringLiteral("Poker")).size(), 5);

        p.nameEdit()->setText(QStringLiteral("  Fred Flint  "));
        ConsoleFixture::press(p.saveButton());
        QCOMPARE(c.playersOf(QStringLiteral("Poker")).last(), QStringLiteral("Fred Flint|5"));
        QCOMPARE(ConsoleFixture::texts(p.playerList()).value(5), QStringLiteral("Fred Flint"));

        // Control characters from a paste are dropped, so a name stays one line of the board.
        ConsoleFixture::press(p.addButton());
        p.nameEdit()->setText(QStringLiteral("Eve\r\n<tr><td>FAKE\u0000 "));
        ConsoleFixture::press(p.saveButton());
        QCOMPARE(c.playersOf(QStringLiteral("Poker")).last(), QStringLiteral("Eve<tr><td>FAKE|6"));

        // Tags are visible in the list and stripped in the name box.
        ConsoleFixture::clickRow(p.playerList(), 3);
        QCOMPARE(ConsoleFixture::texts(p.playerList()).value(3), QStringLiteral("Dee<blink><phone>"));
        QCOMPARE(p.nameEdit()->text(), QStringLiteral("Dee"));
        QCOMPARE(p.pendingMarkers(), (PlayerMarkers{true, false, true}));
    }

    void topOnTheFourthOfFive()
    {
        ConsoleFixture c(room());
        PlayersPanel &p = c.playersPanel();
        const qint64 poker = p.currentGameId();
        ConsoleFixture::clickRow(p.playerList(), 3);
        ConsoleFixture::press(p.moveToTopButton());
        // A move never changes the current game nor touches another game's players.
        QCOMPARE(p.currentGameId(), poker);
        QCOMPARE(c.playersOf(QStringLiteral("Omaha")), QStringList({"Olga|0", "Otto|1"}));
        QCOMPARE(c.playersOf(QStringLiteral("Poker")),
                 QStringList({"Dee<blink><phone>|0", "Anna|1", "Ben<star>|2", "Cid|3", "Eve|4"}));
        QCOMPARE(ConsoleFixture::texts(p.playerList()), QStringList({"Dee<blink><phone>", "Anna", "Ben<star>", "Cid", "Eve"}));
        QCOMPARE(p.selectedRow(), 0);
        QVERIFY(!p.moveUpButton()->isEnabled() && !p.moveToTopButton()->isEnabled());
        QVERIFY(p.moveDownButton()->isEnabled());
        QCOMPARE(p.nameEdit()->text(), QStringLiteral("Dee"));
        QVERIFY(p.playerList()->hasFocus());
        QVERIFY(p.playerList()->updatesEnabled());
        QVERIFY(c.fragment().indexOf("<blink>Dee&#9742;</blink>") < c.fragment().indexOf(">Anna<"));
    }

    void upAndDownAtTheEnds_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<bool>("up");
        QTest::addColumn<QStringList>("order");
        QTest::addColumn<int>("selected");
        const QStringList same{"Anna", "Ben<star>", "Cid", "Dee<blink><phone>", "Eve"};
        QTest::newRow("up from the second") << 1 << true << QStringList({"Ben<star>", "Anna", "Cid", "Dee<blink><phone>", "Eve"}) << 0;
        QTest::newRow("down to the last") << 3 << false << QStringList({"Anna", "Ben<star>", "Cid", "Eve", "Dee<blink><phone>"}) << 4;
        QTest::newRow("up on the first") << 0 << true << same << 0;
        QTest::newRow("down on the last") << 4 << false << same << 4;
    }

    void upAndDownAtTheEnds()
    {
        QFETCH(int, from);
        QFETCH(bool, up);
        QFETCH(QStringList, order);
        QFETCH(int, selected);
        ConsoleFixture c(room());
        PlayersPanel &p = c.playersPanel();
        ConsoleFixture::clickRow(p.playerList(), from);
        QPushButton *button = up ? p.moveUpButton() : p.moveDownButton();
        if (button->isEnabled())
            ConsoleFixture::press(button);
        else
            up ? p.moveSelectedPlayerUp() : p.moveSelectedPlayerDown(); // a disabled button cannot be pressed
        QCOMPARE(ConsoleFixture::texts(p.playerList()), order);
        QStringList stored;
        for (int i = 0; i < order.size(); ++i)
            stored << order[i] + QStringLiteral("|%1").arg(i);
        QCOMPARE(c.playersOf(QStringLiteral("Poker")), stored);
        QCOMPARE(p.selectedRow(), selected);
        QCOMPARE(p.moveUpButton()->isEnabled(), selected > 0);
        QCOMPARE(p.moveDownButton()->isEnabled(), selected < order.size() - 1);
    }

    void addThenSelectThenSaveAddsACopy()
    {
        ConsoleFixture c(room());
        PlayersPanel &p = c.playersPanel();
        ConsoleFixture::press(p.addButton());
        ConsoleFixture::clickRow(p.playerList(), 1);
        QCOMPARE(p.nameEdit()->text(), QStringLiteral("Ben"));
        QCOMPARE(c.playersPanel().mode(), PlayersPanel::Mode::Add);
        ConsoleFixture::press(p.saveButton());
        QCOMPARE(c.playersOf(QStringLiteral("Poker")),
                 QStringList({"Anna|0", "Ben<star>|1", "Cid|2", "Dee<blink><phone>|3", "Eve|4", "Ben<star>|5"}));
        QCOMPARE(p.selectedRow(), 5);
    }

    void singleDeleteAsksNothing()
    {
        ConsoleFixture c(room());
        PlayersPanel &p = c.playersPanel();
        ConsoleFixture::clickRow(p.playerList(), 1);
        ConsoleFixture::press(p.deleteButton());
        QVERIFY(c.t.messages.shown.isEmpty());
        QCOMPARE(c.playersOf(QStringLiteral("Poker")), QStringList({"Anna|0", "Cid|1", "Dee<blink><phone>|2", "Eve|3"}));
        QCOMPARE(p.selectedRow(), -1);
        // The name box and Save keep the state they had.
        QCOMPARE(p.nameEdit()->text(), QStringLiteral("Ben"));
        QVERIFY(p.saveButton()->isEnabled());
        QVERIFY(!c.fragment().contains("Ben"));

        // Deleting a game's last player one by one clears it from the board too.
        ConsoleFixture::clickRow(c.gamesPanel().gameList(), 1);
        for (int i = 0; i < 2; ++i) {
            ConsoleFixture::clickRow(p.playerList(), 0);
            ConsoleFixture::press(p.deleteButton());
        }
        QVERIFY(c.playersOf(QStringLiteral("Omaha")).isEmpty());
        QVERIFY(!c.fragment().contains("Otto"));
        QVERIFY(c.fragment().contains("Anna"));
    }

    void nothingSelectedAfterDelete()
    {
        ConsoleFixture c(room());
        PlayersPanel &p = c.playersPanel();
        ConsoleFixture::clickRow(p.playerList(), 2);
        ConsoleFixture::press(p.deleteButton());
        const QStringList before = c.playersOf(QStringLiteral("Poker"));

        // Save in edit mode has no row to rewrite, and Top has nothing to move.
        p.nameEdit()->setText(QStringLiteral("Ghost"));
        ConsoleFixture::press(p.saveButton());
        QCOMPARE(c.t.messages.shown.value(0).text, QStringLiteral("Select a player first"));
        p.moveSelectedPlayerToTop();
        for (QPushButton *toggle : {p.blinkButton(), p.starButton(), p.phoneButton()})
            ConsoleFixture::press(toggle);
        QCOMPARE(c.t.messages.count(QStringLiteral("Select a player first")), 4);
        QCOMPARE(c.t.messages.shown.last().icon, MessageBox::Icon::Warning);
        QCOMPARE(c.t.messages.shown.last().title, QStringLiteral("TAVLO"));
        QCOMPARE(c.playersOf(QStringLiteral("Poker")), before);
        QCOMPARE(p.playerList()->model()->rowCount(), 4);
        QVERIFY(!c.t.ending.ended());
    }

    void deleteAll_data()
    {
        QTest::addColumn<MessageBox::Answer>("answer");
        QTest::newRow("no") << MessageBox::Answer::No;
        QTest::newRow("yes") << MessageBox::Answer::Yes;
    }

    void deleteAll()
    {
        QFETCH(MessageBox::Answer, answer);
        ConsoleFixture c(room());
        PlayersPanel &p = c.playersPanel();
        c.t.messages.answers = {answer};
        ConsoleFixture::press(p.deleteAllButton());
        QCOMPARE(c.t.messages.shown.size(), 1);
        QCOMPARE(c.t.messages.shown[0].text, QStringLiteral("Delete ALL players from list"));
        QCOMPARE(c.t.messages.shown[0].buttons, MessageBox::Buttons::YesNo);
        QCOMPARE(c.t.messages.shown[0].icon, MessageBox::Icon::Question);
        if (answer == MessageBox::Answer::No) {
            QCOMPARE(c.playersOf(QStringLiteral("Poker")).size(), 5);
            QCOMPARE(p.playerList()->model()->rowCount(), 5);
            QCOMPARE(c.fragment(), c.startBoard);
            return;
        }
        QVERIFY(c.playersOf(QStringLiteral("Poker")).isEmpty());
        QCOMPARE(c.playersOf(QStringLiteral("Omaha")).size(), 2);
        QCOMPARE(p.playerList()->model()->rowCount(), 0);
        QVERIFY(c.fragment().contains("Otto") && !c.fragment().contains("Anna"));
        QVERIFY(p.addButton()->isEnabled());
        QVERIFY(p.addButton()->hasFocus());
        for (QWidget *w : QList<QWidget *>{p.saveButton(), p.nameEdit(), p.deleteAllButton(), p.deleteButton(), p.moveUpButton(),
                                           p.moveDownButton(), p.moveToTopButton(), p.blinkButton(), p.starButton(), p.phoneButton()})
            QVERIFY2(!w->isEnabled(), qPrintable(w->objectName()));
    }

    void toggles_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("after");
        QTest::newRow("blink on a starred player") << "Ben<star>" << "blinkButton" << "Ben<blink><star>";
        QTest::newRow("blink off again") << "Ben<blink><star>" << "blinkButton" << "Ben<star>";
        QTest::newRow("star on") << "Anna" << "starButton" << "Anna<star>";
        QTest::newRow("phone off") << "Dee<blink><phone>" << "phoneButton" << "Dee<blink>";
        QTest::newRow("order fixed") << "Eve<phone><star>" << "blinkButton" << "Eve<blink><star><phone>";
        QTest::newRow("duplicates reduced") << "Ann<star>a<star>" << "phoneButton" << "Anna<star><phone>";
    }

    void toggles()
    {
        QFETCH(QString, stored);
        QFETCH(QString, button);
        QFETCH(QString, after);
        ConsoleFixture c({{QStringLiteral("Poker"), {"First", stored, "Last"}}});
        PlayersPanel &p = c.playersPanel();
        ConsoleFixture::clickRow(p.playerList(), 1);
        ConsoleFixture::press(p.findChild<QPushButton *>(button));
        QCOMPARE(c.playersOf(QStringLiteral("Poker")), QStringList({"First|0", after + QStringLiteral("|1"), "Last|2"}));
        QCOMPARE(ConsoleFixture::texts(p.playerList()).value(1), after);
        QCOMPARE(p.selectedRow(), 1);
        QCOMPARE(c.playersPanel().mode(), PlayersPanel::Mode::Edit);
        QVERIFY(c.t.messages.shown.isEmpty());
        const BoardEntry shown = boardEntryOf(after);
        QVERIFY(c.fragment().contains(("<tr><td>" + (shown.blink ? "<blink>" + shown.cell + "</blink>" : shown.cell)).toUtf8()));
    }

    void toggleReloadsTheStoredName()
    {
        ConsoleFixture c(room());
        PlayersPanel &p = c.playersPanel();
        ConsoleFixture::clickRow(p.playerList(), 0);
        p.nameEdit()->setText(QStringLiteral("Typed but not saved"));
        ConsoleFixture::press(p.starButton());
        QCOMPARE(c.playersOf(QStringLiteral("Poker")).first(), QStringLiteral("Anna<star>|0"));
        QCOMPARE(p.nameEdit()->text(), QStringLiteral("Anna"));
    }

    void toggleInAddModeAddsAtTheEnd()
    {
        ConsoleFixture c(room());
        PlayersPanel &p = c.playersPanel();
        ConsoleFixture::press(p.addButton());
        ConsoleFixture::clickRow(p.playerList(), 2);
        ConsoleFixture::press(p.phoneButton());
        QCOMPARE(c.playersOf(QStringLiteral("Poker")),
                 QStringList({"Anna|0", "Ben<star>|1", "Cid|2", "Dee<blink><phone>|3", "Eve|4", "Cid<phone>|5"}));
        QCOMPARE(p.selectedRow(), 2);
        QCOMPARE(p.nameEdit()->text(), QStringLiteral("Cid"));
        QCOMPARE(c.playersPanel().mode(), PlayersPanel::Mode::Edit);
    }

    void tagTypedInOtherCaseStaysInTheName()
    {
        ConsoleFixture c(room());
        PlayersPanel &p = c.playersPanel();
        ConsoleFixture::press(p.addButton());
        p.nameEdit()->setText(QStringLiteral("Max<Star><phone>"));
        ConsoleFixture::press(p.saveButton());
        QCOMPARE(c.playersOf(QStringLiteral("Poker")).last(), QStringLiteral("Max<Star><phone>|5"));
        // The lower-case tag typed by the operator is a marker from now on; the other is part of the name.
        QCOMPARE(p.nameEdit()->text(), QStringLiteral("Max<Star>"));
        QVERIFY(p.pendingMarkers().phone);
    }
};

QTEST_MAIN(TestPlayersPanel)
#include "tst_playerspanel.moc"
