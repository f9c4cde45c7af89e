#include "PostgresServer.h"
#include "TestPlatform.h"

#include "app/Console.h"
#include "console/ListPanel.h"
#include "console/MainWindow.h"
#include "room/Room.h"
#include "store/WaitingListStore.h"

#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSysInfo>
#include <QTest>

#include <memory>

using namespace tavlo;
using Cmd = PanelCommand;
using namespace tavlo::test;

namespace {

// A console in a program folder of its own, on the room's database, publishing its board there.
struct Desk {
    TestPlatform t;
    std::unique_ptr<Console> console;

    explicit Desk(const QString &address)
    {
        t.addDisplayFiles();
        t.writeFile(QStringLiteral("TAVLO.ini"), "DataBase=" + address.toUtf8() + "\r\nFilePath=\r\n");
        console = std::make_unique<Console>(t.platform);
    }
    ListPanel &players() const { return *console->window()->playersPanel(); }
    QByteArray board() const { return t.readFile(QStringLiteral("TAVLO-Display.txt")); }
};

} // namespace

class TestDesks : public QObject {
    Q_OBJECT

    std::unique_ptr<PostgresServer> server;

private slots:
    void initTestCase()
    {
        server = std::make_unique<PostgresServer>();
        if (!server->isRunning())
            QSKIP(qPrintable(QStringLiteral("no PostgreSQL server to test with: ") + server->whyNot()));
    }

    // Two consoles on one database show the same room within a second of any change, each on
    // its own board, and keep what their operator had selected.
    void twoConsolesShowTheSameRoom()
    {
        const QString address = server->createDatabase(QStringLiteral("room"));
        Desk podium(address);
        QVERIFY(podium.console->start());
        const qint64 poker = *podium.console->room()->addGame(QStringLiteral("Poker"));
        podium.console->room()->addPlayer(poker, QStringLiteral("Anna"));
        Desk cage(address);
        QVERIFY(cage.console->start());
        cage.players().select(cage.players().model()->idAt(0));

        ListPanel &p = podium.players();
        podium.console->window()->gamesPanel()->select(podium.console->room()->games()[0].id);
        QTest::mouseClick(p.button(Cmd::Add), Qt::LeftButton);
        p.nameEdit()->setText(QStringLiteral("Ben<star>"));
        QTest::mouseClick(p.button(Cmd::Save), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(cage.players().model()->rowCount(), 2, 1000);
        QCOMPARE(cage.players().selectedRow(), 0);
        QCOMPARE(cage.players().nameEdit()->text(), QStringLiteral("Anna"));
        QTRY_COMPARE_WITH_TIMEOUT(cage.board(), podium.board(), 1000);
        QVERIFY(cage.board().contains("<tr><td>Ben&#9733;</td></tr>"));

        // The cage acts on a player the podium has just removed: it is told, and shows the room.
        podium.players().select(podium.players().model()->idAt(0));
        QTest::mouseClick(podium.players().button(Cmd::Delete), Qt::LeftButton);
        QTest::mouseClick(cage.players().button(Cmd::Star), Qt::LeftButton);
        QCOMPARE(cage.t.messages.shown.size(), 1);
        QCOMPARE(cage.t.messages.shown[0].icon, MessageBox::Icon::Warning);
        QVERIFY(cage.t.messages.shown[0].text.startsWith(QStringLiteral("Another desk has just changed this list")));
        QVERIFY(!cage.t.ending.ended());
        QTRY_COMPARE(cage.players().model()->rowCount(), 1);
    }

    // Consoles on machines of one name (cloned kiosks) keep histories of their own: each
    // installation has its identity, kept beside its settings and written in the journal with the
    // machine's name. The first to start without one takes over what its machine wrote before.
    void desksOfOneNameKeepTheirOwnHistories()
    {
        const QString address = server->createDatabase(QStringLiteral("kiosks"));
        const QString host = QSysInfo::machineHostName();
        auto first = std::make_unique<Desk>(address);
        qint64 poker = 0;
        {
            WaitingListStore store(address);
            Room before(store, first->t.clock, {.hostName = host});
            QVERIFY(before.load());
            poker = *before.addGame(QStringLiteral("Poker"));
        }
        QVERIFY(first->console->start());
        QCOMPARE(first->console->room()->undoText(), QStringLiteral("Undo add of game Poker"));
        QVERIFY(first->console->room()->addPlayer(poker, QStringLiteral("Bob")));
        Desk second(address);
        QVERIFY(second.console->start());
        QVERIFY(!second.console->room()->canUndo());
        QVERIFY(second.console->room()->addPlayer(poker, QStringLiteral("Cy")));

        // The journal files each change under its installation, with the machine's name.
        const QString firstId = QString::fromLatin1(first->t.readFile(QStringLiteral("TAVLO-Desk.id")).trimmed());
        const QString secondId = QString::fromLatin1(second.t.readFile(QStringLiteral("TAVLO-Desk.id")).trimmed());
        WaitingListStore reader(address);
        reader.open();
        QCOMPARE(reader.history(firstId).size(), 2);
        QCOMPARE(reader.history(secondId).value(0).desk, host);

        // A restart keeps the installation's history.
        first->console = std::make_unique<Console>(first->t.platform);
        QVERIFY(first->console->start());
        QCOMPARE(first->console->room()->undoText(), QStringLiteral("Undo add of Bob to Poker"));
    }

    void unreachableServer()
    {
        Desk nowhere(QStringLiteral("postgresql://tavlo@%2Fnonexistent%2Fsocket:5432/room"));
        QVERIFY(!nowhere.console->start());
        QCOMPARE(nowhere.t.messages.shown.size(), 1);
        QVERIFY2(nowhere.t.messages.shown[0].text.startsWith(
                     QStringLiteral("postgresql://tavlo@/room?host=/nonexistent/socket&port=5432 is missing or cannot\r\n"
                                    "connect to the database server\r\n\r\n")),
                 qPrintable(nowhere.t.messages.shown[0].text));
        QVERIFY(nowhere.t.ending.ended());
    }
};

QTEST_MAIN(TestDesks)
#include "tst_desks.moc"
