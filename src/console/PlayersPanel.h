#pragma once

#include <QFrame>
#include <QString>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace tavlo {

struct WindowState;
struct Platform;

// The right-hand panel (Frame2): the current game's waiting list, its name box and buttons.
// The handlers throw StoreError; the button connections report it.
class PlayersPanel : public QFrame {
    Q_OBJECT
public:
    PlayersPanel(WindowState &state, const Platform &platform, QWidget *parent = nullptr);

    QListWidget *List2;
    QWidget *Picture2;
    QLineEdit *txtPlayers;
    QLabel *Label1;
    QPushButton *cmdPlayersUp;
    QPushButton *cmdPlayersDown;
    QPushButton *cmdPlayersTop;
    QPushButton *cmdPlayersBlink;
    QPushButton *cmdPlayersStar;
    QPushButton *cmdPlayersPhone;
    QPushButton *cmdPlayersDelete;
    QPushButton *cmdPlayersClear;
    QPushButton *cmdPlayersAdd;
    QPushButton *cmdPlayersOk;

    // Loads a game's players and makes it the current game.
    void UpdatePlayerList(int gameId, const QString &gameName);
    void List2_Click();
    void cmdPlayersAdd_Click();
    void cmdPlayersOk_Click();
    void cmdPlayersDelete_Click();
    void cmdPlayersClear_Click();
    void cmdPlayersUp_Click();
    void cmdPlayersDown_Click();
    void cmdPlayersTop_Click();
    void cmdPlayersBlink_Click();
    void cmdPlayersStar_Click();
    void cmdPlayersPhone_Click();
    void UpdatePlayersData();

    // What the games panel's Add leaves: an empty, disabled panel; List2_Click runs on the empty list.
    void blankForNewGame();
    // What the games panel's Delete leaves: an empty panel with every player button disabled.
    void blankForDeletedGame();

    int selectedIndex() const;
    // Selects an entry (-1 clears the selection) and runs the selection handling, as a change
    // of the selection made by the program does.
    void select(int row);

private:
    void toggleMarker(const QString &tag, bool WindowState::*flag);
    void rewriteDisplay();

    WindowState &m_state;
    const Platform &m_platform;
};

} // namespace tavlo
