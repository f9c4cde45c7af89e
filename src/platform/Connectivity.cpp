#include "platform/Connectivity.h"

#include <QNetworkInformation>
#include <QNetworkInterface>

namespace tavlo {

bool SystemConnectivity::isOnline()
{
    if (QNetworkInformation::loadBackendByFeatures(QNetworkInformation::Feature::Reachability)) {
        const auto *info = QNetworkInformation::instance();
        if (info && info->reachability() != QNetworkInformation::Reachability::Unknown)
            return info->reachability() == QNetworkInformation::Reachability::Online;
    }
    const auto interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface &iface : interfaces) {
        const auto flags = iface.flags();
        if (!(flags & QNetworkInterface::IsUp) || !(flags & QNetworkInterface::IsRunning)
            || (flags & QNetworkInterface::IsLoopBack))
            continue;
        if (!iface.addressEntries().isEmpty())
            return true;
    }
    return false;
}

} // namespace tavlo
