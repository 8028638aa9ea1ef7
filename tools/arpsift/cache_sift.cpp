#include "tools/arpsift/cache_sift.h"

#include <algorithm>
#include <new>
#include <stdexcept>
#include <thread>
#include <unordered_set>

#include "platform/ascii_text.h"
#include "platform/machine_names.h"
#include "platform/sweep_lock.h"
#include "platform/text_codec.h"
#include "platform/wake_on_lan.h"
#include "tools/arpsift/cache_parsers.h"
#include "tools/arpsift/list_cleanup.h"
#include "tools/arpsift/list_fields.h"

namespace vt::arpsift {

namespace {

constexpr std::string_view kPrefix = "vt_arpsift : ";
constexpr std::string_view kDriveC = "c:\\";
constexpr std::string_view kNameCacheCommand = "cmd.exe /c nbtstat -c > c:\\nbtcache.txt";
constexpr std::string_view kArpCacheCommand = "cmd.exe /c arp -a > c:\\arpcache.txt";
constexpr std::string_view kNameCacheFile = "c:\\nbtcache.txt";
constexpr std::string_view kArpCacheFile = "c:\\arpcache.txt";
constexpr std::string_view kNameTableFile = "c:\\ip2name.txt";
constexpr std::string_view kMacTableFile = "c:\\ip2mac.txt";

// A file error: the run stops at the step that met it.
class RunFailure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

RunFailure cannotOpen(std::string_view path) {
    return RunFailure("Impossible d'ouvrir le fichier " + std::string(path));
}

RunFailure cannotCreate(std::string_view path) {
    return RunFailure("Impossible de créer le fichier " + std::string(path));
}

// Only dotted IPv4 addresses go into "liste.ip" and onto a command line: any other text comes
// from a damaged file, and on a command line it could be taken for a redirection or an option.
bool isAddress(std::string_view ip) {
    return platform::parseDottedIpv4(ip).has_value();
}

// Each query running at once writes a file of its own; the slot's number keeps the files few,
// and apart from the "c:\nbtstatN.txt" of the main program's jobs.
std::string statusFile(std::size_t slot) {
    return "c:\\nbtstat-" + std::to_string(slot + 1) + ".txt";
}

std::string statusQuery(std::string_view ip, std::size_t slot) {
    return "command.com /c nbtstat -a " + std::string(ip) + " > " + statusFile(slot);
}

// One status query as its worker left it, for the run to read in the order of the addresses.
struct StatusRun {
    std::string command;
    platform::RunOutcome outcome;
    bool lockTouched = true;
    bool answered = false;              // the output file exists
    std::optional<std::string> answer;  // its bytes; nothing when it could not be read
    std::string file;
};

}  // namespace

void NameTable::append(std::string entry) {
    m_firstByIp.try_emplace(platform::toUpperAscii(tableKey(entry)), m_entries.size());
    m_entries.push_back(std::move(entry));
}

std::optional<std::string> NameTable::nameOf(std::string_view ip) const {
    const auto found = m_firstByIp.find(platform::toUpperAscii(ip));
    if (found == m_firstByIp.end()) {
        return std::nullopt;
    }
    return tableValue(m_entries[found->second]);
}

CacheSift::CacheSift(platform::Platform& platform, SiftSettings settings, std::ostream& output,
                     std::ostream& errors)
    : m_platform(platform),
      m_settings(std::move(settings)),
      m_output(output),
      m_errors(errors),
      m_log(platform.files, std::string(kLogFileName)) {
}

int CacheSift::run() {
    const std::string lock = inDirectory(platform::kSweepLockFileName);
    switch (platform::takeSweepLock(m_platform.files, lock)) {
        case platform::SweepLockOutcome::Busy:
            return 0;
        case platform::SweepLockOutcome::Failed:
            m_errors << kPrefix << cannotCreate(lock).what() << '\n';
            return 1;
        case platform::SweepLockOutcome::Taken:
            break;
    }
    try {
        sift();
    } catch (const RunFailure& failure) {
        m_errors << kPrefix << failure.what() << '\n';
        return 1;
    } catch (const std::bad_alloc&) {
        m_errors << kPrefix << "mémoire insuffisante\n";
        return 1;
    }
    if (!m_platform.files.removeFile(lock)) {
        m_errors << kPrefix << "Impossible de supprimer le fichier " << lock << '\n';
        return 1;
    }
    return 0;
}

void CacheSift::sift() {
    loadLists();
    ReadDhcpLeases();
    readCaches();
    updateIpList();
    log("liste.ip before saving");
    saveLines(inDirectory("liste.ip"), m_ipList.takeSortedLines());
    log("liste.ip saved");
    updateMacList();
    log("liste.mac before saving");
    saveLines(inDirectory("liste.mac"), m_macList.takeSortedLines());
    log("liste.mac saved");
}

void CacheSift::loadLists() {
    m_ipList = AddressList(cleanIpList(soundLines("liste.ip")), AddressList::Keys::Names);
    m_output << "formating MAC\n" << std::flush;
    m_macList = AddressList(cleanMacList(soundLines("liste.mac")), AddressList::Keys::NamesAndMacs);
}

std::vector<std::string> CacheSift::soundLines(std::string_view list) {
    std::vector<std::string> lines = readLinesIfPresent(inDirectory(list));
    std::erase_if(lines, [this, list](const std::string& line) {
        const std::string refusal = damagedLineRefusal(line);
        if (!refusal.empty()) {
            log(std::string(list) + " : ligne refusée (" + refusal +
                ") : " + platform::shownMachineName(line));
        }
        return !refusal.empty();
    });
    return lines;
}

bool CacheSift::admits(std::string_view name, std::string_view source) {
    const std::string refusal = platform::machineNameRefusal(name);
    if (!refusal.empty()) {
        log(std::string(source) + " : nom de machine refusé (" + refusal +
            ") : " + platform::shownMachineName(name));
    }
    return refusal.empty();
}

void CacheSift::ReadDhcpLeases() {
    for (const LeaseRecord& lease : leaseRecords(readLinesIfPresent(inDirectory("dhcpd.leases")))) {
        mergeLease(lease);
    }
}

// A lease adds its name and MAC unless the name is listed already (a MAC filed under another
// name leaves that name), and sets the name's address. Without a name the lease says nothing;
// an empty MAC, or an address that is not one, only leaves its own list alone.
void CacheSift::mergeLease(const LeaseRecord& lease) {
    if (lease.name.empty() || !admits(lease.name, "dhcpd.leases")) {
        return;
    }
    if (!lease.mac.empty() && MacOfName(lease.name).text.empty()) {
        const Lookup filed = NameOfMac(lease.mac);
        if (!filed.text.empty()) {
            m_macList.remove(filed.position);
        }
        m_macList.append(lease.name + " " + lease.mac);
    }
    if (!isAddress(lease.ip)) {
        return;
    }
    const Lookup known = IpOfName(lease.name);
    if (known.text.empty()) {
        m_ipList.append(lease.name + " " + lease.ip);
    } else if (known.text != lease.ip) {
        m_ipList.replace(known.position, lease.name + " " + lease.ip);
    }
}

void CacheSift::readCaches() {
    RunHidden(kNameCacheCommand);
    for (std::string& entry : nameCacheEntries(readLinesIfPresent(std::string(kNameCacheFile)))) {
        const std::string name = tableValue(entry);
        if (name.empty() || admits(name, "nbtstat -c")) {
            m_nameTable.append(std::move(entry));
        }
    }
    saveLines(std::string(kNameTableFile), m_nameTable.entries());
    log("ip2name saved");

    RunHidden(kArpCacheCommand);
    m_macTable = arpCacheEntries(readLinesIfPresent(std::string(kArpCacheFile)));
    saveLines(std::string(kMacTableFile), m_macTable);
    log("ip2mac saved");
}

// The NetBIOS name of an address replaces the address a listed name had, and adds a name
// that was not listed. Entries without an address or a name teach nothing.
void CacheSift::updateIpList() {
    for (const std::string& entry : m_nameTable.entries()) {
        const std::string_view ip = tableKey(entry);
        const std::string name = tableValue(entry);
        if (!isAddress(ip) || name.empty()) {
            continue;
        }
        const std::string line = name + " " + std::string(ip);
        log("analyse ip2name " + line);
        const Lookup known = IpOfName(name);
        if (known.text.empty()) {
            m_ipList.append(line);
        } else if (known.text != ip) {
            log("updating " + line + " from ?");
            m_ipList.replace(known.position, line);
        }
    }
}

// Each dynamic ARP entry whose address has a name files that name with the MAC: a listed
// name gets the new MAC; an unlisted one is appended, and the line that had the MAC under
// another name goes.
void CacheSift::updateMacList() {
    askUnknownAddresses();
    for (const std::string& entry : m_macTable) {
        const std::string mac = tableValue(entry);
        if (mac.empty()) {
            continue;
        }
        const std::string name = NameOfIp(tableKey(entry));
        if (name.empty()) {
            continue;
        }
        const std::string line = name + " " + mac;
        const Lookup known = MacOfName(name);
        if (!known.text.empty()) {
            if (known.text != mac) {
                m_macList.replace(known.position, line);
            }
            continue;
        }
        const Lookup filed = NameOfMac(mac);
        if (!filed.text.empty()) {
            m_macList.remove(filed.position);
        }
        m_macList.append(line);
    }
}

Lookup CacheSift::IpOfName(std::string_view name) const {
    const std::optional<std::size_t> position = m_ipList.findName(name);
    return position ? Lookup{std::string(valueField(m_ipList.at(*position))), *position} : Lookup{};
}

Lookup CacheSift::MacOfName(std::string_view name) const {
    const std::optional<std::size_t> position = m_macList.findName(name);
    return position ? Lookup{std::string(valueField(m_macList.at(*position))), *position}
                    : Lookup{};
}

Lookup CacheSift::NameOfMac(std::string_view mac) const {
    const std::optional<std::size_t> position = m_macList.findMac(mac);
    return position ? Lookup{std::string(nameField(m_macList.at(*position))), *position} : Lookup{};
}

std::string CacheSift::NameOfIp(std::string_view ip) {
    if (ip.empty()) {
        return std::string();
    }
    if (std::optional<std::string> known = m_nameTable.nameOf(ip)) {
        return std::move(*known);
    }
    if (!isAddress(ip)) {
        m_errors << kPrefix << "adresse non valable, pas de requête nbtstat : " << ip << '\n';
    }
    return std::string();
}

// Workers take the addresses by slot (worker k the k-th, the (k+16)-th, ...), so that each
// address has the same output file from run to run, and nothing is shared while they run
// but the platform's files and processes.
void CacheSift::askUnknownAddresses() {
    std::vector<std::string> unknown;
    std::unordered_set<std::string> seen;
    for (const std::string& entry : m_macTable) {
        const std::string ip(tableKey(entry));
        if (!tableValue(entry).empty() && isAddress(ip) && !m_nameTable.nameOf(ip) &&
            seen.insert(ip).second) {
            unknown.push_back(ip);
        }
    }
    std::vector<StatusRun> runs(unknown.size());
    const std::size_t workers = std::min(kStatusQueriesAtOnce, unknown.size());
    const std::string lock = inDirectory(platform::kSweepLockFileName);
    const auto work = [&](std::size_t slot) {
        for (std::size_t i = slot; i < unknown.size(); i += workers) {
            StatusRun& run = runs[i];
            run.file = statusFile(slot);
            run.command = statusQuery(unknown[i], slot);
            run.lockTouched = touchLock();
            run.outcome =
                m_platform.processes.runHidden(run.command, kDriveC, m_settings.commandTimeLimit);
            run.answered = m_platform.files.exists(run.file);
            if (run.answered) {
                run.answer = m_platform.files.readFile(run.file);
            }
        }
    };
    {
        std::vector<std::jthread> threads;
        for (std::size_t slot = 1; slot < workers; ++slot) {
            threads.emplace_back(work, slot);
        }
        if (workers > 0) {
            work(0);
        }
    }
    for (std::size_t i = 0; i < runs.size(); ++i) {
        const StatusRun& run = runs[i];
        if (!run.lockTouched) {
            m_errors << kPrefix << "Impossible de mettre à jour le fichier " << lock << '\n';
        }
        reportRun(run.command, run.outcome);
        log(run.command);
        if (run.answered && !run.answer) {
            throw cannotOpen(run.file);
        }
        const std::optional<std::string> name = statusMachineName(
            run.answer ? platform::splitLines(platform::fromWindows1252(*run.answer))
                       : std::vector<std::string>{});
        if (name && admits(*name, "nbtstat -a " + unknown[i])) {
            m_nameTable.append(unknown[i] + "=" + *name);
        }
    }
}

// Each command is waited for, at most the time limit; whatever it wrote before it ended or
// was ended is read afterwards, and a missing output file teaches nothing.
void CacheSift::RunHidden(std::string_view commandLine) {
    if (!touchLock()) {
        m_errors << kPrefix << "Impossible de mettre à jour le fichier "
                 << inDirectory(platform::kSweepLockFileName) << '\n';
    }
    reportRun(commandLine,
              m_platform.processes.runHidden(commandLine, kDriveC, m_settings.commandTimeLimit));
}

// A run that lasts keeps its lock young, so that no other run takes it over meanwhile.
bool CacheSift::touchLock() {
    return m_platform.files.touchFile(inDirectory(platform::kSweepLockFileName));
}

void CacheSift::reportRun(std::string_view commandLine, const platform::RunOutcome& outcome) {
    if (!outcome.started) {
        m_errors << kPrefix << "commande impossible à lancer : " << commandLine << '\n';
    } else if (!outcome.finished) {
        m_errors << kPrefix << "commande arrêtée au bout de " << m_settings.commandTimeLimit.count()
                 << " ms : " << commandLine << '\n';
    }
}

void CacheSift::log(std::string_view line) {
    if (!m_log.add(line)) {
        throw cannotCreate(m_log.path());
    }
}

std::vector<std::string> CacheSift::readLinesIfPresent(const std::string& path) const {
    if (!m_platform.files.exists(path)) {
        return {};
    }
    const std::optional<std::string> bytes = m_platform.files.readFile(path);
    if (!bytes) {
        throw cannotOpen(path);
    }
    return platform::splitLines(platform::fromWindows1252(*bytes));
}

void CacheSift::saveLines(const std::string& path, const std::vector<std::string>& lines) {
    if (!m_platform.files.writeFile(path, platform::toWindows1252(platform::joinLines(lines)))) {
        throw cannotCreate(path);
    }
}

std::string CacheSift::inDirectory(std::string_view name) const {
    return m_settings.directory + std::string(name);
}

}  // namespace vt::arpsift
