#include "FixedClock.h"
#include "FragmentSamples.h"
#include "TestPlatform.h"

#include "base/DisplayFiles.h"
#include "base/Settings.h"
#include "base/TextFile.h"
#include "board/BoardFile.h"
#include "board/ShownBoard.h"
#include "display/BoardView.h"
#include "display/DisplayWindow.h"
#include "display/FileWatcher.h"
#include "display/LiveBoardView.h"
#include "room/BoardPublisher.h"
#include "room/Room.h"
#include "store/WaitingListStore.h"

#include <QSet>
#include <QTest>

#include <numeric>

using namespace tavlo;
using namespace tavlo::display;
using namespace tavlo::test;

namespace {

using Kind = BoardItem::Kind;

const QDateTime kStart(QDate(2026, 12, 6), QTime(20, 0), Qt::UTC);

// `games` games "Game 1" … of players "P<game>-<position>" added a minute apart: `players` in
// the first game, `fewer` less in each next one, one at least.
BoardSnapshot room(int games, int players, const QDateTime &written = kStart, int fewer = 0)
{
    BoardSnapshot board;
    board.writtenAt = board.changedAt = written;
    for (int g = 1; g <= games; ++g) {
        WaitingGame game{QStringLiteral("Game %1").arg(g), {}, QString()};
        for (int p = 1; p <= std::max(1, players - (g - 1) * fewer); ++p)
            game.players.append({QStringLiteral("P%1-%2").arg(g).arg(p), {}, written.addSecs(-60 * p)});
        board.games.append(game);
    }
    return board;
}

template <typename View>
QStringList texts(const View &view, Kind kind)
{
    QStringList out;
    for (const BoardItem &item : view.items()) {
        if (item.kind == kind)
            out << item.text;
    }
    return out;
}

// What one game shows at a moment, as a line: "Game 3|15 waiting|page 2 of 3|6 P3-6|7 P3-7…".
QMap<int, QString> gamesShown(const LiveBoardView &view)
{
    QMap<int, QString> shown;
    for (const BoardItem &item : view.items()) {
        if (item.game >= 0 && item.kind != Kind::Waiting)
            shown[item.game] += (item.kind == Kind::Name ? QLatin1String(" ") : QLatin1String("|")) + item.text;
    }
    return shown;
}

// Whether some text covers another: where each is drawn, not its whole place.
bool textsOverlap(const QList<BoardItem> &items)
{
    QList<QRect> drawn;
    for (const BoardItem &item : items) {
        const QFontMetrics metrics(ViewerTheme::font(item.pixelSize, item.bold));
        drawn << metrics.boundingRect(item.rect, item.alignment, item.shownText);
        for (int i = 0; i + 1 < drawn.size(); ++i) {
            if (drawn[i].intersects(drawn.last()))
                return true;
        }
    }
    return false;
}

// players: in the first game; fewer: in each next one; seconds: a page's; smallest: pixels; pages: of the
// longest list; screens: of games
struct PagingRow { int games, players, fewer; QSize size; int seconds, smallest, pages, screens; };

// markers: star and phone; waited: seconds; below -1000 for no time known; players: at 90 the
// page stands beside the count; cut: the kind of text cut; -1: none
struct PanelRow { QString game, name; bool markers; int waited; QString since; int players; QString estimate; int cut; };

// heartbeat: seconds; age: seconds: how old the board says it is when first read; quiet: milliseconds after
// that without a new board
struct StaleRow { int heartbeat, age, quiet; bool stale; };

struct PrivacyRow { bool boardFile; QStringList games; bool privacy; QStringList headings, names; };

} // namespace

class TestLiveBoard : public QObject {
    Q_OBJECT
private slots:
    // Over one cycle every player comes round in order, on even pages that turn on time and say
    // so ("page 2 of 3"), readable, no text over another; games come in screens when many.
    void paging_data()
    {
        QTest::addColumn<PagingRow>("row");
        QTest::newRow("20 games of 15 at 1080") << PagingRow{20, 15, 0, {1920, 1080}, 8, 28, 5, 1};
        QTest::newRow("200 games of 200") << PagingRow{200, 200, 0, {1920, 1080}, 8, 28, 67, 10};
        QTest::newRow("3 long lists of 90, 60, 30") << PagingRow{3, 90, 30, {1920, 1080}, 8, 28, 4, 1};
        QTest::newRow("40 lists of 40 down to 1") << PagingRow{40, 40, 1, {1920, 1080}, 5, 28, 14, 2};
        QTest::newRow("a small room grows") << PagingRow{2, 3, 0, {1920, 1080}, 8, 50, 1, 1};
        QTest::newRow("a window, pages of 20 s") << PagingRow{9, 30, 3, {1280, 720}, 20, 19, 5, 1};
        QTest::newRow("a tiny window, pages of 2 s") << PagingRow{12, 8, 0, {320, 180}, 2, 10, 3, 3};
        QTest::newRow("screens of about as many games") << PagingRow{13, 8, 0, {320, 180}, 2, 10, 3, 4};
    }
    void paging()
    {
        QFETCH(PagingRow, row);
        const auto &[games, players, fewer, size, seconds, smallest, expectedPages, expectedScreens] = row;
        FixedClock clock;
        LiveBoardView view(clock);
        view.resize(size);
        view.setPageSeconds(seconds);
        const BoardSnapshot board = room(games, players, kStart, fewer);
        view.setBoard(board);
        const auto at = [&](qint64 ms) {
            clock.set(QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC));
            view.refresh();
            return gamesShown(view);
        };
        const qint64 page = seconds * 1000LL;
        const int turns = view.layout().turnsPerCycle();
        QVERIFY(turns < 1000);
        const qint64 start = 1000 * turns * page; // the cycle's first turn
        QHash<int, int> pageOf; // of each game shown on the turn before
        QSet<QString> seen;
        QSet<QString> screens;
        int mostPages = 1;
        for (int turn = 0; turn < turns; ++turn) {
            const QMap<int, QString> shown = at(start + turn * page);
            QCOMPARE(at(start + (turn + 1) * page - 1), shown);
            QHash<int, int> pages;
            for (auto it = shown.cbegin(); it != shown.cend(); ++it) {
                const int g = it.key();
                const int count = int(board.games[g].players.size());
                static const QRegularExpression label(QStringLiteral("\\|page \\d+ of (\\d+)"));
                const QRegularExpressionMatch match = label.match(it.value());
                const int n = match.hasMatch() ? match.captured(1).toInt() : 1;
                const int k = pages[g] = pageOf.contains(g) ? pageOf[g] % n + 1 : 1;
                const int each = (count + n - 1) / n; // pages of even length
                QString expected = QStringLiteral("|Game %1|%2 waiting").arg(g + 1).arg(count);
                if (n > 1)
                    expected += QStringLiteral("|page %1 of %2").arg(k).arg(n);
                for (int p = (k - 1) * each + 1; p <= std::min(count, k * each); ++p) {
                    expected += QStringLiteral("|%1 P%2-%1").arg(p).arg(g + 1);
                    seen.insert(QStringLiteral("P%1-%2").arg(g + 1).arg(p));
                }
                QCOMPARE(it.value(), expected);
                mostPages = std::max(mostPages, n);
            }
            pageOf = pages;
            for (const BoardItem &item : view.items())
                QVERIFY(view.rect().contains(item.rect) && (item.kind != Kind::Name || item.pixelSize >= smallest));
            const QString screen = QStringLiteral("games %1\u2013%2 of %3").arg(shown.firstKey() + 1).arg(shown.lastKey() + 1).arg(games);
            QCOMPARE(texts(view, Kind::Screens), shown.size() < games ? QStringList{screen} : QStringList());
            if (turn < 3 || !screens.contains(screen)) // each screen's layout, and a few pages
                QVERIFY(!textsOverlap(view.items()));
            screens.insert(screen);
        }
        QCOMPARE(at(start + turns * page), at(start));
        QCOMPARE(seen.size(), std::accumulate(board.games.cbegin(), board.games.cend(), qsizetype(0),
                                              [](qsizetype n, const WaitingGame &game) { return n + game.players.size(); }));
        QCOMPARE(mostPages, expectedPages);
        QCOMPARE(int(screens.size()), expectedScreens);
    }

    // A game says how many wait (asked to, with its estimate), each player's position, name,
    // markers and waiting time. Only what does not fit is cut with "…", to fit, the markers kept.
    void gamePanel_data()
    {
        QTest::addColumn<PanelRow>("row");
        const QString longName = QStringLiteral("Maximiliano Bartholomew Featherstonehaugh");
        const QString estimate = QStringLiteral("about 1 h 45 min, maybe 2 h");
        const int name = int(Kind::Name), heading = int(Kind::Heading), count = int(Kind::Count);
        QTest::newRow("all fits") << PanelRow{"Omaha", "Bob Stone", true, 0, "0 min", 2, "about 5 min", -1};
        QTest::newRow("a long name") << PanelRow{"Omaha", longName, false, -100000, "", 2, "", name};
        QTest::newRow("a long name keeps its markers") << PanelRow{"Omaha", longName, true, 59, "0 min", 2, "", name};
        QTest::newRow("a long game name")
            << PanelRow{"NL Hold'em Bomb Pot Deluxe Edition", "Bob", false, 750, "12 min", 2, "", heading};
        QTest::newRow("a long estimate") << PanelRow{"Omaha", "Bob", false, 3900, "1 h 05", 2, estimate + " or so", count};
        QTest::newRow("the count gives way to the page") << PanelRow{"Omaha", "Bob", false, 90000, "25 h 00", 90, estimate, count};
        QTest::newRow("the same count alone fits") << PanelRow{"Omaha", "Bob", false, -600, "0 min", 2, estimate, -1};
    }
    void gamePanel()
    {
        QFETCH(PanelRow, row);
        const auto &[game, name, markers, waited, since, players, estimate, cut] = row;
        FixedClock clock(QDateTime::fromMSecsSinceEpoch(0, Qt::UTC)); // the first page
        LiveBoardView view(clock);
        view.resize(1920, 1080);
        view.setShowEstimates(true);
        BoardSnapshot board = room(20, 2);
        WaitingGame &first = board.games[0] = room(1, players).games[0];
        first.name = game;
        first.estimate = estimate;
        first.players[0] = {name, {false, markers, markers}, waited < -1000 ? QDateTime() : clock.now().addSecs(-waited)};
        view.setBoard(board);
        const QString glyphs = markers ? QStringLiteral(" \u2605\u260E") : QString();
        const QList<BoardItem> &items = view.items();
        const qsizetype at = std::find_if(items.cbegin(), items.cend(), [&](const BoardItem &item) {
                                 return item.kind == Kind::Name && item.text.startsWith(name);
                             }) - items.cbegin();
        QVERIFY(at > 0 && at + 1 < items.size());
        const bool timed = items[at + 1].kind == Kind::Waiting;
        QCOMPARE(QStringList({items[at - 1].text, items[at].text}) + QStringList(timed ? items[at + 1].text : QString()),
                 QStringList({QStringLiteral("1"), name + glyphs}) + QStringList(since));
        int cuts = 0;
        for (const BoardItem &item : items) {
            const QFontMetrics metrics(ViewerTheme::font(item.pixelSize, item.bold));
            QVERIFY2(metrics.horizontalAdvance(item.shownText) <= item.rect.width(), qPrintable(item.shownText));
            if (item.shownText == item.text)
                continue;
            const QString tail = item.kind == Kind::Name ? glyphs : QString();
            QVERIFY2(item.game == 0 && int(item.kind) == cut && item.shownText.endsWith(QChar(0x2026) + tail),
                     qPrintable(item.shownText));
            QVERIFY(item.text.startsWith(item.shownText.chopped(tail.size() + 1)));
            ++cuts;
        }
        QCOMPARE(cuts, cut < 0 ? 0 : 1);
        QVERIFY(!textsOverlap(items));
        const QString waiting = QStringLiteral("%1 waiting").arg(players);
        QCOMPARE(texts(view, Kind::Count).value(0), estimate.isEmpty() ? waiting : waiting + QStringLiteral(" \u00b7 ") + estimate);
        view.setShowEstimates(false);
        QCOMPARE(texts(view, Kind::Count).value(0), waiting);
    }

    void stale_data()
    {
        QTest::addColumn<StaleRow>("row");
        QTest::newRow("three beats exactly") << StaleRow{10, 0, 30000, false};
        QTest::newRow("three beats and a moment") << StaleRow{10, 0, 30001, true};
        QTest::newRow("a slow writer's three") << StaleRow{60, 0, 180001, true};
        QTest::newRow("no beat said counts a second") << StaleRow{0, 0, 3001, true};
        QTest::newRow("left behind an hour ago") << StaleRow{10, 3600, 0, true};
        QTest::newRow("its age counts") << StaleRow{10, 20, 10001, true};
        QTest::newRow("a writer's clock ahead") << StaleRow{10, -600, 30000, false};
    }
    // The banner rises over the last state when the writes stop, says since when, and falls by
    // itself when a new board comes; the same board read again changes nothing.
    void stale()
    {
        QFETCH(StaleRow, row);
        const auto &[heartbeat, age, quiet, stale] = row;
        FixedClock clock(kStart);
        LiveBoardView view(clock);
        view.resize(1920, 1080);
        BoardSnapshot board = room(3, 4, kStart.addSecs(-age));
        board.heartbeatSeconds = heartbeat;
        view.setBoard(board);
        clock.advance(quiet);
        view.refresh();
        QCOMPARE(view.isStale(), stale);
        const QString banner = QStringLiteral("\u26A0 Not updated since %1")
                                       .arg(kStart.addSecs(-std::max(0, age)).toLocalTime().toString(QStringLiteral("HH:mm")));
        QCOMPARE(texts(view, Kind::Banner), stale ? QStringList{banner} : QStringList());
        QCOMPARE(texts(view, Kind::Name).size(), 12);
        const QColor band = view.grab().toImage().pixelColor(1, view.layout().header.center().y());
        QCOMPARE(band == ViewerTheme::of(ViewerTheme::Kind::Standard).bannerBackground, stale);

        clock.advance(3000LL * std::max(1, heartbeat) + 1);
        view.setBoard(board);
        QVERIFY(view.isStale());
        board.writtenAt = board.writtenAt.addSecs(1); // a new board counts from now, whatever it says
        view.setBoard(board);
        QVERIFY(!view.isStale());

        // So does a new heartbeat; the first counts from when it was written.
        clock.advance(3000LL * std::max(1, heartbeat) + 1);
        view.setHeartbeat(kStart);
        QVERIFY(view.isStale());
        view.setHeartbeat(kStart.addSecs(1));
        QVERIFY(!view.isStale());
        clock.advance(3000LL * std::max(1, heartbeat) + 1);
        view.setHeartbeat(kStart.addSecs(1));
        QVERIFY(view.isStale());
    }

    // Written by the console's publisher from the room into the folder its TAVLO.ini names,
    // found, read and shown by the viewer of the same program folder, however FilePath ends.
    void roundTripFromTheRoom_data()
    {
        QTest::addColumn<QByteArray>("settings"); // "-" for none; @ is a folder of the test's own
        QTest::addColumn<QString>("folder");      // where both look, in that folder
        QTest::newRow("as the console writes it") << QByteArray("FilePath=@/board/\r\n") << "board/";
        QTest::newRow("no separator at the end") << QByteArray("FilePath=@/board\r\n") << "board/";
        QTest::newRow("a Windows-style end") << QByteArray("FilePath=@/board\\\r\n") << "board\\/";
        QTest::newRow("the later line, in any case") << QByteArray("FilePath=@/x/\r\nfilepath=@/board") << "board/";
        QTest::newRow("empty: the program folder") << QByteArray("DataBase=@/TAVLO.mdb\r\nFilePath=\r\n") << "";
        QTest::newRow("no settings file yet") << QByteArray("-") << "";
    }
    void roundTripFromTheRoom()
    {
        QFETCH(QByteArray, settings);
        QFETCH(QString, folder);
        TestPlatform t;
        t.addEmptyDatabase();
        TestPlatform::seed(t.path(QStringLiteral("TAVLO.mdb")), {{QStringLiteral("Poker"), {"Anna Brown<star>"}}});
        if (settings != "-")
            t.writeFile(QStringLiteral("TAVLO.ini"), settings.replace('@', t.platform.programFolder.toUtf8()));
        QVERIFY(QDir().mkpath(t.path(folder)));
        Settings read;
        bool firstRun = false;
        QVERIFY(!SettingsFile(t.platform.programFolder).load(read, firstRun));
        WaitingListStore store(t.path(QStringLiteral("TAVLO.mdb")));
        Room model(store, t.clock);
        BoardPublisher publisher(model, read, t.platform.programFolder, t.clock);
        QVERIFY(model.load());
        QVERIFY(publisher.publish());
        QCOMPARE(publisher.fragmentPath(), t.path(folder + DisplayFragmentName));
        QVERIFY(QFileInfo(publisher.fragmentPath()).isFile() && QFileInfo(publisher.boardFilePath()).isFile());

        ViewerOptions options;
        options.privacy = true;
        DisplayWindow window(t.platform.programFolder, options, t.clock);
        QCOMPARE(window.fragmentWatcher()->path(), publisher.fragmentPath());
        QCOMPARE(window.boardFileWatcher()->path(), publisher.boardFilePath());
        window.resize(1920, 1080);
        window.show();
        window.start();
        QVERIFY(window.showsBoardFile());
        QCOMPARE(window.liveView()->board(), shownBoard(publisher.snapshot(), {}, true));

        t.clock.advance(5 * 60 * 1000);
        QVERIFY(model.addPlayer(model.games()[0].id, QStringLiteral("Ben Carter<blink><phone>")));
        QVERIFY(publisher.settle());
        t.clock.advance(12 * 60 * 1000);
        window.fragmentWatcher()->check();
        window.boardFileWatcher()->check();
        QCOMPARE(window.liveView()->board().games[0].players.size(), 2);
        QCOMPARE(texts(*window.liveView(), Kind::Name), (QStringList{"Anna B. \u2605", "Ben C. \u260E"}));
        QCOMPARE(texts(*window.liveView(), Kind::Waiting), QStringList{"12 min"});
        QCOMPARE(texts(*window.liveView(), Kind::LastChange).value(0).right(5),
                 t.clock.now().addSecs(-12 * 60).toLocalTime().toString(QStringLiteral("HH:mm")));

        // A call counts down beside the name from when the desk made it, an away counts up.
        const Game &poker = model.games()[0];
        QVERIFY(model.callPlayer(poker.id, poker.players[0].id) && model.setAway(poker.id, poker.players[1].id, true));
        QVERIFY(publisher.settle());
        t.clock.advance(48'000);
        window.boardFileWatcher()->check();
        QCOMPARE(texts(*window.liveView(), Kind::Call), QStringList{"called 4:12"});
        QCOMPARE(texts(*window.liveView(), Kind::Waiting), QStringList{"away 0:48"});

        // The console's heartbeat keeps the quiet board fresh; without beats it goes stale.
        QCOMPARE(window.heartbeatWatcher()->path(), publisher.heartbeatPath());
        t.clock.advance(25 * 1000);
        QVERIFY(publisher.writeHeartbeat());
        window.heartbeatWatcher()->check();
        t.clock.advance(10 * 1000);
        window.liveView()->refresh();
        QVERIFY(!window.liveView()->isStale());
        t.clock.advance(21 * 1000);
        window.liveView()->refresh();
        QVERIFY(window.liveView()->isStale());
    }

    // Without a board file it can read, the screen shows the fragment as always, and takes
    // the board file back as soon as there is a good one.
    void fallsBackToTheFragment_data()
    {
        QTest::addColumn<QByteArray>("boardFile"); // "-" for none
        QTest::newRow("missing") << QByteArray("-");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("unreadable") << QByteArray("{\"format\":\"TAVLO board\",\"version\":1,\"games\":[}");
    }
    void fallsBackToTheFragment()
    {
        QFETCH(QByteArray, boardFile);
        TestPlatform t;
        t.writeFile(QStringLiteral("TAVLO-Display.txt"), encodeSystemText(workedExample()));
        if (boardFile != "-")
            t.writeFile(BoardFileName, boardFile);
        DisplayWindow window(t.platform.programFolder, {}, t.clock);
        window.fragmentWatcher()->setPollInterval(20);
        window.boardFileWatcher()->setPollInterval(20);
        window.show();
        window.start();
        QVERIFY(!window.showsBoardFile());
        QVERIFY(!window.boardFileProblem().isEmpty());
        QCOMPARE(texts(*window.fragmentView(), BoardItem::Kind::Name), workedExampleTexts().mid(1, 3));

        QCOMPARE(writeFileAtomically(t.path(BoardFileName), encodeBoardFile(room(2, 2, t.clock.now()))), QString());
        QTRY_VERIFY(window.showsBoardFile());
        QCOMPARE(texts(*window.liveView(), Kind::Heading), (QStringList{"Game 1", "Game 2"}));
        QVERIFY(QFile::remove(t.path(BoardFileName)));
        QTRY_VERIFY(!window.showsBoardFile());
        QCOMPARE(texts(*window.fragmentView(), BoardItem::Kind::Heading), (QStringList{"Poker", "Blackjack"}));
    }

    // A side room shows its own games, a public screen initials, whichever file it reads.
    void gamesAndPrivacy_data()
    {
        QTest::addColumn<PrivacyRow>("row");
        const QStringList all{"Omaha Hi-Lo", "Omaha [2/5]", "Stud"};
        for (const bool file : {true, false}) {
            const QByteArray source = file ? "board file: " : "fragment: ";
            const QString star = file ? QStringLiteral(" \u2605") : QStringLiteral("\u2605");
            QTest::newRow(source + "everything") << PrivacyRow{file, {}, false, all, {"Alice Brown" + star, "Bob", "Carla di Marco"}};
            QTest::newRow(source + "a pattern") << PrivacyRow{file, {" OMAHA* "}, false, all.mid(0, 2), {"Alice Brown" + star, "Bob"}};
            QTest::newRow(source + "brackets are letters") << PrivacyRow{file, {"omaha [2/5]", "Razz"}, false, all.mid(1, 1), {"Bob"}};
            QTest::newRow(source + "nothing matches") << PrivacyRow{file, {"Razz"}, false, {}, {}};
            QTest::newRow(source + "privacy") << PrivacyRow{file, {}, true, all, {"Alice B." + star, "Bob", "Carla M."}};
        }
    }
    void gamesAndPrivacy()
    {
        QFETCH(PrivacyRow, row);
        const auto &[boardFile, games, privacy, headings, names] = row;
        TestPlatform t;
        BoardSnapshot board = room(0, 0, t.clock.now());
        board.games = {{QStringLiteral("Omaha Hi-Lo"), {{QStringLiteral("Alice Brown"), {false, true, false}, {}}}, {}},
                       {QStringLiteral("Omaha [2/5]"), {{QStringLiteral("Bob"), {}, {}}}, {}},
                       {QStringLiteral("Stud"), {{QStringLiteral("Carla di Marco"), {}, {}}}, {}}};
        if (boardFile)
            t.writeFile(BoardFileName, encodeBoardFile(board));
        const QStringList lines = fragmentLines(3, 2, 2, [](int g) {
            return QList<QStringList>{{"Alice Brown&#9733;"}, {"Bob"}, {"Carla di Marco"}}[g];
        });
        QString fragment = lines.join(QLatin1String("\r\n")) + QLatin1String("\r\n");
        fragment.replace(QLatin1String("Game 1"), QLatin1String("Omaha Hi-Lo"))
            .replace(QLatin1String("Game 2"), QLatin1String("Omaha [2/5]"))
            .replace(QLatin1String("Game 3"), QLatin1String("Stud"));
        t.writeFile(QStringLiteral("TAVLO-Display.txt"), encodeSystemText(fragment));

        ViewerOptions options;
        options.games = games;
        options.privacy = privacy;
        DisplayWindow window(t.platform.programFolder, options, t.clock);
        window.resize(1920, 1080);
        window.show();
        window.start();
        QCOMPARE(window.showsBoardFile(), boardFile);
        if (boardFile) {
            QCOMPARE(texts(*window.liveView(), Kind::Heading), headings);
            QCOMPARE(texts(*window.liveView(), Kind::Name), names);
            if (headings.isEmpty())
                QCOMPARE(texts(*window.liveView(), Kind::Count), QStringList{"No game here is named Razz"});
        } else {
            QCOMPARE(texts(*window.fragmentView(), BoardItem::Kind::Heading), headings);
            QCOMPARE(texts(*window.fragmentView(), BoardItem::Kind::Name), names);
        }
    }
};

QTEST_MAIN(TestLiveBoard)
#include "tst_liveboard.moc"
