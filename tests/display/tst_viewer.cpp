#include "display/BoardView.h"
#include "base/DisplayFiles.h"
#include "display/DisplayWindow.h"
#include "display/ScreenBoard.h"
#include "display/ViewerOptions.h"
#include "FragmentSamples.h"
#include "display/FileWatcher.h"
#include "TestPlatform.h"
#include "base/TextFile.h"

#include <QtTest>

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

const BoardItem *findItem(const BoardView &view, const QString &text)
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

} // namespace

class TestViewer : public QObject {
    Q_OBJECT
private slots:
    void workedExampleOnScreen()
    {
        BoardView view;
        view.resize(1920, 1080);
        view.setBoard(screenBoardOf(workedExample()));
        const QStringList expected = workedExampleTexts();
        QCOMPARE(itemTexts(view, false), expected);

        // Poker's names one below the other; Blackjack in the next column, level with Poker.
        for (int i = 1; i < 4; ++i)
            QVERIFY(findItem(view, expected[i - 1])->rect.bottom() < findItem(view, expected[i])->rect.top());
        const QRect poker = findItem(view, expected[0])->rect;
        const QRect blackjack = findItem(view, expected[4])->rect;
        QVERIFY(poker.right() < blackjack.left() && poker.top() == blackjack.top());

        // Every text really drawn, nothing on an empty line.
        const QImage picture = view.grab().toImage();
        for (const BoardItem &item : view.items())
            QVERIFY2((textPixels(picture, item.rect) > 50) == !item.text.isEmpty(), qPrintable(item.text));
    }

    void blinkingNamesTurnOnAndOff()
    {
        BoardView view;
        view.resize(1280, 720);
        view.setBlinkInterval(30);
        view.setBoard(screenBoardOf(workedExample()));
        const QRect anna = findItem(view, workedExampleTexts()[1])->rect;
        const QRect ben = findItem(view, QStringLiteral("Ben"))->rect;

        QTRY_VERIFY(!view.blinkShown());
        const QImage hidden = view.grab().toImage();
        QTRY_VERIFY(view.blinkShown());
        const QImage shown = view.grab().toImage();
        QCOMPARE(textPixels(hidden, ben), 0);
        QVERIFY(textPixels(shown, ben) > 50);
        QCOMPARE(textPixels(hidden, anna), textPixels(shown, anna));
    }

    // The console replaces the fragment by a rename; each change is on the screen within a second.
    void followsRenamedFragment()
    {
        TestPlatform program;
        const QString fragment = program.path(DisplayFragmentName);
        QStringList lines = workedExampleLines();
        QCOMPARE(writeTextFileAtomically(fragment, lines), QString());
        DisplayWindow window(program.platform.programFolder);
        window.fragmentView()->setBlinkInterval(1 << 30); // so that only a change repaints
        window.start();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        for (int change = 1; change <= 3; ++change) {
            const QString name = QStringLiteral("Dana %1").arg(change);
            lines[7] = QStringLiteral("<tr><td>%1</td></tr>").arg(name); // Blackjack's first line
            const quint64 paintsBefore = window.fragmentView()->paintCount();
            QCOMPARE(writeTextFileAtomically(fragment, lines), QString());
            QTRY_VERIFY_WITH_TIMEOUT(findItem(*window.fragmentView(), name), 1000);
            QTRY_VERIFY_WITH_TIMEOUT(window.fragmentView()->paintCount() > paintsBefore, 1000);
        }
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
        window.start();
        if (!texts.isEmpty())
            QCOMPARE(itemTexts(*window.fragmentView(), true), texts);
        QVERIFY(textPixels(window.grab().toImage(), window.rect()) > 0);
    }

    // A name is shown as typed: it can neither add, hide nor reorder lines, and only the
    // console's own renderings (symbols, blinking, blank lines) mean anything.
    void namesCannotChangeTheBoard_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("blink");
        QTest::newRow("extra rows") << "Eve</td></tr><tr><td>FAKE PLAYER</td></tr><tr><td>X"
                                    << "Eve</td></tr><tr><td>FAKE PLAYER</td></tr><tr><td>X" << false;
        QTest::newRow("closes the tables") << "Mal</td></tr></table></td></tr></table>"
                                           << "Mal</td></tr></table></td></tr></table>" << false;
        QTest::newRow("references stay") << "Tom &amp; Jerry &lt;star&gt;" << "Tom &amp; Jerry &lt;star&gt;" << false;
        QTest::newRow("a blink inside") << "A<blink>B</blink>" << "A<blink>B</blink>" << false;
        QTest::newRow("markers") << "<blink>Carl&#9733;&#9742;</blink>" << "Carl\u2605\u260E" << true;
        QTest::newRow("a game head inside") << "<td width='50%' valign='top' align='center'>Z" << "<td width='50%' valign='top' align='center'>Z" << false;
    }
    void namesCannotChangeTheBoard()
    {
        QFETCH(QString, name);
        QFETCH(QString, shown);
        QFETCH(bool, blink);
        const QStringList lines = fragmentLines(2, 3, 2, [&](int game) {
            return game == 0 ? QStringList{name, QStringLiteral("Next")} : QStringList{QStringLiteral("Zed")};
        });
        const ScreenBoard board = screenBoardOf(lines.join(QLatin1String("\r\n")) + QLatin1String("\r\n"));
        QCOMPARE(board.rows.size(), 1);
        QCOMPARE(board.rows[0].size(), 2);
        const ScreenGame &first = board.rows[0][0];
        QCOMPARE(first.name, QStringLiteral("Game 1"));
        QCOMPARE(first.entries.size(), 3);
        QCOMPARE(first.entries[0].text, shown);
        QCOMPARE(first.entries[0].blink, blink);
        QCOMPARE(first.entries[1].text, QStringLiteral("Next"));
        QVERIFY(first.entries[2].isBlank());
        QCOMPARE(board.rows[0][1].entries.value(0).text, QStringLiteral("Zed"));
    }

    // Reading grows with the size of the file, never with its square: a file of megabytes of
    // entity starts would take minutes if each looked for its end through the rest of the file.
    void hugeFragmentsReadInOnePass()
    {
        const QString ampersands(4 * 1024 * 1024, QLatin1Char('&'));
        const ScreenBoard loose = screenBoardOf(ampersands);
        QCOMPARE(loose.gameCount(), 1);
        QStringList lines = fragmentLines(1, 1, 1, [&](int) { return QStringList{ampersands}; });
        const ScreenBoard board = screenBoardOf(lines.join(QLatin1String("\r\n")));
        QCOMPARE(board.gameCount(), 1);
        QCOMPARE(board.rows[0][0].entries.value(0).text.size(), 200);
    }

    // The command line: a display folder given there wins over the settings file's; of full
    // screen and windowed the last one given counts.
    void commandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("folder"); // "@" for the settings file's, relative ones from /work
        QTest::addColumn<bool>("fullScreen");
        QTest::newRow("nothing") << QStringList() << "@" << true;
        QTest::newRow("windowed, then full screen") << QStringList{"-w", "--full-screen"} << "@" << true;
        QTest::newRow("full screen, then windowed") << QStringList{"-f", "-w"} << "@" << false;
        QTest::newRow("absolute folder") << QStringList{"--display-folder=/srv/other"} << "/srv/other/" << true;
        QTest::newRow("relative folder") << QStringList{"-d", "../share/./board/", "-w"} << "/share/board/" << false;
    }
    void commandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, folder);
        QFETCH(bool, fullScreen);
        TestPlatform program;
        program.writeFile(QStringLiteral("TAVLO.ini"), "FilePath=/srv/board/\r\n");
        QCommandLineParser parser;
        addViewerOptions(parser);
        QVERIFY2(parser.parse(QStringList{"TAVLO-Display"} + arguments), qPrintable(parser.errorText()));
        ViewerOptions options;
        QCOMPARE(applyCommandLine(parser, QStringLiteral("/work"), options), QStringList());
        QCOMPARE(options.fullScreen, fullScreen);
        const DisplayWindow window(program.platform.programFolder, options);
        QCOMPARE(window.fragmentWatcher()->path(),
                 (folder == QLatin1String("@") ? QStringLiteral("/srv/board/") : folder) + DisplayFragmentName);
    }
};

QTEST_MAIN(TestViewer)
#include "tst_viewer.moc"
