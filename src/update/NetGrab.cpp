#include "update/NetGrab.h"

#include "base/TextFile.h"

#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

#include <chrono>
#include <limits>

namespace tavlo {

namespace {

quint32 systemTick()
{
    // Milliseconds of the monotonic clock, cut to 32 bits so it wraps like the classic tick.
    const auto sinceBoot = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<quint32>(std::chrono::duration_cast<std::chrono::milliseconds>(sinceBoot).count());
}

// An aborted reply is closed; reading it would only warn.
QByteArray takeAvailable(QNetworkReply *reply)
{
    return reply->isOpen() ? reply->readAll() : QByteArray();
}

constexpr qint64 longMax = std::numeric_limits<qint32>::max();

qint32 toLong(qint64 value)
{
    if (value < 0)
        return 0;
    return static_cast<qint32>(value > longMax ? longMax : value);
}

} // namespace

NetGrab::NetGrab(QObject *parent)
    : QObject(parent), m_manager(new QNetworkAccessManager(this)), m_stallTimer(new QTimer(this)),
      m_ticks(systemTick)
{
    m_stallTimer->setSingleShot(true);
    connect(m_stallTimer, &QTimer::timeout, this, &NetGrab::onStalled);
}

NetGrab::~NetGrab()
{
    dropReply();
}

void NetGrab::setTransferTimeout(int milliseconds)
{
    m_transferTimeout = milliseconds > 0 ? milliseconds : 1;
}

void NetGrab::setTickSource(TickSource ticks)
{
    m_ticks = ticks ? std::move(ticks) : TickSource(systemTick);
}

void NetGrab::DownloadCancel()
{
    // Only forwards the request: the abort runs from the event loop, so the end of the read
    // never arrives inside the caller's own handler.
    if (!m_reply)
        return;
    QPointer<QNetworkReply> reply = m_reply;
    QTimer::singleShot(0, reply.data(), [reply] {
        if (reply)
            reply->abort();
    });
}

void NetGrab::DownloadStart(const QString &URL, qint32 Mode)
{
    if (URL.isEmpty())
        return;
    // A running read is cancelled and superseded at once: nothing it still reports may reach
    // the new one.
    if (m_busy)
        dropReply();

    m_duration = 0;
    m_startTick = m_ticks();
    m_busy = true;
    m_abort = Abort::None;
    m_incoming.clear();
    const quint64 read = ++m_read;

    const QUrl url(URL, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty()
        || (scheme != QLatin1String("http") && scheme != QLatin1String("https"))) {
        const QString reason = url.isValid() ? QStringLiteral("Unsupported address: %1").arg(URL)
                                             : QStringLiteral("Malformed address: %1").arg(url.errorString());
        // Reported from the event loop, like every other end of a read.
        QTimer::singleShot(0, this, [this, read, reason] {
            refuse(read, QNetworkReply::ProtocolUnknownError, reason);
        });
        return;
    }

    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(10);
    if (Mode & FreshFromServer) {
        request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                             QNetworkRequest::AlwaysNetwork);
        request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
        // Also past any cache between us and the server.
        request.setRawHeader("Cache-Control", "no-cache");
        request.setRawHeader("Pragma", "no-cache");
    }

    QNetworkReply *reply = m_manager->get(request);
    reply->setObjectName(QString::number(m_startTick));
    m_reply = reply;
    connect(reply, &QNetworkReply::readyRead, this, [this, reply] {
        if (reply != m_reply)
            return;
        m_incoming += takeAvailable(reply);
        m_stallTimer->start(m_transferTimeout);
        if (m_incoming.size() > longMax) {
            // More than the byte count can hold: stop before memory runs out.
            m_abort = Abort::TooLarge;
            reply->abort();
        }
    });
    connect(reply, &QNetworkReply::downloadProgress, this,
            [this, reply](qint64 received, qint64 total) { onProgress(reply, received, total); });
    connect(reply, &QNetworkReply::finished, this, [this, reply] { onFinished(reply); });
    m_stallTimer->start(m_transferTimeout);
}

void NetGrab::onProgress(QNetworkReply *reply, qint64 received, qint64 total)
{
    if (reply != m_reply)
        return;
    m_stallTimer->start(m_transferTimeout);
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (status.isValid() && (status.toInt() < 200 || status.toInt() >= 300))
        return; // an error page or a redirect's body is not the file
    m_incoming += takeAvailable(reply);
    if (m_incoming.isEmpty() || received <= 0)
        return;
    m_data = m_incoming;
    m_byteCount = toLong(m_data.size());
    emit DownloadProgress(m_byteCount, toLong(total));
}

void NetGrab::onFinished(QNetworkReply *reply)
{
    if (reply != m_reply)
        return;
    m_stallTimer->stop();
    m_incoming += takeAvailable(reply);
    const QNetworkReply::NetworkError error = reply->error();
    const QString errorText = reply->errorString();
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    const QString reason = reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
    m_reply = nullptr;
    reply->deleteLater();

    endTransfer();

    qint32 errNum = 0;
    QString errDesc;
    if (m_abort == Abort::Stalled) {
        errNum = QNetworkReply::TimeoutError;
        errDesc = QStringLiteral("No data arrived for %1 ms").arg(m_transferTimeout);
    } else if (m_abort == Abort::TooLarge) {
        errNum = QNetworkReply::UnknownContentError;
        errDesc = QStringLiteral("Response too large");
    } else if (error != QNetworkReply::NoError) {
        errNum = error;
        errDesc = errorText;
    } else if (status.isValid() && (status.toInt() < 200 || status.toInt() >= 300)) {
        errNum = QNetworkReply::UnknownContentError;
        errDesc = QStringLiteral("Server replied: %1 %2").arg(status.toInt()).arg(reason);
    }

    if (errNum != 0) {
        m_byteCount = 0;
        m_incoming.clear();
        emit DownloadFailed(errNum, errDesc);
        return;
    }
    m_data = m_incoming;
    m_incoming.clear();
    m_byteCount = toLong(m_data.size());
    emit DownloadComplete(m_byteCount);
}

void NetGrab::onStalled()
{
    if (!m_reply)
        return;
    m_abort = Abort::Stalled;
    m_reply->abort();
}

void NetGrab::refuse(quint64 read, qint32 errNum, const QString &errDesc)
{
    if (read != m_read || !m_busy || m_reply)
        return; // superseded by a later start
    m_stallTimer->stop();
    endTransfer();
    m_byteCount = 0;
    emit DownloadFailed(errNum, errDesc);
}

void NetGrab::endTransfer()
{
    // Unsigned difference: right across the 32-bit wrap of the tick.
    const quint32 elapsed = m_ticks() - m_startTick;
    m_duration = toLong(elapsed);
    m_startTick = 0;
    m_busy = false;
}

void NetGrab::dropReply()
{
    m_stallTimer->stop();
    if (!m_reply)
        return;
    QNetworkReply *reply = m_reply;
    m_reply = nullptr;
    disconnect(reply, nullptr, this, nullptr);
    reply->abort();
    reply->deleteLater();
}

bool NetGrab::SaveAs(const QString &FileName)
{
    if (m_byteCount == 0)
        return false;
    if (writeFileAtomically(FileName, m_data).isEmpty())
        return true;
    // The old file must not pass for the bytes just received.
    QFile::remove(FileName);
    return false;
}

} // namespace tavlo
