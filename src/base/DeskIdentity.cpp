#include "base/DeskIdentity.h"

#include "base/TextFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSysInfo>
#include <QUuid>

namespace tavlo {

QString deskIdentityPath(const QString &programFolder)
{
    return programFolder + QDir::separator() + QLatin1String("TAVLO-Desk.id");
}

std::optional<SettingsFile::Failure> loadDeskIdentity(const QString &programFolder, DeskIdentity &identity)
{
    const QString path = deskIdentityPath(programFolder);
    identity.hostName = QSysInfo::machineHostName();
    QUuid id;
    if (QFileInfo::exists(path)) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return SettingsFile::Failure{SettingsFile::Job::Read, path, {}};
        // One line; anything longer is not ours.
        id = QUuid::fromString(QString::fromLatin1(file.read(64)).trimmed());
    }
    identity.isNew = id.isNull();
    if (identity.isNew) {
        id = QUuid::createUuid();
        if (!writeFileAtomically(path, id.toByteArray(QUuid::WithoutBraces) + "\r\n").isEmpty())
            return SettingsFile::Failure{SettingsFile::Job::Write, path, {}};
    }
    identity.id = id.toString(QUuid::WithoutBraces);
    return std::nullopt;
}

} // namespace tavlo
