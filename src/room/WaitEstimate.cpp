#include "room/WaitEstimate.h"

#include <QCoreApplication>

#include <algorithm>

namespace tavlo {

namespace {

struct EstimateText {
    Q_DECLARE_TR_FUNCTIONS(WaitEstimate)
};

// The board file says it in English whatever the desk's language: it is data.
QString say(const char *english, bool translated)
{
    return translated ? EstimateText::tr(english) : QString::fromLatin1(english);
}

} // namespace

QString WaitEstimate::minutesText(int minutes, bool translated)
{
    if (minutes < 60)
        return say(QT_TRANSLATE_NOOP("WaitEstimate", "%1 min"), translated).arg(minutes);
    if (minutes % 60 == 0)
        return say(QT_TRANSLATE_NOOP("WaitEstimate", "%1 h"), translated).arg(minutes / 60);
    return say(QT_TRANSLATE_NOOP("WaitEstimate", "%1 h %2 min"), translated).arg(minutes / 60).arg(minutes % 60);
}

QString WaitEstimate::text(bool translated) const
{
    switch (kind) {
    case Kind::NotEnoughData:
        return say(QT_TRANSLATE_NOOP("WaitEstimate", "not enough data"), translated);
    case Kind::About:
        if (lowMinutes > LongestMinutes)
            return say(QT_TRANSLATE_NOOP("WaitEstimate", "over %1"), translated).arg(minutesText(LongestMinutes, translated));
        return say(QT_TRANSLATE_NOOP("WaitEstimate", "about %1"), translated).arg(minutesText(lowMinutes, translated));
    case Kind::Range:
        // Past the longest wait said, only the lower end is worth saying.
        if (highMinutes > LongestMinutes)
            return say(QT_TRANSLATE_NOOP("WaitEstimate", "over %1"), translated).arg(minutesText(std::min(lowMinutes, int(LongestMinutes)), translated));
        if (highMinutes < 60)
            return QStringLiteral("%1\u2013%2 min").arg(lowMinutes).arg(highMinutes);
        return QStringLiteral("%1\u2013%2").arg(minutesText(lowMinutes, translated), minutesText(highMinutes, translated));
    }
    return {};
}

} // namespace tavlo
