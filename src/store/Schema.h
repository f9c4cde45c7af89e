#pragma once

#include <QString>

class QSqlDatabase;

namespace tavlo {

// The versions of the database's layout. The first had the games and their players; the
// journal added the time a player was added (a nullable column, so older rows have none),
// the journal of changes, and a leaner index; then each journal row named the console
// installation that made it; then a player could be called (with a countdown) and away, and
// a list's rows came to be found by the list alone, so that a move rewrites no index.
enum class SchemaVersion { First, Journal, DeskIds, Floor };

// Creates an empty waiting-list database at the path, in the given layout. Fails when the
// file exists already. Returns an empty string on success, else the reason.
QString createEmptyDatabase(const QString &path, SchemaVersion version = SchemaVersion::Floor);

// Brings an open database to the current layout in one transaction; nothing when it is there
// already. Throws StoreError when it cannot (a read-only file, say); the file is then unchanged.
void upgradeSchema(QSqlDatabase &database);

} // namespace tavlo
