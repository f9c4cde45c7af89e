#include "board/BoardSnapshot.h"

namespace tavlo {

WaitingPlayer WaitingPlayer::fromStoredName(const QString &storedName, const QDateTime &addedAt)
{
    MarkedName marked = readMarkers(storedName);
    WaitingPlayer player{std::move(marked.bareName), marked.markers, addedAt, {}};
    const QString &tags = tagsOf(player.markers);
    const bool usual = storedName.size() == player.name.size() + tags.size() && storedName.startsWith(player.name)
            && storedName.endsWith(tags);
    if (!usual)
        player.storedName = storedName;
    return player;
}

QString WaitingPlayer::storedNameAgain() const
{
    return storedName.isEmpty() ? name + tagsOf(markers) : storedName;
}

} // namespace tavlo
