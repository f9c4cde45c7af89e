#pragma once

#include "room/Room.h"

#include <QDateTime>
#include <QList>
#include <QPointF>
#include <QTimeZone>

#include <array>

namespace tavlo {

// A shift's figures from the journal, over a span of days: how many players waited in each
// game as time went by, how long those who reached the top of a list had waited, and the
// players added and removed in each hour of the day. Undone changes count as never made.
// No widgets, no SQL.
struct ShiftReport {
    // Players waiting in one game: the largest number in each step of the span.
    struct Waiting {
        qint64 gameId = 0;
        QString game;
        QList<QPointF> points; // x: ms since the epoch at the step's start, y: players
        int peak = 0;
        QDateTime peakAt;
    };
    // How long the players who left one game's list from the top had waited.
    struct WaitTimes {
        qint64 gameId = 0;
        QString game;
        int players = 0;
        double medianMinutes = 0;
        double ninetiethMinutes = 0;
    };
    struct Hour {
        int added = 0;
        int removed = 0;
        int seated = 0;
        bool operator==(const Hour &) const = default;
    };

    QDateTime from; // UTC, inclusive
    QDateTime to;   // UTC, exclusive
    qint64 stepMs = 0;
    QList<Waiting> waiting;
    QList<WaitTimes> waitTimes;
    std::array<Hour, 24> hours{}; // by the hour of the day, local time
    int changes = 0;              // changes made in the span, undone ones included
    int undone = 0;
    int added = 0;
    int removed = 0;
    // The floor: players seated, calls that ended in a no-show, and the calls' answers.
    int seated = 0;
    int noShows = 0;
    int calledAndSeated = 0;     // seats of players who had been called
    double callToSeatMinutes = 0; // their average time from the call to the seat
    // Seats per hour over the hours that had any change; no-shows per call that ended.
    double seatsPerHour() const;
    double noShowRate() const;

    // The report for the days from `first` to `last` in the time zone. `entries` are the
    // journal's from the first day's start on, up to now: the lists are counted back from
    // `gamesNow`, the room as it stands at `now`.
    static ShiftReport build(const QList<JournalRecord> &entries, const QList<Game> &gamesNow, QDate first, QDate last,
                             const QDateTime &now, const QTimeZone &zone);
    // The span's bounds in UTC: the first day's start and the day after the last's start.
    static QDateTime dayStart(QDate day, const QTimeZone &zone);
    // The value below which a share p of the sorted values lie, between neighbours.
    static double percentile(const QList<double> &sorted, double p);
    // Steps are at least a minute, and no more than this many over the span.
    static constexpr int MostSteps = 720;
};

} // namespace tavlo
