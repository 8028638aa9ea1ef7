// The one rule on machine names that the program and the cache tool share, and the rows of a
// NetBIOS name table that give a machine's name.

#include "platform/machine_names.h"

#include <gtest/gtest.h>

#include "platform/netbios_rows.h"

namespace vt::platform {
namespace {

using Lines = std::vector<std::string>;

struct NameCase {
    std::string name;
    const char* refusal;
};

class MachineNameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(MachineNameTest, Refusal) {
    EXPECT_EQ(machineNameRefusal(GetParam().name), GetParam().refusal);
}

constexpr const char* kSyntax = "caractère réservé aux lignes de commande";
constexpr const char* kPath = "nom de fichier ou chemin";

INSTANTIATE_TEST_SUITE_P(
    Table, MachineNameTest,
    ::testing::Values(NameCase{"PC-RÉSEAU", ""}, NameCase{"pc.salle_2", ""},
                      NameCase{std::string(255, 'N'), ""}, NameCase{"PCREL01 X", kSyntax},
                      NameCase{"PC& CALC", kSyntax}, NameCase{"PC\xC2\xA0X", kSyntax},
                      NameCase{"PC01*", kSyntax}, NameCase{"PC?", kSyntax},
                      NameCase{"-PC", kSyntax}, NameCase{"PC\vX", kPath},
                      NameCase{"PC\xC2\x81X", kPath}, NameCase{"a:b", kPath},
                      NameCase{std::string(256, 'N'), "plus de 255 caractères"},
                      NameCase{"", "nom vide"}));

TEST(MachineNameTest, ShownNamesHoldNoControlCharacter) {
    EXPECT_EQ(shownMachineName("PC\vX\xC2\x90Y"), "PC.X.Y");
    EXPECT_EQ(shownMachineName(std::string(300, 'N')), std::string(255, 'N') + "…");
}

struct RowCase {
    const char* line;
    std::optional<NetbiosRow> row;
    bool namesTheMachine;
};

class NetbiosRowTest : public ::testing::TestWithParam<RowCase> {};

TEST_P(NetbiosRowTest, Row) {
    const std::optional<NetbiosRow> row = readNetbiosRow(GetParam().line);
    ASSERT_EQ(row.has_value(), GetParam().row.has_value());
    if (row) {
        EXPECT_EQ(row->name, GetParam().row->name);
        EXPECT_EQ(row->suffix, GetParam().row->suffix);
        EXPECT_EQ(row->unique, GetParam().row->unique);
        EXPECT_EQ(row->rest, GetParam().row->rest);
        EXPECT_EQ(namesTheMachine(*row), GetParam().namesTheMachine);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, NetbiosRowTest,
    ::testing::Values(RowCase{"    PC07           <00>  UNIQUE          10.0.0.17           600",
                              NetbiosRow{"PC07", 0x00, true, "10.0.0.17           600"}, true},
                      RowCase{"    PC07           <20>  UNIQUE      Inscrit",
                              NetbiosRow{"PC07", 0x20, true, "Inscrit"}, true},
                      RowCase{"    COLLEGE        <1D>  UNIQUE      Inscrit",
                              NetbiosRow{"COLLEGE", 0x1D, true, "Inscrit"}, false},
                      RowCase{"    COLLEGE        <00>  GROUPE      Inscrit",
                              NetbiosRow{"COLLEGE", 0x00, false, "Inscrit"}, false},
                      RowCase{"    JDUPONT        <03>  UNIQUE      Inscrit",
                              NetbiosRow{"JDUPONT", 0x03, true, "Inscrit"}, false},
                      // a name that holds what a row holds is read whole
                      RowCase{"    PC<00> UNIQUE X <00>  UNIQUE      Inscrit",
                              NetbiosRow{"PC<00> UNIQUE X", 0x00, true, "Inscrit"}, true},
                      RowCase{"    Adresse MAC = 00-1A-2B-3C-4D-5E", std::nullopt, false},
                      RowCase{"    PC07 <0G>  UNIQUE", std::nullopt, false},
                      RowCase{"    PC07 <00>UNIQUE", std::nullopt, false}));

TEST(NetbiosRowTest, NodeStatusNameIsTheFirstUniqueWorkstationName) {
    const Lines status = {"",
                          "    COLLEGE        <1D>  UNIQUE      Inscrit",
                          "    COLLEGE        <00>  GROUPE      Inscrit",
                          "    SALLE1-01      <20>  UNIQUE      Inscrit",
                          "    SALLE1-01      <00>  UNIQUE      Inscrit",
                          "    OTHER          <00>  UNIQUE      Inscrit"};
    EXPECT_EQ(findMachineRow(status, 0, status.size()), 4u);
    EXPECT_EQ(findMachineRow(status, 0, 4), std::nullopt);
}

}  // namespace
}  // namespace vt::platform
