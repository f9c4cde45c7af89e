#include "display/ScreenBoard.h"

#include "board/Fragment.h"
#include "board/GameFilter.h"

#include <algorithm>
#include <optional>

namespace tavlo::display {

namespace {

// Bounds that keep a runaway file from swamping the screen or the layout.
constexpr int kMaxGames = 100;
constexpr int kMaxEntries = 200;
constexpr int kMaxLooseLines = 40;

ScreenBoard looseText(QStringView text)
{
    ScreenGame loose;
    for (const QStringView line : text.split(u'\n')) {
        if (loose.entries.size() >= kMaxLooseLines)
            break;
        const QString shown = shortenedForScreen(line);
        if (!shown.isEmpty())
            loose.entries.append({shown, false});
    }
    ScreenBoard board;
    if (!loose.entries.isEmpty())
        board.rows.append(QList<ScreenGame>{loose});
    return board;
}

QString privateText(const QString &text)
{
    qsizetype end = text.size();
    while (end > 0 && (text[end - 1] == QChar(0x2605) || text[end - 1] == QChar(0x260E)))
        --end;
    return firstNameWithInitial(text.left(end)) + text.mid(end);
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
    screen.isFragment = true;
    const int firstRow = board->gamesInFirstRow();
    for (qsizetype g = 0; g < std::min<qsizetype>(board->games.size(), kMaxGames); ++g) {
        if (g == 0 || g == firstRow)
            screen.rows.append(QList<ScreenGame>());
        const BoardGame &game = board->games[g];
        ScreenGame shown{shortenedForScreen(game.name), {}};
        for (const BoardEntry &entry : game.entries) {
            if (shown.entries.size() >= kMaxEntries)
                break;
            const QString text = shortenedForScreen(entry.shownText());
            shown.entries.append({text, entry.blink && !text.isEmpty()});
        }
        // The lines below the last player keep the list's height.
        while (shown.entries.size() < std::min(game.rows, kMaxEntries))
            shown.entries.append(ScreenEntry());
        screen.rows.last().append(shown);
    }
    return screen;
}

ScreenBoard adaptedBoard(const ScreenBoard &board, const GameFilter &filter, bool privacy)
{
    if (!board.isFragment || (filter.isEmpty() && !privacy))
        return board;
    QList<ScreenGame> games;
    for (const auto &row : board.rows) {
        for (ScreenGame game : row) {
            if (!filter.matches(game.name))
                continue;
            if (privacy) {
                for (ScreenEntry &entry : game.entries) {
                    if (!entry.isBlank())
                        entry.text = privateText(entry.text);
                }
            }
            games.append(game);
        }
    }
    // The rows the console would lay out for this many games.
    ScreenBoard adapted;
    adapted.isFragment = true;
    const qsizetype firstRow = games.size() <= 5 ? games.size() : (games.size() + 1) / 2;
    for (qsizetype g = 0; g < games.size(); ++g) {
        if (g == 0 || g == firstRow)
            adapted.rows.append(QList<ScreenGame>());
        adapted.rows.last().append(games[g]);
    }
    return adapted;
}

} // namespace tavlo::display
