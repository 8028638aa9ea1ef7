#pragma once

// The layout of the inventory exports that the status window and the machine sheet read: one
// record per line ended by CR LF, every field followed by ";", Windows-1252 on disk. A field
// is found by counting ";" from the start of the line, so a value must hold neither ";" nor a
// line break.

#include <span>
#include <string>
#include <string_view>

namespace vt::inventory {

// One export: which table is read, which of its columns in which order, and where it goes.
struct ExportTable {
    std::string_view toolName;  // names the tool in its messages
    std::string_view table;     // in the inventory database
    std::string_view fileName;  // in the working directory
    std::span<const std::string_view> columns;
};

// The inventory database every export reads.
inline constexpr std::string_view kInventoryDatabase = "ocsweb";

// The text with each line break (CR LF, CR or LF) turned into one blank.
std::string withoutLineBreaks(std::string_view text);

// A value as it may stand in a field: line breaks become blanks and ";" becomes ",", so the
// fields after it keep their positions and the record its line. Every other control character
// (NUL, tab, escape, DEL, ...) becomes a blank too: a database that anyone's inventory agent
// fills may hold them, and none belongs in the one-line texts that the windows show.
std::string exportField(std::string_view value);

// Appends one record, in UTF-8: every value as a field followed by ";", then CR LF.
void appendRecord(std::string& text, std::span<const std::string_view> values);

// The query that reads the table's columns in the export's order, records in the order of
// their identifiers. The names are the export's own, never the user's.
std::string selectStatement(const ExportTable& table);

}  // namespace vt::inventory
