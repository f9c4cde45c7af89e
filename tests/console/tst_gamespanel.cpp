#include "ConsoleFixture.h"

#include <QLabel>
#include <QLineEdit>
#include <QtTest>

using namespace tavlo;
using namespace tavlo::test;

class TestGamesPanel : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void addAndSaveAppendsAtTheEnd()
    {
        ConsoleFixture c({{QStringLiteral("Poker"), {"Anna"}}, {QStringLiteral("Omaha"), {}}});
        GamesPanel &g = c.gamesPanel();
        ConsoleFixture::press(g.cmdListsAdd);
        QCOMPARE(c.form->state().ListsMode, QStringLiteral("ADD"));
        QCOMPARE(g.selectedIndex(), -1);
        QVERIFY(!g.cmdListsDelete->isEnabled());
        QVERIFY(!c.playersPanel().isEnabled());
        QVERIFY(c.playersPanel().Label1->text().isEmpty());
        QCOMPARE(c.playersPanel().List2->count(), 0);

        QTest::keyClicks(g.txtLists, QStringLiteral("Stud"));
        ConsoleFixture::press(g.cmdListsOk);
        QCOMPARE(c.games(), QStringList({"Poker|0", "Omaha|1", "Stud|2"}));
        QCOMPARE(ConsoleFixture::texts(g.List1), QStringList({"Poker", "Omaha", "Stud"}));
        QCOMPARE(g.selectedIndex(), 2);
        QCOMPARE(g.txtLists->text(), QStringLiteral("Stud"));
        QVERIFY(g.txtLists->isEnabled() && g.cmdListsOk->isEnabled());
        QCOMPARE(c.form->state().ListsMode, QStringLiteral("EDIT"));
        // The new game's (empty) list is loaded and is the current game.
        QVERIFY(c.playersPanel().isEnabled());
        QCOMPARE(c.playersPanel().Label1->text(), QStringLiteral("Stud"));
        QCOMPARE(g.List1->item(2)->data(Qt::UserRole).toInt(), c.form->state().CurrentListID);
        QVERIFY(c.fragment().contains("<td class='listhead'>Stud</td>"));
    }

    void blankNameIsRefused_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::newRow("empty") << QString();
        QTest::newRow("spaces") << QStringLiteral("   ");
    }

    void blankNameIsRefused()
    {
        QFETCH(QString, typed);
        ConsoleFixture c({{QStringLiteral("Poker"), {}}});
        GamesPanel &g = c.gamesPanel();
        ConsoleFixture::press(g.cmdListsAdd);
        QTest::keyClicks(g.txtLists, typed);
        ConsoleFixture::press(g.cmdListsOk);
        QCOMPARE(c.t.messages.shown.size(), 1);
        QCOMPARE(c.t.messages.shown[0].text, QStringLiteral("Game name cannot be blank"));
        QCOMPARE(c.t.messages.shown[0].style, 48);
        QCOMPARE(c.games(), QStringList{"Poker|0"});
        QCOMPARE(c.form->state().ListsMode, QStringLiteral("ADD"));
        QCOMPARE(g.txtLists->text(), typed);
        QVERIFY(g.txtLists->hasFocus());
        QCOMPARE(c.fragment(), c.startBoard);
    }

    void renameKeepsPosition()
    {
        ConsoleFixture c({{QStringLiteral("A"), {}}, {QStringLiteral("B"), {}}, {QStringLiteral("C"), {"Zed"}}, {QStringLiteral("D"), {}}});
        GamesPanel &g = c.gamesPanel();
        ConsoleFixture::clickRow(g.List1, 2);
        QCOMPARE(g.txtLists->text(), QStringLiteral("C"));
        QCOMPARE(c.playersPanel().Label1->text(), QStringLiteral("C"));
        g.txtLists->setText(QStringLiteral(" Crazy Pineapple "));
        ConsoleFixture::press(g.cmdListsOk);
        QCOMPARE(c.games(), QStringList({"A|0", "B|1", " Crazy Pineapple |2", "D|3"}));
        QCOMPARE(g.selectedIndex(), 2);
        QCOMPARE(g.List1->count(), 4);
        QCOMPARE(c.playersOf(QStringLiteral(" Crazy Pineapple ")), QStringList{"Zed|0"});
        QVERIFY(c.fragment().contains("<td class='listhead'> Crazy Pineapple </td>"));
    }

    void enterInTheNameBoxSaves()
    {
        ConsoleFixture c;
        GamesPanel &g = c.gamesPanel();
        // Save is disabled: Enter does nothing.
        QTest::keyClick(g.txtLists, Qt::Key_Return);
        QVERIFY(c.games().isEmpty());
        ConsoleFixture::press(g.cmdListsAdd);
        QTest::keyClicks(g.txtLists, QStringLiteral("Razz"));
        QTest::keyClick(g.txtLists, Qt::Key_Return);
        QCOMPARE(c.games(), QStringList{"Razz|0"});
    }

    void moves_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<bool>("up");
        QTest::addColumn<QStringList>("order");
        QTest::addColumn<int>("selected");
        QTest::addColumn<bool>("upEnabled");
        QTest::addColumn<bool>("downEnabled");
        QTest::newRow("up on the second") << 1 << true << QStringList({"B|0", "A|1", "C|2"}) << 0 << false << true;
        QTest::newRow("down on the first") << 0 << false << QStringList({"B|0", "A|1", "C|2"}) << 1 << true << true;
        QTest::newRow("down to the end") << 1 << false << QStringList({"A|0", "C|1", "B|2"}) << 2 << true << false;
    }

    void moves()
    {
        QFETCH(int, from);
        QFETCH(bool, up);
        QFETCH(QStringList, order);
        QFETCH(int, selected);
        QFETCH(bool, upEnabled);
        QFETCH(bool, downEnabled);
        ConsoleFixture c({{QStringLiteral("A"), {}}, {QStringLiteral("B"), {}}, {QStringLiteral("C"), {}}});
        GamesPanel &g = c.gamesPanel();
        ConsoleFixture::clickRow(g.List1, from);
        ConsoleFixture::press(up ? g.cmdListsUp : g.cmdListsDown);
        QCOMPARE(c.games(), order);
        QStringList listed;
        for (const QString &row : order)
            listed << row.section(QLatin1Char('|'), 0, 0);
        QCOMPARE(ConsoleFixture::texts(g.List1), listed);
        QCOMPARE(g.selectedIndex(), selected);
        QCOMPARE(g.cmdListsUp->isEnabled(), upEnabled);
        QCOMPARE(g.cmdListsDown->isEnabled(), downEnabled);
        QVERIFY(g.cmdListsDelete->isEnabled());
        QCOMPARE(g.txtLists->text(), listed[selected]);
        QVERIFY(!c.form->state().Reordering);
        QVERIFY(g.List1->updatesEnabled());
        // The board follows the new order.
        const QByteArray board = c.fragment();
        QVERIFY(board.indexOf(">" + listed[0].toUtf8() + "<") < board.indexOf(">" + listed[1].toUtf8() + "<"));
    }

    void moveDoesNotReloadPlayers()
    {
        ConsoleFixture c({{QStringLiteral("A"), {"Anna", "Ben"}}, {QStringLiteral("B"), {"Xavier"}}});
        GamesPanel &g = c.gamesPanel();
        PlayersPanel &p = c.playersPanel();
        ConsoleFixture::clickRow(p.List2, 1);
        p.txtPlayers->setText(QStringLiteral("typed"));
        ConsoleFixture::press(g.cmdListsDown);
        QCOMPARE(c.games(), QStringList({"B|0", "A|1"}));
        QCOMPARE(ConsoleFixture::texts(p.List2), QStringList({"Anna", "Ben"}));
        QCOMPARE(p.selectedIndex(), 1);
        QCOMPARE(p.txtPlayers->text(), QStringLiteral("typed"));
        QCOMPARE(p.Label1->text(), QStringLiteral("A"));
    }

    void deleteTakesThePlayersAlong()
    {
        ConsoleFixture c({{QStringLiteral("A"), {"Anna"}}, {QStringLiteral("B"), {"Ben", "Bo"}}, {QStringLiteral("C"), {"Cy"}}});
        GamesPanel &g = c.gamesPanel();
        ConsoleFixture::clickRow(g.List1, 1);
        ConsoleFixture::press(g.cmdListsDelete);
        QCOMPARE(c.t.messages.shown.size(), 1);
        QCOMPARE(c.t.messages.shown[0].text, QStringLiteral("Sure you want to delete B"));
        QCOMPARE(c.t.messages.shown[0].style, 36);
        QCOMPARE(c.games(), QStringList({"A|0", "C|1"}));
        QCOMPARE(c.rows(QStringLiteral("select player_name from list_content order by player_name")), QStringList({"Anna", "Cy"}));
        // The first game is selected and its players are shown.
        QCOMPARE(g.selectedIndex(), 0);
        QCOMPARE(c.playersPanel().Label1->text(), QStringLiteral("A"));
        QCOMPARE(ConsoleFixture::texts(c.playersPanel().List2), QStringList{"Anna"});
        QVERIFY(c.playersPanel().isEnabled());
        QVERIFY(!c.fragment().contains(">B<"));
    }

    void deleteOnlyGame()
    {
        ConsoleFixture c({{QStringLiteral("Solo"), {"Anna"}}});
        GamesPanel &g = c.gamesPanel();
        ConsoleFixture::press(g.cmdListsDelete);
        QVERIFY(c.games().isEmpty());
        QVERIFY(c.rows(QStringLiteral("select * from list_content")).isEmpty());
        QCOMPARE(g.List1->count(), 0);
        QVERIFY(!g.txtLists->isEnabled() && !g.cmdListsOk->isEnabled() && !g.cmdListsDelete->isEnabled());
        QVERIFY(g.cmdListsAdd->isEnabled());
        QVERIFY(!c.playersPanel().isEnabled());
        QCOMPARE(c.playersPanel().List2->count(), 0);
        // The board no longer shows the game that has gone.
        QCOMPARE(c.fragment(), QByteArray("<table border='0' width='100%'><tr>\r\n</tr></table>\r\n"));
    }

    void answeringNoChangesNothing()
    {
        ConsoleFixture c({{QStringLiteral("A"), {"Anna"}}, {QStringLiteral("B"), {}}});
        c.t.messages.answers = {MessageBox::No};
        ConsoleFixture::press(c.gamesPanel().cmdListsDelete);
        QCOMPARE(c.t.messages.shown.size(), 1);
        QCOMPARE(c.games(), QStringList({"A|0", "B|1"}));
        QCOMPARE(c.playersOf(QStringLiteral("A")), QStringList{"Anna|0"});
        QCOMPARE(c.gamesPanel().selectedIndex(), 0);
        QCOMPARE(ConsoleFixture::texts(c.playersPanel().List2), QStringList{"Anna"});
        QCOMPARE(c.fragment(), c.startBoard);
    }

    void namesAreStoredAsTyped_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        QTest::newRow("quote") << "Hold'em" << "Hold'em";
        QTest::newRow("markup") << "<b>Big</b> & small" << "<b>Big</b> & small";
        QTest::newRow("statement") << "x' Or '1'='1" << "x' Or '1'='1";
        // A pasted line break would split the board's lines: control characters are dropped.
        QTest::newRow("pasted lines") << "Stud\r\n</td></tr><tr><td>\tX" << "Stud</td></tr><tr><td>X";
    }

    void namesAreStoredAsTyped()
    {
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        ConsoleFixture c;
        ConsoleFixture::press(c.gamesPanel().cmdListsAdd);
        c.gamesPanel().txtLists->setText(typed);
        ConsoleFixture::press(c.gamesPanel().cmdListsOk);
        QCOMPARE(c.rows(QStringLiteral("select list_name from lists")), QStringList{stored});
        QCOMPARE(ConsoleFixture::texts(c.gamesPanel().List1), QStringList{stored});
        QVERIFY(c.fragment().contains("<td class='listhead'>" + stored.toUtf8() + "</td></tr>\r\n"));
    }
};

QTEST_MAIN(TestGamesPanel)
#include "tst_gamespanel.moc"
