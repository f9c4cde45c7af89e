#include "base/DisplayFiles.h"

#include "base/Settings.h"

#include <QDir>
#include <QFile>

namespace tavlo {

namespace {

// Settings files are a few hundred bytes; anything far larger is not one.
constexpr qint64 kMaxSettingsSize = 1 << 20;

} // namespace

QString displayFolderPath(const QString &filePathSetting, const QString &programFolder)
{
    const QString folder = filePathSetting.isEmpty() ? programFolder : filePathSetting;
    if (folder.endsWith(QLatin1Char('/')) || folder.endsWith(QDir::separator()))
        return folder;
    return folder + QDir::separator();
}

QString displayFolderOf(const QString &programFolder)
{
    QFile file(SettingsFile(programFolder).path());
    const QString setting = file.open(QIODevice::ReadOnly)
            ? SettingsFile::value(file.read(kMaxSettingsSize), QStringLiteral("FILEPATH")).value_or(QString())
            : QString();
    return displayFolderPath(setting, programFolder);
}

} // namespace tavlo
