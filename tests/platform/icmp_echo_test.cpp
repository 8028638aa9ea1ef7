// ICMP echo of many addresses at once, on loopback: which entries count as answered.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

#include "platform/icmp_echo.h"

namespace vt::platform {
namespace {

using Addresses = std::vector<std::optional<std::uint32_t>>;

constexpr std::chrono::milliseconds kTimeout{10};

// 127.a.b.c in network byte order.
std::uint32_t loopback(unsigned a, unsigned b, unsigned c) {
    const std::uint8_t bytes[4] = {127, static_cast<std::uint8_t>(a), static_cast<std::uint8_t>(b),
                                   static_cast<std::uint8_t>(c)};
    std::uint32_t address = 0;
    static_assert(sizeof address == sizeof bytes);
    std::memcpy(&address, bytes, sizeof address);
    return address;
}

class IcmpEchoTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_echo = openIcmpEcho();
        ASSERT_NE(m_echo, nullptr) << "no ICMP socket can be opened: neither an ICMP datagram "
                                      "socket (net.ipv4.ping_group_range) nor a raw one (root)";
    }
    std::unique_ptr<IcmpEcho> m_echo;
};

TEST_F(IcmpEchoTest, OnlyRealAddressesAreAnswered) {
    const Addresses addresses{std::nullopt, 0U, loopback(0, 0, 1), loopback(0, 0, 1),
                              loopback(200, 3, 4)};
    EXPECT_EQ(m_echo->echoAll(addresses, kTimeout),
              (std::vector<bool>{false, false, true, true, true}));
}

TEST_F(IcmpEchoTest, NothingToPingGivesNothing) {
    EXPECT_TRUE(m_echo->echoAll({}, kTimeout).empty());
    EXPECT_EQ(m_echo->echoAll({std::nullopt, 0U}, kTimeout), (std::vector<bool>{false, false}));
}

TEST_F(IcmpEchoTest, EndpointServesOneCallAfterAnother) {
    for (int round = 0; round < 3; ++round) {
        EXPECT_EQ(m_echo->echoAll({loopback(0, 0, 1)}, kTimeout), std::vector<bool>{true});
    }
}

TEST_F(IcmpEchoTest, MoreRequestsThanOneBatchHoldsAreAllMatched) {
    // More entries than one window of sequence numbers takes, and the same address many
    // times over.
    Addresses addresses;
    for (unsigned i = 0; i < 40000; ++i) {
        addresses.emplace_back(loopback(1, (i / 200) % 250, i % 200 + 1));
    }
    const std::vector<bool> answered = m_echo->echoAll(addresses, kTimeout);
    ASSERT_EQ(answered.size(), addresses.size());
    EXPECT_EQ(std::count(answered.begin(), answered.end(), true), 40000);
}

TEST_F(IcmpEchoTest, EndpointsSideBySideBothGetTheirReplies) {
    // As when several ping runs overlap: each endpoint sees the other's replies too (a raw
    // socket sees every one) and must still find all of its own.
    const auto other = openIcmpEcho();
    ASSERT_NE(other, nullptr);
    Addresses first;
    Addresses second;
    for (unsigned i = 0; i < 2000; ++i) {
        first.emplace_back(loopback(2, i / 250, i % 250 + 1));
        second.emplace_back(loopback(3, i / 250, i % 250 + 1));
    }
    std::vector<bool> firstAnswered;
    std::thread worker([&] { firstAnswered = m_echo->echoAll(first, kTimeout); });
    const std::vector<bool> secondAnswered = other->echoAll(second, kTimeout);
    worker.join();
    EXPECT_EQ(std::count(firstAnswered.begin(), firstAnswered.end(), true), 2000);
    EXPECT_EQ(std::count(secondAnswered.begin(), secondAnswered.end(), true), 2000);
}

TEST(IcmpEchoFreeFunctionTest, OpensItsOwnEndpoint) {
    EXPECT_EQ(echoAll({loopback(0, 0, 1), std::nullopt}, kTimeout),
              (std::vector<bool>{true, false}));
}

}  // namespace
}  // namespace vt::platform
