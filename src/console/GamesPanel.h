#pragma once

#include <QFrame>

class QLineEdit;
class QListWidget;
class QPushButton;

namespace tavlo {

struct WindowState;
struct Platform;
class PlayersPanel;

// The left-hand panel (Frame1): the games, their name box and buttons. Selecting a game
// makes the players panel load it. The handlers throw StoreError; the button connections
// report it.
class GamesPanel : public QFrame {
    Q_OBJECT
public:
    GamesPanel(WindowState &state, const Platform &platform, PlayersPanel &players, QWidget *parent = nullptr);

    QListWidget *List1;
    QWidget *Picture1;
    QLineEdit *txtLists;
    QPushButton *cmdListsUp;
    QPushButton *cmdListsDown;
    QPushButton *cmdListsDelete;
    QPushButton *cmdListsAdd;
    QPushButton *cmdListsOk;

    void cmdListsAdd_Click();
    void cmdListsOk_Click();
    void cmdListsDelete_Click();
    void cmdListsUp_Click();
    void cmdListsDown_Click();
    void List1_Click();
    void UpdateLists();
    void UpdateListsData();

    int selectedIndex() const;
    // Selects an entry (-1 clears the selection) and runs the selection handling.
    void select(int row);
    // Loads the selected game into the players panel; nothing when no game is selected.
    void UpdatePlayerList();

private:

    WindowState &m_state;
    const Platform &m_platform;
    PlayersPanel &m_players;
};

} // namespace tavlo
