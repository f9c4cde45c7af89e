#pragma once

#include <QString>
#include <QTemporaryDir>

namespace tavlo::test {

// A PostgreSQL server of the test's own, from Debian's postgresql package: a fresh cluster in a
// temporary folder, reached only through a socket in that folder, stopped when this goes. As
// root the server runs as the unprivileged user postgres. Where the server's programs are
// absent, isRunning() is false and whyNot() says what to install.
class PostgresServer {
public:
    // A durable server syncs its writes as a real one does; tests need not wait for the disk.
    explicit PostgresServer(bool durable = false);
    ~PostgresServer();
    PostgresServer(const PostgresServer &) = delete;
    PostgresServer &operator=(const PostgresServer &) = delete;

    bool isRunning() const { return m_running; }
    QString whyNot() const { return m_whyNot; }

    // A new empty database, and the DataBase setting that reaches it.
    QString createDatabase(const QString &name);
    QString address(const QString &database) const;

    // The server goes away at once, as a crashed or unplugged server would.
    void kill();

private:
    bool run(const QString &program, const QStringList &arguments, QString *output = nullptr);

    QTemporaryDir m_dir;
    QString m_bin;
    QString m_data;
    int m_port = 0;
    bool m_asPostgres = false;
    bool m_running = false;
    QString m_whyNot;
};

} // namespace tavlo::test
