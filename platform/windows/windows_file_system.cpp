#include "platform/windows/windows_file_system.h"

#include <windows.h>
// After windows.h, which they need.
#include <sddl.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <optional>
#include <random>

#include "platform/ascii_text.h"
#include "platform/interrupted_writes.h"
#include "platform/windows/owned_handle.h"
#include "platform/windows/wide_text.h"

namespace vt::platform::windows {

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
constexpr DWORD kNoAttributes = INVALID_FILE_ATTRIBUTES;
// FILETIME counts 100 ns from 1601-01-01; the system clock counts from 1970-01-01.
constexpr std::int64_t kFileTimeToUnixEpoch = 116444736000000000LL;
// Appenders serialise on a lock of one byte far beyond any data rather than on the file's
// bytes: a lock of the bytes themselves would make a reader's ReadFile fail meanwhile.
constexpr DWORD kAppendLockOffsetHigh = 0x40000000;

// A name no file can have: empty, or holding a NUL that would cut it short.
bool unusable(std::string_view path) {
    return path.empty() || path.find('\0') != std::string_view::npos;
}

bool endsWithSeparator(std::string_view path) {
    return !path.empty() && (path.back() == '\\' || path.back() == '/');
}

DWORD attributesOf(std::string_view path) {
    return unusable(path) ? kNoAttributes : ::GetFileAttributesW(wide(path).c_str());
}

bool isDirectoryAttribute(DWORD attributes) {
    return attributes != kNoAttributes && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool isReadOnlyAttribute(DWORD attributes) {
    return attributes != kNoAttributes && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

std::chrono::system_clock::time_point timePoint(const FILETIME& time) {
    ULARGE_INTEGER ticks;
    ticks.LowPart = time.dwLowDateTime;
    ticks.HighPart = time.dwHighDateTime;
    const std::chrono::duration<std::int64_t, std::ratio<1, 10000000>> sinceEpoch(
        static_cast<std::int64_t>(ticks.QuadPart) - kFileTimeToUnixEpoch);
    return std::chrono::system_clock::time_point(
        std::chrono::duration_cast<std::chrono::system_clock::duration>(sinceEpoch));
}

bool writeAll(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        DWORD written = 0;
        if (!::WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) {
            return false;
        }
        bytes.remove_prefix(written);
    }
    return true;
}

std::wstring parentOf(const std::wstring& path) {
    const std::size_t separator = path.find_last_of(L"\\/");
    if (separator == std::wstring::npos) {
        return path.size() >= 2 && path[1] == L':' ? path.substr(0, 2) : std::wstring();
    }
    return path.substr(0, separator + 1);
}

std::wstring nameOf(const std::wstring& path) {
    const std::size_t separator = path.find_last_of(L"\\/:");
    return separator == std::wstring::npos ? path : path.substr(separator + 1);
}

std::wstring withSeparator(std::wstring directory) {
    if (!directory.empty() && directory.back() != L'\\' && directory.back() != L'/') {
        directory.push_back(L'\\');
    }
    return directory;
}

std::wstring uniqueCharacters() {
    static constexpr wchar_t kAlphabet[] = L"abcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::mt19937 generator(std::random_device{}() ^
                                        static_cast<unsigned>(::GetCurrentThreadId()));
    std::uniform_int_distribution<std::size_t> pick(0, std::size(kAlphabet) - 2);
    std::wstring text;
    for (std::size_t i = 0; i < kTemporaryUniqueLength; ++i) {
        text.push_back(kAlphabet[pick(generator)]);
    }
    return text;
}

// A security descriptor that lets the running user alone reach the file.
class OwnerOnlyDescriptor {
public:
    OwnerOnlyDescriptor() {
        HANDLE rawToken = nullptr;
        if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &rawToken)) {
            return;
        }
        const OwnedHandle token(rawToken);
        DWORD size = 0;
        ::GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
        std::vector<unsigned char> buffer(size);
        wchar_t* sid = nullptr;
        if (size == 0 ||
            !::GetTokenInformation(token.get(), TokenUser, buffer.data(), size, &size) ||
            !::ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid,
                                      &sid)) {
            return;
        }
        // Protected: nothing is inherited from the folder; full access for the user only.
        const std::wstring text = L"D:P(A;;FA;;;" + std::wstring(sid) + L")";
        ::LocalFree(sid);
        ::ConvertStringSecurityDescriptorToSecurityDescriptorW(text.c_str(), SDDL_REVISION_1,
                                                               &m_descriptor, nullptr);
    }
    ~OwnerOnlyDescriptor() { ::LocalFree(m_descriptor); }
    OwnerOnlyDescriptor(const OwnerOnlyDescriptor&) = delete;
    OwnerOnlyDescriptor& operator=(const OwnerOnlyDescriptor&) = delete;

    PSECURITY_DESCRIPTOR get() const { return m_descriptor; }

private:
    PSECURITY_DESCRIPTOR m_descriptor = nullptr;
};

}  // namespace

std::string WindowsFileSystem::nativePath(std::string_view path) const {
    return unusable(path) ? std::string() : std::string(path);
}

bool WindowsFileSystem::exists(std::string_view path) const {
    return attributesOf(path) != kNoAttributes;
}

bool WindowsFileSystem::isDirectory(std::string_view path) const {
    return isDirectoryAttribute(attributesOf(path));
}

std::optional<std::string> WindowsFileSystem::readFile(std::string_view path) const {
    if (unusable(path)) {
        return std::nullopt;
    }
    const OwnedHandle file(::CreateFileW(wide(path).c_str(), GENERIC_READ, kShareAll, nullptr,
                                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        return std::nullopt;
    }
    std::string bytes;
    LARGE_INTEGER size;
    if (::GetFileSizeEx(file.get(), &size) && size.QuadPart > 0) {
        bytes.reserve(static_cast<std::size_t>(size.QuadPart));
    }
    char buffer[65536];
    while (true) {
        DWORD got = 0;
        if (!::ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr)) {
            return std::nullopt;
        }
        if (got == 0) {
            return bytes;
        }
        bytes.append(buffer, got);
    }
}

bool WindowsFileSystem::writeFile(std::string_view path, std::string_view bytes) {
    return replaceFile(path, bytes, Durability::Synced, false);
}

bool WindowsFileSystem::writeCacheFile(std::string_view path, std::string_view bytes) {
    return replaceFile(path, bytes, Durability::Cached, false);
}

bool WindowsFileSystem::writePrivateFile(std::string_view path, std::string_view bytes) {
    return replaceFile(path, bytes, Durability::Synced, true);
}

bool WindowsFileSystem::replaceFile(std::string_view path, std::string_view bytes,
                                    Durability durability, bool ownerOnly) {
    if (unusable(path) || endsWithSeparator(path)) {
        return false;
    }
    const DWORD attributes = attributesOf(path);
    if (isDirectoryAttribute(attributes) || isReadOnlyAttribute(attributes)) {
        return false;
    }
    // Written beside the target and moved over it, so a reader sees the old file or the new
    // one, never half of one; a failure leaves the old file untouched.
    const std::wstring target = wide(path);
    const std::wstring stem = parentOf(target) + wide(temporaryStem(narrow(nameOf(target))));
    std::optional<OwnerOnlyDescriptor> ownerOnlyDescriptor;
    SECURITY_ATTRIBUTES security{sizeof(SECURITY_ATTRIBUTES), nullptr, FALSE};
    if (ownerOnly) {
        // Set at the creation: the secret is never open to others, not even for a moment.
        security.lpSecurityDescriptor = ownerOnlyDescriptor.emplace().get();
        if (security.lpSecurityDescriptor == nullptr) {
            return false;
        }
    }
    std::wstring temporary;
    OwnedHandle file;
    for (int attempt = 0; attempt < 16 && !file.valid(); ++attempt) {
        temporary = stem + uniqueCharacters();
        file.reset(::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0,
                                 ownerOnly ? &security : nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                 nullptr));
        if (!file.valid() && ::GetLastError() != ERROR_FILE_EXISTS) {
            return false;
        }
    }
    const bool written = file.valid() && writeAll(file.get(), bytes) &&
                         (durability == Durability::Cached || ::FlushFileBuffers(file.get())) &&
                         file.close();
    const DWORD flags =
        MOVEFILE_REPLACE_EXISTING | (durability == Durability::Synced ? MOVEFILE_WRITE_THROUGH : 0);
    if (!written || !::MoveFileExW(temporary.c_str(), target.c_str(), flags)) {
        file.reset();
        ::DeleteFileW(temporary.c_str());
        return false;
    }
    return true;
}

bool WindowsFileSystem::appendFile(std::string_view path, std::string_view bytes) {
    if (unusable(path) || endsWithSeparator(path)) {
        return false;
    }
    const DWORD attributes = attributesOf(path);
    if (isDirectoryAttribute(attributes) || isReadOnlyAttribute(attributes)) {
        return false;
    }
    // Append data only: every write lands at the end of the file, whatever others wrote
    // meanwhile. Read access is what the lock needs.
    const OwnedHandle file(::CreateFileW(wide(path).c_str(), FILE_APPEND_DATA | GENERIC_READ,
                                         kShareAll, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                         nullptr));
    if (!file.valid()) {
        return false;
    }
    OVERLAPPED lockPlace{};
    lockPlace.OffsetHigh = kAppendLockOffsetHigh;
    if (!::LockFileEx(file.get(), LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &lockPlace)) {
        return false;
    }
    const bool written = writeAll(file.get(), bytes);
    ::UnlockFileEx(file.get(), 0, 1, 0, &lockPlace);
    return written;
}

bool WindowsFileSystem::removeFile(std::string_view path) {
    const DWORD attributes = attributesOf(path);
    if (attributes == kNoAttributes || isDirectoryAttribute(attributes) ||
        isReadOnlyAttribute(attributes)) {
        return false;
    }
    return ::DeleteFileW(wide(path).c_str()) != 0;
}

bool WindowsFileSystem::setReadOnly(std::string_view path, bool readOnly) {
    const DWORD attributes = attributesOf(path);
    if (attributes == kNoAttributes) {
        return false;
    }
    const DWORD changed = readOnly ? (attributes | FILE_ATTRIBUTE_READONLY)
                                   : (attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
    return changed == attributes || ::SetFileAttributesW(wide(path).c_str(), changed) != 0;
}

std::optional<bool> WindowsFileSystem::isReadOnly(std::string_view path) const {
    const DWORD attributes = attributesOf(path);
    if (attributes == kNoAttributes) {
        return std::nullopt;
    }
    return isReadOnlyAttribute(attributes);
}

std::optional<std::vector<DirEntry>> WindowsFileSystem::listDirectory(std::string_view path) const {
    if (!isDirectory(path)) {
        return std::nullopt;
    }
    WIN32_FIND_DATAW found;
    const std::wstring pattern = withSeparator(wide(path)) + L"*";
    HANDLE search = ::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found,
                                       FindExSearchNameMatch, nullptr, 0);
    std::vector<DirEntry> entries;
    if (search == INVALID_HANDLE_VALUE) {
        return ::GetLastError() == ERROR_FILE_NOT_FOUND ? std::optional(entries) : std::nullopt;
    }
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") {
            continue;
        }
        DirEntry item;
        item.name = narrow(name);
        item.directory = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        item.readOnly = (found.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
        item.hidden = (found.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) != 0;
        entries.push_back(std::move(item));
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    std::sort(entries.begin(), entries.end(), [](const DirEntry& a, const DirEntry& b) {
        const int order = compareNoCase(a.name, b.name);
        return order != 0 ? order < 0 : a.name < b.name;
    });
    return entries;
}

std::optional<std::chrono::system_clock::time_point> WindowsFileSystem::lastWriteTime(
    std::string_view path) const {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (unusable(path) ||
        !::GetFileAttributesExW(wide(path).c_str(), GetFileExInfoStandard, &data)) {
        return std::nullopt;
    }
    return timePoint(data.ftLastWriteTime);
}

bool WindowsFileSystem::createDirectories(std::string_view path) {
    if (unusable(path)) {
        return false;
    }
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(wide(path)), ignored);
    return isDirectory(path);
}

int WindowsFileSystem::removeInterruptedWrites(std::string_view directory) {
    if (!isDirectory(directory)) {
        return 0;
    }
    const std::wstring folder = withSeparator(wide(directory));
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileExW((folder + L".*").c_str(), FindExInfoBasic, &found,
                                       FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE) {
        return 0;
    }
    const auto now = std::chrono::system_clock::now();
    int removed = 0;
    do {
        const std::wstring name = found.cFileName;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ||
            !isTemporaryName(narrow(name)) ||
            now - timePoint(found.ftLastWriteTime) < kInterruptedWriteAge) {
            continue;
        }
        if (::DeleteFileW((folder + name).c_str())) {
            ++removed;
        }
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    return removed;
}

NewFileOutcome WindowsFileSystem::createNewFile(std::string_view path) {
    if (unusable(path) || endsWithSeparator(path)) {
        return NewFileOutcome::Failed;
    }
    OwnedHandle file(::CreateFileW(wide(path).c_str(), GENERIC_WRITE, kShareAll, nullptr,
                                   CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) {
            return NewFileOutcome::AlreadyExists;
        }
        // A directory of that name refuses the creation with "access denied".
        return exists(path) ? NewFileOutcome::AlreadyExists : NewFileOutcome::Failed;
    }
    return file.close() ? NewFileOutcome::Created : NewFileOutcome::Failed;
}

bool WindowsFileSystem::removeIfOlderThan(std::string_view path,
                                          std::chrono::system_clock::duration age) {
    if (unusable(path)) {
        return false;
    }
    // Opened for deletion without sharing deletion: of two callers only one holds the file at
    // a time, and the deletion is of the very file whose time was read, never of a newer one
    // put in its place meanwhile.
    const OwnedHandle file(::CreateFileW(wide(path).c_str(), DELETE | FILE_READ_ATTRIBUTES,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
    BY_HANDLE_FILE_INFORMATION information;
    if (!file.valid() || !::GetFileInformationByHandle(file.get(), &information) ||
        (information.dwFileAttributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) !=
            0) {
        return false;
    }
    if (std::chrono::system_clock::now() - timePoint(information.ftLastWriteTime) < age) {
        return false;
    }
    FILE_DISPOSITION_INFO disposition{TRUE};
    return ::SetFileInformationByHandle(file.get(), FileDispositionInfo, &disposition,
                                        sizeof disposition) != 0;
}

bool WindowsFileSystem::touchFile(std::string_view path) {
    if (unusable(path)) {
        return false;
    }
    const OwnedHandle file(::CreateFileW(wide(path).c_str(), FILE_WRITE_ATTRIBUTES, kShareAll,
                                         nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                                         nullptr));
    FILETIME now;
    ::GetSystemTimeAsFileTime(&now);
    return file.valid() && ::SetFileTime(file.get(), nullptr, nullptr, &now) != 0;
}

}  // namespace vt::platform::windows
