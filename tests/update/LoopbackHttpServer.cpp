#include "LoopbackHttpServer.h"

#include <QHostAddress>
#include <QPointer>
#include <QTcpSocket>
#include <QTimer>

namespace tavlo::test {

namespace {

QByteArray reasonOf(int status)
{
    switch (status) {
    case 200: return "OK";
    case 301: return "Moved Permanently";
    case 302: return "Found";
    case 404: return "Not Found";
    case 500: return "Internal Server Error";
    default: return "Status";
    }
}

} // namespace

LoopbackHttpServer::LoopbackHttpServer(QObject *parent) : QObject(parent)
{
    connect(&m_server, &QTcpServer::newConnection, this, &LoopbackHttpServer::onNewConnection);
}

bool LoopbackHttpServer::start()
{
    return m_server.listen(QHostAddress::LocalHost, 0);
}

QString LoopbackHttpServer::root() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(m_server.serverPort());
}

void LoopbackHttpServer::serveBody(const QString &path, const QByteArray &body)
{
    Route route;
    route.body = body;
    serve(path, route);
}

void LoopbackHttpServer::onNewConnection()
{
    while (QTcpSocket *socket = m_server.nextPendingConnection()) {
        socket->setParent(this);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }
}

void LoopbackHttpServer::onReadyRead(QTcpSocket *socket)
{
    QByteArray buffer = socket->property("request").toByteArray() + socket->readAll();
    const qsizetype end = buffer.indexOf("\r\n\r\n");
    if (end < 0) {
        // A request head has no business being this long.
        if (buffer.size() > 64 * 1024)
            socket->abort();
        else
            socket->setProperty("request", buffer);
        return;
    }
    socket->setProperty("request", QByteArray());
    disconnect(socket, &QTcpSocket::readyRead, this, nullptr);

    const QByteArray head = buffer.left(end);
    const QList<QByteArray> requestLine = head.left(head.indexOf("\r\n")).split(' ');
    const QString path = requestLine.size() >= 2 ? QString::fromLatin1(requestLine.at(1)) : QString();
    ++m_total;
    ++m_requests[path];
    m_heads.insert(path, head);
    emit requestReceived(path);
    answer(socket, path);
}

void LoopbackHttpServer::answer(QTcpSocket *socket, const QString &path)
{
    Route route;
    if (m_routes.contains(path)) {
        route = m_routes.value(path);
    } else {
        route.status = 404;
        route.body = "<html><body>Not Found</body></html>";
    }
    if (route.neverAnswer)
        return;

    QByteArray response = "HTTP/1.1 " + QByteArray::number(route.status) + ' ' + reasonOf(route.status)
                          + "\r\nContent-Type: application/octet-stream\r\nConnection: close\r\n";
    if (!route.location.isEmpty())
        response += "Location: " + route.location + "\r\n";
    if (route.withLength)
        response += "Content-Length: " + QByteArray::number(route.body.size()) + "\r\n";
    response += "\r\n";
    socket->write(response);

    QByteArray body = route.body;
    const bool cut = route.breakAfter >= 0;
    if (cut)
        body = body.left(route.breakAfter);
    if (route.pieceSize > 0) {
        sendPieces(socket, body, route.pieceSize, route.pieceDelayMs);
        return;
    }
    socket->write(body);
    if (cut) {
        socket->flush();
        socket->abort();
    } else {
        socket->disconnectFromHost();
    }
}

void LoopbackHttpServer::sendPieces(QTcpSocket *socket, QByteArray rest, int pieceSize, int delayMs)
{
    QPointer<QTcpSocket> guarded(socket);
    QTimer::singleShot(delayMs, this, [this, guarded, rest, pieceSize, delayMs] {
        if (!guarded || guarded->state() != QAbstractSocket::ConnectedState)
            return;
        guarded->write(rest.left(pieceSize));
        guarded->flush();
        const QByteArray remaining = rest.mid(pieceSize);
        if (remaining.isEmpty()) {
            // Short of the announced length this is a break-off for the client.
            guarded->disconnectFromHost();
            return;
        }
        sendPieces(guarded, remaining, pieceSize, delayMs);
    });
}

} // namespace tavlo::test
