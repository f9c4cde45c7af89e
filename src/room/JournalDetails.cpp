#include "room/JournalDetails.h"

#include "base/StoredTime.h"

#include <QJsonDocument>
#include <QSet>

#include <cmath>
#include <limits>

namespace tavlo {

namespace {

constexpr double MostExactInteger = 9007199254740992.0; // 2^53: beyond it JSON numbers lose digits

std::optional<qint64> integerOf(const QJsonValue &value, double low, double high)
{
    const double number = value.toDouble(std::nan(""));
    if (!(number >= low && number <= high) || number != std::trunc(number))
        return std::nullopt;
    return qint64(number);
}

QJsonValue timeJson(const QDateTime &time)
{
    return time.isValid() ? QJsonValue(storedTimeText(time)) : QJsonValue();
}

} // namespace

QByteArray JournalDetails::writeMove(int from, int to)
{
    return "{\"from\":" + QByteArray::number(from) + ",\"to\":" + QByteArray::number(to) + '}';
}

JournalDetails::JournalDetails(const QByteArray &json)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    m_object = document.object();
    m_whole = error.error == QJsonParseError::NoError && document.isObject();
}

QString JournalDetails::text(const char *key)
{
    const QJsonValue value = m_object.value(QLatin1String(key));
    require(value.isString());
    return value.toString();
}

std::optional<int> JournalDetails::number(const char *key)
{
    const QJsonValue value = m_object.value(QLatin1String(key));
    require(integerOf(value, 0, std::numeric_limits<int>::max()).has_value());
    return value.isDouble() ? std::optional<int>(value.toInt()) : std::nullopt;
}

PlacedPlayer JournalDetails::placed(std::optional<int> *position)
{
    return readPlaced(m_object, position);
}

FloorState JournalDetails::readState(const QJsonObject &object)
{
    FloorState state;
    state.calledAt = optionalTime(object.value(QLatin1String("called")));
    state.awaySince = optionalTime(object.value(QLatin1String("away")));
    const std::optional<qint64> seconds = integerOf(object.value(QLatin1String("call seconds")), 0, 86400);
    require(state.isCalled() == seconds.has_value());
    state.callSeconds = int(seconds.value_or(0));
    return state;
}

QDateTime JournalDetails::optionalTime(const QJsonValue &value)
{
    const QDateTime time = value.isString() ? storedTime(value.toString()) : QDateTime();
    require(value.isUndefined() || time.isValid());
    return time;
}

PlacedPlayer JournalDetails::readPlaced(const QJsonObject &object, std::optional<int> *position)
{
    const QJsonValue idValue = object.value(QLatin1String("id"));
    const QJsonValue positionValue = object.value(QLatin1String("position"));
    const QJsonValue name = object.value(QLatin1String("name"));
    const QJsonValue added = object.value(QLatin1String("added"));
    const std::optional<qint64> id = integerOf(idValue, 1, MostExactInteger);
    const std::optional<qint64> at = integerOf(positionValue, 0, std::numeric_limits<int>::max());
    const QDateTime addedAt = added.isString() ? storedTime(added.toString()) : QDateTime();
    const bool timeRead = added.isString() ? addedAt.isValid() : added.isNull() || added.isUndefined();
    require(id && at && name.isString() && timeRead);
    if (position)
        *position = positionValue.isDouble() ? std::optional<int>(positionValue.toInt()) : std::nullopt;
    const QJsonValue person = object.value(QLatin1String("person"));
    const std::optional<qint64> personId = integerOf(person, 1, MostExactInteger);
    require(person.isUndefined() || personId);
    return {{id.value_or(0), name.toString(), addedAt, readState(object), personId.value_or(0)}, int(at.value_or(0))};
}

QList<PlacedPlayer> JournalDetails::players(const char *key)
{
    const QJsonValue value = m_object.value(QLatin1String(key));
    require(value.isArray());
    QList<PlacedPlayer> players;
    QSet<qint64> ids;
    for (const QJsonValue &item : value.toArray()) {
        players.append(readPlaced(item.toObject(), nullptr));
        const qint64 id = players.last().player.id;
        require(!ids.contains(id));
        ids.insert(id);
    }
    return players;
}

QJsonObject JournalDetails::write(const PlacedPlayer &placed)
{
    QJsonObject object{{QStringLiteral("id"), placed.player.id},
                       {QStringLiteral("name"), placed.player.name},
                       {QStringLiteral("position"), placed.position},
                       {QStringLiteral("added"), timeJson(placed.player.addedAt)}};
    write(placed.player.state, object);
    if (placed.player.personId != 0)
        object.insert(QStringLiteral("person"), placed.player.personId);
    return object;
}

QByteArray JournalDetails::writeText(const PlacedPlayer &placed)
{
    const PlayerRecord &player = placed.player;
    for (const QChar c : player.name) {
        if (c.unicode() < 0x20 || c.unicode() > 0x7e) // escaped or encoded: Qt's own way
            return QJsonDocument(write(placed)).toJson(QJsonDocument::Compact);
    }
    const auto time = [](const QDateTime &at) {
        return at.isValid() ? '"' + storedTimeText(at).toLatin1() + '"' : QByteArray("null");
    };
    // The keys in Qt's order.
    QByteArray text = "{\"added\":" + time(player.addedAt);
    if (player.state.isAway())
        text += ",\"away\":" + time(player.state.awaySince);
    if (player.state.isCalled())
        text += ",\"call seconds\":" + QByteArray::number(player.state.callSeconds) + ",\"called\":" + time(player.state.calledAt);
    text += ",\"id\":" + QByteArray::number(player.id) + ",\"name\":\"";
    for (const QChar c : player.name) {
        if (c == u'"' || c == u'\\')
            text += '\\';
        text += char(c.unicode());
    }
    text += '"';
    if (player.personId != 0)
        text += ",\"person\":" + QByteArray::number(player.personId);
    return text + ",\"position\":" + QByteArray::number(placed.position) + '}';
}

void JournalDetails::write(const FloorState &state, QJsonObject &object)
{
    // Only what is set, so that rows of players never called read as before.
    if (state.isCalled()) {
        object.insert(QStringLiteral("called"), timeJson(state.calledAt));
        object.insert(QStringLiteral("call seconds"), state.callSeconds);
    }
    if (state.isAway())
        object.insert(QStringLiteral("away"), timeJson(state.awaySince));
}

QList<GameEntry> JournalDetails::entries(const char *key)
{
    const QJsonValue value = m_object.value(QLatin1String(key));
    require(value.isArray() || value.isUndefined());
    QList<GameEntry> entries;
    QSet<qint64> ids;
    for (const QJsonValue &item : value.toArray()) {
        const QJsonObject object = item.toObject();
        const std::optional<qint64> game = integerOf(object.value(QLatin1String("game")), 1, MostExactInteger);
        require(game.has_value());
        entries.append({game.value_or(0), readPlaced(object, nullptr)});
        require(!ids.contains(entries.last().placed.player.id));
        ids.insert(entries.last().placed.player.id);
    }
    return entries;
}

QJsonArray JournalDetails::write(const QList<GameEntry> &entries)
{
    QJsonArray array;
    for (const GameEntry &entry : entries) {
        QJsonObject object = write(entry.placed);
        object.insert(QStringLiteral("game"), entry.gameId);
        array.append(object);
    }
    return array;
}

QJsonArray JournalDetails::write(const QList<PlacedPlayer> &players)
{
    QJsonArray array;
    for (const PlacedPlayer &placed : players)
        array.append(write(placed));
    return array;
}

} // namespace tavlo
