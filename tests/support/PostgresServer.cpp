#include "PostgresServer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

#include <unistd.h>

namespace tavlo::test {

namespace {

QString findServerPrograms()
{
    QDir versions(QStringLiteral("/usr/lib/postgresql"));
    const QStringList found = versions.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::Reversed);
    for (const QString &version : found) {
        const QString bin = versions.filePath(version + QStringLiteral("/bin"));
        if (QFileInfo(bin + QStringLiteral("/initdb")).isExecutable())
            return bin;
    }
    return {};
}

} // namespace

PostgresServer::PostgresServer(bool durable)
    : m_dir(QDir::tempPath() + QStringLiteral("/tavlo-pg-XXXXXX"))
{
    m_bin = findServerPrograms();
    if (m_bin.isEmpty()) {
        m_whyNot = QStringLiteral("the PostgreSQL server is not installed (apt-get install postgresql libqt6sql6-psql)");
        return;
    }
    // The server refuses to run as root; the package's own user runs it then.
    m_asPostgres = geteuid() == 0;
    m_data = m_dir.filePath(QStringLiteral("data"));
    m_port = 20000 + int(QCoreApplication::applicationPid() % 20000);
    if (m_asPostgres && !run(QStringLiteral("chown"), {QStringLiteral("postgres"), m_dir.path()})) {
        m_whyNot = QStringLiteral("cannot give the server's folder to the user postgres");
        return;
    }
    QString output;
    if (!run(m_bin + QStringLiteral("/initdb"), {QStringLiteral("-D"), m_data, QStringLiteral("-U"), QStringLiteral("tavlo"),
                                                  QStringLiteral("--auth=trust"), QStringLiteral("-E"), QStringLiteral("UTF8"),
                                                  QStringLiteral("--no-sync")},
             &output)) {
        m_whyNot = QStringLiteral("initdb failed: ") + output;
        return;
    }
    const QString options = QStringLiteral("-k %1 -c listen_addresses='' -p %2%3")
                                .arg(m_dir.path(), QString::number(m_port), QLatin1String(durable ? "" : " -c fsync=off"));
    if (!run(m_bin + QStringLiteral("/pg_ctl"), {QStringLiteral("-D"), m_data, QStringLiteral("-o"), options, QStringLiteral("-w"),
                                                  QStringLiteral("-l"), m_dir.filePath(QStringLiteral("log")), QStringLiteral("start")},
             &output)) {
        m_whyNot = QStringLiteral("the server did not start: ") + output;
        return;
    }
    m_running = true;
}

PostgresServer::~PostgresServer()
{
    kill();
}

bool PostgresServer::run(const QString &program, const QStringList &arguments, QString *output)
{
    QProcess process;
    if (m_asPostgres && program != QLatin1String("chown"))
        process.start(QStringLiteral("runuser"), QStringList{QStringLiteral("-u"), QStringLiteral("postgres"), QStringLiteral("--"), program} + arguments);
    else
        process.start(program, arguments);
    process.setProcessChannelMode(QProcess::MergedChannels);
    const bool finished = process.waitForFinished(60000);
    if (output)
        *output = QString::fromLocal8Bit(process.readAll());
    return finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

QString PostgresServer::createDatabase(const QString &name)
{
    if (!m_running || !run(m_bin + QStringLiteral("/createdb"),
                           {QStringLiteral("-h"), m_dir.path(), QStringLiteral("-p"), QString::number(m_port), QStringLiteral("-U"),
                            QStringLiteral("tavlo"), name}))
        return {};
    return address(name);
}

QString PostgresServer::address(const QString &database) const
{
    // One arg() for all three: the folder's percent signs must not be taken for places.
    return QStringLiteral("postgresql://tavlo@%1:%2/%3")
        .arg(QString::fromLatin1(QUrl::toPercentEncoding(m_dir.path())), QString::number(m_port), database);
}

void PostgresServer::kill()
{
    if (!m_running)
        return;
    m_running = false;
    run(m_bin + QStringLiteral("/pg_ctl"), {QStringLiteral("-D"), m_data, QStringLiteral("-m"), QStringLiteral("immediate"),
                                             QStringLiteral("-w"), QStringLiteral("stop")});
}

} // namespace tavlo::test
