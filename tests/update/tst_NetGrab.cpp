#include "LoopbackHttpServer.h"
#include "update/NetGrab.h"
#include "TestPlatform.h"

#include <QNetworkReply>
#include <QSignalSpy>
#include <QtTest>

using tavlo::NetGrab;
using tavlo::test::Route;

class tst_NetGrab : public QObject {
    Q_OBJECT

    static QByteArray everyByte()
    {
        QByteArray bytes;
        for (int i = 0; i < 3000; ++i)
            bytes += char(i % 256);
        return bytes;
    }

private slots:
    void transfer_data()
    {
        QTest::addColumn<Route>("route");     // for /file
        QTest::addColumn<QString>("address"); // empty: /file
        QTest::addColumn<int>("errNum");      // 0: success
        const Route slow{.body = everyByte(), .pieceSize = 500};
        QTest::newRow("with length") << slow << QString() << 0;
        QTest::newRow("without length") << Route{.body = slow.body, .withLength = false, .pieceSize = 500}
                                        << QString() << 0;
        QTest::newRow("redirect") << Route{.status = 302, .location = "/real"} << QString() << 0;
        QTest::newRow("404") << Route{.status = 404, .body = "<html/>"} << QString()
                             << int(QNetworkReply::ContentNotFoundError);
        QTest::newRow("broken off") << Route{.body = slow.body, .pieceSize = 500, .cutAfter = 1500} << QString()
                                    << int(QNetworkReply::RemoteHostClosedError);
        QTest::newRow("never answers") << Route{.silent = true} << QString() << int(QNetworkReply::TimeoutError);
        QTest::newRow("not http") << Route() << QStringLiteral("file:///etc/hostname")
                                  << int(QNetworkReply::ProtocolUnknownError);
    }

    void transfer()
    {
        QFETCH(Route, route);
        QFETCH(QString, address);
        QFETCH(int, errNum);
        tavlo::test::LoopbackHttpServer server;
        server.routes.insert(QStringLiteral("/file"), route);
        server.routes.insert(QStringLiteral("/real"), Route{.body = everyByte(), .pieceSize = 500});
        tavlo::test::TestPlatform folder;
        const QString saved = folder.path(QStringLiteral("TAVLO.upg"));
        const QByteArray old(5000, 'o'); // longer than the download
        folder.writeFile(QStringLiteral("TAVLO.upg"), old);

        NetGrab grab;
        QVERIFY(!grab.SaveAs(saved)); // nothing received yet
        grab.setTransferTimeout(400);
        quint32 now = 0xFFFFFF00u; // the tick wraps during the read
        grab.setTickSource([&now] { return now; });
        QSignalSpy complete(&grab, &NetGrab::DownloadComplete);
        QSignalSpy failed(&grab, &NetGrab::DownloadFailed);
        QSignalSpy progress(&grab, &NetGrab::DownloadProgress);
        connect(&grab, &NetGrab::DownloadProgress, this, [&](qint32 n) {
            QCOMPARE(grab.Duration(), 0);
            QCOMPARE(grab.Bytes(), everyByte().left(n)); // never an error page
        });

        address = address.isEmpty() ? server.root() + QStringLiteral("/file") : address;
        grab.DownloadStart(address, NetGrab::FreshFromServer);
        // Every end of a read, a refusal too, comes from the event loop.
        QVERIFY(grab.Busy() && grab.Duration() == 0);
        now = 0x100;
        QTRY_VERIFY_WITH_TIMEOUT(!grab.Busy(), 10000);
        QCOMPARE(grab.Duration(), 0x200);
        QCOMPARE(complete.count() + failed.count(), 1);
        QCOMPARE(failed.count(), errNum == 0 ? 0 : 1);
        QVERIFY(errNum == 0 || failed.at(0).at(0).toInt() == errNum);
        QCOMPARE(grab.SaveAs(saved), errNum == 0);
        QCOMPARE(folder.readFile(QStringLiteral("TAVLO.upg")), errNum == 0 ? everyByte() : old);
        if (errNum != 0)
            return;
        QCOMPARE(complete.value(0).value(0).toInt(), everyByte().size());
        QVERIFY(server.lastHead.toLower().contains("cache-control: no-cache"));
        QVERIFY(progress.count() >= 2);
        // Without a length the total reads 0.
        QCOMPARE(progress.first().at(1).toInt(), route.withLength ? everyByte().size() : 0);
    }

    void startWhileBusyReplacesTheRead()
    {
        tavlo::test::LoopbackHttpServer server;
        server.routes.insert(QStringLiteral("/silent"), Route{.silent = true});
        server.routes.insert(QStringLiteral("/slow"), Route{.body = everyByte(), .pieceSize = 500});
        server.routes.insert(QStringLiteral("/b"), Route{.body = "second"});
        NetGrab grab;
        QSignalSpy complete(&grab, &NetGrab::DownloadComplete);
        QSignalSpy failed(&grab, &NetGrab::DownloadFailed);
        // Mid-body, from the owner's handler: nothing of the dropped read may reach the next one.
        connect(&grab, &NetGrab::DownloadProgress, this, [&] {
            if (!server.asked.contains(QStringLiteral("/b")))
                grab.DownloadStart(server.root() + QStringLiteral("/b"));
        });

        grab.DownloadStart(server.root() + QStringLiteral("/silent"));
        QTRY_VERIFY(server.asked.contains(QStringLiteral("/silent")));
        grab.DownloadStart(server.root() + QStringLiteral("/slow"));
        grab.DownloadStart(QString()); // an empty address leaves the running read alone
        QTRY_VERIFY_WITH_TIMEOUT(!grab.Busy(), 10000);
        QCOMPARE(server.asked.size(), 3);
        QCOMPARE(failed.count() + complete.count(), 1);
        QCOMPARE(grab.Bytes(), QByteArray("second"));
        grab.DownloadStart(QString());
        QVERIFY(!grab.Busy());
    }
};

QTEST_GUILESS_MAIN(tst_NetGrab)
#include "tst_NetGrab.moc"
