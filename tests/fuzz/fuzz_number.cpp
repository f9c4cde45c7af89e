// The leading-number reader on arbitrary text, and the 16-bit conversion of what it reads.
#include "base/LeadingNumber.h"

#include <QString>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const double value = tavlo::leadingNumber(text);
    if (std::isnan(value))
        std::abort(); // the grammar has no way to spell a NaN
    tavlo::toInt16(value);
    tavlo::wholeNumber(text);
    return 0;
}
