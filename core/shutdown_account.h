#pragma once

// "Compte pour l'arrêt à distance": the account of the preferences that the shutdown tool
// uses, kept only in the authentication file the tool reads (platform/shutdown_credentials.h),
// never in "vtl.ini". The file is Samba's: UTF-8 "key=value" lines ended by LF, which is how
// net reads it (a CR would end up in the password), readable by its owner only.

#include <optional>
#include <string>

#include "core/VtlVar.h"
#include "platform/platform.h"
#include "platform/shutdown_credentials.h"

namespace vt {

struct ShutdownAccount {
    std::string domain;
    std::string user;
    std::string password;
};

// The file's account; nothing when the file cannot be read. Keys are read without regard to
// case or the blanks around them, and a value without its leading blanks, as net reads them.
std::optional<ShutdownAccount> readShutdownAccount(const platform::FileSystem& files,
                                                   std::string_view path);

std::string shutdownAccountFileText(const ShutdownAccount& account);

// OK in the dialog: the account typed, the saved password where none was typed (it is never
// shown again). Domain and user without the blanks around them.
ShutdownAccount accountToSave(const ShutdownAccount& typed,
                              const std::optional<ShutdownAccount>& saved);

// Why the account cannot be written (French); empty when it can. A user and a password are
// needed; no field may hold a control character, which would cut the file's line, and the
// password may not begin with a blank, which net drops.
std::string shutdownAccountRefusal(const ShutdownAccount& account);

// Writes the file readable by its owner only; FileError when it cannot.
void saveShutdownAccount(platform::FileSystem& files, const std::string& path,
                         const ShutdownAccount& account);

// The machine the dialog's trial is made on: the first of the current group (or of the first
// group when none is current) that a command may name and that is not marked never to be shut
// down. Nothing when there is none; a file that cannot be read counts as empty.
std::optional<std::string> trialMachine(const VtlVar& state, const platform::FileSystem& files);

// What the dialog says of a trial, from the shutdown tool's exit code and output: its result
// for the machine ("SALLE1-03 : accès refusé") with what it means for the account.
std::string trialAnswer(const std::string& machine, int exitCode, std::string_view output);

// The console line of a shutdown that finds no usable account; empty when it finds one.
std::string missingShutdownAccountAdvice(const platform::ShutdownCredentials& credentials);

}  // namespace vt
