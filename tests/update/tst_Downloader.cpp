#include "FullFileSystem.h"
#include "LoopbackHttpServer.h"
#include "TestPlatform.h"
#include "update/Downloader.h"

#include <QNetworkReply>
#include <QSignalSpy>
#include <QTest>

using tavlo::Downloader;
using tavlo::test::Route;

// route: for /file; address: empty: /file; errNum: 0: success, -1: any failure
struct TransferRow { Route route; QString address; int errNum; };

class tst_Downloader : public QObject {
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
        QTest::addColumn<TransferRow>("row");
        const Route slow{.body = everyByte(), .pieceSize = 500};
        QTest::newRow("with length") << TransferRow{slow, {}, 0};
        QTest::newRow("without length") << TransferRow{Route{.body = slow.body, .withLength = false, .pieceSize = 500}, {}, 0};
        QTest::newRow("redirect") << TransferRow{Route{.status = 302, .location = "/real"}, {}, 0};
        QTest::newRow("404") << TransferRow{Route{.status = 404, .body = "<html/>"}, {}, int(QNetworkReply::ContentNotFoundError)};
        QTest::newRow("endless 404 page")
            << TransferRow{Route{.status = 404, .body = QByteArray(8192, '<'), .endless = true}, {},
                           int(QNetworkReply::ContentNotFoundError)};
        QTest::newRow("broken off") << TransferRow{Route{.body = slow.body, .pieceSize = 500, .cutAfter = 1500}, {}, -1};
        QTest::newRow("length announces more than arrives")
            << TransferRow{Route{.body = slow.body, .pieceSize = 500, .announcedLength = 4000}, {}, -1};
        QTest::newRow("length a little beyond the limit")
            << TransferRow{Route{.body = QByteArray(150000, 'x')}, {}, int(QNetworkReply::UnknownContentError)};
        QTest::newRow("length beyond the limit")
            << TransferRow{Route{.body = slow.body, .announcedLength = 1 << 30}, {}, int(QNetworkReply::UnknownContentError)};
        QTest::newRow("endless body")
            << TransferRow{Route{.body = QByteArray(4096, 'x'), .withLength = false, .pieceInterval = 5, .endless = true}, {},
                           int(QNetworkReply::UnknownContentError)};
        QTest::newRow("never answers") << TransferRow{Route{.silent = true}, {}, int(QNetworkReply::TimeoutError)};
        // Each byte comes before the stall timeout; only the deadline ends it.
        QTest::newRow("one byte a second")
            << TransferRow{Route{.body = slow.body, .pieceSize = 1, .pieceInterval = 1000}, {}, int(QNetworkReply::TimeoutError)};
        QTest::newRow("not http")
            << TransferRow{Route(), QStringLiteral("file:///etc/hostname"), int(QNetworkReply::ProtocolUnknownError)};
    }

    void transfer()
    {
        QFETCH(TransferRow, row);
        const auto &[route, address, errNum] = row;
        tavlo::test::LoopbackHttpServer server;
        server.routes.insert(QStringLiteral("/file"), route);
        server.routes.insert(QStringLiteral("/real"), Route{.body = everyByte(), .pieceSize = 500});
        tavlo::test::TestPlatform folder;
        const QByteArray old(5000, 'o'); // longer than the download
        folder.writeFile(QStringLiteral("TAVLO.upg"), old);

        Downloader grab;
        QVERIFY(!grab.saveAs(folder.path(QStringLiteral("TAVLO.upg")))); // nothing received yet
        grab.setSizeLimit(100000);
        grab.setStallTimeout(1500);
        grab.setDeadline(3000);
        quint32 now = 0xFFFFFF00u; // the tick wraps during the read
        grab.setTickSource([&now] { return now; });
        QSignalSpy complete(&grab, &Downloader::completed);
        QSignalSpy failed(&grab, &Downloader::failed);
        QSignalSpy progress(&grab, &Downloader::progress);
        QSet<const char *> buffers;
        connect(&grab, &Downloader::progress, this, [&](qint64 n) {
            QVERIFY(grab.duration() == 0 && grab.data().size() == n);
            buffers << grab.data().constData();
            QVERIFY(errNum != 0 || grab.data() == everyByte().left(n)); // never an error page
        });

        grab.start(address.isEmpty() ? server.root() + QStringLiteral("/file") : address, Downloader::FreshFromServer);
        // Every end of a read, a refusal too, comes from the event loop.
        QVERIFY(grab.isBusy() && grab.duration() == 0);
        now = 0x100;
        QTRY_VERIFY_WITH_TIMEOUT(!grab.isBusy(), 5000); // the deadline and a margin
        QCOMPARE(grab.duration(), 0x200);
        QCOMPARE(complete.count() + failed.count(), 1);
        QCOMPARE(failed.count(), errNum == 0 ? 0 : 1);
        QVERIFY(errNum <= 0 || failed.at(0).at(0).toInt() == errNum);
        QVERIFY(grab.peakBufferSize() <= 100001);
        QCOMPARE(grab.saveAs(folder.path(QStringLiteral("TAVLO.upg"))), errNum == 0);
        QCOMPARE(folder.readFile(QStringLiteral("TAVLO.upg")), errNum == 0 ? everyByte() : old);
        if (errNum != 0)
            return;
        // A full disk or a file that may not grow is a failed save: no empty or partial file
        // passes for the program.
        tavlo::test::FullFileSystem disk;
        if (disk.isMounted()) {
            disk.fill();
            QVERIFY(!grab.saveAs(disk.path(QStringLiteral("TAVLO.upg"))));
            QVERIFY(!QFileInfo::exists(disk.path(QStringLiteral("TAVLO.upg"))));
        }
        const QString limited = folder.path(QStringLiteral("limited.upg"));
        QCOMPARE(tavlo::test::runWithFileSizeLimit(1000, [&] { return grab.saveAs(limited) ? 1 : 0; }), 0);
        QVERIFY(!QFileInfo::exists(limited));
        QVERIFY(server.lastHead.toLower().contains("cache-control: no-cache") && progress.count() >= 2);
        // Without a length the total reads 0; with one, the buffer is allocated once.
        QCOMPARE(progress.first().at(1).toLongLong(), route.withLength ? everyByte().size() : 0);
        QVERIFY(!route.withLength || buffers.size() == 1);
    }

    void startWhileBusyReplacesTheRead()
    {
        tavlo::test::LoopbackHttpServer server;
        server.routes.insert(QStringLiteral("/silent"), Route{.silent = true});
        server.routes.insert(QStringLiteral("/slow"), Route{.body = everyByte(), .pieceSize = 500});
        server.routes.insert(QStringLiteral("/b"), Route{.body = "second"});
        Downloader grab;
        QSignalSpy complete(&grab, &Downloader::completed);
        QSignalSpy failed(&grab, &Downloader::failed);
        // Mid-body, from the owner's handler: nothing of the dropped read may reach the next one.
        connect(&grab, &Downloader::progress, this, [&] {
            if (!server.asked.contains(QStringLiteral("/b")))
                grab.start(server.root() + QStringLiteral("/b"));
        });
        grab.start(server.root() + QStringLiteral("/silent"));
        QTRY_VERIFY(server.asked.contains(QStringLiteral("/silent")));
        grab.start(server.root() + QStringLiteral("/slow"));
        grab.start(QString()); // an empty address leaves the running read alone
        QTRY_VERIFY_WITH_TIMEOUT(!grab.isBusy(), 10000);
        QCOMPARE(server.asked.size(), 3);
        QCOMPARE(failed.count() + complete.count(), 1);
        QCOMPARE(grab.data(), QByteArray("second"));
    }
};

QTEST_GUILESS_MAIN(tst_Downloader)
#include "tst_Downloader.moc"
