#pragma once

// What the main window's creation and destruction do with the shared state and the files.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/VtlVar.h"
#include "core/preferences.h"
#include "core/services.h"

namespace vt {

inline constexpr const char* kMainWindowCaption =
    "Vantorel  - Gestion des alimentations en énergie du parc informatique";

// What the start could not read. Those files keep what they hold: the exit does not write
// the empty lists that stand in for them over them.
struct StartUpOutcome {
    std::vector<std::string> failures;  // the file-error messages, in the order met
    bool preferencesUnread = false;
};

// Fills the shared state as the main window's creation does: data directory, lists (created
// when missing), incident logs, preferences, local addresses, the Wake-on-LAN target and the
// "local" argument. DataDir is the program's directory unless the caller has already set it.
// The lists and logs are opened by bare name: the working directory must be the data directory.
// A file that cannot be read or created leaves its list empty and the start goes on. A
// "datapath" holding characters that would change a batch line is not used (console line).
// What interrupted writes left in the data directory is removed.
// The service passes `forService`: it creates no "vtl.ini", which belongs to the program.
StartUpOutcome loadSharedState(VtlVar& state, const Services& services, WindowGeometry& mainWindow,
                               bool localArgument, bool forService = false);

// The main window's caption with the Wake-on-LAN target appended.
std::string mainWindowCaption(const VtlVar& state);

// Writes the address lines still waiting for the cache tool's lock, waiting a few seconds for
// it; the message when some could not be written.
std::optional<std::string> savePendingAddressesAtExit(VtlVar& state, platform::FileSystem& files);

// Writes the address lines still waiting (as above), then saves the preferences, unless the start
// could not read them; the result holds the message of every file that could not be written. The
// incident logs are not written: each incident reached its file when it was found, and another
// process may have added more.
std::vector<std::string> saveAtExit(VtlVar& state, platform::FileSystem& files,
                                    const WindowGeometry& mainWindow,
                                    const StartUpOutcome& start = {});

// Removes from "c:\" the markers and leftover ping-job files of the background jobs numbered
// firstJob to lastJob (the numbers of this process: another may still read its own);
// read-only (still running) and hidden files stay.
void cleanDriveCAtExit(platform::FileSystem& files, std::uint16_t firstJob = 0,
                       std::uint16_t lastJob = 0xFFFF);

}  // namespace vt
