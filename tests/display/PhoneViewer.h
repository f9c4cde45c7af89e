#pragma once

#include "base/TextFile.h"
#include "board/BoardFile.h"
#include "display/DisplayWindow.h"
#include "display/FileWatcher.h"
#include "display/PhoneService.h"

#include <QTemporaryDir>

#include <memory>

namespace tavlo::test {

// A room of two games: Poker with Alice Brown (blinking) and Bob Stone (star), Blackjack with
// Carla Diaz (phone).
inline BoardSnapshot phoneRoom()
{
    const QDateTime now = QDateTime::currentDateTimeUtc();
    BoardSnapshot board;
    board.writtenAt = now;
    board.changedAt = now;
    board.games = {
        {QStringLiteral("Poker"),
         {{QStringLiteral("Alice Brown"), {true, false, false}, now.addSecs(-25 * 60)},
          {QStringLiteral("Bob Stone"), {false, true, false}, now.addSecs(-5 * 60)}},
         QStringLiteral("about 25 min")},
        {QStringLiteral("Blackjack"), {{QStringLiteral("Carla Diaz"), {false, false, true}, QDateTime()}}, QString()},
    };
    return board;
}

// The viewer in a window, on a display folder of its own, serving the phones' page on the
// loopback at a free port.
struct PhoneViewer {
    QTemporaryDir folder;
    std::unique_ptr<display::DisplayWindow> window;

    explicit PhoneViewer(display::ViewerOptions options = {}, const BoardSnapshot &board = phoneRoom())
    {
        write(board);
        options.displayFolder = folder.path() + QLatin1Char('/');
        options.fullScreen = false;
        if (!options.webEnabled())
            options.webPort = 0;
        if (options.webAddress.isEmpty())
            options.webAddress = QStringLiteral("127.0.0.1");
        window = std::make_unique<display::DisplayWindow>(folder.path(), options);
        window->boardFileWatcher()->setPollInterval(50);
        window->resize(1280, 720);
        window->show();
        window->start();
    }

    bool write(const BoardSnapshot &board)
    {
        return writeFileAtomically(folder.filePath(BoardFileName), encodeBoardFile(board)).isEmpty();
    }
    quint16 port() const { return window->phoneService() ? window->phoneService()->port() : 0; }
};

} // namespace tavlo::test
