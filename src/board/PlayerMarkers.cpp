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

const QString &tagsOf(const PlayerMarkers &markers)
{
    static const QString tags[8] = {{},
                                    BlinkTag,
                                    StarTag,
                                    BlinkTag + StarTag,
                                    PhoneTag,
                                    BlinkTag + PhoneTag,
                                    StarTag + PhoneTag,
                                    BlinkTag + StarTag + PhoneTag};
    return tags[int(markers.blink) | int(markers.star) << 1 | int(markers.phone) << 2];
}

QString writeMarkers(const QString &typedName, const PlayerMarkers &markers)
{
    return trimBlanks(typedName) + tagsOf(markers);
}

} // namespace tavlo
