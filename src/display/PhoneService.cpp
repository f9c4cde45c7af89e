#include "display/PhoneService.h"

#include "display/PhoneServer.h"

#include <QNetworkInterface>

namespace tavlo::display {

PhoneService::PhoneService(QObject *parent)
    : QObject(parent)
{
    m_thread.setObjectName(QStringLiteral("phones"));
}

PhoneService::~PhoneService()
{
    if (m_server) {
        // The server and its connections end on their own thread, then the thread.
        QMetaObject::invokeMethod(m_server, [server = m_server] { delete server; }, Qt::BlockingQueuedConnection);
        m_server = nullptr;
    }
    m_thread.quit();
    m_thread.wait();
}

bool PhoneService::start(const QHostAddress &address, quint16 port, const ConnectionGuard::Limits &limits)
{
    if (m_server)
        return isRunning();
    m_thread.start();
    m_server = new PhoneServer;
    m_server->moveToThread(&m_thread);
    const QHostAddress bound = address.isNull() ? QHostAddress(QHostAddress::Any) : address;
    quint16 listening = 0;
    QMetaObject::invokeMethod(
            m_server, [&] { listening = m_server->start(bound, port, limits); }, Qt::BlockingQueuedConnection);
    m_port = listening;
    if (!m_port)
        return false;
    QUrl url;
    url.setScheme(QStringLiteral("http"));
    url.setHost(pageHost(bound, interfaceAddresses()).toString());
    if (m_port != 80)
        url.setPort(m_port);
    url.setPath(QStringLiteral("/"));
    m_pageUrl = url;
    return true;
}

void PhoneService::setBoard(const QByteArray &json)
{
    if (m_server)
        QMetaObject::invokeMethod(m_server, "setBoard", Qt::QueuedConnection, Q_ARG(QByteArray, json));
}

QHostAddress PhoneService::pageHost(const QHostAddress &bound, const QList<QHostAddress> &candidates)
{
    if (bound != QHostAddress::Any && bound != QHostAddress::AnyIPv4 && bound != QHostAddress::AnyIPv6)
        return bound;
    for (const QHostAddress &candidate : candidates) {
        if (candidate.protocol() == QAbstractSocket::IPv4Protocol && !candidate.isLoopback()
            && !candidate.isLinkLocal())
            return candidate;
    }
    return QHostAddress(QHostAddress::LocalHost);
}

QList<QHostAddress> PhoneService::interfaceAddresses()
{
    QList<QHostAddress> addresses;
    for (const QNetworkInterface &interface : QNetworkInterface::allInterfaces()) {
        const auto flags = interface.flags();
        if (!flags.testFlag(QNetworkInterface::IsUp) || !flags.testFlag(QNetworkInterface::IsRunning))
            continue;
        for (const QNetworkAddressEntry &entry : interface.addressEntries())
            addresses << entry.ip();
    }
    return addresses;
}

} // namespace tavlo::display
