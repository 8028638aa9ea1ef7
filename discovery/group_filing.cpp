#include "discovery/group_filing.h"

#include <optional>

#include "core/file_error.h"
#include "core/names.h"
#include "core/text_file.h"
#include "core/utils.h"
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
        found.lines = SortedNoCaseList(splitLines(fromWindows1252(*bytes)));
        found.readBytes = std::move(*bytes);
    }
    return found;
}

void GroupFiling::addTo(Buffer& target, const std::string& name, bool isGroup) {
    target.touched = true;
    target.exists = true;
    bool present = false;
    switch (m_method) {
        case DiscoveryMethod::Csv:
        case DiscoveryMethod::Passive:
            present = target.lines.contains(name);
            break;
        case DiscoveryMethod::NetView:
            present = target.lines.contains(StripMark(name));
            break;
        case DiscoveryMethod::Ipr:
            // A machine the group lists as never to be shut down keeps its one, marked line.
            present = target.lines.contains(name) || (isGroup && target.lines.contains(name + "*"));
            break;
    }
    if (!present) {
        target.lines.add(name);
    }
}

bool GroupFiling::takeIn(std::string_view name) {
    if (trim(name).empty()) {
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
    bool matched = false;
    for (const std::string& group : m_state.GroupList) {
        if (characterCount(group) < kShortestMatchingGroup || !startsWithNoCase(name, group)) {
            continue;
        }
        message(name + " correspond au groupe de machines " + group);
        matched = true;
        if (writesToConsole(m_method)) {
            m_services.console.appendLine("correspondance trouvée pour " + name + "\r\n" +
                                          m_state.DataDir + group + " sera mis à jour");
        }
        if (!isUsableGroupName(group)) {
            continue;
        }
        Buffer& target = buffer(group);
        if (m_method == DiscoveryMethod::NetView && !target.exists) {
            continue;
        }
        name = toUpperAscii(name);
        addTo(target, name, true);
    }
    if (!matched) {
        message(name + " ne correspond à aucun groupe de machines ");
        addTo(buffer(m_state.OtherGroupName), toUpperAscii(name), false);
    }
}

void GroupFiling::save() {
    std::optional<FileError> firstFailure;
    for (auto& [key, target] : m_buffers) {
        if (!target.touched) {
            continue;
        }
        std::string bytes = toWindows1252(joinLines(target.lines.lines()));
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
