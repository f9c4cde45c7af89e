#pragma once

#include "platform/ProcessEnd.h"

namespace tavlo::test {

// Records that the program would have ended, and returns.
class RecordingProcessEnd final : public ProcessEnd {
public:
    void endNow(int code) override
    {
        ++calls;
        lastCode = code;
    }
    bool ended() const { return calls > 0; }

    int calls = 0;
    int lastCode = 0;
};

} // namespace tavlo::test
