#include "update/CheckVersion.h"
#include "LoopbackHttpServer.h"
#include "TestPlatform.h"
#include "update/fUpgrade.h"

#include <QApplication>
#include <QPushButton>
#include <QtTest>

class tst_CheckVersion : public QObject {
    Q_OBJECT

private slots:
    void offersOnlyAnotherRealNumber_data()
    {
        QCOMPARE(tavlo::runningVersionText(), QStringLiteral(TAVLO_EXPECTED_VERSION));
        QTest::addColumn<QByteArray>("served");      // null: nobody listens
        QTest::addColumn<bool>("closeMainWindow");   // while the number is on its way
        QTest::addColumn<bool>("asks");
        QTest::newRow("same version") << QByteArray(TAVLO_EXPECTED_VERSION) << false << false;
        QTest::newRow("same version and CR LF") << QByteArray(TAVLO_EXPECTED_VERSION "\r\n") << false << true;
        QTest::newRow("lower version") << QByteArray("0.9.9") << false << true;
        QTest::newRow("blanks before") << QByteArray("  \t1.0.2") << false << true;
        QTest::newRow("reads as 0") << QByteArray("0.0.5") << false << false;
        QTest::newRow("HTML error page") << QByteArray("<html><body>Server error</body></html>") << false << false;
        QTest::newRow("unreachable") << QByteArray() << false << false;
        QTest::newRow("main window closed") << QByteArray("9.9.9") << true << false;
    }

    void offersOnlyAnotherRealNumber()
    {
        QFETCH(QByteArray, served);
        QFETCH(bool, closeMainWindow);
        QFETCH(bool, asks);
        tavlo::test::TestPlatform test;
        QWidget mainWindow;
        mainWindow.show();
        tavlo::test::LoopbackHttpServer server;
        server.routes.insert(QStringLiteral("/software/upgrade/tavlo/version.txt"), {.body = served});
        // A server gone at once leaves a port nobody listens on.
        const QString root = served.isNull() ? tavlo::test::LoopbackHttpServer().root() : server.root();
        auto upgradeWindows = [] {
            const QWidgetList all = QApplication::topLevelWidgets();
            return std::count_if(all.begin(), all.end(), [](QWidget *w) { return qobject_cast<tavlo::fUpgrade *>(w); });
        };
        bool loaderModal = false;
        server.onRequest = [&] {
            loaderModal = upgradeWindows() != 1 || QApplication::activeModalWidget();
            if (closeMainWindow)
                mainWindow.close();
        };
        // Yes to the question; the upgrade window that follows is cancelled before Start.
        QWidget *owner = nullptr;
        QTimer look;
        connect(&look, &QTimer::timeout, this, [&] {
            if (auto *window = qobject_cast<tavlo::fUpgrade *>(QApplication::activeModalWidget())) {
                owner = window->parentWidget();
                QTest::mouseClick(window->Command2, Qt::LeftButton);
            }
        });
        look.start(20);

        tavlo::VersionCheck check(test.platform, &mainWindow);
        check.setUpdateRoot(root);
        check.setTransferTimeout(500);
        check.run();

        QCOMPARE(test.messages.shown.size(), asks ? 1 : 0);
        QCOMPARE(owner == &mainWindow, asks);
        QVERIFY(!loaderModal);
        // One fetch, nothing written, nothing left behind.
        QCOMPARE(server.asked.size(), served.isNull() ? 0 : 1);
        QVERIFY(QDir(test.dir.path()).isEmpty());
        QVERIFY(upgradeWindows() == 0 && !QApplication::activeModalWidget() && !test.ending.ended());
    }
};

QTEST_MAIN(tst_CheckVersion)
#include "tst_CheckVersion.moc"
