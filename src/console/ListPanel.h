#pragma once

#include "board/PlayerMarkers.h"
#include "console/RoomListModel.h"

#include <QFrame>
#include <QKeySequence>
#include <QList>
#include <QMap>
#include <QRect>

#include <functional>

class QAction;
class QLabel;
class QLineEdit;
class QListView;
class QPushButton;

namespace tavlo {

class Clock;
class MessageBox;
class Room;
class WaitEstimates;

// What a list panel's buttons and keys do.
enum class PanelCommand { MoveUp, MoveDown, MoveToTop, Blink, Star, Phone, Delete, DeleteAll, Add, Save, Edit, Cancel };

// How one list panel looks and behaves.
struct ListPanelConfig {
    RoomListModel::Kind kind;
    QString objectName;
    QString listName;
    QString nameEditName;
    QRect listTwips;
    QRect stripTwips;
    QRect nameEditTwips;
    QRect titleTwips; // a title over the list (the owner's name) where not empty
    struct Button {
        PanelCommand command;
        QString objectName;
        QString symbol;
        double pointSize;
        bool bold;
        QString toolTip;
        int topTwips;
        int leftTwips;
        QString accessibleName; // the symbol says nothing to a screen reader
        QString description;
    };
    struct Key {
        PanelCommand command;
        QString text;
        QKeySequence key;
        bool listOnly = false; // in the name box the key edits the text
    };
    QList<Button> buttons;
    QList<Key> keys;
    QString blankName;      // said when Save finds the name box blank
    QString selectFirst;    // said when a command needs a selected entry; empty: it does nothing
    QString deleteQuestion; // asked, followed by the name, before a delete; empty: no question
    QString deleteAllQuestion;
    // The games: selecting one ends an add, and after a delete the first entry is selected.
    // Otherwise the list follows an owner and is off without one.
    bool leading = false;
    // Sets the list's delegate and whatever repaints it.
    std::function<void(QListView *)> setUpList;
};

// One list of the room with its name box and button strip: the games, or the current game's
// waiting list. What differs between the two (their buttons, keys, texts, the markers, the
// question before a delete, the title) is a ListPanelConfig; the panel is the same.
//
// The name box shows the selected entry; Add opens it empty and Save adds what it holds, else
// Save rewrites the selected entry. Every command selects the entry it touched, by its id.
class ListPanel : public QFrame {
    Q_OBJECT
public:
    using Command = PanelCommand;

    ListPanel(Room &room, MessageBox &messages, ListPanelConfig config, QWidget *parent = nullptr);
    ~ListPanel() override;

    QListView *list() const { return m_list; }
    QLineEdit *nameEdit() const { return m_nameEdit; }
    QLabel *titleLabel() const { return m_title; }
    // The panel's button for a command; null where it has none.
    QPushButton *button(Command command) const { return m_buttons.value(command); }
    RoomListModel *model() const { return m_model; }
    // The list, its buttons and its name box in the order Tab visits them.
    QList<QWidget *> tabOrder() const;
    // The panel's commands with their keys; the list's context menu shows them between these.
    QList<QAction *> commands() const;
    void setMenuFrame(const QList<QAction *> &before, const QList<QAction *> &after);

    qint64 selectedId() const;
    int selectedRow() const;
    // The markers Save gives the entry in the name box.
    PlayerMarkers pendingMarkers() const { return m_markers; }

    // The list as the window opens: nothing selected and the name box closed; a leading list
    // then selects its first entry, a following list with nothing in it offers no Add.
    void open();
    // Selects an entry (0: none) as the program does, shows it, and tells the panels that follow.
    void select(qint64 id);
    // Runs a command as its button does, whether the button is on or not.
    void run(Command command);

public slots:
    // A following list: shows the waiting list of that game; 0 leaves the panel empty and off.
    void showList(qint64 ownerId);

signals:
    // A leading list's entry the panels that follow show (0: none, while one is added or deleted).
    void entryShown(qint64 id);

private:
    void setUpCommands();
    void showCommandMenu(const QPoint &at);
    bool hasMarkers() const { return m_buttons.contains(Command::Blink); }
    // The marker buttons checked as the markers Save would give.
    void showMarkers();
    void enable(Command command, bool on);
    void closeNameBox();
    void setSelectedRow(int row);
    // The selection in the name box and on the buttons; a leading list tells its followers.
    void showSelection(bool announce);
    // What depends on the selected entry's place and on the number of entries.
    void showPosition();
    // The operator's selection, or what the list did to it.
    void followSelection();
    // After the list was read again: the same entry selected where it still exists.
    void keepSelection();
    void showFirstEntry();
    bool confirm(const QString &question);
    void warn(const QString &text);

    void add();
    void save();
    void removeSelected();
    void removeAll();
    void moveSelected(int offset);
    void moveSelectedToTop();
    void toggle(Marker marker);
    void editSelected();
    void cancel();

    MessageBox &m_messages;
    const ListPanelConfig m_config;
    RoomListModel *m_model;
    QLabel *m_title = nullptr;
    QListView *m_list;
    QLineEdit *m_nameEdit;
    QMap<Command, QPushButton *> m_buttons;
    QList<QPair<QAction *, QPushButton *>> m_commands;
    QList<QAction *> m_menuBefore;
    QList<QAction *> m_menuAfter;
    bool m_adding = false;
    PlayerMarkers m_markers;
    qint64 m_shownId = 0; // the entry the name box was filled from
    qint64 m_selectedBeforeAdd = 0;
    qint64 m_selectedBeforeReset = 0;
};

// The console's two panels: the games, each with its wait estimate, and the current game's
// waiting list with its markers and the time each player has waited.
ListPanelConfig gamesPanelConfig(const WaitEstimates &estimates);
ListPanelConfig playersPanelConfig(const Clock &clock);

} // namespace tavlo
