#include "store/WaitingListStore.h"

#include "store/StoreError.h"

#include <QAtomicInt>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <sqlite3.h>

#include <optional>

namespace tavlo {

namespace {

QAtomicInt connectionCounter;

QString wordsOf(const QSqlError &error)
{
    const QString words = error.databaseText().isEmpty() ? error.text() : error.databaseText();
    return words.isEmpty() ? QStringLiteral("Unknown database error") : words;
}

void prepare(QSqlQuery &query, const char *statement)
{
    query.setForwardOnly(true);
    if (!query.prepare(QString::fromLatin1(statement)))
        throw StoreError(wordsOf(query.lastError()));
}

// Runs a prepared statement with its values; the rows it returns can be read until the next
// run. Throws the engine's words.
template <typename... Values>
QSqlQuery &run(QSqlQuery &query, const Values &...values)
{
    int index = 0;
    (query.bindValue(index++, QVariant::fromValue(values)), ...);
    if (!query.exec())
        throw StoreError(wordsOf(query.lastError()));
    return query;
}

// Ids with the positions the file gives them, in their order.
struct Placed {
    qint64 id;
    qint64 position;
};

QList<Placed> placedRows(QSqlQuery &query)
{
    QList<Placed> rows;
    while (query.next())
        rows.append({query.value(0).toLongLong(), query.value(1).toLongLong()});
    query.finish();
    return rows;
}

// Gives each row its index as its position, writing only the rows whose position differs.
void writePositions(QSqlQuery &setPosition, const QList<Placed> &rows)
{
    for (qsizetype i = 0; i < rows.size(); ++i) {
        if (rows[i].position != i)
            run(setPosition, qint64(i), rows[i].id);
    }
}

// Whether the shape query's row (count, distinct positions, lowest, highest) is a whole order.
bool isWhole(QSqlQuery &shape)
{
    const bool found = shape.next();
    const qint64 count = found ? shape.value(0).toLongLong() : 0;
    const bool whole = count == 0
        || (shape.value(1).toLongLong() == count && shape.value(2).toLongLong() == 0 && shape.value(3).toLongLong() == count - 1);
    shape.finish();
    return whole;
}

qint64 countOf(QSqlQuery &shape)
{
    return shape.value(0).toLongLong();
}

// The single value of a one-row query, or nothing when it has no row.
std::optional<qint64> valueOf(QSqlQuery &query)
{
    std::optional<qint64> value;
    if (query.next())
        value = query.value(0).toLongLong();
    query.finish();
    return value;
}

StoreError gone(const char *what, qint64 id)
{
    return StoreError(QStringLiteral("The %1 with id %2 is no longer in the database.").arg(QLatin1String(what)).arg(id),
                      StoreError::Kind::Gone);
}

} // namespace

// The statements, prepared once when the file opens and reused by every command.
class WaitingListStore::Statements {
public:
    explicit Statements(const QSqlDatabase &database)
        : begin(database), commit(database), rollback(database), games(database), players(database),
          gameOrder(database), playerOrder(database), gameExists(database), insertGame(database),
          renameGame(database), setGamePosition(database), deleteGame(database), insertPlayer(database),
          updatePlayer(database), setPlayerPosition(database), deletePlayer(database), deletePlayers(database),
          gameShape(database), playerShape(database), gamePosition(database), playerPosition(database),
          closeGameGap(database), swapGames(database), closePlayerGap(database), swapPlayers(database),
          playerToTop(database)
    {
        prepare(begin, "BEGIN IMMEDIATE");
        prepare(commit, "COMMIT");
        prepare(rollback, "ROLLBACK");
        prepare(games, "SELECT id, list_name FROM lists ORDER BY listbox_order, id");
        prepare(players, "SELECT id, list_id, player_name FROM list_content ORDER BY list_id, listbox_order, id");
        prepare(gameOrder, "SELECT id, listbox_order FROM lists ORDER BY listbox_order, id");
        prepare(playerOrder, "SELECT id, listbox_order FROM list_content WHERE list_id = ? ORDER BY listbox_order, id");
        prepare(gameExists, "SELECT COUNT(*) FROM lists WHERE id = ?");
        prepare(insertGame, "INSERT INTO lists (list_name, listbox_order) VALUES (?, ?)");
        prepare(renameGame, "UPDATE lists SET list_name = ? WHERE id = ?");
        prepare(setGamePosition, "UPDATE lists SET listbox_order = ? WHERE id = ?");
        prepare(deleteGame, "DELETE FROM lists WHERE id = ?");
        prepare(insertPlayer, "INSERT INTO list_content (list_id, player_name, player_number, player_phone, listbox_order) "
                              "VALUES (?, ?, 0, '', ?)");
        prepare(updatePlayer, "UPDATE list_content SET player_name = ?, player_number = 0, player_phone = '' WHERE id = ?");
        prepare(setPlayerPosition, "UPDATE list_content SET listbox_order = ? WHERE id = ?");
        prepare(deletePlayer, "DELETE FROM list_content WHERE id = ?");
        prepare(deletePlayers, "DELETE FROM list_content WHERE list_id = ?");
        // The shape of an order: whole when its positions are 0 ... n-1 without repeats.
        prepare(gameShape, "SELECT COUNT(*), COUNT(DISTINCT listbox_order), MIN(listbox_order), MAX(listbox_order) FROM lists");
        prepare(playerShape, "SELECT COUNT(*), COUNT(DISTINCT listbox_order), MIN(listbox_order), MAX(listbox_order) "
                             "FROM list_content WHERE list_id = ?");
        prepare(gamePosition, "SELECT listbox_order FROM lists WHERE id = ?");
        prepare(playerPosition, "SELECT listbox_order FROM list_content WHERE id = ? AND list_id = ?");
        // On a whole order, every move is one statement.
        prepare(closeGameGap, "UPDATE lists SET listbox_order = listbox_order - 1 WHERE listbox_order > ?");
        prepare(swapGames, "UPDATE lists SET listbox_order = CASE WHEN listbox_order = ? THEN ? ELSE ? END "
                           "WHERE listbox_order IN (?, ?)");
        prepare(closePlayerGap, "UPDATE list_content SET listbox_order = listbox_order - 1 WHERE list_id = ? AND listbox_order > ?");
        prepare(swapPlayers, "UPDATE list_content SET listbox_order = CASE WHEN listbox_order = ? THEN ? ELSE ? END "
                             "WHERE list_id = ? AND listbox_order IN (?, ?)");
        prepare(playerToTop, "UPDATE list_content SET listbox_order = CASE WHEN id = ? THEN 0 ELSE listbox_order + 1 END "
                             "WHERE list_id = ? AND listbox_order <= ?");
    }

    QSqlQuery begin, commit, rollback;
    QSqlQuery games, players, gameOrder, playerOrder, gameExists;
    QSqlQuery insertGame, renameGame, setGamePosition, deleteGame;
    QSqlQuery insertPlayer, updatePlayer, setPlayerPosition, deletePlayer, deletePlayers;
    QSqlQuery gameShape, playerShape, gamePosition, playerPosition;
    QSqlQuery closeGameGap, swapGames, closePlayerGap, swapPlayers, playerToTop;
};

// One command's transaction: it takes the write lock at once, commits when told to, and rolls
// back whatever happened if it ends any other way.
class WaitingListStore::Transaction {
public:
    explicit Transaction(WaitingListStore &store)
        : m_store(store)
    {
        store.requireOpenFile();
        run(store.m_statements->begin);
    }
    ~Transaction()
    {
        if (!m_committed)
            m_store.m_statements->rollback.exec();
    }
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    Statements &statements() { return *m_store.m_statements; }

    void commit()
    {
        run(m_store.m_statements->commit);
        m_committed = true;
    }

private:
    WaitingListStore &m_store;
    bool m_committed = false;
};

WaitingListStore::WaitingListStore(const QString &databasePath)
    : m_path(databasePath)
    , m_connectionName(QStringLiteral("tavlo-store-%1").arg(connectionCounter.fetchAndAddRelaxed(1)))
{
}

WaitingListStore::~WaitingListStore()
{
    close();
}

bool WaitingListStore::isOpen() const
{
    return m_statements != nullptr;
}

void WaitingListStore::open()
{
    if (m_statements)
        return;
    // The engine would quietly create a missing file; a missing database is a failure here.
    if (m_path.isEmpty() || !QFileInfo(m_path).isFile())
        throw StoreError(QStringLiteral("Could not find file '%1'.").arg(m_path));
    m_database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
    m_database.setDatabaseName(m_path);
    // Another reader (a backup, a second program) must not make a write fail at once.
    m_database.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    try {
        if (!m_database.open())
            throw StoreError(QStringLiteral("Cannot open %1: %2").arg(m_path, wordsOf(m_database.lastError())));
        m_statements = std::make_unique<Statements>(m_database);
    } catch (...) {
        close();
        throw;
    }
}

void WaitingListStore::close()
{
    m_statements.reset();
    if (m_database.isValid()) {
        m_database.close();
        m_database = QSqlDatabase();
    }
    if (QSqlDatabase::contains(m_connectionName))
        QSqlDatabase::removeDatabase(m_connectionName);
}

void WaitingListStore::requireOpenFile()
{
    if (!m_statements)
        throw StoreError(QStringLiteral("The database %1 is not open.").arg(m_path));
    // An open file that was deleted or moved would take the writes with it, unseen.
    const QVariant handle = m_database.driver()->handle();
    if (handle.isValid() && qstrcmp(handle.typeName(), "sqlite3*") == 0) {
        if (sqlite3 *engine = *static_cast<sqlite3 *const *>(handle.constData())) {
            int moved = 0;
            if (sqlite3_file_control(engine, "main", SQLITE_FCNTL_HAS_MOVED, &moved) == SQLITE_OK && moved)
                throw StoreError(QStringLiteral("Could not find file '%1'.").arg(m_path));
        }
    }
}

QList<GameRecord> WaitingListStore::readRoom()
{
    requireOpenFile();
    QList<GameRecord> games;
    QSqlQuery &gameRows = run(m_statements->games);
    while (gameRows.next())
        games.append({gameRows.value(0).toLongLong(), gameRows.value(1).toString(), {}});
    gameRows.finish();

    QHash<qint64, qsizetype> gameIndex;
    for (qsizetype i = 0; i < games.size(); ++i)
        gameIndex.insert(games[i].id, i);
    QSqlQuery &playerRows = run(m_statements->players);
    while (playerRows.next()) {
        // A player whose game is gone belongs to no list.
        const auto game = gameIndex.constFind(playerRows.value(1).toLongLong());
        if (game != gameIndex.cend())
            games[*game].players.append({playerRows.value(0).toLongLong(), playerRows.value(2).toString()});
    }
    playerRows.finish();
    return games;
}

// The games' order made whole, if need be (a file from elsewhere may hold gaps or repeats);
// returns the number of games.
qint64 WaitingListStore::wholeGameOrder()
{
    Statements &s = *m_statements;
    if (!isWhole(run(s.gameShape)))
        writePositions(s.setGamePosition, placedRows(run(s.gameOrder)));
    QSqlQuery &shape = run(s.gameShape);
    shape.next();
    const qint64 count = countOf(shape);
    shape.finish();
    return count;
}

qint64 WaitingListStore::wholePlayerOrder(qint64 gameId)
{
    Statements &s = *m_statements;
    if (!isWhole(run(s.playerShape, gameId)))
        writePositions(s.setPlayerPosition, placedRows(run(s.playerOrder, gameId)));
    QSqlQuery &shape = run(s.playerShape, gameId);
    shape.next();
    const qint64 count = countOf(shape);
    shape.finish();
    return count;
}

qint64 WaitingListStore::addGame(const QString &name)
{
    Transaction transaction(*this);
    // A new game joins at the end.
    const qint64 count = wholeGameOrder();
    const QVariant id = run(transaction.statements().insertGame, name, count).lastInsertId();
    transaction.commit();
    return id.toLongLong();
}

void WaitingListStore::renameGame(qint64 gameId, const QString &name)
{
    Transaction transaction(*this);
    if (run(transaction.statements().renameGame, name, gameId).numRowsAffected() == 0)
        throw gone("game", gameId);
    transaction.commit();
}

void WaitingListStore::deleteGame(qint64 gameId)
{
    Transaction transaction(*this);
    Statements &s = transaction.statements();
    wholeGameOrder();
    const std::optional<qint64> position = valueOf(run(s.gamePosition, gameId));
    // The players first, then the game, whether or not the game's row is still there.
    run(s.deletePlayers, gameId);
    run(s.deleteGame, gameId);
    if (position)
        run(s.closeGameGap, *position);
    transaction.commit();
}

void WaitingListStore::moveGame(qint64 gameId, int offset)
{
    Transaction transaction(*this);
    Statements &s = transaction.statements();
    const qint64 count = wholeGameOrder();
    const std::optional<qint64> from = valueOf(run(s.gamePosition, gameId));
    if (!from)
        throw gone("game", gameId);
    const qint64 to = *from + offset;
    if (to >= 0 && to < count)
        run(s.swapGames, *from, to, *from, *from, to);
    transaction.commit();
}

qint64 WaitingListStore::addPlayer(qint64 gameId, const QString &storedName)
{
    Transaction transaction(*this);
    Statements &s = transaction.statements();
    if (valueOf(run(s.gameExists, gameId)).value_or(0) == 0)
        throw gone("game", gameId);
    const qint64 count = wholePlayerOrder(gameId);
    const QVariant id = run(s.insertPlayer, gameId, storedName, count).lastInsertId();
    transaction.commit();
    return id.toLongLong();
}

void WaitingListStore::updatePlayer(qint64 playerId, const QString &storedName)
{
    Transaction transaction(*this);
    if (run(transaction.statements().updatePlayer, storedName, playerId).numRowsAffected() == 0)
        throw gone("player", playerId);
    transaction.commit();
}

void WaitingListStore::deletePlayer(qint64 gameId, qint64 playerId)
{
    Transaction transaction(*this);
    Statements &s = transaction.statements();
    wholePlayerOrder(gameId);
    // The rest of the list closes up; a player already gone leaves nothing to close.
    if (const std::optional<qint64> position = valueOf(run(s.playerPosition, playerId, gameId))) {
        run(s.deletePlayer, playerId);
        run(s.closePlayerGap, gameId, *position);
    }
    transaction.commit();
}

void WaitingListStore::deleteAllPlayers(qint64 gameId)
{
    Transaction transaction(*this);
    run(transaction.statements().deletePlayers, gameId);
    transaction.commit();
}

void WaitingListStore::movePlayer(qint64 gameId, qint64 playerId, int offset)
{
    Transaction transaction(*this);
    Statements &s = transaction.statements();
    const qint64 count = wholePlayerOrder(gameId);
    const std::optional<qint64> from = valueOf(run(s.playerPosition, playerId, gameId));
    if (!from)
        throw gone("player", playerId);
    const qint64 to = *from + offset;
    if (to >= 0 && to < count)
        run(s.swapPlayers, *from, to, *from, gameId, *from, to);
    transaction.commit();
}

void WaitingListStore::movePlayerToTop(qint64 gameId, qint64 playerId)
{
    Transaction transaction(*this);
    Statements &s = transaction.statements();
    wholePlayerOrder(gameId);
    const std::optional<qint64> from = valueOf(run(s.playerPosition, playerId, gameId));
    if (!from)
        throw gone("player", playerId);
    if (*from > 0)
        run(s.playerToTop, playerId, gameId, *from);
    transaction.commit();
}

} // namespace tavlo
