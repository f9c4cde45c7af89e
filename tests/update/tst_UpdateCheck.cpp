#include "LoopbackHttpServer.h"
#include "update/Downloader.h"
#include "update/UpdateCheck.h"

#include <QSignalSpy>
#include <QTest>

using tavlo::UpdateCheck;
using tavlo::test::Route;

// Any well-formed key: the check only needs to know the build has one.
const QByteArray someKey = "RWS70+YTu0ID5TPY0OwyKhzdbmKdHoxisOmRxBWgBFlqAC2HBYjME6pY";

// served: status 0: nobody listens; offered: null: nothing is offered
struct VersionRow { Route served; QByteArray key; QString offered; };

class tst_UpdateCheck : public QObject {
    Q_OBJECT

private slots:
    void offersAnyOtherRealVersion_data()
    {
        QCOMPARE(tavlo::runningVersionText(), QStringLiteral(TAVLO_EXPECTED_VERSION));
        QTest::addColumn<VersionRow>("row");
        const QString none;
        auto text = [](const QByteArray &body) { return Route{.body = body}; };
        QTest::newRow("same version") << VersionRow{text(TAVLO_EXPECTED_VERSION), someKey, none};
        QTest::newRow("same version, CR LF and blanks") << VersionRow{text(TAVLO_EXPECTED_VERSION " \t\r\n\n"), someKey, none};
        QTest::newRow("newer, line break") << VersionRow{text("1.0.2\n"), someKey, QStringLiteral("1.0.2")};
        QTest::newRow("lower version") << VersionRow{text("0.9.9"), someKey, QStringLiteral("0.9.9")};
        QTest::newRow("blanks before") << VersionRow{text("  \t1.0.2"), someKey, QStringLiteral("  \t1.0.2")};
        QTest::newRow("other text after")
            << VersionRow{text(TAVLO_EXPECTED_VERSION "b"), someKey, QStringLiteral(TAVLO_EXPECTED_VERSION "b")};
        QTest::newRow("reads as 0") << VersionRow{text("0.0.5"), someKey, none};
        QTest::newRow("HTML page") << VersionRow{text("<html><body>1.0.2</body></html>"), someKey, none};
        QTest::newRow("64 bytes")
            << VersionRow{text("1.0.2" + QByteArray(59, 'x')), someKey, QStringLiteral("1.0.2") + QString(59, QLatin1Char('x'))};
        QTest::newRow("65 bytes") << VersionRow{text("1.0.2" + QByteArray(60, 'x')), someKey, none};
        QTest::newRow("65 bytes, no length said")
            << VersionRow{Route{.body = "1.0.2" + QByteArray(60, 'x'), .withLength = false}, someKey, none};
        QTest::newRow("endless")
            << VersionRow{Route{.body = "1.0.2\n", .withLength = false, .pieceInterval = 5, .endless = true}, someKey, none};
        QTest::newRow("one byte a second") << VersionRow{Route{.body = "1.0.2", .pieceSize = 1, .pieceInterval = 1000}, someKey, none};
        QTest::newRow("unreachable") << VersionRow{Route{.status = 0}, someKey, none};
        QTest::newRow("build without a key") << VersionRow{text("1.0.2"), {}, none};
        QTest::newRow("build with a broken key") << VersionRow{text("1.0.2"), QByteArray("RWS70+YTu0"), none};
        const QByteArray raw = QByteArray::fromBase64(someKey);
        QTest::newRow("build with a key of another kind") << VersionRow{text("1.0.2"), ("Ex" + raw.mid(2)).toBase64(), none};
        QTest::newRow("build with a key too long") << VersionRow{text("1.0.2"), (raw + 'k').toBase64(), none};
    }

    void offersAnyOtherRealVersion()
    {
        QFETCH(VersionRow, row);
        const auto &[served, key, offered] = row;
        tavlo::test::LoopbackHttpServer server;
        server.routes.insert(QStringLiteral("/software/upgrade/tavlo/version.txt"), served);
        tavlo::UpdateSettings settings;
        // A server gone at once leaves a port nobody listens on.
        settings.updateRoot = served.status == 0 ? tavlo::test::LoopbackHttpServer().root() : server.root();
        settings.publicKey = key;
        settings.runningVersion = tavlo::runningVersionText();
        settings.stallTimeout = 1500;
        settings.deadline = 2500;
        UpdateCheck check(settings);
        QSignalSpy available(&check, &UpdateCheck::newVersionAvailable);
        QSignalSpy finished(&check, &UpdateCheck::finished);

        const bool runs = check.start();
        QCOMPARE(runs, key == someKey);
        if (!runs) {
            QTest::qWait(200);
            QVERIFY(server.asked.isEmpty() && finished.isEmpty());
            return;
        }
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 4000);
        QCOMPARE(available.count(), offered.isNull() ? 0 : 1);
        QCOMPARE(available.value(0).value(0).toString(), offered);
        QVERIFY(check.downloader()->peakBufferSize() <= tavlo::UpdateSettings::versionFileLimit + 1);
        QVERIFY(!check.isRunning());
    }
};

QTEST_GUILESS_MAIN(tst_UpdateCheck)
#include "tst_UpdateCheck.moc"
