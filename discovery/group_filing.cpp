#include "discovery/group_filing.h"

#include <algorithm>
#include <iterator>
#include <optional>

#include "core/file_error.h"
#include "core/names.h"
#include "core/text_file.h"
#include "core/utils.h"
#include "platform/ascii_text.h"
#include "platform/machine_names.h"

namespace vt::discovery {

namespace {

// Groups of one or two characters would take in half the network.
constexpr std::size_t kShortestMatchingGroup = 3;

bool writesToConsole(DiscoveryMethod method) {
    return method == DiscoveryMethod::NetView || method == DiscoveryMethod::Ipr;
}

}  // namespace

GroupFiling::GroupFiling(const VtlVar& state, const Services& services, DiscoveryMethod method)
    : m_state(state), m_services(services), m_method(method) {
    const std::vector<std::string>& groups = m_state.GroupList;
    m_groups.reserve(groups.size());
    for (const std::string& group : groups) {
        m_groups.push_back(Group{toUpperAscii(group), isUsableGroupName(group), nullptr});
    }
    for (std::size_t i = 0; i < groups.size(); ++i) {
        if (characterCount(groups[i]) >= kShortestMatchingGroup) {
            m_groupsByName[m_groups[i].upper].push_back(i);
            m_groupLengths.insert(m_groups[i].upper.size());
        }
    }
}

std::vector<std::size_t> GroupFiling::groupsBeginning(std::string_view upper) const {
    std::vector<std::size_t> found;
    for (const std::size_t length : m_groupLengths) {
        if (length > upper.size()) {
            break;
        }
        const auto named = m_groupsByName.find(upper.substr(0, length));
        if (named != m_groupsByName.end()) {
            found.insert(found.end(), named->second.begin(), named->second.end());
        }
    }
    std::sort(found.begin(), found.end());
    return found;
}

void GroupFiling::message(const std::string& text) const {
    if (writesToConsole(m_method)) {
        m_services.console.appendLine(text);
    } else {
        m_services.status.setStatus(text);
    }
}

GroupFiling::Buffer& GroupFiling::buffer(const std::string& group) {
    const auto [it, added] = m_buffers.try_emplace(toUpperAscii(group));
    Buffer& found = it->second;
    if (!added) {
        return found;
    }
    found.path = m_state.DataDir + group;
    platform::FileSystem& files = m_services.platform.files;
    found.exists = files.exists(found.path);
    if (found.exists) {
        std::optional<std::string> bytes = files.readFile(found.path);
        if (!bytes) {
            m_buffers.erase(it);
            throw FileError::cannotOpen(m_state.DataDir + group);
        }
        found.lines = SortedNoCaseList(splitLines(fromWindows1252(*bytes))).lines();
        for (const std::string& line : found.lines) {
            found.present.insert(toUpperAscii(line));
        }
        found.readBytes = std::move(*bytes);
    }
    return found;
}

bool GroupFiling::holds(const Buffer& target, const std::string& upper) {
    return target.present.contains(upper);
}

void GroupFiling::addTo(Buffer& target, const std::string& name, bool isGroup) {
    target.touched = true;
    target.exists = true;
    bool present = false;
    switch (m_method) {
        case DiscoveryMethod::Csv:
        case DiscoveryMethod::Passive:
            present = holds(target, name);
            break;
        case DiscoveryMethod::NetView:
            present = holds(target, StripMark(name));
            break;
        case DiscoveryMethod::Ipr:
            // A machine the group lists as never to be shut down keeps its one, marked line.
            present = holds(target, name) || (isGroup && holds(target, name + "*"));
            break;
    }
    if (!present) {
        target.present.insert(name);
        target.added.push_back(name);
    }
}

bool GroupFiling::takeIn(std::string_view name) {
    if (platform::trimView(name).empty()) {
        ++m_emptyNames;
        return false;
    }
    if (!platform::isUsableMachineName(name)) {
        ++m_refusedNames;
        return false;
    }
    return true;
}

void GroupFiling::AssignToGroups(std::string_view discovered) {
    if (!takeIn(discovered)) {
        return;
    }

    // The name is shown as discovered until a group file takes it, in upper case.
    std::string name(discovered);
    const std::string upper = toUpperAscii(name);
    bool matched = false;
    for (const std::size_t index : groupsBeginning(upper)) {
        const std::string& group = m_state.GroupList[index];
        message(name + " correspond au groupe de machines " + group);
        matched = true;
        if (writesToConsole(m_method)) {
            m_services.console.appendLine("correspondance trouvée pour " + name + "\r\n" +
                                          m_state.DataDir + group + " sera mis à jour");
        }
        if (!m_groups[index].usable) {
            continue;
        }
        if (m_groups[index].buffer == nullptr) {
            m_groups[index].buffer = &buffer(group);
        }
        Buffer& target = *m_groups[index].buffer;
        if (m_method == DiscoveryMethod::NetView && !target.exists) {
            continue;
        }
        name = upper;
        addTo(target, upper, true);
    }
    if (!matched) {
        message(name + " ne correspond à aucun groupe de machines ");
        addTo(buffer(m_state.OtherGroupName), upper, false);
    }
}

void GroupFiling::save() {
    std::optional<FileError> firstFailure;
    for (auto& [key, target] : m_buffers) {
        if (!target.touched) {
            continue;
        }
        if (!target.added.empty()) {
            // Names are filed in upper case: their plain order is the order without regard
            // to case.
            std::sort(target.added.begin(), target.added.end());
            const auto before = [](const std::string& a, const std::string& b) {
                return compareNoCase(a, b) < 0;
            };
            std::vector<std::string> merged;
            merged.reserve(target.lines.size() + target.added.size());
            std::merge(std::make_move_iterator(target.lines.begin()),
                       std::make_move_iterator(target.lines.end()),
                       std::make_move_iterator(target.added.begin()),
                       std::make_move_iterator(target.added.end()), std::back_inserter(merged),
                       before);
            target.lines = std::move(merged);
            target.added.clear();
        }
        std::string bytes = toWindows1252(joinLines(target.lines));
        if (target.readBytes == bytes && m_services.platform.files.exists(target.path)) {
            continue;
        }
        if (m_services.platform.files.writeFile(target.path, bytes)) {
            target.readBytes = std::move(bytes);
        } else if (!firstFailure) {
            firstFailure = FileError::cannotCreate(target.path);
        }
    }
    if (firstFailure) {
        throw *firstFailure;
    }
}

void GroupFiling::reportSkippedNames(std::string_view source) const {
    if (m_emptyNames != 0) {
        m_services.console.appendLine(std::string(source) + " : " + std::to_string(m_emptyNames) +
                                      " ligne(s) sans nom de machine ignorée(s)");
    }
    if (m_refusedNames != 0) {
        m_services.console.appendLine(
            std::string(source) + " : " + std::to_string(m_refusedNames) +
            " nom(s) de machine refusé(s) (blanc, caractère de contrôle ou réservé, chemin, ou "
            "plus de 255 caractères)");
    }
}

}  // namespace vt::discovery
