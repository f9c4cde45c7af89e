#pragma once

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

} // namespace tavlo
