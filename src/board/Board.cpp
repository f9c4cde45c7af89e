#include "board/Board.h"

#include "base/LeadingNumber.h"
#include "board/PlayerMarkers.h"

#include <algorithm>

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
    qsizetype copied = 0; // the name up to here is in the cell already
    for (qsizetype i = name.indexOf(u'<'); i >= 0; i = name.indexOf(u'<', i)) {
        const QStringView rest = name.sliced(i);
        const QString *tag = nullptr;
        const QString *reference = nullptr;
        if (rest.startsWith(StarTag)) {
            tag = &StarTag;
            reference = &StarReference;
        } else if (rest.startsWith(PhoneTag)) {
            tag = &PhoneTag;
            reference = &PhoneReference;
        } else if (rest.startsWith(BlinkTag)) {
            tag = &BlinkTag;
            entry.blink = true;
        }
        if (!tag) {
            ++i;
            continue;
        }
        entry.cell += name.sliced(copied, i - copied);
        if (reference)
            entry.cell += *reference;
        i += tag->size();
        copied = i;
    }
    entry.cell += name.sliced(copied);
    return entry;
}

BoardGame boardGameOf(const WaitingGame &game, int rows)
{
    BoardGame shown{game.name, rows, {}};
    const qsizetype count = std::clamp<qsizetype>(rows, 0, game.players.size());
    shown.entries.reserve(count);
    for (qsizetype p = 0; p < count; ++p) {
        shown.entries.append(boardEntryOf(game.players[p].storedNameAgain()));
        // The display page knows no calls: a called player blinks there.
        if (game.players[p].callEnds.isValid())
            shown.entries.last().blink = true;
    }
    return shown;
}

Board boardOf(const BoardSnapshot &room, const FragmentLayout &layout)
{
    Board board;
    if (layout.listWidth > 0)
        board.listWidth = QString::number(layout.listWidth);
    board.games.resize(room.games.size());
    const int firstRow = board.gamesInFirstRow();
    for (qsizetype g = 0; g < room.games.size(); ++g)
        board.games[g] = boardGameOf(room.games[g], g < firstRow ? layout.rowsInFirstRow : layout.rowsInSecondRow);
    return board;
}

} // namespace tavlo
