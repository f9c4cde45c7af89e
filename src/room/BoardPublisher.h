#pragma once

#include "board/Board.h"
#include "board/BoardSnapshot.h"
#include "platform/Clock.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

namespace tavlo {

class Room;
class WaitEstimates;
struct Settings;

// Keeps the large screen in step with the room. A publication takes one snapshot of the room
// in memory (with the games' wait estimates), renders each output from it (the fragment
// TAVLO-Display.txt, laid out by the settings, and the board file TAVLO-Board.json) and
// replaces each file in one step, after putting the display page and picture into the display
// folder when it lacks them. Once it has published, it rewrites the board file of that
// snapshot every heartbeat with only the time written new, so that a screen can tell a quiet
// room from a console that has stopped.
class BoardPublisher : public QObject {
    Q_OBJECT
public:
    // The settings give the display folder and the layout; a row count below one is replaced
    // in them by its fallback (15, 10), so the settings file keeps what the board used. The
    // clock gives the times the board file carries.
    BoardPublisher(const Room &room, Settings &settings, const QString &programFolder,
                   const Clock &clock = SystemClock::instance(), QObject *parent = nullptr);

    // The room as it stands, written now, changed when it was last published.
    BoardSnapshot snapshot() const;
    // How the settings lay the fragment out.
    FragmentLayout fragmentLayout();
    // The fragment's board of the room as it stands.
    Board board() { return boardOf(snapshot(), fragmentLayout()); }
    QString fragmentPath() const;
    QString boardFilePath() const;

    // Publishes the room now, as after a change; false (after failed()) when a file could not
    // be written, and then the heartbeat stops, so that the screens see the board go stale.
    bool publish();

    // Rewrites the board file of the last publication with the time of now; the heartbeat's
    // timer calls it. A failure is reported through heartbeatFailed() and tried again at the
    // next beat: nothing the operator did is lost, and the screens show the board as stale
    // meanwhile.
    bool writeHeartbeat();
    int heartbeatSeconds() const { return m_heartbeatSeconds; }
    void setHeartbeatSeconds(int seconds);
    bool isHeartbeatRunning() const { return m_heartbeat.isActive(); }

    // The games' wait estimates go into the board file from now on; a new figure is written at
    // once once the board has been published.
    void setEstimates(const WaitEstimates *estimates);

signals:
    void published();
    void failed(const QString &message);
    void heartbeatWritten();
    void heartbeatFailed(const QString &message);

private:
    struct Output {
        QString path;
        QByteArray bytes;
    };

    BoardSnapshot snapshot(QList<qint64> &gameIds) const;
    bool copyWhenMissing(const QString &folder, const QString &fileName);
    QString displayFolder() const;
    QString estimateOf(qint64 gameId) const;
    void estimatesChanged();
    // Writes the file; the message of its failure, or empty.
    static QString write(const Output &output);

    const Room &m_room;
    Settings &m_settings;
    QString m_programFolder;
    const Clock &m_clock;
    const WaitEstimates *m_estimates = nullptr;
    QDateTime m_changedAt;
    int m_heartbeatSeconds;
    QTimer m_heartbeat;
    BoardSnapshot m_published;     // the snapshot of the last publication
    QList<qint64> m_publishedIds;  // its games
    bool m_hasPublished = false;
    QHash<QString, QString> m_sources; // display file name -> the program folder's copy, or empty
};

} // namespace tavlo
