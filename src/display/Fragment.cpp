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

struct Tag {
    QString name; // lower case
    bool closing = false;
    QStringList classes;
    qsizetype end = 0; // index just past '>'
};

bool isTagNameChar(QChar c)
{
    return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) || (c >= QLatin1Char('A') && c <= QLatin1Char('Z'));
}

bool isKnownTag(const QString &name)
{
    return name == QLatin1String("table") || name == QLatin1String("tr") || name == QLatin1String("td")
        || name == QLatin1String("th") || name == QLatin1String("blink");
}

QStringList classesIn(QStringView attributes)
{
    qsizetype i = 0;
    const qsizetype n = attributes.size();
    while (i < n) {
        while (i < n && (attributes[i].isSpace() || attributes[i] == QLatin1Char('/')))
            ++i;
        const qsizetype nameStart = i;
        while (i < n && !attributes[i].isSpace() && attributes[i] != QLatin1Char('=') && attributes[i] != QLatin1Char('/'))
            ++i;
        const QStringView name = attributes.sliced(nameStart, i - nameStart);
        while (i < n && attributes[i].isSpace())
            ++i;
        QStringView value;
        if (i < n && attributes[i] == QLatin1Char('=')) {
            ++i;
            while (i < n && attributes[i].isSpace())
                ++i;
            if (i < n && (attributes[i] == QLatin1Char('\'') || attributes[i] == QLatin1Char('"'))) {
                const QChar quote = attributes[i++];
                const qsizetype valueStart = i;
                while (i < n && attributes[i] != quote)
                    ++i;
                value = attributes.sliced(valueStart, i - valueStart);
                if (i < n)
                    ++i;
            } else {
                const qsizetype valueStart = i;
                while (i < n && !attributes[i].isSpace())
                    ++i;
                value = attributes.sliced(valueStart, i - valueStart);
            }
        }
        if (name.isEmpty() && i == nameStart)
            ++i; // a lone '=' or similar: step over it
        if (name.compare(QLatin1String("class"), Qt::CaseInsensitive) == 0)
            return value.toString().toLower().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    }
    return {};
}

// A tag starting at `start` ('<'), or nothing when the '<' is plain text.
std::optional<Tag> tagAt(QStringView text, qsizetype start)
{
    qsizetype i = start + 1;
    Tag tag;
    if (i < text.size() && text[i] == QLatin1Char('/')) {
        tag.closing = true;
        ++i;
    }
    const qsizetype nameStart = i;
    while (i < text.size() && isTagNameChar(text[i]))
        ++i;
    tag.name = text.sliced(nameStart, i - nameStart).toString().toLower();
    if (!isKnownTag(tag.name) || i >= text.size())
        return std::nullopt;
    if (text[i] != QLatin1Char('>') && text[i] != QLatin1Char('/') && !text[i].isSpace())
        return std::nullopt;
    const qsizetype attributesStart = i;
    while (i < text.size() && text[i] != QLatin1Char('>')) {
        if (text[i] == QLatin1Char('<'))
            return std::nullopt;
        ++i;
    }
    if (i >= text.size())
        return std::nullopt;
    tag.classes = classesIn(text.sliced(attributesStart, i - attributesStart));
    tag.end = i + 1;
    return tag;
}

std::optional<char32_t> namedEntity(QStringView name)
{
    static const struct {
        const char *name;
        char32_t value;
    } entities[] = {{"nbsp", 0xA0}, {"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}};
    for (const auto &entity : entities) {
        if (name == QLatin1String(entity.name))
            return entity.value;
    }
    return std::nullopt;
}

// Decodes the character reference at `start` ('&'); returns its length, 0 when it is plain text.
qsizetype entityAt(QStringView text, qsizetype start, QString &out)
{
    const qsizetype semicolon = text.indexOf(QLatin1Char(';'), start + 1);
    if (semicolon < 0 || semicolon - start > 10)
        return 0;
    const QStringView body = text.sliced(start + 1, semicolon - start - 1);
    std::optional<char32_t> code;
    if (body.startsWith(QLatin1Char('#'))) {
        const bool hex = body.size() > 1 && (body[1] == QLatin1Char('x') || body[1] == QLatin1Char('X'));
        const QStringView digits = body.sliced(hex ? 2 : 1);
        bool ok = false;
        const uint value = digits.isEmpty() ? 0 : digits.toUInt(&ok, hex ? 16 : 10);
        if (!ok || digits.startsWith(QLatin1Char('+')) || digits.startsWith(QLatin1Char('-')))
            return 0;
        const bool valid = value != 0 && value <= 0x10FFFF && !(value >= 0xD800 && value <= 0xDFFF);
        code = valid ? char32_t(value) : char32_t(0xFFFD);
    } else {
        code = namedEntity(body);
    }
    if (!code)
        return 0;
    const char32_t c = *code;
    out += QString::fromUcs4(&c, 1);
    return semicolon - start + 1;
}

class FragmentReader {
public:
    Board read(QStringView text)
    {
        qsizetype i = 0;
        QString pending;
        while (i < text.size()) {
            const QChar c = text[i];
            if (c == QLatin1Char('<')) {
                if (const auto tag = tagAt(text, i)) {
                    addText(pending);
                    pending.clear();
                    handle(*tag);
                    i = tag->end;
                    continue;
                }
            } else if (c == QLatin1Char('&')) {
                if (const qsizetype length = entityAt(text, i, pending)) {
                    i += length;
                    continue;
                }
            }
            pending += c;
            ++i;
        }
        addText(pending);
        if (m_inGame) {
            finishCell();
            finishGame();
        }
        endLooseLine();
        if (m_board.isEmpty() && !m_looseLines.isEmpty()) {
            BoardGame loose;
            for (const QString &line : std::as_const(m_looseLines))
                loose.entries.append({line, false});
            m_board.rows.append(QList<BoardGame>{loose});
        }
        return m_board;
    }

private:
    enum class Cell { None, Head, Entry };

    void handle(const Tag &tag)
    {
        if (tag.name == QLatin1String("blink")) {
            m_blinkLevel = tag.closing ? std::max(0, m_blinkLevel - 1) : m_blinkLevel + 1;
            return;
        }
        endLooseLine();
        const bool atGameLevel = m_inGame && m_depth == m_gameDepth;
        if (tag.name == QLatin1String("table")) {
            if (tag.closing) {
                if (atGameLevel) {
                    finishCell();
                    finishGame();
                }
                m_depth = std::max(0, m_depth - 1);
            } else {
                ++m_depth;
                if (!m_inGame && tag.classes.contains(QLatin1String("list"))) {
                    m_inGame = true;
                    m_gameDepth = m_depth;
                    m_game = {};
                }
            }
        } else if (tag.name == QLatin1String("tr")) {
            if (atGameLevel)
                finishCell();
            else if (!m_inGame && !tag.closing)
                m_newRowPending = true;
        } else if (atGameLevel) { // td or th
            finishCell();
            if (!tag.closing) {
                const bool head = tag.name == QLatin1String("th") || tag.classes.contains(QLatin1String("listhead"));
                m_cell = head ? Cell::Head : Cell::Entry;
            }
        }
    }

    void addText(const QString &text)
    {
        if (text.isEmpty())
            return;
        if (m_inGame) {
            if (m_cell == Cell::None)
                return;
            if (m_cellText.size() < kMaxTextLength * 4)
                m_cellText += text;
            if (m_blinkLevel > 0 && !text.simplified().isEmpty())
                m_cellBlink = true;
            return;
        }
        // Text outside any game table: kept only for a file that turns out to hold no games.
        for (const QChar c : text) {
            if (c == QLatin1Char('\n') || c == QLatin1Char('\r'))
                endLooseLine();
            else if (m_looseLine.size() < kMaxTextLength * 4)
                m_looseLine += c;
        }
    }

    static QString cleaned(const QString &text)
    {
        QString result = text.simplified();
        if (result.size() > kMaxTextLength)
            result = result.left(kMaxTextLength - 1) + QChar(0x2026);
        return result;
    }

    void endLooseLine()
    {
        const QString line = cleaned(m_looseLine);
        m_looseLine.clear();
        if (!line.isEmpty() && m_looseLines.size() < kMaxLooseLines)
            m_looseLines.append(line);
    }

    void finishCell()
    {
        if (m_cell == Cell::Head && m_game.name.isEmpty()) {
            m_game.name = cleaned(m_cellText);
        } else if (m_cell != Cell::None && m_game.entries.size() < kMaxEntries) {
            const QString text = cleaned(m_cellText);
            m_game.entries.append({text, m_cellBlink && !text.isEmpty()});
        }
        m_cell = Cell::None;
        m_cellText.clear();
        m_cellBlink = false;
        m_blinkLevel = 0; // an unclosed blink does not spill into the next line
    }

    void finishGame()
    {
        m_inGame = false;
        m_gameDepth = -1;
        if (m_games >= kMaxGames)
            return;
        ++m_games;
        if (m_board.rows.isEmpty() || m_newRowPending)
            m_board.rows.append(QList<BoardGame>());
        m_newRowPending = false;
        m_board.rows.last().append(m_game);
    }

    Board m_board;
    BoardGame m_game;
    bool m_inGame = false;
    bool m_newRowPending = false;
    int m_depth = 0;
    int m_gameDepth = -1;
    int m_games = 0;
    int m_blinkLevel = 0;
    Cell m_cell = Cell::None;
    QString m_cellText;
    bool m_cellBlink = false;
    QString m_looseLine;
    QStringList m_looseLines;
};

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
    return FragmentReader().read(fragment);
}

bool looksComplete(QStringView fragment)
{
    return fragment.trimmed().endsWith(QLatin1String("</table>"), Qt::CaseInsensitive);
}

} // namespace tavlo::display
