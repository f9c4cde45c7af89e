#pragma once

// The real console started on a temporary program folder with a seeded database.
// Header only: tests that include it link tavlo_app.

#include "TestPlatform.h"

#include "app/Console.h"
#include "console/ListPanel.h"
#include "console/MainWindow.h"
#include "room/BoardPublisher.h"
#include "room/Room.h"

#include <QAbstractItemModel>
#include <QListView>
#include <QPushButton>
#include <QTest>

#include <memory>

namespace tavlo::test {

using Cmd = PanelCommand;

class ConsoleFixture {
public:
    explicit ConsoleFixture(const QList<TestPlatform::Game> &games = {}, int rows1 = 15, int rows2 = 10)
    {
        t.addEmptyDatabase();
        t.addDisplayFiles();
        const QByteArray folder = t.platform.programFolder.toUtf8() + '/';
        t.writeFile(QStringLiteral("TAVLO.ini"),
                    "DataBase=" + folder + "TAVLO.mdb\r\nFilePath=" + folder + "\r\nPlayers_Per_List_Row1="
                            + QByteArray::number(rows1) + "\r\nPlayers_Per_List_Row2=" + QByteArray::number(rows2)
                            + "\r\nList_Width=0\r\nStart_Maximized=False\r\n");
        TestPlatform::seed(databasePath(), games);
        console = std::make_unique<Console>(t.platform);
        loaded = console->start();
        startBoard = fragment();
        if (!loaded)
            return;
        window().show();
        window().activateWindow();
        active = QTest::qWaitForWindowActive(&window());
    }

    QString databasePath() const { return t.path(QStringLiteral("TAVLO.mdb")); }
    QStringList rows(const QString &statement) const { return TestPlatform::rows(databasePath(), statement); }
    // Game names in listbox_order, as "name|order".
    QStringList games() const { return rows(QStringLiteral("select list_name, listbox_order from lists order by listbox_order, id")); }
    QStringList playersOf(const QString &game) const
    {
        return rows(QStringLiteral("select c.player_name, c.listbox_order from list_content c join lists l on l.id = c.list_id "
                                   "where l.list_name = '%1' order by c.listbox_order, c.id").arg(game));
    }
    // The fragment once every change so far is published.
    QByteArray fragment() const
    {
        if (console && console->publisher())
            console->publisher()->settle();
        return t.readFile(QStringLiteral("TAVLO-Display.txt"));
    }

    MainWindow &window() const { return *console->window(); }
    ListPanel &gamesPanel() const { return *window().gamesPanel(); }
    ListPanel &playersPanel() const { return *window().playersPanel(); }
    Room &room() const { return *console->room(); }

    // What a list view shows, row by row.
    static QStringList texts(const QListView *list)
    {
        QStringList out;
        const QAbstractItemModel *model = list->model();
        for (int i = 0; i < model->rowCount(); ++i)
            out << model->index(i, 0).data().toString();
        return out;
    }
    // The operator selecting an entry with the mouse.
    static void clickRow(QListView *list, int row)
    {
        const QRect rect = list->visualRect(list->model()->index(row, 0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    }
    static void press(QPushButton *button) { QTest::mouseClick(button, Qt::LeftButton); }

    TestPlatform t;
    std::unique_ptr<Console> console;
    bool loaded = false;
    bool active = false;
    QByteArray startBoard; // as published at start-up
};

} // namespace tavlo::test
