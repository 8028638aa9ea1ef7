#include "platform/posix/launch_rules.h"

#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <string>
#include <vector>

namespace vt::platform::posix {
namespace {

// A machine described by its files: drive C at /c, with the programs and scripts below.
LaunchEnvironment fakeMachine() {
    static const std::set<std::string> executables{
        "/cwd/local", "/usr/bin/touch", "/bin/sh",         "/opt/vt/vt_echo",
        "/cwd/both",  "/usr/bin/both",  "/c/tools/wolcmd", "/bin/only-in-bin"};
    static const std::set<std::string> files{"/c/job.bat", "/cwd/run.bat", "/c/my dir/x.bat"};
    LaunchEnvironment environment;
    environment.toolsDirectory = "/tools/";
    environment.currentDirectory = "/cwd/";
    environment.searchPath = "/usr/bin:/bin";
    environment.nativePath = [](std::string_view path) {
        std::string native(path);
        if (native.size() >= 2 && native[1] == ':') {
            native = "/c/" + native.substr(3);
        }
        for (char& c : native) {
            c = c == '\\' ? '/' : c;
        }
        return native;
    };
    environment.isFile = [](const std::string& path) {
        return files.count(path) != 0 || executables.count(path) != 0;
    };
    environment.isExecutable = [](const std::string& path) { return executables.count(path) != 0; };
    return environment;
}

using Argv = std::optional<std::vector<std::string>>;

struct LaunchCase {
    std::string commandLine;
    Argv argv;
};

class ResolveLaunchTest : public ::testing::TestWithParam<LaunchCase> {};

TEST_P(ResolveLaunchTest, RunsTheProgramTheWindowsLineNames) {
    EXPECT_EQ(resolveLaunch(GetParam().commandLine, fakeMachine()), GetParam().argv)
        << GetParam().commandLine;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ResolveLaunchTest,
    ::testing::Values(
        // Arguments reach the program unmapped: the tools map their own paths.
        LaunchCase{R"(touch c:\x.txt)", Argv{{"/usr/bin/touch", R"(c:\x.txt)"}}},
        LaunchCase{R"("/opt/vt/vt_echo.exe" PC12 c:\ping7.txt)",
                   Argv{{"/opt/vt/vt_echo", "PC12", R"(c:\ping7.txt)"}}},
        LaunchCase{R"(c:\tools\wolcmd.exe 001122334455 10.0.0.5 255.0.0.0)",
                   Argv{{"/c/tools/wolcmd", "001122334455", "10.0.0.5", "255.0.0.0"}}},
        LaunchCase{"/bin/sh.exe -c x", Argv{{"/bin/sh", "-c", "x"}}},
        // A bare name: the current directory first, as on Windows, then the search path.
        LaunchCase{"local", Argv{{"/cwd/local"}}}, LaunchCase{"both", Argv{{"/cwd/both"}}},
        LaunchCase{"only-in-bin.exe", Argv{{"/bin/only-in-bin"}}},
        // A program given with its directory is not searched for elsewhere.
        LaunchCase{"./touch", std::nullopt}, LaunchCase{"/opt/touch", std::nullopt},
        LaunchCase{R"(c:\job.bat)", Argv{{"/tools/vt_cmd", "/c/job.bat"}}},
        LaunchCase{R"(c:\job.BAT one "two three")",
                   std::nullopt},  // the fake machine is case-sensitive
        LaunchCase{R"(c:\job.bat one "two three")",
                   Argv{{"/tools/vt_cmd", "/c/job.bat", "one", "two three"}}},
        LaunchCase{R"("c:\my dir\x.bat")", Argv{{"/tools/vt_cmd", "/c/my dir/x.bat"}}},
        LaunchCase{"run.bat", Argv{{"/tools/vt_cmd", "/cwd/run.bat"}}},
        LaunchCase{"missing.bat", std::nullopt},
        // The interpreter gets the rest of the line as written, quotes and redirections kept.
        LaunchCase{R"(cmd.exe /c attrib -R c:\5.mark)",
                   Argv{{"/tools/vt_cmd", "-c", R"(attrib -R c:\5.mark)"}}},
        LaunchCase{R"(C:\WINDOWS\system32\CMD.EXE /C net view > c:\netview0.txt)",
                   Argv{{"/tools/vt_cmd", "-c", R"(net view > c:\netview0.txt)"}}},
        LaunchCase{R"(command.com /c "c:\x y\p.exe" a  b )",
                   Argv{{"/tools/vt_cmd", "-c", R"("c:\x y\p.exe" a  b )"}}},
        LaunchCase{"cmd /c", Argv{{"/tools/vt_cmd", "-c", ""}}},
        LaunchCase{"cmd /k dir", std::nullopt}, LaunchCase{"cmd", std::nullopt},
        LaunchCase{"nosuch.exe", std::nullopt}, LaunchCase{"", std::nullopt},
        LaunchCase{R"("")", std::nullopt}, LaunchCase{".exe", std::nullopt}));

TEST(ResolveProgramTest, LooksForADocumentsProgramAlongTheSearchPathOnly) {
    const LaunchEnvironment machine = fakeMachine();
    EXPECT_EQ(resolveProgram("touch", machine), "/usr/bin/touch");
    EXPECT_EQ(resolveProgram("only-in-bin.exe", machine), "/bin/only-in-bin");
    EXPECT_EQ(resolveProgram("both", machine), "/usr/bin/both");
    EXPECT_EQ(resolveProgram("local", machine), std::nullopt);
    EXPECT_EQ(resolveProgram(R"(c:\tools\wolcmd.exe)", machine), "/c/tools/wolcmd");
    EXPECT_EQ(resolveProgram("", machine), std::nullopt);
}

}  // namespace
}  // namespace vt::platform::posix
