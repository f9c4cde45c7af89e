#include "display/PhoneServer.h"

#include "display/PhoneBoard.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QFile>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QTcpSocket>

namespace tavlo::display {

namespace {

const QString kBoardPath = QStringLiteral("/board.json");

QByteArray tagOf(const QByteArray &bytes)
{
    return '"' + QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex().left(20) + '"';
}

// What every answer carries: the page needs nothing from elsewhere, and nobody may frame it.
constexpr const char kCommonHeaders[] = "X-Content-Type-Options: nosniff\r\n"
                                        "X-Frame-Options: DENY\r\n"
                                        "Referrer-Policy: no-referrer\r\n"
                                        "Content-Security-Policy: default-src 'self'; frame-ancestors 'none'\r\n";

// The page's words in the viewer's language. Each is replaced whole where the page spells it
// (between tags or quotes), escaped for where it lands, so that nothing else can change.
struct PageText {
    Q_DECLARE_TR_FUNCTIONS(PhonePage)
};
constexpr const char *kPageTexts[] = {
    QT_TRANSLATE_NOOP("PhonePage", "TAVLO – waiting lists"), QT_TRANSLATE_NOOP("PhonePage", "Loading the board…"),
    QT_TRANSLATE_NOOP("PhonePage", "Find your name"), QT_TRANSLATE_NOOP("PhonePage", "First letters of your name"),
    QT_TRANSLATE_NOOP("PhonePage", "This page needs JavaScript turned on to show the waiting lists.")};
constexpr const char *kScriptTexts[] = {
    QT_TRANSLATE_NOOP("PhonePage", "No waiting lists"), QT_TRANSLATE_NOOP("PhonePage", " waiting"),
    QT_TRANSLATE_NOOP("PhonePage", "No name starts with that."), QT_TRANSLATE_NOOP("PhonePage", " in "),
    // The ordinal's endings: 1st, 2nd, 3rd, 4th.
    QT_TRANSLATE_NOOP("PhonePage", "st"), QT_TRANSLATE_NOOP("PhonePage", "nd"), QT_TRANSLATE_NOOP("PhonePage", "rd"),
    QT_TRANSLATE_NOOP("PhonePage", "th"), QT_TRANSLATE_NOOP("PhonePage", "Updated "),
    QT_TRANSLATE_NOOP("PhonePage", "The board could not be read; trying again."),
    QT_TRANSLATE_NOOP("PhonePage", "The board is not there; trying again."),
    QT_TRANSLATE_NOOP("PhonePage", "Cannot reach the board; trying again."),
    // A called or away player's time, a game not running yet and its count.
    QT_TRANSLATE_NOOP("PhonePage", "called "), QT_TRANSLATE_NOOP("PhonePage", "away "),
    QT_TRANSLATE_NOOP("PhonePage", "Interest: "), QT_TRANSLATE_NOOP("PhonePage", " players")};

QByteArray scriptString(const QString &text)
{
    QString quoted;
    for (const QChar c : text) {
        if (c == u'\\' || c == u'\'' || c == u'<' || c.unicode() < 0x20)
            quoted += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
        else
            quoted += c;
    }
    return '\'' + quoted.toUtf8() + '\'';
}

QByteArray translatedPage(QByteArray page, bool script)
{
    if (script) {
        for (const char *text : kScriptTexts)
            page.replace(scriptString(QString::fromUtf8(text)), scriptString(PageText::tr(text)));
        return page;
    }
    for (const char *text : kPageTexts) {
        const QByteArray english = QString::fromUtf8(text).toHtmlEscaped().toUtf8();
        const QByteArray words = PageText::tr(text).toHtmlEscaped().toUtf8();
        page.replace('>' + english + '<', '>' + words + '<');
        page.replace('"' + english + '"', '"' + words + '"');
    }
    //: The page's language code.
    return page.replace("<html lang=\"en\">", "<html lang=\"" + PageText::tr("en").toHtmlEscaped().toUtf8() + "\">");
}

} // namespace

PhoneServer::PhoneServer(QObject *parent)
    : QAbstractHttpServer(parent)
{
    addFile(QStringLiteral("/"), QStringLiteral(":/phone/index.html"), "text/html; charset=utf-8");
    addFile(QStringLiteral("/phone.css"), QStringLiteral(":/phone/phone.css"), "text/css; charset=utf-8");
    addFile(QStringLiteral("/phone.js"), QStringLiteral(":/phone/phone.js"), "text/javascript; charset=utf-8");
    addFile(QStringLiteral("/favicon.svg"), QStringLiteral(":/phone/favicon.svg"), "image/svg+xml");
    setBoard(PhoneBoard::empty());
}

void PhoneServer::addFile(const QString &path, const QString &file, const QByteArray &type)
{
    QFile resource(file);
    if (!resource.open(QIODevice::ReadOnly)) {
        qWarning("TAVLO-Display: the phones' page lacks %s", qPrintable(file));
        return;
    }
    const QByteArray bytes = type.startsWith("text/html") || type.startsWith("text/javascript")
            ? translatedPage(resource.readAll(), type.startsWith("text/javascript"))
            : resource.readAll();
    m_resources.insert(path, {bytes, type, tagOf(bytes), "no-cache"});
}

quint16 PhoneServer::start(const QHostAddress &address, quint16 port, const ConnectionGuard::Limits &limits)
{
    if (m_guard)
        return m_guard->serverPort();
    auto *guard = new ConnectionGuard(limits, this);
    if (!guard->listen(address, port)) {
        qWarning("TAVLO-Display: cannot serve the phones' page on %s port %u: %s", qPrintable(address.toString()),
                 unsigned(port), qPrintable(guard->errorString()));
        delete guard;
        return 0;
    }
    m_guard = guard;
    bind(guard);
    return guard->serverPort();
}

void PhoneServer::setBoard(const QByteArray &json)
{
    Resource &board = m_resources[kBoardPath];
    if (board.bytes == json && !board.tag.isEmpty())
        return; // the heartbeat: phones keep what they have
    board = {json, "application/json", tagOf(json), "no-cache"};
}

bool PhoneServer::handleRequest(const QHttpServerRequest &request, QTcpSocket *socket)
{
    const bool head = request.method() == QHttpServerRequest::Method::Head;
    if (request.method() != QHttpServerRequest::Method::Get && !head) {
        answer(request, socket, "405 Method Not Allowed", nullptr);
        return true;
    }
    // The path as sent, decoded once; only the few exact paths above exist, so no spelling
    // of ".." or of a folder can lead anywhere else.
    const auto found = m_resources.constFind(request.url().path(QUrl::FullyDecoded));
    if (found == m_resources.cend()) {
        answer(request, socket, "404 Not Found", nullptr);
        return true;
    }
    const bool fresh = request.value("If-None-Match").contains(found->tag);
    answer(request, socket, fresh ? "304 Not Modified" : "200 OK", &found.value(), fresh);
    return true;
}

void PhoneServer::missingHandler(const QHttpServerRequest &request, QTcpSocket *socket)
{
    answer(request, socket, "404 Not Found", nullptr);
}

void PhoneServer::answer(const QHttpServerRequest &request, QTcpSocket *socket, const QByteArray &status,
                         const Resource *resource, bool notModified)
{
    // Written straight to the socket, in one piece: the responder of this Qt version sends a
    // HEAD's body too, and writes each header by itself.
    static const QByteArray plain = "text/plain; charset=utf-8";
    const bool ok = resource && status.startsWith('2');
    const QByteArray body = ok ? resource->bytes : (resource ? QByteArray() : status.mid(4) + '\n');
    QByteArray out;
    out.reserve(512 + (request.method() == QHttpServerRequest::Method::Head ? 0 : body.size()));
    out += "HTTP/1.1 " + status + "\r\n";
    out += kCommonHeaders;
    if (resource) {
        out += "Content-Type: " + resource->type + "\r\n";
        out += "ETag: " + resource->tag + "\r\n";
        out += "Cache-Control: " + resource->cache + "\r\n";
    } else {
        out += "Content-Type: " + plain + "\r\n";
    }
    if (status.startsWith("405"))
        out += "Allow: GET, HEAD\r\n";
    if (!notModified)
        out += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    // The guard ends the connection after this answer when the request asks so.
    if (m_guard && m_guard->isLastAnswer(socket))
        out += "Connection: close\r\n";
    out += "\r\n";
    if (request.method() != QHttpServerRequest::Method::Head && !notModified)
        out += body;
    socket->write(out);
    m_answered.fetch_add(1, std::memory_order_relaxed);
}

} // namespace tavlo::display
