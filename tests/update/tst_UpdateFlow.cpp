#include "LoopbackHttpServer.h"
#include "TestPlatform.h"
#include "app/Form1.h"
#include "app/UpdateFlow.h"
#include "app/xpEnable.h"
#include "update/UpdateCheck.h"
#include "update/UpgradeDialog.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QtTest>

using tavlo::test::Route;

const QByteArray someKey = "RWS70+YTu0ID5TPY0OwyKhzdbmKdHoxisOmRxBWgBFlqAC2HBYjME6pY";
const QString versionPath = QStringLiteral("/software/upgrade/tavlo/version.txt");

// The real start-up sequence, online, against a loopback update server.
class tst_UpdateFlow : public QObject {
    Q_OBJECT

    std::unique_ptr<tavlo::test::TestPlatform> test;
    tavlo::test::LoopbackHttpServer server;
    tavlo::UpdateSettings settings;

    // Runs the start-up to its end; `whileRunning` acts on the main window from the event loop.
    void runProgram(const std::function<void(tavlo::Form1 &)> &whileRunning)
    {
        tavlo::SubMain(test->platform, [&](tavlo::Form1 &form) {
            QVERIFY(form.isVisible());
            tavlo::startUpdateFlow(test->platform, form, settings);
            whileRunning(form);
        });
    }

    QList<tavlo::test::ScriptedMessageBox::Shown> updateMessages() const
    {
        QList<tavlo::test::ScriptedMessageBox::Shown> shown;
        for (const auto &message : test->messages.shown) {
            if (message.title == QLatin1String("TAVLO"))
                shown << message;
        }
        return shown;
    }

private slots:
    void init()
    {
        test = std::make_unique<tavlo::test::TestPlatform>();
        test->addEmptyDatabase();
        test->addDisplayFiles();
        // Not the first run: no welcome box among the answers.
        const QByteArray folder = test->platform.programFolder.toUtf8() + '/';
        test->writeFile(QStringLiteral("TAVLO.ini"), "DataBase=" + folder + "TAVLO.mdb\r\nFilePath=" + folder
                                                             + "\r\nPlayers_Per_List_Row1=15\r\nPlayers_Per_List_Row2=10\r\n"
                                                               "List_Width=0\r\nStart_Maximized=False\r\n");
        test->connectivity.online = true;
        server.asked.clear();
        server.onRequest = [] {};
        settings = tavlo::UpdateSettings();
        settings.updateRoot = server.root();
        settings.publicKey = someKey;
        settings.runningVersion = QStringLiteral("1.0.0");
    }

    void closingDuringASlowCheckEndsTheProgram()
    {
        // A byte a second, well within the transfer's own bounds: only the close can end it.
        server.routes.insert(versionPath, Route{.body = "1.0.2", .pieceSize = 1, .pieceInterval = 1000});
        settings.deadline = 120000;
        settings.stallTimeout = 60000;
        QPointer<tavlo::Form1> window;
        server.onRequest = [&] { QTimer::singleShot(100, window, &QWidget::close); };
        QElapsedTimer clock;
        clock.start();
        runProgram([&](tavlo::Form1 &form) { window = &form; });
        QVERIFY2(clock.elapsed() < 4000, "the program stayed alive after its window closed");
        QCOMPARE(server.asked, QStringList{versionPath});
        QVERIFY(test->messages.shown.isEmpty() && !test->ending.ended());
    }

    void askThenShowTheUpgradeWindow_data()
    {
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("asks");
        QTest::newRow("Yes") << someKey << int(tavlo::MessageBox::Yes) << true;
        QTest::newRow("No") << someKey << int(tavlo::MessageBox::No) << true;
        QTest::newRow("build without a key") << QByteArray() << int(tavlo::MessageBox::Yes) << false;
    }

    void askThenShowTheUpgradeWindow()
    {
        QFETCH(QByteArray, key);
        QFETCH(int, answer);
        QFETCH(bool, asks);
        server.routes.insert(versionPath, Route{.body = "1.0.2\r\n"});
        settings.publicKey = key;
        test->messages.answers = {answer};
        bool dialogSeen = false;
        QWidget *owner = nullptr;
        Qt::WindowModality modality = Qt::NonModal;
        QTimer look;
        runProgram([&](tavlo::Form1 &form) {
            connect(&look, &QTimer::timeout, &form, [&] {
                const bool asked = !updateMessages().isEmpty();
                const auto *check = form.findChild<tavlo::UpdateCheck *>();
                if (auto *shown = qobject_cast<tavlo::UpgradeDialog *>(QApplication::activeModalWidget())) {
                    dialogSeen = true;
                    owner = shown->parentWidget();
                    modality = shown->windowModality();
                    QTest::mouseClick(shown->cancelButton(), Qt::LeftButton);
                } else if ((asked || !check || !check->isRunning()) && !QApplication::activeModalWidget()
                           && (answer == tavlo::MessageBox::No || dialogSeen || !asks)) {
                    form.close();
                }
            });
            look.start(50);
        });
        const auto messages = updateMessages();
        QCOMPARE(test->messages.shown.size(), asks ? 1 : 0);
        QCOMPARE(server.asked.size(), key.isEmpty() ? 0 : 1);
        if (!asks)
            return;
        QCOMPARE(messages[0].text, QStringLiteral("A new version of this software is available! \r\n\r\n"
                                                  "Do you want to download and install it now?"));
        QCOMPARE(messages[0].style, 68);
        const bool yes = answer == tavlo::MessageBox::Yes;
        QCOMPARE(owner != nullptr, yes);
        QCOMPARE(modality, yes ? Qt::ApplicationModal : Qt::NonModal);
    }
};

QTEST_MAIN(tst_UpdateFlow)
#include "tst_UpdateFlow.moc"
