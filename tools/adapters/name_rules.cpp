#include "tools/adapters/name_rules.h"

namespace vt::adapters {

namespace {

bool isControl(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F;
}

}  // namespace

std::optional<std::string> refusalOfName(std::string_view name) {
    if (name.empty()) {
        return "nom vide";
    }
    if (name.size() > kLongestName) {
        return "nom trop long (plus de 255 caractères)";
    }
    for (const char c : name) {
        if (isControl(c)) {
            return "caractère de contrôle dans le nom";
        }
        if (kCommandMetacharacters.find(c) != std::string_view::npos) {
            return std::string("caractère interdit dans le nom : ") + c;
        }
    }
    return std::nullopt;
}

std::string printableName(std::string_view name) {
    std::string printable(name);
    for (char& c : printable) {
        if (isControl(c)) {
            c = '.';
        }
    }
    return printable;
}

bool isPassableName(std::string_view printable) {
    if (printable.empty()) {
        return false;
    }
    for (const char c : printable) {
        if (isControl(c) || kCommandMetacharacters.find(c) != std::string_view::npos) {
            return false;
        }
    }
    return true;
}

}  // namespace vt::adapters
