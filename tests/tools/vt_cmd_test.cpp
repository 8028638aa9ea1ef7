// vt_cmd run as a program on the batch lines the system writes.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/program_run.h"
#include "tests/support/temp_dir_test.h"

namespace vt::test {
namespace {

namespace fs = std::filesystem;

// Prints each argument between brackets, one a line, so that splitting shows exactly.
constexpr const char* kPrintArgs = "#!/bin/sh\nfor a in \"$@\"; do printf '[%s]\\n' \"$a\"; done\n";
// One line on each standard stream.
constexpr const char* kBothStreams = "#!/bin/sh\necho out\necho err >&2\n";

class VtCmdTest : public TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        const char* searchPath = std::getenv("PATH");
        m_searchPath = searchPath != nullptr ? searchPath : "/usr/bin:/bin";
        ::setenv("VANTOREL_DRIVE_C", driveC().c_str(), 1);
        writeScript("tools dir/print args", kPrintArgs);
        writeScript("tools dir/both", kBothStreams);
    }

    void TearDown() override {
        ::setenv("PATH", m_searchPath.c_str(), 1);
        TempDirTest::TearDown();
    }

    static std::string vtCmd() { return binDir() + "/vt_cmd"; }

    void writeScript(const std::string& relative, const std::string& body) const {
        writeBytes(relative, body);
        fs::permissions(path(relative), fs::perms::owner_all | fs::perms::group_read |
                                            fs::perms::group_exec | fs::perms::others_read |
                                            fs::perms::others_exec);
    }

    ProgramResult runBatch(const std::string& bytes) const {
        writeBytes("job.bat", bytes);
        return runProgram({vtCmd(), path("job.bat")});
    }

    ProgramResult runLine(const std::string& line) const {
        return runProgram({vtCmd(), "-c", line});
    }

    // A file of drive C's root, or "<absent>".
    std::string onDriveC(const std::string& name) const {
        return readBytes("drive_c/" + name).value_or("<absent>");
    }

    std::string toolsDir() const { return path("tools dir"); }

private:
    std::string m_searchPath;
};

// The lines of one batch, joined with the given line break.
std::string batchOf(const std::vector<std::string>& lines, const std::string& lineBreak) {
    std::string text;
    for (const std::string& line : lines) {
        text += line + lineBreak;
    }
    return text;
}

class VtCmdLineBreakTest : public VtCmdTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(VtCmdLineBreakTest, RunsTheLinesInOrderWithDirectoryQuotedPathsAndRedirections) {
    const ProgramResult result = runBatch(batchOf(
        {
            "cd " + toolsDir() + "/",
            // Found in the directory the "cd" went to; ".exe" is what the system writes.
            "\"print args.exe\" a \"b c\" > c:\\out.txt",
            "\"" + toolsDir() + "/print args\" second >> C:\\OUT.TXT",
            "\"" + toolsDir() + "/print args\" replaced > c:\\again.txt",
            "\"" + toolsDir() + "/print args\" replaced twice >c:\\again.txt",
        },
        GetParam()));

    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.standardError, "");
    EXPECT_EQ(onDriveC("out.txt"), "[a]\n[b c]\n[second]\n");
    EXPECT_EQ(onDriveC("again.txt"), "[replaced]\n[twice]\n");
}

INSTANTIATE_TEST_SUITE_P(LineBreaks, VtCmdLineBreakTest, ::testing::Values("\r\n", "\n"));

TEST_F(VtCmdTest, AttribSetsAndClearsTheReadOnlyMarker) {
    writeBytes("drive_c/5.mark", "");
    const auto writeBits = [&] {
        return fs::status(path("drive_c/5.mark")).permissions() &
               (fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write);
    };

    EXPECT_EQ(runBatch("attrib +R c:\\5.mark\r\n").standardError, "");
    EXPECT_EQ(writeBits(), fs::perms::none);

    EXPECT_EQ(runBatch("attrib -R c:\\5.mark\r\n").standardError, "");
    EXPECT_NE(writeBits() & fs::perms::owner_write, fs::perms::none);

    // The switch and the command are read without regard to case.
    runLine("ATTRIB +r C:\\5.MARK");
    EXPECT_EQ(writeBits(), fs::perms::none);
    runLine("attrib -r c:\\5.mark");
    EXPECT_NE(writeBits() & fs::perms::owner_write, fs::perms::none);
}

TEST_F(VtCmdTest, AttribOfAMissingFileIsReportedAndTheBatchGoesOn) {
    const ProgramResult result = runBatch("attrib -R c:\\9.mark\r\necho suite > c:\\suite.txt\r\n");
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.standardError, "vt_cmd : fichier introuvable : c:\\9.mark\n");
    EXPECT_EQ(onDriveC("suite.txt"), "suite\r\n");
}

TEST_F(VtCmdTest, AMissingProgramIsReportedAndTheNextLineStillRuns) {
    const ProgramResult result = runBatch(
        "nosuchprogram a b > c:\\never.txt\r\n"
        "\"c:\\Program Files\\absent.exe\" x\r\n"
        "echo after > c:\\after.txt\r\n");

    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.standardError,
              "vt_cmd : commande introuvable : nosuchprogram\n"
              "vt_cmd : commande introuvable : c:\\Program Files\\absent.exe\n");
    EXPECT_EQ(onDriveC("never.txt"), "<absent>");  // nothing ran, so nothing was created
    EXPECT_EQ(onDriveC("after.txt"), "after\r\n");
}

// The Windows commands with no program here run their adapter beside vt_cmd, never a Linux
// program of the same name: without the adapter they are missing commands. The vt_cmd that
// runs here is a copy in a folder without the adapters: the built ones beside the real
// vt_cmd would run, and would reach the machine's network.
class VtCmdAdapterTest : public VtCmdTest,
                         public ::testing::WithParamInterface<std::pair<const char*, const char*>> {
};

TEST_P(VtCmdAdapterTest, AWindowsCommandWithoutItsAdapterIsAMissingCommand) {
    const auto& [line, name] = GetParam();
    // A program of the same name in the current directory and on the search path must not run.
    const std::string trap = "#!/bin/sh\necho ran > \"" + path("trap.txt") + "\"\n";
    for (const char* command : {"shutdown", "net", "nbtstat", "arp", "SHUTDOWN.EXE"}) {
        writeScript(command, trap);
    }
    ::setenv("PATH", (path("") + ":/usr/bin:/bin").c_str(), 1);
    // A copy of vt_cmd in a folder without adapters: the build's folder has some.
    fs::create_directories(path("bare"));
    fs::copy_file(vtCmd(), path("bare/vt_cmd"));
    writeBytes("job.bat", std::string(line) + " > c:\\result.txt\r\n");

    const ProgramResult result = runProgram({path("bare/vt_cmd"), path("job.bat")});

    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.standardError, std::string("vt_cmd : commande introuvable : ") + name + "\n");
    EXPECT_FALSE(fileExists("trap.txt"));
    EXPECT_EQ(onDriveC("result.txt"), "<absent>");
}

INSTANTIATE_TEST_SUITE_P(
    Commands, VtCmdAdapterTest,
    ::testing::Values(std::pair{"shutdown -s -f -t 1 -c \"bye!\" -m \\\\PC12", "shutdown"},
                      std::pair{"net view", "net"}, std::pair{"nbtstat -a PC12", "nbtstat"},
                      std::pair{"arp -a", "arp"},
                      std::pair{"SHUTDOWN.EXE -s -m \\\\PC12", "SHUTDOWN.EXE"}));

TEST_F(VtCmdTest, AnAdapterBesideVtCmdRunsWithTheLinesArguments) {
    // A copy of vt_cmd whose folder holds an adapter.
    fs::create_directories(path("program"));
    fs::copy_file(vtCmd(), path("program/vt_cmd"));
    writeScript("program/vt_net", kPrintArgs);
    writeScript("program/vt_nbtstat", "#!/bin/sh\nexit 3\n");

    const ProgramResult result =
        runProgram({path("program/vt_cmd"), "-c", "net view \"two words\" > c:\\netview0.txt"});
    EXPECT_EQ(result.standardError, "");
    EXPECT_EQ(onDriveC("netview0.txt"), "[view]\n[two words]\n");

    // An adapter that fails leaves its (empty) output, and vt_cmd still ends with 0.
    const ProgramResult failed =
        runProgram({path("program/vt_cmd"), "-c", "NBTSTAT.exe -a PC12 >c:\\nbtstat1.txt"});
    EXPECT_EQ(failed.exitCode, 0);
    EXPECT_EQ(onDriveC("nbtstat1.txt"), "");
}

// A shutdown request that waits "$1" seconds, then notes "$2" in c:\order.txt and prints it.
class VtCmdShutdownRunTest : public VtCmdTest {
protected:
    void SetUp() override {
        VtCmdTest::SetUp();
        fs::create_directories(path("program"));
        fs::copy_file(vtCmd(), path("program/vt_cmd"));
        writeScript("program/vt_shutdown", "#!/bin/sh\nsleep \"$1\"\necho \"$2\" >> \"" + driveC() +
                                               "order.txt\"\necho \"$2\"\n");
    }
    // The batch run by the vt_cmd beside the stand-in.
    ProgramResult runHere(const std::string& bytes) const {
        writeBytes("job.bat", bytes);
        return runProgram({path("program/vt_cmd"), path("job.bat")});
    }
};

TEST_F(VtCmdShutdownRunTest, OtherLinesWaitForTheRunBeforeThemAndOneFileKeepsItsOrder) {
    const ProgramResult result = runHere(
        "shutdown 0.8 A\r\nshutdown 0 B\r\nrem between\r\nshutdown 0.4 C > c:\\c.txt\r\n"
        "echo middle>> c:\\order.txt\r\n"
        "shutdown 0.5 E >> c:\\same.txt\r\nshutdown 0 F >> C:\\SAME.TXT\r\n"
        "nosuchprogram\r\nshutdown 0 G\r\n");
    EXPECT_EQ(onDriveC("order.txt"), "B\nC\nA\nmiddle\r\nE\nF\nG\n");
    EXPECT_EQ(onDriveC("same.txt"), "E\nF\n");
    EXPECT_EQ(onDriveC("c.txt"), "C\n");
    EXPECT_EQ(result.standardOutput, "B\nA\nG\n");
    EXPECT_EQ(result.standardError, "vt_cmd : commande introuvable : nosuchprogram\n");
}

// Sixteen at once: twenty one-second requests take two rounds, not twenty.
TEST_F(VtCmdShutdownRunTest, ConsecutiveRequestsRunSideBySideSixteenAtOnce) {
    for (const int count : {8, 20}) {
        fs::remove(path("drive_c/order.txt"));
        std::string batch;
        for (int i = 0; i < count; ++i) {
            batch += "shutdown 1 P" + std::to_string(i) + "\r\n";
        }
        const auto start = std::chrono::steady_clock::now();
        runHere(batch);
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        EXPECT_EQ(readLines("drive_c/order.txt").size(), static_cast<std::size_t>(count));
        EXPECT_GE(seconds, count > 16 ? 2.0 : 1.0) << count;
        EXPECT_LT(seconds, count > 16 ? 5.0 : 4.0) << count;  // not 8 or 20
    }
}

TEST_F(VtCmdShutdownRunTest, TwentyRealRequestsSideBySideLeaveTwentyWholeLogLines) {
    fs::copy_file(binDir() + "/vt_shutdown", path("program/vt_shutdown"),
                  fs::copy_options::overwrite_existing);
    std::string batch = "cd " + path("") + "\r\n";
    std::vector<std::string> expected;
    for (int i = 10; i < 30; ++i) {
        // A marked machine is logged without a request on the network.
        batch += "shutdown -s -f -t 1 -c \"Fin\" -m \\\\PC" + std::to_string(i) + "*\r\n";
        expected.push_back("PC" + std::to_string(i) + ";jamais éteinte (marquée *);");
    }
    EXPECT_EQ(runHere(batch).standardError, "");
    std::vector<std::string> results;
    for (const std::string& line : readLines("shutdown.log")) {
        ASSERT_EQ(line.substr(2, 1) + line.substr(10, 1) + line.substr(19, 1), "/;;") << line;
        results.push_back(line.substr(20));
    }
    std::sort(results.begin(), results.end());
    EXPECT_EQ(results, expected);
}

TEST_F(VtCmdTest, OneLineRunsWithMinusC) {
    const ProgramResult result =
        runLine("\"" + toolsDir() + "/print args.exe\" \"one arg\" two > c:\\c.txt");
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.standardError, "");
    EXPECT_EQ(onDriveC("c.txt"), "[one arg]\n[two]\n");

    // Without a redirection the program's output is vt_cmd's own.
    EXPECT_EQ(runLine("\"" + toolsDir() + "/print args\" shown").standardOutput, "[shown]\n");
}

TEST_F(VtCmdTest, ShellCharactersArePlainCharacters) {
    const ProgramResult result = runBatch(
        "\"" + toolsDir() +
        "/print args\" a&b \"c|d\" e;f $HOME `id` %PATH% ^x <in *.mark > c:\\plain.txt\r\n");
    EXPECT_EQ(result.standardError, "");
    EXPECT_EQ(onDriveC("plain.txt"),
              "[a&b]\n[c|d]\n[e;f]\n[$HOME]\n[`id`]\n[%PATH%]\n[^x]\n[<in]\n[*.mark]\n");
}

struct RedirectionCase {
    const char* redirection;
    const char* file;
    const char* content;
    const char* printed;  // what vt_cmd printed on its own streams, standard output first
};

void PrintTo(const RedirectionCase& c, std::ostream* out) {
    *out << c.redirection;
}

class VtCmdRedirectionTest : public VtCmdTest,
                             public ::testing::WithParamInterface<RedirectionCase> {};

TEST_P(VtCmdRedirectionTest, SendsEachStreamWhereTheLineSays) {
    const RedirectionCase& c = GetParam();
    writeBytes("drive_c/old.txt", "old\n");
    const ProgramResult result =
        runLine("\"" + toolsDir() + "/both\" " + std::string(c.redirection));
    EXPECT_EQ(onDriveC(c.file), c.content);
    EXPECT_EQ(result.standardOutput + result.standardError, c.printed);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, VtCmdRedirectionTest,
    ::testing::Values(RedirectionCase{"> c:\\r.txt", "r.txt", "out\n", "err\n"},
                      RedirectionCase{">c:\\r.txt", "r.txt", "out\n", "err\n"},
                      RedirectionCase{"1> c:\\r.txt", "r.txt", "out\n", "err\n"},
                      RedirectionCase{">> c:\\old.txt", "old.txt", "old\nout\n", "err\n"},
                      RedirectionCase{"> c:\\old.txt", "old.txt", "out\n", "err\n"},
                      RedirectionCase{"2> c:\\r.txt", "r.txt", "err\n", "out\n"},
                      RedirectionCase{"2>>c:\\old.txt", "old.txt", "old\nerr\n", "out\n"},
                      RedirectionCase{"> c:\\r.txt 2>&1", "r.txt", "out\nerr\n", ""},
                      RedirectionCase{"> \"c:\\with blank.txt\"", "with blank.txt", "out\n",
                                      "err\n"},
                      RedirectionCase{"> c:\\R.TXT", "R.TXT", "out\n", "err\n"}));

TEST_F(VtCmdTest, ARedirectionIntoAReadOnlyFileIsRefusedEvenForRoot) {
    writeBytes("drive_c/ro.txt", "kept");
    ASSERT_TRUE(files().setReadOnly(path("drive_c/ro.txt"), true));

    const ProgramResult program = runLine("\"" + toolsDir() + "/both\" > c:\\ro.txt");
    const ProgramResult echo = runLine("echo lost >> c:\\ro.txt");

    EXPECT_EQ(onDriveC("ro.txt"), "kept");
    EXPECT_EQ(program.standardOutput, "");  // the program did not run
    EXPECT_EQ(program.standardError,
              "vt_cmd : impossible d'ouvrir le fichier " + driveC() + "ro.txt\n");
    EXPECT_EQ(echo.standardError, "vt_cmd : impossible d'ouvrir le fichier c:\\ro.txt\n");
}

TEST_F(VtCmdTest, CommentsBlankLinesAndTheAtSignRunNothing) {
    const ProgramResult result = runBatch(
        "@echo off\r\n"
        "rem echo no > c:\\rem.txt\r\n"
        "REM\r\n"
        ":: echo no > c:\\colons.txt\r\n"
        "\r\n"
        "   \t\r\n"
        "  @\"" +
        toolsDir() + "/print args\" q > c:\\q.txt\r\n");
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.standardOutput + result.standardError, "");
    EXPECT_EQ(onDriveC("rem.txt"), "<absent>");
    EXPECT_EQ(onDriveC("colons.txt"), "<absent>");
    EXPECT_EQ(onDriveC("q.txt"), "[q]\n");
}

TEST_F(VtCmdTest, CdFormsAndAFailedCd) {
    fs::create_directories(path("drive_c/Data Dir"));
    writeScript("drive_c/Data Dir/here", "#!/bin/sh\npwd\n");
    const ProgramResult result = runBatch(
        "cd /D c:\\data dir\\\r\n"  // another case, a trailing separator, blanks unquoted
        "here > c:\\1.txt\r\n"
        "cd c:\\\r\n"
        "cd \"c:\\Data Dir\"\r\n"
        "here > c:\\2.txt\r\n"
        "cd c:\\nowhere\r\n"
        "here > c:\\3.txt\r\n");
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.standardError, "vt_cmd : chemin introuvable : c:\\nowhere\n");
    const std::string dataDir = fs::canonical(path("drive_c/Data Dir")).string() + "\n";
    EXPECT_EQ(onDriveC("1.txt"), dataDir);
    EXPECT_EQ(onDriveC("2.txt"), dataDir);
    EXPECT_EQ(onDriveC("3.txt"), dataDir);  // the failed cd left the directory as it was
}

TEST_F(VtCmdTest, BatchBytesAreWindows1252) {
    const ProgramResult result = runBatch(
        "echo caf\xE9 \x80 > c:\\e.txt\r\n"
        "\"" +
        toolsDir() + "/print args\" \"caf\xE9\" > c:\\a.txt\r\n");
    EXPECT_EQ(result.standardError, "");
    EXPECT_EQ(onDriveC("e.txt"), "caf\xE9 \x80\r\n");  // written back as the system reads it
    EXPECT_EQ(onDriveC("a.txt"), "[caf\xC3\xA9]\n");   // programs get UTF-8 arguments
}

TEST_F(VtCmdTest, NestedBatchesAndCmdLinesRunUnderVtCmdWithinADepthLimit) {
    writeBytes("inner.bat", "echo inner %1 > c:\\inner.txt\r\n");
    const ProgramResult nested = runBatch("\"" + path("inner.bat") +
                                          "\" ignored\r\n"
                                          "cmd.exe /c echo through cmd > c:\\cmd.txt\r\n");
    EXPECT_EQ(nested.standardError, "");
    EXPECT_EQ(onDriveC("inner.txt"), "inner %1\r\n");
    EXPECT_EQ(onDriveC("cmd.txt"), "through cmd\r\n");

    // A batch that runs itself stops at the depth limit instead of nesting without end.
    writeBytes("self.bat", "echo level>> c:\\levels.txt\r\n\"" + path("self.bat") + "\"\r\n");
    const ProgramResult self = runProgram({vtCmd(), path("self.bat")});
    EXPECT_EQ(self.exitCode, 0);
    EXPECT_EQ(self.standardError, "vt_cmd : trop d'interpréteurs imbriqués\n");
    std::string levels;
    for (int i = 0; i < 16; ++i) {
        levels += "level\r\n";
    }
    EXPECT_EQ(onDriveC("levels.txt"), levels);
}

TEST_F(VtCmdTest, BadUsageAndMissingBatch) {
    const ProgramResult none = runProgram({vtCmd()});
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_EQ(none.standardError, "usage : vt_cmd FICHIER.bat | vt_cmd -c LIGNE\n");

    const ProgramResult missing = runProgram({vtCmd(), "c:\\absent.bat"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.standardError, "vt_cmd : impossible d'ouvrir le fichier c:\\absent.bat\n");

    const ProgramResult malformed = runBatch("echo x >\r\necho y > c:\\y.txt\r\n");
    EXPECT_EQ(malformed.standardError, "vt_cmd : redirection sans fichier : echo x >\n");
    EXPECT_EQ(onDriveC("y.txt"), "y\r\n");
}

TEST_F(VtCmdTest, HugeLinesAndRandomBytesDoNotBreakIt) {
    const std::string longText(200000, 'a');
    EXPECT_EQ(runBatch("echo " + longText + " > c:\\big.txt\r\n").exitCode, 0);
    EXPECT_EQ(onDriveC("big.txt"), longText + "\r\n");

    std::string noise;
    unsigned seed = 12345;
    for (int i = 0; i < 20000; ++i) {
        seed = seed * 1103515245u + 12345u;
        noise += static_cast<char>((seed >> 16) & 0xFF);
    }
    noise += "\r\necho still > c:\\still.txt\r\n";
    // No program of the machine may be hit by chance.
    ::setenv("PATH", path("no programs").c_str(), 1);
    const ProgramResult result = runBatch(noise);
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(onDriveC("still.txt"), "still\r\n");
}

}  // namespace
}  // namespace vt::test
