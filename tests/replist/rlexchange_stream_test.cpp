// The stream forms of the CSV and text-line exchange: the same rules as the file forms, errors
// naming the stream, and a failed read leaving the container as it was.
#include "KEL_replist.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace {

using namespace kel;

TEST(RLStreams, CsvRoundTripThroughStreams) {
    std::istringstream in("\xEF\xBB\xBFname;value\r\n\"a;b\";1\r\n\"say \"\"hi\"\"\";\n\nlast");
    TRLData d(nullptr);
    EXPECT_EQ(d.ImportCSV(in, csvSemicolon, true), 4);
    EXPECT_EQ(d.NrOfColumns(), 2);
    EXPECT_EQ(d.Header(1), "name");
    EXPECT_EQ(d.Elem(1, 1), "a;b");
    EXPECT_EQ(d.Elem(1, 2), "say \"hi\"");
    EXPECT_EQ(d.Elem(2, 2), "");
    EXPECT_EQ(d.Elem(1, 4), "last");

    std::stringstream out;
    EXPECT_EQ(d.ExportCSV(out, csvSemicolon, true, false, 1, 1, 2, 4), 4);
    EXPECT_EQ(out.str(), "name;value\r\n\"a;b\";1\r\n\"say \"\"hi\"\"\";\r\n;\r\nlast;\r\n");
    TRLData e(nullptr);
    e.ImportCSV(out, csvSemicolon, true);
    for (int r = 1; r <= 4; ++r)
        for (int c = 1; c <= 2; ++c) EXPECT_EQ(e.Elem(c, r), d.Elem(c, r)) << c << "," << r;
}

TEST(RLStreams, CsvStreamStartsAtItsPositionAndBadInputKeepsTheTable) {
    std::istringstream in("skipped\nx,y\n");
    std::string first;
    std::getline(in, first);
    TRLData d(nullptr);
    EXPECT_EQ(d.ImportCSV(in, csvComma, false), 1);
    EXPECT_EQ(d.Elem(2, 1), "y");

    std::istringstream bad("1,2\n3,\"open\n");
    try {
        d.ImportCSV(bad, csvComma, false);
        FAIL() << "an unclosed quote was accepted";
    } catch (const EKELRLDataError& e) {
        EXPECT_STREQ(e.what(), "CSV stream, line 2: quoted field not closed (file cut short?)");
    }
    EXPECT_EQ(d.NrOfRows(), 1);
    EXPECT_EQ(d.Elem(1, 1), "x");
}

TEST(RLStreams, LinesFromAStream) {
    TRLData d(nullptr);
    d.SetNrCols(1);
    d.SetNrRows(1);
    d.SetElem(1, 1, "keep");
    std::istringstream in("one\r\ntwo\rthree\n\nfive");
    EXPECT_EQ(d.LoadLinesFromStream(2, 0, in), 5);
    EXPECT_EQ(d.NrOfColumns(), 2);
    EXPECT_EQ(d.NrOfRows(), 5);
    EXPECT_EQ(d.Elem(1, 1), "keep");
    EXPECT_EQ(d.Elem(2, 1), "one");
    EXPECT_EQ(d.Elem(2, 3), "three");
    EXPECT_EQ(d.Elem(2, 4), "");
    EXPECT_EQ(d.Elem(2, 5), "five");

    std::istringstream binary(std::string("a\nb\0c", 5));
    EXPECT_THROW(d.LoadLinesFromStream(1, 1, binary), EKELRLDataError);
    EXPECT_EQ(d.Elem(1, 1), "keep");
    std::istringstream any("x");
    EXPECT_THROW(d.LoadLinesFromStream(-1, 1, any), EKELRLDataError);
}

} // namespace
