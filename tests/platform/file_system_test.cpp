#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/temp_dir_test.h"

namespace vt::platform {
namespace {

namespace fs = std::filesystem;
using FileSystemTest = test::TempDirTest;

mode_t permissionsOf(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(stat(path.c_str(), &info), 0) << path;
    return info.st_mode & 07777;
}

std::vector<std::string> namesIn(const std::string& directory) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(directory)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

TEST_F(FileSystemTest, WritesAndReadsBytesExactly) {
    const std::string bytes("a\0b\xff\r\n\x80z", 8);
    ASSERT_TRUE(files().writeFile(R"(c:\bytes.bin)", bytes));
    EXPECT_EQ(readBytes("drive_c/bytes.bin"), bytes);
    EXPECT_EQ(files().readFile(R"(c:\bytes.bin)"), bytes);
    ASSERT_TRUE(files().writeFile(R"(c:\bytes.bin)", ""));
    EXPECT_EQ(files().readFile(R"(c:\bytes.bin)"), "");
}

TEST_F(FileSystemTest, ReadingWhatIsNotAFileGivesNothing) {
    EXPECT_EQ(files().readFile(R"(c:\missing.txt)"), std::nullopt);
    EXPECT_EQ(files().readFile(R"(c:\)"), std::nullopt);
    EXPECT_EQ(files().readFile(""), std::nullopt);
    EXPECT_EQ(files().readFile(std::string_view("c:\\a\0b", 6)), std::nullopt);
}

TEST_F(FileSystemTest, AWholeFileWriteLeavesNoTemporaryFileBehind) {
    ASSERT_TRUE(files().writeFile(R"(c:\liste.mac)", "first"));
    ASSERT_TRUE(files().writeFile(R"(c:\liste.mac)", "second, longer"));
    writeBytes("drive_c/locked.txt", "keep");
    ASSERT_TRUE(files().setReadOnly(R"(c:\locked.txt)", true));
    EXPECT_FALSE(files().writeFile(R"(c:\locked.txt)", "lost"));
    EXPECT_EQ(namesIn(driveC()), (std::vector<std::string>{"liste.mac", "locked.txt"}));
    EXPECT_EQ(readBytes("drive_c/liste.mac"), "second, longer");
    EXPECT_EQ(readBytes("drive_c/locked.txt"), "keep");
}

TEST_F(FileSystemTest, WritesAFileWhoseNameIsAsLongAsTheSystemAllows) {
    const std::string name(255, 'n');
    ASSERT_TRUE(files().writeFile("c:\\" + name, "x"));
    EXPECT_EQ(readBytes("drive_c/" + name), "x");
    ASSERT_TRUE(files().writeFile("c:\\" + name, "y"));
    EXPECT_EQ(namesIn(driveC()), std::vector<std::string>{name});
    EXPECT_FALSE(files().writeFile("c:\\" + name + "n", "too long"));
}

TEST_F(FileSystemTest, WritingFailsWithoutItsDirectoryOrOnADirectory) {
    EXPECT_FALSE(files().writeFile(R"(c:\no\such\dir\x.txt)", "x"));
    EXPECT_FALSE(fs::exists(driveC() + "no"));
    ASSERT_TRUE(files().createDirectories(R"(c:\sub)"));
    EXPECT_FALSE(files().writeFile(R"(c:\sub)", "x"));
    EXPECT_FALSE(files().writeFile(R"(c:\sub\)", "x"));
    EXPECT_TRUE(fs::is_directory(driveC() + "sub"));
}

TEST_F(FileSystemTest, ReplacingAFileKeepsItsPermissions) {
    writeBytes("drive_c/job.sh", "#!/bin/sh\n");
    fs::permissions(driveC() + "job.sh", static_cast<fs::perms>(0750));
    ASSERT_TRUE(files().writeFile(R"(c:\job.sh)", "#!/bin/sh\nexit 0\n"));
    EXPECT_EQ(permissionsOf(driveC() + "job.sh"), 0750u);
}

TEST_F(FileSystemTest, ReadOnlyIsTheAbsenceOfEveryWriteBit) {
    writeBytes("drive_c/5.mark", "");
    EXPECT_EQ(files().isReadOnly(R"(c:\5.mark)"), false);
    ASSERT_TRUE(files().setReadOnly(R"(c:\5.MARK)", true));
    EXPECT_EQ(permissionsOf(driveC() + "5.mark") & 0222, 0u);
    EXPECT_EQ(files().isReadOnly(R"(c:\5.mark)"), true);
    ASSERT_TRUE(files().setReadOnly(R"(c:\5.mark)", false));
    EXPECT_NE(permissionsOf(driveC() + "5.mark") & 0200, 0u);
    EXPECT_EQ(files().isReadOnly(R"(c:\5.mark)"), false);
    // A file that keeps only a group write bit is not read-only.
    fs::permissions(driveC() + "5.mark", static_cast<fs::perms>(0464));
    EXPECT_EQ(files().isReadOnly(R"(c:\5.mark)"), false);
    EXPECT_EQ(files().isReadOnly(R"(c:\missing)"), std::nullopt);
    EXPECT_FALSE(files().setReadOnly(R"(c:\missing)", true));
}

TEST_F(FileSystemTest, RemovingFailsOnReadOnlyMissingAndDirectories) {
    writeBytes("drive_c/5.mark", "");
    ASSERT_TRUE(files().setReadOnly(R"(c:\5.mark)", true));
    // Also when the tests run as root, who could unlink it.
    EXPECT_FALSE(files().removeFile(R"(c:\5.mark)"));
    EXPECT_TRUE(fileExists("drive_c/5.mark"));
    ASSERT_TRUE(files().setReadOnly(R"(c:\5.mark)", false));
    EXPECT_TRUE(files().removeFile(R"(C:\5.MARK)"));
    EXPECT_FALSE(fileExists("drive_c/5.mark"));
    EXPECT_FALSE(files().removeFile(R"(c:\5.mark)"));
    ASSERT_TRUE(files().createDirectories(R"(c:\dir)"));
    EXPECT_FALSE(files().removeFile(R"(c:\dir)"));
    EXPECT_TRUE(fs::is_directory(driveC() + "dir"));
}

TEST_F(FileSystemTest, ListsEntriesWithTheirKindAndAttributes) {
    writeBytes("drive_c/list/b.txt", "b");
    writeBytes("drive_c/list/.hidden", "h");
    writeBytes("drive_c/list/A.txt", "a");
    fs::create_directories(driveC() + "list/Sub");
    ASSERT_TRUE(files().setReadOnly(R"(c:\list\b.txt)", true));
    const auto entries = files().listDirectory(R"(c:\LIST)");
    ASSERT_TRUE(entries.has_value());
    std::vector<std::string> described;
    for (const DirEntry& entry : *entries) {
        described.push_back(entry.name + (entry.directory ? " dir" : "") +
                            (entry.readOnly ? " ro" : "") + (entry.hidden ? " hidden" : ""));
    }
    EXPECT_EQ(described,
              (std::vector<std::string>{".hidden hidden", "A.txt", "b.txt ro", "Sub dir"}));
    EXPECT_EQ(files().listDirectory(R"(c:\missing)"), std::nullopt);
    EXPECT_EQ(files().listDirectory(R"(c:\list\A.txt)"), std::nullopt);
    ASSERT_TRUE(files().createDirectories(R"(c:\empty)"));
    EXPECT_EQ(files().listDirectory(R"(c:\empty\)")->size(), 0u);
}

TEST_F(FileSystemTest, LastWriteTimeIsTheModificationTime) {
    const auto before = std::chrono::system_clock::now() - std::chrono::seconds(2);
    ASSERT_TRUE(files().writeFile(R"(c:\x.txt)", "x"));
    const auto written = files().lastWriteTime(R"(c:\X.TXT)");
    ASSERT_TRUE(written.has_value());
    EXPECT_GE(*written, before);
    EXPECT_LE(*written, std::chrono::system_clock::now() + std::chrono::seconds(2));
    EXPECT_EQ(files().lastWriteTime(R"(c:\missing)"), std::nullopt);
}

TEST_F(FileSystemTest, CreatesMissingParentsAndReusesExistingOnes) {
    fs::create_directories(driveC() + "Logs");
    EXPECT_TRUE(files().createDirectories(R"(c:\logs\2026\12)"));
    EXPECT_TRUE(fs::is_directory(driveC() + "Logs/2026/12"));
    EXPECT_FALSE(fs::exists(driveC() + "logs"));
    EXPECT_TRUE(files().createDirectories(R"(c:\logs\2026\12\)"));
    writeBytes("drive_c/file", "x");
    EXPECT_FALSE(files().createDirectories(R"(c:\file\below)"));
    EXPECT_FALSE(files().createDirectories(""));
}

TEST_F(FileSystemTest, ANewFileIsCreatedOnlyWhereNoEntryOfItsNameIs) {
    EXPECT_EQ(files().createNewFile(R"(c:\run.lck)"), NewFileOutcome::Created);
    writeBytes("drive_c/run.lck", "kept");
    EXPECT_EQ(files().createNewFile(R"(c:\RUN.LCK)"), NewFileOutcome::AlreadyExists);
    EXPECT_EQ(readBytes("drive_c/run.lck"), "kept");
    EXPECT_EQ(files().createNewFile(R"(c:\)"), NewFileOutcome::Failed);
    EXPECT_EQ(files().createNewFile(R"(c:\missing\run.lck)"), NewFileOutcome::Failed);
}

TEST_F(FileSystemTest, RemovesAndTouchesFilesByTheirAge) {
    const auto age = std::chrono::minutes(10);
    const auto makeOld = [this] {
        fs::last_write_time(driveC() + "run.lck",
                            fs::file_time_type::clock::now() - std::chrono::hours(1));
    };
    writeBytes("drive_c/run.lck", "bytes");
    EXPECT_FALSE(files().removeIfOlderThan(R"(c:\run.lck)", age));
    makeOld();
    ASSERT_TRUE(files().touchFile(R"(c:\run.lck)"));
    EXPECT_FALSE(files().removeIfOlderThan(R"(c:\run.lck)", age));
    EXPECT_EQ(readBytes("drive_c/run.lck"), "bytes");
    ASSERT_TRUE(files().setReadOnly(R"(c:\run.lck)", true));
    makeOld();
    EXPECT_FALSE(files().removeIfOlderThan(R"(c:\run.lck)", age));
    ASSERT_TRUE(files().setReadOnly(R"(c:\run.lck)", false));
    makeOld();
    EXPECT_TRUE(files().removeIfOlderThan(R"(c:\RUN.LCK)", age));
    EXPECT_FALSE(fileExists("drive_c/run.lck"));
    EXPECT_FALSE(files().removeIfOlderThan(R"(c:\run.lck)", age));
    EXPECT_FALSE(files().touchFile(R"(c:\run.lck)"));
}

}  // namespace
}  // namespace vt::platform
