#pragma once

// The sample inputs of tests/fixtures (outputs of the French Windows commands, the router's
// page, a leases file, the inventory exports), as tests read them.

#include <string>
#include <string_view>
#include <vector>

namespace vt::test {

// Native path of a fixture, e.g. "windows-fr/arp-a.txt".
std::string fixturePath(std::string_view relative);
// Its bytes; the test fails when it cannot be read.
std::string fixtureBytes(std::string_view relative);
// Its lines, read as the system reads its text files.
std::vector<std::string> fixtureLines(std::string_view relative);

}  // namespace vt::test
