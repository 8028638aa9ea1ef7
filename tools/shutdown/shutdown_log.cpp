#include "tools/shutdown/shutdown_log.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/text_codec.h"

namespace vt::shutdown {

std::string shutdownLogLine(const platform::System& system, std::string_view machine,
                            std::string_view result) {
    const platform::LocalDateTime now = system.now();
    return system.shortDate(now) + ";" + system.longTime(now) + ";" + std::string(machine) + ";" +
           std::string(result) + ";";
}

bool appendToShutdownLog(const std::string& line, std::string& error) {
    const std::string bytes = platform::toWindows1252(line) + "\r\n";
    const int fd = ::open(kShutdownLogFile, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        error =
            std::string("impossible d'ouvrir ") + kShutdownLogFile + " : " + std::strerror(errno);
        return false;
    }
    while (::flock(fd, LOCK_EX) != 0 && errno == EINTR) {
    }
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t got = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            error = std::string("impossible d'écrire ") + kShutdownLogFile + " : " +
                    std::strerror(errno);
            ::close(fd);
            return false;
        }
        written += static_cast<std::size_t>(got);
    }
    ::close(fd);  // releases the lock
    return true;
}

}  // namespace vt::shutdown
