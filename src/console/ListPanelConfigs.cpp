#include "console/GameEntryDelegate.h"
#include "console/ListPanel.h"
#include "console/PlayerEntryDelegate.h"
#include "room/Room.h"
#include "room/WaitEstimates.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListView>
#include <QListWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace tavlo {


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
        {PanelCommand::MoveUp, QStringLiteral("moveGameUpButton"), QStringLiteral("\u25B2"), 9.75, false, ListPanel::tr("Move game up"), 240, 120,
         ListPanel::tr("Move game up"), ListPanel::tr("Moves the selected game one place up.")},
        {PanelCommand::MoveDown, QStringLiteral("moveGameDownButton"), QStringLiteral("\u25BC"), 9.75, false, ListPanel::tr("Move game down"), 720, 120,
         ListPanel::tr("Move game down"), ListPanel::tr("Moves the selected game one place down.")},
        {PanelCommand::Delete, QStringLiteral("deleteGameButton"), QStringLiteral("\u2716"), 11.25, false, ListPanel::tr("Delete game"), 2400, 120,
         ListPanel::tr("Delete game"), ListPanel::tr("Deletes the selected game and its waiting list, after asking.")},
        {PanelCommand::Add, QStringLiteral("addGameButton"), QStringLiteral("\u271A"), 11.25, false, ListPanel::tr("Add new game"), 3360, 120,
         ListPanel::tr("Add new game"), ListPanel::tr("Opens the name box for a new game.")},
        {PanelCommand::Save, QStringLiteral("saveGameButton"), QStringLiteral("\u2714"), 12, true, ListPanel::tr("Save game"), 3840, 120,
         ListPanel::tr("Save game"), ListPanel::tr("Saves the name in the name box.")},
    };
    c.keys = {
        {PanelCommand::Add, ListPanel::tr("Add new game"), Qt::Key_Insert},
        {PanelCommand::Edit, ListPanel::tr("Edit game"), Qt::Key_F2},
        {PanelCommand::Save, ListPanel::tr("Save game"), {}},
        {PanelCommand::Cancel, ListPanel::tr("Cancel"), Qt::Key_Escape},
        {PanelCommand::Delete, ListPanel::tr("Delete game"), Qt::Key_Delete, true},
        {PanelCommand::MoveUp, ListPanel::tr("Move game up"), QKeySequence(Qt::CTRL | Qt::Key_Up)},
        {PanelCommand::MoveDown, ListPanel::tr("Move game down"), QKeySequence(Qt::CTRL | Qt::Key_Down)},
        {PanelCommand::Interest, ListPanel::tr("Interest list ON/OFF"), QKeySequence(Qt::ALT | Qt::Key_I)},
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

namespace {

// The games a new player joins: every game with a box, the list's own ticked; Space ticks,
// Enter confirms.
QList<qint64> chooseGames(const Room &room, QWidget *parent, qint64 ownGame)
{
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("chooseGamesDialog"));
    dialog.setWindowTitle(ListPanel::tr("Add to games"));
    auto *games = new QListWidget(&dialog);
    for (const Game &game : room.games()) {
        auto *item = new QListWidgetItem(game.name, games);
        item->setData(Qt::UserRole, game.id);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(game.id == ownGame ? Qt::Checked : Qt::Unchecked);
    }
    games->setCurrentRow(0);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto *layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(ListPanel::tr("The player waits for these games:"), &dialog));
    layout->addWidget(games);
    layout->addWidget(buttons);
    games->setFocus();
    QList<qint64> chosen;
    if (dialog.exec() != QDialog::Accepted)
        return chosen;
    for (int i = 0; i < games->count(); ++i) {
        if (games->item(i)->checkState() == Qt::Checked)
            chosen << games->item(i)->data(Qt::UserRole).toLongLong();
    }
    return chosen;
}

} // namespace

ListPanelConfig playersPanelConfig(const Clock &clock, const Room &room)
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
        {PanelCommand::MoveUp, QStringLiteral("movePlayerUpButton"), QStringLiteral("\u25B2"), 9.75, false, ListPanel::tr("Move player up"), 0, 480,
         ListPanel::tr("Move player up"), ListPanel::tr("Moves the selected player one place up.")},
        {PanelCommand::MoveDown, QStringLiteral("movePlayerDownButton"), QStringLiteral("\u25BC"), 9.75, false, ListPanel::tr("Move player down"), 480, 480,
         ListPanel::tr("Move player down"), ListPanel::tr("Moves the selected player one place down.")},
        {PanelCommand::MoveToTop, QStringLiteral("movePlayerToTopButton"), QStringLiteral("\u21C8"), 9.75, false, ListPanel::tr("Move player to top"), 960, 480,
         ListPanel::tr("Move player to top"), ListPanel::tr("Moves the selected player to the top of the list.")},
        {PanelCommand::Call, QStringLiteral("callPlayerButton"), QStringLiteral("\u2691"), 12, false, ListPanel::tr("Call player"), 1620, 480,
         ListPanel::tr("Call player"), ListPanel::tr("Calls the selected player to a seat, with a countdown.")},
        {PanelCommand::Blink, QStringLiteral("blinkButton"), QStringLiteral("\u263A"), 14.25, false, ListPanel::tr("Blink ON/OFF"), 2280, 480,
         ListPanel::tr("Blink"), ListPanel::tr("Makes the selected player's name blink on the large screen, or stop blinking.")},
        {PanelCommand::Star, QStringLiteral("starButton"), QStringLiteral("\u2605"), 12, false, ListPanel::tr("Star symbol ON/OFF"), 2760, 480,
         ListPanel::tr("Star"), ListPanel::tr("Puts a star by the selected player's name on the large screen, or takes it away.")},
        {PanelCommand::Phone, QStringLiteral("phoneButton"), QStringLiteral("\u260E"), 12, false, ListPanel::tr("Phone symbol ON/OFF"), 3240, 480,
         ListPanel::tr("Phone"), ListPanel::tr("Puts a phone symbol by the selected player's name on the large screen, or takes it away.")},
        {PanelCommand::Seat, QStringLiteral("seatPlayerButton"), QStringLiteral("\u2611"), 12, false, ListPanel::tr("Seat player"), 3900, 480,
         ListPanel::tr("Seat player"), ListPanel::tr("Seats the selected player: the player leaves this list and the player's other lists.")},
        {PanelCommand::Delete, QStringLiteral("deletePlayerButton"), QStringLiteral("\u2716"), 11.25, false, ListPanel::tr("Delete player"), 4560, 480,
         ListPanel::tr("Delete player"), ListPanel::tr("Takes the selected player off the list.")},
        {PanelCommand::DeleteAll, QStringLiteral("deleteAllPlayersButton"), QStringLiteral("\u2612"), 12, true, ListPanel::tr("Delete ALL players"), 5040, 480,
         ListPanel::tr("Delete all players"), ListPanel::tr("Empties the waiting list, after asking.")},
        {PanelCommand::Add, QStringLiteral("addPlayerButton"), QStringLiteral("\u271A"), 11.25, false, ListPanel::tr("Add new player"), 6000, 480,
         ListPanel::tr("Add new player"), ListPanel::tr("Opens the name box for a new player.")},
        {PanelCommand::Save, QStringLiteral("savePlayerButton"), QStringLiteral("\u2714"), 12, true, ListPanel::tr("Save player"), 6480, 480,
         ListPanel::tr("Save player"), ListPanel::tr("Saves the name in the name box.")},
    };
    c.keys = {
        {PanelCommand::Add, ListPanel::tr("Add new player"), Qt::Key_Insert},
        {PanelCommand::Edit, ListPanel::tr("Edit player"), Qt::Key_F2},
        {PanelCommand::Save, ListPanel::tr("Save player"), {}},
        {PanelCommand::Cancel, ListPanel::tr("Cancel"), Qt::Key_Escape},
        {PanelCommand::Delete, ListPanel::tr("Delete player"), Qt::Key_Delete, true},
        {PanelCommand::DeleteAll, ListPanel::tr("Delete ALL players"), {}},
        {PanelCommand::MoveUp, ListPanel::tr("Move player up"), QKeySequence(Qt::CTRL | Qt::Key_Up)},
        {PanelCommand::MoveDown, ListPanel::tr("Move player down"), QKeySequence(Qt::CTRL | Qt::Key_Down)},
        {PanelCommand::MoveToTop, ListPanel::tr("Move player to top"), QKeySequence(Qt::CTRL | Qt::Key_Home)},
        {PanelCommand::Blink, ListPanel::tr("Blink ON/OFF"), QKeySequence(Qt::ALT | Qt::Key_B)},
        {PanelCommand::Star, ListPanel::tr("Star symbol ON/OFF"), QKeySequence(Qt::ALT | Qt::Key_S)},
        {PanelCommand::Phone, ListPanel::tr("Phone symbol ON/OFF"), QKeySequence(Qt::ALT | Qt::Key_P)},
        {PanelCommand::Call, ListPanel::tr("Call player"), QKeySequence(Qt::ALT | Qt::Key_C)},
        {PanelCommand::CancelCall, ListPanel::tr("Cancel call"), QKeySequence(Qt::ALT | Qt::SHIFT | Qt::Key_C)},
        {PanelCommand::Seat, ListPanel::tr("Seat player"), QKeySequence(Qt::ALT | Qt::Key_T)},
        {PanelCommand::NoShow, ListPanel::tr("No-show"), QKeySequence(Qt::ALT | Qt::Key_N)},
        {PanelCommand::Away, ListPanel::tr("Away / back"), QKeySequence(Qt::ALT | Qt::Key_A)},
        {PanelCommand::SeatKeepOthers, ListPanel::tr("Seat player, keep other lists"), QKeySequence(Qt::ALT | Qt::SHIFT | Qt::Key_T)},
        {PanelCommand::SaveToGames, ListPanel::tr("Save player to several games"), QKeySequence(Qt::CTRL | Qt::Key_Return)},
    };
    c.blankName = ListPanel::tr("Player name cannot be blank");
    c.selectFirst = ListPanel::tr("Select a player first");
    c.deleteAllQuestion = ListPanel::tr("Delete ALL players from list");
    c.chooseGames = [&room](QWidget *parent, qint64 ownGame) { return chooseGames(room, parent, ownGame); };
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
