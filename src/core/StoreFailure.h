#pragma once

#include <QString>

namespace tavlo {

struct WindowState;
struct Platform;

// The error report for a failed store or file operation: drops what the open bracket
// changed, names the failure in a critical message box titled "TAVLO", and ends the program.
void reportStoreFailure(const QString &message, WindowState &state, const Platform &platform);

// Runs a command; a StoreError escaping it is reported as above. Returns false when it failed.
template <typename Command>
bool runGuarded(WindowState &state, const Platform &platform, Command &&command);

} // namespace tavlo

#include "core/StoreError.h"

template <typename Command>
bool tavlo::runGuarded(WindowState &state, const Platform &platform, Command &&command)
{
    try {
        command();
        return true;
    } catch (const StoreError &error) {
        reportStoreFailure(error.message(), state, platform);
    }
    return false;
}
