#include "display/ConnectionGuard.h"

#include <QPointer>
#include <QTcpSocket>
#include <QTimer>

#include <memory>

namespace tavlo::display {

// Where a connection stands in its stream of requests: in a head (counting its bytes and
// lines), or in a body being skipped. Only what is needed to spot a request out of bounds.
struct ConnectionGuard::Scan {
    qint64 headBytes = 0;
    int headerLines = 0;
    qint64 lineBytes = 0;
    QByteArray line;     // the current header line, kept only while it may be Content-Length
    qint64 bodyLeft = 0; // bytes of a body still to pass
    qint64 bodyLength = 0;
    bool chunked = false;
};

namespace {

QByteArray shortAnswer(const QByteArray &status)
{
    return "HTTP/1.1 " + status + "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
}

} // namespace

ConnectionGuard::ConnectionGuard(const Limits &limits, QObject *parent)
    : QTcpServer(parent)
    , m_limits(limits)
{
    // A burst of phones (or of anything) waits in the system's queue instead of being dropped.
    setListenBacklogSize(1024);
    setMaxPendingConnections(1024);
}

void ConnectionGuard::incomingConnection(qintptr descriptor)
{
    auto *socket = new QTcpSocket(this);
    if (!socket->setSocketDescriptor(descriptor)) {
        delete socket;
        return;
    }
    const QHostAddress peer = socket->peerAddress();
    if (m_open >= m_limits.maxConnections || m_perAddress.value(peer) >= m_limits.maxConnectionsPerAddress) {
        ++m_refused;
        refuse(socket, "503 Service Unavailable");
        return;
    }
    ++m_open;
    ++m_perAddress[peer];
    connect(socket, &QObject::destroyed, this, [this, peer] { forget(peer); });

    // One deadline for each request: from the connection, and again from each whole head.
    // A client that trickles its bytes, or keeps an idle connection, is closed when it passes.
    auto *deadline = new QTimer(socket);
    deadline->setSingleShot(true);
    deadline->setInterval(m_limits.requestMilliseconds);
    connect(deadline, &QTimer::timeout, socket, [socket] { socket->abort(); });
    deadline->start();
    // An answer still on its way keeps the connection, as long as the client reads it.
    connect(socket, &QTcpSocket::bytesWritten, deadline, [deadline] { deadline->start(); });

    // Connected before the server connects its own reader, so this sees every byte first.
    auto scan = std::make_shared<Scan>();
    connect(socket, &QTcpSocket::readyRead, this, [this, socket, scan] { inspect(socket, *scan); });
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    addPendingConnection(socket);
}

void ConnectionGuard::inspect(QTcpSocket *socket, Scan &scan)
{
    if (socket->state() != QAbstractSocket::ConnectedState)
        return;
    // The server reads all there is after this; what is there now is new since the last time.
    const QByteArray bytes = socket->peek(socket->bytesAvailable());
    auto *deadline = socket->findChild<QTimer *>();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (scan.bodyLeft > 0) {
            const qint64 skip = std::min<qint64>(scan.bodyLeft, bytes.size() - i);
            scan.bodyLeft -= skip;
            i += skip - 1;
            continue;
        }
        const char c = bytes[i];
        ++scan.headBytes;
        if (scan.headBytes > m_limits.maxHeadBytes)
            return refuse(socket, "431 Request Header Fields Too Large");
        if (c != '\n') {
            if (c != '\r' && ++scan.lineBytes <= 32)
                scan.line += c;
            continue;
        }
        if (scan.lineBytes > 0) {
            if (++scan.headerLines > m_limits.maxHeaderLines)
                return refuse(socket, "431 Request Header Fields Too Large");
            const QByteArray lower = scan.line.toLower();
            if (lower.startsWith("content-length:"))
                scan.bodyLength = lower.mid(15).trimmed().toLongLong();
            else if (lower.startsWith("transfer-encoding:"))
                scan.chunked = true;
            scan.line.clear();
            scan.lineBytes = 0;
            continue;
        }
        // The blank line: a whole head. Its body, if any, must be small and of known length.
        if (scan.chunked || scan.bodyLength < 0 || scan.bodyLength > m_limits.maxBodyBytes)
            return refuse(socket, "413 Content Too Large");
        const qint64 body = scan.bodyLength;
        scan = Scan{};
        scan.bodyLeft = body;
        if (deadline)
            deadline->start();
    }
}

void ConnectionGuard::refuse(QTcpSocket *socket, const QByteArray &status)
{
    // Whatever it sent is dropped here, so that the server never reads a part of it.
    socket->readAll();
    socket->write(shortAnswer(status));
    socket->disconnectFromHost();
    if (socket->state() == QAbstractSocket::UnconnectedState) {
        socket->deleteLater();
        return;
    }
    // A client that does not read its answer is not waited for long.
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater, Qt::UniqueConnection);
    QTimer::singleShot(1000, socket, [socket] { socket->abort(); });
}

void ConnectionGuard::forget(const QHostAddress &peer)
{
    --m_open;
    auto it = m_perAddress.find(peer);
    if (it != m_perAddress.end() && --it.value() <= 0)
        m_perAddress.erase(it);
}

} // namespace tavlo::display
