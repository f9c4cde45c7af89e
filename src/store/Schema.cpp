#include "store/Schema.h"

#include "store/StoreError.h"

#include <QAtomicInt>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <optional>

namespace tavlo {

namespace {

QAtomicInt schemaCounter;

using Statements = QList<const char *>;

const Statements firstLayout = {
    "CREATE TABLE lists ("
    " id INTEGER PRIMARY KEY AUTOINCREMENT,"
    " list_name TEXT,"
    " listbox_order SMALLINT)",
    "CREATE TABLE list_content ("
    " id INTEGER PRIMARY KEY AUTOINCREMENT,"
    " list_id INTEGER,"
    " player_name TEXT,"
    " player_number SMALLINT,"
    " player_phone TEXT,"
    " listbox_order SMALLINT)",
    "CREATE INDEX list_content_by_list ON list_content (list_id, listbox_order, id, player_name, player_number, player_phone)",
};

const Statements journalLayout = {
    // When a player joined the list, in UTC; unknown for players from before.
    "ALTER TABLE list_content ADD COLUMN added_at TEXT",
    // Every change, in the transaction that makes it: what undoing and redoing it need, and
    // what reports count.
    "CREATE TABLE journal ("
    " id INTEGER PRIMARY KEY AUTOINCREMENT,"
    " made_at TEXT NOT NULL,"
    " desk TEXT NOT NULL DEFAULT '',"
    " command TEXT NOT NULL,"
    " game_id INTEGER,"
    " player_id INTEGER,"
    " game_name TEXT,"
    " player_name TEXT,"
    " details TEXT NOT NULL,"
    " reverted INTEGER NOT NULL DEFAULT 0,"
    " reverted_at TEXT,"
    " undoable INTEGER NOT NULL DEFAULT 1)",
    "CREATE INDEX journal_history ON journal (desk, undoable, id)",
    "CREATE INDEX journal_by_time ON journal (made_at)",
    // The board is drawn from memory now: the index need only keep a list's order, which makes
    // every move and every name change cheaper.
    "DROP INDEX IF EXISTS list_content_by_list",
    "CREATE INDEX list_content_by_list ON list_content (list_id, listbox_order)",
};

// Each console installation keeps its own history: machines cloned from one image share a host
// name (still kept in desk, for people to read).
const Statements deskLayout = {
    "ALTER TABLE journal ADD COLUMN desk_id TEXT",
    "CREATE INDEX journal_by_desk ON journal (desk_id, undoable, id)",
};
const Statements serverDeskLayout = {
    "ALTER TABLE journal ADD COLUMN IF NOT EXISTS desk_id TEXT",
    "CREATE INDEX IF NOT EXISTS journal_by_desk ON journal (desk_id, undoable, id)",
};

// A call's start and length are recorded once, by the desk that calls, so that every desk and
// the board count down from the same moment. One person's entries on several lists share a
// person_id (the first entry's id; null for a player on one list).
const Statements floorLayout = {
    "ALTER TABLE list_content ADD COLUMN called_at TEXT",
    "ALTER TABLE list_content ADD COLUMN call_seconds INTEGER",
    "ALTER TABLE list_content ADD COLUMN away_since TEXT",
    "ALTER TABLE list_content ADD COLUMN person_id INTEGER",
    // A seat finds the person's other entries without reading every list.
    "CREATE INDEX list_content_by_person ON list_content (person_id)",
    // A game not running yet, with a list of those interested (null: running).
    "ALTER TABLE lists ADD COLUMN interest INTEGER",
};
const Statements serverFloorLayout = {
    "ALTER TABLE list_content ADD COLUMN IF NOT EXISTS called_at TEXT",
    "ALTER TABLE list_content ADD COLUMN IF NOT EXISTS call_seconds INTEGER",
    "ALTER TABLE list_content ADD COLUMN IF NOT EXISTS away_since TEXT",
    "ALTER TABLE list_content ADD COLUMN IF NOT EXISTS person_id INTEGER",
    "CREATE INDEX IF NOT EXISTS list_content_by_person ON list_content (person_id)",
    "ALTER TABLE lists ADD COLUMN IF NOT EXISTS interest INTEGER",
};

// A list's order lives in its rows: an index over it would be rewritten for every row a move
// or a deletion shifts. Lists are found by list_id alone and put in order as they are read.
// Most players are on one list only: the persons' index holds the others, so that adding or
// deleting such a player leaves it alone.
const Statements leanIndexLayout = {
    "DROP INDEX IF EXISTS list_content_by_list",
    "CREATE INDEX list_content_by_list ON list_content (list_id)",
    "DROP INDEX IF EXISTS list_content_by_person",
    "CREATE INDEX list_content_by_person ON list_content (person_id) WHERE person_id IS NOT NULL",
};

// The same tables and columns on a database server, made on the first connection to an empty
// database. Ids are the server's serial numbers.
const Statements serverLayout = {
    "CREATE TABLE lists ("
    " id SERIAL PRIMARY KEY,"
    " list_name TEXT,"
    " listbox_order SMALLINT,"
    " interest INTEGER)",
    "CREATE TABLE list_content ("
    " id SERIAL PRIMARY KEY,"
    " list_id INTEGER,"
    " player_name TEXT,"
    " player_number SMALLINT,"
    " player_phone TEXT,"
    " listbox_order SMALLINT,"
    " added_at TEXT,"
    " called_at TEXT,"
    " call_seconds INTEGER,"
    " away_since TEXT,"
    " person_id INTEGER)",
    "CREATE INDEX list_content_by_list ON list_content (list_id)",
    "CREATE INDEX list_content_by_person ON list_content (person_id) WHERE person_id IS NOT NULL",
    "CREATE TABLE journal ("
    " id BIGSERIAL PRIMARY KEY,"
    " made_at TEXT NOT NULL,"
    " desk TEXT NOT NULL DEFAULT '',"
    " command TEXT NOT NULL,"
    " game_id INTEGER,"
    " player_id INTEGER,"
    " game_name TEXT,"
    " player_name TEXT,"
    " details TEXT NOT NULL,"
    " reverted INTEGER NOT NULL DEFAULT 0,"
    " reverted_at TEXT,"
    " undoable INTEGER NOT NULL DEFAULT 1,"
    " desk_id TEXT)",
    "CREATE INDEX journal_history ON journal (desk, undoable, id)",
    "CREATE INDEX journal_by_time ON journal (made_at)",
    "CREATE INDEX journal_by_desk ON journal (desk_id, undoable, id)",
};

bool isServer(const QSqlDatabase &database)
{
    return database.driverName() == QLatin1String("QPSQL");
}

bool hasJournal(const QSqlDatabase &database)
{
    return database.tables().contains(QStringLiteral("journal"))
        && database.record(QStringLiteral("list_content")).contains(QStringLiteral("added_at"));
}

bool hasDeskIds(const QSqlDatabase &database)
{
    return database.record(QStringLiteral("journal")).contains(QStringLiteral("desk_id"));
}

bool hasFloor(const QSqlDatabase &database)
{
    return database.record(QStringLiteral("lists")).contains(QStringLiteral("interest"));
}

// How an index of list_content is made, or nothing when there is none.
std::optional<QString> indexDefinition(const QSqlDatabase &database, const QString &name)
{
    QSqlQuery query(database);
    query.prepare(QLatin1String(isServer(database) ? "SELECT indexdef FROM pg_indexes WHERE indexname = ? AND schemaname = current_schema()"
                                                   : "SELECT sql FROM sqlite_master WHERE type = 'index' AND name = ?"));
    query.addBindValue(name);
    if (!query.exec() || !query.next())
        return std::nullopt;
    return query.value(0).toString();
}

// Whether the lists' index still holds their order, or the persons' index every player.
bool needsLeanIndexes(const QSqlDatabase &database)
{
    const std::optional<QString> lists = indexDefinition(database, QStringLiteral("list_content_by_list"));
    const std::optional<QString> persons = indexDefinition(database, QStringLiteral("list_content_by_person"));
    return !lists || lists->contains(QLatin1String("listbox_order")) || !persons
        || !persons->contains(QLatin1String("WHERE"), Qt::CaseInsensitive);
}

// Runs the statements in one transaction; the engine's words for the first that fails.
QString runAll(QSqlDatabase &database, const Statements &statements)
{
    QSqlQuery query(database);
    // On a server, one desk at a time lays out the tables.
    const bool server = isServer(database);
    if (!query.exec(QLatin1String(server ? "BEGIN" : "BEGIN IMMEDIATE"))
        || (server && !query.exec(QStringLiteral("SELECT pg_advisory_xact_lock(727001)"))))
        return query.lastError().databaseText().isEmpty() ? query.lastError().text() : query.lastError().databaseText();
    for (const char *statement : statements) {
        if (!query.exec(QString::fromLatin1(statement))) {
            const QSqlError error = query.lastError();
            query.exec(QStringLiteral("ROLLBACK"));
            return error.databaseText().isEmpty() ? error.text() : error.databaseText();
        }
    }
    if (!query.exec(QStringLiteral("COMMIT"))) {
        const QSqlError error = query.lastError();
        query.exec(QStringLiteral("ROLLBACK"));
        return error.databaseText().isEmpty() ? error.text() : error.databaseText();
    }
    return {};
}

} // namespace

void upgradeSchema(QSqlDatabase &database)
{
    if (isServer(database) && !database.tables().contains(QStringLiteral("lists"))) {
        const QString error = runAll(database, serverLayout);
        // Another desk may have laid them out meanwhile.
        if (!error.isEmpty() && !database.tables().contains(QStringLiteral("lists")))
            throw StoreError(QStringLiteral("Cannot lay out the database %1: %2").arg(database.databaseName(), error));
        return;
    }
    if (!database.tables().contains(QStringLiteral("list_content")))
        return; // a file without our tables: the first statement says so
    if (hasFloor(database)) {
        // The index only costs speed: a file that cannot take the leaner one (read-only, say)
        // still opens.
        if (needsLeanIndexes(database))
            runAll(database, leanIndexLayout);
        return;
    }
    const bool server = isServer(database);
    Statements statements = hasJournal(database) ? Statements() : journalLayout;
    if (!hasDeskIds(database))
        statements += server ? serverDeskLayout : deskLayout;
    statements += server ? serverFloorLayout : floorLayout;
    statements += leanIndexLayout;
    const QString error = runAll(database, statements);
    // Another desk may have upgraded it meanwhile.
    if (!error.isEmpty() && !hasFloor(database))
        throw StoreError(QStringLiteral("Cannot upgrade the database %1: %2").arg(database.databaseName(), error));
}

QString createEmptyDatabase(const QString &path, SchemaVersion version)
{
    if (QFileInfo::exists(path))
        return QStringLiteral("%1 exists already").arg(path);
    const QString name = QStringLiteral("tavlo-schema-%1").arg(schemaCounter.fetchAndAddRelaxed(1));
    QString error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        if (!db.open()) {
            error = db.lastError().text();
        } else {
            // The file may live on a network share: keep the classic rollback journal.
            QSqlQuery(db).exec(QStringLiteral("PRAGMA journal_mode=DELETE"));
            Statements statements = firstLayout;
            if (version != SchemaVersion::First)
                statements += journalLayout;
            if (version >= SchemaVersion::DeskIds)
                statements += deskLayout;
            if (version >= SchemaVersion::Floor)
                statements += floorLayout + leanIndexLayout;
            error = runAll(db, statements);
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(name);
    return error;
}

} // namespace tavlo
