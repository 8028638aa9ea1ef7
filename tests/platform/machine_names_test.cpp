// The one rule on machine names that the program and the cache tool share.

#include "platform/machine_names.h"

#include <gtest/gtest.h>

namespace vt::platform {
namespace {

TEST(MachineNameTest, NamesLearnedFromTheNetwork) {
    const std::string syntax = "caractère réservé aux lignes de commande";
    const std::string path = "nom de fichier ou chemin";
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"PC-RÉSEAU", ""},
        {std::string(255, 'N'), ""},
        {"PCREL01 X", syntax},
        {"PC& CALC", syntax},
        {"PC\xC2\xA0X", syntax},  // no-break space
        {"PC01*", syntax},
        {"PC?", syntax},
        {"PC\vX", path},
        {"PC\xC2\x81X", path},  // C1 control
        {std::string(256, 'N'), "plus de 255 caractères"}};
    for (const auto& [name, refusal] : cases) {
        EXPECT_EQ(machineNameRefusal(name), refusal) << name;
    }
    EXPECT_EQ(markedMachineNameRefusal("PC07*"), "");
    EXPECT_EQ(shownMachineName("PC\vX\xC2\x90Y"), "PC.X.Y");
}

}  // namespace
}  // namespace vt::platform
