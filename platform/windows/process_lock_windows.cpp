#include <windows.h>

#include "platform/process_lock.h"
#include "platform/windows/owned_handle.h"
#include "platform/windows/wide_text.h"

namespace vt::platform {

namespace {

// The lock is of one byte far beyond the holder's text, so that the others can still read
// who holds it.
constexpr DWORD kLockOffsetHigh = 0x40000000;

class FileLockHeld : public ProcessLock {
public:
    explicit FileLockHeld(windows::OwnedHandle file) : m_file(std::move(file)) {}

private:
    // Closing the handle, or the end of the process however it ends, releases the lock.
    windows::OwnedHandle m_file;
};

}  // namespace

std::unique_ptr<ProcessLock> tryProcessLock(const std::string& nativePath,
                                            std::string_view holder) {
    windows::OwnedHandle file(::CreateFileW(windows::wide(nativePath).c_str(),
                                            GENERIC_READ | GENERIC_WRITE,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                            nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        return nullptr;
    }
    OVERLAPPED place{};
    place.OffsetHigh = kLockOffsetHigh;
    if (!::LockFileEx(file.get(), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0,
                      &place)) {
        return nullptr;
    }
    // Who holds it is a courtesy to the others: the lock itself is the byte range.
    DWORD written = 0;
    if (::SetEndOfFile(file.get())) {
        ::WriteFile(file.get(), holder.data(), static_cast<DWORD>(holder.size()), &written,
                    nullptr);
    }
    return std::make_unique<FileLockHeld>(std::move(file));
}

long currentProcessId() {
    return static_cast<long>(::GetCurrentProcessId());
}

}  // namespace vt::platform
