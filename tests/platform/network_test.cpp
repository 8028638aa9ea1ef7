#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/native_platform.h"

namespace vt::platform {
namespace {

// The system's own network, the same on every system: these tests run on Windows too.
class NetworkTest : public ::testing::Test {
protected:
    const Network& network() const { return m_native->platform().network; }

private:
    std::unique_ptr<NativePlatform> m_native = createNativePlatform();
};

// The four bytes of an address kept in network order.
std::vector<int> bytesOf(std::uint32_t networkOrder) {
    unsigned char bytes[4];
    std::memcpy(bytes, &networkOrder, 4);
    return {bytes[0], bytes[1], bytes[2], bytes[3]};
}

bool isDottedQuad(const std::string& text) {
    int parts = 0;
    std::size_t pos = 0;
    while (pos <= text.size()) {
        std::size_t end = text.find('.', pos);
        if (end == std::string::npos) {
            end = text.size();
        }
        const std::string part = text.substr(pos, end - pos);
        if (part.empty() || part.size() > 3 ||
            part.find_first_not_of("0123456789") != std::string::npos || std::stoi(part) > 255) {
            return false;
        }
        ++parts;
        pos = end + 1;
    }
    return parts == 4;
}

TEST_F(NetworkTest, ListsDottedInterfacesWithLoopbackLast) {
    const std::vector<Ipv4Interface> interfaces = network().localInterfaces();
    ASSERT_FALSE(interfaces.empty());
    bool loopbackSeen = false;
    bool loopbackPresent = false;
    for (const Ipv4Interface& item : interfaces) {
        EXPECT_TRUE(isDottedQuad(item.address)) << item.address;
        EXPECT_TRUE(isDottedQuad(item.mask)) << item.mask;
        const bool loopback = item.address.rfind("127.", 0) == 0;
        EXPECT_TRUE(loopback || !loopbackSeen) << item.address << " comes after the loopback";
        loopbackSeen = loopbackSeen || loopback;
        loopbackPresent =
            loopbackPresent || (item.address == "127.0.0.1" && item.mask == "255.0.0.0");
    }
    EXPECT_TRUE(loopbackPresent);
}

TEST_F(NetworkTest, ResolvesDottedAddressesAndNames) {
    ASSERT_TRUE(network().resolveIpv4("127.0.0.1").has_value());
    EXPECT_EQ(bytesOf(*network().resolveIpv4("127.0.0.1")), (std::vector<int>{127, 0, 0, 1}));
    EXPECT_EQ(bytesOf(*network().resolveIpv4("10.1.2.3")), (std::vector<int>{10, 1, 2, 3}));
    const auto localhost = network().resolveIpv4("localhost");
    ASSERT_TRUE(localhost.has_value());
    EXPECT_EQ(bytesOf(*localhost)[0], 127);
}

TEST_F(NetworkTest, UnresolvableNamesGiveNothing) {
    for (const std::string& host : {std::string("no-such-host.invalid"), std::string(),
                                    std::string(300, 'a'), std::string("bad name.invalid"),
                                    std::string("a\0b", 3), std::string("\xff\xfe.invalid")}) {
        EXPECT_EQ(network().resolveIpv4(host), std::nullopt) << host;
    }
}

}  // namespace
}  // namespace vt::platform
