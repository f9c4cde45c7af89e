#pragma once

#include <QString>

namespace tavlo {

struct WindowState;

// Opens ("open") or closes ("close") the window's connection; the words are matched after
// upper-casing, an empty task becomes "open" in the caller's variable, anything else does
// nothing. Throws StoreError.
void dbTask(QString &task, WindowState &state);

// The same for a literal word.
void dbTask(const char *task, WindowState &state);

// Opens a statement on one of the window's result sets, noting its text in SqlText.
class Recordset;
void openStatement(Recordset &recordset, const QString &statement, WindowState &state);

QString connectionStringFor(const QString &databasePath);

// Deletes the rows of an open result one by one, to its end.
void deleteEveryRow(Recordset &rows);

} // namespace tavlo
