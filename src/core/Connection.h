#pragma once

#include <QHash>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>

#include <memory>

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
    QSqlDatabase database() const;
    QString connectionString() const { return m_connectionString; }

    static QString dataSourceOf(const QString &connectionString);

    // A prepared statement kept for the life of the open bracket, so that the renumbering's
    // hundred look-alike statements are compiled once.
    QSqlQuery &prepared(const QString &statement);

private:
    QString m_name;
    QString m_connectionString;
    bool m_open = false;
    QHash<QString, std::shared_ptr<QSqlQuery>> m_prepared;
};

} // namespace tavlo
