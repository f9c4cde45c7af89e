#include "display/DisplayFolder.h"

#include "platform/ProgramFolder.h"
#include "base/TextFile.h"

#include <QDir>
#include <QFile>

namespace tavlo::display {

namespace {

// Settings files are a few hundred bytes; anything far larger is not one.
constexpr qint64 kMaxSettingsSize = 1 << 20;

QString filePathSetting(const QString &settingsPath)
{
    QFile file(settingsPath);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QStringList lines = splitLines(decodeSystemText(file.read(kMaxSettingsSize)));
    QString value;
    for (const QString &line : lines) {
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals <= 0)
            continue;
        if (line.left(equals).toUpper() == QLatin1String("FILEPATH"))
            value = line.mid(equals + 1);
    }
    return value;
}

} // namespace

QString displayFolder(const QString &programFolder)
{
    const QString settings = programFolder + QDir::separator() + QLatin1String(kSettingsFileName);
    const QString value = filePathSetting(settings);
    if (!value.isEmpty())
        return value;
    return withTrailingSeparator(programFolder);
}

QString fragmentPath(const QString &displayFolder)
{
    return displayFolder + QLatin1String(kFragmentFileName);
}

} // namespace tavlo::display
