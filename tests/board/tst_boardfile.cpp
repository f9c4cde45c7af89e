#include "board/BoardFile.h"
#include "board/ShortName.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QTest>

using namespace tavlo;

namespace {

QDateTime utc(int y, int mo, int d, int h = 0, int mi = 0, int s = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::UTC);
}

BoardSnapshot sample()
{
    BoardSnapshot board;
    board.writtenAt = utc(2026, 12, 6, 21, 4, 10);
    board.changedAt = utc(2026, 12, 6, 21, 3, 55);
    board.games = {{QStringLiteral("Poker"),
                    {{QStringLiteral("Anna"), {false, true, false}, utc(2026, 12, 6, 20, 30)},
                     {QStringLiteral("Ben"), {true, false, false}, QDateTime()},
                     {QStringLiteral("Carl"), {true, true, true}, utc(2026, 12, 6, 20, 59, 59)}},
                    QStringLiteral("about 25 min")},
                   {QStringLiteral("Blackjack"), {}, QString()}};
    return board;
}

// A board file of the sample with one member of the root replaced (or removed, for null).
QByteArray withRoot(const char *key, const QJsonValue &value)
{
    QJsonObject root = QJsonDocument::fromJson(encodeBoardFile(sample())).object();
    if (value.isNull())
        root.remove(QLatin1String(key));
    else
        root.insert(QLatin1String(key), value);
    return QJsonDocument(root).toJson();
}

} // namespace

class TestBoardFile : public QObject {
    Q_OBJECT
private slots:
    // What other programs read: members, order and values, one player to a line.
    void writesTheDocumentedShape()
    {
        const QByteArray bytes = encodeBoardFile(sample());
        const QList<QByteArray> lines = bytes.split('\n');
        QCOMPARE(lines.value(0),
                 QByteArray(R"({"format":"TAVLO board","version":1,"written":"2026-12-06T21:04:10Z",)"
                            R"("changed":"2026-12-06T21:03:55Z","heartbeatSeconds":10,"games":[)"));
        QCOMPARE(lines.value(1), QByteArray(R"({"name":"Poker","estimate":"about 25 min","players":[)"));
        QCOMPARE(lines.value(2), QByteArray(R"({"position":1,"name":"Anna","markers":["star"],"added":"2026-12-06T20:30:00Z"},)"));
        QCOMPARE(lines.value(3), QByteArray(R"({"position":2,"name":"Ben","markers":["blink"],"added":null},)"));
        QCOMPARE(lines.value(4),
                 QByteArray(R"({"position":3,"name":"Carl","markers":["blink","star","phone"],"added":"2026-12-06T20:59:59Z"}]},)"));
        QCOMPARE(lines.value(5), QByteArray(R"({"name":"Blackjack","players":[]})"));
        QCOMPARE(lines.value(6), QByteArray("]}"));
        QVERIFY(QJsonDocument::fromJson(bytes).isObject());

        // A call and an away are members of their own, where there is one.
        BoardSnapshot called = sample();
        called.games[0].players[1].callEnds = QDateTime(QDate(2026, 12, 6), QTime(21, 8, 0), Qt::UTC);
        called.games[0].players[1].awaySince = QDateTime(QDate(2026, 12, 6), QTime(21, 1, 0), Qt::UTC);
        QCOMPARE(encodeBoardFile(called).split('\n').value(3),
                 QByteArray(R"({"position":2,"name":"Ben","markers":["blink"],"added":null,)"
                            R"("callEnds":"2026-12-06T21:08:00Z","away":"2026-12-06T21:01:00Z"},)"));
    }

    // Whatever an operator typed comes back as typed, through any JSON reader.
    void namesRoundTrip_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("quotes and backslashes") << QStringLiteral("Ann \"the \\ Ace\"");
        QTest::newRow("markup") << QStringLiteral("</td></tr><script>alert(1)</script>&amp;");
        QTest::newRow("control characters") << QStringLiteral("a\tb\nc\rd\x01\x1f");
        QTest::newRow("line separators") << QStringLiteral("a\u2028b\u2029c");
        QTest::newRow("beyond the basic plane") << QStringLiteral("Zoë 🂡 ★");
        QTest::newRow("blanks kept") << QStringLiteral("  two  blanks ");
        QTest::newRow("empty") << QString();
    }
    void namesRoundTrip()
    {
        QFETCH(QString, name);
        BoardSnapshot board = sample();
        board.games[0].name = name;
        board.games[0].players[1].name = name;
        const QByteArray bytes = encodeBoardFile(board);
        const BoardFileContent content = readBoardFile(bytes);
        QVERIFY2(content.isRead(), qPrintable(content.problem));
        QCOMPARE(content.board, board);
        // Another reader sees the same, and the file has no raw line break inside a string.
        const QJsonObject game = QJsonDocument::fromJson(bytes).object()[QLatin1String("games")][0].toObject();
        QCOMPARE(game[QLatin1String("name")].toString(), name);
        QVERIFY(!bytes.contains("\r") && !bytes.contains("\xe2\x80\xa8"));
    }

    void randomRoomsRoundTrip()
    {
        QRandomGenerator random(16);
        for (int round = 0; round < 50; ++round) {
            BoardSnapshot board;
            board.writtenAt = QDateTime::fromSecsSinceEpoch(random.bounded(4000000000LL), Qt::UTC);
            board.heartbeatSeconds = 1 + int(random.bounded(60));
            for (int g = int(random.bounded(6)); g > 0; --g) {
                WaitingGame game{QStringLiteral("G%1").arg(g), {},
                                 g % 2 ? QStringLiteral("%1\u2013%2 min").arg(g * 5).arg(g * 9) : QString(), random.bounded(3) == 0};
                for (int p = int(random.bounded(20)); p > 0; --p) {
                    const quint32 bits = random.generate();
                    const QDateTime time = QDateTime::fromSecsSinceEpoch(bits >> 4, Qt::UTC);
                    game.players.append({QString(QChar(0x20 + int(bits % 0x2000))).repeated(1 + p % 3),
                                         {bool(bits & 1), bool(bits & 2), bool(bits & 4)},
                                         bits & 8 ? QDateTime() : time, {},
                                         bits & 16 ? time.addSecs(300) : QDateTime(), bits & 32 ? time.addSecs(7) : QDateTime()});
                }
                board.games.append(game);
            }
            QCOMPARE(readBoardFile(encodeBoardFile(board)).board, board);
        }
    }

    void times_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDateTime>("time"); // invalid: no time
        QTest::newRow("as written") << "2026-12-06T21:04:10Z" << utc(2026, 12, 6, 21, 4, 10);
        QTest::newRow("leap day") << "2028-02-29T00:00:00Z" << utc(2028, 2, 29);
        QTest::newRow("before 1970") << "1969-12-31T23:59:59Z" << utc(1969, 12, 31, 23, 59, 59);
        QTest::newRow("last second") << "9999-12-31T23:59:59Z" << utc(9999, 12, 31, 23, 59, 59);
        QTest::newRow("no such day") << "2026-02-29T10:00:00Z" << QDateTime();
        QTest::newRow("hour 24") << "2026-12-06T24:00:00Z" << QDateTime();
        QTest::newRow("letters") << "2026-12-06T2x:00:00Z" << QDateTime();
        QTest::newRow("another writer's offset") << "2026-12-06T22:04:10.500+01:00"
                                                 << utc(2026, 12, 6, 21, 4, 10).addMSecs(500);
        QTest::newRow("as Python writes it") << "2026-12-06T21:04:10.123456+00:00" << utc(2026, 12, 6, 21, 4, 10).addMSecs(123);
        QTest::newRow("west of Greenwich") << "2026-12-06T16:04:10.25-05:00" << utc(2026, 12, 6, 21, 4, 10).addMSecs(250);
        QTest::newRow("no zone") << "2026-12-06T21:04:10" << QDateTime();
        QTest::newRow("no time") << "yesterday" << QDateTime();
    }
    void times()
    {
        QFETCH(QString, text);
        QFETCH(QDateTime, time);
        QCOMPARE(readBoardFileTime(text), time);
        if (time.isValid() && time.time().msec() == 0 && time.timeSpec() == Qt::UTC)
            QCOMPARE(boardFileTime(time), text);
    }

    // A file of another version is left alone whatever it holds; a malformed file of this
    // version is not shown at all rather than in part; what a later writer adds is passed over.
    void readingWhatOthersWrite_data()
    {
        using Status = BoardFileContent::Status;
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("status");
        const QByteArray good = encodeBoardFile(sample());
        QTest::newRow("as written") << good << int(Status::Read);
        QTest::newRow("cut short") << good.left(good.size() / 2) << int(Status::Unreadable);
        QTest::newRow("not JSON") << QByteArray("<table>") << int(Status::Unreadable);
        QTest::newRow("a list") << QByteArray("[1,2]") << int(Status::Unreadable);
        QTest::newRow("someone else's JSON") << withRoot("format", QStringLiteral("other")) << int(Status::Unreadable);
        QTest::newRow("version 2") << withRoot("version", 2) << int(Status::UnknownVersion);
        QTest::newRow("version 2 of another shape")
            << QByteArray(R"({"format":"TAVLO board","version":2,"games":"elsewhere"})") << int(Status::UnknownVersion);
        QTest::newRow("version as text") << withRoot("version", QStringLiteral("1")) << int(Status::Unreadable);
        QTest::newRow("version 1.5") << withRoot("version", 1.5) << int(Status::Unreadable);
        QTest::newRow("no written time") << withRoot("written", QJsonValue()) << int(Status::Unreadable);
        QTest::newRow("a letter in the year") << withRoot("written", QStringLiteral("20x6-12-07T00:00:00Z"))
                                              << int(Status::Unreadable);
        QTest::newRow("a changed time without seconds") << withRoot("changed", QStringLiteral("2026-12-06T21:04Z"))
                                                        << int(Status::Unreadable);
        QTest::newRow("heartbeat of zero") << withRoot("heartbeatSeconds", 0) << int(Status::Unreadable);
        QTest::newRow("games not a list") << withRoot("games", QJsonObject()) << int(Status::Unreadable);
        QTest::newRow("a player without a name")
            << QByteArray(R"({"format":"TAVLO board","version":1,"written":"2026-12-06T21:04:10Z","games":[{"name":"P","players":[{"markers":[]}]}]})")
            << int(Status::Unreadable);
        QTest::newRow("a bad added time")
            << QByteArray(R"({"format":"TAVLO board","version":1,"written":"2026-12-06T21:04:10Z","games":[{"name":"P","players":[{"name":"A","added":"soon"}]}]})")
            << int(Status::Unreadable);
        QTest::newRow("deeply nested")
            << R"({"format":"TAVLO board","version":1,"written":"2026-12-06T21:04:10Z","games":[],"x":)"
                    + QByteArray(100000, '[') + QByteArray(100000, ']') + "}"
            << int(Status::Unreadable);
    }
    void readingWhatOthersWrite()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, status);
        const BoardFileContent content = readBoardFile(bytes);
        QCOMPARE(int(content.status), status);
        QCOMPARE(content.problem.isEmpty(), content.isRead());
        if (!content.isRead())
            QCOMPARE(content.board, BoardSnapshot());
    }

    // What a later or another writer may put in: members and markers this reader does not
    // know are passed over, half a surrogate pair and broken UTF-8 read as the replacement.
    void whatOtherWritersPut()
    {
        const BoardFileContent content = readBoardFile(
            R"({"format":"TAVLO board","version":1,"written":"2026-12-06T21:04:10Z","room":"East","games":[{"name":"P\ud83c\u0041","estimate":{"minutes":25},"players":[{"name":"A\udca1\ud83c\udca1)"
            "\xff"
            R"(","markers":["star","crown"],"vip":true}]}]})");
        QVERIFY2(content.isRead(), qPrintable(content.problem));
        QCOMPARE(content.board.heartbeatSeconds, DefaultHeartbeatSeconds);
        QVERIFY(!content.board.changedAt.isValid());
        QCOMPARE(content.board.games.value(0).name, QStringLiteral("P\uFFFDA"));
        QCOMPARE(content.board.games.value(0).players.value(0).name, QStringLiteral("A\uFFFD\U0001F0A1\uFFFD"));
        QCOMPARE(content.board.games.value(0).players.value(0).markers, (PlayerMarkers{false, true, false}));
    }

    void firstNamesWithInitials_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("shown");
        QTest::newRow("two words") << "Alice Brown" << "Alice B.";
        QTest::newRow("one word") << "Alice" << "Alice";
        QTest::newRow("three words") << "Anna van Berg" << "Anna B.";
        QTest::newRow("blanks") << "  Alice   brown " << "Alice B.";
        QTest::newRow("already short") << "Alice B." << "Alice B.";
        QTest::newRow("initial after punctuation") << "Bob (Tiny)" << "Bob T.";
        QTest::newRow("no letter in the last word") << "Bob ★" << "Bob";
        QTest::newRow("accented") << "Zoë Élan" << "Zoë É.";
        QTest::newRow("beyond the basic plane") << "Al 𝒳avier" << "Al 𝒳.";
        QTest::newRow("empty") << "" << "";
    }
    void firstNamesWithInitials()
    {
        QFETCH(QString, name);
        QFETCH(QString, shown);
        QCOMPARE(firstNameWithInitial(name), shown);
    }
};

QTEST_MAIN(TestBoardFile)
#include "tst_boardfile.moc"
