#include "display/DisplayFolder.h"

#include "platform/ProgramFolder.h"
#include "base/Settings.h"

#include <QDir>
#include <QFile>

namespace tavlo::display {

namespace {

// Settings files are a few hundred bytes; anything far larger is not one.
constexpr qint64 kMaxSettingsSize = 1 << 20;

} // namespace

QString displayFolder(const QString &programFolder)
{
    const QString settings = programFolder + QDir::separator() + QLatin1String(kSettingsFileName);
    QFile file(settings);
    const QString value = file.open(QIODevice::ReadOnly)
            ? SettingsFile::value(file.read(kMaxSettingsSize), QStringLiteral("FILEPATH")).value_or(QString())
            : QString();
    if (!value.isEmpty())
        return value;
    return withTrailingSeparator(programFolder);
}

QString fragmentPath(const QString &displayFolder)
{
    return displayFolder + QLatin1String(kFragmentFileName);
}

} // namespace tavlo::display
