#pragma once

#include "board/BoardSnapshot.h"
#include "board/GameFilter.h"

namespace tavlo {

// The room as one screen, or the phones' page, shows it: only the games the filter lets
// through; their names, estimates and players' names as a screen shows them (blanks
// simplified, at most 200 characters); in privacy mode first names with initials. Times,
// markers and the heartbeat are the room's. Every screen and the phones take their board from
// here, so that a choice of games or privacy means the same wherever it is made.
BoardSnapshot shownBoard(const BoardSnapshot &room, const GameFilter &games, bool privacy);

} // namespace tavlo
