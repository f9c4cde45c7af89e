#include "console/PanelCommand.h"

#include <QAction>
#include <QPushButton>

namespace tavlo {

QAction *addPanelCommand(QWidget *panel, QList<QAction *> &commands, const QString &text, const QKeySequence &key,
                         QPushButton *button, std::function<void()> command)
{
    auto *action = new QAction(text, panel);
    action->setShortcut(key);
    action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    // A command whose button is off is off from the keyboard too.
    QObject::connect(action, &QAction::triggered, panel, [button, command = std::move(command)] {
        if (!button || button->isEnabled())
            command();
    });
    action->setProperty("button", QVariant::fromValue(static_cast<QObject *>(button)));
    panel->addAction(action);
    commands.append(action);
    return action;
}

QPushButton *buttonOf(const QAction *command)
{
    return qobject_cast<QPushButton *>(command->property("button").value<QObject *>());
}

} // namespace tavlo
