#pragma once

#include "board/Board.h"
#include "board/BoardSnapshot.h"
#include "platform/Clock.h"

#include <QDateTime>
#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

namespace tavlo {

class Room;
class WaitEstimates;
struct Settings;

// Keeps the large screen in step with the room: after every change it renders the board from
// the room in memory and replaces TAVLO-Display.txt and then TAVLO-Board.json in the display
// folder, each in one step, after putting the display page and picture there when the folder
// lacks them. Once it has published, it rewrites the board file every heartbeat, so that a
// screen can tell a quiet room from a console that has stopped.
class BoardPublisher : public QObject {
    Q_OBJECT
public:
    // The settings give the display folder and the layout; a row count below one is replaced
    // in them by its fallback (15, 10), so the settings file keeps what the board used. The
    // clock gives the times the board file carries.
    BoardPublisher(const Room &room, Settings &settings, const QString &programFolder,
                   const Clock &clock = SystemClock::instance(), QObject *parent = nullptr);

    // The board of the room as it stands, laid out by the settings.
    Board board();
    // The whole room for the board file, written now, changed when it was last published.
    BoardSnapshot snapshot() const;
    QString fragmentPath() const;
    QString boardFilePath() const;

    // Writes the board now, as after a change; false (after failed()) when it could not be
    // written, and then the heartbeat stops, so that the screens see the board go stale.
    bool publish();

    // Rewrites the board file with the time of now; the heartbeat's timer calls it. A failure
    // is reported through heartbeatFailed() and tried again at the next beat: nothing the
    // operator did is lost, and the screens show the board as stale meanwhile.
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
    bool copyWhenMissing(const QString &folder, const QString &fileName);
    QString displayFolder() const;
    QString writeBoardFile();
    QStringList estimateTexts() const;

    const Room &m_room;
    Settings &m_settings;
    QString m_programFolder;
    const Clock &m_clock;
    const WaitEstimates *m_estimates = nullptr;
    QStringList m_writtenEstimates; // as last written, one per game
    QDateTime m_changedAt;
    int m_heartbeatSeconds;
    QTimer m_heartbeat;
    QHash<QString, QString> m_sources; // display file name -> the program folder's copy, or empty
};

} // namespace tavlo
