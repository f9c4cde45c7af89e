#pragma once

#include "store/WaitingListStore.h"

#include <QDateTime>
#include <QList>
#include <QString>

namespace tavlo {

struct Player {
    qint64 id = 0;
    QString storedName; // the name with its marker tags, as stored
    QDateTime addedAt;  // when the player joined the list (UTC); invalid when not known
    FloorState state{};
    qint64 personId = 0; // shared by one person's entries on several lists; 0 for one list only
    bool operator==(const Player &) const = default;
};

} // namespace tavlo

// Its members move as bytes: a list of players is shifted with memmove, not swap by swap.
Q_DECLARE_TYPEINFO(tavlo::Player, Q_RELOCATABLE_TYPE);

namespace tavlo {

struct Game {
    qint64 id = 0;
    QString name;
    QList<Player> players; // in their order on the waiting list
    bool interest = false;  // not running yet: a list of those interested
    bool operator==(const Game &) const = default;
};

inline Player playerOf(const PlayerRecord &record)
{
    return {record.id, record.name, record.addedAt, record.state, record.personId};
}

} // namespace tavlo
