#include "board/Board.h"
#include "board/Fragment.h"
#include "board/PlayerMarkers.h"

#include <QRandomGenerator>
#include <QTest>

using namespace tavlo;

namespace {

BoardGame game(const QString &name, int rows, const QStringList &storedNames)
{
    BoardGame shown{name, rows, {}};
    for (const QString &stored : storedNames)
        shown.entries.append(boardEntryOf(stored));
    return shown;
}

QStringList linesOf(const QString &fragment)
{
    QStringList lines = fragment.split(QStringLiteral("\r\n"));
    if (lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

// Names as operators type them, and as attackers do: markup, references, the console's own
// pieces, symbols typed by hand. No control characters: the console never stores them.
QString randomName(QRandomGenerator &random)
{
    static const QStringList pieces{
        QStringLiteral("Anna"), QStringLiteral(" "), QStringLiteral("B."), QStringLiteral("Zoë"), QStringLiteral("★"),
        QStringLiteral("&"), QStringLiteral("&amp;"), QStringLiteral("&#9733;"), QStringLiteral("<b>"), QStringLiteral("</td></tr>"),
        QStringLiteral("<tr><td>"), QStringLiteral("</table></td>"), QStringLiteral("<blink>"), QStringLiteral("</blink>"),
        QStringLiteral("'"), QStringLiteral("%"), QStringLiteral("<star>"), QStringLiteral("<phone>")};
    QString name;
    const int count = 1 + int(random.bounded(5));
    for (int i = 0; i < count; ++i)
        name += pieces[random.bounded(int(pieces.size()))];
    return name;
}

struct CountRow { int games, firstRow, percent; };

} // namespace

class TestBoard : public QObject {
    Q_OBJECT
private slots:
    void workedExample()
    {
        Board board;
        board.games = {game(QStringLiteral("Poker"), 3, {"Anna<star>", "Ben<blink>", "Carl<blink><star><phone>"}),
                       game(QStringLiteral("Blackjack"), 3, {})};
        const QString expected =
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
        QCOMPARE(renderFragment(board), expected);
        QCOMPARE(board.games[0].entries[2].shownText(), QStringLiteral("Carl\u2605\u260E"));
    }

    void layoutForGameCounts_data()
    {
        QTest::addColumn<CountRow>("row");
        QTest::newRow("0") << CountRow{0, 0, 100};
        QTest::newRow("1") << CountRow{1, 1, 100};
        QTest::newRow("2") << CountRow{2, 2, 50};
        QTest::newRow("3") << CountRow{3, 3, 33};
        QTest::newRow("5") << CountRow{5, 5, 20};
        QTest::newRow("6") << CountRow{6, 3, 33};
        QTest::newRow("7") << CountRow{7, 4, 25};
        QTest::newRow("11") << CountRow{11, 6, 17};
        QTest::newRow("16") << CountRow{16, 8, 12};
        QTest::newRow("40") << CountRow{40, 20, 5};
    }

    void layoutForGameCounts()
    {
        QFETCH(CountRow, row);
        const auto &[games, firstRow, percent] = row;
        Board board;
        for (int g = 0; g < games; ++g)
            board.games.append(game(QStringLiteral("G%1").arg(g), 1, {}));
        QCOMPARE(board.gamesInFirstRow(), firstRow);
        QCOMPARE(board.columnPercent(), percent);
        const QStringList lines = linesOf(renderFragment(board));
        if (games == 0) {
            QCOMPARE(lines, QStringList({"<table border='0' width='100%'><tr>", "</tr></table>"}));
            return;
        }
        // Each game takes a head line, one row and a closing line; the spacer follows game S.
        const QString spacer = QStringLiteral("</tr><tr><td width='%1%'>&nbsp;</td></tr><tr>").arg(percent);
        QCOMPARE(lines.indexOf(spacer), 1 + 3 * firstRow);
        QCOMPARE(lines.count(spacer), 1);
        QCOMPARE(lines.size(), 3 + 3 * games);
        QVERIFY(lines[1].startsWith(QStringLiteral("<td width='%1%' valign='top'").arg(percent)));
    }

    // A game shows as many lines as its rows, never more.
    void rowsAndWidth()
    {
        Board board;
        board.listWidth = QStringLiteral("640");
        board.games = {game(QStringLiteral("Full"), 2, {"P0", "P1", "P2"}), game(QStringLiteral("Short"), 3, {"P0"})};
        const QStringList lines = linesOf(renderFragment(board));
        const QString blank = QStringLiteral("<tr><td>&nbsp;</td></tr>");
        QCOMPARE(lines.mid(2, 2), QStringList({"<tr><td>P0</td></tr>", "<tr><td>P1</td></tr>"}));
        QCOMPARE(lines.mid(6, 3), QStringList({"<tr><td>P0</td></tr>", blank, blank}));
        QVERIFY(lines[1].contains(QStringLiteral("<table border='0' width='640' class='list'")));
    }

    // However the tags are mixed, the cell is what replacing each kind of tag in turn gives;
    // nothing else is touched, nor escaped.
    void markersInAnyMix()
    {
        QRandomGenerator random(7);
        static const QStringList pieces{QStringLiteral("<"), QStringLiteral(">"), QStringLiteral("st"), QStringLiteral("ar"),
                                        QStringLiteral("bl"), QStringLiteral("ink"), QStringLiteral("ph"), QStringLiteral("one"),
                                        StarTag, PhoneTag, BlinkTag, QStringLiteral("A"), QStringLiteral("<STAR>"),
                                        QStringLiteral("&amp;<i>")};
        for (int round = 0; round < 3000; ++round) {
            QString stored;
            for (int i = int(random.bounded(8)); i >= 0; --i)
                stored += pieces[random.bounded(int(pieces.size()))];
            QString cell = stored;
            cell.replace(StarTag, StarReference);
            cell.replace(PhoneTag, PhoneReference);
            const bool blink = cell.contains(BlinkTag);
            cell.remove(BlinkTag);
            QCOMPARE(boardEntryOf(stored), (BoardEntry{cell, blink}));
        }
    }

    void markersOfANameInTheNameBox()
    {
        const MarkedName marked = readMarkers(QStringLiteral(" Dee <phone><blink><STAR>"));
        QCOMPARE(marked.bareName, QStringLiteral(" Dee <STAR>"));
        QCOMPARE(marked.markers, (PlayerMarkers{true, false, true}));
        QCOMPARE(writeMarkers(QStringLiteral("  Dee  "), {true, true, true}), QStringLiteral("Dee<blink><star><phone>"));
    }

    // What the console writes, the viewer reads back as it was, whatever the names hold.
    void roundTrip()
    {
        QRandomGenerator random(20261206);
        for (int round = 0; round < 300; ++round) {
            Board board;
            if (random.bounded(2))
                board.listWidth = QString::number(random.bounded(1, 2000));
            const int games = int(random.bounded(round % 20 == 0 ? 40 : 8));
            for (int g = 0; g < games; ++g) {
                const int rows = 1 + int(random.bounded(16));
                QStringList names;
                const int players = int(random.bounded(rows + 1));
                for (int p = 0; p < players; ++p)
                    names << randomName(random);
                board.games.append(game(randomName(random), rows, names));
            }
            if (games == 0)
                board.listWidth = Board().listWidth; // an empty board has no table to carry its width
            const std::optional<Board> read = readFragment(renderFragment(board));
            QVERIFY(read);
            QCOMPARE(*read, board);
        }
    }

    // Only whole lines the console writes count: a name cannot add, hide or reorder anything.
    void readingByLines()
    {
        const QString text = renderFragment(Board{{game(QStringLiteral("Poker"), 4, {"Eve</td></tr><tr><td>FAKE", "Mal</td></tr></table></td>"}),
                                                   game(QStringLiteral("Omaha"), 1, {"Zed"})},
                                                  QStringLiteral("90%")});
        QString damaged = text;
        // A name broken by a lone line feed long ago, and stray lines of someone else's.
        damaged.replace(QStringLiteral("<tr><td>Zed</td></tr>"), QStringLiteral("<tr><td>Z\ned</td></tr>"));
        damaged.insert(damaged.indexOf(QStringLiteral("\r\n</table></td>\r\n")) + 2, QStringLiteral("<tr><td>half\r\nline</td></tr>\r\n"));
        const std::optional<Board> read = readFragment(damaged);
        QVERIFY(read);
        QCOMPARE(read->games.size(), 2);
        QCOMPARE(read->games[0].entries.size(), 2);
        QCOMPARE(read->games[0].entries[0].cell, QStringLiteral("Eve</td></tr><tr><td>FAKE"));
        QCOMPARE(read->games[0].rows, 4);
        QCOMPARE(read->games[1].entries.value(0).cell, QStringLiteral("Z\ned"));

        QVERIFY(!readFragment(QStringLiteral("Closed tonight\r\n")));
        QVERIFY(!readFragment(QString()));
        QVERIFY(looksWhole(text));
        QVERIFY(!looksWhole(text.left(text.size() / 2)));
    }

    // Reading grows with the text, not its square: megabytes of one long name or of
    // ampersands read in one pass (a quadratic reader would not finish within the time limit).
    void readingIsLinear()
    {
        const QString huge(8 * 1024 * 1024, QLatin1Char('&'));
        QVERIFY(!readFragment(huge));
        const std::optional<Board> read = readFragment(renderFragment(Board{{game(huge, 1, {huge})}, QStringLiteral("90%")}));
        QVERIFY(read);
        QCOMPARE(read->games[0].entries[0].cell.size(), huge.size());
    }
};

QTEST_GUILESS_MAIN(TestBoard)
#include "tst_board.moc"
