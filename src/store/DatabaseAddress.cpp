#include "store/DatabaseAddress.h"

#include <QStringList>
#include <QUrl>
#include <QUrlQuery>

namespace tavlo {

namespace {

QString decoded(QStringView text)
{
    return QUrl::fromPercentEncoding(text.toUtf8());
}

} // namespace

DatabaseAddress DatabaseAddress::parse(const QString &setting)
{
    DatabaseAddress address;
    static const QString schemes[] = {QStringLiteral("postgresql://"), QStringLiteral("postgres://")};
    qsizetype start = -1;
    for (const QString &scheme : schemes) {
        if (setting.startsWith(scheme, Qt::CaseInsensitive))
            start = scheme.size();
    }
    if (start < 0) {
        address.filePath = setting;
        return address;
    }
    address.engine = Engine::Server;
    QStringView rest = QStringView(setting).sliced(start);
    QStringView query;
    if (const qsizetype mark = rest.indexOf(u'?'); mark >= 0) {
        query = rest.sliced(mark + 1);
        rest = rest.first(mark);
    }
    QStringView authority = rest;
    if (const qsizetype slash = rest.indexOf(u'/'); slash >= 0) {
        authority = rest.first(slash);
        address.database = decoded(rest.sliced(slash + 1));
    }
    if (const qsizetype at = authority.lastIndexOf(u'@'); at >= 0) {
        const QStringView userInfo = authority.first(at);
        authority = authority.sliced(at + 1);
        const qsizetype colon = userInfo.indexOf(u':');
        address.user = decoded(colon < 0 ? userInfo : userInfo.first(colon));
        if (colon >= 0)
            address.password = decoded(userInfo.sliced(colon + 1));
    }
    // [IPv6]:port, host:port, or a percent-encoded socket folder.
    QStringView hostPart = authority;
    if (authority.startsWith(u'[')) {
        const qsizetype close = authority.indexOf(u']');
        hostPart = close < 0 ? authority.sliced(1) : authority.sliced(1, close - 1);
        authority = close < 0 ? QStringView() : authority.sliced(close + 1);
        if (authority.startsWith(u':'))
            address.port = authority.sliced(1).toInt();
    } else if (const qsizetype colon = authority.lastIndexOf(u':'); colon >= 0) {
        hostPart = authority.first(colon);
        address.port = authority.sliced(colon + 1).toInt();
    }
    address.host = decoded(hostPart);

    QStringList options;
    const QList<std::pair<QString, QString>> items = QUrlQuery(query.toString()).queryItems(QUrl::FullyDecoded);
    for (const auto &[name, value] : items) {
        if (name == QLatin1String("host"))
            address.host = value;
        else if (name == QLatin1String("port"))
            address.port = value.toInt();
        else if (name == QLatin1String("user"))
            address.user = value;
        else if (name == QLatin1String("password"))
            address.password = value;
        else if (name == QLatin1String("dbname"))
            address.database = value;
        else
            options << name + QLatin1Char('=') + value;
    }
    // An unreachable server is to be said so soon, not after the system's long wait.
    if (!std::any_of(options.cbegin(), options.cend(), [](const QString &o) { return o.startsWith(QLatin1String("connect_timeout=")); }))
        options << QStringLiteral("connect_timeout=5");
    address.options = options.join(QLatin1Char(';'));
    return address;
}

QString DatabaseAddress::shown() const
{
    if (!isServer())
        return filePath;
    const bool socket = host.startsWith(u'/');
    QString text = QStringLiteral("postgresql://");
    if (!user.isEmpty())
        text += user + QLatin1Char('@');
    if (!socket) {
        text += host.contains(u':') ? QLatin1Char('[') + host + QLatin1Char(']') : host;
        if (port >= 0)
            text += QLatin1Char(':') + QString::number(port);
    }
    text += QLatin1Char('/') + database;
    if (socket)
        text += QStringLiteral("?host=") + host + (port >= 0 ? QStringLiteral("&port=") + QString::number(port) : QString());
    return text;
}

} // namespace tavlo
