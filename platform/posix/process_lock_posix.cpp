#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "platform/process_lock.h"

namespace vt::platform {

namespace {

class FlockHeld : public ProcessLock {
public:
    explicit FlockHeld(int fd) : m_fd(fd) {}
    ~FlockHeld() override { ::close(m_fd); }
    FlockHeld(const FlockHeld&) = delete;
    FlockHeld& operator=(const FlockHeld&) = delete;

private:
    int m_fd;
};

}  // namespace

std::unique_ptr<ProcessLock> tryProcessLock(const std::string& nativePath,
                                            std::string_view holder) {
    const int fd = ::open(nativePath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        return nullptr;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return nullptr;
    }
    // Who holds it is a courtesy to the others: the lock itself is the flock.
    if (::ftruncate(fd, 0) == 0) {
        std::string_view rest = holder;
        while (!rest.empty()) {
            const ssize_t written = ::pwrite(fd, rest.data(), rest.size(),
                                             static_cast<off_t>(holder.size() - rest.size()));
            if (written < 0 && errno == EINTR) {
                continue;
            }
            if (written <= 0) {
                break;
            }
            rest.remove_prefix(static_cast<std::size_t>(written));
        }
    }
    return std::make_unique<FlockHeld>(fd);
}

long currentProcessId() {
    return static_cast<long>(::getpid());
}

}  // namespace vt::platform
