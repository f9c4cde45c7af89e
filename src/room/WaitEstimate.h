#pragma once

#include <QString>

namespace tavlo {

// How long a player added to a game's list now would wait, as the desk and the board say it.
// Never a number without enough recent players leaving the top of the list; a range while the
// data is thin.
struct WaitEstimate {
    enum class Kind {
        NotEnoughData, // fewer recent departures than an honest figure needs
        Range,         // a figure, but uncertain: lowMinutes to highMinutes
        About,         // enough departures for one figure: lowMinutes == highMinutes
    };
    Kind kind = Kind::NotEnoughData;
    int lowMinutes = 0;
    int highMinutes = 0;
    int departures = 0; // players who left the top of the list in the window it rests on

    // Waits beyond this are said as "over 4 h": nobody can promise a table that far ahead.
    static constexpr int LongestMinutes = 240;

    bool enoughData() const { return kind != Kind::NotEnoughData; }
    // "about 25 min", "20–35 min", "50 min–1 h 20 min", "about 1 h 10 min", "over 2 h 10 min"
    // (a range beyond the longest wait said), "over 4 h", "not enough data"; or the same in
    // the programs' language.
    QString text(bool translated = false) const;
    // Minutes as said: "25 min", "1 h", "1 h 10 min".
    static QString minutesText(int minutes, bool translated = false);

    bool operator==(const WaitEstimate &) const = default;
};

} // namespace tavlo
