#include "room/FloorCommands.h"

#include "board/Countdown.h"
#include "room/JournalDetails.h"
#include "store/StoreError.h"

#include <QCoreApplication>

namespace tavlo {

namespace {

// The operator's words for a change are translated; the CSV's stay as they are.
struct CommandText {
    Q_DECLARE_TR_FUNCTIONS(Command)
};

QString place(int position)
{
    return QString::number(position + 1);
}

PlacedPlayer requirePlaced(WaitingListStore::Change &change, qint64 gameId, qint64 playerId)
{
    std::optional<PlacedPlayer> placed = change.placedPlayer(gameId, playerId);
    if (!placed)
        throw StoreError(QStringLiteral("The player with id %1 is no longer in the database.").arg(playerId), StoreError::Kind::Gone);
    return *placed;
}

// Entries on other lists than the command's own, taken away and brought back with it.
void bringBackAll(WaitingListStore::Change &change, const QList<GameEntry> &entries)
{
    for (const GameEntry &entry : entries) {
        change.gamePosition(entry.gameId);
        if (change.hasPlayer(entry.placed.player.id))
            throw StoreError(QStringLiteral("The player with id %1 is in the database already.").arg(entry.placed.player.id),
                             StoreError::Kind::Gone);
        change.insertPlayerAt(entry.gameId, entry.placed);
    }
}

void takeAwayAll(WaitingListStore::Change &change, const QList<GameEntry> &entries)
{
    for (const GameEntry &entry : entries) {
        change.playerPosition(entry.gameId, entry.placed.player.id);
        change.deletePlayer(entry.gameId, entry.placed.player.id);
    }
}

void followAll(RoomEditor &room, const QList<GameEntry> &entries, bool onTheLists)
{
    for (const GameEntry &entry : entries) {
        if (onTheLists)
            room.insertPlayer(entry.gameId, playerOf(entry.placed.player), entry.placed.position);
        else
            room.removePlayer(entry.gameId, entry.placed.player.id);
    }
}

const QString &nameOf(FloorMark::Kind kind)
{
    switch (kind) {
    case FloorMark::Kind::Call:
        return FloorMark::CallName;
    case FloorMark::Kind::Cancel:
        return FloorMark::CancelName;
    case FloorMark::Kind::Away:
        return FloorMark::AwayName;
    case FloorMark::Kind::Back:
        break;
    }
    return FloorMark::BackName;
}

} // namespace

FloorMark::FloorMark(Kind kind, qint64 gameId, qint64 playerId, const QDateTime &at, int callSeconds)
    : Command(nameOf(kind))
    , m_at(at)
    , m_callSeconds(callSeconds)
{
    setRow(gameId, playerId, {});
}

FloorMark::Kind FloorMark::kind() const
{
    const QString &name = entry().command;
    return name == CallName ? Kind::Call : name == CancelName ? Kind::Cancel : name == AwayName ? Kind::Away : Kind::Back;
}

bool FloorMark::make(WaitingListStore::Change &change)
{
    const PlacedPlayer placed = requirePlaced(change, entry().gameId, entry().playerId);
    m_before = m_after = placed.player.state;
    switch (kind()) {
    case Kind::Call: // a call again starts the countdown again
        m_after.calledAt = m_at;
        m_after.callSeconds = m_callSeconds;
        break;
    case Kind::Cancel:
        m_after.calledAt = {};
        m_after.callSeconds = 0;
        break;
    case Kind::Away: // away already: the first moment counts
        if (!m_after.isAway())
            m_after.awaySince = m_at;
        break;
    case Kind::Back:
        m_after.awaySince = {};
        break;
    }
    if (m_after == m_before)
        return false;
    change.setFloorState(entry().gameId, entry().playerId, m_after);
    setRow(entry().gameId, entry().playerId, change.gameName(entry().gameId), placed.player.name);
    return true;
}

void FloorMark::set(WaitingListStore::Change &change, const FloorState &state) const
{
    change.playerPosition(entry().gameId, entry().playerId);
    change.setFloorState(entry().gameId, entry().playerId, state);
}

void FloorMark::undo(WaitingListStore::Change &change) const
{
    set(change, m_before);
}

void FloorMark::redo(WaitingListStore::Change &change) const
{
    set(change, m_after);
}

void FloorMark::apply(RoomEditor &room, bool forward) const
{
    room.setFloorState(entry().gameId, entry().playerId, forward ? m_after : m_before);
}

QString FloorMark::describe() const
{
    switch (kind()) {
    case Kind::Call:
        return CommandText::tr("call of %1 in %2").arg(entry().playerName, entry().gameName);
    case Kind::Cancel:
        return CommandText::tr("cancelled call of %1 in %2").arg(entry().playerName, entry().gameName);
    case Kind::Away:
        return CommandText::tr("%1 away from %2").arg(entry().playerName, entry().gameName);
    case Kind::Back:
        break;
    }
    return CommandText::tr("%1 back in %2").arg(entry().playerName, entry().gameName);
}

QString FloorMark::whatHappened() const
{
    switch (kind()) {
    case Kind::Call:
        return QStringLiteral("called for %1").arg(countdownText(m_after.callSeconds));
    case Kind::Cancel:
        return QStringLiteral("call cancelled");
    case Kind::Away:
        return QStringLiteral("away");
    case Kind::Back:
        break;
    }
    const qint64 away = m_before.isAway() && entry().madeAt.isValid() ? m_before.awaySince.secsTo(entry().madeAt) : -1;
    return away < 0 ? QStringLiteral("back") : QStringLiteral("back after %1").arg(countdownText(away));
}

QJsonObject FloorMark::details() const
{
    QJsonObject before;
    QJsonObject after;
    JournalDetails::write(m_before, before);
    JournalDetails::write(m_after, after);
    return {{QStringLiteral("before"), before}, {QStringLiteral("after"), after}};
}

void FloorMark::read(JournalDetails &details)
{
    const QJsonValue before = details.object().value(QLatin1String("before"));
    const QJsonValue after = details.object().value(QLatin1String("after"));
    details.require(before.isObject() && after.isObject() && entry().playerId > 0);
    m_before = details.readState(before.toObject());
    m_after = details.readState(after.toObject());
}

SeatPlayer::SeatPlayer(qint64 gameId, qint64 playerId, const QDateTime &at, bool keepOtherLists)
    : OnePlayer(Name, gameId, playerId)
    , m_at(at)
    , m_keep(keepOtherLists)
{
}

void SeatPlayer::undo(WaitingListStore::Change &change) const
{
    bringBack(change);
    bringBackAll(change, m_others);
}

void SeatPlayer::redo(WaitingListStore::Change &change) const
{
    takeAway(change);
    takeAwayAll(change, m_others);
}

void SeatPlayer::apply(RoomEditor &room, bool forward) const
{
    follow(room, !forward);
    followAll(room, m_others, !forward);
}

bool SeatPlayer::make(WaitingListStore::Change &change)
{
    const std::optional<PlacedPlayer> gone = change.deletePlayer(entry().gameId, entry().playerId);
    if (!gone)
        return false;
    setPlaced(*gone);
    if (!m_keep) {
        for (const auto &[gameId, playerId] : change.linkedEntries(gone->player.personId, entry().playerId)) {
            if (const std::optional<PlacedPlayer> other = change.deletePlayer(gameId, playerId))
                m_others.append({gameId, *other});
        }
    }
    if (gone->player.addedAt.isValid() && m_at.isValid())
        m_waited = int(std::max<qint64>(0, gone->player.addedAt.secsTo(m_at)));
    setRow(entry().gameId, entry().playerId, change.gameName(entry().gameId), gone->player.name);
    return true;
}

QString SeatPlayer::describe() const
{
    return CommandText::tr("seat of %1 from %2").arg(entry().playerName, entry().gameName);
}

QString SeatPlayer::whatHappened() const
{
    const QString from = place(position().value_or(0));
    const QString seated = m_waited ? QStringLiteral("seated from place %1 after %2").arg(from, countdownText(*m_waited)) : QStringLiteral("seated from place %1").arg(from);
    if (m_others.isEmpty())
        return seated;
    return seated + (m_others.size() == 1 ? QStringLiteral(", off 1 other list") : QStringLiteral(", off %1 other lists").arg(m_others.size()));
}

ListEffect SeatPlayer::effect() const
{
    ListEffect effect;
    effect.removed = 1;
    effect.leftOne = true;
    effect.seated = true;
    effect.position = position().value_or(-1);
    effect.addedAt = placed().player.addedAt;
    effect.calledAt = placed().player.state.calledAt;
    return effect;
}

QJsonObject SeatPlayer::details() const
{
    QJsonObject object = OnePlayer::details();
    if (m_waited)
        object.insert(QStringLiteral("waited"), *m_waited);
    if (!m_others.isEmpty())
        object.insert(QStringLiteral("others"), JournalDetails::write(m_others));
    return object;
}

void SeatPlayer::read(JournalDetails &details)
{
    OnePlayer::read(details);
    if (details.object().contains(QLatin1String("waited")))
        m_waited = details.number("waited");
    m_others = details.entries("others");
}

NoShow::NoShow(qint64 gameId, qint64 playerId, bool remove, const QDateTime &call)
    : OnePlayer(Name, gameId, playerId)
    , m_remove(remove)
    , m_call(call)
{
}

FloorState NoShow::afterwards() const
{
    FloorState state = placed().player.state;
    state.calledAt = {};
    state.callSeconds = 0;
    return state;
}

bool NoShow::make(WaitingListStore::Change &change)
{
    const qint64 gameId = entry().gameId;
    const qint64 playerId = entry().playerId;
    // A countdown that ran out: only while that call still stands, and never a refusal.
    const std::optional<PlacedPlayer> found = m_call.isValid() ? change.placedPlayer(gameId, playerId)
                                                               : std::optional<PlacedPlayer>(requirePlaced(change, gameId, playerId));
    m_done = found && (!m_call.isValid() || found->player.state.calledAt == m_call);
    if (!m_done)
        return false;
    setPlaced(*found);
    if (m_remove) {
        change.deletePlayer(gameId, playerId);
    } else {
        m_to = change.playerCount(gameId) - 1;
        change.movePlayerTo(gameId, playerId, m_to);
        change.setFloorState(gameId, playerId, afterwards());
    }
    setRow(gameId, playerId, change.gameName(gameId), found->player.name);
    return true;
}

void NoShow::undo(WaitingListStore::Change &change) const
{
    if (m_remove) {
        bringBack(change);
        return;
    }
    change.playerPosition(entry().gameId, entry().playerId);
    change.movePlayerTo(entry().gameId, entry().playerId, placed().position);
    change.setFloorState(entry().gameId, entry().playerId, placed().player.state);
}

void NoShow::redo(WaitingListStore::Change &change) const
{
    if (m_remove) {
        takeAway(change);
        return;
    }
    change.playerPosition(entry().gameId, entry().playerId);
    change.movePlayerTo(entry().gameId, entry().playerId, m_to);
    change.setFloorState(entry().gameId, entry().playerId, afterwards());
}

void NoShow::apply(RoomEditor &room, bool forward) const
{
    if (!m_done)
        return; // the room is read again when another desk's change arrives
    if (m_remove) {
        follow(room, !forward);
        return;
    }
    room.movePlayerTo(entry().gameId, entry().playerId, forward ? m_to : placed().position);
    room.setFloorState(entry().gameId, entry().playerId, forward ? afterwards() : placed().player.state);
}

QString NoShow::describe() const
{
    return CommandText::tr("no-show of %1 in %2").arg(entry().playerName, entry().gameName);
}

QString NoShow::whatHappened() const
{
    const QString from = place(position().value_or(0));
    return m_remove ? QStringLiteral("no-show, removed from place %1").arg(from) : QStringLiteral("no-show, moved from place %1 to %2").arg(from, place(m_to));
}

ListEffect NoShow::effect() const
{
    ListEffect effect;
    effect.removed = m_remove ? 1 : 0;
    effect.noShow = true;
    effect.position = position().value_or(-1);
    effect.addedAt = placed().player.addedAt;
    effect.calledAt = placed().player.state.calledAt;
    return effect;
}

QJsonObject NoShow::details() const
{
    QJsonObject object = OnePlayer::details();
    object.insert(QStringLiteral("removed"), m_remove);
    if (!m_remove)
        object.insert(QStringLiteral("to"), m_to);
    return object;
}

void NoShow::read(JournalDetails &details)
{
    OnePlayer::read(details);
    const QJsonValue removed = details.object().value(QLatin1String("removed"));
    details.require(removed.isBool());
    m_remove = removed.toBool();
    if (!m_remove)
        m_to = details.number("to").value_or(0);
}

GameInterest::GameInterest(qint64 gameId, bool interest)
    : Command(Name)
    , m_interest(interest)
{
    setRow(gameId, 0, {});
}

bool GameInterest::make(WaitingListStore::Change &change)
{
    if (change.gameInterest(entry().gameId) == m_interest)
        return false;
    change.setGameInterest(entry().gameId, m_interest);
    setRow(entry().gameId, 0, change.gameName(entry().gameId));
    return true;
}

void GameInterest::undo(WaitingListStore::Change &change) const
{
    change.setGameInterest(entry().gameId, !m_interest);
}

void GameInterest::redo(WaitingListStore::Change &change) const
{
    change.setGameInterest(entry().gameId, m_interest);
}

void GameInterest::apply(RoomEditor &room, bool forward) const
{
    room.setGameInterest(entry().gameId, forward == m_interest);
}

QString GameInterest::describe() const
{
    return m_interest ? CommandText::tr("interest list of %1").arg(entry().gameName) : CommandText::tr("start of game %1").arg(entry().gameName);
}

QString GameInterest::whatHappened() const
{
    return m_interest ? QStringLiteral("made an interest list") : QStringLiteral("game running");
}

QJsonObject GameInterest::details() const
{
    return {{QStringLiteral("interest"), m_interest}};
}

void GameInterest::read(JournalDetails &details)
{
    const QJsonValue interest = details.object().value(QLatin1String("interest"));
    details.require(interest.isBool());
    m_interest = interest.toBool();
}

AddToLists::AddToLists(const QList<qint64> &gameIds, const QString &storedName, const QDateTime &addedAt)
    : Command(Name)
    , m_gameIds(gameIds)
    , m_storedName(storedName)
    , m_addedAt(addedAt)
{
    setRow(gameIds.value(0), 0, {});
}

bool AddToLists::make(WaitingListStore::Change &change)
{
    for (const qint64 gameId : std::as_const(m_gameIds))
        m_entries.append({gameId, change.addPlayer(gameId, m_storedName, m_addedAt)});
    // The first entry's id names the person.
    const qint64 person = m_entries.value(0).placed.player.id;
    for (GameEntry &entry : m_entries) {
        change.setPerson(entry.gameId, entry.placed.player.id, person);
        entry.placed.player.personId = person;
    }
    setRow(m_entries.value(0).gameId, person, change.gameName(m_entries.value(0).gameId), m_storedName);
    return !m_entries.isEmpty();
}

void AddToLists::undo(WaitingListStore::Change &change) const
{
    takeAwayAll(change, m_entries);
}

void AddToLists::redo(WaitingListStore::Change &change) const
{
    bringBackAll(change, m_entries);
}

void AddToLists::apply(RoomEditor &room, bool forward) const
{
    followAll(room, m_entries, forward);
}

QString AddToLists::describe() const
{
    return CommandText::tr("add of %1 to %2 lists").arg(entry().playerName).arg(m_entries.size());
}

QString AddToLists::whatHappened() const
{
    QStringList places;
    for (const GameEntry &entry : m_entries)
        places << place(entry.placed.position);
    return QStringLiteral("added at places %1").arg(places.join(QStringLiteral(", ")));
}

// The row counts for its own game; the other lists' counts do not follow in the reports.
ListEffect AddToLists::effect() const
{
    ListEffect effect;
    effect.added = 1;
    return effect;
}

QJsonObject AddToLists::details() const
{
    return {{QStringLiteral("entries"), JournalDetails::write(m_entries)}};
}

void AddToLists::read(JournalDetails &details)
{
    m_entries = details.entries("entries");
    details.require(!m_entries.isEmpty() && entry().playerId > 0);
}

} // namespace tavlo
