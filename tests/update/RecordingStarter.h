#pragma once

#include "ProgramStarter.h"

#include <QStringList>

namespace tavlo::test {

// Records each start; really starts the program unless told to report a failure.
class RecordingStarter final : public ProgramStarter {
public:
    bool startDetached(const QString &program, const QString &workingFolder) override
    {
        programs << program;
        folders << workingFolder;
        if (refuse)
            return false;
        return real.startDetached(program, workingFolder);
    }

    QStringList programs;
    QStringList folders;
    bool refuse = false;
    DetachedProgramStarter real;
};

} // namespace tavlo::test
