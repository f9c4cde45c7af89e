#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

class QNetworkAccessManager;
class QNetworkReply;
class QTimer;

namespace tavlo {

// Fetches one web address at a time into memory, asynchronously, and tells its owner how the
// transfer goes through signals; it never waits itself. Every transfer is bounded: by a size
// limit, by a stall timeout and by an overall deadline, so a hostile or broken server can
// neither fill the memory nor keep the transfer open for ever.
class Downloader : public QObject {
    Q_OBJECT

public:
    // Read options: always fetch from the server, never from a cache.
    static constexpr int FreshFromServer = 16;

    // A 32-bit millisecond counter that wraps, like the system tick.
    using TickSource = std::function<quint32()>;

    explicit Downloader(QObject *parent = nullptr);
    ~Downloader() override;

    bool isBusy() const { return m_busy; }
    // The bytes received: so far during a transfer, all of them after a successful one,
    // nothing after a failed one. It grows in place; copies taken during a transfer cost a copy.
    const QByteArray &data() const { return m_data; }
    qint64 byteCount() const { return m_byteCount; }
    // Milliseconds the last transfer took; 0 while one runs.
    qint32 duration() const { return m_duration; }
    // The most the received buffer held allocated since the last start.
    qint64 peakBufferSize() const { return m_peakBuffer; }
    // Whether the last transfer was stopped because the answer passed the size limit.
    bool wasTooLarge() const { return !m_busy && m_abort == Abort::TooLarge; }

    // Starts a transfer; a running one is dropped first. An empty address does nothing.
    // Every start ends in exactly one completed() or failed(), always from the event loop.
    void start(const QString &url, int mode = 0);
    // Asks the running transfer to stop. isBusy() stays true until it ends as failed().
    void cancel();
    // Writes what the last successful transfer received, unchanged, replacing the file in one
    // step. False when there is nothing to write or the file could not be written.
    bool saveAs(const QString &fileName) const;

    // Bounds of the transfers started from now on.
    void setSizeLimit(qint64 bytes);
    qint64 sizeLimit() const { return m_sizeLimit; }
    void setStallTimeout(int milliseconds);
    int stallTimeout() const { return m_stallTimeout; }
    void setDeadline(int milliseconds);
    int deadline() const { return m_deadline; }
    void setTickSource(TickSource ticks);

signals:
    void completed(qint64 bytes);
    void failed(int error, const QString &description);
    // totalBytes is the size the server announced, 0 when it announced none.
    void progress(qint64 bytes, qint64 totalBytes);

private:
    enum class Abort { None, Stalled, Deadline, TooLarge, BadStatus };

    void onMetaData(QNetworkReply *reply);
    void onReadyRead(QNetworkReply *reply);
    void onFinished(QNetworkReply *reply);
    void stop(Abort reason);
    void fail(int error, const QString &description);
    void endTransfer();
    void dropReply();
    bool append(QNetworkReply *reply);

    QNetworkAccessManager *m_manager;
    QTimer *m_stallTimer;
    QTimer *m_deadlineTimer;
    QPointer<QNetworkReply> m_reply;
    TickSource m_ticks;
    qint64 m_sizeLimit = 32 * 1024 * 1024;
    int m_stallTimeout = 30000;
    int m_deadline = 600000;

    bool m_busy = false;
    Abort m_abort = Abort::None; // why we stopped the read ourselves
    int m_badStatus = 0;
    quint64 m_read = 0; // counts reads, so a late notice of an earlier one is known as such
    quint32 m_startTick = 0;
    qint32 m_duration = 0;
    QByteArray m_data;
    qint64 m_byteCount = 0;
    qint64 m_announced = -1; // the length header, -1 without one
    qint64 m_peakBuffer = 0;
};

} // namespace tavlo
