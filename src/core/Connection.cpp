#include "core/Connection.h"

#include "core/StoreError.h"

#include <QAtomicInt>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>

#include <sqlite3.h>

namespace tavlo {

namespace {

QAtomicInt connectionCounter;

} // namespace

Connection::Connection()
    : m_name(QStringLiteral("tavlo-%1").arg(connectionCounter.fetchAndAddRelaxed(1)))
{
}

Connection::~Connection()
{
    Rollback();
    m_database = QSqlDatabase();
    if (QSqlDatabase::contains(m_name))
        QSqlDatabase::removeDatabase(m_name);
}

QString Connection::dataSourceOf(const QString &connectionString)
{
    static const QLatin1String key("Data Source=");
    const int start = connectionString.indexOf(key, 0, Qt::CaseInsensitive);
    if (start < 0)
        return {};
    const int from = start + key.size();
    int end = connectionString.indexOf(QLatin1Char(';'), from);
    if (end < 0)
        end = connectionString.size();
    return connectionString.mid(from, end - from);
}

QString Connection::lastError() const
{
    return m_handle ? QString::fromUtf8(sqlite3_errmsg(m_handle)) : QStringLiteral("The connection is closed.");
}

void Connection::execute(const char *statement)
{
    if (sqlite3_exec(m_handle, statement, nullptr, nullptr, nullptr) != SQLITE_OK)
        throw StoreError(QString::fromLatin1(statement) + QLatin1String(": ") + lastError());
}

void Connection::Open(const QString &connectionString)
{
    if (m_open)
        throw StoreError(QStringLiteral("The connection is already open."));
    const QString path = dataSourceOf(connectionString);
    // The driver would quietly create a missing file; a missing database is a failure here.
    if (path.isEmpty() || !QFileInfo(path).isFile())
        throw StoreError(QStringLiteral("Could not find file '%1'.").arg(path));

    if (!m_database.isValid())
        m_database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
    m_database.setDatabaseName(path);
    // A reader elsewhere (the display page, a backup) must not make a write fail at once.
    m_database.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    if (!m_database.open())
        throw StoreError(QStringLiteral("Cannot open %1: %2").arg(path, m_database.lastError().text()));
    // The engine itself, for the row work: the toolkit's cached results cost more than the rows.
    const QVariant handle = m_database.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0 || !*static_cast<sqlite3 *const *>(handle.constData())) {
        m_database.close();
        throw StoreError(QStringLiteral("Cannot open %1: no SQLite engine").arg(path));
    }
    m_handle = *static_cast<sqlite3 *const *>(handle.constData());
    m_connectionString = connectionString;
    try {
        // Take the write lock for the whole bracket, so that ids handed out inside it stay ours.
        execute("BEGIN IMMEDIATE");
    } catch (...) {
        release();
        throw;
    }
    m_open = true;
}

sqlite3_stmt *Connection::prepared(const QString &statement)
{
    if (!m_open)
        throw StoreError(QStringLiteral("Operation is not allowed when the object is closed.\r\n") + statement);
    sqlite3_stmt *&slot = m_prepared[statement];
    if (!slot) {
        const QByteArray text = statement.toUtf8();
        if (sqlite3_prepare_v2(m_handle, text.constData(), static_cast<int>(text.size()), &slot, nullptr) != SQLITE_OK
            || !slot) {
            const QString reason = lastError();
            m_prepared.remove(statement);
            throw StoreError(reason + QLatin1String("\r\n") + statement);
        }
    } else {
        sqlite3_reset(slot);
        sqlite3_clear_bindings(slot);
    }
    return slot;
}

void Connection::release() noexcept
{
    for (sqlite3_stmt *statement : std::as_const(m_prepared))
        sqlite3_finalize(statement);
    m_prepared.clear();
    m_handle = nullptr;
    m_database.close();
}

void Connection::Close()
{
    if (!m_open)
        return;
    for (sqlite3_stmt *statement : std::as_const(m_prepared))
        sqlite3_reset(statement);
    if (sqlite3_exec(m_handle, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) {
        const QString message = QStringLiteral("COMMIT: ") + lastError();
        Rollback();
        throw StoreError(message);
    }
    m_open = false;
    release();
}

void Connection::Rollback() noexcept
{
    if (!m_open)
        return;
    m_open = false;
    for (sqlite3_stmt *statement : std::as_const(m_prepared))
        sqlite3_reset(statement);
    if (m_handle)
        sqlite3_exec(m_handle, "ROLLBACK", nullptr, nullptr, nullptr);
    release();
}

} // namespace tavlo
