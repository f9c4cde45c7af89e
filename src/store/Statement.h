#pragma once

#include <QSqlQuery>
#include <QVariant>

#include <optional>

struct sqlite3;
struct sqlite3_stmt;

namespace tavlo {

class StoreError;

// The words of a failed statement or connection: the engine's own when it gave any.
QString wordsOf(const QSqlError &error);

// A statement prepared once and run many times. On a database file it runs on the engine
// itself: QtSql's way through costs more per statement (a placeholder name made for every
// value, the row's description built again at every run) than a small change costs in all.
// On a server it is a QSqlQuery. Rows are read forward only, until the next run.
class Statement {
public:
    // `engine` is the file's engine, or null to go through QtSql.
    Statement(const QSqlDatabase &database, sqlite3 *engine);
    ~Statement();
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    // Throw the engine's words when they fail.
    void prepare(const QString &text);
    // A null value, or a null text, binds NULL.
    void bind(int index, const QVariant &value);
    void bind(int index, qint64 value);
    void bind(int index, const QString &value);
    void exec();
    // Runs a statement given as text, once, outside any prepared one.
    void execText(const QString &text);

    bool isSelect() const;
    bool next();
    QVariant value(int column) const;
    void finish();
    qint64 rowsAffected() const;
    std::optional<qint64> lastInsertId() const;

private:
    StoreError failure() const;
    // Throws the engine's words unless `result` is SQLITE_OK.
    void require(int result) const;
    // The engine's statement, its last run ended so that it takes new values.
    sqlite3_stmt *unbound();

    std::optional<QSqlQuery> m_query;
    sqlite3 *m_engine = nullptr;
    sqlite3_stmt *m_statement = nullptr;
    enum class Row { None, Waiting, Read } m_row = Row::None;
    qint64 m_changes = 0;
};

} // namespace tavlo
