#pragma once

#include "room/WaitEstimate.h"
#include "room/WaitEstimator.h"

#include <QHash>
#include <QObject>
#include <QTimer>

namespace tavlo {

class Clock;
class Room;

// The room's wait estimates, kept up to date: each change the room makes, undoes or makes
// again feeds the estimator, and the figures are worked out again once the command is over
// (never inside it) and every minute.
class WaitEstimates : public QObject {
    Q_OBJECT
public:
    WaitEstimates(const Room &room, const Clock &clock, QObject *parent = nullptr);

    // The journal's entries since WaitEstimator::windowStart(now), read once at start-up.
    void load(const QList<JournalRecord> &entries);

    // The game's estimate as last worked out; not enough data for a game it does not know.
    WaitEstimate estimate(qint64 gameId) const { return m_estimates.value(gameId); }
    QString text(qint64 gameId) const { return estimate(gameId).text(); }
    // Every game's, by id: a copy costs nothing until the figures move.
    const QHash<qint64, WaitEstimate> &all() const { return m_estimates; }

    const WaitEstimator &estimator() const { return m_estimator; }

public slots:
    // Works every game's estimate out now.
    void refresh();
    // Works the estimates out now if a change is waiting for it, so that a reader sees it.
    void settle();

signals:
    void estimatesChanged();

private:
    void refreshSoon();

    const Room &m_room;
    const Clock &m_clock;
    WaitEstimator m_estimator;
    QHash<qint64, WaitEstimate> m_estimates;
    QTimer m_soon;
    QTimer m_minutes;
};

} // namespace tavlo
