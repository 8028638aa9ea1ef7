#include "core/text_file.h"

#include <gtest/gtest.h>

#include "core/file_error.h"
#include "tests/support/temp_dir_test.h"

namespace vt {
namespace {

TEST(Windows1252Test, EveryByteSurvivesARoundTrip) {
    std::string all;
    for (int byte = 0; byte < 256; ++byte) {
        all += static_cast<char>(byte);
    }
    EXPECT_EQ(toWindows1252(fromWindows1252(all)), all);
}

TEST(Windows1252Test, MapsTheHighBlockToItsCharacters) {
    EXPECT_EQ(fromWindows1252("\x80"), "€");
    EXPECT_EQ(fromWindows1252("\x92"), "’");
    EXPECT_EQ(fromWindows1252("\x9F"), "Ÿ");
    EXPECT_EQ(fromWindows1252("\xE9"), "é");
    EXPECT_EQ(fromWindows1252("\xA0"), "\u00A0");
    // The undefined bytes stand for the control characters of the same value.
    EXPECT_EQ(fromWindows1252("\x81\x8D\x8F\x90\x9D"), "\u0081\u008D\u008F\u0090\u009D");
    EXPECT_EQ(toWindows1252("Erreur constatée €"),
              "Erreur constat\xE9"
              "e \x80");
}

TEST(Windows1252Test, CharactersItCannotHoldBecomeQuestionMarks) {
    EXPECT_EQ(toWindows1252("a\u0080b"), "a?b");  // a C1 control that 0x80 does not stand for
    EXPECT_EQ(toWindows1252("漢字"), "??");
    EXPECT_EQ(toWindows1252("😀"), "?");
}

TEST(Windows1252Test, InvalidUtf8BytesBecomeQuestionMarks) {
    EXPECT_EQ(toWindows1252("a\xFF"
                            "b"),
              "a?b");
    EXPECT_EQ(toWindows1252("\xC3"), "?");            // cut sequence at the end
    EXPECT_EQ(toWindows1252("\xC3("), "?(");          // bad continuation
    EXPECT_EQ(toWindows1252("\xC0\xAF"), "??");       // overlong "/"
    EXPECT_EQ(toWindows1252("\xED\xA0\x80"), "???");  // surrogate
    EXPECT_EQ(toWindows1252("\x80"
                            "x"),
              "?x");  // lone continuation
}

struct SplitCase {
    const char* name;
    std::string text;
    std::vector<std::string> lines;
};

class SplitLinesTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitLinesTest, ReadsLinesAsAStringList) {
    EXPECT_EQ(splitLines(GetParam().text), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(Table, SplitLinesTest,
                         ::testing::Values(SplitCase{"Empty", "", {}},
                                           SplitCase{"OneLineNoBreak", "a", {"a"}},
                                           SplitCase{"FinalCrLf", "a\r\n", {"a"}},
                                           SplitCase{"CrLf", "a\r\nb\r\n", {"a", "b"}},
                                           SplitCase{"LfOnly", "a\nb", {"a", "b"}},
                                           SplitCase{"LoneCr", "a\rb\r", {"a", "b"}},
                                           SplitCase{"LfCrIsTwoBreaks", "a\n\rb", {"a", "", "b"}},
                                           SplitCase{"EmptyLines", "\r\n\r\n", {"", ""}},
                                           SplitCase{"BreakOnly", "\n", {""}},
                                           SplitCase{"Mixed", "a\r\n\nb\rc", {"a", "", "b", "c"}},
                                           SplitCase{"KeepsBlanks", " a \r\n", {" a "}}),
                         [](const auto& testInfo) { return std::string(testInfo.param.name); });

TEST(JoinLinesTest, EndsEveryLineWithCrLf) {
    EXPECT_EQ(joinLines({}), "");
    EXPECT_EQ(joinLines({""}), "\r\n");
    EXPECT_EQ(joinLines({"a", "b"}), "a\r\nb\r\n");
}

TEST(FileErrorTest, CarriesTheFrenchMessages) {
    EXPECT_STREQ(FileError::cannotOpen("c:\\x.txt").what(),
                 "Impossible d'ouvrir le fichier c:\\x.txt");
    EXPECT_STREQ(FileError::cannotCreate("/d/vtl.ini").what(),
                 "Impossible de créer le fichier /d/vtl.ini");
}

class TextFileTest : public test::TempDirTest {};

TEST_F(TextFileTest, SavesWindows1252WithCrLf) {
    saveTextLines(files(), path("f.txt"), {"Arrêt", "", "€"});
    EXPECT_EQ(readBytes("f.txt"), "Arr\xEAt\r\n\r\n\x80\r\n");
    EXPECT_EQ(loadTextLines(files(), path("f.txt")), (std::vector<std::string>{"Arrêt", "", "€"}));
}

TEST_F(TextFileTest, AcceptsLfOnlyOnRead) {
    writeBytes("unix.txt", "a\nb\n");
    EXPECT_EQ(loadTextLines(files(), "unix.txt"), (std::vector<std::string>{"a", "b"}));
}

TEST_F(TextFileTest, MissingFileReadsAsNothingOrEmptyOrError) {
    EXPECT_FALSE(readTextLines(files(), path("missing")).has_value());
    EXPECT_TRUE(loadTextLinesOrEmpty(files(), path("missing")).empty());
    try {
        loadTextLines(files(), path("missing"));
        FAIL() << "no FileError";
    } catch (const FileError& error) {
        EXPECT_EQ(std::string(error.what()), "Impossible d'ouvrir le fichier " + path("missing"));
    }
}

TEST_F(TextFileTest, UnwritableFileIsAFileErrorNamingIt) {
    saveTextLines(files(), path("locked"), {"old"});
    ASSERT_TRUE(files().setReadOnly(path("locked"), true));
    try {
        saveTextLines(files(), path("locked"), {"new"});
        FAIL() << "no FileError";
    } catch (const FileError& error) {
        EXPECT_EQ(std::string(error.what()), "Impossible de créer le fichier " + path("locked"));
    }
    EXPECT_EQ(readBytes("locked"), "old\r\n");
    EXPECT_THROW(saveTextLines(files(), path("no/such/dir/f"), {}), FileError);
}

TEST_F(TextFileTest, ArbitraryBytesSurviveLoadAndSave) {
    std::string bytes;
    for (int i = 0; i < 256; ++i) {
        if (i != '\r' && i != '\n') {
            bytes += static_cast<char>(i);
        }
    }
    bytes += "\r\n";
    writeBytes("raw", bytes);
    saveTextLines(files(), path("copy"), loadTextLines(files(), path("raw")));
    EXPECT_EQ(readBytes("copy"), bytes);
}

}  // namespace
}  // namespace vt
