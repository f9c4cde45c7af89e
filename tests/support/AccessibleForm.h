#pragma once

// What a screen reader and the Tab key find in a window. Header only: needs Qt Widgets.

#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QStringList>
#include <QWidget>

namespace tavlo::test {

// A control Tab stops at: a spin box, a combo box or a view, not the line edit or viewport inside it.
inline bool reachable(const QWidget *control)
{
    const auto *area = qobject_cast<const QAbstractScrollArea *>(control->parent());
    return (control->focusPolicy() & Qt::TabFocus) && control->isVisibleTo(control->window())
            && !qobject_cast<QAbstractSpinBox *>(control->parent()) && !qobject_cast<QComboBox *>(control->parent())
            && !(area && area->viewport() == control);
}

// The controls of a window Tab reaches whose accessible name says nothing (a symbol, or none),
// as "objectName Class," each; popups of its own (a combo box's list) aside.
inline QString unnamedControls(const QWidget *window)
{
    QString unnamed;
    for (QWidget *control : window->findChildren<QWidget *>()) {
        if (reachable(control) && control->window() == window && QAccessible::queryAccessibleInterface(control)->text(QAccessible::Name).size() <= 2)
            unnamed += control->objectName() + QLatin1Char(' ') + QLatin1String(control->metaObject()->className()) + u',';
    }
    return unnamed;
}

// Tab's round from `first`, as "name" for each control in reading order and "name above" or
// "name left" for one that comes before the control Tab reached just before it.
inline QStringList tabRound(QWidget *first)
{
    QStringList round;
    const QWidget *previous = nullptr;
    QWidget *next = first;
    do {
        if (reachable(next)) {
            QString step = next->objectName();
            if (previous) {
                const QPoint a = previous->mapTo(first->window(), previous->rect().center());
                const QPoint b = next->mapTo(first->window(), next->rect().center());
                if (b.y() < a.y() - 4)
                    step += QStringLiteral(" above");
                else if (qAbs(b.y() - a.y()) <= 4 && b.x() <= a.x())
                    step += QStringLiteral(" left");
            }
            round << step;
            previous = next;
        }
        next = next->nextInFocusChain();
    } while (next != first);
    return round;
}

} // namespace tavlo::test
