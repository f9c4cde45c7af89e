#include "room/WaitEstimate.h"

#include <algorithm>

namespace tavlo {

QString WaitEstimate::minutesText(int minutes)
{
    if (minutes < 60)
        return QStringLiteral("%1 min").arg(minutes);
    if (minutes % 60 == 0)
        return QStringLiteral("%1 h").arg(minutes / 60);
    return QStringLiteral("%1 h %2 min").arg(minutes / 60).arg(minutes % 60);
}

QString WaitEstimate::text() const
{
    switch (kind) {
    case Kind::NotEnoughData:
        return QStringLiteral("not enough data");
    case Kind::About:
        if (lowMinutes > LongestMinutes)
            return QStringLiteral("over %1").arg(minutesText(LongestMinutes));
        return QStringLiteral("about ") + minutesText(lowMinutes);
    case Kind::Range:
        // Past the longest wait said, only the lower end is worth saying.
        if (highMinutes > LongestMinutes)
            return QStringLiteral("over %1").arg(minutesText(std::min(lowMinutes, int(LongestMinutes))));
        if (highMinutes < 60)
            return QStringLiteral("%1\u2013%2 min").arg(lowMinutes).arg(highMinutes);
        return QStringLiteral("%1\u2013%2").arg(minutesText(lowMinutes), minutesText(highMinutes));
    }
    return {};
}

} // namespace tavlo
