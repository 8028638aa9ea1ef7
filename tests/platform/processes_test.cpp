#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/command_line.h"
#include "tests/support/temp_dir_test.h"

namespace vt::platform {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

class ProcessesTest : public test::TempDirTest {
protected:
    Processes& processes() { return realPlatform().processes; }

    // A shell script, executable, at a path inside the temporary directory.
    void writeScript(std::string_view relative, std::string_view body) {
        writeBytes(relative, "#!/bin/sh\n" + std::string(body));
        fs::permissions(path(relative), static_cast<fs::perms>(0755));
    }

    // The file's bytes once a detached program has written it, nothing after the wait.
    std::optional<std::string> awaitFile(std::string_view relative,
                                         std::chrono::milliseconds wait = 5s) {
        const auto deadline = std::chrono::steady_clock::now() + wait;
        while (std::chrono::steady_clock::now() < deadline) {
            if (fileExists(relative)) {
                return readBytes(relative);
            }
            std::this_thread::sleep_for(10ms);
        }
        return std::nullopt;
    }

    static bool noChildLeft() {
        int status = 0;
        return waitpid(-1, &status, WNOHANG) == -1 && errno == ECHILD;
    }
};

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

TEST_F(ProcessesTest, StartsDetachedInItsOwnSessionWithoutWaiting) {
    // The script reports its own process state, then finishes a second later.
    writeScript("report.sh", R"(self=/proc/$$
info=$(cat $self/stat)
streams=$(readlink $self/fd/0 $self/fd/1 $self/fd/2)
all=$(for f in $self/fd/*; do readlink "$f"; done)
sleep 1
printf '%s\n%s\n%s\n' "$info" "$streams" "$all" > "$1.tmp"
mv "$1.tmp" "$1"
)");
    writeBytes("held.txt", "");
    const int held = open(path("held.txt").c_str(), O_RDONLY);  // inheritable on purpose
    ASSERT_GE(held, 0);
    const auto before = std::chrono::steady_clock::now();
    const bool started = processes().startHidden("\"" + path("report.sh") + "\" " + path("out"));
    const auto took = std::chrono::steady_clock::now() - before;
    close(held);
    ASSERT_TRUE(started);
    EXPECT_LT(took, 700ms);
    EXPECT_TRUE(noChildLeft());

    const auto report = awaitFile("out");
    ASSERT_TRUE(report.has_value());
    const std::vector<std::string> lines = linesOf(*report);
    ASSERT_GE(lines.size(), 4u);
    // "pid (sh) state ppid pgrp session ..."
    std::istringstream stat(lines[0].substr(lines[0].rfind(')') + 1));
    std::string processState;
    long parent = 0, group = 0, session = 0;
    stat >> processState >> parent >> group >> session;
    EXPECT_NE(parent, static_cast<long>(getpid()));
    EXPECT_NE(session, static_cast<long>(getsid(0)));
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 1, lines.begin() + 4),
              (std::vector<std::string>{"/dev/null", "/dev/null", "/dev/null"}));
    for (std::size_t i = 4; i < lines.size(); ++i) {
        EXPECT_NE(lines[i], path("held.txt")) << "a descriptor of the starter leaked";
    }
}

TEST_F(ProcessesTest, FindsTheProgramOfAWindowsLine) {
    writeScript("marker", "touch \"$1\"\n");
    writeScript("drive_c/Tools/mark", "printf '%s\\n' \"$@\" > got.tmp && mv got.tmp got.txt\n");
    // A bare name in the current directory, ".exe" dropped, case ignored.
    ASSERT_TRUE(processes().startHidden("Marker.EXE made.txt"));
    EXPECT_TRUE(awaitFile("made.txt").has_value());
    // A drive path, quoted; the arguments reach the program as written.
    ASSERT_TRUE(processes().startHidden(R"("C:\TOOLS\mark.exe" c:\x.txt "two words")"));
    EXPECT_EQ(awaitFile("got.txt"), "c:\\x.txt\ntwo words\n");
    EXPECT_TRUE(noChildLeft());
}

TEST_F(ProcessesTest, StartedToolsSeeTheSameDriveAndUncRoots) {
    // A tool builds its platform from the environment: it must land in the same places.
    // Written aside and moved into place, so that the file is whole once it exists.
    writeScript(
        "roots",
        R"(printf '%s\n%s\n' "$VANTOREL_DRIVE_C" "$VANTOREL_UNC_ROOT" > "$1.tmp" && mv "$1.tmp" "$1")");
    setenv("VANTOREL_DRIVE_C", "/elsewhere", 1);
    EXPECT_TRUE(processes().startHidden("roots detached.txt"));
    EXPECT_EQ(awaitFile("detached.txt"), driveC() + "\n" + uncRoot() + "\n");
    EXPECT_TRUE(processes().runHidden("roots waited.txt", "", 5s).finished);
    EXPECT_EQ(readBytes("waited.txt"), driveC() + "\n" + uncRoot() + "\n");
    unsetenv("VANTOREL_DRIVE_C");
}

TEST_F(ProcessesTest, ReportsWhatCannotBeStarted) {
    writeBytes("plain.txt", "not a program");
    writeBytes("broken",
               "\x7f"
               "ELF but not really");
    fs::permissions(path("broken"), static_cast<fs::perms>(0755));
    fs::create_directories(path("adir"));
    for (const char* line : {"no-such-program.exe", R"(c:\nothing\x.exe)", "", "   ", "plain.txt",
                             "adir", "./broken", R"("")"}) {
        EXPECT_FALSE(processes().startHidden(line)) << line;
        EXPECT_FALSE(processes().runHidden(line, "", 1s).started) << line;
    }
    EXPECT_TRUE(noChildLeft());
}

TEST_F(ProcessesTest, BatchFilesAndCmdLinesRunUnderTheInterpreter) {
    writeScript("tools/vt_cmd", "printf '%s\\n' \"$@\" > args.tmp && mv args.tmp args.txt\n");
    PlatformConfig config;
    config.driveCRoot = driveC();
    config.toolsDirectory = path("tools");
    auto native = createNativePlatform(config);
    Processes& starter = native->platform().processes;
    writeBytes("drive_c/Job.bat", "attrib -R c:\\5.mark\r\n");

    ASSERT_TRUE(starter.startHidden(R"(c:\JOB.BAT first)"));
    EXPECT_EQ(awaitFile("args.txt"), driveC() + "Job.bat\nfirst\n");
    fs::remove(path("args.txt"));
    ASSERT_TRUE(starter.startHidden(R"(cmd.exe /c net view > c:\netview0.txt)"));
    EXPECT_EQ(awaitFile("args.txt"), "-c\nnet view > c:\\netview0.txt\n");
    fs::remove(path("args.txt"));
    ASSERT_TRUE(starter.startHidden(R"(COMMAND.COM /C "c:\a b\p.exe" x)"));
    EXPECT_EQ(awaitFile("args.txt"), "-c\n\"c:\\a b\\p.exe\" x\n");
    EXPECT_FALSE(starter.startHidden(R"(c:\missing.bat)"));
}

// With the groups "powerupX.bat" and 'X.bat" "y', the second one's power script must start
// as itself: split at its quote, it would run the first group's machine list as a batch.
TEST_F(ProcessesTest, AWrittenFileStartsAsOneArgumentWhateverItsPathHolds) {
    writeScript("tools/vt_cmd", "printf '%s\\n' \"$@\" > args.tmp && mv args.tmp args.txt\n");
    PlatformConfig config;
    config.toolsDirectory = path("tools");
    auto native = createNativePlatform(config);
    writeBytes("powerupX.bat", "PC01\r\n");
    const std::string hostile = path("powerupX.bat\" \"y.bat");
    writeBytes("powerupX.bat\" \"y.bat", "cd x\r\n");
    for (const std::string& batch : {hostile, path("a b.bat"), path("plain.bat")}) {
        writeBytes(batch.substr(path("").size()), "cd x\r\n");
        ASSERT_TRUE(native->platform().processes.startHidden(quoteArgument(batch))) << batch;
        EXPECT_EQ(awaitFile("args.txt"), batch + "\n");
        fs::remove(path("args.txt"));
    }
    EXPECT_EQ(quoteArgument("plain.bat"), "plain.bat");
    EXPECT_EQ(quoteArgument(""), "\"\"");
    EXPECT_EQ(quoteArgument("a\"b"), "\"a\"\"b\"");
}

TEST_F(ProcessesTest, RunHiddenGivesTheExitCode) {
    const RunOutcome ok = processes().runHidden(R"(sh -c "exit 7")", "", 5s);
    EXPECT_TRUE(ok.started);
    EXPECT_TRUE(ok.finished);
    EXPECT_EQ(ok.exitCode, 7);
    const RunOutcome killed = processes().runHidden(R"(sh -c "kill -9 $$")", "", 5s);
    EXPECT_TRUE(killed.finished);
    EXPECT_EQ(killed.exitCode, 128 + 9);
    // Standard input is empty: a program that reads it does not hang.
    const RunOutcome reader = processes().runHidden(R"(sh -c "cat > in.txt")", "", 5s);
    EXPECT_TRUE(reader.finished);
    EXPECT_EQ(readBytes("in.txt"), "");
    EXPECT_TRUE(noChildLeft());
}

TEST_F(ProcessesTest, RunHiddenRunsInTheMappedWorkingDirectory) {
    fs::create_directories(driveC() + "work");
    const RunOutcome outcome = processes().runHidden(R"(sh -c "pwd > here.txt")", R"(C:\WORK)", 5s);
    EXPECT_TRUE(outcome.finished);
    EXPECT_EQ(readBytes("drive_c/work/here.txt"), driveC() + "work\n");
    EXPECT_FALSE(processes().runHidden("sh -c true", R"(c:\missing)", 5s).started);
    EXPECT_TRUE(noChildLeft());
}

TEST_F(ProcessesTest, RunHiddenFindsAProgramOfTheStartersDirectory) {
    // Windows looks for the program where the starter is, not in the new working directory.
    writeScript("marker", "touch \"$1\"\n");
    fs::create_directories(driveC() + "work");
    const RunOutcome outcome =
        processes().runHidden("marker made.txt", R"(c:\work)", std::chrono::milliseconds::max());
    EXPECT_TRUE(outcome.finished);
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_TRUE(fileExists("drive_c/work/made.txt"));
}

TEST_F(ProcessesTest, RunHiddenEndsTheProcessGroupAtTheTimeLimit) {
    const auto before = std::chrono::steady_clock::now();
    const RunOutcome outcome =
        processes().runHidden(R"(sh -c "sleep 30 & echo $! > bg.pid; wait")", "", 300ms);
    EXPECT_LT(std::chrono::steady_clock::now() - before, 1500ms);
    EXPECT_TRUE(outcome.started);
    EXPECT_FALSE(outcome.finished);
    EXPECT_TRUE(noChildLeft());
    // The program's own child went with it (gone, or a zombie waiting for init).
    const auto pid = readBytes("bg.pid");
    ASSERT_TRUE(pid.has_value());
    const std::string stat = "/proc/" + pid->substr(0, pid->find('\n')) + "/stat";
    bool ended = false;
    for (int i = 0; i < 100 && !ended; ++i) {
        std::ifstream in(stat);
        std::string line;
        ended = !std::getline(in, line) || line.substr(line.rfind(')') + 2, 1) == "Z";
        if (!ended) {
            std::this_thread::sleep_for(10ms);
        }
    }
    EXPECT_TRUE(ended);
}

TEST_F(ProcessesTest, OpensADocumentWithAProgramOfTheSearchPath) {
    ASSERT_TRUE(processes().openDocument("touch", R"(c:\Rapport.txt)"));
    EXPECT_TRUE(awaitFile("drive_c/Rapport.txt").has_value());
    EXPECT_FALSE(processes().openDocument("no-such-viewer", R"(c:\Rapport.txt)"));
    writeScript("viewer", "true\n");
    EXPECT_FALSE(processes().openDocument("viewer", R"(c:\Rapport.txt)"));
    EXPECT_TRUE(processes().openDocument(path("viewer"), R"(c:\Rapport.txt)"));
    EXPECT_TRUE(noChildLeft());
}

}  // namespace
}  // namespace vt::platform
