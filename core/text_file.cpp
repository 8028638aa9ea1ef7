#include "core/text_file.h"

#include "core/file_error.h"
#include "platform/text_codec.h"

namespace vt {

// One codec serves the program and the console tools, which link the platform layer only.
std::string fromWindows1252(std::string_view bytes) {
    return platform::fromWindows1252(bytes);
}

std::string toWindows1252(std::string_view utf8) {
    return platform::toWindows1252(utf8);
}

std::vector<std::string> splitLines(std::string_view text) {
    return platform::splitLines(text);
}

std::string joinLines(const std::vector<std::string>& lines) {
    return platform::joinLines(lines);
}

std::optional<std::vector<std::string>> readTextLines(const platform::FileSystem& files,
                                                      std::string_view path) {
    const std::optional<std::string> bytes = files.readFile(path);
    if (!bytes) {
        return std::nullopt;
    }
    return splitLines(fromWindows1252(*bytes));
}

std::vector<std::string> loadTextLines(const platform::FileSystem& files, std::string_view path) {
    std::optional<std::vector<std::string>> lines = readTextLines(files, path);
    if (!lines) {
        throw FileError::cannotOpen(path);
    }
    return std::move(*lines);
}

std::vector<std::string> loadTextLinesOrEmpty(const platform::FileSystem& files,
                                              std::string_view path) {
    return readTextLines(files, path).value_or(std::vector<std::string>{});
}

void saveTextLines(platform::FileSystem& files, std::string_view path,
                   const std::vector<std::string>& lines) {
    if (!files.writeFile(path, toWindows1252(joinLines(lines)))) {
        throw FileError::cannotCreate(path);
    }
}

void appendTextLines(platform::FileSystem& files, std::string_view path,
                     const std::vector<std::string>& lines) {
    if (!files.appendFile(path, toWindows1252(joinLines(lines)))) {
        throw FileError::cannotOpen(path);
    }
}

}  // namespace vt
