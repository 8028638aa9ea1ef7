#pragma once

// The address lists "liste.mac" and "liste.ip" are shared with the cache tool, which rewrites
// them from its own process. MacList and IpList are the program's copies: a copy is read again
// whenever its file changed on disk since it was taken, and every line the program learns goes
// into the file as a read-modify-write of the file as it is now, under the sweep lock that the
// cache tool holds for its whole run. So neither side writes a list that drops the other's
// lines. While the tool holds the lock, learned lines stay pending in the copy (lookups find
// them) and are written at the next occasion: the next line learned, the scheduler's minute,
// the program's exit.

#include <chrono>
#include <string>
#include <vector>

#include "core/VtlVar.h"
#include "core/services.h"
#include "platform/platform.h"

namespace vt {

enum class AddressList { Mac, Ip };

// "liste.mac" or "liste.ip".
const char* addressListFileName(AddressList list);

// The copies were just read from their files (at start, by the passive method): records the
// files' time stamps, and puts back the lines still pending.
void noteAddressListsRead(VtlVar& state, const platform::FileSystem& files);

// Reads each list again when its file changed since the copy was taken; the lines still
// pending stay in the copy. A file that cannot be read leaves the copy as it is.
void refreshAddressLists(VtlVar& state, const platform::FileSystem& files);

// Appends the lines to the copy and writes the pending lines into the file. A line whose
// machine the file already names is not written again (its first line keeps answering).
// False when the cache tool holds the lock: the lines stay pending, and the console says so.
// FileError when the lock or the file cannot be written.
bool addAddressLines(VtlVar& state, platform::FileSystem& files, Console& console, AddressList list,
                     const std::vector<std::string>& lines);

// Writes the pending lines of both lists, waiting at most `patience` for the lock; true when
// nothing is left pending. FileError as addAddressLines.
bool writePendingAddressLines(VtlVar& state, platform::FileSystem& files,
                              std::chrono::milliseconds patience = std::chrono::milliseconds{0});

// The lines still waiting for the lock, both lists.
std::vector<std::string> pendingAddressLines(const VtlVar& state);

}  // namespace vt
