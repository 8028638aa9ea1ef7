#pragma once

// The lines of a multi-line text box, as the files that it shows and edits hold them.

#include <QString>

#include <string>
#include <vector>

namespace vt {

// One entry per line; a final line break ends the last line and starts no line of its own.
std::vector<std::string> plainTextLines(const QString& text);
QString plainTextOf(const std::vector<std::string>& lines);

}  // namespace vt
