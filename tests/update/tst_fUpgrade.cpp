#include "LoopbackHttpServer.h"
#include "NetGrab.h"
#include "ProgramStarter.h"
#include "TestPlatform.h"
#include "TextFile.h"
#include "XP_ProgressBar.h"
#include "fUpgrade.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest>

using tavlo::fUpgrade;
using Route = tavlo::test::LoopbackHttpServer::Route;
Q_DECLARE_METATYPE(Route)

namespace {

const QString cancelledText = QStringLiteral("Download cancelled!\r\n\r\nUpgrade to new version was not completed.");
const QString badFileText =
    QStringLiteral("New version file did not download correctly!\r\nUpgrade was not completed, please try again later.");
const QString exePath = QStringLiteral("/software/upgrade/tavlo/TAVLO.exe");
const QString bootPath = QStringLiteral("/software/upgrade/tavlo/bootstrap.exe");
const QByteArray newProgram(6000, 'P');
// The served bootstrap program leaves proof that it ran and what the note told it.
const QByteArray bootstrapScript = "#!/bin/sh\nhere=$(dirname \"$0\")\n"
                                   "[ -f \"$here/TAVLO.upg\" ] && cp \"$here/target\" \"$here/bootstrap-ran\"\n";

// Records each start and really starts the program, unless told to refuse.
struct RecordingStarter final : tavlo::ProgramStarter {
    bool startDetached(const QString &program, const QString &folder) override
    {
        programs << program;
        folders << folder;
        return !refuse && tavlo::DetachedProgramStarter().startDetached(program, folder);
    }
    QStringList programs, folders;
    bool refuse = false;
};

Route slow(const QByteArray &body)
{
    return Route(200, body).inPieces(1000);
}

} // namespace

class tst_fUpgrade : public QObject {
    Q_OBJECT

private slots:
    void init();
    void sizeCaption_data();
    void sizeCaption();
    void cancelBeforeStartWritesNothing_data();
    void cancelBeforeStartWritesNothing();
    void successfulUpgradeHandsOverAndEnds();
    void failedUpgradeKeepsProgramRunning_data();
    void failedUpgradeKeepsProgramRunning();

private:
    std::unique_ptr<tavlo::test::LoopbackHttpServer> server;
    std::unique_ptr<tavlo::test::TestPlatform> test;
    RecordingStarter starter;
    std::unique_ptr<fUpgrade> window;
};

void tst_fUpgrade::init()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    server = std::make_unique<tavlo::test::LoopbackHttpServer>();
    QVERIFY(server->start());
    test = std::make_unique<tavlo::test::TestPlatform>();
    starter.programs.clear();
    starter.refuse = false;
    window = std::make_unique<fUpgrade>(test->platform, server->root() + QStringLiteral("/"), &starter);
    window->NetGrab1->setTransferTimeout(1000);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
}

void tst_fUpgrade::sizeCaption_data()
{
    QTest::addColumn<int>("nBytes");
    QTest::addColumn<int>("nTotalBytes");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("bar");
    QTest::newRow("half") << 1234567 << 2469134 << QStringLiteral("1,205 kb - 50%") << 50;
    QTest::newRow("rounded down") << 2047 << 2048 << QStringLiteral("1 kb - 99%") << 99;
    QTest::newRow("below 1024 bytes") << 1023 << 4096 << QStringLiteral(" kb - 24%") << 24;
    QTest::newRow("more than announced") << 5000 << 2048 << QStringLiteral("4 kb - 100%") << 100;
    QTest::newRow("millions of kb") << 2000000000 << 2000000000 << QStringLiteral("1,953,125 kb - 100%") << 100;
    QTest::newRow("total unknown: bar stays") << 1234567 << 0 << QStringLiteral("1,205 kb") << 7;
}

void tst_fUpgrade::sizeCaption()
{
    QFETCH(int, nBytes);
    QFETCH(int, nTotalBytes);
    QFETCH(QString, caption);
    QFETCH(int, bar);
    emit window->NetGrab1->DownloadProgress(7, 100);
    emit window->NetGrab1->DownloadProgress(nBytes, nTotalBytes);
    QCOMPARE(window->lblSize->text(), caption);
    QCOMPARE(window->XP_ProgressBar1->Value(), bar);
    // The caption grows to the left from the frame's right edge, so it stays in the window.
    QCOMPARE(window->lblSize->geometry().right() + 1, 289);
}

void tst_fUpgrade::cancelBeforeStartWritesNothing_data()
{
    QTest::addColumn<int>("how");
    QTest::newRow("Cancel button") << 0;
    QTest::newRow("frame close button") << 1;
}

void tst_fUpgrade::cancelBeforeStartWritesNothing()
{
    QFETCH(int, how);
    QVERIFY(window->Command1->hasFocus());
    QCOMPARE(window->lblMessage->text(), QStringLiteral("Click Start to commence the upgrade"));
    if (how == 0)
        QTest::mouseClick(window->Command2, Qt::LeftButton);
    else
        window->close();
    QVERIFY(!window->isVisible());
    QCOMPARE(server->totalRequests(), 0);
    QVERIFY(QDir(test->dir.path()).isEmpty());
    QVERIFY(test->messages.shown.isEmpty());
}

void tst_fUpgrade::successfulUpgradeHandsOverAndEnds()
{
    server->serve(exePath, slow(newProgram));
    server->serve(bootPath, bootstrapScript);
    // Leftovers of an earlier attempt are replaced.
    test->writeFile(QStringLiteral("TAVLO.upg"), "old program");
    test->writeFile(QStringLiteral("bootstrap.exe"), "old bootstrap");
    test->writeFile(QStringLiteral("target"), "elsewhere\r\n");

    QTest::mouseClick(window->Command1, Qt::LeftButton);

    QVERIFY(test->messages.shown.isEmpty());
    QCOMPARE(test->ending.calls, 1);
    QVERIFY(!window->Command1->isEnabled() && !window->lblMessage->isVisible());
    QCOMPARE(window->lblFiles->text(), QStringLiteral("2 of 2"));
    QCOMPARE(window->XP_ProgressBar1->Value(), 100);
    QCOMPARE(test->readFile(QStringLiteral("TAVLO.upg")), newProgram);
    QCOMPARE(test->readFile(QStringLiteral("bootstrap.exe")), bootstrapScript);
    QVERIFY(QFileInfo(test->path(QStringLiteral("bootstrap.exe"))).isExecutable());
    const QByteArray note = tavlo::encodeSystemText(test->platform.programFolder + QStringLiteral("\r\n"));
    QCOMPARE(test->readFile(QStringLiteral("target")), note);
    QCOMPARE(starter.programs, QStringList{test->path(QStringLiteral("bootstrap.exe"))});
    QCOMPARE(starter.folders.value(0), test->platform.programFolder);
    QTRY_COMPARE_WITH_TIMEOUT(test->readFile(QStringLiteral("bootstrap-ran")), note, 10000);
}

void tst_fUpgrade::failedUpgradeKeepsProgramRunning_data()
{
    QTest::addColumn<Route>("program");
    QTest::addColumn<Route>("bootstrap");
    QTest::addColumn<QString>("obstacle"); // cancel / close / folder / refuse
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("programSaved");

    const Route exe(200, newProgram);
    const Route boot(200, bootstrapScript);
    QTest::newRow("bootstrap 404") << exe << Route(404, "<html/>") << QString() << cancelledText << true;
    QTest::newRow("bootstrap broken off") << exe << Route(200, bootstrapScript).inPieces(10).cutAfter(30) << QString()
                                          << cancelledText << true;
    QTest::newRow("bootstrap never sent") << exe << Route().silent() << QString()
                                          << cancelledText << true;
    QTest::newRow("Cancel mid-download") << slow(newProgram) << boot << QStringLiteral("cancel") << cancelledText
                                         << false;
    QTest::newRow("closed mid-download") << slow(newProgram) << boot << QStringLiteral("close") << cancelledText
                                         << false;
    // The name exists, but the save failed.
    QTest::newRow("folder in the way") << exe << boot << QStringLiteral("folder") << badFileText << false;
    QTest::newRow("bootstrap will not start") << exe << boot << QStringLiteral("refuse") << badFileText << true;
}

void tst_fUpgrade::failedUpgradeKeepsProgramRunning()
{
    QFETCH(Route, program);
    QFETCH(Route, bootstrap);
    QFETCH(QString, obstacle);
    QFETCH(QString, message);
    QFETCH(bool, programSaved);
    server->serve(exePath, program);
    server->serve(bootPath, bootstrap);
    test->writeFile(QStringLiteral("bootstrap.exe"), "old bootstrap");
    starter.refuse = obstacle == QLatin1String("refuse");
    if (obstacle == QLatin1String("folder"))
        QVERIFY(QDir(test->dir.path()).mkdir(QStringLiteral("TAVLO.upg")));
    bool openAfterCancel = false;
    const bool cancels = obstacle == QLatin1String("cancel") || obstacle == QLatin1String("close");
    connect(window->NetGrab1, &tavlo::NetGrab::DownloadProgress, this, [&] {
        if (obstacle == QLatin1String("cancel"))
            QTest::mouseClick(window->Command2, Qt::LeftButton);
        else if (obstacle == QLatin1String("close"))
            window->close();
        openAfterCancel = cancels && window->isVisible(); // it closes after telling the user
    });

    QTest::mouseClick(window->Command1, Qt::LeftButton);

    QCOMPARE(test->messages.shown.size(), 1);
    QCOMPARE(test->messages.shown.at(0).text, message);
    QCOMPARE(test->messages.shown.at(0).style, 64);
    QCOMPARE(test->messages.shown.at(0).title, QStringLiteral("TAVLO"));
    QVERIFY(!window->isVisible());
    QVERIFY(!test->ending.ended());
    QCOMPARE(openAfterCancel, cancels);
    QCOMPARE(test->readFile(QStringLiteral("TAVLO.upg")) == newProgram, programSaved);
    if (obstacle != QLatin1String("refuse")) {
        QCOMPARE(QFile::exists(test->path(QStringLiteral("bootstrap.exe"))), !programSaved);
        QVERIFY(!QFile::exists(test->path(QStringLiteral("target"))));
        QVERIFY(starter.programs.isEmpty());
    }
}

QTEST_MAIN(tst_fUpgrade)
#include "tst_fUpgrade.moc"
