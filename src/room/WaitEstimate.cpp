#include "room/WaitEstimate.h"

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
        if (lowMinutes > LongestMinutes)
            return QStringLiteral("over %1").arg(minutesText(LongestMinutes));
        if (highMinutes > LongestMinutes)
            return QStringLiteral("%1 to over %2").arg(minutesText(lowMinutes), minutesText(LongestMinutes));
        if (lowMinutes < 60 && highMinutes < 60)
            return QStringLiteral("%1\u2013%2 min").arg(lowMinutes).arg(highMinutes);
        return QStringLiteral("%1 \u2013 %2").arg(minutesText(lowMinutes), minutesText(highMinutes));
    }
    return {};
}

} // namespace tavlo
