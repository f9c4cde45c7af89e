#pragma once

#include <QDateTime>
#include <QString>

namespace tavlo::tools {

// A busy card room's history, as the console would have written it: `games` games open from
// noon to four in the morning every day for `days` days up to `now`, players joining,
// seated from the top, giving up, moved and starred, each list cleared at closing, except
// today's, whose players are still waiting. About 165 changes per game and day. Returns an
// empty string, or what failed. The file must not exist yet.
QString makeBusyRoom(const QString &path, int games, int days, const QDateTime &now, quint32 seed = 1);

} // namespace tavlo::tools
