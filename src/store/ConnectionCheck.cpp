#include "store/ConnectionCheck.h"

#include "store/DatabaseAddress.h"

#include <QAtomicInt>
#include <QCoreApplication>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>

namespace tavlo {

namespace {

struct CheckText {
    Q_DECLARE_TR_FUNCTIONS(ConnectionCheck)
};

QAtomicInt checkCounter;

// The driver's English, mapped to what the operator can do about it.
QString plainWords(const DatabaseAddress &address, const QString &words)
{
    const auto says = [&words](const char *pattern) {
        return words.contains(QRegularExpression(QLatin1String(pattern), QRegularExpression::CaseInsensitiveOption));
    };
    const QString host = address.host.isEmpty() ? QStringLiteral("localhost") : address.host;
    if (says("driver not loaded"))
        return CheckText::tr("The PostgreSQL driver is not installed on this computer (Debian package libqt6sql6-psql).");
    if (says("password authentication failed|no password supplied|authentication failed|ident authentication"))
        return CheckText::tr("The server refused the user name or the password.");
    if (says("role \".*\" does not exist"))
        return CheckText::tr("The server knows no user named \"%1\".").arg(address.user);
    if (says("database \".*\" does not exist"))
        return CheckText::tr("The server has no database named \"%1\".").arg(address.database);
    if (says("could not translate host name|name or service not known|nodename nor servname"))
        return CheckText::tr("No computer named \"%1\" was found on the network.").arg(host);
    if (says("connection refused|no such file or directory"))
        return CheckText::tr("Nothing answers at %1: the database server is not running there, or a firewall blocks it.").arg(host);
    if (says("timeout expired|timed out|no route to host|network is unreachable"))
        return CheckText::tr("The computer %1 cannot be reached: check the address and the network.").arg(host);
    return CheckText::tr("The database server cannot be used.");
}

} // namespace

QString addressProblem(const QString &databaseSetting)
{
    const DatabaseAddress address = DatabaseAddress::parse(databaseSetting);
    if (!address.isServer()) {
        if (databaseSetting.trimmed().isEmpty())
            return CheckText::tr("Choose the database file.");
        if (!QFileInfo(databaseSetting).isFile())
            return CheckText::tr("There is no database file %1.").arg(databaseSetting);
        return {};
    }
    if (address.database.isEmpty())
        return CheckText::tr("The server address names no database: it ends in /name-of-the-database.");
    if (address.port == 0 || address.port > 65535)
        return CheckText::tr("The port of the server address is to be a number from 1 to 65535.");
    return {};
}

QString connectionProblem(const QString &databaseSetting)
{
    if (const QString problem = addressProblem(databaseSetting); !problem.isEmpty())
        return problem;
    const DatabaseAddress address = DatabaseAddress::parse(databaseSetting);
    if (!address.isServer())
        return {};
    const QString name = QStringLiteral("tavlo-check-%1").arg(checkCounter.fetchAndAddRelaxed(1));
    QString problem;
    {
        QSqlDatabase database = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
        database.setHostName(address.host);
        if (address.port >= 0)
            database.setPort(address.port);
        database.setUserName(address.user);
        database.setPassword(address.password);
        database.setDatabaseName(address.database);
        database.setConnectOptions(address.options);
        if (!database.open()) {
            const QSqlError error = database.lastError();
            const QString words = (error.databaseText() + QLatin1Char(' ') + error.driverText()).trimmed();
            problem = plainWords(address, words) + QStringLiteral("\n") + words;
        }
        database.close();
    }
    QSqlDatabase::removeDatabase(name);
    return problem;
}

} // namespace tavlo
