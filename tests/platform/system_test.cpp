#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/support/temp_dir_test.h"

namespace vt::platform {
namespace {

namespace fs = std::filesystem;
using SystemTest = test::TempDirTest;

TEST_F(SystemTest, ReadsEnvironmentVariables) {
    System& system = realPlatform().system;
    setenv("VT_PLATFORM_TEST_VAR", "valeur é", 1);
    EXPECT_EQ(system.environment("VT_PLATFORM_TEST_VAR"), "valeur é");
    setenv("VT_PLATFORM_TEST_VAR", "", 1);
    EXPECT_EQ(system.environment("VT_PLATFORM_TEST_VAR"), "");
    unsetenv("VT_PLATFORM_TEST_VAR");
    EXPECT_EQ(system.environment("VT_PLATFORM_TEST_VAR"), std::nullopt);
    EXPECT_EQ(system.environment(""), std::nullopt);
    EXPECT_EQ(system.environment("PATH=x"), std::nullopt);
}

TEST_F(SystemTest, ExecutableDirectoryHoldsTheRunningProgram) {
    const std::string directory = realPlatform().system.executableDirectory();
    ASSERT_FALSE(directory.empty());
    EXPECT_EQ(directory.back(), '/');
    EXPECT_TRUE(fs::exists(directory + "vt_unit_tests"));
}

TEST_F(SystemTest, SetsTheWorkingDirectoryFromASystemPath) {
    fs::create_directories(driveC() + "Data");
    ASSERT_TRUE(realPlatform().system.setWorkingDirectory(R"(c:\DATA\)"));
    EXPECT_EQ(fs::current_path(), fs::path(driveC() + "Data"));
    EXPECT_FALSE(realPlatform().system.setWorkingDirectory(R"(c:\missing)"));
    EXPECT_FALSE(realPlatform().system.setWorkingDirectory(""));
    EXPECT_EQ(fs::current_path(), fs::path(driveC() + "Data"));
}

}  // namespace
}  // namespace vt::platform
