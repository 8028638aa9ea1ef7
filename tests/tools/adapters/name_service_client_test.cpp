// The name service client on loopback while datagrams that are none of its answers keep
// arriving: each wait still ends at its deadline, not when the flood stops.

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <sys/socket.h>

#include <array>
#include <chrono>
#include <thread>

#include "tools/adapters/name_service_client.h"

namespace vt::adapters {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

TEST(NameServiceFloodTest, QueriesEndAtTheirDeadlineWhilePacketsKeepArriving) {
    const Ipv4Address loopback{0x7F000001};
    std::string error;
    auto client = NameServiceSocket::open(error, loopback);
    auto flooder = NameServiceSocket::open(error, loopback);
    ASSERT_TRUE(client && flooder) << error;
    // A backlog that the client takes a while to read (as far as root may grow its buffer),
    // sent in batches faster than it reads, so that it never finds its socket empty.
    const int backlogBytes = 64 << 20;
    ::setsockopt(client->descriptor(), SOL_SOCKET, SO_RCVBUFFORCE, &backlogBytes,
                 sizeof backlogBytes);
    sockaddr_in to{};
    socklen_t length = sizeof to;
    ::getsockname(client->descriptor(), reinterpret_cast<sockaddr*>(&to), &length);
    std::string unrelated = encodePacket(nodeStatusRequest(7));
    iovec part{unrelated.data(), unrelated.size()};
    std::array<mmsghdr, 64> batch{};
    for (mmsghdr& message : batch) {
        message.msg_hdr = {&to, length, &part, 1, nullptr, 0, 0};
    }
    const std::jthread flood([&](const std::stop_token& stop) {
        const auto end = Clock::now() + 6s;  // longer than any bound below
        while (!stop.stop_requested() && Clock::now() < end) {
            ::sendmmsg(flooder->descriptor(), batch.data(), batch.size(), 0);
        }
    });
    std::this_thread::sleep_for(200ms);

    auto began = Clock::now();
    queryNodeStatuses(*client, {loopback}, QueryTiming{300ms, 1});
    EXPECT_LT(Clock::now() - began, 1600ms) << "two waits of 300 ms";
    began = Clock::now();
    wildcardResponders(*client, {loopback}, 300ms);
    EXPECT_LT(Clock::now() - began, 1300ms) << "one window of 300 ms";
}

}  // namespace
}  // namespace vt::adapters
