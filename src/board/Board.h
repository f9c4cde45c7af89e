#pragma once

#include "board/BoardSnapshot.h"

#include <QList>
#include <QString>

namespace tavlo {

// One player's line on the board: the cell as the console renders it (the name as typed, the
// star and phone tags replaced by their symbol references where they stood) and whether the
// whole line blinks.
struct BoardEntry {
    QString cell;
    bool blink = false;

    // The cell's text as a screen shows it: the two symbol references as ★ and ☎.
    QString shownText() const;
    bool operator==(const BoardEntry &) const = default;
};

// A game's list on the board: its name, the number of lines its table has, and the players
// shown, at most that many; the lines below them are blank.
struct BoardGame {
    QString name;
    int rows = 0;
    QList<BoardEntry> entries;
    bool operator==(const BoardGame &) const = default;
};

// The whole board: the games in order, laid out in at most two rows of games side by side.
struct Board {
    QList<BoardGame> games;
    QString listWidth = QStringLiteral("90%"); // the width of every game's table

    // Games in the first row: all of them up to five, else half rounded up.
    int gamesInFirstRow() const;
    // Each column's width in percent.
    int columnPercent() const;
    bool operator==(const Board &) const = default;
};

inline const QString StarReference = QStringLiteral("&#9733;");
inline const QString PhoneReference = QStringLiteral("&#9742;");

// The board entry of a stored player name.
BoardEntry boardEntryOf(const QString &storedName);

// How the console lays its board out: the lines of each game's list in the first and in the
// second row of games, and the width of every list (0: "90%").
struct FragmentLayout {
    int rowsInFirstRow = 15;
    int rowsInSecondRow = 10;
    int listWidth = 0;
};

// The board of a room: every game in order, with as many of its first players as its row of
// games has lines.
Board boardOf(const BoardSnapshot &room, const FragmentLayout &layout);
// One game of it, given the lines of its row.
BoardGame boardGameOf(const WaitingGame &game, int rows);

} // namespace tavlo
