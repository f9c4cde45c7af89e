#pragma once

#include <QList>
#include <QString>
#include <QStringView>

namespace tavlo::display {

// One line of a game's list: a waiting player, or an empty line that keeps the list's height.
struct BoardEntry {
    QString text; // symbols already resolved; empty for an empty line
    bool blink = false;

    bool isBlank() const { return text.isEmpty(); }
    bool operator==(const BoardEntry &) const = default;
};

struct BoardGame {
    QString name;
    QList<BoardEntry> entries;

    bool operator==(const BoardGame &) const = default;
};

// The games as the fragment lays them out: rows of games side by side. The columns are shared
// by all rows, so the n-th game of every row stands in the same column.
struct Board {
    QList<QList<BoardGame>> rows;

    bool isEmpty() const { return rows.isEmpty(); }
    int columnCount() const;
    int gameCount() const;
    bool hasBlink() const;
    bool operator==(const Board &) const = default;
};

// Reads the board out of a display fragment. Only the few tags the console writes count as
// markup (table, tr, td, th, blink); anything else, including a stray "<" or "&" in a name,
// is shown as text. Text that holds no game table at all is shown as one list without a
// heading, so that a wrong file is visible rather than silently blank. Never fails.
Board parseFragment(QStringView fragment);

// Whether the text looks like the end of a whole fragment (a writer that does not replace the
// file in one step may be caught half-way).
bool looksComplete(QStringView fragment);

} // namespace tavlo::display
