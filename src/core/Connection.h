#pragma once

#include <QHash>
#include <QSqlDatabase>
#include <QString>

struct sqlite3;
struct sqlite3_stmt;

namespace tavlo {

// The one connection to the database file. Open starts a transaction that Close commits, so
// everything one bracket changes lands together or not at all.
class Connection {
public:
    Connection();
    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    // Opens the file named in "...;Data Source=<path>;". A missing file is a failure: the
    // file is never created here. Throws StoreError.
    void Open(const QString &connectionString);
    // Commits and releases the file. Throws StoreError when the commit fails (after rolling back).
    void Close();
    // Drops whatever the open bracket changed and releases the file; never throws.
    void Rollback() noexcept;

    bool isOpen() const { return m_open; }
    QString connectionString() const { return m_connectionString; }

    static QString dataSourceOf(const QString &connectionString);

    // A compiled statement kept for the life of the open bracket, reset and unbound, so that
    // the renumbering's hundred look-alike statements are compiled once. Throws StoreError.
    sqlite3_stmt *prepared(const QString &statement);
    // The engine's words for the last failure.
    QString lastError() const;

private:
    void execute(const char *statement);
    void release() noexcept;

    QString m_name;
    QString m_connectionString;
    QSqlDatabase m_database;
    sqlite3 *m_handle = nullptr;
    bool m_open = false;
    QHash<QString, sqlite3_stmt *> m_prepared;
};

} // namespace tavlo
