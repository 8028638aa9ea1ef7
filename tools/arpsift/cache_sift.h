#pragma once

// vt_arpsift: one run that learns machine names, IP and MAC addresses from what the machine
// already knows (the NetBIOS name cache, the ARP cache, a DHCP server's leases file beside
// the tool, a NetBIOS status query for an address whose name is still unknown) and merges
// them into the address lists "liste.ip" and "liste.mac" beside the tool.
//
// Files: the lists, "dhcpd.leases" and the lock "vt_netsweep.lck" in the tool's directory;
// the command outputs "c:\nbtcache.txt", "c:\arpcache.txt", "c:\nbtstat-1.txt" to
// "c:\nbtstat-16.txt" (one per status query running at once) and the tables
// "c:\ip2name.txt", "c:\ip2mac.txt" on drive C, none of them deleted; "cache.log" in the
// working directory. Every file is written whole and at once, so the main program reads a
// list either as it was or as this run left it.
//
// A file that exists but cannot be read, or one that cannot be written, ends the run with a
// French line on the error stream and exit code 1; the lock then stays, and keeps further
// runs away until it is 0.01 day old.

#include <chrono>
#include <cstddef>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/platform.h"
#include "tools/arpsift/address_list.h"
#include "tools/arpsift/dhcp_leases.h"
#include "tools/arpsift/run_log.h"

namespace vt::arpsift {

inline constexpr std::chrono::milliseconds kCommandTimeLimit{30000};
// The status queries of a run go out side by side, at most this many at once: a host without
// the name service may keep its query waiting for its whole time-out.
inline constexpr std::size_t kStatusQueriesAtOnce = 16;

struct SiftSettings {
    // The tool's own directory, ending with the separator: lists, leases and lock live there.
    std::string directory;
    // How long each command is waited for before it is ended.
    std::chrono::milliseconds commandTimeLimit = kCommandTimeLimit;
};

// What a lookup in an address list found: the field it returns, empty when no line matched,
// and the position of the line, which a replacement or deletion that follows uses.
struct Lookup {
    std::string text;
    std::size_t position = 0;
};

// The name table: "ip=name" entries from the NetBIOS cache and the status queries, found by
// address without regard to case, the first entry of an address winning.
class NameTable {
public:
    void append(std::string entry);
    std::optional<std::string> nameOf(std::string_view ip) const;
    const std::vector<std::string>& entries() const { return m_entries; }

private:
    std::vector<std::string> m_entries;
    std::unordered_map<std::string, std::size_t> m_firstByIp;
};

class CacheSift {
public:
    // Standard output receives "formating MAC"; `errors` the French lines of what went wrong.
    CacheSift(platform::Platform& platform, SiftSettings settings, std::ostream& output,
              std::ostream& errors);

    // The whole run; the exit code: 0 after a full run and when a fresh lock sends the run
    // away, 1 when a file error ended it.
    int run();

private:
    // The lookups, on the lists as the run has them.
    Lookup IpOfName(std::string_view name) const;
    Lookup MacOfName(std::string_view name) const;
    Lookup NameOfMac(std::string_view mac) const;
    // From the name table, which the status queries have filled beforehand. Empty when it
    // does not know the address.
    std::string NameOfIp(std::string_view ip);
    // Asks every address of the ARP table that the name table does not know for its name,
    // side by side, and adds the names found to the table in the order of the ARP table.
    void askUnknownAddresses();

    void sift();
    void loadLists();
    // The lines of a list beside the tool, without those no run keeps, each logged.
    std::vector<std::string> soundLines(std::string_view list);
    // False, with a log line, for a learned name that no list may hold: a blank, a control
    // character or one the commands and group files refuse (platform/machine_names.h).
    bool admits(std::string_view name, std::string_view source);
    void ReadDhcpLeases();
    void mergeLease(const LeaseRecord& lease);
    void readCaches();
    void updateIpList();
    void updateMacList();

    void RunHidden(std::string_view commandLine);
    // Keeps the lock young; false when it cannot be touched.
    bool touchLock();
    void reportRun(std::string_view commandLine, const platform::RunOutcome& outcome);
    void log(std::string_view line);
    // The lines of a file; none when it does not exist.
    std::vector<std::string> readLinesIfPresent(const std::string& path) const;
    void saveLines(const std::string& path, const std::vector<std::string>& lines);
    std::string inDirectory(std::string_view name) const;

    platform::Platform& m_platform;
    SiftSettings m_settings;
    std::ostream& m_output;
    std::ostream& m_errors;
    RunLog m_log;
    AddressList m_ipList;
    AddressList m_macList;
    NameTable m_nameTable;
    std::vector<std::string> m_macTable;
};

}  // namespace vt::arpsift
