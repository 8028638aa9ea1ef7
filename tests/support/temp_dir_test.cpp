#include "tests/support/temp_dir_test.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "core/text_file.h"

namespace vt::test {

namespace fs = std::filesystem;

std::string binDir() { return VT_BIN_DIR; }

void TempDirTest::SetUp() {
    std::string pattern = (fs::temp_directory_path() / "vantorel-test-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    m_root = pattern;
    fs::create_directories(driveC());
    fs::create_directories(uncRoot());
    m_previousWorkingDirectory = fs::current_path().string();
    fs::current_path(m_root);

    platform::PlatformConfig config;
    config.driveCRoot = driveC();
    config.uncRoot = uncRoot();
    config.toolsDirectory = binDir();
    m_native = platform::createNativePlatform(config);
    platform::Platform& real = m_native->platform();
    m_recording = std::make_unique<platform::Platform>(
        platform::Platform{real.files, processes, real.network, real.system});

    state.DataDir = m_root + "/";
    clock.setDate(2026, 12, 7);  // a Monday
    clock.set(10, 0, 0);
}

void TempDirTest::TearDown() {
    std::error_code ignored;
    fs::current_path(m_previousWorkingDirectory, ignored);
    // Read-only files and directories must not keep the tree from going.
    for (auto it = fs::recursive_directory_iterator(m_root, ignored);
         it != fs::recursive_directory_iterator(); it.increment(ignored)) {
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    }
    fs::remove_all(m_root, ignored);
}

std::string TempDirTest::path(std::string_view relative) const {
    return m_root + "/" + std::string(relative);
}

void TempDirTest::writeBytes(std::string_view relative, std::string_view bytes) const {
    const fs::path target = path(relative);
    fs::create_directories(target.parent_path());
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::optional<std::string> TempDirTest::readBytes(std::string_view relative) const {
    std::ifstream in(path(relative), std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void TempDirTest::writeLines(std::string_view relative, const std::vector<std::string>& lines) const {
    writeBytes(relative, toWindows1252(joinLines(lines)));
}

std::vector<std::string> TempDirTest::readLines(std::string_view relative) const {
    const auto bytes = readBytes(relative);
    return bytes ? splitLines(fromWindows1252(*bytes)) : std::vector<std::string>{};
}

bool TempDirTest::fileExists(std::string_view relative) const { return fs::exists(path(relative)); }

}  // namespace vt::test
