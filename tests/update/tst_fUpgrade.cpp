#include "LoopbackHttpServer.h"
#include "NetGrab.h"
#include "RecordingStarter.h"
#include "TestPlatform.h"
#include "TextFile.h"
#include "XP_ProgressBar.h"
#include "fUpgrade.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

using tavlo::MessageBox;
using tavlo::NetGrab;
using tavlo::fUpgrade;
using tavlo::test::LoopbackHttpServer;
using tavlo::test::RecordingStarter;
using tavlo::test::TestPlatform;
using Route = LoopbackHttpServer::Route;

namespace {

constexpr int waitMs = 10000;
const QString cancelledText = QStringLiteral("Download cancelled!\r\n\r\nUpgrade to new version was not completed.");
const QString badFileText =
    QStringLiteral("New version file did not download correctly!\r\nUpgrade was not completed, please try again later.");
const QString exePath = QStringLiteral("/software/upgrade/tavlo/TAVLO.exe");
const QString bootPath = QStringLiteral("/software/upgrade/tavlo/bootstrap.exe");

QByteArray newProgram()
{
    QByteArray bytes;
    for (int i = 0; i < 6000; ++i)
        bytes += char(i * 7);
    return bytes;
}

// The served bootstrap program: it leaves proof that it ran and what the note told it.
const QByteArray bootstrapScript = "#!/bin/sh\n"
                                   "here=$(dirname \"$0\")\n"
                                   "cp \"$here/target\" \"$here/bootstrap-saw-target\"\n"
                                   "[ -f \"$here/TAVLO.upg\" ] && echo ran > \"$here/bootstrap-ran\"\n";

Route slow(const QByteArray &body)
{
    Route route;
    route.body = body;
    route.pieceSize = 1000;
    route.pieceDelayMs = 30;
    return route;
}

enum class CancelBy { Button, FrameClose, Escape };

void cancelBy(fUpgrade &window, CancelBy how)
{
    switch (how) {
    case CancelBy::Button:
        QTest::mouseClick(window.Command2, Qt::LeftButton);
        break;
    case CancelBy::FrameClose:
        window.close();
        break;
    case CancelBy::Escape:
        QTest::keyClick(&window, Qt::Key_Escape);
        break;
    }
}

} // namespace

Q_DECLARE_METATYPE(Route)
Q_DECLARE_METATYPE(CancelBy)

class tst_fUpgrade : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void loadsReadyToStart();
    void sizeCaption_data();
    void sizeCaption();
    void progressMovesBarAndCaption();
    void stringDownload();
    void cancelBeforeStartWritesNothing_data();
    void cancelBeforeStartWritesNothing();
    void successfulUpgradeHandsOverAndEnds();
    void secondDownloadFailing_data();
    void secondDownloadFailing();
    void cancelDuringDownload_data();
    void cancelDuringDownload();
    void unsavableFileIsReported();
    void bootstrapThatCannotStartKeepsProgramRunning();

private:
    std::unique_ptr<fUpgrade> makeWindow();

    std::unique_ptr<LoopbackHttpServer> server;
    std::unique_ptr<TestPlatform> test;
    std::unique_ptr<RecordingStarter> recorder;
};

void tst_fUpgrade::init()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    server = std::make_unique<LoopbackHttpServer>();
    QVERIFY(server->start());
    test = std::make_unique<TestPlatform>();
    recorder = std::make_unique<RecordingStarter>();
}

void tst_fUpgrade::cleanup()
{
    test.reset();
    server.reset();
}

std::unique_ptr<fUpgrade> tst_fUpgrade::makeWindow()
{
    auto window = std::make_unique<fUpgrade>(test->platform, server->root() + QStringLiteral("/"), recorder.get());
    window->NetGrab1->setTransferTimeout(1000);
    return window;
}

void tst_fUpgrade::loadsReadyToStart()
{
    auto window = makeWindow();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));

    QCOMPARE(window->windowTitle(), QStringLiteral("Download New Version"));
    QCOMPARE(window->updateFolder(), server->root() + QStringLiteral("/software/upgrade/tavlo/"));
    QCOMPARE(window->Frame4->title(), QStringLiteral("Progress"));
    QCOMPARE(window->lblFiles->text(), QString());
    QCOMPARE(window->lblSize->text(), QString());
    QVERIFY(window->lblMessage->isVisible());
    QCOMPARE(window->lblMessage->text(), QStringLiteral("Click Start to commence the upgrade"));
    QVERIFY(window->Command1->isEnabled());
    QVERIFY(window->Command1->hasFocus());
    QCOMPARE(window->XP_ProgressBar1->Max(), 100);
    QCOMPARE(window->XP_ProgressBar1->Value(), 0);
    QCOMPARE(window->XP_ProgressBar1->Color(), tavlo::RGB(44, 132, 190));
    QCOMPARE(window->XP_ProgressBar1->Scrolling(), int(tavlo::XP_ProgressBar::Smooth));
    QCOMPARE(window->size(), QSize(298, 152));
    QCOMPARE(server->totalRequests(), 0);
}

void tst_fUpgrade::sizeCaption_data()
{
    QTest::addColumn<int>("nBytes");
    QTest::addColumn<int>("nTotalBytes");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("percent");

    QTest::newRow("half") << 1234567 << 2469134 << QStringLiteral("1,205 kb - 50%") << 50;
    QTest::newRow("rounded down") << 2047 << 2048 << QStringLiteral("1 kb - 99%") << 99;
    QTest::newRow("below 1024 bytes") << 1023 << 4096 << QStringLiteral(" kb - 24%") << 24;
    QTest::newRow("more than announced") << 5000 << 2048 << QStringLiteral("4 kb - 100%") << 100;
    QTest::newRow("millions of kb") << 2000000000 << 2000000000 << QStringLiteral("1,953,125 kb - 100%") << 100;
    QTest::newRow("total unknown") << 1234567 << 0 << QStringLiteral("1,205 kb") << -1;
    QTest::newRow("nothing yet, total unknown") << 10 << 0 << QStringLiteral(" kb") << -1;
}

void tst_fUpgrade::sizeCaption()
{
    QFETCH(int, nBytes);
    QFETCH(int, nTotalBytes);
    QFETCH(QString, caption);
    QFETCH(int, percent);
    int shown = -2;
    QCOMPARE(fUpgrade::sizeCaption(nBytes, nTotalBytes, &shown), caption);
    QCOMPARE(shown, percent);
}

void tst_fUpgrade::progressMovesBarAndCaption()
{
    auto window = makeWindow();
    window->show();
    emit window->NetGrab1->DownloadProgress(1234567, 2469134);
    QCOMPARE(window->XP_ProgressBar1->Value(), 50);
    QCOMPARE(window->lblSize->text(), QStringLiteral("1,205 kb - 50%"));

    // No total announced: the size alone, and the bar stays where it was.
    emit window->NetGrab1->DownloadProgress(4096, 0);
    QCOMPARE(window->XP_ProgressBar1->Value(), 50);
    QCOMPARE(window->lblSize->text(), QStringLiteral("4 kb"));

    emit window->NetGrab1->DownloadProgress(9000, 4096);
    QCOMPARE(window->XP_ProgressBar1->Value(), 100);
    // The caption keeps its right edge at the frame's, so it stays inside the window.
    QCOMPARE(window->lblSize->geometry().right() + 1, 289);
}

void tst_fUpgrade::stringDownload()
{
    server->serveBody(QStringLiteral("/software/upgrade/tavlo/version.txt"), "1.2.3\r\n");
    auto window = makeWindow();
    const QString url = window->updateFolder() + QStringLiteral("version.txt");
    QCOMPARE(window->StringDownload(url), QStringLiteral("1.2.3\r\n"));
    QVERIFY(server->lastHead(QStringLiteral("/software/upgrade/tavlo/version.txt")).toLower().contains("no-cache"));
    // A failure after a success gives "", not the earlier text.
    QCOMPARE(window->StringDownload(window->updateFolder() + QStringLiteral("missing.txt")), QString());
    QCOMPARE(window->StringDownload(QStringLiteral("http://")), QString());
    QVERIFY(!window->isVisible());
    QVERIFY(test->messages.shown.isEmpty());
}

void tst_fUpgrade::cancelBeforeStartWritesNothing_data()
{
    QTest::addColumn<CancelBy>("how");
    QTest::newRow("Cancel button") << CancelBy::Button;
    QTest::newRow("frame close button") << CancelBy::FrameClose;
    QTest::newRow("Escape") << CancelBy::Escape;
}

void tst_fUpgrade::cancelBeforeStartWritesNothing()
{
    QFETCH(CancelBy, how);
    server->serveBody(exePath, newProgram());
    auto window = makeWindow();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));

    cancelBy(*window, how);

    QVERIFY(!window->isVisible());
    QCOMPARE(server->totalRequests(), 0);
    QVERIFY(QDir(test->dir.path()).isEmpty());
    QVERIFY(test->messages.shown.isEmpty());
    QVERIFY(!test->ending.ended());
}

void tst_fUpgrade::successfulUpgradeHandsOverAndEnds()
{
    server->serve(exePath, slow(newProgram()));
    server->serveBody(bootPath, bootstrapScript);
    // Leftovers of an earlier attempt are replaced.
    test->writeFile(QStringLiteral("TAVLO.upg"), "old program");
    test->writeFile(QStringLiteral("bootstrap.exe"), "old bootstrap");
    test->writeFile(QStringLiteral("target"), "elsewhere\r\n");

    auto window = makeWindow();
    window->show();
    QSignalSpy progress(window->NetGrab1, &NetGrab::DownloadProgress);
    QTest::mouseClick(window->Command1, Qt::LeftButton);

    QVERIFY(test->messages.shown.isEmpty());
    QCOMPARE(test->ending.calls, 1);
    QCOMPARE(test->ending.lastCode, 0);
    QVERIFY(!window->Command1->isEnabled());
    QVERIFY(!window->lblMessage->isVisible());
    QCOMPARE(window->lblFiles->text(), QStringLiteral("2 of 2"));
    QVERIFY(progress.count() >= 2);

    QCOMPARE(test->readFile(QStringLiteral("TAVLO.upg")), newProgram());
    QCOMPARE(test->readFile(QStringLiteral("bootstrap.exe")), bootstrapScript);
    QVERIFY(QFileInfo(test->path(QStringLiteral("bootstrap.exe"))).isExecutable());
    const QByteArray note = tavlo::encodeSystemText(test->platform.programFolder + QStringLiteral("\r\n"));
    QCOMPARE(test->readFile(QStringLiteral("target")), note);
    QCOMPARE(server->requests(exePath), 1);
    QCOMPARE(server->requests(bootPath), 1);

    QCOMPARE(recorder->programs, QStringList{test->path(QStringLiteral("bootstrap.exe"))});
    QCOMPARE(recorder->folders, QStringList{test->platform.programFolder});
    QTRY_COMPARE_WITH_TIMEOUT(test->readFile(QStringLiteral("bootstrap-ran")), QByteArray("ran\n"), waitMs);
    QCOMPARE(test->readFile(QStringLiteral("bootstrap-saw-target")), note);
}

void tst_fUpgrade::secondDownloadFailing_data()
{
    QTest::addColumn<Route>("bootstrap");
    Route missing;
    missing.status = 404;
    missing.body = "<html>Not Found</html>";
    QTest::newRow("404") << missing;
    Route broken = slow(QByteArray(5000, 'b'));
    broken.breakAfter = 2500;
    QTest::newRow("broken off") << broken;
    Route silent;
    silent.neverAnswer = true;
    QTest::newRow("never answers") << silent;
}

void tst_fUpgrade::secondDownloadFailing()
{
    QFETCH(Route, bootstrap);
    server->serveBody(exePath, newProgram());
    server->serve(bootPath, bootstrap);
    test->writeFile(QStringLiteral("bootstrap.exe"), "old bootstrap");

    auto window = makeWindow();
    window->show();
    QTest::mouseClick(window->Command1, Qt::LeftButton);

    QCOMPARE(test->messages.shown.size(), 1);
    QCOMPARE(test->messages.shown.at(0).text, cancelledText);
    QCOMPARE(test->messages.shown.at(0).style, int(MessageBox::Information));
    QCOMPARE(test->messages.shown.at(0).title, QStringLiteral("TAVLO"));
    QVERIFY(!window->isVisible());
    QCOMPARE(test->readFile(QStringLiteral("TAVLO.upg")), newProgram());
    QVERIFY(!QFile::exists(test->path(QStringLiteral("bootstrap.exe"))));
    QVERIFY(!QFile::exists(test->path(QStringLiteral("target"))));
    QVERIFY(recorder->programs.isEmpty());
    QVERIFY(!test->ending.ended());
}

void tst_fUpgrade::cancelDuringDownload_data()
{
    QTest::addColumn<CancelBy>("how");
    QTest::newRow("Cancel button") << CancelBy::Button;
    QTest::newRow("frame close button") << CancelBy::FrameClose;
    QTest::newRow("Escape") << CancelBy::Escape;
}

void tst_fUpgrade::cancelDuringDownload()
{
    QFETCH(CancelBy, how);
    server->serve(exePath, slow(newProgram()));
    server->serveBody(bootPath, bootstrapScript);

    auto window = makeWindow();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    bool cancelled = false;
    bool stillOpenAfterCancel = false;
    connect(window->NetGrab1, &NetGrab::DownloadProgress, this, [&] {
        if (cancelled)
            return;
        cancelled = true;
        cancelBy(*window, how);
        stillOpenAfterCancel = window->isVisible();
    });
    QTest::mouseClick(window->Command1, Qt::LeftButton);

    QVERIFY(cancelled);
    QVERIFY(stillOpenAfterCancel); // the window closes only after telling the user
    QCOMPARE(test->messages.shown.size(), 1);
    QCOMPARE(test->messages.shown.at(0).text, cancelledText);
    QCOMPARE(test->messages.shown.at(0).style, 64);
    QVERIFY(!window->isVisible());
    QVERIFY(!QFile::exists(test->path(QStringLiteral("TAVLO.upg"))));
    QCOMPARE(server->requests(bootPath), 0);
    QVERIFY(!test->ending.ended());
}

void tst_fUpgrade::unsavableFileIsReported()
{
    // A folder of the file's name is in the way: the save fails although the name exists.
    QVERIFY(QDir(test->dir.path()).mkdir(QStringLiteral("TAVLO.upg")));
    server->serveBody(exePath, newProgram());
    server->serveBody(bootPath, bootstrapScript);

    auto window = makeWindow();
    window->show();
    QTest::mouseClick(window->Command1, Qt::LeftButton);

    QCOMPARE(test->messages.shown.size(), 1);
    QCOMPARE(test->messages.shown.at(0).text, badFileText);
    QCOMPARE(test->messages.shown.at(0).style, 64);
    QCOMPARE(server->requests(bootPath), 0);
    QVERIFY(!window->isVisible());
    QVERIFY(!test->ending.ended());
}

void tst_fUpgrade::bootstrapThatCannotStartKeepsProgramRunning()
{
    server->serveBody(exePath, newProgram());
    server->serveBody(bootPath, bootstrapScript);
    recorder->refuse = true;

    auto window = makeWindow();
    window->show();
    QTest::mouseClick(window->Command1, Qt::LeftButton);

    QCOMPARE(recorder->programs.size(), 1);
    QCOMPARE(test->messages.shown.size(), 1);
    QCOMPARE(test->messages.shown.at(0).text, badFileText);
    QVERIFY(!window->isVisible());
    QVERIFY(!test->ending.ended());
}

QTEST_MAIN(tst_fUpgrade)
#include "tst_fUpgrade.moc"
