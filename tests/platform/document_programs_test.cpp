#include "platform/posix/document_programs.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <thread>

#include "tests/support/temp_dir_test.h"

namespace vt::platform::posix {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Lines = std::vector<std::string>;

Lines namesOf(const std::vector<DocumentProgram>& programs) {
    Lines names;
    for (const DocumentProgram& program : programs) {
        names.push_back(program.program);
    }
    return names;
}

TEST(DocumentPrograms, TextViewerIsAPlainEditorBeforeTheDesktopsChoice) {
    const Lines viewers{"gnome-text-editor", "gedit",   "kate", "mousepad", "xed", "pluma",
                        "leafpad",           "xdg-open"};
    for (const char* name : {"notepad.exe", "NOTEPAD.EXE", "Notepad.Exe", "notepad"}) {
        EXPECT_EQ(namesOf(documentProgramsFor(name)), viewers) << name;
    }
    const auto spreadsheets = documentProgramsFor("scalc.exe");
    EXPECT_EQ(namesOf(spreadsheets), (Lines{"localc", "libreoffice", "soffice"}));
    // The exports are read as ";"-separated, quoted, Windows-1252 text: no import question,
    // and "é" stays "é".
    const std::string csv = "--infilter=Text - txt - csv (StarCalc):59,34,1,1";
    EXPECT_EQ(spreadsheets[0].options, Lines{csv});
    EXPECT_EQ(spreadsheets[1].options, (Lines{"--calc", csv}));
    EXPECT_EQ(spreadsheets[2].options, (Lines{"--calc", csv}));
}

TEST(DocumentPrograms, OtherNamesAreNotMapped) {
    for (const char* name : {"touch", "notepad.exe.exe", "notepad.bat", "c:\\windows\\notepad.exe",
                             "/usr/bin/notepad", "scalc.com", "", "xnotepad.exe"}) {
        EXPECT_TRUE(documentProgramsFor(name).empty()) << name;
    }
}

// A search path whose programs are only the names given.
LaunchEnvironment environmentWith(std::set<std::string> programs) {
    LaunchEnvironment environment;
    environment.currentDirectory = "/work/";
    environment.searchPath = "/opt/bin:/usr/bin";
    environment.nativePath = [](std::string_view path) { return std::string(path); };
    environment.isFile = [programs](const std::string& path) { return programs.count(path) != 0; };
    environment.isExecutable = environment.isFile;
    return environment;
}

TEST(DocumentPrograms, FirstProgramFoundOnThePathOpensTheDocument) {
    const auto environment =
        environmentWith({"/usr/bin/mousepad", "/opt/bin/xdg-open", "/usr/bin/soffice",
                         "/usr/bin/libreoffice", "/usr/bin/touch", "/work/notepad"});
    EXPECT_EQ(resolveDocumentOpen("notepad.exe", "/data/rapport.txt", environment),
              (Lines{"/usr/bin/mousepad", "/data/rapport.txt"}));
    EXPECT_EQ(resolveDocumentOpen("scalc.exe", "/data/liste.machines", environment),
              (Lines{"/usr/bin/libreoffice", "--calc", kCsvImportOption, "/data/liste.machines"}));
    // Any other program is looked for as before: along the path, not in the current directory.
    EXPECT_EQ(resolveDocumentOpen("touch", "/data/x", environment),
              (Lines{"/usr/bin/touch", "/data/x"}));
    EXPECT_EQ(resolveDocumentOpen("viewer", "/data/x", environment), std::nullopt);
}

TEST(DocumentPrograms, NothingWhenNoneOfTheProgramsIsThere) {
    const auto environment = environmentWith({"/usr/bin/gedit", "/work/localc"});
    EXPECT_EQ(resolveDocumentOpen("scalc.exe", "/data/liste.machines", environment), std::nullopt);
    EXPECT_EQ(resolveDocumentOpen("NOTEPAD.EXE", "/data/rapport.txt", environment),
              (Lines{"/usr/bin/gedit", "/data/rapport.txt"}));
}

// Fake viewers on a temporary search path, started by the real platform.
class OpenDocumentTest : public test::TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        if (const char* path = std::getenv("PATH")) {
            m_previousPath = path;
        }
        if (const char* runtime = std::getenv("XDG_RUNTIME_DIR")) {
            m_previousRuntime = runtime;
        }
        fs::create_directories(path("bin"));
        fs::create_directories(path("opened"));
        fs::create_directories(path("run"));
        setenv("PATH", path("bin").c_str(), 1);
        setenv("XDG_RUNTIME_DIR", path("run").c_str(), 1);
    }
    void TearDown() override {
        setenv("PATH", m_previousPath.c_str(), 1);
        if (m_previousRuntime) {
            setenv("XDG_RUNTIME_DIR", m_previousRuntime->c_str(), 1);
        } else {
            unsetenv("XDG_RUNTIME_DIR");
        }
        TempDirTest::TearDown();
    }

    // A program that writes what the command prints (by default its arguments, one a line) to
    // opened/ + its name.
    void installFake(const std::string& name,
                     const std::string& command = "printf '%s\\n' \"$@\"") {
        const std::string out = path("opened/" + name);
        writeBytes("bin/" + name, "#!/bin/sh\n{ " + command + "; } > '" + out +
                                      ".part' && /bin/mv '" + out + ".part' '" + out + "'\n");
        fs::permissions(path("bin/" + name), static_cast<fs::perms>(0755));
    }
    std::optional<std::string> awaitOpened(const std::string& name) {
        const auto deadline = std::chrono::steady_clock::now() + 5s;
        while (std::chrono::steady_clock::now() < deadline) {
            if (auto bytes = readBytes("opened/" + name)) {
                return bytes;
            }
            std::this_thread::sleep_for(10ms);
        }
        return std::nullopt;
    }
    Processes& processes() { return realPlatform().processes; }

private:
    std::string m_previousPath;
    std::optional<std::string> m_previousRuntime;
};

TEST_F(OpenDocumentTest, ReportGoesToTheFirstTextViewerFoundWithItsNativePath) {
    installFake("pluma");
    installFake("xdg-open");
    ASSERT_TRUE(processes().openDocument("notepad.exe", "c:\\rapport.txt"));
    EXPECT_EQ(awaitOpened("pluma"), driveC() + "rapport.txt\n");
}

TEST_F(OpenDocumentTest, TextViewerIsShownAUtf8CopyInAFolderOfTheUsersOwn) {
    const std::string report = "Arr\xEAt \xE0 l'\xE9t\xE9\r\n";
    writeBytes("drive_c/rapport.txt", report);
    // The viewer says which file it was given, then what the file holds.
    installFake("gedit", "printf '%s\\n' \"$1\"; /bin/cat \"$1\"");
    ASSERT_TRUE(processes().openDocument("notepad.exe", "c:\\rapport.txt"));
    // Same name, so the viewer's title names the report; same line ends.
    EXPECT_EQ(awaitOpened("gedit"),
              path("run/vantorel/rapport.txt") + "\nArr\xC3\xAAt \xC3\xA0 l'\xC3\xA9t\xC3\xA9\r\n");
    EXPECT_EQ(readBytes("drive_c/rapport.txt"), report);
    EXPECT_EQ(fs::status(path("run/vantorel")).permissions(), fs::perms::owner_all);

    // A folder that others may enter is not trusted with the copy: the file itself is shown.
    fs::remove(path("opened/gedit"));
    fs::permissions(path("run/vantorel"), static_cast<fs::perms>(0755));
    ASSERT_TRUE(processes().openDocument("notepad.exe", "c:\\rapport.txt"));
    EXPECT_EQ(awaitOpened("gedit"), driveC() + "rapport.txt\n" + report);
}

TEST_F(OpenDocumentTest, SpreadsheetIsCalcStartedWithItsSwitch) {
    installFake("soffice");
    ASSERT_TRUE(processes().openDocument("scalc.exe", "c:\\liste.machines"));
    EXPECT_EQ(awaitOpened("soffice"),
              "--calc\n" + std::string(kCsvImportOption) + "\n" + driveC() + "liste.machines\n");
}

TEST_F(OpenDocumentTest, FalseWhenNoProgramIsOnThePath) {
    installFake("gedit");
    EXPECT_FALSE(processes().openDocument("scalc.exe", "c:\\liste.machines"));
    // A viewer of the same name outside the search path is not taken.
    installFake("localc");
    fs::rename(path("bin/localc"), path("localc"));
    EXPECT_FALSE(processes().openDocument("scalc.exe", "c:\\liste.machines"));
    EXPECT_TRUE(processes().openDocument("notepad.exe", "c:\\liste.machines"));
    EXPECT_TRUE(awaitOpened("gedit").has_value());
}

}  // namespace
}  // namespace vt::platform::posix
