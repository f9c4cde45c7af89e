#include "LoopbackHttpServer.h"
#include "NetGrab.h"
#include "TestPlatform.h"

#include <QNetworkReply>
#include <QSignalSpy>
#include <QtTest>

using tavlo::NetGrab;
using Route = tavlo::test::LoopbackHttpServer::Route;
Q_DECLARE_METATYPE(Route)

namespace {

QByteArray everyByte()
{
    QByteArray bytes;
    for (int i = 0; i < 3000; ++i)
        bytes += char(i % 256);
    return bytes;
}

Route slow(const QByteArray &body)
{
    return Route(200, body).inPieces(500);
}

} // namespace

class tst_NetGrab : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        server = std::make_unique<tavlo::test::LoopbackHttpServer>();
        QVERIFY(server->start());
    }
    void transfer_data();
    void transfer();
    void startWhileBusyReplacesTheRead();
    void cancelEndsWithFailure();
    void durationAcrossTheTickWrap_data();
    void durationAcrossTheTickWrap();
    void saveAs();

private:
    std::unique_ptr<tavlo::test::LoopbackHttpServer> server;
};

void tst_NetGrab::transfer_data()
{
    QTest::addColumn<Route>("route");
    QTest::addColumn<QString>("address"); // empty: the served /file
    QTest::addColumn<int>("errNum");      // 0: success, -1: any failure

    QTest::newRow("with length") << slow(everyByte()) << QString() << 0;
    QTest::newRow("without length") << slow(everyByte()).withoutLength() << QString() << 0;
    QTest::newRow("redirect") << Route(302).redirectTo("/real") << QString() << 0;
    QTest::newRow("404") << Route(404, "<html>Not Found</html>") << QString()
                         << int(QNetworkReply::ContentNotFoundError);
    QTest::newRow("broken off") << slow(everyByte()).cutAfter(1500) << QString()
                                << int(QNetworkReply::RemoteHostClosedError);
    QTest::newRow("never answers") << Route().silent() << QString()
                                   << int(QNetworkReply::TimeoutError);
    QTest::newRow("redirect to a file") << Route(302).redirectTo("file:///etc/hostname")
                                        << QString() << -1;
    QTest::newRow("malformed") << Route() << QStringLiteral("http://") << int(QNetworkReply::ProtocolUnknownError);
    QTest::newRow("not http") << Route() << QStringLiteral("file:///etc/hostname")
                              << int(QNetworkReply::ProtocolUnknownError);
    QTest::newRow("https to a plain server") << Route() << QStringLiteral("https") << -1;
}

void tst_NetGrab::transfer()
{
    QFETCH(Route, route);
    QFETCH(QString, address);
    QFETCH(int, errNum);
    server->serve(QStringLiteral("/file"), route);
    server->serve(QStringLiteral("/real"), slow(everyByte()));
    const QString file = server->root() + QStringLiteral("/file");
    if (address.isEmpty() || address == QLatin1String("https"))
        address = address.isEmpty() ? file : QString(file).replace(QStringLiteral("http:"), QStringLiteral("https:"));

    NetGrab grab;
    grab.setTransferTimeout(400);
    QSignalSpy complete(&grab, &NetGrab::DownloadComplete);
    QSignalSpy failed(&grab, &NetGrab::DownloadFailed);
    QSignalSpy progress(&grab, &NetGrab::DownloadProgress);
    QList<qint32> durations;
    connect(&grab, &NetGrab::DownloadProgress, this, [&](qint32 n) {
        durations << grab.Duration();
        QCOMPARE(grab.Bytes().size(), n);
    });

    grab.DownloadStart(address, NetGrab::FreshFromServer);
    QVERIFY(grab.Busy()); // every end of a read, a refusal too, comes from the event loop
    QTRY_VERIFY_WITH_TIMEOUT(!grab.Busy(), 10000);
    QVERIFY(grab.Duration() >= 0);

    if (errNum != 0) {
        QCOMPARE(complete.count(), 0);
        QCOMPARE(failed.count(), 1);
        QCOMPARE(failed.at(0).at(0).toInt() == errNum, errNum != -1);
        QVERIFY(failed.at(0).at(0).toInt() != 0 && !failed.at(0).at(1).toString().isEmpty());
        QTemporaryDir dir;
        QVERIFY(!grab.SaveAs(dir.filePath(QStringLiteral("out"))));
        return;
    }
    QCOMPARE(failed.count(), 0);
    QCOMPARE(complete.count(), 1);
    QCOMPARE(complete.at(0).at(0).toInt(), everyByte().size());
    QCOMPARE(grab.Bytes(), everyByte());
    QVERIFY(server->lastHead(QStringLiteral("/file")).toLower().contains("cache-control: no-cache"));
    QVERIFY(progress.count() >= 2);
    QCOMPARE(progress.last().at(0).toInt(), everyByte().size());
    // Without a length the total reads 0, until everything has arrived.
    const int total = route.withLength ? everyByte().size() : 0;
    QCOMPARE(progress.first().at(1).toInt(), total);
    QCOMPARE(durations, QList<qint32>(progress.count(), 0));
}

void tst_NetGrab::startWhileBusyReplacesTheRead()
{
    server->serve(QStringLiteral("/silent"), Route().silent());
    server->serve(QStringLiteral("/slow"), slow(everyByte()));
    server->serve(QStringLiteral("/b"), QByteArray("second"));
    NetGrab grab;
    QSignalSpy complete(&grab, &NetGrab::DownloadComplete);
    QSignalSpy failed(&grab, &NetGrab::DownloadFailed);
    // Mid-body, from the owner's handler: nothing of the dropped read may reach the next one.
    connect(&grab, &NetGrab::DownloadProgress, this, [&] {
        if (server->requests(QStringLiteral("/b")) == 0)
            grab.DownloadStart(server->root() + QStringLiteral("/b"));
    });

    grab.DownloadStart(server->root() + QStringLiteral("/silent"));
    QTRY_COMPARE(server->requests(QStringLiteral("/silent")), 1);
    grab.DownloadStart(server->root() + QStringLiteral("/slow"));
    grab.DownloadStart(QString()); // an empty address leaves the running read alone
    QVERIFY(grab.Busy());
    QTRY_VERIFY_WITH_TIMEOUT(!grab.Busy(), 10000);

    QCOMPARE(server->totalRequests(), 3);
    QCOMPARE(failed.count(), 0);
    QCOMPARE(complete.count(), 1);
    QCOMPARE(grab.Bytes(), QByteArray("second"));
    grab.DownloadStart(QString());
    QVERIFY(!grab.Busy());
}

void tst_NetGrab::cancelEndsWithFailure()
{
    server->serve(QStringLiteral("/slow"), slow(everyByte()));
    NetGrab grab;
    QSignalSpy failed(&grab, &NetGrab::DownloadFailed);
    bool busyAfterCancel = false;
    connect(&grab, &NetGrab::DownloadProgress, this, [&] {
        if (failed.isEmpty() && !busyAfterCancel) {
            grab.DownloadCancel();
            busyAfterCancel = grab.Busy(); // only the end of the read clears it
        }
    });
    grab.DownloadStart(server->root() + QStringLiteral("/slow"));
    QTRY_VERIFY_WITH_TIMEOUT(!grab.Busy(), 10000);

    QVERIFY(busyAfterCancel);
    QCOMPARE(failed.count(), 1);
    QCOMPARE(failed.at(0).at(0).toInt(), int(QNetworkReply::OperationCanceledError));
    QVERIFY(!grab.Bytes().isEmpty()); // the part received stays readable
}

void tst_NetGrab::durationAcrossTheTickWrap_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<quint32>("startTick");
    QTest::addColumn<quint32>("endTick");
    QTest::addColumn<int>("duration");
    QTest::newRow("across the wrap") << QStringLiteral("/ok") << 0xFFFFFF00u << 0x100u << 0x200;
    QTest::newRow("tick 0 at the start") << QStringLiteral("/ok") << 0u << 42u << 42;
    QTest::newRow("after a failure") << QStringLiteral("/missing") << 0x7FFFFFF0u << 0x80000010u << 0x20;
}

void tst_NetGrab::durationAcrossTheTickWrap()
{
    QFETCH(QString, path);
    QFETCH(quint32, startTick);
    QFETCH(quint32, endTick);
    QFETCH(int, duration);
    server->serve(QStringLiteral("/ok"), QByteArray("ok"));
    quint32 now = startTick;
    NetGrab grab;
    grab.setTickSource([&now] { return now; });
    grab.DownloadStart(server->root() + path);
    QVERIFY(grab.Busy());
    QCOMPARE(grab.Duration(), 0);
    now = endTick;
    QTRY_VERIFY_WITH_TIMEOUT(!grab.Busy(), 10000);
    QCOMPARE(grab.Duration(), duration);
}

void tst_NetGrab::saveAs()
{
    tavlo::test::TestPlatform folder;
    const QString file = folder.path(QStringLiteral("TAVLO.upg"));
    folder.writeFile(QStringLiteral("TAVLO.upg"), QByteArray(5000, 'o'));
    server->serve(QStringLiteral("/new"), everyByte().left(300));
    NetGrab grab;
    QVERIFY(!grab.SaveAs(file)); // nothing received yet
    QCOMPARE(folder.readFile(QStringLiteral("TAVLO.upg")), QByteArray(5000, 'o'));

    grab.DownloadStart(server->root() + QStringLiteral("/new"));
    QTRY_VERIFY_WITH_TIMEOUT(!grab.Busy(), 10000);
    QVERIFY(grab.SaveAs(file)); // replaces a longer file completely, bytes unchanged
    QCOMPARE(folder.readFile(QStringLiteral("TAVLO.upg")), everyByte().left(300));
    QCOMPARE(QDir(folder.dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("TAVLO.upg")});
    QVERIFY(QDir(folder.dir.path()).mkdir(QStringLiteral("folder")));
    QVERIFY(!grab.SaveAs(folder.path(QStringLiteral("folder"))));
    QVERIFY(!grab.SaveAs(folder.path(QStringLiteral("no/such/folder"))));

    folder.writeFile(QStringLiteral("TAVLO.upg"), "kept");
    grab.DownloadStart(server->root() + QStringLiteral("/missing"));
    QTRY_VERIFY_WITH_TIMEOUT(!grab.Busy(), 10000);
    QVERIFY(!grab.SaveAs(file));
    QCOMPARE(folder.readFile(QStringLiteral("TAVLO.upg")), QByteArray("kept"));
    QCOMPARE(grab.Bytes(), everyByte().left(300)); // the error page is not taken for data
}

QTEST_GUILESS_MAIN(tst_NetGrab)
#include "tst_NetGrab.moc"
