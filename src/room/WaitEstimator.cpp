#include "room/WaitEstimator.h"

#include "room/Command.h"

#include <algorithm>
#include <cmath>

namespace tavlo {

namespace {

constexpr qint64 MinuteMs = 60 * 1000;

// Rounded to what a desk would say: minutes below 10, fives below an hour, then tens.
int stepFor(double minutes)
{
    return minutes < 10 ? 1 : minutes < 60 ? 5 : 10;
}

int roundedDown(double minutes)
{
    const int step = stepFor(minutes);
    return std::max(1, int(std::floor(minutes / step)) * step);
}

int roundedUp(double minutes)
{
    const int step = stepFor(minutes);
    return std::max(1, int(std::ceil(minutes / step)) * step);
}

int rounded(double minutes)
{
    const int step = stepFor(minutes);
    return std::max(1, int(std::lround(minutes / step)) * step);
}

int capped(double minutes)
{
    // Past the longest wait said in words the figure only needs to stay past it.
    return minutes > 2.0 * WaitEstimate::LongestMinutes ? 2 * WaitEstimate::LongestMinutes + 1 : int(minutes);
}

} // namespace

QDateTime WaitEstimator::windowStart(const QDateTime &now)
{
    return now.addSecs(-qint64(WindowMinutes) * 60);
}

void WaitEstimator::clear()
{
    m_events.clear();
    m_gameOf.clear();
}

void WaitEstimator::load(const QList<JournalRecord> &entries)
{
    clear();
    for (const JournalRecord &entry : entries) {
        if (!entry.reverted)
            add(entry, Command::effectOf(entry));
    }
}

void WaitEstimator::record(const JournalRecord &entry)
{
    record(entry, Command::effectOf(entry));
}

void WaitEstimator::record(const JournalRecord &entry, const ListEffect &effect)
{
    remove(entry.id);
    if (!entry.reverted)
        add(entry, effect);
}

void WaitEstimator::add(const JournalRecord &entry, const ListEffect &effect)
{
    Event event;
    event.id = entry.id;
    event.at = entry.madeAt.toMSecsSinceEpoch();
    event.delta = effect.delta();
    event.departure = effect.leftOne && effect.position >= 0 && effect.position < TopPart;
    event.seat = effect.seated;
    if (event.delta == 0 && !event.departure)
        return;
    QList<Event> &events = m_events[entry.gameId];
    const auto later = std::upper_bound(events.begin(), events.end(), event, [](const Event &a, const Event &b) {
        return a.at != b.at ? a.at < b.at : a.id < b.id;
    });
    events.insert(later, event);
    m_gameOf.insert(entry.id, entry.gameId);
}

void WaitEstimator::remove(qint64 journalId)
{
    const auto game = m_gameOf.constFind(journalId);
    if (game == m_gameOf.cend())
        return;
    QList<Event> &events = m_events[*game];
    events.removeIf([journalId](const Event &event) { return event.id == journalId; });
    if (events.isEmpty())
        m_events.remove(*game);
    m_gameOf.erase(game);
}

void WaitEstimator::prune(const QDateTime &now)
{
    const qint64 start = windowStart(now).toMSecsSinceEpoch();
    for (auto game = m_events.begin(); game != m_events.end();) {
        QList<Event> &events = game.value();
        qsizetype old = 0;
        while (old < events.size() && events[old].at < start)
            m_gameOf.remove(events[old++].id);
        events.remove(0, old);
        game = events.isEmpty() ? m_events.erase(game) : std::next(game);
    }
}

WaitEstimate WaitEstimator::estimate(qint64 gameId, int waiting, const QDateTime &now) const
{
    const qint64 end = now.toMSecsSinceEpoch();
    const qint64 recentStart = end - qint64(RecentMinutes) * MinuteMs;
    const qint64 start = end - qint64(WindowMinutes) * MinuteMs;
    // Weighted length of [a, b) within the window, in minutes.
    const auto weighted = [&](qint64 a, qint64 b) {
        const auto overlap = [a, b](qint64 low, qint64 high) { return std::max<qint64>(0, std::min(b, high) - std::max(a, low)); };
        return double(RecentWeight * overlap(recentStart, end) + overlap(start, recentStart)) / MinuteMs;
    };

    double departures = 0; // weighted
    double exposure = 0;   // weighted minutes with someone waiting
    int count = 0;
    // Back from now: the list as it is, and before each change as it was.
    int players = std::max(0, waiting);
    qint64 until = end;
    const auto found = m_events.constFind(gameId);
    if (found != m_events.cend()) {
        const QList<Event> &events = *found;
        // Where the desk seats players, a delete is a mistake mended or a player gone home:
        // the game learns from its seats alone.
        const bool seats = std::any_of(events.cbegin(), events.cend(), [](const Event &e) { return e.seat; });
        for (auto event = events.crbegin(); event != events.crend() && event->at >= start; ++event) {
            const qint64 at = std::min(event->at, end);
            if (players > 0)
                exposure += weighted(at, until);
            if (event->departure && (event->seat || !seats) && event->at <= end) {
                departures += event->at >= recentStart ? RecentWeight : 1;
                ++count;
            }
            players = std::max(0, players - event->delta);
            until = at;
        }
    }
    if (players > 0)
        exposure += weighted(start, until);

    WaitEstimate estimate;
    estimate.departures = count;
    if (count < MinimumDepartures || exposure <= 0 || departures <= 0)
        return estimate;
    const double minutes = (std::max(0, waiting) + 1) * exposure / departures;
    if (count >= SteadyDepartures) {
        estimate.kind = WaitEstimate::Kind::About;
        estimate.lowMinutes = estimate.highMinutes = rounded(capped(minutes));
        return estimate;
    }
    const double spread = 1.0 / std::sqrt(double(count));
    estimate.kind = WaitEstimate::Kind::Range;
    estimate.lowMinutes = roundedDown(capped(minutes / (1 + spread)));
    estimate.highMinutes = roundedUp(capped(minutes / (1 - spread)));
    if (estimate.highMinutes <= estimate.lowMinutes)
        estimate.highMinutes = estimate.lowMinutes + stepFor(estimate.lowMinutes);
    return estimate;
}

} // namespace tavlo
