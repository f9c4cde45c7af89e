#pragma once

#include <QMetaType>
#include <QString>

namespace tavlo {

// The three markers a player can carry. They are stored as tags appended to the bare name, in
// the order blink, star, phone.
struct PlayerMarkers {
    bool blink = false;
    bool star = false;
    bool phone = false;
    bool operator==(const PlayerMarkers &) const = default;
};

inline const QString BlinkTag = QStringLiteral("<blink>");
inline const QString StarTag = QStringLiteral("<star>");
inline const QString PhoneTag = QStringLiteral("<phone>");

enum class Marker { Blink, Star, Phone };
const QString &tagOf(Marker marker);
bool &flagOf(PlayerMarkers &markers, Marker marker);

struct MarkedName {
    QString bareName; // untrimmed, every recognised tag removed
    PlayerMarkers markers;
};

// Each tag found anywhere in the stored name (exact case) sets its marker and is removed.
MarkedName readMarkers(const QString &storedName);

// The tags of the markers that are on, in the order they are stored.
const QString &tagsOf(const PlayerMarkers &markers);

// The typed name without its surrounding blanks, followed by the tags of the markers that are on.
QString writeMarkers(const QString &typedName, const PlayerMarkers &markers);

} // namespace tavlo

Q_DECLARE_METATYPE(tavlo::PlayerMarkers)
