#include "platform/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vt::platform {
namespace {

struct SplitCase {
    std::string line;
    std::vector<std::string> arguments;
};

class SplitCommandLineTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitCommandLineTest, SplitsAsWindowsDoes) {
    EXPECT_EQ(splitCommandLine(GetParam().line), GetParam().arguments) << GetParam().line;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, SplitCommandLineTest,
    ::testing::Values(
        SplitCase{"", {}}, SplitCase{" \t ", {}}, SplitCase{"a b  c", {"a", "b", "c"}},
        SplitCase{"\tlead\ttab ", {"lead", "tab"}},
        SplitCase{R"("c:\program files\vt_echo.exe" PC12 c:\ping7.txt)",
                  {R"(c:\program files\vt_echo.exe)", "PC12", R"(c:\ping7.txt)"}},
        SplitCase{R"(ab"c d"e)", {"abc de"}}, SplitCase{R"("say ""hi""")", {R"(say "hi")"}},
        SplitCase{R"("")", {""}}, SplitCase{R"(a "" b)", {"a", "", "b"}},
        // Backslashes are plain characters, also before a quote.
        SplitCase{R"(c:\dir\ "x")", {R"(c:\dir\)", "x"}}, SplitCase{R"(a\"b c")", {R"(a\b c)"}},
        SplitCase{R"(\\PDC\netlogon\x.bat)", {R"(\\PDC\netlogon\x.bat)"}},
        SplitCase{R"("unterminated arg)", {"unterminated arg"}},
        // Outside quotes a doubled quote opens and closes: nothing is added.
        SplitCase{R"(x""y)", {"xy"}}));

struct RestCase {
    std::string line;
    std::string rest;
};

class CommandLineRestTest : public ::testing::TestWithParam<RestCase> {};

TEST_P(CommandLineRestTest, KeepsTheRestAsWritten) {
    EXPECT_EQ(commandLineRest(GetParam().line), GetParam().rest) << GetParam().line;
}

INSTANTIATE_TEST_SUITE_P(Lines, CommandLineRestTest,
                         ::testing::Values(RestCase{"prog a b", "a b"}, RestCase{"prog", ""},
                                           RestCase{"", ""}, RestCase{"  prog \t  x  ", "x  "},
                                           RestCase{R"("my prog" /c echo "x y" > c:\o.txt)",
                                                    R"(/c echo "x y" > c:\o.txt)"},
                                           RestCase{R"(ab"c d"e  f)", "f"}));

TEST(EndsWithNoCaseTest, ComparesLettersWithoutCase) {
    EXPECT_TRUE(endsWithNoCase("C:\\JOB.BAT", ".bat"));
    EXPECT_TRUE(endsWithNoCase("job.bat", ".BAT"));
    EXPECT_TRUE(endsWithNoCase("anything", ""));
    EXPECT_FALSE(endsWithNoCase("bat", ".bat"));
    EXPECT_FALSE(endsWithNoCase("job.bat ", ".bat"));
    EXPECT_FALSE(endsWithNoCase("job.bct", ".bat"));
}

}  // namespace
}  // namespace vt::platform
