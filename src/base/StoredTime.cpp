#include "base/StoredTime.h"

#include <array>

namespace tavlo {

namespace {

constexpr qint64 kMillisecondsPerDay = 86'400'000;

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar, and back
// (H. Hinnant's algorithms).
qint64 daysFromCivil(qint64 year, unsigned month, unsigned day)
{
    year -= month <= 2;
    const qint64 era = (year >= 0 ? year : year - 399) / 400;
    const unsigned yearOfEra = unsigned(year - era * 400);
    const unsigned dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + qint64(dayOfEra) - 719468;
}

void civilFromDays(qint64 days, qint64 &year, unsigned &month, unsigned &day)
{
    days += 719468;
    const qint64 era = (days >= 0 ? days : days - 146096) / 146097;
    const unsigned dayOfEra = unsigned(days - era * 146097);
    const unsigned yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const unsigned shiftedMonth = (5 * dayOfYear + 2) / 153;
    day = dayOfYear - (153 * shiftedMonth + 2) / 5 + 1;
    month = shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9;
    year = qint64(yearOfEra) + era * 400 + (month <= 2);
}

bool isLeap(qint64 year)
{
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

unsigned daysInMonth(qint64 year, unsigned month)
{
    static constexpr std::array<unsigned, 12> days{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeap(year) ? 29 : days[month - 1];
}

} // namespace

QString storedTimeText(const QDateTime &time)
{
    if (!time.isValid())
        return time.toString(Qt::ISODateWithMs);
    const qint64 milliseconds = time.toMSecsSinceEpoch();
    const qint64 days = milliseconds >= 0 ? milliseconds / kMillisecondsPerDay : -((-milliseconds - 1) / kMillisecondsPerDay) - 1;
    qint64 year = 0;
    unsigned month = 0, day = 0;
    civilFromDays(days, year, month, day);
    if (year < 1 || year > 9999) // Qt's own form for years without four digits or before the first
        return time.toUTC().toString(Qt::ISODateWithMs);
    const qint64 ofDay = milliseconds - days * kMillisecondsPerDay;
    QString text(24, Qt::Uninitialized);
    QChar *out = text.data();
    const auto put = [&out](qint64 value, int digits) {
        for (int i = digits - 1; i >= 0; --i, value /= 10)
            out[i] = QChar(u'0' + int(value % 10));
        out += digits;
    };
    const auto mark = [&out](char16_t c) { *out++ = QChar(c); };
    put(year, 4), mark(u'-'), put(month, 2), mark(u'-'), put(day, 2), mark(u'T');
    put(ofDay / 3'600'000, 2), mark(u':'), put(ofDay / 60'000 % 60, 2), mark(u':'), put(ofDay / 1000 % 60, 2), mark(u'.');
    put(ofDay % 1000, 3), mark(u'Z');
    return text;
}

QDateTime storedTime(QStringView text)
{
    // dddd-dd-ddTdd:dd:dd.dddZ, every field in range.
    static constexpr char16_t kShape[] = u"0000-00-00T00:00:00.000Z";
    bool usual = text.size() == 24;
    int fields[7] = {};
    for (int i = 0, field = 0; usual && i < 24; ++i) {
        const char16_t c = text[i].unicode();
        if (kShape[i] == u'0') {
            usual = c >= u'0' && c <= u'9';
            fields[field] = fields[field] * 10 + (c - u'0');
        } else {
            usual = c == kShape[i];
            ++field;
        }
    }
    const auto [year, month, day, hour, minute, second, millisecond] = fields;
    if (usual && year >= 1 && month >= 1 && month <= 12 && day >= 1 && unsigned(day) <= daysInMonth(year, unsigned(month)) && hour <= 23
        && minute <= 59 && second <= 59) {
        const qint64 milliseconds = daysFromCivil(year, unsigned(month), unsigned(day)) * kMillisecondsPerDay
                + ((hour * 60 + minute) * 60 + second) * 1000 + millisecond;
        return QDateTime::fromMSecsSinceEpoch(milliseconds, Qt::UTC);
    }
    const QDateTime time = QDateTime::fromString(text.toString(), Qt::ISODateWithMs);
    return time.isValid() ? time.toUTC() : QDateTime();
}

} // namespace tavlo
