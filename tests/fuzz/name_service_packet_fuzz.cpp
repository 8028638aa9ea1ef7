// A datagram received on the name service port, read as vt_nbtstat and vt_net read their
// answers: the packet, the addresses or the node status it answers, and the names the
// adapters then pass on and cache (adapter_layouts_fuzz.cpp reads what they print). The same
// bytes are also read as the data of a node status record on their own.

#include <string>

#include "fuzz_input.h"
#include "tools/adapters/name_cache.h"
#include "tools/adapters/name_rules.h"
#include "tools/adapters/name_service_packet.h"
#include "tools/adapters/node_names.h"

namespace vt::adapters {
namespace {

constexpr Ipv4Address kNode{0x0A000011};  // 10.0.0.17
constexpr std::int64_t kNow = 1765190400;

// A decoded packet encodes to bytes that decode again, and from then on nothing changes:
// the first decoding only drops what the encoder does not keep (scopes, compression, the
// case of name letters, reserved header bits).
void checkReencoding(const NameServicePacket& packet) {
    const std::string encoded = encodePacket(packet);
    const std::optional<NameServicePacket> again = decodePacket(encoded);
    fuzz::require(again.has_value(), "un paquet décodé puis encodé se décode");
    fuzz::require(encodePacket(*again) == encoded, "l'encodage d'un paquet relu ne change plus");
}

void checkNodeStatus(const NodeStatus& status) {
    const std::optional<NodeStatus> again = decodeNodeStatus(encodeNodeStatus(status));
    fuzz::require(again && encodeNodeStatus(*again) == encodeNodeStatus(status),
                  "un état de nœud décodé s'encode et se relit");

    const NodeNames names = namesOfNode(status, kNode);
    std::vector<CachedName> learned = names.learned;
    for (CachedName& entry : learned) {
        fuzz::require(isPassableName(entry.name), "un nom appris peut être transmis");
        fuzz::require(printableName(entry.name) == entry.name,
                      "un nom appris ne contient aucun caractère de contrôle");
        entry.expiresAt = kNow + kNameLifetimeSeconds;
    }
    fuzz::require(parseNameCache(formatNameCache(learned)) == learned,
                  "le cache des noms relit chaque nom appris");
}

}  // namespace
}  // namespace vt::adapters

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vt::adapters;
    const std::string_view bytes = vt::fuzz::bytesOf(data, size);
    if (const std::optional<NameServicePacket> packet = decodePacket(bytes)) {
        checkReencoding(*packet);
        answeredAddresses(*packet);
        if (const std::optional<NodeStatus> status = answeredNodeStatus(*packet)) {
            checkNodeStatus(*status);
        }
    }
    decodeNameAddresses(bytes);
    if (const std::optional<NodeStatus> status = decodeNodeStatus(bytes)) {
        checkNodeStatus(*status);
    }
    return 0;
}
