#include "core/names.h"

#include <array>

#include "core/strings.h"
#include "platform/machine_names.h"

namespace vt {

namespace {

// The files the program, its tools and its batches read or write in the program folder.
constexpr std::array kOwnFiles = {
    // programs, also found without ".exe"
    "Vantorel", "vt_echo", "vt_arpsift", "vt_cmd", "wolcmd", "vt_shutdown", "vt_net", "vt_nbtstat",
    "vt_arp", "vt_ocs_hardware", "vt_ocs_softwares",
    // images
    "led-rouge.bmp", "led-vert.bmp", "led-orange.bmp", "led-gris.bmp",
    // data, logs, locks and exports
    "vtl.ini", "settings.ini", "localGM", "liste.mac", "liste.ip", "liste.exclusion", "liste.patch",
    "liste.ip.discover", "liste.machines", "wol.followup", "shutdown.followup", "rapport.txt",
    "http.txt", "dhcpd.leases", "hardware.ocs", "softwares.ocs", "cache.log", "vt_netsweep.lck",
    "shutdown.log", "ListeGM.xml"};

constexpr std::array kOwnSuffixes = {".bat", ".exe", ".mark"};

}  // namespace

bool holdsBatchMetacharacter(std::string_view text) {
    return holdsControlCharacter(text) || text.find_first_of("\"&|<>^%") != std::string_view::npos;
}

bool changesBatchLine(std::string_view text) {
    return (!text.empty() && (text.front() == '-' || text.front() == '/')) ||
           holdsBatchMetacharacter(text);
}

bool isSingleBatchArgument(std::string_view text) {
    return !text.empty() && text.find(' ') == std::string_view::npos && !changesBatchLine(text);
}

bool isPlainFileName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of("\\/:") == std::string_view::npos && !holdsControlCharacter(name);
}

bool isOwnFileName(std::string_view name) {
    std::string_view stem = name;
    if (stem.size() > 4 && equalsNoCase(stem.substr(stem.size() - 4), ".exe")) {
        stem.remove_suffix(4);
    }
    for (const char* own : kOwnFiles) {
        if (equalsNoCase(stem, own) || equalsNoCase(name, own)) {
            return true;
        }
    }
    for (const char* suffix : kOwnSuffixes) {
        const std::string_view ending = suffix;
        if (name.size() >= ending.size() &&
            equalsNoCase(name.substr(name.size() - ending.size()), ending)) {
            return true;
        }
    }
    return false;
}

std::string groupNameRefusal(std::string_view name) {
    if (characterCount(name) > kNameLimit) {
        return "plus de 255 caractères";
    }
    if (!isPlainFileName(name)) {
        return "nom de fichier impossible";
    }
    if (changesBatchLine(name)) {
        return "caractère réservé aux lignes de commande";
    }
    if (isOwnFileName(name)) {
        return "nom d'un fichier du programme";
    }
    return std::string();
}

bool isUsableGroupName(std::string_view name) {
    return groupNameRefusal(name).empty();
}

std::string machineNameRefusal(std::string_view name) {
    return platform::markedMachineNameRefusal(name);
}

std::string shownName(std::string_view name) {
    if (characterCount(name) <= kNameLimit) {
        return std::string(name);
    }
    return leftCharacters(name, kNameLimit) + "…";
}

}  // namespace vt
