// The console tools built for Windows, run as the system runs them: batch files under vt_cmd
// (the system's own commands, no adapters), vt_echo on loopback addresses.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "platform/native_platform.h"
#include "platform/text_codec.h"

namespace vt {
namespace {

namespace fs = std::filesystem;

class WindowsToolsTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_root = fs::temp_directory_path() / ("vt-tools-" + std::to_string(std::random_device{}()));
        fs::create_directories(m_root);
        platform::PlatformConfig config;
        const auto probe = platform::createNativePlatform();
        m_bin = probe->platform().system.executableDirectory() + "..\\bin\\";
        config.toolsDirectory = m_bin;
        m_native = platform::createNativePlatform(config);
    }
    void TearDown() override {
        std::error_code ignored;
        for (const auto& entry : fs::recursive_directory_iterator(m_root, ignored)) {
            fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ignored);
        }
        fs::remove_all(m_root, ignored);
    }

    std::string path(std::string_view name) const {
        return m_root.string() + "\\" + std::string(name);
    }
    platform::Platform& platform() { return m_native->platform(); }
    // Runs the lines as a batch file in the test's folder; vt_cmd's exit status.
    int runBatch(const std::vector<std::string>& lines) {
        EXPECT_TRUE(platform().files.writeFile(
            path("lignes.bat"), platform::toWindows1252(platform::joinLines(lines))));
        const platform::RunOutcome outcome = platform().processes.runHidden(
            "\"" + path("lignes.bat") + "\"", m_root.string(), std::chrono::seconds(60));
        EXPECT_TRUE(outcome.finished);
        return outcome.exitCode;
    }
    std::string fileText(std::string_view name) {
        return platform::fromWindows1252(platform().files.readFile(path(name)).value_or("<aucun>"));
    }

    fs::path m_root;
    std::string m_bin;
    std::unique_ptr<platform::NativePlatform> m_native;
};

// One batch line of the kinds the system writes, and what it leaves in the file it names.
struct BatchCase {
    std::string line;
    std::string file;
    std::string expected;  // found in the file
};

class WindowsBatchTest : public WindowsToolsTest,
                         public ::testing::WithParamInterface<BatchCase> {};

TEST_P(WindowsBatchTest, VtCmdRunsTheLineWithItsRedirections) {
    const BatchCase& batch = GetParam();
    std::string line = batch.line;
    const std::size_t tools = line.find("BIN\\");
    if (tools != std::string::npos) {
        line.replace(tools, 4, m_bin);
    }
    runBatch({"echo off", line});
    EXPECT_NE(fileText(batch.file).find(batch.expected), std::string::npos) << fileText(batch.file);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, WindowsBatchTest,
    ::testing::Values(
        BatchCase{"echo bonjour é> sortie.txt", "sortie.txt", "bonjour é\r\n"},
        BatchCase{"\"BIN\\wolcmd.exe\" 2> erreurs.txt", "erreurs.txt", "usage : wolcmd"},
        BatchCase{"\"BIN\\wolcmd.exe\" 00-11-22-AA-BB-CC 127.0.0.1 255.255.255.255 >> wol.txt",
                  "wol.txt", "00-11-22-AA-BB-CC"},
        // The system's own command, found in the system folder: no Linux adapter here. Without
        // arguments it prints its usage, which names it.
        BatchCase{"net > net.txt 2>&1", "net.txt", "NET"},
        // Nothing is opened for a program that is not found.
        BatchCase{"programme_absent > absent.txt", "absent.txt", "<aucun>"}));

TEST_F(WindowsToolsTest, ReadOnlyMarksStopRedirectedWrites) {
    runBatch({"echo premier> 5.mark", "attrib +R 5.mark", "echo second> 5.mark"});
    EXPECT_EQ(fileText("5.mark"), "premier\r\n");
    EXPECT_EQ(platform().files.isReadOnly(path("5.mark")), true);
    runBatch({"attrib -R 5.mark", "echo troisième> 5.mark"});
    EXPECT_EQ(fileText("5.mark"), "troisième\r\n");
}

TEST_F(WindowsToolsTest, ACmdLineReachesVtCmdAsItWasWritten) {
    // Quotes, a backslash before one and a character beyond ASCII: the C runtime's splitting
    // of vt_cmd's command line must give the rest back whole.
    const platform::RunOutcome outcome = platform().processes.runHidden(
        R"(cmd /c echo "a b" c:\"d" é> cmd.txt)", m_root.string(), std::chrono::seconds(60));
    ASSERT_TRUE(outcome.finished);
    EXPECT_EQ(fileText("cmd.txt"), "\"a b\" c:\\\"d\" é\r\n");
}

TEST_F(WindowsToolsTest, VtEchoAnswersForLoopbackOnly) {
    ASSERT_TRUE(platform().files.writeFile(
        path("liste.txt"), "127.0.0.1\r\n127.0.0.2\r\n0.0.0.0\r\nnom.introuvable.invalid\r\n"));
    const platform::RunOutcome outcome =
        platform().processes.runHidden("\"" + m_bin + "vt_echo.exe\" liste.txt ping.txt",
                                       m_root.string(), std::chrono::seconds(60));
    ASSERT_TRUE(outcome.finished);
    EXPECT_EQ(platform::splitLines(fileText("ping.txt")),
              (std::vector<std::string>{"127.0.0.1=1", "127.0.0.2=1", "0.0.0.0=0",
                                        "nom.introuvable.invalid=0"}));
}

}  // namespace
}  // namespace vt
