#pragma once

#include "board/PlayerMarkers.h"

#include <QDateTime>
#include <QList>
#include <QString>

namespace tavlo {

// A player on a waiting list, as the board file carries it: the name without its tags, the
// markers apart, and when the player joined the list (invalid when not known).
struct WaitingPlayer {
    QString name;
    PlayerMarkers markers;
    QDateTime addedAt;
    // The name as the room stores it, kept only when its tags do not simply follow the name in
    // their order (an older desk may have put them anywhere): the fragment shows each symbol
    // where its tag stood. The board file carries the markers apart and never this.
    QString storedName = {};
    // When a call's countdown runs out (invalid: not called), and since when the player is
    // away (invalid: not away). Optional members of the board file.
    QDateTime callEnds = {};
    QDateTime awaySince = {};
    bool operator==(const WaitingPlayer &) const = default;

    // A player of the room from its stored name.
    static WaitingPlayer fromStoredName(const QString &storedName, const QDateTime &addedAt);
    // The stored name again: as kept, else the name followed by its markers' tags.
    QString storedNameAgain() const;
};

// A game with its whole waiting list, in order: the first player is position 1. The estimate
// is how long a player added now would wait, as the desk says it ("about 25 min"); empty while
// there is not enough data for an honest figure.
struct WaitingGame {
    QString name;
    QList<WaitingPlayer> players;
    QString estimate;
    // Not running yet: a list of those interested, shown apart (an optional member).
    bool interest = false;
    bool operator==(const WaitingGame &) const = default;
};

// The whole room at one moment, as the board file carries it: every game in order with every
// player, when it was written, when the room last changed, and how often the writer promises
// to write it again while it runs.
struct BoardSnapshot {
    QDateTime writtenAt;
    QDateTime changedAt;
    int heartbeatSeconds = 10;
    QList<WaitingGame> games;
    bool operator==(const BoardSnapshot &) const = default;
};

} // namespace tavlo
