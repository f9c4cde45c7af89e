#include "LoopbackHttpServer.h"

#include <QPointer>
#include <QTcpSocket>
#include <QTimer>

namespace tavlo::test {

LoopbackHttpServer::LoopbackHttpServer()
{
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *socket = m_server.nextPendingConnection()) {
            socket->setParent(this);
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
}

void LoopbackHttpServer::onReadyRead(QTcpSocket *socket)
{
    const QByteArray buffer = socket->property("head").toByteArray() + socket->readAll();
    const qsizetype end = buffer.indexOf("\r\n\r\n");
    if (end < 0) {
        socket->setProperty("head", buffer);
        return;
    }
    disconnect(socket, &QTcpSocket::readyRead, this, nullptr);
    const QByteArray head = buffer.left(end);
    const QList<QByteArray> requestLine = head.left(head.indexOf("\r\n")).split(' ');
    const QString path = QString::fromLatin1(requestLine.value(1));
    ++m_total;
    ++m_requests[path];
    m_heads.insert(path, head);
    emit requestReceived(path);

    const Route route = m_routes.value(path, Route{404, "<html>Not Found</html>"});
    if (route.neverAnswer)
        return;
    QByteArray response = "HTTP/1.1 " + QByteArray::number(route.status) + " Status\r\nConnection: close\r\n";
    if (!route.location.isEmpty())
        response += "Location: " + route.location + "\r\n";
    if (route.withLength)
        response += "Content-Length: " + QByteArray::number(route.body.size()) + "\r\n";
    socket->write(response + "\r\n");
    // Closing short of an announced length is a break-off for the client.
    const QByteArray body = route.breakAfter >= 0 ? route.body.left(route.breakAfter) : route.body;
    if (route.pieceSize > 0)
        return sendPieces(socket, body, route.pieceSize);
    socket->write(body);
    socket->disconnectFromHost();
}

void LoopbackHttpServer::sendPieces(QTcpSocket *socket, const QByteArray &rest, int pieceSize)
{
    QPointer<QTcpSocket> guarded(socket);
    QTimer::singleShot(20, this, [this, guarded, rest, pieceSize] {
        if (!guarded || guarded->state() != QAbstractSocket::ConnectedState)
            return;
        guarded->write(rest.left(pieceSize));
        if (rest.size() <= pieceSize)
            guarded->disconnectFromHost();
        else
            sendPieces(guarded, rest.mid(pieceSize), pieceSize);
    });
}

} // namespace tavlo::test
