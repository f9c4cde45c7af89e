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
// transfer goes through signals. The owner starts a transfer, waits while Busy() processing
// events, then reads Bytes() or calls SaveAs().
class NetGrab : public QObject {
    Q_OBJECT

public:
    // Read options: always fetch from the server, never from a cache.
    static constexpr qint32 FreshFromServer = 16;

    // A 32-bit millisecond counter that wraps, like the system tick.
    using TickSource = std::function<quint32()>;

    explicit NetGrab(QObject *parent = nullptr);
    ~NetGrab() override;

    bool Busy() const { return m_busy; }
    QByteArray Bytes() const { return m_data; }
    qint32 Duration() const { return m_duration; }

    // Asks for the running transfer to stop. Busy() stays true until the transfer's own
    // end arrives (as DownloadFailed), so waiting callers see it end in the usual way.
    void DownloadCancel();
    void DownloadStart(const QString &URL, qint32 Mode = 0);
    // Writes what the last transfer left, unchanged, replacing the file in one step.
    bool SaveAs(const QString &FileName);

    // A transfer with no bytes moving for this long fails, so nobody waits for ever.
    void setTransferTimeout(int milliseconds);
    int transferTimeout() const { return m_transferTimeout; }
    void setTickSource(TickSource ticks);

signals:
    void DownloadComplete(qint32 nBytes);
    void DownloadFailed(qint32 ErrNum, const QString &ErrDesc);
    void DownloadProgress(qint32 nBytes, qint32 nTotalBytes);

private:
    void onProgress(QNetworkReply *reply, qint64 received, qint64 total);
    void onFinished(QNetworkReply *reply);
    void onStalled();
    void refuse(quint64 read, qint32 errNum, const QString &errDesc);
    void endTransfer();
    void dropReply();

    QNetworkAccessManager *m_manager;
    QTimer *m_stallTimer;
    QPointer<QNetworkReply> m_reply;
    TickSource m_ticks;
    int m_transferTimeout = 30000;

    bool m_busy = false;
    enum class Abort { None, Stalled, TooLarge };
    Abort m_abort = Abort::None; // why we stopped the read ourselves
    quint64 m_read = 0; // counts reads, so a late notice of an earlier one is known as such
    quint32 m_startTick = 0;
    qint32 m_duration = 0;
    QByteArray m_data;
    qint32 m_byteCount = 0;
    QByteArray m_incoming;
};

} // namespace tavlo
