#include "display/PhoneBoard.h"

#include "board/BoardFile.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace tavlo::display {

namespace {

QByteArray encoded(const QJsonValue &changed, bool fullNames, const QJsonArray &games)
{
    const QJsonObject root{{QStringLiteral("changed"), changed},
                           {QStringLiteral("fullNames"), fullNames},
                           {QStringLiteral("games"), games}};
    return QJsonDocument(root).toJson(QJsonDocument::Compact);
}

} // namespace

QByteArray PhoneBoard::fromBoard(const BoardSnapshot &board, bool fullNames)
{
    QJsonArray games;
    for (const WaitingGame &game : board.games) {
        QJsonArray players;
        int position = 0;
        for (const WaitingPlayer &player : game.players) {
            QJsonObject shown{
                    {QStringLiteral("position"), ++position},
                    {QStringLiteral("name"), player.name},
                    {QStringLiteral("star"), player.markers.star},
                    {QStringLiteral("phone"), player.markers.phone},
                    {QStringLiteral("blink"), player.markers.blink},
                    {QStringLiteral("added"),
                     player.addedAt.isValid() ? QJsonValue(boardFileTime(player.addedAt)) : QJsonValue()},
            };
            // A call's end and an away's start, where there is one: the page counts on its own.
            if (player.callEnds.isValid())
                shown.insert(QStringLiteral("callEnds"), boardFileTime(player.callEnds));
            if (player.awaySince.isValid())
                shown.insert(QStringLiteral("away"), boardFileTime(player.awaySince));
            players.append(shown);
        }
        QJsonObject shown{{QStringLiteral("name"), game.name}, {QStringLiteral("players"), players}};
        // A player asking "how long?" from the bar gets the desk's answer.
        if (!game.estimate.isEmpty())
            shown.insert(QStringLiteral("estimate"), game.estimate);
        if (game.interest)
            shown.insert(QStringLiteral("interest"), true);
        games.append(shown);
    }
    return encoded(board.changedAt.isValid() ? QJsonValue(boardFileTime(board.changedAt)) : QJsonValue(), fullNames,
                   games);
}

QByteArray PhoneBoard::fromFragment(const ScreenBoard &board, const GameFilter &filter, bool fullNames)
{
    QJsonArray games;
    if (board.isFragment) {
        const ScreenBoard shown = adaptedBoard(board, filter, !fullNames);
        for (const QList<ScreenGame> &row : shown.rows) {
            for (const ScreenGame &game : row) {
                QJsonArray players;
                for (const ScreenEntry &entry : game.entries) {
                    if (entry.isBlank())
                        continue;
                    players.append(QJsonObject{{QStringLiteral("position"), players.size() + 1},
                                               {QStringLiteral("name"), entry.text},
                                               {QStringLiteral("blink"), entry.blink},
                                               {QStringLiteral("added"), QJsonValue()}});
                }
                games.append(QJsonObject{{QStringLiteral("name"), game.name}, {QStringLiteral("players"), players}});
            }
        }
    }
    return encoded(QJsonValue(), fullNames, games);
}

QByteArray PhoneBoard::empty()
{
    return encoded(QJsonValue(), false, QJsonArray());
}

} // namespace tavlo::display
