#include "tools/echo/raw_ping.h"

#ifdef _WIN32
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#endif

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <system_error>
#include <thread>

#include "platform/text_codec.h"

namespace vt::echo {

namespace {

// A group file's line of a machine marked never to be shut down ends with "*": the machine
// answers under its plain name, and its result line keeps the line as written.
std::string_view plainHost(std::string_view host) {
    return host.size() > 1 && host.back() == '*' ? host.substr(0, host.size() - 1) : host;
}

Resolver platformResolver(const platform::Network& network) {
    return [&network](const std::string& host) { return network.resolveIpv4(plainHost(host)); };
}

std::optional<std::uint32_t> dottedAddress(std::string_view host) {
    const std::string text(plainHost(host));
    in_addr address{};
    if (text.find('\0') != std::string::npos || ::inet_pton(AF_INET, text.c_str(), &address) != 1) {
        return std::nullopt;
    }
    return address.s_addr;
}

// A file only when a regular file of that name exists: a directory, a device or a pipe is
// taken as a host name, so the tool never reads endlessly from one.
bool namesListFile(const platform::FileSystem& files, std::string_view target) {
    std::error_code ignored;
    return std::filesystem::is_regular_file(files.nativePath(target), ignored);
}

std::string resultFileText(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line;
        text += "\r\n";
    }
    return platform::toWindows1252(text);
}

}  // namespace

std::vector<std::optional<std::uint32_t>> resolveAll(const std::vector<std::string>& hosts,
                                                     const Resolver& resolve,
                                                     std::size_t parallel) {
    std::vector<std::optional<std::uint32_t>> addresses(hosts.size());
    // Most lists hold dotted addresses only: they take no lookup, and no thread is started
    // for them.
    std::vector<std::size_t> names;
    for (std::size_t i = 0; i < hosts.size(); ++i) {
        addresses[i] = dottedAddress(hosts[i]);
        if (!addresses[i]) {
            names.push_back(i);
        }
    }
    std::atomic<std::size_t> next{0};
    auto work = [&] {
        for (std::size_t n = next++; n < names.size(); n = next++) {
            addresses[names[n]] = resolve(hosts[names[n]]);
        }
    };
    const std::size_t helpers = std::min(std::max<std::size_t>(parallel, 1), names.size());
    std::vector<std::thread> threads;
    for (std::size_t t = 1; t < helpers; ++t) {
        try {
            threads.emplace_back(work);
        } catch (const std::system_error&) {
            break;  // no more threads to be had: the ones running share the rest
        }
    }
    work();
    for (std::thread& thread : threads) {
        thread.join();
    }
    return addresses;
}

std::vector<std::string> resultLines(const std::vector<std::string>& hosts,
                                     const std::vector<bool>& answered) {
    std::vector<std::string> lines;
    lines.reserve(hosts.size());
    for (std::size_t i = 0; i < hosts.size(); ++i) {
        lines.push_back(hosts[i] + (i < answered.size() && answered[i] ? "=1" : "=0"));
    }
    return lines;
}

std::vector<std::string> pingAll(const std::vector<std::string>& hosts, const Resolver& resolve,
                                 platform::IcmpEcho* echo, std::chrono::milliseconds timeout) {
    if (echo == nullptr) {
        return resultLines(hosts, {});
    }
    return resultLines(hosts, echo->echoAll(resolveAll(hosts, resolve), timeout));
}

std::vector<std::string> pingOneAfterAnother(const std::vector<std::string>& hosts,
                                             const Resolver& resolve,
                                             std::chrono::milliseconds timeout) {
    std::vector<bool> answered(hosts.size(), false);
    for (std::size_t i = 0; i < hosts.size(); ++i) {
        const std::unique_ptr<platform::IcmpEcho> echo = platform::openIcmpEcho();
        if (echo) {
            answered[i] = echo->echoAll({resolve(hosts[i])}, timeout).front();
        }
    }
    return resultLines(hosts, answered);
}

int RawPing(const std::vector<std::string>& arguments, platform::Platform& platform,
            std::ostream& errors) {
    if (arguments.size() < 2 || arguments[0].empty() || arguments[1].empty()) {
        return 0;
    }
    const std::string& target = arguments[0];
    const std::string& resultFile = arguments[1];

    std::vector<std::string> hosts;
    if (namesListFile(platform.files, target)) {
        const std::optional<std::string> bytes = platform.files.readFile(target);
        if (!bytes) {
            errors << "vt_echo : Impossible d'ouvrir le fichier " << target << '\n';
            return 1;
        }
        hosts = platform::splitLines(platform::fromWindows1252(*bytes));
    } else {
        hosts.push_back(target);
    }

    const std::unique_ptr<platform::IcmpEcho> echo = platform::openIcmpEcho();
    const std::vector<std::string> lines =
        pingAll(hosts, platformResolver(platform.network), echo.get());
    if (!platform.files.writeFile(resultFile, resultFileText(lines))) {
        errors << "vt_echo : Impossible de créer le fichier " << resultFile << '\n';
        return 1;
    }
    return 0;
}

}  // namespace vt::echo
