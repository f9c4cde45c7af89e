#pragma once

namespace tavlo {

// Ending the program at once, without any further event or clean-up.
// The real one never returns; a test one records the call and returns, so callers
// must stop what they are doing right after calling it.
class ProcessEnd {
public:
    virtual ~ProcessEnd() = default;
    virtual void endNow(int exitCode) = 0;
};

class ImmediateProcessEnd final : public ProcessEnd {
public:
    [[noreturn]] void endNow(int exitCode) override;
};

} // namespace tavlo
