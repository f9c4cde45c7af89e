// The settings reader on arbitrary bytes: it must never crash, whatever the file holds.
#include "core/SettingsFile.h"
#include "core/WindowState.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    tavlo::WindowState state;
    tavlo::readSettingsText(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)), state);
    return 0;
}
