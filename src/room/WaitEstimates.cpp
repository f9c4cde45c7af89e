#include "room/WaitEstimates.h"

#include "platform/Clock.h"
#include "room/Room.h"

namespace tavlo {

WaitEstimates::WaitEstimates(const Room &room, const Clock &clock, QObject *parent)
    : QObject(parent)
    , m_room(room)
    , m_clock(clock)
{
    // A burst of changes (a whole list back by undo) is worked out once, after the command.
    m_soon.setSingleShot(true);
    m_soon.setInterval(0);
    connect(&m_soon, &QTimer::timeout, this, &WaitEstimates::refresh);
    m_minutes.setInterval(60 * 1000);
    connect(&m_minutes, &QTimer::timeout, this, &WaitEstimates::refresh);
    m_minutes.start();

    connect(&room, &Room::changeRecorded, this, [this](const JournalRecord &entry, const ListEffect &effect) {
        m_estimator.record(entry, effect);
        refreshSoon();
    });
    connect(&room, &Room::changed, this, &WaitEstimates::refreshSoon);
}

void WaitEstimates::load(const QList<JournalRecord> &entries)
{
    m_estimator.load(entries);
    refresh();
}

void WaitEstimates::refreshSoon()
{
    if (!m_soon.isActive())
        m_soon.start();
}

void WaitEstimates::settle()
{
    if (m_soon.isActive())
        refresh();
}

void WaitEstimates::refresh()
{
    m_soon.stop();
    const QDateTime now = m_clock.now();
    m_estimator.prune(now);
    QHash<qint64, WaitEstimate> estimates;
    estimates.reserve(m_room.games().size());
    for (const Game &game : m_room.games())
        estimates.insert(game.id, m_estimator.estimate(game.id, int(game.players.size()), now));
    if (estimates == m_estimates)
        return;
    m_estimates = std::move(estimates);
    emit estimatesChanged();
}

} // namespace tavlo
