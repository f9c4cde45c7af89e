#include "ConsoleFixture.h"

#include "components/LinkLabel.h"
#include "components/ProportionalScaler.h"
#include "console/SettingsWindow.h"
#include "platform/PaintReport.h"

#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QTest>

#include <optional>

using namespace tavlo;
using namespace tavlo::test;

// settings: "@" stands for the program folder; database: "-" for none at all; message: "@" stands for the
// program folder
struct StartRow { QByteArray settings, database; QString message; };

// Whether the board was there at the main window's first paint.
struct FirstPaintWatch : QObject {
    QString board;
    std::optional<bool> boardAtPaint;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && qobject_cast<MainWindow *>(watched) && !boardAtPaint)
            boardAtPaint = QFileInfo::exists(board);
        return false;
    }
};

class TestConsole : public QObject {
    Q_OBJECT
private slots:
    void firstStart()
    {
        TestPlatform t;
        t.addEmptyDatabase();
        t.addDisplayFiles();
        Console console(t.platform);
        QVERIFY(console.start());
        QVERIFY(console.isFirstRun());
        QVERIFY(t.readFile(QStringLiteral("TAVLO.ini")).startsWith("DataBase=" + t.path(QStringLiteral("TAVLO.mdb")).toUtf8() + "\r\n"));
        QVERIFY(t.messages.shown.isEmpty());
        QCOMPARE(console.window()->versionLabel()->text(), QStringLiteral("1.0.0"));
        QCOMPARE(console.window()->windowTitle(), QStringLiteral("TAVLO"));
        // The board is published once at start-up, even with no games.
        QCOMPARE(t.readFile(QStringLiteral("TAVLO-Display.txt")), QByteArray("<table border='0' width='100%'><tr>\r\n</tr></table>\r\n"));
    }

    // A database from the first version is upgraded in place at start-up: its rows stay, new
    // players get their time, every change can be undone, also after a restart.
    void upgradeOfAFirstVersionDatabase()
    {
        TestPlatform t;
        t.addDisplayFiles();
        QVERIFY(QFile::copy(QStringLiteral(TAVLO_FIRST_LAYOUT_DATABASE), t.path(QStringLiteral("TAVLO.mdb"))));
        QFile::setPermissions(t.path(QStringLiteral("TAVLO.mdb")), QFile::ReadOwner | QFile::WriteOwner);
        TestPlatform::seed(t.path(QStringLiteral("TAVLO.mdb")), {{QStringLiteral("Poker"), {"Anna<star>", "Ben"}}});
        const QStringList rows = TestPlatform::rows(t.path(QStringLiteral("TAVLO.mdb")), QStringLiteral("select * from list_content"));
        t.writeFile(QStringLiteral("TAVLO.ini"), "DataBase=" + t.path(QStringLiteral("TAVLO.mdb")).toUtf8() + "\r\n");
        {
            Console console(t.platform);
            QVERIFY(console.start());
            QCOMPARE(TestPlatform::rows(t.path(QStringLiteral("TAVLO.mdb")), QStringLiteral("select * from list_content")),
                     QStringList({rows[0] + QStringLiteral("|||||"), rows[1] + QStringLiteral("|||||")}));
            Room &room = *console.room();
            QVERIFY(room.addPlayer(room.games()[0].id, QStringLiteral("Cy")));
            QVERIFY(room.games()[0].players[2].addedAt.isValid());
        }
        Console again(t.platform);
        QVERIFY(again.start());
        QCOMPARE(again.room()->undoText(), QStringLiteral("Undo add of Cy to Poker"));
        QVERIFY(again.room()->undo());
        QCOMPARE(TestPlatform::rows(t.path(QStringLiteral("TAVLO.mdb")), QStringLiteral("select player_name from list_content order by listbox_order")),
                 QStringList({"Anna<star>", "Ben"}));
        QVERIFY(t.messages.shown.isEmpty());
    }

    void welcomeOnEveryActivationOfTheFirstRun()
    {
        TestPlatform t;
        t.addEmptyDatabase();
        t.addDisplayFiles();
        {
            Console console(t.platform);
            QVERIFY(console.start());
            MainWindow &window = *console.window();
            window.show();
            QVERIFY(QTest::qWaitForWindowActive(&window));
            QTRY_COMPARE(t.messages.count(MainWindow::welcomeText()), 1);
            QCOMPARE(t.messages.shown.last().title, QStringLiteral("Welcome"));
            QCOMPARE(t.messages.shown.last().icon, MessageBox::Icon::NoIcon);
            QVERIFY(MainWindow::welcomeText().contains(QStringLiteral("TAVLO wating list on a large screen run TAVLO-Display.hta. Any")));
            QVERIFY(MainWindow::welcomeText().contains(QStringLiteral("Plasma or LCD.\r\n\r\nTo create a waiting list; add a game")));

            // Coming back from another window of ours shows it again, as long as this run created the settings.
            QWidget other;
            other.show();
            other.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&other));
            window.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&window));
            QTRY_COMPARE(t.messages.count(MainWindow::welcomeText()), 2);
            window.close();
        }
        // The next run is no first run.
        t.messages.shown.clear();
        Console again(t.platform);
        QVERIFY(again.start());
        again.window()->show();
        QVERIFY(QTest::qWaitForWindowActive(again.window()));
        QTest::qWait(50);
        QCOMPARE(t.messages.count(MainWindow::welcomeText()), 0);
    }

    // What ends the program at start-up, with its message, before the window is made.
    void failuresAtStart_data()
    {
        QTest::addColumn<StartRow>("row");
        QTest::newRow("missing database")
            << StartRow{QByteArray("DataBase=@/none.mdb\r\n"), QByteArray("-"),
                        "@/none.mdb is missing or cannot\r\nconnect to mapped drive/network location"};
        QTest::newRow("unreadable settings value")
            << StartRow{QByteArray("Start_Maximized=yes\r\n"), QByteArray("-"),
                        "Unexpected Error!\r\nCannot READ file @/TAVLO.ini\r\n\r\nInvalid setting: Start_Maximized=yes"};
        QTest::newRow("a number of a million digits")
            << StartRow{"List_Width=1\r\nList_Width=" + QByteArray(1000000, '9') + "\r\n", QByteArray("-"),
                        "Unexpected Error!\r\nCannot READ file @/TAVLO.ini\r\n\r\nInvalid setting: List_Width=" + QString(49, u'9') + u'\u2026'};
        QTest::newRow("no tables in the database") << StartRow{QByteArray("DataBase=@/TAVLO.mdb\r\n"), {}, "no such table: lists"};
        QTest::newRow("not a database")
            << StartRow{QByteArray("DataBase=@/TAVLO.mdb\r\n"), QByteArray(4096, 'x'), "file is not a database"};
    }

    void failuresAtStart()
    {
        QFETCH(StartRow, row);
        auto &[settings, database, message] = row;
        TestPlatform t;
        t.addDisplayFiles();
        settings.replace('@', t.platform.programFolder.toUtf8());
        t.writeFile(QStringLiteral("TAVLO.ini"), settings);
        if (database != "-")
            t.writeFile(QStringLiteral("TAVLO.mdb"), database);
        {
            Console console(t.platform);
            QVERIFY(!console.start());
            QVERIFY(!console.window());
            QVERIFY(t.ending.ended());
            QCOMPARE(t.messages.shown.size(), 1);
            QVERIFY2(t.messages.shown[0].text.startsWith(message.replace(QLatin1Char('@'), t.platform.programFolder)),
                     qPrintable(t.messages.shown[0].text));
            QCOMPARE(t.messages.shown[0].icon, MessageBox::Icon::Critical);
            QCOMPARE(t.messages.shown[0].title, QStringLiteral("TAVLO"));
        }
        // Ended at once: the settings were not written back, nor the board.
        QCOMPARE(t.readFile(QStringLiteral("TAVLO.ini")), settings);
        QVERIFY(!QFileInfo::exists(t.path(QStringLiteral("TAVLO-Display.txt"))));
    }

    // A failure while the console runs ends the program with the failure's words.
    void failuresWhileRunning()
    {
        ConsoleFixture c({{QStringLiteral("Poker"), {"Anna", "Ben"}}});
        c.rows(QStringLiteral("create trigger fail before insert on list_content begin select raise(abort, 'disk on fire'); end"));
        ListPanel &p = c.playersPanel();
        ConsoleFixture::press(p.button(Cmd::Add));
        p.nameEdit()->setText(QStringLiteral("Cy"));
        ConsoleFixture::press(p.button(Cmd::Save));
        QCOMPARE(c.t.messages.shown.size(), 1);
        QVERIFY2(c.t.messages.shown[0].text.contains(QStringLiteral("disk on fire")), qPrintable(c.t.messages.shown[0].text));
        QCOMPARE(c.t.messages.shown[0].icon, MessageBox::Icon::Critical);
        QVERIFY(c.t.ending.ended());
        QCOMPARE(c.playersOf(QStringLiteral("Poker")), QStringList({"Anna|0", "Ben|1"}));
        QCOMPARE(c.fragment(), c.startBoard);

        // The settings file cannot be written at the end: its message, then the end.
        ConsoleFixture d;
        QFile::remove(d.t.path(QStringLiteral("TAVLO.ini")));
        QVERIFY(QDir(d.t.platform.programFolder).mkdir(QStringLiteral("TAVLO.ini")));
        d.window().close();
        QCOMPARE(d.t.messages.shown.value(0).text, QStringLiteral("Unexpected Error!\r\nCannot WRITE file ") + d.t.path(QStringLiteral("TAVLO.ini")));
        QVERIFY(d.t.ending.ended());

        // The desk's identity cannot be read at the start: its message, then the end.
        TestPlatform t;
        t.addEmptyDatabase();
        t.addDisplayFiles();
        QVERIFY(QDir(t.platform.programFolder).mkdir(QStringLiteral("TAVLO-Desk.id")));
        QVERIFY(!Console(t.platform).start() && t.ending.ended());
        QCOMPARE(t.messages.shown.value(0).text, QStringLiteral("Unexpected Error!\r\nCannot READ file ") + t.path(QStringLiteral("TAVLO-Desk.id")));
    }

    void missingDisplayFiles_data()
    {
        QTest::addColumn<QStringList>("present");
        QTest::addColumn<QStringList>("messages");
        const QString page = QStringLiteral("TAVLO-Display.hta file is missing!\r\nVideo display will not be possible.");
        const QString picture = QStringLiteral("TAVLO-Display.jpg file is missing!\r\nThere will be no background image\r\non the video display.");
        QTest::newRow("both missing") << QStringList() << QStringList({page, picture});
        QTest::newRow("page only") << QStringList{"TAVLO-Display.hta"} << QStringList({picture});
        QTest::newRow("other letter case counts") << QStringList({"tavlo-display.HTA", "Tavlo-Display.JPG"}) << QStringList();
    }

    void missingDisplayFiles()
    {
        QFETCH(QStringList, present);
        QFETCH(QStringList, messages);
        TestPlatform t;
        t.addEmptyDatabase();
        for (const QString &name : present)
            t.writeFile(name, "x");
        Console console(t.platform);
        QVERIFY(console.start());
        QVERIFY(!t.ending.ended());
        QStringList shown;
        for (const auto &s : t.messages.shown) {
            shown << s.text;
            QCOMPARE(s.icon, s.text.startsWith(QStringLiteral("TAVLO-Display.hta")) ? MessageBox::Icon::Warning : MessageBox::Icon::Information);
        }
        QCOMPARE(shown, messages);
    }

    void startingRooms()
    {
        ConsoleFixture empty;
        QVERIFY(empty.loaded);
        QCOMPARE(empty.gamesPanel().list()->model()->rowCount(), 0);
        QCOMPARE(empty.gamesPanel().selectedRow(), -1);
        QVERIFY(empty.gamesPanel().button(Cmd::Add)->isEnabled());
        QVERIFY(!empty.gamesPanel().button(Cmd::Save)->isEnabled());
        QVERIFY(!empty.gamesPanel().nameEdit()->isEnabled());
        QVERIFY(!empty.playersPanel().isEnabled());

        ConsoleFixture c({{QStringLiteral("Poker"), {}}, {QStringLiteral("Omaha"), {"Anna"}}});
        QCOMPARE(c.gamesPanel().selectedRow(), 0);
        QCOMPARE(c.playersPanel().titleLabel()->text(), QStringLiteral("Poker"));
        for (const ConsoleFixture *fixture : {&empty, &c}) {
            const ListPanel &p = fixture->playersPanel();
            QCOMPARE(p.model()->rowCount(), 0);
            QVERIFY(!p.button(Cmd::Add)->isEnabled() && !p.button(Cmd::Save)->isEnabled() && !p.button(Cmd::DeleteAll)->isEnabled());
        }
    }

    void layoutFromTheControlTable()
    {
        ConsoleFixture c;
        QCOMPARE(c.window().size(), QSize(981, 607));
        QCOMPARE(c.gamesPanel().geometry(), QRect(48, 176, 393, 305));
        QCOMPARE(c.playersPanel().geometry(), QRect(520, 57, 417, 528));
        QCOMPARE(c.playersPanel().button(Cmd::Save)->geometry(), QRect(32, 432, 49, 25));
        QCOMPARE(c.gamesPanel().button(Cmd::MoveUp)->toolTip(), QStringLiteral("Move game up"));
        QCOMPARE(c.playersPanel().button(Cmd::DeleteAll)->toolTip(), QStringLiteral("Delete ALL players"));
        QCOMPARE(c.window().findChild<QLabel *>(QStringLiteral("gamesHeading"))->text(), QStringLiteral(" Games"));
        QCOMPARE(c.playersPanel().nameEdit()->palette().color(QPalette::Base), QColor(0xFF, 0xFF, 0xC0));

        // Tab order runs from the games list through the players panel's Save.
        QWidget *w = c.gamesPanel().list();
        QStringList order{w->objectName()};
        for (int i = 0; i < 18; ++i) {
            w = w->nextInFocusChain();
            while (w->focusPolicy() == Qt::NoFocus || w->objectName().isEmpty())
                w = w->nextInFocusChain();
            order << w->objectName();
        }
        QCOMPARE(order, QStringList({"gameList", "moveGameUpButton", "moveGameDownButton", "deleteGameButton", "addGameButton",
                                     "gameNameEdit", "saveGameButton", "playerList", "movePlayerUpButton",
                                     "movePlayerDownButton", "movePlayerToTopButton", "blinkButton", "starButton",
                                     "phoneButton", "deletePlayerButton", "deleteAllPlayersButton", "addPlayerButton",
                                     "playerNameEdit", "savePlayerButton"}));
    }

    void startMaximizedRoundTrip()
    {
        ConsoleFixture c;
        // Stored maximized: the window opens maximized.
        c.t.writeFile(QStringLiteral("TAVLO.ini"), c.t.readFile(QStringLiteral("TAVLO.ini")).replace("Start_Maximized=False", "Start_Maximized=True"));
        {
            Console console(c.t.platform);
            QVERIFY(console.start());
            QVERIFY(console.window()->windowState() & Qt::WindowMaximized);
            console.window()->show();
            console.window()->showNormal();
            console.window()->close();
        }
        QVERIFY(c.t.readFile(QStringLiteral("TAVLO.ini")).endsWith("Start_Maximized=False\r\n"));
        {
            Console console(c.t.platform);
            QVERIFY(console.start());
            console.window()->showMaximized();
            QTRY_VERIFY(console.window()->isMaximized());
            console.window()->close();
        }
        QVERIFY(c.t.readFile(QStringLiteral("TAVLO.ini")).endsWith("Start_Maximized=True\r\n"));
    }

    void windowScalesAsAWhole()
    {
        ConsoleFixture c({{QStringLiteral("Poker"), {"Anna"}}});
        MainWindow &window = c.window();
        QTRY_VERIFY(window.findChild<ProportionalScaler *>()->hasRecorded());
        const QRect frame = c.playersPanel().geometry();
        const QRect button = c.playersPanel().button(Cmd::Save)->geometry();
        const double font = c.playersPanel().list()->font().pointSizeF();
        window.resize(window.width() * 2, window.height() * 2);
        QTRY_COMPARE(c.playersPanel().geometry(), QRect(frame.topLeft() * 2, frame.size() * 2));
        QCOMPARE(c.playersPanel().button(Cmd::Save)->geometry(), QRect(button.topLeft() * 2, button.size() * 2));
        QCOMPARE(c.playersPanel().list()->font().pointSizeF(), font * 2);
        // The vendor's address sits where the layout puts it, and scales with the rest.
        QCOMPARE(window.vendorLink()->pos(), QPoint(368, 496) * 2);
        window.resize(981, 607);
        QTRY_COMPARE(c.playersPanel().geometry(), frame);
        QCOMPARE(c.playersPanel().list()->font().pointSizeF(), font);
    }

    // The window's first picture waits for nothing it does not show: the board is published
    // and the version asked for after it.
    void afterTheFirstPaint()
    {
        TestPlatform t;
        t.addEmptyDatabase();
        t.addDisplayFiles();
        const QString board = t.path(QStringLiteral("TAVLO-Display.txt"));
        FirstPaintWatch watch;
        watch.board = board;
        qApp->installEventFilter(&watch);
        for (const bool online : {false, true}) {
            t.connectivity.online = online;
            QFile::remove(board);
            watch.boardAtPaint.reset();
            int checks = 0;
            bool windowShown = false;
            QTimer::singleShot(100, qApp, &QCoreApplication::quit);
            runConsole(t.platform, [&](MainWindow &window) {
                ++checks;
                windowShown = window.isVisible() && QFileInfo::exists(board) && !window.windowIcon().isNull();
            });
            QCOMPARE(checks, online ? 1 : 0);
            QCOMPARE(windowShown, online);
            QCOMPARE(watch.boardAtPaint, std::optional<bool>(false));
            QVERIFY(QFileInfo::exists(board));
        }
        QCOMPARE(t.connectivity.probes, 2);

        // A window that is never painted (minimized, say) still gets the rest, once.
        QWidget hidden;
        int runs = 0;
        afterFirstPaint(hidden, [&] { ++runs; });
        QTRY_COMPARE_WITH_TIMEOUT(runs, 1, 5000);
        hidden.show();
        QVERIFY(QTest::qWaitForWindowExposed(&hidden));
        QTest::qWait(20);
        QCOMPARE(runs, 1);
    }

    // Another database chosen in the settings window: the window closes and the console starts
    // again on it, without a second version check.
    void startsAgainOnAnotherDatabase()
    {
        TestPlatform t;
        t.addEmptyDatabase();
        t.addEmptyDatabase(QStringLiteral("Other.mdb"));
        t.addDisplayFiles();
        t.connectivity.online = true;
        int checks = 0;
        QStringList shownOn; // the database of each console window seen by the end
        QTimer end;
        QObject::connect(&end, &QTimer::timeout, qApp, [&] {
            for (QWidget *w : QApplication::topLevelWidgets()) {
                if (qobject_cast<MainWindow *>(w) && w->isVisible())
                    shownOn << QString::fromUtf8(t.readFile(QStringLiteral("TAVLO.ini"))).section(u'\r', 0, 0);
            }
            QCoreApplication::quit();
        });
        runConsole(t.platform, [&](MainWindow &window) {
            ++checks;
            QTimer::singleShot(0, &window, [&] {
                window.settingsAction()->trigger();
                auto *settings = window.findChild<SettingsWindow *>();
                settings->findChild<QLineEdit *>(QStringLiteral("databaseFileEdit"))->setText(t.path(QStringLiteral("Other.mdb")));
                settings->findChild<QPushButton *>(QStringLiteral("saveButton"))->click();
                end.start(200);
            });
        });
        QCOMPARE(checks, 1);
        QCOMPARE(shownOn.value(0), QStringLiteral("DataBase=") + t.path(QStringLiteral("Other.mdb")));
    }
};

QTEST_MAIN(TestConsole)
#include "tst_console.moc"
