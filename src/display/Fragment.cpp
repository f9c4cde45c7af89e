#include "display/Fragment.h"

#include <algorithm>
#include <optional>

namespace tavlo::display {

namespace {

// Bounds that keep a runaway file from swamping the screen or the layout.
constexpr int kMaxGames = 100;
constexpr int kMaxEntries = 200;
constexpr int kMaxTextLength = 200;
constexpr int kMaxLooseLines = 40;

// The pieces the console writes around each name; a line is read by them alone, so nothing
// inside a name can add, hide or reorder anything on the screen.
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
constexpr QLatin1StringView kStarReference("&#9733;");
constexpr QLatin1StringView kPhoneReference("&#9742;");

QString cleaned(QStringView text)
{
    // Work on a bounded piece: a line of megabytes is no name.
    QString result = text.first(std::min<qsizetype>(text.size(), kMaxTextLength * 4)).toString().simplified();
    if (result.size() > kMaxTextLength)
        result = result.left(kMaxTextLength - 1) + QChar(0x2026);
    return result;
}

bool isDigits(QStringView text)
{
    return !text.isEmpty() && text.size() <= 3
        && std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

// The name of a game head line, or nothing when the line is no game head.
std::optional<QStringView> gameHeadName(QStringView line)
{
    if (!line.startsWith(kHeadStart) || !line.endsWith(kCellEnd))
        return std::nullopt;
    QStringView rest = line.sliced(kHeadStart.size());
    const qsizetype percentEnd = rest.indexOf(kHeadAfterPercent);
    if (percentEnd < 0 || !isDigits(rest.first(percentEnd)))
        return std::nullopt;
    rest = rest.sliced(percentEnd + kHeadAfterPercent.size());
    const qsizetype widthEnd = rest.indexOf(u'\'');
    if (widthEnd < 0 || widthEnd > 8 || !rest.sliced(widthEnd).startsWith(kHeadAfterWidth))
        return std::nullopt;
    rest = rest.sliced(widthEnd + kHeadAfterWidth.size());
    if (rest.size() < kCellEnd.size())
        return std::nullopt;
    return rest.chopped(kCellEnd.size());
}

bool isSpacer(QStringView line)
{
    return line.startsWith(kSpacerStart) && line.endsWith(kSpacerEnd)
        && isDigits(line.sliced(kSpacerStart.size()).chopped(kSpacerEnd.size()));
}

// A player's cell as the console renders it: only the blink wrapper and the two symbol
// references mean anything; the rest is the name as typed.
BoardEntry entryOf(QStringView cell)
{
    if (cell == kBlankCell)
        return {};
    bool blink = false;
    if (cell.size() >= kBlinkOpen.size() + kBlinkClose.size() && cell.startsWith(kBlinkOpen) && cell.endsWith(kBlinkClose)) {
        blink = true;
        cell = cell.sliced(kBlinkOpen.size()).chopped(kBlinkClose.size());
    }
    QString text = cleaned(cell);
    text.replace(kStarReference, QStringLiteral("\u2605"));
    text.replace(kPhoneReference, QStringLiteral("\u260E"));
    return {text, blink && !text.isEmpty()};
}

QList<QStringView> linesOf(QStringView text)
{
    // The console ends its lines in CR LF, and a name may hold a lone LF from long ago; a file
    // written elsewhere with LF alone is still read by lines.
    const bool crlf = text.contains(QLatin1StringView("\r\n"));
    QList<QStringView> lines;
    qsizetype from = 0;
    while (from <= text.size()) {
        const qsizetype end = crlf ? text.indexOf(QLatin1StringView("\r\n"), from) : text.indexOf(u'\n', from);
        if (end < 0) {
            lines.append(text.sliced(from));
            break;
        }
        lines.append(text.sliced(from, end - from));
        from = end + (crlf ? 2 : 1);
    }
    return lines;
}

Board looseText(const QList<QStringView> &lines)
{
    BoardGame loose;
    for (const QStringView line : lines) {
        const QString text = cleaned(line);
        if (!text.isEmpty() && loose.entries.size() < kMaxLooseLines)
            loose.entries.append({text, false});
    }
    Board board;
    if (!loose.entries.isEmpty())
        board.rows.append(QList<BoardGame>{loose});
    return board;
}

} // namespace

int Board::columnCount() const
{
    qsizetype columns = 0;
    for (const auto &row : rows)
        columns = std::max(columns, row.size());
    return int(columns);
}

int Board::gameCount() const
{
    qsizetype count = 0;
    for (const auto &row : rows)
        count += row.size();
    return int(count);
}

bool Board::hasBlink() const
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

Board parseFragment(QStringView fragment)
{
    const QList<QStringView> lines = linesOf(fragment);
    qsizetype i = 0;
    while (i < lines.size() && lines[i].trimmed().isEmpty())
        ++i;
    if (i == lines.size() || lines[i] != kOpening)
        return looseText(lines); // not a fragment as the console writes it

    Board board;
    board.rows.append(QList<BoardGame>());
    std::optional<BoardGame> game;
    int games = 0;
    for (++i; i < lines.size(); ++i) {
        const QStringView line = lines[i];
        if (const auto name = gameHeadName(line)) {
            game = BoardGame{cleaned(*name), {}};
        } else if (game && line.startsWith(kEntryStart) && line.endsWith(kCellEnd)
                   && line.size() >= kEntryStart.size() + kCellEnd.size()) {
            if (game->entries.size() < kMaxEntries)
                game->entries.append(entryOf(line.sliced(kEntryStart.size()).chopped(kCellEnd.size())));
        } else if (game && line == kGameEnd) {
            if (games++ < kMaxGames)
                board.rows.last().append(*game);
            game.reset();
        } else if (!game && isSpacer(line)) {
            board.rows.append(QList<BoardGame>());
        } else if (!game && line == kClosing) {
            break;
        }
        // Anything else is no line of the console's: a name broken by a line end long ago.
    }
    while (!board.rows.isEmpty() && board.rows.last().isEmpty())
        board.rows.removeLast();
    return board;
}

bool looksComplete(QStringView fragment)
{
    return fragment.trimmed().endsWith(QLatin1String("</table>"), Qt::CaseInsensitive);
}

} // namespace tavlo::display
