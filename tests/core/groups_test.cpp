#include <gtest/gtest.h>

#include "core/file_error.h"
#include "core/strings.h"
#include "core/utils.h"
#include "tests/support/temp_dir_test.h"

namespace vt {
namespace {

using Lines = std::vector<std::string>;
using namespace std::string_literals;

class GroupsTest : public test::TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        state.Prefs.pdc = "\\\\PDC";
        state.Prefs.esu = "true";
    }
    // The ESU list where the domain controller keeps it first.
    void writeEsu(std::string_view bytes, std::string_view folder = "esu/Base") {
        writeBytes("unc/PDC/" + std::string(folder) + "/ListeGM.xml", bytes);
    }
    static std::string group(std::string_view name, const Lines& machines) {
        std::string text = "<GM Nom=\"" + std::string(name) + "\" Type=\"salle\">";
        for (const std::string& machine : machines) {
            text += "<Machine>" + machine + "</Machine>";
        }
        return text + "</GM>\r\n";
    }
    void load() { LoadGroups(state, files(), console); }
};

TEST_F(GroupsTest, WithoutEsuTheGroupsAreLocalGMThenAutres) {
    for (const char* esu : {"", "false", "TRUE", "true "}) {
        state.Prefs.esu = esu;
        writeEsu(group("SALLE1", {"PC01"}));
        writeLines("localGM", {"CDI", "Salle B"});
        load();
        EXPECT_EQ(state.GroupList, (Lines{"CDI", "Salle B", "Autres"})) << esu;
        EXPECT_FALSE(fileExists("SALLE1"));
    }
}

TEST_F(GroupsTest, WithNothingAtAllOnlyAutresIsCreated) {
    state.Prefs.esu = "false";
    state.GroupList = {"old"};
    load();
    EXPECT_EQ(state.GroupList, Lines{"Autres"});
    EXPECT_EQ(readBytes("Autres"), "");
    writeLines("Autres", {"PC99"});
    load();
    EXPECT_EQ(readLines("Autres"), Lines{"PC99"});  // an existing file stays
}

TEST_F(GroupsTest, EsuGroupsComeFirstAndFillTheirFiles) {
    writeEsu("<?xml version=\"1.0\"?><ListeGM>" +
             group("SALLE1", {"pc01", "  PC02 \r\n", "PC03*", "", "Pc01"}) +
             group("CDI", {"CDI-01"}) + "</ListeGM>");
    writeLines("localGM", {"PROFS"});
    load();
    EXPECT_EQ(state.GroupList, (Lines{"SALLE1", "CDI", "PROFS", "Autres"}));
    EXPECT_EQ(state.EsuBaseDir, "\\\\PDC\\esu\\Base");
    EXPECT_EQ(readBytes("SALLE1"), "PC01\r\nPC02\r\n");
    EXPECT_EQ(readLines("CDI"), Lines{"CDI-01"});
    EXPECT_TRUE(console.lines.empty());
}

TEST_F(GroupsTest, FallsBackToNetlogonAndElseLoadsNoEsuGroupSilently) {
    writeEsu(group("S2", {"A"}), "netlogon/esu4");
    load();
    EXPECT_EQ(state.GroupList, (Lines{"S2", "Autres"}));
    EXPECT_EQ(state.EsuBaseDir, "\\\\PDC\\netlogon\\esu4");

    state.Prefs.pdc = "\\\\NOWHERE";
    load();
    EXPECT_EQ(state.GroupList, Lines{"Autres"});
    EXPECT_TRUE(console.lines.empty());
}

TEST_F(GroupsTest, ImportOnlyAddsAndReaddsAMarkedMachineUnmarked) {
    writeLines("SALLE1", {"PC07*", "OLD"});
    writeEsu(group("SALLE1", {"PC07", "PC08"}));
    load();
    EXPECT_EQ(readLines("SALLE1"), (Lines{"PC07*", "OLD", "PC07", "PC08"}));
    load();  // a second import changes nothing
    EXPECT_EQ(readLines("SALLE1"), (Lines{"PC07*", "OLD", "PC07", "PC08"}));
}

TEST_F(GroupsTest, EmptyGroupElementStillWritesAnEmptyFile) {
    writeEsu(group("VIDE", {}));
    load();
    EXPECT_EQ(state.GroupList, (Lines{"VIDE", "Autres"}));
    EXPECT_EQ(readBytes("VIDE"), "");
}

// Group lists come from a share that any domain account may be able to write: a name must
// not name a file elsewhere, change the batch line that starts the group's power script, or
// make the import write machine names over one of the program's own files.
TEST_F(GroupsTest, UnusableGroupNamesAreSkippedWithTheirReason) {
    const std::string path = "nom de fichier impossible";
    const std::string syntax = "caractère réservé aux lignes de commande";
    const std::string own = "nom d'un fichier du programme";
    const std::vector<std::pair<std::string, std::string>> refused = {{"..", path},
                                                                      {"..\\..\\evil", path},
                                                                      {"a/b", path},
                                                                      {"c:x", path},
                                                                      {"", path},
                                                                      {".", path},
                                                                      {"a&b", syntax},
                                                                      {"a|b", syntax},
                                                                      {"a<b", syntax},
                                                                      {"a>b", syntax},
                                                                      {"a^b", syntax},
                                                                      {"a%b%", syntax},
                                                                      {"-s", syntax},
                                                                      {"wolcmd", own},
                                                                      {"WOLCMD.EXE", own},
                                                                      {"vt_cmd", own},
                                                                      {"Vantorel", own},
                                                                      {"vt_echo.exe", own},
                                                                      {"liste.mac", own},
                                                                      {"LOCALGM", own},
                                                                      {"settings.ini", own},
                                                                      {"wol.followup", own},
                                                                      {"powerupX.bat", own},
                                                                      {"12.mark", own},
                                                                      {"led-vert.bmp", own},
                                                                      {"vtl.ini", own},
                                                                      {"shutdown.log", own},
                                                                      {"cache.log", own},
                                                                      {"hardware.ocs", own}};
    std::string xml;
    for (const auto& [name, reason] : refused) {
        xml += group(name, {"PC1"});
    }
    const std::string huge(300, 'G');
    writeEsu(xml + group(huge, {"PC1"}) + group("OK", {"PC1"}));
    writeLines("localGM", {"powerupX.bat", "X.bat\" \"y", "LOCAL", "PC-RÉSEAU", "Autres"});
    writeLines("wolcmd", {"binary"});
    load();

    EXPECT_EQ(state.GroupList, (Lines{"OK", "LOCAL", "PC-RÉSEAU", "Autres", "Autres"}));
    Lines expected;
    for (const auto& [name, reason] : refused) {
        expected.push_back("nom de groupe ignoré : \"" + name + "\" (" + reason + ")");
    }
    expected.push_back("nom de groupe ignoré : \"" + std::string(255, 'G') +
                       "…\" (plus de 255 caractères)");
    expected.push_back("nom de groupe ignoré : \"powerupX.bat\" (" + own + ")");
    expected.push_back("nom de groupe ignoré : \"X.bat\" \"y\" (" + syntax + ")");
    EXPECT_EQ(console.lines, expected);
    EXPECT_FALSE(fileExists("../evil"));
    EXPECT_FALSE(fileExists("a/b"));
    EXPECT_EQ(readLines("wolcmd"), Lines{"binary"});
    EXPECT_FALSE(fileExists("liste.mac"));
    EXPECT_THROW(LoadGroupMachines(files(), "X.bat\" \"y"), FileError);
    EXPECT_THROW(LoadGroupMachines(files(), "wolcmd"), FileError);
}

TEST_F(GroupsTest, MachineNamesLongerThan255CharactersAreNotImported) {
    writeEsu(group("SALLE1", {std::string(256, 'P'), std::string(255, 'Q'), "PC1"}));
    load();
    EXPECT_EQ(readLines("SALLE1"), (Lines{std::string(255, 'Q'), "PC1"}));
    EXPECT_EQ(
        console.lines,
        Lines{"nom de machine ignoré (plus de 255 caractères) : " + std::string(255, 'P') + "…"});
}

TEST_F(GroupsTest, PlainFileNameRules) {
    EXPECT_TRUE(isPlainFileName("Salle 12"));
    EXPECT_TRUE(isPlainFileName("...x"));
    EXPECT_TRUE(isPlainFileName("Bâtiment-É"));
    for (const char* bad : {"", ".", "..", "a\\b", "a/b", "c:", "a\tb", "a\rb"}) {
        EXPECT_FALSE(isPlainFileName(bad)) << bad;
    }
}

TEST_F(GroupsTest, GroupsFarBeyond32768CharactersAreAllRead) {
    std::string xml = "<ListeGM>";
    Lines expected;
    for (int i = 0; i < 300; ++i) {
        const std::string name = "G" + std::to_string(i);
        xml += group(name, {"PC-" + std::to_string(i)}) + std::string(200, ' ');
        expected.push_back(name);
    }
    ASSERT_GT(xml.size(), 32768u * 2);
    writeEsu(xml + "</ListeGM>");
    load();
    expected.push_back("Autres");
    EXPECT_EQ(state.GroupList, expected);  // no limit of 256 groups either
    EXPECT_EQ(readLines("G299"), Lines{"PC-299"});
}

TEST_F(GroupsTest, MachinesFarInsideAHugeGroupAreRead) {
    writeEsu("<GM Nom=\"BIG\">" + std::string(5'000'000, 'x') +
             "<Machine>FAR</Machine></GM><GM n=\"NEXT\"></GM>");
    load();
    EXPECT_EQ(state.GroupList, (Lines{"BIG", "NEXT", "Autres"}));
    EXPECT_EQ(readLines("BIG"), Lines{"FAR"});
}

TEST_F(GroupsTest, BrokenListsNeverCrash) {
    const std::vector<std::string> broken = {
        "<GM Nom=\"NOQUOTE></GM>",                  // one quote only: skipped
        "<GM Nom=\"A\"><Machine>PC1</GM>",          // unclosed machine
        "<GM Nom=\"B\"><Machine>PC1",               // unclosed group
        "</GM><GM Nom=\"C\"></GM>",                 // close before open
        "<GM Nom=\"D\"></Machine>X<Machine></GM>",  // machine close before open
        "<GM Nom=\"\xE9l\xE8ve\"><Machine>\xE9"
        "1</Machine></GM>",  // Windows-1252 name
        "\0\0<GM \0\"Z\"\0</GM>"s,
    };
    for (const std::string& xml : broken) {
        writeEsu(xml);
        EXPECT_NO_THROW(load()) << xml;
        EXPECT_EQ(state.GroupList.back(), "Autres");
    }
    writeEsu(broken[1]);
    load();
    EXPECT_EQ(state.GroupList, (Lines{"A", "Autres"}));
    EXPECT_EQ(readBytes("A"), "");
    writeEsu(broken[3]);
    load();
    EXPECT_EQ(state.GroupList, (Lines{"C", "Autres"}));
    writeEsu(broken[5]);
    load();
    EXPECT_EQ(state.GroupList, (Lines{"élève", "Autres"}));
    EXPECT_EQ(readLines("élève"), Lines{"é1"});  // only ASCII letters are upper-cased
}

TEST_F(GroupsTest, RandomBytesNeverCrash) {
    std::string bytes;
    unsigned seed = 7;
    const char* pieces[] = {"<GM ", "</GM>", "\"", "<Machine>", "</Machine>", "/", ".."};
    for (int i = 0; i < 400000; ++i) {
        seed = seed * 1103515245u + 12345u;
        if ((seed >> 24) < 8) {
            bytes += pieces[(seed >> 8) % 7];
        } else {
            bytes += static_cast<char>(seed >> 16);
        }
    }
    writeEsu(bytes);
    EXPECT_NO_THROW(load());
    EXPECT_EQ(state.GroupList.back(), "Autres");
    for (const std::string& name : state.GroupList) {
        EXPECT_TRUE(isPlainFileName(name)) << name;
    }
}

TEST_F(GroupsTest, GroupWhoseFileCannotBeWrittenKeepsItsRowAndTheOthersLoad) {
    writeLines("LOCKED", {"PC1"});
    ASSERT_TRUE(files().setReadOnly(path("LOCKED"), true));
    writeEsu(group("LOCKED", {"PC2"}) + group("FREE", {"PC3"}));
    load();
    EXPECT_EQ(state.GroupList, (Lines{"LOCKED", "FREE", "Autres"}));
    EXPECT_EQ(readLines("LOCKED"), Lines{"PC1"});
    EXPECT_EQ(readLines("FREE"), Lines{"PC3"});
    ASSERT_EQ(console.lines.size(), 1u);
    EXPECT_EQ(console.lines[0], "Impossible de créer le fichier LOCKED");
}

TEST_F(GroupsTest, ReadWholeFileGivesTheBytesOrNothing) {
    std::string bytes(40000, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<char>(i * 7);
    }
    writeBytes("blob", bytes);
    EXPECT_EQ(ReadWholeFile(files(), path("blob")), bytes);
    EXPECT_EQ(ReadWholeFile(files(), path("missing")), "");
    EXPECT_EQ(ReadWholeFile(files(), path("")), "");  // a directory
}

TEST_F(GroupsTest, GroupIndexIgnoresCase) {
    state.GroupList = {"Salle1", "CDI", "Autres"};
    EXPECT_EQ(groupIndexOf(state, "salle1"), 0);
    EXPECT_EQ(groupIndexOf(state, "AUTRES"), 2);
    EXPECT_EQ(groupIndexOf(state, "Salle"), -1);
}

}  // namespace
}  // namespace vt
