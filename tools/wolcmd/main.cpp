// wolcmd MAC IP MASK [PORT]: wakes one machine by sending its Wake-on-LAN magic packet to
// the directed broadcast of its network, UDP port 9 unless a port is given.

#include <cstdint>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>

#include "platform/port_number.h"
#include "platform/wake_on_lan.h"

namespace {

constexpr std::string_view kUsage = "usage : wolcmd MAC IP MASQUE [PORT]";

int refuse(std::string_view message) {
    std::cerr << "wolcmd : " << message << '\n';
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace vt::platform;
    if (argc < 4 || argc > 5) {
        std::cerr << kUsage << '\n';
        return 1;
    }
    const std::string_view macText = argv[1];
    const std::string_view ipText = argv[2];
    const std::string_view maskText = argv[3];

    const std::optional<MacAddress> mac = parseMacAddress(macText);
    if (!mac) {
        return refuse("adresse MAC invalide : " + std::string(macText));
    }
    const std::optional<std::uint32_t> ip = parseDottedIpv4(ipText);
    if (!ip) {
        return refuse("adresse IP invalide : " + std::string(ipText));
    }
    const std::optional<std::uint32_t> mask = parseNetmask(maskText);
    if (!mask) {
        return refuse("masque invalide : " + std::string(maskText));
    }
    std::uint16_t port = kWakeOnLanPort;
    if (argc == 5) {
        const std::optional<std::uint16_t> given = parsePortNumber(argv[4]);
        if (!given) {
            return refuse("port invalide : " + std::string(argv[4]));
        }
        port = *given;
    }

    const std::uint32_t broadcast = directedBroadcast(*ip, *mask);
    const SendResult result = sendMagicPacket(*mac, broadcast, port);
    if (!result.sent) {
        return refuse(result.error);
    }
    std::cout << "wolcmd : paquet magique envoyé pour " << macAddressText(*mac) << " à "
              << dottedIpv4(broadcast) << ":" << port << '\n';
    return 0;
}
