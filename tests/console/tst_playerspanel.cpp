#include "ConsoleFixture.h"
#include "core/PlayerMarkers.h"

#include <QLabel>
#include <QLineEdit>
#include <QtTest>

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
        ConsoleFixture::clickRow(c.gamesPanel().List1, 1);
        QCOMPARE(p.Label1->text(), QStringLiteral("Omaha"));
        QCOMPARE(ConsoleFixture::texts(p.List2), QStringList({"Olga", "Otto"}));
        QCOMPARE(p.selectedIndex(), -1);
        QVERIFY(p.cmdPlayersAdd->isEnabled() && p.cmdPlayersClear->isEnabled());
        for (QWidget *w : QList<QWidget *>{p.cmdPlayersOk, p.txtPlayers, p.cmdPlayersDelete, p.cmdPlayersUp, p.cmdPlayersDown,
                                           p.cmdPlayersTop, p.cmdPlayersBlink, p.cmdPlayersStar, p.cmdPlayersPhone})
            QVERIFY2(!w->isEnabled(), qPrintable(w->objectName()));
        QCOMPARE(c.form->state().PlayersMode, QStringLiteral("EDIT"));

        ConsoleFixture::clickRow(c.gamesPanel().List1, 2);
        QCOMPARE(p.List2->count(), 0);
        QVERIFY(!p.cmdPlayersClear->isEnabled());
    }

    void firstPlayerEnablesDeleteAll()
    {
        ConsoleFixture c(room());
        PlayersPanel &p = c.playersPanel();
        ConsoleFixture::clickRow(c.gamesPanel().List1, 2);
        ConsoleFixture::press(p.cmdPlayersAdd);
        QVERIFY(p.txtPlayers->hasFocus());
        QTest::keyClicks(p.txtPlayers, QStringLiteral("Fay"));
        QTest::keyClick(p.txtPlayers, Qt::Key_Return);
        QCOMPARE(c.playersOf(QStringLiteral("Empty")), QStringList{"Fay|0"});
        QVERIFY(p.cmdPlayersClear->isEnabled());
        QCOMPARE(p.selectedIndex(), 0);
        QCOMPARE(p.txtPlayers->text(), QStringLiteral("Fay"));
        QVERIFY(p.cmdPlayersOk->isEnabled() && p.txtPlayers->isEnabled());
        QCOMPARE(c.form->state().PlayersMode, QStringLiteral("EDIT"));
        QVERIFY(c.fragment().contains("<tr><td>Fay</td></tr>"));
        const auto row = c.rows(QStringLiteral("select player_number, player_phone from list_content where player_name='Fay'"));
        QCOMPARE(row, QStringList{"0|"});
    }

    void saveTrimsAndKeepsMarkers()
    {
        ConsoleFixture c(room());
        PlayersPanel &p = c.playersPanel();
        ConsoleFixture::press(p.cmdPlayersAdd);
        ConsoleFixture::press(p.cmdPlayersOk);
        QCOMPARE(c.t.messages.shown.value(0).text, QStringLiteral("Player name cannot be blank"));
        QCOMPARE(c.t.messages.shown.value(0).style, 48);
        QCOMPARE(c.playersOf(QStringLiteral("Poker")).size(), 5);

        p.txtPlayers->setText(QStringLiteral("  Fred Flint  "));
        ConsoleFixture::press(p.cmdPlayersOk);
        QCOMPARE(c.playersOf(QStringLiteral("Poker")).last(), QStringLiteral("Fred Flint|5"));
        QCOMPARE(p.List2->item(5)->text(), QStringLiteral("Fred Flint"));

        // Control characters from a paste are dropped, so a name stays one line of the board.
        ConsoleFixture::press(p.cmdPlayersAdd);
        p.txtPlayers->setText(QStringLiteral("Eve\r\n<tr><td>FAKE\u0000 "));
        ConsoleFixture::press(p.cmdPlayersOk);
        QCOMPARE(c.playersOf(QStringLiteral("Poker")).last(), QStringLiteral("Eve<tr><td>FAKE|6"));

        // Tags are visible in the list and stripped in the name box.
        ConsoleFixture::clickRow(p.List2, 3);
        QCOMPARE(p.List2->item(3)->text(), QStringLiteral("Dee<blink><phone>"));
        QCOMPARE(p.txtPlayers->text(), QStringLiteral("Dee"));
        QVERIFY(c.form->state().BlinkOn && !c.form->state().StarOn && c.form->state().PhoneOn);
    }

    void topOnTheFourthOfFive()
    {
        ConsoleFixture c(room());
        PlayersPanel &p = c.playersPanel();
        const int poker = c.form->state().CurrentListID;
        ConsoleFixture::clickRow(p.List2, 3);
        ConsoleFixture::press(p.cmdPlayersTop);
        // A move never changes the current game nor touches another game's players.
        QCOMPARE(c.form->state().CurrentListID, poker);
        QCOMPARE(c.playersOf(QStringLiteral("Omaha")), QStringList({"Olga|0", "Otto|1"}));
        QCOMPARE(c.playersOf(QStringLiteral("Poker")),
                 QStringList({"Dee<blink><phone>|0", "Anna|1", "Ben<star>|2", "Cid|3", "Eve|4"}));
        QCOMPARE(ConsoleFixture::texts(p.List2), QStringList({"Dee<blink><phone>", "Anna", "Ben<star>", "Cid", "Eve"}));
        QCOMPARE(p.selectedIndex(), 0);
        QVERIFY(!p.cmdPlayersUp->isEnabled() && !p.cmdPlayersTop->isEnabled());
        QVERIFY(p.cmdPlayersDown->isEnabled());
        QCOMPARE(p.txtPlayers->text(), QStringLiteral("Dee"));
        QVERIFY(p.List2->hasFocus());
        QVERIFY(p.List2->updatesEnabled());
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
        ConsoleFixture::clickRow(p.List2, from);
        QPushButton *button = up ? p.cmdPlayersUp : p.cmdPlayersDown;
        if (button->isEnabled())
            ConsoleFixture::press(button);
        else
            up ? p.cmdPlayersUp_Click() : p.cmdPlayersDown_Click(); // a disabled button cannot be pressed
        QCOMPARE(ConsoleFixture::texts(p.List2), order);
        QStringList stored;
        for (int i = 0; i < order.size(); ++i)
            stored << order[i] + QStringLiteral("|%1").arg(i);
        QCOMPARE(c.playersOf(QStringLiteral("Poker")), stored);
        QCOMPARE(p.selectedIndex(), selected);
        QCOMPARE(p.cmdPlayersUp->isEnabled(), selected > 0);
        QCOMPARE(p.cmdPlayersDown->isEnabled(), selected < order.size() - 1);
    }

    void addThenSelectThenSaveAddsACopy()
    {
        ConsoleFixture c(room());
        PlayersPanel &p = c.playersPanel();
        ConsoleFixture::press(p.cmdPlayersAdd);
        ConsoleFixture::clickRow(p.List2, 1);
        QCOMPARE(p.txtPlayers->text(), QStringLiteral("Ben"));
        QCOMPARE(c.form->state().PlayersMode, QStringLiteral("ADD"));
        ConsoleFixture::press(p.cmdPlayersOk);
        QCOMPARE(c.playersOf(QStringLiteral("Poker")),
                 QStringList({"Anna|0", "Ben<star>|1", "Cid|2", "Dee<blink><phone>|3", "Eve|4", "Ben<star>|5"}));
        QCOMPARE(p.selectedIndex(), 5);
    }

    void singleDeleteAsksNothing()
    {
        ConsoleFixture c(room());
        PlayersPanel &p = c.playersPanel();
        ConsoleFixture::clickRow(p.List2, 1);
        ConsoleFixture::press(p.cmdPlayersDelete);
        QVERIFY(c.t.messages.shown.isEmpty());
        QCOMPARE(c.playersOf(QStringLiteral("Poker")), QStringList({"Anna|0", "Cid|1", "Dee<blink><phone>|2", "Eve|3"}));
        QCOMPARE(p.selectedIndex(), -1);
        // The name box and Save keep the state they had.
        QCOMPARE(p.txtPlayers->text(), QStringLiteral("Ben"));
        QVERIFY(p.cmdPlayersOk->isEnabled());
        QVERIFY(!c.fragment().contains("Ben"));

        // Deleting a game's last player one by one clears it from the board too.
        ConsoleFixture::clickRow(c.gamesPanel().List1, 1);
        for (int i = 0; i < 2; ++i) {
            ConsoleFixture::clickRow(p.List2, 0);
            ConsoleFixture::press(p.cmdPlayersDelete);
        }
        QVERIFY(c.playersOf(QStringLiteral("Omaha")).isEmpty());
        QVERIFY(!c.fragment().contains("Otto"));
        QVERIFY(c.fragment().contains("Anna"));
    }

    void nothingSelectedAfterDelete()
    {
        ConsoleFixture c(room());
        PlayersPanel &p = c.playersPanel();
        ConsoleFixture::clickRow(p.List2, 2);
        ConsoleFixture::press(p.cmdPlayersDelete);
        const QStringList before = c.playersOf(QStringLiteral("Poker"));

        // Save in edit mode has no row to rewrite, and Top has nothing to move.
        p.txtPlayers->setText(QStringLiteral("Ghost"));
        ConsoleFixture::press(p.cmdPlayersOk);
        QCOMPARE(c.t.messages.shown.value(0).text, QStringLiteral("Select a player first"));
        p.cmdPlayersTop_Click();
        for (QPushButton *toggle : {p.cmdPlayersBlink, p.cmdPlayersStar, p.cmdPlayersPhone})
            ConsoleFixture::press(toggle);
        QCOMPARE(c.t.messages.count(QStringLiteral("Select a player first")), 4);
        QCOMPARE(c.t.messages.shown.last().style, 48);
        QCOMPARE(c.t.messages.shown.last().title, QStringLiteral("TAVLO"));
        QCOMPARE(c.playersOf(QStringLiteral("Poker")), before);
        QCOMPARE(p.List2->count(), 4);
        QVERIFY(!c.t.ending.ended());
    }

    void deleteAll_data()
    {
        QTest::addColumn<int>("answer");
        QTest::newRow("no") << int(MessageBox::No);
        QTest::newRow("yes") << int(MessageBox::Yes);
    }

    void deleteAll()
    {
        QFETCH(int, answer);
        ConsoleFixture c(room());
        PlayersPanel &p = c.playersPanel();
        c.t.messages.answers = {answer};
        ConsoleFixture::press(p.cmdPlayersClear);
        QCOMPARE(c.t.messages.shown.size(), 1);
        QCOMPARE(c.t.messages.shown[0].text, QStringLiteral("Delete ALL players from list"));
        QCOMPARE(c.t.messages.shown[0].style, 36);
        if (answer == MessageBox::No) {
            QCOMPARE(c.playersOf(QStringLiteral("Poker")).size(), 5);
            QCOMPARE(p.List2->count(), 5);
            QCOMPARE(c.fragment(), c.startBoard);
            return;
        }
        QVERIFY(c.playersOf(QStringLiteral("Poker")).isEmpty());
        QCOMPARE(c.playersOf(QStringLiteral("Omaha")).size(), 2);
        QCOMPARE(p.List2->count(), 0);
        QVERIFY(c.fragment().contains("Otto") && !c.fragment().contains("Anna"));
        QVERIFY(p.cmdPlayersAdd->isEnabled());
        QVERIFY(p.cmdPlayersAdd->hasFocus());
        for (QWidget *w : QList<QWidget *>{p.cmdPlayersOk, p.txtPlayers, p.cmdPlayersClear, p.cmdPlayersDelete, p.cmdPlayersUp,
                                           p.cmdPlayersDown, p.cmdPlayersTop, p.cmdPlayersBlink, p.cmdPlayersStar, p.cmdPlayersPhone})
            QVERIFY2(!w->isEnabled(), qPrintable(w->objectName()));
    }

    void toggles_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("after");
        QTest::newRow("blink on a starred player") << "Ben<star>" << "cmdPlayersBlink" << "Ben<blink><star>";
        QTest::newRow("blink off again") << "Ben<blink><star>" << "cmdPlayersBlink" << "Ben<star>";
        QTest::newRow("star on") << "Anna" << "cmdPlayersStar" << "Anna<star>";
        QTest::newRow("phone off") << "Dee<blink><phone>" << "cmdPlayersPhone" << "Dee<blink>";
        QTest::newRow("order fixed") << "Eve<phone><star>" << "cmdPlayersBlink" << "Eve<blink><star><phone>";
        QTest::newRow("duplicates reduced") << "Ann<star>a<star>" << "cmdPlayersPhone" << "Anna<star><phone>";
    }

    void toggles()
    {
        QFETCH(QString, stored);
        QFETCH(QString, button);
        QFETCH(QString, after);
        ConsoleFixture c({{QStringLiteral("Poker"), {"First", stored, "Last"}}});
        PlayersPanel &p = c.playersPanel();
        ConsoleFixture::clickRow(p.List2, 1);
        ConsoleFixture::press(p.findChild<QPushButton *>(button));
        QCOMPARE(c.playersOf(QStringLiteral("Poker")), QStringList({"First|0", after + QStringLiteral("|1"), "Last|2"}));
        QCOMPARE(p.List2->item(1)->text(), after);
        QCOMPARE(p.selectedIndex(), 1);
        QCOMPARE(c.form->state().PlayersMode, QStringLiteral("EDIT"));
        QVERIFY(c.t.messages.shown.isEmpty());
        QVERIFY(c.fragment().contains(renderPlayerName(after).toUtf8()));
    }

    void toggleReloadsTheStoredName()
    {
        ConsoleFixture c(room());
        PlayersPanel &p = c.playersPanel();
        ConsoleFixture::clickRow(p.List2, 0);
        p.txtPlayers->setText(QStringLiteral("Typed but not saved"));
        ConsoleFixture::press(p.cmdPlayersStar);
        QCOMPARE(c.playersOf(QStringLiteral("Poker")).first(), QStringLiteral("Anna<star>|0"));
        QCOMPARE(p.txtPlayers->text(), QStringLiteral("Anna"));
    }

    void toggleInAddModeAddsAtTheEnd()
    {
        ConsoleFixture c(room());
        PlayersPanel &p = c.playersPanel();
        ConsoleFixture::press(p.cmdPlayersAdd);
        ConsoleFixture::clickRow(p.List2, 2);
        ConsoleFixture::press(p.cmdPlayersPhone);
        QCOMPARE(c.playersOf(QStringLiteral("Poker")),
                 QStringList({"Anna|0", "Ben<star>|1", "Cid|2", "Dee<blink><phone>|3", "Eve|4", "Cid<phone>|5"}));
        QCOMPARE(p.selectedIndex(), 2);
        QCOMPARE(p.txtPlayers->text(), QStringLiteral("Cid"));
        QCOMPARE(c.form->state().PlayersMode, QStringLiteral("EDIT"));
    }

    void tagTypedInOtherCaseStaysInTheName()
    {
        ConsoleFixture c(room());
        PlayersPanel &p = c.playersPanel();
        ConsoleFixture::press(p.cmdPlayersAdd);
        p.txtPlayers->setText(QStringLiteral("Max<Star><phone>"));
        ConsoleFixture::press(p.cmdPlayersOk);
        QCOMPARE(c.playersOf(QStringLiteral("Poker")).last(), QStringLiteral("Max<Star><phone>|5"));
        // The lower-case tag typed by the operator is a marker from now on; the other is part of the name.
        QCOMPARE(p.txtPlayers->text(), QStringLiteral("Max<Star>"));
        QVERIFY(c.form->state().PhoneOn);
    }
};

QTEST_MAIN(TestPlayersPanel)
#include "tst_playerspanel.moc"
