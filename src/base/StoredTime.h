#pragma once

#include <QDateTime>
#include <QString>
#include <QStringView>

namespace tavlo {

// Times as the database and the journal keep them: UTC in ISO 8601 with milliseconds,
// "2026-12-08T03:11:58.123Z". Reading a room turns thousands of these into times and every
// change writes one, so the usual form is done by hand; any other goes through Qt.

// The text of a time; an invalid time gives Qt's empty text.
QString storedTimeText(const QDateTime &time);

// The UTC time a text gives; invalid when it is no time.
QDateTime storedTime(QStringView text);

} // namespace tavlo
