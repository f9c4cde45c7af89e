#pragma once

#include <QHash>
#include <QObject>
#include <QTcpServer>

class QTcpSocket;

namespace tavlo::test {

// HTTP on 127.0.0.1 for the update tests. Each path answers as its route says: with or without
// a length, in slow pieces, cut off, with any status and a Location, or never. Others get 404.
class LoopbackHttpServer : public QObject {
    Q_OBJECT

public:
    struct Route {
        Route(int status = 200, QByteArray body = {}) : status(status), body(std::move(body)) {}
        Route withoutLength() const { return with([](Route &r) { r.withLength = false; }); }
        // The body goes out in pieces of this size, 20 ms apart.
        Route inPieces(int size) const { return with([size](Route &r) { r.pieceSize = size; }); }
        // The connection is cut after so many body bytes.
        Route cutAfter(qsizetype bytes) const { return with([bytes](Route &r) { r.breakAfter = bytes; }); }
        Route silent() const { return with([](Route &r) { r.neverAnswer = true; }); }
        Route redirectTo(const QByteArray &to) const { return with([to](Route &r) { r.location = to; }); }

        int status;
        QByteArray body;
        bool withLength = true;
        int pieceSize = 0;
        qsizetype breakAfter = -1;
        bool neverAnswer = false;
        QByteArray location;

    private:
        template<typename F>
        Route with(F change) const
        {
            Route copy = *this;
            change(copy);
            return copy;
        }
    };

    bool start() { return m_server.listen(QHostAddress::LocalHost, 0); }
    QString root() const { return QStringLiteral("http://127.0.0.1:%1").arg(m_server.serverPort()); }
    void serve(const QString &path, const Route &route) { m_routes.insert(path, route); }
    void serve(const QString &path, const QByteArray &body) { serve(path, Route(200, body)); }
    int requests(const QString &path) const { return m_requests.value(path); }
    int totalRequests() const { return m_total; }
    QByteArray lastHead(const QString &path) const { return m_heads.value(path); }

    LoopbackHttpServer();

signals:
    void requestReceived(const QString &path);

private:
    void onReadyRead(QTcpSocket *socket);
    void sendPieces(QTcpSocket *socket, const QByteArray &rest, int pieceSize);

    QTcpServer m_server;
    QHash<QString, Route> m_routes;
    QHash<QString, int> m_requests;
    QHash<QString, QByteArray> m_heads;
    int m_total = 0;
};

} // namespace tavlo::test
