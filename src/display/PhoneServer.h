#pragma once

#include "display/ConnectionGuard.h"

#include <QAbstractHttpServer>
#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QString>

#include <atomic>

namespace tavlo::display {

// The phones' web server: read-only, and only what the page needs. GET and HEAD of "/" (the
// page), "/board.json" (the board as PhoneBoard encodes it) and the page's own files, which are
// built into the program, so that nothing on disk is ever served. Any other path is 404, any
// other method 405. Connections come through a ConnectionGuard, which holds the limits.
// It lives on whichever thread it is started on; the board comes in as ready bytes.
class PhoneServer : public QAbstractHttpServer {
    Q_OBJECT
public:
    explicit PhoneServer(QObject *parent = nullptr);

    // Listens on the address and port (0: any free one); the port, or 0 when it cannot.
    quint16 start(const QHostAddress &address, quint16 port, const ConnectionGuard::Limits &limits = {});
    ConnectionGuard *guard() const { return m_guard; }
    // Requests answered, for the tests and the benchmark.
    quint64 answered() const { return m_answered.load(); }

public slots:
    void setBoard(const QByteArray &json);

protected:
    bool handleRequest(const QHttpServerRequest &request, QTcpSocket *socket) override;
    void missingHandler(const QHttpServerRequest &request, QTcpSocket *socket) override;

private:
    struct Resource {
        QByteArray bytes;
        QByteArray type;
        QByteArray tag; // ETag, quoted
        QByteArray cache;
    };
    void addFile(const QString &path, const QString &file, const QByteArray &type);
    void answer(const QHttpServerRequest &request, QTcpSocket *socket, const QByteArray &status, const Resource *resource,
                bool notModified = false);

    ConnectionGuard *m_guard = nullptr;
    QHash<QString, Resource> m_resources; // by path
    std::atomic<quint64> m_answered{0};
};

} // namespace tavlo::display
