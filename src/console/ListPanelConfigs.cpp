#include "console/GameEntryDelegate.h"
#include "console/ListPanel.h"
#include "console/PlayerEntryDelegate.h"
#include "room/WaitEstimates.h"

#include <QListView>
#include <QTimer>

namespace tavlo {

using Command = PanelCommand;

ListPanelConfig gamesPanelConfig(const WaitEstimates &estimates)
{
    ListPanelConfig c;
    c.kind = RoomListModel::Kind::Games;
    c.objectName = QStringLiteral("gamesPanel");
    c.listName = QStringLiteral("gameList");
    c.nameEditName = QStringLiteral("gameNameEdit");
    c.listTwips = QRect(120, 360, 4575, 2880);
    c.stripTwips = QRect(4800, 120, 975, 4215);
    c.nameEditTwips = QRect(120, 3960, 4575, 375);
    c.buttons = {
        {Command::MoveUp, QStringLiteral("moveGameUpButton"), QStringLiteral("\u25B2"), 9.75, false, ListPanel::tr("Move game up"), 240, 120,
         ListPanel::tr("Move game up"), ListPanel::tr("Moves the selected game one place up.")},
        {Command::MoveDown, QStringLiteral("moveGameDownButton"), QStringLiteral("\u25BC"), 9.75, false, ListPanel::tr("Move game down"), 720, 120,
         ListPanel::tr("Move game down"), ListPanel::tr("Moves the selected game one place down.")},
        {Command::Delete, QStringLiteral("deleteGameButton"), QStringLiteral("\u2716"), 11.25, false, ListPanel::tr("Delete game"), 2400, 120,
         ListPanel::tr("Delete game"), ListPanel::tr("Deletes the selected game and its waiting list, after asking.")},
        {Command::Add, QStringLiteral("addGameButton"), QStringLiteral("\u271A"), 11.25, false, ListPanel::tr("Add new game"), 3360, 120,
         ListPanel::tr("Add new game"), ListPanel::tr("Opens the name box for a new game.")},
        {Command::Save, QStringLiteral("saveGameButton"), QStringLiteral("\u2714"), 12, true, ListPanel::tr("Save game"), 3840, 120,
         ListPanel::tr("Save game"), ListPanel::tr("Saves the name in the name box.")},
    };
    c.keys = {
        {Command::Add, ListPanel::tr("Add new game"), Qt::Key_Insert},
        {Command::Edit, ListPanel::tr("Edit game"), Qt::Key_F2},
        {Command::Save, ListPanel::tr("Save game"), {}},
        {Command::Cancel, ListPanel::tr("Cancel"), Qt::Key_Escape},
        {Command::Delete, ListPanel::tr("Delete game"), Qt::Key_Delete, true},
        {Command::MoveUp, ListPanel::tr("Move game up"), QKeySequence(Qt::CTRL | Qt::Key_Up)},
        {Command::MoveDown, ListPanel::tr("Move game down"), QKeySequence(Qt::CTRL | Qt::Key_Down)},
    };
    c.blankName = ListPanel::tr("Game name cannot be blank");
    c.deleteQuestion = ListPanel::tr("Sure you want to delete ");
    c.leading = true;
    c.setUpList = [&estimates](QListView *list) {
        list->setItemDelegate(new GameEntryDelegate(estimates, list));
        QObject::connect(&estimates, &WaitEstimates::estimatesChanged, list->viewport(), qOverload<>(&QWidget::update));
    };
    return c;
}

ListPanelConfig playersPanelConfig(const Clock &clock)
{
    ListPanelConfig c;
    c.kind = RoomListModel::Kind::Players;
    c.objectName = QStringLiteral("playersPanel");
    c.listName = QStringLiteral("playerList");
    c.nameEditName = QStringLiteral("playerNameEdit");
    c.titleTwips = QRect(240, 450, 4815, 375);
    c.listTwips = QRect(240, 840, 4815, 5730);
    c.stripTwips = QRect(4800, 840, 1335, 7095);
    c.nameEditTwips = QRect(240, 7320, 4815, 375);
    c.buttons = {
        {Command::MoveUp, QStringLiteral("movePlayerUpButton"), QStringLiteral("\u25B2"), 9.75, false, ListPanel::tr("Move player up"), 0, 480,
         ListPanel::tr("Move player up"), ListPanel::tr("Moves the selected player one place up.")},
        {Command::MoveDown, QStringLiteral("movePlayerDownButton"), QStringLiteral("\u25BC"), 9.75, false, ListPanel::tr("Move player down"), 480, 480,
         ListPanel::tr("Move player down"), ListPanel::tr("Moves the selected player one place down.")},
        {Command::MoveToTop, QStringLiteral("movePlayerToTopButton"), QStringLiteral("\u21C8"), 9.75, false, ListPanel::tr("Move player to top"), 960, 480,
         ListPanel::tr("Move player to top"), ListPanel::tr("Moves the selected player to the top of the list.")},
        {Command::Blink, QStringLiteral("blinkButton"), QStringLiteral("\u263A"), 14.25, false, ListPanel::tr("Blink ON/OFF"), 2280, 480,
         ListPanel::tr("Blink"), ListPanel::tr("Makes the selected player's name blink on the large screen, or stop blinking.")},
        {Command::Star, QStringLiteral("starButton"), QStringLiteral("\u2605"), 12, false, ListPanel::tr("Star symbol ON/OFF"), 2760, 480,
         ListPanel::tr("Star"), ListPanel::tr("Puts a star by the selected player's name on the large screen, or takes it away.")},
        {Command::Phone, QStringLiteral("phoneButton"), QStringLiteral("\u260E"), 12, false, ListPanel::tr("Phone symbol ON/OFF"), 3240, 480,
         ListPanel::tr("Phone"), ListPanel::tr("Puts a phone symbol by the selected player's name on the large screen, or takes it away.")},
        {Command::Delete, QStringLiteral("deletePlayerButton"), QStringLiteral("\u2716"), 11.25, false, ListPanel::tr("Delete player"), 4560, 480,
         ListPanel::tr("Delete player"), ListPanel::tr("Takes the selected player off the list.")},
        {Command::DeleteAll, QStringLiteral("deleteAllPlayersButton"), QStringLiteral("\u2612"), 12, true, ListPanel::tr("Delete ALL players"), 5040, 480,
         ListPanel::tr("Delete all players"), ListPanel::tr("Empties the waiting list, after asking.")},
        {Command::Add, QStringLiteral("addPlayerButton"), QStringLiteral("\u271A"), 11.25, false, ListPanel::tr("Add new player"), 6000, 480,
         ListPanel::tr("Add new player"), ListPanel::tr("Opens the name box for a new player.")},
        {Command::Save, QStringLiteral("savePlayerButton"), QStringLiteral("\u2714"), 12, true, ListPanel::tr("Save player"), 6480, 480,
         ListPanel::tr("Save player"), ListPanel::tr("Saves the name in the name box.")},
    };
    c.keys = {
        {Command::Add, ListPanel::tr("Add new player"), Qt::Key_Insert},
        {Command::Edit, ListPanel::tr("Edit player"), Qt::Key_F2},
        {Command::Save, ListPanel::tr("Save player"), {}},
        {Command::Cancel, ListPanel::tr("Cancel"), Qt::Key_Escape},
        {Command::Delete, ListPanel::tr("Delete player"), Qt::Key_Delete, true},
        {Command::DeleteAll, ListPanel::tr("Delete ALL players"), {}},
        {Command::MoveUp, ListPanel::tr("Move player up"), QKeySequence(Qt::CTRL | Qt::Key_Up)},
        {Command::MoveDown, ListPanel::tr("Move player down"), QKeySequence(Qt::CTRL | Qt::Key_Down)},
        {Command::MoveToTop, ListPanel::tr("Move player to top"), QKeySequence(Qt::CTRL | Qt::Key_Home)},
        {Command::Blink, ListPanel::tr("Blink ON/OFF"), QKeySequence(Qt::ALT | Qt::Key_B)},
        {Command::Star, ListPanel::tr("Star symbol ON/OFF"), QKeySequence(Qt::ALT | Qt::Key_S)},
        {Command::Phone, ListPanel::tr("Phone symbol ON/OFF"), QKeySequence(Qt::ALT | Qt::Key_P)},
    };
    c.blankName = ListPanel::tr("Player name cannot be blank");
    c.selectFirst = ListPanel::tr("Select a player first");
    c.deleteAllQuestion = ListPanel::tr("Delete ALL players from list");
    c.setUpList = [&clock](QListView *list) {
        list->setItemDelegate(new PlayerEntryDelegate(clock, list));
        // The times on the list move on by the minute.
        auto *minutes = new QTimer(list);
        minutes->setInterval(60 * 1000);
        QObject::connect(minutes, &QTimer::timeout, list->viewport(), qOverload<>(&QWidget::update));
        minutes->start();
    };
    return c;
}

} // namespace tavlo
