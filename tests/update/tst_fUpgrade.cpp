#include "LoopbackHttpServer.h"
#include "update/NetGrab.h"
#include "update/ProgramStarter.h"
#include "TestPlatform.h"
#include "base/TextFile.h"
#include "update/fUpgrade.h"

#include <QPushButton>
#include <QtTest>

using tavlo::test::Route;

const QByteArray newProgram(6000, 'P');
// The served bootstrap program leaves proof that it ran in the program folder and what the note told it.
const QByteArray bootstrapScript = "#!/bin/sh\n[ -f TAVLO.upg ] && cp target bootstrap-ran\n";

// Records each start and really starts the program, unless told to refuse.
struct RecordingStarter final : tavlo::ProgramStarter {
    bool startDetached(const QString &program, const QString &folder) override
    {
        starts << program;
        return !refuse && tavlo::DetachedProgramStarter().startDetached(program, folder);
    }
    QStringList starts;
    bool refuse = false;
};

class tst_fUpgrade : public QObject {
    Q_OBJECT

    std::unique_ptr<tavlo::test::LoopbackHttpServer> server;
    std::unique_ptr<tavlo::test::TestPlatform> test;
    RecordingStarter starter;
    std::unique_ptr<tavlo::fUpgrade> window;

private slots:
    void init()
    {
        server = std::make_unique<tavlo::test::LoopbackHttpServer>();
        test = std::make_unique<tavlo::test::TestPlatform>();
        starter = RecordingStarter();
        window = std::make_unique<tavlo::fUpgrade>(test->platform, server->root() + QStringLiteral("/"), &starter);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }

    void cancelBeforeStartWritesNothing()
    {
        QTest::mouseClick(window->Command2, Qt::LeftButton);
        QVERIFY(!window->isVisible());
        QVERIFY(server->asked.isEmpty() && QDir(test->dir.path()).isEmpty() && test->messages.shown.isEmpty());
    }

    void start_data()
    {
        QTest::addColumn<Route>("program");
        QTest::addColumn<Route>("bootstrap");
        QTest::addColumn<QString>("obstacle"); // cancel / close / folder / refuse
        QTest::addColumn<QString>("message");  // how the message starts; empty: the upgrade goes ahead
        QTest::addColumn<bool>("programSaved");
        const Route exe{.body = newProgram};
        const Route slowExe{.body = newProgram, .pieceSize = 1000};
        const Route boot{.body = bootstrapScript};
        const QString cancelled = QStringLiteral("Download cancelled!\r\n");
        const QString badFile = QStringLiteral("New version file did not download correctly!\r\n");
        QTest::newRow("success") << slowExe << boot << QString() << QString() << true;
        QTest::newRow("bootstrap 404") << exe << Route{.status = 404} << QString() << cancelled << true;
        QTest::newRow("Cancel mid-download") << slowExe << boot << QStringLiteral("cancel") << cancelled << false;
        QTest::newRow("closed mid-download") << slowExe << boot << QStringLiteral("close") << cancelled << false;
        QTest::newRow("save fails: folder in the way") << exe << boot << QStringLiteral("folder") << badFile << false;
        QTest::newRow("bootstrap will not start") << exe << boot << QStringLiteral("refuse") << badFile << true;
    }

    void start()
    {
        QFETCH(Route, program);
        QFETCH(Route, bootstrap);
        QFETCH(QString, obstacle);
        QFETCH(QString, message);
        QFETCH(bool, programSaved);
        server->routes.insert(QStringLiteral("/software/upgrade/tavlo/TAVLO.exe"), program);
        server->routes.insert(QStringLiteral("/software/upgrade/tavlo/bootstrap.exe"), bootstrap);
        test->writeFile(QStringLiteral("bootstrap.exe"), "old bootstrap");
        starter.refuse = obstacle == QLatin1String("refuse");
        if (obstacle == QLatin1String("folder"))
            QVERIFY(QDir(test->dir.path()).mkdir(QStringLiteral("TAVLO.upg")));
        connect(window->NetGrab1, &tavlo::NetGrab::DownloadProgress, this, [&] {
            if (obstacle == QLatin1String("cancel"))
                QTest::mouseClick(window->Command2, Qt::LeftButton);
            else if (obstacle == QLatin1String("close"))
                window->close();
        });

        QTest::mouseClick(window->Command1, Qt::LeftButton);

        QCOMPARE(test->messages.shown.size(), message.isEmpty() ? 0 : 1);
        QVERIFY(test->messages.shown.value(0).text.startsWith(message));
        QCOMPARE(test->ending.ended(), message.isEmpty());
        QCOMPARE(window->isVisible(), message.isEmpty()); // it closes once the user is told
        QCOMPARE(test->readFile(QStringLiteral("TAVLO.upg")) == newProgram, programSaved);
        if (message.isEmpty()) {
            const QByteArray note = tavlo::encodeSystemText(test->platform.programFolder + QStringLiteral("\r\n"));
            // The bootstrap program ran and found the note in place.
            QTRY_COMPARE_WITH_TIMEOUT(test->readFile(QStringLiteral("bootstrap-ran")), note, 10000);
        } else if (obstacle != QLatin1String("refuse")) {
            // The old bootstrap program is gone once the new one is due.
            QCOMPARE(QFile::exists(test->path(QStringLiteral("bootstrap.exe"))), !programSaved);
            QVERIFY(!QFile::exists(test->path(QStringLiteral("target"))));
            QVERIFY(starter.starts.isEmpty());
        }
    }
};

QTEST_MAIN(tst_fUpgrade)
#include "tst_fUpgrade.moc"
