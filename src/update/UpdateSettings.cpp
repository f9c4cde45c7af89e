#include "update/UpdateSettings.h"

namespace tavlo {

QString runningVersionText()
{
    // Three 16-bit numbers, as the program's version always had.
    const qint16 major = TAVLO_VERSION_MAJOR;
    const qint16 minor = TAVLO_VERSION_MINOR;
    const qint16 revision = TAVLO_VERSION_REVISION;
    return QString::number(major) + QLatin1Char('.') + QString::number(minor) + QLatin1Char('.')
           + QString::number(revision);
}

UpdateSettings UpdateSettings::builtIn()
{
    UpdateSettings settings;
    settings.updateRoot = QStringLiteral(TAVLO_UPDATE_ROOT_URL);
    settings.publicKey = QByteArray(TAVLO_UPDATE_PUBLIC_KEY_LINE).trimmed();
    settings.runningVersion = runningVersionText();
    settings.sizeLimit = qint64(TAVLO_UPDATE_SIZE_LIMIT_BYTES);
    settings.deadline = TAVLO_UPDATE_DEADLINE_SECONDS * 1000;
    settings.stallTimeout = TAVLO_UPDATE_STALL_SECONDS * 1000;
    return settings;
}

QString UpdateSettings::updateFolder() const
{
    QString root = updateRoot.trimmed();
    while (root.endsWith(QLatin1Char('/')))
        root.chop(1);
    return root + QStringLiteral("/software/upgrade/tavlo/");
}

} // namespace tavlo
