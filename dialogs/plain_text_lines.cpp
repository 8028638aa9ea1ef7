#include "dialogs/plain_text_lines.h"

#include <QStringList>

namespace vt {

std::vector<std::string> plainTextLines(const QString& text) {
    std::vector<std::string> lines;
    for (const QString& line : text.split('\n')) {
        lines.push_back(line.toStdString());
    }
    if (!lines.empty() && lines.back().empty()) {
        lines.pop_back();
    }
    return lines;
}

QString plainTextOf(const std::vector<std::string>& lines) {
    QStringList text;
    for (const std::string& line : lines) {
        text.append(QString::fromStdString(line));
    }
    return text.join('\n');
}

}  // namespace vt
