#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/support/scoped_environment.h"
#include "tests/support/temp_dir_test.h"

namespace vt::platform {
namespace {

namespace fs = std::filesystem;

using test::ScopedEnvironment;

enum class Root { DriveC, Unc, None };

struct MappingCase {
    std::string path;
    Root root;
    std::string rest;
};

class PathMappingTest : public test::TempDirTest,
                        public ::testing::WithParamInterface<MappingCase> {};

TEST_P(PathMappingTest, MapsWindowsPathsOntoTheirRoots) {
    const MappingCase& c = GetParam();
    const std::string expected = (c.root == Root::DriveC ? driveC()
                                  : c.root == Root::Unc  ? uncRoot()
                                                         : "") +
                                 c.rest;
    EXPECT_EQ(files().nativePath(c.path), expected) << c.path;
}

INSTANTIATE_TEST_SUITE_P(
    Paths, PathMappingTest,
    ::testing::Values(MappingCase{R"(c:\5.mark)", Root::DriveC, "5.mark"},
                      MappingCase{R"(C:\dir\x.txt)", Root::DriveC, "dir/x.txt"},
                      MappingCase{"c:/dir/x.txt", Root::DriveC, "dir/x.txt"},
                      MappingCase{R"(c:\)", Root::DriveC, ""}, MappingCase{"c:", Root::DriveC, ""},
                      MappingCase{R"(c:\\double\\\x)", Root::DriveC, "double/x"},
                      MappingCase{R"(c:\a\.\b\)", Root::DriveC, "a/b/"},
                      // Windows does not go above a drive's root; neither does the mapping.
                      MappingCase{R"(c:\a\..\..\..\etc\passwd)", Root::DriveC, "etc/passwd"},
                      MappingCase{R"(\\PDC\netlogon\x.bat)", Root::Unc, "PDC/netlogon/x.bat"},
                      MappingCase{"//srv/share/y", Root::Unc, "srv/share/y"},
                      MappingCase{R"(\\srv/share\y)", Root::Unc, "srv/share/y"},
                      MappingCase{R"(\\srv\..\..\x)", Root::Unc, "x"},
                      MappingCase{"/etc/hosts", Root::None, "/etc/hosts"},
                      MappingCase{"relative/x", Root::None, "relative/x"},
                      MappingCase{R"(a\b)", Root::None, R"(a\b)"},
                      MappingCase{"1:x", Root::None, "1:x"}));

using PathLookupTest = test::TempDirTest;

TEST_F(PathLookupTest, OtherDrivesComeFromTheirEnvironmentVariable) {
    const ScopedEnvironment driveD("VANTOREL_DRIVE_D", path("elsewhere").c_str());
    EXPECT_EQ(files().nativePath(R"(d:\x\y.txt)"), path("elsewhere") + "/x/y.txt");
    EXPECT_EQ(files().nativePath(R"(D:\x)"), path("elsewhere") + "/x");
    // The configured root of drive C wins over the environment.
    const ScopedEnvironment driveC_("VANTOREL_DRIVE_C", "/nowhere");
    EXPECT_EQ(files().nativePath(R"(c:\x)"), driveC() + "x");
}

TEST_F(PathLookupTest, RootsDefaultToTheEnvironmentThenBesideTheProgram) {
    const ScopedEnvironment unc("VANTOREL_UNC_ROOT", path("shares").c_str());
    const ScopedEnvironment driveC_("VANTOREL_DRIVE_C", path("envc").c_str());
    auto native = createNativePlatform({});
    EXPECT_EQ(native->platform().files.nativePath(R"(\\pdc\netlogon\a)"),
              path("shares") + "/pdc/netlogon/a");
    EXPECT_EQ(native->platform().files.nativePath(R"(c:\a)"), path("envc") + "/a");
    {
        const ScopedEnvironment noUnc("VANTOREL_UNC_ROOT", nullptr);
        EXPECT_EQ(native->platform().files.nativePath(R"(\\pdc\x)"), "/mnt/unc/pdc/x");
    }
    // Without any setting the drive lives beside the program, made when first used.
    const ScopedEnvironment driveQ("VANTOREL_DRIVE_Q", nullptr);
    const std::string besideProgram = native->platform().system.executableDirectory() + "drive_q/";
    fs::remove(besideProgram);
    EXPECT_EQ(native->platform().files.nativePath(R"(q:\file.txt)"), besideProgram + "file.txt");
    EXPECT_TRUE(fs::is_directory(besideProgram));
    fs::remove(besideProgram);
}

TEST_F(PathLookupTest, FindsNamesWithoutRegardToCase) {
    writeBytes("drive_c/Sub/liste.mac", "PC1\r\n");
    EXPECT_EQ(files().nativePath(R"(c:\SUB\LISTE.MAC)"), driveC() + "Sub/liste.mac");
    EXPECT_EQ(files().nativePath(R"(c:\sub\Liste.Mac)"), driveC() + "Sub/liste.mac");
    // Missing names are kept as written, after the part that exists.
    EXPECT_EQ(files().nativePath(R"(c:\sub\New\File.TXT)"), driveC() + "Sub/New/File.TXT");
    EXPECT_EQ(files().nativePath(R"(c:\sub\liste.mac\below)"), driveC() + "Sub/liste.mac/below");
    EXPECT_EQ(files().readFile(R"(C:\SUB\LISTE.MAC)"), "PC1\r\n");
    EXPECT_TRUE(files().exists(R"(c:\sUb\lIsTe.MaC)"));
    EXPECT_TRUE(files().isDirectory(R"(c:\SUB)"));
}

TEST_F(PathLookupTest, WritingUnderAnotherCaseReplacesTheExistingFile) {
    writeBytes("drive_c/liste.mac", "old");
    ASSERT_TRUE(files().writeFile(R"(C:\LISTE.MAC)", "new"));
    EXPECT_EQ(readBytes("drive_c/liste.mac"), "new");
    EXPECT_FALSE(fs::exists(driveC() + "LISTE.MAC"));
}

TEST_F(PathLookupTest, AnExactNameWinsOverOneDifferingInCase) {
    writeBytes("drive_c/a.txt", "lower");
    writeBytes("drive_c/A.txt", "upper");
    EXPECT_EQ(files().readFile(R"(c:\a.txt)"), "lower");
    EXPECT_EQ(files().readFile(R"(c:\A.txt)"), "upper");
    // Neither spelled exactly: the choice does not depend on the directory's order.
    EXPECT_EQ(files().nativePath(R"(c:\a.TXT)"), driveC() + "A.txt");
}

TEST_F(PathLookupTest, RelativePathsAreTakenFromTheWorkingDirectory) {
    writeBytes("Data/Groupes.txt", "x");
    EXPECT_EQ(files().readFile("data/groupes.txt"), "x");
    EXPECT_EQ(files().nativePath("DATA/GROUPES.TXT"), "Data/Groupes.txt");
}

}  // namespace
}  // namespace vt::platform
