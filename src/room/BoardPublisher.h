#pragma once

#include "board/Board.h"
#include "board/BoardSnapshot.h"
#include "platform/Clock.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QString>
#include <QTimer>

#include <chrono>
#include <future>
#include <memory>

namespace tavlo {

class Room;
class WaitEstimates;
struct Settings;

// Keeps the large screen in step with the room. A publication renders each output from one
// moment of the room (with the games' wait estimates): the fragment TAVLO-Display.txt, laid out
// by the settings, and the board file TAVLO-Board.json, and replaces each file in one step,
// after putting the display page and picture into the display folder when it lacks them.
//
// The room's changes are published off the command's path: the room's games are taken as they
// stand (a copy that costs nothing until the room changes again) and rendered and written on a
// thread of their own, one publication at a time; changes that come meanwhile lead to one more
// publication, of the room as it then stands (a burst of changes waits for a pause). The files are derived from the database, which
// every start publishes again, so they are replaced whole but not synced to the disk.
//
// Once it has published, it rewrites the small heartbeat file TAVLO-Heartbeat.json every
// heartbeat, so that a screen can tell a quiet room from a console that has stopped.
class BoardPublisher : public QObject {
    Q_OBJECT
public:
    // The settings give the display folder and the layout; a row count below one is replaced
    // in them by its fallback (15, 10), so the settings file keeps what the board used. The
    // clock gives the times the board file carries.
    BoardPublisher(const Room &room, Settings &settings, const QString &programFolder,
                   const Clock &clock = SystemClock::instance(), QObject *parent = nullptr);
    // Waits for a publication under way.
    ~BoardPublisher() override;

    // The room as it stands, written now, changed when it was last published.
    BoardSnapshot snapshot() const;
    // How the settings lay the fragment out.
    FragmentLayout fragmentLayout();
    // The fragment's board of the room as it stands.
    Board board() { return boardOf(snapshot(), fragmentLayout()); }
    QString fragmentPath() const;
    QString boardFilePath() const;
    QString heartbeatPath() const;

    // Publishes the room now, after any publication under way, and returns once the files are
    // in place; false (after failed()) when a file could not be written, and then the
    // heartbeat stops, so that the screens see the board go stale.
    bool publish();
    // Whether a publication is waiting or under way.
    bool isPublishing() const { return m_inFlight.valid() || m_dirty; }
    // A change less than this after the one before is part of a burst, published once the
    // changes pause for as long, or this long after the burst's first change.
    static constexpr int QuietMilliseconds = 100;
    static constexpr int LongestWaitMilliseconds = 1000;
    // Waits until every change so far is published; whether the last publication succeeded.
    bool settle();
    // When the last publication's files were in place (the main thread hears of it later).
    std::chrono::steady_clock::time_point publishedAt() const { return m_publishedAt; }

    // Rewrites the heartbeat file with the time of now; the heartbeat's timer calls it. A
    // failure is reported through heartbeatFailed() and tried again at the next beat: nothing
    // the operator did is lost, and the screens show the board as stale meanwhile.
    bool writeHeartbeat();
    int heartbeatSeconds() const { return m_heartbeatSeconds; }
    void setHeartbeatSeconds(int seconds);
    bool isHeartbeatRunning() const { return m_heartbeat.isActive(); }

    // The games' wait estimates go into the board file from now on; a new figure is published
    // once the board has been published.
    void setEstimates(WaitEstimates *estimates);

signals:
    void published();
    void failed(const QString &message);
    void heartbeatWritten();
    void heartbeatFailed(const QString &message);

private:
    class Renderer;
    struct Job;
    struct Result {
        QString failure;
        bool written = false; // false when nothing the files say had moved
        std::chrono::steady_clock::time_point finishedAt;
    };

    void roomChanged();
    void estimatesChanged();
    void changeWaiting(bool inBurst);
    // Starts the next publication at once, or once the changes pause.
    void schedule(bool afterPause);
    // Starts a publication of the room as it stands, unless one is under way.
    void startPublication();
    void publicationDone(quint64 serial);
    Job takeJob(bool roomChanged);
    bool finish(const Result &result);
    QString displayFolder() const;
    QString estimateOf(qint64 gameId) const;

    const Room &m_room;
    Settings &m_settings;
    QString m_programFolder;
    const Clock &m_clock;
    WaitEstimates *m_estimates = nullptr;
    QDateTime m_changedAt;
    int m_heartbeatSeconds;
    QTimer m_heartbeat;
    QTimer m_soon;
    QElapsedTimer m_lastChange;
    QElapsedTimer m_waitingSince; // the oldest change not yet taken
    bool m_hasPublished = false;
    bool m_dirty = false;       // something changed since the last publication was taken
    bool m_roomChanged = false; // and it was the room, not only the estimates
    std::future<Result> m_inFlight;
    std::chrono::steady_clock::time_point m_publishedAt;
    quint64 m_serial = 0; // of the publication under way, or the last one
    std::unique_ptr<Renderer> m_renderer; // used by one thread at a time
    QHash<QString, QString> m_sources;    // display file name -> the program folder's copy, or empty
};

} // namespace tavlo
