#include "FragmentSamples.h"
#include "HttpExchange.h"
#include "PhoneViewer.h"

#include "base/Language.h"
#include "board/ShownBoard.h"
#include "display/ConnectionGuard.h"
#include "display/FileWatcher.h"
#include "display/LiveBoardView.h"
#include "display/PhoneBoard.h"
#include "display/PhoneServer.h"
#include "display/QrCode.h"
#include "display/ViewerOptions.h"
#include "display/WebAddressBadge.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include <memory>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#else
#include <malloc.h>
#endif

using namespace tavlo;
using namespace tavlo::display;
using namespace tavlo::test;

namespace {

QStringList namesIn(const QByteArray &json)
{
    QStringList names;
    for (const QJsonValue &game : QJsonDocument::fromJson(json).object().value(QLatin1String("games")).toArray()) {
        int position = 0; // each player goes by its place on the list, from 1
        for (const QJsonValue &value : game.toObject().value(QLatin1String("players")).toArray()) {
            const QJsonObject player = value.toObject();
            names << (player.value(QLatin1String("position")).toInt() == ++position ? QString() : QStringLiteral("misplaced "))
                             + player.value(QLatin1String("name")).toString();
        }
    }
    return names;
}

// The bytes this process holds on its heap (what it freed, kept for reuse or for checking, aside).
qint64 heapBytes()
{
#if defined(__SANITIZE_ADDRESS__)
    return qint64(__sanitizer_get_current_allocated_bytes());
#else
    const struct mallinfo2 heap = mallinfo2();
    return qint64(heap.uordblks + heap.hblkhd);
#endif
}

struct PrivacyRow { bool fromFragment, fullNames; QStringList games, names; };

struct RouteRow { QByteArray request; int status; QByteArray type, contains; bool closes; };

struct HostRow { QString bound; QStringList candidates; QString host; };

} // namespace

class TestPhones : public QObject {
    Q_OBJECT
private slots:
    // Phones show first names and initials whatever the TV shows, unless told otherwise; and
    // only the games the screen shows.
    void privacyByDefault_data()
    {
        QTest::addColumn<PrivacyRow>("row");
        QTest::newRow("board file") << PrivacyRow{false, false, {}, {"Alice B.", "Bob S.", "Carla D."}};
        QTest::newRow("board file, full names") << PrivacyRow{false, true, {}, {"Alice Brown", "Bob Stone", "Carla Diaz"}};
        QTest::newRow("board file, one game") << PrivacyRow{false, false, {"black*"}, {"Carla D."}};
        QTest::newRow("fragment") << PrivacyRow{true, false, {}, {"Anna S.\u2605", "Ben", "Carl\u2605\u260E"}};
        QTest::newRow("fragment, full names") << PrivacyRow{true, true, {"Poker"}, {"Anna Smith\u2605", "Ben", "Carl\u2605\u260E"}};
        QTest::newRow("fragment, one game") << PrivacyRow{true, false, {"Black*"}, {}};
    }
    void privacyByDefault()
    {
        QFETCH(PrivacyRow, row);
        const auto &[fromFragment, fullNames, games, names] = row;
        const GameFilter filter(games);
        QStringList lines = workedExampleLines();
        lines[2] = QStringLiteral("<tr><td>Anna Smith&#9733;</td></tr>");
        const QString fragment = lines.join(QLatin1String("\r\n"));
        const QByteArray json = fromFragment ? PhoneBoard::fromFragment(screenBoardOf(fragment), filter, fullNames)
                                             : PhoneBoard::fromBoard(shownBoard(phoneRoom(), filter, !fullNames), fullNames);
        QCOMPARE(namesIn(json), names);
        QCOMPARE(QJsonDocument::fromJson(json).object().value(QLatin1String("fullNames")).toBool(), fullNames);
        if (!fromFragment && games.isEmpty()) {
            const QJsonArray shown = QJsonDocument::fromJson(json).object().value(QLatin1String("games")).toArray();
            QCOMPARE(shown[0].toObject().value(QLatin1String("estimate")).toString(), QStringLiteral("about 25 min"));
            QVERIFY(!shown[1].toObject().contains(QLatin1String("estimate")));
        }
    }

    void pageHost_data()
    {
        QTest::addColumn<HostRow>("row");
        const QStringList machine{"127.0.0.1", "::1", "fe80::1", "169.254.3.4", "192.168.1.20", "10.0.0.5"};
        QTest::newRow("all addresses: the first room address") << HostRow{"0.0.0.0", machine, "192.168.1.20"};
        QTest::newRow("IPv4 and IPv6") << HostRow{"::", machine, "192.168.1.20"};
        QTest::newRow("one address") << HostRow{"10.0.0.5", machine, "10.0.0.5"};
        QTest::newRow("IPv6 only network") << HostRow{"::", {"::1", "2001:db8::5"}, "127.0.0.1"};
        QTest::newRow("offline machine") << HostRow{"0.0.0.0", {"127.0.0.1"}, "127.0.0.1"};
    }
    void pageHost()
    {
        QFETCH(HostRow, row);
        const auto &[bound, candidates, host] = row;
        QList<QHostAddress> addresses;
        for (const QString &candidate : candidates)
            addresses << QHostAddress(candidate);
        QHostAddress address(bound);
        if (bound == QLatin1String("::"))
            address = QHostAddress(QHostAddress::Any);
        QCOMPARE(PhoneService::pageHost(address, addresses).toString(), host);
    }

    // Read-only, and only the page's own paths; a connection lasts unless the request ends it.
    void routes_data()
    {
        QTest::addColumn<RouteRow>("row");
        const QByteArray json("application/json");
        const QByteArray plain("text/plain");
        QTest::newRow("page") << RouteRow{get("/"), 200, QByteArray("text/html"), QByteArray("phone.js"), false};
        QTest::newRow("script") << RouteRow{get("/phone.js"), 200, QByteArray("text/javascript"), QByteArray("board.json"), false};
        QTest::newRow("style") << RouteRow{get("/phone.css"), 200, QByteArray("text/css"), QByteArray("li.player"), false};
        QTest::newRow("board") << RouteRow{get("/board.json"), 200, json, QByteArray("Alice B."), false};
        QTest::newRow("board with a query") << RouteRow{get("/board.json?t=5"), 200, json, QByteArray("Bob S."), false};
        QTest::newRow("head") << RouteRow{get("/board.json", "HEAD"), 200, json, {}, false};
        QTest::newRow("unknown") << RouteRow{get("/admin"), 404, plain, QByteArray("Not Found"), false};
        QTest::newRow("post") << RouteRow{get("/board.json", "POST", "Content-Length: 3\r\n") + "a=1", 405, plain, {}, false};
        QTest::newRow("put") << RouteRow{get("/", "PUT", "Content-Length: 0\r\n"), 405, plain, {}, false};
        QTest::newRow("options") << RouteRow{get("/", "OPTIONS"), 405, plain, {}, false};
        QTest::newRow("HTTP/1.0") << RouteRow{QByteArray("GET /board.json HTTP/1.0\r\n\r\n"), 200, json, QByteArray("Carla D."), true};
        QTest::newRow("asks to close")
            << RouteRow{get("/", "GET", "Connection: keep-alive, Close\r\n"), 200, QByteArray("text/html"), QByteArray("phone.js"),
                        true};
    }
    void routes()
    {
        QFETCH(RouteRow, row);
        const auto &[request, status, type, contains, closes] = row;
        PhoneViewer viewer;
        QTRY_VERIFY(viewer.window->showsBoardFile());
        QVERIFY(viewer.port());
        // The board reaches the server's thread with the next turn of its loop.
        QTRY_VERIFY(exchange(viewer.port(), get("/board.json")).body.contains("Alice"));
        const HttpAnswer answer = exchange(viewer.port(), request, 5000, closes ? 2000 : 0);
        QCOMPARE(answer.status(), status);
        QVERIFY2(answer.header("Content-Type").startsWith(type), answer.head.constData());
        QVERIFY(answer.body.contains(contains));
        QVERIFY(!answer.body.contains("Alice Brown"));
        QCOMPARE(answer.closed, closes);
        QCOMPARE(answer.header("Connection") == "close", closes);
        if (status == 405)
            QCOMPARE(answer.header("Allow"), QByteArray("GET, HEAD"));
        if (request.startsWith("HEAD")) {
            QVERIFY(answer.header("Content-Length").toInt() > 0);
            QVERIFY(answer.body.isEmpty());
        }
    }

    // The page and its script say the viewer's language; only their words change.
    void pageInTheViewersLanguage()
    {
        QVERIFY(installTranslations(QStringLiteral("es")));
        PhoneViewer viewer;
        installTranslations(QStringLiteral("en"));
        QTRY_VERIFY(viewer.window->showsBoardFile());
        const QByteArray page = exchange(viewer.port(), get("/")).body;
        const QByteArray script = exchange(viewer.port(), get("/phone.js")).body;
        QVERIFY2(page.contains("<html lang=\"es\">") && page.contains(">Busque su nombre<")
                     && page.contains("placeholder=\"Primeras letras de su nombre\"") && page.contains("src=\"phone.js\""),
                 page.constData());
        QVERIFY(script.contains("'No hay listas de espera'") && script.contains("'.\u00ba'") && script.contains("'board.json'"));
    }

    // A phone that has the board gets "not modified" until it changes; a heartbeat is no change.
    void notModifiedUntilTheBoardChanges()
    {
        // One room for both writes: its times come from the clock, and a second may turn between.
        const BoardSnapshot start = phoneRoom();
        PhoneViewer viewer({}, start);
        QTRY_VERIFY(exchange(viewer.port(), get("/board.json")).body.contains("Alice"));
        const HttpAnswer first = exchange(viewer.port(), get("/board.json"));
        const QByteArray tag = first.header("ETag");
        QVERIFY(!tag.isEmpty());
        QCOMPARE(exchange(viewer.port(), get("/board.json", "GET", "If-None-Match: " + tag + "\r\n")).status(), 304);
        // Without a body: the connection's next answer starts where its head ends.
        QTcpSocket raw;
        raw.connectToHost(QHostAddress::LocalHost, viewer.port());
        raw.write(get("/board.json", "GET", "If-None-Match: " + tag + "\r\n") + get("/phone.css", "GET", "Connection: close\r\n"));
        QVERIFY(raw.waitForDisconnected(5000));
        const QByteArray both = raw.readAll();
        QVERIFY2(both.startsWith("HTTP/1.1 304") && both.contains("\r\n\r\nHTTP/1.1 200 OK"), both.constData());

        BoardSnapshot board = start;
        board.writtenAt = board.writtenAt.addSecs(10);
        QVERIFY(viewer.write(board));
        QTest::qWait(300);
        QCOMPARE(exchange(viewer.port(), get("/board.json", "GET", "If-None-Match: " + tag + "\r\n")).status(), 304);

        board.games[1].players.append({QStringLiteral("Dora Evans"), {}, QDateTime()});
        QVERIFY(viewer.write(board));
        QTRY_VERIFY(exchange(viewer.port(), get("/board.json", "GET", "If-None-Match: " + tag + "\r\n")).status() == 200);
        QVERIFY(exchange(viewer.port(), get("/board.json")).body.contains("Dora E."));
    }

    // Nothing but the page's own files, whatever the spelling; heads and bodies are bounded.
    void hostileRequests_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<int>("status");
        const QList<QByteArray> escapes{
                "/../../../../etc/passwd",
                "/%2e%2e/%2e%2e/%2e%2e/etc/passwd",
                "/%252e%252e/%252e%252e/etc/passwd",
                "/..\\..\\..\\etc\\passwd",
                "/%c0%ae%c0%ae/%c0%ae%c0%ae/etc/passwd",
                "//etc/passwd",
                "/./phone.js/..",
                "/:/phone/phone.js",
                "/qrc:/phone/index.html",
                "http://127.0.0.1/../../etc/passwd",
        };
        for (const QByteArray &path : escapes)
            QTest::newRow(path.constData()) << get(path) << 404;
        QTest::newRow("long path") << get('/' + QByteArray(20000, 'a')) << 431;
        QTest::newRow("header flood") << get("/", "GET", QByteArray("X-Flood: 1\r\n").repeated(2000)) << 431;
        QTest::newRow("one huge header") << get("/", "GET", "Cookie: " + QByteArray(9000, 'c') + "\r\n") << 431;
        const auto post = [](const QByteArray &headers) { return get("/", "POST", headers) + QByteArray(4096, 'x'); };
        QTest::newRow("large body") << post("Content-Length: 10000000\r\n") << 413;
        QTest::newRow("zero-padded large body") << post("Content-Length: " + QByteArray(40, '0') + "400000000\r\n")
                                                << 413;
        QTest::newRow("zero-padded small body")
                << get("/", "POST", "Content-Length: " + QByteArray(40, '0') + "3\r\n") + "a=1" << 405;
        QTest::newRow("lengths that differ") << post("Content-Length: 3\r\nContent-Length: 4\r\n") << 400;
        QTest::newRow("a list of lengths") << post("Content-Length: 3, 3\r\n") << 400;
        QTest::newRow("a signed length") << post("Content-Length: +3\r\n") << 400;
        QTest::newRow("space before the colon") << post("Content-Length : 3\r\n") << 400;
        QTest::newRow("chunked body") << get("/", "POST", "Transfer-Encoding: chunked\r\n") + "5\r\nhello\r\n0\r\n\r\n"
                                      << 413;
        // Every limit holds to the byte and to the line.
        const auto head = [](int bytes, int lines) { // a head of exactly so many bytes and lines
            const QByteArray extra = QByteArray("X: 1\r\n").repeated(lines - 3);
            const int pad = bytes - int(get("/nothing", "GET", extra + "Y: \r\n").size());
            return get("/nothing", "GET", extra + "Y: " + QByteArray(pad, 'y') + "\r\n");
        };
        QTest::newRow("a head of the most bytes") << head(8192, 3) << 404;
        QTest::newRow("a byte more") << head(8193, 3) << 431;
        QTest::newRow("the most lines") << head(1000, 48) << 404;
        QTest::newRow("a line more") << head(1000, 49) << 431;
        QTest::newRow("a body of the most bytes") << get("/", "POST", "Content-Length: 1024\r\n") + QByteArray(1024, 'x') << 405;
        QTest::newRow("a byte more of body") << post("Content-Length: 1025\r\n") << 413;
        QTest::newRow("four blank lines first") << QByteArray("\r\n").repeated(4) + get("/nothing") << 404;
        QTest::newRow("no version") << QByteArray("GET /\r\n\r\n") << 400;
        QTest::newRow("blank lines first") << QByteArray("\r\n").repeated(5) + get("/") << 400;
    }
    void hostileRequests()
    {
        QFETCH(QByteArray, request);
        QFETCH(int, status);
        PhoneViewer viewer;
        QVERIFY(viewer.port());
        const bool refused = status != 404 && status != 405; // which ends the connection
        const HttpAnswer answer = exchange(viewer.port(), request, 5000, refused ? 2000 : 0);
        QCOMPARE(answer.status(), status);
        QCOMPARE(answer.closed, refused);
        QVERIFY(!answer.body.contains("root:"));
        QVERIFY(!answer.body.contains("<html"));
        // The server is still there for everyone else.
        QCOMPARE(exchange(viewer.port(), get("/")).status(), 200);
    }

    // Connections count while they are open and no longer, so small limits hold however long the
    // server runs. Told no address, it serves on every address and names its room address.
    void connectionLimits()
    {
        ConnectionGuard::Limits limits;
        limits.maxConnections = 3;
        limits.maxConnectionsPerAddress = 2;
        PhoneService service;
        QVERIFY(service.start(QHostAddress(), 0, limits));
        QCOMPARE(service.pageUrl().host(), PhoneService::pageHost(QHostAddress::Any, PhoneService::interfaceAddresses()).toString());
        for (int i = 0; i < 8; ++i)
            QTRY_COMPARE_WITH_TIMEOUT(exchange(service.port(), get("/", "GET", "Connection: close\r\n"), 2000, 2000).status(), 200, 3000);
        QTest::qWait(500); // the last one's end reaches the server's thread
        // Two of one address are served and a third refused; a third address finds the server full.
        QTcpSocket sockets[5];
        const char *from[] = {"127.0.0.1", "127.0.0.1", "127.0.0.1", "127.0.0.2", "127.0.0.3"};
        QByteArray answers;
        for (int i = 0; i < 5; ++i) {
            sockets[i].bind(QHostAddress(QLatin1String(from[i])));
            sockets[i].connectToHost(QHostAddress::LocalHost, service.port());
            QVERIFY(sockets[i].waitForConnected(2000));
            sockets[i].write(get("/phone.css"));
            answers += readAnswer(sockets[i], 2000).head.left(12) + '|';
        }
        QCOMPARE(answers, QByteArray("HTTP/1.1 200|HTTP/1.1 200|HTTP/1.1 503|HTTP/1.1 200|HTTP/1.1 503|"));
    }

    // A client that sends a byte a second is closed within the request's time; a thousand
    // connections from one address are refused but for a few; meanwhile phones are answered and
    // the TV keeps painting.
    void slowAndManyClientsCannotHoldTheServer()
    {
        PhoneViewer viewer;
        QVERIFY(viewer.port());
        QTRY_VERIFY(viewer.window->showsBoardFile());
        const ConnectionGuard::Limits limits;
        QElapsedTimer elapsed;
        elapsed.start();

        // One sends a byte a second, the other a blank line every two seconds.
        QTcpSocket slow;
        QTcpSocket blank;
        for (QTcpSocket *socket : {&slow, &blank}) {
            socket->connectToHost(QHostAddress::LocalHost, viewer.port());
            QVERIFY(socket->waitForConnected(2000));
        }
        const quint64 paintedBefore = viewer.window->liveView()->paintCount();
        const QByteArray request = get("/board.json");
        int sent = 0;
        int blanks = 0;
        int answeredMeanwhile = 0;
        while ((slow.state() == QAbstractSocket::ConnectedState || blank.state() == QAbstractSocket::ConnectedState)
               && elapsed.elapsed() < 9000) {
            if (sent < request.size() && elapsed.elapsed() >= sent * 1000) {
                slow.write(request.mid(sent++, 1));
                slow.flush();
            }
            if (blank.state() == QAbstractSocket::ConnectedState && elapsed.elapsed() >= blanks * 2000) {
                blank.write("\r\n");
                ++blanks;
            }
            if (exchange(viewer.port(), get("/"), 1000).status() == 200)
                ++answeredMeanwhile;
            QTest::qWait(100);
            slow.waitForReadyRead(1);
            blank.waitForReadyRead(1);
        }
        QCOMPARE(slow.state(), QAbstractSocket::UnconnectedState);
        QCOMPARE(blank.state(), QAbstractSocket::UnconnectedState);
        QVERIFY(!slow.readAll().contains("200 OK"));
        QVERIFY2(elapsed.elapsed() < limits.requestMilliseconds + 2000, qPrintable(QString::number(elapsed.elapsed())));
        QVERIFY(answeredMeanwhile >= 10);
        QVERIFY(viewer.window->liveView()->paintCount() > paintedBefore + 4); // Alice blinks twice a second

        // A thousand connections at once: some are served, the rest refused; none hangs.
        std::vector<std::unique_ptr<QTcpSocket>> crowd;
        for (int i = 0; i < 1000; ++i) {
            crowd.push_back(std::make_unique<QTcpSocket>());
            crowd.back()->connectToHost(QHostAddress::LocalHost, viewer.port());
        }
        const quint64 paintedDuring = viewer.window->liveView()->paintCount();
        int refused = 0;
        int served = 0;
        QDeadlineTimer deadline(limits.requestMilliseconds + 3000);
        for (auto &socket : crowd) {
            if (socket->state() != QAbstractSocket::ConnectedState && !socket->waitForConnected(int(deadline.remainingTime())))
                continue;
            QByteArray answer;
            // Only a refused connection answers without being asked.
            if (socket->waitForReadyRead(refused + served < 40 ? 200 : 20))
                answer = socket->readAll();
            if (answer.startsWith("HTTP/1.1 503")) {
                ++refused;
                continue;
            }
            socket->write(get("/board.json"));
            const HttpAnswer reply = readAnswer(*socket, 2000);
            if (reply.status() == 200)
                ++served;
            else if (reply.status() == 503)
                ++refused;
        }
        QVERIFY2(served >= 1 && served <= limits.maxConnectionsPerAddress,
                 qPrintable(QStringLiteral("%1 served, %2 refused").arg(served).arg(refused)));
        QCOMPARE(served + refused, 1000);
        crowd.clear();
        QTRY_COMPARE(exchange(viewer.port(), get("/")).status(), 200);
        QTRY_VERIFY(viewer.window->liveView()->paintCount() > paintedDuring + 2);
    }

    // Connections from one address that pipeline requests and never read their answers hold back
    // neither a phone elsewhere (its own pipelined requests answered in order, in time) nor the
    // memory, and are dropped when their time is up.
    void pipelinedFloodCannotHoldTheServer()
    {
        PhoneViewer viewer;
        QVERIFY(viewer.port());
        QTRY_VERIFY(exchange(viewer.port(), get("/board.json")).body.contains("Alice"));
        const qint64 heapBefore = heapBytes();
        // Each of these keeps two bursts of requests on their way, whenever it can.
        const QByteArray burst = get("/").repeated(2000);
        std::vector<std::unique_ptr<QTcpSocket>> flood;
        for (int i = 0; i < ConnectionGuard::Limits().maxConnectionsPerAddress; ++i) {
            QTcpSocket *socket = flood.emplace_back(std::make_unique<QTcpSocket>()).get();
            socket->setReadBufferSize(4096); // the answers stay with the system
            connect(socket, &QTcpSocket::bytesWritten, socket, [socket, &burst] {
                if (socket->bytesToWrite() < burst.size())
                    socket->write(burst);
            });
            socket->bind(QHostAddress(QStringLiteral("127.0.0.2")));
            socket->connectToHost(QHostAddress::LocalHost, viewer.port());
            socket->write(burst + burst);
        }
        const auto connected = [](const auto &socket) { return socket->state() == QAbstractSocket::ConnectedState; };
        QElapsedTimer elapsed;
        elapsed.start();
        while (elapsed.elapsed() < 4000) {
            // A phone's browser, with two requests at once on each of two connections.
            QTcpSocket phone[2];
            QByteArray answers[2];
            for (int i = 0; i < 2; ++i) {
                connect(&phone[i], &QTcpSocket::readyRead, &phone[i], [&, i] { answers[i] += phone[i].readAll(); });
                phone[i].connectToHost(QHostAddress::LocalHost, viewer.port());
                phone[i].write(get("/board.json") + get("/phone.css", "GET", "Connection: close\r\n"));
            }
            QTRY_VERIFY_WITH_TIMEOUT(phone[0].state() == QAbstractSocket::UnconnectedState
                                             && phone[1].state() == QAbstractSocket::UnconnectedState,
                                     1000);
            for (const QByteArray &got : answers) {
                QCOMPARE(got.count("HTTP/1.1 200 OK"), 2);
                QVERIFY(got.contains("Alice B.") && got.indexOf("Alice B.") < got.indexOf("li.player"));
            }
        }
        const qint64 grown = heapBytes() - heapBefore;
        QVERIFY2(grown < 16000000, qPrintable(QString::number(grown)));
        const auto alive = [&](const auto &socket) {
            if (connected(socket) && socket->write("\r\n")) // which fails once the server dropped it
                socket->waitForBytesWritten(10);
            return connected(socket);
        };
        // Dropped at the deadline once they stall; a loaded machine takes its time to get there.
        QTRY_VERIFY_WITH_TIMEOUT(std::none_of(flood.begin(), flood.end(), alive), 30000);
    }

    // The corner of the TV holds the page's address, readable by a phone's camera, and the
    // board never runs under it; without the server there is no corner.
    void qrCodeHoldsThePageAddress()
    {
        PhoneViewer viewer;
        QVERIFY(viewer.port());
        WebAddressBadge *badge = viewer.window->webBadge();
        QVERIFY(badge && badge->isVisible());
        const QUrl url = viewer.window->phoneService()->pageUrl();
        QCOMPARE(url, QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(viewer.port())));
        QVERIFY(!badge->code().isNull());
        QTRY_VERIFY(viewer.window->showsBoardFile());
        const BoardLayout &layout = viewer.window->liveView()->layout();
        QVERIFY(layout.area.bottom() < badge->geometry().top());

        const QString zbarimg = QStandardPaths::findExecutable(QStringLiteral("zbarimg"));
        if (zbarimg.isEmpty())
            QSKIP("zbarimg is not installed (apt-get install zbar-tools)");
        QTemporaryDir folder;
        const QString shot = folder.filePath(QStringLiteral("tv.png"));
        QVERIFY(viewer.window->grab().save(shot));
        if (qEnvironmentVariableIsSet("TAVLO_KEEP_SHOT"))
            viewer.window->grab().save(qEnvironmentVariable("TAVLO_KEEP_SHOT"));
        QProcess decode;
        decode.start(zbarimg, {QStringLiteral("--raw"), QStringLiteral("-q"), shot});
        QVERIFY(decode.waitForFinished(10000));
        QCOMPARE(QString::fromUtf8(decode.readAllStandardOutput()).trimmed(), url.toString());

        ViewerOptions off;
        off.webPort = -1;
        DisplayWindow quiet(viewer.folder.path(), off);
        quiet.start();
        QVERIFY(!quiet.phoneService());
        QVERIFY(!quiet.webBadge());
    }
};

QTEST_MAIN(TestPhones)
#include "tst_phones.moc"
