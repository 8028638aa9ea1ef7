#include "core/command_runner.h"

#include <gtest/gtest.h>

#include "core/file_error.h"
#include "tests/support/temp_dir_test.h"

namespace vt {
namespace {

class CommandRunnerTest : public test::TempDirTest {};

TEST_F(CommandRunnerTest, StartsLinesUpTo255Characters) {
    const std::string line255 = "wolcmd " + std::string(248, 'a');
    ASSERT_EQ(line255.size(), 255u);
    EXPECT_TRUE(StartHidden(services(), line255));
    // 255 characters that are 300 bytes in memory: the limit counts characters.
    std::string wide = "echo ";
    for (int i = 0; i < 250; ++i) {
        wide += "é";
    }
    EXPECT_TRUE(StartHidden(services(), wide));
    EXPECT_EQ(processes.started, (std::vector<std::string>{line255, wide}));
    EXPECT_TRUE(console.lines.empty());
}

TEST_F(CommandRunnerTest, LongerLinesAreNotStartedAndTheConsoleSaysSo) {
    const std::string line256 = "c:\\" + std::string(249, 'b') + ".bat";
    ASSERT_EQ(line256.size(), 256u);
    EXPECT_FALSE(StartHidden(services(), line256));
    EXPECT_TRUE(processes.started.empty());
    EXPECT_EQ(console.lines, std::vector<std::string>{
                                 "commande non lancée (plus de 255 caractères) : " + line256});
}

TEST_F(CommandRunnerTest, AFailedStartIsStillAnAttempt) {
    processes.startSucceeds = false;
    EXPECT_TRUE(StartHidden(services(), "missing.exe"));
    EXPECT_EQ(processes.started, std::vector<std::string>{"missing.exe"});
    EXPECT_TRUE(console.lines.empty());
}

TEST_F(CommandRunnerTest, BatchFileIsReplacedWholeInWindows1252) {
    writeBytes("powerupSALLE1.bat", "old line that is much longer than the new file\r\n");
    writeBatchFile(files(), path("powerupSALLE1.bat"),
                   {"cd " + path(""), "wolcmd 001122334455 10.0.0.255 255.255.255.0 élève"});
    EXPECT_EQ(
        readBytes("powerupSALLE1.bat"),
        "cd " + path("") + "\r\nwolcmd 001122334455 10.0.0.255 255.255.255.0 \xE9l\xE8ve\r\n");
    ASSERT_TRUE(files().setReadOnly(path("powerupSALLE1.bat"), true));
    EXPECT_THROW(writeBatchFile(files(), path("powerupSALLE1.bat"), {}), FileError);
}

}  // namespace
}  // namespace vt
