#include "board/PlayerMarkers.h"

#include "base/TextFile.h"

namespace tavlo {

const QString &tagOf(Marker marker)
{
    switch (marker) {
    case Marker::Blink:
        return BlinkTag;
    case Marker::Star:
        return StarTag;
    case Marker::Phone:
        break;
    }
    return PhoneTag;
}

bool &flagOf(PlayerMarkers &markers, Marker marker)
{
    switch (marker) {
    case Marker::Blink:
        return markers.blink;
    case Marker::Star:
        return markers.star;
    case Marker::Phone:
        break;
    }
    return markers.phone;
}

MarkedName readMarkers(const QString &storedName)
{
    MarkedName result{storedName, {}};
    for (const Marker marker : {Marker::Blink, Marker::Star, Marker::Phone}) {
        if (result.bareName.contains(tagOf(marker))) {
            flagOf(result.markers, marker) = true;
            result.bareName.remove(tagOf(marker));
        }
    }
    return result;
}

QString writeMarkers(const QString &typedName, const PlayerMarkers &markers)
{
    QString name = trimBlanks(typedName);
    if (markers.blink)
        name += BlinkTag;
    if (markers.star)
        name += StarTag;
    if (markers.phone)
        name += PhoneTag;
    return name;
}

} // namespace tavlo
