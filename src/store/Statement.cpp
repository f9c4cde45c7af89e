#include "store/Statement.h"

#include "store/StoreError.h"

#include <QCoreApplication>
#include <QSqlDriver>
#include <QSqlError>

#include <sqlite3.h>

namespace tavlo {

namespace {

struct StoreText {
    Q_DECLARE_TR_FUNCTIONS(WaitingListStore)
};

// Whether a statement failed because the database server went away (the driver closes the
// connection once it sees that). Every answer of a server names its state; none means no
// answer came. Class 08 is the connection's own trouble, 57P a server ending the session.
bool connectionLost(const QSqlQuery &query)
{
    const QSqlDriver *driver = query.driver();
    if (!driver || driver->dbmsType() != QSqlDriver::PostgreSQL)
        return false;
    const QString state = query.lastError().nativeErrorCode();
    return !driver->isOpen() || state.isEmpty() || state.startsWith(QLatin1String("08")) || state.startsWith(QLatin1String("57P"));
}

} // namespace

QString wordsOf(const QSqlError &error)
{
    const QString words = error.databaseText().isEmpty() ? error.text() : error.databaseText();
    return words.isEmpty() ? StoreText::tr("Unknown database error") : words;
}

Statement::Statement(const QSqlDatabase &database, sqlite3 *engine)
    : m_engine(engine)
{
    if (!m_engine) {
        m_query.emplace(database);
        m_query->setForwardOnly(true);
    }
}

Statement::~Statement()
{
    sqlite3_finalize(m_statement);
}

StoreError Statement::failure() const
{
    if (m_engine) {
        const QString words = QString::fromUtf8(sqlite3_errmsg(m_engine));
        return StoreError(words.isEmpty() ? StoreText::tr("Unknown database error") : words);
    }
    // A lost server leaves only words about sockets, or none at all.
    if (connectionLost(*m_query))
        return StoreError(StoreText::tr("The connection to the database server was lost, so nothing of this change was saved."),
                          StoreError::Kind::ConnectionLost);
    return StoreError(wordsOf(m_query->lastError()));
}

void Statement::prepare(const QString &text)
{
    if (!m_engine) {
        if (!m_query->prepare(text))
            throw failure();
        return;
    }
    sqlite3_finalize(m_statement);
    m_statement = nullptr;
    const QByteArray utf8 = text.toUtf8();
    if (sqlite3_prepare_v3(m_engine, utf8.constData(), int(utf8.size()), SQLITE_PREPARE_PERSISTENT, &m_statement, nullptr)
            != SQLITE_OK
        || !m_statement)
        throw failure();
}

sqlite3_stmt *Statement::unbound()
{
    if (m_row != Row::None)
        finish();
    return m_statement;
}

void Statement::require(int result) const
{
    if (result != SQLITE_OK)
        throw failure();
}

void Statement::bind(int index, qint64 value)
{
    if (!m_engine)
        return m_query->bindValue(index, value);
    require(sqlite3_bind_int64(unbound(), index + 1, value));
}

void Statement::bind(int index, const QString &value)
{
    if (!m_engine)
        return m_query->bindValue(index, value);
    if (value.isNull())
        return require(sqlite3_bind_null(unbound(), index + 1));
    require(sqlite3_bind_text16(unbound(), index + 1, value.utf16(), int(value.size() * sizeof(QChar)), SQLITE_TRANSIENT));
}

void Statement::bind(int index, const QVariant &value)
{
    if (!m_engine)
        return m_query->bindValue(index, value);
    if (value.isNull())
        return require(sqlite3_bind_null(unbound(), index + 1));
    switch (value.metaType().id()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::ULong:
        return bind(index, qint64(value.toLongLong()));
    case QMetaType::Double:
    case QMetaType::Float:
        return require(sqlite3_bind_double(unbound(), index + 1, value.toDouble()));
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        return require(sqlite3_bind_blob64(unbound(), index + 1, bytes.constData(), sqlite3_uint64(bytes.size()), SQLITE_TRANSIENT));
    }
    default:
        return bind(index, value.toString());
    }
}

void Statement::exec()
{
    if (!m_engine) {
        if (!m_query->exec())
            throw failure();
        return;
    }
    if (m_row != Row::None)
        sqlite3_reset(m_statement);
    m_row = Row::None;
    switch (sqlite3_step(m_statement)) {
    case SQLITE_ROW:
        m_row = Row::Waiting;
        return;
    case SQLITE_DONE:
        m_changes = sqlite3_changes64(m_engine);
        sqlite3_reset(m_statement);
        return;
    default: {
        const StoreError error = failure();
        sqlite3_reset(m_statement);
        throw error;
    }
    }
}

void Statement::execText(const QString &text)
{
    if (!m_engine) {
        if (!m_query->exec(text))
            throw failure();
        return;
    }
    if (sqlite3_exec(m_engine, text.toUtf8().constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
        throw failure();
}

bool Statement::isSelect() const
{
    return m_engine ? sqlite3_column_count(m_statement) > 0 : m_query->isSelect();
}

bool Statement::next()
{
    if (!m_engine)
        return m_query->next();
    switch (m_row) {
    case Row::None:
        return false;
    case Row::Waiting:
        m_row = Row::Read;
        return true;
    case Row::Read:
        break;
    }
    switch (sqlite3_step(m_statement)) {
    case SQLITE_ROW:
        return true;
    case SQLITE_DONE:
        finish();
        return false;
    default: {
        const StoreError error = failure();
        finish();
        throw error;
    }
    }
}

QVariant Statement::value(int column) const
{
    if (!m_engine)
        return m_query->value(column);
    if (m_row != Row::Read)
        return {};
    switch (sqlite3_column_type(m_statement, column)) {
    case SQLITE_INTEGER:
        return qint64(sqlite3_column_int64(m_statement, column));
    case SQLITE_FLOAT:
        return sqlite3_column_double(m_statement, column);
    case SQLITE_TEXT: {
        const void *text = sqlite3_column_text16(m_statement, column);
        return QString(static_cast<const QChar *>(text), sqlite3_column_bytes16(m_statement, column) / int(sizeof(QChar)));
    }
    case SQLITE_BLOB: {
        const char *bytes = static_cast<const char *>(sqlite3_column_blob(m_statement, column));
        return QByteArray(bytes, sqlite3_column_bytes(m_statement, column));
    }
    default:
        return {};
    }
}

void Statement::finish()
{
    if (!m_engine) {
        m_query->finish();
        return;
    }
    if (m_row != Row::None)
        sqlite3_reset(m_statement);
    m_row = Row::None;
}

qint64 Statement::rowsAffected() const
{
    return m_engine ? m_changes : m_query->numRowsAffected();
}

std::optional<qint64> Statement::lastInsertId() const
{
    if (m_engine) {
        const sqlite3_int64 id = sqlite3_last_insert_rowid(m_engine);
        return id != 0 ? std::optional<qint64>(id) : std::nullopt;
    }
    const QVariant id = m_query->lastInsertId();
    return id.isValid() ? std::optional<qint64>(id.toLongLong()) : std::nullopt;
}

} // namespace tavlo
