#pragma once

#include <QFrame>

class QAction;
class QLineEdit;
class QListView;
class QPushButton;

namespace tavlo {

class GameListModel;
class MessageBox;
class Room;

// The left-hand panel: the games, their name box and buttons. Selecting a game asks the
// players panel to show it; adding and deleting a game blank the players panel first.
class GamesPanel : public QFrame {
    Q_OBJECT
public:
    // What Save does: nothing before Add or a selection, then add a game or rename the selected one.
    enum class Mode { None, Add, Edit };

    GamesPanel(Room &room, MessageBox &messages, QWidget *parent = nullptr);

    QListView *gameList() const { return m_gameList; }
    QLineEdit *nameEdit() const { return m_nameEdit; }
    QPushButton *moveUpButton() const { return m_moveUpButton; }
    QPushButton *moveDownButton() const { return m_moveDownButton; }
    QPushButton *deleteButton() const { return m_deleteButton; }
    QPushButton *addButton() const { return m_addButton; }
    QPushButton *saveButton() const { return m_saveButton; }

    Mode mode() const { return m_mode; }
    int selectedRow() const;
    // The selected game's id, or 0.
    qint64 selectedGameId() const;

    // The list as the window opens: nothing selected, Add ready, the name box closed.
    void showGames();
    // Selects a game (-1: none) as the program does, and updates the panel for it.
    void selectGame(int row);
    int rowOfGame(qint64 gameId) const;

    // The panel's commands with their keys, for the keyboard and the list's context menu.
    QList<QAction *> commands() const { return m_commands; }

public slots:
    void addGame();
    void saveGame();
    void deleteSelectedGame();
    void moveSelectedGameUp();
    void moveSelectedGameDown();
    // F2: into the name box of the selected game.
    void editSelectedGame();
    // Escape: an add is abandoned, an edit goes back to the stored name.
    void cancelEdit();

signals:
    // The players panel should show this game.
    void gameSelected(qint64 gameId, const QString &name);
    void addingGame();
    void deletingGame();

private:
    // Follows the selection: buttons, name box, mode, and (unless a move is under way) the
    // players panel.
    void onSelectionChanged(bool showPlayers = true);
    void showSelectedGamesPlayers();
    void moveSelectedGame(int offset);
    // After another desk's change: the same game selected again where it still exists.
    void keepSelection();
    void showFirstGameAfterDelete();

    Room &m_room;
    MessageBox &m_messages;
    GameListModel *m_model;
    QListView *m_gameList;
    QWidget *m_buttonStrip;
    QLineEdit *m_nameEdit;
    QPushButton *m_moveUpButton;
    QPushButton *m_moveDownButton;
    QPushButton *m_deleteButton;
    QPushButton *m_addButton;
    QPushButton *m_saveButton;
    QList<QAction *> m_commands;
    Mode m_mode = Mode::None;
    qint64 m_selectedBeforeAdd = 0;
    qint64 m_selectedBeforeReset = 0;
    bool m_selecting = false; // the program is changing the selection itself
};

} // namespace tavlo
