#include "Chromium.h"
#include "FragmentSamples.h"
#include "base/TextFile.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>
#include <QTest>

using namespace tavlo;
using namespace tavlo::test;

namespace {

// Each wait for the page is bounded; it refreshes every two seconds.
constexpr int kPageTimeoutMs = 10000;

} // namespace

class TestPage : public QObject {
    Q_OBJECT
private slots:
    // The shipped page beside the fragment shows its players in order and follows the console's
    // replacements of the fragment.
    void showsTheBoardAndFollowsIt()
    {
        const QString program = QStandardPaths::findExecutable(QStringLiteral("chromium"));
        if (program.isEmpty())
            QSKIP("chromium is not installed (apt-get install chromium)");
        // A browser shows a file named .hta as plain text, so it gets the page under an .html name.
        QTemporaryDir folder;
        const QString page = folder.filePath(QStringLiteral("TAVLO-Display.html"));
        QVERIFY(QFile::copy(QStringLiteral(TAVLO_BUILT_PROGRAM_FOLDER "/TAVLO-Display.hta"), page));
        const QString fragment = folder.filePath(QStringLiteral("TAVLO-Display.txt"));
        QStringList lines = workedExampleLines();
        QCOMPARE(writeTextFileAtomically(fragment, lines), QString());

        Chromium browser;
        QVERIFY(browser.open(program, QUrl::fromLocalFile(page).toString()));
        QTRY_VERIFY_WITH_TIMEOUT(browser.boardText().contains(QLatin1String("Blackjack")), kPageTimeoutMs);
        const QString text = browser.boardText();
        qsizetype at = -1;
        for (const QString &piece : workedExampleTexts()) {
            at = text.indexOf(piece, at + 1);
            QVERIFY2(at >= 0, qPrintable(piece + QLatin1String(" in order in ") + text));
        }

        // A name arrives unescaped; the page must show it as it is, not as markup.
        lines[7] = QStringLiteral("<tr><td><b>Dana</b></td></tr>"); // Blackjack's first line
        QCOMPARE(writeTextFileAtomically(fragment, lines), QString());
        QTRY_VERIFY_WITH_TIMEOUT(browser.boardText().contains(QLatin1String("<b>Dana</b>")), kPageTimeoutMs);
        QCOMPARE(browser.evaluate(QStringLiteral("document.getElementsByTagName('b').length")).toInt(), 0);

        // Nor can a name add, hide or reorder the board's lines.
        lines[7] = QStringLiteral("<tr><td>Eve</td></tr><tr><td>FAKE</td></tr></table></td></tr></table><tr><td>X</td></tr>");
        lines[8] = QStringLiteral("<tr><td>Tom &amp; Jerry</td></tr>");
        QCOMPARE(writeTextFileAtomically(fragment, lines), QString());
        QTRY_VERIFY_WITH_TIMEOUT(browser.boardText().contains(QLatin1String("Tom &amp; Jerry")), kPageTimeoutMs);
        const QString cells = QStringLiteral("Array.prototype.map.call(document.querySelectorAll('table.list td'), "
                                             "function (c) { return c.textContent; }).join('|')");
        QCOMPARE(browser.evaluate(cells).toString(),
                 QStringLiteral("Poker|Anna\u2605|Ben|Carl\u2605\u260E|Blackjack|"
                                "Eve</td></tr><tr><td>FAKE</td></tr></table></td></tr></table><tr><td>X|Tom &amp; Jerry|\u00A0"));
    }
};

QTEST_GUILESS_MAIN(TestPage)
#include "tst_page.moc"
