#include "board/ShownBoard.h"

#include "board/ShortName.h"

namespace tavlo {

BoardSnapshot shownBoard(const BoardSnapshot &room, const GameFilter &games, bool privacy)
{
    BoardSnapshot shown;
    shown.writtenAt = room.writtenAt;
    shown.changedAt = room.changedAt;
    shown.heartbeatSeconds = room.heartbeatSeconds;
    for (const WaitingGame &game : room.games) {
        if (!games.matches(game.name))
            continue;
        // Shared with the room's until a name shows otherwise: a large room costs no copy.
        WaitingGame &copy = shown.games.emplace_back(game);
        copy.name = shortenedForScreen(game.name);
        copy.estimate = shortenedForScreen(game.estimate);
        for (qsizetype p = 0; p < game.players.size(); ++p) {
            const QString &name = game.players[p].name;
            QString shownName = privacy ? firstNameWithInitial(shortenedForScreen(name)) : shortenedForScreen(name);
            if (shownName != name)
                copy.players[p].name = std::move(shownName);
        }
    }
    return shown;
}

} // namespace tavlo
