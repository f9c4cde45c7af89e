#pragma once

#include "board/PlayerMarkers.h"

#include <QFrame>

class QAction;
class QLabel;
class QLineEdit;
class QListView;
class QPushButton;

namespace tavlo {

class Clock;
class MessageBox;
class PlayerListModel;
class Room;

// The right-hand panel: the current game's waiting list, its name box and buttons, and the
// three marker toggles.
class PlayersPanel : public QFrame {
    Q_OBJECT
public:
    // What Save does: nothing before a game is shown, then add a player or rewrite the selected one.
    enum class Mode { None, Add, Edit };

    PlayersPanel(Room &room, MessageBox &messages, const Clock &clock, QWidget *parent = nullptr);

    QListView *playerList() const { return m_playerList; }
    QLineEdit *nameEdit() const { return m_nameEdit; }
    QLabel *titleLabel() const { return m_titleLabel; }
    QPushButton *moveUpButton() const { return m_moveUpButton; }
    QPushButton *moveDownButton() const { return m_moveDownButton; }
    QPushButton *moveToTopButton() const { return m_moveToTopButton; }
    QPushButton *blinkButton() const { return m_blinkButton; }
    QPushButton *starButton() const { return m_starButton; }
    QPushButton *phoneButton() const { return m_phoneButton; }
    QPushButton *deleteButton() const { return m_deleteButton; }
    QPushButton *deleteAllButton() const { return m_deleteAllButton; }
    QPushButton *addButton() const { return m_addButton; }
    QPushButton *saveButton() const { return m_saveButton; }

    Mode mode() const { return m_mode; }
    // The markers Save will give the player in the name box.
    PlayerMarkers pendingMarkers() const { return m_markers; }
    qint64 currentGameId() const { return m_currentGameId; }
    int selectedRow() const;
    int playerCount() const;

    // Shows a game's waiting list and makes it the current game; nothing is selected.
    void showGame(qint64 gameId, const QString &gameName);
    // Follows the selection: buttons, name box and markers.
    void onSelectionChanged();
    // Selects a player (-1: none) as the program does, and updates the panel for it.
    void selectPlayer(int row);
    int rowOfPlayer(qint64 playerId) const;

    // The panel's commands with their keys, for the keyboard and the list's context menu.
    QList<QAction *> commands() const { return m_commands; }

    // What the games panel's Add leaves: an empty, disabled panel.
    void blankForNewGame();
    // What the games panel's Delete leaves: an empty panel with every player button off.
    void blankForDeletedGame();

public slots:
    void addPlayer();
    void savePlayer();
    void deleteSelectedPlayer();
    void deleteAllPlayers();
    void moveSelectedPlayerUp();
    void moveSelectedPlayerDown();
    void moveSelectedPlayerToTop();
    void toggleBlink();
    void toggleStar();
    void togglePhone();
    // F2: into the name box of the selected player.
    void editSelectedPlayer();
    // Escape: an add is abandoned, an edit goes back to the stored name.
    void cancelEdit();

private:
    void moveSelectedPlayer(int offset);
    void toggleMarker(Marker marker);
    void clearNameEdit();
    // After another desk's change: the same player selected again where it still exists.
    void keepSelection();

    Room &m_room;
    MessageBox &m_messages;
    PlayerListModel *m_model;
    QLabel *m_titleLabel;
    QListView *m_playerList;
    QWidget *m_buttonStrip;
    QLineEdit *m_nameEdit;
    QPushButton *m_moveUpButton;
    QPushButton *m_moveDownButton;
    QPushButton *m_moveToTopButton;
    QPushButton *m_blinkButton;
    QPushButton *m_starButton;
    QPushButton *m_phoneButton;
    QPushButton *m_deleteButton;
    QPushButton *m_deleteAllButton;
    QPushButton *m_addButton;
    QPushButton *m_saveButton;
    QList<QAction *> m_commands;
    Mode m_mode = Mode::None;
    qint64 m_selectedBeforeAdd = 0;
    qint64 m_selectedBeforeReset = 0;
    PlayerMarkers m_markers;
    qint64 m_currentGameId = 0;
    bool m_selecting = false; // the program is changing the selection itself
};

} // namespace tavlo
