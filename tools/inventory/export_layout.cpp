#include "tools/inventory/export_layout.h"

namespace vt::inventory {

std::string withoutLineBreaks(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            out += ' ';
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
        } else {
            out += c;
        }
    }
    return out;
}

std::string exportField(std::string_view value) {
    std::string field = withoutLineBreaks(value);
    for (char& c : field) {
        if (c == ';') {
            c = ',';
        } else if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            c = ' ';
        }
    }
    return field;
}

void appendRecord(std::string& text, std::span<const std::string_view> values) {
    for (const std::string_view value : values) {
        text += exportField(value);
        text += ';';
    }
    text += "\r\n";
}

std::string selectStatement(const ExportTable& table) {
    std::string statement = "SELECT ";
    for (std::size_t i = 0; i < table.columns.size(); ++i) {
        statement += i == 0 ? "`" : ", `";
        statement += table.columns[i];
        statement += '`';
    }
    statement += " FROM `";
    statement += table.table;
    statement += "` ORDER BY `ID`";
    return statement;
}

}  // namespace vt::inventory
