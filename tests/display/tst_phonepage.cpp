#include "Chromium.h"
#include "PhoneViewer.h"

#include "display/PhoneService.h"

#include <QStandardPaths>
#include <QTest>

using namespace tavlo;
using namespace tavlo::display;
using namespace tavlo::test;

namespace {

// The page asks for the board every three seconds; each wait allows for two of them and a start.
constexpr int kPageTimeoutMs = 10000;

// Types into the page's search box as a person would, a letter at a time.
QString typing(const QString &text)
{
    return QStringLiteral("(function () { var f = document.getElementById('find'); f.value = ''; "
                          "'%1'.split('').forEach(function (c) { f.value += c; f.dispatchEvent(new Event('input')); }); "
                          "return Array.prototype.map.call(document.querySelectorAll('li.mine'), "
                          "function (r) { return r.textContent; }).join('|'); })()")
            .arg(text);
}

} // namespace

class TestPhonePage : public QObject {
    Q_OBJECT
private slots:
    // A phone opens the viewer's own page: it shows the room with initials, finds a player by
    // the first letters of a name, and follows a change of the board file within its refresh.
    void showsFindsAndFollows()
    {
        const QString program = QStandardPaths::findExecutable(QStringLiteral("chromium"));
        if (program.isEmpty())
            QSKIP("chromium is not installed (apt-get install chromium)");
        PhoneViewer viewer;
        QVERIFY(viewer.port());
        QTRY_VERIFY(viewer.window->showsBoardFile());

        Chromium browser;
        QVERIFY(browser.open(program, viewer.window->phoneService()->pageUrl().toString()));
        QTRY_VERIFY_WITH_TIMEOUT(browser.boardText().contains(QLatin1String("Carla D.")), kPageTimeoutMs);
        const QString text = browser.boardText();
        qsizetype at = -1;
        for (const QString piece : {"Poker", "2 waiting \u00b7 about 25 min", "Alice B.", "25 min", "Bob S.", "\u2605", "Blackjack",
                                    "1 waiting", "Carla D.", "\u260E"}) {
            at = text.indexOf(piece, at + 1);
            QVERIFY2(at >= 0, qPrintable(piece + QLatin1String(" in order in ") + text));
        }
        QVERIFY(!text.contains(QLatin1String("Brown")));
        const QString columns = QStringLiteral("document.querySelectorAll('section.game').length");
        QCOMPARE(browser.evaluate(columns).toInt(), 2);

        QCOMPARE(browser.evaluate(typing(QStringLiteral("bo"))).toString(), QStringLiteral("2Bob S.\u26055 min"));
        QCOMPARE(browser.evaluate(QStringLiteral("document.getElementById('found').textContent")).toString(),
                 QStringLiteral("Bob S.: 2nd in Poker"));
        QCOMPARE(browser.evaluate(typing(QStringLiteral("x"))).toString(), QString());
        QCOMPARE(browser.evaluate(typing(QStringLiteral("CAR"))).toString(), QStringLiteral("1Carla D.\u260E"));

        // The console moves Carla up behind a newcomer; the page follows, still finding her.
        BoardSnapshot board = phoneRoom();
        board.games[1].players.prepend({QStringLiteral("<b>Ada</b> King"), {}, QDateTime()});
        QVERIFY(viewer.write(board));
        QTRY_VERIFY_WITH_TIMEOUT(browser.boardText().contains(QLatin1String("<b>Ada</b> K.")), kPageTimeoutMs);
        QCOMPARE(browser.evaluate(QStringLiteral("Array.prototype.map.call(document.querySelectorAll('li.mine'), "
                                                 "function (r) { return r.textContent; }).join('|')"))
                         .toString(),
                 QStringLiteral("2Carla D.\u260E"));
        QCOMPARE(browser.evaluate(QStringLiteral("document.getElementsByTagName('b').length")).toInt(), 0);

        // The desk calls Carla, whom the page follows: her row counts down, the page turns red and
        // the phone vibrates, once for the call; another name followed, the page is calm again.
        browser.evaluate(QStringLiteral("window.buzzes = 0; navigator.vibrate = function () { window.buzzes++; return true; }; 0"));
        board.games[1].players[1].callEnds = QDateTime::currentDateTimeUtc().addSecs(250);
        QVERIFY(viewer.write(board));
        const QString body = QStringLiteral("document.body.className");
        QTRY_COMPARE_WITH_TIMEOUT(browser.evaluate(body).toString(), QStringLiteral("alert"), kPageTimeoutMs);
        QVERIFY(browser.evaluate(QStringLiteral("document.querySelector('li.mine .wait').textContent")).toString().startsWith(
                QLatin1String("called 4:")));
        QTest::qWait(1500);
        QCOMPARE(browser.evaluate(QStringLiteral("window.buzzes")).toInt(), 1);
        browser.evaluate(typing(QStringLiteral("bo")));
        QCOMPARE(browser.evaluate(body).toString(), QString());
    }
};

QTEST_MAIN(TestPhonePage)
#include "tst_phonepage.moc"
