#include "FragmentSamples.h"
#include "HeadlessChromium.h"
#include "TextFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>

using namespace tavlo;
using namespace tavlo::test;

namespace {

// Each wait for the page is bounded; it refreshes every two seconds.
constexpr int kPageTimeoutMs = 10000;

QString shippedProgramFolder()
{
    const QString fromTest = qEnvironmentVariable("TAVLO_TEST_PROGRAM_FOLDER");
    return fromTest.isEmpty() ? QStringLiteral(TAVLO_BUILT_PROGRAM_FOLDER) : fromTest;
}

// The shipped page in a folder of its own, beside a fragment. A browser shows a file named
// .hta as plain text, so it gets the page's bytes under an .html name, as a user would.
struct PageFolder {
    QTemporaryDir dir;
    QString page;

    bool prepare()
    {
        page = dir.filePath(QStringLiteral("TAVLO-Display.html"));
        return QFile::copy(shippedProgramFolder() + QLatin1String("/TAVLO-Display.hta"), page)
            && QFile::copy(shippedProgramFolder() + QLatin1String("/TAVLO-Display.jpg"),
                           dir.filePath(QStringLiteral("TAVLO-Display.jpg")));
    }
    QString fragment() const { return dir.filePath(QStringLiteral("TAVLO-Display.txt")); }
    QString url() const { return QUrl::fromLocalFile(page).toString(); }
};

QString boardText(HeadlessChromium &browser)
{
    return browser.evaluate(QStringLiteral("(document.getElementById('board') || {}).innerText || ''")).toString();
}

const QString kStar = QString(QChar(0x2605));
const QString kPhone = QString(QChar(0x260E));

} // namespace

class TestPage : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        if (HeadlessChromium::executable().isEmpty())
            QSKIP("chromium is not installed (apt-get install chromium)");
    }

    void showsTheBoardAndFollowsIt()
    {
        PageFolder folder;
        QVERIFY(folder.prepare());
        QStringList lines = workedExampleLines();
        QCOMPARE(writeTextFileAtomically(folder.fragment(), lines), QString());

        HeadlessChromium browser;
        const QString failure = browser.open(folder.url());
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        QTRY_VERIFY_WITH_TIMEOUT(boardText(browser).contains(QLatin1String("Blackjack")), kPageTimeoutMs);

        const QString text = boardText(browser);
        const QStringList order{QStringLiteral("Poker"), QStringLiteral("Anna") + kStar, QStringLiteral("Ben"),
                                QStringLiteral("Carl") + kStar + kPhone, QStringLiteral("Blackjack")};
        qsizetype at = -1;
        for (const QString &piece : order) {
            const qsizetype found = text.indexOf(piece, at + 1);
            QVERIFY2(found > at, qPrintable(piece + QLatin1String(" in ") + text));
            at = found;
        }
        QCOMPARE(browser.evaluate(QStringLiteral("document.querySelectorAll('#board .blink').length")).toInt(), 2);
        QCOMPARE(browser.evaluate(QStringLiteral("document.querySelectorAll('#board td.listhead').length")).toInt(), 2);

        // Blinking: the names really go away and come back.
        const QString visibility =
            QStringLiteral("getComputedStyle(document.querySelector('#board .blink')).visibility");
        QTRY_VERIFY_WITH_TIMEOUT(browser.evaluate(visibility).toString() == QLatin1String("hidden"), 3000);
        QTRY_VERIFY_WITH_TIMEOUT(browser.evaluate(visibility).toString() == QLatin1String("visible"), 3000);
        QCOMPARE(browser.evaluate(QStringLiteral("getComputedStyle(document.querySelector('#board td.listhead')).visibility"))
                     .toString(),
                 QStringLiteral("visible"));

        // The console replaces the fragment by a rename; the page follows.
        lines[7] = QStringLiteral("<tr><td>Dana&#9742;</td></tr>");
        QCOMPARE(writeTextFileAtomically(folder.fragment(), lines), QString());
        QTRY_VERIFY_WITH_TIMEOUT(boardText(browser).contains(QStringLiteral("Dana") + kPhone), kPageTimeoutMs);
        QVERIFY(boardText(browser).contains(QLatin1String("Poker")));

        // Without a fragment the board is empty, with the product name.
        QVERIFY(QFile::remove(folder.fragment()));
        QTRY_VERIFY_WITH_TIMEOUT(!boardText(browser).contains(QLatin1String("Poker")), kPageTimeoutMs);
        QCOMPARE(boardText(browser).trimmed(), QStringLiteral("TAVLO"));
    }

    // Names reach the fragment unescaped; on the page they stay text and run nothing.
    void namesStayText()
    {
        PageFolder folder;
        QVERIFY(folder.prepare());
        const QStringList names{QStringLiteral("<img src=x onerror=\"document.title='owned'\">"),
                                QStringLiteral("<script>document.title='owned'</script>"),
                                QStringLiteral("A&B <3"), QStringLiteral("<b style='color:red'>Bold</b>")};
        QCOMPARE(writeTextFileAtomically(folder.fragment(), fragmentLines(1, 5, 5, [&](int) { return names; })), QString());

        HeadlessChromium browser;
        const QString failure = browser.open(folder.url());
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        QTRY_VERIFY_WITH_TIMEOUT(boardText(browser).contains(QLatin1String("A&B <3")), kPageTimeoutMs);
        const QString text = boardText(browser);
        for (const QString &name : names)
            QVERIFY2(text.contains(name), qPrintable(name));
        QCOMPARE(browser.evaluate(QStringLiteral("document.querySelectorAll('#board img, #board script, #board b').length"))
                     .toInt(),
                 0);
        QCOMPARE(browser.evaluate(QStringLiteral("document.title")).toString(), QStringLiteral("TAVLO"));
    }
};

QTEST_GUILESS_MAIN(TestPage)
#include "tst_page.moc"
