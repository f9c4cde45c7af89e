#include "TestPlatform.h"
#include "base/Settings.h"
#include "board/BoardFile.h"
#include "room/BoardPublisher.h"
#include "room/Room.h"
#include "store/WaitingListStore.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QTest>

using namespace tavlo;
using namespace tavlo::test;

namespace {

const QByteArray kSettings = "Players_Per_List_Row1=15\r\nPlayers_Per_List_Row2=10\r\nList_Width=0\r\nStart_Maximized=False\r\n";

// Whether the positions of the rows `statement` returns (group, position; ordered) run from 0
// without gaps or repeats within each group.
bool gapless(const QStringList &rows)
{
    QString group;
    int expected = 0;
    for (const QString &row : rows) {
        const QStringList fields = row.split(QLatin1Char('|'));
        if (fields[0] != group) {
            group = fields[0];
            expected = 0;
        }
        if (fields[1].toInt() != expected++)
            return false;
    }
    return true;
}

} // namespace

class TestCrash : public QObject {
    Q_OBJECT

    TestPlatform t;

    QString database() const { return t.path(QStringLiteral("TAVLO.mdb")); }

    // The board the store implies, written by the console's own publisher into a folder of its
    // own: the fragment, and the board file's games.
    std::pair<QByteArray, QList<WaitingGame>> boardOfTheStore()
    {
        QTemporaryDir folder;
        Settings settings = Settings::defaults(folder.path());
        WaitingListStore store(database());
        Room room(store, t.clock);
        BoardPublisher publisher(room, settings, folder.path());
        if (!room.load() || !publisher.publish())
            return {"<unreadable store>", {}};
        QFile file(publisher.fragmentPath());
        return {file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray(), publisher.snapshot().games};
    }

    // Starts the console, which must publish the board of the store before it takes commands.
    bool startWorker(QProcess &worker, int seed)
    {
        worker.start(QStringLiteral(TAVLO_CRASH_WORKER), {t.platform.programFolder, QString::number(seed)});
        if (!worker.waitForStarted(30000))
            return false;
        while (!worker.canReadLine()) {
            if (!worker.waitForReadyRead(30000))
                return false;
        }
        return worker.readLine() == "ready\n";
    }

    void checkWhatIsOnDisk(int kill)
    {
        const QString where = QStringLiteral(" after kill %1").arg(kill);
        QCOMPARE(TestPlatform::rows(database(), QStringLiteral("pragma integrity_check")), QStringList{"ok"});
        QVERIFY2(gapless(TestPlatform::rows(database(), QStringLiteral("select 0, listbox_order from lists order by listbox_order"))),
                 qPrintable(QStringLiteral("games") + where));
        QVERIFY2(gapless(TestPlatform::rows(database(), QStringLiteral("select list_id, listbox_order from list_content "
                                                                          "order by list_id, listbox_order"))),
                 qPrintable(QStringLiteral("players") + where));
        QCOMPARE(TestPlatform::rows(database(), QStringLiteral("select count(*) from list_content "
                                                                 "where list_id not in (select id from lists)")),
                 QStringList{"0"});
        const QByteArray board = t.readFile(QStringLiteral("TAVLO-Display.txt"));
        QVERIFY2(board.startsWith("<table border='0' width='100%'><tr>\r\n") && board.endsWith("</tr></table>\r\n"),
                 qPrintable(QStringLiteral("fragment") + where));
        QVERIFY2(readBoardFile(t.readFile(BoardFileName)).isRead(), qPrintable(QStringLiteral("board file") + where));
        const QByteArray settings = t.readFile(QStringLiteral("TAVLO.ini"));
        QVERIFY2(settings.startsWith("DataBase=") && settings.count("\r\n") == 6 && settings.endsWith(kSettings),
                 qPrintable(QStringLiteral("settings") + where));
    }

private slots:
    void killedAtRandomMomentsLeavesEverythingWhole()
    {
        t.addEmptyDatabase();
        t.addDisplayFiles();
        t.writeFile(QStringLiteral("TAVLO.ini"), "DataBase=" + database().toUtf8() + "\r\nFilePath=" + t.platform.programFolder.toUtf8()
                                                     + "/\r\n" + kSettings);
        TestPlatform::seed(database(), {{QStringLiteral("Poker"), {"Anna", "Ben<star>", "Carl"}}, {QStringLiteral("Omaha"), {}},
                                        {QStringLiteral("Stud"), {"Dee<blink>"}}});
        QRandomGenerator random(20261206);
        constexpr int kills = 50;
        int killsWhilePublishing = 0;
        for (int kill = 0; kill <= kills; ++kill) {
            QProcess worker;
            QVERIFY2(startWorker(worker, kill), qPrintable(worker.errorString()));
            // Whatever publications the kill cut short, the start has published the store.
            const auto [fragment, games] = boardOfTheStore();
            QCOMPARE(t.readFile(QStringLiteral("TAVLO-Display.txt")), fragment);
            QList<WaitingGame> published = readBoardFile(t.readFile(BoardFileName)).board.games;
            for (WaitingGame &game : published)
                game.estimate.clear(); // the console's own, from its journal
            QCOMPARE(published, games);
            if (kill == kills) {
                worker.closeWriteChannel();
                QVERIFY(worker.waitForFinished(30000));
                break;
            }
            worker.write("go\n");
            // The moment of the kill is the point of this test: a random while after the first
            // command has landed, so that even a busy machine kills a console at work.
            QByteArray said = worker.readAll();
            for (; !said.contains("landed"); said += worker.readAll())
                QVERIFY(worker.waitForReadyRead(30000));
            QTest::qWait(int(random.bounded(0, 60)));
            worker.kill();
            killsWhilePublishing += (said + worker.readAll()).contains("publishing");
            QVERIFY(worker.waitForFinished(30000));
            checkWhatIsOnDisk(kill);
            if (QTest::currentTestFailed())
                return;
        }
        QVERIFY(killsWhilePublishing > 0);
        // Every run landed a command before its kill.
        QVERIFY(TestPlatform::rows(database(), QStringLiteral("select count(*) from journal")).value(0).toInt() >= kills);
    }
};

QTEST_GUILESS_MAIN(TestCrash)
#include "tst_crash.moc"
