#pragma once

#include <QString>

namespace tavlo {

// The folder holding the running program file, without a trailing separator.
QString programFolder();

// A folder path followed by a separator, unless it already ends with one.
QString withTrailingSeparator(const QString &folder);

} // namespace tavlo
