#include "board/Countdown.h"

#include <algorithm>

namespace tavlo {

QString countdownText(qint64 seconds)
{
    seconds = std::max<qint64>(0, seconds);
    const QString minutesAndSeconds = QStringLiteral("%1:%2").arg((seconds / 60) % 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
    if (seconds < 3600)
        return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
    return QStringLiteral("%1:%2").arg(seconds / 3600).arg(minutesAndSeconds.rightJustified(5, QLatin1Char('0')));
}

} // namespace tavlo
