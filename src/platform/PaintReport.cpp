#include "platform/PaintReport.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <chrono>

namespace tavlo {

Q_LOGGING_CATEGORY(startupLog, "tavlo.startup", QtWarningMsg)

qint64 monotonicNanoseconds()
{
    // steady_clock is CLOCK_MONOTONIC on Linux: comparable across processes.
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

namespace {

class FirstPaint : public QObject {
public:
    FirstPaint(QWidget &window, std::function<void()> then)
        : QObject(&window)
        , m_then(std::move(then))
    {
        window.installEventFilter(this);
        // A window that is never painted (minimized, on no screen) must not hold `then` back.
        QTimer::singleShot(kLongestWait, this, [this] { finish(); });
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Paint || m_seen)
            return false;
        m_seen = true;
        // The children paint and the picture is flushed in the same pass: queued, this runs after.
        QMetaObject::invokeMethod(
                this,
                [this, watched] {
                    qCInfo(startupLog, "%s first painted at %lld ns", watched->metaObject()->className(),
                           monotonicNanoseconds());
                    finish();
                },
                Qt::QueuedConnection);
        return false;
    }

private:
    static constexpr int kLongestWait = 2000;

    void finish()
    {
        if (m_done)
            return;
        m_done = true;
        parent()->removeEventFilter(this);
        deleteLater();
        if (m_then)
            m_then();
    }

    std::function<void()> m_then;
    bool m_seen = false;
    bool m_done = false;
};

} // namespace

void reportStartupStep(const char *step, qint64 at)
{
    qCInfo(startupLog, "%s at %lld ns", step, at);
}

void afterFirstPaint(QWidget &window, std::function<void()> then)
{
    new FirstPaint(window, std::move(then));
}

} // namespace tavlo
