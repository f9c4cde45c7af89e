#include "board/BoardFile.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

#include <algorithm>
#include <cmath>

namespace tavlo {

namespace {

constexpr QLatin1StringView kFormat("format");
constexpr QLatin1StringView kVersion("version");
constexpr QLatin1StringView kWritten("written");
constexpr QLatin1StringView kChanged("changed");
constexpr QLatin1StringView kHeartbeat("heartbeatSeconds");
constexpr QLatin1StringView kGames("games");
constexpr QLatin1StringView kName("name");
constexpr QLatin1StringView kPlayers("players");
constexpr QLatin1StringView kMarkers("markers");
constexpr QLatin1StringView kAdded("added");
constexpr QLatin1StringView kBlink("blink");
constexpr QLatin1StringView kStar("star");
constexpr QLatin1StringView kPhone("phone");

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

int digitsAt(QStringView text, qsizetype from, int count)
{
    int value = 0;
    for (qsizetype i = from; i < from + count; ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return -1;
        value = value * 10 + (c - u'0');
    }
    return value;
}

struct Failure {
    QString problem;
};

QDateTime timeOf(const QJsonValue &value, QLatin1StringView what, bool required)
{
    if (value.isNull() || value.isUndefined()) {
        if (required)
            throw Failure{QStringLiteral("no %1 time").arg(what)};
        return {};
    }
    const QDateTime time = value.isString() ? readBoardFileTime(value.toString()) : QDateTime();
    if (!time.isValid())
        throw Failure{QStringLiteral("%1 is not a time").arg(what)};
    return time;
}

QString nameOf(const QJsonObject &object, QLatin1StringView what)
{
    const QJsonValue name = object.value(kName);
    if (!name.isString())
        throw Failure{QStringLiteral("a %1 without a name").arg(what)};
    return name.toString();
}

WaitingPlayer playerOf(const QJsonValue &value)
{
    if (!value.isObject())
        throw Failure{QStringLiteral("a player is no object")};
    const QJsonObject object = value.toObject();
    WaitingPlayer player;
    player.name = nameOf(object, QLatin1StringView("player"));
    const QJsonValue markers = object.value(kMarkers);
    if (markers.isArray()) {
        for (const QJsonValue marker : markers.toArray()) {
            const QString word = marker.toString();
            // Markers this reader does not know are left out, as unknown members are.
            if (word == kBlink)
                player.markers.blink = true;
            else if (word == kStar)
                player.markers.star = true;
            else if (word == kPhone)
                player.markers.phone = true;
        }
    } else if (!markers.isUndefined() && !markers.isNull()) {
        throw Failure{QStringLiteral("markers that are no list")};
    }
    player.addedAt = timeOf(object.value(kAdded), QLatin1StringView("a player's added"), false);
    return player;
}

WaitingGame gameOf(const QJsonValue &value)
{
    if (!value.isObject())
        throw Failure{QStringLiteral("a game is no object")};
    const QJsonObject object = value.toObject();
    WaitingGame game;
    game.name = nameOf(object, QLatin1StringView("game"));
    const QJsonValue players = object.value(kPlayers);
    if (!players.isArray())
        throw Failure{QStringLiteral("a game without its list of players")};
    const QJsonArray list = players.toArray();
    game.players.reserve(list.size());
    for (const QJsonValue player : list)
        game.players.append(playerOf(player));
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
    if (text.size() == 20 && text[4] == u'-' && text[7] == u'-' && text[10] == u'T' && text[13] == u':'
        && text[16] == u':' && text[19] == u'Z') {
        const int year = digitsAt(text, 0, 4);
        const int month = digitsAt(text, 5, 2);
        const int day = digitsAt(text, 8, 2);
        const int hour = digitsAt(text, 11, 2);
        const int minute = digitsAt(text, 14, 2);
        const int second = digitsAt(text, 17, 2);
        if (QDate::isValid(year, month, day) && hour >= 0 && hour < 24 && minute >= 0 && minute < 60 && second >= 0
            && second < 60) {
            const qint64 seconds = daysFromCivil(year, month, day) * 86400 + hour * 3600 + minute * 60 + second;
            return QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC);
        }
        return {};
    }
    // Other writers may give milliseconds or an offset; a time without a zone is no time here.
    const QDateTime time = QDateTime::fromString(text.toString(), Qt::ISODateWithMs);
    if (!time.isValid() || time.timeSpec() == Qt::LocalTime)
        return {};
    return time.toUTC();
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
                out += word;
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
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        content.problem = error.error != QJsonParseError::NoError
                ? QStringLiteral("not JSON (%1 at byte %2)").arg(error.errorString()).arg(error.offset)
                : QStringLiteral("not a JSON object");
        return content;
    }
    const QJsonObject root = document.object();
    if (root.value(kFormat).toString() != BoardFileFormat) {
        content.problem = QStringLiteral("not a board file");
        return content;
    }
    const double version = root.value(kVersion).toDouble(-1);
    if (version != std::floor(version) || version < 1 || version > 1e6) {
        content.problem = QStringLiteral("no version");
        return content;
    }
    content.version = int(version);
    if (content.version != BoardFileVersion) {
        content.status = BoardFileContent::Status::UnknownVersion;
        content.problem = QStringLiteral("version %1 is not known here").arg(content.version);
        return content;
    }
    try {
        BoardSnapshot &board = content.board;
        board.writtenAt = timeOf(root.value(kWritten), kWritten, true);
        board.changedAt = timeOf(root.value(kChanged), kChanged, false);
        const QJsonValue heartbeat = root.value(kHeartbeat);
        if (!heartbeat.isUndefined()) {
            const double seconds = heartbeat.toDouble(-1);
            if (seconds < 1 || seconds > 86400)
                throw Failure{QStringLiteral("a heartbeat of no sense")};
            board.heartbeatSeconds = int(std::ceil(seconds));
        }
        const QJsonValue games = root.value(kGames);
        if (!games.isArray())
            throw Failure{QStringLiteral("no list of games")};
        const QJsonArray list = games.toArray();
        board.games.reserve(list.size());
        for (const QJsonValue game : list)
            board.games.append(gameOf(game));
    } catch (const Failure &failure) {
        content.board = {};
        content.problem = failure.problem;
        return content;
    }
    content.status = BoardFileContent::Status::Read;
    return content;
}

} // namespace tavlo
