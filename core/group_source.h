#pragma once

// Where the machine groups come from: the domain controller's ESU group list, the local list
// "localGM", or both. What the group source dialog shows when it opens and what its OK does.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/VtlVar.h"
#include "core/preferences.h"
#include "platform/platform.h"

namespace vt {

// Names the domain controller that opened the user's session, as "\\SERVER".
inline constexpr const char* kLogonServerVariable = "LOGONSERVER";

// At each opening: an empty "pdc" takes the controller of the session (empty when the
// variable is not set); the value is kept even when the dialog is then cancelled.
void takeLogonServer(VtlVar& state, const platform::System& system);

// The controller's address as typed, made a UNC server name: fewer than 3 characters (the
// field's initial "\\" among them) give the empty text; otherwise the missing backslashes are
// put in front, so SERVEUR and \SERVEUR both become \\SERVEUR. Blanks around it are dropped.
std::string controllerAddress(std::string_view typed);

// A line of the list that got no group file, and why (French).
struct SkippedGroupLine {
    std::size_t lineNumber = 0;  // counted from 1, as the user sees the list
    std::string text;
    std::string reason;
};

// OK, in this order: "pdc" from the typed address, "esu" "true" or "false", "vtl.ini" written
// at once, the list written to DataDir + "localGM" (one name a line, blanks around the names
// and blank lines left out), then an empty file DataDir + name for every listed group that
// has none. A group whose file exists keeps it and its machines. A line that is no usable
// group name (the names LoadGroups refuses) gets no file and is returned; it stays in
// "localGM", where the user finds it again to correct it. FileError when "vtl.ini" or
// "localGM" cannot be written.
std::vector<SkippedGroupLine> confirmGroupSource(VtlVar& state, platform::FileSystem& files,
                                                 const WindowGeometry& mainWindow,
                                                 std::string_view typedController, bool useEsu,
                                                 const std::vector<std::string>& listLines);

// The dialog's message about the lines that got no file; empty when there are none.
std::string skippedGroupLinesMessage(const std::vector<SkippedGroupLine>& skipped);

}  // namespace vt
