#include "board/ShownBoard.h"

#include "board/ShortName.h"

#include <QCoreApplication>

namespace tavlo {

namespace {

struct EstimateText {
    Q_DECLARE_TR_FUNCTIONS(WaitEstimate)
};

// The desk writes its estimates in English ("about 25 min", "over 4 h"); a screen says their
// words in its own language, the minutes and hours as written.
QString inLanguage(const QString &estimate)
{
    for (const char *form : {QT_TRANSLATE_NOOP("WaitEstimate", "about %1"), QT_TRANSLATE_NOOP("WaitEstimate", "over %1")}) {
        const QString prefix = QString::fromLatin1(form).chopped(2);
        if (estimate.startsWith(prefix))
            return EstimateText::tr(form).arg(estimate.mid(prefix.size()));
    }
    return estimate;
}

} // namespace

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
        copy.estimate = inLanguage(shortenedForScreen(game.estimate));
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
