#include "room/ShiftReport.h"

#include "room/Command.h"
#include "room/WaitEstimator.h"

#include <QHash>

#include <algorithm>
#include <cmath>

namespace tavlo {

QDateTime ShiftReport::dayStart(QDate day, const QTimeZone &zone)
{
    return QDateTime(day, QTime(0, 0), zone).toUTC();
}

double ShiftReport::percentile(const QList<double> &sorted, double p)
{
    if (sorted.isEmpty())
        return 0;
    const double position = std::clamp(p, 0.0, 1.0) * double(sorted.size() - 1);
    const auto below = qsizetype(std::floor(position));
    const qsizetype above = std::min(below + 1, sorted.size() - 1);
    return sorted[below] + (position - double(below)) * (sorted[above] - sorted[below]);
}

ShiftReport ShiftReport::build(const QList<JournalRecord> &entries, const QList<Game> &gamesNow, QDate first, QDate last,
                               const QDateTime &now, const QTimeZone &zone)
{
    ShiftReport report;
    report.from = dayStart(first, zone);
    report.to = dayStart(last.addDays(1), zone);
    const qint64 from = report.from.toMSecsSinceEpoch();
    const qint64 to = report.to.toMSecsSinceEpoch();
    const qint64 end = std::clamp(now.toMSecsSinceEpoch(), from, to); // nothing is known after now

    // The changes that stand, in the order they were made.
    QList<const JournalRecord *> changes;
    changes.reserve(entries.size());
    for (const JournalRecord &entry : entries) {
        const qint64 at = entry.madeAt.toMSecsSinceEpoch();
        if (at < from)
            continue;
        if (at < to) {
            ++report.changes;
            report.undone += int(entry.reverted);
        }
        if (!entry.reverted)
            changes.append(&entry);
    }
    std::stable_sort(changes.begin(), changes.end(),
                     [](const JournalRecord *a, const JournalRecord *b) { return a->madeAt < b->madeAt; });
    QList<ListEffect> effects;
    effects.reserve(changes.size());
    for (const JournalRecord *entry : std::as_const(changes))
        effects.append(Command::effectOf(*entry));

    // Each game's list at the span's start, counted back from the room as it is.
    QList<qint64> order;
    QHash<qint64, QString> names;
    QHash<qint64, int> players;
    for (const Game &game : gamesNow) {
        order << game.id;
        names.insert(game.id, game.name);
        players.insert(game.id, int(game.players.size()));
    }
    for (qsizetype i = changes.size() - 1; i >= 0; --i) {
        const JournalRecord &entry = *changes[i];
        if (!names.contains(entry.gameId)) {
            order << entry.gameId;
            names.insert(entry.gameId, entry.gameName);
        }
        int &count = players[entry.gameId];
        count = effects[i].gameAdded ? 0 : std::max(0, count - effects[i].delta());
    }

    // Forward through the span, step by step.
    const qint64 span = std::max<qint64>(end - from, 1);
    const qint64 minute = 60 * 1000;
    report.stepMs = std::max<qint64>(minute, (span + MostSteps - 1) / MostSteps + minute - 1) / minute * minute;
    const qsizetype steps = std::max<qsizetype>(1, qsizetype((span + report.stepMs - 1) / report.stepMs));
    struct Track {
        QList<int> most;
        qsizetype step = 0;
        int count = 0;
    };
    QHash<qint64, Track> tracks;
    for (const qint64 id : std::as_const(order)) {
        Track &track = tracks[id];
        track.most.fill(-1, steps);
        track.count = players.value(id);
        track.most[0] = track.count;
    }
    const auto advance = [steps](Track &track, qsizetype step) {
        for (; track.step < std::min(step, steps - 1); ++track.step)
            track.most[track.step + 1] = track.count;
    };

    QHash<qint64, QList<double>> waits;
    double callToSeat = 0;
    for (qsizetype i = 0; i < changes.size(); ++i) {
        const JournalRecord &entry = *changes[i];
        const ListEffect &effect = effects[i];
        const qint64 at = entry.madeAt.toMSecsSinceEpoch();
        if (at >= to)
            break;
        Track &track = tracks[entry.gameId];
        const qsizetype step = std::min<qsizetype>(steps - 1, (std::min(at, end) - from) / report.stepMs);
        advance(track, step);
        track.count = std::max(0, track.count + effect.delta());
        track.most[step] = std::max(track.most[step], track.count);

        const int hour = entry.madeAt.toTimeZone(zone).time().hour();
        report.hours[hour].added += effect.added;
        report.hours[hour].removed += effect.removed;
        report.added += effect.added;
        report.removed += effect.removed;
        if (effect.seated) {
            ++report.hours[hour].seated;
            ++report.seated;
            if (effect.calledAt.isValid() && effect.calledAt <= entry.madeAt) {
                callToSeat += double(effect.calledAt.msecsTo(entry.madeAt)) / minute;
                ++report.calledAndSeated;
            }
        }
        report.noShows += effect.noShow ? 1 : 0;
        if (effect.leftOne && effect.position >= 0 && effect.position < WaitEstimator::TopPart && effect.addedAt.isValid()
            && effect.addedAt <= entry.madeAt)
            waits[entry.gameId].append(double(effect.addedAt.msecsTo(entry.madeAt)) / minute);
    }

    for (const qint64 id : std::as_const(order)) {
        Track &track = tracks[id];
        advance(track, steps - 1);
        Waiting waiting;
        waiting.gameId = id;
        waiting.game = names.value(id);
        waiting.points.reserve(steps);
        for (qsizetype s = 0; s < steps; ++s) {
            const int most = std::max(0, track.most[s]);
            waiting.points.append(QPointF(double(from + s * report.stepMs), most));
            if (most > waiting.peak) {
                waiting.peak = most;
                waiting.peakAt = QDateTime::fromMSecsSinceEpoch(from + s * report.stepMs, QTimeZone::utc());
            }
        }
        if (waiting.peak > 0)
            report.waiting.append(std::move(waiting));

        auto found = waits.find(id);
        if (found != waits.end()) {
            QList<double> &minutes = *found;
            std::sort(minutes.begin(), minutes.end());
            report.waitTimes.append({id, names.value(id), int(minutes.size()), percentile(minutes, 0.5),
                                     percentile(minutes, 0.9)});
        }
    }
    if (report.calledAndSeated > 0)
        report.callToSeatMinutes = callToSeat / report.calledAndSeated;
    return report;
}

double ShiftReport::seatsPerHour() const
{
    const int busy = int(std::count_if(hours.cbegin(), hours.cend(), [](const Hour &h) { return h.added + h.removed > 0; }));
    return busy == 0 ? 0 : double(seated) / busy;
}

double ShiftReport::noShowRate() const
{
    return calledAndSeated + noShows == 0 ? 0 : double(noShows) / (calledAndSeated + noShows);
}

} // namespace tavlo
