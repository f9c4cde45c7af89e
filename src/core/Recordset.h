#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

#include <vector>

namespace tavlo {

class Connection;

// A static result set: the rows as the statement returned them when it was opened, with a
// current position. Fields are read and set on the current row; Update writes the changed
// fields of the current row through bound parameters. Every failure throws StoreError.
class Recordset {
public:
    class Field {
    public:
        QVariant Value() const;
        void setValue(const QVariant &value);
        Field &operator=(const QVariant &value)
        {
            setValue(value);
            return *this;
        }

    private:
        friend class Recordset;
        Field(Recordset &owner, int column) : m_owner(owner), m_column(column) {}
        Recordset &m_owner;
        int m_column;
    };

    Recordset() = default;
    Recordset(const Recordset &) = delete;
    Recordset &operator=(const Recordset &) = delete;
    ~Recordset();

    // Runs the statement text as it stands on the open connection.
    void Open(const QString &statement, Connection &connection);
    void Close();
    bool isOpen() const { return m_connection != nullptr; }

    int RecordCount() const;
    bool Eof() const { return m_position >= static_cast<int>(m_rows.size()); }
    void MoveNext();
    Field Fields(const QString &name);
    QVariant value(const QString &name) const;

    // Appends a new row and makes it current. Its id is known at once; the row reaches the
    // table only with Update, so a new row that is never updated leaves no trace.
    void AddNew();
    void Update();
    // Removes the current row from the table; the position stays where it was.
    void Delete();

private:
    // One row's flags; its values stand in m_values at row * width.
    struct Row {
        bool isNew = false;
        bool deleted = false;
    };

    int columnOf(const QString &name) const;
    int currentRow() const;
    QVariant &cell(int row, int column) { return m_values[static_cast<size_t>(row * m_columns.size() + column)]; }
    void requireOpen() const;
    void requireTable() const;
    qint64 nextId();
    void run(const QString &statement, const QVariantList &values);

    Connection *m_connection = nullptr;
    QString m_table;
    QStringList m_columns;
    int m_idColumn = -1;
    std::vector<Row> m_rows;
    std::vector<QVariant> m_values;
    std::vector<bool> m_changed; // of the current row, by column
    int m_position = 0;
};

} // namespace tavlo
