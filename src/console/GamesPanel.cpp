#include "console/GamesPanel.h"

#include "base/TextFile.h"
#include "base/Twips.h"
#include "components/BgrColor.h"
#include "console/ConsoleLook.h"
#include "console/GameListModel.h"
#include "console/ListSelection.h"
#include "console/PanelCommand.h"
#include "platform/MessageBox.h"
#include "room/Room.h"

#include <QAction>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QScopedValueRollback>

namespace tavlo {

namespace {

const QString Caption = QStringLiteral("TAVLO");

} // namespace

GamesPanel::GamesPanel(Room &room, MessageBox &messages, QWidget *parent)
    : QFrame(parent)
    , m_room(room)
    , m_messages(messages)
    , m_model(new GameListModel(room, this))
{
    setObjectName(QStringLiteral("gamesPanel"));
    setFrameShape(QFrame::Box);
    setBackground(this, BgrColor(0xFFFFFF).rgb());
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));

    m_gameList = new QListView(this);
    m_gameList->setObjectName(QStringLiteral("gameList"));
    m_gameList->setModel(m_model);
    m_gameList->setGeometry(twipsRect(120, 360, 4575, 2880));
    m_gameList->setFont(consoleFont(12));
    m_gameList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_gameList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // One line each: the view need not measure every entry after each change.
    m_gameList->setUniformItemSizes(true);

    m_buttonStrip = new QWidget(this);
    m_buttonStrip->setGeometry(twipsRect(4800, 120, 975, 4215));
    setBackground(m_buttonStrip, BgrColor(0xFFFFFF).rgb());

    m_moveUpButton = symbolButton(m_buttonStrip, QStringLiteral("moveGameUpButton"), QStringLiteral("\u25B2"), 9.75, false,
                                  QStringLiteral("Move game up"), 240, 120);
    m_moveDownButton = symbolButton(m_buttonStrip, QStringLiteral("moveGameDownButton"), QStringLiteral("\u25BC"), 9.75,
                                    false, QStringLiteral("Move game down"), 720, 120);
    m_deleteButton = symbolButton(m_buttonStrip, QStringLiteral("deleteGameButton"), QStringLiteral("\u2716"), 11.25, false,
                                  QStringLiteral("Delete game"), 2400, 120);
    m_addButton = symbolButton(m_buttonStrip, QStringLiteral("addGameButton"), QStringLiteral("\u271A"), 11.25, false,
                               QStringLiteral("Add new game"), 3360, 120);
    m_saveButton = symbolButton(m_buttonStrip, QStringLiteral("saveGameButton"), QStringLiteral("\u2714"), 12, true,
                                QStringLiteral("Save game"), 3840, 120);

    m_nameEdit = new QLineEdit(this);
    m_nameEdit->setObjectName(QStringLiteral("gameNameEdit"));
    m_nameEdit->setGeometry(twipsRect(120, 3960, 4575, 375));
    m_nameEdit->setFont(consoleFont(12));
    setBackground(m_nameEdit, BgrColor(0xC0FFFF).rgb());

    connect(m_moveUpButton, &QPushButton::clicked, this, &GamesPanel::moveSelectedGameUp);
    connect(m_moveDownButton, &QPushButton::clicked, this, &GamesPanel::moveSelectedGameDown);
    connect(m_deleteButton, &QPushButton::clicked, this, &GamesPanel::deleteSelectedGame);
    connect(m_addButton, &QPushButton::clicked, this, &GamesPanel::addGame);
    connect(m_saveButton, &QPushButton::clicked, this, &GamesPanel::saveGame);
    // Only the operator's selections arrive here; the program runs the handling itself.
    connect(m_gameList->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (!m_selecting)
            onSelectionChanged();
    });
    connect(m_nameEdit, &QLineEdit::returnPressed, this, [this] {
        if (m_saveButton->isEnabled())
            m_saveButton->click();
    });
    connect(m_model, &QAbstractItemModel::modelAboutToBeReset, this, [this] { m_selectedBeforeReset = selectedGameId(); });
    connect(&m_room, &Room::updatedElsewhere, this, &GamesPanel::keepSelection);

    // The same commands from the keyboard, as list editors have them.
    addPanelCommand(this, m_commands, QStringLiteral("Add new game"), Qt::Key_Insert, m_addButton,
                    [this] { addGame(); });
    addPanelCommand(this, m_commands, QStringLiteral("Edit game"), Qt::Key_F2, nullptr, [this] { editSelectedGame(); });
    addPanelCommand(this, m_commands, QStringLiteral("Save game"), {}, m_saveButton, [this] { saveGame(); });
    addPanelCommand(this, m_commands, QStringLiteral("Cancel"), Qt::Key_Escape, nullptr, [this] { cancelEdit(); });
    QAction *remove = addPanelCommand(this, m_commands, QStringLiteral("Delete game"), Qt::Key_Delete, m_deleteButton,
                                      [this] { deleteSelectedGame(); });
    // In the name box Delete deletes characters.
    removeAction(remove);
    remove->setShortcutContext(Qt::WidgetShortcut);
    m_gameList->addAction(remove);
    addPanelCommand(this, m_commands, QStringLiteral("Move game up"), QKeySequence(Qt::CTRL | Qt::Key_Up), m_moveUpButton,
                    [this] { moveSelectedGameUp(); });
    addPanelCommand(this, m_commands, QStringLiteral("Move game down"), QKeySequence(Qt::CTRL | Qt::Key_Down), m_moveDownButton,
                    [this] { moveSelectedGameDown(); });
}

void GamesPanel::keepSelection()
{
    const int row = rowOfGame(m_selectedBeforeReset);
    if (m_selectedBeforeReset != 0 && row < 0) {
        // The game shown was deleted at another desk: as after a delete here.
        emit deletingGame();
        showFirstGameAfterDelete();
        return;
    }
    {
        const QScopedValueRollback guard(m_selecting, true);
        selectRow(m_gameList, row);
    }
    // Only what depends on the position; the name box keeps what the operator typed.
    m_moveUpButton->setEnabled(row > 0);
    m_moveDownButton->setEnabled(row >= 0 && row < m_model->rowCount() - 1);
}

int GamesPanel::rowOfGame(qint64 gameId) const
{
    return m_room.indexOfGame(gameId);
}

void GamesPanel::editSelectedGame()
{
    if (selectedRow() < 0 || !m_nameEdit->isEnabled())
        return;
    m_nameEdit->setFocus();
    m_nameEdit->selectAll();
}

void GamesPanel::cancelEdit()
{
    if (m_mode == Mode::Add) {
        m_nameEdit->clear();
        m_nameEdit->setEnabled(false);
        m_saveButton->setEnabled(false);
        m_mode = Mode::None;
        const int row = rowOfGame(m_selectedBeforeAdd);
        if (row >= 0)
            selectGame(row);
        m_gameList->setFocus();
        return;
    }
    const int selected = selectedRow();
    if (m_mode == Mode::Edit && selected >= 0) {
        m_nameEdit->setText(m_room.games()[selected].name);
        m_gameList->setFocus();
    }
}

int GamesPanel::selectedRow() const
{
    return tavlo::selectedRow(m_gameList);
}

qint64 GamesPanel::selectedGameId() const
{
    return m_model->gameIdAt(selectedRow());
}

void GamesPanel::selectGame(int row)
{
    {
        const QScopedValueRollback guard(m_selecting, true);
        selectRow(m_gameList, row);
    }
    onSelectionChanged();
}

void GamesPanel::onSelectionChanged(bool showPlayers)
{
    const int selected = selectedRow();
    const int count = m_model->rowCount();
    m_moveUpButton->setEnabled(selected > 0);
    m_moveDownButton->setEnabled(selected >= 0 && selected < count - 1);
    m_deleteButton->setEnabled(selected >= 0);
    if (selected >= 0) {
        m_nameEdit->setText(m_room.games()[selected].name);
        m_nameEdit->setEnabled(true);
        m_saveButton->setEnabled(true);
        m_mode = Mode::Edit;
    }
    if (showPlayers)
        showSelectedGamesPlayers();
}

void GamesPanel::showSelectedGamesPlayers()
{
    const int selected = selectedRow();
    if (selected < 0)
        return;
    const Game &game = m_room.games()[selected];
    emit gameSelected(game.id, game.name);
}

void GamesPanel::showGames()
{
    selectGame(-1);
    m_addButton->setEnabled(true);
    m_saveButton->setEnabled(false);
    m_nameEdit->clear();
    m_nameEdit->setEnabled(false);
}

void GamesPanel::addGame()
{
    m_selectedBeforeAdd = selectedGameId();
    emit addingGame();
    m_saveButton->setEnabled(true);
    m_nameEdit->setEnabled(true);
    m_nameEdit->clear();
    m_mode = Mode::Add;
    selectGame(-1);
    m_nameEdit->setFocus();
}

void GamesPanel::saveGame()
{
    const QString typed = withoutControlCharacters(m_nameEdit->text());
    if (trimBlanks(typed).isEmpty()) {
        m_messages.show(QStringLiteral("Game name cannot be blank"), MessageBox::Icon::Warning, MessageBox::Buttons::Ok, Caption);
        m_nameEdit->setFocus();
        return;
    }
    const int selected = selectedRow();
    int savedRow = -1;
    if (m_mode == Mode::Add) {
        // A game's name is kept as typed, blanks included.
        if (!m_room.addGame(typed))
            return;
        savedRow = int(m_room.games().size()) - 1;
    } else if (m_mode == Mode::Edit && selected >= 0) {
        if (!m_room.renameGame(m_model->gameIdAt(selected), typed))
            return;
        savedRow = selected;
    } else {
        return;
    }
    m_nameEdit->clear();
    m_nameEdit->setEnabled(false);
    m_saveButton->setEnabled(false);
    m_mode = Mode::Edit;
    selectGame(savedRow);
    m_gameList->setFocus();
}

void GamesPanel::deleteSelectedGame()
{
    const int selected = selectedRow();
    if (selected < 0)
        return;
    const Game game = m_room.games()[selected];
    if (m_messages.show(QStringLiteral("Sure you want to delete ") + game.name, MessageBox::Icon::Question, MessageBox::Buttons::YesNo,
                        Caption)
        == MessageBox::Answer::No)
        return;
    emit deletingGame();
    if (!m_room.deleteGame(game.id))
        return;
    showFirstGameAfterDelete();
    m_gameList->setFocus();
}

void GamesPanel::showFirstGameAfterDelete()
{
    m_deleteButton->setEnabled(false);
    m_saveButton->setEnabled(false);
    m_nameEdit->clear();
    m_nameEdit->setEnabled(false);
    if (m_model->rowCount() > 0)
        selectGame(0);
}

void GamesPanel::moveSelectedGameUp()
{
    moveSelectedGame(-1);
}

void GamesPanel::moveSelectedGameDown()
{
    moveSelectedGame(+1);
}

void GamesPanel::moveSelectedGame(int offset)
{
    const int from = selectedRow();
    const int to = from + offset;
    if (from < 0 || to < 0 || to >= m_model->rowCount())
        return;
    m_gameList->setUpdatesEnabled(false);
    if (m_room.moveGame(m_model->gameIdAt(from), offset)) {
        // The moved game stays selected; the players panel keeps what it shows.
        const QScopedValueRollback guard(m_selecting, true);
        selectRow(m_gameList, to);
    }
    onSelectionChanged(false);
    m_gameList->setUpdatesEnabled(true);
}

} // namespace tavlo
