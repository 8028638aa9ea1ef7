// The Windows layer on its own: files by their Windows names, hidden programs, the network,
// the system and the console's termination events. Run under Wine by `make test`.

#include <gtest/gtest.h>
#include <winsock2.h>
// After the socket header, which must come first.
#include <windows.h>
// After windows.h, which they need.
#include <aclapi.h>

#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "platform/native_platform.h"
#include "platform/process_lock.h"
#include "platform/termination_requests.h"
#include "platform/text_codec.h"
#include "platform/wake_on_lan.h"

namespace vt::platform {
namespace {

namespace fs = std::filesystem;

// A fresh folder in the user's temporary folder, with the real platform; the programs are
// looked for in `tools` (no vt_cmd.exe there unless a test puts one).
class WindowsPlatformTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_root = fs::temp_directory_path() / ("vt-test-" + std::to_string(std::random_device{}()));
        fs::create_directories(m_root / "tools");
        PlatformConfig config;
        config.toolsDirectory = path("tools\\");
        m_native = createNativePlatform(config);
        // Relative names are found from the current folder, as a command line's are.
        m_previous = fs::current_path();
        fs::current_path(m_root);
    }
    void TearDown() override {
        std::error_code ignored;
        fs::current_path(m_previous, ignored);
        for (const auto& entry : fs::recursive_directory_iterator(m_root, ignored)) {
            ::SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);
        }
        fs::remove_all(m_root, ignored);
    }

    std::string path(std::string_view name) const {
        return m_root.string() + "\\" + std::string(name);
    }
    Platform& platform() { return m_native->platform(); }
    FileSystem& files() { return platform().files; }
    std::vector<std::string> names(std::string_view folder = "") {
        std::vector<std::string> found;
        for (const DirEntry& entry :
             files().listDirectory(path(folder)).value_or(std::vector<DirEntry>{})) {
            found.push_back(entry.name);
        }
        return found;
    }

    fs::path m_root;
    fs::path m_previous;
    std::unique_ptr<NativePlatform> m_native;
};

TEST_F(WindowsPlatformTest, PathsAreTheirWindowsNames) {
    for (const std::string name : {R"(c:\5.mark)", R"(\\PDC\netlogon\groupe.txt)", R"(D:\x)"}) {
        EXPECT_EQ(files().nativePath(name), name);
    }
    EXPECT_EQ(files().nativePath(std::string_view("c:\\a\0b", 6)), "");
}

TEST_F(WindowsPlatformTest, WritesReadsAndAppendsBytesExactly) {
    const std::string bytes("a\0b\xff\r\n\x80z", 8);
    for (auto write :
         {&FileSystem::writeFile, &FileSystem::writeCacheFile, &FileSystem::writePrivateFile}) {
        ASSERT_TRUE((files().*write)(path("bytes.bin"), bytes));
        EXPECT_EQ(files().readFile(path("BYTES.BIN")), bytes);  // names found whatever the case
        ASSERT_TRUE((files().*write)(path("bytes.bin"), ""));
        EXPECT_EQ(files().readFile(path("bytes.bin")), "");
    }
    ASSERT_TRUE(files().appendFile(path("log.txt"), "un\r\n"));
    ASSERT_TRUE(files().appendFile(path("log.txt"), bytes));
    EXPECT_EQ(files().readFile(path("log.txt")), "un\r\n" + bytes);
    EXPECT_EQ(names(), (std::vector<std::string>{"bytes.bin", "log.txt", "tools"}));
}

TEST_F(WindowsPlatformTest, APrivateFileIsOpenToItsOwnerAlone) {
    ASSERT_TRUE(files().writeFile(path("vtl.ini"), "open"));
    ASSERT_TRUE(files().writePrivateFile(path("vtl.ini"), "secret"));
    EXPECT_EQ(files().readFile(path("vtl.ini")), "secret");
    if (::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr) {
        GTEST_SKIP() << "Wine keeps a file's rights as Unix modes, not as the list set here";
    }
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    PACL access = nullptr;
    ASSERT_EQ(::GetNamedSecurityInfoW(fs::path(path("vtl.ini")).c_str(), SE_FILE_OBJECT,
                                      DACL_SECURITY_INFORMATION, nullptr, nullptr, &access, nullptr,
                                      &descriptor),
              ERROR_SUCCESS);
    ASSERT_NE(access, nullptr);
    // One entry, the user's, and nothing inherited from the folder.
    EXPECT_EQ(access->AceCount, 1);
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    ASSERT_TRUE(::GetSecurityDescriptorControl(descriptor, &control, &revision));
    EXPECT_NE(control & SE_DACL_PROTECTED, 0);
    ::LocalFree(descriptor);
}

TEST_F(WindowsPlatformTest, WhatIsNotAFileCannotBeReadWrittenOrRemoved) {
    ASSERT_TRUE(files().createDirectories(path("sub\\deeper")));
    for (const std::string& target :
         {path("missing.txt"), path("sub"), std::string(""), path("no\\such\\dir\\x.txt")}) {
        SCOPED_TRACE(target);
        EXPECT_EQ(files().readFile(target), std::nullopt);
        EXPECT_FALSE(files().removeFile(target));
        EXPECT_FALSE(files().appendFile(target == path("missing.txt") ? path("sub") : target, "x"));
        if (target != path("missing.txt")) {
            EXPECT_FALSE(files().writeFile(target, "x"));
        }
    }
    EXPECT_FALSE(files().writeFile(path("sub\\"), "x"));
    EXPECT_TRUE(files().isDirectory(path("sub\\deeper")));
}

TEST_F(WindowsPlatformTest, AReadOnlyFileIsNeitherReplacedAppendedToNorRemoved) {
    ASSERT_TRUE(files().writeFile(path("5.mark"), "keep"));
    EXPECT_EQ(files().isReadOnly(path("5.mark")), false);
    ASSERT_TRUE(files().setReadOnly(path("5.MARK"), true));
    EXPECT_EQ(files().isReadOnly(path("5.mark")), true);
    EXPECT_FALSE(files().writeFile(path("5.mark"), "lost"));
    EXPECT_FALSE(files().writePrivateFile(path("5.mark"), "lost"));
    EXPECT_FALSE(files().appendFile(path("5.mark"), "lost"));
    EXPECT_FALSE(files().removeFile(path("5.mark")));
    EXPECT_FALSE(files().removeIfOlderThan(path("5.mark"), std::chrono::seconds(0)));
    EXPECT_EQ(files().readFile(path("5.mark")), "keep");
    EXPECT_EQ(names(), (std::vector<std::string>{"5.mark", "tools"}));  // no temporary left
    ASSERT_TRUE(files().setReadOnly(path("5.mark"), false));
    EXPECT_TRUE(files().removeFile(path("5.mark")));
    EXPECT_EQ(files().isReadOnly(path("5.mark")), std::nullopt);
    EXPECT_FALSE(files().setReadOnly(path("5.mark"), true));
}

TEST_F(WindowsPlatformTest, AppendsFromManyThreadsKeepEveryLineWhole) {
    constexpr int kThreads = 6;
    constexpr int kLines = 150;
    std::vector<std::thread> writers;
    for (int t = 0; t < kThreads; ++t) {
        writers.emplace_back([this, t] {
            // Longer than one write of the system's pipe or buffer, so only the lock keeps it
            // whole.
            const std::string line = std::string(5000, static_cast<char>('a' + t)) + "\r\n";
            for (int i = 0; i < kLines; ++i) {
                files().appendFile(path("journal.log"), line);
            }
        });
    }
    for (std::thread& writer : writers) {
        writer.join();
    }
    const std::vector<std::string> lines =
        splitLines(files().readFile(path("journal.log")).value());
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(kThreads * kLines));
    for (const std::string& line : lines) {
        ASSERT_EQ(line, std::string(5000, line.front()));
    }
}

TEST_F(WindowsPlatformTest, ExclusiveCreationAndAgedRemovalDecideOnce) {
    ASSERT_TRUE(files().createDirectories(path("dir")));
    EXPECT_EQ(files().createNewFile(path("lock")), NewFileOutcome::Created);
    EXPECT_EQ(files().createNewFile(path("LOCK")), NewFileOutcome::AlreadyExists);
    EXPECT_EQ(files().createNewFile(path("dir")), NewFileOutcome::AlreadyExists);
    EXPECT_EQ(files().createNewFile(path("none\\lock")), NewFileOutcome::Failed);
    EXPECT_FALSE(files().removeIfOlderThan(path("lock"), std::chrono::hours(1)));
    EXPECT_TRUE(files().exists(path("lock")));
    EXPECT_TRUE(files().removeIfOlderThan(path("lock"), std::chrono::seconds(0)));
    EXPECT_FALSE(files().exists(path("lock")));
    EXPECT_FALSE(files().removeIfOlderThan(path("lock"), std::chrono::seconds(0)));
}

TEST_F(WindowsPlatformTest, TimesListingsAndInterruptedWrites) {
    const auto old = fs::file_time_type::clock::now() - std::chrono::minutes(5);
    for (const std::string name :
         {".liste.mac.vt-abc123", ".recent.vt-abc123", ".other.vt-ab", "b.txt", "A.txt"}) {
        ASSERT_TRUE(files().writeFile(path(name), "x"));
        if (name != ".recent.vt-abc123") {
            fs::last_write_time(fs::path(path(name)), old);
        }
    }
    ASSERT_TRUE(files().setReadOnly(path("b.txt"), true));
    EXPECT_EQ(files().removeInterruptedWrites(m_root.string()), 1);
    const auto listed = files().listDirectory(m_root.string()).value();
    ASSERT_EQ(listed.size(), 5u);
    EXPECT_EQ(listed[0].name, ".other.vt-ab");
    EXPECT_EQ(listed[1].name, ".recent.vt-abc123");
    EXPECT_EQ(listed[2].name, "A.txt");
    EXPECT_TRUE(listed[3].readOnly);
    EXPECT_TRUE(listed[4].directory);
    const auto before = files().lastWriteTime(path("A.txt")).value();
    EXPECT_GT(std::chrono::system_clock::now() - before, std::chrono::minutes(4));
    ASSERT_TRUE(files().touchFile(path("A.txt")));
    EXPECT_LT(std::chrono::system_clock::now() - files().lastWriteTime(path("A.txt")).value(),
              std::chrono::minutes(1));
    EXPECT_FALSE(files().touchFile(path("missing")));
    EXPECT_EQ(files().lastWriteTime(path("missing")), std::nullopt);
}

TEST_F(WindowsPlatformTest, AProcessLockHasOneHolderWhoseNameStaysReadable) {
    auto held = tryProcessLock(path("service.lock"), "vt_service 42");
    ASSERT_NE(held, nullptr);
    EXPECT_EQ(tryProcessLock(path("service.lock"), "other"), nullptr);
    EXPECT_EQ(files().readFile(path("service.lock")), "vt_service 42");
    held.reset();
    EXPECT_NE(tryProcessLock(path("service.lock"), "next"), nullptr);
    EXPECT_EQ(tryProcessLock(path("no\\such\\folder\\x.lock"), "x"), nullptr);
    EXPECT_EQ(currentProcessId(), static_cast<long>(::GetCurrentProcessId()));
}

// What the system's command lines run as: the exit code seen by a waited run, or the file a
// hidden start leaves.
struct LaunchCase {
    const char* commandLine;
    bool started;
    int exitCode;
};

class WindowsLaunchTest : public WindowsPlatformTest,
                          public ::testing::WithParamInterface<LaunchCase> {};

TEST_P(WindowsLaunchTest, RunsHiddenAndWaits) {
    ASSERT_TRUE(files().writeFile(path("trois.bat"), "@exit /b 3\r\n"));
    const LaunchCase& launch = GetParam();
    const RunOutcome outcome = platform().processes.runHidden(launch.commandLine, m_root.string(),
                                                              std::chrono::seconds(30));
    EXPECT_EQ(outcome.started, launch.started);
    EXPECT_EQ(outcome.finished, launch.started);
    if (launch.started) {
        EXPECT_EQ(outcome.exitCode, launch.exitCode);
    }
}

INSTANTIATE_TEST_SUITE_P(Lines, WindowsLaunchTest,
                         ::testing::Values(LaunchCase{"cmd /c exit 7", true, 7},
                                           LaunchCase{"CMD.EXE /C exit 0", true, 0},
                                           LaunchCase{"trois.bat", true, 3},
                                           LaunchCase{"TROIS.BAT un deux", true, 3},
                                           LaunchCase{"no_such_program.exe", false, 0},
                                           LaunchCase{"missing.bat", false, 0},
                                           LaunchCase{"", false, 0}));

TEST_F(WindowsPlatformTest, HiddenStartsReturnAtOnceAndPassTheirVariables) {
    const std::string target = path("secret.txt");
    // Names of variables are the same whatever their case: the inherited one is replaced.
    ::SetEnvironmentVariableW(L"VT_SECRET", L"inherited");
    ASSERT_TRUE(platform().processes.startHidden("cmd /c echo %VT_SECRET%> \"" + target + "\"",
                                                 {{"vt_secret", "sesame"}}));
    ::SetEnvironmentVariableW(L"VT_SECRET", nullptr);
    EXPECT_FALSE(platform().processes.startHidden("no_such_program.exe"));
    for (int i = 0; i < 200 && files().readFile(target).value_or("").empty(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    EXPECT_EQ(files().readFile(target), "sesame\r\n");
    EXPECT_EQ(platform().system.environment("VT_SECRET"), std::nullopt);
}

TEST_F(WindowsPlatformTest, ATimeLimitEndsTheProgram) {
    const auto start = std::chrono::steady_clock::now();
    const RunOutcome outcome =
        platform().processes.runHidden("ping -n 30 127.0.0.1", "", std::chrono::milliseconds(500));
    EXPECT_TRUE(outcome.started);
    EXPECT_FALSE(outcome.finished);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

TEST_F(WindowsPlatformTest, SystemReadsTheEnvironmentAndItsOwnFolder) {
    System& system = platform().system;
    ::SetEnvironmentVariableW(L"VT_PLATFORM_TEST_VAR", L"valeur \u00e9");
    EXPECT_EQ(system.environment("VT_PLATFORM_TEST_VAR"), "valeur é");
    ::SetEnvironmentVariableW(L"VT_PLATFORM_TEST_VAR", nullptr);
    EXPECT_EQ(system.environment("VT_PLATFORM_TEST_VAR"), std::nullopt);
    EXPECT_EQ(system.environment("A=B"), std::nullopt);
    const std::string folder = system.executableDirectory();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '\\');
    EXPECT_TRUE(files().exists(folder + "vt_windows_tests.exe"));
    ASSERT_TRUE(system.setWorkingDirectory(path("tools")));
    EXPECT_TRUE(fs::equivalent(fs::current_path(), m_root / "tools"));
    EXPECT_FALSE(system.setWorkingDirectory(path("missing")));
}

TEST_F(WindowsPlatformTest, MagicPacketReachesALoopbackReceiver) {
    WSADATA data;
    ASSERT_EQ(::WSAStartup(MAKEWORD(2, 2), &data), 0);
    const SOCKET receiver = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof address;
    ASSERT_EQ(::bind(receiver, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::getsockname(receiver, reinterpret_cast<sockaddr*>(&address), &length), 0);
    const MacAddress mac{0x00, 0x11, 0x22, 0xAA, 0xBB, 0xCC};
    const SendResult sent = sendMagicPacket(mac, INADDR_LOOPBACK, ntohs(address.sin_port));
    ASSERT_TRUE(sent.sent) << sent.error;
    char packet[200];
    const int got = ::recv(receiver, packet, sizeof packet, 0);
    ASSERT_EQ(got, 102);
    EXPECT_EQ(std::string(packet, 102),
              std::string(reinterpret_cast<const char*>(magicPacket(mac).data()), 102));
    ::closesocket(receiver);
}

TEST_F(WindowsPlatformTest, ConsoleEventsBecomeTerminationRequests) {
    const auto requests = watchTerminationRequests();
    ASSERT_GE(requests->descriptor(), 0);
    EXPECT_EQ(watchTerminationRequests()->descriptor(), -1);  // one watcher at a time
    EXPECT_FALSE(requests->consume());
    // A program whose output goes to a pipe or a file has no console: it is given one.
    if (!::GenerateConsoleCtrlEvent(CTRL_BREAK_EVENT, 0) &&
        (!::AllocConsole() || !::GenerateConsoleCtrlEvent(CTRL_BREAK_EVENT, 0))) {
        GTEST_SKIP() << "no console to send the event to";
    }
    // Waited for before the watcher goes: an event after it would end this program.
    bool arrived = false;
    for (int i = 0; i < 250 && !arrived; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        arrived = requests->consume();
    }
    EXPECT_TRUE(arrived);
}

}  // namespace
}  // namespace vt::platform
