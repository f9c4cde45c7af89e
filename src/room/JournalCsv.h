#pragma once

#include "store/WaitingListStore.h"

#include <QByteArray>
#include <QString>
#include <QTimeZone>

namespace tavlo {

// The journal as comma-separated values for a spreadsheet (RFC 4180: UTF-8, CR LF line ends,
// fields quoted where they hold a comma, a quote or a line break). A header, then one row per
// change: local time, game, player, what happened, and whether it was undone. A field that
// starts with =, +, -, @, a tab or a CR gets an apostrophe before it and quotes around it, so
// that no spreadsheet takes a name for a formula.
class JournalCsv {
public:
    explicit JournalCsv(const QTimeZone &zone = QTimeZone::systemTimeZone());

    QByteArray header() const;
    QByteArray row(const JournalRecord &entry) const;
    // The header and a row for each entry.
    QByteArray document(const QList<JournalRecord> &entries) const;

    // One field, quoted (and kept from reading as a formula) when it needs to be.
    static QString field(const QString &text);
    // The change in words: "added", "deleted from place 1", "star on", ...
    static QString whatHappened(const JournalRecord &entry);

private:
    QTimeZone m_zone;
};

} // namespace tavlo
