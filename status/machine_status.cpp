#include "status/machine_status.h"

#include "core/strings.h"
#include "core/utils.h"

namespace vt::status {

namespace {

std::optional<std::size_t> firstRowNamed(const std::vector<std::string>& rows,
                                         std::string_view name) {
    for (std::size_t row = 0; row < rows.size(); ++row) {
        if (equalsNoCase(StripMark(rows[row]), name)) {
            return row;
        }
    }
    return std::nullopt;
}

}  // namespace

int rowTop(std::size_t row) {
    return static_cast<int>(row) * kRowPitch + kFirstRowTop;
}

int statusWindowHeight(std::size_t rows) {
    return static_cast<int>(rows) * kRowPitch + kWindowExtraHeight;
}

std::vector<std::string> machineRows(const std::vector<std::string>& groupLines) {
    std::vector<std::string> rows;
    for (const std::string& line : groupLines) {
        if (!trim(line).empty()) {
            rows.push_back(line);
        }
    }
    return rows;
}

std::optional<PingAnswer> readPingAnswer(discovery::JobPoll& job, Console& console) {
    if (job.stillRunning()) {
        return std::nullopt;
    }
    const std::string n = job.numberText();
    const std::optional<std::vector<std::string>> result = job.takeOutput();
    if (!result) {
        console.appendLine("======>vt_echo.exe a échoué sur " + n + " <======");
        job.finish();
        return std::nullopt;
    }
    if (result->empty()) {
        console.appendLine("Ne peut pas pinger " + n);
        return std::nullopt;
    }
    const SplitResult line = splitAtFirst(result->front(), "=");
    PingAnswer answer{line.before, line.found && line.after == "1"};
    console.appendLine(answer.name +
                       (answer.answered ? " répond au ping" : " ne répond pas au ping"));
    return answer;
}

std::optional<std::size_t> rowOfPingAnswer(const std::vector<std::string>& rows,
                                           std::string_view name) {
    const std::string plain = trim(name);
    if (plain.empty()) {
        return std::nullopt;
    }
    if (const auto row = firstRowNamed(rows, plain)) {
        return row;
    }
    const std::size_t dot = plain.find('.');
    if (dot == std::string::npos || dot == 0) {
        return std::nullopt;
    }
    return firstRowNamed(rows, std::string_view(plain).substr(0, dot));
}

}  // namespace vt::status
