#include "board/Fragment.h"

#include <algorithm>

namespace tavlo {

namespace {

constexpr QLatin1StringView kEndOfLine("\r\n");
constexpr QLatin1StringView kOpening("<table border='0' width='100%'><tr>");
constexpr QLatin1StringView kClosing("</tr></table>");
constexpr QLatin1StringView kHeadStart("<td width='");
constexpr QLatin1StringView kHeadAfterPercent("%' valign='top' align='center'><table border='0' width='");
constexpr QLatin1StringView kHeadAfterWidth("' class='list' cellspacing='0' cellpadding='1'><tr><td class='listhead'>");
constexpr QLatin1StringView kCellEnd("</td></tr>");
constexpr QLatin1StringView kEntryStart("<tr><td>");
constexpr QLatin1StringView kGameEnd("</table></td>");
constexpr QLatin1StringView kSpacerStart("</tr><tr><td width='");
constexpr QLatin1StringView kSpacerEnd("%'>&nbsp;</td></tr><tr>");
constexpr QLatin1StringView kBlankCell("&nbsp;");
constexpr QLatin1StringView kBlinkOpen("<blink>");
constexpr QLatin1StringView kBlinkClose("</blink>");

bool isNumber(QStringView text)
{
    return !text.isEmpty() && text.size() <= 9
        && std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

// A game head line's percent, width and name, or nothing when the line is no game head.
struct GameHead {
    QStringView percent;
    QStringView width;
    QStringView name;
};

std::optional<GameHead> gameHeadOf(QStringView line)
{
    if (!line.startsWith(kHeadStart) || !line.endsWith(kCellEnd))
        return std::nullopt;
    QStringView rest = line.sliced(kHeadStart.size());
    const qsizetype percentEnd = rest.indexOf(kHeadAfterPercent);
    if (percentEnd < 0 || !isNumber(rest.first(percentEnd)))
        return std::nullopt;
    GameHead head;
    head.percent = rest.first(percentEnd);
    rest = rest.sliced(percentEnd + kHeadAfterPercent.size());
    const qsizetype widthEnd = rest.indexOf(kHeadAfterWidth);
    if (widthEnd < 0 || widthEnd > 12 || rest.first(widthEnd).contains(u'\''))
        return std::nullopt;
    head.width = rest.first(widthEnd);
    rest = rest.sliced(widthEnd + kHeadAfterWidth.size());
    if (rest.size() < kCellEnd.size())
        return std::nullopt;
    head.name = rest.chopped(kCellEnd.size());
    return head;
}

// A player's cell; nothing for a blank line.
std::optional<BoardEntry> entryOf(QStringView cell)
{
    if (cell == kBlankCell)
        return std::nullopt;
    if (cell.size() >= kBlinkOpen.size() + kBlinkClose.size() && cell.startsWith(kBlinkOpen) && cell.endsWith(kBlinkClose))
        return BoardEntry{cell.sliced(kBlinkOpen.size()).chopped(kBlinkClose.size()).toString(), true};
    return BoardEntry{cell.toString(), false};
}

} // namespace

QString renderFragmentGame(const BoardGame &game, const Board &board)
{
    static const QString lineEnd = kCellEnd + kEndOfLine;
    static const QString blinkEnd = kBlinkClose + kCellEnd + kEndOfLine;
    static const QString entryStart = kEntryStart;
    static const QString blinkStart = kEntryStart + kBlinkOpen;
    static const QString blankLine = kEntryStart + kBlankCell + kCellEnd + kEndOfLine;
    static const QString gameEnd = kGameEnd + kEndOfLine;

    qsizetype size = 160 + board.listWidth.size() + game.name.size() + qsizetype(std::max(0, game.rows)) * blankLine.size();
    for (const BoardEntry &entry : game.entries)
        size += entry.cell.size() + 16;
    QString html;
    html.reserve(size);
    html += kHeadStart;
    html += QString::number(board.columnPercent());
    html += kHeadAfterPercent;
    html += board.listWidth;
    html += kHeadAfterWidth;
    html += game.name;
    html += lineEnd;
    int lines = 0;
    for (const BoardEntry &entry : game.entries) {
        if (lines >= game.rows)
            break;
        html += entry.blink ? blinkStart : entryStart;
        html += entry.cell;
        html += entry.blink ? blinkEnd : lineEnd;
        ++lines;
    }
    for (; lines < game.rows; ++lines)
        html += blankLine;
    html += gameEnd;
    return html;
}

QString renderFragment(const Board &board, const QList<QString> &games)
{
    const int firstRow = board.gamesInFirstRow();
    qsizetype size = 128;
    for (const QString &game : games)
        size += game.size();
    QString html;
    html.reserve(size);
    html += kOpening;
    html += kEndOfLine;
    for (qsizetype g = 0; g < games.size(); ++g) {
        html += games[g];
        if (g + 1 == firstRow) {
            html += kSpacerStart;
            html += QString::number(board.columnPercent());
            html += kSpacerEnd;
            html += kEndOfLine;
        }
    }
    html += kClosing;
    html += kEndOfLine;
    return html;
}

QString renderFragment(const Board &board)
{
    QList<QString> games;
    games.reserve(board.games.size());
    for (const BoardGame &game : board.games)
        games << renderFragmentGame(game, board);
    return renderFragment(board, games);
}

std::optional<Board> readFragment(QStringView text)
{
    // The console ends its lines in CR LF, and a name from long ago may hold a lone LF; a file
    // written elsewhere with LF alone is still read by lines.
    const bool crlf = text.contains(kEndOfLine);
    qsizetype from = 0;
    const auto nextLine = [&](QStringView &line) {
        if (from > text.size())
            return false;
        const qsizetype end = crlf ? text.indexOf(kEndOfLine, from) : text.indexOf(u'\n', from);
        line = text.sliced(from, (end < 0 ? text.size() : end) - from);
        from = end < 0 ? text.size() + 1 : end + (crlf ? 2 : 1);
        return true;
    };

    QStringView line;
    bool opened = false;
    while (nextLine(line)) {
        if (!line.trimmed().isEmpty()) {
            opened = line == kOpening;
            break;
        }
    }
    if (!opened)
        return std::nullopt;

    Board board;
    std::optional<BoardGame> game;
    QString width;
    while (nextLine(line)) {
        if (const auto head = gameHeadOf(line)) {
            game = BoardGame{head->name.toString(), 0, {}};
            width = head->width.toString();
        } else if (game && line.size() >= kEntryStart.size() + kCellEnd.size() && line.startsWith(kEntryStart)
                   && line.endsWith(kCellEnd)) {
            ++game->rows;
            if (auto entry = entryOf(line.sliced(kEntryStart.size()).chopped(kCellEnd.size())))
                game->entries.append(std::move(*entry));
        } else if (game && line == kGameEnd) {
            board.games.append(std::move(*game));
            board.listWidth = width;
            game.reset();
        } else if (!game && line == kClosing) {
            break;
        }
        // Anything else is no line of the console's (the spacer between the rows of games is
        // implied by their number), or a piece of a name broken by a line end long ago.
    }
    return board;
}

bool looksWhole(QStringView text)
{
    return text.trimmed().endsWith(QLatin1StringView("</table>"), Qt::CaseInsensitive);
}

} // namespace tavlo
