#pragma once

#include "platform/platform.h"

namespace vt::platform::windows {

// Files by their Windows names: "c:\x" and "\\server\share\x" are what they say here.
class WindowsFileSystem : public FileSystem {
public:
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
    enum class Durability { Synced, Cached };
    bool replaceFile(std::string_view path, std::string_view bytes, Durability durability,
                     bool ownerOnly);
};

}  // namespace vt::platform::windows
