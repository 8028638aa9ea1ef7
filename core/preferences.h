#pragma once

#include <string>
#include <vector>

#include "core/VtlVar.h"
#include "platform/platform.h"

namespace vt {

// The main window's place on the screen, which "vtl.ini" keeps as "left", "top", "height".
struct WindowGeometry {
    int left = 195;
    int top = 71;
    int width = 685;
    int height = 698;
};

inline constexpr const char* kPreferencesFile = "vtl.ini";

// Reads "vtl.ini" (bare name) into the preferences and applies the window keys to the main
// window's geometry; or creates an empty DataDir + "vtl.ini" when there is none, unless told
// not to (the service, which leaves that file to the program).
void LoadPreferences(VtlVar& state, platform::FileSystem& files, WindowGeometry& mainWindow,
                     bool createWhenMissing = true);

// The lines of "vtl.ini" in their fixed order.
std::vector<std::string> preferencesFileLines(const VtlVar& state,
                                              const WindowGeometry& mainWindow);

// Writes DataDir + "vtl.ini", readable by its owner only (it keeps the inventory password);
// FileError when it cannot.
void SavePreferences(const VtlVar& state, platform::FileSystem& files,
                     const WindowGeometry& mainWindow);

// Refills LocalAddresses and LocalMasks from the local interfaces.
void ReadLocalAddresses(VtlVar& state, const platform::Network& network);

// WolTargetIp and WolTargetMask: the preferences when set, else the first local interface.
void setEffectiveWolTarget(VtlVar& state);

}  // namespace vt
