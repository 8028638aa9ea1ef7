#include "tools/adapters/name_cache.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

#include "platform/hex_digits.h"
#include "platform/text_codec.h"
#include "tools/adapters/hex_text.h"

namespace vt::adapters {

namespace {

// A cache line is short; anything much longer was not written by us.
constexpr std::size_t kLongestLine = 256;
constexpr std::chrono::seconds kLockWait{5};
// After kLockWait the timer fires again this often, so that a signal that came just before
// the wait fell asleep does not leave it asleep.
constexpr std::chrono::milliseconds kLockWakeRepeat{50};

std::vector<std::string_view> fieldsOf(std::string_view line, std::size_t count) {
    std::vector<std::string_view> fields;
    while (fields.size() + 1 < count) {
        const std::size_t blank = line.find(' ');
        if (blank == std::string_view::npos) {
            return {};
        }
        fields.push_back(line.substr(0, blank));
        line.remove_prefix(blank + 1);
    }
    fields.push_back(line);
    return fields;
}

std::optional<std::int64_t> parseSeconds(std::string_view text) {
    if (text.empty() || text.size() > 18) {
        return std::nullopt;
    }
    std::int64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
    }
    return value;
}

std::optional<CachedName> parseLine(std::string_view line) {
    const std::vector<std::string_view> fields = fieldsOf(line, 5);
    if (fields.size() != 5 || line.size() > kLongestLine) {
        return std::nullopt;
    }
    const auto expiresAt = parseSeconds(fields[0]);
    const auto address = parseIpv4(fields[1]);
    const std::string_view suffix = fields[2];
    const std::string_view kind = fields[3];
    const std::string_view name = fields[4];
    if (!expiresAt || !address || suffix.size() != 2 || platform::hexDigitValue(suffix[0]) < 0 ||
        platform::hexDigitValue(suffix[1]) < 0 || (kind != "U" && kind != "G") || name.empty() ||
        name.size() > 15) {
        return std::nullopt;
    }
    CachedName entry;
    entry.name = std::string(name);
    entry.suffix = static_cast<std::uint8_t>(platform::hexDigitValue(suffix[0]) * 16 +
                                             platform::hexDigitValue(suffix[1]));
    entry.group = kind == "G";
    entry.address = *address;
    entry.expiresAt = *expiresAt;
    return entry;
}

// The signal that ends a wait for the lock that lasted too long. Its handler does nothing and
// is installed without SA_RESTART, so the waiting flock returns EINTR.
int wakeSignal() {
    static const int signal = [] {
        const int chosen = SIGRTMIN + 3;
        struct sigaction action {};
        action.sa_handler = [](int) {};
        sigemptyset(&action.sa_mask);
        ::sigaction(chosen, &action, nullptr);
        return chosen;
    }();
    return signal;
}

// Waits asleep, so that the kernel hands the lock to a waiter the moment it is released: with
// hundreds of adapters side by side, waiters that polled kept the lock idle between polls and
// took the processor from its holder.
bool waitForLock(int fd) {
    sigevent event{};
    event.sigev_notify = SIGEV_THREAD_ID;
    event.sigev_signo = wakeSignal();
    event._sigev_un._tid = ::gettid();  // glibc names no field for it
    timer_t timer{};
    if (::timer_create(CLOCK_MONOTONIC, &event, &timer) != 0) {
        return false;
    }
    const auto deadline = std::chrono::steady_clock::now() + kLockWait;
    itimerspec period{};
    period.it_value.tv_sec = kLockWait.count();
    period.it_interval.tv_nsec =
        std::chrono::duration_cast<std::chrono::nanoseconds>(kLockWakeRepeat).count();
    ::timer_settime(timer, 0, &period, nullptr);
    bool held = false;
    while (!held) {
        held = ::flock(fd, LOCK_EX) == 0;
        if (!held && (errno != EINTR || std::chrono::steady_clock::now() >= deadline)) {
            break;
        }
    }
    ::timer_delete(timer);
    return held;
}

// An exclusive lock on the side file, held while the object lives.
class FileLock {
public:
    explicit FileLock(const std::string& path) {
        m_fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
        if (m_fd < 0) {
            m_error = std::string("verrou du cache des noms impossible à ouvrir (") +
                      std::strerror(errno) + ")";
            return;
        }
        m_held = waitForLock(m_fd);
        if (!m_held) {
            m_error = "cache des noms verrouillé par un autre programme";
        }
    }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    ~FileLock() {
        if (m_fd >= 0) {
            ::close(m_fd);  // releases the lock
        }
    }

    bool held() const { return m_held; }
    const std::string& error() const { return m_error; }

private:
    int m_fd = -1;
    bool m_held = false;
    std::string m_error;
};

}  // namespace

std::vector<CachedName> parseNameCache(std::string_view bytes) {
    std::vector<CachedName> names;
    for (const std::string& line : platform::splitLines(bytes)) {
        if (const auto entry = parseLine(line)) {
            names.push_back(*entry);
        }
    }
    return names;
}

std::string formatNameCache(const std::vector<CachedName>& names) {
    std::string text;
    for (const CachedName& entry : names) {
        text += std::to_string(entry.expiresAt) + ' ' + toText(entry.address) + ' ' +
                hexByte(entry.suffix) + ' ' + (entry.group ? 'G' : 'U') + ' ' + entry.name + "\r\n";
    }
    return text;
}

std::vector<CachedName> mergeLearnedNames(std::vector<CachedName> cached,
                                          const std::vector<CachedName>& learned,
                                          std::int64_t now) {
    std::erase_if(cached, [now](const CachedName& entry) { return entry.expiresAt <= now; });
    for (const CachedName& entry : learned) {
        const auto same = std::find_if(cached.begin(), cached.end(), [&](const CachedName& old) {
            return old.name == entry.name && old.suffix == entry.suffix;
        });
        if (same != cached.end()) {
            *same = entry;
        } else {
            cached.push_back(entry);
        }
    }
    if (cached.size() > kMostCachedNames) {
        // Keep the names that live longest; among equals, the first ones in the file.
        std::vector<std::int64_t> expiries;
        for (const CachedName& entry : cached) {
            expiries.push_back(entry.expiresAt);
        }
        const auto cut =
            expiries.begin() + static_cast<std::ptrdiff_t>(expiries.size() - kMostCachedNames);
        std::nth_element(expiries.begin(), cut, expiries.end());
        const std::int64_t shortestKept = *cut;
        std::size_t equalsToKeep =
            static_cast<std::size_t>(std::count(cut, expiries.end(), shortestKept));
        std::erase_if(cached, [&](const CachedName& entry) {
            if (entry.expiresAt != shortestKept) {
                return entry.expiresAt < shortestKept;
            }
            if (equalsToKeep == 0) {
                return true;
            }
            --equalsToKeep;
            return false;
        });
    }
    return cached;
}

std::int64_t unixTimeNow() {
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

bool NameCache::remember(const std::vector<CachedName>& learned, std::int64_t now,
                         std::string& error) {
    std::vector<CachedName> stamped = learned;
    for (CachedName& entry : stamped) {
        entry.expiresAt = now + kNameLifetimeSeconds;
    }
    const FileLock lock(m_files.nativePath(kNameCacheLockPath));
    if (!lock.held()) {
        error = lock.error();
        return false;
    }
    const std::vector<CachedName> cached =
        parseNameCache(m_files.readFile(kNameCachePath).value_or(""));
    // Not synced to the disk: with the lock held, every adapter running beside this one would
    // wait for the disk too. A crash of the machine costs at most names asked again.
    if (!m_files.writeCacheFile(kNameCachePath,
                                formatNameCache(mergeLearnedNames(cached, stamped, now)))) {
        error = "impossible d'écrire le cache des noms " + m_files.nativePath(kNameCachePath);
        return false;
    }
    return true;
}

std::vector<CachedName> NameCache::liveNames(std::int64_t now) const {
    return mergeLearnedNames(parseNameCache(m_files.readFile(kNameCachePath).value_or("")), {},
                             now);
}

}  // namespace vt::adapters
