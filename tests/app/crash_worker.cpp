// Runs commands on the real console in a loop until it is killed; tst_crash kills it at random
// moments and checks what it left on disk. Usage: crash_worker <program folder> <seed>
// It prints "ready" once the window is loaded and waits for a line on its input before it starts.

#include "ConsoleFixture.h"
#include "core/SettingsFile.h"

#include <QApplication>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QTextStream>

#include <cstdio>

using namespace tavlo;
using namespace tavlo::test;

namespace {

void click(QPushButton *button)
{
    if (button->isEnabled() && button->isVisibleTo(button->window()))
        button->click();
}

void selectRow(QListWidget *list, int row)
{
    if (row < list->count())
        list->setCurrentRow(row); // the operator's selection: the handler runs
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc < 3)
        return 2;
    TestPlatform t; // for its scripted boxes; the folder comes from the command line
    t.platform.programFolder = QString::fromLocal8Bit(argv[1]);
    QRandomGenerator random(QString::fromLatin1(argv[2]).toUInt());

    Form1 form(t.platform);
    if (!form.Form_Load())
        return 3;
    form.show();
    std::printf("ready\n");
    std::fflush(stdout);
    char line[16];
    if (!std::fgets(line, sizeof line, stdin))
        return 0;

    GamesPanel &games = *form.Frame1;
    PlayersPanel &players = *form.Frame2;
    for (int step = 0;; ++step) {
        const int games_ = games.List1->count();
        const int players_ = players.List2->count();
        switch (random.bounded(16)) {
        case 0:
        case 1:
            if (games_ < 8) {
                click(games.cmdListsAdd);
                games.txtLists->setText(QStringLiteral("Game %1").arg(step));
                click(games.cmdListsOk);
            }
            break;
        case 2:
            selectRow(games.List1, int(random.bounded(qMax(1, games_))));
            if (games.selectedIndex() >= 0) {
                games.txtLists->setText(QStringLiteral("Renamed %1").arg(step));
                click(games.cmdListsOk);
            }
            break;
        case 3:
            if (games_ > 2) {
                selectRow(games.List1, int(random.bounded(games_)));
                click(games.cmdListsDelete);
            }
            break;
        case 4:
            click(random.bounded(2) ? games.cmdListsUp : games.cmdListsDown);
            break;
        case 5:
            selectRow(games.List1, int(random.bounded(qMax(1, games_))));
            break;
        case 6:
        case 7:
        case 8:
            if (players_ < 30) {
                click(players.cmdPlayersAdd);
                players.txtPlayers->setText(QStringLiteral("Player %1").arg(step));
                click(players.cmdPlayersOk);
            }
            break;
        case 9:
            selectRow(players.List2, int(random.bounded(qMax(1, players_))));
            break;
        case 10:
            selectRow(players.List2, int(random.bounded(qMax(1, players_))));
            click(players.cmdPlayersDelete);
            break;
        case 11:
            click(random.bounded(2) ? players.cmdPlayersUp : players.cmdPlayersDown);
            break;
        case 12:
            click(players.cmdPlayersTop);
            break;
        case 13:
            click(random.bounded(3) == 0 ? players.cmdPlayersBlink : random.bounded(2) ? players.cmdPlayersStar : players.cmdPlayersPhone);
            break;
        case 14:
            if (players_ > 20)
                click(players.cmdPlayersClear);
            break;
        case 15: {
            QString job = QStringLiteral("write");
            INIFile(job, form.state(), t.platform);
            break;
        }
        }
        QCoreApplication::processEvents();
    }
}
