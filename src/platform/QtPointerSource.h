#pragma once

#include "platform/PointerSource.h"

namespace tavlo {

// The real pointer, read through QCursor.
class CursorPointerSource final : public PointerSource {
public:
    QPoint globalPosition() const override;
    static CursorPointerSource &instance();
};

} // namespace tavlo
