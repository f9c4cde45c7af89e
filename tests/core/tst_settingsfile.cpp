#include "core/SettingsFile.h"
#include "FullFileSystem.h"
#include "TestPlatform.h"
#include "core/WindowState.h"

#include <QFile>
#include <QtTest>

using namespace tavlo;
using tavlo::test::TestPlatform;

namespace {

bool readWith(TestPlatform &t, const QByteArray &content, WindowState &state)
{
    t.writeFile(QStringLiteral("TAVLO.ini"), content);
    QString job = QStringLiteral(" Read ");
    const bool ok = INIFile(job, state, t.platform);
    if (job != QLatin1String("READ"))
        qWarning("job not normalised: %s", qPrintable(job));
    return ok;
}

} // namespace

class TestSettingsFile : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void firstRunWritesDefaults()
    {
        TestPlatform t;
        WindowState state;
        QString job = QStringLiteral("read");
        QVERIFY(INIFile(job, state, t.platform));
        QCOMPARE(job, QStringLiteral("WRITE"));
        QVERIFY(state.FirstRun);
        const QString folder = t.platform.programFolder + QLatin1Char('/');
        QCOMPARE(state.DatabasePath, folder + QStringLiteral("TAVLO.mdb"));
        QCOMPARE(state.FilePath, folder);
        QCOMPARE(state.PlayersPerListRow1, 15);
        QCOMPARE(state.PlayersPerListRow2, 10);
        QVERIFY(t.readFile(QStringLiteral("TAVLO.ini")).endsWith("\r\nPlayers_Per_List_Row1=15\r\nPlayers_Per_List_Row2=10\r\nList_Width=0\r\nStart_Maximized=False\r\n"));
        QVERIFY(t.messages.shown.isEmpty());

        // The second run reads what the first one wrote and is no first run.
        WindowState next;
        job = QStringLiteral("read");
        QVERIFY(INIFile(job, next, t.platform));
        QVERIFY(!next.FirstRun);
        QCOMPARE(next.DatabasePath, state.DatabasePath);
    }

    void readParsesLines_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("database");
        QTest::addColumn<QString>("filePath");
        QTest::addColumn<int>("width");
        QTest::addColumn<bool>("maximized");
        QTest::newRow("lower-case key") << QByteArray("database=D:\\Data\\TAVLO.mdb") << "D:\\Data\\TAVLO.mdb" << "" << 0 << false;
        QTest::newRow("blank before key ignored") << QByteArray(" DataBase=x") << "" << "" << 0 << false;
        QTest::newRow("blank before = ignored") << QByteArray("DataBase =x") << "" << "" << 0 << false;
        QTest::newRow("value keeps blanks") << QByteArray("FilePath= /srv/show/") << "" << " /srv/show/" << 0 << false;
        QTest::newRow("value may hold =") << QByteArray("DataBase=a=b") << "a=b" << "" << 0 << false;
        QTest::newRow("no = skipped") << QByteArray("[Settings]") << "" << "" << 0 << false;
        QTest::newRow("leading = skipped") << QByteArray("=List_Width=5") << "" << "" << 0 << false;
        QTest::newRow("unknown key") << QByteArray("Colour=red") << "" << "" << 0 << false;
        QTest::newRow("640px") << QByteArray("List_Width=640px") << "" << "" << 640 << false;
        QTest::newRow("abc") << QByteArray("List_Width=abc") << "" << "" << 0 << false;
        QTest::newRow("12.5") << QByteArray("List_Width=12.5") << "" << "" << 12 << false;
        QTest::newRow("13.5") << QByteArray("List_Width=13.5") << "" << "" << 14 << false;
        QTest::newRow("negative") << QByteArray("List_Width=-3") << "" << "" << -3 << false;
        QTest::newRow("true any case") << QByteArray("Start_Maximized=tRUE") << "" << "" << 0 << true;
        QTest::newRow("one is true") << QByteArray("Start_Maximized=1") << "" << "" << 0 << true;
        QTest::newRow("zero is false") << QByteArray("Start_Maximized=0") << "" << "" << 0 << false;
    }

    void readParsesLines()
    {
        QFETCH(QByteArray, line);
        QFETCH(QString, database);
        QFETCH(QString, filePath);
        QFETCH(int, width);
        QFETCH(bool, maximized);
        TestPlatform t;
        WindowState state;
        QVERIFY(readWith(t, line + "\r\n", state));
        QCOMPARE(state.DatabasePath, database);
        QCOMPARE(state.FilePath, filePath);
        QCOMPARE(int(state.ListWidth), width);
        QCOMPARE(state.StartMaximized, maximized);
        QVERIFY(!state.FirstRun);
        QVERIFY(!t.ending.ended());
    }

    void lineEnds_data()
    {
        QTest::addColumn<QByteArray>("separator");
        QTest::newRow("CR LF") << QByteArray("\r\n");
        QTest::newRow("lone CR") << QByteArray("\r");
        // Files edited by hand on Linux end their lines in LF alone; each is a line of its own.
        QTest::newRow("lone LF") << QByteArray("\n");
    }

    void lineEnds()
    {
        QFETCH(QByteArray, separator);
        TestPlatform t;
        WindowState state;
        const QByteArray file = "DataBase=/data/TAVLO.mdb" + separator + "FilePath=/show/" + separator
                + "Players_Per_List_Row1=7" + separator;
        QVERIFY(readWith(t, file, state));
        QCOMPARE(state.DatabasePath, QStringLiteral("/data/TAVLO.mdb"));
        QCOMPARE(state.FilePath, QStringLiteral("/show/"));
        QCOMPARE(state.PlayersPerListRow1, 7);
    }

    void laterLinesOverride()
    {
        TestPlatform t;
        WindowState state;
        state.PlayersPerListRow2 = 4; // absent keys leave the state as it was
        QVERIFY(readWith(t, "List_Width=1\r\nLIST_WIDTH=2\r\n", state));
        QCOMPARE(state.ListWidth, 2);
        QCOMPARE(state.PlayersPerListRow2, 4);
    }

    void unconvertibleValueEndsTheProgram_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::newRow("row count above 16 bits") << QByteArray("Players_Per_List_Row1=32768");
        QTest::newRow("row count far below") << QByteArray("Players_Per_List_Row2=-99999");
        QTest::newRow("yes is no boolean") << QByteArray("Start_Maximized=yes");
        QTest::newRow("empty boolean") << QByteArray("Start_Maximized=");
    }

    void unconvertibleValueEndsTheProgram()
    {
        QFETCH(QByteArray, line);
        TestPlatform t;
        WindowState state;
        QVERIFY(!readWith(t, line + "\r\n", state));
        QVERIFY(t.ending.ended());
        QCOMPARE(t.messages.shown.size(), 1);
        QCOMPARE(t.messages.shown[0].text, QStringLiteral("Unexpected Error!\r\nCannot READ file ") + t.path(QStringLiteral("TAVLO.ini")));
        QCOMPARE(t.messages.shown[0].style, 16);
        QCOMPARE(t.messages.shown[0].title, QStringLiteral("TAVLO"));
    }

    void writeIsExactAndReplacesWhole()
    {
        TestPlatform t;
        t.writeFile(QStringLiteral("TAVLO.ini"), "Unknown=kept?\r\n[Section]\r\nDataBase=old\r\n");
        WindowState state;
        state.DatabasePath = QStringLiteral("/d b/TAVLO.mdb");
        state.FilePath = QStringLiteral("/show/");
        state.PlayersPerListRow1 = -5;
        state.PlayersPerListRow2 = 0;
        state.ListWidth = 640;
        state.StartMaximized = true;
        QString job = QStringLiteral("write");
        QVERIFY(INIFile(job, state, t.platform));
        QCOMPARE(t.readFile(QStringLiteral("TAVLO.ini")),
                 QByteArray("DataBase=/d b/TAVLO.mdb\r\nFilePath=/show/\r\nPlayers_Per_List_Row1=-5\r\n"
                            "Players_Per_List_Row2=0\r\nList_Width=640\r\nStart_Maximized=True\r\n"));

        // Any other job touches nothing.
        job = QStringLiteral("erase");
        QVERIFY(INIFile(job, state, t.platform));
        QVERIFY(t.readFile(QStringLiteral("TAVLO.ini")).startsWith("DataBase=/d b/"));
    }

    // A full disk or a file that may not grow keeps the old settings whole and says so.
    void failedWriteKeepsSettings()
    {
        const QByteArray old("DataBase=/old.mdb\r\nFilePath=/old/\r\n");
        WindowState state;
        state.DatabasePath = QString(2000, QLatin1Char('d'));
        const auto writeFails = [&state](TestPlatform &t) {
            QString job = QStringLiteral("write");
            return !INIFile(job, state, t.platform) && t.ending.ended() && t.messages.shown.size() == 1
                    && t.messages.shown[0].text == QStringLiteral("Unexpected Error!\r\nCannot WRITE file ") + t.path(QStringLiteral("TAVLO.ini"));
        };

        test::FullFileSystem disk;
        if (disk.isMounted()) {
            TestPlatform t;
            t.platform.programFolder = disk.folder();
            t.writeFile(QStringLiteral("TAVLO.ini"), old);
            disk.fill();
            QVERIFY(writeFails(t));
            QCOMPARE(t.readFile(QStringLiteral("TAVLO.ini")), old);
        }

        TestPlatform t;
        t.writeFile(QStringLiteral("TAVLO.ini"), old);
        QCOMPARE(test::runWithFileSizeLimit(100, [&] { return writeFails(t) ? 0 : 1; }), 0);
        QCOMPARE(t.readFile(QStringLiteral("TAVLO.ini")), old);
    }

    void unwritableFolderNamesWrite()
    {
        // No settings file and a program folder that cannot take one: the read turned into a write.
        TestPlatform t;
        t.platform.programFolder += QStringLiteral("/gone");
        WindowState state;
        QString job = QStringLiteral("read");
        QVERIFY(!INIFile(job, state, t.platform));
        QVERIFY(t.ending.ended());
        QCOMPARE(t.messages.shown.size(), 1);
        QCOMPARE(t.messages.shown[0].text,
                 QStringLiteral("Unexpected Error!\r\nCannot WRITE file ") + t.platform.programFolder + QStringLiteral("/TAVLO.ini"));
    }
};

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "tst_settingsfile.moc"
