#pragma once

// The whole run of an inventory export tool: "tool server login" reads one table of the
// inventory database and replaces the export file of the working directory at once. The
// password comes from the variable VANTOREL_OCS_PASSWORD, where the main program puts it, as
// every local user can read a command line; the older form "tool server login password"
// still works. Whatever goes wrong, the previous export stays as it was, one French line on
// the error stream says why (never with the password), and the exit code is 1.

#include <ostream>
#include <span>
#include <string>
#include <string_view>

#include "platform/platform.h"
#include "tools/inventory/export_layout.h"

namespace vt::inventory {

inline constexpr const char* kPasswordVariable = "VANTOREL_OCS_PASSWORD";

// The arguments that follow the program's name, as text. With two, the password is
// `environmentPassword` (empty when the variable is unset). A password given on the command
// line comes last and unquoted, so one holding blanks arrives as several arguments: they are
// joined again with one blank each.
int runInventoryExport(const ExportTable& table, std::span<const std::string> arguments,
                       std::string_view environmentPassword, platform::FileSystem& files,
                       std::ostream& errors);

// main() of a tool: decodes the arguments, sets up the platform and runs the export.
int inventoryToolMain(const ExportTable& table, int argc, char** argv);

}  // namespace vt::inventory
