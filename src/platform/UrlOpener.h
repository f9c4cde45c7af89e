#pragma once

#include <QString>

namespace tavlo {

// Opens a web address with the desktop's default handler. Tests record the addresses.
class UrlOpener {
public:
    virtual ~UrlOpener() = default;
    // False when no handler took the address; callers may ignore it.
    virtual bool open(const QString &address) = 0;
};

} // namespace tavlo
