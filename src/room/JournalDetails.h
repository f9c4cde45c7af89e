#pragma once

#include "store/WaitingListStore.h"

#include <QJsonArray>
#include <QJsonObject>

#include <optional>

namespace tavlo {

// A player where it stood on one game's list.
struct GameEntry {
    qint64 gameId = 0;
    PlacedPlayer placed;
    bool operator==(const GameEntry &) const = default;
};

// A journal row's details, read for two kinds of reader at once. Words and figures (the Undo
// text, the CSV, the reports) take each value as far as it goes, so that a row of another
// version or a damaged one still says what it can. Undo and redo apply a row only when every
// value was there whole (isWhole()): rows come from other versions and other desks, or are
// damaged by hand.
class JournalDetails {
public:
    explicit JournalDetails(const QByteArray &json);

    bool isWhole() const { return m_whole; }
    // A check of the reader's own (an id of the row, say) that the row must pass as well.
    void require(bool condition) { m_whole = m_whole && condition; }

    // Empty when not text.
    QString text(const char *key);
    // Nothing when not a number; 0 when not an int. Whole only for 0 ... INT_MAX.
    std::optional<int> number(const char *key);
    // The details themselves as a player where it stood; its position as number() reads it.
    PlacedPlayer placed(std::optional<int> *position = nullptr);
    // Players where they stood, one for each item of the list. Whole only when every one is,
    // and no id comes twice.
    QList<PlacedPlayer> players(const char *key);

    // A player's call and away, read from (or written into) an object of their own or a
    // placed player's.
    FloorState readState(const QJsonObject &object);
    static void write(const FloorState &state, QJsonObject &object);
    QJsonObject object() const { return m_object; }

    static QJsonObject write(const PlacedPlayer &placed);
    // The bytes of write(placed) as compact JSON, made by hand when the name is plain ASCII.
    static QByteArray writeText(const PlacedPlayer &placed);
    static QJsonArray write(const QList<PlacedPlayer> &players);
    // Entries on several lists, each with its game; none when the key is missing.
    QList<GameEntry> entries(const char *key);
    static QJsonArray write(const QList<GameEntry> &entries);
    // {"from":from,"to":to} as compact JSON, made without a JSON object on a move's path.
    static QByteArray writeMove(int from, int to);

private:
    PlacedPlayer readPlaced(const QJsonObject &object, std::optional<int> *position);
    QDateTime optionalTime(const QJsonValue &value);

    QJsonObject m_object;
    bool m_whole = false;
};

} // namespace tavlo
