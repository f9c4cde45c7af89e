#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QTcpServer>

class QTcpSocket;

namespace tavlo::test {

// A small HTTP server on 127.0.0.1 for the update tests. Each path answers as its route says:
// with or without a length, in slow pieces, breaking off, with a status and a redirect, or
// never. Unknown paths answer 404.
class LoopbackHttpServer : public QObject {
    Q_OBJECT

public:
    struct Route {
        int status = 200;
        QByteArray body;
        bool withLength = true;
        int pieceSize = 0;         // > 0: the body goes out in pieces of this size
        int pieceDelayMs = 0;      // pause before each piece
        qsizetype breakAfter = -1; // >= 0: the connection is cut after so many body bytes
        bool neverAnswer = false;
        QByteArray location; // Location header, for redirects
    };

    explicit LoopbackHttpServer(QObject *parent = nullptr);

    bool start();
    QString root() const;
    QString url(const QString &path) const { return root() + path; }

    void serve(const QString &path, const Route &route) { m_routes.insert(path, route); }
    void serveBody(const QString &path, const QByteArray &body);

    int requests(const QString &path) const { return m_requests.value(path); }
    int totalRequests() const { return m_total; }
    // The header block of the last request for the path.
    QByteArray lastHead(const QString &path) const { return m_heads.value(path); }

signals:
    void requestReceived(const QString &path);

private:
    void onNewConnection();
    void onReadyRead(QTcpSocket *socket);
    void answer(QTcpSocket *socket, const QString &path);
    void sendPieces(QTcpSocket *socket, QByteArray rest, int pieceSize, int delayMs);

    QTcpServer m_server;
    QHash<QString, Route> m_routes;
    QHash<QString, int> m_requests;
    QHash<QString, QByteArray> m_heads;
    int m_total = 0;
};

} // namespace tavlo::test
