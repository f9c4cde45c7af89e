#pragma once

#include <QHash>
#include <QHostAddress>
#include <QTcpServer>

class QTcpSocket;

namespace tavlo::display {

// Stands in front of the phones' web server, because the HTTP server itself bounds neither
// the size of a request's head, nor how many connections one address holds, nor how long a
// connection may take: a phone that misbehaves, or anything else on the room's network, must
// not be able to hold the server. Every byte a client sends passes here before the server
// reads it; a connection that breaks a limit gets a short answer and is closed.
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
    };

    explicit ConnectionGuard(const Limits &limits, QObject *parent = nullptr);

    const Limits &limits() const { return m_limits; }
    int openConnections() const { return int(m_open); }
    quint64 refusedConnections() const { return m_refused; }

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    struct Scan;
    void inspect(QTcpSocket *socket, Scan &scan);
    void refuse(QTcpSocket *socket, const QByteArray &status);
    void forget(const QHostAddress &peer);

    Limits m_limits;
    QHash<QHostAddress, int> m_perAddress;
    qsizetype m_open = 0;
    quint64 m_refused = 0;
};

} // namespace tavlo::display
