#include "base/DisplayFiles.h"

#include <QDir>

namespace tavlo {

QString displayFolderPath(const QString &filePathSetting, const QString &programFolder)
{
    const QString folder = filePathSetting.isEmpty() ? programFolder : filePathSetting;
    if (folder.endsWith(QLatin1Char('/')) || folder.endsWith(QDir::separator()))
        return folder;
    return folder + QDir::separator();
}

} // namespace tavlo
