#include "platform/posix/posix_file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>

#include "platform/interrupted_writes.h"

namespace vt::platform::posix {

namespace {

constexpr mode_t kWriteBits = S_IWUSR | S_IWGRP | S_IWOTH;

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return m_fd; }
    // Closes now, reporting whether the last writes reached the file.
    bool close() {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }

private:
    int m_fd;
};

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};

// The process umask, read without changing it (umask() would race with other threads).
mode_t currentUmask() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("Umask:", 0) == 0) {
            return static_cast<mode_t>(std::strtoul(line.c_str() + 6, nullptr, 8)) & 0777;
        }
    }
    return 022;
}

bool statPath(const std::string& path, struct stat& info) {
    return ::stat(path.c_str(), &info) == 0;
}

std::chrono::system_clock::time_point modificationTime(const struct stat& info) {
    const auto sinceEpoch =
        std::chrono::seconds(info.st_mtim.tv_sec) + std::chrono::nanoseconds(info.st_mtim.tv_nsec);
    return std::chrono::system_clock::time_point(
        std::chrono::duration_cast<std::chrono::system_clock::duration>(sinceEpoch));
}

bool sameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

std::string parentOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

std::string nameOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string withoutTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/') {
        path.pop_back();
    }
    return path;
}

int compareNoCase(std::string_view a, std::string_view b) {
    const auto lower = [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    };
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const auto x = static_cast<unsigned char>(lower(a[i]));
        const auto y = static_cast<unsigned char>(lower(b[i]));
        if (x != y) {
            return x < y ? -1 : 1;
        }
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

}  // namespace

PosixFileSystem::PosixFileSystem(const PathMapper& mapper)
    : m_mapper(mapper), m_umask(currentUmask()) {
}

std::optional<std::string> PosixFileSystem::native(std::string_view path) const {
    if (path.empty() || path.find('\0') != std::string_view::npos) {
        return std::nullopt;
    }
    return m_mapper.resolved(path);
}

std::string PosixFileSystem::nativePath(std::string_view path) const {
    return native(path).value_or(std::string());
}

bool PosixFileSystem::exists(std::string_view path) const {
    const auto target = native(path);
    struct stat info {};
    return target && statPath(*target, info);
}

bool PosixFileSystem::isDirectory(std::string_view path) const {
    const auto target = native(path);
    struct stat info {};
    return target && statPath(*target, info) && S_ISDIR(info.st_mode);
}

std::optional<std::string> PosixFileSystem::readFile(std::string_view path) const {
    const auto target = native(path);
    if (!target) {
        return std::nullopt;
    }
    FileDescriptor fd(::open(target->c_str(), O_RDONLY | O_CLOEXEC));
    struct stat info {};
    if (fd.get() < 0 || ::fstat(fd.get(), &info) != 0 || S_ISDIR(info.st_mode)) {
        return std::nullopt;
    }
    std::string bytes;
    if (S_ISREG(info.st_mode) && info.st_size > 0) {
        bytes.reserve(static_cast<std::size_t>(info.st_size));
    }
    char buffer[65536];
    while (true) {
        const ssize_t got = ::read(fd.get(), buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return std::nullopt;
        }
        if (got == 0) {
            return bytes;
        }
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
}

bool PosixFileSystem::writeFile(std::string_view path, std::string_view bytes) {
    return replaceFile(path, bytes, std::nullopt);
}

bool PosixFileSystem::writeCacheFile(std::string_view path, std::string_view bytes) {
    return replaceFile(path, bytes, std::nullopt, false);
}

bool PosixFileSystem::writePrivateFile(std::string_view path, std::string_view bytes) {
    return replaceFile(path, bytes, S_IRUSR | S_IWUSR);
}

bool PosixFileSystem::replaceFile(std::string_view path, std::string_view bytes,
                                  std::optional<mode_t> privateMode, bool durable) {
    const auto resolved = native(path);
    if (!resolved || resolved->back() == '/') {
        return false;
    }
    const std::string& target = *resolved;
    mode_t mode = 0666 & ~m_umask;
    struct stat info {};
    if (statPath(target, info)) {
        if (!S_ISREG(info.st_mode) || (info.st_mode & kWriteBits) == 0) {
            return false;
        }
        mode = info.st_mode & 07777;
    }
    mode = privateMode.value_or(mode);
    // Written beside the target and renamed over it, so a reader sees the old file or the
    // new one, never half of one; a failure leaves the old file untouched.
    // The temporary name stays within the name length limit however long the target's is.
    // mkostemp makes it readable by its owner only, so a secret is never open to others, not
    // even before the final mode is set.
    std::string temporary = parentOf(target) + "/" + temporaryStem(nameOf(target)) + "XXXXXX";
    FileDescriptor fd(::mkostemp(temporary.data(), O_CLOEXEC));
    if (fd.get() < 0) {
        return false;
    }
    const bool written = writeAll(fd.get(), bytes) && ::fchmod(fd.get(), mode) == 0 &&
                         (!durable || ::fdatasync(fd.get()) == 0) && fd.close();
    if (!written || ::rename(temporary.c_str(), target.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

bool PosixFileSystem::removeFile(std::string_view path) {
    const auto target = native(path);
    struct stat info {};
    if (!target || ::lstat(target->c_str(), &info) != 0 || S_ISDIR(info.st_mode)) {
        return false;
    }
    // The write bits are checked here because root may unlink anything.
    if (!S_ISLNK(info.st_mode) && (info.st_mode & kWriteBits) == 0) {
        return false;
    }
    return ::unlink(target->c_str()) == 0;
}

bool PosixFileSystem::setReadOnly(std::string_view path, bool readOnly) {
    const auto target = native(path);
    struct stat info {};
    if (!target || !statPath(*target, info)) {
        return false;
    }
    const mode_t permissions = info.st_mode & 07777;
    const mode_t changed =
        readOnly ? (permissions & ~kWriteBits) : (permissions | (kWriteBits & ~m_umask) | S_IWUSR);
    return ::chmod(target->c_str(), changed) == 0;
}

std::optional<bool> PosixFileSystem::isReadOnly(std::string_view path) const {
    const auto target = native(path);
    struct stat info {};
    if (!target || !statPath(*target, info)) {
        return std::nullopt;
    }
    return (info.st_mode & kWriteBits) == 0;
}

std::optional<std::vector<DirEntry>> PosixFileSystem::listDirectory(std::string_view path) const {
    const auto target = native(path);
    if (!target) {
        return std::nullopt;
    }
    std::unique_ptr<DIR, DirCloser> dir(::opendir(target->c_str()));
    if (!dir) {
        return std::nullopt;
    }
    const std::string prefix = withoutTrailingSlashes(*target) + "/";
    std::vector<DirEntry> entries;
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..") {
            continue;
        }
        DirEntry item;
        item.name = name;
        item.hidden = name[0] == '.';
        struct stat info {};
        if (statPath(prefix + name, info)) {
            item.directory = S_ISDIR(info.st_mode);
            item.readOnly = (info.st_mode & kWriteBits) == 0;
        }
        entries.push_back(std::move(item));
    }
    // A stable order, the one a Windows directory listing shows.
    std::sort(entries.begin(), entries.end(), [](const DirEntry& a, const DirEntry& b) {
        const int order = compareNoCase(a.name, b.name);
        return order != 0 ? order < 0 : a.name < b.name;
    });
    return entries;
}

std::optional<std::chrono::system_clock::time_point> PosixFileSystem::lastWriteTime(
    std::string_view path) const {
    const auto target = native(path);
    struct stat info {};
    if (!target || !statPath(*target, info)) {
        return std::nullopt;
    }
    return modificationTime(info);
}

bool PosixFileSystem::createDirectories(std::string_view path) {
    const auto target = native(path);
    if (!target) {
        return false;
    }
    const std::string full = withoutTrailingSlashes(*target);
    std::size_t pos = full[0] == '/' ? 1 : 0;
    while (true) {
        const std::size_t slash = full.find('/', pos);
        const std::string prefix = full.substr(0, slash);
        if (!prefix.empty() && ::mkdir(prefix.c_str(), 0777) != 0 && errno != EEXIST) {
            return false;
        }
        if (slash == std::string::npos) {
            break;
        }
        pos = slash + 1;
    }
    struct stat info {};
    return statPath(full, info) && S_ISDIR(info.st_mode);
}

int PosixFileSystem::removeInterruptedWrites(std::string_view directory) {
    const auto target = native(directory);
    if (!target) {
        return 0;
    }
    std::unique_ptr<DIR, DirCloser> dir(::opendir(target->c_str()));
    if (!dir) {
        return 0;
    }
    const std::string prefix = withoutTrailingSlashes(*target) + "/";
    const auto now = std::chrono::system_clock::now();
    int removed = 0;
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string name = entry->d_name;
        struct stat info {};
        if (!isTemporaryName(name) || ::lstat((prefix + name).c_str(), &info) != 0 ||
            !S_ISREG(info.st_mode)) {
            continue;
        }
        if (now - modificationTime(info) >= kInterruptedWriteAge &&
            ::unlink((prefix + name).c_str()) == 0) {
            ++removed;
        }
    }
    return removed;
}

NewFileOutcome PosixFileSystem::createNewFile(std::string_view path) {
    const auto target = native(path);
    if (!target || target->back() == '/') {
        return NewFileOutcome::Failed;
    }
    int fd = -1;
    do {
        fd = ::open(target->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        return errno == EEXIST ? NewFileOutcome::AlreadyExists : NewFileOutcome::Failed;
    }
    FileDescriptor created(fd);
    return created.close() ? NewFileOutcome::Created : NewFileOutcome::Failed;
}

bool PosixFileSystem::removeIfOlderThan(std::string_view path,
                                        std::chrono::system_clock::duration age) {
    const auto target = native(path);
    if (!target) {
        return false;
    }
    // Callers serialise on an advisory lock of the file itself. Whoever holds it checks that
    // the name still leads to that file before removing it: a file that another caller has
    // removed and replaced in the meantime is never taken for the old one.
    FileDescriptor fd(::open(target->c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    struct stat held {};
    if (fd.get() < 0 || ::fstat(fd.get(), &held) != 0 || !S_ISREG(held.st_mode)) {
        return false;
    }
    while (::flock(fd.get(), LOCK_EX) != 0) {
        if (errno != EINTR) {
            return false;
        }
    }
    struct stat named {};
    if (!statPath(*target, named) || !sameFile(named, held) || ::fstat(fd.get(), &held) != 0 ||
        (held.st_mode & kWriteBits) == 0) {
        return false;
    }
    if (std::chrono::system_clock::now() - modificationTime(held) < age) {
        return false;
    }
    return ::unlink(target->c_str()) == 0;
}

bool PosixFileSystem::appendFile(std::string_view path, std::string_view bytes) {
    const auto target = native(path);
    if (!target || target->back() == '/') {
        return false;
    }
    struct stat info {};
    if (statPath(*target, info) && (!S_ISREG(info.st_mode) || (info.st_mode & kWriteBits) == 0)) {
        return false;
    }
    FileDescriptor fd(::open(target->c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666));
    if (fd.get() < 0) {
        return false;
    }
    // O_APPEND alone keeps two appends apart only while each fits one write; the lock keeps
    // them apart whatever their size, and from a writer that replaces the file meanwhile.
    while (::flock(fd.get(), LOCK_EX) != 0) {
        if (errno != EINTR) {
            return false;
        }
    }
    return writeAll(fd.get(), bytes) && fd.close();
}

bool PosixFileSystem::touchFile(std::string_view path) {
    const auto target = native(path);
    return target && ::utimensat(AT_FDCWD, target->c_str(), nullptr, 0) == 0;
}

}  // namespace vt::platform::posix
