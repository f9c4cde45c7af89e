#include "CheckVersion.h"
#include "LoopbackHttpServer.h"
#include "RecordingStarter.h"
#include "TestPlatform.h"
#include "fUpgrade.h"

#include <QApplication>
#include <QPushButton>
#include <QTcpServer>
#include <QTimer>
#include <QtTest>

using tavlo::MessageBox;
using tavlo::VersionCheck;
using tavlo::fUpgrade;
using tavlo::test::LoopbackHttpServer;
using tavlo::test::RecordingStarter;
using tavlo::test::TestPlatform;
using Route = LoopbackHttpServer::Route;

Q_DECLARE_METATYPE(Route)

namespace {

const QString versionPath = QStringLiteral("/software/upgrade/tavlo/version.txt");
const QString question = QStringLiteral(
    "A new version of this software is available! \r\n\r\nDo you want to download and install it now?");

Route body(const QByteArray &text, int status = 200)
{
    Route route;
    route.body = text;
    route.status = status;
    return route;
}

QList<fUpgrade *> upgradeWindows()
{
    QList<fUpgrade *> found;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (auto *window = qobject_cast<fUpgrade *>(w))
            found << window;
    }
    return found;
}

} // namespace

class tst_CheckVersion : public QObject {
    Q_OBJECT

private slots:
    void init();
    void runningVersionIsTheProjectVersion();
    void asksOnlyForAnotherRealNumber_data();
    void asksOnlyForAnotherRealNumber();
    void mainWindowAnswersDuringTheFetch();
    void closingTheProgramDuringTheFetchAsksNothing();
    void yesShowsTheUpgradeWindowModally();

private:
    std::unique_ptr<LoopbackHttpServer> server;
    std::unique_ptr<TestPlatform> test;
    RecordingStarter recorder;
};

void tst_CheckVersion::init()
{
    server = std::make_unique<LoopbackHttpServer>();
    QVERIFY(server->start());
    test = std::make_unique<TestPlatform>();
}

void tst_CheckVersion::runningVersionIsTheProjectVersion()
{
    QCOMPARE(tavlo::runningVersionText(), QStringLiteral(TAVLO_EXPECTED_VERSION));
    QVERIFY(!tavlo::builtInUpdateRoot().isEmpty());
}

void tst_CheckVersion::asksOnlyForAnotherRealNumber_data()
{
    const QByteArray running = tavlo::runningVersionText().toLatin1();
    QTest::addColumn<Route>("route");
    QTest::addColumn<bool>("asks");

    QTest::newRow("same version") << body(running) << false;
    QTest::newRow("same version and CR LF") << body(running + "\r\n") << true;
    QTest::newRow("lower version") << body("0.9.9") << true;
    QTest::newRow("higher version") << body("1.0.2") << true;
    QTest::newRow("blanks before") << body("  \t1.0.2") << true;
    QTest::newRow("reads as 0") << body("0.0.5") << false;
    QTest::newRow("empty") << body("") << false;
    QTest::newRow("HTML error page") << body("<html><body>Server error</body></html>") << false;
    QTest::newRow("404 with a numeric body") << body("2.0.0", 404) << false;
    Route silent;
    silent.neverAnswer = true;
    QTest::newRow("server never answers") << silent << false;
    Route unreachable;
    unreachable.status = 0; // the check is pointed at a port nobody listens on
    QTest::newRow("server unreachable") << unreachable << false;
}

void tst_CheckVersion::asksOnlyForAnotherRealNumber()
{
    QFETCH(Route, route);
    QFETCH(bool, asks);
    server->serve(versionPath, route);
    test->messages.answers = {MessageBox::No};

    const bool unreachable = route.status == 0;
    QString root = server->root();
    if (unreachable) {
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
        root = QStringLiteral("http://127.0.0.1:%1").arg(probe.serverPort());
    }

    VersionCheck check(test->platform, nullptr);
    check.setUpdateRoot(root);
    check.setProgramStarter(&recorder);
    check.setTransferTimeout(500);
    check.run();

    QVERIFY(upgradeWindows().isEmpty());
    QVERIFY(!test->ending.ended());
    if (unreachable) {
        QVERIFY(test->messages.shown.isEmpty());
        return;
    }
    QCOMPARE(server->requests(versionPath), 1);
    QVERIFY(server->lastHead(versionPath).toLower().contains("no-cache"));
    QCOMPARE(test->messages.shown.size(), asks ? 1 : 0);
    if (asks) {
        QCOMPARE(test->messages.shown.at(0).text, question);
        QCOMPARE(test->messages.shown.at(0).style, 68);
        QCOMPARE(test->messages.shown.at(0).title, QStringLiteral("TAVLO"));
    }
    // After No (or no question) nothing more goes over the wire, and no window is left.
    QCOMPARE(server->totalRequests(), 1);
}

void tst_CheckVersion::mainWindowAnswersDuringTheFetch()
{
    // Unreachable: a port nobody listens on would fail at once, so the server holds the
    // request until the transfer gives up.
    Route silent;
    silent.neverAnswer = true;
    server->serve(versionPath, silent);

    QWidget mainWindow;
    auto *button = new QPushButton(QStringLiteral("Add"), &mainWindow);
    mainWindow.show();
    QVERIFY(QTest::qWaitForWindowExposed(&mainWindow));
    bool checkRunning = false;
    int clicks = 0;
    bool loaderHidden = false;
    connect(button, &QPushButton::clicked, this, [&] { clicks += checkRunning ? 1 : 0; });
    connect(server.get(), &LoopbackHttpServer::requestReceived, this, [&] {
        const QList<fUpgrade *> windows = upgradeWindows();
        loaderHidden = windows.size() == 1 && !windows.first()->isVisible();
        QTest::mouseClick(button, Qt::LeftButton);
    });

    VersionCheck check(test->platform, &mainWindow);
    check.setUpdateRoot(server->root());
    check.setTransferTimeout(500);
    checkRunning = true;
    check.run();
    checkRunning = false;

    QCOMPARE(clicks, 1);
    QVERIFY(loaderHidden);
    QVERIFY(test->messages.shown.isEmpty());
    QVERIFY(upgradeWindows().isEmpty());
}

void tst_CheckVersion::closingTheProgramDuringTheFetchAsksNothing()
{
    Route slowly = body("9.9.9");
    slowly.pieceSize = 1;
    slowly.pieceDelayMs = 50;
    server->serve(versionPath, slowly);

    auto mainWindow = std::make_unique<QWidget>();
    mainWindow->show();
    connect(server.get(), &LoopbackHttpServer::requestReceived, this, [&] { mainWindow.reset(); });

    VersionCheck check(test->platform, mainWindow.get());
    check.setUpdateRoot(server->root());
    check.run();

    QVERIFY(!mainWindow);
    QVERIFY(test->messages.shown.isEmpty());
    QVERIFY(upgradeWindows().isEmpty());
}

void tst_CheckVersion::yesShowsTheUpgradeWindowModally()
{
    server->serve(versionPath, body("1.0.2"));
    test->messages.answers = {MessageBox::Yes};

    QWidget mainWindow;
    mainWindow.show();
    QVERIFY(QTest::qWaitForWindowExposed(&mainWindow));

    // Looks for the modal window a bounded number of times, then presses its Cancel.
    QString title;
    bool modal = false;
    QWidget *owner = nullptr;
    int looks = 0;
    std::function<void()> look = [&] {
        auto *window = qobject_cast<fUpgrade *>(QApplication::activeModalWidget());
        if (window && window->isVisible()) {
            title = window->windowTitle();
            modal = window->isModal();
            owner = window->parentWidget();
            QTest::mouseClick(window->Command2, Qt::LeftButton);
            return;
        }
        if (++looks < 200)
            QTimer::singleShot(20, this, look);
        else if (QWidget *other = QApplication::activeModalWidget())
            other->close();
    };
    QTimer::singleShot(0, this, look);

    VersionCheck check(test->platform, &mainWindow);
    check.setUpdateRoot(server->root());
    check.setProgramStarter(&recorder);
    check.run();

    QCOMPARE(test->messages.shown.size(), 1);
    QCOMPARE(title, QStringLiteral("Download New Version"));
    QVERIFY(modal);
    QCOMPARE(owner, &mainWindow);
    QCOMPARE(server->totalRequests(), 1); // cancelled before Start: nothing downloaded
    QVERIFY(QDir(test->dir.path()).isEmpty());
    QVERIFY(upgradeWindows().isEmpty());
}

QTEST_MAIN(tst_CheckVersion)
#include "tst_CheckVersion.moc"
