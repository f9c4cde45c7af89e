// Runs commands on the real console in a loop until it is killed; tst_crash kills it at random
// moments and checks what it left on disk. Usage: crash_worker <program folder> <seed>
// It prints "ready" once the window is loaded and waits for a line on its input before it starts;
// then "landed" after each command that reached the journal, and "publishing" once a change is
// waiting for its board.

#include "ConsoleFixture.h"

#include "room/BoardPublisher.h"

#include <QItemSelectionModel>

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

void selectRow(QListView *list, int row)
{
    // The operator's selection: the panel's handling runs.
    if (row < list->model()->rowCount())
        list->selectionModel()->setCurrentIndex(list->model()->index(row, 0), QItemSelectionModel::ClearAndSelect);
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

    Console console(t.platform);
    if (!console.start())
        return 3;
    MainWindow &window = *console.window();
    window.show();
    QObject::connect(console.room(), &Room::changeRecorded, [] {
        std::printf("landed\n");
        std::fflush(stdout);
    });
    std::printf("ready\n");
    std::fflush(stdout);
    char line[16];
    if (!std::fgets(line, sizeof line, stdin))
        return 0;

    ListPanel &games = *window.gamesPanel();
    ListPanel &players = *window.playersPanel();
    bool saidPublishing = false;
    for (int step = 0;; ++step) {
        const int games_ = games.list()->model()->rowCount();
        const int players_ = players.model()->rowCount();
        switch (random.bounded(16)) {
        case 0:
        case 1:
            if (games_ < 8) {
                click(games.button(Cmd::Add));
                games.nameEdit()->setText(QStringLiteral("Game %1").arg(step));
                click(games.button(Cmd::Save));
            }
            break;
        case 2:
            selectRow(games.list(), int(random.bounded(qMax(1, games_))));
            if (games.selectedRow() >= 0) {
                games.nameEdit()->setText(QStringLiteral("Renamed %1").arg(step));
                click(games.button(Cmd::Save));
            }
            break;
        case 3:
            if (games_ > 2) {
                selectRow(games.list(), int(random.bounded(games_)));
                click(games.button(Cmd::Delete));
            }
            break;
        case 4:
            click(random.bounded(2) ? games.button(Cmd::MoveUp) : games.button(Cmd::MoveDown));
            break;
        case 5:
            selectRow(games.list(), int(random.bounded(qMax(1, games_))));
            break;
        case 6:
        case 7:
        case 8:
            if (players_ < 30) {
                click(players.button(Cmd::Add));
                players.nameEdit()->setText(QStringLiteral("Player %1").arg(step));
                click(players.button(Cmd::Save));
            }
            break;
        case 9:
            selectRow(players.list(), int(random.bounded(qMax(1, players_))));
            break;
        case 10:
            selectRow(players.list(), int(random.bounded(qMax(1, players_))));
            click(players.button(Cmd::Delete));
            break;
        case 11:
            click(random.bounded(2) ? players.button(Cmd::MoveUp) : players.button(Cmd::MoveDown));
            break;
        case 12:
            click(players.button(Cmd::MoveToTop));
            break;
        case 13:
            click(random.bounded(3) == 0 ? players.button(Cmd::Blink) : random.bounded(2) ? players.button(Cmd::Star) : players.button(Cmd::Phone));
            break;
        case 14:
            if (players_ > 20)
                click(players.button(Cmd::DeleteAll));
            break;
        case 15:
            // What closing the window does: the settings are written.
            emit window.closing();
            break;
        }
        // Said once a change waits for its board: kills from now on may cut publications short.
        if (console.publisher()->isPublishing() && !saidPublishing) {
            std::printf("publishing\n");
            std::fflush(stdout);
            saidPublishing = true;
        }
        QCoreApplication::processEvents();
    }
}
