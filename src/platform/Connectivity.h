#pragma once

namespace tavlo {

// Whether the machine reports a connection to the outside world.
class Connectivity {
public:
    virtual ~Connectivity() = default;
    virtual bool isOnline() = 0;
};

// Asks the toolkit's reachability backend when one is loaded; otherwise a machine counts as
// online when some non-loopback interface is up and holds an address.
class SystemConnectivity final : public Connectivity {
public:
    bool isOnline() override;
};

} // namespace tavlo
