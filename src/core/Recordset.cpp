#include "core/Recordset.h"

#include "core/Connection.h"
#include "core/StoreError.h"

#include <QRegularExpression>

#include <sqlite3.h>

#include <algorithm>

namespace tavlo {

namespace {

const QString NoCurrentRow = QStringLiteral("Either BOF or EOF is True, or the current record has been deleted.");

QString tableOf(const QString &statement)
{
    static const QRegularExpression from(QStringLiteral("\\bfrom\\s+([A-Za-z_][A-Za-z0-9_]*)"),
                                         QRegularExpression::CaseInsensitiveOption);
    const auto match = from.match(statement);
    return match.hasMatch() ? match.captured(1) : QString();
}

// The keys compared with "=" become bound values, so statements that differ only in their
// key share one compiled form; the statement still means exactly what its text says.
QString withBoundKeys(const QString &statement, QVariantList &values)
{
    // Texts with quoted parts are run as they stand: a number inside a literal is no key.
    if (statement.contains(QLatin1Char('\'')) || statement.contains(QLatin1Char('"')) || statement.contains(QLatin1Char('?')))
        return statement;
    static const QRegularExpression key(QStringLiteral("=\\s*(\\d{1,18})(?![\\w.])"));
    QString shape;
    qsizetype last = 0;
    auto it = key.globalMatch(statement);
    while (it.hasNext()) {
        const auto match = it.next();
        shape += QStringView(statement).mid(last, match.capturedStart(1) - last);
        shape += QLatin1Char('?');
        values << match.captured(1).toLongLong();
        last = match.capturedEnd(1);
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

void bind(sqlite3_stmt *statement, int index, const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::UnknownType:
        sqlite3_bind_null(statement, index);
        break;
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        sqlite3_bind_int64(statement, index, value.toLongLong());
        break;
    case QMetaType::Double:
    case QMetaType::Float:
        sqlite3_bind_double(statement, index, value.toDouble());
        break;
    default: {
        const QString text = value.toString();
        sqlite3_bind_text16(statement, index, text.utf16(), static_cast<int>(text.size() * 2), SQLITE_TRANSIENT);
    }
    }
}

QVariant columnValue(sqlite3_stmt *statement, int column)
{
    switch (sqlite3_column_type(statement, column)) {
    case SQLITE_INTEGER:
        return QVariant(static_cast<qlonglong>(sqlite3_column_int64(statement, column)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(statement, column));
    case SQLITE_NULL:
        return QVariant();
    case SQLITE_BLOB:
        return QByteArray(static_cast<const char *>(sqlite3_column_blob(statement, column)), sqlite3_column_bytes(statement, column));
    default: {
        // The file keeps text in UTF-8: converting it here is cheaper than asking the engine for UTF-16.
        const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(statement, column));
        return QString::fromUtf8(text, sqlite3_column_bytes(statement, column));
    }
    }
}

} // namespace

Recordset::~Recordset() = default;

QVariant Recordset::Field::Value() const
{
    return m_owner.cell(m_owner.currentRow(), m_column);
}

void Recordset::Field::setValue(const QVariant &value)
{
    const int row = m_owner.currentRow();
    m_owner.cell(row, m_column) = value;
    m_owner.m_changed[static_cast<size_t>(m_column)] = true;
}

void Recordset::Open(const QString &statement, Connection &connection)
{
    if (m_connection)
        throw StoreError(QStringLiteral("Operation is not allowed when the object is open."));
    QVariantList keys;
    sqlite3_stmt *query = connection.prepared(withBoundKeys(statement, keys));
    for (int i = 0; i < keys.size(); ++i)
        bind(query, i + 1, keys[i]);

    m_table = tableOf(statement);
    m_columns.clear();
    m_idColumn = -1;
    const int width = sqlite3_column_count(query);
    for (int c = 0; c < width; ++c) {
        m_columns << QString::fromUtf8(sqlite3_column_name(query, c));
        if (m_columns.last().compare(QLatin1String("id"), Qt::CaseInsensitive) == 0)
            m_idColumn = c;
    }
    m_rows.clear();
    m_values.clear();
    int step;
    while ((step = sqlite3_step(query)) == SQLITE_ROW) {
        for (int c = 0; c < width; ++c)
            m_values.push_back(columnValue(query, c));
        m_rows.push_back(Row{});
    }
    if (step != SQLITE_DONE) {
        const QString reason = connection.lastError();
        sqlite3_reset(query);
        throw StoreError(reason + QLatin1String("\r\n") + statement);
    }
    sqlite3_reset(query);
    m_changed.assign(static_cast<size_t>(width), false);
    m_position = 0;
    m_connection = &connection;
}

void Recordset::Close()
{
    // Rows added and never updated simply vanish with the result.
    m_connection = nullptr;
    m_rows.clear();
    m_values.clear();
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

void Recordset::requireTable() const
{
    if (m_table.isEmpty() || m_idColumn < 0)
        throw StoreError(QStringLiteral("Current Recordset does not support updating."));
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
        throw StoreError(NoCurrentRow);
    ++m_position;
    m_changed.assign(m_changed.size(), false);
}

int Recordset::columnOf(const QString &name) const
{
    for (int c = 0; c < m_columns.size(); ++c) {
        if (m_columns[c].compare(name, Qt::CaseInsensitive) == 0)
            return c;
    }
    throw StoreError(QStringLiteral("Item cannot be found in the collection corresponding to the requested name or ordinal: ") + name);
}

int Recordset::currentRow() const
{
    requireOpen();
    if (Eof() || m_rows[static_cast<size_t>(m_position)].deleted)
        throw StoreError(NoCurrentRow);
    return m_position;
}

Recordset::Field Recordset::Fields(const QString &name)
{
    requireOpen();
    return Field(*this, columnOf(name));
}

QVariant Recordset::value(const QString &name) const
{
    const int row = currentRow();
    return m_values[static_cast<size_t>(row * m_columns.size() + columnOf(name))];
}

void Recordset::run(const QString &statement, const QVariantList &values)
{
    sqlite3_stmt *query = m_connection->prepared(statement);
    for (int i = 0; i < values.size(); ++i)
        bind(query, i + 1, values[i]);
    const int step = sqlite3_step(query);
    sqlite3_reset(query);
    if (step != SQLITE_DONE && step != SQLITE_ROW)
        throw StoreError(m_connection->lastError() + QLatin1String("\r\n") + statement);
}

qint64 Recordset::nextId()
{
    // The bracket holds the write lock, so nobody else can take this id before Update.
    const QString statement = QStringLiteral(
        "SELECT MAX(COALESCE((SELECT seq FROM sqlite_sequence WHERE name = ?), 0), "
        "COALESCE((SELECT MAX(id) FROM %1), 0))").arg(quoted(m_table));
    sqlite3_stmt *query = m_connection->prepared(statement);
    bind(query, 1, m_table);
    if (sqlite3_step(query) != SQLITE_ROW) {
        const QString reason = m_connection->lastError();
        sqlite3_reset(query);
        throw StoreError(reason + QLatin1String("\r\n") + statement);
    }
    qint64 next = sqlite3_column_int64(query, 0) + 1;
    sqlite3_reset(query);
    // Several rows may be pending in this result at once.
    for (size_t r = 0; r < m_rows.size(); ++r) {
        if (m_rows[r].isNew)
            next = std::max(next, cell(static_cast<int>(r), m_idColumn).toLongLong() + 1);
    }
    return next;
}

void Recordset::AddNew()
{
    requireOpen();
    requireTable();
    const qint64 id = nextId();
    m_rows.push_back(Row{true, false});
    m_values.resize(m_values.size() + static_cast<size_t>(m_columns.size()));
    m_position = static_cast<int>(m_rows.size()) - 1;
    m_changed.assign(m_changed.size(), false);
    cell(m_position, m_idColumn) = id;
}

void Recordset::Update()
{
    const int row = currentRow();
    requireTable();
    QStringList names;
    QVariantList values;
    for (int c = 0; c < m_columns.size(); ++c) {
        if (m_changed[static_cast<size_t>(c)] && c != m_idColumn) {
            names << quoted(m_columns[c]);
            values << cell(row, c);
        }
    }
    Row &flags = m_rows[static_cast<size_t>(row)];
    QString statement;
    if (flags.isNew) {
        const QStringList marks(names.size() + 1, QStringLiteral("?"));
        statement = QStringLiteral("INSERT INTO %1 (id%2) VALUES (%3)")
                        .arg(quoted(m_table), names.isEmpty() ? QString() : QLatin1String(", ") + names.join(QLatin1String(", ")),
                             marks.join(QLatin1String(", ")));
        values.prepend(cell(row, m_idColumn));
    } else {
        if (names.isEmpty())
            return;
        for (QString &name : names)
            name += QLatin1String(" = ?");
        statement = QStringLiteral("UPDATE %1 SET %2 WHERE id = ?").arg(quoted(m_table), names.join(QLatin1String(", ")));
        values << cell(row, m_idColumn);
    }
    run(statement, values);
    flags.isNew = false;
    m_changed.assign(m_changed.size(), false);
}

void Recordset::Delete()
{
    const int row = currentRow();
    requireTable();
    Row &flags = m_rows[static_cast<size_t>(row)];
    if (!flags.isNew)
        run(QStringLiteral("DELETE FROM %1 WHERE id = ?").arg(quoted(m_table)), {cell(row, m_idColumn)});
    flags.deleted = true;
}

} // namespace tavlo
