#include "store/Schema.h"

#include <QAtomicInt>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace tavlo {

namespace {

QAtomicInt schemaCounter;

const char *const tableDefinitions[] = {
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
    // Covers every column, so a game's players in order come from the index alone.
    "CREATE INDEX list_content_by_list ON list_content (list_id, listbox_order, id, player_name, player_number, player_phone)",
};

} // namespace

QString createEmptyDatabase(const QString &path)
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
            QSqlQuery query(db);
            // The file may live on a network share: keep the classic rollback journal.
            query.exec(QStringLiteral("PRAGMA journal_mode=DELETE"));
            db.transaction();
            for (const char *definition : tableDefinitions) {
                if (!query.exec(QString::fromLatin1(definition))) {
                    error = query.lastError().text();
                    break;
                }
            }
            if (error.isEmpty())
                db.commit();
            else
                db.rollback();
            query.finish();
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(name);
    return error;
}

} // namespace tavlo
