#pragma once

#include "board/ShortName.h"

#include <QList>
#include <QString>
#include <QStringView>

namespace tavlo {
class GameFilter;
}

namespace tavlo::display {

// One line of a game's list: a waiting player, or an empty line that keeps the list's height.
struct ScreenEntry {
    QString text; // symbols already resolved; empty for an empty line
    bool blink = false;

    bool isBlank() const { return text.isEmpty(); }
    bool operator==(const ScreenEntry &) const = default;
};

struct ScreenGame {
    QString name;
    QList<ScreenEntry> entries;

    bool operator==(const ScreenGame &) const = default;
};

// The games as the fragment lays them out: rows of games side by side. The columns are shared
// by all rows, so the n-th game of every row stands in the same column.
struct ScreenBoard {
    QList<QList<ScreenGame>> rows;
    bool isFragment = false; // else the lines of a text that is none

    bool isEmpty() const { return rows.isEmpty(); }
    int columnCount() const;
    int gameCount() const;
    bool hasBlink() const;
    bool operator==(const ScreenBoard &) const = default;
};

// What the large screen shows for a text: the board of a fragment, its lines laid out as the
// console lays them out (names shortened for the screen, blank lines kept), or for a text
// that is no fragment its lines as plain text, so that a wrong file is visible rather than
// silently blank. Never fails.
ScreenBoard screenBoardOf(QStringView text);

// The board with only the games the filter lets through, laid out again in rows as the
// console lays out that many games, and in privacy mode with first names and initials (the
// symbols kept at the end). Unchanged when the filter is empty and privacy is off; a text that
// was no fragment is never filtered.
ScreenBoard adaptedBoard(const ScreenBoard &board, const GameFilter &filter, bool privacy);

} // namespace tavlo::display
