#include "AccessibleForm.h"
#include "ConsoleFixture.h"

#include "console/ReportsWindow.h"
#include "console/SettingsWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>

#include <functional>

using namespace tavlo;
using namespace tavlo::test;

namespace {

template <typename Widget = QWidget>
Widget *field(const QWidget *window, const char *name)
{
    auto *found = window->findChild<Widget *>(QLatin1String(name));
    if (!found)
        qFatal("no %s", name);
    return found;
}

SettingsWindow *openSettings(const ConsoleFixture &c)
{
    c.console->showSettings();
    return c.console->settingsWindow();
}

// What the hand writes for these values: the six lines, CR LF each.
QByteArray handWritten(const QString &database, const QString &folder, int rows1, int rows2, int width, bool maximized)
{
    return QStringLiteral("DataBase=%1\r\nFilePath=%2\r\nPlayers_Per_List_Row1=%3\r\nPlayers_Per_List_Row2=%4\r\n"
                          "List_Width=%5\r\nStart_Maximized=%6\r\n")
            .arg(database, folder)
            .arg(rows1)
            .arg(rows2)
            .arg(width)
            .arg(maximized ? "True" : "False")
            .toUtf8();
}

using Change = std::function<void(QWidget *)>;
struct RefusedRow { Change change; QString why; };

Change text(const char *name, const QString &value)
{
    return [=](QWidget *w) { field<QLineEdit>(w, name)->setText(value); };
}

Change server(const QString &address)
{
    return [=](QWidget *w) {
        field<QRadioButton>(w, "serverChoice")->setChecked(true);
        field<QLineEdit>(w, "serverEdit")->setText(address);
    };
}

Change spin(const char *name, int value)
{
    return [=](QWidget *w) { field<QSpinBox>(w, name)->setValue(value); };
}

struct DatabaseRow { QString chosen; MessageBox::Answer answer; bool opened; QString told; };

} // namespace

Q_DECLARE_METATYPE(RefusedRow)
Q_DECLARE_METATYPE(DatabaseRow)

class TestSettingsWindow : public QObject {
    Q_OBJECT
private slots:
    // Every field through the window: the file as the hand would write it, the board published
    // at once in the new folder with the new rows, and the window maximized.
    void savesEveryField()
    {
        ConsoleFixture c({{QStringLiteral("Poker"), {"Anna", "Ben"}}});
        QTemporaryDir board;
        SettingsWindow *w = openSettings(c);
        field<QLineEdit>(w, "displayFolderEdit")->setText(board.path());
        field<QSpinBox>(w, "firstRowRowsSpin")->setValue(3);
        field<QSpinBox>(w, "secondRowRowsSpin")->setValue(4);
        field<QSpinBox>(w, "listWidthSpin")->setValue(640);
        field<QCheckBox>(w, "startMaximizedCheck")->setChecked(true);
        spin("callMinutesSpin", 12)(w);
        field<QCheckBox>(w, "removeNoShowsCheck")->setChecked(true);
        auto *language = field<QComboBox>(w, "languageCombo");
        language->setCurrentIndex(language->findText(QStringLiteral("Espa\u00f1ol")));
        ConsoleFixture::press(field<QPushButton>(w, "saveButton"));
        const QByteArray sixLines = handWritten(c.databasePath(), board.path() + u'/', 3, 4, 640, true);
        const QByteArray expected = sixLines + "Call_Minutes=12\r\nRemove_No_Shows=True\r\nLanguage=es\r\n";
        QCOMPARE(c.t.readFile(QStringLiteral("TAVLO.ini")), expected);
        QCOMPARE(std::pair(c.room().callSeconds(), c.room().removeNoShows()), std::pair(12 * 60, true));
        QFile fragment(board.filePath(QStringLiteral("TAVLO-Display.txt")));
        QVERIFY(fragment.open(QIODevice::ReadOnly));
        const QByteArray published = fragment.readAll();
        QVERIFY(published.contains("width='640'") && published.contains("Anna"));
        QVERIFY(QFileInfo::exists(board.filePath(QStringLiteral("TAVLO-Display.hta"))));
        QTRY_VERIFY(c.window().isMaximized());
        // The floor's lines go again once back at their defaults.
        QTRY_VERIFY(!c.console->settingsWindow());
        w = openSettings(c);
        spin("callMinutesSpin", Settings::DefaultCallMinutes)(w);
        field<QCheckBox>(w, "removeNoShowsCheck")->setChecked(false);
        QCOMPARE(field<QComboBox>(w, "languageCombo")->currentData().toString(), QStringLiteral("es"));
        field<QComboBox>(w, "languageCombo")->setCurrentIndex(0); // the system's: no line
        ConsoleFixture::press(field<QPushButton>(w, "saveButton"));
        c.window().close();
        QCOMPARE(c.t.readFile(QStringLiteral("TAVLO.ini")), sixLines);
        // The file the window wrote reads back into the same window.
        Settings read;
        QVERIFY(SettingsFile::parse(expected, read));
        QCOMPARE(SettingsWindow(read, c.t.platform.programFolder, {}).settings(), read);
        read.databasePath = QStringLiteral("postgresql://desk@db.lan:5433/tavlo");
        QCOMPARE(SettingsWindow(read, c.t.platform.programFolder, {}).settings(), read);
    }

    void refusesInvalidValues_data()
    {
        QTest::addColumn<RefusedRow>("row");
        QTest::newRow("no rows") << RefusedRow{spin("firstRowRowsSpin", 0), "from 1 to 100 rows"};
        QTest::newRow("too many rows") << RefusedRow{spin("secondRowRowsSpin", 101), "from 1 to 100 rows"};
        QTest::newRow("missing database file") << RefusedRow{text("databaseFileEdit", "/nowhere/TAVLO.mdb"), "no database file"};
        QTest::newRow("blank database file") << RefusedRow{text("databaseFileEdit", ""), "Choose the database file"};
        QTest::newRow("missing folder") << RefusedRow{text("displayFolderEdit", "/nowhere/board"), "no folder /nowhere/board/"};
        QTest::newRow("unwritable folder") << RefusedRow{text("displayFolderEdit", "/proc"), "cannot be written"};
        QTest::newRow("server without scheme") << RefusedRow{server("db.lan/tavlo"), "starts with postgresql://"};
        QTest::newRow("server without database") << RefusedRow{server("postgresql://db.lan"), "names no database"};
        QTest::newRow("call of no time") << RefusedRow{spin("callMinutesSpin", 0), "from 1 to 60 minutes"};
    }
    void refusesInvalidValues()
    {
        QFETCH(RefusedRow, row);
        ConsoleFixture c;
        const QByteArray before = c.t.readFile(QStringLiteral("TAVLO.ini"));
        SettingsWindow *w = openSettings(c);
        QVERIFY(field<QPushButton>(w, "saveButton")->isEnabled());
        row.change(w);
        QVERIFY2(w->problem().contains(row.why), qPrintable(w->problem()));
        QCOMPARE(field<QLabel>(w, "problemLabel")->text(), w->problem());
        ConsoleFixture::press(field<QPushButton>(w, "saveButton"));
        QVERIFY(w->isVisible());
        QCOMPARE(c.t.readFile(QStringLiteral("TAVLO.ini")), before);
    }

    // Another database: one that cannot be opened is refused with the reason, a usable one is
    // opened only when the operator agrees, by starting the console again.
    void opensAnotherDatabase_data()
    {
        QTest::addColumn<DatabaseRow>("row");
        QTest::newRow("agreed") << DatabaseRow{"Other.mdb", MessageBox::Answer::Yes, true, "Open the waiting lists of"};
        QTest::newRow("declined") << DatabaseRow{"Other.mdb", MessageBox::Answer::No, false, "Open the waiting lists of"};
        QTest::newRow("unreachable server")
            << DatabaseRow{"postgresql://127.0.0.1:1/tavlo", MessageBox::Answer::Ok, false, "The database stays"};
    }
    void opensAnotherDatabase()
    {
        QFETCH(DatabaseRow, row);
        ConsoleFixture c;
        c.t.addEmptyDatabase(QStringLiteral("Other.mdb"));
        const bool file = !row.chosen.startsWith(QLatin1String("postgresql"));
        const QString chosen = file ? c.t.path(row.chosen) : row.chosen;
        SettingsWindow *w = openSettings(c);
        (file ? text("databaseFileEdit", chosen) : server(chosen))(w);
        if (!file) {
            ConsoleFixture::press(field<QPushButton>(w, "testConnectionButton"));
            QVERIFY(field<QLabel>(w, "testResultLabel")->text().startsWith("Nothing answers at 127.0.0.1"));
        }
        c.t.messages.answers = {row.answer};
        ConsoleFixture::press(field<QPushButton>(w, "saveButton"));
        QCOMPARE(c.t.messages.shown.size(), 1);
        QVERIFY(c.t.messages.shown[0].text.startsWith(row.told));
        QCOMPARE(c.console->restartRequested(), row.opened);
        QCOMPARE(c.window().isVisible(), !row.opened);
        QCOMPARE(c.console->settings().databasePath, row.opened ? chosen : c.databasePath());
        QVERIFY(c.t.readFile(QStringLiteral("TAVLO.ini")).startsWith(("DataBase=" + c.console->settings().databasePath).toUtf8()));
    }

    // A screen reader can name every control one can reach with Tab, Tab follows the form from
    // top to bottom, and the focus shows.
    void everyControlIsNamed()
    {
        ConsoleFixture c({{QStringLiteral("Poker"), {"Anna"}}});
        // A list shows that it has the focus, though its selected entry hides the style's mark.
        for (ListPanel *panel : {&c.gamesPanel(), &c.playersPanel()}) {
            // The frame half-way down the left edge, away from the entries.
            const auto edge = [list = panel->list()] { return list->grab().toImage().pixel(0, list->height() / 2); };
            c.window().setFocus();
            const QRgb unfocused = edge();
            panel->list()->setFocus(Qt::TabFocusReason);
            QVERIFY(edge() != unfocused);
        }
        SettingsWindow *w = openSettings(c);
        c.console->showReports();
        QCOMPARE(unnamedControls(&c.window()) + unnamedControls(w) + unnamedControls(c.console->reportsWindow()), QString());
        QCOMPARE(tabRound(field(w, "fileChoice")),
                 QString("fileChoice databaseFileEdit browseDatabaseButton serverChoice serverEdit testConnectionButton "
                         "displayFolderEdit browseFolderButton firstRowRowsSpin secondRowRowsSpin listWidthSpin "
                         "startMaximizedCheck callMinutesSpin removeNoShowsCheck languageCombo saveButton cancelButton").split(u' '));
    }
};

QTEST_MAIN(TestSettingsWindow)
#include "tst_settingswindow.moc"
