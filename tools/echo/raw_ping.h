#pragma once

// The ping tool: "vt_echo target result-file" pings one host, or every line of the list file
// that the target names, and writes "host=1" (answered) or "host=0" per host, in the order of
// the input, to the result file.
//
// The hosts of a list are pinged together: every name is looked up (several at once; a dotted
// address needs no lookup), every request is sent, and then the replies are awaited in one
// common window of the time-out after the last request. A list of n hosts thus takes about one
// time-out, not n.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "platform/icmp_echo.h"
#include "platform/platform.h"

namespace vt::echo {

inline constexpr std::chrono::milliseconds kEchoTimeout{10};
inline constexpr std::size_t kParallelLookups = 32;

// IPv4 address of a host in network byte order; nothing when the lookup fails.
using Resolver = std::function<std::optional<std::uint32_t>(const std::string& host)>;

// The address of every host, in the order of the hosts. Dotted addresses are converted
// without `resolve`; the other hosts are looked up with at most `parallel` lookups under way
// at once, on no more threads than there are such hosts.
std::vector<std::optional<std::uint32_t>> resolveAll(const std::vector<std::string>& hosts,
                                                     const Resolver& resolve,
                                                     std::size_t parallel = kParallelLookups);

// host + "=1" or host + "=0", in the order of the hosts.
std::vector<std::string> resultLines(const std::vector<std::string>& hosts,
                                     const std::vector<bool>& answered);

// Pings every host together. Without an ICMP endpoint no host is looked up and all count as
// not answering.
std::vector<std::string> pingAll(const std::vector<std::string>& hosts, const Resolver& resolve,
                                 platform::IcmpEcho* echo,
                                 std::chrono::milliseconds timeout = kEchoTimeout);

// Pings the hosts one after another, each with its own endpoint, lookup and full time-out
// before the next: the cost that pingAll avoids, measured by the benchmark.
std::vector<std::string> pingOneAfterAnother(const std::vector<std::string>& hosts,
                                             const Resolver& resolve,
                                             std::chrono::milliseconds timeout = kEchoTimeout);

// The whole run for the arguments that follow the program name. Missing or empty arguments
// end it at once without a file. A list file that cannot be read or a result file that
// cannot be written ends it with the French file error on `errors`, without a result file,
// and exit code 1; otherwise the exit code is 0 whatever the hosts answered.
int RawPing(const std::vector<std::string>& arguments, platform::Platform& platform,
            std::ostream& errors);

}  // namespace vt::echo
