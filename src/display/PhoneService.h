#pragma once

#include "display/ConnectionGuard.h"

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QThread>
#include <QUrl>

namespace tavlo::display {

class PhoneServer;

// Runs the phones' web server on a thread of its own, so that phones loading the page never
// hold up the painting of the large screen, and tells its address on the room's network.
class PhoneService : public QObject {
    Q_OBJECT
    Q_PROPERTY(QUrl pageUrl READ pageUrl CONSTANT)
public:
    explicit PhoneService(QObject *parent = nullptr);
    ~PhoneService() override;

    // Starts serving on the address (null: every address of this machine) and port (0: a free
    // one); whether it could. The page's address is known from then on.
    bool start(const QHostAddress &address, quint16 port, const ConnectionGuard::Limits &limits = {});
    bool isRunning() const { return m_port != 0; }
    quint16 port() const { return m_port; }
    QUrl pageUrl() const { return m_pageUrl; }
    // The server itself, on its own thread: only for looking at its counters.
    const PhoneServer *server() const { return m_server; }

    // The board as PhoneBoard encodes it; phones get it from their next request on.
    void setBoard(const QByteArray &json);

    // The address a phone reaches the page at: the one bound to, or, when bound to every
    // address, this machine's first IPv4 address that is not the loopback (of `candidates`,
    // the addresses of the machine's interfaces that are up); the loopback when there is none.
    static QHostAddress pageHost(const QHostAddress &bound, const QList<QHostAddress> &candidates);
    static QList<QHostAddress> interfaceAddresses();

private:
    QThread m_thread;
    PhoneServer *m_server = nullptr;
    quint16 m_port = 0;
    QUrl m_pageUrl;
};

} // namespace tavlo::display
