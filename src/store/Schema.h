#pragma once

#include <QString>

namespace tavlo {

// Creates an empty waiting-list database at the path (the tables `lists` and `list_content`).
// Fails when the file exists already. Returns an empty string on success, else the reason.
QString createEmptyDatabase(const QString &path);

} // namespace tavlo
