#pragma once

#include <QPoint>

namespace tavlo {

// Where the mouse pointer is on the screen, in pixels. Tests place it themselves.
class PointerSource {
public:
    virtual ~PointerSource() = default;
    virtual QPoint globalPosition() const = 0;
};

} // namespace tavlo
