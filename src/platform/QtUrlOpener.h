#pragma once

#include "platform/UrlOpener.h"

namespace tavlo {

// The real opener: QDesktopServices hands the address to the desktop's default handler.
class DesktopUrlOpener final : public UrlOpener {
public:
    bool open(const QString &address) override;
    static DesktopUrlOpener &instance();
};

} // namespace tavlo
