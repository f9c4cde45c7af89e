#include "ConsoleFixture.h"
#include "CsvReader.h"
#include "FullFileSystem.h"

#include "console/GameEntryDelegate.h"
#include "console/ReportsWindow.h"
#include "room/WaitEstimates.h"

#include <QAbstractBarSeries>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QDateEdit>
#include <QLabel>
#include <QLineSeries>
#include <QMenu>
#include <QTest>

using namespace tavlo;
using namespace tavlo::test;

namespace {

int minutes(int n)
{
    return n * 60 * 1000;
}

// The actions of the context menu a list opens, read while it is open and then closed.
QList<QAction *> contextMenuOf(QAbstractItemView *list)
{
    QList<QAction *> actions;
    QTimer::singleShot(0, list, [&actions] {
        if (auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())) {
            actions = menu->actions();
            menu->close();
        }
    });
    emit list->customContextMenuRequested(QPoint(5, 5));
    return actions;
}

QBarSet *barSet(QChart *chart, int index)
{
    return static_cast<QAbstractBarSeries *>(chart->series().at(0))->barSets().at(index);
}

} // namespace

class TestReports : public QObject {
    Q_OBJECT
private slots:
    // A shift at the desk: four players seated from the top (one of them, D, after 40 minutes
    // on the list), two added.
    void shiftAtTheDesk()
    {
        ConsoleFixture f({{QStringLiteral("1/2 NL"), {"A", "B", "C"}}, {QStringLiteral("PLO"), {}}});
        QVERIFY(f.loaded);
        FixedClock &clock = f.t.clock;
        const QDateTime start = clock.now();
        Room &room = f.room();
        const qint64 game = room.games()[0].id;
        QVERIFY(room.addPlayer(game, QStringLiteral("D")));
        for (const int at : {10, 20, 25, 40}) {
            clock.set(start.addMSecs(minutes(at)));
            QVERIFY(room.deletePlayer(game, room.games()[0].players[0].id));
        }
        clock.set(start.addMSecs(minutes(45)));
        QVERIFY(room.addPlayer(game, QStringLiteral("E")));
        clock.set(start.addMSecs(minutes(50)));

        // Beside the game its estimate; the entry's text stays the name. Four departures in
        // the last hour (D = 8) over T = 110 + 60 minutes with someone waiting: 2 × 170 / 8.
        QListView *games = f.gamesPanel().list();
        auto *delegate = qobject_cast<GameEntryDelegate *>(games->itemDelegate());
        QVERIFY(delegate);
        const QModelIndex first = games->model()->index(0, 0);
        QTRY_COMPARE(delegate->estimateText(first), QStringLiteral("25 min\u20131 h 30 min"));
        QCOMPARE(first.data().toString(), QStringLiteral("1/2 NL"));
        QCOMPARE(delegate->estimateText(games->model()->index(1, 0)), QStringLiteral("not enough data"));

        // Ctrl+R opens the reports on today's report.
        QTest::keyClick(&f.window(), Qt::Key_R, Qt::ControlModifier);
        ReportsWindow *reports = f.console->reportsWindow();
        QVERIFY(reports);
        QTRY_VERIFY(reports->isVisible());

        auto *waiting = qobject_cast<QLineSeries *>(reports->waitingChart()->series().value(0));
        QVERIFY(waiting);
        QCOMPARE(reports->waitingChart()->series().size(), 1); // PLO never had anyone
        QCOMPARE(waiting->name(), QStringLiteral("1/2 NL"));
        const ShiftReport &report = reports->report();
        const auto playersAt = [&](int minute) {
            return waiting->at(int(report.from.msecsTo(start.addMSecs(minutes(minute))) / report.stepMs)).y();
        };
        QCOMPARE(playersAt(-60), 3.0); // the three from before the journal, counted back
        QCOMPARE(playersAt(0), 4.0);
        QCOMPARE(playersAt(12), 3.0);
        QCOMPARE(playersAt(42), 0.0);
        QCOMPARE(playersAt(46), 1.0);

        QCOMPARE(barSet(reports->waitTimesChart(), 0)->label(), QStringLiteral("Median"));
        QCOMPARE(barSet(reports->waitTimesChart(), 0)->at(0), 40.0); // only D's time was known
        QCOMPARE(barSet(reports->waitTimesChart(), 1)->at(0), 40.0);

        const int hour = start.toLocalTime().time().hour();
        QBarSet *added = barSet(reports->hoursChart(), 0);
        QBarSet *removed = barSet(reports->hoursChart(), 1);
        QCOMPARE(added->count(), 24);
        QCOMPARE(added->at(hour), 2.0);
        QCOMPARE(removed->at(hour), 4.0);
        QCOMPARE(added->sum() + removed->sum(), 6.0);
        QVERIFY2(reports->summaryLabel()->text().contains(
                         QStringLiteral("6 changes, 2 players added, 4 removed. Longest list: 1/2 NL, 4 waiting")),
                 qPrintable(reports->summaryLabel()->text()));

        // The exports, through the window's buttons.
        QStringList asked;
        reports->setFileChooser([&](const QString &, const QString &suggested, const QString &) {
            asked << suggested;
            return f.t.path(suggested);
        });
        QTest::mouseClick(reports->findChild<QPushButton *>(QStringLiteral("exportCsvButton")), Qt::LeftButton);
        QTest::mouseClick(reports->findChild<QPushButton *>(QStringLiteral("exportPdfButton")), Qt::LeftButton);
        const QString stem = QStringLiteral("TAVLO-") + report.from.toLocalTime().date().toString(Qt::ISODate);
        QCOMPARE(asked, QStringList({stem + ".csv", stem + ".pdf"}));
        const std::optional<QList<QStringList>> rows = readCsv(f.t.readFile(stem + ".csv"));
        QVERIFY(rows);
        QCOMPARE(rows->size(), 7);
        QCOMPARE(rows->at(2).mid(1), QStringList({"1/2 NL", "A", "deleted from place 1", ""}));
        QVERIFY(f.t.readFile(stem + ".pdf").startsWith("%PDF"));
        QVERIFY(f.t.messages.shown.isEmpty());

        // A file that cannot be written is said so, and the window stays.
        QVERIFY(!reports->exportCsv(f.t.path(QStringLiteral("no/such/folder/x.csv"))).isEmpty());
        QVERIFY(!reports->exportPdf(f.t.path(QStringLiteral("no/such/folder/x.pdf"))).isEmpty());
        // A full device is written to, and its failure told; it stays a device.
        const QString full = makeFullDevice(f.t.platform.programFolder);
        QVERIFY(full.isEmpty() || reports->exportCsv(full).contains(QLatin1String("No space left")));
        QVERIFY(!QFileInfo(full).isFile());
    }

    // Both lists' context menus offer the reports, with the key.
    void contextMenus()
    {
        ConsoleFixture f({{QStringLiteral("1/2 NL"), {"A"}}});
        QVERIFY(f.loaded);
        QAction *reports = f.window().reportsAction();
        QCOMPARE(reports->shortcut(), QKeySequence(QStringLiteral("Ctrl+R")));
        QVERIFY(contextMenuOf(f.gamesPanel().list()).contains(reports));
        QVERIFY(contextMenuOf(f.playersPanel().list()).contains(reports));
        reports->trigger();
        QVERIFY(f.console->reportsWindow());
        QTRY_VERIFY(f.console->reportsWindow()->isVisible());

        // With the reports open, closing the main window still ends the program.
        QTimer::singleShot(0, &f.window(), [&f] { f.window().close(); });
        QTimer stuck;
        stuck.setSingleShot(true);
        connect(&stuck, &QTimer::timeout, qApp, [] { QCoreApplication::exit(2); });
        stuck.start(10000);
        QCOMPARE(QApplication::exec(), 0);
    }

    // Days before the journal began, or a span given backwards, make an empty report.
    void quietDays()
    {
        ConsoleFixture f({{QStringLiteral("1/2 NL"), {"A", "B"}}});
        QVERIFY(f.loaded);
        f.console->showReports();
        ReportsWindow *reports = f.console->reportsWindow();
        const QDate today = f.t.clock.now().toLocalTime().date();
        QVERIFY(reports->showDays(today.addDays(-3), today.addDays(-5)));
        QCOMPARE(reports->firstDayEdit()->date(), today.addDays(-5));
        QCOMPARE(reports->report().changes, 0);
        // The two players from before the journal waited the whole span.
        QCOMPARE(reports->report().waiting.size(), 1);
        QCOMPARE(reports->report().waiting[0].peak, 2);
        QCOMPARE(barSet(reports->hoursChart(), 0)->sum(), 0.0);
        QCOMPARE(reports->waitTimesChart()->series().size(), 1);
    }
};

QTEST_MAIN(TestReports)
#include "tst_reports.moc"
