// The name service packets byte for byte: first-level names, the requests the adapters send,
// the answers they read, and packets that are cut short or lie about their lengths and
// counts, which must be refused without reading past their bytes (the sanitizer pass runs
// these too, and the randomised test feeds the decoder thousands of broken packets).

#include <gtest/gtest.h>

#include <cctype>
#include <random>
#include <string>

#include "tools/adapters/name_service_packet.h"

namespace vt::adapters {
namespace {

// Bytes written as hexadecimal pairs, blanks ignored: "12 34" is "\x12\x34".
std::string hex(std::string_view text) {
    std::string bytes;
    int high = -1;
    for (const char c : text) {
        if (c == ' ') {
            continue;
        }
        const int value = c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10;
        if (high < 0) {
            high = value;
        } else {
            bytes += static_cast<char>(high * 16 + value);
            high = -1;
        }
    }
    return bytes;
}

// The label of a first-level encoded name: its length, 32 letters, the end of the name.
std::string label(std::string_view letters) {
    return std::string(1, '\x20') + std::string(letters) + std::string(1, '\0');
}

const std::string kWildcardLetters = "CKAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA";
const std::string kPc07Letters = "FAEDDADHCACACACACACACACACACACAAA";  // PC07<00>

// A node status answer as a node sends it: SALLE1-02 <00> unique, COLLEGE <00> group,
// SALLE1-02 <20> unique, then the statistics with the MAC address first.
std::string nodeStatusAnswer() {
    const std::string data = std::string(1, '\x03') +               //
                             "SALLE1-02      " + hex("00 04 00") +  //
                             "COLLEGE        " + hex("00 84 00") +  //
                             "SALLE1-02      " + hex("20 04 00") +  //
                             hex("00 1A 2B 3C 4D 5E") + std::string(40, '\0');
    return hex("12 34 84 00 00 00 00 01 00 00 00 00") + label(kWildcardLetters) +
           hex("00 21 00 01 00 00 00 00 00") + static_cast<char>(data.size()) + data;
}

// A positive name query answer for PC07<00>: two addresses.
std::string nameQueryAnswer() {
    return hex("BE EF 85 00 00 00 00 01 00 00 00 00") + label(kPc07Letters) +
           hex("00 20 00 01 00 04 93 E0 00 0C") + hex("00 00 0A 00 00 11 80 00 0A 00 01 11");
}

// --- names --------------------------------------------------------------------------------

struct NameCase {
    NetbiosName name;
    std::string letters;
};

void PrintTo(const NameCase& c, std::ostream* out) {
    *out << c.letters;
}

class FirstLevelNameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(FirstLevelNameTest, EncodesAndDecodesBack) {
    const RawNetbiosName raw = rawName(GetParam().name);
    EXPECT_EQ(firstLevelEncode(raw), GetParam().letters);
    const auto decoded = firstLevelDecode(GetParam().letters);
    ASSERT_TRUE(decoded);
    NetbiosName expected = GetParam().name;
    for (char& c : expected.name) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    EXPECT_EQ(nameFromRaw(*decoded), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Names, FirstLevelNameTest,
    ::testing::Values(NameCase{{"PC07", 0x00}, kPc07Letters},
                      NameCase{{"pc07", 0x00}, kPc07Letters},   // sent in upper case
                      NameCase{{"*", 0x00}, kWildcardLetters},  // padded with NULs
                      NameCase{{"SALLE1-02", 0x20}, "FDEBEMEMEFDBCNDADCCACACACACACACA"},
                      NameCase{{"ABCDEFGHIJKLMNO", 0x1E}, "EBECEDEEEFEGEHEIEJEKELEMENEOEPBO"},
                      NameCase{{"\x01\x02__MSBROWSE__\x02", 0x01},
                               "ABACFPFPENFDECFCEPFHFDEFFPFPACAB"}));

TEST(FirstLevelNameTest, RefusesWrongLengthsAndLetters) {
    EXPECT_FALSE(firstLevelDecode(kPc07Letters.substr(1)));
    EXPECT_FALSE(firstLevelDecode(kPc07Letters + "A"));
    EXPECT_FALSE(firstLevelDecode("Q" + kPc07Letters.substr(1)));  // beyond 'P'
    EXPECT_FALSE(firstLevelDecode("f" + kPc07Letters.substr(1)));  // lower case
    EXPECT_FALSE(firstLevelDecode(std::string(32, '@')));          // before 'A'
}

TEST(NetbiosNameTest, LongerNamesAreCutAtFifteenBytesNeverBeyond) {
    const RawNetbiosName raw = rawName(NetbiosName{"ABCDEFGHIJKLMNOPQRSTUVWXYZ", 0x20});
    EXPECT_EQ(nameFromRaw(raw), (NetbiosName{"ABCDEFGHIJKLMNO", 0x20}));
}

// --- requests ------------------------------------------------------------------------------

TEST(NameServiceRequestTest, NodeStatusRequestBytes) {
    EXPECT_EQ(
        encodePacket(nodeStatusRequest(0x1234)),
        hex("12 34 00 00 00 01 00 00 00 00 00 00") + label(kWildcardLetters) + hex("00 21 00 01"));
}

TEST(NameServiceRequestTest, BroadcastNameQueryBytes) {
    EXPECT_EQ(
        encodePacket(nameQueryRequest(0xBEEF, NetbiosName{"PC07", 0x00}, true)),
        hex("BE EF 01 10 00 01 00 00 00 00 00 00") + label(kPc07Letters) + hex("00 20 00 01"));
}

TEST(NameServiceRequestTest, WildcardQueryDecodesAsTheResponderSeesIt) {
    const auto packet = decodePacket(encodePacket(nameQueryRequest(7, wildcardName(), true)));
    ASSERT_TRUE(packet);
    EXPECT_FALSE(packet->header.response);
    EXPECT_TRUE(packet->header.broadcast);
    EXPECT_TRUE(packet->header.recursionDesired);
    ASSERT_EQ(packet->questions.size(), 1U);
    EXPECT_EQ(packet->questions[0], (NameServiceQuestion{wildcardName(), kTypeNb, kClassInternet}));
}

// --- answers --------------------------------------------------------------------------------

TEST(NameServiceAnswerTest, NodeStatusAnswerGivesTheTableAndTheMac) {
    const auto packet = decodePacket(nodeStatusAnswer());
    ASSERT_TRUE(packet);
    EXPECT_EQ(packet->header.transactionId, 0x1234);
    const auto status = answeredNodeStatus(*packet);
    ASSERT_TRUE(status);
    ASSERT_EQ(status->names.size(), 3U);
    EXPECT_EQ(status->names[0], (NodeStatusName{{"SALLE1-02", 0x00}, 0x0400}));
    EXPECT_EQ(status->names[1], (NodeStatusName{{"COLLEGE", 0x00}, 0x8400}));
    EXPECT_TRUE(status->names[1].group());
    EXPECT_EQ(status->names[2], (NodeStatusName{{"SALLE1-02", 0x20}, 0x0400}));
    EXPECT_EQ(status->unitId, (MacAddress{0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E}));
    EXPECT_FALSE(answeredAddresses(*packet));  // not a name query answer
}

TEST(NameServiceAnswerTest, NodeStatusEndingAfterTheTableHasNoMac) {
    const NodeStatus status{{{NetbiosName{"PC07", 0x00}, 0x0400}}, std::nullopt};
    const std::string data = encodeNodeStatus(status);
    EXPECT_EQ(data, std::string(1, '\x01') + "PC07           " + hex("00 04 00"));
    EXPECT_EQ(decodeNodeStatus(data), status);
    // Statistics cut after the MAC address still give it.
    const auto cut = decodeNodeStatus(data + hex("01 02 03 04 05 06 07"));
    ASSERT_TRUE(cut);
    EXPECT_EQ(cut->unitId, (MacAddress{1, 2, 3, 4, 5, 6}));
}

TEST(NameServiceAnswerTest, NameQueryAnswerGivesEveryAddress) {
    const auto packet = decodePacket(nameQueryAnswer());
    ASSERT_TRUE(packet);
    const auto addresses = answeredAddresses(*packet);
    ASSERT_TRUE(addresses);
    EXPECT_EQ(*addresses, (std::vector<NameAddress>{{0x0000, *parseIpv4("10.0.0.17")},
                                                    {0x8000, *parseIpv4("10.0.1.17")}}));
    EXPECT_EQ(packet->answers[0].timeToLive, 300000U);
    EXPECT_EQ(packet->answers[0].name, (NetbiosName{"PC07", 0x00}));
}

TEST(NameServiceAnswerTest, EncodedAnswersReadBackUnchanged) {
    const NodeStatus status{
        {{NetbiosName{"PC07", 0x00}, 0x0400}, {NetbiosName{"COLLEGE", 0x1E}, 0x8400}},
        MacAddress{0, 0x1A, 0x2B, 0x3C, 0x4D, 0x07}};
    const auto packet = decodePacket(encodePacket(nodeStatusResponse(9, wildcardName(), status)));
    ASSERT_TRUE(packet);
    EXPECT_EQ(answeredNodeStatus(*packet), status);

    const std::vector<NameAddress> addresses{{0, *parseIpv4("10.99.0.10")}};
    const auto answer =
        decodePacket(encodePacket(nameQueryResponse(9, NetbiosName{"PC07", 0}, addresses, 60)));
    ASSERT_TRUE(answer);
    EXPECT_EQ(answeredAddresses(*answer), addresses);
}

TEST(NameServiceAnswerTest, NegativeAnswersAndRequestsGiveNothing) {
    std::string negative = nameQueryAnswer();
    negative[3] = '\x03';  // RCODE 3: the name does not exist
    ASSERT_TRUE(decodePacket(negative));
    EXPECT_FALSE(answeredAddresses(*decodePacket(negative)));

    std::string request = nodeStatusAnswer();
    request[2] = '\x04';  // the response bit cleared
    ASSERT_TRUE(decodePacket(request));
    EXPECT_FALSE(answeredNodeStatus(*decodePacket(request)));
}

TEST(NameServiceAnswerTest, AnswerNameMayPointBackToTheQuestion) {
    // The question's name at offset 12, the answer's name a pointer to it (C0 0C).
    const std::string packet = hex("00 05 85 00 00 01 00 01 00 00 00 00") + label(kPc07Letters) +
                               hex("00 20 00 01") + hex("C0 0C 00 20 00 01 00 00 00 3C 00 06") +
                               hex("00 00 0A 00 00 11");
    const auto decoded = decodePacket(packet);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->answers[0].name, (NetbiosName{"PC07", 0x00}));
    EXPECT_EQ(answeredAddresses(*decoded)->front().address, *parseIpv4("10.0.0.17"));
}

TEST(NameServiceAnswerTest, ScopeLabelsAreSkipped) {
    const std::string scoped = hex("00 05 00 00 00 01 00 00 00 00 00 00") + "\x20" + kPc07Letters +
                               hex("07") + "college" + hex("03") + "net" + hex("00") +
                               hex("00 20 00 01");
    const auto decoded = decodePacket(scoped);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->questions[0].name, (NetbiosName{"PC07", 0x00}));
}

// --- packets that are cut or lie ------------------------------------------------------------

TEST(NameServiceMalformedTest, EveryCutOfAnAnswerIsRefused) {
    for (const std::string& whole : {nodeStatusAnswer(), nameQueryAnswer()}) {
        for (std::size_t length = 0; length < whole.size(); ++length) {
            const std::string cut = whole.substr(0, length);
            const auto packet = decodePacket(cut);
            EXPECT_FALSE(packet && (answeredNodeStatus(*packet) || answeredAddresses(*packet)))
                << "cut at " << length;
        }
    }
}

struct LieCase {
    const char* what;
    std::string bytes;
};

void PrintTo(const LieCase& c, std::ostream* out) {
    *out << c.what;
}

class NameServiceLieTest : public ::testing::TestWithParam<LieCase> {};

TEST_P(NameServiceLieTest, PacketIsRefusedWhole) {
    EXPECT_FALSE(decodePacket(GetParam().bytes)) << GetParam().what;
}

std::string withByte(std::string bytes, std::size_t at, char value) {
    bytes[at] = value;
    return bytes;
}

const std::string kHeaderOneQuestion = hex("00 05 00 00 00 01 00 00 00 00 00 00");

INSTANTIATE_TEST_SUITE_P(
    Lies, NameServiceLieTest,
    ::testing::Values(
        LieCase{"shorter than a header", hex("12 34 84 00 00 00 00 01 00")},
        LieCase{"two questions, one present",
                withByte(kHeaderOneQuestion, 5, 2) + label(kPc07Letters) + hex("00 20 00 01")},
        LieCase{"answer count beyond the answers", withByte(nameQueryAnswer(), 7, 2)},
        LieCase{"additional count with nothing there", withByte(nameQueryAnswer(), 11, 1)},
        LieCase{"record length past the end", withByte(nodeStatusAnswer(), 12 + 34 + 9, '\x7F')},
        LieCase{"label length past the end", kHeaderOneQuestion + "\x3F" + kPc07Letters},
        LieCase{"first label not 32 letters",
                kHeaderOneQuestion + "\x1F" + kPc07Letters.substr(1) + hex("00 00 20 00 01")},
        LieCase{"letter beyond P in the name",
                kHeaderOneQuestion + label("Z" + kPc07Letters.substr(1)) + hex("00 20 00 01")},
        LieCase{"reserved label type 01", kHeaderOneQuestion + hex("40 00 00 20 00 01")},
        LieCase{"reserved label type 10", kHeaderOneQuestion + hex("80 00 00 20 00 01")},
        LieCase{"pointer to itself", kHeaderOneQuestion + hex("C0 0C 00 20 00 01")},
        LieCase{"pointer forward", kHeaderOneQuestion + hex("C0 20 00 20 00 01")},
        LieCase{"pointer cut after its first byte", kHeaderOneQuestion + hex("C0")},
        LieCase{"name without a label", kHeaderOneQuestion + hex("00 00 20 00 01")},
        LieCase{"name longer than 255 bytes", kHeaderOneQuestion + "\x20" + kPc07Letters +
                                                  [] {
                                                      std::string scope;
                                                      for (int i = 0; i < 4; ++i) {
                                                          scope += "\x3F" + std::string(63, 'x');
                                                      }
                                                      return scope;
                                                  }() +
                                                  hex("00 00 20 00 01")},
        LieCase{"question without its type",
                kHeaderOneQuestion + label(kPc07Letters) + std::string(1, '\0')}));

TEST(NameServiceMalformedTest, RecordDataThatLiesGivesNothing) {
    // Three names announced, two present.
    const std::string shortTable = std::string(1, '\x03') + std::string(36, 'A');
    EXPECT_FALSE(decodeNodeStatus(shortTable));
    EXPECT_FALSE(decodeNodeStatus(""));
    EXPECT_FALSE(decodeNameAddresses(""));
    EXPECT_FALSE(decodeNameAddresses(hex("00 00 0A 00 00")));        // five bytes
    EXPECT_FALSE(decodeNameAddresses(hex("00 00 0A 00 00 11 00")));  // seven bytes
}

TEST(NameServiceMalformedTest, LongerTablesAreCutToTheOneByteCount) {
    NodeStatus big;
    for (int i = 0; i < 300; ++i) {
        big.names.push_back({NetbiosName{"N" + std::to_string(i), 0}, 0});
    }
    const auto decoded = decodeNodeStatus(encodeNodeStatus(big));
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->names.size(), 255U);
}

// --- randomised: the decoder never reads past the bytes, never crashes ---------------------

TEST(NameServiceFuzzTest, RandomAndMutatedPacketsAreDecodedSafely) {
    std::mt19937 random(20261207);
    const std::vector<std::string> seeds{
        nodeStatusAnswer(), nameQueryAnswer(), encodePacket(nodeStatusRequest(1)),
        encodePacket(nameQueryRequest(2, NetbiosName{"SALLE1-02", 0x20}, true))};
    int decoded = 0;
    for (int round = 0; round < 30000; ++round) {
        std::string bytes;
        if (round % 4 == 0) {
            bytes.resize(random() % 600);
            for (char& c : bytes) {
                c = static_cast<char>(random());
            }
            if (bytes.size() >= 12 && round % 8 == 0) {
                bytes[4] = bytes[6] = bytes[8] = bytes[10] = 0;  // small counts reach deeper
            }
        } else {
            bytes = seeds[random() % seeds.size()];
            for (int mutation = 1 + static_cast<int>(random() % 4); mutation > 0; --mutation) {
                const std::size_t at = random() % (bytes.size() + 1);
                switch (random() % 4) {
                    case 0:
                        if (at < bytes.size()) {
                            bytes[at] = static_cast<char>(bytes[at] ^ (1 << (random() % 8)));
                        }
                        break;
                    case 1:
                        bytes.resize(at);
                        break;
                    case 2:
                        bytes.insert(at, 1, static_cast<char>(random()));
                        break;
                    default:
                        if (at < bytes.size()) {
                            bytes[at] = static_cast<char>(random());
                        }
                }
            }
        }
        const auto packet = decodePacket(bytes);
        if (!packet) {
            continue;
        }
        ++decoded;
        answeredNodeStatus(*packet);
        answeredAddresses(*packet);
        // What decodes encodes to a packet that decodes, and from then on nothing changes
        // (the first round may change the case of names and drop scopes and pointers).
        const auto once = decodePacket(encodePacket(*packet));
        ASSERT_TRUE(once) << "round " << round;
        EXPECT_EQ(decodePacket(encodePacket(*once)), once) << "round " << round;
    }
    EXPECT_GT(decoded, 1000);  // the mutations must reach the deeper checks, not only the header
}

}  // namespace
}  // namespace vt::adapters
