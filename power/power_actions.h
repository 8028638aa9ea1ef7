#pragma once

#include <string>

namespace vt::power {

// The two power commands of a group, as the scheduler and the row buttons call them.
class PowerActions {
public:
    virtual ~PowerActions() = default;
    virtual void PowerUp(const std::string& group) = 0;
    virtual void Shutdown(const std::string& group) = 0;
};

}  // namespace vt::power
