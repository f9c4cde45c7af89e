#include "ConsoleFixture.h"
#include "board/Board.h"

#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
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

ListPanel &panel(const ConsoleFixture &c, bool games)
{
    return games ? c.gamesPanel() : c.playersPanel();
}

// The stored rows the panel shows, as "name|order": the games, or Poker's players.
QStringList stored(const ConsoleFixture &c, bool games)
{
    return games ? c.games() : c.playersOf(QStringLiteral("Poker"));
}

QStringList names(const QStringList &rows)
{
    QStringList out;
    for (const QString &row : rows)
        out << row.section(QLatin1Char('|'), 0, 0);
    return out;
}

struct SavedRow { bool games; QString typed, kept, inTheBox; };

// order: the rows before, in their new order
struct MoveRow { bool games; int from; Cmd command; QList<int> order; int selected; };

// players: every player left, by name
struct DeleteRow { bool games; Cmd command; MessageBox::Answer answer; QString asked; QStringList after, players; };

struct ToggleRow { QString name; Cmd toggle; bool adding; QStringList after; };

struct RenameRow { bool games; int row; QString kept; };

} // namespace

class TestListPanel : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void savesNamesAsTheListKeepsThem_data()
    {
        QTest::addColumn<SavedRow>("row");
        QTest::newRow("game") << SavedRow{true, "Stud", "Stud", "Stud"};
        QTest::newRow("game with blanks") << SavedRow{true, " Crazy Pineapple ", " Crazy Pineapple ", " Crazy Pineapple "};
        QTest::newRow("game with quotes and markup") << SavedRow{true, "x' Or '1'='1 <b>&", "x' Or '1'='1 <b>&", "x' Or '1'='1 <b>&"};
        QTest::newRow("game with tags") << SavedRow{true, "Razz<star>", "Razz<star>", "Razz<star>"};
        // A pasted line break would split the board's lines: control characters are dropped.
        QTest::newRow("game pasted")
            << SavedRow{true, "Stud\r\n</td></tr><tr><td>\tX", "Stud</td></tr><tr><td>X", "Stud</td></tr><tr><td>X"};
        QTest::newRow("player trimmed") << SavedRow{false, "  Fred Flint  ", "Fred Flint", "Fred Flint"};
        QTest::newRow("player pasted") << SavedRow{false, "Eve\r\n<tr><td>FAKE\u0000 ", "Eve<tr><td>FAKE", "Eve<tr><td>FAKE"};
        // The lower-case tag typed by the operator is a marker from now on; the other is part of the name.
        QTest::newRow("player with tags") << SavedRow{false, "Max<Star><phone>", "Max<Star><phone>", "Max<Star>"};
        // A blank name is refused (nothing kept) and stays in the box.
        QTest::newRow("game blank") << SavedRow{true, "", "", ""};
        QTest::newRow("player blank") << SavedRow{false, "   ", "", "   "};
    }

    // Insert, the name, Enter: the entry joins at the end and is selected, unless the name is blank.
    void savesNamesAsTheListKeepsThem()
    {
        QFETCH(SavedRow, row);
        const auto &[games, typed, kept, inTheBox] = row;
        ConsoleFixture c(room());
        ListPanel &p = panel(c, games);
        const QStringList before = stored(c, games);
        p.list()->setFocus();
        QTest::keyClick(p.list(), Qt::Key_Insert);
        QCOMPARE(p.selectedRow(), -1);
        QVERIFY(!p.button(Cmd::Delete)->isEnabled() && !p.button(Cmd::MoveUp)->isEnabled());
        QVERIFY(p.nameEdit()->hasFocus() && p.nameEdit()->text().isEmpty());
        // Adding a game leaves the players panel empty and off until it is saved.
        QCOMPARE(c.playersPanel().isEnabled(), !games);

        p.nameEdit()->setText(typed);
        QTest::keyClick(p.nameEdit(), Qt::Key_Return);
        if (kept.isEmpty()) {
            QCOMPARE(c.t.messages.shown.size(), 1);
            QCOMPARE(c.t.messages.shown[0].text, games ? "Game name cannot be blank" : "Player name cannot be blank");
            QCOMPARE(c.t.messages.shown[0].icon, MessageBox::Icon::Warning);
            QCOMPARE(stored(c, games), before);
            QVERIFY(p.nameEdit()->hasFocus() && p.nameEdit()->text() == inTheBox);
            QCOMPARE(c.fragment(), c.startBoard);
            return;
        }
        QCOMPARE(stored(c, games), before + QStringList{kept + QStringLiteral("|%1").arg(before.size())});
        QCOMPARE(ConsoleFixture::texts(p.list()), names(before) << kept);
        QCOMPARE(p.selectedRow(), before.size());
        QCOMPARE(p.nameEdit()->text(), inTheBox);
        QVERIFY(p.list()->hasFocus() && p.button(Cmd::Save)->isEnabled() && p.button(Cmd::Delete)->isEnabled());
        if (games) {
            // The new game's empty list is the one shown.
            QVERIFY(c.playersPanel().isEnabled());
            QCOMPARE(c.playersPanel().titleLabel()->text(), kept);
            QVERIFY(c.fragment().contains("<td class='listhead'>" + kept.toUtf8() + "</td></tr>\r\n"));
        } else {
            QVERIFY(c.fragment().contains("<tr><td>" + boardEntryOf(kept).cell.toUtf8() + "</td></tr>"));
            QCOMPARE(p.pendingMarkers().phone, kept.endsWith(QStringLiteral("<phone>")));
        }
    }

    // Save on a selected entry rewrites it where it stands; a player keeps the markers.
    void renameKeepsThePlace_data()
    {
        QTest::addColumn<RenameRow>("data");
        QTest::newRow("game") << RenameRow{true, 1, " Crazy Pineapple "};
        QTest::newRow("player") << RenameRow{false, 3, "Crazy Pineapple<blink><phone>"};
    }

    void renameKeepsThePlace()
    {
        QFETCH(RenameRow, data);
        const auto &[games, row, kept] = data;
        ConsoleFixture c(room());
        ListPanel &p = panel(c, games);
        QStringList after = stored(c, games);
        after[row] = kept + QStringLiteral("|%1").arg(row);
        ConsoleFixture::clickRow(p.list(), row);
        p.nameEdit()->setText(QStringLiteral(" Crazy Pineapple "));
        ConsoleFixture::press(p.button(Cmd::Save));
        QCOMPARE(stored(c, games), after);
        QCOMPARE(ConsoleFixture::texts(p.list()), names(after));
        QCOMPARE(p.selectedRow(), row);
        if (games) {
            QCOMPARE(c.playersPanel().titleLabel()->text(), kept);
            QCOMPARE(c.playersOf(kept), QStringList({"Olga|0", "Otto|1"}));
        }
    }

    void moves_data()
    {
        QTest::addColumn<MoveRow>("row");
        QTest::newRow("game up") << MoveRow{true, 1, Cmd::MoveUp, {1, 0, 2}, 0};
        QTest::newRow("game down") << MoveRow{true, 0, Cmd::MoveDown, {1, 0, 2}, 1};
        QTest::newRow("game down to the end") << MoveRow{true, 1, Cmd::MoveDown, {0, 2, 1}, 2};
        QTest::newRow("game up on the first") << MoveRow{true, 0, Cmd::MoveUp, {0, 1, 2}, 0};
        QTest::newRow("player up") << MoveRow{false, 1, Cmd::MoveUp, {1, 0, 2, 3, 4}, 0};
        QTest::newRow("player down to the last") << MoveRow{false, 3, Cmd::MoveDown, {0, 1, 2, 4, 3}, 4};
        QTest::newRow("player down on the last") << MoveRow{false, 4, Cmd::MoveDown, {0, 1, 2, 3, 4}, 4};
        QTest::newRow("player to the top") << MoveRow{false, 3, Cmd::MoveToTop, {3, 0, 1, 2, 4}, 0};
    }

    void moves()
    {
        QFETCH(MoveRow, row);
        const auto &[games, from, command, order, selected] = row;
        ConsoleFixture c(room());
        ListPanel &p = panel(c, games);
        const QStringList before = names(stored(c, games));
        ConsoleFixture::clickRow(p.list(), from);
        ConsoleFixture::clickRow(c.playersPanel().list(), 1);
        c.playersPanel().nameEdit()->setText(QStringLiteral("typed"));
        ConsoleFixture::clickRow(p.list(), from);
        p.run(command); // also where the button is off: nothing moves
        if (games) {
            // The players panel keeps what it showed, typed name and selection included.
            QCOMPARE(c.playersPanel().selectedRow(), 1);
            QCOMPARE(c.playersPanel().nameEdit()->text(), QStringLiteral("typed"));
        }
        QStringList after;
        for (int i = 0; i < order.size(); ++i)
            after << before[order[i]] + QStringLiteral("|%1").arg(i);
        QCOMPARE(stored(c, games), after);
        QCOMPARE(ConsoleFixture::texts(p.list()), names(after));
        QCOMPARE(p.selectedRow(), selected);
        QCOMPARE(p.nameEdit()->text(), readMarkers(names(after)[selected]).bareName);
        QCOMPARE(p.button(Cmd::MoveUp)->isEnabled(), selected > 0);
        QCOMPARE(p.button(Cmd::MoveDown)->isEnabled(), selected < order.size() - 1);
        // The board follows the new order.
        const QByteArray board = c.fragment();
        const auto shown = [](const QString &name) { return ">" + boardEntryOf(name).cell.toUtf8() + "<"; };
        QVERIFY(board.indexOf(shown(names(after)[0])) < board.indexOf(shown(names(after)[1])));
    }

    void deletes_data()
    {
        QTest::addColumn<DeleteRow>("row");
        const QStringList everyone{"Anna", "Ben<star>", "Cid", "Dee<blink><phone>", "Eve", "Olga", "Otto"};
        const QStringList poker{"Anna|0", "Ben<star>|1", "Cid|2", "Dee<blink><phone>|3", "Eve|4"};
        QTest::newRow("a game, with its players")
            << DeleteRow{true, Cmd::Delete, MessageBox::Answer::Yes, "Sure you want to delete Poker", {"Omaha|0", "Empty|1"},
                         {"Olga", "Otto"}};
        QTest::newRow("a game, answered no")
            << DeleteRow{true, Cmd::Delete, MessageBox::Answer::No, "Sure you want to delete Poker",
                         {"Poker|0", "Omaha|1", "Empty|2"}, everyone};
        QTest::newRow("a player, without a question")
            << DeleteRow{false, Cmd::Delete, MessageBox::Answer::Yes, {}, {"Ben<star>|0", "Cid|1", "Dee<blink><phone>|2", "Eve|3"},
                         everyone.mid(1)};
        QTest::newRow("all players")
            << DeleteRow{false, Cmd::DeleteAll, MessageBox::Answer::Yes, "Delete ALL players from list", {}, {"Olga", "Otto"}};
        QTest::newRow("all players, answered no")
            << DeleteRow{false, Cmd::DeleteAll, MessageBox::Answer::No, "Delete ALL players from list", poker, everyone};
    }

    void deletes()
    {
        QFETCH(DeleteRow, row);
        auto &[games, command, answer, asked, after, players] = row;
        ConsoleFixture c(room());
        ListPanel &p = panel(c, games);
        c.t.messages.answers = {answer};
        ConsoleFixture::clickRow(p.list(), 0);
        const QString inTheBox = p.nameEdit()->text();
        ConsoleFixture::press(p.button(command));
        QCOMPARE(c.t.messages.shown.size(), asked.isEmpty() ? 0 : 1);
        if (!asked.isEmpty()) {
            QCOMPARE(c.t.messages.shown[0].text, asked);
            QCOMPARE(c.t.messages.shown[0].buttons, MessageBox::Buttons::YesNo);
            QCOMPARE(c.t.messages.shown[0].icon, MessageBox::Icon::Question);
        }
        QCOMPARE(stored(c, games), after);
        QStringList left = c.rows(QStringLiteral("select player_name from list_content"));
        left.sort();
        players.sort();
        QCOMPARE(left, players);
        QCOMPARE(ConsoleFixture::texts(p.list()), names(after));
        const bool deleted = answer == MessageBox::Answer::Yes;
        QCOMPARE(c.fragment() == c.startBoard, !deleted);
        if (!deleted) {
            QCOMPARE(p.selectedRow(), 0);
        } else if (games) {
            // The first game is selected and its players are shown.
            QCOMPARE(p.selectedRow(), 0);
            QVERIFY(p.list()->hasFocus());
            QCOMPARE(c.playersPanel().titleLabel()->text(), QStringLiteral("Omaha"));
            QCOMPARE(ConsoleFixture::texts(c.playersPanel().list()), QStringList({"Olga", "Otto"}));
        } else if (command == Cmd::Delete) {
            // Nothing is selected; the name box and the buttons keep what they showed.
            QCOMPARE(p.selectedRow(), -1);
            QCOMPARE(p.nameEdit()->text(), inTheBox);
            // Save and the markers need a selected player.
            for (Cmd command : {Cmd::Save, Cmd::Blink, Cmd::Star, Cmd::Phone, Cmd::MoveToTop})
                ConsoleFixture::press(p.button(command));
            QCOMPARE(c.t.messages.count(QStringLiteral("Select a player first")), 4);
            QCOMPARE(c.t.messages.shown.last().icon, MessageBox::Icon::Warning);
            QCOMPARE(c.playersOf(QStringLiteral("Poker")), after);
        } else {
            QVERIFY(p.button(Cmd::Add)->isEnabled() && p.button(Cmd::Add)->hasFocus());
            for (Cmd off : {Cmd::Save, Cmd::DeleteAll, Cmd::Delete, Cmd::MoveUp, Cmd::MoveDown, Cmd::MoveToTop, Cmd::Blink, Cmd::Star, Cmd::Phone})
                QVERIFY(!p.button(off)->isEnabled());
            QVERIFY(!p.nameEdit()->isEnabled());
        }
    }

    void deleteOnlyGame()
    {
        ConsoleFixture c({{QStringLiteral("Solo"), {"Anna"}}});
        ListPanel &g = c.gamesPanel();
        ConsoleFixture::press(g.button(Cmd::Delete));
        QVERIFY(c.games().isEmpty() && c.rows(QStringLiteral("select * from list_content")).isEmpty());
        QVERIFY(!g.nameEdit()->isEnabled() && !g.button(Cmd::Save)->isEnabled() && !g.button(Cmd::Delete)->isEnabled());
        QVERIFY(g.button(Cmd::Add)->isEnabled() && !c.playersPanel().isEnabled() && c.playersPanel().model()->rowCount() == 0);
        QCOMPARE(c.fragment(), QByteArray("<table border='0' width='100%'><tr>\r\n</tr></table>\r\n"));
    }

    void selectingAGameShowsItsPlayers()
    {
        ConsoleFixture c(room());
        ListPanel &p = c.playersPanel();
        ConsoleFixture::clickRow(c.gamesPanel().list(), 1);
        QCOMPARE(p.titleLabel()->text(), QStringLiteral("Omaha"));
        QCOMPARE(ConsoleFixture::texts(p.list()), QStringList({"Olga", "Otto"}));
        QCOMPARE(p.selectedRow(), -1);
        QVERIFY(p.button(Cmd::Add)->isEnabled() && p.button(Cmd::DeleteAll)->isEnabled());
        for (Cmd off : {Cmd::Save, Cmd::Delete, Cmd::MoveUp, Cmd::MoveDown, Cmd::MoveToTop, Cmd::Blink, Cmd::Star, Cmd::Phone})
            QVERIFY(!p.button(off)->isEnabled());
        QVERIFY(!p.nameEdit()->isEnabled());
        ConsoleFixture::clickRow(c.gamesPanel().list(), 2);
        QCOMPARE(p.list()->model()->rowCount(), 0);
        QVERIFY(!p.button(Cmd::DeleteAll)->isEnabled());
    }

    // Add, then a click on an entry: a game's Save renames it, a player's adds a copy.
    void addThenSelectThenSave_data()
    {
        QTest::addColumn<bool>("games");
        QTest::addColumn<QStringList>("after");
        QTest::newRow("game") << true << QStringList({"Poker|0", "Omaha!|1", "Empty|2"});
        QTest::newRow("player") << false << QStringList({"Anna|0", "Ben<star>|1", "Cid|2", "Dee<blink><phone>|3", "Eve|4", "Ben!<star>|5"});
    }

    void addThenSelectThenSave()
    {
        QFETCH(bool, games);
        QFETCH(QStringList, after);
        ConsoleFixture c(room());
        ListPanel &p = panel(c, games);
        ConsoleFixture::press(p.button(Cmd::Add));
        ConsoleFixture::clickRow(p.list(), 1);
        p.nameEdit()->setText(p.nameEdit()->text() + QLatin1Char('!'));
        ConsoleFixture::press(p.button(Cmd::Save));
        QCOMPARE(stored(c, games), after);
        QCOMPARE(p.selectedRow(), games ? 1 : 5);
    }

    void toggles_data()
    {
        QTest::addColumn<ToggleRow>("row");
        QTest::newRow("blink on a starred player") << ToggleRow{"Ben<star>", Cmd::Blink, false, {"Ben<blink><star>"}};
        QTest::newRow("blink off again") << ToggleRow{"Ben<blink><star>", Cmd::Blink, false, {"Ben<star>"}};
        QTest::newRow("star on") << ToggleRow{"Anna", Cmd::Star, false, {"Anna<star>"}};
        QTest::newRow("phone off") << ToggleRow{"Dee<blink><phone>", Cmd::Phone, false, {"Dee<blink>"}};
        QTest::newRow("order fixed") << ToggleRow{"Eve<phone><star>", Cmd::Blink, false, {"Eve<blink><star><phone>"}};
        QTest::newRow("duplicates reduced") << ToggleRow{"Ann<star>a<star>", Cmd::Phone, false, {"Anna<star><phone>"}};
        // In the middle of an add the toggle saves a copy at the end, with the stored name.
        QTest::newRow("while adding") << ToggleRow{"Cid", Cmd::Phone, true, {"Cid", "Cid<phone>"}};
    }

    void toggles()
    {
        QFETCH(ToggleRow, row);
        const auto &[name, toggle, adding, after] = row;
        ConsoleFixture c({{QStringLiteral("Poker"), {"First", name, "Last"}}});
        ListPanel &p = c.playersPanel();
        if (adding)
            ConsoleFixture::press(p.button(Cmd::Add));
        ConsoleFixture::clickRow(p.list(), 1);
        // Whatever was typed but not saved gives way to the stored name.
        p.nameEdit()->setText(QStringLiteral("Typed but not saved"));
        ConsoleFixture::press(p.button(toggle));
        QStringList rows{"First|0", after[0] + "|1", "Last|2"};
        if (adding)
            rows << after[1] + "|3";
        QCOMPARE(c.playersOf(QStringLiteral("Poker")), rows);
        QCOMPARE(p.selectedRow(), 1);
        QCOMPARE(p.nameEdit()->text(), readMarkers(after[0]).bareName);
        QCOMPARE(p.pendingMarkers(), readMarkers(after[0]).markers);
        // The marker buttons tell a screen reader which markers the player carries.
        PlayerMarkers markers = readMarkers(after[0]).markers;
        for (const auto &[command, marker] : {std::pair{Cmd::Blink, Marker::Blink}, {Cmd::Star, Marker::Star}, {Cmd::Phone, Marker::Phone}}) {
            QAccessibleInterface *button = QAccessible::queryAccessibleInterface(p.button(command));
            QVERIFY(button->state().checkable);
            QCOMPARE(button->state().checked, flagOf(markers, marker));
            QVERIFY(button->text(QAccessible::Description).endsWith(flagOf(markers, marker) ? "On for this player." : "Off for this player."));
        }
        const BoardEntry shown = boardEntryOf(after.last());
        QVERIFY(c.fragment().contains(("<tr><td>" + (shown.blink ? "<blink>" + shown.cell + "</blink>" : shown.cell)).toUtf8()));
    }

    // Each single command changes the list row by row, and the selection follows the id it touched.
    void listFollowsEachCommand_data()
    {
        QTest::addColumn<bool>("games");
        QTest::newRow("games") << true;
        QTest::newRow("players") << false;
    }

    void listFollowsEachCommand()
    {
        QFETCH(bool, games);
        ConsoleFixture c(room());
        ListPanel &p = panel(c, games);
        const QAbstractItemModel *model = p.list()->model();
        QSignalSpy inserted(model, &QAbstractItemModel::rowsInserted);
        QSignalSpy removed(model, &QAbstractItemModel::rowsRemoved);
        QSignalSpy moved(model, &QAbstractItemModel::rowsMoved);
        QSignalSpy changed(model, &QAbstractItemModel::dataChanged);
        QSignalSpy reset(model, &QAbstractItemModel::modelReset);
        const auto step = [&](const char *what, int in, int out, int move, int change, const std::function<void()> &command) {
            for (QSignalSpy *spy : {&inserted, &removed, &moved, &changed, &reset})
                spy->clear();
            command();
            const QList<int> counts{int(inserted.size()), int(removed.size()), int(moved.size()), int(changed.size()), int(reset.size())};
            QVERIFY2(counts == (QList<int>{in, out, move, change, 0}), what);
        };
        ConsoleFixture::clickRow(p.list(), 1);
        ConsoleFixture::press(p.button(Cmd::Add));
        p.nameEdit()->setText(QStringLiteral("New"));
        step("add", 1, 0, 0, 0, [&] { ConsoleFixture::press(p.button(Cmd::Save)); });
        const qint64 added = p.selectedId();
        QCOMPARE(p.model()->nameOf(added), QStringLiteral("New"));
        QCOMPARE(p.selectedRow(), model->rowCount() - 1);
        step("move up", 0, 0, 1, 0, [&] { ConsoleFixture::press(p.button(Cmd::MoveUp)); });
        QCOMPARE(p.selectedId(), added);
        QCOMPARE(p.selectedRow(), model->rowCount() - 2);
        if (!games) {
            step("to the top", 0, 0, 1, 0, [&] { ConsoleFixture::press(p.button(Cmd::MoveToTop)); });
            QCOMPARE(p.selectedId(), added);
            QCOMPARE(p.selectedRow(), 0);
        }
        const int row = p.selectedRow();
        p.nameEdit()->setText(QStringLiteral("Renamed"));
        step("rename", 0, 0, 0, 1, [&] { ConsoleFixture::press(p.button(Cmd::Save)); });
        QCOMPARE(p.selectedId(), added);
        QCOMPARE(model->index(row, 0).data().toString(), QStringLiteral("Renamed"));
        step("delete", 0, 1, 0, 0, [&] { ConsoleFixture::press(p.button(Cmd::Delete)); });
        QVERIFY(p.model()->rowOf(added) < 0);
        QCOMPARE(p.selectedRow(), games ? 0 : -1);
        step("undo", 1, 0, 0, 0, [&] { c.window().undo(); });
        QCOMPARE(p.selectedId(), added);
        QCOMPARE(p.selectedRow(), row);
        step("redo", 0, 1, 0, 0, [&] { c.window().redo(); });
        QVERIFY(p.model()->rowOf(added) < 0);
        step("undo again", 1, 0, 0, 0, [&] { c.window().undo(); });
        QCOMPARE(p.selectedId(), added);
    }
};

QTEST_MAIN(TestListPanel)
#include "tst_listpanel.moc"
