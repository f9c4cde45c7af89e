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
    // One pass: the symbols stay where their tags stood; blinking wraps the whole line.
    // Replacing the tags can never make or break another tag, so this is the same as
    // replacing each kind in turn.
    BoardEntry entry;
    if (!storedName.contains(u'<')) {
        entry.cell = storedName;
        return entry;
    }
    entry.cell.reserve(storedName.size() + 8);
    const QStringView name(storedName);
    for (qsizetype i = 0; i < name.size();) {
        if (name[i] == u'<') {
            const QStringView rest = name.sliced(i);
            if (rest.startsWith(StarTag)) {
                entry.cell += StarReference;
                i += StarTag.size();
                continue;
            }
            if (rest.startsWith(PhoneTag)) {
                entry.cell += PhoneReference;
                i += PhoneTag.size();
                continue;
            }
            if (rest.startsWith(BlinkTag)) {
                entry.blink = true;
                i += BlinkTag.size();
                continue;
            }
        }
        entry.cell += name[i++];
    }
    return entry;
}

} // namespace tavlo
