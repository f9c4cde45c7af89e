#pragma once

#include <QDateTime>

namespace tavlo {

// What one change (a Command) did to the number of players waiting in its game, as reports and
// estimates count it. Moves, names and markers change no number.
struct ListEffect {
    int added = 0;          // players who joined the list
    int removed = 0;        // players who left it: one by one, a whole list, a deleted game
    bool leftOne = false;   // a single player left ("delete player")
    int position = -1;      // where that player stood (0 the top), when known
    QDateTime addedAt;      // when that player had joined, when known
    bool gameAdded = false; // the game did not exist before this change
    bool seated = false;    // the player who left took a seat
    bool noShow = false;    // a called player did not come (whether or not the player left)
    QDateTime calledAt;     // when the player who left or did not come had been called, when known

    int delta() const { return added - removed; }
    bool operator==(const ListEffect &) const = default;
};

} // namespace tavlo
