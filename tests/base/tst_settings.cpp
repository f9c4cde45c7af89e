#include "FullFileSystem.h"

#include "base/Settings.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace tavlo;
using namespace tavlo::test;

namespace {

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

struct LineRow { QByteArray line; QString database, displayFolder; int width; bool maximized; };

} // namespace

class TestSettings : public QObject {
    Q_OBJECT
private slots:
    void firstRunWritesDefaults()
    {
        QTemporaryDir folder;
        const SettingsFile file(folder.path());
        Settings settings;
        bool firstRun = false;
        QVERIFY(!file.load(settings, firstRun));
        QVERIFY(firstRun);
        const QString prefix = folder.path() + QLatin1Char('/');
        QCOMPARE(settings, Settings::defaults(folder.path()));
        QCOMPARE(contentOf(file.path()), ("DataBase=" + prefix + "TAVLO.mdb\r\nFilePath=" + prefix
                                          + "\r\nPlayers_Per_List_Row1=15\r\nPlayers_Per_List_Row2=10\r\nList_Width=0\r\n"
                                            "Start_Maximized=False\r\n")
                                             .toUtf8());

        // The second run reads what the first one wrote and is no first run.
        Settings next;
        bool again = false;
        QVERIFY(!file.load(next, again));
        QVERIFY(!again);
        QCOMPARE(next, settings);
    }

    void linesAreRead_data()
    {
        QTest::addColumn<LineRow>("row");
        QTest::newRow("lower-case key") << LineRow{QByteArray("database=D:\\Data\\TAVLO.mdb"), "D:\\Data\\TAVLO.mdb", "", 0, false};
        QTest::newRow("blank before key ignored") << LineRow{QByteArray(" DataBase=x"), "", "", 0, false};
        QTest::newRow("blank before = ignored") << LineRow{QByteArray("DataBase =x"), "", "", 0, false};
        QTest::newRow("value keeps blanks") << LineRow{QByteArray("FilePath= /srv/show/"), "", " /srv/show/", 0, false};
        QTest::newRow("value may hold =") << LineRow{QByteArray("DataBase=a=b"), "a=b", "", 0, false};
        QTest::newRow("no = skipped") << LineRow{QByteArray("[Settings]"), "", "", 0, false};
        QTest::newRow("leading = skipped") << LineRow{QByteArray("=List_Width=5"), "", "", 0, false};
        QTest::newRow("unknown key") << LineRow{QByteArray("Colour=red"), "", "", 0, false};
        QTest::newRow("640px") << LineRow{QByteArray("List_Width=640px"), "", "", 640, false};
        QTest::newRow("13.5") << LineRow{QByteArray("List_Width=13.5"), "", "", 14, false};
        QTest::newRow("true any case") << LineRow{QByteArray("Start_Maximized=tRUE"), "", "", 0, true};
        QTest::newRow("one is true") << LineRow{QByteArray("Start_Maximized=1"), "", "", 0, true};
        QTest::newRow("zero is false") << LineRow{QByteArray("Start_Maximized=0"), "", "", 0, false};
    }

    void linesAreRead()
    {
        QFETCH(LineRow, row);
        const auto &[line, database, displayFolder, width, maximized] = row;
        Settings settings;
        QVERIFY(SettingsFile::parse(line + "\r\n", settings));
        QCOMPARE(settings.databasePath, database);
        QCOMPARE(settings.displayFolder, displayFolder);
        QCOMPARE(int(settings.listWidth), width);
        QCOMPARE(settings.startMaximized, maximized);
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
        Settings settings;
        QVERIFY(SettingsFile::parse("DataBase=/data/TAVLO.mdb" + separator + "FilePath=/show/" + separator
                                        + "Players_Per_List_Row1=7" + separator,
                                    settings));
        QCOMPARE(settings.databasePath, QStringLiteral("/data/TAVLO.mdb"));
        QCOMPARE(settings.displayFolder, QStringLiteral("/show/"));
        QCOMPARE(settings.rowsInFirstRow, 7);
    }

    void laterLinesOverride()
    {
        Settings settings;
        settings.rowsInSecondRow = 4; // absent keys leave the settings as they were
        QVERIFY(SettingsFile::parse("List_Width=1\r\nLIST_WIDTH=2\r\n", settings));
        QCOMPARE(settings.listWidth, 2);
        QCOMPARE(settings.rowsInSecondRow, 4);
        QCOMPARE(SettingsFile::value("FilePath=/a/\r\nStart_Maximized=yes\r\nfilepath=/b/\r\n", QStringLiteral("FILEPATH")),
                 QStringLiteral("/b/"));
        QCOMPARE(SettingsFile::value("DataBase=x\r\n", QStringLiteral("FILEPATH")), std::nullopt);
    }

    void unconvertibleValuesFail_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::newRow("row count above 16 bits") << QByteArray("Players_Per_List_Row1=32768");
        QTest::newRow("row count far below") << QByteArray("Players_Per_List_Row2=-99999");
        QTest::newRow("too large") << QByteArray("List_Width=1e999");
        QTest::newRow("yes is no boolean") << QByteArray("Start_Maximized=yes");
        QTest::newRow("empty boolean") << QByteArray("Start_Maximized=");
    }

    void unconvertibleValuesFail()
    {
        QFETCH(QByteArray, line);
        QTemporaryDir folder;
        const SettingsFile file(folder.path());
        write(file.path(), "DataBase=/x.mdb\r\n" + line + "\r\n");
        Settings settings;
        bool firstRun = false;
        const auto failure = file.load(settings, firstRun);
        QVERIFY(failure);
        QCOMPARE(failure->job, SettingsFile::Job::Read);
        QCOMPARE(failure->path, file.path());
        QCOMPARE(failure->invalidLine, QString::fromLatin1(line)); // the message names it
    }

    void writeIsExactAndReplacesWhole()
    {
        QTemporaryDir folder;
        const SettingsFile file(folder.path());
        write(file.path(), "Unknown=kept?\r\n[Section]\r\nDataBase=old\r\n");
        Settings settings;
        settings.databasePath = QStringLiteral("/d b/TAVLO.mdb");
        settings.displayFolder = QStringLiteral("/show/");
        settings.rowsInFirstRow = -5;
        settings.listWidth = 640;
        settings.startMaximized = true;
        QVERIFY(!file.save(settings));
        QCOMPARE(contentOf(file.path()), QByteArray("DataBase=/d b/TAVLO.mdb\r\nFilePath=/show/\r\nPlayers_Per_List_Row1=-5\r\n"
                                                    "Players_Per_List_Row2=0\r\nList_Width=640\r\nStart_Maximized=True\r\n"));

        // The floor's lines follow the six, only when not at their defaults, and read back.
        settings.callMinutes = 3;
        settings.removeNoShows = true;
        QVERIFY(!file.save(settings));
        QVERIFY(contentOf(file.path()).endsWith("Start_Maximized=True\r\nCall_Minutes=3\r\nRemove_No_Shows=True\r\n"));
        Settings read;
        QVERIFY(SettingsFile::parse(contentOf(file.path()), read));
        QCOMPARE(read, settings);
        // A language line read is written back, after the six.
        write(file.path(), contentOf(file.path()) + "language= es\r\n");
        bool firstRun = false;
        QVERIFY(!file.load(settings, firstRun) && !file.save(settings));
        QVERIFY(contentOf(file.path()).endsWith("Remove_No_Shows=True\r\nLanguage= es\r\n"));
    }

    // A file that may not grow, or a folder that is gone, keeps the old settings whole and says
    // which write failed (the writer itself is tried on a full disk with the text files).
    void failedWriteKeepsSettings()
    {
        const QByteArray old("DataBase=/old.mdb\r\nFilePath=/old/\r\n");
        Settings settings;
        settings.databasePath = QString(2000, QLatin1Char('d'));
        const auto writeFails = [&settings](const SettingsFile &file) {
            const auto failure = file.save(settings);
            return failure && failure->job == SettingsFile::Job::Write && failure->path == file.path();
        };

        QTemporaryDir folder;
        const SettingsFile file(folder.path());
        write(file.path(), old);
        QCOMPARE(runWithFileSizeLimit(100, [&] { return writeFails(file) ? 0 : 1; }), 0);
        QCOMPARE(contentOf(file.path()), old);

        // No settings file and a program folder that cannot take one: the read turned into a write.
        const SettingsFile gone(folder.filePath(QStringLiteral("gone")));
        bool firstRun = false;
        const auto failure = gone.load(settings, firstRun);
        QVERIFY(failure && failure->job == SettingsFile::Job::Write);
        QVERIFY(firstRun);
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
