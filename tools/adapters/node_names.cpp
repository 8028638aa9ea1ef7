#include "tools/adapters/node_names.h"

#include "platform/text_codec.h"
#include "tools/adapters/name_rules.h"

namespace vt::adapters {

namespace {

NameState stateOf(std::uint16_t flags) {
    if ((flags & kConflictFlag) != 0) {
        return NameState::Conflict;
    }
    if ((flags & kDeregisteringFlag) != 0) {
        return NameState::Deregistering;
    }
    return NameState::Registered;
}

}  // namespace

NodeNames namesOfNode(const NodeStatus& status, Ipv4Address address) {
    NodeNames names;
    for (const NodeStatusName& entry : status.names) {
        const std::string printed = printableName(entry.name.name);
        if (!isPassableName(printed)) {
            names.refused.push_back(printed);
            continue;
        }
        names.rows.push_back(
            NameTableRow{printed, entry.name.suffix, entry.group(), stateOf(entry.flags)});
        names.learned.push_back(CachedName{printed, entry.name.suffix, entry.group(), address, 0});
        if (entry.name.suffix == kFileServerSuffix && !entry.group() && !names.server) {
            names.server = printed;
        }
    }
    return names;
}

std::string refusedNamesMessage(const NodeNames& names, Ipv4Address address) {
    std::string message =
        "noms NetBIOS de " + toText(address) + " ignorés (caractères interdits) :";
    for (const std::string& name : names.refused) {
        message += " " + platform::fromWindows1252(name);
    }
    return message;
}

}  // namespace vt::adapters
