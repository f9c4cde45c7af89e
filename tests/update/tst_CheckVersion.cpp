#include "CheckVersion.h"
#include "LoopbackHttpServer.h"
#include "TestPlatform.h"
#include "fUpgrade.h"

#include <QApplication>
#include <QPushButton>
#include <QtTest>

using tavlo::VersionCheck;
using tavlo::fUpgrade;
using Route = tavlo::test::LoopbackHttpServer::Route;
Q_DECLARE_METATYPE(Route)

namespace {

const QString versionPath = QStringLiteral("/software/upgrade/tavlo/version.txt");

int upgradeWindows()
{
    int found = 0;
    for (QWidget *w : QApplication::topLevelWidgets())
        found += qobject_cast<fUpgrade *>(w) ? 1 : 0;
    return found;
}

} // namespace

class tst_CheckVersion : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        server = std::make_unique<tavlo::test::LoopbackHttpServer>();
        QVERIFY(server->start());
        test = std::make_unique<tavlo::test::TestPlatform>();
    }
    void asksOnlyForAnotherRealNumber_data();
    void asksOnlyForAnotherRealNumber();
    void mainWindowAnswersDuringTheFetch();
    void yesShowsTheUpgradeWindowModally();

private:
    void run(QWidget *mainWindow, const QString &root = {})
    {
        VersionCheck check(test->platform, mainWindow);
        check.setUpdateRoot(root.isEmpty() ? server->root() : root);
        check.setTransferTimeout(500);
        check.run();
    }

    std::unique_ptr<tavlo::test::LoopbackHttpServer> server;
    std::unique_ptr<tavlo::test::TestPlatform> test;
};

void tst_CheckVersion::asksOnlyForAnotherRealNumber_data()
{
    // The built-in running version is the project's.
    QCOMPARE(tavlo::runningVersionText(), QStringLiteral(TAVLO_EXPECTED_VERSION));
    const QByteArray running = TAVLO_EXPECTED_VERSION;
    QTest::addColumn<Route>("route");
    QTest::addColumn<bool>("asks");
    QTest::newRow("same version") << Route(200, running) << false;
    QTest::newRow("same version and CR LF") << Route(200, running + "\r\n") << true;
    QTest::newRow("lower version") << Route(200, "0.9.9") << true;
    QTest::newRow("blanks before") << Route(200, "  \t1.0.2") << true;
    QTest::newRow("reads as 0") << Route(200, "0.0.5") << false;
    QTest::newRow("HTML error page") << Route(200, "<html><body>Server error</body></html>") << false;
    QTest::newRow("404 with a numeric body") << Route(404, "2.0.0") << false;
    QTest::newRow("never answers") << Route().silent() << false;
    QTest::newRow("unreachable") << Route(0) << false;
}

void tst_CheckVersion::asksOnlyForAnotherRealNumber()
{
    QFETCH(Route, route);
    QFETCH(bool, asks);
    server->serve(versionPath, route);
    test->messages.answers = {tavlo::MessageBox::No};
    QString root;
    if (route.status == 0) { // a port nobody listens on
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
        root = QStringLiteral("http://127.0.0.1:%1").arg(probe.serverPort());
    }

    run(nullptr, root);

    QCOMPARE(test->messages.shown.size(), asks ? 1 : 0);
    if (asks) {
        QCOMPARE(test->messages.shown.at(0).text,
                 QStringLiteral("A new version of this software is available! \r\n\r\n"
                                "Do you want to download and install it now?"));
        QCOMPARE(test->messages.shown.at(0).style, 68);
        QCOMPARE(test->messages.shown.at(0).title, QStringLiteral("TAVLO"));
    }
    // One fresh fetch, nothing more after No, and the borrowed window is gone.
    QCOMPARE(server->totalRequests(), route.status == 0 ? 0 : 1);
    QCOMPARE(upgradeWindows(), 0);
    QVERIFY(!test->ending.ended());
}

void tst_CheckVersion::mainWindowAnswersDuringTheFetch()
{
    server->serve(versionPath, Route(200, "9.9.9").inPieces(1));
    test->messages.answers = {tavlo::MessageBox::No};
    QWidget mainWindow;
    auto *button = new QPushButton(&mainWindow);
    mainWindow.show();
    bool loaderHidden = false;
    int clicks = 0;
    connect(button, &QPushButton::clicked, this, [&] { ++clicks; });
    connect(server.get(), &tavlo::test::LoopbackHttpServer::requestReceived, this, [&] {
        loaderHidden = upgradeWindows() == 1 && !QApplication::activeModalWidget();
        QTest::mouseClick(button, Qt::LeftButton);
        mainWindow.close(); // the operator quits while the number is on its way
    });

    run(&mainWindow);

    QCOMPARE(clicks, 1);
    QVERIFY(loaderHidden);
    QVERIFY(test->messages.shown.isEmpty()); // nothing left to upgrade
    QCOMPARE(upgradeWindows(), 0);
}

void tst_CheckVersion::yesShowsTheUpgradeWindowModally()
{
    server->serve(versionPath, QByteArray("1.0.2"));
    test->messages.answers = {tavlo::MessageBox::Yes};
    QWidget mainWindow;
    mainWindow.show();
    QWidget *owner = nullptr;
    int looks = 0;
    std::function<void()> look = [&] {
        if (auto *window = qobject_cast<fUpgrade *>(QApplication::activeModalWidget())) {
            owner = window->parentWidget();
            QTest::mouseClick(window->Command2, Qt::LeftButton);
        } else if (++looks < 200) {
            QTimer::singleShot(20, this, look);
        } else if (QWidget *other = QApplication::activeModalWidget()) {
            other->close();
        }
    };
    QTimer::singleShot(0, this, look);

    run(&mainWindow);

    QCOMPARE(owner, &mainWindow);
    QCOMPARE(server->totalRequests(), 1); // cancelled before Start
    QVERIFY(QDir(test->dir.path()).isEmpty());
}

QTEST_MAIN(tst_CheckVersion)
#include "tst_CheckVersion.moc"
