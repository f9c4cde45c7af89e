#pragma once

#include "platform/Clock.h"

namespace tavlo::test {

// A clock that says what the test tells it, and moves on only when told.
class FixedClock final : public Clock {
public:
    explicit FixedClock(const QDateTime &start = QDateTime(QDate(2026, 12, 6), QTime(18, 0), Qt::UTC))
        : m_now(start)
    {
    }
    QDateTime now() const override { return m_now; }
    void set(const QDateTime &now) { m_now = now; }
    void advance(qint64 milliseconds) { m_now = m_now.addMSecs(milliseconds); }

private:
    QDateTime m_now;
};

} // namespace tavlo::test
