#pragma once

#include <QString>

namespace tavlo {

// The three markers a player's stored name can carry, as tags appended to the bare name.
struct PlayerMarkers {
    bool blink = false;
    bool star = false;
    bool phone = false;
};

inline const QString BlinkTag = QStringLiteral("<blink>");
inline const QString StarTag = QStringLiteral("<star>");
inline const QString PhoneTag = QStringLiteral("<phone>");

struct MarkedName {
    QString bareName; // untrimmed, every recognised tag removed
    PlayerMarkers markers;
};

// Each tag found anywhere in the text (exact case) sets its flag and every occurrence is removed.
MarkedName readMarkers(const QString &storedName);

// The trimmed name followed by the tags of the markers that are on, in the order blink, star, phone.
QString writeMarkers(const QString &typedName, const PlayerMarkers &markers);

// A stored name as the large screen shows it: star and phone as symbols, the whole wrapped in
// <blink> when it carries the blink tag. Nothing else is escaped.
QString renderPlayerName(const QString &storedName);

} // namespace tavlo
