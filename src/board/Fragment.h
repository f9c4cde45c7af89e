#pragma once

#include "board/Board.h"

#include <QStringView>

#include <optional>

namespace tavlo {

// The display fragment, TAVLO-Display.txt: the board as the HTML table the display page shows,
// one game head or one player per line, every line ending in CR LF. Names are written as they
// are, without escaping: display pages may rely on that.
QString renderFragment(const Board &board);
// The same from its games' lines, each rendered by renderFragmentGame() in order (only the
// board's layout is read, not its games' entries): a writer that keeps each game's lines
// renders only the games that changed. A game's lines depend on the board's game count and
// width too.
QString renderFragmentGame(const BoardGame &game, const Board &board);
QString renderFragment(const Board &board, const QList<QString> &games);

// Reads a fragment back by its fixed lines: a line counts only when it is exactly one of the
// lines the console writes, and inside a name only the two symbol references, the blink
// wrapper and a blank line mean anything. So a name can never add, hide or reorder anything.
// Nothing when the text is no fragment at all; reading is linear in the text's size.
std::optional<Board> readFragment(QStringView text);

// Whether a text ends the way a whole fragment ends (a writer that does not replace the file
// in one step may be caught half-way).
bool looksWhole(QStringView text);

} // namespace tavlo
