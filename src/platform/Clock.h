#pragma once

#include <QDateTime>

namespace tavlo {

// The time of day, in UTC. Tests set it themselves.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
};

class SystemClock final : public Clock {
public:
    QDateTime now() const override { return QDateTime::currentDateTimeUtc(); }
    static SystemClock &instance()
    {
        static SystemClock clock;
        return clock;
    }
};

} // namespace tavlo
