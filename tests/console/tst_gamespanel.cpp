#include "ConsoleFixture.h"

#include <QLabel>
#include <QLineEdit>
#include <QTest>

using namespace tavlo;
using namespace tavlo::test;

class TestGamesPanel : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void addAndSaveAppendsAtTheEnd()
    {
        ConsoleFixture c({{QStringLiteral("Poker"), {"Anna"}}, {QStringLiteral("Omaha"), {}}});
        GamesPanel &g = c.gamesPanel();
        ConsoleFixture::press(g.addButton());
        QCOMPARE(c.gamesPanel().mode(), GamesPanel::Mode::Add);
        QCOMPARE(g.selectedRow(), -1);
        QVERIFY(!g.deleteButton()->isEnabled());
        QVERIFY(!c.playersPanel().isEnabled());
        QVERIFY(c.playersPanel().titleLabel()->text().isEmpty());
        QCOMPARE(c.playersPanel().playerList()->model()->rowCount(), 0);

        QTest::keyClicks(g.nameEdit(), QStringLiteral("Stud"));
        ConsoleFixture::press(g.saveButton());
        QCOMPARE(c.games(), QStringList({"Poker|0", "Omaha|1", "Stud|2"}));
        QCOMPARE(ConsoleFixture::texts(g.gameList()), QStringList({"Poker", "Omaha", "Stud"}));
        QCOMPARE(g.selectedRow(), 2);
        QCOMPARE(g.nameEdit()->text(), QStringLiteral("Stud"));
        QVERIFY(g.nameEdit()->isEnabled() && g.saveButton()->isEnabled());
        QCOMPARE(c.gamesPanel().mode(), GamesPanel::Mode::Edit);
        // The new game's (empty) list is loaded and is the current game.
        QVERIFY(c.playersPanel().isEnabled());
        QCOMPARE(c.playersPanel().titleLabel()->text(), QStringLiteral("Stud"));
        QCOMPARE(c.room().games()[2].id, c.playersPanel().currentGameId());
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
        ConsoleFixture::press(g.addButton());
        QTest::keyClicks(g.nameEdit(), typed);
        ConsoleFixture::press(g.saveButton());
        QCOMPARE(c.t.messages.shown.size(), 1);
        QCOMPARE(c.t.messages.shown[0].text, QStringLiteral("Game name cannot be blank"));
        QCOMPARE(c.t.messages.shown[0].icon, MessageBox::Icon::Warning);
        QCOMPARE(c.games(), QStringList{"Poker|0"});
        QCOMPARE(c.gamesPanel().mode(), GamesPanel::Mode::Add);
        QCOMPARE(g.nameEdit()->text(), typed);
        QVERIFY(g.nameEdit()->hasFocus());
        QCOMPARE(c.fragment(), c.startBoard);
    }

    void renameKeepsPosition()
    {
        ConsoleFixture c({{QStringLiteral("A"), {}}, {QStringLiteral("B"), {}}, {QStringLiteral("C"), {"Zed"}}, {QStringLiteral("D"), {}}});
        GamesPanel &g = c.gamesPanel();
        ConsoleFixture::clickRow(g.gameList(), 2);
        QCOMPARE(g.nameEdit()->text(), QStringLiteral("C"));
        QCOMPARE(c.playersPanel().titleLabel()->text(), QStringLiteral("C"));
        g.nameEdit()->setText(QStringLiteral(" Crazy Pineapple "));
        ConsoleFixture::press(g.saveButton());
        QCOMPARE(c.games(), QStringList({"A|0", "B|1", " Crazy Pineapple |2", "D|3"}));
        QCOMPARE(g.selectedRow(), 2);
        QCOMPARE(g.gameList()->model()->rowCount(), 4);
        QCOMPARE(c.playersOf(QStringLiteral(" Crazy Pineapple ")), QStringList{"Zed|0"});
        QVERIFY(c.fragment().contains("<td class='listhead'> Crazy Pineapple </td>"));
    }

    void enterInTheNameBoxSaves()
    {
        ConsoleFixture c;
        GamesPanel &g = c.gamesPanel();
        // Save is disabled: Enter does nothing.
        QTest::keyClick(g.nameEdit(), Qt::Key_Return);
        QVERIFY(c.games().isEmpty());
        ConsoleFixture::press(g.addButton());
        QTest::keyClicks(g.nameEdit(), QStringLiteral("Razz"));
        QTest::keyClick(g.nameEdit(), Qt::Key_Return);
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
        ConsoleFixture::clickRow(g.gameList(), from);
        ConsoleFixture::press(up ? g.moveUpButton() : g.moveDownButton());
        QCOMPARE(c.games(), order);
        QStringList listed;
        for (const QString &row : order)
            listed << row.section(QLatin1Char('|'), 0, 0);
        QCOMPARE(ConsoleFixture::texts(g.gameList()), listed);
        QCOMPARE(g.selectedRow(), selected);
        QCOMPARE(g.moveUpButton()->isEnabled(), upEnabled);
        QCOMPARE(g.moveDownButton()->isEnabled(), downEnabled);
        QVERIFY(g.deleteButton()->isEnabled());
        QCOMPARE(g.nameEdit()->text(), listed[selected]);
        QVERIFY(g.gameList()->updatesEnabled());
        // The board follows the new order.
        const QByteArray board = c.fragment();
        QVERIFY(board.indexOf(">" + listed[0].toUtf8() + "<") < board.indexOf(">" + listed[1].toUtf8() + "<"));
    }

    void moveDoesNotReloadPlayers()
    {
        ConsoleFixture c({{QStringLiteral("A"), {"Anna", "Ben"}}, {QStringLiteral("B"), {"Xavier"}}});
        GamesPanel &g = c.gamesPanel();
        PlayersPanel &p = c.playersPanel();
        ConsoleFixture::clickRow(p.playerList(), 1);
        p.nameEdit()->setText(QStringLiteral("typed"));
        ConsoleFixture::press(g.moveDownButton());
        QCOMPARE(c.games(), QStringList({"B|0", "A|1"}));
        QCOMPARE(ConsoleFixture::texts(p.playerList()), QStringList({"Anna", "Ben"}));
        QCOMPARE(p.selectedRow(), 1);
        QCOMPARE(p.nameEdit()->text(), QStringLiteral("typed"));
        QCOMPARE(p.titleLabel()->text(), QStringLiteral("A"));
    }

    void deleteTakesThePlayersAlong()
    {
        ConsoleFixture c({{QStringLiteral("A"), {"Anna"}}, {QStringLiteral("B"), {"Ben", "Bo"}}, {QStringLiteral("C"), {"Cy"}}});
        GamesPanel &g = c.gamesPanel();
        ConsoleFixture::clickRow(g.gameList(), 1);
        ConsoleFixture::press(g.deleteButton());
        QCOMPARE(c.t.messages.shown.size(), 1);
        QCOMPARE(c.t.messages.shown[0].text, QStringLiteral("Sure you want to delete B"));
        QCOMPARE(c.t.messages.shown[0].buttons, MessageBox::Buttons::YesNo);
        QCOMPARE(c.t.messages.shown[0].icon, MessageBox::Icon::Question);
        QCOMPARE(c.games(), QStringList({"A|0", "C|1"}));
        QCOMPARE(c.rows(QStringLiteral("select player_name from list_content order by player_name")), QStringList({"Anna", "Cy"}));
        // The first game is selected and its players are shown.
        QCOMPARE(g.selectedRow(), 0);
        QCOMPARE(c.playersPanel().titleLabel()->text(), QStringLiteral("A"));
        QCOMPARE(ConsoleFixture::texts(c.playersPanel().playerList()), QStringList{"Anna"});
        QVERIFY(c.playersPanel().isEnabled());
        QVERIFY(!c.fragment().contains(">B<"));
    }

    void deleteOnlyGame()
    {
        ConsoleFixture c({{QStringLiteral("Solo"), {"Anna"}}});
        GamesPanel &g = c.gamesPanel();
        ConsoleFixture::press(g.deleteButton());
        QVERIFY(c.games().isEmpty());
        QVERIFY(c.rows(QStringLiteral("select * from list_content")).isEmpty());
        QCOMPARE(g.gameList()->model()->rowCount(), 0);
        QVERIFY(!g.nameEdit()->isEnabled() && !g.saveButton()->isEnabled() && !g.deleteButton()->isEnabled());
        QVERIFY(g.addButton()->isEnabled());
        QVERIFY(!c.playersPanel().isEnabled());
        QCOMPARE(c.playersPanel().playerList()->model()->rowCount(), 0);
        // The board no longer shows the game that has gone.
        QCOMPARE(c.fragment(), QByteArray("<table border='0' width='100%'><tr>\r\n</tr></table>\r\n"));
    }

    void answeringNoChangesNothing()
    {
        ConsoleFixture c({{QStringLiteral("A"), {"Anna"}}, {QStringLiteral("B"), {}}});
        c.t.messages.answers = {MessageBox::Answer::No};
        ConsoleFixture::press(c.gamesPanel().deleteButton());
        QCOMPARE(c.t.messages.shown.size(), 1);
        QCOMPARE(c.games(), QStringList({"A|0", "B|1"}));
        QCOMPARE(c.playersOf(QStringLiteral("A")), QStringList{"Anna|0"});
        QCOMPARE(c.gamesPanel().selectedRow(), 0);
        QCOMPARE(ConsoleFixture::texts(c.playersPanel().playerList()), QStringList{"Anna"});
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
        ConsoleFixture::press(c.gamesPanel().addButton());
        c.gamesPanel().nameEdit()->setText(typed);
        ConsoleFixture::press(c.gamesPanel().saveButton());
        QCOMPARE(c.rows(QStringLiteral("select list_name from lists")), QStringList{stored});
        QCOMPARE(ConsoleFixture::texts(c.gamesPanel().gameList()), QStringList{stored});
        QVERIFY(c.fragment().contains("<td class='listhead'>" + stored.toUtf8() + "</td></tr>\r\n"));
    }
};

QTEST_MAIN(TestGamesPanel)
#include "tst_gamespanel.moc"
