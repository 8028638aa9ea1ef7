#include "tools/adapters/name_service_packet.h"

#include <algorithm>

namespace vt::adapters {

namespace {

// Header bits of the second 16-bit word (RFC 1002, 4.2.1.1).
constexpr std::uint16_t kResponseBit = 0x8000;
constexpr std::uint16_t kAuthoritativeBit = 0x0400;
constexpr std::uint16_t kTruncatedBit = 0x0200;
constexpr std::uint16_t kRecursionDesiredBit = 0x0100;
constexpr std::uint16_t kRecursionAvailableBit = 0x0080;
constexpr std::uint16_t kBroadcastBit = 0x0010;

constexpr std::size_t kHeaderLength = 12;
constexpr std::size_t kEncodedNameLabel = 32;
constexpr std::size_t kLongestEncodedName = 255;
// A label pointer may only point backwards, which already rules out loops; the cap keeps a
// chain of pointers short all the same.
constexpr int kMostPointerHops = 8;
constexpr std::size_t kNodeStatusNameLength = 18;

void putU16(std::string& out, std::uint16_t value) {
    out += static_cast<char>(value >> 8);
    out += static_cast<char>(value & 0xFF);
}

void putU32(std::string& out, std::uint32_t value) {
    putU16(out, static_cast<std::uint16_t>(value >> 16));
    putU16(out, static_cast<std::uint16_t>(value & 0xFFFF));
}

void putName(std::string& out, const NetbiosName& name) {
    out += static_cast<char>(kEncodedNameLabel);
    out += firstLevelEncode(rawName(name));
    out += '\0';
}

void putRecords(std::string& out, const std::vector<NameServiceRecord>& records) {
    for (const NameServiceRecord& record : records) {
        putName(out, record.name);
        putU16(out, record.type);
        putU16(out, record.recordClass);
        putU32(out, record.timeToLive);
        putU16(out, static_cast<std::uint16_t>(record.data.size()));
        out += record.data;
    }
}

// Reads a packet from the front; every read checks that the bytes are there.
class PacketReader {
public:
    explicit PacketReader(std::string_view bytes) : m_bytes(bytes) {}

    bool u8(std::uint8_t& value) {
        if (m_position + 1 > m_bytes.size()) {
            return false;
        }
        value = byteAt(m_position++);
        return true;
    }

    bool u16(std::uint16_t& value) {
        if (m_position + 2 > m_bytes.size()) {
            return false;
        }
        value = static_cast<std::uint16_t>((byteAt(m_position) << 8) | byteAt(m_position + 1));
        m_position += 2;
        return true;
    }

    bool u32(std::uint32_t& value) {
        std::uint16_t high = 0;
        std::uint16_t low = 0;
        if (!u16(high) || !u16(low)) {
            return false;
        }
        value = (static_cast<std::uint32_t>(high) << 16) | low;
        return true;
    }

    bool take(std::size_t count, std::string_view& bytes) {
        if (count > m_bytes.size() - m_position) {
            return false;
        }
        bytes = m_bytes.substr(m_position, count);
        m_position += count;
        return true;
    }

    // A compressed name: its first label is the 32 letters of the NetBIOS name, the labels of
    // a scope may follow, and a label pointer may stand for the rest of the name.
    bool name(NetbiosName& name) {
        std::size_t at = m_position;
        bool jumped = false;
        int hops = 0;
        std::size_t encodedLength = 0;
        std::optional<RawNetbiosName> raw;
        for (;;) {
            if (at >= m_bytes.size()) {
                return false;
            }
            const std::uint8_t length = byteAt(at);
            if ((length & 0xC0) == 0xC0) {
                if (at + 1 >= m_bytes.size()) {
                    return false;
                }
                const std::size_t target = ((length & 0x3FU) << 8) | byteAt(at + 1);
                if (!jumped) {
                    m_position = at + 2;
                    jumped = true;
                }
                if (target >= at || ++hops > kMostPointerHops) {
                    return false;
                }
                at = target;
                continue;
            }
            if ((length & 0xC0) != 0) {
                return false;  // the label types 01 and 10 are reserved
            }
            if (length == 0) {
                if (!jumped) {
                    m_position = at + 1;
                }
                break;
            }
            if (at + 1 + length > m_bytes.size()) {
                return false;
            }
            encodedLength += 1U + length;
            if (encodedLength > kLongestEncodedName) {
                return false;
            }
            if (!raw) {
                if (length != kEncodedNameLabel) {
                    return false;
                }
                raw = firstLevelDecode(m_bytes.substr(at + 1, length));
                if (!raw) {
                    return false;
                }
            }
            at += 1U + length;
        }
        if (!raw) {
            return false;
        }
        name = nameFromRaw(*raw);
        return true;
    }

    bool question(NameServiceQuestion& question) {
        return name(question.name) && u16(question.type) && u16(question.recordClass);
    }

    bool record(NameServiceRecord& record) {
        std::uint16_t dataLength = 0;
        std::string_view data;
        if (!name(record.name) || !u16(record.type) || !u16(record.recordClass) ||
            !u32(record.timeToLive) || !u16(dataLength) || !take(dataLength, data)) {
            return false;
        }
        record.data.assign(data);
        return true;
    }

    bool records(std::uint16_t count, std::vector<NameServiceRecord>& records) {
        for (std::uint16_t i = 0; i < count; ++i) {
            NameServiceRecord item;
            if (!record(item)) {
                return false;
            }
            records.push_back(std::move(item));
        }
        return true;
    }

    std::size_t remaining() const { return m_bytes.size() - m_position; }

private:
    std::uint8_t byteAt(std::size_t at) const { return static_cast<std::uint8_t>(m_bytes[at]); }

    std::string_view m_bytes;
    std::size_t m_position = 0;
};

std::uint16_t headerFlags(const NameServiceHeader& header) {
    std::uint16_t flags = static_cast<std::uint16_t>((header.opcode & 0x0F) << 11);
    flags |= header.response ? kResponseBit : 0;
    flags |= header.authoritative ? kAuthoritativeBit : 0;
    flags |= header.truncated ? kTruncatedBit : 0;
    flags |= header.recursionDesired ? kRecursionDesiredBit : 0;
    flags |= header.recursionAvailable ? kRecursionAvailableBit : 0;
    flags |= header.broadcast ? kBroadcastBit : 0;
    flags |= header.rcode & 0x0F;
    return flags;
}

NameServiceHeader headerOf(std::uint16_t transactionId, std::uint16_t flags) {
    NameServiceHeader header;
    header.transactionId = transactionId;
    header.response = (flags & kResponseBit) != 0;
    header.opcode = static_cast<std::uint8_t>((flags >> 11) & 0x0F);
    header.authoritative = (flags & kAuthoritativeBit) != 0;
    header.truncated = (flags & kTruncatedBit) != 0;
    header.recursionDesired = (flags & kRecursionDesiredBit) != 0;
    header.recursionAvailable = (flags & kRecursionAvailableBit) != 0;
    header.broadcast = (flags & kBroadcastBit) != 0;
    header.rcode = static_cast<std::uint8_t>(flags & 0x0F);
    return header;
}

// The one answer record of a positive answer of the given type.
const NameServiceRecord* positiveAnswer(const NameServicePacket& packet, std::uint16_t type) {
    const NameServiceHeader& header = packet.header;
    if (!header.response || header.opcode != kOpcodeQuery || header.rcode != 0 ||
        packet.answers.empty() || packet.answers.front().type != type) {
        return nullptr;
    }
    return &packet.answers.front();
}

}  // namespace

std::string encodePacket(const NameServicePacket& packet) {
    std::string out;
    putU16(out, packet.header.transactionId);
    putU16(out, headerFlags(packet.header));
    putU16(out, static_cast<std::uint16_t>(packet.questions.size()));
    putU16(out, static_cast<std::uint16_t>(packet.answers.size()));
    putU16(out, static_cast<std::uint16_t>(packet.authorities.size()));
    putU16(out, static_cast<std::uint16_t>(packet.additionals.size()));
    for (const NameServiceQuestion& question : packet.questions) {
        putName(out, question.name);
        putU16(out, question.type);
        putU16(out, question.recordClass);
    }
    putRecords(out, packet.answers);
    putRecords(out, packet.authorities);
    putRecords(out, packet.additionals);
    return out;
}

std::optional<NameServicePacket> decodePacket(std::string_view bytes) {
    PacketReader reader(bytes);
    std::uint16_t transactionId = 0;
    std::uint16_t flags = 0;
    std::uint16_t counts[4] = {};
    if (bytes.size() < kHeaderLength || !reader.u16(transactionId) || !reader.u16(flags)) {
        return std::nullopt;
    }
    for (std::uint16_t& count : counts) {
        if (!reader.u16(count)) {
            return std::nullopt;
        }
    }
    NameServicePacket packet;
    packet.header = headerOf(transactionId, flags);
    for (std::uint16_t i = 0; i < counts[0]; ++i) {
        NameServiceQuestion question;
        if (!reader.question(question)) {
            return std::nullopt;
        }
        packet.questions.push_back(std::move(question));
    }
    if (!reader.records(counts[1], packet.answers) ||
        !reader.records(counts[2], packet.authorities) ||
        !reader.records(counts[3], packet.additionals)) {
        return std::nullopt;
    }
    return packet;
}

std::string encodeNameAddresses(const std::vector<NameAddress>& addresses) {
    std::string out;
    for (const NameAddress& entry : addresses) {
        putU16(out, entry.flags);
        putU32(out, entry.address.value);
    }
    return out;
}

std::optional<std::vector<NameAddress>> decodeNameAddresses(std::string_view data) {
    constexpr std::size_t kEntryLength = 6;
    if (data.empty() || data.size() % kEntryLength != 0) {
        return std::nullopt;
    }
    PacketReader reader(data);
    std::vector<NameAddress> addresses;
    while (reader.remaining() > 0) {
        NameAddress entry;
        reader.u16(entry.flags);
        reader.u32(entry.address.value);
        addresses.push_back(entry);
    }
    return addresses;
}

std::string encodeNodeStatus(const NodeStatus& status) {
    // The count is one byte: a longer table is cut, never sent with a count that lies.
    const std::size_t count = std::min<std::size_t>(status.names.size(), 255);
    std::string out;
    out += static_cast<char>(count);
    for (std::size_t i = 0; i < count; ++i) {
        const NodeStatusName& entry = status.names[i];
        const RawNetbiosName raw = rawName(entry.name);
        out.append(raw.begin(), raw.end());
        putU16(out, entry.flags);
    }
    if (status.unitId) {
        out.append(status.unitId->begin(), status.unitId->end());
        out.append(kNodeStatusStatisticsLength - status.unitId->size(), '\0');
    }
    return out;
}

std::optional<NodeStatus> decodeNodeStatus(std::string_view data) {
    PacketReader reader(data);
    std::uint8_t count = 0;
    if (!reader.u8(count)) {
        return std::nullopt;
    }
    NodeStatus status;
    for (std::uint8_t i = 0; i < count; ++i) {
        std::string_view bytes;
        if (!reader.take(kNodeStatusNameLength, bytes)) {
            return std::nullopt;
        }
        RawNetbiosName raw{};
        for (std::size_t k = 0; k < raw.size(); ++k) {
            raw[k] = static_cast<std::uint8_t>(bytes[k]);
        }
        const auto high = static_cast<std::uint8_t>(bytes[raw.size()]);
        const auto low = static_cast<std::uint8_t>(bytes[raw.size() + 1]);
        status.names.push_back(
            NodeStatusName{nameFromRaw(raw), static_cast<std::uint16_t>((high << 8) | low)});
    }
    std::string_view unitId;
    if (reader.take(MacAddress{}.size(), unitId)) {
        MacAddress mac{};
        for (std::size_t k = 0; k < mac.size(); ++k) {
            mac[k] = static_cast<std::uint8_t>(unitId[k]);
        }
        status.unitId = mac;
    }
    return status;
}

NameServicePacket nameQueryRequest(std::uint16_t transactionId, const NetbiosName& name,
                                   bool broadcast) {
    NameServicePacket packet;
    packet.header.transactionId = transactionId;
    packet.header.recursionDesired = true;
    packet.header.broadcast = broadcast;
    packet.questions.push_back(NameServiceQuestion{name, kTypeNb, kClassInternet});
    return packet;
}

NameServicePacket nodeStatusRequest(std::uint16_t transactionId) {
    NameServicePacket packet;
    packet.header.transactionId = transactionId;
    packet.questions.push_back(NameServiceQuestion{wildcardName(), kTypeNbstat, kClassInternet});
    return packet;
}

NameServicePacket nameQueryResponse(std::uint16_t transactionId, const NetbiosName& name,
                                    const std::vector<NameAddress>& addresses,
                                    std::uint32_t timeToLive) {
    NameServicePacket packet;
    packet.header.transactionId = transactionId;
    packet.header.response = true;
    packet.header.authoritative = true;
    packet.header.recursionDesired = true;
    packet.answers.push_back(NameServiceRecord{name, kTypeNb, kClassInternet, timeToLive,
                                               encodeNameAddresses(addresses)});
    return packet;
}

NameServicePacket nodeStatusResponse(std::uint16_t transactionId, const NetbiosName& asked,
                                     const NodeStatus& status) {
    NameServicePacket packet;
    packet.header.transactionId = transactionId;
    packet.header.response = true;
    packet.header.authoritative = true;
    packet.answers.push_back(
        NameServiceRecord{asked, kTypeNbstat, kClassInternet, 0, encodeNodeStatus(status)});
    return packet;
}

std::optional<std::vector<NameAddress>> answeredAddresses(const NameServicePacket& packet) {
    const NameServiceRecord* answer = positiveAnswer(packet, kTypeNb);
    if (answer == nullptr) {
        return std::nullopt;
    }
    return decodeNameAddresses(answer->data);
}

std::optional<NodeStatus> answeredNodeStatus(const NameServicePacket& packet) {
    const NameServiceRecord* answer = positiveAnswer(packet, kTypeNbstat);
    if (answer == nullptr) {
        return std::nullopt;
    }
    return decodeNodeStatus(answer->data);
}

}  // namespace vt::adapters
