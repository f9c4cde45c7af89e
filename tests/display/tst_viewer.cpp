#include "BoardView.h"
#include "DisplayFolder.h"
#include "DisplayWindow.h"
#include "Fragment.h"
#include "FragmentSamples.h"
#include "FragmentWatcher.h"
#include "TextFile.h"

#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using namespace tavlo;
using namespace tavlo::display;
using namespace tavlo::test;
using Kind = BoardItem::Kind;

namespace {

// Pixels bright enough to be the board's text (the background and panels are dark).
int textPixels(const QImage &image, const QRect &area)
{
    int count = 0;
    const QRect r = area.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() + c.green() + c.blue() > 3 * 150)
                ++count;
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

QStringList shownTexts(const BoardView &view)
{
    QStringList texts;
    for (const BoardItem &item : view.items()) {
        if (item.kind != Kind::Blank)
            texts << item.text;
    }
    return texts;
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

QString shippedProgramFolder()
{
    const QString fromTest = qEnvironmentVariable("TAVLO_TEST_PROGRAM_FOLDER");
    return fromTest.isEmpty() ? QStringLiteral(TAVLO_BUILT_PROGRAM_FOLDER) : fromTest;
}

const QString kStar = QString(QChar(0x2605));
const QString kPhone = QString(QChar(0x260E));

} // namespace

class TestViewer : public QObject {
    Q_OBJECT
private slots:
    void workedExampleOnScreen()
    {
        BoardView view;
        view.resize(1920, 1080);
        view.setBoard(parseFragment(joinCrLf(workedExampleLines())));

        const QStringList expected{QStringLiteral("Poker"), QStringLiteral("Anna") + kStar, QStringLiteral("Ben"),
                                   QStringLiteral("Carl") + kStar + kPhone, QStringLiteral("Blackjack")};
        QCOMPARE(shownTexts(view), expected);
        QCOMPARE(view.items().size(), 8); // and Blackjack's three empty lines

        const BoardItem *poker = findItem(view, QStringLiteral("Poker"));
        const BoardItem *blackjack = findItem(view, QStringLiteral("Blackjack"));
        QCOMPARE(poker->kind, Kind::Heading);
        QCOMPARE(poker->rect.top(), blackjack->rect.top());
        QVERIFY(poker->rect.right() < blackjack->rect.left());
        QVERIFY(poker->rect.right() < view.width() / 2 && blackjack->rect.left() > view.width() / 2);
        int lastTop = poker->rect.bottom();
        for (const QString &name : expected.mid(1, 3)) {
            const BoardItem *item = findItem(view, name);
            QVERIFY(item->rect.top() >= lastTop);
            lastTop = item->rect.bottom();
            QCOMPARE(item->blink, name != expected[1]);
        }

        const QImage picture = view.grab().toImage();
        QVERIFY(textPixels(picture, poker->rect) > 100);
        QVERIFY(textPixels(picture, findItem(view, expected[1])->rect) > 100);
        for (const BoardItem &item : view.items()) {
            if (item.kind == Kind::Blank)
                QCOMPARE(textPixels(picture, item.rect), 0);
        }
    }

    // Whatever the number of games, everything fits the screen without overlapping, large
    // enough to be read across the room.
    void boardFitsTheScreen_data()
    {
        QTest::addColumn<int>("games");
        QTest::addColumn<int>("rows1");
        QTest::addColumn<int>("rows2");
        QTest::addColumn<QSize>("screen");
        QTest::addColumn<int>("smallestText");
        QTest::newRow("five lists of 15, full HD") << 5 << 15 << 10 << QSize(1920, 1080) << 36;
        QTest::newRow("ten lists, 15 and 10, full HD") << 10 << 15 << 10 << QSize(1920, 1080) << 20;
        QTest::newRow("sixteen lists, 15 and 10, 720p") << 16 << 15 << 10 << QSize(1280, 720) << 13;
        QTest::newRow("one list of 40, full HD") << 1 << 40 << 10 << QSize(1920, 1080) << 14;
    }
    void boardFitsTheScreen()
    {
        QFETCH(int, games);
        QFETCH(int, rows1);
        QFETCH(int, rows2);
        QFETCH(QSize, screen);
        QFETCH(int, smallestText);
        const auto players = [](int g) {
            QStringList names;
            for (int i = 0; i < 40; ++i)
                names << QStringLiteral("Player %1-%2").arg(g + 1).arg(i + 1);
            return names;
        };
        BoardView view;
        view.resize(screen);
        view.setBoard(parseFragment(joinCrLf(fragmentLines(games, rows1, rows2, players))));
        QCOMPARE(view.panels().size(), games);
        for (const QRect &panel : view.panels())
            QVERIFY(view.rect().contains(panel));
        for (int i = 0; i < view.panels().size(); ++i) {
            for (int j = i + 1; j < view.panels().size(); ++j)
                QVERIFY(!view.panels()[i].intersects(view.panels()[j]));
        }
        for (const BoardItem &item : view.items()) {
            QVERIFY2(view.rect().contains(item.rect), qPrintable(item.text));
            if (item.kind == Kind::Entry) {
                QVERIFY2(item.pixelSize >= smallestText, qPrintable(QString::number(item.pixelSize)));
                QFont font;
                font.setFamilies({QStringLiteral("DejaVu Sans")});
                font.setPixelSize(item.pixelSize);
                QVERIFY(QFontMetrics(font).horizontalAdvance(item.shownText) <= item.rect.width() + 1);
            }
        }
    }

    void longNamesShrinkThenShorten()
    {
        BoardView view;
        view.resize(1280, 720);
        const auto board = [](const QStringList &names) {
            return parseFragment(joinCrLf(fragmentLines(16, 5, 5, [&](int) { return names; })));
        };
        view.setBoard(board({QStringLiteral("Al")}));
        const BoardItem shortName = *findItem(view, QStringLiteral("Al"));

        // A name a third wider than its line at the common size, and one six times as wide.
        QFont font;
        font.setFamilies({QStringLiteral("DejaVu Sans")});
        font.setPixelSize(shortName.pixelSize);
        QString slightlyLong = QStringLiteral("Ma");
        while (QFontMetrics(font).horizontalAdvance(slightlyLong) < shortName.rect.width() * 4 / 3)
            slightlyLong += QLatin1Char('x');
        const QString veryLong = slightlyLong.repeated(6);

        view.setBoard(board({QStringLiteral("Al"), slightlyLong, veryLong}));
        const BoardItem *longer = findItem(view, slightlyLong);
        const BoardItem *longest = findItem(view, veryLong);
        QCOMPARE(findItem(view, QStringLiteral("Al"))->pixelSize, shortName.pixelSize);
        QVERIFY(longer->pixelSize < shortName.pixelSize);
        QCOMPARE(longer->shownText, slightlyLong);
        QVERIFY(longest->shownText.size() < veryLong.size());
        QVERIFY(longest->shownText.endsWith(QChar(0x2026)));
    }

    void blinkingNamesTurnOnAndOff()
    {
        BoardView view;
        view.resize(1280, 720);
        view.setBlinkInterval(30);
        QSignalSpy toggles(&view, &BoardView::blinkToggled);
        view.setBoard(parseFragment(joinCrLf(workedExampleLines())));
        QVERIFY(view.isBlinking());
        const QRect anna = findItem(view, QStringLiteral("Anna") + kStar)->rect;
        const QRect ben = findItem(view, QStringLiteral("Ben"))->rect;

        QTRY_VERIFY(!view.blinkShown());
        const QImage hidden = view.grab().toImage();
        QTRY_VERIFY(view.blinkShown());
        const QImage shown = view.grab().toImage();
        QVERIFY(toggles.count() >= 2);

        QCOMPARE(textPixels(hidden, ben), 0);
        QVERIFY(textPixels(shown, ben) > 50);
        QCOMPARE(textPixels(hidden, anna), textPixels(shown, anna));

        // A board without blinking names stops the blinking, with everything shown.
        QTRY_VERIFY(!view.blinkShown());
        view.setBoard(parseFragment(QStringLiteral("<table class='list'><tr><td>Ben</td></tr></table>")));
        QVERIFY(!view.isBlinking());
        QVERIFY(view.blinkShown());
        QVERIFY(textPixels(view.grab().toImage(), findItem(view, QStringLiteral("Ben"))->rect) > 50);
    }

    // A writer that does not replace the file in one step is never shown half-way; a file
    // that stays as it is gets shown in the end, whatever it holds.
    void watcherHoldsBackHalfWrittenText()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QLatin1String(kFragmentFileName));
        const QByteArray whole = encodeSystemText(joinCrLf(workedExampleLines()));
        const QByteArray other = whole.left(whole.size() - 20) + "<tr></tr></table>\r\n";
        writeBytes(path, whole);

        FragmentWatcher watcher(path);
        watcher.setPollInterval(60 * 60 * 1000);
        QSignalSpy changes(&watcher, &FragmentWatcher::fragmentChanged);
        watcher.start();
        QCOMPARE(changes.count(), 1);

        writeBytes(path, whole.left(300));
        watcher.check();
        watcher.check();
        writeBytes(path, other);
        watcher.check();
        QCOMPARE(changes.count(), 2);
        QCOMPARE(changes.last().first().toString(), decodeSystemText(other));

        writeBytes(path, "not a fragment");
        for (int i = 0; i < 3; ++i) {
            watcher.check();
            QCOMPARE(changes.count(), 2);
        }
        watcher.check();
        QCOMPARE(changes.count(), 3);
        watcher.check();
        QCOMPARE(changes.count(), 3);

        QFile::remove(path);
        for (int i = 0; i < 5; ++i)
            watcher.check();
        QCOMPARE(changes.count(), 4);
        QCOMPARE(changes.last().first().toString(), QString());
    }

    // The console replaces the fragment by a rename; each change shows within a second.
    void followsRenamedFragment()
    {
        QTemporaryDir program;
        const QString fragment = program.filePath(QLatin1String(kFragmentFileName));
        QStringList lines = workedExampleLines();
        QCOMPARE(writeTextFileAtomically(fragment, lines), QString());

        DisplayWindow window(program.path());
        window.start();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        BoardView *view = window.view();
        QVERIFY(findItem(*view, QStringLiteral("Poker")));

        for (int change = 1; change <= 3; ++change) {
            const QString name = QStringLiteral("Dana %1").arg(change);
            lines[7] = QStringLiteral("<tr><td>%1</td></tr>").arg(name); // Blackjack's first line
            const quint64 paintsBefore = view->paintCount();
            QCOMPARE(writeTextFileAtomically(fragment, lines), QString());
            QTRY_VERIFY_WITH_TIMEOUT(findItem(*view, name) != nullptr, 1000);
            QTRY_VERIFY_WITH_TIMEOUT(view->paintCount() > paintsBefore, 1000);
            QCOMPARE(findItem(*view, name)->column, 1);
        }
    }

    void missingEmptyAndStrangeFragments_data()
    {
        QTest::addColumn<bool>("present");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("texts");
        const QStringList title{QStringLiteral("TAVLO")};
        QTest::newRow("missing") << false << QByteArray() << title;
        QTest::newRow("empty") << true << QByteArray() << title;
        QTest::newRow("no games") << true << QByteArray("<table border='0' width='100%'><tr>\r\n</tr></table>\r\n")
                                  << title;
        QTest::newRow("plain text") << true << QByteArray("Closed tonight\r\n") << QStringList{"", "Closed tonight"};
        QTest::newRow("cut short") << true << QByteArray("<table><tr><td><table class='list'><tr><td class='listhead'>Poker")
                                   << QStringList{"Poker"};
        QByteArray noise;
        for (int i = 0; i < 4096; ++i)
            noise += char((i * 7919 + 13) % 256);
        QTest::newRow("binary noise") << true << noise << QStringList();
    }
    void missingEmptyAndStrangeFragments()
    {
        QFETCH(bool, present);
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, texts);
        QTemporaryDir program;
        if (present)
            writeBytes(program.filePath(QLatin1String(kFragmentFileName)), bytes);
        DisplayWindow window(program.path());
        window.start();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const BoardView *view = window.view();
        if (!texts.isEmpty()) {
            QStringList seen;
            for (const BoardItem &item : view->items())
                seen << item.text;
            QCOMPARE(seen, texts);
        }
        QVERIFY(!view->items().isEmpty());
        QVERIFY(textPixels(window.grab().toImage(), window.rect()) > 0);
    }

    void displayFolderFromSettings_data()
    {
        QTest::addColumn<QByteArray>("settings"); // "-" for no file at all
        QTest::addColumn<QString>("folder");      // "@" stands for the program folder
        QTest::newRow("no settings file") << QByteArray("-") << "@/";
        QTest::newRow("as the console writes it")
            << QByteArray("DataBase=/x/TAVLO.mdb\r\nFilePath=/srv/board/\r\nPlayers_Per_List_Row1=15\r\n") << "/srv/board/";
        QTest::newRow("key in lower case") << QByteArray("filepath=/a/\r\n") << "/a/";
        QTest::newRow("blank before the key") << QByteArray(" FilePath=/a/\r\n") << "@/";
        QTest::newRow("blank before the equals sign") << QByteArray("FilePath =/a/\r\n") << "@/";
        QTest::newRow("value kept untrimmed") << QByteArray("FilePath= /a/ \r\n") << " /a/ ";
        QTest::newRow("value holding an equals sign") << QByteArray("FilePath=/a=b/\r\n") << "/a=b/";
        QTest::newRow("empty value") << QByteArray("FilePath=\r\n") << "@/";
        QTest::newRow("later line wins") << QByteArray("FilePath=/a/\r\nFILEPATH=/b/\r\n") << "/b/";
        QTest::newRow("no FilePath line") << QByteArray("[Settings]\r\nList_Width=640px\r\n") << "@/";
        QTest::newRow("bad numbers do not matter") << QByteArray("Players_Per_List_Row1=99999\r\nFilePath=/a/")
                                                   << "/a/";
        QTest::newRow("empty file") << QByteArray() << "@/";
    }
    void displayFolderFromSettings()
    {
        QFETCH(QByteArray, settings);
        QFETCH(QString, folder);
        QTemporaryDir program;
        const QString settingsPath = program.filePath(QLatin1String(kSettingsFileName));
        if (settings != "-")
            writeBytes(settingsPath, settings);
        const QDateTime modified = QFileInfo(settingsPath).lastModified();
        folder.replace(QLatin1String("@/"), QDir::toNativeSeparators(program.path()) + QDir::separator());

        QCOMPARE(displayFolder(program.path()), folder);
        {
            DisplayWindow window(program.path());
            window.start();
            QCOMPARE(window.displayFolder(), folder);
            QCOMPARE(window.watcher()->path(), folder + QLatin1String(kFragmentFileName));
        }
        // Only read, never written nor created.
        QCOMPARE(QFileInfo::exists(settingsPath), settings != "-");
        if (settings != "-") {
            QFile file(settingsPath);
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll(), settings);
            QCOMPARE(QFileInfo(settingsPath).lastModified(), modified);
        }
    }

    // The folder named in the settings is the one shown, with its picture behind the board.
    void showsTheFolderFromTheSettings()
    {
        QTemporaryDir program;
        QTemporaryDir board;
        const QString boardFolder = QDir::toNativeSeparators(board.path()) + QDir::separator();
        writeBytes(program.filePath(QLatin1String(kSettingsFileName)), "FilePath=" + boardFolder.toLocal8Bit() + "\r\n");
        QCOMPARE(writeTextFileAtomically(program.filePath(QLatin1String(kFragmentFileName)),
                                         fragmentLines(1, 2, 2, [](int) { return QStringList{"Wrong"}; })),
                 QString());
        QCOMPARE(writeTextFileAtomically(board.filePath(QLatin1String(kFragmentFileName)), workedExampleLines()), QString());
        QImage red(64, 36, QImage::Format_RGB32);
        red.fill(Qt::red);
        QVERIFY(red.save(board.filePath(QStringLiteral("tavlo-display.JPG")), "JPG"));

        DisplayWindow window(program.path());
        window.start();
        window.resize(640, 360);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(findItem(*window.view(), QStringLiteral("Poker")));
        QVERIFY(!findItem(*window.view(), QStringLiteral("Wrong")));
        QVERIFY(window.view()->hasBackground());
        const QColor corner = window.grab().toImage().pixelColor(2, 2);
        QVERIFY(corner.red() > 200 && corner.green() < 60);
    }

    void fullScreenKeys_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("F11") << int(Qt::Key_F11);
        QTest::newRow("Esc") << int(Qt::Key_Escape);
    }
    void fullScreenKeys()
    {
        QFETCH(int, key);
        QTemporaryDir program;
        DisplayWindow window(program.path());
        window.start();
        window.enterFullScreen();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTRY_VERIFY(window.isFullScreen());
        QTest::keyClick(&window, Qt::Key(key));
        QTRY_VERIFY(!window.isFullScreen());
        QTest::keyClick(&window, Qt::Key(key));
        QTRY_VERIFY(window.isFullScreen());
    }

    // The picture the build puts beside the program for the console to copy.
    void shippedPicture()
    {
        const QString path = shippedProgramFolder() + QLatin1String("/TAVLO-Display.jpg");
        QImage picture;
        QVERIFY2(picture.load(path), qPrintable(path));
        QCOMPARE(picture.size(), QSize(1920, 1080));
        qint64 sum = 0;
        int darkest = 255;
        int brightest = 0;
        for (int y = 0; y < picture.height(); y += 8) {
            for (int x = 0; x < picture.width(); x += 8) {
                const int grey = qGray(picture.pixel(x, y));
                sum += grey;
                darkest = std::min(darkest, grey);
                brightest = std::max(brightest, grey);
            }
        }
        const double mean = double(sum) / ((picture.height() / 8) * (picture.width() / 8));
        QVERIFY2(mean < 60, qPrintable(QString::number(mean))); // dark, so light text stands out
        QVERIFY(brightest - darkest >= 10);                      // and not a flat fill
    }
};

QTEST_MAIN(TestViewer)
#include "tst_viewer.moc"
