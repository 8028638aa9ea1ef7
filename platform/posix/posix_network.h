#pragma once

#include "platform/platform.h"

namespace vt::platform::posix {

class PosixNetwork : public Network {
public:
    std::vector<Ipv4Interface> localInterfaces() const override;
    std::optional<std::uint32_t> resolveIpv4(std::string_view host) const override;
};

}  // namespace vt::platform::posix
