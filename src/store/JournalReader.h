#pragma once

#include "store/WaitingListStore.h"

#include <QDateTime>
#include <QList>
#include <QSqlDatabase>

#include <functional>

namespace tavlo {

// Reads the journal for reports and estimates, on a connection it is given (any engine Qt
// speaks). Times are compared as the UTC text the journal keeps, which sorts like the times.
// Failures throw StoreError.
class JournalReader {
public:
    explicit JournalReader(const QSqlDatabase &database);

    // The changes made from `from` (inclusive) until `to` (exclusive), in the order they were
    // made; undone ones too, marked so. An invalid bound is no bound.
    QList<JournalRecord> entries(const QDateTime &from, const QDateTime &to = {}) const;
    // The same, one at a time, without holding them all.
    void forEachEntry(const QDateTime &from, const QDateTime &to, const std::function<void(const JournalRecord &)> &visit) const;

    // The journal's time text for a moment, as stored.
    static QString timeText(const QDateTime &time);

private:
    QSqlDatabase m_database;
};

} // namespace tavlo
