#include "BusyRoom.h"

#include "store/Schema.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTimeZone>
#include <QVariant>

#include <algorithm>
#include <cmath>

namespace tavlo::tools {

namespace {

struct Waiting {
    qint64 id;
    QString name;
    QDateTime added;
};

struct Change {
    QDateTime at;
    QString command;
    qint64 game;
    qint64 player;
    QString gameName;
    QString playerName;
    QJsonObject details;
};

QJsonValue timeJson(const QDateTime &time)
{
    return time.isValid() ? QJsonValue(time.toUTC().toString(Qt::ISODateWithMs)) : QJsonValue();
}

QJsonObject placed(const Waiting &player, int position)
{
    return {{QStringLiteral("id"), player.id},
            {QStringLiteral("name"), player.name},
            {QStringLiteral("position"), position},
            {QStringLiteral("added"), timeJson(player.added)}};
}

const char *const GameNames[] = {"1/2 NL", "2/5 NL", "5/10 NL", "1/2 PLO", "2/5 PLO", "Limit 4/8", "Stud 7", "Mixed",
                                 "Big O", "Short deck"};
const char *const FirstNames[] = {"Alice", "Ben", "Carla", "Dmitri", "Eve", "Farid", "Grace", "Hugo", "Ines", "Jon",
                                  "Kim", "Lars", "Maya", "Nils", "Olga", "Pia", "Quinn", "Rosa", "Sam", "Tove"};

} // namespace

QString makeBusyRoom(const QString &path, int games, int days, const QDateTime &now, quint32 seed)
{
    QString error = createEmptyDatabase(path);
    if (!error.isEmpty())
        return error;
    QRandomGenerator random(seed);
    const auto chance = [&random] { return random.generateDouble(); };

    QList<Change> changes;
    QList<QList<Waiting>> lists(games);
    QStringList names;
    qint64 nextPlayer = 1;
    const QDate today = now.toUTC().date();
    const QDateTime first(today.addDays(-days + 1), QTime(11, 0), QTimeZone::utc());
    for (int g = 0; g < games; ++g) {
        names << QStringLiteral("%1 #%2").arg(QLatin1String(GameNames[g % std::size(GameNames)])).arg(g / int(std::size(GameNames)) + 1);
        changes.append({first.addSecs(g), QStringLiteral("add game"), g + 1, 0, names[g], {}, {{QStringLiteral("position"), g}}});
    }
    for (int d = 0; d < days; ++d) {
        const QDateTime open(today.addDays(-days + 1 + d), QTime(12, 0), QTimeZone::utc());
        const QDateTime close = std::min(open.addSecs(16 * 3600), now);
        for (int g = 0; g < games; ++g) {
            QList<Waiting> &list = lists[g];
            const qint64 game = g + 1;
            QDateTime t = open;
            while (true) {
                // A change about every six minutes.
                t = t.addMSecs(qint64(-std::log(1.0 - chance()) * 5.7 * 60 * 1000));
                if (t >= close)
                    break;
                const double r = chance();
                const auto nameAt = [&list](qsizetype i) { return list[i].name; };
                if (list.size() < 3 || r < 0.42) {
                    const Waiting player{nextPlayer++, QString::fromLatin1(FirstNames[random.bounded(int(std::size(FirstNames)))])
                                                           + QStringLiteral(" %1.").arg(QChar(u'A' + random.bounded(26))),
                                         t};
                    list.append(player);
                    changes.append({t, QStringLiteral("add player"), game, player.id, names[g], player.name,
                                    placed(player, int(list.size() - 1))});
                } else if (r < 0.86) {
                    // Seated from the top; now and then one gives up further down.
                    const int position = r < 0.82 ? random.bounded(int(std::min<qsizetype>(3, list.size())))
                                                  : random.bounded(int(list.size()));
                    const Waiting player = list.takeAt(position);
                    changes.append({t, QStringLiteral("delete player"), game, player.id, names[g], player.name,
                                    placed(player, position)});
                } else if (r < 0.93) {
                    const int from = random.bounded(int(list.size()));
                    const int to = random.bounded(int(list.size()));
                    if (from == to)
                        continue;
                    const QString name = nameAt(from);
                    list.move(from, to);
                    changes.append({t, QStringLiteral("move player"), game, list[to].id, names[g], name,
                                    {{QStringLiteral("from"), from}, {QStringLiteral("to"), to}}});
                } else {
                    Waiting &player = list[random.bounded(int(list.size()))];
                    const QString before = player.name;
                    player.name = before.endsWith(QLatin1String("<star>")) ? before.chopped(6) : before + QStringLiteral("<star>");
                    changes.append({t, QStringLiteral("star"), game, player.id, names[g], player.name.section(QLatin1Char('<'), 0, 0),
                                    {{QStringLiteral("before"), before}, {QStringLiteral("after"), player.name}}});
                }
            }
            if (close < now && !list.isEmpty()) {
                QJsonArray cleared;
                for (qsizetype i = 0; i < list.size(); ++i)
                    cleared.append(placed(list[i], int(i)));
                changes.append({close, QStringLiteral("delete all players"), game, 0, names[g], {},
                                {{QStringLiteral("players"), cleared}}});
                list.clear();
            }
        }
    }
    std::stable_sort(changes.begin(), changes.end(), [](const Change &a, const Change &b) { return a.at < b.at; });

    const QString connection = QStringLiteral("tavlo-busy-room");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(path);
        QSqlQuery query(db);
        const auto fail = [&error](const QSqlQuery &q) {
            error = q.lastError().text();
            return false;
        };
        const auto fill = [&]() -> bool {
            if (!db.open() || !query.exec(QStringLiteral("BEGIN")))
                return fail(query);
            if (!query.prepare(QStringLiteral("INSERT INTO lists (id, list_name, listbox_order) VALUES (?, ?, ?)")))
                return fail(query);
            for (int g = 0; g < games; ++g) {
                query.addBindValue(g + 1);
                query.addBindValue(names[g]);
                query.addBindValue(g);
                if (!query.exec())
                    return fail(query);
            }
            if (!query.prepare(QStringLiteral("INSERT INTO list_content (id, list_id, player_name, player_number, player_phone, "
                                              "listbox_order, added_at) VALUES (?, ?, ?, 0, '', ?, ?)")))
                return fail(query);
            for (int g = 0; g < games; ++g) {
                for (qsizetype i = 0; i < lists[g].size(); ++i) {
                    query.addBindValue(lists[g][i].id);
                    query.addBindValue(g + 1);
                    query.addBindValue(lists[g][i].name);
                    query.addBindValue(int(i));
                    query.addBindValue(lists[g][i].added.toString(Qt::ISODateWithMs));
                    if (!query.exec())
                        return fail(query);
                }
            }
            if (!query.prepare(QStringLiteral("INSERT INTO journal (made_at, desk, command, game_id, player_id, game_name, "
                                              "player_name, details, reverted, undoable) VALUES (?, 'desk', ?, ?, ?, ?, ?, ?, 0, 0)")))
                return fail(query);
            for (const Change &change : std::as_const(changes)) {
                query.addBindValue(change.at.toUTC().toString(Qt::ISODateWithMs));
                query.addBindValue(change.command);
                query.addBindValue(change.game);
                query.addBindValue(change.player);
                query.addBindValue(change.gameName);
                query.addBindValue(change.playerName);
                query.addBindValue(QString::fromUtf8(QJsonDocument(change.details).toJson(QJsonDocument::Compact)));
                if (!query.exec())
                    return fail(query);
            }
            return query.exec(QStringLiteral("COMMIT")) || fail(query);
        };
        fill();
        query.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
    return error;
}

} // namespace tavlo::tools
