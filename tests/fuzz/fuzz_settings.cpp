// The settings reader on arbitrary bytes: it must never crash, whatever the file holds, and
// what it reads it writes back so that it reads the same again.
#include "base/Settings.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    tavlo::Settings settings;
    if (!tavlo::SettingsFile::parse(bytes, settings))
        return 0;
    tavlo::Settings again;
    // Paths holding a line end cannot survive a line-based file; everything else must.
    const bool lineEnds = settings.databasePath.contains(QLatin1Char('\r')) || settings.databasePath.contains(QLatin1Char('\n'))
        || settings.displayFolder.contains(QLatin1Char('\r')) || settings.displayFolder.contains(QLatin1Char('\n'));
    if (!tavlo::SettingsFile::parse(tavlo::SettingsFile::render(settings), again) || (!lineEnds && !(again == settings)))
        std::abort();
    tavlo::SettingsFile::value(bytes, QStringLiteral("FILEPATH"));
    return 0;
}
