// vtsim_wake TABLE DEVICE: the network cards in standby of the simulated school network.
// Listens for Wake-on-LAN magic packets (UDP port 9) arriving on the bridge DEVICE and brings
// the machine whose MAC address a packet names back on the network: its interface "eth0" in
// its own network namespace goes up. TABLE lists the machines that honour Wake-on-LAN, one
// "MAC NAMESPACE NAME" per line; a packet for any other address is logged and ignored.
// Runs until it is ended by a signal; one line on the standard error per packet.

#include <arpa/inet.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/wake_on_lan.h"

namespace {

using vt::platform::MacAddress;

struct Machine {
    std::string netns;
    std::string name;
};

std::optional<std::map<MacAddress, Machine>> readTable(const std::string& path) {
    std::ifstream in(path);
    if (!in) {
        return std::nullopt;
    }
    std::map<MacAddress, Machine> table;
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string mac;
        Machine machine;
        if (!(fields >> mac >> machine.netns >> machine.name)) {
            continue;
        }
        if (const auto parsed = vt::platform::parseMacAddress(mac)) {
            table[*parsed] = machine;
        } else {
            std::cerr << "vtsim_wake : adresse MAC invalide dans la table : " << mac << '\n';
        }
    }
    return table;
}

// The MAC address that a datagram wakes: exactly the magic packet of one address (a packet
// may carry a password after it, which a card in standby is not asked for here).
std::optional<MacAddress> wokenAddress(const std::string& datagram) {
    constexpr std::size_t kSize = std::tuple_size_v<vt::platform::MagicPacket>;
    if (datagram.size() < kSize) {
        return std::nullopt;
    }
    MacAddress mac{};
    std::memcpy(mac.data(), datagram.data() + 6, mac.size());
    const vt::platform::MagicPacket expected = vt::platform::magicPacket(mac);
    if (std::memcmp(expected.data(), datagram.data(), kSize) != 0) {
        return std::nullopt;
    }
    return mac;
}

// "ip -n NETNS link set dev eth0 up", started directly, waited for.
bool bringUp(const Machine& machine) {
    const pid_t child = ::fork();
    if (child < 0) {
        return false;
    }
    if (child == 0) {
        const char* argv[] = {"ip", "-n",   machine.netns.c_str(), "link", "set", "dev", "eth0",
                              "up", nullptr};
        ::execvp("ip", const_cast<char* const*>(argv));
        ::_exit(127);
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

int listeningSocket(const std::string& device) {
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return -1;
    }
    const int on = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    // Only what crosses the bridge: the host's other interfaces are not the school's network.
    if (::setsockopt(fd, SOL_SOCKET, SO_BINDTODEVICE, device.c_str(),
                     static_cast<socklen_t>(device.size())) != 0) {
        ::close(fd);
        return -1;
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(vt::platform::kWakeOnLanPort);
    address.sin_addr.s_addr = htonl(INADDR_ANY);
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage : vtsim_wake TABLE INTERFACE\n";
        return 2;
    }
    const auto table = readTable(argv[1]);
    if (!table) {
        std::cerr << "vtsim_wake : impossible de lire la table " << argv[1] << '\n';
        return 1;
    }
    const int fd = listeningSocket(argv[2]);
    if (fd < 0) {
        std::cerr << "vtsim_wake : écoute impossible sur " << argv[2] << " : "
                  << std::strerror(errno) << '\n';
        return 1;
    }
    std::cerr << "vtsim_wake : à l'écoute sur " << argv[2] << ", port "
              << vt::platform::kWakeOnLanPort << std::endl;
    std::string buffer(2048, '\0');
    while (true) {
        const ssize_t got = ::recv(fd, buffer.data(), buffer.size(), 0);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            std::cerr << "vtsim_wake : réception impossible : " << std::strerror(errno) << '\n';
            return 1;
        }
        const auto mac = wokenAddress(buffer.substr(0, static_cast<std::size_t>(got)));
        if (!mac) {
            std::cerr << "vtsim_wake : datagramme qui n'est pas un paquet magique" << std::endl;
            continue;
        }
        const std::string macText = vt::platform::macAddressText(*mac);
        const auto machine = table->find(*mac);
        if (machine == table->end()) {
            std::cerr << "vtsim_wake : " << macText << " ne répond pas au Wake-on-LAN" << std::endl;
            continue;
        }
        std::cerr << "vtsim_wake : " << macText << " réveille " << machine->second.name
                  << (bringUp(machine->second) ? "" : " (échec de ip link)") << std::endl;
    }
}
