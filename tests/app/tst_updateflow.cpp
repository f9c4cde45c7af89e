#include "LoopbackHttpServer.h"
#include "TestPlatform.h"
#include "app/Console.h"
#include "app/UpdateFlow.h"
#include "console/MainWindow.h"
#include "update/UpgradeDialog.h"

#include <QElapsedTimer>
#include <QPushButton>
#include <QTest>

using tavlo::test::Route;

const QString versionPath = QStringLiteral("/software/upgrade/tavlo/version.txt");
const QByteArray anyKey = "RWS70+YTu0ID5TPY0OwyKhzdbmKdHoxisOmRxBWgBFlqAC2HBYjME6pY";

class TestUpdateFlow : public QObject {
    Q_OBJECT

    std::unique_ptr<tavlo::test::TestPlatform> test;
    tavlo::test::LoopbackHttpServer server;
    tavlo::UpdateSettings settings;

private slots:
    void init()
    {
        test = std::make_unique<tavlo::test::TestPlatform>();
        server.asked.clear();
        server.onRequest = [] {};
        settings.updateRoot = server.root();
        settings.publicKey = anyKey;
        settings.runningVersion = QStringLiteral("1.0.0");
    }

    // The real start-up sequence, online, with a version file that comes a byte a second.
    void closingDuringASlowCheckEndsTheProgram()
    {
        test->addEmptyDatabase();
        test->addDisplayFiles();
        test->connectivity.online = true;
        server.routes.insert(versionPath, Route{.body = "1.0.2", .pieceSize = 1, .pieceInterval = 1000});
        settings.deadline = settings.stallTimeout = 120000; // only the close can end it
        QPointer<tavlo::MainWindow> window;
        server.onRequest = [&] { QTimer::singleShot(100, window, &QWidget::close); };
        // A program that outlives its window fails here, not at the suite's time-out.
        QTimer watchdog;
        connect(&watchdog, &QTimer::timeout, qApp, &QCoreApplication::quit);
        watchdog.start(5000);
        QElapsedTimer clock;
        clock.start();
        tavlo::runConsole(test->platform, [&](tavlo::MainWindow &form) {
            window = &form;
            tavlo::startUpdateFlow(test->platform, form, settings);
        });
        QVERIFY2(clock.elapsed() < 4000, "the program stayed alive after its window closed");
        QCOMPARE(server.asked, QStringList{versionPath});
        QCOMPARE(test->messages.count(QStringLiteral("A new version of this software is available! \r\n\r\n"
                                                     "Do you want to download and install it now?")),
                 0);
    }

    void askThenShowTheUpgradeWindow_data()
    {
        QTest::addColumn<tavlo::MessageBox::Answer>("answer");
        QTest::newRow("Yes") << tavlo::MessageBox::Answer::Yes;
        QTest::newRow("No") << tavlo::MessageBox::Answer::No;
    }

    void askThenShowTheUpgradeWindow()
    {
        QFETCH(tavlo::MessageBox::Answer, answer);
        server.routes.insert(versionPath, Route{.body = "1.0.2\r\n"});
        test->messages.answers = {answer};
        QWidget mainWindow;
        mainWindow.show();
        tavlo::UpdateFlow *flow = tavlo::startUpdateFlow(test->platform, mainWindow, settings);
        QVERIFY(flow);
        QTRY_COMPARE(test->messages.shown.size(), 1);
        QCOMPARE(test->messages.shown[0].text, QStringLiteral("A new version of this software is available! \r\n\r\n"
                                                              "Do you want to download and install it now?"));
        QCOMPARE(test->messages.shown[0].icon, tavlo::MessageBox::Icon::Information);
        QCOMPARE(test->messages.shown[0].buttons, tavlo::MessageBox::Buttons::YesNo);
        QCOMPARE(test->messages.shown[0].title, QStringLiteral("TAVLO"));
        if (answer == tavlo::MessageBox::Answer::No) {
            QTest::qWait(100);
            QVERIFY(!flow->dialog() && server.asked.size() == 1);
            return;
        }
        // Shown over the main window without a loop of its own, and gone once cancelled.
        QTRY_VERIFY(flow->dialog() && flow->dialog()->isVisible());
        QCOMPARE(flow->dialog()->parentWidget(), &mainWindow);
        QCOMPARE(flow->dialog()->windowModality(), Qt::ApplicationModal);
        QTest::mouseClick(flow->dialog()->cancelButton(), Qt::LeftButton);
        QTRY_VERIFY(!flow->dialog());
    }
};

QTEST_MAIN(TestUpdateFlow)
#include "tst_updateflow.moc"
