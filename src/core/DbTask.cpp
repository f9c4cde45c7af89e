#include "core/DbTask.h"

#include "core/WindowState.h"

namespace tavlo {

QString connectionStringFor(const QString &databasePath)
{
    return QStringLiteral("PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source=") + databasePath + QLatin1Char(';');
}

void dbTask(QString &task, WindowState &state)
{
    if (task.isEmpty())
        task = QStringLiteral("open");
    const QString work = task.toUpper();
    if (work == QLatin1String("OPEN"))
        state.Conn.Open(connectionStringFor(state.DatabasePath));
    else if (work == QLatin1String("CLOSE"))
        state.Conn.Close();
}

void dbTask(const char *task, WindowState &state)
{
    QString word = QString::fromLatin1(task);
    dbTask(word, state);
}

void openStatement(Recordset &recordset, const QString &statement, WindowState &state)
{
    state.SqlText = statement;
    recordset.Open(statement, state.Conn);
}

void deleteEveryRow(Recordset &rows)
{
    while (!rows.Eof()) {
        rows.Delete();
        rows.MoveNext();
    }
}

} // namespace tavlo
