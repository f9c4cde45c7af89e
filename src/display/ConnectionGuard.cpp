#include "display/ConnectionGuard.h"

#include <QTcpSocket>
#include <QTimer>

#include <algorithm>
#include <limits>
#include <optional>

namespace tavlo::display {

namespace {

// Empty lines a client may send before a request line (some send one after a body).
constexpr int kBlankLinesBeforeRequest = 4;

const QByteArray kBadRequest = "400 Bad Request";
const QByteArray kTooLarge = "413 Content Too Large";
const QByteArray kHeadTooLarge = "431 Request Header Fields Too Large";

QByteArray shortAnswer(const QByteArray &status)
{
    return "HTTP/1.1 " + status + "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// "METHOD target HTTP/x.y". Only the version matters here: before 1.1 a connection ends
// with its answer. Null when the line is none of that.
std::optional<bool> lastByVersion(QByteArrayView line)
{
    line = line.trimmed();
    const qsizetype method = line.indexOf(' ');
    const qsizetype version = line.lastIndexOf(' ') + 1;
    if (method <= 0 || version < method + 3)
        return std::nullopt;
    const QByteArrayView v = line.sliced(version);
    if (v.size() != 8 || !v.startsWith("HTTP/") || !isDigit(v[5]) || v[6] != '.' || !isDigit(v[7]))
        return std::nullopt;
    return v[5] == '0' || (v[5] == '1' && v[7] == '0');
}

// A length as the header gives it: digits only, any number of leading zeros, exact.
// Negative when it is not one; the most there is when it is beyond any limit.
qint64 lengthOf(QByteArrayView value)
{
    if (value.isEmpty() || !std::all_of(value.begin(), value.end(), isDigit))
        return -1;
    while (value.size() > 1 && value.front() == '0')
        value = value.sliced(1);
    if (value.size() > 15)
        return std::numeric_limits<qint64>::max();
    return QByteArray(value.data(), value.size()).toLongLong();
}

bool hasToken(QByteArrayView list, QByteArrayView token)
{
    while (!list.isEmpty()) {
        const qsizetype comma = list.indexOf(',');
        if ((comma < 0 ? list : list.first(comma)).trimmed().compare(token, Qt::CaseInsensitive) == 0)
            return true;
        list = comma < 0 ? QByteArrayView() : list.sliced(comma + 1);
    }
    return false;
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
    // What a client sends beyond a request and the start of the next stays with the system,
    // which holds back a client that sends without reading.
    socket->setReadBufferSize(2 * qint64(m_limits.maxHeadBytes + m_limits.maxBodyBytes));
    Connection &connection = m_connections[socket];
    connection.peer = peer;
    connect(socket, &QObject::destroyed, this, [this, socket, peer] { forget(socket, peer); });

    // One deadline for each request: from the connection, and again from each whole request.
    // A client that trickles its bytes, keeps an idle connection, or leaves its answers
    // unread, is closed when it passes.
    connection.deadline = new QTimer(socket);
    connection.deadline->setSingleShot(true);
    connection.deadline->setInterval(m_limits.requestMilliseconds);
    connect(connection.deadline, &QTimer::timeout, socket, [socket] { socket->abort(); });
    connection.deadline->start();
    // An answer still on its way keeps the connection, as long as the client reads it.
    connect(socket, &QTcpSocket::bytesWritten, this, [this, socket] {
        const auto it = m_connections.find(socket);
        if (it == m_connections.end())
            return;
        it->second.deadline->start();
        offer(socket, it->second);
    });

    // Connected before the server connects its own reader, so this sees every byte first.
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] { inspect(socket); });
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    addPendingConnection(socket);
}

void ConnectionGuard::inspect(QTcpSocket *socket)
{
    if (socket == m_serving)
        return; // the server's turn
    const auto it = m_connections.find(socket);
    if (it == m_connections.end())
        return;
    // Read inside a transaction, what came stays in the socket, but the server, reading after
    // this, finds nothing new until its request's turn.
    if (!socket->isTransactionStarted())
        socket->startTransaction();
    const QByteArray bytes = socket->readAll();
    // Behind a request waiting for its turn, bytes are read again once it has gone.
    if (!it->second.held && socket->state() == QAbstractSocket::ConnectedState)
        scan(socket, it->second, bytes);
}

void ConnectionGuard::scan(QTcpSocket *socket, Connection &connection, QByteArrayView bytes)
{
    Request &r = connection.request;
    for (;;) {
        if (r.bodyLeft > 0) {
            const qint64 take = std::min<qint64>(r.bodyLeft, bytes.size());
            r.bodyLeft -= take;
            r.bytes += take;
            bytes = bytes.sliced(take);
        }
        if (r.bodyLeft == 0) {
            // A whole request: it waits for its turn, and what follows it for its own.
            connection.held = r.bytes;
            connection.heldLast = r.last;
            r = Request{};
            connection.deadline->start();
            return offer(socket, connection);
        }
        if (bytes.isEmpty())
            return;
        const qsizetype end = bytes.indexOf('\n');
        const qsizetype take = end < 0 ? bytes.size() : end + 1;
        r.bytes += take;
        if (r.bytes > m_limits.maxHeadBytes)
            return refuse(socket, kHeadTooLarge);
        r.line.append(bytes.data(), take);
        bytes = bytes.sliced(take);
        if (end < 0)
            return;

        QByteArrayView line = QByteArrayView(r.line).chopped(1);
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.isEmpty() && r.lines == 0) {
            // Blank lines before a request count against its head and its deadline.
            if (++r.blankLines > kBlankLinesBeforeRequest)
                return refuse(socket, kBadRequest);
        } else if (line.isEmpty()) {
            // The whole head. A body must be small, and of a length known beforehand.
            if (r.transferCoding || r.bodyLength > m_limits.maxBodyBytes)
                return refuse(socket, kTooLarge);
            r.bodyLeft = std::max<qint64>(r.bodyLength, 0);
        } else if (++r.lines > m_limits.maxHeaderLines) {
            return refuse(socket, kHeadTooLarge);
        } else if (r.lines == 1) {
            const std::optional<bool> last = lastByVersion(line);
            if (!last)
                return refuse(socket, kBadRequest);
            r.last = *last;
        } else {
            // "Name: value", nothing between the name and its colon, and no line folded into the
            // one before: the server must not read the head otherwise than here.
            const qsizetype colon = line.indexOf(':');
            if (colon <= 0 || std::any_of(line.begin(), line.begin() + colon, isBlank))
                return refuse(socket, kBadRequest);
            const QByteArrayView name = line.first(colon);
            const QByteArrayView value = line.sliced(colon + 1).trimmed();
            if (name.compare("Content-Length", Qt::CaseInsensitive) == 0) {
                const qint64 length = lengthOf(value);
                if (length < 0 || (r.bodyLength >= 0 && r.bodyLength != length))
                    return refuse(socket, kBadRequest);
                r.bodyLength = length;
            } else if (name.compare("Transfer-Encoding", Qt::CaseInsensitive) == 0) {
                r.transferCoding = true;
            } else if (name.compare("Connection", Qt::CaseInsensitive) == 0 && hasToken(value, "close")) {
                r.last = true;
            }
        }
        r.line.clear();
    }
}

void ConnectionGuard::offer(QTcpSocket *socket, Connection &c)
{
    // A client that does not read its answers gets no more of them until it does.
    if (!c.held || c.queued || socket->bytesToWrite() > m_limits.maxUnsentAnswerBytes)
        return;
    c.queued = true;
    auto &waiting = m_waiting[c.peer];
    if (waiting.isEmpty())
        m_rotation.append(c.peer);
    waiting.append(socket);
    postTurn();
}

void ConnectionGuard::postTurn()
{
    if (!std::exchange(m_turnPosted, true))
        QMetaObject::invokeMethod(this, &ConnectionGuard::takeTurn, Qt::QueuedConnection);
}

void ConnectionGuard::takeTurn()
{
    // One request of each address that has any waiting, from its connections in turn: many
    // connections from one address, or many requests on one, cannot crowd out the others.
    // What comes meanwhile, and what is left, waits for the next turn.
    m_turnPosted = false;
    for (auto turns = m_rotation.size(); turns > 0; --turns) {
        const QHostAddress peer = m_rotation.takeFirst();
        auto waiting = m_waiting.find(peer);
        QPointer<QTcpSocket> socket;
        while (!socket && !waiting->isEmpty())
            socket = waiting->takeFirst(); // passing over connections closed meanwhile
        if (waiting->isEmpty())
            m_waiting.erase(waiting);
        else
            m_rotation.append(peer);
        const auto it = socket ? m_connections.find(socket.data()) : m_connections.end();
        if (it != m_connections.end())
            serve(socket.data(), it->second);
    }
    if (!m_rotation.isEmpty())
        postTurn();
}

void ConnectionGuard::serve(QTcpSocket *socket, Connection &c)
{
    c.queued = false;
    if (!c.held || socket->state() != QAbstractSocket::ConnectedState)
        return;
    const qint64 length = std::exchange(c.held, 0);
    // The server reads from the first byte it has not taken, as far as one request goes.
    if (socket->isTransactionStarted())
        socket->rollbackTransaction();
    const qint64 before = socket->bytesAvailable();
    m_serving = socket;
    m_servingLast = c.heldLast;
    emit socket->readyRead();
    m_serving = nullptr;
    if (socket->state() != QAbstractSocket::ConnectedState)
        return;
    // Had it read the stream otherwise than here, what follows could not be trusted.
    if (socket->isTransactionStarted() || before - socket->bytesAvailable() != length)
        return socket->abort();
    if (c.heldLast)
        return socket->disconnectFromHost();
    socket->startTransaction();
    scan(socket, c, socket->readAll());
}

void ConnectionGuard::refuse(QTcpSocket *socket, const QByteArray &status)
{
    // The server never reads any of it: it stays behind the transaction, or is dropped here.
    if (!socket->isTransactionStarted())
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

void ConnectionGuard::forget(QTcpSocket *socket, const QHostAddress &peer)
{
    m_connections.erase(socket);
    --m_open;
    auto it = m_perAddress.find(peer);
    if (it != m_perAddress.end() && --it.value() <= 0)
        m_perAddress.erase(it);
}

} // namespace tavlo::display
