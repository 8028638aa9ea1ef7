#pragma once

// Owns one kernel handle (file, process, event, job); both "no handle" values of Win32 mean
// none.

#include <windows.h>

#include <utility>

namespace vt::platform::windows {

class OwnedHandle {
public:
    OwnedHandle() = default;
    explicit OwnedHandle(HANDLE handle) : m_handle(handle) {}
    OwnedHandle(const OwnedHandle&) = delete;
    OwnedHandle& operator=(const OwnedHandle&) = delete;
    OwnedHandle(OwnedHandle&& other) noexcept : m_handle(std::exchange(other.m_handle, nullptr)) {}
    OwnedHandle& operator=(OwnedHandle&& other) noexcept {
        if (this != &other) {
            reset(std::exchange(other.m_handle, nullptr));
        }
        return *this;
    }
    ~OwnedHandle() { reset(); }

    HANDLE get() const { return m_handle; }
    bool valid() const { return m_handle != nullptr && m_handle != INVALID_HANDLE_VALUE; }
    void reset(HANDLE handle = nullptr) {
        if (valid()) {
            ::CloseHandle(m_handle);
        }
        m_handle = handle;
    }
    // Closes now, reporting whether the close succeeded (the last writes reached the file).
    bool close() {
        const bool closed = !valid() || ::CloseHandle(m_handle) != 0;
        m_handle = nullptr;
        return closed;
    }

private:
    HANDLE m_handle = nullptr;
};

}  // namespace vt::platform::windows
