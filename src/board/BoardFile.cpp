#include "board/BoardFile.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace tavlo {

namespace {

// Member names and marker words, compared as the file's bytes.
constexpr char kFormat[] = "format";
constexpr char kVersion[] = "version";
constexpr char kWritten[] = "written";
constexpr char kChanged[] = "changed";
constexpr char kHeartbeat[] = "heartbeatSeconds";
constexpr char kGames[] = "games";
constexpr char kName[] = "name";
constexpr char kPlayers[] = "players";
constexpr char kEstimate[] = "estimate";
constexpr char kMarkers[] = "markers";
constexpr char kAdded[] = "added";
constexpr char kBlink[] = "blink";
constexpr char kStar[] = "star";
constexpr char kPhone[] = "phone";

bool is(const QByteArray &text, const char *word)
{
    return QByteArrayView(text) == QByteArrayView(word);
}

// Days since 1970-01-01 of a date in the proleptic Gregorian calendar, and back; a few
// integer steps instead of QDateTime's calendar machinery, which counts for 40,000 players.
qint64 daysFromCivil(qint64 y, int m, int d)
{
    y -= m <= 2;
    const qint64 era = (y >= 0 ? y : y - 399) / 400;
    const qint64 yoe = y - era * 400;
    const qint64 doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const qint64 doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void civilFromDays(qint64 z, qint64 &y, int &m, int &d)
{
    z += 719468;
    const qint64 era = (z >= 0 ? z : z - 146096) / 146097;
    const qint64 doe = z - era * 146097;
    const qint64 yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const qint64 doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const qint64 mp = (5 * doy + 2) / 153;
    d = int(doy - (153 * mp + 2) / 5 + 1);
    m = int(mp < 10 ? mp + 3 : mp - 9);
    y = yoe + era * 400 + (m <= 2);
}

void appendDigits(QString &out, qint64 value, int width)
{
    char digits[8];
    for (int i = width - 1; i >= 0; --i) {
        digits[i] = char('0' + value % 10);
        value /= 10;
    }
    out += QLatin1StringView(digits, width);
}

void appendString(QString &out, QStringView text)
{
    out += u'"';
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == u'"' || u == u'\\') {
            out += u'\\';
            out += c;
        } else if (u < 0x20 || u == 0x2028 || u == 0x2029) {
            // Control characters must be escaped; the two separators too, so that the text
            // can be pasted into a script as it is.
            out += QLatin1StringView("\\u");
            out += QString::number(u, 16).rightJustified(4, u'0');
        } else {
            out += c;
        }
    }
    out += u'"';
}

void appendTime(QString &out, const QDateTime &time)
{
    const QString text = boardFileTime(time);
    if (text.isEmpty())
        out += QLatin1StringView("null");
    else
        appendString(out, text);
}

int codeOf(QChar c)
{
    return c.unicode();
}
int codeOf(char c)
{
    return uchar(c);
}

template <typename Text>
int digitsAt(const Text &text, qsizetype from, int count)
{
    int value = 0;
    for (qsizetype i = from; i < from + count; ++i) {
        const int c = codeOf(text[i]);
        if (c < '0' || c > '9')
            return -1;
        value = value * 10 + (c - '0');
    }
    return value;
}

// A time as RFC 3339 writes it, in characters or bytes: "2026-12-06T21:04:10Z", with any
// fraction of a second and any offset ("2026-12-06T22:04:10.5+01:00"); invalid for any other
// text, a letter in the year as much as a day that does not exist.
template <typename Text>
QDateTime strictTime(const Text &text, qsizetype size)
{
    const auto at = [&](qsizetype i) { return i < size ? codeOf(text[i]) : 0; };
    if (size < 20 || at(4) != '-' || at(7) != '-' || (at(10) != 'T' && at(10) != 't') || at(13) != ':' || at(16) != ':')
        return {};
    const int year = digitsAt(text, 0, 4);
    const int month = digitsAt(text, 5, 2);
    const int day = digitsAt(text, 8, 2);
    const int hour = digitsAt(text, 11, 2);
    const int minute = digitsAt(text, 14, 2);
    const int second = digitsAt(text, 17, 2);
    // digitsAt() says -1 for a letter, and -1 is a year QDate takes.
    if (year < 1 || !QDate::isValid(year, month, day) || hour < 0 || hour >= 24 || minute < 0 || minute >= 60
        || second < 0 || second >= 60)
        return {};
    qsizetype i = 19;
    int msecs = 0;
    if (at(i) == '.') {
        const qsizetype first = ++i;
        for (; at(i) >= '0' && at(i) <= '9'; ++i) {
            if (i - first < 3)
                msecs = msecs * 10 + (at(i) - '0');
        }
        if (i == first)
            return {};
        for (qsizetype n = i - first; n < 3; ++n)
            msecs *= 10;
    }
    int offsetMinutes = 0;
    if (at(i) == 'Z' || at(i) == 'z') {
        ++i;
    } else if ((at(i) == '+' || at(i) == '-') && size - i == 6 && at(i + 3) == ':') {
        const int hours = digitsAt(text, i + 1, 2);
        const int minutes = digitsAt(text, i + 4, 2);
        if (hours < 0 || hours >= 24 || minutes < 0 || minutes >= 60)
            return {};
        offsetMinutes = (at(i) == '-' ? -1 : 1) * (hours * 60 + minutes);
        i += 6;
    } else {
        return {};
    }
    if (i != size)
        return {};
    const qint64 seconds = daysFromCivil(year, month, day) * 86400 + hour * 3600 + minute * 60 + second - offsetMinutes * 60;
    return QDateTime::fromMSecsSinceEpoch(seconds * 1000 + msecs, Qt::UTC);
}

struct Failure {
    QString problem;
};

// A JSON reader straight into the values wanted, without a document in between: a room of
// 40,000 players is read in one pass over its bytes and a few allocations per player. It
// reads any JSON (members it does not want are skipped) and refuses what is not JSON.
class JsonReader {
public:
    explicit JsonReader(const QByteArray &bytes)
        : m_at(bytes.constData())
        , m_end(bytes.constData() + bytes.size())
    {
    }

    // The next value's first character, after blanks; 0 at the end.
    char peek()
    {
        while (m_at < m_end && (*m_at == ' ' || *m_at == '\n' || *m_at == '\r' || *m_at == '\t'))
            ++m_at;
        return m_at < m_end ? *m_at : 0;
    }

    void end()
    {
        if (peek() != 0)
            fail("more after the end");
    }

    // Calls onMember(key) for each member; it reads the member's value.
    template <typename OnMember>
    void members(OnMember &&onMember)
    {
        membersWhile([&](const QByteArray &key) {
            onMember(key);
            return true;
        });
    }

    // The same, until onMember returns false; the reader is then left inside the object.
    template <typename OnMember>
    void membersWhile(OnMember &&onMember)
    {
        enter('{');
        if (peek() == '}') {
            leave();
            return;
        }
        for (;;) {
            if (peek() != '"')
                fail("a member without a name");
            const QByteArray key = rawString();
            if (peek() != ':')
                fail("a member without a value");
            ++m_at;
            if (!onMember(key))
                return;
            const char next = peek();
            ++m_at;
            if (next == '}')
                break;
            if (next != ',')
                fail("members not separated");
        }
        --m_depth;
    }

    template <typename OnElement>
    void elements(OnElement &&onElement)
    {
        enter('[');
        if (peek() == ']') {
            leave();
            return;
        }
        for (;;) {
            onElement();
            const char next = peek();
            ++m_at;
            if (next == ']')
                break;
            if (next != ',')
                fail("elements not separated");
        }
        --m_depth;
    }

    QString string() { return QString::fromUtf8(bytes()); }

    // A string's bytes in UTF-8.
    QByteArray bytes()
    {
        if (peek() != '"')
            fail("a text expected");
        return rawString();
    }

    double number()
    {
        peek();
        const char *start = m_at;
        if (m_at < m_end && *m_at == '-')
            ++m_at;
        if (!digits(true))
            fail("a number expected");
        if (m_at < m_end && *m_at == '.') {
            ++m_at;
            if (!digits(false))
                fail("a number without decimals");
        }
        if (m_at < m_end && (*m_at == 'e' || *m_at == 'E')) {
            ++m_at;
            if (m_at < m_end && (*m_at == '+' || *m_at == '-'))
                ++m_at;
            if (!digits(false))
                fail("a number without exponent");
        }
        return QByteArrayView(start, m_at - start).toDouble();
    }

    // A number, or NaN after skipping a value of another kind.
    double numberOrNothing()
    {
        const char c = peek();
        if (c == '-' || (c >= '0' && c <= '9'))
            return number();
        skip();
        return std::nan("");
    }

    bool takeNull()
    {
        if (peek() != 'n')
            return false;
        word("null");
        return true;
    }

    void skip()
    {
        switch (peek()) {
        case '{':
            members([this](const QByteArray &) { skip(); });
            break;
        case '[':
            elements([this] { skip(); });
            break;
        case '"':
            rawString();
            break;
        case 't':
            word("true");
            break;
        case 'f':
            word("false");
            break;
        case 'n':
            word("null");
            break;
        default:
            number();
        }
    }

    [[noreturn]] void fail(const char *what) const
    {
        throw Failure{QStringLiteral("not JSON (%1 at byte %2)").arg(QLatin1String(what)).arg(m_at - m_start)};
    }

    void setStart(const char *start) { m_start = start; }

private:
    // Deep enough for any board; a hostile file cannot exhaust the stack.
    static constexpr int kMaxDepth = 64;

    void enter(char bracket)
    {
        if (peek() != bracket)
            fail(bracket == '{' ? "an object expected" : "a list expected");
        if (++m_depth > kMaxDepth)
            fail("too deep");
        ++m_at;
    }
    void leave()
    {
        ++m_at;
        --m_depth;
    }

    bool digits(bool leading)
    {
        const char *start = m_at;
        while (m_at < m_end && *m_at >= '0' && *m_at <= '9')
            ++m_at;
        // No leading zeros: "01" is no JSON number.
        if (leading && m_at - start > 1 && *start == '0')
            fail("a number with a leading zero");
        return m_at > start;
    }

    void word(const char *text)
    {
        const qsizetype length = qsizetype(qstrlen(text));
        if (m_end - m_at < length || std::memcmp(m_at, text, size_t(length)) != 0)
            fail("an unknown word");
        m_at += length;
    }

    // The string's bytes in UTF-8, its escapes resolved; a view of the file when it has none.
    QByteArray rawString()
    {
        const char *start = ++m_at;
        while (m_at < m_end && *m_at != '"' && *m_at != '\\' && static_cast<unsigned char>(*m_at) >= 0x20)
            ++m_at;
        if (m_at < m_end && *m_at == '"')
            return QByteArray::fromRawData(start, m_at++ - start);
        QByteArray text(start, m_at - start);
        while (m_at < m_end && *m_at != '"') {
            const unsigned char c = static_cast<unsigned char>(*m_at++);
            if (c < 0x20)
                fail("a control character in a text");
            if (c != '\\') {
                text += char(c);
                continue;
            }
            if (m_at >= m_end)
                break;
            switch (const char e = *m_at++) {
            case '"':
            case '\\':
            case '/':
                text += e;
                break;
            case 'b':
                text += '\b';
                break;
            case 'f':
                text += '\f';
                break;
            case 'n':
                text += '\n';
                break;
            case 'r':
                text += '\r';
                break;
            case 't':
                text += '\t';
                break;
            case 'u': {
                char32_t code = hex4();
                if (QChar::isHighSurrogate(code) && m_end - m_at >= 6 && m_at[0] == '\\' && m_at[1] == 'u') {
                    const char *back = m_at;
                    m_at += 2;
                    const char32_t low = hex4();
                    if (QChar::isLowSurrogate(low))
                        code = QChar::surrogateToUcs4(char16_t(code), char16_t(low));
                    else
                        m_at = back;
                }
                if (QChar::isSurrogate(code))
                    code = QChar::ReplacementCharacter; // half a pair is no character
                const char16_t units[2] = {char16_t(QChar::requiresSurrogates(code) ? QChar::highSurrogate(code) : code),
                                           QChar::lowSurrogate(code)};
                text += QStringView(units, QChar::requiresSurrogates(code) ? 2 : 1).toUtf8();
                break;
            }
            default:
                fail("an unknown escape");
            }
        }
        if (m_at >= m_end)
            fail("a text without its end");
        ++m_at;
        return text;
    }

    char32_t hex4()
    {
        if (m_end - m_at < 4)
            fail("a short escape");
        char32_t value = 0;
        for (int i = 0; i < 4; ++i) {
            const char c = *m_at++;
            value <<= 4;
            if (c >= '0' && c <= '9')
                value |= char32_t(c - '0');
            else if (c >= 'a' && c <= 'f')
                value |= char32_t(c - 'a' + 10);
            else if (c >= 'A' && c <= 'F')
                value |= char32_t(c - 'A' + 10);
            else
                fail("a bad escape");
        }
        return value;
    }

    const char *m_start = nullptr;
    const char *m_at;
    const char *m_end;
    int m_depth = 0;
};

QDateTime timeOf(JsonReader &json, const char *what)
{
    if (json.takeNull())
        return {};
    if (json.peek() != '"')
        throw Failure{QStringLiteral("%1 is not a time").arg(QLatin1String(what))};
    const QByteArray text = json.bytes();
    const QDateTime time = strictTime(text, text.size());
    if (!time.isValid())
        throw Failure{QStringLiteral("%1 is not a time").arg(QLatin1String(what))};
    return time;
}

QString nameOf(JsonReader &json, QLatin1StringView what)
{
    if (json.peek() != '"')
        throw Failure{QStringLiteral("a %1 whose name is no text").arg(what)};
    return json.string();
}

WaitingPlayer playerOf(JsonReader &json)
{
    if (json.peek() != '{')
        throw Failure{QStringLiteral("a player is no object")};
    WaitingPlayer player;
    bool named = false;
    json.members([&](const QByteArray &key) {
        if (is(key, kName)) {
            player.name = nameOf(json, QLatin1StringView("player"));
            named = true;
        } else if (is(key, kMarkers)) {
            if (json.takeNull())
                return;
            if (json.peek() != '[')
                throw Failure{QStringLiteral("markers that are no list")};
            json.elements([&] {
                if (json.peek() != '"') {
                    json.skip();
                    return;
                }
                // Markers this reader does not know are passed over, as unknown members are.
                const QByteArray word = json.bytes();
                if (is(word, kBlink))
                    player.markers.blink = true;
                else if (is(word, kStar))
                    player.markers.star = true;
                else if (is(word, kPhone))
                    player.markers.phone = true;
            });
        } else if (is(key, kAdded)) {
            player.addedAt = timeOf(json, "a player's added");
        } else {
            json.skip();
        }
    });
    if (!named)
        throw Failure{QStringLiteral("a player without a name")};
    return player;
}

WaitingGame gameOf(JsonReader &json)
{
    if (json.peek() != '{')
        throw Failure{QStringLiteral("a game is no object")};
    WaitingGame game;
    bool named = false;
    bool listed = false;
    json.members([&](const QByteArray &key) {
        if (is(key, kName)) {
            game.name = nameOf(json, QLatin1StringView("game"));
            named = true;
        } else if (is(key, kPlayers)) {
            if (json.peek() != '[')
                throw Failure{QStringLiteral("a game without its list of players")};
            game.players.clear();
            json.elements([&] { game.players.append(playerOf(json)); });
            listed = true;
        } else if (is(key, kEstimate) && json.peek() == '"') {
            game.estimate = json.string();
        } else {
            json.skip();
        }
    });
    if (!named)
        throw Failure{QStringLiteral("a game without a name")};
    if (!listed)
        throw Failure{QStringLiteral("a game without its list of players")};
    return game;
}

} // namespace

QString boardFileTime(const QDateTime &time)
{
    if (!time.isValid())
        return {};
    const qint64 seconds = time.toSecsSinceEpoch();
    qint64 days = seconds / 86400;
    qint64 rest = seconds % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    qint64 year = 0;
    int month = 0;
    int day = 0;
    civilFromDays(days, year, month, day);
    if (year < 0 || year > 9999)
        return time.toUTC().toString(Qt::ISODate);
    QString text;
    text.reserve(20);
    appendDigits(text, year, 4);
    text += u'-';
    appendDigits(text, month, 2);
    text += u'-';
    appendDigits(text, day, 2);
    text += u'T';
    appendDigits(text, rest / 3600, 2);
    text += u':';
    appendDigits(text, rest / 60 % 60, 2);
    text += u':';
    appendDigits(text, rest % 60, 2);
    text += u'Z';
    return text;
}

QDateTime readBoardFileTime(QStringView text)
{
    return strictTime(text, text.size());
}

QByteArray encodeBoardFile(const BoardSnapshot &board)
{
    qsizetype players = 0;
    for (const WaitingGame &game : board.games)
        players += game.players.size();
    QString out;
    out.reserve(256 + board.games.size() * 64 + players * 96);
    out += QLatin1StringView("{\"format\":");
    appendString(out, BoardFileFormat);
    out += QLatin1StringView(",\"version\":") + QString::number(BoardFileVersion);
    out += QLatin1StringView(",\"written\":");
    appendTime(out, board.writtenAt);
    out += QLatin1StringView(",\"changed\":");
    appendTime(out, board.changedAt);
    out += QLatin1StringView(",\"heartbeatSeconds\":") + QString::number(board.heartbeatSeconds);
    out += QLatin1StringView(",\"games\":[");
    for (qsizetype g = 0; g < board.games.size(); ++g) {
        const WaitingGame &game = board.games[g];
        // One game, and one player, to a line: the file stays readable by eye and by diff.
        out += g == 0 ? QLatin1StringView("\n{\"name\":") : QLatin1StringView(",\n{\"name\":");
        appendString(out, game.name);
        if (!game.estimate.isEmpty()) {
            out += QLatin1StringView(",\"estimate\":");
            appendString(out, game.estimate);
        }
        out += QLatin1StringView(",\"players\":[");
        for (qsizetype p = 0; p < game.players.size(); ++p) {
            const WaitingPlayer &player = game.players[p];
            out += p == 0 ? QLatin1StringView("\n{\"position\":") : QLatin1StringView(",\n{\"position\":");
            out += QString::number(p + 1);
            out += QLatin1StringView(",\"name\":");
            appendString(out, player.name);
            out += QLatin1StringView(",\"markers\":[");
            bool first = true;
            for (const auto &[on, word] : {std::pair{player.markers.blink, kBlink}, std::pair{player.markers.star, kStar},
                                           std::pair{player.markers.phone, kPhone}}) {
                if (!on)
                    continue;
                if (!first)
                    out += u',';
                out += u'"';
                out += QLatin1StringView(word);
                out += u'"';
                first = false;
            }
            out += QLatin1StringView("],\"added\":");
            appendTime(out, player.addedAt);
            out += u'}';
        }
        out += QLatin1StringView("]}");
    }
    out += QLatin1StringView("\n]}\n");
    return out.toUtf8();
}

BoardFileContent readBoardFile(const QByteArray &bytes)
{
    BoardFileContent content;
    try {
        // First what the text says it is: the console writes that first, so this look rarely
        // goes further. Only a board file of this version is then read whole, as JSON and for
        // its meaning.
        QString format;
        double version = -1;
        bool isObject = false;
        {
            JsonReader json(bytes);
            json.setStart(bytes.constData());
            if (json.peek() == '{') {
                isObject = true;
                bool hasFormat = false;
                bool hasVersion = false;
                json.membersWhile([&](const QByteArray &key) {
                    if (is(key, kFormat) && json.peek() == '"') {
                        format = json.string();
                        hasFormat = true;
                    } else if (is(key, kVersion)) {
                        version = json.numberOrNothing();
                        hasVersion = true;
                    } else {
                        json.skip();
                    }
                    return !(hasFormat && hasVersion);
                });
            } else {
                json.skip();
                json.end();
            }
        }
        if (!isObject)
            throw Failure{QStringLiteral("not a JSON object")};
        if (format != BoardFileFormat)
            throw Failure{QStringLiteral("not a board file")};
        if (!(version == std::floor(version) && version >= 1 && version <= 1e6))
            throw Failure{QStringLiteral("no version")};
        content.version = int(version);
        if (content.version != BoardFileVersion) {
            content.status = BoardFileContent::Status::UnknownVersion;
            content.problem = QStringLiteral("version %1 is not known here").arg(content.version);
            return content;
        }

        BoardSnapshot &board = content.board;
        bool written = false;
        bool listed = false;
        JsonReader json(bytes);
        json.setStart(bytes.constData());
        json.members([&](const QByteArray &key) {
            if (is(key, kWritten)) {
                board.writtenAt = timeOf(json, kWritten);
                written = board.writtenAt.isValid();
            } else if (is(key, kChanged)) {
                board.changedAt = timeOf(json, kChanged);
            } else if (is(key, kHeartbeat)) {
                const double seconds = json.numberOrNothing();
                if (!(seconds >= 1 && seconds <= 86400))
                    throw Failure{QStringLiteral("a heartbeat of no sense")};
                board.heartbeatSeconds = int(std::ceil(seconds));
            } else if (is(key, kGames)) {
                if (json.peek() != '[')
                    throw Failure{QStringLiteral("no list of games")};
                board.games.clear();
                json.elements([&] { board.games.append(gameOf(json)); });
                listed = true;
            } else {
                json.skip();
            }
        });
        json.end();
        if (!written)
            throw Failure{QStringLiteral("no written time")};
        if (!listed)
            throw Failure{QStringLiteral("no list of games")};
    } catch (const Failure &failure) {
        content.status = BoardFileContent::Status::Unreadable;
        content.board = {};
        content.problem = failure.problem;
        return content;
    }
    content.status = BoardFileContent::Status::Read;
    return content;
}

} // namespace tavlo
