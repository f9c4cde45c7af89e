#include "core/PlayerMarkers.h"

#include "base/TextFile.h"

namespace tavlo {

MarkedName readMarkers(const QString &storedName)
{
    MarkedName result{storedName, {}};
    const auto take = [&result](const QString &tag, bool &flag) {
        if (result.bareName.contains(tag)) {
            flag = true;
            result.bareName.remove(tag);
        }
    };
    take(BlinkTag, result.markers.blink);
    take(StarTag, result.markers.star);
    take(PhoneTag, result.markers.phone);
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

QString renderPlayerName(const QString &storedName)
{
    QString shown = storedName;
    shown.replace(StarTag, QStringLiteral("&#9733;"));
    shown.replace(PhoneTag, QStringLiteral("&#9742;"));
    if (shown.contains(BlinkTag)) {
        shown.remove(BlinkTag);
        shown = BlinkTag + shown + QStringLiteral("</blink>");
    }
    return shown;
}

} // namespace tavlo
