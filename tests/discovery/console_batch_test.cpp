#include "discovery/console_batch.h"

#include <gtest/gtest.h>

#include "tests/support/fakes.h"

namespace vt::discovery {
namespace {

TEST(ConsoleBatchTest, ShowsTheFirstMessagesInOnePieceThenCountsTheOthers) {
    test::RecordingConsole console;
    {
        ConsoleBatch batch(console);
        for (std::size_t i = 0; i < ConsoleBatch::kShownMessages + 3; ++i) {
            batch.appendLine("m" + std::to_string(i) + (i == 0 ? "\r\nsuite" : ""));
        }
        EXPECT_TRUE(console.lines.empty());
        batch.flush();
        batch.appendLine("après");
    }
    ASSERT_EQ(console.lines.size(), ConsoleBatch::kShownMessages + 3);
    EXPECT_EQ(console.lines[1], "suite");
    EXPECT_EQ(console.lines[ConsoleBatch::kShownMessages + 1],
              "3 message(s) de plus non affiché(s)");
    EXPECT_EQ(console.lines.back(), "après");
    // A run that an error ends still shows what it kept.
    { ConsoleBatch(console).appendLine("avant l'erreur"); }
    EXPECT_EQ(console.lines.back(), "avant l'erreur");
}

}  // namespace
}  // namespace vt::discovery
