#pragma once

#include <QKeySequence>
#include <QList>
#include <QString>

#include <functional>

class QAction;
class QPushButton;
class QWidget;

namespace tavlo {

// One of a panel's commands from the keyboard: an action with its key, working anywhere in the
// panel, off whenever the command's button is off. The list of a panel's commands also fills
// its list's context menu.
QAction *addPanelCommand(QWidget *panel, QList<QAction *> &commands, const QString &text, const QKeySequence &key,
                         QPushButton *button, std::function<void()> command);

// The button a command follows, if any.
QPushButton *buttonOf(const QAction *command);

} // namespace tavlo
