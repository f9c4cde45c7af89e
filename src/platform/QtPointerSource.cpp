#include "platform/QtPointerSource.h"

#include <QCursor>

namespace tavlo {

QPoint CursorPointerSource::globalPosition() const
{
    return QCursor::pos();
}

CursorPointerSource &CursorPointerSource::instance()
{
    static CursorPointerSource source;
    return source;
}

} // namespace tavlo
