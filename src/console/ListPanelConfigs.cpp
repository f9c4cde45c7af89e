#include "console/GameEntryDelegate.h"
#include "console/ListPanel.h"
#include "console/PlayerEntryDelegate.h"
#include "room/WaitEstimates.h"

#include <QCoreApplication>
#include <QListView>
#include <QTimer>

namespace tavlo {

using Command = PanelCommand;

namespace {
struct PanelText {
    Q_DECLARE_TR_FUNCTIONS(ListPanel)
};
} // namespace

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
        {Command::MoveUp, QStringLiteral("moveGameUpButton"), QStringLiteral("\u25B2"), 9.75, false, PanelText::tr("Move game up"), 240, 120},
        {Command::MoveDown, QStringLiteral("moveGameDownButton"), QStringLiteral("\u25BC"), 9.75, false, PanelText::tr("Move game down"), 720, 120},
        {Command::Delete, QStringLiteral("deleteGameButton"), QStringLiteral("\u2716"), 11.25, false, PanelText::tr("Delete game"), 2400, 120},
        {Command::Add, QStringLiteral("addGameButton"), QStringLiteral("\u271A"), 11.25, false, PanelText::tr("Add new game"), 3360, 120},
        {Command::Save, QStringLiteral("saveGameButton"), QStringLiteral("\u2714"), 12, true, PanelText::tr("Save game"), 3840, 120},
    };
    c.keys = {
        {Command::Add, PanelText::tr("Add new game"), Qt::Key_Insert},
        {Command::Edit, PanelText::tr("Edit game"), Qt::Key_F2},
        {Command::Save, PanelText::tr("Save game"), {}},
        {Command::Cancel, PanelText::tr("Cancel"), Qt::Key_Escape},
        {Command::Delete, PanelText::tr("Delete game"), Qt::Key_Delete, true},
        {Command::MoveUp, PanelText::tr("Move game up"), QKeySequence(Qt::CTRL | Qt::Key_Up)},
        {Command::MoveDown, PanelText::tr("Move game down"), QKeySequence(Qt::CTRL | Qt::Key_Down)},
    };
    c.blankName = PanelText::tr("Game name cannot be blank");
    c.deleteQuestion = PanelText::tr("Sure you want to delete ");
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
        {Command::MoveUp, QStringLiteral("movePlayerUpButton"), QStringLiteral("\u25B2"), 9.75, false, PanelText::tr("Move player up"), 0, 480},
        {Command::MoveDown, QStringLiteral("movePlayerDownButton"), QStringLiteral("\u25BC"), 9.75, false, PanelText::tr("Move player down"), 480, 480},
        {Command::MoveToTop, QStringLiteral("movePlayerToTopButton"), QStringLiteral("\u21C8"), 9.75, false, PanelText::tr("Move player to top"), 960, 480},
        {Command::Blink, QStringLiteral("blinkButton"), QStringLiteral("\u263A"), 14.25, false, PanelText::tr("Blink ON/OFF"), 2280, 480},
        {Command::Star, QStringLiteral("starButton"), QStringLiteral("\u2605"), 12, false, PanelText::tr("Star symbol ON/OFF"), 2760, 480},
        {Command::Phone, QStringLiteral("phoneButton"), QStringLiteral("\u260E"), 12, false, PanelText::tr("Phone symbol ON/OFF"), 3240, 480},
        {Command::Delete, QStringLiteral("deletePlayerButton"), QStringLiteral("\u2716"), 11.25, false, PanelText::tr("Delete player"), 4560, 480},
        {Command::DeleteAll, QStringLiteral("deleteAllPlayersButton"), QStringLiteral("\u2612"), 12, true, PanelText::tr("Delete ALL players"), 5040, 480},
        {Command::Add, QStringLiteral("addPlayerButton"), QStringLiteral("\u271A"), 11.25, false, PanelText::tr("Add new player"), 6000, 480},
        {Command::Save, QStringLiteral("savePlayerButton"), QStringLiteral("\u2714"), 12, true, PanelText::tr("Save player"), 6480, 480},
    };
    c.keys = {
        {Command::Add, PanelText::tr("Add new player"), Qt::Key_Insert},
        {Command::Edit, PanelText::tr("Edit player"), Qt::Key_F2},
        {Command::Save, PanelText::tr("Save player"), {}},
        {Command::Cancel, PanelText::tr("Cancel"), Qt::Key_Escape},
        {Command::Delete, PanelText::tr("Delete player"), Qt::Key_Delete, true},
        {Command::DeleteAll, PanelText::tr("Delete ALL players"), {}},
        {Command::MoveUp, PanelText::tr("Move player up"), QKeySequence(Qt::CTRL | Qt::Key_Up)},
        {Command::MoveDown, PanelText::tr("Move player down"), QKeySequence(Qt::CTRL | Qt::Key_Down)},
        {Command::MoveToTop, PanelText::tr("Move player to top"), QKeySequence(Qt::CTRL | Qt::Key_Home)},
        {Command::Blink, PanelText::tr("Blink ON/OFF"), QKeySequence(Qt::ALT | Qt::Key_B)},
        {Command::Star, PanelText::tr("Star symbol ON/OFF"), QKeySequence(Qt::ALT | Qt::Key_S)},
        {Command::Phone, PanelText::tr("Phone symbol ON/OFF"), QKeySequence(Qt::ALT | Qt::Key_P)},
    };
    c.blankName = PanelText::tr("Player name cannot be blank");
    c.selectFirst = PanelText::tr("Select a player first");
    c.deleteAllQuestion = PanelText::tr("Delete ALL players from list");
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
