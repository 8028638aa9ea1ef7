#include "core/utils.h"

#include <optional>
#include <unordered_set>

#include "core/file_error.h"
#include "core/strings.h"
#include "core/text_file.h"

namespace vt {

namespace {

inline constexpr const char* kOtherGroupFile = "Autres";

// A found element: the text between its opening and closing tag, and where the search goes on.
struct Element {
    std::string_view body;
    std::size_t next = 0;
};

// The first opening and the first closing tag from `from`, each found on its own: a closing
// tag before the opening one gives an empty body. Nothing when either tag is missing.
std::optional<Element> findElement(std::string_view text, std::size_t from, std::string_view open,
                                   std::string_view close) {
    const std::size_t start = text.find(open, from);
    const std::size_t end = text.find(close, from);
    if (start == std::string_view::npos || end == std::string_view::npos) {
        return std::nullopt;
    }
    const std::size_t bodyStart = start + open.size();
    Element element;
    element.next = end + close.size();
    if (bodyStart <= end) {
        element.body = text.substr(bodyStart, end - bodyStart);
    }
    return element;
}

// Skips a name that cannot be a group, saying why; true when the name is usable.
bool acceptGroupName(Console& console, std::string_view name) {
    const std::string refusal = groupNameRefusal(name);
    if (!refusal.empty()) {
        console.appendLine("nom de groupe ignoré : \"" + shownName(name) + "\" (" + refusal + ")");
    }
    return refusal.empty();
}

// Adds the machines named by one ESU group element to the group's file; the import only
// adds, so machines already listed stay as they are.
void importEsuGroup(const std::string& name, std::string_view machines, platform::FileSystem& files,
                    Console& console) {
    const std::optional<std::vector<std::string>> existing = readTextLines(files, name);
    std::vector<std::string> list = existing.value_or(std::vector<std::string>());
    std::unordered_set<std::string> present;
    for (const std::string& line : list) {
        present.insert(toUpperAscii(line));
    }
    std::size_t from = 0;
    while (const auto machine = findElement(machines, from, "<Machine>", "</Machine>")) {
        from = machine->next;
        const std::string text = trim(machine->body);
        // A line break inside a name would split it into two lines of the file.
        if (text.empty() || text.back() == '*' || holdsControlCharacter(text)) {
            continue;
        }
        if (characterCount(text) > kNameLimit) {
            console.appendLine("nom de machine ignoré (plus de 255 caractères) : " +
                               shownName(text));
            continue;
        }
        std::string upper = toUpperAscii(text);
        if (present.insert(upper).second) {
            list.push_back(std::move(upper));
        }
    }
    // The import only adds: a file it adds nothing to stays as it is, unwritten.
    if (!existing || list.size() != existing->size()) {
        saveTextLines(files, name, list);
    }
}

void importEsuGroups(VtlVar& state, platform::FileSystem& files, Console& console) {
    const std::string& pdc = state.Prefs.pdc;
    state.EsuBaseDir = pdc + "\\esu\\Base";
    if (!files.exists(state.EsuBaseDir + "\\" + kEsuGroupFile)) {
        state.EsuBaseDir = pdc + "\\netlogon\\esu4";
        if (!files.exists(state.EsuBaseDir + "\\" + kEsuGroupFile)) {
            return;
        }
    }
    const std::string text =
        fromWindows1252(ReadWholeFile(files, state.EsuBaseDir + "\\" + kEsuGroupFile));

    std::size_t from = 0;
    while (const auto group = findElement(text, from, "<GM ", "</GM>")) {
        from = group->next;
        // The group's name is the element's first attribute value.
        const std::size_t firstQuote = group->body.find('"');
        if (firstQuote == std::string_view::npos) {
            continue;
        }
        const std::string_view afterQuote = group->body.substr(firstQuote + 1);
        const std::size_t secondQuote = afterQuote.find('"');
        if (secondQuote == std::string_view::npos) {
            continue;
        }
        const std::string name(afterQuote.substr(0, secondQuote));
        if (!acceptGroupName(console, name)) {
            continue;
        }
        state.GroupList.push_back(name);
        try {
            importEsuGroup(name, afterQuote, files, console);
        } catch (const FileError& error) {
            // The group keeps its row and its file as it was; the other groups still load.
            console.appendLine(error.what());
        }
    }
}

// The value of the first line whose machine name (the text before its first blank) is the
// name, without regard to case. A line without a blank names no machine.
std::optional<std::string> lookupByName(const std::vector<std::string>& list,
                                        std::string_view name) {
    for (const std::string& line : list) {
        const std::size_t blank = line.find(' ');
        if (blank != std::string::npos &&
            equalsNoCase(std::string_view(line).substr(0, blank), name)) {
            return atMost255(std::string_view(line).substr(blank + 1));
        }
    }
    return std::nullopt;
}

}  // namespace

std::vector<std::string> LoadGroupMachines(const platform::FileSystem& files,
                                           std::string_view group) {
    if (!isUsableGroupName(group)) {
        throw FileError::cannotOpen(shownName(group));
    }
    return loadTextLines(files, group);
}

void LoadGroups(VtlVar& state, platform::FileSystem& files, Console& console) {
    state.GroupList.clear();
    if (state.Prefs.esu == "true") {
        importEsuGroups(state, files, console);
    }
    if (const auto local = readTextLines(files, state.DataDir + kLocalGroupsFile)) {
        for (const std::string& name : *local) {
            if (acceptGroupName(console, name)) {
                state.GroupList.push_back(name);
            }
        }
    }
    state.GroupList.push_back(state.OtherGroupName);
    const std::string otherFile = state.DataDir + kOtherGroupFile;
    if (!files.exists(otherFile)) {
        saveTextLines(files, otherFile, {});
    }
}

std::string ReadWholeFile(const platform::FileSystem& files, std::string_view path) {
    return files.readFile(path).value_or(std::string());
}

std::string MacLookup(const VtlVar& state, std::string_view name) {
    return lookupByName(state.MacList, name).value_or(std::string());
}

std::string IpLookup(const VtlVar& state, std::string_view name) {
    return lookupByName(state.IpList, name).value_or(state.WolTargetIp);
}

GroupLineAddresses::GroupLineAddresses(const VtlVar& state)
    : m_state(state), m_macs(state.MacList), m_ips(state.IpList) {
}

std::string GroupLineAddresses::mac(std::string_view line) const {
    return m_macs.findLine(line).value_or(std::string());
}

std::string GroupLineAddresses::ip(std::string_view line) const {
    return m_ips.findLine(line).value_or(m_state.WolTargetIp);
}

std::string GroupOfMachine(const VtlVar& state, const platform::FileSystem& files,
                           std::string_view line) {
    for (const std::string& group : state.GroupList) {
        for (const std::string& entry : loadTextLinesOrEmpty(files, group)) {
            if (equalsNoCase(entry, line)) {
                return group;
            }
        }
    }
    return std::string();
}

std::string StripMark(std::string_view line) {
    std::string name = trim(line);
    if (name.size() > 1 && name.back() == '*') {
        name.pop_back();
    }
    return name;
}

void MarkExclusions(const VtlVar& state, platform::FileSystem& files) {
    std::unordered_set<std::string> excluded;
    for (const std::string& name : loadTextLinesOrEmpty(files, state.DataDir + kExclusionFile)) {
        excluded.insert(toUpperAscii(name));
    }
    if (excluded.empty()) {
        return;
    }
    for (const std::string& group : state.GroupList) {
        if (group == kOtherGroupFile || !isUsableGroupName(group)) {
            continue;
        }
        const std::string path = state.DataDir + group;
        std::optional<std::vector<std::string>> lines = readTextLines(files, path);
        if (!lines) {
            continue;
        }
        bool changed = false;
        for (std::string& line : *lines) {
            // A marked line no longer equals its name, so a second run adds no second mark.
            if (excluded.count(toUpperAscii(line)) != 0) {
                line += '*';
                changed = true;
            }
        }
        if (changed) {
            saveTextLines(files, path, *lines);
        }
    }
}

void AddToExclusionList(const VtlVar& state, platform::FileSystem& files, std::string_view name) {
    if (!files.exists(kExclusionFile)) {
        saveTextLines(files, kExclusionFile, {});
    }
    SortedNoCaseList list(loadTextLines(files, kExclusionFile));
    // An empty name would mark every empty line of the group files.
    if (!trim(name).empty()) {
        list.add(name);
    }
    saveTextLines(files, kExclusionFile, list.lines());
    MarkExclusions(state, files);
}

int groupIndexOf(const VtlVar& state, std::string_view name) {
    for (std::size_t i = 0; i < state.GroupList.size(); ++i) {
        if (equalsNoCase(state.GroupList[i], name)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

}  // namespace vt
