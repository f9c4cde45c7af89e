#include "CsvReader.h"
#include "FullFileSystem.h"
#include "TestPlatform.h"

#include "app/CsvExport.h"
#include "room/Room.h"
#include "store/WaitingListStore.h"

#include <QFile>
#include <QProcess>
#include <QTextStream>
#include <QTest>
#include <QTimeZone>

#include <sys/stat.h>

using namespace tavlo;
using namespace tavlo::test;

namespace {

// Noon, so that the day is the same in any time zone within eleven hours of UTC.
QDateTime noon(int day)
{
    return QDateTime(QDate(2026, 12, day), QTime(12, 0), QTimeZone::utc());
}

// A program folder whose database holds a change on each of 4, 5 and 6 December.
struct ExportFolder {
    TestPlatform t;
    QByteArray settings;

    ExportFolder()
    {
        t.addEmptyDatabase();
        settings = "DataBase=" + t.path(QStringLiteral("TAVLO.mdb")).toUtf8() + "\r\nFilePath=" + t.platform.programFolder.toUtf8()
                + "/\r\nPlayers_Per_List_Row1=0\r\nPlayers_Per_List_Row2=0\r\nList_Width=0\r\nStart_Maximized=False\r\n";
        t.writeFile(QStringLiteral("TAVLO.ini"), settings);
        WaitingListStore store(t.path(QStringLiteral("TAVLO.mdb")));
        Room room(store, t.clock);
        room.load();
        t.clock.set(noon(4));
        const qint64 game = *room.addGame(QStringLiteral("Stud, 7 card"));
        t.clock.set(noon(5));
        room.addPlayer(game, QStringLiteral("Zoë \"Z\""));
        t.clock.set(noon(6));
        room.deletePlayer(game, room.games()[0].players[0].id);
    }

    struct Result {
        int status = -1;
        QString output;
        QString errors;
    };

    Result run(const QStringList &arguments) const
    {
        QCommandLineParser parser;
        CsvExport::addOptions(parser);
        Result result;
        if (!parser.parse(QStringList(QStringLiteral("TAVLO")) + arguments))
            return result;
        QTextStream output(&result.output);
        QTextStream errors(&result.errors);
        result.status = CsvExport::run(parser, t.platform.programFolder, output, errors);
        return result;
    }
};

// happened: the rows written, "what happened" only
struct StatusRow { QStringList arguments; int status; QStringList happened; QString message; };

} // namespace

class TestCsvExport : public QObject {
    Q_OBJECT
private slots:
    void statuses_data()
    {
        QTest::addColumn<StatusRow>("row");

        const QStringList all{"game added", "added at place 1", "deleted from place 1"};
        QTest::newRow("everything") << StatusRow{{"--export-csv", "out.csv"}, 0, all, "3 changes written"};
        QTest::newRow("from a day on")
            << StatusRow{{"--export-csv", "out.csv", "--from", "2026-12-05"}, 0, all.mid(1), "2 changes written"};
        QTest::newRow("one day")
            << StatusRow{{"--export-csv=out.csv", "--from=2026-12-05", "--to=2026-12-05"}, 0, all.mid(1, 1), "1 change written"};
        QTest::newRow("days without changes")
            << StatusRow{{"--export-csv", "out.csv", "--to", "2026-12-01"}, 0, {}, "0 changes written"};
        QTest::newRow("not a date")
            << StatusRow{{"--export-csv", "out.csv", "--from", "5.12.2026"}, 2, {}, "--from needs a date as YYYY-MM-DD"};
        QTest::newRow("backwards")
            << StatusRow{{"--export-csv", "out.csv", "--from", "2026-12-06", "--to", "2026-12-05"}, 2, {}, "comes after"};
        QTest::newRow("dates without a file") << StatusRow{{"--from", "2026-12-06"}, 2, {}, "go with --export-csv FILE"};
        QTest::newRow("an empty file name") << StatusRow{{"--export-csv="}, 2, {}, "needs a file name"};
        QTest::newRow("a day without its option")
            << StatusRow{{"--export-csv", "out.csv", "2026-12-06"}, 2, {}, "\"2026-12-06\" is no option"};
        QTest::newRow("a folder that is not there") << StatusRow{{"--export-csv", "no/such/folder/out.csv"}, 3, {}, "cannot write"};
    }

    void statuses()
    {
        QFETCH(StatusRow, row);
        auto &[arguments, status, happened, message] = row;
        const ExportFolder folder;
        arguments.replaceInStrings(QStringLiteral("out.csv"), folder.t.path(QStringLiteral("out.csv")));
        const ExportFolder::Result result = folder.run(arguments);
        QCOMPARE(result.status, status);
        QVERIFY2((status == 0 ? result.output : result.errors).contains(message), qPrintable(result.output + result.errors));
        QCOMPARE(folder.t.readFile(QStringLiteral("TAVLO.ini")), folder.settings);
        if (status != 0) {
            QVERIFY(!QFile::exists(folder.t.path(QStringLiteral("out.csv"))));
            return;
        }
        const std::optional<QList<QStringList>> rows = readCsv(folder.t.readFile(QStringLiteral("out.csv")));
        QVERIFY(rows);
        QStringList written;
        for (const QStringList &row : rows->mid(1))
            written << row.value(3);
        QCOMPARE(written, happened);
        if (!happened.isEmpty())
            QCOMPARE(rows->at(1).at(1), QStringLiteral("Stud, 7 card"));
    }

    void unreadableDatabases_data()
    {
        QTest::addColumn<QByteArray>("database"); // what TAVLO.mdb holds; empty: no file
        QTest::addColumn<bool>("settings");       // whether TAVLO.ini names it
        QTest::newRow("missing") << QByteArray() << true;
        QTest::newRow("not a database") << QByteArray(4096, 'x') << true;
        QTest::newRow("no settings and no database") << QByteArray() << false;
    }

    // A database that cannot be read ends with its name, status 1, no file and TAVLO.ini as it was.
    void unreadableDatabases()
    {
        QFETCH(QByteArray, database);
        QFETCH(bool, settings);
        TestPlatform t;
        const QByteArray ini = "DataBase=" + t.path(QStringLiteral("TAVLO.mdb")).toUtf8() + "\r\n";
        if (settings)
            t.writeFile(QStringLiteral("TAVLO.ini"), ini);
        if (!database.isEmpty())
            t.writeFile(QStringLiteral("TAVLO.mdb"), database);
        QCommandLineParser parser;
        CsvExport::addOptions(parser);
        QVERIFY(parser.parse({QStringLiteral("TAVLO"), QStringLiteral("--export-csv"), t.path(QStringLiteral("out.csv"))}));
        QString output;
        QString errors;
        QTextStream out(&output);
        QTextStream err(&errors);
        QCOMPARE(CsvExport::run(parser, t.platform.programFolder, out, err), int(CsvExport::DatabaseUnreadable));
        QVERIFY2(errors.contains(QStringLiteral("cannot read the database ") + t.path(QStringLiteral("TAVLO.mdb"))), qPrintable(errors));
        QVERIFY(!QFile::exists(t.path(QStringLiteral("out.csv"))));
        QCOMPARE(QFile::exists(t.path(QStringLiteral("TAVLO.ini"))), settings);
    }

    // The program itself, copied into a folder of its own: the export needs no display.
    void program()
    {
        const QString built = qEnvironmentVariable("TAVLO_TEST_PROGRAM_FOLDER") + QStringLiteral("/TAVLO");
        if (!QFile::exists(built))
            QSKIP("the TAVLO program is not built");
        ExportFolder folder;
        QVERIFY(QFile::copy(built, folder.t.path(QStringLiteral("TAVLO"))));
        QFile(folder.t.path(QStringLiteral("TAVLO"))).setPermissions(QFile::ReadOwner | QFile::ExeOwner);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        const auto run = [&](const QStringList &arguments) {
            QProcess process;
            process.setProcessEnvironment(env);
            process.start(folder.t.path(QStringLiteral("TAVLO")), arguments);
            if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
                return std::pair(-1, QByteArray());
            return std::pair(process.exitCode(), process.readAllStandardOutput() + process.readAllStandardError());
        };
        auto [status, said] = run({QStringLiteral("--export-csv"), QStringLiteral("-"), QStringLiteral("--from"),
                                   QStringLiteral("2026-12-06")});
        QCOMPARE(status, 0);
        const std::optional<QList<QStringList>> rows = readCsv(said);
        QVERIFY2(rows, said.constData());
        QCOMPARE(rows->size(), 2);
        QCOMPARE(rows->at(1).at(2), QStringLiteral("Zoë \"Z\""));

        // Mistakes on the command line (in the window's mode too) end with 2 and say what they
        // are; a device is written to, not replaced, and a full one fails with 3.
        const QString out = folder.t.path(QStringLiteral("out.csv"));
        const QString full = makeFullDevice(folder.t.platform.programFolder);
        const QList<std::tuple<QStringList, int, QByteArray>> failures{
            {{"--export-csv"}, 2, "TAVLO: Missing value after '--export-csv'"},
            {{"--export-csv", out, "--colour"}, 2, "TAVLO: Unknown option 'colour'"},
            {{"-platform", "offscreen", "--colour"}, 2, "TAVLO: Unknown option 'colour'"},
            {{"--export-csv", full}, 3, "No space left on device"},
        };
        for (const auto &[arguments, expected, words] : failures) {
            if (arguments.contains(QString()))
                continue; // no device node could be made here
            std::tie(status, said) = run(arguments);
            QCOMPARE(status, expected);
            QVERIFY2(said.contains(words), said.constData());
        }
        QVERIFY(!QFile::exists(out) && !QFileInfo(full).isFile());

        // A pipe gets the rows, and stays a pipe.
        const QString pipe = folder.t.path(QStringLiteral("pipe"));
        QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        QProcess reader;
        reader.start(QStringLiteral("cat"), {pipe});
        QVERIFY(reader.waitForStarted());
        QCOMPARE(run({QStringLiteral("--export-csv"), pipe}).first, 0);
        QVERIFY2(reader.waitForFinished(5000), "nothing wrote into the pipe");
        QCOMPARE(readCsv(reader.readAllStandardOutput()).value_or(QList<QStringList>()).size(), 4);
        QVERIFY(QFileInfo::exists(pipe) && !QFileInfo(pipe).isFile());
    }
};

QTEST_GUILESS_MAIN(TestCsvExport)
#include "tst_csvexport.moc"
