#pragma once

#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QPointer>
#include <QTcpServer>

#include <unordered_map>

class QTcpSocket;
class QTimer;

namespace tavlo::display {

// Stands in front of the phones' web server, because the HTTP server itself bounds neither
// the size of a request, nor how many connections one address holds, nor how long a
// connection may take, nor how much a client may send without reading its answers: a phone
// that misbehaves, or anything else on the room's network, must not be able to hold the
// server. Every byte a client sends passes here first and stays hidden from the server until
// it makes a whole request within the limits; the request then waits for its turn, one
// request of each address at a time, and the server sees exactly that request. A connection
// that breaks a limit gets a short answer and is closed.
class ConnectionGuard : public QTcpServer {
    Q_OBJECT
public:
    struct Limits {
        int maxHeadBytes = 8 * 1024;       // a request line and its headers
        int maxHeaderLines = 48;
        int maxBodyBytes = 1024;           // the page sends none; a stray form post may
        int maxConnectionsPerAddress = 16; // a phone's browser opens six at most
        int maxConnections = 512;
        int requestMilliseconds = 5000;    // from connecting, or the last request, to a whole request
        int maxUnsentAnswerBytes = 64 * 1024; // beyond these, a connection's next request waits
    };

    explicit ConnectionGuard(const Limits &limits, QObject *parent = nullptr);

    const Limits &limits() const { return m_limits; }
    int openConnections() const { return int(m_open); }
    quint64 refusedConnections() const { return m_refused; }
    // Whether the answer the server is giving now on the socket is the connection's last.
    bool isLastAnswer(const QTcpSocket *socket) const { return socket == m_serving && m_servingLast; }

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    // The request a connection is sending, as far as it came: its bytes from the first the
    // server has not taken (blank lines before it included), its lines so far and the one
    // being read. Only what it takes to frame requests and keep the limits.
    struct Request {
        qint64 bytes = 0;
        int blankLines = 0;
        int lines = 0;
        QByteArray line;
        qint64 bodyLength = -1; // from Content-Length
        qint64 bodyLeft = -1;   // once the head is whole
        bool transferCoding = false;
        bool last = false; // the connection ends with its answer
    };
    struct Connection {
        QHostAddress peer;
        QTimer *deadline = nullptr;
        Request request;
        // A whole request waiting for its turn: its bytes, and whether its answer is the last.
        qint64 held = 0;
        bool heldLast = false;
        bool queued = false;
    };

    void inspect(QTcpSocket *socket);
    void scan(QTcpSocket *socket, Connection &connection, QByteArrayView bytes);
    void offer(QTcpSocket *socket, Connection &connection);
    void postTurn();
    void takeTurn();
    void serve(QTcpSocket *socket, Connection &connection);
    void refuse(QTcpSocket *socket, const QByteArray &status);
    void forget(QTcpSocket *socket, const QHostAddress &peer);

    Limits m_limits;
    QHash<QHostAddress, int> m_perAddress;
    std::unordered_map<const QTcpSocket *, Connection> m_connections;
    // Connections with a whole request ready, by address; the addresses in turn.
    QHash<QHostAddress, QList<QPointer<QTcpSocket>>> m_waiting;
    QList<QHostAddress> m_rotation;
    bool m_turnPosted = false;
    const QTcpSocket *m_serving = nullptr;
    bool m_servingLast = false;
    qsizetype m_open = 0;
    quint64 m_refused = 0;
};

} // namespace tavlo::display
