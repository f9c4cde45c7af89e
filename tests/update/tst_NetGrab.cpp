#include "LoopbackHttpServer.h"
#include "NetGrab.h"

#include <QFile>
#include <QNetworkReply>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QtTest>

using tavlo::NetGrab;
using tavlo::test::LoopbackHttpServer;
using Route = LoopbackHttpServer::Route;

Q_DECLARE_METATYPE(Route)

namespace {

constexpr int waitMs = 10000;

QByteArray everyByte()
{
    QByteArray bytes;
    for (int i = 0; i < 256; ++i)
        bytes += char(i);
    return bytes + "\r\n\0\r" + QByteArray(3000, 'z');
}

Route slowRoute(const QByteArray &body, bool withLength)
{
    Route route;
    route.body = body;
    route.withLength = withLength;
    route.pieceSize = 400;
    route.pieceDelayMs = 20;
    return route;
}

// A port on 127.0.0.1 with nobody listening.
quint16 closedPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

} // namespace

class tst_NetGrab : public QObject {
    Q_OBJECT

private slots:
    void init();
    void completes_data();
    void completes();
    void fails_data();
    void fails();
    void emptyAddressStartsNothing();
    void startWhileBusyReplacesTheRead();
    void cancelEndsWithFailureAndKeepsData();
    void freshModeBypassesCaches();
    void durationSpansTheTickWrap_data();
    void durationSpansTheTickWrap();
    void saveAsWritesOnlyAfterSuccess();
    void saveAsReportsWriteErrors_data();
    void saveAsReportsWriteErrors();

private:
    std::unique_ptr<LoopbackHttpServer> server;
};

void tst_NetGrab::init()
{
    server = std::make_unique<LoopbackHttpServer>();
    QVERIFY(server->start());
}

void tst_NetGrab::completes_data()
{
    QTest::addColumn<Route>("route");
    QTest::addColumn<bool>("totalKnown");

    Route plain;
    plain.body = everyByte();
    QTest::newRow("with length") << plain << true;
    QTest::newRow("slow with length") << slowRoute(everyByte(), true) << true;
    QTest::newRow("slow without length") << slowRoute(everyByte(), false) << false;
    Route moved;
    moved.status = 302;
    moved.location = "/real"; // serves everyByte() with its length
    QTest::newRow("redirect") << moved << true;
}

void tst_NetGrab::completes()
{
    QFETCH(Route, route);
    QFETCH(bool, totalKnown);
    server->serve(QStringLiteral("/file"), route);
    server->serve(QStringLiteral("/real"), slowRoute(everyByte(), true));
    const QByteArray expected = everyByte();

    NetGrab grab;
    QSignalSpy complete(&grab, &NetGrab::DownloadComplete);
    QSignalSpy failed(&grab, &NetGrab::DownloadFailed);
    QSignalSpy progress(&grab, &NetGrab::DownloadProgress);
    QList<qint32> durationsDuring;
    QList<qsizetype> bytesDuring;
    connect(&grab, &NetGrab::DownloadProgress, this, [&] {
        durationsDuring << grab.Duration();
        bytesDuring << grab.Bytes().size();
    });

    grab.DownloadStart(server->url(QStringLiteral("/file")), NetGrab::FreshFromServer);
    QVERIFY(grab.Busy());
    QTRY_VERIFY_WITH_TIMEOUT(!grab.Busy(), waitMs);

    QCOMPARE(failed.count(), 0);
    QCOMPARE(complete.count(), 1);
    QCOMPARE(complete.at(0).at(0).toInt(), expected.size());
    QCOMPARE(grab.Bytes(), expected);
    QVERIFY(grab.Duration() >= 0);
    QVERIFY(!progress.isEmpty());
    for (int i = 0; i < progress.count(); ++i) {
        QCOMPARE(progress.at(i).at(0).toInt(), bytesDuring.at(i));
        QCOMPARE(durationsDuring.at(i), 0);
        // Once all has arrived the size is known, announced or not.
        const bool last = i == progress.count() - 1;
        if (totalKnown || !last)
            QCOMPARE(progress.at(i).at(1).toInt(), totalKnown ? expected.size() : 0);
    }
    if (!totalKnown)
        QVERIFY(progress.count() >= 2);
    QCOMPARE(progress.last().at(0).toInt(), expected.size());
}

void tst_NetGrab::fails_data()
{
    QTest::addColumn<Route>("route");
    QTest::addColumn<QString>("address"); // empty: the route's path
    QTest::addColumn<int>("errNum");      // 0: any

    Route missing;
    missing.status = 404;
    missing.body = "<html>Not Found</html>";
    QTest::newRow("404") << missing << QString() << int(QNetworkReply::ContentNotFoundError);

    Route broken = slowRoute(QByteArray(4000, 'b'), true);
    broken.breakAfter = 1500;
    QTest::newRow("broken off mid-body") << broken << QString() << int(QNetworkReply::RemoteHostClosedError);

    Route silent;
    silent.neverAnswer = true;
    QTest::newRow("never answers") << silent << QString() << int(QNetworkReply::TimeoutError);

    Route toFile;
    toFile.status = 302;
    toFile.location = "file:///etc/hostname";
    QTest::newRow("redirect to a file") << toFile << QString() << 0;

    QTest::newRow("refused") << Route() << QStringLiteral("http://127.0.0.1:%1/file").arg(closedPort()) << 0;
    QTest::newRow("malformed") << Route() << QStringLiteral("http://") << int(QNetworkReply::ProtocolUnknownError);
    QTest::newRow("not http") << Route() << QStringLiteral("file:///etc/hostname")
                              << int(QNetworkReply::ProtocolUnknownError);
    QTest::newRow("https to a plain server") << Route() << QStringLiteral("https-loopback") << 0;
}

void tst_NetGrab::fails()
{
    QFETCH(Route, route);
    QFETCH(QString, address);
    QFETCH(int, errNum);
    server->serve(QStringLiteral("/file"), route);
    if (address.isEmpty())
        address = server->url(QStringLiteral("/file"));
    else if (address == QLatin1String("https-loopback"))
        address = server->url(QStringLiteral("/file")).replace(QStringLiteral("http:"), QStringLiteral("https:"));

    NetGrab grab;
    grab.setTransferTimeout(400);
    QSignalSpy complete(&grab, &NetGrab::DownloadComplete);
    QSignalSpy failed(&grab, &NetGrab::DownloadFailed);

    grab.DownloadStart(address, NetGrab::FreshFromServer);
    QVERIFY(grab.Busy()); // the failure, too, arrives from the event loop
    QTRY_VERIFY_WITH_TIMEOUT(!grab.Busy(), waitMs);

    QCOMPARE(complete.count(), 0);
    QCOMPARE(failed.count(), 1);
    if (errNum != 0)
        QCOMPARE(failed.at(0).at(0).toInt(), errNum);
    QVERIFY(failed.at(0).at(0).toInt() != 0);
    QVERIFY(!failed.at(0).at(1).toString().isEmpty());
    QVERIFY(grab.Duration() >= 0);

    // Nothing from a failed read can be saved.
    QTemporaryDir dir;
    QVERIFY(!grab.SaveAs(dir.filePath(QStringLiteral("out"))));
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("out"))));
}

void tst_NetGrab::emptyAddressStartsNothing()
{
    server->serveBody(QStringLiteral("/a"), "first");
    NetGrab grab;
    QSignalSpy complete(&grab, &NetGrab::DownloadComplete);
    QSignalSpy failed(&grab, &NetGrab::DownloadFailed);

    grab.DownloadStart(QString());
    QVERIFY(!grab.Busy());

    // While busy, an empty address leaves the running read alone.
    grab.DownloadStart(server->url(QStringLiteral("/a")));
    grab.DownloadStart(QString());
    QVERIFY(grab.Busy());
    QTRY_VERIFY_WITH_TIMEOUT(!grab.Busy(), waitMs);

    QCOMPARE(server->totalRequests(), 1);
    QCOMPARE(failed.count(), 0);
    QCOMPARE(complete.count(), 1);
    QCOMPARE(grab.Bytes(), QByteArray("first"));
}

void tst_NetGrab::startWhileBusyReplacesTheRead()
{
    Route silent;
    silent.neverAnswer = true;
    server->serve(QStringLiteral("/silent"), silent);
    server->serve(QStringLiteral("/slow"), slowRoute(QByteArray(2000, 's'), true));
    server->serveBody(QStringLiteral("/b"), "second body");

    NetGrab grab;
    grab.setTransferTimeout(3000);
    QSignalSpy complete(&grab, &NetGrab::DownloadComplete);
    QSignalSpy failed(&grab, &NetGrab::DownloadFailed);
    QSignalSpy progress(&grab, &NetGrab::DownloadProgress);

    // Mid-body, from the owner's handler: whatever the dropped read still has in flight must
    // not reach the next one.
    connect(&grab, &NetGrab::DownloadProgress, this, [&] {
        if (progress.count() == 1)
            grab.DownloadStart(server->url(QStringLiteral("/b")));
    });

    grab.DownloadStart(server->url(QStringLiteral("/silent")));
    QTRY_COMPARE_WITH_TIMEOUT(server->requests(QStringLiteral("/silent")), 1, waitMs);
    grab.DownloadStart(server->url(QStringLiteral("/slow")));
    QVERIFY(grab.Busy());
    QTRY_VERIFY_WITH_TIMEOUT(!grab.Busy(), waitMs);

    QCOMPARE(server->requests(QStringLiteral("/b")), 1);
    QCOMPARE(failed.count(), 0);
    QCOMPARE(complete.count(), 1);
    QCOMPARE(complete.at(0).at(0).toInt(), 11);
    QCOMPARE(grab.Bytes(), QByteArray("second body"));
}

void tst_NetGrab::cancelEndsWithFailureAndKeepsData()
{
    server->serve(QStringLiteral("/slow"), slowRoute(QByteArray(8000, 'c'), true));
    NetGrab grab;
    QSignalSpy complete(&grab, &NetGrab::DownloadComplete);
    QSignalSpy failed(&grab, &NetGrab::DownloadFailed);
    bool busyAfterCancel = false;
    bool cancelled = false;
    connect(&grab, &NetGrab::DownloadProgress, this, [&] {
        if (cancelled)
            return;
        cancelled = true;
        grab.DownloadCancel(); // from the owner's handler, as the Cancel button does
        busyAfterCancel = grab.Busy();
    });

    grab.DownloadStart(server->url(QStringLiteral("/slow")), NetGrab::FreshFromServer);
    QTRY_VERIFY_WITH_TIMEOUT(!grab.Busy(), waitMs);

    QVERIFY(cancelled);
    QVERIFY(busyAfterCancel);
    QCOMPARE(complete.count(), 0);
    QCOMPARE(failed.count(), 1);
    QCOMPARE(failed.at(0).at(0).toInt(), int(QNetworkReply::OperationCanceledError));
    // The part received stays readable, but cannot be saved as if it were the file.
    QVERIFY(!grab.Bytes().isEmpty());
    QVERIFY(grab.Bytes().size() < 8000);
    QTemporaryDir dir;
    QVERIFY(!grab.SaveAs(dir.filePath(QStringLiteral("part"))));

    // Cancelling when nothing runs changes nothing.
    grab.DownloadCancel();
    QVERIFY(!grab.Busy());
}

void tst_NetGrab::freshModeBypassesCaches()
{
    server->serveBody(QStringLiteral("/v"), "1");
    NetGrab grab;
    grab.DownloadStart(server->url(QStringLiteral("/v")), NetGrab::FreshFromServer);
    QTRY_VERIFY_WITH_TIMEOUT(!grab.Busy(), waitMs);
    QVERIFY(server->lastHead(QStringLiteral("/v")).toLower().contains("cache-control: no-cache"));

    grab.DownloadStart(server->url(QStringLiteral("/v")), 0);
    QTRY_VERIFY_WITH_TIMEOUT(!grab.Busy(), waitMs);
    QVERIFY(!server->lastHead(QStringLiteral("/v")).toLower().contains("no-cache"));
    QCOMPARE(server->requests(QStringLiteral("/v")), 2);
}

void tst_NetGrab::durationSpansTheTickWrap_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<quint32>("startTick");
    QTest::addColumn<quint32>("endTick");
    QTest::addColumn<int>("duration");

    QTest::newRow("plain") << QStringLiteral("/ok") << 1000u << 3500u << 2500;
    QTest::newRow("across the wrap") << QStringLiteral("/ok") << 0xFFFFFF00u << 0x100u << 0x200;
    QTest::newRow("tick 0 at the start") << QStringLiteral("/ok") << 0u << 42u << 42;
    QTest::newRow("after a failure") << QStringLiteral("/missing") << 0x7FFFFFF0u << 0x80000010u << 0x20;
}

void tst_NetGrab::durationSpansTheTickWrap()
{
    QFETCH(QString, path);
    QFETCH(quint32, startTick);
    QFETCH(quint32, endTick);
    QFETCH(int, duration);
    server->serve(QStringLiteral("/ok"), slowRoute(QByteArray(1200, 'd'), true));

    quint32 now = startTick;
    NetGrab grab;
    grab.setTickSource([&now] { return now; });
    QList<qint32> during;
    connect(&grab, &NetGrab::DownloadProgress, this, [&] { during << grab.Duration(); });

    grab.DownloadStart(server->url(path));
    // A started read is busy even when the tick happens to read 0.
    QVERIFY(grab.Busy());
    QCOMPARE(grab.Duration(), 0);
    now = endTick;
    QTRY_VERIFY_WITH_TIMEOUT(!grab.Busy(), waitMs);

    QCOMPARE(grab.Duration(), duration);
    for (qint32 d : during)
        QCOMPARE(d, 0);
}

void tst_NetGrab::saveAsWritesOnlyAfterSuccess()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("TAVLO.upg"));
    writeFile(file, QByteArray(5000, 'o'));
    server->serveBody(QStringLiteral("/new"), everyByte().left(300));

    NetGrab grab;
    QVERIFY(!grab.SaveAs(file)); // nothing received yet
    QCOMPARE(readFile(file), QByteArray(5000, 'o'));

    grab.DownloadStart(server->url(QStringLiteral("/new")));
    QTRY_VERIFY_WITH_TIMEOUT(!grab.Busy(), waitMs);
    QVERIFY(grab.SaveAs(file)); // a shorter file replaces a longer one completely
    QCOMPARE(readFile(file), everyByte().left(300));
    // Saving writes no leftovers beside the file.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("TAVLO.upg")});

    writeFile(file, "kept");
    grab.DownloadStart(server->url(QStringLiteral("/missing")));
    QTRY_VERIFY_WITH_TIMEOUT(!grab.Busy(), waitMs);
    QVERIFY(!grab.SaveAs(file));
    QCOMPARE(readFile(file), QByteArray("kept"));
}

void tst_NetGrab::saveAsReportsWriteErrors_data()
{
    QTest::addColumn<QString>("target");
    QTest::newRow("missing folder") << QStringLiteral("no/such/folder/file");
    QTest::newRow("a folder in the way") << QStringLiteral("folder");
}

void tst_NetGrab::saveAsReportsWriteErrors()
{
    QFETCH(QString, target);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder")));
    server->serveBody(QStringLiteral("/new"), "payload");

    NetGrab grab;
    grab.DownloadStart(server->url(QStringLiteral("/new")));
    QTRY_VERIFY_WITH_TIMEOUT(!grab.Busy(), waitMs);
    QVERIFY(!grab.SaveAs(dir.filePath(target)));
    QVERIFY(!QFileInfo(dir.filePath(target)).isFile());
}

QTEST_GUILESS_MAIN(tst_NetGrab)
#include "tst_NetGrab.moc"
