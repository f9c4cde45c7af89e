#include "Fragment.h"
#include "FragmentSamples.h"

#include <QRandomGenerator>
#include <QtTest>

using namespace tavlo::display;
using namespace tavlo::test;

namespace {

const QString kStar = QString(QChar(0x2605));
const QString kPhone = QString(QChar(0x260E));

QString oneGame(const QString &cell)
{
    return QStringLiteral("<table border='0' width='100%'><tr><td><table class='list'><tr><td class='listhead'>G</td></tr>"
                          "<tr><td>%1</td></tr></table></td></tr></table>")
        .arg(cell);
}

QStringList numbered(int count)
{
    QStringList names;
    for (int i = 0; i < count; ++i)
        names << QStringLiteral("P%1").arg(i + 1);
    return names;
}

} // namespace

class TestFragment : public QObject {
    Q_OBJECT
private slots:
    void workedExample()
    {
        const Board board = parseFragment(joinCrLf(workedExampleLines()));
        QCOMPARE(board.rows.size(), 1);
        const auto &games = board.rows.first();
        QCOMPARE(games.size(), 2);
        QCOMPARE(games[0].name, QStringLiteral("Poker"));
        const QList<BoardEntry> poker{{QStringLiteral("Anna") + kStar, false},
                                      {QStringLiteral("Ben"), true},
                                      {QStringLiteral("Carl") + kStar + kPhone, true}};
        QCOMPARE(games[0].entries, poker);
        QCOMPARE(games[1].name, QStringLiteral("Blackjack"));
        QCOMPARE(games[1].entries.size(), 3);
        for (const BoardEntry &entry : games[1].entries)
            QVERIFY(entry.isBlank() && !entry.blink);
        QVERIFY(board.hasBlink());
        QCOMPARE(board.columnCount(), 2);
    }

    // Rows of games and the lines per game, as the console lays out n games.
    void rowsOfGames_data()
    {
        QTest::addColumn<int>("games");
        QTest::addColumn<QList<int>>("rowSizes");
        QTest::newRow("none") << 0 << QList<int>{};
        QTest::newRow("one") << 1 << QList<int>{1};
        QTest::newRow("five in one row") << 5 << QList<int>{5};
        QTest::newRow("six: 3 and 3") << 6 << QList<int>{3, 3};
        QTest::newRow("seven: 4 and 3") << 7 << QList<int>{4, 3};
        QTest::newRow("sixteen: 8 and 8") << 16 << QList<int>{8, 8};
    }
    void rowsOfGames()
    {
        QFETCH(int, games);
        QFETCH(QList<int>, rowSizes);
        const auto players = [](int g) { return numbered(g % 4 == 0 ? 20 : g); };
        const Board board = parseFragment(joinCrLf(fragmentLines(games, 15, 10, players)));
        QList<int> sizes;
        for (const auto &row : board.rows)
            sizes << int(row.size());
        QCOMPARE(sizes, rowSizes);
        int g = 0;
        for (int r = 0; r < board.rows.size(); ++r) {
            for (const BoardGame &game : board.rows[r]) {
                QCOMPARE(game.name, QStringLiteral("Game %1").arg(g + 1));
                QCOMPARE(game.entries.size(), r == 0 ? 15 : 10);
                const QStringList expected = players(g).mid(0, r == 0 ? 15 : 10);
                for (int i = 0; i < game.entries.size(); ++i)
                    QCOMPARE(game.entries[i].text, i < expected.size() ? expected[i] : QString());
                ++g;
            }
        }
        QCOMPARE(g, games);
    }

    // Names arrive unescaped: only the console's own tags are markup.
    void names_data()
    {
        QTest::addColumn<QString>("cell");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("blink");
        QTest::newRow("ampersand") << "R&D" << "R&D" << false;
        QTest::newRow("stray less-than") << "Tom <3" << "Tom <3" << false;
        QTest::newRow("foreign tag stays text") << "A<b>B</b>" << "A<b>B</b>" << false;
        QTest::newRow("script stays text") << "<script>x()</script>" << "<script>x()</script>" << false;
        QTest::newRow("tag-like text with a second <") << "<td x<y>Z" << "<td x<y>Z" << false;
        QTest::newRow("star and phone") << "Ann&#9733;&#x260E;" << QStringLiteral("Ann") + kStar + kPhone << false;
        QTest::newRow("decoded once") << "&amp;lt;" << "&lt;" << false;
        QTest::newRow("unknown entity") << "&bogus; &#;" << "&bogus; &#;" << false;
        QTest::newRow("null reference") << "a&#0;b" << QStringLiteral("a") + QChar(0xFFFD) + QStringLiteral("b") << false;
        QTest::newRow("out of range") << "a&#x110000;b" << QStringLiteral("a") + QChar(0xFFFD) + QStringLiteral("b") << false;
        QTest::newRow("blank runs collapse") << "  Ann \r\n  Lee &nbsp;" << "Ann Lee" << false;
        QTest::newRow("blink in capitals") << "<BLINK>Ben</BLINK>" << "Ben" << true;
        QTest::newRow("unclosed blink") << "<blink>Ben" << "Ben" << true;
        QTest::newRow("empty blink is blank") << "<blink>&nbsp;</blink>" << "" << false;
    }
    void names()
    {
        QFETCH(QString, cell);
        QFETCH(QString, text);
        QFETCH(bool, blink);
        const Board board = parseFragment(oneGame(cell));
        QCOMPARE(board.gameCount(), 1);
        const BoardGame &game = board.rows[0][0];
        QCOMPARE(game.name, QStringLiteral("G"));
        QCOMPARE(game.entries.size(), 1);
        QCOMPARE(game.entries[0].text, text);
        QCOMPARE(game.entries[0].blink, blink);
    }

    void unclosedBlinkStopsAtItsLine()
    {
        const Board board = parseFragment(QStringLiteral(
            "<table class='list'><tr><td class='listhead'>G</td></tr><tr><td><blink>A</td></tr><tr><td>B</td></tr></table>"));
        QCOMPARE(board.gameCount(), 1);
        const auto &entries = board.rows[0][0].entries;
        QCOMPARE(entries.size(), 2);
        QVERIFY(entries[0].blink);
        QVERIFY(!entries[1].blink);
    }

    // Files the console does not write are shown as well as they can be.
    void otherFiles_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("games");
        QTest::addColumn<QStringList>("firstGame"); // name, then the entries
        QTest::newRow("empty") << "" << 0 << QStringList{};
        QTest::newRow("blank lines") << " \r\n\r\n\t" << 0 << QStringList{};
        QTest::newRow("no games") << "<table border='0' width='100%'><tr>\r\n</tr></table>\r\n" << 0 << QStringList{};
        QTest::newRow("plain text") << "hello\r\nworld" << 1 << QStringList{"", "hello", "world"};
        QTest::newRow("cells without a list table")
            << "<table><tr><td class='listhead'>X</td><td>Y</td></tr></table>" << 1 << QStringList{"", "X", "Y"};
        QTest::newRow("list table cut short") << "<table class='list'><tr><td class='listhead'>Only" << 1
                                              << QStringList{"Only"};
        QTest::newRow("list without heading") << "<table class=\"x list\"><tr><td>A</td></tr></table>" << 1
                                              << QStringList{"", "A"};
        QTest::newRow("th heading, unquoted class") << "<table class=list><tr><th>H</th></tr><tr><td>A</td></tr></table>"
                                                    << 1 << QStringList{"H", "A"};
        QTest::newRow("stray closing tags") << "</table></tr></td></blink><table class='list'><tr><td>A</table>" << 1
                                            << QStringList{"", "A"};
    }
    void otherFiles()
    {
        QFETCH(QString, text);
        QFETCH(int, games);
        QFETCH(QStringList, firstGame);
        const Board board = parseFragment(text);
        QCOMPARE(board.gameCount(), games);
        QCOMPARE(board.isEmpty(), games == 0);
        if (games == 0)
            return;
        const BoardGame &game = board.rows[0][0];
        QStringList seen{game.name};
        for (const BoardEntry &entry : game.entries)
            seen << entry.text;
        QCOMPARE(seen, firstGame);
    }

    // Bounds keep a runaway file from swamping the screen.
    void runawayFiles()
    {
        const QString longName(5000, QLatin1Char('x'));
        const Board one = parseFragment(oneGame(longName));
        QCOMPARE(one.rows[0][0].entries[0].text.size(), 200);
        QVERIFY(one.rows[0][0].entries[0].text.endsWith(QChar(0x2026)));

        const Board many = parseFragment(joinCrLf(fragmentLines(120, 250, 250, [](int) { return QStringList(); })));
        QCOMPARE(many.gameCount(), 100);
        QCOMPARE(many.rows[0][0].entries.size(), 200);
    }

    // Every cut of a real fragment, and random bytes, parse without harm; a cut never invents
    // games or players that the whole file does not hold.
    void cutsAndNoise()
    {
        const QString whole = joinCrLf(workedExampleLines());
        const Board full = parseFragment(whole);
        for (int cut = 0; cut <= whole.size(); ++cut) {
            const Board part = parseFragment(QStringView(whole).left(cut));
            QVERIFY2(part.gameCount() <= 2, qPrintable(QString::number(cut)));
            for (int g = 0; g < part.gameCount(); ++g) {
                const BoardGame &seen = part.rows[0][g];
                const BoardGame &real = full.rows[0][g];
                // A tag cut in half is text, so the name may carry its remains.
                QVERIFY(real.name.startsWith(seen.name) || seen.name.startsWith(real.name));
                QVERIFY(seen.entries.size() <= real.entries.size());
            }
        }
        QRandomGenerator random(1234);
        const QString alphabet = QStringLiteral("<>/&#;=' \"tablerdcsinkx\r\n");
        for (int round = 0; round < 300; ++round) {
            QString noise;
            for (int i = 0; i < 400; ++i)
                noise += alphabet[random.bounded(int(alphabet.size()))];
            const Board board = parseFragment(noise);
            QVERIFY(board.gameCount() <= 100);
        }
    }

    void completeness_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("complete");
        QTest::newRow("whole") << joinCrLf(workedExampleLines()) << true;
        QTest::newRow("cut in a line") << joinCrLf(workedExampleLines()).left(200) << false;
        QTest::newRow("cut before the last line") << joinCrLf(workedExampleLines().mid(0, 12)) << false;
        QTest::newRow("capitals, no line end") << "<TABLE></TABLE>" << true;
        QTest::newRow("empty") << "" << false;
    }
    void completeness()
    {
        QFETCH(QString, text);
        QFETCH(bool, complete);
        QCOMPARE(looksComplete(text), complete);
    }
};

QTEST_GUILESS_MAIN(TestFragment)
#include "tst_fragment.moc"
