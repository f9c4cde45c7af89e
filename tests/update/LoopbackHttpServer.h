#pragma once

#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <functional>

namespace tavlo::test {

// How the loopback server answers one path.
struct Route {
    int status = 200;
    QByteArray body = {};
    bool withLength = true;
    int pieceSize = 0;       // > 0: the body goes out in pieces of this size, pieceInterval ms apart
    qsizetype cutAfter = -1; // >= 0: the connection closes after so many body bytes
    bool silent = false;     // the request is read but never answered
    QByteArray location = {};
    int pieceInterval = 50;
    bool endless = false;        // the body goes out again and again, never ending
    qint64 announcedLength = -1; // >= 0: the length header says this, whatever the body is
};

// HTTP on 127.0.0.1 for the update tests. Paths without a route get 404.
class LoopbackHttpServer {
public:
    LoopbackHttpServer()
    {
        QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] {
            while (QTcpSocket *socket = m_server.nextPendingConnection())
                QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { onReadyRead(socket); });
        });
        m_server.listen(QHostAddress::LocalHost, 0);
    }
    QString root() const { return QStringLiteral("http://127.0.0.1:%1").arg(m_server.serverPort()); }

    QHash<QString, Route> routes;
    QStringList asked;               // the paths requested, in order
    QByteArray lastHead;             // of the last request
    std::function<void()> onRequest = [] {}; // runs before the answer goes out

private:
    void onReadyRead(QTcpSocket *socket)
    {
        lastHead = socket->property("head").toByteArray() + socket->readAll();
        socket->setProperty("head", lastHead);
        if (!lastHead.contains("\r\n\r\n"))
            return;
        QObject::disconnect(socket, &QTcpSocket::readyRead, nullptr, nullptr);
        asked << QString::fromLatin1(lastHead.split(' ').value(1));
        onRequest();
        const Route route = routes.value(asked.last(), Route{.status = 404, .body = "<html>Not Found</html>"});
        if (route.silent)
            return;
        QByteArray response = "HTTP/1.1 " + QByteArray::number(route.status) + " Status\r\nConnection: close\r\n";
        if (!route.location.isEmpty())
            response += "Location: " + route.location + "\r\n";
        const qint64 length = route.announcedLength >= 0 ? route.announcedLength : route.body.size();
        if (route.withLength && !route.endless)
            response += "Content-Length: " + QByteArray::number(length) + "\r\n";
        socket->write(response + "\r\n");
        // Closing short of an announced length is a break-off for the client.
        send(socket, route.cutAfter >= 0 ? route.body.left(route.cutAfter) : route.body, route);
    }

    void send(QPointer<QTcpSocket> socket, const QByteArray &rest, const Route &route)
    {
        if (!socket || socket->state() != QAbstractSocket::ConnectedState)
            return;
        const int pieceSize = route.pieceSize;
        socket->write(pieceSize > 0 ? rest.left(pieceSize) : rest);
        QByteArray next = pieceSize > 0 ? rest.mid(pieceSize) : QByteArray();
        if (next.isEmpty() && route.endless)
            next = route.body;
        if (next.isEmpty())
            return socket->disconnectFromHost();
        // A client that stopped reading holds the rest back.
        const int wait = socket->bytesToWrite() > (1 << 20) ? 50 : route.pieceInterval;
        QTimer::singleShot(wait, socket, [=, this] { send(socket, next, route); });
    }

    QTcpServer m_server;
};

} // namespace tavlo::test

Q_DECLARE_METATYPE(tavlo::test::Route)
