#include "board/Board.h"

#include "base/LeadingNumber.h"
#include "board/PlayerMarkers.h"

namespace tavlo {

QString BoardEntry::shownText() const
{
    QString text = cell;
    text.replace(StarReference, QStringLiteral("\u2605"));
    text.replace(PhoneReference, QStringLiteral("\u260E"));
    return text;
}

int Board::gamesInFirstRow() const
{
    const int n = int(games.size());
    return n <= 5 ? n : (n + 1) / 2;
}

int Board::columnPercent() const
{
    const int s = gamesInFirstRow();
    return s <= 0 ? 100 : int(roundHalfEven(100.0 / s));
}

BoardEntry boardEntryOf(const QString &storedName)
{
    // The symbols stay where their tags stood; blinking wraps the whole line.
    BoardEntry entry{storedName, false};
    entry.cell.replace(StarTag, StarReference);
    entry.cell.replace(PhoneTag, PhoneReference);
    if (entry.cell.contains(BlinkTag)) {
        entry.cell.remove(BlinkTag);
        entry.blink = true;
    }
    return entry;
}

} // namespace tavlo
