#include "core/DisplayWriter.h"
#include "core/PlayerMarkers.h"
#include "core/StoreError.h"
#include "FullFileSystem.h"
#include "TestPlatform.h"
#include "core/WindowState.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QtTest>

using namespace tavlo;
using tavlo::test::TestPlatform;

namespace {

using Game = TestPlatform::Game;

struct Board {
    TestPlatform t;
    WindowState state;
    Board()
    {
        t.addEmptyDatabase();
        state.DatabasePath = t.path(QStringLiteral("TAVLO.mdb"));
        state.FilePath = t.platform.programFolder + QLatin1Char('/');
        state.PlayersPerListRow1 = 15;
        state.PlayersPerListRow2 = 10;
    }
    void seed(const QList<Game> &games) { TestPlatform::seed(state.DatabasePath, games); }
    QStringList lines()
    {
        CreateHTML(state, t.platform.programFolder);
        const QByteArray bytes = t.readFile(QStringLiteral("TAVLO-Display.txt"));
        if (!bytes.endsWith("\r\n"))
            return {QStringLiteral("<missing final CR LF>")};
        QStringList out = QString::fromUtf8(bytes).split(QStringLiteral("\r\n"));
        out.removeLast();
        return out;
    }
};

QStringList players(int n)
{
    QStringList out;
    for (int i = 0; i < n; ++i)
        out << QStringLiteral("P%1").arg(i);
    return out;
}

} // namespace

class TestDisplayWriter : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void workedExample()
    {
        Board b;
        b.state.PlayersPerListRow1 = 3;
        b.state.ListWidth = 0;
        b.seed({{QStringLiteral("Poker"), {"Anna<star>", "Ben<blink>", "Carl<blink><star><phone>"}},
                {QStringLiteral("Blackjack"), {}}});
        CreateHTML(b.state, b.t.platform.programFolder);
        const QByteArray expected =
            "<table border='0' width='100%'><tr>\r\n"
            "<td width='50%' valign='top' align='center'><table border='0' width='90%' class='list' cellspacing='0' cellpadding='1'><tr><td class='listhead'>Poker</td></tr>\r\n"
            "<tr><td>Anna&#9733;</td></tr>\r\n"
            "<tr><td><blink>Ben</blink></td></tr>\r\n"
            "<tr><td><blink>Carl&#9733;&#9742;</blink></td></tr>\r\n"
            "</table></td>\r\n"
            "<td width='50%' valign='top' align='center'><table border='0' width='90%' class='list' cellspacing='0' cellpadding='1'><tr><td class='listhead'>Blackjack</td></tr>\r\n"
            "<tr><td>&nbsp;</td></tr>\r\n"
            "<tr><td>&nbsp;</td></tr>\r\n"
            "<tr><td>&nbsp;</td></tr>\r\n"
            "</table></td>\r\n"
            "</tr><tr><td width='50%'>&nbsp;</td></tr><tr>\r\n"
            "</tr></table>\r\n";
        QCOMPARE(b.t.readFile(QStringLiteral("TAVLO-Display.txt")), expected);
        QVERIFY(!b.state.Conn.isOpen());
    }

    void layoutForGameCounts_data()
    {
        QTest::addColumn<int>("games");
        QTest::addColumn<int>("firstRow");
        QTest::addColumn<int>("percent");
        QTest::newRow("0") << 0 << 0 << 100;
        QTest::newRow("1") << 1 << 1 << 100;
        QTest::newRow("2") << 2 << 2 << 50;
        QTest::newRow("3") << 3 << 3 << 33;
        QTest::newRow("4") << 4 << 4 << 25;
        QTest::newRow("5") << 5 << 5 << 20;
        QTest::newRow("6") << 6 << 3 << 33;
        QTest::newRow("7") << 7 << 4 << 25;
        QTest::newRow("11") << 11 << 6 << 17;
        QTest::newRow("16") << 16 << 8 << 12;
        QTest::newRow("40") << 40 << 20 << 5;
    }

    void layoutForGameCounts()
    {
        QFETCH(int, games);
        QFETCH(int, firstRow);
        QFETCH(int, percent);
        QCOMPARE(gamesInFirstRow(games), firstRow);
        QCOMPARE(columnPercent(games), percent);

        Board b;
        b.state.PlayersPerListRow1 = 1;
        b.state.PlayersPerListRow2 = 1;
        QList<Game> list;
        for (int g = 0; g < games; ++g)
            list.append({QStringLiteral("G%1").arg(g), {}});
        b.seed(list);
        const QStringList lines = b.lines();
        // Each game takes a head line, one row and a closing line; the spacer follows game S.
        const QString spacer = QStringLiteral("</tr><tr><td width='%1%'>&nbsp;</td></tr><tr>").arg(percent);
        if (games == 0) {
            QCOMPARE(lines, QStringList({"<table border='0' width='100%'><tr>", "</tr></table>"}));
            return;
        }
        QCOMPARE(lines.indexOf(spacer), 1 + 3 * firstRow);
        QCOMPARE(lines.count(spacer), 1);
        QCOMPARE(lines.size(), 3 + 3 * games);
        QVERIFY(lines[1].startsWith(QStringLiteral("<td width='%1%' valign='top'").arg(percent)));
        QVERIFY(lines[1].endsWith(QStringLiteral(">G0</td></tr>")));
        const int lastHead = 1 + 3 * (games - 1) + (games > firstRow ? 1 : 0);
        QVERIFY(lines[lastHead].endsWith(QStringLiteral(">G%1</td></tr>").arg(games - 1)));
    }

    void rowCapacities()
    {
        Board b;
        b.state.PlayersPerListRow1 = 3;
        b.state.PlayersPerListRow2 = 2;
        // Six games: the first three use R1 = 3, the second row R2 = 2.
        b.seed({{QStringLiteral("More"), players(5)},
                {QStringLiteral("Exact"), players(3)},
                {QStringLiteral("Short"), players(1)},
                {QStringLiteral("Second"), players(1)},
                {QStringLiteral("SecondFull"), players(4)},
                {QStringLiteral("SecondEmpty"), {}}});
        const QStringList lines = b.lines();
        const auto rowsOf = [&lines](const QString &game) {
            QStringList rows;
            int i = lines.indexOf(QRegularExpression(QStringLiteral(".*listhead'>%1<.*").arg(game))) + 1;
            while (i > 0 && i < lines.size() && lines[i] != QLatin1String("</table></td>"))
                rows << lines[i++];
            return rows;
        };
        const QString blank = QStringLiteral("<tr><td>&nbsp;</td></tr>");
        QCOMPARE(rowsOf(QStringLiteral("More")), QStringList({"<tr><td>P0</td></tr>", "<tr><td>P1</td></tr>", "<tr><td>P2</td></tr>"}));
        QCOMPARE(rowsOf(QStringLiteral("Exact")).size(), 3);
        QVERIFY(!rowsOf(QStringLiteral("Exact")).contains(blank));
        QCOMPARE(rowsOf(QStringLiteral("Short")), QStringList({"<tr><td>P0</td></tr>", blank, blank}));
        QCOMPARE(rowsOf(QStringLiteral("Second")), QStringList({"<tr><td>P0</td></tr>", blank}));
        QCOMPARE(rowsOf(QStringLiteral("SecondFull")), QStringList({"<tr><td>P0</td></tr>", "<tr><td>P1</td></tr>"}));
        QCOMPARE(rowsOf(QStringLiteral("SecondEmpty")), QStringList({blank, blank}));
    }

    void listWidthAndFallbacks_data()
    {
        QTest::addColumn<int>("rows1");
        QTest::addColumn<int>("rows2");
        QTest::addColumn<int>("width");
        QTest::addColumn<QString>("widthText");
        QTest::newRow("zero") << 0 << 0 << 0 << "90%";
        QTest::newRow("below one") << -5 << -1 << -50 << "90%";
        QTest::newRow("pixels") << 0 << 0 << 640 << "640";
    }

    void listWidthAndFallbacks()
    {
        QFETCH(int, rows1);
        QFETCH(int, rows2);
        QFETCH(int, width);
        QFETCH(QString, widthText);
        Board b;
        b.state.PlayersPerListRow1 = qint16(rows1);
        b.state.PlayersPerListRow2 = qint16(rows2);
        b.state.ListWidth = qint16(width);
        QList<Game> games;
        for (int i = 0; i < 6; ++i)
            games << Game{QStringLiteral("G%1").arg(i), {}};
        b.seed(games);
        const QStringList lines = b.lines();
        // The fallback stays in the window state, so the settings file receives it at exit.
        QCOMPARE(b.state.PlayersPerListRow1, 15);
        QCOMPARE(b.state.PlayersPerListRow2, 10);
        QCOMPARE(b.state.ListWidth, width);
        QCOMPARE(lines.count(QStringLiteral("<tr><td>&nbsp;</td></tr>")), 3 * 15 + 3 * 10);
        QVERIFY(lines[1].contains(QStringLiteral("<table border='0' width='%1' class='list'").arg(widthText)));
    }

    void namesAreNotEscaped()
    {
        Board b;
        b.state.PlayersPerListRow1 = 1;
        b.seed({{QStringLiteral("Hold'em <b>&</b>"), {"Zoë & <i>Co</i><star>"}}});
        const QStringList lines = b.lines();
        QVERIFY(lines[1].endsWith(QStringLiteral("<td class='listhead'>Hold'em <b>&</b></td></tr>")));
        QCOMPARE(lines[2], QStringLiteral("<tr><td>Zoë & <i>Co</i>&#9733;</td></tr>"));
    }

    void renderMarkers_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("shown");
        QTest::newRow("blink wraps symbols") << "Carl<blink><star><phone>" << "<blink>Carl&#9733;&#9742;</blink>";
        QTest::newRow("tags where they stand") << "A<star>B<blink>" << "<blink>A&#9733;B</blink>";
        QTest::newRow("repeated tags") << "X<star><star><blink><blink>" << "<blink>X&#9733;&#9733;</blink>";
        QTest::newRow("other case untouched") << "Y<STAR><Blink>" << "Y<STAR><Blink>";
    }

    void renderMarkers()
    {
        QFETCH(QString, stored);
        QFETCH(QString, shown);
        QCOMPARE(renderPlayerName(stored), shown);
    }

    void displayFilesCopiedWhenMissing()
    {
        Board b;
        QTemporaryDir show;
        b.state.FilePath = show.path() + QLatin1Char('/');
        b.t.writeFile(QStringLiteral("tavlo-display.HTA"), "page");
        b.t.writeFile(QStringLiteral("TAVLO-Display.jpg"), "picture");
        QFile existing(show.filePath(QStringLiteral("Tavlo-Display.JPG")));
        QVERIFY(existing.open(QIODevice::WriteOnly));
        existing.write("mine");
        existing.close();

        CreateHTML(b.state, b.t.platform.programFolder);
        QFile page(show.filePath(QStringLiteral("TAVLO-Display.hta")));
        QVERIFY(page.open(QIODevice::ReadOnly));
        QCOMPARE(page.readAll(), QByteArray("page"));
        // A picture already there under another letter case is left alone.
        QVERIFY(!QFileInfo::exists(show.filePath(QStringLiteral("TAVLO-Display.jpg"))));
        QVERIFY(QFileInfo::exists(show.filePath(QStringLiteral("TAVLO-Display.txt"))));
    }

    void failedWriteKeepsPreviousFragment()
    {
        Board b;
        b.seed({{QStringLiteral("Poker"), {"Anna"}}});
        CreateHTML(b.state, b.t.platform.programFolder);
        const QByteArray before = b.t.readFile(QStringLiteral("TAVLO-Display.txt"));
        QVERIFY(before.contains("Anna"));

        // A display folder that is gone: the writer fails with a report and leaves no partial file.
        b.state.FilePath = b.t.platform.programFolder + QStringLiteral("/gone/");
        QVERIFY_THROWS_EXCEPTION(StoreError, CreateHTML(b.state, b.t.platform.programFolder));
        b.state.Conn.Rollback();
        QCOMPARE(b.t.readFile(QStringLiteral("TAVLO-Display.txt")), before);

        // The fragment's name taken by a folder cannot be replaced either; nothing is left behind.
        QTemporaryDir show;
        QDir(show.path()).mkdir(QStringLiteral("TAVLO-Display.txt"));
        b.state.FilePath = show.path() + QLatin1Char('/');
        QVERIFY_THROWS_EXCEPTION(StoreError, CreateHTML(b.state, b.t.platform.programFolder));
        b.state.Conn.Rollback();
        QCOMPARE(QDir(show.path()).entryList(QDir::Files), QStringList());

        // A full display folder keeps the previous board on the screen.
        test::FullFileSystem disk;
        if (!disk.isMounted())
            QSKIP("a full file system needs root");
        b.state.FilePath = disk.folder() + QLatin1Char('/');
        CreateHTML(b.state, b.t.platform.programFolder);
        b.seed({{QStringLiteral("Blackjack"), {"Ben"}}});
        disk.fill();
        QVERIFY_THROWS_EXCEPTION(StoreError, CreateHTML(b.state, b.t.platform.programFolder));
        b.state.Conn.Rollback();
        QFile fragment(disk.path(QStringLiteral("TAVLO-Display.txt")));
        QVERIFY(fragment.open(QIODevice::ReadOnly));
        QCOMPARE(fragment.readAll(), before);
    }
};

QTEST_GUILESS_MAIN(TestDisplayWriter)
#include "tst_displaywriter.moc"
