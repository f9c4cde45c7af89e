#pragma once

#include <QString>

namespace tavlo {

// What is wrong with a DataBase setting, in words an operator understands, or nothing: a file
// that is not there, a server address that cannot be read, or a server that cannot be reached,
// refuses the user or lacks the database. A server is only connected to, never changed.
QString addressProblem(const QString &databaseSetting);
QString connectionProblem(const QString &databaseSetting);

} // namespace tavlo
