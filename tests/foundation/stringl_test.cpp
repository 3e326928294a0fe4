// Tests of the base library's text, file-system and stream helpers: Tokenize, strff,
// NumberedPos, fixed-width fields, trailing and leading characters, control characters, the
// UTF-8 helpers, ParentDir, DirExists, InventPassword and ReadLnStream.
#include "Kel_filesys.h"
#include "Kel_streams.h"
#include "Kel_stringl.h"
#include "Kel_univconst.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

using namespace kel;

TEST(Tokenize, TrailingDelimiterGivesALastEmptyPart) {
    TOpenStringArray parts{"stale"};
    EXPECT_EQ(Tokenize("a/b/", '/', parts), 3);
    EXPECT_EQ(parts, (TOpenStringArray{"a", "b", ""}));
    EXPECT_EQ(Tokenize("/x//y", '/', parts), 4);
    EXPECT_EQ(parts, (TOpenStringArray{"", "x", "", "y"}));
    EXPECT_EQ(Tokenize("plain", '/', parts), 1);
    EXPECT_EQ(parts, (TOpenStringArray{"plain"}));
    EXPECT_EQ(Tokenize("", '/', parts), 0);
    EXPECT_TRUE(parts.empty());
}

TEST(Strff, FormatsFixedPointRightAlignedInTheField) {
    EXPECT_EQ(strff(12, 1, 4), "12.0000");
    EXPECT_EQ(strff(3.14159, 8, 2), "    3.14");
    EXPECT_EQ(strff(-2.5, 1, 0), "-2"); // round half to even on the binary value
    EXPECT_EQ(strff(7, 3, -1), "  7");
    EXPECT_EQ(strff(NAN, 5, 2), "  NaN");
    EXPECT_EQ(strff(-INFINITY, 1, 2), "-Inf");
    EXPECT_EQ(strff(1, 100000, 0).size(), 255u); // the field width is limited
    EXPECT_EQ(strff(uc_MaxDouble, 1, 0).size(), 309u);
}

TEST(NumberedPos, FindsTheNthOccurrenceFromTheStart) {
    const std::string line = R"(<replist id="  abc " x="1">)";
    int p = NumberedPos("id=\"", line, 1, 1, false);
    EXPECT_EQ(p, 10);
    EXPECT_EQ(NumberedPos("\"", line, p, 2, false), 20); // the quote closing the id
    EXPECT_EQ(NumberedPos("\"", line, p, 5, false), 0);
    EXPECT_EQ(NumberedPos("aa", "aaaa", 1, 3, false), 3); // overlapping occurrences
    EXPECT_EQ(NumberedPos("ID", line, 1, 1, true), 10);
    EXPECT_EQ(NumberedPos("ID", line, 1, 1, false), 0);
    EXPECT_EQ(NumberedPos("", line, 1, 1, false), 0);
    EXPECT_EQ(NumberedPos("x", line, 1, 0, false), 0);
    EXPECT_EQ(NumberedPos("<", line, -5, 1, false), 1);
    EXPECT_EQ(NumberedPos("<", line, 500, 1, false), 0);
}

TEST(LeftString, GivesExactlyNCharactersCountingCodePoints) {
    EXPECT_EQ(LeftString("abc", 5), "abc  ");
    EXPECT_EQ(LeftString("abcdef", 3), "abc");
    EXPECT_EQ(LeftString("abc", 0), "");
    EXPECT_EQ(LeftString("abc", -2), "");
    // "Grüße" has five characters in seven bytes.
    EXPECT_EQ(LeftString("Gr\xC3\xBC\xC3\x9F"
                         "e",
                         6),
              "Gr\xC3\xBC\xC3\x9F"
              "e ");
    EXPECT_EQ(LeftString("Gr\xC3\xBC\xC3\x9F"
                         "e",
                         3),
              "Gr\xC3\xBC");
}

TEST(Utf8, CountsCodePointsAndMalformedBytesOneEach) {
    EXPECT_EQ(Utf8Length(""), 0);
    EXPECT_EQ(Utf8Length("\xE2\x82\xAC\xF0\x9F\x98\x80"
                         "a"),
              3);
    EXPECT_EQ(Utf8Length("\xE2\x82"), 2);     // truncated sequence
    EXPECT_EQ(Utf8Length("\xC0\xAF"), 2);     // overlong form
    EXPECT_EQ(Utf8Length("\xED\xA0\x80"), 3); // surrogate
    EXPECT_EQ(Utf8Left("\xE2\x82\xAC\xE2\x82\xAC", 1), "\xE2\x82\xAC");
    EXPECT_EQ(Utf8Left("ab", 5), "ab");
}

TEST(TrailingAndLeadingChars, AreAddedOrStrippedOnce) {
    EXPECT_EQ(EnsureTrailingChar("red|green", '|'), "red|green|");
    EXPECT_EQ(EnsureTrailingChar("red|", '|'), "red|");
    EXPECT_EQ(EnsureTrailingChar("", '|'), "|");
    EXPECT_EQ(EnsureTrailingBkSlash("/home/user"), "/home/user/");
    EXPECT_EQ(EnsureTrailingBkSlash("/home/user/"), "/home/user/");
    EXPECT_EQ(EnsureTrailingBkSlash(""), "");
    EXPECT_EQ(StripLeadingChars("//a/b//", '/'), "a/b//");
    EXPECT_EQ(StripTrailingChars("//a/b//", '/'), "//a/b");
    EXPECT_EQ(StripTrailingChars("///", '/'), "");
    EXPECT_EQ(StripLeadingChars("", '/'), "");
    EXPECT_EQ(ReplaceCharInString("a\\b\\c", '\\', '/'), "a/b/c");
}

TEST(RemoveControlChars, DropsAsciiControlsAndKeepsUtf8) {
    EXPECT_EQ(RemoveControlChars(std::string("a\tb\r\nc\x7f\x01"
                                             "\xC3\xA9",
                                             10)),
              "abc\xC3\xA9");
    EXPECT_EQ(RemoveControlChars(std::string("x\0y", 3)), "xy");
}

TEST(ParentDir, RepeatedUseEndsInTheEmptyText) {
    EXPECT_EQ(ParentDir("/home/user/docs/"), "/home/user/");
    EXPECT_EQ(ParentDir("/home/user/docs"), "/home/user/");
    EXPECT_EQ(ParentDir("/home"), "/");
    EXPECT_EQ(ParentDir("/"), "");
    EXPECT_EQ(ParentDir("a/b"), "a/");
    EXPECT_EQ(ParentDir("a"), "");
    EXPECT_EQ(ParentDir(""), "");
    for (std::string start : {"/usr/local/share/", "//srv//data//x//", "rel/a/b", "/"}) {
        std::string p = start;
        int steps = 0;
        while (!p.empty() && steps < 20) {
            std::string q = ParentDir(p);
            EXPECT_LT(q.size(), p.size()) << p;
            p = q;
            ++steps;
        }
        EXPECT_EQ(p, "") << start;
    }
}

TEST(DirExists, TellsFoldersFromFilesAndMissingPaths) {
    namespace fs = std::filesystem;
    fs::path dir = fs::temp_directory_path() / ("kel_direxists_" + std::to_string(::getpid()));
    fs::create_directories(dir / "sub");
    std::ofstream(dir / "file.txt") << "x";
    EXPECT_TRUE(DirExists(dir.string()));
    EXPECT_TRUE(DirExists((dir / "sub").string() + "/"));
    EXPECT_FALSE(DirExists((dir / "file.txt").string()));
    EXPECT_FALSE(DirExists((dir / "missing").string()));
    EXPECT_FALSE(DirExists(""));
    fs::remove_all(dir);
}

TEST(InventPassword, HasTheRequestedLengthAndOnlyAlphabetCharacters) {
    const std::string alphabet = PasswordAlphabet;
    std::set<char> used;
    for (int n : {1, 8, 32, 255}) {
        std::string p = InventPassword(n);
        ASSERT_EQ(p.size(), static_cast<std::size_t>(n));
        for (char c : p) {
            EXPECT_NE(alphabet.find(c), std::string::npos) << c;
            used.insert(c);
        }
    }
    // 296 draws from 57 characters use far more than a handful of them.
    EXPECT_GT(used.size(), 40u);
    EXPECT_NE(InventPassword(16), InventPassword(16));
    EXPECT_EQ(InventPassword(0), "");
    EXPECT_EQ(InventPassword(-4), "");
    EXPECT_EQ(InventPassword(1000000).size(), 255u);
}

TEST(ReadLnStream, ReadsLinesEndedByLfCrLfOrNothing) {
    std::istringstream in("first\nsecond\r\n\r\nlast");
    bool eof = false;
    EXPECT_EQ(ReadLnStream(in, eof, 0), "first");
    EXPECT_FALSE(eof);
    EXPECT_EQ(ReadLnStream(in, eof, 0), "second");
    EXPECT_FALSE(eof);
    EXPECT_EQ(ReadLnStream(in, eof, 0), "");
    EXPECT_FALSE(eof);
    EXPECT_EQ(ReadLnStream(in, eof, 0), "last");
    EXPECT_TRUE(eof);
    EXPECT_EQ(ReadLnStream(in, eof, 0), "");
    EXPECT_TRUE(eof);
}

TEST(ReadLnStream, AFinalLineEndLeavesNoExtraLine) {
    std::istringstream in("one\r\ntwo\n");
    bool eof = false;
    std::vector<std::string> lines;
    while (!eof) lines.push_back(ReadLnStream(in, eof, 0));
    EXPECT_EQ(lines, (std::vector<std::string>{"one", "two"}));

    std::istringstream empty("");
    EXPECT_EQ(ReadLnStream(empty, eof, 0), "");
    EXPECT_TRUE(eof);
}

TEST(ReadLnStream, LeavesTheStreamAfterTheLineAndHonoursTheLimit) {
    std::istringstream in("old\rmac\nabcd\xE2\x82\xAC"
                          "xyz\nnext");
    bool eof = false;
    EXPECT_EQ(ReadLnStream(in, eof, 0), "old");
    EXPECT_EQ(ReadLnStream(in, eof, 0), "mac");
    EXPECT_EQ(in.tellg(), 8);
    // Six bytes would cut the euro sign: the line stops before it and its rest is skipped.
    EXPECT_EQ(ReadLnStream(in, eof, 6), "abcd");
    EXPECT_EQ(ReadLnStream(in, eof, 6), "next");
    EXPECT_TRUE(eof);
}
