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
        {Command::MoveUp, QStringLiteral("moveGameUpButton"), QStringLiteral("\u25B2"), 9.75, false, QStringLiteral("Move game up"), 240, 120},
        {Command::MoveDown, QStringLiteral("moveGameDownButton"), QStringLiteral("\u25BC"), 9.75, false, QStringLiteral("Move game down"), 720, 120},
        {Command::Delete, QStringLiteral("deleteGameButton"), QStringLiteral("\u2716"), 11.25, false, QStringLiteral("Delete game"), 2400, 120},
        {Command::Add, QStringLiteral("addGameButton"), QStringLiteral("\u271A"), 11.25, false, QStringLiteral("Add new game"), 3360, 120},
        {Command::Save, QStringLiteral("saveGameButton"), QStringLiteral("\u2714"), 12, true, QStringLiteral("Save game"), 3840, 120},
    };
    c.keys = {
        {Command::Add, QStringLiteral("Add new game"), Qt::Key_Insert},
        {Command::Edit, QStringLiteral("Edit game"), Qt::Key_F2},
        {Command::Save, QStringLiteral("Save game"), {}},
        {Command::Cancel, QStringLiteral("Cancel"), Qt::Key_Escape},
        {Command::Delete, QStringLiteral("Delete game"), Qt::Key_Delete, true},
        {Command::MoveUp, QStringLiteral("Move game up"), QKeySequence(Qt::CTRL | Qt::Key_Up)},
        {Command::MoveDown, QStringLiteral("Move game down"), QKeySequence(Qt::CTRL | Qt::Key_Down)},
    };
    c.blankName = QStringLiteral("Game name cannot be blank");
    c.deleteQuestion = QStringLiteral("Sure you want to delete ");
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
        {Command::MoveUp, QStringLiteral("movePlayerUpButton"), QStringLiteral("\u25B2"), 9.75, false, QStringLiteral("Move player up"), 0, 480},
        {Command::MoveDown, QStringLiteral("movePlayerDownButton"), QStringLiteral("\u25BC"), 9.75, false, QStringLiteral("Move player down"), 480, 480},
        {Command::MoveToTop, QStringLiteral("movePlayerToTopButton"), QStringLiteral("\u21C8"), 9.75, false, QStringLiteral("Move player to top"), 960, 480},
        {Command::Call, QStringLiteral("callPlayerButton"), QStringLiteral("\u2691"), 12, false, QObject::tr("Call player"), 1620, 480},
        {Command::Blink, QStringLiteral("blinkButton"), QStringLiteral("\u263A"), 14.25, false, QStringLiteral("Blink ON/OFF"), 2280, 480},
        {Command::Star, QStringLiteral("starButton"), QStringLiteral("\u2605"), 12, false, QStringLiteral("Star symbol ON/OFF"), 2760, 480},
        {Command::Phone, QStringLiteral("phoneButton"), QStringLiteral("\u260E"), 12, false, QStringLiteral("Phone symbol ON/OFF"), 3240, 480},
        {Command::Seat, QStringLiteral("seatPlayerButton"), QStringLiteral("\u2611"), 12, false, QObject::tr("Seat player"), 3900, 480},
        {Command::Delete, QStringLiteral("deletePlayerButton"), QStringLiteral("\u2716"), 11.25, false, QStringLiteral("Delete player"), 4560, 480},
        {Command::DeleteAll, QStringLiteral("deleteAllPlayersButton"), QStringLiteral("\u2612"), 12, true, QStringLiteral("Delete ALL players"), 5040, 480},
        {Command::Add, QStringLiteral("addPlayerButton"), QStringLiteral("\u271A"), 11.25, false, QStringLiteral("Add new player"), 6000, 480},
        {Command::Save, QStringLiteral("savePlayerButton"), QStringLiteral("\u2714"), 12, true, QStringLiteral("Save player"), 6480, 480},
    };
    c.keys = {
        {Command::Add, QStringLiteral("Add new player"), Qt::Key_Insert},
        {Command::Edit, QStringLiteral("Edit player"), Qt::Key_F2},
        {Command::Save, QStringLiteral("Save player"), {}},
        {Command::Cancel, QStringLiteral("Cancel"), Qt::Key_Escape},
        {Command::Delete, QStringLiteral("Delete player"), Qt::Key_Delete, true},
        {Command::DeleteAll, QStringLiteral("Delete ALL players"), {}},
        {Command::MoveUp, QStringLiteral("Move player up"), QKeySequence(Qt::CTRL | Qt::Key_Up)},
        {Command::MoveDown, QStringLiteral("Move player down"), QKeySequence(Qt::CTRL | Qt::Key_Down)},
        {Command::MoveToTop, QStringLiteral("Move player to top"), QKeySequence(Qt::CTRL | Qt::Key_Home)},
        {Command::Blink, QStringLiteral("Blink ON/OFF"), QKeySequence(Qt::ALT | Qt::Key_B)},
        {Command::Star, QStringLiteral("Star symbol ON/OFF"), QKeySequence(Qt::ALT | Qt::Key_S)},
        {Command::Phone, QStringLiteral("Phone symbol ON/OFF"), QKeySequence(Qt::ALT | Qt::Key_P)},
        {Command::Call, QObject::tr("Call player"), QKeySequence(Qt::ALT | Qt::Key_C)},
        {Command::CancelCall, QObject::tr("Cancel call"), QKeySequence(Qt::ALT | Qt::SHIFT | Qt::Key_C)},
        {Command::Seat, QObject::tr("Seat player"), QKeySequence(Qt::ALT | Qt::Key_T)},
        {Command::NoShow, QObject::tr("No-show"), QKeySequence(Qt::ALT | Qt::Key_N)},
        {Command::Away, QObject::tr("Away / back"), QKeySequence(Qt::ALT | Qt::Key_A)},
    };
    c.blankName = QStringLiteral("Player name cannot be blank");
    c.selectFirst = QStringLiteral("Select a player first");
    c.deleteAllQuestion = QStringLiteral("Delete ALL players from list");
    c.setUpList = [&clock](QListView *list) {
        list->setItemDelegate(new PlayerEntryDelegate(clock, list));
        // The times on the list move on by the minute, a call's or an away's by the second: the
        // list is repainted each second only while one shows.
        auto *seconds = new QTimer(list);
        seconds->setInterval(1000);
        int tick = 0;
        QObject::connect(seconds, &QTimer::timeout, list, [list, tick]() mutable {
            const auto *model = qobject_cast<const RoomListModel *>(list->model());
            if (++tick % 60 == 0 || (model && model->showsTimers()))
                list->viewport()->update();
        });
        seconds->start();
    };
    return c;
}

} // namespace tavlo
