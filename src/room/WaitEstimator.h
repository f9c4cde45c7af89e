#pragma once

#include "room/ListEffect.h"
#include "room/WaitEstimate.h"
#include "store/WaitingListStore.h"

#include <QDateTime>
#include <QHash>
#include <QList>

namespace tavlo {

// Estimates each game's wait from the pace at which players have left the top of its list in
// the last two hours, the last hour counting twice. Fed from the journal: the entries of the
// window once, then each change as it is made, undone or made again. No widgets, no SQL.
//
// For a game with n players waiting, over the window:
//   D = departures from the top in the last hour × 2 + those in the hour before
//   T = minutes the list had someone waiting in the last hour × 2 + those in the hour before
//   wait = (n + 1) × T / D minutes
// Below MinimumDepartures departures: no figure. Below SteadyDepartures: a range, the figure
// divided by (1 + 1/√k) and by (1 − 1/√k) for k departures.
class WaitEstimator {
public:
    static constexpr int WindowMinutes = 120;
    static constexpr int RecentMinutes = 60;
    static constexpr int RecentWeight = 2;
    // A player deleted from one of the first TopPart places has left the top: usually seated,
    // or called and gone. Deletions further down are players giving up or mistakes.
    static constexpr int TopPart = 3;
    static constexpr int MinimumDepartures = 4;
    static constexpr int SteadyDepartures = 12;

    // The journal's entries from windowStart(now) on; those undone are left out.
    void load(const QList<JournalRecord> &entries);
    // A change as it is made, undone (entry.reverted) or made again; with its effect on the
    // list when the caller knows it, else read from the entry.
    void record(const JournalRecord &entry);
    void record(const JournalRecord &entry, const ListEffect &effect);
    // Forgets the changes older than the window ending at `now`.
    void prune(const QDateTime &now);
    void clear();

    // The wait for a player joining the game's list of `waiting` players now.
    WaitEstimate estimate(qint64 gameId, int waiting, const QDateTime &now) const;

    static QDateTime windowStart(const QDateTime &now);
    // Changes kept in memory, for tests of forgetting.
    qsizetype eventCount() const { return m_gameOf.size(); }

private:
    struct Event {
        qint64 id = 0;
        qint64 at = 0; // ms since the epoch, UTC
        int delta = 0;
        bool departure = false;
        bool seat = false; // a departure to a seat, not a delete
    };
    void add(const JournalRecord &entry, const ListEffect &effect);
    void remove(qint64 journalId);

    QHash<qint64, QList<Event>> m_events; // each game's, oldest first
    QHash<qint64, qint64> m_gameOf;       // journal id -> game id
};

} // namespace tavlo
