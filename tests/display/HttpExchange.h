#pragma once

#include <QByteArray>
#include <QDeadlineTimer>
#include <QHostAddress>
#include <QList>
#include <QTcpSocket>

namespace tavlo::test {

// One raw HTTP exchange on the loopback, blocking (the server under test runs on its own
// thread): the bytes sent as they are, and the answer as it came, up to its Content-Length or
// until the server closes. Nothing here corrects what a hostile client sends.
struct HttpAnswer {
    QByteArray head;
    QByteArray body;
    bool closed = false; // the server closed the connection

    int status() const { return head.mid(9, 3).toInt(); }
    QByteArray header(const QByteArray &name) const
    {
        for (const QByteArray &line : head.split('\n')) {
            const qsizetype colon = line.indexOf(':');
            if (colon > 0 && line.left(colon).trimmed().compare(name, Qt::CaseInsensitive) == 0)
                return line.mid(colon + 1).trimmed();
        }
        return {};
    }
};

// Reads one answer from a connected socket within the time.
// `bodiless`: the request was a HEAD, whose answer says a length but carries nothing.
inline HttpAnswer readAnswer(QTcpSocket &socket, int milliseconds = 5000, bool bodiless = false)
{
    HttpAnswer answer;
    QByteArray received;
    const QDeadlineTimer deadline(milliseconds);
    for (;;) {
        const qsizetype end = received.indexOf("\r\n\r\n");
        if (end >= 0) {
            answer.head = received.left(end);
            const QByteArray length = answer.header("Content-Length");
            const bool noBody = bodiless || answer.status() == 304;
            if (!length.isEmpty() && received.size() - end - 4 >= length.toLongLong() && !noBody) {
                answer.body = received.mid(end + 4, length.toLongLong());
                return answer;
            }
            if (noBody)
                return answer;
        }
        if (socket.state() != QAbstractSocket::ConnectedState && socket.bytesAvailable() == 0) {
            answer.closed = true;
            if (end >= 0)
                answer.body = received.mid(end + 4);
            return answer;
        }
        if (deadline.hasExpired())
            return answer;
        if (socket.bytesAvailable() == 0)
            socket.waitForReadyRead(int(std::min<qint64>(100, deadline.remainingTime())));
        received += socket.readAll();
    }
}

// `closeWithin`: after the answer, how long to wait for the server to close.
inline HttpAnswer exchange(quint16 port, const QByteArray &request, int milliseconds = 5000, int closeWithin = 0)
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    if (!socket.waitForConnected(milliseconds))
        return {};
    socket.write(request);
    socket.waitForBytesWritten(milliseconds);
    HttpAnswer answer = readAnswer(socket, milliseconds, request.startsWith("HEAD "));
    answer.closed = answer.closed || socket.state() == QAbstractSocket::UnconnectedState
                    || (closeWithin > 0 && socket.waitForDisconnected(closeWithin));
    return answer;
}

inline QByteArray get(const QByteArray &path, const QByteArray &method = "GET", const QByteArray &extra = {})
{
    return method + ' ' + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\n" + extra + "\r\n";
}

} // namespace tavlo::test
