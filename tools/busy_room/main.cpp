// Writes a busy room's database for benchmarks and pictures: make_busy_room OUTPUT [GAMES [DAYS]].
// The history ends now.
#include "BusyRoom.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2 || args.size() > 4) {
        QTextStream(stderr) << "usage: make_busy_room OUTPUT [GAMES [DAYS]]\n";
        return 2;
    }
    const int games = args.size() > 2 ? args[2].toInt() : 20;
    const int days = args.size() > 3 ? args[3].toInt() : 30;
    if (games < 1 || days < 1) {
        QTextStream(stderr) << "make_busy_room: GAMES and DAYS are whole numbers from 1\n";
        return 2;
    }
    const QString error = tavlo::tools::makeBusyRoom(args[1], games, days, QDateTime::currentDateTimeUtc());
    if (!error.isEmpty()) {
        QTextStream(stderr) << "make_busy_room: " << error << '\n';
        return 1;
    }
    return 0;
}
