#include "Connection.h"

#include "StoreError.h"

#include <QAtomicInt>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>

namespace tavlo {

namespace {

QAtomicInt connectionCounter;

QString failure(const QString &what, const QSqlError &error)
{
    const QString detail = error.text().trimmed();
    return detail.isEmpty() ? what : what + QLatin1String(": ") + detail;
}

void exec(QSqlDatabase &db, const QString &statement)
{
    QSqlQuery query(db);
    if (!query.exec(statement))
        throw StoreError(failure(statement, query.lastError()));
}

} // namespace

Connection::Connection()
    : m_name(QStringLiteral("tavlo-%1").arg(connectionCounter.fetchAndAddRelaxed(1)))
{
}

Connection::~Connection()
{
    Rollback();
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

QSqlDatabase Connection::database() const
{
    return QSqlDatabase::database(m_name, false);
}

void Connection::Open(const QString &connectionString)
{
    if (m_open)
        throw StoreError(QStringLiteral("The connection is already open."));
    const QString path = dataSourceOf(connectionString);
    // The driver would quietly create a missing file; a missing database is a failure here.
    if (path.isEmpty() || !QFileInfo(path).isFile())
        throw StoreError(QStringLiteral("Could not find file '%1'.").arg(path));

    QSqlDatabase db = QSqlDatabase::contains(m_name) ? QSqlDatabase::database(m_name, false)
                                                     : QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
    db.setDatabaseName(path);
    // A reader elsewhere (the display page, a backup) must not make a write fail at once.
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    if (!db.open())
        throw StoreError(failure(QStringLiteral("Cannot open ") + path, db.lastError()));
    m_connectionString = connectionString;
    try {
        // Take the write lock for the whole bracket, so that ids handed out inside it stay ours.
        exec(db, QStringLiteral("BEGIN IMMEDIATE"));
    } catch (...) {
        db.close();
        throw;
    }
    m_open = true;
}

QSqlQuery &Connection::prepared(const QString &statement)
{
    auto &slot = m_prepared[statement];
    if (!slot) {
        auto query = std::make_shared<QSqlQuery>(database());
        if (!query->prepare(statement))
            throw StoreError(failure(statement, query->lastError()));
        slot = std::move(query);
    }
    return *slot;
}

void Connection::Close()
{
    if (!m_open)
        return;
    m_prepared.clear();
    QSqlDatabase db = database();
    QSqlQuery commit(db);
    if (!commit.exec(QStringLiteral("COMMIT"))) {
        const QString message = failure(QStringLiteral("COMMIT"), commit.lastError());
        Rollback();
        throw StoreError(message);
    }
    commit.finish();
    db.close();
    m_open = false;
}

void Connection::Rollback() noexcept
{
    if (!m_open)
        return;
    m_open = false;
    m_prepared.clear();
    QSqlDatabase db = database();
    if (db.isOpen()) {
        {
            QSqlQuery rollback(db);
            rollback.exec(QStringLiteral("ROLLBACK"));
        }
        db.close();
    }
}

} // namespace tavlo
