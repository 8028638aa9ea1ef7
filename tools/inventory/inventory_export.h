#pragma once

// The whole run of an inventory export tool: "tool server login password" reads one table of
// the inventory database and replaces the export file of the working directory at once.
// Whatever goes wrong, the previous export stays as it was, one French line on the error
// stream says why (never with the password), and the exit code is 1.

#include <ostream>
#include <span>
#include <string>

#include "platform/platform.h"
#include "tools/inventory/export_layout.h"

namespace vt::inventory {

// The arguments that follow the program's name, as text. The main program puts the password
// last and unquoted, so a password holding blanks arrives as several arguments: they are
// joined again with one blank each.
int runInventoryExport(const ExportTable& table, std::span<const std::string> arguments,
                       platform::FileSystem& files, std::ostream& errors);

// main() of a tool: decodes the arguments, sets up the platform and runs the export.
int inventoryToolMain(const ExportTable& table, int argc, char** argv);

}  // namespace vt::inventory
