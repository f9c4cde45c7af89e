#include "console/PlayersPanel.h"

#include "base/TextFile.h"
#include "base/Twips.h"
#include "components/BgrColor.h"
#include "console/ConsoleLook.h"
#include "console/ListSelection.h"
#include "console/PanelCommand.h"
#include "console/PlayerEntryDelegate.h"
#include "console/PlayerListModel.h"
#include "platform/MessageBox.h"
#include "room/Room.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QTimer>

namespace tavlo {

namespace {

const QString Caption = QStringLiteral("TAVLO");

} // namespace

PlayersPanel::PlayersPanel(Room &room, MessageBox &messages, const Clock &clock, QWidget *parent)
    : QFrame(parent)
    , m_room(room)
    , m_messages(messages)
    , m_model(new PlayerListModel(room, this))
{
    setObjectName(QStringLiteral("playersPanel"));
    setFrameShape(QFrame::Box);
    setBackground(this, BgrColor(0xFFFFFF).rgb());
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));

    m_titleLabel = new QLabel(this);
    m_titleLabel->setObjectName(QStringLiteral("titleLabel"));
    m_titleLabel->setGeometry(twipsRect(240, 450, 4815, 375));
    m_titleLabel->setFont(consoleFont(12, true));
    setBackground(m_titleLabel, BgrColor(0x404040).rgb());
    setForeground(m_titleLabel, BgrColor(0xFFFFFF).rgb());

    m_playerList = new QListView(this);
    m_playerList->setObjectName(QStringLiteral("playerList"));
    m_playerList->setModel(m_model);
    m_playerList->setGeometry(twipsRect(240, 840, 4815, 5730));
    m_playerList->setFont(consoleFont(12));
    m_playerList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_playerList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // One line each: the view need not measure every entry after each change.
    m_playerList->setUniformItemSizes(true);
    m_playerList->setItemDelegate(new PlayerEntryDelegate(clock, m_playerList));
    // The times on the list move on by the minute.
    auto *minutes = new QTimer(this);
    minutes->setInterval(60 * 1000);
    connect(minutes, &QTimer::timeout, m_playerList->viewport(), qOverload<>(&QWidget::update));
    minutes->start();

    m_buttonStrip = new QWidget(this);
    m_buttonStrip->setGeometry(twipsRect(4800, 840, 1335, 7095));
    setBackground(m_buttonStrip, BgrColor(0xFFFFFF).rgb());

    m_moveUpButton = symbolButton(m_buttonStrip, QStringLiteral("movePlayerUpButton"), QStringLiteral("\u25B2"), 9.75, false,
                                  QStringLiteral("Move player up"), 0, 480);
    m_moveDownButton = symbolButton(m_buttonStrip, QStringLiteral("movePlayerDownButton"), QStringLiteral("\u25BC"), 9.75,
                                    false, QStringLiteral("Move player down"), 480, 480);
    m_moveToTopButton = symbolButton(m_buttonStrip, QStringLiteral("movePlayerToTopButton"), QStringLiteral("\u21C8"), 9.75,
                                     false, QStringLiteral("Move player to top"), 960, 480);
    m_blinkButton = symbolButton(m_buttonStrip, QStringLiteral("blinkButton"), QStringLiteral("\u263A"), 14.25, false,
                                 QStringLiteral("Blink ON/OFF"), 2280, 480);
    m_starButton = symbolButton(m_buttonStrip, QStringLiteral("starButton"), QStringLiteral("\u2605"), 12, false,
                                QStringLiteral("Star symbol ON/OFF"), 2760, 480);
    m_phoneButton = symbolButton(m_buttonStrip, QStringLiteral("phoneButton"), QStringLiteral("\u260E"), 12, false,
                                 QStringLiteral("Phone symbol ON/OFF"), 3240, 480);
    m_deleteButton = symbolButton(m_buttonStrip, QStringLiteral("deletePlayerButton"), QStringLiteral("\u2716"), 11.25,
                                  false, QStringLiteral("Delete player"), 4560, 480);
    m_deleteAllButton = symbolButton(m_buttonStrip, QStringLiteral("deleteAllPlayersButton"), QStringLiteral("\u2612"), 12,
                                     true, QStringLiteral("Delete ALL players"), 5040, 480);
    m_addButton = symbolButton(m_buttonStrip, QStringLiteral("addPlayerButton"), QStringLiteral("\u271A"), 11.25, false,
                               QStringLiteral("Add new player"), 6000, 480);
    m_saveButton = symbolButton(m_buttonStrip, QStringLiteral("savePlayerButton"), QStringLiteral("\u2714"), 12, true,
                                QStringLiteral("Save player"), 6480, 480);

    m_nameEdit = new QLineEdit(this);
    m_nameEdit->setObjectName(QStringLiteral("playerNameEdit"));
    m_nameEdit->setGeometry(twipsRect(240, 7320, 4815, 375));
    m_nameEdit->setFont(consoleFont(12));
    setBackground(m_nameEdit, BgrColor(0xC0FFFF).rgb());

    // The list sits above the button strip where the two overlap.
    m_buttonStrip->lower();

    connect(m_moveUpButton, &QPushButton::clicked, this, &PlayersPanel::moveSelectedPlayerUp);
    connect(m_moveDownButton, &QPushButton::clicked, this, &PlayersPanel::moveSelectedPlayerDown);
    connect(m_moveToTopButton, &QPushButton::clicked, this, &PlayersPanel::moveSelectedPlayerToTop);
    connect(m_blinkButton, &QPushButton::clicked, this, &PlayersPanel::toggleBlink);
    connect(m_starButton, &QPushButton::clicked, this, &PlayersPanel::toggleStar);
    connect(m_phoneButton, &QPushButton::clicked, this, &PlayersPanel::togglePhone);
    connect(m_deleteButton, &QPushButton::clicked, this, &PlayersPanel::deleteSelectedPlayer);
    connect(m_deleteAllButton, &QPushButton::clicked, this, &PlayersPanel::deleteAllPlayers);
    connect(m_addButton, &QPushButton::clicked, this, &PlayersPanel::addPlayer);
    connect(m_saveButton, &QPushButton::clicked, this, &PlayersPanel::savePlayer);
    // Only the operator's selections arrive here; the program runs the handling itself.
    connect(m_playerList->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (!m_selecting)
            onSelectionChanged();
    });
    connect(m_nameEdit, &QLineEdit::returnPressed, this, [this] {
        if (m_saveButton->isEnabled())
            m_saveButton->click();
    });
    connect(m_model, &QAbstractItemModel::modelAboutToBeReset, this,
            [this] { m_selectedBeforeReset = m_model->playerIdAt(selectedRow()); });
    connect(&m_room, &Room::updatedElsewhere, this, &PlayersPanel::keepSelection);

    // The same commands from the keyboard, as list editors have them.
    addPanelCommand(this, m_commands, QStringLiteral("Add new player"), Qt::Key_Insert, m_addButton,
                    [this] { addPlayer(); });
    addPanelCommand(this, m_commands, QStringLiteral("Edit player"), Qt::Key_F2, nullptr,
                    [this] { editSelectedPlayer(); });
    addPanelCommand(this, m_commands, QStringLiteral("Save player"), {}, m_saveButton, [this] { savePlayer(); });
    addPanelCommand(this, m_commands, QStringLiteral("Cancel"), Qt::Key_Escape, nullptr, [this] { cancelEdit(); });
    QAction *remove = addPanelCommand(this, m_commands, QStringLiteral("Delete player"), Qt::Key_Delete, m_deleteButton,
                                      [this] { deleteSelectedPlayer(); });
    // In the name box Delete deletes characters.
    removeAction(remove);
    remove->setShortcutContext(Qt::WidgetShortcut);
    m_playerList->addAction(remove);
    addPanelCommand(this, m_commands, QStringLiteral("Delete ALL players"), {}, m_deleteAllButton,
                    [this] { deleteAllPlayers(); });
    addPanelCommand(this, m_commands, QStringLiteral("Move player up"), QKeySequence(Qt::CTRL | Qt::Key_Up), m_moveUpButton,
                    [this] { moveSelectedPlayerUp(); });
    addPanelCommand(this, m_commands, QStringLiteral("Move player down"), QKeySequence(Qt::CTRL | Qt::Key_Down), m_moveDownButton,
                    [this] { moveSelectedPlayerDown(); });
    addPanelCommand(this, m_commands, QStringLiteral("Move player to top"), QKeySequence(Qt::CTRL | Qt::Key_Home), m_moveToTopButton,
                    [this] { moveSelectedPlayerToTop(); });
    addPanelCommand(this, m_commands, QStringLiteral("Blink ON/OFF"), QKeySequence(Qt::ALT | Qt::Key_B), m_blinkButton,
                    [this] { toggleBlink(); });
    addPanelCommand(this, m_commands, QStringLiteral("Star symbol ON/OFF"), QKeySequence(Qt::ALT | Qt::Key_S), m_starButton,
                    [this] { toggleStar(); });
    addPanelCommand(this, m_commands, QStringLiteral("Phone symbol ON/OFF"), QKeySequence(Qt::ALT | Qt::Key_P), m_phoneButton,
                    [this] { togglePhone(); });
}

void PlayersPanel::keepSelection()
{
    const Game *game = m_room.game(m_currentGameId);
    if (!game || !isEnabled())
        return; // the games panel blanks this panel when its game has gone
    m_titleLabel->setText(game->name);
    const int row = rowOfPlayer(m_selectedBeforeReset);
    if (m_selectedBeforeReset != 0 && row < 0) {
        // The player selected here was removed at another desk.
        selectPlayer(-1);
        m_deleteAllButton->setEnabled(playerCount() > 0);
        return;
    }
    {
        const QScopedValueRollback guard(m_selecting, true);
        selectRow(m_playerList, row);
    }
    // Only what depends on the position; the name box keeps what the operator typed.
    m_moveUpButton->setEnabled(row > 0);
    m_moveToTopButton->setEnabled(row > 0);
    m_moveDownButton->setEnabled(row >= 0 && row < playerCount() - 1);
    m_deleteAllButton->setEnabled(playerCount() > 0);
}

int PlayersPanel::rowOfPlayer(qint64 playerId) const
{
    return m_model->rowOfPlayer(playerId);
}

void PlayersPanel::editSelectedPlayer()
{
    if (selectedRow() < 0 || !m_nameEdit->isEnabled())
        return;
    m_nameEdit->setFocus();
    m_nameEdit->selectAll();
}

void PlayersPanel::cancelEdit()
{
    if (m_mode == Mode::Add) {
        m_mode = Mode::Edit;
        selectPlayer(rowOfPlayer(m_selectedBeforeAdd));
        m_playerList->setFocus();
        return;
    }
    const int selected = selectedRow();
    if (selected >= 0) {
        // The stored name and markers again, whatever was typed.
        onSelectionChanged();
        m_playerList->setFocus();
    }
}

int PlayersPanel::selectedRow() const
{
    return tavlo::selectedRow(m_playerList);
}

int PlayersPanel::playerCount() const
{
    return m_model->rowCount();
}

void PlayersPanel::selectPlayer(int row)
{
    {
        const QScopedValueRollback guard(m_selecting, true);
        selectRow(m_playerList, row);
    }
    onSelectionChanged();
}

void PlayersPanel::clearNameEdit()
{
    m_nameEdit->clear();
    m_nameEdit->setEnabled(false);
}

void PlayersPanel::showGame(qint64 gameId, const QString &gameName)
{
    setEnabled(true);
    m_currentGameId = gameId;
    m_titleLabel->setText(gameName);
    {
        const QScopedValueRollback guard(m_selecting, true);
        m_model->setGame(gameId);
        selectRow(m_playerList, -1);
    }
    m_mode = Mode::Edit;
    onSelectionChanged();
    m_addButton->setEnabled(true);
    m_saveButton->setEnabled(false);
    clearNameEdit();
    m_deleteAllButton->setEnabled(playerCount() > 0);
}

void PlayersPanel::onSelectionChanged()
{
    const int selected = selectedRow();
    m_moveUpButton->setEnabled(selected > 0);
    m_moveToTopButton->setEnabled(selected > 0);
    m_moveDownButton->setEnabled(selected >= 0 && selected < playerCount() - 1);
    m_markers = {};
    const bool any = selected >= 0;
    for (QPushButton *button : {m_blinkButton, m_phoneButton, m_starButton, m_deleteButton, m_saveButton})
        button->setEnabled(any);
    if (any) {
        const MarkedName marked = readMarkers(m_model->storedNameAt(selected));
        m_markers = marked.markers;
        m_nameEdit->setText(marked.bareName);
        m_nameEdit->setEnabled(true);
    } else {
        clearNameEdit();
    }
}

void PlayersPanel::addPlayer()
{
    m_selectedBeforeAdd = m_model->playerIdAt(selectedRow());
    m_markers = {};
    m_mode = Mode::Add;
    selectPlayer(-1);
    m_saveButton->setEnabled(true);
    m_nameEdit->setEnabled(true);
    m_nameEdit->clear();
    m_nameEdit->setFocus();
}

void PlayersPanel::savePlayer()
{
    const QString typed = withoutControlCharacters(m_nameEdit->text());
    if (trimBlanks(typed).isEmpty()) {
        m_messages.show(QStringLiteral("Player name cannot be blank"), MessageBox::Icon::Warning, MessageBox::Buttons::Ok, Caption);
        m_nameEdit->setFocus();
        return;
    }
    const int selected = selectedRow();
    if (m_mode == Mode::Edit && selected < 0) {
        // After a single delete nothing is selected: there is no player to rewrite.
        m_messages.show(QStringLiteral("Select a player first"), MessageBox::Icon::Warning, MessageBox::Buttons::Ok, Caption);
        return;
    }
    const QString name = writeMarkers(typed, m_markers);
    int savedRow = -1;
    if (m_mode == Mode::Add) {
        if (!m_room.addPlayer(m_currentGameId, name))
            return;
        savedRow = playerCount() - 1;
    } else if (m_mode == Mode::Edit) {
        if (!m_room.updatePlayer(m_currentGameId, m_model->playerIdAt(selected), name))
            return;
        savedRow = selected;
    } else {
        return;
    }
    m_deleteAllButton->setEnabled(true);
    m_mode = Mode::Edit;
    selectPlayer(savedRow);
    m_playerList->setFocus();
}

void PlayersPanel::deleteSelectedPlayer()
{
    const int selected = selectedRow();
    if (selected < 0)
        return;
    // Nothing else changes: the name box and the buttons keep what they showed.
    const QScopedValueRollback guard(m_selecting, true);
    m_room.deletePlayer(m_currentGameId, m_model->playerIdAt(selected));
}

void PlayersPanel::deleteAllPlayers()
{
    if (playerCount() == 0 || m_currentGameId == 0)
        return;
    if (m_messages.show(QStringLiteral("Delete ALL players from list"), MessageBox::Icon::Question, MessageBox::Buttons::YesNo, Caption)
        == MessageBox::Answer::No)
        return;
    if (!m_room.deleteAllPlayers(m_currentGameId))
        return;
    for (QPushButton *button : {m_deleteAllButton, m_deleteButton, m_blinkButton, m_phoneButton, m_starButton,
                                m_moveToTopButton, m_moveUpButton, m_moveDownButton})
        button->setEnabled(false);
    m_addButton->setEnabled(true);
    m_saveButton->setEnabled(false);
    clearNameEdit();
    m_addButton->setFocus();
}

void PlayersPanel::moveSelectedPlayerUp()
{
    moveSelectedPlayer(-1);
}

void PlayersPanel::moveSelectedPlayerDown()
{
    moveSelectedPlayer(+1);
}

void PlayersPanel::moveSelectedPlayer(int offset)
{
    const int from = selectedRow();
    const int to = from + offset;
    if (from < 0 || to < 0 || to >= playerCount())
        return;
    m_playerList->setUpdatesEnabled(false);
    if (m_room.movePlayer(m_currentGameId, m_model->playerIdAt(from), offset))
        selectPlayer(to);
    m_playerList->setUpdatesEnabled(true);
}

void PlayersPanel::moveSelectedPlayerToTop()
{
    const int from = selectedRow();
    if (from < 0)
        return;
    m_playerList->setUpdatesEnabled(false);
    if (m_room.movePlayerToTop(m_currentGameId, m_model->playerIdAt(from))) {
        selectPlayer(0);
        m_playerList->setFocus();
    }
    m_playerList->setUpdatesEnabled(true);
}

void PlayersPanel::toggleBlink()
{
    toggleMarker(Marker::Blink);
}

void PlayersPanel::toggleStar()
{
    toggleMarker(Marker::Star);
}

void PlayersPanel::togglePhone()
{
    toggleMarker(Marker::Phone);
}

void PlayersPanel::toggleMarker(Marker marker)
{
    const int selected = selectedRow();
    if (selected < 0) {
        m_messages.show(QStringLiteral("Select a player first"), MessageBox::Icon::Warning, MessageBox::Buttons::Ok, Caption);
        return;
    }
    const bool found = m_model->storedNameAt(selected).contains(tagOf(marker));
    // Whatever was typed but not saved gives way to the stored name.
    onSelectionChanged();
    flagOf(m_markers, marker) = !found;
    savePlayer();
    selectPlayer(selected);
}

void PlayersPanel::blankForNewGame()
{
    m_titleLabel->clear();
    {
        const QScopedValueRollback guard(m_selecting, true);
        m_model->setGame(0);
    }
    onSelectionChanged();
    m_addButton->setEnabled(false);
    m_saveButton->setEnabled(false);
    m_deleteAllButton->setEnabled(false);
    clearNameEdit();
    setEnabled(false);
}

void PlayersPanel::blankForDeletedGame()
{
    {
        const QScopedValueRollback guard(m_selecting, true);
        m_model->setGame(0);
    }
    m_titleLabel->clear();
    for (QPushButton *button : {m_deleteAllButton, m_deleteButton, m_blinkButton, m_phoneButton, m_starButton,
                                m_moveToTopButton, m_moveUpButton, m_moveDownButton, m_addButton, m_saveButton})
        button->setEnabled(false);
    clearNameEdit();
    setEnabled(false);
}

} // namespace tavlo
