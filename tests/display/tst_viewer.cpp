#include "AccessibleForm.h"
#include "FixedClock.h"
#include "FragmentSamples.h"
#include "TestPlatform.h"

#include "base/TextFile.h"
#include "board/Board.h"
#include "board/GameFilter.h"
#include "display/BoardView.h"
#include "base/DisplayFiles.h"
#include "display/DisplayWindow.h"
#include "display/FileWatcher.h"
#include "display/LiveBoardView.h"
#include "display/ScreenBoard.h"
#include "display/ViewerOptions.h"
#include "display/ViewerSettingsWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSpinBox>
#include <QTest>

using namespace tavlo;
using namespace tavlo::display;
using namespace tavlo::test;

namespace {

// Pixels bright enough to be the board's text (the background and panels are dark).
int textPixels(const QImage &image, const QRect &area)
{
    int count = 0;
    const QRect r = area.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            count += c.red() + c.green() + c.blue() > 3 * 150;
        }
    }
    return count;
}

template <typename View>
const BoardItem *findItem(const View &view, const QString &text)
{
    for (const BoardItem &item : view.items()) {
        if (item.text == text)
            return &item;
    }
    return nullptr;
}

QStringList itemTexts(const BoardView &view, bool withBlanks)
{
    QStringList texts;
    for (const BoardItem &item : view.items()) {
        if (withBlanks || item.kind != BoardItem::Kind::Blank)
            texts << item.text;
    }
    return texts;
}

// Every text is drawn, nothing on an empty line; Ben blinks: he disappears and comes back by
// turns, while Anna stays.
template <typename View, typename Board>
void blinks(View &view, const Board &board, const QString &anna)
{
    view.resize(1280, 720);
    view.setBlinkInterval(30);
    view.setBoard(board);
    QTRY_VERIFY(!view.blinkShown());
    const QImage hidden = view.grab().toImage();
    QTRY_VERIFY(view.blinkShown());
    const QImage shown = view.grab().toImage();
    for (const BoardItem &item : view.items())
        QVERIFY2((textPixels(shown, item.rect) > 10) == !item.shownText.isEmpty(), qPrintable(item.text));
    QCOMPARE(textPixels(hidden, findItem(view, QStringLiteral("Ben"))->rect), 0);
    const QRect still = findItem(view, anna)->rect;
    QCOMPARE(textPixels(hidden, still), textPixels(shown, still));
}

struct OptionsRow { QByteArray settings; QStringList arguments, changed; int problems; };

// shown: empty: as typed
struct NamesRow { QString name, shown; bool blink; };

} // namespace

class TestViewer : public QObject {
    Q_OBJECT
private slots:
    // The worked example: Poker's names one below the other, Blackjack in the next column level
    // with Poker, every text drawn, Ben blinking.
    void workedExampleOnScreen()
    {
        BoardView view;
        blinks(view, screenBoardOf(workedExample()), QStringLiteral("Anna\u2605"));
        const QStringList expected = workedExampleTexts();
        QCOMPARE(itemTexts(view, false), expected);
        for (int i = 1; i < 4; ++i)
            QVERIFY(findItem(view, expected[i - 1])->rect.bottom() < findItem(view, expected[i])->rect.top());
        const QRect poker = findItem(view, expected[0])->rect;
        const QRect blackjack = findItem(view, expected[4])->rect;
        QVERIFY(poker.right() < blackjack.left() && poker.top() == blackjack.top());
    }

    // The board file's texts alike, here white on black with yellow heads; once stale, the
    // banner in yellow with black words, the clock on it.
    void liveBoardOnScreen()
    {
        FixedClock clock;
        LiveBoardView live(clock);
        live.setTheme(ViewerTheme::of(ViewerTheme::Kind::HighContrast));
        live.setBackground(QImage(QSize(64, 64), QImage::Format_RGB32)); // no picture in this theme
        BoardSnapshot board;
        board.games = {{QStringLiteral("Poker"),
                        {{QStringLiteral("Anna"), {false, true, false}, {}}, {QStringLiteral("Ben"), {true, false, false}, {}}},
                        {}}};
        blinks(live, board, QStringLiteral("Anna \u2605"));
        // Whether the texts of a kind show a colour across their middle, on the black background.
        const auto shows = [&live](BoardItem::Kind kind, const QColor &colour) {
            const QImage image = live.grab().toImage();
            for (const BoardItem &item : live.items()) {
                for (int x = item.rect.left(); item.kind == kind && x <= item.rect.right(); ++x) {
                    if (image.pixelColor(x, item.rect.center().y()) == colour)
                        return image.pixelColor(image.width() - 2, image.height() - 2) == Qt::black;
                }
            }
            return false;
        };
        using Kind = BoardItem::Kind;
        const QColor yellow(0xff, 0xe0, 0x00);
        QVERIFY(shows(Kind::Name, Qt::white) && shows(Kind::Heading, yellow) && shows(Kind::Clock, Qt::white));
        clock.advance(60 * 1000);
        live.refresh();
        QVERIFY(shows(Kind::Banner, yellow) && shows(Kind::Banner, Qt::black));
        QVERIFY(shows(Kind::Clock, Qt::black) && !shows(Kind::Clock, Qt::white));
    }

    // A name too wide for its list is drawn smaller first, down to six tenths of the common size,
    // and only then cut with "…"; what is shown fits.
    void namesShrinkBeforeTheyAreCut_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("fit"); // 0: whole at the common size, 1: whole but smaller, 2: cut at the smallest size
        QTest::newRow("fits") << "Anna Smith" << 0;
        QTest::newRow("a little too wide") << "Maximiliano Bartholomew" << 1;
        QTest::newRow("far too wide") << "Maximiliano Bartholomew Featherstonehaugh-Smythe" << 2;
    }
    void namesShrinkBeforeTheyAreCut()
    {
        QFETCH(QString, name);
        QFETCH(int, fit);
        BoardView view;
        view.resize(1920, 1080);
        view.setBoard(screenBoardOf(
            fragmentLines(2, 3, 3, [&](int game) { return QStringList{game ? QStringLiteral("Bob") : name}; }).join(u'\n')));
        const BoardItem *item = findItem(view, name);
        const int common = findItem(view, QStringLiteral("Bob"))->pixelSize;
        QVERIFY(QFontMetrics(ViewerTheme::font(item->pixelSize, false)).horizontalAdvance(item->shownText) <= item->rect.width());
        QVERIFY(fit == 1 ? item->pixelSize < common && item->pixelSize > int(common * 0.6)
                         : item->pixelSize == (fit ? int(common * 0.6) : common));
        QCOMPARE(item->shownText, fit < 2 ? name : name.left(item->shownText.size() - 1) + QChar(0x2026));
    }

    // What the window shows for files the console does not write, and for names with markup in them.
    void fragmentsOfEveryKind_data()
    {
        QTest::addColumn<QByteArray>("bytes");  // "-" for no file at all
        QTest::addColumn<QStringList>("texts"); // empty: whatever it is, something shows
        const QStringList title{QStringLiteral("TAVLO")};
        QTest::newRow("missing") << QByteArray("-") << title;
        QTest::newRow("empty") << QByteArray() << title;
        QTest::newRow("plain text") << QByteArray("Closed tonight\r\n") << QStringList{"", "Closed tonight"};
        QTest::newRow("other markup is text") << QByteArray("<table class='list'><tr><td>R&D</td></tr></table>")
                                              << QStringList{"", "<table class='list'><tr><td>R&D</td></tr></table>"};
        QTest::newRow("megabytes of entity starts") << QByteArray(4 << 20, '&') << QStringList{"", QString(199, u'&') + QChar(0x2026)};
        QTest::newRow("garbage") << QByteArrayLiteral("\xff\xfe\0<td\x01&#;</blink><<\x80</table><tr>\x9d") << QStringList();
    }
    void fragmentsOfEveryKind()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, texts);
        TestPlatform program;
        if (bytes != "-")
            program.writeFile(DisplayFragmentName, bytes);
        DisplayWindow window(program.platform.programFolder);
        BoardView &view = *window.fragmentView();
        view.setBlinkInterval(1 << 30); // so that only a change repaints
        window.start();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        if (!texts.isEmpty())
            QCOMPARE(itemTexts(view, true), texts);
        QVERIFY(textPixels(window.grab().toImage(), window.rect()) > 0);

        // Then the console replaces it by a rename, again and again: each change on the screen within a second.
        QStringList lines = workedExampleLines();
        for (const QString &name : {QStringLiteral("Dana"), QStringLiteral("Eve")}) {
            lines[7] = QStringLiteral("<tr><td>%1</td></tr>").arg(name); // Blackjack's first line
            const quint64 paints = view.paintCount();
            QCOMPARE(writeTextFileAtomically(program.path(DisplayFragmentName), lines), QString());
            QTRY_VERIFY_WITH_TIMEOUT(findItem(view, name) && view.paintCount() > paints, 1000);
        }
    }

    // A name is shown as typed: it can neither add, hide nor reorder lines, and only the
    // console's own renderings (symbols, blinking, blank lines) mean anything.
    void namesCannotChangeTheBoard_data()
    {
        QTest::addColumn<NamesRow>("row");
        QTest::newRow("extra rows") << NamesRow{"Eve</td></tr><tr><td>FAKE PLAYER</td></tr><tr><td>X", "", false};
        QTest::newRow("closes the tables") << NamesRow{"Mal</td></tr></table></td></tr></table>", "", false};
        QTest::newRow("references stay") << NamesRow{"Tom &amp; Jerry &lt;star&gt;", "", false};
        QTest::newRow("a blink inside") << NamesRow{"A<blink>B</blink>", "", false};
        QTest::newRow("markers") << NamesRow{"<blink>Carl&#9733;&#9742;</blink>", "Carl\u2605\u260E", true};
        QTest::newRow("a game head inside") << NamesRow{"<td width='50%' valign='top' align='center'>Z", "", false};
    }
    void namesCannotChangeTheBoard()
    {
        QFETCH(NamesRow, row);
        const auto &[name, shown, blink] = row;
        const QStringList lines = fragmentLines(2, 3, 2, [&](int game) {
            return game == 0 ? QStringList{name, QStringLiteral("Next")} : QStringList{QStringLiteral("Zed")};
        });
        ScreenBoard expected;
        expected.isFragment = true;
        expected.rows = {{{QStringLiteral("Game 1"), {{shown.isEmpty() ? name : shown, blink}, {QStringLiteral("Next")}, {}}},
                          {QStringLiteral("Game 2"), {{QStringLiteral("Zed")}, {}, {}}}}};
        QCOMPARE(screenBoardOf(lines.join(QLatin1String("\r\n")) + QLatin1String("\r\n")), expected);
    }

    // Filtered, a fragment's games stand in the rows the console gives that many games; a
    // runaway file is cut to what a screen can hold.
    void fragmentRowsAndBounds()
    {
        const QString twelve = fragmentLines(12, 3, 2, [](int) { return QStringList{QStringLiteral("A")}; }).join(u'\n');
        Board console; // the console's own rule for rows of games
        QStringList names;
        for (int kept = 1; kept <= 12; ++kept) {
            names << QStringLiteral("Game %1").arg(kept);
            console.games.append({names.last(), 1, {}});
            QList<int> rows;
            for (const QList<ScreenGame> &row : adaptedBoard(screenBoardOf(twelve), GameFilter(names), true).rows)
                rows << int(row.size());
            QList<int> expected{console.gamesInFirstRow(), kept - console.gamesInFirstRow()};
            expected.removeAll(0);
            QCOMPARE(rows, expected);
        }
        const auto cut = [](int games, int players) {
            return screenBoardOf(fragmentLines(games, players, 1, [&](int) { return QStringList(players, QStringLiteral("P")); }).join(u'\n'));
        };
        QCOMPARE(cut(150, 1).gameCount(), 100);
        QCOMPARE(cut(2, 250).rows[0][0].entries.size(), 200);
        QCOMPARE(screenBoardOf(QStringLiteral("x\n").repeated(50)).rows[0][0].entries.size(), 40);
    }

    // The viewer's own settings file, then the command line over it: what differs from the
    // defaults, and how many lines say what could not be used.
    void options_data()
    {
        QTest::addColumn<OptionsRow>("row");
        QTest::newRow("defaults") << OptionsRow{{}, {}, {}, 0};
        QTest::newRow("the file")
            << OptionsRow{"; the TV in the side room\r\n[Display]\r\nScreen=2\r\nGAMES = Omaha*, Stud ,\r\nPage_Seconds=12\r\n"
                          "theme=High-Contrast\r\nPrivacy=True\r\nDisplay_Folder=board\r\nEstimates=yes\r\n"
                          "WEB_PORT = 8080\r\nWeb_Address=192.168.1.20\r\nweb_full_names=yes\r\n",
                          {}, {"folder=/etc/tavlo/board/", "screen=2", "games=Omaha*,Stud", "pageSeconds=12", "theme=high-contrast",
                               "privacy=1", "estimates=1", "webPort=8080", "webAddress=192.168.1.20", "webFullNames=1"}, 0};
        QTest::newRow("the command line wins")
            << OptionsRow{"Screen=2\nGames=Stud\nPage_Seconds=12\nTheme=high-contrast\nPrivacy=yes\nWeb_Port=8080\n",
                          {"--screen", "HDMI-1", "--games", "Razz", "--page-seconds", "5", "--theme", "standard", "--full-names",
                           "-d", "/srv/tavlo", "--estimates", "--web-port", "9000", "--web-address", "::1", "--web-full-names"},
                          {"folder=/srv/tavlo/", "screen=HDMI-1", "games=Razz", "pageSeconds=5", "estimates=1", "webPort=9000",
                           "webAddress=::1", "webFullNames=1"}, 0};
        QTest::newRow("the last of windowed and full screen, of full names and privacy")
            << OptionsRow{{}, {"-w", "--full-names", "--full-screen", "--privacy"}, {"privacy=1"}, 0};
        QTest::newRow("full screen, then windowed; a relative folder")
            << OptionsRow{{}, {"-f", "-d", "../share/./board/", "-w"}, {"folder=/share/board/", "fullScreen=0"}, 0};
        QTest::newRow("mistakes in the file are passed over")
            << OptionsRow{"Page_Seconds=1\nTheme=pink\nPrivacy=maybe\nColour=red\njust words\nScreen=3\nEstimates=often\n"
                          "Web_Port=http\nWeb_Address=nowhere\n", {}, {"screen=3"}, 8};
        QTest::newRow("mistakes on the command line")
            << OptionsRow{{}, {"--page-seconds", "soon", "--theme", "dark", "--web-port", "70000", "--web-address", "tv.local"}, {},
                          4};
        QTest::newRow("a games pattern of a megabyte")
            << OptionsRow{"Games=" + QByteArray(1 << 20, '?') + "\nScreen=2\n", {}, {"screen=2"}, 1};
        QTest::newRow("a games pattern too long on the command line")
            << OptionsRow{{}, {"--games", QString(5000, u'x'), "--screen", "2"}, {}, 1};
    }
    void options()
    {
        QFETCH(OptionsRow, row);
        const auto &[settings, arguments, expectedChanged, expectedProblems] = row;
        QCommandLineParser parser;
        addViewerOptions(parser);
        QVERIFY2(parser.parse(QStringList{"TAVLO-Display"} + arguments), qPrintable(parser.errorText()));
        ViewerOptions o;
        QStringList problems = applyViewerSettings(settings, QStringLiteral("/etc/tavlo"), o);
        problems += applyCommandLine(parser, QStringLiteral("/work"), o);
        QVERIFY(std::all_of(problems.cbegin(), problems.cend(), [](const QString &problem) { return problem.size() < 200; }));
        QStringList changed{"folder=" + o.displayFolder, "fullScreen=" + QString::number(o.fullScreen), "screen=" + o.screen,
                            "games=" + o.games.join(u','), "pageSeconds=" + QString::number(o.pageSeconds),
                            "theme=" + ViewerTheme::nameOf(o.theme), "privacy=" + QString::number(o.privacy),
                            "estimates=" + QString::number(o.estimates), "webPort=" + QString::number(o.webPort),
                            "webAddress=" + o.webAddress, "webFullNames=" + QString::number(o.webFullNames)};
        // Unless told otherwise: full screen, every game, pages of 8 seconds, full names, no phones' page.
        for (const char *unchanged : {"folder=", "fullScreen=1", "screen=", "games=", "pageSeconds=8", "theme=standard",
                                      "privacy=0", "estimates=0", "webPort=-1", "webAddress=", "webFullNames=0"})
            changed.removeOne(QLatin1String(unchanged));
        QCOMPARE(changed, expectedChanged);
        QCOMPARE(int(problems.size()), expectedProblems);
    }

    // Options written into a hand-written file read back as written; the lines that already
    // said them stay as the hand wrote them, with the comments and the file's line ends.
    void settingsWrittenBack()
    {
        const QByteArray hand = "; the TV\n[Display]\nScreen=2\nPrivacy=yes\nDisplay_Folder=board\nColour=red\nscreen=3\n";
        const QString folder = QStringLiteral("/etc/tavlo");
        ViewerOptions before;
        QVERIFY(applyViewerSettings(hand, folder, before).size() == 1);
        QRandomGenerator random(28);
        const auto pick = [&random](const QStringList &values) { return values[random.bounded(int(values.size()))]; };
        for (int run = 0; run < 300; ++run) {
            ViewerOptions o = before;
            const auto change = [&random] { return random.bounded(3) == 0; };
            if (change())
                o.displayFolder = pick({"", "/srv/board/", "/etc/tavlo/other/"});
            if (change())
                o.screen = pick({"", "1", "HDMI-2"});
            if (change())
                o.games = pick({"", "Omaha*", "Stud,Razz ?"}).split(u',', Qt::SkipEmptyParts);
            if (change())
                o.pageSeconds = random.bounded(ViewerOptions::kMinPageSeconds, ViewerOptions::kMaxPageSeconds + 1);
            if (change())
                o.theme = random.bounded(2) ? ViewerTheme::Kind::HighContrast : ViewerTheme::Kind::Standard;
            for (bool *flag : {&o.privacy, &o.estimates, &o.webFullNames})
                *flag = change() ? !*flag : *flag;
            if (change())
                o.webPort = random.bounded(-1, 65536);
            if (change())
                o.webAddress = pick({"", "192.168.1.9", "::1"});
            const QByteArray text = viewerSettingsText(hand, folder, o);
            ViewerOptions read;
            QVERIFY(applyViewerSettings(text, folder, read).isEmpty() == !text.contains("Colour=red\n"));
            QVERIFY(read == o);
            QVERIFY(text.startsWith("; the TV\n[Display]\n") && !text.contains('\r'));
            QCOMPARE(text.contains("Privacy=yes\n"), o.privacy == before.privacy);
            QCOMPARE(text.contains("Display_Folder=board\n"), o.displayFolder == before.displayFolder);
            QCOMPARE(text.toLower().count("screen="), 1);
            QCOMPARE(text.contains("web_port="), o.webEnabled());
        }
    }

    // The settings window on the large screen: invalid values are refused and say why; saved
    // values reach the file and the screen at once, a new display folder included.
    void settingsWindowAppliesAtOnce()
    {
        TestPlatform t;
        t.writeFile(QStringLiteral("TAVLO-Display.ini"), "# kept\r\nTheme=standard\r\n");
        DisplayWindow window(t.platform.programFolder);
        window.setSettingsPath(t.path(QStringLiteral("TAVLO-Display.ini")));
        QTest::keyClick(&window, Qt::Key_Comma, Qt::ControlModifier);
        ViewerSettingsWindow *w = window.settingsWindow();
        QVERIFY(w && w->isVisible());
        QCOMPARE(unnamedControls(w), QString());
        QCOMPARE(tabRound(w->findChild<QWidget *>(QStringLiteral("displayFolderEdit"))),
                 QString("displayFolderEdit browseFolderButton screenCombo gamesEdit pageSecondsSpin themeCombo privacyCheck "
                         "estimatesCheck phonesCheck webPortSpin webAddressEdit webFullNamesCheck saveButton cancelButton")
                         .split(u' '));
        const auto edit = [w](const char *name) { return w->findChild<QLineEdit *>(QLatin1String(name)); };
        auto *save = w->findChild<QPushButton *>(QStringLiteral("saveButton"));
        for (const auto &[name, value, why] : {std::tuple{"gamesEdit", QString(5000, u'x'), "names or patterns"},
                                               {"webAddressEdit", QStringLiteral("tv.local"), "IP address"},
                                               {"displayFolderEdit", QStringLiteral("/nowhere"), "no folder"}}) {
            edit(name)->setText(value);
            QVERIFY(!save->isEnabled() && w->findChild<QLabel *>(QStringLiteral("problemLabel"))->text().contains(QLatin1String(why)));
            edit(name)->clear();
        }
        QTemporaryDir board;
        edit("displayFolderEdit")->setText(board.path());
        edit("gamesEdit")->setText(QStringLiteral("Omaha*, Stud"));
        w->findChild<QComboBox *>(QStringLiteral("themeCombo"))->setCurrentIndex(1);
        w->findChild<QSpinBox *>(QStringLiteral("pageSecondsSpin"))->setValue(20);
        w->findChild<QCheckBox *>(QStringLiteral("privacyCheck"))->setChecked(true);
        QTest::mouseClick(save, Qt::LeftButton);
        QTRY_VERIFY(!window.settingsWindow());
        const QByteArray file = t.readFile(QStringLiteral("TAVLO-Display.ini"));
        QVERIFY2(file.startsWith("# kept\r\ntheme=high-contrast\r\n") && file.contains("\r\ngames=Omaha*, Stud\r\n"), file.constData());
        ViewerOptions read;
        QVERIFY(applyViewerSettings(file, t.platform.programFolder, read).isEmpty());
        QVERIFY(read == window.options());
        QCOMPARE(read.displayFolder, board.path() + u'/');
        QCOMPARE(window.fragmentWatcher()->path(), board.filePath(DisplayFragmentName));
    }
};

QTEST_MAIN(TestViewer)
#include "tst_viewer.moc"
