#include "room/Command.h"

#include "base/TextFile.h"
#include "board/PlayerMarkers.h"
#include "room/FloorCommands.h"
#include "room/GameCommands.h"
#include "room/JournalDetails.h"
#include "room/PlayerCommands.h"
#include "store/StoreError.h"

#include <QCoreApplication>
#include <QHash>
#include <QJsonDocument>

#include <algorithm>

namespace tavlo {

namespace {

// A command of another version: it can be named, never applied.
class UnknownCommand final : public Command {
public:
    UnknownCommand()
        : Command({})
    {
    }
    bool make(WaitingListStore::Change &) override { return false; }
    void undo(WaitingListStore::Change &) const override {}
    void redo(WaitingListStore::Change &) const override {}
    void apply(RoomEditor &, bool) const override {}
    // Its own word, within bounds.
    QString describe() const override
    {
        return QStringLiteral("change \"%1\"").arg(withoutControlCharacters(entry().command.left(40)));
    }
    QString whatHappened() const override { return entry().command; }

protected:
    QJsonObject details() const override { return {}; }
    void read(JournalDetails &) override {}
};

// One kind of command: how to make one to read a row, and one with nothing read, which
// answers what does not depend on a row's details.
struct Kind {
    std::unique_ptr<Command> (*create)() = nullptr;
    std::shared_ptr<const Command> blank;
};

template <typename T>
Kind kind()
{
    return {[]() -> std::unique_ptr<Command> { return std::make_unique<T>(); }, std::make_shared<T>()};
}

// The kinds of command by the names the journal gives them. A new kind is one line here.
const QHash<QString, Kind> &kinds()
{
    static const QHash<QString, Kind> registry{
            {AddGame::Name, kind<AddGame>()},
            {RenameGame::Name, kind<RenameGame>()},
            {DeleteGame::Name, kind<DeleteGame>()},
            {MoveGame::Name, kind<MoveGame>()},
            {AddPlayer::Name, kind<AddPlayer>()},
            {EditPlayer::Name, kind<EditPlayer>()},
            {EditPlayer::BlinkName, kind<EditPlayer>()},
            {EditPlayer::StarName, kind<EditPlayer>()},
            {EditPlayer::PhoneName, kind<EditPlayer>()},
            {DeletePlayer::Name, kind<DeletePlayer>()},
            {DeleteAllPlayers::Name, kind<DeleteAllPlayers>()},
            {MovePlayer::Name, kind<MovePlayer>()},
            {PlayerToTop::Name, kind<PlayerToTop>()},
            {FloorMark::CallName, kind<FloorMark>()},
            {FloorMark::CancelName, kind<FloorMark>()},
            {FloorMark::AwayName, kind<FloorMark>()},
            {FloorMark::BackName, kind<FloorMark>()},
            {SeatPlayer::Name, kind<SeatPlayer>()},
            {NoShow::Name, kind<NoShow>()},
            {AddToLists::Name, kind<AddToLists>()},
            {GameInterest::Name, kind<GameInterest>()},
    };
    return registry;
}

} // namespace

Command::Command(const QString &name)
{
    m_entry.command = name;
}

Command::~Command() = default;

ListEffect Command::effectOf(const JournalRecord &entry)
{
    const auto kind = kinds().constFind(entry.command);
    if (kind == kinds().cend())
        return {};
    return kind->blank->effectNeedsDetails() ? fromJournal(entry)->effect() : kind->blank->effect();
}

std::unique_ptr<Command> Command::fromJournal(const JournalRecord &entry)
{
    const auto kind = kinds().constFind(entry.command);
    const bool known = kind != kinds().cend();
    std::unique_ptr<Command> command = known ? kind->create() : std::make_unique<UnknownCommand>();
    command->m_entry = entry;
    JournalDetails details(entry.details);
    details.require(entry.gameId > 0);
    command->read(details);
    command->m_whole = known && details.isWhole();
    return command;
}

QString Command::refusedElsewhere()
{
    return QCoreApplication::translate("Command", "Another desk has just changed this list, so nothing was done. The lists now show the room as it is.");
}

void Command::setRow(qint64 gameId, qint64 playerId, const QString &gameName, const QString &storedPlayerName)
{
    m_entry.gameId = gameId;
    m_entry.playerId = playerId;
    m_entry.gameName = gameName;
    m_entry.playerName = storedPlayerName.isEmpty() ? QString() : readMarkers(storedPlayerName).bareName;
}

void Command::requireNoGame(WaitingListStore::Change &change, qint64 gameId)
{
    if (change.hasGame(gameId))
        throw StoreError(QStringLiteral("The game with id %1 is in the database already.").arg(gameId), StoreError::Kind::Gone);
}

void Command::requireNoPlayer(WaitingListStore::Change &change, qint64 playerId)
{
    if (change.hasPlayer(playerId))
        throw StoreError(QStringLiteral("The player with id %1 is in the database already.").arg(playerId), StoreError::Kind::Gone);
}

QList<Player> Command::listOf(const QList<PlacedPlayer> &players)
{
    QList<Player> list;
    list.reserve(players.size());
    for (const PlacedPlayer &placed : players)
        list.insert(std::clamp<qsizetype>(placed.position, 0, list.size()), playerOf(placed.player));
    return list;
}

JournalRecord Command::journalRow() const
{
    JournalRecord row = m_entry;
    row.details = detailsText();
    return row;
}

QByteArray Command::detailsText() const
{
    return QJsonDocument(details()).toJson(QJsonDocument::Compact);
}

} // namespace tavlo
