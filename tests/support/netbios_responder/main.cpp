// vt_netbios_responder HOSTS-FILE [--log FILE]: a NetBIOS name service that answers for many
// addresses at once, for the adapters' tests and benchmark. It runs in a network namespace of
// the test's own, whose interface carries every address of the hosts file.
//
// Hosts file, one host a line:  ADDRESS NAME [OPTION...]
//   NAME        \xNN stands for any byte
//   group=NAME  the workgroup (default COLLEGE)
//   nosrv       no <20> name: a workstation, not a file server
//   zeromac     the node status gives a MAC address of zeros, as Samba's nmbd does
//   nostats     the node status ends after the name table
//   browser     the table also holds the master browser's name \x01\x02__MSBROWSE__\x02<01>
//   master      the table opens with the workgroup's unique <1D> name, as a master browser's
//   silent      never answers a node status request
//   late        ignores the first node status request it receives
//
// One socket bound to 0.0.0.0:137 receives the broadcasts and one socket per address receives
// that address's unicasts, so that every answer leaves from the address it speaks for. Each
// request received is logged as "KIND NAME<XX> FROM", KIND being "broadcast", "query" or
// "status". "ready" on standard output says that every socket is bound.

#include <poll.h>

#include <cctype>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/hex_digits.h"
#include "tools/adapters/hex_text.h"
#include "tools/adapters/name_service_packet.h"
#include "tools/adapters/name_service_socket.h"

namespace {

using namespace vt::adapters;

constexpr std::uint32_t kAnswerTimeToLive = 300000;
constexpr std::uint16_t kActive = kActiveFlag;
constexpr std::uint16_t kActiveGroup = kActiveFlag | kGroupFlag;

struct Host {
    Ipv4Address address;
    std::string name;
    std::string group = "COLLEGE";
    bool server = true;
    bool zeroMac = false;
    bool statistics = true;
    bool browser = false;
    bool master = false;
    bool silent = false;
    int statusRequestsToIgnore = 0;
};

std::string unescaped(const std::string& text) {
    std::string bytes;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 2, "\\x") == 0 && i + 3 < text.size() &&
            vt::platform::hexDigitValue(text[i + 2]) >= 0 &&
            vt::platform::hexDigitValue(text[i + 3]) >= 0) {
            bytes += static_cast<char>(vt::platform::hexDigitValue(text[i + 2]) * 16 +
                                       vt::platform::hexDigitValue(text[i + 3]));
            i += 3;
        } else {
            bytes += text[i];
        }
    }
    return bytes;
}

std::optional<std::vector<Host>> readHosts(const std::string& path) {
    std::ifstream in(path);
    if (!in) {
        std::cerr << "vt_netbios_responder : fichier illisible : " << path << '\n';
        return std::nullopt;
    }
    std::vector<Host> hosts;
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string address;
        std::string name;
        if (!(words >> address >> name)) {
            continue;
        }
        Host host;
        const auto parsed = parseIpv4(address);
        if (!parsed) {
            std::cerr << "vt_netbios_responder : adresse invalide : " << address << '\n';
            return std::nullopt;
        }
        host.address = *parsed;
        host.name = unescaped(name);
        for (std::string option; words >> option;) {
            if (option.rfind("group=", 0) == 0) {
                host.group = option.substr(6);
            } else if (option == "nosrv") {
                host.server = false;
            } else if (option == "zeromac") {
                host.zeroMac = true;
            } else if (option == "nostats") {
                host.statistics = false;
            } else if (option == "browser") {
                host.browser = true;
            } else if (option == "master") {
                host.master = true;
            } else if (option == "silent") {
                host.silent = true;
            } else if (option == "late") {
                host.statusRequestsToIgnore = 1;
            } else {
                std::cerr << "vt_netbios_responder : option inconnue : " << option << '\n';
                return std::nullopt;
            }
        }
        hosts.push_back(host);
    }
    return hosts;
}

NodeStatus statusOf(const Host& host) {
    NodeStatus status;
    if (host.master) {
        status.names.push_back({NetbiosName{host.group, 0x1D}, kActive});
    }
    status.names.push_back({NetbiosName{host.name, 0x00}, kActive});
    status.names.push_back({NetbiosName{host.group, 0x00}, kActiveGroup});
    if (host.server) {
        status.names.push_back({NetbiosName{host.name, 0x20}, kActive});
    }
    status.names.push_back({NetbiosName{host.group, 0x1E}, kActiveGroup});
    if (host.browser) {
        status.names.push_back({NetbiosName{"\x01\x02__MSBROWSE__\x02", 0x01}, kActiveGroup});
    }
    if (host.statistics) {
        const std::uint32_t a = host.address.value;
        status.unitId = host.zeroMac ? MacAddress{}
                                     : MacAddress{0x02,
                                                  0x00,
                                                  static_cast<std::uint8_t>(a >> 24),
                                                  static_cast<std::uint8_t>(a >> 16),
                                                  static_cast<std::uint8_t>(a >> 8),
                                                  static_cast<std::uint8_t>(a)};
    }
    return status;
}

bool sameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(a[i])) !=
            std::toupper(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

class Responder {
public:
    Responder(std::vector<Host> hosts, std::optional<std::ofstream> log)
        : m_hosts(std::move(hosts)), m_log(std::move(log)) {}

    bool bind() {
        std::string error;
        auto broadcasts = NameServiceSocket::open(error, Ipv4Address{}, kNameServicePort);
        if (!broadcasts) {
            std::cerr << "vt_netbios_responder : " << error << '\n';
            return false;
        }
        m_sockets.push_back(std::move(*broadcasts));
        for (const Host& host : m_hosts) {
            auto own = NameServiceSocket::open(error, host.address, kNameServicePort);
            if (!own) {
                std::cerr << "vt_netbios_responder : " << error << '\n';
                return false;
            }
            m_sockets.push_back(std::move(*own));
        }
        return true;
    }

    void run() {
        std::vector<pollfd> ready;
        for (const NameServiceSocket& socket : m_sockets) {
            ready.push_back(pollfd{socket.descriptor(), POLLIN, 0});
        }
        for (;;) {
            if (::poll(ready.data(), ready.size(), -1) < 0) {
                continue;
            }
            for (std::size_t i = 0; i < ready.size(); ++i) {
                if ((ready[i].revents & POLLIN) == 0) {
                    continue;
                }
                while (const auto datagram = m_sockets[i].receiveWaiting()) {
                    // Socket 0 takes the broadcasts; socket i the unicasts of host i - 1.
                    handle(*datagram, i == 0 ? nullptr : &m_hosts[i - 1]);
                }
            }
        }
    }

private:
    void handle(const Datagram& datagram, Host* addressed) {
        const auto packet = decodePacket(datagram.bytes);
        if (!packet || packet->header.response || packet->questions.size() != 1) {
            return;
        }
        const NameServiceQuestion& question = packet->questions.front();
        const std::uint16_t id = packet->header.transactionId;
        const bool status = question.type == kTypeNbstat;
        logRequest(status                 ? "status"
                   : addressed == nullptr ? "broadcast"
                                          : "query",
                   question.name, datagram.from);
        if (status) {
            if (addressed != nullptr && !addressed->silent &&
                addressed->statusRequestsToIgnore-- <= 0) {
                answer(*addressed, datagram,
                       nodeStatusResponse(id, question.name, statusOf(*addressed)));
            }
            return;
        }
        for (std::size_t i = 0; i < m_hosts.size(); ++i) {
            const Host& host = m_hosts[i];
            if ((addressed != nullptr && addressed != &host) || !owns(host, question.name)) {
                continue;
            }
            answer(host, datagram,
                   nameQueryResponse(id, question.name, {NameAddress{0, host.address}},
                                     kAnswerTimeToLive));
        }
    }

    static bool owns(const Host& host, const NetbiosName& name) {
        if (name.name == "*") {
            return true;
        }
        return sameName(name.name, host.name) &&
               (name.suffix == 0x00 || (name.suffix == 0x20 && host.server));
    }

    void answer(const Host& host, const Datagram& request, const NameServicePacket& packet) {
        const std::size_t index = static_cast<std::size_t>(&host - m_hosts.data()) + 1;
        m_sockets[index].sendTo(request.from, request.fromPort, encodePacket(packet));
    }

    void logRequest(const char* kind, const NetbiosName& name, Ipv4Address from) {
        if (m_log) {
            *m_log << kind << ' ' << name.name << '<' << hexByte(name.suffix) << "> "
                   << toText(from) << std::endl;
        }
    }

    std::vector<Host> m_hosts;
    std::optional<std::ofstream> m_log;
    std::vector<NameServiceSocket> m_sockets;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 && !(argc == 4 && std::string(argv[2]) == "--log")) {
        std::cerr << "usage : vt_netbios_responder FICHIER-DES-HOTES [--log FICHIER]\n";
        return 2;
    }
    auto hosts = readHosts(argv[1]);
    if (!hosts) {
        return 2;
    }
    std::optional<std::ofstream> log;
    if (argc == 4) {
        log.emplace(argv[3], std::ios::app);
    }
    Responder responder(std::move(*hosts), std::move(log));
    if (!responder.bind()) {
        return 3;
    }
    std::cout << "ready" << std::endl;
    responder.run();
}
