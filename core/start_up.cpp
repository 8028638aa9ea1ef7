#include "core/start_up.h"

#include <string_view>

#include "core/address_lists.h"
#include "core/file_error.h"
#include "core/incident_logs.h"
#include "core/names.h"
#include "core/strings.h"
#include "core/text_file.h"

namespace vt {

namespace {

// How long the exit waits for a run of the cache tool to release the address lists.
constexpr std::chrono::milliseconds kAddressListPatienceAtExit{10000};

std::string unsavedAddressesMessage(const VtlVar& state) {
    std::string message =
        "adresses apprises non enregistrées (vt_arpsift travaille sur les listes) :";
    for (const std::string& line : pendingAddressLines(state)) {
        message += " " + line + ";";
    }
    return message;
}

inline constexpr int kMainWindowDesignHeight = 698;

// The lines of a list opened by bare name; a missing list is created at once with the given
// lines, so the next start finds it.
std::vector<std::string> loadOrCreate(platform::FileSystem& files, std::string_view name,
                                      const std::vector<std::string>& initial) {
    if (files.exists(name)) {
        return loadTextLines(files, name);
    }
    saveTextLines(files, name, initial);
    return initial;
}

bool isDigits(std::string_view text) {
    if (text.empty()) {
        return false;
    }
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return true;
}

// A background job's marker ("5.mark") or its ping files ("ping5.bat", "ping5.txt").
// The number of a job's marker, batch or output ("12.mark", "ping12.bat", "ping12.txt").
std::optional<unsigned long> jobLeftoverNumber(std::string_view name) {
    const std::string lower = toLowerAscii(name);
    std::string_view text = lower;
    constexpr std::string_view kMark = ".mark";
    constexpr std::string_view kPing = "ping";
    if (text.size() > kMark.size() && text.ends_with(kMark)) {
        text.remove_suffix(kMark.size());
    } else if (text.size() > kPing.size() + 4 && text.starts_with(kPing) &&
               (text.ends_with(".bat") || text.ends_with(".txt"))) {
        text = text.substr(kPing.size(), text.size() - kPing.size() - 4);
    } else {
        return std::nullopt;
    }
    if (!isDigits(text) || text.size() > 5) {
        return std::nullopt;
    }
    return std::stoul(std::string(text));
}

}  // namespace

StartUpOutcome loadSharedState(VtlVar& state, const Services& services, WindowGeometry& mainWindow,
                               bool localArgument, bool forService) {
    platform::FileSystem& files = services.platform.files;
    // The program's directory, unless the caller (a test, a portable start) chose one.
    if (state.DataDir.empty()) {
        state.DataDir = services.platform.system.executableDirectory();
    }
    const std::string programDirectory = state.DataDir;
    state.OtherGroupName = "Autres";
    state.Prefs.esu = "false";
    state.GroupList.clear();
    mainWindow.height = kMainWindowDesignHeight;

    StartUpOutcome outcome;
    // Each file on its own: one that cannot be read costs only its own list.
    const auto attempt = [&outcome](const auto& step) {
        try {
            step();
            return true;
        } catch (const FileError& error) {
            outcome.failures.emplace_back(error.what());
            return false;
        }
    };
    attempt([&] { state.MacList = loadOrCreate(files, "liste.mac", {}); });
    attempt([&] { state.IpList = loadOrCreate(files, "liste.ip", {}); });
    attempt([&] { state.PatchList = loadOrCreate(files, "liste.patch", {}); });
    attempt([&] { state.IpDiscoverList = loadOrCreate(files, "liste.ip.discover", {}); });
    // The logs are never written whole again: each incident is appended to its file.
    if (!attempt([&] { state.WolIncidents = loadOrCreate(files, kWolLogFile, {kWolLogHeader}); })) {
        state.WolIncidents = {kWolLogHeader};
    }
    if (!attempt([&] {
            state.ShutdownIncidents = loadOrCreate(files, kShutdownLogFile, {kShutdownLogHeader});
        })) {
        state.ShutdownIncidents = {kShutdownLogHeader};
    }

    outcome.preferencesUnread =
        !attempt([&] { LoadPreferences(state, files, mainWindow, !forService); });
    // The data directory goes into every power batch's "cd" line and the ping line.
    if (holdsBatchMetacharacter(state.Prefs.datapath)) {
        state.DataDir = programDirectory;
        services.console.appendLine(
            "datapath non utilisé (caractère réservé aux lignes de "
            "commande) : le dossier du programme sert de dossier de "
            "données : " +
            programDirectory);
    }
    files.removeInterruptedWrites(state.DataDir);
    noteAddressListsRead(state, files);
    ReadLocalAddresses(state, services.platform.network);
    setEffectiveWolTarget(state);
    // The argument wins over the file, and the file written at exit keeps it.
    if (localArgument) {
        state.Prefs.esu = "false";
    }
    return outcome;
}

std::string mainWindowCaption(const VtlVar& state) {
    return std::string(kMainWindowCaption) + " " + state.WolTargetIp + " - " + state.WolTargetMask;
}

std::optional<std::string> savePendingAddressesAtExit(VtlVar& state, platform::FileSystem& files) {
    try {
        if (!writePendingAddressLines(state, files, kAddressListPatienceAtExit)) {
            return unsavedAddressesMessage(state);
        }
    } catch (const FileError& error) {
        return error.what();
    }
    return std::nullopt;
}

std::vector<std::string> saveAtExit(VtlVar& state, platform::FileSystem& files,
                                    const WindowGeometry& mainWindow, const StartUpOutcome& start) {
    std::vector<std::string> failures;
    if (const auto failure = savePendingAddressesAtExit(state, files)) {
        failures.push_back(*failure);
    }
    if (!start.preferencesUnread) {
        try {
            SavePreferences(state, files, mainWindow);
        } catch (const FileError& error) {
            failures.emplace_back(error.what());
        }
    }
    return failures;
}

void cleanDriveCAtExit(platform::FileSystem& files, std::uint16_t firstJob, std::uint16_t lastJob) {
    constexpr std::string_view kDriveC = "c:\\";
    const auto entries = files.listDirectory(kDriveC);
    if (!entries) {
        return;
    }
    for (const platform::DirEntry& entry : *entries) {
        const std::optional<unsigned long> number = jobLeftoverNumber(entry.name);
        if (entry.directory || entry.hidden || entry.name.starts_with(".") || !number ||
            *number < firstJob || *number > lastJob) {
            continue;
        }
        // A job still running keeps its read-only marker; the next run reuses it.
        files.removeFile(std::string(kDriveC) + entry.name);
    }
}

}  // namespace vt
