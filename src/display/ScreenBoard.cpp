#include "display/ScreenBoard.h"

#include "board/Fragment.h"

#include <algorithm>
#include <optional>

namespace tavlo::display {

namespace {

// Bounds that keep a runaway file from swamping the screen or the layout.
constexpr int kMaxGames = 100;
constexpr int kMaxEntries = 200;
constexpr int kMaxTextLength = 200;
constexpr int kMaxLooseLines = 40;

QString shortened(QStringView text)
{
    // Work on a bounded piece: a line of megabytes is no name.
    QString result = text.first(std::min<qsizetype>(text.size(), kMaxTextLength * 4)).toString().simplified();
    if (result.size() > kMaxTextLength)
        result = result.left(kMaxTextLength - 1) + QChar(0x2026);
    return result;
}

ScreenBoard looseText(QStringView text)
{
    ScreenGame loose;
    for (const QStringView line : text.split(u'\n')) {
        if (loose.entries.size() >= kMaxLooseLines)
            break;
        const QString shown = shortened(line);
        if (!shown.isEmpty())
            loose.entries.append({shown, false});
    }
    ScreenBoard board;
    if (!loose.entries.isEmpty())
        board.rows.append(QList<ScreenGame>{loose});
    return board;
}

} // namespace

int ScreenBoard::columnCount() const
{
    qsizetype columns = 0;
    for (const auto &row : rows)
        columns = std::max(columns, row.size());
    return int(columns);
}

int ScreenBoard::gameCount() const
{
    qsizetype count = 0;
    for (const auto &row : rows)
        count += row.size();
    return int(count);
}

bool ScreenBoard::hasBlink() const
{
    for (const auto &row : rows) {
        for (const auto &game : row) {
            for (const auto &entry : game.entries) {
                if (entry.blink)
                    return true;
            }
        }
    }
    return false;
}

ScreenBoard screenBoardOf(QStringView text)
{
    const std::optional<Board> board = readFragment(text);
    if (!board)
        return looseText(text);
    ScreenBoard screen;
    const int firstRow = board->gamesInFirstRow();
    for (qsizetype g = 0; g < std::min<qsizetype>(board->games.size(), kMaxGames); ++g) {
        if (g == 0 || g == firstRow)
            screen.rows.append(QList<ScreenGame>());
        const BoardGame &game = board->games[g];
        ScreenGame shown{shortened(game.name), {}};
        for (const BoardEntry &entry : game.entries) {
            if (shown.entries.size() >= kMaxEntries)
                break;
            const QString text = shortened(entry.shownText());
            shown.entries.append({text, entry.blink && !text.isEmpty()});
        }
        // The lines below the last player keep the list's height.
        while (shown.entries.size() < std::min(game.rows, kMaxEntries))
            shown.entries.append(ScreenEntry());
        screen.rows.last().append(shown);
    }
    return screen;
}

} // namespace tavlo::display
