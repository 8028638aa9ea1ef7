#include "platform/posix/viewer_copy.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/text_codec.h"

namespace vt::platform::posix {

namespace {

bool isDirectory(const char* path) {
    struct stat info {};
    return ::stat(path, &info) == 0 && S_ISDIR(info.st_mode);
}

// In /tmp another user may have made the folder first, or put a link in its place: it is
// used only when it is a folder of this user's that no one else may enter.
std::optional<std::string> privateFolder() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    const std::string folder = runtime != nullptr && runtime[0] == '/' && isDirectory(runtime)
                                   ? std::string(runtime) + "/vantorel"
                                   : "/tmp/vantorel-" + std::to_string(::geteuid());
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        return std::nullopt;
    }
    struct stat info {};
    if (::lstat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) ||
        info.st_uid != ::geteuid() || (info.st_mode & 077) != 0) {
        return std::nullopt;
    }
    return folder;
}

}  // namespace

std::optional<std::string> utf8CopyForViewer(PosixFileSystem& files,
                                             const std::string& nativeDocument) {
    const std::size_t slash = nativeDocument.rfind('/');
    const std::string name =
        slash == std::string::npos ? nativeDocument : nativeDocument.substr(slash + 1);
    const std::optional<std::string> bytes = files.readFile(nativeDocument);
    const std::optional<std::string> folder = privateFolder();
    if (name.empty() || !bytes || !folder) {
        return std::nullopt;
    }
    const std::string copy = *folder + "/" + name;
    if (!files.writePrivateFile(copy, fromWindows1252(*bytes))) {
        return std::nullopt;
    }
    return copy;
}

}  // namespace vt::platform::posix
