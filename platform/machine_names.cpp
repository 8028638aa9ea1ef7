#include "platform/machine_names.h"

#include "platform/ascii_text.h"

namespace vt::platform {

namespace {

constexpr std::string_view kNoBreakSpace = "\xC2\xA0";

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

bool holdsControl(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (isC0Control(text[i]) || isC1ControlAt(text, i)) {
            return true;
        }
    }
    return false;
}

bool namesAPath(std::string_view name) {
    return name.find_first_of("\\/:") != std::string_view::npos ||
           name.find("..") != std::string_view::npos || holdsControl(name);
}

bool holdsCommandSyntax(std::string_view name) {
    return name.front() == '-' || name.find_first_of(" \"&|<>^%*?") != std::string_view::npos ||
           name.find(kNoBreakSpace) != std::string_view::npos;
}

}  // namespace

std::string machineNameRefusal(std::string_view name) {
    if (name.empty()) {
        return "nom vide";
    }
    if (characterCount(name) > kMachineNameLimit) {
        return "plus de 255 caractères";
    }
    if (namesAPath(name)) {
        return "nom de fichier ou chemin";
    }
    if (holdsCommandSyntax(name)) {
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
