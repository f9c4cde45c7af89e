#include "ConsoleFixture.h"
#include "core/SettingsFile.h"
#include "app/xpEnable.h"
#include "components/AutoSizer.h"
#include "components/HotLabel.h"

#include <QLabel>
#include <QLineEdit>
#include <QtTest>

using namespace tavlo;
using namespace tavlo::test;

class TestForm1 : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void firstStart()
    {
        TestPlatform t;
        t.addEmptyDatabase();
        t.addDisplayFiles();
        Form1 form(t.platform);
        QVERIFY(form.Form_Load());
        QVERIFY(form.state().FirstRun);
        QVERIFY(t.readFile(QStringLiteral("TAVLO.ini")).startsWith("DataBase=" + t.path(QStringLiteral("TAVLO.mdb")).toUtf8() + "\r\n"));
        QVERIFY(t.messages.shown.isEmpty());
        QCOMPARE(form.lblVer->text(), QStringLiteral("1.0.0"));
        QCOMPARE(form.windowTitle(), QStringLiteral("TAVLO"));
        // The board is published once at start-up, even with no games.
        QCOMPARE(t.readFile(QStringLiteral("TAVLO-Display.txt")), QByteArray("<table border='0' width='100%'><tr>\r\n</tr></table>\r\n"));
    }

    void startRepublishesAStaleBoard()
    {
        // A crash between a change and its fragment leaves the old board; the next start mends it.
        TestPlatform t;
        t.addEmptyDatabase();
        t.addDisplayFiles();
        TestPlatform::seed(t.path(QStringLiteral("TAVLO.mdb")), {{QStringLiteral("Poker"), {"Anna<star>"}}});
        t.writeFile(QStringLiteral("TAVLO-Display.txt"), "<table border='0' width='100%'><tr>\r\n</tr></table>\r\n");
        Form1 form(t.platform);
        QVERIFY(form.Form_Load());
        const QByteArray board = t.readFile(QStringLiteral("TAVLO-Display.txt"));
        QVERIFY(board.contains("<tr><td>Anna&#9733;</td></tr>\r\n"));
        QVERIFY(board.endsWith("</tr></table>\r\n"));
    }

    void welcomeOnEveryActivationOfTheFirstRun()
    {
        TestPlatform t;
        t.addEmptyDatabase();
        t.addDisplayFiles();
        {
            Form1 form(t.platform);
            QVERIFY(form.Form_Load());
            form.show();
            QVERIFY(QTest::qWaitForWindowActive(&form));
            QTRY_COMPARE(t.messages.count(Form1::welcomeText()), 1);
            QCOMPARE(t.messages.shown.last().title, QStringLiteral("Welcome"));
            QCOMPARE(t.messages.shown.last().style, 0);
            QVERIFY(Form1::welcomeText().contains(QStringLiteral("TAVLO wating list on a large screen run TAVLO-Display.hta. Any")));
            QVERIFY(Form1::welcomeText().contains(QStringLiteral("Plasma or LCD.\r\n\r\nTo create a waiting list; add a game")));

            // Coming back from another window of ours shows it again, as long as this run created the settings.
            QWidget other;
            other.show();
            other.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&other));
            form.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&form));
            QTRY_COMPARE(t.messages.count(Form1::welcomeText()), 2);
            form.close();
        }
        // The next run is no first run.
        t.messages.shown.clear();
        Form1 again(t.platform);
        QVERIFY(again.Form_Load());
        again.show();
        QVERIFY(QTest::qWaitForWindowActive(&again));
        QTest::qWait(50);
        QCOMPARE(t.messages.count(Form1::welcomeText()), 0);
    }

    void missingDatabaseEndsBeforeTheWindow()
    {
        TestPlatform t;
        t.addDisplayFiles();
        const QByteArray settings = "DataBase=" + t.path(QStringLiteral("none.mdb")).toUtf8() + "\r\n";
        t.writeFile(QStringLiteral("TAVLO.ini"), settings);
        {
            Form1 form(t.platform);
            QVERIFY(!form.Form_Load());
            QVERIFY(t.ending.ended());
            QCOMPARE(t.messages.shown.size(), 1);
            QCOMPARE(t.messages.shown[0].text, t.path(QStringLiteral("none.mdb"))
                             + QStringLiteral(" is missing or cannot\r\nconnect to mapped drive/network location"));
            QCOMPARE(t.messages.shown[0].style, 16);
            QCOMPARE(t.messages.shown[0].title, QStringLiteral("TAVLO"));
        }
        // Ended at once: the settings were not written back.
        QCOMPARE(t.readFile(QStringLiteral("TAVLO.ini")), settings);
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
        Form1 form(t.platform);
        QVERIFY(form.Form_Load());
        QVERIFY(!t.ending.ended());
        QStringList shown;
        for (const auto &s : t.messages.shown) {
            shown << s.text;
            QCOMPARE(s.style, s.text.startsWith(QStringLiteral("TAVLO-Display.hta")) ? 48 : 64);
        }
        QCOMPARE(shown, messages);
    }

    void emptyGamesTable()
    {
        ConsoleFixture c;
        QVERIFY(c.loaded);
        QCOMPARE(c.gamesPanel().List1->count(), 0);
        QCOMPARE(c.gamesPanel().selectedIndex(), -1);
        QVERIFY(c.gamesPanel().cmdListsAdd->isEnabled());
        QVERIFY(!c.gamesPanel().cmdListsOk->isEnabled());
        QVERIFY(!c.gamesPanel().txtLists->isEnabled());
        QVERIFY(!c.playersPanel().cmdPlayersAdd->isEnabled());
        QVERIFY(!c.playersPanel().cmdPlayersOk->isEnabled());
        QVERIFY(!c.playersPanel().cmdPlayersClear->isEnabled());
        QVERIFY(!c.playersPanel().isEnabled());
    }

    void firstGameWithoutPlayers()
    {
        ConsoleFixture c({{QStringLiteral("Poker"), {}}, {QStringLiteral("Omaha"), {"Anna"}}});
        QCOMPARE(c.gamesPanel().selectedIndex(), 0);
        QCOMPARE(c.playersPanel().Label1->text(), QStringLiteral("Poker"));
        QCOMPARE(c.playersPanel().List2->count(), 0);
        QVERIFY(!c.playersPanel().cmdPlayersAdd->isEnabled());
        QVERIFY(!c.playersPanel().cmdPlayersOk->isEnabled());
        QVERIFY(!c.playersPanel().cmdPlayersClear->isEnabled());
    }

    void layoutFromTheControlTable()
    {
        ConsoleFixture c;
        QCOMPARE(c.form->size(), QSize(981, 607));
        QCOMPARE(c.form->Frame1->geometry(), QRect(48, 176, 393, 305));
        QCOMPARE(c.form->Frame2->geometry(), QRect(520, 57, 417, 528));
        QCOMPARE(c.playersPanel().cmdPlayersOk->geometry(), QRect(32, 432, 49, 25));
        QCOMPARE(c.gamesPanel().cmdListsUp->toolTip(), QStringLiteral("Move game up"));
        QCOMPARE(c.playersPanel().cmdPlayersClear->toolTip(), QStringLiteral("Delete ALL players"));
        QCOMPARE(c.form->Label5->text(), QStringLiteral(" Games"));
        QCOMPARE(c.playersPanel().txtPlayers->palette().color(QPalette::Base), QColor(0xFF, 0xFF, 0xC0));

        // Tab order runs from the games list through the players panel's Save.
        QWidget *w = c.gamesPanel().List1;
        QStringList order{w->objectName()};
        for (int i = 0; i < 18; ++i) {
            w = w->nextInFocusChain();
            while (w->focusPolicy() == Qt::NoFocus || w->objectName().isEmpty())
                w = w->nextInFocusChain();
            order << w->objectName();
        }
        QCOMPARE(order, QStringList({"List1", "cmdListsUp", "cmdListsDown", "cmdListsDelete", "cmdListsAdd", "txtLists",
                                     "cmdListsOk", "List2", "cmdPlayersUp", "cmdPlayersDown", "cmdPlayersTop",
                                     "cmdPlayersBlink", "cmdPlayersStar", "cmdPlayersPhone", "cmdPlayersDelete",
                                     "cmdPlayersClear", "cmdPlayersAdd", "txtPlayers", "cmdPlayersOk"}));
    }

    void startMaximizedRoundTrip()
    {
        ConsoleFixture c;
        // Stored maximized: the window opens maximized.
        c.t.writeFile(QStringLiteral("TAVLO.ini"), c.t.readFile(QStringLiteral("TAVLO.ini")).replace("Start_Maximized=False", "Start_Maximized=True"));
        {
            Form1 form(c.t.platform);
            QVERIFY(form.Form_Load());
            QVERIFY(form.windowState() & Qt::WindowMaximized);
            form.show();
            form.showNormal();
            form.close();
        }
        QVERIFY(c.t.readFile(QStringLiteral("TAVLO.ini")).endsWith("Start_Maximized=False\r\n"));
        {
            Form1 form(c.t.platform);
            QVERIFY(form.Form_Load());
            form.showMaximized();
            QTRY_VERIFY(form.isMaximized());
            form.close();
        }
        QVERIFY(c.t.readFile(QStringLiteral("TAVLO.ini")).endsWith("Start_Maximized=True\r\n"));
    }

    void windowScalesAsAWhole()
    {
        ConsoleFixture c({{QStringLiteral("Poker"), {"Anna"}}});
        QTRY_VERIFY(c.form->AutoSizer1->frm() != nullptr);
        const QRect frame = c.form->Frame2->geometry();
        const QRect button = c.playersPanel().cmdPlayersOk->geometry();
        const double font = c.playersPanel().List2->font().pointSizeF();
        c.form->resize(c.form->width() * 2, c.form->height() * 2);
        QTRY_COMPARE(c.form->Frame2->geometry(), QRect(frame.topLeft() * 2, frame.size() * 2));
        QCOMPARE(c.playersPanel().cmdPlayersOk->geometry(), QRect(button.topLeft() * 2, button.size() * 2));
        QCOMPARE(c.playersPanel().List2->font().pointSizeF(), font * 2);
        // The vendor's address sits where the layout puts it, and scales with the rest.
        QCOMPARE(c.form->HotLabel1->pos(), QPoint(368, 496) * 2);
        c.form->resize(981, 607);
        QTRY_COMPARE(c.form->Frame2->geometry(), frame);
        QCOMPARE(c.playersPanel().List2->font().pointSizeF(), font);
    }

    void subMainProbesOnlyAfterTheWindowIsShown()
    {
        TestPlatform t;
        t.addEmptyDatabase();
        t.addDisplayFiles();
        for (const bool online : {false, true}) {
            t.connectivity.online = online;
            int checks = 0;
            bool windowShown = false;
            QTimer::singleShot(100, qApp, &QCoreApplication::quit);
            SubMain(t.platform, [&](Form1 &form) {
                ++checks;
                windowShown = form.isVisible();
            });
            QCOMPARE(checks, online ? 1 : 0);
            QCOMPARE(windowShown, online);
        }
        QCOMPARE(t.connectivity.probes, 2);
    }
};

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
