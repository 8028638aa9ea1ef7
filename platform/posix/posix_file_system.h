#pragma once

#include <sys/types.h>

#include "platform/platform.h"
#include "platform/posix/path_mapper.h"

namespace vt::platform::posix {

class PosixFileSystem : public FileSystem {
public:
    explicit PosixFileSystem(const PathMapper& mapper);

    std::string nativePath(std::string_view path) const override;
    bool exists(std::string_view path) const override;
    bool isDirectory(std::string_view path) const override;
    std::optional<std::string> readFile(std::string_view path) const override;
    bool writeFile(std::string_view path, std::string_view bytes) override;
    bool writeCacheFile(std::string_view path, std::string_view bytes) override;
    bool writePrivateFile(std::string_view path, std::string_view bytes) override;
    bool appendFile(std::string_view path, std::string_view bytes) override;
    bool removeFile(std::string_view path) override;
    bool setReadOnly(std::string_view path, bool readOnly) override;
    std::optional<bool> isReadOnly(std::string_view path) const override;
    std::optional<std::vector<DirEntry>> listDirectory(std::string_view path) const override;
    std::optional<std::chrono::system_clock::time_point> lastWriteTime(
        std::string_view path) const override;
    bool createDirectories(std::string_view path) override;
    int removeInterruptedWrites(std::string_view directory) override;
    NewFileOutcome createNewFile(std::string_view path) override;
    bool removeIfOlderThan(std::string_view path, std::chrono::system_clock::duration age) override;
    bool touchFile(std::string_view path) override;

private:
    // The resolved native path; nothing for a text no file can be named by.
    std::optional<std::string> native(std::string_view path) const;
    // The file's mode is `privateMode` when given, else that of the file it replaces, or of a
    // new file. `durable`: the bytes are on the disk before the file is replaced.
    bool replaceFile(std::string_view path, std::string_view bytes,
                     std::optional<mode_t> privateMode, bool durable = true);

    const PathMapper& m_mapper;
    mode_t m_umask;
};

}  // namespace vt::platform::posix
