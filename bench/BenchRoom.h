#pragma once

// What the benchmarks that run a console share: a program folder's room, and a platform that
// answers every question, never ends the program and stays offline.

#include "platform/Connectivity.h"
#include "platform/MessageBox.h"
#include "platform/ProcessEnd.h"
#include "store/Schema.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>

#include <cstdlib>

namespace bench {

class SilentBox final : public tavlo::MessageBox {
public:
    Answer show(const QString &, Icon, Buttons buttons, const QString &) override
    {
        return buttons == Buttons::YesNo ? Answer::Yes : Answer::Ok;
    }
};
class NoEnd final : public tavlo::ProcessEnd {
public:
    void endNow(int) override { std::abort(); }
};
class Offline final : public tavlo::Connectivity {
public:
    bool isOnline() override { return false; }
};

// A database of `games` games with `players` players each, and the settings that name it and
// publish the board into `folder`, followed by `moreSettings`.
inline void seedRoom(const QString &folder, int games, int players, const QByteArray &moreSettings = {})
{
    const QString db = folder + QStringLiteral("/TAVLO.mdb");
    tavlo::createEmptyDatabase(db);
    {
        QSqlDatabase c = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("seed"));
        c.setDatabaseName(db);
        c.open();
        c.transaction();
        QSqlQuery q(c);
        for (int g = 0; g < games; ++g) {
            q.exec(QStringLiteral("insert into lists (list_name, listbox_order) values ('Game %1', %1)").arg(g));
            const qlonglong id = q.lastInsertId().toLongLong();
            for (int p = 0; p < players; ++p)
                q.exec(QStringLiteral("insert into list_content (list_id, player_name, player_number, player_phone, listbox_order) "
                                      "values (%1, 'Player %2<star>', 0, '', %2)").arg(id).arg(p));
        }
        c.commit();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("seed"));
    QFile ini(folder + QStringLiteral("/TAVLO.ini"));
    ini.open(QIODevice::WriteOnly);
    ini.write(("DataBase=" + db + "\r\nFilePath=" + folder + "/\r\n").toUtf8() + moreSettings);
}

} // namespace bench
