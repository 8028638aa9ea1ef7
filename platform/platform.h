#pragma once

// The small layer that stands in for the Windows platform interfaces. The system writes
// paths and command lines the Windows way ("c:\5.mark", "\\PDC\netlogon\...", a quoted
// ".exe" program); each implementation makes those texts work on its own system.

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/date_time.h"

namespace vt::platform {

struct DirEntry {
    std::string name;
    bool directory = false;
    bool readOnly = false;
    bool hidden = false;
};

// What an exclusive creation found.
enum class NewFileOutcome {
    Created,
    AlreadyExists,  // an entry of that name was there: it is left as it was
    Failed,         // no directory, no right, not a name a file can have
};

// Files, with Windows semantics: names found without regard to case, a read-only file can
// be neither deleted nor overwritten, whole-file writes are atomic.
class FileSystem {
public:
    virtual ~FileSystem() = default;

    // The native path that a system path names (drive letter, UNC or plain path); an existing
    // entry whose name differs only in case is used when the exact name does not exist.
    virtual std::string nativePath(std::string_view path) const = 0;

    virtual bool exists(std::string_view path) const = 0;
    virtual bool isDirectory(std::string_view path) const = 0;
    // The file's bytes; nothing when it cannot be opened (missing, a directory, no right).
    virtual std::optional<std::string> readFile(std::string_view path) const = 0;
    // Replaces the whole file at once (written beside it, then renamed over it). Fails on a
    // read-only file, as on Windows. The directory must exist.
    virtual bool writeFile(std::string_view path, std::string_view bytes) = 0;
    // The same without waiting for the bytes to reach the disk, for a cache that can be
    // learned again: a reader still sees the old file or the new one, but after a crash of
    // the machine the last write may be missing.
    virtual bool writeCacheFile(std::string_view path, std::string_view bytes) = 0;
    // The same as writeFile for a file that holds a secret: only its owner may read it, from the
    // first byte written on, even when the file it replaces was open to others.
    virtual bool writePrivateFile(std::string_view path, std::string_view bytes) = 0;
    // Adds the bytes at the end of the file (created when missing) in one write made under an
    // exclusive lock of the file, so that appends from several processes never interleave
    // and a reader never sees half of one. Fails on a read-only file, as on Windows.
    virtual bool appendFile(std::string_view path, std::string_view bytes) = 0;
    // Fails when the file is missing or read-only (even for root), as on Windows.
    virtual bool removeFile(std::string_view path) = 0;
    virtual bool setReadOnly(std::string_view path, bool readOnly) = 0;
    // Nothing when the attributes cannot be read (the file does not exist).
    virtual std::optional<bool> isReadOnly(std::string_view path) const = 0;
    virtual std::optional<std::vector<DirEntry>> listDirectory(std::string_view path) const = 0;
    virtual std::optional<std::chrono::system_clock::time_point> lastWriteTime(
        std::string_view path) const = 0;
    // Creates the directory and its missing parents.
    virtual bool createDirectories(std::string_view path) = 0;
    // Removes what whole-file writes that were cut short (a crash, a kill) left beside their
    // targets in the directory, when it is older than a minute; the number removed.
    virtual int removeInterruptedWrites(std::string_view directory) = 0;

    // Creates the file, empty, only when no entry of that name exists: of several callers at
    // the same instant exactly one gets Created. The directory must exist.
    virtual NewFileOutcome createNewFile(std::string_view path) = 0;
    // Removes the file only when it was last written at least `age` ago. The test and the
    // removal are one step for every caller of this method: of two callers that find the same
    // old file one only removes it, and neither removes a newer file put in its place. Fails
    // on a read-only file, as removeFile does.
    virtual bool removeIfOlderThan(std::string_view path,
                                   std::chrono::system_clock::duration age) = 0;
    // Sets the file's last-write time to now without changing its bytes; false when the file
    // does not exist.
    virtual bool touchFile(std::string_view path) = 0;
};

// Outcome of a program run that is waited for.
struct RunOutcome {
    bool started = false;
    bool finished = false;  // false: the time limit passed and the process was ended
    int exitCode = -1;
};

// Variables (name, value) given to one started program on top of the inherited ones.
using EnvironmentEntries = std::vector<std::pair<std::string, std::string>>;

// Starting outside programs from a Windows command line.
class Processes {
public:
    virtual ~Processes() = default;

    // Starts the command line detached and hidden and returns at once; never waits, leaves no
    // zombie. A ".bat" program runs under the command interpreter; "cmd.exe /c ..." and
    // "command.com /c ..." run their rest under it. False when nothing could be started.
    virtual bool startHidden(std::string_view commandLine) = 0;
    // The same, the variables set in that program's environment only: how a secret reaches
    // a program without showing in the process list, as its command line would.
    virtual bool startHidden(std::string_view commandLine,
                             const EnvironmentEntries& extraEnvironment) = 0;

    // Starts the command line hidden in the given directory and waits for its end, at most
    // the time limit, after which the process is ended.
    virtual RunOutcome runHidden(std::string_view commandLine, std::string_view workingDirectory,
                                 std::chrono::milliseconds timeLimit) = 0;

    // Starts a program in a visible window with one document argument, without waiting; false
    // when the program cannot be found or started.
    virtual bool openDocument(std::string_view program, std::string_view documentPath) = 0;
};

struct Ipv4Interface {
    std::string address;  // dotted form
    std::string mask;     // dotted form
};

class Network {
public:
    virtual ~Network() = default;

    // Local IPv4 interfaces in the order the system gives them, loopback last.
    virtual std::vector<Ipv4Interface> localInterfaces() const = 0;
    // IPv4 address of a host name or dotted address, in network byte order; nothing when the
    // lookup fails.
    virtual std::optional<std::uint32_t> resolveIpv4(std::string_view host) const = 0;
};

class System {
public:
    virtual ~System() = default;

    // Value of an environment variable; nothing when it is not set.
    virtual std::optional<std::string> environment(std::string_view name) const = 0;
    // The directory of the running program, native form, ending with the separator.
    virtual std::string executableDirectory() const = 0;
    virtual bool setWorkingDirectory(std::string_view path) = 0;
    virtual LocalDateTime now() const = 0;
    // The short date and long time formats of the system ("06/12/2026", "07:35:20").
    virtual std::string shortDate(const LocalDateTime& when) const = 0;
    virtual std::string longTime(const LocalDateTime& when) const = 0;
};

// The four concerns, as handed to the rest of the system.
struct Platform {
    FileSystem& files;
    Processes& processes;
    Network& network;
    System& system;
};

}  // namespace vt::platform
