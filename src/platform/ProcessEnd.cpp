#include "platform/ProcessEnd.h"

#include <cstdio>
#include <cstdlib>

namespace tavlo {

void ImmediateProcessEnd::endNow(int exitCode)
{
    std::fflush(nullptr);
    std::_Exit(exitCode);
}

} // namespace tavlo
