#include "core/shutdown_account.h"

#include "core/file_error.h"
#include "core/names.h"
#include "core/strings.h"
#include "core/text_file.h"
#include "core/utils.h"

namespace vt {

namespace {

constexpr const char* kAccepted = "annulation demandée";
constexpr const char* kRefused = "accès refusé";
constexpr const char* kUnreachable = "machine injoignable";

// The Samba file's lines, cut at LF only: a CR stays part of the value, as net reads it.
std::vector<std::string> fileLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        lines.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

std::string firstLine(std::string_view text) {
    return std::string(text.substr(0, text.find('\n')));
}

}  // namespace

std::optional<ShutdownAccount> readShutdownAccount(const platform::FileSystem& files,
                                                   std::string_view path) {
    const std::optional<std::string> bytes = files.readFile(path);
    if (!bytes) {
        return std::nullopt;
    }
    ShutdownAccount account;
    for (const std::string& line : fileLines(*bytes)) {
        const SplitResult split = splitAtFirst(line, "=");
        if (!split.found) {
            continue;
        }
        const std::string key = trim(split.before);
        const std::string value = std::string(
            split.after.substr(std::min(split.after.find_first_not_of(" \t"), split.after.size())));
        if (equalsNoCase(key, "username")) {
            account.user = value;
        } else if (equalsNoCase(key, "password")) {
            account.password = value;
        } else if (equalsNoCase(key, "domain")) {
            account.domain = value;
        }
    }
    return account;
}

std::string shutdownAccountFileText(const ShutdownAccount& account) {
    std::string text = "username=" + account.user + "\npassword=" + account.password + "\n";
    if (!account.domain.empty()) {
        text += "domain=" + account.domain + "\n";
    }
    return text;
}

ShutdownAccount accountToSave(const ShutdownAccount& typed,
                              const std::optional<ShutdownAccount>& saved) {
    ShutdownAccount account{trim(typed.domain), trim(typed.user), typed.password};
    if (account.password.empty() && saved) {
        account.password = saved->password;
    }
    return account;
}

std::string shutdownAccountRefusal(const ShutdownAccount& account) {
    if (account.user.empty()) {
        return "le nom d'utilisateur manque";
    }
    if (account.password.empty()) {
        return "le mot de passe manque";
    }
    for (const std::string* field : {&account.domain, &account.user, &account.password}) {
        if (holdsControlCharacter(*field)) {
            return "un champ contient un caractère de contrôle";
        }
    }
    if (account.password.front() == ' ' || account.password.front() == '\t') {
        return "le mot de passe ne peut pas commencer par un blanc";
    }
    return {};
}

void saveShutdownAccount(platform::FileSystem& files, const std::string& path,
                         const ShutdownAccount& account) {
    if (!files.writePrivateFile(path, shutdownAccountFileText(account))) {
        throw FileError::cannotCreate(path);
    }
}

std::optional<std::string> trialMachine(const VtlVar& state, const platform::FileSystem& files) {
    std::string group = state.CurrentGroup;
    if (group.empty() && !state.GroupList.empty()) {
        group = state.GroupList.front();
    }
    if (group.empty()) {
        return std::nullopt;
    }
    std::vector<std::string> machines;
    try {
        machines = LoadGroupMachines(files, group);
    } catch (const FileError&) {
        return std::nullopt;
    }
    for (const std::string& line : machines) {
        const std::string machine = trim(line);
        if (!machine.empty() && machine.back() != '*' && machineNameRefusal(machine).empty()) {
            return machine;
        }
    }
    return std::nullopt;
}

std::string trialAnswer(const std::string& machine, int exitCode, std::string_view output) {
    const std::string prefix = machine + " : ";
    const std::string line = trimRight(firstLine(output));
    if (!line.starts_with(prefix)) {
        return prefix + "pas de réponse de l'outil d'arrêt (code " + std::to_string(exitCode) + ")";
    }
    const std::string result = line.substr(prefix.size());
    if (result == kAccepted) {
        return line + " : le compte est accepté";
    }
    if (result == kRefused) {
        return line + " : compte ou mot de passe refusé, ou pas le droit d'arrêter ce poste";
    }
    if (result.starts_with(kUnreachable)) {
        return line + " : le compte n'a pas pu être essayé (poste éteint ?)";
    }
    return line;
}

std::string missingShutdownAccountAdvice(const platform::ShutdownCredentials& credentials) {
    using platform::ShutdownCredentialsKind;
    switch (credentials.kind) {
        case ShutdownCredentialsKind::Missing:
            return "Arrêt à distance sans compte : saisir le « Compte pour l'arrêt à distance » "
                   "dans Edition > Préférences (fichier " +
                   credentials.authenticationFile + ")";
        case ShutdownCredentialsKind::Exposed:
            return "Arrêt à distance refusé, " + credentials.authenticationFile +
                   " est lisible par d'autres : enregistrer de nouveau le compte dans Edition > "
                   "Préférences";
        default:
            return {};
    }
}

}  // namespace vt
