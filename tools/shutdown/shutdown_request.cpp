#include "tools/shutdown/shutdown_request.h"

#include <cctype>

#include "platform/ascii_text.h"

namespace vt::shutdown {

namespace {

constexpr std::size_t kMaximumName = 255;

bool isSwitch(std::string_view argument) {
    return argument.size() >= 2 && (argument[0] == '-' || argument[0] == '/');
}

char switchLetter(std::string_view argument) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(argument[1])));
}

std::optional<int> parseTimeout(std::string_view text) {
    const std::optional<std::uint32_t> value = vt::platform::parseDecimal(text, kMaximumTimeout);
    return value ? std::optional(static_cast<int>(*value)) : std::nullopt;
}

// Letters, digits, "-", "_" and "." of ASCII; beyond ASCII, anything but the C1 controls
// (U+0080 to U+009F, "\xC2\x80" to "\xC2\x9F" in UTF-8), so accented names pass.
bool isNameCharacter(std::string_view name, std::size_t at) {
    const auto c = static_cast<unsigned char>(name[at]);
    if (c < 0x80) {
        return std::isalnum(c) != 0 || c == '-' || c == '_' || c == '.';
    }
    const bool c1Control = c == 0xC2 && at + 1 < name.size() &&
                           static_cast<unsigned char>(name[at + 1]) >= 0x80 &&
                           static_cast<unsigned char>(name[at + 1]) <= 0x9F;
    const bool c1Continuation =
        at > 0 && static_cast<unsigned char>(name[at - 1]) == 0xC2 && c <= 0x9F;
    return !c1Control && !c1Continuation;
}

}  // namespace

std::optional<std::string> machineNameProblem(std::string_view name) {
    if (name.empty()) {
        return "nom de machine vide";
    }
    if (name.size() > kMaximumName) {
        return "nom de machine trop long (plus de 255 caractères)";
    }
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (!isNameCharacter(name, i)) {
            return "caractère interdit dans le nom de machine";
        }
    }
    if (name.front() == '-' || name.front() == '.') {
        // It would read as an option of the tool it is handed to, or as a relative path.
        return "nom de machine qui commence par \"" + std::string(1, name.front()) + "\"";
    }
    return std::nullopt;
}

ParsedRequest parseShutdownArguments(const std::vector<std::string>& arguments) {
    ShutdownRequest request;
    std::optional<Action> action;
    std::optional<std::string> machine;
    auto refuse = [](std::string error) { return ParsedRequest{std::nullopt, std::move(error)}; };

    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (!isSwitch(argument) || argument.size() != 2) {
            return refuse("paramètre non pris en charge : " + argument);
        }
        const char letter = switchLetter(argument);
        const bool takesValue = letter == 't' || letter == 'c' || letter == 'm';
        if (takesValue && i + 1 >= arguments.size()) {
            return refuse("valeur manquante après " + argument);
        }
        switch (letter) {
            case 's':
            case 'r':
            case 'a': {
                const Action given = letter == 's'   ? Action::Shutdown
                                     : letter == 'r' ? Action::Restart
                                                     : Action::Abort;
                if (action && *action != given) {
                    return refuse("une seule action parmi -s, -r et -a");
                }
                action = given;
                break;
            }
            case 'f':
                request.force = true;
                break;
            case 't': {
                const auto timeout = parseTimeout(arguments[++i]);
                if (!timeout) {
                    return refuse("délai invalide : " + arguments[i]);
                }
                request.timeout = *timeout;
                break;
            }
            case 'c':
                request.comment = arguments[++i];
                if (request.comment.size() > kMaximumComment) {
                    return refuse("commentaire trop long (plus de 512 caractères)");
                }
                break;
            case 'm':
                if (machine) {
                    return refuse("une seule machine par commande");
                }
                machine = arguments[++i];
                break;
            default:
                return refuse("paramètre non pris en charge : " + argument);
        }
    }
    if (!action) {
        return refuse("action attendue : -s, -r ou -a");
    }
    if (!machine) {
        // This tool never shuts down the machine it runs on.
        return refuse("machine distante attendue : -m \\\\NOM");
    }
    std::string name = *machine;
    if (name.starts_with("\\\\")) {
        name.erase(0, 2);
    }
    if (!name.empty() && name.back() == '*') {
        name.pop_back();
        request.neverShutDown = true;
    }
    if (const auto problem = machineNameProblem(name)) {
        return refuse(*problem);
    }
    request.action = *action;
    request.machine = std::move(name);
    return ParsedRequest{std::move(request), {}};
}

}  // namespace vt::shutdown
