#include "TestPlatform.h"

#include "store/Schema.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlError>
#include <QSqlRecord>

namespace tavlo::test {

TestPlatform::TestPlatform()
{
    platform.messageBox = &messages;
    platform.processEnd = &ending;
    platform.connectivity = &connectivity;
    platform.clock = &clock;
    platform.programFolder = QDir::toNativeSeparators(dir.path());
}

QString TestPlatform::path(const QString &fileName) const
{
    return platform.programFolder + QDir::separator() + fileName;
}

void TestPlatform::addEmptyDatabase(const QString &fileName)
{
    const QString error = createEmptyDatabase(path(fileName));
    if (!error.isEmpty())
        qFatal("cannot create the test database: %s", qPrintable(error));
}

void TestPlatform::addDisplayFiles()
{
    writeFile(QStringLiteral("TAVLO-Display.hta"), "<html></html>");
    writeFile(QStringLiteral("TAVLO-Display.jpg"), "jpeg");
}

void TestPlatform::writeFile(const QString &fileName, const QByteArray &bytes)
{
    QFile file(path(fileName));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(fileName));
}

QByteArray TestPlatform::readFile(const QString &fileName) const
{
    QFile file(path(fileName));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

void TestPlatform::seed(const QString &databasePath, const QList<Game> &games)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("seed"));
        db.setDatabaseName(databasePath);
        if (!db.open())
            qFatal("cannot open %s", qPrintable(databasePath));
        db.transaction();
        QSqlQuery q(db);
        for (qsizetype g = games.size() - 1; g >= 0; --g) {
            q.prepare(QStringLiteral("insert into lists (list_name, listbox_order) values (?, ?)"));
            q.addBindValue(games[g].first);
            q.addBindValue(int(g));
            if (!q.exec())
                qFatal("seed: %s", qPrintable(q.lastError().text()));
            const QVariant id = q.lastInsertId();
            const QStringList &players = games[g].second;
            for (qsizetype p = players.size() - 1; p >= 0; --p) {
                q.prepare(QStringLiteral("insert into list_content (list_id, player_name, player_number, player_phone, "
                                         "listbox_order) values (?, ?, 0, '', ?)"));
                q.addBindValue(id);
                q.addBindValue(players[p]);
                q.addBindValue(int(p));
                q.exec();
            }
        }
        db.commit();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("seed"));
}

QStringList TestPlatform::rows(const QString &databasePath, const QString &statement)
{
    QStringList out;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("peek"));
        db.setDatabaseName(databasePath);
        db.open();
        QSqlQuery q(db);
        if (!q.exec(statement))
            qWarning("peek: %s", qPrintable(q.lastError().text()));
        while (q.next()) {
            QStringList fields;
            for (int i = 0; i < q.record().count(); ++i)
                fields << q.value(i).toString();
            out << fields.join(QLatin1Char('|'));
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("peek"));
    return out;
}

} // namespace tavlo::test
