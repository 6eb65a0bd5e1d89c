// Reading CSV files: fields, quoting, line breaks, and where problems are.
#include "olap/build/csvnumber.h"
#include "olap/build/csvreader.h"
#include "olaptestsupport.h"

#include <cmath>

namespace {

using Records = std::vector<std::vector<std::string>>;

class Csv : public ::testing::Test {
protected:
    olap::CsvReader reader(const std::string& text)
    {
        writeText(mFolder / "table.csv", text);
        return olap::CsvReader(mFolder / "table.csv");
    }

    // Every record of `text` after the header, field by field.
    Records records(const std::string& text)
    {
        olap::CsvReader csv = reader(text);
        Records result;
        while (csv.next()) {
            auto& record = result.emplace_back();
            for (size_t i = 0; i < csv.header().size(); ++i)
                record.emplace_back(csv.field(i));
        }
        return result;
    }

    ScratchFolder mFolder;
};

TEST_F(Csv, ReadsTheHeaderAndFieldViewsThatStayValidUntilTheNextRecord)
{
    olap::CsvReader csv = reader("\xEF\xBB\xBFid,units\n\"x\"\"1\",\"y\"\"2\"\n");  // after a byte order mark
    EXPECT_EQ(csv.header(), (std::vector<std::string>{"id", "units"}));
    EXPECT_EQ(csv.findColumn("units"), 1u);
    EXPECT_FALSE(csv.findColumn("Units").has_value());
    ASSERT_TRUE(csv.next());
    const std::string_view first = csv.field(0), second = csv.field(1);
    EXPECT_EQ(first, "x\"1");
    EXPECT_EQ(second, "y\"2");
}

// A fuzzer's header of 200,000 columns once took over half a minute: each
// name was compared with every name before it. The last name repeats the
// first, so the check must still see the whole header.
TEST_F(Csv, AWideHeaderIsReadAndItsRepeatedNameFound)
{
    std::string header;
    constexpr size_t kColumns = 200000;
    for (size_t i = 0; i < kColumns; ++i)
        header += "c" + std::to_string(i) + ",";
    olap::CsvReader wide = reader(header + "last\n");
    EXPECT_EQ(wide.findColumn("c199999"), 199999u);
    EXPECT_EQ(wide.findColumn("last"), kColumns);
    const platform::Failure repeated = olaptest::failureOf([&] { reader(header + "c0\n"); });
    EXPECT_THAT(repeated.description(), olaptest::HasSubstr(":1:1488891: the header names column \"c0\" twice"));
}

// Fields are found eight bytes at a time, so the last row puts the delimiter
// at every place within such a block.
TEST_F(Csv, SplitsRecordsIntoFields)
{
    std::string lengths = "a,b,c\n";
    Records split;
    for (size_t length = 0; length < 20; ++length) {
        const std::string x(length, 'x'), y(19 - length, 'y');
        lengths += x + "," + y + ",z\n";
        split.push_back({x, y, "z"});
    }
    const std::pair<std::string, Records> cases[] = {
        {"a,b\n1,2\n3,4\n", {{"1", "2"}, {"3", "4"}}},
        {"a,b\n1,2", {{"1", "2"}}},
        {"a,b\r\n1,2\r\n3,\r\n", {{"1", "2"}, {"3", ""}}},
        {"a,b,c\n,x,\n", {{"", "x", ""}}},
        {"a,b\n\"x,y\",\"one\ntwo\"\n\"say \"\"hi\"\"\",\"\"\n", {{"x,y", "one\ntwo"}, {"say \"hi\"", ""}}},
        {"a,b\nx\ry,2\r", {{"x\ry", "2"}}},  // a carriage return that ends no line is text
        {"a,b\n\n1,2\n\r\n\n3,4\n\n", {{"1", "2"}, {"3", "4"}}},
        {"name\nZürich\n", {{"Zürich"}}},
        {lengths, split},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(records(text), expected) << text;
}

TEST_F(Csv, GivesTheLineAndColumnOfEachField)
{
    olap::CsvReader csv = reader("a,b,c\n1,\"two\nlines\",3\nxyz,é,w\n");
    ASSERT_TRUE(csv.next());
    EXPECT_EQ(csv.fieldPosition(0), (olap::TextPosition{2, 1}));
    EXPECT_EQ(csv.fieldPosition(1), (olap::TextPosition{2, 3}));
    EXPECT_EQ(csv.fieldPosition(2), (olap::TextPosition{3, 8}));
    ASSERT_TRUE(csv.next());
    EXPECT_EQ(csv.recordLine(), 4u);
    // Columns count characters: "é" is two bytes but one column.
    EXPECT_EQ(csv.fieldPosition(2), (olap::TextPosition{4, 7}));
}

TEST_F(Csv, ProblemsAreReportedAtTheirFileLineAndColumn)
{
    const std::pair<std::string, std::string> cases[] = {
        {"", "1:1: the file is empty; expected a header row naming the columns"},
        {"a,b,a\n", "1:5: the header names column \"a\" twice"},
        {"a,b\n1,2,3\n", "2:5: the record has 3 fields; the header has 2"},
        {"a,b\n1,\"open\n", "2:3: the quoted field that starts here has no closing quote"},
        {"a,b\n\"x\"y,2\n", "2:4: unexpected text after the closing quote of a field"},
        {"a,b\n\"multi\nline\",2\n3,4,5\n", "4:5: the record has 3 fields; the header has 2"},
    };
    for (const auto& [text, message] : cases) {
        const platform::Failure failure = olaptest::failureOf([&, &text = text] { records(text); });
        EXPECT_EQ(failure.description(), (mFolder / "table.csv").string() + ":" + message) << text;
        EXPECT_EQ(failure.source(), "cubebuilder");
    }
    const auto missing = olaptest::failureOf([&] { olap::CsvReader(mFolder / "missing.csv"); });
    EXPECT_EQ(missing.number(), platform::err::kFileNotFound);
    EXPECT_THAT(missing.description(), olaptest::HasSubstr("missing.csv"));
}

// Decimal numbers with a point whatever the locale; an empty cell is no
// value (NaN); anything else that is not a finite number is refused.
TEST(CsvNumber, ReadsFiniteDecimalNumbersAndEmptyCellsOnly)
{
    const std::pair<std::string, double> numbers[] = {
        {"0", 0.0}, {"12", 12.0}, {"-3.25", -3.25}, {"+4.5", 4.5}, {"1e3", 1000.0}, {".5", 0.5}, {"2.", 2.0},
        {"", NAN},
    };
    for (const auto& [text, expected] : numbers) {
        double value = 0;
        EXPECT_TRUE(olap::parseCsvNumber(text, value)) << text;
        EXPECT_TRUE(value == expected || (std::isnan(value) && std::isnan(expected))) << text << ": " << value;
    }
    for (const char* text : {"abc", "1,5", " 1", "1 ", "12x", "+-1", "--1", "inf", "nan", "1e999", "0x10", "+"}) {
        double value = 0;
        EXPECT_FALSE(olap::parseCsvNumber(text, value)) << text;
    }
}

}  // namespace
