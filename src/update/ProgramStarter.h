#pragma once

#include <QString>

namespace tavlo {

// Starts a program on its own, without a window of ours and without waiting for it.
// Tests observe the call through their own implementation.
class ProgramStarter {
public:
    virtual ~ProgramStarter() = default;
    // No arguments are passed. Returns false when the program could not be started.
    virtual bool startDetached(const QString &program, const QString &workingFolder) = 0;
};

class DetachedProgramStarter final : public ProgramStarter {
public:
    bool startDetached(const QString &program, const QString &workingFolder) override;
};

} // namespace tavlo
