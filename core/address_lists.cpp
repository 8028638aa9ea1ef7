#include "core/address_lists.h"

#include <thread>
#include <unordered_set>

#include "core/file_error.h"
#include "core/strings.h"
#include "core/text_file.h"
#include "platform/sweep_lock.h"

namespace vt {

namespace {

constexpr std::chrono::milliseconds kLockPoll{100};

struct ListRef {
    std::vector<std::string>& lines;
    AddressListFile& file;
};

ListRef refOf(VtlVar& state, AddressList list) {
    return list == AddressList::Mac ? ListRef{state.MacList, state.MacListFile}
                                    : ListRef{state.IpList, state.IpListFile};
}

std::string pathOf(const VtlVar& state, AddressList list) {
    return state.DataDir + addressListFileName(list);
}

// The machine a line names: the text before its first blank.
std::string_view keyOf(std::string_view line) {
    return line.substr(0, line.find(' '));
}

// The file's lines, with the pending lines of machines it does not name after them.
std::vector<std::string> withPending(std::vector<std::string> fileLines,
                                     const std::vector<std::string>& pending) {
    if (pending.empty()) {
        return fileLines;
    }
    // Views into the lines: no line moves once the room for all of them is there.
    fileLines.reserve(fileLines.size() + pending.size());
    std::unordered_set<std::string_view, NoCaseHash, NoCaseEqual> names;
    names.reserve(fileLines.capacity());
    for (const std::string& line : fileLines) {
        names.insert(keyOf(line));
    }
    for (const std::string& line : pending) {
        if (names.insert(keyOf(line)).second) {
            fileLines.push_back(line);
        }
    }
    return fileLines;
}

void refreshList(VtlVar& state, const platform::FileSystem& files, AddressList list) {
    ListRef ref = refOf(state, list);
    const std::string path = pathOf(state, list);
    const auto stamp = files.lastWriteTime(path);
    if (!stamp || stamp == ref.file.stamp) {
        return;
    }
    std::optional<std::vector<std::string>> lines = readTextLines(files, path);
    if (!lines) {
        return;
    }
    ref.lines = withPending(std::move(*lines), ref.file.pending);
    ref.file.stamp = stamp;
}

// Releases the sweep lock when the write is over, however it ends.
class HeldSweepLock {
public:
    HeldSweepLock(platform::FileSystem& files, std::string path)
        : m_files(files), m_path(std::move(path)) {}
    ~HeldSweepLock() { m_files.removeFile(m_path); }
    HeldSweepLock(const HeldSweepLock&) = delete;
    HeldSweepLock& operator=(const HeldSweepLock&) = delete;

private:
    platform::FileSystem& m_files;
    std::string m_path;
};

// Takes the lock, waiting at most `patience`; false when the cache tool keeps it.
bool takeLock(platform::FileSystem& files, const std::string& lockPath,
              std::chrono::milliseconds patience) {
    const auto giveUp = std::chrono::steady_clock::now() + patience;
    for (;;) {
        switch (platform::takeSweepLock(files, lockPath)) {
            case platform::SweepLockOutcome::Taken:
                return true;
            case platform::SweepLockOutcome::Failed:
                throw FileError::cannotCreate(lockPath);
            case platform::SweepLockOutcome::Busy:
                break;
        }
        if (std::chrono::steady_clock::now() >= giveUp) {
            return false;
        }
        std::this_thread::sleep_for(kLockPoll);
    }
}

bool writePending(VtlVar& state, platform::FileSystem& files, AddressList list,
                  std::chrono::milliseconds patience) {
    ListRef ref = refOf(state, list);
    if (ref.file.pending.empty()) {
        return true;
    }
    const std::string lockPath = state.DataDir + std::string(platform::kSweepLockFileName);
    if (!takeLock(files, lockPath, patience)) {
        return false;
    }
    const HeldSweepLock held(files, lockPath);
    const std::string path = pathOf(state, list);
    std::vector<std::string> lines =
        withPending(files.exists(path) ? loadTextLines(files, path) : std::vector<std::string>{},
                    ref.file.pending);
    saveTextLines(files, path, lines);
    ref.lines = std::move(lines);
    ref.file.pending.clear();
    ref.file.stamp = files.lastWriteTime(path);
    return true;
}

}  // namespace

const char* addressListFileName(AddressList list) {
    return list == AddressList::Mac ? "liste.mac" : "liste.ip";
}

void noteAddressListsRead(VtlVar& state, const platform::FileSystem& files) {
    for (const AddressList list : {AddressList::Mac, AddressList::Ip}) {
        ListRef ref = refOf(state, list);
        ref.lines = withPending(std::move(ref.lines), ref.file.pending);
        ref.file.stamp = files.lastWriteTime(pathOf(state, list));
    }
}

void refreshAddressLists(VtlVar& state, const platform::FileSystem& files) {
    refreshList(state, files, AddressList::Mac);
    refreshList(state, files, AddressList::Ip);
}

bool addAddressLines(VtlVar& state, platform::FileSystem& files, Console& console, AddressList list,
                     const std::vector<std::string>& lines) {
    if (lines.empty()) {
        return true;
    }
    refreshAddressLists(state, files);
    ListRef ref = refOf(state, list);
    ref.lines.insert(ref.lines.end(), lines.begin(), lines.end());
    ref.file.pending.insert(ref.file.pending.end(), lines.begin(), lines.end());
    if (writePending(state, files, list, std::chrono::milliseconds{0})) {
        return true;
    }
    console.appendLine(std::string(addressListFileName(list)) +
                       " : vt_arpsift travaille sur la liste, " +
                       std::to_string(ref.file.pending.size()) +
                       " ligne(s) apprise(s) seront enregistrées ensuite");
    return false;
}

bool writePendingAddressLines(VtlVar& state, platform::FileSystem& files,
                              std::chrono::milliseconds patience) {
    const bool macs = writePending(state, files, AddressList::Mac, patience);
    const bool ips = writePending(state, files, AddressList::Ip, patience);
    return macs && ips;
}

std::vector<std::string> pendingAddressLines(const VtlVar& state) {
    std::vector<std::string> lines = state.MacListFile.pending;
    lines.insert(lines.end(), state.IpListFile.pending.begin(), state.IpListFile.pending.end());
    return lines;
}

}  // namespace vt
