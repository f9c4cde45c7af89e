#include "room/ListEffect.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace tavlo {

ListEffect ListEffect::of(const JournalRecord &entry)
{
    ListEffect effect;
    const QString &c = entry.command;
    if (c == QLatin1String("add player")) {
        effect.added = 1;
    } else if (c == QLatin1String("add game")) {
        effect.gameAdded = true;
    } else if (c == QLatin1String("delete player")) {
        const QJsonObject details = QJsonDocument::fromJson(entry.details).object();
        effect.removed = 1;
        effect.leftOne = true;
        const QJsonValue position = details.value(QLatin1String("position"));
        effect.position = position.isDouble() ? position.toInt() : -1;
        const QJsonValue added = details.value(QLatin1String("added"));
        if (added.isString())
            effect.addedAt = QDateTime::fromString(added.toString(), Qt::ISODateWithMs).toUTC();
    } else if (c == QLatin1String("delete all players") || c == QLatin1String("delete game")) {
        const QJsonObject details = QJsonDocument::fromJson(entry.details).object();
        effect.removed = int(details.value(QLatin1String("players")).toArray().size());
    }
    return effect;
}

} // namespace tavlo
