#include "tools/arpsift/cache_sift.h"

#include <new>
#include <stdexcept>

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
constexpr std::string_view kStatusFile = "c:\\nbtstat.txt";
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

std::string statusQuery(std::string_view ip) {
    return "command.com /c nbtstat -a " + std::string(ip) + " > " + std::string(kStatusFile);
}

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
        return std::string();
    }
    const std::string command = statusQuery(ip);
    RunHidden(command);
    log(command);
    const std::optional<std::string> name =
        statusMachineName(readLinesIfPresent(std::string(kStatusFile)));
    if (!name || !admits(*name, "nbtstat -a " + std::string(ip))) {
        return std::string();
    }
    m_nameTable.append(std::string(ip) + "=" + *name);
    return *m_nameTable.nameOf(ip);
}

// Each command is waited for, at most the time limit; whatever it wrote before it ended or
// was ended is read afterwards, and a missing output file teaches nothing.
void CacheSift::RunHidden(std::string_view commandLine) {
    // A run that lasts keeps its lock young, so that no other run takes it over meanwhile.
    const std::string lock = inDirectory(platform::kSweepLockFileName);
    if (!m_platform.files.touchFile(lock)) {
        m_errors << kPrefix << "Impossible de mettre à jour le fichier " << lock << '\n';
    }
    const platform::RunOutcome outcome =
        m_platform.processes.runHidden(commandLine, kDriveC, m_settings.commandTimeLimit);
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
