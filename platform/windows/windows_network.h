#pragma once

#include "platform/platform.h"

namespace vt::platform::windows {

class WindowsNetwork : public Network {
public:
    std::vector<Ipv4Interface> localInterfaces() const override;
    std::optional<std::uint32_t> resolveIpv4(std::string_view host) const override;
};

}  // namespace vt::platform::windows
