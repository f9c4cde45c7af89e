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

#include <QScreen>
#include <QSet>
#include <QtTest>

using namespace tavlo;
using namespace tavlo::display;
using namespace tavlo::test;

namespace {

using Kind = LiveItem::Kind;

const QDateTime kStart(QDate(2026, 12, 6), QTime(20, 0), Qt::UTC);

// `games` games "Game 1" … of `players` players "P<game>-<position>" each, added a minute apart.
BoardSnapshot room(int games, int players, const QDateTime &written = kStart)
{
    BoardSnapshot board;
    board.writtenAt = written;
    board.changedAt = written;
    for (int g = 1; g <= games; ++g) {
        WaitingGame game{QStringLiteral("Game %1").arg(g), {}, QString()};
        for (int p = 1; p <= players; ++p)
            game.players.append({QStringLiteral("P%1-%2").arg(g).arg(p), {}, written.addSecs(-60 * p)});
        board.games.append(game);
    }
    return board;
}

QStringList texts(const LiveBoardView &view, Kind kind)
{
    QStringList out;
    for (const LiveItem &item : view.items()) {
        if (item.kind == kind)
            out << item.text;
    }
    return out;
}

QStringList texts(const BoardView &view, BoardItem::Kind kind)
{
    QStringList out;
    for (const BoardItem &item : view.items()) {
        if (item.kind == kind)
            out << item.text;
    }
    return out;
}

// Sets the clock to the start of a page turn of the view's rhythm and looks at it.
void turnTo(LiveBoardView &view, FixedClock &clock, qint64 turn, int pageSeconds = 8)
{
    clock.set(QDateTime::fromMSecsSinceEpoch(turn * pageSeconds * 1000, Qt::UTC));
    view.refresh();
}

QByteArray versionTwo()
{
    QByteArray bytes = encodeBoardFile(room(1, 1));
    return bytes.replace("\"version\":1", "\"version\":2");
}

} // namespace

class TestLiveBoard : public QObject {
    Q_OBJECT
private slots:
    // Over one cycle of pages every player of every game is on the screen, never below the
    // readable size, in the view and in no other panel's place.
    void everybodyReadableOncePerCycle_data()
    {
        QTest::addColumn<int>("games");
        QTest::addColumn<int>("players");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("smallest"); // pixels
        QTest::newRow("20 games of 15 at 1080") << 20 << 15 << QSize(1920, 1080) << 28;
        QTest::newRow("200 games of 200") << 200 << 200 << QSize(1920, 1080) << 28;
        QTest::newRow("3 long lists") << 3 << 90 << QSize(1920, 1080) << 28;
        QTest::newRow("a small room grows") << 2 << 3 << QSize(1920, 1080) << 50;
        QTest::newRow("a window") << 9 << 30 << QSize(1280, 720) << 19;
        QTest::newRow("a tiny window") << 12 << 8 << QSize(320, 180) << 10;
    }
    void everybodyReadableOncePerCycle()
    {
        QFETCH(int, games);
        QFETCH(int, players);
        QFETCH(QSize, size);
        QFETCH(int, smallest);
        FixedClock clock;
        LiveBoardView view(clock);
        view.resize(size);
        view.setBoard(room(games, players));
        QSet<QString> seen;
        const int turns = view.layout().turnsPerCycle();
        QVERIFY(turns < 1000);
        for (int turn = 0; turn < turns; ++turn) {
            turnTo(view, clock, 5000 + turn);
            const QList<PanelPlace> &panels = view.layout().screens[view.moment().screen].panels;
            for (int i = 0; i < panels.size(); ++i) {
                QVERIFY(view.rect().contains(panels[i].rect));
                for (int j = 0; j < i; ++j)
                    QVERIFY(!panels[i].rect.intersects(panels[j].rect));
            }
            for (const LiveItem &item : view.items()) {
                if (item.kind != Kind::Name)
                    continue;
                QVERIFY2(item.pixelSize >= smallest, qPrintable(QString::number(item.pixelSize)));
                QVERIFY(panels[item.game - panels.first().game].rect.contains(item.rect));
                seen.insert(item.text);
            }
        }
        QCOMPARE(seen.size(), games * players);
    }

    // The page turns with the clock, and says where it is.
    void pagesTurnWithTheClock()
    {
        FixedClock clock;
        LiveBoardView view(clock);
        view.resize(1920, 1080);
        view.setBoard(room(20, 15));
        const int pages = view.layout().screens[0].panels[0].pages;
        QVERIFY(pages > 1);
        turnTo(view, clock, 1000 * pages);
        QCOMPARE(texts(view, Kind::Page).value(0), QStringLiteral("page 1 of %1").arg(pages));
        QCOMPARE(texts(view, Kind::Count).value(0), QStringLiteral("15 waiting"));
        const QString firstOnPageOne = texts(view, Kind::Name).value(0);
        clock.advance(7999);
        view.refresh();
        QCOMPARE(texts(view, Kind::Name).value(0), firstOnPageOne);
        clock.advance(1);
        view.refresh();
        QCOMPARE(texts(view, Kind::Page).value(0), QStringLiteral("page 2 of %1").arg(pages));
        QVERIFY(texts(view, Kind::Name).value(0) != firstOnPageOne);

        view.setPageSeconds(20);
        turnTo(view, clock, 1000 * pages, 20);
        clock.advance(8000);
        view.refresh();
        QCOMPARE(texts(view, Kind::Page).value(0), QStringLiteral("page 1 of %1").arg(pages));
    }

    // Asked to, the count line carries the game's estimate where the board file has one.
    void estimatesBesideTheCount()
    {
        FixedClock clock;
        LiveBoardView view(clock);
        view.resize(1920, 1080);
        BoardSnapshot board = room(2, 3);
        board.games[0].estimate = QStringLiteral("about 25 min");
        view.setBoard(board);
        QCOMPARE(texts(view, Kind::Count), (QStringList{"3 waiting", "3 waiting"}));
        view.setShowEstimates(true);
        QCOMPARE(texts(view, Kind::Count), (QStringList{"3 waiting \u00b7 about 25 min", "3 waiting"}));
    }

    // Games that do not fit at a few names each come in screens, and the header says which.
    void screensOfGames()
    {
        FixedClock clock;
        LiveBoardView view(clock);
        view.resize(1920, 1080);
        view.setBoard(room(200, 1));
        QVERIFY(view.layout().screens.size() > 1);
        turnTo(view, clock, 0);
        const int onFirst = int(view.layout().screens[0].panels.size());
        QCOMPARE(texts(view, Kind::Screens), QStringList{QStringLiteral("games 1\u2013%1 of 200").arg(onFirst)});
        turnTo(view, clock, 1);
        QCOMPARE(texts(view, Kind::Heading).value(0), QStringLiteral("Game %1").arg(onFirst + 1));
    }

    void stale_data()
    {
        QTest::addColumn<int>("heartbeat");
        QTest::addColumn<int>("quiet"); // seconds after the last write
        QTest::addColumn<bool>("stale");
        QTest::newRow("two beats missed") << 10 << 30 << false;
        QTest::newRow("three beats missed") << 10 << 31 << true;
        QTest::newRow("a slow writer's beat") << 60 << 179 << false;
        QTest::newRow("a slow writer's three") << 60 << 181 << true;
    }
    // The banner rises over the last state when the writes stop, and falls by itself when they
    // come again.
    void stale()
    {
        QFETCH(int, heartbeat);
        QFETCH(int, quiet);
        QFETCH(bool, stale);
        FixedClock clock(kStart);
        LiveBoardView view(clock);
        view.resize(1920, 1080);
        BoardSnapshot board = room(3, 4);
        board.heartbeatSeconds = heartbeat;
        view.setBoard(board);
        clock.advance(quiet * 1000LL);
        view.refresh();
        QCOMPARE(view.isStale(), stale);
        const QString since = QStringLiteral("\u26A0 Not updated since %1").arg(kStart.toLocalTime().toString(QStringLiteral("HH:mm")));
        QCOMPARE(texts(view, Kind::Banner), stale ? QStringList{since} : QStringList());
        QCOMPARE(texts(view, Kind::Name).size(), 12);
        const QColor top = view.grab().toImage().pixelColor(view.width() / 2, 2);
        QCOMPARE(top == ViewerTheme::of(ViewerTheme::Kind::Standard).bannerBackground, stale);

        board.writtenAt = clock.now();
        view.setBoard(board);
        QVERIFY(!view.isStale());
        QCOMPARE(texts(view, Kind::Banner), QStringList());
    }

    // A board a stopped console left behind is stale as soon as it is shown.
    void leftBehindIsStaleAtOnce()
    {
        FixedClock clock(kStart.addSecs(3600));
        LiveBoardView view(clock);
        view.setBoard(room(1, 1, kStart));
        QVERIFY(view.isStale());
        view.setBoard(room(1, 1, kStart.addSecs(3599)));
        QVERIFY(!view.isStale());
    }

    void waitingTimes_data()
    {
        QTest::addColumn<int>("waited"); // seconds; below -1000 for no time known
        QTest::addColumn<QString>("shown");
        QTest::newRow("not known") << -100000 << QString();
        QTest::newRow("just added") << 0 << "0 min";
        QTest::newRow("a minute less a second") << 59 << "0 min";
        QTest::newRow("twelve minutes") << 12 * 60 + 30 << "12 min";
        QTest::newRow("over an hour") << 65 * 60 << "1 h 05";
        QTest::newRow("a day") << 25 * 3600 << "25 h 00";
        QTest::newRow("a clock ahead of ours") << -600 << "0 min";
    }
    void waitingTimes()
    {
        QFETCH(int, waited);
        QFETCH(QString, shown);
        FixedClock clock(kStart);
        LiveBoardView view(clock);
        view.resize(1920, 1080);
        BoardSnapshot board = room(1, 1);
        board.games[0].players[0].addedAt = waited < -1000 ? QDateTime() : kStart.addSecs(-waited);
        board.games[0].players[0].markers = {true, true, true};
        view.setBoard(board);
        QCOMPARE(texts(view, Kind::Waiting), shown.isEmpty() ? QStringList() : QStringList{shown});
        QCOMPARE(texts(view, Kind::Name), QStringList{QStringLiteral("P1-1 \u2605\u260E")});
        QCOMPARE(texts(view, Kind::Position), QStringList{QStringLiteral("1")});
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
        t.clock.advance(12 * 60 * 1000);
        window.fragmentWatcher()->check();
        window.boardFileWatcher()->check();
        QCOMPARE(window.liveView()->board().games[0].players.size(), 2);
        QCOMPARE(texts(*window.liveView(), Kind::Name), (QStringList{"Anna B. \u2605", "Ben C. \u260E"}));
        QCOMPARE(texts(*window.liveView(), Kind::Waiting), QStringList{"12 min"});
        QCOMPARE(texts(*window.liveView(), Kind::LastChange).value(0).right(5),
                 t.clock.now().addSecs(-12 * 60).toLocalTime().toString(QStringLiteral("HH:mm")));
    }

    // Without a board file it can read, the screen shows the fragment as always, and takes
    // the board file back as soon as there is a good one.
    void fallsBackToTheFragment_data()
    {
        QTest::addColumn<QByteArray>("boardFile"); // "-" for none
        QTest::newRow("missing") << QByteArray("-");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("unreadable") << QByteArray("{\"format\":\"TAVLO board\",\"version\":1,\"games\":[}");
        QTest::newRow("unknown version") << versionTwo();
        QTest::newRow("another program's JSON") << QByteArray("{\"name\":\"x\"}");
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
        QCOMPARE(texts(*window.fragmentView(), BoardItem::Kind::Entry), workedExampleTexts().mid(1, 3));

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
        QTest::addColumn<bool>("boardFile");
        QTest::addColumn<QStringList>("games");
        QTest::addColumn<bool>("privacy");
        QTest::addColumn<QStringList>("headings");
        QTest::addColumn<QStringList>("names");
        const QStringList all{"Omaha Hi-Lo", "Omaha [2/5]", "Stud"};
        for (const bool file : {true, false}) {
            const QByteArray source = file ? "board file: " : "fragment: ";
            const QString star = file ? QStringLiteral(" \u2605") : QStringLiteral("\u2605");
            QTest::newRow(source + "everything") << file << QStringList() << false << all
                                                 << QStringList{"Alice Brown" + star, "Bob", "Carla di Marco"};
            QTest::newRow(source + "a pattern") << file << QStringList{" OMAHA* "} << false << all.mid(0, 2)
                                                << QStringList{"Alice Brown" + star, "Bob"};
            QTest::newRow(source + "brackets are letters") << file << QStringList{"omaha [2/5]", "Razz"} << false
                                                           << all.mid(1, 1) << QStringList{"Bob"};
            QTest::newRow(source + "nothing matches") << file << QStringList{"Razz"} << false << QStringList() << QStringList();
            QTest::newRow(source + "privacy") << file << QStringList() << true << all
                                              << QStringList{"Alice B." + star, "Bob", "Carla M."};
        }
    }
    void gamesAndPrivacy()
    {
        QFETCH(bool, boardFile);
        QFETCH(QStringList, games);
        QFETCH(bool, privacy);
        QFETCH(QStringList, headings);
        QFETCH(QStringList, names);
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
            QCOMPARE(texts(*window.fragmentView(), BoardItem::Kind::Entry), names);
        }
    }

    // White on black, and the banner in yellow with black words.
    void highContrast()
    {
        FixedClock clock(kStart);
        LiveBoardView view(clock);
        view.resize(1280, 720);
        view.setTheme(ViewerTheme::of(ViewerTheme::Kind::HighContrast));
        view.setBackground(QImage(QSize(64, 64), QImage::Format_RGB32)); // no picture in this theme
        view.setBoard(room(2, 2));
        QImage image = view.grab().toImage();
        QCOMPARE(image.pixelColor(view.width() - 2, view.height() - 2), QColor(Qt::black));
        QSet<QRgb> colours;
        for (const LiveItem &item : view.items()) {
            if (item.kind == Kind::Name) {
                for (int x = item.rect.left(); x <= item.rect.right(); ++x)
                    colours.insert(image.pixel(x, item.rect.center().y()));
            }
        }
        QVERIFY(colours.contains(QColor(Qt::white).rgb()));
        clock.advance(60 * 1000);
        view.refresh();
        image = view.grab().toImage();
        QCOMPARE(image.pixelColor(view.width() / 2, 2), QColor(0xff, 0xe0, 0x00));
    }

    void screens()
    {
        const QList<QScreen *> all = QGuiApplication::screens();
        QCOMPARE(DisplayWindow::findScreen(QString()), QGuiApplication::primaryScreen());
        QCOMPARE(DisplayWindow::findScreen(QStringLiteral("1")), all.value(0));
        QCOMPARE(DisplayWindow::findScreen(QString::number(all.size() + 1)), nullptr);
        QCOMPARE(DisplayWindow::findScreen(QStringLiteral("0")), nullptr);
        QCOMPARE(DisplayWindow::findScreen(all.value(0)->name().toUpper()), all.value(0));
        QCOMPARE(DisplayWindow::findScreen(QStringLiteral("no such screen")), nullptr);
    }

    // The viewer's own settings file, then the command line over it.
    void options_data()
    {
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("expected"); // screen|games|seconds|theme|privacy|folder|estimates
        QTest::addColumn<int>("problems");
        QTest::newRow("defaults") << QByteArray() << QStringList() << "||8|standard|0||0" << 0;
        QTest::newRow("the file") << QByteArray("; the TV in the side room\r\n[Display]\r\nScreen=2\r\nGAMES = Omaha*, Stud ,\r\n"
                                                "Page_Seconds=12\r\ntheme=High-Contrast\r\nPrivacy=True\r\nDisplay_Folder=board\r\n"
                                                "Estimates=yes\r\n")
                                  << QStringList() << "2|Omaha*,Stud|12|high-contrast|1|@/board/|1" << 0;
        QTest::newRow("the command line wins")
            << QByteArray("Screen=2\nGames=Stud\nPage_Seconds=12\nTheme=high-contrast\nPrivacy=yes\n")
            << QStringList{"--screen", "HDMI-1", "--games", "Razz", "--page-seconds", "5", "--theme", "standard",
                           "--full-names", "-d", "/srv/tavlo", "--estimates"}
            << "HDMI-1|Razz|5|standard|0|/srv/tavlo/|1" << 0;
        QTest::newRow("the last of privacy and full names")
            << QByteArray() << QStringList{"--full-names", "--privacy"} << "||8|standard|1||0" << 0;
        QTest::newRow("mistakes in the file are passed over")
            << QByteArray("Page_Seconds=1\nTheme=pink\nPrivacy=maybe\nColour=red\njust words\nScreen=3\nEstimates=often\n")
            << QStringList() << "3||8|standard|0||0" << 6;
        QTest::newRow("mistakes on the command line") << QByteArray()
                                                      << QStringList{"--page-seconds", "soon", "--theme", "dark"}
                                                      << "||8|standard|0||0" << 2;
        QTest::newRow("a games pattern of a megabyte") << "Games=" + QByteArray(1 << 20, '?') + "\nScreen=2\n" << QStringList()
                                                       << "2||8|standard|0||0" << 1;
        QTest::newRow("a games pattern too long on the command line")
            << QByteArray() << QStringList{"--games", QString(5000, u'x'), "--screen", "2"} << "||8|standard|0||0" << 1;
    }
    void options()
    {
        QFETCH(QByteArray, settings);
        QFETCH(QStringList, arguments);
        QFETCH(QString, expected);
        QFETCH(int, problems);
        QCommandLineParser parser;
        addViewerOptions(parser);
        QVERIFY2(parser.parse(QStringList{"TAVLO-Display"} + arguments), qPrintable(parser.errorText()));
        ViewerOptions options;
        QStringList found = applyViewerSettings(settings, QStringLiteral("/etc/tavlo"), options);
        found += applyCommandLine(parser, QStringLiteral("/work"), options);
        QCOMPARE(found.size(), problems);
        for (const QString &problem : found)
            QVERIFY2(problem.size() < 200, qPrintable(problem.left(200)));
        const QString actual = QStringList{options.screen,
                                           options.games.join(u','),
                                           QString::number(options.pageSeconds),
                                           ViewerTheme::nameOf(options.theme),
                                           QString::number(options.privacy),
                                           options.displayFolder,
                                           QString::number(options.estimates)}
                                   .join(u'|');
        QCOMPARE(actual, QString(expected).replace(QLatin1String("@"), QLatin1String("/etc/tavlo")));
    }
};

QTEST_MAIN(TestLiveBoard)
#include "tst_liveboard.moc"
