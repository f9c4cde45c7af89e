#include "FragmentSamples.h"
#include "base/TextFile.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>

using namespace tavlo;
using namespace tavlo::test;

namespace {

// Each wait for the page is bounded; it refreshes every two seconds.
constexpr int kPageTimeoutMs = 10000;

// Chromium, headless and kept off the network, driven through its DevTools pipe, so no port is
// opened. Every wait is bounded; the browser is ended when this object goes.
class Chromium {
public:
    ~Chromium()
    {
        call(QStringLiteral("Browser.close"), {}, QString());
        m_process.waitForFinished(5000); // else QProcess kills it
    }

    // Starts the browser and attaches to a tab on the page; whether that worked.
    bool open(const QString &program, const QString &url)
    {
        const QStringList flags = QStringLiteral("--headless --no-sandbox --disable-gpu --no-first-run --disable-sync "
                                                 "--disable-background-networking --disable-component-update "
                                                 "--allow-file-access-from-files --remote-debugging-pipe about:blank")
                                      .split(QLatin1Char(' '));
        // The shell hands the browser this process's pipes as descriptors 3 and 4, and drops its output.
        const QString shell = QStringLiteral("exec \"$0\" \"$@\" 3<&0 4>&1 >/dev/null 2>&1");
        m_process.start(QStringLiteral("/bin/sh"),
                        QStringList{QStringLiteral("-c"), shell, program, QStringLiteral("--user-data-dir=") + m_profile.path()}
                            + flags);
        const QJsonValue target = call(QStringLiteral("Target.createTarget"), {{QStringLiteral("url"), url}},
                                       QStringLiteral("targetId"));
        m_session = call(QStringLiteral("Target.attachToTarget"),
                         {{QStringLiteral("targetId"), target}, {QStringLiteral("flatten"), true}},
                         QStringLiteral("sessionId"))
                        .toString();
        return !m_session.isEmpty();
    }

    // The board's text; not innerText, which leaves out the blinking names while they are off.
    QString boardText() { return evaluate(QStringLiteral("(document.getElementById('board') || {}).textContent || ''")).toString(); }

    QJsonValue evaluate(const QString &script)
    {
        return call(QStringLiteral("Runtime.evaluate"), {{QStringLiteral("expression"), script}},
                    QStringLiteral("result"), m_session)
            .toObject()
            .value(QLatin1String("value"));
    }

private:
    // A field of the call's result; undefined on an error or after ten seconds without an answer.
    QJsonValue call(const QString &method, const QJsonObject &params, const QString &field, const QString &session = {})
    {
        QJsonObject message{{QStringLiteral("id"), ++m_id}, {QStringLiteral("method"), method}, {QStringLiteral("params"), params}};
        if (!session.isEmpty())
            message.insert(QStringLiteral("sessionId"), session);
        m_process.write(QJsonDocument(message).toJson(QJsonDocument::Compact) + '\0');
        const QDeadlineTimer deadline(10000);
        for (;;) {
            for (qsizetype end; (end = m_received.indexOf('\0')) >= 0;) {
                const QJsonObject reply = QJsonDocument::fromJson(m_received.left(end)).object();
                m_received.remove(0, end + 1);
                if (reply.value(QLatin1String("id")).toInt() == m_id) // else an event or an older answer
                    return reply.value(QLatin1String("result")).toObject().value(field);
            }
            if (!m_process.waitForReadyRead(int(deadline.remainingTime())))
                return QJsonValue::Undefined;
            m_received += m_process.readAllStandardOutput();
        }
    }

    QProcess m_process;
    QTemporaryDir m_profile;
    QByteArray m_received;
    QString m_session;
    int m_id = 0;
};

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
