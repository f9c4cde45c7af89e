#include "Recordset.h"

#include "Connection.h"
#include "StoreError.h"

#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <algorithm>

namespace tavlo {

namespace {

QString failure(const QString &statement, const QSqlError &error)
{
    return error.text().trimmed() + QLatin1String("\r\n") + statement;
}

QString tableOf(const QString &statement)
{
    static const QRegularExpression from(QStringLiteral("\\bfrom\\s+([A-Za-z_][A-Za-z0-9_]*)"),
                                         QRegularExpression::CaseInsensitiveOption);
    const auto match = from.match(statement);
    return match.hasMatch() ? match.captured(1) : QString();
}

QString withBoundNumbers(const QString &statement, QVariantList &values)
{
    // Texts with quoted parts are left alone: a number inside a string literal is no key.
    if (statement.contains(QLatin1Char('\'')) || statement.contains(QLatin1Char('"')) || statement.contains(QLatin1Char('?')))
        return statement;
    static const QRegularExpression number(QStringLiteral("=\\s*(\\d{1,18})(?![\\w.])"));
    QString shape;
    qsizetype last = 0;
    auto it = number.globalMatch(statement);
    while (it.hasNext()) {
        const auto match = it.next();
        shape += QStringView(statement).mid(last, match.capturedStart(1) - last);
        shape += QLatin1Char('?');
        values << match.captured(1).toLongLong();
        last = match.capturedEnd();
    }
    shape += QStringView(statement).mid(last);
    return shape;
}

QString quoted(const QString &identifier)
{
    QString escaped = identifier;
    escaped.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + escaped + QLatin1Char('"');
}

} // namespace

Recordset::~Recordset() = default;

QVariant Recordset::Field::Value() const
{
    return m_owner.current().values[static_cast<size_t>(m_column)];
}

void Recordset::Field::setValue(const QVariant &value)
{
    Row &row = m_owner.current();
    row.values[static_cast<size_t>(m_column)] = value;
    row.changed[static_cast<size_t>(m_column)] = true;
}

void Recordset::Open(const QString &statement, Connection &connection)
{
    if (m_connection)
        throw StoreError(QStringLiteral("Operation is not allowed when the object is open."));
    if (!connection.isOpen())
        throw StoreError(QStringLiteral("Operation is not allowed when the object is closed.\r\n") + statement);

    // The keys compared with "=" become bound values, so statements that differ only in
    // their key share one compiled form; the statement means exactly what its text says.
    QVariantList keys;
    const QString shape = withBoundNumbers(statement, keys);
    QSqlQuery &query = connection.prepared(shape);
    query.setForwardOnly(true);
    for (int i = 0; i < keys.size(); ++i)
        query.bindValue(i, keys[i]);
    if (!query.exec())
        throw StoreError(failure(statement, query.lastError()));

    m_table = tableOf(statement);
    const QSqlRecord record = query.record();
    m_columns.clear();
    m_idColumn = -1;
    for (int c = 0; c < record.count(); ++c) {
        m_columns << record.fieldName(c);
        if (record.fieldName(c).compare(QLatin1String("id"), Qt::CaseInsensitive) == 0)
            m_idColumn = c;
    }
    m_rows.clear();
    const size_t width = static_cast<size_t>(record.count());
    while (query.next()) {
        Row row;
        row.values.reserve(width);
        for (int c = 0; c < record.count(); ++c)
            row.values.push_back(query.value(c));
        row.changed.assign(width, false);
        m_rows.push_back(std::move(row));
    }
    if (query.lastError().isValid())
        throw StoreError(failure(statement, query.lastError()));
    query.finish();
    m_position = 0;
    m_connection = &connection;
}

void Recordset::Close()
{
    // Rows added and never updated simply vanish with the result.
    m_connection = nullptr;
    m_rows.clear();
    m_columns.clear();
    m_table.clear();
    m_idColumn = -1;
    m_position = 0;
}

void Recordset::requireOpen() const
{
    if (!m_connection)
        throw StoreError(QStringLiteral("Operation is not allowed when the object is closed."));
}

int Recordset::RecordCount() const
{
    requireOpen();
    return static_cast<int>(m_rows.size());
}

void Recordset::MoveNext()
{
    requireOpen();
    if (Eof())
        throw StoreError(QStringLiteral("Either BOF or EOF is True, or the current record has been deleted."));
    ++m_position;
}

int Recordset::columnOf(const QString &name) const
{
    for (int c = 0; c < m_columns.size(); ++c) {
        if (m_columns[c].compare(name, Qt::CaseInsensitive) == 0)
            return c;
    }
    throw StoreError(QStringLiteral("Item cannot be found in the collection corresponding to the requested name or ordinal: ") + name);
}

Recordset::Row &Recordset::current()
{
    requireOpen();
    if (Eof() || m_rows[static_cast<size_t>(m_position)].deleted)
        throw StoreError(QStringLiteral("Either BOF or EOF is True, or the current record has been deleted."));
    return m_rows[static_cast<size_t>(m_position)];
}

const Recordset::Row &Recordset::current() const
{
    return const_cast<Recordset *>(this)->current();
}

Recordset::Field Recordset::Fields(const QString &name)
{
    requireOpen();
    return Field(*this, columnOf(name));
}

QVariant Recordset::value(const QString &name) const
{
    return current().values[static_cast<size_t>(columnOf(name))];
}

qint64 Recordset::nextId()
{
    // The bracket holds the write lock, so nobody else can take this id before Update.
    QSqlQuery query(m_connection->database());
    const QString statement = QStringLiteral(
        "SELECT MAX(COALESCE((SELECT seq FROM sqlite_sequence WHERE name = ?), 0), "
        "COALESCE((SELECT MAX(id) FROM %1), 0))").arg(quoted(m_table));
    query.prepare(statement);
    query.addBindValue(m_table);
    if (!query.exec() || !query.next())
        throw StoreError(failure(statement, query.lastError()));
    qint64 next = query.value(0).toLongLong() + 1;
    // Several rows may be pending in this result at once.
    for (const Row &row : m_rows) {
        if (row.isNew)
            next = std::max(next, row.values[static_cast<size_t>(m_idColumn)].toLongLong() + 1);
    }
    return next;
}

void Recordset::AddNew()
{
    requireOpen();
    if (m_table.isEmpty() || m_idColumn < 0)
        throw StoreError(QStringLiteral("Current Recordset does not support updating."));
    Row row;
    row.values.assign(static_cast<size_t>(m_columns.size()), QVariant());
    row.changed.assign(static_cast<size_t>(m_columns.size()), false);
    row.isNew = true;
    row.values[static_cast<size_t>(m_idColumn)] = nextId();
    row.changed[static_cast<size_t>(m_idColumn)] = true;
    m_rows.push_back(std::move(row));
    m_position = static_cast<int>(m_rows.size()) - 1;
}

void Recordset::Update()
{
    Row &row = current();
    if (m_table.isEmpty() || m_idColumn < 0)
        throw StoreError(QStringLiteral("Current Recordset does not support updating."));

    QStringList names;
    QVariantList values;
    for (size_t c = 0; c < row.changed.size(); ++c) {
        if (row.changed[c] && static_cast<int>(c) != m_idColumn) {
            names << quoted(m_columns[static_cast<int>(c)]);
            values << row.values[c];
        }
    }
    QString statement;
    if (row.isNew) {
        QStringList marks(names.size() + 1, QStringLiteral("?"));
        statement = QStringLiteral("INSERT INTO %1 (id%2) VALUES (%3)")
                        .arg(quoted(m_table), names.isEmpty() ? QString() : QLatin1String(", ") + names.join(QLatin1String(", ")),
                             marks.join(QLatin1String(", ")));
        values.prepend(row.values[static_cast<size_t>(m_idColumn)]);
    } else {
        if (names.isEmpty())
            return;
        for (QString &name : names)
            name += QLatin1String(" = ?");
        statement = QStringLiteral("UPDATE %1 SET %2 WHERE id = ?").arg(quoted(m_table), names.join(QLatin1String(", ")));
        values << row.values[static_cast<size_t>(m_idColumn)];
    }

    QSqlQuery &query = m_connection->prepared(statement);
    for (int i = 0; i < values.size(); ++i)
        query.bindValue(i, values[i]);
    if (!query.exec())
        throw StoreError(failure(statement, query.lastError()));
    query.finish();
    row.isNew = false;
    row.changed.assign(row.changed.size(), false);
}

void Recordset::Delete()
{
    Row &row = current();
    if (m_table.isEmpty() || m_idColumn < 0)
        throw StoreError(QStringLiteral("Current Recordset does not support updating."));
    if (!row.isNew) {
        const QString statement = QStringLiteral("DELETE FROM %1 WHERE id = ?").arg(quoted(m_table));
        QSqlQuery &query = m_connection->prepared(statement);
        query.bindValue(0, row.values[static_cast<size_t>(m_idColumn)]);
        if (!query.exec())
            throw StoreError(failure(statement, query.lastError()));
        query.finish();
    }
    row.deleted = true;
}

} // namespace tavlo
