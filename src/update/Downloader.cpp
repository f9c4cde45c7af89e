#include "update/Downloader.h"

#include "base/TextFile.h"

#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

#include <algorithm>
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

// What Qt holds for us between two reads; the rest waits in the socket.
constexpr qint64 replyBufferSize = 64 * 1024;

bool isSuccess(int status)
{
    return status >= 200 && status < 300;
}

bool isRedirect(int status)
{
    return status >= 300 && status < 400;
}

int errorForStatus(int status)
{
    switch (status) {
    case 401: return QNetworkReply::AuthenticationRequiredError;
    case 403: return QNetworkReply::ContentAccessDenied;
    case 404: return QNetworkReply::ContentNotFoundError;
    case 410: return QNetworkReply::ContentGoneError;
    case 503: return QNetworkReply::ServiceUnavailableError;
    default: break;
    }
    if (status >= 400 && status < 500)
        return QNetworkReply::UnknownContentError;
    if (status >= 500 && status < 600)
        return QNetworkReply::UnknownServerError;
    return QNetworkReply::ProtocolFailure;
}

// Aborting from inside one of the reply's own notices would end the transfer in the middle of
// our handler; the event loop runs it instead.
void abortLater(QNetworkReply *reply)
{
    QPointer<QNetworkReply> guarded = reply;
    QTimer::singleShot(0, reply, [guarded] {
        if (guarded)
            guarded->abort();
    });
}

} // namespace

Downloader::Downloader(QObject *parent)
    : QObject(parent), m_manager(new QNetworkAccessManager(this)), m_stallTimer(new QTimer(this)),
      m_deadlineTimer(new QTimer(this)), m_ticks(systemTick)
{
    m_stallTimer->setSingleShot(true);
    m_deadlineTimer->setSingleShot(true);
    connect(m_stallTimer, &QTimer::timeout, this, [this] { stop(Abort::Stalled); });
    connect(m_deadlineTimer, &QTimer::timeout, this, [this] { stop(Abort::Deadline); });
}

Downloader::~Downloader()
{
    dropReply();
}

void Downloader::setSizeLimit(qint64 bytes)
{
    m_sizeLimit = std::clamp<qint64>(bytes, 0, std::numeric_limits<qint32>::max() - 1);
}

void Downloader::setStallTimeout(int milliseconds)
{
    m_stallTimeout = std::max(milliseconds, 1);
}

void Downloader::setDeadline(int milliseconds)
{
    m_deadline = std::max(milliseconds, 1);
}

void Downloader::setTickSource(TickSource ticks)
{
    m_ticks = ticks ? std::move(ticks) : TickSource(systemTick);
}

void Downloader::cancel()
{
    if (m_reply)
        abortLater(m_reply);
}

void Downloader::start(const QString &url, int mode)
{
    if (url.isEmpty())
        return;
    // A running read is superseded at once: nothing it still reports may reach the new one.
    if (m_busy)
        dropReply();

    m_duration = 0;
    m_startTick = m_ticks();
    m_busy = true;
    m_abort = Abort::None;
    m_badStatus = 0;
    m_announced = -1;
    m_data.clear();
    m_byteCount = 0;
    m_peakBuffer = 0;
    const quint64 read = ++m_read;

    const QUrl address(url, QUrl::StrictMode);
    const QString scheme = address.scheme().toLower();
    if (!address.isValid() || address.host().isEmpty()
        || (scheme != QLatin1String("http") && scheme != QLatin1String("https"))) {
        const QString reason = address.isValid() ? QStringLiteral("Unsupported address: %1").arg(url)
                                                 : QStringLiteral("Malformed address: %1").arg(address.errorString());
        // Reported from the event loop, like every other end of a read.
        QTimer::singleShot(0, this, [this, read, reason] {
            if (read != m_read || !m_busy || m_reply)
                return; // superseded by a later start
            endTransfer();
            fail(QNetworkReply::ProtocolUnknownError, reason);
        });
        return;
    }

    QNetworkRequest request(address);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(10);
    // The bytes as stored, so the length header counts what we receive and nothing inflates.
    request.setRawHeader("Accept-Encoding", "identity");
    if (mode & FreshFromServer) {
        request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
        request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
        // Also past any cache between us and the server.
        request.setRawHeader("Cache-Control", "no-cache");
        request.setRawHeader("Pragma", "no-cache");
    }

    QNetworkReply *reply = m_manager->get(request);
    reply->setReadBufferSize(replyBufferSize);
    m_reply = reply;
    connect(reply, &QNetworkReply::metaDataChanged, this, [this, reply] { onMetaData(reply); });
    connect(reply, &QNetworkReply::readyRead, this, [this, reply] { onReadyRead(reply); });
    connect(reply, &QNetworkReply::finished, this, [this, reply] { onFinished(reply); });
    m_stallTimer->start(m_stallTimeout);
    m_deadlineTimer->start(m_deadline);
}

void Downloader::onMetaData(QNetworkReply *reply)
{
    if (reply != m_reply || m_abort != Abort::None)
        return;
    m_stallTimer->start(m_stallTimeout);
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    m_announced = -1;
    if (status.isValid() && isRedirect(status.toInt()))
        return; // the final answer follows
    if (status.isValid() && !isSuccess(status.toInt())) {
        // An error page is not the file: no need to receive it.
        m_badStatus = status.toInt();
        stop(Abort::BadStatus);
        return;
    }
    const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
    if (!length.isValid())
        return;
    m_announced = length.toLongLong();
    if (m_announced > m_sizeLimit) {
        stop(Abort::TooLarge);
        return;
    }
    // One allocation of the announced size; a server that lies still meets the limit below.
    if (m_announced > m_data.capacity())
        m_data.reserve(m_announced);
    m_peakBuffer = std::max(m_peakBuffer, m_data.capacity());
}

void Downloader::onReadyRead(QNetworkReply *reply)
{
    if (reply != m_reply || m_abort != Abort::None)
        return;
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (status.isValid() && isRedirect(status.toInt())) {
        reply->skip(reply->bytesAvailable());
        return;
    }
    m_stallTimer->start(m_stallTimeout);
    if (!append(reply)) {
        stop(Abort::TooLarge);
        return;
    }
    if (m_byteCount > 0)
        emit progress(m_byteCount, std::max<qint64>(m_announced, 0));
}

bool Downloader::append(QNetworkReply *reply)
{
    // One byte past the limit is enough to know the answer is too large.
    const qint64 ceiling = m_sizeLimit + 1;
    for (qint64 available = reply->bytesAvailable(); available > 0; available = reply->bytesAvailable()) {
        const qint64 size = m_data.size();
        const qint64 wanted = std::min(available, ceiling - size);
        if (wanted <= 0)
            break;
        if (size + wanted > m_data.capacity()) {
            // Grow geometrically, never past the ceiling: no copy on every notice, no
            // allocation far beyond what may be kept.
            const qint64 grown = std::max({size + wanted, m_data.capacity() * 2, qint64(4096)});
            m_data.reserve(std::min(grown, ceiling));
        }
        m_data.resize(size + wanted);
        const qint64 got = reply->read(m_data.data() + size, wanted);
        m_data.resize(size + std::max<qint64>(got, 0));
        if (got <= 0)
            break;
    }
    m_byteCount = m_data.size();
    m_peakBuffer = std::max(m_peakBuffer, m_data.capacity());
    return m_byteCount <= m_sizeLimit;
}

void Downloader::onFinished(QNetworkReply *reply)
{
    if (reply != m_reply)
        return;
    if (m_abort == Abort::None && reply->error() == QNetworkReply::NoError && !append(reply))
        m_abort = Abort::TooLarge;
    const QNetworkReply::NetworkError error = reply->error();
    const QString errorText = reply->errorString();
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    const QString reason = reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
    m_reply = nullptr;
    reply->deleteLater();
    endTransfer();

    switch (m_abort) {
    case Abort::Stalled:
        return fail(QNetworkReply::TimeoutError, QStringLiteral("No data arrived for %1 ms").arg(m_stallTimeout));
    case Abort::Deadline:
        return fail(QNetworkReply::TimeoutError, QStringLiteral("The transfer took longer than %1 ms").arg(m_deadline));
    case Abort::TooLarge:
        return fail(QNetworkReply::UnknownContentError,
                    QStringLiteral("Response too large: more than %1 bytes").arg(m_sizeLimit));
    case Abort::BadStatus:
        return fail(errorForStatus(m_badStatus), QStringLiteral("Server replied: %1 %2").arg(m_badStatus).arg(reason));
    case Abort::None:
        break;
    }
    if (error != QNetworkReply::NoError)
        return fail(error, errorText);
    if (status.isValid() && !isSuccess(status.toInt()))
        return fail(errorForStatus(status.toInt()), QStringLiteral("Server replied: %1 %2").arg(status.toInt()).arg(reason));
    if (m_announced >= 0 && m_announced != m_data.size())
        return fail(QNetworkReply::UnknownContentError,
                    QStringLiteral("Received %1 bytes, the server announced %2").arg(m_data.size()).arg(m_announced));
    m_byteCount = m_data.size();
    emit completed(m_byteCount);
}

void Downloader::stop(Abort reason)
{
    if (!m_reply || m_abort != Abort::None)
        return;
    m_abort = reason;
    m_stallTimer->stop();
    m_deadlineTimer->stop();
    abortLater(m_reply);
}

void Downloader::fail(int error, const QString &description)
{
    // A failed transfer leaves nothing to save, and gives its memory back.
    m_byteCount = 0;
    m_data.clear();
    emit failed(error, description);
}

void Downloader::endTransfer()
{
    m_stallTimer->stop();
    m_deadlineTimer->stop();
    // Unsigned difference: right across the 32-bit wrap of the tick.
    const quint32 elapsed = m_ticks() - m_startTick;
    m_duration = static_cast<qint32>(std::min<quint32>(elapsed, std::numeric_limits<qint32>::max()));
    m_startTick = 0;
    m_busy = false;
}

void Downloader::dropReply()
{
    m_stallTimer->stop();
    m_deadlineTimer->stop();
    if (!m_reply)
        return;
    QNetworkReply *reply = m_reply;
    m_reply = nullptr;
    disconnect(reply, nullptr, this, nullptr);
    reply->abort();
    reply->deleteLater();
}

bool Downloader::saveAs(const QString &fileName) const
{
    if (m_busy || m_byteCount == 0)
        return false;
    if (writeFileAtomically(fileName, m_data).isEmpty())
        return true;
    // An older file must not pass for the bytes just received.
    QFile::remove(fileName);
    return false;
}

} // namespace tavlo
