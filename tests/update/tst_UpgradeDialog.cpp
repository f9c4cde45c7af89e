#include "LoopbackHttpServer.h"
#include "MinisignTool.h"
#include "TestPlatform.h"
#include "base/TextFile.h"
#include "update/Downloader.h"
#include "update/ProgramStarter.h"
#include "components/StyledProgressBar.h"
#include "update/UpgradeDialog.h"

#include <QAccessible>
#include <QLabel>
#include <QPushButton>
#include <QTest>

using tavlo::test::Route;
using Served = QHash<QString, Route>; // file of the update folder -> how it is served

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

// served: over the published folder; obstacle: cancel / close / folder / refuse; message: how the message
// starts; empty: the upgrade goes ahead
struct StartRow { Served served; QString obstacle, message; tavlo::MessageBox::Icon icon; bool programSaved; };

class tst_UpgradeDialog : public QObject {
    Q_OBJECT

    tavlo::test::MinisignTool keys;
    QHash<QString, QByteArray> published;
    std::unique_ptr<tavlo::test::LoopbackHttpServer> server;
    std::unique_ptr<tavlo::test::TestPlatform> test;
    RecordingStarter starter;
    tavlo::UpdateSettings settings;
    std::unique_ptr<tavlo::UpgradeDialog> window;

private slots:
    void initTestCase()
    {
        QVERIFY2(keys.ok(), "minisign is needed (Debian: apt-get install minisign)");
        // The folder exactly as the vendor's script lays it out.
        published = keys.publish(QStringLiteral("1.0.2"), newProgram, bootstrapScript);
        QCOMPARE(published.keys().size(), 5);
        QCOMPARE(published.value(QStringLiteral("version.txt")), QByteArray("1.0.2"));
    }

    void init()
    {
        server = std::make_unique<tavlo::test::LoopbackHttpServer>();
        test = std::make_unique<tavlo::test::TestPlatform>();
        starter = RecordingStarter();
        settings.updateRoot = server->root() + QStringLiteral("/");
        settings.publicKey = keys.publicKeyLine();
        settings.sizeLimit = 100000;
        settings.stallTimeout = 1500;
        settings.deadline = 3000;
        window = std::make_unique<tavlo::UpgradeDialog>(test->platform, settings, QStringLiteral("1.0.2"), &starter);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }

    void cancelBeforeStartWritesNothing()
    {
        QTest::mouseClick(window->cancelButton(), Qt::LeftButton);
        QVERIFY(!window->isVisible());
        QVERIFY(server->asked.isEmpty() && QDir(test->dir.path()).isEmpty() && test->messages.shown.isEmpty());
    }

    // A screen reader hears the bar as a progress bar with its value, and what each control is.
    void accessible()
    {
        QAccessibleInterface *bar = QAccessible::queryAccessibleInterface(window->progressBar());
        QCOMPARE(bar->role(), QAccessible::ProgressBar);
        window->progressBar()->setValue(42);
        QCOMPARE(bar->valueInterface()->currentValue().toInt(), 42);
        QCOMPARE(bar->text(QAccessible::Value), QStringLiteral("42%"));
        for (QWidget *control : std::initializer_list<QWidget *>{window->progressBar(), window->filesLabel(), window->sizeLabel(),
                                                                 window->startButton(), window->cancelButton()})
            QVERIFY(QAccessible::queryAccessibleInterface(control)->text(QAccessible::Name).size() > 2);
    }

    void start_data()
    {
        QTest::addColumn<StartRow>("row");
        const QString exe = QStringLiteral("TAVLO.exe");
        const QString exeSig = QStringLiteral("TAVLO.exe.minisig");
        const QString boot = QStringLiteral("bootstrap.exe");
        const QString bootSig = QStringLiteral("bootstrap.exe.minisig");
        const Route slowExe{.body = newProgram, .pieceSize = 1000};
        const Route missing{.status = 404, .body = "<html>Not Found</html>"};
        const Route endless{.body = QByteArray(4096, 'P'), .withLength = false, .pieceInterval = 5, .endless = true};
        const Route trickle{.body = newProgram, .pieceSize = 1, .pieceInterval = 1000};
        const QString cancelled = QStringLiteral("Download cancelled!\r\n\r\nUpgrade to new version was not completed.");
        const QString badFile = QStringLiteral("New version file did not download correctly!\r\n");
        const QString unverified = QStringLiteral("New version file could not be verified!\r\n");
        const auto info = tavlo::MessageBox::Icon::Information;
        const auto warning = tavlo::MessageBox::Icon::Warning;
        auto body = [](const QByteArray &bytes) { return Route{.body = bytes}; };

        QTest::newRow("success") << StartRow{Served{{exe, slowExe}}, {}, {}, tavlo::MessageBox::Icon::NoIcon, true};
        QTest::newRow("bootstrap 404") << StartRow{Served{{boot, missing}}, {}, cancelled, info, true};
        QTest::newRow("Cancel mid-download") << StartRow{Served{{exe, slowExe}}, QStringLiteral("cancel"), cancelled, info, false};
        QTest::newRow("closed mid-download") << StartRow{Served{{exe, slowExe}}, QStringLiteral("close"), cancelled, info, false};
        QTest::newRow("save fails: folder in the way") << StartRow{Served(), QStringLiteral("folder"), badFile, info, false};
        QTest::newRow("bootstrap will not start") << StartRow{Served(), QStringLiteral("refuse"), badFile, info, true};
        // The size limit (100,000 bytes) is no cancel: the message says what stopped it.
        const QString tooLarge =
                QStringLiteral("Download failed: the file is larger than 97 kb.\r\n\r\nUpgrade to new version was not completed.");
        QTest::newRow("endless program") << StartRow{Served{{exe, endless}}, {}, tooLarge, info, false};
        QTest::newRow("program announced too large")
            << StartRow{Served{{exe, body(QByteArray(200000, 'P'))}}, {}, tooLarge, info, false};
        QTest::newRow("program one byte a second") << StartRow{Served{{exe, trickle}}, {}, cancelled, info, false};

        QTest::newRow("signature missing") << StartRow{Served{{exeSig, missing}}, {}, unverified, warning, false};
        QTest::newRow("truncated, length matching")
            << StartRow{Served{{exe, body(newProgram.left(3))}}, {}, unverified, warning, false};
        QTest::newRow("the other signed file")
            << StartRow{Served{{exe, body(bootstrapScript)}, {exeSig, body(published.value(bootSig))}}, {}, unverified, warning,
                        false};
        QTest::newRow("signed for an older version")
            << StartRow{Served{{exeSig, body(keys.sign(newProgram, QStringLiteral("file:TAVLO.exe version:1.0.1")))}}, {},
                        unverified, warning, false};
        QTest::newRow("bootstrap signature of the program")
            << StartRow{Served{{bootSig, body(published.value(exeSig))}}, {}, unverified, warning, true};
        QTest::newRow("bootstrap signature endless") << StartRow{Served{{bootSig, endless}}, {}, unverified, warning, true};
    }

    void start()
    {
        QFETCH(StartRow, row);
        const auto &[served, obstacle, message, icon, programSaved] = row;
        for (auto file = published.cbegin(); file != published.cend(); ++file)
            server->routes.insert(QStringLiteral("/software/upgrade/tavlo/") + file.key(),
                                  served.value(file.key(), Route{.body = file.value()}));
        test->writeFile(QStringLiteral("bootstrap.exe"), "old bootstrap");
        starter.refuse = obstacle == QLatin1String("refuse");
        if (obstacle == QLatin1String("folder"))
            QVERIFY(QDir(test->dir.path()).mkdir(QStringLiteral("TAVLO.upg")));
        connect(window->downloader(), &tavlo::Downloader::progress, this, [&] {
            if (window->sizeLabel()->text().isEmpty())
                return; // still the signature
            if (obstacle == QLatin1String("cancel"))
                QTest::mouseClick(window->cancelButton(), Qt::LeftButton);
            else if (obstacle == QLatin1String("close"))
                window->close();
        });

        QTest::mouseClick(window->startButton(), Qt::LeftButton);
        QVERIFY(!window->startButton()->isEnabled() && !window->messageLabel()->isVisible());
        QCOMPARE(window->filesLabel()->text(), QStringLiteral("1 of 2"));
        // Ends within the deadline, whatever the server does.
        QTRY_VERIFY_WITH_TIMEOUT(!window->isVisible() || test->ending.ended(), 6000);

        QCOMPARE(test->messages.shown.size(), message.isEmpty() ? 0 : 1);
        QVERIFY2(test->messages.shown.value(0).text.startsWith(message),
                 qPrintable(test->messages.shown.value(0).text));
        QCOMPARE(test->messages.shown.value(0).icon, icon);
        QCOMPARE(test->ending.ended(), message.isEmpty());
        // A signature is read within a limit of its own, far below the program's.
        const bool signatureLast = QByteArray(QTest::currentDataTag()) == "bootstrap signature endless";
        QVERIFY(window->downloader()->peakBufferSize()
                <= (signatureLast ? tavlo::UpdateSettings::signatureFileLimit : settings.sizeLimit) + 1);
        QCOMPARE(test->readFile(QStringLiteral("TAVLO.upg")) == newProgram, programSaved);
        if (message.isEmpty()) {
            QCOMPARE(window->filesLabel()->text(), QStringLiteral("2 of 2"));
            QCOMPARE(window->sizeLabel()->text(), QStringLiteral(" kb - 100%")); // the bootstrap's few bytes
            const QByteArray note = tavlo::encodeSystemText(test->platform.programFolder + QStringLiteral("\r\n"));
            // The bootstrap program ran and found the note in place.
            QTRY_COMPARE_WITH_TIMEOUT(test->readFile(QStringLiteral("bootstrap-ran")), note, 10000);
            return;
        }
        QVERIFY(!window->isVisible()); // it closes once the user is told
        if (!programSaved && obstacle != QLatin1String("folder"))
            QVERIFY(!QFile::exists(test->path(QStringLiteral("TAVLO.upg"))));
        if (obstacle == QLatin1String("refuse"))
            return;
        // The old bootstrap program is gone once the new one is due; nothing unverified is started.
        QCOMPARE(QFile::exists(test->path(QStringLiteral("bootstrap.exe"))), !programSaved);
        QVERIFY(!QFile::exists(test->path(QStringLiteral("target"))));
        QVERIFY(starter.starts.isEmpty());
    }
};

QTEST_MAIN(tst_UpgradeDialog)
#include "tst_UpgradeDialog.moc"
