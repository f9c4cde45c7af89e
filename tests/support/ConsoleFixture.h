#pragma once

// The real main window on a temporary program folder with a seeded database.
// Header only: tests that include it link tavlo_app.

#include "app/Form1.h"
#include "console/GamesPanel.h"
#include "console/PlayersPanel.h"
#include "TestPlatform.h"

#include <QListWidget>
#include <QPushButton>
#include <QtTest>

#include <memory>

namespace tavlo::test {

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
        form = std::make_unique<Form1>(t.platform);
        loaded = form->Form_Load();
        startBoard = fragment();
        form->show();
        form->activateWindow();
        active = QTest::qWaitForWindowActive(form.get());
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
    QByteArray fragment() const { return t.readFile(QStringLiteral("TAVLO-Display.txt")); }

    GamesPanel &gamesPanel() const { return *form->Frame1; }
    PlayersPanel &playersPanel() const { return *form->Frame2; }

    static QStringList texts(const QListWidget *list)
    {
        QStringList out;
        for (int i = 0; i < list->count(); ++i)
            out << list->item(i)->text();
        return out;
    }
    // The operator selecting an entry with the mouse.
    static void clickRow(QListWidget *list, int row)
    {
        const QRect rect = list->visualItemRect(list->item(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    }
    static void press(QPushButton *button) { QTest::mouseClick(button, Qt::LeftButton); }

    TestPlatform t;
    std::unique_ptr<Form1> form;
    bool loaded = false;
    QByteArray startBoard; // as published at start-up

    bool active = false;
};

} // namespace tavlo::test
