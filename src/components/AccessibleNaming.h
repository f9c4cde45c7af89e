#pragma once

#include <QString>

namespace tavlo {

// Names a control for tests and scripts (its object name) and for a screen reader (what it is
// called and what it is for); returns it, so that it can be named where it is made.
template <typename Widget>
Widget *named(Widget *widget, const QString &objectName, const QString &name, const QString &description = {})
{
    widget->setObjectName(objectName);
    widget->setAccessibleName(name);
    widget->setAccessibleDescription(description);
    return widget;
}

} // namespace tavlo
