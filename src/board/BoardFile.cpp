#include "board/BoardFile.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <rapidjson/error/en.h>
#include <rapidjson/reader.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>

namespace tavlo {

namespace {

// The marker words, compared as the file's bytes.
constexpr char kBlink[] = "blink";
constexpr char kStar[] = "star";
constexpr char kPhone[] = "phone";

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

// The board file's meaning, read from the events of the library's JSON reader as they come:
// no document in between, so that a room of 40,000 players costs a pass over its bytes and a
// few allocations per player. What the file says it is (its format and version, which the
// console writes first) is settled before anything else counts: a file of another version is
// not read further, whatever follows, and a file of this version is refused whole at the
// first thing in it that makes no sense.
class BoardReader : public rapidjson::BaseReaderHandler<rapidjson::UTF8<>, BoardReader> {
public:
    using Size = rapidjson::SizeType;
    using Status = BoardFileContent::Status;

    bool Null() { return value(Kind::Null); }
    bool Bool(bool b) { return value(b ? Kind::True : Kind::Other); }
    bool RawNumber(const char *text, Size size, bool) { return value(Kind::Number, QByteArrayView(text, size)); }
    bool String(const char *text, Size size, bool) { return value(Kind::String, QByteArrayView(text, size)); }
    bool StartObject() { return enter() && value(Kind::Object); }
    bool StartArray() { return enter() && value(Kind::Array); }
    bool Key(const char *text, Size size, bool);
    bool EndObject(Size);
    bool EndArray(Size);

    // The outcome once the reader has stopped: read whole, or why not.
    BoardFileContent content(const rapidjson::ParseResult &result);

private:
    enum class Kind { Null, Number, String, Object, Array, Other, True };
    enum class Frame { Root, Games, Game, Players, Player, Markers, Skipped };
    enum class Member { Other, Format, Version, Written, Changed, Heartbeat, Games, Name, Players, Estimate, Markers, Added, CallEnds, Away, Interest };

    // Deep enough for any board; a hostile file cannot exhaust the stack.
    static constexpr int kMaxDepth = 64;

    bool enter();
    bool value(Kind kind, QByteArrayView text = {});
    bool rootMember(Kind kind, QByteArrayView text);
    bool gameMember(Kind kind, QByteArrayView text);
    bool playerMember(Kind kind, QByteArrayView text);
    bool time(Kind kind, QByteArrayView text, QDateTime &time, const char *what);
    bool settle();
    bool skip(Kind kind);
    bool refuse(Kind kind, const QString &problem);
    bool stop(Status status, const QString &problem);
    void push(Frame frame) { m_frames[m_depth - 1] = frame; }
    Frame top() const { return m_frames[m_depth - 1]; }

    BoardSnapshot m_board;
    Frame m_frames[kMaxDepth] = {};
    int m_depth = 0;
    Member m_member = Member::Other;
    bool m_settled = false; // the format and version are known, and they are ours
    std::optional<Status> m_stopped;
    QString m_problem; // the first: until the file is settled it only counts if it is ours
    QString m_format;
    bool m_hasFormat = false;
    double m_version = -1;
    bool m_hasVersion = false;
    bool m_written = false;
    bool m_listed = false;
    bool m_gameNamed = false;
    bool m_gameListed = false;
    bool m_playerNamed = false;
};

bool BoardReader::enter()
{
    if (m_depth == kMaxDepth)
        return stop(Status::Unreadable, QStringLiteral("not JSON (too deep)"));
    ++m_depth;
    return true;
}

bool BoardReader::Key(const char *text, Size size, bool)
{
    // The members this reader knows, by the object they stand in; the rest it passes over.
    struct Known {
        Frame frame;
        QByteArrayView key;
        Member member;
    };
    static constexpr Known known[] = {
        {Frame::Root, "format", Member::Format},
        {Frame::Root, "version", Member::Version},
        {Frame::Root, "written", Member::Written},
        {Frame::Root, "changed", Member::Changed},
        {Frame::Root, "heartbeatSeconds", Member::Heartbeat},
        {Frame::Root, "games", Member::Games},
        {Frame::Game, "name", Member::Name},
        {Frame::Game, "players", Member::Players},
        {Frame::Game, "estimate", Member::Estimate},
        {Frame::Game, "interest", Member::Interest},
        {Frame::Player, "name", Member::Name},
        {Frame::Player, "markers", Member::Markers},
        {Frame::Player, "added", Member::Added},
        {Frame::Player, "callEnds", Member::CallEnds},
        {Frame::Player, "away", Member::Away},
    };
    const QByteArrayView key(text, size);
    m_member = Member::Other;
    for (const Known &member : known) {
        if (member.frame == top() && member.key == key) {
            m_member = member.member;
            break;
        }
    }
    return true;
}

bool BoardReader::value(Kind kind, QByteArrayView text)
{
    // A container's own frame is in place already: its value is read by the frame around it.
    const bool opens = kind == Kind::Object || kind == Kind::Array;
    const int outer = m_depth - (opens ? 1 : 0);
    if (outer == 0) {
        if (kind != Kind::Object)
            return stop(Status::Unreadable, QStringLiteral("not a JSON object"));
        push(Frame::Root);
        return true;
    }
    switch (m_frames[outer - 1]) {
    case Frame::Root:
        return rootMember(kind, text);
    case Frame::Games:
        if (kind != Kind::Object)
            return refuse(kind, QStringLiteral("a game is no object"));
        m_board.games.emplace_back();
        m_gameNamed = m_gameListed = false;
        push(Frame::Game);
        return true;
    case Frame::Game:
        return gameMember(kind, text);
    case Frame::Players:
        if (kind != Kind::Object)
            return refuse(kind, QStringLiteral("a player is no object"));
        m_board.games.last().players.emplace_back();
        m_playerNamed = false;
        push(Frame::Player);
        return true;
    case Frame::Player:
        return playerMember(kind, text);
    case Frame::Markers:
        // Markers this reader does not know are passed over, as unknown members are.
        if (kind == Kind::String) {
            PlayerMarkers &markers = m_board.games.last().players.last().markers;
            if (text == kBlink)
                markers.blink = true;
            else if (text == kStar)
                markers.star = true;
            else if (text == kPhone)
                markers.phone = true;
        }
        return skip(kind);
    case Frame::Skipped:
        break;
    }
    return skip(kind);
}

bool BoardReader::rootMember(Kind kind, QByteArrayView text)
{
    switch (m_member) {
    case Member::Format:
    case Member::Version:
        if (m_settled)
            break;
        if (m_member == Member::Format && kind == Kind::String) {
            m_format = QString::fromUtf8(text);
            m_hasFormat = true;
        } else if (m_member == Member::Version) {
            m_version = kind == Kind::Number ? text.toDouble() : std::nan("");
            m_hasVersion = true;
        }
        if (m_hasFormat && m_hasVersion && !settle())
            return false;
        break;
    case Member::Written:
        if (!time(kind, text, m_board.writtenAt, "written"))
            return false;
        m_written = m_board.writtenAt.isValid();
        return true;
    case Member::Changed:
        return time(kind, text, m_board.changedAt, "changed");
    case Member::Heartbeat: {
        const double seconds = kind == Kind::Number ? text.toDouble() : std::nan("");
        if (!(seconds >= 1 && seconds <= 86400))
            return refuse(kind, QStringLiteral("a heartbeat of no sense"));
        m_board.heartbeatSeconds = int(std::ceil(seconds));
        return true;
    }
    case Member::Games:
        if (kind != Kind::Array)
            return refuse(kind, QStringLiteral("no list of games"));
        m_board.games.clear();
        push(Frame::Games);
        return true;
    default:
        break;
    }
    return skip(kind);
}

bool BoardReader::gameMember(Kind kind, QByteArrayView text)
{
    WaitingGame &game = m_board.games.last();
    switch (m_member) {
    case Member::Name:
        if (kind != Kind::String)
            return refuse(kind, QStringLiteral("a game whose name is no text"));
        game.name = QString::fromUtf8(text);
        m_gameNamed = true;
        return true;
    case Member::Players:
        if (kind != Kind::Array)
            return refuse(kind, QStringLiteral("a game without its list of players"));
        game.players.clear();
        push(Frame::Players);
        return true;
    case Member::Estimate:
        if (kind == Kind::String)
            game.estimate = QString::fromUtf8(text);
        break;
    case Member::Interest:
        game.interest = kind == Kind::True;
        break;
    default:
        break;
    }
    return skip(kind);
}

bool BoardReader::playerMember(Kind kind, QByteArrayView text)
{
    WaitingPlayer &player = m_board.games.last().players.last();
    switch (m_member) {
    case Member::Name:
        if (kind != Kind::String)
            return refuse(kind, QStringLiteral("a player whose name is no text"));
        player.name = QString::fromUtf8(text);
        m_playerNamed = true;
        return true;
    case Member::Markers:
        if (kind == Kind::Array) {
            push(Frame::Markers);
            return true;
        }
        if (kind != Kind::Null)
            return refuse(kind, QStringLiteral("markers that are no list"));
        return true;
    case Member::Added:
        return time(kind, text, player.addedAt, "a player's added");
    case Member::CallEnds:
        return time(kind, text, player.callEnds, "a player's callEnds");
    case Member::Away:
        return time(kind, text, player.awaySince, "a player's away");
    default:
        break;
    }
    return skip(kind);
}

bool BoardReader::time(Kind kind, QByteArrayView text, QDateTime &time, const char *what)
{
    if (kind == Kind::Null) {
        time = QDateTime();
        return true;
    }
    if (kind == Kind::String)
        time = strictTime(text, text.size());
    if (kind != Kind::String || !time.isValid())
        return refuse(kind, QStringLiteral("%1 is not a time").arg(QLatin1StringView(what)));
    return true;
}

bool BoardReader::EndObject(Size)
{
    const Frame frame = top();
    --m_depth;
    switch (frame) {
    case Frame::Root:
        // The end, and the file never said both what it is and its version.
        if (!m_settled)
            return settle();
        if (!m_written)
            return refuse(Kind::Other, QStringLiteral("no written time"));
        if (!m_listed)
            return refuse(Kind::Other, QStringLiteral("no list of games"));
        return true;
    case Frame::Game:
        if (!m_gameNamed)
            return refuse(Kind::Other, QStringLiteral("a game without a name"));
        if (!m_gameListed)
            return refuse(Kind::Other, QStringLiteral("a game without its list of players"));
        return true;
    case Frame::Player:
        if (!m_playerNamed)
            return refuse(Kind::Other, QStringLiteral("a player without a name"));
        return true;
    default:
        return true;
    }
}

bool BoardReader::EndArray(Size)
{
    const Frame frame = top();
    --m_depth;
    if (frame == Frame::Games)
        m_listed = true;
    else if (frame == Frame::Players)
        m_gameListed = true;
    return true;
}

bool BoardReader::settle()
{
    if (m_format != BoardFileFormat)
        return stop(Status::Unreadable, QStringLiteral("not a board file"));
    if (!(m_version == std::floor(m_version) && m_version >= 1 && m_version <= 1e6))
        return stop(Status::Unreadable, QStringLiteral("no version"));
    if (m_version != BoardFileVersion)
        return stop(Status::UnknownVersion, QStringLiteral("version %1 is not known here").arg(int(m_version)));
    m_settled = true;
    // Whatever made no sense before it was settled counts now.
    return m_problem.isEmpty();
}

bool BoardReader::skip(Kind kind)
{
    if (kind == Kind::Object || kind == Kind::Array)
        push(Frame::Skipped);
    return true;
}

bool BoardReader::refuse(Kind kind, const QString &problem)
{
    if (m_problem.isEmpty())
        m_problem = problem;
    // Before the file is settled only its JSON counts: read on, past the value.
    return !m_settled && skip(kind);
}

bool BoardReader::stop(Status status, const QString &problem)
{
    m_stopped = status;
    m_problem = problem;
    return false;
}

BoardFileContent BoardReader::content(const rapidjson::ParseResult &result)
{
    BoardFileContent content;
    content.version = m_settled || m_stopped == Status::UnknownVersion ? int(m_version) : 0;
    if (m_stopped) {
        content.status = *m_stopped;
        content.problem = m_problem;
    } else if (!result.IsError() && m_problem.isEmpty()) {
        content.status = Status::Read;
        content.board = std::move(m_board);
    } else if (!m_problem.isEmpty() && result.Code() == rapidjson::kParseErrorTermination) {
        content.problem = m_problem;
    } else {
        content.problem = QStringLiteral("not JSON (%1 at byte %2)")
                                  .arg(QLatin1StringView(rapidjson::GetParseError_En(result.Code())))
                                  .arg(result.Offset());
    }
    return content;
}

int hexAt(const char *text, qsizetype size)
{
    if (size < 4)
        return -1;
    int value = 0;
    for (int i = 0; i < 4; ++i) {
        const char c = text[i];
        const int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
        if (digit < 0)
            return -1;
        value = value * 16 + digit;
    }
    return value;
}

// The library refuses an escaped half of a surrogate pair ("\ud83c" alone); this reader has
// always read it as the replacement character, as it reads broken UTF-8. A copy is made only
// for a file that has one.
QByteArray withWholeSurrogates(const QByteArray &bytes)
{
    QByteArray mended;
    const char *data = bytes.constData();
    const qsizetype size = bytes.size();
    for (qsizetype i = bytes.indexOf('\\'); i >= 0 && i + 1 < size; i = bytes.indexOf('\\', i)) {
        const int code = data[i + 1] == 'u' ? hexAt(data + i + 2, size - i - 2) : -1;
        if (code < 0 || !QChar::isSurrogate(char32_t(code))) {
            i += 2; // an escape of one character, or one the library refuses as we do
            continue;
        }
        if (QChar::isHighSurrogate(char32_t(code)) && size - i >= 12 && data[i + 6] == '\\' && data[i + 7] == 'u') {
            const int low = hexAt(data + i + 8, size - i - 8);
            if (low >= 0 && QChar::isLowSurrogate(char32_t(low))) {
                i += 12;
                continue;
            }
        }
        if (mended.isEmpty())
            mended = QByteArray(data, size);
        std::memcpy(mended.data() + i + 2, "FFFD", 4);
        i += 6;
    }
    return mended.isEmpty() ? bytes : mended;
}

// A call and an away, only where there is one: other players' lines stay as they were.
void appendFloor(QString &out, const WaitingPlayer &player)
{
    if (player.callEnds.isValid()) {
        out += QLatin1StringView(",\"callEnds\":");
        appendTime(out, player.callEnds);
    }
    if (player.awaySince.isValid()) {
        out += QLatin1StringView(",\"away\":");
        appendTime(out, player.awaySince);
    }
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

QByteArray encodeBoardGame(const WaitingGame &game)
{
    QString out;
    out.reserve(64 + game.players.size() * 96);
    out += QLatin1StringView("{\"name\":");
    appendString(out, game.name);
    if (!game.estimate.isEmpty()) {
        out += QLatin1StringView(",\"estimate\":");
        appendString(out, game.estimate);
    }
    if (game.interest)
        out += QLatin1StringView(",\"interest\":true");
    out += QLatin1StringView(",\"players\":[");
    for (qsizetype p = 0; p < game.players.size(); ++p) {
        const WaitingPlayer &player = game.players[p];
        // One player to a line: the file stays readable by eye and by diff.
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
        appendFloor(out, player);
        out += u'}';
    }
    out += QLatin1StringView("]}");
    return out.toUtf8();
}

QList<QByteArray> boardFileParts(const BoardSnapshot &board, const QList<QByteArray> &encodedGames)
{
    QString head;
    head += QLatin1StringView("{\"format\":");
    appendString(head, BoardFileFormat);
    head += QLatin1StringView(",\"version\":") + QString::number(BoardFileVersion);
    head += QLatin1StringView(",\"written\":");
    appendTime(head, board.writtenAt);
    head += QLatin1StringView(",\"changed\":");
    appendTime(head, board.changedAt);
    head += QLatin1StringView(",\"heartbeatSeconds\":") + QString::number(board.heartbeatSeconds);
    head += QLatin1StringView(",\"games\":[");
    QList<QByteArray> parts;
    parts.reserve(2 * encodedGames.size() + 2);
    parts << head.toLatin1(); // names are in the games: the head is ASCII
    static const QByteArray first = QByteArrayLiteral("\n"), next = QByteArrayLiteral(",\n");
    for (qsizetype g = 0; g < encodedGames.size(); ++g) {
        // One game to a line.
        parts << (g == 0 ? first : next) << encodedGames[g];
    }
    parts << QByteArrayLiteral("\n]}\n");
    return parts;
}

QByteArray encodeBoardFile(const BoardSnapshot &board, const QList<QByteArray> &encodedGames)
{
    const QList<QByteArray> parts = boardFileParts(board, encodedGames);
    qsizetype size = 0;
    for (const QByteArray &part : parts)
        size += part.size();
    QByteArray out;
    out.reserve(size);
    for (const QByteArray &part : parts)
        out += part;
    return out;
}

QByteArray encodeBoardFile(const BoardSnapshot &board)
{
    QList<QByteArray> games;
    games.reserve(board.games.size());
    for (const WaitingGame &game : board.games)
        games << encodeBoardGame(game);
    return encodeBoardFile(board, games);
}

QByteArray encodeHeartbeat(const QDateTime &writtenAt, int heartbeatSeconds)
{
    QString out = QLatin1StringView("{\"format\":");
    appendString(out, HeartbeatFileFormat);
    out += QLatin1StringView(",\"written\":");
    appendTime(out, writtenAt);
    out += QLatin1StringView(",\"heartbeatSeconds\":") + QString::number(heartbeatSeconds) + QLatin1StringView("}\n");
    return out.toUtf8();
}

QDateTime readHeartbeat(const QByteArray &bytes)
{
    const QJsonObject beat = QJsonDocument::fromJson(bytes).object();
    if (beat.value(QLatin1StringView("format")).toString() != HeartbeatFileFormat)
        return {};
    return readBoardFileTime(beat.value(QLatin1StringView("written")).toString());
}

BoardFileContent readBoardFile(const QByteArray &bytes)
{
    // Read in place, in a copy of our own: its texts are decoded where they stand, and a 0 byte
    // ends the text as the end of the bytes does.
    QByteArray json = withWholeSurrogates(bytes);
    rapidjson::InsituStringStream stream(json.data());
    rapidjson::Reader reader;
    BoardReader handler;
    // Numbers come as their text and are converted where they are wanted.
    constexpr unsigned flags = rapidjson::kParseInsituFlag | rapidjson::kParseNumbersAsStringsFlag;
    return handler.content(reader.Parse<flags>(stream, handler));
}

} // namespace tavlo
