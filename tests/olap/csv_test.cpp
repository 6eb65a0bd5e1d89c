// Reading CSV files: fields, quoting, line breaks, and where problems are.
#include "olap/build/csvnumber.h"
#include "olap/build/csvreader.h"

#include "support/scratchfolder.h"

#include <cmath>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace olap {
// Positions print as "line:column" in test failures.
inline void PrintTo(const TextPosition& position, std::ostream* out)
{
    *out << position.line << ':' << position.column;
}
}  // namespace olap

namespace {

class Csv : public ::testing::Test {
protected:
    std::filesystem::path write(const std::string& text, const std::string& name = "table.csv")
    {
        const auto file = mFolder / name;
        std::ofstream(file, std::ios::binary) << text;
        return file;
    }

    // Every record of `text` after the header, field by field.
    std::vector<std::vector<std::string>> records(const std::string& text)
    {
        olap::CsvReader reader(write(text));
        std::vector<std::vector<std::string>> result;
        while (reader.next()) {
            auto& record = result.emplace_back();
            for (size_t i = 0; i < reader.header().size(); ++i)
                record.emplace_back(reader.field(i));
        }
        return result;
    }

    // The description of the failure reading all of `text` throws.
    std::string failureReading(const std::string& text)
    {
        try {
            records(text);
        } catch (const platform::Failure& failure) {
            EXPECT_EQ(failure.source(), "cubebuilder");
            return failure.description();
        }
        return "no failure";
    }

    std::string place(const std::string& rest) { return (mFolder / "table.csv").string() + ":" + rest; }

    ScratchFolder mFolder;
};

using Records = std::vector<std::vector<std::string>>;

TEST_F(Csv, ReadsTheHeaderAndFindsColumnsByName)
{
    olap::CsvReader reader(write("id,name,units\n1,a,2\n"));
    EXPECT_EQ(reader.header(), (std::vector<std::string>{"id", "name", "units"}));
    EXPECT_EQ(reader.findColumn("units"), 2u);
    EXPECT_FALSE(reader.findColumn("Units").has_value());
}

TEST_F(Csv, ReadsPlainFieldsRecordByRecord)
{
    EXPECT_EQ(records("a,b\n1,2\n3,4\n"), (Records{{"1", "2"}, {"3", "4"}}));
}

TEST_F(Csv, ReadsTheLastRecordWithoutALineBreak)
{
    EXPECT_EQ(records("a,b\n1,2"), (Records{{"1", "2"}}));
}

TEST_F(Csv, AcceptsCarriageReturnLineFeedLineEnds)
{
    EXPECT_EQ(records("a,b\r\n1,2\r\n3,\r\n"), (Records{{"1", "2"}, {"3", ""}}));
}

TEST_F(Csv, KeepsEmptyFieldsAtBothEnds)
{
    EXPECT_EQ(records("a,b,c\n,x,\n"), (Records{{"", "x", ""}}));
}

TEST_F(Csv, QuotedFieldsHoldCommasLineBreaksAndDoubledQuotes)
{
    EXPECT_EQ(records("a,b\n\"x,y\",\"one\ntwo\"\n\"say \"\"hi\"\"\",\"\"\n"),
              (Records{{"x,y", "one\ntwo"}, {"say \"hi\"", ""}}));
}

TEST_F(Csv, ACarriageReturnThatEndsNoLineIsText)
{
    EXPECT_EQ(records("a,b\nx\ry,2\r"), (Records{{"x\ry", "2"}}));
}

// Fields are found eight bytes at a time; every length and every place of
// the delimiter within such a block must come out the same.
TEST_F(Csv, FieldsOfEveryLengthAreSplitExactly)
{
    std::string text = "a,b,c\n";
    Records expected;
    for (size_t length = 0; length < 20; ++length) {
        const std::string x(length, 'x'), y(19 - length, 'y');
        text += x + "," + y + ",z\n";
        expected.push_back({x, y, "z"});
    }
    EXPECT_EQ(records(text), expected);
}

TEST_F(Csv, SkipsEmptyLines)
{
    EXPECT_EQ(records("a,b\n\n1,2\n\r\n\n3,4\n\n"), (Records{{"1", "2"}, {"3", "4"}}));
}

TEST_F(Csv, IgnoresAByteOrderMarkBeforeTheHeader)
{
    olap::CsvReader reader(write("\xEF\xBB\xBFid,name\n"));
    EXPECT_EQ(reader.header().front(), "id");
}

TEST_F(Csv, PassesUtf8TextThrough)
{
    EXPECT_EQ(records("name\nZürich\n"), (Records{{"Zürich"}}));
}

TEST_F(Csv, GivesTheLineAndColumnOfEachField)
{
    olap::CsvReader reader(write("a,b,c\n1,\"two\nlines\",3\nxyz,é,w\n"));
    ASSERT_TRUE(reader.next());
    EXPECT_EQ(reader.fieldPosition(0), (olap::TextPosition{2, 1}));
    EXPECT_EQ(reader.fieldPosition(1), (olap::TextPosition{2, 3}));
    EXPECT_EQ(reader.fieldPosition(2), (olap::TextPosition{3, 8}));
    ASSERT_TRUE(reader.next());
    EXPECT_EQ(reader.recordLine(), 4u);
    // Columns count characters: "é" is two bytes but one column.
    EXPECT_EQ(reader.fieldPosition(2), (olap::TextPosition{4, 7}));
}

TEST_F(Csv, AFieldViewStaysValidUntilTheNextRecord)
{
    olap::CsvReader reader(write("a,b\n\"x\"\"1\",\"y\"\"2\"\n"));
    ASSERT_TRUE(reader.next());
    EXPECT_EQ(reader.field(0), "x\"1");
    EXPECT_EQ(reader.field(1), "y\"2");
}

TEST_F(Csv, ReportsAMissingFileByNumber53)
{
    try {
        olap::CsvReader reader(mFolder / "missing.csv");
        FAIL() << "opened a missing file";
    } catch (const platform::Failure& failure) {
        EXPECT_EQ(failure.number(), platform::err::kFileNotFound);
        EXPECT_NE(failure.description().find("missing.csv"), std::string::npos);
    }
}

TEST_F(Csv, ProblemsAreReportedAtTheirFileLineAndColumn)
{
    const std::pair<std::string, std::string> cases[] = {
        {"", place("1:1: the file is empty; expected a header row naming the columns")},
        {"\n\n", place("1:1: the file is empty; expected a header row naming the columns")},
        {"a,b,a\n", place("1:5: the header names column \"a\" twice")},
        {"a,b\n1,2,3\n", place("2:5: the record has 3 fields; the header has 2")},
        {"a,b,c\n1,2\n", place("2:4: the record has 2 fields; the header has 3")},
        {"a,b\n1,\"open\n", place("2:3: the quoted field that starts here has no closing quote")},
        {"a,b\n\"x\"y,2\n", place("2:4: unexpected text after the closing quote of a field")},
        {"a,b\n\"multi\nline\",2\n3,4,5\n", place("4:5: the record has 3 fields; the header has 2")},
    };
    for (const auto& [text, message] : cases)
        EXPECT_EQ(failureReading(text), message) << text;
}

TEST(CsvNumber, ReadsDecimalNumbersWithAPointWhateverTheLocale)
{
    const std::pair<std::string, double> cases[] = {
        {"0", 0.0}, {"12", 12.0}, {"-3.25", -3.25}, {"+4.5", 4.5}, {"1e3", 1000.0}, {".5", 0.5}, {"2.", 2.0},
    };
    for (const auto& [text, expected] : cases) {
        double value = 0;
        EXPECT_TRUE(olap::parseCsvNumber(text, value)) << text;
        EXPECT_DOUBLE_EQ(value, expected) << text;
    }
}

TEST(CsvNumber, AnEmptyCellIsNoValue)
{
    double value = 0;
    EXPECT_TRUE(olap::parseCsvNumber("", value));
    EXPECT_TRUE(std::isnan(value));
}

TEST(CsvNumber, RefusesWhatIsNotAFiniteNumber)
{
    for (const char* text : {"abc", "1,5", " 1", "1 ", "12x", "+-1", "--1", "inf", "nan", "1e999", "0x10", "+"}) {
        double value = 0;
        EXPECT_FALSE(olap::parseCsvNumber(text, value)) << text;
    }
}

}  // namespace
