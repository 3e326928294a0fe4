// Tests of the report list exchange formats: CheckIfValidReplist on files and streams, the XML
// round trip with awkward text, rejection of bad XML with the container unchanged, CSV export and
// import with quoting, LoadLinesFromFile, the HTML table, progress reports, and safe replacement
// of existing files.
#include "KEL_replist.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <set>
#include <fstream>
#include <sstream>
#include <string>

using namespace kel;
namespace fs = std::filesystem;

namespace {

// A fresh folder per test, removed afterwards.
class RLExchange : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        FDir = fs::temp_directory_path() /
               (std::string("kel_rlx_") + info->name() + "_" + std::to_string(::getpid()));
        fs::remove_all(FDir);
        fs::create_directories(FDir);
    }
    // Every XML file the library wrote in the test (not those the test wrote by hand) must be
    // well-formed to an outside reader and use the hex encoding only where XML cannot carry
    // the value; see XmllintAcceptsTheWrittenFiles for the message when xmllint is missing.
    void TearDown() override {
        if (XmllintPresent())
            for (auto& e : fs::directory_iterator(FDir)) {
                const std::string name = e.path().filename().string();
                if (e.path().extension() != ".xml" || FHandWritten.count(name)) continue;
                EXPECT_TRUE(XmllintAccepts(e.path().string())) << name;
                EXPECT_EQ(NeedlessHex(Read(name)), "") << name;
            }
        fs::remove_all(FDir);
    }
    std::string Path(const std::string& name) const { return (FDir / name).string(); }
    void Write(const std::string& name, const std::string& text) {
        FHandWritten.insert(name);
        std::ofstream(Path(name), std::ios::binary) << text;
    }
    static bool XmllintPresent() { return std::system("command -v xmllint >/dev/null 2>&1") == 0; }
    static bool XmllintAccepts(const std::string& file) {
        return std::system(("xmllint --noout '" + file + "' 2>/dev/null").c_str()) == 0;
    }
    // The first hex-encoded value of Xml whose text XML 1.0 could have carried ("" if none).
    static std::string NeedlessHex(const std::string& Xml) {
        static const std::regex hexValue("enc=\"hex\">([0-9A-Fa-f]*)<");
        for (auto it = std::sregex_iterator(Xml.begin(), Xml.end(), hexValue);
             it != std::sregex_iterator(); ++it) {
            const std::string hex = (*it)[1];
            std::string v;
            for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
                v += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
            if (XmlCouldCarry(v)) return hex;
        }
        return "";
    }
    // Well-formed UTF-8 without control characters other than TAB, LF and CR, and without
    // U+FFFE and U+FFFF.
    static bool XmlCouldCarry(const std::string& v) {
        for (std::size_t i = 0; i < v.size();) {
            const auto b = static_cast<unsigned char>(v[i]);
            if (b < 0x20 && b != 9 && b != 10 && b != 13) return false;
            const int n = b < 0x80 ? 1 : b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC2 ? 2 : 0;
            if (n == 0 || i + n > v.size()) return false;
            for (int k = 1; k < n; ++k)
                if ((static_cast<unsigned char>(v[i + k]) & 0xC0) != 0x80) return false;
            if (v.compare(i, n, "\xEF\xBF\xBE") == 0 || v.compare(i, n, "\xEF\xBF\xBF") == 0)
                return false;
            i += n;
        }
        return true;
    }
    std::string Read(const std::string& name) const {
        std::ifstream in(Path(name), std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }
    // Files in the test folder (to see that no temporary file is left behind).
    int FileCount() const {
        int n = 0;
        for (auto& e : fs::directory_iterator(FDir)) (void)e, ++n;
        return n;
    }
    fs::path FDir;
    std::set<std::string> FHandWritten;
};

// Every field a container holds (cells of columns 0..n as stored, in displayed order).
std::string Dump(const TRLData& d) {
    std::string s = std::to_string(d.NrOfColumns()) + "x" + std::to_string(d.NrOfRows()) + "|" +
                    d.CommonHeader() + "|" + d.Comment() + "|" + d.DataID() + "\n";
    for (int c = 1; c <= d.NrOfColumns(); ++c)
        s += d.Header(c) + "|" + d.ColumnFormat(c) + "|" + std::to_string(d.ColumnCheckMode(c)) +
             "\n";
    for (int r = 1; r <= d.NrOfRows(); ++r) {
        for (int c = 0; c <= d.NrOfColumns(); ++c)
            s.append("[").append(d.Strings().GetString(c, r)).append("]");
        s += "\n";
    }
    return s;
}

std::string Utf8Run(const std::string& unit, int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += unit;
    return s;
}

// A container with a plain, a box, a radio and two formatted columns, and awkward text.
void MakeAwkward(TRLData& d) {
    d.SetNrCols(5);
    d.SetNrRows(6);
    d.SetColName(1, "Name \"quoted\" <b>");
    d.SetColName(2, "Done & dusted");
    d.SetColName(3, "Choice 'one'");
    d.SetColName(4, "Zahl ä");
    d.SetColName(5, "Datum");
    d.SetColumnFormat(1, "[s][100]$pwd$8");
    d.SetColumnFormat(4, "[i][80]rix4");
    d.SetColumnFormat(5, "[d][90]dd.MM.yyyy");
    d.SetColCheckMode(2, cmBox);
    d.SetColCheckMode(3, cmRadio);
    d.SetCommonHeader("Report <all> & \"more\"");
    d.SetComment("line one\nline two\r\nthree\tend ");
    d.SetDataID("Kel-Test");
    const std::string cells[6] = {"plain",
                                  "a \"quote\" and 'apostrophe'",
                                  "<tag attr=\"v\">&amp;</tag>",
                                  "multi\nline\r\ntext\rcr",
                                  "Ελληνικά и кириллица 日本語 😀",
                                  "  leading and trailing  "};
    for (int r = 1; r <= 6; ++r) {
        d.SetElem(0, r, std::string("hidden ").append(std::to_string(r)));
        d.SetElem(1, r, cells[r - 1]);
        d.SetElem(2, r, cells[(r + 1) % 6]);
        d.SetElem(3, r, r == 2 ? "" : cells[(r + 2) % 6]);
        d.SetElem(4, r, std::to_string(r * 1000));
        d.SetElem(5, r, std::string("0").append(std::to_string(r)).append(".01.2024"));
    }
    d.SetElemChecked(2, 1, true);
    d.SetElemChecked(2, 4, true);
    d.SetElemChecked(3, 5, true);
    d.Strings().SetString(2, 6, "");  // empty check cell
    d.Strings().SetString(3, 2, " "); // unchecked, no text
    d.SetElem(1, 6, Utf8Run("ß", 255));
    d.SetElem(4, 6, std::string(255, 'x'));
    d.SetElem(0, 6, std::string("ctl\x01\x7f") + std::string("\xff\xfe", 2)); // not XML text
}

} // namespace

// ---- CheckIfValidReplist
// -------------------------------------------------------------------------

TEST_F(RLExchange, HeaderWithoutIdentifierIsValidOnlyForAnEmptyDataID) {
    Write("a.xml", "<?xml version=\"1.0\"?>\n<replist format=\"kelmosaic\">\n</replist>\n");
    EXPECT_TRUE(CheckIfValidReplist(Path("a.xml"), ""));
    EXPECT_FALSE(CheckIfValidReplist(Path("a.xml"), "x"));
}

TEST_F(RLExchange, IdentifierMatchIgnoresCaseAndSurroundingBlanks) {
    Write("a.xml", "<REPLIST format=\"KelMosaic\" id=\"  My Data  \">\n");
    EXPECT_TRUE(CheckIfValidReplist(Path("a.xml"), "my data"));
    EXPECT_TRUE(CheckIfValidReplist(Path("a.xml"), "MY DATA"));
    EXPECT_TRUE(CheckIfValidReplist(Path("a.xml"), ""));
    EXPECT_FALSE(CheckIfValidReplist(Path("a.xml"), "my"));
}

TEST_F(RLExchange, LineWithoutTheMarkerWordIsNoHeader) {
    Write("a.xml", "<replist id=\"x\">\nkelmosaic\n");
    EXPECT_FALSE(CheckIfValidReplist(Path("a.xml"), ""));
    Write("b.xml", "");
    EXPECT_FALSE(CheckIfValidReplist(Path("b.xml"), ""));
    EXPECT_THROW(CheckIfValidReplist(Path("missing.xml"), ""), EFOpenError);
}

TEST_F(RLExchange, LaterMatchingHeaderCountsAndIdentifierWithoutClosingQuoteIsEmpty) {
    Write("a.xml", "junk\r<replist kelmosaic id=\"one\">\r\n<replist kelmosaic id=\"two\">\n");
    EXPECT_TRUE(CheckIfValidReplist(Path("a.xml"), "two"));
    Write("b.xml", "<replist kelmosaic id=\"open\n");
    EXPECT_FALSE(CheckIfValidReplist(Path("b.xml"), "open"));
    EXPECT_TRUE(CheckIfValidReplist(Path("b.xml"), ""));
}

TEST(RLExchangeStream, StreamCheckStartsAtThePositionAndStopsAfterTheHeader) {
    std::istringstream in(
        "<replist kelmosaic id=\"a\">\nnext line\n<replist kelmosaic id=\"b\">\nrest\n");
    std::string first;
    std::getline(in, first);
    EXPECT_TRUE(CheckIfValidReplist(in, "B"));
    std::string after;
    std::getline(in, after);
    EXPECT_EQ(after, "rest");
    std::istringstream empty("");
    EXPECT_FALSE(CheckIfValidReplist(empty, ""));
}

TEST(RLExchangeStream, WrittenDocumentPassesTheCheckEvenWithAnAwkwardIdentifier) {
    TRLData d(nullptr);
    std::stringstream ss;
    d.WriteToXMLStream(ss, true, "A \"quoted\" & <odd> id");
    std::istringstream check(ss.str());
    EXPECT_TRUE(CheckIfValidReplist(check, "a \"quoted\" & <odd> ID"));
    TRLData e(nullptr);
    EXPECT_TRUE(e.ReadFromXMLString(ss.str(), "A \"quoted\" & <odd> id"));
    EXPECT_EQ(e.DataID(), "A \"quoted\" & <odd> id");
}

// ---- XML ---------------------------------------------------------------------------------------

TEST_F(RLExchange, XmlRoundTripReproducesEveryField) {
    TRLData d(nullptr);
    MakeAwkward(d);
    ASSERT_EQ(d.Strings().GetString(1, 6).size(), 510u); // 255 two-byte letters
    d.SaveAsXMLFile(Path("r.xml"), d.DataID());
    EXPECT_EQ(FileCount(), 1);
    EXPECT_TRUE(CheckIfValidReplist(Path("r.xml"), "kel-test"));
    TRLData e(nullptr);
    EXPECT_TRUE(e.LoadFromXMLFile(Path("r.xml"), "KEL-TEST"));
    EXPECT_EQ(Dump(e), Dump(d));

    // Through a string and a stream as well.
    std::stringstream ss;
    d.WriteToXMLStream(ss, false, d.DataID());
    TRLData f(nullptr), g(nullptr);
    EXPECT_TRUE(f.ReadFromXMLString(ss.str(), ""));
    EXPECT_EQ(Dump(f), Dump(d));
    EXPECT_TRUE(g.ReadFromXMLStream(ss, "kel-test"));
    EXPECT_EQ(Dump(g), Dump(d));
}

TEST_F(RLExchange, XmlIsWrittenInDisplayedOrderAndReadUnsorted) {
    TRLData d(nullptr);
    d.SetNrCols(1);
    d.SetNrRows(3);
    d.SetElem(1, 1, "b");
    d.SetElem(1, 2, "c");
    d.SetElem(1, 3, "a");
    d.Sort(1, -1, true);
    std::stringstream ss;
    d.WriteToXMLStream(ss, true, "");
    TRLData e(nullptr);
    e.ReadFromXMLString(ss.str(), "");
    EXPECT_EQ(e.Elem(1, 1), "a");
    EXPECT_EQ(e.Elem(1, 3), "c");
    EXPECT_EQ(e.LastSortColumn(), -1);
    EXPECT_FALSE(e.Strings().IsSorted());
}

TEST(RLExchangeStream, OpenFileHoldsSeveralListsReadOneAfterAnother) {
    TRLData a(nullptr), b(nullptr);
    a.SetNrRows(1);
    a.SetElem(1, 1, "first");
    b.SetNrCols(2);
    b.SetNrRows(2);
    b.SetElem(2, 2, "second");
    std::stringstream file;
    file << "some text before\n";
    a.WriteToOpenXMLFile(file, true, "A");
    file << "between\n";
    b.WriteToOpenXMLFile(file, false, "B");
    file << "after\n";
    TRLData x(nullptr), y(nullptr);
    x.ReadFromOpenXMLFile(file, "a");
    y.ReadFromOpenXMLFile(file, "b");
    EXPECT_EQ(x.Elem(1, 1), "first");
    EXPECT_EQ(y.Elem(2, 2), "second");
    std::string rest;
    std::getline(file, rest);
    EXPECT_EQ(rest, "after");
}

TEST(RLExchangeStream, EmptyTableAndTableWithoutColumnsRoundTrip) {
    TRLData d(nullptr);
    std::stringstream ss;
    d.WriteToXMLStream(ss, true, "");
    TRLData e(nullptr);
    e.SetNrCols(3);
    e.SetNrRows(2);
    e.ReadFromXMLString(ss.str(), "");
    EXPECT_EQ(Dump(e), Dump(d));

    d.SetNrRows(2);
    d.SetElem(0, 2, "kept");
    d.RemoveColumn(1);
    ASSERT_EQ(d.NrOfColumns(), 0);
    std::stringstream s2;
    d.WriteToXMLStream(s2, true, "");
    e.ReadFromXMLString(s2.str(), "");
    EXPECT_EQ(Dump(e), Dump(d));
    EXPECT_EQ(e.Elem(0, 2), "kept");
}

namespace {

// A small valid document to damage in the tests below.
std::string SmallDocument() {
    TRLData d(nullptr);
    d.SetNrCols(2);
    d.SetNrRows(2);
    d.SetElem(1, 1, "a");
    d.SetElem(2, 2, "b");
    std::stringstream ss;
    d.WriteToXMLStream(ss, true, "ID");
    return ss.str();
}

// Reads Doc into a container holding known content; expects EKELRLDataError whose message holds
// Fragment, and the container unchanged.
void ExpectRejected(const std::string& Doc, const std::string& DataID,
                    const std::string& Fragment) {
    TRLData d(nullptr);
    d.SetNrCols(3);
    d.SetNrRows(1);
    d.SetElem(2, 1, "keep me");
    d.SetComment("old");
    d.SetDataID("OLD");
    const std::string before = Dump(d);
    try {
        d.ReadFromXMLString(Doc, DataID);
        ADD_FAILURE() << "accepted: " << Doc;
    } catch (const EKELRLDataError& e) {
        EXPECT_NE(std::string(e.what()).find(Fragment), std::string::npos) << e.what();
    }
    EXPECT_EQ(Dump(d), before);
}

std::string Replace(std::string s, const std::string& from, const std::string& to) {
    const std::size_t p = s.find(from);
    EXPECT_NE(p, std::string::npos) << from;
    if (p != std::string::npos) s.replace(p, from.size(), to);
    return s;
}

} // namespace

TEST(RLExchangeBad, WrongOrMissingIdentifierIsRejected) {
    const std::string doc = SmallDocument();
    ExpectRejected(doc, "other", "identifier \"ID\" is not \"other\"");
    ExpectRejected(Replace(doc, " id=\"ID\"", ""), "ID", "no identifier");
    TRLData d(nullptr);
    EXPECT_TRUE(d.ReadFromXMLString(Replace(doc, "id=\"ID\"", "id=\" ID \""),
                                    "id")); // blanks around it do not count
    EXPECT_EQ(d.DataID(), " ID ");
}

TEST(RLExchangeBad, CountsThatDoNotMatchAreRejected) {
    const std::string doc = SmallDocument();
    ExpectRejected(Replace(doc, "<numrows>2</numrows>", "<numrows>3</numrows>"), "",
                   "6 <cell> elements");
    ExpectRejected(Replace(doc, "<numcols>2</numcols>", "<numcols>1</numcols>"), "", "<colname>");
    ExpectRejected(Replace(doc, "<numcols>2</numcols>", "<numcols>99999999999</numcols>"), "",
                   "numcols");
    ExpectRejected(Replace(doc, "<numcols>2</numcols>", "<numcols>-1</numcols>"), "",
                   "not a count");
    ExpectRejected(Replace(doc, "<numcols>2</numcols>\n", ""), "", "<numcols> is missing");
    ExpectRejected(
        Replace(doc, "<checkedcolumn>0</checkedcolumn>", "<checkedcolumn>7</checkedcolumn>"), "",
        "check mode");
}

// A table is sized before its cells are counted only when the text can hold that many cells, so
// a file claiming two billion rows fails at the count, quickly and without the memory for them.
TEST(RLExchangeBad, HugeClaimedCountsFailAtTheCellCount) {
    const std::string doc = SmallDocument();
    ExpectRejected(Replace(doc, "<numrows>2</numrows>", "<numrows>2000000000</numrows>"), "",
                   "6 <cell> elements where 2 columns (and column 0) of 2000000000 rows need "
                   "6000000000");
}

// The counts may also follow the cells; the cells are then stored in a second pass.
TEST(RLExchangeXml, CountsAfterTheCellsAreRead) {
    std::string doc = SmallDocument();
    const std::string counts = "<numcols>2</numcols>\n<numrows>2</numrows>\n";
    doc = Replace(doc, counts, "");
    doc = Replace(doc, "</replist>", counts + "</replist>");
    TRLData d(nullptr);
    ASSERT_TRUE(d.ReadFromXMLString(doc, "ID"));
    EXPECT_EQ(d.NrOfColumns(), 2);
    EXPECT_EQ(d.NrOfRows(), 2);
    EXPECT_EQ(d.Elem(1, 1), "a");
    EXPECT_EQ(d.Elem(2, 2), "b");
    EXPECT_EQ(d.Elem(2, 1), "");
}

TEST(RLExchangeBad, WrongStructureIsRejectedWithItsLine) {
    const std::string doc = SmallDocument();
    ExpectRejected(Replace(doc, "<cell>a</cell>", "<cell><b>a</b></cell>"), "",
                   "may hold only text");
    ExpectRejected(Replace(doc, "<numrows>", "<price>1</price>\n<numrows>"), "",
                   "line 4: unknown element <price>");
    ExpectRejected(Replace(doc, "<cell>a</cell>", "<cell>a</cel>"), "", "XML error");
    ExpectRejected(Replace(doc, "<comment />", "<comment enc=\"hex\">ABC</comment>"), "",
                   "odd length");
    ExpectRejected(Replace(doc, "<numrows>", "loose text<numrows>"), "", "unexpected text");
    ExpectRejected("no list here\n", "", "no report list");
    ExpectRejected("", "", "no report list");
}

TEST(RLExchangeBad, TruncatedDocumentsAreRejectedAtEveryLength) {
    const std::string doc = SmallDocument();
    const std::size_t start = doc.find("<replist");
    for (std::size_t len = start + 1; len < doc.size() - 2; len += 3) {
        TRLData d(nullptr);
        d.SetNrRows(1);
        d.SetElem(1, 1, "keep");
        const std::string cut = doc.substr(0, len);
        EXPECT_THROW(d.ReadFromXMLString(cut, ""), EKELRLDataError) << len;
        EXPECT_EQ(d.Elem(1, 1), "keep");
        EXPECT_EQ(d.NrOfColumns(), 1);
    }
}

TEST_F(RLExchange, BadFilesRaiseClearErrorsAndLeaveTheContainerAlone) {
    TRLData d(nullptr);
    d.SetNrRows(2);
    d.SetElem(1, 2, "keep");
    const std::string before = Dump(d);
    EXPECT_THROW(d.LoadFromXMLFile(Path("missing.xml"), ""), EFOpenError);
    std::string garbage;
    for (int i = 0; i < 4096; ++i) garbage += static_cast<char>((i * 7919) % 256);
    Write("garbage.xml", garbage);
    EXPECT_THROW(d.LoadFromXMLFile(Path("garbage.xml"), ""), EKELRLDataError);
    Write("cut.xml", SmallDocument().substr(0, 150));
    try {
        d.LoadFromXMLFile(Path("cut.xml"), "");
        ADD_FAILURE() << "accepted";
    } catch (const EKELRLDataError& e) {
        EXPECT_NE(std::string(e.what()).find("cut.xml\", line "), std::string::npos) << e.what();
    }
    EXPECT_EQ(Dump(d), before);
}

TEST_F(RLExchange, FailedSaveLeavesTheExistingFileUntouched) {
    Write("r.xml", "precious");
    TRLData d(nullptr);
    // The folder of a file that cannot be created.
    EXPECT_ANY_THROW(d.SaveAsXMLFile(Path("no/such/folder/r.xml"), ""));
    // A stream that fails part-way: the writer reports it.
    std::stringstream bad;
    bad.setstate(std::ios::badbit);
    EXPECT_THROW(d.WriteToXMLStream(bad, true, ""), EWriteError);
    EXPECT_EQ(Read("r.xml"), "precious");
    d.SaveAsXMLFile(Path("r.xml"), "");
    EXPECT_NE(Read("r.xml"), "precious");
    EXPECT_EQ(FileCount(), 1);
}

TEST_F(RLExchange, XmlProgressEndsAtOneHundredPercent) {
    TRLData d(nullptr);
    d.SetNrRows(500);
    std::vector<int> seen;
    d.SetOnPercentDone([&](TObject* Sender, int p) {
        EXPECT_EQ(Sender, &d);
        seen.push_back(p);
    });
    d.SaveAsXMLFile(Path("p.xml"), "");
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back(), 100);
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    EXPECT_GT(seen.size(), 10u);
    seen.clear();
    d.LoadFromXMLFile(Path("p.xml"), "");
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back(), 100);
}

// ---- CSV ---------------------------------------------------------------------------------------

TEST_F(RLExchange, CsvExportThenImportGivesTheSameCellsForEveryDelimiter) {
    TRLData d(nullptr);
    d.SetNrCols(4);
    d.SetNrRows(5);
    const std::string texts[] = {"plain",       "with,comma",  "with;semi",     "tab\there",
                                 "quote \"q\"", "line\nbreak", "crlf\r\nbreak", "",
                                 " blank ",     "pipe|colon:", "ünïcödé"};
    int k = 0;
    for (int r = 1; r <= 5; ++r)
        for (int c = 1; c <= 4; ++c) d.SetElem(c, r, texts[k++ % 11]);
    d.SetColName(2, "Name, \"two\"");
    for (TCSVDelimiters delim : {csvComma, csvSemicolon, csvTab, csvColon, csvPipe}) {
        EXPECT_EQ(d.ExportCSV(Path("t.csv"), delim, true, false, 1, 1, 4, 5), 5);
        TRLData e(nullptr);
        EXPECT_EQ(e.ImportCSV(Path("t.csv"), delim, true), 5) << int(delim);
        EXPECT_EQ(e.NrOfColumns(), 4);
        EXPECT_EQ(e.Header(2), "Name, \"two\"");
        for (int r = 1; r <= 5; ++r)
            for (int c = 1; c <= 4; ++c)
                EXPECT_EQ(e.Elem(c, r), d.Elem(c, r)) << int(delim) << " " << c << "," << r;
    }
}

TEST_F(RLExchange, CsvQuotesOnlyWhereNeededAndWritesTheRequestedRange) {
    TRLData d(nullptr);
    d.SetNrCols(3);
    d.SetNrRows(3);
    d.SetCommonHeader("All, of it");
    d.SetElem(1, 1, "a");
    d.SetElem(2, 1, "b,c");
    d.SetElem(3, 1, "say \"hi\"");
    d.SetElem(2, 2, "x");
    d.SetElem(2, 3, "y");
    EXPECT_EQ(d.ExportCSV(Path("t.csv"), csvComma, false, true, 1, 1, 3, 1), 1);
    EXPECT_EQ(Read("t.csv"), "\"All, of it\"\r\na,\"b,c\",\"say \"\"hi\"\"\"\r\n");
    EXPECT_EQ(d.ExportCSV(Path("t.csv"), csvSemicolon, true, false, 2, 2, 2, 99), 2);
    EXPECT_EQ(Read("t.csv"), "C-2\r\nx\r\ny\r\n");
    EXPECT_EQ(d.ExportCSV(Path("t.csv"), csvSemicolon, false, false, 3, 1, 2, 3), 0);
    EXPECT_EQ(Read("t.csv"), "");
}

TEST_F(RLExchange, CsvImportAcceptsLfCrlfRaggedRecordsAndAByteOrderMark) {
    Write("t.csv", "\xEF\xBB\xBFh1,h2\na,b,c\r\n\"x\ny\",\n\nlast");
    TRLData d(nullptr);
    d.SetComment("stays");
    EXPECT_EQ(d.ImportCSV(Path("t.csv"), csvComma, true), 4);
    EXPECT_EQ(d.NrOfColumns(), 3);
    EXPECT_EQ(d.Header(1), "h1");
    EXPECT_EQ(d.Header(3), "C-3");
    EXPECT_EQ(d.Elem(3, 1), "c");
    EXPECT_EQ(d.Elem(1, 2), "x\ny");
    EXPECT_EQ(d.Elem(2, 2), "");
    EXPECT_EQ(d.Elem(1, 3), "");
    EXPECT_EQ(d.Elem(1, 4), "last");
    EXPECT_EQ(d.Comment(), "stays");
    // A single column with an empty last cell survives the round trip.
    TRLData one(nullptr);
    one.SetNrRows(2);
    one.SetElem(1, 1, "a");
    one.ExportCSV(Path("o.csv"), csvComma, false, false, 1, 1, 1, 2);
    TRLData back(nullptr);
    EXPECT_EQ(back.ImportCSV(Path("o.csv"), csvComma, false), 2);
    EXPECT_EQ(back.Elem(1, 2), "");
    Write("e.csv", "");
    EXPECT_EQ(back.ImportCSV(Path("e.csv"), csvComma, true), 0);
    EXPECT_EQ(back.NrOfRows(), 0);
}

TEST_F(RLExchange, CsvImportReadsRecordsThatCrossTheReadBlocks) {
    // Several megabytes, so records, quoted line breaks, doubled quotes and CR LF pairs fall on
    // the boundaries of the reader's blocks; one record is longer than a block.
    TRLData d(nullptr);
    d.SetNrCols(3);
    d.SetNrRows(30000);
    const std::string pieces[] = {"a", "\"", "\r\n", "\n", ",", "xyzzy", "ü", "  ", "\"\""};
    std::uint32_t x = 7;
    for (int r = 1; r <= d.NrOfRows(); ++r)
        for (int c = 1; c <= 3; ++c) {
            std::string cell;
            const int n = static_cast<int>((x = x * 1103515245u + 12345u) >> 26);
            for (int k = 0; k < n; ++k) cell += pieces[(x = x * 1103515245u + 12345u) >> 28 & 7];
            d.SetElem(c, r, cell);
        }
    ASSERT_EQ(d.ExportCSV(Path("big.csv"), csvComma, false, false, 1, 1, 3, 30000), 30000);
    ASSERT_GT(fs::file_size(Path("big.csv")), 2u << 20);
    TRLData e(nullptr);
    EXPECT_EQ(e.ImportCSV(Path("big.csv"), csvComma, false), 30000);
    EXPECT_EQ(e.NrOfColumns(), 3);
    int differences = 0;
    for (int r = 1; r <= 30000; ++r)
        for (int c = 1; c <= 3; ++c) differences += e.Elem(c, r) != d.Elem(c, r);
    EXPECT_EQ(differences, 0);

    // A record longer than a block.
    std::string wide;
    for (int c = 1; c <= 6000; ++c) wide += (c > 1 ? "," : "") + std::string(200, 'w');
    Write("wide.csv", "a\n" + wide + "\r\nz");
    EXPECT_EQ(e.ImportCSV(Path("wide.csv"), csvComma, false), 3);
    EXPECT_EQ(e.NrOfColumns(), 6000);
    EXPECT_EQ(e.Elem(6000, 2), std::string(200, 'w'));
    EXPECT_EQ(e.Elem(1, 3), "z");
    EXPECT_EQ(e.Elem(2, 3), "");
}

TEST_F(RLExchange, BadCsvRaisesWithTheLineAndKeepsTheTable) {
    TRLData d(nullptr);
    d.SetNrRows(1);
    d.SetElem(1, 1, "keep");
    const std::string before = Dump(d);
    auto expectLine = [&](const std::string& text, const std::string& fragment) {
        Write("bad.csv", text);
        try {
            d.ImportCSV(Path("bad.csv"), csvComma, false);
            ADD_FAILURE() << "accepted " << text;
        } catch (const EKELRLDataError& e) {
            EXPECT_NE(std::string(e.what()).find(fragment), std::string::npos) << e.what();
        }
        EXPECT_EQ(Dump(d), before);
    };
    expectLine("a,b\nc,\"open\nmore", "line 2: quoted field not closed");
    expectLine("a,b\n\"x\"y,z\n", "line 2: text after the closing quote");
    expectLine(std::string("a,b\nc\0d\n", 8), "line 2: the file holds a NUL byte");
    expectLine("a\n\xC3\x28\n", "line 2: the file is not UTF-8 text");
    EXPECT_THROW(d.ImportCSV(Path("missing.csv"), csvComma, false), EFOpenError);
    EXPECT_EQ(Dump(d), before);
}

// ---- Text lines --------------------------------------------------------------------------------

TEST_F(RLExchange, LoadLinesFillsOneColumnAndGrowsTheTable) {
    Write("l.txt", "one\r\ntwo\n\nfour\rfive\n");
    TRLData d(nullptr);
    d.SetNrRows(2);
    d.SetElem(1, 1, "top");
    d.SetColCheckMode(1, cmBox);
    EXPECT_EQ(d.LoadLinesFromFile(3, 2, Path("l.txt")), 5);
    EXPECT_EQ(d.NrOfColumns(), 3);
    EXPECT_EQ(d.NrOfRows(), 6);
    EXPECT_EQ(d.Elem(1, 1), "top");
    EXPECT_EQ(d.Elem(3, 2), "one");
    EXPECT_EQ(d.Elem(3, 4), "");
    EXPECT_EQ(d.Elem(3, 6), "five");
    // Into a check column the check characters stay.
    d.SetElemChecked(1, 2, true);
    EXPECT_EQ(d.LoadLinesFromFile(1, 2, Path("l.txt")), 5);
    EXPECT_EQ(d.Strings().GetString(1, 2), "Xone");
    EXPECT_THROW(d.LoadLinesFromFile(-1, 1, Path("l.txt")), EKELRLDataError);
    EXPECT_THROW(d.LoadLinesFromFile(1, 1, Path("none.txt")), EFOpenError);
    Write("bin.txt", std::string("a\0b", 3));
    EXPECT_THROW(d.LoadLinesFromFile(1, 1, Path("bin.txt")), EKELRLDataError);
    EXPECT_EQ(d.Elem(1, 2), "one");
}

// ---- HTML --------------------------------------------------------------------------------------

TEST_F(RLExchange, HtmlTableEscapesTextAndHonoursTheArguments) {
    TRLData d(nullptr);
    d.SetNrCols(3);
    d.SetNrRows(3);
    d.SetColName(1, "A<1>");
    d.SetColName(3, "C");
    d.SetCommonHeader("T & T");
    d.SetElem(1, 1, "x & \"y\"");
    d.SetElem(3, 1, "three");
    d.SetElem(1, 2, "second");
    d.SetColCheckMode(2, cmBox);
    d.SetElem(2, 1, "box");
    d.SetElemChecked(2, 1, true);
    std::vector<std::string> calls;
    d.SetOnBeforeHTMLExport([&](TObject* Sender, std::string& Text, int Col, int Row) {
        EXPECT_EQ(Sender, &d);
        calls.push_back(std::to_string(Col) + "," + std::to_string(Row));
        if (Col == 3 && Row == 1) Text = "<changed>";
    });
    d.ExportHTMLTable(Path("t.html"), 1, 1, 3, 1, {3, 1, 7}, 1, 2, 3, true, "hd", "", "tab le");
    const std::string html = Read("t.html");
    EXPECT_EQ(html.rfind("<!DOCTYPE html>", 0), 0u);
    EXPECT_NE(html.find("<title>T &amp; T</title>"), std::string::npos);
    EXPECT_NE(
        html.find("<table class=\"tab le\" style=\"border-spacing: 2px; border: 1px solid\">"),
        std::string::npos);
    EXPECT_NE(
        html.find(
            "<th class=\"hd\" style=\"padding: 3px; border: 1px solid\">C</th><th class=\"hd\""),
        std::string::npos);
    EXPECT_NE(html.find("A&lt;1&gt;"), std::string::npos);
    EXPECT_NE(html.find(">&lt;changed&gt;</td><td style=\"padding: 3px; border: 1px solid\">x "
                        "&amp; &quot;y&quot;</td></tr>"),
              std::string::npos);
    EXPECT_EQ(html.find("second"), std::string::npos); // row 2 is outside the range
    EXPECT_EQ(calls, (std::vector<std::string>{"3,0", "1,0", "3,1", "1,1"}));
    // All columns in range when the selection is empty, with check boxes for check cells.
    d.ExportHTMLTable(Path("t.html"), 1, 1, 3, 2, {}, 0, 0, 0, false, "", "", "");
    const std::string all = Read("t.html");
    EXPECT_NE(all.find("<input type=\"checkbox\" disabled checked> box"), std::string::npos);
    EXPECT_NE(all.find("second"), std::string::npos);
    EXPECT_EQ(all.find("<thead>"), std::string::npos);
    EXPECT_EQ(FileCount(), 1);
}

// ---- Faults mended -----------------------------------------------------------------------------

TEST_F(RLExchange, XmllintAcceptsTheWrittenFiles) {
    if (!XmllintPresent())
        GTEST_SKIP() << "xmllint is not installed (Debian package libxml2-utils)";
    TRLData d(nullptr);
    MakeAwkward(d);
    d.SaveAsXMLFile(Path("awkward.xml"), "id with \r and \t and \"quotes\" & <tags>");
    EXPECT_TRUE(XmllintAccepts(Path("awkward.xml")));
    // The only hex-encoded value is column 0 of row 6, whose control characters XML 1.0 lacks.
    const std::string xml = Read("awkward.xml");
    EXPECT_EQ(NeedlessHex(xml), "");
    std::size_t hexCount = 0;
    for (std::size_t p = xml.find("enc=\"hex\""); p != std::string::npos;
         p = xml.find("enc=\"hex\"", p + 1))
        ++hexCount;
    EXPECT_EQ(hexCount, 1u);
    // A broken file is refused: the check can fail.
    Write("broken.xml", "<replist><cell>a</replist>");
    EXPECT_FALSE(XmllintAccepts(Path("broken.xml")));
}

TEST_F(RLExchange, CarriageReturnsAreWrittenAsCharacterReferencesAndHexStillReads) {
    TRLData d(nullptr);
    d.SetNrCols(2);
    d.SetNrRows(2);
    d.SetElem(1, 1, "a\rb");
    d.SetElem(2, 1, "\r");
    d.SetElem(1, 2, "x\r\ny\x7f\xc2\x85");
    d.SetComment("c\rd");
    d.SaveAsXMLFile(Path("cr.xml"), "");
    const std::string xml = Read("cr.xml");
    EXPECT_EQ(xml.find("enc="), std::string::npos) << xml;
    EXPECT_NE(xml.find("<cell>a&#13;b</cell>"), std::string::npos) << xml;
    EXPECT_EQ(xml.find('\r'), std::string::npos);
    TRLData e(nullptr);
    e.LoadFromXMLFile(Path("cr.xml"), "");
    EXPECT_EQ(Dump(e), Dump(d));
    // Files written with the hex encoding still read.
    Write("old.xml", "<replist format=\"kelmosaic\" id=\"\">\n<numcols>1</numcols>\n"
                     "<numrows>1</numrows>\n<colname>C-1</colname>\n<columnformat/>\n"
                     "<checkedcolumn>0</checkedcolumn>\n<cell/>\n<cell enc=\"hex\">610D62</cell>\n"
                     "</replist>\n");
    TRLData f(nullptr);
    f.LoadFromXMLFile(Path("old.xml"), "");
    EXPECT_EQ(f.Elem(1, 1), "a\rb");
}

TEST_F(RLExchange, CheckAndReaderAgreeOnEveryIdentifierTheWriterEmits) {
    const std::string ids[] = {"ctl\x01char", "with\rcr", "tab\there",   "line\nfeed",
                               "  padded  ",  " \r ",     "Ünï \"&<>' ", "bad\xff utf"};
    for (const std::string& id : ids) {
        SCOPED_TRACE(id);
        TRLData d(nullptr);
        d.SetNrCols(1);
        d.SetNrRows(1);
        d.SetElem(1, 1, "v");
        d.SaveAsXMLFile(Path("id.xml"), id);
        EXPECT_TRUE(CheckIfValidReplist(Path("id.xml"), id));
        EXPECT_FALSE(CheckIfValidReplist(Path("id.xml"), id + "x"));
        std::stringstream ss;
        d.WriteToXMLStream(ss, true, id);
        EXPECT_TRUE(CheckIfValidReplist(ss, id));
        TRLData e(nullptr);
        EXPECT_TRUE(e.LoadFromXMLFile(Path("id.xml"), id));
        EXPECT_EQ(e.DataID(), id);
        TRLData f(nullptr);
        EXPECT_TRUE(f.ReadFromXMLString(ss.str(), id));
    }
    // Blanks at the ends are ignored on either side, as is ASCII case.
    TRLData d(nullptr);
    d.SaveAsXMLFile(Path("p.xml"), " padded ");
    TRLData e(nullptr);
    EXPECT_TRUE(e.LoadFromXMLFile(Path("p.xml"), "PADDED"));
    EXPECT_TRUE(e.LoadFromXMLFile(Path("p.xml"), "  padded"));
    EXPECT_TRUE(CheckIfValidReplist(Path("p.xml"), "padded "));
}

TEST_F(RLExchange, CheckCellWithAMultiByteCheckCharacterStaysUtf8ThroughCsv) {
    TRLData d(nullptr);
    d.SetNrCols(1);
    d.SetNrRows(1);
    Write("c.xml", "<replist format=\"kelmosaic\" id=\"\">\n<numcols>1</numcols>\n"
                   "<numrows>1</numrows>\n<colname>C</colname>\n<columnformat/>\n"
                   "<checkedcolumn>1</checkedcolumn>\n<cell/>\n<cell>été</cell>\n</replist>\n");
    d.LoadFromXMLFile(Path("c.xml"), "");
    EXPECT_EQ(d.Elem(1, 1), "té"); // the check character is the whole "é"
    EXPECT_TRUE(d.ElemChecked(1, 1));
    d.SetElem(1, 1, "tê");
    EXPECT_EQ(d.Strings().GetString(1, 1), "étê");
    d.ExportCSV(Path("c.csv"), csvComma, false, false, 1, 1, 1, 1);
    TRLData e(nullptr);
    EXPECT_EQ(e.ImportCSV(Path("c.csv"), csvComma, false), 1);
    EXPECT_EQ(e.Elem(1, 1), "tê");
    d.SetElemChecked(1, 1, false);
    EXPECT_EQ(d.Strings().GetString(1, 1), " tê");
}

TEST_F(RLExchange, CsvKeepsALoneCarriageReturnInsideItsCell) {
    TRLData d(nullptr);
    d.SetNrCols(2);
    d.SetNrRows(2);
    d.SetElem(1, 1, "lone\rcr");
    d.SetElem(2, 1, "end\r");
    d.SetElem(1, 2, "next");
    d.ExportCSV(Path("cr.csv"), csvSemicolon, true, false, 1, 1, 2, 2);
    TRLData e(nullptr);
    EXPECT_EQ(e.ImportCSV(Path("cr.csv"), csvSemicolon, true), 2);
    EXPECT_EQ(e.Elem(1, 1), "lone\rcr");
    EXPECT_EQ(e.Elem(2, 1), "end\r");
    EXPECT_EQ(e.Elem(1, 2), "next");
}

TEST_F(RLExchange, HtmlTurnsEveryKindOfLineEndIntoOneBreak) {
    TRLData d(nullptr);
    d.SetNrCols(1);
    d.SetNrRows(1);
    d.SetElem(1, 1, "lone\rcr\r\ncrlf\nlf");
    d.ExportHTMLTable(Path("t.html"), 1, 1, 1, 1, {}, 0, 0, 0, false, "", "", "");
    EXPECT_NE(Read("t.html").find(">lone<br>cr<br>crlf<br>lf</td>"), std::string::npos)
        << Read("t.html");
}
