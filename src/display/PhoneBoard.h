#pragma once

#include "board/BoardSnapshot.h"
#include "board/GameFilter.h"
#include "display/ScreenBoard.h"

#include <QByteArray>

namespace tavlo::display {

// The board as the phones' page sees it, /board.json: the games the screen shows, in order,
// each with its players. Names are first names with initials ("Alice B.") unless `fullNames`:
// a phone's page can be read by anyone on the room's network, whatever the TV shows.
//
// {"changed":"2026-12-06T21:03:55Z","fullNames":false,"games":[{"name":"Poker","players":[
//   {"position":1,"name":"Anna B.","star":true,"phone":false,"blink":false,"added":"…"}]}]}
//
// The time the board was written is left out, so that the heartbeat alone does not change
// it and phones that already have it get a short "not modified".
class PhoneBoard {
public:
    // `board` as the phones see it (shownBoard()), `fullNames` as it was made.
    static QByteArray fromBoard(const BoardSnapshot &board, bool fullNames);
    // When the screen shows the fragment: its names, with the symbols in them, and no times.
    static QByteArray fromFragment(const ScreenBoard &board, const GameFilter &filter, bool fullNames);
    // The page's "nothing to show yet".
    static QByteArray empty();
};

} // namespace tavlo::display
