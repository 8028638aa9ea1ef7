#include "tests/support/fixture_files.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "core/text_file.h"

namespace vt::test {

std::string fixturePath(std::string_view relative) {
    return std::string(VT_SOURCE_DIR) + "/tests/fixtures/" + std::string(relative);
}

std::string fixtureBytes(std::string_view relative) {
    std::ifstream in(fixturePath(relative), std::ios::binary);
    EXPECT_TRUE(in) << "fixture missing: " << fixturePath(relative);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> fixtureLines(std::string_view relative) {
    return splitLines(fromWindows1252(fixtureBytes(relative)));
}

}  // namespace vt::test
