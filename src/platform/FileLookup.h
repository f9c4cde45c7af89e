#pragma once

#include <QString>

namespace tavlo {

// Finds a file in a folder, matching its name without regard to letter case, also on
// case-sensitive file systems. An exact match wins. Returns the path of the file found, or
// an empty string. Doubled separators between folder and name resolve as one.
QString findFileIgnoringCase(const QString &folder, const QString &fileName);

// Same, for a full path: the last component is matched without regard to case.
QString findFileIgnoringCase(const QString &path);

} // namespace tavlo
