#include "platform/machine_names.h"

#include <array>

#include "platform/ascii_text.h"

namespace vt::platform {

namespace {

constexpr unsigned char kNoBreakSpaceLead = 0xC2;
constexpr unsigned char kNoBreakSpaceTrail = 0xA0;

bool isC0Control(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F;
}

// The UTF-8 text of a C1 control (U+0080 to U+009F) starts at `at`; Windows-1252 gives them
// for its five undefined bytes.
bool isC1ControlAt(std::string_view text, std::size_t at) {
    return static_cast<unsigned char>(text[at]) == 0xC2 && at + 1 < text.size() &&
           static_cast<unsigned char>(text[at + 1]) >= 0x80 &&
           static_cast<unsigned char>(text[at + 1]) <= 0x9F;
}

// The bytes that make a name a path, and those that the command interpreter reads as syntax
// (a blank separates arguments, "*" and "?" are wildcards).
constexpr std::array<bool, 256> byteTable(std::string_view bytes) {
    std::array<bool, 256> table{};
    for (const char c : bytes) {
        table[static_cast<unsigned char>(c)] = true;
    }
    return table;
}
constexpr std::array<bool, 256> kPathBytes = byteTable("\\/:");
constexpr std::array<bool, 256> kSyntaxBytes = byteTable(" \"&|<>^%*?");

}  // namespace

// One pass over the name: discovery files its names one by one from pages of many thousands.
std::string machineNameRefusal(std::string_view name) {
    if (name.empty()) {
        return "nom vide";
    }
    std::size_t characters = 0;
    bool path = false;
    bool syntax = name.front() == '-';
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto byte = static_cast<unsigned char>(name[i]);
        const bool followed = i + 1 < name.size();
        characters += (byte & 0xC0) != 0x80 ? 1 : 0;
        path = path || kPathBytes[byte] || isC0Control(name[i]) || isC1ControlAt(name, i) ||
               (byte == '.' && followed && name[i + 1] == '.');
        syntax = syntax || kSyntaxBytes[byte] ||
                 (byte == kNoBreakSpaceLead && followed &&
                  static_cast<unsigned char>(name[i + 1]) == kNoBreakSpaceTrail);
    }
    if (characters > kMachineNameLimit) {
        return "plus de 255 caractères";
    }
    if (path) {
        return "nom de fichier ou chemin";
    }
    if (syntax) {
        return "caractère réservé aux lignes de commande";
    }
    return std::string();
}

bool isUsableMachineName(std::string_view name) {
    return machineNameRefusal(name).empty();
}

std::string markedMachineNameRefusal(std::string_view name) {
    return machineNameRefusal(name.ends_with('*') ? name.substr(0, name.size() - 1) : name);
}

std::string shownMachineName(std::string_view name) {
    std::string shown;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (isC1ControlAt(name, i)) {
            shown += '.';
            ++i;
        } else {
            shown += isC0Control(name[i]) ? '.' : name[i];
        }
    }
    return characterCount(shown) <= kMachineNameLimit
               ? shown
               : leftCharacters(shown, kMachineNameLimit) + "…";
}

}  // namespace vt::platform
